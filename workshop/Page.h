// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Calculation.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta::workshop {

// What one page's engine call gives for good input. Every text comes from the engine, worded for
// the window. The call may run away from the window's thread: nothing here touches a widget.
struct PageOutput {
    // The engine's writers, run only when the user copies, prints or saves, so that typing into a
    // large sheet makes only what the page shows: the text exactly as morvanta-table prints it
    // for the same input (LF line breaks), the same sheet as data for the printed page, its CSV
    // and its G-code. An empty csv or gcode means the page has no such output for this input, and
    // the message beside it says why ("" where the page has no such output at all).
    std::function<std::string()> text;
    std::function<Report()> report;
    std::function<std::string()> csv;
    std::function<std::string()> gcode;
    std::function<Sketch()> sketch;
    // What the page shows, made with the rest: the sheet as data (its answer, notes and table;
    // for a sheet that is text alone, its lines as notes) and the picture of the setup, nullptr
    // where the calculation draws none.
    std::shared_ptr<const Report> shownReport = {};
    std::shared_ptr<const Sketch> shownSketch = {};
    // widestCells(*shownReport), what its table's columns are sized to.
    QStringList shownWidest = {};
    QString csvMessage = {};
    // Why this input makes no G-code although the page can make some, and the field that message
    // names ("" for none): the sheet itself is good all the same.
    QString gcodeMessage = {};
    QString gcodeAbout = {};
};

// Either the output, or the engine's one message, worded for the window, with the name of the
// field at fault (Result::about(), "" when no one field is to blame): the input's name, "centreY"
// for the Y of the centre, "diameter" for the radius given in its place.
using PageResult = Result<PageOutput>;

enum class FieldKind {
    Text,    // a line of text, absent when empty
    Flag,    // a check box, present when ticked
    Choice,  // one of a list; an editable list also takes the user's own text
};

struct Choice {
    QString label;  // what the list shows: "Brown & Sharpe"
    QString value;  // what the engine gets: "bs"; "" leaves the option out
};

// One input of a page, as the window shows it: made from the input's description.
struct FieldDefinition {
    // The object name of the control, its settings key and the input's id: "count".
    QString name = {};
    // The caption with its mnemonic: "&Count". The accessible name is the caption without '&'.
    QString label = {};
    FieldKind kind = FieldKind::Text;
    // The text, the ticked state ("true"/"false") or the chosen value a Reset gives back.
    QString defaultValue = {};
    // What the field is for, its limits and default, shown as its tool tip and read out as its
    // accessible description.
    QString hint = {};
    // Shown in an empty text field: what leaving it empty means ("0", "40").
    QString placeholder = {};
    std::vector<Choice> choices = {};
    bool editable = false;
    // A heading shown above this field, starting a new group of fields ("G-code").
    QString section = {};
    // The field shapes the G-code alone, so the sheet's inputs (its status line, the printed
    // page) leave it out.
    bool gcodeOnly = false;
    // The most characters the input can usefully hold; a longer text, typed or pasted, is refused
    // whole, never cut.
    int maxLength = 0;
    // The engine's input the field gives, "" for the field's name; for one number of a point the
    // point's ("centre" for the fields "centreX" and "centreY"), which part says: 1 for X, 2 for
    // Y, 0 for a whole value.
    QString input = {};
    int part = 0;
    // The inputs the field may give instead, which a switch beside it picks, its own first:
    // {{"Diameter", "diameter"}, {"Radius", "radius"}}; empty for a field of one input.
    std::vector<Choice> alternatives = {};
    // The mnemonic letter of each alternative, as in the captions of the fields: "mu".
    QString alternativeLetters = {};
};

// A page of the window: its fields and the one engine call that turns their texts into a sheet.
struct PageDefinition {
    QString name;         // object name and settings group: the calculation's name, "sheet"
    QString calculation;  // the calculation's own name, which a job file holds: "coords" for "bolt"
    QString title;        // the tab's caption with its mnemonic: "&Setting sheet"
    QString fileStem;     // start of a suggested file name: "setting-sheet"
    std::vector<FieldDefinition> fields;
    std::function<PageResult(const Inputs&)> compute;
    // What the calculation gives and how, for the Help window, in the window's words.
    QString about = {};
    // Whether the calculation has a CSV and a G-code output at all.
    bool makesCsv = false;
    bool makesGcode = false;
};

// A page for every calculation with a title, in the order of the calculations: Setting sheet,
// Index plate, Bolt circle, ...
std::vector<PageDefinition> workshopPages();

// The page of one calculation, its fields' captions given mnemonics none of `taken` (the window's
// menus and tabs, lower case) has; its title without a mnemonic, which the window's tabs share out.
PageDefinition pageOf(const Calculation& calculation, const QString& taken);

// An engine text worded for the window: each {id} as that input's caption, quoted where it does
// not open the text, and the first letter made upper case:
//   "{ends} needs {span}" -> "Hole at each end needs “Span”".
QString windowWords(const Calculation& calculation, std::string_view text);

}  // namespace morvanta::workshop
