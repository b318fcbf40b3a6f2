// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

#include "engine/Report.h"
#include "engine/Sketch.h"

class QPagedPaintDevice;

namespace morvanta::workshop {

// A sheet as it goes on paper: the engine's report and the inputs it was made from.
struct PrintedSheet {
    Report report;
    QString inputs;  // "Count: 7; Worm ratio: 90; Dial graduations: 240"
    std::optional<Sketch> sketch = std::nullopt;  // the picture of the setup, if it has one
};

// Lays a sheet out on the pages of a printer or PDF writer, to be ticked off at the machine:
// the title, the inputs and the report's notes at the top of the first page, then the table with
// an empty box before every row, the column names repeated at the top of every page the table
// continues on ("<title> (continued)" and the inputs above them), the report's footer after the
// last row, and at the foot of every page the title and "Page i of n". The picture of the setup,
// drawn by paintSketch with 8 pt texts, goes across the first page between the notes and the
// table, 200 pt high (less where the notes leave less room above the column names and a row);
// scaled to fit its box, it is never cut.
//
// Sizes are in points, whatever the device's resolution, so that a page holds a known number of
// rows: the title takes 20 pt, the inputs 14 pt a line, each note 12 pt a line, then 8 pt of
// space; a continued page starts with an 18 pt line and the inputs in the notes' type, 12 pt a
// line; the column names and each row take 16 pt, room to tick a box by hand; each footer line
// 14 pt; the foot of the page 20 pt; the picture 200 pt and 8 pt under it. A4 with 15 mm margins
// (755.94 pt high as Qt lays it out) holds 24 rows under a line of inputs, six notes and a
// picture, 37 without the picture, (755.94 - 130 - 20) / 16 = 37.9, and 43 under a line of
// inputs on each further page, (755.94 - 18 - 12 - 16 - 20) / 16 = 43.1. A table too wide for
// the page is set in a smaller type (down to 5 pt) rather than cut.
//
// Returns the number of pages printed, or 0 when the device could not be painted on. Throws
// std::bad_alloc when memory runs short: before painting, when too little is left to hold and
// write out every page, or part way, with the painting closed.
int printSheet(QPagedPaintDevice& device, const PrintedSheet& sheet);

}  // namespace morvanta::workshop
