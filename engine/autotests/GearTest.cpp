// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "engine/Gear.h"
#include "engine/autotests/EngineTestSupport.h"
#include "engine/autotests/MpfrYardstick.h"

using namespace morvanta;
using yardstick::Real;

namespace {

GearPlan gearOf(const Inputs& inputs) {
    return planFrom(kGearCalculation, planGear, inputs);
}

// The standard eight at every edge of every range, and below the set.
TEST(Gear, CutterOfTheEightByToothCountAtEveryBoundary) {
    const std::pair<std::int64_t, int> cases[] = {
        {1, 0},  {11, 0}, {12, 8}, {13, 8}, {14, 7}, {16, 7}, {17, 6},  {20, 6},  {21, 5},
        {25, 5}, {26, 4}, {34, 4}, {35, 3}, {54, 3}, {55, 2}, {134, 2}, {135, 1}, {10000, 1},
    };
    for (const auto& [teeth, cutter] : cases) {
        EXPECT_EQ(cutterNumber(teeth), cutter) << teeth << " teeth";
    }
    EXPECT_EQ(cutterRange(1), "135 teeth to a rack");
    EXPECT_EQ(cutterRange(8), "12 and 13 teeth");
}

TEST(Gear, SpurSizesAreExactAndCorrectlyRounded) {
    // The teeth, "module" or "dp" and the size; the pitch and outside diameters and the depth
    // worked by hand, in 10^-3 mm or 10^-4 in, and the cutter.
    const std::tuple<const char*, const char*, const char*, std::int64_t, std::int64_t,
                     std::int64_t, int>
        cases[] = {
            // 13 x 1.25 = 16.25, 15 x 1.25 = 18.75, 2.25 x 1.25 = 2.8125: the half away from 0
            {"13", "module", "1.25", 16'250, 18'750, 2'813, 8},
            // 2.157 / 4 = 0.53925, a half; 12 / 4 = 3, 14 / 4 = 3.5
            {"12", "dp", "4", 30'000, 35'000, 5'393, 8},
            // 20 / 7 = 2.857142..., 22 / 7 = 3.142857..., 2.157 / 7 = 0.308142...
            {"20", "dp", "7", 28'571, 31'429, 3'081, 6},
        };
    for (const auto& [teeth, option, size, pitch, outside, depth, cutter] : cases) {
        const GearPlan plan = gearOf({{"count", teeth}, {option, size}});
        EXPECT_EQ(std::tuple(plan.pitch, plan.outside, plan.depth, plan.cutter),
                  std::tuple(pitch, outside, depth, cutter))
            << teeth << " " << option << " " << size;
    }
}

TEST(Gear, HelicalSizesAgainstMpfr) {
    // The teeth, "module" or "dp", the size and the helix angle (30 on module 2 at 20° is pinned;
    // the cutter is the next test's).
    const std::array<const char*, 4> cases[] = {
        {"30", "dp", "8", "20"},         {"12", "module", "1", "45"},
        {"97", "module", "3.5", "12.5"}, {"26", "dp", "6", "22.123456"},
        {"7", "module", "0.75", "80"},   {"200", "dp", "24", "0.5"},
    };
    for (const auto& [teeth, option, size, helix] : cases) {
        const GearPlan plan = gearOf({{"count", teeth}, {option, size}, {"helix", helix}});
        const bool module = std::string(option) == "module";
        const int decimals = module ? 3 : 4;
        const Real n(teeth);
        const Real a = module ? Real(size) : Real(1) / Real(size);
        const Real cosine = yardstick::cosDeg(Real(helix));
        const Real pitch = n * a / cosine;
        const Real formative = n / (cosine * cosine * cosine);
        SCOPED_TRACE(std::string(teeth) + " " + option + " " + size + " " + helix);
        EXPECT_EQ(*plan.transverse, module ? yardstick::rounded(a / cosine, 3)
                                           : yardstick::rounded(Real(size) * cosine, 4));
        EXPECT_EQ(plan.pitch, yardstick::rounded(pitch, decimals));
        EXPECT_EQ(plan.outside, yardstick::rounded(pitch + Real(2) * a, decimals));
        EXPECT_EQ(*plan.formative, yardstick::rounded(formative, 2));
        const Real lead = yardstick::pi() * n * a / yardstick::sinDeg(Real(helix));
        EXPECT_EQ(*plan.lead->wanted, yardstick::rounded(lead, decimals));
    }
}

// 26 teeth reach 35 formative teeth at the helix angle acos((26/35)^(1/3)): a millionth of a
// degree below it the cutter is No. 4, a millionth above it No. 3; and 54 / 135 likewise.
TEST(Gear, HelicalCutterChangesExactlyWhereTheFormativeCountCrossesARange) {
    for (const auto& [teeth, start, below, above] :
         {std::tuple{26L, 35L, 4, 3}, std::tuple{54L, 135L, 2, 1}, std::tuple{13L, 14L, 8, 7}}) {
        Real ratio = Real(teeth) / Real(start);
        mpfr_cbrt(ratio.get(), ratio.get(), MPFR_RNDN);
        Real crossing;
        mpfr_acos(crossing.get(), ratio.get(), MPFR_RNDN);
        crossing = crossing * Real(180'000'000) / yardstick::pi();
        mpfr_floor(crossing.get(), crossing.get());
        const long micro = static_cast<long>(crossing.toDouble());
        for (const auto& [at, cutter] : {std::pair{micro, below}, std::pair{micro + 1, above}}) {
            const std::string helix = decimal::longDivision(at, 1'000'000, 6);
            const GearPlan plan =
                gearOf({{"count", std::to_string(teeth)}, {"module", "1"}, {"helix", helix}});
            EXPECT_EQ(plan.cutter, cutter) << teeth << " teeth at " << helix;
        }
    }
}

// The rest of a helical gear's sheet is pinned in cli/autotests/unchanged-outputs.sha256.
TEST(Gear, HelicalGearNamesItsHand) {
    const GearPlan plan = gearOf(request("count=30 module=2 helix=20 hand=left"));
    EXPECT_EQ(gearReport(plan).title,
              "Helical gear: 30 teeth, normal module 2 mm, 20\u00B0 pressure angle, helix 20\u00B0 "
              "left hand");
}

TEST(Gear, SketchNamesTheBlankAndEachToothSpace) {
    const Sketch sketch = gearSketch(gearOf(request("count=30 module=2")));
    EXPECT_EQ(sketch.caption,
              "30 teeth, module 2 mm: the blank \u230064.000 mm, cut 4.500 mm deep");
    EXPECT_EQ(sketch.holes.size(), 30U);
}

}  // namespace
