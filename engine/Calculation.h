// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Angle.h"
#include "engine/ExactDecimal.h"
#include "engine/Report.h"
#include "engine/Result.h"
#include "engine/Sketch.h"

namespace morvanta {

// Every calculation Morvanta makes is described once, here and in its own file: its inputs (what
// each is called on the command line and in a window, what kind of text it takes, its default and
// its limits, one sentence of help) and the function that makes its outputs. The command line's
// parsing, help, man page and completion, and the window's fields, tooltips and checks are all made
// from these descriptions, so that the fronts cannot disagree about a name, a default or a limit.
//
// An input row reads like a row of a command table:
//   {"ratio", "Worm ratio", "--ratio", "R", InputKind::Decimal, "", "", above(0).places(7, 6),
//    "handwheel turns for one turn of the table, 90 for a 90:1 table"}
// and a refusal names its input by id, "{ratio} must be a number above 0", which the command line
// words as "--ratio must be ..." and a window as "Worm ratio must be ...".

// The kind of text an input takes, which decides how it is read and checked.
enum class InputKind {
    Count,    // a whole number, digits only: "7"
    Decimal,  // a decimal number: an optional sign, digits, at most one point: "-22.5"
    Degrees,  // an angle in degrees written as a decimal: "15", "-22.5"; where its limits allow,
              // in degrees, minutes and seconds too: "17d30m15s"
    Point,    // two decimals with a comma between: "10,-5"
    Choice,   // one of the listed choices: "east"
    List,     // whole numbers with commas, a slash between groups where allowed: "15,16/21"
    Arc,      // a whole number of seconds or minutes of arc: "10s", "1m"
    Switch,   // given or not; takes no value
    Text,     // any text, read by the calculation itself
};

// One end of a range: the value, and whether the value itself lies outside (open).
struct Bound {
    std::int64_t value = 0;
    bool open = false;
    bool set = false;
};

// What an input's value may be. Written with the builders below:
//   within(2, 10000)                 a whole number from 2 to 10000
//   above(0).places(7, 6)            above 0, at most 7 digits before the point and 6 after
//   above(0).upTo(360)               above 0 and at most 360
//   sizeBelow(100000)                above -100000 and below 100000, said as "below 100000 in size"
//   within(2, 1000).items(64).groups()   a list of at most 64 numbers from 2 to 1000, in groups
struct Limits {
    Bound least = {};
    Bound most = {};
    bool size = false;         // least is -most: said "in size"
    int digits = 9;            // most digits before the point
    int decimals = 9;          // most digits after it (a Count and a List take none)
    std::size_t count = 0;     // a List: most numbers in all; 0 for no limit of its own
    bool grouped = false;      // a List: groups with a slash between them
    bool spans = false;        // a List: a run of numbers written "7-9"
    bool sexagesimal = false;  // an Angle: in degrees, minutes and seconds too, "17d30m15s"

    constexpr Limits places(int wholeDigits, int decimalDigits) const {
        Limits copy = *this;
        copy.digits = wholeDigits;
        copy.decimals = decimalDigits;
        return copy;
    }
    constexpr Limits upTo(std::int64_t value) const {
        Limits copy = *this;
        copy.most = {value, false, true};
        return copy;
    }
    constexpr Limits below(std::int64_t value) const {
        Limits copy = *this;
        copy.most = {value, true, true};
        return copy;
    }
    constexpr Limits items(std::size_t largest) const {
        Limits copy = *this;
        copy.count = largest;
        return copy;
    }
    constexpr Limits groups() const {
        Limits copy = *this;
        copy.grouped = true;
        return copy;
    }
    constexpr Limits runs() const {
        Limits copy = *this;
        copy.spans = true;
        return copy;
    }
    // An Angle also written in degrees, minutes and seconds: 17d30m15s, 17°30'15" or 17:30:15,
    // the later parts optional (17d30m, 17°, 17:30) and the seconds with decimals up to
    // kMaxDmsDecimals; the range and `digits` (of the degrees) hold for it as for a decimal.
    constexpr Limits dms() const {
        Limits copy = *this;
        copy.sexagesimal = true;
        return copy;
    }
};

inline constexpr Limits kAnyValue{};
inline constexpr int kMaxDmsDecimals = 4;
constexpr Limits within(std::int64_t least, std::int64_t most) {
    return Limits{.least = {least, false, true}, .most = {most, false, true}, .decimals = 0};
}
constexpr Limits atLeast(std::int64_t least) {
    return Limits{.least = {least, false, true}};
}
constexpr Limits above(std::int64_t least) {
    return Limits{.least = {least, true, true}};
}
constexpr Limits sizeBelow(std::int64_t most) {
    return Limits{.least = {-most, true, true}, .most = {most, true, true}, .size = true};
}

// One of the values a Choice (or a List's named sets) takes: what is typed, what a window shows.
struct Choice {
    std::string_view value;      // "east"; for a List, a name standing for a list ("bs")
    std::string_view label;      // "East (+X)"
    std::string_view list = {};  // for a List: the numbers the name stands for
};

// What an input does besides giving a value.
enum class Role {
    Value,     // an ordinary input
    Csv,       // a switch asking for the CSV instead of the sheet
    Gcode,     // a switch asking for the G-code instead of the sheet
    Selector,  // its presence picks this calculation among those of one command
};

// One input of a calculation: a row of its table.
struct Input {
    std::string_view id = {};     // "ratio": its name in requests, settings, job files and refusals
    std::string_view label = {};  // "Worm ratio": a window's caption
    std::string_view option = {};  // "--ratio"; "" for an operand, which is given by position
    std::string_view value = {};  // "R" in "--ratio R"; an operand's name, "COUNT"; "" for a switch
    InputKind kind = InputKind::Text;
    std::string_view unit = {};      // "°", "holes": shown beside a field and in help; "" for none
    std::string_view fallback = {};  // the value taken when the input is not given; "" for none
    Limits limits = {};
    std::string_view help = {};  // one sentence, no full stop, in lower case: "the worm ratio"
    // Less common properties, set with the modifiers below so that each row stays one row.
    std::span<const Choice> choices = {};
    std::string_view only = {};    // the id of the output switch it belongs to: "gcode"
    std::string_view sample = {};  // the value a new window page starts with: "90"
    Role role = Role::Value;
    // The id of the input this one is given instead of: the radius instead of the "diameter".
    // A window gives both one field and a switch between them.
    std::string_view instead = {};

    constexpr Input offering(std::span<const Choice> list) const {
        Input copy = *this;
        copy.choices = list;
        return copy;
    }
    constexpr Input onlyWith(std::string_view output) const {
        Input copy = *this;
        copy.only = output;
        return copy;
    }
    constexpr Input startingAt(std::string_view text) const {
        Input copy = *this;
        copy.sample = text;
        return copy;
    }
    constexpr Input as(Role what) const {
        Input copy = *this;
        copy.role = what;
        return copy;
    }
    constexpr Input insteadOf(std::string_view other) const {
        Input copy = *this;
        copy.instead = other;
        return copy;
    }

    bool isOperand() const noexcept { return option.empty(); }
};

// The texts of one request as the user gave them, by input id: what the command line's words or a
// window's fields hold. An input not given is absent; a switch given has the text "".
class Inputs {
public:
    Inputs() = default;
    Inputs(std::initializer_list<std::pair<std::string_view, std::string_view>> texts);

    void set(std::string_view id, std::string text);
    void erase(std::string_view id);
    std::optional<std::string_view> get(std::string_view id) const;
    bool has(std::string_view id) const { return get(id).has_value(); }
    const std::map<std::string, std::string, std::less<>>& all() const { return texts_; }

private:
    std::map<std::string, std::string, std::less<>> texts_;
};

// The inputs of a request read and checked against the description, each given value or its
// fallback. An input that has neither reads as absent (nullopt, false, an empty list).
class Values {
public:
    struct Value {
        std::string text;  // as given, or the fallback
        bool given = false;
        std::int64_t whole = 0;                         // Count, Arc (in seconds)
        ExactDecimal decimal;                           // Decimal, and the X of a Point
        ExactDecimal second;                            // the Y of a Point
        Angle angle;                                    // Angle, and a Decimal as a fraction
        std::vector<std::vector<std::int64_t>> groups;  // List
    };

    bool given(std::string_view id) const;
    bool on(std::string_view id) const { return given(id); }
    std::optional<std::int64_t> whole(std::string_view id) const;
    std::optional<ExactDecimal> decimal(std::string_view id) const;
    std::optional<Angle> number(std::string_view id) const;
    std::optional<Angle> angle(std::string_view id) const { return number(id); }
    std::optional<std::pair<ExactDecimal, ExactDecimal>> point(std::string_view id) const;
    std::optional<std::string_view> text(std::string_view id) const;
    // The numbers of a List, one vector a group; empty when absent.
    const std::vector<std::vector<std::int64_t>>& groups(std::string_view id) const;

    void put(std::string_view id, Value value);
    const Value* find(std::string_view id) const;

private:
    std::map<std::string, Value, std::less<>> values_;
};

// One output of a calculation (the sheet, its CSV, its G-code) for one input: its writer, or why
// this input makes none. A request can be good for one output and not another: a setting sheet
// for a CNC axis needs no handwheel, and the same holes may lie too close for a handwheel's steps.
struct Output {
    std::function<std::string()> write;  // empty when refused
    Refusal refusal = {};

    bool ok() const { return static_cast<bool>(write); }
};

// What a calculation makes of good input. The writers run only when called, so that a window
// showing a large sheet makes neither its CSV nor its G-code until the user asks.
struct Made {
    // The sheet as the command line prints it, LF line breaks (CR LF where the calculation's
    // lines are CR LF).
    Output sheet;
    // The same sheet as data, for a window's table and the printed page; empty where the sheet is
    // plain text only, and while the sheet is refused.
    std::function<Report()> report;
    // Nothing where the calculation has no such output at all.
    std::optional<Output> csv;
    std::optional<Output> gcode;
    // A picture of the setup; empty where the calculation draws none, and while the sheet is
    // refused.
    std::function<Sketch()> sketch;
};

// One calculation: what it is called and does, its inputs, and the function that makes it.
struct Calculation {
    std::string_view name = {};     // "sheet": its id; the command word unless `command` is given
    std::string_view command = {};  // the command word when several share one ("index")
    std::string_view title = {};    // "Setting sheet": what a window calls it; "" for no page
    std::string_view summary = {};  // one line for the list of commands
    std::string_view about = {};    // what it gives and how, a paragraph for help and man page
    std::span<const Input> inputs = {};
    Result<Made> (*make)(const Values& values) = nullptr;
    bool crlf = false;              // its lines end in CR LF unless asked otherwise
    std::string_view example = {};  // the words of an example for help and man page: "7 --ratio 90"

    std::string_view commandWord() const { return command.empty() ? name : command; }
    const Input* input(std::string_view id) const;
    // The switch whose presence picks this calculation among those of one command; nullptr for
    // the calculation taken when none is given.
    const Input* selector() const;
};

// Every calculation, in the order the command line's help lists them.
std::span<const Calculation> calculations();
const Calculation* findCalculation(std::string_view name);

// Reads every given text, and each fallback, as its input's kind and limits say; the first input
// at fault, in the order of the description, refuses the request:
//   sheet {"count": "10001"} -> "{count} must be a whole number from 2 to 10000; 10001 is above
//   10000", limit "10000", value "10001".
// An operand not given refuses too ("{count} is missing"). Inputs the description does not have are
// ignored. The rules between inputs are the calculation's own, in make().
Result<Values> readInputs(const Calculation& calculation, const Inputs& inputs);

// The rules of the output switches, which only a request for one output has: at most one of them,
// and each input that belongs to an output given only with it. Nothing when they hold:
//   coords {"csv", "gcode"} -> "give either {csv} or {gcode}, not both"
//   sheet {"axis": "B"} -> "{axis} belongs to {gcode}"
std::optional<Refusal> outputRefusal(const Calculation& calculation, const Inputs& inputs);

// readInputs, then make(): the whole request, refused or made.
Result<Made> makeRequest(const Calculation& calculation, const Inputs& inputs);

// For a window, which shows the fields of every output at once: as makeRequest, except that an
// input only one output takes (sheet's "decimals", only with "gcode") refuses that output alone
// when it is wrong, the rest being made without it.
Result<Made> makeEveryOutput(const Calculation& calculation, const Inputs& inputs);

// The limits in words, for help, tooltips and refusals: "a whole number from 2 to 10000",
// "a number above 0 with at most 7 digits before the point and 6 after", "a number of degrees
// below 100000 in size", "east or north".
std::string limitsText(const Input& input);

// Which number of a point a refusal is about: 1 for the X ("the X of {centre} must be a number;
// x is not a number"), 2 for the Y, 0 for the point as a whole or for any other input.
int pointPart(const Refusal& refusal);

// How a refusal or a help names an input for each front to word: named("span") == "{span}".
std::string named(std::string_view id);

// A refusal's text with each {id} replaced by what `name` calls that input: the command line's
// "--span" or "COUNT", a window's "Span". "{{" and "}}" stand for a brace of the user's own text,
// which refusals quote so; other text is left as it is.
std::string wordRefusal(std::string_view text,
                        const std::function<std::string(std::string_view id)>& name);

}  // namespace morvanta
