// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace morvanta::cli {

namespace {

bool isNegativeNumber(std::string_view word) {
    return word.size() > 1 && word[0] == '-' &&
           ((word[1] >= '0' && word[1] <= '9') || word[1] == '.');
}

bool writeAll(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

// The exit status of an output whose writing went as `written` says, once what remains is flushed.
int outcome(std::FILE* stream, bool written) {
    if (written && std::fflush(stream) == 0) {
        return kWritten;
    }
    // Only a reader that went away while SIGPIPE was ignored gets here with EPIPE; it wants no
    // complaint.
    if (errno != EPIPE) {
        std::fprintf(stderr, "morvanta-table: cannot write the output: %s\n", std::strerror(errno));
    }
    return kRefused;
}

}  // namespace

const Command* findCommand(std::string_view name) {
    const std::span<const Command> all = commands();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == name; });
    return found == all.end() ? nullptr : &*found;
}

std::optional<std::string_view> Arguments::value(std::string_view name) const {
    for (const auto& [given, value] : options) {
        if (given == name) {
            return value;
        }
    }
    return std::nullopt;
}

Result<Arguments> parseArguments(std::span<const std::string_view> words,
                                 std::span<const OptionSpec> accepted) {
    Arguments arguments;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-' || isNegativeNumber(word)) {
            arguments.operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const auto option = std::find_if(accepted.begin(), accepted.end(),
                                         [&](const OptionSpec& s) { return s.name == name; });
        if (option == accepted.end()) {
            return Result<Arguments>::failure("unknown option " + std::string(name));
        }
        if (arguments.has(name)) {
            return Result<Arguments>::failure(std::string(name) + " given twice");
        }
        std::string_view value;
        if (!option->takesValue) {
            if (equals != std::string_view::npos) {
                return Result<Arguments>::failure(std::string(name) + " takes no value");
            }
        } else if (equals != std::string_view::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            return Result<Arguments>::failure(std::string(name) + " needs a value");
        }
        arguments.options.emplace_back(name, value);
    }
    return Result<Arguments>::success(std::move(arguments));
}

std::string operandComplaint(const Arguments& arguments,
                             std::initializer_list<std::string_view> names) {
    if (arguments.operands.size() == names.size()) {
        return {};
    }
    std::string wanted;
    for (const std::string_view name : names) {
        wanted += (wanted.empty() ? "" : " and ") + std::string(name);
    }
    if (arguments.operands.empty()) {
        return "missing " + wanted;
    }
    return wanted + " expected, " + std::to_string(arguments.operands.size()) + " given";
}

Result<Arguments> readArguments(const Invocation& invocation, std::span<const OptionSpec> accepted,
                                std::initializer_list<std::string_view> operands) {
    Result<Arguments> parsed = parseArguments(invocation.words, accepted);
    if (parsed.ok()) {
        if (std::string complaint = operandComplaint(parsed.value(), operands);
            !complaint.empty()) {
            return Result<Arguments>::failure(std::move(complaint));
        }
    }
    return parsed;
}

int malformed(const Invocation& invocation, std::string_view complaint) {
    const std::string text = "morvanta-table " + std::string(invocation.command) + ": " +
                             std::string(complaint) + "\nTry 'morvanta-table " +
                             std::string(invocation.command) + " --help'.\n";
    writeAll(invocation.err, text);
    return kMalformed;
}

int refuse(const Invocation& invocation, std::string_view message) {
    writeAll(invocation.err, std::string(message) + "\n");
    return kRefused;
}

int writeText(std::FILE* stream, std::string_view text) {
    return outcome(stream, writeAll(stream, text));
}

int writeOutput(const Invocation& invocation, std::string_view text, LineBreak written) {
    if (written == invocation.lineBreak) {
        return writeText(invocation.out, text);
    }
    // Converted a piece at a time: a 77 MB table is not copied whole.
    char piece[1 << 16];
    std::size_t used = 0;
    const auto put = [&](char c) {
        piece[used++] = c;
        if (used == sizeof piece) {
            if (!writeAll(invocation.out, {piece, used})) {
                return false;
            }
            used = 0;
        }
        return true;
    };
    bool ok = true;
    for (std::size_t i = 0; i < text.size() && ok; ++i) {
        const char c = text[i];
        if (written == LineBreak::CrLf) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                continue;
            }
            ok = put(c);
        } else {
            ok = (c != '\n' || put('\r')) && put(c);
        }
    }
    return outcome(invocation.out, ok && writeAll(invocation.out, {piece, used}));
}

}  // namespace morvanta::cli
