// SPDX-License-Identifier: GPL-3.0-or-later
// Times a keystroke on Morvanta Workshop's pages at the largest count of each, on the real
// window: from the key pressed to the window drawn again ("Keystroke"), and to the window drawn
// with the sheet of the new input ("KeystrokeToSheet"), which is the same where the engine's call
// ends within a frame and later where it runs on in the background. Each iteration types one key
// into a field other than the count, so that every key makes the whole sheet again: a figure of
// the start angle and then Backspace, or the worm ratio's last digit away and back. Beside the
// wall-clock time, the processor time of the window's thread (window_thread_ms): what the
// keystroke costs the window, however busy the machine is with other work.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/ui/workshop_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <ctime>
#include <memory>

#include "workshop/CalculatorPage.h"
#include "workshop/WorkshopWindow.h"

namespace {

using morvanta::workshop::CalculatorPage;
using morvanta::workshop::WorkshopWindow;

struct Case {
    const char* page;
    QStringList fields;  // "name=value", the others empty
    const char* typedInto;
    Qt::Key key;  // typed and then taken back with Backspace
};

// The window, made once the application is.
std::unique_ptr<WorkshopWindow> theWindow;

WorkshopWindow& window() {
    if (!theWindow) {
        theWindow = std::make_unique<WorkshopWindow>();
        theWindow->resize(1120, 760);
        theWindow->show();
        if (!QTest::qWaitForWindowExposed(theWindow.get())) {
            qWarning("the window was not shown");
        }
    }
    return *theWindow;
}

// What the event loop does in a frame: the posted events, the sheet of a call that has ended
// among them, and the parts of the window they changed drawn.
void nextFrame() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CalculatorPage* prepare(const Case& c) {
    WorkshopWindow& shown = window();
    CalculatorPage* page = shown.page(QString::fromLatin1(c.page));
    shown.findChild<QTabWidget*>(QStringLiteral("pages"))->setCurrentWidget(page);
    for (QWidget* control : page->fieldControls()) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            QString value;
            for (const QString& field : c.fields) {
                value = field.section(u'=', 0, 0) == edit->objectName() ? field.section(u'=', 1)
                                                                        : value;
            }
            edit->setText(value);
        }
    }
    page->finishComputing();
    nextFrame();
    window().repaint();
    return page;
}

// The processor time the window's thread has taken: what a keystroke costs it, whatever else the
// machine runs meanwhile (the wall-clock time of a shared machine is as much the others').
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 0;
    double windowThread = 0;
};

// One keystroke, alternately the key and Backspace, and the window drawn; with `toSheet` also
// the sheet of the new input drawn once the engine has answered.
Timing keystroke(const Case& c, CalculatorPage* page, bool typeKey, bool toSheet) {
    auto* edit = page->findChild<QLineEdit*>(QString::fromLatin1(c.typedInto));
    const double threadStart = threadSeconds();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(edit, typeKey ? c.key : Qt::Key_Backspace);
    nextFrame();
    if (toSheet && page->isWorking()) {
        QEventLoop answered;
        QObject::connect(page, &CalculatorPage::computed, &answered, &QEventLoop::quit);
        answered.exec();
        nextFrame();
    }
    const Timing timing{static_cast<double>(clock.nsecsElapsed()) / 1e9,
                        threadSeconds() - threadStart};
    // The sheet of one keystroke is not left to run into the next's timing.
    page->finishComputing();
    nextFrame();
    return timing;
}

void BM_Keystroke(benchmark::State& state, Case c, bool toSheet) {
    CalculatorPage* page = prepare(c);
    bool typeKey = true;
    double windowThread = 0;
    for (auto _ : state) {
        const Timing timing = keystroke(c, page, typeKey, toSheet);
        state.SetIterationTime(timing.wall);
        windowThread += timing.windowThread;
        typeKey = !typeKey;
    }
    state.counters["window_thread_ms"] =
        benchmark::Counter(windowThread * 1000, benchmark::Counter::kAvgIterations);
    state.counters["current"] = page->isCurrent() ? 1 : 0;
}

const Case kSheet{"sheet", {"count=10000", "ratio=90", "dial=240"}, "start", Qt::Key_5};
const Case kIndex{"index", {"count=10000", "ratio=4"}, "ratio", Qt::Key_0};
const Case kIndexHuge{"index", {"count=999999999", "ratio=4"}, "ratio", Qt::Key_0};
const Case kBolt{"bolt", {"count=10000", "diameter=100"}, "start", Qt::Key_5};
// A radius of nine digits and nine decimals at eight decimals: nearly every coordinate is decided
// in fixed point, the bolt circle's slowest plan.
const Case kBoltWide{
    "bolt", {"count=10000", "diameter=487654321.987654321", "decimals=8"}, "start", Qt::Key_5};
// The patterns turned by 5°, which moves every hole; the dividing head's pages with the worm
// ratio made 40 from 4, which plans the indexing and its table again.
const Case kLine{"line", {"count=10000", "pitch=1"}, "angle", Qt::Key_5};
const Case kGrid{"grid", {"rows=100", "columns=100", "pitchX=1", "pitchY=1"}, "angle", Qt::Key_5};
const Case kAngle{"angle", {"angle=1", "repeat=10000", "ratio=4"}, "ratio", Qt::Key_0};
const Case kGear{"gear", {"count=10000", "module=2", "ratio=4"}, "ratio", Qt::Key_0};
const Case kFlats{"flats", {"count=1000", "diameter=30", "ratio=4"}, "ratio", Qt::Key_0};

void keystrokes(const char* name, const Case& c) {
    for (const bool toSheet : {false, true}) {
        benchmark::RegisterBenchmark(
            (std::string(toSheet ? "KeystrokeToSheet/" : "Keystroke/") + name).c_str(),
            [c, toSheet](benchmark::State& state) { BM_Keystroke(state, c, toSheet); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Settings of the bench's own, so that a user's Workshop keeps its inputs.
    QCoreApplication::setOrganizationName(QStringLiteral("MorvantaBench"));
    QCoreApplication::setApplicationName(QStringLiteral("morvanta-workshop-bench"));
    keystrokes("sheet_10000", kSheet);
    keystrokes("index_10000", kIndex);
    keystrokes("index_999999999", kIndexHuge);
    keystrokes("bolt_10000", kBolt);
    keystrokes("bolt_10000_wide", kBoltWide);
    keystrokes("line_10000", kLine);
    keystrokes("grid_100x100", kGrid);
    keystrokes("angle_10000_steps", kAngle);
    keystrokes("gear_10000", kGear);
    keystrokes("flats_1000", kFlats);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theWindow.reset();
    return 0;
}
