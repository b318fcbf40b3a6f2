// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "engine/Angle.h"
#include "engine/BoltCircleMath.h"

namespace morvanta {

// Signs and roundings of values made of pi and of the sines and cosines of exact angles: the lead
// of a helix, pi x D / tan(b), the formative tooth count of a helical gear, N / cos^3(b), the
// table's swivel, atan(pi x D / L). Such a value is written as a sum of terms, each a whole
// coefficient times pi or not, times sines and cosines:
//   the lead pi x 60 / tan 20° = 517.887... lies above 517.8 exactly when
//   600 x pi x cos 20° - 5178 x sin 20° > 0: the terms {600, pi, {cos 20°}}, {-5178, {sin 20°}}.
// The sum is first bounded in long double with a proven error; where that bound leaves its sign
// open, it is made again in fixed point with a proven error, doubling the bits from 128 to 8192,
// with the sines, cosines and pi of engine/BoltCircleMath.h. The sines and cosines that are
// rational (0, 1/2 and 1 in size: the angle a multiple of 30° or 90°) count as exact, so a sum of
// terms without pi whose every factor is one of them is decided exactly, 0 included. Any other sum
// must not be 0 (it would be sought to 8192 bits and left undecided).

__extension__ using WideInt = __int128;

struct TrigFactor {
    Angle angle;
    Trig trig = Trig::Cos;
};

struct TrigTerm {
    WideInt coefficient = 0;
    bool pi = false;
    std::vector<TrigFactor> factors;  // at most 6
};

// The sign of the sum of the terms: +1, -1, or 0 for a sum of exact terms that is 0; nothing when
// 8192 bits do not tell, which would take a sum within 2^-8000 of 0. Coefficients below 2^100 in
// size.
std::optional<int> signOf(std::span<const TrigTerm> terms);

// A value known by an estimate, where to start looking, and by the terms whose sum has the sign of
// value - numerator / denominator, for any numerator and denominator (above 0) near it. The lead
// above is {517.9, [](n, d) { return {{60 x d, pi, {cos 20°}}, {-n, {sin 20°}}}; }}: the sum is
// (lead - n / d) times d x sin 20°, which is above 0.
struct ProvenValue {
    long double estimate = 0;
    std::function<std::vector<TrigTerm>(WideInt numerator, WideInt denominator)> minus;
};

// The value correctly rounded to `decimals` decimals (0 to 9), an exact half (possible only for an
// exact value) away from zero, as a count of 10^-decimals: roundedUnits(lead above, 3) == 517887.
// Nothing when a comparison is left undecided or the estimate lies more than 64 units off.
std::optional<std::int64_t> roundedUnits(const ProvenValue& value, int decimals);

// +1, 0 or -1 as value is above, equal to or below numerator / denominator (denominator above 0);
// nothing when undecided.
std::optional<int> compareWith(const ProvenValue& value, WideInt numerator, WideInt denominator);

}  // namespace morvanta
