// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Calculation.h"
#include "engine/JsonText.h"
#include "engine/Result.h"

namespace morvanta {

// A job: one calculation's inputs kept as a file, with the holes or divisions done so far, so that
// work at the machine can stop and start again where it stopped, and both fronts make the same
// sheet of it. The file (*.morvanta) is JSON text, format 1.0:
//
//   {
//     "format": "morvanta-job",
//     "version": "1.0",
//     "calculation": "coords",
//     "name": "Flange, 6 bolts",
//     "notes": "M8 clearance, 9 mm drill",
//     "units": "mm",
//     "inputs": {
//       "count": "6",
//       "diameter": "100"
//     },
//     "ticks": [1, 2, 3]
//   }
//
// "calculation" names a calculation that has a page in a window (sheet, index, coords, ...);
// "inputs" holds the text of each input given, by its id, exactly as typed (a switch given has the
// text ""); "units" is "mm", "in" or null; "ticks" lists the rows done, by number from 1. "name",
// "notes", "units" and "ticks" may be left out. A later minor version (1.1) may add keys, which
// this reader passes over; a later major version (2.0) is refused, as is a key of no version.
//
// A job of format 1 opens in every later Morvanta: ids of inputs and calculations, once in a
// file, keep their meaning.
inline constexpr std::string_view kJobFormatName = "morvanta-job";
inline constexpr int kJobMajor = 1;
inline constexpr int kJobMinor = 0;
inline constexpr std::size_t kMaxJobBytes = 1 << 20;
inline constexpr std::size_t kMaxJobName = 200;
inline constexpr std::size_t kMaxJobNotes = 20'000;
inline constexpr std::size_t kMaxJobInputText = 2'000;

enum class JobUnits { None, Millimetres, Inches };

// "mm", "in", "" for none.
std::string_view unitsWord(JobUnits units);
// The units a word names: "mm", "in", "" for none; nothing for any other word.
std::optional<JobUnits> unitsNamed(std::string_view word);

struct Job {
    std::string calculation;  // "sheet"
    Inputs inputs;            // the calculation's value inputs, by id
    JobUnits units = JobUnits::None;
    std::vector<std::int64_t> ticks;  // the rows done, ascending, each once, from 1
    std::string name;
    std::string notes;

    // Where the reader found each input's value and each tick, for the refusals made once the
    // calculation has seen them; empty for a job not read from a file.
    std::map<std::string, JsonPlace, std::less<>> inputPlaces = {};
    std::vector<JsonPlace> tickPlaces = {};
};

// The text of a job, the same bytes for the same job: the keys in the order above, every one
// written, the inputs by id in byte order, the ticks ascending, two blanks an indent, LF line
// breaks. Every text must be valid UTF-8; readJob(writeJob(job)) gives the job back.
std::string writeJob(const Job& job);

// Reads a job file's text strictly: JSON as readJson reads it, at most kMaxJobBytes, then the
// keys above with their kinds, a calculation that has a page, inputs it takes (no output switch),
// strings without control characters (the notes may hold line breaks and tabs), each within its
// limit, and ticks that are whole numbers from 1, each given once (in any order; they come back
// ascending). The refusal's text names what is wrong and where:
//   "line 7, column 14: \"count\" is given twice"
//   "line 3, column 14: made by a later Morvanta (format 2); this one reads format 1"
//   "line 4, column 18: \"lathe\" is not a calculation a job can hold; one of sheet, index, ..."
// and its input, the key at fault ("inputs.count", "ticks").
Result<Job> readJob(std::string_view text);

// The request a job makes: its inputs, and its units as the input "units" where it has some.
Inputs jobRequest(const Job& job);

// The outputs of a request as a window shows them (makeEveryOutput) with the units the input
// "units" names, "mm" or "in", shown where the figures are lengths: in the headings of the
// report's length columns ("X (mm)"), in the sheet when it is the report's text, and in the
// picture's caption. Where the calculation takes "units" itself, its G-code says G21 or G20 too.
// No figure is converted.
Result<Made> makeWithUnits(const Calculation& calculation, const Inputs& inputs);

// A job's outputs: makeWithUnits of its request, refused as a job file is, with the line and
// column of the input at fault ({id} worded "inputs.id"): where its inputs make no sheet, or a
// tick lies beyond the sheet's last row:
//   "line 12, column 5: tick 8 is beyond the sheet, which has 7 rows".
Result<Made> makeJob(const Job& job);

// The report with the units in the headings of its length columns; as it is without units.
Report withUnits(Report report, JobUnits units);

}  // namespace morvanta
