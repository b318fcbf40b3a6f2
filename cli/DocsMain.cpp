// SPDX-License-Identifier: GPL-3.0-or-later
// morvanta-table-docs: writes the bash completion and the man page of morvanta-table from the
// calculations' descriptions, when Morvanta is built.
//   morvanta-table-docs completion TEMPLATE OUTPUT
//   morvanta-table-docs man TEMPLATE OUTPUT
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/Help.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: morvanta-table-docs completion|man TEMPLATE OUTPUT\n", stderr);
        return 2;
    }
    const std::string_view what = argv[1];
    std::ifstream in(argv[2], std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "morvanta-table-docs: cannot read %s\n", argv[2]);
        return 1;
    }
    const std::string text = what == "completion" ? morvanta::cli::bashCompletion(page)
                             : what == "man"      ? morvanta::cli::manPage(page)
                                                  : std::string();
    if (text.empty()) {
        std::fprintf(stderr, "morvanta-table-docs: nothing to make of '%s'\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << text;
    return out.good() ? 0 : 1;
}
