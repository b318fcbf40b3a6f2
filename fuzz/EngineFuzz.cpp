// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <vector>

#include "engine/Calculation.h"
#include "engine/HoleTable.h"
#include "engine/NumericText.h"

// The first byte picks what is fed: the number readers, Build This, Build All, or one of the
// calculations, which the second byte picks (for Build All, where the text splits into From and
// To); the rest is the text, for a calculation cut at '|' into the texts of its inputs. Every text
// must give a refusal or well-formed outputs, and the readers must agree with each other.
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

// A request of one of the calculations: the text cut at '|' into the texts of its inputs in the
// order of its description, a switch given where its text is not empty. Counts are kept short so
// that one input stays within the fuzzer's time budget under the sanitizers; their full range is
// the tests' to cover.
constexpr std::size_t kCountDigits = 3;

morvanta::Inputs inputsOf(const morvanta::Calculation& calculation, std::string_view text) {
    morvanta::Inputs inputs;
    for (const morvanta::Input& input : calculation.inputs) {
        if (text.empty()) {
            break;
        }
        const std::size_t bar = text.find('|');
        std::string_view field = text.substr(0, bar);
        text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
        if (input.kind == morvanta::InputKind::Switch) {
            if (!field.empty()) {
                inputs.set(input.id, "");
            }
        } else {
            if (input.kind == morvanta::InputKind::Count) {
                field = field.substr(0, kCountDigits);
            }
            inputs.set(input.id, std::string(field));
        }
    }
    return inputs;
}

// A refusal is one line naming inputs the calculation has; every output made ends in a line break.
void checkRefusal(const morvanta::Calculation& calculation, const morvanta::Refusal& refusal) {
    check(!refusal.text.empty() && refusal.text.find('\n') == std::string::npos);
    check(refusal.input.empty() || calculation.input(refusal.input) != nullptr);
    const std::string worded = morvanta::wordRefusal(refusal.text, [&](std::string_view id) {
        const morvanta::Input* input = calculation.input(id);
        // A control character, which no text the user typed keeps in a refusal.
        return input != nullptr ? std::string(input->label) : std::string("\x01");
    });
    check(worded.find('\x01') == std::string::npos);
}

void checkOutput(const morvanta::Calculation& calculation, const morvanta::Output& output) {
    if (!output.ok()) {
        checkRefusal(calculation, output.refusal);
        return;
    }
    const std::string text = output.write();
    check(!text.empty() && text.back() == '\n');
}

void checkCalculation(std::string_view text, std::uint8_t which) {
    std::vector<const morvanta::Calculation*> planned;
    for (const morvanta::Calculation& calculation : morvanta::calculations()) {
        if (calculation.name != "this" && calculation.name != "all") {
            planned.push_back(&calculation);
        }
    }
    const morvanta::Calculation& calculation = *planned[which % planned.size()];
    const morvanta::Result<morvanta::Made> made =
        morvanta::makeEveryOutput(calculation, inputsOf(calculation, text));
    if (!made.ok()) {
        checkRefusal(calculation, made.refusal());
        return;
    }
    checkOutput(calculation, made.value().sheet);
    for (const auto& other : {made.value().csv, made.value().gcode}) {
        if (other) {
            checkOutput(calculation, *other);
        }
    }
    if (made.value().sheet.ok() && made.value().report) {
        check(!made.value().report().title.empty());
    }
    if (made.value().sketch) {
        made.value().sketch();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    switch (data[0] % 4) {
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
        default:
            checkCalculation(text, data[1]);
            break;
    }
    return 0;
}
