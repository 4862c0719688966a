#pragma once

#include "layout.h"
#include "windows_api.h"

namespace runby {

// Makes a text field tell assistive technology what the layout says of it: the name from the
// layout, its text as its value, and read-only while it is locked. Windows would name an EDIT
// after the label before it in the stacking order, which here is the Tab order, not the field's.
void describeFieldForAssistiveTechnology(HWND edit, const ControlLayout &layout);

} // namespace runby
