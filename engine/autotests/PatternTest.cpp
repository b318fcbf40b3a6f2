// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/BoltCircleMath.h"
#include "engine/Calculation.h"
#include "engine/ExactDecimal.h"
#include "engine/InputReading.h"
#include "engine/autotests/EngineTestSupport.h"
#include "engine/autotests/MpfrYardstick.h"

using namespace morvanta;

namespace {

// The output a request makes, or its refusal's "input: text".
std::string made(std::string_view name, const Inputs& inputs, std::string_view output = "sheet") {
    const Result<Made> result = makeRequest(*findCalculation(name), inputs);
    if (!result.ok()) {
        return std::string(result.about()) + ": " + result.message();
    }
    const Made& m = result.value();
    const Output& out = output == "csv" ? *m.csv : output == "gcode" ? *m.gcode : m.sheet;
    return out.ok() ? out.write() : out.refusal.input + ": " + out.refusal.text;
}

// A number typed as the commands read it, in any field of decimals: decimalOf("-.25") == {-25, 2}.
ExactDecimal decimalOf(std::string_view text) {
    static constexpr Input kAny{"x", "X", "--x", "X", InputKind::Decimal, "", "", kAnyValue};
    return planned(readInput(kAny, text)).decimal;
}

// The rows of a CSV after its names; a refusal as it stands.
std::vector<std::string> rows(const std::string& csv) {
    std::vector<std::string> lines = linesOf(csv);
    lines.erase(lines.begin(), lines.begin() + (lines.size() > 1 ? 1 : 0));
    return lines;
}

// Worked by hand with cos 60 = 0.5: each X and Y and each move from the hole before, the holes
// left out keeping their numbers. (A turned line's moves taken between rounded places, and a grid
// drilled back and forth, holes left out and taken up later, are pinned in
// cli/autotests/unchanged-outputs.sha256: line 5 ... --angle 30, grid 5 5 ... --from 2.)
TEST(Pattern, shouldLayOutLinesAndGridsAsWorkedByHand) {
    const struct {
        const char* name;
        Inputs inputs;
        std::vector<std::string> expected;
    } cases[] = {
        // 100 over 4 holes is 100/3 apart: hole 3 at 67.67, 33.34 on from hole 2.
        {"line",
         request("count=4 length=100 start=1,-2 decimals=2"),
         {"1,1.00,-2.00,,", "2,34.33,-2.00,33.33,0.00", "3,67.67,-2.00,33.34,0.00",
          "4,101.00,-2.00,33.33,0.00"}},
        // At -300°, 60°, the half pitch is rational: 0.00005, a half, rounds away from zero.
        {"line", request("count=2 pitch=0.0001 angle=-300 from=2"), {"2,0.0001,0.0001,,"}},
        {"coords",
         request("count=4 diameter=100 omit=2 from=1"),
         {"1,0.0000,50.0000,0.0000,,", "3,180.0000,-50.0000,0.0000,-100.0000,0.0000",
          "4,270.0000,0.0000,-50.0000,50.0000,-50.0000"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rows(made(c.name, c.inputs, "csv")), c.expected) << c.name;
    }
}

TEST(Pattern, shouldRefuseWhatNoPatternCanDrill) {
    const struct {
        const char* name;
        Inputs inputs;
        const char* expected;
    } cases[] = {
        {"line", request("count=5"), "pitch: give the spacing with {pitch} or {length}"},
        {"line", request("count=5 pitch=1 length=4"),
         "length: give either {pitch} or {length}, not both"},
        {"line", request("count=1 length=4"), "length: {length} needs at least 2 holes"},
        // (COUNT - 1) x pitch must stay below 10^9: 9999 x 100010.0010002 is 1000000000.0009998.
        {"line", request("count=10000 pitch=100010.0010002"),
         "pitch: the line, ({count} - 1) x {pitch}, must stay below 1000000000"},
        // On the limit itself: 2 x 500000000 is 10^9, not below it.
        {"line", request("count=3 pitch=500000000"),
         "pitch: the line, ({count} - 1) x {pitch}, must stay below 1000000000"},
        {"grid", request("rows=3 columns=4"),
         "pitch: give the spacing along a row and from row to row with {pitch}"},
        {"grid", request("rows=3 columns=1 pitch=1,500000000"),
         "pitch: a row and a column of the grid must each stay below 1000000000 long"},
        {"grid", request("rows=73 columns=137 pitch=1,1"),
         "columns: a grid may have at most 10000 holes; {rows} x {columns} is more"},
        {"line", request("count=5 pitch=1 omit=6"), "omit: {omit} names hole 6; the pattern has 5"},
        {"line", request("count=5 pitch=1 from=6"), "from: {from} names hole 6; the pattern has 5"},
        {"grid", request("rows=1 columns=3 pitch=1,1 omit=3 from=3"),
         "omit: {omit} and {from} leave no hole to drill"},
        {"coords", request("count=6"),
         "diameter: give the size of the circle with {diameter}, {radius} or {chord}"},
        {"coords", request("count=6 radius=5 span=0"), "span: {span} 0 has room for one hole only"},
        {"coords", request("count=6 radius=5 ends"), "ends: {ends} needs {span}"},
        {"coords", request("count=6 radius=5 span=360 ends"),
         "ends: {ends} cannot be used with {span} 360: the last hole would lie on the first"},
        {"coords", request("count=1 radius=5 span=90 ends"), "ends: {ends} needs at least 2 holes"},
        {"coords", request("count=1 chord=5"), "chord: {chord} needs at least 2 holes"},
        {"coords", request("count=6 chord=5 radius=5"),
         "radius: give only one of {diameter}, {radius} and {chord}"},
        // 10000 holes 314160 apart would need a diameter of 1000001696.
        {"coords", request("count=10000 chord=314160"),
         "chord: the diameter that {chord} gives must stay below 1000000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(made(c.name, c.inputs).substr(0, 200), c.expected) << c.name;
    }
    // Each side of the limits: one hole on a span of 0, the longest line and the largest radius are
    // drawn.
    EXPECT_EQ(rows(made("coords", request("count=1 radius=5 span=0"), "csv")),
              std::vector<std::string>{"1,0.0000,5.0000,0.0000,,"});
    EXPECT_EQ(rows(made("line", request("count=10000 pitch=100010.0010001 from=10000"), "csv")),
              std::vector<std::string>{"10000,1000000000.0000,0.0000,,"});
    EXPECT_EQ(rows(made("grid", request("rows=3 columns=1 pitch=1,499999999.99999 from=3"), "csv")),
              std::vector<std::string>{"3,3,1,0.0000,1000000000.0000,,"});
    EXPECT_EQ(rows(made("coords", request("count=1 radius=499999999.999999999"), "csv")),
              std::vector<std::string>{"1,0.0000,500000000.0000,0.0000,,"});
    EXPECT_EQ(rows(made("grid", request("rows=100 columns=100 pitch=1,1 from=10000"), "csv")),
              std::vector<std::string>{"10000,100,1,0.0000,99.0000,,"});
}

// The faults of the bolt circle's table: an angle that rounds up to 360 reads 0, as the sheet
// has it, and the formula says what is worked out for each zero and direction (from east
// counter-clockwise it is pinned).
TEST(Pattern, shouldWriteTheBoltCircleAsItIsWorkedOut) {
    EXPECT_EQ(rows(made("coords", request("count=1 radius=10 start=359.99999"), "csv")),
              std::vector<std::string>{"1,0.0000,10.0000,0.0000,,"});
    const Inputs arc = request("count=2 radius=10 span=359.999999999 ends");
    EXPECT_EQ(rows(made("coords", arc, "csv")).back(), "2,0.0000,10.0000,0.0000,0.0000,0.0000");
    const std::string table = made("coords", arc);
    EXPECT_NE(table.find("   2  0.0000  0°00'00.0\"  10.0000  0.0000  0.0000  0.0000\n"),
              std::string::npos)
        << table;
    const struct {
        const char* words;
        const char* formula;
    } cases[] = {
        {"zero=east cw", "X, Y: centre + radius x cos, -sin of the angle,"},
        {"zero=north", "X, Y: centre + radius x -sin, cos of the angle,"},
        {"zero=north cw", "X, Y: centre + radius x sin, cos of the angle,"},
    };
    for (const auto& c : cases) {
        const std::string sheet =
            made("coords", request(std::string("count=3 radius=10 ") + c.words));
        EXPECT_NE(sheet.find(c.formula), std::string::npos) << c.formula;
    }
}

using yardstick::Real;

// base + a cos t + b sin t, rounded to `decimals` halves away from zero.
std::int64_t yardstickOf(const std::string& base, const std::string& a, const std::string& b,
                         const std::string& degrees, int decimals) {
    const Real t(degrees);
    return yardstick::rounded(
        Real(base) + Real(a) * yardstick::cosDeg(t) + Real(b) * yardstick::sinDeg(t), decimals);
}

// Random sums of two terms at every kind of angle, checked against MPFR: multiples of 15° (where
// the sum may be rational and lie on a half), and any angle of up to 9 decimals.
TEST(Pattern, shouldRoundEveryTurnedPointCorrectly) {
    std::mt19937_64 random(20261207);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    // A signed number of up to `whole` digits (half the time one) and `places` decimals.
    const auto decimal = [&](int whole, int places) {
        const int below = pick(0, 1) == 1 ? 10 : static_cast<int>(std::pow(10, whole));
        std::string text =
            (pick(0, 1) == 1 ? "-" : "") + std::to_string(pick(0, 999'999'999) % below);
        for (int i = 0; i < places; ++i) {
            text += (i == 0 ? "." : "") + std::to_string(pick(0, 9));
        }
        return text;
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string angle =
            pick(0, 1) == 1 ? std::to_string(15 * pick(-48, 48)) : decimal(3, pick(0, 9));
        const std::string a = decimal(pick(0, 9), pick(0, 9));
        // Half the time b is a or -a, so that the parts at 45° cancel.
        const std::string b = pick(0, 1) == 1 ? (a[0] == '-' ? a.substr(1) : a) : decimal(9, 5);
        const std::string base = decimal(pick(0, 9), pick(0, 9));
        const int decimals = pick(0, 8);
        TurnedRounding turned(degreesOf(angle));
        const std::optional<std::int64_t> got =
            turned.rounded(decimalOf(base), decimalOf(a), decimalOf(b), decimals);
        ASSERT_TRUE(got) << base << " " << a << " " << b << " " << angle;
        ASSERT_EQ(*got, yardstickOf(base, a, b, angle, decimals))
            << base << " + " << a << " cos " << angle << " + " << b << " sin, " << decimals;
    }
}

// Sums a few parts in 10^10 from a half, where long double cannot tell the side: the base made so
// that the sum lands next to a half, then nudged by a few 10^-9.
TEST(Pattern, shouldDecideTurnedPointsNextToARoundingBoundary) {
    const std::string a = "987654321.987654321";
    const std::string b = "-123456789.123456789";
    for (const char* angle : {"15", "22.5", "1", "7.3", "123.456789"}) {
        const std::int64_t near = yardstickOf("0", a, b, angle, 0);
        for (int nudge = -3; nudge <= 3; ++nudge) {
            // base = near + 1/2 - (a cos + b sin), cut to 9 decimals, plus the nudge.
            const Real t(angle);
            const Real v = (Real(near) + Real("0.5") - Real(a) * yardstick::cosDeg(t) -
                            Real(b) * yardstick::sinDeg(t)) *
                           Real(1'000'000'000L);
            const std::int64_t units = mpfr_get_sj(v.get(), MPFR_RNDZ) + nudge;
            const ExactDecimal base{units, 9};
            const std::string text = exactDecimalText(base);
            TurnedRounding turned(degreesOf(angle));
            const std::optional<std::int64_t> got =
                turned.rounded(base, decimalOf(a), decimalOf(b), 0);
            ASSERT_TRUE(got) << angle << " " << text;
            EXPECT_EQ(*got, yardstickOf(text, a, b, angle, 0)) << angle << " base " << text;
        }
    }
}

}  // namespace
