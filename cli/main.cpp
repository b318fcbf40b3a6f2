// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Version.h"
#include "cli/Command.h"

namespace {

using morvanta::cli::Command;
using morvanta::cli::Invocation;
using morvanta::cli::LineBreak;
using morvanta::cli::writeText;

constexpr std::string_view kExitStatus =
    "Exit status: 0 the output was written; 1 the input was refused (the reason on standard\n"
    "error, nothing on standard output) or the output could not be written; 2 the command line\n"
    "is malformed (an unknown command or option, a missing or extra argument, an option\n"
    "without its value or given twice).\n";

std::string globalHelp() {
    std::string text =
        "Usage: morvanta-table [--lf | --crlf] COMMAND [ARGUMENTS]\n"
        "       morvanta-table COMMAND --help | morvanta-table help COMMAND\n"
        "       morvanta-table --help | --version\n"
        "\n"
        "Tables of equally spaced holes round a circle, for rotary tables and dividing heads.\n"
        "\n"
        "Commands:\n";
    for (const Command& command : morvanta::cli::commands()) {
        std::string name(command.name);
        name.resize(std::max<std::size_t>(name.size() + 2, 8), ' ');
        text += "  " + name + std::string(command.summary) + "\n";
    }
    text +=
        "\n"
        "Options, before COMMAND or among its arguments up to a --:\n"
        "  --lf            end every output line with LF\n"
        "  --crlf          end every output line with CR LF\n"
        "  -h, --help      print this help; after COMMAND, the help of that command\n"
        "  --version       print the version (before COMMAND only)\n"
        "Each command's help names its default line break. An argument that begins with a\n"
        "minus sign and a digit is a number; put -- before arguments to pass any word as it is.\n"
        "\n";
    text += kExitStatus;
    return text;
}

std::string commandHelp(const Command& command) {
    return "Usage: morvanta-table " + std::string(command.usage) + "\n\n" +
           std::string(command.help) + "\n" +
           (command.lineBreak == LineBreak::CrLf
                ? "Lines end in CR LF, as on the window's clipboard, unless --lf is given.\n"
                : "Lines end in LF unless --crlf is given.\n") +
           "\n" + std::string(kExitStatus);
}

int malformedLine(std::string_view complaint) {
    writeText(stderr,
              "morvanta-table: " + std::string(complaint) + "\nTry 'morvanta-table --help'.\n");
    return morvanta::cli::kMalformed;
}

int run(const std::vector<std::string_view>& words) {
    std::optional<LineBreak> lineBreak;
    const auto setLineBreak = [&](LineBreak wanted) {
        const bool clash = lineBreak && *lineBreak != wanted;
        lineBreak = wanted;
        return !clash;
    };

    std::size_t at = 0;
    for (; at < words.size(); ++at) {
        const std::string_view word = words[at];
        if (word == "--help" || word == "-h") {
            return writeText(stdout, globalHelp());
        }
        if (word == "--version") {
            return writeText(stdout, "morvanta-table " + std::string(morvanta::kVersion) + "\n");
        }
        if (word == "--lf" || word == "--crlf") {
            if (!setLineBreak(word == "--lf" ? LineBreak::Lf : LineBreak::CrLf)) {
                return malformedLine("--lf and --crlf together");
            }
        } else if (word == "--") {
            ++at;
            break;
        } else if (word.starts_with("-")) {
            return malformedLine("unknown option " + std::string(word));
        } else {
            break;
        }
    }
    if (at == words.size()) {
        return malformedLine("no command given");
    }

    std::string_view name = words[at++];
    bool help = false;
    if (name == "help") {
        if (at == words.size()) {
            return writeText(stdout, globalHelp());
        }
        if (at + 1 != words.size()) {
            return malformedLine("help takes one COMMAND");
        }
        name = words[at++];
        help = true;
    }
    const Command* command = morvanta::cli::findCommand(name);
    if (command == nullptr) {
        return malformedLine("unknown command " + std::string(name));
    }

    // The options every command shares are taken out here, up to a "--", which the command's
    // own reading still needs to see.
    std::vector<std::string_view> rest;
    bool optionsEnded = false;
    for (; at < words.size(); ++at) {
        const std::string_view word = words[at];
        optionsEnded = optionsEnded || word == "--";
        if (!optionsEnded && (word == "--help" || word == "-h")) {
            help = true;
        } else if (!optionsEnded && (word == "--lf" || word == "--crlf")) {
            if (!setLineBreak(word == "--lf" ? LineBreak::Lf : LineBreak::CrLf)) {
                Invocation named;
                named.command = command->name;
                return morvanta::cli::malformed(named, "--lf and --crlf together");
            }
        } else {
            rest.push_back(word);
        }
    }
    if (help) {
        return writeText(stdout, commandHelp(*command));
    }
    const Invocation invocation{command->name, rest, lineBreak.value_or(command->lineBreak), stdout,
                                stderr};
    return command->run(invocation);
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (| head) ends us the ordinary, quiet way, even if our parent
    // ignored the signal.
    std::signal(SIGPIPE, SIG_DFL);
    try {
        return run(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        // Some of the engine's writers leave running out of memory to their caller.
        std::fputs("morvanta-table: not enough memory\n", stderr);
        return morvanta::cli::kRefused;
    }
}
