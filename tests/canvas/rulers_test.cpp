// Ruler ticks and labels per unit and zoom, the band colours and the marker.
#include "canvas/rulers.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace canvas;

namespace {

const rulerTick_t* tickAt(const std::vector<rulerTick_t>& t, int32_t at)
{
    for (const rulerTick_t& x : t)
        if (x.at == at) return &x;
    return nullptr;
}

int countLength(const std::vector<rulerTick_t>& t, int32_t len, int32_t upTo)
{
    return static_cast<int>(std::count_if(t.begin(), t.end(), [&](const rulerTick_t& x) { return x.length == len && x.at <= upTo; }));
}

QRgb rgbOf(int32_t bgr)
{
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace

struct majorCase {
    const char* name;
    int32_t unit;
    double zoom;
    double pxPerUnit;
    int32_t major;
};

void PrintTo(const majorCase& c, std::ostream* os)
{
    *os << "unit " << c.unit << " (" << c.pxPerUnit << " px each) at zoom " << c.zoom << ": a major tick every "
        << c.major << " px";
}

class RulerMajor : public ::testing::TestWithParam<majorCase> {};

TEST_P(RulerMajor, StepPerUnitAndZoom)
{
    const majorCase c = GetParam();
    EXPECT_EQ(rulerMajorStep(c.unit, c.zoom, c.pxPerUnit), c.major);
}

INSTANTIATE_TEST_SUITE_P(Units, RulerMajor,
                         ::testing::Values(majorCase{"PixelsAt100Percent", 1, 1.0, 1, 100},
                                           majorCase{"PixelsAt25Percent", 1, 0.25, 1, 25},
                                           majorCase{"PixelsAt300Percent", 1, 3.0, 1, 300},
                                           majorCase{"MillimetresAt100Percent", 2, 1.0, 96 / 25.4, 38},
                                           majorCase{"MillimetresAt200Percent", 2, 2.0, 96 / 25.4, 76},
                                           majorCase{"InchesAt100Percent", 3, 1.0, 96, 96},
                                           majorCase{"InchesAt50Percent", 3, 0.5, 96, 48},
                                           majorCase{"InchesAt125Percent", 3, 1.25, 96, 120}),
                         testnames::byName{});

TEST(RulerTicks, PixelsAt100Percent)
{
    const auto t = rulerTicks(1, 1.0, 1, 300);
    // No tick or label at the page edge itself.
    EXPECT_EQ(tickAt(t, 0), nullptr);
    ASSERT_NE(tickAt(t, 100), nullptr);
    EXPECT_EQ(tickAt(t, 100)->length, 11);
    EXPECT_EQ(tickAt(t, 100)->label, 100);
    EXPECT_EQ(tickAt(t, 200)->label, 200);
    // Minor ticks every 1/10, none at 1/20 at this zoom.
    ASSERT_NE(tickAt(t, 10), nullptr);
    EXPECT_EQ(tickAt(t, 10)->length, 1);
    EXPECT_EQ(tickAt(t, 5), nullptr);
}

TEST(RulerTicks, PixelsMinorTicksFollowTheZoom)
{
    // 0.2: every 1/5 of 20 pixels.
    auto t = rulerTicks(1, 0.2, 1, 100);
    EXPECT_NE(tickAt(t, 4), nullptr);
    EXPECT_EQ(tickAt(t, 2), nullptr);
    // 0.1: no minor ticks at all.
    t = rulerTicks(1, 0.1, 1, 100);
    EXPECT_EQ(countLength(t, 1, 100), 0);
    // 2.0: also every 1/20 (10 pixels of a 200-pixel step).
    t = rulerTicks(1, 2.0, 1, 200);
    EXPECT_NE(tickAt(t, 10), nullptr);
    EXPECT_EQ(countLength(t, 1, 199), 19);
}

TEST(RulerTicks, MillimetresLabelsOnlyAbove25Percent)
{
    const double ppm = 96 / 25.4;
    auto t = rulerTicks(2, 1.0, ppm, 200);
    ASSERT_NE(tickAt(t, 38), nullptr);
    EXPECT_EQ(tickAt(t, 38)->label, 10);
    EXPECT_EQ(tickAt(t, 76)->label, 20);
    EXPECT_EQ(tickAt(t, 19)->length, 4);  // half a centimetre
    t = rulerTicks(2, 0.25, ppm, 200);
    for (const rulerTick_t& x : t) EXPECT_EQ(x.label, 0);
}

TEST(RulerTicks, InchesSubdivisions)
{
    // 100 %: 1/2 (8), 1/4 (4), 1/8 (1); not 1/16.
    auto t = rulerTicks(3, 1.0, 96, 96);
    EXPECT_EQ(tickAt(t, 96)->label, 1);
    EXPECT_EQ(tickAt(t, 48)->length, 8);
    EXPECT_EQ(tickAt(t, 24)->length, 4);
    EXPECT_EQ(tickAt(t, 12)->length, 1);
    EXPECT_EQ(tickAt(t, 6), nullptr);
    // 300 %: every 1/32 of 288 = 9 pixels.
    t = rulerTicks(3, 3.0, 96, 288);
    EXPECT_NE(tickAt(t, 9), nullptr);
    // 0.25: labels but no subdivision ticks; 0.125: neither.
    t = rulerTicks(3, 0.25, 96, 48);
    EXPECT_EQ(tickAt(t, 24)->label, 1);
    EXPECT_EQ(countLength(t, 8, 48) + countLength(t, 4, 48) + countLength(t, 1, 48), 0);
    t = rulerTicks(3, 0.125, 96, 48);
    for (const rulerTick_t& x : t) EXPECT_EQ(x.label, 0);
}

TEST(RulerPicture, PageBandIsYellowAndTheRestSilver)
{
    QImage img(400, 12, QImage::Format_RGB32);
    rulerLayout_t s;
    s.first = -50;  // the page starts 50 pixels into the ruler
    s.pageStart = 0;
    s.pageEnd = 200;
    s.unit = 3;
    s.zoom = 1.0;
    s.pxPerUnit = 96;
    drawRuler(img, s);
    EXPECT_EQ(img.pixel(10, 2), rgbOf(rulerRestColour));
    EXPECT_EQ(img.pixel(300, 2), rgbOf(rulerRestColour));
    EXPECT_EQ(img.pixel(60, 1), rgbOf(rulerBandColour));
    // A major tick at one inch from the page edge runs 11 pixels up from the bottom.
    EXPECT_EQ(img.pixel(50 + 96, 11), rgbOf(0x505050));
    EXPECT_EQ(img.pixel(50 + 96, 1), rgbOf(0x505050));
    EXPECT_NE(img.pixel(50 + 96, 0), rgbOf(0x505050));
    // The half-inch tick is 8 long.
    EXPECT_EQ(img.pixel(50 + 48, 4), rgbOf(0x505050));
    EXPECT_NE(img.pixel(50 + 48, 3), rgbOf(0x505050));
}

TEST(RulerPicture, ScrolledRulerShowsTheSameTicksShifted)
{
    rulerLayout_t s;
    s.pageStart = 19;
    s.pageEnd = 19 + 2448;
    s.unit = 3;
    s.zoom = 3.0;
    s.pxPerUnit = 96;
    QImage a(600, 12, QImage::Format_RGB32), b(600, 12, QImage::Format_RGB32);
    s.first = 1000;
    drawRuler(a, s);
    s.first = 1100;
    drawRuler(b, s);
    // Tick rows (below the labels) agree where the two views overlap.
    for (int x = 0; x < 500; ++x) EXPECT_EQ(a.pixel(x + 100, 11), b.pixel(x, 11)) << x;
}

TEST(RulerMarker, SavesAndRestoresThePixelsUnderIt)
{
    rulerImage_t r(false);
    r.resize(300, 12);
    rulerLayout_t s;
    s.pageStart = 0;
    s.pageEnd = 300;
    r.redraw(s);
    const QImage before = r.picture().copy();
    r.showMarker(96);
    EXPECT_EQ(r.markerPos(), 96);
    EXPECT_EQ(r.picture().pixel(96, 5), rgbOf(rulerMarkerColour));
    r.showMarker(120);
    EXPECT_EQ(r.picture().pixel(96, 11), before.pixel(96, 11));
    r.removeMarker();
    EXPECT_EQ(r.markerPos(), -1);
    EXPECT_EQ(r.picture(), before);
    // Outside the ruler: nothing drawn.
    r.showMarker(5000);
    EXPECT_EQ(r.picture(), before);
}

TEST(RulerTicks, PartialRangeAgreesWithTheWholeRuler)
{
    for (int unit = 1; unit <= 3; ++unit) {
        const double ppu = unit == 1 ? 1.0 : unit == 2 ? 96 / 25.4 : 96;
        const auto whole = rulerTicks(unit, 3.0, ppu, 5000);
        const auto part = rulerTicks(unit, 3.0, ppu, 2000, 5000);
        for (const rulerTick_t& t : whole) {
            if (t.at < 2000) continue;
            const rulerTick_t* p = tickAt(part, t.at);
            ASSERT_NE(p, nullptr) << unit << " at " << t.at;
            EXPECT_EQ(*p, t);
        }
    }
}
