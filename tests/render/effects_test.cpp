// Shadows and shaded surfaces: the offset, fade and reach arithmetic, the
// shadow's pixels (hard, invisible, outline only, placed by the light), the
// blur against the resampler it must equal, partial repaints against full
// ones, the output form, and the shading ramp.
#include "render/effects.h"

#include "docbuilder.h"
#include "render/renderpass.h"
#include "render/resample.h"
#include "render/shade.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>
#include <string>

using namespace render;
using model::item_t;
using testdoc::addHeader;
using testdoc::addShape;
using testdoc::withEffects;

namespace {

constexpr int32_t white = 0xFFFFFF;
constexpr int32_t green = 0x00FF00;

int32_t px(const QImage& img, int x, int y) { return toBgr(img.pixel(x, y)); }
int32_t grey(int32_t v) { return v | v << 8 | v << 16; }

struct scene {
    model::itemList_t doc;
    renderView_t view;
    explicit scene(int32_t light = 0, double zoom = 1.0)
    {
        item_t* h = addHeader(doc, 240, 200, zoom);
        h->hdr().lightDirection = light;
        view.items = &doc;
        const QSize s = canvasImageSize(h);
        view.Image1 = newCanvasImage(s.width(), s.height());
    }
    ~scene() { model::freeList(doc); }
    const QImage& paint()
    {
        repaintAll(view, false);
        return view.Image1;
    }
};

// ---------- offset, fade and reach ----------

struct offsetCase_t {
    const char* name;
    int32_t ppi, elevation, fade;
    double zoom;
    int32_t screenPx, outputPx;
    double fade_f;
    int32_t reach;  // at the zoom, for a 0 mm weight (pen = Round(zoom))
};
void PrintTo(const offsetCase_t& c, std::ostream* os) { *os << c.name; }

class ShadowOffsets : public ::testing::TestWithParam<offsetCase_t> {};

TEST_P(ShadowOffsets, OffsetFadeAndReach)
{
    const offsetCase_t& c = GetParam();
    model::setScreenPpi(c.ppi, c.ppi);
    item_t it;
    it.itemType = model::typeSquare;
    it.lineWeight = 0;
    it.shadowElevation = static_cast<uint8_t>(c.elevation);
    it.shadowFade = static_cast<uint8_t>(c.fade);
    EXPECT_EQ(shadowOffsetPx(&it, c.zoom), c.screenPx);
    EXPECT_EQ(shadowOffsetOutputPx(&it, c.zoom), c.outputPx);
    EXPECT_DOUBLE_EQ(fadeFactor(&it), c.fade_f);
    EXPECT_EQ(shadowReach(&it, c.zoom), c.reach);
    model::setScreenPpi(96, 96);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShadowOffsets,
    ::testing::Values(
        // Round(8 / 8.5) = 1: one pixel away, no fade.
        offsetCase_t{"Elevation8IsOnePixelAtFade0", 96, 8, 0, 1.0, 1, 1, 1.0, 1 + 1},
        // Round(4 / 8.5) = 0: an elevation that rounds to no offset.
        offsetCase_t{"Elevation4RoundsToNoOffset", 96, 4, 30, 1.0, 0, 0, 2.0, 1},
        offsetCase_t{"Fade150IsLimitedTo5", 96, 85, 150, 1.0, 10, 10, 5.0, 1 + 50},
        offsetCase_t{"Fade255IsLimitedTo5", 96, 85, 255, 2.0, 20, 20, 5.0, 2 + 100},
        // 120 ppi: 1.25 pixels per step, rounded before the zoom on the
        // screen (1 × 3) and after the scale on output (3.75 → 4).
        offsetCase_t{"ScreenRoundsBeforeTheZoomOutputAfter", 120, 8, 15, 3.0, 3, 4, 1.5, 3 + 4},
        offsetCase_t{"NoShadowNoReach", 96, 0, 85, 1.0, 0, 0, 85 / 30.0 + 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct effectRectCase_t {
    const char* name;
    int32_t light, elevation, fade;
    geometry::rect_t want;
};
void PrintTo(const effectRectCase_t& c, std::ostream* os) { *os << c.name; }

class EffectRects : public ::testing::TestWithParam<effectRectCase_t> {};

TEST_P(EffectRects, GrowsTowardsTheShadowOnly)
{
    const effectRectCase_t& c = GetParam();
    item_t it;
    it.itemType = model::typeCircle;
    it.boxLeft = 10, it.boxTop = 20, it.boxRight = 50, it.boxBottom = 60;
    it.shadowElevation = static_cast<uint8_t>(c.elevation);
    it.shadowFade = static_cast<uint8_t>(c.fade);
    EXPECT_EQ(effectRect(&it, c.light), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EffectRects,
    ::testing::Values(effectRectCase_t{"UpperLeftLightGrowsRightAndDown", 0, 85, 20, {10, 20, 80, 90}},
                      effectRectCase_t{"UpperRightLightGrowsLeftAndDown", 1, 85, 20, {-20, 20, 50, 90}},
                      effectRectCase_t{"LowerLeftLightGrowsRightAndUp", 2, 85, 20, {10, -10, 80, 60}},
                      effectRectCase_t{"LowerRightLightGrowsLeftAndUp", 3, 17, 0, {8, 18, 50, 60}},
                      effectRectCase_t{"NoShadowIsTheBox", 0, 0, 40, {10, 20, 50, 60}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------- the shadow's pixels ----------

// A square 40 … 100 with a 1-pixel outline; its shadow's pixels are probed
// just outside its right and left edges and inside the shadow's figure.
struct shadowPixelCase_t {
    const char* name;
    int32_t light, elevation, fade, lightness, fill;
    struct probe_t {
        int32_t x, y, want;
    };
    std::vector<probe_t> probes;
};
void PrintTo(const shadowPixelCase_t& c, std::ostream* os) { *os << c.name; }

class ShadowPixels : public ::testing::TestWithParam<shadowPixelCase_t> {};

TEST_P(ShadowPixels, Probes)
{
    const shadowPixelCase_t& c = GetParam();
    scene s(c.light);
    withEffects(addShape(s.doc, model::typeSquare, {{40, 40}, {100, 40}, {100, 100}, {40, 100}}, c.fill, 0x800000, 0),
                c.elevation, c.fade, c.lightness, 0);
    const QImage& img = s.paint();
    for (const auto& p : c.probes) EXPECT_EQ(px(img, p.x, p.y), p.want) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShadowPixels,
    ::testing::Values(
        // A hard black shadow one pixel right and down, nothing beyond it
        // and nothing on the lit sides.
        shadowPixelCase_t{"Elevation8HardShadowOnePixelAway", 0, 8, 0, 0, green,
                          {{101, 70, 0}, {70, 101, 0}, {102, 70, white}, {39, 70, white}, {70, 39, white}}},
        // Lightness 255 is an invisible shadow.
        shadowPixelCase_t{"Lightness255LeavesTheCanvasUnchanged", 0, 8, 0, 255, green,
                          {{101, 70, white}, {70, 101, white}}},
        // White × 128 / 255 = 128 without blur.
        shadowPixelCase_t{"LightnessMultipliesTheCanvas", 0, 8, 0, 128, green, {{101, 70, grey(128)}}},
        // The light from the upper right throws the shadow left and down.
        shadowPixelCase_t{"UpperRightLightShadowsLeftAndDown", 1, 8, 0, 0, green,
                          {{39, 70, 0}, {101, 70, white}, {70, 101, 0}}},
        shadowPixelCase_t{"LowerRightLightShadowsLeftAndUp", 3, 8, 0, 0, green,
                          {{39, 70, 0}, {70, 39, 0}, {101, 70, white}, {70, 101, white}}},
        // Ten pixels away (elevation 85), unfilled: the shadow of the outline
        // only, so the middle of the shadow's square stays white.
        shadowPixelCase_t{"UnfilledShapeCastsItsOutlineOnly", 0, 85, 0, 0, -1,
                          {{110, 75, 0}, {75, 110, 0}, {105, 105, white}, {75, 75, white}}},
        shadowPixelCase_t{"FilledShapeCastsItsWholeFigure", 0, 85, 0, 0, green, {{105, 105, 0}, {75, 75, green}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShadowPixels, MultiplyIsChannelTimesMaskOver255)
{
    QImage img = newCanvasImage(3, 1);
    img.setPixel(0, 0, qRgb(200, 100, 0));
    img.setPixel(1, 0, qRgb(200, 100, 255));
    img.setPixel(2, 0, qRgb(200, 100, 7));
    shadowMask_t m;
    m.width = 3;
    m.height = 1;
    m.b = {100, 255, 0};
    m.active = QRect(0, 0, 3, 1);
    multiplyShadow(img, {0, 0}, m);
    // 200 × 100 / 255 = 78.4, 100 × 100 / 255 = 39.2; 255 leaves a pixel alone; 0 blackens.
    EXPECT_EQ(img.pixel(0, 0), qRgb(78, 39, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(200, 100, 255));
    EXPECT_EQ(img.pixel(2, 0), qRgb(0, 0, 0));
}

// ---------- the blur equals the resampler ----------

TEST(ShadowBlur, EqualsShrinkingAndEnlargingWithTheBSplineResampler)
{
    std::mt19937 rng(7);
    for (int trial = 0; trial < 12; ++trial) {
        const int32_t w = 20 + int32_t(rng() % 120), h = 20 + int32_t(rng() % 120);
        const int32_t fade = int32_t(rng() % 200);
        shadowMask_t mask;
        mask.width = w;
        mask.height = h;
        mask.b.assign(size_t(w) * size_t(h), 255);
        // A dark blob somewhere, sometimes against an edge.
        const int32_t l = int32_t(rng() % uint32_t(w / 2)), t = int32_t(rng() % uint32_t(h / 2));
        const int32_t r = std::min(w - 1, l + 3 + int32_t(rng() % 30)), b = std::min(h - 1, t + 3 + int32_t(rng() % 30));
        for (int32_t y = t; y <= b; ++y)
            for (int32_t x = l; x <= r; ++x) mask.b[size_t(y) * size_t(w) + size_t(x)] = uint8_t(rng() % 200);
        mask.active = QRect(QPoint(l, t), QPoint(r, b));

        bitmap24_t src;
        src.resize(w, h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) src.row(y)[3 * x] = src.row(y)[3 * x + 1] = src.row(y)[3 * x + 2] = mask.at(x, y);
        const int32_t w2 = std::max(model::roundHalfEven(w * 10.0L / (fade + 10)), 6);
        const int32_t h2 = std::max(model::roundHalfEven(h * 10.0L / (fade + 10)), 6);
        bitmap24_t small, back;
        const bool blurs = model::roundHalfEven(w * 10.0L / (fade + 10)) < w && model::roundHalfEven(h * 10.0L / (fade + 10)) < h;
        if (blurs) {
            ASSERT_TRUE(resampleBitmap(src.view(), small, w2, h2, filterBSpline));
            ASSERT_TRUE(resampleBitmap(small.view(), back, w, h, filterBSpline));
        }
        blurShadowMask(mask, fade, 1.0);
        int32_t differing = 0;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t want = blurs ? back.row(y)[3 * x] : src.row(y)[3 * x];
                differing += mask.at(x, y) != want;
            }
        EXPECT_EQ(differing, 0) << "trial " << trial << " " << w << "x" << h << " fade " << fade;
    }
}

// A band of the image needs only its rows of a blurred shadow: those rows
// come out as in the whole blur even when the mask holds nothing but the rows
// blurSourceRows names (a range one row short on either side would miss a
// kernel tap at the range's ends), and every other row is left 255.
TEST(ShadowBlur, SomeRowsFromTheRowsTheyRead)
{
    std::mt19937 rng(11);
    struct row_t {
        int32_t w, h, fade;
        double d;
    };
    const row_t rows[] = {{90, 140, 85, 1.0}, {230, 230, 85, 1.0}, {60, 200, 255, 1.0}, {120, 80, 10, 1.0},
                          {140, 160, 0, 2.0}, {75, 300, 40, 3.0}, {40, 40, 200, 0.5}, {300, 12, 85, 1.0},
                          {50, 50, 0, 1.0}};
    for (const row_t& r : rows)
        for (int trial = 0; trial < 6; ++trial) {
            shadowMask_t whole;
            whole.width = r.w;
            whole.height = r.h;
            whole.b.assign(size_t(r.w) * size_t(r.h), 255);
            const QRect blob(QPoint(r.w / 5, r.h / 5), QPoint(r.w * 4 / 5, r.h * 4 / 5));
            for (int32_t y = blob.top(); y <= blob.bottom(); ++y)
                for (int32_t x = blob.left(); x <= blob.right(); ++x) whole.b[size_t(y) * size_t(r.w) + size_t(x)] = uint8_t(rng() % 230);
            whole.active = blob;
            // A thin range, one at either end, or one across the blob's edge.
            const int32_t first = trial == 0 ? 0 : trial == 1 ? r.h - 3 : int32_t(rng() % uint32_t(r.h));
            const int32_t last = std::min(r.h - 1, first + (trial == 2 ? 0 : int32_t(rng() % 40)));
            const auto [readTop, readBottom] = blurSourceRows(r.w, r.h, r.fade, r.d, first, last);
            ASSERT_LE(readTop, first);
            ASSERT_GE(readBottom, last);
            // The rows read, and nothing else.
            shadowMask_t part = whole;
            for (int32_t y = 0; y < r.h; ++y)
                if (y < readTop || y > readBottom) std::fill_n(part.b.begin() + ptrdiff_t(y) * r.w, r.w, uint8_t(255));
            part.active = whole.active.intersected(QRect(0, readTop, r.w, readBottom - readTop + 1));
            blurShadowMask(whole, r.fade, r.d);
            blurShadowMask(part, r.fade, r.d, first, last);
            const std::string what = std::to_string(r.w) + "x" + std::to_string(r.h) + " fade " + std::to_string(r.fade) +
                                     " rows " + std::to_string(first) + "-" + std::to_string(last);
            int32_t differing = 0, stray = 0;
            for (int32_t y = 0; y < r.h; ++y)
                for (int32_t x = 0; x < r.w; ++x) {
                    if (y >= first && y <= last) differing += part.at(x, y) != whole.at(x, y);
                    else stray += part.at(x, y) != 255;
                }
            EXPECT_EQ(differing, 0) << what;
            EXPECT_EQ(stray, 0) << what;
            EXPECT_TRUE(part.active.isEmpty() || (part.active.top() >= first && part.active.bottom() <= last)) << what;
        }
}

// ---------- repaints ----------

// What the canvas does to repaint part of itself: the piece is painted on
// its own (background, then every item whose reach meets it) and copied in.
// Shadows reach beyond their item's box; a piece must still come out as the
// full repaint has it.
TEST(ShadowRepaint, APiecePaintedAloneEqualsTheFullRepaint)
{
    for (double zoom : {1.0, 1.5}) {
        scene s(0, zoom);
        // A low shadow that is very soft spreads further than it is offset
        // (first in the stacking order, so that no other item's reach has
        // grown the painted rectangle when it is asked).
        item_t* c = addShape(s.doc, model::typeSquare, {{30, 140}, {70, 140}, {70, 180}, {30, 180}}, 0x3070E0, 0, 0);
        withEffects(c, 17, 200, 0, 0);
        item_t* a = addShape(s.doc, model::typeCircle, {{60, 60}, {90, 60}}, 0x3070E0, 0x202080, 0.5);
        item_t* b = addShape(s.doc, model::typeSquare, {{120, 40}, {170, 40}, {170, 90}, {120, 90}}, -1, 0x800000, 1.0);
        withEffects(a, 85, 85, 60, 127);
        withEffects(b, 85, 120, 0, 127);
        // Boxes as the editor keeps them: tight around the outline.
        for (item_t* it : {a, b, c}) geometry::itemBounds(it, 8, 8);
        const QImage full = s.paint().copy();
        // Pieces right of and below the items, where only the faint tails of
        // their shadows fall.
        for (const QRect& piece : {QRect(100, 70, 30, 25), QRect(175, 60, 40, 50), QRect(60, 100, 60, 40),
                                   QRect(180, 120, 50, 50), QRect(78, 150, 20, 40), QRect(90, 140, 8, 45)}) {
            renderView_t part = s.view;
            part.Image1 = newCanvasImage(piece.width(), piece.height());
            part.viewOrigin = {piece.left(), piece.top()};
            paintBackground(part, {0, 0, piece.width(), piece.height()});
            const geometry::point_t tl{geometry::screenToDoc(zoom, piece.left(), 0), geometry::screenToDoc(zoom, piece.top(), 0)};
            const geometry::point_t br{geometry::screenToDoc(zoom, piece.right() + 1, 0),
                                       geometry::screenToDoc(zoom, piece.bottom() + 1, 0)};
            drawItemsInRect(part, {tl.x - 1, tl.y - 1, br.x + 1, br.y + 1}, false);
            int32_t differing = 0;
            for (int32_t y = 0; y < piece.height(); ++y)
                for (int32_t x = 0; x < piece.width(); ++x)
                    differing += part.Image1.pixel(x, y) != full.pixel(piece.left() + x, piece.top() + y);
            EXPECT_EQ(differing, 0) << "zoom " << zoom << " piece at " << piece.left() << "," << piece.top();
        }
    }
}

// ---------- the output form ----------

TEST(ShadowOutput, ScaledOffsetAndBlurEvenWithoutFade)
{
    model::itemList_t doc;
    addHeader(doc, 200, 200);
    item_t* sq = addShape(doc, model::typeSquare, {{20, 20}, {50, 20}, {50, 50}, {20, 50}}, green, 0x800000, 0);
    withEffects(sq, 85, 0, 0, 0);
    QImage out = newCanvasImage(200, 200);
    renderItemToBitmap(out, doc, sq, {5, 5}, 2.0, 2.0);
    // The square maps to 45 … 105; the shadow lies 20 pixels right and down.
    EXPECT_EQ(px(out, 75, 75), green);
    EXPECT_NE(px(out, 118, 75), white);
    EXPECT_EQ(px(out, 118, 40), white);
    // Above scale 1 the mask is shrunk and enlarged even at fade 0: the
    // shadow's edge has shades between black and white.
    int32_t between = 0;
    for (int32_t x = 106; x < 140; ++x) {
        const int32_t v = px(out, x, 90) & 0xFF;
        between += v > 0 && v < 255;
    }
    EXPECT_GT(between, 2);
    model::freeList(doc);
}

// ---------- shading ----------

TEST(ShadeRamp, RoundLevelHalvesTheLiftedColourAtTheEnds)
{
    // 0x404040 lifted by Round((1 − 192/765) × 1 × 0.75 × 128) = 72 → 136.
    EXPECT_EQ(brightnessLift(0x404040, 128), 72);
    const std::vector<int32_t> ramp = shadeRamp(10, 127, 0x404040);
    ASSERT_EQ(ramp.size(), 10u);
    EXPECT_EQ(ramp[4], grey(136));  // sin(π × 5 / 10) = 1: the lifted colour itself
    EXPECT_EQ(ramp[9], grey(model::roundHalfEven(136 * 127 / 255.0L)));  // sin(π) = 0: level / 255
    for (size_t r = 0; r + 1 <= 4; ++r) EXPECT_LT(ramp[r] & 0xFF, ramp[r + 1] & 0xFF) << r;
    for (size_t r = 4; r + 1 < 10; ++r) EXPECT_GT(ramp[r] & 0xFF, ramp[r + 1] & 0xFF) << r;
}

struct liftCase_t {
    const char* name;
    int32_t colour, amount, want;
};
void PrintTo(const liftCase_t& c, std::ostream* os) { *os << c.name; }
class BrightnessLift : public ::testing::TestWithParam<liftCase_t> {};

TEST_P(BrightnessLift, DarkGreyMostSaturatedAndLightLeast)
{
    EXPECT_EQ(brightnessLift(GetParam().colour, GetParam().amount), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(Table, BrightnessLift,
                         ::testing::Values(liftCase_t{"BlackLiftedMost", 0x000000, 128, 96},
                                           liftCase_t{"WhiteNotAtAll", 0xFFFFFF, 128, 0},
                                           liftCase_t{"PureRedNotAtAll", 0x0000FF, 128, 0},
                                           // (1 − 256/765) × (1 − 128/255) × 0.75 × 255 = 63.4
                                           liftCase_t{"HalfSaturatedPurple", 0x800080, 255, 63}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShadedCircle, UnderTwoPixelsAcrossIsNotDrawnAtAll)
{
    for (int32_t r : {0, 1}) {
        scene s;
        item_t* c = addShape(s.doc, model::typeCircle, {{50, 50}, {50 + r, 50}}, 0x0000FF, 0x0000FF, 0);
        withEffects(c, 0, 0, 0, 127);
        const QImage& img = s.paint();
        int32_t painted = 0;
        for (int32_t y = 45; y <= 55; ++y)
            for (int32_t x = 45; x <= 55; ++x) painted += px(img, x, y) != white;
        if (r == 0) EXPECT_EQ(painted, 0);
        else EXPECT_GT(painted, 0);
    }
}

TEST(ShadedCircle, HighlightTowardsTheLight)
{
    // The brightest pixel of a shaded disc lies on the side the light comes from.
    for (int32_t light = 0; light < 4; ++light) {
        scene s(light);
        withEffects(addShape(s.doc, model::typeCircle, {{100, 100}, {160, 100}}, 0x404040, 0x404040, 0), 0, 0, 0, 127);
        const QImage& img = s.paint();
        int32_t best = -1, bx = 0, by = 0;
        for (int32_t y = 45; y <= 155; ++y)
            for (int32_t x = 45; x <= 155; ++x)
                if ((px(img, x, y) & 0xFF) > best && px(img, x, y) != white) {
                    best = px(img, x, y) & 0xFF;
                    bx = x;
                    by = y;
                }
        const lightSigns_t& l = lightSigns(light);
        EXPECT_EQ(bx < 100, l.spotX < 0) << light;
        EXPECT_EQ(by < 100, l.spotY < 0) << light;
    }
}

TEST(DamagedRecords, AbsurdSizesAndPositionsDrawWithoutHarm)
{
    // Records as a damaged file may hold them: points at the ends of the
    // range, a weight of kilometres, a band of a billion pixels, with the
    // strongest shadow and surface. The pass gets through them and draws the
    // item after them.
    scene s;
    constexpr int32_t far = 500000000;  // beyond the canvas coordinate limit, within what boxes can hold
    const int32_t types[] = {model::typeTriangle, model::typeSquare, model::typeRectangle, model::typeCircle,
                             model::typeEllipse,  model::typePolygon, model::typeStar,     model::typePie,
                             model::typeArc,      model::typeSpline,  model::typeCurve};
    for (int32_t type : types) {
        withEffects(addShape(s.doc, type, {{-far, -far}, {far, far}, {far, -far}, {0, 5}}, 0x3070E0, 0, 0, 2, 5), 255, 255, 0, 255);
        withEffects(addShape(s.doc, type, {{50, 50}, {60, 50}, {55, 40}, {50, 45}}, 0x3070E0, 0, 1e7, 2, 5), 255, 255, 0, 255);
    }
    withEffects(testdoc::addLine(s.doc, 10, 10, 200, 150, 5, 0, 0, -2), 255, 255, 0, 255)->penWidthPx = 1 << 30;
    withEffects(testdoc::addLine(s.doc, -far / 1000, 100, far / 1000, 100, 1.0, 0, 0, -2), 255, 255, 0, 255);
    const item_t* last = addShape(s.doc, model::typeSquare, {{100, 100}, {120, 100}, {120, 120}, {100, 120}}, 0x00FF00, 0, 0);
    (void)last;
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 110, 110), green);
}

TEST(ShadedEllipse, DarkensAwayFromTheHighlightWhicheverAxisIsLonger)
{
    // A wide and a tall ellipse (first axis 50 and 20, second 20 and 50) at
    // 300 %, light from the upper left: walking along the row of the
    // highlight spot away from it, the face only grows darker (a rise again
    // would be a dark seam where the ramp rows wrap).
    for (bool tall : {false, true}) {
        scene s(0, 3.0);
        item_t* e = tall ? addShape(s.doc, model::typeEllipse, {{100, 100}, {120, 100}, {100, 50}}, 0x3070E0, 0x3070E0, 0)
                         : addShape(s.doc, model::typeEllipse, {{100, 100}, {150, 100}, {100, 80}}, 0x3070E0, 0x3070E0, 0);
        withEffects(e, 0, 0, 0, 127);
        const QImage& img = s.paint();
        // The spot lies a sixth of the box up and left of its middle.
        const int32_t w = tall ? 120 : 300, h = tall ? 300 : 120;
        const int32_t sx = 300 - w / 2 + w / 2 - w / 6, sy = 300 - h / 2 + h / 2 - h / 6;
        // Along the spot's row and a row below it, inside the outline (3
        // pixels at 300 %), from the point nearest the spot outwards.
        for (int32_t y : {sy, sy + h / 6}) {
            const double dy = (y - 300) / (h / 2.0);
            const int32_t half = static_cast<int32_t>(w / 2.0 * std::sqrt(1 - dy * dy)) - 6;
            for (int32_t step : {-1, 1}) {
                int32_t darkest = 256, rise = 0;
                for (int32_t x = sx; x > 300 - half && x < 300 + half; x += step) {
                    const int32_t v = px(img, x, y) & 0xFF;
                    darkest = std::min(darkest, v);
                    rise = std::max(rise, v - darkest);
                }
                EXPECT_LE(rise, 3) << (tall ? "tall" : "wide") << " row " << y << " towards " << step;
            }
        }
    }
}

} // namespace
