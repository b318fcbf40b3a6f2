// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/Angle.h"
#include "engine/Rational.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

// Every result is reduced with its sign on the numerator, whatever the size of the parts it was
// made from, so that equal values compare equal field by field.
TEST(Rational, shouldKeepEveryResultReducedAndExact) {
    const struct {
        Rational value;
        std::int64_t numerator;
        std::int64_t denominator;
    } cases[] = {
        {Rational::ratio(720, -14), -360, 7},
        {Rational::ratio(-3, -6), 1, 2},
        {Rational::ratio(0, -5), 0, 1},
        {Rational::ratio(Wide{3} << 70, Wide{7} << 70), 3, 7},
        {Rational::ratio(Wide{300'000'000'000'000'000} * 10, Wide{-900'000'000'000'000'000} * 10),
         -1, 3},
        // 4e18 x 7 x 2 needs more than 64 bits before it is reduced.
        {Rational::ratio(4'000'000'000'000'000'000, 7) +
             Rational::ratio(4'000'000'000'000'000'000, 7),
         8'000'000'000'000'000'000, 7},
        {Rational::ratio(1, 3) + Rational::ratio(1, 6), 1, 2},
        {Rational::ratio(360, 7) * 7, 360, 1},
        {Rational::whole(360) / -7, -360, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.numerator(), c.numerator) << c.numerator << "/" << c.denominator;
        EXPECT_EQ(c.value.denominator(), c.denominator) << c.numerator << "/" << c.denominator;
    }
}

TEST(Rational, shouldCompareExactly) {
    EXPECT_GT(Rational::ratio(-1, 3), Rational::ratio(-333333334, 1000000000));
    EXPECT_LT(Rational::ratio(113, 381), Rational::ratio(40, 127));
    EXPECT_LT(Rational::ratio(999'999'999'999'999'999, 1'000'000'000'000'000'000),
              Rational::whole(1));
}

TEST(Rational, shouldBringAnglesWithinOneTurn) {
    EXPECT_EQ(Angle::whole(-90).withinTurn(), Angle::whole(270));
    EXPECT_EQ(Angle::whole(360).withinTurn(), Angle());
    EXPECT_EQ(Angle::ratio(719, 2).withinTurn(), Angle::ratio(719, 2));
    EXPECT_EQ(Angle::ratio(-1, 1000000000).withinTurn(), Angle::ratio(359999999999, 1000000000));

    // The largest angles the commands make: a start of nine decimals plus a step of a nine-decimal
    // span over a million holes, at the last hole.
    const Angle start = degreesOf("359.999999999");
    const Angle step = degreesOf("359.999999999") / 1'000'000;
    const Angle last = start + step * 999'999;
    EXPECT_EQ(last.denominator(), 1'000'000'000'000'000);
    EXPECT_EQ(last.numerator(), 719'999'639'998'000'001);
    EXPECT_EQ(last.withinTurn().numerator(), 359'999'639'998'000'001);
}

}  // namespace
