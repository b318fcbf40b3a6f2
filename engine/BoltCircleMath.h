// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
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

// base + a x cos(angle) + b x sin(angle), correctly rounded as roundedCoordinate rounds: the point
// a, b of a pattern turned by the angle, such as the corner of a grid plus i x pitch along its rows
// and j x pitch across them. One object serves every point at one angle, and keeps the sine and
// cosine it has worked out for the next point, which makes a grid of 10000 holes cost little more
// than one.
//   TurnedRounding turned(Angle::whole(30));
//   turned.rounded({0, 0}, {20, 0}, {-10, 0}, 4) == 123205  (20 cos 30 - 10 sin 30 = 12.3205)
//   turned.rounded({0, 0}, {10, 0}, {20, 0}, 4) == 186603  (10 cos 30 + 20 sin 30 = 18.6603)
// The sum is worked out exactly where it is rational: where the angle is a multiple of 90°, where
// one of sine and cosine is rational and the other term is 0, and where the irrational parts
// cancel (at 45°, a = b or a = -b up to sign). Elsewhere it is irrational, so it never lies on a
// rounding boundary, and the side of each boundary is found as for one term: long double first,
// then fixed point of 128 bits and more with a proven error bound.
// Domain: base, a and b of at most 13 digits before the point and 10 decimals, decimals 0 to 8,
// divisor from 1 to 10000;
// nothing (std::nullopt) only where 8192 bits cannot decide, which no real input reaches.
class TurnedRounding {
public:
    explicit TurnedRounding(const Angle& angle);
    ~TurnedRounding();
    TurnedRounding(const TurnedRounding&) = delete;
    TurnedRounding& operator=(const TurnedRounding&) = delete;

    // With a divisor, base + (a x cos(angle) + b x sin(angle)) / divisor: a hole k - 1 steps of
    // length / (count - 1) along a line is a = (k - 1) x length, divisor count - 1.
    std::optional<std::int64_t> rounded(const ExactDecimal& base, const ExactDecimal& a,
                                        const ExactDecimal& b, int decimals,
                                        std::int64_t divisor = 1);

private:
    struct Cache;
    std::unique_ptr<Cache> cache_;
};

// The diameter of the circle on which neighbouring holes `step` apart lie `chord` apart,
// chord / sin(step / 2), correctly rounded to 9 decimals (halves away from zero); exact where the
// sine is rational (a step of 60° or 180°). Nothing where it reaches 10^9 or more, or where 8192
// bits cannot decide. chord above 0 with at most 9 digits before the point and 9 after, step above
// 0 and at most 180°.
//   diameterOfChord({50, 0}, Angle::whole(60)) == {100, 0}
//   diameterOfChord({100, 0}, Angle::whole(90)) == {141421356237, 9} (100 x sqrt 2)
std::optional<ExactDecimal> diameterOfChord(const ExactDecimal& chord, const Angle& step);

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
