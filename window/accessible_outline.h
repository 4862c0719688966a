#pragma once

#include "layout.h"

#include <array>
#include <string>
#include <string_view>

namespace runby {

// What assistive technology learns of the window beside what it shows: each control's name, the
// descriptions and the order in which a screen reader reads the controls. The unit options are one
// group, named Text::unit_options_name, which counts its members.

// The controls as they stand on the screen, row by row: what a screen reader reads in turn.
constexpr std::array<ControlId, kClientControlCount> kReadingOrder{ControlId::Label1,
    ControlId::optImperial, ControlId::optMetric, ControlId::Label4, ControlId::txtImperialSpeed,
    ControlId::Label6, ControlId::txtMetricSpeed, ControlId::Label8, ControlId::Label5,
    ControlId::txtRunbyInches, ControlId::Label7, ControlId::txtRunbyMillimeters, ControlId::Label9,
    ControlId::cmdCalculate, ControlId::cmdClear};

// The label whose tooltip describes the speed fields.
constexpr ControlId kSpeedLabel = ControlId::Label4;

// A control's name: the layout's accessible name where it has one, else its caption as read.
inline std::string accessibleNameOf(ControlId id)
{
    const ControlLayout &layout = layoutOf(id);
    if (layout.accessibleName == Text::none)
        return captionText(textOf(layout.caption));
    return std::string(textOf(layout.accessibleName));
}

// What a control is for, beyond its name: the window's purpose (its caption names the publisher
// only), and for the speed fields the tooltip of their row's label; nothing for the others.
inline std::string accessibleDescriptionOf(ControlId id)
{
    if (id == ControlId::frmRunby)
        return std::string(textOf(Text::window_description));
    if (id != ControlId::txtImperialSpeed && id != ControlId::txtMetricSpeed)
        return {};
    const std::string_view tip = textOf(layoutOf(kSpeedLabel).toolTip);
    const std::size_t first = tip.find_first_not_of(' ');
    return std::string(tip.substr(first, tip.find_last_not_of(' ') + 1 - first));
}

} // namespace runby
