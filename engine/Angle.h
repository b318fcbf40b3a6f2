// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "engine/Rational.h"

namespace morvanta {

// An angle is a rational number of degrees: Angle::ratio(360, 7) is 51°25'42.857142...", exactly.
using Angle = Rational;

inline constexpr std::int64_t kSecondsPerDegree = 3600;
inline constexpr std::int64_t kSecondsPerMinute = 60;

// The nearest multiple of step / 10^decimals seconds to the angle, as a count of 10^-decimals
// seconds (ticks); an angle exactly halfway between two multiples goes to the one farther from
// zero (for angles of 0 and up: halves up). decimals from 0 to 6, step above 0.
//   roundedTicks(Angle::ratio(360, 7), 0, 1) == 185143 (51°25'42.857" to the second)
//   roundedTicks(Angle::ratio(360, 7), 1, 1) == 1851429 (to a tenth: 51°25'42.9")
//   roundedTicks(Angle::ratio(119, 7200), 0, 1) == 60 (59.5" goes up to 1')
//   roundedTicks(Angle::ratio(360, 7), 0, 60) == 185160 (to the minute: 51°26')
std::int64_t roundedTicks(const Angle& angle, int decimals, std::int64_t step);

// A signed count of 10^-decimals seconds split into degrees, minutes and seconds; every carry is
// already done, so minutes and seconds are below 60 and fraction below 10^decimals.
struct Dms {
    bool negative = false;
    std::int64_t degrees = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
    std::int64_t fraction = 0;
    int decimals = 0;
};
// splitTicks(1851429, 1) == {false, 51, 25, 42, 9, 1}; splitTicks(-600, 1) == {true, 0, 1, 0, 0, 1}
Dms splitTicks(std::int64_t ticks, int decimals);

// The angle rounded as roundedTicks does and split: toDms(Angle::ratio(7199, 7200), 1, 1)
// (59'59.95") == {false, 1, 0, 0, 0, 1}, that is 1°00'00.0".
Dms toDms(const Angle& angle, int decimals = 0, std::int64_t step = 1);

// Degrees, two-digit minutes and seconds, and the seconds' decimals after a point; a minus sign
// only for a nonzero negative angle: 51°25'42.9", 0°01'00", -0°00'00.5", 360°00'00".
std::string dmsText(const Dms& dms);

// The angle in decimal degrees, correctly rounded to the given decimals (0 to 9), halves away from
// zero, never "-0": ratio(360, 7) at 4 -> "51.4286", ratio(-1, 100000) at 4 -> "0.0000",
// ratio(1, 8) at 2 -> "0.13", whole(90) at 0 -> "90".
std::string decimalDegreesText(const Angle& angle, int decimals);

}  // namespace morvanta
