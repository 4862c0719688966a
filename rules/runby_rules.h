#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runby {

// Imperial: speed in ft/min, runby first in inches, speed converted to m/s.
// Metric: speed in m/s, runby first in millimetres, speed converted to ft/min.
enum class UnitMode : std::uint8_t { Imperial, Metric };

// What one evaluation of the runby rule asks the calculator to show.
struct RunbyOutcome
{
    enum class Kind : std::uint8_t {
        Clear, // the speed is zero, negative or not a number: clear the form
        NoChange, // a positive speed outside every range: change nothing
        Results, // texts to write
    };

    Kind kind = Kind::Results;
    // In the order they are written: first runby, second runby, converted speed. Fewer when the
    // evaluation stopped early.
    std::vector<std::string> texts;
    bool stoppedEarly = false;
};

// Evaluates the minimum bottom and top car runby for the whole text of the active speed field.
// Never throws: a speed too large for a double stops the evaluation before any text, and a
// converted speed beyond the double range stops it after the two runby texts.
//   (Imperial, "150")  -> Results {"4.5", "114.3", "0.762"}
//   (Metric, "0.75")   -> Results {"112.5", "4.429133858268", "147.637795275591"}
//   (Imperial, "abc")  -> Clear          (Imperial, "1e-9") -> NoChange
//   (Metric, "1e999")  -> Results {} stopped early
RunbyOutcome computeRunby(UnitMode mode, std::string_view speedText);

} // namespace runby
