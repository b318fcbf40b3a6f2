// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Calculation.h"

namespace morvanta {

// Build This and Build All for the command line: the Morvanta window's two tables, made and
// refused exactly as the window makes them (BuildThisTable, BuildAllTable).
extern const Calculation kThisCalculation;
extern const Calculation kAllCalculation;

}  // namespace morvanta
