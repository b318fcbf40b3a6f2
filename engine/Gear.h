// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Angle.h"
#include "engine/Calculation.h"
#include "engine/ExactDecimal.h"
#include "engine/Helix.h"
#include "engine/Indexing.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// A gear cut on the dividing head with an involute form cutter, tooth space by tooth space. Its
// size is a module M in millimetres or a diametral pitch P, teeth per inch of pitch diameter; with
// a in the addendum, M or 1 / P:
// - pitch diameter N x a, outside (blank) diameter (N + 2) x a;
// - whole depth of cut 2.25 x M (the ISO 53 basic rack: addendum 1 M, dedendum 1.25 M) or
//   2.157 / P (the Brown & Sharpe full-depth involute: addendum 1 / P, clearance 0.157 / P);
// - the cutter of the standard eight by the tooth count: No. 1 for 135 teeth to a rack, 2 for 55 to
//   134, 3 for 35 to 54, 4 for 26 to 34, 5 for 21 to 25, 6 for 17 to 20, 7 for 14 to 16, 8 for 12
//   and 13; none below 12;
// - the indexing of N, as index plans it.
// A helical gear of helix angle b is cut with the cutter of its normal module (or pitch) in the
// normal plane: transverse module M / cos b (transverse pitch P x cos b), pitch diameter
// N x a / cos b, outside diameter that plus 2 x a, the cutter picked by the formative count
// N / cos^3 b, and the lead pi x pitch diameter / tan b = pi x N x a / sin b, with its change
// gears as helix finds them. These are irrational and are bounded with a proven error until each
// rounding (and the cutter's choice) is certain.
//
// 30 teeth of module 2: 60.000 mm pitch, 64.000 mm blank, 4.500 mm deep, cutter No. 4. With a helix
// of 20°: 63.851 mm pitch, 67.851 mm blank, formative count 36.15, cutter No. 3.

inline constexpr std::int64_t kMinGearTeeth = 3;
inline constexpr std::int64_t kMaxGearCount = 10'000;
inline constexpr int kGearSizeDigits = 3;
inline constexpr int kGearSizeDecimals = 4;
inline constexpr std::int64_t kMaxHelixDegrees = 80;

// The cutter of the standard eight for a tooth count: 1 to 8, 0 below 12 teeth.
int cutterNumber(std::int64_t teeth);
// "135 teeth to a rack", "26 to 34 teeth", "12 and 13 teeth".
std::string cutterRange(int cutter);

struct GearPlan {
    std::int64_t teeth = 0;
    bool module = true;    // the size is a module in mm, else a diametral pitch
    ExactDecimal size;     // the module or the pitch as given
    std::string pressure;  // "20", "14.5"
    std::optional<Angle> helix;
    LengthUnit unit = LengthUnit::Millimetre;
    int decimals = 3;
    // In units of 10^-decimals: the pitch and outside diameters, the whole depth.
    std::int64_t pitch = 0;
    std::int64_t outside = 0;
    std::int64_t depth = 0;
    // A helical gear's transverse module (units of 10^-decimals) or pitch (10^-4), and its
    // formative count in hundredths.
    std::optional<std::int64_t> transverse;
    std::optional<std::int64_t> formative;
    int cutter = 0;
    std::optional<HelixPlan> lead;
    IndexPlan indexing;
};

extern const Calculation kGearCalculation;

// The gear from inputs read against kGearCalculation, refused without exactly one of module and
// pitch, with the helix's machine, units or hand but no helix, and where the head or the helix's
// gears are refused.
//   {"count": "30", "module": "2"} -> pitch 60000, outside 64000, depth 4500 (mm x 1000), No. 4
Result<GearPlan> planGear(const Values& values);

// The sizes with how each is found, the cutter, for a helical gear the lead and its change gears
// (helixNotes), then the indexing of N as index writes it.
Report gearReport(const GearPlan& plan);
std::string gearText(const GearPlan& plan);

// The blank, its pitch and root circles and, up to 200 teeth, the teeth themselves; each tooth
// space numbered as it is indexed; the diameters and the depth.
Sketch gearSketch(const GearPlan& plan);

}  // namespace morvanta
