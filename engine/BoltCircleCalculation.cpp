// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BoltCircle.h"
#include "engine/CommonOptions.h"

#include <memory>

namespace morvanta {

namespace {

constexpr Choice kZeros[] = {{"east", "East (+X)"}, {"north", "North (+Y)"}};

// A radius below half the largest diameter, so that either way of giving the size has a diameter
// the table can write.
constexpr std::int64_t kRadiusBelow = 500'000'000;

// clang-format off
constexpr Input kBoltCircleInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"count", "Count", "", "COUNT", InputKind::Count, "holes", "", within(1, kMaxBoltHoles),
     "how many holes"}.startingAt("6"),
    Input{"diameter", "Diameter", "--diameter", "D", InputKind::Decimal, "", "", above(0),
     "the diameter of the bolt circle, in the unit you work in"}.startingAt("100"),
    Input{"radius", "Radius", "--radius", "R", InputKind::Decimal, "", "", above(0).below(kRadiusBelow),
     "its radius instead of the diameter"}.insteadOf("diameter"),
    Input{"chord", "Chord", "--chord", "C", InputKind::Decimal, "", "", above(0),
     "the distance between neighbouring holes instead of the diameter, which is then "
     "chord / sin(step / 2) correctly rounded to 9 decimals"}.insteadOf("diameter"),
    {"centre", "Centre", "--centre", "X,Y", InputKind::Point, "", "0,0", kAnyValue,
     "the centre of the circle"},
    kStartInput,
    {"cw", "Clockwise", "--cw", "", InputKind::Switch, "", "", kAnyValue,
     "count the angles clockwise instead of counter-clockwise"},
    Input{"zero", "Zero direction", "--zero", "", InputKind::Choice, "", "east", kAnyValue,
     "where angle 0 points: east, +X, or north, +Y"}.offering(kZeros),
    {"span", "Span", "--span", "S", InputKind::Degrees, "°", "", atLeast(0).upTo(360),
     "spread the holes over an arc of this many degrees from hole 1 instead of the full circle: "
     "span / {count} apart, the last a step short of the end"},
    kEndsInput,
    kDecimalsInput,
    kOmitInput,
    kFromInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: hole,angle,x,y,dx,dy"}.as(Role::Csv),
    Input{"gcode", "G-code", "--gcode", "", InputKind::Switch, "", "", kAnyValue,
     "a drilling program: G90 absolute positions, a rapid to the clearance height, a G98 canned "
     "cycle with hole 1, then X Y of each further hole, G80, M30"}.as(Role::Gcode),
    kDepthInput, kRetractInput, kFeedInput, kClearanceInput, kPeckInput, kDwellInput, kUnitsInput,
    kDialectInput, kNameInput,
};
// clang-format on

Result<Made> makeBoltCircle(const Values& values) {
    Result<BoltCirclePlan> planned = planBoltCircle(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    // One copy of the holes, shared by every writer.
    const auto plan = std::make_shared<const BoltCirclePlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return boltCircleText(*plan); };
    made.report = [plan] { return boltCircleReport(*plan); };
    made.csv = Output{[plan] { return boltCircleCsv(*plan); }};
    made.gcode = patternProgram(values, plan->decimals, boltCircleAbout(*plan),
                                boltCircleHoles(*plan), plan->choice);
    made.sketch = [plan] { return boltCircleSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kBoltCircleCalculation{
    .name = "coords",
    .title = "Bolt circle",
    .summary = "X and Y of each hole of a bolt circle, for a read-out or as G-code",
    .about =
        "Prints the X and Y of each of COUNT holes equally spaced round a circle, for a mill "
        "with a digital read-out or a CNC control. Hole k lies at the exact angle "
        "start + (k - 1) x step; each coordinate is the exact centre + radius x cos or sin "
        "of that angle, correctly rounded (halves away from zero), so 30 degrees on a radius "
        "of 50 is 25.0000 and nothing reads -0.0000. Numbers are in whatever unit you give "
        "them in (mm or inch); nothing is converted. {omit} and {from} leave holes out of "
        "every output, the others keeping their numbers; dX and dY give the move from the "
        "hole drilled before, for a read-out in incremental mode.",
    .inputs = kBoltCircleInputs,
    .make = makeBoltCircle,
    .example = "6 --diameter 100 --centre 10,-5 --start 15",
};

}  // namespace morvanta
