// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/GearTrains.h"

#include <tuple>

namespace morvanta {

Rational ChangeTrain::ratio() const {
    if (pairs == 1) {
        return Rational::ratio(drivers[0], driven[0]);
    }
    return Rational::ratio(static_cast<Rational::Wide>(drivers[0]) * drivers[1],
                           static_cast<Rational::Wide>(driven[0]) * driven[1]);
}

bool ChangeTrain::simplerThan(const ChangeTrain& other) const {
    return std::make_tuple(pairs, teeth(), drivers[0], drivers[1], driven[0], driven[1]) <
           std::make_tuple(other.pairs, other.teeth(), other.drivers[0], other.drivers[1],
                           other.driven[0], other.driven[1]);
}

// Gears are told apart by their place in the list, so that a number listed twice can be used
// twice; each pair of drivers and of driven is taken smaller first.
std::map<Rational, ChangeTrain> changeTrains(std::span<const std::int64_t> gears) {
    std::map<Rational, ChangeTrain> trains;
    const auto offer = [&](const ChangeTrain& train) {
        auto [at, added] = trains.try_emplace(train.ratio(), train);
        if (!added && train.simplerThan(at->second)) {
            at->second = train;
        }
    };
    const std::size_t n = gears.size();
    const auto ordered = [](std::int64_t a, std::int64_t b) {
        return a <= b ? std::pair{a, b} : std::pair{b, a};
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
                        const auto [d0, d1] = ordered(gears[i], gears[j]);
                        const auto [n0, n1] = ordered(gears[k], gears[l]);
                        offer({2, {d0, d1}, {n0, n1}});
                    }
                }
            }
        }
    }
    return trains;
}

}  // namespace morvanta
