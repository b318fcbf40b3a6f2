// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace morvanta {

// An angle written in degrees, minutes and seconds, taken apart: with letters, 17d30m15s; with
// marks, 17°30'15"; with colons, 17:30:15. The later parts may be left off (17d30m, 17°, 17:30),
// the seconds may have decimals (17d30m15.25s), and a sign may lead; nothing else may stand in the
// text, not even a space. The parts are the digits as written, checked by the reader of the input
// (InputReading.cpp) against its limits:
//   "17d30m15.25s" -> {false, "17", "30", "15", "25"}; "-17:05" -> {true, "17", "05", "", ""}
//   "17d30", "17d15s", "17:30:", "17.5d", "d30m" -> nothing
struct DmsParts {
    bool negative = false;
    std::string_view degrees, minutes, seconds, fraction;
};
std::optional<DmsParts> dmsParts(std::string_view text);

// The value of at most 18 digits: wholeOf("075") == 75, wholeOf("") == 0.
std::int64_t wholeOf(std::string_view digits);

}  // namespace morvanta
