// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Report.h"

#include <algorithm>

namespace morvanta {

std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::vector<std::string> answerLines(const std::vector<std::string>& lines,
                                     std::initializer_list<std::string_view> starts) {
    std::vector<std::string> picked;
    for (const std::string& line : lines) {
        if (std::any_of(starts.begin(), starts.end(),
                        [&line](std::string_view start) { return line.starts_with(start); })) {
            picked.push_back(line);
        }
    }
    return picked;
}

std::string reportText(const Report& report) {
    std::string text = report.title + "\n";
    for (const std::string& note : report.notes) {
        text += note + "\n";
    }
    if (!report.columns.empty()) {
        std::vector<std::size_t> widths(report.columns.size(), 0);
        const auto widen = [&](const std::vector<std::string>& row) {
            for (std::size_t i = 0; i < widths.size() && i < row.size(); ++i) {
                widths[i] = std::max(widths[i], displayWidth(row[i]));
            }
        };
        widen(report.columns);
        std::for_each(report.rows.begin(), report.rows.end(), widen);

        text += "\n";
        const auto line = [&](const std::vector<std::string>& row) {
            for (std::size_t i = 0; i < widths.size(); ++i) {
                const std::size_t width = widths[i] + (i == 0 ? 0 : 2);
                const std::size_t used = i < row.size() ? displayWidth(row[i]) : 0;
                text.append(width - std::min(width, used), ' ');
                if (i < row.size()) {
                    text += row[i];
                }
            }
            text += "\n";
        };
        line(report.columns);
        std::for_each(report.rows.begin(), report.rows.end(), line);
    }
    for (const std::string& closing : report.footer) {
        text += closing + "\n";
    }
    return text;
}

}  // namespace morvanta
