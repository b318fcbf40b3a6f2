// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Indexing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <numeric>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "engine/Angle.h"
#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::decimalText;
using detail::formatted;
using detail::I128;
using detail::magnitude;
using detail::parseWhole;

constexpr std::int64_t kSecondsPerTurn = 1'296'000;
// Notes that list circles are wrapped at this width, so that a printed sheet keeps its margins.
constexpr std::size_t kNoteWidth = 96;

// Appends item to a list, after the separator unless the list is still empty.
void append(std::string& list, std::string_view separator, const std::string& item) {
    if (!list.empty()) {
        list += separator;
    }
    list += item;
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

std::string counted(std::int64_t value, const char* one, const char* many) {
    return number(value) + " " + (value == 1 ? one : many);
}

// "-7/3", "40", "6/5".
std::string fractionText(const Rational& f) {
    if (f.denominator() == 1) {
        return number(f.numerator());
    }
    return number(f.numerator()) + "/" + number(f.denominator());
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

// A positive number of turns: "1/3 of a turn", "1 turn", "2 1/3 turns".
std::string turnsText(const Rational& f) {
    if (f.numerator() < f.denominator()) {
        return fractionText(f) + " of a turn";
    }
    return mixedText(f) + (f == Rational::whole(1) ? " turn" : " turns");
}

std::optional<std::int64_t> parseBounded(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
    const std::optional<std::int64_t> value = parseWhole(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

bool onlyDigitsAnd(std::string_view text, std::string_view separators) {
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return (c >= '0' && c <= '9') || separators.find(c) != std::string_view::npos;
    });
}

Result<IndexHead> refuseHead(std::string_view message, std::string_view about) {
    return Result<IndexHead>::failure(message, about);
}

// The plates' texts: a failure message, or none and the plates filled in.
std::optional<std::string_view> readPlates(std::string_view text, IndexHead& head) {
    std::string_view circles = text;
    if (text == "bs") {
        head.platesName = "Brown & Sharpe";
        circles = kBrownSharpePlates;
    } else if (text == "cincinnati") {
        head.platesName = "Cincinnati";
        circles = kCincinnatiPlates;
    } else if (text.empty() || !onlyDigitsAnd(text, ",/")) {
        return kIndexPlatesMessage;
    }
    std::size_t total = 0;
    for (const std::string_view plateText : split(circles, '/')) {
        std::vector<std::int64_t> plate;
        for (const std::string_view circleText : split(plateText, ',')) {
            const std::optional<std::int64_t> holes = parseWhole(circleText);
            if (!holes) {
                return kIndexPlatesMessage;
            }
            if (*holes < kMinCircleHoles || *holes > kMaxCircleHoles) {
                return kIndexCircleMessage;
            }
            if (std::find(plate.begin(), plate.end(), *holes) != plate.end()) {
                return kIndexCircleTwiceMessage;
            }
            if (++total > kMaxCircles) {
                return kIndexTooManyCirclesMessage;
            }
            plate.push_back(*holes);
        }
        head.plates.push_back(std::move(plate));
    }
    return std::nullopt;
}

std::optional<std::string_view> readGears(std::string_view text, IndexHead& head) {
    if (text.empty() || !onlyDigitsAnd(text, ",")) {
        return kIndexGearsMessage;
    }
    for (const std::string_view gearText : split(text, ',')) {
        const std::optional<std::int64_t> teeth = parseBounded(gearText, 1, kMaxGearTeeth);
        if (!teeth) {
            return kIndexGearsMessage;
        }
        if (head.gears.size() == kMaxGears) {
            return kIndexTooManyGearsMessage;
        }
        head.gears.push_back(*teeth);
    }
    std::sort(head.gears.begin(), head.gears.end());
    return std::nullopt;
}

struct RationalHash {
    std::size_t operator()(const Rational& key) const noexcept {
        return std::hash<std::int64_t>{}(key.numerator() * 1'000'003 + key.denominator());
    }
};

// A train as the search keeps it, without allocating: one pair (d0/n0) or two (d0 d1 / n0 n1).
struct Train {
    std::size_t pairs = 1;
    std::int64_t drivers[2] = {0, 0};
    std::int64_t driven[2] = {0, 0};

    std::int64_t teeth() const { return drivers[0] + drivers[1] + driven[0] + driven[1]; }
    // Fewer pairs first, then fewer teeth in all, then the gears themselves, so that the train
    // chosen for a ratio never depends on the order the gears were given in.
    bool simplerThan(const Train& other) const {
        return std::make_tuple(pairs, teeth(), drivers[0], drivers[1], driven[0], driven[1]) <
               std::make_tuple(other.pairs, other.teeth(), other.drivers[0], other.drivers[1],
                               other.driven[0], other.driven[1]);
    }
    GearTrain gears() const {
        GearTrain train;
        train.drivers.assign(drivers, drivers + pairs);
        train.driven.assign(driven, driven + pairs);
        return train;
    }
};

struct Circle {
    std::int64_t holes;
    std::size_t plate;
};

struct CirclePair {
    std::int64_t crank;
    std::int64_t plateCircle;
    std::size_t plate;
    std::int64_t product;
};

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

// The searches of one head, its tables made once so that a survey of 100,000 counts costs a few
// lookups per count.
class Planner {
public:
    explicit Planner(const IndexHead& head) : head_(head) {
        for (std::size_t p = 0; p < head.plates.size(); ++p) {
            for (const std::int64_t holes : head.plates[p]) {
                circles_.push_back({holes, p});
                largestCircle_ = std::max(largestCircle_, holes);
            }
        }
        makeSmallestMultiples();
        makePairs();
        makeBases();
        makeTrains();
    }

    // The recommended simple move for `count` divisions, if any circle gives it.
    std::optional<HoleMove> simple(std::int64_t count) const {
        const std::int64_t q = count / std::gcd(head_.ratio, count);
        if (q > largestCircle_ || smallestMultiple_[static_cast<std::size_t>(q)] < 0) {
            return std::nullopt;
        }
        return moveOn(
            count,
            circles_[static_cast<std::size_t>(smallestMultiple_[static_cast<std::size_t>(q)])]);
    }

    std::vector<HoleMove> allSimple(std::int64_t count) const {
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

    std::optional<CompoundMove> compound(std::int64_t count) const {
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

    // The differential plans in order of preference, at most `limit`, one per base count.
    std::vector<DifferentialMove> differential(std::int64_t count, std::size_t limit) const {
        struct Candidate {
            std::size_t pairs;
            std::int64_t distance;
            bool below;
            std::int64_t base;
            Rational gearing;
            const Train* train;
        };
        std::vector<Candidate> candidates;
        const auto consider = [&](std::int64_t base, bool below) {
            const Rational gearing =
                Rational::ratio(static_cast<I128>(head_.ratio) * (base - count), base);
            if (maxGearing_ < abs(gearing)) {
                return false;
            }
            const auto found = trains_.find(abs(gearing));
            if (found != trains_.end()) {
                candidates.push_back({found->second.pairs, std::abs(base - count), below, base,
                                      gearing, &found->second});
            }
            return true;
        };
        // Outwards from the count, nearer bases first; the needed gearing grows on both sides, so
        // each side ends at the first base that no train can reach.
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
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) {
                             return std::tie(a.pairs, a.distance, a.below) <
                                    std::tie(b.pairs, b.distance, b.below);
                         });
        std::vector<DifferentialMove> plans;
        for (const Candidate& c : candidates) {
            if (plans.size() == limit) {
                break;
            }
            DifferentialMove plan{c.base, *simple(c.base), c.gearing, c.train->gears()};
            plans.push_back(std::move(plan));
        }
        return plans;
    }

    // The circle whose nearest-hole plan has the smallest largest error. Over all divisions the
    // exact positions, in holes, have the fractional parts (d x R x C mod N) / N for every multiple
    // d of G = gcd(R x C, N) below N; the farthest from a hole is G x floor(N / 2G) / N.
    NearestHolePlan nearest(std::int64_t count) const {
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

private:
    HoleMove moveOn(std::int64_t count, const Circle& circle) const {
        return {head_.ratio / count, head_.ratio % count * circle.holes / count, circle.holes,
                circle.plate};
    }

    void makeSmallestMultiples() {
        smallestMultiple_.assign(static_cast<std::size_t>(largestCircle_) + 1, -1);
        for (std::int64_t q = 1; q <= largestCircle_; ++q) {
            std::int64_t& chosen = smallestMultiple_[static_cast<std::size_t>(q)];
            for (std::size_t i = 0; i < circles_.size(); ++i) {
                if (circles_[i].holes % q == 0 &&
                    (chosen < 0 ||
                     circles_[i].holes < circles_[static_cast<std::size_t>(chosen)].holes)) {
                    chosen = static_cast<std::int64_t>(i);
                }
            }
        }
    }

    // Every ordered pair of circles on one plate, and for each q the pairs whose product q
    // divides, so that a count tries only the pairs that can give it.
    void makePairs() {
        std::int64_t largestProduct = 0;
        for (std::size_t p = 0; p < head_.plates.size(); ++p) {
            for (const std::int64_t crank : head_.plates[p]) {
                for (const std::int64_t plateCircle : head_.plates[p]) {
                    if (crank != plateCircle) {
                        pairs_.push_back({crank, plateCircle, p, crank * plateCircle});
                        largestProduct = std::max(largestProduct, crank * plateCircle);
                    }
                }
            }
        }
        const auto forEachDivisor = [](std::int64_t product, auto&& visit) {
            for (std::int64_t d = 1; d * d <= product; ++d) {
                if (product % d == 0) {
                    visit(static_cast<std::size_t>(d));
                    if (d * d != product) {
                        visit(static_cast<std::size_t>(product / d));
                    }
                }
            }
        };
        pairsFrom_.assign(static_cast<std::size_t>(largestProduct) + 2, 0);
        for (const CirclePair& pair : pairs_) {
            forEachDivisor(pair.product, [&](std::size_t d) { ++pairsFrom_[d + 1]; });
        }
        std::partial_sum(pairsFrom_.begin(), pairsFrom_.end(), pairsFrom_.begin());
        pairsByDivisor_.resize(pairsFrom_.back());
        std::vector<std::size_t> filled(pairsFrom_.begin(), pairsFrom_.end() - 1);
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            forEachDivisor(pairs_[i].product,
                           [&](std::size_t d) { pairsByDivisor_[filled[d]++] = i; });
        }
    }

    // Every count some circle gives simply: the divisors of R x C.
    void makeBases() {
        for (const Circle& circle : circles_) {
            const std::int64_t product = head_.ratio * circle.holes;
            for (std::int64_t d = 1; d * d <= product; ++d) {
                if (product % d == 0) {
                    bases_.push_back(d);
                    bases_.push_back(product / d);
                }
            }
        }
        std::sort(bases_.begin(), bases_.end());
        bases_.erase(std::unique(bases_.begin(), bases_.end()), bases_.end());
    }

    // Every ratio one pair or two pairs of the gears owned make, with its simplest train. Gears
    // are told apart by their place in the list, so a number given twice can be used twice.
    void makeTrains() {
        const std::vector<std::int64_t>& gears = head_.gears;
        const std::size_t n = gears.size();
        const auto offer = [&](const Train& train) {
            const Rational ratio =
                train.pairs == 1
                    ? Rational::ratio(train.drivers[0], train.driven[0])
                    : Rational::ratio(static_cast<I128>(train.drivers[0]) * train.drivers[1],
                                      static_cast<I128>(train.driven[0]) * train.driven[1]);
            if (maxGearing_ < ratio) {
                maxGearing_ = ratio;
            }
            auto [at, added] = trains_.try_emplace(ratio, train);
            if (!added && train.simplerThan(at->second)) {
                at->second = train;
            }
        };
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) {
                if (i != j) {
                    offer({1, {gears[i], 0}, {gears[j], 0}});
                }
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = i + 1; j < n; ++j) {
                for (std::size_t k = 0; k < n; ++k) {
                    for (std::size_t l = k + 1; l < n; ++l) {
                        if (k != i && k != j && l != i && l != j) {
                            offer({2, {gears[i], gears[j]}, {gears[k], gears[l]}});
                        }
                    }
                }
            }
        }
    }

    // Solves R / N = W + a / C1 + s x b / C2 on one pair: in units of 1 / (C1 x C2) turn the move
    // is M = R x C1 x C2 / N, whole when N / gcd(R, N) divides C1 x C2, and a x C2 + s x b x C1 =
    // M - W x C1 x C2 fixes a modulo C1 / gcd(C1, C2).
    void considerPair(std::int64_t count, const CirclePair& pair,
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
                const CompoundMove candidate{w,  a,        c1,        std::abs(rest / c1),
                                             c2, rest < 0, pair.plate};
                if (!best || preferred(candidate, *best)) {
                    best = candidate;
                }
            }
        }
    }

    static bool preferred(const CompoundMove& a, const CompoundMove& b) {
        return std::make_tuple(a.holes + a.plateHoles, a.plateBack, a.circle + a.plateCircle,
                               a.circle, a.turns) <
               std::make_tuple(b.holes + b.plateHoles, b.plateBack, b.circle + b.plateCircle,
                               b.circle, b.turns);
    }

    const IndexHead& head_;
    std::vector<Circle> circles_;
    std::int64_t largestCircle_ = 0;
    // For q up to the largest circle: the index in circles_ of the smallest circle that q
    // divides (the earlier plate on a tie), or -1.
    std::vector<std::int64_t> smallestMultiple_;
    std::vector<CirclePair> pairs_;
    // The pairs whose product q divides are pairs_[pairsByDivisor_[i]] for i from pairsFrom_[q]
    // up to pairsFrom_[q + 1].
    std::vector<std::size_t> pairsFrom_;
    std::vector<std::size_t> pairsByDivisor_;
    std::vector<std::int64_t> bases_;
    std::unordered_map<Rational, Train, RationalHash> trains_;
    Rational maxGearing_;
};

bool identityHolds(const IndexHead& head, std::int64_t count, const DifferentialMove& plan) {
    const Rational crank =
        Rational::whole(plan.move.turns) + Rational::ratio(plan.move.holes, plan.move.circle);
    return crank == Rational::ratio(head.ratio, plan.base) &&
           crank + Rational::ratio(plan.gearing.numerator(),
                                   static_cast<I128>(plan.gearing.denominator()) * count) ==
               divisionTurns(head, count);
}

IndexPlan planWith(const Planner& planner, const IndexHead& head, std::int64_t count) {
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
    std::erase_if(plan.differential,
                  [&](const DifferentialMove& d) { return !identityHolds(head, count, d); });
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

Result<IndexHead> indexHead(std::optional<std::string_view> ratio,
                            std::optional<std::string_view> plates,
                            std::optional<std::string_view> gears) {
    IndexHead head;
    if (ratio) {
        const std::optional<std::int64_t> value = parseBounded(*ratio, 1, kMaxIndexRatio);
        if (!value) {
            return refuseHead(kIndexRatioMessage, "ratio");
        }
        head.ratio = *value;
    }
    if (const auto complaint = readPlates(plates.value_or("bs"), head)) {
        return refuseHead(*complaint, "plates");
    }
    if (const auto complaint = readGears(gears.value_or(kDefaultGears), head)) {
        return refuseHead(*complaint, "gears");
    }
    return Result<IndexHead>::success(std::move(head));
}

IndexPlan indexPlan(const IndexHead& head, std::int64_t count) {
    const Planner planner(head);
    return planWith(planner, head, count);
}

Result<IndexPlan> planIndex(const IndexArguments& arguments) {
    const std::optional<std::int64_t> count = parseBounded(arguments.count, 1, kMaxIndexCount);
    if (!count) {
        return Result<IndexPlan>::failure(kIndexCountMessage, "count");
    }
    if (arguments.csv && *count > kMaxIndexTable) {
        return Result<IndexPlan>::failure(kIndexCsvTooLargeMessage, "count");
    }
    try {
        Result<IndexHead> head = indexHead(arguments.ratio, arguments.plates, arguments.gears);
        if (!head.ok()) {
            return Result<IndexPlan>::failure(head.message(), head.about());
        }
        return Result<IndexPlan>::success(indexPlan(head.value(), *count));
    } catch (const std::bad_alloc&) {
        return Result<IndexPlan>::failure("not enough memory to plan the indexing");
    }
}

Result<SurveyPlan> planSurvey(const SurveyArguments& arguments) {
    const std::optional<std::int64_t> from = parseBounded(arguments.from, 1, kMaxIndexCount);
    if (!from) {
        return Result<SurveyPlan>::failure(kIndexFromMessage, "from");
    }
    const std::optional<std::int64_t> to = parseBounded(arguments.to, 1, kMaxIndexCount);
    if (!to) {
        return Result<SurveyPlan>::failure(kIndexToMessage, "to");
    }
    if (*to < *from) {
        return Result<SurveyPlan>::failure(kIndexRangeMessage, "to");
    }
    if (*to - *from + 1 > kMaxSurveyCounts) {
        return Result<SurveyPlan>::failure(kIndexSurveySizeMessage, "to");
    }
    Result<IndexHead> head = indexHead(arguments.ratio, arguments.plates, arguments.gears);
    if (!head.ok()) {
        return Result<SurveyPlan>::failure(head.message(), head.about());
    }
    return Result<SurveyPlan>::success({std::move(head).value(), *from, *to});
}

std::vector<SurveyEntry> surveyEntries(const SurveyPlan& plan) {
    const Planner planner(plan.head);
    std::vector<SurveyEntry> entries;
    entries.reserve(static_cast<std::size_t>(plan.to - plan.from + 1));
    for (std::int64_t count = plan.from; count <= plan.to; ++count) {
        SurveyEntry entry;
        entry.count = count;
        if (const std::optional<HoleMove> move = planner.simple(count)) {
            entry.method = IndexMethod::Simple;
            entry.move = *move;
        } else if (const std::optional<CompoundMove> compound = planner.compound(count)) {
            entry.method = IndexMethod::Compound;
            entry.move = {compound->turns, compound->holes, compound->circle, compound->plate};
            entry.compound = compound;
        } else if (std::vector<DifferentialMove> plans = planner.differential(count, 1);
                   !plans.empty() && identityHolds(plan.head, count, plans.front())) {
            entry.method = IndexMethod::Differential;
            entry.move = plans.front().move;
            entry.differential = std::move(plans.front());
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

std::string circleList(const std::vector<std::int64_t>& circles) {
    std::string text;
    for (const std::int64_t holes : circles) {
        append(text, " ", number(holes));
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

// " (plate 2)" where the plates are more than one; the sides of the Cincinnati plate are sides.
std::string onPlate(const IndexHead& head, std::size_t plate) {
    if (head.plates.size() < 2) {
        return "";
    }
    return formatted(head.platesName == "Cincinnati" ? " (side %zu)" : " (plate %zu)", plate + 1);
}

std::string circleName(std::int64_t holes) {
    return number(holes) + "-hole circle";
}

// "6 turns and 10 holes on the 15-hole circle (plate 1)"; whole turns alone as "5 turns".
std::string moveText(const IndexHead& head, const HoleMove& move) {
    if (move.holes == 0) {
        return counted(move.turns, "turn", "turns");
    }
    return counted(move.turns, "turn", "turns") + " and " + counted(move.holes, "hole", "holes") +
           " on the " + circleName(move.circle) + onPlate(head, move.plate);
}

// The same for a list: "6 turns and 10 on 15", "5 turns".
std::string shortMove(const HoleMove& move) {
    if (move.holes == 0) {
        return counted(move.turns, "turn", "turns");
    }
    return counted(move.turns, "turn", "turns") + " and " + number(move.holes) + " on " +
           number(move.circle);
}

// A list as note lines of at most kNoteWidth characters, the first after `lead`, the others
// indented by two blanks.
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

std::string trainText(const GearTrain& train) {
    if (train.drivers.size() == 1) {
        return number(train.drivers[0]) + " on the spindle drives " + number(train.driven[0]) +
               " on the plate's shaft (one pair)";
    }
    return number(train.drivers[0]) + " on the spindle drives " + number(train.driven[0]) + "; " +
           number(train.drivers[1]) + ", on the stud of " + number(train.driven[0]) + ", drives " +
           number(train.driven[1]) + " on the plate's shaft (two pairs)";
}

std::string shortTrainText(const GearTrain& train) {
    std::string text;
    for (std::size_t i = 0; i < train.drivers.size(); ++i) {
        append(text, " ", number(train.drivers[i]) + "/" + number(train.driven[i]));
    }
    return text;
}

std::string directionWord(const Rational& gearing) {
    return gearing.numerator() > 0 ? "with" : "against";
}

std::string alternativeText(const IndexHead& head, const DifferentialMove& plan) {
    return formatted("as for %lld: ", static_cast<long long>(plan.base)) + shortMove(plan.move) +
           onPlate(head, plan.move.plate) + ", g = " + fractionText(plan.gearing) + " by " +
           shortTrainText(plan.train) + ", plate " + directionWord(plan.gearing) + " crank";
}

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

// The hole nearest done x R / N turns, halves to the later hole.
Position nearestPosition(const IndexPlan& plan, std::int64_t done) {
    const I128 exact = static_cast<I128>(done) * plan.head.ratio * plan.nearest->circle;
    const auto hole = static_cast<std::int64_t>(detail::nearest(exact, plan.count));
    return {hole / plan.nearest->circle, hole % plan.nearest->circle, 0};
}

// The error of the nearest hole after `done` moves, as (hole x N - done x R x C) over
// N x C x R turns of the work, in seconds of arc.
std::string nearestError(const IndexPlan& plan, std::int64_t done, int decimals, bool plus) {
    const Position at = nearestPosition(plan, done);
    const std::int64_t circle = plan.nearest->circle;
    const I128 offTimes = (static_cast<I128>(at.turns) * circle + at.holes) * plan.count -
                          static_cast<I128>(done) * plan.head.ratio * circle;
    return decimalText(offTimes * kSecondsPerTurn,
                       static_cast<I128>(plan.count) * circle * plan.head.ratio, decimals, plus);
}

Angle divisionAngle(std::int64_t division, std::int64_t count) {
    return Angle::ratio(360 * (division - 1), count);
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
    notes.push_back(
        "Method: compound indexing, two moves for each division on two circles of one "
        "plate" +
        onPlate(head, move.plate));
    notes.push_back("First move, the crank: " + counted(move.turns, "turn", "turns") + " and " +
                    counted(move.holes, "hole", "holes") + " on the " + circleName(move.circle));
    notes.push_back(sectorText(move.holes));
    notes.push_back("Second move, the plate: crank pin left in its hole, stop pin drawn from the " +
                    circleName(move.plateCircle) + ",");
    notes.push_back("turn plate and crank " + counted(move.plateHoles, "hole", "holes") + " " +
                    (move.plateBack ? "back, against the crank" : "forward, with the crank") +
                    ", and put the stop pin in again");
    const Rational plateTurn =
        Rational::ratio(move.plateBack ? -move.plateHoles : move.plateHoles, move.plateCircle);
    const Rational made =
        Rational::whole(move.turns) + Rational::ratio(move.holes, move.circle) + plateTurn;
    notes.push_back(checkLine(made,
                              number(move.turns) + " + " + number(move.holes) + "/" +
                                  number(move.circle) + (move.plateBack ? " - " : " + ") +
                                  number(move.plateHoles) + "/" + number(move.plateCircle),
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

std::string errorSeconds(I128 timesTurn, I128 per) {
    return decimalText(timesTurn * kSecondsPerTurn, per, 2, false) + "\"";
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
    const IndexHead& head = plan.head;
    Report report;
    report.title = "Indexing: " + counted(plan.count, "division", "divisions");
    report.notes = headNotes(head);
    const Rational each = divisionTurns(head, plan.count);
    const std::string asGiven = formatted("%lld/%lld", static_cast<long long>(head.ratio),
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
    report.notes.push_back(per);
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
    if (plan.count > kMaxIndexTable) {
        report.footer.push_back(formatted("The division table is printed for counts up to %lld.",
                                          static_cast<long long>(kMaxIndexTable)));
        return report;
    }
    for (std::string& note : columnNotes(plan, tableCircle(plan))) {
        report.notes.push_back(std::move(note));
    }
    report.columns = divisionColumns(plan);
    report.rows.reserve(static_cast<std::size_t>(plan.count));
    std::int64_t largestDivision = 1;
    for (std::int64_t division = 1; division <= plan.count; ++division) {
        report.rows.push_back(divisionRow(plan, division));
        if (plan.method == IndexMethod::None) {
            const Position at = nearestPosition(plan, division - 1);
            const I128 off = magnitude(
                (static_cast<I128>(at.turns) * plan.nearest->circle + at.holes) * plan.count -
                static_cast<I128>(division - 1) * head.ratio * plan.nearest->circle);
            if (off == plan.nearest->largestTimes && largestDivision == 1) {
                largestDivision = division;
            }
        }
    }
    if (plan.method == IndexMethod::None) {
        report.footer.push_back(
            "Largest error: " +
            errorSeconds(plan.nearest->largestTimes,
                         static_cast<I128>(plan.count) * plan.nearest->circle * head.ratio) +
            formatted(" (division %lld)", static_cast<long long>(largestDivision)));
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
            text += "," + nearestError(plan, division - 1, 4, false);
        }
        text += '\n';
    }
    return text;
}

namespace {

// What a survey row adds to the crank's move: the plate's move, or the base count and gears.
std::string surveyDetail(const SurveyEntry& entry) {
    switch (entry.method) {
        case IndexMethod::Simple:
            break;
        case IndexMethod::Compound:
            return "plate " + number(entry.compound->plateHoles) + " on " +
                   number(entry.compound->plateCircle) +
                   (entry.compound->plateBack ? " back" : " forward");
        case IndexMethod::Differential:
            return "as for " + number(entry.differential->base) + ", gears " +
                   shortTrainText(entry.differential->train) + ", plate " +
                   directionWord(entry.differential->gearing) + " crank";
        case IndexMethod::None:
            return "no exact plan";
    }
    return "";
}

}  // namespace

Report surveyReport(const SurveyPlan& plan) {
    Report report;
    report.title = formatted("Indexing survey: %lld to %lld divisions",
                             static_cast<long long>(plan.from), static_cast<long long>(plan.to));
    report.notes = headNotes(plan.head);
    report.notes.push_back(
        "Method: the first of simple, compound (two circles of one plate) and differential "
        "(gears)");
    report.notes.push_back("that gives the count exactly, or none");
    report.notes.push_back(
        "Turns, Holes, Circle: the crank's move for each division (differential: that of the "
        "base count)");
    report.notes.push_back(
        "Then: compound, the plate's move after the crank's; differential, the base count, the "
        "gears");
    report.notes.push_back(
        "driver/driven from the spindle, and whether the plate turns with or against the "
        "crank");
    report.columns = {"Count", "Method", "Turns", "Holes", "Circle", "Then"};
    std::int64_t tally[4] = {0, 0, 0, 0};
    const std::vector<SurveyEntry> entries = surveyEntries(plan);
    report.rows.reserve(entries.size());
    for (const SurveyEntry& entry : entries) {
        ++tally[static_cast<int>(entry.method)];
        const bool none = entry.method == IndexMethod::None;
        report.rows.push_back({number(entry.count), std::string(methodName(entry.method)),
                               none ? "" : number(entry.move.turns),
                               none ? "" : number(entry.move.holes),
                               none ? "" : number(entry.move.circle), surveyDetail(entry)});
    }
    report.footer.push_back(
        formatted("Simple: %lld, compound: %lld, differential: %lld, none: %lld of %lld counts",
                  static_cast<long long>(tally[0]), static_cast<long long>(tally[1]),
                  static_cast<long long>(tally[2]), static_cast<long long>(tally[3]),
                  static_cast<long long>(entries.size())));
    return report;
}

std::string surveyText(const SurveyPlan& plan) {
    return reportText(surveyReport(plan));
}

std::string surveyCsv(const SurveyPlan& plan) {
    std::string text = "count,method,turns,holes,circle\n";
    for (const SurveyEntry& entry : surveyEntries(plan)) {
        text += number(entry.count) + "," + std::string(methodName(entry.method));
        if (entry.method == IndexMethod::None) {
            text += ",,,\n";
        } else {
            text += formatted(",%lld,%lld,%lld\n", static_cast<long long>(entry.move.turns),
                              static_cast<long long>(entry.move.holes),
                              static_cast<long long>(entry.move.circle));
        }
    }
    return text;
}

}  // namespace morvanta
