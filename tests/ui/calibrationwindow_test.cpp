// The calibration window and the print flow's question: marks typed in the
// document's unit are solved, residuals and warnings shown, the result stored
// for the printer and paper source and cleared again; bad input stores
// nothing; the print flow offers the stored correction or none this once.
#include "ui/calibrationwindow.h"
#include "ui/dialogs.h"
#include "ui/printjob.h"

#include "output/carddoc.h"

#include "geometry/units.h"
#include "settings/calibrationstore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <array>

using namespace ui;

namespace {

const QSizeF a4(210, 297);

} // namespace

TEST(CalibrationWindow, SolvesStoresAndClearsPerPrinterAndSource)
{
    settings::memoryStore_t store;
    TCalibration window(&store, geometry::unitMillimetres, a4);
    window.setPrinter(QStringLiteral("Office Laser"), QStringLiteral("Manual"));
    // A printer 1 mm right, 0.5 mm down and 0.5 % larger across.
    window.setMeasured(QStringLiteral("TL"), QStringLiteral("21.1"), QStringLiteral("20.5"));
    window.setMeasured(QStringLiteral("TR"), QStringLiteral("191.95"), QStringLiteral("20.5"));
    window.setMeasured(QStringLiteral("BL"), QStringLiteral("21.1"), QStringLiteral("277.5"));
    ASSERT_TRUE(window.solve()) << window.resultText().toStdString();
    EXPECT_NEAR(window.fit().distortion.dx, 1.0, 1e-9);
    EXPECT_NEAR(window.fit().distortion.sx, 1.005, 1e-9);
    EXPECT_TRUE(window.resultText().contains(QStringLiteral("dx 1.000 dy 0.500 sx 1.00500 sy 1.00000")))
        << window.resultText().toStdString();
    EXPECT_EQ(window.residualText(QStringLiteral("TL")), QStringLiteral("0.00 mm"));
    EXPECT_TRUE(window.residualText(QStringLiteral("C")).isEmpty()) << "a mark left out has no residual";

    ASSERT_TRUE(window.storeResult());
    EXPECT_TRUE(window.storedText().contains(QStringLiteral("dx 1.000")));
    EXPECT_TRUE(settings::loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Manual")));
    EXPECT_FALSE(settings::loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Auto")));
    window.setPrinter(QStringLiteral("Office Laser"), QStringLiteral("Auto"));
    EXPECT_TRUE(window.storedText().startsWith(QStringLiteral("No correction")));

    window.setPrinter(QStringLiteral("Office Laser"), QStringLiteral("Manual"));
    ASSERT_TRUE(window.clear());
    EXPECT_FALSE(settings::loadCalibration(store, QStringLiteral("Office Laser"), QStringLiteral("Manual")));
}

TEST(CalibrationWindow, InchesAreTypedInInches)
{
    settings::memoryStore_t store;
    TCalibration window(&store, geometry::unitInches, a4);
    // 1 mm to the right everywhere.
    const double mm = 1 / 25.4;
    for (const auto& m : output::calibrationMarks(a4))
        window.setMeasured(m.name, QString::number(m.mm.x() * mm + mm, 'f', 6), QString::number(m.mm.y() * mm, 'f', 6));
    ASSERT_TRUE(window.solve());
    EXPECT_NEAR(window.fit().distortion.dx, 1.0, 1e-4);
    EXPECT_NEAR(window.fit().distortion.sx, 1.0, 1e-6);
}

TEST(CalibrationWindow, BadInputShowsWhyAndStoresNothing)
{
    struct badCase {
        const char* name;
        std::vector<std::array<const char*, 3>> marks;
        const char* says;
    };
    const badCase cases[] = {
        {"NotANumber", {{"TL", "20", "2O"}, {"TR", "190", "20"}, {"BL", "20", "277"}}, "not a number"},
        {"TwoMarks", {{"TL", "20", "20"}, {"TR", "190", "20"}}, "At least three"},
        {"OneLine", {{"TL", "20", "20"}, {"C", "105", "148.5"}, {"BR", "190", "277"}}, "one line"},
        {"Absurd", {{"TL", "20", "20"}, {"TR", "400", "20"}, {"BL", "20", "600"}}, "implausible"},
    };
    for (const badCase& c : cases) {
        SCOPED_TRACE(c.name);
        settings::memoryStore_t store;
        TCalibration window(&store, geometry::unitMillimetres, a4);
        window.setPrinter(QStringLiteral("P"), QStringLiteral("Auto"));
        for (const auto& m : c.marks)
            window.setMeasured(QString::fromLatin1(m[0]), QString::fromLatin1(m[1]), QString::fromLatin1(m[2]));
        EXPECT_FALSE(window.solve());
        EXPECT_TRUE(window.resultText().contains(QString::fromLatin1(c.says))) << window.resultText().toStdString();
        EXPECT_FALSE(window.storeResult());
        EXPECT_TRUE(store.values.isEmpty());
    }
}

TEST(CalibrationWindow, TypingSlipIsShownAsAWarning)
{
    settings::memoryStore_t store;
    TCalibration window(&store, geometry::unitMillimetres, a4);
    for (const auto& m : output::calibrationMarks(a4))
        window.setMeasured(m.name, QString::number(m.mm.x()), QString::number(m.name == QStringLiteral("C") ? m.mm.y() + 3 : m.mm.y()));
    ASSERT_TRUE(window.solve());
    EXPECT_TRUE(window.resultText().contains(QStringLiteral("C is"))) << window.resultText().toStdString();
    EXPECT_TRUE(window.resultText().contains(QStringLiteral("typing slip")));
}

TEST(PrintCorrection, TheQuestionShowsTheCorrectionAndOffersItOffOrCalibration)
{
    const settings::printerDistortion_t d{1.2, -0.4, 1.003, 0.998, 0.1};
    struct askCase {
        const char* name;
        int32_t answer;
        std::optional<bool> use;
        bool calibrates;
    };
    const askCase cases[] = {
        {"WithTheCorrection", 0, true, false},
        {"WithoutItThisOnce", 1, false, false},
        {"Calibrate", 2, std::nullopt, true},
        {"Cancelled", -1, std::nullopt, false},
    };
    for (const askCase& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedDialogs_t script;
        scopedDialogs_t installed(script);
        script.choiceAnswers.push_back(c.answer);
        bool calibrated = false;
        EXPECT_EQ(askPrinterCorrection(QStringLiteral("PDF"), QStringLiteral("Auto"), d, [&] { calibrated = true; }), c.use);
        EXPECT_EQ(calibrated, c.calibrates);
        ASSERT_EQ(script.choiceLabels.size(), 1u);
        EXPECT_EQ(script.choiceLabels[0],
                  QStringLiteral("Correction for \"PDF\" (Auto): dx 1.200 dy -0.400 sx 1.00300 sy 0.99800 rotation 0.1000"));
    }
}

TEST(PrintCorrection, APdfFileFromThePrintDialogIsNeverCorrected)
{
    // A stored correction for every printer name the dialog could report:
    // printing into a file asks nothing and reports no correction used.
    settings::memoryStore_t store;
    for (const QString& name : {QString(), QStringLiteral("PDF")})
        settings::saveCalibration(store, name, paperSourceName(QPrinter::Auto), {2, 2, 1, 1, 0});
    scriptedDialogs_t script;
    scopedDialogs_t installed(script);
    QTemporaryDir dir;
    script.printAnswers.push_back(dir.filePath(QStringLiteral("out.pdf")));
    model::itemList_t doc;
    outdoc::build(doc, outdoc::tenBusinessCards());
    QString used = QStringLiteral("unset");
    EXPECT_EQ(printDocumentSheet(doc, QStringLiteral("t"), QByteArray(), false, {&store, {}, &used}), printResult_t::printed);
    EXPECT_TRUE(script.choiceLabels.empty());
    EXPECT_TRUE(used.isEmpty());
    model::freeList(doc);
}
