// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/Calculation.h"
#include "engine/DrillProgram.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// What every hole pattern (bolt circle, line, grid) shares once its holes are worked out: which
// of them are drilled (--omit, --from), the move from one drilled hole to the next for a read-out
// in incremental mode, and the rows of its table and CSV.
//
// The holes keep their numbers in the whole pattern whatever is left out: `--omit 3,7-9 --from 2`
// on 10 holes drills 2, 4, 5, 6 and 10, and the table lists them so. dX and dY are the moves from
// the hole drilled before, the difference of the two rounded positions (what a read-out shows
// when its axes are zeroed at each hole), and blank for the first hole drilled, where the
// machinist sets up from the table's absolute X and Y.

inline constexpr std::int64_t kMaxPatternHoles = 10'000;

// clang-format off
inline constexpr Input kOmitInput{
    "omit", "Leave out", "--omit", "LIST", InputKind::List, "", "",
    within(1, kMaxPatternHoles).runs().items(kMaxPatternHoles),
    "leave these holes out, such as 3,7-9; the others keep their numbers"};
inline constexpr Input kFromInput{
    "from", "Start at hole", "--from", "K", InputKind::Count, "", "1", within(1, kMaxPatternHoles),
    "start at hole K, as when a job broken off is taken up again; the holes before it are left "
    "out"};
// clang-format on

// The holes drilled of a pattern of `count`.
class HoleChoice {
public:
    HoleChoice() = default;
    explicit HoleChoice(std::int64_t count)
        : count_(count), left_(static_cast<std::size_t>(count)) {}

    // From the request's "omit" and "from": refused where they name a hole the pattern does not
    // have or leave none:
    //   10 holes, {"omit": "12"} -> "{omit} names hole 12; the pattern has 10"
    //   2 holes, {"omit": "1", "from": "2"} -> "{omit} and {from} leave no hole to drill"
    static Result<HoleChoice> read(const Values& values, std::int64_t count);

    bool drills(std::int64_t number) const;
    bool all() const { return from_ == 1 && omitted_ == 0; }
    std::int64_t count() const { return count_; }
    // What is left out, in words, or "" for none: "from hole 2, leaving out 3 and 7-9".
    std::string text() const;

private:
    std::int64_t count_ = 0;
    std::int64_t from_ = 1;
    std::int64_t omitted_ = 0;
    std::vector<bool> left_;  // by number - 1
};

// The drilled holes of a pattern whose holes are numbered 1 to holes.size() in that order.
std::vector<DrillHole> drilledHoles(const HoleChoice& choice, std::span<const DrillHole> holes);

// The note on the moves, for a table's header.
inline constexpr std::string_view kMovesNote =
    "dX, dY: rounded X, Y minus those of the hole drilled before; blank for the first hole drilled";

// The rows of the drilled holes: the cells `lead` gives for the hole's index in `holes` (its
// number, its angle...), then X, Y, dX and dY with `decimals` decimals.
void addPatternRows(Report& report, std::span<const DrillHole> holes, const HoleChoice& choice,
                    int decimals, const std::function<std::vector<std::string>(std::size_t)>& lead);

// The same as CSV rows, LF breaks, the cells joined by commas:
// "3,...,10.0000,5.0000,2.5000,0.0000".
std::string patternCsv(std::string_view header, std::span<const DrillHole> holes,
                       const HoleChoice& choice, int decimals,
                       const std::function<std::vector<std::string>(std::size_t)>& lead);

// The holes of a sketch: each drilled hole numbered at its rounded position, each left out as a
// thin guide circle, the holes' radius a fraction of the pattern's size; and the hole numbers of
// the first holes drilled as texts.
void sketchHoles(Sketch& sketch, std::span<const DrillHole> holes, const HoleChoice& choice,
                 int decimals, double radius);

// The drilling program of a pattern: its description, then the holes drilled, with a comment
// saying which are left out.
Output patternProgram(const Values& values, int decimals, std::vector<std::string> about,
                      std::span<const DrillHole> holes, const HoleChoice& choice);

}  // namespace morvanta
