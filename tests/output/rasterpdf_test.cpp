// The bitmap PDF read back as a reader reads it: the cross-reference table
// against the objects, every tile's picture against the sheet it was cut
// from and placed where the page's matrices put it, the page in points, the
// title as text, the file the same on any number of threads, a cancelled
// print leaving the old file; and, where poppler is installed, the page a
// reader shows against the one Qt's PDF writer gave for the same sheet.
#include "carddoc.h"
#include "cli_runner.h"

#include "output/cropmarks.h"
#include "output/printsheet.h"
#include "output/rasterpdf.h"
#include "output/renderoutput.h"
#include "render/parallel.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <iterator>
#include <map>
#include <vector>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct threads_t {
    explicit threads_t(int32_t n) { render::setRenderThreads(n); }
    ~threads_t() { render::setRenderThreads(0); }
};

// One object of the file: its dictionary and, for a stream, its bytes.
struct pdfObject_t {
    QByteArray dict;
    QByteArray stream;
};

// A drawn tile: the matrix before the picture's own, its size and name.
struct placedTile_t {
    QTransform at;
    int32_t w = 0, h = 0;
    QByteArray name;
};

// The file as a reader walks it: from startxref to the table, from the
// table to each object. Every failure to find what the table promises is a
// test failure.
struct pdfFile_t {
    std::map<int32_t, pdfObject_t> objects;
    QByteArray trailer;

    explicit pdfFile_t(const QByteArray& bytes)
    {
        const qsizetype sx = bytes.lastIndexOf("startxref\n");
        if (sx < 0) {
            ADD_FAILURE() << "no startxref";
            return;
        }
        const qsizetype xref = bytes.mid(sx + 10).split('\n').value(0).toLongLong();
        if (bytes.mid(xref, 5) != "xref\n") {
            ADD_FAILURE() << "startxref " << xref << " does not point at the table";
            return;
        }
        const QList<QByteArray> head = bytes.mid(xref + 5, 40).split('\n').value(0).split(' ');
        const int32_t first = head.value(0).toInt(), count = head.value(1).toInt();
        EXPECT_EQ(first, 0);
        const qsizetype entries = bytes.indexOf('\n', xref + 5) + 1;
        for (int32_t i = 0; i < count; ++i) {
            const QByteArray e = bytes.mid(entries + 20 * qsizetype(i), 20);
            EXPECT_EQ(e.size(), 20);
            if (i == 0) {
                EXPECT_EQ(e, QByteArray("0000000000 65535 f \n"));
                continue;
            }
            EXPECT_TRUE(e.endsWith(" 00000 n \n")) << e.constData();
            const qsizetype at = e.left(10).toLongLong();
            const QByteArray opener = QByteArray::number(i) + " 0 obj\n";
            if (bytes.mid(at, opener.size()) != opener) {
                ADD_FAILURE() << "object " << i << " is not at " << at;
                continue;
            }
            pdfObject_t o;
            const qsizetype start = at + opener.size();
            const qsizetype end = bytes.indexOf("endobj", start);
            const qsizetype st = bytes.indexOf(">>\nstream\n", start);
            if (st >= 0 && st < end) {
                o.dict = bytes.mid(start, st + 2 - start);
                const QRegularExpressionMatch m =
                    QRegularExpression(QStringLiteral("/Length (\\d+) ")).match(QString::fromLatin1(o.dict));
                EXPECT_TRUE(m.hasMatch()) << "stream without its length";
                o.stream = bytes.mid(st + 10, m.captured(1).toLongLong());
                EXPECT_EQ(bytes.mid(st + 10 + o.stream.size(), 11), QByteArray("\nendstream\n")) << "object " << i;
            } else {
                o.dict = bytes.mid(start, end - start);
            }
            objects[i] = o;
        }
        trailer = bytes.mid(entries + 20 * qsizetype(count));
        EXPECT_TRUE(trailer.startsWith("trailer\n<< /Size " + QByteArray::number(count) + ' ')) << trailer.constData();
    }

    // The object a key of `dict` refers to ("/Key N 0 R"); -1 when none.
    static int32_t ref(const QByteArray& dict, const QByteArray& key)
    {
        const QRegularExpressionMatch m =
            QRegularExpression(QRegularExpression::escape(QString::fromLatin1(key)) + QStringLiteral(" (\\d+) 0 R"))
                .match(QString::fromLatin1(dict));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    std::vector<int32_t> pages() const
    {
        std::vector<int32_t> out;
        for (const auto& [n, o] : objects)
            if (o.dict.contains("/Type /Page ")) out.push_back(n);
        return out;
    }

    QByteArray content(int32_t page) const
    {
        const pdfObject_t& c = objects.at(ref(objects.at(page).dict, "/Contents"));
        EXPECT_TRUE(c.dict.contains("/FlateDecode"));
        // qUncompress wants the length up front; a guess too small only grows.
        QByteArray sized("\x00\x10\x00\x00", 4);
        return qUncompress(sized + c.stream);
    }

    // The tiles of the page in the order they are drawn, each with its
    // picture's object.
    std::vector<std::pair<placedTile_t, int32_t>> tiles(int32_t page) const
    {
        std::vector<std::pair<placedTile_t, int32_t>> out;
        const QByteArray dict = objects.at(page).dict;
        static const QRegularExpression draw(QStringLiteral(
            "q (\\S+) (\\S+) (\\S+) (\\S+) (\\S+) (\\S+) cm (\\d+) 0 0 -(\\d+) 0 (\\d+) cm (/Im\\d+) Do Q"));
        for (const QRegularExpressionMatch& m : draw.globalMatch(QString::fromLatin1(content(page)))) {
            placedTile_t t;
            t.at = QTransform(m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                              m.captured(4).toDouble(), m.captured(5).toDouble(), m.captured(6).toDouble());
            t.w = m.captured(7).toInt();
            t.h = m.captured(8).toInt();
            EXPECT_EQ(m.captured(9).toInt(), t.h) << "the picture's top row at the tile's top";
            t.name = m.captured(10).toLatin1();
            out.emplace_back(t, ref(dict, t.name));
        }
        return out;
    }
};

// The sheet's header, for page setups written straight into it.
outdoc::sheet_t paper(int32_t unit, double w, double h)
{
    outdoc::sheet_t s;
    s.unit = unit;
    s.paperWidth = w;
    s.paperHeight = h;
    s.cardWidth = unit == geometry::unitInches ? 3.5 : 85;
    s.cardHeight = unit == geometry::unitInches ? 2 : 55;
    s.marginLeft = unit == geometry::unitInches ? 0.5 : 15;
    s.marginTop = unit == geometry::unitInches ? 0.5 : 10;
    s.rows = 3;
    s.columns = 2;
    return s;
}

// The file with its creation time (the only thing that changes from one
// print to the next) blanked.
QByteArray timeless(QByteArray bytes)
{
    const qsizetype at = bytes.indexOf("/CreationDate (D:");
    if (at >= 0)
        for (qsizetype i = at + 17; i < bytes.size() && bytes[i] != ')'; ++i) bytes[i] = '0';
    return bytes;
}

TEST(RasterPdf, NumbersKeepNineDigitsCutNotRounded)
{
    struct row_t {
        double v;
        const char* text;
    };
    for (const row_t& r : {row_t{0, "0"}, row_t{842, "842"}, row_t{-512, "-512"}, row_t{0.12, "0.120000000"},
                           row_t{-0.72, "-0.720000000"}, row_t{0.5, "0.500000000"},
                           // Cut after nine digits in all, whatever follows.
                           row_t{1030.2519799, "1030.25197"}, row_t{0.9999999999, "0.999999999"},
                           row_t{1.003002919, "1.00300291"}, row_t{123456789.75, "123456789"},
                           row_t{2.5e-10, "0"}, row_t{std::nan(""), "0"}, row_t{INFINITY, "0"}})
        EXPECT_EQ(output::pdfReal(r.v), QByteArray(r.text)) << r.v;
}

TEST(RasterPdf, TextsAreUtf16WithTheirMarkInHex)
{
    struct row_t {
        QString text;
        const char* hex;
    };
    for (const row_t& r : {row_t{QString(), "<FEFF>"}, row_t{QStringLiteral("a(b)\\"), "<FEFF0061002800620029005C>"},
                           row_t{QStringLiteral("Café"), "<FEFF00430061006600E9>"},
                           // Beyond the first plane: a surrogate pair, high first.
                           row_t{QString::fromUcs4(U"\U0001F600"), "<FEFFD83DDE00>"}})
        EXPECT_EQ(output::pdfText(r.text), QByteArray(r.hex)) << r.text.toStdString();
}

// The tiles compress to the very bytes Qt's JPEG writer gives at the same
// quality (the one its PDF writer used), so that a reader decodes the same
// pixels as from the files written before; other formats are refused.
TEST(RasterPdf, TilesCompressAsQtsJpegWriterDoes)
{
    QImage sheet(700, 300, QImage::Format_RGB32);
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            sheet.setPixel(x, y, qRgb((x * 7 + y) & 255, (y * 3) & 255, (x ^ y) & 255));
    for (const QRect& r : {QRect(0, 0, 512, 300), QRect(512, 0, 188, 300), QRect(3, 5, 1, 1)}) {
        const QImage tile = sheet.copy(r);
        QByteArray qts;
        QBuffer buffer(&qts);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(output::rasterPdfJpegQuality);
        ASSERT_TRUE(writer.write(tile));
        EXPECT_TRUE(output::rasterPdfTile(tile) == qts) << r.width() << " x " << r.height();
    }
    EXPECT_TRUE(output::rasterPdfTile(sheet.convertToFormat(QImage::Format_ARGB32)).isEmpty());
    EXPECT_TRUE(output::rasterPdfTile(QImage()).isEmpty());
}

// A page with two tiles drawn by hand: everything the file promises is
// where it says, and the tiles keep their order, size and data.
TEST(RasterPdf, CrossReferencePointsAtEveryObject)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    const QByteArray a("\xFF\xD8 first \xFF\xD9", 12), b("second tile's bytes");
    {
        output::rasterPdf_t pdf(buffer, QStringLiteral("T"), QDateTime(QDate(2026, 12, 11), QTime(7, 5, 9), Qt::UTC));
        for (int page = 0; page < 2; ++page) {
            pdf.beginPage(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()), 300, QTransform());
            pdf.addTile(a, QRect(0, 0, 512, 512));
            pdf.addTile(b, QRect(512, 0, 100, 512));
            pdf.endPage();
        }
        ASSERT_TRUE(pdf.finish());
    }
    EXPECT_TRUE(bytes.startsWith("%PDF-1.4\n%"));
    for (int i = 10; i < 14; ++i) EXPECT_GE(uint8_t(bytes[i]), 128u) << "the binary comment";
    EXPECT_TRUE(bytes.endsWith("%%EOF\n"));
    const pdfFile_t file(bytes);
    const int32_t root = pdfFile_t::ref(file.trailer, "/Root"), info = pdfFile_t::ref(file.trailer, "/Info");
    ASSERT_TRUE(file.objects.count(root) && file.objects.count(info));
    EXPECT_TRUE(file.objects.at(root).dict.contains("/Type /Catalog"));
    EXPECT_TRUE(file.objects.at(info).dict.contains("/CreationDate (D:20261211070509Z)"));
    const std::vector<int32_t> pages = file.pages();
    ASSERT_EQ(pages.size(), 2u);
    const QByteArray tree = file.objects.at(pdfFile_t::ref(file.objects.at(root).dict, "/Pages")).dict;
    EXPECT_TRUE(tree.contains("/Count 2"));
    for (const int32_t p : pages) {
        EXPECT_TRUE(tree.contains(QByteArray::number(p) + " 0 R")) << "page " << p << " in the tree";
        const auto tiles = file.tiles(p);
        ASSERT_EQ(tiles.size(), 2u);
        EXPECT_EQ(file.objects.at(tiles[0].second).stream, a);
        EXPECT_EQ(file.objects.at(tiles[1].second).stream, b);
        EXPECT_TRUE(file.objects.at(tiles[1].second).dict.contains("/Width 100 /Height 512"));
        EXPECT_EQ(tiles[1].first.at, QTransform::fromTranslate(512, 0));
        EXPECT_TRUE(file.content(p).startsWith("q\n0.240000000 0 0 -0.240000000 0 842 cm\n"))
            << "pixels at 300 dpi onto points, the top of A4 at 842";
    }
}

TEST(RasterPdf, PageIsThePaperInPoints)
{
    struct row_t {
        outdoc::sheet_t sheet;
        const char* mediaBox;
    };
    for (const row_t& r : {row_t{paper(geometry::unitMillimetres, 210, 297), "/MediaBox [0 0 595 842]"},
                           row_t{paper(geometry::unitInches, 8.5, 11), "/MediaBox [0 0 612 792]"},
                           row_t{paper(geometry::unitMillimetres, 297, 210), "/MediaBox [0 0 842 595]"}}) {
        QTemporaryDir dir;
        model::itemList_t doc;
        outdoc::build(doc, r.sheet);
        const QString path = dir.filePath(QStringLiteral("p.pdf"));
        QString why;
        ASSERT_TRUE(output::printToPdf(doc, path, 36, QByteArray(), {}, &why)) << why.toStdString();
        const pdfFile_t file(readAll(path));
        const std::vector<int32_t> pages = file.pages();
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_TRUE(file.objects.at(pages[0]).dict.contains(r.mediaBox))
            << r.mediaBox << " in " << file.objects.at(pages[0]).dict.constData();
        model::freeList(doc);
    }
}

// Each tile's picture is the sheet's pixels where the page's matrices put
// it, and the tiles cover the sheet once.
TEST(RasterPdf, TilesAreTheSheetWhereTheyArePlaced)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    const QByteArray areas(" x  x");
    constexpr int32_t dpi = 150;  // 1240 × 1754: edge tiles narrower and shorter
    const QString path = dir.filePath(QStringLiteral("cards.pdf"));
    QString why;
    ASSERT_TRUE(output::printToPdf(doc, path, dpi, areas, {}, &why, QStringLiteral("cards"))) << why.toStdString();
    const QPageLayout layout = output::documentPageLayout(model::findHeader(doc)->hdr());
    const QImage sheet = output::renderSheet(doc, output::pdfDevice(layout, dpi), areas);
    ASSERT_EQ(sheet.size(), QSize(1240, 1754));

    const pdfFile_t file(readAll(path));
    const std::vector<int32_t> pages = file.pages();
    ASSERT_EQ(pages.size(), 1u);
    const auto tiles = file.tiles(pages[0]);
    ASSERT_EQ(tiles.size(), 12u);
    int64_t covered = 0;
    std::vector<QRect> seen;
    for (const auto& [t, object] : tiles) {
        ASSERT_TRUE(t.at.isAffine() && t.at.m11() == 1 && t.at.m22() == 1 && t.at.m12() == 0 && t.at.m21() == 0);
        const QRect area(int(t.at.dx()), int(t.at.dy()), t.w, t.h);
        SCOPED_TRACE(testing::Message() << "tile at " << area.x() << "," << area.y());
        EXPECT_TRUE(sheet.rect().contains(area));
        for (const QRect& other : seen) EXPECT_FALSE(other.intersects(area));
        seen.push_back(area);
        covered += int64_t(area.width()) * area.height();
        const pdfObject_t& picture = file.objects.at(object);
        EXPECT_TRUE(picture.dict.contains("/Width " + QByteArray::number(t.w) + " /Height " + QByteArray::number(t.h)));
        EXPECT_TRUE(picture.dict.contains("/ColorSpace /DeviceRGB /Filter /DCTDecode"));
        // The same bytes as the sheet's own pixels there compressed.
        EXPECT_EQ(picture.stream, output::rasterPdfTile(sheet.copy(area)));
        EXPECT_EQ(QImage::fromData(picture.stream, "JPEG").size(), area.size());
    }
    EXPECT_EQ(covered, int64_t(sheet.width()) * sheet.height());
    model::freeList(doc);
}

TEST(RasterPdf, SameFileOnAnyNumberOfThreads)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    QByteArray first;
    for (const int32_t n : {1, 2, 4}) {
        threads_t threads(n);
        const QString path = dir.filePath(QStringLiteral("t%1.pdf").arg(n));
        QString why;
        ASSERT_TRUE(output::printToPdf(doc, path, 200, QByteArray(" x"), {}, &why, QStringLiteral("t"), true))
            << why.toStdString();
        const QByteArray bytes = timeless(readAll(path));
        if (first.isEmpty()) first = bytes;
        else EXPECT_TRUE(bytes == first) << n << " threads";
    }
    model::freeList(doc);
}

TEST(RasterPdf, TitleAndCreatorAreTextStrings)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    const QString path = dir.filePath(QStringLiteral("t.pdf"));
    const QString title = QStringLiteral("Karten (Entwurf) für Zoë");
    QString why;
    ASSERT_TRUE(output::printToPdf(doc, path, 30, QByteArray(), {}, &why, title)) << why.toStdString();
    const pdfFile_t file(readAll(path));
    const QByteArray info = file.objects.at(pdfFile_t::ref(file.trailer, "/Info")).dict;
    EXPECT_TRUE(info.contains("/Title " + output::pdfText(title))) << info.constData();
    EXPECT_TRUE(info.contains("/Creator <FEFF004C0075006D006F00720061>")) << "Lumora";
    model::freeList(doc);
}

TEST(RasterPdf, CancelledOrFailedPrintLeavesTheOldFile)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    const QString path = dir.filePath(QStringLiteral("cards.pdf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old file");
    }
    for (const int32_t threads : {1, 2}) {
        threads_t t(threads);
        int32_t calls = 0, lastTotal = 0;
        QString why;
        EXPECT_FALSE(output::printToPdf(doc, path, 150, QByteArray(), [&](int32_t done, int32_t total) {
            EXPECT_EQ(done, calls + 1) << "one call a tile, in order";
            calls = done;
            lastTotal = total;
            return done < 5;
        }, &why));
        EXPECT_EQ(calls, 5) << "no tile after the one that stopped it";
        EXPECT_EQ(lastTotal, 12);
        EXPECT_EQ(why, QStringLiteral("printing was cancelled"));
        EXPECT_EQ(readAll(path), QByteArray("the old file"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.pdf")})
            << "no temporary file left";
    }
    QString why;
    EXPECT_FALSE(output::printToPdf(doc, dir.filePath(QStringLiteral("missing/cards.pdf")), 150, QByteArray(), {}, &why));
    EXPECT_FALSE(why.isEmpty());
    model::itemList_t empty;
    EXPECT_FALSE(output::printToPdf(empty, path, 150, QByteArray(), {}, &why));
    EXPECT_EQ(readAll(path), QByteArray("the old file"));
    model::freeList(doc);
}

// A printer's correction moves the tiles and the crop marks alike: each
// tile's matrix is its corner moved by the correction, and the marks are
// drawn under the correction itself.
TEST(RasterPdf, CorrectionMovesTilesAndCropMarks)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    const QTransform correction = QTransform().translate(12.5, -7.25).rotate(0.3).scale(1.004, 0.997);
    const QString path = dir.filePath(QStringLiteral("c.pdf"));
    constexpr int32_t dpi = 100;
    QString why;
    ASSERT_TRUE(output::printToPdf(doc, path, dpi, QByteArray(), {}, &why, QString(), true, correction))
        << why.toStdString();
    const pdfFile_t file(readAll(path));
    const int32_t page = file.pages().at(0);
    const auto tiles = file.tiles(page);
    // 827 × 1169 pixels: tiles a column at a time, from the top.
    const QPoint corners[] = {{0, 0}, {0, 512}, {0, 1024}, {512, 0}, {512, 512}, {512, 1024}};
    ASSERT_EQ(tiles.size(), std::size(corners));
    for (size_t i = 0; i < tiles.size(); ++i) {
        const QTransform want = QTransform::fromTranslate(corners[i].x(), corners[i].y()) * correction;
        const QTransform& got = tiles[i].first.at;
        const std::pair<double, double> values[] = {{got.m11(), want.m11()}, {got.m12(), want.m12()},
                                                    {got.m21(), want.m21()}, {got.m22(), want.m22()},
                                                    {got.dx(), want.dx()},   {got.dy(), want.dy()}};
        for (const auto& [g, w] : values) EXPECT_NEAR(g, w, 1e-5) << "tile " << i;  // nine digits in the file
    }
    // The marks: the correction, then black flat-ended lines as the sheet has them.
    const QString content = QString::fromLatin1(file.content(page));
    output::device_t device = output::pdfDevice(output::documentPageLayout(model::findHeader(doc)->hdr()), dpi);
    const std::vector<QLine> lines = output::cropMarkLines(model::findHeader(doc)->hdr(), device);
    ASSERT_FALSE(lines.empty());
    const QString marks = QString::fromLatin1(output::pdfReal(correction.m11()) + ' ' + output::pdfReal(correction.m12()) +
                                              ' ' + output::pdfReal(correction.m21()) + ' ' +
                                              output::pdfReal(correction.m22()) + ' ' + output::pdfReal(correction.dx()) +
                                              ' ' + output::pdfReal(correction.dy()) + " cm\n0 0 0 RG 1 w 0 J [] 0 d\n");
    const qsizetype at = content.indexOf(marks);
    ASSERT_GE(at, 0) << content.right(600).toStdString();
    const QLine& l = lines.front();
    EXPECT_TRUE(content.mid(at + marks.size()).startsWith(QStringLiteral("%1 %2 m %3 %4 l\n").arg(l.x1()).arg(l.y1()).arg(l.x2()).arg(l.y2())));
    EXPECT_EQ(content.count(QStringLiteral(" l\n")), qsizetype(lines.size()));
    model::freeList(doc);
}

// What a reader shows of the page: the same pixels as the file Qt's PDF
// writer made of the same sheet (its painter given the tiles one by one and
// the crop marks), with and without a correction.
TEST(RasterPdf, ReaderShowsWhatQtsWriterGave)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed (Debian package poppler-utils)";
    QTemporaryDir dir;
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    testdoc::addShape(doc, model::typeCircle, {{30, 30}, {200, 30}, {200, 150}, {30, 150}}, 0xC08020, 0x203040, 1);
    const model::headerBody_t& h = model::findHeader(doc)->hdr();
    const QPageLayout layout = output::documentPageLayout(h);
    constexpr int32_t dpi = 120;
    const output::device_t device = output::pdfDevice(layout, dpi);
    for (const QTransform& correction : {QTransform(), QTransform().translate(3.5, -2).rotate(0.4).scale(1.003, 0.998)}) {
        const QString ours = dir.filePath(QStringLiteral("ours.pdf")), qts = dir.filePath(QStringLiteral("qts.pdf"));
        QString why;
        ASSERT_TRUE(output::printToPdf(doc, ours, dpi, QByteArray("x"), {}, &why, QString(), true, correction));
        ASSERT_TRUE(output::writePdfPages(qts, layout, dpi, QString(), correction, &why,
                                          [&](QPainter& painter, QPdfWriter&) {
                                              return output::printSheet(painter, doc, device, QByteArray("x"), {}, &why,
                                                                        true);
                                          }));
        QImage shown[2];
        for (int k = 0; k < 2; ++k) {
            const QString prefix = dir.filePath(QStringLiteral("shown%1").arg(k));
            const testcli::cliResult_t r = testcli::runProgram(
                pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                           k ? qts : ours, prefix});
            ASSERT_EQ(r.code, 0) << r.err.toStdString();
            shown[k] = QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        }
        ASSERT_FALSE(shown[0].isNull());
        EXPECT_TRUE(shown[0] == shown[1]) << "correction " << !correction.isIdentity();
    }
    model::freeList(doc);
}

} // namespace
