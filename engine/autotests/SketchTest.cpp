// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the setting sheet and the index plate: where each thing is drawn, worked by hand
// from the angles the sheet and the plan give, and the words written beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/Indexing.h"
#include "engine/SettingSheet.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

constexpr double kNear = 0.001;

const SketchText* text(const Sketch& sketch, const std::string& words) {
    const auto found = std::find_if(sketch.texts.begin(), sketch.texts.end(),
                                    [&](const SketchText& t) { return t.text == words; });
    return found == sketch.texts.end() ? nullptr : &*found;
}

std::vector<std::string> textsOf(const Sketch& sketch, Ink ink) {
    std::vector<std::string> words;
    for (const SketchText& t : sketch.texts) {
        if (t.ink == ink) {
            words.push_back(t.text);
        }
    }
    return words;
}

// The lines or arcs of a sketch drawn in one ink: inked(sketch.arcs, Ink::Accent).
template <typename Shape>
std::vector<Shape> inked(const std::vector<Shape>& shapes, Ink ink) {
    std::vector<Shape> found;
    std::copy_if(shapes.begin(), shapes.end(), std::back_inserter(found),
                 [ink](const Shape& s) { return s.ink == ink; });
    return found;
}

// The picture of a request, the calculation's name first: picture("sheet count=7").
Sketch picture(std::string_view words) {
    return madeOf(words).sketch();
}

// The angle from the centre to a point, in degrees from +X, within (-180, 180].
double bearing(double x, double y) {
    return std::atan2(y, x) * 180 / 3.14159265358979323846;
}

// Hole k at (100 cos(90° + a), 100 sin(90° + a)) on a dial of radius 100, a its angle from the top
// counter-clockwise.
TEST(SheetSketch, shouldShowTheHolesTheZeroTheTurningAndTheSpan) {
    for (const bool clockwise : {false, true}) {
        const Sketch sketch = picture(clockwise ? "sheet count=4 start=15 span=90 cw"
                                                : "sheet count=4 start=15 span=90");
        // Hole 2 at 15° + 22.5° from the top the way the holes go: 100 cos 52.5° = 60.876 to the
        // side, 100 sin 52.5° = 79.335 up.
        const SketchHole& second = sketch.holes.at(1);
        EXPECT_EQ(second.number, 2);
        EXPECT_NEAR(second.x, clockwise ? 60.876 : -60.876, kNear);
        EXPECT_NEAR(second.y, 79.335, kNear);
        // The turning arrow leaves hole 1 (at 90° + 15° or 90° - 15°) the way the holes go.
        const std::vector<SketchArc> turning = inked(sketch.arcs, Ink::Accent);
        ASSERT_EQ(turning.size(), 1U);
        EXPECT_NEAR(std::remainder(turning[0].start - (clockwise ? 75 : 105), 360), 0, kNear);
        EXPECT_EQ(turning[0].sweep < 0, clockwise);
        // The zero marked over its graduation at the top, hole 1 standing elsewhere.
        const SketchText* zero = text(sketch, "0°");
        ASSERT_NE(zero, nullptr);
        EXPECT_NEAR(bearing(zero->x, zero->y), 90, kNear);
        EXPECT_EQ(sketch.caption,
                  std::string("Dial: 4 holes over 90°, 22.5° apart, the last a step short of the "
                              "end, turning ") +
                      (clockwise ? "clockwise" : "counter-clockwise"));
    }
    // From 0, hole 1's own angle marks the zero; no span over the full circle.
    const Sketch full = picture("sheet count=7");
    EXPECT_TRUE(inked(full.arcs, Ink::Dimension).empty());
    EXPECT_EQ(text(full, "0°"), nullptr);
    EXPECT_EQ(text(picture("sheet count=7 start=360"), "0°"), nullptr);
}

// Every hole drawn; the angle to set written by hole 1 and each hole at least 30° on.
TEST(SheetSketch, shouldWriteTheAngleOfHolesThirtyDegreesApart) {
    const struct {
        const char* request;
        std::size_t holes, written;
        const char *second, *last;
    } cases[] = {
        // On 90:1 with a 240 dial, to the minute the dial sets.
        {"sheet count=7 ratio=90 dial=240", 7, 7, "51°26'00\"", "308°34'00\""},
        // 10000 holes 0.036° apart: every 834th, 30.024° apart: holes 1, 835, ... 9175.
        {"sheet count=10000", 10000, 12, "30°01'26\"", "330°15'50\""},
    };
    for (const auto& c : cases) {
        const Sketch sketch = picture(c.request);
        EXPECT_EQ(sketch.holes.size(), c.holes);
        const std::vector<std::string> angles = textsOf(sketch, Ink::Outline);
        ASSERT_EQ(angles.size(), c.written) << c.holes;
        EXPECT_EQ(angles[0] + " " + angles[1] + " " + angles.back(),
                  std::string("0°00'00\" ") + c.second + " " + c.last)
            << c.holes;
    }
}

struct ArmsCase {
    const char* request;
    double opening;  // degrees between the arms, clockwise from hole 1's
};

// One arm through the crank pin's hole 1 at the top of the circle in use and one opened clockwise
// by holes / circle of a turn: 5 on 15 is 120°, 2 on 17 is 42.353°, 8 on 18 is 160°; whole turns
// leave them together. (The spaces are named with the circle in the next test.)
TEST(IndexSketch, shouldOpenTheSectorArmsToTheMove) {
    const ArmsCase cases[] = {
        {"index count=127", 120},        // differential
        {"index count=51", 720.0 / 17},  // compound
        {"index count=9", 160},
        {"index count=4", 0},  // whole turns
    };
    for (const ArmsCase& c : cases) {
        const Sketch sketch = picture(c.request);
        const std::vector<SketchLine> arms = inked(sketch.lines, Ink::Accent);
        ASSERT_EQ(arms.size(), 2U) << c.request;
        EXPECT_NEAR(bearing(arms[0].x2, arms[0].y2), 90, kNear) << c.request;
        EXPECT_NEAR(std::remainder(90 - bearing(arms[1].x2, arms[1].y2) - c.opening, 360), 0, kNear)
            << c.request;
        const std::vector<SketchArc> move = inked(sketch.arcs, Ink::Accent);
        ASSERT_EQ(move.size(), c.opening == 0 ? 0U : 1U) << c.request;
        if (c.opening != 0) {
            EXPECT_NEAR(move[0].sweep, -c.opening, kNear) << c.request;
        }
    }
}

TEST(IndexSketch, shouldNameThePlateTheCircleAndTheMove) {
    struct Case {
        const char* request;
        std::string caption;
        std::vector<std::string> accent;  // the circle's name, then the spaces, if any
    };
    const Case cases[] = {
        {"index count=127",
         "Index plate: 0 turns and 5 holes on the 15-hole circle (plate 1) for each division, as "
         "for 120 divisions, the plate geared against the crank",
         {"15-hole circle (plate 1)", "5 spaces"}},
        {"index count=51",
         "Index plate: 1 turn and 2 holes on the 17-hole circle (plate 1) for each division, then "
         "the plate 5 holes back",
         {"17-hole circle (plate 1)", "2 spaces"}},
        {"index count=7 plates=20 gears=24",
         "Index plate: the 20-hole circle, each division on the hole nearest its exact place "
         "(approximate)",
         {"20-hole circle"}},
    };
    for (const Case& c : cases) {
        const Sketch sketch = picture(c.request);
        EXPECT_EQ(sketch.caption, c.caption);
        EXPECT_EQ(textsOf(sketch, Ink::Accent), c.accent) << c.caption;
    }
    // Every circle of the plate in use, the one the crank works on (*) in the accent ink.
    std::string circles;
    for (const SketchCircle& c : picture("index count=127").circles) {
        if (c.ink == Ink::Guide || c.ink == Ink::Accent) {
            circles += std::to_string(std::lround(c.radius)) + (c.ink == Ink::Accent ? "* " : " ");
        }
    }
    EXPECT_TRUE(circles.starts_with("15* 16 17 18 19 20 ")) << circles;
}

// The names written beside the plate, where the gears are drawn.
std::vector<std::string> gearNamesOf(const Sketch& sketch) {
    std::vector<std::string> names;
    for (const SketchText& t : sketch.texts) {
        if (t.x > 0 && t.ink != Ink::Accent && t.ink != Ink::Dimension) {
            names.push_back(t.text);
        }
    }
    return names;
}

// Differential: which gear goes on which shaft, with the idler, and which way the plate turns.
TEST(IndexSketch, shouldNameTheChangeGearsAndTheirIdler) {
    const Sketch one = picture("index count=127");
    EXPECT_EQ(gearNamesOf(one),
              (std::vector<std::string>{"24 on the plate's shaft", "idler", "56 on the spindle"}));
    EXPECT_NE(text(one, "g = -7/3"), nullptr);
    EXPECT_NE(text(one, "plate turns against the crank"), nullptr);
    EXPECT_NE(text(picture("index count=97"), "plate turns with the crank"), nullptr);
    // Two pairs: 40 on the spindle drives 32; 48 on the stud of 32 drives 64 on the shaft.
    EXPECT_EQ(gearNamesOf(picture("index count=131 gears=24,32,40,48,56,64")),
              (std::vector<std::string>{"64 on the plate's shaft", "idler", "32 and 48 on the stud",
                                        "40 on the spindle"}));
}

}  // namespace
