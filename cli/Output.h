// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string_view>

namespace morvanta::cli {

// The one exit-status rule of every command.
inline constexpr int kWritten = 0;    // the output was written
inline constexpr int kRefused = 1;    // the input was refused, or the output could not be written
inline constexpr int kMalformed = 2;  // the command line is malformed

enum class LineBreak { Lf, CrLf };

// Writes text, whose lines end in `written`, to the stream with the line break `wanted`, a piece
// at a time so that a large table is never held twice. Returns kWritten, or kRefused with one line
// on `err` when the output cannot be written (a full disk). A reader that has gone away (a closed
// pipe) ends the process by SIGPIPE, quietly, as it does other tools.
int writeOutput(std::FILE* out, std::FILE* err, std::string_view text, LineBreak written,
                LineBreak wanted);

// writeOutput for a text whose line breaks are left as they are (help and version texts).
int writeText(std::FILE* out, std::FILE* err, std::string_view text);

}  // namespace morvanta::cli
