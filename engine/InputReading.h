// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "engine/Calculation.h"

namespace morvanta {

// Reads one input's text as its kind and limits say, strictly: no spaces, no exponent, no
// thousands separator. A refusal names the input as {id} and carries its figures:
//   Count within(2, 10000):  "7" -> 7; "10001" -> "{count} must be a whole number of holes from
//                            2 to 10000; 10001 is above 10000" (limit "10000", value "10001")
//   Decimal above(0):        "62.5" -> {625, 1}; "1e3" -> "{diameter} takes no exponent: write
//                            the number out in full"; "0.0000000001" -> "{diameter} may have at
//                            most 9 decimals; 0.0000000001 has 10" (limit "9", value "10")
//   Angle sizeBelow(100000): "-22.5" -> -45/2 degrees
//   Point:                   "10,-5" -> {10, 0} and {-5, 0}
//   Choice:                  "north" -> the text; "west" -> "{zero} must be east or north; ..."
//   List within(2, 1000).groups(): "15,16/21" -> {{15, 16}, {21}}; a choice's name, "bs", reads
//                            as the list it stands for
//   Arc:                     "10s" -> 10, "1m" -> 60 (seconds)
// Leading zeros and, after a point, trailing zeros count as no digits of their own: "007" has one
// digit, "1.50" one decimal.
Result<Values::Value> readInput(const Input& input, std::string_view text);

// A range in words, "" for none: "from 2 to 10000", "above 0 and at most 360", "below 100000 in
// size", "at least 1".
std::string rangeText(const Limits& limits);

}  // namespace morvanta
