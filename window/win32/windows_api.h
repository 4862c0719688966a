#pragma once

// The Windows API for the Win32 window. <windows.h> defines MessageBox as a macro, which would
// rename the calculator's MessageBox interface wherever both are seen; the window calls
// MessageBoxW by name instead.
#include <windows.h>

#include <commctrl.h>

#undef MessageBox

// A function of a library loaded at run time, as its type; null where the library lacks it.
template <typename Function> Function procedure(HMODULE module, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
