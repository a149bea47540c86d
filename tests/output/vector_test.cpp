// Vector output (PDF and SVG) measured against the bitmap sheet: rasterised
// again by the usual tools it must show the same ink in the same places, its
// texts must be text in embedded fonts, and a sheet must hold every card.
#include "carddoc.h"
#include "cli_runner.h"

#include "../render/docbuilder.h"

#include "model/docfile.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "output/printsheet.h"
#include "output/renderoutput.h"
#include "output/vectorsheet.h"
#include "render/renderpass.h"
#include "render/text.h"
#include "samples/samplepictures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

namespace {

using model::item_t;

using toolRun_t = testcli::cliResult_t;

toolRun_t runTool(const QString& program, const QStringList& args) { return testcli::runProgram(program, args, 120000); }

// The tool's path, or empty (the test then skips, naming the package).
QString findTool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

#define REQUIRE_TOOL(var, name, package)                                                   \
    const QString var = findTool(name);                                                    \
    if (var.isEmpty()) GTEST_SKIP() << name << " is not installed (Debian package " package ")"

struct noQuestions : model::docReadQuestions_t {
    bool askOpenInvalid() override { return false; }
    void warnNewerVersion(const std::string&) override {}
};

// A document the command-line tool writes (`example` and its variants).
bool exampleDocument(const QTemporaryDir& dir, const QStringList& options, model::itemList_t& list)
{
    const QString name = dir.filePath(QStringLiteral("example%1.lmra").arg(options.join(QString())));
    if (testcli::runCli(QStringList{QStringLiteral("example")} + options + QStringList{name}).code != 0) return false;
    noQuestions q;
    return model::readDocument(name.toStdString(), list, q);
}

output::device_t deviceAt(const model::itemList_t& doc, int32_t dpi)
{
    const QRect full = output::documentPageLayout(model::findHeader(doc)->hdr()).fullRectPixels(dpi);
    output::device_t d;
    d.ppiX = d.ppiY = dpi;
    d.pageWidth = full.width();
    d.pageHeight = full.height();
    return d;
}

// The vector PDF of the sheet rasterised again, aliased, at `dpi`.
QImage rasterisedPdf(const QTemporaryDir& dir, const QString& pdftoppm, const model::itemList_t& doc, int32_t dpi,
                     const QByteArray& areas)
{
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf")), png = dir.filePath(QStringLiteral("sheet"));
    output::vectorJob_t job;
    job.dpi = dpi;
    job.printAreas = areas;
    QString why;
    if (!output::writeVector(doc, pdf, output::vectorFormat_t::pdf, job, &why)) return {};
    const toolRun_t r = runTool(pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-aa"), QStringLiteral("no"),
                                           QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-png"),
                                           QStringLiteral("-singlefile"), pdf, png});
    if (r.code != 0) return {};
    return QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

bool isInk(QRgb c) { return qRed(c) < 250 || qGreen(c) < 250 || qBlue(c) < 250; }

int colourDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Colours closer than this count as the same ink (a shadow's soft edge is
// composited by the viewer instead of multiplied, which can move a level).
constexpr int sameInk = 48;

// Share of an item's ink pixels allowed to differ: 1 %; texts 4 %, since a
// PDF viewer fills glyph outlines by its own rules (a pixel here or there
// along every stem), while where the glyphs are is held to one pixel.
constexpr double inkTolerance = 0.01;
constexpr double textTolerance = 0.04;

struct inkCompare_t {
    int64_t ink = 0;        // pixels inked in either picture
    int64_t unmatched = 0;  // of those, ones the other picture does not explain within one pixel
    int64_t inkA = 0, inkB = 0;
};

// Whether colour `c` lies, channel by channel and within sameInk, in the
// range of the colours of `other` within one pixel of (x, y): an edge a
// viewer draws blended, or one pixel further, is explained by its neighbours.
bool nearbyMatch(const QImage& other, int x, int y, QRgb c)
{
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int u = x + dx, v = y + dy;
            if (u < 0 || v < 0 || u >= other.width() || v >= other.height()) continue;
            const QRgb o = other.pixel(u, v);
            const int ch[3] = {qRed(o), qGreen(o), qBlue(o)};
            for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], ch[k]), hi[k] = std::max(hi[k], ch[k]);
        }
    const int mine[3] = {qRed(c), qGreen(c), qBlue(c)};
    for (int k = 0; k < 3; ++k)
        if (mine[k] < lo[k] - sameInk || mine[k] > hi[k] + sameInk) return false;
    return true;
}

inkCompare_t compareInk(const QImage& a, const QImage& b, QRect area)
{
    inkCompare_t r;
    area = area.intersected(a.rect()).intersected(b.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool ia = isInk(ra[x]), ib = isInk(rb[x]);
            r.inkA += ia;
            r.inkB += ib;
            if (!ia && !ib) continue;
            ++r.ink;
            if (colourDistance(ra[x], rb[x]) <= sameInk) continue;
            if (!nearbyMatch(b, x, y, ra[x]) || !nearbyMatch(a, x, y, rb[x])) ++r.unmatched;
        }
    }
    return r;
}

// Every drawable item of the document, its reach on the sheet (grown by a
// few pixels for pens): the vector raster must hold its ink (none missing)
// with no more than the tolerance of its ink pixels unexplained within one
// pixel (none moved further).
void expectFaithful(const char* what, const model::itemList_t& doc, const output::device_t& device, const QImage& bitmap,
                    const QImage& vector)
{
    ASSERT_FALSE(bitmap.isNull()) << what;
    ASSERT_FALSE(vector.isNull()) << what;
    EXPECT_NEAR(vector.width(), bitmap.width(), 1) << what;
    EXPECT_NEAR(vector.height(), bitmap.height(), 1) << what;
    const output::sheetPlacement_t p = output::placeSheet(model::findHeader(doc)->hdr(), device);
    const double sx = double(device.ppiX) / model::screen().screenPpiX, sy = double(device.ppiY) / model::screen().screenPpiY;
    int checked = 0;
    double worst = inkTolerance;
    for (item_t* item : render::paintingOrder(doc)) {
        const geometry::rect_t reach = render::itemReach(item, sx);
        const QRect area = QRect(QPoint(int(reach.left * sx) + p.origin.x(), int(reach.top * sy) + p.origin.y()),
                                 QPoint(int(reach.right * sx) + p.origin.x(), int(reach.bottom * sy) + p.origin.y()))
                               .adjusted(-6, -6, 6, 6);
        const inkCompare_t c = compareInk(bitmap, vector, area);
        if (c.inkA == 0) continue;
        ++checked;
        // Glyph edges are drawn by the viewer's own font rasteriser.
        const double tolerance = item->itemType == model::typeText ? textTolerance : inkTolerance;
        worst = std::max(worst, tolerance);
        EXPECT_GT(c.inkB, c.inkA / 2) << what << ": item at z " << item->zOrder << " (type " << item->itemType << ") is missing";
        EXPECT_LT(double(c.unmatched), tolerance * double(c.ink))
            << what << ": item at z " << item->zOrder << " (type " << item->itemType << ") differs in " << c.unmatched << " of "
            << c.ink << " ink pixels";
    }
    EXPECT_GT(checked, 0) << what;
    const inkCompare_t whole = compareInk(bitmap, vector, bitmap.rect());
    EXPECT_LT(double(whole.unmatched), worst * double(whole.ink)) << what << ": the whole sheet";
}

void compareDocument(const char* what, const model::itemList_t& doc, const QByteArray& areas = {})
{
    REQUIRE_TOOL(pdftoppm, "pdftoppm", "poppler-utils");
    QTemporaryDir dir;
    constexpr int32_t dpi = 300;
    const output::device_t device = deviceAt(doc, dpi);
    const QImage bitmap = output::renderSheet(doc, device, areas);
    const QImage vector = rasterisedPdf(dir, pdftoppm, doc, dpi, areas);
    expectFaithful(what, doc, device, bitmap, vector);
}

TEST(VectorOutput, EveryShapeTypePatternAndWeightMatchesTheBitmapSheet)
{
    model::itemList_t doc;
    testdoc::buildShowcase(doc, 1);
    compareDocument("showcase", doc);
    model::freeList(doc);
}

TEST(VectorOutput, ShadowsAndShadedSurfacesMatchTheBitmapSheet)
{
    for (int32_t light : {0, 3}) {
        model::itemList_t doc;
        testdoc::buildEffectsShowcase(doc, light);
        compareDocument(light == 0 ? "effects, light upper left" : "effects, light lower right", doc);
        model::freeList(doc);
    }
}

TEST(VectorOutput, PicturesOfEveryFormatClippedFramedAndTurnedMatchTheBitmapSheet)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    ASSERT_TRUE(exampleDocument(dir, {QStringLiteral("--pictures")}, doc));
    compareDocument("pictures", doc);
    model::freeList(doc);
}

TEST(VectorOutput, TurnedMultiLineTextsMatchTheBitmapSheet)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 700, 500, 1.0, 1);
    testdoc::addText(doc, 40, 80, 300, 80, u"Level text\nsecond line", 0, 1, 14);
    testdoc::addText(doc, 380, 200, 560, 96, u"Turned thirty\ndegrees", 300, 1, 12);
    testdoc::addText(doc, 120, 460, 120, 200, u"Upwards\nand on", 900, 1, 16);
    testdoc::addText(doc, 600, 300, 450, 440, u"Upside\ndown-ish", 2200, 2, 12);
    for (model::item_t* it = doc.head; it; it = it->next)
        if (it->itemType == model::typeText) render::textBox(it);
    compareDocument("texts", doc);
    model::freeList(doc);
}

// A card (a filled rectangle with a shadow, a dashed line and a text) on a
// sheet of 3 × 2 cells with gaps, so that copies bleed into them.
model::item_t* buildCardSheet(model::itemList_t& doc, int32_t rows, int32_t columns)
{
    outdoc::sheet_t s;
    s.cardWidth = 85;
    s.cardHeight = 54;
    s.marginLeft = 15;
    s.marginTop = 12;
    s.columnGap = 6;
    s.rowGap = 4;
    s.rows = rows;
    s.columns = columns;
    model::item_t* header = outdoc::build(doc, s, 8);
    const int32_t w = header->hdr().canvasWidth, h = header->hdr().canvasHeight;
    testdoc::withEffects(testdoc::addShape(doc, model::typeRectangle, {{30, 30}, {w - 60, 30}, {w - 60, h - 60}, {30, h - 60}},
                                           0xF0C040, 0x203040, 1.0),
                         60, 40, 80, 0);
    testdoc::addLine(doc, 40, h - 30, w - 40, h - 30, 0.5, 2, 0x000080);
    testdoc::addText(doc, 50, 90, 250, 90, u"Card text", 0, 1, 14);
    return header;
}

TEST(VectorOutput, CardSheetWithCrossedOutCellsAndBleedMatchesTheBitmapSheet)
{
    model::itemList_t doc;
    buildCardSheet(doc, 3, 2);
    compareDocument("card sheet", doc, QByteArray(" x  x"));
    model::freeList(doc);
}

TEST(VectorOutput, PdfFontsAreEmbeddedAndTheTextsAreFound)
{
    REQUIRE_TOOL(pdffonts, "pdffonts", "poppler-utils");
    REQUIRE_TOOL(pdftotext, "pdftotext", "poppler-utils");
    QTemporaryDir dir;
    model::itemList_t doc;
    ASSERT_TRUE(exampleDocument(dir, {}, doc));
    // A second family and a turned line beside the example's own text.
    testdoc::addText(doc, 100, 300, 400, 300, u"Searchable words", 0, 1, 14);
    // Turned upright: pdftotext reads text at right angles, not at any angle.
    model::item_t* serif = testdoc::addText(doc, 500, 700, 500, 400, u"Turned serif\nline two", 900, 1, 12);
    model::setFontName(serif, "DejaVu Serif");
    const QString pdf = dir.filePath(QStringLiteral("texts.pdf"));
    output::vectorJob_t job;
    QString why;
    ASSERT_TRUE(output::writeVector(doc, pdf, output::vectorFormat_t::pdf, job, &why)) << why.toStdString();
    model::freeList(doc);

    const toolRun_t fonts = runTool(pdffonts, {pdf});
    ASSERT_EQ(fonts.code, 0) << fonts.err.toStdString();
    const QStringList lines = fonts.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4) << "a header, a rule and at least two fonts:\n" << fonts.out.toStdString();
    for (qsizetype i = 2; i < lines.size(); ++i) {
        // name type encoding emb sub uni object ID: the type may hold a blank.
        const QStringList f = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 6) << lines[i].toStdString();
        EXPECT_EQ(f[f.size() - 5], QStringLiteral("yes")) << "not embedded: " << lines[i].toStdString();
    }

    const toolRun_t text = runTool(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    for (const char* words : {"Lumora example", "Shapes, a line and a picture", "Searchable words", "Turned serif", "line two"})
        EXPECT_TRUE(text.out.contains(QString::fromLatin1(words))) << words << " not in:\n" << text.out.toStdString();
}

TEST(VectorOutput, SvgOpensInRsvgWithoutWarningsAndMatchesTheBitmap)
{
    REQUIRE_TOOL(rsvg, "rsvg-convert", "librsvg2-bin");
    QTemporaryDir dir;
    model::itemList_t doc;
    testdoc::buildEffectsShowcase(doc, 0);
    testdoc::addText(doc, 40, 250, 300, 250, u"SVG text", 0, 1, 14);
    const QString svg = dir.filePath(QStringLiteral("page.svg")), png = dir.filePath(QStringLiteral("page.png"));
    output::vectorJob_t job;
    job.dpi = 96;
    job.wholeSheet = false;
    QString why;
    ASSERT_TRUE(output::writeVector(doc, svg, output::vectorFormat_t::svg, job, &why)) << why.toStdString();
    const toolRun_t r = runTool(rsvg, {svg, QStringLiteral("-o"), png});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.trimmed().isEmpty()) << r.err.toStdString();
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("SVG text"))) << "the text is text, not pixels";
    // At 96 dpi the SVG's pixel is the document's: the size of the page.
    const QImage shown(png);
    EXPECT_EQ(shown.size(), QSize(780, 330));
    model::freeList(doc);
}

// The card's rectangle outline in its colour, counted in the SVG of the
// whole sheet: one per printed cell, none for a crossed-out one.
TEST(VectorOutput, TenCardSheetHoldsTenPlacementsOfTheCardsOutlines)
{
    struct row_t {
        QByteArray areas;
        int placements;
    } const rows[] = {{QByteArray(), 10}, {QByteArray("x    x"), 8}, {QByteArray("xxxxxxxxxx"), 0}};
    for (const row_t& r : rows) {
        QTemporaryDir dir;
        model::itemList_t doc;
        outdoc::sheet_t s;
        s.rows = 5;
        s.columns = 2;
        s.marginLeft = 15;
        s.marginTop = 12;
        s.cardWidth = 85;
        s.cardHeight = 54;
        model::item_t* header = outdoc::build(doc, s);
        const int32_t w = header->hdr().canvasWidth, h = header->hdr().canvasHeight;
        testdoc::addShape(doc, model::typeSquare, {{20, 20}, {w - 20, 20}, {w - 20, h - 20}, {20, h - 20}}, -1, 0x563412, 0);
        const QString svg = dir.filePath(QStringLiteral("sheet.svg"));
        output::vectorJob_t job;
        job.printAreas = r.areas;
        QString why;
        ASSERT_TRUE(output::writeVector(doc, svg, output::vectorFormat_t::svg, job, &why)) << why.toStdString();
        QFile f(svg);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        // Each placement is a group filled in the outline's colour (a pen of
        // several pixels is drawn as its band) holding the band's path.
        const QRegularExpression outline(QStringLiteral("<g fill=\"#123456\"[^>]*>\\s*<path"));
        EXPECT_EQ(text.count(outline), r.placements) << "areas '" << r.areas.toStdString() << "'";
        model::freeList(doc);
    }
}

TEST(VectorOutput, APictureAndAShadowOnEveryCardAreStoredOnce)
{
    REQUIRE_TOOL(pdfimages, "pdfimages", "poppler-utils");
    // Image objects (pictures, shadows and their masks) and how often they are drawn.
    auto images = [&](int32_t rows, int32_t columns) -> std::pair<int, int> {
        QTemporaryDir dir;
        model::itemList_t doc;
        model::item_t* header = buildCardSheet(doc, rows, columns);
        const int32_t w = header->hdr().canvasWidth;
        testdoc::addPictureData(doc, 3, model::pictureBmp, samples::encodeBmp(samples::samplePattern(64, 48)));
        testdoc::addPicture(doc, 3, model::clipRect, {0, 0, 64, 48}, {w - 110, 40, w - 30, 100});
        const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
        output::vectorJob_t job;
        QString why;
        EXPECT_TRUE(output::writeVector(doc, pdf, output::vectorFormat_t::pdf, job, &why)) << why.toStdString();
        model::freeList(doc);
        const toolRun_t list = runTool(pdfimages, {QStringLiteral("-list"), pdf});
        EXPECT_EQ(list.code, 0);
        // After the header and rule, a line per image drawn; column 11 is its object.
        QStringList objects;
        int drawn = 0;
        for (const QString& line : list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2)) {
            const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (f.size() <= 11) continue;
            ++drawn;
            objects << f[10];
        }
        objects.removeDuplicates();
        return {int(objects.size()), drawn};
    };
    const auto one = images(1, 1), ten = images(5, 2);
    EXPECT_GT(one.first, 0);
    EXPECT_EQ(ten.first, one.first) << "each image stored once";
    EXPECT_EQ(ten.second, 10 * one.second) << "and drawn in every cell";
}

TEST(VectorOutput, OneCardIsThePageOfTheCardAlone)
{
    QTemporaryDir dir;
    model::itemList_t doc;
    buildCardSheet(doc, 3, 2);
    const QString svg = dir.filePath(QStringLiteral("card.svg"));
    output::vectorJob_t job;
    job.dpi = 96;
    job.wholeSheet = false;
    QString why;
    ASSERT_TRUE(output::writeVector(doc, svg, output::vectorFormat_t::svg, job, &why)) << why.toStdString();
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    // 85 × 54 mm at 96 dpi; the card's text once, not once per cell.
    const output::device_t d = deviceAt(doc, 96);
    const QSize card = output::cardPixels(model::findHeader(doc)->hdr(), d);
    EXPECT_EQ(card, QSize(model::roundHalfEven(85 / 25.4 * 96), model::roundHalfEven(54 / 25.4 * 96)));
    EXPECT_TRUE(text.contains(QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(card.width()).arg(card.height())));
    EXPECT_EQ(text.count(QStringLiteral("Card text")), 1);
    model::freeList(doc);
}

TEST(VectorOutput, RefusesWhatTheBitmapSheetRefusesAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    output::vectorJob_t job;
    QString why;
    model::itemList_t empty;
    EXPECT_FALSE(output::writeVector(empty, out, output::vectorFormat_t::pdf, job, &why));
    EXPECT_EQ(why, QStringLiteral("the document has no page"));
    EXPECT_FALSE(QFile::exists(out));

    // 200 × 200 inches at 300 dpi is beyond the sheet's limit in both paths.
    model::itemList_t huge;
    model::item_t* h = testdoc::addHeader(huge, 19200, 19200, 1.0, 1);
    h->hdr().unit = geometry::unitInches;
    h->hdr().paperWidth = h->hdr().paperHeight = 200;
    EXPECT_TRUE(output::renderSheet(huge, deviceAt(huge, 300), {}).isNull());
    for (const auto format : {output::vectorFormat_t::pdf, output::vectorFormat_t::svg}) {
        why.clear();
        EXPECT_FALSE(output::writeVector(huge, out, format, job, &why));
        EXPECT_EQ(why, QStringLiteral("the page is too large to print at this resolution"));
        EXPECT_FALSE(QFile::exists(out));
    }
    // At 10 dpi the same page fits.
    job.dpi = 10;
    EXPECT_TRUE(output::writeVector(huge, out, output::vectorFormat_t::pdf, job, &why)) << why.toStdString();

    // A failed write keeps the file that was there.
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    EXPECT_FALSE(output::writeVector(empty, out, output::vectorFormat_t::pdf, job, &why));
    QFile kept(out);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));
    model::freeList(huge);
}

TEST(VectorOutput, AnUndecodablePictureIsLeftOutAsInTheBitmap)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 400, 300, 1.0, 1);
    testdoc::addPictureData(doc, 7, model::pictureJpeg, {0xFF, 0xD8, 0xFF, 0x00, 0x12});
    testdoc::addPicture(doc, 7, model::clipRect, {0, 0, 100, 100}, {50, 50, 250, 250});
    testdoc::addShape(doc, model::typeSquare, {{300, 200}, {350, 200}, {350, 250}, {300, 250}}, 0x00FF00, 0, 0.5);
    compareDocument("undecodable picture", doc);
    model::freeList(doc);
}

} // namespace
