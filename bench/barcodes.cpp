// Barcode speed: repainting a canvas of 100 barcodes (QR Codes, EAN-13 and
// Code 128) beside the same page of 100 plain rectangles; a ten-card sheet
// with a QR Code on the card written as a vector PDF beside the same sheet
// without it; the same sheet merged from a table of ten rows, each card's QR
// Code holding its own row's web address, beside the merged sheet without
// codes; and encoding ten QR Codes of different data, as a merge of ten
// rows does (the drawing keeps every encoded symbol, so a replicated card is
// encoded once).
#include "guimain.h"
#include "../tests/output/carddoc.h"
#include "model/barcode.h"
#include "model/csv.h"
#include "model/mergecards.h"
#include "output/mergebarcodes.h"
#include "output/mergesheet.h"
#include "output/vectorsheet.h"
#include "render/barcode.h"
#include "render/renderpass.h"
#include "render/text.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

using model::symbology_t;

// A 1600 × 1600 pixel page of 100 items in a 10 × 10 grid of 150-pixel boxes.
void hundredItems(model::itemList_t& list, bool barcodes)
{
    testdoc::addHeader(list, 1600, 1600);
    const symbology_t kinds[] = {symbology_t::qrCode, symbology_t::ean13, symbology_t::code128};
    const char* data[] = {"https://example.com/item/", "40063813339", "ASSET-"};
    for (int32_t k = 0; k < 100; ++k) {
        const int32_t x = 10 + (k % 10) * 158, y = 10 + (k / 10) * 158;
        if (barcodes) {
            const int32_t kind = k % 3;
            std::string d = data[kind];
            d += kind == 1 ? std::to_string(k % 10) : std::to_string(k);
            model::newBarcodeItem(list, x, y, 150, 150, {static_cast<int32_t>(kinds[kind]), d, model::ecAuto, true});
        } else {
            testdoc::addShape(list, model::typeRectangle, {{x, y}, {x + 150, y}, {x + 150, y + 150}, {x, y + 150}},
                              0xFFFFFF, 0x000000, 0);
        }
    }
}

void BM_Repaint100Items(benchmark::State& state)
{
    model::itemList_t list;
    hundredItems(list, state.range(0) != 0);
    render::renderView_t view;
    view.items = &list;
    view.Image1 = render::newCanvasImage(1600, 1600);
    render::repaintAll(view, false);  // the symbols encoded once, as after opening
    for (auto _ : state) render::repaintAll(view, false);
    model::freeList(list);
}
BENCHMARK(BM_Repaint100Items)->Arg(0)->Arg(1)->ArgName("barcodes")->Unit(benchmark::kMillisecond);

// The ten-card sheet of the output benchmarks (two texts, the first `name`,
// a solid and a dashed line, a filled circle) and, unless `qrData` is null,
// a QR Code holding it on the card.
void cardSheet(model::itemList_t& list, const char16_t* name, const char* qrData)
{
    const outdoc::sheet_t s = outdoc::tenBusinessCards();
    model::item_t* header = testdoc::addHeader(list, 10, 10, 1.0, s.designType);
    outdoc::applySheet(list, header, s);
    for (model::item_t* it = list.head; it; it = it->next)
        if (it->itemType == model::typeRectangle) it->fillColor = it->lineColor = 0xF8F8F8;
    const int32_t w = header->hdr().canvasWidth, h = header->hdr().canvasHeight;
    for (model::item_t* t : {testdoc::addText(list, 20, 50, 300, 50, name, 0, 1, 16),
                             testdoc::addText(list, 20, 75, 300, 75, u"Design and print\n+1 555 0100 · mail@example.com", 0, 1, 9)})
        render::textBox(t);
    testdoc::addLine(list, 20, 100, w - 20, 100, 0.5, 0, 0x804000);
    testdoc::addLine(list, 20, h - 20, w - 20, h - 20, 0.3, 2, 0x404040);
    testdoc::addShape(list, model::typeCircle, {{w - 50, 50}, {w - 20, 50}, {w - 20, 20}, {w - 50, 20}}, 0x2060C0, 0x103060, 0.5);
    if (qrData)
        model::newBarcodeItem(list, w - 120, 104, 96, 96,
                              {static_cast<int32_t>(symbology_t::qrCode), qrData, model::ecMedium, true});
}

void BM_VectorPdfTenCards(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    cardSheet(list, u"Alexandra Example", state.range(0) != 0 ? "https://lumora.example/alexandra" : nullptr);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    output::vectorJob_t job;
    for (auto _ : state) {
        QString why;
        if (!output::writeVector(list, pdf, output::vectorFormat_t::pdf, job, &why)) state.SkipWithError("write failed");
    }
    state.counters["KB"] = double(QFileInfo(pdf).size()) / 1024.0;
    model::freeList(list);
}
BENCHMARK(BM_VectorPdfTenCards)->Arg(0)->Arg(1)->ArgName("qr")->Unit(benchmark::kMillisecond);

// Ten rows merged onto one sheet: each card its row's name and (qr) a QR
// Code of its row's web address, the rows checked and the sheet written as a
// merged print does. Every pass reads a table of new addresses, so the ten
// codes are encoded in each, as when a merge prints.
void BM_MergedPdfTenQrCodes(benchmark::State& state)
{
    QTemporaryDir dir;
    model::itemList_t list;
    cardSheet(list, u"${name}", state.range(0) != 0 ? "${url}" : nullptr);
    const QString pdf = dir.filePath(QStringLiteral("merged.pdf"));
    int64_t serial = 0;
    for (auto _ : state) {
        std::string csv = "name,url\n";
        for (int32_t row = 1; row <= 10; ++row)
            csv += "Person " + std::to_string(row) + ",https://lumora.example/card/" + std::to_string(++serial) + "\n";
        const model::csvTable_t table = model::readCsv(csv, {});
        output::mergeJob_t job;
        job.table = &table;
        job.cards = model::mergeCards(table, {}).cards;
        // A merged print checks every row's code before it draws.
        if (!output::mergeBarcodeProblems(list, table, job.cards).empty()) state.SkipWithError("a row was refused");
        QString why;
        int32_t pages = 0;
        if (!output::writeMergedPdf(list, pdf, job, 300, {}, false, &why, &pages) || pages != 1)
            state.SkipWithError("merge failed");
    }
    state.counters["KB"] = double(QFileInfo(pdf).size()) / 1024.0;
    model::freeList(list);
}
BENCHMARK(BM_MergedPdfTenQrCodes)->Arg(0)->Arg(1)->ArgName("qr")->Unit(benchmark::kMillisecond);

void BM_EncodeTenDistinctQrCodes(benchmark::State& state)
{
    int64_t serial = 0;
    for (auto _ : state)
        for (int32_t row = 1; row <= 10; ++row) {
            const model::barcodeContent_t content{static_cast<int32_t>(symbology_t::qrCode),
                                            "https://lumora.example/row/" + std::to_string(++serial), model::ecMedium,
                                            true};
            benchmark::DoNotOptimize(render::barcodeLayout(content));
        }
}
BENCHMARK(BM_EncodeTenDistinctQrCodes)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchmarks::runWithGui(argc, argv);
}
