// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/CommonOptions.h"
#include "engine/LinePattern.h"

namespace morvanta {

namespace {

// clang-format off
constexpr Input kLineInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"count", "Count", "", "COUNT", InputKind::Count, "holes", "", within(1, kMaxPatternHoles),
     "how many holes"}.startingAt("5"),
    Input{"start", "Start", "--start", "X,Y", InputKind::Point, "", "0,0", kAnyValue,
     "where hole 1 lies"}.startingAt("0,0"),
    Input{"angle", "Angle", "--angle", "A", InputKind::Degrees, "°", "0", sizeBelow(kMaxStartDegrees),
     "the direction of the line in degrees, counter-clockwise from +X, such as 45"}.startingAt("0"),
    Input{"pitch", "Pitch", "--pitch", "P", InputKind::Decimal, "", "", above(0),
     "the distance from one hole to the next"}.startingAt("10"),
    {"length", "Length", "--length", "L", InputKind::Decimal, "", "", above(0),
     "spread the holes over this length instead, a hole at each end: length / ({count} - 1) apart"},
    kDecimalsInput,
    kOmitInput,
    kFromInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: hole,x,y,dx,dy"}.as(Role::Csv),
    Input{"gcode", "G-code", "--gcode", "", InputKind::Switch, "", "", kAnyValue,
     "a drilling program: G90 absolute positions, a rapid to the clearance height, a G98 canned "
     "cycle with hole 1, then X Y of each further hole, G80, M30"}.as(Role::Gcode),
    kDepthInput, kRetractInput, kFeedInput, kClearanceInput, kPeckInput, kDwellInput, kUnitsInput,
    kDialectInput, kNameInput,
};
// clang-format on

Result<Made> makeLine(const Values& values) {
    Result<LinePlan> planned = planLine(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const LinePlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return lineText(*plan); };
    made.report = [plan] { return lineReport(*plan); };
    made.csv = Output{[plan] { return lineCsv(*plan); }};
    made.gcode =
        patternProgram(values, plan->decimals, lineAbout(*plan), plan->holes, plan->choice);
    made.sketch = [plan] { return lineSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kLineCalculation{
    .name = "line",
    .title = "Line of holes",
    .summary = "X and Y of holes on a straight line, for a read-out or as G-code",
    .about =
        "Prints the X and Y of each of COUNT holes on a straight line from {start}, along "
        "{angle} counter-clockwise from +X, {pitch} apart, or spread over {length} with a "
        "hole at each end. Hole k lies at the exact distance (k - 1) x pitch from the start; "
        "each coordinate is start + that distance x cos or sin of the angle, correctly "
        "rounded (halves away from zero), never -0. {omit} and {from} leave holes out of "
        "every output, the others keeping their numbers; dX and dY give the move from the "
        "hole drilled before, for a read-out in incremental mode.",
    .inputs = kLineInputs,
    .make = makeLine,
    .example = "5 --pitch 10 --angle 45",
};

}  // namespace morvanta
