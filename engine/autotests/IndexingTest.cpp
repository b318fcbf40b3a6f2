// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/Indexing.h"

using namespace morvanta;

namespace {

__extension__ using Wide = __int128;
using Plates = std::vector<std::vector<std::int64_t>>;

// The plates and gears as the makers list them, typed here again rather than read from the
// planner, so that a wrong circle in the planner's tables cannot pass unseen.
const Plates kBrownSharpe = {
    {15, 16, 17, 18, 19, 20}, {21, 23, 27, 29, 31, 33}, {37, 39, 41, 43, 47, 49}};
const Plates kCincinnati = {{24, 25, 28, 30, 34, 37, 38, 39, 41, 42, 43},
                            {46, 47, 49, 51, 53, 54, 57, 58, 59, 62, 66}};
const std::vector<std::int64_t> kGears = {24, 28, 32, 40, 44, 48, 56, 64, 72, 86, 100};

IndexHead headOf(const char* ratio, const char* plates, const char* gears = nullptr) {
    const Result<IndexHead> head =
        indexHead(ratio, plates, gears ? std::optional<std::string_view>(gears) : std::nullopt);
    EXPECT_TRUE(head.ok()) << head.message();
    return head.ok() ? head.value() : IndexHead{};
}

IndexPlan planOf(const IndexArguments& arguments) {
    const Result<IndexPlan> plan = planIndex(arguments);
    EXPECT_TRUE(plan.ok()) << plan.message();
    return plan.ok() ? plan.value() : IndexPlan{};
}

bool onPlate(const Plates& plates, std::size_t plate, std::int64_t circle) {
    return plate < plates.size() &&
           std::find(plates[plate].begin(), plates[plate].end(), circle) != plates[plate].end();
}

bool anyCircleGives(const Plates& plates, std::int64_t ratio, std::int64_t count) {
    for (const auto& plate : plates) {
        for (const std::int64_t circle : plate) {
            if (ratio * circle % count == 0) {
                return true;
            }
        }
    }
    return false;
}

// Each tooth count used no more often than it is owned.
bool ownedGears(const GearTrain& train, const std::vector<std::int64_t>& owned) {
    std::map<std::int64_t, int> left;
    for (const std::int64_t gear : owned) {
        ++left[gear];
    }
    for (const auto* side : {&train.drivers, &train.driven}) {
        for (const std::int64_t gear : *side) {
            if (--left[gear] < 0) {
                return false;
            }
        }
    }
    return true;
}

// The checks of every plan, each by cross-multiplying whole numbers: nothing here uses the
// planner's own fractions.
void expectExactPlan(const IndexPlan& plan, const Plates& plates, std::int64_t ratio,
                     std::int64_t count, const std::string& where) {
    const bool simple = anyCircleGives(plates, ratio, count);
    ASSERT_EQ(plan.method == IndexMethod::Simple, simple) << where;
    std::int64_t smallest = 0;
    for (const HoleMove& move : plan.simple) {
        // turns + holes / circle == ratio / count
        EXPECT_EQ((move.turns * move.circle + move.holes) * count, ratio * move.circle) << where;
        EXPECT_TRUE(move.holes >= 0 && move.holes < move.circle) << where;
        EXPECT_TRUE(onPlate(plates, move.plate, move.circle)) << where;
        smallest = smallest == 0 ? move.circle : std::min(smallest, move.circle);
    }
    if (simple) {
        EXPECT_EQ(plan.simple.front().circle, smallest) << where << ": not the fewest holes";
    }
    if (plan.compound) {
        const CompoundMove& m = *plan.compound;
        const Wide c1 = m.circle, c2 = m.plateCircle;
        const Wide plate = m.plateBack ? -m.plateHoles : m.plateHoles;
        // turns + holes / c1 + plate / c2 == ratio / count, times c1 x c2 x count
        EXPECT_TRUE(((m.turns * c1 + m.holes) * c2 + plate * c1) * count == ratio * c1 * c2)
            << where;
        EXPECT_TRUE(m.holes > 0 && m.holes < m.circle && m.plateHoles > 0 &&
                    m.plateHoles < m.plateCircle && m.circle != m.plateCircle)
            << where;
        EXPECT_TRUE(onPlate(plates, m.plate, m.circle) && onPlate(plates, m.plate, m.plateCircle))
            << where << ": the two circles are not on one plate";
        EXPECT_EQ(plan.method, IndexMethod::Compound) << where;
    }
    for (const DifferentialMove& d : plan.differential) {
        const HoleMove& move = d.move;
        // The crank's move is the simple move of the base count: turns + holes / C == R / A.
        EXPECT_EQ((move.turns * move.circle + move.holes) * d.base, ratio * move.circle) << where;
        EXPECT_TRUE(onPlate(plates, move.plate, move.circle)) << where;
        // The train makes |g|: drivers / driven == |g.num| / g.den.
        ASSERT_TRUE(d.train.drivers.size() == d.train.driven.size() &&
                    (d.train.drivers.size() == 1 || d.train.drivers.size() == 2))
            << where;
        Wide drivers = 1, driven = 1;
        for (std::size_t i = 0; i < d.train.drivers.size(); ++i) {
            drivers *= d.train.drivers[i];
            driven *= d.train.driven[i];
        }
        const Wide g = d.gearing.numerator, gd = d.gearing.denominator;
        EXPECT_TRUE(drivers * gd == driven * (g < 0 ? -g : g)) << where;
        EXPECT_TRUE(ownedGears(d.train, kGears)) << where;
        // R / A + g / N == R / N, times A x gd x N: R gd N + g A == R A gd.
        EXPECT_TRUE(Wide{ratio} * gd * count + g * d.base == Wide{ratio} * d.base * gd) << where;
        EXPECT_EQ(g > 0, d.base > count) << where << ": the direction";
    }
    if (plan.method == IndexMethod::Differential) {
        EXPECT_FALSE(plan.compound) << where;
        EXPECT_FALSE(plan.differential.empty()) << where;
    }
    EXPECT_EQ(plan.method == IndexMethod::None, plan.nearest.has_value()) << where;
    if (plan.method == IndexMethod::None) {
        EXPECT_TRUE(plan.differential.empty() && !plan.compound) << where;
        // No circle may have a smaller largest error, found by trying every division: the error
        // of division k on circle C is |round(k R C / N) - k R C / N| / C crank turns.
        const auto largest = [&](std::int64_t circle) {
            std::int64_t worst = 0;  // in units of 1 / N of a hole
            for (std::int64_t k = 0; k < count; ++k) {
                const std::int64_t off = k * ratio * circle % count;
                worst = std::max(worst, std::min(off, count - off));
            }
            return worst;
        };
        const std::int64_t chosen = largest(plan.nearest->circle);
        for (const auto& p : plates) {
            for (const std::int64_t circle : p) {
                EXPECT_LE(chosen * circle, largest(circle) * plan.nearest->circle)
                    << where << ": circle " << circle << " is nearer";
            }
        }
    }
}

std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        std::string cell;
        while (std::getline(fields, cell, ',')) {
            cells.push_back(cell);
        }
        if (!line.empty() && line.back() == ',') {
            cells.push_back("");
        }
        rows.push_back(cells);
    }
    return rows;
}

std::int64_t whole(const std::string& text) {
    return std::stoll(text);
}

// Each row of the division table, read back from the CSV: the angle within a twentieth of a
// second of (k - 1) x 360° / N, and the crank where the plan puts it after k - 1 moves.
void expectDivisionTable(const IndexPlan& plan, std::int64_t ratio, const std::string& where) {
    const std::int64_t count = plan.count;
    const auto rows = csvRows(indexCsv(plan));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(count) + 1) << where;
    for (std::int64_t k = 1; k <= count; ++k) {
        const auto& row = rows[static_cast<std::size_t>(k)];
        ASSERT_GE(row.size(), 7u) << where;
        EXPECT_EQ(whole(row[0]), k) << where;
        const std::string& seconds = row[3];
        const std::size_t point = seconds.find('.');
        ASSERT_NE(point, std::string::npos) << where;
        const std::int64_t tenths =
            ((whole(row[1]) * 60 + whole(row[2])) * 60 + whole(seconds.substr(0, point))) * 10 +
            whole(seconds.substr(point + 1));
        const Wide exactTimesCount = Wide{k - 1} * 12'960'000;  // tenths of a second x N
        const Wide off = Wide{tenths} * count - exactTimesCount;
        EXPECT_TRUE(2 * (off < 0 ? -off : off) <= count) << where << " division " << k;
        const std::int64_t turns = whole(row[4]), holes = whole(row[5]), circle = whole(row[6]);
        const Wide crank = Wide{turns} * circle + holes;  // holes from the first division
        const Wide done = k - 1;
        switch (plan.method) {
            case IndexMethod::Simple:
                EXPECT_TRUE(crank * count == done * ratio * circle) << where << " division " << k;
                break;
            case IndexMethod::Differential:
                EXPECT_TRUE(crank * plan.differential.front().base == done * ratio * circle)
                    << where << " division " << k;
                break;
            case IndexMethod::Compound: {
                const CompoundMove& m = *plan.compound;
                EXPECT_TRUE(crank == done * (m.turns * m.circle + m.holes)) << where;
                const std::int64_t plate = done * m.plateHoles % m.plateCircle;
                EXPECT_EQ(whole(row[7]), m.plateBack ? -plate : plate) << where;
                EXPECT_EQ(whole(row[8]), m.plateCircle) << where;
                break;
            }
            case IndexMethod::None: {
                const Wide away = crank * count - done * ratio * circle;
                EXPECT_TRUE(-count < 2 * away && 2 * away <= count)
                    << where << " division " << k << ": not the nearest hole";
                break;
            }
        }
    }
}

}  // namespace

// Brown & Sharpe at 40:1: 40 / N needs a circle that N / gcd(40, N) divides. 96: 40/96 = 5/12,
// and no plate has 24, 36 or 48 holes.
TEST(Indexing, shouldIndexEveryCountToFiftyAndEveryEvenCountToHundredButNinetySixSimply) {
    const Result<SurveyPlan> survey = planSurvey({"1", "100"});
    ASSERT_TRUE(survey.ok());
    for (const SurveyEntry& entry : surveyEntries(survey.value())) {
        const bool expected = entry.count <= 50 || (entry.count % 2 == 0 && entry.count != 96);
        if (expected) {
            EXPECT_EQ(entry.method, IndexMethod::Simple) << entry.count;
        }
    }
    EXPECT_NE(surveyEntries({headOf("40", "bs"), 96, 96}).front().method, IndexMethod::Simple);
}

// With the default gears every count from 1 to 382 has a simple or a differential plan; 383 is
// prime and no base count near it is reached by the gears.
TEST(Indexing, shouldReachEveryCountToThreeHundredEightyTwoWithDifferentialIndexing) {
    const IndexHead head = headOf("40", "bs");
    for (std::int64_t count = 1; count <= 382; ++count) {
        const IndexPlan plan = indexPlan(head, count);
        EXPECT_TRUE(!plan.simple.empty() || !plan.differential.empty()) << count;
    }
    const IndexPlan plan = indexPlan(head, 383);
    EXPECT_EQ(plan.method, IndexMethod::None);
    EXPECT_TRUE(plan.differential.empty());
}

// 40/6 = 6 2/3 = 6 + 10/15 = 6 + 12/18 = 6 + 14/21 = 6 + 18/27 = 6 + 22/33 = 6 + 26/39.
// 90/63 = 1 27/63 = 1 3/7 = 1 + 9/21 = 1 + 21/49. 90/21 = 4 6/21 = 4 2/7 = 4 + 14/49.
TEST(Indexing, shouldGiveTheWorkedSimpleMoves) {
    const struct {
        const char* count;
        const char* ratio;
        std::vector<std::vector<std::int64_t>> moves;  // turns, holes, circle, plate; first chosen
    } cases[] = {
        {"6",
         "40",
         {{6, 10, 15, 0},
          {6, 12, 18, 0},
          {6, 14, 21, 1},
          {6, 18, 27, 1},
          {6, 22, 33, 1},
          {6, 26, 39, 2}}},
        {"63", "90", {{1, 9, 21, 1}, {1, 21, 49, 2}}},
        {"21", "90", {{4, 6, 21, 1}, {4, 14, 49, 2}}},
        {"8", "40", {{5, 0, 15, 0}}},
    };
    for (const auto& c : cases) {
        const IndexPlan plan = planOf({c.count, c.ratio});
        EXPECT_EQ(plan.method, IndexMethod::Simple) << c.count;
        std::vector<std::vector<std::int64_t>> moves;
        for (const HoleMove& m : plan.simple) {
            moves.push_back({m.turns, m.holes, m.circle, static_cast<std::int64_t>(m.plate)});
        }
        if (std::string(c.count) == "8") {
            moves.resize(1);  // whole turns: every circle gives it
        }
        EXPECT_EQ(moves, c.moves) << c.count;
    }
}

// 57: A = 56, g = 40 (56 - 57) / 56 = -5/7 = 40/56 against; 40/56 - 5/(7 x 57) = 285/399 -
// 5/399 = 280/399 = 40/57. 97: A = 100, g = 40 x 3 / 100 = 6/5 = 48/40 with; 2/5 + 6/485 =
// 200/485 = 40/97. 127: A = 120, g = 40 (-7) / 120 = -7/3 = 56/24 against; 1/3 - 7/381 =
// 120/381 = 40/127. Each A is the nearest that one pair reaches: 58 (g = 20/29), 96 (5/12), 98
// (20/49), 99 (80/99), 128 (5/16), 126 and 125 (not simple) need a gear with 29, 7 x 7, 11 x 9 or
// two pairs.
TEST(Indexing, shouldGiveTheWorkedDifferentialPlans) {
    const struct {
        const char* count;
        std::int64_t base;
        Fraction gearing;
        GearTrain train;
        HoleMove move;
    } cases[] = {
        {"57", 56, {-5, 7}, {{40}, {56}}, {0, 15, 21, 1}},
        {"97", 100, {6, 5}, {{48}, {40}}, {0, 6, 15, 0}},
        {"127", 120, {-7, 3}, {{56}, {24}}, {0, 5, 15, 0}},
    };
    for (const auto& c : cases) {
        const IndexPlan plan = planOf({c.count});
        ASSERT_FALSE(plan.differential.empty()) << c.count;
        const DifferentialMove& d = plan.differential.front();
        EXPECT_EQ(d.base, c.base) << c.count;
        EXPECT_EQ(d.gearing, c.gearing) << c.count;
        EXPECT_EQ(d.train.drivers, c.train.drivers) << c.count;
        EXPECT_EQ(d.train.driven, c.train.driven) << c.count;
        EXPECT_EQ(std::vector<std::int64_t>({d.move.turns, d.move.holes, d.move.circle}),
                  std::vector<std::int64_t>({c.move.turns, c.move.holes, c.move.circle}))
            << c.count;
    }
    EXPECT_EQ(planOf({"97"}).method, IndexMethod::Differential);
    EXPECT_EQ(planOf({"127"}).method, IndexMethod::Differential);
}

// 69 at 40:1 on plate 2: 14/21 - 2/23 = (322 - 42)/483 = 280/483 = 40/69, 16 holes in all; no
// pair of that plate gives fewer (21/23 - 7/21 needs 28).
TEST(Indexing, shouldCompoundOnTwoCirclesOfOnePlate) {
    const IndexPlan plan = planOf({"69"});
    ASSERT_EQ(plan.method, IndexMethod::Compound);
    const CompoundMove& m = *plan.compound;
    EXPECT_EQ(std::vector<std::int64_t>({m.turns, m.holes, m.circle, m.plateHoles, m.plateCircle}),
              std::vector<std::int64_t>({0, 14, 21, 2, 23}));
    EXPECT_TRUE(m.plateBack);
    EXPECT_EQ(m.plate, 1u);
    const std::string text = indexText(plan);
    EXPECT_NE(text.find("First move, the crank: 0 turns and 14 holes on the 21-hole circle"),
              std::string::npos);
    EXPECT_NE(text.find("stop pin drawn from the 23-hole circle,\nturn plate and crank 2 holes "
                        "back, against the crank"),
              std::string::npos);
    EXPECT_NE(text.find("Check: 0 + 14/21 - 2/23 = 40/69 exactly"), std::string::npos);
    // Division 13: 12 x 14 = 168 holes = 8 turns on the 21-hole circle; the stop pin 12 x 2 = 24
    // holes back = 1 past a whole turn of the 23-hole circle.
    EXPECT_NE(text.find("\n      13   62°36'31.3\"      8            0            1\n"),
              std::string::npos);
}

// 383 has no exact plan. On the 49-hole circle one hole is 1/49 of a crank turn, and 40 x 49 =
// 1960 is prime to 383, so some division lies 191/383 of a hole from the nearest: 191 x 1296000"
// / (383 x 49 x 40) = 247536000 / 750680 = 329.749". Division 2: 1960/383 = 5.117 holes, set on
// hole 5: (5 x 383 - 1960) x 1296000 / 750680 = -45 x 1.7264" = -77.69".
TEST(Indexing, shouldGiveTheNearestHolePlanMarkedApproximate) {
    const IndexPlan plan = planOf({"383"});
    ASSERT_EQ(plan.method, IndexMethod::None);
    EXPECT_EQ(plan.nearest->circle, 49);
    EXPECT_EQ(plan.nearest->largestTimes, 191);
    const Report report = indexReport(plan);
    const std::string text = reportText(report);
    EXPECT_NE(text.find("APPROXIMATE"), std::string::npos);
    EXPECT_NE(text.find("the 49-hole circle (plate 3), the one whose largest error is the "
                        "smallest, 329.75\""),
              std::string::npos);
    ASSERT_EQ(report.rows.size(), 383u);
    EXPECT_EQ(report.rows[1], (std::vector<std::string>{"2", "0°56'23.8\"", "0", "5", "-77.69\""}));
    EXPECT_EQ(report.footer.front().rfind("Largest error: 329.75\" (division ", 0), 0u);
}

// 127 divisions: division 2 at 360/127 = 2.8346457° = 2°50'04.72"; division 127 at 126 x 360 /
// 127 = 357.1653543° = 357°09'55.28"; the crank then stands 126 x 5 = 630 holes = 42 turns on
// the 15-hole circle. After division 127: 635 holes = 42 turns 5 holes on the plate, plus the
// plate's -7/3 turn: 42 1/3 - 2 1/3 = 40.
TEST(Indexing, shouldSetOutTheDifferentialPlanDivisionByDivision) {
    const Report report = indexReport(planOf({"127"}));
    EXPECT_EQ(report.title, "Indexing: 127 divisions");
    const std::vector<std::string> expected = {
        "Method: differential indexing, the crank moved as for 120 divisions",
        "Move: 0 turns and 5 holes on the 15-hole circle (plate 1) for each division",
        "Sector arms: 5 spaces apart (6 holes counting the one the pin is in)",
        "Gearing: g = 40 x (120 - 127) / 120 = -7/3, the plate turning 2 1/3 turns per turn of "
        "the work",
        "Gear train, spindle to plate: 56 on the spindle drives 24 on the plate's shaft (one "
        "pair)",
        "Direction: the plate turns against the crank; one idler or two, as the head needs",
        "Check: 40/120 + (-7/3)/127 = 40/127 exactly",
    };
    for (const std::string& line : expected) {
        EXPECT_NE(std::find(report.notes.begin(), report.notes.end(), line), report.notes.end())
            << line;
    }
    EXPECT_EQ(report.columns, (std::vector<std::string>{"Division", "Angle", "Turns", "Holes"}));
    ASSERT_EQ(report.rows.size(), 127u);
    EXPECT_EQ(report.rows[0], (std::vector<std::string>{"1", "0°00'00.0\"", "0", "0"}));
    EXPECT_EQ(report.rows[1], (std::vector<std::string>{"2", "2°50'04.7\"", "0", "5"}));
    EXPECT_EQ(report.rows[126], (std::vector<std::string>{"127", "357°09'55.3\"", "42", "0"}));
    EXPECT_EQ(report.footer,
              (std::vector<std::string>{
                  "After division 127, one more move: 42 turns and 5 holes on the plate from the "
                  "first division",
                  "and the plate turned 2 1/3 turns against the crank by the gears",
                  "40 crank turns in all, one whole turn of the work (360°00'00.0\"): division 1 "
                  "again, exactly"}));
}

// 6 at 40:1 on the 15-hole circle: 6 turns 10 holes a division = 100 holes; division k at
// 100 (k - 1) holes.
TEST(Indexing, shouldWriteTheDivisionTableAndTheSurveyAsCsv) {
    EXPECT_EQ(indexCsv(planOf({"6"})),
              "division,degrees,minutes,seconds,turns,holes,circle\n"
              "1,0,0,0.0,0,0,15\n"
              "2,60,0,0.0,6,10,15\n"
              "3,120,0,0.0,13,5,15\n"
              "4,180,0,0.0,20,0,15\n"
              "5,240,0,0.0,26,10,15\n"
              "6,300,0,0.0,33,5,15\n");
    const Result<SurveyPlan> survey = planSurvey({"95", "97"});
    ASSERT_TRUE(survey.ok());
    // 95: 40/95 = 8/19; 96: 40/96 = 5/12, compound 4/16 + 3/18 = 1/4 + 1/6 = 5/12; 97: from 100,
    // 40/100 = 6/15.
    EXPECT_EQ(surveyCsv(survey.value()),
              "count,method,turns,holes,circle\n"
              "95,simple,0,8,19\n"
              "96,compound,0,4,16\n"
              "97,differential,0,6,15\n");
    const Result<SurveyPlan> none = planSurvey({"383", "383"});
    EXPECT_EQ(surveyCsv(none.value()), "count,method,turns,holes,circle\n383,none,,,\n");
}

// --plates 20 at 40:1 gives the divisors of 800 simply. 41 from A = 40 (one turn) needs
// g = 40 (40 - 41) / 40 = -1: two 24s. With 24 and 48 only 1/2 and 2 can be made, and
// 40 (A - 41) / A = +-1/2 or +-2 has no whole A (3280/79, 3280/81, 1640/38, 1640/42).
TEST(Indexing, shouldUseAGearGivenTwiceTwice) {
    const IndexPlan twice = planOf({"41", "40", "20", "24,24"});
    ASSERT_EQ(twice.method, IndexMethod::Differential);
    EXPECT_EQ(twice.differential.front().base, 40);
    EXPECT_EQ(twice.differential.front().gearing, (Fraction{-1, 1}));
    EXPECT_EQ(twice.differential.front().train.drivers, std::vector<std::int64_t>{24});
    EXPECT_EQ(twice.differential.front().train.driven, std::vector<std::int64_t>{24});
    EXPECT_EQ(planOf({"41", "40", "20", "24,48"}).method, IndexMethod::None);
    EXPECT_EQ(planOf({"41", "40", "20", "24"}).method, IndexMethod::None);
}

TEST(Indexing, shouldPrintTheTableUpToTenThousandDivisionsOnly) {
    const Report table = indexReport(planOf({"10000"}));
    EXPECT_EQ(table.rows.size(), 10000u);
    const Report plan = indexReport(planOf({"10001"}));
    EXPECT_TRUE(plan.columns.empty() && plan.rows.empty());
    EXPECT_EQ(plan.footer,
              std::vector<std::string>{"The division table is printed for counts up to 10000."});
    EXPECT_TRUE(planOf({"999999999"}).count == 999999999);
}

TEST(Indexing, shouldRefuseBadInputNamingTheField) {
    const struct {
        IndexArguments arguments;
        std::string_view about;
        std::string_view message;
    } cases[] = {
        {{""}, "count", kIndexCountMessage},
        {{"0"}, "count", kIndexCountMessage},
        {{"-7"}, "count", kIndexCountMessage},
        {{"7.5"}, "count", kIndexCountMessage},
        {{" 7"}, "count", kIndexCountMessage},
        {{"1000000000"}, "count", kIndexCountMessage},
        {{"10001", {}, {}, {}, true}, "count", kIndexCsvTooLargeMessage},
        {{"7", "0"}, "ratio", kIndexRatioMessage},
        {{"7", "40.5"}, "ratio", kIndexRatioMessage},
        {{"7", "1001"}, "ratio", kIndexRatioMessage},
        {{"7", ""}, "ratio", kIndexRatioMessage},
        {{"7", {}, ""}, "plates", kIndexPlatesMessage},
        {{"7", {}, "BS"}, "plates", kIndexPlatesMessage},
        {{"7", {}, "15,,16"}, "plates", kIndexPlatesMessage},
        {{"7", {}, "15,16/"}, "plates", kIndexPlatesMessage},
        {{"7", {}, "15 16"}, "plates", kIndexPlatesMessage},
        {{"7", {}, "15,1"}, "plates", kIndexCircleMessage},
        {{"7", {}, "15,1001"}, "plates", kIndexCircleMessage},
        {{"7", {}, "15,16,15"}, "plates", kIndexCircleTwiceMessage},
        {{"7", {}, {}, ""}, "gears", kIndexGearsMessage},
        {{"7", {}, {}, "24,0"}, "gears", kIndexGearsMessage},
        {{"7", {}, {}, "24,"}, "gears", kIndexGearsMessage},
        {{"7", {}, {}, "24/28"}, "gears", kIndexGearsMessage},
    };
    for (const auto& c : cases) {
        const Result<IndexPlan> plan = planIndex(c.arguments);
        EXPECT_TRUE(plan.isMessage()) << c.arguments.count;
        EXPECT_EQ(plan.about(), c.about) << c.message;
        EXPECT_EQ(plan.message(), c.message) << c.about;
    }
    std::string circles = "2";  // 65 circles, 2 to 66
    for (int circle = 3; circle <= 66; ++circle) {
        circles += ',';
        circles += std::to_string(circle);
    }
    EXPECT_EQ(planIndex({"7", {}, circles}).message(), kIndexTooManyCirclesMessage);
    std::string gears = "24";  // 33 gears
    for (int gear = 1; gear < 33; ++gear) {
        gears += ",24";
    }
    EXPECT_EQ(planIndex({"7", {}, {}, gears}).message(), kIndexTooManyGearsMessage);
    EXPECT_TRUE(planIndex({"7", {}, {}, gears.substr(3)}).ok());

    const struct {
        SurveyArguments arguments;
        std::string_view about;
        std::string_view message;
    } surveys[] = {
        {{"0", "5"}, "from", kIndexFromMessage},
        {{"x", "5"}, "from", kIndexFromMessage},
        {{"1", "5.0"}, "to", kIndexToMessage},
        {{"6", "5"}, "to", kIndexRangeMessage},
        {{"1", "100001"}, "to", kIndexSurveySizeMessage},
        {{"1", "5", "0"}, "ratio", kIndexRatioMessage},
        {{"1", "5", {}, "1/3"}, "plates", kIndexCircleMessage},
        {{"1", "5", {}, {}, "a"}, "gears", kIndexGearsMessage},
    };
    for (const auto& c : surveys) {
        const Result<SurveyPlan> plan = planSurvey(c.arguments);
        EXPECT_TRUE(plan.isMessage()) << c.message;
        EXPECT_EQ(plan.about(), c.about) << c.message;
        EXPECT_EQ(plan.message(), c.message) << c.about;
    }
    EXPECT_TRUE(planSurvey({"1", "100000"}).ok());
}

// Every plan of every count from 1 to 1000, for both plate sets and four ratios, re-checked with
// whole-number arithmetic of its own; the survey must choose as the single plan does.
TEST(IndexingProperty, shouldMakeEveryPlanExact) {
    const struct {
        const char* name;
        const Plates* plates;
    } sets[] = {{"bs", &kBrownSharpe}, {"cincinnati", &kCincinnati}};
    for (const auto& set : sets) {
        for (const char* ratioText : {"40", "60", "72", "90"}) {
            const IndexHead head = headOf(ratioText, set.name);
            const std::int64_t ratio = std::stoll(ratioText);
            const std::vector<SurveyEntry> survey = surveyEntries({head, 1, 1000});
            const auto surveyRows = csvRows(surveyCsv({head, 1, 1000}));
            ASSERT_EQ(surveyRows.size(), 1001u);
            for (std::int64_t count = 1; count <= 1000; ++count) {
                const std::string where =
                    std::string(set.name) + " " + ratioText + ":1, " + std::to_string(count);
                const IndexPlan plan = indexPlan(head, count);
                expectExactPlan(plan, *set.plates, ratio, count, where);
                const SurveyEntry& entry = survey[static_cast<std::size_t>(count - 1)];
                EXPECT_EQ(entry.method, plan.method) << where;
                const auto& row = surveyRows[static_cast<std::size_t>(count)];
                ASSERT_EQ(row.size(), 5u) << where;
                EXPECT_EQ(row[1], methodName(plan.method)) << where;
                if (plan.method == IndexMethod::Simple) {
                    // turns + holes / circle == ratio / count, read back from the CSV
                    const std::int64_t circle = whole(row[4]);
                    EXPECT_EQ((whole(row[2]) * circle + whole(row[3])) * count, ratio * circle)
                        << where;
                }
                if (plan.method == IndexMethod::Differential) {
                    EXPECT_EQ(entry.differential->base, plan.differential.front().base) << where;
                    EXPECT_EQ(entry.differential->gearing, plan.differential.front().gearing)
                        << where;
                }
                // The tables of a sample, every approximate one, and a fifth of the compound ones
                // (whose two circles make the crank's place the hardest to get right).
                if (count % 37 == 0 || plan.method == IndexMethod::None ||
                    (plan.method == IndexMethod::Compound && count % 5 == 0)) {
                    expectDivisionTable(plan, ratio, where);
                }
            }
        }
    }
}

// The preferred differential plan against every base count and every train, found by brute
// force: no simpler train, and for the same train size no nearer base.
TEST(IndexingProperty, shouldPreferTheSimplestTrainThenTheNearestBase) {
    std::set<std::pair<std::int64_t, std::int64_t>> onePair, twoPairs;
    const auto reducedPair = [](std::int64_t up, std::int64_t down) {
        const std::int64_t g = std::gcd(up, down);
        return std::make_pair(up / g, down / g);
    };
    const std::size_t n = kGears.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            if (i != j) {
                onePair.insert(reducedPair(kGears[i], kGears[j]));
            }
            for (std::size_t k = 0; k < n; ++k) {
                for (std::size_t l = 0; l < n; ++l) {
                    if (std::set<std::size_t>{i, j, k, l}.size() == 4) {
                        twoPairs.insert(reducedPair(kGears[i] * kGears[j], kGears[k] * kGears[l]));
                    }
                }
            }
        }
    }
    const IndexHead head = headOf("40", "bs");
    for (std::int64_t count = 1; count <= 400; ++count) {
        const IndexPlan plan = indexPlan(head, count);
        if (!plan.simple.empty()) {
            continue;
        }
        std::size_t bestPairs = 3;
        std::int64_t bestDistance = 0;
        for (std::int64_t base = 1; base <= 40 * 49; ++base) {
            if (base == count || !anyCircleGives(kBrownSharpe, 40, base)) {
                continue;
            }
            const std::int64_t up = 40 * (base - count);
            const auto g = reducedPair(up < 0 ? -up : up, base);
            const std::size_t pairs = onePair.count(g) ? 1 : twoPairs.count(g) ? 2 : 3;
            const std::int64_t distance = base > count ? base - count : count - base;
            if (pairs < bestPairs || (pairs == bestPairs && distance < bestDistance)) {
                bestPairs = pairs;
                bestDistance = distance;
            }
        }
        if (bestPairs == 3) {
            EXPECT_TRUE(plan.differential.empty()) << count;
            continue;
        }
        ASSERT_FALSE(plan.differential.empty()) << count;
        const DifferentialMove& chosen = plan.differential.front();
        EXPECT_EQ(chosen.train.drivers.size(), bestPairs) << count;
        EXPECT_EQ(chosen.base > count ? chosen.base - count : count - chosen.base, bestDistance)
            << count;
    }
}
