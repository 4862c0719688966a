#pragma once

#include "controls.h"
#include "layout.h"
#include "runby_rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace runby {

// The speed fields hold at most this many characters.
constexpr std::size_t kSpeedFieldLength = 9;

// Yellow, read-only and out of the Tab chain: the runby fields always, and the inactive speed
// field, which only shows the converted speed.
void makeDisplayOnly(TextBox &field);

// What a control or the menu item tells the calculator.
enum class ControlEvent : std::uint8_t { Click, Change };

// The state and event handlers of the calculator window, run against the control interface so
// that they need no window toolkit.
//
// The user types a speed into the active speed field (imperial or metric, after the unit mode)
// and presses Calculate. cmdCalculate_Click hands the mode and that text to computeRunby and
// writes the texts it returns, in order, into the first runby field, the second runby field and
// the inactive speed field. Every write raises the written field's change handler at once; the
// handlers' guards on the unit mode and on a shown result keep those nested runs from wiping the
// results just written. Editing the active speed afterwards empties the other three fields, so
// that no stale result stands beside a new speed. The results land in fields that do not have the
// focus, so the calculation also tells assistive technology what they show, in one sentence.
class CalculatorForm
{
public:
    struct Controls
    {
        TextBox &txtImperialSpeed;
        TextBox &txtMetricSpeed;
        TextBox &txtRunbyInches;
        TextBox &txtRunbyMillimeters;
        OptionButton &optImperial;
        OptionButton &optMetric;
        MessageBox &messageBox;
        Announcer &announcer;
    };

    explicit CalculatorForm(const Controls &controls) : m_controls(controls) { }

    // What the controls are when the window opens, before Form_Load runs: the imperial option
    // selected, both runby fields display-only.
    void setDesignTimeProperties();
    // Runs the handler of the event that a window saw, if the calculator has one for it.
    void respond(ControlId source, ControlEvent event);

    void Form_Load();
    // Gives the focus to the first control of the Tab order that takes it, as the window shows:
    // the active speed field.
    void focusFirstControl();
    void optImperial_Click();
    void optMetric_Click();
    void cmdClear_Click();
    void cmdCalculate_Click();
    void txtImperialSpeed_Change();
    void txtMetricSpeed_Change();
    void mnuRunbyInfo_Click();

    UnitMode unitMode() const { return m_mode; }

private:
    TextBox &speedField(UnitMode mode) const;
    OptionButton &option(UnitMode mode) const;
    // The fields a Results outcome is written into, in the order of its texts.
    std::array<TextBox *, 3> resultFields() const;
    void switchTo(UnitMode mode);
    void clearStaleResults(UnitMode fieldMode, const TextBox &firstRunby);
    void writeResults(const RunbyOutcome &outcome);
    std::string resultSentence() const;

    Controls m_controls;
    UnitMode m_mode = UnitMode::Imperial;
};

// Every event the calculator handles, with its handler: each window wires these and no other.
struct EventBinding
{
    ControlId source;
    ControlEvent event;
    void (CalculatorForm::*handler)();
};

constexpr std::array<EventBinding, 7> kEventBindings{{
    {ControlId::optImperial, ControlEvent::Click, &CalculatorForm::optImperial_Click},
    {ControlId::optMetric, ControlEvent::Click, &CalculatorForm::optMetric_Click},
    {ControlId::cmdClear, ControlEvent::Click, &CalculatorForm::cmdClear_Click},
    {ControlId::cmdCalculate, ControlEvent::Click, &CalculatorForm::cmdCalculate_Click},
    {ControlId::txtMetricSpeed, ControlEvent::Change, &CalculatorForm::txtMetricSpeed_Change},
    {ControlId::txtImperialSpeed, ControlEvent::Change, &CalculatorForm::txtImperialSpeed_Change},
    {ControlId::mnuRunbyInfo, ControlEvent::Click, &CalculatorForm::mnuRunbyInfo_Click},
}};

} // namespace runby
