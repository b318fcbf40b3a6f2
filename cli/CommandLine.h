// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Output.h"
#include "engine/Calculation.h"

namespace morvanta::cli {

// The command words, each once, in the order of the calculations: "this", "all", "sheet", ...
std::vector<std::string_view> commandWords();

// The calculations a command word names: one, or several told apart by their selector switch
// (index COUNT, index --survey FROM TO); empty for a word that names none.
std::vector<const Calculation*> commandCalculations(std::string_view word);

// What the command line calls an input in refusals and help: an option by its name ("--span"), an
// operand by the name of its value ("COUNT"); the id itself for an input the calculation lacks.
std::string commandLineName(const Calculation& calculation, std::string_view id);

// A text of the engine with each {id} worded as the command line names it:
//   sheet, "{ends} needs {span}" -> "--ends needs --span"
std::string commandLineWords(const Calculation& calculation, std::string_view text);

// The words after a command word, read against the descriptions of the command's calculations.
struct Request {
    const Calculation* calculation = nullptr;
    Inputs inputs;
    bool help = false;
    std::optional<LineBreak> lineBreak;
};

// Reads the words after `word` (the command word) as the command line's one rule says:
// - an option is a word that names one of the command's options or a shared one (--lf, --crlf,
//   --help, -h); its value, where it takes one, is the next word or follows '=' ("--ratio 90",
//   "--ratio=90"); each may be given once, and a switch takes no value ("--lf=1" is malformed);
// - a word that starts with "--" and a letter and names no option is malformed (unknown option);
// - every other word is an operand, exactly as typed, also when it starts with a minus sign
//   ("-3", "-inf", "- 7"), so that its calculation refuses it like any other bad value; after
//   "--" every word is an operand.
// The calculation is the one whose selector switch is given, else the one without a selector;
// its operands must be given, no more and no fewer, and no option of another calculation of the
// command. `lineBreak` is what came before the command word. Failure: the complaint for
// "morvanta-table WORD: complaint", such as "unknown option --bogus", "--ratio given twice",
// "--lf and --crlf together", "missing COUNT", "COUNT expected, 2 given".
Result<Request> readCommand(std::string_view word, std::span<const std::string_view> words,
                            std::optional<LineBreak> lineBreak);

// Reads `word` into the line break chosen so far: "" when it fits, else the complaint. Both
// --lf and --crlf, or either twice, are malformed.
std::string chooseLineBreak(std::string_view word, std::optional<LineBreak>& lineBreak);

}  // namespace morvanta::cli
