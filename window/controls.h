#pragma once

#include <string>
#include <string_view>

namespace runby {

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlack{0, 0, 0};

// A single-line text field. Setting a text that differs from the current one raises the field's
// change event at once, before setText returns; a field with a character limit keeps only the
// first that many characters of the text it is given.
class TextBox
{
public:
    virtual ~TextBox() = default;
    virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;
    virtual void setBackColor(Rgb color) = 0;
    // A locked field is read-only for the user.
    virtual void setLocked(bool locked) = 0;
    // Whether Tab stops at the field.
    virtual void setTabStop(bool tabStop) = 0;
    virtual void setFocus() = 0;
};

class OptionButton
{
public:
    virtual ~OptionButton() = default;
    virtual void setValue(bool selected) = 0;
    // The colour of the caption.
    virtual void setForeColor(Rgb color) = 0;
    // Whether Tab stops at the option.
    virtual void setTabStop(bool tabStop) = 0;
};

// A modal message with a single OK button and no icon; show returns once the user closes it.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void show(std::string_view title, std::string_view text) = 0;
};

// Tells assistive technology a sentence, as a screen reader speaks it, without moving the focus
// and without changing what the window shows.
class Announcer
{
public:
    virtual ~Announcer() = default;
    virtual void announce(std::string_view sentence) = 0;
};

} // namespace runby
