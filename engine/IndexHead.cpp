// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Indexing.h"

#include <algorithm>
#include <new>
#include <utility>

#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::parseWhole;

std::optional<std::int64_t> parseBounded(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
    const std::optional<std::int64_t> value = parseWhole(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

bool onlyDigitsAnd(std::string_view text, std::string_view separators) {
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return (c >= '0' && c <= '9') || separators.find(c) != std::string_view::npos;
    });
}

Result<IndexHead> refuseHead(std::string_view message, std::string_view about) {
    return Result<IndexHead>::failure(message, about);
}

// The plates' texts: a failure message, or none and the plates filled in.
std::optional<std::string_view> readPlates(std::string_view text, IndexHead& head) {
    std::string_view circles = text;
    if (text == "bs") {
        head.platesName = "Brown & Sharpe";
        circles = kBrownSharpePlates;
    } else if (text == "cincinnati") {
        head.platesName = "Cincinnati";
        circles = kCincinnatiPlates;
    } else if (text.empty() || !onlyDigitsAnd(text, ",/")) {
        return kIndexPlatesMessage;
    }
    std::size_t total = 0;
    for (const std::string_view plateText : split(circles, '/')) {
        std::vector<std::int64_t> plate;
        for (const std::string_view circleText : split(plateText, ',')) {
            const std::optional<std::int64_t> holes = parseWhole(circleText);
            if (!holes) {
                return kIndexPlatesMessage;
            }
            if (*holes < kMinCircleHoles || *holes > kMaxCircleHoles) {
                return kIndexCircleMessage;
            }
            if (std::find(plate.begin(), plate.end(), *holes) != plate.end()) {
                return kIndexCircleTwiceMessage;
            }
            if (++total > kMaxCircles) {
                return kIndexTooManyCirclesMessage;
            }
            plate.push_back(*holes);
        }
        head.plates.push_back(std::move(plate));
    }
    return std::nullopt;
}

std::optional<std::string_view> readGears(std::string_view text, IndexHead& head) {
    if (text.empty() || !onlyDigitsAnd(text, ",")) {
        return kIndexGearsMessage;
    }
    for (const std::string_view gearText : split(text, ',')) {
        const std::optional<std::int64_t> teeth = parseBounded(gearText, 1, kMaxGearTeeth);
        if (!teeth) {
            return kIndexGearsMessage;
        }
        if (head.gears.size() == kMaxGears) {
            return kIndexTooManyGearsMessage;
        }
        head.gears.push_back(*teeth);
    }
    std::sort(head.gears.begin(), head.gears.end());
    return std::nullopt;
}

}  // namespace

Result<IndexHead> indexHead(std::optional<std::string_view> ratio,
                            std::optional<std::string_view> plates,
                            std::optional<std::string_view> gears) {
    IndexHead head;
    if (ratio) {
        const std::optional<std::int64_t> value = parseBounded(*ratio, 1, kMaxIndexRatio);
        if (!value) {
            return refuseHead(kIndexRatioMessage, "ratio");
        }
        head.ratio = *value;
    }
    if (const auto complaint = readPlates(plates.value_or("bs"), head)) {
        return refuseHead(*complaint, "plates");
    }
    if (const auto complaint = readGears(gears.value_or(kDefaultGears), head)) {
        return refuseHead(*complaint, "gears");
    }
    return Result<IndexHead>::success(std::move(head));
}

Result<IndexPlan> planIndex(const IndexArguments& arguments) {
    const std::optional<std::int64_t> count = parseBounded(arguments.count, 1, kMaxIndexCount);
    if (!count) {
        return Result<IndexPlan>::failure(kIndexCountMessage, "count");
    }
    if (arguments.csv && *count > kMaxIndexTable) {
        return Result<IndexPlan>::failure(kIndexCsvTooLargeMessage, "count");
    }
    try {
        Result<IndexHead> head = indexHead(arguments.ratio, arguments.plates, arguments.gears);
        if (!head.ok()) {
            return Result<IndexPlan>::failure(head.message(), head.about());
        }
        return Result<IndexPlan>::success(indexPlan(head.value(), *count));
    } catch (const std::bad_alloc&) {
        return Result<IndexPlan>::failure("not enough memory to plan the indexing");
    }
}

Result<SurveyPlan> planSurvey(const SurveyArguments& arguments) {
    const std::optional<std::int64_t> from = parseBounded(arguments.from, 1, kMaxIndexCount);
    if (!from) {
        return Result<SurveyPlan>::failure(kIndexFromMessage, "from");
    }
    const std::optional<std::int64_t> to = parseBounded(arguments.to, 1, kMaxIndexCount);
    if (!to) {
        return Result<SurveyPlan>::failure(kIndexToMessage, "to");
    }
    if (*to < *from) {
        return Result<SurveyPlan>::failure(kIndexRangeMessage, "to");
    }
    if (*to - *from + 1 > kMaxSurveyCounts) {
        return Result<SurveyPlan>::failure(kIndexSurveySizeMessage, "to");
    }
    Result<IndexHead> head = indexHead(arguments.ratio, arguments.plates, arguments.gears);
    if (!head.ok()) {
        return Result<SurveyPlan>::failure(head.message(), head.about());
    }
    return Result<SurveyPlan>::success({std::move(head).value(), *from, *to});
}

}  // namespace morvanta
