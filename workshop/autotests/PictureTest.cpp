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

// A shape of an SVG file as another program reads it, inks from its groups, points in its units.
struct Shape {
    QString element;
    QString fill;
    QString stroke;
    QList<QPointF> points;
    double radius = 0;
};

QTransform matrixOf(QStringView attribute) {
    static const QRegularExpression numbers("-?[0-9.eE+-]+");
    QList<double> m;
    for (const QRegularExpressionMatch& match : numbers.globalMatch(attribute)) {
        m.append(match.captured().toDouble());
    }
    return m.size() == 6 ? QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) : QTransform();
}

// Circles and polylines, each in the transform and inks of its groups.
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
        Shape shape{xml.name().toString(), here.fill, here.stroke, {}, 0};
        if (shape.element == "circle") {
            shape.points.append(
                here.transform.map(QPointF(a.value("cx").toDouble(), a.value("cy").toDouble())));
            shape.radius = a.value("r").toDouble() * here.transform.m11();
        } else if (shape.element == "polyline") {
            for (const QString& pair : a.value("points").toString().simplified().split(' ')) {
                shape.points.append(here.transform.map(
                    QPointF(pair.section(',', 0, 0).toDouble(), pair.section(',', 1).toDouble())));
            }
        } else {
            continue;
        }
        shapes.append(shape);
    }
    return shapes;
}

// Degrees counter-clockwise from +X (Y up) from `centre` to `p` on the page (Y down).
double bearing(QPointF centre, QPointF p) {
    const double degrees =
        std::atan2(centre.y() - p.y(), p.x() - centre.x()) * 180 / std::numbers::pi;
    return std::fmod(degrees + 360, 360);
}

bool near(double a, double b) {
    return std::abs(std::remainder(a - b, 360)) < 0.05;
}

// A page of the PDF as pdftotext -layout reads it, a row a line, blanks squeezed to one.
QStringList pdfLines(const QString& pdf, int page) {
    QStringList lines;
    for (const QString& line :
         runPoppler(MORVANTA_PDFTOTEXT, page, {"-layout", "-enc", "UTF-8", pdf, "-"}).split('\n')) {
        if (!line.trimmed().isEmpty()) {
            lines.append(line.simplified());
        }
    }
    return lines;
}

}  // namespace

// The picture read back from its SVG, the printed pages as poppler reads and draws them.
class PictureTest : public WindowFixture {
    Q_OBJECT

private:
    QList<Shape> exported(const QString& name) {
        const QString path = folder.filePath(name);
        return window->exportPictureTo(path) ? shapesOf(bytesOf(path)) : QList<Shape>();
    }

private slots:
    void initTestCase() {
        // The page size follows the locale; the print tests count A4 pages.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    void shouldPutHoleOneWhereTheStartAndTheDirectionSay_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QList<double>>("bearings");  // of holes 1 to 4, from +X
        // The dial from the top, 90° + start (clockwise 90° - start); the bolt circle from east
        // (0°) or north (90°), by the start angle counter-clockwise, or clockwise.
        // clang-format off
        QTest::newRow("from 15") << "sheet" << QStringList{"count=4", "start=15"} << QList<double>{105, 195, 285, 15};
        QTest::newRow("from 15 clockwise") << "sheet" << QStringList{"count=4", "start=15", "cw=true"} << QList<double>{75, 345, 255, 165};
        QTest::newRow("over 90 clockwise") << "sheet" << QStringList{"count=4", "span=90", "cw=true"} << QList<double>{90, 67.5, 45, 22.5};
        QTest::newRow("bolt east from 15") << "bolt" << QStringList{"count=4", "diameter=100", "start=15"} << QList<double>{15, 105, 195, 285};
        QTest::newRow("bolt east from 15 clockwise") << "bolt" << QStringList{"count=4", "diameter=100", "start=15", "cw=true"} << QList<double>{345, 255, 165, 75};
        QTest::newRow("bolt north from 15 clockwise") << "bolt" << QStringList{"count=4", "diameter=100", "start=15", "zero=north", "cw=true"} << QList<double>{75, 345, 255, 165};
        // clang-format on
    }

    // The ring the only grey circle, hole 1 in the accent, the others white, each on the ring.
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

    // The arms, two accent lines from the centre: one up to the pin, one clockwise by the move.
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
        // 360 on 200 px: every 20th, 20 px apart (every 10th closer than a line of type). 10000:
        // every 500th, 36 px apart, four digits fitting at top and bottom (every 200th leaves 14).
        const auto every = [](int step, int last) {
            QList<qint64> numbers;
            for (qint64 n = 1; n <= last; n += step) {
                numbers.append(n);
            }
            return numbers;
        };
        QTest::newRow("360") << 360 << 100.0 << every(20, 360);
        QTest::newRow("10000") << 10000 << 100.0 << every(500, 10000);
        QTest::newRow("a row of 5") << 5 << 0.0 << every(1, 5);
    }

    // 1 px holes on a ring or 10 px ones in a row, in 12 px type: the numbers that fit, none on
    // another or a hole; outside a ring, each above its hole in a row.
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

    // Lines straight on drawn as one, a turn still turning: a path 20 up and down over 100, its
    // first two links straight on, has ink a fifth as high as it is wide.
    void shouldDrawAPathThatTurnsAsItTurns() {
        const auto line = [](double x1, double y1, double x2, double y2) {
            return morvanta::SketchLine{x1, y1, x2, y2, morvanta::Ink::Guide, false};
        };
        morvanta::Sketch sketch;
        sketch.lines = {line(0, 20, 25, 10), line(25, 10, 50, 0), line(50, 0, 100, 20)};
        QImage drawn(300, 300, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        {
            QPainter painter(&drawn);
            paintSketch(painter, sketch, QRectF(20, 20, 260, 260));
        }
        QRect ink;
        int columns = 0;  // with ink, each widening the box: a link left out leaves a gap
        for (int x = 0; x < 300; ++x) {
            const QRect before = ink;
            for (int y = 0; y < 300; ++y) {
                ink |= qGray(drawn.pixel(x, y)) < 230 ? QRect(x, y, 1, 1) : QRect();
            }
            columns += ink != before ? 1 : 0;
        }
        QCOMPARE(columns, ink.width());
        const double aspect = static_cast<double>(ink.height()) / ink.width();
        QVERIFY2(aspect > 0.17 && aspect < 0.23, qPrintable(QString::number(aspect)));
    }

    // Two texts at one place: with room the second is moved clear; without, it is left out. A
    // text is moved off a hole under it, the second of two close together kept out as the first.
    void shouldKeepATextOffHolesAndOtherTexts() {
        const std::vector<QRectF> close{{100, 100, 2, 2}, {101.2, 101.2, 2, 2}};
        LabelPlacer holed(QRectF(0, 0, 200, 200), 20);
        holed.addHoles(close, 1.5);
        const auto off = holed.placeText({102.7, 102.7}, {1, 1}, morvanta::Align::Centre, 2);
        QVERIFY(off && !off->intersects(close[0]) && !off->intersects(close[1]));
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

    void shouldPrintEveryRowOnceUnderItsColumnNames_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QList<int>>("rowsPerPage");
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QStringList>("picture");  // some of the words of the picture
        // Page 1: (755.94 - 338 above - 20 foot) / 16 = 24.8 rows; a further one (755.94 - 46 -
        // 20) / 16 = 43.1; 3 rows and the footer on page 3.
        // clang-format off
        QTest::newRow("sheet 70") << "sheet" << QStringList{"count=70", "ratio=90", "dial=240"}
            << "Hole Angle Turns Dial Error" << QList<int>{24, 43, 3}
            << "Inputs: Count: 70; Worm ratio: 90; Dial graduations: 240" << QStringList{};
        QTest::newRow("index 127") << "index" << QStringList{"count=127", "ratio=40", "plates=bs"}
            << "Division Angle Turns Holes" << QList<int>{}
            << "Inputs: Count: 127; Worm ratio: 40; Plates: Brown & Sharpe"
            << QStringList{"15-hole circle (plate 1)", "56 on the spindle"};
        QTest::newRow("bolt 150") << "bolt" << QStringList{"count=150", "diameter=250", "centre=10,-5", "decimals=5"}
            << "Hole Angle DMS X Y dX dY" << QList<int>{}
            << "Inputs: Count: 150; Diameter: 250; Centre X: 10; Centre Y: -5; Zero direction: East (+X); Decimal digits: 5" << QStringList{};
        // clang-format on
    }

    // Every row of the tool's table once, in order, its box empty; column names, title, inputs and
    // "Page i of n" on every page, the footer last; the picture on page 1 alone, for the sheet
    // 114 pt under the 42.5 pt margin, 200 pt high (72 dpi, a pixel a point).
    void shouldPrintEveryRowOnceUnderItsColumnNames() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QString, header);
        QFETCH(QList<int>, rowsPerPage);
        QFETCH(QString, inputs);
        QFETCH(QStringList, picture);
        fillPage(front(window, page), fields);
        const QString pdf = folder.filePath("rows.pdf");
        const int pages = window->exportPdfTo(pdf);
        QVERIFY(pages >= 2 && (rowsPerPage.isEmpty() || pages == rowsPerPage.size()));

        const ToolRun tool = runTable(toolWords(page, fields));
        const QString title = QString::fromUtf8(tool.out.left(tool.out.indexOf('\n')));
        const QString info = runPoppler(MORVANTA_PDFINFO, 1, {pdf}).simplified();
        QVERIFY2(info.contains(QStringLiteral("Title: %1 ").arg(title)) &&
                     info.contains(QStringLiteral("Pages: %1 ").arg(pages)) &&
                     info.contains("(A4)"),
                 qPrintable(info));
        QStringList rows;
        bool inTable = false;
        for (const QString& line : QString::fromUtf8(tool.out).split('\n')) {
            static const QRegularExpression row("^ *\\d+  ");
            inTable = inTable || line.simplified() == header;
            if (inTable && row.match(line).hasMatch()) {
                rows.append(line.simplified());
            }
        }
        QCOMPARE(rows.size(), fields.front().mid(6).toInt());

        int next = 0;
        QStringList all;
        for (int number = 1; number <= pages; ++number) {
            const QStringList lines = pdfLines(pdf, number);
            all += lines;
            QCOMPARE(lines.front(), number == 1 ? title : title + " (continued)");
            QVERIFY2(lines.join(u' ').contains(inputs), qPrintable(lines.mid(0, 3).join(u'|')));
            QCOMPARE(lines.back(),
                     QStringLiteral("%1 Page %2 of %3").arg(title).arg(number).arg(pages));
            const int before = next;
            for (const QString& line : lines) {
                next += next < rows.size() && line == rows[next] ? 1 : 0;
            }
            QCOMPARE(lines.count(header), next > before ? 1 : 0);
            const QRect red =
                number > 2 ? QRect()
                           : redIn(pdfPicture(pdf, number, 72, folder.filePath("red"))).second;
            QCOMPARE(red.isEmpty(), number > 1);
            if (!rowsPerPage.isEmpty()) {
                QVERIFY2(number > 1 || (red.top() >= 42 + 114 && red.bottom() <= 43 + 314),
                         qPrintable(QStringLiteral("%1 %2").arg(red.top()).arg(red.bottom())));
                QCOMPARE(next - before, rowsPerPage[number - 1]);
                QCOMPARE(tickBoxFaults(pdf, number, rowsPerPage[number - 1], number == pages, {},
                                       folder.filePath("page")),
                         QString());
            }
            if (number == pages) {
                QCOMPARE(lines.at(lines.size() - 2),
                         QString::fromUtf8(tool.out.trimmed().split('\n').last()).simplified());
            }
        }
        QCOMPARE(next, rows.size());
        const QString words = runPoppler(MORVANTA_PDFTOTEXT, 1, {pdf, "-"});
        for (const QString& word : picture) {
            QVERIFY2(words.contains(word), qPrintable(word));
        }
        QVERIFY(all.contains(QString::fromUtf8(tool.out.split('\n').at(1)).simplified()));
    }

    // 64 plates (one word, 250 characters) wrap within the margin, every circle printed.
    void shouldWrapALongListWithinThePage() {
        fillPage(front(window, "index"), {"count=127", "plates=" + sixtyFourCircles()});
        const QString pdf = folder.filePath("plates.pdf");
        QVERIFY(window->exportPdfTo(pdf) > 0);
        const QString inputs = pdfLines(pdf, 1).join(QString()).remove(u' ');
        QVERIFY2(inputs.contains("Plates:" + sixtyFourCircles()), qPrintable(inputs));
        const QImage page = pdfPicture(pdf, 1, 72, folder.filePath("plates"));
        QVERIFY(!page.isNull());
        for (int x = 556; x < page.width(); ++x) {
            for (int y = 0; y < page.height(); ++y) {
                QVERIFY2(qGray(page.pixel(x, y)) > 200,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }

    // Exports suggest the page's name, add the suffix; Print previews, prints on the paper chosen.
    void shouldExportAndPreviewThroughTheDialogs() {
        const QString stem = folder.filePath("chosen");
        QCOMPARE(saveThroughDialog(window, "exportPdf", stem).section(u'/', -1),
                 "setting-sheet-7.pdf");
        const QStringList lines = pdfLines(stem + ".pdf", 1);
        QVERIFY(lines.contains("2 51°26'00\" 12 206 +17.14\""));
        QCOMPARE(saveThroughDialog(window, "exportPicture", stem).section(u'/', -1),
                 "setting-sheet-7.svg");
        const QByteArray svg = bytesOf(stem + ".svg");
        QVERIFY(svg.contains("<title>Setting sheet</title>") && svg.contains("51°26'00"));

        child<QLineEdit>(window->page("sheet"), "count")->setText("200");
        window->page("sheet")->finishComputing();
        int pages = -1;
        const QString printed = folder.filePath("printed.pdf");
        answerNext<QPrintPreviewDialog>([&pages, &printed](QPrintPreviewDialog* dialog) {
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            pages = QTest::qWaitFor([preview] { return preview->pageCount() > 0; })
                        ? preview->pageCount()
                        : 0;
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setPageSize(QPageSize(QPageSize::Letter));
            dialog->printer()->setOutputFileName(printed);
            preview->print();
            dialog->reject();
        });
        child<QAction>(window, "print")->trigger();
        QCOMPARE(pages, 6);
        QVERIFY(runPoppler(MORVANTA_PDFINFO, 1, {printed}).contains("(letter)"));
        QCOMPARE(pdfLines(printed, 1).front(), "Setting sheet: 200 holes");
        QVERIFY(window->statusBar()->currentMessage().startsWith("Saved " + printed + " ("));
    }
};

MORVANTA_WINDOW_TEST(PictureTest)
#include "PictureTest.moc"
