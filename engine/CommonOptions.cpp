// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CommonOptions.h"

namespace morvanta {

std::optional<std::string_view> endsComplaint(const std::optional<Angle>& span) {
    if (!span) {
        return kEndsWithoutSpanMessage;
    }
    if (*span == Angle::whole(360)) {
        return kEndsFullMessage;
    }
    return std::nullopt;
}

}  // namespace morvanta
