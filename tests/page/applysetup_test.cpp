// Applying a page setup to a document header and to the settings for new
// files: canvas size per design type, unparseable texts, unit changes.
#include "page/applysetup.h"
#include "settings/pagepresets.h"

#include "geometry/units.h"
#include "model/itemlist.h"
#include "settings/params.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace page;

namespace {

// A header item in millimetres with a known page, as a document has it.
struct headerDoc_t {
    model::itemList_t items;
    model::item_t* h = nullptr;
    headerDoc_t()
    {
        h = model::newItem(items, model::typeHeader);
        h->kind = model::kindHeader;
        std::memset(h->bodyBytes() + 116, 0, 331 - 116);
        auto& b = h->hdr();
        b.zoom = 1.0;
        b.unit = 2;
        geometry::pxPerUnit(2, b.pxPerUnitX, b.pxPerUnitY);
        b.paperWidth = 123;
        b.paperHeight = 456;
        b.canvasLeft = 10;
        b.canvasTop = 20;
        b.rows = 7;
    }
    ~headerDoc_t() { model::freeList(items); }
};

struct applyCase {
    const char* name;
    int32_t type;
    int32_t unit;
    std::function<void(miry_t&)> fill;
    double canvasWidth, canvasHeight;
};
void PrintTo(const applyCase& c, std::ostream* os) { *os << c.name; }

class ApplyPageSetup : public ::testing::TestWithParam<applyCase> {};

TEST_P(ApplyPageSetup, CanvasSize)
{
    const applyCase& c = GetParam();
    headerDoc_t doc;
    pageset_t s;
    s.unit = c.unit;
    c.fill(s.measuresOf(c.unit));
    settings::defaults_t d;
    ASSERT_TRUE(applyPageSetup(doc.h, s, c.type, d));
    EXPECT_DOUBLE_EQ(doc.h->hdr().canvasWidth, c.canvasWidth);
    EXPECT_DOUBLE_EQ(doc.h->hdr().canvasHeight, c.canvasHeight);
    EXPECT_EQ(doc.h->hdr().designType, c.type);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyPageSetup,
    ::testing::Values(
        applyCase{"GreetingCardColumnFoldOpensOutAcross", 3, 2,
                  [](miry_t& m) { m.paperWidth = "210", m.paperHeight = "297", m.cardWidth = "105",
                                  m.cardHeight = "148", m.columnFold = 1; },
                  210, 148},
        applyCase{"BusinessCardRowFoldOpensOutDown", 4, 2,
                  [](miry_t& m) { m.cardWidth = "74", m.cardHeight = "52", m.rowFold = 1; }, 74, 104},
        applyCase{"LabelIsOneCardWithoutFold", 5, 3,
                  [](miry_t& m) { m.paperWidth = "8 1/2", m.cardWidth = "2 1/2", m.cardHeight = "1-1/4"; },
                  2.5, 1.25},
        applyCase{"BrochuresKeepThePaperWhateverTheirFolds", 10, 2,
                  [](miry_t& m) { m.paperWidth = "210", m.paperHeight = "297", m.cardWidth = "210",
                                  m.cardHeight = "99", m.rows = "3", m.rowFold = 1; },
                  210, 297},
        applyCase{"IllustrationsInchesWithHyphenAndInchMark", 1, 3,
                  [](miry_t& m) { m.paperWidth = "8-1/2", m.paperHeight = "11\""; }, 8.5, 11},
        applyCase{"UnparseablePaperKeepsTheOldValue", 1, 2,
                  [](miry_t& m) { m.paperWidth = "abc", m.paperHeight = "3/0"; }, 123, 456},
        applyCase{"DigitalImageInPixels", 9, 1,
                  [](miry_t& m) { m.paperWidth = "728", m.paperHeight = "90"; }, 728, 90}),
    testnames::byName{});

TEST(ApplyPageSetupHeader, WritesMeasuresTextsAndKeepsWhatFails)
{
    headerDoc_t doc;
    pageset_t s;
    s.unit = 2;
    s.pageOrientation = landscape;
    miry_t& m = s.measuresOf(2);
    m.presetIndex = 4;
    m.paperWidth = "297";
    m.paperHeight = "210";
    m.marginLeft = "7,5";
    m.rows = "x";
    m.columns = "3";
    settings::defaults_t d;
    ASSERT_TRUE(applyPageSetup(doc.h, s, 1, d));
    const auto& h = doc.h->hdr();
    EXPECT_EQ(h.pageOrientation, landscape);
    EXPECT_EQ(h.presetIndex, 4);
    EXPECT_DOUBLE_EQ(h.marginLeft, 7.5);
    EXPECT_EQ(h.rows, 7);  // "x" keeps the old count
    EXPECT_EQ(h.columns, 3);
    miry_t back;
    readPageTexts(doc.h->text, back);
    EXPECT_EQ(back.marginLeft, "7,5");  // kept as typed
    EXPECT_EQ(back.rows, "x");
}

TEST(ApplyPageSetupHeader, UnitChangeKeepsTheCanvasOriginAndResetsAnchorSteps)
{
    headerDoc_t doc;
    const double leftPx = 10 * doc.h->hdr().pxPerUnitX, topPx = 20 * doc.h->hdr().pxPerUnitY;
    pageset_t s;
    s.unit = 3;
    s.measuresOf(3).paperWidth = "8 1/2";
    s.measuresOf(3).paperHeight = "11";
    settings::defaults_t d;
    d.recInch.anchorStepX = 0.25;
    d.recInch.anchorStepY = 0.5;
    d.recMm.anchorStepX = 10;
    ASSERT_TRUE(applyPageSetup(doc.h, s, 1, d));
    const auto& h = doc.h->hdr();
    EXPECT_EQ(h.unit, 3);
    EXPECT_DOUBLE_EQ(h.pxPerUnitX, 96);
    EXPECT_NEAR(h.canvasLeft * h.pxPerUnitX, leftPx, 1e-9);
    EXPECT_NEAR(h.canvasTop * h.pxPerUnitY, topPx, 1e-9);
    EXPECT_DOUBLE_EQ(h.anchorStepX, 0.25);
    EXPECT_DOUBLE_EQ(h.anchorStepY, 0.5);
}

TEST(ApplyPageSetupHeader, NothingWithoutHeaderUnitOrDesignType)
{
    headerDoc_t doc;
    pageset_t s;
    s.measuresOf(2).paperWidth = "1";
    settings::defaults_t d;
    s.unit = 0;
    EXPECT_FALSE(applyPageSetup(doc.h, s, 1, d));
    s.unit = 2;
    EXPECT_FALSE(applyPageSetup(doc.h, s, 0, d));
    EXPECT_FALSE(applyPageSetup(doc.h, s, 12, d));
    EXPECT_FALSE(applyPageSetup(nullptr, s, 1, d));
    EXPECT_DOUBLE_EQ(doc.h->hdr().paperWidth, 123);
    EXPECT_EQ(doc.h->hdr().designType, 0);
}

TEST(NewFilesSetup, StoresEverySetupAndTakesThePaperAsDefaultCanvas)
{
    settings::TParams p(nullptr);
    pagesetArr_t sets = p.pageSets;
    sets[3] = defaultPageSetup(4, 3);
    sets[3].unit = 2;
    sets[3].measuresOf(2).paperWidth = "297";
    sets[3].measuresOf(2).paperHeight = "210";
    sets[6].pageOrientation = landscape;
    applyNewFilesSetup(p, sets, 4);
    EXPECT_EQ(p.pageSets, sets);
    EXPECT_EQ(p.pspage, 4);
    EXPECT_EQ(p.newFile.units, 2);
    EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitX, p.pxPerMmX);
    EXPECT_DOUBLE_EQ(p.newFile.recMm.canvasWidth, 297);
    EXPECT_DOUBLE_EQ(p.newFile.recMm.canvasHeight, 210);
    EXPECT_EQ(p.newFile.recMm.canvasText.width, "297");

    // A paper that does not parse leaves the default unit and canvas alone.
    sets[3].unit = 1;
    sets[3].measuresOf(1).paperWidth = "wide";
    applyNewFilesSetup(p, sets, 4);
    EXPECT_EQ(p.newFile.units, 2);
    EXPECT_EQ(p.pageSets[3].unit, 1);
}

TEST(DocumentSetup, HeaderOverridesTheSettingsCopy)
{
    headerDoc_t doc;
    auto& h = doc.h->hdr();
    h.unit = 3;
    h.pageOrientation = landscape;
    h.presetIndex = 2;
    h.columnFold = 1;
    miry_t typed;
    typed.paperWidth = "11";
    typed.paperHeight = "8 1/2";
    model::setText(doc.h, pageTextsOf(typed));
    const pageset_t base = defaultPageSetup(4, 2);
    const pageset_t s = pageSetupOfDocument(doc.h, base);
    EXPECT_EQ(s.unit, 3);
    EXPECT_EQ(s.pageOrientation, landscape);
    EXPECT_EQ(s.measuresOf(3).presetIndex, 2);
    EXPECT_EQ(s.measuresOf(3).columnFold, 1);
    EXPECT_EQ(s.measuresOf(3).paperHeight, "8 1/2");
    EXPECT_EQ(s.measuresOf(2), base.measuresOf(2));  // other units untouched
}

} // namespace
