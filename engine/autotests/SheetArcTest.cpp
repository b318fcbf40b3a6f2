// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/SettingSheet.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

SheetPlan planOf(const SheetArguments& arguments) {
    return planned(planSheet(arguments));
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(SheetArc, shouldNameTheFieldOfEveryRefusal) {
    const struct {
        SheetArguments arguments;
        const char* about;
        std::string_view message;
    } cases[] = {
        // clang-format off
        {{.holes = "7", .start = "100000"}, "start", kStartMessage},
        {{.holes = "7", .span = "0"}, "span", kSheetSpanMessage},
        {{.holes = "7", .span = "360.1"}, "span", kSheetSpanMessage},
        {{.holes = "7", .ends = true}, "ends", kEndsWithoutSpanMessage},
        {{.holes = "7", .span = "360", .ends = true}, "ends", kEndsFullMessage},
        // 1' is no coarser than 360° / 1000, but coarser than 10° / 999.
        {{.holes = "1000", .resolution = "1m", .span = "10", .ends = true}, "resolution",
         kSheetTooCoarseMessage},
        {{.holes = "7", .csv = true, .gcode = true}, "gcode", kCsvAndGcodeMessage},
        {{.holes = "7", .ratio = "90", .gcode = true}, "gcode", kSheetGcodeManualMessage},
        {{.holes = "7", .gcode = true, .axis = "a"}, "axis", kSheetAxisMessage},
        {{.holes = "7", .gcode = true, .decimals = "9"}, "decimals", kDecimalsMessage},
        {{.holes = "7", .axis = "B"}, "axis", kSheetGcodeOnlyMessage},
        {{.holes = "7", .decimals = "2"}, "decimals", kSheetGcodeOnlyMessage},
        // clang-format on
    };
    for (const auto& c : cases) {
        expectRefused(planSheet(c.arguments), c.about, c.message);
    }
}

TEST(SheetArc, shouldSetHolesOverAnArcFromTheStart) {
    // 15° apart from 10°: every angle is whole minutes, so every dial setting is exact.
    const std::vector<std::string> lines = linesOf(sheetText(planOf(
        {.holes = "7", .ratio = "90", .dial = "240", .start = "10", .span = "90", .ends = true})));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[5],
              "Angle: each hole's exact angle 10° + (hole - 1) x 15°, within one turn, rounded on "
              "its own");
    EXPECT_EQ(lines[6],
              "Turns: whole handwheel turns from the table at zero; Dial: graduations past them");
    EXPECT_EQ(lines[10], "   1   10°00'00\"      2   120  0.00\"");  // 8° + 120'
    EXPECT_EQ(lines[17], "Largest error: 0.00\" (every setting is exact)");

    // Clockwise, the holes go the other way round from the start.
    const std::vector<std::string> clockwise =
        linesOf(sheetText(planOf({.holes = "4", .start = "10", .span = "90", .clockwise = true})));
    EXPECT_EQ(clockwise[3],
              "Angle: each hole's exact angle -(10° + (hole - 1) x 22.5°), clockwise, within one "
              "turn, rounded on its own");
    EXPECT_EQ(clockwise[7], "   1  350°00'00\"  0.00\"");
    EXPECT_EQ(clockwise[10], "   4  282°30'00\"  0.00\"");
}

TEST(SheetArc, shouldRoundEachHoleFromItsOwnExactAngle) {
    // 0.5° + (k - 1) x 360° / 7: hole 2 at 51°55'42.857", hole 7 at 309°04'17.143".
    const SheetPlan half = planOf({.holes = "7", .start = "0.5"});
    for (const std::int64_t hole : {2, 7}) {
        const HoleSetting setting = holeSetting(half, hole);
        EXPECT_EQ(angleText(setting.angle) + " " +
                      errorText(setting.errorTimesHoles, half.errorDenominator),
                  hole == 2 ? "51°55'43\" +0.14" : "309°04'17\" -0.14");
    }
    // 359.9999° is 359°59'59.64": to the minute it is 360°, set as 0°00' and 0.36" off.
    const SheetPlan wrap = planOf({.holes = "3", .resolution = "1m", .start = "359.9999"});
    EXPECT_EQ(sheetCsv(wrap),
              "hole,degrees,minutes,seconds,error\n1,0,0,0,0.3600\n2,120,0,0,0.3600\n"
              "3,240,0,0,0.3600\n");
    EXPECT_TRUE(sheetText(wrap).ends_with("Largest error: 0.36\" (hole 1)\n"));
}

// Random programs read back line by line; each A is checked against the exact angle worked out
// with plain long division on decimal strings.
TEST(SheetArc, shouldWriteARotaryProgramOfTheExactAnglesRounded) {
    std::mt19937_64 random(5);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto thousandths = [](int n) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%d.%03d", n < 0 ? "-" : "", std::abs(n) / 1000,
                      std::abs(n) % 1000);
        return std::string(text);
    };
    for (int i = 0; i < 300; ++i) {
        // Now and then the most holes and the largest start, whose sum needs Angle's whole range.
        const bool largest = i % 50 == 0;
        const int holes = largest ? 9999 : pick(2, 40);
        const int start =
            largest ? (i % 100 == 0 ? 99'999'999 : -99'999'999) : pick(-400'000, 400'000);
        const int span = pick(0, 2) == 0 ? 0 : pick(1, 360'000);  // 0: the full circle
        const bool ends = span != 0 && span != 360'000 && pick(0, 1) == 1;
        const int decimals = pick(0, 8);
        const std::string texts[] = {std::to_string(holes), thousandths(start), thousandths(span),
                                     std::string(1, "ABC"[pick(0, 2)]), std::to_string(decimals)};
        const SheetArguments arguments{
            .holes = texts[0],
            .start = texts[1],
            .span = span == 0 ? std::nullopt : std::optional<std::string_view>(texts[2]),
            .ends = ends,
            .clockwise = pick(0, 1) == 1,
            .gcode = true,
            .axis = texts[3],
            .decimals = texts[4]};
        const std::vector<std::string> lines = linesOf(sheetGcode(planOf(arguments)));
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(2 * holes + 7));
        EXPECT_EQ(lines.front() + lines[lines.size() - 2] + lines.back(), "%M30%");
        for (std::size_t l = 1; l <= 4; ++l) {
            EXPECT_TRUE(lines[l].front() == '(' &&
                        lines[l].find_first_of("()", 1) == lines[l].size() - 1)
                << lines[l];
        }
        const std::int64_t divisions = ends ? holes - 1 : holes;
        const std::int64_t arc = span == 0 ? 360'000 : span;
        for (int k = 1; k <= holes; ++k) {
            EXPECT_EQ(lines[static_cast<std::size_t>(4 + 2 * k)],
                      "M0 (HOLE " + std::to_string(k) + ")");
            const std::string& move = lines[static_cast<std::size_t>(3 + 2 * k)];
            ASSERT_EQ(move.substr(0, 8), "G90 G0 " + texts[3]) << move;
            // (start + (k - 1) x span / divisions) in thousandths of a degree, over divisions.
            const std::int64_t numerator =
                (start * divisions + (k - 1) * arc) * (arguments.clockwise ? -1 : 1);
            const std::string expected = decimal::roundHalfAway(
                decimal::longDivision(numerator, divisions * 1000, decimals + 2), decimals);
            // Not brought within a turn: the axis turns the same way to every hole.
            EXPECT_EQ(move.substr(8), decimals == 0 ? expected + "." : expected) << move;
        }
    }
}

}  // namespace
