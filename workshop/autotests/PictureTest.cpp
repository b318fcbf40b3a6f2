// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPainter>
#include <QTransform>
#include <QXmlStreamReader>

#include <cmath>
#include <numbers>

#include "workshop/SketchLabels.h"
#include "workshop/SketchView.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

namespace {

// The accent (hole 1, the sector arms, the circle in use), the holes' white, the guides.
const QString kAccent = "#c03600";
const QString kPaper = "#ffffff";
const QString kGuide = "#8c8c8c";

// A shape of an SVG file as another program reads it: element, fill and stroke from its groups,
// points in the file's units (a circle's centre, a line's ends, a text's start).
struct Shape {
    QString element;
    QString fill;
    QString stroke;
    QList<QPointF> points;
    double radius = 0;
    QString text;
};

QTransform matrixOf(QStringView attribute) {
    static const QRegularExpression numbers("-?[0-9.eE+-]+");
    QList<double> m;
    for (const QRegularExpressionMatch& match : numbers.globalMatch(attribute)) {
        m.append(match.captured().toDouble());
    }
    return m.size() == 6 ? QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) : QTransform();
}

// Circles, polylines and texts, each in the transform and inks of its groups.
QList<Shape> shapesOf(const QByteArray& svg) {
    struct Group {
        QString fill, stroke;
        QTransform transform;
    };
    QList<Group> groups{{"none", "none", {}}};
    QList<Shape> shapes;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"g") {
            groups.removeLast();
        }
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        const QXmlStreamAttributes a = xml.attributes();
        Group here = groups.last();
        if (a.hasAttribute("fill")) {
            here.fill = a.value("fill").toString();
        }
        if (a.hasAttribute("stroke")) {
            here.stroke = a.value("stroke").toString();
        }
        here.transform = matrixOf(a.value("transform")) * here.transform;
        if (xml.name() == u"g") {
            groups.append(here);
            continue;
        }
        Shape shape{xml.name().toString(), here.fill, here.stroke, {}, 0, {}};
        if (shape.element == "circle") {
            shape.points.append(
                here.transform.map(QPointF(a.value("cx").toDouble(), a.value("cy").toDouble())));
            shape.radius = a.value("r").toDouble() * here.transform.m11();
        } else if (shape.element == "polyline") {
            for (const QString& pair : a.value("points").toString().simplified().split(' ')) {
                shape.points.append(here.transform.map(
                    QPointF(pair.section(',', 0, 0).toDouble(), pair.section(',', 1).toDouble())));
            }
        } else if (shape.element == "text") {
            shape.points.append(
                here.transform.map(QPointF(a.value("x").toDouble(), a.value("y").toDouble())));
            shape.text = xml.readElementText();
        } else {
            continue;
        }
        shapes.append(shape);
    }
    return shapes;
}

// Degrees counter-clockwise from +X (Y up) from `centre` to `p` on the page (Y down), in [0, 360).
double bearing(QPointF centre, QPointF p) {
    const double degrees =
        std::atan2(centre.y() - p.y(), p.x() - centre.x()) * 180 / std::numbers::pi;
    return std::fmod(degrees + 360, 360);
}

bool near(double a, double b) {
    return std::abs(std::remainder(a - b, 360)) < 0.05;
}

}  // namespace

// The picture as saved and printed: its geometry read back from the SVG by a reader of its own,
// the printed page looked at in pixels.
class PictureTest : public WindowFixture {
    Q_OBJECT

private:
    QList<Shape> exported(const QString& name) {
        const QString path = folder.filePath(name);
        if (!window->exportPictureTo(path)) {
            return {};
        }
        return shapesOf(bytesOf(path));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    void shouldPutHoleOneWhereTheStartAndTheDirectionSay_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QList<double>>("bearings");  // of holes 1 to 4, from +X
        // The dial: counter-clockwise from the top, hole 1 at 90° + start and each hole 90° on;
        // clockwise at 90° - start and each 90° back. The bolt circle: from the zero direction,
        // east (0°) or north (90°), by the start angle counter-clockwise, or clockwise.
        // clang-format off
        QTest::newRow("from 0") << "sheet" << QStringList{"count=4"} << QList<double>{90, 180, 270, 0};
        QTest::newRow("from 15") << "sheet" << QStringList{"count=4", "start=15"} << QList<double>{105, 195, 285, 15};
        QTest::newRow("from 15 clockwise") << "sheet" << QStringList{"count=4", "start=15", "cw=true"} << QList<double>{75, 345, 255, 165};
        QTest::newRow("from -22.5 clockwise") << "sheet" << QStringList{"count=4", "start=-22.5", "cw=true"} << QList<double>{112.5, 22.5, 292.5, 202.5};
        QTest::newRow("over 90 clockwise") << "sheet" << QStringList{"count=4", "span=90", "cw=true"} << QList<double>{90, 67.5, 45, 22.5};
        QTest::newRow("bolt east from 15") << "bolt" << QStringList{"count=4", "diameter=100", "start=15"} << QList<double>{15, 105, 195, 285};
        QTest::newRow("bolt east from 15 clockwise") << "bolt" << QStringList{"count=4", "diameter=100", "start=15", "cw=true"} << QList<double>{345, 255, 165, 75};
        QTest::newRow("bolt north from 15") << "bolt" << QStringList{"count=4", "diameter=100", "start=15", "zero=north"} << QList<double>{105, 195, 285, 15};
        QTest::newRow("bolt north from 15 clockwise") << "bolt" << QStringList{"count=4", "diameter=100", "start=15", "zero=north", "cw=true"} << QList<double>{75, 345, 255, 165};
        // clang-format on
    }

    // The ring (pitch circle) is the only grey circle; hole 1 filled in the accent, the others
    // white; each hole on the ring at the bearing worked out above.
    void shouldPutHoleOneWhereTheStartAndTheDirectionSay() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QList<double>, bearings);
        fillPage(front(window, page), fields);
        QList<Shape> rings, first, others;
        for (const Shape& s : exported("dial.svg")) {
            const bool ring = s.stroke == kGuide && s.fill == "none";
            if (s.element == "circle" && (ring || s.fill == kAccent || s.fill == kPaper)) {
                (ring ? rings : s.fill == kAccent ? first : others).append(s);
            }
        }
        QCOMPARE((QList<qsizetype>{rings.size(), first.size(), others.size()}),
                 (QList<qsizetype>{1, 1, 3}));
        const QPointF centre = rings[0].points[0];
        const double radius = rings[0].radius;
        QVERIFY(radius > 100);
        QList<double> found{bearing(centre, first[0].points[0])};
        for (const Shape& hole : others) {
            QVERIFY(std::abs(QLineF(centre, hole.points[0]).length() - radius) < 0.01 * radius);
            found.append(bearing(centre, hole.points[0]));
        }
        QVERIFY2(near(found[0], bearings[0]), qPrintable(QString::number(found[0])));
        // The others in any order: each where one of holes 2 to 4 should be.
        for (int hole = 1; hole < 4; ++hole) {
            QVERIFY2(std::any_of(found.begin() + 1, found.end(),
                                 [&](double b) { return near(b, bearings[hole]); }),
                     qPrintable(QStringLiteral("hole %1 at %2").arg(hole + 1).arg(bearings[hole])));
        }
    }

    void shouldOpenTheSectorArmsToTheMove_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<double>("opening");
        // 5 holes of 15, 8 of 18, 2 of 17 for each division: 120°, 160°, 42.35°.
        QTest::newRow("127 differential") << "127" << 120.0;
        QTest::newRow("9 simple") << "9" << 160.0;
        QTest::newRow("51 compound") << "51" << 720.0 / 17;
    }

    // The arms, the two accent lines from the plate's centre: one up to the crank pin's hole, the
    // other turned clockwise by the move.
    void shouldOpenTheSectorArmsToTheMove() {
        QFETCH(QString, count);
        QFETCH(double, opening);
        fillPage(front(window, "index"), {"count=" + count, "plates=bs"});
        QList<Shape> arms;
        for (const Shape& s : exported("plate.svg")) {
            if (s.element == "polyline" && s.stroke == kAccent) {
                arms.append(s);
            }
        }
        QCOMPARE(arms.size(), 2);
        QVERIFY(QLineF(arms[0].points[0], arms[1].points[0]).length() < 0.01);
        const QPointF centre = arms[0].points[0];
        QVERIFY(near(bearing(centre, arms[0].points[1]), 90));
        QVERIFY2(near(bearing(centre, arms[1].points[1]), 90 - opening),
                 qPrintable(QString::number(bearing(centre, arms[1].points[1]))));
        QVERIFY(std::abs(QLineF(centre, arms[0].points[1]).length() -
                         QLineF(centre, arms[1].points[1]).length()) < 0.01);
    }

    void shouldNumberTheHolesThatFitOnOneSide_data() {
        QTest::addColumn<int>("holes");
        QTest::addColumn<double>("radius");  // of the ring; 0 for a row
        QTest::addColumn<QList<qint64>>("numbered");
        // 12 on a ring 300 px across: every number. 360 on 200 px (under 2 px apart): every 20th,
        // the numbers some 20 px apart (every 10th would be closer than a line of type). 10000:
        // every 500th, 36 px apart, room for four digits at top and bottom (every 200th would leave
        // 14). Five large holes in a row, 80 apart: each.
        const auto every = [](int step, int last) {
            QList<qint64> numbers;
            for (qint64 n = 1; n <= last; n += step) {
                numbers.append(n);
            }
            return numbers;
        };
        QTest::newRow("12") << 12 << 150.0 << every(1, 12);
        QTest::newRow("360") << 360 << 100.0 << every(20, 360);
        QTest::newRow("10000") << 10000 << 100.0 << every(500, 10000);
        QTest::newRow("a row of 5") << 5 << 0.0 << every(1, 5);
    }

    // 1 px holes on a ring in a 400 x 400 area, or 10 px ones in a row, numbered in 8 x 12 px type:
    // the numbers that fit, none on another or a hole; outside a ring, over a row each above its
    // hole.
    void shouldNumberTheHolesThatFitOnOneSide() {
        QFETCH(int, holes);
        QFETCH(double, radius);
        QFETCH(QList<qint64>, numbered);
        const QRectF area(0, 0, 400, 400);
        const double size = radius > 0 ? 1 : 10;
        std::vector<morvanta::SketchHole> placed;
        std::vector<QRectF> discs;
        for (int k = 0; k < holes; ++k) {
            const double t = 2 * std::numbers::pi * k / holes;
            const QPointF p = radius > 0
                                  ? QPointF(200 + radius * std::cos(t), 200 - radius * std::sin(t))
                                  : QPointF(40 + 80 * k, 200);
            placed.push_back({p.x(), p.y(), size, k + 1});
            discs.emplace_back(p - QPointF(size, size), QSizeF(2 * size, 2 * size));
        }
        QFont font;
        font.setPixelSize(12);
        const QFontMetricsF metrics(font);
        LabelPlacer placer(area, 20);
        // Holes within a dot of one another kept out as one, as the picture keeps them.
        placer.addHoles(discs, 1.5);
        const auto labels = placer.holeLabels(placed, discs, metrics, 4, 0);
        QList<qint64> found;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const auto& [box, text] = labels[i];
            found.append(text.toLongLong());
            QVERIFY(area.contains(box));
            if (radius > 0) {
                QVERIFY(QLineF(area.center(), box.center()).length() > radius);
            } else {
                QVERIFY(box.bottom() < discs[i].top());
                QVERIFY(std::abs(box.center().x() - discs[i].center().x()) < 0.01);
            }
            for (const QRectF& disc : discs) {
                QVERIFY(!disc.intersects(box));
            }
            for (std::size_t j = 0; j < i; ++j) {
                QVERIFY(!labels[j].first.intersects(box));
            }
        }
        QCOMPARE(found, numbered);
    }

    // A text is moved off the hole under it, whichever shares its stretch of the picture: the
    // second of three far apart, either of two within a dot, which are kept out as one.
    void shouldMoveATextOffTheHoleUnderIt_data() {
        QTest::addColumn<QList<QRectF>>("discs");
        QTest::addColumn<double>("within");
        QTest::addColumn<QPointF>("anchor");
        const QList<QRectF> apart{{10, 10, 2, 2}, {109, 109, 2, 2}, {101, 101, 2, 2}};
        const QList<QRectF> close{{100, 100, 2, 2}, {101.2, 101.2, 2, 2}};
        QTest::newRow("the second of three") << apart << 0.0 << QPointF(110, 110);
        QTest::newRow("the first of two close") << close << 1.5 << QPointF(100.5, 100.5);
        QTest::newRow("the second of two close") << close << 1.5 << QPointF(102.7, 102.7);
    }

    void shouldMoveATextOffTheHoleUnderIt() {
        QFETCH(QList<QRectF>, discs);
        QFETCH(double, within);
        QFETCH(QPointF, anchor);
        LabelPlacer placer(QRectF(0, 0, 200, 200), 20);
        placer.addHoles({discs.begin(), discs.end()}, within);
        const QRectF box =
            placer.placeText(anchor, QSizeF(1, 1), morvanta::Align::Centre, 2).value_or(QRectF());
        QVERIFY(QRectF(0, 0, 200, 200).contains(box));
        for (const QRectF& disc : discs) {
            QVERIFY(!disc.intersects(box));
        }
    }

    // Lines that run straight on are drawn as one, but a path that turns still turns: a square
    // whose first side is ten pieces is its four sides, the middle blank; a path 0 to 50 to 100
    // across and 20 down and up is drawn bent, its ink a fifth as high as wide.
    void shouldDrawAPathThatTurnsAsItTurns() {
        const auto line = [](double x1, double y1, double x2, double y2) {
            return morvanta::SketchLine{x1, y1, x2, y2, morvanta::Ink::Guide, false};
        };
        const auto painted = [](const morvanta::Sketch& sketch) {
            QImage image(300, 300, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            paintSketch(painter, sketch, QRectF(20, 20, 260, 260));
            return image;
        };
        const auto inked = [](const QImage& image, int x, int y) {
            return qGray(image.pixel(x, y)) < 230;
        };
        morvanta::Sketch square;
        for (int k = 0; k < 10; ++k) {
            square.lines.push_back(line(10.0 * k, 0, 10.0 * (k + 1), 0));
        }
        square.lines.push_back(line(100, 0, 100, 100));
        square.lines.push_back(line(100, 100, 0, 100));
        square.lines.push_back(line(0, 100, 0, 0));
        const QImage drawn = painted(square);
        // The runs of ink across the middle, either way: one at each side.
        for (const bool row : {true, false}) {
            int runs = 0;
            for (int at = 1; at < 300; ++at) {
                const auto here = [&](int p) {
                    return row ? inked(drawn, p, 150) : inked(drawn, 150, p);
                };
                runs += here(at) && !here(at - 1) ? 1 : 0;
            }
            QCOMPARE(runs, 2);
        }

        morvanta::Sketch bent;
        bent.lines = {line(0, 20, 25, 10), line(25, 10, 50, 0), line(50, 0, 100, 20)};
        const QImage bentDrawn = painted(bent);
        QRect ink;
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 300; ++x) {
                ink |= inked(bentDrawn, x, y) ? QRect(x, y, 1, 1) : QRect();
            }
        }
        const double aspect = static_cast<double>(ink.height()) / ink.width();
        QVERIFY2(aspect > 0.17 && aspect < 0.23, qPrintable(QString::number(aspect)));
    }

    // Two texts at one place: with room the second is moved clear; without, it is left out.
    void shouldLeaveOutATextWithNoRoomButOnAnother() {
        const QSizeF size(30, 8);
        LabelPlacer roomy(QRectF(0, 0, 200, 100), 10);
        const auto first = roomy.placeText({100, 50}, size, morvanta::Align::Centre, 1);
        const auto second = roomy.placeText({100, 50}, size, morvanta::Align::Centre, 1);
        QVERIFY(first && second);
        QVERIFY(!first->intersects(*second));
        LabelPlacer cramped(QRectF(0, 0, 40, 10), 10);
        QVERIFY(cramped.placeText({20, 5}, size, morvanta::Align::Centre, 1));
        QVERIFY(!cramped.placeText({20, 5}, size, morvanta::Align::Centre, 1));
    }

    // The picture follows the fields, and while they are bad shows the last good one, greyed.
    void shouldFollowTheInputAndGreyWhileItIsBad() {
        CalculatorPage* sheet = front(window, "sheet");
        auto* picture = child<SketchView>(sheet, "picture");
        auto* count = child<QLineEdit>(sheet, "count");
        // Each sheet waited for, as the engine runs off the window's thread.
        QVERIFY(picture->sketch() && !picture->isStale());
        QCOMPARE(picture->sketch()->holes.size(), std::size_t{7});
        count->setText("12");
        sheet->finishComputing();
        QCOMPARE(picture->sketch()->holes.size(), std::size_t{12});
        QVERIFY(!picture->isStale());
        count->setText("1");
        sheet->finishComputing();
        QVERIFY(picture->isStale());
        QCOMPARE(picture->sketch()->holes.size(), std::size_t{12});
        // Greyed: no pixel of the accent's red is left.
        const QImage grey = picture->grab().toImage();
        count->setText("12");
        sheet->finishComputing();
        const QImage fresh = picture->grab().toImage();
        QVERIFY(redIn(fresh).first > 20);
        QCOMPARE(redIn(grey).first, 0);
    }
};

QTEST_MAIN(PictureTest)
#include "PictureTest.moc"
