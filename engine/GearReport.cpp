// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <numbers>

#include "engine/DividingWork.h"
#include "engine/Gear.h"
#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using detail::formatted;

constexpr std::int64_t kMostTeethDrawn = 200;
constexpr std::int64_t kMostSpacesNumbered = 360;

std::string length(const GearPlan& plan, std::int64_t units) {
    return unitsText(units, plan.decimals) + " " + std::string(unitName(plan.unit));
}

std::string sizeName(const GearPlan& plan) {
    const std::string size = exactDecimalText(plan.size);
    const std::string normal = plan.helix ? "normal " : "";
    return plan.module ? normal + "module " + size + " mm" : normal + "diametral pitch " + size;
}

// How N x a and its like are written: "30 x 2" for a module, "30 / 8" for a pitch.
std::string timesA(const GearPlan& plan, const std::string& count) {
    return count + (plan.module ? " x " : " / ") + exactDecimalText(plan.size);
}

std::string pressureText(const GearPlan& plan) {
    return plan.pressure + "\u00B0";
}

std::string cutterNote(const GearPlan& plan) {
    if (plan.cutter == 0) {
        return "Cutter: none of the eight involute cutters, which start at 12 teeth: a special one";
    }
    return formatted("Cutter: No. %d of the eight involute cutters of ", plan.cutter) +
           (plan.module ? "module " + exactDecimalText(plan.size)
                        : exactDecimalText(plan.size) + " DP") +
           ", " + pressureText(plan) + ": the one for " + cutterRange(plan.cutter);
}

// The depth and, on a line of its own, the standard it follows.
std::vector<std::string> depthNotes(const GearPlan& plan) {
    const std::string plane = plan.helix ? ", in the normal plane" : "";
    const std::string size = exactDecimalText(plan.size);
    if (plan.module) {
        return {"Whole depth of cut: 2.25 x " + size + " = " + length(plan, plan.depth) + plane,
                "Depth: the ISO 53 basic rack, addendum 1 module and dedendum 1.25 modules"};
    }
    return {
        "Whole depth of cut: 2.157 / " + size + " = " + length(plan, plan.depth) + plane,
        "Depth: the Brown & Sharpe full-depth involute, addendum 1 / P and clearance 0.157 / P"};
}

std::vector<std::string> spurNotes(const GearPlan& plan) {
    std::vector<std::string> notes{
        "Pitch diameter: " + timesA(plan, std::to_string(plan.teeth)) + " = " +
            length(plan, plan.pitch),
        "Outside diameter, the blank: " + timesA(plan, "(" + std::to_string(plan.teeth) + " + 2)") +
            " = " + length(plan, plan.outside)};
    for (std::string& note : depthNotes(plan)) {
        notes.push_back(std::move(note));
    }
    notes.push_back(cutterNote(plan));
    notes.push_back("Cutters: numbered as Brown & Sharpe number them, No. 1 for the most teeth");
    notes.push_back(
        formatted("Figures: correctly rounded to %d decimals (halves away from 0)", plan.decimals));
    return notes;
}

std::vector<std::string> helicalNotes(const GearPlan& plan) {
    const std::string size = exactDecimalText(plan.size);
    const std::string b = exactDegreesText(*plan.helix);
    const std::string pitch =
        plan.module ? std::to_string(plan.teeth) + " x " + size + " / cos " + b
                    : std::to_string(plan.teeth) + " / (" + size + " x cos " + b + ")";
    std::vector<std::string> notes{
        plan.module
            ? "Transverse module: " + size + " / cos " + b + " = " + length(plan, *plan.transverse)
            : "Transverse diametral pitch: " + size + " x cos " + b + " = " +
                  unitsText(*plan.transverse, 4),
        "Pitch diameter: " + pitch + " = " + length(plan, plan.pitch),
        "Outside diameter, the blank: " + pitch + " + 2" + (plan.module ? " x " : " / ") + size +
            " = " + length(plan, plan.outside),
        "Formative tooth count: " + std::to_string(plan.teeth) + " / cos\u00B3 " + b + " = " +
            unitsText(*plan.formative, 2) + ", to 2 decimals, which picks the cutter",
        cutterNote(plan),
        "Cutters: numbered as Brown & Sharpe number them, No. 1 for the most teeth",
    };
    const std::vector<std::string> depth = depthNotes(plan);
    notes.insert(notes.begin() + 3, depth.begin(), depth.end());
    for (std::string& note : helixNotes(*plan.lead)) {
        notes.push_back(std::move(note));
    }
    return notes;
}

}  // namespace

Report gearReport(const GearPlan& plan) {
    Report report;
    report.title = std::string(plan.helix ? "Helical gear: " : "Gear: ") +
                   std::to_string(plan.teeth) + " teeth, " + sizeName(plan) + ", " +
                   pressureText(plan) + " pressure angle";
    if (plan.helix) {
        report.title += ", helix " + exactDegreesText(*plan.helix) +
                        (plan.lead->rightHand ? " right hand" : " left hand");
    }
    report.notes = plan.helix ? helicalNotes(plan) : spurNotes(plan);
    // The blank, the depth and the cutter; a helical gear's train, swivel and hand besides.
    report.answer = answerLines(report.notes,
                                {"Outside diameter", "Whole depth",
                                 "Cutter:", "Change gears:", "Lead reached:", "Swivel:", "Hand:"});
    return withIndexing(std::move(report), plan.indexing);
}

std::string gearText(const GearPlan& plan) {
    return reportText(gearReport(plan));
}

Sketch gearSketch(const GearPlan& plan) {
    const double unit = std::pow(10.0, -plan.decimals);
    const double outside = static_cast<double>(plan.outside) * unit / 2;
    const double root = outside - static_cast<double>(plan.depth) * unit;
    const double pitch = static_cast<double>(plan.pitch) * unit / 2;
    const double step = 360.0 / static_cast<double>(plan.teeth);
    Sketch sketch;
    sketch.caption = std::to_string(plan.teeth) + " teeth, " + sizeName(plan) +
                     ": the blank \u2300" + length(plan, plan.outside) + ", cut " +
                     length(plan, plan.depth) + " deep";
    sketch.circles.push_back(
        {0, 0, outside, plan.teeth > kMostTeethDrawn ? Ink::Outline : Ink::Guide, false});
    sketch.circles.push_back({0, 0, pitch, Ink::Guide, false});
    sketch.circles.push_back({0, 0, root, Ink::Guide, false});
    const auto at = [](double radius, double degrees) {
        return std::pair{radius * std::cos(degrees * std::numbers::pi / 180),
                         radius * std::sin(degrees * std::numbers::pi / 180)};
    };
    for (std::int64_t tooth = 0; tooth < plan.teeth && plan.teeth <= kMostTeethDrawn; ++tooth) {
        // A tooth as a trapezoid, a little over half the pitch wide at the root.
        const double middle = 90.0 + step * static_cast<double>(tooth);
        const double atRoot = 0.3 * step;
        const double atTip = 0.15 * step;
        const auto [x1, y1] = at(root, middle - atRoot);
        const auto [x2, y2] = at(outside, middle - atTip);
        const auto [x3, y3] = at(outside, middle + atTip);
        const auto [x4, y4] = at(root, middle + atRoot);
        sketch.lines.push_back({x1, y1, x2, y2, Ink::Outline, false});
        sketch.lines.push_back({x3, y3, x4, y4, Ink::Outline, false});
        sketch.arcs.push_back({0, 0, outside, middle - atTip, 2 * atTip, Ink::Outline, false});
        sketch.arcs.push_back(
            {0, 0, root, middle + atRoot, step - 2 * atRoot, Ink::Outline, false});
    }
    for (std::int64_t space = 1; space <= plan.teeth && plan.teeth <= kMostSpacesNumbered;
         ++space) {
        const auto [x, y] = at(pitch, 90.0 + step * (static_cast<double>(space) - 0.5));
        sketch.holes.push_back(
            {x, y, outside * std::numbers::pi / static_cast<double>(4 * plan.teeth), space});
    }
    sketch.texts.push_back({0, outside, "\u2300" + length(plan, plan.outside) + " outside",
                            Ink::Dimension, Align::Above});
    sketch.texts.push_back(
        {0, 0, "\u2300" + length(plan, plan.pitch) + " pitch", Ink::Dimension, Align::Centre});
    sketch.texts.push_back(
        {0, -outside, length(plan, plan.depth) + " deep", Ink::Dimension, Align::Below});
    return sketch;
}

}  // namespace morvanta
