// SPDX-License-Identifier: GPL-3.0-or-later
#include <QScopeGuard>
#include <QTextBrowser>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "workshop/HelpWindow.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

namespace {

// The bolt circle with every output it has.
QStringList boltCircle(int count) {
    return QStringLiteral("count=%1 diameter=100 decimals=8 depth=-5 retract=2 feed=100")
        .arg(count)
        .split(u' ');
}

// The kind of what is at the path itself, not what a link names: S_IFREG, S_IFLNK...
mode_t kindAt(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

QStringList everythingIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

}  // namespace

// The window on a failing machine, and the faults a new user found in it.
class FaultsTest : public WindowFixture {
    Q_OBJECT

private:
    // The five saves of the page in front by suffix; the fifth is Print to File.
    std::vector<std::pair<QString, std::function<bool(const QString&)>>> saves() {
        return {
            {"csv", [this](const QString& path) { return window->saveCsvTo(path); }},
            {"nc", [this](const QString& path) { return window->saveGcodeTo(path); }},
            {"pdf", [this](const QString& path) { return window->exportPdfTo(path) > 0; }},
            {"svg", [this](const QString& path) { return window->exportPictureTo(path); }},
            {"printed.pdf",
             [this](const QString& path) {
                 QPrinter printer(QPrinter::HighResolution);
                 printer.setOutputFormat(QPrinter::PdfFormat);
                 printer.setOutputFileName(path);
                 return window->printTo(printer) > 0;
             }},
        };
    }

private slots:
    void initTestCase() { isolateSettings(folder.filePath("settings")); }
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    void shouldKeepTheOldFileWhenTheDiskIsFull_data() {
        QTest::addColumn<bool>("ownDisk");
        QTest::addColumn<QString>("reason");
        QTest::newRow("an 80 kB disk") << true << "No space left on device";
        QTest::newRow("a file size limit of 64 kB") << false << "File too large";
    }

    // 3000 holes fit nowhere (the G-code, the smallest, is 81 kB): each save says why in the
    // system's words, the old file stays, nothing is left. 7 holes fit (a PDF takes 2 x 36 kB).
    void shouldKeepTheOldFileWhenTheDiskIsFull() {
        QFETCH(bool, ownDisk);
        QFETCH(QString, reason);
        const QString disk = folder.filePath("disk");
        QVERIFY(QDir().mkpath(disk));
        rlimit fileSize{};
        getrlimit(RLIMIT_FSIZE, &fileSize);
        const auto restore = qScopeGuard([&] {
            ownDisk ? static_cast<void>(::umount2(QFile::encodeName(disk).constData(), MNT_DETACH))
                    : static_cast<void>(setrlimit(RLIMIT_FSIZE, &fileSize));
        });
        if (ownDisk) {
            if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=80k") !=
                0) {
                QSKIP("mounting a disk of its own needs root");
            }
        } else {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit = fileSize;
            limit.rlim_cur = 64 * 1024;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        }
        fillPage(front(window, "bolt"), boltCircle(3000));
        for (const auto& [suffix, save] : saves()) {
            const QString path = QDir(disk).filePath("old." + suffix);
            QVERIFY(writeFile(path, "old\n"));
            MessageAnswerer answerer;
            QVERIFY(!save(path));
            QCOMPARE(answerer.messages, QStringList{"Could not save " + path + ": " + reason});
            QCOMPARE(bytesOf(path), QByteArray("old\n"));
        }
        QCOMPARE(everythingIn(disk),
                 (QStringList{"old.csv", "old.nc", "old.pdf", "old.printed.pdf", "old.svg"}));

        const QByteArray csv = runTable(toolWords("bolt", boltCircle(7).mid(0, 3), {"--csv"})).out;
        fillPage(front(window, "bolt"), boltCircle(7));
        for (const auto& [suffix, save] : saves()) {
            const QString path = QDir(disk).filePath("old." + suffix);
            QVERIFY2(save(path), qPrintable(suffix));
            QVERIFY(suffix == "csv" ? bytesOf(path) == csv : bytesOf(path) != "old\n");
            QVERIFY(QFile::remove(path));
        }
    }

    void shouldReplaceNothingButARegularFile_data() {
        QTest::addColumn<mode_t>("kind");
        QTest::addColumn<mode_t>("named");  // what a link names
        QTest::newRow("a named pipe") << mode_t{S_IFIFO} << mode_t{0};
        QTest::newRow("a link to a device") << mode_t{S_IFLNK} << mode_t{S_IFCHR};
        QTest::newRow("a link to a file") << mode_t{S_IFLNK} << mode_t{S_IFREG};
    }

    // Each save refuses what is not a regular file, leaving it and nothing beside it; a link to a
    // regular file is saved through and stays a link.
    void shouldReplaceNothingButARegularFile() {
        QFETCH(mode_t, kind);
        QFETCH(mode_t, named);
        fillPage(front(window, "bolt"), boltCircle(7));
        for (const auto& [suffix, save] : saves()) {
            QTemporaryDir place;
            const QString path = place.filePath("x." + suffix);
            const QByteArray name = QFile::encodeName(path);
            const QString target = place.filePath("target");
            const QByteArray linked = QFile::encodeName(target);
            const bool made = kind == S_IFIFO ? ::mkfifo(name.constData(), 0666) == 0
                              : kind == S_IFCHR
                                  ? ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0
                                  : (named == S_IFREG ? writeFile(target, "old\n")
                                                      : ::mknod(linked.constData(), S_IFCHR | 0666,
                                                                makedev(1, 3)) == 0) &&
                                        ::symlink(linked.constData(), name.constData()) == 0;
            if (!made) {
                QSKIP("making a device needs root");
            }
            const QStringList before = everythingIn(place.path());
            MessageAnswerer answerer;
            const bool regular = named == S_IFREG;
            QCOMPARE(save(path), regular);
            QCOMPARE(answerer.messages, regular ? QStringList()
                                                : QStringList{"Could not save " + path +
                                                              ": it is not a regular file"});
            QCOMPARE(kindAt(path), kind);
            QCOMPARE(kindAt(target), named);
            QCOMPARE(everythingIn(place.path()), before);
            QVERIFY(!regular || bytesOf(target).size() > 100);
        }
    }

    void shouldSayOnceThatTheInputsWillNotBeRemembered_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("the settings' folder a plain file") << "plain" << "Not a directory";
        QTest::newRow("settings that can be written") << "" << "";
        // clang-format on
    }

    // Settings that cannot be written: said once as the window starts, nothing more as it closes.
    void shouldSayOnceThatTheInputsWillNotBeRemembered() {
        QFETCH(QString, settings);
        QFETCH(QString, reason);
        delete window;
        window = nullptr;
        const QString place = folder.filePath("config-" + settings);
        const auto restore = qScopeGuard([&] {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                               folder.filePath("settings"));
        });
        QVERIFY(settings == "plain" ? writeFile(place, {}) : QDir().mkpath(place));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, place);
        const QString file = QSettings().fileName();

        MessageAnswerer answerer;
        window = freshWindow(false);
        const QStringList said{
            QStringLiteral("The inputs will not be remembered for the next start: the settings "
                           "file %1 cannot be written (%2).")
                .arg(file, reason)};
        QTRY_COMPARE(answerer.messages, reason.isEmpty() ? QStringList() : said);
        QTest::keyClicks(child<QLineEdit>(window->currentPage(), "count"), "2");
        QTRY_VERIFY(window->currentPage()->isCurrent());
        window->close();
        QTest::qWait(200);
        QCOMPARE(answerer.messages, reason.isEmpty() ? QStringList() : said);
        QCOMPARE(QFile::exists(file), reason.isEmpty());
    }

    void shouldRefuseATextLongerThanTheFieldWhole_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("most");
        // clang-format off
        QTest::newRow("a count") << "sheet" << "count" << "Count" << 24;
        QTest::newRow("a list of gears") << "index" << "gears" << "Change gears" << 384;
        QTest::newRow("a list of plates") << "index" << "plates" << "Plates" << 768;
        // clang-format on
    }

    // A paste too long is refused whole (cut, 25 characters that say 70 would say 7); the longest
    // the field holds is taken, one key more refused the same way.
    void shouldRefuseATextLongerThanTheFieldWhole() {
        QFETCH(QString, page);
        QFETCH(QString, field);
        QFETCH(QString, caption);
        QFETCH(int, most);
        CalculatorPage* shown = front(window, page);
        auto* list = qobject_cast<QComboBox*>(child<QWidget>(shown, field));
        QLineEdit* edit = list != nullptr ? list->lineEdit() : child<QLineEdit>(shown, field);
        const QString before = edit->text();
        const QString refused = QStringLiteral(
                                    "%1 takes at most %2 characters: the longer text was refused "
                                    "and the field left as it was.")
                                    .arg(caption)
                                    .arg(most);
        const auto paste = [edit](const QString& text) {
            QApplication::clipboard()->setText(text);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        };
        paste(QString(most, QLatin1Char('0')).append("70").right(most + 1));
        QCOMPARE(edit->text(), before);
        QCOMPARE(shown->messageFor(field), refused);

        const QString longest =
            QString(most, QLatin1Char('0')).append(QLatin1Char('7')).right(most);
        paste(longest);
        QCOMPARE(edit->text(), longest);
        QVERIFY(shown->messageFor(field) != refused);
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_1);
        QCOMPARE(edit->text(), longest);
        QCOMPARE(shown->messageFor(field), refused);
    }

    void shouldReadAValueAsTheToolReadsItBare_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("pasted");  // over the count, after the fields
        QTest::addColumn<QStringList>("tool");
        // Blanks and line breaks round a value no part of it; an empty half of the centre 0.
        // clang-format off
        QTest::newRow("count pasted with its line break") << "sheet" << QStringList{"ratio=90", "dial=240"} << "12\n" << QStringList{"sheet", "--ratio=90", "--dial=240", "12"};
        QTest::newRow("centre with blanks") << "bolt" << QStringList{"count=6", "diameter=100", "centre= 50 ,-20\t"} << "" << QStringList{"coords", "--diameter=100", "--centre=50,-20", "6"};
        QTest::newRow("centre Y empty") << "bolt" << QStringList{"count=6", "diameter=100", "centre=10,"} << "" << QStringList{"coords", "--diameter=100", "--centre=10,0", "6"};
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

    // Ctrl+G says what a drilling program is missing, going there.
    void shouldSayWhyThereIsNoGcode() {
        CalculatorPage* bolt = front(window, "bolt");
        fillPage(bolt, {"count=6", "diameter=100", "depth=-5"});
        const QString reason = QStringLiteral(
            "A drilling program needs “Retract plane”, the Z where each hole's feed starts");
        QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(window->statusBar()->currentMessage(), "No G-code from this input: " + reason);
        QTRY_COMPARE(QApplication::focusWidget(), field("bolt", "retract"));
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
        // Its handler set: SIGTERM is signal 15, bit 14 of SigCgt.
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

    // Help explains each field in the window's words; F1 opens it at the field's entry.
    void shouldExplainEachFieldInHelp() {
        front(window, "bolt");
        field("bolt", "feed")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        auto* help = child<HelpWindow>(window, "helpWindow");
        QTRY_VERIFY(help->isVisible());
        QCOMPARE(help->shownEntry(), "bolt-feed");
        const QString text = child<QTextBrowser>(help, "helpText")->toPlainText();
        QVERIFY(!text.contains("--"));
        // A field's limits and default, as each field's entry has them.
        for (const char* line :
             {"A whole number of holes from 2 to 10000",
              "The drilling feed, such as 100. A number above 0.", "A new page starts at 127."}) {
            QVERIFY2(text.contains(QString::fromUtf8(line)), line);
        }
    }
};

MORVANTA_WINDOW_TEST(FaultsTest)
#include "FaultsTest.moc"
