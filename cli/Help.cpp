// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Help.h"

#include <algorithm>

#include "cli/CommandLine.h"

namespace morvanta::cli {

namespace {

constexpr std::size_t kWidth = 79;
constexpr std::size_t kNameColumn = 18;

constexpr std::string_view kExitStatus =
    "Exit status: 0 the output was written; 1 the input was refused (the reason on standard\n"
    "error, nothing on standard output) or the output could not be written; 2 the command line\n"
    "is malformed (an unknown command or option, a missing or extra argument, an option\n"
    "without its value, given twice, or given a value it does not take).\n";

constexpr std::string_view kNumbers =
    "Numbers are written out in full: digits with at most one point, and a minus sign where a\n"
    "value may be negative; no exponent, spaces or thousands separators. At most 9 digits before\n"
    "the point and 9 after unless an option says otherwise; leading and trailing zeros do not\n"
    "count.\n";

std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The words of `text` laid out in lines of at most kWidth columns, the first word at `column`
// (already reached on the current line), every further line starting after `indent` blanks.
std::string wrapped(std::string_view text, std::size_t indent, std::size_t column) {
    std::string out;
    bool first = true;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        const std::size_t width = displayWidth(word);
        if (!first && column + 1 + width > kWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += width;
        first = false;
        at = end + 1;
    }
    return out;
}

bool isShown(const Input& input) {
    return input.role != Role::Selector;
}

// An input as the usage line shows it: "COUNT", "[--ratio R]", "[--csv]".
std::string usageWord(const Input& input) {
    if (input.isOperand()) {
        return std::string(input.value);
    }
    std::string word = std::string(input.option);
    if (input.kind != InputKind::Switch) {
        word += ' ';
        word += input.kind == InputKind::Choice ? std::string() : std::string(input.value);
        for (std::size_t i = 0; input.kind == InputKind::Choice && i < input.choices.size(); ++i) {
            word += (i == 0 ? "" : "|") + std::string(input.choices[i].value);
        }
    }
    return input.role == Role::Selector ? word : "[" + word + "]";
}

std::string valueName(const Input& input) {
    const std::string usage = usageWord(input);
    return input.isOperand() || input.role == Role::Selector ? usage
                                                             : usage.substr(1, usage.size() - 2);
}

std::string usageLine(const Calculation& calculation) {
    const std::string start = "morvanta-table " + std::string(calculation.commandWord()) + " ";
    std::string words;
    if (const Input* selector = calculation.selector()) {
        words = usageWord(*selector);
    }
    for (const Input& input : calculation.inputs) {
        if (isShown(input)) {
            words += (words.empty() ? "" : " ") + usageWord(input);
        }
    }
    return start + wrapped(words, start.size() + 7, start.size() + 7);
}

// What the help says of one input: its help, the output it belongs to, its limits and default,
// with other inputs named as the command line names them.
std::string description(const Calculation& calculation, const Input& input) {
    std::string text;
    if (!input.only.empty()) {
        text = "with " + named(input.only) + ": ";
    }
    text += input.help;
    if (input.kind != InputKind::Switch && input.kind != InputKind::Text) {
        text += "; " + limitsText(input);
    }
    if (!input.fallback.empty()) {
        text += "; default " + std::string(input.fallback);
    }
    return commandLineWords(calculation, text);
}

bool takesNumbers(const Calculation& calculation) {
    return std::any_of(calculation.inputs.begin(), calculation.inputs.end(), [](const Input& i) {
        return i.kind == InputKind::Decimal || i.kind == InputKind::Degrees ||
               i.kind == InputKind::Point;
    });
}

// Every input of a command once, in the order of its calculations: the shared ones (the head of
// index and of its survey) only the first time.
std::vector<std::pair<const Calculation*, const Input*>> commandInputs(std::string_view word) {
    std::vector<std::pair<const Calculation*, const Input*>> all;
    for (const Calculation* calculation : commandCalculations(word)) {
        for (const Input& input : calculation->inputs) {
            const bool seen = std::any_of(all.begin(), all.end(), [&](const auto& entry) {
                return entry.second->id == input.id;
            });
            if (!seen) {
                all.emplace_back(calculation, &input);
            }
        }
    }
    return all;
}

std::string roff(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else if (text.substr(i, 2) == "\u00B0") {
            out += "\\(de";
            ++i;
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

}  // namespace

std::string jobHelp() {
    std::string text =
        "Usage: morvanta-table job FILE\n"
        "\n"
        "Prints the sheet of a job saved by Morvanta Workshop (a .morvanta file): the same text,\n"
        "byte for byte, as the window shows for that job, with the job's units in the headings\n"
        "of lengths. The file is read strictly: a file that is damaged, cut short, larger than\n"
        "1 MiB, made by a later Morvanta or not a job at all is refused with one line that names\n"
        "what is wrong and where (FILE: line L, column C: ...), and so is a job whose inputs make\n"
        "no sheet or that ticks a row the sheet does not have.\n"
        "\n"
        "  FILE            the job file\n"
        "Lines end in LF unless --crlf is given.\n"
        "\n";
    return text + std::string(kExitStatus);
}

std::string globalHelp() {
    std::string text =
        "Usage: morvanta-table [--lf | --crlf] COMMAND [ARGUMENTS]\n"
        "       morvanta-table COMMAND --help | morvanta-table help COMMAND\n"
        "       morvanta-table --help | --version\n"
        "\n"
        "Tables of equally spaced holes round a circle, for rotary tables and dividing heads.\n"
        "\n"
        "Commands:\n";
    for (const std::string_view word : commandWords()) {
        std::string name(word);
        name.resize(std::max<std::size_t>(name.size() + 2, 8), ' ');
        text += "  " + name + std::string(commandCalculations(word).front()->summary) + "\n";
    }
    text += "  " + std::string(kJobCommand) +
            "     the sheet of a job file saved by Morvanta Workshop\n";
    text +=
        "\n"
        "Options, before COMMAND or among its arguments up to a --:\n"
        "  --lf            end every output line with LF\n"
        "  --crlf          end every output line with CR LF\n"
        "  -h, --help      print this help; after COMMAND, the help of that command\n"
        "  --version       print the version (before COMMAND only)\n"
        "Each command's help names its default line break. A word that is not an option goes to\n"
        "the command as typed, also when it starts with a minus sign; after -- every word does.\n"
        "\n";
    text += kExitStatus;
    return text;
}

std::string commandHelp(std::string_view word) {
    const std::vector<const Calculation*> family = commandCalculations(word);
    std::string text;
    for (const Calculation* calculation : family) {
        text += (text.empty() ? "Usage: " : "       ") + usageLine(*calculation) + "\n";
    }
    text += "\n";
    for (const Calculation* calculation : family) {
        text += wrapped(commandLineWords(*calculation, calculation->about), 0, 0) + "\n\n";
    }
    for (const auto& [calculation, input] : commandInputs(word)) {
        std::string name = "  " + valueName(*input);
        if (name.size() + 2 > kNameColumn) {
            name += "\n" + std::string(kNameColumn, ' ');
        } else {
            name.resize(kNameColumn, ' ');
        }
        text += name + wrapped(description(*calculation, *input), kNameColumn, kNameColumn) + "\n";
    }
    if (std::any_of(family.begin(), family.end(),
                    [](const Calculation* c) { return takesNumbers(*c); })) {
        text += kNumbers;
    }
    text += family.front()->crlf
                ? "Lines end in CR LF, as on the window's clipboard, unless --lf is given.\n"
                : "Lines end in LF unless --crlf is given.\n";
    text += "\n";
    text += kExitStatus;
    return text;
}

std::string manOptions(std::string_view word) {
    std::string text;
    std::vector<std::pair<const Calculation*, const Input*>> inputs = commandInputs(word);
    std::stable_partition(inputs.begin(), inputs.end(),
                          [](const auto& entry) { return entry.second->isOperand(); });
    for (const auto& [calculation, input] : inputs) {
        text += ".TP\n";
        if (input->isOperand()) {
            text += ".I " + std::string(input->value) + "\n";
        } else if (input->kind == InputKind::Switch) {
            text += ".B " + roff(input->option) + "\n";
        } else {
            const std::string value = valueName(*input).substr(input->option.size() + 1);
            text += ".BI " + roff(input->option) + " \" " + roff(value) + "\"\n";
        }
        std::string said = description(*calculation, *input);
        if (!said.empty() && said.front() >= 'a' && said.front() <= 'z') {
            said.front() = static_cast<char>(said.front() - 'a' + 'A');
        }
        text += roff(said) + ".\n";
    }
    return text;
}

std::string manPage(std::string_view page) {
    std::string text;
    std::size_t at = 0;
    while (at < page.size()) {
        const std::size_t end = std::min(page.find('\n', at), page.size());
        const std::string_view line = page.substr(at, end - at);
        if (line.starts_with("@OPTIONS ") && line.ends_with("@")) {
            text += manOptions(line.substr(9, line.size() - 10));
        } else {
            text.append(line).push_back('\n');
        }
        at = end + 1;
    }
    return text;
}

std::string bashCompletion(std::string_view script) {
    std::string commands;
    std::string options;
    std::string values;
    for (const std::string_view word : commandWords()) {
        commands += (commands.empty() ? "" : " ") + std::string(word);
        std::string list;
        for (const auto& [calculation, input] : commandInputs(word)) {
            if (input->isOperand()) {
                continue;
            }
            list += (list.empty() ? "" : " ") + std::string(input->option) +
                    (input->kind == InputKind::Switch ? "" : "=");
            std::string offered;
            for (const Choice& choice : input->choices) {
                offered += (offered.empty() ? "" : " ") + std::string(choice.value);
            }
            const Limits& limits = input->limits;
            if (input->kind == InputKind::Count && limits.least.set && limits.most.set &&
                limits.most.value - limits.least.value < 10) {
                for (std::int64_t n = limits.least.value; n <= limits.most.value; ++n) {
                    offered += (offered.empty() ? "" : " ") + std::to_string(n);
                }
            }
            if (!offered.empty()) {
                values += "        \"" + std::string(word) + " " + std::string(input->option) +
                          "\") echo \"" + offered + "\" ;;\n";
            }
        }
        options += "        " + std::string(word) + ") echo \"" + list + "\" ;;\n";
    }
    commands += " " + std::string(kJobCommand);
    options += "        " + std::string(kJobCommand) + ") echo \"\" ;;\n";
    std::string text(script);
    const auto replace = [&](std::string_view marker, const std::string& by) {
        const std::size_t at = text.find(marker);
        if (at != std::string::npos) {
            text.replace(at, marker.size(), by);
        }
    };
    options.pop_back();
    values.pop_back();
    replace("\"@COMMANDS@\"", "\"" + commands + "\"");
    replace("@OPTIONS@", options);
    replace("@VALUES@", values);
    return text;
}

}  // namespace morvanta::cli
