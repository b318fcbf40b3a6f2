// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvanta {

// A decimal number held exactly: units / 10^scale. 12.5 is {125, 1}; -5 is {-5, 0}.
struct ExactDecimal {
    std::int64_t units = 0;
    int scale = 0;
};

inline constexpr int kMaxExactWholeDigits = 9;
inline constexpr int kMaxExactDecimals = 9;

// The value with the fewest decimals that show it exactly: {10, 2} -> "0.1", {-500, 2} -> "-5",
// {0, 3} -> "0" (never "-0").
std::string exactDecimalText(const ExactDecimal& number);

// The value as a count of 10^-decimals exactly, or nothing when it has more decimals than that:
// unitsAt({125, 1}, 3) == 12500, unitsAt({125, 2}, 1) == nullopt. decimals from 0 to 9.
std::optional<std::int64_t> unitsAt(const ExactDecimal& number, int decimals);

// A signed count of 10^-decimals written with that many decimals, never "-0":
// unitsText(-50000, 4) == "-5.0000", unitsText(7, 0) == "7". decimals from 0 to 9.
std::string unitsText(std::int64_t units, int decimals);

}  // namespace morvanta
