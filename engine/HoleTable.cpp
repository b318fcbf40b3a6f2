// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/HoleTable.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>
#include <stop_token>
#include <system_error>
#include <thread>

#include "engine/NumericText.h"

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
constexpr std::size_t kLinesPerReport = 1u << 15;
// From this many lines on, a second thread writes the second half of a table: far more work than
// starting a thread, and worth a second core.
constexpr std::size_t kSharedLines = 1u << 19;

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

// Writes the lines of `lines` angles a, a + step, ... at out, which has room for each of them at
// its longest and kLineRoom after the last. Every kLinesPerReport lines it asks keepGoing(lines
// written so far). Returns the end of the text written, or nullptr once keepGoing said stop.
template <typename KeepGoing>
char* writeAngleLines(char* out, double a, double step, std::size_t lines,
                      const KeepGoing& keepGoing) {
    for (std::size_t line = 1; line <= lines; ++line, a += step) {
        const std::size_t field = writeAngleField(a, out);
        out[field] = '\r';
        out[field + 1] = '\n';
        out += field + 2;
        if (line % kLinesPerReport == 0 && !keepGoing(line)) {
            return nullptr;
        }
    }
    return out;
}

BuildResult buildThis(std::string_view thisText, const BuildProgress& progress) {
    if (!isNumericText(thisText) || !(numericValue(thisText) > 1)) {
        return BuildResult::failure(kThisMessage);
    }
    const double count = numericValue(thisText);
    if (count > kMaxHoleCount) {
        return BuildResult::failure(kThisTooLargeMessage);
    }
    const double step = 360 / count;

    // The additions alone cost little beside the writing: a first run counts the lines, so the
    // text is allocated once, and finds the angle halfway, where a second thread starts on the
    // second half. Both halves come from the same additions, so the text is the same whichever
    // thread writes a line.
    std::size_t lines = 0;
    double halfwayAngle = 0;
    const auto halfway = static_cast<std::size_t>(std::floor(kLastAngle * count / 360)) / 2;
    for (double a = 0; a <= kLastAngle; a += step) {
        if (lines++ == halfway) {
            halfwayAngle = a;
        }
    }
    std::size_t headLines = lines >= kSharedLines && halfway < lines ? halfway : lines;

    // Header, the first half, room for the longest lines and the writer's scratch, then the
    // second half; the gap is closed once both are written.
    std::string table;
    table.reserve(kHeaderStart.size() + thisText.size() + kHeaderEnd.size() +
                  lines * kMaxLineLength + 2 * kLineRoom);
    table += kHeaderStart;
    table += thisText;
    table += kHeaderEnd;
    const std::size_t headStart = table.size();
    const std::size_t tailStart = headStart + headLines * kMaxLineLength + kLineRoom;
    table.resize(tailStart + (lines - headLines) * kMaxLineLength + kLineRoom);

    char* const text = table.data();
    char* tailEnd = text + tailStart;
    std::atomic<std::size_t> tailLines = 0;
    std::jthread helper;
    if (headLines < lines) {
        try {
            helper = std::jthread([&](std::stop_token stop) {
                tailEnd = writeAngleLines(text + tailStart, halfwayAngle, step, lines - headLines,
                                          [&](std::size_t n) {
                                              tailLines = n;
                                              return !stop.stop_requested();
                                          });
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one writes the whole table.
            headLines = lines;
        }
    }
    char* const headEnd = writeAngleLines(text + headStart, 0, step, headLines, [&](std::size_t n) {
        const double done = static_cast<double>(n + tailLines) / static_cast<double>(lines);
        if (keepGoing(progress, done)) {
            return true;
        }
        helper.request_stop();
        return false;
    });
    if (helper.joinable()) {
        helper.join();
    }
    if (headEnd == nullptr || tailEnd == nullptr) {
        return BuildResult::cancelled();
    }
    const auto headLength = static_cast<std::size_t>(headEnd - text);
    const auto tailLength = static_cast<std::size_t>(tailEnd - (text + tailStart));
    if (headLines < lines) {
        std::memmove(headEnd, text + tailStart, tailLength);
    }
    table.resize(headLength + (headLines < lines ? tailLength : 0));
    table += kLineBreak;
    return BuildResult::success(std::move(table));
}

void appendNumber(std::string& text, double x) {
    char buf[kNumberTextBufferSize];
    text.append(buf, writeNumberText(x, buf));
}

BuildResult buildAll(std::string_view fromText, std::string_view toText,
                     const BuildProgress& progress) {
    if (!isNumericText(fromText) || !(numericValue(fromText) > 0)) {
        return BuildResult::failure(kFromMessage);
    }
    if (!isNumericText(toText) || !(numericValue(toText) > 1)) {
        return BuildResult::failure(kToMessage);
    }
    if (leadingValue(toText) < leadingValue(fromText)) {
        return BuildResult::failure(kOrderMessage);
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
    return BuildResult::success(std::move(survey));
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
        return BuildResult::failure(kOutOfMemoryMessage);
    } catch (const std::length_error&) {
        return BuildResult::failure(kOutOfMemoryMessage);
    }
}

BuildResult BuildAllTable(std::string_view fromText, std::string_view toText,
                          const BuildProgress& progress) {
    try {
        return buildAll(fromText, toText, progress);
    } catch (const std::bad_alloc&) {
        return BuildResult::failure(kOutOfMemoryMessage);
    } catch (const std::length_error&) {
        return BuildResult::failure(kOutOfMemoryMessage);
    }
}

}  // namespace morvanta
