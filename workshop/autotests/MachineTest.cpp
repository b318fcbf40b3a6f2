// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <cstdio>
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
    std::vector<std::int64_t> rows;
    for (std::int64_t row = 1; row <= last; ++row) {
        rows.push_back(row);
    }
    return rows;
}

QString labelText(QWidget* view, const char* name) {
    return child<QLabel>(view, QString::fromLatin1(name))->text();
}

void press(QWidget* view, Qt::Key key, bool repeated = false) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeated);
    QApplication::sendEvent(view, &down);
}

constexpr const char* kSevenHoles = R"({"format": "morvanta-job", "version": "1.0",
    "calculation": "sheet", "name": "Gear blank",
    "inputs": {"count": "7", "ratio": "90", "dial": "240"}}
)";

}  // namespace

// At the machine: a hole at a time, each tick in the job file at once, the place kept across a
// crash, the end said plainly, the printed boxes ticked.
class MachineTest : public WindowFixture {
    Q_OBJECT

private:
    MachineView* enter() {
        // The sheet is worked out away from the window's thread; the walk starts from it.
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

    // Space and Page Down tick and go on, Backspace and Page Up take the last tick back; the file
    // follows every key. The settings, the move and the count are the sheet's (7 on 90:1 with 240:
    // hole 2 at 51°26' is 12 turns and 206, hole 3 12 and 205 further). A held key walks no
    // further.
    void shouldWriteEachTickAsTheHoleIsDone() {
        const QString path = folder.filePath("walk.morvanta");
        MachineView* view = walkSevenHoles(path);
        QVERIFY(view != nullptr && view->isFullScreen());
        QCOMPARE(labelText(view, "machinePlace"), "Hole 1 of 7");
        QCOMPARE(labelText(view, "machineMove"), "The first hole: no move before it.");
        const QList<Qt::Key> forward = {Qt::Key_Space, Qt::Key_PageDown, Qt::Key_Space};
        for (qsizetype i = 0; i < forward.size(); ++i) {
            press(view, forward[i]);
            QCOMPARE(ticksInFile(path), upTo(i + 1));
        }
        press(view, Qt::Key_Space, true);
        QCOMPARE(ticksInFile(path), upTo(3));
        QCOMPARE(labelText(view, "machinePlace"), "Hole 4 of 7");
        QCOMPARE(labelText(view, "machineCount"), "3 done, 4 left");
        press(view, Qt::Key_Backspace);
        QCOMPARE(ticksInFile(path), upTo(2));
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

    // Each tick is a new file renamed over the job: a reader of the old one reads it whole, and no
    // temporary file is left.
    void shouldReplaceTheJobRatherThanWriteOverIt() {
        const QString path = folder.filePath("renamed/walk.morvanta");
        MachineView* view = walkSevenHoles(path);
        QVERIFY(view != nullptr);
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray was = before.readAll();
        QVERIFY(was.contains("\"ticks\": []"));
        press(view, Qt::Key_Space);
        QCOMPARE(ticksInFile(path), upTo(1));
        QVERIFY(before.seek(0));
        QCOMPARE(before.readAll(), was);
        QCOMPARE(
            QDir(folder.filePath("renamed")).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList{"walk.morvanta"});
        view->close();
    }

    // SIGKILLed after hole 5 in a child process, the job opens at hole 6.
    void shouldTakeUpAfterAKillAtTheNextHole() {
        const QString path = folder.filePath("killed.morvanta");
        QVERIFY(writeFile(path, kSevenHoles));
        QTemporaryDir settings;
        QProcess walker;
        walker.start(QCoreApplication::applicationFilePath(),
                     {"--walk", path, "5", settings.path()});
        QVERIFY(walker.waitForStarted());
        QByteArray said;
        while (!said.contains("walked 5") && walker.waitForReadyRead(30000)) {
            said += walker.readAllStandardOutput();
        }
        QVERIFY2(said.contains("walked 5"), (said + walker.readAllStandardError()).constData());
        walker.kill();
        QVERIFY(walker.waitForFinished(10000));
        QCOMPARE(walker.exitStatus(), QProcess::CrashExit);
        QCOMPARE(ticksInFile(path), upTo(5));

        QVERIFY(window->openJobFile(path));
        MachineView* view = enter();
        QVERIFY(view != nullptr);
        QCOMPARE(view->current(), 6);
        QCOMPARE(labelText(view, "machinePlace"), "Hole 6 of 7");
        QCOMPARE(labelText(view, "machineCount"), "5 done, 2 left");
        view->close();
    }

    // A page that is no job is kept as a recovery job before the first hole, the view says where.
    void shouldKeepAPageThatIsNoJobAsARecoveryJob() {
        fillPage(window->page("index"), {"count=6"});
        front(window, "index");
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
        view->close();
    }

    // The hole at hand is highlighted in the view's picture and the page's, none once left; with
    // hole 1 left out, row 1 is hole 2.
    void shouldHighlightTheHoleAtHandInThePictures() {
        CalculatorPage* bolt = front(window, "bolt");
        fillPage(bolt, {"count=6", "diameter=100", "omit=1"});
        auto* page = child<SketchView>(bolt, "picture");
        MachineView* view = enter();
        QVERIFY(view != nullptr);
        auto* shown = child<SketchView>(view, "machinePicture");
        QCOMPARE(labelText(view, "machinePlace"), "Hole 2 (1 of 5)");
        QCOMPARE(shown->highlighted(), 2);
        QCOMPARE(page->highlighted(), 2);
        press(view, Qt::Key_Space);
        QCOMPARE(shown->highlighted(), 3);
        QCOMPARE(page->highlighted(), 3);
        press(view, Qt::Key_Backspace);
        QCOMPARE(page->highlighted(), 2);
        press(view, Qt::Key_Escape);
        QTRY_VERIFY(window->machineView() == nullptr);
        QCOMPARE(page->highlighted(), 0);
    }

    // A tick that cannot be written (the folder gone, a stick pulled out) is said in red and the
    // walk goes on; the next that can be written keeps them all.
    void shouldSayWhenATickCannotBeKept() {
        const QString path = folder.filePath("stick/walk.morvanta");
        MachineView* view = walkSevenHoles(path);
        QVERIFY(view != nullptr);
        QVERIFY(QDir(folder.filePath("stick")).removeRecursively());
        press(view, Qt::Key_Space);
        auto* fault = child<QLabel>(view, "machineFault");
        QVERIFY(fault->isVisible());
        QVERIFY2(fault->text().startsWith(QStringLiteral("The ticks could not be kept: could not "
                                                         "save %1: ")
                                              .arg(QDir::toNativeSeparators(path))),
                 qPrintable(fault->text()));
        QCOMPARE(labelText(view, "machinePlace"), "Hole 2 of 7");
        QVERIFY(QDir(folder.path()).mkdir("stick"));
        press(view, Qt::Key_Space);
        QVERIFY(!fault->isVisible());
        QCOMPARE(ticksInFile(path), upTo(2));
        view->close();
    }

    // The printed sheet ticks the boxes of the rows done and no other.
    void shouldPrintTheTicksInTheBoxes() {
        const QString path = folder.filePath("printed.morvanta");
        QByteArray job = kSevenHoles;
        job.replace("\"inputs\"", "\"ticks\": [1, 3], \"inputs\"");
        QVERIFY(writeFile(path, job));
        QVERIFY(window->openJobFile(path));
        // The sheet is made off the window's thread, and prints once made.
        window->currentPage()->finishComputing();
        const QString pdf = folder.filePath("printed.pdf");
        QCOMPARE(window->exportPdfTo(pdf), 1);
        QCOMPARE(tickBoxFaults(pdf, 1, 7, true, {1, 3}, folder.filePath("printed")), QString());
    }
};

// The kill test's child: ticks `count` holes of the job, says so and waits.
int walk(int argc, char** argv) {
    QApplication application(argc, argv);
    isolateSettings(QString::fromLocal8Bit(argv[4]));
    WorkshopWindow window;
    window.show();
    if (!window.openJobFile(QString::fromLocal8Bit(argv[2]))) {
        return 3;
    }
    // As in the test's own walks: the sheet may not be made yet.
    window.currentPage()->finishComputing();
    window.enterMachineMode();
    MachineView* view = window.machineView();
    if (view == nullptr) {
        return 4;
    }
    const int count = QString::fromLocal8Bit(argv[3]).toInt();
    for (int i = 0; i < count; ++i) {
        view->next();
    }
    std::printf("walked %d\n", count);
    std::fflush(stdout);
    return QApplication::exec();
}

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "--walk") {
        return walk(argc, argv);
    }
    QApplication application(argc, argv);
    MachineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MachineTest.moc"
