// Output speed: an A4 sheet of 10 business cards printed into a PDF file at
// 600 dpi (the sheet rendered, the card copied to the other nine cells, the
// page sent in tiles), the same kind of sheet (texts, lines, a shape, and
// with a photograph) as a vector PDF beside the 600-dpi bitmap PDF, with the
// file sizes as counters, and the exact export of a 1600 × 1600 pixel page to
// JPEG and BMP; the bitmap PDF also through Qt's PDF writer, as before it
// had its own. `bench_output --sheet OUT.lmra` writes the business-card
// document instead, so that `lumora-cli print` can be measured with
// /usr/bin/time -v for its peak memory.
#include "../tests/output/carddoc.h"
#include "model/docfile.h"
#include "output/encode.h"
#include "output/printsheet.h"
#include "output/renderoutput.h"
#include "output/vectorsheet.h"
#include "render/parallel.h"
#include "render/text.h"
#include "samples/samplepictures.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QtMath>

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Ten 85 × 55 mm cards in 5 rows of 2 on A4, with a few shapes on the card.
void businessCards(model::itemList_t& list)
{
    outdoc::build(list, outdoc::tenBusinessCards());
    for (int k = 0; k < 20; ++k)
        testdoc::addShape(list, model::typeRectangle,
                          {{10 + 8 * k, 10}, {40 + 8 * k, 10}, {40 + 8 * k, 150}, {10 + 8 * k, 150}}, 0x00FF00 + k, 0, 0.5);
}

void pageOfPixels(model::itemList_t& list)
{
    outdoc::sheet_t s;
    s.designType = 9;
    s.unit = 1;
    s.paperWidth = 1600;
    s.paperHeight = 1600;
    outdoc::build(list, s);
    for (int k = 0; k < 200; ++k)
        testdoc::addShape(list, model::typeRectangle,
                          {{8 * k, 4 * k}, {8 * k + 300, 4 * k}, {8 * k + 300, 4 * k + 200}, {8 * k, 4 * k + 200}},
                          0x102030 * (k % 7), 0, 1);
}

void BM_PrintA4TenCardsAt600Dpi(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    businessCards(list);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    for (auto _ : state) {
        QString why;
        if (!output::printToPdf(list, pdf, 600, QByteArray(" x"), {}, &why)) state.SkipWithError("print failed");
    }
    model::freeList(list);
}
BENCHMARK(BM_PrintA4TenCardsAt600Dpi)->Unit(benchmark::kMillisecond)->Iterations(3);

// The business-card sheet with what a card holds: two lines of text, a solid
// and a dashed line, a filled shape, and (photo) a 1-megapixel photograph.
void textCards(model::itemList_t& list, bool photo)
{
    const outdoc::sheet_t s = outdoc::tenBusinessCards();
    model::item_t* header = testdoc::addHeader(list, 10, 10, 1.0, s.designType);
    outdoc::applySheet(list, header, s);
    for (model::item_t* it = list.head; it; it = it->next)
        if (it->itemType == model::typeRectangle) it->fillColor = it->lineColor = 0xF8F8F8;  // a pale ground
    const int32_t w = header->hdr().canvasWidth, h = header->hdr().canvasHeight;
    for (model::item_t* t : {testdoc::addText(list, 20, 50, 300, 50, u"Alexandra Example", 0, 1, 16),
                             testdoc::addText(list, 20, 75, 300, 75, u"Design and print\n+1 555 0100 · mail@example.com", 0, 1, 9)})
        render::textBox(t);
    testdoc::addLine(list, 20, 100, w - 20, 100, 0.5, 0, 0x804000);
    testdoc::addLine(list, 20, h - 20, w - 20, h - 20, 0.3, 2, 0x404040);
    testdoc::addShape(list, model::typeCircle, {{w - 50, 50}, {w - 20, 50}, {w - 20, 20}, {w - 50, 20}}, 0x2060C0, 0x103060, 0.5);
    if (!photo) return;
    // Smooth colour and light detail, as a photograph has, 1155 × 866.
    QImage picture(1155, 866, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int(seed >> 28) - 8;
            row[x] = qRgb(std::clamp(int(128 + 100 * qSin(x / 90.0)) + noise, 0, 255),
                          std::clamp(int(128 + 90 * qCos(y / 70.0)) + noise, 0, 255),
                          std::clamp(int(128 + 60 * qSin((x + y) / 150.0)) + noise, 0, 255));
        }
    }
    testdoc::addPictureData(list, 5, model::pictureJpeg, samples::encodeJpeg(picture, 85));
    testdoc::addPicture(list, 5, model::clipRect, {0, 0, 1155, 866}, {w - 130, 110, w - 20, 192});
}

void BM_VectorPdfTenCards(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    textCards(list, state.range(0) != 0);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    output::vectorJob_t job;
    for (auto _ : state) {
        QString why;
        if (!output::writeVector(list, pdf, output::vectorFormat_t::pdf, job, &why)) state.SkipWithError("write failed");
    }
    state.counters["KB"] = double(QFileInfo(pdf).size()) / 1024.0;
    model::freeList(list);
}
BENCHMARK(BM_VectorPdfTenCards)->Arg(0)->Arg(1)->ArgName("photo")->Unit(benchmark::kMillisecond);

void BM_BitmapPdfTenCardsAt600Dpi(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    textCards(list, state.range(0) != 0);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    for (auto _ : state) {
        QString why;
        if (!output::printToPdf(list, pdf, 600, QByteArray(), {}, &why)) state.SkipWithError("print failed");
    }
    state.counters["KB"] = double(QFileInfo(pdf).size()) / 1024.0;
    model::freeList(list);
}
BENCHMARK(BM_BitmapPdfTenCardsAt600Dpi)->Arg(0)->Arg(1)->ArgName("photo")->Unit(benchmark::kMillisecond)->Iterations(2);

// The bitmap PDF of the text cards and the bare sheet behind it (rendered,
// the card copied to the other cells), each with 1, 2 and 4 drawing threads.
void BM_BitmapPdfTenCardsThreads(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    textCards(list, true);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    render::setRenderThreads(int32_t(state.range(0)));
    for (auto _ : state) {
        QString why;
        if (!output::printToPdf(list, pdf, 600, QByteArray(), {}, &why)) state.SkipWithError("print failed");
    }
    render::setRenderThreads(0);
    state.counters["KB"] = double(QFileInfo(pdf).size()) / 1024.0;
    model::freeList(list);
}
BENCHMARK(BM_BitmapPdfTenCardsThreads)
    ->ArgName("threads")->Arg(1)->Arg(2)->Arg(4)
    ->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(3)->ReportAggregatesOnly(true);

// The same file through Qt's PDF writer, the way the bitmap PDF was written
// before it had a writer of its own (and the way a printer still gets the
// sheet): every tile drawn on the writer's painter, which compresses it on
// the calling thread.
void BM_BitmapPdfTenCardsQtWriter(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    textCards(list, true);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    const QPageLayout layout = output::documentPageLayout(model::findHeader(list)->hdr());
    const output::device_t device = output::pdfDevice(layout, 600);
    render::setRenderThreads(int32_t(state.range(0)));
    for (auto _ : state) {
        QString why;
        const bool ok = output::writePdfPages(pdf, layout, 600, QString(), QTransform(), &why, [&](QPainter& painter, QPdfWriter&) {
            return output::printSheet(painter, list, device, QByteArray(), {}, &why);
        });
        if (!ok) state.SkipWithError("print failed");
    }
    render::setRenderThreads(0);
    state.counters["KB"] = double(QFileInfo(pdf).size()) / 1024.0;
    model::freeList(list);
}
BENCHMARK(BM_BitmapPdfTenCardsQtWriter)
    ->ArgName("threads")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_RenderSheetThreads(benchmark::State& state)
{
    model::itemList_t list;
    if (state.range(0)) textCards(list, true);
    else pageOfPixels(list);
    const model::item_t* header = model::findHeader(list);
    output::device_t d;
    if (state.range(0)) {
        d.ppiX = d.ppiY = 600;
        d.pageWidth = 4961;
        d.pageHeight = 7016;
    } else {
        d = output::screenDevice(header, output::modeExport);
    }
    render::setRenderThreads(int32_t(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(output::renderSheet(list, d, QByteArray()).constBits());
    render::setRenderThreads(0);
    model::freeList(list);
}
BENCHMARK(BM_RenderSheetThreads)
    ->ArgNames({"cards", "threads"})
    ->Args({0, 1})->Args({0, 2})->Args({0, 4})->Args({1, 1})->Args({1, 2})->Args({1, 4})
    ->Unit(benchmark::kMillisecond);

void BM_ExportExact1600(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    pageOfPixels(list);
    const QString file = dir.filePath(state.range(0) ? QStringLiteral("page.bmp") : QStringLiteral("page.jpg"));
    for (auto _ : state) {
        QString why;
        if (!output::writePicture(output::exactImage(list), file, &why)) state.SkipWithError("export failed");
    }
    model::freeList(list);
}
BENCHMARK(BM_ExportExact1600)->Arg(0)->Arg(1)->ArgName("bmp")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qargc = 1;
    QGuiApplication app(qargc, argv);
    // --text-sheet and --photo-sheet write the vector benchmark's sheets.
    if (argc == 3 && (!std::strcmp(argv[1], "--sheet") || !std::strcmp(argv[1], "--text-sheet") ||
                      !std::strcmp(argv[1], "--photo-sheet"))) {
        model::itemList_t list;
        if (!std::strcmp(argv[1], "--sheet")) businessCards(list);
        else textCards(list, !std::strcmp(argv[1], "--photo-sheet"));
        const bool ok = model::writeDocument(argv[2], list);
        model::freeList(list);
        std::printf("%s\n", ok ? argv[2] : "could not write the sheet");
        return ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
