// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDesktopServices>
#include <QMenu>
#include <QTest>
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

// The window's outer frame as the X server has it: the outermost window below the root, which is
// a window manager's frame where one runs.
QRect outerFrame(QWidget* window) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    auto id = static_cast<xcb_window_t>(window->winId());
    for (bool top = false; !top;) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr);
        top = tree == nullptr || tree->parent == tree->root;
        id = top ? id : tree->parent;
        std::free(tree);
    }
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(x, xcb_get_geometry(x, id), nullptr);
    QRect frame;
    if (geometry != nullptr) {
        const int border = 2 * geometry->border_width;
        frame =
            QRect(geometry->x, geometry->y, geometry->width + border, geometry->height + border);
    }
    std::free(geometry);
    xcb_disconnect(x);
    return frame;
}

bool windowManagerRuns() {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    xprop.waitForFinished();
    return xprop.readAllStandardOutput().contains("window id");
}

// Empty when the outer frame lies within a pixel of the rule on the 1024 x 768 screen, top
// (768 - height) / 2 and left (1024 - width) / 2; else where it lies.
QString offCentre(QWidget* window) {
    const QRect f = outerFrame(window);
    if (qAbs(2 * f.x() + f.width() - 1024) <= 2 && qAbs(2 * f.y() + f.height() - 768) <= 2) {
        return {};
    }
    return QStringLiteral("%1 at %2,%3 %4x%5")
        .arg(window->objectName())
        .arg(f.x())
        .arg(f.y())
        .arg(f.width())
        .arg(f.height());
}

// The whole program in a child process, run to its end: shows the three windows, then closes them
// one by one in the given order (main by File > Exit, Help by OK, About by its close box), and
// reports how many were closed when the event loop ended.
int runLifetimeScenario(const QString& order) {
    auto* main = new frmMain;
    desktop::show(main);
    choose(main, QStringLiteral("mnuHelp"));
    choose(main, QStringLiteral("mnuAbout"));
    int closed = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (closed == order.size()) {
            return;
        }
        const QChar which = order.at(closed++);
        if (which == u'm') {
            // File > Exit chosen with the keys, the window going from under its own menu.
            auto* file = main->findChild<QMenu*>(QStringLiteral("mnuFile"));
            file->popup(QPoint(0, 0));
            QTest::keyClick(file, Qt::Key_Up);
            QTest::keyClick(file, Qt::Key_Return);
        } else if (which == u'h') {
            choose(shownWindow(QStringLiteral("frmHelp")), QStringLiteral("cOK"));
        } else {
            shownWindow(QStringLiteral("frmAbout"))->close();
        }
    });
    closer.start(200);
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
            qDeleteAll(shownWindows(QString::fromLatin1(name)));
        }
    }

    // One window of each kind: asked for again it comes back as it was, also from the task bar;
    // Enter on its focused Ok closes it, and the next one is made anew and centred. Go To Website
    // opens the address and nothing else.
    void shouldKeepOneWindowOfEachKind_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::newRow("Help") << "mnuHelp" << QStringLiteral("frmHelp") << int(Qt::Key_Return);
        QTest::newRow("About") << "mnuAbout" << QStringLiteral("frmAbout") << int(Qt::Key_Enter);
    }

    void shouldKeepOneWindowOfEachKind() {
        QFETCH(QString, item);
        QFETCH(QString, name);
        QFETCH(int, key);
        choose(main, item);
        QWidget* first = shownWindow(name);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        QCOMPARE(offCentre(first), QString());
        first->move(10, 10);
        first->showMinimized();
        QTRY_VERIFY(first->isMinimized());
        choose(main, item);
        QTRY_VERIFY(!first->isMinimized());
        QCOMPARE(shownWindows(name), QWidgetList{first});
        QCOMPARE(first->pos(), QPoint(10, 10));
        MessageBoxAnswerer answerer;
        if (name == u"frmAbout") {
            AddressCatcher browser;
            QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
            choose(first, QStringLiteral("cGoTo"));
            QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
            QCOMPARE(browser.opened,
                     QList{QUrl(QStringLiteral("https://www.example.com/morvanta"))});
        }
        QTest::qWait(100);
        QVERIFY(answerer.seen.isEmpty() && first->isVisible());
        auto* ok = first->findChild<QPushButton*>(QStringLiteral("cOK"));
        QTRY_COMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QTRY_VERIFY(shownWindows(name).isEmpty());
        choose(main, item);
        QVERIFY(QTest::qWaitForWindowExposed(shownWindow(name)));
        QCOMPARE(offCentre(shownWindow(name)), QString());
    }

    void shouldEndProgramOnlyWhenLastWindowCloses_data() {
        QTest::addColumn<QString>("order");
        QTest::newRow("main last") << QStringLiteral("ham");
        QTest::newRow("Help last") << QStringLiteral("mah");
        QTest::newRow("About last") << QStringLiteral("mha");
        QTest::newRow("About last, main first closed last but one") << QStringLiteral("hma");
    }

    void shouldEndProgramOnlyWhenLastWindowCloses() {
        QFETCH(QString, order);
        QCOMPARE(runChild({QStringLiteral("--lifetime"), order}), "closed 3 exit 0\nstatus 0");
    }

    // The outer frame, as the X server has it, lands in the middle of the screen, with and without
    // a window manager that adds a title bar. Last, as it starts a window manager.
    void shouldCentreTheFrameOnTheScreen_data() {
        QTest::addColumn<QString>("manager");
        QTest::newRow("no window manager") << QString();
        QTest::newRow("openbox") << QStringLiteral("openbox");
    }

    void shouldCentreTheFrameOnTheScreen() {
        QFETCH(QString, manager);
        cleanup();
        QProcess windowManager;
        if (!manager.isEmpty()) {
            windowManager.start(manager, {});
            QVERIFY2(windowManager.waitForStarted(), "openbox is not installed");
            // Openbox names itself on the root window before it has finished starting, and a
            // window mapped meanwhile can be left unmapped.
            QTRY_VERIFY(windowManagerRuns());
            QTest::qWait(1000);
        }
        init();
        choose(main, QStringLiteral("mnuHelp"));
        choose(main, QStringLiteral("mnuAbout"));
        for (const char* name : {"frmMain", "frmHelp", "frmAbout"}) {
            QWidget* shown = shownWindow(QString::fromLatin1(name));
            QVERIFY2(QTest::qWaitForWindowExposed(shown), name);
            if (!manager.isEmpty()) {
                QTRY_VERIFY(outerFrame(shown).height() > shown->height());
            }
            QTest::qWait(200);
            QCOMPARE(offCentre(shown), QString());
        }
        windowManager.terminate();
        windowManager.waitForFinished();
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--lifetime") == 0) {
        return runLifetimeScenario(QString::fromLatin1(argv[2]));
    }
    windowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "windowsTest.moc"
