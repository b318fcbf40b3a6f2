// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Job.h"
#include "engine/autotests/EngineTestSupport.h"

namespace morvanta {
namespace {

// What the machine is moved by from one row to the next, worked by hand from the rows: on a
// 90:1 table with 240 graduations hole 3 stands at 25 turns 171 and hole 2 at 12 turns 206, so
// 13 x 240 - 35 = 3085 graduations, 12 turns and 205.
TEST(Machine, shouldGiveTheMoveFromTheRowBeforeForEachRow) {
    const struct {
        const char* request;
        std::vector<std::pair<std::size_t, std::string>> moves;  // row from 1, its move
    } cases[] = {
        {"sheet count=7 ratio=90 dial=240",
         {{1, ""}, {2, "12 turns and 206 graduations"}, {3, "12 turns and 205 graduations"}}},
        {"sheet count=4 ratio=90", {{2, "22 turns and 2\u00B0"}}},
        {"sheet count=40 ratio=40 dial=9", {{2, "1 turn"}}},
        {"sheet count=8", {{2, "45\u00B0"}, {8, "45\u00B0"}}},
        {"sheet count=8 cw", {{2, "-45\u00B0"}, {8, "-45\u00B0"}}},
        {"index count=6", {{1, ""}, {2, "6 turns and 10 holes on the 15-hole circle"}}},
        {"index count=127", {{4, "0 turns and 5 holes on the 15-hole circle"}}},
        {"index count=69",
         {{2,
           "0 turns and 14 holes on the 21-hole circle, and the plate 2 holes back on the 23-hole "
           "circle"}}},
        {"index count=383", {{2, "0 turns and 5 holes on the 49-hole circle"}}},
        {"gear count=24 module=2", {{1, ""}, {2, "1 turn and 10 holes on the 15-hole circle"}}},
        {"coords count=6 diameter=100 centre=10,-5 start=15",
         {{1, ""}, {2, "X -35.3553, Y +35.3553"}, {5, "X +35.3553, Y -35.3553"}}},
    };
    for (const auto& c : cases) {
        const Report report = madeOf(c.request).report();
        ASSERT_EQ(report.moves.size(), report.rows.size()) << c.request;
        for (const auto& [row, move] : c.moves) {
            EXPECT_EQ(report.moves[row - 1], move) << c.request << " row " << row;
        }
    }
}

// Units are words in the headings of lengths, never a conversion (a bolt circle's sheet in inches
// is cli/autotests/job_cli_test.sh's): the window's table says them too, and a setting sheet,
// which has no lengths, is as it was.
TEST(Machine, shouldShowTheUnitsInTheHeadingsOfLengthsOnly) {
    const Calculation& coords = *findCalculation("coords");
    EXPECT_EQ(
        planned(makeWithUnits(coords, request("count=2 radius=10 units=in"))).report().columns,
        (std::vector<std::string>{"Hole", "Angle", "DMS", "X (in)", "Y (in)", "dX (in)",
                                  "dY (in)"}));
    const Made settings =
        planned(makeWithUnits(*findCalculation("sheet"), request("count=7 units=mm")));
    EXPECT_EQ(settings.sheet.write(), madeOf("sheet count=7").sheet.write());
}

// A calculation that takes the units itself gets the job's, in place of its own input's: its
// G-code writes G21 or G20.
TEST(Machine, shouldGiveTheJobsUnitsToACalculationThatTakesThem) {
    Job job;
    job.calculation = "coords";
    job.inputs = request("count=2 radius=10 gcode depth=-1 retract=1 feed=9 units=in");
    const auto program = [&](JobUnits units) {
        job.units = units;
        return planned(makeJob(job)).gcode->write();
    };
    EXPECT_NE(program(JobUnits::None).find("\nG90 G17 G80\n"), std::string::npos);
    EXPECT_NE(program(JobUnits::Millimetres).find("\nG90 G17 G80 G21\n"), std::string::npos);
    EXPECT_NE(program(JobUnits::Inches).find("\nG90 G17 G80 G20\n"), std::string::npos);
}

}  // namespace
}  // namespace morvanta
