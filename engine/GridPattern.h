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

// A grid of holes, ROWS x COLUMNS, as a read-out's "grid" or "array" screen lays it out: hole 1 at
// a corner, the rows {pitch}'s X apart along the direction at {angle} counter-clockwise from +X,
// the rows themselves {pitch}'s Y apart across it, the whole turned by the angle about the corner.
//
// The holes are numbered in the order they are drilled, row by row back and forth, so that the
// table never runs back empty: row 1 from column 1 to the last, row 2 from the last back to 1,
// and so on. The hole in row i, column j lies at along = (j - 1) x pitch X, across = (i - 1) x
// pitch Y from the corner, that is at
//   X = corner X + along x cos(angle) - across x sin(angle)
//   Y = corner Y + along x sin(angle) + across x cos(angle)
// each a sum of two irrational terms in general, correctly rounded as one (TurnedRounding): a
// 3 x 4 grid turned by 30° at pitches 10 and 20 has hole 5 (row 2, column 4) at
// X 30 cos 30 - 20 sin 30 = 15.9808 and Y 30 sin 30 + 20 cos 30 = 32.3205.
//
// Each row and each column stays below 10^9 long, and the grid has at most 10000 holes.

struct GridPlan {
    std::int64_t rows = 0;
    std::int64_t columns = 0;
    ExactDecimal cornerX;
    ExactDecimal cornerY;
    ExactDecimal pitchX;  // along a row
    ExactDecimal pitchY;  // from row to row
    Angle angle;
    int decimals = 4;
    std::vector<DrillHole> holes;      // every hole in drilling order, hole k at holes[k - 1]
    std::vector<std::int64_t> row;     // the row of holes[k - 1], from 1
    std::vector<std::int64_t> column;  // its column, from 1
    HoleChoice choice;
};

extern const Calculation kGridCalculation;

// Works out every hole from inputs read against kGridCalculation, with the rules between them: at
// most 10000 holes (kGridTooManyMessage), each row and column below 10^9 long
// (kGridTooLongMessage), the holes drilled as HoleChoice::read says.
Result<GridPlan> planGrid(const Values& values);

inline constexpr std::string_view kGridTooManyMessage =
    "a grid may have at most 10000 holes; {rows} x {columns} is more";
inline constexpr std::string_view kGridTooLongMessage =
    "a row and a column of the grid must each stay below 1000000000 long";

// The table: title, notes (the pitches and the angle, the order of drilling, how the numbers are
// worked out and rounded, the holes left out, the moves), columns Hole, Row, Column, X, Y, dX, dY.
Report gridReport(const GridPlan& plan);
std::string gridText(const GridPlan& plan);
// "hole,row,column,x,y,dx,dy", then a row per hole drilled.
std::string gridCsv(const GridPlan& plan);
// The comments of its drilling program.
std::vector<std::string> gridAbout(const GridPlan& plan);
// The holes numbered (hole 1 marked, holes left out as thin circles), the path from hole to hole,
// the corner's cross with its coordinates, the two pitches and the angle.
Sketch gridSketch(const GridPlan& plan);

}  // namespace morvanta
