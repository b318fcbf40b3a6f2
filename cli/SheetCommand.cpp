// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SheetCommand.h"

#include <optional>
#include <string>

#include "engine/SettingSheet.h"

namespace morvanta::cli {

namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadArguments = 2;

constexpr std::string_view kHelp =
    "Prints the setting of every hole of COUNT equally spaced holes (2 to 10000) for a manual\n"
    "rotary table: the angle, rounded from the exact angle of each hole on its own, and the\n"
    "error of that setting in seconds of arc.\n"
    "  --ratio R       worm ratio (90 for 90:1, 40.5 for 40.5:1): adds the whole handwheel\n"
    "                  turns from zero and the dial reading within the turn\n"
    "  --dial D        graduations per handwheel turn (240 for a 90:1 table read in minutes):\n"
    "                  every setting is rounded to whole graduations\n"
    "  --resolution S  round to this step: 1s (the default), 10s, 1m, ...\n"
    "  --csv           comma-separated values for a spreadsheet\n";

struct Request {
    SheetArguments sheet;
    bool hasHoles = false;
    bool csv = false;
    bool help = false;
};

// The option's value slot, or nullptr for a name that is not an option taking a value.
std::optional<std::string_view>* valueSlot(Request& request, std::string_view name) {
    if (name == "--ratio") {
        return &request.sheet.ratio;
    }
    if (name == "--dial") {
        return &request.sheet.dial;
    }
    if (name == "--resolution") {
        return &request.sheet.resolution;
    }
    return nullptr;
}

bool looksLikeOption(std::string_view word) {
    // "-7" is a count the engine refuses with the count's own message, not an unknown option.
    return word.size() > 1 && word.front() == '-' && !(word[1] >= '0' && word[1] <= '9');
}

// Fills request from args; returns the complaint for the first bad word, or "" when all are good.
std::string readArguments(std::span<const std::string_view> args, Request& request) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view word = args[i];
        if (word == "--help" || word == "-h") {
            request.help = true;
        } else if (word == "--csv") {
            if (request.csv) {
                return "--csv given twice";
            }
            request.csv = true;
        } else if (looksLikeOption(word)) {
            const std::size_t equals = word.find('=');
            const std::string_view name = word.substr(0, equals);
            std::optional<std::string_view>* slot = valueSlot(request, name);
            if (slot == nullptr) {
                return name == "--csv" ? "--csv takes no value"
                                       : "unknown option " + std::string(name);
            }
            if (slot->has_value()) {
                return std::string(name) + " given twice";
            }
            if (equals != std::string_view::npos) {
                *slot = word.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                *slot = args[++i];
            } else {
                return std::string(name) + " needs a value";
            }
        } else if (request.hasHoles) {
            return "unexpected argument " + std::string(word);
        } else {
            request.sheet.holes = word;
            request.hasHoles = true;
        }
    }
    if (!request.hasHoles && !request.help) {
        return "missing COUNT; usage: " + std::string(kSheetUsage);
    }
    return {};
}

bool write(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

int badArguments(std::FILE* err, std::string_view complaint) {
    write(err, "morvanta-table sheet: ");
    write(err, complaint);
    write(err, "\n");
    return kBadArguments;
}

}  // namespace

int runSheetCommand(std::span<const std::string_view> args, std::FILE* out, std::FILE* err) {
    Request request;
    const std::string complaint = readArguments(args, request);
    if (!complaint.empty()) {
        return badArguments(err, complaint);
    }

    std::string text;
    if (request.help) {
        text = "Usage: " + std::string(kSheetUsage) + "\n" + std::string(kHelp);
    } else {
        const SheetPlanResult result = planSheet(request.sheet);
        if (!result.ok()) {
            return badArguments(err, result.message());
        }
        text = request.csv ? sheetCsv(result.value()) : sheetText(result.value());
    }

    if (!write(out, text) || std::fflush(out) != 0) {
        write(err, "morvanta-table sheet: cannot write the sheet to standard output\n");
        return kWriteFailed;
    }
    return 0;
}

}  // namespace morvanta::cli
