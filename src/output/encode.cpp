#include "output/encode.h"

#include "output/failure.h"
#include "output/jpegcompress.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gif_lib.h>
#include <jpeglib.h>

namespace output {

pictureKind_t pictureKindOf(const QString& fileName)
{
    const QString ext = QFileInfo(fileName.trimmed()).suffix().trimmed().toLower();
    if (ext == QLatin1String("bmp")) return pictureKind_t::bmp;
    if (ext == QLatin1String("ico")) return pictureKind_t::icon;
    return pictureKind_t::jpeg;
}

namespace {

bool usable(const QImage& image, QString* error)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1) return fail(error, QStringLiteral("the picture is empty"));
    return true;
}

void put16(QByteArray& b, uint32_t v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// Bytes of one bottom-up row of `bits` bits per pixel, padded to 4 bytes.
int64_t paddedRow(int64_t width, int32_t bits) { return ((width * bits + 31) / 32) * 4; }

// A 40-byte bitmap information header.
void putInfoHeader(QByteArray& b, int32_t width, int32_t height, int32_t bits, uint32_t imageBytes)
{
    put32(b, 40);
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));
    put16(b, 1);
    put16(b, uint32_t(bits));
    put32(b, 0);  // no compression
    put32(b, imageBytes);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
}

// Colour files larger than this are refused rather than built in memory.
constexpr int64_t maxFileBytes = int64_t(1) << 30;


// The table of the icon's 8-bit colour image: a 6 × 6 × 6 colour cube and a
// ramp of 40 greys.
const std::array<QRgb, 256>& iconPalette()
{
    static const std::array<QRgb, 256> table = [] {
        std::array<QRgb, 256> t{};
        int n = 0;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) t[n++] = qRgb(r * 51, g * 51, b * 51);
        for (int k = 0; k < 40; ++k) {
            const int v = (k * 255 + 19) / 39;
            t[n++] = qRgb(v, v, v);
        }
        return t;
    }();
    return table;
}

uint8_t iconIndex(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const int cr = (r + 25) / 51, cg = (g + 25) / 51, cb = (b + 25) / 51;
    const int cube = cr * 36 + cg * 6 + cb;
    if (std::abs(r - g) > 8 || std::abs(g - b) > 8) return uint8_t(cube);
    const int grey = (r + g + b) / 3;
    const int k = (grey * 39 + 127) / 255;
    const int cubeErr = std::abs(cr * 51 - grey), greyErr = std::abs(qRed(iconPalette()[216 + k]) - grey);
    return uint8_t(greyErr < cubeErr ? 216 + k : cube);
}

} // namespace

QByteArray encodeJpeg(const QImage& image, QString* error)
{
    if (!usable(image, error)) return {};
    if (image.width() > JPEG_MAX_DIMENSION || image.height() > JPEG_MAX_DIMENSION) {
        fail(error, QStringLiteral("a JPEG picture cannot be larger than %1 pixels on a side").arg(JPEG_MAX_DIMENSION));
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    return compressJpeg(rgb.width(), rgb.height(), 3, JCS_RGB, [&](int32_t y) { return rgb.constScanLine(y); }, {},
                        error);
}

QByteArray encodeBmp(const QImage& image, QString* error)
{
    if (!usable(image, error)) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int32_t w = rgb.width(), h = rgb.height();
    const int64_t row = paddedRow(w, 24), pixels = row * h;
    if (54 + pixels > maxFileBytes) {
        fail(error, QStringLiteral("the picture is too large for a bitmap file"));
        return {};
    }
    QByteArray b;
    b.reserve(qsizetype(54 + pixels));
    b.append("BM", 2);
    put32(b, uint32_t(54 + pixels));
    put32(b, 0);
    put32(b, 54);
    putInfoHeader(b, w, h, 24, uint32_t(pixels));
    QByteArray line(qsizetype(row), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            line[3 * x] = char(qBlue(src[x]));
            line[3 * x + 1] = char(qGreen(src[x]));
            line[3 * x + 2] = char(qRed(src[x]));
        }
        b.append(line);
    }
    return b;
}

QByteArray encodeIcon(const QImage& image, QString* error)
{
    if (!usable(image, error)) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int32_t w = rgb.width(), h = rgb.height();
    const int64_t colourRow = paddedRow(w, 8), maskRow = paddedRow(w, 1);
    const int64_t colourBytes = colourRow * h, maskBytes = maskRow * h;
    constexpr int64_t headerBytes = 40 + 256 * 4;
    if (22 + headerBytes + colourBytes + maskBytes > maxFileBytes) {
        fail(error, QStringLiteral("the picture is too large for an icon file"));
        return {};
    }
    QByteArray b;
    b.reserve(qsizetype(22 + headerBytes + colourBytes + maskBytes));
    put16(b, 0);
    put16(b, 1);  // an icon
    put16(b, 1);  // one image
    // The directory keeps only the low 8 bits of each side; the bitmap header
    // below has the full size.
    b.append(char(w & 0xFF));
    b.append(char(h & 0xFF));
    put16(b, 8);
    put16(b, 0);
    put16(b, 0);
    put32(b, uint32_t(headerBytes + colourBytes + maskBytes));
    put32(b, 22);
    putInfoHeader(b, w, 2 * h, 8, uint32_t(colourBytes));
    for (QRgb c : iconPalette()) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append('\0');
    }
    // White is transparent: its mask bit is set and its colour is black.
    QByteArray line(qsizetype(colourRow), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        line.fill('\0');
        for (int x = 0; x < w; ++x)
            line[x] = (src[x] & 0xFFFFFF) == 0xFFFFFF ? char(0) : char(iconIndex(src[x]));
        b.append(line);
    }
    QByteArray mask(qsizetype(maskRow), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        mask.fill('\0');
        for (int x = 0; x < w; ++x)
            if ((src[x] & 0xFFFFFF) == 0xFFFFFF) mask[x / 8] = char(uchar(mask[x / 8]) | (0x80 >> (x % 8)));
        b.append(mask);
    }
    return b;
}

QByteArray encodeGif(const QImage& source, QString* error)
{
    if (!usable(source, error)) return {};
    // Qt reduces the colours to a palette; giflib writes the file.
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const int32_t n = std::min<int32_t>(256, int32_t(image.colorCount()));
    int32_t size = 2;
    while (size < n) size *= 2;
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    if (!map) {
        fail(error, QStringLiteral("out of memory"));
        return {};
    }
    for (int32_t i = 0; i < size; ++i) {
        const QRgb c = i < n ? image.color(i) : 0;
        map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    QByteArray out;
    int status = 0;
    GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* p, int len) {
        static_cast<QByteArray*>(g->UserData)->append(reinterpret_cast<const char*>(p), len);
        return len;
    }, &status);
    bool ok = gif && EGifPutScreenDesc(gif, image.width(), image.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(image.constScanLine(y)), image.width()) == GIF_OK;
    if (gif) ok = EGifCloseFile(gif, &status) == GIF_OK && ok;
    GifFreeMapObject(map);
    if (!ok) {
        fail(error, QStringLiteral("the GIF file could not be written"));
        return {};
    }
    return out;
}

bool writeFileReplacing(const QString& fileName, const QByteArray& bytes, QString* error)
{
    QSaveFile file(fileName);
    // Never write straight into the target, even where no temporary file can
    // be made beside it: the old file must survive a failed write.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(error, why);
    }
    if (!file.commit()) return fail(error, file.errorString());
    return true;
}

bool writePicture(const QImage& image, const QString& fileName, QString* error)
{
    QByteArray bytes;
    switch (pictureKindOf(fileName)) {
    case pictureKind_t::bmp: bytes = encodeBmp(image, error); break;
    case pictureKind_t::icon: return writeIconFile(image, fileName, error);
    case pictureKind_t::jpeg: bytes = encodeJpeg(image, error); break;
    }
    return !bytes.isEmpty() && writeFileReplacing(fileName, bytes, error);
}

bool writeIconFile(const QImage& image, const QString& fileName, QString* error)
{
    const QByteArray bytes = encodeIcon(image, error);
    return !bytes.isEmpty() && writeFileReplacing(fileName, bytes, error);
}

} // namespace output
