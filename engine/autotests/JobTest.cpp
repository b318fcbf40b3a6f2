// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/Job.h"
#include "engine/JsonText.h"
#include "engine/autotests/EngineTestSupport.h"

namespace morvanta {
namespace {

// A job of 7 holes on a 90:1 table, as the writer lays it out: every key, in order.
constexpr std::string_view kSevenHoles = R"({
  "format": "morvanta-job",
  "version": "1.0",
  "calculation": "sheet",
  "name": "Dividing plate \"A\"",
  "notes": "first line\nsecond\tline",
  "units": null,
  "inputs": {
    "count": "7",
    "dial": "240",
    "ratio": "90"
  },
  "ticks": [1, 2, 5]
}
)";

Job sevenHoles() {
    Job job;
    job.calculation = "sheet";
    job.inputs = request("ratio=90 count=7 dial=240");
    job.ticks = {5, 1, 2};
    job.name = "Dividing plate \"A\"";
    job.notes = "first line\nsecond\tline";
    return job;
}

// A job's text with the line holding `from` replaced by the text `to`.
std::string edited(std::string_view from, std::string_view to) {
    std::string text(kSevenHoles);
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(Job, shouldWriteEveryKeyInItsOrderAndTheInputsAndTicksSorted) {
    EXPECT_EQ(writeJob(sevenHoles()), kSevenHoles);
    Job bare;
    bare.calculation = "index";
    bare.units = JobUnits::Inches;
    EXPECT_EQ(writeJob(bare),
              "{\n  \"format\": \"morvanta-job\",\n  \"version\": \"1.0\",\n"
              "  \"calculation\": \"index\",\n  \"name\": \"\",\n  \"notes\": \"\",\n"
              "  \"units\": \"in\",\n  \"inputs\": {},\n  \"ticks\": []\n}\n");
}

// Saved and opened again, a job gives the same bytes, whatever it holds: escapes, characters
// beyond ASCII (one outside the first plane, written as a surrogate pair by other writers), a
// switch's empty text.
TEST(Job, shouldReadBackWhatItWroteByteForByte) {
    Job job = sevenHoles();
    job.calculation = "coords";
    job.inputs = request("count=6 diameter=100 cw centre=10,-5");
    job.units = JobUnits::Millimetres;
    job.name = "Flansch \u00D8100 \U0001F529";
    job.notes = "back\\slash, \"quoted\",\ta tab";
    const std::string text = writeJob(job);
    EXPECT_EQ(writeJob(planned(readJob(text))), text);

    const Job escaped =
        planned(readJob(edited("\"Dividing plate \\\"A\\\"\"", "\"\\ud83d\\udd29 \\u00d8\\/\"")));
    EXPECT_EQ(escaped.name, "\U0001F529 \u00D8/");
}

// Keys of a later minor version are passed over; the optional keys may be left out, an
// editor's byte order mark stands before the text, and the ticks may come in any order.
TEST(Job, shouldReadWhatALaterMinorVersionAndAPersonMayWrite) {
    EXPECT_EQ(planned(readJob(edited("\"version\": \"1.0\",",
                                     "\"version\": \"1.7\", \"colour\": {\"r\": [1]},")))
                  .inputs.get("count"),
              "7");

    const Job bare =
        planned(readJob("\xEF\xBB\xBF{\"calculation\":\"index\",\"inputs\":{\"count\":\"127\"},"
                        "\"version\":\"1.0\",\"format\":\"morvanta-job\",\"ticks\":[3,1,2]}"));
    EXPECT_EQ(bare.units, JobUnits::None);
    EXPECT_EQ(bare.ticks, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(makeJob(bare).ok());

    // The largest tick written in full, 18 digits, is read as it stands.
    EXPECT_EQ(planned(readJob(edited("[1, 2, 5]", "[999999999999999999, 7]"))).ticks,
              (std::vector<std::int64_t>{7, 999'999'999'999'999'999}));
}

struct BadFile {
    std::string text;
    std::string refusal;  // the whole text of the refusal
    std::string key;
};

std::vector<BadFile> badFiles() {
    const std::string full(kSevenHoles);
    return {
        {full.substr(0, full.find("second")), "line 6, column 25: the text ends inside a string",
         ""},
        {"format = morvanta-job\n", "line 1, column 1: 'f' where a value was expected", ""},
        {"[1, 2]", "line 1, column 1: not a Morvanta job: a job is an object ({...}), not a list",
         ""},
        {full + "x", "line 15, column 1: there is more text after the end of the value", ""},
        {edited("\"ratio\": \"90\"", "\"ratio\": \"90\","),
         "line 12, column 3: '}' where a key in quotes was expected", ""},
        {edited("\"format\": \"morvanta-job\",", ""),
         "line 1, column 1: not a Morvanta job: it has no \"format\"", "format"},
        {edited("morvanta-job", "morvanta-sheet"),
         "line 2, column 13: not a Morvanta job: \"format\" must be \"morvanta-job\"", "format"},
        {edited("\"1.0\"", "\"2.0\""),
         "line 3, column 14: made by a later Morvanta (format 2); this one reads format 1",
         "version"},
        {edited("\"1.0\"", "\"0.9\""),
         "line 3, column 14: there is no format 0.9; this Morvanta reads format 1", "version"},
        {edited("\"1.0\"", "1.0"),
         "line 3, column 14: \"version\" must be a string of two numbers, such as \"1.0\"",
         "version"},
        {edited("\"units\": null,", "\"units\": null, \"colour\": \"red\","),
         "line 7, column 18: \"colour\" is not a key of a job of format 1.0", "colour"},
        {edited("\"ratio\": \"90\"", "\"ratio\": \"90\", \"count\": \"8\""),
         "line 11, column 20: \"count\" is given twice", ""},
        {edited("\"sheet\"", "\"lathe\""),
         "line 4, column 18: \"lathe\" is not a calculation a job can hold; one of sheet, index, "
         "angle, coords, line, grid, gear, helix, flats",
         "calculation"},
        {edited("\"dial\"", "\"diameter\""), "line 10, column 5: sheet has no input \"diameter\"",
         "inputs.diameter"},
        {edited("\"dial\": \"240\"", "\"csv\": \"\""),
         "line 10, column 5: sheet has no input \"csv\"", "inputs.csv"},
        {edited("\"dial\": \"240\"", "\"units\": \"mm\""),
         "line 10, column 5: the units go in \"units\" at the top of the job, not among its inputs",
         "inputs.units"},
        {edited("\"units\": null", "\"units\": \"cm\""),
         "line 7, column 12: \"units\" must be \"mm\", \"in\" or null", "units"},
        {edited("[1, 2, 5]", "[0, 1]"),
         "line 13, column 13: a tick must be the number of a row, a whole number from 1", "ticks"},
        {edited("[1, 2, 5]", "[1, 2.5]"),
         "line 13, column 16: a tick must be the number of a row, a whole number from 1", "ticks"},
        {edited("[1, 2, 5]", "[1, 1000000000000000000]"),
         "line 13, column 16: a tick must be the number of a row, a whole number from 1", "ticks"},
        {edited("[1, 2, 5]", "[5, 1, 5]"), "line 13, column 19: tick 5 is given twice", "ticks"},
        {edited("\"Dividing plate \\\"A\\\"\"", "\"two\\nlines\""),
         "line 5, column 11: \"name\" holds a control character", "name"},
        {edited("first line", "first \xC3\x28 line"),
         "line 6, column 19: the text is not valid UTF-8", ""},
        {edited("first line", "\\ud83d"),
         "line 6, column 13: \\u escapes the first half of a surrogate pair alone", ""},
        {edited("first line", "first\tline"),
         "line 6, column 18: a string holds the control character U+0009, which must be written "
         "as an escape",
         ""},
        {edited("first line", "first\\xline"),
         "line 6, column 18: \\ followed by 'x' is not an escape of JSON", ""},
        {edited("[1, 2, 5]", "[01]"), "line 13, column 13: a malformed number", ""},
        {edited("\"count\": \"7\",", ""),
         "inputs.count must be a whole number of holes from 2 to 10000", "inputs.count"},
        {edited("\"dial\": \"240\"", "\"dial\": \"240\", \"ends\": \"\""),
         "line 10, column 28: inputs.ends needs inputs.span", "inputs.ends"},
        {edited("[1, 2, 5]", "[1, 8]"),
         "line 13, column 16: tick 8 is beyond the sheet, which has 7 rows", "ticks"},
        {"{\"format\":\"morvanta-job\",\"version\":\"1.0\",\"calculation\":\"index\","
         "\"inputs\":{\"count\":\"10001\"},\"ticks\":[1]}",
         "line 1, column 100: tick 1 is beyond the sheet, which has no table", "ticks"},
    };
}

// Each kind of damage, mistake or hostility is refused, saying what is wrong and where, and so is
// what the calculation refuses, worded as the file's keys.
TEST(Job, shouldRefuseEachKindOfBadFileSayingWhatAndWhere) {
    for (const BadFile& bad : badFiles()) {
        const Result<Job> read = readJob(bad.text);
        const Result<Made> made =
            read.ok() ? makeJob(read.value()) : Result<Made>::failure(read.refusal());
        EXPECT_TRUE(made.isMessage()) << bad.refusal;
        EXPECT_EQ(made.message(), bad.refusal) << bad.refusal;
        EXPECT_EQ(made.about(), bad.key) << bad.refusal;
    }
}

// The limits from both sides: the size of the file, the depth, the number of values, a name, a
// tick on the sheet's last row.
TEST(Job, shouldTakeEachLimitItselfAndRefuseOneMore) {
    const std::string full(kSevenHoles);
    const std::string padded =
        full.substr(0, full.size() - 2) + std::string(kMaxJobBytes - full.size(), ' ') + "}\n";
    ASSERT_EQ(padded.size(), kMaxJobBytes);
    EXPECT_TRUE(readJob(padded).ok());
    EXPECT_EQ(readJob(padded + " ").message(),
              "a job file may have at most 1048576 bytes (1 MiB); this one has 1048577");

    const auto nested = [](std::size_t depth) {
        return std::string(depth, '[') + std::string(depth, ']');
    };
    EXPECT_TRUE(readJson(nested(kMaxJsonDepth)).ok());
    EXPECT_EQ(readJson(nested(kMaxJsonDepth + 1)).message(),
              "line 1, column 33: values are nested more than 32 deep");

    const auto values = [](std::size_t count) {
        std::string text = "[0";
        for (std::size_t i = 2; i < count; ++i) {
            text += ",0";
        }
        return text + "]";
    };
    EXPECT_TRUE(readJson(values(kMaxJsonValues)).ok());
    EXPECT_EQ(readJson(values(kMaxJsonValues + 1)).message(),
              "line 1, column 400000: more than 200000 values");

    const auto jobNamed = [](std::size_t length) {
        return readJob(edited("\"Dividing plate \\\"A\\\"\"",
                              "\"" + std::string(length - 1, 'e') + "\u00E9\""));
    };
    EXPECT_TRUE(jobNamed(200).ok()) << jobNamed(200).message();
    EXPECT_EQ(jobNamed(201).message(),
              "line 5, column 11: \"name\" may have at most 200 characters; it has 201");
    EXPECT_TRUE(makeJob(planned(readJob(edited("[1, 2, 5]", "[7]")))).ok());
}

}  // namespace
}  // namespace morvanta
