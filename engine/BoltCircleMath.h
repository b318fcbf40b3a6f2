// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Angle.h"
#include "engine/ExactDecimal.h"

namespace morvanta {

enum class Trig { Cos, Sin };

// base + length x cos(angle) (or sin), correctly rounded to `decimals` (0 to 8) decimals, an exact
// half going away from zero, as a count of 10^-decimals.
//   roundedCoordinate({0, 0}, {50, 0}, Angle::whole(60), Trig::Cos, 4) == 250000 (25.0000)
//   roundedCoordinate({10, 0}, {50, 0}, Angle::whole(15), Trig::Cos, 4) == 582963 (58.2963)
// Where the sine or cosine is rational (0, 1/2 or 1 in size: the angle a multiple of 30° or 90°)
// the value is worked out exactly. Elsewhere it is irrational, so it never lies on a rounding
// boundary, and a precision that decides the rounding exists: the value is first bounded in long
// double arithmetic and, when that bound straddles a boundary, the trigonometric value is computed
// in fixed point with a proven error bound, doubling the bits from 128 until the side of every
// boundary in question is known. Nothing (std::nullopt) only when 8192 bits do not decide it,
// which would take a value within 2^-8000 of a boundary.
// Domain: base and length of at most 9 digits before the point and 9 after it (each is brought to
// a common scale of at most 10 decimals), length above 0, angles of Angle's domain.
std::optional<std::int64_t> roundedCoordinate(const ExactDecimal& base, const ExactDecimal& length,
                                              const Angle& angle, Trig trig, int decimals);

namespace detail {

__extension__ using Int128 = __int128;

// The angle reduced to the first half quadrant: the sine or cosine of `angle` is
// (negative ? -1 : 1) x (sine ? sin : cos)(reduced), with 0 <= reduced <= 45.
struct FoldedTrig {
    Angle reduced;
    bool sine = false;
    bool negative = false;
};
FoldedTrig foldTrig(const Angle& angle, Trig trig);

// sin or cos of a folded angle in long double, and a bound on the size of its error.
struct TrigEstimate {
    long double value = 0;
    long double error = 0;
};
TrigEstimate estimateTrig(const FoldedTrig& folded);

// Whether the folded value (ignoring its sign), irrational, lies above (+1) or below (-1)
// numerator / denominator (denominator above 0), judged with `bits` bits of fixed point; 0 when
// that precision does not decide it.
int compareTrigAt(const FoldedTrig& folded, Int128 numerator, Int128 denominator, int bits);

// A value of [0, 2^32) in fixed point: 32-bit limbs, least significant first, `fraction` of them
// after the point and the last one before it, within `error` units of the last place of the truth.
struct FixedValue {
    std::vector<std::uint32_t> limbs;
    std::uint64_t error = 0;
};

// The folded sine or cosine (ignoring its sign), and pi, with `fraction` limbs after the point:
// fixedPi(4) is pi to 128 bits, within a few hundred units of 2^-128.
FixedValue fixedTrig(const FoldedTrig& folded, std::size_t fraction);
FixedValue fixedPi(std::size_t fraction);

}  // namespace detail

}  // namespace morvanta
