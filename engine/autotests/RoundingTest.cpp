// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/Angle.h"
#include "engine/BoltCircleMath.h"
#include "engine/Integers.h"
#include "engine/SettingSheet.h"

using namespace morvanta;

namespace {

using detail::I128;
using detail::nearest;

// The one rule every writer rounds by: the nearest whole number, an exact half away from zero.
TEST(Rounding, shouldGoToTheNearestWholeNumberAndHalvesAwayFromZero) {
    const struct {
        std::int64_t numerator;
        std::int64_t denominator;
        std::int64_t expected;
    } cases[] = {
        // clang-format off
        // exact halves, exact values, thirds, a billionth either side of a half
        {7, 2, 4}, {-7, 2, -4}, {1, 2, 1}, {-1, 2, -1}, {0, 7, 0}, {-6, 3, -2}, {5, 3, 2},
        {-5, 3, -2}, {4, 3, 1}, {-4, 3, -1}, {2'499'999'999, 1'000'000'000, 2},
        {-2'499'999'999, 1'000'000'000, -2}, {2'500'000'001, 1'000'000'000, 3},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<std::int64_t>(nearest(c.numerator, c.denominator)), c.expected)
            << c.numerator << "/" << c.denominator;
    }
    // Beyond 64 bits: 2^99 + 1/2 either way from zero.
    const I128 big = I128{1} << 100;
    EXPECT_TRUE(nearest(big + 1, 2) == (I128{1} << 99) + 1);
    EXPECT_TRUE(nearest(-(big + 1), 2) == -((I128{1} << 99) + 1));
}

// The writers that round a value they hold exactly, each at a half on either side of 0 and next
// to one (decimalDegreesText and the seconds of toDms are tested the same way in AngleTest).
TEST(Rounding, shouldRoundHalvesAlikeInEveryWriter) {
    // Errors with two decimals: 0.005" is a half; below it either way the error is 0, unsigned.
    EXPECT_EQ(errorText(1, 200), "+0.01");
    EXPECT_EQ(errorText(-1, 200), "-0.01");
    EXPECT_EQ(errorText(1, 201), "0.00");
    EXPECT_EQ(errorText(-1, 201), "0.00");

    // Coordinates: 25 cos 60° = 12.5 and -12.5, 0.5 + cos 90°, -1.5 + 2 cos 60° = -0.5.
    const struct {
        ExactDecimal base;
        ExactDecimal length;
        std::int64_t degrees;
        Trig trig;
        int decimals;
        std::int64_t expected;
    } coordinates[] = {
        {{0, 0}, {25, 0}, 60, Trig::Cos, 0, 13},  {{0, 0}, {25, 0}, 120, Trig::Cos, 0, -13},
        {{0, 0}, {25, 0}, 30, Trig::Sin, 0, 13},  {{0, 0}, {25, 0}, 210, Trig::Sin, 0, -13},
        {{5, 1}, {1, 0}, 90, Trig::Cos, 0, 1},    {{-5, 1}, {1, 0}, 90, Trig::Cos, 0, -1},
        {{-15, 1}, {2, 0}, 60, Trig::Cos, 0, -1}, {{-15, 1}, {2, 0}, 0, Trig::Cos, 0, 1},
    };
    for (const auto& c : coordinates) {
        EXPECT_EQ(roundedCoordinate(c.base, c.length, Angle::whole(c.degrees), c.trig, c.decimals),
                  c.expected)
            << c.base.units << " + " << c.length.units << " at " << c.degrees;
    }
}

}  // namespace
