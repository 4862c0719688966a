#include "calculator_form.h"

#include "catalogue.h"
#include "numeric_text.h"
#include "runby_info.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <optional>
#include <string_view>

namespace runby {

namespace {

// A figure in a sentence has at most this many significant digits, or its whole integer part.
constexpr int kSpokenDigits = 4;

UnitMode otherMode(UnitMode mode)
{
    return mode == UnitMode::Imperial ? UnitMode::Metric : UnitMode::Imperial;
}

ControlId optionOf(UnitMode mode)
{
    return mode == UnitMode::Imperial ? ControlId::optImperial : ControlId::optMetric;
}

// The decimals that round a plain decimal text to kSpokenDigits significant digits, keeping its
// whole integer part; none when it has no more digits than that.
std::optional<std::size_t> spokenDecimals(std::string_view shown)
{
    const std::size_t point = std::min(shown.find('.'), shown.size());
    std::string digits(shown.substr(0, point));
    if (point < shown.size())
        digits += shown.substr(point + 1);
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos || digits.size() - first <= kSpokenDigits)
        return std::nullopt;
    // Negative for a number below 1: the zeros between the point and its first digit.
    const auto integerDigits =
        static_cast<std::ptrdiff_t>(point) - static_cast<std::ptrdiff_t>(first);
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(kSpokenDigits - integerDigits, 0));
}

// A plain decimal text rounded half up to the given number of decimals, digit by digit, with
// trailing zeros and a bare point dropped.
//   ("147.63779", 1) -> "147.6"     ("5079999.9", 0) -> "5080000"     ("0.5080000", 4) -> "0.508"
std::string roundedText(std::string_view text, std::size_t decimals)
{
    const std::size_t point = std::min(text.find('.'), text.size());
    const std::string_view fraction = text.substr(std::min(point + 1, text.size()));
    const std::size_t kept = std::min(decimals, fraction.size());
    std::string digits = std::string(text.substr(0, point)) + std::string(fraction.substr(0, kept));
    bool carry = kept < fraction.size() && fraction[kept] >= '5';
    for (auto digit = digits.rbegin(); carry && digit != digits.rend(); ++digit) {
        carry = *digit == '9';
        *digit = carry ? '0' : static_cast<char>(*digit + 1);
    }
    if (carry)
        digits.insert(digits.begin(), '1');
    std::string rounded = digits.substr(0, digits.size() - kept);
    std::string decimalsKept = digits.substr(digits.size() - kept);
    decimalsKept.erase(decimalsKept.find_last_not_of('0') + 1);
    return decimalsKept.empty() ? rounded : rounded + "." + decimalsKept;
}

// A number as the program writes it: with its language's decimal sign.
std::string shownNumber(std::string_view number)
{
    std::string shown(number);
    std::replace(shown.begin(), shown.end(), '.', textOf(Text::decimal_sign).front());
    return shown;
}

// A number as the user or the program wrote it, as the rules read it: the language's decimal
// sign read as the full stop, and a full stop still one.
std::string readableNumber(std::string_view shown)
{
    std::string number(shown);
    std::replace(number.begin(), number.end(), textOf(Text::decimal_sign).front(), '.');
    return number;
}

// A figure of a field as a sentence says it. A long one, which a screen reader would read digit
// after digit, is rounded to kSpokenDigits significant digits, or to a whole number, and said to
// be "about" that; the field keeps every digit. Exponent forms are short already.
//   "4.5" -> "4.5"     "4.429133858268" -> "about 4.429"     "147.63779" -> "about 147.6"
//   "3.0000003" -> "about 3"     "0.5080000" -> "0.508"     "5079999.9" -> "about 5080000"
std::string spokenFigure(std::string_view shown)
{
    const std::optional<std::size_t> decimals =
        shown.find('E') == std::string_view::npos ? spokenDecimals(shown) : std::nullopt;
    if (!decimals)
        return shownNumber(shown);
    const std::size_t point = std::min(shown.find('.'), shown.size());
    const bool exact =
        shown.find_first_not_of('0', point + 1 + *decimals) == std::string_view::npos;
    const std::string rounded = shownNumber(roundedText(shown, *decimals));
    return exact ? rounded : filledText(Text::figure_about, {{"figure", rounded}});
}

// The whole part of a figure, by which a language chooses the form of its unit's name.
unsigned long wholePartOf(std::string_view figure)
{
    constexpr double kMany = 1e9;
    return static_cast<unsigned long>(std::clamp(parseLeadingNumber(figure), 0.0, kMany));
}

// A field's figure with its unit, as a sentence says it.
std::string spokenQuantity(Text quantity, const TextBox &field)
{
    const std::string figure = readableNumber(field.text());
    return filledText(quantity, wholePartOf(figure), {{"figure", spokenFigure(figure)}});
}

} // namespace

void makeDisplayOnly(TextBox &field)
{
    field.setBackColor(kYellow);
    field.setLocked(true);
    field.setTabStop(false);
}

void CalculatorForm::setDesignTimeProperties()
{
    m_controls.optImperial.setValue(true);
    makeDisplayOnly(m_controls.txtRunbyInches);
    makeDisplayOnly(m_controls.txtRunbyMillimeters);
}

void CalculatorForm::respond(ControlId source, ControlEvent event)
{
    for (const EventBinding &binding : kEventBindings)
        if (binding.source == source && binding.event == event)
            (this->*binding.handler)();
}

void CalculatorForm::Form_Load()
{
    makeDisplayOnly(m_controls.txtMetricSpeed);
    m_mode = UnitMode::Imperial;
    m_controls.optImperial.setValue(true);
    m_controls.optImperial.setForeColor(kRed);
}

void CalculatorForm::focusFirstControl()
{
    speedField(m_mode).setFocus();
}

void CalculatorForm::optImperial_Click()
{
    switchTo(UnitMode::Imperial);
}

void CalculatorForm::optMetric_Click()
{
    switchTo(UnitMode::Metric);
}

void CalculatorForm::cmdClear_Click()
{
    m_controls.txtImperialSpeed.setText("");
    m_controls.txtMetricSpeed.setText("");
    m_controls.txtRunbyInches.setText("");
    m_controls.txtRunbyMillimeters.setText("");
    speedField(m_mode).setFocus();
}

void CalculatorForm::cmdCalculate_Click()
{
    try {
        // Both speed fields must read as numbers before anything is written.
        parseLeadingNumber(readableNumber(m_controls.txtImperialSpeed.text()));
        parseLeadingNumber(readableNumber(m_controls.txtMetricSpeed.text()));
        const RunbyOutcome outcome =
            computeRunby(m_mode, readableNumber(speedField(m_mode).text()));
        switch (outcome.kind) {
        case RunbyOutcome::Kind::Clear:
            cmdClear_Click();
            m_controls.announcer.announce(textOf(Text::sentence_cleared));
            break;
        case RunbyOutcome::Kind::NoChange:
            break;
        case RunbyOutcome::Kind::Results:
            writeResults(outcome);
            if (!outcome.texts.empty())
                m_controls.announcer.announce(resultSentence());
            break;
        }
    } catch (const std::exception &) { // NOLINT(bugprone-empty-catch): by design, see below.
        // A failed calculation ends silently and keeps whatever it already wrote.
    }
}

void CalculatorForm::txtImperialSpeed_Change()
{
    clearStaleResults(UnitMode::Imperial, m_controls.txtRunbyInches);
}

void CalculatorForm::txtMetricSpeed_Change()
{
    clearStaleResults(UnitMode::Metric, m_controls.txtRunbyMillimeters);
}

void CalculatorForm::mnuRunbyInfo_Click()
{
    m_controls.messageBox.show(textOf(Text::runby_info_title), runbyInfoText());
}

TextBox &CalculatorForm::speedField(UnitMode mode) const
{
    return mode == UnitMode::Imperial ? m_controls.txtImperialSpeed : m_controls.txtMetricSpeed;
}

OptionButton &CalculatorForm::option(UnitMode mode) const
{
    return mode == UnitMode::Imperial ? m_controls.optImperial : m_controls.optMetric;
}

std::array<TextBox *, 3> CalculatorForm::resultFields() const
{
    if (m_mode == UnitMode::Imperial)
        return {&m_controls.txtRunbyInches, &m_controls.txtRunbyMillimeters,
            &m_controls.txtMetricSpeed};
    return {
        &m_controls.txtRunbyMillimeters, &m_controls.txtRunbyInches, &m_controls.txtImperialSpeed};
}

void CalculatorForm::switchTo(UnitMode mode)
{
    // Selecting the option already selected keeps the speed being typed, and the typing goes on.
    if (mode == m_mode) {
        speedField(mode).setFocus();
        return;
    }
    cmdClear_Click();
    makeDisplayOnly(speedField(otherMode(mode)));
    TextBox &active = speedField(mode);
    active.setBackColor(kWhite);
    active.setLocked(false);
    active.setFocus();
    active.setTabStop(true);
    option(mode).setForeColor(kRed);
    option(otherMode(mode)).setForeColor(kBlack);
    m_mode = mode;
    // The focus goes to the speed field, so a screen reader would not say which option is now
    // selected.
    m_controls.announcer.announce(filledText(
        Text::sentence_option_selected, {{"option", captionText(captionOf(optionOf(mode)))}}));
}

// Runs when the speed field of fieldMode changes. Only an edit of the active speed while a result
// is shown clears: a calculation's own write into the inactive speed field must not.
void CalculatorForm::clearStaleResults(UnitMode fieldMode, const TextBox &firstRunby)
{
    if (firstRunby.text().empty() || m_mode != fieldMode)
        return;
    speedField(otherMode(fieldMode)).setText("");
    m_controls.txtRunbyInches.setText("");
    m_controls.txtRunbyMillimeters.setText("");
}

void CalculatorForm::writeResults(const RunbyOutcome &outcome)
{
    const auto fields = resultFields();
    for (std::size_t i = 0; i < outcome.texts.size(); ++i) {
        const std::string &text = outcome.texts[i];
        // The last text, the converted speed, goes into a speed field of kSpeedFieldLength
        // characters, where a plain cut could show a number of another magnitude.
        const bool convertedSpeed = i + 1 == fields.size();
        fields.at(i)->setText(
            shownNumber(convertedSpeed ? fitNumberText(text, kSpeedFieldLength) : text));
    }
}

// The runby in the chosen units first, then in the other units, then the converted speed, as the
// fields show them, long figures rounded for listening:
// "Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second".
std::string CalculatorForm::resultSentence() const
{
    const bool imperial = m_mode == UnitMode::Imperial;
    const std::string inches = spokenQuantity(Text::figure_inches, m_controls.txtRunbyInches);
    const std::string millimeters =
        spokenQuantity(Text::figure_millimeters, m_controls.txtRunbyMillimeters);
    const TextBox &converted = speedField(otherMode(m_mode));
    const std::string speed = spokenQuantity(
        imperial ? Text::figure_meters_per_second : Text::figure_feet_per_minute, converted);
    return filledText(converted.text().empty() ? Text::sentence_runby : Text::sentence_runby_speed,
        {{"first", imperial ? inches : millimeters}, {"second", imperial ? millimeters : inches},
            {"speed", speed}});
}

} // namespace runby
