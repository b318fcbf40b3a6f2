// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/SettingSheet.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

// The rules between the inputs; each input's own limits are the description's (CalculationTest).
TEST(SettingSheet, shouldRefuseAHandwheelThatCannotSetTheHolesWithItsFigures) {
    const struct {
        Inputs inputs;
        const char* refusal;
    } cases[] = {
        {request("count=7 ratio=7"),
         "ratio: {ratio} must turn the table a whole number of seconds of arc per handwheel turn; "
         "7 turns it 185142.8571\" (, 7)"},
        {request("count=7 ratio=256"),
         "ratio: {ratio} must turn the table a whole number of seconds of arc per handwheel turn; "
         "256 turns it 5062.5000\" (, 256)"},
        {request("count=7 dial=240"), "dial: {dial} needs {ratio}"},
        {request("count=7 ratio=90 dial=128"),
         "dial: one graduation of {dial} must be a whole number of seconds of table angle; 128 "
         "graduations make it 112.5000\" (, 128)"},
        {request("count=7 ratio=90 dial=240 resolution=90s"),
         "resolution: {resolution} must be a whole number of graduations of {dial}; one graduation "
         "is 1' (1', 1'30\")"},
        // 10000 holes lie 129.6" apart: 3' is coarser.
        {request("count=10000 resolution=3m"),
         "resolution: {resolution} must be no coarser than the spacing of the holes, 129.6000\"; "
         "3' is coarser (129.6000\", 3')"},
        // 90:1 and a dial of 360 make 40" graduations; 10000 holes over 100° with one at each end
        // lie 36.0036" apart.
        {request("count=10000 ratio=90 dial=360 span=100 ends"),
         "dial: one graduation of {dial}, 40\", must be no coarser than the spacing of the holes, "
         "36.0036\": a finer dial or fewer holes are needed (36.0036\", 40\")"},
        {request("count=10000 span=0.1"),
         "span: the spacing of the holes, 0.0360\", is finer than the resolution of 1\": give "
         "fewer holes or a wider arc (0.0360\", 1\")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(said(planSheet(c.inputs).refusal()), c.refusal);
    }
    // A resolution of exactly the spacing still sets every hole apart: 360 holes 1° apart.
    EXPECT_TRUE(planSheet(request("count=360 resolution=60m")).ok());
    EXPECT_FALSE(planSheet(request("count=360 resolution=61m")).ok());
}

}  // namespace
