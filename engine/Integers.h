// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// Whole-number helpers shared by the engine's exact arithmetic and its writers; not part of its
// interface.
namespace morvanta::detail {

__extension__ using I128 = __int128;

// 10^0 to 10^18, every power of ten an int64 holds.
inline constexpr std::array<std::int64_t, 19> kPow10 = [] {
    std::array<std::int64_t, 19> powers{1};
    for (std::size_t i = 1; i < powers.size(); ++i) {
        powers[i] = powers[i - 1] * 10;
    }
    return powers;
}();

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr I128 magnitude(I128 x) {
    return x < 0 ? -x : x;
}

// The whole number nearest to numerator / denominator (denominator above 0), an exact half going
// away from zero, so that the rule is the same on both sides of 0 and, for values of 0 and up,
// halves go up: nearest(7, 2) == 4, nearest(-7, 2) == -4, nearest(5, 3) == 2, nearest(-4, 3) == -1,
// nearest(0, 9) == 0. Every rounding to a step is this: the multiple of step nearest to n / d is
// nearest(n, d x step) x step. 2 x |numerator| + denominator must fit 127 bits.
constexpr I128 nearest(I128 numerator, I128 denominator) {
    const I128 size = (2 * magnitude(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -size : size;
}

// The greatest common divisor of |a| and |b|.
constexpr I128 gcd(I128 a, I128 b) {
    a = magnitude(a);
    b = magnitude(b);
    while (b != 0) {
        const I128 r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// numerator / denominator (denominator not 0) brought to lowest terms, the sign on the numerator:
// 720 / -14 becomes -360 / 7, 0 / 5 becomes 0 / 1.
constexpr void reduce(I128& numerator, I128& denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const I128 g = gcd(numerator, denominator);
    if (g > 1) {
        numerator /= g;
        denominator /= g;
    }
}

// A whole number written with 1 to `digits` digits (at most 18) and nothing else (no sign, space
// or point); 9 by default, so that it cannot overflow whatever it is multiplied by later: "007"
// -> 7; "", "-1", "1.0", "1234567890" -> nothing, and "1234567890" with 10 digits -> 1234567890.
inline std::optional<std::int64_t> parseWhole(std::string_view text, std::size_t digits = 9) {
    if (text.empty() || text.size() > digits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// printf into a string.
std::string formatted(const char* format, auto... values) {
    const int length = std::snprintf(nullptr, 0, format, values...);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}

// numerator / denominator (denominator > 0) with 1 to 18 decimals, rounded half away from zero,
// with a minus sign, or a plus sign when `plus`, unless it rounds to zero: no output reads "-0",
// and "0.00" says zero to the digits shown. The rounded value must fit int64 in units of the
// last decimal. (1, 7, 2, true) -> "+0.14", (-1, 9973, 2, false) -> "0.00".
inline std::string decimalText(I128 numerator, I128 denominator, int decimals, bool plus) {
    const std::int64_t scale = kPow10[static_cast<std::size_t>(decimals)];
    const auto scaled =
        static_cast<std::int64_t>(magnitude(nearest(numerator * scale, denominator)));
    const char* sign = scaled == 0 ? "" : numerator < 0 ? "-" : plus ? "+" : "";
    return formatted("%s%lld.%0*lld", sign, static_cast<long long>(scaled / scale), decimals,
                     static_cast<long long>(scaled % scale));
}

}  // namespace morvanta::detail
