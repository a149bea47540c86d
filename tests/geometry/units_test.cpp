// Rounding, screen metrics, the zoom mapping, angles and measures.
#include "geometry/units.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace geometry;
using model::roundHalfEven;

namespace {
constexpr double pi = std::numbers::pi;

class Units : public ::testing::Test {
protected:
    void SetUp() override { model::setScreenPpi(96, 96); }
    void TearDown() override { model::setScreenPpi(96, 96); }
};
} // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    const struct {
        long double in;
        int32_t out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {0.49999, 0},
                 {0.50001, 1}, {1e20, INT32_MAX}, {-1e20, INT32_MIN}, {NAN, 0}};
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << double(c.in);
}

TEST_F(Units, ScreenMetricsFollowPixelsPerInch)
{
    EXPECT_EQ(model::screen().screenPpiX, 96) << "LUMORA_SCREEN_PPI=96 in the tests";
    EXPECT_DOUBLE_EQ(model::screen().pxPerMmX, 96 / 25.4);
    model::setScreenPpi(120, 144);
    EXPECT_DOUBLE_EQ(model::screen().pxPerMmX, 120 / 25.4);
    EXPECT_DOUBLE_EQ(model::screen().pxPerMmY, 144 / 25.4);
    model::setScreenPpi(0, -1);
    EXPECT_EQ(model::screen().screenPpiX, 120) << "nonsense leaves the metrics alone";
}

TEST_F(Units, ZoomMappingRoundsHalvesToEven)
{
    for (int v : {-7, 0, 1, 13, 800}) {
        EXPECT_EQ(docToScreen(1.0, v, 0), v);
        EXPECT_EQ(screenToDoc(1.0, v, 0), v);
    }
    EXPECT_EQ(screenToDoc(0.5, 3, 0), 6);
    EXPECT_EQ(screenToDoc(0.5, 1, 0), 2);
    EXPECT_EQ(docToScreen(0.5, 3, 0), 2);
    EXPECT_EQ(docToScreen(0.5, 5, 0), 2);
    EXPECT_EQ(docToScreen(2.0, 10, 5), 15);
    EXPECT_EQ(screenToDoc(2.0, 15, 5), 10);
    EXPECT_EQ(docToScreenPoint(0.5, 3, 5, {1, 2}), (point_t{1, 0}));
}

// Positions that do not divide by the zoom, both signs, with and without a
// view origin: each expected value is Round((s + origin) / zoom) or
// Round(zoom × v) − origin worked out by hand, halves to even. Truncating,
// flooring, rounding halves away from zero or applying the origin on the
// wrong side of the division each fail some row.
TEST_F(Units, ZoomMappingOfPositionsThatDoNotDivide)
{
    const struct {
        double zoom;
        int32_t s, origin, doc;
    } toDoc[] = {
        {2, 2, 0, 1},    {2, 5, 0, 2},    {2, 3, 0, 2},    {2, 7, 0, 4},     {3, 2, 0, 1},
        {3, 5, 0, 2},    {3, 4, 0, 1},    {2, -3, 0, -2},  {2, -5, 0, -2},   {3, -2, 0, -1},
        {3, -5, 0, -2},  {3, 2, 3, 2},    {3, 2, -7, -2},  {2, 5, 100, 52},  {3, 0, 1, 0},
        {1.5, 2, 0, 1},  {1.5, 4, 0, 3},  {3, 1599, 2000, 1200},
    };
    for (const auto& c : toDoc)
        EXPECT_EQ(screenToDoc(c.zoom, c.s, c.origin), c.doc) << "screen " << c.s << " from " << c.origin << " at " << c.zoom;

    const struct {
        double zoom;
        int32_t v, origin, screen;
    } toScreen[] = {
        {0.5, 5, 0, 2},  {0.5, 3, 0, 2},  {0.5, 7, 0, 4},   {0.5, -3, 0, -2}, {0.5, -5, 0, -2},
        {1.5, 3, 0, 4},  {1.5, 5, 0, 8},  {0.75, 2, 0, 2},  {0.5, 5, 10, -8}, {3, 400, 1000, 200},
        {1.25, -3, -4, 0},
    };
    for (const auto& c : toScreen)
        EXPECT_EQ(docToScreen(c.zoom, c.v, c.origin), c.screen) << "document " << c.v << " from " << c.origin << " at " << c.zoom;

    // From zoom 1 up a document pixel is at least one screen pixel wide, so
    // the screen pixel it maps to maps back to it.
    for (double zoom : {1.0, 1.25, 1.5, 2.0, 2.5, 3.0})
        for (int32_t origin : {0, 7, -13})
            for (int32_t v = -60; v <= 60; ++v)
                ASSERT_EQ(screenToDoc(zoom, docToScreen(zoom, v, origin), origin), v) << v << " at " << zoom << " from " << origin;
}

TEST_F(Units, PenWidthNeverBelowTheRoundedZoom)
{
    const struct {
        double zoom, mm;
        int32_t px;
    } cases[] = {{1.0, 0.0, 1}, {3.0, 0.0, 3}, {0.25, 0.0, 0}, {1.0, 1.0, 4}, {2.0, 1.0, 8},
                 {1.0, 0.1, 1}, {1.0, 0.5, 2}, {0.5, 0.0, 0}, {1.5, 0.0, 2}};
    for (const auto& c : cases) EXPECT_EQ(penWidthAt(c.zoom, c.mm), c.px) << c.zoom << " " << c.mm;
    EXPECT_EQ(weightPaddingPx(1.0), 4);
    EXPECT_EQ(weightPaddingPx(0.1), 0);
}

TEST_F(Units, SegmentAngleIsCounterClockwiseOnTheScreen)
{
    const struct {
        point_t a, b;
        double angle;
    } cases[] = {
        {{0, 0}, {0, 0}, 0},        {{0, 0}, {0, 10}, 3 * pi / 2}, {{0, 10}, {0, 0}, pi / 2},
        {{0, 0}, {-5, 0}, pi},      {{0, 0}, {5, 0}, 0},           {{0, 0}, {10, -10}, pi / 4},
        {{0, 0}, {-10, -10}, 3 * pi / 4}, {{0, 0}, {-10, 10}, 5 * pi / 4}, {{0, 0}, {10, 10}, 7 * pi / 4},
    };
    for (const auto& c : cases) {
        const double a = segmentAngle(c.a, c.b);
        EXPECT_NEAR(a, c.angle, 1e-12) << c.b.x << "," << c.b.y;
        EXPECT_GE(a, 0.0);
        EXPECT_LT(a, 2 * pi);
    }
}

TEST_F(Units, PolarPointRoundsEachAxisAndSubtractsTheSine)
{
    EXPECT_EQ(polarPoint({10, 10}, pi / 2, 10), (point_t{10, 0}));
    EXPECT_EQ(polarPoint({0, 0}, 0, 2.5), (point_t{2, 0}));
    EXPECT_EQ(polarPoint({0, 0}, pi, 3.5), (point_t{-4, 0}));
    EXPECT_EQ(polarPoint({0, 0}, 3 * pi / 2, 7), (point_t{0, 7}));
    EXPECT_DOUBLE_EQ(distance({0, 0}, {3, 4}), 5.0);
    EXPECT_DOUBLE_EQ(distance({-1, -1}, {-1, -1}), 0.0);
}

TEST_F(Units, FormatMeasure)
{
    const struct {
        int32_t unit;
        double value;
        const char* text;
    } cases[] = {
        {2, 0.3, " mm"},        {3, 0.5, ".5 Inches"},   {1, 1.0, "1 Pixel"},     {1, 0.00005, "None"},
        {2, 0.00005, "None"},   {3, 0.00005, "None"},    {3, 1.0, "1 Inch"},      {1, 2.0, "2 Pixels"},
        {2, 12.6, "13 mm"},     {3, 2.25, "2.25 Inches"}, {3, 1.5, "1.5 Inches"}, {1, 2.4, "2 Pixels"},
        {3, 0.126, ".13 Inches"}, {2, -4.0, "None"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatMeasure(c.unit, c.value), c.text) << c.unit << " " << c.value;
}

TEST_F(Units, ParseMeasure)
{
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"8 1/2", false, 0}, {"3,5", true, 3.5}, {"2\"", true, 2}, {"0/4", true, 0}, {"4/0", true, 0},
        {"1/4", true, 0.25}, {"  7.25  ", true, 7.25}, {"", false, 0}, {"   ", false, 0}, {"abc", false, 0},
        {"1/x", false, 0},   {"3/4\"", true, 0.75}, {"1e400", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(parseMeasure(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST_F(Units, ZoomPresets)
{
    EXPECT_EQ(zoomPresetIndex(1.0), 3);
    EXPECT_EQ(zoomPresetIndex(0.25), 0);
    EXPECT_EQ(zoomPresetIndex(3.0), 8);
    EXPECT_EQ(zoomPresetIndex(0.333), -1);
    EXPECT_EQ(zoomPresetIndex(0.2549), 0) << "Round(25.49) is 25";
    EXPECT_DOUBLE_EQ(zoomFactor(nullptr), 1.0);
}

TEST_F(Units, PixelsPerUnitAndTheCanvasRectangle)
{
    double x = 0, y = 0;
    pxPerUnit(1, x, y);
    EXPECT_EQ(x, 1.0);
    pxPerUnit(3, x, y);
    EXPECT_EQ(y, 96.0);
    pxPerUnit(2, x, y);
    EXPECT_DOUBLE_EQ(x, 96 / 25.4);

    model::itemList_t l;
    model::item_t* h = model::newItem(l, model::typeHeader);
    h->kind = model::kindHeader;
    auto& hd = h->hdr();
    hd.zoom = 0.5;
    hd.pxPerUnitX = hd.pxPerUnitY = 96 / 25.4;
    hd.canvasLeft = 10;
    hd.canvasTop = -10;
    hd.canvasWidth = 210;
    hd.canvasHeight = 297;
    computeCanvasPixels(h);
    EXPECT_EQ(hd.x1, 19) << "10 mm at half zoom is 18.9 pixels";
    EXPECT_EQ(hd.y1, -19);
    EXPECT_EQ(hd.x2, 19 + 397) << "210 mm at half zoom is 396.85";
    EXPECT_EQ(hd.y2, -19 + 561) << "297 mm at half zoom is 561.26";
    EXPECT_EQ(hd.boxWidth, 397);
    EXPECT_EQ(hd.boxTop, -19);
    EXPECT_EQ(hd.boxBottom, 542);
    hd.canvasWidth = -20;
    computeCanvasPixels(h);
    EXPECT_EQ(hd.boxLeft, hd.x2) << "a negative width turns the box";
    EXPECT_EQ(hd.boxRight, 19);
    model::freeList(l);
}
