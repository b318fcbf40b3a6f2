// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvanta {

// A picture of a setup, as the engine sees it: shapes in the setup's own coordinates (the work's
// units for a bolt circle, X to the right and Y up; any convenient units for a dial or a plate),
// which a window paints with QPainter scaled to fit and a test reads back. Coordinates are doubles:
// the picture shows where things are, the tables say exactly where. Every text in it comes from
// the engine's own writers, so the picture and the table cannot disagree.
//
// A bolt circle of 6 holes on a diameter of 100 round 10,-5 from 15°: the pitch circle
// {10, -5, 50}, six holes numbered 1 to 6, hole 1 at (58.3, 7.9) marked first, a line from the
// centre along the zero direction, an arrow along the arc from hole 1 the way the holes go, the
// centre's cross with its label "X 10 Y -5", and the diameter's dimension "⌀100".
enum class Ink {
    Outline,    // the part and the circles that matter
    Guide,      // construction lines: the pitch circle, the zero direction
    Accent,     // what must catch the eye: hole 1, the turning direction, the circle in use
    Dimension,  // dimension lines and their figures
};

enum class Align { Centre, Left, Right, Above, Below };

struct SketchCircle {
    double x = 0;
    double y = 0;
    double radius = 0;
    Ink ink = Ink::Outline;
    bool filled = false;
};

// A straight line from (x1, y1) to (x2, y2), with an arrow head at its end where asked.
struct SketchLine {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    Ink ink = Ink::Outline;
    bool arrow = false;
};

// An arc round (x, y) from `start` degrees, counter-clockwise from +X, through `sweep` degrees
// (negative for clockwise), with an arrow head at its end where asked.
struct SketchArc {
    double x = 0;
    double y = 0;
    double radius = 0;
    double start = 0;
    double sweep = 0;
    Ink ink = Ink::Guide;
    bool arrow = false;
};

// A text placed at (x, y) as `align` says: Centre on the point, Left starting at it, Right ending
// at it, Above or Below it.
struct SketchText {
    double x = 0;
    double y = 0;
    std::string text;
    Ink ink = Ink::Outline;
    Align align = Align::Centre;
};

// A hole, division or tooth the work is stepped to, by its number from 1: a window highlights the
// one at hand, and hole 1 is drawn marked.
struct SketchHole {
    double x = 0;
    double y = 0;
    double radius = 0;
    std::int64_t number = 0;
};

struct Sketch {
    std::string caption;  // one line saying what the picture shows
    std::vector<SketchCircle> circles;
    std::vector<SketchLine> lines;
    std::vector<SketchArc> arcs;
    std::vector<SketchText> texts;
    std::vector<SketchHole> holes;
};

}  // namespace morvanta
