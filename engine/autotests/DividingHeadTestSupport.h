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
