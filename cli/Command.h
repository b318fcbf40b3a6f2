// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Result.h"

namespace morvanta::cli {

// The one exit-status rule of every command.
inline constexpr int kWritten = 0;    // the output was written
inline constexpr int kRefused = 1;    // the input was refused, or the output could not be written
inline constexpr int kMalformed = 2;  // the command line is malformed

enum class LineBreak { Lf, CrLf };

// One run of a command: the words after the command word, the line break its output gets (the
// global --lf or --crlf, else the command's own default) and where to write.
struct Invocation {
    std::string_view command;
    std::span<const std::string_view> words;
    LineBreak lineBreak = LineBreak::Lf;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// One entry of the command table. `usage` follows "morvanta-table " ("sheet COUNT [--csv]");
// `help` is what `COMMAND --help` prints after the usage line: what the command does and each of
// its options, ending with a line break. run() returns the exit status; `COMMAND --help` never
// reaches it.
struct Command {
    std::string_view name;
    std::string_view summary;
    std::string_view usage;
    std::string_view help;
    LineBreak lineBreak;
    int (*run)(const Invocation&);
};

// Every command, in the order --help lists them. A new command is one more entry here and its own
// file beside this one.
std::span<const Command> commands();

// The command of that name, or nullptr.
const Command* findCommand(std::string_view name);

// An option a command accepts: "--ratio" with a value, or a flag such as "--csv".
struct OptionSpec {
    std::string_view name;
    bool takesValue;
};

// The words of a command sorted into operands and options.
struct Arguments {
    std::vector<std::string_view> operands;
    std::vector<std::pair<std::string_view, std::string_view>> options;

    // The value given to an option (a flag's is ""), or nothing when it was not given.
    std::optional<std::string_view> value(std::string_view name) const;
    bool has(std::string_view name) const { return value(name).has_value(); }
};

// Sorts words into operands and the options of `accepted`. An option's value is the next word or
// follows '=' ("--ratio 90", "--ratio=90"); options and operands may come in any order; "--" ends
// the options, and a word that starts with '-' and then a digit or a point is an operand (a
// negative number), so "sheet -7" reaches the count's own check.
//   parseArguments({"7", "--ratio=90", "--csv"}, {{"--ratio", true}, {"--csv", false}})
//     -> operands {"7"}, options {{"--ratio", "90"}, {"--csv", ""}}
// Failure, with the complaint as the message: an unknown option ("unknown option --bogus"), an
// option without its value ("--ratio needs a value"), an option given twice ("--ratio given
// twice"), a value given to a flag ("--csv takes no value").
Result<Arguments> parseArguments(std::span<const std::string_view> words,
                                 std::span<const OptionSpec> accepted);

// "" when the operands are exactly the ones named, such as {"FROM", "TO"}; else the complaint:
// "missing FROM and TO" when none is given, "FROM and TO expected, 3 given" otherwise.
std::string operandComplaint(const Arguments& arguments,
                             std::initializer_list<std::string_view> names);

// parseArguments, then operandComplaint: the words of a command that takes a fixed set of
// operands, or the first complaint about them.
Result<Arguments> readArguments(const Invocation& invocation, std::span<const OptionSpec> accepted,
                                std::initializer_list<std::string_view> operands);

// Writes "morvanta-table COMMAND: complaint" and a pointer to the command's help on the error
// stream; returns kMalformed.
int malformed(const Invocation& invocation, std::string_view complaint);

// Writes the message as one line on the error stream; returns kRefused.
int refuse(const Invocation& invocation, std::string_view message);

// Writes text, whose lines end in `written`, to the output with the invocation's line break, a
// piece at a time so that a large table is never held twice. Returns kWritten, or kRefused with one
// line on the error stream when the output cannot be written (a full disk). A reader that has gone
// away (a closed pipe) ends the process by SIGPIPE, quietly, as it does other tools.
int writeOutput(const Invocation& invocation, std::string_view text, LineBreak written);

// writeOutput for one text whose line breaks are left as they are (usage and version texts).
int writeText(std::FILE* stream, std::string_view text);

}  // namespace morvanta::cli
