// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Angle.h"
#include "engine/Calculation.h"
#include "engine/GearTrains.h"
#include "engine/Indexing.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// Angular indexing: turning the work through an angle A rather than a part of a turn. The crank
// turns T = A x R / 360° for it, R the worm ratio; on a 40:1 head 35° is 35/9 = 3 8/9 turns: 3
// turns and 16 holes on the 18-hole circle. The methods are those of index, tried in its order:
// - simple: T = W + H / C on one circle C (every circle that gives it, the fewest holes first);
// - compound: T = W + a / C1 +- b / C2 on two circles of one plate;
// - differential: the crank moves T' that a circle gives while the change gears turn the plate
//   g turns per turn of the work, T' + g x A / 360° = T; one pair before two, then the smallest
//   g, with the crank before against it;
// - none: the nearest hole, on the circle whose largest error is the smallest, with the angle
//   reached and the error in seconds of arc.
// With a number of steps, the table gives step k at k x A from the start and the crank's place
// counted from it, each step of the nearest-hole plan on the hole nearest its own exact place.
// Everything is exact fractions.

inline constexpr std::int64_t kMaxAngleSteps = kMaxIndexTable;

// The crank moved T' = move while the gears turn the plate `gearing` turns per turn of the work
// (above 0 with the crank), by `train` from the spindle to the plate.
struct AngleDifferential {
    HoleMove move;
    Rational gearing;
    ChangeTrain train;
};

// The circle of the nearest-hole plan, and its largest error as a fraction of a crank turn:
// largest.numerator / largest.denominator.
struct AngleNearest {
    std::int64_t circle = 0;
    std::size_t plate = 0;
    Rational largest;
};

struct AngleIndexPlan {
    IndexHead head;
    Angle angle;
    std::int64_t steps = 0;  // the steps of the table; 0 for none asked
    Rational turns;          // A x R / 360
    IndexMethod method = IndexMethod::None;
    std::vector<HoleMove> simple;  // the recommended first
    std::optional<CompoundMove> compound;
    std::optional<AngleDifferential> differential;
    std::optional<AngleNearest> nearest;
};

extern const Calculation kAngleIndexCalculation;

// Plans the angle from inputs read against kAngleIndexCalculation, the head as indexHead reads
// it, refused without an angle: {"angle": "35"} -> simple, 3 turns and 16 holes on the 18-hole
// circle.
Result<AngleIndexPlan> planAngleIndex(const Values& values);

// The plan of an angle above 0 on a checked head, for `steps` steps (0 for none).
AngleIndexPlan angleIndexPlan(const IndexHead& head, const Angle& angle, std::int64_t steps);

// Where the crank stands after `done` steps, counted from the start: whole turns and holes on the
// circle of the plan, the plate's holes for compound indexing.
struct AnglePlace {
    std::int64_t turns = 0;
    std::int64_t holes = 0;
    std::int64_t plateHoles = 0;
};
AnglePlace anglePlace(const AngleIndexPlan& plan, std::int64_t done);

// The error of the nearest hole after `done` steps, in crank turns (hole reached minus exact
// place); 0 for the exact methods.
Rational angleError(const AngleIndexPlan& plan, std::int64_t done);

// The sheet: the head, the angle and the crank's turns for it, the method with its move, sector
// arms, gears and a check, for none the angle reached and its error; with steps, one row per step
// (Step, Angle, Turns, Holes, and Plate holes or Error) and a closing line.
Report angleIndexReport(const AngleIndexPlan& plan);
std::string angleIndexText(const AngleIndexPlan& plan);

// step,degrees,minutes,seconds,turns,holes,circle (plus plate_holes,plate_circle or
// error_seconds as index's CSV), a row per step from 0; one step where none were asked.
std::string angleIndexCsv(const AngleIndexPlan& plan);

// The plate with the circle in use, its holes numbered, the crank at the start and the sector
// arms set for one step.
Sketch angleIndexSketch(const AngleIndexPlan& plan);

}  // namespace morvanta
