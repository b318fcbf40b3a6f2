// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <xcb/xcb.h>

#include <cstdio>

#include "ui/DesktopServices.h"
#include "ui/autotests/UiTestSupport.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"

using namespace morvanta;
using testing::topLevel;
using testing::visibleTopLevels;

namespace {

// Stands in for the desktop's browser.
class AddressCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

// The window as the X server holds it: the outermost window below the root, which a window
// manager's frame is, and its place on the screen.
QRect outerFrame(QWidget* window) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    auto id = static_cast<xcb_window_t>(window->winId());
    for (;;) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr);
        const bool top = tree == nullptr || tree->parent == tree->root;
        const xcb_window_t parent = tree != nullptr ? tree->parent : id;
        std::free(tree);
        if (top) {
            break;
        }
        id = parent;
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

bool isCentred(const QWidget* window) {
    const QPoint screen = QGuiApplication::primaryScreen()->geometry().center();
    const QPoint centre = window->frameGeometry().center();
    return qAbs(centre.x() - screen.x()) <= 1 && qAbs(centre.y() - screen.y()) <= 1;
}

// The whole program in a child process, run to its end: shows the three windows, then closes them
// one by one in the given order (main by File > Exit, Help by OK, About by its close box), and
// reports how many were closed when the event loop ended.
int runLifetimeScenario(const QString& order) {
    auto* main = new frmMain;
    desktop::show(main);
    main->findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
    main->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    int closed = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (closed == order.size()) {
            return;
        }
        const QChar which = order.at(closed++);
        if (which == QLatin1Char('m')) {
            // File > Exit chosen with the keys, the window going from under its own menu.
            auto* file = topLevel<frmMain>(QStringLiteral("frmMain"))
                             ->findChild<QMenu*>(QStringLiteral("mnuFile"));
            file->popup(QPoint(0, 0));
            QTest::keyClick(file, Qt::Key_Up);
            QTest::keyClick(file, Qt::Key_Return);
        } else if (which == QLatin1Char('h')) {
            topLevel<QWidget>(QStringLiteral("frmHelp"))
                ->findChild<QPushButton*>(QStringLiteral("cOK"))
                ->click();
        } else {
            topLevel<QWidget>(QStringLiteral("frmAbout"))->close();
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

    void choose(const QString& item) {
        main->findChild<QAction*>(item)->trigger();
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        main = new frmMain;
        desktop::show(main);
    }

    void cleanup() {
        QList<QWidget*> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmHelp*>(w) || qobject_cast<frmAbout*>(w) ||
                qobject_cast<frmMain*>(w)) {
                windows << w;
            }
        }
        qDeleteAll(windows);
    }

    // One window of each kind: asked for again it comes back as it was, also from the task bar;
    // after OK the next one is made anew and centred.
    void shouldKeepOneWindowOfEachKind_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("name");
        QTest::newRow("Help") << "mnuHelp"
                              << "frmHelp";
        QTest::newRow("About") << "mnuAbout"
                               << "frmAbout";
    }

    void shouldKeepOneWindowOfEachKind() {
        QFETCH(QString, item);
        QFETCH(QString, name);
        choose(item);
        QWidget* first = topLevel<QWidget>(name);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        QVERIFY(isCentred(first));
        first->move(10, 10);
        first->showMinimized();
        QTRY_VERIFY(first->isMinimized());
        choose(item);
        QTRY_VERIFY(!first->isMinimized());
        QCOMPARE(visibleTopLevels(name), 1);
        QCOMPARE(topLevel<QWidget>(name), first);
        QCOMPARE(first->pos(), QPoint(10, 10));
        first->findChild<QPushButton*>(QStringLiteral("cOK"))->click();
        QTRY_COMPARE(visibleTopLevels(name), 0);
        choose(item);
        QVERIFY(isCentred(topLevel<QWidget>(name)));
    }

    // Enter (and keypad Enter) on the focused button presses it, as Space does, in each window;
    // Go To Website opens the address and nothing else.
    void shouldPressTheFocusedButtonOnEnter_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::newRow("Return on Build This") << "frmMain"
                                              << "cThis" << int(Qt::Key_Return);
        QTest::newRow("keypad Enter on Build All") << "frmMain"
                                                   << "cBuild" << int(Qt::Key_Enter);
        QTest::newRow("Return on Help's OK") << "frmHelp"
                                             << "cOK" << int(Qt::Key_Return);
        QTest::newRow("keypad Enter on About's Ok") << "frmAbout"
                                                    << "cOK" << int(Qt::Key_Enter);
        QTest::newRow("Return on Go To Website") << "frmAbout"
                                                 << "cGoTo" << int(Qt::Key_Return);
    }

    void shouldPressTheFocusedButtonOnEnter() {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(int, key);
        AddressCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
        choose(QStringLiteral("mnuHelp"));
        choose(QStringLiteral("mnuAbout"));
        QWidget* shown = topLevel<QWidget>(window);
        auto* target = shown->findChild<QPushButton*>(button);
        QSignalSpy pressed(target, &QPushButton::clicked);
        testing::MessageBoxAnswerer answerer;
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QTest::qWait(100);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(pressed.count(), 1);
        QVERIFY(answerer.seen.isEmpty());
        if (button == u"cGoTo") {
            QCOMPARE(browser.opened,
                     QList<QUrl>{QUrl(QStringLiteral("https://www.example.com/morvanta"))});
            QVERIFY(shown->isVisible());
        }
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
        QProcess program;
        program.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--lifetime"), order});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.readAllStandardOutput().trimmed(), QByteArray("closed 3 exit 0"));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // The outer frame, as the X server has it, lands in the middle of the 1024 x 768 screen, with
    // and without a window manager that adds a title bar. Last, as it starts a window manager.
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
            QTRY_VERIFY(windowManagerRuns());
            // Openbox names itself before it has finished starting, and a window mapped
            // meanwhile can be left unmapped.
            QTest::qWait(1000);
        }
        init();
        choose(QStringLiteral("mnuHelp"));
        choose(QStringLiteral("mnuAbout"));
        for (const char* name : {"frmMain", "frmHelp", "frmAbout"}) {
            QWidget* shown = topLevel<QWidget>(QString::fromLatin1(name));
            QVERIFY2(QTest::qWaitForWindowExposed(shown), name);
            if (!manager.isEmpty()) {
                QTRY_VERIFY(outerFrame(shown).height() > shown->height());
            }
            QTest::qWait(200);
            const QRect frame = outerFrame(shown);
            const QPoint rule((1024 - frame.width()) / 2, (768 - frame.height()) / 2);
            QVERIFY2((frame.topLeft() - rule).manhattanLength() <= 1,
                     qPrintable(QStringLiteral("%1 frame at %2,%3, rule %4,%5")
                                    .arg(QLatin1String(name))
                                    .arg(frame.x())
                                    .arg(frame.y())
                                    .arg(rule.x())
                                    .arg(rule.y())));
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
