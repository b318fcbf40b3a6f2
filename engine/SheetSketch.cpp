// SPDX-License-Identifier: GPL-3.0-or-later
// The setting sheet as a dial: where each hole lies round the table, and the angle to set for it.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/SettingSheet.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

constexpr double kDial = 100;
// Labelled holes lie at least this far apart round the dial, so that their angles can be read.
constexpr double kLabelDegrees = 30;

struct Point {
    double x;
    double y;
};

// A point at `degrees` on the dial, counted counter-clockwise from 0° at the top.
Point onDial(double degrees, double radius) {
    const double turned = (90 + degrees) * std::numbers::pi / 180;
    return {radius * std::cos(turned), radius * std::sin(turned)};
}

// A label beside a point of the dial, on the side away from the centre, so that it reads clear
// of the holes whichever way round it stands.
Align outward(Point p) {
    const double length = std::hypot(p.x, p.y);
    if (std::abs(p.y) >= 0.92 * length) {
        return p.y > 0 ? Align::Above : Align::Below;
    }
    return p.x > 0 ? Align::Left : Align::Right;
}

// The hole's place: its exact angle as the sheet counts it, within one turn.
double holeDegrees(const SheetPlan& plan, std::int64_t hole) {
    return sheetExactAngle(plan, hole).toDouble();
}

// The ring the holes lie on, graduated every 10° outside it, longer every 90°; the longest, in
// the outline's ink, marks the table's zero, where the sheet's angles are counted from.
void graduations(Sketch& sketch) {
    for (int degrees = 0; degrees < 360; degrees += 10) {
        const double outer = kDial * (degrees == 0 ? 1.1 : degrees % 90 == 0 ? 1.08 : 1.05);
        const Point from = onDial(degrees, kDial);
        const Point to = onDial(degrees, outer);
        sketch.lines.push_back(
            {from.x, from.y, to.x, to.y, degrees == 0 ? Ink::Outline : Ink::Guide, false});
    }
    sketch.circles.push_back({0, 0, kDial, Ink::Guide, false});
    const double cross = 0.05 * kDial;
    sketch.lines.push_back({-cross, 0, cross, 0, Ink::Outline, false});
    sketch.lines.push_back({0, -cross, 0, cross, Ink::Outline, false});
}

// "0°" over the zero mark, where hole 1 does not stand there with its own angle.
void zeroMark(Sketch& sketch, const SheetPlan& plan) {
    if (!sheetExactAngle(plan, 1).isZero()) {
        sketch.texts.push_back(
            {0, 1.1 * kDial, exactDegreesText(Angle::whole(0)), Ink::Outline, Align::Above});
    }
}

// The way the table turns from hole 1 to hole 2, inside the ring of holes.
void turningArrow(Sketch& sketch, const SheetPlan& plan) {
    const double step = plan.step.toDouble();
    // Long enough to be seen among ten thousand holes, short of hole 2 where the holes are few.
    const double sweep = std::min(std::max(0.7 * step, 25.0), 40.0);
    sketch.arcs.push_back({0, 0, 0.55 * kDial, 90 + holeDegrees(plan, 1),
                           plan.clockwise ? -sweep : sweep, Ink::Accent, true});
}

// The arc the holes are spread over, where it is less than the full circle.
void spanArc(Sketch& sketch, const SheetPlan& plan) {
    if (!plan.span || *plan.span == Angle::whole(360)) {
        return;
    }
    const double span = plan.span->toDouble();
    const double sweep = plan.clockwise ? -span : span;
    const double first = holeDegrees(plan, 1);
    sketch.arcs.push_back({0, 0, 0.4 * kDial, 90 + first, sweep, Ink::Dimension, true});
    const Point middle = onDial(first + sweep / 2, 0.4 * kDial);
    sketch.texts.push_back(
        {middle.x, middle.y, exactDegreesText(*plan.span), Ink::Dimension, outward(middle)});
}

// Every hole, and the angle to set for holes kLabelDegrees or more apart, from hole 1.
void holes(Sketch& sketch, const SheetPlan& plan) {
    const double step = plan.step.toDouble();
    const double chord = 2 * kDial * std::sin(std::min(step, 180.0) * std::numbers::pi / 360);
    const double radius = std::min(0.3 * chord, 0.05 * kDial);
    sketch.holes.reserve(static_cast<std::size_t>(plan.holes));
    for (std::int64_t hole = 1; hole <= plan.holes; ++hole) {
        const Point p = onDial(holeDegrees(plan, hole), kDial);
        sketch.holes.push_back({p.x, p.y, radius, hole});
    }
    const auto stride = static_cast<std::int64_t>(std::ceil(kLabelDegrees / step - 1e-9));
    for (std::int64_t hole = 1; hole <= plan.holes; hole += std::max<std::int64_t>(stride, 1)) {
        const Point p = onDial(holeDegrees(plan, hole), 1.16 * kDial);
        sketch.texts.push_back(
            {p.x, p.y, angleText(holeSetting(plan, hole).angle), Ink::Outline, outward(p)});
    }
}

}  // namespace

Sketch sheetSketch(const SheetPlan& plan) {
    Sketch sketch;
    sketch.caption =
        "Dial: " +
        holesMeaning(plan.holes, plan.span, plan.ends, plan.step, kDefaultWrittenDecimals) +
        (plan.clockwise ? ", turning clockwise" : ", turning counter-clockwise");
    graduations(sketch);
    spanArc(sketch, plan);
    zeroMark(sketch, plan);
    turningArrow(sketch, plan);
    holes(sketch, plan);
    return sketch;
}

}  // namespace morvanta
