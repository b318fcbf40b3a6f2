// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DmsText.h"

#include <algorithm>

namespace morvanta {

namespace {

// The marks after the degrees, minutes and seconds of each way of writing them: 17d30m15s,
// 17°30'15", 17:30:15.
struct DmsMarks {
    std::string_view degrees;
    std::string_view minutes;
    std::string_view seconds;
};
constexpr DmsMarks kDmsWritings[] = {{"d", "m", "s"}, {"\u00B0", "'", "\""}, {":", ":", ""}};

// The leading digits of `rest`, taken off it.
std::string_view takeDigits(std::string_view& rest) {
    const std::size_t end = std::min(rest.find_first_not_of("0123456789"), rest.size());
    const std::string_view digits = rest.substr(0, end);
    rest.remove_prefix(end);
    return digits;
}

// One part after the degrees: digits (and, for the seconds, decimals) then its mark; nothing where
// the text ends. A colon is no mark but a separator: none after the last part, and a part after
// each. False where the text is not written so.
bool takePart(std::string_view& rest, std::string_view mark, bool decimals, std::string_view& whole,
              std::string_view& fraction) {
    if (rest.empty()) {
        return true;
    }
    whole = takeDigits(rest);
    if (decimals && rest.starts_with('.')) {
        rest.remove_prefix(1);
        fraction = takeDigits(rest);
        if (fraction.empty()) {
            return false;
        }
    }
    if (whole.empty()) {
        return false;
    }
    if (mark == ":") {
        if (rest.empty()) {
            return true;
        }
        if (!rest.starts_with(':')) {
            return false;
        }
        rest.remove_prefix(1);
        return !rest.empty();
    }
    if (!rest.starts_with(mark)) {
        return false;
    }
    rest.remove_prefix(mark.size());
    return mark.empty() ? rest.empty() : true;
}

}  // namespace

std::int64_t wholeOf(std::string_view digits) {
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<DmsParts> dmsParts(std::string_view text) {
    DmsParts parts;
    std::string_view rest = text;
    parts.negative = rest.starts_with('-');
    if (parts.negative || rest.starts_with('+')) {
        rest.remove_prefix(1);
    }
    parts.degrees = takeDigits(rest);
    std::string_view unused;
    for (const DmsMarks& marks : kDmsWritings) {
        if (parts.degrees.empty() || !rest.starts_with(marks.degrees)) {
            continue;
        }
        rest.remove_prefix(marks.degrees.size());
        const bool written = (!marks.seconds.empty() || !rest.empty()) &&
                             takePart(rest, marks.minutes, false, parts.minutes, unused) &&
                             takePart(rest, marks.seconds, true, parts.seconds, parts.fraction) &&
                             rest.empty();
        return written ? std::optional(parts) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace morvanta
