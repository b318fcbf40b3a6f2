// SPDX-License-Identifier: GPL-3.0-or-later
// The index plate as the machinist sets it up: the circle in use with its holes, the sector arms
// opened to the move, the plate's own move for compound indexing and the change gears for
// differential indexing.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/IndexingDetail.h"

namespace morvanta {

using namespace indexing;

namespace {

// Each circle is drawn with a radius of as many units as it has holes, so that the holes of every
// circle lie alike apart, as on a real plate; a hole is drawn this big.
constexpr double kHoleRadius = 0.45;

struct Point {
    double x;
    double y;
};

// Where hole k of a circle of `holes` lies, in degrees counter-clockwise from +X: counted
// clockwise from the crank pin's hole 1 at the top, the way the crank turns.
double holeDegrees(std::int64_t hole, std::int64_t holes) {
    return 90.0 - 360.0 * static_cast<double>(hole - 1) / static_cast<double>(holes);
}

Point polar(double degrees, double radius) {
    const double turned = degrees * std::numbers::pi / 180;
    return {radius * std::cos(turned), radius * std::sin(turned)};
}

// The plate: every circle of it, the one in use in the accent ink with its holes numbered from
// the crank pin's, and the rim. Returns the rim's radius.
double plate(Sketch& sketch, const IndexHead& head, const HoleMove& move) {
    const std::vector<std::int64_t>& circles = head.plates[move.plate];
    const std::int64_t largest = *std::max_element(circles.begin(), circles.end());
    for (const std::int64_t holes : circles) {
        sketch.circles.push_back({0, 0, static_cast<double>(holes),
                                  holes == move.circle ? Ink::Accent : Ink::Guide, false});
    }
    const double rim = static_cast<double>(largest) * 1.06 + 2;
    sketch.circles.push_back({0, 0, rim, Ink::Outline, false});
    const double cross = 0.06 * rim;
    sketch.lines.push_back({-cross, 0, cross, 0, Ink::Outline, false});
    sketch.lines.push_back({0, -cross, 0, cross, Ink::Outline, false});
    const auto radius = static_cast<double>(move.circle);
    sketch.holes.reserve(static_cast<std::size_t>(move.circle));
    for (std::int64_t hole = 1; hole <= move.circle; ++hole) {
        const Point p = polar(holeDegrees(hole, move.circle), radius);
        sketch.holes.push_back({p.x, p.y, kHoleRadius, hole});
    }
    sketch.texts.push_back(
        {0, -rim, circleName(move.circle) + onPlate(head, move.plate), Ink::Accent, Align::Below});
    return rim;
}

// The sector arms from the plate's centre, one by the crank pin's hole and one `holes` holes on,
// with the crank's move between them.
void sectorArms(Sketch& sketch, const HoleMove& move) {
    const auto radius = static_cast<double>(move.circle);
    const double reach = radius + 2.5;
    const double open = 360.0 * static_cast<double>(move.holes) / radius;
    for (const double degrees : {90.0, 90.0 - open}) {
        const Point end = polar(degrees, reach);
        sketch.lines.push_back({0, 0, end.x, end.y, Ink::Accent, false});
    }
    if (move.holes == 0) {
        return;
    }
    sketch.arcs.push_back({0, 0, radius + 1.5, 90.0, -open, Ink::Accent, true});
    const Point label = polar(90.0 - open / 2, reach + 0.5);
    sketch.texts.push_back({label.x, label.y, counted(move.holes, "space", "spaces"), Ink::Accent,
                            label.x >= 0 ? Align::Left : Align::Right});
}

// Compound indexing: after the crank's move, the plate itself is turned on its second circle.
void plateMove(Sketch& sketch, const CompoundMove& move, double rim) {
    const auto radius = static_cast<double>(move.plateCircle);
    sketch.circles.push_back({0, 0, radius, Ink::Dimension, false});
    const double turn = 360.0 * static_cast<double>(move.plateHoles) / radius;
    sketch.arcs.push_back(
        {0, 0, radius + 1, 270.0, move.plateBack ? turn : -turn, Ink::Dimension, true});
    sketch.texts.push_back({0, rim,
                            "plate " + counted(move.plateHoles, "hole", "holes") +
                                (move.plateBack ? " back" : " forward") + " on the " +
                                circleName(move.plateCircle),
                            Ink::Dimension, Align::Above});
}

// Which way the gears turn the plate, beside the crank's way round.
void plateTurning(Sketch& sketch, const Rational& gearing, double rim) {
    const double sweep = 40;
    sketch.arcs.push_back(
        {0, 0, rim + 2, 200, gearing.numerator() > 0 ? -sweep : sweep, Ink::Dimension, true});
    const Point label = polar(200, rim + 3);
    sketch.texts.push_back({label.x, label.y,
                            "plate turns " + directionWord(gearing) + " the crank", Ink::Dimension,
                            Align::Right});
}

struct Gear {
    Point at;
    double radius;
};

// A gear's pitch circle and its shaft, and what it is, under it or over it.
void gear(Sketch& sketch, const Gear& g, std::string label, Ink ink, Align side = Align::Below) {
    sketch.circles.push_back({g.at.x, g.at.y, g.radius, ink, false});
    sketch.circles.push_back({g.at.x, g.at.y, 0.08 * g.radius, ink, true});
    const double edge = side == Align::Above ? g.radius : -g.radius;
    sketch.texts.push_back({g.at.x, g.at.y + edge, std::move(label), ink, side});
}

// Where an idler of radius r meshes with gears a and b, above the line between them.
Point idlerBetween(const Gear& a, const Gear& b, double r) {
    const double d = std::hypot(b.at.x - a.at.x, b.at.y - a.at.y);
    const double ra = a.radius + r;
    const double rb = b.radius + r;
    const double along = (ra * ra - rb * rb + d * d) / (2 * d);
    const double up = std::sqrt(std::max(ra * ra - along * along, 0.0));
    const double ux = (b.at.x - a.at.x) / d;
    const double uy = (b.at.y - a.at.y) / d;
    return {a.at.x + ux * along - uy * up, a.at.y + uy * along + ux * up};
}

// The change gears, to the right of the plate: the plate's shaft, the idler that sets its way
// round, then the spindle, with the stud between for two pairs. Each pitch circle as large as
// its teeth are many, the largest 0.7 of the plate's radius.
void gearTrain(Sketch& sketch, const DifferentialMove& plan, double rim) {
    const GearTrain& train = plan.train;
    const std::int64_t most =
        std::max(*std::max_element(train.drivers.begin(), train.drivers.end()),
                 *std::max_element(train.driven.begin(), train.driven.end()));
    const double unit = 0.7 * rim / static_cast<double>(most);
    const auto size = [unit](std::int64_t teeth) { return unit * static_cast<double>(teeth); };
    const std::size_t last = train.driven.size() - 1;
    const Gear shaft{{rim * 1.35 + size(train.driven[last]), 0}, size(train.driven[last])};
    const Gear meshing{{0, 0}, size(train.drivers[last])};
    const double idler = std::max(0.5 * std::min(shaft.radius, meshing.radius), 0.25 * rim);
    const Gear driver{{shaft.at.x + shaft.radius + idler + meshing.radius, 0}, meshing.radius};
    gear(sketch, shaft, number(train.driven[last]) + " on the plate's shaft", Ink::Outline);
    gear(sketch, {idlerBetween(shaft, driver, idler), idler}, "idler", Ink::Guide, Align::Above);
    if (last == 0) {
        gear(sketch, driver, number(train.drivers[0]) + " on the spindle", Ink::Outline);
    } else {
        const Gear stud{driver.at, size(train.driven[0])};
        sketch.circles.push_back({stud.at.x, stud.at.y, stud.radius, Ink::Outline, false});
        gear(sketch, driver,
             number(train.driven[0]) + " and " + number(train.drivers[1]) + " on the stud",
             Ink::Outline);
        sketch.texts.back().y = stud.at.y - std::max(driver.radius, stud.radius);
        const double reach = stud.radius + size(train.drivers[0]);
        const Gear spindle{{stud.at.x + reach * 0.6, stud.at.y + reach * 0.8},
                           size(train.drivers[0])};
        gear(sketch, spindle, number(train.drivers[0]) + " on the spindle", Ink::Outline,
             Align::Above);
    }
    // Under the shaft's own name, where a window moves it clear of that.
    sketch.texts.push_back({shaft.at.x, shaft.at.y - shaft.radius,
                            "g = " + fractionText(plan.gearing), Ink::Dimension, Align::Below});
}

// The move the picture shows: the crank's, on the circle it is made on.
HoleMove crankMove(const IndexPlan& plan) {
    switch (plan.method) {
        case IndexMethod::Simple:
            return plan.simple.front();
        case IndexMethod::Compound:
            return {plan.compound->turns, plan.compound->holes, plan.compound->circle,
                    plan.compound->plate};
        case IndexMethod::Differential:
            return plan.differential.front().move;
        case IndexMethod::None:
            break;
    }
    return {0, 0, plan.nearest->circle, plan.nearest->plate};
}

}  // namespace

Sketch indexSketch(const IndexPlan& plan) {
    const HoleMove move = crankMove(plan);
    Sketch sketch;
    const double rim = plate(sketch, plan.head, move);
    if (plan.method == IndexMethod::None) {
        sketch.caption = "Index plate: the " + circleName(move.circle) +
                         onPlate(plan.head, move.plate) +
                         ", each division on the hole nearest its exact place (approximate)";
        return sketch;
    }
    sectorArms(sketch, move);
    sketch.caption = "Index plate: " + moveText(plan.head, move) + " for each division";
    if (plan.method == IndexMethod::Compound) {
        plateMove(sketch, *plan.compound, rim);
        sketch.caption += ", then the plate " +
                          counted(plan.compound->plateHoles, "hole", "holes") +
                          (plan.compound->plateBack ? " back" : " forward");
    } else if (plan.method == IndexMethod::Differential) {
        const DifferentialMove& chosen = plan.differential.front();
        plateTurning(sketch, chosen.gearing, rim);
        gearTrain(sketch, chosen, rim);
        sketch.caption += detail::formatted(", as for %lld divisions, the plate geared ",
                                            static_cast<long long>(chosen.base)) +
                          directionWord(chosen.gearing) + " the crank";
    }
    return sketch;
}

}  // namespace morvanta
