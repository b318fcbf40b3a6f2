// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>

#include "workshop/HelpWindow.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

// The faults a new user found in the window, each with the test that shows it mended.
class FirstUseTest : public WindowFixture {
    Q_OBJECT

private:
    void type(QWidget* into, const QString& text) {
        QTest::keyClicks(into, text);
        window->currentPage()->finishComputing();
    }

private slots:
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    // A long list of plates widens neither the window nor its demand, typed or brought back.
    void shouldNotWidenTheWindowForALongInput() {
        front(window, "index");
        const int least = window->minimumSizeHint().width();
        auto* plates = field<QComboBox>("index", "plates");
        plates->setEditText(sixtyFourCircles());
        page("index")->finishComputing();
        QApplication::processEvents();
        QVERIFY(page("index")->isCurrent());
        for (const bool restarted : {false, true}) {
            if (restarted) {
                restart();
                QCOMPARE(field<QComboBox>("index", "plates")->currentText(), sixtyFourCircles());
            }
            QCOMPARE_LE(window->minimumSizeHint().width(), least);
            QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        }
    }

    void shouldReadAValueAsTheToolReadsItBare_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("pasted");  // over the count, after the fields
        QTest::addColumn<QStringList>("tool");
        // Blanks and line breaks round a value are no part of it; an empty half of the centre is 0.
        // clang-format off
        QTest::newRow("count pasted with its line break") << "sheet" << QStringList{"ratio=90", "dial=240"} << "12\n" << QStringList{"sheet", "--ratio=90", "--dial=240", "12"};
        QTest::newRow("count between blanks") << "sheet" << QStringList{"count= 7 ", "ratio=90", "dial=240"} << "" << QStringList{"sheet", "--ratio=90", "--dial=240", "7"};
        QTest::newRow("centre with blanks") << "bolt" << QStringList{"count=6", "diameter=100", "centre= 50 ,-20\t"} << "" << QStringList{"coords", "--diameter=100", "--centre=50,-20", "6"};
        QTest::newRow("centre Y empty") << "bolt" << QStringList{"count=6", "diameter=100", "centre=10,"} << "" << QStringList{"coords", "--diameter=100", "--centre=10,0", "6"};
        QTest::newRow("centre X empty") << "bolt" << QStringList{"count=6", "diameter=100", "centre=,-5"} << "" << QStringList{"coords", "--diameter=100", "--centre=0,-5", "6"};
        // clang-format on
    }

    void shouldReadAValueAsTheToolReadsItBare() {
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QString, pasted);
        QFETCH(QStringList, tool);
        CalculatorPage* shown = front(window, page);
        fillPage(shown, fields);
        if (!pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(pasted);
            child<QLineEdit>(shown, "count")->paste();
        }
        QCOMPARE(sheetText(shown), runTable(tool).out);
        QVERIFY(shown->isCurrent());
    }

    // A centre kept as one text by an earlier window comes back split.
    void shouldSplitACentreKeptAsOneText() {
        QSettings kept;
        kept.remove("pages/bolt/centreX");
        kept.remove("pages/bolt/centreY");
        kept.setValue("pages/bolt/centre", "10,-5");
        kept.sync();
        delete window;
        window = freshWindow(false);
        QCOMPARE(field("bolt", "centreX")->text(), "10");
        QCOMPARE(field("bolt", "centreY")->text(), "-5");
    }

    // Return and Enter press the button that has the focus, as Space does.
    void shouldPressAFocusedButtonWithReturnOrEnter() {
        CalculatorPage* sheet = page("sheet");
        QGuiApplication::clipboard()->clear();
        auto* copy = child<QPushButton>(window, "copyButton");
        copy->setFocus();
        QTest::keyClick(copy, Qt::Key_Return);
        QTRY_COMPARE(QGuiApplication::clipboard()->text().toUtf8(), sheetText(sheet));
        field("sheet", "count")->setText("9");
        auto* reset = child<QPushButton>(window, "resetPageButton");
        reset->setFocus();
        QTest::keyClick(reset, Qt::Key_Enter);
        QTRY_COMPARE(field("sheet", "count")->text(), "7");
    }

    // Save G-code only where a page makes G-code; where the input makes none, Ctrl+G says what is
    // missing and puts the cursor there.
    void shouldSayWhyThereIsNoGcode() {
        auto* button = child<QPushButton>(window, "saveGcodeButton");
        front(window, "index");
        QVERIFY(!button->isVisible() && !child<QAction>(window, "saveGcode")->isVisible());
        CalculatorPage* bolt = front(window, "bolt");
        QVERIFY(button->isVisible());
        fillPage(bolt, {"count=6", "diameter=100", "depth=-5"});
        QVERIFY(button->isEnabled());
        const QString reason = QStringLiteral(
            "A drilling program needs “Retract plane”, the Z where each hole's feed starts");
        QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(window->statusBar()->currentMessage(), "No G-code from this input: " + reason);
        QTRY_COMPARE(QApplication::focusWidget(), field("bolt", "retract"));
    }

    // A message has a place of its own: no field moves when one comes or goes.
    void shouldKeepTheFieldsInPlaceForAMessage() {
        CalculatorPage* sheet = page("sheet");
        QApplication::processEvents();
        const auto places = [sheet] {
            QList<QPoint> at;
            for (QWidget* control : sheet->fieldControls()) {
                at.append(control->mapTo(sheet, QPoint()));
            }
            return at;
        };
        const QList<QPoint> before = places();
        field("sheet", "count")->setText("x");
        sheet->finishComputing();
        QApplication::processEvents();
        auto* message = child<QLabel>(sheet, "message");
        QVERIFY(message->isVisible() && !message->text().isEmpty());
        QCOMPARE(places(), before);
        field("sheet", "count")->setText("7");
        sheet->finishComputing();
        QApplication::processEvents();
        QCOMPARE(places(), before);
    }

    // The first save dialog opens in ~/Documents, or in ~ where there is none.
    void shouldFirstSaveInTheHomeFolder() {
        QTemporaryDir home;
        const QByteArray realHome = qgetenv("HOME");
        const QByteArray realConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
        const auto opened = [this] {
            QSettings().remove("files/directory");
            QString folderShown;
            answerNext<QFileDialog>([&folderShown](QFileDialog* dialog) {
                folderShown = dialog->directory().absolutePath();
                dialog->reject();
            });
            child<QAction>(window, "saveCsv")->trigger();
            return folderShown;
        };
        const QString withoutDocuments = opened();
        QDir(home.path()).mkdir("Documents");
        const QString withDocuments = opened();
        qputenv("HOME", realHome);
        realConfig.isEmpty() ? qunsetenv("XDG_CONFIG_HOME")
                             : qputenv("XDG_CONFIG_HOME", realConfig);
        QCOMPARE(withoutDocuments, QDir(home.path()).absolutePath());
        QCOMPARE(withDocuments, QDir(home.filePath("Documents")).absolutePath());
    }

    // Ending the session is Quit: the window's size and the page in front are kept.
    void shouldKeepTheWindowWhenTheSessionEnds() {
        QTemporaryDir config;
        const QString file = config.filePath("Morvanta/morvanta-workshop.conf");
        {
            QSettings before(file, QSettings::IniFormat);
            before.setValue("window/page", 2);
        }
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(MORVANTA_WORKSHOP), {});
        QVERIFY(program.waitForStarted());
        // Its handler set, as the kernel tells: SIGTERM is signal 15, bit 14 of SigCgt.
        const auto handles = [&program] {
            QFile status(QStringLiteral("/proc/%1/status").arg(program.processId()));
            if (!status.open(QIODevice::ReadOnly)) {
                return false;
            }
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("SigCgt:")) {
                    return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> 14 & 1) == 1;
                }
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(handles(), 30000);
        program.terminate();
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QSettings after(file, QSettings::IniFormat);
        QVERIFY(!after.value("window/geometry").toByteArray().isEmpty());
        QCOMPARE(after.value("window/page").toInt(), 2);
    }

    // Help explains every page and field in the window's words; F1 opens it at the field's entry
    // (its page's without one).
    void shouldExplainEachFieldInHelp() {
        front(window, "bolt");
        field("bolt", "feed")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        auto* help = child<HelpWindow>(window, "helpWindow");
        QTRY_VERIFY(help->isVisible());
        QCOMPARE(help->shownEntry(), "bolt-feed");
        const QString text = child<QTextBrowser>(help, "helpText")->toPlainText();
        QVERIFY(!text.contains("--"));
        for (const char* line :
             {"Setting sheet", "Index plate", "Bolt circle", "Worm ratio",
              "A whole number of holes from 2 to 10000", "Diameter or Radius", "Alt+M, Alt+U",
              "Centre X", "The Y of the centre of the circle. A number", "Empty for 0.",
              "The drilling feed, such as 100. A number above 0.", "A new page starts at 127.",
              "Change gears",
              "Prints how to divide the work into "
              "count equal divisions"}) {
            QVERIFY2(text.contains(QString::fromUtf8(line)), line);
        }
        child<QWidget>(page("bolt"), "result")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(help->shownEntry(), "bolt");
    }
};

QTEST_MAIN(FirstUseTest)
#include "FirstUseTest.moc"
