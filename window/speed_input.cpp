#include "speed_input.h"

#include <algorithm>
#include <array>

namespace runby {

namespace {

struct CodePointRange
{
    char32_t first;
    char32_t last;
};

// Unicode general category Cf (format characters).
constexpr std::array kFormatCharacters{
    CodePointRange{0x00AD, 0x00AD},
    CodePointRange{0x0600, 0x0605},
    CodePointRange{0x061C, 0x061C},
    CodePointRange{0x06DD, 0x06DD},
    CodePointRange{0x070F, 0x070F},
    CodePointRange{0x0890, 0x0891},
    CodePointRange{0x08E2, 0x08E2},
    CodePointRange{0x180E, 0x180E},
    CodePointRange{0x200B, 0x200F},
    CodePointRange{0x202A, 0x202E},
    CodePointRange{0x2060, 0x2064},
    CodePointRange{0x2066, 0x206F},
    CodePointRange{0xFEFF, 0xFEFF},
    CodePointRange{0xFFF9, 0xFFFB},
    CodePointRange{0x110BD, 0x110BD},
    CodePointRange{0x110CD, 0x110CD},
    CodePointRange{0x13430, 0x1343F},
    CodePointRange{0x1BCA0, 0x1BCA3},
    CodePointRange{0x1D173, 0x1D17A},
    CodePointRange{0xE0001, 0xE0001},
    CodePointRange{0xE0020, 0xE007F},
};

// Unicode general categories Zs, Zl and Zp (space, line and paragraph separators).
constexpr std::array kSeparators{
    CodePointRange{0x0020, 0x0020},
    CodePointRange{0x00A0, 0x00A0},
    CodePointRange{0x1680, 0x1680},
    CodePointRange{0x2000, 0x200A},
    CodePointRange{0x2028, 0x2029},
    CodePointRange{0x202F, 0x202F},
    CodePointRange{0x205F, 0x205F},
    CodePointRange{0x3000, 0x3000},
};

template <std::size_t N> bool isIn(const std::array<CodePointRange, N> &ranges, char32_t c)
{
    return std::any_of(ranges.begin(), ranges.end(),
        [c](const CodePointRange &range) { return c >= range.first && c <= range.last; });
}

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Control characters other than the tab and line feed that the calculation skips as blanks.
bool isDroppedControl(char32_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n') || (c >= 0x7F && c <= 0x9F);
}

std::size_t commonPrefixLength(std::u16string_view a, std::u16string_view b)
{
    const auto limit = std::min(a.size(), b.size());
    return static_cast<std::size_t>(
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(limit), b.begin()).first
        - a.begin());
}

} // namespace

std::u16string cleanTypedText(std::u16string_view text)
{
    std::u16string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t c = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            if (!isIn(kFormatCharacters, c))
                clean.append(text.substr(i, 2));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit) || isDroppedControl(unit)
            || isIn(kFormatCharacters, unit)) {
            continue;
        } else {
            clean += isIn(kSeparators, unit) ? u' ' : unit;
        }
    }
    return clean;
}

std::u16string_view cutToLength(std::u16string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    const bool splitsPair = limit > 0 && isHighSurrogate(text[limit - 1]);
    return text.substr(0, splitsPair ? limit - 1 : limit);
}

std::optional<FieldText> acceptSpeedEdit(
    std::u16string_view before, std::u16string_view after, std::size_t cursor, std::size_t limit)
{
    // The text behind the caret is what the edit left of the end of the old text; the text in
    // front of it, past what both share at their start, is what was inserted.
    cursor = std::min(cursor, after.size());
    std::u16string_view suffix = after.substr(cursor);
    std::u16string_view kept = before;
    if (suffix.size() > before.size() || !before.ends_with(suffix)) {
        // Not an insertion before the caret: the text is taken as new.
        suffix = {};
        kept = {};
        cursor = after.size();
    }
    const std::size_t keptEnd = kept.size() - suffix.size();
    const std::size_t prefix =
        commonPrefixLength(kept.substr(0, keptEnd), after.substr(0, std::min(cursor, keptEnd)));
    const std::size_t keptLength = prefix + suffix.size();
    const std::size_t room = limit > keptLength ? limit - keptLength : 0;
    const std::u16string inserted = cleanTypedText(after.substr(prefix, cursor - prefix));

    FieldText result;
    result.text = kept.substr(0, prefix);
    result.text += cutToLength(inserted, room);
    result.cursor = result.text.size();
    result.text += suffix;
    if (result.text == before)
        return std::nullopt;
    return result;
}

bool FieldModel::show(std::u16string_view text)
{
    if (text == m_shown)
        return false;
    m_shown = text;
    return true;
}

} // namespace runby
