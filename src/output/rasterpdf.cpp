#include "output/rasterpdf.h"

#include "output/jpegcompress.h"

#include <QDateTime>
#include <QImage>
#include <QIODevice>
#include <QPageLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <jpeglib.h>

namespace output {

namespace {

// The JPEG data of a 32-bit image, taken from its rows as they lie in memory
// (blue, green, red, unused on this little-endian host): the settings and
// markers of Qt's own JPEG writer at the same quality, without its copying
// of every row into red-green-blue order first.
QByteArray tileJpeg(const QImage& tile)
{
    return compressJpeg(
        tile.width(), tile.height(), 4, JCS_EXT_BGRX, [&](int32_t y) { return tile.constScanLine(y); },
        [&](jpeg_compress_struct& c) {
            c.density_unit = 1;  // dots per inch
            c.X_density = UINT16(std::clamp(qRound(tile.dotsPerMeterX() * 0.0254), 1, 65535));
            c.Y_density = UINT16(std::clamp(qRound(tile.dotsPerMeterY() * 0.0254), 1, 65535));
            jpeg_set_quality(&c, rasterPdfJpegQuality, TRUE);
        },
        nullptr);
}

} // namespace

QByteArray rasterPdfTile(const QImage& tile)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "32-bit pixels are read as blue, green, red, unused");
    if (tile.isNull() || tile.format() != QImage::Format_RGB32 || tile.width() > JPEG_MAX_DIMENSION ||
        tile.height() > JPEG_MAX_DIMENSION)
        return {};
    return tileJpeg(tile);
}

QByteArray pdfReal(double v)
{
    if (!std::isfinite(v)) return QByteArrayLiteral("0");
    QByteArray s;
    if (v < 0) {
        s += '-';
        v = -v;
    }
    v = std::min(v, 4294967295.0);
    double whole = 0;
    const double frac = std::modf(v, &whole);
    uint32_t integer = uint32_t(whole);
    uint64_t places = uint64_t(frac * 1e9);  // nine decimal places, cut
    if (places >= 1000000000u) {
        ++integer;
        places = 0;
    }
    // Each digit before the point takes one place after it.
    uint64_t unit = 100000000u;  // the value of the first place printed
    if (integer == 0) s += '0';
    else {
        const QByteArray digits = QByteArray::number(integer);
        s += digits;
        for (qsizetype i = 0; i < digits.size(); ++i) {
            unit /= 10;
            places /= 10;
        }
    }
    if (places) {
        s += '.';
        for (; unit; unit /= 10) s += char('0' + (places / unit) % 10);
    }
    return s;
}

QByteArray pdfText(const QString& s)
{
    QByteArray utf16("\xFE\xFF", 2);
    for (const QChar c : s) {
        utf16 += char(c.unicode() >> 8);
        utf16 += char(c.unicode() & 0xFF);
    }
    return '<' + utf16.toHex().toUpper() + '>';
}

namespace {

// The catalogue, the page tree and the document information have these
// numbers; the tiles and pages follow.
constexpr int32_t catalogObject = 1, pagesObject = 2, infoObject = 3;

QByteArray matrix(const QTransform& m)
{
    return pdfReal(m.m11()) + ' ' + pdfReal(m.m12()) + ' ' + pdfReal(m.m21()) + ' ' + pdfReal(m.m22()) + ' ' +
           pdfReal(m.dx()) + ' ' + pdfReal(m.dy());
}

} // namespace

rasterPdf_t::rasterPdf_t(QIODevice& out, const QString& title, const QDateTime& created) : out_(out)
{
    offsets_.assign(3, 0);
    // The second line's bytes above 127 tell file transfers the file is binary.
    write(QByteArrayLiteral("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"));
    info_ = "<< /Title " + pdfText(title) + " /Creator " + pdfText(QStringLiteral("Lumora")) + " /Producer " +
            pdfText(QStringLiteral("Lumora")) + " /CreationDate (D:" +
            created.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z) >>";
}

int32_t rasterPdf_t::newObject()
{
    offsets_.push_back(0);
    return int32_t(offsets_.size());
}

void rasterPdf_t::startObject(int32_t n)
{
    offsets_[size_t(n) - 1] = written_;
    write(QByteArray::number(n) + " 0 obj\n");
}

void rasterPdf_t::write(const QByteArray& bytes)
{
    if (!ok_) return;
    if (out_.write(bytes) != bytes.size()) ok_ = false;
    written_ += bytes.size();
}

void rasterPdf_t::beginPage(const QPageLayout& layout, int32_t dpi, const QTransform& correction)
{
    const QRect points = layout.fullRectPoints();
    mediaBox_ = "[0 0 " + QByteArray::number(points.width()) + ' ' + QByteArray::number(points.height()) + ']';
    correction_ = correction;
    xobjects_.clear();
    tiles_ = 0;
    // Pixels from the top-left onto points from the bottom-left.
    const double scale = 72.0 / std::max(dpi, 1);
    content_ = "q\n" + matrix(QTransform(scale, 0, 0, -scale, 0, points.height())) + " cm\n";
}

void rasterPdf_t::addTile(const QByteArray& jpeg, const QRect& area)
{
    const int32_t n = newObject();
    startObject(n);
    write("<< /Type /XObject /Subtype /Image /Width " + QByteArray::number(area.width()) + " /Height " +
          QByteArray::number(area.height()) + " /BitsPerComponent 8 /ColorSpace /DeviceRGB /Filter /DCTDecode /Length " +
          QByteArray::number(jpeg.size()) + " >>\nstream\n");
    write(jpeg);
    write("\nendstream\nendobj\n");
    const QByteArray name = "/Im" + QByteArray::number(++tiles_);
    xobjects_ += name + ' ' + QByteArray::number(n) + " 0 R ";
    // The tile's corner under the correction, then the unit square stretched
    // over the tile's pixels (a picture's first row is its top).
    const QTransform at = QTransform(1, 0, 0, 1, area.x(), area.y()) * correction_;
    content_ += "q " + matrix(at) + " cm " + QByteArray::number(area.width()) + " 0 0 -" +
                QByteArray::number(area.height()) + " 0 " + QByteArray::number(area.height()) + " cm " + name + " Do Q\n";
}

void rasterPdf_t::addLines(const std::vector<QLine>& lines, int32_t width)
{
    if (lines.empty()) return;
    content_ += "q\n";
    if (!correction_.isIdentity()) content_ += matrix(correction_) + " cm\n";
    content_ += "0 0 0 RG " + QByteArray::number(width) + " w 0 J [] 0 d\n";
    for (const QLine& l : lines)
        content_ += QByteArray::number(l.x1()) + ' ' + QByteArray::number(l.y1()) + " m " + QByteArray::number(l.x2()) +
                    ' ' + QByteArray::number(l.y2()) + " l\n";
    content_ += "S\nQ\n";
}

void rasterPdf_t::endPage()
{
    content_ += "Q\n";
    // qCompress puts the length in front of the zlib stream.
    const QByteArray packed = qCompress(content_).mid(4);
    const int32_t contents = newObject();
    startObject(contents);
    write("<< /Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode >>\nstream\n");
    write(packed);
    write("\nendstream\nendobj\n");
    const int32_t page = newObject();
    startObject(page);
    write("<< /Type /Page /Parent " + QByteArray::number(pagesObject) + " 0 R /MediaBox " + mediaBox_ +
          " /Resources << /XObject << " + xobjects_ + ">> >> /Contents " + QByteArray::number(contents) +
          " 0 R >>\nendobj\n");
    pages_.push_back(page);
    content_.clear();
    xobjects_.clear();
}

bool rasterPdf_t::finish()
{
    QByteArray kids;
    for (const int32_t p : pages_) kids += QByteArray::number(p) + " 0 R ";
    startObject(pagesObject);
    write("<< /Type /Pages /Kids [ " + kids + "] /Count " + QByteArray::number(qsizetype(pages_.size())) +
          " >>\nendobj\n");
    startObject(catalogObject);
    write("<< /Type /Catalog /Pages " + QByteArray::number(pagesObject) + " 0 R >>\nendobj\n");
    startObject(infoObject);
    write(info_ + "\nendobj\n");

    const qint64 xref = written_;
    QByteArray table = "xref\n0 " + QByteArray::number(qsizetype(offsets_.size()) + 1) + "\n0000000000 65535 f \n";
    char entry[32];
    for (const qint64 at : offsets_) {
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(at));
        table += entry;
    }
    write(table);
    write("trailer\n<< /Size " + QByteArray::number(qsizetype(offsets_.size()) + 1) + " /Root " +
          QByteArray::number(catalogObject) + " 0 R /Info " + QByteArray::number(infoObject) + " 0 R >>\nstartxref\n" +
          QByteArray::number(xref) + "\n%%EOF\n");
    return ok_;
}

} // namespace output
