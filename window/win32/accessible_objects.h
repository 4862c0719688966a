#pragma once

#include "layout.h"
#include "windows_api.h"

#include <array>

namespace runby {

// Makes a control tell assistive technology what the layout says of it: its name, the role of its
// kind and its state, a field's text as its value. Windows would name an EDIT after the label
// before it in the stacking order, which here is the Tab order, not the field's.
void describeForAssistiveTechnology(HWND control, const ControlLayout &layout);

// The answer to WM_GETOBJECT for the client area of the window of the given controls: they are
// its children in the order of reading, and it says what the program is. 0 where the system
// cannot make the object, for the window procedure to answer as it would.
LRESULT answerClientAreaObject(
    HWND window, WPARAM flags, const std::array<HWND, kControlCount> &controls);

} // namespace runby
