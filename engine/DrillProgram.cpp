// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DrillProgram.h"

#include <algorithm>
#include <cctype>

namespace morvanta {

namespace {

using DrillingResult = Result<Drilling>;

// One of the Z levels in units of 10^-decimals, as the program writes them all.
std::optional<Refusal> level(const Values& values, std::string_view id, std::string_view what,
                             int decimals, std::int64_t& units) {
    const std::optional<ExactDecimal> given = values.decimal(id);
    const std::string name = named(id);
    if (!given) {
        return Refusal{std::string(id),
                       "a drilling program needs " + name + ", " + std::string(what)};
    }
    const std::optional<std::int64_t> at = unitsAt(*given, decimals);
    if (!at) {
        const std::string most = std::to_string(decimals);
        return Refusal{std::string(id),
                       name + " may have at most " + most +
                           " decimals, as many as {decimals} gives the coordinates; " +
                           exactDecimalText(*given) + " has " + std::to_string(given->scale),
                       most, std::to_string(given->scale)};
    }
    units = *at;
    return std::nullopt;
}

// A refusal of one level against another, each figure as the user gave it.
Refusal misplaced(const Values& values, std::string_view id, std::string_view low,
                  std::string_view text, std::string_view relation) {
    const std::string limit = exactDecimalText(*values.decimal(low));
    const std::string value = exactDecimalText(*values.decimal(id));
    return Refusal{std::string(id), std::string(text) + "; " + value + " is " +
                                        std::string(relation) + " " + limit,
                   limit, value};
}

// The levels: depth, retract plane above it, clearance not below the retract plane.
std::optional<Refusal> readLevels(const Values& values, Drilling& drilling) {
    const int d = drilling.decimals;
    if (auto refused =
            level(values, "depth", "the Z of the bottom of the holes", d, drilling.depth)) {
        return refused;
    }
    if (auto refused =
            level(values, "retract", "the Z where each hole's feed starts", d, drilling.retract)) {
        return refused;
    }
    const std::optional<ExactDecimal> feed = values.decimal("feed");
    if (!feed) {
        return Refusal{"feed", "a drilling program needs {feed}, the drilling feed"};
    }
    drilling.feed = *feed;
    if (drilling.retract <= drilling.depth) {
        return misplaced(values, "retract", "depth", "{retract} must lie above {depth}",
                         "not above");
    }
    drilling.clearance = drilling.retract;
    if (values.given("clearance")) {
        if (auto refused = level(values, "clearance", "", d, drilling.clearance)) {
            return refused;
        }
        if (drilling.clearance < drilling.retract) {
            return misplaced(values, "clearance", "retract",
                             "{clearance} must be at or above {retract}", "below");
        }
    }
    return std::nullopt;
}

// The cycle: plain, with a dwell, or in pecks.
std::optional<Refusal> readCycle(const Values& values, Drilling& drilling) {
    const bool peck = values.given("peck");
    const bool dwell = values.given("dwell");
    if (peck && dwell) {
        return Refusal{"dwell", "give either {peck} or {dwell}, not both"};
    }
    if (peck) {
        drilling.cycle = DrillCycle::Peck;
        if (auto refused = level(values, "peck", "", drilling.decimals, drilling.peck)) {
            return refused;
        }
    }
    if (dwell) {
        drilling.cycle = DrillCycle::Dwell;
        drilling.dwell = *values.decimal("dwell");
    }
    return std::nullopt;
}

bool nameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view(" -_.,/").find(c) != std::string_view::npos;
}

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

}  // namespace

Result<Drilling> readDrilling(const Values& values, int decimals) {
    Drilling drilling;
    drilling.decimals = decimals;
    if (auto refused = readLevels(values, drilling)) {
        return DrillingResult::failure(std::move(*refused));
    }
    if (auto refused = readCycle(values, drilling)) {
        return DrillingResult::failure(std::move(*refused));
    }
    const std::string_view units = values.text("units").value_or("control");
    drilling.units = units == "control" ? std::string() : std::string(units);
    const std::string_view dialect = values.text("dialect").value_or("fanuc");
    drilling.dialect = dialect == "grbl"       ? DrillDialect::Grbl
                       : dialect == "linuxcnc" ? DrillDialect::LinuxCnc
                                               : DrillDialect::Fanuc;
    const std::string_view name = values.text("name").value_or("");
    const auto bad = std::find_if_not(name.begin(), name.end(), nameCharacter);
    if (bad != name.end()) {
        return DrillingResult::failure(
            Refusal{"name",
                    "{name} may hold letters, digits, spaces and - _ . , / only; " +
                        std::string(1, *bad) + " is not one of them",
                    {},
                    std::string(1, *bad)});
    }
    drilling.name = std::string(name);
    return DrillingResult::success(std::move(drilling));
}

std::string gcodeNumber(std::int64_t units, int decimals) {
    std::string text = unitsText(units, decimals);
    if (text.find('.') == std::string::npos) {
        text += '.';
    }
    return text;
}

std::string gcodeComment(std::string_view body) {
    return "(" + upper(body) + ")\n";
}

namespace {

// The comment saying how the holes are drilled, with the figures of the cycle.
std::string cycleComment(const Drilling& d) {
    const auto z = [&](std::int64_t units) { return gcodeNumber(units, d.decimals); };
    const char* code = d.cycle == DrillCycle::Peck    ? "G83 peck drilling"
                       : d.cycle == DrillCycle::Dwell ? "G82 drilling"
                                                      : "G81 drilling";
    std::string text = std::string(code) + " to Z" + z(d.depth) + " from R" + z(d.retract);
    if (d.cycle == DrillCycle::Peck) {
        text += " in pecks of " + z(d.peck);
    }
    text += " at F" + gcodeNumber(d.feed.units, d.feed.scale) + "";
    if (d.cycle == DrillCycle::Dwell) {
        text += ", a dwell of " + exactDecimalText(d.dwell) + " s";
    }
    text += ", clearance Z" + z(d.clearance);
    if (d.dialect == DrillDialect::Grbl) {
        text += ", written out as G0 and G1 moves";
    }
    return gcodeComment(text);
}

std::string unitsComment(const Drilling& d) {
    if (d.units.empty()) {
        return "(UNITS AS SET ON THE CONTROL, NOT CONVERTED; WORK OFFSET, TOOL AND SPINDLE TOO)\n";
    }
    const char* units = d.units == "in" ? "inches, G20" : "millimetres, G21";
    return gcodeComment(std::string("units ") + units +
                        "; work offset, tool and spindle as set on the control");
}

// The dwell's P word: milliseconds on Fanuc and Haas, seconds elsewhere.
std::string dwellWord(const Drilling& d) {
    if (d.dialect == DrillDialect::Fanuc) {
        return "P" + std::to_string(*unitsAt(d.dwell, 3));
    }
    return "P" + gcodeNumber(d.dwell.units, d.dwell.scale);
}

std::string position(const Drilling& d, const DrillHole& hole) {
    return "X" + gcodeNumber(hole.x, d.decimals) + " Y" + gcodeNumber(hole.y, d.decimals);
}

// The first hole's line of a canned cycle; the others give only X and Y.
std::string cycleLine(const Drilling& d, const DrillHole& hole) {
    const auto z = [&](std::int64_t units) { return gcodeNumber(units, d.decimals); };
    const char* code = d.cycle == DrillCycle::Peck    ? "G98 G83 "
                       : d.cycle == DrillCycle::Dwell ? "G98 G82 "
                                                      : "G98 G81 ";
    std::string line = code + position(d, hole) + " Z" + z(d.depth) + " R" + z(d.retract);
    if (d.cycle == DrillCycle::Peck) {
        line += " Q" + z(d.peck);
    }
    if (d.cycle == DrillCycle::Dwell) {
        line += " " + dwellWord(d);
    }
    return line + " F" + gcodeNumber(d.feed.units, d.feed.scale) + "\n";
}

// One hole as the moves a G98 cycle makes, for a control without canned cycles.
std::string writtenOut(const Drilling& d, const DrillHole& hole) {
    const auto z = [&](std::int64_t units) { return gcodeNumber(units, d.decimals); };
    const std::string feed = " F" + gcodeNumber(d.feed.units, d.feed.scale);
    std::string text = "G0 " + position(d, hole) + "\nG0 Z" + z(d.retract) + "\n";
    if (d.cycle == DrillCycle::Peck) {
        for (std::int64_t at = d.retract - d.peck; at > d.depth; at -= d.peck) {
            text += "G1 Z" + z(at) + feed + "\nG0 Z" + z(d.retract) + "\n";
        }
    }
    text += "G1 Z" + z(d.depth) + feed + "\n";
    if (d.cycle == DrillCycle::Dwell) {
        text += "G4 P" + gcodeNumber(d.dwell.units, d.dwell.scale) + "\n";
    }
    return text + "G0 Z" + z(d.clearance) + "\n";
}

}  // namespace

std::string drillProgram(const Drilling& drilling, std::span<const std::string> about,
                         std::span<const DrillHole> holes) {
    const bool grbl = drilling.dialect == DrillDialect::Grbl;
    std::string text = grbl ? "" : "%\n";
    if (!drilling.name.empty()) {
        text += gcodeComment(drilling.name);
    }
    for (const std::string& line : about) {
        text += gcodeComment(line);
    }
    text += cycleComment(drilling);
    text += unitsComment(drilling);
    text += grbl ? "G90 G17" : "G90 G17 G80";
    text += drilling.units == "mm" ? " G21\n" : drilling.units == "in" ? " G20\n" : "\n";
    text += "G0 Z" + gcodeNumber(drilling.clearance, drilling.decimals) + "\n";
    text.reserve(text.size() + holes.size() * (grbl ? 80 : 30) + 16);
    for (std::size_t i = 0; i < holes.size(); ++i) {
        if (grbl) {
            text += writtenOut(drilling, holes[i]);
        } else if (i == 0) {
            text += cycleLine(drilling, holes[i]);
        } else {
            text += position(drilling, holes[i]) + "\n";
        }
    }
    text += grbl ? "M30\n" : "G80\nM30\n%\n";
    return text;
}

}  // namespace morvanta
