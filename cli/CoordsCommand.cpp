// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"
#include "engine/BoltCircle.h"

namespace morvanta::cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"--diameter", true}, {"--radius", true}, {"--centre", true}, {"--start", true},
    {"--cw", false},      {"--zero", true},   {"--span", true},   {"--ends", false},
    {"--decimals", true}, {"--csv", false},   {"--gcode", false}, {"--depth", true},
    {"--retract", true},  {"--feed", true},
};

int runCoords(const Invocation& invocation) {
    const Result<Arguments> parsed = readArguments(invocation, kOptions, {"COUNT"});
    if (!parsed.ok()) {
        return malformed(invocation, parsed.message());
    }
    const Arguments& arguments = parsed.value();
    BoltCircleArguments texts;
    texts.count = arguments.operands.front();
    texts.diameter = arguments.value("--diameter");
    texts.radius = arguments.value("--radius");
    texts.centre = arguments.value("--centre");
    texts.start = arguments.value("--start");
    texts.clockwise = arguments.has("--cw");
    texts.zero = arguments.value("--zero");
    texts.span = arguments.value("--span");
    texts.ends = arguments.has("--ends");
    texts.decimals = arguments.value("--decimals");
    texts.csv = arguments.has("--csv");
    texts.gcode = arguments.has("--gcode");
    texts.depth = arguments.value("--depth");
    texts.retract = arguments.value("--retract");
    texts.feed = arguments.value("--feed");
    const Result<BoltCirclePlan> plan = planBoltCircle(texts);
    if (!plan.ok()) {
        return refuse(invocation, plan.message());
    }
    switch (plan.value().output) {
        case BoltOutput::Csv:
            return writeOutput(invocation, boltCircleCsv(plan.value()), LineBreak::Lf);
        case BoltOutput::Gcode:
            return writeOutput(invocation, boltCircleGcode(plan.value()), LineBreak::Lf);
        case BoltOutput::Table:
            break;
    }
    return writeOutput(invocation, boltCircleText(plan.value()), LineBreak::Lf);
}

}  // namespace

extern const Command kCoordsCommand;
constinit const Command kCoordsCommand{
    "coords",
    "X and Y of each hole of a bolt circle, for a read-out or as G-code",
    "coords COUNT (--diameter D | --radius R) [--centre X,Y] [--start A] [--cw]\n"
    "                      [--zero east|north] [--span S [--ends]] [--decimals N]\n"
    "                      [--csv | --gcode --depth Z --retract R --feed F]",
    "Prints the X and Y of each of COUNT holes (1 to 10000) equally spaced round a circle, for a\n"
    "mill with a digital read-out or a CNC control. Hole k lies at the exact angle\n"
    "start + (k - 1) x step; each coordinate is the exact centre + radius x cos or sin of that\n"
    "angle, correctly rounded (halves away from zero), so 30 degrees on a radius of 50 is\n"
    "25.0000 and nothing reads -0.0000. Numbers are in whatever unit you give them in (mm or\n"
    "inch); nothing is converted.\n"
    "  --diameter D    the diameter of the bolt circle (above 0)\n"
    "  --radius R      its radius instead\n"
    "  --centre X,Y    the centre, such as 10,-5 (no spaces); default 0,0\n"
    "  --start A       the angle of hole 1 in degrees, such as 15 or -22.5; default 0\n"
    "  --zero east|north  the direction of angle 0: +X (east, the default) or +Y (north)\n"
    "  --cw            count angles clockwise; the default is counter-clockwise\n"
    "  --span S        spread the holes over an arc of S degrees (0 to 360) from hole 1 instead\n"
    "                  of the full circle: S / COUNT apart, the last a step short of the end\n"
    "  --ends          with --span: a hole at each end of the arc, S / (COUNT - 1) apart\n"
    "  --decimals N    decimals of the coordinates and angles, 0 to 8; default 4\n"
    "  --csv           comma-separated values: hole,angle,x,y\n"
    "  --gcode         a drilling program: G90 absolute positions, a G98 G81 canned cycle with\n"
    "                  hole 1, then X Y of each further hole, G80, M30; every number with a\n"
    "                  decimal point. Units, work offset, tool and spindle are those set on the\n"
    "                  control: the program sets none of them.\n"
    "  --depth Z       with --gcode: the Z of the bottom of the holes, such as -5\n"
    "  --retract R     with --gcode: the Z of the retract plane, above the depth, such as 2\n"
    "  --feed F        with --gcode: the drilling feed, above 0, such as 100\n"
    "Depth, retract plane and feed may have no more decimals than --decimals.\n",
    LineBreak::Lf,
    runCoords,
};

}  // namespace morvanta::cli
