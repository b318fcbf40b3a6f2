// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Angle.h"
#include "engine/Calculation.h"
#include "engine/DividingWork.h"
#include "engine/ExactDecimal.h"
#include "engine/GearTrains.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// Spiral milling: the dividing head geared to the table screw of a universal mill, so that the
// work turns as the table feeds and the cutter follows a helix. The lead of the machine is the
// table's travel while the work turns once with gears of equal size: 10 in on the common mill
// with a table screw of 4 threads per inch and a 40:1 head. Change gears from the screw to the
// worm make any other lead:
//   lead = lead of the machine x (gear on worm x second gear on stud) / (first gear on stud x
//          gear on screw)
// the gear on the screw and the first gear on the stud driving, or with one pair, the gear on the
// screw driving the gear on the worm through an idler. The table swivels to the helix angle at the
// work's diameter D, tan = pi x D / lead; a helix angle b on D asks for a lead of pi x D / tan b.
//
// Leads made of gears are exact; the train wanted is the one whose lead is the lead wanted, else
// the nearest (a lead from an angle is irrational, so never exact). pi, the sines, cosines and
// tangents are bounded with a proven error (engine/ProvenSign.h) until each rounding is certain.
//
// 56, 40, 44, 100 on a 10 in machine: 10 x 56 x 44 / (40 x 100) = 6.16 in exactly.

enum class LengthUnit { Inch, Millimetre };

// "in", "mm".
std::string_view unitName(LengthUnit unit);
// Lengths are written to 4 decimals in inches and 3 in millimetres.
int lengthDecimals(LengthUnit unit);

inline constexpr std::size_t kHelixTrainsListed = 10;
inline constexpr int kHelixWholeDigits = 5;
inline constexpr int kHelixDecimals = 4;

// What the helix is cut on. The lead wanted is given, or the helix angle at a diameter. The
// diameter is `diameter` / cos(over): for a helical gear of N teeth, normal module m and helix
// angle b, the pitch diameter N x m / cos b, so that nothing irrational is rounded before the end.
struct HelixWork {
    LengthUnit unit = LengthUnit::Inch;
    std::optional<Ratio> lead;
    std::optional<Angle> angle;  // above 0 and below 90
    std::optional<Ratio> diameter;
    Angle over;
};

// One train and the lead it makes, in the work's unit; the error, reached minus wanted, rounded to
// the work's decimals.
struct HelixTrain {
    ChangeTrain train;
    Ratio lead;
    std::int64_t error = 0;
    bool exact = false;
};

struct HelixPlan {
    HelixWork work;
    ExactDecimal machineLead;
    LengthUnit machineUnit = LengthUnit::Inch;
    Ratio machineLeadInWork;  // the machine lead in the work's unit
    bool rightHand = true;
    std::vector<std::int64_t> gears;
    int decimals = 4;
    // The lead wanted in units of 10^-decimals, when it comes from an angle.
    std::optional<std::int64_t> wanted;
    // The chosen train first, then the nearest other leads, at most kHelixTrainsListed in all.
    std::vector<HelixTrain> trains;
    // The table's swivel, in whole seconds, where the diameter is known.
    std::optional<std::int64_t> swivel;
};

// The description of `helix`, and the inputs the helical gear shares with it: the lead of the
// machine and its unit, the hand.
extern const Calculation kHelixCalculation;

inline constexpr Choice kLengthUnits[] = {{"in", "inch"}, {"mm", "millimetre"}};
inline constexpr Choice kHands[] = {{"right", "Right hand"}, {"left", "Left hand"}};

// clang-format off
inline constexpr Input kMachineLeadInput{"machine-lead", "Lead of the machine", "--machine-lead",
    "L", InputKind::Decimal, "", "10", above(0).places(kHelixWholeDigits, kHelixDecimals),
    "the table's travel while the work turns once with gears of equal size: 10 in with a table "
    "screw of 4 threads per inch and a 40:1 head, in the unit of {machine-units}"};
inline constexpr Input kMachineUnitsInput = Input{"machine-units", "Unit of the machine's lead",
    "--machine-units", "", InputKind::Choice, "", "in", kAnyValue,
    "the unit of {machine-lead}"}.offering(kLengthUnits);
inline constexpr Input kHandInput = Input{"hand", "Hand", "--hand", "", InputKind::Choice, "",
    "right", kAnyValue, "the hand of the helix"}.offering(kHands);
// clang-format on

// The helix from inputs read against kHelixCalculation: the lead, or the angle and the diameter,
// refused otherwise ("give the lead wanted with {lead}, or ..."; "{angle} needs {diameter}").
//   {"lead": "6.16"} -> gear on worm 56, first stud 40, second stud 44, gear on screw 100, exactly.
Result<HelixPlan> planHelix(const Values& values);

// The gears for a work described already (a helical gear), with the machine lead, its unit, the
// hand and the gears from the values. Refused only when a figure cannot be rounded with certainty.
Result<HelixPlan> planHelixFor(const HelixWork& work, const Values& values);

// The lines that say how the lead is made: the lead wanted (from the angle), the lead of the
// machine, the ratio, the change gears by place, the train, the lead reached and its error, the
// swivel, the hand and the idler, and how the figures are rounded.
std::vector<std::string> helixNotes(const HelixPlan& plan);

// The title, helixNotes and a table of the nearest trains, the chosen first: Worm, Stud 1, Stud 2,
// Screw, Lead, Error.
Report helixReport(const HelixPlan& plan);
std::string helixText(const HelixPlan& plan);

// gear_on_worm,first_stud,second_stud,gear_on_screw,lead,error and one row per train of the
// table; a one-pair train leaves the studs empty. LF line breaks.
std::string helixCsv(const HelixPlan& plan);

// The table swivelled from the cutter's plane by the swivel angle, the way the hand needs, and
// the change gears from the screw to the worm, each circle as large as its teeth.
Sketch helixSketch(const HelixPlan& plan);

// The swivel as degrees, minutes and seconds: 45°33'47".
std::string swivelText(std::int64_t seconds);

}  // namespace morvanta
