// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "engine/GearTrains.h"
#include "engine/Indexing.h"
#include "engine/Integers.h"

// What the index planner's files share: the search of one head (IndexTables.cpp makes its tables,
// IndexSearch.cpp searches them, IndexSurvey.cpp runs it over a range of counts) and the words of
// the index sheet and the survey (IndexNotes.cpp). Not part of the engine's interface.
namespace morvanta::indexing {

inline constexpr std::int64_t kSecondsPerTurn = 1'296'000;

// A change train as the differential plan prints it: 40 x 24 / (56 x 32) as the drivers {40, 24}
// and the driven {56, 32}.
GearTrain gearsOf(const ChangeTrain& train);

struct RationalHash {
    std::size_t operator()(const Rational& key) const noexcept {
        return std::hash<std::int64_t>{}(key.numerator() * 1'000'003 + key.denominator());
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

// The searches of one head, its tables made once so that a survey of 100,000 counts costs a few
// lookups per count. It refers to the head, which must outlive it.
class Planner {
public:
    explicit Planner(const IndexHead& head);

    // The recommended simple move for `count` divisions, if any circle gives it.
    std::optional<HoleMove> simple(std::int64_t count) const;
    // Every simple move, the recommended one first, then the others in the order of the plates.
    std::vector<HoleMove> allSimple(std::int64_t count) const;
    // The preferred compound move, if any pair of circles on one plate gives the count.
    std::optional<CompoundMove> compound(std::int64_t count) const;
    // The differential plans in order of preference, at most `limit`, one per base count.
    std::vector<DifferentialMove> differential(std::int64_t count, std::size_t limit) const;
    // The circle whose nearest-hole plan has the smallest largest error.
    NearestHolePlan nearest(std::int64_t count) const;

private:
    struct Candidate;

    HoleMove moveOn(std::int64_t count, const Circle& circle) const;
    std::vector<Candidate> differentialCandidates(std::int64_t count, std::size_t limit) const;
    void considerPair(std::int64_t count, const CirclePair& pair,
                      std::optional<CompoundMove>& best) const;

    void makeSmallestMultiples();
    void makePairs();
    void makeBases();
    void makeTrains();

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
    // Every count some circle gives simply, ascending.
    std::vector<std::int64_t> bases_;
    // Every ratio the gears make, with its simplest train, and the largest of them.
    std::unordered_map<Rational, ChangeTrain, RationalHash> trains_;
    Rational maxGearing_;
};

// Whether compound move `a` is preferred to `b` for the same turns: fewer holes to count in all,
// then the plate turned forward before back, then smaller circles in all, the smaller crank
// circle, fewer whole turns. 2 holes on 15 and 1 forward on 18 come before 1 hole on 15 and 3 on
// 16 (3 holes against 4); the sheet of a head and of an angle choose alike.
bool preferredCompound(const CompoundMove& a, const CompoundMove& b);

// Whether a differential plan's crank move gives its base count and, with its gearing, the count:
// R / base + gearing / count == R / count, checked again in exact fractions.
bool identityHolds(const IndexHead& head, std::int64_t count, const DifferentialMove& plan);

std::string number(std::int64_t value);
// "1 turn", "2 turns".
std::string counted(std::int64_t value, const char* one, const char* many);
// "-7/3", "40", "6/5".
std::string fractionText(const Rational& f);
// A positive number of turns: "1/3 of a turn", "1 turn", "2 1/3 turns".
std::string turnsText(const Rational& f);
// "with" for a gearing above 0 (the plate turns with the crank), else "against".
std::string directionWord(const Rational& gearing);
// The gears of a train as driver/driven pairs: "56/24", "48/24 40/32".
std::string shortTrainText(const GearTrain& train);
// An error of timesTurn / per turns of the work in seconds of arc, two decimals: "330.58\"".
std::string errorSeconds(detail::I128 timesTurn, detail::I128 per);

// The words of a move, shared with the angle's sheet (AngleIndexReport.cpp).
// " (plate 2)" where the plates are more than one; the sides of the Cincinnati plate are sides.
std::string onPlate(const IndexHead& head, std::size_t plate);
// "15-hole circle".
std::string circleName(std::int64_t holes);
// "6 turns and 10 holes on the 15-hole circle (plate 1)"; whole turns alone as "5 turns".
std::string moveText(const IndexHead& head, const HoleMove& move);
// "Sector arms: 10 spaces apart (11 holes counting the one the pin is in)".
std::string sectorText(std::int64_t holes);
// The method and the two moves of a compound plan, `unit` naming what one pair of moves gives:
// with "division", "Method: compound indexing, two moves for each division on two circles of one
// plate", the crank's move and its sector arms, then the plate's move.
void compoundMoveNotes(const IndexHead& head, const CompoundMove& move, const char* unit,
                       std::vector<std::string>& notes);
// The crank turns a compound move gives: 1 turn, 5 holes on 15 and 2 holes back on 18 give
// 1 + 5/15 - 2/18 = 11/9.
Rational compoundTurns(const CompoundMove& move);
// The same sum as written in a check: "1 + 5/15 - 2/18".
std::string compoundSumText(const CompoundMove& move);
// "56 on the spindle drives 24 on the plate's shaft (one pair)", or the two pairs of a compound
// train.
std::string trainText(const GearTrain& train);
// A list as note lines of at most 96 characters, the first after `line`, the others indented by
// two blanks: "Circles that give it: 5 holes on 15 (plate 1), 6 holes on 18 (plate 1),".
void appendWrapped(std::vector<std::string>& notes, std::string line,
                   const std::vector<std::string>& items);

// The head, its plates and its change gears, one line each.
std::vector<std::string> headNotes(const IndexHead& head);
// The notes of an index sheet before its table: the head, the crank's turns for each division,
// and the method with its move, the circles that give it, its gears and a check of it.
std::vector<std::string> planNotes(const IndexPlan& plan);
// What the columns of the division table mean, the crank on `circle`.
std::vector<std::string> columnNotes(const IndexPlan& plan, std::int64_t circle);

}  // namespace morvanta::indexing
