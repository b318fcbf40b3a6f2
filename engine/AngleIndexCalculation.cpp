// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/AngleIndexing.h"
#include "engine/IndexInputs.h"

namespace morvanta {

namespace {

// clang-format off
constexpr Input kAngleIndexInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"angle", "Angle", "--angle", "A", InputKind::Degrees, "°", "",
     above(0).upTo(360).places(3, 9).dms(),
     "turn the work through this angle instead of a count: degrees with decimals, or degrees, "
     "minutes and seconds"}.as(Role::Selector).startingAt("35"),
    {"repeat", "Steps", "--repeat", "N", InputKind::Count, "steps", "", within(1, kMaxAngleSteps),
     "a table of N steps of {angle}, the crank's place at each counted from the start"},
    kRatioInput,
    kPlatesInput,
    kGearsInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: the step table"}.as(Role::Csv),
};
// clang-format on

Result<Made> makeAngleIndex(const Values& values) {
    Result<AngleIndexPlan> planned = planAngleIndex(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const AngleIndexPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return angleIndexText(*plan); };
    made.report = [plan] { return angleIndexReport(*plan); };
    made.csv = Output{[plan] { return angleIndexCsv(*plan); }};
    made.sketch = [plan] { return angleIndexSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kAngleIndexCalculation{
    .name = "angle",
    .command = "index",
    .title = "Angular indexing",
    .summary = "crank moves for turning the work through an angle",
    .about =
        "With {angle}, prints how to turn the work through an angle A with the dividing "
        "head: the crank turns A x R / 360 degrees, whole turns and holes on a circle where "
        "one gives it exactly (every circle that does, the fewest holes recommended), else on "
        "two circles of one plate, else with the differential change gears, as for counts; "
        "else the hole nearest on the circle that errs least, with the angle reached and the "
        "error in seconds of arc. A is degrees with decimals, or degrees, minutes and seconds "
        "written 17d30m15s, 17\u00B030'15\" or 17:30:15. With {repeat}, a table of N steps of "
        "A: each step's exact angle and the crank's place counted from the start, each step "
        "of a nearest-hole plan on the hole nearest its own exact place.",
    .inputs = kAngleIndexInputs,
    .make = makeAngleIndex,
    .example = "--angle 17d30m",
};

}  // namespace morvanta
