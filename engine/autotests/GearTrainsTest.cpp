// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "engine/GearTrains.h"
#include "engine/Indexing.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

using listed::Numbers;
// One pair as {driver, 0, driven, 0}, two pairs as {driver, driver, driven, driven}.
using TrainGears = std::array<std::int64_t, 4>;

TrainGears trainGearsOf(const ChangeTrain& train) {
    return {train.drivers[0], train.drivers[1], train.driven[0], train.driven[1]};
}

}  // namespace

// A compound train is named smaller gear first in each pair, whatever the order the gears were
// listed in; a single pair keeps its driver and driven. A gear listed twice is two gears. Four
// gears: one pair of them makes 12 ratios (2, 6/5, 3/2, 5/3, 5/4, 4/3 and their inverses), two
// pairs 6 others (9/10, 5/2, 8/5 and their inverses).
TEST(GearTrains, shouldPutEachPairSmallerFirstWhateverTheOrderListed) {
    for (const Numbers& gears : {Numbers{48, 24, 40, 32}, Numbers{32, 40, 24, 48}}) {
        const auto trains = changeTrains(gears);
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(5, 2))), (TrainGears{40, 48, 24, 32}));
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(8, 5))), (TrainGears{32, 48, 24, 40}));
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(2, 1))), (TrainGears{48, 0, 24, 0}));
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(9, 10))), (TrainGears{24, 48, 32, 40}));
        EXPECT_EQ(trains.size(), 18U);
    }
    EXPECT_TRUE(changeTrains(Numbers{24}).empty());
    const auto twice = changeTrains(Numbers{24, 24});
    ASSERT_EQ(twice.size(), 1U);
    EXPECT_EQ(trainGearsOf(twice.at(Rational::ratio(1, 1))), (TrainGears{24, 0, 24, 0}));
}

// The index sheet takes its trains from the same table. 30 divisions at 40:1 on a 16-hole plate:
// 4/3 turn is on no circle; base 32 (1 turn and 4 holes on 16) needs g = 40 x (32 - 30) / 32 =
// 5/2, which only 48 x 40 / (24 x 32) makes; no other base A makes a ratio of the gears
// (A = 1200 / (40 - g) is whole for none of the other 35, with the crank or against it).
TEST(GearTrains, shouldGiveTheIndexSheetTheSameTrains) {
    const IndexPlan plan = planned(planIndex(request("count=30 plates=16 gears=48,24,40,32")));
    ASSERT_EQ(plan.method, IndexMethod::Differential);
    const DifferentialMove& d = plan.differential.front();
    EXPECT_EQ((Numbers{d.base, d.gearing.numerator(), d.gearing.denominator()}),
              (Numbers{32, 5, 2}));
    EXPECT_EQ(d.train.drivers, (Numbers{40, 48}));
    EXPECT_EQ(d.train.driven, (Numbers{24, 32}));
}
