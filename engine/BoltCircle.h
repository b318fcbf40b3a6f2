// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Angle.h"
#include "engine/BoltCircleMath.h"
#include "engine/Calculation.h"
#include "engine/CommonOptions.h"
#include "engine/DrillProgram.h"
#include "engine/HolePattern.h"
#include "engine/Report.h"
#include "engine/Result.h"

namespace morvanta {

// Bolt circles for a mill with a digital read-out or CNC: the X and Y of each of COUNT holes round
// a centre, for setting on a read-out, for a spreadsheet, or as a G-code drilling program.
//
// Hole k (from 1) lies at the exact angle start + (k - 1) x step, measured from the zero direction
// (east = +X, north = +Y) counter-clockwise, or clockwise. The step is 360° / COUNT round the full
// circle; over an arc of span S it is S / COUNT (the last hole a step short of the arc's end), or
// S / (COUNT - 1) with a hole at each end. Each angle is made on its own from the exact start and
// step, so nothing builds up from hole to hole, and each coordinate is the exact
// centre + radius x cos or sin of it, correctly rounded to the decimals asked (roundedCoordinate):
// 30° on a radius of 50 is 25.0000, never 24.9999, and nothing reads "-0.0000".
//
// Numbers are taken in whatever unit the user works in; nothing is converted. Nothing keeps state;
// planBoltCircle catches running out of memory and says so, the writers below allocate and may
// throw std::bad_alloc, which the caller must catch.

inline constexpr std::int64_t kMaxBoltHoles = 10'000;
inline constexpr int kDefaultBoltDecimals = kDefaultWrittenDecimals;

// One hole: its exact angle within one turn of the zero direction, counted as asked (0 <= angle
// < 360), and its coordinates in units of 10^-decimals.
struct BoltHole {
    Angle angle;
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// A checked request with every hole worked out.
struct BoltCirclePlan {
    std::int64_t count = 0;
    ExactDecimal radius;
    ExactDecimal diameter;
    // The chord the diameter was made from, where it was given instead of a size.
    std::optional<ExactDecimal> givenChord;
    ExactDecimal centreX;
    ExactDecimal centreY;
    Angle start;
    std::optional<Angle> span;  // nothing round the full circle
    bool ends = false;
    bool clockwise = false;
    bool north = false;
    Angle step;
    int decimals = kDefaultBoltDecimals;
    std::optional<std::int64_t> chord;  // units of 10^-decimals; nothing for a single hole
    std::vector<BoltHole> holes;        // every hole of the circle, hole k at holes[k - 1]
    HoleChoice choice;                  // those drilled
};

// The description of the bolt circle: its inputs, their limits and how it is made.
extern const Calculation kBoltCircleCalculation;

// Works out every hole from inputs read and checked against kBoltCircleCalculation, with the rules
// between them, the first that fails refusing the plan: the size given by exactly one of diameter,
// radius and chord (kBoltSizeTwiceMessage, kBoltSizeMissingMessage), a chord only for 2 holes or
// more and giving a diameter below 10^9 (kBoltChordOneHoleMessage, kBoltChordTooLongMessage), a
// span of 0 only for one hole (kBoltZeroSpanMessage), a hole at each end only with a span below 360
// and two holes or more (kEndsWithoutSpanMessage, kEndsFullMessage, kBoltEndsOneHoleMessage), the
// holes drilled as HoleChoice::read says. With a chord the diameter is chord / sin(step / 2)
// correctly rounded to 9 decimals (diameterOfChord), and the holes lie on that diameter. A refusal
// about no input says a coordinate lies too close to a rounding boundary for 8192 bits
// (kBoltUndecidedMessage, which no real input reaches) or that memory ran out.
// {"count": "6", "diameter": "100", "centre": "10,-5", "start": "15"} gives 6 holes 60° apart
// from 15°; hole 1 at X 58.2963 Y 7.9410.
Result<BoltCirclePlan> planBoltCircle(const Values& values);
// The same from the texts, read first as readInputs does.
Result<BoltCirclePlan> planBoltCircle(const Inputs& inputs);

inline constexpr std::string_view kBoltSizeMissingMessage =
    "give the size of the circle with {diameter}, {radius} or {chord}";
inline constexpr std::string_view kBoltSizeTwiceMessage =
    "give only one of {diameter}, {radius} and {chord}";
inline constexpr std::string_view kBoltChordOneHoleMessage = "{chord} needs at least 2 holes";
inline constexpr std::string_view kBoltChordTooLongMessage =
    "the diameter that {chord} gives must stay below 1000000000";
inline constexpr std::string_view kBoltZeroSpanMessage = "{span} 0 has room for one hole only";
inline constexpr std::string_view kBoltEndsOneHoleMessage = "{ends} needs at least 2 holes";
inline constexpr std::string_view kBoltUndecidedMessage =
    "a coordinate lies too close to a rounding boundary to be rounded with certainty";

// What the request means, in words: "7 holes over 90°, a hole at each end, 15° apart",
// "6 holes over the full circle, 60° apart", "4 holes over 90°, 22.5° apart, the last a step
// short of the end", "1 hole". A step that is not a short decimal is shown rounded with its exact
// fraction: "51.4286° apart (exactly 360/7°)".
std::string boltCircleMeaning(const BoltCirclePlan& plan);

// The table as a report: title, notes (what was meant, where hole 1 lies and which way the holes
// go, the centre and radius, the chord between neighbours, how the numbers are rounded, the holes
// left out), columns Hole, Angle (decimal degrees, as many decimals as the coordinates, within one
// turn: an angle that rounds up to 360 reads 0), DMS (degrees, minutes and seconds to
// 10^-(decimals - 3) of a second, whole seconds for 3 decimals or fewer), X, Y, dX, dY (the move
// from the hole drilled before), a row for each hole drilled.
// `coords 6 --diameter 100 --centre 10,-5 --start 15` starts:
//   Bolt circle: 6 holes on a diameter of 100, centre X 10 Y -5
//   Holes: 6 holes over the full circle, 60° apart
//   ...
//   Hole     Angle           DMS         X         Y        dX        dY
//      1   15.0000   15°00'00.0"   58.2963    7.9410
//      2   75.0000   75°00'00.0"   22.9410   43.2963  -35.3553   35.3553
Report boltCircleReport(const BoltCirclePlan& plan);

// reportText(boltCircleReport(plan)).
std::string boltCircleText(const BoltCirclePlan& plan);

// A row of names "hole,angle,x,y,dx,dy", then one row per hole drilled:
// 1,15.0000,58.2963,7.9410,, then 2,75.0000,22.9410,43.2963,-35.3553,35.3553. LF breaks.
std::string boltCircleCsv(const BoltCirclePlan& plan);

// The holes of the plan by number with their X and Y.
std::vector<DrillHole> boltCircleHoles(const BoltCirclePlan& plan);

// What a drilling program of the plan says of it in its comments: the count, diameter and centre,
// the arc and step, where hole 1 lies and which way the holes go.
std::vector<std::string> boltCircleAbout(const BoltCirclePlan& plan);

// A picture of the circle: the pitch circle, the holes numbered (hole 1 marked, holes left out as
// thin circles), the zero direction from the centre, an arrow from hole 1 the way the holes go,
// the centre's cross with its coordinates and the diameter.
Sketch boltCircleSketch(const BoltCirclePlan& plan);

}  // namespace morvanta
