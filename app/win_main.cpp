#include "win32_window.h"

#include "catalogue.h"
#include "win32_controls.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The program speaks the first of the user's display languages that it knows.
void speakTheUsersLanguage()
{
    ULONG count = 0;
    ULONG length = 0;
    std::vector<std::string> languages;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &length)) {
        std::wstring tags(length, L'\0');
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, tags.data(), &length))
            // The tags follow one another, each ended by a null, the last by two.
            for (const wchar_t *tag = tags.c_str(); *tag != L'\0'; tag += std::wcslen(tag) + 1)
                languages.push_back(runby::narrow(tag));
    }
    runby::speak(runby::catalogueFor(languages));
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    speakTheUsersLanguage();
    try {
        return runby::runWin32Window(instance, show);
    } catch (const runby::WindowNotCreated &failure) {
        MessageBoxW(nullptr, runby::widen(failure.what()).c_str(),
            runby::widen(runby::textOf(runby::Text::program_name)).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}
