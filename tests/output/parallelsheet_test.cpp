// Sheets for print and export drawn in bands on several threads against the
// same sheets on one thread, byte for byte: pages of every kind of item, with
// shadows and surfaces, texts and random pages, at several resolutions (and
// unequal ones across and down).
#include "output/carddoc.h"
#include "output/printsheet.h"
#include "output/renderoutput.h"
#include "render/docbuilder.h"
#include "render/parallel.h"
#include "render/randompage.h"
#include "render/text.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <functional>
#include <random>
#include <string>

namespace {

struct threads_t {
    explicit threads_t(int32_t n) { render::setRenderThreads(n); }
    ~threads_t() { render::setRenderThreads(0); }
};

QImage sheetWith(const model::itemList_t& doc, const output::device_t& d, int32_t threads)
{
    threads_t t(threads);
    return output::renderSheet(doc, d, QByteArray());
}

void expectSameSheets(const std::function<void(model::itemList_t&)>& build, const std::string& what)
{
    model::itemList_t doc;
    build(doc);
    render::layOutTexts(doc);
    struct res_t {
        int32_t ppiX, ppiY;
    };
    for (const res_t r : {res_t{96, 96}, res_t{150, 150}, res_t{200, 120}, res_t{72, 110}}) {
        output::device_t d;
        d.ppiX = r.ppiX;
        d.ppiY = r.ppiY;
        d.pageWidth = 1000 * r.ppiX / 96;
        d.pageHeight = 800 * r.ppiY / 96;
        const QImage one = sheetWith(doc, d, 1);
        ASSERT_FALSE(one.isNull());
        ASSERT_GE(render::imageBands(one.size(), 4).size(), 2u);
        for (int32_t n : {2, 4})
            EXPECT_TRUE(sheetWith(doc, d, n) == one)
                << what << " at " << r.ppiX << "x" << r.ppiY << " dpi on " << n << " threads";
    }
    model::freeList(doc);
}

TEST(SheetInBands, ShowcaseEffectsAndTextsAsOnOneThread)
{
    expectSameSheets([](model::itemList_t& d) { testdoc::buildShowcase(d); }, "showcase");
    expectSameSheets([](model::itemList_t& d) { testdoc::buildEffectsShowcase(d, 1); }, "effects");
    expectSameSheets([](model::itemList_t& d) { testdoc::buildTextShowcase(d); }, "texts");
}

TEST(SheetInBands, RandomPagesAsOnOneThread)
{
    std::mt19937 rng(4404);
    for (int32_t page = 0; page < 6; ++page)
        expectSameSheets(
            [&](model::itemList_t& d) {
                testdoc::addHeader(d, 700, 600, 1.0, 1);
                testdoc::randomPage(d, rng, 600);
            },
            "random page " + std::to_string(page));
}

// The business cards: drawn in the first cell, copied to the others.
TEST(SheetInBands, CardSheetAsOnOneThread)
{
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    for (int k = 0; k < 20; ++k)
        testdoc::addShape(doc, model::typeRectangle,
                          {{10 + 8 * k, 10}, {40 + 8 * k, 10}, {40 + 8 * k, 150}, {10 + 8 * k, 150}}, 0x00FF00 + k, 0, 0.5);
    output::device_t d;
    d.ppiX = d.ppiY = 150;
    d.pageWidth = 1240;
    d.pageHeight = 1754;
    const QImage one = sheetWith(doc, d, 1);
    EXPECT_TRUE(sheetWith(doc, d, 2) == one);
    EXPECT_TRUE(sheetWith(doc, d, 4) == one);
    model::freeList(doc);
}

// A card sheet whose cells are pasted over each other's bleed and over the
// first cell, with crossed-out cells (the first among them): finishing it
// column by column, in any order, must give what renderSheet gives.
model::item_t* overlappingCards(model::itemList_t& doc)
{
    outdoc::sheet_t s = outdoc::tenBusinessCards();
    s.columnGap = -3;  // the second column's cells reach back over the first's
    s.rowGap = 2;
    model::item_t* header = outdoc::build(doc, s, 25);
    testdoc::addShape(doc, model::typeCircle, {{60, 60}, {140, 60}}, 0x00C0FF, 0x102030, 2);
    testdoc::addLine(doc, -20, 100, 400, 130, 1.5, 2, 0x2040A0);
    return header;
}

TEST(SheetInBands, FinishedColumnByColumnAsAWhole)
{
    model::itemList_t doc;
    overlappingCards(doc);
    output::device_t d;
    d.ppiX = d.ppiY = 120;
    d.pageWidth = 992;
    d.pageHeight = 1403;
    for (const char* areas : {"", " x x", "x", "xxxxxxxxxx"}) {
        const QByteArray printAreas(areas);
        threads_t one(1);
        const QImage expected = output::renderSheet(doc, d, printAreas);
        output::sheetInProgress_t sheet(doc, d, printAreas);
        ASSERT_FALSE(sheet.image().isNull());
        const QImage drawn = sheet.image().copy();
        // Columns of 100 pixels from the right; finishing one must leave the
        // others as drawn (another thread may be reading them).
        const int h = sheet.image().height();
        for (int x = (sheet.image().width() - 1) / 100 * 100; x >= 0; x -= 100) {
            sheet.finish(QRect(x, 0, 100, h));
            const QRect before(0, 0, x, h);
            ASSERT_TRUE(x == 0 || sheet.image().copy(before) == drawn.copy(before))
                << "finishing the column at " << x << " wrote left of it, print areas \"" << areas << "\"";
        }
        EXPECT_TRUE(sheet.image() == expected) << "print areas \"" << areas << "\"";
    }
    model::freeList(doc);
}

// The printer's tiles, drawn as they arrive onto an image of the sheet's
// size, rebuild the sheet on any thread count, every tile in its place.
TEST(SheetInBands, PrintedTilesRebuildTheSheet)
{
    model::itemList_t doc;
    overlappingCards(doc);
    render::layOutTexts(doc);
    output::device_t d;
    d.ppiX = d.ppiY = 150;
    d.pageWidth = 1240;
    d.pageHeight = 1754;
    const QByteArray areas(" x");
    QImage sheet;
    {
        threads_t one(1);
        sheet = output::renderSheet(doc, d, areas);
    }
    for (int32_t n : {1, 2, 4}) {
        threads_t t(n);
        QImage printed(sheet.size(), QImage::Format_RGB32);
        printed.fill(0xFF00FF00u);
        int32_t last = 0, total = 0;
        {
            QPainter painter(&printed);
            QString why;
            ASSERT_TRUE(output::printSheet(painter, doc, d, areas,
                                           [&](int32_t done, int32_t all) {
                                               EXPECT_EQ(done, last + 1);
                                               last = done;
                                               total = all;
                                               return true;
                                           },
                                           &why))
                << why.toStdString();
        }
        EXPECT_EQ(last, total) << n << " threads";
        EXPECT_EQ(total, ((sheet.width() + 511) / 512) * ((sheet.height() + 511) / 512));
        EXPECT_TRUE(printed == sheet) << n << " threads";
    }
    model::freeList(doc);
}

// Stopped after a few tiles, the print ends at once on any thread count.
TEST(SheetInBands, APrintStoppedByItsProgressEnds)
{
    model::itemList_t doc;
    overlappingCards(doc);
    output::device_t d;
    d.ppiX = d.ppiY = 150;
    d.pageWidth = 1240;
    d.pageHeight = 1754;
    for (int32_t n : {1, 2, 4}) {
        threads_t t(n);
        QImage printed(1240, 1754, QImage::Format_RGB32);
        QPainter painter(&printed);
        int32_t calls = 0;
        QString why;
        EXPECT_FALSE(output::printSheet(painter, doc, d, QByteArray(), [&](int32_t, int32_t) { return ++calls < 3; }, &why));
        EXPECT_EQ(calls, 3) << n << " threads";
    }
    model::freeList(doc);
}

} // namespace
