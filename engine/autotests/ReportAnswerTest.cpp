// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Calculation.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

using Lines = std::vector<std::string>;

struct AnswerCase {
    std::string_view request;  // the calculation, then its inputs
    Lines answer;
    Lines units;
};

// The answer of each kind of plan, the lines written out as the sheets print them; the units of
// each column, the angle in degrees, minutes and seconds where its cells are written so.
const AnswerCase kAnswers[] = {
    {"sheet count=7 ratio=90 dial=240",
     {"Resolution: 1' (1 graduation), halves rounded up", "Largest error: 25.71\" (hole 3)"},
     {"", "°'\"", "", "graduations", "\""}},
    {"sheet count=4 span=90 ends ratio=90",
     {"Resolution: 1\", halves rounded up",
      "Holes: 4 holes over 90°, a hole at each end, 30° apart",
      "Largest error: 0.00\" (every setting is exact)"},
     {"", "°'\"", "", "°'\"", "\""}},
    {"index count=24",
     {"Method: simple indexing",
      "Recommended: the 15-hole circle (plate 1), the one with the fewest holes to count",
      "Move: 1 turn and 10 holes on the 15-hole circle (plate 1) for each division",
      "Sector arms: 10 spaces apart (11 holes counting the one the pin is in)"},
     {"", "°'\"", "", ""}},
    {"index count=96 plates=16,18 gears=24",
     {"Method: compound indexing, two moves for each division on two circles of one plate",
      "First move, the crank: 0 turns and 4 holes on the 16-hole circle",
      "Sector arms: 4 spaces apart (5 holes counting the one the pin is in)",
      "Second move, the plate: crank pin left in its hole, stop pin drawn from the 18-hole circle,",
      "turn plate and crank 3 holes forward, with the crank, and put the stop pin in again"},
     {"", "°'\"", "", "", ""}},
    {"index count=127",
     {"Method: differential indexing, the crank moved as for 120 divisions",
      "Move: 0 turns and 5 holes on the 15-hole circle (plate 1) for each division",
      "Sector arms: 5 spaces apart (6 holes counting the one the pin is in)",
      "Gear train, spindle to plate: 56 on the spindle drives 24 on the plate's shaft (one pair)",
      "Direction: the plate turns against the crank; one idler or two, as the head needs"},
     {"", "°'\"", "", ""}},
    // No exact plan: 40 x 49 = 1960 is prime to 383, so on the 49-hole circle some division lies
    // 191/383 of a hole from the nearest, 191 x 1296000" / (383 x 49 x 40) = 329.749".
    {"index count=383",
     {"Method: none is exact with these plates and gears; the plan below is APPROXIMATE",
      "Circle: the 49-hole circle (plate 3), the one whose largest error is the smallest, "
      "329.75\""},
     {"", "°'\"", "", "", "\""}},
    {"coords count=4 radius=30 span=90 ends cw zero=north",
     {"Holes: 4 holes over 90°, a hole at each end, 30° apart",
      "Angles: clockwise from +Y (north), hole 1 at 0°",
      "Radius: 30; chord between neighbouring holes: 15.5291"},
     {"", "°", "°'\"", "", "", "", ""}},
    {"line count=5 pitch=10",
     {"Spacing: 10 apart, 40 from hole 1 to hole 5", "Direction: 0° counter-clockwise from +X"},
     {"", "", "", "", ""}},
    {"grid rows=3 columns=4 pitch=10,10",
     {"Pitch: 10 along a row, 10 from row to row, turned by 0° about the corner",
      "Order: row by row, row 1 from column 1, the next back, and so on"},
     {"", "", "", "", "", "", ""}},
    {"angle angle=8.3 repeat=2",
     {"Method: compound indexing, two moves for each step on two circles of one plate (plate 1)",
      "First move, the crank: 1 turn and 1 hole on the 18-hole circle",
      "Sector arms: 1 space apart (2 holes counting the one the pin is in)",
      "Second move, the plate: crank pin left in its hole, stop pin drawn from the 15-hole circle,",
      "turn plate and crank 2 holes back, against the crank, and put the stop pin in again"},
     {"", "°'\"", "", "", ""}},
    {"gear count=30 module=2",
     {"Outside diameter, the blank: (30 + 2) x 2 = 64.000 mm",
      "Whole depth of cut: 2.25 x 2 = 4.500 mm",
      "Cutter: No. 4 of the eight involute cutters of module 2, 20°: the one for 26 to 34 teeth",
      "Method: simple indexing",
      "Recommended: the 15-hole circle (plate 1), the one with the fewest holes to count",
      "Move: 1 turn and 5 holes on the 15-hole circle (plate 1) for each division",
      "Sector arms: 5 spaces apart (6 holes counting the one the pin is in)"},
     {"", "°'\"", "", ""}},
    {"helix lead=6.16 diameter=50",
     {"Change gears: gear on worm 56, first gear on stud 40, second gear on stud 44, gear on "
      "screw 100",
      "Lead reached: 10 in x (56 x 44) / (40 x 100) = 6.1600 in, exactly the lead wanted",
      "Swivel: tan = pi x D / lead reached, D = 50 in: 87°45'15\" to the nearest second",
      "Hand: right: swing the table counter-clockwise, seen from above, from square to the "
      "spindle"},
     {"", "", "", "", "in", "in"}},
    {"flats count=5 diameter=30 across=25",
     {"Across flats: 25, as given, above 30 x cos(180°/5) = 24.2705 where the flats would meet",
      "on the round: round is left between the flats",
      "Depth of cut: (30 - 25) / 2 = 2.5000 for each flat, from the top of the round",
      "Width of each flat: sqrt(30² - 25²) = 16.5831", "Method: simple indexing",
      "Move: 8 turns for each division; the pin goes back into the hole it left"},
     {"", "°'\"", "", ""}},
    {"survey survey from=95 to=97",
     {"Simple: 1, compound: 1, differential: 1, none: 0 of 3 counts"},
     {"", "", "", "", "", ""}},
};

// Each answer line is one the sheet prints where it stands, among the notes or after the table,
// so that the window's large type says nothing the printed sheet does not; neither the answer nor
// the units are printed again.
TEST(ReportAnswer, shouldPickTheKeyLinesOfThePrintedSheet) {
    for (const AnswerCase& c : kAnswers) {
        SCOPED_TRACE(c.request);
        const Report report = madeOf(c.request).report();
        EXPECT_EQ(report.answer, c.answer);
        EXPECT_EQ(report.columnUnits, c.units);
        EXPECT_EQ(report.columnUnits.size(), report.columns.size());
        const std::string text = reportText(report);
        Report plain = report;
        plain.answer.clear();
        plain.columnUnits.clear();
        EXPECT_EQ(reportText(plain), text);
        for (const std::string& line : report.answer) {
            EXPECT_NE(text.find(line + "\n"), std::string::npos) << line;
            const auto printed = std::count(report.notes.begin(), report.notes.end(), line) +
                                 std::count(report.footer.begin(), report.footer.end(), line);
            EXPECT_EQ(printed, 1) << line;
        }
    }
}

}  // namespace
