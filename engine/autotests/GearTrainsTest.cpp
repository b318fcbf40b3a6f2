// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "engine/GearTrains.h"
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
// listed in; a single pair keeps its driver and driven. Four gears: one pair of them makes 12
// ratios (2, 6/5, 3/2, 5/3, 5/4, 4/3 and their inverses), two pairs 6 others (9/10, 5/2, 8/5 and
// their inverses). (A gear listed twice is IndexingTest's.)
TEST(GearTrains, shouldPutEachPairSmallerFirstWhateverTheOrderListed) {
    for (const Numbers& gears : {Numbers{48, 24, 40, 32}, Numbers{32, 40, 24, 48}}) {
        const auto trains = changeTrains(gears);
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(5, 2))), (TrainGears{40, 48, 24, 32}));
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(8, 5))), (TrainGears{32, 48, 24, 40}));
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(2, 1))), (TrainGears{48, 0, 24, 0}));
        EXPECT_EQ(trainGearsOf(trains.at(Rational::ratio(9, 10))), (TrainGears{24, 48, 32, 40}));
        EXPECT_EQ(trains.size(), 18U);
    }
}
