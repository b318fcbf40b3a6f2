// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
// After <cstdint>, so that MPFR declares its intmax_t functions.
#include <mpfr.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/BoltCircle.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

constexpr std::size_t npos = std::string::npos;

// The independent yardstick: MPFR at 256 bits, from the texts as typed. Nothing of the engine's
// angle arithmetic, reduction or fixed point is used to work out what it should print.
class Big {
public:
    Big() { mpfr_init2(v_, 256); }
    explicit Big(const std::string& decimal) : Big() {
        mpfr_set_str(v_, decimal.c_str(), 10, MPFR_RNDN);
    }
    explicit Big(long n) : Big() { mpfr_set_si(v_, n, MPFR_RNDN); }
    Big(const Big& other) : Big() { mpfr_set(v_, other.v_, MPFR_RNDN); }
    Big& operator=(const Big&) = delete;
    ~Big() { mpfr_clear(v_); }
    mpfr_ptr get() { return v_; }
    mpfr_srcptr get() const { return v_; }

    friend Big operator+(const Big& a, const Big& b) { return apply(mpfr_add, a, b); }
    friend Big operator-(const Big& a, const Big& b) { return apply(mpfr_sub, a, b); }
    friend Big operator*(const Big& a, const Big& b) { return apply(mpfr_mul, a, b); }
    friend Big operator/(const Big& a, const Big& b) { return apply(mpfr_div, a, b); }
    Big floor() const {
        Big r;
        mpfr_floor(r.v_, v_);
        return r;
    }
    std::int64_t whole() const { return mpfr_get_sj(v_, MPFR_RNDN); }
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

Big trig(const Big& degrees, bool sine) {
    Big pi;
    mpfr_const_pi(pi.get(), MPFR_RNDN);
    Big r = degrees * pi / Big(180);
    (sine ? mpfr_sin : mpfr_cos)(r.get(), r.get(), MPFR_RNDN);
    return r;
}

Big power10(int n) {
    Big r;
    mpfr_ui_pow_ui(r.get(), 10, static_cast<unsigned long>(n), MPFR_RNDN);
    return r;
}

// The value rounded to `decimals`, halves away from zero, as a count of 10^-decimals. A value
// within 2^-120 of a half is taken as exactly on it: only the rational cases (multiples of 30°)
// come that close.
std::int64_t roundedUnits(const Big& value, int decimals) {
    const Big scaled = value * power10(decimals);
    const Big down = scaled.floor();
    const double distance = (scaled - down - Big("0.5")).toDouble();
    const bool up = std::abs(distance) < 0x1p-120 ? mpfr_sgn(scaled.get()) > 0 : distance > 0;
    return down.whole() + (up ? 1 : 0);
}

// A request's texts as tests write them, by field; an absent option is std::nullopt.
struct BoltCircleArguments {
    std::string_view count;
    std::optional<std::string_view> diameter = {};
    std::optional<std::string_view> radius = {};
    std::optional<std::string_view> centre = {};
    std::optional<std::string_view> start = {};
    bool clockwise = false;
    std::optional<std::string_view> zero = {};
    std::optional<std::string_view> span = {};
    bool ends = false;
    std::optional<std::string_view> decimals = {};
    bool csv = false;
    bool gcode = false;
    std::optional<std::string_view> depth = {};
    std::optional<std::string_view> retract = {};
    std::optional<std::string_view> feed = {};

    Inputs inputs() const {
        Inputs texts{{"count", count}};
        const std::pair<const char*, const std::optional<std::string_view>*> options[] = {
            {"diameter", &diameter}, {"radius", &radius}, {"centre", &centre},
            {"start", &start},       {"zero", &zero},     {"span", &span},
            {"decimals", &decimals}, {"depth", &depth},   {"retract", &retract},
            {"feed", &feed}};
        for (const auto& [id, text] : options) {
            if (*text) {
                texts.set(id, std::string(**text));
            }
        }
        for (const auto& [id, on] : {std::pair{"cw", clockwise}, std::pair{"ends", ends},
                                     std::pair{"csv", csv}, std::pair{"gcode", gcode}}) {
            if (on) {
                texts.set(id, "");
            }
        }
        return texts;
    }
};

BoltCirclePlan planOf(const BoltCircleArguments& arguments) {
    return planned(planBoltCircle(arguments.inputs()));
}

std::string programOf(const BoltCircleArguments& arguments) {
    const Made made = planned(makeRequest(kBoltCircleCalculation, arguments.inputs()));
    if (!made.gcode->ok()) {
        throw std::runtime_error("no program: " + made.gcode->refusal.text);
    }
    return made.gcode->write();
}

// The request as a drilling program, with the depth, retract plane and feed it does not give.
BoltCircleArguments drilled(BoltCircleArguments a) {
    a.gcode = true;
    a.depth = a.depth.value_or("-12");
    a.retract = a.retract.value_or("3");
    a.feed = a.feed.value_or("250");
    return a;
}

// Holes every 30° from east: the cosines and sines users see as 24.9999 or -0.0000 elsewhere.
TEST(BoltCircle, shouldGiveTheComplainedOfAnglesExactly) {
    const struct {
        const char* radius;
        std::vector<std::string> rows;  // 30°, 90°, 120°, 180°
    } cases[] = {
        {"50",
         {"2,30.0000,43.3013,25.0000", "4,90.0000,0.0000,50.0000", "5,120.0000,-25.0000,43.3013",
          "7,180.0000,-50.0000,0.0000"}},
        {"100",
         {"2,30.0000,86.6025,50.0000", "4,90.0000,0.0000,100.0000", "5,120.0000,-50.0000,86.6025",
          "7,180.0000,-100.0000,0.0000"}},
    };
    for (const auto& c : cases) {
        const std::string csv = boltCircleCsv(planOf({.count = "12", .radius = c.radius}));
        for (const std::string& row : c.rows) {
            EXPECT_NE(csv.find("\n" + row + ","), npos) << row << "\n" << csv;
        }
        EXPECT_EQ(csv.find("-0.0000"), npos) << csv;
    }
    // The same angles reached from north, clockwise, from a start past a turn.
    EXPECT_EQ(
        boltCircleCsv(planOf(
            {.count = "3", .radius = "50", .start = "-390", .clockwise = true, .zero = "north"})),
        "hole,angle,x,y,dx,dy\n1,330.0000,-25.0000,43.3013,,\n"
        "2,90.0000,50.0000,0.0000,75.0000,-43.3013\n"
        "3,210.0000,-25.0000,-43.3013,-75.0000,-43.3013\n");
}

// What each arc means, and where its last hole and the chord between neighbours come out.
TEST(BoltCircle, shouldSpreadHolesOverAnArcAsItSays) {
    const struct {
        BoltCircleArguments arguments;
        const char* expected;
    } cases[] = {
        {{.count = "7", .radius = "50", .span = "90", .ends = true},
         "7 holes over 90°, a hole at each end, 15° apart; 90.0000; 13.0526"},
        {{.count = "4", .radius = "50", .span = "90"},
         "4 holes over 90°, 22.5° apart, the last a step short of the end; 67.5000; 19.5090"},
        {{.count = "7", .radius = "50"},
         "7 holes over the full circle, 51.4286° apart (exactly 360/7°); 308.5714; 43.3884"},
        {{.count = "3", .radius = "50", .start = "350", .span = "22.5", .ends = true},
         "3 holes over 22.5°, a hole at each end, 11.25° apart; 12.5000; 9.8017"},
        {{.count = "1", .radius = "50", .span = "0"}, "1 hole; 0.0000; none"},
        {{.count = "2", .radius = "50", .span = "360"},
         "2 holes over 360°, 180° apart, the last a step short of the end; 180.0000; 100.0000"},
    };
    for (const auto& c : cases) {
        const BoltCirclePlan plan = planOf(c.arguments);
        EXPECT_EQ(boltCircleMeaning(plan) + "; " + decimalDegreesText(plan.holes.back().angle, 4) +
                      "; " + (plan.chord ? unitsText(*plan.chord, 4) : "none"),
                  c.expected);
    }
}

// The rules between inputs; each input's own limits are the description's (CalculationTest).
TEST(BoltCircle, shouldRefuseInputsThatDoNotGoTogetherNamingTheField) {
    const struct {
        BoltCircleArguments arguments;  // on a diameter of 100 unless it gives a size
        const char* about;
        std::string_view message;
    } cases[] = {
        {{.count = "6", .diameter = "100", .radius = "50"}, "radius", kBoltSizeTwiceMessage},
        {{.count = "6", .span = "0"}, "span", kBoltZeroSpanMessage},
        {{.count = "6", .ends = true}, "ends", kEndsWithoutSpanMessage},
        {{.count = "6", .span = "360", .ends = true}, "ends", kEndsFullMessage},
        {{.count = "1", .span = "90", .ends = true}, "ends", kBoltEndsOneHoleMessage},
    };
    for (const auto& c : cases) {
        BoltCircleArguments arguments = c.arguments;
        if (!arguments.diameter && !arguments.radius) {
            arguments.diameter = "100";
        }
        expectRefused(planBoltCircle(arguments.inputs()), c.about, c.message);
    }
    expectRefused(planBoltCircle(Inputs{{"count", "6"}}), "diameter", kBoltSizeMissingMessage);
    EXPECT_TRUE(planBoltCircle(Inputs{{"count", "1"}, {"radius", "5"}, {"span", "0"}}).ok());
}

// The drilling cycle is the program's alone: the table is made whatever it holds.
TEST(BoltCircle, shouldRefuseAProgramWithoutAWholeCycleAndKeepTheTable) {
    const struct {
        BoltCircleArguments arguments;
        const char* about;
        std::string_view text;
        std::string_view limit;
        std::string_view value;
    } cases[] = {
        {{.count = "6", .depth = "-5", .feed = "100"},
         "retract",
         "a drilling program needs {retract}, the Z where each hole's feed starts",
         "",
         ""},
        {{.count = "6", .retract = "2", .feed = "100"},
         "depth",
         "a drilling program needs {depth}, the Z of the bottom of the holes",
         "",
         ""},
        {{.count = "6", .depth = "-5", .retract = "2"},
         "feed",
         "a drilling program needs {feed}, the drilling feed",
         "",
         ""},
        {drilled({.count = "6", .decimals = "1", .depth = "-5.25"}), "depth",
         "{depth} may have at most 1 decimals, as many as {decimals} gives the coordinates; "
         "-5.25 has 2",
         "1", "2"},
        {drilled({.count = "6", .depth = "2", .retract = "2"}), "retract",
         "{retract} must lie above {depth}; 2 is not above 2", "2", "2"},
    };
    for (const auto& c : cases) {
        BoltCircleArguments arguments = c.arguments;
        arguments.diameter = "100";
        const Made made = planned(makeRequest(kBoltCircleCalculation, arguments.inputs()));
        EXPECT_TRUE(made.sheet.ok() && made.csv->ok()) << c.text;
        ASSERT_FALSE(made.gcode->ok()) << c.text;
        EXPECT_EQ(made.gcode->refusal.input, c.about);
        EXPECT_EQ(made.gcode->refusal.text, c.text);
        EXPECT_EQ(made.gcode->refusal.limit, c.limit);
        EXPECT_EQ(made.gcode->refusal.value, c.value);
    }
}

// A random request of any shape, as the texts typed.
struct Request {
    std::string count, size, centreX, centreY, centre, start, span, decimals;
    bool radius = false, ends = false, clockwise = false, north = false;

    BoltCircleArguments arguments() const {
        BoltCircleArguments a{.count = count,
                              .centre = centre,
                              .clockwise = clockwise,
                              .ends = ends,
                              .decimals = decimals};
        (radius ? a.radius : a.diameter) = size;
        a.start = start.empty() ? std::nullopt : std::optional<std::string_view>(start);
        a.span = span.empty() ? std::nullopt : std::optional<std::string_view>(span);
        a.zero = north ? std::optional<std::string_view>("north") : std::nullopt;
        return a;
    }
    // The direction of hole k from east counter-clockwise, in degrees.
    Big direction(int k) const {
        const int n = std::stoi(count);
        const Big step = Big(span.empty() ? "360" : span) / Big(ends ? n - 1 : n);
        const Big angle = Big(start.empty() ? "0" : start) + step * Big(k - 1);
        const Big zero(north ? 90L : 0L);
        return clockwise ? zero - angle : zero + angle;
    }
    Big radiusValue() const { return radius ? Big(size) : Big(size) / Big(2); }
};

Request randomRequest(std::mt19937_64& random) {
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto digits = [&](int n) {
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += static_cast<char>('0' + pick(0, 9));
        }
        return text;
    };
    const auto decimal = [&](bool sign, int whole, int decimals) {
        std::string text = sign && pick(0, 1) == 1 ? "-" : "";
        text += whole == 0 ? "0" : digits(whole);
        return decimals > 0 ? text + "." + digits(decimals) : text;
    };
    Request r;
    const int count = pick(0, 3) == 0 ? pick(1, 4) : pick(1, 60);
    r.count = std::to_string(count);
    r.radius = pick(0, 1) == 1;
    do {
        r.size = decimal(false, pick(0, 9), pick(0, 9));
        // A radius stays below 500000000, so that its diameter has at most 9 digits.
    } while (r.size.find_first_of("123456789") == npos ||
             (r.radius && std::min(r.size.find('.'), r.size.size()) == 9 && r.size[0] >= '5'));
    r.centreX = decimal(true, pick(0, 9), pick(0, 9));
    r.centreY = decimal(true, pick(0, 9), pick(0, 9));
    r.centre = r.centreX + "," + r.centreY;
    const int startShape = pick(0, 3);
    r.start = startShape == 0   ? ""
              : startShape == 1 ? std::to_string(15 * pick(-60, 60))
                                : decimal(true, pick(1, 4), pick(0, 9));
    const int spanShape = pick(0, 3);
    r.span = spanShape == 0   ? ""
             : spanShape == 1 ? std::to_string(15 * pick(1, 24))
                              : std::to_string(pick(0, 359)) + "." + digits(pick(1, 9));
    r.ends = !r.span.empty() && count > 1 && r.span != "360" && pick(0, 1) == 1;
    r.clockwise = pick(0, 1) == 1;
    r.north = pick(0, 1) == 1;
    r.decimals = std::to_string(pick(0, 8));
    return r;
}

// The program read back a line at a time: a comment line, '%', or words of a letter and a number.
std::vector<std::vector<std::string>> wordsOf(const std::string& program) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(program);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> words;
        if (line.front() == '(') {
            EXPECT_TRUE(line.back() == ')' && line.find_first_of("()", 1) == line.size() - 1)
                << line;
            words.push_back("(");
        } else {
            std::istringstream split(line);
            for (std::string word; split >> word;) {
                EXPECT_TRUE(word == "%" || (word[0] >= 'A' && word[0] <= 'Z')) << line;
                words.push_back(word);
            }
        }
        lines.push_back(words);
    }
    return lines;
}

// Random requests of every shape as drilling programs. Each hole's X and Y must be its exact
// position (MPFR) correctly rounded, and the program, parsed back word by word, must give it within
// half a unit of the last decimal, in absolute positions inside one canned cycle.
TEST(BoltCircle, shouldRoundEveryCoordinateCorrectlyAndProgramIt) {
    using Words = std::vector<std::string>;
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 1500; ++i) {
        const Request r = randomRequest(random);
        const BoltCirclePlan plan = planOf(drilled(r.arguments()));
        const std::string program = programOf(drilled(r.arguments()));
        ASSERT_EQ(program.find_first_of("abcdefghijklmnopqrstuvwxyz\r\t"), npos) << program;
        const std::vector<Words> lines = wordsOf(program);
        const auto count = static_cast<std::size_t>(std::stoi(r.count));
        ASSERT_EQ(plan.holes.size(), count);
        ASSERT_EQ(lines.size(), count + 11) << program;
        // The safe start: the rapid to the clearance, here the retract plane, before any X or Y.
        EXPECT_EQ(std::vector<Words>(lines.begin(), lines.begin() + 8),
                  (std::vector<Words>{
                      {"%"},
                      {"("},
                      {"("},
                      {"("},
                      {"("},
                      {"("},
                      {"G90", "G17", "G80"},
                      {"G0", "Z3." + std::string(static_cast<std::size_t>(std::stoi(r.decimals)),
                                                 '0')}}));
        EXPECT_EQ(std::vector<Words>(lines.end() - 3, lines.end()),
                  (std::vector<Words>{{"G80"}, {"M30"}, {"%"}}));
        EXPECT_NE(program.find("(BOLT CIRCLE: " + r.count + (count == 1 ? " HOLE " : " HOLES ")),
                  npos);

        const int decimals = std::stoi(r.decimals);
        const std::string zeros(static_cast<std::size_t>(decimals), '0');
        const Big halfUnit = Big("0.5") / power10(decimals) + Big("1e-30");
        for (std::size_t k = 0; k < count; ++k) {
            Words words = lines[8 + k];
            if (k == 0) {
                ASSERT_EQ(words.size(), 7u) << program;
                EXPECT_EQ(Words(words.begin(), words.begin() + 2), (Words{"G98", "G81"}));
                EXPECT_EQ(Words(words.begin() + 4, words.end()),
                          (Words{"Z-12." + zeros, "R3." + zeros, "F250."}));
                words = {words[2], words[3]};
            }
            ASSERT_EQ(words.size(), 2u) << program;
            const Big direction = r.direction(static_cast<int>(k + 1));
            for (const bool sine : {false, true}) {
                const Big exact =
                    Big(sine ? r.centreY : r.centreX) + r.radiusValue() * trig(direction, sine);
                ASSERT_EQ(sine ? plan.holes[k].y : plan.holes[k].x, roundedUnits(exact, decimals))
                    << "request " << i << ", hole " << k + 1;
                const std::string& word = words[sine ? 1 : 0];
                ASSERT_EQ(word[0], sine ? 'Y' : 'X') << program;
                const std::string number = word.substr(1);
                ASSERT_EQ(number.size() - number.find('.') - 1, zeros.size()) << word;
                EXPECT_FALSE(number[0] == '-' && number.find_first_of("123456789") == npos) << word;
                EXPECT_LE(mpfr_cmpabs((Big(number) - exact).get(), halfUnit.get()), 0)
                    << word << " in request " << i;
            }
        }
    }
}

// Values a few parts in 10^10 from a rounding boundary, where long double cannot tell the side:
// a radius of nine digits and nine decimals, rounded to whole units, with the centre chosen so
// that centre + radius x cos lands next to a half.
TEST(BoltCircle, shouldDecideValuesNextToARoundingBoundary) {
    const std::string radius = "987654321.987654321";
    for (const char* angle : {"15", "22.5", "1", "7.3", "44.999999999", "359.9", "123.456789"}) {
        const Big r = Big(radius) * trig(Big(angle), false);
        // The centre: a half minus r, cut to nine decimals, then nudged by a few 10^-9.
        const std::int64_t centre = ((r.floor() + Big("0.5") - r) * power10(9)).whole();
        for (int nudge = -3; nudge <= 3; ++nudge) {
            const std::int64_t units = centre + nudge;
            char text[64];
            std::snprintf(text, sizeof text, "%s0.%09lld", units < 0 ? "-" : "",
                          static_cast<long long>(units < 0 ? -units : units));
            const std::optional<std::int64_t> got =
                roundedCoordinate(*parseExactDecimal(text), *parseExactDecimal(radius),
                                  *Angle::parseDecimal(angle), Trig::Cos, 0);
            ASSERT_TRUE(got) << angle << " " << text;
            EXPECT_EQ(*got, roundedUnits(Big(text) + r, 0)) << angle << " centre " << text;
        }
    }
}

// The long double estimate stays inside its own error bound.
TEST(BoltCircle, shouldBoundTheLongDoubleEstimate) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> billionths(1, 45'000'000'000);
    for (int i = 0; i < 20000; ++i) {
        const std::int64_t numerator = billionths(random);
        for (const bool sine : {false, true}) {
            const detail::TrigEstimate estimate =
                detail::estimateTrig({Angle::ratio(numerator, 1'000'000'000), sine, false});
            Big got;
            Big bound;
            mpfr_set_ld(got.get(), estimate.value, MPFR_RNDN);
            mpfr_set_ld(bound.get(), estimate.error, MPFR_RNDN);
            const Big exact = trig(Big(static_cast<long>(numerator)) / Big(1'000'000'000L), sine);
            ASSERT_LE(mpfr_cmpabs((got - exact).get(), bound.get()), 0) << numerator << sine;
        }
    }
}

// The best rational approximations p/q of sin or cos a with q below 2^60 lie closer than 2^-118:
// 128 bits of fixed point cannot tell the side, 256 can, and it is the side MPFR gives.
TEST(BoltCircle, shouldWidenThePrecisionUntilTheSideIsKnown) {
    __extension__ using I128 = __int128;
    int undecidedAt128 = 0;
    for (const char* angle : {"1", "15", "22.5", "29.999", "30.000000001", "37", "44.5", "45"}) {
        for (const bool sine : {false, true}) {
            const Big f = trig(Big(angle), sine);
            // The continued fraction convergents of f, the last with q below 2^60.
            I128 p0 = 0, q0 = 1, p1 = 1, q1 = 0;
            for (Big rest = f;;) {
                const Big whole = rest.floor();
                const I128 p2 = whole.whole() * p1 + p0;
                const I128 q2 = whole.whole() * q1 + q0;
                if (q2 >= (static_cast<I128>(1) << 60)) {
                    break;
                }
                p0 = p1, q0 = q1, p1 = p2, q1 = q2;
                mpfr_ui_div(rest.get(), 1, (rest - whole).get(), MPFR_RNDN);
            }
            const Big ratio = Big(static_cast<long>(p1)) / Big(static_cast<long>(q1));
            const int side = mpfr_cmp(f.get(), ratio.get()) > 0 ? 1 : -1;
            const detail::FoldedTrig folded{*Angle::parseDecimal(angle), sine, false};
            const int at128 = detail::compareTrigAt(folded, p1, q1, 128);
            EXPECT_TRUE(at128 == 0 || at128 == side) << angle << " " << sine;
            undecidedAt128 += at128 == 0 ? 1 : 0;
            EXPECT_EQ(detail::compareTrigAt(folded, p1, q1, 256), side) << angle << " " << sine;
            // On a radius of q1 x 10^-9 moved by b x 10^-9, the coordinate lies within 2^-118 of a
            // rounding boundary at 8 decimals, and the whole rounding must still decide it.
            const std::int64_t b = ((15 - static_cast<std::int64_t>(p1 % 10)) % 10);
            if (at128 == 0 && q1 < 1'000'000'000'000'000'000) {
                EXPECT_EQ(
                    roundedCoordinate({b, 9}, {static_cast<std::int64_t>(q1), 9},
                                      *Angle::parseDecimal(angle), sine ? Trig::Sin : Trig::Cos, 8),
                    (static_cast<std::int64_t>(p1) + b + 5 * side) / 10)
                    << angle << " " << sine;
            }
        }
    }
    EXPECT_GT(undecidedAt128, 4);
}

TEST(BoltCircle, shouldWriteShortProgramsWithAPointOnEveryNumber) {
    // 25.4 x sin 22.5° = 9.72 -> X 9.22 -> 9; hole 1 at X -0.5 rounds away from zero to -1.
    const BoltCircleArguments arguments{.count = "4",
                                        .radius = "25.4",
                                        .centre = "-0.5,1",
                                        .clockwise = true,
                                        .zero = "north",
                                        .span = "90",
                                        .decimals = "0"};
    EXPECT_EQ(programOf(drilled(arguments)),
              "%\n(BOLT CIRCLE: 4 HOLES ON A DIAMETER OF 50.8, CENTRE X-0.5 Y1)\n"
              "(4 HOLES OVER 90 DEG, 22.5 DEG APART, THE LAST A STEP SHORT OF THE END)\n"
              "(CLOCKWISE FROM +Y, HOLE 1 AT 0 DEG)\n"
              "(G81 DRILLING TO Z-12. FROM R3. AT F250., CLEARANCE Z3.)\n"
              "(UNITS AS SET ON THE CONTROL, NOT CONVERTED; WORK OFFSET, TOOL AND SPINDLE TOO)\n"
              "G90 G17 G80\nG0 Z3.\nG98 G81 X-1. Y26. Z-12. R3. F250.\nX9. Y24.\nX17. Y19.\n"
              "X23. Y11.\n"
              "G80\nM30\n%\n");
}

TEST(BoltCircle, shouldReadAndWriteExactDecimals) {
    std::string texts;
    for (const char* typed : {"0010.500", "-0.000", "-.25", "+7."}) {
        texts += exactDecimalText(*parseExactDecimal(typed)) + " ";
    }
    EXPECT_EQ(texts, "10.5 0 -0.25 7 ");
    EXPECT_EQ(unitsAt({1250, 2}, 1), 125);
    EXPECT_FALSE(unitsAt({125, 2}, 1));
}

}  // namespace
