// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "engine/Sketch.h"

class QPainter;

namespace morvanta::workshop {

// Paints the engine's picture of a setup into `area` of any paint device (the window, a printed
// page, an SVG file), to scale and Y up, as on white paper: the shapes as large as the area
// allows with every text beside them inside it, each ink in its own colour and width, hole 1
// filled in the accent colour, hole `highlighted` (from 1; 0 for none) filled green and ringed as
// the one at hand, the holes numbered where the numbers fit (hole 1 and every 1st, 2nd, 5th,
// 10th... after it, all on one side of their holes), arrows on the lines and arcs that have one,
// and the sketch's caption on a line under it. Every size is a share of the painter's font: a
// line of the outline ink is a sixteenth of the font's height, an arrow head 0.55 of it, so a
// 9 pt font on a 96 dpi screen draws the outline 1.3 pixels wide, and the same font on paper
// 0.9 pt. Everything is grey where `stale` says the picture is of the last good input, not of the
// fields as they stand.
void paintSketch(QPainter& painter, const Sketch& sketch, const QRectF& area,
                 std::int64_t highlighted = 0, bool stale = false);

// The height of a sketch's shapes over their width: 1 for a dial, less for a plate with its gears
// beside it.
double sketchAspect(const Sketch& sketch);

// The picture as an SVG document `width` pixels wide with texts of `fontPixels` pixels, titled
// `title`: the same drawing as the window's, for another program to print or edit. As high as the
// shapes need at that width, with room for the texts round them and the caption, from 320 to
// 1000 pixels: 800 x 800 for a dial.
QByteArray sketchSvg(const Sketch& sketch, const QString& title, int width = 800,
                     int fontPixels = 14);

// The picture on a page: the sketch of the last good sheet, greyed while the input is bad, on a
// white ground with a frame. It is painted once into a pixmap and shown from that until the
// sketch, its state, the size or the font changes, so that a window that is merely uncovered
// does not paint ten thousand holes again. Object name "picture".
class SketchView : public QWidget {
    Q_OBJECT

public:
    explicit SketchView(QWidget* parent = nullptr);

    // Shared with the page's sheet rather than copied: ten thousand holes at every keystroke.
    void setSketch(std::shared_ptr<const Sketch> sketch);
    const Sketch* sketch() const { return sketch_.get(); }
    void setStale(bool stale);
    bool isStale() const { return stale_; }
    // The hole or division at hand, from 1; 0 for none.
    void setHighlighted(std::int64_t hole);
    std::int64_t highlighted() const { return highlighted_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void forget();

    std::shared_ptr<const Sketch> sketch_;
    bool stale_ = false;
    std::int64_t highlighted_ = 0;
    QPixmap painted_;
};

}  // namespace morvanta::workshop
