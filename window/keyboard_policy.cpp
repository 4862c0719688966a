#include "keyboard_policy.h"

#include <array>
#include <optional>

namespace runby {

namespace {

bool isOption(ControlId id)
{
    return layoutOf(id).kind == ControlKind::OptionButton;
}

// The control whose caption has the letter as its access key, as Alt and the letter reach it.
std::optional<ControlId> controlOfAccessKey(char letter)
{
    for (const ControlLayout &layout : kControls) {
        const char key = accessKeyOf(layout.caption);
        if (key && (key & ~0x20) == letter)
            return layout.id;
    }
    return std::nullopt;
}

KeyAction accessKeyAction(char letter)
{
    const std::optional<ControlId> target = controlOfAccessKey(letter);
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

} // namespace

KeyPress keyPressOf(unsigned virtualKey, bool alt, bool ctrl, bool shift)
{
    constexpr unsigned kEnter = 13;
    constexpr std::array<Key, 4> kArrows{Key::Left, Key::Up, Key::Right, Key::Down};
    constexpr unsigned kFirstArrow = 37;
    KeyPress key{Key::Other, '\0', alt, ctrl, shift};
    if (virtualKey == kEnter)
        key.key = Key::Enter;
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
    const bool plain = !key.alt && !key.ctrl && !key.shift;
    switch (key.key) {
    case Key::Enter:
        return plain ? KeyAction{KeyAction::Kind::Press, defaultButtonFor(focus)} : KeyAction{};
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        return plain && isOption(focus) ? KeyAction{KeyAction::Kind::Select, otherOption(focus)}
                                        : KeyAction{};
    case Key::Letter:
        if (key.alt && !key.ctrl)
            return accessKeyAction(key.letter);
        if (key.ctrl && !key.alt)
            return shortcutAction(key.letter);
        return {};
    case Key::Other:
        break;
    }
    return {};
}

} // namespace runby
