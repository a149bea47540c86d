// Pictures: decoding every stored format (and refusing what must be refused),
// orientation, colour adjustments, and the rules of drawing them.
#include "docbuilder.h"
#include "paintdoc.h"
#include "testnames.h"

#include "model/itemlist.h"
#include "render/adjust.h"
#include "render/decode.h"
#include "model/history.h"
#include "model/history_index.h"
#include "render/picture.h"
#include "render/picturecache.h"
#include "render/renderpass.h"
#include "render/surface.h"
#include "samples/samplepictures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

using namespace render;
using bytes_t = std::vector<uint8_t>;

// ---------------------------------------------------------------- adjustments

struct adjustCase {
    const char* name;
    pictureAdjustments_t a;
    int r, g, b;  // from (200, 100, 50)
};
void PrintTo(const adjustCase& c, std::ostream* os) { *os << c.name; }

class Adjustments : public ::testing::TestWithParam<adjustCase> {};

TEST_P(Adjustments, TurnTheExamplePixelInto)
{
    const adjustCase& c = GetParam();
    uint8_t r = 200, g = 100, b = 50;
    adjustChannels(r, g, b, c.a);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({c.r, c.g, c.b}));
    // The bitmap pass gives the same, channel for channel.
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(200, 100, 50));
    adjustPicture(image, c.a);
    EXPECT_EQ(image.pixel(0, 0), qRgb(c.r, c.g, c.b));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Adjustments,
    ::testing::Values(adjustCase{"Saturation128", {128, 0, 0}, 255, 75, 0},
                      adjustCase{"Contrast256", {0, 256, 0}, 255, 72, 0},
                      adjustCase{"Lightness256MakesWhite", {0, 0, 256}, 255, 255, 255},
                      adjustCase{"SaturationMinus128MakesGrey", {-128, 0, 0}, 125, 125, 125},
                      adjustCase{"ContrastMinus64TruncatesTowardsZero", {0, -64, 0}, 182, 107, 69},
                      adjustCase{"SaturationBeforeContrastBeforeLightness", {128, 256, -30}, 225, 0, 0}),
    testnames::byName());

TEST(Adjustments, BitmapPassGivesWhatEachPixelGets)
{
    // Every channel value against the others, and values a file may hold.
    QImage image(256, 64, QImage::Format_RGB32);
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, (x * 7 + y * 61) % 256, (y * 4 + x / 3) % 256));
    const pictureAdjustments_t cases[] = {{37, 0, 0},   {-5, 0, 0},     {0, 90, -17}, {512, -128, 3},
                                          {-128, 512, 256}, {INT32_MAX, INT32_MIN, 0}, {INT32_MIN, 1, INT32_MAX}};
    for (const pictureAdjustments_t& a : cases) {
        QImage adjusted = image;
        adjustPicture(adjusted, a);
        for (int32_t y = 0; y < image.height(); ++y)
            for (int32_t x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                uint8_t r = uint8_t(qRed(p)), g = uint8_t(qGreen(p)), b = uint8_t(qBlue(p));
                adjustChannels(r, g, b, a);
                ASSERT_EQ(adjusted.pixel(x, y), qRgb(r, g, b))
                    << a.saturation << " " << a.contrast << " " << a.lightness << " at " << x << ", " << y;
            }
    }
}

TEST(Adjustments, AllZeroLeaveTheBitmapUntouched)
{
    QImage original(8, 8, QImage::Format_RGB32);
    original.fill(qRgb(200, 100, 50));
    QImage shared = original;
    adjustPicture(shared, {});
    // Not even detached: no pass over the pixels.
    EXPECT_EQ(shared.constBits(), original.constBits());
}

// ---------------------------------------------------------------- decoders

const QImage& pattern()
{
    static const QImage p = samples::samplePattern(40, 30);
    return p;
}

bytes_t patched(bytes_t b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
    return b;
}

// A GIF whose screen and colour table are there, but no image.
bytes_t gifWithoutImage()
{
    bytes_t b = {'G', 'I', 'F', '8', '9', 'a', 10, 0, 10, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x3B};
    return b;
}

// A placeable WMF whose bounds say 30000 inches.
bytes_t wmfOfAbsurdFrame()
{
    bytes_t b = samples::sampleWmf(40, 30);
    b[10] = 0x30, b[11] = 0x75, b[12] = 0x30, b[13] = 0x75;  // right, bottom = 30000
    b[14] = 1, b[15] = 0;                                      // one unit per inch
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(b[i] | b[i + 1] << 8);
    b[20] = uint8_t(sum), b[21] = uint8_t(sum >> 8);
    return b;
}

struct decodeCase {
    const char* name;
    int32_t format;
    std::function<bytes_t()> bytes;
    int w, h;       // 0: refused
    int tolerance;  // per channel, against the pattern (lossy formats)
};
void PrintTo(const decodeCase& c, std::ostream* os) { *os << c.name; }

class Decoding : public ::testing::TestWithParam<decodeCase> {};

TEST_P(Decoding, GivesThePictureOrRefuses)
{
    const decodeCase& c = GetParam();
    const bytes_t b = c.bytes();
    const QImage image = decodePictureBytes(c.format, b.data(), b.size());
    if (c.w == 0) {
        EXPECT_TRUE(image.isNull());
        return;
    }
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(c.w, c.h));
    // Only the formats that can be transparent give premultiplied alpha, and only when they are.
    EXPECT_EQ(image.format(), c.format >= model::picturePng && c.format == model::pictureSvg
                                  ? QImage::Format_ARGB32_Premultiplied
                                  : QImage::Format_RGB32);
    if (c.tolerance < 0) return;  // metafiles draw their own figure
    // Middles of the four quarters: a swapped channel or a mirrored row order shows.
    for (const QPoint p : {QPoint(10, 7), QPoint(30, 7), QPoint(10, 22), QPoint(30, 22)}) {
        const QRgb want = pattern().pixel(p), got = image.pixel(p);
        EXPECT_NEAR(qRed(got), qRed(want), c.tolerance) << p.x() << "," << p.y();
        EXPECT_NEAR(qGreen(got), qGreen(want), c.tolerance) << p.x() << "," << p.y();
        EXPECT_NEAR(qBlue(got), qBlue(want), c.tolerance) << p.x() << "," << p.y();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Decoding,
    ::testing::Values(
        decodeCase{"Jpeg", model::pictureJpeg, [] { return samples::encodeJpeg(pattern()); }, 40, 30, 40},
        decodeCase{"Gif", model::pictureGif, [] { return samples::encodeGif(pattern()); }, 40, 30, 0},
        decodeCase{"Bmp", model::pictureBmp, [] { return samples::encodeBmp(pattern()); }, 40, 30, 0},
        decodeCase{"Ico", model::pictureIco, [] { return samples::encodeIco(pattern()); }, 40, 30, 0},
        decodeCase{"Wmf", model::pictureMetafile, [] { return samples::sampleWmf(40, 30); }, 40, 30, -1},
        decodeCase{"Emf", model::pictureMetafile, [] { return samples::sampleEmf(40, 30); }, 40, 30, -1},
        decodeCase{"TruncatedJpeg", model::pictureJpeg,
                   [] {
                       bytes_t b = samples::encodeJpeg(samples::samplePattern(200, 150));
                       b.resize(b.size() / 2);
                       return b;
                   },
                   0, 0, 0},
        decodeCase{"GifWithoutImage", model::pictureGif, gifWithoutImage, 0, 0, 0},
        decodeCase{"EmfOfAbsurdFrame", model::pictureMetafile,
                   [] { return patched(patched(samples::sampleEmf(40, 30), 32, 2000000000u), 36, 2000000000u); }, 0,
                   0, 0},
        decodeCase{"EmfHeaderLongerThanTheFile", model::pictureMetafile,
                   [] { return patched(samples::sampleEmf(40, 30), 4, 100000); }, 0, 0, 0},
        decodeCase{"EmfWithoutItsEndRecord", model::pictureMetafile,
                   [] {
                       bytes_t b = samples::sampleEmf(40, 30);
                       b.resize(b.size() - 20);
                       return b;
                   },
                   0, 0, 0},
        decodeCase{"WmfOfAbsurdFrame", model::pictureMetafile, wmfOfAbsurdFrame, 0, 0, 0},
        decodeCase{"OnePixelWideBmp", model::pictureBmp, [] { return samples::encodeBmp(samples::samplePattern(1, 30)); },
                   0, 0, 0},
        decodeCase{"BmpOfHugeHeader", model::pictureBmp,
                   [] { return patched(patched(samples::encodeBmp(pattern()), 18, 20000), 22, 20000); }, 0, 0, 0},
        decodeCase{"UnknownFormat", 99, [] { return samples::encodeBmp(pattern()); }, 0, 0, 0},
        // Decoded by what the bytes are, whatever the record says.
        decodeCase{"BmpBytesAsJpeg", model::pictureJpeg, [] { return samples::encodeBmp(pattern()); }, 40, 30, 0},
        decodeCase{"Png", model::picturePng, [] { return samples::encodePng(pattern()); }, 40, 30, 0},
        decodeCase{"Tiff", model::pictureTiff, [] { return samples::encodeTiff(pattern()); }, 40, 30, 0},
        decodeCase{"Webp", model::pictureWebp, [] { return samples::encodeWebp(pattern()); }, 40, 30, 0},
        decodeCase{"Svg", model::pictureSvg, [] { return samples::sampleSvg(40, 30); }, 40, 30, -1},
        decodeCase{"TruncatedPng", model::picturePng,
                   [] {
                       bytes_t b = samples::encodePng(samples::samplePattern(200, 150));
                       b.resize(b.size() / 2);
                       return b;
                   },
                   0, 0, 0}),
    testnames::byName());

TEST(Decoding, JpegScalesByTheLibrary)
{
    const bytes_t b = samples::encodeJpeg(samples::samplePattern(401, 301));
    for (const auto& [n, w, h] : {std::tuple{1, 401, 301}, {2, 201, 151}, {4, 101, 76}, {8, 51, 38}})
        EXPECT_EQ(decodeJpeg(b.data(), b.size(), n).size(), QSize(w, h)) << "1/" << n;
    EXPECT_TRUE(decodeJpeg(b.data(), b.size(), 3).isNull());
}

// ---------------------------------------------------------------- orientation

// A 5 × 3 picture whose pixels all differ.
QImage numbered()
{
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(40 * x, 80 * y, 7));
    return image;
}

struct orientCase {
    const char* name;
    int32_t orientation, flipX, flipY;
    std::function<QImage(const QImage&)> expected;
};
void PrintTo(const orientCase& c, std::ostream* os) { *os << c.name; }

class Orientation : public ::testing::TestWithParam<orientCase> {};

TEST_P(Orientation, TurnsAndMirrors)
{
    const orientCase& c = GetParam();
    EXPECT_EQ(orientPicture(numbered(), c.orientation, c.flipX, c.flipY), c.expected(numbered()));
}

// Odd sides lose their last column or row before a quarter turn; Qt turns
// clockwise for positive angles.
QImage quarter(const QImage& i, double qtDegrees) { return i.copy(0, 0, 4, 2).transformed(QTransform().rotate(qtDegrees)); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Orientation,
    ::testing::Values(
        orientCase{"Upright", 0, 1, 1, [](const QImage& i) { return i; }},
        orientCase{"MirroredByFlipX", 0, -1, 1, [](const QImage& i) { return i.mirrored(true, false); }},
        orientCase{"HalfTurnWithFlipXIsAVerticalMirror", 180, -1, 1, [](const QImage& i) { return i.mirrored(false, true); }},
        orientCase{"HalfTurn", 180, 1, 1, [](const QImage& i) { return i.mirrored(true, true); }},
        orientCase{"QuarterTurnCounterClockwise", 90, 1, 1, [](const QImage& i) { return quarter(i, -90); }},
        orientCase{"ThreeQuarterTurn", 270, 1, 1, [](const QImage& i) { return quarter(i, 90); }},
        orientCase{"QuarterTurnWithFlipXTurnsBackAndMirrors", 90, -1, 1,
                   [](const QImage& i) { return quarter(i, 90).mirrored(true, false); }}),
    testnames::byName());

// ---------------------------------------------------------------- drawing

constexpr int32_t picId = 7;

// A 200 × 200 page with the 40 × 30 pattern stored as a BMP (lossless).
struct pictureScene {
    model::itemList_t doc;
    model::item_t* pic = nullptr;
    pictureScene(int32_t clip, std::initializer_list<int32_t> src, std::initializer_list<int32_t> at)
    {
        testdoc::addHeader(doc, 200, 200);
        testdoc::addPictureData(doc, picId, model::pictureBmp, samples::encodeBmp(pattern()));
        pic = testdoc::addPicture(doc, picId, clip, src, at);
    }
    ~pictureScene() { model::freeList(doc); }
    QImage paint(double zoom = 1.0) { return testdoc::paintWithFullQuality(doc, zoom); }
};

bool allWhite(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return false;
    return true;
}

bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(PictureDrawing, PicturesOfTwoPixelsOrLessAreNotDrawn)
{
    for (const auto& [side, drawn] : {std::pair{2, false}, {3, true}}) {
        pictureScene s(model::clipWhole, {0, 0, 40, 30}, {50, 50, 50 + side, 50 + side});
        EXPECT_EQ(allWhite(s.paint()), !drawn) << side << " pixels";
    }
}

TEST(PictureDrawing, NegativeScaleXMirrorsEvenWithFlipXOne)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    const QImage upright = s.paint();
    EXPECT_TRUE(near(upright.pixel(40, 35), pattern().pixel(10, 7))) << "red quarter at the left";
    s.pic->scaleX = -1;
    s.pic->flipX = 1;
    dropPictureCache(s.pic);
    const QImage mirrored = s.paint();
    EXPECT_TRUE(near(mirrored.pixel(40, 35), pattern().pixel(30, 7))) << "green quarter at the left";
    EXPECT_TRUE(near(mirrored.pixel(80, 35), pattern().pixel(10, 7))) << "red quarter at the right";
}

TEST(PictureDrawing, RoundClipShowsWhiteWhereThePictureEnds)
{
    // The clip's centre is the picture's top-left corner: three quarters of
    // the circle lie outside the picture.
    pictureScene s(model::clipRound, {0, 0, 20, 0}, {100, 100, 140, 100});
    const QImage image = s.paint();
    EXPECT_EQ(image.pixel(80, 80) & 0xFFFFFF, 0xFFFFFFu) << "above and left of the picture";
    EXPECT_EQ(image.pixel(120, 80) & 0xFFFFFF, 0xFFFFFFu) << "above the picture";
    EXPECT_TRUE(near(image.pixel(110, 110), pattern().pixel(5, 5))) << "the picture's corner";
}

TEST(PictureDrawing, ShadowOfLightnessZeroCastsNone)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {40, 40, 120, 100});
    const QImage plain = s.paint();
    s.pic->shadowElevation = 40;
    s.pic->shadowFade = 0;
    s.pic->shadowLightness = 0;
    EXPECT_EQ(s.paint(), plain);
    s.pic->shadowLightness = 100;
    const QImage shadowed = s.paint();
    // Light from the upper left: the shadow falls to the lower right.
    EXPECT_NE(shadowed.pixel(123, 103), plain.pixel(123, 103));
    EXPECT_EQ(shadowed.pixel(30, 30), plain.pixel(30, 30));
}

TEST(PictureDrawing, RepaintsUseTheCacheAndAZoomChangeDecodesAgain)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    const int64_t start = pictureDecodeCount();
    s.paint();
    EXPECT_EQ(pictureDecodeCount(), start + 1);
    EXPECT_TRUE(hasPictureCache(s.pic));
    s.paint();
    EXPECT_EQ(pictureDecodeCount(), start + 1) << "a repaint only loads the cache";
    s.paint(2.0);
    EXPECT_EQ(pictureDecodeCount(), start + 2) << "another zoom decodes again";
    s.pic->srcRight = 38;
    s.paint(2.0);
    EXPECT_EQ(pictureDecodeCount(), start + 3) << "another clip decodes again";
}

TEST(PictureDrawing, NewAdjustmentsStartFromTheKeptUnadjustedClip)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    s.pic->scaleX = -1;  // mirrored after adjusting
    s.paint();
    EXPECT_TRUE(hasUnadjustedPicture(s.pic));
    const int64_t start = pictureDecodeCount();
    s.pic->saturation = 100;
    s.pic->lightness = -40;
    dropAdjustedPicture(s.pic);
    const QImage kept = s.paint();
    EXPECT_EQ(pictureDecodeCount(), start) << "no decoding for new adjustments";
    s.pic->saturation = 0;
    s.pic->lightness = 0;
    const QImage back = s.paint();
    // The same as drawn from the stored picture.
    dropPictureCache(s.pic);
    EXPECT_FALSE(hasUnadjustedPicture(s.pic));
    EXPECT_EQ(back, s.paint());
    s.pic->saturation = 100;
    s.pic->lightness = -40;
    dropPictureCache(s.pic);
    EXPECT_EQ(kept, s.paint());
    EXPECT_NE(kept, back);
}

TEST(PictureDrawing, UndecodablePictureDrawsNothingAndKeepsNoCache)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    model::findPictureData(s.doc, picId)->stream->resize(20);
    EXPECT_TRUE(allWhite(s.paint()));
    EXPECT_FALSE(hasPictureCache(s.pic));
}

TEST(PictureDrawing, OutputDrawsPicturesAtItsScale)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    QImage out = newCanvasImage(300, 300);
    renderItemToBitmap(out, s.doc, s.pic, QPoint(0, 0), 2.0, 2.0);
    EXPECT_TRUE(near(out.pixel(80, 70), pattern().pixel(10, 7))) << "red quarter, twice as far";
    EXPECT_TRUE(near(out.pixel(160, 70), pattern().pixel(30, 7))) << "green quarter, twice as far";
    EXPECT_FALSE(hasPictureCache(s.pic)) << "output keeps no cache";
}

TEST(PictureDrawing, TurnedPictureCoversItsTurnedArea)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {60, 60, 141, 121});
    s.pic->rotation = std::numbers::pi / 2;
    const QImage image = s.paint();
    // A quarter turn counter-clockwise: the 80 × 60 picture (odd sizes
    // trimmed) stands 60 wide and 80 high about its middle; its top-left
    // (red) quarter is now at the lower left.
    EXPECT_TRUE(near(image.pixel(85, 115), pattern().pixel(10, 7)));
    EXPECT_TRUE(near(image.pixel(85, 75), pattern().pixel(30, 7)));
    EXPECT_EQ(image.pixel(65, 65) & 0xFFFFFF, 0xFFFFFFu) << "outside the turned picture";
}

TEST(PictureDrawing, TurnedPictureOfOddSizeLosesItsLastColumnAndRow)
{
    // Half turned, the picture covers exactly its own (trimmed) size.
    for (const auto& [w, h, drawnW, drawnH] : {std::tuple{81, 61, 80, 60}, {82, 62, 82, 62}}) {
        pictureScene s(model::clipWhole, {0, 0, 40, 30}, {60, 60, 60 + w, 60 + h});
        s.pic->rotation = std::numbers::pi;
        const QImage image = s.paint();
        const std::string size = std::to_string(w) + " x " + std::to_string(h);
        EXPECT_NE(image.pixel(60 + drawnW - 1, 90) & 0xFFFFFF, 0xFFFFFFu) << size << ": last column";
        EXPECT_EQ(image.pixel(60 + drawnW, 90) & 0xFFFFFF, 0xFFFFFFu) << size << ": beyond it";
        EXPECT_NE(image.pixel(100, 60 + drawnH - 1) & 0xFFFFFF, 0xFFFFFFu) << size << ": last row";
        EXPECT_EQ(image.pixel(100, 60 + drawnH) & 0xFFFFFF, 0xFFFFFFu) << size << ": below it";
    }
}

TEST(PictureDrawing, PictureBeyondTheCanvasIsNotDecoded)
{
    for (const auto& [x, decoded] : {std::pair{150, 1}, {400, 0}}) {
        pictureScene s(model::clipWhole, {0, 0, 40, 30}, {x, 20, x + 80, 80});
        s.pic->rotation = 0.3;  // turned corners reach out of the box
        const int64_t start = pictureDecodeCount();
        s.paint();
        EXPECT_EQ(pictureDecodeCount() - start, decoded) << "at x " << x;
    }
}

TEST(PictureCache, FreedItemsTakeTheirBitmapsAlongAndNewOnesStartEmpty)
{
    auto s = std::make_unique<pictureScene>(model::clipWhole, std::initializer_list<int32_t>{0, 0, 40, 30},
                                            std::initializer_list<int32_t>{20, 20, 100, 80});
    s->paint();
    ASSERT_TRUE(hasPictureCache(s->pic));
    const size_t held = pictureCache().itemCount();
    const uint64_t serial = s->pic->cacheSerial;
    s.reset();
    EXPECT_EQ(pictureCache().itemCount(), held - 1) << "freeing the item drops its entries";
    pictureScene again(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    EXPECT_NE(again.pic->cacheSerial, serial);
    EXPECT_FALSE(hasPictureCache(again.pic)) << "a new item, wherever it lives, finds nothing";
}

TEST(PictureCache, AnEditedCopyDrawsFromItsSourcesBitmap)
{
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    const QImage before = s.paint();
    const int64_t start = pictureDecodeCount();
    model::setSelected(s.doc, s.pic, true);
    const auto edited = model::beginEdit(s.doc);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_TRUE(hasPictureCache(edited[0]));
    EXPECT_EQ(s.paint(), before);
    EXPECT_EQ(pictureDecodeCount(), start) << "the copy of an unchanged picture needs no decoding";
    edited[0]->saturation = 50;  // another look: made again, from the kept unadjusted clip
    EXPECT_NE(s.paint(), before);
    EXPECT_EQ(pictureDecodeCount(), start);
}

TEST(PictureCache, EntriesOfOneItemNeverServeAnother)
{
    // Several threads store and look up entries of their own items and of
    // one shared item; each finds exactly what was stored for its item.
    constexpr int threads = 4, rounds = 300;
    std::vector<std::unique_ptr<model::item_t>> items;
    for (int t = 0; t <= threads; ++t) items.push_back(std::make_unique<model::item_t>());
    std::atomic<int> wrong{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            for (int r = 0; r < rounds; ++r) {
                const std::string key = std::to_string(t) + ":" + std::to_string(r);
                processedPicture_t p;
                p.ox = t;
                p.oy = r;
                pictureCache().store(items[t].get(), pictureStage_t::finished, key, p);
                pictureCache().store(items[threads].get(), pictureStage_t::unadjusted, key, p);
                processedPicture_t got;
                if (!pictureCache().find(items[t].get(), pictureStage_t::finished, key, got) || got.ox != t ||
                    got.oy != r)
                    ++wrong;
                if (pictureCache().find(items[t].get(), pictureStage_t::unadjusted, key, got)) ++wrong;
            }
        });
    }
    for (auto& th : pool) th.join();
    EXPECT_EQ(wrong.load(), 0);
    processedPicture_t got;
    EXPECT_FALSE(pictureCache().find(items[0].get(), pictureStage_t::finished, "1:0", got)) << "other attributes";
}

TEST(PictureCache, APictureHandedOverOnInsertionIsNotDecodedAgain)
{
    pictureScene reference(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    const QImage want = reference.paint();
    pictureScene s(model::clipWhole, {0, 0, 40, 30}, {20, 20, 100, 80});
    pictureCache().handOverDecoded(model::findPictureData(s.doc, picId), decodeStoredPicture(s.pic, s.doc));
    const int64_t start = pictureDecodeCount();
    EXPECT_EQ(s.paint(), want);
    EXPECT_EQ(pictureDecodeCount(), start) << "the handed-over picture was used";
    dropPictureCache(s.pic);
    s.paint();
    EXPECT_EQ(pictureDecodeCount(), start + 1) << "once only: later drawings decode";
}

} // namespace
