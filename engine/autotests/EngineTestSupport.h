// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Angle.h"
#include "engine/Calculation.h"
#include "engine/CommonOptions.h"
#include "engine/InputReading.h"
#include "engine/Result.h"
#include "engine/SettingSheet.h"

namespace morvanta {

__extension__ using Wide = __int128;

// The value of a plan a test expects to be accepted; a refusal ends the test with its message.
template <typename T>
T planned(const Result<T>& result) {
    if (!result.ok()) {
        throw std::runtime_error("refused: " + result.message());
    }
    return result.value();
}

// The plan of a request as the fronts make it: the texts read against the description, then
// planned; a refusal on the way ends the test with its message.
template <typename Plan>
Plan planFrom(const Calculation& calculation, Result<Plan> (*plan)(const Values&),
              const Inputs& inputs) {
    return planned(plan(planned(readInputs(calculation, inputs))));
}

// A refusal as one line to compare, its figures after it where it has any:
// said({"ratio", "{ratio} must ...", "", "7"}) == "ratio: {ratio} must ... (, 7)".
inline std::string said(const Refusal& refusal) {
    const bool figures = !refusal.limit.empty() || !refusal.value.empty();
    return refusal.input + ": " + refusal.text +
           (figures ? " (" + refusal.limit + ", " + refusal.value + ")" : "");
}

// The lines of a text without their breaks: linesOf("a\nb\n") == {"a", "b"}.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The cells of each line of a CSV, empty ones kept: csvRows("a,,b,\nc\n") == {{"a", "", "b", ""},
// {"c"}}.
inline std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : linesOf(text)) {
        std::istringstream cells(line + ',');
        rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, ',');) {
            rows.back().push_back(cell);
        }
    }
    return rows;
}

// A request written as on the command line, "id=text" words and bare switches between spaces:
// request("count=4 span=90 ends") == Inputs{{"count", "4"}, {"span", "90"}, {"ends", ""}}.
inline Inputs request(std::string_view words) {
    Inputs inputs;
    for (std::size_t at = 0; at < words.size();) {
        const std::size_t end = std::min(words.find(' ', at), words.size());
        const std::string_view word = words.substr(at, end - at);
        const std::size_t equals = std::min(word.find('='), word.size());
        inputs.set(word.substr(0, equals),
                   std::string(word.substr(std::min(equals + 1, word.size()))));
        at = end + 1;
    }
    return inputs;
}

// What a request the test expects to be made makes, the calculation's name first:
// madeOf("sheet count=7 ratio=90").sheet.ok().
inline Made madeOf(std::string_view words) {
    const std::size_t space = std::min(words.find(' '), words.size());
    const Calculation* calculation = findCalculation(words.substr(0, space));
    if (calculation == nullptr) {
        throw std::runtime_error("no calculation in " + std::string(words));
    }
    return planned(
        makeRequest(*calculation, request(words.substr(std::min(space + 1, words.size())))));
}

// An angle typed in decimal degrees, read as the commands read it: degreesOf("22.5") == 45/2.
inline Angle degreesOf(std::string_view text) {
    return planned(readInput(kStartInput, text)).angle;
}

}  // namespace morvanta

// The index plates and change gears as the makers list them, typed here again rather than read from
// the planner, so that a wrong circle or gear in the planner's tables cannot pass unseen.
namespace morvanta::listed {

using Numbers = std::vector<std::int64_t>;
using Plates = std::vector<Numbers>;

inline const Plates kBrownSharpe = {
    {15, 16, 17, 18, 19, 20}, {21, 23, 27, 29, 31, 33}, {37, 39, 41, 43, 47, 49}};
inline const Plates kCincinnati = {{24, 25, 28, 30, 34, 37, 38, 39, 41, 42, 43},
                                   {46, 47, 49, 51, 53, 54, 57, 58, 59, 62, 66}};
inline const Numbers kGears = {24, 28, 32, 40, 44, 48, 56, 64, 72, 86, 100};

// Whether plate number `plate` (from 0) of the plates has a circle of `circle` holes.
inline bool onPlate(const Plates& plates, std::size_t plate, std::int64_t circle) {
    return plate < plates.size() &&
           std::find(plates[plate].begin(), plates[plate].end(), circle) != plates[plate].end();
}

// Whether a whole number of holes on some circle of the plates makes num / den crank turns.
inline bool anyCircleGives(const Plates& plates, Wide num, Wide den) {
    return std::any_of(plates.begin(), plates.end(), [&](const Numbers& plate) {
        return std::any_of(plate.begin(), plate.end(),
                           [&](std::int64_t circle) { return num * circle % den == 0; });
    });
}

// The largest distance of the hole nearest each of k x num / den crank turns, k from 0 to steps,
// from its exact place on a circle of `circle` holes, in 1 / den of a hole: largestOff(1, 2, 3, 1)
// == 1, half a hole (half a turn on 3 holes is 1.5 holes), and largestOff(1, 2, 4, 1) == 0.
inline Wide largestOff(Wide num, Wide den, std::int64_t circle, std::int64_t steps) {
    Wide most = 0;
    for (std::int64_t k = 0; k <= steps; ++k) {
        const Wide off = k * num * circle % den;
        most = std::max(most, std::min(off, den - off));
    }
    return most;
}

// No circle of the plates errs less over the steps than the one chosen, each circle tried.
inline void expectNoCircleNearer(Wide num, Wide den, std::int64_t steps, std::int64_t chosen,
                                 const Plates& plates) {
    const Wide worst = largestOff(num, den, chosen, steps);
    for (const Numbers& plate : plates) {
        for (const std::int64_t circle : plate) {
            EXPECT_LE(worst * circle, largestOff(num, den, circle, steps) * chosen)
                << "the " << circle << "-hole circle is nearer";
        }
    }
}

}  // namespace morvanta::listed

// Decimal arithmetic on strings of digits, slow and plain, for checking the engine's writers
// against a method that shares none of their integer tricks.
namespace morvanta::decimal {

// n / d written with `decimals` digits after the point, cut (not rounded), a minus sign for a
// negative quotient: longDivision(-1, 8, 4) == "-0.1250".
inline std::string longDivision(std::int64_t n, std::int64_t d, int decimals) {
    const bool negative = (n < 0) != (d < 0) && n != 0;
    std::uint64_t num = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const std::uint64_t den =
        d < 0 ? 0 - static_cast<std::uint64_t>(d) : static_cast<std::uint64_t>(d);
    std::string text = std::to_string(num / den);
    num %= den;
    text += '.';
    for (int i = 0; i < decimals; ++i) {
        __extension__ const unsigned __int128 wide = static_cast<unsigned __int128>(num) * 10;
        text += static_cast<char>('0' + static_cast<int>(wide / den));
        num = static_cast<std::uint64_t>(wide % den);
    }
    if (num != 0) {
        text += '1';  // a sticky digit: something is left beyond the digits written
    }
    return (negative ? "-" : "") + text;
}

// A plain decimal text ("-12.3450001", with or without point) rounded to `decimals` digits after
// the point, halves away from zero, with no minus sign left on a zero result.
inline std::string roundHalfAway(const std::string& text, int decimals) {
    const bool negative = text[0] == '-';
    std::string digits(1, '0');  // room for a carry
    digits.append(text, negative ? 1 : 0).push_back('.');
    const std::size_t point = digits.find('.');
    const std::size_t end = point + static_cast<std::size_t>(decimals);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    digits.resize(std::max(digits.size(), end + 1), '0');
    const bool up = digits[end] >= '5';
    digits.resize(end);
    for (std::size_t i = end; up && i-- > 0;) {
        digits[i] = digits[i] == '9' ? '0' : static_cast<char>(digits[i] + 1);
        if (digits[i] != '0') {
            break;
        }
    }
    const std::size_t first = std::min(digits.find_first_not_of('0'), point - 1);
    std::string result = digits.substr(first, point - first);
    if (decimals > 0) {
        result += '.' + digits.substr(point);
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    return (negative && !zero ? "-" : "") + result;
}

}  // namespace morvanta::decimal
