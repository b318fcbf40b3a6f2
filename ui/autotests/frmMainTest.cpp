// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
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

// Calls `act` once the build's progress window shows at least `atLeast` of 1000 steps.
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

// Short of memory, in a child process of this test: the address space is capped a little above
// what the process already uses, so that the next large allocation fails.
long long addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    statm >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

void capAddressSpace(long long headroom) {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = static_cast<rlim_t>(addressSpaceInUse() + headroom);
    setrlimit(RLIMIT_AS, &limit);
}

void uncapAddressSpace() {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_AS, &limit);
}

void report(const char* key, const QByteArray& value) {
    std::printf("%s=%s\n", key, value.toBase64().constData());
    std::fflush(stdout);
}

constexpr long long kMegabyte = 1 << 20;

// The scenarios, each ending in a report of what the user would see; a crash ends it early.
int runScenario(const QString& scenario, long long headroom) {
    auto* window = new frmMain;
    desktop::show(window);
    if (!QTest::qWaitForWindowExposed(window)) {
        return 2;
    }
    auto* output = window->findChild<OutputBox*>(QStringLiteral("tOutput"));
    MessageBoxAnswerer answerer;
    putOnClipboard("kept");
    std::string big;
    if (scenario != QLatin1String("build")) {
        for (int line = 0; big.size() < 32 * kMegabyte; ++line) {
            big += std::to_string(line) + "\r\n";
        }
        output->setText(big);
    }
    if (scenario == QLatin1String("read")) {
        window->findChild<QAction*>(QStringLiteral("mnuCopy"))->trigger();
    } else if (scenario == QLatin1String("build")) {
        window->findChild<QLineEdit*>(QStringLiteral("tThis"))
            ->setText(headroom < 8 * kMegabyte ? QStringLiteral("7") : QStringLiteral("1000000"));
    }
    capAddressSpace(headroom);
    if (scenario == QLatin1String("copy")) {
        window->findChild<QAction*>(QStringLiteral("mnuCopy"))->trigger();
    } else if (scenario == QLatin1String("build")) {
        window->findChild<QPushButton*>(QStringLiteral("cThis"))->click();
    }
    const std::optional<QByteArray> clipboard = clipboardSeenByAnotherProgram(uncapAddressSpace);
    QStringList messages;
    for (const auto& seen : answerer.seen) {
        messages << seen.text;
    }
    report("messages", messages.join(QLatin1Char('|')).toUtf8());
    report("box", shownIn(output));
    report("clipboard", clipboard.value_or("(nothing)"));
    report("alive", "yes");
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
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no control %s", name);
        }
        return found;
    }
    OutputBox* output() { return child<OutputBox>("tOutput"); }
    QString focusName() {
        for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))) {
                return w->objectName();
            }
        }
        return {};
    }
    // Where the end of line `line` lies, against the right edge of the text area.
    bool lineEndVisible(long line) {
        output()->viewport()->repaint();
        const long end = output()->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                 static_cast<unsigned long>(line));
        const long x = output()->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, end);
        const long right = output()->viewport()->width() -
                           output()->SendScintilla(QsciScintillaBase::SCI_GETMARGINRIGHT);
        return x <= right;
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

    void shouldStartInFromAndTakeLongInput() {
        QTRY_COMPARE(focusName(), QStringLiteral("tFrom"));
        const QString longText(40000, QLatin1Char('9'));
        child<QLineEdit>("tThis")->setText(longText);
        QCOMPARE(child<QLineEdit>("tThis")->text(), longText);
    }

    void shouldOfferTheMenusInOrderWithPrintDisabled() {
        QStringList menus;
        for (QAction* top : window->menuBar()->actions()) {
            QStringList items;
            for (QAction* item : top->menu()->actions()) {
                items << (item->isSeparator() ? QStringLiteral("-") : item->text());
            }
            menus << top->text() + QLatin1Char(':') + items.join(QLatin1Char(','));
        }
        QCOMPARE(menus,
                 QStringList({QStringLiteral("File:Build All,Build This,-,Print,-,Exit"),
                              QStringLiteral("Edit:Copy"), QStringLiteral("Help:Help,About")}));
        QVERIFY(!child<QAction>("mnuPrint")->isEnabled());
    }

    void shouldFillBoxAndClipboardIdentically_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("Build This button") << QStringLiteral("cThis");
        QTest::newRow("File > Build This") << QStringLiteral("mnuBuildThis");
        QTest::newRow("Build All button") << QStringLiteral("cBuild");
        QTest::newRow("File > Build All") << QStringLiteral("mnuBuildAll");
    }

    void shouldFillBoxAndClipboardIdentically() {
        QFETCH(QString, command);
        output()->setText("old text\r\nold text\r\n");
        choose(window, command);
        const QByteArray shown = shownIn(output());
        if (command.endsWith(QLatin1String("This"))) {
            QCOMPARE(shown, kSevenHoles);
        } else {
            // The twenty counts from 2 to 100 that divide 360, each a block of four lines.
            QVERIFY(
                shown.startsWith("---------------   2 Holes   ---------------\r\n"
                                 "0, 180\r\n\r\n\r\n---------------   3 Holes"));
            QVERIFY(shown.endsWith("348, 352, 356\r\n\r\n\r\n"));
            QCOMPARE(shown.count(" Holes "), 20);
            QVERIFY(shown.contains("---------------   90 Holes   ---------------\r\n0, 4, 8, "));
        }
        QCOMPARE(output()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0L);
        QCOMPARE(output()->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 0L);
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), shown);
    }

    void shouldKeepClipboardWhenBuildFails_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("This 1") << "tThis"
                                << "1"
                                << "cThis"
                                << "This must be a number greater then 1";
        QTest::newRow("This blank") << "tThis"
                                    << ""
                                    << "mnuBuildThis"
                                    << "This must be a number greater then 1";
        QTest::newRow("From 0") << "tFrom"
                                << "0"
                                << "cBuild"
                                << "From must be a number greater then 0";
        QTest::newRow("To 1") << "tTo"
                              << "1"
                              << "mnuBuildAll"
                              << "To must be a number greater then 1";
        QTest::newRow("To below From") << "tFrom"
                                       << "200"
                                       << "cBuild"
                                       << "To must be greater then From";
    }

    void shouldKeepClipboardWhenBuildFails() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(QString, message);
        child<QPushButton>("cThis")->click();
        putOnClipboard("kept\r\n");
        window->findChild<QLineEdit*>(box)->setText(text);
        MessageBoxAnswerer answerer;
        choose(window, command);
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, message);
        QCOMPARE(answerer.seen[0].title, QStringLiteral("Morvanta"));
        QCOMPARE(answerer.seen[0].icon, QMessageBox::NoIcon);
        QCOMPARE(answerer.seen[0].buttons, 1);
        QVERIFY(output()->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray("kept\r\n"));
    }

    void shouldLeaveEmptyTextOnClipboardForAnEmptySurvey() {
        putOnClipboard("kept");
        child<QLineEdit>("tFrom")->setText(QStringLiteral("7"));
        child<QLineEdit>("tTo")->setText(QStringLiteral("7"));
        MessageBoxAnswerer answerer;
        child<QPushButton>("cBuild")->click();
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(output()->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray());
    }

    void shouldCopyEditedAndEmptyTextAsUtf8() {
        child<QPushButton>("cThis")->click();
        output()->setFocus();
        QTest::keyClicks(output()->viewport(), QStringLiteral("90\u00B0"));
        QTest::keyClick(output()->viewport(), Qt::Key_Return);
        putOnClipboard("old");
        MessageBoxAnswerer answerer;
        child<QAction>("mnuCopy")->trigger();
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"),
                 "90\xC2\xB0\r\n" + kSevenHoles);

        output()->clear();
        child<QAction>("mnuCopy")->trigger();
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray());
        QCOMPARE(answerer.seen.size(), 2);
        for (const auto& seen : answerer.seen) {
            QCOMPARE(seen.text, QStringLiteral("Copied to clipboard"));
        }
    }

    void shouldMoveFocusInTabOrderWithoutTypingTabs() {
        QTRY_COMPARE(focusName(), QStringLiteral("tFrom"));
        QStringList visited;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusName();
        }
        QCOMPARE(visited, QStringList({"tOutput", "cBuild", "cThis", "tThis", "tTo", "tFrom"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focusName(), QStringLiteral("tTo"));
        QVERIFY(output()->bytes().empty());
    }

    void shouldPressFocusedButtonOnEnterOnly_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("built");
        QTest::newRow("Return in From") << "tFrom" << int(Qt::Key_Return) << QByteArray();
        QTest::newRow("Enter in To") << "tTo" << int(Qt::Key_Enter) << QByteArray();
        QTest::newRow("Return in This") << "tThis" << int(Qt::Key_Return) << QByteArray();
        QTest::newRow("Return on Build This") << "cThis" << int(Qt::Key_Return) << kSevenHoles;
        QTest::newRow("keypad Enter on Build This") << "cThis" << int(Qt::Key_Enter) << kSevenHoles;
        QTest::newRow("Return on Build All")
            << "cBuild" << int(Qt::Key_Return) << QByteArray("---------------   2 Holes");
    }

    void shouldPressFocusedButtonOnEnterOnly() {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(QByteArray, built);
        QWidget* target = window->findChild<QWidget*>(control);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(shownIn(output()).left(built.size()), built);
        QCOMPARE(focusName(), control);
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
        const auto check = [&](const char* after) {
            QVERIFY2(output()->verticalScrollBar()->isVisible(), after);
            QVERIFY2(!output()->horizontalScrollBar()->isVisible(), after);
            QVERIFY2(output()->viewport()->width() == width, after);
        };
        check("start");
        child<QPushButton>("cBuild")->click();
        check("Build All");
        child<QPushButton>("cThis")->click();
        check("Build All, then Build This");
        output()->setText(std::string(300, 'x'));
        check("a long line");
        MessageBoxAnswerer answerer;
        child<QLineEdit>("tThis")->setText(QStringLiteral("1"));
        child<QPushButton>("cThis")->click();
        check("a refused build");
    }

    // Wrapping lays out every line in full, so past a size the box shows the text unwrapped:
    // 50 MB took over a minute to wrap as one line, seconds as 100,000 lines.
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
        output()->setFocus();
        QElapsedTimer clock;
        clock.start();
        output()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT,
                                static_cast<unsigned long>(text.size()), text.c_str());
        output()->viewport()->repaint();
        QCoreApplication::processEvents();
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

    void shouldEmptyTheBoxSoonAfterCancel() {
        putOnClipboard("kept");
        child<QLineEdit>("tThis")->setText(QStringLiteral("10000000"));
        QElapsedTimer sinceCancel;
        // Past the engine's fifth of the bar: the table is being loaded into the box.
        ProgressWatch watch(window, 300, [&](QProgressDialog* progress) {
            sinceCancel.start();
            progress->findChild<QPushButton*>()->click();
        });
        MessageBoxAnswerer answerer;
        child<QPushButton>("cThis")->click();
        QVERIFY2(watch.acted, "no progress window appeared");
        QVERIFY2(sinceCancel.elapsed() < 1000,
                 qPrintable(QStringLiteral("%1 ms").arg(sinceCancel.elapsed())));
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(output()->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray("kept"));
    }

    // The build waits with the window's handlers on the stack: nothing may take the window away
    // or start another build meanwhile, and a close is carried out once the build has returned.
    void shouldCloseOnlyOnceTheBuildHasReturned_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("close box while the progress shows") << "close" << true;
        QTest::newRow("Cancel, then the close box at once") << "cancel,close" << true;
        QTest::newRow("Esc, then the close box at once") << "esc,close" << true;
        QTest::newRow("a second build asked for") << "build,cancel" << false;
    }

    void shouldCloseOnlyOnceTheBuildHasReturned() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        putOnClipboard("kept");
        child<QLineEdit>("tThis")->setText(QStringLiteral("10000000"));
        ProgressWatch watch(window, 0, [&](QProgressDialog* progress) {
            for (const QString& step : how.split(QLatin1Char(','))) {
                if (step == QLatin1String("cancel")) {
                    progress->findChild<QPushButton*>()->click();
                } else if (step == QLatin1String("esc")) {
                    QTest::keyClick(progress, Qt::Key_Escape);
                } else if (step == QLatin1String("close")) {
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
        QVERIFY(!window.isNull());
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

    void shouldReportADocumentThatCannotTakeTheTable() {
        BackgroundBuild job([](const BuildProgress&) { return BuildResult::success("0\r\n"); },
                            DocumentLoader());
        QVERIFY(job.waitFor(std::chrono::seconds(10)));
        QCOMPARE(job.kind(), BuildResult::Kind::Message);
        QCOMPARE(job.message(), std::string("Not enough memory to build this table"));
    }

    void shouldKeepTheClipboardWhenCopyRunsShortOfMemory() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves the address space that this test caps");
#endif
        const auto seen = runInChild(QStringLiteral("copy"), 16 * kMegabyte);
        QCOMPARE(seen.value(QStringLiteral("exit")), QByteArray("0"));
        QCOMPARE(seen.value(QStringLiteral("messages")),
                 QByteArray("Not enough memory to copy the text"));
        QCOMPARE(seen.value(QStringLiteral("clipboard")), QByteArray("kept"));
    }

    void shouldServeTheClipboardShortOfMemory() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves the address space that this test caps");
#endif
        const auto seen = runInChild(QStringLiteral("read"), 16 * kMegabyte);
        QCOMPARE(seen.value(QStringLiteral("exit")), QByteArray("0"));
        QCOMPARE(seen.value(QStringLiteral("messages")), QByteArray("Copied to clipboard"));
        QVERIFY(seen.value(QStringLiteral("box")).size() > 32 * kMegabyte);
        QVERIFY(seen.value(QStringLiteral("clipboard")) == seen.value(QStringLiteral("box")));
    }

    // Too little memory for a thread's stack, or for the table, or for its copy on the clipboard:
    // the build shows the whole table with the clipboard holding it, or says memory ran short
    // with the box empty and the clipboard as it was.
    void shouldNeverAbortShortOfMemory_data() {
        QTest::addColumn<int>("megabytes");
        for (int megabytes : {2, 12, 20, 28, 36, 44, 60}) {
            QTest::addRow("%d MB to spare", megabytes) << megabytes;
        }
    }

    void shouldNeverAbortShortOfMemory() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer reserves the address space that this test caps");
#endif
        QFETCH(int, megabytes);
        const auto seen = runInChild(QStringLiteral("build"), megabytes * kMegabyte);
        QCOMPARE(seen.value(QStringLiteral("exit")), QByteArray("0"));
        const QByteArray box = seen.value(QStringLiteral("box"));
        if (megabytes == 2) {
            QCOMPARE(box, kSevenHoles);
        }
        if (box.isEmpty()) {
            QCOMPARE(seen.value(QStringLiteral("messages")),
                     QByteArray("Not enough memory to build this table"));
            QCOMPARE(seen.value(QStringLiteral("clipboard")), QByteArray("kept"));
        } else {
            QVERIFY(box.startsWith("---------------   "));
            QVERIFY(box.endsWith("\r\n\r\n"));
            QCOMPARE(seen.value(QStringLiteral("messages")), QByteArray());
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
