// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/InputReading.h"

#include <algorithm>

#include "engine/DmsText.h"
#include "engine/Integers.h"

namespace morvanta {

namespace {

using detail::isDigit;

using detail::I128;

constexpr std::size_t kShownLength = 24;
constexpr std::size_t kMaxWholeDigits = 18;

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// The user's text as a refusal quotes it: on one line, its braces doubled as wordRefusal reads
// them, and a long paste cut short on a character boundary, so that the message stays one
// readable line.
std::string shown(std::string_view text) {
    std::string quoted;
    for (const char c : text.substr(0, kShownLength)) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += byte < 0x20 || byte == 0x7f ? '?' : c;
        if (c == '{' || c == '}') {
            quoted += c;  // doubled, so that no front takes it for the name of an input
        }
    }
    if (text.size() > kShownLength) {
        while (!quoted.empty() && (static_cast<unsigned char>(quoted.back()) & 0xC0) == 0x80) {
            quoted.pop_back();
        }
        if (!quoted.empty() && static_cast<unsigned char>(quoted.back()) >= 0xC0) {
            quoted.pop_back();
        }
        quoted += "...";
    }
    return quoted;
}

Refusal refusal(const Input& input, std::string_view reason, std::string limit = {},
                std::string value = {}) {
    return Refusal{std::string(input.id), named(input.id).append(" ").append(reason),
                   std::move(limit), std::move(value)};
}

std::string mustBe(const Input& input) {
    return "must be " + limitsText(input) + "; ";
}

// Why a text is no value of its input's kind at all, with the text itself where there is one.
Refusal notOfKind(const Input& input, std::string_view text) {
    if (text.empty()) {
        return refusal(input, "must be " + limitsText(input));
    }
    const bool decimal = text.find_first_not_of("+-0123456789.") == std::string_view::npos &&
                         text.find_first_of("0123456789") != std::string_view::npos;
    const char* what = input.kind == InputKind::Choice             ? " is not one of them"
                       : input.kind == InputKind::Count && decimal ? " is not a whole number"
                       : input.kind == InputKind::Count || input.kind == InputKind::Decimal ||
                               (input.kind == InputKind::Degrees && !input.limits.sexagesimal)
                           ? " is not a number"
                           : " is not written so";
    return refusal(input, "must be " + limitsText(input) + "; " + shown(text) + what, {},
                   shown(text));
}

// Where a value stands against the input's range: nothing inside it, else the refusal with the
// bound it broke. The value is numerator / denominator (denominator above 0).
std::optional<Refusal> outOfRange(const Input& input, I128 numerator, I128 denominator,
                                  std::string_view text, const std::string& must) {
    const Limits& limits = input.limits;
    const std::string value = shown(text);
    const auto compare = [&](const Bound& bound) {
        const I128 scaled = static_cast<I128>(bound.value) * denominator;
        return numerator < scaled ? -1 : numerator > scaled ? 1 : 0;
    };
    if (limits.size && (compare(limits.most) >= 0 || compare(limits.least) <= 0)) {
        const std::string most = std::to_string(limits.most.value);
        return refusal(input, must + value + " is not below " + most + " in size", most, value);
    }
    if (limits.least.set) {
        const int at = compare(limits.least);
        const std::string least = std::to_string(limits.least.value);
        if (at < 0 && !limits.least.open) {
            return refusal(input, must + value + " is below " + least, least, value);
        }
        if (at <= 0 && limits.least.open) {
            return refusal(input, must + value + " is not above " + least, least, value);
        }
    }
    if (limits.most.set) {
        const int at = compare(limits.most);
        const std::string most = std::to_string(limits.most.value);
        if (at > 0 && !limits.most.open) {
            return refusal(input, must + value + " is above " + most, most, value);
        }
        if (at >= 0 && limits.most.open) {
            return refusal(input, must + value + " is not below " + most, most, value);
        }
    }
    return std::nullopt;
}

// A whole number of digits only; "-" and digits read as a negative number, so that its refusal
// can say it lies below the least value rather than that it is no number at all.
Result<std::int64_t> readWhole(const Input& input, std::string_view text, const std::string& must) {
    const bool negative = text.starts_with('-');
    std::string_view digits = negative ? text.substr(1) : text;
    if (!allDigits(digits)) {
        return Result<std::int64_t>::failure(notOfKind(input, text));
    }
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > kMaxWholeDigits) {
        // Beyond any bound an input has; said as lying above (or below) it.
        const I128 huge = static_cast<I128>(detail::kPow10[kMaxWholeDigits]) * 10;
        if (const auto out = outOfRange(input, negative ? -huge : huge, 1, text, must)) {
            return Result<std::int64_t>::failure(*out);
        }
        return Result<std::int64_t>::failure(notOfKind(input, text));
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (const auto out = outOfRange(input, value, 1, text, must)) {
        return Result<std::int64_t>::failure(*out);
    }
    return Result<std::int64_t>::success(value);
}

// A written-out decimal, its digits counted without leading zeros before the point or trailing
// zeros after it; its range is checked by the caller.
Result<ExactDecimal> readDecimal(const Input& input, std::string_view text) {
    std::string_view rest = text;
    const bool negative = rest.starts_with('-');
    if (negative || rest.starts_with('+')) {
        rest.remove_prefix(1);
    }
    const std::size_t end = rest.find_first_not_of("0123456789.");
    std::string_view number = rest.substr(0, end);
    const std::size_t point = number.find('.');
    std::string_view whole = number.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    const bool digits = !whole.empty() || !fraction.empty();
    const bool onePoint = fraction.find('.') == std::string_view::npos;
    if (end != std::string_view::npos || !digits || !onePoint) {
        std::string_view tail = end == std::string_view::npos ? "" : rest.substr(end);
        const bool exponent = digits && onePoint && tail.size() >= 2 &&
                              (tail[0] == 'e' || tail[0] == 'E') &&
                              allDigits(tail.substr(tail[1] == '-' || tail[1] == '+' ? 2 : 1));
        return Result<ExactDecimal>::failure(
            exponent ? refusal(input,
                               "takes no exponent: write the number out in full, as in "
                               "1000 for 1e3",
                               {}, shown(text))
                     : notOfKind(input, text));
    }
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    const Limits& limits = input.limits;
    if (whole.size() > static_cast<std::size_t>(limits.digits)) {
        const std::string most = std::to_string(limits.digits);
        return Result<ExactDecimal>::failure(
            refusal(input,
                    "may have at most " + most + " digits before the point; " + shown(text) +
                        " has " + std::to_string(whole.size()),
                    most, std::to_string(whole.size())));
    }
    if (fraction.size() > static_cast<std::size_t>(limits.decimals)) {
        const std::string most = std::to_string(limits.decimals);
        return Result<ExactDecimal>::failure(
            refusal(input,
                    (limits.decimals == 0 ? std::string("must be a whole number")
                                          : "may have at most " + most + " decimals") +
                        "; " + shown(text) + " has " + std::to_string(fraction.size()),
                    most, std::to_string(fraction.size())));
    }
    std::int64_t units = 0;
    for (const char c : std::string(whole) + std::string(fraction)) {
        units = units * 10 + (c - '0');
    }
    return Result<ExactDecimal>::success(
        ExactDecimal{negative ? -units : units, static_cast<int>(fraction.size())});
}

Result<ExactDecimal> readRangedDecimal(const Input& input, std::string_view text) {
    Result<ExactDecimal> read = readDecimal(input, text);
    if (read.ok()) {
        const ExactDecimal& value = read.value();
        if (const auto out = outOfRange(input, value.units,
                                        detail::kPow10[static_cast<std::size_t>(value.scale)], text,
                                        mustBe(input))) {
            return Result<ExactDecimal>::failure(*out);
        }
    }
    return read;
}

// How a refusal of one number of a point begins: "the X of {centre} must be a number ...".
constexpr std::string_view kPointParts[] = {"the X of ", "the Y of "};

// The degrees within the input's digits, minutes and seconds below 60, the seconds with at most
// kMaxDmsDecimals decimals.
std::optional<Refusal> dmsRefusal(const Input& input, std::string_view text,
                                  const DmsParts& parts) {
    const std::string_view degrees =
        parts.degrees.substr(std::min(parts.degrees.find_first_not_of('0'), parts.degrees.size()));
    if (degrees.size() > static_cast<std::size_t>(input.limits.digits)) {
        const std::string most = std::to_string(input.limits.digits);
        return refusal(input,
                       "may have at most " + most + " digits in its degrees; " + shown(text) +
                           " has " + std::to_string(degrees.size()),
                       most, std::to_string(degrees.size()));
    }
    for (const auto& [part, name] :
         {std::pair{parts.minutes, "minutes"}, std::pair{parts.seconds, "seconds"}}) {
        if (part.size() > 2 || wholeOf(part) >= 60) {
            return refusal(input,
                           std::string("must have its ") + name + " below 60; " + shown(text) +
                               " has " + shown(part),
                           "60", shown(part));
        }
    }
    if (parts.fraction.size() > static_cast<std::size_t>(kMaxDmsDecimals)) {
        const std::string most = std::to_string(kMaxDmsDecimals);
        return refusal(input,
                       "may have at most " + most + " decimals in its seconds; " + shown(text) +
                           " has " + std::to_string(parts.fraction.size()),
                       most, std::to_string(parts.fraction.size()));
    }
    return std::nullopt;
}

// Degrees, minutes and seconds read to an exact angle and checked, then its range.
Result<Values::Value> readDms(const Input& input, std::string_view text) {
    const std::optional<DmsParts> parts = dmsParts(text);
    if (!parts) {
        return Result<Values::Value>::failure(notOfKind(input, text));
    }
    if (const std::optional<Refusal> refused = dmsRefusal(input, text, *parts)) {
        return Result<Values::Value>::failure(*refused);
    }
    const std::int64_t scale = detail::kPow10[parts->fraction.size()];
    const I128 seconds =
        (static_cast<I128>(wholeOf(parts->degrees)) * 60 + wholeOf(parts->minutes)) * 60 +
        wholeOf(parts->seconds);
    const I128 units = seconds * scale + wholeOf(parts->fraction);
    const I128 numerator = parts->negative ? -units : units;
    if (const auto out = outOfRange(input, numerator, 3600 * scale, text, mustBe(input))) {
        return Result<Values::Value>::failure(*out);
    }
    Values::Value value;
    value.text = std::string(text);
    value.angle = Angle::ratio(static_cast<std::int64_t>(numerator), 3600 * scale);
    return Result<Values::Value>::success(std::move(value));
}

Result<Values::Value> readPoint(const Input& input, std::string_view text) {
    Values::Value value;
    value.text = std::string(text);
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
        return Result<Values::Value>::failure(notOfKind(input, text));
    }
    const Result<ExactDecimal> x = readRangedDecimal(input, text.substr(0, comma));
    const Result<ExactDecimal> y = readRangedDecimal(input, text.substr(comma + 1));
    for (const auto& [part, name] :
         {std::pair{&x, kPointParts[0]}, std::pair{&y, kPointParts[1]}}) {
        if (!part->ok()) {
            Refusal refused = part->refusal();
            refused.text = std::string(name) + refused.text;
            return Result<Values::Value>::failure(std::move(refused));
        }
    }
    value.decimal = x.value();
    value.second = y.value();
    return Result<Values::Value>::success(std::move(value));
}

// One number of a list, or a run "7-9" where the list takes runs, added to `into`.
bool readListItem(const Input& input, std::string_view item, std::vector<std::int64_t>& into,
                  std::optional<Refusal>& fault) {
    const std::size_t dash = input.limits.spans ? item.find('-') : std::string_view::npos;
    const std::string_view first = item.substr(0, dash);
    const std::string_view last = dash == std::string_view::npos ? first : item.substr(dash + 1);
    if (!allDigits(first) || !allDigits(last)) {
        return false;
    }
    std::int64_t ends[2] = {0, 0};
    std::size_t at = 0;
    for (const std::string_view end : {first, last}) {
        const Result<std::int64_t> number =
            readWhole(input, end, "must hold whole numbers " + rangeText(input.limits) + "; ");
        if (!number.ok()) {
            fault = number.refusal();
            return false;
        }
        ends[at++] = number.value();
    }
    if (ends[1] < ends[0]) {
        return false;
    }
    // A run longer than the list may be is cut short; the count below refuses it.
    const std::size_t most = input.limits.count == 0 ? kMaxWholeDigits : input.limits.count;
    for (std::int64_t n = ends[0]; n <= ends[1] && into.size() <= most; ++n) {
        into.push_back(n);
    }
    return true;
}

Result<Values::Value> readList(const Input& input, std::string_view text) {
    Values::Value value;
    value.text = std::string(text);
    std::string_view numbers = text;
    for (const Choice& choice : input.choices) {
        if (choice.value == text) {
            numbers = choice.list;
        }
    }
    std::size_t count = 0;
    std::size_t start = 0;
    while (start <= numbers.size()) {
        const std::size_t slash = numbers.find('/', start);
        const std::string_view group = numbers.substr(start, slash - start);
        if (slash != std::string_view::npos && !input.limits.grouped) {
            return Result<Values::Value>::failure(notOfKind(input, text));
        }
        std::vector<std::int64_t> items;
        std::size_t at = 0;
        while (at <= group.size()) {
            const std::size_t comma = group.find(',', at);
            std::optional<Refusal> fault;
            if (!readListItem(input, group.substr(at, comma - at), items, fault)) {
                return Result<Values::Value>::failure(fault ? *fault : notOfKind(input, text));
            }
            at = comma == std::string_view::npos ? group.size() + 1 : comma + 1;
        }
        count += items.size();
        value.groups.push_back(std::move(items));
        start = slash == std::string_view::npos ? numbers.size() + 1 : slash + 1;
    }
    if (input.limits.count != 0 && count > input.limits.count) {
        const std::string most = std::to_string(input.limits.count);
        const std::string many =
            count > input.limits.count + kMaxWholeDigits ? "more" : std::to_string(count);
        return Result<Values::Value>::failure(refusal(
            input, "may hold at most " + most + " numbers; " + many + " are given", most, many));
    }
    return Result<Values::Value>::success(std::move(value));
}

Result<Values::Value> readArc(const Input& input, std::string_view text) {
    const char unit = text.empty() ? '\0' : text.back();
    const std::int64_t seconds = unit == 's' ? 1 : unit == 'm' ? kSecondsPerMinute : 0;
    const std::string_view amount = text.substr(0, text.empty() ? 0 : text.size() - 1);
    if (seconds == 0 || !allDigits(amount)) {
        return Result<Values::Value>::failure(notOfKind(input, text));
    }
    const Result<std::int64_t> whole = readWhole(input, amount, mustBe(input));
    if (!whole.ok()) {
        return Result<Values::Value>::failure(whole.refusal());
    }
    Values::Value value;
    value.text = std::string(text);
    value.whole = whole.value() * seconds;
    return Result<Values::Value>::success(std::move(value));
}

}  // namespace

std::string rangeText(const Limits& limits) {
    const std::string least = std::to_string(limits.least.value);
    const std::string most = std::to_string(limits.most.value);
    if (limits.size) {
        return "below " + most + " in size";
    }
    if (limits.least.set && limits.most.set && !limits.least.open && !limits.most.open) {
        return "from " + least + " to " + most;
    }
    std::string text;
    if (limits.least.set) {
        text = (limits.least.open ? "above " : "at least ") + least;
    }
    if (limits.most.set) {
        text += (text.empty() ? "" : " and ") +
                std::string(limits.most.open ? "below " : "at most ") + most;
    }
    return text;
}

namespace {

std::string digitsText(const Limits& limits) {
    if (limits.decimals == 0) {
        return " with no decimals";
    }
    if (limits.digits == kMaxExactWholeDigits && limits.decimals == kMaxExactDecimals) {
        return {};
    }
    return " with at most " + std::to_string(limits.digits) + " digits before the point and " +
           std::to_string(limits.decimals) + " after";
}

std::string choicesText(std::span<const Choice> choices) {
    std::string text;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ");
        text += choices[i].value;
    }
    return text;
}

std::string listText(const Input& input) {
    const Limits& limits = input.limits;
    std::string text = "whole numbers";
    if (const std::string range = rangeText(limits); !range.empty()) {
        text += " " + range;
    }
    text += " with commas between";
    if (limits.grouped) {
        text += " and a slash between groups";
    }
    if (limits.spans) {
        text += ", a run of them written as 7-9";
    }
    if (limits.count != 0) {
        text += ", at most " + std::to_string(limits.count) + " in all";
    }
    if (!input.choices.empty()) {
        text = choicesText(input.choices) + ", or " + text;
    }
    return text;
}

}  // namespace

std::string limitsText(const Input& input) {
    const std::string range = rangeText(input.limits);
    const std::string ranged = range.empty() ? std::string() : " " + range;
    switch (input.kind) {
        case InputKind::Count:
            return "a whole number" +
                   (input.unit.empty() ? std::string() : " of " + std::string(input.unit)) + ranged;
        case InputKind::Decimal:
            return "a number" + ranged + digitsText(input.limits);
        case InputKind::Degrees:
            return "a number of degrees" + ranged + digitsText(input.limits) +
                   (input.limits.sexagesimal ? ", or degrees, minutes and seconds such as "
                                               "17d30m15s, 17\u00B030'15\" or 17:30:15"
                                             : "");
        case InputKind::Point:
            return "two numbers X,Y such as 10,-5" + digitsText(input.limits);
        case InputKind::Choice:
            return choicesText(input.choices);
        case InputKind::List:
            return listText(input);
        case InputKind::Arc:
            return "a whole number of seconds or minutes of arc" + ranged + ", such as 10s or 1m";
        case InputKind::Switch:
            return {};
        case InputKind::Text:
            return input.limits.count == 0
                       ? std::string("any text")
                       : "a text of at most " + std::to_string(input.limits.count) + " characters";
    }
    return {};
}

Result<Values::Value> readInput(const Input& input, std::string_view text) {
    Values::Value value;
    value.text = std::string(text);
    switch (input.kind) {
        case InputKind::Count: {
            const Result<std::int64_t> whole = readWhole(input, text, mustBe(input));
            if (!whole.ok()) {
                return Result<Values::Value>::failure(whole.refusal());
            }
            value.whole = whole.value();
            value.angle = Angle::whole(value.whole);
            break;
        }
        case InputKind::Decimal:
        case InputKind::Degrees: {
            if (input.limits.sexagesimal &&
                text.find_first_of("dms:'\"\xC2") != std::string_view::npos) {
                return readDms(input, text);
            }
            const Result<ExactDecimal> decimal = readRangedDecimal(input, text);
            if (!decimal.ok()) {
                return Result<Values::Value>::failure(decimal.refusal());
            }
            value.decimal = decimal.value();
            value.angle = Angle::ratio(
                value.decimal.units, detail::kPow10[static_cast<std::size_t>(value.decimal.scale)]);
            break;
        }
        case InputKind::Point:
            return readPoint(input, text);
        case InputKind::List:
            return readList(input, text);
        case InputKind::Arc:
            return readArc(input, text);
        case InputKind::Choice:
            if (std::none_of(input.choices.begin(), input.choices.end(),
                             [&](const Choice& c) { return c.value == text; })) {
                return Result<Values::Value>::failure(notOfKind(input, text));
            }
            break;
        case InputKind::Switch:
            if (!text.empty()) {
                return Result<Values::Value>::failure(refusal(input, "takes no value"));
            }
            break;
        case InputKind::Text:
            if (input.limits.count != 0 && text.size() > input.limits.count) {
                const std::string most = std::to_string(input.limits.count);
                return Result<Values::Value>::failure(
                    refusal(input, "may have at most " + most + " characters", most,
                            std::to_string(text.size())));
            }
            break;
    }
    return Result<Values::Value>::success(std::move(value));
}

int pointPart(const Refusal& refusal) {
    for (int part = 0; part < 2; ++part) {
        if (std::string_view(refusal.text).starts_with(kPointParts[part])) {
            return part + 1;
        }
    }
    return 0;
}

}  // namespace morvanta
