// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Flats.h"

#include <cmath>

#include "engine/BoltCircleMath.h"
#include "engine/DividingWork.h"
#include "engine/Integers.h"
#include "engine/ProvenSign.h"

namespace morvanta {

namespace {

using detail::formatted;
using detail::kPow10;

Angle halfPitch(const FlatsPlan& plan) {
    return Angle::ratio(180, plan.count);
}

// The value x 10^decimals rounded, k, is the whole number with (2k - 1)^2 B <= 4A < (2k + 1)^2 B,
// A / B being the value squared times 100^decimals; an exact half goes up.
std::int64_t roundedRoot(WideInt a, WideInt b) {
    auto k = static_cast<WideInt>(
        std::llround(std::sqrt(static_cast<long double>(a) / static_cast<long double>(b))));
    while ((2 * k + 1) * (2 * k + 1) * b <= 4 * a) {
        ++k;
    }
    while (k > 0 && (2 * k - 1) * (2 * k - 1) * b > 4 * a) {
        --k;
    }
    return static_cast<std::int64_t>(k);
}

// F x tan t: F sin t - (n / d) cos t, times d x 10^scale, has the sign of F tan t - n / d.
ProvenValue flatWidth(WideInt across, int scale, const Angle& t) {
    const long double estimate =
        static_cast<long double>(across) /
        static_cast<long double>(kPow10[static_cast<std::size_t>(scale)]) *
        std::tan(static_cast<long double>(t.toDouble()) * 3.14159265358979323846L / 180);
    return {estimate, [=](WideInt n, WideInt d) {
                return std::vector<TrigTerm>{
                    {across * d, false, {{t, Trig::Sin}}},
                    {-n * kPow10[static_cast<std::size_t>(scale)], false, {{t, Trig::Cos}}}};
            }};
}

// F / cos t: F - (n / d) cos t, times d x 10^scale.
ProvenValue acrossCorners(WideInt across, int scale, const Angle& t) {
    const long double estimate =
        static_cast<long double>(across) /
        static_cast<long double>(kPow10[static_cast<std::size_t>(scale)]) /
        std::cos(static_cast<long double>(t.toDouble()) * 3.14159265358979323846L / 180);
    return {estimate, [=](WideInt n, WideInt d) {
                return std::vector<TrigTerm>{
                    {across * d, false, {}},
                    {-n * kPow10[static_cast<std::size_t>(scale)], false, {{t, Trig::Cos}}}};
            }};
}

// The flats meeting on the round: D x cos t across, D x sin t wide, (D - D cos t) / 2 deep.
bool onTheRound(FlatsPlan& plan) {
    const Angle t = halfPitch(plan);
    const ExactDecimal half{plan.diameter.units * 5, plan.diameter.scale + 1};
    const auto width = roundedCoordinate({}, plan.diameter, t, Trig::Sin, plan.decimals);
    const auto depth =
        roundedCoordinate(half, half, t + Angle::whole(180), Trig::Cos, plan.decimals);
    if (!width || !depth) {
        return false;
    }
    plan.width = *width;
    plan.depth = *depth;
    plan.acrossFlats = plan.meetsAt;
    return true;
}

// Flats of a size given: where they meet, decided exactly, and the width that follows.
bool ofSizeGiven(FlatsPlan& plan) {
    const Angle t = halfPitch(plan);
    const int scale = std::max(plan.diameter.scale, plan.across->scale);
    const WideInt d = unitsOf(plan.diameter, scale);
    const WideInt f = unitsOf(*plan.across, scale);
    const WideInt one = kPow10[static_cast<std::size_t>(scale)];
    plan.acrossFlats = roundedRatio(f, one, plan.decimals);
    plan.depth = roundedRatio(d - f, 2 * one, plan.decimals);
    const std::vector<TrigTerm> against{{f, false, {}}, {-d, false, {{t, Trig::Cos}}}};
    const std::optional<int> side = signOf(against);
    if (!side) {
        return false;
    }
    plan.meet = *side > 0   ? FlatsMeet::Apart
                : *side < 0 ? FlatsMeet::Inside
                            : FlatsMeet::OnTheRound;
    if (plan.meet == FlatsMeet::Apart) {
        const WideInt power = kPow10[static_cast<std::size_t>(plan.decimals)];
        plan.width = roundedRoot((d * d - f * f) * power * power, one * one);
        return true;
    }
    if (plan.meet == FlatsMeet::OnTheRound) {
        const auto width = roundedCoordinate({}, plan.diameter, t, Trig::Sin, plan.decimals);
        plan.width = width.value_or(0);
        return width.has_value();
    }
    // tan 45° = 1: a square's flats are as wide as they lie across.
    const auto width =
        plan.count == 4 ? plan.acrossFlats : roundedUnits(flatWidth(f, scale, t), plan.decimals);
    const auto corners = roundedUnits(acrossCorners(f, scale, t), plan.decimals);
    plan.width = width.value_or(0);
    plan.corners = corners.value_or(0);
    return width && corners;
}

}  // namespace

Result<FlatsPlan> planFlats(const Values& values) {
    if (!values.given("diameter")) {
        return refused<FlatsPlan>("diameter", "give the diameter of the round with {diameter}");
    }
    FlatsPlan plan;
    plan.count = *values.whole("count");
    plan.diameter = *values.decimal("diameter");
    plan.decimals = static_cast<int>(*values.whole("decimals"));
    if (values.given("across")) {
        plan.across = *values.decimal("across");
        const int scale = std::max(plan.diameter.scale, plan.across->scale);
        if (unitsOf(*plan.across, scale) >= unitsOf(plan.diameter, scale)) {
            const std::string limit = exactDecimalText(plan.diameter);
            const std::string value = exactDecimalText(*plan.across);
            return refused<FlatsPlan>(
                "across", "{across} must be below {diameter}; " + value + " is not below " + limit,
                limit, value);
        }
    } else if (plan.count == 2) {
        return refused<FlatsPlan>(
            "across", "two flats lie opposite each other and never meet: give {across}");
    }
    const auto meetsAt = roundedCoordinate({}, plan.diameter, Angle::ratio(180, plan.count),
                                           Trig::Cos, plan.decimals);
    if (!meetsAt) {
        return refused<FlatsPlan>("", std::string(kUndecidedMessage));
    }
    plan.meetsAt = *meetsAt;
    plan.corners = roundedRatio(
        plan.diameter.units, kPow10[static_cast<std::size_t>(plan.diameter.scale)], plan.decimals);
    if (!(plan.across ? ofSizeGiven(plan) : onTheRound(plan))) {
        return refused<FlatsPlan>("", std::string(kUndecidedMessage));
    }
    Result<IndexPlan> indexing = planDivisions(values, plan.count);
    if (!indexing.ok()) {
        return Result<FlatsPlan>::failure(indexing.refusal());
    }
    plan.indexing = std::move(indexing).value();
    return Result<FlatsPlan>::success(std::move(plan));
}

namespace {

std::string figure(const FlatsPlan& plan, std::int64_t units) {
    return unitsText(units, plan.decimals);
}

std::vector<std::string> sizeNotes(const FlatsPlan& plan) {
    const std::string d = exactDecimalText(plan.diameter);
    const std::string t = formatted("(180\u00B0/%lld)", static_cast<long long>(plan.count));
    const std::string meets = d + " x cos" + t + " = " + figure(plan, plan.meetsAt);
    if (!plan.across) {
        return {"Across flats: " + meets + ", the flats meeting at the corners on the round",
                "Depth of cut: (" + d + " - " + d + " x cos" + t + ") / 2 = " +
                    figure(plan, plan.depth) + " for each flat, from the top of the round",
                "Width of each flat: " + d + " x sin" + t + " = " + figure(plan, plan.width)};
    }
    const std::string f = exactDecimalText(*plan.across);
    std::vector<std::string> notes;
    switch (plan.meet) {
        case FlatsMeet::Apart:
            notes.push_back("Across flats: " + f + ", as given, above " + meets +
                            " where the flats would meet");
            notes.push_back("on the round: round is left between the flats");
            break;
        case FlatsMeet::Inside:
            notes.push_back("Across flats: " + f + ", as given, below " + meets +
                            " where the flats would meet");
            notes.push_back("on the round: they meet before it, in sharp corners");
            break;
        case FlatsMeet::OnTheRound:
            notes.push_back("Across flats: " + f + ", as given: " + meets +
                            ", the flats meeting at the corners on the round");
            break;
    }
    notes.push_back("Depth of cut: (" + d + " - " + f + ") / 2 = " + figure(plan, plan.depth) +
                    " for each flat, from the top of the round");
    if (plan.meet == FlatsMeet::Apart) {
        notes.push_back("Width of each flat: sqrt(" + d + "\u00B2 - " + f +
                        "\u00B2) = " + figure(plan, plan.width));
    } else if (plan.meet == FlatsMeet::Inside) {
        notes.push_back("Width of each flat: " + f + " x tan" + t + " = " +
                        figure(plan, plan.width));
        notes.push_back("Across corners: " + f + " / cos" + t + " = " + figure(plan, plan.corners) +
                        ", inside the round");
    } else {
        notes.push_back("Width of each flat: " + d + " x sin" + t + " = " +
                        figure(plan, plan.width));
    }
    return notes;
}

}  // namespace

Report flatsReport(const FlatsPlan& plan) {
    Report report;
    report.title =
        formatted("Flats: %lld flats on a diameter of ", static_cast<long long>(plan.count)) +
        exactDecimalText(plan.diameter);
    report.notes = sizeNotes(plan);
    // The sizes to cut, before the note on odd counts, which explains rather than answers.
    report.answer = answerLines(report.notes, {"Across flats:", "on the round:", "Depth of cut:",
                                               "Width of each flat:", "Across corners:"});
    if (plan.count % 2 == 1) {
        report.notes.push_back(
            "Across flats: for an odd count, twice the distance of each flat from the axis");
    }
    report.notes.push_back(formatted(
        "Figures: each correctly rounded to %d decimals from its exact value (halves away from 0); "
        "sines,",
        plan.decimals));
    report.notes.push_back(
        "cosines and tangents bounded with a proven error until the rounding is certain");
    return withIndexing(std::move(report), plan.indexing);
}

std::string flatsText(const FlatsPlan& plan) {
    return reportText(flatsReport(plan));
}

Sketch flatsSketch(const FlatsPlan& plan) {
    const double scale = std::pow(10.0, -plan.decimals);
    const double radius = approximately(plan.diameter) / 2;
    const double apothem = static_cast<double>(plan.acrossFlats) * scale / 2;
    const double half = static_cast<double>(plan.width) * scale / 2;
    Sketch sketch;
    sketch.caption = formatted("%lld flats on a round of ", static_cast<long long>(plan.count)) +
                     exactDecimalText(plan.diameter) + ", " + figure(plan, plan.acrossFlats) +
                     " across flats";
    sketch.circles.push_back({0, 0, radius, Ink::Guide, false});
    sketch.circles.push_back({0, 0, apothem, Ink::Guide, false});
    for (std::int64_t flat = 1; flat <= plan.count; ++flat) {
        const double at =
            (90.0 + 360.0 * static_cast<double>(flat - 1) / static_cast<double>(plan.count)) *
            3.14159265358979323846 / 180;
        const double cx = apothem * std::cos(at);
        const double cy = apothem * std::sin(at);
        sketch.lines.push_back({cx + half * std::sin(at), cy - half * std::cos(at),
                                cx - half * std::sin(at), cy + half * std::cos(at), Ink::Outline,
                                false});
        sketch.holes.push_back({cx, cy, radius / 40, flat});
    }
    sketch.lines.push_back({0, -apothem, 0, apothem, Ink::Dimension, true});
    sketch.texts.push_back(
        {0, 0, figure(plan, plan.acrossFlats) + " across flats", Ink::Dimension, Align::Right});
    sketch.texts.push_back(
        {0, -radius, "\u2300" + exactDecimalText(plan.diameter), Ink::Dimension, Align::Below});
    sketch.texts.push_back(
        {0, radius, "depth " + figure(plan, plan.depth), Ink::Dimension, Align::Above});
    return sketch;
}

}  // namespace morvanta
