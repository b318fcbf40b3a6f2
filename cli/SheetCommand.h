// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

namespace morvanta::cli {

// The usage line of the sheet subcommand, for help texts.
inline constexpr std::string_view kSheetUsage =
    "morvanta-table sheet COUNT [--ratio R] [--dial D] [--resolution S] [--csv]";

// Runs `morvanta-table sheet` with the words that follow "sheet", for example
// {"7", "--ratio", "90", "--dial", "240"}, and returns the exit status:
//   0  the setting sheet (plain text, or CSV with --csv) written to out; also for --help or -h,
//      which writes the usage and the meaning of each option to out;
//   1  out could not be written (a full disk, a closed pipe): one line on err;
//   2  bad arguments: one line on err starting "morvanta-table sheet: ", nothing on out.
// Options may come before or after COUNT, their values as the next word or after '='
// ("--ratio=90"); each at most once. Bad arguments are a missing or second COUNT, an unknown
// option, an option without its value or given twice, a value --csv does not take, and every value
// the engine refuses (see planSheet in SettingSheet.h): "sheet 7.5", "sheet 7 --ratio 0",
// "sheet 7 --resolution 10".
int runSheetCommand(std::span<const std::string_view> args, std::FILE* out, std::FILE* err);

}  // namespace morvanta::cli
