// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <algorithm>

namespace morvanta::cli {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The input a word names as an option among all the calculations of a command, or nullptr.
const Input* optionNamed(const std::vector<const Calculation*>& family, std::string_view name) {
    for (const Calculation* calculation : family) {
        for (const Input& input : calculation->inputs) {
            if (!input.isOperand() && input.option == name) {
                return &input;
            }
        }
    }
    return nullptr;
}

// Options and operands as the words give them, before any calculation is chosen.
struct Words {
    std::vector<std::pair<const Input*, std::string>> options;
    std::vector<std::string_view> operands;
    bool help = false;
};

// One word that starts with "--" and a letter: an option, with its value if it takes one.
std::string readOption(const std::vector<const Calculation*>& family,
                       std::span<const std::string_view> words, std::size_t& at, Words& read,
                       std::optional<LineBreak>& lineBreak) {
    const std::string_view word = words[at];
    const std::size_t equals = word.find('=');
    const std::string_view name = word.substr(0, equals);
    const bool shared = name == "--lf" || name == "--crlf" || name == "--help";
    const Input* input = shared ? nullptr : optionNamed(family, name);
    if (!shared && input == nullptr) {
        return "unknown option " + std::string(name);
    }
    const bool takesValue = input != nullptr && input->kind != InputKind::Switch;
    if (!takesValue && equals != std::string_view::npos) {
        return std::string(name) + " takes no value";
    }
    if (name == "--help") {
        read.help = true;
        return {};
    }
    if (input == nullptr) {
        return chooseLineBreak(name, lineBreak);
    }
    const auto given = std::find_if(read.options.begin(), read.options.end(),
                                    [&](const auto& option) { return option.first->option == name; });
    if (given != read.options.end()) {
        return std::string(name) + " given twice";
    }
    std::string value;
    if (equals != std::string_view::npos) {
        value = word.substr(equals + 1);
    } else if (takesValue) {
        if (at + 1 == words.size()) {
            return std::string(name) + " needs a value";
        }
        value = words[++at];
    }
    read.options.emplace_back(input, std::move(value));
    return {};
}

// The calculation of the command that the words pick: by its selector switch, else the one that
// has none.
Result<const Calculation*> chosen(const std::vector<const Calculation*>& family,
                                  const Words& read) {
    const Calculation* pick = nullptr;
    for (const Calculation* calculation : family) {
        const Input* selector = calculation->selector();
        const bool given =
            selector != nullptr &&
            std::any_of(read.options.begin(), read.options.end(),
                        [&](const auto& option) { return option.first->id == selector->id; });
        if (given) {
            if (pick != nullptr && pick->selector() != nullptr) {
                return Result<const Calculation*>::failure(std::string(pick->selector()->option) +
                                                           " and " + std::string(selector->option) +
                                                           " together");
            }
            pick = calculation;
        } else if (selector == nullptr && pick == nullptr) {
            pick = calculation;
        }
    }
    return Result<const Calculation*>::success(pick);
}

std::string operandComplaint(const Calculation& calculation, std::size_t given) {
    std::vector<std::string_view> names;
    for (const Input& input : calculation.inputs) {
        if (input.isOperand()) {
            names.push_back(input.value);
        }
    }
    if (given == names.size()) {
        return {};
    }
    std::string wanted;
    for (const std::string_view name : names) {
        wanted += (wanted.empty() ? "" : " and ") + std::string(name);
    }
    const Input* selector = calculation.selector();
    const std::string prefix = selector ? std::string(selector->option) + ": " : std::string();
    if (names.empty()) {
        return prefix + "no operand expected, " + std::to_string(given) + " given";
    }
    if (given == 0) {
        return prefix + "missing " + wanted;
    }
    return prefix + wanted + " expected, " + std::to_string(given) + " given";
}

// The inputs of the chosen calculation, or the complaint about an option that belongs to another
// calculation of the command.
Result<Inputs> inputsOf(const Calculation& calculation, const Words& read) {
    Inputs inputs;
    for (const auto& [input, value] : read.options) {
        if (calculation.input(input->id) == nullptr) {
            const Input* selector = calculation.selector();
            return Result<Inputs>::failure(
                std::string(input->option) +
                (selector ? " does not go with " + std::string(selector->option)
                          : " goes only with another form of " +
                                std::string(calculation.commandWord())));
        }
        inputs.set(input->id, value);
    }
    std::size_t next = 0;
    for (const Input& input : calculation.inputs) {
        if (input.isOperand()) {
            inputs.set(input.id, std::string(read.operands[next++]));
        }
    }
    return Result<Inputs>::success(std::move(inputs));
}

}  // namespace

std::vector<std::string_view> commandWords() {
    std::vector<std::string_view> words;
    for (const Calculation& calculation : calculations()) {
        if (std::find(words.begin(), words.end(), calculation.commandWord()) == words.end()) {
            words.push_back(calculation.commandWord());
        }
    }
    return words;
}

std::vector<const Calculation*> commandCalculations(std::string_view word) {
    std::vector<const Calculation*> family;
    for (const Calculation& calculation : calculations()) {
        if (calculation.commandWord() == word) {
            family.push_back(&calculation);
        }
    }
    return family;
}

std::string commandLineName(const Calculation& calculation, std::string_view id) {
    const Input* input = calculation.input(id);
    if (input == nullptr) {
        return std::string(id);
    }
    return std::string(input->isOperand() ? input->value : input->option);
}

std::string commandLineWords(const Calculation& calculation, std::string_view text) {
    return wordRefusal(text, [&](std::string_view id) { return commandLineName(calculation, id); });
}

std::string chooseLineBreak(std::string_view word, std::optional<LineBreak>& lineBreak) {
    const LineBreak wanted = word == "--lf" ? LineBreak::Lf : LineBreak::CrLf;
    if (lineBreak) {
        return *lineBreak == wanted ? std::string(word) + " given twice"
                                    : std::string("--lf and --crlf together");
    }
    lineBreak = wanted;
    return {};
}

Result<Request> readCommand(std::string_view word, std::span<const std::string_view> words,
                            std::optional<LineBreak> lineBreak) {
    const std::vector<const Calculation*> family = commandCalculations(word);
    Words read;
    bool ended = false;
    for (std::size_t at = 0; at < words.size(); ++at) {
        const std::string_view text = words[at];
        if (!ended && text == "--") {
            ended = true;
        } else if (!ended && text == "-h") {
            read.help = true;
        } else if (!ended && text.size() > 2 && text.starts_with("--") && isLetter(text[2])) {
            if (std::string complaint = readOption(family, words, at, read, lineBreak);
                !complaint.empty()) {
                return Result<Request>::failure(std::move(complaint));
            }
        } else {
            read.operands.push_back(text);
        }
    }
    Request request;
    request.help = read.help;
    request.lineBreak = lineBreak;
    if (read.help) {
        return Result<Request>::success(std::move(request));
    }
    const Result<const Calculation*> pick = chosen(family, read);
    if (!pick.ok()) {
        return Result<Request>::failure(pick.refusal());
    }
    request.calculation = pick.value();
    if (request.calculation == nullptr) {
        return Result<Request>::failure("no form of " + std::string(word) + " fits these words");
    }
    if (std::string complaint = operandComplaint(*request.calculation, read.operands.size());
        !complaint.empty()) {
        return Result<Request>::failure(std::move(complaint));
    }
    Result<Inputs> inputs = inputsOf(*request.calculation, read);
    if (!inputs.ok()) {
        return Result<Request>::failure(inputs.refusal());
    }
    request.inputs = std::move(inputs).value();
    return Result<Request>::success(std::move(request));
}

}  // namespace morvanta::cli
