// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Calculation.h"
#include "engine/autotests/EngineTestSupport.h"

namespace morvanta {

// The Brown & Sharpe change gears as the maker lists them, typed here again.
inline const std::vector<std::int64_t> kBrownSharpeGears = {24, 28, 32, 40, 44, 48,
                                                            56, 64, 72, 86, 100};

// The plan of a request as the fronts make it: the texts read against the description, then
// planned; a refusal on the way ends the test with its message.
template <typename Plan>
Plan planFrom(const Calculation& calculation, Result<Plan> (*plan)(const Values&),
              const Inputs& inputs) {
    const Result<Values> values = readInputs(calculation, inputs);
    if (!values.ok()) {
        throw std::runtime_error("refused: " + values.message());
    }
    return planned(plan(values.value()));
}

// The refusal of a request, read or planned; an empty one when it is accepted.
template <typename Plan>
Refusal refusalFrom(const Calculation& calculation, Result<Plan> (*plan)(const Values&),
                    const Inputs& inputs) {
    const Result<Values> values = readInputs(calculation, inputs);
    if (!values.ok()) {
        return values.refusal();
    }
    const Result<Plan> made = plan(values.value());
    return made.ok() ? Refusal{} : made.refusal();
}

}  // namespace morvanta
