#include "HoleTable.h"

#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "NumericText.h"

namespace morvanta {

namespace {

constexpr std::string_view kHeaderStart = "---------------   ";
constexpr std::string_view kHeaderEnd = " Holes   ---------------\r\n";
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::size_t kFieldWidth = 9;
constexpr std::size_t kMaxLineLength = kFieldWidth + 2;
// A line is written in place with the number writer's scratch room after the field's prefix.
constexpr std::size_t kLineRoom = 2 + kNumberTextBufferSize;
// The last angle a table lists is at most 359, not 360.
constexpr double kLastAngle = 359;
// How many lines pass between two calls of the progress callback: rare enough to cost nothing,
// often enough (a few milliseconds) for a prompt cancel.
constexpr unsigned kLinesPerReport = 1u << 16;

std::size_t writeAngleField(double a, char* out) {
    if (a == 0) {
        std::memcpy(out, "  0", 3);
        return 3;
    }
    std::size_t prefix = 0;
    if (a > 0 && a < 10) {
        prefix = 2;
    } else if (a >= 10 && a < 100) {
        prefix = 1;
    }
    std::memset(out, ' ', prefix);
    return prefix + writePlainNumberPrefix(a, out + prefix, kFieldWidth - prefix);
}

bool keepGoing(const BuildProgress& progress, double fractionDone) {
    return !progress || progress(fractionDone);
}

BuildResult buildThis(std::string_view thisText, const BuildProgress& progress) {
    if (!isNumericText(thisText) || !(numericValue(thisText) > 1)) {
        return BuildResult::message(std::string(kThisMessage));
    }
    const double count = numericValue(thisText);
    if (count > kMaxHoleCount) {
        return BuildResult::message(std::string(kThisTooLargeMessage));
    }
    const double step = 360 / count;

    std::string table;
    table.reserve(kHeaderStart.size() + thisText.size() + kHeaderEnd.size());
    table += kHeaderStart;
    table += thisText;
    table += kHeaderEnd;
    // Sized for the expected line count and a little over, so the whole text is written in place
    // with one allocation; the loop still grows it should rounding give more lines.
    const auto expectedLines = static_cast<std::size_t>(std::floor(kLastAngle * count / 360)) + 8;
    std::size_t used = table.size();
    table.resize(used + expectedLines * kMaxLineLength + kLineRoom);

    unsigned sinceReport = 0;
    for (double a = 0; a <= kLastAngle; a += step) {
        if (table.size() - used < kLineRoom) {
            table.resize(table.size() + table.size() / 8 + 64);
        }
        char* out = table.data() + used;
        const std::size_t field = writeAngleField(a, out);
        out[field] = '\r';
        out[field + 1] = '\n';
        used += field + 2;
        if (++sinceReport == kLinesPerReport) {
            sinceReport = 0;
            if (!keepGoing(progress, a / kLastAngle)) {
                return BuildResult::cancelled();
            }
        }
    }
    table.resize(used);
    table += kLineBreak;
    return BuildResult::table(std::move(table));
}

void appendNumber(std::string& text, double x) {
    char buf[kNumberTextBufferSize];
    text.append(buf, writeNumberText(x, buf));
}

BuildResult buildAll(std::string_view fromText, std::string_view toText,
                     const BuildProgress& progress) {
    if (!isNumericText(fromText) || !(numericValue(fromText) > 0)) {
        return BuildResult::message(std::string(kFromMessage));
    }
    if (!isNumericText(toText) || !(numericValue(toText) > 1)) {
        return BuildResult::message(std::string(kToMessage));
    }
    if (leadingValue(toText) < leadingValue(fromText)) {
        return BuildResult::message(std::string(kOrderMessage));
    }
    const double to = numericValue(toText);
    // A spacing of at least one degree needs a count of at most 360; past that nothing can be
    // listed, and stopping there also ends walks that would run for ever (from 2^53 up, adding one
    // no longer moves the count).
    const double last = std::fmin(to, 360);
    std::string survey;
    for (double k = numericValue(fromText); k <= last; k += 1) {
        if (!keepGoing(progress, k / last)) {
            return BuildResult::cancelled();
        }
        const double q = 360 / k;
        // A count so small that 360 / k overflows has no spacing to set out.
        if (!std::isfinite(q) || std::floor(q) != q) {
            continue;
        }
        survey += kHeaderStart;
        appendNumber(survey, k);
        survey += kHeaderEnd;
        for (double a = 0; a <= kLastAngle; a += q) {
            if (a != 0) {
                survey += ", ";
            }
            appendNumber(survey, a);
        }
        survey += kLineBreak;
        survey += kLineBreak;
        survey += kLineBreak;
    }
    return BuildResult::table(std::move(survey));
}

}  // namespace

std::string AngleField(double a) {
    char buf[kLineRoom];
    return std::string(buf, writeAngleField(a, buf));
}

BuildResult BuildThisTable(std::string_view thisText, const BuildProgress& progress) {
    try {
        return buildThis(thisText, progress);
    } catch (const std::bad_alloc&) {
        return BuildResult::message(std::string(kOutOfMemoryMessage));
    } catch (const std::length_error&) {
        return BuildResult::message(std::string(kOutOfMemoryMessage));
    }
}

BuildResult BuildAllTable(std::string_view fromText, std::string_view toText,
                          const BuildProgress& progress) {
    try {
        return buildAll(fromText, toText, progress);
    } catch (const std::bad_alloc&) {
        return BuildResult::message(std::string(kOutOfMemoryMessage));
    } catch (const std::length_error&) {
        return BuildResult::message(std::string(kOutOfMemoryMessage));
    }
}

}  // namespace morvanta
