// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace morvanta {

inline constexpr int kMaxFixedDecimals = 17;

// x written in plain decimal with exactly `decimals` digits after the point, correctly rounded
// from x's exact binary value, an exact half going away from zero; no exponent, no thousands
// separators, and never a minus sign on a text that reads as zero.
//   fixedDecimals(25.0, 4) == "25.0000"
//   fixedDecimals(3.061616997868383e-15, 4) == "0.0000"   (50 cos 90° in doubles)
//   fixedDecimals(-0.00004, 4) == "0.0000", fixedDecimals(-0.00005, 4) == "-0.0001"
//   fixedDecimals(0.125, 2) == "0.13" (an exact half), fixedDecimals(2.5, 0) == "3"
//   fixedDecimals(0.1, 17) == "0.10000000000000001" (the double nearest 0.1)
//   fixedDecimals(-0.0, 2) == "0.00", fixedDecimals(1e300, 0) has 301 digits
// Failure cases, each giving std::nullopt: x infinite or NaN; decimals below 0 or above
// kMaxFixedDecimals. Nothing else fails; the text may throw std::bad_alloc like any string.
std::optional<std::string> fixedDecimals(double x, int decimals);

}  // namespace morvanta
