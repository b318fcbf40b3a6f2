// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/FixedDecimals.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

std::string fixed(double x, int decimals) {
    return fixedDecimals(x, decimals).value_or("(none)");
}

// The exact decimal value of x: glibc prints every double exactly given enough digits.
std::string exactly(double x) {
    std::vector<char> text(1600);
    std::snprintf(text.data(), text.size(), "%.1100f", x);
    return text.data();
}

}  // namespace

TEST(FixedDecimals, shouldRoundTheCasesMachinistsMeet) {
    const struct {
        double x;
        int decimals;
        const char* text;
    } cases[] = {
        // clang-format off
        {25.0, 4, "25.0000"}, {50 * std::cos(120 * M_PI / 180), 4, "-25.0000"},
        {50 * std::cos(90 * M_PI / 180), 4, "0.0000"},  // 3.06e-15, not "-0.0000" or exponent form
        {24.99995, 4, "24.9999"},  // the double is 24.99994999999999...
        {-0.00004, 4, "0.0000"},
        {-0.00005, 4, "-0.0001"},  // the double is a little above 0.00005 in size
        {0.125, 2, "0.13"},        // an exact half goes away from zero
        {-0.125, 2, "-0.13"}, {2.5, 0, "3"}, {-2.5, 0, "-3"}, {0.49999999999999994, 0, "0"},
        {1.005, 2, "1.00"},         // the double is 1.00499999999999989...
        {999.9995, 3, "1000.000"},  // the double is 999.999500000000011...
        {0.1, 17, "0.10000000000000001"}, {-0.0, 2, "0.00"},
        {123456789.123456789, 8, "123456789.12345679"},
        {9007199254740993.0, 1, "9007199254740992.0"},
        {std::ldexp(1.0, 60), 0, "1152921504606846976"}, {DBL_MIN, 17, "0.00000000000000000"},
        {-std::numeric_limits<double>::denorm_min(), 17, "0.00000000000000000"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fixed(c.x, c.decimals), c.text) << c.x << " at " << c.decimals;
    }
    EXPECT_EQ(fixed(1e300, 0).size(), 301u);
    EXPECT_EQ(fixed(-DBL_MAX, 2).size(), 1u + 309 + 3);
    EXPECT_EQ(fixed(-DBL_MAX, 2).substr(0, 6), "-17976");
}

TEST(FixedDecimals, shouldRefuseWhatHasNoDecimalForm) {
    EXPECT_FALSE(fixedDecimals(std::numeric_limits<double>::infinity(), 2));
    EXPECT_FALSE(fixedDecimals(-std::numeric_limits<double>::infinity(), 2));
    EXPECT_FALSE(fixedDecimals(std::numeric_limits<double>::quiet_NaN(), 2));
    EXPECT_FALSE(fixedDecimals(1.0, -1));
    EXPECT_FALSE(fixedDecimals(1.0, 18));
    EXPECT_TRUE(fixedDecimals(1.0, 17));
}

// Random bit patterns, coordinates-sized values and exact halves, each against the exact decimal
// expansion rounded as a string.
TEST(FixedDecimals, shouldAgreeWithTheExactExpansionRoundedByHand) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> places(0, kMaxFixedDecimals);
    std::uniform_real_distribution<double> coordinates(-2000.0, 2000.0);
    std::uniform_int_distribution<std::int64_t> halves(-20'000'000, 20'000'000);
    for (int i = 0; i < 300'000; ++i) {
        double x = 0;
        const int decimals = places(random);
        switch (i % 3) {
            case 0: {
                const std::uint64_t bits = random();
                std::memcpy(&x, &bits, sizeof x);
                if (!std::isfinite(x) || std::fabs(x) > 1e30) {
                    continue;
                }
                break;
            }
            case 1:
                x = coordinates(random);
                break;
            default:
                // k / 2^m: exact in binary and often an exact half at some decimal place.
                x = std::ldexp(static_cast<double>(halves(random)),
                               -static_cast<int>(random() % 12));
                break;
        }
        ASSERT_EQ(fixed(x, decimals), decimal::roundHalfAway(exactly(x), decimals))
            << std::hexfloat << x << " at " << decimals;
    }
}
