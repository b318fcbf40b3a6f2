// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "engine/NumericText.h"

using namespace morvanta;

namespace {

TEST(NumericText, shouldAcceptOnlyTheCoreGrammar) {
    // Every accepted text reads the same whole and as a leading number, correctly rounded however
    // long: 2^53 + 1 is halfway between two doubles and goes to the even one, unless a digit far
    // after it puts it above the half.
    const struct {
        std::string text;
        double value;
    } numbers[] = {
        // clang-format off
        {"7", 7}, {" 7", 7}, {"7  ", 7}, {"7.0", 7}, {"7.", 7}, {".5", 0.5}, {"+5", 5}, {"-3", -3},
        {"1e3", 1000}, {"1E+3", 1000}, {"2.5e-1", 0.25}, {"-0", -0.0}, {"0.1", 0.1}, {"1e-400", 0},
        {"1.7976931348623158e308", DBL_MAX}, {"4.9e-324", 4.9e-324},
        {"9007199254740993", 9007199254740992.0},
        {"9007199254740993." + std::string(5000, '0') + "1", 9007199254740994.0},
        {"0." + std::string(1'000'000, '9'), 1}, {"0." + std::string(400, '0') + "1", 0},
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

TEST(NumericText, shouldReadTheLeadingNumber) {
    const struct {
        std::string text;
        double value;
    } cases[] = {
        // clang-format off
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"1 2", 12}, {" \t\n-1\t5", -15}, {".5e1", 5},
        {"1e3", 1000}, {"1e", 1}, {"1e+", 1}, {"1e-x", 1}, {"2 e 2", 200}, {"1.5.5", 1.5},
        {"+.", 0}, {"-", 0}, {"7\r\n8", 7}, {"1,000", 1}, {"0x10", 0}, {"(5)", 0},
        {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL}, {"1e-400", 0}, {" 7.0 ", 7}, {"1d3", 1},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(leadingValue(c.text), c.value) << "text: \"" << c.text << "\"";
    }
}

TEST(NumberText, shouldWriteTheBoundaries) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        // clang-format off
        {0, "0"}, {-0.0, "0"}, {0.9, "0.9"}, {205.71428571428572, "205.714285714286"},
        {0.00009999999999999999, "0.0001"},  // rounds up into plain notation
        {0.000099999999999999, "9.9999999999999E-05"}, {0.00001, "1E-05"},
        {99.99999999999997, "100"}, {999999999999999.4, "999999999999999"},
        {999999999999999.5, "1E+15"},            // tie, carried through every digit
        {100000000000000.5, "100000000000000"},  // tie to even
        {1234567890123456.0, "1.23456789012346E+15"}, {1e100, "1E+100"},
        {DBL_MIN, "2.2250738585072E-308"}, {4.9406564584124654e-324, "4.94065645841247E-324"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberText(c.value), c.text);
    }
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

// Infinities, NaN and zero are written out by hand above. Below 1e15 the plain form is cut too,
// as the angle fields take it.
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

// Random bit patterns, angles and powers of ten; then exact halves between two 15-digit texts, a
// whole part of 16 - j digits and an odd number of 2^-j (j decimals ending in 5), and their
// neighbours; then the step from exponent form into plain notation at 0.0001.
TEST(NumberText, shouldMatchExactRounding) {
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
