// SPDX-License-Identifier: GPL-3.0-or-later
// paintSketch: the one painter of the engine's pictures, for the window, the printed page and the
// SVG file alike. Every size is taken from the font the painter is given, so that the picture
// reads the same on a screen at any scale and on paper at any resolution.
#include <QFontMetricsF>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "workshop/SketchLabels.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

// Drawn on white paper whatever the window's colours, so that the window, the print and the SVG
// look alike; greyed as a whole while the picture is of the last good input.
QColor inkColour(Ink ink, bool stale) {
    if (stale) {
        return QColor(0xA8, 0xA8, 0xA8);
    }
    switch (ink) {
        case Ink::Guide:
            return QColor(0x8C, 0x8C, 0x8C);
        case Ink::Accent:
            return QColor(0xC0, 0x36, 0x00);
        case Ink::Dimension:
            return QColor(0x1F, 0x55, 0xB0);
        case Ink::Outline:
            break;
    }
    return QColor(0x20, 0x20, 0x20);
}

QColor highlightColour(bool stale) {
    return stale ? QColor(0x90, 0x90, 0x90) : QColor(0x00, 0x8A, 0x3E);
}

// Line widths in units of a sixteenth of the font's height: a pixel on a screen at 100 %.
double inkWidth(Ink ink) {
    switch (ink) {
        case Ink::Guide:
            return 0.8;
        case Ink::Accent:
            return 1.8;
        case Ink::Dimension:
            return 1.0;
        case Ink::Outline:
            break;
    }
    return 1.3;
}

constexpr Ink kInkOrder[] = {Ink::Guide, Ink::Dimension, Ink::Outline, Ink::Accent};

// The box round the shapes of the sketch, in its own units (texts and labels are sized in the
// painter's units and fitted separately).
struct Extent {
    double left = std::numeric_limits<double>::max();
    double right = std::numeric_limits<double>::lowest();
    double bottom = std::numeric_limits<double>::max();
    double top = std::numeric_limits<double>::lowest();

    void take(double x, double y, double r = 0) {
        left = std::min(left, x - r);
        right = std::max(right, x + r);
        bottom = std::min(bottom, y - r);
        top = std::max(top, y + r);
    }
    bool empty() const { return left > right; }
};

// The points an arc reaches furthest: its ends and the quarter points it passes.
void takeArc(Extent& extent, const SketchArc& a) {
    const double from = std::min(a.start, a.start + a.sweep);
    const double to = std::max(a.start, a.start + a.sweep);
    const auto point = [&](double degrees) {
        const double t = degrees * std::numbers::pi / 180;
        extent.take(a.x + a.radius * std::cos(t), a.y + a.radius * std::sin(t));
    };
    point(from);
    point(to);
    for (double quarter = std::ceil(from / 90) * 90; quarter < to; quarter += 90) {
        point(quarter);
    }
}

Extent shapesOf(const Sketch& sketch) {
    Extent extent;
    for (const SketchCircle& c : sketch.circles) {
        extent.take(c.x, c.y, c.radius);
    }
    for (const SketchLine& l : sketch.lines) {
        extent.take(l.x1, l.y1);
        extent.take(l.x2, l.y2);
    }
    for (const SketchArc& a : sketch.arcs) {
        takeArc(extent, a);
    }
    for (const SketchHole& h : sketch.holes) {
        extent.take(h.x, h.y, h.radius);
    }
    for (const SketchText& t : sketch.texts) {
        extent.take(t.x, t.y);
    }
    return extent;
}

// What a text reaches beyond its anchor, in the painter's units: left, right, up, down.
struct Reach {
    double left, right, up, down;
};

Reach reachOf(const QSizeF& size, Align align, double gap) {
    const double w = size.width();
    const double h = size.height();
    switch (align) {
        case Align::Left:
            return {0, gap + w, h / 2, h / 2};
        case Align::Right:
            return {gap + w, 0, h / 2, h / 2};
        case Align::Above:
            return {w / 2, w / 2, gap + h, 0};
        case Align::Below:
            return {w / 2, w / 2, 0, gap + h};
        case Align::Centre:
            break;
    }
    return {w / 2, w / 2, h / 2, h / 2};
}

// Where the sketch's units go on the device: X to the right and Y up, one unit `scale` wide.
struct Frame {
    double scale = 1;
    double originX = 0;
    double originY = 0;

    QPointF at(double x, double y) const { return {originX + x * scale, originY - y * scale}; }
};

// The largest scale at which the shapes, the texts beside them and room for the hole numbers all
// fit the area, the whole centred in it. The texts keep their size whatever the scale, so the
// span the picture needs grows with the scale in steps; it is found by halving.
Frame fit(const Extent& shapes, const std::vector<std::pair<QPointF, Reach>>& texts,
          const QSizeF& holeLabel, const QRectF& area) {
    const auto span = [&](double s) {
        double left = shapes.left * s - holeLabel.width();
        double right = shapes.right * s + holeLabel.width();
        double down = -shapes.bottom * s + holeLabel.height();
        double up = -shapes.top * s - holeLabel.height();
        for (const auto& [anchor, reach] : texts) {
            left = std::min(left, anchor.x() * s - reach.left);
            right = std::max(right, anchor.x() * s + reach.right);
            up = std::min(up, -anchor.y() * s - reach.up);
            down = std::max(down, -anchor.y() * s + reach.down);
        }
        return QRectF(QPointF(left, up), QPointF(right, down));
    };
    const double width = std::max(shapes.right - shapes.left, 1e-9);
    const double height = std::max(shapes.top - shapes.bottom, 1e-9);
    double high = std::min(area.width() / width, area.height() / height);
    double low = 0;
    for (int i = 0; i < 48; ++i) {
        const double mid = (low + high) / 2;
        const QRectF needed = span(mid);
        (needed.width() <= area.width() && needed.height() <= area.height() ? low : high) = mid;
    }
    const QRectF needed = span(low);
    return {low, area.center().x() - needed.center().x(), area.center().y() - needed.center().y()};
}

QPen penFor(Ink ink, bool stale, double unit) {
    QPen pen(inkColour(ink, stale), inkWidth(ink) * unit);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// A filled head at `tip`, pointing along `direction` (a unit vector in the painter's units).
void arrowHead(QPainter& painter, QPointF tip, QPointF direction, double length) {
    const QPointF normal(-direction.y(), direction.x());
    const QPointF base = tip - direction * length;
    const QPolygonF head{tip, base + normal * (0.36 * length), base - normal * (0.36 * length)};
    painter.save();
    painter.setBrush(painter.pen().color());
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(head);
    painter.restore();
}

QPointF unit(QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF(1, 0);
}

// Whether the painter draws pixels straight onto a screen's image, neither scaled nor turned:
// where a picture may take the shortcuts no eye can tell, which a printed page or an SVG may not.
bool onScreen(const QPainter& painter) {
    return painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
           painter.worldTransform().type() <= QTransform::TxTranslate;
}

// On a screen, a chain of lines that runs straight on is drawn as one line: the drill path of a
// grid is ten thousand lines of a few pixels, nearly all of them along its rows, and Qt strokes
// each afresh. A chain runs straight on while every joint lies within a twentieth of a pixel of
// the line its first link starts, which no eye can tell. Printed pages and SVG files keep every
// line as the sketch has it.
class LineChains {
public:
    explicit LineChains(QPainter& painter) : painter_(painter), on_(onScreen(painter)) {}

    void add(QPointF from, QPointF to) {
        if (on_ && !lines_.empty() && runsOn(from, to)) {
            lines_.back().setP2(to);
            return;
        }
        lines_.emplace_back(from, to);
        direction_ = unit(to - from);
    }

    void draw() {
        painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
        lines_.clear();
    }

private:
    static constexpr double kTolerance = 0.05;

    bool runsOn(QPointF from, QPointF to) const {
        const QLineF& last = lines_.back();
        const QPointF start = last.p1();
        const QPointF onward = to - from;
        const QPointF off = to - start;
        return std::abs(from.x() - last.x2()) <= kTolerance &&
               std::abs(from.y() - last.y2()) <= kTolerance &&
               onward.x() * direction_.x() + onward.y() * direction_.y() > 0 &&
               std::abs(off.x() * direction_.y() - off.y() * direction_.x()) <= kTolerance;
    }

    QPainter& painter_;
    bool on_;
    std::vector<QLineF> lines_;
    QPointF direction_;
};

struct Style {
    double unit = 1;   // a sixteenth of the font's height
    double arrow = 8;  // an arrow head's length
    bool stale = false;

    // The radius a hole is drawn at however small, and so the spot in which holes are one dot.
    double smallestHole() const { return 1.5 * unit; }
};

void drawShapes(QPainter& painter, const Sketch& sketch, const Frame& frame, const Style& style) {
    for (const Ink ink : kInkOrder) {
        painter.setPen(penFor(ink, style.stale, style.unit));
        for (const SketchCircle& c : sketch.circles) {
            if (c.ink == ink) {
                painter.setBrush(c.filled ? QBrush(inkColour(ink, style.stale)) : Qt::NoBrush);
                const double r = c.radius * frame.scale;
                painter.drawEllipse(frame.at(c.x, c.y), r, r);
            }
        }
        painter.setBrush(Qt::NoBrush);
        for (const SketchArc& a : sketch.arcs) {
            if (a.ink != ink) {
                continue;
            }
            const double r = a.radius * frame.scale;
            const QPointF centre = frame.at(a.x, a.y);
            painter.drawArc(QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)),
                            qRound(a.start * 16), qRound(a.sweep * 16));
            if (a.arrow && a.sweep != 0) {
                const double end = (a.start + a.sweep) * std::numbers::pi / 180;
                const double turn = a.sweep > 0 ? 1 : -1;
                const QPointF tip =
                    frame.at(a.x + a.radius * std::cos(end), a.y + a.radius * std::sin(end));
                arrowHead(painter, tip, QPointF(-std::sin(end) * turn, -std::cos(end) * turn),
                          style.arrow);
            }
        }
        LineChains chains(painter);
        for (const SketchLine& l : sketch.lines) {
            if (l.ink != ink) {
                continue;
            }
            const QPointF from = frame.at(l.x1, l.y1);
            const QPointF to = frame.at(l.x2, l.y2);
            if (l.arrow) {
                painter.drawLine(from, to);
                arrowHead(painter, to, unit(to - from), style.arrow);
            } else {
                chains.add(from, to);
            }
        }
        chains.draw();
    }
}

// On a screen, holes of one size are stamped from one picture of a hole: Qt works out and fills
// every ellipse afresh, which for ten thousand holes is four fifths of a keystroke's redraw. A
// stamp lands on the nearest pixel, which a hole this many to a picture does not show. Printed
// pages and SVG files keep their holes as shapes.
class HoleStamps {
public:
    explicit HoleStamps(QPainter& painter)
        : painter_(painter),
          on_(onScreen(painter)),
          ratio_(painter.device() ? painter.device()->devicePixelRatioF() : 1.0) {}

    bool stamping() const { return on_; }

    // Draws the disc of radius r at p with the painter's pen and brush, as drawEllipse would.
    void draw(QPointF p, double r) {
        if (!on_) {
            painter_.drawEllipse(p, r, r);
            return;
        }
        const QPixmap& stamp = stampOf(r);
        const double half = stamp.width() / ratio_ / 2;
        painter_.drawPixmap(QPointF(std::round((p.x() - half) * ratio_) / ratio_,
                                    std::round((p.y() - half) * ratio_) / ratio_),
                            stamp);
    }

private:
    const QPixmap& stampOf(double r) {
        // Sizes a sixteenth of a pixel apart look alike; the key keeps the few a picture has.
        const auto key = static_cast<std::int64_t>(std::llround(r * 16));
        auto at = stamps_.find(key);
        if (at == stamps_.end()) {
            const double reach = r + painter_.pen().widthF() / 2 + 1;
            const int side = static_cast<int>(std::ceil(2 * reach * ratio_));
            QPixmap stamp(side, side);
            stamp.setDevicePixelRatio(ratio_);
            stamp.fill(Qt::transparent);
            QPainter inked(&stamp);
            inked.setRenderHints(painter_.renderHints());
            inked.setPen(painter_.pen());
            inked.setBrush(painter_.brush());
            const double middle = side / ratio_ / 2;
            inked.drawEllipse(QPointF(middle, middle), r, r);
            inked.end();
            at = stamps_.emplace(key, std::move(stamp)).first;
        }
        return at->second;
    }

    QPainter& painter_;
    bool on_;
    double ratio_;
    std::map<std::int64_t, QPixmap> stamps_;
};

// Every hole, each with a white middle so that the lines under it do not cross it, hole 1 and the
// hole at hand filled. Holes too small to be told apart are dots, one to a spot: ten thousand of
// them on a small picture would otherwise be painted over each other a dozen times. Gives the
// box of each hole, in the order of the sketch's holes.
std::vector<QRectF> drawHoles(QPainter& painter, const Sketch& sketch, const Frame& frame,
                              const Style& style, std::int64_t highlighted) {
    const double smallest = style.smallestHole();
    std::vector<QRectF> discs;
    discs.reserve(sketch.holes.size());
    std::vector<std::size_t> marked;
    std::vector<std::pair<QPointF, double>> dots;
    std::unordered_set<std::uint64_t> spots;
    painter.setPen(penFor(Ink::Outline, style.stale, style.unit));
    painter.setBrush(QColor(Qt::white));
    HoleStamps holes(painter);
    for (const SketchHole& h : sketch.holes) {
        const QPointF p = frame.at(h.x, h.y);
        const double r = std::max(h.radius * frame.scale, smallest);
        discs.emplace_back(p - QPointF(r, r), QSizeF(2 * r, 2 * r));
        if (h.number == 1 || h.number == highlighted) {
            marked.push_back(discs.size() - 1);
        } else if (r > 2.5 * style.unit) {
            holes.draw(p, r);
        } else if (spots
                       .insert((static_cast<std::uint64_t>(std::llround(p.x() / smallest)) << 32) ^
                               static_cast<std::uint32_t>(std::llround(p.y() / smallest)))
                       .second) {
            dots.emplace_back(p, r);
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(inkColour(Ink::Outline, style.stale));
    HoleStamps dotStamps(painter);
    if (dotStamps.stamping()) {
        for (const auto& [p, r] : dots) {
            dotStamps.draw(p, r);
        }
    } else {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const auto& [p, r] : dots) {
            path.addEllipse(p, r, r);
        }
        painter.fillPath(path, painter.brush());
    }
    for (const std::size_t i : marked) {
        const SketchHole& h = sketch.holes[i];
        const QPointF p = discs[i].center();
        const double r = std::max(discs[i].width() / 2, 2.5 * style.unit);
        const QColor colour = h.number == highlighted ? highlightColour(style.stale)
                                                      : inkColour(Ink::Accent, style.stale);
        painter.setPen(QPen(colour, inkWidth(Ink::Accent) * style.unit));
        painter.setBrush(colour);
        painter.drawEllipse(p, r, r);
        if (h.number == highlighted) {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(p, r + 3 * style.unit, r + 3 * style.unit);
        }
        discs[i] = QRectF(p - QPointF(r, r), QSizeF(2 * r, 2 * r));
    }
    return discs;
}

// The caption under the picture, on two lines where one is not wide enough; gives the area left
// above it.
QRectF drawCaption(QPainter& painter, const Sketch& sketch, const QRectF& area,
                   const QFontMetricsF& metrics, bool stale) {
    QRectF drawing = area;
    if (sketch.caption.empty()) {
        return drawing;
    }
    const QString caption = QString::fromStdString(sketch.caption);
    const bool twoLines = metrics.horizontalAdvance(caption) > area.width();
    drawing.setBottom(area.bottom() - (twoLines ? 2.5 : 1.5) * metrics.height());
    const QRectF band(area.left(), drawing.bottom() + 0.25 * metrics.height(), area.width(),
                      area.bottom() - drawing.bottom());
    painter.setPen(inkColour(Ink::Outline, stale));
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, caption);
    return drawing;
}

// The hole numbers a little smaller than the other texts, the font sized as it was given.
QFont numberFont(const QFont& font) {
    QFont small = font;
    if (font.pointSizeF() > 0) {
        small.setPointSizeF(font.pointSizeF() * 0.85);
    } else {
        small.setPixelSize(std::max(1, qRound(font.pixelSize() * 0.85)));
    }
    return small;
}

}  // namespace

double sketchAspect(const Sketch& sketch) {
    const Extent shapes = shapesOf(sketch);
    if (shapes.empty() || shapes.right <= shapes.left) {
        return 1;
    }
    return (shapes.top - shapes.bottom) / (shapes.right - shapes.left);
}

void paintSketch(QPainter& painter, const Sketch& sketch, const QRectF& area,
                 std::int64_t highlighted, bool stale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = painter.font();
    const QFontMetricsF metrics(font, painter.device());
    Style style;
    style.unit = metrics.height() / 16;
    style.arrow = 0.55 * metrics.height();
    style.stale = stale;
    const double gap = 0.3 * metrics.height();

    const QRectF drawing = drawCaption(painter, sketch, area, metrics, stale);
    const Extent shapes = shapesOf(sketch);
    if (shapes.empty() || drawing.width() <= 0 || drawing.height() <= 0) {
        painter.restore();
        return;
    }
    std::vector<QString> words;
    std::vector<std::pair<QPointF, Reach>> reaches;
    for (const SketchText& t : sketch.texts) {
        words.push_back(QString::fromStdString(t.text));
        reaches.emplace_back(QPointF(t.x, t.y),
                             reachOf(metrics.size(0, words.back()), t.align, gap));
    }
    const QFont small = numberFont(font);
    const QFontMetricsF smallMetrics(small, painter.device());
    const QSizeF holeLabel =
        sketch.holes.empty()
            ? QSizeF()
            : QSizeF(
                  smallMetrics.horizontalAdvance(QString::number(sketch.holes.back().number)) + gap,
                  smallMetrics.height() + gap);
    const Frame frame = fit(shapes, reaches, holeLabel, drawing);

    drawShapes(painter, sketch, frame, style);
    const std::vector<QRectF> discs = drawHoles(painter, sketch, frame, style, highlighted);

    LabelPlacer placer(drawing, std::max(metrics.height(), holeLabel.width()));
    // Holes a dot apart are kept from the texts as one: a ring of ten thousand on a small picture
    // would otherwise have each text tried against hundreds of them.
    placer.addHoles(discs, style.smallestHole());
    painter.setFont(font);
    for (std::size_t i = 0; i < sketch.texts.size(); ++i) {
        const SketchText& t = sketch.texts[i];
        const std::optional<QRectF> box =
            placer.placeText(frame.at(t.x, t.y), metrics.size(0, words[i]), t.align, gap);
        if (box) {
            painter.setPen(inkColour(t.ink, stale));
            painter.drawText(*box, Qt::AlignCenter, words[i]);
        }
    }
    painter.setFont(small);
    painter.setPen(inkColour(Ink::Outline, stale));
    for (const auto& [box, text] :
         placer.holeLabels(sketch.holes, discs, smallMetrics, gap, highlighted)) {
        painter.drawText(box, Qt::AlignCenter, text);
    }
    painter.restore();
}

}  // namespace morvanta::workshop
