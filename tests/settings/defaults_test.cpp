// Defaults of the settings object and the operations that work on it.
#include "settings/params.h"

#include "model/metrics.h"
#include "settings/pagepresets.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace settings;

namespace {

// Runs a test with the default locale set to `name`, then restores it.
struct localeScope {
    explicit localeScope(const char* name) : saved(QLocale()) { QLocale::setDefault(QLocale(QString::fromLatin1(name))); }
    ~localeScope() { QLocale::setDefault(saved); }
    QLocale saved;
};

} // namespace

TEST(SettingsDefaults, EmptyStoreGivesTheDefaults)
{
    localeScope point("en_US");
    memoryStore_t store;
    TParams p(&store);
    p.initSettings();

    EXPECT_EQ(p.newFile.units, 3);
    EXPECT_EQ(p.screenPpiX, model::screen().screenPpiX);
    EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitX, p.screenPpiX);
    EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitY, p.screenPpiY);
    EXPECT_DOUBLE_EQ(p.pxPerMmX, p.screenPpiX / 25.4);
    EXPECT_EQ(p.newFile.angles, 1);
    EXPECT_EQ(TParams::packGridFlags(p.newFile), 54);
    EXPECT_EQ(p.lineFill, -2);
    EXPECT_DOUBLE_EQ(p.lineDirection, -1.0);
    EXPECT_EQ(p.polyfill, -1);
    EXPECT_EQ(p.polysides, 5);
    EXPECT_DOUBLE_EQ(p.roundness, 0.27614237);
    EXPECT_EQ(p.tfont, "Arial");
    EXPECT_EQ(p.tsize, 12);
    EXPECT_EQ(p.tsizetab, 4);
    EXPECT_EQ(p.tbold, 400);
    EXPECT_EQ(p.toptions, (std::array<uint8_t, 4>{0, 0, 0, 1}));
    EXPECT_EQ(p.fontQuality, 2);
    EXPECT_EQ(p.tangle, -10);
    EXPECT_EQ(p.tdir, -1);
    EXPECT_EQ(p.pspage, 1);
    EXPECT_EQ(p.picndx, 1);
    EXPECT_EQ(p.expndx, 1);
    EXPECT_EQ(p.docdir, "\\My Documents");
    EXPECT_EQ(p.picidr, "\\My Documents\\My Pictures");
    EXPECT_EQ(p.hintText(), QString(42, QLatin1Char('1')));
    for (int32_t c : p.savedColors) EXPECT_EQ(c, -1);
    for (const QString& r : p.reopen) EXPECT_TRUE(r.isEmpty());

    // The three unit records, with their texts.
    EXPECT_EQ(p.newFile.recInch.anchorStepXText, "0.25");
    EXPECT_DOUBLE_EQ(p.newFile.recInch.anchorStepX, 0.25);
    EXPECT_DOUBLE_EQ(p.newFile.recInch.canvasLeft, 0.2);
    EXPECT_DOUBLE_EQ(p.newFile.recInch.canvasWidth, 8.5);
    EXPECT_DOUBLE_EQ(p.newFile.recInch.canvasHeight, 11);
    EXPECT_DOUBLE_EQ(p.newFile.recMm.anchorStepY, 10);
    EXPECT_DOUBLE_EQ(p.newFile.recMm.canvasHeight, 297);
    EXPECT_DOUBLE_EQ(p.newFile.recPixel.anchorStepX, 25);
    EXPECT_DOUBLE_EQ(p.newFile.recPixel.canvasLeft, 50);
    EXPECT_DOUBLE_EQ(p.newFile.recPixel.canvasWidth, 400);
    EXPECT_EQ(p.newFile.recPixel.canvasText.height, "200");

    for (int32_t t = 1; t <= 11; ++t) EXPECT_EQ(p.pageSets[t - 1], page::defaultPageSetup(t, 3)) << t;

    // Preset rows: named, unlisted.
    for (int32_t i = 0; i < 12; ++i) {
        const QString X = rowLetter(i + 1);
        EXPECT_EQ(p.customWidths[i].name, "Weight " + X);
        EXPECT_EQ(p.customWidths[i].valueText, "0");
        EXPECT_EQ(p.customWidths[i].units, 3);
        EXPECT_EQ(p.customWidths[i].listed, 0);
        EXPECT_EQ(p.customPatterns[i].name, "Pattern " + X);
        EXPECT_EQ(p.customPatterns[i].segmentText[0], "0");
        EXPECT_TRUE(p.customPatterns[i].segmentText[1].isEmpty());
        EXPECT_EQ(p.customPatterns[i].listed, 0);
        EXPECT_EQ(p.customDirections[i].name, "Angle " + X);
        EXPECT_EQ(p.customAngles[i].name, "Angle " + X);
        EXPECT_EQ(p.customSizes[i].name, "Size " + X);
        EXPECT_EQ(p.customSizes[i].units, 1);
        EXPECT_TRUE(p.customSizes[i].valueText.isEmpty());
        EXPECT_EQ(p.customShadows[i].name, "Shadow " + X);
        EXPECT_EQ(p.customShadows[i].elevation, 85);
        EXPECT_EQ(p.customShadows[i].fade, 85);
        EXPECT_EQ(p.customShadows[i].lightness, 85);
        EXPECT_EQ(p.customShadows[i].listed, 0);
    }
}

TEST(SettingsDefaults, WritingAnEmptyStoreGivesGrid54)
{
    memoryStore_t store;
    TParams p(&store);
    p.initSettings();
    ASSERT_TRUE(p.saveAllSettings());
    int32_t grid = 0;
    ASSERT_TRUE(store.readInt(keyCustomSettings, "grid", grid));
    EXPECT_EQ(grid, 54);
    int32_t toptions = 0;
    ASSERT_TRUE(store.readInt(keyCustomSettings, "toptions", toptions));
    EXPECT_EQ(toptions, 0x01000000);
    // No listed rows: nothing written for them; shadows always written.
    EXPECT_TRUE(store.values.value(keyCustomWidths).isEmpty());
    EXPECT_TRUE(store.values.value(keyCustomColors).isEmpty());
    EXPECT_EQ(store.values.value(keyCustomShadows).size(), 24);
    int32_t shadow = 0;
    ASSERT_TRUE(store.readInt(keyCustomShadows, "valueL", shadow));
    EXPECT_EQ(shadow, 0x555555);
    // All 3 x 11 page-setup records, empty texts included.
    QString text;
    EXPECT_TRUE(store.readText(keyCustomSettings, "2pgsetr9", text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(store.readText(keyCustomSettings, "3pgsetf1", text));
    EXPECT_EQ(text, "8 1/2");
    EXPECT_TRUE(store.readText(keyCustomSettings, "reopen16", text));
    EXPECT_FALSE(store.exists(keyDialogColors, "colorA"));
}

TEST(SettingsDefaults, DefaultTextsUseTheSystemSeparator)
{
    localeScope comma("de_DE");
    memoryStore_t store;
    TParams p(&store);
    p.initSettings();
    EXPECT_EQ(p.newFile.recInch.anchorStepXText, "0,25");
    EXPECT_EQ(p.newFile.recInch.canvasText.left, "0,2");
    EXPECT_EQ(p.newFile.recInch.canvasText.width, "8,5");
    EXPECT_DOUBLE_EQ(p.newFile.recInch.anchorStepX, 0.25);
    EXPECT_DOUBLE_EQ(p.newFile.recInch.canvasWidth, 8.5);
}

// ---- operations ---------------------------------------------------------------

TEST(SettingsOps, UnitScaleAndNames)
{
    memoryStore_t store;
    TParams p(&store);
    const unitScale_t px = p.unitScale(1), mm = p.unitScale(2), in = p.unitScale(3);
    EXPECT_EQ(px.unit, 1);
    EXPECT_DOUBLE_EQ(px.pxPerUnitX, 1.0);
    EXPECT_EQ(mm.unit, 2);
    EXPECT_DOUBLE_EQ(mm.pxPerUnitX, p.pxPerMmX);
    EXPECT_DOUBLE_EQ(mm.pxPerUnitY, p.pxPerMmY);
    EXPECT_DOUBLE_EQ(in.pxPerUnitY, p.screenPpiY);
    EXPECT_EQ(TParams::unitName(1), "Pixels");
    EXPECT_EQ(TParams::unitName(2), "Millimeters");
    EXPECT_EQ(TParams::unitName(3), "Inches");
    EXPECT_TRUE(TParams::unitName(0).isEmpty());
}

TEST(SettingsOps, GridFlagsBitByBit)
{
    struct c { int32_t bits; uint8_t gx, ax, sx, gy, ay, sy; };
    const c cases[] = {
        {32, 1, 0, 0, 0, 0, 0}, {16, 0, 1, 0, 0, 0, 0}, {8, 0, 0, 1, 0, 0, 0},
        {4, 0, 0, 0, 1, 0, 0},  {2, 0, 0, 0, 0, 1, 0},  {1, 0, 0, 0, 0, 0, 1},
        {63, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0},  {54, 1, 1, 0, 1, 1, 0},
    };
    for (const auto& k : cases) {
        defaults_t d;
        TParams::unpackGridFlags(k.bits | 0x40 /* ignored */, d);
        EXPECT_EQ(d.showGridX, k.gx) << k.bits;
        EXPECT_EQ(d.showAnchorsX, k.ax) << k.bits;
        EXPECT_EQ(d.snapX, k.sx) << k.bits;
        EXPECT_EQ(d.showGridY, k.gy) << k.bits;
        EXPECT_EQ(d.showAnchorsY, k.ay) << k.bits;
        EXPECT_EQ(d.snapY, k.sy) << k.bits;
        EXPECT_EQ(TParams::packGridFlags(d), k.bits);
    }
}

TEST(SettingsOps, HintFlags)
{
    memoryStore_t store;
    TParams p(&store);
    p.setHintFlags("10");
    EXPECT_EQ(p.hintFlags[0], 1);
    EXPECT_EQ(p.hintFlags[1], 0);
    for (int k = 2; k < 42; ++k) EXPECT_EQ(p.hintFlags[k], 1) << k;
    EXPECT_EQ(p.hintText(), "10" + QString(40, QLatin1Char('1')));
    // "1" never sets a flag again; other characters leave it; blanks trimmed.
    p.setHintFlags("  1x0 ");
    EXPECT_EQ(p.hintFlags[1], 0);
    EXPECT_EQ(p.hintFlags[2], 0);
    // Characters after the 42nd are ignored.
    p.setHintFlags(QString(42, QLatin1Char('1')) + "000");
    EXPECT_EQ(p.hintText().size(), 42);
}

TEST(SettingsOps, ParseStoredReal)
{
    memoryStore_t store;
    TParams p(&store);
    struct c { const char* text; double value; };
    const c cases[] = {
        {" 0,5 ", 0.5}, {"0.5", 0.5}, {"letters", 0.0}, {"", 0.0}, {"  ", 0.0},
        {"1 234,5", 1234.5}, {"-2,25", -2.25}, {"1,2,3", 0.0}, {"inf", 0.0}, {"nan", 0.0},
        {"1e400", 0.0},
    };
    for (const auto& k : cases) EXPECT_DOUBLE_EQ(p.parseStoredReal(k.text), k.value) << k.text;
    EXPECT_EQ(p.numberSeparator, QLatin1Char('.'));
}

TEST(SettingsOps, RememberColor)
{
    memoryStore_t store;
    TParams p(&store);
    p.rememberColor(0x0000FF);
    p.rememberColor(0xFF0000);
    p.rememberColor(0x0000FF);   // already there
    p.rememberColor(0x3000000);  // not a colour
    p.rememberColor(-5);
    EXPECT_EQ(p.savedColors[0], 0xFF0000);
    EXPECT_EQ(p.savedColors[1], 0x0000FF);
    EXPECT_EQ(p.savedColors[2], -1);
    for (int32_t c = 1; c <= 12; ++c) p.rememberColor(c);
    EXPECT_EQ(p.savedColors[0], 12);
    EXPECT_EQ(p.savedColors[11], 1);  // the two first ones were pushed out
    p.rememberColor(0x2FFFFFF);
    EXPECT_EQ(p.savedColors[0], 0x2FFFFFF);
}

TEST(SettingsOps, KeepKnownColor)
{
    memoryStore_t store;
    TParams p(&store);
    p.dialogColors = QStringList{"colorA=123456", "colorB=FFFFFFFF", "colorC=zz"};
    p.savedColors[0] = 0x0A0B0C;
    EXPECT_EQ(p.keepKnownColor(0x808000, 0x111111), 0x808000);  // standard teal
    EXPECT_EQ(p.keepKnownColor(0x123456, 0x111111), 0x123456);  // dialog colour
    EXPECT_EQ(p.keepKnownColor(0x0A0B0C, 0x111111), 0x0A0B0C);  // saved colour
    EXPECT_EQ(p.keepKnownColor(0x654321, 0x111111), 0x111111);  // unknown: the fallback
    EXPECT_EQ(p.keepKnownColor(0x654321, -1), -1);               // "no fill" is a fallback too
    EXPECT_EQ(p.keepKnownColor(0x654321, 0x3000000), 0x654321);  // fallback too large
    // "FFFFFFFF" marks an empty dialog slot, not a colour.
    for (int32_t i = 0; i < 12; ++i) p.savedColors[i] = 0x100 + i;
    EXPECT_EQ(p.keepKnownColor(int32_t(0xFFFFFFFF), 0x111111), 0x111111);
}

TEST(SettingsOps, DefaultsFromAndToDocument)
{
    memoryStore_t store;
    TParams p(&store);
    p.initSettings();
    model::headerBody_t h{};
    h.unit = 2;
    h.pxPerUnitX = 3.5;
    h.pxPerUnitY = 4.5;
    h.angles = 2;
    h.canvasLeft = 12.5;
    h.canvasTop = 7;
    h.canvasWidth = 100.25;
    h.canvasHeight = 50;
    h.anchorStepX = 2.5;
    h.anchorStepY = 0.1;
    h.showGridX = 0; h.showGridY = 1; h.snapX = 1; h.snapY = 0; h.showAnchorsX = 0; h.showAnchorsY = 1;
    const defaults_t d = p.defaultsFromDocument(h);
    EXPECT_EQ(d.units, 2);
    EXPECT_DOUBLE_EQ(d.pxPerUnitX, 3.5);
    EXPECT_EQ(d.angles, 2);
    EXPECT_DOUBLE_EQ(d.recMm.canvasLeft, 12.5);
    EXPECT_EQ(d.recMm.canvasText.left, "12.5");
    EXPECT_EQ(d.recMm.canvasText.width, "100.25");
    EXPECT_EQ(d.recMm.anchorStepYText, "0.1");
    EXPECT_EQ(d.recInch, p.newFile.recInch);  // other units untouched
    EXPECT_EQ(d.snapX, 1);
    EXPECT_EQ(d.showGridX, 0);
    EXPECT_EQ(p.newFile.units, 3);  // the settings themselves unchanged

    model::headerBody_t back{};
    TParams::defaultsToDocument(d, back);
    EXPECT_EQ(back.unit, 2);
    EXPECT_DOUBLE_EQ(back.pxPerUnitY, 4.5);
    EXPECT_EQ(back.angles, 2);
    EXPECT_DOUBLE_EQ(back.canvasWidth, 100.25);
    EXPECT_DOUBLE_EQ(back.anchorStepY, 0.1);
    EXPECT_EQ(back.showAnchorsY, 1);
    EXPECT_EQ(back.snapX, 1);
    // Texts typed as fractions parse into the numbers that go to a document.
    defaults_t typed = p.newFile;
    typed.recInch.canvasText.width = "8 1/2";  // not a plain measure
    typed.recInch.canvasText.height = "1/2";
    TParams::parseDefaultsTexts(typed);
    EXPECT_DOUBLE_EQ(typed.recInch.canvasWidth, 8.5);  // did not parse: the old number stays
    EXPECT_DOUBLE_EQ(typed.recInch.canvasHeight, 0.5);
}
