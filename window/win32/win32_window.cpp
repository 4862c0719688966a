#include "win32_window.h"

#include "accessible_objects.h"
#include "calculator_form.h"
#include "control_classes.h"
#include "keyboard_policy.h"
#include "layout.h"
#include "win32_controls.h"
#include "window_session.h"

#include <uxtheme.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace runby {

namespace {

// Posted to the window once it is shown.
constexpr UINT kPrepareAnnouncements = WM_APP;

constexpr int kIconResource = 1;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kPointsToTwips = 20;
constexpr int kTwipsPerInch = 1440;

struct GdiObjectDeleter
{
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using Brush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

// What the system made, or WindowNotCreated naming what it could not make.
template <typename Handle> Handle created(Handle handle, const char *what)
{
    if (!handle)
        throw WindowNotCreated(filledText(
            Text::window_not_made, {{"call", what}, {"error", std::to_string(GetLastError())}}));
    return handle;
}

Rgb systemColor(int index)
{
    const COLORREF color = GetSysColor(index);
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

bool highContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)
        && (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// Twips of the design to pixels at the given dots per inch.
int pixels(int twips, UINT dpi)
{
    return MulDiv(twips / kTwipsPerPixel, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

bool hasFontFamily(const wchar_t *family)
{
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(query.lfFaceName, family, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &query,
        [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) {
            *reinterpret_cast<bool *>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// MS Sans Serif in a TrueType rendition, which scales to any DPI: Windows names it Microsoft Sans
// Serif and keeps the old name for a bitmap font of a few sizes; Wine has it under the old name.
const wchar_t *sansSerifFace()
{
    static const bool microsoftSansSerif = hasFontFamily(L"Microsoft Sans Serif");
    return microsoftSansSerif ? L"Microsoft Sans Serif" : L"MS Sans Serif";
}

// The captions' faces: MS Sans Serif at the designed sizes; the dialog font where the design
// names none.
Font createFont(Face face, UINT dpi)
{
    LOGFONTW font{};
    if (face == Face::Default) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = metrics.lfMessageFont;
    } else {
        std::wcsncpy(font.lfFaceName, sansSerifFace(), LF_FACESIZE - 1);
        font.lfOutPrecision = OUT_TT_PRECIS;
    }
    const FaceSize size = faceSize(face);
    const auto twips = static_cast<int>(size.points * kPointsToTwips);
    font.lfHeight = -MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
    font.lfWidth = 0;
    font.lfWeight = size.bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = CLEARTYPE_QUALITY;
    return Font(CreateFontIndirectW(&font));
}

struct ControlClass
{
    const wchar_t *name;
    DWORD style;
    DWORD extendedStyle;
};

ControlClass classOf(const ControlLayout &layout)
{
    switch (layout.kind) {
    case ControlKind::OptionButton:
        return {WC_BUTTONW, BS_AUTORADIOBUTTON, 0};
    case ControlKind::PushButton:
        return {WC_BUTTONW,
            static_cast<DWORD>(layout.id == kDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)
                | WS_TABSTOP,
            0};
    case ControlKind::TextField:
        return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Label:
    case ControlKind::Window:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        break;
    }
    // SS_NOTIFY lets the tooltips see the pointer over a label.
    return {WC_STATICW,
        static_cast<DWORD>(layout.id == kCentredLabel ? SS_CENTER : SS_LEFT) | SS_NOTIFY, 0};
}

// A key message as the keyboard policy sees it; none for any other message.
std::optional<KeyPress> keyPressOfMessage(const MSG &message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return std::nullopt;
    // The context code tells that Alt was down.
    return keyPressOf(static_cast<unsigned>(message.wParam),
        (message.lParam & (LPARAM{1} << 29)) != 0, GetKeyState(VK_CONTROL) < 0,
        GetKeyState(VK_SHIFT) < 0);
}

class CalculatorWindow final : public KeyTarget
{
public:
    explicit CalculatorWindow(HINSTANCE instance);
    CalculatorWindow(const CalculatorWindow &) = delete;
    CalculatorWindow &operator=(const CalculatorWindow &) = delete;
    ~CalculatorWindow() override;

    int run(int showCommand);

    void press(ControlId button) override;
    void select(ControlId option) override;
    void openMenu(ControlId menu) override;
    void closeMenu() override { EndMenu(); }
    void choose(ControlId item) override;

private:
    struct Adapters
    {
        Win32TextBox imperialSpeed;
        Win32TextBox metricSpeed;
        Win32TextBox runbyInches;
        Win32TextBox runbyMillimeters;
        Win32OptionButton imperial;
        Win32OptionButton metric;
        Win32MessageBox messageBox;
        Win32Announcer announcer;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK menuKeyHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND control(ControlId id) const { return m_controls.at(indexOf(id)); }
    void createParts();
    void createControls();
    HWND createAnnouncementRegion();
    void createMenu();
    void createToolTips();
    void layOut(UINT dpi);
    void placeOnPointerMonitor();
    ControlId focusedControl() const;
    bool takeKey(const MSG &message);
    bool takeMenuKey(const MSG &message);
    void onMenuSelect(UINT item, UINT flags, HMENU menu);
    void onCommand(int commandId, int code, HWND control);
    void showWholeTextWhenCut(NMTTDISPINFOW &request);
    LRESULT onControlColor(HDC dc, HWND control);
    HBRUSH brush(Rgb color);

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    std::array<HWND, kClientControlCount> m_controls{};
    std::array<Font, 4> m_fonts;
    std::map<COLORREF, Brush> m_brushes;
    std::vector<std::wstring> m_toolTips;
    ControlClasses m_classes;
    std::wstring m_fieldTip;
    HWND m_focusBeforeDeactivation = nullptr;
    bool m_highContrast = highContrast();
    // The menu's title or item highlighted while the menu bar is in use.
    std::optional<ControlId> m_menuFocus;
    HHOOK m_menuKeys = nullptr;
    DeferredFocus m_focus;
    std::unique_ptr<Adapters> m_adapters;
    std::unique_ptr<WindowSession> m_session;
};

CalculatorWindow::CalculatorWindow(HINSTANCE instance)
    : m_instance(instance), m_classes(registerControlClasses(instance))
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClassName;
    // Where the controls find what the window keeps for their classes.
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    created(RegisterClassExW(&windowClass), "RegisterClassExW");

    // Created hidden on the monitor that holds the pointer, so that it takes that monitor's DPI.
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    created(CreateWindowExW(0, kWindowClassName, widen(captionOf(ControlId::frmRunby)).c_str(),
                kWindowStyle, monitor.rcWork.left, monitor.rcWork.top, 1, 1, nullptr, nullptr,
                instance, this),
        "CreateWindowExW");
    try {
        createParts();
    } catch (const WindowNotCreated &) {
        // The half-made window must not call back into this object, which is not made either.
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
        throw;
    }
    layOut(GetDpiForWindow(m_window));
    placeOnPointerMonitor();
    // The keys of the menu bar and its menu go by the keyboard policy as well.
    m_menuKeys = SetWindowsHookExW(WH_MSGFILTER, menuKeyHook, nullptr, GetCurrentThreadId());
}

CalculatorWindow::~CalculatorWindow()
{
    if (m_menuKeys)
        UnhookWindowsHookEx(m_menuKeys);
    // The class goes with its window, so that a later window of the process registers it again.
    UnregisterClassW(kWindowClassName, m_instance);
}

// The controls, the menu and the tips, and the calculator over them.
void CalculatorWindow::createParts()
{
    createControls();
    createMenu();
    createToolTips();
    m_adapters = std::make_unique<Adapters>(
        Adapters{Win32TextBox(control(ControlId::txtImperialSpeed), kSpeedFieldLength, m_focus),
            Win32TextBox(control(ControlId::txtMetricSpeed), kSpeedFieldLength, m_focus),
            Win32TextBox(control(ControlId::txtRunbyInches), std::string::npos, m_focus),
            Win32TextBox(control(ControlId::txtRunbyMillimeters), std::string::npos, m_focus),
            Win32OptionButton(control(ControlId::optImperial)),
            Win32OptionButton(control(ControlId::optMetric)), Win32MessageBox(m_window),
            Win32Announcer(createAnnouncementRegion())});
    Adapters &a = *m_adapters;
    m_session = std::make_unique<WindowSession>(
        CalculatorForm::Controls{a.imperialSpeed, a.metricSpeed, a.runbyInches, a.runbyMillimeters,
            a.imperial, a.metric, a.messageBox, a.announcer},
        m_focus);
    m_session->load();
}

LRESULT CALLBACK CalculatorWindow::windowProc(
    HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<CalculatorWindow *>(
            reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetWindowLongPtrW(
            window, kControlClassesOffset, reinterpret_cast<LONG_PTR>(&self->m_classes));
    }
    auto *self = reinterpret_cast<CalculatorWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->m_session)
        return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A key in the menu loop, which runs its own messages, of the calculator's window.
LRESULT CALLBACK CalculatorWindow::menuKeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto &message = *reinterpret_cast<const MSG *>(lParam);
    HWND owner = GetAncestor(message.hwnd, GA_ROOTOWNER);
    wchar_t className[std::size(kWindowClassName)]{};
    if (code == MSGF_MENU && owner
        && GetClassNameW(owner, className, static_cast<int>(std::size(className)))
        && std::wstring_view(className) == kWindowClassName) {
        auto *self = reinterpret_cast<CalculatorWindow *>(GetWindowLongPtrW(owner, GWLP_USERDATA));
        if (self && self->takeMenuKey(message))
            return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Creates the controls in the order of their tab indexes, each in its place for the window's DPI:
// each new control goes below those before it, and the dialog manager's Tab walks them in that
// stacking order. An option group runs from a control marked as a group's start to the next one
// so marked.
void CalculatorWindow::createControls()
{
    const UINT dpi = GetDpiForWindow(m_window);
    bool inOptions = false;
    for (const ControlLayout *layout : controlsInTabOrder()) {
        const ControlClass controlClass = classOf(*layout);
        const bool option = layout->kind == ControlKind::OptionButton;
        const DWORD group = option != inOptions ? WS_GROUP : 0;
        inOptions = option;
        HWND handle = created(
            CreateWindowExW(controlClass.extendedStyle, controlClassOf(controlClass.name),
                widen(textOf(layout->caption)).c_str(),
                WS_CHILD | WS_VISIBLE | controlClass.style | group, pixels(layout->left, dpi),
                pixels(layout->top, dpi), pixels(layout->width, dpi), pixels(layout->height, dpi),
                m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandIdOf(layout->id))),
                m_instance, nullptr),
            "CreateWindowExW");
        m_controls.at(indexOf(layout->id)) = handle;
        if (option)
            // Themed option buttons draw their captions in the theme's colour, not the red or
            // black the calculator gives them.
            SetWindowTheme(handle, L"", L"");
    }
}

// A label of no size, out of the Tab chain, below every control.
HWND CalculatorWindow::createAnnouncementRegion()
{
    return created(
        CreateWindowExW(0, controlClassOf(WC_STATICW), L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0,
            0, 0, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAnnouncementId)),
            m_instance, nullptr),
        "CreateWindowExW");
}

void CalculatorWindow::createMenu()
{
    const ControlLayout &item = layoutOf(ControlId::mnuRunbyInfo);
    const auto runbyInfo = static_cast<WORD>(commandIdOf(item.id));
    HMENU help = created(CreatePopupMenu(), "CreatePopupMenu");
    AppendMenuW(help, MF_STRING, runbyInfo,
        (widen(textOf(item.caption)) + L"\tCtrl+" + wchar_t(item.shortcutKey)).c_str());
    HMENU bar = created(CreateMenu(), "CreateMenu");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help),
        widen(captionOf(ControlId::mnuHelp)).c_str());
    SetMenu(m_window, bar);
}

void CalculatorWindow::createToolTips()
{
    HWND tips = created(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, m_instance, nullptr),
        "CreateWindowExW");
    m_toolTips.reserve(kClientControlCount);
    for (std::size_t i = 0; i < kClientControlCount; ++i) {
        const ControlLayout &layout = clientControls()[i];
        const bool field = layout.kind == ControlKind::TextField;
        if (layout.toolTip == Text::none && !field)
            continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(m_controls[i]);
        if (field) {
            // A field's tip is its text, asked for when it is about to show.
            tool.lpszText = LPSTR_TEXTCALLBACKW;
        } else {
            m_toolTips.push_back(widen(textOf(layout.toolTip)));
            tool.lpszText = m_toolTips.back().data();
        }
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // The controls' own class passes the pointer to the tips, which would otherwise subclass
    // every control they describe.
    m_classes.toolTips = tips;
}

// A control's width in twips at the given DPI: a label's as wide as its caption in the font it is
// drawn in, within its room; any other's as designed.
int widthOf(const ControlLayout &layout, HWND control, HFONT font, UINT dpi)
{
    if (layout.kind != ControlKind::Label)
        return layout.width;
    const std::wstring caption = widen(textOf(layout.caption));
    HDC context = GetDC(control);
    const HGDIOBJ before = SelectObject(context, font);
    SIZE size{};
    GetTextExtentPoint32W(context, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(context, before);
    ReleaseDC(control, context);
    return labelWidthFor(layout, MulDiv(size.cx, 1440, static_cast<int>(dpi)));
}

// Places and sizes every control and the window, and sets the fonts, for the given DPI. A control
// already in its place is not moved, and none is redrawn before the window shows.
void CalculatorWindow::layOut(UINT dpi)
{
    std::array<Font, 4> fonts;
    for (const Face face : {Face::Default, Face::Bold975, Face::Bold12, Face::Regular135})
        fonts[static_cast<std::size_t>(face)] = createFont(face, dpi);
    const BOOL redraw = IsWindowVisible(m_window);
    for (std::size_t i = 0; i < kClientControlCount; ++i) {
        const ControlLayout &layout = clientControls()[i];
        const HFONT font = fonts[static_cast<std::size_t>(layout.face)].get();
        const RECT place{pixels(layout.left, dpi), pixels(layout.top, dpi),
            pixels(layout.left, dpi) + pixels(widthOf(layout, m_controls[i], font, dpi), dpi),
            pixels(layout.top, dpi) + pixels(layout.height, dpi)};
        RECT now{};
        GetWindowRect(m_controls[i], &now);
        MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT *>(&now), 2);
        if (!EqualRect(&now, &place))
            SetWindowPos(m_controls[i], nullptr, place.left, place.top, place.right - place.left,
                place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(m_controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    m_fonts = std::move(fonts);
    const ControlLayout &client = layoutOf(ControlId::frmRunby);
    RECT frame{0, 0, pixels(client.width, dpi), pixels(client.height, dpi)};
    AdjustWindowRectExForDpi(&frame, kWindowStyle, TRUE, 0, dpi);
    SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CalculatorWindow::placeOnPointerMonitor()
{
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT frame{};
    GetWindowRect(m_window, &frame);
    const RECT &work = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(m_window, nullptr, work.left + (work.right - work.left - width) / 2,
        work.top + (work.bottom - work.top - height) / 2, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The control with the keyboard's focus, by the number it reports under; the window itself when
// none of its controls has it.
ControlId CalculatorWindow::focusedControl() const
{
    HWND focus = GetFocus();
    const std::optional<ControlId> id = controlIdOf(GetDlgCtrlID(focus));
    return id && GetParent(focus) == m_window ? *id : ControlId::frmRunby;
}

// Carries out the calculator's keyboard policy for a key of the window, before the dialog
// manager, which would move the focus to a button whose access key was pressed, and the keys
// typed next with it.
bool CalculatorWindow::takeKey(const MSG &message)
{
    if (message.hwnd != m_window && GetParent(message.hwnd) != m_window)
        return false;
    const std::optional<KeyPress> key = keyPressOfMessage(message);
    if (!key || keyAction(*key, focusedControl()).kind == KeyAction::Kind::None)
        return false;
    // The default handling still learns of a key that came while Alt was down: Wine notes there
    // that Alt was not pressed alone, and without the note it opens the menu bar as Alt is
    // released after the letter, which then takes the keys typed next. Windows notes it in the
    // input queue too; the letter makes no menu of its own, as no WM_SYSCHAR follows it.
    if (message.message == WM_SYSKEYDOWN)
        DefWindowProcW(message.hwnd, message.message, message.wParam, message.lParam);
    return followKeyboardPolicy(*key, focusedControl(), *this);
}

// A key while the menu bar or the open menu has the keyboard. Opening the menu from its title is
// the menu's own business; what else the policy does with the key ends the menu first.
bool CalculatorWindow::takeMenuKey(const MSG &message)
{
    const std::optional<KeyPress> key = keyPressOfMessage(message);
    if (!key || !m_menuFocus)
        return false;
    const KeyAction::Kind kind = keyAction(*key, *m_menuFocus).kind;
    if (kind == KeyAction::Kind::None || kind == KeyAction::Kind::OpenMenu)
        return false;
    return followKeyboardPolicy(*key, *m_menuFocus, *this);
}

// What the menu bar highlights: the Help menu's title, or the item of the open menu.
void CalculatorWindow::onMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu)
        m_menuFocus.reset();
    else if (flags & MF_POPUP)
        m_menuFocus = ControlId::mnuHelp;
    else
        m_menuFocus = controlIdOf(static_cast<int>(item));
}

void CalculatorWindow::press(ControlId button)
{
    EndMenu();
    SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(commandIdOf(button), BN_CLICKED),
        reinterpret_cast<LPARAM>(control(button)));
}

void CalculatorWindow::select(ControlId option)
{
    selectOption(m_window, option);
    press(option);
}

// As Alt and the menu's access key open it, its first item highlighted.
void CalculatorWindow::openMenu(ControlId menu)
{
    SendMessageW(m_window, WM_SYSCOMMAND, SC_KEYMENU,
        std::towlower(static_cast<wint_t>(accessKeyOf(captionOf(menu)))));
}

// The item acts once the menu is closed, as a menu's own choice does.
void CalculatorWindow::choose(ControlId item)
{
    EndMenu();
    PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(commandIdOf(item), 0), 0);
}

int CalculatorWindow::run(int showCommand)
{
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    // Once the window is painted, the announcements get ready before the first one is due.
    PostMessageW(m_window, kPrepareAnnouncements, 0, 0);
    m_session->focusFirstControl();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (takeKey(message))
            continue;
        if (IsDialogMessageW(m_window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CalculatorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case kPrepareAnnouncements:
        m_adapters->announcer.prepare();
        return 0;
    case WM_MENUSELECT:
        onMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_EXITMENULOOP:
        m_menuFocus.reset();
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(commandIdOf(kDefaultButton), DC_HASDEFID);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return onControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        // The focus comes back where it was, after the message box or another program.
        if (LOWORD(wParam) == WA_INACTIVE)
            m_focusBeforeDeactivation = GetFocus();
        else if (m_focusBeforeDeactivation)
            SetFocus(m_focusBeforeDeactivation);
        return 0;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR *>(lParam)->code == TTN_GETDISPINFOW) {
            showWholeTextWhenCut(*reinterpret_cast<NMTTDISPINFOW *>(lParam));
            return 0;
        }
        return DefWindowProcW(m_window, message, wParam, lParam);
    case WM_DPICHANGED: {
        layOut(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
            suggested->right - suggested->left, suggested->bottom - suggested->top,
            SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast turned on or off: every control draws again in the colours now due.
        m_highContrast = highContrast();
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT)
            if (const LRESULT object = answerClientAreaObject(m_window, wParam, m_controls))
                return object;
        return DefWindowProcW(m_window, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

// A text wider than its field shows whole in the field's tip; one that fits shows no tip.
void CalculatorWindow::showWholeTextWhenCut(NMTTDISPINFOW &request)
{
    const auto field = reinterpret_cast<HWND>(request.hdr.idFrom);
    m_fieldTip = textFits(field) ? std::wstring() : windowText(field);
    request.lpszText = m_fieldTip.data();
}

// A click comes as BN_CLICKED from a button and as 0 from a menu item.
void CalculatorWindow::onCommand(int commandId, int code, HWND control)
{
    const std::optional<ControlId> source = controlIdOf(commandId);
    if (!source)
        return;
    if (code == EN_CHANGE) {
        Adapters &a = *m_adapters;
        for (Win32TextBox *field :
            {&a.imperialSpeed, &a.metricSpeed, &a.runbyInches, &a.runbyMillimeters})
            if (field->handle() == control && field->textChanged())
                m_session->change(*source);
    } else if (code == BN_CLICKED) {
        m_session->click(*source);
    }
}

// The designed colours, or under high contrast the system's, as every other window then shows:
// the fields as windows, the rest on the button face. The selected option keeps its radio mark.
LRESULT CalculatorWindow::onControlColor(HDC dc, HWND control)
{
    const Adapters &a = *m_adapters;
    const bool contrast = m_highContrast;
    Rgb text = contrast ? systemColor(COLOR_BTNTEXT) : kBlack;
    Rgb back = systemColor(COLOR_BTNFACE);
    for (const Win32TextBox *field :
        {&a.imperialSpeed, &a.metricSpeed, &a.runbyInches, &a.runbyMillimeters}) {
        if (field->handle() != control)
            continue;
        text = contrast ? systemColor(COLOR_WINDOWTEXT) : kBlack;
        back = contrast ? systemColor(COLOR_WINDOW) : field->backColor();
    }
    for (const Win32OptionButton *option : {&a.imperial, &a.metric})
        if (option->handle() == control && !contrast)
            text = option->foreColor();
    SetTextColor(dc, toColorRef(text));
    SetBkColor(dc, toColorRef(back));
    return reinterpret_cast<LRESULT>(brush(back));
}

HBRUSH CalculatorWindow::brush(Rgb color)
{
    Brush &held = m_brushes[toColorRef(color)];
    if (!held)
        held.reset(CreateSolidBrush(toColorRef(color)));
    return held.get();
}

} // namespace

int runWin32Window(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CalculatorWindow window(instance);
    return window.run(showCommand);
}

} // namespace runby
