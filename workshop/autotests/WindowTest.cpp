// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QScrollArea>
#include <QSemaphore>

#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// The window as a whole: what it remembers, the keyboard, what a page shows of its sheet. Also run
// at QT_SCALE_FACTOR=1.5, where every control must still have its room.
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

    // Fields, boxes, lists, a switch, text typed in a list, the page in front, bad input with its
    // message and a Reset are remembered.
    void shouldRememberTheInputsAndThePageAcrossARestart() {
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

        QCOMPARE(sheetText(page("sheet")),
                 runTable({"sheet", "--ratio=40", "--resolution=10s", "127"}).out);
        QCOMPARE(sheetText(page("bolt")),
                 runTable({"coords", "--radius=100", "--cw", "--zero=north", "6"}).out);
        QCOMPARE(window->currentPage(), page("index"));
        QCOMPARE(field<QComboBox>("index", "plates")->currentText(), "Brown & Sharpe/17");
        QVERIFY(!page("index")->messageFor("plates").isEmpty());
        QCOMPARE(sheetText(page("index")), QByteArray());

        child<QAction>(window, "resetPage")->trigger();
        QCOMPARE(focusName(), "count");
        // Closed straight after a keystroke, 10000 holes still at work.
        field("bolt", "count")->setText("10000");
        restart();
        QCOMPARE(field("bolt", "count")->text(), "10000");
        QCOMPARE(field<QComboBox>("index", "plates")->currentData(), "bs");
        QTRY_VERIFY(page("index")->isCurrent());
    }

    // A bad key shows its message, the greyed sheet's inputs named; Enter from another field
    // computes and goes to the field at fault, its text selected.
    void shouldPointAtTheFaultAsTypedAndOnEnter() {
        CalculatorPage* sheet = page("sheet");
        QSignalSpy computed(sheet, &CalculatorPage::computed);
        auto* ratio = field("sheet", "ratio");
        auto* message = child<QLabel>(sheet, "message");
        ratio->setFocus();
        QTest::keyClick(ratio, Qt::Key_X);
        sheet->finishComputing();
        QCOMPARE(message->text(), sheet->messageFor("ratio"));
        QVERIFY(message->isVisible() && message->text().endsWith("90x is not a number"));
        QCOMPARE(child<QLabel>(sheet, "status")->text().remove(QChar(0x200B)),
                 QStringLiteral("The input is not valid. Shown greyed: the last good sheet, for "
                                "Count: 7; Worm ratio: 90; Dial graduations: 240."));
        field("sheet", "count")->setFocus();
        QTest::keyClick(field("sheet", "count"), Qt::Key_Enter);
        QCOMPARE(computed.count(), 2);
        QCOMPARE(focusName(), "ratio");
        QCOMPARE(ratio->selectedText(), "90x");
    }

    void shouldWorkFromTheKeyboard_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QChar>("tab");  // the letter that brings it to the front, with Alt
        QTest::addColumn<QString>("title");
        QTest::newRow("sheet") << "sheet" << QChar(u's') << "Setting sheet";
        QTest::newRow("index") << "index" << QChar(u'i') << "Index plate";
        QTest::newRow("bolt") << "bolt" << QChar(u'b') << "Bolt circle";
    }

    // Alt and the tab's letter brings a page to the front; Tab goes through fields, sheet, buttons;
    // each field has a letter of its own reaching it (a box toggled), text selected, and is named
    // by its caption for assistive technology (a switch's field by the alternative in use).
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
        for (QWidget* control : shown->fieldControls()) {
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
            QCOMPARE(control->accessibleName(), QString(caption).remove(QLatin1Char('&')));
            if (amp < 0) {
                continue;
            }
            QVERIFY2(amp + 1 < caption.size(), qPrintable(control->objectName()));
            const QChar letter = caption.at(amp + 1).toLower();
            QVERIFY2(!taken.contains(letter), qPrintable(caption));
            taken += letter;

            const bool ticked = box != nullptr && box->isChecked();
            alt(letter);
            QCOMPARE(focusName(), control->objectName());
            QVERIFY2(selected(control), qPrintable(caption));
            QTRY_VERIFY(box == nullptr || box->isChecked() != ticked);
        }
    }

    // Each control as large as it asks, inside the window, not cut off by the column it scrolls in.
    void shouldGiveEveryControlItsRoom() {
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        QStringList cramped;
        for (const char* name : {"sheet", "index", "bolt"}) {
            front(window, QString::fromLatin1(name));
            QApplication::processEvents();
            for (QWidget* control : page(name)->findChildren<QWidget*>()) {
                if (!control->isVisible() || control->objectName().startsWith("qt_") ||
                    qobject_cast<QAbstractItemView*>(control->parentWidget()) != nullptr) {
                    continue;
                }
                const QRect place(control->mapTo(window, QPoint()), control->size());
                const bool within = scrolls(control)
                                        ? place.left() >= 0 && place.right() < window->width()
                                        : window->rect().contains(place);
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

    // Columns named with units; cells copied tab-separated, a line a row.
    void shouldCopyWhatIsSelectedAsText() {
        CalculatorPage* sheet = front(window, "sheet");
        fillPage(sheet, {"count=7", "ratio=90", "dial=240"});
        auto* view = child<QTableView>(sheet, "result");
        const QAbstractItemModel* model = view->model();
        QStringList header;
        for (int column = 0; column < model->columnCount(); ++column) {
            header.append(model->headerData(column, Qt::Horizontal).toString());
        }
        QCOMPARE(header, (QStringList{"Hole", "Angle (°'\")", "Turns", "Dial (graduations)",
                                      "Error (\")"}));

        view->selectionModel()->select(QItemSelection(model->index(2, 1), model->index(3, 2)),
                                       QItemSelectionModel::ClearAndSelect);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "102°51'00\"\t25\n154°17'00\"\t38\n");
    }

    // A long call runs off the window's thread, keeping the last sheet (greyed after a while);
    // edits meanwhile worked out once, the latest only.
    void shouldKeepTypingWhileALongSheetIsMade() {
        auto release = std::make_shared<QSemaphore>();
        auto made = std::make_shared<QStringList>();
        CalculatorPage page(countPage([release, made](const QString& count) {
            if (count.toInt() >= 2) {
                release->acquire();
            }
            made->append(count);
            return countSheet(count);
        }));
        page.show();
        auto* count = child<QLineEdit>(&page, "count");
        count->setText("1");
        page.finishComputing();
        QVERIFY(page.isCurrent());

        count->setText("2");
        QVERIFY(page.isWorking() && !page.isCurrent());
        count->setText("3");
        count->setText("4");
        QCOMPARE(QByteArray::fromStdString(page.output()->text()), QByteArray("1\n"));
        QTRY_COMPARE(child<QWidget>(&page, "result")->property("stale").toBool(), true);
        release->release(2);
        QTRY_VERIFY(page.isCurrent());
        QCOMPARE(*made, (QStringList{"", "1", "2", "4"}));
        QCOMPARE(child<QLabel>(&page, "answer")->text(), "4");
        QCOMPARE(child<QWidget>(&page, "result")->property("stale").toBool(), false);
    }
};

MORVANTA_WINDOW_TEST(WindowTest)
#include "WindowTest.moc"
