#include "window_session.h"

namespace runby {

WindowSession::WindowSession(const CalculatorForm::Controls &controls, DeferredFocus &focus)
    : m_controls(controls), m_form(controls), m_focus(focus)
{
}

void WindowSession::load()
{
    m_form.setDesignTimeProperties();
    m_form.Form_Load();
    keepOptionTabStop();
}

void WindowSession::focusFirstControl()
{
    m_form.focusFirstControl();
    m_focus.give();
}

void WindowSession::click(ControlId source)
{
    m_form.respond(source, ControlEvent::Click);
    keepOptionTabStop();
    m_focus.give();
}

void WindowSession::change(ControlId source)
{
    m_form.respond(source, ControlEvent::Change);
}

void WindowSession::keepOptionTabStop()
{
    const bool imperial = m_form.unitMode() == UnitMode::Imperial;
    m_controls.optImperial.setTabStop(imperial);
    m_controls.optMetric.setTabStop(!imperial);
}

} // namespace runby
