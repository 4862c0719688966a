#pragma once

#include "controls.h"
#include "speed_input.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runby {

// Shared by the fake controls of one form: which control has the focus, and every text written,
// in order, as "name=text".
struct FakeScreen
{
    const void *focus = nullptr;
    std::vector<std::string> writes;
};

// A text field without a window. Like a real one, it keeps only the first maxLength characters
// and raises its change handler at once, and only when the text really changes. Its texts are
// ASCII, one character a UTF-16 unit.
class FakeTextBox : public TextBox
{
public:
    FakeTextBox(FakeScreen &screen, std::string name, std::size_t maxLength = std::string::npos)
        : m_screen(screen), m_name(std::move(name)), m_model(maxLength)
    {
    }

    std::string text() const override { return {m_model.shown().begin(), m_model.shown().end()}; }
    void setText(std::string_view text) override
    {
        const std::u16string wide(text.begin(), text.end());
        const std::u16string_view kept = m_model.fitted(wide);
        m_screen.writes.push_back(m_name + "=" + std::string(kept.begin(), kept.end()));
        if (m_model.show(kept) && changed)
            changed();
    }
    void setBackColor(Rgb color) override { backColor = color; }
    void setLocked(bool value) override { locked = value; }
    void setTabStop(bool value) override { tabStop = value; }
    void setFocus() override { m_screen.focus = this; }

    // What the user does: the field takes the text whole, as typed.
    void type(std::string_view text) { setText(this->text() + std::string(text)); }

    std::function<void()> changed;
    std::optional<Rgb> backColor;
    bool locked = false;
    bool tabStop = true;

private:
    FakeScreen &m_screen;
    std::string m_name;
    FieldModel m_model;
};

class FakeOptionButton : public OptionButton
{
public:
    void setValue(bool selected) override { value = selected; }
    void setForeColor(Rgb color) override { foreColor = color; }
    void setTabStop(bool value) override { tabStop = value; }

    bool value = false;
    std::optional<Rgb> foreColor;
    bool tabStop = true;
};

class FakeMessageBox : public MessageBox
{
public:
    void show(std::string_view title, std::string_view text) override
    {
        shown.push_back({std::string(title), std::string(text)});
    }

    struct Message
    {
        std::string title;
        std::string text;
    };
    std::vector<Message> shown;
};

class FakeAnnouncer : public Announcer
{
public:
    void announce(std::string_view sentence) override { said.emplace_back(sentence); }

    std::vector<std::string> said;
};

} // namespace runby
