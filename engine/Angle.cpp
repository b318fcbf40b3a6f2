// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Angle.h"

#include <cstdio>

#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::I128;
using detail::kPow10;
using detail::magnitude;

constexpr int kMaxTickDecimals = 6;
constexpr int kMaxDegreeDecimals = 9;

}  // namespace

std::int64_t roundedTicks(const Angle& angle, int decimals, std::int64_t step) {
    const int places = decimals < 0 ? 0 : decimals > kMaxTickDecimals ? kMaxTickDecimals : decimals;
    const I128 ticksPerDegree =
        static_cast<I128>(kSecondsPerDegree) * kPow10[static_cast<std::size_t>(places)];
    return static_cast<std::int64_t>(
        detail::nearest(angle.numerator() * ticksPerDegree,
                        static_cast<I128>(angle.denominator()) * step) *
        step);
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
        detail::nearest(static_cast<I128>(angle.numerator()) * scale, angle.denominator());
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
