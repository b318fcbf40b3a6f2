// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "engine/Angle.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

std::string dms(const Angle& angle, int decimals = 0, std::int64_t step = 1) {
    return dmsText(toDms(angle, decimals, step));
}

}  // namespace

// Hole 2 of 7 is at 51°25'42.857142..."; hole 5 at 205°42'51.428571...".
TEST(Angle, shouldRoundToTheStepWithCarriesIntoMinutesAndDegrees) {
    const Angle seventh = Angle::ratio(360, 7);
    EXPECT_EQ(dms(seventh), "51°25'43\"");
    EXPECT_EQ(dms(seventh, 1), "51°25'42.9\"");
    EXPECT_EQ(dms(seventh, 0, 60), "51°26'00\"");

    EXPECT_EQ(dms(Angle::ratio(1189999, 72000000)), "0°00'59\"");  // 59.49999"
    EXPECT_EQ(dms(Angle::ratio(2591999, 7200)), "360°00'00\"");    // 359°59'59.5"
    EXPECT_EQ(dms(Angle::ratio(-1, 7200), 0), "-0°00'01\"");       // -0.5" away from zero
    EXPECT_EQ(dms(Angle::ratio(-1, 72000), 0), "0°00'00\"");       // -0.05": no minus on zero
    EXPECT_EQ(dms(Angle::ratio(1, 3'600'000'000), 6), "0°00'00.000001\"");
    EXPECT_EQ(dmsText(splitTicks(-600, 1)), "-0°01'00.0\"");
}

TEST(Angle, shouldWriteDecimalDegreesRoundedHalfAwayFromZero) {
    const struct {
        Angle angle;
        int decimals;
        const char* text;
    } cases[] = {
        // clang-format off
        {Angle::ratio(1, 8), 2, "0.13"}, {Angle::ratio(-1, 8), 2, "-0.13"},
        {Angle::ratio(-1, 100000), 4, "0.0000"}, {Angle::ratio(-5, 100000), 4, "-0.0001"},
        {Angle::ratio(1, 2), 0, "1"}, {Angle::ratio(-1, 2), 0, "-1"},
        {Angle::ratio(359999999999, 1000000000), 8, "360.00000000"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decimalDegreesText(c.angle, c.decimals), c.text)
            << c.angle.numerator() << "/" << c.angle.denominator();
    }
}

// Against long division in decimal strings, which shares nothing with the 128-bit arithmetic.
TEST(Angle, shouldAgreeWithLongDivisionOnRandomAngles) {
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<std::int64_t> numerators(-720'000'000'000, 720'000'000'000);
    std::uniform_int_distribution<std::int64_t> denominators(1, 1'000'000'000);
    std::uniform_int_distribution<int> places(0, 9);
    for (int i = 0; i < 50'000; ++i) {
        const std::int64_t n = numerators(random);
        const std::int64_t d = denominators(random);
        const int decimals = places(random);
        const Angle angle = Angle::ratio(n, d);
        ASSERT_EQ(decimalDegreesText(angle, decimals),
                  decimal::roundHalfAway(decimal::longDivision(n, d, decimals + 2), decimals))
            << n << "/" << d << " at " << decimals;

        // The seconds: the rounded tick count lies within half a step of the exact angle, and the
        // parts are carried into range.
        const int tickDecimals = places(random) % 4;
        const std::int64_t step = 1 + static_cast<std::int64_t>(random() % 60);
        const Dms parts = toDms(angle, tickDecimals, step);
        ASSERT_LT(parts.minutes, 60);
        ASSERT_LT(parts.seconds, 60);
        const std::int64_t perSecond = std::array<std::int64_t, 4>{1, 10, 100, 1000}.at(
            static_cast<std::size_t>(tickDecimals));
        ASSERT_LT(parts.fraction, perSecond);
        const Wide ticks =
            (static_cast<Wide>(parts.degrees) * 3600 + parts.minutes * 60 + parts.seconds) *
                perSecond +
            parts.fraction;
        const Wide signedTicks = parts.negative ? -ticks : ticks;
        ASSERT_EQ(signedTicks % step, 0);
        // |ticks x d - n x 3600 x perSecond| <= step x d / 2, and strictly less unless a half went
        // away from zero.
        const Wide exact = static_cast<Wide>(angle.numerator()) * 3600 * perSecond;
        const Wide gap = signedTicks * angle.denominator() - exact;
        const Wide half = static_cast<Wide>(step) * angle.denominator();
        ASSERT_LE(2 * (gap < 0 ? -gap : gap), half) << n << "/" << d;
        if (2 * (gap < 0 ? -gap : gap) == half) {
            ASSERT_EQ(gap > 0, angle.numerator() > 0) << n << "/" << d;
        }
    }
}
