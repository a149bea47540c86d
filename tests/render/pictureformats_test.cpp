// Pictures as files come: drawn pixel for pixel at 100 % and at whole-number
// enlargements, the whole image and clips cropped inclusively, damaged and
// disguised files, bitmaps with alpha, metafile frames, and the formats that
// can be transparent.
#include "docbuilder.h"
#include "paintdoc.h"
#include "testnames.h"

#include "model/docfile.h"
#include "model/itemlist.h"
#include "render/decode.h"
#include "render/picture.h"
#include "render/picturecache.h"
#include "render/renderpass.h"
#include "samples/samplepictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <functional>

namespace {

using namespace render;
using bytes_t = std::vector<uint8_t>;

constexpr int32_t picId = 3;

bytes_t encodedByQt(const QImage& image, const char* format, int quality = -1)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    writer.write(image);
    return bytes_t(out.begin(), out.end());
}

// A page holding one picture data record and one picture item.
struct scene_t {
    model::itemList_t doc;
    model::item_t* pic = nullptr;
    scene_t(int32_t format, bytes_t bytes, int32_t clip, std::initializer_list<int32_t> src,
            std::initializer_list<int32_t> at, int32_t pageW = 200, int32_t pageH = 200)
    {
        testdoc::addHeader(doc, pageW, pageH);
        testdoc::addPictureData(doc, picId, format, std::move(bytes));
        pic = testdoc::addPicture(doc, picId, clip, src, at);
    }
    ~scene_t() { model::freeList(doc); }
    QImage paint(double zoom = 1.0) { return testdoc::paintWithFullQuality(doc, zoom); }
};

// The first pixel where the canvas, from `at`, differs from the picture
// enlarged `factor` times by repeating each pixel; "" when none does.
std::string firstDifference(const QImage& canvas, QPoint at, const QImage& picture, int factor)
{
    for (int y = 0; y < picture.height() * factor; ++y)
        for (int x = 0; x < picture.width() * factor; ++x) {
            const QRgb want = picture.pixel(x / factor, y / factor) & 0xFFFFFF;
            const QRgb got = canvas.pixel(at.x() + x, at.y() + y) & 0xFFFFFF;
            if (want != got)
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(got) + " for " +
                       std::to_string(want);
        }
    return "";
}

// A 24 × 18 picture with a one-pixel black line down column 7 and row 5
// over the sample pattern: any filtering smears the lines.
QImage linedPicture()
{
    QImage p = samples::samplePattern(24, 18).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < p.height(); ++y) p.setPixel(7, y, 0xFF000000u);
    for (int x = 0; x < p.width(); ++x) p.setPixel(x, 5, 0xFF000000u);
    return p;
}

struct identityCase {
    const char* name;
    int32_t format;
    std::function<bytes_t(const QImage&)> encode;
};
void PrintTo(const identityCase& c, std::ostream* os) { *os << c.name; }

class PixelIdentity : public ::testing::TestWithParam<identityCase> {};

// The entire image is stored as 0, 0, w − 1, h − 1 and shown w × h at zoom 1:
// each pixel is copied (not filtered, not stretched over one more pixel),
// and at zooms of 2 and 3 it becomes a block of 2 × 2 or 3 × 3 copies.
TEST_P(PixelIdentity, EntireImageIsCopiedAtOneAndAtWholeEnlargements)
{
    const QImage source = linedPicture();
    const bytes_t bytes = GetParam().encode(source);
    const QImage decoded = decodePictureBytes(GetParam().format, bytes.data(), bytes.size());
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), source.size());
    const int w = decoded.width(), h = decoded.height();
    for (int factor : {1, 2, 3}) {
        scene_t s(GetParam().format, bytes, model::clipWhole, {0, 0, w - 1, h - 1}, {20, 20, 20 + w, 20 + h});
        EXPECT_EQ(firstDifference(s.paint(factor), QPoint(20 * factor, 20 * factor), decoded, factor), "")
            << "zoom " << factor;
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredFormats, PixelIdentity,
    ::testing::Values(identityCase{"Bmp", model::pictureBmp, [](const QImage& i) { return samples::encodeBmp(i); }},
                      identityCase{"Gif", model::pictureGif, [](const QImage& i) { return samples::encodeGif(i); }},
                      identityCase{"Jpeg", model::pictureJpeg, [](const QImage& i) { return samples::encodeJpeg(i); }},
                      identityCase{"Ico", model::pictureIco, [](const QImage& i) { return samples::encodeIco(i); }},
                      identityCase{"Png", model::picturePng, [](const QImage& i) { return encodedByQt(i, "png"); }},
                      identityCase{"Tiff", model::pictureTiff, [](const QImage& i) { return encodedByQt(i, "tiff"); }},
                      identityCase{"Webp", model::pictureWebp,
                                   [](const QImage& i) { return encodedByQt(i, "webp", 100); }}),
    testnames::byName());

// A rectangular clip includes its maximum row and column: (5, 4)–(14, 8)
// shown 10 × 5 at zoom 1 copies exactly those pixels.
TEST(PictureCrop, RectangularClipIncludesItsMaximumRowAndColumn)
{
    const QImage source = linedPicture();
    scene_t s(model::pictureBmp, samples::encodeBmp(source), model::clipRect, {5, 4, 14, 8}, {30, 40, 40, 45});
    EXPECT_EQ(firstDifference(s.paint(), QPoint(30, 40), source.copy(5, 4, 10, 5), 1), "");
}

// A 2 × 2 picture is small but decodable: enlarged 50 times it is drawn,
// each pixel a 50 × 50 block.
TEST(PictureCrop, TwoByTwoPictureEnlargedFiftyTimesIsDrawn)
{
    QImage tiny(2, 2, QImage::Format_RGB32);
    tiny.setPixel(0, 0, 0xFFFF0000u), tiny.setPixel(1, 0, 0xFF00FF00u);
    tiny.setPixel(0, 1, 0xFF0000FFu), tiny.setPixel(1, 1, 0xFF000000u);
    scene_t s(model::pictureBmp, samples::encodeBmp(tiny), model::clipWhole, {0, 0, 1, 1}, {10, 10, 110, 110});
    EXPECT_EQ(firstDifference(s.paint(), QPoint(10, 10), tiny, 50), "");
}

// ---------------------------------------------------------------- damaged and disguised files

TEST(DamagedBitmap, CutShortAfterItsHeaderIsRefusedAndNeverShowsMemory)
{
    const bytes_t whole = samples::encodeBmp(samples::samplePattern(40, 30));
    for (const size_t kept : {size_t(54), size_t(54 + 40 * 3 * 7), whole.size() - 1}) {
        const bytes_t cut(whole.begin(), whole.begin() + ptrdiff_t(kept));
        const QImage a = decodeBmp(cut.data(), cut.size());
        const QImage b = decodeBmp(cut.data(), cut.size());
        EXPECT_TRUE(a.isNull()) << kept << " bytes";
        EXPECT_EQ(a, b) << kept << " bytes decode alike";
    }
    EXPECT_FALSE(decodeBmp(whole.data(), whole.size()).isNull());
}

// A 32-bit bitmap with the 40-byte header and alpha bytes: BGRA pixels,
// bottom row first.
bytes_t bmpWithAlpha(const std::vector<std::array<uint8_t, 4>>& pixels, int32_t w, int32_t h)
{
    bytes_t b;
    auto put16 = [&](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    b.push_back('B'), b.push_back('M');
    put32(uint32_t(54 + pixels.size() * 4)), put32(0), put32(54);
    put32(40), put32(uint32_t(w)), put32(uint32_t(h)), put16(1), put16(32), put32(0), put32(uint32_t(pixels.size() * 4));
    put32(2835), put32(2835), put32(0), put32(0);
    for (const auto& p : pixels) b.insert(b.end(), p.begin(), p.end());
    return b;
}

TEST(BitmapAlpha, ThirtyTwoBitBitmapWithAlphaIsDrawnOverWhite)
{
    // Bottom row: transparent black, half-transparent red; top row: opaque blue, opaque green.
    const bytes_t b = bmpWithAlpha({{0, 0, 0, 0}, {0, 0, 255, 128}, {255, 0, 0, 255}, {0, 255, 0, 255}}, 2, 2);
    const QImage image = decodePictureBytes(model::pictureBmp, b.data(), b.size());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(0, 1) & 0xFFFFFF, 0xFFFFFFu) << "transparent black is white";
    EXPECT_EQ(qRed(image.pixel(1, 1)), 255);
    EXPECT_NEAR(qGreen(image.pixel(1, 1)), 127, 1) << "half red over white is pink";
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
    // Alpha bytes all zero keep the format's old meaning: opaque.
    const bytes_t opaque = bmpWithAlpha({{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}}, 2, 2);
    EXPECT_EQ(decodeBmp(opaque.data(), opaque.size()).pixel(0, 1) & 0xFFFFFF, 0u);
}

TEST(DisguisedFiles, PictureIsDecodedByWhatItsBytesAre)
{
    const QImage pattern = samples::samplePattern(40, 30);
    const bytes_t png = encodedByQt(pattern, "png");
    const QImage asIcon = decodePictureBytes(model::pictureIco, png.data(), png.size());
    ASSERT_FALSE(asIcon.isNull()) << "a PNG filed as an icon";
    EXPECT_EQ(asIcon.pixel(10, 7), pattern.pixel(10, 7) | 0xFF000000u);
    const bytes_t gif = samples::encodeGif(pattern);
    EXPECT_FALSE(decodePictureBytes(model::pictureJpeg, gif.data(), gif.size()).isNull()) << "a GIF filed as a JPEG";
    EXPECT_TRUE(decodePictureBytes(99, png.data(), png.size()).isNull()) << "an unknown code stays undecodable";
}

// ---------------------------------------------------------------- metafiles

void put16(bytes_t& b, int32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); }
void put32(bytes_t& b, uint32_t v) { put16(b, int32_t(v & 0xFFFF)), put16(b, int32_t(v >> 16)); }
void wmfRecord(bytes_t& b, int32_t function, std::initializer_list<int32_t> words)
{
    put32(b, uint32_t(3 + words.size()));
    put16(b, function);
    for (int32_t w : words) put16(b, w);
}

// A placeable WMF whose bounds are 1440 × 720 units at 1440 per inch (96 × 48
// pixels) drawing only a red rectangle from (480, 240) to (720, 480).
bytes_t wmfDrawingPartOfItsBounds()
{
    bytes_t body;
    wmfRecord(body, 0x020B, {0, 0});       // window origin
    wmfRecord(body, 0x020C, {720, 1440});  // window extent
    wmfRecord(body, 0x02FC, {0, 0x00FF, 0, 0});
    wmfRecord(body, 0x012D, {0});
    wmfRecord(body, 0x041B, {480, 720, 240, 480});
    wmfRecord(body, 0, {});
    bytes_t out;
    put32(out, 0x9AC6CDD7u);
    put16(out, 0);
    put16(out, 0), put16(out, 0), put16(out, 1440), put16(out, 720), put16(out, 1440);
    put32(out, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i < out.size(); i += 2) sum ^= uint16_t(out[i] | out[i + 1] << 8);
    put16(out, sum);
    put16(out, 1), put16(out, 9), put16(out, 0x0300);
    put32(out, uint32_t(9 + body.size() / 2));
    put16(out, 1), put32(out, 7), put16(out, 0);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

TEST(Metafile, PlaceableHeaderGivesTheSizeAndTheRecordsAreNotStretched)
{
    const bytes_t b = wmfDrawingPartOfItsBounds();
    const QImage image = decodePictureBytes(model::pictureMetafile, b.data(), b.size());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(96, 48));
    // The rectangle covers 32..48 × 16..32 pixels; stretched to the frame it would cover everything.
    EXPECT_EQ(image.pixel(40, 24) & 0xFFFFFF, 0xFF0000u) << "inside the rectangle";
    for (const QPoint p : {QPoint(5, 5), QPoint(90, 40), QPoint(28, 24), QPoint(52, 24)})
        EXPECT_EQ(image.pixel(p) & 0xFFFFFF, 0xFFFFFFu) << p.x() << "," << p.y();
}

// Files a vector editor exported (drawings made for these tests): each is
// decoded at the size its header gives, with its colours where the drawing
// put them. They catch a converter's text that is not well-formed XML (an
// element closed without the prefix it was opened with), a long description
// measured twice against the end of a small file, a window set before the
// mapping mode (drawn enlarged and cut, or blank), a bitmap record, and a
// polygon of no points that made the player drop a whole shape. (The
// exporter's enhanced-metafile frames are a little larger than the drawing,
// so those pictures are too.)
struct exportedCase {
    const char* file;
    QSize size;
    std::vector<std::pair<QPoint, QRgb>> colours;
};
void PrintTo(const exportedCase& c, std::ostream* os) { *os << c.file; }

class ExportedMetafile : public ::testing::TestWithParam<exportedCase> {};

TEST_P(ExportedMetafile, IsDrawnAtItsSizeWithItsColoursInPlace)
{
    const exportedCase& c = GetParam();
    QFile file(QString(LUMORA_SOURCE_DIR) + "/tests/render/metafiles/" + c.file);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.file;
    const QByteArray bytes = file.readAll();
    const QImage image = decodePictureBytes(model::pictureMetafile, reinterpret_cast<const uint8_t*>(bytes.data()),
                                            size_t(bytes.size()));
    ASSERT_FALSE(image.isNull()) << "refused";
    EXPECT_EQ(image.size(), c.size);
    for (const auto& [at, want] : c.colours) {
        const QRgb got = image.pixel(at);
        EXPECT_TRUE(std::abs(qRed(got) - qRed(want)) <= 8 && std::abs(qGreen(got) - qGreen(want)) <= 8 &&
                    std::abs(qBlue(got) - qBlue(want)) <= 8)
            << "at " << at.x() << "," << at.y() << " got #" << std::hex << (got & 0xFFFFFF) << " want #"
            << (want & 0xFFFFFF);
    }
}

constexpr QRgb white = 0xFFFFFF, navy = 0x000080, magenta = 0xFF00FF, green = 0x00A000, red = 0xFF0000,
               blue = 0x0000FF, darkGreen = 0x008000;

INSTANTIATE_TEST_SUITE_P(
    VectorEditor, ExportedMetafile,
    ::testing::Values(
        exportedCase{"clipped-circle.emf", {60, 42}, {{{30, 20}, blue}}},
        exportedCase{"long-description.emf", {42, 23}, {{{5, 10}, red}, {{30, 10}, white}}},
        exportedCase{"navy-square-beside-a-bitmap.emf",
                     {83, 42},
                     {{{10, 20}, navy}, {{45, 5}, magenta}, {{70, 30}, green}}},
        exportedCase{"navy-square-beside-a-bitmap.wmf",
                     {80, 40},
                     {{{10, 20}, navy}, {{36, 36}, navy}, {{45, 5}, magenta}, {{70, 30}, green}, {{77, 37}, green}}},
        exportedCase{"green-square-with-an-empty-subpath.wmf",
                     {32, 32},
                     {{{2, 2}, white}, {{6, 6}, darkGreen}, {{16, 16}, darkGreen}, {{29, 29}, white}}}),
    [](const ::testing::TestParamInfo<exportedCase>& info) {
        // "long-description.emf" → "LongDescriptionEmf"
        std::string name;
        bool upper = true;
        for (const char* c = info.param.file; *c; ++c) {
            if (!std::isalnum(static_cast<unsigned char>(*c))) {
                upper = true;
                continue;
            }
            name += upper ? char(std::toupper(static_cast<unsigned char>(*c))) : *c;
            upper = false;
        }
        return name;
    });

} // namespace

// ---------------------------------------------------------------- transparency

namespace transparency {

constexpr int32_t red = 0x0000FF;  // 0x00BBGGRR

bool isRed(QRgb p) { return qRed(p) >= 250 && qGreen(p) <= 5 && qBlue(p) <= 5; }

struct overRedCase {
    const char* name;
    std::function<void(model::item_t*)> setUp;
    int32_t clip;
    std::array<int32_t, 4> src, at;
    QPoint throughHole;  // where the picture's transparent hole lies
    QPoint opaque;       // where the picture covers the red
};
void PrintTo(const overRedCase& c, std::ostream* os) { *os << c.name; }

class OverRed : public ::testing::TestWithParam<overRedCase> {};

// The 40 × 30 transparent pattern (hole at 10..19 × 7..21) as a PNG over a
// red rectangle: the red shows through the hole, wherever turning,
// mirroring, framing or a round clip puts it, and nowhere else.
TEST_P(OverRed, TransparentPartsShowTheRectangleBeneath)
{
    const overRedCase& c = GetParam();
    scene_t s(model::picturePng, samples::encodePng(samples::sampleTransparentPattern(40, 30)), c.clip,
              {c.src[0], c.src[1], c.src[2], c.src[3]}, {c.at[0], c.at[1], c.at[2], c.at[3]});
    model::item_t* rect = testdoc::addShape(s.doc, model::typeRectangle, {{10, 10}, {190, 10}, {190, 190}, {10, 190}}, red);
    // The rectangle goes beneath the picture.
    std::swap(rect->zOrder, s.pic->zOrder);
    c.setUp(s.pic);
    const QImage canvas = s.paint();
    EXPECT_TRUE(isRed(canvas.pixel(c.throughHole))) << std::hex << canvas.pixel(c.throughHole);
    EXPECT_FALSE(isRed(canvas.pixel(c.opaque))) << std::hex << canvas.pixel(c.opaque);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, OverRed,
    ::testing::Values(
        overRedCase{"Plain", [](model::item_t*) {}, model::clipWhole, {0, 0, 39, 29}, {50, 50, 90, 80}, {65, 65}, {85, 57}},
        overRedCase{"Mirrored", [](model::item_t* p) { p->scaleX = -1; }, model::clipWhole, {0, 0, 39, 29},
                    {50, 50, 90, 80}, {75, 65}, {65, 65}},
        overRedCase{"Framed",
                    [](model::item_t* p) {
                        p->frameOn = 1;
                        p->lineWeight = 1.0;
                    },
                    model::clipWhole, {0, 0, 39, 29}, {50, 50, 90, 80}, {65, 65}, {48, 65}},
        overRedCase{"HalfTurned", [](model::item_t* p) { p->rotation = 3.14159265358979; }, model::clipWhole,
                    {0, 0, 39, 29}, {50, 50, 90, 80}, {75, 65}, {60, 57}},
        overRedCase{"Lightened", [](model::item_t* p) { p->lightness = 80; }, model::clipWhole, {0, 0, 39, 29},
                    {50, 50, 90, 80}, {65, 65}, {85, 57}},
        overRedCase{"QuarterTurned", [](model::item_t* p) { p->orientation = 90; }, model::clipWhole, {0, 0, 29, 39},
                    {50, 50, 80, 90}, {64, 74}, {57, 59}},
        overRedCase{"RectangularClip", [](model::item_t*) {}, model::clipRect, {5, 5, 24, 24}, {50, 50, 70, 70},
                    {60, 60}, {67, 51}},
        overRedCase{"RoundClip", [](model::item_t*) {}, model::clipRound, {20, 15, 34, 15}, {100, 100, 114, 100},
                    {95, 100}, {110, 100}}),
    testnames::byName());

TEST(Transparency, HalfTransparentPixelsMixWithWhatLiesBeneath)
{
    // The bottom band (rows 26..29) is half transparent.
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 255, 128));
    scene_t s(model::picturePng, samples::encodePng(picture), model::clipWhole, {0, 0, 39, 29}, {50, 50, 90, 80});
    model::item_t* rect = testdoc::addShape(s.doc, model::typeRectangle, {{10, 10}, {190, 10}, {190, 190}, {10, 190}}, red);
    std::swap(rect->zOrder, s.pic->zOrder);
    const QRgb p = s.paint().pixel(70, 65);
    EXPECT_NEAR(qRed(p), 127, 2);
    EXPECT_NEAR(qGreen(p), 0, 2);
    EXPECT_NEAR(qBlue(p), 128, 2);
}

} // namespace transparency

// ---------------------------------------------------------------- SVG

bytes_t svgText(const std::string& body, int w = 40, int h = 30)
{
    const std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
                          std::to_string(w) + "\" height=\"" + std::to_string(h) + "\">" + body + "</svg>";
    return bytes_t(s.begin(), s.end());
}

// An edge drawn at the resolution shown: at 300 % a black rectangle whose
// edge lies half way through a picture pixel gives at most one grey canvas
// pixel across it (an enlarged bitmap would give three).
TEST(SvgPicture, StaysSharpAtThreeHundredPercent)
{
    const bytes_t svg = svgText("<rect width=\"40\" height=\"30\" fill=\"white\"/>"
                                "<rect x=\"10.5\" y=\"10\" width=\"20\" height=\"10\" fill=\"black\"/>");
    scene_t s(model::pictureSvg, svg, model::clipWhole, {0, 0, 39, 29}, {20, 20, 60, 50});
    const QImage canvas = s.paint(3.0);
    const int row = 60 + 45;
    int grey = 0;
    for (int x = 60; x < 120; ++x) {
        const int v = qRed(canvas.pixel(x, row));
        if (v > 10 && v < 245) ++grey;
    }
    EXPECT_LE(grey, 1);
    EXPECT_LT(qRed(canvas.pixel(60 + 33, row)), 10) << "inside the rectangle";
    EXPECT_GT(qRed(canvas.pixel(60 + 30, row)), 245) << "left of it";
}

TEST(SvgPicture, ReferencesOutsideTheFileAndEntitiesAreRefused)
{
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>";
    const bytes_t bomb = [&] {
        bytes_t b(laughs.begin(), laughs.end());
        const bytes_t rest = svgText("<text>&b;</text>");
        b.insert(b.end(), rest.begin(), rest.end());
        return b;
    }();
    const struct {
        const char* name;
        bytes_t bytes;
        bool taken;
    } cases[] = {
        {"plain", svgText("<rect width=\"40\" height=\"30\" fill=\"red\"/>"), true},
        {"entities", bomb, false},
        {"local file", svgText("<image xlink:href=\"file:///etc/hosts\" width=\"10\" height=\"10\"/>"), false},
        {"relative file", svgText("<image href=\"logo.png\" width=\"10\" height=\"10\"/>"), false},
        {"network", svgText("<rect width=\"4\" height=\"4\" fill=\"url( 'http://example.com/p.svg#x')\"/>"), false},
        {"stylesheet", svgText("<style>@import url(#x);</style>"), false},
        {"fragment", svgText("<defs><rect id=\"r\" width=\"4\" height=\"4\"/></defs><use xlink:href=\"#r\"/>"), true},
        {"inline data", svgText("<image href=\"data:image/png;base64,AAAA\" width=\"4\" height=\"4\"/>"), true},
        {"compressed", bytes_t{0x1F, 0x8B, 8, 0, 0, 0, 0, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!decodePictureBytes(model::pictureSvg, c.bytes.data(), c.bytes.size()).isNull(), c.taken) << c.name;
}

// ---------------------------------------------------------------- hostile headers

uint32_t crc32Of(const uint8_t* p, size_t n)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

// A PNG signature and header chunk claiming w × h pixels, and nothing more.
bytes_t pngHeaderOnly(uint32_t w, uint32_t h)
{
    bytes_t b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {w, h}) b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    b.insert(b.end(), {8, 6, 0, 0, 0});
    const uint32_t crc = crc32Of(b.data() + 12, 17);
    b.insert(b.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    return b;
}

TEST(HostilePictures, HugeHeadersAreRefusedBeforeDecoding)
{
    const bytes_t huge = pngHeaderOnly(100000, 100000);
    EXPECT_TRUE(decodePng(huge.data(), huge.size()).isNull());
    const bytes_t wide = pngHeaderOnly(2000000, 2);
    EXPECT_TRUE(decodePng(wide.data(), wide.size()).isNull());
    const bytes_t svg = svgText("<rect width=\"4\" height=\"4\"/>", 100000, 100000);
    EXPECT_TRUE(decodePictureBytes(model::pictureSvg, svg.data(), svg.size()).isNull());
}

// ---------------------------------------------------------------- documents

struct yesQuestions : model::docReadQuestions_t {
    bool askOpenInvalid() override { return true; }
    void warnNewerVersion(const std::string&) override {}
};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PictureRecords, NewFormatsSurviveWriteReadWriteByteForByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    model::itemList_t doc;
    testdoc::addHeader(doc, 400, 300);
    int32_t id = 40;
    for (samples::sampleFile_t& f : samples::transparentSampleFiles(40, 30)) {
        ASSERT_FALSE(f.bytes.empty()) << f.name;
        testdoc::addPictureData(doc, ++id, f.format, std::move(f.bytes));
        testdoc::addPicture(doc, id, model::clipWhole, {0, 0, 39, 29}, {id, id, id + 40, id + 30});
    }
    // The built header is made what a reader makes of it by one write and read.
    const auto path = [&](const char* name) { return QDir(dir.path()).filePath(name).toStdString(); };
    model::itemList_t settled, read;
    yesQuestions q;
    ASSERT_TRUE(model::writeDocument(path("built.lmra"), doc));
    ASSERT_TRUE(model::readDocument(path("built.lmra"), settled, q));
    ASSERT_TRUE(model::writeDocument(path("first.lmra"), settled));
    ASSERT_TRUE(model::readDocument(path("first.lmra"), read, q));
    ASSERT_TRUE(model::writeDocument(path("second.lmra"), read));
    const QByteArray a = fileBytes(QString::fromStdString(path("first.lmra")));
    const QByteArray b = fileBytes(QString::fromStdString(path("second.lmra")));
    EXPECT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b) << "the second write differs from the first";
    model::freeList(settled);
    int32_t formats = 0;
    for (const model::item_t* it = read.head; it; it = it->next)
        if (it->itemType == model::typePictureData) {
            formats |= 1 << it->pictureFormat();
            EXPECT_FALSE(decodePictureBytes(it->pictureFormat(), it->stream->data(), it->stream->size()).isNull());
        }
    EXPECT_EQ(formats, 1 << model::picturePng | 1 << model::pictureSvg | 1 << model::pictureWebp | 1 << model::pictureTiff);
    model::freeList(doc);
    model::freeList(read);
}

namespace {

TEST(SvgPicture, WhereItDrawsNothingWhatLiesBeneathShows)
{
    scene_t s(model::pictureSvg, samples::sampleSvg(40, 30), model::clipWhole, {0, 0, 39, 29}, {50, 50, 170, 140});
    model::item_t* rect = testdoc::addShape(s.doc, model::typeRectangle, {{10, 10}, {190, 10}, {190, 190}, {10, 190}},
                                            transparency::red);
    std::swap(rect->zOrder, s.pic->zOrder);
    const QImage canvas = s.paint();
    // The bottom right quarter holds only a circle in its middle.
    EXPECT_TRUE(transparency::isRed(canvas.pixel(50 + 65, 50 + 50))) << std::hex << canvas.pixel(115, 100);
    EXPECT_TRUE(transparency::isRed(canvas.pixel(50 + 118, 50 + 88))) << "its last pixel";
    EXPECT_FALSE(transparency::isRed(canvas.pixel(50 + 10, 50 + 10))) << "the red quarter is another red";
}

} // namespace

namespace {

// The editor paints quickly first (pictures as outlines with their names),
// then at full quality over that: a transparent picture's outline must not
// stay visible through it where nothing but the page lies beneath.
TEST(Transparency, TheQuickPassOutlineDoesNotShowThroughAfterTheFullPass)
{
    // Transparent but for a small block in its middle.
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 14; y < 16; ++y)
        for (int x = 19; x < 21; ++x) picture.setPixel(x, y, 0xFF000000u);
    scene_t s(model::picturePng, samples::encodePng(picture), model::clipWhole, {0, 0, 39, 29}, {50, 50, 90, 80});
    model::item_t* h = model::findHeader(s.doc);
    geometry::computeCanvasPixels(h);
    renderView_t view;
    view.items = &s.doc;
    const QSize size = canvasImageSize(h);
    view.Image1 = newCanvasImage(size.width(), size.height());
    view.quickDraw = true;
    repaintAll(view, false);
    view.quickDraw = false;
    fullQualityPass(view);
    // Where the outline lay, one pixel inside the picture's box, the page shows as it does beside it.
    const QRgb page = view.Image1.pixel(30, 65);
    for (const QPoint p : {QPoint(51, 65), QPoint(70, 51), QPoint(89, 65), QPoint(70, 79), QPoint(65, 65)})
        EXPECT_EQ(view.Image1.pixel(p), page) << p.x() << "," << p.y();
}

} // namespace

namespace {

// A transparent picture's shadow follows what it shows: a picture that is
// transparent but for a block in its top-left quarter casts no shadow past
// its bottom-right corner, where a shadow of its rectangle would fall.
TEST(Transparency, ShadowFollowsTheOpaquePixels)
{
    QImage picture(80, 60, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 30; ++x) picture.setPixel(x, y, 0xFF202020u);
    const bytes_t png = samples::encodePng(picture);
    QImage canvas[2];
    for (const bool transparent : {false, true}) {
        const bytes_t bytes = transparent ? png : samples::encodePng(picture.convertToFormat(QImage::Format_RGB32));
        scene_t s(model::picturePng, bytes, model::clipWhole, {0, 0, 79, 59}, {40, 40, 120, 100});
        s.pic->shadowElevation = 40;
        s.pic->shadowLightness = 100;
        canvas[transparent] = s.paint();
    }
    const QPoint pastCorner(123, 103);
    EXPECT_NE(canvas[0].pixel(pastCorner) & 0xFFFFFF, 0xFFFFFFu) << "the opaque picture's shadow is there";
    EXPECT_EQ(canvas[1].pixel(pastCorner) & 0xFFFFFF, 0xFFFFFFu) << "no shadow where the picture shows nothing";
    // Beside the block, inside the picture, its own shadow shows through.
    EXPECT_NE(canvas[1].pixel(72, 67) & 0xFFFFFF, 0xFFFFFFu) << std::hex << canvas[1].pixel(72, 67);
}

} // namespace

namespace {

// A large picture on a view that decodes in the background: drawn as its
// outline at first, handed over when ready, then drawn without decoding on
// the spot.
TEST(BackgroundDecoding, LargePictureIsOutlinedUntilItsDecodeIsHandedOver)
{
    // Noise does not compress: a 600 × 600 PNG of it is over a megabyte.
    QImage noise(600, 600, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    bytes_t png = samples::encodePng(noise);
    ASSERT_GT(png.size(), size_t(512) << 10);
    scene_t s(model::picturePng, png, model::clipWhole, {0, 0, 599, 599}, {0, 0, 600, 600}, 700, 700);
    model::item_t* h = model::findHeader(s.doc);
    geometry::computeCanvasPixels(h);
    const model::item_t* record = pictureDataOf(s.pic, s.doc);
    ASSERT_NE(record, nullptr);
    renderView_t view;
    view.items = &s.doc;
    const QSize size = canvasImageSize(h);
    view.Image1 = newCanvasImage(size.width(), size.height());
    bool ready = false;
    view.pictureDecoded = [&](uint64_t serial, QImage decoded) {
        EXPECT_EQ(serial, record->cacheSerial);
        ASSERT_FALSE(decoded.isNull());
        pictureCache().handOverDecoded(record, decoded);
        ready = true;
    };
    repaintAll(view, false);
    EXPECT_EQ(view.Image1.pixel(300, 300), newCanvasImage(size.width(), size.height()).pixel(300, 300))
        << "nothing of the picture yet";
    for (int i = 0; i < 1000 && !ready; ++i) {
        QThreadPool::globalInstance()->waitForDone(10);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(ready);
    const int64_t before = pictureDecodeCount();
    repaintAll(view, false);
    EXPECT_EQ(pictureDecodeCount(), before) << "the handed-over picture was taken";
    EXPECT_EQ(view.Image1.pixel(300, 300), noise.pixel(300, 300));
    dropPictureCache(s.pic);
}

} // namespace
