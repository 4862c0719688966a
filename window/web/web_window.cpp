#include "web_window.h"

#include "calculator_form.h"
#include "layout.h"
#include "runby_info.h"
#include "speed_input.h"

#include <emscripten.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// clang-format off
// The page's side of the controls. Each function finds its element by the design's name.

EM_JS(void, js_create_control,
    (const char *name, int kind, const char *caption, int left, int top, int width, int height,
        double points, int bold, int tabIndex, const char *toolTip, const char *accessibleName),
    {
        const id = UTF8ToString(name);
        const text = UTF8ToString(caption);
        const amp = text.indexOf("&");
        const key = amp >= 0 ? text.charAt(amp + 1) : "";
        const shown = document.createDocumentFragment();
        if (amp >= 0) {
            shown.append(text.slice(0, amp));
            const u = document.createElement("u");
            u.textContent = key;
            shown.append(u, text.slice(amp + 2));
        } else {
            shown.append(text);
        }
        let box;
        let control;
        if (kind == 0) {
            box = document.createElement("label");
            control = document.createElement("input");
            control.type = "radio";
            control.name = "unit";
            const words = document.createElement("span");
            words.append(shown);
            box.append(control, words);
        } else if (kind == 1) {
            box = control = document.createElement("button");
            control.type = id == "cmdCalculate" ? "submit" : "button";
            control.append(shown);
        } else if (kind == 2) {
            box = control = document.createElement("input");
            control.type = "text";
            [["autocomplete", "off"], ["autocapitalize", "off"], ["autocorrect", "off"],
             ["spellcheck", "false"], ["inputmode", "text"], ["enterkeyhint", "go"]]
                .forEach((pair) => control.setAttribute(pair[0], pair[1]));
            control.setAttribute("aria-label", UTF8ToString(accessibleName));
        } else {
            box = control = document.createElement("span");
            box.append(shown);
        }
        control.id = id;
        if (key)
            // The page's own key handler presses the control: the browser's access keys would
            // also focus it, and the key typed next would go to it.
            control.setAttribute("aria-keyshortcuts", "Alt+" + key.toUpperCase());
        if (kind != 3)
            control.tabIndex = tabIndex + 1;
        const tip = UTF8ToString(toolTip);
        if (tip)
            box.title = tip;
        box.classList.add("control");
        box.dataset.name = id;
        [["--left", left], ["--top", top], ["--width", width], ["--height", height],
         ["--points", points]].forEach((pair) => box.style.setProperty(pair[0], pair[1]));
        if (bold)
            box.classList.add("bold");
        document.getElementById("client").append(box);
    });

EM_JS(void, js_append_in_order, (const char *name), {
    const box = document.getElementById(UTF8ToString(name)).closest(".control");
    box.parentElement.append(box);
});

// Marks the moment the calculator can take its first speed, for the start-up benchmark.
EM_JS(void, js_mark_ready, (), { performance.mark("runby-ready"); });

EM_JS(char *, js_utf8_value, (const char *name),
    { return allocateUTF8(document.getElementById(UTF8ToString(name)).value); });

EM_JS(int, js_value_length, (const char *name),
    { return document.getElementById(UTF8ToString(name)).value.length; });

EM_JS(void, js_read_value, (const char *name, char16_t *out, int units),
    { stringToUTF16(document.getElementById(UTF8ToString(name)).value, out, 2 * units + 2); });

EM_JS(int, js_caret, (const char *name), {
    const field = document.getElementById(UTF8ToString(name));
    return field.selectionEnd == null ? field.value.length : field.selectionEnd;
});

EM_JS(void, js_write_value, (const char *name, const char16_t *text, int caret), {
    const field = document.getElementById(UTF8ToString(name));
    field.value = UTF16ToString(text);
    if (document.activeElement == field)
        field.setSelectionRange(caret, caret);
    // A text wider than its field shows whole in the field's tooltip.
    field.title = field.scrollWidth > field.clientWidth ? field.value : "";
});

EM_JS(void, js_set_utf8_value, (const char *name, const char *text),
    { document.getElementById(UTF8ToString(name)).value = UTF8ToString(text); });

EM_JS(void, js_set_style, (const char *name, const char *property, const char *value), {
    const element = document.getElementById(UTF8ToString(name));
    const box = element.closest(".control");
    box.style.setProperty(UTF8ToString(property), UTF8ToString(value));
});

EM_JS(void, js_set_read_only, (const char *name, int readOnly),
    { document.getElementById(UTF8ToString(name)).readOnly = !!readOnly; });

EM_JS(void, js_set_tab_index, (const char *name, int index),
    { document.getElementById(UTF8ToString(name)).tabIndex = index; });

EM_JS(void, js_focus, (const char *name), { document.getElementById(UTF8ToString(name)).focus(); });

EM_JS(void, js_set_checked, (const char *name, int checked),
    { document.getElementById(UTF8ToString(name)).checked = !!checked; });

EM_JS(void, js_show_message, (const char *title, const char *text), {
    const dialog = document.getElementById("runbyInfo");
    dialog.querySelector("h2").textContent = UTF8ToString(title);
    dialog.querySelector("pre").textContent = UTF8ToString(text);
    dialog.returnFocus = document.activeElement;
    dialog.showModal();
});

EM_JS(void, js_set_page, (const char *caption, const char *helpCaption, const char *infoCaption), {
    document.title = UTF8ToString(caption).trim().replace(/ +/g, " ");
    const setCaption = (element, text) =>
    {
        const amp = text.indexOf("&");
        const u = document.createElement("u");
        u.textContent = text.charAt(amp + 1);
        element.replaceChildren(text.slice(0, amp), u, text.slice(amp + 2));
        element.setAttribute("aria-keyshortcuts", "Alt+" + text.charAt(amp + 1).toUpperCase());
    };
    setCaption(document.getElementById("mnuHelp"), UTF8ToString(helpCaption));
    const item = document.getElementById("mnuRunbyInfo");
    setCaption(item.querySelector(".caption"), UTF8ToString(infoCaption));
    item.setAttribute("aria-keyshortcuts", "Control+R");
});

// Events go to the calculator by number: see runby_event.
EM_JS(void, js_wire_events, (), {
    const send = (event) => _runby_event(event);
    const element = (name) => document.getElementById(name);
    element("client").addEventListener(
        "submit", (e) => {
            e.preventDefault();
            send(2);
        });
    element("cmdClear").addEventListener("click", () => send(3));
    element("optImperial").addEventListener("click", () => send(0));
    element("optMetric").addEventListener("click", () => send(1));
    [ "txtImperialSpeed", "txtMetricSpeed" ].forEach((name, field) => {
        element(name).addEventListener(
            "input", (e) => {
                if (!e.isComposing)
                    _runby_edited(field);
            });
    });
    const help = element("mnuHelp");
    const list = element("helpMenu");
    const closeMenu = () =>
    {
        list.hidden = true;
        help.setAttribute("aria-expanded", "false");
    };
    const openMenu = () =>
    {
        list.hidden = false;
        help.setAttribute("aria-expanded", "true");
        element("mnuRunbyInfo").focus();
    };
    help.addEventListener("click", () => (list.hidden ? openMenu() : closeMenu()));
    element("mnuRunbyInfo")
        .addEventListener(
            "click", () => {
                closeMenu();
                send(4);
            });
    const dialog = element("runbyInfo");
    dialog.addEventListener("close", () => dialog.returnFocus && dialog.returnFocus.focus());
    const accessKeys = {i : "optImperial", m : "optMetric", c : "cmdCalculate", l : "cmdClear"};
    document.addEventListener(
        "keydown", (e) => {
            if (dialog.open)
                return;
            const key = e.key.toLowerCase();
            if (e.ctrlKey && !e.altKey && key == "r") {
                e.preventDefault();
                closeMenu();
                send(4);
            } else if (e.altKey && !e.ctrlKey && key == "h") {
                e.preventDefault();
                openMenu();
            } else if (e.altKey && !e.ctrlKey && accessKeys[key]) {
                e.preventDefault();
                closeMenu();
                element(accessKeys[key]).click();
            } else if (e.key == "Escape" && !list.hidden) {
                closeMenu();
                help.focus();
            } else if (e.target.type == "radio" && e.key.startsWith("Arrow")) {
                // With two options every arrow selects the other one.
                e.preventDefault();
                element(e.target.id == "optImperial" ? "optMetric" : "optImperial").click();
            }
        });
});
// clang-format on

namespace runby {

namespace {

enum class Event { ImperialClick, MetricClick, CalculateClick, ClearClick, RunbyInfoClick };

std::string cssColour(Rgb colour)
{
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + ","
        + std::to_string(colour.blue) + ")";
}

// A text field of the page. Setting a field's value from script raises no input event and
// ignores any length limit, so every text, typed or set, is settled here: cleaned, limited, and
// its change raised when it really changed.
class DomTextBox final : public TextBox
{
public:
    DomTextBox(const char *name, std::size_t limit) : m_name(name), m_limit(limit) { }

    std::string text() const override
    {
        char *value = js_utf8_value(m_name);
        std::string text(value);
        std::free(value);
        return text;
    }
    void setText(std::string_view text) override
    {
        js_set_utf8_value(m_name, std::string(text).c_str());
        settle(std::nullopt);
    }
    void setBackColor(Rgb colour) override
    {
        js_set_style(m_name, "--back", cssColour(colour).c_str());
    }
    void setLocked(bool locked) override { js_set_read_only(m_name, locked); }
    void setTabStop(bool tabStop) override
    {
        js_set_tab_index(m_name, tabStop ? control(m_name).tabIndex + 1 : -1);
    }
    void setFocus() override { js_focus(m_name); }

    // The user typed, pasted or dropped text into the field.
    void edited() { settle(js_caret(m_name)); }

    std::function<void()> changed;

private:
    void settle(std::optional<int> caret)
    {
        std::u16string value(static_cast<std::size_t>(js_value_length(m_name)), u'\0');
        js_read_value(m_name, value.data(), static_cast<int>(value.size()));
        const auto cursor =
            static_cast<std::size_t>(caret.value_or(static_cast<int>(value.size())));
        const std::optional<FieldText> accepted = acceptSpeedEdit(m_text, value, cursor, m_limit);
        if (!accepted) {
            if (value != m_text)
                js_write_value(m_name, m_text.c_str(), static_cast<int>(m_text.size()));
            return;
        }
        js_write_value(m_name, accepted->text.c_str(), static_cast<int>(accepted->cursor));
        m_text = accepted->text;
        if (changed)
            changed();
    }

    const char *m_name;
    std::size_t m_limit;
    std::u16string m_text;
};

class DomOption final : public OptionButton
{
public:
    explicit DomOption(const char *name) : m_name(name) { }

    void setValue(bool selected) override { js_set_checked(m_name, selected); }
    void setForeColor(Rgb colour) override
    {
        js_set_style(m_name, "--fore", cssColour(colour).c_str());
    }

private:
    const char *m_name;
};

// The browser cannot wait for a dialog: show opens it and returns.
class DomMessageBox final : public MessageBox
{
public:
    void show(std::string_view title, std::string_view text) override
    {
        // A <pre> breaks lines at LF alone.
        std::string lines;
        for (const char c : text)
            if (c != '\r')
                lines += c;
        js_show_message(std::string(title).c_str(), lines.c_str());
    }
};

struct WebWindow
{
    DomTextBox imperialSpeed{"txtImperialSpeed", kSpeedFieldLength};
    DomTextBox metricSpeed{"txtMetricSpeed", kSpeedFieldLength};
    DomTextBox runbyInches{"txtRunbyInches", std::string::npos};
    DomTextBox runbyMillimeters{"txtRunbyMillimeters", std::string::npos};
    DomOption imperial{"optImperial"};
    DomOption metric{"optMetric"};
    DomMessageBox messageBox;
    CalculatorForm form{
        {imperialSpeed, metricSpeed, runbyInches, runbyMillimeters, imperial, metric, messageBox}};
};

std::unique_ptr<WebWindow> g_window;

} // namespace

void startWebWindow()
{
    for (const ControlLayout &layout : kControls) {
        const FaceSize size = faceSize(layout.face);
        js_create_control(std::string(layout.name).c_str(), static_cast<int>(layout.kind),
            std::string(layout.caption).c_str(), layout.left / kTwipsPerPixel,
            layout.top / kTwipsPerPixel, layout.width / kTwipsPerPixel,
            layout.height / kTwipsPerPixel, size.points, size.bold, layout.tabIndex,
            std::string(layout.toolTip).c_str(), std::string(layout.accessibleName).c_str());
    }
    // Screen readers and the phone layout follow the page's order: the order of reading.
    for (const std::string_view name : kReadingOrder)
        js_append_in_order(std::string(name).c_str());
    js_set_page(std::string(kWindowCaption).c_str(), std::string(kHelpMenuCaption).c_str(),
        std::string(kRunbyInfoCaption).c_str());
    js_wire_events();
    g_window = std::make_unique<WebWindow>();
    WebWindow &w = *g_window;
    w.imperialSpeed.changed = [&w] { w.form.txtImperialSpeed_Change(); };
    w.metricSpeed.changed = [&w] { w.form.txtMetricSpeed_Change(); };
    w.imperial.setValue(true);
    makeDisplayOnly(w.runbyInches);
    makeDisplayOnly(w.runbyMillimeters);
    w.form.Form_Load();
    w.imperialSpeed.setFocus();
    js_mark_ready();
}

} // namespace runby

using runby::Event;

// The page's events, one number each, sent by the page's script.
extern "C" EMSCRIPTEN_KEEPALIVE void runby_event(int event)
{
    runby::CalculatorForm &form = runby::g_window->form;
    switch (static_cast<Event>(event)) {
    case Event::ImperialClick:
        form.optImperial_Click();
        break;
    case Event::MetricClick:
        form.optMetric_Click();
        break;
    case Event::CalculateClick:
        form.cmdCalculate_Click();
        break;
    case Event::ClearClick:
        form.cmdClear_Click();
        break;
    case Event::RunbyInfoClick:
        form.mnuRunbyInfo_Click();
        break;
    }
}

// The user edited a speed field: 0 the imperial one, 1 the metric one.
extern "C" EMSCRIPTEN_KEEPALIVE void runby_edited(int field)
{
    (field == 0 ? runby::g_window->imperialSpeed : runby::g_window->metricSpeed).edited();
}
