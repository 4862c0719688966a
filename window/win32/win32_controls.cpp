#include "win32_controls.h"

#include "speed_input.h"

#include <oleacc.h>

namespace runby {

namespace {

// The edit's class procedure finds a speed field's limit in the last bytes that the program's
// class of edit gives each field; 0 marks a field that is no speed field.
int limitOffset(HWND edit)
{
    return static_cast<int>(GetClassLongPtrW(edit, GCL_CBWNDEXTRA))
        - static_cast<int>(sizeof(LONG_PTR));
}

std::u16string_view asUtf16(std::wstring_view text)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return {reinterpret_cast<const char16_t *>(text.data()), text.size()};
}

std::wstring fromUtf16(std::u16string_view text)
{
    return {reinterpret_cast<const wchar_t *>(text.data()), text.size()};
}

std::wstring clipboardText(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// COM's libraries, loaded when first used: assistive technology and the announcements need them,
// a start does not.
HMODULE oleaut32()
{
    static const HMODULE module = LoadLibraryW(L"oleaut32.dll");
    return module;
}

HMODULE ole32()
{
    static const HMODULE module = LoadLibraryW(L"ole32.dll");
    return module;
}

// The live setting of an element, and its polite value, as UI Automation names them.
constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
// NotificationKind_ActionCompleted and NotificationProcessing_ImportantMostRecent.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;

// The function that raises a UI Automation notification, on systems that have them (Windows 10
// 1709 and later), and the one that gives a window's provider; elsewhere null.
struct AutomationNotifications
{
    // The provider is an IRawElementProviderSimple, passed through as it came.
    using HostProvider = HRESULT(WINAPI *)(HWND, IUnknown **);
    using Raise = HRESULT(WINAPI *)(IUnknown *, int, int, BSTR, BSTR);

    HostProvider hostProvider = nullptr;
    Raise raise = nullptr;
};

const AutomationNotifications &automationNotifications()
{
    static const AutomationNotifications notifications = [] {
        const HMODULE automation = LoadLibraryW(L"uiautomationcore.dll");
        if (!automation)
            return AutomationNotifications{};
        return AutomationNotifications{
            procedure<AutomationNotifications::HostProvider>(automation, "UiaHostProviderFromHwnd"),
            procedure<AutomationNotifications::Raise>(automation, "UiaRaiseNotificationEvent")};
    }();
    return notifications;
}

// A UI Automation notification from the window, where the system has them.
void raiseNotification(HWND window, const std::wstring &sentence)
{
    const AutomationNotifications &automation = automationNotifications();
    IUnknown *provider = nullptr;
    if (!automation.hostProvider || !automation.raise
        || FAILED(automation.hostProvider(window, &provider)) || !provider)
        return;
    BSTR text = allocatedString(sentence.c_str());
    BSTR activity = allocatedString(L"runby-result");
    automation.raise(provider, kActionCompleted, kImportantMostRecent, text, activity);
    freeString(activity);
    freeString(text);
    provider->Release();
}

bool hasStyleBit(HWND window, LONG_PTR bit)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & bit) != 0;
}

void paste(HWND edit, std::size_t limit)
{
    const std::wstring before = windowText(edit);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring pasted = clipboardText(edit);
    const std::wstring after = before.substr(0, start) + pasted + before.substr(end);
    const auto accepted =
        acceptSpeedEdit(asUtf16(before), asUtf16(after), start + pasted.size(), limit);
    if (!accepted)
        return;
    SetWindowTextW(edit, fromUtf16(accepted->text).c_str());
    SendMessageW(edit, EM_SETSEL, accepted->cursor, static_cast<LPARAM>(accepted->cursor));
}

} // namespace

void setStyleBit(HWND window, LONG_PTR bit, bool on)
{
    if (on != hasStyleBit(window, bit))
        SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) ^ bit);
}

BSTR allocatedString(const wchar_t *text)
{
    static const auto allocate =
        oleaut32() ? procedure<decltype(&SysAllocString)>(oleaut32(), "SysAllocString") : nullptr;
    return allocate ? allocate(text) : nullptr;
}

void freeString(BSTR text)
{
    static const auto release =
        oleaut32() ? procedure<decltype(&SysFreeString)>(oleaut32(), "SysFreeString") : nullptr;
    if (release)
        release(text);
}

std::wstring widen(std::string_view utf8)
{
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view text)
{
    const int length = WideCharToMultiByte(
        CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length,
        nullptr, nullptr);
    return utf8;
}

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool textFits(HWND edit)
{
    const std::wstring text = windowText(edit);
    RECT client{};
    GetClientRect(edit, &client);
    const auto margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
    HDC dc = GetDC(edit);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    return extent.cx <= client.right - LOWORD(margins) - HIWORD(margins);
}

Win32TextBox::Win32TextBox(HWND edit, std::size_t limit, DeferredFocus &focus)
    : m_edit(edit), m_focus(focus), m_model(limit)
{
    if (limit == std::string::npos)
        return;
    SendMessageW(edit, EM_LIMITTEXT, limit, 0);
    SetWindowLongPtrW(edit, limitOffset(edit), static_cast<LONG_PTR>(limit));
}

std::optional<LRESULT> takeSpeedFieldMessage(HWND edit, UINT message, WPARAM &wParam)
{
    const auto limit = static_cast<std::size_t>(GetWindowLongPtrW(edit, limitOffset(edit)));
    if (limit == 0)
        return std::nullopt;
    const bool locked = (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0;
    if (message == WM_PASTE) {
        if (!locked)
            paste(edit, limit);
        return 0;
    }
    // Control characters are the edit's own commands, and halves of a surrogate pair come one
    // at a time: the edit takes those as they are.
    const auto typed = static_cast<char16_t>(wParam);
    if (message == WM_CHAR && typed >= 0x20 && (typed < 0xD800 || typed > 0xDFFF)) {
        const std::u16string kept = cleanTypedText(std::u16string(1, typed));
        if (kept.empty())
            return 0;
        wParam = kept.front();
    }
    return std::nullopt;
}

std::string Win32TextBox::text() const
{
    return narrow(windowText(m_edit));
}

// EM_LIMITTEXT limits only what the user types; a text set here is cut to the limit by hand.
// The text it already shows is not set again: the field would be painted and reported anew.
void Win32TextBox::setText(std::string_view text)
{
    const std::wstring wide = widen(text);
    const std::wstring cut = fromUtf16(m_model.fitted(asUtf16(wide)));
    if (cut == windowText(m_edit))
        return;
    SetWindowTextW(m_edit, cut.c_str());
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_edit, OBJID_CLIENT, CHILDID_SELF);
}

void Win32TextBox::setBackColor(Rgb color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    InvalidateRect(m_edit, nullptr, TRUE);
}

void Win32TextBox::setLocked(bool locked)
{
    if (locked != hasStyleBit(m_edit, ES_READONLY))
        SendMessageW(m_edit, EM_SETREADONLY, locked, 0);
}

void Win32TextBox::setTabStop(bool tabStop)
{
    setStyleBit(m_edit, WS_TABSTOP, tabStop);
}

void Win32TextBox::setFocus()
{
    m_focus.request([edit = m_edit] { SetFocus(edit); });
}

bool Win32TextBox::textChanged()
{
    return m_model.show(asUtf16(windowText(m_edit)));
}

// Checking an option walks its group to clear the others: an option already so is left as it is.
void Win32OptionButton::setValue(bool selected)
{
    const WPARAM state = selected ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageW(m_button, BM_GETCHECK, 0, 0)) != state)
        SendMessageW(m_button, BM_SETCHECK, state, 0);
}

void Win32OptionButton::setForeColor(Rgb color)
{
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    InvalidateRect(m_button, nullptr, TRUE);
}

void Win32OptionButton::setTabStop(bool tabStop)
{
    setStyleBit(m_button, WS_TABSTOP, tabStop);
}

void Win32MessageBox::show(std::string_view title, std::string_view text)
{
    MessageBoxW(m_owner, widen(text).c_str(), widen(title).c_str(), MB_OK);
}

void Win32Announcer::announce(std::string_view sentence)
{
    const std::wstring text = widen(sentence);
    SetWindowTextW(m_region, text.c_str());
    markLive();
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, m_region, OBJID_CLIENT, CHILDID_SELF);
    raiseNotification(GetParent(m_region), text);
}

void Win32Announcer::prepare()
{
    markLive();
    automationNotifications();
}

// Marks the region polite through the accessibility annotations, once: COM is started on the
// window's thread after the window is shown, or at the latest when the first sentence is told.
void Win32Announcer::markLive()
{
    if (m_markedLive)
        return;
    m_markedLive = true;
    const auto initialize =
        ole32() ? procedure<decltype(&CoInitializeEx)>(ole32(), "CoInitializeEx") : nullptr;
    const auto create =
        ole32() ? procedure<decltype(&CoCreateInstance)>(ole32(), "CoCreateInstance") : nullptr;
    if (!initialize || !create || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    IAccPropServices *services = nullptr;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
            reinterpret_cast<void **>(&services))))
        return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services->SetHwndProp(
        m_region, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, polite);
    services->Release();
}

} // namespace runby
