// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>

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
    printf("closed %d exit %d\n", closed, status);
    return 0;
}

}  // namespace

class windowsTest : public QObject {
    Q_OBJECT

private:
    frmMain* main = nullptr;

    void choose(const char* item) {
        main->findChild<QAction*>(QString::fromLatin1(item))->trigger();
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

    void shouldShowOneHelpWindowAndMakeItAnewAfterOk() {
        choose("mnuHelp");
        auto* help = topLevel<frmHelp>(QStringLiteral("frmHelp"));
        QVERIFY(help != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->windowTitle(), QStringLiteral("Help"));
        QVERIFY(!help->windowIcon().isNull());
        QVERIFY(
            !(help->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(help->size(), QSize(360, 339));
        QVERIFY(isCentred(help));
        QVERIFY(help->parentWidget() == nullptr);

        help->move(10, 10);
        choose("mnuHelp");
        QCOMPARE(visibleTopLevels(QStringLiteral("frmHelp")), 1);
        QCOMPARE(topLevel<frmHelp>(QStringLiteral("frmHelp")), help);
        QCOMPARE(help->pos(), QPoint(10, 10));

        help->findChild<QPushButton*>(QStringLiteral("cOK"))->click();
        QTRY_COMPARE(visibleTopLevels(QStringLiteral("frmHelp")), 0);
        choose("mnuHelp");
        auto* again = topLevel<frmHelp>(QStringLiteral("frmHelp"));
        QVERIFY(again != nullptr);
        QVERIFY(isCentred(again));
    }

    void shouldShowTheFixedHelpTextWithoutLettingItChange() {
        choose("mnuHelp");
        auto* help = topLevel<frmHelp>(QStringLiteral("frmHelp"));
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(frmHelp::helpText().size(), 378);
        auto* text = help->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        const QString shown = text->toPlainText();
        QCOMPARE(
            shown,
            QString(frmHelp::helpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(shown.split(QLatin1Char('\n')).at(13), QStringLiteral("102.85714"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cOK"));

        QTest::keyClicks(text, QStringLiteral("typed"));
        QTest::keyClick(text, Qt::Key_Delete);
        QCOMPARE(text->toPlainText(), shown);
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->focusPolicy(), Qt::NoFocus);
    }

    void shouldShowOneAboutToolWindowWithTheMakerDetails() {
        choose("mnuAbout");
        auto* about = topLevel<frmAbout>(QStringLiteral("frmAbout"));
        QVERIFY(about != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        QCOMPARE(about->windowType(), Qt::Tool);
        QVERIFY(about->parentWidget() == nullptr);
        QCOMPARE(about->size(), QSize(312, 213));
        QVERIFY(isCentred(about));

        QStringList labels;
        for (const char* name :
             {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7"}) {
            labels << about->findChild<QLabel*>(QString::fromLatin1(name))->text();
        }
        QCOMPARE(labels,
                 QStringList({"Morvanta", VERSION_LABEL, "Morvanta Workshop", "123 Example Street",
                              "Anytown, ST 00000", "555-0100", "Copyright (C) Morvanta Workshop"}));
        QCOMPARE(about->findChild<QPushButton*>(QStringLiteral("cOK"))->text(),
                 QStringLiteral("Ok"));
        QVERIFY(QFontInfo(about->findChild<QLabel*>(QStringLiteral("Label1"))->font()).bold());

        about->move(10, 10);
        choose("mnuAbout");
        QCOMPARE(visibleTopLevels(QStringLiteral("frmAbout")), 1);
        QCOMPARE(about->pos(), QPoint(10, 10));
        about->findChild<QPushButton*>(QStringLiteral("cOK"))->click();
        QTRY_COMPARE(visibleTopLevels(QStringLiteral("frmAbout")), 0);
        choose("mnuAbout");
        QVERIFY(isCentred(topLevel<frmAbout>(QStringLiteral("frmAbout"))));
    }

    void shouldOpenTheWebsiteAndSayNothing() {
        AddressCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
        choose("mnuAbout");
        auto* about = topLevel<frmAbout>(QStringLiteral("frmAbout"));
        testing::MessageBoxAnswerer answerer;
        about->findChild<QPushButton*>(QStringLiteral("cGoTo"))->click();
        QTest::qWait(100);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(browser.opened,
                 QList<QUrl>{QUrl(QStringLiteral("https://www.example.com/morvanta"))});
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(about->isVisible());
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
