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

    // The value times 2^(32 x fraction), least significant limb first.
    const std::vector<std::uint32_t>& limbs() const { return limbs_; }

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

// A signed whole number of any size, for the sum of a pattern's terms in fixed point: the
// magnitude in 32-bit limbs, least significant first.
struct Wide {
    bool negative = false;
    std::vector<std::uint32_t> limbs;
};

// |v| x f (f's limbs as a whole number), with v's sign.
Wide times(Int128 v, const std::vector<std::uint32_t>& f) {
    const U128 size = static_cast<U128>(magnitude(v));
    Wide product{v < 0, std::vector<std::uint32_t>(f.size() + 4, 0)};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto factor = static_cast<std::uint32_t>(size >> (32 * i));
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < f.size(); ++j) {
            const std::uint64_t t =
                static_cast<std::uint64_t>(factor) * f[j] + product.limbs[i + j] + carry;
            product.limbs[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product.limbs[i + f.size()] = static_cast<std::uint32_t>(carry);
    }
    return product;
}

// v x 2^(32 x shift).
Wide shifted(Int128 v, std::size_t shift) {
    const U128 size = static_cast<U128>(magnitude(v));
    Wide x{v < 0, std::vector<std::uint32_t>(shift + 4, 0)};
    for (std::size_t i = 0; i < 4; ++i) {
        x.limbs[shift + i] = static_cast<std::uint32_t>(size >> (32 * i));
    }
    return x;
}

// -1, 0 or 1 as |a| is below, equal to or above |b|.
int compareSizes(const Wide& a, const Wide& b) {
    for (std::size_t i = std::max(a.limbs.size(), b.limbs.size()); i-- > 0;) {
        const std::uint32_t x = i < a.limbs.size() ? a.limbs[i] : 0;
        const std::uint32_t y = i < b.limbs.size() ? b.limbs[i] : 0;
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

// sum += x.
void accumulate(Wide& sum, const Wide& x) {
    const std::size_t n = std::max(sum.limbs.size(), x.limbs.size()) + 1;
    const bool larger = compareSizes(sum, x) >= 0;
    const Wide& big = larger ? sum : x;
    const Wide& small = larger ? x : sum;
    const auto limb = [](const Wide& w, std::size_t i) -> std::int64_t {
        return i < w.limbs.size() ? w.limbs[i] : 0;
    };
    std::vector<std::uint32_t> out(n, 0);
    std::int64_t carry = 0;
    const bool add = sum.negative == x.negative;
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t t = limb(big, i) + (add ? limb(small, i) : -limb(small, i)) + carry;
        carry = t < 0 ? -1 : t >> 32;
        out[i] = static_cast<std::uint32_t>(t < 0 ? t + (std::int64_t{1} << 32) : t);
    }
    sum.negative = big.negative;
    sum.limbs = std::move(out);
}

}  // namespace

// What a TurnedRounding keeps of its angle. The angle t is folded to r in [0, 45] degrees, and
// cos t and sin t written as +-cos r or +-sin r: a cos t + b sin t = p cos r + q sin r, with p
// and q sums of +-a and +-b.
struct TurnedRounding::Cache {
    enum class Kind { Square, Thirty, FortyFive, General };
    Angle reduced;
    Kind kind = Kind::General;
    int cosOnC = 0, cosOnS = 0, sinOnC = 0, sinOnS = 0;  // cos t, sin t in cos r, sin r
    detail::TrigEstimate cosEstimate, sinEstimate;
    int bits = 0;
    std::optional<Fixed> cosFixed, sinFixed;
    std::uint64_t cosError = 0, sinError = 0;

    // The sign of d + p cos r + q sin r, never 0 in the cases sent here; 0 when kLastBits bits
    // cannot tell.
    int side(Int128 d, Int128 p, Int128 q) {
        for (int at = bits == 0 ? kFirstBits : bits; at <= kLastBits; at *= 2) {
            const auto fraction = static_cast<std::size_t>(at / 32);
            if (at != bits) {
                cosFixed = trigFixed({reduced, false, false}, fraction, cosError);
                sinFixed = trigFixed({reduced, true, false}, fraction, sinError);
                bits = at;
            }
            // Each fixed value lies within its error of the truth times 2^bits, so the sum does
            // within |p| cosError + |q| sinError.
            Wide sum = shifted(d, fraction);
            accumulate(sum, times(p, cosFixed->limbs()));
            accumulate(sum, times(q, sinFixed->limbs()));
            const Int128 error = magnitude(p) * static_cast<Int128>(cosError) +
                                 magnitude(q) * static_cast<Int128>(sinError);
            if (compareSizes(sum, shifted(error, 0)) > 0) {
                return sum.negative ? -1 : 1;
            }
        }
        return 0;
    }

    // (c + p cos r + q sin r) / m, irrational, to the nearest whole number: the long double
    // estimate w where it lies within e of the truth (each trigonometric value within its bound,
    // each conversion and operation within u of its size) far enough inside its unit, else a walk
    // from it asking exactly on which side of each half k +- 1/2 the value lies:
    // value > k + 1/2 <=> 2c - (2k + 1) m + 2p cos r + 2q sin r > 0.
    std::optional<std::int64_t> roundedSum(Int128 c, Int128 p, Int128 q, Int128 m) {
        const long double u = std::numeric_limits<long double>::epsilon() / 2;
        const auto pl = static_cast<long double>(p);
        const auto ql = static_cast<long double>(q);
        const auto cl = static_cast<long double>(c);
        const auto ml = static_cast<long double>(m);
        const long double w = (cl + pl * cosEstimate.value + ql * sinEstimate.value) / ml;
        const long double e =
            ((std::fabs(pl) * (cosEstimate.error + 8 * u) +
              std::fabs(ql) * (sinEstimate.error + 8 * u) + std::fabs(cl) * 8 * u) /
                 ml +
             u) *
            1.0625L;
        const long double nearest = std::nearbyint(w);
        if (std::fabs(w - nearest) < 0.5L - 2 * e) {
            return static_cast<std::int64_t>(nearest);
        }
        const auto above = [&](Int128 k) { return side(2 * c - (2 * k + 1) * m, 2 * p, 2 * q); };
        const auto first = static_cast<Int128>(nearest);
        // The answer lies within e + 1 of the estimate; a walk beyond that would mean the two
        // methods disagree, which is refused rather than followed.
        const auto reach = static_cast<Int128>(e) + 2;
        for (Int128 k = first; magnitude(k - first) <= reach;) {
            const int up = above(k);
            const int down = up < 0 ? above(k - 1) : 0;
            if (up == 0 || (up < 0 && down == 0)) {
                return std::nullopt;
            }
            if (up < 0 && down > 0) {
                return static_cast<std::int64_t>(k);
            }
            k += up > 0 ? 1 : -1;
        }
        return std::nullopt;
    }
};

TurnedRounding::TurnedRounding(const Angle& angle) : cache_(std::make_unique<Cache>()) {
    Angle r = angle.withinTurn();
    int quadrant = 0;
    while (r >= Angle::whole(90)) {
        r = r - Angle::whole(90);
        ++quadrant;
    }
    // cos(r + 90q) is cos r, -sin r, -cos r, sin r; sin(r + 90q) is sin r, cos r, -sin r, -cos r.
    constexpr int kCos[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    constexpr int kSin[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
    Cache& c = *cache_;
    c.cosOnC = kCos[quadrant][0];
    c.cosOnS = kCos[quadrant][1];
    c.sinOnC = kSin[quadrant][0];
    c.sinOnS = kSin[quadrant][1];
    if (r > Angle::whole(45)) {
        r = Angle::whole(90) - r;
        std::swap(c.cosOnC, c.cosOnS);
        std::swap(c.sinOnC, c.sinOnS);
    }
    c.reduced = r;
    // 1, cos r and sin r are linearly independent over the rationals unless r is a multiple of
    // 30° or 45°: a relation a cos r + b sin r = d makes e^ir a root of a quadratic over Q(i), of
    // degree 4 at most over Q, which only the 8th and 12th roots of unity and their divisors are.
    c.kind = r.isZero()              ? Cache::Kind::Square
             : r == Angle::whole(30) ? Cache::Kind::Thirty
             : r == Angle::whole(45) ? Cache::Kind::FortyFive
                                     : Cache::Kind::General;
    c.cosEstimate = detail::estimateTrig({r, false, false});
    c.sinEstimate = detail::estimateTrig({r, true, false});
}

TurnedRounding::~TurnedRounding() = default;

std::optional<std::int64_t> TurnedRounding::rounded(const ExactDecimal& base, const ExactDecimal& a,
                                                    const ExactDecimal& b, int decimals,
                                                    std::int64_t divisor) {
    Cache& cache = *cache_;
    // Everything in units of 10^-scale / divisor: the value is (c + p cos r + q sin r) / m units.
    const int scale = std::max({base.scale, a.scale, b.scale, decimals});
    const auto at = [&](const ExactDecimal& x) {
        return static_cast<Int128>(x.units) * kPow10[static_cast<std::size_t>(scale - x.scale)];
    };
    Int128 c = at(base) * divisor;
    Int128 m = kPow10[static_cast<std::size_t>(scale - decimals)] * divisor;
    Int128 p = at(a) * cache.cosOnC + at(b) * cache.sinOnC;
    Int128 q = at(a) * cache.cosOnS + at(b) * cache.sinOnS;
    // The rational parts moved into c: cos 0 = 1, sin 0 = 0; sin 30 = 1/2 (everything doubled);
    // cos 45 = sin 45.
    switch (cache.kind) {
        case Cache::Kind::Square:
            c += p;
            p = q = 0;
            break;
        case Cache::Kind::Thirty:
            c = 2 * c + q;
            m *= 2;
            p *= 2;
            q = 0;
            break;
        case Cache::Kind::FortyFive:
            p += q;
            q = 0;
            break;
        case Cache::Kind::General:
            break;
    }
    if (p == 0 && q == 0) {
        return static_cast<std::int64_t>(detail::nearest(c, m));
    }

    return cache.roundedSum(c, p, q, m);
}

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

std::optional<std::int64_t> roundedCoordinate(const ExactDecimal& base, const ExactDecimal& length,
                                              const Angle& angle, Trig trig, int decimals) {
    TurnedRounding turned(angle);
    const ExactDecimal none{};
    return trig == Trig::Cos ? turned.rounded(base, length, none, decimals)
                             : turned.rounded(base, none, length, decimals);
}

namespace {

// Whether sin(half) lies above (+1) or below (-1) numerator / denominator, at the first precision
// that tells; 0 when 8192 bits cannot.
int sineAgainst(const FoldedTrig& folded, Int128 numerator, Int128 denominator) {
    for (int bits = kFirstBits; bits <= kLastBits; bits *= 2) {
        if (const int side = detail::compareTrigAt(folded, numerator, denominator, bits)) {
            return side;
        }
    }
    return 0;
}

}  // namespace

std::optional<ExactDecimal> diameterOfChord(const ExactDecimal& chord, const Angle& step) {
    constexpr int kScale = 9;
    const Angle half = step / 2;
    const Int128 c =
        static_cast<Int128>(chord.units) * kPow10[static_cast<std::size_t>(kScale - chord.scale)];
    const Int128 limit = static_cast<Int128>(kPow10[kScale]) * kPow10[kScale];
    // sin 30 = 1/2 and sin 90 = 1 are the only rational sines on (0, 90].
    if (half == Angle::whole(30) || half == Angle::whole(90)) {
        const Int128 d = half == Angle::whole(30) ? 2 * c : c;
        return d < limit ? std::optional<ExactDecimal>({static_cast<std::int64_t>(d), kScale})
                         : std::nullopt;
    }
    const FoldedTrig folded = detail::foldTrig(half, Trig::Sin);
    const detail::TrigEstimate sine = detail::estimateTrig(folded);
    const long double estimate = static_cast<long double>(c) / sine.value;
    if (estimate >= static_cast<long double>(limit)) {
        return std::nullopt;
    }
    // d > n - 1/2 <=> sin < 2c / (2n - 1), and d < n + 1/2 <=> sin > 2c / (2n + 1).
    for (Int128 n = static_cast<Int128>(std::nearbyint(estimate)), steps = 0; steps < 8; ++steps) {
        const int belowHigh = sineAgainst(folded, 2 * c, 2 * n + 1);
        const int belowLow = n > 0 ? sineAgainst(folded, 2 * c, 2 * n - 1) : -1;
        if (belowHigh == 0 || belowLow == 0) {
            return std::nullopt;
        }
        if (belowHigh < 0) {
            ++n;
        } else if (belowLow > 0) {
            --n;
        } else {
            return n < limit ? std::optional<ExactDecimal>({static_cast<std::int64_t>(n), kScale})
                             : std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace morvanta
