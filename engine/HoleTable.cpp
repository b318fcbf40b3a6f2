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

// The count typed, once it has passed the checks: a number above 1 and at most kMaxHoleCount.
Result<double> readCount(std::string_view thisText) {
    if (!isNumericText(thisText) || !(numericValue(thisText) > 1)) {
        return Result<double>::failure(kThisMessage);
    }
    const double count = numericValue(thisText);
    if (count > kMaxHoleCount) {
        return Result<double>::failure(kThisTooLargeMessage);
    }
    return Result<double>::success(count);
}

// How the lines of a table are shared out: the calling thread writes the first headLines of them,
// a second thread the rest, starting from tailAngle.
struct LineShare {
    std::size_t lines = 0;
    std::size_t headLines = 0;
    double tailAngle = 0;
};

// The additions alone cost little beside the writing: a first run counts the lines, so that the
// text is allocated once, and finds the angle halfway, where a second thread starts on the second
// half of a long table. Both halves come from the same additions, so the text is the same whichever
// thread writes a line.
LineShare shareLines(double count, double step) {
    LineShare share;
    const auto halfway = static_cast<std::size_t>(std::floor(kLastAngle * count / 360)) / 2;
    for (double a = 0; a <= kLastAngle; a += step) {
        if (share.lines++ == halfway) {
            share.tailAngle = a;
        }
    }
    share.headLines = share.lines >= kSharedLines && halfway < share.lines ? halfway : share.lines;
    return share;
}

// Where the two parts of a table are written in its text.
struct TableRoom {
    std::size_t headStart = 0;
    std::size_t tailStart = 0;
};

// Allocates the whole text once and writes the header: after it comes room for the head's lines
// at their longest and the writer's scratch after the last, then the same for the tail's.
TableRoom makeRoom(std::string& table, std::string_view thisText, const LineShare& share) {
    table.reserve(kHeaderStart.size() + thisText.size() + kHeaderEnd.size() +
                  share.lines * kMaxLineLength + 2 * kLineRoom);
    table += kHeaderStart;
    table += thisText;
    table += kHeaderEnd;
    TableRoom room;
    room.headStart = table.size();
    room.tailStart = room.headStart + share.headLines * kMaxLineLength + kLineRoom;
    table.resize(room.tailStart + (share.lines - share.headLines) * kMaxLineLength + kLineRoom);
    return room;
}

// Where the two parts ended once written; nullptr for a part that was abandoned.
struct PartEnds {
    char* head = nullptr;
    char* tail = nullptr;
};

// Writes the tail on a second thread, where the share has one, while this thread writes the head
// and asks `progress` now and then; stopping one stops both. If no thread can be had, this one
// writes every line, straight on into the tail's room, and share.headLines says so.
PartEnds writeParts(char* text, const TableRoom& room, LineShare& share, double step,
                    const BuildProgress& progress) {
    PartEnds ends;
    ends.tail = text + room.tailStart;
    std::atomic<std::size_t> tailLines = 0;
    std::jthread helper;
    if (share.headLines < share.lines) {
        try {
            helper = std::jthread([&](std::stop_token stop) {
                ends.tail = writeAngleLines(text + room.tailStart, share.tailAngle, step,
                                            share.lines - share.headLines, [&](std::size_t n) {
                                                tailLines = n;
                                                return !stop.stop_requested();
                                            });
            });
        } catch (const std::system_error&) {
            share.headLines = share.lines;
        }
    }
    ends.head =
        writeAngleLines(text + room.headStart, 0, step, share.headLines, [&](std::size_t n) {
            const double done =
                static_cast<double>(n + tailLines) / static_cast<double>(share.lines);
            if (keepGoing(progress, done)) {
                return true;
            }
            helper.request_stop();
            return false;
        });
    if (helper.joinable()) {
        helper.join();
    }
    return ends;
}

// Moves the tail down onto the end of the head, drops the room left over and ends the table with
// its empty line.
void closeTable(std::string& table, const TableRoom& room, const PartEnds& ends) {
    char* const text = table.data();
    const auto headLength = static_cast<std::size_t>(ends.head - text);
    const auto tailLength = static_cast<std::size_t>(ends.tail - (text + room.tailStart));
    std::memmove(ends.head, text + room.tailStart, tailLength);
    table.resize(headLength + tailLength);
    table += kLineBreak;
}

BuildResult buildThis(std::string_view thisText, const BuildProgress& progress) {
    const Result<double> count = readCount(thisText);
    if (!count.ok()) {
        return BuildResult::failure(count.message());
    }
    const double step = 360 / count.value();
    LineShare share = shareLines(count.value(), step);
    std::string table;
    const TableRoom room = makeRoom(table, thisText, share);
    const PartEnds ends = writeParts(table.data(), room, share, step, progress);
    if (ends.head == nullptr || ends.tail == nullptr) {
        return BuildResult::cancelled();
    }
    closeTable(table, room, ends);
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
