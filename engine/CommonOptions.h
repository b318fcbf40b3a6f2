// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/Angle.h"

namespace morvanta {

// What the bolt circle and the setting sheet read alike: the start angle, a hole at each end of an
// arc, and the decimals they write; with the messages that refuse them, the same for both.

// Start angles stay below this many degrees in size, so that start + (k - 1) x step, not brought
// within a turn where a program runs on from the start, stays within Angle's domain.
inline constexpr std::int64_t kMaxStartDegrees = 100'000;
inline constexpr int kMaxWrittenDecimals = 8;
// The decimals of degrees and coordinates when none are asked for.
inline constexpr int kDefaultWrittenDecimals = 4;

// A start angle: degrees as Angle::parseDecimal reads them, below kMaxStartDegrees in size.
// "15", "-22.5" and "99999.999999999" are starts; "east", "100000" and "-100000" are not.
std::optional<Angle> parseStartAngle(std::string_view text);

// Why the holes cannot have one at each end of the arc: without a span (kEndsWithoutSpanMessage),
// or with a span of 360°, where the last hole would lie on the first (kEndsFullMessage); nothing
// when they can.
std::optional<std::string_view> endsComplaint(const std::optional<Angle>& span);

// A whole number of decimals from 0 to kMaxWrittenDecimals: "4" -> 4; "9", "-1", "4.0" -> nothing.
std::optional<int> parseWrittenDecimals(std::string_view text);

inline constexpr std::string_view kStartMessage =
    "the start angle must be a number of degrees below 100000 in size, such as 15 or -22.5";
inline constexpr std::string_view kEndsWithoutSpanMessage = "--ends needs a --span";
inline constexpr std::string_view kEndsFullMessage =
    "--ends cannot be used with a span of 360: the last hole would lie on the first";
inline constexpr std::string_view kDecimalsMessage =
    "the decimals must be a whole number from 0 to 8";
inline constexpr std::string_view kCsvAndGcodeMessage = "give either --csv or --gcode, not both";

}  // namespace morvanta
