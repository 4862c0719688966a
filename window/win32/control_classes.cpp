#include "control_classes.h"

#include "accessible_objects.h"
#include "control_ids.h"
#include "win32_controls.h"

#include <array>
#include <optional>
#include <string_view>

namespace runby {

namespace {

struct ControlClass
{
    const wchar_t *system;
    const wchar_t *own;
    WNDPROC systemProcedure;
};

constexpr std::size_t kButtonClass = 0;
constexpr std::size_t kEditClass = 1;
constexpr std::size_t kStaticClass = 2;

std::array<ControlClass, 3> g_classes{{
    {WC_BUTTONW, L"RunbyButton", nullptr},
    {WC_EDITW, L"RunbyEdit", nullptr},
    {WC_STATICW, L"RunbyStatic", nullptr},
}};

HWND g_toolTips = nullptr;

bool hasNoArea(HWND control)
{
    RECT client{};
    GetClientRect(control, &client);
    return IsRectEmpty(&client);
}

void relayToToolTips(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_toolTips || message < WM_MOUSEFIRST || message > WM_MOUSELAST)
        return;
    MSG relayed{control, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(g_toolTips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// An option clicked does not take the focus, as the button's own procedure would make it on the
// press: the option's handler moves the focus to a speed field, and a key typed right after the
// click goes there, as after Alt and the option's access key, not to the option in between.
std::optional<LRESULT> clickOptionInPlace(HWND option, UINT message, LPARAM lParam)
{
    if ((GetWindowLongPtrW(option, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
        return std::nullopt;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(option);
        SendMessageW(option, BM_SETSTATE, TRUE, 0);
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != option)
            return std::nullopt;
        ReleaseCapture();
        SendMessageW(option, BM_SETSTATE, FALSE, 0);
        RECT client{};
        GetClientRect(option, &client);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const std::optional<ControlId> id = controlIdOf(GetDlgCtrlID(option));
        if (PtInRect(&client, point) && id) {
            HWND window = GetParent(option);
            selectOption(window, *id);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(commandIdOf(*id), BN_CLICKED),
                reinterpret_cast<LPARAM>(option));
        }
        return 0;
    }
    default:
        return std::nullopt;
    }
}

template <std::size_t Index>
LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT)
        if (const LRESULT object = answerControlObject(control, wParam))
            return object;
    relayToToolTips(control, message, wParam, lParam);
    if constexpr (Index == kButtonClass)
        if (const std::optional<LRESULT> taken = clickOptionInPlace(control, message, lParam))
            return *taken;
    if constexpr (Index == kEditClass)
        if (const std::optional<LRESULT> taken = takeSpeedFieldMessage(control, message, wParam))
            return *taken;
    if constexpr (Index == kStaticClass)
        if (message == WM_SETTEXT && hasNoArea(control))
            // A label of no size, as the announcements' is, keeps its text without the static
            // control's painting of it, which it does at once.
            return DefWindowProcW(control, message, wParam, lParam);
    return CallWindowProcW(g_classes.at(Index).systemProcedure, control, message, wParam, lParam);
}

template <std::size_t Index> const wchar_t *registeredClass(HINSTANCE instance)
{
    ControlClass &own = g_classes.at(Index);
    if (!own.systemProcedure) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        if (!GetClassInfoExW(nullptr, own.system, &windowClass))
            throw WindowNotCreated("GetClassInfoExW");
        const WNDPROC system = windowClass.lpfnWndProc;
        windowClass.lpfnWndProc = controlProc<Index>;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = own.own;
        if (!RegisterClassExW(&windowClass))
            throw WindowNotCreated("RegisterClassExW");
        own.systemProcedure = system;
    }
    return own.own;
}

} // namespace

const wchar_t *controlClassOf(const wchar_t *systemClass, HINSTANCE instance)
{
    const std::wstring_view name(systemClass);
    if (name == WC_BUTTONW)
        return registeredClass<kButtonClass>(instance);
    if (name == WC_EDITW)
        return registeredClass<kEditClass>(instance);
    return registeredClass<kStaticClass>(instance);
}

void showToolTipsIn(HWND toolTips)
{
    g_toolTips = toolTips;
}

} // namespace runby
