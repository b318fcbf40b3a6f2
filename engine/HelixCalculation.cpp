// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/Helix.h"
#include "engine/IndexInputs.h"

namespace morvanta {

namespace {

// clang-format off
constexpr Input kHelixInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"lead", "Lead", "--lead", "L", InputKind::Decimal, "", "",
     above(0).places(kHelixWholeDigits, kHelixDecimals),
     "the lead wanted: the length along the work in which the helix turns once, in the unit of "
     "{units}"}.startingAt("6.16"),
    {"angle", "Helix angle", "--angle", "A", InputKind::Degrees, "°", "", above(0).below(90).places(2, 6),
     "the helix angle wanted instead of the lead, at {diameter}"},
    Input{"diameter", "Diameter", "--diameter", "D", InputKind::Decimal, "", "",
     above(0).places(kHelixWholeDigits, kHelixDecimals),
     "the work's diameter, in the unit of {units}: for the table's swivel, and with {angle} for "
     "the lead"}.startingAt("2"),
    Input{"units", "Units", "--units", "", InputKind::Choice, "", "in", kAnyValue,
     "the unit of {lead} and {diameter}"}.offering(kLengthUnits),
    kMachineLeadInput,
    kMachineUnitsInput,
    kGearsInput,
    kHandInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: the nearest trains, gear_on_worm,first_stud,second_stud,"
     "gear_on_screw,lead,error"}.as(Role::Csv),
};
// clang-format on

Result<Made> makeHelix(const Values& values) {
    Result<HelixPlan> planned = planHelix(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const HelixPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return helixText(*plan); };
    made.report = [plan] { return helixReport(*plan); };
    made.csv = Output{[plan] { return helixCsv(*plan); }};
    made.sketch = [plan] { return helixSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kHelixCalculation{
    .name = "helix",
    .title = "Helix",
    .summary = "spiral milling: the change gears for a lead, the table's swivel and the hand",
    .about =
        "Prints the change gears that gear the dividing head to the table screw of a "
        "universal mill for a helix of the lead {lead}, or of the helix angle {angle} at the "
        "diameter {diameter} (lead = pi x D / tan of the angle): the gear on the worm, the "
        "first and second gears on the stud and the gear on the screw, as lead of the machine "
        "x (worm x second stud) / (first stud x screw), exactly where the gears owned make the "
        "lead, else the nearest, with the lead reached and its error; the table's swivel, "
        "tan = pi x D / lead; the hand and the idler that reverses it; and a table of the "
        "nearest leads the gears make. Leads made of gears are exact; pi, sines, cosines and "
        "tangents are bounded with a proven error until each rounding is certain.",
    .inputs = kHelixInputs,
    .make = makeHelix,
    .example = "--lead 6.16 --diameter 2",
};

}  // namespace morvanta
