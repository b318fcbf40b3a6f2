// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include <cerrno>
#include <cstring>

namespace morvanta::cli {

namespace {

bool writeAll(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

// The exit status of an output whose writing went as `written` says, once what remains is flushed.
int outcome(std::FILE* out, std::FILE* err, bool written) {
    if (written && std::fflush(out) == 0) {
        return kWritten;
    }
    // Only a reader that went away while SIGPIPE was ignored gets here with EPIPE; it wants no
    // complaint.
    if (errno != EPIPE) {
        std::fprintf(err, "morvanta-table: cannot write the output: %s\n", std::strerror(errno));
    }
    return kRefused;
}

}  // namespace

int writeText(std::FILE* out, std::FILE* err, std::string_view text) {
    return outcome(out, err, writeAll(out, text));
}

int writeOutput(std::FILE* out, std::FILE* err, std::string_view text, LineBreak written,
                LineBreak wanted) {
    if (written == wanted) {
        return writeText(out, err, text);
    }
    // Converted a piece at a time: a 77 MB table is not copied whole.
    char piece[1 << 16];
    std::size_t used = 0;
    const auto put = [&](char c) {
        piece[used++] = c;
        if (used == sizeof piece) {
            if (!writeAll(out, {piece, used})) {
                return false;
            }
            used = 0;
        }
        return true;
    };
    bool ok = true;
    for (std::size_t i = 0; i < text.size() && ok; ++i) {
        const char c = text[i];
        if (written == LineBreak::CrLf) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                continue;
            }
            ok = put(c);
        } else {
            ok = (c != '\n' || put('\r')) && put(c);
        }
    }
    return outcome(out, err, ok && writeAll(out, {piece, used}));
}

}  // namespace morvanta::cli
