// lumora-cli calibrate, calibration-sheet and print --correction: the exact
// lines a script reads, a distortion recovered from the marks the tool
// lists, refusals that write nothing, and a corrected print that moves while
// the export of the same document stays.
#include "cli_runner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPointF>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cctype>
#include <cmath>
#include <numbers>

namespace {

using testcli::runCli;

struct distortion_t {
    double dx, dy, sx, sy, deg;
};

// Where a printer with `d` puts (x, y): rotate · scale · point + offset.
QPointF printedAt(const distortion_t& d, double x, double y)
{
    const double t = d.deg * std::numbers::pi / 180, c = std::cos(t), s = std::sin(t);
    return {c * d.sx * x - s * d.sy * y + d.dx, s * d.sx * x + c * d.sy * y + d.dy};
}

// Reads "dx DX dy DY sx SX sy SY rotation DEG residual R".
bool parseLine(const QString& line, distortion_t& d, double& residual)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^dx (-?\d+\.\d{3}) dy (-?\d+\.\d{3}) sx (\d+\.\d{5}) sy (\d+\.\d{5}) rotation (-?\d+\.\d{4}) residual (\d+\.\d{3})\n$)"));
    const auto m = re.match(line);
    if (!m.hasMatch()) return false;
    d = {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble(),
         m.captured(5).toDouble()};
    residual = m.captured(6).toDouble();
    return true;
}

// A grey PGM written by pdftoppm -gray, as rows of bytes.
struct pgm_t {
    int width = 0, height = 0;
    QByteArray pixels;
    int at(int x, int y) const { return uchar(pixels[y * width + x]); }
};

bool readPgm(const QString& file, pgm_t& out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray all = f.readAll();
    // "P5\nW H\n255\n" then the pixels.
    QList<QByteArray> fields;
    qsizetype pos = 0;
    while (fields.size() < 4 && pos < all.size()) {
        while (pos < all.size() && std::isspace(uchar(all[pos]))) ++pos;
        const qsizetype start = pos;
        while (pos < all.size() && !std::isspace(uchar(all[pos]))) ++pos;
        fields << all.mid(start, pos - start);
    }
    if (fields.size() < 4 || fields[0] != "P5") return false;
    out.width = fields[1].toInt();
    out.height = fields[2].toInt();
    out.pixels = all.mid(pos + 1);
    return out.pixels.size() >= qsizetype(out.width) * out.height;
}

// The box around every inked pixel: left, top, right, bottom (pixel edges).
QRectF inkBox(const pgm_t& p)
{
    int left = p.width, top = p.height, right = -1, bottom = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) < 200) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    return right < 0 ? QRectF() : QRectF(QPointF(left, top), QPointF(right, bottom));
}

bool rasterise(const QString& pdf, const QString& base, int dpi, pgm_t& out)
{
    const auto r = testcli::runProgram(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                                                    QStringLiteral("-singlefile"), pdf, base});
    return r.code == 0 && readPgm(base + QStringLiteral(".pgm"), out);
}

} // namespace

TEST(CliCalibrate, MarksAreListedOneALineInMillimetres)
{
    const auto r = runCli({QStringLiteral("calibrate"), QStringLiteral("--paper"), QStringLiteral("210x297"), QStringLiteral("--marks")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("TL 20 20\nTR 190 20\nC 105 148.5\nBL 20 277\nBR 190 277\n"));
}

TEST(CliCalibrate, RecoversADistortionFromTheMarksItLists)
{
    const distortion_t cases[] = {
        {1.25, -0.75, 1.004, 0.996, 0},
        {-0.4, 0.9, 0.998, 1.003, 0.3},
        {0.6, 0.2, 1.0, 1.0, -0.2},
    };
    for (const distortion_t& given : cases) {
        SCOPED_TRACE(given.deg);
        const auto marks =
            runCli({QStringLiteral("calibrate"), QStringLiteral("--paper"), QStringLiteral("210x297"), QStringLiteral("--marks")});
        ASSERT_EQ(marks.code, 0);
        QStringList args = {QStringLiteral("calibrate"), QStringLiteral("--paper"), QStringLiteral("210x297")};
        for (const QString& line : marks.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = line.split(QLatin1Char(' '));
            ASSERT_EQ(f.size(), 3);
            const QPointF p = printedAt(given, f[1].toDouble(), f[2].toDouble());
            args << QStringLiteral("%1=%2,%3").arg(f[0], QString::number(p.x(), 'f', 4), QString::number(p.y(), 'f', 4));
        }
        const auto r = runCli(args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        distortion_t got{};
        double residual = -1;
        ASSERT_TRUE(parseLine(r.out, got, residual)) << r.out.toStdString();
        EXPECT_NEAR(got.dx, given.dx, 0.0015);
        EXPECT_NEAR(got.dy, given.dy, 0.0015);
        EXPECT_NEAR(got.sx, given.sx, 0.00001);
        EXPECT_NEAR(got.sy, given.sy, 0.00001);
        EXPECT_NEAR(got.deg, given.deg, 0.0001);
        EXPECT_LE(residual, 0.001);
        EXPECT_FALSE(r.err.contains(QStringLiteral("lumora-cli"))) << "no warning: " << r.err.toStdString();
    }
}

TEST(CliCalibrate, BadInputExitsWithASentenceAndPrintsNoResult)
{
    struct badCase {
        const char* name;
        QStringList args;
        const char* says;
    };
    const QString paper = QStringLiteral("--paper");
    const badCase cases[] = {
        {"TwoMarks", {paper, "210x297", "TL=20,20", "TR=190,20"}, "At least three marks"},
        {"OnTheDiagonal", {paper, "210x297", "TL=20,20", "C=105,148.5", "BR=190,277"}, "one line"},
        {"NotANumber", {paper, "210x297", "TL=20,abc", "TR=190,20", "BL=20,277"}, "NAME=X,Y"},
        {"NoComma", {paper, "210x297", "TL=20", "TR=190,20", "BL=20,277"}, "NAME=X,Y"},
        {"UnknownMark", {paper, "210x297", "TL=20,20", "TR=190,20", "XY=20,277"}, "no mark named"},
        {"Absurd", {paper, "210x297", "TL=20,20", "TR=380,20", "BL=20,554"}, "implausible"},
        {"BadPaper", {paper, "210 by 297", "--marks"}, "--paper"},
        {"TinyPaper", {paper, "5x5", "--marks"}, "20 to 5000"},
    };
    for (const badCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = runCli(QStringList{QStringLiteral("calibrate")} + c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
        EXPECT_EQ(r.err.count(QStringLiteral("lumora-cli calibrate:")), 1) << "one sentence: " << r.err.toStdString();
    }
}

TEST(CliCalibrate, ATypingSlipIsSolvedButWarnedAboutOnStderr)
{
    const auto r = runCli({QStringLiteral("calibrate"), QStringLiteral("--paper"), QStringLiteral("210x297"), QStringLiteral("TL=20,20"),
                           QStringLiteral("TR=190,20"), QStringLiteral("C=105,148.5"), QStringLiteral("BL=20,277"),
                           QStringLiteral("BR=190,279.5")});
    ASSERT_EQ(r.code, 0);
    distortion_t d{};
    double residual = 0;
    ASSERT_TRUE(parseLine(r.out, d, residual)) << r.out.toStdString();
    EXPECT_GT(residual, 1.0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("BR is"))) << r.err.toStdString();
}

TEST(CliCalibrate, SheetIsWrittenWithItsLabelsAndBadPaperWritesNothing)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const auto r = runCli({QStringLiteral("calibration-sheet"), pdf, QStringLiteral("--paper"), QStringLiteral("210x297"),
                           QStringLiteral("--printer"), QStringLiteral("Office Laser")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, pdf + QStringLiteral(": calibration sheet of 210 x 297 mm\n"));
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        const auto t = testcli::runProgram(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const char* label : {"TL (20, 20)", "TR (190, 20)", "C (105, 148.5)", "BL (20, 277)", "BR (190, 277)", "Laser"})
            EXPECT_TRUE(t.out.contains(QString::fromUtf8(label))) << label;
    }
    const QString bad = dir.filePath(QStringLiteral("bad.pdf"));
    const auto b = runCli({QStringLiteral("calibration-sheet"), bad, QStringLiteral("--paper"), QStringLiteral("A4")});
    EXPECT_EQ(b.code, 1);
    EXPECT_FALSE(QFile::exists(bad));
}

TEST(CliCalibrate, CorrectedPrintMovesWhileTheExportStays)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed (Debian package poppler-utils)";
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("page.lmra"));
    ASSERT_EQ(runCli({QStringLiteral("example"), doc}).code, 0);
    const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
    ASSERT_EQ(runCli({QStringLiteral("export"), doc, exported}).code, 0);
    constexpr int dpi = 100;
    pgm_t e;
    ASSERT_TRUE(rasterise(exported, dir.filePath(QStringLiteral("e")), dpi, e));
    const QRectF still = inkBox(e);
    // The vector print and the one picture of the sheet alike.
    for (const QStringList& mode : {QStringList(), QStringList{QStringLiteral("--raster")}}) {
        SCOPED_TRACE(mode.isEmpty() ? "vector" : "raster");
        const QString plain = dir.filePath(QStringLiteral("plain.pdf")), corrected = dir.filePath(QStringLiteral("corrected.pdf"));
        ASSERT_EQ(runCli(QStringList{QStringLiteral("print"), doc, QStringLiteral("--pdf"), plain} + mode).code, 0);
        const auto c = runCli(QStringList{QStringLiteral("print"), doc, QStringLiteral("--pdf"), corrected,
                                          QStringLiteral("--correction"), QStringLiteral("2,1,1.01,0.99")} +
                              mode);
        ASSERT_EQ(c.code, 0) << c.err.toStdString();
        pgm_t p, k;
        ASSERT_TRUE(rasterise(plain, dir.filePath(QStringLiteral("p")), dpi, p));
        ASSERT_TRUE(rasterise(corrected, dir.filePath(QStringLiteral("k")), dpi, k));
        const QRectF ink = inkBox(p), moved = inkBox(k);
        ASSERT_FALSE(ink.isEmpty());
        // The export is where the page has it, like an uncorrected print.
        EXPECT_NEAR(still.left(), ink.left(), 1);
        EXPECT_NEAR(still.top(), ink.top(), 1);
        // The corrected print is drawn through the inverse: (x - dx) / sx (two
        // pixels are half a millimetre; the shift alone is eight).
        const double px = dpi / 25.4;
        EXPECT_NEAR(moved.left(), (ink.left() - 2 * px) / 1.01, 2);
        EXPECT_NEAR(moved.right(), (ink.right() - 2 * px) / 1.01, 2);
        EXPECT_NEAR(moved.top(), (ink.top() - 1 * px) / 0.99, 2);
        EXPECT_NEAR(moved.bottom(), (ink.bottom() - 1 * px) / 0.99, 2);
    }

    for (const char* bad : {"2,1,1.01", "2,1,x,1", "2,1,1.5,1"}) {
        const QString out = dir.filePath(QStringLiteral("bad.pdf"));
        const auto b = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), out, QStringLiteral("--correction"),
                               QString::fromLatin1(bad)});
        EXPECT_EQ(b.code, 1) << bad;
        EXPECT_TRUE(b.err.contains(QStringLiteral("correction"))) << b.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}
