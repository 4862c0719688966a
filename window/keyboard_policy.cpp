#include "keyboard_policy.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>

namespace runby {

namespace {

bool isOption(ControlId id)
{
    return layoutOf(id).kind == ControlKind::OptionButton;
}

bool isPlain(const KeyPress &key)
{
    return !key.alt && !key.ctrl && !key.shift;
}

// The control of the given kinds whose caption has the letter as its access key.
std::optional<ControlId> controlOfAccessKey(char letter, std::initializer_list<ControlKind> kinds)
{
    for (const ControlLayout &layout : kControls) {
        const char key = accessKeyOf(textOf(layout.caption));
        if (key && (key & ~0x20) == letter
            && std::find(kinds.begin(), kinds.end(), layout.kind) != kinds.end())
            return layout.id;
    }
    return std::nullopt;
}

// Alt and a letter reach the buttons, the options and the menu, not the menu's items.
KeyAction accessKeyAction(char letter)
{
    const std::optional<ControlId> target = controlOfAccessKey(
        letter, {ControlKind::PushButton, ControlKind::OptionButton, ControlKind::Menu});
    if (!target)
        return {};
    switch (layoutOf(*target).kind) {
    case ControlKind::PushButton:
        return {KeyAction::Kind::Press, *target};
    case ControlKind::OptionButton:
        return {KeyAction::Kind::Select, *target};
    case ControlKind::Menu:
        return {KeyAction::Kind::OpenMenu, *target};
    case ControlKind::TextField:
    case ControlKind::Label:
    case ControlKind::Window:
    case ControlKind::MenuItem:
        break;
    }
    return {};
}

KeyAction shortcutAction(char letter)
{
    for (const ControlLayout &layout : kControls)
        if (layout.kind == ControlKind::MenuItem && layout.shortcutKey == letter)
            return {KeyAction::Kind::Choose, layout.id};
    return {};
}

// With two options every arrow leads to the other one.
ControlId otherOption(ControlId option)
{
    return option == kUnitOptions.front() ? kUnitOptions.back() : kUnitOptions.front();
}

// A key on the menu: its title with the focus, or an item highlighted in it, open. What it
// leaves to the window's own keys is None.
KeyAction menuKeyAction(const KeyPress &key, ControlId focus)
{
    const bool open = layoutOf(focus).kind == ControlKind::MenuItem;
    switch (key.key) {
    case Key::Escape:
        return !key.alt && !key.ctrl ? KeyAction{KeyAction::Kind::CloseMenu} : KeyAction{};
    case Key::Enter:
        if (!isPlain(key))
            return {};
        return open ? KeyAction{KeyAction::Kind::Choose, focus}
                    : KeyAction{KeyAction::Kind::OpenMenu, focus};
    case Key::Up:
    case Key::Down:
        return isPlain(key) && !open ? KeyAction{KeyAction::Kind::OpenMenu, focus} : KeyAction{};
    case Key::Letter:
        if (open && !key.ctrl) {
            const std::optional<ControlId> item =
                controlOfAccessKey(key.letter, {ControlKind::MenuItem});
            return item ? KeyAction{KeyAction::Kind::Choose, *item} : KeyAction{};
        }
        break;
    case Key::Left:
    case Key::Right:
    case Key::Other:
        break;
    }
    return {};
}

bool isMenu(ControlId id)
{
    const ControlKind kind = layoutOf(id).kind;
    return kind == ControlKind::Menu || kind == ControlKind::MenuItem;
}

} // namespace

KeyPress keyPressOf(unsigned virtualKey, bool alt, bool ctrl, bool shift)
{
    constexpr unsigned kEnter = 13;
    constexpr unsigned kEscape = 27;
    constexpr std::array<Key, 4> kArrows{Key::Left, Key::Up, Key::Right, Key::Down};
    constexpr unsigned kFirstArrow = 37;
    KeyPress key{Key::Other, '\0', alt, ctrl, shift};
    if (virtualKey == kEnter)
        key.key = Key::Enter;
    else if (virtualKey == kEscape)
        key.key = Key::Escape;
    else if (virtualKey >= kFirstArrow && virtualKey < kFirstArrow + kArrows.size())
        key.key = kArrows.at(virtualKey - kFirstArrow);
    else if (virtualKey >= 'A' && virtualKey <= 'Z')
        key = {Key::Letter, static_cast<char>(virtualKey), alt, ctrl, shift};
    return key;
}

ControlId defaultButtonFor(ControlId focus)
{
    return layoutOf(focus).kind == ControlKind::PushButton ? focus : kDefaultButton;
}

KeyAction keyAction(const KeyPress &key, ControlId focus)
{
    if (isMenu(focus)) {
        const KeyAction onMenu = menuKeyAction(key, focus);
        // An open menu takes no access key of the window: only its own and the shortcuts.
        const bool open = layoutOf(focus).kind == ControlKind::MenuItem;
        if (onMenu.kind != KeyAction::Kind::None || (open && !key.ctrl))
            return onMenu;
    }
    switch (key.key) {
    case Key::Enter:
        return isPlain(key) ? KeyAction{KeyAction::Kind::Press, defaultButtonFor(focus)}
                            : KeyAction{};
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        return isPlain(key) && isOption(focus)
            ? KeyAction{KeyAction::Kind::Select, otherOption(focus)}
            : KeyAction{};
    case Key::Letter:
        if (key.alt && !key.ctrl)
            return accessKeyAction(key.letter);
        if (key.ctrl && !key.alt)
            return shortcutAction(key.letter);
        return {};
    case Key::Escape:
    case Key::Other:
        break;
    }
    return {};
}

bool followKeyboardPolicy(const KeyPress &key, ControlId focus, KeyTarget &target)
{
    const KeyAction action = keyAction(key, focus);
    switch (action.kind) {
    case KeyAction::Kind::None:
        return false;
    case KeyAction::Kind::Press:
        target.press(action.target);
        break;
    case KeyAction::Kind::Select:
        target.select(action.target);
        break;
    case KeyAction::Kind::OpenMenu:
        target.openMenu(action.target);
        break;
    case KeyAction::Kind::CloseMenu:
        target.closeMenu();
        break;
    case KeyAction::Kind::Choose:
        target.choose(action.target);
        break;
    }
    return true;
}

} // namespace runby
