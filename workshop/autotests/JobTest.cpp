// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>

#include "workshop/JobKeeper.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// Jobs kept as files: saved and opened byte for byte, bad files refused with nothing lost, the
// same sheet as `morvanta-table job`, and a question before changes are lost.
class JobTest : public WindowFixture {
    Q_OBJECT

private:
    QString file(const QString& name) const { return folder.filePath(name); }

    // Opens a job file: "" when it opens, else what the message said.
    QString opening(const QString& path) {
        MessageAnswerer answerer;
        return window->openJobFile(path) ? QString() : answerer.messages.value(0, "(refused)");
    }

    // Closes the window, answering `button` if asked about changes; whether it was asked.
    bool closeAnswering(QMessageBox::StandardButton button) {
        bool asked = false;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, this, [&asked, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->objectName() == "unsavedJob") {
                asked = true;
                box->button(button)->click();
            } else if (box != nullptr) {
                // A complaint: closed, so that the test fails where it reads the file, not waiting.
                box->reject();
            }
        });
        answer.start();
        window->close();
        return asked;
    }

    // A sheet's lines but its column names.
    static QByteArrayList withoutHeadings(const QByteArray& sheet) {
        QByteArrayList lines = sheet.split('\n');
        lines.removeIf([](const QByteArray& line) { return line.startsWith("Hole "); });
        return lines;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { window = freshWindow(); }
    void cleanup() {
        delete window;
        window = nullptr;
    }

    // Every key in its order, the inputs as typed (the axis list's too), name and notes escaped;
    // opened and saved again, the same bytes. The title names the job and marks changes.
    void shouldSaveAJobAndOpenItAgainByteForByte() {
        CalculatorPage* sheet = page("sheet");
        fillPage(sheet, {"count=7", "ratio=90", "dial=240"});
        window->jobs()->setDetails(sheet, "Gear \"A\"", "first\nsecond");
        QVERIFY(window->isWindowModified());
        QVERIFY(window->jobs()->saveJob(sheet, file("gear.morvanta")));
        const QByteArray saved = bytesOf(file("gear.morvanta"));
        QCOMPARE(saved, QByteArray("{\n"
                                   "  \"format\": \"morvanta-job\",\n"
                                   "  \"version\": \"1.0\",\n"
                                   "  \"calculation\": \"sheet\",\n"
                                   "  \"name\": \"Gear \\\"A\\\"\",\n"
                                   "  \"notes\": \"first\\nsecond\",\n"
                                   "  \"units\": null,\n"
                                   "  \"inputs\": {\n"
                                   "    \"axis\": \"A\",\n"
                                   "    \"count\": \"7\",\n"
                                   "    \"dial\": \"240\",\n"
                                   "    \"ratio\": \"90\",\n"
                                   "    \"rotary\": \"forward\"\n"
                                   "  },\n"
                                   "  \"ticks\": []\n"
                                   "}\n"));
        QCOMPARE(window->windowTitle(), "Gear \"A\"[*] \u2013 Morvanta Workshop");
        QVERIFY(!window->isWindowModified());
        field("sheet", "count")->setText("8");
        QTRY_VERIFY(window->isWindowModified());
        field("sheet", "count")->setText("7");
        QTRY_VERIFY(!window->isWindowModified());

        delete window;
        window = freshWindow();
        front(window, "index");
        QVERIFY(window->openJobFile(file("gear.morvanta")));
        QCOMPARE(window->currentPage(), page("sheet"));
        QCOMPARE(field("sheet", "ratio")->text(), "90");
        QCOMPARE(window->jobs()->notes(page("sheet")), "first\nsecond");
        QVERIFY(!window->isWindowModified());
        QVERIFY(window->jobs()->saveJob(page("sheet"), file("again.morvanta")));
        QCOMPARE(bytesOf(file("again.morvanta")), saved);
        QCOMPARE(window->jobs()->recentFiles(),
                 QStringList({file("again.morvanta"), file("gear.morvanta")}));
    }

    // Each kind of bad file is refused, naming the file and the fault; the page keeps its inputs
    // and sheet, and is no job. Two of the engine's reasons stand for all, which its own tests
    // word.
    void shouldRefuseEachKindOfBadFileAndLoseNothing() {
        const QByteArray good =
            R"({"format": "morvanta-job", "version": "1.0", "calculation": "index",
"inputs": {"count": "127"}, "ticks": [1]}
)";
        const auto with = [&good](const char* from, const QByteArray& to) {
            return QByteArray(good).replace(from, to);
        };
        QDir(folder.path()).mkdir("folder.morvanta");
        const struct {
            const char* name;
            QByteArray bytes;  // nothing written for a missing file or a folder
            QString reason;
        } cases[] = {
            {"truncated", good.left(63), "line 1, column 64: the text ends inside a string"},
            {"tick out of range", with("[1]", "[128]"),
             "line 2, column 39: tick 128 is beyond the sheet, which has 127 rows"},
            {"too long for its field", with("\"127\"", "\"" + QByteArray(30, '0') + "127\""),
             "the window's field for inputs.count cannot hold it as the file gives it"},
            {"missing", {}, "No such file or directory"},
            {"folder", {}, "it is a folder, not a job file"},
        };
        CalculatorPage* sheet = page("sheet");
        CalculatorPage* index = page("index");
        fillPage(index, {"count=96", "ratio=40"});
        const QByteArray before = sheetText(index);
        for (const auto& c : cases) {
            const QString path = file(QString::fromLatin1(c.name) + ".morvanta");
            if (!c.bytes.isEmpty()) {
                QVERIFY(writeFile(path, c.bytes));
            }
            front(window, "sheet");
            QCOMPARE(opening(path), QStringLiteral("Could not open %1: %2")
                                        .arg(QDir::toNativeSeparators(path), c.reason));
            QCOMPARE(window->currentPage(), sheet);
            QCOMPARE(sheetText(index), before);
            QCOMPARE(field("index", "count")->text(), "96");
            QCOMPARE(window->jobs()->path(index), QString());
            QCOMPARE(window->windowTitle(), "Morvanta Workshop");
        }
        QVERIFY(index->isCurrent());
    }

    // A job of 1 MiB to the byte opens; one byte more is refused, and the page keeps its job.
    void shouldOpenAJobOfTheLargestSizeAndRefuseOneByteMore() {
        QByteArray job = R"({"format": "morvanta-job", "version": "1.0", "calculation": "index",
            "inputs": {"count": "127"}})";
        job += QByteArray((1 << 20) - job.size(), ' ');
        QCOMPARE(job.size(), 1048576);
        QVERIFY(writeFile(file("largest.morvanta"), job));
        QCOMPARE(opening(file("largest.morvanta")), QString());
        QCOMPARE(field("index", "count")->text(), "127");
        QVERIFY(writeFile(file("larger.morvanta"), job.replace("127", "128") + ' '));
        QCOMPARE(opening(file("larger.morvanta")),
                 QStringLiteral("Could not open %1: a job file may have at most 1048576 bytes (1 "
                                "MiB); this one has more")
                     .arg(QDir::toNativeSeparators(file("larger.morvanta"))));
        QCOMPARE(field("index", "count")->text(), "127");
        QCOMPARE(window->jobs()->path(page("index")), file("largest.morvanta"));
    }

    // The window shows exactly what `morvanta-table job` prints: each page, with and without
    // units, a box ticked, an input left to its default.
    void shouldShowWhatMorvantaTableJobPrints() {
        // clang-format off
        const QList<QByteArray> jobs = {
            R"("calculation": "sheet", "inputs": {"count": "12", "ratio": "40", "span": "90", "ends": ""}})",
            R"("calculation": "index", "inputs": {"count": "69"}, "ticks": [2]})",
            R"("calculation": "coords", "units": "mm", "inputs": {"count": "5", "radius": "31.75", "zero": "north", "cw": ""}})",
            R"("calculation": "coords", "inputs": {"count": "6", "chord": "10"}})",
            R"("calculation": "coords", "units": "in", "inputs": {"count": "3", "diameter": "2.5", "centre": "1,-1", "decimals": "3"}})",
        };
        // clang-format on
        for (qsizetype i = 0; i < jobs.size(); ++i) {
            const QString path = file(QStringLiteral("job%1.morvanta").arg(i));
            QVERIFY(writeFile(path, R"({"format": "morvanta-job", "version": "1.0", )" + jobs[i]));
            QVERIFY(window->openJobFile(path));
            const ToolRun tool = runTable({"job", path});
            QCOMPARE(tool.status, 0);
            QCOMPARE(sheetText(window->currentPage()), tool.out);
        }
        QVERIFY(sheetText(page("bolt")).contains("DMS  X (in)  Y (in)  dX (in)  dY (in)\n"));
        QCOMPARE(window->jobs()->ticks(page("index")), std::vector<std::int64_t>{2});
    }

    // A job's units are words, never a conversion: the headings on the page and the printed sheet,
    // the picture's caption and G20/G21 with the same figures (4 holes on 2: hole 1 at X1.0000
    // Y0.0000). Job Details changes them and the name; New makes the page no job, as first.
    void shouldShowTheJobsUnitsWhereverLengthsAre() {
        const QString path = file("units.morvanta");
        QVERIFY(writeFile(path, R"({"format": "morvanta-job", "version": "1.0", "calculation":
            "coords", "units": "in", "inputs": {"count": "4", "diameter": "2", "depth": "-0.2",
            "retract": "0.1", "feed": "5"}})"));
        QVERIFY(window->openJobFile(path));
        CalculatorPage* bolt = window->currentPage();
        const auto lengthsIn = [this](const char* heading, const char* caption,
                                      const QByteArray& program, const QByteArray& other) {
            QVERIFY(sheetText(window->currentPage()).contains(heading));
            const QString gcode = file("units.nc");
            QVERIFY(window->saveGcodeTo(gcode));
            QVERIFY2(bytesOf(gcode).contains("G90 G17 G80 " + program + "\n"), program);
            QVERIFY(bytesOf(gcode).contains("G98 G81 X1.0000 Y0.0000 Z-0.2000 R0.1000 F5.\n"));
            QVERIFY(!bytesOf(gcode).contains(other));
            const QString svg = file("units.svg");
            QVERIFY(window->exportPictureTo(svg) && bytesOf(svg).contains(caption));
            const QString pdf = file("units.pdf");
            QCOMPARE(window->exportPdfTo(pdf), 1);
            QVERIFY(runPoppler(MORVANTA_PDFTOTEXT, 0, {pdf, "-"}).contains(heading));
        };
        lengthsIn("X (in)", "(inches)", "G20", "G21");
        const QByteArray inches = sheetText(bolt);

        answerNext<QDialog>([](QDialog* dialog) {
            child<QLineEdit>(dialog, "jobName")->setText("Cover");
            auto* units = child<QComboBox>(dialog, "jobUnits");
            units->setCurrentIndex(units->findData("mm"));
            dialog->accept();
        });
        child<QAction>(window, "jobDetails")->trigger();
        QCOMPARE(bolt->units(), "mm");
        QVERIFY(sheetText(bolt).contains("  Y (mm)  "));
        QCOMPARE(withoutHeadings(sheetText(bolt)), withoutHeadings(inches));
        QCOMPARE(window->windowTitle(), "Cover[*] \u2013 Morvanta Workshop");
        QVERIFY(window->isWindowModified());
        lengthsIn("X (mm)", "(mm)", "G21", "G20");

        answerNext<QMessageBox>(
            [](QMessageBox* box) { box->button(QMessageBox::Discard)->click(); });
        child<QAction>(window, "newJob")->trigger();
        QCOMPARE(bolt->units(), QString());
        QCOMPARE(window->windowTitle(), "Morvanta Workshop");
        QCOMPARE(field("bolt", "diameter")->text(), "100");
    }

    // Closing with changes asks: Cancel keeps window and file, Save writes, Discard leaves the
    // file. A page that is no job is never asked about: its inputs go to the settings.
    void shouldAskBeforeChangesAreLost() {
        fillPage(page("bolt"), {"count=6", "diameter=75"});
        QVERIFY(!closeAnswering(QMessageBox::Cancel));
        QVERIFY(!window->isVisible());
        QSettings settings;
        QCOMPARE(settings.value("pages/bolt/diameter").toString(), "75");

        delete window;
        window = freshWindow(false);
        CalculatorPage* bolt = page("bolt");
        QVERIFY(window->jobs()->saveJob(bolt, file("bolt.morvanta")));
        const QByteArray saved = bytesOf(file("bolt.morvanta"));
        field("bolt", "count")->setText("8");
        QVERIFY(closeAnswering(QMessageBox::Cancel));
        QVERIFY(window->isVisible());
        QCOMPARE(bytesOf(file("bolt.morvanta")), saved);
        QVERIFY(closeAnswering(QMessageBox::Discard));
        QVERIFY(!window->isVisible());
        QCOMPARE(bytesOf(file("bolt.morvanta")), saved);

        delete window;
        window = freshWindow(false);
        QVERIFY(window->openJobFile(file("bolt.morvanta")));
        field("bolt", "count")->setText("9");
        QVERIFY(closeAnswering(QMessageBox::Save));
        QVERIFY(!window->isVisible());
        QVERIFY(bytesOf(file("bolt.morvanta")).contains("\"count\": \"9\""));
    }

    // Saved straight after a keystroke, the engine still at work: the input as typed, no complaint.
    void shouldSaveTheInputTypedAMomentBefore() {
        CalculatorPage* bolt = front(window, "bolt");
        fillPage(bolt, {"count=6", "diameter=75"});
        field("bolt", "count")->setText("10000");
        MessageAnswerer answerer;
        QVERIFY(window->jobs()->saveJob(bolt, file("typed.morvanta")));
        QCOMPARE(answerer.messages, QStringList());
        QVERIFY(bytesOf(file("typed.morvanta")).contains("\"count\": \"10000\""));
    }
};

QTEST_MAIN(JobTest)
#include "JobTest.moc"
