// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
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
    // The columns that hold lengths in the work's own units (X, Y), by index from 0: where a job
    // names its units, their headings say so ("X (mm)"). No figure depends on it.
    std::vector<std::size_t> lengthColumns = {};
    // For each row, the move from the row before it, as set at the machine: "12 turns and 206
    // graduations", "X +35.3553, Y -14.6447"; "" for the first row. Empty where the calculation
    // gives no moves. The text of the report leaves them out.
    std::vector<std::string> moves = {};
};

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
