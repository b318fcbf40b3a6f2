// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSemaphore>

#include <cstdio>

#include "ui/BackgroundBuild.h"
#include "ui/DesktopServices.h"
#include "ui/OutputBox.h"
#include "ui/autotests/UiTestSupport.h"
#include "ui/frmMain.h"

using namespace morvanta;
using namespace morvanta::testing;

namespace {

const QByteArray kSevenHoles =
    "---------------   7 Holes   ---------------\r\n"
    "  0\r\n 51.42857\r\n102.85714\r\n154.28571\r\n205.71428\r\n257.14285\r\n308.57142\r\n\r\n";
constexpr long long kMegabyte = 1 << 20;

QByteArray shownIn(OutputBox* box) {
    return QByteArray(box->bytes().data(), static_cast<qsizetype>(box->bytes().size()));
}

// In a child, capped KILOBYTES above what is in use: Build This SCENARIO, or ("copy") Copy 8 MB
// again; prints the messages, the box, and what another program short of memory reads.
int runScenario(const QStringList& words) {
    const QString scenario = words.value(0);
    auto* window = new frmMain;
    window->show();
    // Painted before the cap, as a window the user has been looking at.
    if (!QTest::qWaitForWindowExposed(window)) {
        return 2;
    }
    MessageBoxAnswerer answerer;
    QApplication::clipboard()->setText("kept");
    const bool build = scenario != "copy";
    window->findChild<QLineEdit*>("tThis")->setText(scenario);
    const QByteArray big = QByteArray("123456789\r\n").repeated(build ? 0 : 3 * kMegabyte / 4);
    window->findChild<OutputBox*>()->setText(big.toStdString());
    if (!build) {
        choose(window, "mnuCopy");
    }
    capAboveInUse(words.value(1).toLongLong());
    choose(window, build ? "cThis" : "mnuCopy");
    const QByteArray clipboard = clipboardSeenByAnotherProgram([] { capAddressSpace(0); });
    const QByteArray box = shownIn(window->findChild<OutputBox*>());
    const char* shown = box.isEmpty() ? "empty" : box == kSevenHoles ? "7 holes" : "table";
    const char* copied = clipboard == "kept" ? "kept" : clipboard == box ? "same" : "other";
    std::printf("%s|%s|%s\n", qPrintable(answerer.seen.join(',')), shown, copied);
    return 0;
}

// The command chosen after `text` is typed into `box`; the table it shows, or the message.
struct Build {
    const char* command;
    const char* box;
    const char* text;
    QByteArray table;
    const char* message = "";
};

}  // namespace

Q_DECLARE_METATYPE(Build)

class frmMainTest : public QObject {
    Q_OBJECT

private:
    QPointer<frmMain> window;

    template <typename T>
    T* child(const char* name) {
        return window->findChild<T*>(name);
    }
    OutputBox* output() { return child<OutputBox>("tOutput"); }
    QString focusName() {
        QWidget* focus = QApplication::focusWidget();
        return qobject_cast<OutputBox*>(focus->parentWidget()) ? "tOutput" : focus->objectName();
    }
    // Whether a line is within the text area, the vertical bar there and no horizontal one.
    bool shownWhole(long line) {
        output()->viewport()->repaint();
        const long end = output()->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                 static_cast<unsigned long>(line));
        return output()->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET) == 0 &&
               output()->verticalScrollBar()->isVisible() &&
               !output()->horizontalScrollBar()->isVisible() &&
               output()->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, end) <=
                   output()->viewport()->width() -
                       output()->SendScintilla(QsciScintillaBase::SCI_GETMARGINRIGHT);
    }

private slots:
    void init() {
        window = new frmMain;
        desktop::show(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup() { delete window; }

    // The table in the box and on the clipboard, or the message, the box empty, the clipboard kept.
    void shouldShowTheTableOrTheMessage_data() {
        QTest::addColumn<Build>("build");
        QTest::newRow("Build This") << Build{"cThis", "tThis", "7", kSevenHoles};
        QTest::newRow("File > Build This") << Build{"mnuBuildThis", "tThis", "7", kSevenHoles};
        QTest::newRow("Build All") << Build{"cBuild", "tTo", "3",
                                            "---------------   2 Holes   ---------------\r\n"
                                            "0, 180\r\n\r\n\r\n"
                                            "---------------   3 Holes   ---------------\r\n"
                                            "0, 120, 240\r\n\r\n\r\n"};
        QTest::newRow("File > Build All, To below From")
            << Build{"mnuBuildAll", "tFrom", "200", "", "Morvanta: To must be greater then From"};
    }

    void shouldShowTheTableOrTheMessage() {
        QFETCH(Build, build);
        output()->setText("old text\r\n");
        QApplication::clipboard()->setText("kept");
        child<QLineEdit>(build.box)->setText(build.text);
        MessageBoxAnswerer answerer;
        choose(window, build.command);
        QCOMPARE(shownIn(output()), build.table);
        const bool refused = *build.message != '\0';
        QCOMPARE(clipboardSeenByAnotherProgram(), refused ? QByteArray("kept") : build.table);
        QCOMPARE(answerer.seen, refused ? QStringList(build.message) : QStringList());
    }

    // Tab from From; at each stop Return, then keypad Enter: "*" for each that built.
    void shouldMoveFocusInTabOrderAndPressOnlyButtonsOnEnter() {
        QTRY_COMPARE(focusName(), "tFrom");
        QStringList visited;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusName();
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
                if (visited.last() != "tOutput") {
                    output()->clear();
                    QTest::keyClick(QApplication::focusWidget(), key,
                                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
                    visited.last() += output()->bytes().empty() ? "" : "*";
                }
            }
        }
        QCOMPARE(visited, QStringList({"tOutput", "cBuild**", "cThis**", "tThis", "tTo", "tFrom"}));
    }

    // Long lines wrap, set or typed, after any build; a line too long to wrap quickly (2 MB took
    // 20 s) does not. Typed text is copied as UTF-8, Enter making CR LF.
    void shouldShowEveryCharacterOfEveryLine() {
        for (int length = 40; length <= 80; ++length) {
            output()->setText("short\r\n" + std::string(length, 'x') + "\r\n");
            QVERIFY2(shownWhole(1), qPrintable(QString::number(length) + " characters"));
        }
        choose(window, "cThis");
        output()->setFocus();
        QTest::keyClicks(output()->viewport(), QString::fromUtf8("\xC2\xB0").repeated(80));
        QVERIFY(shownWhole(0));
        QTest::keyClick(output()->viewport(), Qt::Key_Return);
        MessageBoxAnswerer answerer;
        choose(window, "mnuCopy");
        QCOMPARE(clipboardSeenByAnotherProgram(),
                 QByteArray("\xC2\xB0").repeated(80) + "\r\n" + kSevenHoles);
        QCOMPARE(answerer.seen, QStringList("Morvanta: Copied to clipboard"));
        for (const char* holes : {"", "1", "", "7"}) {
            child<QLineEdit>("tThis")->setText(holes);
            choose(window, *holes == '\0' ? "cBuild" : "cThis");
            QVERIFY2(shownWhole(0), holes);
        }
        const std::string line(2'000'000, 'z');
        output()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT,
                                static_cast<unsigned long>(line.size()), line.c_str());
        output()->viewport()->repaint();
        QVERIFY(!output()->isWrapping());
    }

    // While the table loads, the window's handlers on the stack: no second build, a close carried
    // out once the build has returned, the box empty and the clipboard kept.
    void shouldAbandonTheBuildAndCloseOnlyOnceItHasReturned_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("close box") << "close";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("a second build asked for, Cancel") << "build,cancel";
        QTest::newRow("Cancel, the close box at once") << "cancel,close";
    }

    void shouldAbandonTheBuildAndCloseOnlyOnceItHasReturned() {
        QFETCH(QString, how);
        QApplication::clipboard()->setText("kept");
        child<QLineEdit>("tThis")->setText("10000000");
        bool acted = false;
        QTimer watch;
        // Past the engine's fifth of the bar, the table is loading into the box.
        connect(&watch, &QTimer::timeout, [&] {
            auto* progress = child<QProgressDialog>("progress");
            if (acted || progress == nullptr || !progress->isVisible() || progress->value() < 300) {
                return;
            }
            acted = true;
            if (how.startsWith("build")) {
                child<QLineEdit>("tThis")->setText("7");
                choose(window, "mnuBuildThis");
            }
            if (how.contains("cancel")) {
                progress->findChild<QPushButton*>()->click();
            }
            if (how.contains("esc")) {
                QTest::keyClick(progress, Qt::Key_Escape);
            }
            if (how.contains("close")) {
                pressCloseBox(window);
            }
        });
        watch.start(10);
        MessageBoxAnswerer answerer;
        OutputBox* box = output();
        choose(window, "cThis");
        watch.stop();
        QVERIFY(acted);
        QVERIFY(box->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram(), "kept");
        QVERIFY(answerer.seen.isEmpty());
        // Time for a close that should not come.
        QTest::qWait(100);
        QTRY_COMPARE(window.isNull() || !window->isVisible(), how.contains("close"));
    }

    // Cancelled once the table is made, the loading stops short of the second megabyte's 0.3.
    void shouldStopLoadingTheTableOnCancel() {
        QSemaphore cancelled;
        BackgroundBuild job(
            [&cancelled](const BuildProgress&) {
                cancelled.acquire();
                return BuildResult::success(std::string(8 << 20, '7'));
            },
            output()->createLoader());
        job.cancel();
        cancelled.release();
        QVERIFY(job.waitFor(std::chrono::seconds(30)));
        QCOMPARE(job.kind(), BuildResult::Kind::Cancelled);
        QCOMPARE_LT(job.fractionDone(), 0.25);
    }

    // A document that cannot take the table, and memory running short around the engine.
    void shouldReportADocumentThatCannotTakeTheTable() {
        BackgroundBuild cannotLoad(
            [](const BuildProgress&) { return BuildResult::success("0\r\n"); }, DocumentLoader());
        BackgroundBuild cannotConvert(
            [](const BuildProgress&) -> BuildResult { throw std::bad_alloc(); },
            output()->createLoader());
        for (BackgroundBuild* job : {&cannotLoad, &cannotConvert}) {
            QVERIFY(job->waitFor(std::chrono::seconds(10)));
            QCOMPARE(job->kind(), BuildResult::Kind::Message);
            QCOMPARE(job->message(), std::string("Not enough memory to build this table"));
        }
    }

    // Short of memory for a thread, the table or its copy: the table on the clipboard too, or a
    // message and the clipboard kept. Another program's read of an earlier copy costs nothing.
    void shouldNeverAbortShortOfMemory_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("megabytes");
        QTest::addColumn<QString>("outcomes");
        QTest::newRow("Edit > Copy of 8 MB, then another program reads")
            << "copy" << 4
            << "Morvanta: Copied to clipboard,Morvanta: Not enough memory to copy the "
               "text|table|same";
        QTest::newRow("Build This 7, no thread") << "7" << 2 << "|7 holes|same";
        for (int megabytes : {12, 20, 28, 36, 44, 60}) {
            QTest::addRow("Build This, %d MB to spare", megabytes)
                << "1000000" << megabytes
                << "|table|same or Morvanta: Not enough memory to build this table|empty|kept";
        }
    }

    void shouldNeverAbortShortOfMemory() {
        MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER(
            "AddressSanitizer reserves the address space that this test caps");
        QFETCH(QString, scenario);
        QFETCH(int, megabytes);
        QFETCH(QString, outcomes);
        const QString seen = runChild({"--scenario", scenario, QString::number(megabytes * 1024)});
        QVERIFY2(outcomes.split(" or ").contains(seen.section('\n', 0, 0)) &&
                     seen.endsWith("\nstatus 0"),
                 qPrintable(seen));
    }
};

MORVANTA_WINDOW_TEST_WITH_CHILD(frmMainTest, "--scenario", runScenario)
#include "frmMainTest.moc"
