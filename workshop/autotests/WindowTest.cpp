// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
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

    // Closed as a user closes it and started again on the settings it left.
    void restart() {
        window->close();
        delete window;
        window = freshWindow(false);
    }

    CalculatorPage* page(const char* name) { return window->page(QString::fromLatin1(name)); }
    template <typename T = QLineEdit>
    T* field(const char* page, const char* name) {
        return child<T>(this->page(page), QString::fromLatin1(name));
    }

    // The named control that has the focus: an editable list's own line, which has no name of
    // ours, answers with the list's.
    static QString focusName() {
        for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))) {
                return w->objectName();
            }
        }
        return {};
    }

private slots:
    void initTestCase() { isolateSettings(folder.path()); }
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    // Text fields, boxes, lists and text typed into a list, and the page in front. Bad input
    // comes back with its message and no sheet, as the defaults' was never the user's; a Reset
    // to the defaults is remembered too.
    void shouldRememberTheInputsAndThePageAcrossARestart() {
        retype(field("sheet", "count"), QStringLiteral("127"));
        retype(field("sheet", "ratio"), QStringLiteral("40"));
        retype(field("sheet", "dial"), QString());
        retype(field("sheet", "resolution"), QStringLiteral("10s"));
        front(window, QStringLiteral("bolt"));
        field<QCheckBox>("bolt", "cw")->click();
        field<QComboBox>("bolt", "zero")->setCurrentIndex(1);
        front(window, QStringLiteral("index"));
        QTest::keyClicks(field<QComboBox>("index", "plates")->lineEdit(), QStringLiteral("/17"));
        restart();
        QVERIFY(QFile(QSettings().fileName()).size() > 0);

        QCOMPARE(shownText(page("sheet")),
                 runTable({"sheet", "--ratio=40", "--resolution=10s", "127"}).out);
        QCOMPARE(field("sheet", "dial")->text(), QString());
        QVERIFY(field<QCheckBox>("bolt", "cw")->isChecked());
        QCOMPARE(field<QComboBox>("bolt", "zero")->currentData(), QStringLiteral("north"));
        QCOMPARE(window->currentPage(), page("index"));
        QCOMPARE(field<QComboBox>("index", "plates")->currentText(),
                 QStringLiteral("Brown & Sharpe/17"));
        QCOMPARE(page("index")->messageFor(QStringLiteral("plates")),
                 QString::fromUtf8(runTable({"index", "--plates=Brown & Sharpe/17", "127"}).err)
                     .trimmed());
        QCOMPARE(shownText(page("index")), QByteArray());
        QCOMPARE(child<QLabel>(page("index"), QStringLiteral("status"))->text(),
                 QStringLiteral("The input is not valid, so there is no sheet yet."));
        QVERIFY(!actionOn(window, "copy"));

        child<QAction>(window, QStringLiteral("resetPage"))->trigger();
        QCOMPARE(focusName(), QStringLiteral("count"));
        restart();
        QCOMPARE(field<QComboBox>("index", "plates")->currentData(), QStringLiteral("bs"));
        QVERIFY(page("index")->isCurrent());
    }

    // Return or Enter computes from anywhere on the page and puts the cursor in the field at
    // fault: from a text field, an editable list (which must not take the text as an item)
    // and the sheet itself.
    void shouldComputeOnEnterAndPointAtTheFault() {
        QSignalSpy computed(page("sheet"), &CalculatorPage::computed);
        field("sheet", "ratio")->setText(QStringLiteral("0"));
        field("sheet", "count")->setFocus();
        QTest::keyClick(field("sheet", "count"), Qt::Key_Enter);
        QCOMPARE(computed.count(), 2);
        QCOMPARE(focusName(), QStringLiteral("ratio"));
        QCOMPARE(field("sheet", "ratio")->selectedText(), QStringLiteral("0"));

        front(window, QStringLiteral("index"));
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
        for (const char* name : {"sheet", "index", "bolt"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    // Alt with a tab's letter brings its page to the front; Tab goes through the fields in order,
    // then the sheet, then the buttons; every field has a letter of its own, none taken by a menu
    // or a tab, and Alt with it reaches that field (a box is ticked or cleared); and every field
    // is named for assistive technology by its caption.
    void shouldWorkFromTheKeyboard() {
        QFETCH(QString, name);
        CalculatorPage* shown = window->page(name);
        const auto alt = [this](QChar key) {
            QTest::keyClick(window, key.toLatin1(), Qt::AltModifier);
            QApplication::processEvents();
        };
        alt(shown->definition().title.at(1));
        QCOMPARE(window->currentPage(), shown);

        QStringList fields;
        for (QWidget* control : shown->fieldControls()) {
            fields.append(control->objectName());
        }
        fields.append(QStringLiteral("result"));
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

        QString taken = QStringLiteral("fehsib");
        for (QWidget* control : shown->fieldControls()) {
            auto* box = qobject_cast<QCheckBox*>(control);
            QString caption = box != nullptr ? box->text() : QString();
            for (QLabel* label : shown->findChildren<QLabel*>()) {
                caption = label->buddy() == control ? label->text() : caption;
            }
            const qsizetype amp = caption.indexOf(QLatin1Char('&'));
            QVERIFY2(amp >= 0 && amp + 1 < caption.size(), qPrintable(control->objectName()));
            QCOMPARE(control->accessibleName(), QString(caption).remove(amp, 1));
            const QChar letter = caption.at(amp + 1).toLower();
            QVERIFY2(!taken.contains(letter), qPrintable(caption));
            taken += letter;

            const bool ticked = box != nullptr && box->isChecked();
            alt(letter);
            QCOMPARE(focusName(), control->objectName());
            QTRY_VERIFY(box == nullptr || box->isChecked() != ticked);
        }
        QCOMPARE(child<QWidget>(shown, QStringLiteral("result"))->accessibleName(),
                 QString(shown->definition().title).remove('&'));
    }

    // A first start: the sheet of the defaults in front, the cursor in its first field, and
    // Copy from the keyboard puts on the clipboard what the tool prints.
    void shouldStartOnTheDefaultsSheetAndCopyIt() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Morvanta Workshop"));
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->currentPage(), page("sheet"));
        QTRY_COMPARE(focusName(), QStringLiteral("count"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(),
                 runTable({"sheet", "--ratio=90", "--dial=240", "7"}).out);
    }

    // Each control at least as large as it asks to be, inside the window, and the window on the
    // screen: what a larger scale factor or font would break first.
    void shouldGiveEveryControlItsRoom() {
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        for (const char* name : {"sheet", "index", "bolt"}) {
            front(window, QString::fromLatin1(name));
            QApplication::processEvents();
            for (QWidget* control : page(name)->findChildren<QWidget*>()) {
                const QSize wanted = control->minimumSizeHint();
                const QRect place(control->mapTo(window, QPoint()), control->size());
                QVERIFY2(
                    !control->isVisible() || control->objectName().startsWith("qt_") ||
                        (control->width() >= wanted.width() &&
                         control->height() >= wanted.height() && window->rect().contains(place)),
                    qPrintable(QStringLiteral("%1 \"%2\" on %3")
                                   .arg(control->objectName(), control->property("text").toString(),
                                        name)));
            }
        }
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
