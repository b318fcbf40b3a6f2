// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
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
// the window.
struct PageOutput {
    // Exactly what morvanta-table prints for the same input, LF line breaks.
    std::string text;
    // The engine's writers, run only when the user prints or saves, so that typing into a large
    // sheet makes its text alone: the same sheet as data for the printed page, its CSV and its
    // G-code. An empty csv or gcode means the page has no such output for this input, and the
    // message beside it says why ("" where the page has no such output at all).
    std::function<Report()> report;
    std::function<std::string()> csv;
    std::function<std::string()> gcode;
    std::function<Sketch()> sketch;
    QString csvMessage = {};
    // Why this input makes no G-code although the page can make some, and the field that message
    // names ("" for none): the sheet itself is good all the same.
    QString gcodeMessage = {};
    QString gcodeAbout = {};
};

// Either the output, or the engine's one message, worded for the window, with the name of the
// input at fault (Result::about(), "" when no one field is to blame).
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
};

// A page of the window: its fields and the one engine call that turns their texts into a sheet.
struct PageDefinition {
    QString name;      // object name and settings group: the calculation's name, "sheet"
    QString title;     // the tab's caption with its mnemonic: "&Setting sheet"
    QString fileStem;  // start of a suggested file name: "setting-sheet"
    std::vector<FieldDefinition> fields;
    std::function<PageResult(const Inputs&)> compute;
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
