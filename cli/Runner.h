// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

namespace morvanta::cli {

// Runs one command line of morvanta-table (the words after the program's name), writing the
// output to `out` and messages to `err`, and returns its exit status: kWritten, kRefused or
// kMalformed (cli/Output.h). Never throws but std::bad_alloc, which main() answers.
//   {"sheet", "7", "--ratio", "90"} writes the sheet and returns 0;
//   {"sheet", "1"} writes "COUNT must be a whole number of holes from 2 to 10000; 1 is below 2"
//   on err and returns 1; {"sheet", "7", "--bogus"} writes "morvanta-table sheet: unknown option
//   --bogus" and a pointer to the help, and returns 2.
int runCommandLine(std::span<const std::string_view> words, std::FILE* out, std::FILE* err);

}  // namespace morvanta::cli
