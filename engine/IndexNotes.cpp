// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/IndexingDetail.h"

namespace morvanta::indexing {

namespace {

using detail::decimalText;
using detail::formatted;
using detail::I128;

// Notes that list circles are wrapped at this width, so that a printed sheet keeps its margins.
constexpr std::size_t kNoteWidth = 96;

// Appends item to a list, after the separator unless the list is still empty.
void append(std::string& list, std::string_view separator, const std::string& item) {
    if (!list.empty()) {
        list += separator;
    }
    list += item;
}

// A positive fraction as a whole number and a proper fraction: "6 2/3", "1/3", "40".
std::string mixedText(const Rational& f) {
    const std::int64_t whole = f.numerator() / f.denominator();
    const Rational rest = Rational::ratio(f.numerator() % f.denominator(), f.denominator());
    if (rest.isZero()) {
        return number(whole);
    }
    return whole == 0 ? fractionText(rest) : number(whole) + " " + fractionText(rest);
}

std::string circleList(const std::vector<std::int64_t>& circles) {
    std::string text;
    for (const std::int64_t holes : circles) {
        append(text, " ", number(holes));
    }
    return text;
}

}  // namespace

std::string onPlate(const IndexHead& head, std::size_t plate) {
    if (head.plates.size() < 2) {
        return "";
    }
    return formatted(head.platesName == "Cincinnati" ? " (side %zu)" : " (plate %zu)", plate + 1);
}

std::string circleName(std::int64_t holes) {
    return number(holes) + "-hole circle";
}

std::string moveText(const IndexHead& head, const HoleMove& move) {
    if (move.holes == 0) {
        return counted(move.turns, "turn", "turns");
    }
    return counted(move.turns, "turn", "turns") + " and " + counted(move.holes, "hole", "holes") +
           " on the " + circleName(move.circle) + onPlate(head, move.plate);
}

namespace {

// The same for a list: "6 turns and 10 on 15", "5 turns".
std::string shortMove(const HoleMove& move) {
    if (move.holes == 0) {
        return counted(move.turns, "turn", "turns");
    }
    return counted(move.turns, "turn", "turns") + " and " + number(move.holes) + " on " +
           number(move.circle);
}

}  // namespace

void appendWrapped(std::vector<std::string>& notes, std::string line,
                   const std::vector<std::string>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string item = items[i];
        if (i + 1 < items.size()) {
            item += ',';
        }
        if (line.size() > 2 && line.size() + 1 + item.size() > kNoteWidth) {
            notes.push_back(line);
            line = " ";
        }
        line += ' ';
        line += item;
    }
    notes.push_back(line);
}

std::string sectorText(std::int64_t holes) {
    return "Sector arms: " + counted(holes, "space", "spaces") + " apart (" +
           counted(holes + 1, "hole", "holes") + " counting the one the pin is in)";
}

GearTrain gearsOf(const ChangeTrain& train) {
    GearTrain gears;
    gears.drivers.assign(train.drivers, train.drivers + train.pairs);
    gears.driven.assign(train.driven, train.driven + train.pairs);
    return gears;
}

void compoundMoveNotes(const IndexHead& head, const CompoundMove& move, const char* unit,
                       std::vector<std::string>& notes) {
    notes.push_back(std::string("Method: compound indexing, two moves for each ") + unit +
                    " on two circles of one plate" + onPlate(head, move.plate));
    notes.push_back("First move, the crank: " + counted(move.turns, "turn", "turns") + " and " +
                    counted(move.holes, "hole", "holes") + " on the " + circleName(move.circle));
    notes.push_back(sectorText(move.holes));
    notes.push_back("Second move, the plate: crank pin left in its hole, stop pin drawn from the " +
                    circleName(move.plateCircle) + ",");
    notes.push_back("turn plate and crank " + counted(move.plateHoles, "hole", "holes") + " " +
                    (move.plateBack ? "back, against the crank" : "forward, with the crank") +
                    ", and put the stop pin in again");
}

Rational compoundTurns(const CompoundMove& move) {
    return Rational::whole(move.turns) + Rational::ratio(move.holes, move.circle) +
           Rational::ratio(move.plateBack ? -move.plateHoles : move.plateHoles, move.plateCircle);
}

std::string compoundSumText(const CompoundMove& move) {
    return number(move.turns) + " + " + number(move.holes) + "/" + number(move.circle) +
           (move.plateBack ? " - " : " + ") + number(move.plateHoles) + "/" +
           number(move.plateCircle);
}

std::string trainText(const GearTrain& train) {
    if (train.drivers.size() == 1) {
        return number(train.drivers[0]) + " on the spindle drives " + number(train.driven[0]) +
               " on the plate's shaft (one pair)";
    }
    return number(train.drivers[0]) + " on the spindle drives " + number(train.driven[0]) + "; " +
           number(train.drivers[1]) + ", on the stud of " + number(train.driven[0]) + ", drives " +
           number(train.driven[1]) + " on the plate's shaft (two pairs)";
}

namespace {

std::string alternativeText(const IndexHead& head, const DifferentialMove& plan) {
    return formatted("as for %lld: ", static_cast<long long>(plan.base)) + shortMove(plan.move) +
           onPlate(head, plan.move.plate) + ", g = " + fractionText(plan.gearing) + " by " +
           shortTrainText(plan.train) + ", plate " + directionWord(plan.gearing) + " crank";
}

std::string checkLine(const Rational& lhs, const std::string& lhsText, const Rational& rhs,
                      std::int64_t ratio, std::int64_t count) {
    const std::string wanted =
        formatted("%lld/%lld", static_cast<long long>(ratio), static_cast<long long>(count));
    const std::string sum = fractionText(lhs);
    std::string line = "Check: " + lhsText;
    if (sum != lhsText) {
        line += " = " + sum;
    }
    if (!(lhs == rhs)) {
        return line + ", NOT " + wanted;
    }
    if (sum != wanted) {
        line += " = " + wanted;
    }
    return line + " exactly";
}

void simpleNotes(const IndexPlan& plan, std::vector<std::string>& notes) {
    const IndexHead& head = plan.head;
    const HoleMove& move = plan.simple.front();
    notes.push_back("Method: simple indexing");
    if (move.holes == 0) {
        notes.push_back("Move: " + moveText(head, move) +
                        " for each division; the pin goes back into the hole it left");
    } else {
        std::vector<std::string> circles;
        for (const HoleMove& other : plan.simple) {
            circles.push_back(counted(other.holes, "hole", "holes") + " on " +
                              number(other.circle) + onPlate(head, other.plate));
        }
        appendWrapped(notes, "Circles that give it:", circles);
        notes.push_back("Recommended: the " + circleName(move.circle) + onPlate(head, move.plate) +
                        ", the one with the fewest holes to count");
        notes.push_back("Move: " + moveText(head, move) + " for each division");
        notes.push_back(sectorText(move.holes));
    }
    const Rational made = Rational::whole(move.turns) + Rational::ratio(move.holes, move.circle);
    notes.push_back(checkLine(made,
                              move.holes == 0 ? number(move.turns)
                                              : number(move.turns) + " + " + number(move.holes) +
                                                    "/" + number(move.circle),
                              divisionTurns(head, plan.count), head.ratio, plan.count));
}

void compoundNotes(const IndexPlan& plan, std::vector<std::string>& notes) {
    const IndexHead& head = plan.head;
    const CompoundMove& move = *plan.compound;
    compoundMoveNotes(head, move, "division", notes);
    notes.push_back(checkLine(compoundTurns(move), compoundSumText(move),
                              divisionTurns(head, plan.count), head.ratio, plan.count));
    if (!plan.differential.empty()) {
        notes.push_back("Or differential: " + alternativeText(head, plan.differential.front()));
    }
}

void differentialNotes(const IndexPlan& plan, std::vector<std::string>& notes) {
    const IndexHead& head = plan.head;
    const DifferentialMove& chosen = plan.differential.front();
    notes.push_back(
        formatted("Method: differential indexing, the crank moved as for %lld "
                  "divisions",
                  static_cast<long long>(chosen.base)));
    notes.push_back("Move: " + moveText(head, chosen.move) + " for each division");
    if (chosen.move.holes != 0) {
        notes.push_back(sectorText(chosen.move.holes));
        notes.push_back("Circle: of those that give " + number(chosen.base) +
                        ", the one with the fewest holes to count");
    }
    notes.push_back(
        formatted("Gearing: g = %lld x (%lld - %lld) / %lld = ", static_cast<long long>(head.ratio),
                  static_cast<long long>(chosen.base), static_cast<long long>(plan.count),
                  static_cast<long long>(chosen.base)) +
        fractionText(chosen.gearing) + ", the plate turning " + turnsText(abs(chosen.gearing)) +
        " per turn of the work");
    notes.push_back("Gear train, spindle to plate: " + trainText(chosen.train));
    notes.push_back("Direction: the plate turns " + directionWord(chosen.gearing) +
                    " the crank; one idler or two, as the head needs");
    notes.push_back("Before cutting, index one division and watch that the plate turns that way");
    notes.push_back("Unlock the plate (withdraw its stop pin) so that the gears can turn it");
    const Rational made =
        Rational::ratio(head.ratio, chosen.base) +
        Rational::ratio(chosen.gearing.numerator(),
                        static_cast<I128>(chosen.gearing.denominator()) * plan.count);
    notes.push_back(checkLine(made,
                              formatted("%lld/%lld + (", static_cast<long long>(head.ratio),
                                        static_cast<long long>(chosen.base)) +
                                  fractionText(chosen.gearing) + ")/" + number(plan.count),
                              divisionTurns(head, plan.count), head.ratio, plan.count));
    for (std::size_t i = 1; i < plan.differential.size(); ++i) {
        notes.push_back("Or: " + alternativeText(head, plan.differential[i]));
    }
}

void nearestNotes(const IndexPlan& plan, std::vector<std::string>& notes) {
    const IndexHead& head = plan.head;
    const NearestHolePlan& nearest = *plan.nearest;
    notes.push_back(
        "Method: none is exact with these plates and gears; the plan below is "
        "APPROXIMATE");
    notes.push_back("Circle: the " + circleName(nearest.circle) + onPlate(head, nearest.plate) +
                    ", the one whose largest error is the smallest, " +
                    errorSeconds(nearest.largestTimes,
                                 static_cast<I128>(plan.count) * nearest.circle * head.ratio));
    notes.push_back(
        "Set each division on the hole nearest its own exact place (halves to the "
        "later hole),");
    notes.push_back(
        "never by adding a rounded move to the last one: the moves differ from division "
        "to division");
}

// "Each division: 40/127 of a crank turn", with why the method below is needed.
std::string divisionNote(const IndexPlan& plan) {
    const Rational each = divisionTurns(plan.head, plan.count);
    const std::string asGiven = formatted("%lld/%lld", static_cast<long long>(plan.head.ratio),
                                          static_cast<long long>(plan.count));
    std::string per = "Each division: " + asGiven +
                      (fractionText(each) == asGiven && each.numerator() < each.denominator()
                           ? " of a crank turn"
                           : " = " + turnsText(each) + " of the crank");
    if (plan.method == IndexMethod::Compound) {
        per += ", which no circle gives alone";
    } else if (plan.method == IndexMethod::Differential) {
        per += ", which no circle gives, alone or two on one plate";
    }
    return per;
}

}  // namespace

std::string number(std::int64_t value) {
    return std::to_string(value);
}

std::string counted(std::int64_t value, const char* one, const char* many) {
    return number(value) + " " + (value == 1 ? one : many);
}

std::string fractionText(const Rational& f) {
    if (f.denominator() == 1) {
        return number(f.numerator());
    }
    return number(f.numerator()) + "/" + number(f.denominator());
}

std::string turnsText(const Rational& f) {
    if (f.numerator() < f.denominator()) {
        return fractionText(f) + " of a turn";
    }
    return mixedText(f) + (f == Rational::whole(1) ? " turn" : " turns");
}

std::string directionWord(const Rational& gearing) {
    return gearing.numerator() > 0 ? "with" : "against";
}

std::string shortTrainText(const GearTrain& train) {
    std::string text;
    for (std::size_t i = 0; i < train.drivers.size(); ++i) {
        append(text, " ", number(train.drivers[i]) + "/" + number(train.driven[i]));
    }
    return text;
}

std::vector<std::string> headNotes(const IndexHead& head) {
    std::string plates;
    for (const std::vector<std::int64_t>& plate : head.plates) {
        append(plates, " / ", circleList(plate));
    }
    return {
        formatted("Head: %lld:1, %lld crank %s for one turn of the work",
                  static_cast<long long>(head.ratio), static_cast<long long>(head.ratio),
                  head.ratio == 1 ? "turn" : "turns"),
        "Plates: " + (head.platesName.empty() ? plates : head.platesName + ", " + plates),
        "Change gears: " + circleList(head.gears),
    };
}

std::string errorSeconds(I128 timesTurn, I128 per) {
    return decimalText(timesTurn * kSecondsPerTurn, per, 2, false) + "\"";
}

std::vector<std::string> planNotes(const IndexPlan& plan) {
    std::vector<std::string> notes = headNotes(plan.head);
    notes.push_back(divisionNote(plan));
    switch (plan.method) {
        case IndexMethod::Simple:
            simpleNotes(plan, notes);
            break;
        case IndexMethod::Compound:
            compoundNotes(plan, notes);
            break;
        case IndexMethod::Differential:
            differentialNotes(plan, notes);
            break;
        case IndexMethod::None:
            nearestNotes(plan, notes);
            break;
    }
    return notes;
}

std::vector<std::string> columnNotes(const IndexPlan& plan, std::int64_t circle) {
    std::vector<std::string> notes;
    notes.push_back(
        formatted("Angle: the exact angle of each division, (division - 1) x "
                  "360\u00B0 / %lld, to a tenth of a second",
                  static_cast<long long>(plan.count)));
    switch (plan.method) {
        case IndexMethod::Simple:
            notes.push_back("Turns, Holes: the crank's place from division 1, on the " +
                            circleName(circle));
            break;
        case IndexMethod::Compound:
            notes.push_back(
                "Turns, Crank holes: the crank's place on the plate from division 1, on the " +
                circleName(circle));
            notes.push_back("Plate holes: the stop pin's hole on the " +
                            circleName(plan.compound->plateCircle) + ", counted " +
                            (plan.compound->plateBack ? "back" : "forward") +
                            " from its first hole");
            break;
        case IndexMethod::Differential:
            notes.push_back(
                "Turns, Holes: the crank's place on the plate from division 1, on the " +
                circleName(circle));
            break;
        case IndexMethod::None:
            notes.push_back(
                "Turns, Holes: the hole nearest the crank's exact place, from division 1, on the " +
                circleName(circle));
            notes.push_back("Error: the angle set minus the exact angle, in seconds of arc");
            break;
    }
    return notes;
}

}  // namespace morvanta::indexing
