#pragma once

#include "layout.h"

#include <cstdint>

namespace runby {

// The calculator's keyboard, the same in every window: what a key does, given the control that
// has the focus. Each window translates its own key events into a KeyPress, asks keyAction and
// carries the answer out; a key whose action is None is left to the toolkit (typing, Tab).
//
//   Enter                  presses the focused button, else the default button (Calculate)
//   Alt and an access key  presses that button, or selects that option, where the focus is
//   Alt+H                  opens the Help menu
//   Ctrl+R                 chooses Help, Runby Info
//   an arrow on an option  selects the other option
enum class Key : std::uint8_t { Enter, Left, Right, Up, Down, Letter, Other };

struct KeyPress
{
    Key key = Key::Other;
    // For Key::Letter, the letter in upper case.
    char letter = '\0';
    bool alt = false;
    bool ctrl = false;
    bool shift = false;
};

struct KeyAction
{
    enum class Kind : std::uint8_t {
        None,
        // Runs the target's click without moving the focus.
        Press,
        // Selects the target option as a click selects it, without moving the focus first.
        Select,
        // Opens the target menu.
        OpenMenu,
        // Chooses the target menu item.
        Choose,
    };

    Kind kind = Kind::None;
    ControlId target = ControlId::frmRunby;

    friend bool operator==(const KeyAction &, const KeyAction &) = default;
};

KeyAction keyAction(const KeyPress &key, ControlId focus);

// A key by its virtual-key code, which Windows gives and the browsers give as keyCode: Enter
// 13, the arrows 37 to 40, the letters their upper-case codes.
KeyPress keyPressOf(unsigned virtualKey, bool alt, bool ctrl, bool shift);

// The button that Enter presses with the focus on the given control: a focused button is the
// default, as in a dialog, and Calculate at any other time.
ControlId defaultButtonFor(ControlId focus);

} // namespace runby
