// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvanta {

// An exact rational number, held as the reduced fraction numerator / denominator (denominator
// above 0, the sign on the numerator), so that a seventh of a turn or of a crank turn is what it
// is and not a double near it: Rational::ratio(360, 7) times 7 is exactly 360, and
// ratio(40, 127) + ratio(-7, 381) is 113/381.
//
// Range: numerator and denominator are int64. The arithmetic below works in 128 bits and reduces
// every result, which must fit int64 once reduced. The engine keeps within that: angles are made
// from decimal texts of at most kMaxDecimals decimals, brought into one turn, divided by counts of
// at most kMaxDivisions and multiplied by a hole number no larger, which keeps every numerator and
// denominator below 2^62; indexing makes ratios of products of at most a count, a worm ratio, two
// circles or four gears. Outside that domain a result that does not fit int64 is the caller's
// fault and is not detected.
class Rational {
public:
    __extension__ using Wide = __int128;

    static constexpr int kMaxDecimals = 9;
    static constexpr std::int64_t kMaxDivisions = 1'000'000;

    // 0.
    constexpr Rational() = default;

    static constexpr Rational whole(std::int64_t value) { return Rational(value, 1); }
    // numerator / denominator, reduced; denominator must not be 0 (a negative one moves its sign
    // to the numerator). ratio(720, 14) == ratio(360, 7), ratio(3, -6) == ratio(-1, 2). The
    // parts may be any 128-bit values whose reduced fraction fits int64.
    static Rational ratio(Wide numerator, Wide denominator);
    // The value of a decimal text read by parseExactDecimal: an optional sign, digits with at most
    // one point and at most kMaxDecimals digits after it, at least one digit, and at most 9 digits
    // before the point; nothing else (no spaces, exponents or thousands separators).
    //   "15" -> 15, "-22.5" -> -45/2, "0.125" -> 1/8, ".5" -> 1/2, "7." -> 7, "+3" -> 3.
    // Not numbers: "", "-", ".", "1e3", " 7", "7 ", "1,5", "0.1234567891" (10 decimals).
    static std::optional<Rational> parseDecimal(std::string_view text);

    constexpr std::int64_t numerator() const noexcept { return numerator_; }
    constexpr std::int64_t denominator() const noexcept { return denominator_; }

    Rational operator+(const Rational& other) const;
    Rational operator-(const Rational& other) const;
    Rational operator-() const { return Rational(-numerator_, denominator_); }
    Rational operator*(std::int64_t factor) const;
    // divisor must not be 0.
    Rational operator/(std::int64_t divisor) const;

    // As an angle in degrees, the same direction within one turn, from 0 up to but not including
    // 360: -90 -> 270, 720 -> 0, 359.5 -> 359.5.
    Rational withinTurn() const;

    bool isZero() const noexcept { return numerator_ == 0; }
    bool isWhole() const noexcept { return denominator_ == 1; }
    // The nearest double, for display sizes and trigonometry; the exact value stays here.
    double toDouble() const noexcept;

    // Exact comparison of the two fractions.
    std::strong_ordering operator<=>(const Rational& other) const;
    bool operator==(const Rational& other) const = default;

private:
    constexpr Rational(std::int64_t numerator, std::int64_t denominator)
        : numerator_(numerator), denominator_(denominator) {}

    std::int64_t numerator_ = 0;
    std::int64_t denominator_ = 1;
};

// The size: abs(ratio(-7, 3)) == ratio(7, 3).
inline Rational abs(const Rational& value) {
    return value.numerator() < 0 ? -value : value;
}

}  // namespace morvanta
