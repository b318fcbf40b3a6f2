// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "engine/Calculation.h"
#include "engine/InputReading.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

// Every {id} a text names.
std::vector<std::string> namedIds(std::string_view text) {
    std::vector<std::string> ids;
    for (std::size_t open = text.find('{'); open != std::string_view::npos;
         open = text.find('{', open + 1)) {
        ids.emplace_back(text.substr(open + 1, text.find('}', open) - open - 1));
    }
    return ids;
}

// The texts of a request with every operand given its smallest good value, so that one input at a
// time can be tried.
Inputs withOperands(const Calculation& calculation) {
    Inputs inputs;
    for (const Input& input : calculation.inputs) {
        if (input.isOperand()) {
            inputs.set(input.id, input.kind == InputKind::Text
                                     ? std::string("7")
                                     : std::to_string(input.limits.least.value));
        }
    }
    return inputs;
}

// What each front takes from a description must be there and agree with itself: a mistake here
// shows on one front only, or as "{typo}" in a message.
TEST(Descriptions, shouldBeWholeAndConsistent) {
    std::set<std::string_view> names;
    for (const Calculation& calculation : calculations()) {
        const std::string where(calculation.name);
        EXPECT_TRUE(names.insert(calculation.name).second) << where;
        EXPECT_FALSE(calculation.summary.empty()) << where;
        std::set<std::string_view> ids;
        std::set<std::string_view> options;
        for (const Input& input : calculation.inputs) {
            const std::string at = where + " " + std::string(input.id);
            EXPECT_TRUE(ids.insert(input.id).second) << at << " twice";
            EXPECT_TRUE(input.isOperand() || options.insert(input.option).second) << at;
            EXPECT_TRUE(input.isOperand() || input.option.starts_with("--")) << at;
            EXPECT_FALSE(input.label.empty() || input.help.empty()) << at;
            // A window shows labels and help: no command-line syntax in them.
            EXPECT_EQ(input.label.find("--"), std::string_view::npos) << at;
            EXPECT_EQ(input.help.find("--"), std::string_view::npos) << at;
            EXPECT_EQ(input.kind == InputKind::Switch,
                      input.value.empty() && !input.isOperand() && input.kind != InputKind::Choice)
                << at;
            EXPECT_EQ(input.kind == InputKind::Choice,
                      !input.choices.empty() && input.kind != InputKind::List)
                << at;
            for (const std::string& id : namedIds(input.help)) {
                EXPECT_NE(calculation.input(id), nullptr) << at << " names {" << id << "}";
            }
            if (!input.only.empty()) {
                const Input* output = calculation.input(input.only);
                ASSERT_NE(output, nullptr) << at;
                EXPECT_TRUE(output->role == Role::Csv || output->role == Role::Gcode) << at;
            }
            // The default and the window's first value must be values the input takes.
            for (const std::string_view text : {input.fallback, input.sample}) {
                if (!text.empty()) {
                    EXPECT_TRUE(readInput(input, text).ok()) << at << ": " << text;
                }
            }
        }
        EXPECT_EQ(calculation.about.find("--"), std::string_view::npos) << where;
        for (const std::string& id : namedIds(calculation.about)) {
            EXPECT_NE(calculation.input(id), nullptr) << where << " names {" << id << "}";
        }
        // An option with no default that a planner needs must be asked for, not read as nothing: a
        // planner that reads it anyway draws holes on top of each other (or, under the sanitizers,
        // stops).
        const Result<Made> bare = makeEveryOutput(calculation, withOperands(calculation));
        EXPECT_TRUE(bare.ok() ? bare.value().sheet.ok()
                              : calculation.input(bare.refusal().input) != nullptr)
            << where;
        // The window's first values together make a sheet.
        if (!calculation.title.empty()) {
            Inputs samples = withOperands(calculation);
            for (const Input& input : calculation.inputs) {
                if (!input.sample.empty()) {
                    samples.set(input.id, std::string(input.sample));
                }
            }
            const Result<Made> made = makeRequest(calculation, samples);
            EXPECT_TRUE(made.ok() && made.value().sheet.ok()) << where << ": " << made.message();
        }
    }
}

// Each limit from both sides, by the calculation and input the users meet it in: the value at the
// limit is taken, the one just past it refused with the limit and the value as figures.
TEST(Descriptions, shouldTakeEachLimitAndRefuseJustPastIt) {
    const struct {
        const char* calculation;
        const char* id;
        const char* taken;
        const char* refused;
        const char* limit;  // the refusal's figures
        const char* value;
    } cases[] = {
        {"sheet", "count", "2", "1", "2", "1"},
        {"sheet", "count", "10000", "10001", "10000", "10001"},
        {"sheet", "ratio", "1234567.123456", "12345678", "7", "8"},
        {"sheet", "ratio", "90.000001", "90.0000001", "6", "7"},
        {"sheet", "ratio", "0.000001", "0", "0", "0"},
        {"sheet", "span", "360", "360.000000001", "360", "360.000000001"},
        {"sheet", "span", "0.000000001", "0", "0", "0"},
        {"sheet", "start", "99999.999999999", "100000", "100000", "100000"},
        {"sheet", "start", "-99999.999999999", "-100000", "100000", "-100000"},
        {"sheet", "start", "1.123456789", "1.1234567891", "9", "10"},
        {"sheet", "decimals", "8", "9", "8", "9"},
        {"sheet", "dial", "1", "0", "1", "0"},
        {"index", "count", "999999999", "1000000000", "999999999", "1000000000"},
        {"index", "count", "1", "0", "1", "0"},
        {"index", "ratio", "1000", "1001", "1000", "1001"},
        {"index", "plates", "2,1000", "2,1001", "1000", "1001"},
        {"index", "plates", "2,3", "1,3", "2", "1"},
        {"index", "gears", "1,1000", "0,1000", "1", "0"},
        {"index", "gears", "1000", "1001", "1000", "1001"},
        {"coords", "count", "1", "0", "1", "0"},
        {"coords", "count", "10000", "10001", "10000", "10001"},
        {"coords", "diameter", "999999999.999999999", "1234567890", "9", "10"},
        {"coords", "diameter", "0.000000001", "0", "0", "0"},
        {"coords", "radius", "499999999.999999999", "500000000", "500000000", "500000000"},
        {"coords", "span", "0", "-0.000000001", "0", "-0.000000001"},
        {"coords", "decimals", "0", "-1", "0", "-1"},
        {"coords", "centre", "-999999999.999999999,5", "5,1234567890", "9", "10"},
        {"line", "count", "1", "0", "1", "0"},
        {"line", "count", "10000", "10001", "10000", "10001"},
        {"survey", "to", "999999999", "1000000000", "999999999", "1000000000"},
        {"angle", "angle", "360", "360.000000001", "360", "360.000000001"},
        {"angle", "angle", "0.000000001", "0", "0", "0"},
        {"angle", "repeat", "1", "0", "1", "0"},
        {"angle", "repeat", "10000", "10001", "10000", "10001"},
        {"gear", "count", "3", "2", "3", "2"},
        {"gear", "count", "10000", "10001", "10000", "10001"},
        {"gear", "helix", "80", "80.000001", "80", "80.000001"},
        {"gear", "helix", "0.000001", "0", "0", "0"},
        {"gear", "module", "0.0001", "0", "0", "0"},
        {"helix", "angle", "89.999999", "90", "90", "90"},
        {"helix", "angle", "0.000001", "0", "0", "0"},
        {"helix", "lead", "99999.9999", "100000", "5", "6"},
        {"flats", "count", "2", "1", "2", "1"},
        {"flats", "count", "1000", "1001", "1000", "1001"},
        {"flats", "diameter", "99999.9999", "100000", "5", "6"},
    };
    for (const auto& c : cases) {
        const Calculation* calculation = findCalculation(c.calculation);
        ASSERT_NE(calculation, nullptr) << c.calculation;
        const std::string where = std::string(c.calculation) + " " + c.id + " ";
        Inputs inputs = withOperands(*calculation);
        inputs.set(c.id, c.taken);
        EXPECT_TRUE(readInputs(*calculation, inputs).ok())
            << where << c.taken << ": " << readInputs(*calculation, inputs).message();
        inputs.set(c.id, c.refused);
        const Result<Values> refused = readInputs(*calculation, inputs);
        ASSERT_FALSE(refused.ok()) << where << c.refused;
        EXPECT_EQ(refused.about(), c.id) << where << c.refused;
        EXPECT_EQ(refused.refusal().limit, c.limit) << where << refused.message();
        EXPECT_EQ(refused.refusal().value, c.value) << where << refused.message();
    }
    // The count of numbers in a list: 64 circles and 32 gears, not one more.
    std::string circles = "2";
    for (int n = 3; n <= 65; ++n) {
        (circles += ',') += std::to_string(n);
    }
    const Input& plates = *findCalculation("index")->input("plates");
    EXPECT_TRUE(readInput(plates, circles).ok());
    const Result<Values::Value> many = readInput(plates, circles + ",66");
    EXPECT_EQ(many.message(), "{plates} may hold at most 64 numbers; 65 are given");
    EXPECT_EQ(many.refusal().limit + " " + many.refusal().value, "64 65");
}

// The rules between inputs of the dividing head's calculations, with the request just inside
// where one decides ("" for made). The patterns' are PatternTest's.
TEST(Descriptions, shouldRefuseWhatTheInputsTogetherCannotGive) {
    const struct {
        const char* request;  // the calculation, then its inputs
        const char* said;
    } cases[] = {
        // A window's empty field: the command line cannot leave it out, as it picks the
        // calculation.
        {"angle ratio=40",
         "angle: {angle} must be a number of degrees above 0 and at most 360 with at most 3 digits "
         "before the point and 9 after, or degrees, minutes and seconds such as 17d30m15s, "
         "17\u00B030'15\" or 17:30:15"},
        {"index count=7 plates=15,16/21,15,16,21",
         "plates: each plate of {plates} may list a circle once; plate 2 lists 21 twice (, 21)"},
        {"index count=7 plates=15,16/15,16", ""},  // a circle on two plates is two circles
        {"survey survey from=6 to=5", "to: {to} must not be below {from}; 5 is below 6 (6, 5)"},
        {"survey survey from=5 to=5", ""},
        {"survey survey from=2 to=100002",
         "to: a survey covers at most 100000 counts, and {from} to {to} are 100001: split the "
         "range "
         "(100000, 100001)"},
        {"survey survey from=2 to=100001", ""},
        {"gear count=30", "module: give the size of the teeth with {module} or {dp}"},
        {"gear count=30 module=2 dp=8", "dp: give either {module} or {dp}, not both"},
        {"gear count=30 module=2 hand=left",
         "hand: {hand} is for a helical gear: give {helix} with it"},
        {"gear count=30 module=2 machine-lead=5",
         "machine-lead: {machine-lead} is for a helical gear: give {helix} with it"},
        {"gear count=30 module=2 machine-units=mm",
         "machine-units: {machine-units} is for a helical gear: give {helix} with it"},
        // The defaults say nothing of a helix: a window gives its lists' values always.
        {"gear count=30 module=2 hand=right machine-units=in", ""},
        {"helix",
         "lead: give the lead wanted with {lead}, or the helix angle with {angle} and {diameter}"},
        {"helix lead=5 angle=30 diameter=2", "angle: give either {lead} or {angle}, not both"},
        {"helix angle=30",
         "diameter: {angle} needs {diameter}, the diameter the angle is taken at"},
        {"helix lead=5 gears=24", "gears: {gears} must list at least two gears to make a train"},
        {"helix lead=5 gears=24,24", ""},
        {"flats count=6", "diameter: give the diameter of the round with {diameter}"},
        {"flats count=6 diameter=30 across=30",
         "across: {across} must be below {diameter}; 30 is not below 30 (30, 30)"},
        {"flats count=6 diameter=30 across=29.9999", ""},
        {"flats count=2 diameter=30",
         "across: two flats lie opposite each other and never meet: give {across}"},
        {"flats count=2 diameter=30 across=20", ""},
        {"sheet count=7 ratio=7",
         "ratio: {ratio} must turn the table a whole number of seconds of arc per handwheel turn; "
         "7 turns it 185142.8571\" (, 7)"},
        {"sheet count=7 dial=240", "dial: {dial} needs {ratio}"},
        {"sheet count=7 ratio=90 dial=128",
         "dial: one graduation of {dial} must be a whole number of seconds of table angle; 128 "
         "graduations make it 112.5000\" (, 128)"},
        {"sheet count=7 ratio=90 dial=240 resolution=90s",
         "resolution: {resolution} must be a whole number of graduations of {dial}; one graduation "
         "is 1' (1', 1'30\")"},
        // 10000 holes lie 129.6" apart: 3' is coarser. A resolution of exactly the spacing still
        // sets every hole apart: 360 holes 1° apart.
        {"sheet count=10000 resolution=3m",
         "resolution: {resolution} must be no coarser than the spacing of the holes, 129.6000\"; "
         "3' is coarser (129.6000\", 3')"},
        {"sheet count=360 resolution=60m", ""},
        {"sheet count=360 resolution=61m",
         "resolution: {resolution} must be no coarser than the spacing of the holes, 3600\"; "
         "1\u00B001' is coarser (3600\", 1\u00B001')"},
        // 90:1 and a dial of 360 make 40" graduations; 10000 holes over 100° with one at each end
        // lie 36.0036" apart.
        {"sheet count=10000 ratio=90 dial=360 span=100 ends",
         "dial: one graduation of {dial}, 40\", must be no coarser than the spacing of the holes, "
         "36.0036\": a finer dial or fewer holes are needed (36.0036\", 40\")"},
        {"sheet count=10000 span=0.1",
         "span: the spacing of the holes, 0.0360\", is finer than the resolution of 1\": give "
         "fewer holes or a wider arc (0.0360\", 1\")"},
    };
    for (const auto& c : cases) {
        const std::string_view words = c.request;
        const std::size_t space = std::min(words.find(' '), words.size());
        const Result<Made> made =
            makeRequest(*findCalculation(words.substr(0, space)),
                        request(words.substr(std::min(space + 1, words.size()))));
        const bool sheet = made.ok() && made.value().sheet.ok();
        EXPECT_EQ(sheet ? "" : said(made.ok() ? made.value().sheet.refusal : made.refusal()),
                  c.said)
            << c.request;
    }
}

// Why a text is refused, in words that name the real fault.
TEST(InputReading, shouldSayWhatIsWrongWithAText) {
    const Input count{"count", "Count", "", "COUNT", InputKind::Count, "holes", "", within(2, 10)};
    const Input size{"size", "Size", "--size", "S", InputKind::Decimal, "", "", above(0)};
    const Input angle{"a", "A", "--a", "A", InputKind::Degrees, "", "", sizeBelow(100)};
    const Input centre{"c", "C", "--c", "X,Y", InputKind::Point, "", "", kAnyValue};
    const Input step{"s", "S", "--s", "S", InputKind::Arc, "", "", above(0)};
    const Input runs{"o", "O", "--o", "L", InputKind::List, "", "", within(1, 99).runs()};
    const struct {
        const Input* input;
        const char* text;
        const char* message;
    } cases[] = {
        {&count, "", "{count} must be a whole number of holes from 2 to 10"},
        {&count, "7.5",
         "{count} must be a whole number of holes from 2 to 10; 7.5 is not a whole number"},
        {&count, "-3", "{count} must be a whole number of holes from 2 to 10; -3 is below 2"},
        {&count, "99999999999999999999",
         "{count} must be a whole number of holes from 2 to 10; 99999999999999999999 is above 10"},
        {&size, "1e3",
         "{size} takes no exponent: write the number out in full, as in 1000 for 1e3"},
        {&size, "1,5", "{size} must be a number above 0; 1,5 is not a number"},
        {&size, "-0", "{size} must be a number above 0; -0 is not above 0"},
        {&angle, "-100",
         "{a} must be a number of degrees below 100 in size; -100 is not below 100 in size"},
        {&centre, "10", "{c} must be two numbers X,Y such as 10,-5; 10 is not written so"},
        {&centre, "1,2e1",
         "the Y of {c} takes no exponent: write the number out in full, as in 1000 for 1e3"},
        {&step, "10",
         "{s} must be a whole number of seconds or minutes of arc above 0, such as 10s or 1m; 10 "
         "is not written so"},
        {&step, "0m",
         "{s} must be a whole number of seconds or minutes of arc above 0, such as 10s or 1m; 0 is "
         "not above 0"},
        {&runs, "9-7",
         "{o} must be whole numbers from 1 to 99 with commas between, a run of them written as "
         "7-9; 9-7 is not written so"},
        {&runs, "3,100", "{o} must hold whole numbers from 1 to 99; 100 is above 99"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readInput(*c.input, c.text).message(), c.message) << c.text;
    }
    // Leading and trailing zeros are no digits of their own; a run is every hole in it.
    EXPECT_EQ(readInput(size, "000000000012.5000000000").value().decimal.units, 125);
    EXPECT_EQ(readInput(runs, "1,3-5,9").value().groups,
              (std::vector<std::vector<std::int64_t>>{{1, 3, 4, 5, 9}}));
    EXPECT_EQ(readInput(step, "2m").value().whole, 120);
}

TEST(Refusals, shouldBeWordedByEachFrontInItsOwnTerms) {
    const auto bracketed = [](std::string_view id) { return "<" + std::string(id) + ">"; };
    EXPECT_EQ(wordRefusal("{ends} needs {span}", bracketed), "<ends> needs <span>");
    EXPECT_EQ(wordRefusal("no names, {unclosed", bracketed), "no names, {unclosed");
}

// A wrong field that only the G-code reads refuses the G-code, and leaves the sheet made.
TEST(Refusals, shouldLeaveTheSheetWhenOnlyAnotherOutputsFieldIsWrong) {
    const Calculation& sheet = *findCalculation("sheet");
    const Made made = planned(makeEveryOutput(sheet, request("count=7 decimals=x")));
    EXPECT_TRUE(made.sheet.ok());
    EXPECT_EQ(made.gcode->refusal.input, "decimals");
    EXPECT_FALSE(makeRequest(sheet, request("count=7 decimals=x")).ok());
    EXPECT_EQ(makeEveryOutput(sheet, request("count=x decimals=4")).about(), "count");
}

// A window with a field for each number of a point puts the message beside the one at fault.
TEST(Refusals, shouldSayWhichNumberOfAPointIsAtFault) {
    const Calculation& bolt = *findCalculation("coords");
    const auto partOf = [&](std::string_view centre) {
        return pointPart(
            makeRequest(bolt, {{"count", "6"}, {"diameter", "100"}, {"centre", centre}}).refusal());
    };
    EXPECT_EQ(partOf("x,5"), 1);
    EXPECT_EQ(partOf("5,1e3"), 2);
    EXPECT_EQ(partOf("5"), 0);
}

}  // namespace
