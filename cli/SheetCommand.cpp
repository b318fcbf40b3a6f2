// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"
#include "engine/SettingSheet.h"

namespace morvanta::cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"--ratio", true},
    {"--dial", true},
    {"--resolution", true},
    {"--csv", false},
};

int runSheet(const Invocation& invocation) {
    const Result<Arguments> parsed = parseArguments(invocation.words, kOptions);
    if (!parsed.ok()) {
        return malformed(invocation, parsed.message());
    }
    const Arguments& arguments = parsed.value();
    if (arguments.operands.size() != 1) {
        return malformed(invocation,
                         arguments.operands.empty() ? "missing COUNT" : "sheet takes one COUNT");
    }
    const SheetPlanResult plan =
        planSheet({arguments.operands.front(), arguments.value("--ratio"),
                   arguments.value("--dial"), arguments.value("--resolution")});
    if (!plan.ok()) {
        return refuse(invocation, plan.message());
    }
    const std::string sheet =
        arguments.has("--csv") ? sheetCsv(plan.value()) : sheetText(plan.value());
    return writeOutput(invocation, sheet, LineBreak::Lf);
}

}  // namespace

extern const Command kSheetCommand;
constinit const Command kSheetCommand{
    "sheet",
    "a setting sheet for a manual rotary table or dividing head",
    "sheet COUNT [--ratio R] [--dial D] [--resolution S] [--csv]",
    "Prints the setting of every hole of COUNT equally spaced holes (2 to 10000) for a manual\n"
    "rotary table: the angle, rounded from the exact angle of each hole on its own, and the\n"
    "error of that setting in seconds of arc.\n"
    "  --ratio R       worm ratio (90 for 90:1, 40.5 for 40.5:1): adds the whole handwheel\n"
    "                  turns from zero and the dial reading within the turn\n"
    "  --dial D        graduations per handwheel turn (240 for a 90:1 table read in minutes):\n"
    "                  every setting is rounded to whole graduations\n"
    "  --resolution S  round to this step: 1s (the default), 10s, 1m, ...\n"
    "  --csv           comma-separated values for a spreadsheet\n",
    LineBreak::Lf,
    runSheet,
};

}  // namespace morvanta::cli
