// Speed of texts: typing one character into a text of 200 lines on a canvas
// of 10,000 items (the text and the part of the canvas it covers are all that
// is measured, laid out and repainted), and painting 1,000 texts of three
// lines at 100 %.
#include "crowdedwindow.h"
#include "canvas/textediting.h"
#include "render/renderpass.h"
#include "render/text.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <cstdlib>
#include <random>
#include <string>

namespace {

void click(canvas::TSandbox& w, int32_t x, int32_t y)
{
    w.Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    w.Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

// A crowded window with a text of 200 lines being typed, the caret at the
// end of line `caretLine`.
std::unique_ptr<canvas::TSandbox> typingWindow(int32_t caretLine)
{
    auto w = benchdoc::crowdedWindow(10000);
    w->selectTool(canvas::toolText);
    click(*w, 120, 60);
    for (int32_t k = 1; k <= 200; ++k) {
        w->FormKeyPress(QStringLiteral("Line %1 of a long text").arg(k));
        if (k < 200) w->FormKeyDown(Qt::Key_Return, Qt::NoModifier);
    }
    w->FormKeyDown(Qt::Key_PageUp, Qt::NoModifier);
    for (int32_t k = 1; k < caretLine; ++k) w->FormKeyDown(Qt::Key_Down, Qt::NoModifier);
    w->FormKeyDown(Qt::Key_End, Qt::NoModifier);
    w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    return w;
}

// Types `c` again and again; every 20 characters they are taken back (not
// timed), so the line keeps its length.
void typeLoop(benchmark::State& state, canvas::TSandbox& w, const QString& c)
{
    int32_t n = 0;
    for (auto _ : state) {
        w.FormKeyPress(c);
        if (++n % 20 == 0) {
            state.PauseTiming();
            for (int32_t k = 0; k < 20; ++k) w.FormKeyDown(Qt::Key_Backspace, Qt::NoModifier);
            state.ResumeTiming();
        }
    }
}

// One character typed inside the box: only the rest of its line is repainted.
void BM_typeCharacterInto200Lines(benchmark::State& state)
{
    auto w = typingWindow(20);
    typeLoop(state, *w, QStringLiteral("x"));
}
BENCHMARK(BM_typeCharacterInto200Lines)->Unit(benchmark::kMillisecond);

// The widest line grows with every character: the box grows and the whole
// text's part of the canvas is repainted.
void BM_typeCharacterGrowingTheBox(benchmark::State& state)
{
    auto w = typingWindow(200);
    w->FormKeyDown(Qt::Key_PageUp, Qt::NoModifier);
    w->FormKeyPress(QStringLiteral("the first line is now the widest of all the lines "));
    typeLoop(state, *w, QStringLiteral("w"));
}
BENCHMARK(BM_typeCharacterGrowingTheBox)->Unit(benchmark::kMillisecond);

void BM_repaint1000ThreeLineTexts(benchmark::State& state)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 1600, 1600);
    std::mt19937 rng(7);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
    for (int32_t i = 0; i < 1000; ++i) {
        const int32_t x = rnd(10, 1400), y = rnd(60, 1580), angle = (i % 4 == 0) ? rnd(0, 3599) : 0;
        const double t = angle / 10.0 * 3.14159265358979 / 180.0;
        const geometry::point_t e = geometry::polarPoint({x, y}, t, 120);
        testdoc::addText(doc, x, y, e.x, e.y, u"First line\nthe second line\nthird", angle, 1 + i % 3, 10 + i % 6);
    }
    render::layOutTexts(doc);
    render::renderView_t view;
    view.items = &doc;
    view.Image1 = render::newCanvasImage(1600, 1600);
    for (auto _ : state) render::repaintAll(view, false);
    model::freeList(doc);
}
BENCHMARK(BM_repaint1000ThreeLineTexts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithWidgets(argc, argv);
}
