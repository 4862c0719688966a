// Feeds arbitrary doubles to formatReal, reads the text back with parseReal and fits it into
// fields of several widths.
#include "fuzz_checks.h"
#include "numeric_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace runby;
using runby::fuzz::require;

namespace {

// Longest text formatReal writes: "-d.ddddddddddddddE-ddd".
constexpr std::size_t kLongestText = 22;
// The narrowest field that holds a sign, one digit and a three-digit exponent.
constexpr std::size_t kNarrowestField = 7;
// Where writing with 15 digits rounds past the largest double.
constexpr double kLargestReadableMagnitude = 1.797693134862315e308;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    double value = 0;
    if (size < sizeof value)
        return 0;
    std::memcpy(&value, data, sizeof value);
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    if (!std::isfinite(value)) {
        bool refused = false;
        try {
            formatReal(value);
        } catch (const NumericOverflow &) {
            refused = true;
        }
        require(refused, "a value that is not finite was written", input);
        return 0;
    }

    const std::string text = formatReal(value);
    require(text.size() <= kLongestText, "text too long", input);
    double back = 0;
    try {
        back = parseReal(text);
    } catch (const NumericOverflow &) {
        require(std::abs(value) > kLargestReadableMagnitude, "text does not read back", input);
        return 0;
    }
    require(formatReal(back) == text, "text does not read back to itself", input);
    // Rounding to 15 digits moves a value by at most half a unit in its 15th digit; reading it
    // back adds an ulp or so.
    require(std::abs(back - value)
            <= std::abs(value) * (5e-15 + 4 * std::numeric_limits<double>::epsilon()) + 5e-324,
        "text is not the value rounded to 15 digits", input);

    runby::fuzz::requireFaithfulCut(text, 9, input);
    const std::size_t width = size > sizeof value ? kNarrowestField + data[sizeof value] % 16 : 9;
    runby::fuzz::requireFaithfulCut(text, width, input);
    return 0;
}
