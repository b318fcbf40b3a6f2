// SPDX-License-Identifier: GPL-3.0-or-later
#include <QBuffer>
#include <QPdfWriter>

#include <cstdio>
#include <new>
#include <optional>
#include <vector>

#include "ui/autotests/UiTestSupport.h"
#include "workshop/Memory.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;
using morvanta::testing::capAboveInUse;
using morvanta::testing::capAddressSpace;

namespace {

// The window as left a moment after the last edit, its own timers made due at once.
void settle(QWidget* window) {
    if (!QTest::qWaitForWindowExposed(window)) {
        qWarning("the window was not shown");
    }
    for (QTimer* timer : window->findChildren<QTimer*>()) {
        if (timer->isActive() && timer->isSingleShot()) {
            const int interval = timer->interval();
            timer->start(0);
            if (!QTest::qWaitFor([timer] { return !timer->isActive(); })) {
                qWarning("a timer of the window did not run out");
            }
            timer->setInterval(interval);
        }
    }
    window->repaint();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Memory short for the work alone: all but `kilobytes` of the room taken until the next call.
void leaveOnly(QWidget* window, int kilobytes) {
    constexpr std::size_t kBlock = 4096;
    static std::vector<void*> taken;
    taken.reserve(std::size_t{1} << 20);
    // Given back first: settling paints, and Qt's painting does not survive running out.
    for (void* block : taken) {
        std::free(block);
    }
    taken.clear();
    capAddressSpace(0);
    settle(window);
    capAboveInUse(0);
    while (void* block = std::malloc(kBlock)) {
        taken.push_back(block);
    }
    for (std::size_t left = 0; left < std::size_t(kilobytes) * 1024 && !taken.empty();
         left += kBlock) {
        std::free(taken.back());
        taken.pop_back();
    }
}

// The file the action wrote, against what the page makes with memory plentiful again.
QString savedFile(const QString& path, const QByteArray& expected) {
    const QByteArray bytes = bytesOf(path);
    if (!QFile::exists(path)) {
        return "no file";
    }
    if (expected.isNull()) {
        const bool whole = path.endsWith(".picture")
                               ? bytes.startsWith("<?xml") && bytes.trimmed().endsWith("</svg>")
                               : bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
        return whole ? "file" : "broken file";
    }
    return bytes == expected ? "file" : "other file";
}

void act(WorkshopWindow* window, const QString& action, const QString& path) {
    if (action == "copy" || action == "preview") {
        child<QAction>(window, action == "copy" ? "copy" : "print")->trigger();
    } else if (action == "pdf") {
        window->exportPdfTo(path);
    } else if (action == "csv") {
        window->saveCsvTo(path);
    } else if (action == "gcode") {
        window->saveGcodeTo(path);
    } else if (action == "picture") {
        window->exportPictureTo(path);
    }
}

// What came of an action, and whether a temporary file was left beside the file.
QString outcomeOf(CalculatorPage* shown, const MessageAnswerer& answerer, const QString& action,
                  const QString& path, const QByteArray& clipboard) {
    QString outcome;
    if (!shown->isCurrent()) {
        outcome = "no sheet";
    } else if (action == "copy") {
        outcome = clipboard == "kept"                                               ? "kept"
                  : clipboard == QByteArray::fromStdString(shown->output()->text()) ? "copied"
                                                                                    : "other";
    } else if (action == "preview") {
        outcome = answerer.previewed < 0 ? "no preview"
                                         : QStringLiteral("%1 pages").arg(answerer.previewed);
    } else {
        const auto& writer = action == "csv"     ? shown->output()->csv
                             : action == "gcode" ? shown->output()->gcode
                                                 : nullptr;
        outcome = savedFile(path, writer ? QByteArray::fromStdString(writer()) : QByteArray());
    }
    const bool left =
        !QFileInfo(path).dir().entryList({".morvanta-*"}, QDir::Files | QDir::Hidden).isEmpty();
    return outcome + (left ? " and a temporary file" : QString());
}

// In a child under the cap ("+": what the last action freed taken again first), the page filled
// and each action tried; `recovering`, memory comes back and the sheet is copied between them.
// Prints for each action its messages, "|", what came of it.
int runScenario(bool recovering, const QString& actions, const QString& limit,
                const QString& folder, const QString& page, const QStringList& fields) {
    isolateSettings(folder);
    WorkshopWindow* window = freshWindow();
    CalculatorPage* shown = front(window, page);
    fillPage(shown, fields);
    MessageAnswerer answerer;
    for (const QString& action : actions.split(QLatin1Char(','))) {
        const QString path = QDir(folder).filePath("out." + action);
        QApplication::clipboard()->setText("kept");
        const qsizetype said = answerer.messages.size();
        answerer.previewed = -1;
        limit.startsWith(QLatin1Char('+')) ? leaveOnly(window, limit.toInt())
                                           : capAddressSpace(limit.toLongLong());
        act(window, action, path);
        const QByteArray clipboard =
            action == "copy" ? morvanta::testing::clipboardSeenByAnotherProgram() : QByteArray();
        capAddressSpace(0);
        std::printf("%s|%s\n", qPrintable(answerer.messages.mid(said).join(QLatin1Char(','))),
                    qPrintable(outcomeOf(shown, answerer, action, path, clipboard)));
        if (recovering) {
            act(window, "copy", path);
        }
    }
    delete window;
    return 0;
}

// A file that runs out of memory at the `nth` write holding `marker`, and after it if `always`.
class FailingDevice : public QBuffer {
public:
    FailingDevice(QByteArrayView marker, int nth, bool always)
        : marker_(marker.toByteArray()), nth_(nth), always_(always) {}

protected:
    qint64 writeData(const char* data, qint64 length) override {
        const bool nth = QByteArrayView(data, length).contains(marker_) && ++seen_ == nth_;
        if (nth || (always_ && failed_)) {
            failed_ = true;
            throw std::bad_alloc();
        }
        return QBuffer::writeData(data, length);
    }

private:
    QByteArray marker_;
    int nth_;
    bool always_;
    int seen_ = 0;
    bool failed_ = false;
};

}  // namespace

// Memory running short as the user prints, exports, saves or copies the largest sheet of a page,
// in a child capped as by `ulimit -v`: the result, or a message and a window that lives on.
class MemoryTest : public QObject {
    Q_OBJECT

private slots:
    // Short part way: the painting closed (the PDF ends), or the painter let go; the caller told.
    void shouldCloseThePaintingWhenMemoryRunsShortPartWay() {
        MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER(
            "Qt's PDF writer, left part way by the shortage, drops a few bytes, which the leak "
            "checker would report as ours");
        const std::optional<PrintedSheet> sheet = [] {
            QTemporaryDir folder;
            isolateSettings(folder.path());
            WorkshopWindow window;
            fillPage(front(&window, "sheet"), {"count=200"});
            return window.currentSheet();
        }();
        QVERIFY(sheet.has_value());
        // Short as the document starts, and at the second of its five pages.
        const std::pair<const char*, int> failures[] = {{"", 3}, {"/Type /Page\n", 2}};
        for (const auto& [marker, nth] : failures) {
            for (const bool always : {false, true}) {
                if (always && MORVANTA_ADDRESS_SANITIZER) {
                    continue;  // The painter let go open is never freed, by design.
                }
                FailingDevice file(marker, nth, always);
                file.open(QIODevice::WriteOnly);
                bool ranShort = false;
                {
                    QPdfWriter writer(&file);
                    try {
                        printSheet(writer, *sheet);
                    } catch (const std::bad_alloc&) {
                        ranShort = true;
                    }
                }
                QVERIFY(ranShort);
                QCOMPARE(file.data().trimmed().endsWith("%%EOF"), !always);
            }
        }
    }

    // The largest sheets of three kinds, at the most decimals, with the actions they offer: a table
    // and its G-code, a plan with no table, a picture of ten thousand holes and their path. Every
    // action runs short in the window's own code, whichever page made the sheet.
    void shouldNeverAbortShortOfMemory_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("limit");
        const QStringList all{"preview", "pdf", "csv", "gcode", "copy", "picture"};
        // clang-format off
        const std::tuple<const char*, QStringList, QStringList> largest[] = {
            {"sheet", {"count=10000", "axis=A", "decimals=8"}, all},
            {"index", {"count=999999999", "ratio=40", "plates=bs"}, {"preview", "pdf", "copy", "picture"}},
            {"grid", {"rows=100", "columns=100", "pitch=1.5,2.5", "decimals=8", "depth=-5", "retract=2", "feed=100"}, all},
        };
        // clang-format on
        // 150 MB, where printing runs short on every page, and a little above what the filled page
        // holds, where every action runs short part way; scripts/memory-limits.sh asks for others.
        QStringList limits;
        for (const QString& megabytes : qEnvironmentVariable("MORVANTA_MEMORY_MEGABYTES", "150")
                                            .split(u',', Qt::SkipEmptyParts)) {
            limits << QString::number(megabytes.toInt() * 1024);
        }
        limits << "+256";
        for (const auto& [name, fields, actions] : largest) {
            for (const QString& limit : limits) {
                QTest::addRow("%s %s, %s kB", name, qPrintable(fields.join(u' ')),
                              qPrintable(limit))
                    << QString::fromLatin1(name) << fields << actions << limit;
            }
        }
    }

    // One shortage after another: the room held for a message goes to the first; later ones said.
    void shouldOutliveOneShortageAfterAnother() {
        MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER(
            "AddressSanitizer reserves the address space that this test caps");
        QTemporaryDir folder;
        const QString seen = QString::fromUtf8(morvanta::testing::runChild(
            {"--scenario", "preview,pdf,csv,copy,preview,pdf,csv,copy", "+256", folder.path(),
             "gear", "count=10000", "module=1", "helix=20"}));
        const QStringList lines = seen.split(QLatin1Char('\n'));
        QVERIFY2(lines.size() == 9 && lines.last() == "status 0", qPrintable(seen));
        QVERIFY2(lines[0].startsWith("Not enough memory to print the sheet."), qPrintable(seen));
        for (const QString& line : lines.mid(1, 7)) {
            QVERIFY2(line.startsWith("Not enough memory to ") || line.startsWith(QLatin1Char('|')),
                     qPrintable(seen));
        }
    }

    // Each action: the result, or the message and nothing changed, or no sheet; never an abort.
    void shouldNeverAbortShortOfMemory() {
        MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER(
            "AddressSanitizer reserves the address space that this test caps");
        QFETCH(QString, page);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, actions);
        QFETCH(QString, limit);
        // clang-format off
        const QMap<QString, std::pair<const char*, const char*>> outcomes = {
            {"preview", {"\\d+ pages", "Not enough memory to print the sheet.\\|no preview"}},
            {"pdf", {"file", "Not enough memory to export the PDF.\\|no file"}},
            {"csv", {"file", "Not enough memory to save the CSV.\\|no file"}},
            {"gcode", {"file", "Not enough memory to save the G-code.\\|no file"}},
            {"copy", {"copied", "Not enough memory to copy the sheet.\\|kept"}},
            {"picture", {"file", "Not enough memory to export the picture.\\|no file"}},
        };
        // clang-format on
        QTemporaryDir folder;
        const QString seen = QString::fromUtf8(morvanta::testing::runChild(
            QStringList{"--each", actions.join(QLatin1Char(',')), limit, folder.path(), page} +
            fields));
        const QStringList lines = seen.split(QLatin1Char('\n'));
        QVERIFY2(lines.size() == actions.size() + 1 && lines.last() == "status 0",
                 qPrintable(seen));
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const auto [result, shortage] = outcomes.value(actions[i]);
            const QRegularExpression expected(
                QStringLiteral("^(\\|%1|%2|\\|no sheet)$").arg(result, shortage));
            QVERIFY2(expected.match(lines[i]).hasMatch(), qPrintable(actions[i] + ": " + seen));
            // What came of each action, for scripts/memory-limits.sh's table.
            qInfo("%s: %s", qPrintable(actions[i]), qPrintable(lines[i]));
        }
    }
};

int main(int argc, char* argv[]) {
    // As main() does, capped before Qt starts.
    if (argc >= 6 && (qstrcmp(argv[1], "--scenario") == 0 || qstrcmp(argv[1], "--each") == 0)) {
        shareOneMemoryArena();
        if (argv[3][0] != '+') {
            capAddressSpace(QByteArray(argv[3]).toLongLong());
        }
        QApplication app(argc, argv);
        const QStringList words = QApplication::arguments();
        return runScenario(words[1] == "--each", words[2], words[3], words[4], words[5],
                           words.mid(6));
    }
    QApplication app(argc, argv);
    MemoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MemoryTest.moc"
