// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AngleIndexing.h"
#include "engine/BoltCircle.h"
#include "engine/Calculation.h"
#include "engine/Flats.h"
#include "engine/Gear.h"
#include "engine/GridPattern.h"
#include "engine/Helix.h"
#include "engine/HoleTableCalculation.h"
#include "engine/Indexing.h"
#include "engine/LinePattern.h"
#include "engine/SettingSheet.h"

namespace morvanta {

// Every calculation, in the order the command line's help lists them; a window's pages are those
// with a title, in this order too.
std::span<const Calculation> calculations() {
    static const Calculation all[] = {
        kThisCalculation,       kAllCalculation,    kSheetCalculation,      kIndexCalculation,
        kAngleIndexCalculation, kSurveyCalculation, kBoltCircleCalculation, kLineCalculation,
        kGridCalculation,       kGearCalculation,   kHelixCalculation,      kFlatsCalculation,
    };
    return all;
}

}  // namespace morvanta
