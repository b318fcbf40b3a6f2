// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvanta {

// An exact angle in degrees, held as the reduced fraction numerator / denominator (denominator
// above 0), so that the angle of every division of a circle is what it is and not a double near
// it: Angle::ratio(360, 7) is 51°25'42.857142...", and 7 of them are exactly 360.
//
// Range: numerator and denominator are int64. The arithmetic below works in 128 bits and reduces
// every result, and it is meant for angles made from decimal texts of at most kMaxDecimals
// decimals, brought into one turn, divided by counts of at most kMaxDivisions and multiplied by a
// hole number no larger: those keep every numerator and denominator below 2^62. Outside that
// domain a result that does not fit int64 is the caller's fault and is not detected.
class Angle {
public:
    static constexpr int kMaxDecimals = 9;
    static constexpr std::int64_t kMaxDivisions = 1'000'000;

    constexpr Angle() = default;

    static Angle degrees(std::int64_t whole) { return Angle(whole, 1); }
    // numerator / denominator degrees, reduced; denominator must not be 0 (a negative one moves
    // its sign to the numerator). ratio(720, 14) == ratio(360, 7).
    static Angle ratio(std::int64_t numerator, std::int64_t denominator);
    // The angle of a decimal text read by parseExactDecimal: an optional sign, digits with at most
    // one point and at most kMaxDecimals digits after it, at least one digit, and at most 9 digits
    // before the point; nothing else (no spaces, exponents or thousands separators).
    //   "15" -> 15, "-22.5" -> -45/2, "0.125" -> 1/8, ".5" -> 1/2, "7." -> 7, "+3" -> 3.
    // Not angles: "", "-", ".", "1e3", " 7", "7 ", "1,5", "0.1234567891" (10 decimals).
    static std::optional<Angle> parseDecimal(std::string_view text);

    constexpr std::int64_t numerator() const noexcept { return numerator_; }
    constexpr std::int64_t denominator() const noexcept { return denominator_; }

    Angle operator+(const Angle& other) const;
    Angle operator-(const Angle& other) const;
    Angle operator-() const { return Angle(-numerator_, denominator_); }
    Angle operator*(std::int64_t factor) const;
    // divisor must not be 0.
    Angle operator/(std::int64_t divisor) const;

    // The same direction within one turn, from 0 up to but not including 360: -90 -> 270,
    // 720 -> 0, 359.5 -> 359.5.
    Angle withinTurn() const;

    bool isZero() const noexcept { return numerator_ == 0; }
    bool isWhole() const noexcept { return denominator_ == 1; }
    // The nearest double, for display sizes and trigonometry; the exact value stays here.
    double toDouble() const noexcept;

    // Exact comparison of the two fractions.
    std::strong_ordering operator<=>(const Angle& other) const;
    bool operator==(const Angle& other) const = default;

private:
    __extension__ using Wide = __int128;

    // The fraction reduced and its sign on the numerator; both parts must fit int64 once reduced.
    static Angle reduced(Wide numerator, Wide denominator);

    constexpr Angle(std::int64_t numerator, std::int64_t denominator)
        : numerator_(numerator), denominator_(denominator) {}

    std::int64_t numerator_ = 0;
    std::int64_t denominator_ = 1;
};

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
// ratio(1, 8) at 2 -> "0.13", degrees(90) at 0 -> "90".
std::string decimalDegreesText(const Angle& angle, int decimals);

}  // namespace morvanta
