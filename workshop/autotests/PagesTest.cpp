// SPDX-License-Identifier: GPL-3.0-or-later

#include <new>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// The pages against the command-line tool: the same bytes, the same message beside its field.
class PagesTest : public WindowFixture {
    Q_OBJECT

private:
    static QColor textColour(CalculatorPage* page) {
        return child<QWidget>(page, "result")->palette().color(QPalette::Text);
    }

    // The tool's table as a page shows it, blanks squeezed: the lines after the first blank.
    static QStringList tableOf(const QByteArray& out, int rows) {
        QStringList lines = QString::fromUtf8(out).split(u'\n');
        lines.removeLast();
        const qsizetype blank = lines.indexOf(QString());
        QStringList table = blank < 0 ? QStringList() : lines.mid(blank + 1, rows + 1);
        std::for_each(table.begin(), table.end(), [](QString& line) { line = line.simplified(); });
        return table;
    }

    // Every text a user can read or hear in the window but the sheet, of widgets and actions alike.
    static QStringList shownTexts(QWidget* window) {
        QStringList texts;
        QObjectList all = window->findChildren<QObject*>();
        for (QObject* shown : all << window) {
            if (shown->objectName() == "result" ||
                !(shown->isWidgetType() || qobject_cast<QAction*>(shown) != nullptr)) {
                continue;
            }
            for (const char* property :
                 {"windowTitle", "text", "currentText", "placeholderText", "toolTip", "whatsThis",
                  "statusTip", "accessibleName", "accessibleDescription"}) {
                texts << shown->property(property).toString();
            }
        }
        return texts;
    }

private slots:
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    void shouldAnswerAsTheToolDoes_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("program");  // the fields that shape the G-code alone
        // Where the refusal or the reason for no G-code goes: its field, "" under all, "-" nowhere.
        QTest::addColumn<QString>("fault");
        // clang-format off
        QTest::newRow("sheet on a handwheel")       << "sheet" << QStringList{"count=7", "ratio=90", "dial=240"} << QStringList{} << "-";
        QTest::newRow("sheet to 10s, axis B")       << "sheet" << QStringList{"count=127", "ratio=40", "resolution=10s"} << QStringList{"axis=B"} << "";
        QTest::newRow("sheet angles, 9 decimals")   << "sheet" << QStringList{"count=7"} << QStringList{"decimals=9"} << "decimals";
        QTest::newRow("sheet arc, clockwise, on B") << "sheet" << QStringList{"count=4", "span=90", "start=15", "ends=true", "cw=true"} << QStringList{"axis=B", "decimals=2"} << "-";
        QTest::newRow("index 127, differential")    << "index" << QStringList{"count=127", "ratio=40", "plates=bs"} << QStringList{} << "-";
        QTest::newRow("index Cincinnati, gears")    << "index" << QStringList{"count=127", "plates=cincinnati", "gears=24,24,56,72"} << QStringList{} << "-";
        QTest::newRow("index 12345, no table")      << "index" << QStringList{"count=12345", "ratio=40", "plates=bs"} << QStringList{} << "-";
        QTest::newRow("bolt centre, start, drill")  << "bolt" << QStringList{"count=6", "diameter=100", "centre=10,-5", "start=15"} << QStringList{"depth=-5", "retract=2", "feed=100"} << "-";
        QTest::newRow("bolt radius, north, cw")     << "bolt" << QStringList{"count=8", "radius=30", "zero=north", "cw=true", "decimals=2"} << QStringList{"depth=-3.5", "retract=1", "feed=80"} << "-";
        QTest::newRow("bolt arc, no drilling")      << "bolt" << QStringList{"count=7", "diameter=80", "span=90", "ends=true"} << QStringList{} << "-";
        QTest::newRow("bolt depth alone")           << "bolt" << QStringList{"count=6", "diameter=100"} << QStringList{"depth=-5"} << "";
        QTest::newRow("bolt depth not a number")    << "bolt" << QStringList{"count=6", "diameter=100"} << QStringList{"depth=x", "retract=2", "feed=100"} << "depth";
        QTest::newRow("angle 35, published")        << "angle" << QStringList{"angle=35"} << QStringList{} << "-";
        QTest::newRow("angle 8d50m, Cincinnati")    << "angle" << QStringList{"angle=8d50m", "plates=cincinnati", "repeat=4"} << QStringList{} << "-";
        QTest::newRow("gear module 2")              << "gear" << QStringList{"count=30", "module=2"} << QStringList{} << "-";
        QTest::newRow("gear helical, DP, left")     << "gear" << QStringList{"count=30", "dp=8", "helix=20", "hand=left"} << QStringList{} << "-";
        QTest::newRow("helix 6.160, published")     << "helix" << QStringList{"lead=6.16", "diameter=2"} << QStringList{} << "-";
        QTest::newRow("helix angle in mm")          << "helix" << QStringList{"angle=30", "diameter=50", "units=mm"} << QStringList{} << "-";
        QTest::newRow("flats across 25")            << "flats" << QStringList{"count=6", "diameter=30", "across=25"} << QStringList{} << "-";
        QTest::newRow("refused: angle 75 minutes")  << "angle" << QStringList{"angle=17d75m"} << QStringList{} << "angle";
        QTest::newRow("refused: gear no size")      << "gear" << QStringList{"count=30"} << QStringList{} << "module";
        QTest::newRow("refused: helix lead, angle") << "helix" << QStringList{"lead=6.16", "angle=30", "diameter=2"} << QStringList{} << "angle";
        QTest::newRow("refused: flats too large")   << "flats" << QStringList{"count=6", "diameter=30", "across=30"} << QStringList{} << "across";
        QTest::newRow("refused: sheet count empty")     << "sheet" << QStringList{"count=", "ratio=90", "dial=240"} << QStringList{} << "count";
        QTest::newRow("refused: sheet turn not whole")  << "sheet" << QStringList{"count=7", "ratio=7"} << QStringList{} << "ratio";
        QTest::newRow("refused: sheet dial, no ratio")  << "sheet" << QStringList{"count=7", "dial=240"} << QStringList{} << "dial";
        QTest::newRow("refused: sheet resolution 30s")  << "sheet" << QStringList{"count=7", "ratio=90", "dial=240", "resolution=30s"} << QStringList{} << "resolution";
        QTest::newRow("refused: sheet ends, no span")   << "sheet" << QStringList{"count=7", "ends=true"} << QStringList{} << "ends";
        QTest::newRow("refused: index count 0")         << "index" << QStringList{"count=0", "ratio=40", "plates=bs"} << QStringList{} << "count";
        QTest::newRow("refused: index circle twice")    << "index" << QStringList{"count=24", "plates=15,15"} << QStringList{} << "plates";
        QTest::newRow("refused: index gears not numbers") << "index" << QStringList{"count=127", "plates=bs", "gears=24,x"} << QStringList{} << "gears";
        QTest::newRow("refused: bolt no size")          << "bolt" << QStringList{"count=6"} << QStringList{} << "diameter";
        QTest::newRow("refused: bolt radius too large") << "bolt" << QStringList{"count=6", "radius=500000000"} << QStringList{} << "diameter";
        QTest::newRow("refused: bolt centre X")         << "bolt" << QStringList{"count=6", "diameter=100", "centre=1e3,0"} << QStringList{} << "centreX";
        QTest::newRow("refused: bolt centre Y")         << "bolt" << QStringList{"count=6", "diameter=100", "centre=10,x"} << QStringList{} << "centreY";
        QTest::newRow("refused: bolt 9 decimals")       << "bolt" << QStringList{"count=6", "diameter=100", "decimals=9"} << QStringList{} << "decimals";
        // clang-format on
    }

    // Good input: sheet, CSV and G-code as the tool prints them, Copy takes the sheet. Refused: the
    // message under its field alone, the last good sheet greyed, nothing to copy, save or print.
    void shouldAnswerAsTheToolDoes() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, program);
        QFETCH(QString, fault);
        CalculatorPage* shown = front(window, page);
        const QColor fresh = textColour(shown);
        QByteArray good = sheetText(shown);
        const auto watch = connect(shown, &CalculatorPage::computed, this,
                                   [&] { good = shown->isCurrent() ? sheetText(shown) : good; });
        fillPage(shown, fields + program);
        disconnect(watch);
        const ToolRun text = runTable(toolWords(page, fields));
        const QString path = folder.filePath("saved");

        // The refusal or the reason for no G-code under its field alone, its words the window's
        // (WindowTest, FaultsTest): here, where they go.
        const QString message = shown->messageFor(fault);
        for (QWidget* control : shown->fieldControls()) {
            const QString name = control->objectName();
            QCOMPARE(shown->messageFor(name).isEmpty(), name != fault);
            QCOMPARE(!message.isEmpty() && control->accessibleDescription() == message,
                     name == fault);
        }
        if (text.status != 0) {
            QCOMPARE(text.status, 1);
            QCOMPARE(child<QLabel>(shown, "message")->text(), message);
            QCOMPARE(shown->messageFor({}), QString());
            QVERIFY(!shown->isCurrent());
            QCOMPARE(sheetText(shown), good);
            QVERIFY(textColour(shown) != fresh);
            for (const char* action :
                 {"copy", "saveCsv", "saveGcode", "print", "exportPdf", "exportPicture"}) {
                QVERIFY2(!actionOn(window, action), action);
            }

            child<QAction>(window, "resetPage")->trigger();
            shown->finishComputing();
            QVERIFY(shown->isCurrent() && textColour(shown) == fresh);
            QVERIFY(!child<QLabel>(shown, "message")->isVisible());
            QVERIFY(actionOn(window, "exportPicture"));
            return;
        }

        QVERIFY(shown->isCurrent());
        QCOMPARE(sheetText(shown), text.out);
        const auto* model = child<QTableView>(shown, "result")->model();
        QCOMPARE(tableLines(shown), tableOf(text.out, model->rowCount()));
        QVERIFY(!child<QLabel>(shown, "answer")->text().isEmpty());
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(), text.out);
        const ToolRun csv = runTable(toolWords(page, fields, {"--csv"}));
        const ToolRun gcode = runTable(toolWords(page, fields + program, {"--gcode"}));
        const auto savesAsTool = [&](bool saved, const ToolRun& tool) {
            QCOMPARE(saved, tool.status == 0);
            QCOMPARE(bytesOf(path), tool.out);
            QFile::remove(path);
        };
        QCOMPARE(actionOn(window, "saveCsv"), csv.status == 0);
        savesAsTool(window->saveCsvTo(path), csv);
        // Save G-code on wherever a page makes G-code at all, to say what is missing.
        const QStringList noGcode{"index", "angle", "gear", "helix", "flats"};
        QCOMPARE(actionOn(window, "saveGcode"), !noGcode.contains(page));
        savesAsTool(window->saveGcodeTo(path), gcode);

        // Why there is no G-code, for no one field: under the fields (the words as FaultsTest has
        // them).
        auto* note = child<QLabel>(shown, "gcodeNote");
        QCOMPARE(note->isVisible(), fault.isEmpty());
        QVERIFY(!fault.isEmpty() || note->text().startsWith("No G-code from this input: "));
        QCOMPARE(child<QLabel>(shown, "message")->isVisible(), fault != "-" && !fault.isEmpty());
    }

    // A message for no field goes under the fields: a sheet too large for the memory left.
    void shouldShowAMessageForNoFieldAboveTheSheet() {
        CalculatorPage page(countPage([](const QString& count) {
            return count == "2" ? throw std::bad_alloc() : countSheet(count);
        }));
        auto* count = child<QLineEdit>(&page, "count");
        for (const char* typed : {"1", "2"}) {
            count->setText(QString::fromLatin1(typed));
            page.finishComputing();
        }
        QVERIFY(!page.isCurrent());
        QCOMPARE(page.messageFor({}), "not enough memory to make this sheet");
        QCOMPARE(page.messageFor("count"), QString());
        QCOMPARE(sheetText(&page), QByteArray("1\n"));
        count->setText("1");
        page.finishComputing();
        QVERIFY(page.isCurrent());
        QCOMPARE(page.messageFor({}), QString());
    }

    // No text in the command line's terms ("--span needs"), every field of every page made wrong.
    void shouldShowNoCommandLineSyntax() {
        auto* pages = child<QTabWidget>(window, "pages");
        for (int tab = 0; tab < pages->count(); ++tab) {
            auto* shown = qobject_cast<CalculatorPage*>(pages->widget(tab));
            QVERIFY(shown != nullptr);
            pages->setCurrentWidget(shown);
            for (QWidget* wrong : shown->fieldControls()) {
                child<QAction>(window, "resetPage")->trigger();
                if (auto* edit = qobject_cast<QLineEdit*>(wrong)) {
                    edit->setText("1,x");
                } else if (auto* check = qobject_cast<QCheckBox*>(wrong)) {
                    check->toggle();
                }
                const QString where = shown->objectName() + QLatin1Char(' ') + wrong->objectName();
                for (const QString& text : shownTexts(window)) {
                    QVERIFY2(!text.contains("--"), qPrintable(where + ": " + text));
                }
            }
        }
    }

    // The division table, and so the CSV, is made up to 10000 divisions; past it the plan alone.
    void shouldSaveTheCsvAtTheLargestCount() {
        for (const auto& [count, table] : {std::pair{"10000", true}, std::pair{"10001", false}}) {
            fillPage(front(window, "index"), {QStringLiteral("count=") + count});
            QVERIFY2(page("index")->isCurrent() && actionOn(window, "saveCsv") == table, count);
        }
    }
};

MORVANTA_WINDOW_TEST(PagesTest)
#include "PagesTest.moc"
