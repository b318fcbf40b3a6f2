// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/IndexInputs.h"
#include "engine/Indexing.h"

#include <memory>

namespace morvanta {

namespace {

// clang-format off
constexpr Input kIndexInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    Input{"count", "Count", "", "COUNT", InputKind::Count, "divisions", "", within(1, kMaxIndexCount),
     "how many equal divisions of the work"}.startingAt("127"),
    kRatioInput,
    kPlatesInput,
    kGearsInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: the division table"}.as(Role::Csv),
};

constexpr Input kSurveyInputs[] = {
    Input{"survey", "Survey", "--survey", "", InputKind::Switch, "", "", kAnyValue,
     "list the method and move of every count from FROM to TO instead"}.as(Role::Selector),
    {"from", "From", "", "FROM", InputKind::Count, "divisions", "", within(1, kMaxIndexCount),
     "the first count of the survey"},
    {"to", "To", "", "TO", InputKind::Count, "divisions", "", within(1, kMaxIndexCount),
     "the last count of the survey, at most 100000 counts after the first"},
    kRatioInput,
    kPlatesInput,
    kGearsInput,
    Input{"csv", "CSV", "--csv", "", InputKind::Switch, "", "", kAnyValue,
     "comma-separated values: count,method,turns,holes,circle"}.as(Role::Csv),
};
// clang-format on

// The division table stops at kMaxIndexTable divisions, and so does its CSV.
Output divisionCsv(const std::shared_ptr<const IndexPlan>& plan) {
    if (plan->count > kMaxIndexTable) {
        const std::string most = std::to_string(kMaxIndexTable);
        const std::string count = std::to_string(plan->count);
        return {{},
                Refusal{"csv",
                        "{csv} holds the division table, made for counts up to " + most + "; " +
                            count + " divisions are more",
                        most, count}};
    }
    return {[plan] { return indexCsv(*plan); }};
}

Result<Made> makeIndex(const Values& values) {
    Result<IndexPlan> planned = planIndex(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const IndexPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return indexText(*plan); };
    made.report = [plan] { return indexReport(*plan); };
    made.csv = divisionCsv(plan);
    made.sketch = [plan] { return indexSketch(*plan); };
    return Result<Made>::success(std::move(made));
}

Result<Made> makeSurvey(const Values& values) {
    Result<SurveyPlan> planned = planSurvey(values);
    if (!planned.ok()) {
        return Result<Made>::failure(planned.refusal());
    }
    const auto plan = std::make_shared<const SurveyPlan>(std::move(planned).value());
    Made made;
    made.sheet.write = [plan] { return surveyText(*plan); };
    made.report = [plan] { return surveyReport(*plan); };
    made.csv = Output{[plan] { return surveyCsv(*plan); }};
    return Result<Made>::success(std::move(made));
}

}  // namespace

constinit const Calculation kIndexCalculation{
    .name = "index",
    .title = "Index plate",
    .summary = "crank moves for a dividing head: simple, compound and differential indexing",
    .about =
        "Prints how to divide the work into COUNT equal divisions with a dividing head and "
        "its index plates, exactly: simple indexing on one hole circle (every circle that "
        "works, the one with the fewest holes recommended), else compound indexing on two "
        "circles of one plate, else differential indexing with the change gears, else the "
        "nearest-hole plan marked approximate with each division's error. Differential "
        "indexing takes the simplest gear train first, then the base count nearest to COUNT; "
        "of two bases equally near, the higher (71 is divided as for 72, not 70). Up to "
        "10000 divisions, one line per division gives its exact angle and the crank's place "
        "counted from the first division.",
    .inputs = kIndexInputs,
    .make = makeIndex,
    .example = "127",
};

constinit const Calculation kSurveyCalculation{
    .name = "survey",
    .command = "index",
    .summary = "the method and move of every count from FROM to TO",
    .about =
        "Lists the method and the move of every count from FROM to TO on the head and "
        "plates given, as the plan of each count would choose them, and counts the counts "
        "of each method. With {csv} each row gives every move: count,method,turns,holes,"
        "circle (the crank's move; for differential that of the base count), then "
        "plate_holes,plate_circle (compound: the plate's move, minus when it turns back, so "
        "that turns + holes / circle + plate_holes / plate_circle is the ratio over the "
        "count), then base,gearing,gears (differential: the base count, the plate's turns "
        "per turn of the work, minus against the crank, and the train driver/driven).",
    .inputs = kSurveyInputs,
    .make = makeSurvey,
    .example = "--survey 1 10",
};

}  // namespace morvanta
