// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/Rational.h"

namespace morvanta {

// Change gears: every ratio one pair or two pairs of the gears owned make, each gear used no
// more often than it is owned, with the simplest train for each. A pair is a driver and the gear
// it drives (through an idler, which leaves the ratio alone); two pairs are compounded, the second
// driver on the stud of the first driven gear. The ratio of a train is the product of the drivers
// over the product of the driven: the turns of the last shaft for one turn of the first.
//
// The gears 24, 28, 32, 40, 44, 48, 56, 64, 72, 86, 100 make 77/125 only as 56 x 44 / (40 x 100)
// driven over driving, and 2/3 most simply by 32 driving 48.

struct ChangeTrain {
    std::size_t pairs = 1;
    std::int64_t drivers[2] = {0, 0};
    std::int64_t driven[2] = {0, 0};

    std::int64_t teeth() const { return drivers[0] + drivers[1] + driven[0] + driven[1]; }
    // drivers over driven.
    Rational ratio() const;
    // One pair before two, then fewer teeth in all, then the gears themselves, so that the train
    // chosen for a ratio does not depend on the order the gears were listed in.
    bool simplerThan(const ChangeTrain& other) const;
};

// Every ratio the gears make, with its simplest train, by ratio; each pair of drivers and each
// pair of driven gears smaller first. The helix, the angle and the index sheet all take their
// trains from here.
std::map<Rational, ChangeTrain> changeTrains(std::span<const std::int64_t> gears);

}  // namespace morvanta
