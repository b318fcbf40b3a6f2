// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Calculation.h"
#include "engine/autotests/EngineTestSupport.h"

namespace morvanta {

// The plan of a request as the fronts make it: the texts read against the description, then
// planned; a refusal on the way ends the test with its message.
template <typename Plan>
Plan planFrom(const Calculation& calculation, Result<Plan> (*plan)(const Values&),
              const Inputs& inputs) {
    return planned(plan(planned(readInputs(calculation, inputs))));
}

}  // namespace morvanta
