// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// The window as a whole: what it remembers, and the keyboard alone. Also run at
// QT_SCALE_FACTOR=1.5, where every control must still have its room.
class WindowTest : public WindowFixture {
    Q_OBJECT

private:
    // The named control with the focus: an editable list's line answers with the list's name.
    static QString focusName() {
        QWidget* w = QApplication::focusWidget();
        while (w != nullptr && (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))) {
            w = w->parentWidget();
        }
        return w != nullptr ? w->objectName() : QString();
    }

    static bool scrolls(const QWidget* control) {
        for (const QWidget* w = control; w->parentWidget() != nullptr; w = w->parentWidget()) {
            if (auto* area = qobject_cast<const QScrollArea*>(w->parentWidget()->parentWidget());
                area != nullptr && w->parentWidget() == area->viewport()) {
                return true;
            }
        }
        return false;
    }

private slots:
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    // A first start: the defaults' sheet, the first field's text selected. Fields, boxes, lists (a
    // switch too), text typed in a list and the page in front are remembered; bad input comes back
    // with its message and no sheet; a Reset is remembered too.
    void shouldRememberTheInputsAndThePageAcrossARestart() {
        QCOMPARE(window->windowTitle(), "Morvanta Workshop");
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->currentPage(), page("sheet"));
        QTRY_COMPARE(focusName(), "count");
        QCOMPARE(field("sheet", "count")->selectedText(), "7");
        fillPage(page("sheet"), {"count=127", "ratio=40", "resolution=10s"});
        front(window, "bolt");
        field<QCheckBox>("bolt", "cw")->click();
        field<QComboBox>("bolt", "zero")->setCurrentIndex(1);
        auto* size = field<QComboBox>("bolt", "diameterSwitch");
        size->setCurrentIndex(size->findData("radius"));
        front(window, "index");
        QTest::keyClicks(field<QComboBox>("index", "plates")->lineEdit(), "/17");
        restart();
        QVERIFY(QFile(QSettings().fileName()).size() > 0);

        QCOMPARE(sheetText(page("sheet")),
                 runTable({"sheet", "--ratio=40", "--resolution=10s", "127"}).out);
        QVERIFY(field<QCheckBox>("bolt", "cw")->isChecked());
        QCOMPARE(field<QComboBox>("bolt", "zero")->currentData(), "north");
        QCOMPARE(sheetText(page("bolt")),
                 runTable({"coords", "--radius=100", "--cw", "--zero=north", "6"}).out);
        QCOMPARE(window->currentPage(), page("index"));
        QCOMPARE(field<QComboBox>("index", "plates")->currentText(), "Brown & Sharpe/17");
        QVERIFY(!page("index")->messageFor("plates").isEmpty());
        QCOMPARE(sheetText(page("index")), QByteArray());
        QCOMPARE(child<QLabel>(page("index"), "status")->text().remove(QChar(0x200B)),
                 "The input is not valid, so there is no sheet yet.");

        child<QAction>(window, "resetPage")->trigger();
        QCOMPARE(focusName(), "count");
        // Closed straight after a keystroke, 10000 holes still at work: the next start shows it.
        field("bolt", "count")->setText("10000");
        restart();
        QCOMPARE(field("bolt", "count")->text(), "10000");
        QCOMPARE(field<QComboBox>("index", "plates")->currentData(), "bs");
        // The engine's call may not have started yet, or still run.
        QTRY_VERIFY(page("index")->isCurrent());
    }

    // A bad key shows its message and marks its field, and the line above the greyed sheet names
    // its inputs. Return or Enter, from a field, an editable list (not taking the text as an item)
    // or the sheet, computes and puts the cursor in the field at fault.
    void shouldPointAtTheFaultAsTypedAndOnEnter() {
        CalculatorPage* sheet = page("sheet");
        QSignalSpy computed(sheet, &CalculatorPage::computed);
        auto* ratio = field("sheet", "ratio");
        auto* message = child<QLabel>(sheet, "message");
        ratio->setFocus();
        QTest::keyClick(ratio, Qt::Key_X);
        sheet->finishComputing();
        const QString words = QStringLiteral(
            "Worm ratio must be a number above 0 with at most 7 "
            "digits before the point and 6 after; 90x is not a "
            "number");
        QCOMPARE(message->text(), words);
        QVERIFY(message->isVisible());
        QCOMPARE(child<QLabel>(sheet, "status")->text().remove(QChar(0x200B)),
                 QStringLiteral("The input is not valid. Shown greyed: the last good sheet, for "
                                "Count: 7; Worm ratio: 90; Dial graduations: 240."));
        field("sheet", "count")->setFocus();
        QTest::keyClick(field("sheet", "count"), Qt::Key_Enter);
        QCOMPARE(computed.count(), 2);
        QCOMPARE(focusName(), "ratio");
        QCOMPARE(ratio->selectedText(), "90x");

        front(window, "index");
        QSignalSpy indexComputed(page("index"), &CalculatorPage::computed);
        auto* plates = field<QComboBox>("index", "plates");
        plates->lineEdit()->setFocus();
        QTest::keyClick(plates->lineEdit(), Qt::Key_Return);
        QCOMPARE(plates->count(), 2);
        field<QWidget>("index", "result")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(indexComputed.count(), 2);
    }

    void shouldWorkFromTheKeyboard_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QChar>("tab");  // the letter that brings it to the front, with Alt
        QTest::addColumn<QString>("title");
        QTest::newRow("sheet") << "sheet" << QChar(u's') << "Setting sheet";
        QTest::newRow("index") << "index" << QChar(u'i') << "Index plate";
        QTest::newRow("bolt") << "bolt" << QChar(u'b') << "Bolt circle";
    }

    // On each page: Alt and the tab's letter brings it to the front; Tab goes through the fields,
    // the sheet, the buttons; every field has a letter of its own, none a menu's or tab's, and Alt
    // with it reaches the field (a box toggled), its text selected; every field and the sheet is
    // named for assistive technology by its caption.
    void shouldWorkFromTheKeyboard() {
        QFETCH(QString, name);
        QFETCH(QChar, tab);
        QFETCH(QString, title);
        const auto alt = [this](QChar key) {
            QTest::keyClick(window, key.toLatin1(), Qt::AltModifier);
            QApplication::processEvents();
        };
        CalculatorPage* shown = window->page(name);
        alt(tab);
        QCOMPARE(window->currentPage(), shown);
        const auto selected = [](QWidget* control) {
            auto* edit = qobject_cast<QLineEdit*>(control);
            return edit == nullptr || edit->selectedText() == edit->text();
        };
        QVERIFY(selected(QApplication::focusWidget()));
        QCOMPARE(child<QWidget>(shown, "result")->accessibleName(), title);
        QStringList fields;
        for (QWidget* control : shown->fieldControls()) {
            fields.append(control->objectName());
        }
        fields.append("result");
        QStringList visited{focusName()};
        while (visited.size() < fields.size() + 8) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(focusName());
        }
        QCOMPARE(visited.mid(0, fields.size()), fields);
        for (const char* button :
             {"copyButton", "saveCsvButton", "printButton", "resetPageButton"}) {
            QVERIFY2(visited.contains(QString::fromLatin1(button)), button);
        }

        const auto captionOf = [shown](QWidget* control) {
            auto* box = qobject_cast<QCheckBox*>(control);
            QString caption = box != nullptr ? box->text() : QString();
            for (QLabel* label : shown->findChildren<QLabel*>()) {
                caption = label->buddy() == control ? label->text() : caption;
            }
            return caption;
        };
        QString taken = "fehsib";
        QStringList bare;  // the captions without a letter
        for (QWidget* control : shown->fieldControls()) {
            // A switch between inputs is reached with its field's letters, one for each.
            if (auto* change = shown->findChild<QComboBox*>(control->objectName() + "Switch")) {
                QString letters;
                for (const FieldDefinition& definition : shown->definition().fields) {
                    letters += definition.name == control->objectName()
                                   ? definition.alternativeLetters
                                   : QString();
                }
                QCOMPARE(letters.size(), change->count());
                for (int i = change->count() - 1; i >= 0; --i) {
                    QVERIFY2(!taken.contains(letters[i]), qPrintable(letters));
                    taken += letters[i];
                    alt(letters[i]);
                    QCOMPARE(focusName(), control->objectName());
                    QVERIFY(selected(control));
                    QCOMPARE(change->currentIndex(), i);
                    QCOMPARE(control->accessibleName(), change->itemText(i));
                }
                continue;
            }
            if (control->objectName().endsWith("Switch")) {
                continue;
            }
            auto* box = qobject_cast<QCheckBox*>(control);
            const QString caption = captionOf(control);
            const qsizetype amp = caption.indexOf(QLatin1Char('&'));
            if (amp < 0) {
                bare << caption;
                QCOMPARE(control->accessibleName(), caption);
                continue;
            }
            QVERIFY2(amp + 1 < caption.size(), qPrintable(control->objectName()));
            QCOMPARE(control->accessibleName(), QString(caption).remove(amp, 1));
            const QChar letter = caption.at(amp + 1).toLower();
            QVERIFY2(!taken.contains(letter), qPrintable(caption));
            taken += letter;

            const bool ticked = box != nullptr && box->isChecked();
            alt(letter);
            QCOMPARE(focusName(), control->objectName());
            QVERIFY2(selected(control), qPrintable(caption));
            QTRY_VERIFY(box == nullptr || box->isChecked() != ticked);
        }
        // A field goes without a letter only where every letter of its caption is taken.
        for (const QChar c : bare.join(QString()).toLower()) {
            QVERIFY2(!c.isLetter() || c.unicode() > 127 || taken.contains(c),
                     qPrintable(bare.join(',')));
        }
    }

    // Each control as large as it asks, inside the window and not cut off by the column it scrolls
    // in; the window on the screen: what a larger scale or font breaks first.
    void shouldGiveEveryControlItsRoom() {
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        QStringList cramped;
        for (const char* name : {"sheet", "index", "bolt"}) {
            front(window, QString::fromLatin1(name));
            QApplication::processEvents();
            for (QWidget* control : page(name)->findChildren<QWidget*>()) {
                // A table's header and scroll bars are its own to size.
                if (!control->isVisible() || control->objectName().startsWith("qt_") ||
                    qobject_cast<QAbstractItemView*>(control->parentWidget()) != nullptr) {
                    continue;
                }
                const QRect place(control->mapTo(window, QPoint()), control->size());
                // What scrolls up and down need only be inside from side to side.
                const bool within = scrolls(control)
                                        ? place.left() >= 0 && place.right() < window->width()
                                        : window->rect().contains(place);
                // What its children cover is not seen of a control.
                QRegion seen = control->visibleRegion();
                for (const QWidget* inside :
                     control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    seen += inside->isVisible() ? QRegion(inside->geometry()) : QRegion();
                }
                if (control->size().expandedTo(control->minimumSizeHint()) != control->size() ||
                    !within ||
                    (!seen.isEmpty() && seen.boundingRect().width() != control->width())) {
                    cramped << QStringLiteral("%1 %2 %3")
                                   .arg(QLatin1String(name),
                                        QLatin1String(control->metaObject()->className()),
                                        control->objectName());
                }
            }
        }
        QCOMPARE(cramped, QStringList());
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
