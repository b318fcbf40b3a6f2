// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/Result.h"

namespace morvanta {

// What a build returns: the table text, or exactly one message for the user, never both; a build
// abandoned through its progress callback is cancelled.
using BuildResult = Result<std::string>;

// Called now and then while a build runs (every few tens of thousands of lines, and never between
// a message and the return) with the fraction done, from 0 to 1. Returning false abandons the
// build, which then returns BuildResult::cancelled(). It is only ever called on the thread that
// called the build, even where a long table is written by a second thread as well.
using BuildProgress = std::function<bool(double fractionDone)>;

inline constexpr std::string_view kThisMessage = "This must be a number greater then 1";
inline constexpr std::string_view kThisTooLargeMessage =
    "This must be a number no greater than 10000000";
inline constexpr std::string_view kFromMessage = "From must be a number greater then 0";
inline constexpr std::string_view kToMessage = "To must be a number greater then 1";
inline constexpr std::string_view kOrderMessage = "To must be greater then From";
inline constexpr std::string_view kOutOfMemoryMessage = "Not enough memory to build this table";

// The largest hole count Build This accepts: its table is about 77 MB.
inline constexpr double kMaxHoleCount = 10'000'000;

// The angle line of one hole: "  0" for 0, else numberText(a) after two blanks below 10, one below
// 100 and none from 100 up (chosen by a's value, not its written text), the whole cut to 9
// characters without rounding. Angles below 0.0001 are written in plain decimal first, so the cut
// never drops an exponent: 205.71428571428572 -> "205.71428", 6.300000000000001 -> "  6.3",
// 99.99999999999997 -> " 100", 5.142857142857143e-05 -> "  0.00005".
// Allocates its text and so may throw std::bad_alloc; the two builds below never throw.
std::string AngleField(double a);

// The Build This table for the count typed in thisText, exactly as typed (not trimmed):
//   "---------------   " + thisText + " Holes   ---------------\r\n"
//   then one AngleField line per hole, the angle starting at 0 and advanced by repeated addition of
//   360 / N while it is at most 359, then one empty line; every line ends with CR LF.
// "7" gives the header, "  0", " 51.42857", "102.85714", "154.28571", "205.71428", "257.14285",
// "308.57142" and an empty line.
// Messages: kThisMessage when thisText is not numeric or its value is not above 1;
// kThisTooLargeMessage when it is above kMaxHoleCount; kOutOfMemoryMessage if the text cannot be
// held.
BuildResult BuildThisTable(std::string_view thisText, const BuildProgress& progress = {});

// The Build All survey: one block per count k from From to To in steps of one whose spacing 360 / k
// is a whole number of degrees:
//   "---------------   " + numberText(k) + " Holes   ---------------\r\n"
//   the angles 0, q, 2q, ... while at most 359, each numberText, joined by ", ", then CR LF,
//   then two empty lines.
// The survey may be empty (From 7 To 7, From 361 To 1000). A count so small that 360 / k overflows
// is skipped. Counts above 360 are never listed, so the walk stops there.
// Messages, the first failing check only: kFromMessage (From not numeric or not above 0),
// kToMessage (To not numeric or not above 1), kOrderMessage (the leading value of To below that
// of From).
BuildResult BuildAllTable(std::string_view fromText, std::string_view toText,
                          const BuildProgress& progress = {});

}  // namespace morvanta
