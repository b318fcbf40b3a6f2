// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"

namespace morvanta::cli {

extern const Command kThisCommand;
extern const Command kAllCommand;
extern const Command kSheetCommand;
extern const Command kIndexCommand;
extern const Command kCoordsCommand;

std::span<const Command> commands() {
    static const Command all[] = {kThisCommand, kAllCommand, kSheetCommand, kIndexCommand,
                                  kCoordsCommand};
    return all;
}

}  // namespace morvanta::cli
