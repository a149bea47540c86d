// repaintAll of documents of 1,000 and 10,000 items (lines with every
// pattern, filled and unfilled shapes of every type, no effects) at 100 % and
// 300 %, against the floor: the same primitives, recorded from the pass,
// drawn by a bare QPainter loop on the same image. And repaintAll of 100,
// 1,000 and 10,000 items with soft shadows and round surfaces, at several
// zooms, with each effect alone. The *Threads cases draw the same full
// repaints in bands on 1, 2 and 4 threads (range "threads"; the other cases
// follow LUMORA_THREADS and the machine's cores). `bench_render --effects N
// OUT.lmra` writes the page of N items with shadows and surfaces instead, to
// look at in the editor.
#include "../tests/render/docbuilder.h"
#include "geometry/shapes.h"
#include "model/docfile.h"
#include "render/parallel.h"
#include "render/renderpass.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>

using namespace render;

namespace {

constexpr int32_t pageSide = 1500;

void buildDocument(model::itemList_t& doc, int32_t n)
{
    testdoc::addHeader(doc, pageSide, pageSide, 1.0, 1);
    testdoc::addPattern(doc, -1, {2.0, 0.5, 0.5, 0.5});
    std::mt19937 rng(12345);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1)); };
    const int32_t fills[] = {-1, -2, 0x60C0FF, 0xC0FFC0};
    const double weights[] = {0.0, 0.25, 0.5, 1.0};
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = rnd(40, pageSide - 120), y = rnd(40, pageSide - 120), s = rnd(15, 70);
        const int32_t fill = fills[i % 4];
        const double w = weights[(i / 4) % 4];
        const int32_t color = static_cast<int32_t>(rng() & 0x7F7F7F);
        switch (i % 13) {
        case 0: testdoc::addLine(doc, x, y, x + rnd(-80, 80), y + rnd(-80, 80), w, i % 6 == 5 ? -1 : (i / 13) % 5, color, fill, w / 3); break;
        case 1: testdoc::addLine(doc, x, y, x + s * 2, y, w, (i / 13) % 5, color); break;
        case 2: testdoc::addShape(doc, model::typeTriangle, {{x, y + s}, {x + s, y + s}, {x + s / 2, y}}, fill, color, w); break;
        case 3: testdoc::addShape(doc, model::typeSquare, {{x, y}, {x + s, y}, {x + s, y + s}, {x, y + s}}, fill, color, w); break;
        case 4: testdoc::addShape(doc, model::typeRectangle, {{x, y}, {x + 2 * s, y + 5}, {x + 2 * s - 5, y + s}, {x - 5, y + s - 5}}, fill, color, w); break;
        case 5: testdoc::addShape(doc, model::typeCircle, {{x, y}, {x + s / 2, y}}, fill, color, w); break;
        case 6: testdoc::addShape(doc, model::typeEllipse, {{x, y}, {x + s, y - s / 3}, {x, y + s / 3}}, fill, color, w); break;
        case 7: testdoc::addShape(doc, model::typePolygon, {{x, y}, {x + s / 2, y}}, fill, color, w, 2, 3 + i % 6); break;
        case 8: testdoc::addShape(doc, model::typeStar, {{x, y}, {x, y - s / 2}, {x + s / 6, y - s / 8}}, fill, color, w, 2, 5); break;
        case 9: testdoc::addShape(doc, model::typePie, {{x, y}, {x + s / 2, y}, {x - s / 3, y - s / 3}}, fill, color, w); break;
        case 10: testdoc::addShape(doc, model::typeArc, {{x, y}, {x + s / 2, y}, {x - s / 2, y + 1}}, fill, color, w); break;
        case 11: testdoc::addShape(doc, model::typeSpline, {{x, y}, {x + s, y + s / 2}, {x + s / 2, y + s}, {x, y + s / 2}}, fill, color, w, i % 3); break;
        default: {
            model::item_t* c = testdoc::addShape(doc, model::typeCurve, {{x, y}, {x + s, y + s / 3}, {x + s / 2, y + s}, {x - s / 3, y + s / 2}}, fill, color, w, i % 3);
            testdoc::smoothCurve(c, i % 3 != 0);
        }
        }
    }
}

struct fixture {
    model::itemList_t doc;
    renderView_t view;
    std::vector<primitive_t> prims;
    // `build` fills the document with n items.
    fixture(int32_t n, double zoom, void (*build)(model::itemList_t&, int32_t) = buildDocument)
    {
        build(doc, n);
        model::item_t* h = model::findHeader(doc);
        h->hdr().zoom = zoom;
        geometry::computeCanvasPixels(h);
        view.items = &doc;
        const QSize s = canvasImageSize(h);
        view.Image1 = newCanvasImage(s.width(), s.height());
        view.recordTo = &prims;
        repaintAll(view, false);
        view.recordTo = nullptr;
    }
    ~fixture() { model::freeList(doc); }
};

fixture& get(int32_t n, int32_t zoomPercent)
{
    static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<fixture>> cache;
    auto& f = cache[{n, zoomPercent}];
    if (!f) f = std::make_unique<fixture>(n, zoomPercent / 100.0);
    return *f;
}

void BM_repaintAll(benchmark::State& state)
{
    fixture& f = get(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    for (auto _ : state) {
        repaintAll(f.view, false);
        benchmark::DoNotOptimize(f.view.Image1.constBits());
    }
    state.counters["primitives"] = static_cast<double>(f.prims.size());
}

void BM_bareQPainterFloor(benchmark::State& state)
{
    fixture& f = get(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    for (auto _ : state) {
        QPainter p(&f.view.Image1);
        p.setRenderHint(QPainter::Antialiasing, false);
        for (const primitive_t& pr : f.prims) {
            switch (pr.op) {
            case primitive_t::polygon:
                p.setPen(pr.pen);
                p.setBrush(pr.brush);
                p.drawPolygon(pr.pts.data(), static_cast<int>(pr.pts.size()), Qt::OddEvenFill);
                break;
            case primitive_t::polyline:
                p.setPen(pr.pen);
                p.drawPolyline(pr.pts.data(), static_cast<int>(pr.pts.size()));
                break;
            case primitive_t::bezier:
            case primitive_t::bezierFill:
                p.setPen(pr.pen);
                p.setBrush(pr.brush);
                p.drawPath(pr.path);
                break;
            case primitive_t::ellipse:
                p.setPen(pr.pen);
                p.setBrush(pr.brush);
                p.drawEllipse(pr.rect);
                break;
            case primitive_t::fillRect: p.fillRect(pr.rect, pr.brush); break;
            case primitive_t::band:
                p.setPen(Qt::NoPen);
                p.setBrush(pr.brush);
                p.drawPolygon(pr.quad, Qt::WindingFill);
                break;
            case primitive_t::disc:
                p.setPen(Qt::NoPen);
                p.setBrush(pr.brush);
                p.drawEllipse(pr.circle);
                break;
            }
        }
        p.end();
        benchmark::DoNotOptimize(f.view.Image1.constBits());
    }
    state.counters["primitives"] = static_cast<double>(f.prims.size());
}

// Items of every type about 2 cm (76 pixels) across with the medium shadow
// (elevation, fade and lightness 85) and the Round surface.
void buildEffectsDocument(model::itemList_t& doc, int32_t n)
{
    testdoc::addHeader(doc, pageSide, pageSide, 1.0, 1);
    std::mt19937 rng(4242);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1)); };
    const int32_t fills[] = {0x60C0FF, -1, -2, 0xC0FFC0};
    constexpr int32_t s = 76, h = s / 2;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = rnd(60, pageSide - 140), y = rnd(60, pageSide - 140);
        const int32_t fill = fills[i % 4];
        const int32_t color = static_cast<int32_t>(rng() & 0x7F7F7F);
        model::item_t* it = nullptr;
        switch (i % 12) {
        case 0: it = testdoc::addLine(doc, x, y, x + s, y + rnd(-40, 40), 1.5, (i / 12) % 3, color, fill, 0.3); break;
        case 1: it = testdoc::addShape(doc, model::typeTriangle, {{x, y + s}, {x + s, y + s}, {x + h, y}}, fill, color, 0.5); break;
        case 2: it = testdoc::addShape(doc, model::typeSquare, {{x, y}, {x + s, y}, {x + s, y + s}, {x, y + s}}, fill, color, 0.5); break;
        case 3: it = testdoc::addShape(doc, model::typeRectangle, {{x, y + 20}, {x + s, y}, {x + s + 10, y + 40}, {x + 10, y + 60}}, fill, color, 0.5); break;
        case 4: it = testdoc::addShape(doc, model::typeCircle, {{x + h, y + h}, {x + s, y + h}}, fill, color, 0.5); break;
        case 5: it = testdoc::addShape(doc, model::typeEllipse, {{x + h, y + h}, {x + s, y + h - 10}, {x + h, y + h + 20}}, fill, color, 0.5); break;
        case 6: it = testdoc::addShape(doc, model::typePolygon, {{x + h, y + h}, {x + s, y + h}}, fill, color, 0.5, 2, 3 + i % 6); break;
        case 7: it = testdoc::addShape(doc, model::typeStar, {{x + h, y + h}, {x + h, y}, {x + h + 8, y + h - 12}}, fill, color, 0.5, 2, 5); break;
        case 8: it = testdoc::addShape(doc, model::typePie, {{x + h, y + h}, {x + s, y + h}, {x + h - 20, y}}, fill, color, 0.5); break;
        case 9: it = testdoc::addShape(doc, model::typeArc, {{x + h, y + h}, {x + s, y + h}, {x, y + h + 1}}, fill, color, 1.0); break;
        case 10: it = testdoc::addShape(doc, model::typeSpline, {{x, y}, {x + s, y + h}, {x + h, y + s}, {x, y + h}}, fill, color, 0.5, i % 3); break;
        default:
            it = testdoc::addShape(doc, model::typeCurve, {{x, y}, {x + s, y + 25}, {x + h, y + s}, {x - 25, y + h}}, fill, color, 0.5, i % 3);
            testdoc::smoothCurve(it, i % 3 != 0);
        }
        testdoc::withEffects(it, 85, 85, 85, 127);
        geometry::itemBounds(it, 8, 8);
    }
}

fixture& getEffects(int32_t n, int32_t zoomPercent)
{
    static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<fixture>> cache;
    auto& f = cache[{n, zoomPercent}];
    if (!f) f = std::make_unique<fixture>(n, zoomPercent / 100.0, buildEffectsDocument);
    return *f;
}

// Full repaint with shadows and surfaces; range(2) picks what is on: 3 both,
// 2 shadows only, 1 surfaces only, 0 neither (the same document flat).
void BM_repaintAllEffects(benchmark::State& state)
{
    fixture& f = getEffects(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    f.view.showShadows = state.range(2) & 2;
    f.view.show3D = state.range(2) & 1;
    for (auto _ : state) {
        repaintAll(f.view, false);
        benchmark::DoNotOptimize(f.view.Image1.constBits());
    }
}

// The same full repaints with the thread count given.
void BM_repaintAllThreads(benchmark::State& state)
{
    fixture& f = get(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    setRenderThreads(static_cast<int32_t>(state.range(2)));
    for (auto _ : state) {
        repaintAll(f.view, false);
        benchmark::DoNotOptimize(f.view.Image1.constBits());
    }
    setRenderThreads(0);
}

void BM_repaintAllEffectsThreads(benchmark::State& state)
{
    fixture& f = getEffects(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    f.view.showShadows = f.view.show3D = true;
    setRenderThreads(static_cast<int32_t>(state.range(2)));
    for (auto _ : state) {
        repaintAll(f.view, false);
        benchmark::DoNotOptimize(f.view.Image1.constBits());
    }
    setRenderThreads(0);
}

BENCHMARK(BM_repaintAllThreads)
    ->ArgNames({"items", "zoom", "threads"})
    ->Args({10000, 100, 1})->Args({10000, 100, 2})->Args({10000, 100, 4})
    ->Args({10000, 300, 1})->Args({10000, 300, 2})->Args({10000, 300, 4})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_repaintAllEffectsThreads)
    ->ArgNames({"items", "zoom", "threads"})
    ->Args({1000, 100, 1})->Args({1000, 100, 2})->Args({1000, 100, 4})
    ->Args({10000, 100, 1})->Args({10000, 100, 2})->Args({10000, 100, 4})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_repaintAllEffects)
    ->ArgNames({"items", "zoom", "effects"})
    ->Args({100, 100, 3})->Args({1000, 100, 3})->Args({10000, 100, 3})
    ->Args({1000, 50, 3})->Args({1000, 200, 3})->Args({1000, 300, 3})
    ->Args({1000, 100, 2})->Args({1000, 100, 1})->Args({1000, 100, 0})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_repaintAll)->Args({1000, 100})->Args({1000, 300})->Args({10000, 100})->Args({10000, 300})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_bareQPainterFloor)->Args({1000, 100})->Args({1000, 300})->Args({10000, 100})->Args({10000, 300})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qargc = 1;
    QGuiApplication app(qargc, argv);
    if (argc == 4 && !std::strcmp(argv[1], "--effects")) {
        model::itemList_t list;
        buildEffectsDocument(list, std::atoi(argv[2]));
        const bool ok = model::writeDocument(argv[3], list);
        model::freeList(list);
        std::printf("%s\n", ok ? argv[3] : "could not write the document");
        return ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
