// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/LinePattern.h"

#include <new>
#include <tuple>

#include "engine/BoltCircle.h"
#include "engine/BoltCircleMath.h"
#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using LineResult = Result<LinePlan>;

ExactDecimal times(const ExactDecimal& d, std::int64_t factor) {
    return {d.units * factor, d.scale};
}

// The spacing: a pitch, or a length over COUNT - 1 steps.
std::optional<Refusal> setSpacing(const Values& values, LinePlan& plan) {
    const std::optional<ExactDecimal> pitch = values.decimal("pitch");
    const std::optional<ExactDecimal> length = values.decimal("length");
    if (pitch && length) {
        return Refusal{"length", std::string(kLineSpacingTwiceMessage)};
    }
    if (!pitch && !length) {
        return Refusal{"pitch", std::string(kLineSpacingMissingMessage)};
    }
    if (length && plan.count < 2) {
        return Refusal{"length", std::string(kLineLengthOneHoleMessage)};
    }
    plan.overLength = length.has_value();
    plan.pitch = length ? *length : *pitch;
    plan.divisor = length ? plan.count - 1 : 1;
    // (COUNT - 1) x pitch below 10^9: compared in units of the pitch's last decimal.
    const detail::I128 whole = static_cast<detail::I128>(kMaxLineLength) *
                               detail::kPow10[static_cast<std::size_t>(plan.pitch.scale)];
    if (pitch && static_cast<detail::I128>(pitch->units) * (plan.count - 1) >= whole) {
        return Refusal{"pitch", std::string(kLineTooLongMessage)};
    }
    return std::nullopt;
}

LineResult workedOut(LinePlan plan) {
    TurnedRounding turned(plan.angle);
    const ExactDecimal none{};
    plan.holes.reserve(static_cast<std::size_t>(plan.count));
    for (std::int64_t k = 1; k <= plan.count; ++k) {
        const ExactDecimal along = times(plan.pitch, k - 1);
        const auto x = turned.rounded(plan.startX, along, none, plan.decimals, plan.divisor);
        const auto y = turned.rounded(plan.startY, none, along, plan.decimals, plan.divisor);
        if (!x || !y) {
            return LineResult::failure(std::string(kBoltUndecidedMessage));
        }
        plan.holes.push_back({k, *x, *y});
    }
    return LineResult::success(std::move(plan));
}

std::string holesWord(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " hole" : " holes");
}

}  // namespace

Result<LinePlan> planLine(const Values& values) {
    try {
        LinePlan plan;
        plan.count = *values.whole("count");
        std::tie(plan.startX, plan.startY) = *values.point("start");
        plan.angle = *values.angle("angle");
        plan.decimals = static_cast<int>(*values.whole("decimals"));
        if (std::optional<Refusal> refused = setSpacing(values, plan)) {
            return LineResult::failure(std::move(*refused));
        }
        Result<HoleChoice> choice = HoleChoice::read(values, plan.count);
        if (!choice.ok()) {
            return LineResult::failure(choice.refusal());
        }
        plan.choice = std::move(choice).value();
        return workedOut(std::move(plan));
    } catch (const std::bad_alloc&) {
        return LineResult::failure("not enough memory for the line of holes");
    }
}

std::string spacingText(const ExactDecimal& length, std::int64_t divisor, int decimals) {
    const Angle exact = Angle::ratio(
        length.units, detail::kPow10[static_cast<std::size_t>(length.scale)] * divisor);
    if (detail::kPow10[Angle::kMaxDecimals] % exact.denominator() == 0) {
        return exactDegreesText(exact).substr(0, exactDegreesText(exact).size() - 2);
    }
    return std::to_string(exact.numerator()) + "/" + std::to_string(exact.denominator()) + " (" +
           decimalDegreesText(exact, decimals) + ")";
}

Report lineReport(const LinePlan& plan) {
    Report report;
    const std::string angle = exactDegreesText(plan.angle);
    report.title = "Line: " + holesWord(plan.count) + " from X " + exactDecimalText(plan.startX) +
                   " Y " + exactDecimalText(plan.startY) + " at " + angle;
    std::string spacing = "Spacing: " + spacingText(plan.pitch, plan.divisor, plan.decimals);
    if (plan.count > 1) {
        spacing += " apart, " +
                   spacingText(times(plan.pitch, plan.count - 1), plan.divisor, plan.decimals) +
                   " from hole 1 to hole " + std::to_string(plan.count);
    }
    report.notes.push_back(spacing + (plan.overLength ? ", a hole at each end" : ""));
    report.notes.push_back("Direction: " + angle + " counter-clockwise from +X");
    report.notes.push_back(
        "X, Y: start + (hole - 1) x spacing x cos, sin of the angle, correctly "
        "rounded to " +
        std::to_string(plan.decimals) + (plan.decimals == 1 ? " decimal" : " decimals") +
        " (halves away from 0)");
    if (!plan.choice.all()) {
        report.notes.push_back("Drilled: " + plan.choice.text());
    }
    report.notes.push_back(std::string(kMovesNote));
    report.columns = {"Hole", "X", "Y", "dX", "dY"};
    // X and Y are in whatever unit the user gave the spacing in.
    report.columnUnits = {"", "", "", "", ""};
    report.answer = answerLines(report.notes, {"Spacing:", "Direction:", "Drilled:"});
    addPatternRows(report, plan.holes, plan.choice, plan.decimals, [&](std::size_t i) {
        return std::vector<std::string>{std::to_string(plan.holes[i].number)};
    });
    return report;
}

std::string lineText(const LinePlan& plan) {
    return reportText(lineReport(plan));
}

std::string lineCsv(const LinePlan& plan) {
    return patternCsv("hole,x,y,dx,dy", plan.holes, plan.choice, plan.decimals, [&](std::size_t i) {
        return std::vector<std::string>{std::to_string(plan.holes[i].number)};
    });
}

std::vector<std::string> lineAbout(const LinePlan& plan) {
    return {"Line: " + holesWord(plan.count) + " from X" + exactDecimalText(plan.startX) + " Y" +
                exactDecimalText(plan.startY) + " at " + exactDegreesText(plan.angle, true),
            "Spacing " + spacingText(plan.pitch, plan.divisor, plan.decimals) +
                (plan.overLength ? ", a hole at each end" : "")};
}

}  // namespace morvanta
