// lumora-cli barcode: a barcode item added where asked, bad input refused
// with a message and no file; and sheets printed to PDF whose codes a real
// decoder reads back, cell by cell.
#include "cli_runner.h"

#include "model/barcode.h"
#include "model/docfile.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>

using testcli::runCli;
using testcli::runProgram;

namespace {

struct yes : model::docReadQuestions_t {
    bool askOpenInvalid() override { return true; }
    void warnNewerVersion(const std::string&) override {}
};

class BarcodeCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString doc;
    void SetUp() override
    {
        doc = dir.filePath("empty.lmra");
        ASSERT_EQ(runCli({"new", doc, "--type", "1"}).code, 0);
    }
    // Adds a code to `from`, writing `to`; the tool's exit code.
    int add(const QString& from, const QString& to, const QStringList& options)
    {
        const auto r = runCli(QStringList{"barcode", from, to} + options);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return r.code;
    }
    // What zbarimg reads in a picture file.
    static QStringList decoded(const QString& png)
    {
        return runProgram("zbarimg", {"-q", "--nodbus", png}).out.split('\n', Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_F(BarcodeCli, AddsTheCodeInItsBoxAndKeepsWhatItEncodes)
{
    const QString out = dir.filePath("out.lmra");
    ASSERT_EQ(add(doc, out, {"--type", "qr", "--data", "https://example.com/ü", "--at", "30,40", "--size", "120",
                             "--ec", "Q"}),
              0);
    const QString out2 = dir.filePath("out2.lmra");
    ASSERT_EQ(add(out, out2, {"--type", "ean13", "--data", "400638133393", "--at", "200,40", "--size", "190,100",
                              "--no-text"}),
              0);
    model::itemList_t list;
    yes q;
    ASSERT_TRUE(model::readDocument(out2.toStdString(), list, q));
    std::vector<const model::item_t*> codes;
    for (const model::item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && model::readBarcode(it)) codes.push_back(it);
    ASSERT_EQ(codes.size(), 2u);
    const model::barcodeContent_t qr = *model::readBarcode(codes[0]), ean = *model::readBarcode(codes[1]);
    EXPECT_EQ(qr, (model::barcodeContent_t{static_cast<int32_t>(model::symbology_t::qrCode), "https://example.com/ü",
                                        model::ecQuartile, true}));
    EXPECT_EQ(ean, (model::barcodeContent_t{static_cast<int32_t>(model::symbology_t::ean13), "400638133393",
                                         model::ecAuto, false}));
    // --size W is a square; W,H a box; the first point is the corner at --at.
    const auto corners = [](const model::item_t* it) {
        const model::pointNode_t* a = it->points.head;
        const model::pointNode_t* c = a->next->next;
        return std::array{a->p.x, a->p.y, c->p.x, c->p.y};
    };
    EXPECT_EQ(corners(codes[0]), (std::array{30, 40, 150, 160}));
    EXPECT_EQ(corners(codes[1]), (std::array{200, 40, 390, 140}));
    model::freeList(list);
}

TEST_F(BarcodeCli, BadInputSaysWhyAndWritesNothing)
{
    const struct {
        QStringList options;
        int code;
        const char* says;
    } cases[] = {
        {{"--type", "ean13", "--data", "40063813339A", "--at", "1,1"}, 4, "digits only"},
        {{"--type", "ean13", "--data", "4006381333932", "--at", "1,1"}, 4, "check digit"},
        {{"--type", "upca", "--data", "123", "--at", "1,1"}, 4, "11 digits, or 12"},
        {{"--type", "qr", "--data", QString(100000, 'x'), "--at", "1,1"}, 4, "at most 4096"},
        {{"--type", "qr", "--data", QString(3500, 'x'), "--at", "1,1"}, 4, "too long"},
        {{"--type", "qr", "--data", "a\x01" "b", "--at", "1,1"}, 4, "control character"},
        {{"--type", "maxicode", "--data", "x", "--at", "1,1"}, 1, "unknown --type"},
        {{"--type", "qr", "--data", "x", "--at", "1"}, 1, "--at takes X,Y"},
        {{"--type", "qr", "--data", "x", "--at", "1,1", "--size", "0"}, 1, "--size takes"},
        {{"--type", "qr", "--data", "x", "--at", "1,1", "--ec", "X"}, 1, "--ec takes"},
        {{"--type", "qr", "--at", "1,1"}, 1, "usage"},
    };
    const QString out = dir.filePath("never.lmra");
    for (const auto& c : cases) {
        const auto r = runCli(QStringList{"barcode", doc, out} + c.options);
        EXPECT_EQ(r.code, c.code) << c.says;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.says;
    }
}

TEST_F(BarcodeCli, TenCardSheetPrintsTwentyCodesTheDecoderReads)
{
    // A business card (74 × 52 mm, ten on an A4 sheet) with a QR Code and an
    // EAN-13, printed as vectors, rasterised and read cell by cell: the
    // decoder reports identical linear codes in one picture only once.
    const QString card = dir.filePath("card.lmra"), withQr = dir.filePath("qr.lmra"), both = dir.filePath("both.lmra");
    ASSERT_EQ(runCli({"new", card, "--type", "4", "--unit", "mm"}).code, 0);
    ASSERT_EQ(add(card, withQr, {"--type", "qr", "--data", "https://lumora.example/jane", "--at", "12,12", "--size", "96"}), 0);
    ASSERT_EQ(add(withQr, both, {"--type", "ean13", "--data", "400638133393", "--at", "120,60", "--size", "150,110"}), 0);
    const QString pdf = dir.filePath("sheet.pdf");
    ASSERT_EQ(runCli({"print", both, "--pdf", pdf}).code, 0);
    const QString prefix = dir.filePath("sheet");
    ASSERT_EQ(runProgram("pdftoppm", {"-r", "200", "-png", "-singlefile", pdf, prefix}).code, 0);
    const QImage sheet(prefix + ".png");
    ASSERT_FALSE(sheet.isNull());
    // The preset's cells: left margin 31 mm, top 18 mm, 2 columns × 5 rows of 74 × 52 mm.
    const double px = 200 / 25.4;
    int32_t read = 0;
    for (int32_t row = 0; row < 5; ++row)
        for (int32_t col = 0; col < 2; ++col) {
            const QRect cell(qRound((31 + col * 74) * px), qRound((18 + row * 52) * px), qRound(74 * px), qRound(52 * px));
            const QString file = dir.filePath(QStringLiteral("cell%1%2.png").arg(row).arg(col));
            ASSERT_TRUE(sheet.copy(cell).save(file));
            QStringList codes = decoded(file);
            codes.sort();
            EXPECT_EQ(codes, (QStringList{"EAN-13:4006381333931", "QR-Code:https://lumora.example/jane"}))
                << "row " << row << " column " << col;
            read += int32_t(codes.size());
        }
    EXPECT_EQ(read, 20);
}

TEST_F(BarcodeCli, TenDifferentQrCodesOnAPageEachReadBack)
{
    // Ten codes of ten rows' data on one page, exported as vectors: each
    // decodes to its own row (the data a merge would fill in per row).
    QString from = doc;
    for (int32_t row = 1; row <= 10; ++row) {
        const QString to = dir.filePath(QStringLiteral("step%1.lmra").arg(row));
        const QString at = QStringLiteral("%1,%2").arg(40 + ((row - 1) % 2) * 300).arg(40 + ((row - 1) / 2) * 200);
        ASSERT_EQ(add(from, to, {"--type", "qr", "--data", QStringLiteral("row %1 of 10").arg(row), "--at", at, "--size", "150"}), 0);
        from = to;
    }
    const QString pdf = dir.filePath("page.pdf");
    ASSERT_EQ(runCli({"export", from, pdf}).code, 0);
    const QString prefix = dir.filePath("page");
    ASSERT_EQ(runProgram("pdftoppm", {"-r", "150", "-png", "-singlefile", pdf, prefix}).code, 0);
    QStringList codes = decoded(prefix + ".png");
    codes.sort();
    QStringList expected;
    for (int32_t row = 1; row <= 10; ++row) expected << QStringLiteral("QR-Code:row %1 of 10").arg(row);
    expected.sort();
    EXPECT_EQ(codes, expected);
}

TEST_F(BarcodeCli, PdfModulesLieOnWholeDevicePixelsAt300And600Dpi)
{
    // Rasterised at the resolution it was written for, a PDF whose module
    // edges fall between device pixels shows grey edge pixels; one with
    // whole-pixel modules is black and white only.
    const QString out = dir.filePath("odd.lmra");
    ASSERT_EQ(add(doc, out, {"--type", "qr", "--data", "vector check", "--at", "33,47", "--size", "101,77"}), 0);
    const QString out2 = dir.filePath("odd2.lmra");
    ASSERT_EQ(add(out, out2, {"--type", "code128", "--data", "Asset 42", "--at", "250,47", "--size", "203,61",
                              "--no-text"}),
              0);
    for (const char* dpi : {"300", "600"}) {
        const QString pdf = dir.filePath(QStringLiteral("odd%1.pdf").arg(dpi));
        ASSERT_EQ(runCli({"export", out2, pdf, "--dpi", dpi}).code, 0);
        const QString prefix = dir.filePath(QStringLiteral("odd%1").arg(dpi));
        // The part of the page that holds both codes (document pixels 0..480 × 0..160).
        const QString w = QString::number(480 * atoi(dpi) / 96), h = QString::number(160 * atoi(dpi) / 96);
        ASSERT_EQ(runProgram("pdftoppm", {"-r", dpi, "-gray", "-png", "-singlefile", "-x", "0", "-y", "0", "-W", w,
                                          "-H", h, pdf, prefix})
                      .code,
                  0);
        const QImage page = QImage(prefix + ".png").convertToFormat(QImage::Format_Grayscale8);
        ASSERT_FALSE(page.isNull());
        int64_t black = 0, grey = 0;
        for (int32_t y = 0; y < page.height(); ++y) {
            const uchar* row = page.constScanLine(y);
            for (int32_t x = 0; x < page.width(); ++x) {
                black += row[x] == 0;
                grey += row[x] != 0 && row[x] != 255;
            }
        }
        EXPECT_GT(black, 1000) << dpi;
        EXPECT_EQ(grey, 0) << dpi << " dpi";
    }
}
