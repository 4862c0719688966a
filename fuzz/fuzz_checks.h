#pragma once

#include "numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

namespace runby::fuzz {

// Stops the run with a message; libFuzzer then keeps the input that broke the invariant.
inline void require(bool holds, const char *invariant, std::string_view input)
{
    if (holds)
        return;
    std::cerr << "invariant broken: " << invariant << "\ninput: \"" << input << "\"\n";
    std::abort();
}

inline bool nearlyEqual(double actual, double expected)
{
    return std::abs(actual - expected) <= std::abs(expected) * 1e-14;
}

// The sign, significant digits (without leading or trailing zeros) and decimal exponent of a
// number text such as formatReal writes, read off the text itself.
struct Scientific
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

inline Scientific scientific(std::string_view text)
{
    Scientific result;
    result.negative = text.front() == '-';
    if (result.negative)
        text.remove_prefix(1);
    const auto exponentPos = text.find('E');
    if (exponentPos != std::string_view::npos) {
        auto exponentText = text.substr(exponentPos + 1);
        if (exponentText.front() == '+')
            exponentText.remove_prefix(1);
        std::from_chars(
            exponentText.data(), exponentText.data() + exponentText.size(), result.exponent);
    }
    const auto mantissa = text.substr(0, exponentPos);
    const auto integerLength = std::min(mantissa.find('.'), mantissa.size());
    for (const char c : mantissa)
        if (c >= '0' && c <= '9')
            result.digits += c;
    const auto leadingZeros = std::min(result.digits.find_first_not_of('0'), result.digits.size());
    result.digits.erase(0, leadingZeros);
    result.digits.erase(result.digits.find_last_not_of('0') + 1);
    result.exponent += static_cast<int>(integerLength) - 1 - static_cast<int>(leadingZeros);
    return result;
}

// A number written by formatReal and fitted into a field of maxLength characters still reads as
// a number with its sign and magnitude, and its digits are the number's leading digits: cut,
// never rounded.
inline void requireFaithfulCut(
    const std::string &text, std::size_t maxLength, std::string_view input)
{
    const std::string shown = fitNumberText(text, maxLength);
    require(shown.size() <= maxLength, "fitted text longer than its field", input);
    parseReal(shown);
    const Scientific full = scientific(text);
    const Scientific cut = scientific(shown);
    require(cut.digits.empty() == full.digits.empty(), "fitted number lost all its digits", input);
    if (full.digits.empty())
        return;
    require(full.negative == cut.negative, "fitted number changed sign", input);
    require(full.exponent == cut.exponent, "fitted number changed magnitude", input);
    require(full.digits.starts_with(cut.digits), "fitted digits are not leading digits", input);
}

} // namespace runby::fuzz
