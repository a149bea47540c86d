// Saving the preset editors' rows: which rows the lists show, the inch mark,
// absolute values, the row selected next, font sizes as whole numbers,
// hostile texts kept unlisted, and a saved table surviving a restart.
#include "settings/presetsave.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace settings;

namespace {

struct widthCase {
    const char* name;
    QString text;
    int32_t units;  // chosen in the editor
    bool listed;
    int32_t savedUnits;
    double mm;
    QString savedText;
};
void PrintTo(const widthCase& c, std::ostream* os) { *os << c.name; }

class WidthSave : public ::testing::TestWithParam<widthCase> {};

TEST_P(WidthSave, Row)
{
    const widthCase& c = GetParam();
    memoryStore_t store;
    TParams p(&store);
    custThickness_t rows = p.customWidths;
    rows[4].name = QStringLiteral("  Mine ");
    rows[4].valueText = c.text;
    rows[4].units = c.units;
    saveWidthRows(p, rows, 0);
    const custThicknessRec_t& r = p.customWidths[4];
    EXPECT_EQ(r.listed, c.listed ? 1 : 0);
    EXPECT_EQ(r.units, c.savedUnits);
    EXPECT_EQ(r.valueText, c.savedText);
    EXPECT_EQ(r.name, QStringLiteral("Mine"));  // an unlisted row keeps its name too
    if (c.listed) {
        EXPECT_NEAR(r.value, c.mm, 1e-9);
    }
    EXPECT_EQ(r.selectNext, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidthSave,
    ::testing::Values(
        // The mark wins over the chosen unit; the text loses it.
        widthCase{"QuarterInchMarkUnderMillimetres", QStringLiteral("1/4\""), 2, true, 3, 6.35, QStringLiteral("1/4")},
        widthCase{"ZeroUnlisted", QStringLiteral("0"), 2, false, 2, 0, QStringLiteral("0")},
        widthCase{"NegativeListedAsAbsolute", QStringLiteral("-2"), 2, true, 2, 2.0, QStringLiteral("-2")},
        widthCase{"CommaDecimalTrimmed", QStringLiteral(" 0,5 "), 2, true, 2, 0.5, QStringLiteral("0,5")},
        widthCase{"PixelsThroughThePixel", QStringLiteral("3"), 1, true, 1, 3 * 25.4 / 96, QStringLiteral("3")},
        widthCase{"Letters", QStringLiteral("thick"), 2, false, 2, 0, QStringLiteral("thick")},
        widthCase{"Overflow", QStringLiteral("1e999"), 2, false, 2, 0, QStringLiteral("1e999")},
        widthCase{"NotANumber", QStringLiteral("NaN"), 2, false, 2, 0, QStringLiteral("NaN")},
        widthCase{"Empty", QString(), 2, false, 2, 0, QString()},
        widthCase{"TwoHundredDigits", QString(200, QLatin1Char('1')), 2, false, 2, 0, QString(200, QLatin1Char('1'))},
        // The heaviest weight is kept; ten times more is refused.
        widthCase{"AtTheBound", QStringLiteral("1000"), 2, true, 2, 1000.0, QStringLiteral("1000")},
        widthCase{"TenMetres", QStringLiteral("10000"), 2, false, 2, 0, QStringLiteral("10000")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WidthSave, SelectNextOnlyForTheCurrentValidRow)
{
    memoryStore_t store;
    TParams p(&store);
    custThickness_t rows = p.customWidths;
    for (int k : {2, 5}) {
        rows[k].name = QStringLiteral("W%1").arg(k);
        rows[k].valueText = QStringLiteral("1");
        rows[k].units = 2;
    }
    rows[7].name = QStringLiteral("Bad");
    rows[7].valueText = QStringLiteral("x");

    struct { int32_t current; int32_t expectedRow; } cases[] = {{0, -1}, {3, 2}, {6, 5}, {8, -1}};
    for (const auto& c : cases) {
        saveWidthRows(p, rows, c.current);
        for (int k = 0; k < presetRows; ++k)
            EXPECT_EQ(p.customWidths[k].selectNext, k == c.expectedRow ? 1 : 0) << "current " << c.current << " row " << k;
        EXPECT_EQ(p.customWidths[2].listed, 1);
        EXPECT_EQ(p.customWidths[5].listed, 1);
        EXPECT_EQ(p.customWidths[7].listed, 0);
    }
}

struct patternCase {
    const char* name;
    std::vector<QString> segments;
    int32_t units;
    bool listed;
    int32_t savedUnits;
    int32_t count;
    double firstMm, secondMm;
};
void PrintTo(const patternCase& c, std::ostream* os) { *os << c.name; }

class PatternSave : public ::testing::TestWithParam<patternCase> {};

TEST_P(PatternSave, Row)
{
    const patternCase& c = GetParam();
    memoryStore_t store;
    TParams p(&store);
    custPattern_t rows = p.customPatterns;
    rows[0].name = QStringLiteral("P");
    rows[0].units = c.units;
    rows[0].segmentText.fill(QString());
    for (size_t k = 0; k < c.segments.size(); ++k) rows[0].segmentText[k] = c.segments[k];
    savePatternRows(p, rows, 1);
    const custPatternRec_t& r = p.customPatterns[0];
    EXPECT_EQ(r.listed, c.listed ? 1 : 0);
    EXPECT_EQ(r.selectNext, c.listed ? 1 : 0);
    EXPECT_EQ(r.units, c.savedUnits);
    if (!c.listed) return;
    EXPECT_EQ(r.count, c.count);
    EXPECT_NEAR(r.segments[0], c.firstMm, 1e-9);
    EXPECT_NEAR(r.segments[1], c.secondMm, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternSave,
    ::testing::Values(
        patternCase{"DashSpaceThenEmpty", {QStringLiteral("2"), QStringLiteral("1")}, 2, true, 2, 2, 2.0, 1.0},
        patternCase{"ZeroSpaceUnlisted", {QStringLiteral("2"), QStringLiteral("0")}, 2, false, 2, 0, 0, 0},
        patternCase{"ZeroDashUnlisted", {QStringLiteral("0"), QStringLiteral("1")}, 2, false, 2, 0, 0, 0},
        patternCase{"MissingSpaceUnlisted", {QStringLiteral("2")}, 2, false, 2, 0, 0, 0},
        patternCase{"InchMarkOnFirstDash", {QStringLiteral("1/8\""), QStringLiteral("1")}, 2, true, 3, 2, 3.175, 25.4},
        // The mark on a later segment changes no unit: read in millimetres.
        patternCase{"InchMarkOnSpaceIgnored", {QStringLiteral("2"), QStringLiteral("1\"")}, 2, true, 2, 2, 2.0, 1.0},
        patternCase{"UnreadableSegmentEndsThePattern",
                    {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("x"), QStringLiteral("3")}, 2, true, 2, 2,
                    2.0, 1.0},
        patternCase{"AllTwelveSegments", std::vector<QString>(12, QStringLiteral("1")), 2, true, 2, 12, 1.0, 1.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct directionCase {
    const char* name;
    int32_t table;
    QString text;
    int32_t units;
    bool listed;
    double value;
};
void PrintTo(const directionCase& c, std::ostream* os) { *os << c.name; }

class DirectionSave : public ::testing::TestWithParam<directionCase> {};

TEST_P(DirectionSave, Row)
{
    const directionCase& c = GetParam();
    memoryStore_t store;
    TParams p(&store);
    custDirection_t rows = *p.directionTable(c.table);
    rows[11].name = QStringLiteral("D");
    rows[11].valueText = c.text;
    rows[11].units = c.units;
    saveDirectionRows(p, c.table, rows, 12);
    const custDirectionRec_t& r = (*p.directionTable(c.table))[11];
    EXPECT_EQ(r.listed, c.listed ? 1 : 0);
    EXPECT_EQ(r.selectNext, c.listed ? 1 : 0);
    EXPECT_EQ(r.valueText, c.text.trimmed());
    EXPECT_EQ(r.units, c.units);
    if (c.listed) {
        EXPECT_NEAR(r.value, c.value, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirectionSave,
    ::testing::Values(
        directionCase{"MinusNinetyIs270", 1, QStringLiteral("-90"), 1, true, 270},
        directionCase{"PiRadiansIs180", 1, QStringLiteral("3.14159265358979"), 2, true, 180},
        directionCase{"SevenTwentyIs360", 1, QStringLiteral("720"), 1, true, 360},
        directionCase{"ZeroIsValid", 1, QStringLiteral("0"), 1, true, 0},
        directionCase{"EmptyUnlisted", 1, QString(), 1, false, 0},
        directionCase{"HugeAngleBrought", 1, QStringLiteral("1e12"), 1, true, std::fmod(1e12, 360.0)},
        directionCase{"NotANumberUnlisted", 31, QStringLiteral("NaN"), 1, false, 0},
        directionCase{"TextAngleComma", 31, QStringLiteral("22,5"), 1, true, 22.5},
        directionCase{"SizeTwelve", 41, QStringLiteral("12"), 1, true, 12},
        directionCase{"SizeFractionUnlisted", 41, QStringLiteral("12.5"), 1, false, 0},
        directionCase{"SizeEmptyUnlisted", 41, QString(), 1, false, 0},
        directionCase{"SizeNegativeAbsolute", 41, QStringLiteral("-14"), 1, true, 14},
        directionCase{"SizeZeroListed", 41, QStringLiteral("0"), 1, true, 0},
        directionCase{"SizePlusSign", 41, QStringLiteral("+7"), 1, true, 7},
        directionCase{"SizeExponentUnlisted", 41, QStringLiteral("1e3"), 1, false, 0},
        directionCase{"SizeBeyond32Bits", 41, QStringLiteral("99999999999"), 1, false, 0},
        // Not normalised into degrees: a size is not an angle.
        directionCase{"SizeAbove360Kept", 41, QStringLiteral("400"), 1, true, 400}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PresetStore, SavedTablesSurviveARestart)
{
    memoryStore_t store;
    {
        TParams p(&store);
        custThickness_t w = p.customWidths;
        w[0].name = QStringLiteral("Hairline");
        w[0].valueText = QStringLiteral("0.1");
        w[0].units = 2;
        saveWidthRows(p, w, 1);
        custDirection_t s = p.customSizes;
        s[0].name = QStringLiteral("Thirteen");
        s[0].valueText = QStringLiteral("13");
        saveDirectionRows(p, 41, s, 1);
        custShadow_t sh = p.customShadows;
        sh[0].name = QStringLiteral("Long");
        sh[0].elevation = 200;
        sh[0].listed = 1;
        saveShadowRows(p, sh, 3);
        for (presetTable_t t : {presetTable_t::widths, presetTable_t::sizes, presetTable_t::shadows})
            EXPECT_TRUE(storePresetTable(p, t));
    }
    TParams again(&store);
    again.initSettings();
    EXPECT_EQ(again.customWidths[0].name, QStringLiteral("Hairline"));
    EXPECT_EQ(again.customWidths[0].listed, 1);
    EXPECT_NEAR(again.customWidths[0].value, 0.1, 1e-12);
    EXPECT_EQ(again.customSizes[0].name, QStringLiteral("Thirteen"));
    EXPECT_EQ(again.customSizes[0].value, 13);
    EXPECT_EQ(again.customShadows[0].name, QStringLiteral("Long"));
    EXPECT_EQ(again.customShadows[0].elevation, 200);
    EXPECT_EQ(again.lgtdir, 3);
}

TEST(PresetStore, LightDirectionClamped)
{
    memoryStore_t store;
    TParams p(&store);
    for (auto [given, kept] : {std::pair{-1, 0}, {2, 2}, {9, 3}}) {
        saveShadowRows(p, p.customShadows, given);
        EXPECT_EQ(p.lgtdir, kept);
    }
}

} // namespace
