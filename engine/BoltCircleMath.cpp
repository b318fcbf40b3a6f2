// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BoltCircleMath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::FoldedTrig;
using detail::Int128;
using detail::kPow10;
using detail::magnitude;
__extension__ using U128 = unsigned __int128;

constexpr int kFirstBits = 128;
constexpr int kLastBits = 8192;

// A number of [0, 2^32) held in fixed point: one whole limb above `fraction` limbs of 32 bits,
// least significant first. Every operation truncates, so an error bound counts units in the last
// place (ulps) lost by each.
class Fixed {
public:
    explicit Fixed(std::size_t fraction) : limbs_(fraction + 1, 0) {}

    // numerator / denominator; numerator / denominator must be below 2^32 and denominator below
    // 2^90, so that every remainder shifted by one limb stays inside 128 bits.
    static Fixed ratio(U128 numerator, U128 denominator, std::size_t fraction) {
        Fixed x(fraction);
        x.limbs_.back() = static_cast<std::uint32_t>(numerator / denominator);
        U128 rest = numerator % denominator;
        for (std::size_t i = fraction; i-- > 0;) {
            rest <<= 32;
            x.limbs_[i] = static_cast<std::uint32_t>(rest / denominator);
            rest %= denominator;
        }
        return x;
    }

    void divide(std::uint64_t divisor) {
        U128 rest = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            rest = (rest << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(rest / divisor);
            rest %= divisor;
        }
    }

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t t = static_cast<std::uint64_t>(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
    }

    void add(const Fixed& other) {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            const std::uint64_t t = static_cast<std::uint64_t>(limbs_[i]) + other.limbs_[i] + carry;
            limbs_[i] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
    }

    // Only for other <= *this.
    void subtract(const Fixed& other) {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            std::int64_t t = static_cast<std::int64_t>(limbs_[i]) - other.limbs_[i] - borrow;
            borrow = t < 0 ? 1 : 0;
            limbs_[i] = static_cast<std::uint32_t>(t + (borrow << 32));
        }
    }

    // Adds ulps units in the last place.
    void addUlps(std::uint64_t ulps) {
        Fixed e(limbs_.size() - 1);
        e.limbs_[0] = static_cast<std::uint32_t>(ulps);
        if (e.limbs_.size() > 1) {
            e.limbs_[1] = static_cast<std::uint32_t>(ulps >> 32);
        }
        add(e);
    }

    bool isZero() const {
        return std::all_of(limbs_.begin(), limbs_.end(), [](std::uint32_t l) { return l == 0; });
    }

    // a x b, truncated; the product must stay below 2^32.
    friend Fixed product(const Fixed& a, const Fixed& b) {
        const std::size_t n = a.limbs_.size();
        std::vector<std::uint32_t> wide(2 * n, 0);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < n; ++j) {
                const std::uint64_t t =
                    static_cast<std::uint64_t>(a.limbs_[i]) * b.limbs_[j] + wide[i + j] + carry;
                wide[i + j] = static_cast<std::uint32_t>(t);
                carry = t >> 32;
            }
            wide[i + n] = static_cast<std::uint32_t>(carry);
        }
        Fixed x(n - 1);
        std::copy(wide.begin() + static_cast<std::ptrdiff_t>(n - 1),
                  wide.begin() + static_cast<std::ptrdiff_t>(2 * n - 1), x.limbs_.begin());
        return x;
    }

    const std::vector<std::uint32_t>& limbs() const { return limbs_; }

    friend bool operator<(const Fixed& a, const Fixed& b) {
        return std::lexicographical_compare(a.limbs_.rbegin(), a.limbs_.rend(), b.limbs_.rbegin(),
                                            b.limbs_.rend());
    }

private:
    std::vector<std::uint32_t> limbs_;
};

// atan(1/m) and the ulps its error may reach. Each power 1/m^(2k+1) is the last divided by m^2
// (the error carried shrinks by m^2 >= 25 and one ulp is added: below 2 ulps), each term that
// power divided by 2k+1 (below 2 ulps again); adding and subtracting are exact. The series stops
// at the first power that truncates to zero, whose term and the rest of the alternating tail are
// below 2 ulps: 2 x terms + 3 in all.
Fixed arctanOfInverse(std::uint32_t m, std::size_t fraction, std::uint64_t& error) {
    Fixed power = Fixed::ratio(1, m, fraction);
    Fixed sum = power;
    std::uint64_t terms = 1;
    for (std::uint32_t k = 1;; ++k) {
        power.divide(static_cast<std::uint64_t>(m) * m);
        if (power.isZero()) {
            break;
        }
        Fixed term = power;
        term.divide(2 * k + 1);
        if (k % 2 == 1) {
            sum.subtract(term);
        } else {
            sum.add(term);
        }
        ++terms;
    }
    error = 2 * terms + 3;
    return sum;
}

// pi = 16 atan(1/5) - 4 atan(1/239) (Machin); the error is 16 and 4 times theirs.
Fixed pi(std::size_t fraction, std::uint64_t& error) {
    std::uint64_t error5 = 0;
    std::uint64_t error239 = 0;
    Fixed x = arctanOfInverse(5, fraction, error5);
    Fixed y = arctanOfInverse(239, fraction, error239);
    x.multiply(16);
    y.multiply(4);
    x.subtract(y);
    error = 16 * error5 + 4 * error239;
    return x;
}

// sin or cos of a folded angle a (0 < a <= 45 degrees), and the ulps its error may reach.
// x = pi x a / 180: the ratio a / 180 <= 1/4 is within one ulp, so x is within e_pi / 4 + pi + 1
// (< e_pi / 4 + 6) ulps. x^2 adds 2x e_x + 1 < 2 e_x + 2. The Taylor terms are made each from the
// last, t_j = t_(j-1) x^2 / ((2j + s - 1)(2j + s)) with s = 1 for the sine: by induction each is
// within e_x + 3 ulps, as the divisor is at least 6 wherever the term carried an error (2 only for
// the cosine's second term, made from an exact 1). The partial sums of these alternating series
// stay well above 0 for x <= pi/4, so the subtractions never wrap. The sum of n terms is within
// n (e_x + 3) ulps, and the tail after the first term that truncates to zero within e_x + 3 more.
Fixed trigFixed(const FoldedTrig& folded, std::size_t fraction, std::uint64_t& error) {
    std::uint64_t piError = 0;
    const Fixed piValue = pi(fraction, piError);
    const Angle& a = folded.reduced;
    const Fixed ratio = Fixed::ratio(static_cast<U128>(a.numerator()),
                                     static_cast<U128>(a.denominator()) * 180, fraction);
    const Fixed x = product(piValue, ratio);
    const std::uint64_t xError = (piError + 3) / 4 + 6;
    const Fixed x2 = product(x, x);

    Fixed term = folded.sine ? x : Fixed::ratio(1, 1, fraction);
    Fixed sum = term;
    std::uint64_t terms = 1;
    for (std::uint32_t j = 1;; ++j) {
        term = product(term, x2);
        const std::uint32_t top = 2 * j + (folded.sine ? 1 : 0);
        term.divide(static_cast<std::uint64_t>(top - 1) * top);
        if (term.isZero()) {
            break;
        }
        if (j % 2 == 1) {
            sum.subtract(term);
        } else {
            sum.add(term);
        }
        ++terms;
    }
    error = (terms + 1) * (xError + 3);
    return sum;
}

// The trigonometric value of one coordinate, refined on demand: the comparisons that decide a
// rounding reuse the fixed-point value of the highest precision made so far.
class PreciseTrig {
public:
    explicit PreciseTrig(const FoldedTrig& folded) : folded_(folded) {}

    // +1 if the value is above numerator / denominator (denominator > 0), -1 if below, 0 if
    // kLastBits bits cannot tell.
    int compare(Int128 numerator, Int128 denominator) {
        // The value is irrational, in (0, 1): it is never equal to a ratio.
        if (numerator <= 0) {
            return 1;
        }
        if (numerator >= denominator) {
            return -1;
        }
        for (int bits = bits_ == 0 ? kFirstBits : bits_; bits <= kLastBits; bits *= 2) {
            const std::size_t fraction = static_cast<std::size_t>(bits / 32);
            if (bits != bits_) {
                value_ = trigFixed(folded_, fraction, error_);
                bits_ = bits;
            }
            // threshold = floor(ratio x 2^bits) lies within one ulp below the ratio.
            const Fixed threshold = Fixed::ratio(static_cast<U128>(numerator),
                                                 static_cast<U128>(denominator), fraction);
            Fixed low = threshold;
            low.addUlps(error_ + 1);
            if (low < *value_) {
                return 1;  // value - error > threshold + 1 > ratio
            }
            Fixed high = *value_;
            high.addUlps(error_);
            if (high < threshold) {
                return -1;  // value + error < threshold <= ratio
            }
        }
        return 0;
    }

private:
    FoldedTrig folded_;
    int bits_ = 0;
    std::optional<Fixed> value_;
    std::uint64_t error_ = 0;
};

}  // namespace

namespace detail {

FoldedTrig foldTrig(const Angle& angle, Trig trig) {
    Angle r = angle.withinTurn();
    int quadrant = 0;
    while (r >= Angle::whole(90)) {
        r = r - Angle::whole(90);
        ++quadrant;
    }
    // cos(r + 90q) is cos r, -sin r, -cos r, sin r; sin(r + 90q) is sin r, cos r, -sin r, -cos r.
    FoldedTrig folded;
    if (trig == Trig::Cos) {
        folded.sine = quadrant % 2 == 1;
        folded.negative = quadrant == 1 || quadrant == 2;
    } else {
        folded.sine = quadrant % 2 == 0;
        folded.negative = quadrant >= 2;
    }
    if (r > Angle::whole(45)) {
        r = Angle::whole(90) - r;
        folded.sine = !folded.sine;
    }
    folded.reduced = r;
    return folded;
}

// Every step is a correctly rounded operation of relative error at most u = epsilon / 2. x has
// pi, the product and the quotient each rounded, and 180 d too when d is large: within 4u of
// itself. The terms t_j = t_(j-1) x^2 / k each gain at most 3u relatively, plus (2j + 1) x 4u from
// x; their sizes x^n / n! make that at most 7u x e^x < 16u in all, the additions of at most 14
// terms below 1 add 14u, the tail is below u/4: within 32u. The bound given is twice that.
TrigEstimate estimateTrig(const FoldedTrig& folded) {
    constexpr long double kPi = 3.14159265358979323846264338327950288L;
    const long double u = std::numeric_limits<long double>::epsilon() / 2;
    const Angle& a = folded.reduced;
    const long double x = kPi * static_cast<long double>(a.numerator()) /
                          (static_cast<long double>(a.denominator()) * 180.0L);
    const long double x2 = x * x;
    long double term = folded.sine ? x : 1.0L;
    long double sum = term;
    bool subtract = true;
    for (int n = folded.sine ? 1 : 0; term > u / 4; n += 2) {
        term = term * x2 / static_cast<long double>((n + 1) * (n + 2));
        sum = subtract ? sum - term : sum + term;
        subtract = !subtract;
    }
    return {sum, 64 * u};
}

int compareTrigAt(const FoldedTrig& folded, Int128 numerator, Int128 denominator, int bits) {
    const std::size_t fraction = static_cast<std::size_t>(bits / 32);
    std::uint64_t error = 0;
    const Fixed value = trigFixed(folded, fraction, error);
    const Fixed threshold =
        Fixed::ratio(static_cast<U128>(numerator), static_cast<U128>(denominator), fraction);
    Fixed low = threshold;
    low.addUlps(error + 1);
    if (low < value) {
        return 1;
    }
    Fixed high = value;
    high.addUlps(error);
    return high < threshold ? -1 : 0;
}

FixedValue fixedTrig(const FoldedTrig& folded, std::size_t fraction) {
    FixedValue value;
    value.limbs = trigFixed(folded, fraction, value.error).limbs();
    return value;
}

FixedValue fixedPi(std::size_t fraction) {
    FixedValue value;
    value.limbs = pi(fraction, value.error).limbs();
    return value;
}

}  // namespace detail

namespace {

// A coordinate in units of 10^-scale, a scale fine enough for the base, the length and the
// decimals asked: the value is (c + r x trig) / m units of the result.
struct CoordinateTerms {
    Int128 c;
    Int128 r;
    Int128 m;
};

CoordinateTerms termsOf(const ExactDecimal& base, const ExactDecimal& length, int decimals) {
    const int scale = std::max({base.scale, length.scale, decimals});
    return {
        static_cast<Int128>(base.units) * kPow10[static_cast<std::size_t>(scale - base.scale)],
        static_cast<Int128>(length.units) * kPow10[static_cast<std::size_t>(scale - length.scale)],
        kPow10[static_cast<std::size_t>(scale - decimals)],
    };
}

// Niven: the only rational sines and cosines of rational degrees are 0, 1/2 and 1 in size, on
// [0, 45] degrees sin 0, cos 0 and sin 30. Those are exact, and may sit on a half, so they are
// rounded by the one rule; nothing for any other angle.
std::optional<std::int64_t> roundedExactly(const FoldedTrig& folded, const CoordinateTerms& t) {
    int twice = 0;
    bool exact = false;
    if (folded.reduced.isZero()) {
        twice = folded.sine ? 0 : 2;
        exact = true;
    } else if (folded.sine && folded.reduced == Angle::whole(30)) {
        twice = 1;
        exact = true;
    }
    if (!exact && t.r != 0) {
        return std::nullopt;
    }
    const Int128 numerator = 2 * t.c + t.r * (folded.negative ? -twice : twice);
    return static_cast<std::int64_t>(detail::nearest(numerator, 2 * t.m));
}

// The long double estimate w of the result in units, rounded, and the bound e of its distance
// from the truth (each of the three operations after the trigonometric value adds at most u of
// its size); decided when w lies so far inside its unit that e cannot take it across a half.
struct CoordinateEstimate {
    long double nearest = 0;
    long double error = 0;
    bool decided = false;
};

CoordinateEstimate estimateCoordinate(const FoldedTrig& folded, const CoordinateTerms& t) {
    const long double u = std::numeric_limits<long double>::epsilon() / 2;
    const detail::TrigEstimate estimate = detail::estimateTrig(folded);
    const auto cl = static_cast<long double>(t.c);
    const auto rl = static_cast<long double>(t.r);
    const auto ml = static_cast<long double>(t.m);
    const long double trigValue = folded.negative ? -estimate.value : estimate.value;
    const long double w = (cl + rl * trigValue) / ml;
    const long double e =
        ((std::fabs(rl) * (estimate.error + 4 * u) + std::fabs(cl) * 4 * u) / ml + u) * 1.0625L;
    const long double nearest = std::nearbyint(w);
    return {nearest, e, std::fabs(w - nearest) < 0.5L - 2 * e};
}

// Too close to a boundary (or long double too short for the size): walk from the estimate,
// asking exactly on which side of each half k +- 1/2 the value lies. With the value's sign s and
// r > 0, value > b <=> c + r s f > b m <=> s f > (2bm - 2c) / 2r, with f the folded sine or
// cosine.
std::optional<std::int64_t> walkToRounding(const FoldedTrig& folded, const CoordinateTerms& t,
                                           const CoordinateEstimate& estimate) {
    PreciseTrig precise(folded);
    const int sign = folded.negative ? -1 : 1;
    const auto sideOf = [&](Int128 twiceBoundary) {
        const Int128 numerator = sign * (twiceBoundary * t.m - 2 * t.c);
        const int side = precise.compare(numerator, 2 * t.r);
        return sign * side;
    };
    const auto first = static_cast<Int128>(estimate.nearest);
    // The answer lies within e + 1 of the estimate; a walk beyond that would mean the two
    // methods disagree, which is refused rather than followed.
    const auto reach = static_cast<Int128>(estimate.error) + 2;
    for (Int128 k = first; magnitude(k - first) <= reach;) {
        const int above = sideOf(2 * k + 1);
        if (above == 0) {
            return std::nullopt;
        }
        if (above > 0) {
            ++k;
            continue;
        }
        const int below = sideOf(2 * k - 1);
        if (below == 0) {
            return std::nullopt;
        }
        if (below < 0) {
            --k;
            continue;
        }
        return static_cast<std::int64_t>(k);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::int64_t> roundedCoordinate(const ExactDecimal& base, const ExactDecimal& length,
                                              const Angle& angle, Trig trig, int decimals) {
    const CoordinateTerms terms = termsOf(base, length, decimals);
    const FoldedTrig folded = detail::foldTrig(angle, trig);
    if (const std::optional<std::int64_t> exact = roundedExactly(folded, terms)) {
        return exact;
    }
    const CoordinateEstimate estimate = estimateCoordinate(folded, terms);
    if (estimate.decided) {
        return static_cast<std::int64_t>(estimate.nearest);
    }
    return walkToRounding(folded, terms, estimate);
}

}  // namespace morvanta
