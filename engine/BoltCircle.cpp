// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BoltCircle.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using detail::parseWhole;
using PlanResult = Result<BoltCirclePlan>;

std::optional<ExactDecimal> parsePositive(std::string_view text) {
    const std::optional<ExactDecimal> number = parseExactDecimal(text);
    if (!number || number->units <= 0) {
        return std::nullopt;
    }
    return number;
}

ExactDecimal halved(const ExactDecimal& d) {
    if (d.units % 2 == 0) {
        return {d.units / 2, d.scale};
    }
    return {d.units * 5, d.scale + 1};
}

ExactDecimal doubled(const ExactDecimal& d) {
    return {d.units * 2, d.scale};
}

std::string coordinateText(std::int64_t units, int decimals) {
    return unitsText(units, decimals);
}

// A G-code number: always with a decimal point.
std::string wordNumber(std::string text) {
    if (text.find('.') == std::string::npos) {
        text += '.';
    }
    return text;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// A G-code comment line: upper case, as the oldest controls read only that.
std::string comment(const std::string& body) {
    std::string line(1, '(');
    line += upper(body);
    line += ")\n";
    return line;
}

std::string directionText(const BoltCirclePlan& plan, bool comment) {
    const char* zero =
        plan.north ? (comment ? "+Y" : "+Y (north)") : (comment ? "+X" : "+X (east)");
    return std::string(plan.clockwise ? "clockwise" : "counter-clockwise") + " from " + zero;
}

std::string dmsOf(const Angle& angle, int decimals) {
    return dmsText(toDms(angle, std::max(0, decimals - 3)));
}

PlanResult refuse(std::string_view message, std::string_view about) {
    return PlanResult::failure(message, about);
}

// Each step of the checks reads its fields into the plan, or gives the refusal of the first that
// fails; the steps run in the order the refusals are documented in.
using Check = std::optional<PlanResult>;

Check checkCount(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    const std::optional<std::int64_t> count = parseWhole(a.count);
    if (!count || *count < 1 || *count > kMaxBoltHoles) {
        return refuse(kBoltCountMessage, "count");
    }
    plan.count = *count;
    return std::nullopt;
}

// The diameter or the radius, each making the other.
Check checkSize(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    if (a.diameter && a.radius) {
        return refuse(kBoltSizeTwiceMessage, "radius");
    }
    if (a.diameter) {
        const std::optional<ExactDecimal> diameter = parsePositive(*a.diameter);
        if (!diameter) {
            return refuse(kBoltDiameterMessage, "diameter");
        }
        plan.diameter = *diameter;
        plan.radius = halved(*diameter);
    } else if (a.radius) {
        const std::optional<ExactDecimal> radius = parsePositive(*a.radius);
        if (!radius) {
            return refuse(kBoltRadiusMessage, "radius");
        }
        plan.radius = *radius;
        plan.diameter = doubled(*radius);
    } else {
        return refuse(kBoltSizeMissingMessage, "diameter");
    }
    return std::nullopt;
}

Check checkCentre(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    if (a.centre) {
        const std::size_t comma = a.centre->find(',');
        const std::optional<ExactDecimal> x = comma == std::string_view::npos
                                                  ? std::nullopt
                                                  : parseExactDecimal(a.centre->substr(0, comma));
        const std::optional<ExactDecimal> y =
            x ? parseExactDecimal(a.centre->substr(comma + 1)) : std::nullopt;
        if (!x || !y) {
            return refuse(kBoltCentreMessage, "centre");
        }
        plan.centreX = *x;
        plan.centreY = *y;
    }
    return std::nullopt;
}

// Where hole 1 lies and which way the others follow it.
Check checkDirection(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    if (a.start) {
        const std::optional<Angle> start = parseStartAngle(*a.start);
        if (!start) {
            return refuse(kStartMessage, "start");
        }
        plan.start = *start;
    }
    plan.clockwise = a.clockwise;
    if (a.zero) {
        if (*a.zero != "east" && *a.zero != "north") {
            return refuse(kBoltZeroMessage, "zero");
        }
        plan.north = *a.zero == "north";
    }
    return std::nullopt;
}

Check checkArc(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    if (a.span) {
        const std::optional<Angle> span = Angle::parseDecimal(*a.span);
        if (!span || *span < Angle() || *span > Angle::whole(360)) {
            return refuse(kBoltSpanMessage, "span");
        }
        if (span->isZero() && plan.count > 1) {
            return refuse(kBoltZeroSpanMessage, "span");
        }
        plan.span = *span;
    }
    if (a.ends) {
        if (const std::optional<std::string_view> complaint = endsComplaint(plan.span)) {
            return refuse(*complaint, "ends");
        }
        if (plan.count < 2) {
            return refuse(kBoltEndsOneHoleMessage, "ends");
        }
        plan.ends = true;
    }
    return std::nullopt;
}

// The decimals, and which of the table, the CSV and the G-code is written.
Check checkOutput(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    if (a.decimals) {
        const std::optional<int> decimals = parseWrittenDecimals(*a.decimals);
        if (!decimals) {
            return refuse(kDecimalsMessage, "decimals");
        }
        plan.decimals = *decimals;
    }
    if (a.csv && a.gcode) {
        return refuse(kCsvAndGcodeMessage, "gcode");
    }
    plan.output = a.gcode ? BoltOutput::Gcode : a.csv ? BoltOutput::Csv : BoltOutput::Table;
    return std::nullopt;
}

struct DrillWord {
    std::optional<std::string_view> text;
    std::string_view about;
    std::string_view missing;
    std::string_view malformed;
    std::string_view tooFine;
};

// The depth, retract plane and feed of a drilling program, all three with --gcode and none
// without it.
Check checkDrilling(const BoltCircleArguments& a, BoltCirclePlan& plan) {
    const DrillWord words[] = {
        {a.depth, "depth", kBoltDepthMissingMessage, kBoltDepthMessage, kBoltDepthDecimalsMessage},
        {a.retract, "retract", kBoltRetractMissingMessage, kBoltRetractMessage,
         kBoltRetractDecimalsMessage},
        {a.feed, "feed", kBoltFeedMissingMessage, kBoltFeedMessage, kBoltFeedDecimalsMessage},
    };
    std::int64_t* const targets[] = {&plan.depth, &plan.retract, nullptr};
    for (std::size_t i = 0; i < std::size(words); ++i) {
        const DrillWord& word = words[i];
        if (!a.gcode) {
            if (word.text) {
                return refuse(kBoltDrillWithoutGcodeMessage, word.about);
            }
            continue;
        }
        if (!word.text) {
            return refuse(word.missing, word.about);
        }
        const std::optional<ExactDecimal> number =
            targets[i] ? parseExactDecimal(*word.text) : parsePositive(*word.text);
        if (!number) {
            return refuse(word.malformed, word.about);
        }
        const std::optional<std::int64_t> units = unitsAt(*number, plan.decimals);
        if (!units) {
            return refuse(word.tooFine, word.about);
        }
        if (targets[i]) {
            *targets[i] = *units;
        } else {
            plan.feed = *number;
        }
    }
    if (a.gcode && plan.retract <= plan.depth) {
        return refuse(kBoltRetractBelowMessage, "retract");
    }
    return std::nullopt;
}

PlanResult checkedPlan(const BoltCircleArguments& a) {
    BoltCirclePlan plan;
    for (const auto step : {checkCount, checkSize, checkCentre, checkDirection, checkArc,
                            checkOutput, checkDrilling}) {
        if (Check refusal = step(a, plan)) {
            return std::move(*refusal);
        }
    }
    return PlanResult::success(std::move(plan));
}

}  // namespace

Result<BoltCirclePlan> planBoltCircle(const BoltCircleArguments& arguments) {
    try {
        PlanResult checked = checkedPlan(arguments);
        if (!checked.ok()) {
            return checked;
        }
        BoltCirclePlan plan = std::move(checked).value();
        const std::int64_t divisions = !plan.span  ? plan.count
                                       : plan.ends ? plan.count - 1
                                                   : plan.count;
        plan.step = (plan.span ? *plan.span : Angle::whole(360)) / divisions;
        if (plan.count > 1) {
            plan.chord =
                roundedCoordinate({}, plan.diameter, plan.step / 2, Trig::Sin, plan.decimals);
            if (!plan.chord) {
                return refuse(kBoltUndecidedMessage, "");
            }
        }
        // Reduced first, so that start + (k - 1) x step stays well inside Angle's domain.
        const Angle first = plan.start.withinTurn();
        const Angle zero = Angle::whole(plan.north ? 90 : 0);
        plan.holes.reserve(static_cast<std::size_t>(plan.count));
        for (std::int64_t k = 1; k <= plan.count; ++k) {
            const Angle angle = first + plan.step * (k - 1);
            const Angle direction = plan.clockwise ? zero - angle : zero + angle;
            const std::optional<std::int64_t> x =
                roundedCoordinate(plan.centreX, plan.radius, direction, Trig::Cos, plan.decimals);
            const std::optional<std::int64_t> y =
                roundedCoordinate(plan.centreY, plan.radius, direction, Trig::Sin, plan.decimals);
            if (!x || !y) {
                return refuse(kBoltUndecidedMessage, "");
            }
            plan.holes.push_back({angle.withinTurn(), *x, *y});
        }
        return PlanResult::success(std::move(plan));
    } catch (const std::bad_alloc&) {
        return PlanResult::failure("not enough memory for the bolt circle");
    }
}

std::string boltCircleMeaning(const BoltCirclePlan& plan) {
    return holesMeaning(plan.count, plan.span, plan.ends, plan.step, plan.decimals, false);
}

Report boltCircleReport(const BoltCirclePlan& plan) {
    const int decimals = plan.decimals;
    Report report;
    report.title = "Bolt circle: " + std::to_string(plan.count) +
                   (plan.count == 1 ? " hole" : " holes") + " on a diameter of " +
                   exactDecimalText(plan.diameter) + ", centre X " +
                   exactDecimalText(plan.centreX) + " Y " + exactDecimalText(plan.centreY);
    report.notes.push_back("Holes: " + boltCircleMeaning(plan));
    report.notes.push_back("Angles: " + directionText(plan, false) + ", hole 1 at " +
                           exactDegreesText(plan.start));
    std::string size = "Radius: " + exactDecimalText(plan.radius);
    if (plan.chord) {
        size += "; chord between neighbouring holes: " + coordinateText(*plan.chord, decimals);
    }
    report.notes.push_back(size);
    std::string formula = "Angle: ";
    if (plan.count > 1) {
        const std::string step = exactDegreesText(plan.step);
        formula += exactDegreesText(plan.start) + " + (hole - 1) x " + step + " exactly, ";
    }
    report.notes.push_back(formula + "within one turn; DMS the same in degrees, minutes, seconds");
    report.notes.push_back("X, Y: centre + radius x cos, sin of the angle, correctly rounded to " +
                           std::to_string(decimals) + (decimals == 1 ? " decimal" : " decimals") +
                           " (halves away from 0)");
    report.columns = {"Hole", "Angle", "DMS", "X", "Y"};
    report.rows.reserve(plan.holes.size());
    for (std::size_t i = 0; i < plan.holes.size(); ++i) {
        const BoltHole& hole = plan.holes[i];
        report.rows.push_back({std::to_string(i + 1), decimalDegreesText(hole.angle, decimals),
                               dmsOf(hole.angle, decimals), coordinateText(hole.x, decimals),
                               coordinateText(hole.y, decimals)});
    }
    return report;
}

std::string boltCircleText(const BoltCirclePlan& plan) {
    return reportText(boltCircleReport(plan));
}

std::string boltCircleCsv(const BoltCirclePlan& plan) {
    std::string text = "hole,angle,x,y\n";
    text.reserve(plan.holes.size() * 40 + text.size());
    for (std::size_t i = 0; i < plan.holes.size(); ++i) {
        const BoltHole& hole = plan.holes[i];
        text += std::to_string(i + 1) + ',' + decimalDegreesText(hole.angle, plan.decimals) + ',' +
                coordinateText(hole.x, plan.decimals) + ',' +
                coordinateText(hole.y, plan.decimals) + '\n';
    }
    return text;
}

std::string boltCircleGcode(const BoltCirclePlan& plan) {
    const int decimals = plan.decimals;
    const auto number = [&](std::int64_t units) { return wordNumber(unitsText(units, decimals)); };
    const auto position = [&](const BoltHole& hole) {
        std::string words = "X";
        words += number(hole.x);
        words += " Y";
        words += number(hole.y);
        return words;
    };
    std::string text = "%\n";
    text += comment(std::string("Bolt circle: ") + std::to_string(plan.count) +
                    (plan.count == 1 ? " hole" : " holes") + " on a diameter of " +
                    exactDecimalText(plan.diameter) + ", centre X" +
                    exactDecimalText(plan.centreX) + " Y" + exactDecimalText(plan.centreY));
    text += comment(holesMeaning(plan.count, plan.span, plan.ends, plan.step, decimals, true));
    text +=
        comment(directionText(plan, true) + ", hole 1 at " + exactDegreesText(plan.start, true));
    text += "(UNITS, WORK OFFSET, TOOL AND SPINDLE AS SET ON THE CONTROL)\n";
    text += "G90 G17 G80\n";
    text.reserve(text.size() + plan.holes.size() * 30 + 64);
    for (std::size_t i = 0; i < plan.holes.size(); ++i) {
        if (i == 0) {
            text += "G98 G81 " + position(plan.holes[i]) + " Z" + number(plan.depth) + " R" +
                    number(plan.retract) + " F" + wordNumber(exactDecimalText(plan.feed)) + "\n";
        } else {
            text += position(plan.holes[i]) + "\n";
        }
    }
    text += "G80\nM30\n%\n";
    return text;
}

}  // namespace morvanta
