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

// The size of the circle, from whichever of diameter and radius was given; a chord is turned into
// a diameter once the step is known.
std::optional<Refusal> setSize(const Values& values, BoltCirclePlan& plan) {
    const std::optional<ExactDecimal> diameter = values.decimal("diameter");
    const std::optional<ExactDecimal> radius = values.decimal("radius");
    plan.givenChord = values.decimal("chord");
    const int given = (diameter ? 1 : 0) + (radius ? 1 : 0) + (plan.givenChord ? 1 : 0);
    if (given > 1) {
        return Refusal{radius ? "radius" : "chord", std::string(kBoltSizeTwiceMessage)};
    }
    if (given == 0) {
        return Refusal{"diameter", std::string(kBoltSizeMissingMessage)};
    }
    if (plan.givenChord && plan.count < 2) {
        return Refusal{"chord", std::string(kBoltChordOneHoleMessage)};
    }
    if (!plan.givenChord) {
        plan.diameter = diameter ? *diameter : doubled(*radius);
        plan.radius = radius ? *radius : halved(*diameter);
    }
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
    if (plan.givenChord) {
        const std::optional<ExactDecimal> diameter = diameterOfChord(*plan.givenChord, plan.step);
        if (!diameter) {
            return refuse(std::string(kBoltChordTooLongMessage), "chord");
        }
        plan.diameter = *diameter;
        plan.radius = halved(*diameter);
    }
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
    const ExactDecimal none{};
    for (std::int64_t k = 1; k <= plan.count; ++k) {
        const Angle angle = first + plan.step * (k - 1);
        TurnedRounding turned(plan.clockwise ? zero - angle : zero + angle);
        const std::optional<std::int64_t> x =
            turned.rounded(plan.centreX, plan.radius, none, plan.decimals);
        const std::optional<std::int64_t> y =
            turned.rounded(plan.centreY, none, plan.radius, plan.decimals);
        if (!x || !y) {
            return refuse(std::string(kBoltUndecidedMessage), "");
        }
        plan.holes.push_back({angle.withinTurn(), *x, *y});
    }
    return PlanResult::success(std::move(plan));
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
        Result<HoleChoice> choice = HoleChoice::read(values, plan.count);
        if (!choice.ok()) {
            return PlanResult::failure(choice.refusal());
        }
        plan.choice = std::move(choice).value();
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

std::string boltCircleMeaning(const BoltCirclePlan& plan) {
    return holesMeaning(plan.count, plan.span, plan.ends, plan.step, plan.decimals, false);
}

namespace {

// An angle within one turn as the table writes it: one that rounds up to 360 reads 0, as a turn
// is.
std::string turnAngleText(const Angle& angle, int decimals) {
    const std::string text = decimalDegreesText(angle, decimals);
    return text.starts_with("360") ? decimalDegreesText(angle - Angle::whole(360), decimals) : text;
}

std::string turnDmsText(const Angle& angle, int decimals) {
    const std::string text = dmsOf(angle, decimals);
    return text.starts_with("360") ? dmsOf(angle - Angle::whole(360), decimals) : text;
}

// How X and Y follow from the angle, as the zero direction and the turning direction make it.
std::string formulaText(const BoltCirclePlan& plan) {
    const char* terms = plan.north ? (plan.clockwise ? "sin, cos" : "-sin, cos")
                                   : (plan.clockwise ? "cos, -sin" : "cos, sin");
    return std::string("X, Y: centre + radius x ") + terms + " of the angle";
}

std::string sizeNote(const BoltCirclePlan& plan) {
    if (plan.givenChord) {
        return "Chord: " + exactDecimalText(*plan.givenChord) +
               " between neighbouring holes, which makes the diameter " +
               exactDecimalText(plan.diameter) + " (correctly rounded to 9 decimals), radius " +
               exactDecimalText(plan.radius);
    }
    std::string size = "Radius: " + exactDecimalText(plan.radius);
    if (plan.chord) {
        size += "; chord between neighbouring holes: " + coordinateText(*plan.chord, plan.decimals);
    }
    return size;
}

}  // namespace

std::vector<DrillHole> boltCircleHoles(const BoltCirclePlan& plan) {
    std::vector<DrillHole> holes;
    holes.reserve(plan.holes.size());
    for (std::size_t i = 0; i < plan.holes.size(); ++i) {
        holes.push_back({static_cast<std::int64_t>(i + 1), plan.holes[i].x, plan.holes[i].y});
    }
    return holes;
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
    report.notes.push_back(sizeNote(plan));
    std::string formula = "Angle: ";
    if (plan.count > 1) {
        const std::string step = exactDegreesText(plan.step);
        formula += exactDegreesText(plan.start) + " + (hole - 1) x " + step + " exactly, ";
    }
    report.notes.push_back(formula + "within one turn; DMS the same in degrees, minutes, seconds");
    report.notes.push_back(formulaText(plan) + ", correctly rounded to " +
                           std::to_string(decimals) + (decimals == 1 ? " decimal" : " decimals") +
                           " (halves away from 0)");
    if (!plan.choice.all()) {
        report.notes.push_back("Drilled: " + plan.choice.text());
    }
    report.notes.push_back(std::string(kMovesNote));
    report.columns = {"Hole", "Angle", "DMS", "X", "Y", "dX", "dY"};
    // X and Y are in whatever unit the user gave the diameter in.
    report.columnUnits = {"", "°", "°'\"", "", "", "", ""};
    report.answer =
        answerLines(report.notes, {"Holes:", "Angles:", "Radius:", "Chord:", "Drilled:"});
    addPatternRows(report, boltCircleHoles(plan), plan.choice, decimals, [&](std::size_t i) {
        const Angle& angle = plan.holes[i].angle;
        return std::vector<std::string>{std::to_string(i + 1), turnAngleText(angle, decimals),
                                        turnDmsText(angle, decimals)};
    });
    return report;
}

std::string boltCircleText(const BoltCirclePlan& plan) {
    return reportText(boltCircleReport(plan));
}

std::string boltCircleCsv(const BoltCirclePlan& plan) {
    return patternCsv("hole,angle,x,y,dx,dy", boltCircleHoles(plan), plan.choice, plan.decimals,
                      [&](std::size_t i) {
                          return std::vector<std::string>{
                              std::to_string(i + 1),
                              turnAngleText(plan.holes[i].angle, plan.decimals)};
                      });
}

std::vector<std::string> boltCircleAbout(const BoltCirclePlan& plan) {
    return {std::string("Bolt circle: ") + std::to_string(plan.count) +
                (plan.count == 1 ? " hole" : " holes") + " on a diameter of " +
                exactDecimalText(plan.diameter) + ", centre X" + exactDecimalText(plan.centreX) +
                " Y" + exactDecimalText(plan.centreY),
            holesMeaning(plan.count, plan.span, plan.ends, plan.step, plan.decimals, true),
            directionText(plan, true) + ", hole 1 at " + exactDegreesText(plan.start, true)};
}

}  // namespace morvanta
