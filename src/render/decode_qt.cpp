// BMP, icon, PNG, WebP and TIFF files through Qt's image readers, which are
// told the format (never left to guess it from the bytes) and asked for the
// size first.
#include "render/decode.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace render {

namespace {

// A reader of the stored bytes (not copied) in the one format it is told.
struct storedReader_t {
    QBuffer buffer;
    QImageReader reader;
    storedReader_t(const uint8_t* data, size_t size, const char* format)
    {
        buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setFormat(format);
        reader.setDecideFormatFromContent(false);
    }
};

// The image as it will be drawn over what lies beneath: premultiplied when
// some pixel is not opaque, RGB32 otherwise (the fast path).
QImage keepingAlpha(const QImage& image)
{
    if (image.isNull()) return {};
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(out.constScanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(row[x]) != 255) return out;
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

// Reads the reader's current image when its announced size is acceptable.
QImage readChecked(QImageReader& reader)
{
    const QSize s = reader.size();
    if (!s.isValid() || !acceptablePictureSize(s.width(), s.height())) return {};
    QImage image;
    if (!reader.read(&image) || image.size() != s) return {};
    return image;
}

uint16_t u16At(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t u32At(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

constexpr size_t bmpFileHeaderSize = 14;
constexpr uint32_t bmpCoreHeaderSize = 12, bmpInfoHeaderSize = 40;
constexpr uint32_t bmpRgb = 0, bmpRle8 = 1, bmpRle4 = 2, bmpBitfields = 3, bmpAlphaBitfields = 6;

// What a BMP's headers say about its pixel data.
struct bmpLayout_t {
    int64_t offset = 0;      // where the pixel data starts
    uint32_t headerSize = 0;
    int64_t width = 0, height = 0;  // height negative: rows top-down
    uint32_t bitCount = 0, compression = 0, sizeImage = 0;
    int64_t stride() const { return (width * bitCount + 31) / 32 * 4; }
};

bool readBmpLayout(const uint8_t* data, size_t size, bmpLayout_t& b)
{
    if (size < bmpFileHeaderSize + 4) return false;
    b.offset = u32At(data + 10);
    b.headerSize = u32At(data + 14);
    if (b.headerSize == bmpCoreHeaderSize) {
        if (size < bmpFileHeaderSize + bmpCoreHeaderSize) return false;
        b.width = u16At(data + 18);
        b.height = u16At(data + 20);
        b.bitCount = u16At(data + 24);
        return true;
    }
    if (b.headerSize < bmpInfoHeaderSize || size < bmpFileHeaderSize + bmpInfoHeaderSize) return false;
    b.width = int32_t(u32At(data + 18));
    b.height = int32_t(u32At(data + 22));
    b.bitCount = u16At(data + 28);
    b.compression = u32At(data + 30);
    b.sizeImage = u32At(data + 34);
    return true;
}

// Whether the file holds all the pixel data its headers announce: the rows
// of an uncompressed bitmap, the announced length of a compressed one.
bool bmpDataComplete(const bmpLayout_t& b, size_t size)
{
    if (b.width <= 0 || b.offset <= 0 || uint64_t(b.offset) > size) return false;
    const int64_t rows = b.height < 0 ? -b.height : b.height;
    switch (b.compression) {
    case bmpRgb:
    case bmpBitfields:
    case bmpAlphaBitfields:
        return b.bitCount > 0 && b.bitCount <= 32 && rows <= maxPicturePixels &&
               b.stride() * rows <= int64_t(size) - b.offset;
    case bmpRle8:
    case bmpRle4:
        return b.sizeImage == 0 || int64_t(b.sizeImage) <= int64_t(size) - b.offset;
    default:
        return true;  // the reader refuses what it does not know
    }
}

// A 32-bit bitmap with the 40-byte header keeps alpha in its fourth bytes,
// which the reader drops; all of them 0 means an opaque bitmap (the
// format's original meaning). The colours are not premultiplied.
QImage withBmpAlpha(const QImage& opaque, const uint8_t* data, const bmpLayout_t& b)
{
    if (b.headerSize != bmpInfoHeaderSize || b.bitCount != 32 || b.compression != bmpRgb) return opaque;
    const int32_t w = opaque.width(), h = opaque.height();
    const auto alphaAt = [&](int32_t x, int32_t y) {
        const int64_t row = b.height < 0 ? y : h - 1 - y;
        return data[b.offset + row * b.stride() + int64_t(x) * 4 + 3];
    };
    bool any = false;
    for (int32_t y = 0; y < h && !any; ++y)
        for (int32_t x = 0; x < w && !any; ++x) any = alphaAt(x, y) != 0;
    if (!any) return opaque;
    QImage out = opaque.convertToFormat(QImage::Format_ARGB32);
    for (int32_t y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int32_t x = 0; x < w; ++x) row[x] = (row[x] & 0x00FFFFFFu) | uint32_t(alphaAt(x, y)) << 24;
    }
    return out;
}

QImage decodeByQt(const uint8_t* data, size_t size, const char* format)
{
    if (!data || size == 0) return {};
    storedReader_t r(data, size, format);
    return keepingAlpha(readChecked(r.reader));
}

} // namespace

QImage drawnOnWhite(const QImage& image)
{
    if (image.isNull()) return {};
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    if (out.isNull()) return {};
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    return out;
}

QImage decodeBmp(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    bmpLayout_t layout;
    if (!readBmpLayout(data, size, layout) || !bmpDataComplete(layout, size)) return {};
    storedReader_t r(data, size, "bmp");
    const QImage image = readChecked(r.reader);
    if (image.isNull()) return {};
    return drawnOnWhite(withBmpAlpha(image.convertToFormat(QImage::Format_RGB32), data, layout));
}

QImage decodeIco(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    storedReader_t r(data, size, "ico");
    QImageReader& reader = r.reader;
    // The largest of the icon's images draws best at any item size.
    const int count = std::min(reader.imageCount(), 256);
    int best = 0;
    int64_t bestArea = -1;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize s = reader.size();
        if (s.isValid() && int64_t(s.width()) * s.height() > bestArea) {
            bestArea = int64_t(s.width()) * s.height();
            best = i;
        }
    }
    if (count > 0 && !reader.jumpToImage(best)) return {};
    return drawnOnWhite(readChecked(reader));
}

QImage decodePng(const uint8_t* data, size_t size) { return decodeByQt(data, size, "png"); }
QImage decodeWebp(const uint8_t* data, size_t size) { return decodeByQt(data, size, "webp"); }
QImage decodeTiff(const uint8_t* data, size_t size) { return decodeByQt(data, size, "tiff"); }

} // namespace render
