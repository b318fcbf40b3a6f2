// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/CommonOptions.h"
#include "engine/Flats.h"
#include "engine/IndexInputs.h"

namespace morvanta {

namespace {

// clang-format off
constexpr Input kFlatsInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"count", "Flats", "", "COUNT", InputKind::Count, "flats", "", within(2, kMaxFlats),
     "how many flats round the work: 4 for a square, 6 for a hexagon"}.startingAt("6"),
    Input{"diameter", "Diameter", "--diameter", "D", InputKind::Decimal, "", "",
     above(0).places(kFlatsWholeDigits, kFlatsDecimals),
     "the diameter of the round stock, in the unit you work in"}.startingAt("30"),
    {"across", "Across flats", "--across", "F", InputKind::Decimal, "", "",
     above(0).places(kFlatsWholeDigits, kFlatsDecimals),
     "the size across flats wanted, below {diameter}; without it the flats meet at the corners on "
     "the round"},
    kDecimalsInput,
    kRatioInput,
    kPlatesInput,
    kGearsInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: the division table"}.as(Role::Csv),
};
// clang-format on

Result<Made> makeFlats(const Values& values) {
    Result<FlatsPlan> planned = planFlats(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const FlatsPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return flatsText(*plan); };
    made.report = [plan] { return flatsReport(*plan); };
    made.csv = Output{[plan] { return indexCsv(plan->indexing); }};
    made.sketch = [plan] { return flatsSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kFlatsCalculation{
    .name = "flats",
    .title = "Flats",
    .summary = "flats on round stock: size across flats, depth of cut, width, and the indexing",
    .about =
        "Prints what it takes to mill COUNT flats (4 a square, 6 a hexagon) on round stock of "
        "diameter {diameter} with the dividing head: the size across flats where the flats "
        "meet at the corners on the round, D x cos(180 degrees / COUNT), the depth of cut "
        "(D - across flats) / 2 and the width of each flat; with {across}, the depth and "
        "width for that size, and whether the flats meet before the round or leave round "
        "between them. Each figure is correctly rounded from its exact value, the cosines, "
        "sines and tangents bounded with a proven error until the rounding is certain. Then "
        "the indexing of COUNT divisions, as index plans it, with its division table.",
    .inputs = kFlatsInputs,
    .make = makeFlats,
    .example = "6 --diameter 30",
};

}  // namespace morvanta
