// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/Angle.h"
#include "engine/Calculation.h"

namespace morvanta {

// What the bolt circle and the setting sheet take alike: the start angle, the direction, a hole at
// each end of an arc and the decimals they write, each input described once for both.

// Start angles stay below this many degrees in size, so that start + (k - 1) x step, not brought
// within a turn where a program runs on from the start, stays within Angle's domain.
inline constexpr std::int64_t kMaxStartDegrees = 100'000;
inline constexpr int kMaxWrittenDecimals = 8;
// The decimals of degrees and coordinates when none are asked for.
inline constexpr int kDefaultWrittenDecimals = 4;

inline constexpr Input kStartInput{
    "start", "Start angle", "--start", "A", InputKind::Degrees, "°", "0",
    sizeBelow(kMaxStartDegrees), "the angle of hole 1 in degrees, such as 15 or -22.5"};
inline constexpr Input kEndsInput{
    "ends", "Hole at each end", "--ends", "", InputKind::Switch, "", "", kAnyValue,
    "with {span}: a hole at each end of the arc, span / ({count} - 1) apart"};
inline constexpr Input kDecimalsInput{
    "decimals", "Decimal digits", "--decimals", "N", InputKind::Count, "", "4",
    within(0, kMaxWrittenDecimals), "decimals of the numbers written, each correctly rounded"};

// Why the holes cannot have one at each end of the arc: without a span (kEndsWithoutSpanMessage),
// or with a span of 360°, where the last hole would lie on the first (kEndsFullMessage); nothing
// when they can.
std::optional<std::string_view> endsComplaint(const std::optional<Angle>& span);

inline constexpr std::string_view kEndsWithoutSpanMessage = "{ends} needs {span}";
inline constexpr std::string_view kEndsFullMessage =
    "{ends} cannot be used with {span} 360: the last hole would lie on the first";

}  // namespace morvanta
