// Starts the real runby.exe and drives it as a user would, with keys sent back to back through
// the system's input queue, reading what it shows through window messages. Checks the wiring of
// the Win32 window: places, flags, colours, Tab order, access keys, the default button, the
// limit and the input rules, and the Runby Information box. The calculator's own logic is
// tested elsewhere.
//
// usage: win32_window_test RUNBY_EXE   (under Wine a Unix path is taken as on drive Z:)

#include "layout.h"
#include "win32_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace runby;

namespace {

int g_passed = 0;
int g_failed = 0;

void check(bool ok, const std::string &what)
{
    (ok ? g_passed : g_failed) += 1;
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
}

std::string narrowAscii(const std::wstring &text)
{
    return {text.begin(), text.end()};
}

std::wstring windowsPath(std::string path)
{
    if (!path.empty() && path.front() == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return {path.begin(), path.end()};
}

// Waits for a condition for up to three seconds.
bool eventually(const std::function<bool()> &condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class Program
{
public:
    explicit Program(const std::wstring &exe)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                nullptr, &startup, &m_process))
            return;
        eventually([this] {
            m_window = windowOfProcess();
            return m_window && IsWindowVisible(m_window);
        });
        if (m_window) {
            SetForegroundWindow(m_window);
            eventually([this] { return GetForegroundWindow() == m_window; });
        }
    }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program()
    {
        if (!m_process.hProcess)
            return;
        PostMessageW(m_window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

    HWND window() const { return m_window; }
    HWND control(std::string_view name) const
    {
        for (std::size_t i = 0; i < kControls.size(); ++i)
            if (kControls[i].name == name)
                return GetDlgItem(m_window, kFirstControlId + static_cast<int>(i));
        return nullptr;
    }
    std::string text(std::string_view name) const
    {
        wchar_t buffer[64]{};
        SendMessageW(control(name), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer));
        return narrowAscii(buffer);
    }
    HWND focus() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(m_process.dwThreadId, &info);
        return info.hwndFocus;
    }
    std::string focusName() const
    {
        const int id = GetDlgCtrlID(focus()) - kFirstControlId;
        return id >= 0 && id < static_cast<int>(kControls.size())
            ? std::string(kControls[static_cast<std::size_t>(id)].name)
            : "?";
    }

private:
    HWND windowOfProcess() const
    {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, kWindowClassName, nullptr))) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == m_process.dwProcessId)
                return window;
        }
        return nullptr;
    }

    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

// Keys as xdotool names them: "alt+m", "Return", "Tab", "Right", "ctrl+v" or a single character.
std::vector<INPUT> keyInputs(const std::string &keys)
{
    std::vector<INPUT> inputs;
    const auto key = [&inputs](WORD virtualKey, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    std::size_t start = 0;
    while (start < keys.size()) {
        std::size_t end = keys.find(' ', start);
        if (end == std::string::npos)
            end = keys.size();
        std::string name = keys.substr(start, end - start);
        start = end + 1;
        WORD modifier = 0;
        if (name.rfind("alt+", 0) == 0 || name.rfind("ctrl+", 0) == 0) {
            modifier = name[0] == 'a' ? VK_MENU : VK_CONTROL;
            name = name.substr(name.find('+') + 1);
        }
        WORD virtualKey = 0;
        if (name == "Return")
            virtualKey = VK_RETURN;
        else if (name == "Tab")
            virtualKey = VK_TAB;
        else if (name == "Right")
            virtualKey = VK_RIGHT;
        else if (name == "Left")
            virtualKey = VK_LEFT;
        else if (name == "Escape")
            virtualKey = VK_ESCAPE;
        else if (name == "period")
            virtualKey = VK_OEM_PERIOD;
        else
            virtualKey = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
        if (modifier)
            key(modifier, false);
        key(virtualKey, false);
        key(virtualKey, true);
        if (modifier)
            key(modifier, true);
    }
    return inputs;
}

// Sends every key at once: none waits for the program to handle the one before.
void type(const std::string &keys)
{
    std::vector<INPUT> inputs = keyInputs(keys);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void setClipboard(const std::wstring &text)
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t *>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

struct FieldTexts
{
    std::string imperialSpeed, metricSpeed, runbyInches, runbyMillimeters;
    bool operator==(const FieldTexts &) const = default;
};

FieldTexts fields(const Program &program)
{
    return {program.text("txtImperialSpeed"), program.text("txtMetricSpeed"),
        program.text("txtRunbyInches"), program.text("txtRunbyMillimeters")};
}

std::string describe(const FieldTexts &f)
{
    return f.imperialSpeed + " | " + f.metricSpeed + " | " + f.runbyInches + " | "
        + f.runbyMillimeters;
}

void checkPlacesAndFlags(const Program &program)
{
    for (const ControlLayout &layout : kControls) {
        RECT rect{};
        GetWindowRect(program.control(layout.name), &rect);
        MapWindowPoints(nullptr, program.window(), reinterpret_cast<POINT *>(&rect), 2);
        const RECT expected{layout.left / kTwipsPerPixel, layout.top / kTwipsPerPixel,
            (layout.left + layout.width) / kTwipsPerPixel,
            (layout.top + layout.height) / kTwipsPerPixel};
        check(EqualRect(&rect, &expected), std::string(layout.name) + " at its place");
    }
    RECT client{};
    GetClientRect(program.window(), &client);
    check(client.right == 527 && client.bottom == 252, "client area 527 x 252 below the menu");
    const auto style = [&](std::string_view name) {
        return GetWindowLongPtrW(program.control(name), GWL_STYLE);
    };
    const LONG_PTR frame = GetWindowLongPtrW(program.window(), GWL_STYLE);
    check((frame & WS_MINIMIZEBOX) && !(frame & WS_MAXIMIZEBOX) && !(frame & WS_THICKFRAME),
        "fixed frame with minimise and no maximise");
    check((style("cmdCalculate") & BS_TYPEMASK) == BS_DEFPUSHBUTTON, "Calculate is the default");
    for (const char *name : {"txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters"})
        check((style(name) & ES_READONLY) && !(style(name) & WS_TABSTOP),
            std::string(name) + " read-only and out of the Tab chain");
    check(!(style("txtImperialSpeed") & ES_READONLY), "txtImperialSpeed editable");
    check((style("optImperial") & WS_GROUP) && !(style("optMetric") & WS_GROUP)
            && (style("Label1") & WS_GROUP),
        "the two options form a group of their own");

    RECT window{};
    GetWindowRect(program.window(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(program.window(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;
    check(std::abs((window.left + window.right) - (work.left + work.right)) <= 1
            && std::abs((window.top + window.bottom) - (work.top + work.bottom)) <= 1,
        "centred in the work area, frame included");
}

// The colour on the screen in the middle of a control.
COLORREF colourIn(const Program &program, std::string_view name)
{
    RECT rect{};
    GetWindowRect(program.control(name), &rect);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.right - 6, (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

void checkColours(const Program &program)
{
    const struct
    {
        const char *name;
        COLORREF colour;
    } fields[] = {
        {"txtImperialSpeed", RGB(255, 255, 255)},
        {"txtMetricSpeed", RGB(255, 255, 0)},
        {"txtRunbyInches", RGB(255, 255, 0)},
        {"txtRunbyMillimeters", RGB(255, 255, 0)},
    };
    for (const auto &field : fields)
        check(eventually([&] { return colourIn(program, field.name) == field.colour; }),
            std::string(field.name) + " in its colour");
}

struct Session
{
    const char *what;
    const char *keys;
    FieldTexts expected;
};

void checkSessions(const std::wstring &exe)
{
    const FieldTexts typical{"150", "0.762", "4.5", "114.3"};
    const Session sessions[] = {
        {"Alt+M, a metric speed", "alt+m 0 period 7 5 Return",
            {"147.63779", "0.75", "4.429133858268", "112.5"}},
        {"Alt+I from metric", "alt+m alt+i 1 5 0 Return", typical},
        {"Alt+I on the selected option", "1 5 alt+i 0 Return", typical},
        {"Right on the selected option", "Tab Tab Tab Right 2 Return",
            {"393.70078", "2", "5.905511811024", "150"}},
        {"Alt+L, a speed", "1 5 0 Return alt+l 7 5 Return", {"75", "0.381", "3", "76.2"}},
        {"Alt+C", "1 5 0 alt+c", typical},
        {"Enter on a focused Clear", "1 5 0 Tab Tab Return", {"", "", "", ""}},
        {"a tenth character refused", "1 2 3 4 5 6 7 8 9 0", {"123456789", "", "", ""}},
    };
    for (const Session &session : sessions) {
        Program program(exe);
        type(session.keys);
        FieldTexts shown;
        const bool ok = eventually([&] {
            shown = fields(program);
            return shown == session.expected;
        });
        check(ok, std::string(session.what) + ": " + describe(shown));
    }
}

void checkPaste(const std::wstring &exe)
{
    Program program(exe);
    setClipboard(L"1\u200B50");
    type("ctrl+v Return");
    FieldTexts shown;
    const bool ok = eventually([&] {
        shown = fields(program);
        return shown == FieldTexts{"150", "0.762", "4.5", "114.3"};
    });
    check(ok, "a paste drops a zero-width space: " + describe(shown));
}

void checkTabOrder(const Program &program)
{
    std::string visited;
    for (int i = 0; i < 4; ++i) {
        type("Tab");
        std::string name;
        eventually([&] {
            name = program.focusName();
            return !visited.empty() || name != "txtImperialSpeed";
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        visited += program.focusName() + " ";
    }
    check(
        visited == "cmdCalculate cmdClear optImperial txtImperialSpeed ", "Tab order: " + visited);
}

void checkHelpMenu(const std::wstring &exe)
{
    Program program(exe);
    type("alt+h");
    check(eventually([] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }),
        "Alt+H opens the Help menu");
    type("Escape Escape");
}

void checkRunbyInfo(const std::wstring &exe)
{
    Program program(exe);
    type("1 2 ctrl+r");
    HWND box = nullptr;
    eventually([&] {
        box = FindWindowW(L"#32770", L"Runby Information");
        return box != nullptr;
    });
    check(box && GetWindow(box, GW_OWNER) == program.window(), "Ctrl+R opens the box, owned");
    wchar_t message[1200]{};
    GetDlgItemTextW(box, 0xFFFF, message, 1200);
    const std::wstring text(message);
    check(text.size() == 1004 && text.rfind(L"300.8b Minimum Bottom and Top Car Runby\r\n", 0) == 0,
        "the 23 lines of the rule, 1004 characters");
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    check(eventually([&] { return program.focusName() == "txtImperialSpeed"; })
            && program.text("txtImperialSpeed") == "12",
        "closing it leaves the speed and the focus as they were");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: win32_window_test RUNBY_EXE\n", stderr);
        return 2;
    }
    const std::wstring exe = windowsPath(argv[1]);
    {
        Program program(exe);
        check(program.window() != nullptr, "the window opens");
        if (!program.window())
            return 1;
        checkPlacesAndFlags(program);
        checkColours(program);
        checkTabOrder(program);
    }
    checkSessions(exe);
    checkPaste(exe);
    checkHelpMenu(exe);
    checkRunbyInfo(exe);
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
