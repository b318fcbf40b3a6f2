// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/Gear.h"
#include "engine/IndexInputs.h"

namespace morvanta {

namespace {

constexpr Choice kPressureAngles[] = {{"20", "20°"}, {"14.5", "14.5°"}};

// clang-format off
constexpr Input kGearInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"count", "Teeth", "", "TEETH", InputKind::Count, "teeth", "",
     within(kMinGearTeeth, kMaxGearCount), "how many teeth the gear has"}.startingAt("30"),
    Input{"module", "Module", "--module", "M", InputKind::Decimal, "mm", "",
     above(0).places(kGearSizeDigits, kGearSizeDecimals),
     "the module of the teeth, millimetres of pitch diameter per tooth; a helical gear's normal "
     "module, the cutter's"}.startingAt("2"),
    {"dp", "Diametral pitch", "--dp", "P", InputKind::Decimal, "", "",
     above(0).places(kGearSizeDigits, kGearSizeDecimals),
     "the diametral pitch instead, teeth per inch of pitch diameter; a helical gear's normal "
     "pitch, the cutter's"},
    Input{"pressure", "Pressure angle", "--pressure", "", InputKind::Choice, "°", "20", kAnyValue,
     "the pressure angle of the teeth and of the cutter, in degrees"}.offering(kPressureAngles),
    {"helix", "Helix angle", "--helix", "A", InputKind::Degrees, "°", "",
     above(0).upTo(kMaxHelixDegrees).places(2, 6),
     "for a helical gear: its helix angle, which brings the lead and its change gears"},
    kHandInput,
    kMachineLeadInput,
    kMachineUnitsInput,
    kRatioInput,
    kPlatesInput,
    kGearsInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: the division table"}.as(Role::Csv),
};
// clang-format on

Result<Made> makeGear(const Values& values) {
    Result<GearPlan> planned = planGear(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const GearPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return gearText(*plan); };
    made.report = [plan] { return gearReport(*plan); };
    made.csv = Output{[plan] { return indexCsv(plan->indexing); }};
    made.sketch = [plan] { return gearSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kGearCalculation{
    .name = "gear",
    .title = "Gear",
    .summary = "a spur or helical gear cut on the dividing head: blank, depth, cutter, indexing",
    .about =
        "Prints what it takes to cut a gear of TEETH teeth on the dividing head, its size a "
        "module {module} in millimetres or a diametral pitch {dp}: the pitch diameter, "
        "TEETH x M or TEETH / P; the outside diameter of the blank, (TEETH + 2) x M or "
        "(TEETH + 2) / P; the whole depth of cut, 2.25 x M by the ISO 53 basic rack or "
        "2.157 / P by the Brown & Sharpe full-depth involute; the involute cutter of the "
        "standard eight by the tooth count (No. 1 for 135 teeth to a rack, 2 for 55-134, 3 "
        "for 35-54, 4 for 26-34, 5 for 21-25, 6 for 17-20, 7 for 14-16, 8 for 12-13); and "
        "the indexing of TEETH divisions, as index plans it, with its division table. With "
        "{helix}, a helical gear: the transverse module (or pitch), the pitch and outside "
        "diameters over cos of the helix angle, the formative tooth count TEETH / cos^3 of "
        "it, which picks the cutter, the lead, pi x pitch diameter / tan of the angle, and "
        "its change gears and swivel as helix finds them. Rational sizes are exact; pi and "
        "the cosines are bounded with a proven error until each rounding is certain.",
    .inputs = kGearInputs,
    .make = makeGear,
    .example = "30 --module 2",
};

}  // namespace morvanta
