#pragma once

// Locale-free, correctly rounded conversions between doubles and decimal text: the standard
// library's where it has them, and fast_float to read and {fmt} to write where it does not
// (the libc++ of emscripten 3.1.6 has neither for floating point). RUNBY_DOUBLE_TEXT_LIBRARIES
// chooses the libraries everywhere, so that both ways are tested natively.

#include <charconv>
#include <system_error>

#if defined(__cpp_lib_to_chars) && !defined(RUNBY_DOUBLE_TEXT_LIBRARIES)
#define RUNBY_DOUBLE_TEXT_STANDARD 1
#else
#define FMT_HEADER_ONLY
// Keeps std::locale, which the conversions never use, out of the program.
#define FMT_STATIC_THOUSANDS_SEPARATOR ','
#include <fast_float/fast_float.h>
// GCC 14 takes {fmt} 10's writing of an integer's digits backwards from the end of its buffer
// for a write before the buffer (a known false alarm of -Warray-bounds).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#include <fmt/compile.h>
#include <fmt/format.h>
#pragma GCC diagnostic pop

#include <cmath>
#include <iterator>
#endif

namespace runby {

// Reads a decimal number, as std::from_chars does: result_out_of_range for a number too large
// or too small for a double.
inline std::from_chars_result readDouble(const char *first, const char *last, double &value)
{
#if RUNBY_DOUBLE_TEXT_STANDARD
    return std::from_chars(first, last, value);
#else
    // fast_float gives an infinity for too large a number and zero for too small a one.
    double read = 0;
    const auto result = fast_float::from_chars(first, last, read);
    if (std::isinf(read))
        return {result.ptr, std::errc::result_out_of_range};
    value = read;
    return {result.ptr, result.ec};
#endif
}

// Writes a finite double rounded to 15 significant digits as d.dddddddddddddde±dd, as
// std::to_chars does in scientific format with a precision of 14.
inline std::to_chars_result writeScientific15(char *first, char *last, double value)
{
#if RUNBY_DOUBLE_TEXT_STANDARD
    return std::to_chars(first, last, value, std::chars_format::scientific, 14);
#else
    // A format known when compiling keeps {fmt}'s run-time formatting out of the program.
    const auto size = static_cast<std::size_t>(std::distance(first, last));
    const auto written = fmt::format_to_n(first, size, FMT_COMPILE("{:.14e}"), value);
    if (written.size > size)
        return {last, std::errc::value_too_large};
    return {written.out, std::errc{}};
#endif
}

} // namespace runby
