// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/HoleTable.h"
#include "engine/NumericText.h"

// The first byte picks what is fed, the second where the input splits into From and To; the rest
// is the text. Every text must give a message or a well-formed table, and the readers must agree
// with each other.
namespace {

void check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

void checkReaders(std::string_view text) {
    const double leading = morvanta::leadingValue(text);
    check(!std::isnan(leading));
    if (morvanta::isNumericText(text)) {
        const double value = morvanta::numericValue(text);
        check(std::isfinite(value));
        check(value == leading);
        char buf[morvanta::kNumberTextBufferSize];
        const std::size_t n = morvanta::writeNumberText(value, buf);
        check(n > 0 && n <= 22);
        check(morvanta::isNumericText({buf, n}));
    }
}

// Under the sanitizers and the fuzzer's comparison tracing a line costs some microseconds, so a
// table of several hundred thousand lines would overrun the one-second budget for a build by
// itself. Their text is the same loop run longer (written in two halves from half a million
// lines), which the tests compare line for line.
bool isHugeTable(std::string_view text) {
    if (!morvanta::isNumericText(text)) {
        return false;
    }
    const double count = morvanta::numericValue(text);
    return count > 1e5 && count <= morvanta::kMaxHoleCount;
}

void checkThis(std::string_view text) {
    if (isHugeTable(text)) {
        return;
    }
    const morvanta::BuildResult result = morvanta::BuildThisTable(text);
    if (result.isMessage()) {
        check(result.message() == morvanta::kThisMessage ||
              result.message() == morvanta::kThisTooLargeMessage);
        return;
    }
    check(result.ok());
    check(result.value().starts_with("---------------   "));
    check(endsWith(result.value(), "\r\n  0\r\n") || endsWith(result.value(), "\r\n\r\n"));
}

void checkAll(std::string_view from, std::string_view to) {
    const morvanta::BuildResult result = morvanta::BuildAllTable(from, to);
    if (result.isMessage()) {
        check(result.message() == morvanta::kFromMessage ||
              result.message() == morvanta::kToMessage ||
              result.message() == morvanta::kOrderMessage);
        return;
    }
    check(result.ok());
    check(result.value().empty() || endsWith(result.value(), "\r\n\r\n\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    switch (data[0] % 3) {
        case 0:
            checkReaders(text);
            break;
        case 1:
            checkThis(text);
            break;
        default: {
            const std::size_t split = text.empty() ? 0 : data[1] % (text.size() + 1);
            checkAll(text.substr(0, split), text.substr(split));
            break;
        }
    }
    return 0;
}
