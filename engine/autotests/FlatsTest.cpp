// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/Flats.h"
#include "engine/autotests/EngineTestSupport.h"
#include "engine/autotests/MpfrYardstick.h"

using namespace morvanta;
using yardstick::Real;

namespace {

FlatsPlan flatsOf(const Inputs& inputs) {
    return planFrom(kFlatsCalculation, planFlats, inputs);
}

// The count, diameter, size across ("" to meet on the round) and decimals; where the flats meet,
// the size across, depth, width and size across corners, worked by hand: three flats 15 across on
// 30 meet on it, 30 sin 60° = 25.98076 wide; 3.625^2 - 2.625^2 = 6.25, so two flats 2.625 apart
// on 3.625 are 2.5 wide, a half. (Flats at random sizes, most meeting inside the round, are
// ManyFlatsAgainstMpfr's, six on 30 pinned, six 25 across on 30 the sheet's below.)
TEST(Flats, FiguresWorkedByHand) {
    const std::tuple<const char*, const char*, const char*, const char*, FlatsMeet, std::int64_t,
                     std::int64_t, std::int64_t, std::int64_t>
        cases[] = {
            {"3", "30", "15", "4", FlatsMeet::OnTheRound, 150'000, 75'000, 259'808, 300'000},
            {"2", "3.625", "2.625", "0", FlatsMeet::Apart, 3, 1, 3, 4},
            {"2", "3.625", "2.625", "1", FlatsMeet::Apart, 26, 5, 25, 36},
        };
    for (const auto& [count, diameter, across, decimals, meet, acrossFlats, depth, width, corners] :
         cases) {
        Inputs inputs{{"count", count}, {"diameter", diameter}, {"decimals", decimals}};
        if (*across != '\0') {
            inputs.set("across", across);
        }
        const FlatsPlan plan = flatsOf(inputs);
        EXPECT_EQ(std::tuple(plan.meet, plan.acrossFlats, plan.depth, plan.width, plan.corners,
                             plan.indexing.count),
                  std::tuple(meet, acrossFlats, depth, width, corners, std::stoll(count)))
            << count << " on " << diameter << " at " << across;
    }
}

// Ten-thousandths as typed: fourDecimals(15) == "0.0015".
std::string fourDecimals(std::int64_t units) {
    return decimal::longDivision(units, 10'000, 4);
}

// Many counts, diameters and sizes across flats against MPFR, which decides where the flats meet
// and works each figure by its formula.
TEST(Flats, ManyFlatsAgainstMpfr) {
    std::mt19937_64 random(6);
    std::uniform_int_distribution<std::int64_t> counts(2, 40);
    std::uniform_int_distribution<std::int64_t> diameters(1, 999'999'999);
    for (int i = 0; i < 300; ++i) {
        const std::int64_t count = counts(random);
        const std::int64_t d = diameters(random);
        const std::int64_t f = std::uniform_int_distribution<std::int64_t>(1, d - 1)(random);
        const int decimals = i % 9;
        const bool given = i % 3 != 0 || count == 2;
        Inputs inputs{{"count", std::to_string(count)},
                      {"diameter", fourDecimals(d)},
                      {"decimals", std::to_string(decimals)}};
        if (given) {
            inputs.set("across", fourDecimals(f));
        }
        const FlatsPlan plan = flatsOf(inputs);
        const Real diameter = Real(static_cast<long>(d)) / Real(10'000);
        const Real t = Real(180) / Real(static_cast<long>(count));
        const Real meetsAt = diameter * yardstick::cosDeg(t);
        const Real across = given ? Real(static_cast<long>(f)) / Real(10'000) : meetsAt;
        SCOPED_TRACE(std::to_string(count) + " on " + fourDecimals(d) + " at " +
                     (given ? fourDecimals(f) : "-"));
        const FlatsMeet meet = !given || (count == 3 && 2 * f == d) ? FlatsMeet::OnTheRound
                               : meetsAt < across                   ? FlatsMeet::Apart
                                                                    : FlatsMeet::Inside;
        ASSERT_EQ(plan.meet, meet);
        EXPECT_EQ(plan.acrossFlats, yardstick::rounded(across, decimals));
        EXPECT_EQ(plan.depth, yardstick::rounded((diameter - across) / Real(2), decimals));
        const Real width = meet == FlatsMeet::Apart
                               ? yardstick::sqrt(diameter * diameter - across * across)
                           : meet == FlatsMeet::Inside ? across * yardstick::tanDeg(t)
                                                       : diameter * yardstick::sinDeg(t);
        EXPECT_EQ(plan.width, yardstick::rounded(width, decimals));
        const Real corners = meet == FlatsMeet::Inside ? across / yardstick::cosDeg(t) : diameter;
        EXPECT_EQ(plan.corners, yardstick::rounded(corners, decimals));
    }
}

// Flats meeting inside the round; those meeting on it are pinned in
// cli/autotests/unchanged-outputs.sha256, those apart are ReportAnswerTest's.
TEST(Flats, SheetSaysHowEachFigureIsFound) {
    const Report report = flatsReport(flatsOf(request("count=6 diameter=30 across=25")));
    EXPECT_EQ(report.title, "Flats: 6 flats on a diameter of 30");
    EXPECT_EQ(std::vector<std::string>(report.notes.begin(), report.notes.begin() + 5),
              (std::vector<std::string>{
                  "Across flats: 25, as given, below 30 x cos(180\u00B0/6) = 25.9808 where the "
                  "flats would meet",
                  "on the round: they meet before it, in sharp corners",
                  "Depth of cut: (30 - 25) / 2 = 2.5000 for each flat, from the top of the round",
                  "Width of each flat: 25 x tan(180\u00B0/6) = 14.4338",
                  "Across corners: 25 / cos(180\u00B0/6) = 28.8675, inside the round",
              }));
}

TEST(Flats, SketchDrawsEachFlatAtHalfTheSizeAcross) {
    const Sketch sketch = flatsSketch(flatsOf(request("count=4 diameter=30 across=20")));
    EXPECT_EQ(sketch.caption, "4 flats on a round of 30, 20.0000 across flats");
    EXPECT_NEAR(sketch.holes.at(0).y, 10.0, 1e-9);  // flat 1 at the top, 10 from the axis
}

}  // namespace
