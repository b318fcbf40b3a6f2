// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Calculation.h"
#include "engine/Rational.h"
#include "engine/Report.h"
#include "engine/Result.h"

namespace morvanta {

// Index plates and dividing heads. A head turns the work once for R turns of its crank (the worm
// ratio, 40 on most dividing heads, 90 on many rotary tables); the crank is stopped by a pin in one
// hole circle of an index plate. To divide the work into N, the crank moves R / N turns for each
// division, that is W whole turns and H holes on a circle of C holes, exactly when H / C is the
// fraction of R / N. Everything below is whole numbers and exact fractions; nothing here throws or
// keeps state.
//
// The methods, tried in this order, the first that reaches N being the plan:
// - simple: R / N = W + H / C for a circle C of the plates;
// - compound: no circle alone, but two circles C1 and C2 of one plate: R / N = W + a / C1 + b / C2
//   or W + a / C1 - b / C2; the crank moves W turns and a holes on C1, then the plate itself,
//   carrying the crank, is turned b holes on C2 with the crank (+) or against it (-). It needs
//   nothing but the plates, so it comes before differential indexing;
// - differential: the crank is moved as for a count A that a circle gives simply, while change
//   gears from the spindle turn the plate g = R (A - N) / A turns for each turn of the work, so
//   that R / A + g / N = R / N. g above 0: the plate turns with the crank; below 0: against it;
// - none: no exact plan; the nearest-hole plan sets every division to the hole nearest its own
//   exact crank position and gives each division's error.

inline constexpr std::int64_t kDefaultIndexRatio = 40;
inline constexpr std::int64_t kMaxIndexCount = 999'999'999;
// Counts up to this get a line per division (and --csv); larger ones get the plan alone.
inline constexpr std::int64_t kMaxIndexTable = 10'000;
inline constexpr std::int64_t kMaxSurveyCounts = 100'000;
inline constexpr std::int64_t kMaxIndexRatio = 1'000;
inline constexpr std::int64_t kMinCircleHoles = 2;
inline constexpr std::int64_t kMaxCircleHoles = 1'000;
inline constexpr std::size_t kMaxCircles = 64;
inline constexpr std::int64_t kMaxGearTeeth = 1'000;
inline constexpr std::size_t kMaxGears = 32;
// The preferred differential plan and at most this many others are kept for a single count.
inline constexpr std::size_t kMaxDifferentialAlternatives = 4;

// The three Brown & Sharpe plates and the standard Cincinnati plate (two sides), and the change
// gears of a universal dividing head.
inline constexpr std::string_view kBrownSharpePlates =
    "15,16,17,18,19,20/21,23,27,29,31,33/"
    "37,39,41,43,47,49";
inline constexpr std::string_view kCincinnatiPlates =
    "24,25,28,30,34,37,38,39,41,42,43/46,47,49,51,53,54,57,58,59,62,66";
inline constexpr std::string_view kDefaultGears = "24,28,32,40,44,48,56,64,72,86,100";

// A checked head, its plates and its change gears.
struct IndexHead {
    std::int64_t ratio = kDefaultIndexRatio;
    // "Brown & Sharpe", "Cincinnati", or "" for plates the user listed.
    std::string platesName;
    // Each plate's circles in the order given; no plate is empty and no plate has a circle twice.
    std::vector<std::vector<std::int64_t>> plates;
    // The gears owned, smallest first; a number twice is two gears.
    std::vector<std::int64_t> gears;
};

// turns + holes / circle crank turns, on the given circle of plates[plate]: 0 <= holes < circle.
struct HoleMove {
    std::int64_t turns = 0;
    std::int64_t holes = 0;
    std::int64_t circle = 0;
    std::size_t plate = 0;
};

// turns + holes / circle + (plateBack ? -1 : 1) x plateHoles / plateCircle crank turns, both
// circles on plates[plate]: the crank moves turns and holes on circle, then the plate is turned
// plateHoles on plateCircle. 0 < holes < circle, 0 < plateHoles < plateCircle.
struct CompoundMove {
    std::int64_t turns = 0;
    std::int64_t holes = 0;
    std::int64_t circle = 0;
    std::int64_t plateHoles = 0;
    std::int64_t plateCircle = 0;
    bool plateBack = false;
    std::size_t plate = 0;
};

// Change gears from the spindle to the plate: the product of the drivers over the product of the
// driven, one pair or two. drivers[0] drives driven[0]; with two pairs, drivers[1] sits on the
// stud of driven[0] and drives driven[1].
struct GearTrain {
    std::vector<std::int64_t> drivers;
    std::vector<std::int64_t> driven;
};

// Crank moves as for `base` divisions while the train turns the plate `gearing` turns per turn of
// the work (above 0 with the crank, below 0 against it): R / base + gearing / N = R / N.
struct DifferentialMove {
    std::int64_t base = 0;
    HoleMove move;
    Rational gearing;
    GearTrain train;
};

// Each division on the hole of `circle` nearest its exact crank position (halves to the later
// hole). The largest error of any division is largestTimes / (N x circle x R) turns of the work.
struct NearestHolePlan {
    std::int64_t circle = 0;
    std::size_t plate = 0;
    std::int64_t largestTimes = 0;
};

enum class IndexMethod { Simple, Compound, Differential, None };

// "simple", "compound", "differential", "none".
std::string_view methodName(IndexMethod method);

// Every way the head reaches one count.
struct IndexPlan {
    IndexHead head;
    std::int64_t count = 0;
    IndexMethod method = IndexMethod::None;
    // Every circle that gives the count simply, the recommended one first: the one with the
    // fewest holes, so the fewest to count at each division (on a tie, the earlier plate); the
    // others in the order of the plates.
    std::vector<HoleMove> simple;
    // Without a simple move: the compound move with the fewest holes to count in all
    // (holes + plateHoles; on a tie the plate turned with the crank, then the smaller circles).
    std::optional<CompoundMove> compound;
    // Without a simple move: the preferred differential plan, then at most
    // kMaxDifferentialAlternatives others with other base counts. Preferred: the simplest train
    // (one pair before two), then the base count closest to the count, then the smaller gearing
    // (base above the count); for one base, the train with the fewest teeth.
    std::vector<DifferentialMove> differential;
    // With no exact plan: the circle whose largest error is smallest (on a tie, fewest holes).
    std::optional<NearestHolePlan> nearest;
};

// The descriptions of indexing and of the survey of many counts, which share the command word
// "index" (the survey picked by its --survey).
extern const Calculation kIndexCalculation;
extern const Calculation kSurveyCalculation;

// The head from inputs read and checked: the worm ratio ("ratio", a whole number from 1 to
// kMaxIndexRatio, default 40), the plates ("plates": "bs", the default, "cincinnati", or circles
// of 2 to 1000 holes, commas between the circles of one plate and a slash between plates, at most
// 64 in all) and the change gears ("gears": teeth from 1 to 1000, at most 32, default
// kDefaultGears). Refused only for a plate listing a circle twice.
Result<IndexHead> indexHead(const Values& values);

// Plans a count (a whole number from 1 to kMaxIndexCount) on its head:
//   {"count": "127"} gives a differential plan from base 120: 5 holes on the 15-hole circle,
//   gearing -7/3 by 56 driving 24, plate against the crank.
Result<IndexPlan> planIndex(const Values& values);
Result<IndexPlan> planIndex(const Inputs& inputs);

// The plan of a count of at least 1 on a checked head.
IndexPlan indexPlan(const IndexHead& head, std::int64_t count);

// The crank turns, exact, for one division: ratio / count.
Rational divisionTurns(const IndexHead& head, std::int64_t count);

// The plan as a sheet: the title, notes giving the head, plates and gears, the method and why,
// the circles that work and the rule of the one recommended, the move and the sector arms, the gear
// train with its direction and a word on idlers, the alternatives, a check of the plan's identity,
// then for counts up to kMaxIndexTable one row per division (division, its exact angle to a tenth
// of a second, and the crank's place counted from the first division: whole turns and holes, with
// the plate's holes for compound indexing and the error for the nearest-hole plan), and a footer
// confirming that one more move after the last division is the start again, exactly.
Report indexReport(const IndexPlan& plan);
std::string indexText(const IndexPlan& plan);

// The plan as a picture, in units of one hole's spacing: the plate's circles round (0, 0), each
// with a radius of as many units as it has holes, the circle in use in the accent ink with its
// holes numbered clockwise from the crank pin's hole 1 at the top, (0, C); the two sector arms from
// the centre, one through hole 1 and one turned clockwise by holes / C of a turn, the crank's
// move drawn between them; for compound indexing the plate's second circle and its move, from the
// stop pin at the bottom, clockwise forward and counter-clockwise back; for differential
// indexing which way the plate turns and the change gears to the right of the plate, the plate's
// shaft, an idler and the spindle (with the stud between for two pairs). The nearest-hole plan
// shows its circle alone. 127 on the Brown & Sharpe plates: the 15-hole circle of plate 1, arms
// 120° apart (5 spaces), 56 on the spindle, 24 on the plate's shaft, the plate against the crank.
Sketch indexSketch(const IndexPlan& plan);

// The division table for a spreadsheet, LF line breaks, a row of names then one row per division:
//   simple, differential: division,degrees,minutes,seconds,turns,holes,circle
//   compound:             ...,turns,holes,circle,plate_holes,plate_circle (plate_holes negative
//                         when the plate is turned against the crank)
//   none:                 ...,turns,holes,circle,error_seconds (four decimals)
// seconds with one decimal: 2,51,25,42.9,... Empty of rows above kMaxIndexTable divisions.
std::string indexCsv(const IndexPlan& plan);

// A checked survey: every count from `from` to `to`.
struct SurveyPlan {
    IndexHead head;
    std::int64_t from = 1;
    std::int64_t to = 1;
};

// Checks FROM and TO (whole numbers from 1 to kMaxIndexCount; TO not below FROM; at most
// kMaxSurveyCounts counts, both refusals about "to"), then the head as indexHead does.
Result<SurveyPlan> planSurvey(const Values& values);
Result<SurveyPlan> planSurvey(const Inputs& inputs);

// One count of a survey: its method and move. For simple, `move` is exact: turns + holes / circle
// = R / count. For compound, `move` is the crank's part and `compound` the whole move; for
// differential, `move` is the move of the base count and `differential` the plan. For none, all
// are zero.
struct SurveyEntry {
    std::int64_t count = 0;
    IndexMethod method = IndexMethod::None;
    HoleMove move;
    std::optional<CompoundMove> compound;
    std::optional<DifferentialMove> differential;
};

// The plan of every count of the survey, as indexPlan would choose it.
std::vector<SurveyEntry> surveyEntries(const SurveyPlan& plan);

// One row per count (Count, Method, Move) after notes naming the head and the methods, and a
// footer counting the counts of each method.
Report surveyReport(const SurveyPlan& plan);
std::string surveyText(const SurveyPlan& plan);

// count,method,turns,holes,circle,plate_holes,plate_circle,base,gearing,gears and one row per
// count, LF, every move of every plan: the crank's move (for differential, that of the base
// count); for compound the plate's move, plate_holes minus when the plate turns back, so that
// turns + holes / circle + plate_holes / plate_circle = ratio / count (51 at 40:1:
// 51,compound,1,2,17,-5,15,,,); for differential the base count, the plate's turns per turn of
// the work (-4/5) and the train, driver/driven from the spindle (32/40). Cells a plan has not
// are empty; for none all but count and method.
std::string surveyCsv(const SurveyPlan& plan);

}  // namespace morvanta
