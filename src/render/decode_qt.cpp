// BMP and icon files through Qt's image readers, which are told the format
// (never left to guess it from the bytes) and asked for the size first.
#include "render/decode.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

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

// The image drawn over white, as an opaque RGB32 image.
QImage onWhite(const QImage& image)
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

// Reads the reader's current image when its announced size is acceptable.
QImage readChecked(QImageReader& reader)
{
    const QSize s = reader.size();
    if (!s.isValid() || !acceptablePictureSize(s.width(), s.height())) return {};
    QImage image;
    if (!reader.read(&image) || image.size() != s) return {};
    return onWhite(image);
}

} // namespace

QImage decodeBmp(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    storedReader_t r(data, size, "bmp");
    return readChecked(r.reader);
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
    return readChecked(reader);
}

} // namespace render
