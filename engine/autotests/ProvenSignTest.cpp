// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "engine/ProvenSign.h"
#include "engine/autotests/MpfrYardstick.h"

using namespace morvanta;
using yardstick::Convergent;
using yardstick::Real;
using yardstick::wideReal;

namespace {

struct NearlyCancelling {
    const char* name;
    bool pi;
    std::vector<TrigFactor> factors;
    Real value;
};

// q x - p for the convergents of x is within 1/q of 0, so past q = 10^10 long double cannot tell
// its sign and the fixed point must; the convergents alternate sides, so both signs are met.
TEST(ProvenSign, SumsWithinTwoToTheMinus90OfZeroTakeTheSignMpfrGives) {
    const Real cosine = yardstick::cosDeg(Real(359) / Real(7));
    const std::vector<NearlyCancelling> cases = {
        {"cos 20°", false, {{Angle::whole(20), Trig::Cos}}, yardstick::cosDeg(Real(20))},
        {"pi sin 7.5°",
         true,
         {{Angle::ratio(15, 2), Trig::Sin}},
         yardstick::pi() * yardstick::sinDeg(Real("7.5"))},
        {"cos 1° sin 200°",
         false,
         {{Angle::whole(1), Trig::Cos}, {Angle::whole(200), Trig::Sin}},
         yardstick::cosDeg(Real(1)) * yardstick::sinDeg(Real(200))},
        {"cos^3 359/7°", false, std::vector<TrigFactor>(3, {Angle::ratio(359, 7), Trig::Cos}),
         cosine * cosine * cosine},
    };
    for (const NearlyCancelling& c : cases) {
        int seen[2] = {0, 0};
        for (const Convergent& r : yardstick::convergents(c.value)) {
            const int expected = mpfr_sgn((wideReal(r.q) * c.value - wideReal(r.p)).get());
            if (expected == 0) {
                continue;
            }
            const std::vector<TrigTerm> terms{{r.q, c.pi, c.factors}, {-r.p, false, {}}};
            EXPECT_EQ(signOf(terms), expected) << c.name << " q = " << static_cast<double>(r.q);
            ++seen[expected > 0 ? 1 : 0];
        }
        EXPECT_GT(seen[0], 3) << c.name;
        EXPECT_GT(seen[1], 3) << c.name;
    }
}

// The rational sines and cosines are exact, so sums of them can be exactly 0 and say so.
TEST(ProvenSign, SumsOfRationalSinesAndCosinesAreDecidedExactly) {
    const auto sign = [](std::vector<TrigTerm> terms) { return signOf(terms); };
    EXPECT_EQ(sign({{2, false, {{Angle::whole(60), Trig::Cos}}}, {-1, false, {}}}), 0);
    EXPECT_EQ(sign({{1, false, {{Angle::whole(210), Trig::Sin}}},
                    {1, false, {{Angle::whole(-60), Trig::Cos}}}}),
              0);
    EXPECT_EQ(sign({{8, false, std::vector<TrigFactor>(3, {Angle::whole(60), Trig::Cos})},
                    {-1, false, {}}}),
              0);
    EXPECT_EQ(sign({{3, false, {{Angle::whole(150), Trig::Sin}}}, {-1, false, {}}}), 1);
    EXPECT_EQ(sign({{1, false, {{Angle::whole(300), Trig::Sin}}}}), -1);
}

// An exact half goes away from zero; an irrational value within 10^-20 of a half is rounded the
// way MPFR says, on both sides.
TEST(ProvenSign, RoundedUnitsOnAndNearAHalf) {
    const auto cosineTimes = [](std::int64_t factor, std::int64_t degrees) {
        return ProvenValue{
            static_cast<long double>(factor) * std::cos(degrees * 3.14159265358979L / 180),
            [=](Wide n, Wide den) {
                return std::vector<TrigTerm>{
                    {factor * den, false, {{Angle::whole(degrees), Trig::Cos}}}, {-n, false, {}}};
            }};
    };
    EXPECT_EQ(roundedUnits(cosineTimes(5, 60), 0), 3);    // 2.5
    EXPECT_EQ(roundedUnits(cosineTimes(1, 240), 0), -1);  // -0.5
    EXPECT_EQ(roundedUnits(cosineTimes(1, 120), 1), -5);  // -0.5 to a tenth
    const Real x = yardstick::cosDeg(Real(20));
    int ups = 0;
    int downs = 0;
    for (const Convergent& r : yardstick::convergents(x)) {
        if (r.q < 10'000'000'000LL) {
            continue;
        }
        // (2 q cos 20° - 2 p + 1) / 2 lies within 1/q of 1/2.
        const ProvenValue nearHalf{0.5L, [=](Wide n, Wide den) {
                                       return std::vector<TrigTerm>{
                                           {2 * den * r.q, false, {{Angle::whole(20), Trig::Cos}}},
                                           {den - 2 * den * r.p - 2 * n, false, {}}};
                                   }};
        const bool above = mpfr_sgn((wideReal(r.q) * x - wideReal(r.p)).get()) > 0;
        EXPECT_EQ(roundedUnits(nearHalf, 0), above ? 1 : 0) << static_cast<double>(r.q);
        (above ? ups : downs) += 1;
    }
    EXPECT_GT(ups, 1);
    EXPECT_GT(downs, 1);
}

}  // namespace
