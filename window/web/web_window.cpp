#include "web_window.h"

#include "calculator_form.h"
#include "keyboard_policy.h"
#include "layout.h"
#include "web_controls.h"
#include "web_page.h"

#include <memory>
#include <string>

namespace runby {

namespace {

// The DOM event that carries each of the calculator's events.
const char *domEventOf(ControlEvent event)
{
    return event == ControlEvent::Change ? "input" : "click";
}

std::string text(std::string_view view)
{
    return std::string(view);
}

class WebWindow
{
public:
    void create();
    // An event the page sent: an edit settles in its field first, which raises the change.
    void handle(ControlId source, ControlEvent event);

private:
    WebTextBox *textBoxOf(ControlId id);
    void wireEvents();

    DeferredFocus m_focus;
    WebTextBox m_imperialSpeed{ControlId::txtImperialSpeed, kSpeedFieldLength, m_focus};
    WebTextBox m_metricSpeed{ControlId::txtMetricSpeed, kSpeedFieldLength, m_focus};
    WebTextBox m_runbyInches{ControlId::txtRunbyInches, std::string::npos, m_focus};
    WebTextBox m_runbyMillimeters{ControlId::txtRunbyMillimeters, std::string::npos, m_focus};
    WebOptionButton m_imperial{ControlId::optImperial};
    WebOptionButton m_metric{ControlId::optMetric};
    WebMessageBox m_messageBox;
    WebAnnouncer m_announcer;
    CalculatorForm m_form{{m_imperialSpeed, m_metricSpeed, m_runbyInches, m_runbyMillimeters,
        m_imperial, m_metric, m_messageBox, m_announcer}};
};

void WebWindow::create()
{
    js_wire_page(text(nameOf(ControlId::mnuHelp)).c_str());
    wireEvents();
    m_form.setDesignTimeProperties();
    m_form.Form_Load();
    // What was typed before the calculator was ready goes through the field's rules now.
    for (WebTextBox *field : {&m_imperialSpeed, &m_metricSpeed})
        if (js_value_length(text(nameOf(field->id())).c_str()) > 0)
            field->edited();
    m_imperialSpeed.setFocus();
    m_focus.give();
}

void WebWindow::wireEvents()
{
    for (const EventBinding &binding : kEventBindings) {
        js_wire_event(text(nameOf(binding.source)).c_str(), domEventOf(binding.event),
            static_cast<int>(indexOf(binding.source)), static_cast<int>(binding.event));
        if (binding.event == ControlEvent::Change)
            textBoxOf(binding.source)->changed = [this, binding] {
                m_form.respond(binding.source, binding.event);
            };
    }
}

void WebWindow::handle(ControlId source, ControlEvent event)
{
    if (event != ControlEvent::Change) {
        m_form.respond(source, event);
        m_focus.give();
        return;
    }
    if (WebTextBox *field = textBoxOf(source))
        field->edited();
}

WebTextBox *WebWindow::textBoxOf(ControlId id)
{
    for (WebTextBox *field :
        {&m_imperialSpeed, &m_metricSpeed, &m_runbyInches, &m_runbyMillimeters})
        if (field->id() == id)
            return field;
    return nullptr;
}

std::unique_ptr<WebWindow> g_window;

} // namespace

void startWebWindow()
{
    g_window = std::make_unique<WebWindow>();
    g_window->create();
    js_mark_ready();
}

} // namespace runby

// A key of the page, by its keyCode, with the control that has the focus (its number as
// js_wire_event gave it, -1 for none), as the keyboard policy answers it. Gives whether the key
// was taken.
extern "C" bool runby_key(unsigned keyCode, bool alt, bool ctrl, bool shift, int focus)
{
    using runby::ControlId;
    using Kind = runby::KeyAction::Kind;
    const bool known = focus >= 0 && focus < static_cast<int>(runby::kControlCount);
    const runby::KeyAction action = runby::keyAction(runby::keyPressOf(keyCode, alt, ctrl, shift),
        known ? static_cast<ControlId>(focus) : ControlId::frmRunby);
    switch (action.kind) {
    case Kind::None:
        return false;
    case Kind::Press:
    case Kind::Select:
    case Kind::Choose:
        js_click(std::string(runby::nameOf(action.target)).c_str());
        return true;
    case Kind::OpenMenu:
        js_open_menu();
        return true;
    }
    return false;
}

// An event of the page, as the numbers that js_wire_event gave it for the control and the event.
extern "C" void runby_event(int control, int event)
{
    using runby::ControlEvent;
    using runby::ControlId;
    const bool known = control >= 0
        && control <= static_cast<int>(runby::indexOf(ControlId::mnuRunbyInfo))
        && (event == static_cast<int>(ControlEvent::Click)
            || event == static_cast<int>(ControlEvent::Change));
    if (known && runby::g_window)
        runby::g_window->handle(static_cast<ControlId>(control), static_cast<ControlEvent>(event));
}
