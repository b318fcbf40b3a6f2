// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BoltCircle.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <tuple>

#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using detail::parseWhole;
using PlanResult = Result<BoltCirclePlan>;

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

// The move from one hole to the next on the read-out: the change of X and of Y, signed.
std::string holeMove(const BoltHole& from, const BoltHole& to, int decimals) {
    const auto change = [decimals](std::int64_t delta) {
        return (delta > 0 ? "+" : "") + coordinateText(delta, decimals);
    };
    return "X " + change(to.x - from.x) + ", Y " + change(to.y - from.y);
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

PlanResult refuse(std::string text, std::string_view about, std::string limit = {},
                  std::string value = {}) {
    return PlanResult::failure(
        Refusal{std::string(about), std::move(text), std::move(limit), std::move(value)});
}

// The size of the circle, from whichever of diameter and radius was given.
std::optional<Refusal> setSize(const Values& values, BoltCirclePlan& plan) {
    const std::optional<ExactDecimal> diameter = values.decimal("diameter");
    const std::optional<ExactDecimal> radius = values.decimal("radius");
    if (diameter && radius) {
        return Refusal{"radius", std::string(kBoltSizeTwiceMessage)};
    }
    if (!diameter && !radius) {
        return Refusal{"diameter", std::string(kBoltSizeMissingMessage)};
    }
    plan.diameter = diameter ? *diameter : doubled(*radius);
    plan.radius = radius ? *radius : halved(*diameter);
    return std::nullopt;
}

// Where the holes lie: centre, start, direction and arc.
std::optional<Refusal> placeHoles(const Values& values, BoltCirclePlan& plan) {
    std::tie(plan.centreX, plan.centreY) = *values.point("centre");
    plan.start = *values.angle("start");
    plan.clockwise = values.on("cw");
    plan.north = values.text("zero") == "north";
    plan.span = values.angle("span");
    if (plan.span && plan.span->isZero() && plan.count > 1) {
        return Refusal{"span", std::string(kBoltZeroSpanMessage)};
    }
    if (values.on("ends")) {
        if (const std::optional<std::string_view> complaint = endsComplaint(plan.span)) {
            return Refusal{"ends", std::string(*complaint)};
        }
        if (plan.count < 2) {
            return Refusal{"ends", std::string(kBoltEndsOneHoleMessage)};
        }
        plan.ends = true;
    }
    plan.decimals = static_cast<int>(*values.whole("decimals"));
    return std::nullopt;
}

PlanResult workedOut(BoltCirclePlan plan) {
    const std::int64_t divisions = plan.ends ? plan.count - 1 : plan.count;
    plan.step = (plan.span ? *plan.span : Angle::whole(360)) / divisions;
    if (plan.count > 1) {
        plan.chord = roundedCoordinate({}, plan.diameter, plan.step / 2, Trig::Sin, plan.decimals);
        if (!plan.chord) {
            return refuse(std::string(kBoltUndecidedMessage), "");
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
            return refuse(std::string(kBoltUndecidedMessage), "");
        }
        plan.holes.push_back({angle.withinTurn(), *x, *y});
    }
    return PlanResult::success(std::move(plan));
}

// One of the drilling cycle's Z levels in units of 10^-decimals, as the program writes them all.
std::optional<Refusal> drillLevel(const Values& values, std::string_view id, std::string_view what,
                                  int decimals, std::int64_t& units) {
    const std::optional<ExactDecimal> level = values.decimal(id);
    const std::string name = named(id);
    if (!level) {
        return Refusal{std::string(id),
                       "a drilling program needs " + name + ", " + std::string(what)};
    }
    const std::optional<std::int64_t> at = unitsAt(*level, decimals);
    if (!at) {
        const std::string most = std::to_string(decimals);
        return Refusal{std::string(id),
                       name + " may have at most " + most +
                           " decimals, as many as {decimals} gives the coordinates; " +
                           exactDecimalText(*level) + " has " + std::to_string(level->scale),
                       most, std::to_string(level->scale)};
    }
    units = *at;
    return std::nullopt;
}

}  // namespace

Result<BoltCirclePlan> planBoltCircle(const Values& values) {
    try {
        BoltCirclePlan plan;
        plan.count = *values.whole("count");
        if (std::optional<Refusal> refused = setSize(values, plan)) {
            return PlanResult::failure(std::move(*refused));
        }
        if (std::optional<Refusal> refused = placeHoles(values, plan)) {
            return PlanResult::failure(std::move(*refused));
        }
        return workedOut(std::move(plan));
    } catch (const std::bad_alloc&) {
        return PlanResult::failure("not enough memory for the bolt circle");
    }
}

Result<BoltCirclePlan> planBoltCircle(const Inputs& inputs) {
    const Result<Values> values = readInputs(kBoltCircleCalculation, inputs);
    if (!values.ok()) {
        return PlanResult::failure(values.refusal());
    }
    return planBoltCircle(values.value());
}

std::optional<Refusal> setDrilling(const Values& values, BoltCirclePlan& plan) {
    if (auto refused = drillLevel(values, "depth", "the Z of the bottom of the holes",
                                  plan.decimals, plan.depth)) {
        return refused;
    }
    if (auto refused = drillLevel(values, "retract", "the Z the drill returns to between holes",
                                  plan.decimals, plan.retract)) {
        return refused;
    }
    const std::optional<ExactDecimal> feed = values.decimal("feed");
    if (!feed) {
        return Refusal{"feed", "a drilling program needs {feed}, the drilling feed"};
    }
    plan.feed = *feed;
    if (plan.retract <= plan.depth) {
        const std::string depth = exactDecimalText(*values.decimal("depth"));
        const std::string retract = exactDecimalText(*values.decimal("retract"));
        return Refusal{"retract",
                       "{retract} must lie above {depth}; " + retract + " is not above " + depth,
                       depth, retract};
    }
    return std::nullopt;
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
    report.lengthColumns = {3, 4};
    report.rows.reserve(plan.holes.size());
    report.moves.reserve(plan.holes.size());
    for (std::size_t i = 0; i < plan.holes.size(); ++i) {
        const BoltHole& hole = plan.holes[i];
        report.rows.push_back({std::to_string(i + 1), decimalDegreesText(hole.angle, decimals),
                               dmsOf(hole.angle, decimals), coordinateText(hole.x, decimals),
                               coordinateText(hole.y, decimals)});
        report.moves.push_back(i == 0 ? std::string()
                                      : holeMove(plan.holes[i - 1], hole, decimals));
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
