// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace morvanta::cli {

// The texts that explain morvanta-table, all made from the calculations' descriptions, so that
// help, man page and completion name the same options with the same defaults and limits.

// `morvanta-table --help`: the usage, the commands with their summaries, the shared options and
// the exit status.
std::string globalHelp();

// `morvanta-table COMMAND --help`: the usage of each form of the command, what it gives, each
// operand and option with its help, limits and default, the rule for writing numbers, the line
// break and the exit status. The command word must name a command.
//   commandHelp("sheet") starts "Usage: morvanta-table sheet COUNT [--ratio R] ..." and has the
//   line "  --decimals N    with --gcode: decimals of the numbers written, ...; a whole number
//   from 0 to 8; default 4".
std::string commandHelp(std::string_view word);

// The options of one command as man page (roff) paragraphs, one .TP each, operands first.
std::string manOptions(std::string_view word);

// The man page: `page` with each line "@OPTIONS command@" replaced by manOptions(command).
std::string manPage(std::string_view page);

// The bash completion script: `script` with "@COMMANDS@" replaced by the command words, and the
// lines "@OPTIONS@" and "@VALUES@" by the case arms that give the options of each command (those
// that take a value ending in '=') and the values offered for options with a few named ones.
std::string bashCompletion(std::string_view script);

}  // namespace morvanta::cli
