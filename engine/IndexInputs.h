// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Calculation.h"
#include "engine/Indexing.h"

namespace morvanta {

// The dividing head as every calculation that indexes takes it: index and its survey, and the
// gears, flats and angles cut with the head. The head of each request is read from these three
// by indexHead().

inline constexpr Choice kPlateSets[] = {
    {"bs", "Brown & Sharpe", kBrownSharpePlates},
    {"cincinnati", "Cincinnati", kCincinnatiPlates},
};

// clang-format off
inline constexpr Input kRatioInput{"ratio", "Worm ratio", "--ratio", "R", InputKind::Count, "", "40",
    within(1, kMaxIndexRatio),
    "crank turns for one turn of the work: 40 on most dividing heads, 90 on many rotary tables"};
inline constexpr Input kPlatesInput = Input{"plates", "Plates", "--plates", "SET", InputKind::List, "",
    "bs", within(kMinCircleHoles, kMaxCircleHoles).items(kMaxCircles).groups(),
    "the index plates: bs (the three Brown & Sharpe plates), cincinnati (the standard Cincinnati "
    "plate, both sides), or your own hole circles, commas between the circles of one plate and a "
    "slash between plates, such as 15,16,17/21,23,27"}.offering(kPlateSets);
inline constexpr Input kGearsInput{"gears", "Change gears", "--gears", "LIST", InputKind::List, "",
    kDefaultGears, within(1, kMaxGearTeeth).items(kMaxGears),
    "the change gears you own, teeth with commas between; a number given twice is two gears"};
// clang-format on

}  // namespace morvanta
