// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStatusBar>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

namespace {

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

class PrintTest : public WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The page size follows the locale; these tests count A4 pages.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    void shouldPrintEveryRowOnceUnderItsColumnNames_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QList<int>>("rowsPerPage");
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QStringList>("picture");  // some of the words of the picture
        // 70 rows: page 1 holds title 20 pt, inputs 14, six notes 72, space 8, picture 200 + 8,
        // column names 16, foot 20: (755.94 - 338 - 20) / 16 = 24.8, so 24. A further page starts
        // with 18 pt, inputs 12 and the column names: (755.94 - 46 - 20) / 16 = 43.1, so 43; 3 rows
        // and the footer go on page 3.
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

    // Any page, many notes or few, some wider than the page: every row of the tool's table printed
    // once in order (with its box, checked where the rows a page holds are worked out), the column
    // names on every page, the title (continued) and inputs above and "Page i of n" below, the
    // footer last. The picture on page 1 alone, its red between notes and table (72 dpi, a pixel a
    // point): for the sheet 114 pt under the 42.5 pt margin, 200 pt high.
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
        // The tool's rows: lines under its column names starting with a number and two blanks.
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
            // Every page says what it is of: its title and the inputs, wrapped as on the first.
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
                // The tool's last line: the footer, or the last row where there is none.
                QCOMPARE(lines.at(lines.size() - 2),
                         QString::fromUtf8(tool.out.trimmed().split('\n').last()).simplified());
            }
        }
        QCOMPARE(next, rows.size());
        QCOMPARE(all.filter("Inputs: ").size(), pages);
        const QString words = runPoppler(MORVANTA_PDFTOTEXT, 1, {pdf, "-"});
        for (const QString& word : picture) {
            QVERIFY2(words.contains(word), qPrintable(word));
        }
        // The notes, as the tool's first: "Worm ratio: 90:1, one handwheel turn = 4°".
        QVERIFY(all.contains(QString::fromUtf8(tool.out.split('\n').at(1)).simplified()));
    }

    // A list of 64 plates (one word, 250 characters) wraps within the margin, every circle printed.
    void shouldWrapALongListWithinThePage() {
        fillPage(front(window, "index"), {"count=127", "plates=" + sixtyFourCircles()});
        const QString pdf = folder.filePath("plates.pdf");
        QVERIFY(window->exportPdfTo(pdf) > 0);
        const QString inputs = pdfLines(pdf, 1).join(QString()).remove(u' ');
        QVERIFY2(inputs.contains("Plates:" + sixtyFourCircles()), qPrintable(inputs));
        // At 72 dpi, a pixel a point: nothing right of the 15 mm margin.
        const QImage page = pdfPicture(pdf, 1, 72, folder.filePath("plates"));
        QVERIFY(!page.isNull());
        for (int x = 556; x < page.width(); ++x) {
            for (int y = 0; y < page.height(); ++y) {
                QVERIFY2(qGray(page.pixel(x, y)) > 200,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }

    // Export PDF and Picture suggest the page's name and add the suffix; Print previews every page
    // and prints to a file on the paper chosen.
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
        // Print is off until the sheet of 200 is made.
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

QTEST_MAIN(PrintTest)
#include "PrintTest.moc"
