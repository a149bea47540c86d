// Speed of the document window's view work: drawing a 1600-pixel ruler piece,
// the layout arithmetic, and one scroll step of a real window at 300 %
// (ruler redraw, canvas move, repaint when the view moves on).
#include "canvas/rulers.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/viewlayout.h"

#include <QApplication>
#include <QScrollBar>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <cstdlib>

namespace {

void BM_drawRulerPiece(benchmark::State& state)
{
    const int unit = static_cast<int>(state.range(0));
    QImage img(1600, 12, QImage::Format_RGB32);
    canvas::rulerLayout_t s;
    s.unit = unit;
    s.zoom = 3.0;
    s.pxPerUnit = unit == 1 ? 1.0 : unit == 2 ? 96 / 25.4 : 96;
    s.pageStart = 57;
    s.pageEnd = 57 + 2448;
    s.first = 400;
    for (auto _ : state) {
        canvas::drawRuler(img, s);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_drawRulerPiece)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_computeViewLayout(benchmark::State& state)
{
    canvas::viewLayoutIn_t in;
    in.width = 1000;
    in.height = 700;
    in.canvasRight = 2505;
    in.canvasBottom = 3225;
    int s = 0;
    for (auto _ : state) {
        in.scrollX = s;
        s = (s + 37) % 1600;
        benchmark::DoNotOptimize(canvas::computeViewLayout(in));
    }
}
BENCHMARK(BM_computeViewLayout);

void BM_scrollStepAt300(benchmark::State& state)
{
    canvas::params().currentZoom = 1.0;
    canvas::TSandbox w(nullptr);
    w.resize(1000, 700);
    w.openDocument(1, QString());
    w.applyZoom(3.0);
    w.findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    const int maxX = w.findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->maximum();
    int s = 0;
    for (auto _ : state) {
        s = (s + 40) % (maxX + 1);
        w.findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->setValue(s);
    }
}
BENCHMARK(BM_scrollStepAt300)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithWidgets(argc, argv);
}
