#pragma once

#include "layout.h"

#include <cstdint>

namespace runby {

// The calculator's keyboard, the same in every window: what a key does, given the control that
// has the focus. Each window translates its own key events into a KeyPress and hands it to
// followKeyboardPolicy with the window as its KeyTarget; a key whose action is None is left to
// the toolkit (typing, Tab).
//
//   Enter                  presses the focused button, else the default button (Calculate)
//   Alt and an access key  presses that button, or selects that option, where the focus is
//   Alt+H                  opens the Help menu, its first item highlighted
//   Ctrl+R                 chooses Help, Runby Info
//   an arrow on an option  selects the other option
//
// With the focus on the menu (its title, or an item highlighted in it, as the menu is open):
//   Enter, or an item's access key, with Alt or without, chooses the highlighted or that item
//   Enter or an arrow on the title opens the menu
//   Escape                 closes the menu, the focus back where it was
enum class Key : std::uint8_t { Enter, Escape, Left, Right, Up, Down, Letter, Other };

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
        // Chooses the target menu item, the menu closed first.
        Choose,
        // Closes the open menu, or leaves the menu bar; the focus goes back where it was.
        CloseMenu,
    };

    Kind kind = Kind::None;
    ControlId target = ControlId::frmRunby;

    friend bool operator==(const KeyAction &, const KeyAction &) = default;
};

KeyAction keyAction(const KeyPress &key, ControlId focus);

// What a window does for the keyboard policy: each window carries out the actions on its
// toolkit's controls and menu.
class KeyTarget
{
public:
    virtual ~KeyTarget() = default;
    virtual void press(ControlId button) = 0;
    virtual void select(ControlId option) = 0;
    // Opens the menu with its first item highlighted, as a menu opened from the keyboard is.
    virtual void openMenu(ControlId menu) = 0;
    virtual void closeMenu() = 0;
    virtual void choose(ControlId item) = 0;
};

// Has the target carry out what the key does where the focus is; gives whether the key was taken.
bool followKeyboardPolicy(const KeyPress &key, ControlId focus, KeyTarget &target);

// A key by its virtual-key code, which Windows gives and the browsers give as keyCode: Enter
// 13, Escape 27, the arrows 37 to 40, the letters their upper-case codes.
KeyPress keyPressOf(unsigned virtualKey, bool alt, bool ctrl, bool shift);

// The button that Enter presses with the focus on the given control: a focused button is the
// default, as in a dialog, and Calculate at any other time.
ControlId defaultButtonFor(ControlId focus);

} // namespace runby
