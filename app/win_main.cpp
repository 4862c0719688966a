#include "win32_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    return runby::runWin32Window(instance, show);
}
