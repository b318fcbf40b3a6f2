// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ExactDecimal.h"
#include "engine/Indexing.h"
#include "engine/ProvenSign.h"
#include "engine/Rational.h"
#include "engine/Report.h"
#include "engine/Result.h"

namespace morvanta {

// What the work cut with the dividing head shares (a gear, flats, a helix): exact rationals
// written correctly rounded, and the indexing of the count of teeth or flats, planned and written
// exactly as index plans and writes it.

// An exact ratio of 128-bit parts, in lowest terms, its sign on the numerator: the lengths of a
// helix and a gear, whose differences outgrow Rational's int64 (a lead of 99999.9999 made of four
// gears of 1000 teeth, less a lead given to 4 decimals).
struct Ratio {
    WideInt numerator = 0;
    WideInt denominator = 1;
    friend bool operator==(const Ratio&, const Ratio&) = default;
    friend bool operator<(const Ratio& a, const Ratio& b) {
        return a.numerator * b.denominator < b.numerator * a.denominator;
    }
};

// numerator / denominator (denominator not 0) in lowest terms: ratioOf(10, -4) == {-5, 2}.
Ratio ratioOf(WideInt numerator, WideInt denominator);
Ratio ratioOf(const Rational& value);
Ratio operator*(const Ratio& a, const Ratio& b);
Ratio operator/(const Ratio& a, const Ratio& b);
Ratio operator+(const Ratio& a, const Ratio& b);
Ratio operator-(const Ratio& a, const Ratio& b);
// "77/125", "6".
std::string ratioText(const Ratio& ratio);

// numerator / denominator (denominator above 0) as a count of 10^-decimals (0 to 9), an exact half
// away from zero: roundedRatio(2157, 8000, 4) == 2696 (0.269625 in), roundedRatio(-1, 8, 2) == -13.
// The product numerator x 10^decimals must fit 126 bits.
std::int64_t roundedRatio(WideInt numerator, WideInt denominator, int decimals);

// The same written with its decimals, never "-0": roundedText(2157, 8000, 4) == "0.2696",
// roundedText(-1, 1000, 2) == "0.00". With `plus`, a "+" before a value that is not written as 0.
std::string roundedText(WideInt numerator, WideInt denominator, int decimals, bool plus = false);

// A count of 10^-decimals written with a "+" before a value that is not written as 0:
// signedUnitsText(12, 4) == "+0.0012", signedUnitsText(0, 2) == "0.00".
std::string signedUnitsText(std::int64_t units, int decimals);

// The decimal as a whole number of 10^-scale (scale not below its own, at most 18 in all):
// unitsOf({125, 1}, 3) == 12500.
WideInt unitsOf(const ExactDecimal& number, int scale);

// The nearest double, for estimates and sketches: approximately({125, 1}) == 12.5.
double approximately(const ExactDecimal& number);
// The nearest long double, for the estimates that exact signs then confirm:
// approximately(ratioOf(1, 4)) == 0.25L.
long double approximately(const Ratio& ratio);

// π to the precision of the estimates above.
inline constexpr long double kPi = std::numbers::pi_v<long double>;

// The refusal of a plan, naming its input by id ("" for the plan as a whole), with the limit and
// the value that broke it where there are figures:
//   refused<HelixPlan>("gears", "{gears} must list at least two gears to make a train")
template <typename Plan>
Result<Plan> refused(std::string_view input, std::string text, std::string limit = {},
                     std::string value = {}) {
    return Result<Plan>::failure(
        Refusal{std::string(input), std::move(text), std::move(limit), std::move(value)});
}

// Why a plan is refused when a figure of it cannot be rounded with certainty.
inline constexpr std::string_view kUndecidedMessage =
    "a figure lies too close to a rounding boundary to be rounded with certainty";

// The plan of `count` divisions on the head the values give (ratio, plates, gears, as
// kRatioInput, kPlatesInput and kGearsInput read them), refused as indexHead refuses a head.
Result<IndexPlan> planDivisions(const Values& values, std::int64_t count);

// The work's report, title and notes, followed by the indexing as index writes it: its title as a
// note, then its notes, its division table with each division's move and its footer.
Report withIndexing(Report work, const IndexPlan& plan);

}  // namespace morvanta
