// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FixedDecimals.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace morvanta {

namespace {

__extension__ using U128 = unsigned __int128;

constexpr int kMantissaBits = 53;

// Decimal digits of value, most significant first.
std::string digitsOf(U128 value) {
    char buffer[48];
    std::size_t at = sizeof buffer;
    do {
        buffer[--at] = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return std::string(buffer + at, sizeof buffer - at);
}

}  // namespace

std::optional<std::string> fixedDecimals(double x, int decimals) {
    if (!std::isfinite(x) || decimals < 0 || decimals > kMaxFixedDecimals) {
        return std::nullopt;
    }
    const bool negative = std::signbit(x);
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(x), &exponent);
    // |x| = mantissa x 2^shift exactly, with the mantissa a whole number below 2^53.
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, kMantissaBits));
    const int shift = exponent - kMantissaBits;

    std::string digits;
    if (shift >= 0) {
        // A whole number: printf writes whole doubles exactly, and nothing is left to round.
        char whole[400];
        const int length = std::snprintf(whole, sizeof whole, "%.0f", std::fabs(x));
        digits.assign(whole, static_cast<std::size_t>(length));
        digits.append(static_cast<std::size_t>(decimals), '0');
    } else {
        // |x| x 10^decimals = mantissa x 10^decimals / 2^-shift: below 2^53 x 10^17 < 2^110, so
        // the product and the remainder that decides the rounding are exact in 128 bits.
        U128 scaled = mantissa;
        for (int i = 0; i < decimals; ++i) {
            scaled *= 10;
        }
        const int drop = -shift;
        U128 kept = 0;
        bool roundUp = false;
        if (drop < 128) {
            kept = scaled >> drop;
            const U128 rest = scaled - (kept << drop);
            roundUp = rest >= (static_cast<U128>(1) << (drop - 1));
        }
        // From 2^128 down the whole product lies below half a unit: it rounds to zero.
        digits = digitsOf(kept + (roundUp ? 1 : 0));
        if (digits.size() <= static_cast<std::size_t>(decimals)) {
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        }
    }
    if (decimals > 0) {
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    if (negative && !zero) {
        digits.insert(0, 1, '-');
    }
    return digits;
}

}  // namespace morvanta
