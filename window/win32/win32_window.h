#pragma once

#include "control_ids.h"
#include "windows_api.h"

namespace runby {

// Creates the calculator's window, frmRunby, centred on the monitor that holds the pointer, runs
// Form_Load, shows it and serves its messages until it is closed. Gives the program's exit code;
// throws WindowNotCreated when the window cannot be made whole.
int runWin32Window(HINSTANCE instance, int showCommand);

} // namespace runby
