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

const SketchHole& hole(const Sketch& sketch, std::int64_t number) {
    const auto found = std::find_if(sketch.holes.begin(), sketch.holes.end(),
                                    [number](const SketchHole& h) { return h.number == number; });
    if (found == sketch.holes.end()) {
        throw std::runtime_error("no hole " + std::to_string(number));
    }
    return *found;
}

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
    const Made made = madeOf(words);
    if (!made.sketch) {
        throw std::runtime_error("no picture");
    }
    return made.sketch();
}

// The angle from the centre to a point, in degrees from +X, within (-180, 180].
double bearing(double x, double y) {
    return std::atan2(y, x) * 180 / 3.14159265358979323846;
}

struct HoleCase {
    const char* request;
    std::int64_t hole;
    double x, y;  // on a dial of radius 100, 0° at the top, counter-clockwise
};

// Hole k at (100 cos(90° + a), 100 sin(90° + a)), a its angle: with a start of 15°, hole 1 lies
// at 105° from +X counter-clockwise; hole 2 of 4 clockwise at -15°.
TEST(SheetSketch, shouldDrawEachHoleWhereItsAngleIsOnTheDial) {
    const HoleCase cases[] = {
        {"sheet count=7", 2, -78.183, 62.349},
        {"sheet count=4 start=15", 1, -25.882, 96.593},
        {"sheet count=4 start=15 cw", 2, 96.593, -25.882},
        {"sheet count=4 span=90 cw", 2, 38.268, 92.388},
        {"sheet count=4 start=375", 1, -25.882, 96.593},
    };
    for (const HoleCase& c : cases) {
        const Sketch sketch = picture(c.request);
        const SketchHole& h = hole(sketch, c.hole);
        EXPECT_NEAR(h.x, c.x, kNear) << c.request;
        EXPECT_NEAR(h.y, c.y, kNear) << c.request;
    }
}

TEST(SheetSketch, shouldShowTheZeroTheTurningAndTheSpan) {
    for (const bool clockwise : {false, true}) {
        const Sketch sketch = picture(clockwise ? "sheet count=4 start=15 span=90 cw"
                                                : "sheet count=4 start=15 span=90");
        // The turning arrow leaves hole 1 (at 90° + 15° or 90° - 15°) the way the holes go.
        const std::vector<SketchArc> turning = inked(sketch.arcs, Ink::Accent);
        ASSERT_EQ(turning.size(), 1U);
        EXPECT_NEAR(std::remainder(turning[0].start - (clockwise ? 75 : 105), 360), 0, kNear);
        EXPECT_EQ(turning[0].sweep < 0, clockwise);
        EXPECT_TRUE(turning[0].arrow);
        // The span from hole 1 through 90° the same way, its figure halfway: 150° or 30° from +X.
        const std::vector<SketchArc> span = inked(sketch.arcs, Ink::Dimension);
        ASSERT_EQ(span.size(), 1U);
        EXPECT_NEAR(std::remainder(span[0].start - (clockwise ? 75 : 105), 360), 0, kNear);
        EXPECT_NEAR(span[0].sweep, clockwise ? -90 : 90, kNear);
        const SketchText* figure = text(sketch, "90°");
        ASSERT_NE(figure, nullptr);
        EXPECT_NEAR(bearing(figure->x, figure->y), clockwise ? 30 : 150, kNear);
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
        // 51.43° apart: every hole; the setting as the sheet rounds it, to 1".
        {"sheet count=7", 7, 7, "51°25'43\"", "308°34'17\""},
        // On 90:1 with a 240 dial, to the minute the dial sets.
        {"sheet count=7 ratio=90 dial=240", 7, 7, "51°26'00\"", "308°34'00\""},
        // 15° apart: every second hole, 30° apart.
        {"sheet count=24", 24, 12, "30°00'00\"", "330°00'00\""},
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
    // Written beside its hole, 360/7° on from the top; the picture kept while its text is read.
    const Sketch seven = picture("sheet count=7");
    const SketchText* second = text(seven, "51°25'43\"");
    ASSERT_NE(second, nullptr);
    EXPECT_NEAR(bearing(second->x, second->y), 90 + 360.0 / 7, kNear);
}

struct ArmsCase {
    const char* request;
    std::int64_t circle;
    double opening;  // degrees between the arms, clockwise from hole 1's
    std::string spaces;
};

// The arms from the centre, one through the crank pin's hole 1 at the top of the circle in use and
// one opened clockwise by holes / circle of a turn: 5 on 15 is 120°, 2 on 17 is 42.353°; whole
// turns leave them together.
TEST(IndexSketch, shouldOpenTheSectorArmsToTheMove) {
    const ArmsCase cases[] = {
        {"index count=127", 15, 120, "5 spaces"},        // differential
        {"index count=51", 17, 720.0 / 17, "2 spaces"},  // compound
        {"index count=9", 18, 160, "8 spaces"},
        {"index count=4", 15, 0, ""},  // whole turns
    };
    for (const ArmsCase& c : cases) {
        const Sketch sketch = picture(c.request);
        const std::vector<SketchLine> arms = inked(sketch.lines, Ink::Accent);
        ASSERT_EQ(arms.size(), 2U) << c.request;
        for (const SketchLine& arm : arms) {
            EXPECT_NEAR(std::hypot(arm.x1, arm.y1), 0, kNear) << c.request;
            EXPECT_GT(std::hypot(arm.x2, arm.y2), static_cast<double>(c.circle)) << c.request;
        }
        EXPECT_NEAR(bearing(arms[0].x2, arms[0].y2), 90, kNear) << c.request;
        EXPECT_NEAR(std::remainder(90 - bearing(arms[1].x2, arms[1].y2) - c.opening, 360), 0, kNear)
            << c.request;
        EXPECT_EQ(sketch.holes.size(), static_cast<std::size_t>(c.circle)) << c.request;
        EXPECT_NEAR(hole(sketch, 1).x, 0, kNear);
        EXPECT_NEAR(hole(sketch, 1).y, static_cast<double>(c.circle), kNear);
        const std::vector<SketchArc> move = inked(sketch.arcs, Ink::Accent);
        ASSERT_EQ(move.size(), c.spaces.empty() ? 0U : 1U) << c.request;
        if (!c.spaces.empty()) {
            EXPECT_NEAR(move[0].start, 90, kNear);
            EXPECT_NEAR(move[0].sweep, -c.opening, kNear) << c.request;
            EXPECT_NE(text(sketch, c.spaces), nullptr) << c.request;
        }
    }
    // Hole 6 of 15, five spaces on from the pin: 120° clockwise from the top.
    const Sketch plate = picture("index count=127");
    const SketchHole& sixth = hole(plate, 6);
    EXPECT_NEAR(sixth.x, 12.990, kNear);
    EXPECT_NEAR(sixth.y, -7.5, kNear);
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
        {"index count=4", "Index plate: 10 turns for each division", {"15-hole circle (plate 1)"}},
        {"index count=51",
         "Index plate: 1 turn and 2 holes on the 17-hole circle (plate 1) for each division, then "
         "the plate 5 holes back",
         {"17-hole circle (plate 1)", "2 spaces"}},
        {"index count=30 plates=cincinnati",
         "Index plate: 1 turn and 8 holes on the 24-hole circle (side 1) for each division",
         {"24-hole circle (side 1)", "8 spaces"}},
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

// Compound: after the crank, the plate turned on its second circle from the stop pin at the
// bottom: forward clockwise, back counter-clockwise, holes / circle of a turn.
TEST(IndexSketch, shouldTurnThePlateItsOwnHolesForCompoundIndexing) {
    const Sketch sketch = picture("index count=51");
    const std::vector<SketchArc> plate = inked(sketch.arcs, Ink::Dimension);
    ASSERT_EQ(plate.size(), 1U);
    EXPECT_NEAR(plate[0].start, 270, kNear);
    EXPECT_NEAR(plate[0].sweep, 120, kNear);  // 5 of 15 holes back
    EXPECT_NEAR(plate[0].radius, 16, kNear);
    EXPECT_EQ(textsOf(sketch, Ink::Dimension),
              std::vector<std::string>{"plate 5 holes back on the 15-hole circle"});
}

struct DrawnGears {
    std::vector<SketchCircle> pitch;  // the gears' pitch circles, in the order drawn
    std::vector<std::string> names;
};

DrawnGears drawnGearsOf(const Sketch& sketch) {
    DrawnGears gears;
    for (const SketchCircle& c : sketch.circles) {
        if (c.x > 0 && !c.filled) {
            gears.pitch.push_back(c);
        }
    }
    for (const SketchText& t : sketch.texts) {
        if (t.x > 0 && t.ink != Ink::Accent && t.ink != Ink::Dimension) {
            gears.names.push_back(t.text);
        }
    }
    return gears;
}

bool meshes(const SketchCircle& a, const SketchCircle& b) {
    return std::abs(std::hypot(a.x - b.x, a.y - b.y) - (a.radius + b.radius)) < kNear;
}

// Differential: the gears beside the plate, each pitch circle as large as its teeth, the idler in
// mesh with the plate's shaft and the gear that drives it; which way the plate turns.
TEST(IndexSketch, shouldDrawTheChangeGearsWithTheirIdler) {
    const Sketch one = picture("index count=127");
    const DrawnGears pair = drawnGearsOf(one);
    ASSERT_EQ(pair.pitch.size(), 3U);
    EXPECT_EQ(pair.names,
              (std::vector<std::string>{"24 on the plate's shaft", "idler", "56 on the spindle"}));
    const std::vector<SketchCircle>& g = pair.pitch;  // shaft, idler, spindle
    EXPECT_NEAR(g[2].radius / g[0].radius, 56.0 / 24, kNear);
    EXPECT_TRUE(meshes(g[1], g[0]) && meshes(g[1], g[2]));
    EXPECT_FALSE(meshes(g[0], g[2]));
    // Beside the plate, whose largest circle has 20 holes.
    EXPECT_GT(g[0].x - g[0].radius, 20);
    ASSERT_NE(text(one, "g = -7/3"), nullptr);
    // Against the crank, which turns clockwise: the plate's arrow counter-clockwise.
    const std::vector<SketchArc> against = inked(one.arcs, Ink::Dimension);
    ASSERT_EQ(against.size(), 1U);
    EXPECT_GT(against[0].sweep, 0);
    EXPECT_NE(text(one, "plate turns against the crank"), nullptr);
    const Sketch with = picture("index count=97");
    ASSERT_EQ(inked(with.arcs, Ink::Dimension).size(), 1U);
    EXPECT_LT(inked(with.arcs, Ink::Dimension)[0].sweep, 0);
    EXPECT_NE(text(with, "plate turns with the crank"), nullptr);

    // Two pairs: 40 on the spindle drives 32; 48 on the stud of 32 drives 64 on the shaft.
    const DrawnGears two = drawnGearsOf(picture("index count=131 gears=24,32,40,48,56,64"));
    ASSERT_EQ(two.pitch.size(), 5U);
    EXPECT_EQ(two.names, (std::vector<std::string>{"64 on the plate's shaft", "idler",
                                                   "32 and 48 on the stud", "40 on the spindle"}));
    // In the order drawn: the shaft's 64, the idler, the stud's 32 and 48, the spindle's 40.
    const std::vector<SketchCircle>& t = two.pitch;
    EXPECT_NEAR(t[2].radius * 2, t[0].radius, kNear);
    EXPECT_NEAR(t[3].x, t[2].x, kNear);
    EXPECT_NEAR(t[3].radius / t[2].radius, 48.0 / 32, kNear);
    EXPECT_TRUE(meshes(t[1], t[0]) && meshes(t[1], t[3]) && meshes(t[2], t[4]));
}

}  // namespace
