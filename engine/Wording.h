// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Angle.h"

namespace morvanta {

// The words the bolt circle and the setting sheet both use to say where the holes lie, so that the
// two read alike. Each writes for a printed sheet, or with `comment` for a G-code comment: " DEG"
// for the degree sign and no parentheses.

// An angle of at most 9 decimals as its shortest decimal, any other as its fraction: "22.5°",
// "-15°", "360/7°"; with `comment`, "22.5 DEG".
std::string exactDegreesText(const Angle& angle, bool comment = false);

// What a count over an arc means: "7 holes over 90°, a hole at each end, 15° apart",
// "6 holes over the full circle, 60° apart", "4 holes over 90°, 22.5° apart, the last a step short
// of the end", "1 hole". A step that is not a short decimal is shown rounded to `decimals`
// decimals with its exact fraction: "51.4286° apart (exactly 360/7°)"; with `comment`,
// "7 holes over the full circle, 51.4286 DEG apart, exactly 360/7 DEG". No span is the full
// circle.
std::string holesMeaning(std::int64_t count, const std::optional<Angle>& span, bool ends,
                         const Angle& step, int decimals, bool comment = false);

}  // namespace morvanta
