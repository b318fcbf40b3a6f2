// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"
#include "engine/HoleTable.h"

namespace morvanta::cli {

namespace {

int runThis(const Invocation& invocation) {
    const Result<Arguments> arguments = readArguments(invocation, {}, {"COUNT"});
    if (!arguments.ok()) {
        return malformed(invocation, arguments.message());
    }
    const BuildResult table = BuildThisTable(arguments.value().operands.front());
    if (!table.ok()) {
        return refuse(invocation, table.message());
    }
    return writeOutput(invocation, table.value(), LineBreak::CrLf);
}

}  // namespace

extern const Command kThisCommand;
constinit const Command kThisCommand{
    "this",
    "the angle of every hole of COUNT equally spaced holes (Build This)",
    "this COUNT",
    "Prints the angle of every hole of COUNT equally spaced holes, the first at 0 degrees, each\n"
    "cut (never rounded) to nine characters, exactly as the Morvanta window's Build This shows\n"
    "it. COUNT is read as the window reads it: a number above 1 and at most 10000000, such as\n"
    "7, 7.5 or 1e3; it is repeated in the header as typed.\n",
    LineBreak::CrLf,
    runThis,
};

}  // namespace morvanta::cli
