// A PDF file whose pages are pictures: each page a mosaic of JPEG tiles at
// their pixel positions, with black lines over them as vectors (crop marks).
// The file is written straight through as the tiles come, in the order they
// come, so that the tiles can be compressed on other threads beforehand.
#pragma once

#include <QByteArray>
#include <QLine>
#include <QRect>
#include <QString>
#include <QTransform>

#include <cstdint>
#include <vector>

class QDateTime;
class QImage;
class QIODevice;
class QPageLayout;

namespace output {

// JPEG quality of the tiles: the one Qt's own PDF writer uses, so that a
// reader shows the same pixels as in the files written before.
constexpr int32_t rasterPdfJpegQuality = 94;

// A tile as the file holds it (callable on any thread): JPEG data of an
// image of Format_RGB32 (its colour space is not recorded); empty for any
// other format or when it cannot be compressed.
QByteArray rasterPdfTile(const QImage& tile);

// A number in the file's content: at most nine digits in all, cut (not
// rounded) after them, no exponent; the integer part alone when the rest is
// zero. Not finite: 0.
QByteArray pdfReal(double v);

// A text string of the file: UTF-16BE with its byte-order mark, in hex.
QByteArray pdfText(const QString& s);

class rasterPdf_t {
public:
    // Starts the file on `out` (open for writing): the header now, the
    // document's title and creation time at the end.
    rasterPdf_t(QIODevice& out, const QString& title, const QDateTime& created);
    rasterPdf_t(const rasterPdf_t&) = delete;
    rasterPdf_t& operator=(const rasterPdf_t&) = delete;

    // A page of `layout` (its full page, in whole points) with `dpi` pixels
    // to the inch, (0, 0) its top-left; `correction` (in the page's pixels)
    // moves everything drawn on it.
    void beginPage(const QPageLayout& layout, int32_t dpi, const QTransform& correction);
    // A tile's JPEG data, covering `area` of the page's pixels.
    void addTile(const QByteArray& jpeg, const QRect& area);
    // Black lines `width` pixels wide with flat ends, in the page's pixels.
    void addLines(const std::vector<QLine>& lines, int32_t width);
    void endPage();
    // Ends the file (page tree, document information, cross-reference
    // table). False when a write failed on the way.
    bool finish();

private:
    int32_t newObject();
    void startObject(int32_t n);
    void write(const QByteArray& bytes);

    QIODevice& out_;
    qint64 written_ = 0;
    bool ok_ = true;
    std::vector<qint64> offsets_;  // of object n at n - 1
    std::vector<int32_t> pages_;
    QByteArray info_;
    // The page being written: its size, drawing and pictures.
    QByteArray mediaBox_, content_, xobjects_;
    QTransform correction_;
    int32_t tiles_ = 0;
};

} // namespace output
