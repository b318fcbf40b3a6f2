// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace morvanta {

// A sheet for the machine as data: what the command-line tool prints as text and a window prints
// on paper, so that both show the same words and figures. The engine's sheet builders make one;
// reportText() lays it out.
struct Report {
    // "Setting sheet: 7 holes": the first line, and a printed page's heading.
    std::string title;
    // Lines after the title that give the inputs and say what each column means.
    std::vector<std::string> notes;
    // Column names, then one row per hole or division, each with as many cells as there are
    // column names.
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    // Lines after the table: the largest error, a check that the divisions close the circle.
    std::vector<std::string> footer;
    // The plan's answer, which a window shows first, in large type above the table: the move,
    // the circle, the gears and their direction, the largest error. Each is also one of the notes
    // or footer lines, where the text prints it; reportText() does not print them again.
    //   {"Method: simple indexing", "Move: 1 turn and 5 holes on the 15-hole circle for each
    //    division"}
    std::vector<std::string> answer = {};
    // The unit of each column's figures, one for each column name, "" where the name says what
    // they count or they are in the unit the user gave: a handwheel's sheet has
    // {"", "°'\"", "", "graduations", "\""} for Hole, Angle, Turns, Dial and Error.
    std::vector<std::string> columnUnits = {};
};

// The lines that start with one of `starts`, in the order of `lines`: how a report's writer picks
// its answer from its notes.
//   answerLines({"Head: 40:1", "Move: 5 turns"}, {"Move:"}) == {"Move: 5 turns"}
std::vector<std::string> answerLines(const std::vector<std::string>& lines,
                                     std::initializer_list<std::string_view> starts);

// The width of a text in terminal columns: UTF-8 continuation bytes take none, so "4°" is 2.
std::size_t displayWidth(const std::string& text);

// The report as plain text with LF line breaks: the title, the notes, an empty line, the column
// names and the rows right-aligned in columns (each as wide as its widest cell, two blanks between
// columns), then the footer. A report without columns has no table and no empty line before it:
//   {"Setting sheet: 2 holes", {"Angle: ..."}, {"Hole", "Angle"},
//    {{"1", "0°00'00\""}, {"2", "180°00'00\""}}, {"Largest error: 0.00\""}}
// gives
//   Setting sheet: 2 holes
//   Angle: ...
//
//   Hole       Angle
//      1    0°00'00"
//      2  180°00'00"
//   Largest error: 0.00"
std::string reportText(const Report& report);

}  // namespace morvanta
