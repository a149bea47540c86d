// lumora-cli print and export as vectors: what a user types, what lands in
// the file, and the refusals (the same exit codes as the bitmap path).
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

namespace {

using testcli::runCli;

QString pdffontsOf(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdffonts"), {pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Lines after pdffonts' header and rule: one per font.
int fontCount(const QString& listing)
{
    return std::max<int>(int(listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()) - 2, 0);
}

QByteArray head(const QString& file, int n)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

TEST(CliVector, PrintWritesVectorsByDefaultAndOnePictureWithRaster)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        GTEST_SKIP() << "pdffonts is not installed (Debian package poppler-utils)";
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("card.lmra"));
    ASSERT_EQ(runCli({QStringLiteral("example"), doc}).code, 0);
    const QString vec = dir.filePath(QStringLiteral("vec.pdf")), ras = dir.filePath(QStringLiteral("ras.pdf"));
    const auto v = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), vec});
    ASSERT_EQ(v.code, 0) << v.err.toStdString();
    EXPECT_TRUE(v.out.contains(QStringLiteral("printed as vectors (effects and pictures at 300 dpi)"))) << v.out.toStdString();
    const auto r = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), ras, QStringLiteral("--raster"),
                           QStringLiteral("--dpi"), QStringLiteral("150")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("printed at 150 dpi")));
    EXPECT_GE(fontCount(pdffontsOf(vec)), 1) << "the vector PDF's texts are text";
    EXPECT_EQ(fontCount(pdffontsOf(ras)), 0) << "the raster PDF is one picture";
}

TEST(CliVector, ExportWritesOneCardOrTheSheetAsPdfSvgOrAPictureAtAResolution)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("card.lmra"));
    ASSERT_EQ(runCli({QStringLiteral("example"), doc}).code, 0);
    struct row_t {
        const char* file;
        QStringList options;
        const char* says;
        const char* starts;  // the file's first bytes
    } const rows[] = {
        {"a.svg", {}, "one card as vectors (effects and pictures at 300 dpi)", "<?xml"},
        {"b.svg", {QStringLiteral("--sheet")}, "the sheet as vectors", "<?xml"},
        {"c.pdf", {QStringLiteral("--dpi"), QStringLiteral("150")}, "one card as vectors (effects and pictures at 150 dpi)", "%PDF"},
        {"d.PDF", {QStringLiteral("--sheet")}, "the sheet as vectors", "%PDF"},
        {"e.bmp", {}, "x", "BM"},
        {"f.bmp", {QStringLiteral("--dpi"), QStringLiteral("48")}, "x", "BM"},
    };
    for (const row_t& r : rows) {
        const QString out = dir.filePath(QString::fromLatin1(r.file));
        const auto run = runCli(QStringList{QStringLiteral("export"), doc, out} + r.options);
        ASSERT_EQ(run.code, 0) << r.file << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(r.says))) << r.file << ": " << run.out.toStdString();
        EXPECT_TRUE(head(out, 8).startsWith(QByteArray(r.starts))) << r.file;
    }
    // The example is an A4 page: at screen resolution and at half of it
    // (a BMP's header holds its width and height at bytes 18 and 22).
    auto side = [&](const char* file, int at) {
        const QByteArray h = head(dir.filePath(QString::fromLatin1(file)), 26);
        return h.size() < 26 ? -1 : int(uint8_t(h[at]) | uint8_t(h[at + 1]) << 8 | uint8_t(h[at + 2]) << 16);
    };
    EXPECT_NEAR(side("f.bmp", 18) * 2, side("e.bmp", 18), 2);
    EXPECT_NEAR(side("f.bmp", 22) * 2, side("e.bmp", 22), 2);
    EXPECT_GT(side("f.bmp", 18), 300);
}

TEST(CliVector, BadArgumentsAndDocumentsAreRefusedAsInTheBitmapPath)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("card.lmra"));
    ASSERT_EQ(runCli({QStringLiteral("example"), doc}).code, 0);
    const QString junk = dir.filePath(QStringLiteral("junk.lmra"));
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(600, '\x7f'));
    }
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    struct row_t {
        QStringList args;
        int code;
    } const rows[] = {
        {{QStringLiteral("export"), doc, out, QStringLiteral("--sheet"), QStringLiteral("--card")}, 1},
        {{QStringLiteral("export"), doc, out, QStringLiteral("--dpi"), QStringLiteral("5")}, 1},
        {{QStringLiteral("export"), doc, out, QStringLiteral("--dpi"), QStringLiteral("1201")}, 1},
        {{QStringLiteral("export"), doc, out, QStringLiteral("--smooth")}, 1},
        {{QStringLiteral("print"), doc, QStringLiteral("--pdf"), out, QStringLiteral("--raster"), QStringLiteral("--dpi"),
          QStringLiteral("9")},
         1},
        {{QStringLiteral("export"), dir.filePath(QStringLiteral("none.lmra")), out}, 2},
        {{QStringLiteral("print"), dir.filePath(QStringLiteral("none.lmra")), QStringLiteral("--pdf"), out}, 2},
        {{QStringLiteral("export"), doc, dir.filePath(QStringLiteral("no/such/folder.svg"))}, 2},
        {{QStringLiteral("print"), doc, QStringLiteral("--pdf"), dir.filePath(QStringLiteral("no/such/folder.pdf"))}, 2},
        {{QStringLiteral("export"), junk, out}, 3},
        {{QStringLiteral("print"), junk, QStringLiteral("--pdf"), out}, 3},
        {{QStringLiteral("print"), junk, QStringLiteral("--pdf"), out, QStringLiteral("--raster")}, 3},
    };
    for (const row_t& r : rows) {
        const auto run = runCli(r.args);
        EXPECT_EQ(run.code, r.code) << r.args.join(QLatin1Char(' ')).toStdString() << "\n" << run.err.toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << r.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(QFile::exists(out)) << "no file from " << r.args.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
