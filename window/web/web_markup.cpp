#include "web_markup.h"

#include "accessible_outline.h"
#include "calculator_form.h"
#include "controls.h"
#include "layout.h"
#include "numeric_text.h"
#include "web_controls.h"
#include "window_session.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace runby {

namespace {

// What the calculator sets on a control while it loads.
struct LoadedState
{
    std::optional<Rgb> colour;
    bool locked = false;
    std::optional<bool> tabStop;
    bool selected = false;
    // Where the calculator puts the first focus.
    bool focused = false;
};

class RecordingTextBox final : public TextBox
{
public:
    explicit RecordingTextBox(LoadedState &state) : m_state(state) { }

    std::string text() const override { return {}; }
    void setText(std::string_view) override { }
    void setBackColor(Rgb colour) override { m_state.colour = colour; }
    void setLocked(bool locked) override { m_state.locked = locked; }
    void setTabStop(bool tabStop) override { m_state.tabStop = tabStop; }
    void setFocus() override { m_state.focused = true; }

private:
    LoadedState &m_state;
};

class RecordingOptionButton final : public OptionButton
{
public:
    explicit RecordingOptionButton(LoadedState &state) : m_state(state) { }

    void setValue(bool selected) override { m_state.selected = selected; }
    void setForeColor(Rgb colour) override { m_state.colour = colour; }
    void setTabStop(bool tabStop) override { m_state.tabStop = tabStop; }

private:
    LoadedState &m_state;
};

class SilentMessageBox final : public MessageBox
{
public:
    void show(std::string_view, std::string_view) override { }
};

class SilentAnnouncer final : public Announcer
{
public:
    void announce(std::string_view) override { }
};

// Every control's state once the calculator has loaded, by the calculator's own code.
std::array<LoadedState, kClientControlCount> loadedStates()
{
    std::array<LoadedState, kClientControlCount> states{};
    const auto state = [&states](ControlId id) -> LoadedState & { return states.at(indexOf(id)); };
    RecordingTextBox imperialSpeed(state(ControlId::txtImperialSpeed));
    RecordingTextBox metricSpeed(state(ControlId::txtMetricSpeed));
    RecordingTextBox runbyInches(state(ControlId::txtRunbyInches));
    RecordingTextBox runbyMillimeters(state(ControlId::txtRunbyMillimeters));
    RecordingOptionButton imperial(state(ControlId::optImperial));
    RecordingOptionButton metric(state(ControlId::optMetric));
    SilentMessageBox messageBox;
    SilentAnnouncer announcer;
    DeferredFocus focus;
    WindowSession session({imperialSpeed, metricSpeed, runbyInches, runbyMillimeters, imperial,
                              metric, messageBox, announcer},
        focus);
    session.load();
    session.focusFirstControl();
    return states;
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A caption with the letter after its ampersand underlined.
std::string captionMarkup(std::string_view caption)
{
    const std::size_t ampersand = caption.find('&');
    if (ampersand == std::string_view::npos || ampersand + 1 >= caption.size())
        return escaped(caption);
    return escaped(caption.substr(0, ampersand)) + "<u>" + escaped(caption.substr(ampersand + 1, 1))
        + "</u>" + escaped(caption.substr(ampersand + 2));
}

std::string attribute(std::string_view name, std::string_view value)
{
    return " " + std::string(name) + "=\"" + escaped(value) + "\"";
}

std::string pixels(int twips)
{
    return std::to_string(twips / kTwipsPerPixel);
}

// A field with another field before it in its row, which a phone shows below the first.
bool secondFieldOfItsRow(const ControlLayout &layout)
{
    return layout.kind == ControlKind::TextField
        && std::any_of(clientControls().begin(), clientControls().end(),
            [&layout](const ControlLayout &other) {
                return other.kind == ControlKind::TextField && other.top == layout.top
                    && other.left < layout.left;
            });
}

// The box's class, its name for the page's scripts, its tooltip and its place and face.
std::string boxAttributes(const ControlLayout &layout, const LoadedState &state)
{
    const FaceSize face = faceSize(layout.face);
    std::string classes = "control";
    if (face.bold)
        classes += " bold";
    if (layout.id == kCentredLabel)
        classes += " centred";
    if (secondFieldOfItsRow(layout))
        classes += " second";
    std::string style = "--left:" + pixels(layout.left) + ";--top:" + pixels(layout.top)
        + ";--width:" + pixels(layout.width) + ";--height:" + pixels(layout.height)
        + ";--points:" + formatReal(face.points);
    if (layout.kind == ControlKind::Label)
        style += ";--room:" + pixels(roomOf(layout));
    if (state.colour)
        style += std::string(layout.kind == ControlKind::TextField ? ";--back:" : ";--fore:")
            + cssColour(*state.colour);
    std::string out = attribute("class", classes) + attribute("data-name", layout.name);
    if (layout.toolTip != Text::none)
        out += attribute("title", textOf(layout.toolTip));
    return out + attribute("style", style);
}

// The control's name, its place in the Tab order and its access key.
std::string controlAttributes(const ControlLayout &layout, const LoadedState &state)
{
    std::string out = attribute("id", layout.name);
    const bool tabStop = state.tabStop.value_or(true);
    out += attribute("tabindex", std::to_string(tabStop ? pageTabIndexOf(layout) : -1));
    if (const char key = accessKeyOf(textOf(layout.caption)))
        out += attribute("aria-keyshortcuts", keyShortcut("Alt", key));
    return out;
}

std::string controlMarkup(const ControlLayout &layout, const LoadedState &state)
{
    switch (layout.kind) {
    case ControlKind::OptionButton:
        return "<label" + boxAttributes(layout, state) + "><input type=\"radio\" name=\"unit\""
            + controlAttributes(layout, state) + (state.selected ? " checked" : "") + "><span>"
            + captionMarkup(textOf(layout.caption)) + "</span></label>";
    case ControlKind::PushButton:
        // Enter in any field of the page's form clicks its submit button.
        return "<button" + attribute("type", layout.id == kDefaultButton ? "submit" : "button")
            + controlAttributes(layout, state) + boxAttributes(layout, state) + ">"
            + captionMarkup(textOf(layout.caption)) + "</button>";
    case ControlKind::TextField:
        return "<input type=\"text\" autocomplete=\"off\" autocapitalize=\"off\" "
               "autocorrect=\"off\" spellcheck=\"false\" inputmode=\"text\" enterkeyhint=\"go\""
            + attribute("aria-label", textOf(layout.accessibleName))
            + controlAttributes(layout, state) + boxAttributes(layout, state)
            + (state.locked ? " readonly" : "") + (state.focused ? " autofocus" : "") + ">";
    case ControlKind::Label:
    case ControlKind::Window:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        break;
    }
    return "<span" + attribute("id", layout.name) + boxAttributes(layout, state) + ">"
        + captionMarkup(textOf(layout.caption)) + "</span>";
}

} // namespace

std::string pageTitle()
{
    std::string title;
    for (const char c : captionOf(ControlId::frmRunby))
        if (c != ' ' || (!title.empty() && title.back() != ' '))
            title += c;
    return escaped(title.substr(0, title.find_last_not_of(' ') + 1));
}

std::string frameAttributes()
{
    const ControlLayout &window = layoutOf(ControlId::frmRunby);
    return attribute("id", window.name)
        + attribute(
            "style", "--width:" + pixels(window.width) + ";--height:" + pixels(window.height));
}

std::string menuMarkup()
{
    const ControlLayout &help = layoutOf(ControlId::mnuHelp);
    const ControlLayout &item = layoutOf(ControlId::mnuRunbyInfo);
    return "<button" + attribute("id", help.name)
        + " type=\"button\" aria-haspopup=\"menu\" aria-expanded=\"false\""
        + attribute("aria-keyshortcuts", keyShortcut("Alt", accessKeyOf(textOf(help.caption))))
        + ">" + captionMarkup(textOf(help.caption))
        + "</button>\n<div id=\"helpMenu\" role=\"menu\" hidden><button"
        + attribute("id", item.name) + " type=\"button\" role=\"menuitem\""
        + attribute("aria-keyshortcuts", keyShortcut("Control", item.shortcutKey))
        + "><span class=\"caption\">" + captionMarkup(textOf(item.caption)) + "</span><kbd>Ctrl+"
        + item.shortcutKey + "</kbd></button></div>";
}

std::string pageText(Text text)
{
    return escaped(textOf(text));
}

std::string jsonText(Text text)
{
    std::string json = "\"";
    for (const char c : textOf(text)) {
        if (c == '"' || c == '\\')
            json += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
            json += "\\u00" + std::string{"0123456789abcdef"[c / 16], "0123456789abcdef"[c % 16]};
        else
            json += c;
    }
    return json + "\"";
}

std::string pageSuffixOf(const Catalogue &catalogue)
{
    return &catalogue == &kCatalogues.front() ? "" : "." + std::string(catalogue.language);
}

std::string pagesByLanguage()
{
    std::string pages;
    for (const Catalogue &catalogue : kCatalogues)
        pages += (pages.empty() ? "{" : ", ") + std::string(catalogue.language) + ": \"index"
            + pageSuffixOf(catalogue) + ".html\"";
    return pages + "}";
}

std::string clientAreaMarkup()
{
    const std::array<LoadedState, kClientControlCount> states = loadedStates();
    std::string markup;
    for (const ControlId id : kReadingOrder) {
        if (id == kUnitOptions.front())
            markup += "<div role=\"radiogroup\""
                + attribute("aria-label", textOf(Text::unit_options_name)) + " class=\"group\">";
        markup += controlMarkup(layoutOf(id), states.at(indexOf(id)));
        if (id == kUnitOptions.back())
            markup += "</div>";
        markup += '\n';
    }
    return markup;
}

} // namespace runby
