#include "web_window.h"

#include "calculator_form.h"
#include "keyboard_policy.h"
#include "layout.h"
#include "web_controls.h"
#include "web_page.h"
#include "window_session.h"

#include <cstdlib>
#include <optional>
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

} // namespace

// The page's window: the calculator over the page's controls, and the keyboard policy carried out
// on them. The page holds it for as long as it shows.
class WebWindow final : public KeyTarget
{
public:
    void create();
    // An event the page sent: an edit settles in its field first, which raises the change.
    void handle(ControlId source, ControlEvent event);

    void press(ControlId button) override { js_click(text(nameOf(button)).c_str()); }
    void select(ControlId option) override { press(option); }
    void openMenu(ControlId /*menu*/) override { js_open_menu(); }
    void closeMenu() override { js_close_menu(); }
    // Clicked, the item closes its menu first.
    void choose(ControlId item) override { press(item); }

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
    WindowSession m_session{{m_imperialSpeed, m_metricSpeed, m_runbyInches, m_runbyMillimeters,
                                m_imperial, m_metric, m_messageBox, m_announcer},
        m_focus};
};

void WebWindow::create()
{
    js_wire_page(this, text(nameOf(ControlId::mnuHelp)).c_str());
    for (const ControlLayout &layout : kControls)
        js_name_control(text(layout.name).c_str(), static_cast<int>(indexOf(layout.id)));
    wireEvents();
    m_session.load();
    // What was typed before the calculator was ready goes through the field's rules now.
    for (WebTextBox *field : {&m_imperialSpeed, &m_metricSpeed})
        if (js_value_length(text(nameOf(field->id())).c_str()) > 0)
            field->edited();
    m_session.focusFirstControl();
}

void WebWindow::wireEvents()
{
    for (const EventBinding &binding : kEventBindings) {
        js_wire_event(text(nameOf(binding.source)).c_str(), domEventOf(binding.event),
            static_cast<int>(indexOf(binding.source)), static_cast<int>(binding.event));
        if (binding.event == ControlEvent::Change)
            textBoxOf(binding.source)->changed = [this, binding] {
                m_session.change(binding.source);
            };
    }
}

void WebWindow::handle(ControlId source, ControlEvent event)
{
    if (event != ControlEvent::Change) {
        m_session.click(source);
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

void startWebWindow()
{
    // The calculator speaks the language that the page was written in.
    char *language = js_page_language();
    const std::string languages[] = {language};
    std::free(language);
    speak(catalogueFor(languages));
    // Never freed: the page holds the window until it is closed.
    auto *window = new WebWindow; // NOLINT(cppcoreguidelines-owning-memory)
    window->create();
    js_mark_ready();
}

} // namespace runby

namespace {

// A control's number as the page gives it back, if it is one.
std::optional<runby::ControlId> controlOfNumber(int number)
{
    if (number < 0 || number >= static_cast<int>(runby::kControlCount))
        return std::nullopt;
    return static_cast<runby::ControlId>(number);
}

} // namespace

// A key of the page, by its keyCode, with the number of the control that has the focus (-1 for
// none), as the keyboard policy answers it. Gives whether the key was taken.
extern "C" bool runby_key(
    runby::WebWindow *window, unsigned keyCode, bool alt, bool ctrl, bool shift, int focus)
{
    return runby::followKeyboardPolicy(runby::keyPressOf(keyCode, alt, ctrl, shift),
        controlOfNumber(focus).value_or(runby::ControlId::frmRunby), *window);
}

// An event of the page, as the numbers that js_wire_event gave it for the control and the event.
extern "C" void runby_event(runby::WebWindow *window, int control, int event)
{
    using runby::ControlEvent;
    const std::optional<runby::ControlId> source = controlOfNumber(control);
    if (source
        && (event == static_cast<int>(ControlEvent::Click)
            || event == static_cast<int>(ControlEvent::Change)))
        window->handle(*source, static_cast<ControlEvent>(event));
}
