// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"
#include "engine/HoleTable.h"

namespace morvanta::cli {

namespace {

int runAll(const Invocation& invocation) {
    const Result<Arguments> arguments = readArguments(invocation, {}, {"FROM", "TO"});
    if (!arguments.ok()) {
        return malformed(invocation, arguments.message());
    }
    const std::vector<std::string_view>& operands = arguments.value().operands;
    const BuildResult survey = BuildAllTable(operands[0], operands[1]);
    if (!survey.ok()) {
        return refuse(invocation, survey.message());
    }
    return writeOutput(invocation, survey.value(), LineBreak::CrLf);
}

}  // namespace

extern const Command kAllCommand;
constinit const Command kAllCommand{
    "all",
    "every hole count from FROM to TO with a whole-degree spacing (Build All)",
    "all FROM TO",
    "Walks the hole counts from FROM to TO in steps of one and lists each count whose spacing,\n"
    "360 degrees divided by the count, is a whole number of degrees, with the angles of all its\n"
    "holes on one line, exactly as the Morvanta window's Build All shows them. Such counts can\n"
    "be set on a rotary table without a digital read-out. The list may be empty.\n",
    LineBreak::CrLf,
    runAll,
};

}  // namespace morvanta::cli
