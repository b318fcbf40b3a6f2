// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as the user meets them: captions, fonts, spoken names, window kinds, menus.
#include <QAccessible>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <span>

#include "ui/DesktopServices.h"
#include "ui/OutputBox.h"
#include "ui/autotests/UiTestSupport.h"
#include "ui/frmMain.h"

using namespace morvanta;

namespace {

constexpr char kHelpText[] =
    "Use the 'From' and 'To' box to 'Build All' \"no decimal\" division between\r\n"
    "From and To (This is better if you dont have a DRO) ie:\r\n"
    "6 holes divides with no decimals\r\n"
    "  0\r\n 60\r\n120\r\n180\r\n240\r\n300\r\n\r\n"
    "7 holes does not\r\n"
    "  0\r\n 51.42857\r\n102.85714\r\n154.28571\r\n205.71428\r\n257.14285\r\n308.57142\r\n\r\n"
    "Use the 'This' box to 'Build This' to show the divisions for a specific number of holes.\r\n";

// The font: points, "bold", or "fixed" for fixed pitch; `spoken`, what a screen reader says.
struct Control {
    const char* name;
    const char* caption;
    const char* font = "8";
    const char* spoken = nullptr;
};

const Control kMain[] = {
    {"Label1", "Build table of all no decimal divisions between start and end"},
    {"Label2", "From"},
    {"tFrom", "2", "8", "From"},
    {"Label3", "To"},
    {"tTo", "100", "8", "To"},
    {"cBuild", "Build All"},
    {"Label4", "Build table for this many holes"},
    {"Label5", "This"},
    {"tThis", "7", "8", "This"},
    {"cThis", "Build This"},
    {"tOutput", "", "9.75 fixed", "Output"},
};

const Control kHelp[] = {
    {"Text1", kHelpText, "8", "Help text"},
    {"cOK", "OK"},
};

const Control kAbout[] = {
    {"Label1", "Morvanta", "12 bold"},
    {"Label2", VERSION_LABEL, "12 bold"},
    {"Label3", "Morvanta Workshop", "9.75 bold"},
    {"Label4", "123 Example Street"},
    {"Label5", "Anytown, ST 00000"},
    {"Label6", "555-0100"},
    {"Line1", ""},
    {"Label7", "Copyright (C) Morvanta Workshop"},
    {"cOK", "Ok"},
    {"cGoTo", "Go To Website"},
};

const struct {
    const char* name;
    const char* title;
    Qt::WindowType kind;
    std::span<const Control> controls;
} kWindows[] = {{"frmMain", "Morvanta", Qt::Window, kMain},
                {"frmHelp", "Help", Qt::Window, kHelp},
                {"frmAbout", "About", Qt::Tool, kAbout}};

// The output box has no caption: it starts empty, as Scintilla's documents do.
QString captionOf(QWidget* control) {
    if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        return text->toPlainText().replace('\n', "\r\n");
    }
    return control->property("text").toString();
}

QString fontOf(QWidget* control) {
    auto* output = qobject_cast<OutputBox*>(control);
    if (output == nullptr) {
        return QString::number(control->font().pointSizeF()) +
               (QFontInfo(control->font()).bold() ? " bold" : "");
    }
    const auto style = static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT);
    char family[256] = {};
    output->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, static_cast<void*>(family));
    const long size = output->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, style);
    return QString::number(size / 100.0) + (QFontInfo(QFont(family)).fixedPitch() ? " fixed" : "");
}

}  // namespace

Q_DECLARE_METATYPE(Control)

class layoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        auto* main = new frmMain;
        desktop::show(main);
        testing::choose(main, "mnuHelp");
        testing::choose(main, "mnuAbout");
        for (const auto& window : kWindows) {
            QVERIFY(QTest::qWaitForWindowExposed(testing::shownWindow(window.name)));
        }
    }

    // Fixed size, a close box and no other; About alone is a tool window, without icon.
    void shouldShapeEachWindow() {
        for (const auto& [name, title, kind, controls] : kWindows) {
            QWidget* shown = testing::shownWindow(name);
            QCOMPARE(shown->windowTitle(), title);
            QCOMPARE(shown->minimumSize(), shown->maximumSize());
            QCOMPARE(shown->windowFlags() & (Qt::WindowType_Mask | Qt::WindowCloseButtonHint |
                                             Qt::WindowMinMaxButtonsHint),
                     kind | Qt::WindowCloseButtonHint);
            QCOMPARE(shown->windowIcon().isNull(), kind == Qt::Tool);
        }
    }

    void shouldLayOutEveryControl_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<Control>("expected");
        for (const auto& window : kWindows) {
            for (const Control& control : window.controls) {
                QTest::addRow("%s %s", window.name, control.name)
                    << QString(window.name) << control;
            }
        }
    }

    void shouldLayOutEveryControl() {
        QFETCH(QString, window);
        QFETCH(Control, expected);
        auto* shown = testing::shownWindow(window)->findChild<QWidget*>(expected.name);
        QVERIFY(shown != nullptr);
        // No label on one line is cut short.
        if (auto* label = qobject_cast<QLabel*>(shown); label != nullptr && !label->wordWrap()) {
            QVERIFY2(label->width() >= label->sizeHint().width(), expected.name);
        }
        QCOMPARE(captionOf(shown), QString::fromUtf8(expected.caption));
        QCOMPARE(fontOf(shown), expected.font);
        if (expected.spoken != nullptr) {
            QCOMPARE(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name),
                     expected.spoken);
        }
        // The help text can be read, not changed, and shows whole without scroll bars.
        if (auto* text = qobject_cast<QPlainTextEdit*>(shown)) {
            QVERIFY(text->isReadOnly() && text->focusPolicy() == Qt::NoFocus &&
                    text->frameShape() == QFrame::NoFrame &&
                    !text->verticalScrollBar()->isVisible() &&
                    !text->horizontalScrollBar()->isVisible());
        }
    }

    void shouldOfferTheMenusInOrderWithPrintDisabled() {
        QStringList menus;
        for (QAction* top : testing::shownWindow("frmMain")->findChild<QMenuBar*>()->actions()) {
            QStringList items;
            for (QAction* item : top->menu()->actions()) {
                items << (item->isSeparator() ? "-" : item->text());
                QVERIFY(item->isEnabled() != (item->text() == u"Print"));
            }
            menus << top->text() + ':' + items.join(',');
        }
        QCOMPARE(menus, QStringList({"File:Build All,Build This,-,Print,-,Exit", "Edit:Copy",
                                     "Help:Help,About"}));
    }
};

MORVANTA_WINDOW_TEST(layoutTest)
#include "layoutTest.moc"
