// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExactDecimal.h"

#include <cstdio>

#include "engine/Integers.h"

namespace morvanta {

using detail::kPow10;

std::string exactDecimalText(const ExactDecimal& number) {
    ExactDecimal shortest = number;
    while (shortest.scale > 0 && shortest.units % 10 == 0) {
        shortest.units /= 10;
        --shortest.scale;
    }
    return unitsText(shortest.units, shortest.scale);
}

std::optional<std::int64_t> unitsAt(const ExactDecimal& number, int decimals) {
    if (number.scale > decimals) {
        const std::int64_t drop = kPow10[static_cast<std::size_t>(number.scale - decimals)];
        if (number.units % drop != 0) {
            return std::nullopt;
        }
        return number.units / drop;
    }
    return number.units * kPow10[static_cast<std::size_t>(decimals - number.scale)];
}

std::string unitsText(std::int64_t units, int decimals) {
    const auto scale = static_cast<std::uint64_t>(kPow10[static_cast<std::size_t>(decimals)]);
    const std::uint64_t size =
        units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    char text[48];
    int length = std::snprintf(text, sizeof text, "%s%llu", units < 0 ? "-" : "",
                               static_cast<unsigned long long>(size / scale));
    if (decimals > 0) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                ".%0*llu", decimals, static_cast<unsigned long long>(size % scale));
    }
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace morvanta
