#include "win32_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    try {
        return runby::runWin32Window(instance, show);
    } catch (const runby::WindowNotCreated &failure) {
        MessageBoxA(nullptr, failure.what(), "Runby", MB_OK | MB_ICONERROR);
        return 1;
    }
}
