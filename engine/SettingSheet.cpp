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

constexpr std::size_t kMaxRatioIntegerDigits = 7;
constexpr std::size_t kMaxRatioFractionDigits = 6;

struct Ratio {
    std::int64_t numerator;
    std::int64_t denominator;  // a power of ten
    std::string text;
};

std::optional<Ratio> parseRatio(std::string_view text) {
    const std::size_t point = text.find('.');
    std::string_view integerDigits = text.substr(0, point);
    std::string_view fractionDigits =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (integerDigits.size() > kMaxRatioIntegerDigits ||
        fractionDigits.size() > kMaxRatioFractionDigits || !parseWhole(integerDigits) ||
        (point != std::string_view::npos && !parseWhole(fractionDigits))) {
        return std::nullopt;
    }
    while (!fractionDigits.empty() && fractionDigits.back() == '0') {
        fractionDigits.remove_suffix(1);
    }
    while (integerDigits.size() > 1 && integerDigits.front() == '0') {
        integerDigits.remove_prefix(1);
    }
    Ratio ratio{*parseWhole(integerDigits), 1, std::string(integerDigits)};
    for (const char c : fractionDigits) {
        ratio.numerator = ratio.numerator * 10 + (c - '0');
        ratio.denominator *= 10;
    }
    if (ratio.numerator == 0) {
        return std::nullopt;
    }
    if (!fractionDigits.empty()) {
        ratio.text += '.';
        ratio.text += fractionDigits;
    }
    return ratio;
}

std::optional<std::int64_t> parseResolution(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const char unit = text.back();
    const std::int64_t unitSeconds = unit == 's' ? 1 : unit == 'm' ? kSecondsPerMinute : 0;
    const std::optional<std::int64_t> amount = parseWhole(text.substr(0, text.size() - 1));
    if (unitSeconds == 0 || !amount || *amount == 0) {
        return std::nullopt;
    }
    return *amount * unitSeconds;
}

SheetPlanResult refuse(std::string_view message, std::string_view about) {
    return SheetPlanResult::failure(message, about);
}

std::string withoutPlus(std::string text) {
    if (!text.empty() && text.front() == '+') {
        text.erase(0, 1);
    }
    return text;
}

// The worm ratio, the dial and the resolution of a plan whose count is checked.
SheetPlanResult readHandwheel(const SheetArguments& arguments, SheetPlan plan) {
    if (arguments.ratio) {
        const std::optional<Ratio> ratio = parseRatio(*arguments.ratio);
        if (!ratio) {
            return refuse(kSheetRatioMessage, "ratio");
        }
        const std::int64_t turnTimesNumerator = kSecondsPerRevolution * ratio->denominator;
        if (turnTimesNumerator % ratio->numerator != 0) {
            return refuse(kSheetRatioTurnMessage, "ratio");
        }
        plan.turn = turnTimesNumerator / ratio->numerator;
        plan.ratioText = ratio->text;
    }

    if (arguments.dial) {
        const std::optional<std::int64_t> dial = parseWhole(*arguments.dial);
        if (!dial || *dial == 0) {
            return refuse(kSheetDialMessage, "dial");
        }
        if (!arguments.ratio) {
            return refuse(kSheetDialWithoutRatioMessage, "dial");
        }
        if (plan.turn % *dial != 0) {
            return refuse(kSheetGraduationMessage, "dial");
        }
        plan.dial = *dial;
        plan.graduation = plan.turn / *dial;
        plan.resolution = plan.graduation;
    }

    if (arguments.resolution) {
        const std::optional<std::int64_t> resolution = parseResolution(*arguments.resolution);
        if (!resolution) {
            return refuse(kSheetResolutionMessage, "resolution");
        }
        if (plan.dial != 0 && *resolution % plan.graduation != 0) {
            return refuse(kSheetResolutionDialMessage, "resolution");
        }
        plan.resolution = *resolution;
    }
    return SheetPlanResult::success(std::move(plan));
}

// The start, arc and direction, and the G-code choices, of a plan whose count, ratio, dial and
// resolution are checked.
SheetPlanResult placeHoles(const SheetArguments& arguments, SheetPlan plan) {
    plan.arc = arguments.start || arguments.span || arguments.clockwise;
    if (arguments.start) {
        const std::optional<Angle> start = parseStartAngle(*arguments.start);
        if (!start) {
            return refuse(kStartMessage, "start");
        }
        plan.start = *start;
        plan.first = start->withinTurn();
    }
    if (arguments.span) {
        const std::optional<Angle> span = Angle::parseDecimal(*arguments.span);
        if (!span || *span <= Angle() || *span > Angle::whole(360)) {
            return refuse(kSheetSpanMessage, "span");
        }
        plan.span = *span;
    }
    if (arguments.ends) {
        if (const std::optional<std::string_view> complaint = endsComplaint(plan.span)) {
            return refuse(*complaint, "ends");
        }
        plan.ends = true;
    }
    plan.clockwise = arguments.clockwise;
    const std::int64_t divisions = plan.ends ? plan.holes - 1 : plan.holes;
    const Angle span = plan.span.value_or(Angle::whole(360));
    plan.step = span / divisions;
    // Hole k lies at 3600 first + 3600 span (k - 1) / divisions seconds, give or take whole turns.
    const Angle firstSeconds = plan.first * kSecondsPerDegree;
    const Angle spanSeconds = span * kSecondsPerDegree;
    plan.errorDenominator =
        std::lcm(firstSeconds.denominator(), spanSeconds.denominator() * divisions);

    if (arguments.gcode) {
        if (arguments.csv) {
            return refuse(kCsvAndGcodeMessage, "gcode");
        }
        if (arguments.ratio || arguments.dial || arguments.resolution) {
            return refuse(kSheetGcodeManualMessage, "gcode");
        }
        plan.gcode = true;
        if (arguments.axis) {
            if (*arguments.axis != "A" && *arguments.axis != "B" && *arguments.axis != "C") {
                return refuse(kSheetAxisMessage, "axis");
            }
            plan.axis = arguments.axis->front();
        }
        if (arguments.decimals) {
            const std::optional<int> decimals = parseWrittenDecimals(*arguments.decimals);
            if (!decimals) {
                return refuse(kDecimalsMessage, "decimals");
            }
            plan.decimals = *decimals;
        }
    } else if (arguments.axis || arguments.decimals) {
        return refuse(kSheetGcodeOnlyMessage, arguments.axis ? "axis" : "decimals");
    }
    return SheetPlanResult::success(std::move(plan));
}

}  // namespace

SheetPlanResult planSheet(const SheetArguments& arguments) {
    SheetPlan plan;
    const std::optional<std::int64_t> holes = parseWhole(arguments.holes);
    if (!holes || *holes < kMinSheetHoles || *holes > kMaxSheetHoles) {
        return refuse(kSheetHolesMessage, "count");
    }
    plan.holes = *holes;

    const SheetPlanResult turned = readHandwheel(arguments, plan);
    if (!turned.ok()) {
        return turned;
    }
    plan = turned.value();

    const SheetPlanResult placed = placeHoles(arguments, plan);
    if (!placed.ok()) {
        return placed;
    }
    plan = placed.value();
    if (plan.gcode) {
        return SheetPlanResult::success(std::move(plan));
    }

    // No coarser than the step: resolution > 3600 x step, exactly.
    if (static_cast<I128>(plan.resolution) * plan.step.denominator() >
        static_cast<I128>(kSecondsPerDegree) * plan.step.numerator()) {
        return refuse(kSheetTooCoarseMessage, "resolution");
    }
    return SheetPlanResult::success(std::move(plan));
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
    return "Largest error: " + withoutPlus(errorText(largest, plan.errorDenominator)) +
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
    for (std::int64_t hole = 1; hole <= plan.holes; ++hole) {
        const Angle angle = plan.start + plan.step * (hole - 1);
        std::string position = decimalDegreesText(plan.clockwise ? -angle : angle, plan.decimals);
        if (plan.decimals == 0) {
            position += '.';
        }
        text += "G90 G0 " + axis + position + "\nM0 (HOLE " + std::to_string(hole) + ")\n";
    }
    text += "M30\n%\n";
    return text;
}

}  // namespace morvanta
