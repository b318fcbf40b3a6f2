// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/Result.h"

namespace morvanta {

// The value of a plan a test expects to be accepted; a refusal ends the test with its message.
template <typename T>
T planned(const Result<T>& result) {
    if (!result.ok()) {
        throw std::runtime_error("refused: " + result.message());
    }
    return result.value();
}

template <typename T>
void expectRefused(const Result<T>& result, std::string_view about, std::string_view message) {
    EXPECT_TRUE(result.isMessage()) << about << ": " << message;
    EXPECT_EQ(result.about(), about) << message;
    EXPECT_EQ(result.message(), message) << about;
}

}  // namespace morvanta

// Decimal arithmetic on strings of digits, slow and plain, for checking the engine's writers
// against a method that shares none of their integer tricks.
namespace morvanta::decimal {

// n / d written with `decimals` digits after the point, cut (not rounded), a minus sign for a
// negative quotient: longDivision(-1, 8, 4) == "-0.1250".
inline std::string longDivision(std::int64_t n, std::int64_t d, int decimals) {
    const bool negative = (n < 0) != (d < 0) && n != 0;
    std::uint64_t num = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const std::uint64_t den =
        d < 0 ? 0 - static_cast<std::uint64_t>(d) : static_cast<std::uint64_t>(d);
    std::string text = std::to_string(num / den);
    num %= den;
    text += '.';
    for (int i = 0; i < decimals; ++i) {
        __extension__ const unsigned __int128 wide = static_cast<unsigned __int128>(num) * 10;
        text += static_cast<char>('0' + static_cast<int>(wide / den));
        num = static_cast<std::uint64_t>(wide % den);
    }
    if (num != 0) {
        text += '1';  // a sticky digit: something is left beyond the digits written
    }
    return (negative ? "-" : "") + text;
}

// A plain decimal text ("-12.3450001", with or without point) rounded to `decimals` digits after
// the point, halves away from zero, with no minus sign left on a zero result.
inline std::string roundHalfAway(const std::string& text, int decimals) {
    const bool negative = !text.empty() && text[0] == '-';
    std::string digits = negative ? text.substr(1) : text;
    std::size_t point = digits.find('.');
    if (point == std::string::npos) {
        point = digits.size();
        digits += '.';
    }
    std::string whole = digits.substr(0, point);
    std::string fraction = digits.substr(point + 1);
    fraction.resize(std::max(fraction.size(), static_cast<std::size_t>(decimals) + 1), '0');
    const bool up = fraction[static_cast<std::size_t>(decimals)] >= '5';
    std::string kept = whole + fraction.substr(0, static_cast<std::size_t>(decimals));
    if (up) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') {
            kept[--i] = '0';
        }
        if (i == 0) {
            kept.insert(0, 1, '1');
        } else {
            ++kept[i - 1];
        }
    }
    std::string result = kept.substr(0, kept.size() - static_cast<std::size_t>(decimals));
    const std::size_t firstNonZero = result.find_first_not_of('0');
    result = firstNonZero == std::string::npos ? "0" : result.substr(firstNonZero);
    if (decimals > 0) {
        result += '.' + kept.substr(kept.size() - static_cast<std::size_t>(decimals));
    }
    const bool zero = result.find_first_not_of("0.") == std::string::npos;
    return (negative && !zero ? "-" : "") + result;
}

}  // namespace morvanta::decimal
