// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DividingWork.h"

#include <new>

#include "engine/Integers.h"

namespace morvanta {

Ratio ratioOf(WideInt numerator, WideInt denominator) {
    detail::reduce(numerator, denominator);
    return {numerator, denominator};
}

Ratio ratioOf(const Rational& value) {
    return {value.numerator(), value.denominator()};
}

Ratio operator*(const Ratio& a, const Ratio& b) {
    return ratioOf(a.numerator * b.numerator, a.denominator * b.denominator);
}

Ratio operator/(const Ratio& a, const Ratio& b) {
    return ratioOf(a.numerator * b.denominator, a.denominator * b.numerator);
}

Ratio operator+(const Ratio& a, const Ratio& b) {
    return ratioOf(a.numerator * b.denominator + b.numerator * a.denominator,
                   a.denominator * b.denominator);
}

Ratio operator-(const Ratio& a, const Ratio& b) {
    return ratioOf(a.numerator * b.denominator - b.numerator * a.denominator,
                   a.denominator * b.denominator);
}

std::string ratioText(const Ratio& ratio) {
    const auto whole = [](WideInt value) { return std::to_string(static_cast<long long>(value)); };
    if (ratio.denominator == 1) {
        return whole(ratio.numerator);
    }
    return whole(ratio.numerator) + "/" + whole(ratio.denominator);
}

std::int64_t roundedRatio(WideInt numerator, WideInt denominator, int decimals) {
    return static_cast<std::int64_t>(detail::nearest(
        numerator * detail::kPow10[static_cast<std::size_t>(decimals)], denominator));
}

std::string roundedText(WideInt numerator, WideInt denominator, int decimals, bool plus) {
    const std::int64_t units = roundedRatio(numerator, denominator, decimals);
    return plus ? signedUnitsText(units, decimals) : unitsText(units, decimals);
}

std::string signedUnitsText(std::int64_t units, int decimals) {
    return (units > 0 ? "+" : "") + unitsText(units, decimals);
}

WideInt unitsOf(const ExactDecimal& number, int scale) {
    return static_cast<WideInt>(number.units) *
           detail::kPow10[static_cast<std::size_t>(scale - number.scale)];
}

double approximately(const ExactDecimal& number) {
    return static_cast<double>(number.units) /
           static_cast<double>(detail::kPow10[static_cast<std::size_t>(number.scale)]);
}

long double approximately(const Ratio& ratio) {
    return static_cast<long double>(ratio.numerator) / static_cast<long double>(ratio.denominator);
}

Result<IndexPlan> planDivisions(const Values& values, std::int64_t count) {
    try {
        Result<IndexHead> head = indexHead(values);
        if (!head.ok()) {
            return Result<IndexPlan>::failure(head.refusal());
        }
        return Result<IndexPlan>::success(indexPlan(head.value(), count));
    } catch (const std::bad_alloc&) {
        return Result<IndexPlan>::failure("not enough memory to plan the indexing");
    }
}

Report withIndexing(Report work, const IndexPlan& plan) {
    Report indexing = indexReport(plan);
    work.notes.push_back(std::move(indexing.title));
    for (std::string& note : indexing.notes) {
        work.notes.push_back(std::move(note));
    }
    // The work's own answer first, then how to index it.
    work.answer.insert(work.answer.end(), indexing.answer.begin(), indexing.answer.end());
    work.columns = std::move(indexing.columns);
    work.columnUnits = std::move(indexing.columnUnits);
    work.rows = std::move(indexing.rows);
    // The crank's move from one division to the next, which the machine mode shows.
    work.moves = std::move(indexing.moves);
    work.footer = std::move(indexing.footer);
    return work;
}

}  // namespace morvanta
