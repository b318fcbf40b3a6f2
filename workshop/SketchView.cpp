// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/SketchView.h"

#include <QBuffer>
#include <QEvent>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>

#include "workshop/Memory.h"

namespace morvanta::workshop {

namespace {

// What painting the largest sketch may take, measured on a grid of 10000 holes: about 6 MB.
constexpr std::size_t kPaintRoom = std::size_t{16} << 20;

}  // namespace

QByteArray sketchSvg(const Sketch& sketch, const QString& title, int width, int fontPixels) {
    const int height = std::clamp(qRound(width * sketchAspect(sketch)), 320, 1000);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    // One pixel to a CSS pixel, so that a program that opens the file shows it at its size.
    svg.setResolution(96);
    svg.setTitle(title);
    svg.setDescription(QString::fromStdString(sketch.caption));
    QPainter painter(&svg);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(fontPixels);
    painter.setFont(font);
    const double margin = fontPixels;
    paintSketch(painter, sketch, QRectF(margin, margin, width - 2 * margin, height - 2 * margin));
    painter.end();
    return buffer.data();
}

SketchView::SketchView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picture"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SketchView::forget() {
    painted_ = QPixmap();
    update();
}

void SketchView::setSketch(std::shared_ptr<const Sketch> sketch) {
    sketch_ = std::move(sketch);
    forget();
}

void SketchView::setStale(bool stale) {
    if (stale != stale_) {
        stale_ = stale;
        forget();
    }
}

void SketchView::setHighlighted(std::int64_t hole) {
    if (hole != highlighted_) {
        highlighted_ = hole;
        forget();
    }
}

QSize SketchView::sizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 40, fontMetrics().height() * 16);
}

QSize SketchView::minimumSizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 16, fontMetrics().height() * 6);
}

void SketchView::resizeEvent(QResizeEvent* /*event*/) {
    painted_ = QPixmap();
}

void SketchView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        painted_ = QPixmap();
    }
    QWidget::changeEvent(event);
}

void SketchView::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (painted_.isNull() || painted_.size() != size() * ratio) {
        painted_ = QPixmap(size() * ratio);
        if (painted_.isNull()) {
            return;
        }
        painted_.setDevicePixelRatio(ratio);
        painted_.fill(Qt::white);
        QPainter painter(&painted_);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        // Qt's rasterizer does not survive running out of memory part way through a path (a
        // grid of 10000 holes under a tight cap ends the program), so room is made sure of first;
        // without it the frame says so and the next paint tries again.
        if (sketch_ && !MemoryReserve(kPaintRoom).held()) {
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                             tr("Not enough memory to draw the picture."));
            painter.end();
            QPainter(this).drawPixmap(0, 0, painted_);
            painted_ = QPixmap();
            return;
        }
        if (sketch_) {
            const double margin = fontMetrics().height() / 2.0;
            paintSketch(painter, *sketch_,
                        QRectF(rect()).adjusted(margin, margin, -margin, -margin), highlighted_,
                        stale_);
        }
    }
    QPainter(this).drawPixmap(0, 0, painted_);
}

}  // namespace morvanta::workshop
