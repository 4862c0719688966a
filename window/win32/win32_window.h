#pragma once

#include "windows_api.h"

namespace runby {

constexpr wchar_t kWindowClassName[] = L"RunbyCalculator";
constexpr int kRunbyInfoCommand = 100;
// The control at index i of the layout has the identifier kFirstControlId + i.
constexpr int kFirstControlId = 1000;

// Creates the calculator's window, frmRunby, centred on the monitor that holds the pointer, runs
// Form_Load, shows it and serves its messages until it is closed. Gives the program's exit code.
int runWin32Window(HINSTANCE instance, int showCommand);

} // namespace runby
