#pragma once

#include "layout.h"

#include <array>
#include <string>
#include <string_view>

namespace runby {

// What assistive technology learns of the window beside what it shows: each control's name, the
// descriptions, the order in which a screen reader reads the controls and the unit options' group.

// What the window is; its caption names the publisher only.
constexpr std::string_view kWindowDescription =
    "Minimum car runby calculator for hydraulic elevators";

// The controls as they stand on the screen, row by row: what a screen reader reads in turn.
constexpr std::array<ControlId, kClientControlCount> kReadingOrder{ControlId::Label1,
    ControlId::optImperial, ControlId::optMetric, ControlId::Label4, ControlId::txtImperialSpeed,
    ControlId::Label6, ControlId::txtMetricSpeed, ControlId::Label8, ControlId::Label5,
    ControlId::txtRunbyInches, ControlId::Label7, ControlId::txtRunbyMillimeters, ControlId::Label9,
    ControlId::cmdCalculate, ControlId::cmdClear};

// The unit options are one group, which is named so and counts its members.
constexpr std::string_view kUnitOptionsName = "Units";

// The label whose tooltip describes the speed fields.
constexpr ControlId kSpeedLabel = ControlId::Label4;

// A control's name: the layout's accessible name where it has one, else its caption as read.
inline std::string accessibleNameOf(ControlId id)
{
    const ControlLayout &layout = layoutOf(id);
    return layout.accessibleName.empty() ? captionText(layout.caption)
                                         : std::string(layout.accessibleName);
}

// What a control is for, beyond its name: the window's purpose, and for the speed fields the
// tooltip of their row's label; nothing for the others.
inline std::string accessibleDescriptionOf(ControlId id)
{
    if (id == ControlId::frmRunby)
        return std::string(kWindowDescription);
    if (id != ControlId::txtImperialSpeed && id != ControlId::txtMetricSpeed)
        return {};
    const std::string_view tip = layoutOf(kSpeedLabel).toolTip;
    const std::size_t first = tip.find_first_not_of(' ');
    return std::string(tip.substr(first, tip.find_last_not_of(' ') + 1 - first));
}

} // namespace runby
