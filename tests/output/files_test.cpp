#include "cli_runner.h"
#include "output/carddoc.h"
#include "testnames.h"

#include "model/docfile.h"
#include "output/encode.h"
#include "output/renderoutput.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

uint32_t le16(const QByteArray& b, int at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; }
uint32_t le32(const QByteArray& b, int at) { return le16(b, at) | le16(b, at + 2) << 16; }

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// ---- which kind a name asks for ----

struct kindCase_t {
    const char* name;
    const char* file;
    output::pictureKind_t kind;
};
void PrintTo(const kindCase_t& c, std::ostream* os) { *os << c.name; }

class Kind : public ::testing::TestWithParam<kindCase_t> {};

TEST_P(Kind, TheExtensionChoosesAndEverythingElseIsJpeg)
{
    EXPECT_EQ(output::pictureKindOf(QString::fromUtf8(GetParam().file)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Names, Kind,
    ::testing::Values(kindCase_t{"Jpg", "/a/b.jpg", output::pictureKind_t::jpeg},
                      kindCase_t{"BmpAnyCase", "/a/B.BmP", output::pictureKind_t::bmp},
                      kindCase_t{"IcoWithBlanks", " /a/b.ico ", output::pictureKind_t::icon},
                      kindCase_t{"PngIsJpeg", "/a/b.png", output::pictureKind_t::jpeg},
                      kindCase_t{"NoExtensionIsJpeg", "/a/bmp", output::pictureKind_t::jpeg},
                      kindCase_t{"IcoInTheFolderNameOnly", "/a.ico/b", output::pictureKind_t::jpeg}),
    testnames::byName());

// ---- the files themselves ----

QImage sample(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    for (int x = 0; x < w; x += 2) img.setPixel(x, 0, qRgb(255, 0, 0));
    img.setPixel(w - 1, h - 1, qRgb(0, 0, 255));
    return img;
}

TEST(Files, IconKeepsTheFullSizeInItsHeaderAndMasksWhite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.ico"));
    QString why;
    ASSERT_TRUE(output::writePicture(sample(300, 3), path, &why)) << why.toStdString();
    const QByteArray b = readAll(path);
    const int colourRow = 300, maskRow = 40;  // 300 bytes; 300 bits padded to 40 bytes
    ASSERT_EQ(b.size(), 22 + 1064 + colourRow * 3 + maskRow * 3);
    EXPECT_EQ(le16(b, 0), 0u);
    EXPECT_EQ(le16(b, 2), 1u);
    EXPECT_EQ(le16(b, 4), 1u);
    EXPECT_EQ(uint8_t(b[6]), 300 & 0xFF);
    EXPECT_EQ(uint8_t(b[7]), 3);
    EXPECT_EQ(le16(b, 8), 8u);
    EXPECT_EQ(le32(b, 14), uint32_t(1064 + colourRow * 3 + maskRow * 3));
    EXPECT_EQ(le32(b, 18), 22u);
    EXPECT_EQ(le32(b, 22), 40u);
    EXPECT_EQ(le32(b, 26), 300u);
    EXPECT_EQ(le32(b, 30), 6u);  // colour rows plus mask rows
    EXPECT_EQ(le16(b, 36), 8u);
    EXPECT_EQ(le32(b, 42), uint32_t(colourRow * 3));
    // Bottom-up: the file's last colour row and last mask row are the top row.
    const int top = 22 + 1064 + colourRow * 2, maskTop = 22 + 1064 + colourRow * 3 + maskRow * 2;
    EXPECT_NE(uint8_t(b[top]), 0) << "red is a colour";
    EXPECT_EQ(uint8_t(b[top + 1]), 0) << "white is black under the mask";
    EXPECT_EQ(uint8_t(b[maskTop]), 0x55) << "every second pixel of the top row is white";
}

TEST(Files, BmpIsExactAndJpegIsWrittenUnderAnyOtherName)
{
    QTemporaryDir dir;
    const QImage img = sample(37, 5);
    QString why;
    const QString bmp = dir.filePath(QStringLiteral("a.bmp")), png = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(output::writePicture(img, bmp, &why)) << why.toStdString();
    ASSERT_TRUE(output::writePicture(img, png, &why)) << why.toStdString();
    const QByteArray b = readAll(bmp);
    EXPECT_TRUE(b.startsWith("BM"));
    EXPECT_EQ(le16(b, 28), 24u);
    EXPECT_EQ(b.size(), 54 + 5 * 112);  // 37 × 3 = 111 bytes padded to 112
    EXPECT_EQ(QImage(bmp, "BMP").convertToFormat(QImage::Format_RGB32), img);
    const QByteArray j = readAll(png);
    EXPECT_TRUE(j.startsWith("\xFF\xD8\xFF")) << "JPEG data under a .png name";
    EXPECT_EQ(QImage::fromData(j, "JPEG").size(), img.size());
}

TEST(Files, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("good.jpg"));
    QString why;
    ASSERT_TRUE(output::writePicture(sample(8, 8), path, &why));
    const QByteArray before = readAll(path);
    EXPECT_FALSE(output::writePicture(QImage(), path, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readAll(path), before);
    why.clear();
    EXPECT_FALSE(output::writePicture(sample(8, 8), dir.filePath(QStringLiteral("missing/x.bmp")), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).contains(QStringLiteral("good.jpg")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left behind";
}

// ---- the command-line tool: the same sheet in a PDF and in a picture ----

bool saveSheet(const outdoc::sheet_t& s, const QString& path)
{
    model::itemList_t list;
    outdoc::build(list, s);
    const bool ok = model::writeDocument(path.toStdString(), list);
    model::freeList(list);
    return ok;
}

TEST(Cli, PrintedPdfHasTheCardAtEveryCellAndWhiteCrossedOutCells)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("cards.lmra")), pdf = dir.filePath(QStringLiteral("cards.pdf"));
    const outdoc::sheet_t s = outdoc::foldedBusinessCards();
    ASSERT_TRUE(saveSheet(s, doc));
    // Vectors (the default) and one picture of the sheet alike.
    for (const char* form : {"", "--raster"}) {
        QStringList args{QStringLiteral("print"), doc, QStringLiteral("--pdf"), pdf, QStringLiteral("--areas"),
                         QStringLiteral(" x  x"), QStringLiteral("--dpi"), QStringLiteral("100")};
        if (*form) args << QString::fromLatin1(form);
        const auto r = testcli::runCli(args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(*form ? QStringLiteral("printed at 100 dpi") : QStringLiteral("printed as vectors"))) << form;
        // Rendered back at 25.4 dpi: one pixel per millimetre.
        QProcess p;
        p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("25.4"), QStringLiteral("-png"),
                                             QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QImage page(dir.filePath(QStringLiteral("page.png")));
        // A4 is 595 × 842 points, which pdftoppm rounds up to 298 mm.
        ASSERT_EQ(page.width(), 210) << "the document's paper, without margins";
        ASSERT_NEAR(page.height(), 297, 1);
        // Cells: 100 × 50 mm from (20, 10), 5 mm apart.
        for (int row = 1; row <= 5; ++row) {
            const QRgb c = page.pixel(70, 10 + (row - 1) * 55 + 25);
            const bool crossed = row == 2 || row == 5;
            EXPECT_EQ(qRed(c) > 200 && qGreen(c) < 60, !crossed) << "row " << row;
            EXPECT_EQ(qGreen(c) > 200, crossed) << "row " << row;
        }
        EXPECT_GT(qGreen(page.pixel(10, 35)), 200) << "left margin";
    }
}

TEST(Cli, ExportWritesTheExactPageAndRefusesBadArguments)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("banner.lmra"));
    outdoc::sheet_t s;
    s.designType = 9;
    s.unit = 1;
    s.paperWidth = 728;
    s.paperHeight = 90;
    ASSERT_TRUE(saveSheet(s, doc));
    for (const char* name : {"b.jpg", "b.bmp", "b.ico"}) {
        const QString out = dir.filePath(QString::fromLatin1(name));
        for (const char* smooth : {"", "--smooth"}) {
            QStringList args{QStringLiteral("export"), doc, out};
            if (*smooth) args << QString::fromLatin1(smooth);
            const auto r = testcli::runCli(args);
            ASSERT_EQ(r.code, 0) << name << " " << r.err.toStdString();
            EXPECT_TRUE(r.out.contains(QStringLiteral("728 x 90"))) << name << smooth;
        }
    }
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("b.jpg"))).size(), QSize(728, 90));
    EXPECT_EQ(testcli::runCli({QStringLiteral("export"), doc}).code, 1);
    EXPECT_EQ(testcli::runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), dir.filePath("x.pdf"),
                               QStringLiteral("--dpi"), QStringLiteral("0")})
                  .code,
              1);
    const auto missing = testcli::runCli({QStringLiteral("export"), doc, dir.filePath(QStringLiteral("no/b.jpg"))});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no/b.jpg")));
}

} // namespace
