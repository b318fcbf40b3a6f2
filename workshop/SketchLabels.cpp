// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/SketchLabels.h"

#include <algorithm>
#include <cmath>

namespace morvanta::workshop {

namespace {

// The grid reaches this many cells past the area on every side, for texts pushed outside it.
constexpr int kGridMargin = 4;
// No picture gets a grid finer than this, whatever its size.
constexpr int kMostCells = 256;

QPointF direction(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 1e-9 ? v / length : QPointF(0, -1);
}

// A text box `size` large beside a disc, along `d` (a unit vector) from its middle: every point of
// the box at least `gap` past the disc's edge in that direction, so that a box beside a hole on a
// ring stands clear of the ring's other holes whichever way it points.
QRectF beside(const QRectF& disc, QPointF d, QSizeF size, double gap) {
    const double halfAlong =
        std::abs(d.x()) * size.width() / 2 + std::abs(d.y()) * size.height() / 2;
    const QPointF middle = disc.center() + d * (disc.width() / 2 + gap + halfAlong);
    return {middle - QPointF(size.width() / 2, size.height() / 2), size};
}

// Whether the holes lie along one line, where "away from their middle" would set the numbers
// between them: the smaller spread of their centres is under a hundredth of the larger.
bool inLine(const std::vector<QRectF>& discs, QPointF middle) {
    double xx = 0;
    double yy = 0;
    double xy = 0;
    for (const QRectF& disc : discs) {
        const QPointF d = disc.center() - middle;
        xx += d.x() * d.x();
        yy += d.y() * d.y();
        xy += d.x() * d.y();
    }
    const double half = (xx + yy) / 2;
    const double spread = std::sqrt(std::max(half * half - (xx * yy - xy * xy), 0.0));
    return half - spread <= 0.01 * (half + spread);
}

}  // namespace

LabelPlacer::LabelPlacer(const QRectF& area, double cell) : area_(area) {
    cell_ = std::max({cell, area.width() / kMostCells, area.height() / kMostCells, 1e-6});
    grid_ = area.adjusted(-kGridMargin * cell_, -kGridMargin * cell_, kGridMargin * cell_,
                          kGridMargin * cell_);
    columns_ = std::max(1, static_cast<int>(std::ceil(grid_.width() / cell_)));
    rows_ = std::max(1, static_cast<int>(std::ceil(grid_.height() / cell_)));
    cells_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
}

// Counted into place, cell by cell: a list of its own for each of the thousands of cells a ring
// of holes crosses, grown a hole at a time, was a tenth of a keystroke's redraw.
void LabelPlacer::addHoles(const std::vector<QRectF>& discs, double within) {
    holes_.clear();
    QPointF first;
    for (const QRectF& disc : discs) {
        const QPointF middle = disc.center();
        if (!holes_.empty() && std::abs(middle.x() - first.x()) <= within &&
            std::abs(middle.y() - first.y()) <= within) {
            holes_.back() |= disc;
        } else {
            holes_.push_back(disc);
            first = middle;
        }
    }
    holeStarts_.assign(cells_.size() + 1, 0);
    for (const QRectF& disc : holes_) {
        everyCell(disc, [this](std::size_t cell) {
            ++holeStarts_[cell + 1];
            return true;
        });
    }
    for (std::size_t cell = 1; cell < holeStarts_.size(); ++cell) {
        holeStarts_[cell] += holeStarts_[cell - 1];
    }
    holeItems_.resize(holeStarts_.back());
    std::vector<std::size_t> next(holeStarts_.begin(), holeStarts_.end() - 1);
    for (std::size_t hole = 0; hole < holes_.size(); ++hole) {
        everyCell(holes_[hole], [&](std::size_t cell) {
            holeItems_[next[cell]++] = hole;
            return true;
        });
    }
}

void LabelPlacer::addObstacle(const QRectF& box) {
    const std::size_t index = boxes_.size();
    boxes_.push_back(box);
    everyCell(box, [this, index](std::size_t cell) {
        cells_[cell].push_back(index);
        return true;
    });
}

bool LabelPlacer::isFree(const QRectF& box) const {
    return everyCell(box, [this, &box](std::size_t cell) {
        const auto hits = [&box](const QRectF& other) { return other.intersects(box); };
        if (!holeStarts_.empty()) {
            for (std::size_t at = holeStarts_[cell]; at < holeStarts_[cell + 1]; ++at) {
                if (hits(holes_[holeItems_[at]])) {
                    return false;
                }
            }
        }
        return std::none_of(cells_[cell].begin(), cells_[cell].end(),
                            [&](std::size_t index) { return hits(boxes_[index]); });
    });
}

void LabelPlacer::rollback(std::size_t kept) {
    while (boxes_.size() > kept) {
        everyCell(boxes_.back(), [this](std::size_t cell) {
            cells_[cell].pop_back();
            return true;
        });
        boxes_.pop_back();
    }
}

std::optional<QRectF> LabelPlacer::placeText(QPointF anchor, QSizeF size, Align align, double gap) {
    const double w = size.width();
    const double h = size.height();
    QRectF box;
    switch (align) {
        case Align::Left:
            box = QRectF(anchor.x() + gap, anchor.y() - h / 2, w, h);
            break;
        case Align::Right:
            box = QRectF(anchor.x() - gap - w, anchor.y() - h / 2, w, h);
            break;
        case Align::Above:
            box = QRectF(anchor.x() - w / 2, anchor.y() - gap - h, w, h);
            break;
        case Align::Below:
            box = QRectF(anchor.x() - w / 2, anchor.y() + gap, w, h);
            break;
        case Align::Centre:
            box = QRectF(anchor.x() - w / 2, anchor.y() - h / 2, w, h);
            break;
    }
    // Moved on a line at a time the way it is aligned, else sideways by half its width, to the
    // first place inside the area that is free.
    const double along = align == Align::Above ? -h : h;
    const QPointF moves[] = {{0, along}, {0, 2 * along}, {0, 3 * along},
                             {w / 2, 0}, {-w / 2, 0},    {w, 0},
                             {-w, 0},    {w / 2, along}, {-w / 2, along}};
    if (!isFree(box)) {
        for (const QPointF& move : moves) {
            const QRectF moved = box.translated(move);
            if (area_.contains(moved) && isFree(moved)) {
                box = moved;
                break;
            }
        }
    }
    box.moveLeft(std::clamp(box.left(), area_.left(), std::max(area_.left(), area_.right() - w)));
    box.moveTop(std::clamp(box.top(), area_.top(), std::max(area_.top(), area_.bottom() - h)));
    if (onText(box)) {
        return std::nullopt;
    }
    addObstacle(box);
    return box;
}

bool LabelPlacer::onText(const QRectF& box) const {
    return std::any_of(boxes_.begin(), boxes_.end(),
                       [&box](const QRectF& text) { return text.intersects(box); });
}

bool LabelPlacer::tryLabels(const std::vector<std::size_t>& chosen,
                            const std::vector<SketchHole>& holes, const std::vector<QRectF>& discs,
                            Side side, const QFontMetricsF& metrics, double gap,
                            std::vector<std::pair<QRectF, QString>>& labels) {
    const std::size_t kept = boxes_.size();
    labels.clear();
    for (const std::size_t i : chosen) {
        const QString text = QString::number(holes[i].number);
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        QPointF d;
        switch (side) {
            case Side::Outward:
                d = direction(discs[i].center() - middle_);
                break;
            case Side::Inward:
                d = -direction(discs[i].center() - middle_);
                break;
            case Side::Above:
                d = QPointF(0, -1);
                break;
            case Side::Below:
                d = QPointF(0, 1);
                break;
        }
        const QRectF box = beside(discs[i], d, size, gap / 2);
        if (!area_.contains(box) || !isFree(box)) {
            rollback(kept);
            return false;
        }
        addObstacle(box);
        labels.emplace_back(box, text);
    }
    return true;
}

std::vector<std::pair<QRectF, QString>> LabelPlacer::holeLabels(
    const std::vector<SketchHole>& holes, const std::vector<QRectF>& discs,
    const QFontMetricsF& metrics, double gap, std::int64_t highlighted) {
    std::vector<std::pair<QRectF, QString>> labels;
    if (holes.empty()) {
        return labels;
    }
    QPointF sum;
    std::int64_t last = 0;
    for (std::size_t i = 0; i < holes.size(); ++i) {
        sum += discs[i].center();
        last = std::max(last, holes[i].number);
    }
    middle_ = sum / static_cast<double>(holes.size());
    const std::vector<Side> sides =
        inLine(discs, middle_)
            ? std::vector<Side>{Side::Above, Side::Below, Side::Outward, Side::Inward}
            : std::vector<Side>{Side::Outward, Side::Inward, Side::Above, Side::Below};
    // No more numbers than the area could hold side by side.
    const double room = area_.width() * area_.height() /
                        (metrics.height() * metrics.horizontalAdvance(QString::number(last)));
    for (std::int64_t step = 0;; ++step) {
        std::int64_t stride = 1;
        for (std::int64_t decade = 0; decade < step / 3; ++decade) {
            stride *= 10;
        }
        stride *= step % 3 == 0 ? 1 : step % 3 == 1 ? 2 : 5;
        std::vector<std::size_t> chosen;
        for (std::size_t i = 0; i < holes.size(); ++i) {
            if ((holes[i].number - 1) % stride == 0 || holes[i].number == highlighted) {
                chosen.push_back(i);
            }
        }
        if (static_cast<double>(chosen.size()) <= room) {
            for (const Side side : sides) {
                if (tryLabels(chosen, holes, discs, side, metrics, gap, labels)) {
                    return labels;
                }
            }
        }
        if (stride > last) {
            return {};
        }
    }
}

}  // namespace morvanta::workshop
