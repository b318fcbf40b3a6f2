// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AngleIndexing.h"

#include <algorithm>
#include <new>
#include <tuple>

#include "engine/IndexingDetail.h"
#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::I128;

struct PlateCircle {
    std::int64_t holes;
    std::size_t plate;
};

std::vector<PlateCircle> circlesOf(const IndexHead& head) {
    std::vector<PlateCircle> circles;
    for (std::size_t p = 0; p < head.plates.size(); ++p) {
        for (const std::int64_t holes : head.plates[p]) {
            circles.push_back({holes, p});
        }
    }
    return circles;
}

// W + H / C = t exactly, for a circle C that the denominator of t divides.
HoleMove moveOn(const Rational& t, const PlateCircle& circle) {
    const std::int64_t whole = t.numerator() / t.denominator();
    const std::int64_t holes = t.numerator() % t.denominator() * (circle.holes / t.denominator());
    return {whole, holes, circle.holes, circle.plate};
}

// The circles that give t, the one with the fewest holes first (the earlier plate on a tie), the
// others in the order of the plates.
std::vector<HoleMove> simpleMoves(const std::vector<PlateCircle>& circles, const Rational& t) {
    std::vector<HoleMove> moves;
    for (const PlateCircle& circle : circles) {
        if (circle.holes % t.denominator() == 0) {
            moves.push_back(moveOn(t, circle));
        }
    }
    const auto fewest =
        std::min_element(moves.begin(), moves.end(),
                         [](const HoleMove& a, const HoleMove& b) { return a.circle < b.circle; });
    if (fewest != moves.end()) {
        std::rotate(moves.begin(), fewest, fewest + 1);
    }
    return moves;
}

// t = w + a / c1 + s x b / c2 on one pair: in units of 1 / (c1 c2) turn the move is
// M = t x c1 x c2, whole when the denominator of t divides c1 c2, and a c2 + s b c1 = M - w c1 c2.
void considerPair(const Rational& t, std::int64_t c1, std::int64_t c2, std::size_t plate,
                  std::optional<CompoundMove>& best) {
    const I128 product = static_cast<I128>(c1) * c2;
    if (product % t.denominator() != 0) {
        return;
    }
    const I128 move = t.numerator() * (product / t.denominator());
    const I128 wholeTurns = move / product;
    for (I128 w = std::max<I128>(0, wholeTurns - 1); w <= wholeTurns + 1; ++w) {
        for (std::int64_t a = 1; a < c1; ++a) {
            const I128 rest = move - w * product - static_cast<I128>(a) * c2;
            if (rest == 0 || rest % c1 != 0 || detail::magnitude(rest / c1) >= c2) {
                continue;
            }
            const CompoundMove candidate{static_cast<std::int64_t>(w),
                                         a,
                                         c1,
                                         static_cast<std::int64_t>(detail::magnitude(rest / c1)),
                                         c2,
                                         rest < 0,
                                         plate};
            if (!best || indexing::preferredCompound(candidate, *best)) {
                best = candidate;
            }
        }
    }
}

std::optional<CompoundMove> compoundMove(const IndexHead& head, const Rational& t) {
    std::optional<CompoundMove> best;
    for (std::size_t p = 0; p < head.plates.size(); ++p) {
        for (const std::int64_t c1 : head.plates[p]) {
            for (const std::int64_t c2 : head.plates[p]) {
                if (c1 != c2) {
                    considerPair(t, c1, c2, p, best);
                }
            }
        }
    }
    return best;
}

// The crank's move t' = t - g x A / 360 that a circle gives, for every ratio g the gears make,
// either way: one pair before two, then the smallest g, then the plate with the crank.
std::optional<AngleDifferential> differentialMove(const IndexHead& head,
                                                  const std::vector<PlateCircle>& circles,
                                                  const Rational& t, const Rational& workTurns) {
    std::optional<AngleDifferential> best;
    std::tuple<std::size_t, Rational, bool> bestKey;
    for (const auto& [ratio, train] : changeTrains(head.gears)) {
        for (const bool against : {false, true}) {
            const Rational gearing = against ? -ratio : ratio;
            const Rational crank =
                t -
                Rational::ratio(static_cast<I128>(gearing.numerator()) * workTurns.numerator(),
                                static_cast<I128>(gearing.denominator()) * workTurns.denominator());
            const auto key = std::make_tuple(train.pairs, ratio, against);
            if (crank.numerator() <= 0 || (best && !(key < bestKey))) {
                continue;
            }
            const std::vector<HoleMove> moves = simpleMoves(circles, crank);
            if (!moves.empty()) {
                best = AngleDifferential{moves.front(), gearing, train};
                bestKey = key;
            }
        }
    }
    return best;
}

// The hole nearest the exact place after `done` steps, counted from the start on `circle`:
// done x t x circle holes, halves to the later hole.
I128 nearestHole(const Rational& t, std::int64_t circle, std::int64_t done) {
    return detail::nearest(static_cast<I128>(done) * t.numerator() * circle, t.denominator());
}

// The circle whose largest error over the steps is the smallest, the fewest holes on a tie. An
// error is |hole x den - done x num x C| / (C x den) crank turns, so two circles compare by
// largest1 x C2 against largest2 x C1.
AngleNearest nearestCircle(const std::vector<PlateCircle>& circles, const Rational& t,
                           std::int64_t steps) {
    AngleNearest best;
    I128 bestLargest = 0;
    for (const PlateCircle& circle : circles) {
        I128 largest = 0;
        for (std::int64_t done = 0; done <= std::max<std::int64_t>(steps, 1); ++done) {
            const I128 off = nearestHole(t, circle.holes, done) * t.denominator() -
                             static_cast<I128>(done) * t.numerator() * circle.holes;
            largest = std::max(largest, detail::magnitude(off));
        }
        const I128 mine = largest * best.circle;
        const I128 theirs = bestLargest * circle.holes;
        if (best.circle == 0 || mine < theirs || (mine == theirs && circle.holes < best.circle)) {
            best = {circle.holes, circle.plate, {}};
            bestLargest = largest;
        }
    }
    best.largest = Rational::ratio(bestLargest, static_cast<I128>(best.circle) * t.denominator());
    return best;
}

}  // namespace

AngleIndexPlan angleIndexPlan(const IndexHead& head, const Angle& angle, std::int64_t steps) {
    AngleIndexPlan plan;
    plan.head = head;
    plan.angle = angle;
    plan.steps = steps;
    plan.turns = Rational::ratio(static_cast<I128>(angle.numerator()) * head.ratio,
                                 static_cast<I128>(angle.denominator()) * 360);
    const std::vector<PlateCircle> circles = circlesOf(head);
    plan.simple = simpleMoves(circles, plan.turns);
    if (!plan.simple.empty()) {
        plan.method = IndexMethod::Simple;
        return plan;
    }
    if ((plan.compound = compoundMove(head, plan.turns))) {
        plan.method = IndexMethod::Compound;
        return plan;
    }
    const Rational workTurns =
        Rational::ratio(angle.numerator(), static_cast<I128>(angle.denominator()) * 360);
    if ((plan.differential = differentialMove(head, circles, plan.turns, workTurns))) {
        plan.method = IndexMethod::Differential;
        return plan;
    }
    plan.nearest = nearestCircle(circles, plan.turns, steps);
    return plan;
}

Result<AngleIndexPlan> planAngleIndex(const Values& values) {
    // The command line gives the angle to choose this calculation; a window may leave it empty.
    if (!values.given("angle")) {
        const Input& angle = kAngleIndexCalculation.inputs.front();
        return Result<AngleIndexPlan>::failure(
            Refusal{"angle", named("angle") + " must be " + limitsText(angle)});
    }
    try {
        Result<IndexHead> head = indexHead(values);
        if (!head.ok()) {
            return Result<AngleIndexPlan>::failure(head.refusal());
        }
        const std::int64_t steps = values.given("repeat") ? *values.whole("repeat") : 0;
        return Result<AngleIndexPlan>::success(
            angleIndexPlan(head.value(), *values.angle("angle"), steps));
    } catch (const std::bad_alloc&) {
        return Result<AngleIndexPlan>::failure("not enough memory to plan the indexing");
    }
}

AnglePlace anglePlace(const AngleIndexPlan& plan, std::int64_t done) {
    const auto along = [done](std::int64_t turns, std::int64_t holes, std::int64_t circle) {
        const std::int64_t all = done * (turns * circle + holes);
        return AnglePlace{all / circle, all % circle, 0};
    };
    switch (plan.method) {
        case IndexMethod::Simple:
            return along(plan.simple.front().turns, plan.simple.front().holes,
                         plan.simple.front().circle);
        case IndexMethod::Compound: {
            const CompoundMove& move = *plan.compound;
            AnglePlace place = along(move.turns, move.holes, move.circle);
            place.plateHoles = done * move.plateHoles % move.plateCircle;
            return place;
        }
        case IndexMethod::Differential: {
            const HoleMove& move = plan.differential->move;
            return along(move.turns, move.holes, move.circle);
        }
        case IndexMethod::None:
            break;
    }
    const std::int64_t circle = plan.nearest->circle;
    const auto hole = static_cast<std::int64_t>(nearestHole(plan.turns, circle, done));
    return {hole / circle, hole % circle, 0};
}

Rational angleError(const AngleIndexPlan& plan, std::int64_t done) {
    if (plan.method != IndexMethod::None) {
        return {};
    }
    const std::int64_t circle = plan.nearest->circle;
    const Rational& t = plan.turns;
    return Rational::ratio(nearestHole(t, circle, done) * t.denominator() -
                               static_cast<I128>(done) * t.numerator() * circle,
                           static_cast<I128>(circle) * t.denominator());
}

}  // namespace morvanta
