// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>

#include "engine/IndexingDetail.h"

namespace morvanta {

std::vector<SurveyEntry> surveyEntries(const SurveyPlan& plan) {
    const indexing::Planner planner(plan.head);
    std::vector<SurveyEntry> entries;
    entries.reserve(static_cast<std::size_t>(plan.to - plan.from + 1));
    for (std::int64_t count = plan.from; count <= plan.to; ++count) {
        SurveyEntry entry;
        entry.count = count;
        if (const std::optional<HoleMove> move = planner.simple(count)) {
            entry.method = IndexMethod::Simple;
            entry.move = *move;
        } else if (const std::optional<CompoundMove> compound = planner.compound(count)) {
            entry.method = IndexMethod::Compound;
            entry.move = {compound->turns, compound->holes, compound->circle, compound->plate};
            entry.compound = compound;
        } else if (std::vector<DifferentialMove> plans = planner.differential(count, 1);
                   !plans.empty() && indexing::identityHolds(plan.head, count, plans.front())) {
            entry.method = IndexMethod::Differential;
            entry.move = plans.front().move;
            entry.differential = std::move(plans.front());
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

using detail::formatted;
using namespace indexing;

// What a survey row adds to the crank's move: the plate's move, or the base count and gears.
std::string surveyDetail(const SurveyEntry& entry) {
    switch (entry.method) {
        case IndexMethod::Simple:
            break;
        case IndexMethod::Compound:
            return "plate " + number(entry.compound->plateHoles) + " on " +
                   number(entry.compound->plateCircle) +
                   (entry.compound->plateBack ? " back" : " forward");
        case IndexMethod::Differential:
            return "as for " + number(entry.differential->base) + ", gears " +
                   shortTrainText(entry.differential->train) + ", plate " +
                   directionWord(entry.differential->gearing) + " crank";
        case IndexMethod::None:
            return "no exact plan";
    }
    return "";
}

}  // namespace

Report surveyReport(const SurveyPlan& plan) {
    Report report;
    report.title = formatted("Indexing survey: %lld to %lld divisions",
                             static_cast<long long>(plan.from), static_cast<long long>(plan.to));
    report.notes = headNotes(plan.head);
    report.notes.push_back(
        "Method: the first of simple, compound (two circles of one plate) and differential "
        "(gears)");
    report.notes.push_back("that gives the count exactly, or none");
    report.notes.push_back(
        "Turns, Holes, Circle: the crank's move for each division (differential: that of the "
        "base count)");
    report.notes.push_back(
        "Then: compound, the plate's move after the crank's; differential, the base count, the "
        "gears");
    report.notes.push_back(
        "driver/driven from the spindle, and whether the plate turns with or against the "
        "crank");
    report.columns = {"Count", "Method", "Turns", "Holes", "Circle", "Then"};
    std::int64_t tally[4] = {0, 0, 0, 0};
    const std::vector<SurveyEntry> entries = surveyEntries(plan);
    report.rows.reserve(entries.size());
    for (const SurveyEntry& entry : entries) {
        ++tally[static_cast<int>(entry.method)];
        const bool none = entry.method == IndexMethod::None;
        report.rows.push_back({number(entry.count), std::string(methodName(entry.method)),
                               none ? "" : number(entry.move.turns),
                               none ? "" : number(entry.move.holes),
                               none ? "" : number(entry.move.circle), surveyDetail(entry)});
    }
    report.footer.push_back(
        formatted("Simple: %lld, compound: %lld, differential: %lld, none: %lld of %lld counts",
                  static_cast<long long>(tally[0]), static_cast<long long>(tally[1]),
                  static_cast<long long>(tally[2]), static_cast<long long>(tally[3]),
                  static_cast<long long>(entries.size())));
    report.columnUnits.assign(report.columns.size(), "");
    report.answer = report.footer;
    return report;
}

std::string surveyText(const SurveyPlan& plan) {
    return reportText(surveyReport(plan));
}

namespace {

// What a CSV row adds after the crank's move: the plate's move of a compound plan, signed (minus
// for back, against the crank), so that turns + holes / circle + plate_holes / plate_circle is
// the ratio over the count; or the base count, the gearing and the train of a differential plan.
std::string surveyCsvDetail(const SurveyEntry& entry) {
    if (entry.method == IndexMethod::Compound) {
        const CompoundMove& c = *entry.compound;
        return formatted(",%lld,%lld,,,",
                         static_cast<long long>(c.plateBack ? -c.plateHoles : c.plateHoles),
                         static_cast<long long>(c.plateCircle));
    }
    if (entry.method == IndexMethod::Differential) {
        const DifferentialMove& d = *entry.differential;
        return ",,," + number(d.base) + "," + fractionText(d.gearing) + "," +
               shortTrainText(d.train);
    }
    return ",,,,,";
}

}  // namespace

std::string surveyCsv(const SurveyPlan& plan) {
    std::string text =
        "count,method,turns,holes,circle,plate_holes,plate_circle,base,gearing,gears\n";
    for (const SurveyEntry& entry : surveyEntries(plan)) {
        text += number(entry.count) + "," + std::string(methodName(entry.method));
        if (entry.method == IndexMethod::None) {
            text += ",,,";
        } else {
            text += formatted(",%lld,%lld,%lld", static_cast<long long>(entry.move.turns),
                              static_cast<long long>(entry.move.holes),
                              static_cast<long long>(entry.move.circle));
        }
        text += surveyCsvDetail(entry) + "\n";
    }
    return text;
}

}  // namespace morvanta
