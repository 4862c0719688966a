#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace runby {

// A number is too large for a double, or a value to be written is not finite.
class NumericOverflow : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A text that must be a number is not one.
class TypeMismatch : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads the number at the start of whatever the user typed and ignores the rest; never rejects
// text. Blanks, tabs and line feeds are skipped anywhere. The decimal point is always the full
// stop. &H and &O introduce a hexadecimal or octal integer: a 16-bit signed value while it fits
// in 16 bits, else a 32-bit signed value. A number that underflows reads as 0.
// Throws NumericOverflow for a number beyond the double range or an &H/&O value beyond 32 bits.
//   ""        -> 0          "abc"   -> 0        "inf" -> 0     "0x10" -> 0
//   "  12"    -> 12         "1 2"   -> 12       "12abc" -> 12  "1,5"  -> 1
//   "-3"      -> -3         ".5"    -> 0.5      "1e2" -> 100   "1e+"  -> 1
//   "&H10"    -> 16         "&HFFFF" -> -1      "&H10000" -> 65536
//   "1e400"   -> NumericOverflow
double parseLeadingNumber(std::string_view text);

// Plain decimal digits, with a leading minus sign when negative.
//   150 -> "150"      -3 -> "-3"
std::string formatInteger(std::int16_t value);

// Writes a double rounded to 15 significant digits, with trailing zeros and a bare decimal point
// dropped, a leading zero below 1 and the full stop as decimal point. Magnitudes from 1E-4 up to
// below 1E15 are written plainly, others as mantissa, E, sign and at least two exponent digits.
// Throws NumericOverflow for infinity or NaN.
//   76.19999999999999 -> "76.2"     150 -> "150"     1.0 / 3 -> "0.333333333333333"
//   5.08e-11 -> "5.08E-11"          1.96850393700788e20 -> "1.96850393700788E+20"
std::string formatReal(double value);

// Reads a whole text written by formatReal or formatInteger back into the double it denotes.
// Throws TypeMismatch for a text that is not such a number, NumericOverflow beyond the double
// range.
//   "4.5" -> 4.5     "-3" -> -3     "5.08E-11" -> 5.08e-11     "4.5x" -> TypeMismatch
double parseReal(std::string_view text);

// Shortens a text written by formatReal to at most maxLength characters without changing its
// magnitude. A plain number whose integer part fits keeps its first maxLength characters; any
// other keeps as many leading mantissa digits as fit in front of its exponent, cut rather than
// rounded. maxLength must leave room for at least one mantissa digit and the exponent.
//   ("147.637795275591", 9) -> "147.63779"     ("1.96850393700788E-06", 9) -> "1.968E-06"
//   ("196850393503.938", 9) -> "1.968E+11"
std::string fitNumberText(std::string_view text, std::size_t maxLength);

} // namespace runby
