// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SettingSheet.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace morvanta {

namespace {

constexpr std::int64_t kSecondsPerDegree = 3600;
constexpr std::int64_t kSecondsPerMinute = 60;
// Nine digits keep every product of a sheet far inside 64 bits.
constexpr std::size_t kMaxWholeDigits = 9;
constexpr std::size_t kMaxRatioIntegerDigits = 7;
constexpr std::size_t kMaxRatioFractionDigits = 6;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<std::int64_t> digitsValue(std::string_view digits) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::int64_t> parseWhole(std::string_view text) {
    if (text.size() > kMaxWholeDigits) {
        return std::nullopt;
    }
    return digitsValue(text);
}

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
        fractionDigits.size() > kMaxRatioFractionDigits || !digitsValue(integerDigits) ||
        (point != std::string_view::npos && !digitsValue(fractionDigits))) {
        return std::nullopt;
    }
    while (!fractionDigits.empty() && fractionDigits.back() == '0') {
        fractionDigits.remove_suffix(1);
    }
    while (integerDigits.size() > 1 && integerDigits.front() == '0') {
        integerDigits.remove_prefix(1);
    }
    Ratio ratio{*digitsValue(integerDigits), 1, std::string(integerDigits)};
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

SheetPlanResult refuse(std::string_view message) {
    return SheetPlanResult::failure(message);
}

std::string formatted(const char* format, auto... values) {
    const int length = std::snprintf(nullptr, 0, format, values...);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}

std::string withoutPlus(std::string text) {
    if (!text.empty() && text.front() == '+') {
        text.erase(0, 1);
    }
    return text;
}

std::string decimalText(std::int64_t numerator, std::int64_t denominator, int decimals,
                        bool plusSign) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const std::int64_t magnitude = numerator < 0 ? -numerator : numerator;
    const std::int64_t scaled = (2 * magnitude * scale + denominator) / (2 * denominator);
    const char* sign = numerator < 0 ? "-" : numerator > 0 && plusSign ? "+" : "";
    return formatted("%s%lld.%0*lld", sign, static_cast<long long>(scaled / scale), decimals,
                     static_cast<long long>(scaled % scale));
}

}  // namespace

SheetPlanResult planSheet(const SheetArguments& arguments) {
    SheetPlan plan;
    const std::optional<std::int64_t> holes = parseWhole(arguments.holes);
    if (!holes || *holes < kMinSheetHoles || *holes > kMaxSheetHoles) {
        return refuse(kSheetHolesMessage);
    }
    plan.holes = *holes;

    if (arguments.ratio) {
        const std::optional<Ratio> ratio = parseRatio(*arguments.ratio);
        if (!ratio) {
            return refuse(kSheetRatioMessage);
        }
        const std::int64_t turnTimesNumerator = kSecondsPerRevolution * ratio->denominator;
        if (turnTimesNumerator % ratio->numerator != 0) {
            return refuse(kSheetRatioTurnMessage);
        }
        plan.turn = turnTimesNumerator / ratio->numerator;
        plan.ratioText = ratio->text;
    }

    if (arguments.dial) {
        const std::optional<std::int64_t> dial = parseWhole(*arguments.dial);
        if (!dial || *dial == 0) {
            return refuse(kSheetDialMessage);
        }
        if (!arguments.ratio) {
            return refuse(kSheetDialWithoutRatioMessage);
        }
        if (plan.turn % *dial != 0) {
            return refuse(kSheetGraduationMessage);
        }
        plan.dial = *dial;
        plan.graduation = plan.turn / *dial;
        plan.resolution = plan.graduation;
    }

    if (arguments.resolution) {
        const std::optional<std::int64_t> resolution = parseResolution(*arguments.resolution);
        if (!resolution) {
            return refuse(kSheetResolutionMessage);
        }
        if (plan.dial != 0 && *resolution % plan.graduation != 0) {
            return refuse(kSheetResolutionDialMessage);
        }
        plan.resolution = *resolution;
    }

    if (plan.resolution > kSecondsPerRevolution / plan.holes) {
        return refuse(kSheetTooCoarseMessage);
    }
    return SheetPlanResult::success(std::move(plan));
}

std::int64_t roundToStep(std::int64_t numerator, std::int64_t denominator,
                         std::int64_t step) noexcept {
    const std::int64_t stepTimesDenominator = step * denominator;
    return (2 * numerator + stepTimesDenominator) / (2 * stepTimesDenominator) * step;
}

HoleSetting holeSetting(const SheetPlan& plan, std::int64_t hole) noexcept {
    const std::int64_t exactTimesHoles = (hole - 1) * kSecondsPerRevolution;
    HoleSetting setting;
    setting.angle = roundToStep(exactTimesHoles, plan.holes, plan.resolution);
    if (plan.turn != 0) {
        setting.turns = setting.angle / plan.turn;
        setting.inTurn = setting.angle % plan.turn;
    }
    if (plan.graduation != 0) {
        setting.dialReading = setting.inTurn / plan.graduation;
    }
    setting.errorTimesHoles = setting.angle * plan.holes - exactTimesHoles;
    return setting;
}

std::string angleText(std::int64_t seconds) {
    return formatted("%lld\u00B0%02lld'%02lld\"",
                     static_cast<long long>(seconds / kSecondsPerDegree),
                     static_cast<long long>(seconds / kSecondsPerMinute % kSecondsPerMinute),
                     static_cast<long long>(seconds % kSecondsPerMinute));
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
    notes.push_back(formatted(
        "Angle: each hole's exact angle (hole - 1) x 360\u00B0 / %lld, rounded on its own",
        static_cast<long long>(plan.holes)));
    if (hasRatio) {
        notes.push_back(
            plan.dial != 0
                ? "Turns: whole handwheel turns from hole 1 at zero; Dial: graduations past them"
                : "Turns: whole handwheel turns from hole 1 at zero; Dial: table angle past them");
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
    row.push_back(errorText(setting.errorTimesHoles, plan.holes) + "\"");
    return row;
}

// The largest error by size, and the first hole that has it.
std::string sheetFooter(const SheetPlan& plan, std::int64_t largest, std::int64_t largestHole) {
    if (largest == 0) {
        return "Largest error: 0.00\" (every setting is exact)";
    }
    return "Largest error: " + withoutPlus(errorText(largest, plan.holes)) +
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
        text += decimalText(setting.errorTimesHoles, plan.holes, 4, false);
        text += '\n';
    }
    return text;
}

}  // namespace morvanta
