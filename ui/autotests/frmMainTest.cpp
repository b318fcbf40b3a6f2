// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "engine/HoleTable.h"

#include "ui/DesktopServices.h"
#include "ui/OutputBox.h"
#include "ui/autotests/UiTestSupport.h"
#include "ui/frmMain.h"

using namespace morvanta;
using testing::clipboardSeenByAnotherProgram;
using testing::MessageBoxAnswerer;

class frmMainTest : public QObject {
    Q_OBJECT

private:
    frmMain* window = nullptr;

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
    void putOnClipboard(const QString& text) {
        desktop::clipboardClear();
        desktop::clipboardSetText(text);
    }

private slots:
    void init() {
        window = new frmMain;
        desktop::show(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void cleanup() {
        delete window;
        window = nullptr;
    }

    void shouldStartWithTheLayoutValues() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvanta"));
        QCOMPARE(child<QLineEdit>("tFrom")->text(), QStringLiteral("2"));
        QCOMPARE(child<QLineEdit>("tTo")->text(), QStringLiteral("100"));
        QCOMPARE(child<QLineEdit>("tThis")->text(), QStringLiteral("7"));
        QVERIFY(output()->bytes().empty());
        QTRY_COMPARE(focusName(), QStringLiteral("tFrom"));
        const QString longText(40000, QLatin1Char('9'));
        child<QLineEdit>("tThis")->setText(longText);
        QCOMPARE(child<QLineEdit>("tThis")->text(), longText);

        QCOMPARE(window->centralWidget()->size(), QSize(489, 495));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!window->windowIcon().isNull());

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(window->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(window->frameGeometry().center().y() - screen.center().y()) <= 1);

        char family[256] = {};
        output()->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT,
                                static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT),
                                static_cast<void*>(family));
        QVERIFY2(QFontInfo(QFont(QString::fromUtf8(family))).fixedPitch(), family);
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

        auto* print = child<QAction>("mnuPrint");
        QVERIFY(print->isVisible());
        QVERIFY(!print->isEnabled());
        QSignalSpy chosen(print, &QAction::triggered);
        print->trigger();
        QCOMPARE(chosen.count(), 0);
    }

    void shouldFillBoxAndClipboardIdentically_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("table");
        const QByteArray seven = QByteArray::fromStdString(BuildThisTable("7").value());
        const QByteArray survey = QByteArray::fromStdString(BuildAllTable("2", "100").value());
        QTest::newRow("Build This button") << QStringLiteral("cThis") << seven;
        QTest::newRow("File > Build This") << QStringLiteral("mnuBuildThis") << seven;
        QTest::newRow("Build All button") << QStringLiteral("cBuild") << survey;
        QTest::newRow("File > Build All") << QStringLiteral("mnuBuildAll") << survey;
    }

    void shouldFillBoxAndClipboardIdentically() {
        QFETCH(QString, command);
        QFETCH(QByteArray, table);
        QVERIFY(table.contains("\r\n"));
        output()->setText("old text\r\nold text\r\n");
        if (auto* button = window->findChild<QPushButton*>(command)) {
            button->click();
        } else {
            window->findChild<QAction*>(command)->trigger();
        }
        const std::string_view shown = output()->bytes();
        QCOMPARE(QByteArray(shown.data(), static_cast<qsizetype>(shown.size())), table);
        QCOMPARE(output()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0L);
        QCOMPARE(output()->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 0L);
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), table);
    }

    void shouldKeepClipboardWhenBuildFails_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* box, const char* text,
                            const char* command, std::string_view message) {
            QTest::newRow(name) << box << text << command << QString::fromUtf8(message);
        };
        row("This 1", "tThis", "1", "cThis", kThisMessage);
        row("This blank", "tThis", "", "mnuBuildThis", kThisMessage);
        row("From 0", "tFrom", "0", "cBuild", kFromMessage);
        row("To 1", "tTo", "1", "mnuBuildAll", kToMessage);
        row("To below From", "tFrom", "200", "cBuild", kOrderMessage);
    }

    void shouldKeepClipboardWhenBuildFails() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(QString, message);
        child<QPushButton>("cThis")->click();
        QVERIFY(!output()->bytes().empty());
        putOnClipboard(QStringLiteral("kept\r\n"));

        window->findChild<QLineEdit*>(box)->setText(text);
        MessageBoxAnswerer answerer;
        if (auto* button = window->findChild<QPushButton*>(command)) {
            button->click();
        } else {
            window->findChild<QAction*>(command)->trigger();
        }
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(answerer.seen[0].text, message);
        QCOMPARE(answerer.seen[0].title, QStringLiteral("Morvanta"));
        QCOMPARE(answerer.seen[0].icon, QMessageBox::NoIcon);
        QCOMPARE(answerer.seen[0].buttons, 1);
        QVERIFY(output()->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray("kept\r\n"));
    }

    void shouldLeaveEmptyTextOnClipboardForAnEmptySurvey() {
        putOnClipboard(QStringLiteral("kept"));
        child<QLineEdit>("tFrom")->setText(QStringLiteral("7"));
        child<QLineEdit>("tTo")->setText(QStringLiteral("7"));
        MessageBoxAnswerer answerer;
        child<QPushButton>("cBuild")->click();
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(output()->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray());
    }

    void shouldCopyEditedAndEmptyText() {
        child<QPushButton>("cThis")->click();
        output()->setFocus();
        QTest::keyClicks(output()->viewport(), QStringLiteral("ab"));
        QTest::keyClick(output()->viewport(), Qt::Key_Return);
        QTest::keyClicks(output()->viewport(), QStringLiteral("cd"));
        const QByteArray edited =
            "ab\r\ncd" + QByteArray::fromStdString(BuildThisTable("7").value());
        putOnClipboard(QStringLiteral("old"));
        MessageBoxAnswerer answerer;
        child<QAction>("mnuCopy")->trigger();
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), edited);

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

        for (const char* box : {"tFrom", "tTo", "tThis"}) {
            child<QLineEdit>(box)->setFocus();
            QTest::keyClick(child<QLineEdit>(box), Qt::Key_Return);
        }
        QVERIFY(output()->bytes().empty());
    }

    void shouldWrapOnlyTextWithLinesWiderThanTheBox() {
        output()->setText("short\r\n" + std::string(100, 'x') + "\r\n");
        QVERIFY(output()->isWrapping());
        output()->setText("short\r\n");
        QVERIFY(!output()->isWrapping());
        child<QPushButton>("cBuild")->click();
        QVERIFY(output()->isWrapping());
        child<QPushButton>("cThis")->click();
        QVERIFY(!output()->isWrapping());
        output()->setFocus();
        QTest::keyClick(output()->viewport(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(output()->viewport(), QString(30, QLatin1Char('x')));
        QVERIFY(!output()->isWrapping());
        QTest::keyClicks(output()->viewport(), QString(50, QLatin1Char('y')));
        QVERIFY(output()->isWrapping());
    }

    void shouldAbandonCancelledBuild() {
        putOnClipboard(QStringLiteral("kept"));
        child<QLineEdit>("tThis")->setText(QStringLiteral("10000000"));
        MessageBoxAnswerer answerer;
        QElapsedTimer sinceCancel;
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress != nullptr && progress->isVisible() && !sinceCancel.isValid()) {
                sinceCancel.start();
                progress->findChild<QPushButton*>()->click();
            }
        });
        canceller.start(50);
        child<QPushButton>("cThis")->click();
        QVERIFY2(sinceCancel.isValid(), "no progress window appeared");
        qInfo("build returned %lld ms after Cancel", static_cast<long long>(sinceCancel.elapsed()));
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(output()->bytes().empty());
        QCOMPARE(clipboardSeenByAnotherProgram().value_or("(nothing)"), QByteArray("kept"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
