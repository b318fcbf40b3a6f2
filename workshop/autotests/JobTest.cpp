// SPDX-License-Identifier: GPL-3.0-or-later
#include <QStandardPaths>

#include <numeric>
#include <string_view>

#include "engine/Job.h"
#include "workshop/JobKeeper.h"
#include "workshop/MachineView.h"
#include "workshop/SketchView.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta;
using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

namespace {

// The ticks in the job file, as another program reads them.
std::vector<std::int64_t> ticksInFile(const QString& path) {
    const QByteArray bytes = bytesOf(path);
    const Result<Job> job = readJob(std::string_view(bytes.constData(), bytes.size()));
    return job.ok() ? job.value().ticks : std::vector<std::int64_t>{0};
}

std::vector<std::int64_t> upTo(std::int64_t last) {
    std::vector<std::int64_t> rows(static_cast<std::size_t>(last));
    std::iota(rows.begin(), rows.end(), 1);
    return rows;
}

QString labelText(QWidget* view, const char* name) {
    return child<QLabel>(view, QString::fromLatin1(name))->text();
}

void press(QWidget* view, Qt::Key key, bool repeated = false) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeated);
    QApplication::sendEvent(view, &down);
}

// What is wrong with the boxes on the printed page 1, "" if nothing. Rows 16 pt apart start 338 pt
// below the 42.52 pt margin (130 pt of text, 208 of picture); the 9 pt box 1 pt in, white but for
// a `ticked` row's upstroke 6.7 pt in; no box above the rows.
QString tickBoxFaults(const QString& pdf, int rows, const QList<int>& ticked, const QString& stem) {
    const QImage picture = pdfPicture(pdf, 1, 144, stem);
    if (picture.isNull()) {
        return QStringLiteral("no picture");
    }
    const double margin = 42.52;
    const double top = margin + 338;
    const auto lightness = [&](double x, double y) {
        return qGray(picture.pixel(qRound(x * 2), qRound(y * 2)));
    };
    const auto boxEdge = [&](double middle) {
        return std::min({lightness(margin + 0.5, middle), lightness(margin + 1, middle),
                         lightness(margin + 1.5, middle)}) < 128;
    };
    QStringList faults;
    for (int row = 0; row < rows; ++row) {
        const double middle = top + 16 * row + 8;
        const bool tick = ticked.contains(row + 1);
        if (!boxEdge(middle) || (lightness(margin + 6.7, middle) < 128) != tick ||
            (!tick && lightness(margin + 5.5, middle) <= 200)) {
            faults << QStringLiteral("row %1").arg(row + 1);
        }
    }
    if (boxEdge(top - 8)) {
        faults << QStringLiteral("a box above the rows");
    }
    return faults.join(", ");
}

constexpr const char* kSevenHoles = R"({"format": "morvanta-job", "version": "1.0",
    "calculation": "sheet", "name": "Gear blank",
    "inputs": {"count": "7", "ratio": "90", "dial": "240"}}
)";

}  // namespace

// Jobs kept as files, and walked at the machine a hole at a time, each tick in the file at once.
class JobTest : public WindowFixture {
    Q_OBJECT

private:
    QString file(const QString& name) const { return folder.filePath(name); }

    // Opens a job file: "" when it opens, else what the message said.
    QString opening(const QString& path) {
        MessageAnswerer answerer;
        return window->openJobFile(path) ? QString() : answerer.messages.value(0, "(refused)");
    }

    // Closes the window, answering `button` if asked about changes (a complaint closed, so that the
    // test fails where it reads the file); whether it was asked.
    bool closeAnswering(QMessageBox::StandardButton button) {
        MessageAnswerer answerer(button);
        window->close();
        return !answerer.messages.isEmpty();
    }

    // The walk starts from the sheet, which is worked out off the window's thread.
    MachineView* enter() {
        window->currentPage()->finishComputing();
        window->enterMachineMode();
        MachineView* view = window->machineView();
        if (view != nullptr && !QTest::qWaitForWindowExposed(view)) {
            qWarning("the machine mode was not shown");
        }
        return view;
    }
    // The seven holes' job written to `path` (its folder made first), walked in the machine mode.
    MachineView* walkSevenHoles(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        return writeFile(path, kSevenHoles) && window->openJobFile(path) ? enter() : nullptr;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { window = freshWindow(); }
    void cleanup() {
        delete window;
        window = nullptr;
    }

    // Every key in its order, name and notes escaped; opened and saved again, the same bytes.
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
    }

    // Each kind of bad file refused, naming file and fault; the page keeps inputs, sheet, no job.
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

    // The window shows exactly what `morvanta-table job` prints.
    void shouldShowWhatMorvantaTableJobPrints() {
        // clang-format off
        const QList<QByteArray> jobs = {
            R"("calculation": "sheet", "inputs": {"count": "12", "ratio": "40", "span": "90", "ends": ""}})",
            R"("calculation": "index", "inputs": {"count": "69"}, "ticks": [2]})",
            R"("calculation": "coords", "units": "mm", "inputs": {"count": "5", "radius": "31.75", "zero": "north", "cw": ""}})",
            R"("calculation": "coords", "inputs": {"count": "6", "chord": "10"}})",
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
        QCOMPARE(window->jobs()->ticks(page("index")), std::vector<std::int64_t>{2});
    }

    // A job's units are words, never a conversion, wherever lengths are; Job Details changes them.
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
        QCOMPARE(sheetText(bolt).replace("(mm)", "(in)"), inches);
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

    // Closing with changes asks; a page that is no job is never asked about, but kept in settings.
    void shouldAskBeforeChangesAreLost() {
        fillPage(page("bolt"), {"count=6", "diameter=75"});
        QVERIFY(!closeAnswering(QMessageBox::Cancel));
        QVERIFY(!window->isVisible());
        QSettings settings;
        QCOMPARE(settings.value("pages/bolt/diameter").toString(), "75");

        delete window;
        window = freshWindow(false);
        // Saved straight after a keystroke, the engine still at work: the input as typed.
        field("bolt", "count")->setText("10000");
        {
            MessageAnswerer answerer;  // a complaint answered, not waited on
            QVERIFY(window->jobs()->saveJob(page("bolt"), file("bolt.morvanta")));
        }
        const QByteArray saved = bytesOf(file("bolt.morvanta"));
        QVERIFY(saved.contains("\"count\": \"10000\""));
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

    // Space, Page Down tick, Backspace, Page Up untick, a held key does not; the file follows. 7 on
    // 90:1, dial 240: hole 2 at 51°26' is 12 turns and 206, hole 3 12 and 205 further.
    void shouldWriteEachTickAsTheHoleIsDone() {
        const QString path = folder.filePath("walk.morvanta");
        MachineView* view = walkSevenHoles(path);
        QVERIFY(view != nullptr && view->isFullScreen());
        QCOMPARE(labelText(view, "machinePlace"), "Hole 1 of 7");
        QCOMPARE(labelText(view, "machineMove"), "The first hole: no move before it.");
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_PageDown, Qt::Key_Space}) {
            press(view, key);
        }
        press(view, Qt::Key_Space, true);
        QCOMPARE(ticksInFile(path), upTo(3));
        QCOMPARE(labelText(view, "machinePlace"), "Hole 4 of 7");
        press(view, Qt::Key_Backspace);
        press(view, Qt::Key_PageUp);
        QCOMPARE(ticksInFile(path), upTo(1));
        QCOMPARE(labelText(view, "machinePlace"), "Hole 2 of 7");
        QCOMPARE(child<QLabel>(view, "machineSettings")->accessibleName(),
                 "Angle: 51\u00B026'00\"\nTurns: 12\nDial: 206\nError: +17.14\"");
        press(view, Qt::Key_Space);
        QCOMPARE(labelText(view, "machineMove"), "Move from hole 2: 12 turns and 205 graduations");
        for (int hole = 3; hole <= 7; ++hole) {
            press(view, Qt::Key_Space);
        }
        QCOMPARE(ticksInFile(path), upTo(7));
        QCOMPARE(labelText(view, "machinePlace"), "The job is done.");
        QCOMPARE(labelText(view, "machineCount"), "7 done, 0 left");
        press(view, Qt::Key_Space);
        QCOMPARE(ticksInFile(path), upTo(7));
        press(view, Qt::Key_Escape);
        QTRY_VERIFY(window->machineView() == nullptr);
        QCOMPARE(window->jobs()->ticks(window->currentPage()), upTo(7));
        QVERIFY(!window->isWindowModified());
    }

    // A walk cut short leaves the ticks of the holes done in the file, each written at once (as
    // above); the job opened again takes up at the first hole not done, the last row's tick kept.
    void shouldTakeUpAtTheHoleAfterTheLastDone() {
        const QString path = folder.filePath("crashed.morvanta");
        QByteArray job = kSevenHoles;
        job.replace("\"inputs\"", "\"ticks\": [1, 2, 3, 4, 5, 7], \"inputs\"");
        QVERIFY(writeFile(path, job));
        QCOMPARE(opening(path), QString());
        MachineView* view = enter();
        QVERIFY(view != nullptr);
        QCOMPARE(view->current(), 6);
        QCOMPARE(labelText(view, "machinePlace"), "Hole 6 of 7");
        QCOMPARE(labelText(view, "machineCount"), "6 done, 1 left");
        view->close();
    }

    // A page that is no job is kept as a recovery job before the first hole, the view saying where;
    // the hole at hand highlighted in its picture (hole 1 left out: row 1 is 2).
    void shouldKeepARecoveryJobAndHighlightTheHoleAtHand() {
        fillPage(front(window, "index"), {"count=6"});
        MachineView* view = enter();
        QVERIFY(view != nullptr);
        const QString kept = window->jobs()->path(window->currentPage());
        QVERIFY(kept.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                "/jobs/"));
        QVERIFY(labelText(view, "machineNote").contains(QDir::toNativeSeparators(kept)));
        QCOMPARE(labelText(view, "machinePlace"), "Division 1 of 6");
        press(view, Qt::Key_PageDown);
        QCOMPARE(labelText(view, "machineMove"),
                 "Move from division 1: 6 turns and 10 holes on the 15-hole circle");
        QCOMPARE(ticksInFile(kept), upTo(1));
        press(view, Qt::Key_Escape);
        QTRY_VERIFY(window->machineView() == nullptr);

        CalculatorPage* bolt = front(window, "bolt");
        fillPage(bolt, {"count=6", "diameter=100", "omit=1"});
        view = enter();
        QVERIFY(view != nullptr);
        auto* shown = child<SketchView>(view, "machinePicture");
        QCOMPARE(labelText(view, "machinePlace"), "Hole 2 (1 of 5)");
        QCOMPARE(shown->highlighted(), 2);
        press(view, Qt::Key_Space);
        QCOMPARE(shown->highlighted(), 3);
        view->close();
    }

    // Each tick a new file renamed over the job: a reader of the old one reads it whole, and no
    // temporary file is left. One that cannot be written (the stick pulled out) is said in red
    // and the walk goes on; the next that can be written keeps them all.
    void shouldReplaceTheJobAndSayWhenATickCannotBeKept() {
        const QString path = folder.filePath("stick/walk.morvanta");
        MachineView* view = walkSevenHoles(path);
        QVERIFY(view != nullptr);
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray was = before.readAll();
        press(view, Qt::Key_Space);
        QCOMPARE(ticksInFile(path), upTo(1));
        QVERIFY(before.seek(0));
        QCOMPARE(before.readAll(), was);
        QCOMPARE(QDir(folder.filePath("stick")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"walk.morvanta"});
        QVERIFY(QDir(folder.filePath("stick")).removeRecursively());
        press(view, Qt::Key_Space);
        auto* fault = child<QLabel>(view, "machineFault");
        QVERIFY(fault->isVisible());
        QVERIFY2(fault->text().contains(QDir::toNativeSeparators(path)), qPrintable(fault->text()));
        QCOMPARE(labelText(view, "machinePlace"), "Hole 3 of 7");
        QVERIFY(QDir(folder.path()).mkdir("stick"));
        press(view, Qt::Key_Space);
        QVERIFY(!fault->isVisible());
        QCOMPARE(ticksInFile(path), upTo(3));
        view->close();
    }

    // The printed sheet ticks the boxes of the rows done and no other.
    void shouldPrintTheTicksInTheBoxes() {
        const QString path = folder.filePath("printed.morvanta");
        QByteArray job = kSevenHoles;
        job.replace("\"inputs\"", "\"ticks\": [1, 3], \"inputs\"");
        QVERIFY(writeFile(path, job));
        QVERIFY(window->openJobFile(path));
        window->currentPage()->finishComputing();
        const QString pdf = folder.filePath("printed.pdf");
        QCOMPARE(window->exportPdfTo(pdf), 1);
        QCOMPARE(tickBoxFaults(pdf, 7, {1, 3}, folder.filePath("printed")), QString());
    }
};

MORVANTA_WINDOW_TEST(JobTest)
#include "JobTest.moc"
