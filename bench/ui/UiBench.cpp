// SPDX-License-Identifier: GPL-3.0-or-later
// Times the real main window from the click on a build button to the table shown in the output
// box and on the clipboard, and the program's start to its window shown; then how long another
// program (xclip) takes to read the last table from the clipboard. Each case runs in a fresh
// process so that its peak resident memory (clipboard transfer included) is its own.
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/ui/ui_bench [runs]

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/DesktopServices.h"
#include "ui/OutputBox.h"
#include "ui/frmMain.h"

namespace {

using morvanta::frmMain;
using morvanta::OutputBox;

long long nowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

long peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Waits until the window has been painted once.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

void waitForFirstPaint(QWidget* window) {
    FirstPaint watcher;
    window->installEventFilter(&watcher);
    while (!watcher.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    window->removeEventFilter(&watcher);
}

// xclip reading the clipboard while this process serves it, as a paste into another program would.
double secondsForAnotherProgramToReadTheClipboard() {
    QProcess xclip;
    xclip.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")});
    while (xclip.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        xclip.waitForFinished(5);
    }
    return xclip.exitCode() == 0 ? static_cast<double>(clock.nsecsElapsed()) / 1e9 : -1.0;
}

// One case in this process: prints the seconds of each run and the peak memory.
int runCase(const QString& button, const QString& box, const QString& text, int runs) {
    auto* window = new frmMain;
    morvanta::desktop::show(window);
    waitForFirstPaint(window);
    window->findChild<QLineEdit*>(box)->setText(text);
    auto* build = window->findChild<QPushButton*>(button);
    auto* output = window->findChild<OutputBox*>(QStringLiteral("tOutput"));
    for (int run = 0; run < runs; ++run) {
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        build->click();
        output->viewport()->repaint();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        std::printf("%.4f\n", seconds);
    }
    std::printf("xclip %.4f\n", secondsForAnotherProgramToReadTheClipboard());
    std::printf("rss %ld\n", peakResidentMegabytes());
    std::fflush(stdout);
    return 0;
}

int runStart(long long launchedAt) {
    auto* window = new frmMain;
    morvanta::desktop::show(window);
    waitForFirstPaint(window);
    std::printf("%.4f\nrss %ld\n", static_cast<double>(nowMicroseconds() - launchedAt) / 1e6,
                peakResidentMegabytes());
    std::fflush(stdout);
    return 0;
}

struct Figures {
    std::vector<double> seconds;
    long peakMegabytes = 0;
    double pasteSeconds = -1;
};

Figures runChild(const QStringList& arguments) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    Figures figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("rss ")) {
            figures.peakMegabytes = line.mid(4).toLong();
        } else if (line.startsWith("xclip ")) {
            figures.pasteSeconds = line.mid(6).toDouble();
        } else if (!line.isEmpty()) {
            figures.seconds.push_back(line.toDouble());
        }
    }
    return figures;
}

void report(const char* what, Figures figures) {
    if (figures.seconds.empty()) {
        std::printf("%-34s failed\n", what);
        return;
    }
    std::sort(figures.seconds.begin(), figures.seconds.end());
    std::printf("%-34s median %8.4f s  best %8.4f s  worst %8.4f s  peak RSS %5ld MB\n", what,
                figures.seconds[figures.seconds.size() / 2], figures.seconds.front(),
                figures.seconds.back(), figures.peakMegabytes);
    if (figures.pasteSeconds >= 0) {
        std::printf("%-34s then xclip reads it in %.4f s\n", "", figures.pasteSeconds);
    }
    std::fflush(stdout);
}

// The real program started as the user starts it; the bench's own copy of the window stands in
// for the executable's, with the same start-up work.
Figures startFigures(int runs) {
    Figures all;
    for (int run = 0; run < runs; ++run) {
        const Figures one =
            runChild({QStringLiteral("--start"), QString::number(nowMicroseconds())});
        all.seconds.insert(all.seconds.end(), one.seconds.begin(), one.seconds.end());
        all.peakMegabytes = std::max(all.peakMegabytes, one.peakMegabytes);
    }
    return all;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--start")) {
        return runStart(arguments[2].toLongLong());
    }
    if (arguments.size() == 6 && arguments[1] == QLatin1String("--case")) {
        return runCase(arguments[2], arguments[3], arguments[4], arguments[5].toInt());
    }
    const int runs = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 5;
    const auto buildThis = [runs](const char* holes, int times) {
        return runChild({QStringLiteral("--case"), QStringLiteral("cThis"), QStringLiteral("tThis"),
                         QString::fromLatin1(holes), QString::number(times)});
    };
    report("Start to main window shown", startFigures(runs));
    report("Build This 360", buildThis("360", runs * 4));
    report("Build All 2..100",
           runChild({QStringLiteral("--case"), QStringLiteral("cBuild"), QStringLiteral("tTo"),
                     QStringLiteral("100"), QString::number(runs * 4)}));
    report("Build This 100,000", buildThis("100000", runs));
    report("Build This 1,000,000", buildThis("1000000", runs));
    report("Build This 7,000,000", buildThis("7000000", std::max(1, runs / 2)));
    return 0;
}
