// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <tuple>

#include "engine/Helix.h"
#include "engine/autotests/EngineTestSupport.h"
#include "engine/autotests/MpfrYardstick.h"

using namespace morvanta;
using yardstick::Real;

namespace {

HelixPlan helixOf(const Inputs& inputs) {
    return planFrom(kHelixCalculation, planHelix, inputs);
}

// The published check: 56 on the worm, 40 and 44 on the stud, 100 on the screw give 6.160 in on a
// 10 in machine, the table swung atan(2 pi / 6.16) = 45.5672...° = 45°34'02" to the second.
TEST(Helix, PublishedTrainForALeadOf6160) {
    const HelixPlan plan = helixOf(request("lead=6.16 diameter=2"));
    EXPECT_EQ(helixCsv(plan).substr(0, 88),
              "gear_on_worm,first_stud,second_stud,gear_on_screw,lead,error\n"
              "56,40,44,100,6.1600,0.0000\n");
    const Sketch sketch = helixSketch(plan);
    EXPECT_EQ(sketch.caption,
              "The table swung 45\u00B034'02\" counter-clockwise for a right-hand helix; gears "
              "from the screw to the worm");
}

// The lead nearest `wanted` of every train of one pair (with an idler) or two pairs the gears make
// on a 10 in machine, each tried in MPFR.
Real nearestLead(const Real& wanted) {
    const listed::Numbers& g = listed::kGears;
    Real best("1e9");
    const auto consider = [&](const Real& lead) {
        if (mpfr_cmpabs((lead - wanted).get(), (best - wanted).get()) < 0) {
            best = lead;
        }
    };
    for (std::size_t a = 0; a < g.size(); ++a) {
        for (std::size_t b = 0; b < g.size(); ++b) {
            if (a == b) {
                continue;
            }
            const Real pair = Real(10) * Real(g[a]) / Real(g[b]);
            consider(pair);
            for (std::size_t c = 0; c < g.size(); ++c) {
                for (std::size_t d = 0; d < g.size(); ++d) {
                    if (c != d && c != a && c != b && d != a && d != b) {
                        consider(pair * Real(g[c]) / Real(g[d]));
                    }
                }
            }
        }
    }
    return best;
}

Real size(const Real& value) {
    Real r;
    mpfr_abs(r.get(), value.get(), MPFR_RNDN);
    return r;
}

Real reachedBy(const HelixTrain& train) {
    return Real(static_cast<long>(train.lead.numerator)) /
           Real(static_cast<long>(train.lead.denominator));
}

// The listed trains come nearest first, the first as near as the nearest of all (within a rounding
// of MPFR's, far below the least step between two trains), and exact where that one is.
TEST(Helix, ChosenTrainIsTheNearestOfEveryTrainTheGearsMake) {
    const Real slack("1e-60");
    for (const char* lead :
         {"1.5", "2.75", "6.16", "9.999", "13.2", "33.3333", "48", "80", "0.1234", "200"}) {
        const HelixPlan plan = helixOf({{"lead", lead}});
        const Real wanted(lead);
        const Real least = size(nearestLead(wanted) - wanted);
        const HelixTrain& chosen = plan.trains.front();
        EXPECT_TRUE(size(reachedBy(chosen) - wanted) < least + slack) << lead;
        EXPECT_EQ(chosen.exact, least < slack) << lead;
        for (std::size_t i = 1; i < plan.trains.size(); ++i) {
            EXPECT_LE(std::abs(plan.trains[i - 1].error), std::abs(plan.trains[i].error)) << lead;
        }
    }
}

// A lead from an angle is irrational: the train is the nearest by MPFR, and the lead wanted, its
// error and the swivel are MPFR's, rounded.
TEST(Helix, LeadFromAnAngleAgainstMpfr) {
    const std::pair<const char*, const char*> cases[] = {
        {"30", "2"}, {"12.5", "0.75"}, {"45", "3.1416"}, {"7.25", "1"}, {"60", "0.5"}, {"1", "4"}};
    for (const auto& [angle, diameter] : cases) {
        const HelixPlan plan = helixOf({{"angle", angle}, {"diameter", diameter}});
        const Real wanted = yardstick::pi() * Real(diameter) / yardstick::tanDeg(Real(angle));
        EXPECT_EQ(*plan.wanted, yardstick::rounded(wanted, 4)) << angle;
        const HelixTrain& chosen = plan.trains.front();
        const Real reached = reachedBy(chosen);
        EXPECT_EQ(mpfr_cmp(reached.get(), nearestLead(wanted).get()), 0) << angle;
        EXPECT_EQ(chosen.error, yardstick::rounded(reached - wanted, 4)) << angle;
        const Real swivel =
            yardstick::atanDeg(yardstick::pi() * Real(diameter) / reached) * Real(3600);
        EXPECT_EQ(*plan.swivel, yardstick::rounded(swivel, 0)) << angle;
    }
}

TEST(Helix, UnitsOfTheWorkAndOfTheMachine) {
    // 150 mm on a 240 mm machine: 5/8, 40 on the worm driven by 64 on the screw.
    const HelixPlan metric =
        helixOf(request("lead=150 units=mm machine-lead=240 machine-units=mm"));
    const ChangeTrain& train = metric.trains.front().train;
    EXPECT_EQ(std::tuple(train.pairs, train.driven[0], train.drivers[0]), std::tuple(1U, 40, 64));
    EXPECT_TRUE(metric.trains.front().exact);
    // A 10 in machine is 254 mm, so 254 mm of lead asks a ratio of 1: no two gears owned are
    // alike, but 24 x 56 = 28 x 48.
    const HelixPlan inMm = helixOf(request("lead=254 units=mm"));
    EXPECT_EQ(inMm.machineLeadInWork, ratioOf(254, 1));
    EXPECT_TRUE(inMm.trains.front().exact);
    // A 200 mm machine is 7.874015... in: 10 in of lead asks 1.27 of it.
    const HelixPlan inches = helixOf(request("lead=10 machine-lead=200 machine-units=mm"));
    EXPECT_EQ(
        helixNotes(inches)[0],
        "Lead of the machine: 200 mm = 7.8740 in, table travel per turn of the work, gears equal");
}

}  // namespace
