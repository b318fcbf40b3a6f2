// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <map>
#include <numeric>

#include "engine/IndexingDetail.h"

namespace morvanta::indexing {

Planner::Planner(const IndexHead& head) : head_(head) {
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

void Planner::makeSmallestMultiples() {
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

// Every ordered pair of circles on one plate, and for each q the pairs whose product q divides,
// so that a count tries only the pairs that can give it.
void Planner::makePairs() {
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
        forEachDivisor(pairs_[i].product, [&](std::size_t d) { pairsByDivisor_[filled[d]++] = i; });
    }
}

// Every count some circle gives simply: the divisors of R x C.
void Planner::makeBases() {
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

// Every ratio the gears make with its simplest train, copied into a hash map so that a survey's
// lookups per count stay cheap; no gearing above the largest ratio is worth looking up.
void Planner::makeTrains() {
    const std::map<Rational, ChangeTrain> trains = changeTrains(head_.gears);
    trains_.insert(trains.begin(), trains.end());
    if (!trains.empty()) {
        maxGearing_ = trains.rbegin()->first;
    }
}

}  // namespace morvanta::indexing
