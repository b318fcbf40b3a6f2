// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <optional>

#include "engine/Sketch.h"

class QPainter;

namespace morvanta::workshop {

// Paints the engine's picture of a setup into `area` of any paint device (the window, a printed
// page, an SVG file), scaled to fit with its proportions kept and Y up: every shape in the ink's
// own colour and width, hole `highlighted` (from 1; 0 for none) marked as the one at hand, and
// everything in grey where `stale` says the picture is of the last good input, not of the fields
// as they stand.
void paintSketch(QPainter& painter, const Sketch& sketch, const QRectF& area,
                 std::int64_t highlighted = 0, bool stale = false);

// The picture on a page: the sketch of the last good sheet, greyed while the input is bad.
// Object name "picture".
class SketchView : public QWidget {
    Q_OBJECT

public:
    explicit SketchView(QWidget* parent = nullptr);

    void setSketch(std::optional<Sketch> sketch);
    const std::optional<Sketch>& sketch() const { return sketch_; }
    void setStale(bool stale);
    // The hole or division at hand, from 1; 0 for none.
    void setHighlighted(std::int64_t hole);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Sketch> sketch_;
    bool stale_ = false;
    std::int64_t highlighted_ = 0;
};

}  // namespace morvanta::workshop
