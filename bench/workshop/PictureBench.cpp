// SPDX-License-Identifier: GPL-3.0-or-later
// Times the pictures of the largest setups: the engine's sketch of a dial of 10000 holes and of a
// plate whose circle in use has 1000, and the painter drawing them at the size a page shows them
// (640 x 420 pixels), greyed, and as an SVG file. A keystroke on such a page makes the sketch and
// paints it once; the view keeps the painting for every later repaint.
//
//   build/bench/workshop/picture_bench

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "engine/Calculation.h"
#include "engine/Indexing.h"
#include "engine/SettingSheet.h"
#include "workshop/SketchView.h"

namespace {

using namespace morvanta;

Sketch sketchOf(const Calculation& calculation, const Inputs& inputs) {
    const Result<Made> made = makeRequest(calculation, inputs);
    return made.value().sketch();
}

const Inputs kDial{{"count", "10000"}};
// 40 / 25 = 1 turn and 600 holes on the 1000-hole circle.
const Inputs kPlate{{"count", "25"}, {"plates", "1000"}};

void makeDial(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(sketchOf(kSheetCalculation, kDial));
    }
}
BENCHMARK(makeDial)->Unit(benchmark::kMillisecond);

void paint(benchmark::State& state, const Sketch& sketch, bool stale) {
    QImage image(640, 420, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        workshop::paintSketch(painter, sketch, QRectF(8, 8, 624, 404), 0, stale);
    }
}

void paintDial(benchmark::State& state) {
    paint(state, sketchOf(kSheetCalculation, kDial), state.range(0) != 0);
}
BENCHMARK(paintDial)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void paintPlate(benchmark::State& state) {
    paint(state, sketchOf(kIndexCalculation, kPlate), false);
}
BENCHMARK(paintPlate)->Unit(benchmark::kMillisecond);

void svgOfDial(benchmark::State& state) {
    const Sketch sketch = sketchOf(kSheetCalculation, kDial);
    for (auto _ : state) {
        benchmark::DoNotOptimize(workshop::sketchSvg(sketch, QStringLiteral("Setting sheet")));
    }
}
BENCHMARK(svgOfDial)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application; no window is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
