// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Angle.h"
#include "engine/Calculation.h"
#include "engine/CommonOptions.h"
#include "engine/Report.h"
#include "engine/Result.h"

namespace morvanta {

// Setting sheets for a manual rotary table or dividing head: for each of N equally spaced holes,
// the table angle to set, the handwheel turns and dial reading that make it, and the error of that
// setting. Everything is computed in whole seconds of arc and exact fractions of them, each hole
// on its own from its exact angle (hole - 1) x 360° / N, so errors never build up from hole to
// hole. Nothing here keeps state. holeSetting never throws; planSheet and the writers below
// allocate and so may throw std::bad_alloc, which the caller must catch.
//
// A start angle and an arc move the holes as for a bolt circle: hole k lies at the exact angle
// start + (k - 1) x step, with a step of 360° / N, or span / N over an arc, or span / (N - 1) with
// a hole at each end of it; clockwise, the table angle is the negative of that. Angles are set
// within one turn, from 0 up to but not including 360°. A sheet can also be a G-code program for
// a CNC rotary axis, which moves to each hole's exact angle and stops there.
//
// Rounding: a setting is the multiple of the resolution nearest to the exact angle; an exact angle
// halfway between two multiples goes to the larger one (halves up), so 59.5" at 1" is 1'00".
//
// What can be set:
// - without a worm ratio, the table angle itself, to the resolution (default 1");
// - with a worm ratio R but no dial, the table angle to the resolution, read as whole handwheel
//   turns from zero plus the table angle still to turn on a dial marked in degrees, minutes and
//   seconds of table angle (one turn moves the table 360° / R; 4° on a 90:1 table);
// - with a dial of D graduations per turn, only whole graduations (360° / (R x D) each; 1' for
//   90:1 and 240), so every angle is rounded to whole graduations, by default to one. The angle
//   shown and the error are those of the graduation actually set, never of a finer angle the dial
//   cannot make.

inline constexpr std::int64_t kSecondsPerRevolution = 1'296'000;
inline constexpr std::int64_t kMinSheetHoles = 2;
inline constexpr std::int64_t kMaxSheetHoles = 10'000;

// How a program for a CNC rotary axis gives each angle: running on past 360 from the start, within
// one turn (for a control that takes the shortest way), or as G91 increments.
enum class RotaryMoves { Forward, Shortest, Incremental };

// A checked request: every quantity in whole seconds of table angle.
struct SheetPlan {
    std::int64_t holes = 0;
    std::string ratioText;        // "90", "40.5"; empty without a ratio
    std::int64_t turn = 0;        // one handwheel turn; 0 without a ratio
    std::int64_t dial = 0;        // graduations per turn; 0 without a dial
    std::int64_t graduation = 0;  // 0 without a dial
    std::int64_t resolution = 1;  // the step every setting is rounded to

    // Where the holes lie: hole k at (clockwise ? -1 : 1) x (first + (k - 1) x step).
    bool arc = false;  // a start, span or direction was given: the sheet says so
    Angle start;       // as given
    Angle first;       // start within one turn
    std::optional<Angle> span;
    bool ends = false;
    bool clockwise = false;
    Angle step = Angle::whole(360);
    // Every exact angle in seconds is a whole number of 1 / errorDenominator seconds: the count of
    // holes for a full circle from 0, and a multiple of the step's denominator otherwise.
    std::int64_t errorDenominator = 1;

    // A G-code program for a rotary axis instead of the sheet.
    bool gcode = false;
    char axis = 'A';
    int decimals = 4;
    RotaryMoves rotary = RotaryMoves::Forward;
};

// Either a plan or exactly one refusal, never both.
using SheetPlanResult = Result<SheetPlan>;

// The description of the setting sheet: its inputs, their limits and how it is made.
extern const Calculation kSheetCalculation;

// Plans a sheet from inputs read and checked against kSheetCalculation, with the rules between
// them, the first that fails refusing the plan:
//   ratio: one handwheel turn must be a whole number of seconds (360° / 7 is not, so 7 is refused);
//   dial: only with a ratio, each graduation a whole number of seconds (90 with 240 gives 60";
//     90 with 128 would give 112.5" and is refused);
//   resolution: with a dial, a whole number of graduations; by default 1", or one graduation;
//   ends: only with a span below 360;
//   the resolution (or graduation) may be no coarser than the spacing of the holes: a coarser one
//     would set different holes alike and could round the last one onto 360°.
// {"count": "7", "ratio": "90", "dial": "240"} gives holes 7, turn 14400, dial 240, graduation
// 60, resolution 60.
SheetPlanResult planSheet(const Values& values);
// The same from the texts, read first as readInputs does.
SheetPlanResult planSheet(const Inputs& inputs);
// planSheet without the check of the resolution against the spacing, which a CNC axis's G-code
// does not need.
SheetPlanResult planSheetHoles(const Values& values);

// One hole's setting. The exact angle is (hole - 1) x kSecondsPerRevolution / holes seconds round
// a full circle from 0, and start + (hole - 1) x step within one turn otherwise (sheetExactAngle).
struct HoleSetting {
    std::int64_t angle = 0;        // the angle set, 0 <= angle < kSecondsPerRevolution
    std::int64_t turns = 0;        // whole handwheel turns from zero; 0 without a ratio
    std::int64_t inTurn = 0;       // table angle past those turns; 0 without a ratio
    std::int64_t dialReading = 0;  // graduations past those turns; 0 without a dial
    // (angle - exact angle) x plan.errorDenominator, so that the error in seconds is
    // errorTimesHoles / plan.errorDenominator exactly; the denominator is the count of holes for
    // a full circle from 0, whence the name.
    std::int64_t errorTimesHoles = 0;
};

// The exact table angle of hole 1 to plan.holes in degrees, within one turn:
// (clockwise ? -1 : 1) x (start + (hole - 1) x step), brought to 0 <= angle < 360.
Angle sheetExactAngle(const SheetPlan& plan, std::int64_t hole);

// The setting of hole 1 to plan.holes. Hole 2 of 7 on 90:1 with a 240 dial: exact 51°25'42.857",
// set 51°26'00" = 12 turns and 206 graduations, error +17.143" (errorTimesHoles 120).
HoleSetting holeSetting(const SheetPlan& plan, std::int64_t hole) noexcept;

// Whole seconds as degrees, two-digit minutes and seconds: 185143 -> 51°25'43", 60 -> 0°01'00".
std::string angleText(std::int64_t seconds);

// A nonzero amount of seconds with its zero parts left out: 14400 -> 4°, 60 -> 1', 10 -> 10",
// 32000 -> 8°53'20", 3601 -> 1°00'01".
std::string amountText(std::int64_t seconds);

// errorTimesHoles / holes seconds with two decimals, rounded half away from zero, signed unless
// it rounds to zero: "0.00" is an error below 0.005" either way, never "-0.00". 1/7 -> "+0.14",
// -180/7 -> "-25.71".
std::string errorText(std::int64_t errorTimesHoles, std::int64_t holes);

// The sheet as a picture: a dial of radius 100 round (0, 0), graduated every 10° outside the
// ring, 0° at the top and angles counted counter-clockwise, every hole at its exact angle on the
// ring, hole k at (100 cos(90° + a), 100 sin(90° + a)) for its angle a; the angle to set written
// outside the ring by hole 1 and every hole at least 30° on from the last one written (holes 1,
// 1 + s, 1 + 2s... for s = ceil(30° / step)); an arrow from hole 1 the way the table turns; an arc
// over the span where the holes cover less than the full circle; "0°" over the zero where hole 1
// is not there. Seven holes: hole 2 at 51.43° on the dial, (-78.18, 62.35), written 51°25'43";
// 360 holes: angles written by holes 1, 31, 61... 331.
Sketch sheetSketch(const SheetPlan& plan);

// The sheet as plain text with LF line breaks: a header naming the count, ratio, dial and
// resolution and saying what each column means, an empty line, the column names, one line per hole
// in right-aligned columns (Hole, Angle, then Turns and Dial with a ratio, Error), and a footer
// with the largest error by size and the first hole having it (or, where it rounds to 0.00, that
// every setting is exact to the digit shown). Without a dial, Dial is the table
// angle past the whole turns. The text of
// {"7", "90", "240"} starts:
//   Setting sheet: 7 holes
//   Worm ratio: 90:1, one handwheel turn = 4°
//   Dial: 240 graduations per turn, one graduation = 1'
//   Resolution: 1' (1 graduation), halves rounded up
//   Angle: each hole's exact angle (hole - 1) x 360° / 7, rounded on its own
//   Turns: whole handwheel turns from hole 1 at zero; Dial: graduations past them
//   Error: angle set minus exact angle, in seconds of arc
//
//   Hole       Angle  Turns  Dial    Error
//      1    0°00'00"      0     0    0.00"
//      2   51°26'00"     12   206  +17.14"
// and ends: Largest error: 25.71" (hole 3)
std::string sheetText(const SheetPlan& plan);

// The same sheet as a report (title, notes, columns, one row per hole, footer), for printing.
Report sheetReport(const SheetPlan& plan);

// The sheet for a spreadsheet: a row of column names, then one row per hole, LF line breaks:
//   hole,degrees,minutes,seconds[,turns,dial | ,turns,dial_degrees,dial_minutes,dial_seconds],error
// the error in seconds with four decimals and a leading minus only: 1/7 -> 0.1429. Round a full
// circle from 0, four decimals never show a nonzero error of at most 10000 holes as zero.
std::string sheetCsv(const SheetPlan& plan);

// The sheet as a program for a CNC rotary axis: '%', comments naming the count, the arc and the
// axis, then for each hole "G90 G0 A.." (the axis letter of the plan) and "M0 (HOLE k)", a stop
// for the work, then "M30" and '%'. Upper-case ASCII, LF breaks. Each A is the hole's exact angle
// correctly rounded to plan.decimals decimals of a degree (halves away from zero, every number
// with a decimal point); unlike the sheet's angles it is not brought within one turn, but runs on
// from the start, (clockwise ? -1 : 1) x (start + (k - 1) x step), so that the axis turns the same
// way to every hole and takes up its backlash alike.
//   sheet 4 --gcode: G90 G0 A0.0000 / M0 (HOLE 1) / G90 G0 A90.0000 / M0 (HOLE 2) / ...
// With RotaryMoves::Shortest each A is that angle within one turn (one that rounds to 360 written
// 0), for a control that takes the shortest way; with RotaryMoves::Incremental hole 1 is a G90
// move and each further hole "G91 G0 A..", the difference of its run-on angle rounded and the hole
// before's, so that the increments add up to the rounded angles without drift, and a G90 ends the
// program. Either way a comment says so.
//   sheet 4 --gcode --start 300 --rotary shortest: A300.0000, A30.0000, A120.0000, A210.0000
//   sheet 3 --gcode --rotary incremental: G90 G0 A0.0000, G91 G0 A120.0000, G91 G0 A120.0000
std::string sheetGcode(const SheetPlan& plan);

}  // namespace morvanta
