// Printer calibration: the fit recovers a distortion from its marks, refuses
// what cannot be solved, the correction undoes the distortion in device
// pixels, a rasterised sheet printed through a known distortion is measured
// back, and a sheet of cards printed with the correction lands in its cells.
#include "carddoc.h"
#include "cli_runner.h"

#include "output/calibration.h"
#include "output/printsheet.h"
#include "output/vectorsheet.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <random>

using namespace output;

namespace {

const QSizeF a4(210, 297);

QPointF distorted(const printerDistortion_t& d, QPointF p) { return distortionTransform(d).map(p); }

// The marks named, where a printer with distortion `d` puts them.
std::vector<calibrationMark_t> printedMarks(const printerDistortion_t& d, const QStringList& names, QSizeF paper = a4)
{
    std::vector<calibrationMark_t> out;
    for (const calibrationMark_t& m : calibrationMarks(paper))
        if (names.contains(m.name)) out.push_back({m.name, distorted(d, m.mm)});
    return out;
}

void expectClose(const printerDistortion_t& got, const printerDistortion_t& want, double mm, double factor, double deg)
{
    EXPECT_NEAR(got.dx, want.dx, mm);
    EXPECT_NEAR(got.dy, want.dy, mm);
    EXPECT_NEAR(got.sx, want.sx, factor);
    EXPECT_NEAR(got.sy, want.sy, factor);
    EXPECT_NEAR(got.rotation, want.rotation, deg);
}

// The centre of the ink within `box` (ink weighted by its darkness).
QPointF inkCentre(const QImage& image, QRect box)
{
    box = box.intersected(image.rect());
    double sx = 0, sy = 0, sw = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = box.left(); x <= box.right(); ++x) {
            const double w = 255 - qGray(row[x]);
            sx += w * (x + 0.5);
            sy += w * (y + 0.5);
            sw += w;
        }
    }
    return sw > 0 ? QPointF(sx / sw, sy / sw) : QPointF(-1, -1);
}

} // namespace

TEST(Calibration, MarksSitNearTheCornersAndAtTheCentre)
{
    const std::vector<calibrationMark_t> marks = calibrationMarks(a4);
    ASSERT_EQ(marks.size(), 5u);
    // x runs across and y down the paper: a swap would put TR below TL.
    EXPECT_EQ(marks[0].name, QStringLiteral("TL"));
    EXPECT_EQ(marks[0].mm, QPointF(20, 20));
    EXPECT_EQ(marks[1].mm, QPointF(190, 20));
    EXPECT_EQ(marks[2].mm, QPointF(105, 148.5));
    EXPECT_EQ(marks[3].mm, QPointF(20, 277));
    EXPECT_EQ(marks[4].mm, QPointF(190, 277));
    // A small label keeps its marks on the paper.
    for (const calibrationMark_t& m : calibrationMarks(QSizeF(40, 30)))
        EXPECT_TRUE(QRectF(0, 0, 40, 30).contains(m.mm)) << m.name.toStdString();
}

TEST(Calibration, RecoversTheDistortionFromAnyThreeOrMoreMarksOffOneLine)
{
    struct fitCase {
        const char* name;
        printerDistortion_t d;
        QStringList marks;
    };
    const fitCase cases[] = {
        {"OffsetOnly", {1.2, -0.7, 1, 1, 0}, {"TL", "TR", "BL"}},
        {"ScaleOnlyDiffersPerAxis", {0, 0, 1.004, 0.993, 0}, {"TL", "TR", "BR"}},
        {"LaserPrinterFeed", {0.8, 1.3, 0.998, 1.006, 0}, {"TL", "TR", "C", "BL", "BR"}},
        {"TurnedClockwise", {-0.5, 0.4, 1.002, 0.999, 0.25}, {"TL", "TR", "C", "BL", "BR"}},
        {"TurnedAnticlockwise", {0.3, -1.1, 1.0, 1.003, -0.4}, {"TR", "C", "BL", "BR"}},
    };
    for (const fitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const calibrationFit_t fit = solveCalibration(a4, printedMarks(c.d, c.marks));
        ASSERT_TRUE(fit.ok) << fit.error.toStdString();
        expectClose(fit.distortion, c.d, 1e-6, 1e-8, 1e-6);
        EXPECT_LT(fit.worstResidual, 1e-6);
        EXPECT_TRUE(fit.warnings.isEmpty());
    }
}

TEST(Calibration, RefusesWhatCannotBeSolvedOrIsAbsurd)
{
    const printerDistortion_t none;
    struct badCase {
        const char* name;
        std::vector<calibrationMark_t> marks;
        const char* says;
    };
    std::vector<calibrationMark_t> twice = printedMarks(none, {"TL", "TR"});
    twice.push_back({QStringLiteral("tl"), {20, 20}});
    std::vector<calibrationMark_t> absurd = printedMarks({0, 0, 1.5, 1.5, 0}, {"TL", "TR", "BL"});
    std::vector<calibrationMark_t> unknown = printedMarks(none, {"TL", "TR"});
    unknown.push_back({QStringLiteral("XX"), {1, 2}});
    const badCase cases[] = {
        {"TwoMarks", printedMarks(none, {"TL", "BR"}), "At least three marks"},
        {"NoMarks", {}, "At least three marks"},
        // The diagonal through the centre: nothing says the scale across it.
        {"OnTheDiagonal", printedMarks(none, {"TL", "C", "BR"}), "one line"},
        {"AMarkGivenTwice", twice, "given twice"},
        {"UnknownName", unknown, "no mark named \"XX\""},
        {"HalfAsLargeAgain", absurd, "implausible"},
        {"NotANumber", {{QStringLiteral("TL"), {20, NAN}}, {QStringLiteral("TR"), {190, 20}}, {QStringLiteral("BL"), {20, 277}}},
         "not a number"},
    };
    for (const badCase& c : cases) {
        SCOPED_TRACE(c.name);
        const calibrationFit_t fit = solveCalibration(a4, c.marks);
        EXPECT_FALSE(fit.ok);
        EXPECT_TRUE(fit.error.contains(QString::fromUtf8(c.says))) << fit.error.toStdString();
    }
}

TEST(Calibration, WarnsOfATypingSlipButStillSolves)
{
    // One mark typed 3 mm off: the least-squares fit shares the error out,
    // and the worst residual points at a slip.
    std::vector<calibrationMark_t> slip = printedMarks({}, {"TL", "TR", "C", "BL", "BR"});
    slip[1].mm.ry() += 3;
    calibrationFit_t fit = solveCalibration(a4, slip);
    ASSERT_TRUE(fit.ok);
    EXPECT_GT(fit.worstResidual, 1.0);
    ASSERT_EQ(fit.residuals.size(), 5u);
    EXPECT_EQ(std::max_element(fit.residuals.begin(), fit.residuals.end()) - fit.residuals.begin(), 1);
    EXPECT_TRUE(fit.warnings.join(' ').contains(QStringLiteral("TR is"))) << fit.warnings.join(' ').toStdString();

    // 7 % larger: plausible enough to show, worth a warning.
    fit = solveCalibration(a4, printedMarks({0, 0, 1.07, 1.0, 0}, {"TL", "TR", "BL"}));
    ASSERT_TRUE(fit.ok);
    EXPECT_TRUE(fit.warnings.join(' ').contains(QStringLiteral("more than 5 %")));
    // 4 % is within what is shown without a warning.
    fit = solveCalibration(a4, printedMarks({0, 0, 1.04, 0.96, 0}, {"TL", "TR", "BL"}));
    ASSERT_TRUE(fit.ok);
    EXPECT_TRUE(fit.warnings.isEmpty());
}

TEST(Calibration, CorrectionUndoesTheDistortionInDevicePixelsWithOffsets)
{
    // A printer whose printable area starts off the paper's corner: the
    // correction works in paper millimetres, not from the printable area.
    device_t printer;
    printer.ppiX = 600;
    printer.ppiY = 300;
    printer.offX = 71;
    printer.offY = 49;
    const printerDistortion_t d{1.1, -0.6, 1.004, 0.995, 0.3};
    const QTransform correction = correctionTransform(d, printer);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> across(0, 4000), down(0, 3000);
    for (int i = 0; i < 50; ++i) {
        const QPointF asked(across(random), down(random));  // device pixels
        const QPointF drawn = correction.map(asked);
        auto toMm = [&](QPointF p) {
            return QPointF((p.x() + printer.offX) * 25.4 / printer.ppiX, (p.y() + printer.offY) * 25.4 / printer.ppiY);
        };
        const QPointF landed = distorted(d, toMm(drawn));
        EXPECT_NEAR(landed.x(), toMm(asked).x(), 1e-9);
        EXPECT_NEAR(landed.y(), toMm(asked).y(), 1e-9);
    }
}

TEST(Calibration, DistortionLineHasFixedDigitsAndNoNegativeZero)
{
    EXPECT_EQ(distortionLine({1.23456, -0.00001, 1.0050049, 0.99, -0.12345}, 0.0004),
              QStringLiteral("dx 1.235 dy 0.000 sx 1.00500 sy 0.99000 rotation -0.1235 residual 0.000"));
    EXPECT_EQ(shortNumber(148.5), QStringLiteral("148.5"));
    EXPECT_EQ(shortNumber(20), QStringLiteral("20"));
    EXPECT_EQ(shortNumber(-0.0001), QStringLiteral("0"));
}

TEST(Calibration, RasterisedSheetPrintedThroughADistortionIsMeasuredBack)
{
    // The sheet drawn as a printer with a known distortion would print it,
    // at 300 dpi; each crosshair is found as the centre of the ink around
    // where it should be (twice, the second time around the first guess).
    const printerDistortion_t printer{1.3, -0.8, 1.004, 0.997, 0.2};
    device_t device;
    device.ppiX = device.ppiY = 300;
    device.pageWidth = 2480;
    device.pageHeight = 3508;
    QImage page(device.pageWidth, device.pageHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        // The printer's distortion in pixels is the inverse of its correction.
        p.setWorldTransform(correctionTransform(printer, device).inverted());
        drawCalibrationSheet(p, a4, device, QStringLiteral("Printer: Test · 2026-12-10"));
    }
    const double pxPerMm = 300 / 25.4;
    std::vector<calibrationMark_t> measured;
    for (const calibrationMark_t& m : calibrationMarks(a4)) {
        QPointF guess = m.mm * pxPerMm;
        const int half = int(8 * pxPerMm);
        for (int pass = 0; pass < 2; ++pass)
            guess = inkCentre(page, QRect(guess.toPoint() - QPoint(half, half), QSize(2 * half, 2 * half)));
        measured.push_back({m.name, guess / pxPerMm});
    }
    const calibrationFit_t fit = solveCalibration(a4, measured);
    ASSERT_TRUE(fit.ok) << fit.error.toStdString();
    expectClose(fit.distortion, printer, 0.1, 0.0005, 0.05);
    EXPECT_LT(fit.worstResidual, 0.1);
}

TEST(Calibration, CardsPrintedWithTheCorrectionLandInTheirCells)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed (Debian package poppler-utils)";
    QTemporaryDir dir;
    model::itemList_t doc;
    const outdoc::sheet_t s = outdoc::tenBusinessCards();
    outdoc::build(doc, s);
    // Every other card, so that no two printed cards touch.
    const QByteArray areas(".xx..xx..x");
    const printerDistortion_t printer{1.2, -0.9, 1.005, 0.996, 0.15};
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    constexpr int32_t dpi = 200;
    vectorJob_t job;
    job.dpi = dpi;
    job.printAreas = areas;
    device_t device;
    device.ppiX = device.ppiY = dpi;
    job.correction = correctionTransform(printer, device);
    QString why;
    ASSERT_TRUE(writeVector(doc, pdf, vectorFormat_t::pdf, job, &why)) << why.toStdString();
    const testcli::cliResult_t r = testcli::runProgram(
        pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                   dir.filePath(QStringLiteral("cards"))});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage page = QImage(dir.filePath(QStringLiteral("cards.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(page.isNull());

    const double pxPerMm = dpi / 25.4;
    int measuredCells = 0;
    for (int32_t row = 1; row <= s.rows; ++row)
        for (int32_t col = 1; col <= s.columns; ++col) {
            if (!isAreaPrinted(areas, row, col, s.columns)) continue;
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << col);
            const QRectF cellMm(s.marginLeft + (col - 1) * (s.cardWidth + s.columnGap), s.marginTop + (row - 1) * s.cardHeight,
                                s.cardWidth, s.cardHeight);
            const QRectF around(cellMm.topLeft() * pxPerMm - QPointF(4, 4) * pxPerMm,
                                cellMm.bottomRight() * pxPerMm + QPointF(4, 4) * pxPerMm);
            // The centre of the card as printed on the PDF, then where the
            // printer puts that point: the cell's centre.
            const QPointF onPdf = inkCentre(page, around.toRect()) / pxPerMm;
            const QPointF landed = distorted(printer, onPdf);
            EXPECT_NEAR(landed.x(), cellMm.center().x(), 0.1);
            EXPECT_NEAR(landed.y(), cellMm.center().y(), 0.1);
            // Without the correction the same printer misses by far more.
            EXPECT_GT(QLineF(distorted(printer, cellMm.center()), cellMm.center()).length(), 0.5);
            ++measuredCells;
        }
    EXPECT_EQ(measuredCells, 5);
    model::freeList(doc);
}
