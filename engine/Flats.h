// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Calculation.h"
#include "engine/ExactDecimal.h"
#include "engine/Indexing.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// Flats milled on round stock held in the dividing head: N flats (4 a square, 6 a hexagon) on a
// diameter D, one after each division of N. Each flat lies at half the size across flats, F / 2,
// from the axis, and spans 2 x 180° / N of the round, so with t = 180° / N:
// - flats that meet at the corners, just on the round, lie F = D x cos t across;
// - each is cut (D - F) / 2 deep;
// - a flat is sqrt(D^2 - F^2) wide while round is left between flats (F above D x cos t), and
//   F x tan t wide where the flats meet before the round (F below D x cos t), their corners then
//   lying F / cos t across.
// The lengths are in whatever unit D is given in. D - F is exact; the square root is rounded
// exactly in whole numbers; the cosines, sines and tangents are irrational (but for t = 60° or
// 90°: 3 or 2 flats) and are bounded with a proven error until the rounding is certain.
//
// A hexagon on 30 round: 25.9808 across flats, 2.0096 deep, each flat 15.0000 wide; with 26 across
// flats asked, 2.0000 deep and each flat sqrt(900 - 676) = 14.9666 wide.

inline constexpr std::int64_t kMaxFlats = 1'000;
inline constexpr int kFlatsWholeDigits = 5;
inline constexpr int kFlatsDecimals = 4;

enum class FlatsMeet {
    OnTheRound,  // at the corners, just on the round: F = D x cos t
    Apart,       // round left between the flats
    Inside,      // the flats meet before the round: sharp corners at F / cos t
};

// A checked request with its figures worked out, each a count of 10^-decimals.
struct FlatsPlan {
    std::int64_t count = 0;
    ExactDecimal diameter;
    std::optional<ExactDecimal> across;  // as given; nothing for flats meeting on the round
    int decimals = 4;
    FlatsMeet meet = FlatsMeet::OnTheRound;
    std::int64_t acrossFlats = 0;  // as given, or D x cos t
    std::int64_t depth = 0;
    std::int64_t width = 0;
    std::int64_t corners = 0;  // across the corners: D, but F / cos t for Inside
    std::int64_t meetsAt = 0;  // D x cos t, where the flats would meet on the round
    IndexPlan indexing;
};

extern const Calculation kFlatsCalculation;

// Works out the flats from inputs read against kFlatsCalculation. Refused: no diameter, flats as
// large as the round or larger ("{across} must be below {diameter}"), two flats without {across} (two flats
// never meet), a head indexHead refuses, and a figure that cannot be rounded with certainty.
Result<FlatsPlan> planFlats(const Values& values);

// Title, the figures with how each was found, then the indexing of N as index writes it:
//   Flats: 6 flats on a diameter of 30
//   Across flats: 30 x cos(180°/6) = 25.9808, the flats meeting at the corners on the round
//   ...
Report flatsReport(const FlatsPlan& plan);
std::string flatsText(const FlatsPlan& plan);

// The round, the flats and where they meet, each flat numbered as it is indexed (flat 1 at the
// top), the size across flats and the diameter.
Sketch flatsSketch(const FlatsPlan& plan);

}  // namespace morvanta
