// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// The window as a whole: what it remembers between runs, and how it works from the keyboard
// alone. Also run at QT_SCALE_FACTOR=1.5, where every control must still have its room.
class WindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    WorkshopWindow* window = nullptr;

    void start() {
        delete window;
        window = new WorkshopWindow;
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void restart() {
        window->close();
        start();
    }

    CalculatorPage* sheet() { return window->page(QStringLiteral("sheet")); }
    QLineEdit* field(const char* name) {
        return child<QLineEdit>(sheet(), QString::fromLatin1(name));
    }
    QTabWidget* tabs() { return child<QTabWidget>(window, QStringLiteral("pages")); }

    // The named control that has the focus: an editable list's own line, which has no name of
    // ours, answers with the list's.
    QString focusName() {
        for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))) {
                return w->objectName();
            }
        }
        return {};
    }

private slots:
    void initTestCase() { isolateSettings(folder.path()); }

    void init() {
        QSettings().clear();
        start();
    }

    void cleanup() {
        delete window;
        window = nullptr;
    }

    void shouldStartWithTheDefaultsAndTheSheetInFront() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvanta Workshop"));
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(tabs()->count(), 3);
        QCOMPARE(tabs()->tabText(0), QStringLiteral("&Setting sheet"));
        QCOMPARE(tabs()->tabText(1), QStringLiteral("&Index plate"));
        QCOMPARE(tabs()->tabText(2), QStringLiteral("&Bolt circle"));
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(field("count")->text(), QStringLiteral("7"));
        QCOMPARE(field("ratio")->text(), QStringLiteral("90"));
        QCOMPARE(field("dial")->text(), QStringLiteral("240"));
        QCOMPARE(field("resolution")->text(), QString());
        QVERIFY(sheet()->isCurrent());
        QTRY_COMPARE(focusName(), QStringLiteral("count"));
    }

    void shouldRememberTheInputsAndThePageAcrossARestart() {
        retype(field("count"), QStringLiteral("127"));
        retype(field("ratio"), QStringLiteral("40"));
        retype(field("dial"), QString());
        retype(field("resolution"), QStringLiteral("10s"));
        CalculatorPage* index = window->page(QStringLiteral("index"));
        tabs()->setCurrentWidget(index);
        auto* plates = child<QComboBox>(index, QStringLiteral("plates"));
        plates->lineEdit()->selectAll();
        QTest::keyClicks(plates->lineEdit(), QStringLiteral("15,16/17"));
        CalculatorPage* bolt = window->page(QStringLiteral("bolt"));
        tabs()->setCurrentWidget(bolt);
        child<QCheckBox>(bolt, QStringLiteral("cw"))->click();
        auto* zero = child<QComboBox>(bolt, QStringLiteral("zero"));
        zero->setCurrentIndex(zero->findData(QStringLiteral("north")));
        retype(child<QLineEdit>(bolt, QStringLiteral("centre")), QStringLiteral("10,-5"));
        restart();

        QFile stored(QSettings().fileName());
        QVERIFY2(stored.open(QIODevice::ReadOnly), qPrintable(stored.fileName()));
        const QByteArray bytes = stored.readAll();
        QVERIFY2(bytes.contains("count=127"), bytes.constData());

        QCOMPARE(tabs()->currentIndex(), 2);
        QCOMPARE(field("count")->text(), QStringLiteral("127"));
        QCOMPARE(field("ratio")->text(), QStringLiteral("40"));
        QCOMPARE(field("dial")->text(), QString());
        QCOMPARE(field("resolution")->text(), QStringLiteral("10s"));
        QCOMPARE(child<QComboBox>(window->page(QStringLiteral("index")), QStringLiteral("plates"))
                     ->currentText(),
                 QStringLiteral("15,16/17"));
        CalculatorPage* restored = window->page(QStringLiteral("bolt"));
        QVERIFY(child<QCheckBox>(restored, QStringLiteral("cw"))->isChecked());
        QCOMPARE(child<QComboBox>(restored, QStringLiteral("zero"))->currentData().toString(),
                 QStringLiteral("north"));
        QCOMPARE(child<QLineEdit>(restored, QStringLiteral("centre"))->text(),
                 QStringLiteral("10,-5"));
        QVERIFY(sheet()->isCurrent());
        QCOMPARE(
            shownText(sheet()),
            runTable({QStringLiteral("sheet"), QStringLiteral("127"), QStringLiteral("--ratio"),
                      QStringLiteral("40"), QStringLiteral("--resolution"), QStringLiteral("10s")})
                .out);
    }

    void shouldBringBackBadInputWithItsMessage() {
        retype(field("count"), QStringLiteral("1"));
        restart();
        QCOMPARE(field("count")->text(), QStringLiteral("1"));
        QCOMPARE(sheet()->messageFor(QStringLiteral("count")),
                 QStringLiteral("COUNT must be a whole number from 2 to 10000"));
        QVERIFY(sheet()->output() == nullptr);
        QCOMPARE(shownText(sheet()), QByteArray());
        QVERIFY(!child<QAction>(window, QStringLiteral("copy"))->isEnabled());
        QCOMPARE(child<QLabel>(sheet(), QStringLiteral("status"))->text(),
                 QStringLiteral("The input is not valid, so there is no sheet yet."));
    }

    void shouldResetThePageToItsDefaultsAndRememberThat() {
        retype(field("count"), QStringLiteral("36"));
        retype(field("dial"), QString());
        retype(field("resolution"), QStringLiteral("1m"));
        child<QAction>(window, QStringLiteral("resetPage"))->trigger();
        QCOMPARE(field("count")->text(), QStringLiteral("7"));
        QCOMPARE(field("ratio")->text(), QStringLiteral("90"));
        QCOMPARE(field("dial")->text(), QStringLiteral("240"));
        QCOMPARE(field("resolution")->text(), QString());
        QVERIFY(sheet()->isCurrent());
        QCOMPARE(focusName(), QStringLiteral("count"));
        restart();
        QCOMPARE(field("count")->text(), QStringLiteral("7"));
        QCOMPARE(field("dial")->text(), QStringLiteral("240"));
        QCOMPARE(field("resolution")->text(), QString());
    }

    void shouldComputeOnEnterAndPointAtTheFault() {
        QSignalSpy computed(sheet(), &CalculatorPage::computed);
        field("count")->setFocus();
        QTest::keyClick(field("count"), Qt::Key_Return);
        QCOMPARE(computed.count(), 1);
        QCOMPARE(focusName(), QStringLiteral("count"));

        field("ratio")->setText(QStringLiteral("0"));
        field("count")->setFocus();
        QTest::keyClick(field("count"), Qt::Key_Enter);
        QCOMPARE(computed.count(), 3);
        QCOMPARE(focusName(), QStringLiteral("ratio"));
        QCOMPARE(field("ratio")->selectedText(), QStringLiteral("0"));

        // In an editable list too, where Enter would otherwise add the text to the list; and
        // Enter on the sheet itself.
        CalculatorPage* index = window->page(QStringLiteral("index"));
        tabs()->setCurrentWidget(index);
        QSignalSpy indexComputed(index, &CalculatorPage::computed);
        auto* plates = child<QComboBox>(index, QStringLiteral("plates"));
        plates->lineEdit()->setFocus();
        QTest::keyClick(plates->lineEdit(), Qt::Key_Return);
        QCOMPARE(indexComputed.count(), 1);
        QCOMPARE(plates->count(), 2);
        child<QWidget>(index, QStringLiteral("result"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(indexComputed.count(), 2);
    }

    void shouldReachEveryFieldInOrderWithTab_data() {
        QTest::addColumn<QString>("page");
        for (const char* page : {"sheet", "index", "bolt"}) {
            QTest::newRow(page) << QString::fromLatin1(page);
        }
    }

    void shouldReachEveryFieldInOrderWithTab() {
        QFETCH(QString, page);
        CalculatorPage* shown = window->page(page);
        tabs()->setCurrentWidget(shown);
        shown->focusFirstField();
        QStringList visited{focusName()};
        for (int i = 0; i < 24; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(focusName());
        }
        QStringList fields;
        for (QWidget* control : shown->fieldControls()) {
            fields.append(control->objectName());
        }
        fields.append(QStringLiteral("result"));
        QCOMPARE(visited.mid(0, fields.size()), fields);
        for (const char* button :
             {"copyButton", "saveCsvButton", "printButton", "exportPdfButton", "resetPageButton"}) {
            QVERIFY2(visited.contains(QString::fromLatin1(button)), button);
        }
    }

    void shouldMoveByMnemonics_data() { shouldReachEveryFieldInOrderWithTab_data(); }

    // Every field has a letter of its own on its page, none taken by a menu or a page's tab, and
    // Alt with it reaches that field (a box is ticked or cleared); Alt with a tab's letter brings
    // its page to the front.
    void shouldMoveByMnemonics() {
        QFETCH(QString, page);
        CalculatorPage* shown = window->page(page);
        const auto alt = [this](QChar key) {
            QTest::keyClick(window, key.toLatin1(), Qt::AltModifier);
            QApplication::processEvents();
        };
        alt(tabs()->tabText(tabs()->indexOf(shown)).at(1));
        QCOMPARE(tabs()->currentWidget(), shown);

        QString taken = QStringLiteral("fehsib");
        for (QWidget* control : shown->fieldControls()) {
            QString caption = control->property("text").toString();
            if (qobject_cast<QCheckBox*>(control) == nullptr) {
                for (QLabel* label : shown->findChildren<QLabel*>()) {
                    if (label->buddy() == control) {
                        caption = label->text();
                    }
                }
            }
            const qsizetype amp = caption.indexOf(QLatin1Char('&'));
            QVERIFY2(amp >= 0 && amp + 1 < caption.size(), qPrintable(caption));
            const QChar letter = caption.at(amp + 1).toLower();
            QVERIFY2(!taken.contains(letter), qPrintable(caption));
            taken += letter;

            auto* box = qobject_cast<QCheckBox*>(control);
            const bool ticked = box != nullptr && box->isChecked();
            alt(letter);
            QCOMPARE(focusName(), control->objectName());
            QVERIFY(shown->isAncestorOf(QApplication::focusWidget()));
            if (box != nullptr) {
                QTRY_COMPARE(box->isChecked(), !ticked);
            }
        }
    }

    void shouldNameEveryFieldForAssistiveTechnology() {
        for (CalculatorPage* page : window->findChildren<CalculatorPage*>()) {
            for (QWidget* control : page->fieldControls()) {
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
                QVERIFY(!control->accessibleName().contains(QLatin1Char('&')));
                if (qobject_cast<QCheckBox*>(control) != nullptr) {
                    continue;
                }
                bool labelled = false;
                for (QLabel* label : page->findChildren<QLabel*>()) {
                    labelled = labelled || label->buddy() == control;
                }
                QVERIFY2(labelled, qPrintable(control->objectName()));
            }
        }
        QCOMPARE(field("ratio")->accessibleName(), QStringLiteral("Worm ratio"));
        QCOMPARE(child<QWidget>(sheet(), QStringLiteral("result"))->accessibleName(),
                 QStringLiteral("Setting sheet"));
    }

    void shouldCopyTheSheetFromTheKeyboard() {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(),
                 runTable({QStringLiteral("sheet"), QStringLiteral("7"), QStringLiteral("--ratio"),
                           QStringLiteral("90"), QStringLiteral("--dial"), QStringLiteral("240")})
                     .out);
    }

    // Each control at least as large as it asks to be, inside the window, and the window on the
    // screen: what a larger scale factor or font would break first.
    void shouldGiveEveryControlItsRoom() {
        const QRect screen = window->screen()->availableGeometry();
        QVERIFY(window->frameGeometry().width() <= screen.width());
        QVERIFY(window->frameGeometry().height() <= screen.height());
        for (int index = 0; index < tabs()->count(); ++index) {
            tabs()->setCurrentIndex(index);
            QApplication::processEvents();
            for (QWidget* control : tabs()->currentWidget()->findChildren<QWidget*>()) {
                if (!control->isVisible() ||
                    control->objectName().startsWith(QLatin1String("qt_"))) {
                    continue;
                }
                // Named by what it shows, for the labels that have no name of their own.
                const QString what =
                    QStringLiteral("%1 %2 \"%3\" on %4: %5x%6, wants %7x%8")
                        .arg(QString::fromLatin1(control->metaObject()->className()),
                             control->objectName(), control->property("text").toString(),
                             tabs()->currentWidget()->objectName())
                        .arg(control->width())
                        .arg(control->height())
                        .arg(control->minimumSizeHint().width())
                        .arg(control->minimumSizeHint().height());
                const QSize wanted = control->minimumSizeHint();
                QVERIFY2(control->width() >= wanted.width() && control->height() >= wanted.height(),
                         qPrintable(what));
                const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
                QVERIFY2(window->rect().contains(inWindow), qPrintable(what));
            }
        }
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
