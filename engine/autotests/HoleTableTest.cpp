// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>

#include "engine/HoleTable.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

std::string header(std::string_view count) {
    return "---------------   " + std::string(count) + " Holes   ---------------\r\n";
}

TEST(BuildThisTable, shouldRefuseWhatIsNotACountAboveOne) {
    // Below and at one hole, and a few of the texts that NumericTextTest's grammar refuses.
    for (const char* text : {"1", "0.5", "0", "-3", "-0", "1e-400", "", "7a", "nan", "1e400"}) {
        EXPECT_EQ(BuildThisTable(text).message(), kThisMessage) << text;
    }
    // The limit comes after the usual check.
    for (const char* text : {"10000000.5", "10000001", "1e300", "1.7976931348623157e308"}) {
        EXPECT_EQ(BuildThisTable(text).message(), kThisTooLargeMessage) << text;
    }
    EXPECT_TRUE(BuildThisTable("10000000").ok());
}

TEST(BuildThisTable, shouldListTheSpecialCounts) {
    // Just above one hole: the second angle would be 359.99999999999994, past the last listed.
    EXPECT_EQ(planned(BuildThisTable("1.0000000000000002")),
              header("1.0000000000000002") + "  0\r\n\r\n");
}

TEST(AngleField, shouldCutWithoutRounding) {
    const struct {
        double angle;
        const char* field;
    } cases[] = {
        // clang-format off
        {-0.0, "  0"}, {2.5, "  2.5"}, {205.71428571428572, "205.71428"},
        {9.99999999999999, "  9.99999"}, {1.0000000000001, "  1.00000"}, {12.3, " 12.3"},
        {9.999999999999998, "  10"},  // rounds to 10 at 15 digits, prefixed as below 10
        {99.99999999999997, " 100"}, {0.00009999999999999999, "  0.0001"},
        {5.142857142857143e-05, "  0.00005"}, {1e-300, "  0.00000"},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AngleField(c.angle), c.field);
    }
}

TEST(BuildAllTable, shouldListNothingWhereNothingDividesOrTheSpacingOverflows) {
    for (auto [from, to] :
         {std::pair{"7", "7"}, {"361", "1000"}, {"2.6", "2.7"}, {"1e16", "1e16"}}) {
        EXPECT_EQ(planned(BuildAllTable(from, to)), "") << from << ".." << to;
    }
    // Nothing past 360 can be listed: a huge range ends as soon as the walk passes it.
    EXPECT_EQ(BuildAllTable("2", "1e300").value(), BuildAllTable("2", "360").value());
    EXPECT_EQ(planned(BuildAllTable("1e-310", "3")), BuildAllTable("1", "3").value());
    // Small but finite spacing: a whole number of degrees, listed with its single angle.
    EXPECT_EQ(BuildAllTable("1e-300", "2").value(),
              header("1E-300") + "0\r\n\r\n\r\n" + BuildAllTable("1", "2").value());
}

TEST(BuildAllTable, shouldReportTheFirstFailingCheckOnly) {
    const struct {
        const char* from;
        const char* to;
        std::string_view message;
    } cases[] = {
        {"0", "100", kFromMessage},    {"abc", "xyz", kFromMessage}, {"-0", "2", kFromMessage},
        {"2", "1", kToMessage},        {"2", "1e999", kToMessage},   {"10", "5", kOrderMessage},
        {"2.5", "2.4", kOrderMessage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildAllTable(c.from, c.to).message(), c.message) << c.from << ".." << c.to;
    }
}

TEST(BuildProgress, shouldAbandonALongBuildWhenAskedAndChangeNothingOtherwise) {
    std::atomic<int> calls = 0;
    const BuildResult result = BuildThisTable("1000000", [&](double) { return ++calls < 3; });
    EXPECT_TRUE(result.isCancelled());
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(BuildAllTable("2", "100", [](double) { return false; }).isCancelled());
    const auto count = [&](double) { return ++calls > 0; };
    EXPECT_EQ(BuildThisTable("1000000", count).value(), BuildThisTable("1000000").value());
    EXPECT_GT(calls, 13);
    EXPECT_EQ(BuildAllTable("2", "100", count).value(), BuildAllTable("2", "100").value());
}

}  // namespace
