// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/Calculation.h"
#include "engine/ExactDecimal.h"
#include "engine/Result.h"

namespace morvanta {

// The drilling program of every hole pattern (bolt circle, line, grid): holes given by their X and
// Y, drilled one after another with a canned cycle, written for the control that runs it.
//
// Every program starts safe: absolute positions in the XY plane, any cycle cancelled, and a rapid
// to the clearance height before the first move in X and Y, so that the tool never crosses the
// work at whatever height it stood. The cycle returns to that height between holes (G98), from
// where it moves to the next hole. Numbers are written as given, never converted: --units only
// says which units they are (G21 mm, G20 inch); without it a comment says the units are the
// control's.
//
// `coords 2 --radius 10 --gcode --depth -3 --retract 1 --feed 80 --clearance 5 --units mm` gives
//   %
//   (BOLT CIRCLE: 2 HOLES ON A DIAMETER OF 20, CENTRE X0 Y0)
//   ...
//   (G81 DRILLING TO Z-3.0000 FROM R1.0000 AT F80., CLEARANCE Z5.0000)
//   (UNITS MM; WORK OFFSET, TOOL AND SPINDLE AS SET ON THE CONTROL)
//   G90 G17 G80 G21
//   G0 Z5.0000
//   G98 G81 X10.0000 Y0.0000 Z-3.0000 R1.0000 F80.
//   X-10.0000 Y0.0000
//   G80
//   M30
//   %
// Fanuc and Haas take a dwell's P in milliseconds, LinuxCNC in seconds; Grbl has no canned
// cycles, so there every hole is written out as the moves a cycle makes (G0 over the hole, G0 to
// the retract plane, G1 to the depth, a G4 dwell, G0 back to the clearance), pecks fed down again
// from the retract plane each time.

enum class DrillCycle { Drill, Dwell, Peck };  // G81, G82, G83
enum class DrillDialect { Fanuc, LinuxCnc, Grbl };

// How the holes are drilled, every Z in units of 10^-decimals.
struct Drilling {
    int decimals = 4;
    std::int64_t depth = 0;
    std::int64_t retract = 0;
    std::int64_t clearance = 0;
    ExactDecimal feed;
    DrillCycle cycle = DrillCycle::Drill;
    std::int64_t peck = 0;  // with DrillCycle::Peck
    ExactDecimal dwell;     // with DrillCycle::Dwell, in seconds
    std::string units;      // "mm", "in", or "" for the control's
    DrillDialect dialect = DrillDialect::Fanuc;
    std::string name;  // "" for none
};

// One hole to drill: its number in the pattern and its X and Y in units of 10^-decimals.
struct DrillHole {
    std::int64_t number = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
};

inline constexpr Choice kUnitChoices[] = {
    {"control", "As set on the control"}, {"mm", "Millimetres (G21)"}, {"in", "Inches (G20)"}};
inline constexpr Choice kDialectChoices[] = {
    {"fanuc", "Fanuc or Haas"}, {"linuxcnc", "LinuxCNC"}, {"grbl", "Grbl"}};
inline constexpr std::size_t kMaxProgramName = 40;

// The inputs of a drilling program, the same for every pattern.
// clang-format off
inline constexpr Input kDepthInput = Input{
    "depth", "Depth Z", "--depth", "Z", InputKind::Decimal, "", "", kAnyValue,
    "the Z of the bottom of the holes, such as -5"}.onlyWith("gcode");
inline constexpr Input kRetractInput = Input{
    "retract", "Retract plane", "--retract", "R", InputKind::Decimal, "", "", kAnyValue,
    "the Z where each hole's feed starts (R), above the depth, such as 2"}.onlyWith("gcode");
inline constexpr Input kFeedInput = Input{
    "feed", "Feed", "--feed", "F", InputKind::Decimal, "", "", above(0),
    "the drilling feed, such as 100"}.onlyWith("gcode");
inline constexpr Input kClearanceInput = Input{
    "clearance", "Clearance Z", "--clearance", "Z", InputKind::Decimal, "", "", kAnyValue,
    "the Z the tool rises to before the first hole and returns to between holes (G98), at or "
    "above the retract plane; default the retract plane"}.onlyWith("gcode");
inline constexpr Input kPeckInput = Input{
    "peck", "Peck depth", "--peck", "Q", InputKind::Decimal, "", "", above(0),
    "peck drilling (G83): feed this deep at a time, back out to the retract plane between pecks"}
    .onlyWith("gcode");
inline constexpr Input kDwellInput = Input{
    "dwell", "Dwell", "--dwell", "S", InputKind::Decimal, "s", "", above(0).places(2, 3),
    "a pause of this many seconds at the bottom of each hole (G82)"}.onlyWith("gcode");
inline constexpr Input kUnitsInput = Input{
    "units", "Units", "--units", "", InputKind::Choice, "", "control", kAnyValue,
    "mm writes G21 at the start and in G20, the numbers not converted; control leaves the units "
    "to the control and says so in a comment"}.offering(kUnitChoices).onlyWith("gcode");
inline constexpr Input kDialectInput = Input{
    "dialect", "Control", "--dialect", "", InputKind::Choice, "", "fanuc", kAnyValue,
    "the control: fanuc for Fanuc and Haas (a dwell in milliseconds), linuxcnc (a dwell in "
    "seconds), grbl (no canned cycles: each hole written out as plain moves)"}
    .offering(kDialectChoices).onlyWith("gcode");
inline constexpr Input kNameInput = Input{
    "name", "Program name", "--name", "TEXT", InputKind::Text, "", "", kAnyValue.items(kMaxProgramName),
    "a name for the program, written as its first comment: letters, digits, spaces and - _ . , / "
    "only"}.onlyWith("gcode");
// clang-format on

// The drilling inputs read from a request whose coordinates have `decimals` decimals, with the
// rules between them, the first that fails refusing: depth, retract plane and feed given; depth,
// retract plane, clearance and peck with no more decimals than the coordinates; the retract plane
// above the depth and the clearance not below the retract plane; a peck or a dwell, not both; a
// name of the characters a comment may hold.
//   no "depth" -> "a drilling program needs {depth}, the Z of the bottom of the holes"
Result<Drilling> readDrilling(const Values& values, int decimals);

// The program: '%' (not for Grbl), the name, each line of `about` as a comment (upper case), the
// cycle's settings and the units as comments, "G90 G17 G80" (and G21 or G20), the rapid to the
// clearance, then the holes in the order given, "G80", "M30", '%'. Upper-case ASCII, LF breaks;
// every number has a decimal point ("X10."), except a Fanuc dwell's P, a whole number of
// milliseconds. Holes must not be empty.
std::string drillProgram(const Drilling& drilling, std::span<const std::string> about,
                         std::span<const DrillHole> holes);

// A number of a G-code word: always with a decimal point, "10." for 10, "-0.5000".
std::string gcodeNumber(std::int64_t units, int decimals);

// A G-code comment line in upper case, as the oldest controls read only that: "(HOLE 1)\n".
std::string gcodeComment(std::string_view body);

}  // namespace morvanta
