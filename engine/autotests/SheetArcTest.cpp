// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/SettingSheet.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

SheetPlan planOf(const SheetArguments& arguments) {
    const SheetPlanResult result = planSheet(arguments);
    EXPECT_TRUE(result.ok()) << result.message();
    return result.ok() ? result.value() : SheetPlan{};
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
        std::string_view message;
        const char* about;
    } cases[] = {
        {{"1"}, kSheetHolesMessage, "count"},
        {{"7", "0"}, kSheetRatioMessage, "ratio"},
        {{"7", "7"}, kSheetRatioTurnMessage, "ratio"},
        {{"7", "90", "0"}, kSheetDialMessage, "dial"},
        {{"7", {}, "240"}, kSheetDialWithoutRatioMessage, "dial"},
        {{"7", "90", "128"}, kSheetGraduationMessage, "dial"},
        {{"7", {}, {}, "10"}, kSheetResolutionMessage, "resolution"},
        {{"7", "90", "240", "30s"}, kSheetResolutionDialMessage, "resolution"},
        {{"10000", {}, {}, "3m"}, kSheetTooCoarseMessage, "resolution"},
        {{.holes = "7", .start = "north"}, kStartMessage, "start"},
        {{.holes = "7", .start = "100000"}, kStartMessage, "start"},
        {{.holes = "7", .span = "0"}, kSheetSpanMessage, "span"},
        {{.holes = "7", .span = "-90"}, kSheetSpanMessage, "span"},
        {{.holes = "7", .span = "360.1"}, kSheetSpanMessage, "span"},
        {{.holes = "7", .ends = true}, kEndsWithoutSpanMessage, "ends"},
        {{.holes = "7", .span = "360", .ends = true}, kEndsFullMessage, "ends"},
        // 1' is no coarser than 360° / 1000, but coarser than 10° / 999.
        {{.holes = "1000", .resolution = "1m", .span = "10", .ends = true},
         kSheetTooCoarseMessage,
         "resolution"},
        {{.holes = "7", .csv = true, .gcode = true}, kCsvAndGcodeMessage, "gcode"},
        {{.holes = "7", .ratio = "90", .gcode = true}, kSheetGcodeManualMessage, "gcode"},
        {{.holes = "7", .resolution = "1m", .gcode = true}, kSheetGcodeManualMessage, "gcode"},
        {{.holes = "7", .gcode = true, .axis = "X"}, kSheetAxisMessage, "axis"},
        {{.holes = "7", .gcode = true, .axis = "a"}, kSheetAxisMessage, "axis"},
        {{.holes = "7", .gcode = true, .decimals = "9"}, kDecimalsMessage, "decimals"},
        {{.holes = "7", .axis = "B"}, kSheetGcodeOnlyMessage, "axis"},
        {{.holes = "7", .decimals = "2"}, kSheetGcodeOnlyMessage, "decimals"},
    };
    for (const auto& c : cases) {
        const SheetPlanResult result = planSheet(c.arguments);
        ASSERT_TRUE(result.isMessage()) << c.message;
        EXPECT_EQ(result.message(), c.message);
        EXPECT_EQ(result.about(), c.about) << c.message;
    }
}

TEST(SheetArc, shouldSetHolesOverAnArcFromTheStart) {
    // 15° apart from 10°: every angle is whole minutes, so every dial setting is exact.
    const SheetPlan plan = planOf(
        {.holes = "7", .ratio = "90", .dial = "240", .start = "10", .span = "90", .ends = true});
    const std::vector<std::string> lines = linesOf(sheetText(plan));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[4], "Holes: 7 holes over 90°, a hole at each end, 15° apart");
    EXPECT_EQ(lines[5],
              "Angle: each hole's exact angle 10° + (hole - 1) x 15°, within one turn, rounded on "
              "its own");
    EXPECT_EQ(lines[6],
              "Turns: whole handwheel turns from the table at zero; Dial: graduations past them");
    EXPECT_EQ(lines[10], "   1   10°00'00\"      2   120  0.00\"");  // 8° + 120'
    EXPECT_EQ(lines[16], "   7  100°00'00\"     25     0  0.00\"");
    EXPECT_EQ(lines[17], "Largest error: 0.00\" (every setting is exact)");
}

TEST(SheetArc, shouldRoundEachHoleFromItsOwnExactAngle) {
    // 0.5° + (k - 1) x 360° / 7: hole 2 at 51°55'42.857", hole 7 at 309°04'17.143".
    const SheetPlan half = planOf({.holes = "7", .start = "0.5"});
    EXPECT_EQ(angleText(holeSetting(half, 2).angle), "51°55'43\"");
    EXPECT_EQ(errorText(holeSetting(half, 2).errorTimesHoles, half.errorDenominator), "+0.14");
    EXPECT_EQ(angleText(holeSetting(half, 7).angle), "309°04'17\"");
    EXPECT_EQ(errorText(holeSetting(half, 7).errorTimesHoles, half.errorDenominator), "-0.14");

    // 359.9999° is 359°59'59.64": to the minute it is 360°, set as 0°00' and 0.36" off.
    const SheetPlan wrap = planOf({.holes = "3", .resolution = "1m", .start = "359.9999"});
    const std::string csv = sheetCsv(wrap);
    EXPECT_EQ(csv,
              "hole,degrees,minutes,seconds,error\n1,0,0,0,0.3600\n2,120,0,0,0.3600\n"
              "3,240,0,0,0.3600\n");
    EXPECT_NE(sheetText(wrap).find("\n   1    0°00'00\"  +0.36\"\n"), std::string::npos);
    EXPECT_TRUE(sheetText(wrap).ends_with("Largest error: 0.36\" (hole 1)\n"));

    // Clockwise, the holes go the other way round from the start.
    const SheetPlan clockwise =
        planOf({.holes = "4", .start = "10", .span = "90", .clockwise = true});
    const std::vector<std::string> lines = linesOf(sheetText(clockwise));
    EXPECT_EQ(lines[3],
              "Angle: each hole's exact angle -(10° + (hole - 1) x 22.5°), clockwise, within one "
              "turn, rounded on its own");
    EXPECT_EQ(lines[7], "   1  350°00'00\"  0.00\"");
    EXPECT_EQ(lines[10], "   4  282°30'00\"  0.00\"");
}

TEST(SheetArc, shouldKeepTheFullCircleFromZeroAsItWas) {
    // The error's denominator stays the count of holes, which the sheets have always used.
    for (const char* holes : {"2", "7", "360", "9999"}) {
        const SheetPlan plan = planOf({holes});
        EXPECT_EQ(plan.errorDenominator, plan.holes);
        EXPECT_FALSE(plan.arc);
    }
    EXPECT_EQ(sheetText(planOf({"7"})),
              "Setting sheet: 7 holes\n"
              "Resolution: 1\", halves rounded up\n"
              "Angle: each hole's exact angle (hole - 1) x 360° / 7, rounded on its own\n"
              "Error: angle set minus exact angle, in seconds of arc\n"
              "\n"
              "Hole       Angle   Error\n"
              "   1    0°00'00\"   0.00\"\n"
              "   2   51°25'43\"  +0.14\"\n"
              "   3  102°51'26\"  +0.29\"\n"
              "   4  154°17'09\"  +0.43\"\n"
              "   5  205°42'51\"  -0.43\"\n"
              "   6  257°08'34\"  -0.29\"\n"
              "   7  308°34'17\"  -0.14\"\n"
              "Largest error: 0.43\" (hole 4)\n");
}

// The program read back line by line; each A is checked against the exact angle worked out with
// plain long division on decimal strings.
TEST(SheetArc, shouldWriteARotaryProgramOfTheExactAnglesRounded) {
    std::mt19937_64 random(5);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 300; ++i) {
        // Now and then the most holes and the largest start, whose sum needs Angle's whole range.
        const bool largest = i % 50 == 0;
        const int holes = largest ? 9999 : pick(2, 40);
        const int startThousandths =
            largest ? (i % 100 == 0 ? 99'999'999 : -99'999'999) : pick(-400'000, 400'000);
        const int spanThousandths = pick(0, 2) == 0 ? 0 : pick(1, 360'000);
        const bool ends = spanThousandths != 0 && spanThousandths != 360'000 && pick(0, 1) == 1;
        const bool clockwise = pick(0, 1) == 1;
        const int decimals = pick(0, 8);
        const char axis = "ABC"[pick(0, 2)];
        const auto thousandths = [](int n) {
            std::string text = n < 0 ? "-" : "";
            text += std::to_string(std::abs(n) / 1000);
            text += '.';
            text += std::to_string(1000 + std::abs(n) % 1000).substr(1);
            return text;
        };
        const std::string startText = thousandths(startThousandths);
        const std::string spanText = thousandths(spanThousandths);
        const std::string decimalsText = std::to_string(decimals);
        const std::string axisText(1, axis);
        const std::string holesText = std::to_string(holes);
        SheetArguments arguments{holesText};
        arguments.start = startText;
        if (spanThousandths != 0) {
            arguments.span = spanText;
        }
        arguments.ends = ends;
        arguments.clockwise = clockwise;
        arguments.gcode = true;
        arguments.axis = axisText;
        arguments.decimals = decimalsText;
        const SheetPlanResult plan = planSheet(arguments);
        ASSERT_TRUE(plan.ok()) << plan.message();
        const std::string program = sheetGcode(plan.value());
        const std::vector<std::string> lines = linesOf(program);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(2 * holes + 7)) << program;
        EXPECT_EQ(lines.front(), "%");
        EXPECT_EQ(lines[lines.size() - 2], "M30");
        EXPECT_EQ(lines.back(), "%");
        for (std::size_t l = 1; l <= 4; ++l) {
            EXPECT_TRUE(lines[l].front() == '(' && lines[l].back() == ')') << lines[l];
            EXPECT_EQ(lines[l].find('(', 1), std::string::npos) << lines[l];
        }
        const std::int64_t span = spanThousandths == 0 ? 360'000 : spanThousandths;
        const std::int64_t divisions = ends ? holes - 1 : holes;
        std::string previous;
        for (int k = 1; k <= holes; ++k) {
            const std::string& move = lines[static_cast<std::size_t>(3 + 2 * k)];
            EXPECT_EQ(lines[static_cast<std::size_t>(4 + 2 * k)],
                      "M0 (HOLE " + std::to_string(k) + ")");
            ASSERT_EQ(move.substr(0, 8), "G90 G0 " + axisText) << move;
            std::string value = move.substr(8);
            // (start + (k - 1) x span / divisions) in thousandths of a degree, over divisions.
            const std::int64_t numerator =
                (startThousandths * divisions + (k - 1) * span) * (clockwise ? -1 : 1);
            std::string expected = decimal::roundHalfAway(
                decimal::longDivision(numerator, divisions * 1000, decimals + 2), decimals);
            if (decimals == 0) {
                expected += '.';
            }
            EXPECT_EQ(value, expected) << move;
            // Every step of one sign, with no wrap at 360: the axis never turns back.
            if (!previous.empty() && value != previous) {
                EXPECT_EQ(std::stod(value) > std::stod(previous), !clockwise) << program;
            }
            previous = value;
        }
    }
}

}  // namespace
