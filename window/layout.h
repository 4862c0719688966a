#pragma once

#include "catalogue.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace runby {

// The calculator window as every toolkit draws it: caption, menu, and each control with its
// place in twips (1/1440 inch, 15 to the pixel at 96 dots per inch), font and tab index.

constexpr int kTwipsPerPixel = 15;

// Every control of the window, each the index of its row in kControls: the client area's
// controls in the order of their creation, then the window itself, its Help menu and the menu's
// one item.
enum class ControlId : std::uint8_t {
    optImperial,
    optMetric,
    cmdClear,
    cmdCalculate,
    txtRunbyMillimeters,
    txtMetricSpeed,
    txtRunbyInches,
    txtImperialSpeed,
    Label9,
    Label8,
    Label7,
    Label6,
    Label5,
    Label4,
    Label1,
    frmRunby,
    mnuHelp,
    mnuRunbyInfo,
};

constexpr std::size_t indexOf(ControlId id)
{
    return static_cast<std::size_t>(id);
}

constexpr std::size_t kControlCount = indexOf(ControlId::mnuRunbyInfo) + 1;
// The controls in the client area come first.
constexpr std::size_t kClientControlCount = indexOf(ControlId::frmRunby);

enum class ControlKind : std::uint8_t {
    OptionButton,
    PushButton,
    TextField,
    Label,
    Window,
    Menu,
    MenuItem,
};

// The captions' faces, designed for MS Sans Serif: the dialog font at 8.25 points where the
// design names none, else the named size and weight.
enum class Face : std::uint8_t { Default, Bold975, Bold12, Regular135 };

struct FaceSize
{
    double points;
    bool bold;
};

constexpr FaceSize faceSize(Face face)
{
    switch (face) {
    case Face::Bold975:
        return {9.75, true};
    case Face::Bold12:
        return {12, true};
    case Face::Regular135:
        return {13.5, false};
    case Face::Default:
        break;
    }
    return {8.25, false};
}

struct ControlLayout
{
    ControlId id;
    std::string_view name;
    ControlKind kind;
    // An ampersand marks the access key.
    Text caption;
    int left;
    int top;
    int width;
    int height;
    Face face;
    int tabIndex;
    Text toolTip;
    // What assistive technology calls a control that has no caption.
    Text accessibleName;
    // For a menu item: Ctrl and this letter choose it from anywhere in the window.
    char shortcutKey = '\0';
};

// In the order of their creation.
constexpr std::array<ControlLayout, kControlCount> kControls{{
    {ControlId::optImperial, "optImperial", ControlKind::OptionButton, Text::optImperial_caption,
        2520, 960, 1095, 255, Face::Default, 4, Text::none, Text::none},
    {ControlId::optMetric, "optMetric", ControlKind::OptionButton, Text::optMetric_caption, 4800,
        960, 1095, 255, Face::Default, 5, Text::none, Text::none},
    {ControlId::cmdClear, "cmdClear", ControlKind::PushButton, Text::cmdClear_caption, 4710, 2940,
        1275, 555, Face::Bold975, 3, Text::none, Text::none},
    {ControlId::cmdCalculate, "cmdCalculate", ControlKind::PushButton, Text::cmdCalculate_caption,
        2430, 2940, 1275, 555, Face::Bold975, 2, Text::none, Text::none},
    {ControlId::txtRunbyMillimeters, "txtRunbyMillimeters", ControlKind::TextField, Text::none,
        4650, 2220, 1395, 420, Face::Bold12, 14, Text::none, Text::txtRunbyMillimeters_name},
    {ControlId::txtMetricSpeed, "txtMetricSpeed", ControlKind::TextField, Text::none, 4650, 1560,
        1395, 420, Face::Bold12, 1, Text::none, Text::txtMetricSpeed_name},
    {ControlId::txtRunbyInches, "txtRunbyInches", ControlKind::TextField, Text::none, 2340, 2220,
        1455, 420, Face::Bold12, 13, Text::none, Text::txtRunbyInches_name},
    {ControlId::txtImperialSpeed, "txtImperialSpeed", ControlKind::TextField, Text::none, 2340,
        1560, 1455, 420, Face::Bold12, 0, Text::none, Text::txtImperialSpeed_name},
    {ControlId::Label9, "Label9", ControlKind::Label, Text::Label9_caption, 6120, 2340, 375, 315,
        Face::Bold975, 12, Text::Label9_toolTip, Text::none},
    {ControlId::Label8, "Label8", ControlKind::Label, Text::Label8_caption, 6120, 1680, 495, 315,
        Face::Bold975, 11, Text::Label8_toolTip, Text::none},
    {ControlId::Label7, "Label7", ControlKind::Label, Text::Label7_caption, 3900, 2340, 255, 315,
        Face::Bold975, 10, Text::Label7_toolTip, Text::none},
    {ControlId::Label6, "Label6", ControlKind::Label, Text::Label6_caption, 3900, 1680, 495, 315,
        Face::Bold975, 9, Text::Label6_toolTip, Text::none},
    {ControlId::Label5, "Label5", ControlKind::Label, Text::Label5_caption, 540, 2340, 1635, 315,
        Face::Bold975, 8, Text::none, Text::none},
    {ControlId::Label4, "Label4", ControlKind::Label, Text::Label4_caption, 540, 1680, 735, 315,
        Face::Bold975, 7, Text::Label4_toolTip, Text::none},
    {ControlId::Label1, "Label1", ControlKind::Label, Text::Label1_caption, 1545, 240, 4815, 375,
        Face::Regular135, 6, Text::none, Text::none},
    // The window's place is its client area.
    {ControlId::frmRunby, "frmRunby", ControlKind::Window, Text::frmRunby_caption, 0, 0, 7905, 3780,
        Face::Default, -1, Text::none, Text::none},
    {ControlId::mnuHelp, "mnuHelp", ControlKind::Menu, Text::mnuHelp_caption, 0, 0, 0, 0,
        Face::Default, -1, Text::none, Text::none},
    {ControlId::mnuRunbyInfo, "mnuRunbyInfo", ControlKind::MenuItem, Text::mnuRunbyInfo_caption, 0,
        0, 0, 0, Face::Default, -1, Text::none, Text::none, 'R'},
}};

// A row out of its id's place would give a control another's place, caption and events.
constexpr bool tableFollowsIds()
{
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (indexOf(kControls[i].id) != i)
            return false;
    return true;
}
static_assert(tableFollowsIds(), "kControls must list the controls in the order of ControlId");

constexpr const ControlLayout &layoutOf(ControlId id)
{
    return kControls.at(indexOf(id));
}

// The design's name of a control.
constexpr std::string_view nameOf(ControlId id)
{
    return layoutOf(id).name;
}

// The control of a design's name, as toolkits keep it for their objects (object names, element
// ids); none for any other name.
constexpr std::optional<ControlId> controlNamed(std::string_view name)
{
    for (const ControlLayout &layout : kControls)
        if (layout.name == name)
            return layout.id;
    return std::nullopt;
}

// The client area's controls, in the order of their creation.
constexpr std::span<const ControlLayout, kClientControlCount> clientControls()
{
    return std::span(kControls).first<kClientControlCount>();
}

// How wide a label may grow, in twips, for a caption longer than the design's: up to the nearest
// control to its right that shares one of its rows, or to the client area's edge.
constexpr int roomOf(const ControlLayout &label)
{
    int right = layoutOf(ControlId::frmRunby).width;
    for (const ControlLayout &other : clientControls())
        if (other.left >= label.left + label.width && other.top < label.top + label.height
            && label.top < other.top + other.height)
            right = std::min(right, other.left);
    return right - label.left;
}

// A label's width for a caption of the given width, in twips: the design's where the caption fits
// it, else as wide as the caption within the label's room.
constexpr int labelWidthFor(const ControlLayout &label, int captionWidth)
{
    return std::clamp(captionWidth, label.width, roomOf(label));
}

// The letter after the ampersand of a caption, which Alt and the letter press; 0 where none.
constexpr char accessKeyOf(std::string_view caption)
{
    const std::size_t ampersand = caption.find('&');
    return ampersand != std::string_view::npos && ampersand + 1 < caption.size()
        ? caption[ampersand + 1]
        : '\0';
}

// A control's caption in the program's language, an ampersand marking its access key.
inline std::string_view captionOf(ControlId id)
{
    return textOf(layoutOf(id).caption);
}

// A caption as it is read aloud: without the ampersand that marks its access key.
inline std::string captionText(std::string_view caption)
{
    std::string text(caption);
    std::erase(text, '&');
    return text;
}

// The shortcut that chooses a menu item, as menus show it: "Ctrl+R".
inline std::string shortcutText(ControlId item)
{
    return std::string("Ctrl+") + layoutOf(item).shortcutKey;
}

// The unit options, which Tab and the arrows treat as one group.
constexpr std::array<ControlId, 2> kUnitOptions{ControlId::optImperial, ControlId::optMetric};

// The button that Enter presses unless a focused button takes it.
constexpr ControlId kDefaultButton = ControlId::cmdCalculate;
// The title, centred in its box; every other caption is left-aligned.
constexpr ControlId kCentredLabel = ControlId::Label1;

// The client area's controls in the order of their tab indexes.
inline std::array<const ControlLayout *, kClientControlCount> controlsInTabOrder()
{
    std::array<const ControlLayout *, kClientControlCount> order{};
    std::transform(clientControls().begin(), clientControls().end(), order.begin(),
        [](const ControlLayout &layout) { return &layout; });
    std::sort(order.begin(), order.end(),
        [](const ControlLayout *a, const ControlLayout *b) { return a->tabIndex < b->tabIndex; });
    return order;
}

} // namespace runby
