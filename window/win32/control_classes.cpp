#include "control_classes.h"

#include "accessible_objects.h"
#include "control_ids.h"
#include "win32_controls.h"

#include <array>
#include <optional>
#include <string_view>

namespace runby {

namespace {

struct ClassNames
{
    const wchar_t *system;
    const wchar_t *own;
};

constexpr std::size_t kButtonClass = 0;
constexpr std::size_t kEditClass = 1;
constexpr std::size_t kStaticClass = 2;

constexpr std::array<ClassNames, kControlClassCount> kClassNames{{
    {WC_BUTTONW, L"RunbyButton"},
    {WC_EDITW, L"RunbyEdit"},
    {WC_STATICW, L"RunbyStatic"},
}};

// What the window that made the control keeps for its controls, found in its extra bytes.
const ControlClasses &classesOf(HWND control)
{
    return *reinterpret_cast<const ControlClasses *>(
        GetWindowLongPtrW(GetParent(control), kControlClassesOffset));
}

bool hasNoArea(HWND control)
{
    RECT client{};
    GetClientRect(control, &client);
    return IsRectEmpty(&client);
}

void relayToToolTips(HWND toolTips, HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!toolTips || message < WM_MOUSEFIRST || message > WM_MOUSELAST)
        return;
    MSG relayed{control, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageW(toolTips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
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
    const ControlClasses &classes = classesOf(control);
    relayToToolTips(classes.toolTips, control, message, wParam, lParam);
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
    return CallWindowProcW(classes.systemProcedures.at(Index), control, message, wParam, lParam);
}

// Registers the program's class over the system's, whose procedure it keeps. A second window of
// the process finds the class registered by the first.
template <std::size_t Index> WNDPROC registerClass(HINSTANCE instance)
{
    const ClassNames &names = kClassNames.at(Index);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(nullptr, names.system, &windowClass))
        throw WindowNotCreated("GetClassInfoExW");
    const WNDPROC system = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = controlProc<Index>;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = names.own;
    if constexpr (Index == kEditClass)
        // A speed field's limit, in the last bytes of each field.
        windowClass.cbWndExtra += sizeof(LONG_PTR);
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw WindowNotCreated("RegisterClassExW");
    return system;
}

} // namespace

ControlClasses registerControlClasses(HINSTANCE instance)
{
    return {{registerClass<kButtonClass>(instance), registerClass<kEditClass>(instance),
                registerClass<kStaticClass>(instance)},
        nullptr};
}

const wchar_t *controlClassOf(const wchar_t *systemClass)
{
    for (const ClassNames &names : kClassNames)
        if (std::wstring_view(names.system) == systemClass)
            return names.own;
    return nullptr;
}

} // namespace runby
