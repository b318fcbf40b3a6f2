// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Indexing.h"

#include <algorithm>
#include <new>
#include <utility>

namespace morvanta {

namespace {

Result<IndexHead> refuseHead(std::string text, std::string_view about, std::string limit = {},
                             std::string value = {}) {
    return Result<IndexHead>::failure(
        Refusal{std::string(about), std::move(text), std::move(limit), std::move(value)});
}

}  // namespace

Result<IndexHead> indexHead(const Values& values) {
    IndexHead head;
    head.ratio = *values.whole("ratio");
    const std::string_view plates = *values.text("plates");
    head.platesName = plates == "bs" ? "Brown & Sharpe" : plates == "cincinnati" ? "Cincinnati" : "";
    head.plates = values.groups("plates");
    for (std::size_t plate = 0; plate < head.plates.size(); ++plate) {
        std::vector<std::int64_t> circles = head.plates[plate];
        std::sort(circles.begin(), circles.end());
        const auto twice = std::adjacent_find(circles.begin(), circles.end());
        if (twice != circles.end()) {
            return refuseHead("each plate of {plates} may list a circle once; plate " +
                                  std::to_string(plate + 1) + " lists " + std::to_string(*twice) +
                                  " twice",
                              "plates", {}, std::to_string(*twice));
        }
    }
    for (const std::vector<std::int64_t>& group : values.groups("gears")) {
        head.gears.insert(head.gears.end(), group.begin(), group.end());
    }
    std::sort(head.gears.begin(), head.gears.end());
    return Result<IndexHead>::success(std::move(head));
}

Result<IndexPlan> planIndex(const Values& values) {
    try {
        Result<IndexHead> head = indexHead(values);
        if (!head.ok()) {
            return Result<IndexPlan>::failure(head.refusal());
        }
        return Result<IndexPlan>::success(indexPlan(head.value(), *values.whole("count")));
    } catch (const std::bad_alloc&) {
        return Result<IndexPlan>::failure("not enough memory to plan the indexing");
    }
}

Result<IndexPlan> planIndex(const Inputs& inputs) {
    const Result<Values> values = readInputs(kIndexCalculation, inputs);
    if (!values.ok()) {
        return Result<IndexPlan>::failure(values.refusal());
    }
    return planIndex(values.value());
}

Result<SurveyPlan> planSurvey(const Values& values) {
    const std::int64_t from = *values.whole("from");
    const std::int64_t to = *values.whole("to");
    if (to < from) {
        return Result<SurveyPlan>::failure(
            Refusal{"to", "{to} must not be below {from}; " + std::to_string(to) + " is below " +
                              std::to_string(from),
                    std::to_string(from), std::to_string(to)});
    }
    if (to - from + 1 > kMaxSurveyCounts) {
        const std::string counts = std::to_string(to - from + 1);
        return Result<SurveyPlan>::failure(
            Refusal{"to", "a survey covers at most " + std::to_string(kMaxSurveyCounts) +
                              " counts, and {from} to {to} are " + counts + ": split the range",
                    std::to_string(kMaxSurveyCounts), counts});
    }
    Result<IndexHead> head = indexHead(values);
    if (!head.ok()) {
        return Result<SurveyPlan>::failure(head.refusal());
    }
    return Result<SurveyPlan>::success({std::move(head).value(), from, to});
}

Result<SurveyPlan> planSurvey(const Inputs& inputs) {
    const Result<Values> values = readInputs(kSurveyCalculation, inputs);
    if (!values.ok()) {
        return Result<SurveyPlan>::failure(values.refusal());
    }
    return planSurvey(values.value());
}

}  // namespace morvanta
