// Starts the real runby.exe and drives it as a user would, with keys sent back to back through
// the system's input queue, reading what it shows through window messages. Checks the wiring of
// the Win32 window: places, flags, colours, Tab order, the key sessions that every window runs,
// the Help menu and the Runby Information box. The calculator's own logic is tested elsewhere.
//
// usage: win32_window_test RUNBY_EXE   (under Wine a Unix path is taken as on drive Z:)

#include "key_sessions.h"
#include "layout.h"
#include "win32_controls.h"
#include "win32_window.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace runby;

namespace {

std::wstring g_exe;

std::wstring windowsPath(std::string path)
{
    if (!path.empty() && path.front() == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return {path.begin(), path.end()};
}

// Waits for a condition for up to ten seconds, long enough for a busy machine, handing on the
// window events hooked meanwhile.
bool eventually(const std::function<bool()> &condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The window events that a screen reader would hear of, while one is alive: each event with the
// window it came from.
class WindowEvents
{
public:
    explicit WindowEvents(DWORD first, DWORD last)
        : m_hook(SetWinEventHook(
            first, last, nullptr, record, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS))
    {
        s_seen.clear();
    }
    WindowEvents(const WindowEvents &) = delete;
    WindowEvents &operator=(const WindowEvents &) = delete;
    ~WindowEvents() { UnhookWinEvent(m_hook); }

    bool seen(DWORD event, HWND window) const
    {
        return std::find(s_seen.begin(), s_seen.end(), std::make_pair(event, window))
            != s_seen.end();
    }

private:
    static void CALLBACK record(
        HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
    {
        if (object == OBJID_CLIENT && child == CHILDID_SELF)
            s_seen.emplace_back(event, window);
    }

    static inline std::vector<std::pair<DWORD, HWND>> s_seen;
    HWINEVENTHOOK m_hook;
};

class Program
{
public:
    // The calculator window that this process runs on one of its threads.
    Program(HWND window, DWORD thread) : m_window(window)
    {
        m_process.dwProcessId = GetCurrentProcessId();
        m_process.dwThreadId = thread;
    }
    // A new runby.exe, active and ready for keys.
    Program()
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + g_exe + L"\"";
        if (!CreateProcessW(g_exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                nullptr, &startup, &m_process)) {
            m_startError = GetLastError();
            return;
        }
        eventually([this] {
            m_window = windowOfProcess();
            return m_window && IsWindowVisible(m_window);
        });
        // The window manager activates the new window. Wine brings Ctrl, Alt and Shift into line
        // with the X server's keyboard as the X focus arrives, which would release a modifier
        // that the test has only sent as input: the keys go once the window is active from the
        // X focus, which Wine takes before it handles anything sent after.
        eventually([this] {
            return GetForegroundWindow() == m_window
                && focusName() == nameOf(ControlId::txtImperialSpeed);
        });
        waitForInputHandled();
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
    // Why the program could not be started; 0 when it was.
    DWORD startError() const { return m_startError; }
    DWORD processId() const { return m_process.dwProcessId; }
    // Waits until the program has handled the input sent to it: a state that equals the one
    // before the keys must not pass before they arrive.
    void waitForInputHandled() const { WaitForInputIdle(m_process.hProcess, 10000); }
    HWND control(ControlId id) const { return GetDlgItem(m_window, commandIdOf(id)); }
    // The message box's OK, once the box shows and is active: on a busy machine the window
    // manager may still be placing a box that shows, and a click at OK's place then missed it.
    HWND messageBoxOk() const
    {
        HWND ok = nullptr;
        eventually([&] {
            HWND box = nullptr;
            while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr))) {
                DWORD process = 0;
                GetWindowThreadProcessId(box, &process);
                if (process == m_process.dwProcessId && IsWindowVisible(box)
                    && GetForegroundWindow() == box)
                    ok = GetDlgItem(box, IDOK);
            }
            return ok != nullptr;
        });
        return ok;
    }
    HWND control(const std::string &name) const
    {
        if (name == "OK")
            return messageBoxOk();
        for (const ControlLayout &layout : clientControls())
            if (layout.name == name)
                return control(layout.id);
        return nullptr;
    }
    std::string text(ControlId id) const
    {
        wchar_t buffer[64]{};
        SendMessageW(control(id), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer));
        return narrow(buffer);
    }
    std::string focusName() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(m_process.dwThreadId, &info);
        const std::optional<ControlId> id = controlIdOf(GetDlgCtrlID(info.hwndFocus));
        return id && GetParent(info.hwndFocus) == m_window ? std::string(nameOf(*id)) : "?";
    }
    std::array<std::string, 4> fields() const
    {
        return {text(ControlId::txtImperialSpeed), text(ControlId::txtMetricSpeed),
            text(ControlId::txtRunbyInches), text(ControlId::txtRunbyMillimeters)};
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
    DWORD m_startError = 0;
};

void setClipboard(const std::u16string &text)
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<char16_t *>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// The inputs of a session's keys, to go to the system at once: none waits for the program to
// handle the one before. A paste's text goes to the clipboard now.
class Inputs
{
public:
    explicit Inputs(const Program &program) : m_program(program) { }

    void add(const KeyStep &step)
    {
        switch (step.kind) {
        case KeyStep::Kind::Key:
            press(namedKey(step.name), step.name == "KP_Enter" ? KEYEVENTF_EXTENDEDKEY : 0);
            break;
        case KeyStep::Kind::Alt:
        case KeyStep::Kind::Ctrl:
            withModifier(step.kind == KeyStep::Kind::Alt ? VK_MENU : VK_CONTROL,
                static_cast<WORD>(std::toupper(static_cast<unsigned char>(step.name.front()))));
            break;
        case KeyStep::Kind::Paste:
            setClipboard(step.text);
            withModifier(VK_CONTROL, 'V');
            break;
        case KeyStep::Kind::Click:
            // A person clicks OK once the box shows; any other click comes with the keys, back to
            // back.
            if (step.name == "OK") {
                send();
                m_inputs.clear();
            }
            click(m_program.control(step.name));
            if (step.name == "OK") {
                send();
                m_inputs.clear();
            }
            break;
        case KeyStep::Kind::Type:
            for (const char16_t c : step.text)
                type(c);
            break;
        }
    }

    void send() { SendInput(static_cast<UINT>(m_inputs.size()), m_inputs.data(), sizeof(INPUT)); }
    // How many key releases the inputs hold.
    long releases() const
    {
        return std::count_if(m_inputs.begin(), m_inputs.end(), [](const INPUT &input) {
            return input.type == INPUT_KEYBOARD && (input.ki.dwFlags & KEYEVENTF_KEYUP);
        });
    }

private:
    static WORD namedKey(const std::string &name)
    {
        const std::pair<const char *, WORD> keys[] = {{"Return", VK_RETURN},
            {"KP_Enter", VK_RETURN}, {"Tab", VK_TAB}, {"Left", VK_LEFT}, {"Right", VK_RIGHT},
            {"Up", VK_UP}, {"Down", VK_DOWN}, {"Escape", VK_ESCAPE}, {"Alt_L", VK_MENU}};
        for (const auto &[keyName, key] : keys)
            if (name == keyName)
                return key;
        return 0;
    }

    void key(WORD virtualKey, WORD scan, DWORD flags)
    {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = scan;
        input.ki.dwFlags = flags;
        m_inputs.push_back(input);
    }
    void press(WORD virtualKey, DWORD flags = 0)
    {
        key(virtualKey, 0, flags);
        key(virtualKey, 0, flags | KEYEVENTF_KEYUP);
    }
    // The modifier released before the letter, as people often do and xdotool does.
    void withModifier(WORD modifier, WORD virtualKey)
    {
        key(modifier, 0, 0);
        key(virtualKey, 0, 0);
        key(modifier, 0, KEYEVENTF_KEYUP);
        key(virtualKey, 0, KEYEVENTF_KEYUP);
    }
    // Digits and the point from their keys, any other character as the keyboard's text.
    void type(char16_t c)
    {
        if (c >= u'0' && c <= u'9') {
            press(static_cast<WORD>(c));
        } else if (c == u'.') {
            press(VK_OEM_PERIOD);
        } else {
            key(0, static_cast<WORD>(c), KEYEVENTF_UNICODE);
            key(0, static_cast<WORD>(c), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        }
    }
    void click(HWND control)
    {
        RECT rect{};
        GetWindowRect(control, &rect);
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv((rect.left + rect.right) / 2, 65535, width - 1);
        input.mi.dy = MulDiv((rect.top + rect.bottom) / 2, 65535, height - 1);
        // The press and the release each carry the place too: Wine also takes the pointer's place
        // from X's events, and one from before the move (a window mapped under the pointer where
        // it was) would put a bare press back there, beside OK.
        for (const DWORD flags : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
            m_inputs.push_back(input);
        }
    }

    const Program &m_program;
    std::vector<INPUT> m_inputs;
};

void type(const Program &program, const std::string &keys)
{
    Inputs inputs(program);
    for (const KeyStep &step : keysessions::sessionOf("keys | " + keys + " | | | |").steps)
        inputs.add(step);
    inputs.send();
}

class Win32Window : public testing::Test
{
protected:
    Program program;
};

bool toolTipShows(const Program &program)
{
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))) {
        DWORD process = 0;
        GetWindowThreadProcessId(tip, &process);
        if (process == program.processId() && IsWindowVisible(tip))
            return true;
    }
    return false;
}

void movePointerTo(HWND control, int nudge)
{
    RECT place{};
    GetWindowRect(control, &place);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx =
        MulDiv((place.left + place.right) / 2 + nudge, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv((place.top + place.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// The pointer resting on a unit label shows its tooltip; on a button, which has none, no tooltip
// shows. The controls pass the pointer to the tooltips themselves.
TEST_F(Win32Window, ShowsTheToolTipUnderThePointer)
{
    ASSERT_NE(program.window(), nullptr);
    for (const int nudge : {-2, 0})
        movePointerTo(program.control(ControlId::Label6), nudge);
    EXPECT_TRUE(eventually([&] { return toolTipShows(program); }));
    for (const int nudge : {-2, 0})
        movePointerTo(program.control(ControlId::cmdCalculate), nudge);
    EXPECT_TRUE(eventually([&] { return !toolTipShows(program); }));
}

TEST_F(Win32Window, PlacesEveryControlWithItsFlags)
{
    ASSERT_NE(program.window(), nullptr);
    for (const ControlLayout &layout : clientControls()) {
        RECT rect{};
        GetWindowRect(program.control(layout.id), &rect);
        MapWindowPoints(nullptr, program.window(), reinterpret_cast<POINT *>(&rect), 2);
        const RECT expected{layout.left / kTwipsPerPixel, layout.top / kTwipsPerPixel,
            (layout.left + layout.width) / kTwipsPerPixel,
            (layout.top + layout.height) / kTwipsPerPixel};
        EXPECT_TRUE(EqualRect(&rect, &expected)) << layout.name;
    }
    RECT client{};
    GetClientRect(program.window(), &client);
    EXPECT_EQ(client.right, 527);
    EXPECT_EQ(client.bottom, 252);
    const auto style = [&](ControlId id) {
        return GetWindowLongPtrW(program.control(id), GWL_STYLE);
    };
    const LONG_PTR frame = GetWindowLongPtrW(program.window(), GWL_STYLE);
    EXPECT_TRUE((frame & WS_MINIMIZEBOX) && !(frame & WS_MAXIMIZEBOX) && !(frame & WS_THICKFRAME))
        << "a fixed frame with minimise and no maximise";
    EXPECT_EQ(style(ControlId::cmdCalculate) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    for (const ControlId id :
        {ControlId::txtMetricSpeed, ControlId::txtRunbyInches, ControlId::txtRunbyMillimeters})
        EXPECT_TRUE((style(id) & ES_READONLY) && !(style(id) & WS_TABSTOP))
            << nameOf(id) << " read-only and out of the Tab chain";
    EXPECT_FALSE(style(ControlId::txtImperialSpeed) & ES_READONLY);
    EXPECT_TRUE((style(ControlId::optImperial) & WS_GROUP)
        && !(style(ControlId::optMetric) & WS_GROUP) && (style(ControlId::Label1) & WS_GROUP))
        << "the two options form a group of their own";

    RECT window{};
    GetWindowRect(program.window(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(program.window(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
}

// The colour on the screen in the middle of a control, near its right edge.
COLORREF colourIn(const Program &program, ControlId id)
{
    RECT rect{};
    GetWindowRect(program.control(id), &rect);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.right - 6, (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST_F(Win32Window, PaintsEachFieldInItsColour)
{
    const std::pair<ControlId, COLORREF> fields[] = {
        {ControlId::txtImperialSpeed, RGB(255, 255, 255)},
        {ControlId::txtMetricSpeed, RGB(255, 255, 0)},
        {ControlId::txtRunbyInches, RGB(255, 255, 0)},
        {ControlId::txtRunbyMillimeters, RGB(255, 255, 0)},
    };
    for (const auto &[id, colour] : fields)
        EXPECT_TRUE(eventually([&] { return colourIn(program, id) == colour; })) << nameOf(id);
}

TEST_F(Win32Window, TabVisitsTheSpeedTheButtonsAndTheSelectedOption)
{
    for (const ControlId next : {ControlId::cmdCalculate, ControlId::cmdClear,
             ControlId::optImperial, ControlId::txtImperialSpeed}) {
        type(program, "Tab");
        EXPECT_TRUE(eventually([&] { return program.focusName() == nameOf(next); }))
            << "expected " << nameOf(next) << ", focus on " << program.focusName();
    }
}

TEST_F(Win32Window, AltHOpensTheHelpMenu)
{
    type(program, "alt+h");
    EXPECT_TRUE(eventually([] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }));
    type(program, "Escape Escape");
}

TEST_F(Win32Window, CtrlRShowsTheRuleAndClosingItKeepsSpeedAndFocus)
{
    type(program, "12 ctrl+r");
    HWND box = nullptr;
    ASSERT_TRUE(eventually([&] {
        box = FindWindowW(L"#32770", L"Runby Information");
        return box != nullptr;
    }));
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.window());
    wchar_t message[1200]{};
    GetDlgItemTextW(box, 0xFFFF, message, 1200);
    const std::wstring text(message);
    EXPECT_EQ(text.size(), 1004U);
    EXPECT_EQ(text.rfind(L"300.8b Minimum Bottom and Top Car Runby\r\n", 0), 0U);
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(eventually([&] { return program.focusName() == "txtImperialSpeed"; }));
    EXPECT_EQ(program.text(ControlId::txtImperialSpeed), "12");
}

std::string windowTextOf(HWND window)
{
    wchar_t buffer[256]{};
    GetWindowTextW(window, buffer, 256);
    return narrow(buffer);
}

// The result goes to fields that do not have the focus: a live region tells it in one sentence,
// and each field written reports its new value.
TEST_F(Win32Window, TellsScreenReadersTheResultWithoutMovingTheFocus)
{
    const WindowEvents events(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED);
    HWND region = GetDlgItem(program.window(), kAnnouncementId);
    ASSERT_NE(region, nullptr);
    type(program, "150 Return");
    EXPECT_TRUE(eventually([&] {
        return windowTextOf(region)
            == "Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second"
            && events.seen(EVENT_OBJECT_LIVEREGIONCHANGED, region);
    })) << windowTextOf(region);
    for (const ControlId id :
        {ControlId::txtRunbyInches, ControlId::txtRunbyMillimeters, ControlId::txtMetricSpeed})
        EXPECT_TRUE(events.seen(EVENT_OBJECT_VALUECHANGE, program.control(id))) << nameOf(id);
    EXPECT_EQ(program.focusName(), "txtImperialSpeed");

    type(program, "alt+l 0 Return");
    EXPECT_TRUE(eventually([&] {
        return windowTextOf(region) == "The speed is not positive; the fields were cleared.";
    })) << windowTextOf(region);
    RECT place{};
    GetWindowRect(region, &place);
    EXPECT_TRUE(IsRectEmpty(&place)) << "the region shows nothing";
}

// What a screen reader is told of each control: the name of the layout (Windows would name a
// field after the label before it in the stacking order), the role of its kind, a field's text as
// value, and the state: read-only where a field only shows, the selected option checked,
// Calculate the default button.
TEST_F(Win32Window, DescribesEachControlAsTheLayoutDoes)
{
    type(program, "150 Return");
    ASSERT_TRUE(eventually([&] { return program.text(ControlId::txtRunbyInches) == "4.5"; }));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    constexpr LONG kNone = 0;
    const struct
    {
        ControlId id;
        const wchar_t *name;
        LONG role;
        const wchar_t *value;
        LONG stateSet;
        LONG stateClear;
    } controls[] = {
        {ControlId::Label1, L"Tarnvale", ROLE_SYSTEM_STATICTEXT, nullptr, kNone, kNone},
        {ControlId::optImperial, L"Imperial", ROLE_SYSTEM_RADIOBUTTON, nullptr,
            STATE_SYSTEM_CHECKED, kNone},
        {ControlId::optMetric, L"Metric", ROLE_SYSTEM_RADIOBUTTON, nullptr, kNone,
            STATE_SYSTEM_CHECKED},
        {ControlId::Label4, L"Speed", ROLE_SYSTEM_STATICTEXT, nullptr, kNone, kNone},
        {ControlId::txtImperialSpeed, L"Speed in feet per minute", ROLE_SYSTEM_TEXT, L"150", kNone,
            STATE_SYSTEM_READONLY},
        {ControlId::txtMetricSpeed, L"Speed in meters per second", ROLE_SYSTEM_TEXT, L"0.762",
            STATE_SYSTEM_READONLY, kNone},
        {ControlId::txtRunbyInches, L"Minimum runby in inches", ROLE_SYSTEM_TEXT, L"4.5",
            STATE_SYSTEM_READONLY, kNone},
        {ControlId::txtRunbyMillimeters, L"Minimum runby in millimeters", ROLE_SYSTEM_TEXT,
            L"114.3", STATE_SYSTEM_READONLY, kNone},
        {ControlId::Label9, L"MM", ROLE_SYSTEM_STATICTEXT, nullptr, kNone, kNone},
        {ControlId::cmdCalculate, L"Calculate", ROLE_SYSTEM_PUSHBUTTON, nullptr,
            STATE_SYSTEM_DEFAULT, kNone},
        {ControlId::cmdClear, L"Clear", ROLE_SYSTEM_PUSHBUTTON, nullptr, kNone,
            STATE_SYSTEM_DEFAULT},
    };
    for (const auto &control : controls) {
        SCOPED_TRACE(std::string(nameOf(control.id)));
        IAccessible *accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(program.control(control.id), OBJID_CLIENT,
                      __uuidof(IAccessible), reinterpret_cast<void **>(&accessible)),
            S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        VARIANT role{};
        VARIANT state{};
        EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
        EXPECT_EQ(accessible->get_accRole(self, &role), S_OK);
        EXPECT_EQ(accessible->get_accState(self, &state), S_OK);
        EXPECT_EQ(std::wstring(name ? name : L""), control.name);
        EXPECT_EQ(role.lVal, control.role);
        EXPECT_EQ(state.lVal & control.stateSet, control.stateSet);
        EXPECT_EQ(state.lVal & control.stateClear, kNone);
        if (control.value) {
            BSTR value = nullptr;
            EXPECT_EQ(accessible->get_accValue(self, &value), S_OK);
            EXPECT_EQ(std::wstring(value ? value : L""), control.value);
            SysFreeString(value);
        }
        SysFreeString(name);
        accessible->Release();
    }
    CoUninitialize();
}

std::wstring accessibleName(IAccessible *object)
{
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

LONG accessibleRole(IAccessible *object)
{
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    object->get_accRole(self, &role);
    return role.vt == VT_I4 ? role.lVal : -1;
}

// The names of an object's children in order, a group's members in brackets after its name; a
// member's parent must be its group.
std::vector<std::wstring> namesBelow(IAccessible *parent)
{
    std::array<VARIANT, kClientControlCount> children{};
    LONG obtained = 0;
    AccessibleChildren(parent, 0, static_cast<LONG>(children.size()), children.data(), &obtained);
    std::vector<std::wstring> names;
    for (LONG i = 0; i < obtained; ++i) {
        VARIANT &child = children.at(static_cast<std::size_t>(i));
        IAccessible *accessible = nullptr;
        if (child.vt != VT_DISPATCH
            || FAILED(child.pdispVal->QueryInterface(
                __uuidof(IAccessible), reinterpret_cast<void **>(&accessible)))) {
            names.emplace_back(L"?");
            VariantClear(&child);
            continue;
        }
        // A control's child is its window; what it says of itself is its client area's object.
        HWND control = nullptr;
        WindowFromAccessibleObject(accessible, &control);
        HWND parentWindow = nullptr;
        WindowFromAccessibleObject(parent, &parentWindow);
        if (control && control != parentWindow) {
            accessible->Release();
            accessible = nullptr;
            AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                reinterpret_cast<void **>(&accessible));
        }
        std::wstring name = accessibleName(accessible);

        if (accessibleRole(accessible) == ROLE_SYSTEM_GROUPING) {
            std::wstring members;
            for (const std::wstring &member : namesBelow(accessible))
                members += (members.empty() ? L"" : L", ") + member;
            name += L" [" + members + L"]";
        }
        IDispatch *back = nullptr;
        if (accessibleRole(parent) == ROLE_SYSTEM_GROUPING
            && SUCCEEDED(accessible->get_accParent(&back)) && back) {
            IAccessible *backAccessible = nullptr;
            back->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&backAccessible));
            if (!backAccessible || accessibleName(backAccessible) != accessibleName(parent))
                name += L" (wrong parent)";
            if (backAccessible)
                backAccessible->Release();
            back->Release();
        }
        names.push_back(name);
        accessible->Release();
        VariantClear(&child);
    }
    return names;
}

// A screen reader reads the controls in the order they stand on the screen, not in the stacking
// order, which the dialog manager needs in Tab order, the unit options as one group; and learns
// what the program is.
TEST_F(Win32Window, ListsTheControlsInTheOrderOfReading)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible *client = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(program.window(), OBJID_CLIENT, __uuidof(IAccessible),
                  reinterpret_cast<void **>(&client)),
        S_OK);
    EXPECT_EQ(namesBelow(client),
        (std::vector<std::wstring>{L"Tarnvale", L"Units [Imperial, Metric]", L"Speed",
            L"Speed in feet per minute", L"FPM", L"Speed in meters per second", L"MPS",
            L"Minimum Runby", L"Minimum runby in inches", L"IN", L"Minimum runby in millimeters",
            L"MM", L"Calculate", L"Clear"}));

    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR description = nullptr;
    EXPECT_EQ(client->get_accDescription(self, &description), S_OK);
    EXPECT_EQ(std::wstring(description ? description : L""),
        L"Minimum car runby calculator for hydraulic elevators");
    SysFreeString(description);
    client->Release();
    CoUninitialize();
}

// What the thread of a window takes from its queue, while one is alive: the paints, by window, and
// the key releases, which tell when the keys sent have all arrived.
class QueueWatch
{
public:
    explicit QueueWatch(DWORD thread)
    {
        // The counts are the hook's, which has no object: a watch before this one left its own.
        const std::lock_guard lock(s_mutex);
        s_paints.clear();
        s_releases = 0;
        m_hook = SetWindowsHookExW(WH_GETMESSAGE, taken, nullptr, thread);
    }
    QueueWatch(const QueueWatch &) = delete;
    QueueWatch &operator=(const QueueWatch &) = delete;
    ~QueueWatch() { UnhookWindowsHookEx(m_hook); }

    bool hooked() const { return m_hook != nullptr; }
    long releases() const
    {
        const std::lock_guard lock(s_mutex);
        return s_releases;
    }
    // The paints of each window since the last call.
    std::map<HWND, int> takePaints()
    {
        const std::lock_guard lock(s_mutex);
        return std::exchange(s_paints, {});
    }

private:
    static LRESULT CALLBACK taken(int code, WPARAM removal, LPARAM lParam)
    {
        const auto &message = *reinterpret_cast<const MSG *>(lParam);
        if (code == HC_ACTION && removal == PM_REMOVE) {
            const std::lock_guard lock(s_mutex);
            if (message.message == WM_PAINT)
                ++s_paints[message.hwnd];
            else if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP)
                ++s_releases;
        }
        return CallNextHookEx(nullptr, code, removal, lParam);
    }

    static inline std::mutex s_mutex;
    static inline std::map<HWND, int> s_paints;
    static inline long s_releases = 0;
    HHOOK m_hook = nullptr;
};

// The calculator window run by a thread of this process, whose queue the test can watch.
class WindowOnThread
{
public:
    WindowOnThread() : m_thread([] { runWin32Window(GetModuleHandleW(nullptr), SW_SHOWNORMAL); })
    {
        eventually([&] {
            m_window = nullptr;
            DWORD process = 0;
            while ((m_window = FindWindowExW(nullptr, m_window, kWindowClassName, nullptr))) {
                GetWindowThreadProcessId(m_window, &process);
                if (process == GetCurrentProcessId())
                    return IsWindowVisible(m_window) != FALSE;
            }
            return false;
        });
        m_program.emplace(m_window, threadId());
        SetForegroundWindow(m_window);
        eventually([&] { return m_program->focusName() == nameOf(ControlId::txtImperialSpeed); });
    }
    WindowOnThread(const WindowOnThread &) = delete;
    WindowOnThread &operator=(const WindowOnThread &) = delete;
    ~WindowOnThread()
    {
        PostMessageW(m_window, WM_CLOSE, 0, 0);
        m_thread.join();
    }

    const Program &program() const { return *m_program; }
    DWORD threadId() const { return GetWindowThreadProcessId(m_window, nullptr); }

private:
    std::thread m_thread;
    HWND m_window = nullptr;
    std::optional<Program> m_program;
};

// How wide a control's caption is drawn, in pixels, with what the control draws beside it: an
// option's circle and the gap after it, a button's edges.
int neededWidth(HWND control, ControlKind kind)
{
    wchar_t caption[256]{};
    GetWindowTextW(control, caption, static_cast<int>(std::size(caption)));
    HDC context = GetDC(control);
    const HGDIOBJ before =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT drawn{};
    DrawTextW(context, caption, -1, &drawn, DT_CALCRECT | DT_SINGLELINE);
    SIZE blank{};
    GetTextExtentPoint32W(context, L" ", 1, &blank);
    SelectObject(context, before);
    ReleaseDC(control, context);
    const int width = drawn.right - drawn.left;
    if (kind == ControlKind::OptionButton)
        return width + GetSystemMetrics(SM_CXMENUCHECK) + blank.cx;
    if (kind == ControlKind::PushButton)
        return width + 4 * GetSystemMetrics(SM_CXEDGE);
    return width;
}

// Each caption, in each language, fits the control it stands in as the window lays it out.
TEST(Win32WindowCaptions, FitTheirControlsInEveryLanguage)
{
    for (const Catalogue &catalogue : kCatalogues) {
        speak(catalogue);
        const WindowOnThread window;
        for (const ControlLayout &layout : clientControls()) {
            if (layout.caption == Text::none)
                continue;
            const HWND control = window.program().control(layout.id);
            RECT place{};
            GetClientRect(control, &place);
            EXPECT_LE(neededWidth(control, layout.kind), place.right)
                << catalogue.language << ": " << layout.name;
        }
    }
    speak(kCatalogues.front());
}

// Each event paints each field that it changes once, and no other: a field set to the text it
// shows, or a focus that leaves and comes back, would paint it again.
TEST(Win32WindowPaints, EachEventPaintsEachChangedFieldOnce)
{
    struct Step
    {
        const char *keys;
        std::array<std::string, 4> fields;
        std::array<int, 4> paints; // -1: not counted
    };
    const Step steps[] = {
        {"150", {"150", "", "", ""}, {-1, 0, 0, 0}},
        {"Return", {"150", "0.762", "4.5", "114.3"}, {0, 1, 1, 1}},
        {"Return", {"150", "0.762", "4.5", "114.3"}, {0, 0, 0, 0}},
        {"alt+i", {"150", "0.762", "4.5", "114.3"}, {0, 0, 0, 0}},
        {"alt+m", {"", "", "", ""}, {1, 1, 1, 1}},
        {"alt+l", {"", "", "", ""}, {0, 0, 0, 0}},
    };
    const ControlId fieldIds[] = {ControlId::txtImperialSpeed, ControlId::txtMetricSpeed,
        ControlId::txtRunbyInches, ControlId::txtRunbyMillimeters};
    WindowOnThread window;
    const Program &program = window.program();
    ASSERT_EQ(program.focusName(), nameOf(ControlId::txtImperialSpeed));
    const auto allPainted = [&] {
        return std::none_of(std::begin(fieldIds), std::end(fieldIds),
            [&](ControlId id) { return GetUpdateRect(program.control(id), nullptr, FALSE); });
    };
    // The window's first paint, late on a busy machine, is not counted.
    ASSERT_TRUE(eventually(allPainted));
    QueueWatch watch(window.threadId());
    ASSERT_TRUE(watch.hooked());
    long released = 0;
    for (const Step &step : steps) {
        Inputs inputs(program);
        for (const KeyStep &key :
            keysessions::sessionOf(std::string("keys | ") + step.keys + " | | | |").steps)
            inputs.add(key);
        released += inputs.releases();
        inputs.send();
        // Every key arrived and was handled, and every paint it caused was taken.
        ASSERT_TRUE(eventually([&] {
            return watch.releases() == released && program.fields() == step.fields && allPainted();
        })) << step.keys;
        const std::map<HWND, int> paints = watch.takePaints();
        for (std::size_t i = 0; i < std::size(fieldIds); ++i) {
            const auto painted = paints.find(program.control(fieldIds[i]));
            if (step.paints[i] >= 0) {
                EXPECT_EQ(painted == paints.end() ? 0 : painted->second, step.paints[i])
                    << step.keys << ": " << nameOf(fieldIds[i]);
            }
        }
    }
}

class KeySessionTest : public testing::Test
{
public:
    explicit KeySessionTest(KeySession session) : m_session(std::move(session)) { }

    void TestBody() override
    {
        Program program;
        ASSERT_NE(program.window(), nullptr)
            << "runby.exe not started: error " << program.startError();
        Inputs inputs(program);
        for (const KeyStep &step : m_session.steps)
            inputs.add(step);
        inputs.send();
        program.waitForInputHandled();
        std::array<std::string, 4> shown;
        EXPECT_TRUE(eventually([&] {
            shown = program.fields();
            return shown == m_session.fields;
        })) << shown[0]
            << " | " << shown[1] << " | " << shown[2] << " | " << shown[3];
    }

private:
    KeySession m_session;
};

} // namespace

int main(int argc, char *argv[])
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fputs("usage: win32_window_test RUNBY_EXE LANGUAGE\n", stderr);
        return 2;
    }
    g_exe = windowsPath(argv[1]);
    // The sessions as typed in the language that the system gives the program.
    for (const KeySession &session : readKeySessions(argv[2])) {
        testing::RegisterTest("KeySession", session.what.c_str(), nullptr, nullptr, __FILE__,
            __LINE__, [session]() -> testing::Test * { return new KeySessionTest(session); });
    }
    return RUN_ALL_TESTS();
}
