// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SettingSheet.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using detail::decimalText;
using detail::formatted;
using detail::I128;
using detail::parseWhole;

// A ratio as the fraction numerator / 10^scale and as the sheet writes it: "90", "40.5".
struct Ratio {
    std::int64_t numerator;
    std::int64_t denominator;
    std::string text;
};

Ratio ratioOf(const ExactDecimal& value) {
    std::int64_t denominator = 1;
    for (int i = 0; i < value.scale; ++i) {
        denominator *= 10;
    }
    return {value.units, denominator, exactDecimalText(value)};
}

SheetPlanResult refuse(std::string text, std::string_view about, std::string limit = {},
                       std::string value = {}) {
    return SheetPlanResult::failure(
        Refusal{std::string(about), std::move(text), std::move(limit), std::move(value)});
}

std::string withoutPlus(std::string text) {
    if (!text.empty() && text.front() == '+') {
        text.erase(0, 1);
    }
    return text;
}

// Seconds as a figure of a refusal: whole, or cut (never rounded up) to four decimals, so that a
// spacing shown beside a coarser step never reads as large as the step, and a turn that is not
// whole never reads as whole: 225/2 -> 112.5000", 1296000/7 -> 185142.8571".
std::string secondsFigure(const Angle& seconds) {
    if (seconds.isWhole()) {
        return std::to_string(seconds.numerator()) + "\"";
    }
    const I128 tenThousandths =
        static_cast<I128>(seconds.numerator()) * 10000 / seconds.denominator();
    return formatted("%lld.%04lld\"", static_cast<long long>(tenThousandths / 10000),
                     static_cast<long long>(tenThousandths % 10000));
}

// The handwheel: ratio, dial and resolution, each turn and graduation a whole number of seconds.
SheetPlanResult setHandwheel(const Values& values, SheetPlan plan) {
    if (const std::optional<ExactDecimal> given = values.decimal("ratio")) {
        const Ratio ratio = ratioOf(*given);
        const std::int64_t turnTimesNumerator = kSecondsPerRevolution * ratio.denominator;
        if (turnTimesNumerator % ratio.numerator != 0) {
            const Angle turn = Angle::ratio(turnTimesNumerator, ratio.numerator);
            return refuse(
                "{ratio} must turn the table a whole number of seconds of arc per "
                "handwheel turn; " +
                    ratio.text + " turns it " + secondsFigure(turn),
                "ratio", {}, ratio.text);
        }
        plan.turn = turnTimesNumerator / ratio.numerator;
        plan.ratioText = ratio.text;
    }
    if (const std::optional<std::int64_t> dial = values.whole("dial")) {
        if (plan.turn == 0) {
            return refuse("{dial} needs {ratio}", "dial");
        }
        if (plan.turn % *dial != 0) {
            const Angle graduation = Angle::ratio(plan.turn, *dial);
            return refuse(
                "one graduation of {dial} must be a whole number of seconds of table "
                "angle; " +
                    std::to_string(*dial) + " graduations make it " + secondsFigure(graduation),
                "dial", {}, std::to_string(*dial));
        }
        plan.dial = *dial;
        plan.graduation = plan.turn / *dial;
        plan.resolution = plan.graduation;
    }
    if (const std::optional<std::int64_t> resolution = values.whole("resolution")) {
        if (plan.dial != 0 && *resolution % plan.graduation != 0) {
            return refuse(
                "{resolution} must be a whole number of graduations of {dial}; one "
                "graduation is " +
                    amountText(plan.graduation),
                "resolution", amountText(plan.graduation), amountText(*resolution));
        }
        plan.resolution = *resolution;
    }
    return SheetPlanResult::success(std::move(plan));
}

// The start, arc and direction of a plan whose handwheel is set.
SheetPlanResult placeHoles(const Values& values, SheetPlan plan) {
    plan.arc = values.given("start") || values.given("span") || values.on("cw");
    plan.start = *values.angle("start");
    plan.first = plan.start.withinTurn();
    plan.span = values.angle("span");
    if (values.on("ends")) {
        if (const std::optional<std::string_view> complaint = endsComplaint(plan.span)) {
            return refuse(std::string(*complaint), "ends");
        }
        plan.ends = true;
    }
    plan.clockwise = values.on("cw");
    const std::int64_t divisions = plan.ends ? plan.holes - 1 : plan.holes;
    const Angle span = plan.span.value_or(Angle::whole(360));
    plan.step = span / divisions;
    // Hole k lies at 3600 first + 3600 span (k - 1) / divisions seconds, give or take whole turns.
    const Angle firstSeconds = plan.first * kSecondsPerDegree;
    const Angle spanSeconds = span * kSecondsPerDegree;
    plan.errorDenominator =
        std::lcm(firstSeconds.denominator(), spanSeconds.denominator() * divisions);
    plan.axis = values.text("axis")->front();
    const std::string_view rotary = values.text("rotary").value_or("forward");
    plan.rotary = rotary == "shortest"      ? RotaryMoves::Shortest
                  : rotary == "incremental" ? RotaryMoves::Incremental
                                            : RotaryMoves::Forward;
    plan.decimals = static_cast<int>(*values.whole("decimals"));
    return SheetPlanResult::success(std::move(plan));
}

// A step that sets two holes alike would be no setting sheet: the resolution (or the dial's
// graduation) may be no coarser than the spacing of the holes.
SheetPlanResult checkSpacing(const Values& values, SheetPlan plan) {
    const Angle spacing = plan.step * kSecondsPerDegree;
    if (Angle::whole(plan.resolution) <= spacing) {
        return SheetPlanResult::success(std::move(plan));
    }
    const std::string limit = secondsFigure(spacing);
    const std::string value = amountText(plan.resolution);
    const std::string spaced = "the spacing of the holes, " + limit;
    if (values.given("resolution")) {
        return refuse(
            "{resolution} must be no coarser than " + spaced + "; " + value + " is coarser",
            "resolution", limit, value);
    }
    if (plan.dial != 0) {
        return refuse("one graduation of {dial}, " + value + ", must be no coarser than " + spaced +
                          ": a finer dial or fewer holes are needed",
                      "dial", limit, value);
    }
    // Round the full circle 10000 holes lie 129.6" apart, so only a narrow arc gets here.
    return refuse(
        spaced + ", is finer than the resolution of " + value + ": give fewer holes or a wider arc",
        "span", limit, value);
}

}  // namespace

SheetPlanResult planSheetHoles(const Values& values) {
    SheetPlan plan;
    plan.holes = *values.whole("count");
    SheetPlanResult handwheel = setHandwheel(values, std::move(plan));
    if (!handwheel.ok()) {
        return handwheel;
    }
    return placeHoles(values, std::move(handwheel).value());
}

SheetPlanResult planSheet(const Values& values) {
    SheetPlanResult placed = planSheetHoles(values);
    if (!placed.ok()) {
        return placed;
    }
    return checkSpacing(values, std::move(placed).value());
}

SheetPlanResult planSheet(const Inputs& inputs) {
    const Result<Values> values = readInputs(kSheetCalculation, inputs);
    if (!values.ok()) {
        return SheetPlanResult::failure(values.refusal());
    }
    return planSheet(values.value());
}

Angle sheetExactAngle(const SheetPlan& plan, std::int64_t hole) {
    const Angle angle = plan.first + plan.step * (hole - 1);
    return (plan.clockwise ? -angle : angle).withinTurn();
}

HoleSetting holeSetting(const SheetPlan& plan, std::int64_t hole) noexcept {
    const Angle exact = sheetExactAngle(plan, hole);
    // A setting that rounds up to a full turn is set as 0, its error still measured from the
    // exact angle below 360°.
    const std::int64_t rounded = roundedTicks(exact, 0, plan.resolution);
    const I128 exactTimesDenominator = static_cast<I128>(exact.numerator()) * kSecondsPerDegree *
                                       plan.errorDenominator / exact.denominator();
    HoleSetting setting;
    setting.angle = rounded % kSecondsPerRevolution;
    if (plan.turn != 0) {
        setting.turns = setting.angle / plan.turn;
        setting.inTurn = setting.angle % plan.turn;
    }
    if (plan.graduation != 0) {
        setting.dialReading = setting.inTurn / plan.graduation;
    }
    setting.errorTimesHoles = static_cast<std::int64_t>(
        static_cast<I128>(rounded) * plan.errorDenominator - exactTimesDenominator);
    return setting;
}

std::string angleText(std::int64_t seconds) {
    return dmsText(splitTicks(seconds, 0));
}

std::string amountText(std::int64_t seconds) {
    const long long parts[] = {seconds / kSecondsPerDegree,
                               seconds / kSecondsPerMinute % kSecondsPerMinute,
                               seconds % kSecondsPerMinute};
    const char* marks[] = {"\u00B0", "'", "\""};
    std::size_t first = 0;
    while (first < 2 && parts[first] == 0) {
        ++first;
    }
    std::size_t last = 2;
    while (last > first && parts[last] == 0) {
        --last;
    }
    std::string text;
    for (std::size_t i = first; i <= last; ++i) {
        text += formatted(i == first ? "%lld%s" : "%02lld%s", parts[i], marks[i]);
    }
    return text;
}

std::string errorText(std::int64_t errorTimesHoles, std::int64_t holes) {
    return decimalText(errorTimesHoles, holes, 2, true);
}

namespace {

std::vector<std::string> sheetNotes(const SheetPlan& plan) {
    const bool hasRatio = plan.turn != 0;
    std::vector<std::string> notes;
    if (hasRatio) {
        notes.push_back("Worm ratio: " + plan.ratioText +
                        ":1, one handwheel turn = " + amountText(plan.turn));
    }
    if (plan.dial != 0) {
        notes.push_back(formatted("Dial: %lld graduations per turn, one graduation = ",
                                  static_cast<long long>(plan.dial)) +
                        amountText(plan.graduation));
    }
    std::string resolution = "Resolution: " + amountText(plan.resolution);
    if (plan.dial != 0) {
        const auto graduations = static_cast<long long>(plan.resolution / plan.graduation);
        resolution +=
            formatted(graduations == 1 ? " (%lld graduation)" : " (%lld graduations)", graduations);
    }
    notes.push_back(resolution + ", halves rounded up");
    if (plan.arc) {
        notes.push_back("Holes: " + holesMeaning(plan.holes, plan.span, plan.ends, plan.step,
                                                 kDefaultWrittenDecimals));
        const std::string angle =
            exactDegreesText(plan.start) + " + (hole - 1) x " + exactDegreesText(plan.step);
        notes.push_back("Angle: each hole's exact angle " +
                        (plan.clockwise ? "-(" + angle + "), clockwise" : angle) +
                        ", within one turn, rounded on its own");
    } else {
        notes.push_back(formatted(
            "Angle: each hole's exact angle (hole - 1) x 360\u00B0 / %lld, rounded on its own",
            static_cast<long long>(plan.holes)));
    }
    if (hasRatio) {
        const std::string from = plan.arc ? "Turns: whole handwheel turns from the table at zero"
                                          : "Turns: whole handwheel turns from hole 1 at zero";
        notes.push_back(from + (plan.dial != 0 ? "; Dial: graduations past them"
                                               : "; Dial: table angle past them"));
    }
    notes.push_back("Error: angle set minus exact angle, in seconds of arc");
    return notes;
}

std::vector<std::string> sheetColumns(const SheetPlan& plan) {
    if (plan.turn != 0) {
        return {"Hole", "Angle", "Turns", "Dial", "Error"};
    }
    return {"Hole", "Angle", "Error"};
}

// The dial counts graduations where there is one, else it is the table's angle within the turn.
std::vector<std::string> sheetUnits(const SheetPlan& plan) {
    if (plan.turn != 0) {
        return {"", "°'\"", "", plan.dial != 0 ? "graduations" : "°'\"", "\""};
    }
    return {"", "°'\"", "\""};
}

std::vector<std::string> sheetRow(const SheetPlan& plan, std::int64_t hole,
                                  const HoleSetting& setting) {
    std::vector<std::string> row{std::to_string(hole), angleText(setting.angle)};
    if (plan.turn != 0) {
        row.push_back(std::to_string(setting.turns));
        row.push_back(plan.dial != 0 ? std::to_string(setting.dialReading)
                                     : angleText(setting.inTurn));
    }
    row.push_back(errorText(setting.errorTimesHoles, plan.errorDenominator) + "\"");
    return row;
}

// The largest error by size, and the first hole that has it.
std::string sheetFooter(const SheetPlan& plan, std::int64_t largest, std::int64_t largestHole) {
    if (largest == 0) {
        return "Largest error: 0.00\" (every setting is exact)";
    }
    const std::string shown = withoutPlus(errorText(largest, plan.errorDenominator));
    if (shown == "0.00") {
        return "Largest error: 0.00\" (every setting is exact to the digit shown)";
    }
    return "Largest error: " + shown +
           formatted("\" (hole %lld)", static_cast<long long>(largestHole));
}

}  // namespace

Report sheetReport(const SheetPlan& plan) {
    Report report;
    report.title = formatted("Setting sheet: %lld holes", static_cast<long long>(plan.holes));
    report.notes = sheetNotes(plan);
    report.columns = sheetColumns(plan);
    report.rows.reserve(static_cast<std::size_t>(plan.holes));
    std::int64_t largest = 0;
    std::int64_t largestHole = 1;
    for (std::int64_t hole = 1; hole <= plan.holes; ++hole) {
        const HoleSetting setting = holeSetting(plan, hole);
        report.rows.push_back(sheetRow(plan, hole, setting));
        const std::int64_t size = std::abs(setting.errorTimesHoles);
        if (size > largest) {
            largest = size;
            largestHole = hole;
        }
    }
    report.footer.push_back(sheetFooter(plan, largest, largestHole));
    report.columnUnits = sheetUnits(plan);
    // What each setting is rounded to, over which arc, and how far that puts the worst hole off.
    report.answer = answerLines(report.notes, {"Resolution:", "Holes:"});
    report.answer.push_back(report.footer.back());
    return report;
}

std::string sheetText(const SheetPlan& plan) {
    return reportText(sheetReport(plan));
}

std::string sheetCsv(const SheetPlan& plan) {
    std::string text = "hole,degrees,minutes,seconds";
    if (plan.dial != 0) {
        text += ",turns,dial";
    } else if (plan.turn != 0) {
        text += ",turns,dial_degrees,dial_minutes,dial_seconds";
    }
    text += ",error\n";
    const auto dms = [](std::int64_t seconds) {
        return formatted(",%lld,%lld,%lld", static_cast<long long>(seconds / kSecondsPerDegree),
                         static_cast<long long>(seconds / kSecondsPerMinute % kSecondsPerMinute),
                         static_cast<long long>(seconds % kSecondsPerMinute));
    };
    for (std::int64_t hole = 1; hole <= plan.holes; ++hole) {
        const HoleSetting setting = holeSetting(plan, hole);
        text += std::to_string(hole) + dms(setting.angle);
        if (plan.dial != 0) {
            text += formatted(",%lld,%lld", static_cast<long long>(setting.turns),
                              static_cast<long long>(setting.dialReading));
        } else if (plan.turn != 0) {
            text += formatted(",%lld", static_cast<long long>(setting.turns)) + dms(setting.inTurn);
        }
        text += ',';
        text += decimalText(setting.errorTimesHoles, plan.errorDenominator, 4, false);
        text += '\n';
    }
    return text;
}

}  // namespace morvanta

namespace morvanta {

namespace {

// An angle as a count of 10^-decimals degrees, halves away from zero.
std::int64_t degreeUnits(const Angle& angle, int decimals) {
    const I128 scaled = static_cast<I128>(angle.numerator()) * detail::kPow10[decimals];
    const I128 twice = 2 * detail::magnitude(scaled) + angle.denominator();
    const auto units = static_cast<std::int64_t>(twice / (2 * angle.denominator()));
    return scaled < 0 ? -units : units;
}

std::string axisNumber(std::int64_t units, int decimals) {
    std::string text = unitsText(units, decimals);
    return decimals == 0 ? text + "." : text;
}

}  // namespace

std::string sheetGcode(const SheetPlan& plan) {
    const std::string axis(1, plan.axis);
    std::string text =
        "%\n(SETTING SHEET: " + std::to_string(plan.holes) + " HOLES ON THE " + axis + " AXIS)\n";
    std::string meaning =
        holesMeaning(plan.holes, plan.span, plan.ends, plan.step, kDefaultWrittenDecimals, true);
    std::transform(meaning.begin(), meaning.end(), meaning.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    text += "(" + meaning + ")\n";
    text += "(HOLE 1 AT " + exactDegreesText(plan.clockwise ? -plan.start : plan.start, true) +
            ", THE OTHERS IN THE " + (plan.clockwise ? "-" : "+") + " DIRECTION, EACH EXACT TO " +
            std::to_string(plan.decimals) + " DECIMALS)\n";
    text += "(UNITS, WORK OFFSET AND AXIS AS SET ON THE CONTROL; M0 STOPS AT EACH HOLE)\n";
    if (plan.rotary == RotaryMoves::Shortest) {
        text += "(ANGLES WITHIN ONE TURN, FOR A CONTROL THAT TAKES THE SHORTEST WAY)\n";
    } else if (plan.rotary == RotaryMoves::Incremental) {
        text += "(HOLE 1 IN G90, EACH FURTHER HOLE A G91 INCREMENT FROM THE HOLE BEFORE)\n";
    }
    const std::int64_t turn = 360 * detail::kPow10[plan.decimals];
    std::int64_t before = 0;
    for (std::int64_t hole = 1; hole <= plan.holes; ++hole) {
        const Angle angle = plan.start + plan.step * (hole - 1);
        const std::int64_t units = degreeUnits(plan.clockwise ? -angle : angle, plan.decimals);
        std::string move = "G90 G0 " + axis + axisNumber(units, plan.decimals);
        if (plan.rotary == RotaryMoves::Shortest) {
            move = "G90 G0 " + axis + axisNumber(((units % turn) + turn) % turn, plan.decimals);
        } else if (plan.rotary == RotaryMoves::Incremental && hole > 1) {
            move = "G91 G0 " + axis + axisNumber(units - before, plan.decimals);
        }
        before = units;
        text += move + "\nM0 (HOLE " + std::to_string(hole) + ")\n";
    }
    text += plan.rotary == RotaryMoves::Incremental ? "G90\nM30\n%\n" : "M30\n%\n";
    return text;
}

}  // namespace morvanta
