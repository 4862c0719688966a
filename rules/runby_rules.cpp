#include "runby_rules.h"

#include "numeric_text.h"

#include <cstdint>

namespace runby {

namespace {

constexpr double kLowestSpeed = 0.00000001;

// The speeds that bound the ranges of the rule, in the unit of a mode.
struct RangeLimits
{
    double topOfMinimum;
    double startOfProportional;
    double endOfProportional;
    double startOfTop;
};

constexpr RangeLimits kFeetPerMinuteLimits{100, 100.00001, 199.99999, 200};
constexpr RangeLimits kMetresPerSecondLimits{0.49999999, 0.5, 0.99999999, 1};

constexpr std::int16_t kMinimumRunbyInches = 3;
constexpr std::int16_t kTopRunbyInches = 6;
constexpr std::int16_t kMinimumRunbyMillimetres = 75;
constexpr std::int16_t kTopRunbyMillimetres = 150;
// 75 mm in inches, written out rather than computed from 75 mm.
constexpr double kMinimumRunbyInchesOfMetricRule = 2.952755905512;

constexpr double kRunbyInchesPerFootPerMinute = 0.03;
constexpr double kRunbyMillimetresPerMetrePerSecond = 150;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kInchesPerMillimetre = 0.03937007874016;
constexpr double kMetresPerSecondPerFootPerMinute = 0.00508;
constexpr double kFeetPerMinutePerMetrePerSecond = 196.850393700788;

enum class SpeedRange : std::uint8_t { NotPositive, Minimum, Top, Proportional, Outside };

bool within(double value, double low, double high)
{
    return low <= value && value <= high;
}

// The tests are made in this order and the first that holds decides.
SpeedRange rangeOf(double speed, const RangeLimits &limits)
{
    if (speed <= 0)
        return SpeedRange::NotPositive;
    if (within(speed, kLowestSpeed, limits.topOfMinimum))
        return SpeedRange::Minimum;
    if (speed >= limits.startOfTop)
        return SpeedRange::Top;
    if (within(speed, limits.startOfProportional, limits.endOfProportional))
        return SpeedRange::Proportional;
    return SpeedRange::Outside;
}

// The second runby is converted from the first runby's text as shown, not from the unrounded
// product, so that the two figures on screen agree with each other to the digit.
std::string convertShownRunby(const std::string &shownRunby, double factor)
{
    return formatReal(parseReal(shownRunby) * factor);
}

// Appends the texts one at a time so that a failure part way keeps those already made.
void appendImperialTexts(SpeedRange range, double feetPerMinute, std::vector<std::string> &texts)
{
    switch (range) {
    case SpeedRange::Minimum:
        texts.push_back(formatInteger(kMinimumRunbyInches));
        break;
    case SpeedRange::Top:
        texts.push_back(formatInteger(kTopRunbyInches));
        break;
    default:
        texts.push_back(formatReal(feetPerMinute * kRunbyInchesPerFootPerMinute));
        break;
    }
    texts.push_back(convertShownRunby(texts.back(), kMillimetresPerInch));
    texts.push_back(formatReal(feetPerMinute * kMetresPerSecondPerFootPerMinute));
}

void appendMetricTexts(SpeedRange range, double metresPerSecond, std::vector<std::string> &texts)
{
    switch (range) {
    case SpeedRange::Minimum:
        texts.push_back(formatInteger(kMinimumRunbyMillimetres));
        texts.push_back(formatReal(kMinimumRunbyInchesOfMetricRule));
        break;
    case SpeedRange::Top:
        texts.push_back(formatInteger(kTopRunbyMillimetres));
        texts.push_back(convertShownRunby(texts.back(), kInchesPerMillimetre));
        break;
    default:
        texts.push_back(formatReal(metresPerSecond * kRunbyMillimetresPerMetrePerSecond));
        texts.push_back(convertShownRunby(texts.back(), kInchesPerMillimetre));
        break;
    }
    texts.push_back(formatReal(metresPerSecond * kFeetPerMinutePerMetrePerSecond));
}

} // namespace

RunbyOutcome computeRunby(UnitMode mode, std::string_view speedText)
{
    RunbyOutcome outcome;
    outcome.texts.reserve(3);
    try {
        const double speed = parseLeadingNumber(speedText);
        const bool imperial = mode == UnitMode::Imperial;
        const SpeedRange range =
            rangeOf(speed, imperial ? kFeetPerMinuteLimits : kMetresPerSecondLimits);
        if (range == SpeedRange::NotPositive)
            outcome.kind = RunbyOutcome::Kind::Clear;
        else if (range == SpeedRange::Outside)
            outcome.kind = RunbyOutcome::Kind::NoChange;
        else if (imperial)
            appendImperialTexts(range, speed, outcome.texts);
        else
            appendMetricTexts(range, speed, outcome.texts);
    } catch (const NumericOverflow &) {
        outcome.stoppedEarly = true;
    }
    return outcome;
}

} // namespace runby
