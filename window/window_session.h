#pragma once

#include "calculator_form.h"
#include "controls.h"
#include "deferred_focus.h"
#include "layout.h"

namespace runby {

// The calculator as every window runs it, whatever its toolkit: the form made over the window's
// controls and started as the window opens, with the focus in its first control; each event
// answered by its handler, and the focus that the handlers asked for given once they are done;
// Tab stopping at the selected unit option only, as in any group of options.
class WindowSession
{
public:
    WindowSession(const CalculatorForm::Controls &controls, DeferredFocus &focus);

    // The controls as the window is made, and Form_Load, before the window shows.
    void load();
    // The focus in the first control of the Tab order, as the window shows.
    void focusFirstControl();
    // A button pressed, an option selected or the menu item chosen.
    void click(ControlId source);
    // The text of a field changed.
    void change(ControlId source);

private:
    void keepOptionTabStop();

    CalculatorForm::Controls m_controls;
    CalculatorForm m_form;
    DeferredFocus &m_focus;
};

} // namespace runby
