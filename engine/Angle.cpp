// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Angle.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace morvanta {

namespace {

__extension__ using I128 = __int128;

constexpr int kMaxWholeDigits = 9;
constexpr int kMaxTickDecimals = 6;
constexpr int kMaxDegreeDecimals = 9;

constexpr std::array<std::int64_t, 10> kPow10 = {
    1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

I128 magnitude(I128 x) {
    return x < 0 ? -x : x;
}

I128 gcd(I128 a, I128 b) {
    a = magnitude(a);
    b = magnitude(b);
    while (b != 0) {
        const I128 r = a % b;
        a = b;
        b = r;
    }
    return a;
}

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
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const I128 g = gcd(numerator, denominator);
    if (g > 1) {
        numerator /= g;
        denominator /= g;
    }
    return Angle(static_cast<std::int64_t>(numerator), static_cast<std::int64_t>(denominator));
}

std::optional<Angle> Angle::parseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    int whole = 0;
    int decimals = 0;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (point ? ++decimals > kMaxDecimals : ++whole > kMaxWholeDigits) {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (whole + decimals == 0) {
        return std::nullopt;
    }
    return ratio(negative ? -value : value, kPow10[static_cast<std::size_t>(decimals)]);
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
