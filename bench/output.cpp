// Output speed: an A4 sheet of 10 business cards printed into a PDF file at
// 600 dpi (the sheet rendered, the card copied to the other nine cells, the
// page sent in tiles), and the exact export of a 1600 × 1600 pixel page to
// JPEG and BMP. `bench_output --sheet OUT.lmra` writes the business-card
// document instead, so that `lumora-cli print` can be measured with
// /usr/bin/time -v for its peak memory.
#include "../tests/output/carddoc.h"
#include "model/docfile.h"
#include "output/encode.h"
#include "output/printsheet.h"
#include "output/renderoutput.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Ten 85 × 55 mm cards in 5 rows of 2 on A4, with a few shapes on the card.
void businessCards(model::itemList_t& list)
{
    outdoc::sheet_t s;
    s.cardWidth = 85;
    s.cardHeight = 55;
    s.marginLeft = 15;
    s.marginTop = 10;
    s.columnGap = 10;
    s.rowGap = 0;
    s.rows = 5;
    s.columns = 2;
    outdoc::build(list, s);
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
    if (argc == 3 && !std::strcmp(argv[1], "--sheet")) {
        model::itemList_t list;
        businessCards(list);
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
