// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// The window's pages against the command-line tool: for the same input they must show the same
// bytes, and refuse the same input with the same message, shown beside the field at fault.
class PagesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    WorkshopWindow* window = nullptr;
    CalculatorPage* sheet = nullptr;

    QLineEdit* field(const char* name) {
        return child<QLineEdit>(sheet, QString::fromLatin1(name));
    }

    void fillSheet(const QString& count, const QString& ratio, const QString& dial,
                   const QString& resolution) {
        field("count")->setText(count);
        field("ratio")->setText(ratio);
        field("dial")->setText(dial);
        field("resolution")->setText(resolution);
    }

    // The same request on the command line; an empty field is an option not given.
    static QStringList sheetWords(const QString& count, const QString& ratio, const QString& dial,
                                  const QString& resolution, bool csv = false) {
        QStringList words{QStringLiteral("sheet")};
        if (!ratio.isEmpty()) {
            words << QStringLiteral("--ratio=") + ratio;
        }
        if (!dial.isEmpty()) {
            words << QStringLiteral("--dial=") + dial;
        }
        if (!resolution.isEmpty()) {
            words << QStringLiteral("--resolution=") + resolution;
        }
        if (csv) {
            words << QStringLiteral("--csv");
        }
        return words << QStringLiteral("--") << count;
    }

    bool actionOn(const char* name) {
        return child<QAction>(window, QString::fromLatin1(name))->isEnabled();
    }

private slots:
    void initTestCase() { isolateSettings(folder.path()); }

    void init() {
        QSettings().clear();
        window = new WorkshopWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        sheet = window->page(QStringLiteral("sheet"));
        QVERIFY(sheet != nullptr);
    }

    void cleanup() {
        delete window;
        window = nullptr;
    }

    void shouldShowWhatTheToolPrints_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("dial");
        QTest::addColumn<QString>("resolution");
        // clang-format off
        QTest::newRow("7, 90:1, dial 240")      << "7"     << "90"   << "240" << "";
        QTest::newRow("7, angles only")         << "7"     << ""     << ""    << "";
        QTest::newRow("360, angles only")       << "360"   << ""     << ""    << "";
        QTest::newRow("127, 40:1")              << "127"   << "40"   << ""    << "";
        QTest::newRow("127, 40:1, to 10s")      << "127"   << "40"   << ""    << "10s";
        QTest::newRow("24, 72:1, to 1m")        << "24"    << "72"   << ""    << "1m";
        QTest::newRow("5, 40.5:1")              << "5"     << "40.5" << ""    << "";
        QTest::newRow("13, 90:1, dial 360")     << "13"    << "90"   << "360" << "";
        QTest::newRow("100, dial 240, to 5m")   << "100"   << "90"   << "240" << "5m";
        QTest::newRow("leading zeros")          << "007"   << "090"  << ""    << "";
        QTest::newRow("2, angles only")         << "2"     << ""     << ""    << "";
        QTest::newRow("10000, 90:1")            << "10000" << "90"   << ""    << "";
        // clang-format on
    }

    void shouldShowWhatTheToolPrints() {
        QFETCH(QString, count);
        QFETCH(QString, ratio);
        QFETCH(QString, dial);
        QFETCH(QString, resolution);
        fillSheet(count, ratio, dial, resolution);

        const ToolRun tool = runTable(sheetWords(count, ratio, dial, resolution));
        QCOMPARE(tool.status, 0);
        QVERIFY(sheet->isCurrent());
        QCOMPARE(QByteArray::fromStdString(sheet->output()->text), tool.out);
        QCOMPARE(shownText(sheet), tool.out);
        QVERIFY(!child<QWidget>(sheet, QStringLiteral("result"))->property("stale").toBool());

        const ToolRun csv = runTable(sheetWords(count, ratio, dial, resolution, true));
        QCOMPARE(csv.status, 0);
        const QString path = folder.filePath(QStringLiteral("sheet.csv"));
        QVERIFY(window->saveCsvTo(path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), csv.out);
    }

    void shouldShowTheWorkedExampleOfTheReadme() {
        fillSheet(QStringLiteral("7"), QStringLiteral("90"), QStringLiteral("240"), {});
        const QString text = QString::fromUtf8(shownText(sheet));
        QVERIFY(text.startsWith(QStringLiteral("Setting sheet: 7 holes\n")));
        QVERIFY(text.contains(QStringLiteral("\n   2   51°26'00\"     12   206  +17.14\"\n")));
        QVERIFY(text.endsWith(QStringLiteral("\nLargest error: 25.71\" (hole 3)\n")));
    }

    void shouldRefuseWhatTheToolRefusesBesideTheField_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("dial");
        QTest::addColumn<QString>("resolution");
        QTest::addColumn<QString>("fault");
        // clang-format off
        QTest::newRow("count 1")                   << "1"     << "90"  << "240" << ""    << "count";
        QTest::newRow("count with a fraction")     << "7.5"   << "90"  << "240" << ""    << "count";
        QTest::newRow("count empty")               << ""      << "90"  << "240" << ""    << "count";
        QTest::newRow("count after a blank")       << " 7"    << "90"  << "240" << ""    << "count";
        QTest::newRow("count 10001")               << "10001" << ""    << ""    << ""    << "count";
        QTest::newRow("ratio 0")                   << "7"     << "0"   << ""    << ""    << "ratio";
        QTest::newRow("ratio -90")                 << "7"     << "-90" << ""    << ""    << "ratio";
        QTest::newRow("ratio 7, turn not whole")   << "7"     << "7"   << ""    << ""    << "ratio";
        QTest::newRow("dial without ratio")        << "7"     << ""    << "240" << ""    << "dial";
        QTest::newRow("dial 128 on 90:1")          << "7"     << "90"  << "128" << ""    << "dial";
        QTest::newRow("dial 0")                    << "7"     << "90"  << "0"   << ""    << "dial";
        QTest::newRow("resolution without unit")   << "7"     << ""    << ""    << "2"   << "resolution";
        QTest::newRow("resolution off the dial")   << "7"     << "90"  << "240" << "30s" << "resolution";
        QTest::newRow("resolution over spacing")   << "10000" << ""    << ""    << "3m"  << "resolution";
        // clang-format on
    }

    void shouldRefuseWhatTheToolRefusesBesideTheField() {
        QFETCH(QString, count);
        QFETCH(QString, ratio);
        QFETCH(QString, dial);
        QFETCH(QString, resolution);
        QFETCH(QString, fault);
        fillSheet(QStringLiteral("7"), QStringLiteral("90"), QStringLiteral("240"), {});
        QVERIFY(sheet->isCurrent());
        // Filled a field at a time, the page may pass through good input on the way (an empty
        // ratio is good), so the sheet to keep is the last one a good state showed.
        QByteArray good = shownText(sheet);
        const QMetaObject::Connection watch = connect(sheet, &CalculatorPage::computed, this, [&] {
            if (sheet->isCurrent()) {
                good = shownText(sheet);
            }
        });
        fillSheet(count, ratio, dial, resolution);
        disconnect(watch);
        const ToolRun tool = runTable(sheetWords(count, ratio, dial, resolution));
        QCOMPARE(tool.status, 1);
        QVERIFY(tool.out.isEmpty());
        QVERIFY(tool.err.endsWith('\n'));
        const QString message = QString::fromUtf8(tool.err.chopped(1));

        for (const QString& name : {QStringLiteral("count"), QStringLiteral("ratio"),
                                    QStringLiteral("dial"), QStringLiteral("resolution")}) {
            auto* label = child<QLabel>(sheet, name + QStringLiteral("Message"));
            QCOMPARE(sheet->messageFor(name), name == fault ? message : QString());
            QCOMPARE(label->isVisible(), name == fault);
        }
        QCOMPARE(sheet->messageFor({}), QString());
        QVERIFY(!sheet->isCurrent());
        QCOMPARE(shownText(sheet), good);
        QVERIFY(child<QWidget>(sheet, QStringLiteral("result"))->property("stale").toBool());
        for (const char* action : {"copy", "saveCsv", "print", "exportPdf"}) {
            QVERIFY2(!actionOn(action), action);
        }
        QVERIFY(!window->saveCsvTo(folder.filePath(QStringLiteral("stale.csv"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stale.csv"))));
        QCOMPARE(window->exportPdfTo(folder.filePath(QStringLiteral("stale.pdf"))), 0);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stale.pdf"))));
    }

    // As typed: each key runs the planner; a bad one greys the last good sheet at once and shows
    // the message right under its own field, and taking it back brings everything back.
    void shouldCheckEachKeyAndKeepTheLastGoodSheetGreyed() {
        QLineEdit* ratio = field("ratio");
        auto* result = child<QPlainTextEdit>(sheet, QStringLiteral("result"));
        const QColor freshColour = result->palette().color(QPalette::Active, QPalette::Text);

        retype(ratio, QStringLiteral("9"));
        QVERIFY(sheet->isCurrent());
        const ToolRun nine = runTable(sheetWords("7", "9", "240", {}));
        QCOMPARE(shownText(sheet), nine.out);

        QTest::keyClick(ratio, Qt::Key_X);
        QCOMPARE(ratio->text(), QStringLiteral("9x"));
        QVERIFY(!sheet->isCurrent());
        QCOMPARE(sheet->messageFor(QStringLiteral("ratio")),
                 QStringLiteral("the worm ratio must be a positive number such as 90 or 40.5"));
        auto* message = child<QLabel>(sheet, QStringLiteral("ratioMessage"));
        QVERIFY(message->isVisible());
        const QPoint below = message->mapTo(sheet, QPoint(0, 0));
        QVERIFY(below.y() > ratio->mapTo(sheet, QPoint(0, 0)).y());
        QVERIFY(below.y() < field("dial")->mapTo(sheet, QPoint(0, 0)).y());
        QCOMPARE(ratio->accessibleDescription(), message->text());
        QCOMPARE(shownText(sheet), nine.out);
        QVERIFY(result->palette().color(QPalette::Active, QPalette::Text) != freshColour);
        QVERIFY(child<QLabel>(sheet, QStringLiteral("status"))
                    ->text()
                    .contains(QStringLiteral("Worm ratio 9,")));
        QVERIFY(!actionOn("copy"));
        QVERIFY(!child<QPushButton>(window, QStringLiteral("printButton"))->isEnabled());

        QTest::keyClick(ratio, Qt::Key_Backspace);
        QVERIFY(sheet->isCurrent());
        QVERIFY(!message->isVisible());
        QCOMPARE(sheet->messageFor(QStringLiteral("ratio")), QString());
        QCOMPARE(result->palette().color(QPalette::Active, QPalette::Text), freshColour);
        QVERIFY(actionOn("copy"));
        QVERIFY(child<QPushButton>(window, QStringLiteral("printButton"))->isEnabled());

        QTest::keyClicks(ratio, QStringLiteral("0"));
        QCOMPARE(shownText(sheet), runTable(sheetWords("7", "90", "240", {})).out);
    }

    void shouldTellWhenTheCsvCannotBeSaved() {
        MessageBoxAnswerer answerer;
        const QString path = folder.filePath(QStringLiteral("no such folder/sheet.csv"));
        QVERIFY(!window->saveCsvTo(path));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QVERIFY(answerer.seen.front().startsWith(QStringLiteral("Could not save ")));
        QVERIFY(answerer.seen.front().contains(QDir::toNativeSeparators(path)));
    }

    void shouldOfferNoGcodeForTheSheetYet() {
        QVERIFY(sheet->isCurrent());
        QVERIFY(!actionOn("saveGcode"));
        QVERIFY(!window->saveGcodeTo(folder.filePath(QStringLiteral("sheet.nc"))));
    }
};

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
