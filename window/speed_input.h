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

} // namespace runby
