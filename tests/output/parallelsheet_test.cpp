// Sheets for print and export drawn in bands on several threads against the
// same sheets on one thread, byte for byte: pages of every kind of item, with
// shadows and surfaces, texts and random pages, at several resolutions (and
// unequal ones across and down).
#include "output/carddoc.h"
#include "output/renderoutput.h"
#include "render/docbuilder.h"
#include "render/parallel.h"
#include "render/randompage.h"
#include "render/text.h"

#include <gtest/gtest.h>

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

} // namespace
