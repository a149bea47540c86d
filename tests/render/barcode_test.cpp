// Barcodes drawn from the encoder's vector output: what a real decoder reads
// back, module sizes at print resolution, quarter turns, the placeholder,
// and the words for data a symbology cannot hold.
#include "cli_runner.h"
#include "docbuilder.h"

#include "geometry/transform.h"
#include "model/barcode.h"
#include "model/extensions.h"
#include "render/barcode.h"
#include "render/renderpass.h"

#include <gtest/gtest.h>

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>

using model::symbology_t;

namespace {

struct barcodePage {
    model::itemList_t list;
    barcodePage() { testdoc::addHeader(list, 800, 600); }
    ~barcodePage() { model::freeList(list); }
    model::item_t* add(symbology_t s, const std::string& data, QRect box, bool text = true, int32_t ec = model::ecAuto)
    {
        return model::newBarcodeItem(list, box.x(), box.y(), box.width(), box.height(),
                                     {static_cast<int32_t>(s), data, ec, text});
    }
};

// The item alone on a white bitmap of the page at `scale` device pixels per document pixel.
QImage drawn(barcodePage& page, model::item_t* it, double scale = 1.0, QSize size = {800, 600})
{
    QImage img = render::newCanvasImage(qRound(size.width() * scale), qRound(size.height() * scale));
    render::renderItemToBitmap(img, page.list, it, QPoint(0, 0), scale, scale);
    return img;
}

// What zbarimg reads in the picture, one "TYPE:data" per line.
QStringList decoded(const QImage& img)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("code.png");
    EXPECT_TRUE(img.save(file));
    const auto r = testcli::runProgram("zbarimg", {"-q", "--nodbus", "-Supca.enable", "-Supce.enable", file});
    return r.out.split('\n', Qt::SkipEmptyParts);
}

bool dark(QRgb c) { return qGray(c) < 128; }

// Lengths of the dark and light runs along row y between x0 and x1 (exclusive).
std::vector<int32_t> runs(const QImage& img, int32_t y, int32_t x0, int32_t x1)
{
    std::vector<int32_t> out;
    int32_t start = x0;
    for (int32_t x = x0 + 1; x <= x1; ++x)
        if (x == x1 || dark(img.pixel(x, y)) != dark(img.pixel(x - 1, y))) {
            out.push_back(x - start);
            start = x;
        }
    return out;
}

QRect inkBox(const QImage& img)
{
    QRect box;
    for (int32_t y = 0; y < img.height(); ++y)
        for (int32_t x = 0; x < img.width(); ++x)
            if (dark(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(BarcodeDecode, EveryCodeTheDecoderKnowsReadsBackItsData)
{
    // The decoder's name and what it reads: check digits the encoder added
    // (EAN, UPC, ITF-14), UPC-E as its six digits with system and check digit,
    // GS1-128 as its element strings without brackets.
    const struct {
        symbology_t s;
        const char* data;
        const char* read;
    } cases[] = {
        {symbology_t::qrCode, "https://example.com/card?id=42", "QR-Code:https://example.com/card?id=42"},
        {symbology_t::code128, "Asset 0042-b", "CODE-128:Asset 0042-b"},
        {symbology_t::code39, "ASSET-42", "CODE-39:ASSET-42"},
        {symbology_t::ean13, "400638133393", "EAN-13:4006381333931"},
        {symbology_t::ean13, "4006381333931", "EAN-13:4006381333931"},
        {symbology_t::ean8, "9638507", "EAN-8:96385074"},
        {symbology_t::upcA, "01234567890", "UPC-A:012345678905"},
        {symbology_t::upcE, "0123456", "UPC-E:01234565"},
        {symbology_t::itf14, "1234567890123", "I2/5:12345678901231"},
        {symbology_t::gs1_128, "[01]09501101530003", "CODE-128:0109501101530003"},
        {symbology_t::codabar, "A123456B", "Codabar:A123456B"},
    };
    for (const auto& c : cases) {
        // On the screen at 100 % and at 300 dpi, with and without the text
        // line. The box gives at least two pixels a module on the screen:
        // the decoder misses some codes of one-pixel modules.
        for (const double scale : {1.0, 300.0 / 96}) {
            barcodePage page;
            model::item_t* it = page.add(c.s, c.data, QRect(40, 40, 440, 150), scale == 1.0);
            EXPECT_EQ(decoded(drawn(page, it, scale, {520, 250})), QStringList{c.read})
                << c.data << " at scale " << scale;
        }
    }
}

TEST(BarcodeDecode, CodesTheDecoderCannotReadHaveTheEncodersModules)
{
    // zbarimg reads no Data Matrix, PDF417 or Aztec: the drawn symbol is
    // sampled at every module's centre against the module matrix the encoder
    // keeps, which catches a bar drawn a module off, a dropped run or a
    // stretched row. QR Code is checked the same way as a control.
    const struct {
        symbology_t s;
        const char* data;
    } cases[] = {
        {symbology_t::dataMatrix, "Lumora DM 0042"},
        {symbology_t::pdf417, "Lumora PDF417 0042"},
        {symbology_t::aztec, "Lumora Aztec 0042"},
        {symbology_t::qrCode, "Lumora QR 0042"},
    };
    for (const auto& c : cases) {
        barcodePage page;
        model::item_t* it = page.add(c.s, c.data, QRect(10, 10, 180, 180));
        const QImage img = drawn(page, it, 600.0 / 96, {200, 200});
        const auto layout = render::barcodeLayout(*model::readBarcode(it));
        ASSERT_TRUE(layout->error.empty()) << layout->error;
        ASSERT_GT(layout->rows, 0);
        // The symbol's first and last rows and columns hold set modules
        // (finders, start and stop patterns), so the ink spans the matrix.
        double minX = 1e9, minY = 1e9, maxX = 0, maxY = 0;
        for (const auto& b : layout->bars) {
            minX = std::min(minX, b.x), minY = std::min(minY, b.y);
            maxX = std::max(maxX, b.x + b.w), maxY = std::max(maxY, b.y + b.h);
        }
        const QRect ink = inkBox(img);
        const double colW = double(ink.width()) / (maxX - minX), rowH = double(ink.height()) / (maxY - minY);
        EXPECT_DOUBLE_EQ(colW, std::round(colW)) << c.data << ": whole pixels per module";
        const double moduleRows = (maxY - minY) / layout->rows;  // PDF417 rows are several modules high
        int32_t wrong = 0;
        for (int32_t r = 0; r < layout->rows; ++r)
            for (int32_t col = 0; col < layout->columns; ++col) {
                const double x = ink.left() + (col + 0.5) * colW;
                const double y = ink.top() + (r + 0.5) * moduleRows * rowH;
                const bool set = dark(img.pixel(int32_t(x), int32_t(y)));
                wrong += set != layout->matrix[size_t(r)][size_t(col)];
            }
        EXPECT_EQ(wrong, 0) << c.data;
    }
}

TEST(BarcodeResolution, ModulesAreWholePixelsAt300And600Dpi)
{
    // A box of odd size, so that a module stretched to fill it would come
    // out as mixed runs of m and m + 1 pixels.
    const struct {
        symbology_t s;
        const char* data;
    } cases[] = {{symbology_t::qrCode, "https://example.com"},
                 {symbology_t::code128, "Asset 0042"},
                 {symbology_t::ean13, "400638133393"},
                 {symbology_t::dataMatrix, "DM"}};
    for (const auto& c : cases)
        for (const double dpi : {300.0, 600.0}) {
            barcodePage page;
            model::item_t* it = page.add(c.s, c.data, QRect(7, 9, 101, 77), false);
            const QImage img = drawn(page, it, dpi / 96, {120, 100});
            const QRect ink = inkBox(img);
            // A row through the middle of the symbol: every run a whole number of modules.
            const std::vector<int32_t> r = runs(img, ink.center().y(), ink.left(), ink.right() + 1);
            const int32_t module = *std::min_element(r.begin(), r.end());
            EXPECT_GE(module, 2) << c.data << " at " << dpi;
            for (int32_t len : r) EXPECT_EQ(len % module, 0) << c.data << " at " << dpi << ": run " << len;
            EXPECT_EQ(ink.width() % module, 0) << c.data << " at " << dpi;
        }
}

TEST(BarcodeTurns, EachQuarterTurnIsTheUnturnedCodeTurned)
{
    for (const symbology_t s : {symbology_t::code128, symbology_t::qrCode, symbology_t::pdf417}) {
        barcodePage page;
        model::item_t* it = page.add(s, "TURN 1234", QRect(100, 100, 192, 96), false);
        const QRect box0(it->boxLeft, it->boxTop, it->boxRight - it->boxLeft, it->boxBottom - it->boxTop);
        const QImage flat = drawn(page, it).copy(box0);
        for (int32_t q = 1; q <= 3; ++q) {
            geometry::transformShape(it, false, false, +1);
            ASSERT_EQ(model::barcodeQuarterTurn(it), q);
            const QRect box(it->boxLeft, it->boxTop, it->boxRight - it->boxLeft, it->boxBottom - it->boxTop);
            // Counter-clockwise on the screen is a negative angle in Qt's y-down frame.
            const QImage expected = flat.transformed(QTransform().rotate(-90.0 * q));
            EXPECT_EQ(drawn(page, it).copy(box), expected) << int(s) << " turned " << q;
        }
    }
}

TEST(BarcodeDraw, AnUnusableBarcodeIsThePlaceholderAnOldReaderDraws)
{
    barcodePage page;
    model::item_t* it = page.add(symbology_t::qrCode, "placeholder", QRect(50, 60, 120, 90));
    const QImage code = drawn(page, it);
    // What a reader without barcodes draws: the same record without its values.
    auto kept = std::make_unique<model::extensionData_t>(*model::findExtensions(it));
    model::clearExtensions(it);
    const QImage rectangle = drawn(page, it);
    it->extensions = std::move(kept);
    EXPECT_EQ(inkBox(rectangle), QRect(50, 60, 121, 91)) << "the outline of the box";
    EXPECT_EQ(rectangle.pixel(110, 105), render::toRgb(0xFFFFFF)) << "filled with the background";
    EXPECT_TRUE(inkBox(code).intersected(QRect(50, 60, 120, 90)) == inkBox(code)) << "the code stays in its box";

    const std::function<void(model::extensionData_t&)> unusable[] = {
        [](model::extensionData_t& e) { e.setInteger(model::keyBarcodeType, 77); },
        [](model::extensionData_t& e) { e.setText(model::keyBarcodeData, "not digits"); e.setInteger(model::keyBarcodeType, 7); },
        [](model::extensionData_t& e) { e.setText(model::keyBarcodeData, std::string(1 << 20, 'x')); },
        [](model::extensionData_t& e) { e.setText(model::keyBarcodeData, std::string(3500, 'x')); },  // beyond any QR
    };
    for (const auto& change : unusable) {
        model::extensionData_t before = *model::findExtensions(it);
        change(model::extensionsOf(it));
        EXPECT_EQ(drawn(page, it), rectangle);
        model::extensionsOf(it) = before;
    }
}

TEST(BarcodeDraw, ColoursAndAClearBackground)
{
    barcodePage page;
    model::item_t* it = page.add(symbology_t::qrCode, "colours", QRect(20, 20, 100, 100));
    it->lineColor = 0x800000;  // dark blue bars
    it->fillColor = 0x00FFFF;  // on yellow
    QImage img = drawn(page, it, 1.0, {140, 140});
    EXPECT_EQ(img.pixel(21, 21), render::toRgb(0x00FFFF)) << "the quiet zone is background";
    EXPECT_EQ(img.pixel(10, 10), render::toRgb(0xFFFFFF)) << "outside the box nothing";
    bool bars = false;
    for (int32_t x = 20; x < 120; ++x) bars |= img.pixel(x, 70) == render::toRgb(0x800000);
    EXPECT_TRUE(bars);

    it->fillColor = -1;  // "Clear": what lies beneath shows between the bars
    QImage under(140, 140, QImage::Format_RGB32);
    under.fill(render::toRgb(0x0000FF));
    render::renderItemToBitmap(under, page.list, it, QPoint(0, 0), 1.0, 1.0);
    EXPECT_EQ(under.pixel(21, 21), render::toRgb(0x0000FF));
}

TEST(BarcodeData, ProblemsAreToldInWords)
{
    const struct {
        symbology_t s;
        std::string data;
        const char* says;  // a part of the message; empty: encodable
    } cases[] = {
        {symbology_t::ean13, "400638133393", ""},
        {symbology_t::ean13, "4006381333931", ""},
        {symbology_t::ean13, "4006381333932", "check digit"},
        {symbology_t::ean13, "40063813339A", "digits only"},
        {symbology_t::ean13, "40063813339", "12 digits, or 13"},
        {symbology_t::ean13, "40063813339312", "not 14"},
        {symbology_t::ean8, "96385074", ""},
        {symbology_t::ean8, "963850", "7 digits, or 8"},
        {symbology_t::upcA, "012345678905", ""},
        {symbology_t::itf14, "123456789012", "13 digits, or 14"},
        {symbology_t::code39, "ASSET-42 $/+%", ""},
        {symbology_t::code39, "lower case", "capital letters"},  // never printed as capitals
        {symbology_t::code39, "ÄÖ", "Invalid character"},
        {symbology_t::codabar, "A123456B", ""},
        {symbology_t::codabar, "123456", "begin with"},
        {symbology_t::gs1_128, "09501101530003", "AI"},
        {symbology_t::qrCode, "tab\there", "control character (code 9) at position 4"},
        {symbology_t::qrCode, std::string(3000, 'x'), "too long"},
        {symbology_t::qrCode, std::string(1 << 20, 'x'), "at most 4096"},
        {symbology_t::qrCode, "", "no data"},
        {static_cast<symbology_t>(99), "x", "not known"},
    };
    for (const auto& c : cases) {
        const std::string problem = render::barcodeDataProblem(static_cast<int32_t>(c.s), c.data);
        if (!*c.says) EXPECT_EQ(problem, "") << c.data;
        else EXPECT_NE(problem.find(c.says), std::string::npos) << c.data.substr(0, 40) << ": " << problem;
    }
    EXPECT_NE(render::barcodeDataProblem(static_cast<int32_t>(symbology_t::qrCode), "x", 5), "");
}

TEST(BarcodeDraw, EqualCodesAreEncodedOnce)
{
    const model::barcodeContent_t a{static_cast<int32_t>(symbology_t::qrCode), "cache", model::ecHigh, true};
    model::barcodeContent_t b = a;
    EXPECT_EQ(render::barcodeLayout(a), render::barcodeLayout(b));
    b.ecLevel = model::ecLow;
    EXPECT_NE(render::barcodeLayout(a), render::barcodeLayout(b)) << "the level is part of the code";
}

TEST(BarcodeDraw, AHugeBoxFromAFileDrawsItsBarsAndSkipsAGiantTextLine)
{
    // A box a million pixels wide: modules of thousands of pixels, a text
    // line that would be glyphs tens of thousands of pixels high.
    barcodePage page;
    model::item_t* it = page.add(symbology_t::ean13, "400638133393", QRect(-400000, -200000, 1000000, 500000));
    const QImage img = drawn(page, it, 1.0, {400, 300});
    int64_t darkPixels = 0;
    for (int32_t y = 0; y < img.height(); ++y)
        for (int32_t x = 0; x < img.width(); ++x) darkPixels += dark(img.pixel(x, y));
    // The view lies inside one module: all bar or all space, nothing in between.
    EXPECT_TRUE(darkPixels == 0 || darkPixels == int64_t(img.width()) * img.height()) << darkPixels;
}

namespace {

// A device that keeps every rectangle it is asked to fill, with the
// transform and brush colour it came under.
class rectRecorder_t : public QPaintDevice {
public:
    struct fill_t {
        QTransform transform;
        QRectF rect;
        QRgb color;
    };
    std::vector<fill_t> fills;

    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
        case PdmHeight: return 2000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 300;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return QPaintDevice::metric(m);
        }
    }

private:
    struct engine_t : QPaintEngine {
        rectRecorder_t* owner = nullptr;
        QTransform transform;
        QRgb color = 0;
        engine_t() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& s) override
        {
            if (s.state() & DirtyTransform) transform = s.transform();
            if (s.state() & DirtyBrush) color = s.brush().color().rgb();
        }
        void drawRects(const QRectF* r, int n) override
        {
            for (int i = 0; i < n; ++i) owner->fills.push_back({transform, r[i], color});
        }
        void drawRects(const QRect* r, int n) override
        {
            for (int i = 0; i < n; ++i) owner->fills.push_back({transform, QRectF(r[i]), color});
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        Type type() const override { return QPaintEngine::User; }
    };
    mutable engine_t engine_;

public:
    rectRecorder_t() { engine_.owner = this; }
};

// The bars (black fills) of `it` drawn on a recording device under `transform`.
std::vector<rectRecorder_t::fill_t> barsUnder(barcodePage& page, model::item_t* it, const QTransform& transform)
{
    rectRecorder_t device;
    QPainter painter(&device);
    painter.setTransform(transform);
    render::renderItemToDevice(painter, QRect(0, 0, 2000, 2000), nullptr, page.list, it, QPoint(0, 0), 3.125, 3.125);
    painter.end();
    std::vector<rectRecorder_t::fill_t> bars;
    for (const auto& f : device.fills)
        if (f.color == qRgb(0, 0, 0)) bars.push_back(f);
    return bars;
}

} // namespace

TEST(BarcodeVector, BarsOfACardShiftedByWholePixelsAreWrittenWithoutAMatrixEach)
{
    // A sheet places its cards by translations; a PDF writer puts a saved
    // state and a matrix around every rectangle drawn under one. Bars moved
    // by whole pixels are drawn in the device's own coordinates instead, at
    // the same place; any other transform is left to the device.
    barcodePage page;
    model::item_t* it = page.add(symbology_t::qrCode, "https://lumora.example/card", {20, 20, 96, 96});
    const std::vector<rectRecorder_t::fill_t> plain = barsUnder(page, it, QTransform());
    ASSERT_GT(plain.size(), 20u);
    const struct {
        const char* name;
        QTransform transform;
        bool folded;
    } cases[] = {
        {"whole shift", QTransform::fromTranslate(874, 620), true},
        {"shift left and up", QTransform::fromTranslate(-37, -11), true},
        {"half-pixel shift", QTransform::fromTranslate(0.5, 3), false},
        {"scale", QTransform::fromScale(2, 2), false},
        {"shift and scale", QTransform::fromTranslate(10, 10).scale(2, 2), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<rectRecorder_t::fill_t> bars = barsUnder(page, it, c.transform);
        ASSERT_EQ(bars.size(), plain.size());
        for (size_t k = 0; k < bars.size(); ++k) {
            // Wherever it is written, each bar lands where the transform puts the plain one.
            EXPECT_EQ(bars[k].transform.mapRect(bars[k].rect), c.transform.mapRect(plain[k].rect)) << k;
            EXPECT_EQ(bars[k].transform.isIdentity(), c.folded) << k;
        }
    }
}
