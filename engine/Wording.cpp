// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Wording.h"

namespace morvanta {

namespace {

// Every angle read from a decimal text has a denominator dividing this.
constexpr std::int64_t kShortDecimalDenominator = 1'000'000'000;

const char* degreeSign(bool comment) {
    return comment ? " DEG" : "\u00B0";
}

bool isShortDecimal(const Angle& angle) {
    return kShortDecimalDenominator % angle.denominator() == 0;
}

// A step that is not a short decimal is shown rounded with its exact fraction after it
// (" (exactly 360/7°)", or ", exactly 360/7 DEG" inside a G-code comment).
std::string stepText(const Angle& step, int decimals, bool comment) {
    if (isShortDecimal(step)) {
        return exactDegreesText(step, comment) + " apart";
    }
    const std::string exact = "exactly " + exactDegreesText(step, comment);
    return decimalDegreesText(step, decimals) + degreeSign(comment) + " apart" +
           (comment ? ", " + exact : " (" + exact + ")");
}

}  // namespace

std::string exactDegreesText(const Angle& angle, bool comment) {
    if (!isShortDecimal(angle)) {
        return std::to_string(angle.numerator()) + "/" + std::to_string(angle.denominator()) +
               degreeSign(comment);
    }
    std::string text = decimalDegreesText(angle, Angle::kMaxDecimals);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text + degreeSign(comment);
}

std::string holesMeaning(std::int64_t count, const std::optional<Angle>& span, bool ends,
                         const Angle& step, int decimals, bool comment) {
    if (count == 1) {
        return "1 hole";
    }
    std::string text = std::to_string(count) + " holes over ";
    if (!span) {
        return text + "the full circle, " + stepText(step, decimals, comment);
    }
    text += exactDegreesText(*span, comment);
    if (ends) {
        return text + ", a hole at each end, " + stepText(step, decimals, comment);
    }
    return text + ", " + stepText(step, decimals, comment) + ", the last a step short of the end";
}

}  // namespace morvanta
