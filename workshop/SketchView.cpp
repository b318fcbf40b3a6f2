// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/SketchView.h"

#include <QPainter>

#include <algorithm>
#include <limits>

namespace morvanta::workshop {

namespace {

// The box round every shape of the sketch, in its own units.
QRectF boundsOf(const Sketch& sketch) {
    double left = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest();
    double bottom = left;
    double top = right;
    const auto take = [&](double x, double y, double r) {
        left = std::min(left, x - r);
        right = std::max(right, x + r);
        bottom = std::min(bottom, y - r);
        top = std::max(top, y + r);
    };
    for (const SketchCircle& c : sketch.circles) {
        take(c.x, c.y, c.radius);
    }
    for (const SketchLine& l : sketch.lines) {
        take(l.x1, l.y1, 0);
        take(l.x2, l.y2, 0);
    }
    for (const SketchArc& a : sketch.arcs) {
        take(a.x, a.y, a.radius);
    }
    for (const SketchHole& h : sketch.holes) {
        take(h.x, h.y, h.radius);
    }
    for (const SketchText& t : sketch.texts) {
        take(t.x, t.y, 0);
    }
    if (left > right) {
        return QRectF(-1, -1, 2, 2);
    }
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}

QColor inkColour(Ink ink, const QPalette& palette, bool stale) {
    if (stale) {
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    }
    switch (ink) {
        case Ink::Guide:
            return palette.color(QPalette::Mid);
        case Ink::Accent:
            return QColor(0xB0, 0x30, 0x00);
        case Ink::Dimension:
            return QColor(0x20, 0x50, 0xA0);
        case Ink::Outline:
            break;
    }
    return palette.color(QPalette::WindowText);
}

}  // namespace

void paintSketch(QPainter& painter, const Sketch& sketch, const QRectF& area,
                 std::int64_t highlighted, bool stale) {
    const QRectF bounds = boundsOf(sketch);
    const double margin = 0.08;
    const double scale = std::min(area.width() / (bounds.width() * (1 + 2 * margin)),
                                  area.height() / (bounds.height() * (1 + 2 * margin)));
    const QPointF middle = area.center();
    const QPointF centre = bounds.center();
    const auto at = [&](double x, double y) {
        return QPointF(middle.x() + (x - centre.x()) * scale,
                       middle.y() - (y - centre.y()) * scale);
    };
    const QPalette palette;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const SketchCircle& c : sketch.circles) {
        painter.setPen(QPen(inkColour(c.ink, palette, stale), 1));
        painter.setBrush(c.filled ? QBrush(inkColour(c.ink, palette, stale)) : Qt::NoBrush);
        painter.drawEllipse(at(c.x, c.y), c.radius * scale, c.radius * scale);
    }
    painter.setBrush(Qt::NoBrush);
    for (const SketchLine& l : sketch.lines) {
        painter.setPen(QPen(inkColour(l.ink, palette, stale), 1));
        painter.drawLine(at(l.x1, l.y1), at(l.x2, l.y2));
    }
    for (const SketchHole& h : sketch.holes) {
        const bool marked = h.number == 1 || h.number == highlighted;
        painter.setPen(QPen(inkColour(marked ? Ink::Accent : Ink::Outline, palette, stale), 1));
        painter.drawEllipse(at(h.x, h.y), std::max(h.radius * scale, 2.0),
                            std::max(h.radius * scale, 2.0));
    }
    for (const SketchText& t : sketch.texts) {
        painter.setPen(inkColour(t.ink, palette, stale));
        painter.drawText(at(t.x, t.y), QString::fromStdString(t.text));
    }
    painter.restore();
}

SketchView::SketchView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picture"));
}

void SketchView::setSketch(std::optional<Sketch> sketch) {
    sketch_ = std::move(sketch);
    update();
}

void SketchView::setStale(bool stale) {
    stale_ = stale;
    update();
}

void SketchView::setHighlighted(std::int64_t hole) {
    highlighted_ = hole;
    update();
}

QSize SketchView::sizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 40, fontMetrics().height() * 16);
}

QSize SketchView::minimumSizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 16, fontMetrics().height() * 6);
}

void SketchView::paintEvent(QPaintEvent* /*event*/) {
    if (!sketch_) {
        return;
    }
    QPainter painter(this);
    paintSketch(painter, *sketch_, rect(), highlighted_, stale_);
}

}  // namespace morvanta::workshop
