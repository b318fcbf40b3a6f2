// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Angle.h"

#include <cstdio>
#include <cstdlib>

#include "engine/ExactDecimal.h"
#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::I128;
using detail::kPow10;
using detail::magnitude;

constexpr int kMaxTickDecimals = 6;
constexpr int kMaxDegreeDecimals = 9;

// The multiple of step nearest to numerator / denominator (denominator > 0, step > 0), halves
// away from zero. Working on the magnitude makes the rule symmetric, so -59.5" rounds as 59.5".
I128 nearestMultiple(I128 numerator, I128 denominator, I128 step) {
    const bool negative = numerator < 0;
    const I128 stepTimesDenominator = step * denominator;
    const I128 multiples =
        (2 * magnitude(numerator) + stepTimesDenominator) / (2 * stepTimesDenominator);
    return (negative ? -multiples : multiples) * step;
}

}  // namespace

Angle Angle::ratio(std::int64_t numerator, std::int64_t denominator) {
    return reduced(numerator, denominator);
}

Angle Angle::reduced(Wide numerator, Wide denominator) {
    detail::reduce(numerator, denominator);
    return Angle(static_cast<std::int64_t>(numerator), static_cast<std::int64_t>(denominator));
}

static_assert(Angle::kMaxDecimals == kMaxExactDecimals);

std::optional<Angle> Angle::parseDecimal(std::string_view text) {
    const std::optional<ExactDecimal> number = parseExactDecimal(text);
    if (!number) {
        return std::nullopt;
    }
    return ratio(number->units, kPow10[static_cast<std::size_t>(number->scale)]);
}

Angle Angle::operator+(const Angle& other) const {
    return reduced(static_cast<I128>(numerator_) * other.denominator_ +
                       static_cast<I128>(other.numerator_) * denominator_,
                   static_cast<I128>(denominator_) * other.denominator_);
}

Angle Angle::operator-(const Angle& other) const {
    return *this + -other;
}

Angle Angle::operator*(std::int64_t factor) const {
    return reduced(static_cast<I128>(numerator_) * factor, denominator_);
}

Angle Angle::operator/(std::int64_t divisor) const {
    return reduced(numerator_, static_cast<I128>(denominator_) * divisor);
}

Angle Angle::withinTurn() const {
    const I128 turn = static_cast<I128>(360) * denominator_;
    I128 n = numerator_ % turn;
    if (n < 0) {
        n += turn;
    }
    return reduced(n, denominator_);
}

double Angle::toDouble() const noexcept {
    // One division of two exactly held values: the quotient is the double nearest to the fraction
    // whenever both parts are below 2^53, which covers every angle a command makes.
    return static_cast<double>(numerator_) / static_cast<double>(denominator_);
}

std::strong_ordering Angle::operator<=>(const Angle& other) const {
    return static_cast<I128>(numerator_) * other.denominator_ <=>
           static_cast<I128>(other.numerator_) * denominator_;
}

std::int64_t roundedTicks(const Angle& angle, int decimals, std::int64_t step) {
    const int places = decimals < 0 ? 0 : decimals > kMaxTickDecimals ? kMaxTickDecimals : decimals;
    const I128 ticksPerDegree =
        static_cast<I128>(kSecondsPerDegree) * kPow10[static_cast<std::size_t>(places)];
    return static_cast<std::int64_t>(
        nearestMultiple(angle.numerator() * ticksPerDegree, angle.denominator(), step));
}

Dms splitTicks(std::int64_t ticks, int decimals) {
    const int places = decimals < 0 ? 0 : decimals > kMaxTickDecimals ? kMaxTickDecimals : decimals;
    const std::int64_t perSecond = kPow10[static_cast<std::size_t>(places)];
    const std::uint64_t size =
        ticks < 0 ? 0 - static_cast<std::uint64_t>(ticks) : static_cast<std::uint64_t>(ticks);
    const auto seconds = static_cast<std::int64_t>(size / static_cast<std::uint64_t>(perSecond));
    Dms dms;
    dms.negative = ticks < 0;
    dms.decimals = places;
    dms.fraction = static_cast<std::int64_t>(size % static_cast<std::uint64_t>(perSecond));
    dms.seconds = seconds % kSecondsPerMinute;
    dms.minutes = seconds / kSecondsPerMinute % kSecondsPerMinute;
    dms.degrees = seconds / kSecondsPerDegree;
    return dms;
}

Dms toDms(const Angle& angle, int decimals, std::int64_t step) {
    return splitTicks(roundedTicks(angle, decimals, step), decimals);
}

std::string dmsText(const Dms& dms) {
    char text[64];
    int length =
        std::snprintf(text, sizeof text, "%s%lld\u00B0%02lld'%02lld", dms.negative ? "-" : "",
                      static_cast<long long>(dms.degrees), static_cast<long long>(dms.minutes),
                      static_cast<long long>(dms.seconds));
    if (dms.decimals > 0) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                ".%0*lld", dms.decimals, static_cast<long long>(dms.fraction));
    }
    return std::string(text, static_cast<std::size_t>(length)) + '"';
}

std::string decimalDegreesText(const Angle& angle, int decimals) {
    const int places = decimals < 0                    ? 0
                       : decimals > kMaxDegreeDecimals ? kMaxDegreeDecimals
                                                       : decimals;
    const std::int64_t scale = kPow10[static_cast<std::size_t>(places)];
    const I128 scaled =
        nearestMultiple(static_cast<I128>(angle.numerator()) * scale, angle.denominator(), 1);
    const I128 size = magnitude(scaled);
    char text[64];
    int length = std::snprintf(text, sizeof text, "%s%lld", scaled < 0 ? "-" : "",
                               static_cast<long long>(size / scale));
    if (places > 0) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                ".%0*lld", places, static_cast<long long>(size % scale));
    }
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace morvanta
