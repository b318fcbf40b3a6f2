// SPDX-License-Identifier: GPL-3.0-or-later
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QScrollBar>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

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
// Stands for the survey from 2 to 100: twenty counts divide 360, from 2 to 90.
const QByteArray kSurvey = "survey";
constexpr long long kMegabyte = 1 << 20;

QByteArray shownIn(OutputBox* box) {
    return QByteArray(box->bytes().data(), static_cast<qsizetype>(box->bytes().size()));
}

void putOnClipboard(const QByteArray& text) {
    desktop::clipboardClear();
    desktop::clipboardSetText(desktop::clipboardText(text.toStdString()));
}

// Short of memory: the address space capped `headroom` bytes above what is in use; -1 lifts it.
void capAddressSpace(long long headroom) {
    long long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = headroom < 0 ? limit.rlim_max
                                  : static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + headroom);
    setrlimit(RLIMIT_AS, &limit);
}

// In a child process, short of memory: Build This with `holes` ("build"); or, with 32 MB in the
// box, Edit > Copy ("copy") or another program's read of the copy made before ("read"). Prints
// the messages, the box and the clipboard, each a line in Base64.
int runScenario(const QString& scenario, const QString& holes, long long headroom) {
    auto* window = new frmMain;
    window->show();
    // Painted once before the cap, as a window the user has been looking at.
    if (!QTest::qWaitForWindowExposed(window)) {
        return 2;
    }
    MessageBoxAnswerer answerer;
    putOnClipboard("kept");
    window->findChild<QLineEdit*>("tThis")->setText(holes);
    std::string big;
    while (scenario != "build" && big.size() < 32 * kMegabyte) {
        big += std::to_string(big.size()) + "\r\n";
    }
    window->findChild<OutputBox*>()->setText(big);
    if (scenario == "read") {
        choose(window, "mnuCopy");
    }
    capAddressSpace(headroom);
    if (scenario != "read") {
        choose(window, scenario == "copy" ? "mnuCopy" : "cThis");
    }
    const QByteArray clipboard = clipboardSeenByAnotherProgram([] { capAddressSpace(-1); });
    for (const QByteArray& seen :
         {answerer.seen.join('|').toUtf8(), shownIn(window->findChild<OutputBox*>()), clipboard}) {
        std::printf("%s\n", seen.toBase64().constData());
    }
    return 0;
}

// A build: the command chosen after `text` is typed into `box`; the table it shows, or the message.
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
    // Whether the end of a line lies within the text area, wrapped or not.
    bool lineEndVisible(long line) {
        output()->viewport()->repaint();
        const long end = output()->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                 static_cast<unsigned long>(line));
        return output()->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, end) <=
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

    // Each build: the table in the box and, identical, on the clipboard; or the message, the box
    // empty and the clipboard as it was. The menu items act as the buttons.
    void shouldShowTheTableOrTheMessage_data() {
        QTest::addColumn<Build>("build");
        QTest::newRow("Build This") << Build{"cThis", "tThis", "7", kSevenHoles};
        QTest::newRow("File > Build This") << Build{"mnuBuildThis", "tThis", "7", kSevenHoles};
        QTest::newRow("Build All") << Build{"cBuild", "tTo", "100", kSurvey};
        QTest::newRow("File > Build All") << Build{"mnuBuildAll", "tTo", "100", kSurvey};
        QTest::newRow("empty survey") << Build{"cBuild", "tFrom", "100", ""};
        QTest::newRow("This 1") << Build{"cThis", "tThis", "1", "",
                                         "Morvanta: This must be a number greater then 1"};
        QTest::newRow("To below From")
            << Build{"mnuBuildAll", "tFrom", "200", "", "Morvanta: To must be greater then From"};
    }

    void shouldShowTheTableOrTheMessage() {
        QFETCH(Build, build);
        output()->setText("old text\r\n");
        putOnClipboard("kept");
        child<QLineEdit>(build.box)->setText(build.text);
        MessageBoxAnswerer answerer;
        choose(window, build.command);
        const QByteArray shown = shownIn(output());
        if (build.table == kSurvey) {
            QVERIFY(
                shown.startsWith("---------------   2 Holes   ---------------\r\n"
                                 "0, 180\r\n\r\n\r\n---------------   3 Holes"));
            QVERIFY(shown.endsWith("348, 352, 356\r\n\r\n\r\n"));
            QCOMPARE(shown.count(" Holes "), 20);
        } else {
            QCOMPARE(shown, build.table);
        }
        const bool refused = *build.message != '\0';
        QCOMPARE(clipboardSeenByAnotherProgram(), refused ? QByteArray("kept") : shown);
        QCOMPARE(answerer.seen, refused ? QStringList(build.message) : QStringList());
    }

    // The window is woken as soon as a build ends, not when the progress window would show.
    void shouldShowASmallTableAtOnce() {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer clock;
            clock.start();
            choose(window, "cThis");
            fastest = std::min(fastest, clock.elapsed());
        }
        QCOMPARE(shownIn(output()), kSevenHoles);
        QVERIFY2(fastest < 250, qPrintable(QString::number(fastest) + " ms"));
    }

    // Typed at the caret, which a build leaves at the start.
    void shouldCopyEditedAndEmptyTextAsUtf8() {
        choose(window, "cThis");
        output()->setFocus();
        QTest::keyClicks(output()->viewport(), QString::fromUtf8("90\xC2\xB0"));
        QTest::keyClick(output()->viewport(), Qt::Key_Return);
        MessageBoxAnswerer answerer;
        choose(window, "mnuCopy");
        QCOMPARE(clipboardSeenByAnotherProgram(), "90\xC2\xB0\r\n" + kSevenHoles);
        output()->clear();
        choose(window, "mnuCopy");
        QCOMPARE(clipboardSeenByAnotherProgram(), QByteArray());
        QCOMPARE(answerer.seen, QStringList(2, "Morvanta: Copied to clipboard"));
    }

    // Tab walks the focus order from From. At each stop Return, then keypad Enter, is pressed
    // ("*" for each that built): a focused button is pressed, a box starts nothing.
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

    // Every character of every line can be seen: lines wider than the box wrap at its width,
    // set or typed, with the vertical bar there at all times, never a horizontal one, whatever
    // was built before. A text too large to wrap quickly shows unwrapped instead: 2 MB in one line
    // pasted once took 20 s to wrap.
    void shouldShowEveryCharacterOfEveryLine() {
        for (int length = 40; length <= 80; ++length) {
            output()->setText("short\r\n" + std::string(length, 'x') + "\r\n");
            QVERIFY2(lineEndVisible(1), qPrintable(QString::number(length) + " characters"));
        }
        output()->clear();
        output()->setFocus();
        for (int length = 1; length <= 80; ++length) {
            QTest::keyClick(output()->viewport(), Qt::Key_Y);
            QVERIFY2(lineEndVisible(0), qPrintable(QString::number(length) + " typed"));
        }
        const int width = output()->viewport()->width();
        MessageBoxAnswerer answerer;
        for (const char* step : {"cBuild", "cThis", "long line", "refused"}) {
            if (qstrcmp(step, "long line") == 0) {
                output()->setText(std::string(300, 'x'));
            } else if (qstrcmp(step, "refused") == 0) {
                child<QLineEdit>("tThis")->setText("1");
                choose(window, "cThis");
            } else {
                choose(window, step);
            }
            QVERIFY2(output()->verticalScrollBar()->isVisible(), step);
            QVERIFY2(!output()->horizontalScrollBar()->isVisible(), step);
            QVERIFY2(output()->viewport()->width() == width, step);
        }
        const std::string line(2'000'000, 'z');
        QElapsedTimer clock;
        clock.start();
        output()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT,
                                static_cast<unsigned long>(line.size()), line.c_str());
        output()->viewport()->repaint();
        QVERIFY(!output()->isWrapping());
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    }

    // The build waits with the window's handlers on the stack: nothing may take the window away
    // or start another build meanwhile, and a close is carried out once the build has returned.
    // Cancel leaves the box empty and the clipboard as it was, soon, even while the table loads.
    void shouldAbandonTheBuildAndCloseOnlyOnceItHasReturned_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Cancel while the table loads") << "cancel" << false;
        QTest::newRow("close box while the progress shows") << "close" << true;
        QTest::newRow("Cancel, then the close box at once") << "cancel,close" << true;
        QTest::newRow("Esc, then the close box at once") << "esc,close" << true;
        QTest::newRow("a second build asked for") << "build,cancel" << false;
    }

    void shouldAbandonTheBuildAndCloseOnlyOnceItHasReturned() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        putOnClipboard("kept");
        child<QLineEdit>("tThis")->setText("10000000");
        QElapsedTimer sinceCancel;
        QTimer watch;
        // Past the engine's fifth of the bar, the table is being loaded into the box.
        connect(&watch, &QTimer::timeout, [&] {
            auto* progress = child<QProgressDialog>("progress");
            if (progress == nullptr || !progress->isVisible() || progress->value() < 300) {
                return;
            }
            watch.stop();
            sinceCancel.start();
            for (const QString& step : how.split(',')) {
                if (step == "cancel") {
                    progress->findChild<QPushButton*>()->click();
                } else if (step == "esc") {
                    QTest::keyClick(progress, Qt::Key_Escape);
                } else if (step == "close") {
                    pressCloseBox(window);
                } else {
                    child<QLineEdit>("tThis")->setText("7");
                    choose(window, "mnuBuildThis");
                }
            }
        });
        watch.start(10);
        MessageBoxAnswerer answerer;
        OutputBox* box = output();
        choose(window, "cThis");
        QVERIFY(sinceCancel.isValid());
        QVERIFY2(sinceCancel.elapsed() < 1000,
                 qPrintable(QString::number(sinceCancel.elapsed()) + " ms"));
        QVERIFY(box->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram(), "kept");
        QVERIFY(answerer.seen.isEmpty());
        QTest::qWait(100);
        QCOMPARE(window.isNull() || !window->isVisible(), closes);
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

    // Too little memory for a thread, the table or its copy on the clipboard: the table shows,
    // identical on the clipboard, or a message says memory ran short and the clipboard is kept.
    void shouldNeverAbortShortOfMemory_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("holes");
        QTest::addColumn<int>("megabytes");
        QTest::newRow("Edit > Copy of 32 MB") << QString("copy") << 0 << 16;
        QTest::newRow("another program reads 32 MB") << QString("read") << 0 << 16;
        QTest::newRow("Build This 7, no thread") << QString("build") << 7 << 2;
        for (int megabytes : {12, 20, 28, 36, 44, 60}) {
            QTest::addRow("Build This, %d MB to spare", megabytes)
                << QString("build") << 1'000'000 << megabytes;
        }
    }

    void shouldNeverAbortShortOfMemory() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves the address space that this test caps");
#endif
        QFETCH(QString, scenario);
        QFETCH(int, holes);
        QFETCH(int, megabytes);
        const QByteArrayList seen = runChild({"--scenario", scenario, QString::number(holes),
                                              QString::number(megabytes * kMegabyte)})
                                        .split('\n');
        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen[3], "status 0");
        const QByteArray messages = QByteArray::fromBase64(seen[0]);
        const QByteArray box = QByteArray::fromBase64(seen[1]);
        if (scenario == "build") {
            QCOMPARE(messages,
                     box.isEmpty() ? "Morvanta: Not enough memory to build this table" : "");
            QVERIFY(holes != 7 || box == kSevenHoles);
        } else {
            QCOMPARE(messages, scenario == "copy" ? "Morvanta: Not enough memory to copy the text"
                                                  : "Morvanta: Copied to clipboard");
        }
        const bool kept = box.isEmpty() || scenario == "copy";
        QCOMPARE(QByteArray::fromBase64(seen[2]), kept ? QByteArray("kept") : box);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--scenario") == 0) {
        return runScenario(argv[2], argv[3], QByteArray(argv[4]).toLongLong());
    }
    frmMainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frmMainTest.moc"
