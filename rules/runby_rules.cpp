#include "runby_rules.h"

#include "numeric_text.h"

#include <cstdint>

namespace runby {

namespace {

constexpr double kLowestSpeed = 0.00000001;

constexpr double kTopOfMinimumRangeFeetPerMinute = 100;
constexpr double kStartOfProportionalRangeFeetPerMinute = 100.00001;
constexpr double kEndOfProportionalRangeFeetPerMinute = 199.99999;
constexpr double kStartOfTopRangeFeetPerMinute = 200;

constexpr double kTopOfMinimumRangeMetresPerSecond = 0.49999999;
constexpr double kStartOfProportionalRangeMetresPerSecond = 0.5;
constexpr double kEndOfProportionalRangeMetresPerSecond = 0.99999999;
constexpr double kStartOfTopRangeMetresPerSecond = 1;

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

enum class SpeedRange { NotPositive, Minimum, Top, Proportional, Outside };

bool within(double value, double low, double high)
{
    return low <= value && value <= high;
}

// The tests are made in this order and the first that holds decides.
SpeedRange imperialRange(double feetPerMinute)
{
    if (feetPerMinute <= 0)
        return SpeedRange::NotPositive;
    if (within(feetPerMinute, kLowestSpeed, kTopOfMinimumRangeFeetPerMinute))
        return SpeedRange::Minimum;
    if (feetPerMinute >= kStartOfTopRangeFeetPerMinute)
        return SpeedRange::Top;
    if (within(feetPerMinute, kStartOfProportionalRangeFeetPerMinute,
            kEndOfProportionalRangeFeetPerMinute))
        return SpeedRange::Proportional;
    return SpeedRange::Outside;
}

SpeedRange metricRange(double metresPerSecond)
{
    if (metresPerSecond <= 0)
        return SpeedRange::NotPositive;
    if (within(metresPerSecond, kLowestSpeed, kTopOfMinimumRangeMetresPerSecond))
        return SpeedRange::Minimum;
    if (metresPerSecond >= kStartOfTopRangeMetresPerSecond)
        return SpeedRange::Top;
    if (within(metresPerSecond, kStartOfProportionalRangeMetresPerSecond,
            kEndOfProportionalRangeMetresPerSecond))
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
        const SpeedRange range = imperial ? imperialRange(speed) : metricRange(speed);
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
