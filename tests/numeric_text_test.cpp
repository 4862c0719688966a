#include "numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace runby;

namespace {

struct ParseCase
{
    std::string text;
    double expected;
};

TEST(ParseLeadingNumber, ReadsTheLeadingNumberAndIgnoresTheRest)
{
    const ParseCase cases[] = {
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {"  12", 12},
        {"\t\n12", 12},
        {"1 2", 12},
        {"1\t2.\n5", 12.5},
        {"12abc", 12},
        {"1,5", 1},
        {"1.2.3", 1.2},
        {"-3", -3},
        {"- 3", -3},
        {"+7", 7},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"+", 0},
        {"1e2", 100},
        {"1E2", 100},
        {"1e+2", 100},
        {"2.5e-1", 0.25},
        {"1e", 1},
        {"1e+", 1},
        {"1e-x", 1},
        {"e5", 0},
        {"1e1e1", 10},
        {"1e-400", 0},
        {"0.0000001e-400", 0},
        {"0e99999", 0},
        {"inf", 0},
        {"Infinity", 0},
        {"nan", 0},
        {"0x10", 0},
        {"0x1p3", 0},
        {"1d2", 1},
        {"\xef\xbc\x91", 0}, // a full-width digit one
        {"150\xc2\xa0", 150},
        {"1e-310", 1e-310},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE("text: \"" + text + "\"");
        EXPECT_EQ(parseLeadingNumber(text), expected);
    }
}

TEST(ParseLeadingNumber, ReadsTypedConstantsAsTheNearestDouble)
{
    EXPECT_EQ(parseLeadingNumber("100.00001"), 100.00001);
    EXPECT_EQ(parseLeadingNumber("199.99999"), 199.99999);
    EXPECT_EQ(parseLeadingNumber(".49999999"), 0.49999999);
    EXPECT_EQ(parseLeadingNumber(".99999999"), 0.99999999);
    EXPECT_EQ(parseLeadingNumber("1e-8"), 0.00000001);
    EXPECT_EQ(parseLeadingNumber("0.1"), 0.1);
    EXPECT_EQ(parseLeadingNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(ParseLeadingNumber, ReadsHexadecimalAndOctalIntegers)
{
    const ParseCase cases[] = {
        {"&H10", 16},
        {"&h10", 16},
        {"&Hff", 255},
        {"&H7FFF", 32767},
        {"&H8000", -32768},
        {"&HFFFF", -1},
        {"&H10000", 65536},
        {"&H7FFFFFFF", 2147483647},
        {"&HFFFFFFFF", -1},
        {"&H0000FFFF", -1},
        {"&H1G", 1},
        {"&H", 0},
        {"& H 1 0", 16},
        {"&O17", 15},
        {"&o17", 15},
        {"&O177777", -1},
        {"&O200000", 65536},
        {"&O37777777777", -1},
        {"&O78", 7},
        {"&X10", 0},
        {"&", 0},
        {"-&H10", 0},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE("text: \"" + text + "\"");
        EXPECT_EQ(parseLeadingNumber(text), expected);
    }
}

TEST(ParseLeadingNumber, ReportsNumbersBeyondTheDoubleRangeAsOverflow)
{
    for (const char *text :
        {"1e400", "-1e400", "1.8e308", "1 e 4 0 0", "99999e99999999999999999999", "&H100000000",
            "&O40000000000", "&HFFFFFFFFFFFFFFFFFFFF1", "1E9223372036854775809"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(parseLeadingNumber(text), NumericOverflow);
    }
    EXPECT_THROW(parseLeadingNumber(std::string(400, '9')), NumericOverflow);
    EXPECT_EQ(parseLeadingNumber("0." + std::string(400, '0') + "1"), 0);
    // Leading zeros after the point shift the exponent down, not up, whatever their count.
    EXPECT_EQ(parseLeadingNumber("0." + std::string(324, '0') + "1e1"), 0);
    EXPECT_THROW(parseLeadingNumber("0.1" + std::string(400, '0') + "e310"), NumericOverflow);
    // Digits running past a million characters move the order of magnitude as far.
    EXPECT_THROW(
        parseLeadingNumber("." + std::string(999'999, '0') + "1e1000310"), NumericOverflow);
    EXPECT_EQ(parseLeadingNumber("1" + std::string(1'000'001, '0') + "e-1000330"), 0);
    EXPECT_EQ(parseLeadingNumber("1" + std::string(1'000'001, '0') + "e-1000301"), 1e-300);
}

TEST(FormatInteger, WritesPlainDigits)
{
    EXPECT_EQ(formatInteger(3), "3");
    EXPECT_EQ(formatInteger(150), "150");
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(-32768), "-32768");
}

TEST(FormatReal, RoundsToFifteenDigitsAndDropsTrailingZeros)
{
    EXPECT_EQ(formatReal(0.762), "0.762");
    EXPECT_EQ(formatReal(4.5), "4.5");
    EXPECT_EQ(formatReal(150), "150");
    EXPECT_EQ(formatReal(150.0), "150");
    EXPECT_EQ(formatReal(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatReal(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(formatReal(76.19999999999999), "76.2");
    EXPECT_EQ(formatReal(3 * 25.4), "76.2");
    EXPECT_EQ(formatReal(6 * 25.4), "152.4");
    EXPECT_EQ(formatReal(0), "0");
    EXPECT_EQ(formatReal(-0.0), "0");
    EXPECT_EQ(formatReal(-0.254), "-0.254");
    EXPECT_EQ(formatReal(-1234.5), "-1234.5");
    EXPECT_EQ(formatReal(100), "100");
    EXPECT_EQ(formatReal(1e14), "100000000000000");
}

TEST(FormatReal, SwitchesToExponentNotationOutsidePlainRange)
{
    EXPECT_EQ(formatReal(0.0001), "0.0001");
    EXPECT_EQ(formatReal(0.00012345), "0.00012345");
    EXPECT_EQ(formatReal(0.00009999), "9.999E-05");
    EXPECT_EQ(formatReal(5.08e-11), "5.08E-11");
    EXPECT_EQ(formatReal(999999999999999), "999999999999999");
    EXPECT_EQ(formatReal(999999999999999.9), "1E+15");
    EXPECT_EQ(formatReal(1e15), "1E+15");
    EXPECT_EQ(formatReal(1.96850393700788e20), "1.96850393700788E+20");
    EXPECT_EQ(formatReal(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(formatReal(1.7976931348623157e308), "1.79769313486232E+308");
    EXPECT_EQ(formatReal(5e-324), "4.94065645841247E-324");
}

TEST(FormatReal, RefusesValuesThatAreNotFinite)
{
    EXPECT_THROW(formatReal(std::numeric_limits<double>::infinity()), NumericOverflow);
    EXPECT_THROW(formatReal(-std::numeric_limits<double>::infinity()), NumericOverflow);
    EXPECT_THROW(formatReal(std::numeric_limits<double>::quiet_NaN()), NumericOverflow);
}

TEST(ParseReal, ReadsBackWhatFormatRealWrites)
{
    for (const double value :
        {0.762, 4.5, 150.0, 1.0 / 3, 76.19999999999999, 5.08e-11, 1.96850393700788e20, -0.254,
            0.0001, 9.999e-5, 123456789012345.0, 1e15, 5e-324, 3.0000003000000003}) {
        const std::string text = formatReal(value);
        SCOPED_TRACE(text);
        EXPECT_EQ(formatReal(parseReal(text)), text);
        EXPECT_NEAR(parseReal(text), value, std::abs(value) * 1e-14);
    }
    EXPECT_EQ(parseReal("3"), 3);
    EXPECT_EQ(parseReal("-32768"), -32768);
    EXPECT_EQ(parseReal("4.5"), 4.5);
    EXPECT_EQ(parseReal("5.08E-11"), 5.08e-11);
}

TEST(ParseReal, RefusesTextThatIsNotAWholeNumber)
{
    for (const char *text : {"", " 4.5", "4.5 ", "4.5x", "abc", "-", ".", "+4", "1e", "1E+", "inf",
             "nan", "-inf", "0x10", "&H10", "1,5", "4,5"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(parseReal(text), TypeMismatch);
    }
    EXPECT_THROW(parseReal("1E+400"), NumericOverflow);
    // The largest doubles round up past the double range when written with 15 digits.
    EXPECT_THROW(parseReal(formatReal(1.7976931348623157e308)), NumericOverflow);
}

TEST(FitNumberText, KeepsShortTextsAndCutsPlainNumbersWhoseIntegerPartFits)
{
    EXPECT_EQ(fitNumberText("0.762", 9), "0.762");
    EXPECT_EQ(fitNumberText("393.70078", 9), "393.70078");
    EXPECT_EQ(fitNumberText("5.08E-11", 9), "5.08E-11");
    EXPECT_EQ(fitNumberText("147.637795275591", 9), "147.63779");
    EXPECT_EQ(fitNumberText("0.5080000508", 9), "0.5080000");
    EXPECT_EQ(fitNumberText("0.000123456789", 9), "0.0001234");
    EXPECT_EQ(fitNumberText("123456789.5", 9), "123456789");
}

TEST(FitNumberText, WritesExponentNotationWhereACutWouldChangeTheMagnitude)
{
    EXPECT_EQ(fitNumberText("1.96850393700788E-06", 9), "1.968E-06");
    EXPECT_EQ(fitNumberText("196850393503.938", 9), "1.968E+11");
    EXPECT_EQ(fitNumberText("1234567890", 9), "1.234E+09");
    EXPECT_EQ(fitNumberText("1000000000.5", 9), "1E+09");
    EXPECT_EQ(fitNumberText("1.79769313486232E+308", 9), "1.79E+308");
    EXPECT_EQ(fitNumberText("-1.96850393700788E-06", 9), "-1.96E-06");
    EXPECT_EQ(fitNumberText("1.96850393700788E+20", 6), "1E+20");
    EXPECT_EQ(fitNumberText("1.96850393700788E+20", 7), "1.9E+20");
    EXPECT_EQ(fitNumberText("2.9877700736791E-310", 7), "2E-310");
}

} // namespace
