// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "engine/AngleIndexing.h"
#include "engine/DividingWork.h"
#include "engine/IndexingDetail.h"
#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using detail::formatted;
using detail::I128;

constexpr I128 kSecondsPerTurn = 1'296'000;

// The words of the index sheet, said of an angle's move as index says them of a division's.
using indexing::circleName;
using indexing::counted;
using indexing::fractionText;
using indexing::moveText;
using indexing::number;
using indexing::onPlate;
using indexing::sectorText;
using indexing::turnsText;

Rational turnsOf(std::int64_t turns, std::int64_t holes, std::int64_t circle) {
    return Rational::ratio(static_cast<I128>(turns) * circle + holes, circle);
}

std::string angleText(const Angle& angle) {
    return dmsText(toDms(angle, 1));
}

// The angle as the user would write it: a short decimal, else degrees, minutes and seconds where
// a tenth of a second holds it, else its fraction: "17.5°", "17°30'15.0"", "360/7°".
std::string givenText(const Angle& angle) {
    const std::string decimal = exactDegreesText(angle);
    if (decimal.find('/') == std::string::npos || (angle * 36'000).denominator() != 1) {
        return decimal;
    }
    return angleText(angle);
}

// Crank turns as the angle they turn the work through, in seconds of arc: 1296000 / R a turn.
std::string seconds(const Rational& crankTurns, std::int64_t ratio, bool plus) {
    return roundedText(static_cast<I128>(crankTurns.numerator()) * kSecondsPerTurn,
                       static_cast<I128>(crankTurns.denominator()) * ratio, 2, plus) +
           "\"";
}

std::string checkLine(const std::string& sum, const Rational& made, const AngleIndexPlan& plan) {
    const std::string wanted = fractionText(plan.turns);
    return "Check: " + sum + " = " + fractionText(made) +
           (made == plan.turns ? " exactly" : ", NOT " + wanted);
}

void simpleNotes(const AngleIndexPlan& plan, std::vector<std::string>& notes) {
    const HoleMove& move = plan.simple.front();
    notes.push_back("Method: simple indexing");
    if (move.holes == 0) {
        notes.push_back("Move: " + moveText(plan.head, move) +
                        " for each step; the pin goes back into the hole it left");
    } else {
        std::vector<std::string> circles;
        for (const HoleMove& other : plan.simple) {
            circles.push_back(counted(other.holes, "hole", "holes") + " on " +
                              number(other.circle) + onPlate(plan.head, other.plate));
        }
        indexing::appendWrapped(notes, "Circles that give it:", circles);
        notes.push_back("Recommended: the " + circleName(move.circle) +
                        onPlate(plan.head, move.plate) +
                        ", the one with the fewest holes to count");
        notes.push_back("Move: " + moveText(plan.head, move) + " for each step");
        notes.push_back(sectorText(move.holes));
    }
    notes.push_back(
        checkLine(number(move.turns) + " + " + number(move.holes) + "/" + number(move.circle),
                  turnsOf(move.turns, move.holes, move.circle), plan));
}

void compoundNotes(const AngleIndexPlan& plan, std::vector<std::string>& notes) {
    const CompoundMove& move = *plan.compound;
    indexing::compoundMoveNotes(plan.head, move, "step", notes);
    notes.push_back(
        checkLine(indexing::compoundSumText(move), indexing::compoundTurns(move), plan));
}

void differentialNotes(const AngleIndexPlan& plan, std::vector<std::string>& notes) {
    const AngleDifferential& d = *plan.differential;
    const Rational crank = turnsOf(d.move.turns, d.move.holes, d.move.circle);
    notes.push_back("Method: differential indexing, the crank moved " + turnsText(crank) +
                    ", which a circle gives");
    notes.push_back("Move: " + moveText(plan.head, d.move) + " for each step");
    if (d.move.holes != 0) {
        notes.push_back(sectorText(d.move.holes));
    }
    notes.push_back("Gearing: g = (" + fractionText(plan.turns) + " - " + fractionText(crank) +
                    ") x 360\u00B0 / " + givenText(plan.angle) + " = " + fractionText(d.gearing) +
                    ", the plate turning " + turnsText(abs(d.gearing)) + " per turn of the work");
    notes.push_back("Gear train, spindle to plate: " +
                    indexing::trainText(indexing::gearsOf(d.train)));
    notes.push_back("Direction: the plate turns " + indexing::directionWord(d.gearing) +
                    " the crank; one idler or two, as the head needs");
    notes.push_back("Unlock the plate (withdraw its stop pin) so that the gears can turn it");
    const Rational made =
        crank + Rational::ratio(
                    static_cast<I128>(d.gearing.numerator()) * plan.angle.numerator(),
                    static_cast<I128>(d.gearing.denominator()) * plan.angle.denominator() * 360);
    notes.push_back(checkLine(fractionText(crank) + " + (" + fractionText(d.gearing) + ") x " +
                                  givenText(plan.angle) + " / 360\u00B0",
                              made, plan));
}

void nearestNotes(const AngleIndexPlan& plan, std::vector<std::string>& notes) {
    const AngleNearest& nearest = *plan.nearest;
    notes.push_back(
        "Method: none is exact with these plates and gears; the move below is APPROXIMATE");
    notes.push_back("Circle: the " + circleName(nearest.circle) +
                    onPlate(plan.head, nearest.plate) +
                    ", the one whose largest error is the smallest, " +
                    seconds(nearest.largest, plan.head.ratio, false));
    const AnglePlace place = anglePlace(plan, 1);
    if (place.turns == 0 && place.holes == 0) {
        notes.push_back("Move: none, the hole nearest the exact place being the one the pin is in");
    } else {
        notes.push_back(
            "Move: " +
            moveText(plan.head, {place.turns, place.holes, nearest.circle, nearest.plate}) +
            ", the hole nearest the exact place");
    }
    const Angle reached = Angle::ratio((place.turns * nearest.circle + place.holes) * 360,
                                       nearest.circle * plan.head.ratio);
    notes.push_back("Angle reached: " + angleText(reached) + ", error " +
                    seconds(angleError(plan, 1), plan.head.ratio, true) +
                    " (angle reached minus angle wanted)");
    if (plan.steps > 0) {
        notes.push_back(
            "Set each step on the hole nearest its own exact place (halves to the later hole),");
        notes.push_back(
            "never by adding a rounded move to the last one: the moves differ from step to step");
    }
}

// With steps: what the columns mean, one row per step from the start, the largest error of the
// nearest-hole plan and where the last step leaves the work.
void addStepTable(const AngleIndexPlan& plan, Report& report) {
    const std::string given = givenText(plan.angle);
    const bool onThePlate =
        plan.method == IndexMethod::Differential || plan.method == IndexMethod::Compound;
    report.notes.push_back("Angle: step x " + given + " from the start, to a tenth of a second");
    report.notes.push_back(
        std::string(onThePlate ? "Turns, Holes: the crank's place on the plate from the start"
                               : "Turns, Holes: the crank's place from the start") +
        (plan.method == IndexMethod::Compound ? "; Plate holes: the stop pin's, from its first"
         : plan.method == IndexMethod::None   ? "; Error: angle set minus exact angle"
                                              : ""));
    report.columns = {"Step", "Angle", "Turns", "Holes"};
    report.columnUnits = {"", "°'\"", "", ""};
    if (plan.method == IndexMethod::Compound) {
        report.columns.push_back("Plate holes");
        report.columnUnits.emplace_back();
    } else if (plan.method == IndexMethod::None) {
        report.columns.push_back("Error");
        report.columnUnits.emplace_back("\"");
    }
    for (std::int64_t step = 0; step <= plan.steps; ++step) {
        const AnglePlace place = anglePlace(plan, step);
        std::vector<std::string> row{number(step), angleText(plan.angle * step),
                                     number(place.turns), number(place.holes)};
        if (plan.method == IndexMethod::Compound) {
            row.push_back(number(place.plateHoles));
        } else if (plan.method == IndexMethod::None) {
            row.push_back(seconds(angleError(plan, step), plan.head.ratio, true));
        }
        report.rows.push_back(std::move(row));
    }
    if (plan.method == IndexMethod::None) {
        report.footer.push_back("Largest error: " +
                                seconds(plan.nearest->largest, plan.head.ratio, false));
    }
    report.footer.push_back(
        "After step " + number(plan.steps) + ": " + number(plan.steps) + " x " + given + " = " +
        angleText(plan.angle * plan.steps) + " from the start" +
        (plan.method == IndexMethod::None ? ", set within the error above" : ", exactly"));
}

}  // namespace

Report angleIndexReport(const AngleIndexPlan& plan) {
    Report report;
    const std::string given = givenText(plan.angle);
    report.title = "Angular indexing: " + given +
                   (plan.steps > 0 ? ", " + counted(plan.steps, "step", "steps") : "");
    report.notes = indexing::headNotes(plan.head);
    const bool plain = plan.angle.isWhole() || given == angleText(plan.angle);
    report.notes.push_back("Angle: " + given + (plain ? "" : " = " + angleText(plan.angle)));
    report.notes.push_back("Each step: " + given + " x " + number(plan.head.ratio) +
                           " / 360\u00B0 = " + turnsText(plan.turns) + " of the crank");
    switch (plan.method) {
        case IndexMethod::Simple:
            simpleNotes(plan, report.notes);
            break;
        case IndexMethod::Compound:
            compoundNotes(plan, report.notes);
            break;
        case IndexMethod::Differential:
            differentialNotes(plan, report.notes);
            break;
        case IndexMethod::None:
            nearestNotes(plan, report.notes);
            break;
    }
    // What to set up and do for each step, as on the index plate's page.
    report.answer = answerLines(report.notes, {"Method:", "Recommended:", "Move:", "First move",
                                               "Sector arms:", "Second move", "turn ", "Gear train",
                                               "Direction:", "Circle:", "Angle reached:"});
    if (plan.steps > 0) {
        addStepTable(plan, report);
    }
    return report;
}

std::string angleIndexText(const AngleIndexPlan& plan) {
    return reportText(angleIndexReport(plan));
}

std::string angleIndexCsv(const AngleIndexPlan& plan) {
    std::string text = "step,degrees,minutes,seconds,turns,holes,circle";
    if (plan.method == IndexMethod::Compound) {
        text += ",plate_holes,plate_circle";
    } else if (plan.method == IndexMethod::None) {
        text += ",error_seconds";
    }
    text += '\n';
    const std::int64_t circle = plan.method == IndexMethod::Simple     ? plan.simple.front().circle
                                : plan.method == IndexMethod::Compound ? plan.compound->circle
                                : plan.method == IndexMethod::Differential
                                    ? plan.differential->move.circle
                                    : plan.nearest->circle;
    for (std::int64_t step = 0; step <= std::max<std::int64_t>(plan.steps, 1); ++step) {
        const Dms dms = toDms(plan.angle * step, 1);
        const AnglePlace place = anglePlace(plan, step);
        text += formatted("%lld,%lld,%lld,%lld.%lld,%lld,%lld,%lld", static_cast<long long>(step),
                          static_cast<long long>(dms.degrees), static_cast<long long>(dms.minutes),
                          static_cast<long long>(dms.seconds), static_cast<long long>(dms.fraction),
                          static_cast<long long>(place.turns), static_cast<long long>(place.holes),
                          static_cast<long long>(circle));
        if (plan.method == IndexMethod::Compound) {
            text += formatted(",%lld,%lld",
                              static_cast<long long>(plan.compound->plateBack ? -place.plateHoles
                                                                              : place.plateHoles),
                              static_cast<long long>(plan.compound->plateCircle));
        } else if (plan.method == IndexMethod::None) {
            const Rational error = angleError(plan, step);
            text += "," + roundedText(static_cast<I128>(error.numerator()) * kSecondsPerTurn,
                                      static_cast<I128>(error.denominator()) * plan.head.ratio, 4);
        }
        text += '\n';
    }
    return text;
}

Sketch angleIndexSketch(const AngleIndexPlan& plan) {
    HoleMove move;
    switch (plan.method) {
        case IndexMethod::Simple:
            move = plan.simple.front();
            break;
        case IndexMethod::Compound:
            move = {plan.compound->turns, plan.compound->holes, plan.compound->circle,
                    plan.compound->plate};
            break;
        case IndexMethod::Differential:
            move = plan.differential->move;
            break;
        case IndexMethod::None: {
            const AnglePlace place = anglePlace(plan, 1);
            move = {place.turns, place.holes, plan.nearest->circle, plan.nearest->plate};
            break;
        }
    }
    // Each circle drawn as large as its holes are many, so that the holes lie alike apart.
    const auto circle = static_cast<double>(move.circle);
    const auto at = [&](std::int64_t hole) {
        const double degrees = 90.0 - 360.0 * static_cast<double>(hole) / circle;
        return std::pair{circle * std::cos(degrees * 3.14159265358979323846 / 180),
                         circle * std::sin(degrees * 3.14159265358979323846 / 180)};
    };
    Sketch sketch;
    for (const std::int64_t holes : plan.head.plates[move.plate]) {
        sketch.circles.push_back({0, 0, static_cast<double>(holes),
                                  holes == move.circle ? Ink::Accent : Ink::Guide, false});
    }
    for (std::int64_t hole = 0; hole < move.circle; ++hole) {
        const auto [x, y] = at(hole);
        sketch.holes.push_back({x, y, 1.5, hole + 1});
    }
    const auto [startX, startY] = at(0);
    const auto [endX, endY] = at(move.holes);
    sketch.lines.push_back({0, 0, startX, startY, Ink::Outline, false});
    sketch.lines.push_back({0, 0, startX * 1.15, startY * 1.15, Ink::Accent, false});
    sketch.lines.push_back({0, 0, endX * 1.15, endY * 1.15, Ink::Accent, false});
    sketch.arcs.push_back({0, 0, circle * 1.1, 90,
                           -360.0 * static_cast<double>(move.holes) / circle, Ink::Accent, true});
    sketch.texts.push_back({0, -circle - 4,
                            circleName(move.circle) + onPlate(plan.head, move.plate), Ink::Outline,
                            Align::Below});
    sketch.texts.push_back({0, circle * 1.15, "crank at hole 1", Ink::Outline, Align::Above});
    sketch.caption =
        "The " + circleName(move.circle) + onPlate(plan.head, move.plate) + ": " +
        moveText(plan.head, move) + " for each step; " +
        (move.holes == 0 ? std::string("the sector arms together")
                         : "the sector arms " + counted(move.holes, "space", "spaces") + " apart");
    return sketch;
}

}  // namespace morvanta
