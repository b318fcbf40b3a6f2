// SPDX-License-Identifier: GPL-3.0-or-later
#include <stdio.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Output.h"
#include "cli/Runner.h"
#include "engine/NumericText.h"

// A command line of morvanta-table, its words cut at NUL bytes, run as the program runs it. It
// must end written (status 0, whole lines and nothing on standard error), refused (1, nothing on
// standard output and one line on standard error) or malformed (2, the complaint and the pointer to
// the help on standard error), and never crash.
namespace {

void check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

// Under the sanitizers a sheet of thousands of rows would overrun the one-second budget by itself;
// larger counts are the same loops run longer, which the tests cover. Counts here stay below 1000:
// a word is left out where it has a run of four digits or more past any leading zeros, or where
// Build This would read a larger number from it, with its exponents and blanks ("8E5", "1 2 3 4").
bool hasLargeNumber(std::string_view word) {
    std::size_t run = 0;
    for (const char c : word) {
        const bool digit = c >= '0' && c <= '9';
        run = digit && (c != '0' || run > 0) ? run + 1 : (digit ? run : 0);
        if (run > 3) {
            return true;
        }
    }
    return !(std::abs(morvanta::leadingValue(word)) < 1000);
}

// What a stream took, once it is closed.
struct Captured {
    char* bytes = nullptr;
    std::size_t size = 0;
    FILE* stream = nullptr;

    Captured() : stream(open_memstream(&bytes, &size)) {}
    ~Captured() { std::free(bytes); }
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;

    std::string_view close() {
        std::fclose(stream);
        stream = nullptr;
        return {bytes, size};
    }
};

std::size_t lines(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        count += c == '\n' ? 1 : 0;
    }
    return count;
}

void checkMalformed(std::string_view err) {
    check(lines(err) == 2 && err.starts_with("morvanta-table"));
    const std::string_view second = err.substr(err.find('\n') + 1);
    check(second.starts_with("Try 'morvanta-table") && second.ends_with(" --help'.\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t end = std::min(line.find('\0', at), line.size());
        words.push_back(line.substr(at, end - at));
        if (hasLargeNumber(words.back())) {
            return 0;
        }
        at = end + 1;
    }
    Captured out;
    Captured err;
    const int status = morvanta::cli::runCommandLine(words, out.stream, err.stream);
    const std::string_view written = out.close();
    const std::string_view said = err.close();
    switch (status) {
        case morvanta::cli::kWritten:
            // Build All writes nothing where no count of the range has a whole-degree spacing.
            check(said.empty() && (written.empty() || written.back() == '\n'));
            break;
        case morvanta::cli::kRefused:
            check(written.empty() && lines(said) == 1 && said.size() > 1 && said.back() == '\n');
            break;
        case morvanta::cli::kMalformed:
            check(written.empty());
            checkMalformed(said);
            break;
        default:
            check(false);
    }
    return 0;
}
