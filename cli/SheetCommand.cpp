// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"
#include "engine/SettingSheet.h"

namespace morvanta::cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"--ratio", true},  {"--dial", true}, {"--resolution", true}, {"--csv", false},
    {"--start", true},  {"--span", true}, {"--ends", false},      {"--cw", false},
    {"--gcode", false}, {"--axis", true}, {"--decimals", true},
};

int runSheet(const Invocation& invocation) {
    const Result<Arguments> parsed = readArguments(invocation, kOptions, {"COUNT"});
    if (!parsed.ok()) {
        return malformed(invocation, parsed.message());
    }
    const Arguments& arguments = parsed.value();
    SheetArguments texts{arguments.operands.front(), arguments.value("--ratio"),
                         arguments.value("--dial"), arguments.value("--resolution")};
    texts.start = arguments.value("--start");
    texts.span = arguments.value("--span");
    texts.ends = arguments.has("--ends");
    texts.clockwise = arguments.has("--cw");
    texts.csv = arguments.has("--csv");
    texts.gcode = arguments.has("--gcode");
    texts.axis = arguments.value("--axis");
    texts.decimals = arguments.value("--decimals");
    const SheetPlanResult plan = planSheet(texts);
    if (!plan.ok()) {
        return refuse(invocation, plan.message());
    }
    const std::string sheet = plan.value().gcode ? sheetGcode(plan.value())
                              : texts.csv        ? sheetCsv(plan.value())
                                                 : sheetText(plan.value());
    return writeOutput(invocation, sheet, LineBreak::Lf);
}

}  // namespace

extern const Command kSheetCommand;
constinit const Command kSheetCommand{
    "sheet",
    "a setting sheet for a manual rotary table or dividing head",
    "sheet COUNT [--ratio R] [--dial D] [--resolution S] [--start A]\n"
    "                     [--span S [--ends]] [--cw] [--csv | --gcode [--axis A|B|C] [--decimals "
    "N]]",
    "Prints the setting of every hole of COUNT equally spaced holes (2 to 10000) for a manual\n"
    "rotary table: the angle, rounded from the exact angle of each hole on its own, and the\n"
    "error of that setting in seconds of arc.\n"
    "  --ratio R       worm ratio (90 for 90:1, 40.5 for 40.5:1): adds the whole handwheel\n"
    "                  turns from zero and the dial reading within the turn\n"
    "  --dial D        graduations per handwheel turn (240 for a 90:1 table read in minutes):\n"
    "                  every setting is rounded to whole graduations\n"
    "  --resolution S  round to this step: 1s (the default), 10s, 1m, ...\n"
    "  --start A       the angle of hole 1 in degrees, such as 15 or -22.5; default 0\n"
    "  --span S        spread the holes over an arc of S degrees (above 0, up to 360) from\n"
    "                  hole 1: S / COUNT apart, the last a step short of the end\n"
    "  --ends          with --span: a hole at each end of the arc, S / (COUNT - 1) apart\n"
    "  --cw            the holes go the other way: hole k at -(start + (k - 1) x step)\n"
    "  --csv           comma-separated values for a spreadsheet\n"
    "  --gcode         a program for a CNC rotary axis instead of the sheet: for each hole\n"
    "                  G90 G0 to its exact angle in degrees, then M0, a stop for the work.\n"
    "                  The angles run on from the start without wrapping at 360, so the axis\n"
    "                  turns the same way to every hole; not with --ratio, --dial, --resolution\n"
    "  --axis A|B|C    with --gcode: the rotary axis letter; default A\n"
    "  --decimals N    with --gcode: decimals of a degree, 0 to 8, each angle correctly\n"
    "                  rounded (halves away from zero); default 4\n",
    LineBreak::Lf,
    runSheet,
};

}  // namespace morvanta::cli
