// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>
#include <cstdio>
#include <new>
#include <string_view>
#include <vector>

#include "cli/Output.h"
#include "cli/Runner.h"

int main(int argc, char** argv) {
    // A reader that goes away (| head) ends us the ordinary, quiet way, even if our parent
    // ignored the signal.
    std::signal(SIGPIPE, SIG_DFL);
    try {
        const std::vector<std::string_view> words(argv + 1, argv + argc);
        return morvanta::cli::runCommandLine(words, stdout, stderr);
    } catch (const std::bad_alloc&) {
        // Some of the engine's writers leave running out of memory to their caller.
        std::fputs("morvanta-table: not enough memory\n", stderr);
        return morvanta::cli::kRefused;
    }
}
