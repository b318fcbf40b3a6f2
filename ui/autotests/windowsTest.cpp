// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDesktopServices>
#include <QUrl>

#include <cstdio>

#include "ui/DesktopServices.h"
#include "ui/autotests/UiTestSupport.h"
#include "ui/frmMain.h"

using namespace morvanta;
using namespace morvanta::testing;

namespace {

// Stands in for the desktop's browser.
class AddressCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

// The outer frame as the X server has it: the outermost window below the root.
QRect outerFrame(QWidget* window) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    auto id = static_cast<xcb_window_t>(window->winId());
    for (bool top = false; !top;) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr);
        top = tree == nullptr || tree->parent == tree->root;
        id = top ? id : tree->parent;
        std::free(tree);
    }
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(x, xcb_get_geometry(x, id), nullptr);
    const QRect frame = g != nullptr ? QRect(g->x, g->y, g->width, g->height) : QRect();
    std::free(g);
    xcb_disconnect(x);
    return frame;
}

// Empty when the outer frame is centred on the 1024 x 768 screen within a pixel.
QString offCentre(QWidget* window) {
    const QRect f = outerFrame(window);
    QString where;
    if (qAbs(2 * f.x() + f.width() - 1024) > 2 || qAbs(2 * f.y() + f.height() - 768) > 2) {
        QDebug(&where) << window->objectName() << f;
    }
    return where;
}

// In a child: the windows closed in that order (main by File > Exit, Help by OK,
// About by its close box); how many were closed when the event loop ended.
int runLifetimeScenario(const QStringList& words) {
    const QString order = words.value(0);
    auto* main = new frmMain;
    desktop::show(main);
    choose(main, "mnuHelp");
    choose(main, "mnuAbout");
    int closed = 0;
    for (int i = 0; i < order.size(); ++i) {
        QTimer::singleShot(50 * (i + 1), [main, which = order[i], &closed] {
            ++closed;
            if (which == 'm') {
                choose(main, "mnuExit");
            } else if (which == 'h') {
                choose(shownWindow("frmHelp"), "cOK");
            } else {
                shownWindow("frmAbout")->close();
            }
        });
    }
    QTimer::singleShot(10000, [] { QCoreApplication::exit(3); });
    const int status = QApplication::exec();
    std::printf("closed %d exit %d\n", closed, status);
    std::fflush(stdout);
    return 0;
}

}  // namespace

class windowsTest : public QObject {
    Q_OBJECT

private:
    frmMain* main = nullptr;

private slots:
    void init() {
        main = new frmMain;
        desktop::show(main);
    }

    void cleanup() {
        for (const char* name : {"frmMain", "frmHelp", "frmAbout"}) {
            qDeleteAll(shownWindows(name));
        }
    }

    // Asked for again, the one window comes back as it was; Enter on its focused Ok closes it.
    // Go To Website opens the address and nothing else.
    void shouldKeepOneWindowOfEachKind_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Help") << QString("frmHelp");
        QTest::newRow("About") << QString("frmAbout");
    }

    void shouldKeepOneWindowOfEachKind() {
        QFETCH(QString, name);
        const bool help = name == "frmHelp";
        const QString item = help ? "mnuHelp" : "mnuAbout";
        choose(main, item);
        QWidget* first = shownWindow(name);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        first->move(10, 10);
        first->showMinimized();
        QTRY_VERIFY(first->isMinimized());
        choose(main, item);
        QTRY_VERIFY(!first->isMinimized());
        QCOMPARE(shownWindows(name), QWidgetList{first});
        QCOMPARE(first->pos(), QPoint(10, 10));
        MessageBoxAnswerer answerer;
        if (!help) {
            AddressCatcher browser;
            QDesktopServices::setUrlHandler("https", &browser, "open");
            choose(first, "cGoTo");
            QDesktopServices::unsetUrlHandler("https");
            QCOMPARE(browser.opened, QList{QUrl("https://www.example.com/morvanta")});
        }
        // Time for a message that should not come.
        QTest::qWait(100);
        QVERIFY(answerer.seen.isEmpty() && first->isVisible());
        auto* ok = first->findChild<QPushButton*>("cOK");
        QTRY_COMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, help ? Qt::Key_Return : Qt::Key_Enter,
                        help ? Qt::NoModifier : Qt::KeypadModifier);
        QTRY_VERIFY(shownWindows(name).isEmpty());
    }

    void shouldEndProgramOnlyWhenLastWindowCloses_data() {
        QTest::addColumn<QString>("order");
        QTest::newRow("main last") << QString("ham");
        QTest::newRow("Help last") << QString("mah");
        QTest::newRow("About last, main first closed last but one") << QString("hma");
    }

    void shouldEndProgramOnlyWhenLastWindowCloses() {
        QFETCH(QString, order);
        QCOMPARE(runChild({"--lifetime", order}), "closed 3 exit 0\nstatus 0");
    }

    // Under a window manager, the outer frame is centred. Last, as it starts the window manager.
    void shouldCentreTheFrameUnderAWindowManager() {
        cleanup();
        QProcess openbox;
        openbox.start("openbox", {});
        QVERIFY2(openbox.waitForStarted(), "openbox is not installed");
        // Openbox names itself on the root before it is ready to map windows.
        QTRY_VERIFY(
            QProcess::execute(
                "sh", {"-c", "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"}) == 0);
        QTest::qWait(1000);
        init();
        choose(main, "mnuHelp");
        choose(main, "mnuAbout");
        for (const char* name : {"frmMain", "frmHelp", "frmAbout"}) {
            QWidget* shown = shownWindow(name);
            QVERIFY2(QTest::qWaitForWindowExposed(shown), name);
            QTRY_VERIFY(outerFrame(shown).height() > shown->height());
            QTRY_COMPARE(offCentre(shown), QString());
        }
        openbox.terminate();
        openbox.waitForFinished();
    }
};

MORVANTA_WINDOW_TEST_WITH_CHILD(windowsTest, "--lifetime", runLifetimeScenario)
#include "windowsTest.moc"
