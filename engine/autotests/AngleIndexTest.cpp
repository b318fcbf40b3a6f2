// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/AngleIndexing.h"
#include "engine/InputReading.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

AngleIndexPlan angleIndexPlanOf(const Inputs& inputs) {
    return planFrom(kAngleIndexCalculation, planAngleIndex, inputs);
}

// Whether two circles of one plate give num / den turns, by trying every pair of moves.
bool anyCompound(Wide num, Wide den) {
    for (const auto& plate : listed::kBrownSharpe) {
        for (const std::int64_t c1 : plate) {
            for (const std::int64_t c2 : plate) {
                for (std::int64_t a = 1; c1 != c2 && a < c1; ++a) {
                    for (std::int64_t b = -(c2 - 1); b < c2; ++b) {
                        // w + a/c1 + b/c2 = num/den for a whole w >= 0
                        const Wide over = num * c1 * c2 - den * (a * c2 + b * c1);
                        if (b != 0 && over >= 0 && over % (den * c1 * c2) == 0) {
                            return true;
                        }
                    }
                }
            }
        }
    }
    return false;
}

// The crank's move T' = (W C + H) / C and the gearing g = +-drivers / driven of a differential plan
// give T = A x 40 / 360 for A = units / scale degrees: times 360 x scale x C x driven,
// (W C + H) x driven x 360 scale + g' x units x C = 40 x units x C x driven.
bool differentialHolds(const AngleDifferential& d, std::int64_t units, std::int64_t scale) {
    Wide drivers = d.train.drivers[0];
    Wide driven = d.train.driven[0];
    if (d.train.pairs == 2) {
        drivers *= d.train.drivers[1];
        driven *= d.train.driven[1];
    }
    const bool owned =
        std::all_of(d.train.drivers, d.train.drivers + d.train.pairs, [](std::int64_t g) {
            return std::count(listed::kGears.begin(), listed::kGears.end(), g) > 0;
        });
    const Wide g = d.gearing.numerator() < 0 ? -drivers : drivers;
    const Wide c = d.move.circle;
    return owned && (d.move.turns * c + d.move.holes) * driven * 360 * scale + g * units * c ==
                        Wide{40} * units * c * driven;
}

// Every plan checked by cross-multiplying whole numbers, T = A x 40 / 360 = num / den turns:
// the move it gives must be T exactly, the method the first that can give it. None of these
// falls to the gears on these plates; the next test's do.
TEST(AngleIndex, EveryMoveIsTheAngleExactlyOrTheNearestHole) {
    std::mt19937_64 random(35);
    std::uniform_int_distribution<std::int64_t> tenThousandths(1, 3'600'000);
    for (int i = 0; i < 150; ++i) {
        // Whole degrees, then tenths, then ten-thousandths of a degree.
        const std::int64_t drawn = tenThousandths(random);
        const std::int64_t units = i < 50    ? std::max<std::int64_t>(drawn / 10'000, 1) * 10'000
                                   : i < 100 ? std::max<std::int64_t>(drawn / 1'000, 1) * 1'000
                                             : drawn;
        const std::string text = decimal::longDivision(units, 10'000, 4);
        const AngleIndexPlan plan = angleIndexPlanOf({{"angle", text}, {"repeat", "3"}});
        const Wide num = static_cast<Wide>(units) * 40;
        const Wide den = static_cast<Wide>(10'000) * 360;
        ASSERT_EQ(plan.method == IndexMethod::Simple,
                  listed::anyCircleGives(listed::kBrownSharpe, num, den))
            << text;
        if (plan.method == IndexMethod::Simple) {
            const HoleMove& m = plan.simple.front();
            EXPECT_TRUE((m.turns * m.circle + m.holes) * den == num * m.circle) << text;
        } else if (plan.method == IndexMethod::Compound) {
            const CompoundMove& m = *plan.compound;
            const Wide plate = m.plateBack ? -m.plateHoles : m.plateHoles;
            EXPECT_TRUE(((m.turns * m.circle + m.holes) * m.plateCircle + plate * m.circle) * den ==
                        num * m.circle * m.plateCircle)
                << text;
            EXPECT_TRUE(listed::onPlate(listed::kBrownSharpe, m.plate, m.circle) &&
                        listed::onPlate(listed::kBrownSharpe, m.plate, m.plateCircle))
                << text;
        } else {
            EXPECT_FALSE(anyCompound(num, den)) << text;
            // Each step on the hole nearest its own exact place: |hole x den - k num C| <= den / 2.
            for (std::int64_t k = 0; k <= 3; ++k) {
                const AnglePlace place = anglePlace(plan, k);
                const Wide c = plan.nearest->circle;
                const Wide off = (place.turns * c + place.holes) * den - k * num * c;
                EXPECT_TRUE(2 * off <= den && 2 * off > -den) << text << " step " << k;
                EXPECT_EQ(angleError(plan, k), Rational::ratio(off, c * den)) << text;
            }
        }
    }
}

// On a plate of one 20-hole circle no compound move exists, so the whole degrees that 20 holes do
// not give are left to the gears or to the nearest hole.
TEST(AngleIndex, WholeDegreesOnOneCircleByTheGears) {
    int differential = 0;
    for (std::int64_t degrees = 1; degrees <= 360; ++degrees) {
        const AngleIndexPlan plan =
            angleIndexPlanOf({{"angle", std::to_string(degrees)}, {"plates", "20"}});
        const std::string where = std::to_string(degrees);
        // 20 holes give d x 40 / 360 = d / 9 turns when 9 divides 20 d.
        ASSERT_EQ(plan.method == IndexMethod::Simple, degrees % 9 == 0) << where;
        if (plan.method == IndexMethod::Differential) {
            EXPECT_TRUE(differentialHolds(*plan.differential, degrees, 1)) << where;
            ++differential;
        }
    }
    EXPECT_GT(differential, 100);
}

// 10° on a plate of one 20-hole circle: 10/9 turns, which no circle gives; 1 1/10 turns (1 turn
// and 2 holes) while 40 on the spindle drives 100 on the plate: 11/10 + 2/5 x 10/360 = 10/9.
TEST(AngleIndex, DifferentialWorkedByHand) {
    const AngleIndexPlan plan = angleIndexPlanOf(request("angle=10 plates=20 repeat=3"));
    ASSERT_EQ(plan.method, IndexMethod::Differential);
    const Report report = angleIndexReport(plan);
    EXPECT_NE(std::find(report.notes.begin(), report.notes.end(),
                        "Check: 11/10 + (2/5) x 10\u00B0 / 360\u00B0 = 10/9 exactly"),
              report.notes.end());
    EXPECT_EQ(report.rows[3], (std::vector<std::string>{"3", "30\u00B000'00.0\"", "3", "6"}));
}

// 0.225° on 20 holes is 1/40 turn, half a hole: the later hole, 810" over (1/40 turn of the crank
// is 9/40°). 8.9° is 89/90 turn, most simply one turn and a hole on 18 with the plate a hole back
// on 15: 1 + 1/18 - 1/15 = 89/90, the crank past the whole turns it needs.
TEST(AngleIndex, HalfHoleGoesToTheLaterHoleAndCompoundPastTheWholeTurns) {
    const AngleIndexPlan half = angleIndexPlanOf(request("angle=0.225 plates=20"));
    ASSERT_EQ(half.method, IndexMethod::None);
    const Report report = angleIndexReport(half);
    EXPECT_NE(
        std::find(report.notes.begin(), report.notes.end(),
                  "Angle reached: 0\u00B027'00.0\", error +810.00\" (angle reached minus angle "
                  "wanted)"),
        report.notes.end());
    const AngleIndexPlan compound = angleIndexPlanOf(request("angle=8.9"));
    ASSERT_EQ(compound.method, IndexMethod::Compound);
    const CompoundMove& m = *compound.compound;
    EXPECT_EQ(std::tuple(m.turns, m.holes, m.circle, m.plateHoles, m.plateCircle, m.plateBack),
              std::tuple(1, 1, 18, 1, 15, true));
}

// The nearest circle is the one whose largest error over the steps is the smallest, each error
// worked here by brute force on every circle.
TEST(AngleIndex, NearestCircleErrsLeastOverAllSteps) {
    for (const char* angle : {"17:30:15", "0.0001", "51.43", "359.99", "7.13"}) {
        for (const std::int64_t steps : {1, 7, 40}) {
            const AngleIndexPlan plan =
                angleIndexPlanOf({{"angle", angle}, {"repeat", std::to_string(steps)}});
            ASSERT_EQ(plan.method, IndexMethod::None) << angle;
            const Wide num = static_cast<Wide>(plan.angle.numerator()) * 40;
            const Wide den = static_cast<Wide>(plan.angle.denominator()) * 360;
            SCOPED_TRACE(std::string(angle) + " in " + std::to_string(steps) + " steps");
            listed::expectNoCircleNearer(num, den, steps, plan.nearest->circle,
                                         listed::kBrownSharpe);
        }
    }
}

struct Written {
    const char* text;
    std::int64_t numerator, denominator;
};

TEST(AngleIndex, AnglesReadInDegreesMinutesAndSeconds) {
    const Input& input = kAngleIndexCalculation.inputs.front();
    const Written good[] = {
        // clang-format off
        {"17d30m15s", 4201, 240}, {"17\u00B030'15\"", 4201, 240}, {"17:30:15", 4201, 240},
        {"17d30m", 35, 2}, {"17:30", 35, 2}, {"0d0m0.0001s", 1, 36'000'000}, {"12.25", 49, 4},
        {"359:59:59.9999", 12'959'999'999, 36'000'000}, {"360d", 360, 1},
        // clang-format on
    };
    for (const Written& w : good) {
        EXPECT_EQ(planned(readInput(input, w.text)).angle, Angle::ratio(w.numerator, w.denominator))
            << w.text;
    }
    const auto refusal = [&](const char* text) { return readInput(input, text).refusal(); };
    EXPECT_EQ(said(refusal("17d75m")),
              "angle: {angle} must have its minutes below 60; 17d75m has 75 (60, 75)");
    EXPECT_EQ(refusal("17d59m60s").value, "60");
    EXPECT_EQ(refusal("17d30m15.12345s").text,
              "{angle} may have at most 4 decimals in its seconds; 17d30m15.12345s has 5");
    EXPECT_EQ(refusal("1000d").text,
              "{angle} may have at most 3 digits in its degrees; 1000d has 4");
    EXPECT_EQ(refusal("360d0m0.0001s").limit, "360");
    EXPECT_EQ(refusal("0d").limit, "0");
    for (const char* text :
         {"17d30", "17d15s", "17:30:", "d30m", "17d30m15", "17:30:15:1", "17.5d"}) {
        EXPECT_NE(refusal(text).text.find("is not written so"), std::string::npos) << text;
    }
}

TEST(AngleIndex, SketchShowsThePlateTheCircleInUseAndTheSectorArms) {
    const Sketch sketch = angleIndexSketch(angleIndexPlanOf(request("angle=35")));
    EXPECT_EQ(sketch.caption,
              "The 18-hole circle (plate 1): 3 turns and 16 holes on the 18-hole circle (plate 1) "
              "for each step; the sector arms 16 spaces apart");
    ASSERT_EQ(sketch.circles.size(), 6U);
    EXPECT_EQ(sketch.circles[3].ink, Ink::Accent);  // 15, 16, 17, 18
    ASSERT_EQ(sketch.arcs.size(), 1U);
    EXPECT_DOUBLE_EQ(sketch.arcs[0].sweep, -320.0);
}

}  // namespace
