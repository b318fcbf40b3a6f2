// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the hole patterns: the holes where the table puts them, numbered, and the
// figures a machinist checks the setup against.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/BoltCircle.h"
#include "engine/GridPattern.h"
#include "engine/Integers.h"
#include "engine/Wording.h"
#include "engine/LinePattern.h"

namespace morvanta {

namespace {

double valueOf(const ExactDecimal& d) {
    return static_cast<double>(d.units) / static_cast<double>(detail::kPow10[d.scale]);
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// A dimension from (x1, y1) to (x2, y2): two arrows out from the middle, the figure beside it.
void dimension(Sketch& sketch, double x1, double y1, double x2, double y2, std::string text,
               Align align) {
    const double mx = (x1 + x2) / 2;
    const double my = (y1 + y2) / 2;
    sketch.lines.push_back({mx, my, x1, y1, Ink::Dimension, true});
    sketch.lines.push_back({mx, my, x2, y2, Ink::Dimension, true});
    sketch.texts.push_back({mx, my, std::move(text), Ink::Dimension, align});
}

// A cross at a point with its coordinates written under it.
void centreMark(Sketch& sketch, double x, double y, double size, std::string label) {
    sketch.lines.push_back({x - size, y, x + size, y, Ink::Outline, false});
    sketch.lines.push_back({x, y - size, x, y + size, Ink::Outline, false});
    sketch.texts.push_back({x, y - size, std::move(label), Ink::Outline, Align::Below});
}

}  // namespace

Sketch boltCircleSketch(const BoltCirclePlan& plan) {
    Sketch sketch;
    const double cx = valueOf(plan.centreX);
    const double cy = valueOf(plan.centreY);
    const double r = valueOf(plan.radius);
    sketch.caption = "Bolt circle of " + std::to_string(plan.count) +
                     (plan.count == 1 ? " hole" : " holes") + " on a diameter of " +
                     exactDecimalText(plan.diameter);
    sketch.circles.push_back({cx, cy, r, Ink::Guide, false});
    const double step = plan.step.toDouble();
    const double spacing =
        plan.count > 1 ? 2 * r * std::sin(radians(std::min(step, 180.0) / 2)) : r;
    sketchHoles(sketch, boltCircleHoles(plan), plan.choice, plan.decimals,
                std::min(0.3 * spacing, 0.08 * r));
    // The zero direction, from the centre out past the circle.
    const double zero = plan.north ? 90.0 : 0.0;
    const double zx = cx + 1.25 * r * std::cos(radians(zero));
    const double zy = cy + 1.25 * r * std::sin(radians(zero));
    sketch.lines.push_back({cx, cy, zx, zy, Ink::Guide, true});
    sketch.texts.push_back(
        {zx, zy, "0\u00B0", Ink::Guide, plan.north ? Align::Above : Align::Left});
    // The way the holes go, an arrow along the circle from hole 1.
    const double first = plan.start.withinTurn().toDouble();
    const double direction = plan.clockwise ? zero - first : zero + first;
    const double sweep = std::min(plan.count > 1 ? 0.7 * step : 30.0, 40.0);
    sketch.arcs.push_back(
        {cx, cy, 1.12 * r, direction, plan.clockwise ? -sweep : sweep, Ink::Accent, true});
    centreMark(sketch, cx, cy, 0.08 * r,
               "X " + exactDecimalText(plan.centreX) + " Y " + exactDecimalText(plan.centreY));
    dimension(sketch, cx - r, cy - 1.3 * r, cx + r, cy - 1.3 * r,
              "\u2300" + exactDecimalText(plan.diameter), Align::Below);
    return sketch;
}

namespace {

double coordinate(std::int64_t units, int decimals) {
    return static_cast<double>(units) / static_cast<double>(detail::kPow10[decimals]);
}

// The size a hole is drawn at: a third of the spacing, or a little of the whole where the holes
// are not spaced (one hole), never 0.
double holeSize(double spacing, double extent) {
    const double size = spacing > 0 ? 0.3 * spacing : 0.05 * extent;
    return size > 0 ? size : 1.0;
}

}  // namespace

Sketch lineSketch(const LinePlan& plan) {
    Sketch sketch;
    sketch.caption = "Line of " + std::to_string(plan.count) +
                     (plan.count == 1 ? " hole" : " holes") + " at " + exactDegreesText(plan.angle);
    const double pitch = valueOf(plan.pitch) / static_cast<double>(plan.divisor);
    const double sx = valueOf(plan.startX);
    const double sy = valueOf(plan.startY);
    const double length = pitch * static_cast<double>(plan.count - 1);
    const double size = holeSize(pitch, 10.0);
    const double a = radians(plan.angle.toDouble());
    const double reach = length + 3 * size;
    // The direction of the line, with its angle, from the start past the last hole.
    sketch.lines.push_back(
        {sx, sy, sx + reach * std::cos(a), sy + reach * std::sin(a), Ink::Guide, true});
    sketch.texts.push_back({sx + reach * std::cos(a), sy + reach * std::sin(a),
                            exactDegreesText(plan.angle), Ink::Guide, Align::Left});
    sketchHoles(sketch, plan.holes, plan.choice, plan.decimals, size);
    centreMark(sketch, sx, sy, 1.5 * size,
               "X " + exactDecimalText(plan.startX) + " Y " + exactDecimalText(plan.startY));
    if (plan.count > 1) {
        // The pitch between holes 1 and 2, drawn beside the line.
        const double nx = -std::sin(a) * 2.5 * size;
        const double ny = std::cos(a) * 2.5 * size;
        dimension(sketch, sx + nx, sy + ny, sx + nx + pitch * std::cos(a),
                  sy + ny + pitch * std::sin(a),
                  spacingText(plan.pitch, plan.divisor, plan.decimals), Align::Above);
    }
    return sketch;
}

Sketch gridSketch(const GridPlan& plan) {
    Sketch sketch;
    sketch.caption = "Grid of " + std::to_string(plan.rows) + " x " + std::to_string(plan.columns) +
                     " holes turned by " + exactDegreesText(plan.angle);
    const double px = valueOf(plan.pitchX);
    const double py = valueOf(plan.pitchY);
    const double size =
        holeSize(std::min(plan.columns > 1 ? px : py, plan.rows > 1 ? py : px), 10.0);
    // The path the drill takes, hole to hole.
    for (std::size_t i = 1; i < plan.holes.size(); ++i) {
        const DrillHole& from = plan.holes[i - 1];
        const DrillHole& to = plan.holes[i];
        sketch.lines.push_back({coordinate(from.x, plan.decimals),
                                coordinate(from.y, plan.decimals), coordinate(to.x, plan.decimals),
                                coordinate(to.y, plan.decimals), Ink::Guide, false});
    }
    sketchHoles(sketch, plan.holes, plan.choice, plan.decimals, size);
    const double cx = valueOf(plan.cornerX);
    const double cy = valueOf(plan.cornerY);
    centreMark(sketch, cx, cy, 1.5 * size,
               "X " + exactDecimalText(plan.cornerX) + " Y " + exactDecimalText(plan.cornerY));
    const double a = radians(plan.angle.toDouble());
    const double ax = std::cos(a);
    const double ay = std::sin(a);
    if (plan.columns > 1) {
        const double off = -2.5 * size;
        dimension(sketch, cx - ay * off, cy + ax * off, cx - ay * off + px * ax,
                  cy + ax * off + px * ay, exactDecimalText(plan.pitchX), Align::Below);
    }
    if (plan.rows > 1) {
        const double off = -2.5 * size;
        dimension(sketch, cx + ax * off, cy + ay * off, cx + ax * off - py * ay,
                  cy + ay * off + py * ax, exactDecimalText(plan.pitchY), Align::Right);
    }
    if (!plan.angle.withinTurn().isZero()) {
        const double r = std::max(px * static_cast<double>(plan.columns - 1), 4 * size) * 0.5;
        sketch.lines.push_back({cx, cy, cx + 1.2 * r, cy, Ink::Guide, false});
        sketch.arcs.push_back(
            {cx, cy, r, 0, plan.angle.withinTurn().toDouble(), Ink::Dimension, true});
        sketch.texts.push_back(
            {cx + 1.2 * r, cy, exactDegreesText(plan.angle), Ink::Dimension, Align::Left});
    }
    return sketch;
}

}  // namespace morvanta
