#pragma once

#include "layout.h"
#include "windows_api.h"

#include <array>

namespace runby {

// The answer to WM_GETOBJECT for a control's client area: what the layout says of the control,
// its name, the role of its kind and its state, a field's text as its value. Windows would name an
// EDIT after the label before it in the stacking order, which here is the Tab order, not the
// field's. 0 where the control is none of the layout's or the system cannot make the object.
LRESULT answerControlObject(HWND control, WPARAM flags);

// The answer to WM_GETOBJECT for the client area of the window of the given controls: they are
// its children in the order of reading, and it says what the program is. 0 where the system
// cannot make the object, for the window procedure to answer as it would.
LRESULT answerClientAreaObject(
    HWND window, WPARAM flags, const std::array<HWND, kClientControlCount> &controls);

} // namespace runby
