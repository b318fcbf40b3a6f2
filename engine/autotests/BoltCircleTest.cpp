// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
// After <cstdint>, so that MPFR declares its intmax_t functions.
#include <mpfr.h>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/BoltCircle.h"

using namespace morvanta;

namespace {

// The independent yardstick: MPFR at 256 bits, from the texts as typed. Nothing of the engine's
// angle arithmetic, reduction or fixed point is used to work out what it should print.
constexpr mpfr_prec_t kBits = 256;

class Big {
public:
    Big() { mpfr_init2(v_, kBits); }
    explicit Big(const std::string& decimal) : Big() {
        mpfr_set_str(v_, decimal.c_str(), 10, MPFR_RNDN);
    }
    explicit Big(long n) : Big() { mpfr_set_si(v_, n, MPFR_RNDN); }
    Big(const Big& other) : Big() { mpfr_set(v_, other.v_, MPFR_RNDN); }
    Big& operator=(const Big& other) {
        mpfr_set(v_, other.v_, MPFR_RNDN);
        return *this;
    }
    ~Big() { mpfr_clear(v_); }
    mpfr_ptr get() { return v_; }
    mpfr_srcptr get() const { return v_; }

    friend Big operator+(const Big& a, const Big& b) { return apply(mpfr_add, a, b); }
    friend Big operator-(const Big& a, const Big& b) { return apply(mpfr_sub, a, b); }
    friend Big operator*(const Big& a, const Big& b) { return apply(mpfr_mul, a, b); }
    friend Big operator/(const Big& a, const Big& b) { return apply(mpfr_div, a, b); }
    double toDouble() const { return mpfr_get_d(v_, MPFR_RNDN); }

private:
    template <typename F>
    static Big apply(F f, const Big& a, const Big& b) {
        Big r;
        f(r.v_, a.v_, b.v_, MPFR_RNDN);
        return r;
    }
    mpfr_t v_;
};

Big pi() {
    Big p;
    mpfr_const_pi(p.get(), MPFR_RNDN);
    return p;
}

Big cosDegrees(const Big& degrees) {
    Big r = degrees * pi() / Big(180);
    mpfr_cos(r.get(), r.get(), MPFR_RNDN);
    return r;
}

Big sinDegrees(const Big& degrees) {
    Big r = degrees * pi() / Big(180);
    mpfr_sin(r.get(), r.get(), MPFR_RNDN);
    return r;
}

Big power10(int n) {
    Big r(1);
    for (int i = 0; i < n; ++i) {
        r = r * Big(10);
    }
    return r;
}

// The value rounded to `decimals`, halves away from zero, as a count of 10^-decimals. A value
// within 2^-120 of a half is taken as exactly on it: only the rational cases (multiples of 30°)
// come that close.
std::int64_t roundedUnits(const Big& value, int decimals) {
    const Big scaled = value * power10(decimals);
    Big floor;
    mpfr_floor(floor.get(), scaled.get());
    const Big fraction = scaled - floor;
    const Big distance = fraction - Big("0.5");
    const auto down = static_cast<std::int64_t>(mpfr_get_sj(floor.get(), MPFR_RNDN));
    if (std::abs(distance.toDouble()) < 0x1p-120) {
        return mpfr_sgn(scaled.get()) > 0 ? down + 1 : down;
    }
    return distance.toDouble() > 0 ? down + 1 : down;
}

std::optional<BoltCirclePlan> planOf(const BoltCircleArguments& arguments) {
    const Result<BoltCirclePlan> result = planBoltCircle(arguments);
    EXPECT_TRUE(result.ok()) << result.message();
    if (!result.ok()) {
        return std::nullopt;
    }
    return result.value();
}

TEST(BoltCircle, shouldGiveTheComplainedOfAnglesExactly) {
    // Holes every 30° from east: the cosines and sines users see as 24.9999 or -0.0000 elsewhere.
    const struct {
        const char* radius;
        std::vector<std::pair<const char*, const char*>> xy;
    } cases[] = {
        {"50",
         {{"50.0000", "0.0000"},
          {"43.3013", "25.0000"},
          {"25.0000", "43.3013"},
          {"0.0000", "50.0000"},
          {"-25.0000", "43.3013"},
          {"-43.3013", "25.0000"},
          {"-50.0000", "0.0000"},
          {"-43.3013", "-25.0000"},
          {"-25.0000", "-43.3013"},
          {"0.0000", "-50.0000"},
          {"25.0000", "-43.3013"},
          {"43.3013", "-25.0000"}}},
        {"100",
         {{"100.0000", "0.0000"},
          {"86.6025", "50.0000"},
          {"50.0000", "86.6025"},
          {"0.0000", "100.0000"},
          {"-50.0000", "86.6025"},
          {"-86.6025", "50.0000"},
          {"-100.0000", "0.0000"},
          {"-86.6025", "-50.0000"},
          {"-50.0000", "-86.6025"},
          {"0.0000", "-100.0000"},
          {"50.0000", "-86.6025"},
          {"86.6025", "-50.0000"}}},
    };
    for (const auto& c : cases) {
        const std::optional<BoltCirclePlan> plan = planOf({"12", {}, c.radius});
        ASSERT_TRUE(plan);
        const std::string csv = boltCircleCsv(*plan);
        EXPECT_EQ(csv.find("-0.0000"), std::string::npos) << csv;
        for (std::size_t i = 0; i < c.xy.size(); ++i) {
            EXPECT_EQ(unitsText(plan->holes[i].x, 4), c.xy[i].first) << c.radius << " hole " << i;
            EXPECT_EQ(unitsText(plan->holes[i].y, 4), c.xy[i].second) << c.radius << " hole " << i;
        }
    }
    // The same angles reached other ways: from north, clockwise, from a start past a turn.
    const std::optional<BoltCirclePlan> north =
        planOf({.count = "3", .radius = "50", .start = "-390", .clockwise = true, .zero = "north"});
    ASSERT_TRUE(north);
    EXPECT_EQ(boltCircleCsv(*north),
              "hole,angle,x,y\n1,330.0000,-25.0000,43.3013\n2,90.0000,50.0000,0.0000\n"
              "3,210.0000,-25.0000,-43.3013\n");
}

TEST(BoltCircle, shouldPrintTheIssueExampleForAReadOut) {
    const std::optional<BoltCirclePlan> plan =
        planOf({.count = "6", .diameter = "100", .centre = "10,-5", .start = "15"});
    ASSERT_TRUE(plan);
    EXPECT_EQ(boltCircleText(*plan),
              "Bolt circle: 6 holes on a diameter of 100, centre X 10 Y -5\n"
              "Holes: 6 holes over the full circle, 60° apart\n"
              "Angles: counter-clockwise from +X (east), hole 1 at 15°\n"
              "Radius: 50; chord between neighbouring holes: 50.0000\n"
              "Angle: 15° + (hole - 1) x 60° exactly, within one turn; DMS the same in degrees, "
              "minutes, seconds\n"
              "X, Y: centre + radius x cos, sin of the angle, correctly rounded to 4 decimals "
              "(halves away from 0)\n"
              "\n"
              "Hole     Angle           DMS         X         Y\n"
              "   1   15.0000   15°00'00.0\"   58.2963    7.9410\n"
              "   2   75.0000   75°00'00.0\"   22.9410   43.2963\n"
              "   3  135.0000  135°00'00.0\"  -25.3553   30.3553\n"
              "   4  195.0000  195°00'00.0\"  -38.2963  -17.9410\n"
              "   5  255.0000  255°00'00.0\"   -2.9410  -53.2963\n"
              "   6  315.0000  315°00'00.0\"   45.3553  -40.3553\n");
}

TEST(BoltCircle, shouldSpreadHolesOverAnArcAsItSays) {
    const struct {
        BoltCircleArguments arguments;
        const char* meaning;
        const char* lastAngle;
        const char* chord;
    } cases[] = {
        {{.count = "7", .radius = "50", .span = "90", .ends = true},
         "7 holes over 90°, a hole at each end, 15° apart",
         "90.0000",
         "13.0526"},
        {{.count = "4", .radius = "50", .span = "90"},
         "4 holes over 90°, 22.5° apart, the last a step short of the end",
         "67.5000",
         "19.5090"},
        {{.count = "6", .radius = "50"},
         "6 holes over the full circle, 60° apart",
         "300.0000",
         "50.0000"},
        {{.count = "7", .radius = "50"},
         "7 holes over the full circle, 51.4286° apart (exactly 360/7°)",
         "308.5714",
         "43.3884"},
        {{.count = "3", .radius = "50", .start = "350", .span = "22.5", .ends = true},
         "3 holes over 22.5°, a hole at each end, 11.25° apart",
         "12.5000",
         "9.8017"},
        {{.count = "1", .radius = "50", .span = "0"}, "1 hole", "0.0000", ""},
        {{.count = "2", .radius = "50", .span = "360"},
         "2 holes over 360°, 180° apart, the last a step short of the end",
         "180.0000",
         "100.0000"},
    };
    for (const auto& c : cases) {
        const std::optional<BoltCirclePlan> plan = planOf(c.arguments);
        ASSERT_TRUE(plan) << c.meaning;
        EXPECT_EQ(boltCircleMeaning(*plan), c.meaning);
        EXPECT_EQ(decimalDegreesText(plan->holes.back().angle, 4), c.lastAngle) << c.meaning;
        EXPECT_EQ(plan->chord ? unitsText(*plan->chord, 4) : "", c.chord) << c.meaning;
    }
}

TEST(BoltCircle, shouldRefuseBadInputNamingTheField) {
    const auto gcode = [](BoltCircleArguments a) {
        a.gcode = true;
        a.depth = a.depth.value_or("-5");
        a.retract = a.retract.value_or("2");
        a.feed = a.feed.value_or("100");
        return a;
    };
    const struct {
        BoltCircleArguments arguments;
        std::string_view message;
        const char* about;
    } cases[] = {
        {{.count = "0", .diameter = "100"}, kBoltCountMessage, "count"},
        {{.count = "10001", .diameter = "100"}, kBoltCountMessage, "count"},
        {{.count = "-3", .diameter = "100"}, kBoltCountMessage, "count"},
        {{.count = "6.0", .diameter = "100"}, kBoltCountMessage, "count"},
        {{.count = "", .diameter = "100"}, kBoltCountMessage, "count"},
        {{.count = "6"}, kBoltSizeMissingMessage, "diameter"},
        {{.count = "6", .diameter = "0"}, kBoltDiameterMessage, "diameter"},
        {{.count = "6", .diameter = "-100"}, kBoltDiameterMessage, "diameter"},
        {{.count = "6", .diameter = "1e2"}, kBoltDiameterMessage, "diameter"},
        {{.count = "6", .diameter = "1234567890"}, kBoltDiameterMessage, "diameter"},
        {{.count = "6", .radius = "0.000"}, kBoltRadiusMessage, "radius"},
        {{.count = "6", .diameter = "100", .radius = "50"}, kBoltSizeTwiceMessage, "radius"},
        {{.count = "6", .diameter = "100", .centre = "10"}, kBoltCentreMessage, "centre"},
        {{.count = "6", .diameter = "100", .centre = "10, -5"}, kBoltCentreMessage, "centre"},
        {{.count = "6", .diameter = "100", .centre = "10,-5,0"}, kBoltCentreMessage, "centre"},
        {{.count = "6", .diameter = "100", .centre = ",5"}, kBoltCentreMessage, "centre"},
        {{.count = "6", .diameter = "100", .start = "east"}, kStartMessage, "start"},
        {{.count = "6", .diameter = "100", .start = "-100000"}, kStartMessage, "start"},
        {{.count = "6", .diameter = "100", .zero = "west"}, kBoltZeroMessage, "zero"},
        {{.count = "6", .diameter = "100", .span = "-90"}, kBoltSpanMessage, "span"},
        {{.count = "6", .diameter = "100", .span = "360.5"}, kBoltSpanMessage, "span"},
        {{.count = "6", .diameter = "100", .span = "0"}, kBoltZeroSpanMessage, "span"},
        {{.count = "6", .diameter = "100", .ends = true}, kEndsWithoutSpanMessage, "ends"},
        {{.count = "6", .diameter = "100", .span = "360", .ends = true},
         kEndsFullMessage,
         "ends"},
        {{.count = "1", .diameter = "100", .span = "90", .ends = true},
         kBoltEndsOneHoleMessage,
         "ends"},
        {{.count = "6", .diameter = "100", .decimals = "9"}, kDecimalsMessage, "decimals"},
        {{.count = "6", .diameter = "100", .decimals = "-1"}, kDecimalsMessage, "decimals"},
        {{.count = "6", .diameter = "100", .csv = true, .gcode = true},
         kCsvAndGcodeMessage,
         "gcode"},
        {{.count = "6", .diameter = "100", .depth = "-5"}, kBoltDrillWithoutGcodeMessage, "depth"},
        {{.count = "6", .diameter = "100", .feed = "100"}, kBoltDrillWithoutGcodeMessage, "feed"},
        {{.count = "6", .diameter = "100", .gcode = true, .retract = "2", .feed = "100"},
         kBoltDepthMissingMessage,
         "depth"},
        {{.count = "6", .diameter = "100", .gcode = true, .depth = "-5", .feed = "100"},
         kBoltRetractMissingMessage,
         "retract"},
        {{.count = "6", .diameter = "100", .gcode = true, .depth = "-5", .retract = "2"},
         kBoltFeedMissingMessage,
         "feed"},
        {gcode({.count = "6", .diameter = "100", .depth = "deep"}), kBoltDepthMessage, "depth"},
        {gcode({.count = "6", .diameter = "100", .retract = "up"}), kBoltRetractMessage, "retract"},
        {gcode({.count = "6", .diameter = "100", .feed = "0"}), kBoltFeedMessage, "feed"},
        {gcode({.count = "6", .diameter = "100", .decimals = "1", .depth = "-5.25"}),
         kBoltDepthDecimalsMessage, "depth"},
        {gcode({.count = "6", .diameter = "100", .decimals = "0", .retract = "0.5"}),
         kBoltRetractDecimalsMessage, "retract"},
        {gcode({.count = "6", .diameter = "100", .decimals = "0", .feed = "12.5"}),
         kBoltFeedDecimalsMessage, "feed"},
        {gcode({.count = "6", .diameter = "100", .depth = "2", .retract = "2"}),
         kBoltRetractBelowMessage, "retract"},
    };
    for (const auto& c : cases) {
        const Result<BoltCirclePlan> result = planBoltCircle(c.arguments);
        ASSERT_TRUE(result.isMessage()) << c.message;
        EXPECT_EQ(result.message(), c.message);
        EXPECT_EQ(result.about(), c.about) << c.message;
    }
}

// Random requests of every shape, each hole's X and Y checked against MPFR.
struct Request {
    std::string count, size, centreX, centreY, start, span, decimals;
    bool radius = false, ends = false, clockwise = false, north = false;

    BoltCircleArguments arguments() const {
        BoltCircleArguments a;
        a.count = count;
        (radius ? a.radius : a.diameter) = size;
        a.centre = centre;
        if (!start.empty()) {
            a.start = start;
        }
        if (!span.empty()) {
            a.span = span;
        }
        a.ends = ends;
        a.clockwise = clockwise;
        if (north) {
            a.zero = "north";
        }
        a.decimals = decimals;
        return a;
    }
    std::string centre;
};

std::string describe(const Request& r) {
    return r.count + (r.radius ? " --radius " : " --diameter ") + r.size + " --centre " + r.centre +
           " --start '" + r.start + "' --span '" + r.span + "'" + (r.ends ? " --ends" : "") +
           (r.clockwise ? " --cw" : "") + (r.north ? " --zero north" : "") + " --decimals " +
           r.decimals;
}

class RandomRequests {
public:
    explicit RandomRequests(std::uint64_t seed) : random_(seed) {}

    Request next() {
        Request r;
        const int count = pick(0, 3) == 0 ? pick(1, 4) : pick(1, 60);
        r.count = std::to_string(count);
        r.radius = pick(0, 1) == 1;
        do {
            r.size = decimal(false, pick(0, 9), pick(0, 9));
        } while (r.size.find_first_of("123456789") == std::string::npos);
        r.centreX = decimal(true, pick(0, 9), pick(0, 9));
        r.centreY = decimal(true, pick(0, 9), pick(0, 9));
        r.centre = r.centreX + "," + r.centreY;
        switch (pick(0, 3)) {
            case 0:
                break;
            case 1:
                r.start = std::to_string(15 * pick(-60, 60));
                break;
            default:
                r.start = decimal(true, pick(1, 4), pick(0, 9));
        }
        switch (pick(0, 3)) {
            case 0:
                break;
            case 1:
                r.span = std::to_string(15 * pick(1, 24));
                break;
            default:
                r.span = std::to_string(pick(0, 359)) + "." + digits(pick(1, 9));
        }
        if (!r.span.empty() && count > 1 && r.span != "360" && pick(0, 1) == 1) {
            r.ends = true;
        }
        r.clockwise = pick(0, 1) == 1;
        r.north = pick(0, 1) == 1;
        r.decimals = std::to_string(pick(0, 8));
        return r;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string digits(int n) {
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += static_cast<char>('0' + pick(0, 9));
        }
        return text;
    }

    std::string decimal(bool signed_, int whole, int decimals) {
        std::string text = signed_ && pick(0, 1) == 1 ? "-" : "";
        text += whole == 0 ? "0" : digits(whole);
        if (decimals > 0) {
            text += '.';
            text += digits(decimals);
        }
        return text;
    }

    std::mt19937_64 random_;
};

// The exact angle of hole k counted as asked, and the direction it points in from east
// counter-clockwise, both in degrees.
struct Exact {
    Big angle;
    Big direction;
};

Exact exactAngle(const Request& r, int k) {
    const int count = std::stoi(r.count);
    const Big span(r.span.empty() ? std::string("360") : r.span);
    const Big step = span / Big(r.ends ? count - 1 : count);
    const Big angle = Big(r.start.empty() ? std::string("0") : r.start) + step * Big(k - 1);
    const Big zero(r.north ? 90L : 0L);
    return {angle, r.clockwise ? zero - angle : zero + angle};
}

Big withinTurn(Big angle) {
    Big turns = angle / Big(360);
    mpfr_floor(turns.get(), turns.get());
    return angle - turns * Big(360);
}

TEST(BoltCircle, shouldRoundEveryCoordinateCorrectlyForRandomRequests) {
    RandomRequests requests(20261207);
    int coordinates = 0;
    for (int i = 0; i < 1500; ++i) {
        const Request r = requests.next();
        const std::optional<BoltCirclePlan> plan = planOf(r.arguments());
        ASSERT_TRUE(plan) << describe(r);
        const int decimals = std::stoi(r.decimals);
        const Big radius = r.radius ? Big(r.size) : Big(r.size) / Big(2);
        ASSERT_EQ(plan->holes.size(), static_cast<std::size_t>(std::stoi(r.count)));
        for (std::size_t k = 0; k < plan->holes.size(); ++k) {
            const Exact exact = exactAngle(r, static_cast<int>(k + 1));
            const Big x = Big(r.centreX) + radius * cosDegrees(exact.direction);
            const Big y = Big(r.centreY) + radius * sinDegrees(exact.direction);
            ASSERT_EQ(plan->holes[k].x, roundedUnits(x, decimals)) << describe(r) << " hole " << k;
            ASSERT_EQ(plan->holes[k].y, roundedUnits(y, decimals)) << describe(r) << " hole " << k;
            const double angleError =
                (withinTurn(exact.angle) -
                 Big(plan->holes[k].angle.numerator()) / Big(plan->holes[k].angle.denominator()))
                    .toDouble();
            ASSERT_LT(std::abs(angleError), 1e-12) << describe(r) << " hole " << k;
            coordinates += 2;
        }
        const std::string csv = boltCircleCsv(*plan);
        ASSERT_EQ(csv.find(",-0,"), std::string::npos);
        ASSERT_EQ(csv.find("-0\n"), std::string::npos);
        if (decimals > 0) {
            const std::string zero = "-0." + std::string(static_cast<std::size_t>(decimals), '0');
            ASSERT_EQ(csv.find(zero + ","), std::string::npos);
            ASSERT_EQ(csv.find(zero + "\n"), std::string::npos);
        }
    }
    EXPECT_GT(coordinates, 40000);
}

// Values a few parts in 10^10 from a rounding boundary, where long double cannot tell the side:
// a radius of nine digits and nine decimals, rounded to whole units, with the centre chosen so
// that centre + radius x cos lands next to a half.
TEST(BoltCircle, shouldDecideValuesNextToARoundingBoundary) {
    const char* radiusText = "987654321.987654321";
    const Big radius(radiusText);
    for (const char* angle : {"15", "22.5", "1", "7.3", "44.999999999", "359.9", "123.456789"}) {
        for (int nudge = -3; nudge <= 3; ++nudge) {
            const Big r = radius * cosDegrees(Big(angle));
            // The centre: a half minus r, cut to nine decimals and nudged by a few 10^-9.
            Big half;
            mpfr_floor(half.get(), r.get());
            Big centre = (half + Big("0.5") - r) * power10(9);
            mpfr_round(centre.get(), centre.get());
            const auto units = mpfr_get_sj(centre.get(), MPFR_RNDN) + nudge;
            char text[64];
            std::snprintf(text, sizeof text, "%s0.%09lld", units < 0 ? "-" : "",
                          static_cast<long long>(units < 0 ? -units : units));
            const Big expected = Big(text) + r;
            const std::optional<ExactDecimal> base = parseExactDecimal(text);
            const std::optional<ExactDecimal> length = parseExactDecimal(radiusText);
            ASSERT_TRUE(base && length);
            const std::optional<std::int64_t> got =
                roundedCoordinate(*base, *length, *Angle::parseDecimal(angle), Trig::Cos, 0);
            ASSERT_TRUE(got) << angle << " " << text;
            EXPECT_EQ(*got, roundedUnits(expected, 0)) << angle << " centre " << text;
        }
    }
}

// The long double estimate stays inside its own error bound.
TEST(BoltCircle, shouldBoundTheLongDoubleEstimate) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const auto numerator =
            std::uniform_int_distribution<std::int64_t>(1, 45'000'000'000)(random);
        const Angle a = Angle::ratio(numerator, 1'000'000'000);
        for (const bool sine : {false, true}) {
            const detail::FoldedTrig folded{a, sine, false};
            const detail::TrigEstimate estimate = detail::estimateTrig(folded);
            const Big degrees = Big(static_cast<long>(numerator)) / Big(1'000'000'000L);
            const Big exact = sine ? sinDegrees(degrees) : cosDegrees(degrees);
            Big got;
            mpfr_set_ld(got.get(), estimate.value, MPFR_RNDN);
            const Big error = got - exact;
            Big bound;
            mpfr_set_ld(bound.get(), estimate.error, MPFR_RNDN);
            ASSERT_LE(mpfr_cmpabs(error.get(), bound.get()), 0) << numerator << " " << sine;
        }
    }
}

// The best rational approximations p/q of sin or cos a with q below 2^60 lie closer than 2^-118:
// 128 bits of fixed point cannot tell the side, 256 can, and it is the side MPFR gives.
TEST(BoltCircle, shouldWidenThePrecisionUntilTheSideIsKnown) {
    int undecidedAt128 = 0;
    for (const char* angle : {"1", "15", "22.5", "29.999", "30.000000001", "37", "44.5", "45"}) {
        for (const bool sine : {false, true}) {
            const Big degrees(angle);
            const Big f = sine ? sinDegrees(degrees) : cosDegrees(degrees);
            // Continued fraction convergents of f, the last with q below 2^60.
            __extension__ using I128 = __int128;
            I128 p0 = 0, q0 = 1, p1 = 1, q1 = 0;
            Big rest = f;
            for (;;) {
                Big whole;
                mpfr_floor(whole.get(), rest.get());
                const auto a = static_cast<I128>(mpfr_get_sj(whole.get(), MPFR_RNDN));
                const I128 p2 = a * p1 + p0;
                const I128 q2 = a * q1 + q0;
                if (q2 >= (static_cast<I128>(1) << 60)) {
                    break;
                }
                p0 = p1, q0 = q1, p1 = p2, q1 = q2;
                rest = Big(1) / (rest - whole);
            }
            const Big ratio = Big(static_cast<long>(p1)) / Big(static_cast<long>(q1));
            const int side = mpfr_cmp(f.get(), ratio.get()) > 0 ? 1 : -1;
            const detail::FoldedTrig folded{*Angle::parseDecimal(angle), sine, false};
            const int at128 = detail::compareTrigAt(folded, p1, q1, 128);
            EXPECT_TRUE(at128 == 0 || at128 == side) << angle << " " << sine;
            undecidedAt128 += at128 == 0 ? 1 : 0;
            EXPECT_EQ(detail::compareTrigAt(folded, p1, q1, 256), side) << angle << " " << sine;
        }
    }
    EXPECT_GT(undecidedAt128, 4);
}

// A small reader of the program: every line is a block of words, each a letter and a number with
// a decimal point, or a comment in parentheses, or '%'.
struct Block {
    std::vector<std::pair<char, std::string>> words;
    std::string comment;
};

std::vector<Block> parseProgram(const std::string& program) {
    std::vector<Block> blocks;
    std::istringstream lines(program);
    std::string line;
    while (std::getline(lines, line)) {
        Block block;
        std::size_t i = 0;
        while (i < line.size()) {
            const char c = line[i];
            if (c == ' ') {
                ++i;
            } else if (c == '(') {
                const std::size_t close = line.find(')', i);
                EXPECT_NE(close, std::string::npos) << line;
                block.comment = line.substr(i + 1, close - i - 1);
                EXPECT_EQ(block.comment.find('('), std::string::npos) << line;
                i = close + 1;
            } else if (c == '%') {
                block.words.emplace_back('%', "");
                ++i;
            } else {
                EXPECT_TRUE(c >= 'A' && c <= 'Z') << line;
                std::size_t end = i + 1;
                while (end < line.size() && line[end] != ' ') {
                    ++end;
                }
                block.words.emplace_back(c, line.substr(i + 1, end - i - 1));
                i = end;
            }
        }
        blocks.push_back(block);
    }
    return blocks;
}

std::string wordsOf(const Block& block) {
    std::string text;
    for (const auto& [letter, number] : block.words) {
        if (!text.empty()) {
            text += ' ';
        }
        text += letter;
        text += number;
    }
    return text;
}

TEST(BoltCircle, shouldWriteADrillingProgramThatReadsBackToTheExactPositions) {
    RandomRequests requests(11);
    for (int i = 0; i < 300; ++i) {
        const Request r = requests.next();
        BoltCircleArguments arguments = r.arguments();
        const int decimals = std::stoi(r.decimals);
        arguments.gcode = true;
        arguments.depth = "-12";
        arguments.retract = "3";
        arguments.feed = "250";
        const std::optional<BoltCirclePlan> plan = planOf(arguments);
        ASSERT_TRUE(plan) << describe(r);
        const std::string program = boltCircleGcode(*plan);
        for (const char c : program) {
            ASSERT_TRUE(c == '\n' || (c >= ' ' && c <= '~' && !(c >= 'a' && c <= 'z'))) << program;
        }
        const std::vector<Block> blocks = parseProgram(program);
        const std::size_t count = plan->holes.size();
        ASSERT_EQ(blocks.size(), count + 9) << program;
        EXPECT_EQ(wordsOf(blocks[0]), "%");
        for (std::size_t b = 1; b <= 4; ++b) {
            EXPECT_TRUE(blocks[b].words.empty() && !blocks[b].comment.empty()) << program;
        }
        EXPECT_NE(blocks[1].comment.find(r.count + (count == 1 ? " HOLE" : " HOLES")),
                  std::string::npos);
        EXPECT_EQ(wordsOf(blocks[5]), "G90 G17 G80");
        EXPECT_EQ(wordsOf(blocks[count + 6]), "G80");
        EXPECT_EQ(wordsOf(blocks[count + 7]), "M30");
        EXPECT_EQ(wordsOf(blocks[count + 8]), "%");

        const Big radius = r.radius ? Big(r.size) : Big(r.size) / Big(2);
        const Big halfUnit = Big("0.5") / power10(decimals) + Big("1e-30");
        for (std::size_t k = 0; k < count; ++k) {
            const Block& block = blocks[6 + k];
            std::size_t at = 0;
            if (k == 0) {
                ASSERT_EQ(block.words.size(), 7u) << program;
                EXPECT_EQ(block.words[0], std::make_pair('G', std::string("98")));
                EXPECT_EQ(block.words[1], std::make_pair('G', std::string("81")));
                const std::string unitsZero =
                    decimals == 0 ? "" : std::string(static_cast<std::size_t>(decimals), '0');
                EXPECT_EQ(block.words[4].second, "-12." + unitsZero);
                EXPECT_EQ(block.words[5].second, "3." + unitsZero);
                EXPECT_EQ(block.words[6].second, "250.");
                EXPECT_EQ(block.words[4].first, 'Z');
                EXPECT_EQ(block.words[5].first, 'R');
                EXPECT_EQ(block.words[6].first, 'F');
                at = 2;
            } else {
                ASSERT_EQ(block.words.size(), 2u) << program;
            }
            const auto& [xLetter, xText] = block.words[at];
            const auto& [yLetter, yText] = block.words[at + 1];
            ASSERT_EQ(xLetter, 'X');
            ASSERT_EQ(yLetter, 'Y');
            for (const std::string& text : {xText, yText}) {
                const std::size_t point = text.find('.');
                ASSERT_NE(point, std::string::npos) << text;
                EXPECT_EQ(text.size() - point - 1, static_cast<std::size_t>(decimals)) << text;
                EXPECT_FALSE(text[0] == '-' && text.find_first_of("123456789") == std::string::npos)
                    << text;
            }
            const Exact exact = exactAngle(r, static_cast<int>(k + 1));
            const Big x = Big(r.centreX) + radius * cosDegrees(exact.direction);
            const Big y = Big(r.centreY) + radius * sinDegrees(exact.direction);
            const Big dx = Big(xText) - x;
            const Big dy = Big(yText) - y;
            EXPECT_LE(mpfr_cmpabs(dx.get(), halfUnit.get()), 0) << xText << " " << describe(r);
            EXPECT_LE(mpfr_cmpabs(dy.get(), halfUnit.get()), 0) << yText << " " << describe(r);
        }
    }
}

TEST(BoltCircle, shouldWriteCsvAndShortProgramsAsDocumented) {
    const std::optional<BoltCirclePlan> plan = planOf({.count = "4",
                                                       .radius = "25.4",
                                                       .centre = "-0.5,1",
                                                       .clockwise = true,
                                                       .zero = "north",
                                                       .span = "90",
                                                       .decimals = "0",
                                                       .gcode = true,
                                                       .depth = "-3",
                                                       .retract = "1",
                                                       .feed = "80"});
    ASSERT_TRUE(plan);
    // 25.4 x sin 22.5° = 9.72 -> X 9.22 -> 9; hole 1 at X -0.5 rounds away from zero to -1.
    EXPECT_EQ(boltCircleGcode(*plan),
              "%\n"
              "(BOLT CIRCLE: 4 HOLES ON A DIAMETER OF 50.8, CENTRE X-0.5 Y1)\n"
              "(4 HOLES OVER 90 DEG, 22.5 DEG APART, THE LAST A STEP SHORT OF THE END)\n"
              "(CLOCKWISE FROM +Y, HOLE 1 AT 0 DEG)\n"
              "(UNITS, WORK OFFSET, TOOL AND SPINDLE AS SET ON THE CONTROL)\n"
              "G90 G17 G80\n"
              "G98 G81 X-1. Y26. Z-3. R1. F80.\n"
              "X9. Y24.\n"
              "X17. Y19.\n"
              "X23. Y11.\n"
              "G80\nM30\n%\n");
}

TEST(BoltCircle, shouldReadAndWriteExactDecimals) {
    EXPECT_EQ(exactDecimalText(*parseExactDecimal("0010.500")), "10.5");
    EXPECT_EQ(exactDecimalText(*parseExactDecimal("-0.000")), "0");
    EXPECT_EQ(exactDecimalText(*parseExactDecimal("-.25")), "-0.25");
    EXPECT_EQ(exactDecimalText(*parseExactDecimal("+7.")), "7");
    for (const char* bad :
         {"", "-", ".", "1e3", " 7", "7 ", "1,5", "1234567890", "0.1234567890", "--1", "1.2.3"}) {
        EXPECT_FALSE(parseExactDecimal(bad)) << bad;
    }
    EXPECT_EQ(unitsText(-50000, 4), "-5.0000");
    EXPECT_EQ(unitsText(-5, 4), "-0.0005");
    EXPECT_EQ(unitsText(0, 3), "0.000");
    EXPECT_EQ(unitsText(7, 0), "7");
    EXPECT_EQ(unitsAt({125, 1}, 3), 12500);
    EXPECT_EQ(unitsAt({1250, 2}, 1), 125);
    EXPECT_FALSE(unitsAt({125, 2}, 1));
}

}  // namespace
