#include "speed_input.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace runby;

namespace {

TEST(CleanTypedText, DropsWhatCannotBeSeenAndBlanksWhatLooksBlank)
{
    const struct
    {
        std::u16string typed;
        std::u16string kept;
    } cases[] = {
        {u"150", u"150"},
        {u"1\u200B50", u"150"},
        {u"1\u00A0500", u"1 500"},
        {u"1\u20095\u30000", u"1 5 0"},
        {u"1\u20285\u20290", u"1 5 0"},
        {u"1\x01"
         u"5\x07"
         u"0",
            u"150"},
        {u"\uFEFF150\r", u"150"},
        {u"\u200E1\u200D5\u2066\u00AD0", u"150"},
        {u"1\U000E0041\U0001D17350", u"150"},
        {u"\t1\n5", u"\t1\n5"},
        {u"1\x7F\x85"
         u"5",
            u"15"},
        {std::u16string(u"1") + char16_t(0xD800) + u"5" + char16_t(0xDC00), u"15"},
        // Every visible character stays, whatever the calculation makes of it.
        {u"1,5", u"1,5"},
        {u"\uFF11\uFF15\uFF10", u"\uFF11\uFF15\uFF10"},
        {u"12345678\U0001F600", u"12345678\U0001F600"},
        {u"e\u0301", u"e\u0301"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.typed));
        EXPECT_EQ(cleanTypedText(c.typed), c.kept);
    }
}

TEST(CutToLength, NeverSplitsASurrogatePair)
{
    EXPECT_EQ(cutToLength(u"12345678\U0001F600", 9), u"12345678");
    EXPECT_EQ(cutToLength(u"1234567\U0001F600", 9), u"1234567\U0001F600");
    EXPECT_EQ(cutToLength(u"1234567890", 9), u"123456789");
    EXPECT_EQ(cutToLength(u"\U0001F600", 1), u"");
    EXPECT_EQ(cutToLength(u"150", 9), u"150");
}

struct EditCase
{
    const char *what;
    std::u16string before;
    std::u16string after;
    std::size_t cursor;
    std::optional<FieldText> expected;
};

TEST(AcceptSpeedEdit, CleansWhatWasInsertedAndRefusesWhatDoesNotFit)
{
    const EditCase cases[] = {
        {"typed", u"15", u"150", 3, FieldText{u"150", 3}},
        {"typed in the middle", u"10", u"150", 2, FieldText{u"150", 2}},
        {"pasted with a zero-width space", u"", u"1\u200B50", 4, FieldText{u"150", 3}},
        {"pasted with a no-break space", u"", u"1\u00A0500", 5, FieldText{u"1 500", 5}},
        {"a tenth character typed", u"123456789", u"1234567890", 10, std::nullopt},
        {"a tenth character typed first", u"123456789", u"0123456789", 1, std::nullopt},
        {"a paste cut at the limit", u"", u"1234567890", 10, FieldText{u"123456789", 9}},
        {"a paste cut to the room left", u"12345678", u"1299345678", 4, FieldText{u"129345678", 3}},
        {"a paste of the text's own digits", u"11111111", u"1211111111", 2,
            FieldText{u"111111111", 1}},
        {"zero-width characters take no room", u"", u"12345678\u200B9", 10,
            FieldText{u"123456789", 9}},
        {"an emoji that does not fit whole", u"", u"12345678\U0001F600", 10,
            FieldText{u"12345678", 8}},
        {"only invisible characters pasted", u"15", u"1\u200B5", 2, std::nullopt},
        {"a selection replaced", u"123", u"1x", 2, FieldText{u"1x", 2}},
        {"a selection replaced by what is cut", u"123456789", u"1234\u200B6789", 5,
            FieldText{u"12346789", 4}},
        {"a character deleted", u"150", u"10", 1, FieldText{u"10", 1}},
        {"a text set whole", u"", u"0.762", 5, FieldText{u"0.762", 5}},
        {"a text set whole over another", u"150", u"", 0, FieldText{u"", 0}},
        {"a caret the edit does not explain", u"150", u"2x5\u200B", 1, FieldText{u"2x5", 3}},
        {"the text as it is", u"150", u"150", 3, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(acceptSpeedEdit(c.before, c.after, c.cursor, 9), c.expected);
    }
}

} // namespace
