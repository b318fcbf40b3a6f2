// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/SettingSheet.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

TEST(SheetArc, shouldRefuseAnArcOrProgramItCannotMakeByItsField) {
    EXPECT_EQ(said(planSheet(request("count=7 span=360 ends")).refusal()),
              "ends: {ends} cannot be used with {span} 360: the last hole would lie on the first");
    // 1' is no coarser than 360° / 1000, but coarser than 10° / 999: no sheet, so no picture.
    EXPECT_TRUE(planSheet(request("count=1000 resolution=1m")).ok());
    const Made coarse = madeOf("sheet count=1000 resolution=1m span=10 ends");
    EXPECT_EQ(coarse.sheet.refusal.input, "resolution");
    EXPECT_FALSE(coarse.sketch);

    // The program of a manual table's sheet is refused, the sheet itself made.
    const Made manual = madeOf("sheet count=7 ratio=90");
    EXPECT_TRUE(manual.sheet.ok());
    ASSERT_TRUE(manual.gcode && !manual.gcode->ok());
    EXPECT_EQ(manual.gcode->refusal.text,
              "a CNC rotary axis needs no handwheel, so G-code is made without {ratio}, {dial} and "
              "{resolution}");

    EXPECT_EQ(said(outputRefusal(kSheetCalculation, request("count=7 csv gcode")).value()),
              "gcode: give either {csv} or {gcode}, not both");
    EXPECT_EQ(said(outputRefusal(kSheetCalculation, request("count=7 axis=B decimals=2")).value()),
              "axis: {axis} and {decimals} belong to {gcode}");
    EXPECT_FALSE(outputRefusal(kSheetCalculation, request("count=7 gcode axis=B decimals=2")));
}

// Random programs read back line by line; each A is checked against the exact angle worked out
// with plain long division on decimal strings.
TEST(SheetArc, shouldWriteARotaryProgramOfTheExactAnglesRounded) {
    std::mt19937_64 random(5);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto thousandths = [](int n) { return decimal::longDivision(n, 1000, 3); };
    for (int i = 0; i < 300; ++i) {
        // Now and then the most holes and the largest start, whose sum needs Angle's whole range.
        const bool largest = i % 50 == 0;
        const int holes = largest ? 9999 : pick(2, 40);
        const int start =
            largest ? (i % 100 == 0 ? 99'999'999 : -99'999'999) : pick(-400'000, 400'000);
        const int span = pick(0, 2) == 0 ? 0 : pick(1, 360'000);  // 0: the full circle
        const bool ends = span != 0 && span != 360'000 && pick(0, 1) == 1;
        const int decimals = pick(0, 8);
        const std::string axis(1, "ABC"[pick(0, 2)]);
        const bool clockwise = pick(0, 1) == 1;
        const std::string words = "gcode count=" + std::to_string(holes) +
                                  " start=" + thousandths(start) + " axis=" + axis +
                                  " decimals=" + std::to_string(decimals) +
                                  (span != 0 ? " span=" + thousandths(span) : "") +
                                  (ends ? " ends" : "") + (clockwise ? " cw" : "");
        const Made made = planned(makeRequest(kSheetCalculation, request(words)));
        const std::vector<std::string> lines = linesOf(made.gcode->write());
        // The frame around the moves, its comments and end, is the pinned programs'.
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(2 * holes + 7));
        const std::int64_t divisions = ends ? holes - 1 : holes;
        const std::int64_t arc = span == 0 ? 360'000 : span;
        for (int k = 1; k <= holes; ++k) {
            EXPECT_EQ(lines[static_cast<std::size_t>(4 + 2 * k)],
                      "M0 (HOLE " + std::to_string(k) + ")");
            const std::string& move = lines[static_cast<std::size_t>(3 + 2 * k)];
            ASSERT_EQ(move.substr(0, 8), "G90 G0 " + axis) << move;
            // (start + (k - 1) x span / divisions) in thousandths of a degree, over divisions.
            const std::int64_t numerator =
                (start * divisions + (k - 1) * arc) * (clockwise ? -1 : 1);
            const std::string expected = decimal::roundHalfAway(
                decimal::longDivision(numerator, divisions * 1000, decimals + 2), decimals);
            // Not brought within a turn: the axis turns the same way to every hole.
            EXPECT_EQ(move.substr(8), decimals == 0 ? expected + "." : expected) << move;
        }
    }
}

}  // namespace
