#include "numeric_text.h"

#include "double_text.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>

namespace runby {

namespace {

// Plain notation from 1E-4 up to below 1E15; exponent notation outside.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 14;
constexpr int kMinimumExponentDigits = 2;
// Powers of ten this far beyond the digits of a number put it outside the double range, which
// spans fewer than 700 of them, whatever the digits are.
constexpr long long kExponentMarginBeyondDigits = 1'000;
constexpr std::uint64_t kLargest16BitValue = 0xFFFF;
constexpr std::uint64_t kLargest32BitValue = 0xFFFF'FFFF;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSkippedBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// Blanks, tabs and line feeds may stand anywhere in a typed number: "1 2" reads as 12.
std::string withoutBlanks(std::string_view text)
{
    std::string compact;
    compact.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(compact),
        [](char c) { return !isSkippedBlank(c); });
    return compact;
}

// A decimal number as readDouble reads it, with the power of ten of its leading nonzero
// digit, which tells an out-of-range number that is too large from one that is too small.
struct DecimalNumber
{
    std::string chars;
    long long order = 0;
};

// Reads [sign] digits [. digits] [E [sign] digits] from the start of text into number. An
// exponent letter that no digit follows is not part of the number. Gives the count of characters
// read, 0 when the text does not begin with a number.
std::size_t scanDecimal(std::string_view text, DecimalNumber &number)
{
    std::size_t pos = 0;
    const auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    if (at(pos) == '+' || at(pos) == '-') {
        if (at(pos) == '-')
            number.chars += '-';
        ++pos;
    }
    long long significantIntegerDigits = 0;
    long long leadingFractionZeros = 0;
    bool anyDigit = false;
    bool nonzeroSeen = false;
    for (; isDigit(at(pos)); ++pos) {
        anyDigit = true;
        nonzeroSeen = nonzeroSeen || at(pos) != '0';
        significantIntegerDigits += nonzeroSeen ? 1 : 0;
        number.chars += at(pos);
    }
    if (at(pos) == '.') {
        number.chars += '.';
        for (++pos; isDigit(at(pos)); ++pos) {
            anyDigit = true;
            leadingFractionZeros += !nonzeroSeen && at(pos) == '0' ? 1 : 0;
            nonzeroSeen = nonzeroSeen || at(pos) != '0';
            number.chars += at(pos);
        }
    }
    if (!anyDigit)
        return 0;

    // The digits shift the order by at most their count; an exponent capped beyond that by a
    // margin wider than the double range keeps the order's side of that range exact for a text of
    // any length, and keeps the arithmetic on exponents of any length in range.
    const auto exponentCap = static_cast<long long>(pos) + kExponentMarginBeyondDigits;
    long long exponent = 0;
    if (at(pos) == 'E' || at(pos) == 'e') {
        std::size_t digitsStart = pos + 1;
        const bool negativeExponent = at(digitsStart) == '-';
        if (at(digitsStart) == '+' || negativeExponent)
            ++digitsStart;
        if (isDigit(at(digitsStart))) {
            number.chars += negativeExponent ? "e-" : "e";
            for (pos = digitsStart; isDigit(at(pos)); ++pos) {
                number.chars += at(pos);
                exponent = std::min(exponent * 10 + (at(pos) - '0'), exponentCap);
            }
            exponent = negativeExponent ? -exponent : exponent;
        }
    }
    number.order = exponent
        + (significantIntegerDigits > 0 ? significantIntegerDigits - 1 : -leadingFractionZeros - 1);
    return pos;
}

// The double nearest to the number; one too small for a double reads as 0.
double toNearestDouble(const DecimalNumber &number)
{
    double value = 0;
    const char *end = number.chars.data() + number.chars.size();
    const auto [ptr, ec] = readDouble(number.chars.data(), end, value);
    assert(ptr == end);
    if (ec == std::errc::result_out_of_range) {
        if (number.order > 0)
            throw NumericOverflow("number too large for a double");
        return 0;
    }
    return value;
}

// "&H..." or "&O..." at the start of text, read up to the first character that is not a digit
// of the radix.
double parseRadixInteger(std::string_view digits, int radix)
{
    std::uint64_t value = 0;
    for (const char c : digits) {
        int digit = 0;
        const auto [ptr, ec] = std::from_chars(&c, &c + 1, digit, radix);
        if (ec != std::errc{})
            break;
        value = value * radix + digit;
        if (value > kLargest32BitValue)
            throw NumericOverflow("integer wider than 32 bits");
    }
    if (value <= kLargest16BitValue)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

int radixOfPrefix(std::string_view text)
{
    if (text.size() < 2 || text[0] != '&')
        return 0;
    switch (text[1]) {
    case 'H':
    case 'h':
        return 16;
    case 'O':
    case 'o':
        return 8;
    default:
        return 0;
    }
}

// A finite nonzero value as its significant digits d1 d2 d3 ..., with d1 standing at
// 10^exponent. The digits are a view into storage that the caller keeps.
struct SignificantDigits
{
    bool negative = false;
    std::string_view digits;
    int exponent = 0;
};

std::string_view withoutTrailingZeros(std::string_view digits)
{
    return digits.substr(0, std::max<std::size_t>(digits.find_last_not_of('0') + 1, 1));
}

// Reads the exponent after the E of a text that to_chars or formatReal wrote: a sign, digits.
int readExponent(std::string_view text)
{
    if (text.front() == '+')
        text.remove_prefix(1);
    int exponent = 0;
    std::from_chars(text.data(), text.data() + text.size(), exponent);
    return exponent;
}

// "-d.ddddddddddddddde-ddd" at the most
using ScientificBuffer = std::array<char, 32>;

SignificantDigits roundToSignificantDigits(double value, ScientificBuffer &buffer)
{
    const auto [end, ec] = writeScientific15(buffer.data(), buffer.data() + buffer.size(), value);
    assert(ec == std::errc{});
    const std::string_view scientific(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const auto exponentPos = scientific.find('e');

    SignificantDigits number;
    number.negative = value < 0;
    // Move the leading digit onto the decimal point so that the digits stand together.
    const std::size_t first = number.negative ? 1 : 0;
    if (exponentPos > first + 1)
        buffer[first + 1] = buffer[first];
    const std::size_t digitsStart = exponentPos > first + 1 ? first + 1 : first;
    number.digits = withoutTrailingZeros(scientific.substr(digitsStart, exponentPos - digitsStart));
    number.exponent = readExponent(scientific.substr(exponentPos + 1));
    return number;
}

std::string plainNotation(const SignificantDigits &number)
{
    std::string text;
    text.reserve(number.digits.size() + 24);
    if (number.negative)
        text += '-';
    if (number.exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-number.exponent - 1), '0');
        text += number.digits;
        return text;
    }
    const auto integerLength = static_cast<std::size_t>(number.exponent) + 1;
    text += number.digits.substr(0, integerLength);
    if (number.digits.size() > integerLength) {
        text += '.';
        text += number.digits.substr(integerLength);
    } else {
        text.append(integerLength - number.digits.size(), '0');
    }
    return text;
}

std::string exponentSuffix(int exponent)
{
    std::array<char, 8> digits{};
    const auto magnitude = exponent < 0 ? -exponent : exponent;
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr;
    const auto length = static_cast<std::size_t>(end - digits.data());
    std::string suffix(exponent < 0 ? "E-" : "E+");
    suffix.append(length < kMinimumExponentDigits ? kMinimumExponentDigits - length : 0, '0');
    return suffix.append(digits.data(), length);
}

std::string exponentNotation(const SignificantDigits &number)
{
    std::string text;
    text.reserve(number.digits.size() + 8);
    if (number.negative)
        text += '-';
    text += number.digits.front();
    if (number.digits.size() > 1) {
        text += '.';
        text += number.digits.substr(1);
    }
    return text + exponentSuffix(number.exponent);
}

// Splits a text written by formatReal into its significant digits, kept in digitStorage, and its
// exponent.
SignificantDigits splitNumberText(std::string_view text, std::string &digitStorage)
{
    SignificantDigits number;
    number.negative = text.front() == '-';
    if (number.negative)
        text.remove_prefix(1);
    const auto exponentPos = text.find('E');
    const auto mantissa = text.substr(0, exponentPos);
    std::copy_if(mantissa.begin(), mantissa.end(), std::back_inserter(digitStorage), isDigit);
    number.digits = digitStorage;
    if (exponentPos != std::string_view::npos) {
        number.exponent = readExponent(text.substr(exponentPos + 1));
        return number;
    }
    // Plain notation: the place of the leading nonzero digit.
    const auto pointPos = mantissa.find('.');
    const auto integerLength = pointPos == std::string_view::npos ? mantissa.size() : pointPos;
    const auto leadingZeros = std::min(number.digits.find_first_not_of('0'), number.digits.size());
    number.digits.remove_prefix(leadingZeros);
    number.exponent = static_cast<int>(integerLength) - 1 - static_cast<int>(leadingZeros);
    return number;
}

} // namespace

double parseLeadingNumber(std::string_view text)
{
    const std::string compact = withoutBlanks(text);
    if (const int radix = radixOfPrefix(compact))
        return parseRadixInteger(std::string_view(compact).substr(2), radix);
    DecimalNumber number;
    if (scanDecimal(compact, number) == 0)
        return 0;
    return toNearestDouble(number);
}

std::string formatInteger(std::int16_t value)
{
    // "-32768" at the most
    std::array<char, 8> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return {digits.data(), end};
}

std::string formatReal(double value)
{
    if (!std::isfinite(value))
        throw NumericOverflow("value is not a finite number");
    if (value == 0)
        return "0";
    ScientificBuffer buffer;
    const SignificantDigits number = roundToSignificantDigits(value, buffer);
    if (number.exponent >= kSmallestPlainExponent && number.exponent <= kLargestPlainExponent)
        return plainNotation(number);
    return exponentNotation(number);
}

double parseReal(std::string_view text)
{
    DecimalNumber number;
    // Only what formatReal and formatInteger write: no plus sign, no leading point, no blanks.
    const bool startsLikeNumber = !text.empty() && (isDigit(text.front()) || text.front() == '-');
    if (!startsLikeNumber || scanDecimal(text, number) != text.size())
        throw TypeMismatch("text is not a number");
    return toNearestDouble(number);
}

std::string fitNumberText(std::string_view text, std::size_t maxLength)
{
    if (text.size() <= maxLength)
        return std::string(text);
    const bool plain = text.find('E') == std::string_view::npos;
    if (plain && std::min(text.find('.'), text.size()) <= maxLength)
        return std::string(text.substr(0, maxLength));

    std::string digitStorage;
    SignificantDigits number = splitNumberText(text, digitStorage);
    const std::size_t fixedLength =
        (number.negative ? 1 : 0) + exponentSuffix(number.exponent).size();
    assert(maxLength > fixedLength);
    const std::size_t mantissaRoom = maxLength - fixedLength;
    // "d" alone, or "d." followed by as many digits as fit
    const std::size_t keptDigits = mantissaRoom >= 3 ? mantissaRoom - 1 : 1;
    number.digits = withoutTrailingZeros(number.digits.substr(0, keptDigits));
    return exponentNotation(number);
}

} // namespace runby
