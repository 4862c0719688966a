#pragma once

#include "controls.h"
#include "deferred_focus.h"
#include "layout.h"
#include "speed_input.h"

#include <cctype>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace runby {

// The place of a control in the page's Tab order: after its design's tab index, since 0 would
// leave it in the document's order.
constexpr int pageTabIndexOf(const ControlLayout &layout)
{
    return layout.tabIndex + 1;
}

// A key with a modifier as the aria-keyshortcuts attribute writes it: "Alt+I", "Control+R";
// nothing for no key.
inline std::string keyShortcut(std::string_view modifier, char key)
{
    if (!key)
        return {};
    return std::string(modifier) + "+"
        + static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
}

// A colour as CSS writes it: "rgb(255,0,0)".
inline std::string cssColour(Rgb colour)
{
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + ","
        + std::to_string(colour.blue) + ")";
}

// A text field of the page. Setting a field's value from script raises no input event and
// ignores any length limit, so every text, typed or set, is settled here: cleaned, limited, and
// its change raised when it really changed.
class WebTextBox final : public TextBox
{
public:
    WebTextBox(ControlId id, std::size_t limit, DeferredFocus &focus);

    std::string text() const override;
    void setText(std::string_view text) override;
    void setBackColor(Rgb colour) override;
    void setLocked(bool locked) override;
    void setTabStop(bool tabStop) override;
    void setFocus() override;

    // The user typed, pasted or dropped text into the field.
    void edited();
    ControlId id() const { return m_id; }

    std::function<void()> changed;

private:
    void settle(std::optional<int> caret);

    ControlId m_id;
    std::string m_name;
    DeferredFocus &m_focus;
    FieldModel m_model;
};

class WebOptionButton final : public OptionButton
{
public:
    explicit WebOptionButton(ControlId id) : m_id(id), m_name(nameOf(id)) { }

    void setValue(bool selected) override;
    void setForeColor(Rgb colour) override;
    void setTabStop(bool tabStop) override;

private:
    ControlId m_id;
    std::string m_name;
};

// The browser cannot wait for a dialog: show opens it and returns.
class WebMessageBox final : public MessageBox
{
public:
    void show(std::string_view title, std::string_view text) override;
};

// The page's status region, which screen readers speak without the focus moving.
class WebAnnouncer final : public Announcer
{
public:
    void announce(std::string_view sentence) override;
};

} // namespace runby
