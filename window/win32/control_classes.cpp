#include "control_classes.h"

#include "accessible_objects.h"
#include "win32_controls.h"
#include "win32_window.h"

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

template <std::size_t Index>
LRESULT CALLBACK controlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT)
        if (const LRESULT object = answerControlObject(control, wParam))
            return object;
    relayToToolTips(control, message, wParam, lParam);
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
        return registeredClass<0>(instance);
    if (name == WC_EDITW)
        return registeredClass<kEditClass>(instance);
    return registeredClass<kStaticClass>(instance);
}

void showToolTipsIn(HWND toolTips)
{
    g_toolTips = toolTips;
}

} // namespace runby
