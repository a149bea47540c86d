// Text layout: metrics from one place, lines stacked across the text angle,
// justification, the box and its fitting, and what a text draws.
#include "docbuilder.h"
#include "testnames.h"

#include "render/renderpass.h"
#include "render/shapedraw.h"
#include "render/text.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <ostream>

using namespace render;
using geometry::point_t;

namespace {

struct textDoc_t {
    model::itemList_t list;
    textDoc_t() { testdoc::addHeader(list, 600, 400); }
    ~textDoc_t() { model::freeList(list); }
    model::item_t* text(int32_t x1, int32_t y1, int32_t x2, int32_t y2, std::u16string lines, int32_t angle = 0,
                        int32_t justification = 1)
    {
        model::item_t* it = testdoc::addText(list, x1, y1, x2, y2, std::move(lines), angle, justification);
        textBox(it);
        return it;
    }
    QImage paint()
    {
        renderView_t view;
        view.items = &list;
        view.Image1 = newCanvasImage(600, 400);
        repaintAll(view, false);
        return view.Image1;
    }
};

int32_t inkPixels(const QImage& img)
{
    int32_t n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == 0;
    return n;
}

TEST(TextMetrics, LayoutBandAndLineHeightComeFromTheSameIntegerMetrics)
{
    textDoc_t d;
    model::item_t* it = d.text(100, 200, 300, 200, u"one\ntwo\nthree");
    const textMetrics_t m = textMetrics(it, 12);
    EXPECT_EQ(lineHeight(it), m.ascent + m.descent + m.leading);
    // The band reaches one descent below the last baseline and three line heights up.
    const geometry::quadrangle_t band = textBand(it);
    EXPECT_EQ(band[3], (point_t{100, 200 + m.descent}));
    EXPECT_EQ(band[0], (point_t{100, 200 + m.descent - 3 * lineHeight(it)}));
    EXPECT_EQ(it->boxTop, band[0].y - textBoxMargin);
    EXPECT_EQ(it->boxBottom, band[3].y + textBoxMargin);
}

struct stacking_t {
    const char* name;
    int32_t angle;
    int32_t dx, dy;  // where each line lies from the one below it, in line heights
};
void PrintTo(const stacking_t& s, std::ostream* os) { *os << s.name; }

class Stacking : public ::testing::TestWithParam<stacking_t> {};

TEST_P(Stacking, LastLineOnTheStoredBaselineTheOthersAcrossIt)
{
    textDoc_t d;
    model::item_t* it = d.text(300, 200, 400, 200, u"a\nb\nc", GetParam().angle);
    it->fontSize = 11;
    const int32_t H = lineHeight(it);
    // The face that stands for Arial: 15-pixel glyphs, 14 + 4 + 1 pixels a line.
    if (QFontInfo(makeTextFont(it, 11, false)).family() == QStringLiteral("Liberation Sans")) EXPECT_EQ(H, 19);
    const std::vector<lineBaseline_t> b = lineBaselines(it, screenXform(1.0, {0, 0}), 3);
    ASSERT_EQ(b.size(), 3u);
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t above = 2 - k;
        EXPECT_EQ(b[size_t(k)].p, QPoint(300 + above * GetParam().dx * H, 200 + above * GetParam().dy * H)) << "line " << k + 1;
        EXPECT_EQ(b[size_t(k)].q - b[size_t(k)].p, QPoint(100, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Angles, Stacking,
                         ::testing::Values(stacking_t{"LevelStacksUpwards", 0, 0, -1},
                                           stacking_t{"UprightStacksLeftwards", 900, -1, 0},
                                           stacking_t{"UpsideDownStacksDownwards", 1800, 0, 1},
                                           stacking_t{"DownwardsStacksRightwards", 2700, 1, 0}),
                         testnames::byName());

struct justify_t {
    const char* name;
    int32_t justification;
    int32_t boxLength;
    double zoom;
    enum { none, half, all } offset;  // of the room the line leaves in the box
};
void PrintTo(const justify_t& j, std::ostream* os) { *os << j.name; }

class Justification : public ::testing::TestWithParam<justify_t> {};

TEST_P(Justification, LineStartsWhereItsRoomSays)
{
    const justify_t& c = GetParam();
    textDoc_t d;
    model::item_t* it = d.text(50, 100, 50 + c.boxLength, 100, u"Justified", 0, c.justification);
    const int32_t L = model::roundHalfEven(c.zoom * c.boxLength);
    const int32_t w = model::roundHalfEven(c.zoom * lineWidth(it, u"Justified", c.zoom));
    ASSERT_GT(w, 10);
    const int32_t room = std::max(L - w, 0);
    const int32_t want = c.offset == justify_t::none ? 0 : c.offset == justify_t::half ? room / 2 : room;
    EXPECT_EQ(justifiedStart(it, u"Justified", QPoint(7, 9), c.zoom), QPoint(7 + want, 9));
    // Turned upright, the same offset runs up the screen.
    it->textAngle = 900;
    EXPECT_EQ(justifiedStart(it, u"Justified", QPoint(7, 9), c.zoom), QPoint(7, 9 - want));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Justification,
    ::testing::Values(justify_t{"LeftStaysAtTheStart", 1, 300, 1.0, justify_t::none},
                      justify_t{"CentreTakesHalfTheRoom", 2, 301, 1.0, justify_t::half},
                      justify_t{"RightTakesAllTheRoom", 3, 300, 1.0, justify_t::all},
                      justify_t{"RightAtTwiceTheZoom", 3, 300, 2.0, justify_t::all},
                      justify_t{"RightWiderThanItsBoxStartsAtTheStart", 3, 10, 1.0, justify_t::none}),
    testnames::byName());

TEST(TextDrawing, UnderlineAndStrikeOutDrawMoreButMeasureTheSame)
{
    textDoc_t plain, styled;
    model::item_t* a = plain.text(50, 100, 250, 100, u"Mixed Text");
    model::item_t* b = styled.text(50, 100, 250, 100, u"Mixed Text");
    b->fontUnderline = b->fontStrikeout = 1;
    EXPECT_EQ(lineWidth(a, u"Mixed Text", 1.0), lineWidth(b, u"Mixed Text", 1.0));
    EXPECT_EQ(lineWidth(a, u"Mixed Text", 2.0), lineWidth(b, u"Mixed Text", 2.0));
    EXPECT_GT(inkPixels(styled.paint()), inkPixels(plain.paint()));
}

TEST(TextDrawing, EmptyTextDrawsNothingAndItsBoxIsOneLineHigh)
{
    textDoc_t d;
    model::item_t* it = d.text(100, 200, 200, 200, u"");
    EXPECT_EQ(inkPixels(d.paint()), 0);
    const geometry::quadrangle_t band = textBand(it);
    EXPECT_EQ(band[3].y - band[0].y, lineHeight(it));
}

TEST(TextDrawing, LinesAreDrawnInTheirColourAtTheirBaselines)
{
    textDoc_t d;
    model::item_t* it = d.text(100, 200, 300, 200, u"HHHH\nHHHH");
    it->textColor = 0x0000FF;  // red
    const QImage img = d.paint();
    const textMetrics_t m = textMetrics(it, 12);
    auto redInRow = [&](int y) {
        int n = 0;
        for (int x = 95; x < 200; ++x) n += img.pixel(x, y) == 0xFFFF0000u;
        return n;
    };
    // Capital H fills its rows from the baseline up to its cap height.
    EXPECT_GT(redInRow(200 - 2), 0);
    EXPECT_GT(redInRow(200 - lineHeight(it) - 2), 0);
    EXPECT_EQ(redInRow(200 + m.descent), 0);
    EXPECT_EQ(redInRow(200 - 2 * lineHeight(it) - 1), 0);
}

struct fit_t {
    const char* name;
    int32_t justification;
    int32_t angle;
    int32_t boxLength;
    bool force;
    enum { unchanged, growsFromStart, growsFromEnd, growsBothWays } expect;
};
void PrintTo(const fit_t& f, std::ostream* os) { *os << f.name; }

class FitTextBox : public ::testing::TestWithParam<fit_t> {};

TEST_P(FitTextBox, BaselineBecomesTheWidestLineFromTheJustifiedEnd)
{
    const fit_t& c = GetParam();
    textDoc_t d;
    const double theta = c.angle / 10.0 * 3.14159265358979 / 180.0;
    const point_t p1{200, 200}, p2 = geometry::polarPoint(p1, theta, c.boxLength);
    model::item_t* it = d.text(p1.x, p1.y, p2.x, p2.y, u"short\nthe widest line here\nmid", c.angle, c.justification);
    const int32_t W = lineWidth(it, u"the widest line here", 1.0);
    ASSERT_GT(W, 60);
    const bool changed = fitTextBox(it, c.force, 1.0);
    const point_t a{it->x1, it->y1}, b{it->x2, it->y2};
    switch (c.expect) {
    case fit_t::unchanged:
        EXPECT_FALSE(changed);
        EXPECT_EQ(a, p1);
        EXPECT_EQ(b, p2);
        return;
    case fit_t::growsFromStart:
        EXPECT_EQ(a, p1);
        EXPECT_EQ(b, geometry::polarPoint(p1, theta, W));
        break;
    case fit_t::growsFromEnd:
        EXPECT_EQ(b, p2);
        EXPECT_EQ(a, geometry::polarPoint(p2, theta + 3.14159265358979, W));
        break;
    case fit_t::growsBothWays:
        EXPECT_NEAR(geometry::distance(a, b), W, 1.0);
        EXPECT_NEAR((a.x + b.x) / 2.0, (p1.x + p2.x) / 2.0, 1.0);
        EXPECT_NEAR((a.y + b.y) / 2.0, (p1.y + p2.y) / 2.0, 1.0);
        break;
    }
    EXPECT_TRUE(changed);
    // The box follows the new baseline.
    EXPECT_EQ(it->boxWidth, std::abs(b.x - a.x));
    EXPECT_LE(it->boxLeft, std::min(a.x, b.x) - textBoxMargin);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitTextBox,
    ::testing::Values(fit_t{"StretchedLeftBoxKeepsItsLength", 1, 0, 300, false, fit_t::unchanged},
                      fit_t{"LeftGrowsFromItsRightEndOnly", 1, 0, 20, false, fit_t::growsFromStart},
                      fit_t{"RightGrowsToTheLeft", 3, 0, 20, false, fit_t::growsFromEnd},
                      fit_t{"CentreGrowsOnBothSides", 2, 0, 20, false, fit_t::growsBothWays},
                      fit_t{"ForcedFitShrinksAStretchedBox", 1, 0, 300, true, fit_t::growsFromStart},
                      fit_t{"UprightLeftGrowsUpwards", 1, 900, 20, false, fit_t::growsFromStart},
                      fit_t{"TurnedRightGrowsBackwards", 3, 300, 20, false, fit_t::growsFromEnd}),
    testnames::byName());

} // namespace
