// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Runner.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "Version.h"
#include "cli/CommandLine.h"
#include "cli/Help.h"
#include "engine/Job.h"

namespace morvanta::cli {

namespace {

struct Streams {
    std::FILE* out;
    std::FILE* err;
};

// A complaint quotes the words it names as typed, but a control character among them (a line
// break in "--bo\ngus") as '?', so that the complaint stays the one line it is.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        const auto byte = static_cast<unsigned char>(c);
        c = byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return line;
}

int malformed(const Streams& streams, std::string_view command, std::string_view complaint) {
    const std::string where =
        command.empty() ? std::string("morvanta-table") : "morvanta-table " + std::string(command);
    writeText(streams.err, streams.err,
              where + ": " + oneLine(complaint) + "\nTry '" + where + " --help'.\n");
    return kMalformed;
}

int refused(const Streams& streams, const Calculation& calculation, const Refusal& refusal) {
    writeText(streams.err, streams.err, commandLineWords(calculation, refusal.text) + "\n");
    return kRefused;
}

// The output the request asks for: its CSV or G-code where the switch is given, else the sheet.
const Output* wantedOutput(const Request& request, const Made& made) {
    for (const Input& input : request.calculation->inputs) {
        if (request.inputs.has(input.id) && input.role == Role::Csv) {
            return made.csv ? &*made.csv : nullptr;
        }
        if (request.inputs.has(input.id) && input.role == Role::Gcode) {
            return made.gcode ? &*made.gcode : nullptr;
        }
    }
    return &made.sheet;
}

int run(const Streams& streams, const Request& request) {
    const Calculation& calculation = *request.calculation;
    if (const std::optional<Refusal> refusal = outputRefusal(calculation, request.inputs)) {
        return refused(streams, calculation, *refusal);
    }
    const Result<Made> made = makeRequest(calculation, request.inputs);
    if (!made.ok()) {
        return refused(streams, calculation, made.refusal());
    }
    const Output* output = wantedOutput(request, made.value());
    if (output == nullptr || !output->ok()) {
        return refused(streams, calculation, output ? output->refusal : made.value().sheet.refusal);
    }
    const LineBreak written = calculation.crlf ? LineBreak::CrLf : LineBreak::Lf;
    return writeOutput(streams.out, streams.err, output->write(), written,
                       request.lineBreak.value_or(written));
}

// The words after the command word, or after "help".
int runCommand(const Streams& streams, std::string_view word,
               std::span<const std::string_view> words, std::optional<LineBreak> lineBreak,
               bool help) {
    if (commandCalculations(word).empty()) {
        return malformed(streams, {}, "unknown command " + std::string(word));
    }
    if (help) {
        return writeText(streams.out, streams.err, commandHelp(word));
    }
    const Result<Request> request = readCommand(word, words, lineBreak);
    if (!request.ok()) {
        return malformed(streams, word, request.message());
    }
    if (request.value().help) {
        return writeText(streams.out, streams.err, commandHelp(word));
    }
    return run(streams, request.value());
}

// A job file's bytes, at most one more than a job may have so that a larger one is told; or why
// it could not be read.
Result<std::string> readJobFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Result<std::string>::failure("cannot be read: " + std::string(std::strerror(errno)));
    }
    std::string bytes(kMaxJobBytes + 1, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    const int error = std::ferror(file) != 0 ? errno : 0;
    std::fclose(file);
    if (error != 0) {
        return Result<std::string>::failure("cannot be read: " + std::string(std::strerror(error)));
    }
    if (bytes.size() > kMaxJobBytes) {
        return Result<std::string>::failure("a job file may have at most " +
                                            std::to_string(kMaxJobBytes) +
                                            " bytes (1 MiB); this one has more");
    }
    return Result<std::string>::success(std::move(bytes));
}

// `job FILE`: the sheet of a job as the window shows it. Its words follow the rule of every
// command: --help, --lf and --crlf anywhere before a "--", one operand.
int runJob(const Streams& streams, std::span<const std::string_view> words,
           std::optional<LineBreak> lineBreak) {
    std::vector<std::string_view> operands;
    bool help = false;
    bool ended = false;
    for (const std::string_view word : words) {
        const bool option = word == "-h" || (word.size() > 2 && word.starts_with("--") &&
                                             std::isalpha(static_cast<unsigned char>(word[2])));
        if (ended || (!option && word != "--")) {
            operands.push_back(word);
        } else if (word == "--") {
            ended = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--lf" || word == "--crlf") {
            if (std::string complaint = chooseLineBreak(word, lineBreak); !complaint.empty()) {
                return malformed(streams, "job", complaint);
            }
        } else if (const std::size_t equals = word.find('=');
                   equals != std::string_view::npos &&
                   (word.starts_with("--lf=") || word.starts_with("--crlf=") ||
                    word.starts_with("--help="))) {
            return malformed(streams, "job",
                             std::string(word.substr(0, equals)) + " takes no value");
        } else {
            return malformed(streams, "job", "unknown option " + std::string(word));
        }
    }
    if (help) {
        return writeText(streams.out, streams.err, jobHelp());
    }
    if (operands.size() != 1) {
        return malformed(streams, "job",
                         operands.empty()
                             ? std::string("missing FILE")
                             : "FILE expected, " + std::to_string(operands.size()) + " given");
    }
    const std::string path(operands.front());
    const auto refusedJob = [&](const std::string& why) {
        writeText(streams.err, streams.err, oneLine(path) + ": " + why + "\n");
        return kRefused;
    };
    const Result<std::string> bytes = readJobFile(path);
    if (!bytes.ok()) {
        return refusedJob(bytes.message());
    }
    const Result<Job> job = readJob(bytes.value());
    if (!job.ok()) {
        return refusedJob(job.message());
    }
    const Result<Made> made = makeJob(job.value());
    if (!made.ok()) {
        return refusedJob(made.message());
    }
    return writeOutput(streams.out, streams.err, made.value().sheet.write(), LineBreak::Lf,
                       lineBreak.value_or(LineBreak::Lf));
}

}  // namespace

int runCommandLine(std::span<const std::string_view> words, std::FILE* out, std::FILE* err) {
    const Streams streams{out, err};
    std::optional<LineBreak> lineBreak;
    std::size_t at = 0;
    for (; at < words.size(); ++at) {
        const std::string_view word = words[at];
        if (word == "--help" || word == "-h") {
            return writeText(out, err, globalHelp());
        }
        if (word == "--version") {
            return writeText(out, err, "morvanta-table " + std::string(kVersion) + "\n");
        }
        if (word == "--lf" || word == "--crlf") {
            if (std::string complaint = chooseLineBreak(word, lineBreak); !complaint.empty()) {
                return malformed(streams, {}, complaint);
            }
        } else if (word.starts_with("--") && word.find('=') != std::string_view::npos &&
                   (word.starts_with("--lf=") || word.starts_with("--crlf=") ||
                    word.starts_with("--help=") || word.starts_with("--version="))) {
            return malformed(streams, {},
                             std::string(word.substr(0, word.find('='))) + " takes no value");
        } else if (word == "--") {
            ++at;
            break;
        } else if (word.starts_with("-")) {
            return malformed(streams, {}, "unknown option " + std::string(word));
        } else {
            break;
        }
    }
    if (at == words.size()) {
        return malformed(streams, {}, "no command given");
    }
    const std::string_view word = words[at++];
    if (word == kJobCommand) {
        return runJob(streams, words.subspan(at), lineBreak);
    }
    if (word != "help") {
        return runCommand(streams, word, words.subspan(at), lineBreak, false);
    }
    if (at == words.size()) {
        return writeText(out, err, globalHelp());
    }
    if (at + 1 != words.size()) {
        return malformed(streams, {}, "help takes one COMMAND");
    }
    if (words[at] == kJobCommand) {
        return writeText(out, err, jobHelp());
    }
    return runCommand(streams, words[at], {}, lineBreak, true);
}

}  // namespace morvanta::cli
