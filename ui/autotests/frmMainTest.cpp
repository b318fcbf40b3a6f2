// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

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
using testing::clipboardSeenByAnotherProgram;
using testing::MessageBoxAnswerer;

namespace {

const QByteArray kSevenHoles =
    "---------------   7 Holes   ---------------\r\n"
    "  0\r\n 51.42857\r\n102.85714\r\n154.28571\r\n205.71428\r\n257.14285\r\n308.57142\r\n\r\n";
constexpr long long kMegabyte = 1 << 20;

QByteArray shownIn(OutputBox* box) {
    const std::string_view bytes = box->bytes();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void putOnClipboard(const QByteArray& text) {
    desktop::clipboardClear();
    desktop::clipboardSetText(desktop::clipboardText(text.toStdString()));
}

void choose(QWidget* window, const QString& command) {
    if (auto* button = window->findChild<QPushButton*>(command)) {
        button->click();
    } else {
        window->findChild<QAction*>(command)->trigger();
    }
}

// Runs `act` once, when the build's progress window shows at least `atLeast` of its 1000 steps.
class ProgressWatch {
public:
    ProgressWatch(QWidget* window, int atLeast, std::function<void(QProgressDialog*)> act) {
        QObject::connect(&timer_, &QTimer::timeout, [=, this] {
            auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("progress"));
            if (progress != nullptr && progress->isVisible() && progress->value() >= atLeast) {
                timer_.stop();
                acted = true;
                act(progress);
            }
        });
        timer_.start(10);
    }
    bool acted = false;

private:
    QTimer timer_;
};

// Short of memory, in a child process: its address space is capped a little above what it uses.
void capAddressSpace(long long headroom) {
    long long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = headroom < 0 ? limit.rlim_max
                                  : static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + headroom);
    setrlimit(RLIMIT_AS, &limit);
}

// "copy": Edit > Copy of 32 MB; "read": another program reads the 32 MB copied before; "build":
// Build This (7 holes with too little memory for a thread, else 1,000,000). Reports what the user
// would see; a crash ends it early.
int runScenario(const QString& scenario, long long headroom) {
    auto* window = new frmMain;
    desktop::show(window);
    // Painted once before the cap, as a window the user has been looking at.
    if (!QTest::qWaitForWindowExposed(window)) {
        return 2;
    }
    auto* output = window->findChild<OutputBox*>(QStringLiteral("tOutput"));
    MessageBoxAnswerer answerer;
    putOnClipboard("kept");
    if (scenario == u"build") {
        window->findChild<QLineEdit*>(QStringLiteral("tThis"))
            ->setText(headroom < 8 * kMegabyte ? QStringLiteral("7") : QStringLiteral("1000000"));
    } else {
        std::string big;
        for (int line = 0; big.size() < 32 * kMegabyte; ++line) {
            big += std::to_string(line) + "\r\n";
        }
        output->setText(big);
    }
    if (scenario == u"read") {
        choose(window, QStringLiteral("mnuCopy"));
    }
    capAddressSpace(headroom);
    if (scenario != u"read") {
        choose(window, scenario == u"copy" ? QStringLiteral("mnuCopy") : QStringLiteral("cThis"));
    }
    const auto clipboard = clipboardSeenByAnotherProgram([] { capAddressSpace(-1); });
    QStringList messages;
    for (const auto& seen : answerer.seen) {
        messages << seen.text;
    }
    for (const auto& [key, value] : {std::pair{"messages", messages.join(u'|').toUtf8()},
                                     {"box", shownIn(output)},
                                     {"clipboard", clipboard.value_or("(nothing)")}}) {
        std::printf("%s=%s\n", key, value.toBase64().constData());
    }
    return 0;
}

QMap<QString, QByteArray> runInChild(const QString& scenario, long long headroom) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--scenario"), scenario, QString::number(headroom)});
    child.waitForFinished(120000);
    QMap<QString, QByteArray> seen;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) {
            seen[QString::fromLatin1(line.left(equals))] =
                QByteArray::fromBase64(line.mid(equals + 1));
        }
    }
    seen[QStringLiteral("exit")] = child.exitStatus() == QProcess::NormalExit
                                       ? QByteArray::number(child.exitCode())
                                       : QByteArray("crashed");
    return seen;
}

}  // namespace

class frmMainTest : public QObject {
    Q_OBJECT

private:
    QPointer<frmMain> window;
    std::unique_ptr<QWidget> keeper = std::make_unique<QWidget>();

    template <typename T>
    T* child(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    OutputBox* output() { return child<OutputBox>("tOutput"); }
    QString focusName() {
        QWidget* focus = QApplication::focusWidget();
        return qobject_cast<OutputBox*>(focus->parentWidget()) ? QStringLiteral("tOutput")
                                                               : focus->objectName();
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
    // The program quits when its last window goes, which would also end a later build's wait;
    // this window stays loaded, hidden, so that no test's window is the last.
    void initTestCase() {
        desktop::show(keeper.get());
        keeper->hide();
    }
    void cleanupTestCase() { keeper.reset(); }

    void init() {
        window = new frmMain;
        desktop::show(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup() { delete window; }

    // Each build: the table in the box and, identical, on the clipboard; or the message, the
    // box empty and the clipboard as it was.
    void shouldShowTheTableOrTheMessage_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("message");
        const QByteArray survey = "survey";
        QTest::newRow("Build This") << "cThis"
                                    << "tThis"
                                    << "7" << kSevenHoles << "";
        QTest::newRow("File > Build This") << "mnuBuildThis"
                                           << "tThis"
                                           << "7" << kSevenHoles << "";
        QTest::newRow("Build All") << "cBuild"
                                   << "tTo"
                                   << "100" << survey << "";
        QTest::newRow("File > Build All") << "mnuBuildAll"
                                          << "tTo"
                                          << "100" << survey << "";
        QTest::newRow("empty survey") << "cBuild"
                                      << "tFrom"
                                      << "100" << QByteArray() << "";
        QTest::newRow("This 1") << "cThis"
                                << "tThis"
                                << "1" << QByteArray() << "This must be a number greater then 1";
        QTest::newRow("This blank") << "mnuBuildThis"
                                    << "tThis"
                                    << "" << QByteArray() << "This must be a number greater then 1";
        QTest::newRow("From 0") << "cBuild"
                                << "tFrom"
                                << "0" << QByteArray() << "From must be a number greater then 0";
        QTest::newRow("To 1") << "mnuBuildAll"
                              << "tTo"
                              << "1" << QByteArray() << "To must be a number greater then 1";
        QTest::newRow("To below From") << "cBuild"
                                       << "tFrom"
                                       << "200" << QByteArray() << "To must be greater then From";
    }

    void shouldShowTheTableOrTheMessage() {
        QFETCH(QString, command);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QByteArray, table);
        QFETCH(QString, message);
        output()->setText("old text\r\n");
        putOnClipboard("kept");
        window->findChild<QLineEdit*>(box)->setText(text);
        MessageBoxAnswerer answerer;
        choose(window, command);
        const QByteArray shown = shownIn(output());
        if (table == "survey") {
            // The twenty counts from 2 to 100 that divide 360, the last 90.
            QVERIFY(
                shown.startsWith("---------------   2 Holes   ---------------\r\n"
                                 "0, 180\r\n\r\n\r\n---------------   3 Holes"));
            QVERIFY(shown.endsWith("348, 352, 356\r\n\r\n\r\n"));
            QCOMPARE(shown.count(" Holes "), 20);
        } else {
            QCOMPARE(shown, table);
        }
        QCOMPARE(output()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0L);
        QCOMPARE(output()->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 0L);
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"),
                 message.isEmpty() ? shown : QByteArray("kept"));
        QCOMPARE(answerer.seen.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(answerer.seen[0].text, message);
            QCOMPARE(answerer.seen[0].title, QStringLiteral("Morvanta"));
            QCOMPARE(answerer.seen[0].icon, QMessageBox::NoIcon);
            QCOMPARE(answerer.seen[0].buttons, 1);
        }
    }

    void shouldCopyEditedAndEmptyTextAsUtf8() {
        child<QPushButton>("cThis")->click();
        output()->setFocus();
        QTest::keyClicks(output()->viewport(), QStringLiteral("90\u00B0"));
        QTest::keyClick(output()->viewport(), Qt::Key_Return);
        MessageBoxAnswerer answerer;
        child<QAction>("mnuCopy")->trigger();
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"),
                 "90\xC2\xB0\r\n" + kSevenHoles);
        output()->clear();
        child<QAction>("mnuCopy")->trigger();
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray());
        QCOMPARE(answerer.seen.size(), 2);
        QCOMPARE(answerer.seen[1].text, QStringLiteral("Copied to clipboard"));
    }

    void shouldMoveFocusInTabOrderAndStartNothingOnEnterInABox() {
        QTRY_COMPARE(focusName(), QStringLiteral("tFrom"));
        QStringList visited;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusName();
            if (qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
            }
        }
        QCOMPARE(visited, QStringList({"tOutput", "cBuild", "cThis", "tThis", "tTo", "tFrom"}));
        QVERIFY(output()->bytes().empty());
    }

    // Every character of a line can be seen: either the line fits or it wraps.
    void shouldShowEveryCharacterOfEveryLine() {
        for (int length = 40; length <= 80; ++length) {
            output()->setText("short\r\n" + std::string(length, 'x') + "\r\n");
            QVERIFY2(lineEndVisible(1), qPrintable(QStringLiteral("%1 characters").arg(length)));
        }
        output()->clear();
        output()->setFocus();
        for (int length = 1; length <= 80; ++length) {
            QTest::keyClick(output()->viewport(), Qt::Key_Y);
            QVERIFY2(lineEndVisible(0), qPrintable(QStringLiteral("%1 typed").arg(length)));
        }
    }

    void shouldKeepTheVerticalBarAndNeverAHorizontalOne() {
        const int width = output()->viewport()->width();
        MessageBoxAnswerer answerer;
        for (const char* step : {"", "cBuild", "cThis", "long line", "refused"}) {
            if (qstrcmp(step, "long line") == 0) {
                output()->setText(std::string(300, 'x'));
            } else if (qstrcmp(step, "refused") == 0) {
                child<QLineEdit>("tThis")->setText(QStringLiteral("1"));
                child<QPushButton>("cThis")->click();
            } else if (*step != '\0') {
                choose(window, QString::fromLatin1(step));
            }
            QVERIFY2(output()->verticalScrollBar()->isVisible(), step);
            QVERIFY2(!output()->horizontalScrollBar()->isVisible(), step);
            QVERIFY2(output()->viewport()->width() == width, step);
        }
    }

    // Wrapping lays out every line in full, so past a size the box shows the text unwrapped:
    // 50 MB took over a minute to wrap as one line.
    void shouldWrapOnlyWhatCanBeWrappedQuickly_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("wrapped");
        QTest::newRow("1,000 characters in one line") << 1 << 1000 << true;
        QTest::newRow("2 MB in one line") << 1 << 2'000'000 << false;
        QTest::newRow("50 MB in 100,000 lines") << 100'000 << 500 << false;
    }

    void shouldWrapOnlyWhatCanBeWrappedQuickly() {
        QFETCH(int, lines);
        QFETCH(int, length);
        QFETCH(bool, wrapped);
        std::string text;
        for (int line = 0; line < lines; ++line) {
            text.append(static_cast<std::size_t>(length), 'z').append("\r\n");
        }
        QElapsedTimer clock;
        clock.start();
        output()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT,
                                static_cast<unsigned long>(text.size()), text.c_str());
        output()->viewport()->repaint();
        QCOMPARE(output()->isWrapping(), wrapped);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
    }

    void shouldShowASmallTableAtOnce() {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer clock;
            clock.start();
            child<QPushButton>("cThis")->click();
            fastest = std::min(fastest, clock.elapsed());
            QCOMPARE(shownIn(output()), kSevenHoles);
        }
        QVERIFY2(fastest < 250, qPrintable(QStringLiteral("%1 ms").arg(fastest)));
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
        child<QLineEdit>("tThis")->setText(QStringLiteral("10000000"));
        QElapsedTimer sinceCancel;
        // Past the engine's fifth of the bar, the table is being loaded into the box.
        ProgressWatch watch(window, 300, [&](QProgressDialog* progress) {
            sinceCancel.start();
            for (const QString& step : how.split(QLatin1Char(','))) {
                if (step == u"cancel") {
                    progress->findChild<QPushButton*>()->click();
                } else if (step == u"esc") {
                    QTest::keyClick(progress, Qt::Key_Escape);
                } else if (step == u"close") {
                    testing::pressCloseBox(window);
                } else {
                    child<QLineEdit>("tThis")->setText(QStringLiteral("7"));
                    child<QAction>("mnuBuildThis")->trigger();
                }
            }
        });
        MessageBoxAnswerer answerer;
        OutputBox* box = output();
        child<QPushButton>("cThis")->click();
        QVERIFY(watch.acted);
        QVERIFY2(sinceCancel.elapsed() < 1000,
                 qPrintable(QStringLiteral("%1 ms").arg(sinceCancel.elapsed())));
        QVERIFY(box->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray("kept"));
        QVERIFY(answerer.seen.isEmpty());
        if (closes) {
            QTRY_VERIFY(window.isNull() || !window->isVisible());
        } else {
            QTest::qWait(100);
            QVERIFY(window->isVisible());
        }
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
        QTest::addColumn<int>("megabytes");
        QTest::newRow("Edit > Copy of 32 MB") << "copy" << 16;
        QTest::newRow("another program reads 32 MB") << "read" << 16;
        for (int megabytes : {2, 12, 20, 28, 36, 44, 60}) {
            QTest::addRow("Build This, %d MB to spare", megabytes) << "build" << megabytes;
        }
    }

    void shouldNeverAbortShortOfMemory() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves the address space that this test caps");
#endif
        QFETCH(QString, scenario);
        QFETCH(int, megabytes);
        const auto seen = runInChild(scenario, megabytes * kMegabyte);
        QCOMPARE(seen.value(QStringLiteral("exit")), QByteArray("0"));
        const QByteArray box = seen.value(QStringLiteral("box"));
        const QByteArray messages = seen.value(QStringLiteral("messages"));
        if (scenario == u"copy") {
            QCOMPARE(messages, QByteArray("Not enough memory to copy the text"));
        } else if (megabytes == 2) {
            QCOMPARE(box, kSevenHoles);
        }
        if (messages.startsWith("Not enough memory")) {
            QCOMPARE(seen.value(QStringLiteral("clipboard")), QByteArray("kept"));
            QVERIFY(scenario == u"copy" || box.isEmpty());
        } else {
            QVERIFY(!box.isEmpty());
            QVERIFY(seen.value(QStringLiteral("clipboard")) == box);
        }
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--scenario") == 0) {
        return runScenario(QString::fromLatin1(argv[2]), QByteArray(argv[3]).toLongLong());
    }
    frmMainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frmMainTest.moc"
