#include "win32_window.h"

#include "catalogue.h"
#include "win32_controls.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    try {
        return runby::runWin32Window(instance, show);
    } catch (const runby::WindowNotCreated &failure) {
        MessageBoxW(nullptr, runby::widen(failure.what()).c_str(),
            runby::widen(runby::textOf(runby::Text::program_name)).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}
