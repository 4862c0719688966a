#include "calculator_form.h"

#include "numeric_text.h"
#include "runby_info.h"

#include <exception>
#include <string_view>

namespace runby {

namespace {

constexpr std::string_view kClearedSentence = "The speed is not positive; the fields were cleared.";

UnitMode otherMode(UnitMode mode)
{
    return mode == UnitMode::Imperial ? UnitMode::Metric : UnitMode::Imperial;
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

void CalculatorForm::raise(ControlId source, ControlEvent event)
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
        parseLeadingNumber(m_controls.txtImperialSpeed.text());
        parseLeadingNumber(m_controls.txtMetricSpeed.text());
        const RunbyOutcome outcome = computeRunby(m_mode, speedField(m_mode).text());
        switch (outcome.kind) {
        case RunbyOutcome::Kind::Clear:
            cmdClear_Click();
            m_controls.announcer.announce(kClearedSentence);
            break;
        case RunbyOutcome::Kind::NoChange:
            break;
        case RunbyOutcome::Kind::Results:
            writeResults(outcome);
            if (!outcome.texts.empty())
                m_controls.announcer.announce(resultSentence());
            break;
        }
    } catch (const std::exception &) {
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
    m_controls.messageBox.show(kRunbyInfoTitle, runbyInfoText());
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
        fields.at(i)->setText(convertedSpeed ? fitNumberText(text, kSpeedFieldLength) : text);
    }
}

// The runby in the chosen units first, then in the other units, then the converted speed, as the
// fields show them: "Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second".
std::string CalculatorForm::resultSentence() const
{
    const bool imperial = m_mode == UnitMode::Imperial;
    const std::string inches = m_controls.txtRunbyInches.text() + " inches";
    const std::string millimeters = m_controls.txtRunbyMillimeters.text() + " millimeters";
    std::string sentence =
        "Minimum runby " + (imperial ? inches + ", " + millimeters : millimeters + ", " + inches);
    const std::string speed = speedField(otherMode(m_mode)).text();
    if (!speed.empty())
        sentence += "; " + speed + (imperial ? " meters per second" : " feet per minute");
    return sentence;
}

} // namespace runby
