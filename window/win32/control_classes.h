#pragma once

#include "windows_api.h"

#include <array>
#include <cstddef>

namespace runby {

constexpr std::size_t kControlClassCount = 3;

// What the controls of the program's own classes need, which the window that makes them owns
// and keeps in its extra bytes at kControlClassesOffset: each class's system procedure, to which
// its own passes every message it does not take, and the tooltip window that the controls pass
// the pointer's moves and clicks to. A class of its own costs nothing per message, where a
// subclass would look up its data in a window property for each one.
struct ControlClasses
{
    std::array<WNDPROC, kControlClassCount> systemProcedures;
    HWND toolTips;
};

constexpr int kControlClassesOffset = 0;

// Registers the program's own classes of button, edit and static control, whose procedure
// answers assistive technology as the layout describes the control, keeps a speed field's input
// rules and shows the tooltips. Throws WindowNotCreated where a class cannot be registered.
ControlClasses registerControlClasses(HINSTANCE instance);

// The program's own class for a system class (button, edit or static control).
const wchar_t *controlClassOf(const wchar_t *systemClass);

} // namespace runby
