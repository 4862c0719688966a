#pragma once

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

namespace runby {

// The calculator window as every toolkit draws it: caption, menu, and each control with its
// place in twips (1/1440 inch, 15 to the pixel at 96 dots per inch), font and tab index.

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidthTwips = 7905;
constexpr int kClientHeightTwips = 3780;

constexpr std::string_view kWindowCaption = " Tarnvale          www.tarnvale.example";
constexpr std::string_view kHelpMenuCaption = "&Help";
constexpr std::string_view kRunbyInfoCaption = "&Runby Info";
// The shortcut of Runby Info: Ctrl and this letter.
constexpr char kRunbyInfoShortcutKey = 'R';

enum class ControlKind { OptionButton, PushButton, TextField, Label };

// The captions' faces, designed for MS Sans Serif: the dialog font at 8.25 points where the
// design names none, else the named size and weight.
enum class Face { Default, Bold975, Bold12, Regular135 };

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
    std::string_view name;
    ControlKind kind;
    // An ampersand marks the access key.
    std::string_view caption;
    int left;
    int top;
    int width;
    int height;
    Face face;
    int tabIndex;
    std::string_view toolTip;
    // What assistive technology calls a control that has no caption.
    std::string_view accessibleName;
};

// In the order of their creation.
constexpr std::array<ControlLayout, 15> kControls{{
    {"optImperial", ControlKind::OptionButton, "&Imperial", 2520, 960, 1095, 255, Face::Default, 4,
        "", ""},
    {"optMetric", ControlKind::OptionButton, "&Metric", 4800, 960, 1095, 255, Face::Default, 5, "",
        ""},
    {"cmdClear", ControlKind::PushButton, "C&lear", 4710, 2940, 1275, 555, Face::Bold975, 3, "",
        ""},
    {"cmdCalculate", ControlKind::PushButton, "&Calculate", 2430, 2940, 1275, 555, Face::Bold975, 2,
        "", ""},
    {"txtRunbyMillimeters", ControlKind::TextField, "", 4650, 2220, 1395, 420, Face::Bold12, 14, "",
        "Minimum runby in millimeters"},
    {"txtMetricSpeed", ControlKind::TextField, "", 4650, 1560, 1395, 420, Face::Bold12, 1, "",
        "Speed in meters per second"},
    {"txtRunbyInches", ControlKind::TextField, "", 2340, 2220, 1455, 420, Face::Bold12, 13, "",
        "Minimum runby in inches"},
    {"txtImperialSpeed", ControlKind::TextField, "", 2340, 1560, 1455, 420, Face::Bold12, 0, "",
        "Speed in feet per minute"},
    {"Label9", ControlKind::Label, "MM", 6120, 2340, 375, 315, Face::Bold975, 12, " Millimeters ",
        ""},
    {"Label8", ControlKind::Label, "MPS", 6120, 1680, 495, 315, Face::Bold975, 11,
        " Meters per second ", ""},
    {"Label7", ControlKind::Label, "IN", 3900, 2340, 255, 315, Face::Bold975, 10, " Inches ", ""},
    {"Label6", ControlKind::Label, "FPM", 3900, 1680, 495, 315, Face::Bold975, 9,
        " Feet per minute ", ""},
    {"Label5", ControlKind::Label, "Minimum Runby", 540, 2340, 1635, 315, Face::Bold975, 8, "", ""},
    {"Label4", ControlKind::Label, "Speed", 540, 1680, 735, 315, Face::Bold975, 7,
        " Operating speed in the down direction or rated speed up ", ""},
    {"Label1", ControlKind::Label, "Tarnvale", 1545, 240, 4815, 375, Face::Regular135, 6, "", ""},
}};

// The controls as they stand on the screen, row by row: what a screen reader reads in turn.
constexpr std::array<std::string_view, 15> kReadingOrder{"Label1", "optImperial", "optMetric",
    "Label4", "txtImperialSpeed", "Label6", "txtMetricSpeed", "Label8", "Label5", "txtRunbyInches",
    "Label7", "txtRunbyMillimeters", "Label9", "cmdCalculate", "cmdClear"};

// The label whose tooltip describes the speed fields.
constexpr std::string_view kSpeedLabel = "Label4";
// The button that Enter presses unless a focused button takes it.
constexpr std::string_view kDefaultButton = "cmdCalculate";
// The title, centred in its box; every other caption is left-aligned.
constexpr std::string_view kCentredLabel = "Label1";

// The controls in the order of their tab indexes.
inline std::array<const ControlLayout *, kControls.size()> controlsInTabOrder()
{
    std::array<const ControlLayout *, kControls.size()> order{};
    std::transform(kControls.begin(), kControls.end(), order.begin(),
        [](const ControlLayout &layout) { return &layout; });
    std::sort(order.begin(), order.end(),
        [](const ControlLayout *a, const ControlLayout *b) { return a->tabIndex < b->tabIndex; });
    return order;
}

constexpr const ControlLayout &control(std::string_view name)
{
    for (const ControlLayout &layout : kControls)
        if (layout.name == name)
            return layout;
    throw std::out_of_range("no control of that name");
}

} // namespace runby
