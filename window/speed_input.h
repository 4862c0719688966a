#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace runby {

// What a speed field holds after an edit, and where the caret stands in it. Texts are UTF-16, as
// every window toolkit keeps them.
struct FieldText
{
    std::u16string text;
    std::size_t cursor = 0;

    friend bool operator==(const FieldText &, const FieldText &) = default;
};

// Typed or pasted text as a speed field takes it. Characters that a person cannot see, or that
// look like a blank but end the number, would make the field show one number while the
// calculation reads another: control characters other than tab and line feed, format characters
// (zero-width spaces and joiners, the byte-order mark, direction marks) and unpaired surrogates
// are dropped; space, line and paragraph separators (no-break space, thin space, ideographic
// space...) become a plain blank, which the calculation skips like the designed blanks.
//   u"1\u200B50" -> u"150"     u"1\u00A0500" -> u"1 500"     u"1\x01" u"5" -> u"15"
std::u16string cleanTypedText(std::u16string_view text);

// The longest start of text of at most limit UTF-16 units that does not split a surrogate pair.
//   (u"12345678\U0001F600", 9) -> u"12345678"
std::u16string_view cutToLength(std::u16string_view text, std::size_t limit);

// A speed field of limit characters after the user typed, pasted or dropped text into it, given
// the text before the edit, the text the toolkit made of it and the caret just past what was
// inserted. The inserted text is cleaned, and what does not fit within the limit is refused, as
// it would be if the field had never taken it. Gives nothing when the edit changes nothing.
std::optional<FieldText> acceptSpeedEdit(
    std::u16string_view before, std::u16string_view after, std::size_t cursor, std::size_t limit);

// A text field's text as every window keeps it beside its toolkit's own: the text last shown,
// which decides whether the field changed, what a text set by the calculator keeps within the
// field's limit, and what an edit by the user leaves of it.
class FieldModel
{
public:
    explicit FieldModel(std::size_t limit) : m_limit(limit) { }

    // A text that the calculator sets, as the field shows it: its start within the limit.
    std::u16string_view fitted(std::u16string_view text) const
    {
        return cutToLength(text, m_limit);
    }
    // The user's edit as the field takes it, given what the toolkit made of the text shown and
    // where the caret stands; nothing where the edit changes nothing.
    std::optional<FieldText> edited(std::u16string_view after, std::size_t cursor) const
    {
        return acceptSpeedEdit(m_shown, after, cursor, m_limit);
    }
    // The field shows this text now: whether it differs from the text shown before, as only a
    // text that differs raises the field's change.
    bool show(std::u16string_view text);
    const std::u16string &shown() const { return m_shown; }

private:
    std::size_t m_limit;
    std::u16string m_shown;
};

} // namespace runby
