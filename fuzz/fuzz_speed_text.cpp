// Feeds arbitrary bytes as a typed speed to parseLeadingNumber and computeRunby in both unit
// modes, and checks what the calculator would show.
#include "fuzz_checks.h"
#include "numeric_text.h"
#include "runby_rules.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

using namespace runby;
using runby::fuzz::nearlyEqual;
using runby::fuzz::require;

namespace {

constexpr std::size_t kSpeedFieldLength = 9;

// Whether the rule gives a runby for this positive speed: the ranges as the code rule states them.
bool inSomeRange(UnitMode mode, double s)
{
    if (mode == UnitMode::Imperial)
        return (s >= 0.00000001 && s <= 100) || s >= 200 || (s >= 100.00001 && s <= 199.99999);
    return (s >= 0.00000001 && s <= 0.49999999) || s >= 1 || (s >= 0.5 && s <= 0.99999999);
}

void checkResults(UnitMode mode, double speed, const RunbyOutcome &outcome, std::string_view input)
{
    const bool imperial = mode == UnitMode::Imperial;
    const double convertedSpeed = speed * (imperial ? 0.00508 : 196.850393700788);
    const bool overflows = std::isinf(convertedSpeed);
    require(outcome.stoppedEarly == overflows, "early stop without an overflowing speed", input);
    require(outcome.texts.size() == (overflows ? 2U : 3U), "wrong count of texts", input);
    for (const std::string &text : outcome.texts)
        require(formatReal(parseReal(text)) == text, "text does not read back to itself", input);

    const double first = parseReal(outcome.texts[0]);
    const double second = parseReal(outcome.texts[1]);
    if (imperial) {
        require(first >= 3 && first <= 6, "inches outside 3 to 6", input);
        require(nearlyEqual(second, first * 25.4), "millimetres disagree with inches", input);
    } else {
        require(first >= 75 && first <= 150, "millimetres outside 75 to 150", input);
        require(nearlyEqual(second, first * 0.03937007874016), "inches disagree with millimetres",
            input);
    }
    if (overflows)
        return;
    require(
        nearlyEqual(parseReal(outcome.texts[2]), convertedSpeed), "wrong converted speed", input);
    runby::fuzz::requireFaithfulCut(outcome.texts[2], kSpeedFieldLength, input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::optional<double> speed;
    try {
        speed = parseLeadingNumber(input);
        require(std::isfinite(*speed), "parsed speed is not finite", input);
    } catch (const NumericOverflow &) {
    }

    for (const UnitMode mode : {UnitMode::Imperial, UnitMode::Metric}) {
        const RunbyOutcome outcome = computeRunby(mode, input);
        if (!speed) {
            require(outcome.kind == RunbyOutcome::Kind::Results && outcome.stoppedEarly
                    && outcome.texts.empty(),
                "unreadable speed did not stop early", input);
            continue;
        }
        if (*speed <= 0) {
            require(outcome.kind == RunbyOutcome::Kind::Clear, "speed <= 0 did not clear", input);
        } else if (!inSomeRange(mode, *speed)) {
            require(outcome.kind == RunbyOutcome::Kind::NoChange,
                "speed outside every range changed something", input);
        } else {
            require(outcome.kind == RunbyOutcome::Kind::Results, "speed in range gave no results",
                input);
            checkResults(mode, *speed, outcome, input);
        }
        if (outcome.kind != RunbyOutcome::Kind::Results)
            require(outcome.texts.empty() && !outcome.stoppedEarly, "texts without results", input);
    }
    return 0;
}
