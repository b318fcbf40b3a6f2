// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvanta {

// Reading and writing the numbers a user types and reads. The decimal separator is always the
// point, whatever the locale, and nothing here keeps state. numberText allocates its text and so
// may throw std::bad_alloc; everything else here never throws.

// True when the whole text is one number:
//   [spaces] [+|-] digits [. [digits]] [(e|E) [+|-] digits] [spaces]
//   [spaces] [+|-] . digits [(e|E) [+|-] digits] [spaces]
// "7", " 7 ", "7.", ".5", "-3", "1e3", "2.5E-1" and "1e-400" (which reads as 0) are numbers.
// Not numbers: "", " ", "-", ".", "7a", "1,000", "0x10", "(5)", "\t7", "- 7", "1e", "nan", "inf",
// any text holding a NUL, and any whose value overflows the double range ("1e400", "-2e308").
bool isNumericText(std::string_view text) noexcept;

// The value of a text for which isNumericText is true, rounded to the nearest double (ties to
// even). Only spaces around the number are tolerated; on any other text the result is 0.
// numericValue("0.1") == 0.1, numericValue("-0") is -0.0, numericValue("1e-400") == 0.
double numericValue(std::string_view text) noexcept;

// The value of the number at the start of the text, rounded to the nearest double. Spaces, tabs and
// line feeds are skipped wherever they stand; then a sign, digits with at most one point, and an
// exponent are read until the first character that cannot continue the number. An exponent mark
// without digits is ignored. Never fails:
//   leadingValue("12abc") == 12, leadingValue("1 2") == 12, leadingValue(".5e1") == 5,
//   leadingValue("1e") == 1, leadingValue("abc") == 0, leadingValue("") == 0,
//   leadingValue("1e999") == +infinity (the only way out of the double range).
// The number is copied to be converted; a text too long to copy in the memory left reads as 0.
double leadingValue(std::string_view text) noexcept;

// The general written form of x: rounded to 15 significant digits of its exact binary value
// (ties to even, as printf does), then plain decimal when the rounded value is 0 or its magnitude
// lies in [0.0001, 1e15), else exponent form with at least two exponent digits. Trailing zeros and
// a bare point are dropped; -0.0 writes as "0".
//   0 -> "0", 60 -> "60", 0.9 -> "0.9", 6.300000000000001 -> "6.3",
//   205.71428571428572 -> "205.714285714286", 0.00001 -> "1E-05", 1e15 -> "1E+15",
//   999999999999999.4 -> "999999999999999", 999999999999999.5 -> "1E+15",
//   DBL_MAX -> "1.79769313486232E+308", the smallest subnormal -> "4.94065645841247E-324".
// Infinities and NaN, which no reader here ever produces, write as "inf", "-inf" and "nan".
std::string numberText(double x);

// The room the writers below need in their output buffer. They write the text at its start and
// may use the rest as scratch; no text they return is longer than 22 characters
// ("-1.23456789012345E-308" and the like).
inline constexpr std::size_t kNumberTextBufferSize = 32;

// numberText written into out, which must have kNumberTextBufferSize bytes; returns its length.
// The allocation-free form that the table builders use.
std::size_t writeNumberText(double x, char* out) noexcept;

// numberText cut to its first maxLength characters, except that a nonzero finite value whose
// rounded magnitude is below 0.0001 is written in plain decimal first ("0.0000514285714285714" for
// 5.142857142857143e-05), so that a field cut from the left is still a truncation of the number.
// out must have kNumberTextBufferSize bytes and maxLength be at most that; returns the length.
std::size_t writePlainNumberPrefix(double x, char* out, std::size_t maxLength) noexcept;

}  // namespace morvanta
