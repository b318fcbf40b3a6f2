// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "engine/DividingWork.h"
#include "engine/Helix.h"
#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using detail::formatted;

std::string length(const HelixPlan& plan, std::int64_t units) {
    return unitsText(units, plan.decimals) + " " + std::string(unitName(plan.work.unit));
}

std::string leadText(const HelixPlan& plan, const Ratio& lead) {
    return length(plan, roundedRatio(lead.numerator, lead.denominator, plan.decimals));
}

// A ratio whose denominator is a power of ten as its decimal, else as its fraction: "2", "62.5",
// "30/8".
std::string exactText(const Ratio& ratio) {
    WideInt denominator = ratio.denominator;
    int decimals = 0;
    while (denominator % 10 == 0 && decimals < 9) {
        denominator /= 10;
        ++decimals;
    }
    if (denominator == 1) {
        return unitsText(static_cast<std::int64_t>(ratio.numerator), decimals);
    }
    for (int more = decimals; more <= 9; ++more) {
        const WideInt scale = detail::kPow10[static_cast<std::size_t>(more)];
        if (scale % ratio.denominator == 0) {
            return unitsText(
                static_cast<std::int64_t>(ratio.numerator * (scale / ratio.denominator)), more);
        }
    }
    return ratioText(ratio);
}

// "2 in", or for a helical gear's pitch diameter "(60 / cos 20°) mm".
std::string diameterText(const HelixPlan& plan) {
    const HelixWork& work = plan.work;
    const std::string unit(unitName(work.unit));
    if (work.over.isZero()) {
        return exactText(*work.diameter) + " " + unit;
    }
    return "(" + exactText(*work.diameter) + " / cos " + exactDegreesText(work.over) + ") " + unit;
}

struct Places {
    std::int64_t worm = 0;
    std::int64_t firstStud = 0;
    std::int64_t secondStud = 0;
    std::int64_t screw = 0;
};

// The larger driven gear on the worm and the larger driver on the screw, as the makers' tables
// set them; the drivers may change places, and so may the driven gears, to make the train fit.
Places placesOf(const ChangeTrain& train) {
    if (train.pairs == 1) {
        return {train.driven[0], 0, 0, train.drivers[0]};
    }
    return {
        std::max(train.driven[0], train.driven[1]), std::min(train.drivers[0], train.drivers[1]),
        std::min(train.driven[0], train.driven[1]), std::max(train.drivers[0], train.drivers[1])};
}

std::string machineText(const HelixPlan& plan) {
    return exactDecimalText(plan.machineLead) + " " + std::string(unitName(plan.machineUnit));
}

std::vector<std::string> trainNotes(const HelixPlan& plan) {
    const HelixTrain& chosen = plan.trains.front();
    const Places at = placesOf(chosen.train);
    std::vector<std::string> notes;
    std::string reached = "Lead reached: " + machineText(plan) + " x ";
    if (chosen.train.pairs == 1) {
        notes.push_back("Change gears: gear on worm " + std::to_string(at.worm) +
                        ", gear on screw " + std::to_string(at.screw) + ", an idler between them");
        notes.push_back("Train: " + std::to_string(at.screw) + " on the table screw drives " +
                        std::to_string(at.worm) + " on the worm through the idler");
        reached += std::to_string(at.worm) + " / " + std::to_string(at.screw);
    } else {
        notes.push_back("Change gears: gear on worm " + std::to_string(at.worm) +
                        ", first gear on stud " + std::to_string(at.firstStud) +
                        ", second gear on stud " + std::to_string(at.secondStud) +
                        ", gear on screw " + std::to_string(at.screw));
        notes.push_back("Train: " + std::to_string(at.screw) + " on the table screw drives " +
                        std::to_string(at.secondStud) + " on the stud; " +
                        std::to_string(at.firstStud) + ", on the same stud, drives " +
                        std::to_string(at.worm) + " on the worm");
        reached += "(" + std::to_string(at.worm) + " x " + std::to_string(at.secondStud) + ") / (" +
                   std::to_string(at.firstStud) + " x " + std::to_string(at.screw) + ")";
    }
    reached += " = " + leadText(plan, chosen.lead);
    if (chosen.exact) {
        notes.push_back(reached + ", exactly the lead wanted");
    } else {
        notes.push_back(reached + ", the nearest the gears make");
        notes.push_back(
            "Error: lead reached - lead wanted = " + signedUnitsText(chosen.error, plan.decimals) +
            " " + std::string(unitName(plan.work.unit)));
    }
    return notes;
}

std::vector<std::string> swivelNotes(const HelixPlan& plan) {
    const std::string hand = plan.rightHand ? "right" : "left";
    std::vector<std::string> notes;
    if (plan.swivel) {
        notes.push_back("Swivel: tan = pi x D / lead reached, D = " + diameterText(plan) + ": " +
                        swivelText(*plan.swivel) + " to the nearest second");
    } else {
        notes.push_back("Swivel: tan = pi x D / lead; give the work's diameter D for the angle");
    }
    notes.push_back("Hand: " + hand + ": swing the table " +
                    (plan.rightHand ? "counter-clockwise" : "clockwise") +
                    ", seen from above, from square to the spindle");
    notes.push_back(
        "Idler: one idler more or fewer in the train reverses the work and so the hand; before "
        "cutting,");
    notes.push_back("feed the table and watch that the work turns the way a " + hand +
                    "-hand helix needs");
    return notes;
}

}  // namespace

std::string swivelText(std::int64_t seconds) {
    return dmsText(splitTicks(seconds, 0));
}

std::vector<std::string> helixNotes(const HelixPlan& plan) {
    std::vector<std::string> notes;
    const std::string unit(unitName(plan.work.unit));
    if (plan.wanted) {
        notes.push_back("Lead wanted: pi x D / tan " + exactDegreesText(*plan.work.angle) + " = " +
                        length(plan, *plan.wanted) + ", D = " + diameterText(plan));
    }
    std::string machine = "Lead of the machine: " + machineText(plan);
    if (plan.machineUnit != plan.work.unit) {
        machine += " = " + leadText(plan, plan.machineLeadInWork);
    }
    notes.push_back(machine + ", table travel per turn of the work, gears equal");
    if (plan.work.lead) {
        const Ratio ratio = *plan.work.lead / plan.machineLeadInWork;
        notes.push_back("Ratio: lead / lead of the machine = " + ratioText(ratio) +
                        ", the driven gears' teeth over the drivers'");
    } else {
        notes.push_back(
            "Ratio: lead / lead of the machine, irrational, so the train is the one that comes "
            "nearest");
    }
    for (std::string& note : trainNotes(plan)) {
        notes.push_back(std::move(note));
    }
    for (std::string& note : swivelNotes(plan)) {
        notes.push_back(std::move(note));
    }
    notes.push_back(formatted(
        "Figures: lengths correctly rounded to %d decimals (halves away from 0); pi, sines, "
        "cosines and",
        plan.decimals));
    notes.push_back("tangents bounded with a proven error until each rounding is certain");
    return notes;
}

Report helixReport(const HelixPlan& plan) {
    Report report;
    const std::string hand = plan.rightHand ? "right hand" : "left hand";
    report.title = plan.work.lead ? "Helix: a lead of " + exactText(*plan.work.lead) + " " +
                                        std::string(unitName(plan.work.unit)) + ", " + hand
                                  : "Helix: " + exactDegreesText(*plan.work.angle) +
                                        " on a diameter of " + diameterText(plan) + ", " + hand;
    report.notes = helixNotes(plan);
    report.answer =
        answerLines(report.notes, {"Change gears:", "Lead reached:", "Swivel:", "Hand:"});
    report.notes.push_back(
        "Trains: the leads nearest the lead wanted that the gears make, the chosen first; the "
        "studs");
    report.notes.push_back(
        "empty for one pair, the gear on the screw driving the gear on the worm");
    report.columns = {"Worm", "Stud 1", "Stud 2", "Screw", "Lead", "Error"};
    const std::string unit(unitName(plan.work.unit));
    report.columnUnits = {"", "", "", "", unit, unit};
    for (const HelixTrain& entry : plan.trains) {
        const Places at = placesOf(entry.train);
        const bool compound = entry.train.pairs == 2;
        report.rows.push_back(
            {std::to_string(at.worm), compound ? std::to_string(at.firstStud) : "",
             compound ? std::to_string(at.secondStud) : "", std::to_string(at.screw),
             unitsText(roundedRatio(entry.lead.numerator, entry.lead.denominator, plan.decimals),
                       plan.decimals),
             signedUnitsText(entry.error, plan.decimals)});
    }
    return report;
}

std::string helixText(const HelixPlan& plan) {
    return reportText(helixReport(plan));
}

std::string helixCsv(const HelixPlan& plan) {
    std::string text = "gear_on_worm,first_stud,second_stud,gear_on_screw,lead,error\n";
    for (const std::vector<std::string>& row : helixReport(plan).rows) {
        text += row[0] + "," + row[1] + "," + row[2] + "," + row[3] + "," + row[4] + "," +
                (row[5].starts_with('+') ? row[5].substr(1) : row[5]) + "\n";
    }
    return text;
}

namespace {

constexpr double kTableLength = 100;
constexpr double kTableWidth = 16;
constexpr double kRadiusPerTooth = 0.12;

// The table as a rectangle turned by the swivel about the cutter, with the work's axis along it,
// the cutter's plane across the unturned table, and the swivel's arc.
void drawTable(const HelixPlan& plan, Sketch& sketch) {
    const double swivel = plan.swivel ? static_cast<double>(*plan.swivel) / 3600 : 0;
    const double signedSwivel = plan.rightHand ? swivel : -swivel;
    const double turn = signedSwivel * 3.14159265358979323846 / 180;
    const auto turned = [&](double x, double y) {
        return std::pair{x * std::cos(turn) - y * std::sin(turn),
                         x * std::sin(turn) + y * std::cos(turn)};
    };
    const double x = kTableLength / 2;
    const double y = kTableWidth / 2;
    const std::pair<double, double> corners[] = {turned(-x, -y), turned(x, -y), turned(x, y),
                                                 turned(-x, y)};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto [x1, y1] = corners[i];
        const auto [x2, y2] = corners[(i + 1) % 4];
        sketch.lines.push_back({x1, y1, x2, y2, Ink::Outline, false});
    }
    const auto [ax, ay] = turned(x, 0);
    sketch.lines.push_back({-ax, -ay, ax, ay, Ink::Guide, false});
    sketch.lines.push_back({-x, 0, x, 0, Ink::Guide, false});
    sketch.texts.push_back({x, 0, "the cutter's plane", Ink::Guide, Align::Left});
    if (plan.swivel) {
        sketch.arcs.push_back({0, 0, kTableLength / 3, 0, signedSwivel, Ink::Accent, true});
        sketch.texts.push_back({kTableLength / 3, plan.rightHand ? 4.0 : -4.0,
                                swivelText(*plan.swivel), Ink::Dimension, Align::Left});
    }
}

// The gears in a row below the table, from the screw to the worm, each as large as its teeth:
// the idler of one pair small between them, the two gears of the stud on one centre.
void drawTrain(const HelixTrain& chosen, Sketch& sketch) {
    const Places at = placesOf(chosen.train);
    const double y = -45;
    double x = -kTableLength / 2;
    const auto radius = [](std::int64_t teeth) {
        return static_cast<double>(teeth) * kRadiusPerTooth;
    };
    const auto gear = [&](std::int64_t teeth, double centre, const std::string& name) {
        sketch.circles.push_back({centre, y, radius(teeth), Ink::Outline, false});
        sketch.texts.push_back(
            {centre, y - 14, name + " " + std::to_string(teeth), Ink::Outline, Align::Below});
    };
    gear(at.screw, x + radius(at.screw), "screw");
    x += 2 * radius(at.screw);
    if (chosen.train.pairs == 2) {
        const double stud = x + radius(at.secondStud);
        gear(at.secondStud, stud, "stud");
        sketch.circles.push_back({stud, y, radius(at.firstStud), Ink::Accent, false});
        sketch.texts.push_back(
            {stud, y + 14, "and " + std::to_string(at.firstStud), Ink::Accent, Align::Above});
        x = stud + radius(at.firstStud);
    } else {
        sketch.circles.push_back({x + 3, y, 3, Ink::Guide, false});
        x += 6;
    }
    gear(at.worm, x + radius(at.worm), "worm");
}

}  // namespace

Sketch helixSketch(const HelixPlan& plan) {
    Sketch sketch;
    drawTable(plan, sketch);
    drawTrain(plan.trains.front(), sketch);
    sketch.caption =
        "The table swung " + (plan.swivel ? swivelText(*plan.swivel) + " " : std::string()) +
        (plan.rightHand ? "counter-clockwise" : "clockwise") + " for a " +
        (plan.rightHand ? "right" : "left") + "-hand helix; gears from the screw to the worm";
    return sketch;
}

}  // namespace morvanta
