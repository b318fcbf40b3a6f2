// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/SheetCommand.h"
#include "engine/HoleTable.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: morvanta-table [--lf] this COUNT\n"
    "       morvanta-table [--lf] all FROM TO\n"
    "       morvanta-table sheet COUNT [--ratio R] [--dial D] [--resolution S] [--csv]\n"
    "       morvanta-table --help | --version\n"
    "\n"
    "Prints the angle of every hole of COUNT equally spaced holes (this), or every hole\n"
    "count from FROM to TO whose spacing is a whole number of degrees (all), or a setting\n"
    "sheet for a manual rotary table or dividing head (sheet; see sheet --help).\n"
    "Tables have CR LF line breaks, as on the clipboard; --lf writes LF instead.\n"
    "A COUNT, FROM or TO that begins with a minus sign is taken as a number;\n"
    "put -- before the arguments to pass one that looks like an option.\n"
    "\n"
    "Exit status: 0 table printed, 1 the input was refused (the reason goes to\n"
    "standard error), 2 usage error.\n";

constexpr std::string_view kVersion = "morvanta-table 1.1\n";

bool write(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

// Writes the table with each CR LF as LF, a chunk at a time so no second copy of a large table is
// ever held.
bool writeWithLf(std::FILE* stream, std::string_view text) {
    char chunk[1 << 16];
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        chunk[used++] = text[i];
        if (used == sizeof chunk) {
            if (!write(stream, {chunk, used})) {
                return false;
            }
            used = 0;
        }
    }
    return write(stream, {chunk, used});
}

int usageError(std::string_view why) {
    std::fprintf(stderr, "morvanta-table: %.*s\n", static_cast<int>(why.size()), why.data());
    write(stderr, kUsage);
    return 2;
}

int printResult(const morvanta::BuildResult& result, bool lf) {
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.message().c_str());
        return 1;
    }
    const bool written = lf ? writeWithLf(stdout, result.value()) : write(stdout, result.value());
    if (!written || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "morvanta-table: cannot write the table: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (| head) ends us the ordinary, quiet way, even if our parent
    // ignored the signal.
    std::signal(SIGPIPE, SIG_DFL);

    bool lf = false;
    bool optionsEnded = false;
    std::vector<std::string_view> words;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded) {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            return write(stdout, kUsage) ? 0 : 1;
        } else if (arg == "--version") {
            return write(stdout, kVersion) ? 0 : 1;
        } else if (arg == "--lf") {
            lf = true;
        } else if (words.empty() && arg == "sheet") {
            // The sheet reads its own options, so everything after the word is its own.
            std::vector<std::string_view> rest(argv + i + 1, argv + argc);
            return morvanta::cli::runSheetCommand(rest, stdout, stderr);
        } else if (words.empty() && arg.starts_with("-")) {
            // Before the command word a dash can only be a mistyped option; after it, it is a
            // negative number for the engine to judge.
            return usageError("unknown option " + std::string(arg));
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        return usageError("no command given");
    }
    const std::string_view command = words.front();
    const std::size_t given = words.size() - 1;
    if (command == "this") {
        if (given != 1) {
            return usageError("this takes one COUNT");
        }
        return printResult(morvanta::BuildThisTable(words[1]), lf);
    }
    if (command == "all") {
        if (given != 2) {
            return usageError("all takes FROM and TO");
        }
        return printResult(morvanta::BuildAllTable(words[1], words[2]), lf);
    }
    if (command == "sheet") {
        return morvanta::cli::runSheetCommand(std::span(words).subspan(1), stdout, stderr);
    }
    return usageError("unknown command " + std::string(command));
}
