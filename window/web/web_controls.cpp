#include "web_controls.h"

#include "speed_input.h"
#include "web_page.h"

#include <cstdlib>

namespace runby {

WebTextBox::WebTextBox(ControlId id, std::size_t limit, DeferredFocus &focus)
    : m_id(id), m_name(nameOf(id)), m_focus(focus), m_model(limit)
{
}

std::string WebTextBox::text() const
{
    char *value = js_utf8_value(m_name.c_str());
    std::string text(value);
    std::free(value);
    return text;
}

void WebTextBox::setText(std::string_view text)
{
    js_set_utf8_value(m_name.c_str(), std::string(text).c_str());
    settle(std::nullopt);
}

void WebTextBox::setBackColor(Rgb colour)
{
    js_set_style(m_name.c_str(), "--back", cssColour(colour).c_str());
}

void WebTextBox::setLocked(bool locked)
{
    js_set_read_only(m_name.c_str(), locked);
}

void WebTextBox::setTabStop(bool tabStop)
{
    js_set_tab_index(m_name.c_str(), tabStop ? pageTabIndexOf(layoutOf(m_id)) : -1);
}

void WebTextBox::setFocus()
{
    m_focus.request([name = m_name] { js_focus(name.c_str()); });
}

void WebTextBox::edited()
{
    settle(js_caret(m_name.c_str()));
}

void WebTextBox::settle(std::optional<int> caret)
{
    std::u16string value(static_cast<std::size_t>(js_value_length(m_name.c_str())), u'\0');
    js_read_value(m_name.c_str(), value.data(), static_cast<int>(value.size()));
    const auto cursor = static_cast<std::size_t>(caret.value_or(static_cast<int>(value.size())));
    const std::optional<FieldText> accepted = m_model.edited(value, cursor);
    if (!accepted) {
        const std::u16string &shown = m_model.shown();
        if (value != shown)
            js_write_value(m_name.c_str(), shown.c_str(), static_cast<int>(shown.size()));
        return;
    }
    js_write_value(m_name.c_str(), accepted->text.c_str(), static_cast<int>(accepted->cursor));
    if (m_model.show(accepted->text) && changed)
        changed();
}

void WebOptionButton::setValue(bool selected)
{
    js_set_checked(m_name.c_str(), selected);
}

void WebOptionButton::setForeColor(Rgb colour)
{
    js_set_style(m_name.c_str(), "--fore", cssColour(colour).c_str());
}

void WebOptionButton::setTabStop(bool tabStop)
{
    js_set_tab_index(m_name.c_str(), tabStop ? pageTabIndexOf(layoutOf(m_id)) : -1);
}

void WebMessageBox::show(std::string_view title, std::string_view text)
{
    // A <pre> breaks lines at LF alone.
    std::string lines;
    for (const char c : text)
        if (c != '\r')
            lines += c;
    js_show_message(std::string(title).c_str(), lines.c_str());
}

void WebAnnouncer::announce(std::string_view sentence)
{
    js_announce(std::string(sentence).c_str());
}

} // namespace runby
