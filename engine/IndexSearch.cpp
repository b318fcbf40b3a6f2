// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <numeric>
#include <tuple>
#include <utility>

#include "engine/IndexingDetail.h"

namespace morvanta {

namespace indexing {

namespace {

using detail::I128;

// The inverse of a modulo m (gcd(a, m) == 1, m >= 1), from 0 to m - 1.
std::int64_t inverseModulo(std::int64_t a, std::int64_t m) {
    std::int64_t oldR = a % m, r = m, oldS = 1, s = 0;
    while (r != 0) {
        const std::int64_t q = oldR / r;
        std::tie(oldR, r) = std::make_pair(r, oldR - q * r);
        std::tie(oldS, s) = std::make_pair(s, oldS - q * s);
    }
    const std::int64_t inverse = oldS % m;
    return inverse < 0 ? inverse + m : inverse;
}

}  // namespace

struct Planner::Candidate {
    std::size_t pairs;
    std::int64_t distance;
    bool below;
    std::int64_t base;
    Rational gearing;
    const ChangeTrain* train;
};

std::optional<HoleMove> Planner::simple(std::int64_t count) const {
    const std::int64_t q = count / std::gcd(head_.ratio, count);
    if (q > largestCircle_ || smallestMultiple_[static_cast<std::size_t>(q)] < 0) {
        return std::nullopt;
    }
    return moveOn(
        count, circles_[static_cast<std::size_t>(smallestMultiple_[static_cast<std::size_t>(q)])]);
}

std::vector<HoleMove> Planner::allSimple(std::int64_t count) const {
    std::vector<HoleMove> moves;
    const std::optional<HoleMove> recommended = simple(count);
    if (!recommended) {
        return moves;
    }
    moves.push_back(*recommended);
    const std::int64_t q = count / std::gcd(head_.ratio, count);
    for (const Circle& circle : circles_) {
        if (circle.holes % q == 0 &&
            (circle.holes != recommended->circle || circle.plate != recommended->plate)) {
            moves.push_back(moveOn(count, circle));
        }
    }
    return moves;
}

std::optional<CompoundMove> Planner::compound(std::int64_t count) const {
    const std::int64_t q = count / std::gcd(head_.ratio, count);
    std::optional<CompoundMove> best;
    if (q + 1 >= static_cast<std::int64_t>(pairsFrom_.size())) {
        return best;
    }
    const auto at = static_cast<std::size_t>(q);
    for (std::size_t i = pairsFrom_[at]; i < pairsFrom_[at + 1]; ++i) {
        considerPair(count, pairs_[pairsByDivisor_[i]], best);
    }
    return best;
}

// Every base count a train can reach, outwards from the count, nearer bases first; the needed
// gearing grows on both sides, so each side ends at the first base that no train can reach.
std::vector<Planner::Candidate> Planner::differentialCandidates(std::int64_t count,
                                                                std::size_t limit) const {
    std::vector<Candidate> candidates;
    const auto consider = [&](std::int64_t base, bool below) {
        const Rational gearing =
            Rational::ratio(static_cast<I128>(head_.ratio) * (base - count), base);
        if (maxGearing_ < abs(gearing)) {
            return false;
        }
        const auto found = trains_.find(abs(gearing));
        if (found != trains_.end()) {
            candidates.push_back({found->second.pairs, std::abs(base - count), below, base, gearing,
                                  &found->second});
        }
        return true;
    };
    auto up = std::upper_bound(bases_.begin(), bases_.end(), count);
    auto down = std::lower_bound(bases_.begin(), bases_.end(), count);
    bool upOpen = up != bases_.end();
    bool downOpen = down != bases_.begin();
    while (upOpen || downOpen) {
        const bool takeUp = upOpen && (!downOpen || *up - count <= count - *std::prev(down));
        if (takeUp) {
            upOpen = consider(*up, false) && ++up != bases_.end();
        } else {
            --down;
            downOpen = consider(*down, true) && down != bases_.begin();
        }
        // Nothing can be preferred to the nearest base that one pair reaches.
        if (limit == 1 && !candidates.empty() && candidates.back().pairs == 1) {
            break;
        }
    }
    return candidates;
}

std::vector<DifferentialMove> Planner::differential(std::int64_t count, std::size_t limit) const {
    std::vector<Candidate> candidates = differentialCandidates(count, limit);
    std::stable_sort(
        candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
            return std::tie(a.pairs, a.distance, a.below) < std::tie(b.pairs, b.distance, b.below);
        });
    std::vector<DifferentialMove> plans;
    for (const Candidate& c : candidates) {
        if (plans.size() == limit) {
            break;
        }
        DifferentialMove plan{c.base, *simple(c.base), c.gearing, gearsOf(*c.train)};
        plans.push_back(std::move(plan));
    }
    return plans;
}

// Over all divisions the exact positions, in holes, have the fractional parts (d x R x C mod N) / N
// for every multiple d of G = gcd(R x C, N) below N; the farthest from a hole is
// G x floor(N / 2G) / N.
NearestHolePlan Planner::nearest(std::int64_t count) const {
    NearestHolePlan best;
    for (const Circle& circle : circles_) {
        const std::int64_t g = std::gcd(head_.ratio * circle.holes, count);
        const std::int64_t largest = g * (count / (2 * g));
        const bool better = best.circle == 0 ||
                            static_cast<I128>(largest) * best.circle <
                                static_cast<I128>(best.largestTimes) * circle.holes ||
                            (static_cast<I128>(largest) * best.circle ==
                                 static_cast<I128>(best.largestTimes) * circle.holes &&
                             circle.holes < best.circle);
        if (better) {
            best = {circle.holes, circle.plate, largest};
        }
    }
    return best;
}

HoleMove Planner::moveOn(std::int64_t count, const Circle& circle) const {
    return {head_.ratio / count, head_.ratio % count * circle.holes / count, circle.holes,
            circle.plate};
}

// Solves R / N = W + a / C1 + s x b / C2 on one pair: in units of 1 / (C1 x C2) turn the move is
// M = R x C1 x C2 / N, whole when N / gcd(R, N) divides C1 x C2, and a x C2 + s x b x C1 =
// M - W x C1 x C2 fixes a modulo C1 / gcd(C1, C2).
void Planner::considerPair(std::int64_t count, const CirclePair& pair,
                           std::optional<CompoundMove>& best) const {
    const std::int64_t c1 = pair.crank;
    const std::int64_t c2 = pair.plateCircle;
    const std::int64_t product = pair.product;
    const std::int64_t move = head_.ratio * product / count;
    const std::int64_t g = std::gcd(c1, c2);
    const std::int64_t m = c1 / g;
    const std::int64_t inverse = m == 1 ? 0 : inverseModulo((c2 / g) % m, m);
    const std::int64_t wholeTurns = move / product;
    for (std::int64_t w = std::max<std::int64_t>(0, wholeTurns - 1); w <= wholeTurns + 1; ++w) {
        const std::int64_t t = move - w * product;
        if (t % g != 0) {
            continue;
        }
        std::int64_t first = (t / g) % m * inverse % m;
        if (first < 0) {
            first += m;
        }
        for (std::int64_t a = first; a < c1; a += m) {
            const std::int64_t rest = t - a * c2;
            if (a == 0 || rest == 0 || rest % c1 != 0 || std::abs(rest / c1) >= c2) {
                continue;
            }
            const CompoundMove candidate{w, a, c1, std::abs(rest / c1), c2, rest < 0, pair.plate};
            if (!best || preferredCompound(candidate, *best)) {
                best = candidate;
            }
        }
    }
}

bool preferredCompound(const CompoundMove& a, const CompoundMove& b) {
    return std::make_tuple(a.holes + a.plateHoles, a.plateBack, a.circle + a.plateCircle, a.circle,
                           a.turns) < std::make_tuple(b.holes + b.plateHoles, b.plateBack,
                                                      b.circle + b.plateCircle, b.circle, b.turns);
}

bool identityHolds(const IndexHead& head, std::int64_t count, const DifferentialMove& plan) {
    const Rational crank =
        Rational::whole(plan.move.turns) + Rational::ratio(plan.move.holes, plan.move.circle);
    return crank == Rational::ratio(head.ratio, plan.base) &&
           crank + Rational::ratio(plan.gearing.numerator(),
                                   static_cast<I128>(plan.gearing.denominator()) * count) ==
               divisionTurns(head, count);
}

}  // namespace indexing

namespace {

IndexPlan planWith(const indexing::Planner& planner, const IndexHead& head, std::int64_t count) {
    IndexPlan plan;
    plan.head = head;
    plan.count = count;
    plan.simple = planner.allSimple(count);
    if (!plan.simple.empty()) {
        plan.method = IndexMethod::Simple;
        return plan;
    }
    plan.compound = planner.compound(count);
    plan.differential = planner.differential(count, kMaxDifferentialAlternatives + 1);
    std::erase_if(plan.differential, [&](const DifferentialMove& d) {
        return !indexing::identityHolds(head, count, d);
    });
    if (plan.compound) {
        plan.method = IndexMethod::Compound;
    } else if (!plan.differential.empty()) {
        plan.method = IndexMethod::Differential;
    } else {
        plan.method = IndexMethod::None;
        plan.nearest = planner.nearest(count);
    }
    return plan;
}

}  // namespace

std::string_view methodName(IndexMethod method) {
    switch (method) {
        case IndexMethod::Simple:
            return "simple";
        case IndexMethod::Compound:
            return "compound";
        case IndexMethod::Differential:
            return "differential";
        case IndexMethod::None:
            break;
    }
    return "none";
}

Rational divisionTurns(const IndexHead& head, std::int64_t count) {
    return Rational::ratio(head.ratio, count);
}

IndexPlan indexPlan(const IndexHead& head, std::int64_t count) {
    const indexing::Planner planner(head);
    return planWith(planner, head, count);
}

}  // namespace morvanta
