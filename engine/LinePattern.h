// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Angle.h"
#include "engine/Calculation.h"
#include "engine/DrillProgram.h"
#include "engine/ExactDecimal.h"
#include "engine/HolePattern.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// Holes on a straight line, as a read-out's "line hole" screen lays them out: COUNT holes from a
// start X,Y along a direction at an angle counter-clockwise from +X, at a pitch, or spread over a
// length with a hole at each end, (length / (COUNT - 1)) apart.
//
// Hole k lies at the exact distance d = (k - 1) x pitch from the start, and its coordinates are
// start + d x cos, sin of the angle, each correctly rounded (TurnedRounding): 5 holes at 45°,
// 10 apart from 0,0 give hole 2 at 7.0711, 7.0711 and hole 5 at 28.2843, 28.2843. A pitch made
// from a length need not be a short decimal (100 over 7 holes is 50/3 apart): the distance is
// then (k - 1) x length / (COUNT - 1) exactly.
//
// The whole line, (COUNT - 1) x pitch or the length, stays below 10^9, so that every coordinate
// has at most 10 digits before the point like the inputs.

inline constexpr std::int64_t kMaxLineLength = 1'000'000'000;

struct LinePlan {
    std::int64_t count = 0;
    ExactDecimal startX;
    ExactDecimal startY;
    Angle angle;
    // The distance between neighbouring holes: pitch / divisor exactly; divisor 1 with a pitch,
    // COUNT - 1 with a length.
    ExactDecimal pitch;
    std::int64_t divisor = 1;
    bool overLength = false;  // the pitch came from a length
    int decimals = 4;
    std::vector<DrillHole> holes;  // every hole, hole k at holes[k - 1]
    HoleChoice choice;
};

extern const Calculation kLineCalculation;

// Works out every hole from inputs read against kLineCalculation, with the rules between them:
// exactly one of pitch and length (kLineSpacingTwiceMessage, kLineSpacingMissingMessage), a length
// only for 2 holes or more (kLineLengthOneHoleMessage), the line below 10^9 (kLineTooLongMessage),
// the holes drilled as HoleChoice::read says.
Result<LinePlan> planLine(const Values& values);

inline constexpr std::string_view kLineSpacingMissingMessage =
    "give the spacing with {pitch} or {length}";
inline constexpr std::string_view kLineSpacingTwiceMessage =
    "give either {pitch} or {length}, not both";
inline constexpr std::string_view kLineLengthOneHoleMessage = "{length} needs at least 2 holes";
inline constexpr std::string_view kLineTooLongMessage =
    "the line, ({count} - 1) x {pitch}, must stay below 1000000000";

// The table: title, notes (the spacing, the direction, how the numbers are worked out and
// rounded, the holes left out, the moves), columns Hole, X, Y, dX, dY.
// `line 5 --pitch 10 --angle 45` starts:
//   Line: 5 holes from X 0 Y 0 at 45°
//   Spacing: 10 apart, 40 from hole 1 to hole 5
//   ...
//   Hole        X        Y       dX       dY
//      1   0.0000   0.0000
//      2   7.0711   7.0711   7.0711   7.0711
Report lineReport(const LinePlan& plan);
std::string lineText(const LinePlan& plan);
// "hole,x,y,dx,dy", then a row per hole drilled.
std::string lineCsv(const LinePlan& plan);
// The comments of its drilling program.
std::vector<std::string> lineAbout(const LinePlan& plan);
// The holes numbered along the line (hole 1 marked, holes left out as thin circles), the start's
// cross with its coordinates, the direction with its angle, and the pitch.
Sketch lineSketch(const LinePlan& plan);

// An exact spacing as the notes write it: "10", or "50/3 (16.6667)" where it is no short decimal.
std::string spacingText(const ExactDecimal& length, std::int64_t divisor, int decimals);

}  // namespace morvanta
