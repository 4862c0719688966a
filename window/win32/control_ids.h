#pragma once

#include "layout.h"
#include "windows_api.h"

#include <optional>
#include <stdexcept>

namespace runby {

// What the window's parts share: the numbers its controls report themselves under, and how an
// option is selected.

constexpr wchar_t kWindowClassName[] = L"RunbyCalculator";
// The control or menu item of each ControlId reports itself to the window under this number plus
// its index.
constexpr int kFirstControlId = 1000;
// The label of no size that tells screen readers the result.
constexpr int kAnnouncementId = 999;

constexpr int commandIdOf(ControlId id)
{
    return kFirstControlId + static_cast<int>(indexOf(id));
}

// The control or menu item that a WM_COMMAND comes from; IDOK, which the dialog manager sends for
// Enter, is the default button.
constexpr std::optional<ControlId> controlIdOf(int commandId)
{
    if (commandId == IDOK)
        return kDefaultButton;
    if (commandId < kFirstControlId || commandId > commandIdOf(ControlId::mnuRunbyInfo))
        return std::nullopt;
    return static_cast<ControlId>(commandId - kFirstControlId);
}

// The system refused to make the window, one of its controls or its menu.
class WindowNotCreated : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Selects the option, and no other, as a click selects it.
inline void selectOption(HWND window, ControlId option)
{
    for (const ControlId id : kUnitOptions)
        SendDlgItemMessageW(
            window, commandIdOf(id), BM_SETCHECK, id == option ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace runby
