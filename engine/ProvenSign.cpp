// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ProvenSign.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/Integers.h"

namespace morvanta {

namespace {

__extension__ using U128 = unsigned __int128;

constexpr std::size_t kFirstLimbs = 4;   // 128 bits
constexpr std::size_t kLastLimbs = 256;  // 8192 bits
constexpr int kLongestWalk = 64;

// A whole number of any size, its magnitude in 32-bit limbs, least significant first, and its
// sign; just what the sums below need.
class Big {
public:
    Big() = default;
    static Big of(WideInt value) {
        Big big;
        big.negative_ = value < 0;
        for (U128 rest = static_cast<U128>(detail::magnitude(value)); rest != 0; rest >>= 32) {
            big.limbs_.push_back(static_cast<std::uint32_t>(rest));
        }
        return big;
    }
    static Big ofLimbs(std::vector<std::uint32_t> limbs) {
        Big big;
        big.limbs_ = std::move(limbs);
        big.trim();
        return big;
    }

    bool negative() const { return negative_; }
    bool isZero() const { return limbs_.empty(); }
    void negate() { negative_ = !negative_ && !isZero(); }

    // The magnitude divided by 2^(32 x limbs), truncated, as a small whole number (saturated).
    std::uint64_t above(std::size_t limbs) const {
        std::uint64_t whole = 0;
        for (std::size_t i = limbs_.size(); i-- > limbs;) {
            if (whole >> 32 != 0) {
                return std::numeric_limits<std::uint64_t>::max();
            }
            whole = whole << 32 | limbs_[i];
        }
        return whole;
    }

    // The magnitude shifted down by whole limbs, truncated; the sign is kept.
    Big shiftedDown(std::size_t limbs) const {
        Big big;
        big.negative_ = negative_;
        if (limbs < limbs_.size()) {
            big.limbs_.assign(limbs_.begin() + static_cast<std::ptrdiff_t>(limbs), limbs_.end());
        }
        big.trim();
        return big;
    }

    friend Big operator*(const Big& a, const Big& b) {
        Big product;
        product.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
        for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
                const std::uint64_t t = static_cast<std::uint64_t>(a.limbs_[i]) * b.limbs_[j] +
                                        product.limbs_[i + j] + carry;
                product.limbs_[i + j] = static_cast<std::uint32_t>(t);
                carry = t >> 32;
            }
            product.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
        }
        product.negative_ = a.negative_ != b.negative_;
        product.trim();
        return product;
    }

    friend Big operator+(const Big& a, const Big& b) {
        if (a.negative_ == b.negative_) {
            Big sum = addMagnitudes(a, b);
            sum.negative_ = a.negative_ && !sum.isZero();
            return sum;
        }
        const bool aLarger = compareMagnitudes(a, b) >= 0;
        Big difference = aLarger ? subtractMagnitudes(a, b) : subtractMagnitudes(b, a);
        difference.negative_ = (aLarger ? a.negative_ : b.negative_) && !difference.isZero();
        return difference;
    }

    friend int compareMagnitudes(const Big& a, const Big& b) {
        if (a.limbs_.size() != b.limbs_.size()) {
            return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        }
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) {
                return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
            }
        }
        return 0;
    }

private:
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
        negative_ = negative_ && !limbs_.empty();
    }

    static Big addMagnitudes(const Big& a, const Big& b) {
        Big sum;
        const std::size_t n = std::max(a.limbs_.size(), b.limbs_.size());
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t t = carry + (i < a.limbs_.size() ? a.limbs_[i] : 0u) +
                                    (i < b.limbs_.size() ? b.limbs_[i] : 0u);
            sum.limbs_.push_back(static_cast<std::uint32_t>(t));
            carry = t >> 32;
        }
        sum.limbs_.push_back(static_cast<std::uint32_t>(carry));
        sum.trim();
        return sum;
    }

    // |a| - |b| for |a| >= |b|.
    static Big subtractMagnitudes(const Big& a, const Big& b) {
        Big difference;
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
            std::int64_t t = static_cast<std::int64_t>(a.limbs_[i]) - borrow -
                             (i < b.limbs_.size() ? b.limbs_[i] : 0);
            borrow = t < 0 ? 1 : 0;
            difference.limbs_.push_back(static_cast<std::uint32_t>(t + (borrow << 32)));
        }
        difference.trim();
        return difference;
    }

    std::vector<std::uint32_t> limbs_;
    bool negative_ = false;
};

// Niven: the only rational sines and cosines of rational degrees are 0, 1/2 and 1 in size; on the
// folded half quadrant sin 0, cos 0 and sin 30°. Twice the folded value, or nothing.
std::optional<int> twiceIfRational(const detail::FoldedTrig& folded) {
    if (folded.reduced.isZero()) {
        return folded.sine ? 0 : 2;
    }
    if (folded.sine && folded.reduced == Angle::whole(30)) {
        return 1;
    }
    return std::nullopt;
}

// The sum exactly, when no term has pi or an irrational factor: each term is its coefficient
// times (twice its factors) / 2^factors, so 2^6 times the sum is a whole number.
std::optional<int> exactSign(std::span<const TrigTerm> terms) {
    WideInt sum = 0;
    for (const TrigTerm& term : terms) {
        if (term.pi) {
            return std::nullopt;
        }
        WideInt value = term.coefficient * (WideInt{1} << (6 - term.factors.size()));
        for (const TrigFactor& factor : term.factors) {
            const detail::FoldedTrig folded = detail::foldTrig(factor.angle, factor.trig);
            const std::optional<int> twice = twiceIfRational(folded);
            if (!twice) {
                return std::nullopt;
            }
            value *= folded.negative ? -*twice : *twice;
        }
        sum += value;
    }
    return sum > 0 ? 1 : sum < 0 ? -1 : 0;
}

// Each factor's long double value v_i lies within e_i of the truth, so the product of the values
// lies within prod(|v_i| + e_i) - prod |v_i| of it, and the roundings of the products and of the
// coefficient add a relative error below (factors + 3) u. The bound returned is twice the sum of
// the terms' bounds and of the roundings of the additions.
std::optional<int> longDoubleSign(std::span<const TrigTerm> terms) {
    constexpr long double kPi = 3.14159265358979323846264338327950288L;
    const long double u = std::numeric_limits<long double>::epsilon() / 2;
    long double sum = 0;
    long double bound = 0;
    long double sizes = 0;
    for (const TrigTerm& term : terms) {
        long double value = term.pi ? kPi : 1.0L;
        long double high = term.pi ? kPi + 4 * u : 1.0L;
        for (const TrigFactor& factor : term.factors) {
            const detail::FoldedTrig folded = detail::foldTrig(factor.angle, factor.trig);
            const detail::TrigEstimate estimate = detail::estimateTrig(folded);
            value *= folded.negative ? -estimate.value : estimate.value;
            high *= estimate.value + estimate.error;
        }
        const auto size = std::fabs(static_cast<long double>(term.coefficient));
        const long double steps = static_cast<long double>(term.factors.size()) + 4;
        sum += static_cast<long double>(term.coefficient) * value;
        sizes += size * high;
        bound += size * ((high - std::fabs(value)) + steps * u * high);
    }
    bound = 2 * (bound + static_cast<long double>(terms.size() + 1) * u * sizes);
    if (std::fabs(sum) > bound) {
        return sum > 0 ? 1 : -1;
    }
    return std::nullopt;
}

// One term in fixed point with `fraction` limbs after the point, and the units of its last place
// by which it may be off. A product of values a and b within e_a and e_b units is within
// (|a| + 1) e_b + (|b| + 1) e_a + 2 units once truncated (e_a e_b being far below 2^128).
std::pair<Big, Big> fixedTerm(const TrigTerm& term, std::size_t fraction) {
    std::vector<std::uint32_t> oneLimbs(fraction + 1, 0);
    oneLimbs.back() = 1;
    Big value = Big::ofLimbs(std::move(oneLimbs));
    std::uint64_t error = 0;
    bool negative = false;
    const auto multiply = [&](const detail::FixedValue& factor) {
        const Big other = Big::ofLimbs(factor.limbs);
        error =
            (value.above(fraction) + 1) * factor.error + (other.above(fraction) + 1) * error + 2;
        value = (value * other).shiftedDown(fraction);
    };
    if (term.pi) {
        multiply(detail::fixedPi(fraction));
    }
    for (const TrigFactor& factor : term.factors) {
        const detail::FoldedTrig folded = detail::foldTrig(factor.angle, factor.trig);
        negative = negative != folded.negative;
        multiply(detail::fixedTrig(folded, fraction));
    }
    Big scaled = value * Big::of(term.coefficient);
    if (negative) {
        scaled.negate();
    }
    return {scaled,
            Big::of(static_cast<WideInt>(error)) * Big::of(detail::magnitude(term.coefficient))};
}

std::optional<int> fixedSign(std::span<const TrigTerm> terms, std::size_t fraction) {
    Big sum;
    Big bound;
    for (const TrigTerm& term : terms) {
        const auto [value, error] = fixedTerm(term, fraction);
        sum = sum + value;
        bound = bound + error;
    }
    if (compareMagnitudes(sum, bound) > 0) {
        return sum.negative() ? -1 : 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> signOf(std::span<const TrigTerm> terms) {
    if (const std::optional<int> exact = exactSign(terms)) {
        return exact;
    }
    if (const std::optional<int> quick = longDoubleSign(terms)) {
        return quick;
    }
    for (std::size_t fraction = kFirstLimbs; fraction <= kLastLimbs; fraction *= 2) {
        if (const std::optional<int> sign = fixedSign(terms, fraction)) {
            return sign;
        }
    }
    return std::nullopt;
}

std::optional<int> compareWith(const ProvenValue& value, WideInt numerator, WideInt denominator) {
    const std::vector<TrigTerm> terms = value.minus(numerator, denominator);
    return signOf(terms);
}

// Walks from the estimate to the k with k - 1/2 < value x 10^decimals < k + 1/2, asking on which
// side of each half the value lies; an exact half goes away from zero.
std::optional<std::int64_t> roundedUnits(const ProvenValue& value, int decimals) {
    const WideInt scale = 2 * detail::kPow10[static_cast<std::size_t>(decimals)];
    const long double start =
        std::nearbyint(value.estimate * static_cast<long double>(
                                            detail::kPow10[static_cast<std::size_t>(decimals)]));
    if (!(std::fabs(start) < 9.0e18L)) {
        return std::nullopt;
    }
    auto k = static_cast<std::int64_t>(start);
    for (int step = 0; step < kLongestWalk; ++step) {
        const std::optional<int> above = compareWith(value, 2 * static_cast<WideInt>(k) + 1, scale);
        if (!above) {
            return std::nullopt;
        }
        if (*above > 0 || (*above == 0 && k >= 0)) {
            ++k;
            continue;
        }
        const std::optional<int> below = compareWith(value, 2 * static_cast<WideInt>(k) - 1, scale);
        if (!below) {
            return std::nullopt;
        }
        if (*below < 0 || (*below == 0 && k <= 0)) {
            --k;
            continue;
        }
        return k;
    }
    return std::nullopt;
}

}  // namespace morvanta
