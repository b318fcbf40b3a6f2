// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>

#include "engine/Angle.h"
#include "engine/IndexingDetail.h"

namespace morvanta {

namespace {

using detail::decimalText;
using detail::formatted;
using detail::I128;
using detail::magnitude;
using namespace indexing;

struct Position {
    std::int64_t turns = 0;
    std::int64_t holes = 0;
    std::int64_t plateHoles = 0;
};

// Where the crank stands after `done` moves of `move`, counted from the first division.
Position simplePosition(const HoleMove& move, std::int64_t done) {
    const std::int64_t holes = done * (move.turns * move.circle + move.holes);
    return {holes / move.circle, holes % move.circle, 0};
}

// The crank's turns and holes on the plate, which only ever grow, and the stop pin's hole within
// the plate's turn: what the machinist counts and sees.
Position compoundPosition(const CompoundMove& move, std::int64_t done) {
    const std::int64_t crank = done * (move.turns * move.circle + move.holes);
    return {crank / move.circle, crank % move.circle, done * move.plateHoles % move.plateCircle};
}

// The hole nearest done x R / N turns. That is never below 0, so the one rule's halves away from
// zero are halves to the later hole, as the sheet says.
Position nearestPosition(const IndexPlan& plan, std::int64_t done) {
    const I128 exact = static_cast<I128>(done) * plan.head.ratio * plan.nearest->circle;
    const auto hole = static_cast<std::int64_t>(detail::nearest(exact, plan.count));
    return {hole / plan.nearest->circle, hole % plan.nearest->circle, 0};
}

// The error of the nearest hole after `done` moves, hole x N - done x R x C, in units of
// 1 / (N x C x R) turn of the work.
I128 nearestOffTimes(const IndexPlan& plan, std::int64_t done) {
    const Position at = nearestPosition(plan, done);
    const std::int64_t circle = plan.nearest->circle;
    return (static_cast<I128>(at.turns) * circle + at.holes) * plan.count -
           static_cast<I128>(done) * plan.head.ratio * circle;
}

// That error in seconds of arc.
std::string nearestError(const IndexPlan& plan, std::int64_t done, int decimals, bool plus) {
    return decimalText(nearestOffTimes(plan, done) * kSecondsPerTurn,
                       static_cast<I128>(plan.count) * plan.nearest->circle * plan.head.ratio,
                       decimals, plus);
}

// The first division whose error is the largest of the nearest-hole plan. Division 1 is exact and
// the largest error of a plan without an exact one is above 0, so the answer is a later division.
std::int64_t largestErrorDivision(const IndexPlan& plan) {
    for (std::int64_t division = 1; division <= plan.count; ++division) {
        if (magnitude(nearestOffTimes(plan, division - 1)) == plan.nearest->largestTimes) {
            return division;
        }
    }
    return 1;
}

Angle divisionAngle(std::int64_t division, std::int64_t count) {
    return Angle::ratio(360 * (division - 1), count);
}

std::int64_t tableCircle(const IndexPlan& plan) {
    switch (plan.method) {
        case IndexMethod::Simple:
            return plan.simple.front().circle;
        case IndexMethod::Compound:
            return plan.compound->circle;
        case IndexMethod::Differential:
            return plan.differential.front().move.circle;
        case IndexMethod::None:
            break;
    }
    return plan.nearest->circle;
}

Position positionAfter(const IndexPlan& plan, std::int64_t done) {
    switch (plan.method) {
        case IndexMethod::Simple:
            return simplePosition(plan.simple.front(), done);
        case IndexMethod::Compound:
            return compoundPosition(*plan.compound, done);
        case IndexMethod::Differential:
            return simplePosition(plan.differential.front().move, done);
        case IndexMethod::None:
            break;
    }
    return nearestPosition(plan, done);
}

// The crank turns, in all, of a position: for differential indexing the plate's turns by the
// gears are added, so that every method must come to R turns after N moves.
Rational crankTurns(const IndexPlan& plan, const Position& at, std::int64_t done) {
    const std::int64_t circle = tableCircle(plan);
    Rational turns = Rational::whole(at.turns) + Rational::ratio(at.holes, circle);
    if (plan.method == IndexMethod::Compound) {
        const std::int64_t plateHoles = done * plan.compound->plateHoles;
        turns = turns + Rational::ratio(plan.compound->plateBack ? -plateHoles : plateHoles,
                                        plan.compound->plateCircle);
    }
    if (plan.method == IndexMethod::Differential) {
        const Rational& gearing = plan.differential.front().gearing;
        turns = turns + Rational::ratio(static_cast<I128>(gearing.numerator()) * done,
                                        static_cast<I128>(gearing.denominator()) * plan.count);
    }
    return turns;
}

// Where one more move after the last division puts the crank, and, last, that this is one whole
// turn of the work: the first division again.
std::vector<std::string> closureLines(const IndexPlan& plan) {
    const std::int64_t count = plan.count;
    const Position at = positionAfter(plan, count);
    const bool onThePlate =
        plan.method == IndexMethod::Compound || plan.method == IndexMethod::Differential;
    std::vector<std::string> lines{
        formatted("After division %lld, one more move: ", static_cast<long long>(count)) +
        counted(at.turns, "turn", "turns") + " and " + counted(at.holes, "hole", "holes") +
        (onThePlate ? " on the plate" : "") + " from the first division"};
    if (plan.method == IndexMethod::Compound) {
        const CompoundMove& move = *plan.compound;
        lines.push_back("and the plate turned " +
                        turnsText(Rational::ratio(count * move.plateHoles, move.plateCircle)) +
                        (move.plateBack ? " back" : " forward") + " by its moves");
    }
    if (plan.method == IndexMethod::Differential) {
        const Rational& gearing = plan.differential.front().gearing;
        lines.push_back("and the plate turned " + turnsText(abs(gearing)) + " " +
                        directionWord(gearing) + " the crank by the gears");
    }
    const Rational turns = crankTurns(plan, at, count);
    if (!(turns == Rational::whole(plan.head.ratio))) {
        lines.push_back(turnsText(turns) + " of the crank in all: NOT one whole turn of the work");
        return lines;
    }
    lines.push_back(counted(plan.head.ratio, "crank turn", "crank turns") +
                    " in all, one whole turn of the work (" +
                    dmsText(toDms(divisionAngle(count + 1, count), 1)) +
                    "): division 1 again, exactly");
    return lines;
}

std::vector<std::string> divisionRow(const IndexPlan& plan, std::int64_t division) {
    const Position at = positionAfter(plan, division - 1);
    std::vector<std::string> row{number(division),
                                 dmsText(toDms(divisionAngle(division, plan.count), 1)),
                                 number(at.turns), number(at.holes)};
    if (plan.method == IndexMethod::Compound) {
        row.push_back(number(at.plateHoles));
    }
    if (plan.method == IndexMethod::None) {
        row.push_back(nearestError(plan, division - 1, 2, true) + "\"");
    }
    return row;
}

// The turns and holes are named by their column; the angle and the error have units.
std::vector<std::string> divisionUnits(const IndexPlan& plan) {
    std::vector<std::string> units{"", "°'\"", "", ""};
    if (plan.method == IndexMethod::Compound) {
        units.emplace_back();
    }
    if (plan.method == IndexMethod::None) {
        units.emplace_back("\"");
    }
    return units;
}

// What the machinist sets up and does for each division: the method, the circle and the move,
// the sector arms, the gears and the way the plate turns, or how far the nearest hole is off.
std::vector<std::string> planAnswer(const IndexPlan& plan, const std::vector<std::string>& notes) {
    switch (plan.method) {
        case IndexMethod::Simple:
            return answerLines(notes, {"Method:", "Recommended:", "Move:", "Sector arms:"});
        case IndexMethod::Compound:
            return answerLines(notes,
                               {"Method:", "First move", "Sector arms:", "Second move", "turn "});
        case IndexMethod::Differential:
            return answerLines(notes,
                               {"Method:", "Move:", "Sector arms:", "Gear train", "Direction:"});
        case IndexMethod::None:
            break;
    }
    return answerLines(notes, {"Method:", "Circle:"});
}

std::vector<std::string> divisionColumns(const IndexPlan& plan) {
    switch (plan.method) {
        case IndexMethod::Compound:
            return {"Division", "Angle", "Turns", "Crank holes", "Plate holes"};
        case IndexMethod::None:
            return {"Division", "Angle", "Turns", "Holes", "Error"};
        default:
            return {"Division", "Angle", "Turns", "Holes"};
    }
}

}  // namespace

Report indexReport(const IndexPlan& plan) {
    Report report;
    report.title = "Indexing: " + counted(plan.count, "division", "divisions");
    report.notes = planNotes(plan);
    report.answer = planAnswer(plan, report.notes);
    if (plan.count > kMaxIndexTable) {
        report.footer.push_back(formatted("The division table is printed for counts up to %lld.",
                                          static_cast<long long>(kMaxIndexTable)));
        return report;
    }
    for (std::string& note : columnNotes(plan, tableCircle(plan))) {
        report.notes.push_back(std::move(note));
    }
    report.columns = divisionColumns(plan);
    report.columnUnits = divisionUnits(plan);
    report.rows.reserve(static_cast<std::size_t>(plan.count));
    for (std::int64_t division = 1; division <= plan.count; ++division) {
        report.rows.push_back(divisionRow(plan, division));
    }
    if (plan.method == IndexMethod::None) {
        report.footer.push_back(
            "Largest error: " +
            errorSeconds(plan.nearest->largestTimes,
                         static_cast<I128>(plan.count) * plan.nearest->circle * plan.head.ratio) +
            formatted(" (division %lld)", static_cast<long long>(largestErrorDivision(plan))));
    }
    for (std::string& line : closureLines(plan)) {
        report.footer.push_back(std::move(line));
    }
    return report;
}

std::string indexText(const IndexPlan& plan) {
    return reportText(indexReport(plan));
}

std::string indexCsv(const IndexPlan& plan) {
    std::string text = "division,degrees,minutes,seconds,turns,holes,circle";
    if (plan.method == IndexMethod::Compound) {
        text += ",plate_holes,plate_circle";
    } else if (plan.method == IndexMethod::None) {
        text += ",error_seconds";
    }
    text += '\n';
    if (plan.count > kMaxIndexTable) {
        return text;
    }
    const std::int64_t circle = tableCircle(plan);
    for (std::int64_t division = 1; division <= plan.count; ++division) {
        const Dms dms = toDms(divisionAngle(division, plan.count), 1);
        const Position at = positionAfter(plan, division - 1);
        text += formatted("%lld,%lld,%lld,%lld.%lld,%lld,%lld,%lld",
                          static_cast<long long>(division), static_cast<long long>(dms.degrees),
                          static_cast<long long>(dms.minutes), static_cast<long long>(dms.seconds),
                          static_cast<long long>(dms.fraction), static_cast<long long>(at.turns),
                          static_cast<long long>(at.holes), static_cast<long long>(circle));
        if (plan.method == IndexMethod::Compound) {
            text += formatted(
                ",%lld,%lld",
                static_cast<long long>(plan.compound->plateBack ? -at.plateHoles : at.plateHoles),
                static_cast<long long>(plan.compound->plateCircle));
        } else if (plan.method == IndexMethod::None) {
            text += ',';
            text += nearestError(plan, division - 1, 4, false);
        }
        text += '\n';
    }
    return text;
}

}  // namespace morvanta
