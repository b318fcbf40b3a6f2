// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/NumericText.h"

using namespace morvanta;

namespace {

TEST(NumericText, shouldAcceptOnlyTheCoreGrammar) {
    // Every accepted text reads the same whole and as a leading number. (The rounding of long texts
    // is from_chars's; out of its range, the side of 1 is this code's.)
    const struct {
        std::string text;
        double value;
    } numbers[] = {
        // clang-format off
        {"7", 7}, {" 7", 7}, {"7  ", 7}, {"7.0", 7}, {"7.", 7}, {".5", 0.5}, {"+5", 5}, {"-3", -3},
        {"1e3", 1000}, {"1E+3", 1000}, {"2.5e-1", 0.25}, {"-0", -0.0}, {"0.1", 0.1}, {"1e-400", 0},
        {"1.7976931348623158e308", DBL_MAX}, {"4.9e-324", 4.9e-324},
        {"0." + std::string(400, '0') + "1", 0},
        // clang-format on
    };
    for (const auto& c : numbers) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        EXPECT_TRUE(isNumericText(c.text));
        EXPECT_EQ(numericValue(c.text), c.value);
        EXPECT_EQ(std::signbit(numericValue(c.text)), std::signbit(c.value));
        EXPECT_EQ(leadingValue(c.text), c.value);
    }
    const std::string refused[] = {
        // clang-format off
        "", " ", "-", ".", "-.", "7a", "a7", "1e", "1e+", "e5", "1.2.3", "- 7", "\t7", "7\n",
        "1,000", "0x10", "(5)", "$5", "1d3", "nan", "inf", "infinity", "1e400", "-2e308",
        "1.7976931348623159e308", "1e99999999999999999999", std::string(400, '9'),
        std::string(1'000'000, '7') + "x",
        // clang-format on
    };
    for (const std::string& text : refused) {
        EXPECT_FALSE(isNumericText(text)) << "text: \"" << text << "\"";
    }
    EXPECT_FALSE(isNumericText(std::string("7\0", 2)));
}

// numberText worked out independently: printf's %.14e gives the exact 15-digit rounding of the
// binary value (ties to even), and the layout rules are applied to its digits by plain string work.
// `digits` has no trailing zeros; `exponent` is the power of ten of its first digit.
std::string layout(bool negative, const std::string& digits, int exponent) {
    const std::string sign = negative ? "-" : "";
    if (exponent < 0) {
        return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        return sign + digits + std::string(whole - digits.size(), '0');
    }
    return sign + digits.substr(0, whole) + "." + digits.substr(whole);
}

// Infinities and NaN never reach it (the counts are checked finite first), and zero begins every
// block of the pinned "all" outputs. Below 1e15 the plain form is cut too, as the angle fields take
// it.
void checkAgainstPrintf(double x) {
    if (!std::isfinite(x) || x == 0) {
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(x));  // d.dddddddddddddde+XX
    std::string digits = text[0] + std::string(text + 2, 14);
    digits.erase(digits.find_last_not_of('0') + 1);
    const int exponent = std::atoi(text + 17);
    const bool negative = std::signbit(x);
    const std::string plain = exponent < 15 ? layout(negative, digits, exponent) : "";
    char power[16];
    std::snprintf(power, sizeof power, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    ASSERT_EQ(numberText(x),
              exponent >= -4 && exponent < 15 ? plain : layout(negative, digits, 0) + power)
        << "for " << std::hexfloat << x;
    char buf[kNumberTextBufferSize];
    for (std::size_t cut : {2u, 7u, 8u, 9u, 32u}) {
        if (!plain.empty()) {
            const std::size_t n = writePlainNumberPrefix(x, buf, cut);
            ASSERT_EQ(std::string(buf, n), plain.substr(0, cut)) << std::hexfloat << x;
        }
    }
}

// The edges first: a tie carried through every digit into exponent form, a tie to even, 15 digits
// rounding up into plain notation, the smallest numbers. Then random bit patterns, angles and
// powers of ten; exact halves between two 15-digit texts, a whole part of 16 - j digits and an odd
// number of 2^-j (j decimals ending in 5), and their neighbours; the step from exponent form into
// plain notation at 0.0001.
TEST(NumberText, shouldMatchExactRounding) {
    for (const double x : {999999999999999.5, 100000000000000.5, 99.99999999999997,
                           0.00009999999999999999, DBL_MIN, 4.9406564584124654e-324}) {
        checkAgainstPrintf(x);
    }
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> angle(0, 360);
    std::uniform_real_distribution<double> decade(-6, 17);
    std::uniform_real_distribution<double> unit(1, 10);
    for (int i = 0; i < 20'000; ++i) {
        checkAgainstPrintf(std::bit_cast<double>(random()));
        checkAgainstPrintf(angle(random));
        checkAgainstPrintf(std::pow(10.0, decade(random)));
        const int j = 1 + i % 5;
        const double halves = static_cast<double>(2 * (random() % (1U << (j - 1))) + 1);
        const double tie = std::floor(unit(random) * std::pow(10.0, 15 - j)) + halves / (1 << j);
        for (double x : {tie, std::nextafter(tie, 0), std::nextafter(tie, 1e300), -tie}) {
            checkAgainstPrintf(x);
        }
    }
    for (double x = 0.0001, n = 0; n < 1000; ++n, x = std::nextafter(x, 0)) {
        checkAgainstPrintf(x);
    }
}

}  // namespace
