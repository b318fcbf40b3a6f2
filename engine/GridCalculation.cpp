// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/CommonOptions.h"
#include "engine/GridPattern.h"

namespace morvanta {

namespace {

// clang-format off
constexpr Input kGridInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"rows", "Rows", "", "ROWS", InputKind::Count, "", "", within(1, kMaxPatternHoles),
     "how many rows"}.startingAt("3"),
    Input{"columns", "Columns", "", "COLUMNS", InputKind::Count, "", "", within(1, kMaxPatternHoles),
     "how many holes in a row"}.startingAt("4"),
    Input{"corner", "Corner", "--corner", "X,Y", InputKind::Point, "", "0,0", kAnyValue,
     "where hole 1, row 1 and column 1, lies"}.startingAt("0,0"),
    Input{"pitch", "Pitch", "--pitch", "PX,PY", InputKind::Point, "", "", above(0),
     "the distance from hole to hole along a row, and from row to row"}.startingAt("10,10"),
    Input{"angle", "Angle", "--angle", "A", InputKind::Degrees, "°", "0", sizeBelow(kMaxStartDegrees),
     "turn the grid by this many degrees counter-clockwise about the corner"}.startingAt("0"),
    kDecimalsInput,
    kOmitInput,
    kFromInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: hole,row,column,x,y,dx,dy"}.as(Role::Csv),
    Input{"gcode", "G-code", "--gcode", "", InputKind::Switch, "", "", kAnyValue,
     "a drilling program: G90 absolute positions, a rapid to the clearance height, a G98 canned "
     "cycle with hole 1, then X Y of each further hole, G80, M30"}.as(Role::Gcode),
    kDepthInput, kRetractInput, kFeedInput, kClearanceInput, kPeckInput, kDwellInput, kUnitsInput,
    kDialectInput, kNameInput,
};
// clang-format on

Result<Made> makeGrid(const Values& values) {
    Result<GridPlan> planned = planGrid(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const GridPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return gridText(*plan); };
    made.report = [plan] { return gridReport(*plan); };
    made.csv = Output{[plan] { return gridCsv(*plan); }};
    made.gcode =
        patternProgram(values, plan->decimals, gridAbout(*plan), plan->holes, plan->choice);
    made.sketch = [plan] { return gridSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kGridCalculation{
    .name = "grid",
    .title = "Grid of holes",
    .summary = "X and Y of a grid of holes, turned by an angle, for a read-out or as G-code",
    .about =
        "Prints the X and Y of each hole of a grid of ROWS x COLUMNS holes from {corner}, "
        "{pitch} apart along a row and from row to row, turned by {angle} counter-clockwise "
        "about the corner. The holes are numbered as they are drilled, row by row back and "
        "forth, so that the table never runs back empty. Each coordinate is the exact "
        "corner + along x cos or sin - across x sin or cos of the angle, correctly rounded "
        "as a whole (halves away from zero), never -0. {omit} and {from} leave holes out of "
        "every output, the others keeping their numbers; dX and dY give the move from the "
        "hole drilled before, for a read-out in incremental mode.",
    .inputs = kGridInputs,
    .make = makeGrid,
    .example = "3 4 --pitch 10,20 --angle 30",
};

}  // namespace morvanta
