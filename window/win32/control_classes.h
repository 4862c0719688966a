#pragma once

#include "windows_api.h"

namespace runby {

// The class to create a control of the given system class (button, edit or static) with: the
// program's own class of that kind, whose procedure answers assistive technology as the layout
// describes the control, keeps a speed field's input rules and shows the tooltips, and passes
// every other message to the system's. Throws WindowNotCreated where the class cannot be
// registered. A class of its own costs nothing per message, where a subclass would look up its
// data in a window property for each one.
const wchar_t *controlClassOf(const wchar_t *systemClass, HINSTANCE instance);

// The tooltip window that the controls pass the pointer's moves and clicks to.
void showToolTipsIn(HWND toolTips);

} // namespace runby
