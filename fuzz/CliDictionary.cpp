// SPDX-License-Identifier: GPL-3.0-or-later
// cli_fuzz_dictionary OUTPUT: writes the command-line fuzzer's dictionary from the calculations'
// descriptions: every command word, option and named value, each also as a word of its own (with
// the NUL that ends a word), and the shared options and signs the command line reads.
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "engine/Calculation.h"

namespace {

// One entry as libFuzzer reads it: quoted, with quotes, backslashes and other bytes outside
// printable ASCII as \xNN.
std::string entry(std::string_view token) {
    std::string quoted = "\"";
    for (const char c : token) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            quoted += hex;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: cli_fuzz_dictionary OUTPUT\n", stderr);
        return 2;
    }
    std::set<std::string> tokens{"--lf", "--crlf", "--help", "-h", "--version", "help", "--",
                                 "=",    ",",      "/",      "-",  ".",         "s",    "m"};
    for (const std::string_view word : morvanta::cli::commandWords()) {
        tokens.emplace(word);
    }
    for (const morvanta::Calculation& calculation : morvanta::calculations()) {
        for (const morvanta::Input& input : calculation.inputs) {
            if (!input.option.empty()) {
                tokens.emplace(input.option);
                tokens.insert(std::string(input.option) + "=");
            }
            for (const morvanta::Choice& choice : input.choices) {
                tokens.emplace(choice.value);
            }
            if (!input.fallback.empty()) {
                tokens.emplace(input.fallback);
            }
            if (!input.sample.empty()) {
                tokens.emplace(input.sample);
            }
        }
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    for (const std::string& token : tokens) {
        out << entry(token) << '\n' << entry(token + '\0') << '\n';
    }
    return out.good() ? 0 : 1;
}
