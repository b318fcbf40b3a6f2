// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "engine/Indexing.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

using listed::Numbers;
using listed::onPlate;
using listed::Plates;
// The plan of the texts given in the order of the command's words (count, ratio, plates, gears);
// those left off take their defaults.
IndexPlan indexPlanOf(std::initializer_list<std::string_view> texts) {
    Inputs inputs;
    const char* const ids[] = {"count", "ratio", "plates", "gears"};
    for (std::size_t i = 0; const std::string_view text : texts) {
        inputs.set(ids[i++], std::string(text));
    }
    return planned(planIndex(inputs));
}

// A differential plan: its crank move gives the base count, its train (gears owned) makes its
// gearing, and crank and gearing together give the count.
void expectExactDifferential(const DifferentialMove& d, const Plates& plates, std::int64_t ratio,
                             std::int64_t count) {
    // The crank's move is the simple move of the base count: turns + holes / C == R / A.
    EXPECT_EQ((d.move.turns * d.move.circle + d.move.holes) * d.base, ratio * d.move.circle);
    EXPECT_TRUE(onPlate(plates, d.move.plate, d.move.circle));
    // The train makes |g| (drivers x g.den == driven x |g.num|), each gear no more often
    // than it is owned.
    ASSERT_TRUE(d.train.drivers.size() == d.train.driven.size() &&
                (d.train.drivers.size() == 1 || d.train.drivers.size() == 2));
    std::multiset<std::int64_t> used(d.train.drivers.begin(), d.train.drivers.end());
    used.insert(d.train.driven.begin(), d.train.driven.end());
    EXPECT_TRUE(
        std::includes(listed::kGears.begin(), listed::kGears.end(), used.begin(), used.end()));
    const auto product = [](const Numbers& gears) {
        return std::accumulate(gears.begin(), gears.end(), Wide{1}, std::multiplies<>());
    };
    const Wide drivers = product(d.train.drivers), driven = product(d.train.driven);
    const Wide g = d.gearing.numerator(), gd = d.gearing.denominator();
    EXPECT_TRUE(drivers * gd == driven * (g < 0 ? -g : g));
    // R / A + g / N == R / N, times A x gd x N: R gd N + g A == R A gd.
    // The sign of g, the direction, follows: g = R (A - N) / A.
    EXPECT_TRUE(Wide{ratio} * gd * count + g * d.base == Wide{ratio} * d.base * gd);
}

// The checks of every plan, each by cross-multiplying whole numbers: nothing here uses the
// planner's own fractions.
void expectExactPlan(const IndexPlan& plan, const Plates& plates, std::int64_t ratio,
                     std::int64_t count) {
    ASSERT_EQ(plan.method == IndexMethod::Simple, listed::anyCircleGives(plates, ratio, count));
    ASSERT_EQ(plan.method == IndexMethod::None, plan.nearest.has_value());
    for (const HoleMove& m : plan.simple) {
        // turns + holes / circle == ratio / count, and the recommended circle has the fewest holes
        EXPECT_EQ((m.turns * m.circle + m.holes) * count, ratio * m.circle);
        EXPECT_TRUE(m.holes >= 0 && m.holes < m.circle && onPlate(plates, m.plate, m.circle));
        EXPECT_LE(plan.simple.front().circle, m.circle);
    }
    if (plan.compound) {
        const CompoundMove& m = *plan.compound;
        const Wide c1 = m.circle, c2 = m.plateCircle;
        const Wide plate = m.plateBack ? -m.plateHoles : m.plateHoles;
        // turns + holes / c1 + plate / c2 == ratio / count, times c1 x c2 x count
        EXPECT_TRUE(((m.turns * c1 + m.holes) * c2 + plate * c1) * count == ratio * c1 * c2);
        EXPECT_TRUE(m.holes > 0 && m.holes < m.circle && m.plateHoles > 0 &&
                    m.plateHoles < m.plateCircle && m.circle != m.plateCircle);
        EXPECT_TRUE(onPlate(plates, m.plate, m.circle) && onPlate(plates, m.plate, m.plateCircle))
            << ": the two circles are not on one plate";
    }
    for (const DifferentialMove& d : plan.differential) {
        expectExactDifferential(d, plates, ratio, count);
    }
    if (plan.method == IndexMethod::None) {
        listed::expectNoCircleNearer(ratio, count, count - 1, plan.nearest->circle, plates);
    }
}

bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

}  // namespace

// 10 at 1:1 on circles of 4 and 5 holes: at worst 4/10 of a hole of 4 or 5/10 of a hole of 5 off,
// a tenth of a turn each; of two as good, the one with fewer holes.
TEST(Indexing, shouldPreferTheNearestCircleWithFewerHolesOfTwoAsGood) {
    const IndexPlan tie = indexPlanOf({"10", "1", "4/5", "24"});
    ASSERT_TRUE(tie.nearest);
    EXPECT_EQ(tie.nearest->circle, 4);
}

// 8 divisions at 1:1 on a single circle of 4 holes with a single gear: nothing is exact, and every
// other division lies halfway between two holes, (k - 1) / 2 holes from the first. It goes to the
// later hole: 45° is set as 90°, an error of +45° = +162000", the largest, first at division 2.
TEST(Indexing, shouldSetADivisionHalfwayBetweenHolesOnTheLaterHole) {
    const IndexPlan plan = indexPlanOf({"8", "1", "4", "24"});
    ASSERT_EQ(plan.method, IndexMethod::None);
    const Report report = indexReport(plan);
    ASSERT_EQ(report.rows.size(), 8u);
    EXPECT_EQ(report.rows[1],
              (std::vector<std::string>{"2", "45°00'00.0\"", "0", "1", "+162000.00\""}));
    EXPECT_EQ(report.rows[7],
              (std::vector<std::string>{"8", "315°00'00.0\"", "1", "0", "+162000.00\""}));
    EXPECT_EQ(report.footer.front(), "Largest error: 162000.00\" (division 2)");
}

// --plates 20 at 40:1 gives the divisors of 800 simply. 41 from A = 40 (one turn) needs
// g = 40 (40 - 41) / 40 = -1: two 24s, and one 24 alone makes no train.
TEST(Indexing, shouldUseAGearGivenTwiceTwice) {
    const IndexPlan twice = indexPlanOf({"41", "40", "20", "24,24"});
    ASSERT_EQ(twice.method, IndexMethod::Differential);
    const DifferentialMove& d = twice.differential.front();
    EXPECT_EQ((Numbers{d.base, d.gearing.numerator(), d.gearing.denominator(),
                       d.train.drivers.at(0), d.train.driven.at(0)}),
              (Numbers{40, -1, 1, 24, 24}));
    EXPECT_EQ(indexPlanOf({"41", "40", "20", "24"}).method, IndexMethod::None);
}

// The division table, and so the CSV, stops at 10000 divisions; the plan does not. (The rules
// between the inputs are CalculationTest's.)
TEST(Indexing, shouldMakeTheCsvUpTo10000Divisions) {
    const auto csvOf = [](std::string_view count) {
        return *planned(makeRequest(kIndexCalculation, {{"count", count}})).csv;
    };
    EXPECT_TRUE(csvOf("10000").ok());
    EXPECT_EQ(said(csvOf("10001").refusal),
              "csv: {csv} holds the division table, made for counts up to 10000; 10001 divisions "
              "are more (10000, 10001)");
}

// The plans of the counts to 1000 at 40:1 and to 500 at three other ratios, for both plate sets,
// re-checked with whole-number arithmetic of their own: every count to 120 (383 at 40:1 on Brown &
// Sharpe, all reached simply or differentially but 383), every seventh, and every one with no
// exact plan. The survey must choose the method the single plan does.
TEST(IndexingProperty, shouldMakeEveryPlanExact) {
    const struct {
        const char* name;
        const Plates* plates;
    } sets[] = {{"bs", &listed::kBrownSharpe}, {"cincinnati", &listed::kCincinnati}};
    for (const auto& set : sets) {
        for (const char* ratioText : {"40", "60", "72", "90"}) {
            const IndexHead head = planned(indexHead(planned(readInputs(
                kIndexCalculation, {{"count", "1"}, {"ratio", ratioText}, {"plates", set.name}}))));
            const std::int64_t ratio = std::stoll(ratioText);
            const std::int64_t last = ratio == 40 ? 1000 : 500;
            const auto surveyRows = csvRows(surveyCsv({head, 1, last}));
            ASSERT_EQ(surveyRows.size(), static_cast<std::size_t>(last) + 1);
            for (std::int64_t count = 1; count <= last; ++count) {
                const auto& row = surveyRows[static_cast<std::size_t>(count)];
                ASSERT_EQ(row.size(), 10u) << count;
                const bool usual = set.plates == &listed::kBrownSharpe && ratio == 40;
                if (count > (usual ? 383 : 120) && count % 7 != 0 && count != last &&
                    row[1] != "none") {
                    continue;
                }
                SCOPED_TRACE(std::string(set.name) + " " + ratioText + ":1, " +
                             std::to_string(count));
                const IndexPlan plan = indexPlan(head, count);
                expectExactPlan(plan, *set.plates, ratio, count);
                if (usual && count <= 383) {
                    EXPECT_EQ(plan.simple.empty() && plan.differential.empty(), count == 383);
                }
                EXPECT_EQ(row[1], methodName(plan.method));
            }
        }
    }
}

// The words of a plan follow the head given: the plate named only where there are several (that it
// is named then is ReportAnswerTest's), one turn said in the singular.
TEST(Indexing, shouldWordThePlanForTheHeadItWasGiven) {
    EXPECT_TRUE(hasLine(madeOf("index count=6 plates=15,16,17").sheet.write(),
                        "Move: 6 turns and 10 holes on the 15-hole circle for each division"));
    const std::string one = madeOf("index count=3 ratio=1").sheet.write();
    EXPECT_TRUE(hasLine(one, "Head: 1:1, 1 crank turn for one turn of the work")) << one;
    EXPECT_TRUE(
        one.ends_with("\n1 crank turn in all, one whole turn of the work (360°00'00.0\"): division "
                      "1 again, exactly\n"))
        << one;
}
