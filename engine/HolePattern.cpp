// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/HolePattern.h"

#include <algorithm>
#include <memory>

#include "engine/Integers.h"

namespace morvanta {

Result<HoleChoice> HoleChoice::read(const Values& values, std::int64_t count) {
    HoleChoice choice(count);
    choice.from_ = values.whole("from").value_or(1);
    if (choice.from_ > count) {
        const std::string limit = std::to_string(count);
        const std::string value = std::to_string(choice.from_);
        return Result<HoleChoice>::failure(Refusal{
            "from", "{from} names hole " + value + "; the pattern has " + limit, limit, value});
    }
    for (const std::vector<std::int64_t>& group : values.groups("omit")) {
        for (const std::int64_t number : group) {
            if (number > count) {
                const std::string limit = std::to_string(count);
                const std::string value = std::to_string(number);
                return Result<HoleChoice>::failure(
                    Refusal{"omit", "{omit} names hole " + value + "; the pattern has " + limit,
                            limit, value});
            }
            const auto at = static_cast<std::size_t>(number - 1);
            if (!choice.left_[at]) {
                choice.left_[at] = true;
                ++choice.omitted_;
            }
        }
    }
    bool any = false;
    for (std::int64_t n = choice.from_; n <= count && !any; ++n) {
        any = choice.drills(n);
    }
    if (!any) {
        return Result<HoleChoice>::failure(
            Refusal{"omit", "{omit} and {from} leave no hole to drill"});
    }
    return Result<HoleChoice>::success(std::move(choice));
}

bool HoleChoice::drills(std::int64_t number) const {
    return number >= from_ && number <= count_ && !left_[static_cast<std::size_t>(number - 1)];
}

std::string HoleChoice::text() const {
    if (all()) {
        return {};
    }
    std::string runs;
    std::size_t written = 0;
    for (std::int64_t n = from_; n <= count_; ++n) {
        if (!left_[static_cast<std::size_t>(n - 1)]) {
            continue;
        }
        std::int64_t last = n;
        while (last < count_ && left_[static_cast<std::size_t>(last)]) {
            ++last;
        }
        runs += (written == 0 ? "" : ", ") + std::to_string(n) +
                (last > n ? "-" + std::to_string(last) : "");
        ++written;
        n = last;
    }
    std::string text = from_ > 1 ? "from hole " + std::to_string(from_) : std::string();
    if (!runs.empty()) {
        text += (text.empty() ? "leaving out " : ", leaving out ") + runs;
    }
    return text;
}

std::vector<DrillHole> drilledHoles(const HoleChoice& choice, std::span<const DrillHole> holes) {
    std::vector<DrillHole> drilled;
    for (const DrillHole& hole : holes) {
        if (choice.drills(hole.number)) {
            drilled.push_back(hole);
        }
    }
    return drilled;
}

namespace {

// Every drilled hole's cells: lead, X, Y, dX, dY.
void forEachRow(std::span<const DrillHole> holes, const HoleChoice& choice, int decimals,
                const std::function<std::vector<std::string>(std::size_t)>& lead,
                const std::function<void(std::vector<std::string>)>& row) {
    const DrillHole* before = nullptr;
    for (std::size_t i = 0; i < holes.size(); ++i) {
        const DrillHole& hole = holes[i];
        if (!choice.drills(hole.number)) {
            continue;
        }
        std::vector<std::string> cells = lead(i);
        cells.push_back(unitsText(hole.x, decimals));
        cells.push_back(unitsText(hole.y, decimals));
        cells.push_back(before ? unitsText(hole.x - before->x, decimals) : std::string());
        cells.push_back(before ? unitsText(hole.y - before->y, decimals) : std::string());
        row(std::move(cells));
        before = &hole;
    }
}

}  // namespace

void addPatternRows(Report& report, std::span<const DrillHole> holes, const HoleChoice& choice,
                    int decimals,
                    const std::function<std::vector<std::string>(std::size_t)>& lead) {
    report.rows.reserve(holes.size());
    forEachRow(holes, choice, decimals, lead,
               [&](std::vector<std::string> cells) { report.rows.push_back(std::move(cells)); });
}

std::string patternCsv(std::string_view header, std::span<const DrillHole> holes,
                       const HoleChoice& choice, int decimals,
                       const std::function<std::vector<std::string>(std::size_t)>& lead) {
    std::string text(header);
    text += '\n';
    text.reserve(text.size() + holes.size() * 48);
    forEachRow(holes, choice, decimals, lead, [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            text += (i == 0 ? "" : ",") + cells[i];
        }
        text += '\n';
    });
    return text;
}

void sketchHoles(Sketch& sketch, std::span<const DrillHole> holes, const HoleChoice& choice,
                 int decimals, double radius) {
    const double unit =
        1.0 / static_cast<double>(detail::kPow10[static_cast<std::size_t>(decimals)]);
    for (const DrillHole& hole : holes) {
        const double x = static_cast<double>(hole.x) * unit;
        const double y = static_cast<double>(hole.y) * unit;
        if (choice.drills(hole.number)) {
            sketch.holes.push_back({x, y, radius, hole.number});
        } else {
            sketch.circles.push_back({x, y, radius, Ink::Guide, false});
            sketch.texts.push_back({x, y - 1.6 * radius, std::to_string(hole.number) + " left out",
                                    Ink::Guide, Align::Below});
        }
    }
}

Output patternProgram(const Values& values, int decimals, std::vector<std::string> about,
                      std::span<const DrillHole> holes, const HoleChoice& choice) {
    Result<Drilling> drilling = readDrilling(values, decimals);
    if (!drilling.ok()) {
        return {{}, drilling.refusal()};
    }
    if (!choice.all()) {
        about.push_back("Holes drilled: " + choice.text());
    }
    auto drilled = std::make_shared<const std::vector<DrillHole>>(drilledHoles(choice, holes));
    return {[settings = std::move(drilling).value(), about = std::move(about), drilled] {
        return drillProgram(settings, about, *drilled);
    }};
}

}  // namespace morvanta
