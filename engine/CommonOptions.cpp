// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CommonOptions.h"

#include "engine/Integers.h"

namespace morvanta {

std::optional<Angle> parseStartAngle(std::string_view text) {
    const std::optional<Angle> start = Angle::parseDecimal(text);
    if (!start || *start >= Angle::whole(kMaxStartDegrees) ||
        *start <= Angle::whole(-kMaxStartDegrees)) {
        return std::nullopt;
    }
    return start;
}

std::optional<std::string_view> endsComplaint(const std::optional<Angle>& span) {
    if (!span) {
        return kEndsWithoutSpanMessage;
    }
    if (*span == Angle::whole(360)) {
        return kEndsFullMessage;
    }
    return std::nullopt;
}

std::optional<int> parseWrittenDecimals(std::string_view text) {
    const std::optional<std::int64_t> decimals = detail::parseWhole(text);
    if (!decimals || *decimals > kMaxWrittenDecimals) {
        return std::nullopt;
    }
    return static_cast<int>(*decimals);
}

}  // namespace morvanta
