// SPDX-License-Identifier: GPL-3.0-or-later
// The three windows as laid out, read from the running windows and compared with the layout
// written out here once, in pixels at 96 dpi: twips divided by 15 by hand (2295 -> 153,
// -7 -> 0, 953 -> 64).
#include <QAccessible>
#include <QAction>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "ui/DesktopServices.h"
#include "ui/OutputBox.h"
#include "ui/autotests/UiTestSupport.h"
#include "ui/frmMain.h"

using namespace morvanta;
using testing::topLevel;

namespace {

// A width of 0 stands for a label sized to its caption.
struct Control {
    const char* window;
    const char* name;
    QRect rect;
    const char* caption;
    double points;
    bool bold;
};

const Control kControls[] = {
    {"frmMain",
     "Label1",
     {8, 8, 153, 33},
     "Build table of all no decimal divisions between start and end",
     8,
     false},
    {"frmMain", "Label2", {8, 46, 0, 0}, "From", 8, false},
    {"frmMain", "tFrom", {32, 46, 49, 19}, "2", 8, false},
    {"frmMain", "Label3", {96, 46, 0, 0}, "To", 8, false},
    {"frmMain", "tTo", {112, 46, 49, 19}, "100", 8, false},
    {"frmMain", "cBuild", {168, 48, 65, 17}, "Build All", 8, false},
    {"frmMain", "Label4", {272, 16, 145, 17}, "Build table for this many holes", 8, false},
    {"frmMain", "Label5", {344, 48, 0, 0}, "This", 8, false},
    {"frmMain", "tThis", {368, 46, 41, 19}, "7", 8, false},
    {"frmMain", "cThis", {416, 48, 65, 17}, "Build This", 8, false},
    {"frmMain", "tOutput", {8, 72, 473, 409}, "", 9.75, false},
    {"frmHelp", "Text1", {0, 0, 361, 297}, nullptr, 8, false},
    {"frmHelp", "cOK", {272, 304, 81, 33}, "OK", 8, false},
    {"frmAbout", "Label1", {47, 16, 0, 0}, "Morvanta", 12, true},
    {"frmAbout", "Label2", {118, 48, 0, 0}, VERSION_LABEL, 12, true},
    {"frmAbout", "Label3", {8, 88, 0, 0}, "Morvanta Workshop", 9.75, true},
    {"frmAbout", "Label4", {8, 104, 0, 0}, "123 Example Street", 8, false},
    {"frmAbout", "Label5", {8, 120, 0, 0}, "Anytown, ST 00000", 8, false},
    {"frmAbout", "Label6", {8, 136, 0, 0}, "555-0100", 8, false},
    {"frmAbout", "Line1", {24, 168, 273, 1}, nullptr, 8, false},
    {"frmAbout", "Label7", {64, 184, 0, 0}, "Copyright (C) Morvanta Workshop", 8, false},
    {"frmAbout", "cOK", {200, 96, 89, 17}, "Ok", 8, false},
    {"frmAbout", "cGoTo", {200, 128, 89, 17}, "Go To Website", 8, false},
};

const char* const kHelpText =
    "Use the 'From' and 'To' box to 'Build All' \"no decimal\" division between\r\n"
    "From and To (This is better if you dont have a DRO) ie:\r\n"
    "6 holes divides with no decimals\r\n"
    "  0\r\n"
    " 60\r\n"
    "120\r\n"
    "180\r\n"
    "240\r\n"
    "300\r\n"
    "\r\n"
    "7 holes does not\r\n"
    "  0\r\n"
    " 51.42857\r\n"
    "102.85714\r\n"
    "154.28571\r\n"
    "205.71428\r\n"
    "257.14285\r\n"
    "308.57142\r\n"
    "\r\n"
    "Use the 'This' box to 'Build This' to show the divisions for a specific number of holes.\r\n";

QString captionOf(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        return button->text();
    }
    if (auto* input = qobject_cast<QLineEdit*>(control)) {
        return input->text();
    }
    if (auto* output = qobject_cast<OutputBox*>(control)) {
        return QString::fromUtf8(output->bytes().data(),
                                 static_cast<qsizetype>(output->bytes().size()));
    }
    return {};
}

}  // namespace

class layoutTest : public QObject {
    Q_OBJECT

private:
    frmMain* main = nullptr;

    QWidget* window(const char* name) { return topLevel<QWidget>(QString::fromLatin1(name)); }
    QWidget* control(const char* windowName, const char* name) {
        QWidget* found = window(windowName)->findChild<QWidget*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no control %s in %s", name, windowName);
        }
        return found;
    }

private slots:
    void initTestCase() {
        main = new frmMain;
        desktop::show(main);
        main->findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
        main->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
        for (const char* name : {"frmMain", "frmHelp", "frmAbout"}) {
            QVERIFY(QTest::qWaitForWindowExposed(window(name)));
        }
    }

    void shouldShapeEachWindow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<int>("kind");
        QTest::newRow("main") << "frmMain"
                              << "Morvanta" << QSize(489, 495) << int(Qt::Window);
        QTest::newRow("Help") << "frmHelp"
                              << "Help" << QSize(360, 339) << int(Qt::Window);
        QTest::newRow("About") << "frmAbout"
                               << "About" << QSize(312, 213) << int(Qt::Tool);
    }

    void shouldShapeEachWindow() {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QSize, client);
        QFETCH(int, kind);
        QWidget* shown = window(name.toLatin1().constData());
        QCOMPARE(shown->windowTitle(), title);
        auto* mainWindow = qobject_cast<QMainWindow*>(shown);
        QCOMPARE(mainWindow != nullptr ? mainWindow->centralWidget()->size() : shown->size(),
                 client);
        QCOMPARE(shown->minimumSize(), shown->maximumSize());
        QCOMPARE(int(shown->windowType()), kind);
        const Qt::WindowFlags flags = shown->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testAnyFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        QVERIFY(shown->parentWidget() == nullptr);
        QCOMPARE(shown->windowIcon().isNull(), kind == int(Qt::Tool));
    }

    void shouldPlaceEveryControl_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kControls)); ++row) {
            QTest::addRow("%s %s", kControls[row].window, kControls[row].name) << row;
        }
    }

    void shouldPlaceEveryControl() {
        QFETCH(int, row);
        const Control& expected = kControls[row];
        QWidget* shown = control(expected.window, expected.name);
        if (expected.rect.width() == 0) {
            QCOMPARE(shown->pos(), expected.rect.topLeft());
            QCOMPARE(shown->size(), shown->sizeHint());
        } else {
            QCOMPARE(shown->geometry(), expected.rect);
        }
        if (expected.caption != nullptr) {
            QCOMPARE(captionOf(shown), QString::fromUtf8(expected.caption));
        }
        if (auto* output = qobject_cast<OutputBox*>(shown)) {
            const auto style = static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT);
            QCOMPARE(output->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, style),
                     long(expected.points * 100));
            QCOMPARE(output->SendScintilla(QsciScintillaBase::SCI_STYLEGETBOLD, style) != 0,
                     expected.bold);
            char family[256] = {};
            output->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style,
                                  static_cast<void*>(family));
            QVERIFY2(QFontInfo(QFont(QString::fromUtf8(family))).fixedPitch(), family);
        } else {
            QCOMPARE(shown->font().pointSizeF(), expected.points);
            QCOMPARE(QFontInfo(shown->font()).bold(), expected.bold);
        }
    }

    void shouldOfferTheMenusInOrderWithPrintDisabled() {
        QStringList menus;
        for (QAction* top : main->menuBar()->actions()) {
            QStringList items;
            for (QAction* item : top->menu()->actions()) {
                items << (item->isSeparator() ? QStringLiteral("-") : item->text());
                QVERIFY(item->isEnabled() != (item->text() == u"Print"));
            }
            menus << top->text() + u':' + items.join(u',');
        }
        QCOMPARE(menus, QStringList({"File:Build All,Build This,-,Print,-,Exit", "Edit:Copy",
                                     "Help:Help,About"}));
    }

    void shouldShowTheHelpTextAsWritten() {
        auto* text = qobject_cast<QPlainTextEdit*>(control("frmHelp", "Text1"));
        const QString expected = QString::fromUtf8(kHelpText);
        QCOMPARE(expected.size(), 378);
        QCOMPARE(text->toPlainText().replace(u'\n', QStringLiteral("\r\n")), expected);
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->focusPolicy(), Qt::NoFocus);
        QCOMPARE(text->frameShape(), QFrame::NoFrame);
        QVERIFY(!text->verticalScrollBar()->isVisible());
        QVERIFY(!text->horizontalScrollBar()->isVisible());
    }

    // Screen readers say each box by the caption a sighted user reads beside it.
    void shouldNameEveryBoxForScreenReaders() {
        const char* const names[][3] = {
            {"frmMain", "tFrom", "From"},      {"frmMain", "tTo", "To"},
            {"frmMain", "tThis", "This"},      {"frmMain", "tOutput", "Output"},
            {"frmHelp", "Text1", "Help text"}, {"frmMain", "cBuild", "Build All"}};
        for (const auto& [windowName, name, spoken] : names) {
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(control(windowName, name));
            QCOMPARE(accessible->text(QAccessible::Name), QString::fromLatin1(spoken));
        }
    }
};

QTEST_MAIN(layoutTest)
#include "layoutTest.moc"
