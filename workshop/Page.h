// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Report.h"
#include "engine/Result.h"

namespace morvanta::workshop {

// The texts of a page's fields as the user typed them, by field name, for the engine's planner.
// A text field left empty and a flag left unticked are absent, as an option not given on the
// command line is; a ticked flag is present with the text "".
class Inputs {
public:
    void set(std::string_view name, std::string text) {
        texts_[std::string(name)] = std::move(text);
    }

    // The text of a field that must be given (a count): "" when it is empty.
    std::string_view text(std::string_view name) const {
        const auto found = texts_.find(name);
        return found == texts_.end() ? std::string_view() : std::string_view(found->second);
    }

    // The text of an option, or nothing when it was left empty.
    std::optional<std::string_view> option(std::string_view name) const {
        const auto found = texts_.find(name);
        if (found == texts_.end()) {
            return std::nullopt;
        }
        return std::string_view(found->second);
    }

    bool has(std::string_view name) const { return texts_.find(name) != texts_.end(); }

private:
    std::map<std::string, std::string, std::less<>> texts_;
};

// What one page's engine call gives for good input. Every text comes from the engine.
struct PageOutput {
    // Exactly what morvanta-table prints for the same input, LF line breaks.
    std::string text;
    // The engine's writers, run only when the user prints or saves, so that typing into a large
    // sheet makes its text alone: the same sheet as data for the printed page, its CSV and its
    // G-code. An empty csv or gcode means the page has no such output for this input.
    std::function<Report()> report;
    std::function<std::string()> csv;
    std::function<std::string()> gcode;
    // Why this input makes no G-code although the page can make some, in the engine's words, and
    // the field that message names ("" for none): the sheet itself is good all the same.
    std::string gcodeMessage = {};
    std::string gcodeAbout = {};
};

// Either the output, or the engine's one message with the name of the input at fault
// (Result::about(), "" when no one field is to blame).
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

// One input of a page.
struct FieldDefinition {
    // The object name of the control, its settings key and its name in Inputs: "count".
    QString name = {};
    // The caption with its mnemonic: "&Count". The accessible name is the caption without '&'.
    QString label = {};
    FieldKind kind = FieldKind::Text;
    // The text, the ticked state ("true"/"false") or the chosen value a Reset gives back.
    QString defaultValue = {};
    // What the field is for, shown as its tool tip and read out as its accessible description.
    QString hint = {};
    // Shown in an empty text field: what leaving it empty means ("none", "1s").
    QString placeholder = {};
    std::vector<Choice> choices = {};
    bool editable = false;
    // The names the engine gives this input in Result::about(); the field's own name when empty.
    QStringList about = {};
    // A heading shown above this field, starting a new group of fields ("G-code").
    QString section = {};
    // The field shapes the G-code alone, so the sheet's inputs (its status line, the printed
    // page) leave it out.
    bool gcodeOnly = false;
};

// A page of the window: its fields and the one engine call that turns their texts into a sheet.
struct PageDefinition {
    QString name;      // object name and settings group: "sheet"
    QString title;     // the tab's caption with its mnemonic: "&Setting sheet"
    QString fileStem;  // start of a suggested file name: "setting-sheet"
    std::vector<FieldDefinition> fields;
    std::function<PageResult(const Inputs&)> compute;
};

// The three pages in the order of their tabs: Setting sheet, Index plate, Bolt circle.
std::vector<PageDefinition> workshopPages();

// The fields more than one page has, captioned alike (and so with the same mnemonic) on each.
FieldDefinition countField(QString defaultValue, QString hint, QString placeholder);
FieldDefinition startField(QString hint);
FieldDefinition spanField();
FieldDefinition endsField();
FieldDefinition clockwiseField(QString hint);

// The output of a page from the engine's plan for its fields, or the engine's refusal as it is:
// the text at once, the report and the CSV (where the page has a `csv` writer for this plan)
// made only when the user prints or saves.
template <typename Plan>
PageResult planOutput(const Result<Plan>& plan, std::string (*text)(const Plan&),
                      Report (*report)(const Plan&), std::string (*csv)(const Plan&)) {
    if (!plan.ok()) {
        return PageResult::failure(plan.message(), plan.about());
    }
    PageOutput output;
    output.text = text(plan.value());
    output.report = [sheet = plan.value(), report] { return report(sheet); };
    if (csv != nullptr) {
        output.csv = [sheet = plan.value(), csv] { return csv(sheet); };
    }
    return PageResult::success(std::move(output));
}

// Gives a good sheet the G-code of the engine's plan for the same request with the G-code fields,
// or, where the engine refuses that, its message and the field it names.
template <typename Plan>
void addGcode(PageResult& sheet, const Result<Plan>& program, std::string (*gcode)(const Plan&)) {
    if (program.ok()) {
        sheet.value().gcode = [plan = program.value(), gcode] { return gcode(plan); };
    } else {
        sheet.value().gcodeMessage = program.message();
        sheet.value().gcodeAbout = program.about();
    }
}

PageDefinition settingSheetPage();
PageDefinition indexPlatePage();
PageDefinition boltCirclePage();

}  // namespace morvanta::workshop
