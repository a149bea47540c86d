// SVG pictures through QtSvg, drawn at the size they are shown at. The text
// is checked before QtSvg sees it: QtSvg follows image references to local
// files, and an entity declaration can expand a small file into gigabytes.
#include "render/decode.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <string_view>

namespace render {

namespace {

bool startsWithAt(std::string_view text, size_t at, std::string_view what)
{
    return text.size() >= at + what.size() && text.compare(at, what.size(), what) == 0;
}

size_t skipSpace(std::string_view text, size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
    return at;
}

// A reference that stays inside the file: a fragment or inline data.
bool internalReference(std::string_view text, size_t at)
{
    at = skipSpace(text, at);
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) at = skipSpace(text, at + 1);
    return startsWithAt(text, at, "#") || startsWithAt(text, at, "data:");
}

// Whether every reference in the text stays inside it and nothing declares
// entities or an external DTD. Case matters in XML, so the checks need not
// fold case; a reference QtSvg does not follow is refused all the same.
bool selfContainedSvg(std::string_view text)
{
    for (std::string_view refused : {"<!ENTITY", "SYSTEM", "PUBLIC", "@import", "<?xml-stylesheet", "xi:include"})
        if (text.find(refused) != std::string_view::npos) return false;
    for (size_t at = text.find("href"); at != std::string_view::npos; at = text.find("href", at + 4)) {
        const size_t eq = skipSpace(text, at + 4);
        if (eq < text.size() && text[eq] == '=' && !internalReference(text, eq + 1)) return false;
    }
    for (size_t at = text.find("url("); at != std::string_view::npos; at = text.find("url(", at + 4))
        if (!internalReference(text, at + 4)) return false;
    return true;
}

// A renderer of acceptable text, or none.
bool loadSvg(const uint8_t* data, size_t size, QSvgRenderer& renderer)
{
    if (!data || size == 0 || size > size_t(INT32_MAX)) return false;
    if (size >= 2 && data[0] == 0x1F && data[1] == 0x8B) return false;  // compressed: cannot be checked
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!selfContainedSvg(text)) return false;
    return renderer.load(QByteArray::fromRawData(text.data(), qsizetype(size))) && renderer.isValid();
}

// The frame's size in pixels when it is sane (as for a metafile's frame).
bool sideOf(double pixels, int32_t& out)
{
    if (!std::isfinite(pixels)) return false;
    const double r = std::round(pixels);
    if (r < 2 || r > double(maxMetafileSide)) return false;
    out = int32_t(r);
    return true;
}

bool sizeOf(const QSvgRenderer& renderer, QSize& out)
{
    const QSizeF s = renderer.defaultSize();
    int32_t w = 0, h = 0;
    if (!sideOf(s.width(), w) || !sideOf(s.height(), h) || int64_t(w) * h > maxMetafilePixels) return false;
    out = QSize(w, h);
    return true;
}

} // namespace

bool svgSize(const uint8_t* data, size_t size, QSize& out)
{
    QSvgRenderer renderer;
    return loadSvg(data, size, renderer) && sizeOf(renderer, out);
}

namespace {

// Draws the loaded SVG scaled to `whole`, the part at `at` of size `part`.
QImage renderPart(QSvgRenderer& renderer, QSizeF whole, QPoint at, QSize part)
{
    if (!acceptablePictureSize(part.width(), part.height()) || int64_t(part.width()) * part.height() > maxMetafilePixels)
        return {};
    if (!(whole.width() >= 1 && whole.height() >= 1 && whole.width() < 1e9 && whole.height() < 1e9)) return {};
    QImage image(part, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.translate(-at.x(), -at.y());
        renderer.render(&painter, QRectF(QPointF(0, 0), whole));
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 255) return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage decodeSvg(const uint8_t* data, size_t size, QSize drawnSize)
{
    QSvgRenderer renderer;
    QSize s;
    if (!loadSvg(data, size, renderer) || !sizeOf(renderer, s)) return {};
    if (drawnSize.isValid()) s = drawnSize;
    return renderPart(renderer, QSizeF(s), QPoint(0, 0), s);
}

QImage renderSvgPart(const uint8_t* data, size_t size, QSizeF whole, QPoint at, QSize part)
{
    QSvgRenderer renderer;
    QSize own;
    if (!loadSvg(data, size, renderer) || !sizeOf(renderer, own)) return {};
    return renderPart(renderer, whole, at, part);
}

} // namespace render
