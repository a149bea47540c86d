#include "output/carddoc.h"
#include "testnames.h"

#include "output/renderoutput.h"

#include <QColor>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using outdoc::sheet_t;

struct listGuard_t {
    model::itemList_t list;
    ~listGuard_t() { model::freeList(list); }
};

bool isRed(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0xFF0000; }
bool isWhite(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }

// ---- cells and the question whether to ask ----

struct cellCase_t {
    const char* name;
    int32_t designType, rows, columns;
    bool rowFold, columnFold;
    int32_t cellRows, cellColumns;
    bool asks;
};
void PrintTo(const cellCase_t& c, std::ostream* os) { *os << c.name; }

class Cells : public ::testing::TestWithParam<cellCase_t> {};

TEST_P(Cells, FoldsJoinCardsAndOnlyCardSheetsOfSeveralCellsAsk)
{
    const cellCase_t& c = GetParam();
    listGuard_t g;
    sheet_t s;
    s.designType = c.designType;
    s.rows = c.rows;
    s.columns = c.columns;
    s.rowFold = c.rowFold;
    s.columnFold = c.columnFold;
    const model::item_t* header = outdoc::build(g.list, s);
    const output::cellGrid_t cells = output::printCells(header->hdr());
    EXPECT_EQ(cells.rows, c.cellRows);
    EXPECT_EQ(cells.columns, c.cellColumns);
    EXPECT_EQ(output::needsAreaSelection(header), c.asks);
}

INSTANTIATE_TEST_SUITE_P(Sheets, Cells,
    ::testing::Values(
        cellCase_t{"BusinessCardsFoldedAcrossColumns", 4, 5, 2, false, true, 5, 1, true},
        cellCase_t{"GreetingCardsFoldedAcrossRows", 3, 4, 1, true, false, 2, 1, true},
        cellCase_t{"FoldedSingleColumnStaysOneCard", 3, 1, 1, false, true, 1, 1, false},
        cellCase_t{"PostcardOneByOneNeverAsks", 2, 1, 1, false, false, 1, 1, false},
        cellCase_t{"TentCardsTwoColumns", 11, 1, 2, false, false, 1, 2, true},
        cellCase_t{"IllustrationsNeverAsk", 1, 3, 3, false, false, 3, 3, false},
        cellCase_t{"NegativeStoredTypeIsACardType", -5, 2, 2, false, false, 2, 2, true}),
    testnames::byName());

TEST(Cells, ADocumentWithoutHeaderNeverAsks) { EXPECT_FALSE(output::needsAreaSelection(nullptr)); }

// ---- the print-area string ----

struct areaCase_t {
    const char* name;
    const char* areas;
    int32_t row, column, columns;
    bool printed;
};
void PrintTo(const areaCase_t& c, std::ostream* os) { *os << c.name; }

class Areas : public ::testing::TestWithParam<areaCase_t> {};

TEST_P(Areas, OnlyAnXInsideTheStringCrossesOut)
{
    const areaCase_t& c = GetParam();
    EXPECT_EQ(output::isAreaPrinted(QByteArray(c.areas), c.row, c.column, c.columns), c.printed);
}

INSTANTIATE_TEST_SUITE_P(Strings, Areas,
    ::testing::Values(
        areaCase_t{"EmptyPrintsEverything", "", 3, 2, 2, true},
        areaCase_t{"FirstCellCrossed", "x", 1, 1, 2, false},
        areaCase_t{"RowMajorIndexSecondRowFirstColumn", "  x ", 2, 1, 2, false},
        areaCase_t{"RowMajorIndexNotColumnMajor", "  x ", 1, 2, 2, true},
        areaCase_t{"LastCharacterCounts", "   x", 2, 2, 2, false},
        areaCase_t{"BeyondTheEndPrints", "xx", 2, 1, 2, true},
        areaCase_t{"OtherCharactersPrint", "X-o", 1, 1, 3, true},
        areaCase_t{"CapitalXIsNotACross", "X", 1, 1, 1, true}),
    testnames::byName());

// ---- resolutions of preview and export ----

struct resolutionCase_t {
    const char* name;
    int32_t unit;
    double width, height;
    int32_t orientation;
    int32_t ppi, pageWidth, pageHeight, previewWidth, previewHeight;
};
void PrintTo(const resolutionCase_t& c, std::ostream* os) { *os << c.name; }

class Resolution : public ::testing::TestWithParam<resolutionCase_t> {};

TEST_P(Resolution, PageAtPreviewResolutionAndOnTheScreen)
{
    const resolutionCase_t& c = GetParam();
    listGuard_t g;
    sheet_t s;
    s.designType = 1;
    s.unit = c.unit;
    s.paperWidth = c.width;
    s.paperHeight = c.height;
    s.orientation = c.orientation;
    const model::item_t* header = outdoc::build(g.list, s);
    const output::resolution_t r = output::previewResolution(header);
    EXPECT_EQ(r.ppiX, c.ppi);
    EXPECT_EQ(r.ppiY, c.ppi);
    EXPECT_EQ(r.width, c.pageWidth);
    EXPECT_EQ(r.height, c.pageHeight);
    EXPECT_EQ(output::previewSize(r), QSize(c.previewWidth, c.previewHeight));
}

INSTANTIATE_TEST_SUITE_P(Pages, Resolution,
    ::testing::Values(
        resolutionCase_t{"PixelsLeaderboard", 1, 728, 90, 2, 96, 728, 90, 728, 90},
        resolutionCase_t{"PixelsAtLeastTen", 1, 4, 300, 1, 96, 10, 300, 10, 300},
        resolutionCase_t{"MillimetresA4", 2, 210, 297, 1, 200, 1654, 2339, 794, 1123},
        resolutionCase_t{"InchesLetter", 3, 8.5, 11, 1, 200, 1700, 2200, 816, 1056},
        resolutionCase_t{"NarrowInchesBecomeLetter", 3, 1.5, 11, 1, 200, 2550, 3300, 1224, 1584},
        resolutionCase_t{"NarrowInchesLandscape", 3, 11, 1.5, 2, 200, 3300, 2550, 1584, 1224},
        resolutionCase_t{"UnknownUnitFallsBackToA4", 4, 1, 1, 1, 200, 2480, 3508, 1190, 1684},
        resolutionCase_t{"HugeSideIsLimited", 3, 500, 11, 1, 200, 32000, 2200, 15360, 1056}),
    testnames::byName());

// ---- where the first card goes and how far copies bleed ----

struct placeCase_t {
    const char* name;
    int32_t designType;
    double marginLeft, columnGap;
    int32_t ppi, offX;
    int32_t originX, bleedX;
};
void PrintTo(const placeCase_t& c, std::ostream* os) { *os << c.name; }

class Placement : public ::testing::TestWithParam<placeCase_t> {};

TEST_P(Placement, OriginAndBleedInDevicePixels)
{
    const placeCase_t& c = GetParam();
    listGuard_t g;
    sheet_t s;
    s.designType = c.designType;
    s.marginLeft = c.marginLeft;
    s.columnGap = c.columnGap;
    s.columns = 2;
    const model::item_t* header = outdoc::build(g.list, s);
    output::device_t d;
    d.ppiX = d.ppiY = c.ppi;
    d.offX = d.offY = c.offX;
    d.pageWidth = d.pageHeight = 4000;
    const output::sheetPlacement_t p = output::placeSheet(header->hdr(), d);
    EXPECT_EQ(p.origin.x(), c.originX);
    EXPECT_EQ(p.bleedX, c.bleedX);
}

INSTANTIATE_TEST_SUITE_P(Sheets, Placement,
    ::testing::Values(
        // 300 dpi: 6 mm = 70.87 → 71 px, half of it 35 (3 mm); 10 mm = 118 px, 2 mm = 24 px.
        placeCase_t{"WideMarginBleedsHalfTheGap", 4, 10, 6, 300, 0, 118, 35},
        placeCase_t{"NarrowMarginBleedsOnlyTheMargin", 4, 2, 6, 300, 0, 24, 24},
        placeCase_t{"NoGapNoBleed", 4, 10, 0, 300, 0, 118, 0},
        placeCase_t{"OffsetMovesTheCardBack", 4, 10, 6, 300, 50, 68, 35},
        placeCase_t{"OffsetBeyondTheMarginBleedsByItsSize", 4, 2, 6, 300, 50, -26, 26},
        placeCase_t{"IllustrationsStartAtThePaperCorner", 1, 10, 6, 300, 50, -50, 0},
        placeCase_t{"DigitalImagesIgnoreTheOffset", 9, 10, 6, 300, 50, 0, 0}),
    testnames::byName());

// ---- the rendered sheet: copies, crossed-out cells, short strings ----

struct sheetCase_t {
    const char* name;
    sheet_t sheet;
    const char* areas;
    std::set<std::pair<int, int>> white;  // (row, column) of crossed-out cells
};
void PrintTo(const sheetCase_t& c, std::ostream* os) { *os << c.name; }

sheet_t grid2x3()
{
    sheet_t s;
    s.designType = 5;
    s.cardWidth = 60;
    s.cardHeight = 40;
    s.marginLeft = 8;
    s.marginTop = 12;
    s.columnGap = 4;
    s.rowGap = 6;
    s.rows = 2;
    s.columns = 3;
    return s;
}

class Sheet : public ::testing::TestWithParam<sheetCase_t> {};

TEST_P(Sheet, EveryPrintedCellGetsTheCardAndCrossedOutCellsStayWhite)
{
    const sheetCase_t& c = GetParam();
    listGuard_t g;
    const model::item_t* header = outdoc::build(g.list, c.sheet);
    output::device_t d;
    d.ppiX = d.ppiY = 50;
    d.pageWidth = 413;   // 210 mm
    d.pageHeight = 585;  // 297 mm
    const QImage img = output::renderSheet(g.list, d, QByteArray(c.areas));
    ASSERT_EQ(img.size(), QSize(413, 585));
    const output::sheetPlacement_t p = output::placeSheet(header->hdr(), d);
    for (int j = 1; j <= p.cells.rows; ++j)
        for (int i = 1; i <= p.cells.columns; ++i) {
            const int left = p.origin.x() + (i - 1) * (p.cellWidth + p.columnGap);
            const int top = p.origin.y() + (j - 1) * (p.cellHeight + p.rowGap);
            const bool crossed = c.white.count({j, i}) > 0;
            // The centre and the two far corners of the cell.
            for (auto [x, y] : {std::pair{left + p.cellWidth / 2, top + p.cellHeight / 2}, std::pair{left + 1, top + 1},
                                std::pair{left + p.cellWidth - 2, top + p.cellHeight - 2}})
                EXPECT_EQ(isRed(img, x, y), !crossed) << "cell row " << j << " column " << i << " at " << x << "," << y;
        }
    EXPECT_TRUE(isWhite(img, p.origin.x() - 1, p.origin.y() + 5)) << "left margin";
    EXPECT_TRUE(isWhite(img, p.origin.x() + 5, p.origin.y() - 1)) << "top margin";
}

INSTANTIATE_TEST_SUITE_P(Sheets, Sheet,
    ::testing::Values(
        sheetCase_t{"FoldedBusinessCardsAllPrinted", outdoc::foldedBusinessCards(), "", {}},
        sheetCase_t{"FoldedBusinessCardsFirstCrossed", outdoc::foldedBusinessCards(), "x", {{1, 1}}},
        sheetCase_t{"FoldedBusinessCardsTwoCrossed", outdoc::foldedBusinessCards(), " x  x", {{2, 1}, {5, 1}}},
        sheetCase_t{"GridRowMajor", grid2x3(), " x   x", {{1, 2}, {2, 3}}},
        sheetCase_t{"ShortStringPrintsTheRest", grid2x3(), "xx", {{1, 1}, {1, 2}}},
        sheetCase_t{"EverythingCrossed", grid2x3(), "xxxxxx", {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}}}),
    testnames::byName());

TEST(Sheet, CopiesCarryTheBleedButNotTheRestOfTheGap)
{
    // Gap 6 mm at 300 dpi: 71 px, 35 px of bleed on each side of a card; the
    // design overflows its card by 20 document pixels (about 5 mm).
    listGuard_t g;
    sheet_t s = grid2x3();
    s.marginLeft = 10;
    s.columnGap = 6;
    s.rows = 1;
    s.columns = 2;
    s.cardWidth = 30;
    s.paperWidth = 90;
    s.paperHeight = 60;
    const model::item_t* header = outdoc::build(g.list, s, 20);
    output::device_t d;
    d.ppiX = d.ppiY = 300;
    d.pageWidth = 1063;
    d.pageHeight = 709;
    const QImage img = output::renderSheet(g.list, d, QByteArray());
    const output::sheetPlacement_t p = output::placeSheet(header->hdr(), d);
    ASSERT_EQ(p.bleedX, 35);
    const int second = p.origin.x() + p.cellWidth + p.columnGap, y = p.origin.y() + 20;
    EXPECT_TRUE(isRed(img, second - p.bleedX, y)) << "left bleed of the copy";
    EXPECT_TRUE(isRed(img, second + p.cellWidth + p.bleedX - 1, y)) << "right bleed of the copy";
    EXPECT_TRUE(isWhite(img, second + p.cellWidth + p.bleedX + 1, y)) << "beyond the copy's bleed";
    EXPECT_TRUE(isWhite(img, p.origin.x() - 1, y)) << "left of the first card";
}

TEST(Sheet, PhysicalOffsetCutsContentNearTheEdgeOfAnIllustrationsPage)
{
    listGuard_t g;
    sheet_t s;
    s.designType = 1;
    s.unit = geometry::unitPixels;
    s.paperWidth = 200;
    s.paperHeight = 100;
    outdoc::build(g.list, s);
    output::device_t d;  // the screen's resolution: one document pixel each
    d.offX = 10;
    d.offY = 4;
    d.pageWidth = 200;
    d.pageHeight = 100;
    const QImage img = output::renderSheet(g.list, d, QByteArray());
    ASSERT_EQ(img.size(), QSize(180, 92));
    // The rectangle covers the page; its outline stroke at the paper corner
    // falls outside the printable area, the fill reaches (0, 0).
    EXPECT_TRUE(isRed(img, 0, 0));
    EXPECT_TRUE(isRed(img, 179, 91));
}

TEST(Sheet, NoHeaderNoSheet)
{
    listGuard_t g;
    EXPECT_TRUE(output::renderSheet(g.list, output::device_t{}, QByteArray()).isNull());
    EXPECT_TRUE(output::exactImage(g.list).isNull());
    EXPECT_TRUE(output::previewImage(g.list, QByteArray()).isNull());
}

// ---- tiles ----

TEST(Tiles, ColumnsOfTilesFromTheTopCoverTheSheetOnce)
{
    QImage sheet(1100, 600, QImage::Format_RGB32);
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x) sheet.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    QImage rebuilt(sheet.size(), QImage::Format_RGB32);
    rebuilt.fill(0);
    std::vector<QRect> order;
    ASSERT_TRUE(output::sendTiles(sheet, [&](const QImage& tile, QPoint at) {
        order.push_back(QRect(at, tile.size()));
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x) rebuilt.setPixel(at.x() + x, at.y() + y, tile.pixel(x, y));
        return true;
    }));
    const std::vector<QRect> expected{QRect(0, 0, 512, 512),   QRect(0, 512, 512, 88),   QRect(512, 0, 512, 512),
                                      QRect(512, 512, 512, 88), QRect(1024, 0, 76, 512), QRect(1024, 512, 76, 88)};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(rebuilt, sheet);
}

TEST(Tiles, TheSinkCanStopThePrint)
{
    QImage sheet(1024, 1024, QImage::Format_RGB32);
    int calls = 0;
    EXPECT_FALSE(output::sendTiles(sheet, [&](const QImage&, QPoint) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
}

// ---- preview and exact export ----

struct imageCase_t {
    const char* name;
    sheet_t sheet;
    QSize exact, preview;
};
void PrintTo(const imageCase_t& c, std::ostream* os) { *os << c.name; }

sheet_t leaderboard()
{
    sheet_t s;
    s.designType = 9;
    s.unit = geometry::unitPixels;
    s.paperWidth = 728;
    s.paperHeight = 90;
    return s;
}
sheet_t a4()
{
    sheet_t s;
    s.designType = 1;
    return s;
}

class PageImage : public ::testing::TestWithParam<imageCase_t> {};

TEST_P(PageImage, ExactAndSmoothHaveThePageSizeOnTheScreen)
{
    const imageCase_t& c = GetParam();
    listGuard_t g;
    outdoc::build(g.list, c.sheet);
    EXPECT_EQ(output::exactImage(g.list).size(), c.exact);
    EXPECT_EQ(output::previewImage(g.list, QByteArray()).size(), c.preview);
}

INSTANTIATE_TEST_SUITE_P(Pages, PageImage,
    ::testing::Values(imageCase_t{"DigitalImagesLeaderboard", leaderboard(), QSize(728, 90), QSize(728, 90)},
                      imageCase_t{"MillimetreA4", a4(), QSize(794, 1123), QSize(794, 1123)},
                      imageCase_t{"BusinessCardSheet", outdoc::foldedBusinessCards(), QSize(794, 1123),
                                  QSize(794, 1123)}),
    testnames::byName());

TEST(PageImage, SmoothHonoursCrossedOutCellsAndExactFillsThem)
{
    listGuard_t g;
    const model::item_t* header = outdoc::build(g.list, outdoc::foldedBusinessCards());
    const QImage smooth = output::previewImage(g.list, QByteArray(" x"));
    const QImage exact = output::exactImage(g.list);
    // Centre of the second cell at the screen's resolution.
    output::device_t d = output::screenDevice(header, output::modeExport);
    const output::sheetPlacement_t p = output::placeSheet(header->hdr(), d);
    const int x = p.origin.x() + p.cellWidth / 2, y = p.origin.y() + p.cellHeight + p.rowGap + p.cellHeight / 2;
    EXPECT_TRUE(isWhite(smooth, x, y));
    EXPECT_TRUE(isRed(exact, x, y));
    EXPECT_TRUE(isRed(smooth, x, p.origin.y() + p.cellHeight / 2));
}

TEST(PageImage, PixelPagesArePreviewedAtTwiceTheSize)
{
    listGuard_t g;
    const model::item_t* header = outdoc::build(g.list, leaderboard());
    const output::device_t d = output::screenDevice(header, output::modePreview);
    EXPECT_EQ(d.ppiX, 192);
    EXPECT_EQ(d.pageWidth, 1456);
    EXPECT_EQ(d.pageHeight, 180);
}

} // namespace
