// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <new>

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

    // A page by its own name or by the command it stands for.
    CalculatorPage* show(const QString& name) {
        CalculatorPage* page =
            window->page(name == QLatin1String("coords") ? QStringLiteral("bolt") : name);
        child<QTabWidget>(window, QStringLiteral("pages"))->setCurrentWidget(page);
        return page;
    }

    QLineEdit* field(CalculatorPage* page, const char* name) {
        return child<QLineEdit>(page, QString::fromLatin1(name));
    }

    bool actionOn(const char* name) {
        return child<QAction>(window, QString::fromLatin1(name))->isEnabled();
    }

    static void addColumns() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
    }

    static void sheetRows() {
        // clang-format off
        QTest::newRow("sheet 7, 90:1, dial 240")    << "sheet" << QStringList{"count=7", "ratio=90", "dial=240"};
        QTest::newRow("sheet 7, angles only")       << "sheet" << QStringList{"count=7"};
        QTest::newRow("sheet 360, angles only")     << "sheet" << QStringList{"count=360"};
        QTest::newRow("sheet 127, 40:1")            << "sheet" << QStringList{"count=127", "ratio=40"};
        QTest::newRow("sheet 127, 40:1, to 10s")    << "sheet" << QStringList{"count=127", "ratio=40", "resolution=10s"};
        QTest::newRow("sheet 24, 72:1, to 1m")      << "sheet" << QStringList{"count=24", "ratio=72", "resolution=1m"};
        QTest::newRow("sheet 5, 40.5:1")            << "sheet" << QStringList{"count=5", "ratio=40.5"};
        QTest::newRow("sheet 13, 90:1, dial 360")   << "sheet" << QStringList{"count=13", "ratio=90", "dial=360"};
        QTest::newRow("sheet 100, dial 240, to 5m") << "sheet" << QStringList{"count=100", "ratio=90", "dial=240", "resolution=5m"};
        QTest::newRow("sheet leading zeros")        << "sheet" << QStringList{"count=007", "ratio=090"};
        QTest::newRow("sheet 2, angles only")       << "sheet" << QStringList{"count=2"};
        QTest::newRow("sheet 10000, 90:1")          << "sheet" << QStringList{"count=10000", "ratio=90"};
        QTest::newRow("sheet 4 over 90 from 15")    << "sheet" << QStringList{"count=4", "span=90", "start=15"};
        QTest::newRow("sheet 7 over 90, ends")      << "sheet" << QStringList{"count=7", "span=90", "ends=true"};
        QTest::newRow("sheet 6 clockwise, -22.5")   << "sheet" << QStringList{"count=6", "ratio=90", "start=-22.5", "cw=true"};
        QTest::newRow("sheet 5 dial, 180 ends")     << "sheet" << QStringList{"count=5", "ratio=90", "dial=240", "span=180", "ends=true"};
        // clang-format on
    }

    static void boltRows() {
        // clang-format off
        QTest::newRow("bolt 6, centre, start 15") << "coords" << QStringList{"count=6", "diameter=100", "centre=10,-5", "start=15"};
        QTest::newRow("bolt 4 on a radius")       << "coords" << QStringList{"count=4", "radius=50"};
        QTest::newRow("bolt 12 north clockwise")  << "coords" << QStringList{"count=12", "diameter=100", "zero=north", "cw=true"};
        QTest::newRow("bolt 12 east")             << "coords" << QStringList{"count=12", "diameter=100", "zero=east"};
        QTest::newRow("bolt 7 over 90, ends")     << "coords" << QStringList{"count=7", "diameter=80", "span=90", "ends=true"};
        QTest::newRow("bolt 4 over 90")           << "coords" << QStringList{"count=4", "diameter=80", "span=90"};
        QTest::newRow("bolt 1 hole")              << "coords" << QStringList{"count=1", "diameter=10"};
        QTest::newRow("bolt 5 to 0 decimals")     << "coords" << QStringList{"count=5", "diameter=100", "decimals=0"};
        QTest::newRow("bolt 3 to 8 decimals")     << "coords" << QStringList{"count=3", "diameter=25.4", "decimals=8"};
        QTest::newRow("bolt 360 in inches")       << "coords" << QStringList{"count=360", "diameter=4.5", "decimals=5"};
        QTest::newRow("bolt 10000")               << "coords" << QStringList{"count=10000", "diameter=500"};
        // clang-format on
    }

    static void indexRows() {
        // clang-format off
        QTest::newRow("index 127, differential")  << "index" << QStringList{"count=127", "ratio=40", "plates=bs"};
        QTest::newRow("index 6, simple")          << "index" << QStringList{"count=6", "ratio=40", "plates=bs"};
        QTest::newRow("index 63 on 90:1")         << "index" << QStringList{"count=63", "ratio=90", "plates=bs"};
        QTest::newRow("index 21 on 90:1")         << "index" << QStringList{"count=21", "ratio=90", "plates=bs"};
        QTest::newRow("index 51, compound")       << "index" << QStringList{"count=51", "ratio=40", "plates=bs"};
        QTest::newRow("index 97, differential")   << "index" << QStringList{"count=97", "ratio=40", "plates=bs"};
        QTest::newRow("index 127, Cincinnati")    << "index" << QStringList{"count=127", "ratio=40", "plates=cincinnati"};
        QTest::newRow("index 360, own plates")    << "index" << QStringList{"count=360", "ratio=40", "plates=15,16,17/21,23,27"};
        QTest::newRow("index 53, none exact")     << "index" << QStringList{"count=53", "ratio=40", "plates=bs", "gears=24"};
        QTest::newRow("index 127, own gears")     << "index" << QStringList{"count=127", "ratio=40", "plates=bs", "gears=24,24,56,72"};
        QTest::newRow("index 127, ratio default") << "index" << QStringList{"count=127", "plates=bs"};
        QTest::newRow("index 12345, no table")    << "index" << QStringList{"count=12345", "ratio=40", "plates=bs"};
        // clang-format on
    }

private slots:
    void initTestCase() { isolateSettings(folder.path()); }

    void init() {
        QSettings().clear();
        window = new WorkshopWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanup() {
        delete window;
        window = nullptr;
    }

    void shouldShowWhatTheToolPrints_data() {
        addColumns();
        sheetRows();
        indexRows();
        boltRows();
    }

    void shouldShowWhatTheToolPrints() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        CalculatorPage* shown = show(page);
        fillPage(shown, fields);

        const ToolRun tool = runTable(toolWords(page, fields));
        QCOMPARE(tool.status, 0);
        QVERIFY(shown->isCurrent());
        QCOMPARE(QByteArray::fromStdString(shown->output()->text), tool.out);
        QCOMPARE(shownText(shown), tool.out);
        QVERIFY(!child<QWidget>(shown, QStringLiteral("result"))->property("stale").toBool());
        QVERIFY(actionOn("copy") && actionOn("print") && actionOn("exportPdf"));

        // The CSV where the tool writes one; where it refuses (an index without its division
        // table), the window offers none.
        const ToolRun csv = runTable(toolWords(page, fields, {QStringLiteral("--csv")}));
        const QString path = folder.filePath(QStringLiteral("sheet.csv"));
        QFile::remove(path);
        QCOMPARE(actionOn("saveCsv"), csv.status == 0);
        QCOMPARE(window->saveCsvTo(path), csv.status == 0);
        if (csv.status == 0) {
            QFile saved(path);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.readAll(), csv.out);
        } else {
            QCOMPARE(csv.status, 1);
            QVERIFY(!QFile::exists(path));
        }
    }

    void shouldShowTheWorkedExamplesOfTheReadme() {
        CalculatorPage* sheet = show(QStringLiteral("sheet"));
        fillPage(sheet, {"count=7", "ratio=90", "dial=240"});
        const QString text = QString::fromUtf8(shownText(sheet));
        QVERIFY(text.startsWith(QStringLiteral("Setting sheet: 7 holes\n")));
        QVERIFY(text.contains(QStringLiteral("\n   2   51°26'00\"     12   206  +17.14\"\n")));
        QVERIFY(text.endsWith(QStringLiteral("\nLargest error: 25.71\" (hole 3)\n")));

        // 127 at 40:1: as for 120 divisions, 40/120 = 5/15 of a turn, and the gears make up
        // g = 40 x (120 - 127) / 120 = -7/3.
        CalculatorPage* index = show(QStringLiteral("index"));
        fillPage(index, {"count=127", "ratio=40", "plates=bs"});
        const QString plan = QString::fromUtf8(shownText(index));
        QVERIFY(plan.startsWith(QStringLiteral("Indexing: 127 divisions\n")));
        QVERIFY(plan.contains(
            QStringLiteral("\nMove: 0 turns and 5 holes on the 15-hole circle (plate 1) for each "
                           "division\n")));
        QVERIFY(plan.contains(QStringLiteral("g = 40 x (120 - 127) / 120 = -7/3")));
        QVERIFY(plan.contains(QStringLiteral("\n       2    2°50'04.7\"      0      5\n")));
    }

    void shouldRefuseWhatTheToolRefusesBesideTheField_data() {
        addColumns();
        QTest::addColumn<QString>("fault");
        // clang-format off
        QTest::newRow("sheet count 1")                 << "sheet" << QStringList{"count=1", "ratio=90", "dial=240"}        << "count";
        QTest::newRow("sheet count with a fraction")   << "sheet" << QStringList{"count=7.5", "ratio=90", "dial=240"}      << "count";
        QTest::newRow("sheet count empty")             << "sheet" << QStringList{"count=", "ratio=90", "dial=240"}         << "count";
        QTest::newRow("sheet count after a blank")     << "sheet" << QStringList{"count= 7", "ratio=90", "dial=240"}       << "count";
        QTest::newRow("sheet count 10001")             << "sheet" << QStringList{"count=10001"}                            << "count";
        QTest::newRow("sheet ratio 0")                 << "sheet" << QStringList{"count=7", "ratio=0"}                     << "ratio";
        QTest::newRow("sheet ratio -90")               << "sheet" << QStringList{"count=7", "ratio=-90"}                   << "ratio";
        QTest::newRow("sheet ratio 7, turn not whole") << "sheet" << QStringList{"count=7", "ratio=7"}                     << "ratio";
        QTest::newRow("sheet dial without ratio")      << "sheet" << QStringList{"count=7", "dial=240"}                    << "dial";
        QTest::newRow("sheet dial 128 on 90:1")        << "sheet" << QStringList{"count=7", "ratio=90", "dial=128"}        << "dial";
        QTest::newRow("sheet dial 0")                  << "sheet" << QStringList{"count=7", "ratio=90", "dial=0"}          << "dial";
        QTest::newRow("sheet resolution without unit") << "sheet" << QStringList{"count=7", "resolution=2"}                << "resolution";
        QTest::newRow("sheet resolution off the dial") << "sheet" << QStringList{"count=7", "ratio=90", "dial=240", "resolution=30s"} << "resolution";
        QTest::newRow("sheet resolution over spacing") << "sheet" << QStringList{"count=10000", "resolution=3m"}           << "resolution";
        QTest::newRow("sheet start not a number")      << "sheet" << QStringList{"count=7", "start=x"}                     << "start";
        QTest::newRow("sheet span 0")                  << "sheet" << QStringList{"count=7", "span=0"}                      << "span";
        QTest::newRow("sheet span 400")                << "sheet" << QStringList{"count=7", "span=400"}                    << "span";
        QTest::newRow("sheet ends without span")       << "sheet" << QStringList{"count=7", "ends=true"}                   << "ends";
        QTest::newRow("sheet ends on a full circle")   << "sheet" << QStringList{"count=7", "span=360", "ends=true"}       << "ends";
        QTest::newRow("bolt count 0")                  << "coords" << QStringList{"count=0", "diameter=100"}               << "count";
        QTest::newRow("bolt diameter 0")               << "coords" << QStringList{"count=6", "diameter=0"}                 << "diameter";
        QTest::newRow("bolt no size")                  << "coords" << QStringList{"count=6"}                               << "diameter";
        QTest::newRow("bolt diameter and radius")      << "coords" << QStringList{"count=6", "diameter=100", "radius=50"}  << "radius";
        QTest::newRow("bolt centre with a blank")      << "coords" << QStringList{"count=6", "diameter=100", "centre=10, -5"} << "centre";
        QTest::newRow("bolt centre of one number")     << "coords" << QStringList{"count=6", "diameter=100", "centre=10"}  << "centre";
        QTest::newRow("bolt start not a number")       << "coords" << QStringList{"count=6", "diameter=100", "start=x"}    << "start";
        QTest::newRow("bolt span 361")                 << "coords" << QStringList{"count=6", "diameter=100", "span=361"}   << "span";
        QTest::newRow("bolt span 0 for 6")             << "coords" << QStringList{"count=6", "diameter=100", "span=0"}     << "span";
        QTest::newRow("bolt ends without span")        << "coords" << QStringList{"count=6", "diameter=100", "ends=true"}  << "ends";
        QTest::newRow("bolt ends on a full circle")    << "coords" << QStringList{"count=6", "diameter=100", "span=360", "ends=true"} << "ends";
        QTest::newRow("bolt 9 decimals")               << "coords" << QStringList{"count=6", "diameter=100", "decimals=9"} << "decimals";
        QTest::newRow("index count 0")                 << "index" << QStringList{"count=0", "ratio=40", "plates=bs"}       << "count";
        QTest::newRow("index count empty")             << "index" << QStringList{"count=", "ratio=40", "plates=bs"}        << "count";
        QTest::newRow("index count 1.5")               << "index" << QStringList{"count=1.5", "ratio=40", "plates=bs"}     << "count";
        QTest::newRow("index ratio 0")                 << "index" << QStringList{"count=24", "ratio=0", "plates=bs"}       << "ratio";
        QTest::newRow("index ratio 40.5")              << "index" << QStringList{"count=24", "ratio=40.5", "plates=bs"}    << "ratio";
        QTest::newRow("index circle twice")            << "index" << QStringList{"count=24", "plates=15,15"}               << "plates";
        QTest::newRow("index circle of 1")             << "index" << QStringList{"count=24", "plates=1,15"}                << "plates";
        QTest::newRow("index plates with a blank")     << "index" << QStringList{"count=24", "plates=15, 16"}              << "plates";
        QTest::newRow("index plates empty")            << "index" << QStringList{"count=24", "plates=bs,"}                 << "plates";
        QTest::newRow("index gears not numbers")       << "index" << QStringList{"count=127", "plates=bs", "gears=24,x"}   << "gears";
        QTest::newRow("index 33 gears")                << "index" << QStringList{"count=127", "plates=bs", "gears=" + QStringLiteral("24,").repeated(32) + "24"} << "gears";
        // clang-format on
    }

    void shouldRefuseWhatTheToolRefusesBesideTheField() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QString, fault);
        CalculatorPage* shown = show(page);
        child<QAction>(window, QStringLiteral("resetPage"))->trigger();
        QVERIFY(shown->isCurrent());
        // Filled a field at a time, the page may pass through good input on the way (an empty
        // ratio is good), so the sheet to keep is the last one a good state showed.
        QByteArray good = shownText(shown);
        const QMetaObject::Connection watch = connect(shown, &CalculatorPage::computed, this, [&] {
            if (shown->isCurrent()) {
                good = shownText(shown);
            }
        });
        fillPage(shown, fields);
        disconnect(watch);

        const ToolRun tool = runTable(toolWords(page, fields));
        QCOMPARE(tool.status, 1);
        QVERIFY(tool.out.isEmpty());
        QVERIFY(tool.err.endsWith('\n'));
        const QString message = QString::fromUtf8(tool.err.chopped(1));

        for (QWidget* control : shown->fieldControls()) {
            const QString name = control->objectName();
            auto* label = child<QLabel>(shown, name + QStringLiteral("Message"));
            QCOMPARE(shown->messageFor(name), name == fault ? message : QString());
            QCOMPARE(label->isVisible(), name == fault);
        }
        QCOMPARE(shown->messageFor({}), QString());
        QVERIFY(!shown->isCurrent());
        QCOMPARE(shownText(shown), good);
        QVERIFY(child<QWidget>(shown, QStringLiteral("result"))->property("stale").toBool());
        for (const char* action : {"copy", "saveCsv", "saveGcode", "print", "exportPdf"}) {
            QVERIFY2(!actionOn(action), action);
        }
        QVERIFY(!window->saveCsvTo(folder.filePath(QStringLiteral("stale.csv"))));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stale.csv"))));
        QCOMPARE(window->exportPdfTo(folder.filePath(QStringLiteral("stale.pdf"))), 0);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stale.pdf"))));
    }

    void shouldSaveTheGcodeTheToolWrites_data() {
        addColumns();
        QTest::addColumn<QStringList>("program");
        // clang-format off
        QTest::newRow("sheet 4 on A")            << "sheet"  << QStringList{"count=4"}                                  << QStringList{"axis=A"};
        QTest::newRow("sheet 7 over 90 on B")    << "sheet"  << QStringList{"count=7", "span=90", "ends=true"}         << QStringList{"axis=B", "decimals=2"};
        QTest::newRow("sheet 6 clockwise on C")  << "sheet"  << QStringList{"count=6", "start=15", "cw=true"}          << QStringList{"axis=C", "decimals=0"};
        QTest::newRow("bolt 6 drilled")          << "coords" << QStringList{"count=6", "diameter=100", "centre=10,-5", "start=15"} << QStringList{"depth=-5", "retract=2", "feed=100"};
        QTest::newRow("bolt 8 to 2 decimals")    << "coords" << QStringList{"count=8", "radius=30", "decimals=2", "cw=true"}       << QStringList{"depth=-3.5", "retract=1", "feed=80"};
        // clang-format on
    }

    // The G-code fields shape the program alone: the sheet stays what the tool prints without
    // them, and Save G-code writes what --gcode prints with them.
    void shouldSaveTheGcodeTheToolWrites() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, program);
        CalculatorPage* shown = show(page);
        fillPage(shown, fields + program);
        QVERIFY(shown->isCurrent());
        QCOMPARE(shownText(shown), runTable(toolWords(page, fields)).out);

        const ToolRun tool = runTable(toolWords(page, fields + program, {"--gcode"}));
        QCOMPARE(tool.status, 0);
        QVERIFY(actionOn("saveGcode"));
        QVERIFY(!child<QLabel>(shown, QStringLiteral("gcodeNote"))->isVisible());
        const QString path = folder.filePath(QStringLiteral("program.nc"));
        QVERIFY(window->saveGcodeTo(path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), tool.out);
    }

    void shouldSayWhyTheToolWritesNoGcode_data() {
        addColumns();
        QTest::addColumn<QStringList>("program");
        QTest::addColumn<QString>("fault");
        // clang-format off
        QTest::newRow("sheet on a handwheel")     << "sheet"  << QStringList{"count=7", "ratio=90"}             << QStringList{}                                      << "";
        QTest::newRow("sheet with a dial")        << "sheet"  << QStringList{"count=7", "ratio=90", "dial=240"} << QStringList{"axis=B"}                              << "";
        QTest::newRow("sheet 9 decimals")         << "sheet"  << QStringList{"count=7"}                         << QStringList{"decimals=9"}                          << "decimals";
        QTest::newRow("bolt depth alone")         << "coords" << QStringList{"count=6", "diameter=100"}         << QStringList{"depth=-5"}                            << "retract";
        QTest::newRow("bolt retract under depth") << "coords" << QStringList{"count=6", "diameter=100"}         << QStringList{"depth=-5", "retract=-6", "feed=100"}  << "retract";
        QTest::newRow("bolt depth too fine")      << "coords" << QStringList{"count=6", "diameter=100", "decimals=2"} << QStringList{"depth=-5.125", "retract=2", "feed=100"} << "depth";
        QTest::newRow("bolt feed 0")              << "coords" << QStringList{"count=6", "diameter=100"}         << QStringList{"depth=-5", "retract=2", "feed=0"}     << "feed";
        // clang-format on
    }

    // A good sheet the tool will not make G-code of: the sheet stays current and printable, the
    // tool's own message goes beside the field it names or under the fields, and Save G-code is
    // off, its button saying why.
    void shouldSayWhyTheToolWritesNoGcode() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, program);
        QFETCH(QString, fault);
        CalculatorPage* shown = show(page);
        fillPage(shown, fields + program);
        QVERIFY(shown->isCurrent());
        QCOMPARE(shownText(shown), runTable(toolWords(page, fields)).out);
        QVERIFY(actionOn("print"));

        const ToolRun tool = runTable(toolWords(page, fields + program, {"--gcode"}));
        QCOMPARE(tool.status, 1);
        const QString message = QString::fromUtf8(tool.err.chopped(1));
        QVERIFY(!actionOn("saveGcode"));
        QVERIFY(!window->saveGcodeTo(folder.filePath(QStringLiteral("none.nc"))));
        auto* note = child<QLabel>(shown, QStringLiteral("gcodeNote"));
        QCOMPARE(note->isVisible(), fault.isEmpty());
        if (fault.isEmpty()) {
            QCOMPARE(note->text(), QStringLiteral("No G-code from this input: ") + message);
            QCOMPARE(child<QPushButton>(window, QStringLiteral("saveGcodeButton"))->toolTip(),
                     message);
        } else {
            QCOMPARE(shown->messageFor(fault), message);
        }
    }

    // As typed: each key runs the planner; a bad one greys the last good sheet at once and shows
    // the message right under its own field, and taking it back brings everything back.
    void shouldCheckEachKeyAndKeepTheLastGoodSheetGreyed() {
        CalculatorPage* sheet = show(QStringLiteral("sheet"));
        QLineEdit* ratio = field(sheet, "ratio");
        auto* result = child<QPlainTextEdit>(sheet, QStringLiteral("result"));
        const QColor freshColour = result->palette().color(QPalette::Active, QPalette::Text);

        retype(ratio, QStringLiteral("9"));
        QVERIFY(sheet->isCurrent());
        const ToolRun nine = runTable(toolWords("sheet", {"count=7", "ratio=9", "dial=240"}));
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
        QVERIFY(below.y() < field(sheet, "dial")->mapTo(sheet, QPoint(0, 0)).y());
        QCOMPARE(ratio->accessibleDescription(), message->text());
        QCOMPARE(shownText(sheet), nine.out);
        QVERIFY(result->palette().color(QPalette::Active, QPalette::Text) != freshColour);
        QVERIFY(child<QLabel>(sheet, QStringLiteral("status"))
                    ->text()
                    .contains(QStringLiteral("Worm ratio: 9;")));
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
        QCOMPARE(shownText(sheet),
                 runTable(toolWords("sheet", {"count=7", "ratio=90", "dial=240"})).out);
    }

    // The plates list takes a set by name or the user's own circles as typed.
    void shouldTakePlatesFromTheListOrAsTyped() {
        CalculatorPage* index = show(QStringLiteral("index"));
        auto* plates = child<QComboBox>(index, QStringLiteral("plates"));
        QVERIFY(plates->isEditable());
        plates->setCurrentIndex(plates->findData(QStringLiteral("cincinnati")));
        QCOMPARE(shownText(index),
                 runTable(toolWords("index", {"count=127", "ratio=40", "plates=cincinnati"})).out);
        plates->lineEdit()->selectAll();
        QTest::keyClicks(plates->lineEdit(), QStringLiteral("15,16,17/21,23,27"));
        QVERIFY(index->isCurrent());
        QCOMPARE(shownText(index),
                 runTable(toolWords("index", {"count=127", "ratio=40", "plates=15,16,17/21,23,27"}))
                     .out);
        QCOMPARE(plates->count(), 2);
    }

    // A message that names no field, or one the page does not have, goes above the sheet; a
    // sheet too large for the memory left is a message too, not the end of the program.
    void shouldShowAMessageForNoFieldAboveTheSheet() {
        int calls = 0;
        PageDefinition definition;
        definition.name = QStringLiteral("trial");
        definition.fields = {{.name = QStringLiteral("count"),
                              .label = QStringLiteral("&Count"),
                              .defaultValue = QStringLiteral("1")}};
        definition.compute = [&calls](const Inputs& inputs) {
            ++calls;
            if (inputs.text("count") == "1") {
                PageOutput output;
                output.text = "one\n";
                return PageResult::success(output);
            }
            if (inputs.text("count") == "2") {
                return PageResult::failure("the moon is in the way", "moon");
            }
            if (inputs.text("count") == "3") {
                return PageResult::failure("nothing in particular");
            }
            throw std::bad_alloc();
        };
        CalculatorPage page(definition);
        QVERIFY(page.isCurrent());
        QCOMPARE(shownText(&page), QByteArray("one\n"));
        auto* count = child<QLineEdit>(&page, QStringLiteral("count"));
        const QStringList expected{"the moon is in the way", "nothing in particular",
                                   "not enough memory to make this sheet"};
        for (int i = 0; i < 3; ++i) {
            count->setText(QString::number(i + 2));
            QVERIFY(!page.isCurrent());
            QCOMPARE(page.messageFor({}), expected[i]);
            QCOMPARE(page.messageFor(QStringLiteral("count")), QString());
            QCOMPARE(shownText(&page), QByteArray("one\n"));
        }
        count->setText(QStringLiteral("1"));
        QVERIFY(page.isCurrent());
        QCOMPARE(page.messageFor({}), QString());
        QCOMPARE(calls, 5);
    }

    // A good sheet whose G-code the engine refuses: the sheet stays current, the reason goes
    // beside the field it names, or under the fields, and Save G-code is off and says why.
    void shouldSayWhyAGoodInputMakesNoGcode() {
        PageDefinition definition;
        definition.name = QStringLiteral("trial");
        definition.fields = {{.name = QStringLiteral("count"), .label = QStringLiteral("&Count")},
                             {.name = QStringLiteral("axis"), .label = QStringLiteral("A&xis")}};
        definition.compute = [](const Inputs& inputs) {
            PageOutput output;
            output.text = "sheet\n";
            if (inputs.text("axis") == "A") {
                output.gcode = [] { return std::string("G0 A0.\n"); };
            } else if (inputs.has("axis")) {
                output.gcodeMessage = "the axis must be A, B or C";
                output.gcodeAbout = "axis";
            } else {
                output.gcodeMessage = "the G-code is for another machine";
            }
            return PageResult::success(output);
        };
        CalculatorPage page(definition);
        auto* axis = child<QLineEdit>(&page, QStringLiteral("axis"));
        auto* note = child<QLabel>(&page, QStringLiteral("gcodeNote"));
        page.show();
        QVERIFY(page.isCurrent());
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(),
                 QStringLiteral("No G-code from this input: the G-code is for another machine"));
        QCOMPARE(page.messageFor(QStringLiteral("axis")), QString());

        axis->setText(QStringLiteral("D"));
        QVERIFY(page.isCurrent());
        QVERIFY(!note->isVisible());
        QCOMPARE(page.messageFor(QStringLiteral("axis")),
                 QStringLiteral("the axis must be A, B or C"));
        QCOMPARE(axis->accessibleDescription(), QStringLiteral("the axis must be A, B or C"));

        axis->setText(QStringLiteral("A"));
        QVERIFY(!note->isVisible());
        QCOMPARE(page.messageFor(QStringLiteral("axis")), QString());
        QCOMPARE(page.output()->gcode(), std::string("G0 A0.\n"));
    }

    void shouldTellWhenTheCsvCannotBeSaved() {
        MessageBoxAnswerer answerer;
        const QString path = folder.filePath(QStringLiteral("no such folder/sheet.csv"));
        QVERIFY(!window->saveCsvTo(path));
        QTRY_COMPARE(answerer.seen.size(), 1);
        QVERIFY(answerer.seen.front().startsWith(QStringLiteral("Could not save ")));
        QVERIFY(answerer.seen.front().contains(QDir::toNativeSeparators(path)));
    }

    void shouldOfferNoGcodeForAnIndexPlan() {
        QVERIFY(show(QStringLiteral("index"))->isCurrent());
        QVERIFY(!actionOn("saveGcode"));
        QVERIFY(!window->saveGcodeTo(folder.filePath(QStringLiteral("index.nc"))));
    }
};

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
