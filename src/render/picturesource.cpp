// Loading a picture for the picture window and making its displayed bitmap.
#include "render/picturesource.h"

#include "model/metrics.h"
#include "render/decode.h"
#include "render/picture.h"
#include "render/resample.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace render {

namespace {

int32_t roundedPercent(double zoom) { return model::roundHalfEven(static_cast<long double>(zoom) * 100); }

int32_t scaled(int32_t side, double factor) { return model::roundHalfEven(static_cast<long double>(side) * factor); }

pixelBuffer_t bufferOf(QImage& image)
{
    return {image.bits(), image.width(), image.height(), int32_t(image.bytesPerLine()), 4};
}

} // namespace

double zoomOutStep(double zoom)
{
    const int32_t a = roundedPercent(zoom);
    if (a <= 25) return 0.125;
    if (a <= 50) return 0.25;
    if (a <= 100) return 0.5;
    if (a <= 125) return 1.0;
    if (a <= 150) return 1.25;
    if (a <= 175) return 1.5;
    if (a <= 200) return 1.75;
    return 2.0;
}

double zoomInStep(double zoom)
{
    const int32_t a = roundedPercent(zoom);
    if (a < 25) return 0.25;
    if (a < 50) return 0.5;
    if (a < 100) return 1.0;
    if (a < 125) return 1.25;
    if (a < 150) return 1.5;
    if (a < 175) return 1.75;
    if (a < 200) return 2.0;
    return 3.0;
}

double sliderZoom(int32_t position) { return std::max(position, 1) / 100.0; }

int32_t zoomPercent(double zoom)
{
    // The tiny bias keeps 0.29 × 100 = 28.999… reading as 29.
    return static_cast<int32_t>(std::trunc(zoom * 100 + 1e-9));
}

int32_t loadDenominator(QSize available, QSize eighth)
{
    if (eighth.width() <= 0 || eighth.height() <= 0) return 8;
    const int32_t n = std::min(std::max(available.width(), 0) / eighth.width(), std::max(available.height(), 0) / eighth.height());
    if (n < 2) return 8;
    if (n <= 3) return 4;
    if (n <= 7) return 2;
    return 1;
}

int32_t zoomDenominator(double zoom, int32_t current)
{
    const double percent = zoom * 100;
    constexpr double eps = 1e-9;
    int32_t needed = 8;
    if (percent >= 100 - eps) needed = 1;
    else if (percent >= 50 - eps) needed = 2;
    else if (percent >= 25 - eps) needed = 4;
    return std::min(needed, current);
}

displayPlan_t planDisplay(QSize decoded, double zoom, int32_t denominator)
{
    displayPlan_t p;
    const double factor = zoom * denominator;
    p.result = {scaled(decoded.width(), factor), scaled(decoded.height(), factor)};
    p.crop = decoded;
    p.shown = p.result;
    double f = 1.0;
    if (p.result.width() > maxShownSide && p.result.height() > maxShownSide)
        f = double(maxShownSide) / std::max(p.result.width(), p.result.height());
    // A long thin picture is held to the same budget of pixels.
    const double area = double(p.result.width()) * p.result.height();
    if (area * f * f > double(maxShownPixels)) f = std::sqrt(double(maxShownPixels) / area);
    if (f < 1.0) {
        p.partial = true;
        p.crop = {std::max(scaled(decoded.width(), f), 1), std::max(scaled(decoded.height(), f), 1)};
        p.shown = {scaled(p.result.width(), f), scaled(p.result.height(), f)};
    }
    return p;
}

int32_t pictureFormatOf(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().remove(QLatin1Char('.')).toUpper();
    if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG")) return model::pictureJpeg;
    if (ext == QLatin1String("GIF")) return model::pictureGif;
    if (ext == QLatin1String("BMP")) return model::pictureBmp;
    if (ext == QLatin1String("ICO")) return model::pictureIco;
    if (ext == QLatin1String("EMF") || ext == QLatin1String("WMF")) return model::pictureMetafile;
    if (ext == QLatin1String("PNG")) return model::picturePng;
    if (ext == QLatin1String("SVG")) return model::pictureSvg;
    if (ext == QLatin1String("WEBP")) return model::pictureWebp;
    if (ext == QLatin1String("TIF") || ext == QLatin1String("TIFF")) return model::pictureTiff;
    return 0;
}

QString insertablePictureKinds()
{
    return QStringLiteral("JPEG (.jpg, .jpeg), GIF (.gif), bitmaps (.bmp), icons (.ico), Windows metafiles (.wmf), "
                          "enhanced metafiles (.emf), PNG (.png), SVG (.svg), WebP (.webp) and TIFF (.tif, .tiff)");
}

bool isPictureFile(const QString& fileName)
{
    if (pictureFormatOf(fileName) != 0) return true;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(4096);
    return pictureFormatOfContent(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size())) != 0;
}

QString droppedPictureFile(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile() && isPictureFile(url.toLocalFile()))
            return url.toLocalFile();
    return {};
}

namespace {

QImage decodeBytes(const pictureSource_t& s, int32_t denominator)
{
    return decodePictureBytes(s.format, s.bytes.data(), s.bytes.size(), s.format == model::pictureJpeg ? denominator : 1);
}

} // namespace

pictureLoad_t loadStoredPicture(int32_t format, const std::vector<uint8_t>& bytes, const QString& name,
                                pictureSource_t& out)
{
    out = {};
    out.fileName = name;
    out.format = format;
    out.bytes = bytes;
    out.decoded = decodeBytes(out, 1);
    if (out.decoded.isNull()) return pictureLoad_t::undecodable;
    out.fullSize = out.decoded.size();
    return pictureLoad_t::ok;
}

pictureLoad_t loadPictureFile(const QString& fileName, QSize available, pictureSource_t& out)
{
    out = {};
    out.fileName = fileName;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return pictureLoad_t::unreadable;
    // A device or a pipe has no size worth trusting: read at most the limit.
    if (file.size() > maxPictureFileBytes) return pictureLoad_t::tooLarge;
    const QByteArray data = file.read(maxPictureFileBytes + 1);
    if (data.size() > maxPictureFileBytes) return pictureLoad_t::tooLarge;
    out.bytes.assign(data.begin(), data.end());
    // What the bytes are decides, whatever the name says (many icons on the
    // web are PNG files); the name serves for a format without a signature.
    const int32_t byContent = pictureFormatOfContent(out.bytes.data(), out.bytes.size());
    out.format = byContent != 0 ? byContent : pictureFormatOf(fileName);
    if (out.format == 0 || out.bytes.empty()) return pictureLoad_t::undecodable;

    if (out.format != model::pictureJpeg) {
        out.decoded = decodeBytes(out, 1);
        if (out.decoded.isNull()) return pictureLoad_t::undecodable;
        out.fullSize = out.decoded.size();
        return pictureLoad_t::ok;
    }
    int32_t w = 0, h = 0;
    if (!jpegSize(out.bytes.data(), out.bytes.size(), w, h)) return pictureLoad_t::undecodable;
    out.fullSize = {w, h};
    out.denominator = 8;
    out.decoded = decodeBytes(out, 8);
    if (out.decoded.isNull()) return pictureLoad_t::undecodable;
    const int32_t d = loadDenominator(available, out.decoded.size());
    if (d != 8) redecode(out, d);
    return pictureLoad_t::ok;
}

bool redecode(pictureSource_t& source, int32_t denominator)
{
    if (source.format != model::pictureJpeg || denominator == source.denominator) return false;
    QImage d = decodeBytes(source, denominator);
    if (d.isNull()) return false;
    source.decoded = std::move(d);
    source.denominator = denominator;
    return true;
}

QSize orientedSize(QSize full, int32_t orientation)
{
    if (!model::isSideways(orientation)) return full;
    return {full.height() - full.height() % 2, full.width() - full.width() % 2};
}

QImage displayedPicture(const pictureSource_t& source, const model::pictureView_t& view, double zoom,
                        displayPlan_t* plan)
{
    if (!source.valid()) return {};
    QImage oriented = orientPicture(source.decoded, view.orientation, view.flipX, view.flipY);
    if (oriented.isNull()) return {};
    const displayPlan_t p = planDisplay(oriented.size(), zoom, source.denominator);
    if (plan) *plan = p;
    if (p.shown.width() < 1 || p.shown.height() < 1) return {};
    QImage part = (p.partial ? oriented.copy(0, 0, p.crop.width(), p.crop.height()) : oriented);
    // The window shows a transparent picture over white.
    if (part.hasAlphaChannel()) part = drawnOnWhite(part);
    part = part.convertToFormat(QImage::Format_RGB32);
    QImage target(p.shown, QImage::Format_RGB32);
    if (target.isNull()) return {};
    // Sides of one pixel cannot be filtered: a plain scale does for them.
    if (!resamplePicture(bufferOf(part), bufferOf(target), filterMitchell))
        target = part.scaled(p.shown, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return target;
}

} // namespace render
