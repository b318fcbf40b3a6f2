// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Calculation.h"
#include "engine/autotests/EngineTestSupport.h"

using namespace morvanta;

namespace {

// A small control that reads a program as Fanuc, LinuxCNC and Grbl do and drills what it says:
// G0 and G1 moves, the canned cycles G81, G82 and G83 with their modal Z, R, Q, P and F, G98 and
// G99, G80 and G4. It keeps the holes drilled, in order, with the depth each reached,
// and the faults a machinist would see: a move in X or Y before the tool was lifted to the
// clearance, or below it.
struct Drilled {
    std::string x, y;
    double bottom = 0;
    double dwell = 0;  // seconds
    int pecks = 0;
};

struct Control {
    bool milliseconds;  // a G82's P in milliseconds (Fanuc), else in seconds
    double clearance;   // the lowest Z an X or Y move may be made at

    std::vector<Drilled> holes{};
    std::vector<std::string> faults{};
    bool z = false;  // whether the Z stands anywhere known
    double at = 0;   // the Z
    std::string x{}, y{};
    int motion = 0;  // 0, 1, 80, 81, 82, 83
    bool back98 = true;
    double initial = 0, r = 0, depth = 0, q = 0, p = 0;

    void moveXY(const std::string& toX, const std::string& toY) {
        if (!z || at < clearance - 1e-9) {
            faults.push_back("X" + toX + " Y" + toY + " at " + (z ? std::to_string(at) : "no Z"));
        }
        x = toX;
        y = toY;
    }

    // One hole of a canned cycle at the present X and Y.
    void cycle() {
        Drilled hole{x, y, depth, motion == 82 ? p / (milliseconds ? 1000 : 1) : 0, 0};
        if (motion == 83) {
            for (double down = r - q; down > depth + 1e-9; down -= q) {
                ++hole.pecks;
            }
            ++hole.pecks;
        }
        if (!z || initial < r) {
            faults.push_back("a cycle from below its R plane");
        }
        holes.push_back(hole);
        at = back98 ? initial : r;
    }

    void line(const std::string& text) {
        std::map<char, std::string> words;
        std::vector<int> codes;
        std::istringstream in(text.substr(0, text.find('(')));
        for (std::string word; in >> word;) {
            if (word[0] == 'G') {
                codes.push_back(static_cast<int>(std::lround(std::stod(word.substr(1)) * 10)));
            } else if (word != "%") {
                words[word[0]] = word.substr(1);
            }
        }
        bool dwell = false;
        for (const int code : codes) {
            if (code == 0 || code == 10 || code == 800 || (code >= 810 && code <= 830)) {
                motion = code / 10;
                if (code >= 810) {
                    initial = at;
                }
            }
            back98 = code == 980 ? true : code == 990 ? false : back98;
            dwell = dwell || code == 40;
        }
        const auto number = [&](char letter) { return std::stod(words.at(letter)); };
        if (dwell) {
            holes.back().dwell = number('P');
            return;
        }
        for (const char letter : {'R', 'Q', 'P'}) {
            if (words.count(letter) != 0) {
                (letter == 'R' ? r : letter == 'Q' ? q : p) = number(letter);
            }
        }
        const bool xy = words.count('X') != 0 || words.count('Y') != 0;
        const std::string toX = words.count('X') != 0 ? words.at('X') : x;
        const std::string toY = words.count('Y') != 0 ? words.at('Y') : y;
        if (xy) {
            moveXY(toX, toY);
        }
        if (motion >= 81) {
            depth = words.count('Z') != 0 ? number('Z') : depth;
            if (xy) {
                cycle();
            }
            return;
        }
        if (words.count('Z') != 0) {
            const double to = number('Z');
            if (motion == 1 && to < at) {
                // Feeding down: a new hole where the drill has not been down here before.
                if (holes.empty() || holes.back().x != x || holes.back().y != y) {
                    holes.push_back({x, y, to, 0, 0});
                }
                holes.back().bottom = std::min(holes.back().bottom, to);
                ++holes.back().pecks;
            }
            at = to;
            z = true;
        }
    }

    void run(const std::string& program) {
        std::istringstream in(program);
        for (std::string text; std::getline(in, text);) {
            line(text);
        }
    }
};

std::string program(const Calculation& calculation, const Inputs& inputs) {
    const Made made = planned(makeRequest(calculation, inputs));
    const Output& out = *made.gcode;
    EXPECT_TRUE(out.ok()) << out.refusal.text;
    return out.ok() ? out.write() : std::string();
}

// Every pattern, every control and every cycle: the program read back drills the holes of the
// table in its order, to the depth, with the dwell and pecks asked, and never moves in X or Y
// below the clearance, the first move included; the picture draws each hole, numbered, where the
// table puts it. The holes left out are in none of them.
TEST(DrillProgram, shouldDrillAndDrawWhatTheTableSaysOnEveryControl) {
    const struct {
        const char* name;
        const char* words;
        std::size_t x;  // the CSV's column of X
    } patterns[] = {
        {"coords", "count=6 diameter=100 centre=10,-5 start=15 omit=2", 2},
        {"line", "count=5 pitch=10 angle=45 omit=2", 1},
        {"grid", "rows=3 columns=4 pitch=10,20 angle=30 omit=3,7-9 from=2", 3},
    };
    const struct {
        const char* dialect;
        const char* cycle;
        double dwell;
        int pecks;
    } runs[] = {
        {"fanuc", "", 0, 0},
        {"fanuc", "dwell=0.25", 0.25, 0},
        {"linuxcnc", "dwell=1.5", 1.5, 0},
        {"grbl", "dwell=0.5", 0.5, 0},
        {"fanuc", "peck=2.5", 0, 3},
        {"linuxcnc", "peck=4", 0, 2},
        {"grbl", "peck=3.5", 0, 2},  // from R2 by 3.5: the second peck on the depth itself
    };
    for (const auto& pattern : patterns) {
        const Calculation& calculation = *findCalculation(pattern.name);
        const Made made = planned(makeRequest(calculation, request(pattern.words)));
        const auto table = csvRows(made.csv->write());
        std::vector<std::string> drawn, listed;
        for (const SketchHole& hole : made.sketch().holes) {
            char cell[80];
            std::snprintf(cell, sizeof cell, "%lld:%.4f,%.4f", static_cast<long long>(hole.number),
                          hole.x, hole.y);
            drawn.push_back(cell);
            EXPECT_GT(hole.radius, 0) << pattern.name;
        }
        for (std::size_t i = 1; i < table.size(); ++i) {
            listed.push_back(table[i][0] + ":" + table[i][pattern.x] + "," +
                             table[i][pattern.x + 1]);
        }
        EXPECT_EQ(drawn, listed) << pattern.name;
        for (const auto& run : runs) {
            const std::string text = program(
                calculation, request(std::string(pattern.words) +
                                     " gcode depth=-5 retract=2 feed=100 clearance=15 dialect=" +
                                     run.dialect + " " + run.cycle));
            Control control{.milliseconds = std::string(run.dialect) == "fanuc", .clearance = 15};
            control.run(text);
            const std::string about =
                std::string(pattern.name) + " " + run.dialect + " " + run.cycle;
            EXPECT_EQ(control.faults, std::vector<std::string>{}) << about << "\n" << text;
            ASSERT_EQ(control.holes.size() + 1, table.size()) << about << "\n" << text;
            for (std::size_t i = 0; i < control.holes.size(); ++i) {
                const Drilled& hole = control.holes[i];
                EXPECT_EQ(hole.x + "," + hole.y,
                          table[i + 1][pattern.x] + "," + table[i + 1][pattern.x + 1])
                    << about << " hole " << i;
                EXPECT_EQ(hole.bottom, -5) << about;
                EXPECT_EQ(hole.dwell, run.dwell) << about;
                EXPECT_EQ(std::max(hole.pecks, 1), std::max(run.pecks, 1)) << about;
            }
        }
    }
}

// Each case's words added to a line of 2 holes 10 apart; `cycle` drills them to Z-3 from R1 at
// F80. The cycle is the program's alone: the table is made whatever it holds.
TEST(DrillProgram, shouldRefuseACycleThatCannotRun) {
    const std::string cycle = "depth=-3 retract=1 feed=80 ";
    const struct {
        std::string given;
        const char* expected;
    } cases[] = {
        {"depth=-3 feed=80",
         "retract: a drilling program needs {retract}, the Z where each hole's feed starts"},
        {"retract=1 feed=80",
         "depth: a drilling program needs {depth}, the Z of the bottom of the holes"},
        {"depth=-3 retract=1", "feed: a drilling program needs {feed}, the drilling feed"},
        {cycle + "decimals=1 depth=-5.25",
         "depth: {depth} may have at most 1 decimals, as many as {decimals} gives the coordinates; "
         "-5.25 has 2"},
        {cycle + "clearance=0.9999",
         "clearance: {clearance} must be at or above {retract}; 0.9999 is below 1"},
        {cycle + "peck=1 dwell=1", "dwell: give either {peck} or {dwell}, not both"},
        {cycle + "dwell=0.0001", "dwell: {dwell} may have at most 3 decimals; 0.0001 has 4"},
        {cycle + "name=Part(A)",
         "name: {name} may hold letters, digits, spaces and - _ . , / only; ( is not one of them"},
        {cycle + "retract=-3", "retract: {retract} must lie above {depth}; -3 is not above -3"},
        // Each side of a limit: the clearance on the retract plane and a name of 40 characters.
        {cycle + "clearance=1 name=AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", ": "},
    };
    for (const auto& c : cases) {
        const Inputs inputs = request("count=2 pitch=10 gcode " + c.given);
        const Result<Made> made = makeRequest(*findCalculation("line"), inputs);
        EXPECT_TRUE(!made.ok() || (made.value().sheet.ok() && made.value().csv->ok())) << c.given;
        const Refusal refusal = made.ok() ? made.value().gcode->refusal : made.refusal();
        EXPECT_EQ(refusal.input + ": " + refusal.text, c.expected);
    }
}

}  // namespace
