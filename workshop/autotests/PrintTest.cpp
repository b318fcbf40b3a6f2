// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

namespace {

// What a program outside Qt reads from the PDF: poppler's pdftotext, -layout keeping each printed
// row on one line; blanks between words squeezed to one, so columns need not line up exactly.
QStringList pdfLines(const QString& pdf, int page) {
    QProcess tool;
    tool.start(QStringLiteral(MORVANTA_PDFTOTEXT),
               {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), pdf, QStringLiteral("-")});
    tool.waitForFinished(60000);
    QStringList lines;
    for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split('\n')) {
        const QString squeezed = line.simplified();
        if (!squeezed.isEmpty()) {
            lines.append(squeezed);
        }
    }
    return lines;
}

QString pdfInfo(const QString& pdf) {
    QProcess tool;
    tool.start(QStringLiteral(MORVANTA_PDFINFO), {pdf});
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The page drawn by poppler's pdftoppm at 144 pixels an inch, two pixels a point.
QImage pdfPicture(const QString& pdf, int page, const QString& stem) {
    QProcess tool;
    tool.start(QStringLiteral(MORVANTA_PDFTOPPM),
               {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-png"),
                QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                QStringLiteral("-l"), QString::number(page), pdf, stem});
    tool.waitForFinished(60000);
    return QImage(stem + QStringLiteral(".png"));
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    WorkshopWindow* window = nullptr;
    CalculatorPage* sheet = nullptr;

    void fillSheet(const QString& count, const QString& ratio, const QString& dial) {
        child<QLineEdit>(sheet, QStringLiteral("count"))->setText(count);
        child<QLineEdit>(sheet, QStringLiteral("ratio"))->setText(ratio);
        child<QLineEdit>(sheet, QStringLiteral("dial"))->setText(dial);
        child<QLineEdit>(sheet, QStringLiteral("resolution"))->clear();
        QVERIFY(sheet->isCurrent());
    }

private slots:
    void initTestCase() {
        isolateSettings(folder.path());
        // The page size follows the locale; these tests count A4 pages.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    void init() {
        QSettings().clear();
        window = new WorkshopWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        sheet = window->page(QStringLiteral("sheet"));
    }

    void cleanup() {
        delete window;
        window = nullptr;
    }

    // 200 rows: 37 fit on the first page under the title (20 pt), the inputs (14 pt), six notes
    // (72 pt), the space after them (8 pt) and the column names (16 pt), with 20 pt for the foot:
    // (756.85 - 130 - 20) / 16 = 37.9. A further page starts with 18 pt and the column names:
    // (756.85 - 34 - 20) / 16 = 43.9, so 43 rows. 37 + 3 x 43 = 166, and the last 34 rows and
    // the footer go on a fifth page.
    void shouldPrintEveryHoleOf200OnFivePagesWithTheHeaderOnEach() {
        fillSheet(QStringLiteral("200"), QStringLiteral("90"), QStringLiteral("240"));
        const QString pdf = folder.filePath(QStringLiteral("200.pdf"));
        QCOMPARE(window->exportPdfTo(pdf), 5);

        const QString info = pdfInfo(pdf);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        QVERIFY2(info.contains(
                     QRegularExpression(QStringLiteral("Title:\\s+Setting sheet: 200 holes\\n"))),
                 qPrintable(info));

        // The tool's table lines, squeezed alike: what every printed row must say.
        const ToolRun tool = runTable({QStringLiteral("sheet"), QStringLiteral("--ratio=90"),
                                       QStringLiteral("--dial=240"), QStringLiteral("200")});
        QCOMPARE(tool.status, 0);
        QStringList rows;
        for (const QString& line : QString::fromUtf8(tool.out).split('\n')) {
            static const QRegularExpression row(QStringLiteral("^ *\\d+ "));
            if (row.match(line).hasMatch()) {
                rows.append(line.simplified());
            }
        }
        QCOMPARE(rows.size(), 200);
        // Worked by hand: the spacing is 360° / 200 = 1°48' = 108', less than one 4° turn, so
        // hole 2 is 0 turns and 108 one-minute graduations; hole 101 is 180° = 45 turns exactly.
        QCOMPARE(rows[1], QStringLiteral("2 1°48'00\" 0 108 0.00\""));
        QCOMPARE(rows[100], QStringLiteral("101 180°00'00\" 45 0 0.00\""));

        const int expectedRows[] = {37, 43, 43, 43, 34};
        int next = 0;
        for (int page = 1; page <= 5; ++page) {
            const QStringList lines = pdfLines(pdf, page);
            QVERIFY2(!lines.isEmpty(), qPrintable(QString::number(page)));
            QCOMPARE(lines.front(), page == 1
                                        ? QStringLiteral("Setting sheet: 200 holes")
                                        : QStringLiteral("Setting sheet: 200 holes (continued)"));
            QCOMPARE(lines.count(QStringLiteral("Hole Angle Turns Dial Error")), 1);
            QCOMPARE(lines.back(),
                     QStringLiteral("Setting sheet: 200 holes Page %1 of 5").arg(page));
            int onPage = 0;
            for (const QString& line : lines) {
                if (next < rows.size() && line == rows[next]) {
                    ++next;
                    ++onPage;
                }
            }
            QCOMPARE(onPage, expectedRows[page - 1]);
            QCOMPARE(lines.filter(QStringLiteral("Largest error")).size(), page == 5 ? 1 : 0);
            if (page == 1) {
                QVERIFY(lines.contains(
                    QStringLiteral("Inputs: Count: 200; Worm ratio: 90; Dial graduations: 240")));
                QVERIFY(
                    lines.contains(QStringLiteral("Worm ratio: 90:1, one handwheel turn = 4°")));
            }
        }
        QCOMPARE(next, 200);
    }

    void shouldPrintEveryRowOnceUnderItsColumnNames_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("lastLine");
        // clang-format off
        QTest::newRow("index 127") << "index" << QStringList{"count=127", "ratio=40", "plates=bs"}
            << "Division Angle Turns Holes" << 127 << "40 crank turns in all";
        QTest::newRow("bolt 150") << "coords" << QStringList{"count=150", "diameter=250", "centre=10,-5", "start=15", "decimals=5"}
            << "Hole Angle DMS X Y" << 150 << "";
        QTest::newRow("sheet 90 over an arc") << "sheet" << QStringList{"count=90", "span=120", "ends=true", "start=-30", "cw=true"}
            << "Hole Angle Error" << 90 << "Largest error";
        // clang-format on
    }

    // Whatever the page, with many notes or few, some longer than the page is wide: every row
    // printed once, in order, the column names over the rows of every page, the footer last.
    void shouldPrintEveryRowOnceUnderItsColumnNames() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QString, header);
        QFETCH(int, rows);
        QFETCH(QString, lastLine);
        auto* tabs = child<QTabWidget>(window, QStringLiteral("pages"));
        CalculatorPage* shown =
            window->page(page == QLatin1String("coords") ? QStringLiteral("bolt") : page);
        tabs->setCurrentWidget(shown);
        fillPage(shown, fields);
        QVERIFY(shown->isCurrent());
        const QString pdf = folder.filePath(QStringLiteral("rows.pdf"));
        const int pages = window->exportPdfTo(pdf);
        QVERIFY(pages >= 2);
        QVERIFY(pdfInfo(pdf).contains(
            QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));

        // The tool's rows: the lines under its column names that start with a number and the
        // two blanks between columns.
        const ToolRun tool = runTable(toolWords(page, fields));
        QStringList expected;
        bool inTable = false;
        for (const QString& line : QString::fromUtf8(tool.out).split('\n')) {
            static const QRegularExpression row(QStringLiteral("^ *\\d+  "));
            if (line.simplified() == header) {
                inTable = true;
            } else if (inTable && row.match(line).hasMatch()) {
                expected.append(line.simplified());
            }
        }
        QCOMPARE(expected.size(), rows);
        const QString title = QString::fromUtf8(tool.out.left(tool.out.indexOf('\n')));

        int next = 0;
        QStringList all;
        for (int number = 1; number <= pages; ++number) {
            const QStringList lines = pdfLines(pdf, number);
            all += lines;
            QCOMPARE(lines.front(), number == 1 ? title : title + QStringLiteral(" (continued)"));
            QCOMPARE(lines.back(),
                     QStringLiteral("%1 Page %2 of %3").arg(title).arg(number).arg(pages));
            const int before = next;
            for (const QString& line : lines) {
                if (next < expected.size() && line == expected[next]) {
                    ++next;
                }
            }
            QCOMPARE(lines.count(header), next > before ? 1 : 0);
        }
        QCOMPARE(next, rows);
        QVERIFY(all.filter(QStringLiteral("Inputs: Count: ")).size() == 1);
        if (!lastLine.isEmpty()) {
            const QStringList last = pdfLines(pdf, pages);
            QVERIFY2(last.at(last.size() - 2).startsWith(lastLine), qPrintable(last.join('\n')));
        }
    }

    // An empty box before each row to tick, drawn where the layout puts it: the rows start 130 pt
    // below the 15 mm (42.52 pt) margin on the first page and 34 pt below it on a further one,
    // 16 pt apart; the 9 pt box starts 1 pt in from the margin and 3.5 pt down in its row.
    void shouldDrawABoxToTickBeforeEveryRow_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("firstRow");
        QTest::addColumn<int>("rows");
        QTest::newRow("first page") << 1 << 130.0 << 37;
        QTest::newRow("second page") << 2 << 34.0 << 43;
        QTest::newRow("last page") << 5 << 34.0 << 34;
    }

    void shouldDrawABoxToTickBeforeEveryRow() {
        QFETCH(int, page);
        QFETCH(double, firstRow);
        QFETCH(int, rows);
        fillSheet(QStringLiteral("200"), QStringLiteral("90"), QStringLiteral("240"));
        const QString pdf = folder.filePath(QStringLiteral("boxes.pdf"));
        QCOMPARE(window->exportPdfTo(pdf), 5);
        const QImage picture = pdfPicture(pdf, page, folder.filePath(QStringLiteral("boxes")));
        QVERIFY(!picture.isNull());
        const double margin = 42.52;
        const auto lightness = [&](double xPoints, double yPoints) {
            return qGray(picture.pixel(qRound(xPoints * 2), qRound(yPoints * 2)));
        };
        const auto leftEdge = [&](double middle) {
            int darkest = 255;
            for (double x = margin + 0.5; x <= margin + 1.5; x += 0.5) {
                darkest = std::min(darkest, lightness(x, middle));
            }
            return darkest;
        };
        for (int row = 0; row < rows; ++row) {
            const double middle = margin + firstRow + 16 * row + 8;
            QVERIFY2(leftEdge(middle) < 128, qPrintable(QStringLiteral("row %1: edge").arg(row)));
            QVERIFY2(lightness(margin + 5.5, middle) > 200,
                     qPrintable(QStringLiteral("row %1: inside").arg(row)));
        }
        // Under the last row of a full page there is nothing; the last page has the footer there.
        if (page < 5) {
            QVERIFY(leftEdge(margin + firstRow + 16 * rows + 8) > 200);
        }
        QVERIFY(leftEdge(margin + firstRow - 16 + 8) > 200);
    }

    void shouldExportThroughTheDialogAddingTheSuffix() {
        fillSheet(QStringLiteral("7"), QStringLiteral("90"), QStringLiteral("240"));
        const QString stem = folder.filePath(QStringLiteral("chosen"));
        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr);
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(
                dialog->selectedFiles().value(0).endsWith(QStringLiteral("setting-sheet-7.pdf")));
            dialog->selectFile(stem);
            QMetaObject::invokeMethod(dialog, "accept");
            answered = true;
        });
        child<QAction>(window, QStringLiteral("exportPdf"))->trigger();
        QVERIFY(answered);
        const QStringList lines = pdfLines(stem + QStringLiteral(".pdf"), 1);
        QVERIFY(lines.contains(QStringLiteral("2 51°26'00\" 12 206 +17.14\"")));
        QCOMPARE(lines.back(), QStringLiteral("Setting sheet: 7 holes Page 1 of 1"));
    }

    void shouldPreviewThePrintedPages() {
        fillSheet(QStringLiteral("200"), QStringLiteral("90"), QStringLiteral("240"));
        int pages = -1;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget()) !=
                        nullptr);
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            QTRY_VERIFY(preview->pageCount() > 0);
            pages = preview->pageCount();
            dialog->reject();
        });
        child<QAction>(window, QStringLiteral("print"))->trigger();
        QCOMPARE(pages, 5);
    }
};

QTEST_MAIN(PrintTest)
#include "PrintTest.moc"
