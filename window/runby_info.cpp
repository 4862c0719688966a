#include "runby_info.h"

#include <array>
#include <iterator>

namespace runby {

namespace {

// Blanks at the ends of lines and the double blank in "direction  exceeding" are part of the
// quoted rule text.
constexpr std::array<std::string_view, 23> kRuleLines{
    "300.8b Minimum Bottom and Top Car Runby",
    "",
    "(1) Car Bottom Minimum Runby. The bottom runby of the car shall be:",
    "",
    "(a) not less than 75 mm (3 in.) for operating speed(s) ",
    "   in the down direction up to 0.50 m/s (100 ft/min);",
    "(b) increased from 75 mm (3 in.) to 150 mm (6 in.) in proportion ",
    "   to the increase in the operating speed(s) in the down direction ",
    "   from 0.50 m/s (100 ft/min) to 1.00 m/s (200 ft/min); and",
    "(c) a minimum of 150 mm (6 in.) for operating speed(s) in ",
    "   the down direction  exceeding 1.00 m/s (200 ft/min).",
    "",
    "(2) Car Top Minimum Runby. The top runby of the car shall be: ",
    "",
    "(a) not less than 75 mm (3 in.) for rated speeds up to ",
    "   0.50 m/s (100 ft/min);",
    "(b) increased from 75 mm (3 in.) to 150 mm (6 in.) in ",
    "   proportion to the increase in rated speed from 0.50 m/s ",
    "   (100 ft/min) to 1.00 m/s (200 ft/min); and ",
    "(c) a minimum of 150 mm (6 in.) for rated ",
    "   speeds exceeding 1.00 m/s (200 ft/min).",
    "",
    "Note: The maximum top or bottom runby is 600 mm (24 in.).",
};

} // namespace

std::string runbyInfoText()
{
    std::string text(kRuleLines.front());
    for (auto line = std::next(kRuleLines.begin()); line != kRuleLines.end(); ++line) {
        text += "\r\n";
        text += *line;
    }
    return text;
}

} // namespace runby
