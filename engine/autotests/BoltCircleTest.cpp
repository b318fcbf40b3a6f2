// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "engine/BoltCircle.h"
#include "engine/autotests/EngineTestSupport.h"
#include "engine/autotests/MpfrYardstick.h"

using namespace morvanta;

namespace {

constexpr std::size_t npos = std::string::npos;

using yardstick::Real;

Real trig(const Real& degrees, bool sine) {
    return sine ? yardstick::sinDeg(degrees) : yardstick::cosDeg(degrees);
}

// A random request of any shape: the texts typed, and the figures its holes are worked from.
struct Request {
    Inputs inputs;
    std::string centre[2], start = "0", span = "360";
    int count = 0, decimals = 0;
    Real radius;
    bool ends = false, clockwise = false, north = false;

    // The direction of hole k from east counter-clockwise, in degrees.
    Real direction(int k) const {
        const Real angle = Real(start) + Real(span) / Real(ends ? count - 1 : count) * Real(k - 1);
        const Real zero(north ? 90L : 0L);
        return clockwise ? zero - angle : zero + angle;
    }
};

Request randomRequest(std::mt19937_64& random) {
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto digits = [&](int n) {
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += static_cast<char>('0' + pick(0, 9));
        }
        return text;
    };
    const auto decimal = [&](bool sign, int whole, int decimals) {
        std::string text = sign && pick(0, 1) == 1 ? "-" : "";
        text += whole == 0 ? "0" : digits(whole);
        return decimals > 0 ? text + "." + digits(decimals) : text;
    };
    Request r;
    r.count = pick(0, 3) == 0 ? pick(1, 4) : pick(1, 60);
    const bool radius = pick(0, 1) == 1;
    std::string size;
    do {
        size = decimal(false, pick(0, 9), pick(0, 9));
        // A radius stays below 500000000, so that its diameter has at most 9 digits.
    } while (size.find_first_of("123456789") == npos ||
             (radius && std::min(size.find('.'), size.size()) == 9 && size[0] >= '5'));
    r.radius = radius ? Real(size) : Real(size) / Real(2);
    r.centre[0] = decimal(true, pick(0, 9), pick(0, 9));
    r.centre[1] = decimal(true, pick(0, 9), pick(0, 9));
    std::string words = "count=" + std::to_string(r.count) + (radius ? " radius=" : " diameter=") +
                        size + " centre=" + r.centre[0] + "," + r.centre[1];
    if (const int shape = pick(0, 3); shape != 0) {
        r.start =
            shape == 1 ? std::to_string(15 * pick(-60, 60)) : decimal(true, pick(1, 4), pick(0, 9));
        words += " start=" + r.start;
    }
    if (const int shape = pick(0, 3); shape != 0) {
        r.span = shape == 1 ? std::to_string(15 * pick(1, 24))
                            : std::to_string(pick(0, 359)) + "." + digits(pick(1, 9));
        words += " span=" + r.span;
        r.ends = r.count > 1 && r.span != "360" && pick(0, 1) == 1;
    }
    r.clockwise = pick(0, 1) == 1;
    r.north = pick(0, 1) == 1;
    r.decimals = pick(0, 8);
    r.inputs = request(words + " decimals=" + std::to_string(r.decimals) + (r.ends ? " ends" : "") +
                       (r.clockwise ? " cw" : "") + (r.north ? " zero=north" : ""));
    return r;
}

// Random requests of every shape: each hole's X and Y must be its exact position (MPFR) correctly
// rounded. (The coordinates hardest to round are the test below's.)
TEST(BoltCircle, shouldRoundEveryCoordinateCorrectly) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 500; ++i) {
        const Request r = randomRequest(random);
        const BoltCirclePlan plan = planned(planBoltCircle(r.inputs));
        ASSERT_EQ(plan.holes.size(), static_cast<std::size_t>(r.count));
        for (std::size_t k = 0; k < plan.holes.size(); ++k) {
            const Real direction = r.direction(static_cast<int>(k + 1));
            for (const bool sine : {false, true}) {
                const Real exact = Real(r.centre[sine ? 1 : 0]) + r.radius * trig(direction, sine);
                ASSERT_EQ(sine ? plan.holes[k].y : plan.holes[k].x,
                          yardstick::rounded(exact, r.decimals))
                    << "request " << i << ", hole " << k + 1;
            }
        }
    }
}

// The long double estimate stays inside its own error bound.
TEST(BoltCircle, shouldBoundTheLongDoubleEstimate) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> billionths(1, 45'000'000'000);
    for (int i = 0; i < 20000; ++i) {
        const std::int64_t numerator = billionths(random);
        for (const bool sine : {false, true}) {
            const detail::TrigEstimate estimate =
                detail::estimateTrig({Angle::ratio(numerator, 1'000'000'000), sine, false});
            Real got;
            Real bound;
            mpfr_set_ld(got.get(), estimate.value, MPFR_RNDN);
            mpfr_set_ld(bound.get(), estimate.error, MPFR_RNDN);
            const Real exact =
                trig(Real(static_cast<long>(numerator)) / Real(1'000'000'000L), sine);
            ASSERT_LE(mpfr_cmpabs((got - exact).get(), bound.get()), 0) << numerator << sine;
        }
    }
}

// The best rational approximations p/q of sin or cos a with q below 2^60 lie closer than 2^-118:
// 128 bits of fixed point cannot tell the side, 256 can, and it is the side MPFR gives.
TEST(BoltCircle, shouldWidenThePrecisionUntilTheSideIsKnown) {
    int undecidedAt128 = 0;
    for (const char* angle : {"1", "15", "22.5", "29.999", "30.000000001", "37", "44.5", "45"}) {
        for (const bool sine : {false, true}) {
            const Real f = trig(Real(angle), sine);
            // The last continued fraction convergent of f with q below 2^60.
            Wide p1 = 0, q1 = 0;
            for (const yardstick::Convergent& c : yardstick::convergents(f)) {
                if (c.q < Wide{1} << 60) {
                    p1 = c.p, q1 = c.q;
                }
            }
            const Real ratio = Real(static_cast<long>(p1)) / Real(static_cast<long>(q1));
            const int side = mpfr_cmp(f.get(), ratio.get()) > 0 ? 1 : -1;
            const detail::FoldedTrig folded{degreesOf(angle), sine, false};
            const int at128 = detail::compareTrigAt(folded, p1, q1, 128);
            EXPECT_TRUE(at128 == 0 || at128 == side) << angle << " " << sine;
            undecidedAt128 += at128 == 0 ? 1 : 0;
            EXPECT_EQ(detail::compareTrigAt(folded, p1, q1, 256), side) << angle << " " << sine;
            // On a radius of q1 x 10^-9 moved by b x 10^-9, the coordinate lies within 2^-118 of a
            // rounding boundary at 8 decimals, and the whole rounding must still decide it.
            const std::int64_t b = ((15 - static_cast<std::int64_t>(p1 % 10)) % 10);
            if (at128 == 0 && q1 < 1'000'000'000'000'000'000) {
                EXPECT_EQ(roundedCoordinate({b, 9}, {static_cast<std::int64_t>(q1), 9},
                                            degreesOf(angle), sine ? Trig::Sin : Trig::Cos, 8),
                          (static_cast<std::int64_t>(p1) + b + 5 * side) / 10)
                    << angle << " " << sine;
            }
        }
    }
    EXPECT_GT(undecidedAt128, 4);
}

}  // namespace
