// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"
#include "engine/Indexing.h"

namespace morvanta::cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"--survey", false}, {"--ratio", true}, {"--plates", true}, {"--gears", true}, {"--csv", false},
};

int runSurvey(const Invocation& invocation, const Arguments& arguments) {
    if (const std::string complaint = operandComplaint(arguments, {"FROM", "TO"});
        !complaint.empty()) {
        return malformed(invocation, "--survey: " + complaint);
    }
    const Result<SurveyPlan> plan =
        planSurvey({arguments.operands[0], arguments.operands[1], arguments.value("--ratio"),
                    arguments.value("--plates"), arguments.value("--gears")});
    if (!plan.ok()) {
        return refuse(invocation, plan.message());
    }
    const std::string survey =
        arguments.has("--csv") ? surveyCsv(plan.value()) : surveyText(plan.value());
    return writeOutput(invocation, survey, LineBreak::Lf);
}

int runIndex(const Invocation& invocation) {
    const Result<Arguments> parsed = parseArguments(invocation.words, kOptions);
    if (!parsed.ok()) {
        return malformed(invocation, parsed.message());
    }
    const Arguments& arguments = parsed.value();
    if (arguments.has("--survey")) {
        return runSurvey(invocation, arguments);
    }
    if (const std::string complaint = operandComplaint(arguments, {"COUNT"}); !complaint.empty()) {
        return malformed(invocation, complaint);
    }
    const Result<IndexPlan> plan = planIndex(
        {arguments.operands.front(), arguments.value("--ratio"), arguments.value("--plates"),
         arguments.value("--gears"), arguments.has("--csv")});
    if (!plan.ok()) {
        return refuse(invocation, plan.message());
    }
    const std::string sheet =
        arguments.has("--csv") ? indexCsv(plan.value()) : indexText(plan.value());
    return writeOutput(invocation, sheet, LineBreak::Lf);
}

}  // namespace

extern const Command kIndexCommand;
constinit const Command kIndexCommand{
    "index",
    "crank moves for a dividing head: simple, compound and differential indexing",
    "index COUNT [--ratio R] [--plates SET] [--gears LIST] [--csv]\n"
    "       morvanta-table index --survey FROM TO [--ratio R] [--plates SET] [--gears LIST] "
    "[--csv]",
    "Prints how to divide the work into COUNT equal divisions (1 to 999999999) with a dividing\n"
    "head and its index plates, exactly: simple indexing on one hole circle (every circle that\n"
    "works, the one with the fewest holes recommended), else compound indexing on two circles of\n"
    "one plate, else differential indexing with the change gears, else the nearest-hole plan\n"
    "marked approximate with each division's error. Up to 10000 divisions, one line per\n"
    "division gives its exact angle and the crank's place counted from the first division.\n"
    "  --survey        list the method and move of every count from FROM to TO (at most\n"
    "                  100000 counts) instead\n"
    "  --ratio R       crank turns for one turn of the work, a whole number (default 40)\n"
    "  --plates SET    bs (the three Brown & Sharpe plates, the default), cincinnati (the\n"
    "                  standard Cincinnati plate, both sides), or your own circles: commas\n"
    "                  between the circles of one plate, a slash between plates, such as\n"
    "                  15,16,17,18,19,20/21,23,27,29,31,33\n"
    "  --gears LIST    the change gears you own, teeth with commas between; a number given\n"
    "                  twice is two gears (default 24,28,32,40,44,48,56,64,72,86,100)\n"
    "  --csv           comma-separated values: the division table, or with --survey the rows\n"
    "                  count,method,turns,holes,circle\n",
    LineBreak::Lf,
    runIndex,
};

}  // namespace morvanta::cli
