// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/GridPattern.h"

#include <new>
#include <tuple>

#include "engine/BoltCircle.h"
#include "engine/BoltCircleMath.h"
#include "engine/Integers.h"
#include "engine/Wording.h"

namespace morvanta {

namespace {

using GridResult = Result<GridPlan>;

ExactDecimal times(const ExactDecimal& d, std::int64_t factor) {
    return {d.units * factor, d.scale};
}

bool tooLong(const ExactDecimal& pitch, std::int64_t steps) {
    const detail::I128 whole = static_cast<detail::I128>(1'000'000'000) *
                               detail::kPow10[static_cast<std::size_t>(pitch.scale)];
    return static_cast<detail::I128>(pitch.units) * steps >= whole;
}

GridResult workedOut(GridPlan plan) {
    TurnedRounding turned(plan.angle);
    const auto count = static_cast<std::size_t>(plan.rows * plan.columns);
    plan.holes.reserve(count);
    plan.row.reserve(count);
    plan.column.reserve(count);
    for (std::int64_t i = 1; i <= plan.rows; ++i) {
        for (std::int64_t step = 1; step <= plan.columns; ++step) {
            // Back and forth: odd rows from column 1, even rows from the last.
            const std::int64_t j = i % 2 == 1 ? step : plan.columns + 1 - step;
            const ExactDecimal along = times(plan.pitchX, j - 1);
            const ExactDecimal across = times(plan.pitchY, i - 1);
            const auto x = turned.rounded(plan.cornerX, along, times(across, -1), plan.decimals);
            const auto y = turned.rounded(plan.cornerY, across, along, plan.decimals);
            if (!x || !y) {
                return GridResult::failure(std::string(kBoltUndecidedMessage));
            }
            plan.holes.push_back({static_cast<std::int64_t>(plan.holes.size()) + 1, *x, *y});
            plan.row.push_back(i);
            plan.column.push_back(j);
        }
    }
    return GridResult::success(std::move(plan));
}

std::string decimalsWord(int decimals) {
    return std::to_string(decimals) + (decimals == 1 ? " decimal" : " decimals");
}

}  // namespace

Result<GridPlan> planGrid(const Values& values) {
    if (!values.point("pitch")) {
        return GridResult::failure(
            Refusal{"pitch", "give the spacing along a row and from row to row with {pitch}"});
    }
    try {
        GridPlan plan;
        plan.rows = *values.whole("rows");
        plan.columns = *values.whole("columns");
        std::tie(plan.cornerX, plan.cornerY) = *values.point("corner");
        std::tie(plan.pitchX, plan.pitchY) = *values.point("pitch");
        plan.angle = *values.angle("angle");
        plan.decimals = static_cast<int>(*values.whole("decimals"));
        if (plan.rows * plan.columns > kMaxPatternHoles) {
            return GridResult::failure(Refusal{"columns", std::string(kGridTooManyMessage),
                                               std::to_string(kMaxPatternHoles),
                                               std::to_string(plan.rows * plan.columns)});
        }
        if (tooLong(plan.pitchX, plan.columns - 1) || tooLong(plan.pitchY, plan.rows - 1)) {
            return GridResult::failure(Refusal{"pitch", std::string(kGridTooLongMessage)});
        }
        Result<HoleChoice> choice = HoleChoice::read(values, plan.rows * plan.columns);
        if (!choice.ok()) {
            return GridResult::failure(choice.refusal());
        }
        plan.choice = std::move(choice).value();
        return workedOut(std::move(plan));
    } catch (const std::bad_alloc&) {
        return GridResult::failure("not enough memory for the grid of holes");
    }
}

Report gridReport(const GridPlan& plan) {
    Report report;
    const std::string angle = exactDegreesText(plan.angle);
    report.title = "Grid: " + std::to_string(plan.rows) + " x " + std::to_string(plan.columns) +
                   " holes (rows x columns) from the corner X " + exactDecimalText(plan.cornerX) +
                   " Y " + exactDecimalText(plan.cornerY);
    report.notes.push_back("Pitch: " + exactDecimalText(plan.pitchX) + " along a row, " +
                           exactDecimalText(plan.pitchY) + " from row to row, turned by " + angle +
                           " about the corner");
    report.notes.push_back("Order: row by row, row 1 from column 1, the next back, and so on");
    report.notes.push_back(
        "X, Y: corner + along x (cos, sin) + across x (-sin, cos) of the angle, "
        "correctly rounded to " +
        decimalsWord(plan.decimals) + " (halves away from 0)");
    report.notes.push_back("Along: (column - 1) x pitch X; across: (row - 1) x pitch Y");
    if (!plan.choice.all()) {
        report.notes.push_back("Drilled: " + plan.choice.text());
    }
    report.notes.push_back(std::string(kMovesNote));
    report.columns = {"Hole", "Row", "Column", "X", "Y", "dX", "dY"};
    // X and Y are in whatever unit the user gave the pitch in.
    report.columnUnits = {"", "", "", "", "", "", ""};
    report.answer = answerLines(report.notes, {"Pitch:", "Order:", "Drilled:"});
    addPatternRows(report, plan.holes, plan.choice, plan.decimals, [&](std::size_t i) {
        return std::vector<std::string>{std::to_string(plan.holes[i].number),
                                        std::to_string(plan.row[i]),
                                        std::to_string(plan.column[i])};
    });
    return report;
}

std::string gridText(const GridPlan& plan) {
    return reportText(gridReport(plan));
}

std::string gridCsv(const GridPlan& plan) {
    return patternCsv("hole,row,column,x,y,dx,dy", plan.holes, plan.choice, plan.decimals,
                      [&](std::size_t i) {
                          return std::vector<std::string>{std::to_string(plan.holes[i].number),
                                                          std::to_string(plan.row[i]),
                                                          std::to_string(plan.column[i])};
                      });
}

std::vector<std::string> gridAbout(const GridPlan& plan) {
    return {"Grid: " + std::to_string(plan.rows) + " rows x " + std::to_string(plan.columns) +
                " columns from the corner X" + exactDecimalText(plan.cornerX) + " Y" +
                exactDecimalText(plan.cornerY),
            "Pitch X" + exactDecimalText(plan.pitchX) + " Y" + exactDecimalText(plan.pitchY) +
                ", turned by " + exactDegreesText(plan.angle, true) +
                ", drilled row by row back and forth"};
}

}  // namespace morvanta
