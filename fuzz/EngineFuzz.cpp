// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/BoltCircle.h"
#include "engine/HoleTable.h"
#include "engine/Indexing.h"
#include "engine/NumericText.h"
#include "engine/SettingSheet.h"

// The first byte picks what is fed, the second where the input splits into From and To (or which
// flags a sheet, plan or bolt circle gets); the rest is the text, cut at '|' into the fields of a
// request. Every text must give a message or a well-formed table, and the readers must agree with
// each other.
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

// The fields of a request, cut at '|'; a field that is absent stays empty. Counts are kept short
// so that one input stays within the fuzzer's time budget under the sanitizers; their full range
// is the tests' to cover.
constexpr std::size_t kFields = 8;
constexpr std::size_t kCountDigits = 3;

std::array<std::optional<std::string_view>, kFields> fieldsOf(std::string_view text) {
    std::array<std::optional<std::string_view>, kFields> fields{};
    for (std::size_t i = 0; i < kFields && !text.empty(); ++i) {
        const std::size_t bar = text.find('|');
        fields[i] = text.substr(0, bar);
        text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
    }
    return fields;
}

std::string_view shortCount(const std::optional<std::string_view>& field) {
    return field.value_or("").substr(0, kCountDigits);
}

// A refusal is one message and names what it is about; a result is text ending in a line break.
template <typename Plan>
bool checkRefusal(const morvanta::Result<Plan>& plan) {
    if (!plan.ok()) {
        check(plan.isMessage() && !plan.message().empty());
        check(plan.message().find('\n') == std::string::npos);
        return true;
    }
    return false;
}

void checkText(const std::string& text) {
    check(!text.empty() && text.back() == '\n');
}

void checkSheet(std::string_view text, std::uint8_t flags) {
    const auto f = fieldsOf(text);
    const morvanta::SheetPlanResult plan =
        morvanta::planSheet({shortCount(f[0]), f[1], f[2], f[3], f[4], f[5], (flags & 1) != 0,
                             (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0, f[6], f[7]});
    if (checkRefusal(plan)) {
        return;
    }
    const bool csv = (flags & 4) != 0;
    checkText(plan.value().gcode ? morvanta::sheetGcode(plan.value())
              : csv              ? morvanta::sheetCsv(plan.value())
                                 : morvanta::sheetText(plan.value()));
}

void checkIndex(std::string_view text, std::uint8_t flags) {
    const auto f = fieldsOf(text);
    if ((flags & 1) != 0) {
        const auto plan =
            morvanta::planSurvey({shortCount(f[0]), shortCount(f[1]), f[2], f[3], f[4]});
        if (!checkRefusal(plan)) {
            checkText(morvanta::surveyText(plan.value()));
            checkText(morvanta::surveyCsv(plan.value()));
        }
        return;
    }
    const auto plan = morvanta::planIndex({shortCount(f[0]), f[1], f[2], f[3], (flags & 2) != 0});
    if (!checkRefusal(plan)) {
        checkText(morvanta::indexText(plan.value()));
        checkText(morvanta::indexCsv(plan.value()));
    }
}

void checkBoltCircle(std::string_view text, std::uint8_t flags) {
    const auto f = fieldsOf(text);
    morvanta::BoltCircleArguments arguments;
    arguments.count = shortCount(f[0]);
    arguments.diameter = (flags & 1) != 0 ? f[1] : std::nullopt;
    arguments.radius = (flags & 1) == 0 ? f[1] : std::nullopt;
    arguments.centre = f[2];
    arguments.start = f[3];
    arguments.clockwise = (flags & 2) != 0;
    arguments.span = f[4];
    arguments.ends = (flags & 4) != 0;
    arguments.decimals = f[5];
    arguments.gcode = (flags & 8) != 0;
    arguments.depth = f[6];
    arguments.retract = f[7];
    arguments.feed = (flags & 8) != 0 ? std::optional<std::string_view>("100") : std::nullopt;
    const auto plan = morvanta::planBoltCircle(arguments);
    if (!checkRefusal(plan)) {
        checkText(plan.value().output == morvanta::BoltOutput::Gcode
                      ? morvanta::boltCircleGcode(plan.value())
                      : morvanta::boltCircleText(plan.value()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    switch (data[0] % 6) {
        case 0:
            checkReaders(text);
            break;
        case 1:
            checkThis(text);
            break;
        case 2: {
            const std::size_t split = text.empty() ? 0 : data[1] % (text.size() + 1);
            checkAll(text.substr(0, split), text.substr(split));
            break;
        }
        case 3:
            checkSheet(text, data[1]);
            break;
        case 4:
            checkIndex(text, data[1]);
            break;
        default:
            checkBoltCircle(text, data[1]);
            break;
    }
    return 0;
}
