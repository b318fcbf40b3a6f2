// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CommonOptions.h"
#include "engine/SettingSheet.h"

namespace morvanta {

namespace {

constexpr Choice kAxes[] = {{"A", "A"}, {"B", "B"}, {"C", "C"}};
constexpr Choice kRotaryMoves[] = {{"forward", "Forward, running on past 360"},
                                   {"shortest", "Within one turn (shortest way)"},
                                   {"incremental", "Increments (G91)"}};

// clang-format off
constexpr Input kSheetInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"count", "Count", "", "COUNT", InputKind::Count, "holes", "", within(kMinSheetHoles, kMaxSheetHoles),
     "how many equally spaced holes"}.startingAt("7"),
    Input{"ratio", "Worm ratio", "--ratio", "R", InputKind::Decimal, "", "", above(0).places(7, 6),
     "handwheel turns for one turn of the table (90 for 90:1, 40.5 for 40.5:1): adds the whole "
     "handwheel turns from zero and the dial reading within the turn"}.startingAt("90"),
    Input{"dial", "Dial graduations", "--dial", "D", InputKind::Count, "", "", within(1, 999'999'999),
     "graduations per handwheel turn (240 for a 90:1 table read in minutes): every setting is "
     "rounded to whole graduations"}.startingAt("240"),
    {"resolution", "Resolution", "--resolution", "S", InputKind::Arc, "", "", above(0),
     "round every setting to this step; without it to 1s, or to one graduation of {dial}"},
    kStartInput,
    {"span", "Span", "--span", "S", InputKind::Degrees, "°", "", above(0).upTo(360),
     "spread the holes over an arc of this many degrees from hole 1: span / {count} apart, the last "
     "a step short of the end"},
    kEndsInput,
    {"cw", "Clockwise", "--cw", "", InputKind::Switch, "", "", kAnyValue,
     "turn the table clockwise from hole to hole: hole k at -(start + (k - 1) x step)"},
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values for a spreadsheet instead of the sheet"}.as(Role::Csv),
    Input{"gcode", "G-code", "--gcode", "", InputKind::Switch, "", "", kAnyValue,
     "a program for a CNC rotary axis instead of the sheet: for each hole G90 G0 to its exact "
     "angle, then M0, a stop for the work; the angles run on from the start without wrapping at "
     "360, so the axis turns the same way to every hole"}.as(Role::Gcode),
    Input{"axis", "Axis", "--axis", "", InputKind::Choice, "", "A", kAnyValue,
     "the letter of the CNC rotary axis"}.offering(kAxes).onlyWith("gcode"),
    kDecimalsInput.onlyWith("gcode"),
    Input{"rotary", "Rotary moves", "--rotary", "", InputKind::Choice, "", "forward", kAnyValue,
     "how the program gives each angle: forward, running on from the start past 360 so that the "
     "axis always turns one way; shortest, brought within one turn for a control that takes the "
     "shortest way (rollover); incremental, hole 1 in G90 and each further hole as a G91 "
     "increment from the hole before"}.offering(kRotaryMoves).onlyWith("gcode"),
};
// clang-format on

// The handwheel's inputs make no sense to a CNC axis; the G-code is refused while they are given
// rather than made as if they were not.
Output sheetProgram(const Values& values, const SheetPlan& plan) {
    if (values.given("ratio") || values.given("dial") || values.given("resolution")) {
        return {{},
                Refusal{"gcode",
                        "a CNC rotary axis needs no handwheel, so G-code is made without "
                        "{ratio}, {dial} and {resolution}"}};
    }
    return {[plan] { return sheetGcode(plan); }};
}

Result<Made> makeSheet(const Values& values) {
    const SheetPlanResult holes = planSheetHoles(values);
    if (!holes.ok()) {
        return Result<Made>::failure(holes.refusal());
    }
    Made made;
    made.gcode = sheetProgram(values, holes.value());
    const SheetPlanResult sheet = planSheet(values);
    if (!sheet.ok()) {
        made.sheet.refusal = sheet.refusal();
        made.csv = Output{{}, sheet.refusal()};
        return Result<Made>::success(std::move(made));
    }
    const SheetPlan& plan = sheet.value();
    made.sheet.write = [plan] { return sheetText(plan); };
    made.report = [plan] { return sheetReport(plan); };
    made.csv = Output{[plan] { return sheetCsv(plan); }};
    made.sketch = [plan] { return sheetSketch(plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kSheetCalculation{
    .name = "sheet",
    .title = "Setting sheet",
    .summary = "a setting sheet for a manual rotary table or dividing head",
    .about =
        "Prints the setting of every hole of COUNT equally spaced holes for a manual rotary "
        "table or dividing head: the angle in degrees, minutes and seconds, rounded from the "
        "exact angle of each hole on its own so that errors never build up from hole to "
        "hole, the whole handwheel turns and the dial reading that make it, and the error of "
        "that setting in seconds of arc.",
    .inputs = kSheetInputs,
    .make = makeSheet,
    .example = "7 --ratio 90 --dial 240",
};

}  // namespace morvanta
