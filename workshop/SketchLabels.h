// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFontMetricsF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/Sketch.h"

namespace morvanta::workshop {

// Places the texts of a picture, in the painter's units, so that they overlap neither each other
// nor the holes where that can be helped. The picture's own texts are placed first, each where
// its Align puts it, or moved on up to three lines (up for Above, else down) or sideways by half
// or all its width to the first free place in the area; then the hole numbers, all on one side of
// their holes or not at all: hole 1 and every `stride`-th hole after it (1, 11, 21...; the stride
// the first of 1, 2, 5, 10, 20, 50... at which every number fits), each beside its hole away from
// the middle of the holes, else towards it, else above or below them all; holes in a line are
// numbered above or below first. On a circle of 12 holes 60 pixels across the numbers stand outside
// the circle; of 360 holes, by holes 1, 51, 101...
class LabelPlacer {
public:
    // `area` is where every hole number must lie; `cell` the size of the grid that finds what a
    // box would overlap, about the size of a text.
    LabelPlacer(const QRectF& area, double cell);

    // The boxes of a picture's holes, which nothing may overlap; once, before any text. Holes in
    // a run whose middles lie within `within` of the first's are kept out as the one box round
    // them all: 10000 holes 0.1 apart on a ring, `within` 1.5, as about 700 boxes.
    void addHoles(const std::vector<QRectF>& discs, double within = 0);
    // A box nothing may overlap, such as a text placed.
    void addObstacle(const QRectF& box);

    // The box of a text `size` large at `anchor`, placed by `align` at `gap` from it, and then
    // kept clear of what is placed already and within the area where it can be; none where the
    // picture is too small for it to stand anywhere but on another text, which would leave both
    // unreadable (a plate's texts in a picture 140 pixels wide).
    std::optional<QRectF> placeText(QPointF anchor, QSizeF size, Align align, double gap);

    // The numbers of the holes whose boxes `discs` gives (in the same order), with the boxes to
    // write them in; the hole `highlighted` numbered whatever the stride.
    std::vector<std::pair<QRectF, QString>> holeLabels(const std::vector<SketchHole>& holes,
                                                       const std::vector<QRectF>& discs,
                                                       const QFontMetricsF& metrics, double gap,
                                                       std::int64_t highlighted);

private:
    enum class Side { Outward, Inward, Above, Below };

    bool isFree(const QRectF& box) const;
    bool onText(const QRectF& box) const;
    // The cells a box covers, clamped to the grid, each given to `visit` until it answers false;
    // whether every cell was visited.
    template <typename Visit>
    bool everyCell(const QRectF& box, Visit visit) const {
        const auto at = [](double v, int most) {
            return std::clamp(static_cast<int>(std::floor(v)), 0, most - 1);
        };
        const int x1 = at((box.right() - grid_.left()) / cell_, columns_);
        const int y1 = at((box.bottom() - grid_.top()) / cell_, rows_);
        for (int y = at((box.top() - grid_.top()) / cell_, rows_); y <= y1; ++y) {
            for (int x = at((box.left() - grid_.left()) / cell_, columns_); x <= x1; ++x) {
                if (!visit(static_cast<std::size_t>(y * columns_ + x))) {
                    return false;
                }
            }
        }
        return true;
    }
    // Takes back every box added after the first `kept`.
    void rollback(std::size_t kept);
    bool tryLabels(const std::vector<std::size_t>& chosen, const std::vector<SketchHole>& holes,
                   const std::vector<QRectF>& discs, Side side, const QFontMetricsF& metrics,
                   double gap, std::vector<std::pair<QRectF, QString>>& labels);

    QRectF area_;
    QRectF grid_;
    double cell_;
    int columns_;
    int rows_;
    QPointF middle_;
    // The holes, ten thousand of them in a large picture, each cell's in one run of holeItems_
    // (the cell's run starts at holeStarts_[cell]); the texts, a few, in a list for each cell.
    std::vector<QRectF> holes_;
    std::vector<std::size_t> holeStarts_;
    std::vector<std::size_t> holeItems_;
    std::vector<QRectF> boxes_;
    std::vector<std::vector<std::size_t>> cells_;
};

}  // namespace morvanta::workshop
