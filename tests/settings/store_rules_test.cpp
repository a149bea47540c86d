// How each key of the store is read: ranges, types, preset rows taken or
// refused, packed values, and what writing deletes first.
#include "settings/params.h"

#include "model/metrics.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <numbers>

using namespace settings;

namespace {

struct fixture {
    memoryStore_t store;
    void setInt(const QString& key, const QString& name, int32_t v) { store.values[key][name] = v; }
    void setText(const QString& key, const QString& name, const QString& v) { store.values[key][name] = v; }
    void setBad(const QString& key, const QString& name) { store.values[key][name] = std::monostate{}; }
};

} // namespace

// ---- CustomSettings -------------------------------------------------------------

TEST(ReadSettings, UnitsOutOfRangeIgnored)
{
    fixture f;
    f.setInt(keyCustomSettings, "units", 4);
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.newFile.units, 3);
    EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitX, p.screenPpiX);
    for (int32_t t = 1; t <= 11; ++t) EXPECT_EQ(p.pageSets[t - 1].unit, t == 9 ? 1 : 3) << t;
}

TEST(ReadSettings, UnitsTwoChangesEveryTypeButDigitalImages)
{
    fixture f;
    f.setInt(keyCustomSettings, "units", 2);
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.newFile.units, 2);
    EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitX, p.pxPerMmX);
    EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitY, p.pxPerMmY);
    for (int32_t t = 1; t <= 11; ++t) EXPECT_EQ(p.pageSets[t - 1].unit, t == 9 ? 1 : 2) << t;
    // New preset rows take the unit as read.
    EXPECT_EQ(p.customWidths[0].units, 2);
    EXPECT_EQ(p.customPatterns[11].units, 2);
}

TEST(ReadSettings, UnitsAsTextIsTheWrongType)
{
    fixture f;
    f.setText(keyCustomSettings, "units", "2");
    f.setText(keyCustomSettings, "tsize", "20");
    f.setInt(keyCustomSettings, "tfont", 7);
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.newFile.units, 3);
    EXPECT_EQ(p.tsize, 12);
    EXPECT_EQ(p.tfont, "Arial");
}

TEST(ReadSettings, RangesOfIntegers)
{
    struct c { const char* name; int32_t stored; bool taken; };
    const c cases[] = {
        {"picndx", 7, true},  {"picndx", 8, false}, {"picndx", 0, false},
        {"expndx", 2, true},  {"expndx", 3, false},
        {"clframe", 1, true}, {"clshadw", 2, false},
        {"lgtdir", 3, true},  {"lgtdir", -1, false},
        {"frplas", 255, true}, {"poplas", 256, false},
        {"pspage", 11, true}, {"pspage", 12, false},
        {"tbold", -77, true}, {"lineColor", 0x123456, true},
    };
    for (const auto& k : cases) {
        fixture f;
        f.setInt(keyCustomSettings, k.name, k.stored);
        TParams p(&f.store);
        p.initSettings();
        p.saveAllSettings();
        int32_t written = 0;
        ASSERT_TRUE(f.store.readInt(keyCustomSettings, k.name, written)) << k.name;
        if (k.taken) EXPECT_EQ(written, k.stored) << k.name;
        else EXPECT_NE(written, k.stored) << k.name << " " << k.stored;
    }
}

TEST(ReadSettings, PackedValues)
{
    fixture f;
    f.setInt(keyCustomSettings, "toptions", 0x01000101);
    f.setInt(keyCustomSettings, "shtext", 0x7F302010);
    f.setInt(keyCustomSettings, "grid", 0b101011);
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.toptions, (std::array<uint8_t, 4>{1, 1, 0, 1}));
    EXPECT_EQ(p.shtext.elevation, 0x10);
    EXPECT_EQ(p.shtext.fade, 0x20);
    EXPECT_EQ(p.shtext.lightness, 0x30);
    EXPECT_EQ(p.newFile.showGridX, 1);
    EXPECT_EQ(p.newFile.showAnchorsX, 0);
    EXPECT_EQ(p.newFile.snapX, 1);
    EXPECT_EQ(p.newFile.showGridY, 0);
    EXPECT_EQ(p.newFile.showAnchorsY, 1);
    EXPECT_EQ(p.newFile.snapY, 1);
    p.saveAllSettings();
    int32_t v = 0;
    f.store.readInt(keyCustomSettings, "shtext", v);
    EXPECT_EQ(v, 0x302010);  // the top byte is not part of the triple
}

TEST(ReadSettings, NewFileTextsAndPageSetups)
{
    fixture f;
    f.setText(keyCustomSettings, "gridx3", "1/8");
    f.setText(keyCustomSettings, "gridy2", "garbage");
    f.setText(keyCustomSettings, "canvas13", "640");
    f.setText(keyCustomSettings, "canvas24", "420,5");
    f.setInt(keyCustomSettings, "pgseta5", 1);
    f.setInt(keyCustomSettings, "pgsetb5", 2);
    f.setInt(keyCustomSettings, "pgseta6", 0);
    f.setText(keyCustomSettings, "2pgsetf5", "300");
    f.setText(keyCustomSettings, "3pgsets11", "extra");
    f.setInt(keyCustomSettings, "2pgsetc5", 77);
    f.setInt(keyCustomSettings, "2pgsetd5", 1);
    f.setInt(keyCustomSettings, "2pgsete5", 2);  // neither 0 nor 1: ignored
    f.setInt(keyCustomSettings, "3pgsetd3", 0);
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.newFile.recInch.anchorStepXText, "1/8");
    EXPECT_DOUBLE_EQ(p.newFile.recInch.anchorStepX, 0.125);
    EXPECT_EQ(p.newFile.recMm.anchorStepYText, "garbage");
    EXPECT_DOUBLE_EQ(p.newFile.recMm.anchorStepY, 10);  // the previous number stays
    EXPECT_DOUBLE_EQ(p.newFile.recPixel.canvasWidth, 640);
    EXPECT_DOUBLE_EQ(p.newFile.recMm.canvasHeight, 420.5);
    const page::pageset_t& labels = p.pageSets[4];
    EXPECT_EQ(labels.unit, 1);
    EXPECT_EQ(labels.pageOrientation, 2);
    EXPECT_EQ(labels.measuresOf(2).paperWidth, "300");
    EXPECT_EQ(labels.measuresOf(2).presetIndex, 77);
    EXPECT_EQ(labels.measuresOf(2).rowFold, 1);
    EXPECT_EQ(labels.measuresOf(2).columnFold, 0);
    EXPECT_EQ(p.pageSets[5].unit, 3);
    EXPECT_EQ(p.pageSets[10].measuresOf(3).extraY, "extra");
    EXPECT_EQ(p.pageSets[2].measuresOf(3).columnFold, 1);  // greeting cards default column fold
    EXPECT_EQ(p.pageSets[2].measuresOf(3).rowFold, 0);
}

TEST(ReadSettings, RealsFoldersRecentFilesFont)
{
    fixture f;
    f.setText(keyCustomSettings, "lineWidth", " 0,5 ");
    f.setText(keyCustomSettings, "polywidth", "thick");
    f.setInt(keyCustomSettings, "frwidth", 3);  // an integer where a text belongs
    f.setText(keyCustomSettings, "lineDirection", "45.5");
    f.setText(keyCustomSettings, "reopen3", "/tmp/a.lmra");
    f.setText(keyCustomSettings, "docdir", "/home/u/docs");
    f.setText(keyCustomSettings, "tfont", QString(40, QLatin1Char('F')));
    f.setText(keyCustomSettings, "hints", "0");
    TParams p(&f.store);
    p.initSettings();
    EXPECT_DOUBLE_EQ(p.lineWidth, 0.5);
    EXPECT_DOUBLE_EQ(p.polywidth, 0.0);
    EXPECT_DOUBLE_EQ(p.frwidth, 0.0);
    EXPECT_DOUBLE_EQ(p.lineDirection, 45.5);
    EXPECT_EQ(p.reopen[2], "/tmp/a.lmra");
    EXPECT_TRUE(p.reopen[1].isEmpty());
    EXPECT_EQ(p.docdir, "/home/u/docs");
    EXPECT_EQ(p.tfont.size(), 32);
    EXPECT_EQ(p.hintFlags[0], 0);
    EXPECT_EQ(p.hintFlags[1], 1);
}

TEST(ReadSettings, RealsWrittenWithTheSystemSeparator)
{
    for (const char* locale : {"en_US", "de_DE"}) {
        const QLocale saved;
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        fixture f;
        f.setText(keyCustomSettings, "lineWidth", " 0,5 ");
        f.setText(keyCustomSettings, "lineOutline", "0.125");
        TParams p(&f.store);
        p.initSettings();
        EXPECT_EQ(p.numberSeparator, QLatin1Char('.'));
        p.saveAllSettings();
        const bool comma = QString::fromLatin1(locale) == "de_DE";
        EXPECT_EQ(p.numberSeparator, comma ? QLatin1Char(',') : QLatin1Char('.'));
        QString t;
        f.store.readText(keyCustomSettings, "lineWidth", t);
        EXPECT_EQ(t, comma ? "0,5" : "0.5") << locale;
        f.store.readText(keyCustomSettings, "lineOutline", t);
        EXPECT_EQ(t, comma ? "0,125" : "0.125") << locale;
        f.store.readText(keyCustomSettings, "lineDirection", t);
        EXPECT_EQ(t, "-1");
        // And read back in either locale.
        TParams q(&f.store);
        q.initSettings();
        EXPECT_DOUBLE_EQ(q.lineWidth, 0.5);
        EXPECT_DOUBLE_EQ(q.lineOutline, 0.125);
        QLocale::setDefault(saved);
    }
}

// ---- CustomWidths ------------------------------------------------------------------

namespace {
void widthRow(fixture& f, const QString& X, const QString& name, const QString& value, int32_t units)
{
    f.setText(keyCustomWidths, "name" + X, name);
    f.setText(keyCustomWidths, "value" + X, value);
    f.setInt(keyCustomWidths, "units" + X, units);
}
} // namespace

TEST(CustomWidths, RowsInPixelsMillimetresInches)
{
    fixture f;
    widthRow(f, "A", " Hairline ", " 3 ", 1);
    widthRow(f, "B", "Quarter", "1/4", 3);
    widthRow(f, "C", "Mm", "-0,7", 2);
    widthRow(f, "D", "Zero", "0", 2);           // 0 is refused
    widthRow(f, "E", "   ", "1", 2);            // blank name
    widthRow(f, "F", "Units", "1", 4);          // bad unit
    widthRow(f, "G", "Text", "abc", 2);         // does not parse
    f.setText(keyCustomWidths, "nameH", "NoUnits");
    f.setText(keyCustomWidths, "valueH", "1");
    widthRow(f, "I", "Typed", "2", 2);
    f.setText(keyCustomWidths, "unitsI", "2");  // units as text: wrong type
    widthRow(f, "L", "Inch mark", "1\"", 3);
    TParams p(&f.store);
    p.initSettings();
    const auto& w = p.customWidths;
    EXPECT_EQ(w[0].listed, 1);
    EXPECT_EQ(w[0].name, "Hairline");
    EXPECT_EQ(w[0].valueText, "3");
    EXPECT_EQ(w[0].pixels, 3);
    EXPECT_DOUBLE_EQ(w[0].value, 3 / p.pxPerMmX);
    EXPECT_EQ(w[1].listed, 1);
    EXPECT_DOUBLE_EQ(w[1].value, 6.35);
    EXPECT_EQ(w[1].pixels, model::roundHalfEven(6.35 * p.pxPerMmX));
    EXPECT_EQ(w[2].listed, 1);
    EXPECT_DOUBLE_EQ(w[2].value, 0.7);  // absolute value
    for (int i : {3, 4, 5, 6, 7, 8}) {
        EXPECT_EQ(w[i].listed, 0) << i;
        EXPECT_EQ(w[i].name, "Weight " + rowLetter(i + 1)) << i;
        EXPECT_EQ(w[i].valueText, "0") << i;
    }
    EXPECT_EQ(w[11].listed, 1);
    EXPECT_DOUBLE_EQ(w[11].value, 25.4);
}

TEST(CustomWidths, WritingDeletesUnlistedRows)
{
    fixture f;
    widthRow(f, "A", "One", "1", 2);
    widthRow(f, "B", "Two", "2", 2);
    TParams p(&f.store);
    p.initSettings();
    p.customWidths[0].listed = 0;
    p.saveAllSettings();
    EXPECT_FALSE(f.store.exists(keyCustomWidths, "nameA"));
    EXPECT_FALSE(f.store.exists(keyCustomWidths, "unitsA"));
    EXPECT_TRUE(f.store.exists(keyCustomWidths, "valueB"));
}

// ---- CustomPatterns ------------------------------------------------------------------

namespace {
void patternRow(fixture& f, const QString& X, int32_t units, std::initializer_list<const char*> segs)
{
    f.setText(keyCustomPatterns, "name" + X, "P" + X);
    f.setInt(keyCustomPatterns, "units" + X, units);
    int k = 1;
    for (const char* s : segs) f.setText(keyCustomPatterns, "value" + X + QString::number(k++), s);
}
} // namespace

TEST(CustomPatterns, AcceptedAndRejected)
{
    fixture f;
    patternRow(f, "A", 2, {"0", "1"});             // first segment 0: refused
    patternRow(f, "B", 2, {"2", "1", "", "5"});    // accepted, count 2
    patternRow(f, "C", 2, {"2"});                  // needs two segments
    patternRow(f, "D", 1, {"4", "x", "4"});        // second does not parse: refused
    patternRow(f, "E", 3, {"1/4", "1/8", "1/4", "0", "1"});
    patternRow(f, "F", 2, {"3", "2"});
    f.setInt(keyCustomPatterns, "valueF3", 5);     // present but not a text: row refused
    patternRow(f, "G", 2, {" ", "1"});             // blank first text
    TParams p(&f.store);
    p.initSettings();
    const auto& r = p.customPatterns;
    EXPECT_EQ(r[0].listed, 0);
    ASSERT_EQ(r[1].listed, 1);
    EXPECT_EQ(r[1].count, 2);
    EXPECT_DOUBLE_EQ(r[1].segments[0], 2);
    EXPECT_DOUBLE_EQ(r[1].segments[1], 1);
    EXPECT_DOUBLE_EQ(r[1].segments[2], 0);
    EXPECT_DOUBLE_EQ(r[1].segments[3], 5);
    EXPECT_EQ(r[1].segmentPixels[3], model::roundHalfEven(5 * p.pxPerMmX));
    EXPECT_EQ(r[1].segmentText[3], "5");
    EXPECT_EQ(r[1].name, "PB");
    EXPECT_EQ(r[2].listed, 0);
    EXPECT_EQ(r[3].listed, 0);
    ASSERT_EQ(r[4].listed, 1);
    EXPECT_EQ(r[4].count, 3);
    EXPECT_DOUBLE_EQ(r[4].segments[1], 25.4 / 8);
    EXPECT_DOUBLE_EQ(r[4].segments[4], 25.4);
    EXPECT_EQ(r[5].listed, 0);
    EXPECT_EQ(r[6].listed, 0);
    EXPECT_EQ(r[0].name, "Pattern A");
}

TEST(CustomPatterns, PixelsRoundedFirst)
{
    memoryStore_t store;
    TParams p(&store);
    custPatternRec_t r;
    r.units = 1;
    r.segmentText[0] = "2.6";
    r.segmentText[1] = "1";
    ASSERT_TRUE(p.checkPatternRow(r));
    EXPECT_EQ(r.segmentPixels[0], 3);
    EXPECT_DOUBLE_EQ(r.segments[0], 3 / p.pxPerMmX);
    r.segmentText[1] = "0.4";  // rounds to 0 pixels: no second segment
    EXPECT_FALSE(p.checkPatternRow(r));
}

TEST(CustomPatterns, WrittenWithAllTwelveTexts)
{
    fixture f;
    patternRow(f, "C", 2, {"2", "1"});
    TParams p(&f.store);
    p.initSettings();
    p.saveAllSettings();
    QString t = "x";
    EXPECT_TRUE(f.store.readText(keyCustomPatterns, "valueC12", t));
    EXPECT_TRUE(t.isEmpty());
    EXPECT_FALSE(f.store.exists(keyCustomPatterns, "nameA"));
}

// ---- directions, angles, sizes --------------------------------------------------------

TEST(CustomDirections, UnitsAndNormalisation)
{
    struct c { const char* text; int32_t units; bool ok; double degrees; };
    const c cases[] = {
        {"3.14159265358979", 2, true, 180}, {"-90", 1, true, 270}, {"720", 1, true, 360},
        {"360", 1, true, 360}, {"370", 1, true, 10}, {"-360", 1, true, 0}, {"0", 1, true, 0},
        {"45,5", 1, true, 45.5}, {"1/2", 1, true, 0.5}, {"x", 1, false, 0}, {"10", 3, false, 0},
        // Huge values are brought into range at once (1e300 is a multiple of 360).
        {"1e300", 1, true, 360}, {"-1e300", 1, true, 0}, {"1e20", 1, true, std::fmod(1e20, 360.0)},
    };
    for (const auto& k : cases) {
        custDirectionRec_t r;
        r.valueText = k.text;
        r.units = k.units;
        EXPECT_EQ(TParams::checkDirectionRow(r), k.ok) << k.text;
        if (k.ok) {
            EXPECT_NEAR(r.value, k.degrees, 1e-9) << k.text;
            EXPECT_GE(r.value, 0.0);
            EXPECT_LE(r.value, 360.0);
            EXPECT_FALSE(std::signbit(r.value)) << k.text;
        }
    }
}

TEST(CustomDirections, ThreeTablesReadSeparately)
{
    fixture f;
    f.setText(keyCustomDirections, "nameA", "Steep");
    f.setText(keyCustomDirections, "valueA", "-90");
    f.setInt(keyCustomDirections, "unitsA", 1);
    f.setText(keyCustomAngles, "nameB", "Half");
    f.setText(keyCustomAngles, "valueB", "3.14159265358979");
    f.setInt(keyCustomAngles, "unitsB", 2);
    f.setText(keyCustomSizes, "nameC", "Big");
    f.setText(keyCustomSizes, "valueC", "96");
    f.setInt(keyCustomSizes, "unitsC", 3);  // only 1 or 2
    f.setText(keyCustomSizes, "nameD", "Huge");
    f.setText(keyCustomSizes, "valueD", "144");
    f.setInt(keyCustomSizes, "unitsD", 1);
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.customDirections[0].listed, 1);
    EXPECT_DOUBLE_EQ(p.customDirections[0].value, 270);
    EXPECT_EQ(p.customAngles[0].listed, 0);
    EXPECT_EQ(p.customAngles[1].listed, 1);
    EXPECT_NEAR(p.customAngles[1].value, 180, 1e-9);
    EXPECT_EQ(p.customSizes[2].listed, 0);
    EXPECT_EQ(p.customSizes[3].listed, 1);
    EXPECT_DOUBLE_EQ(p.customSizes[3].value, 144);
    EXPECT_EQ(p.customSizes[3].name, "Huge");
}

// ---- shadows --------------------------------------------------------------------------

TEST(CustomShadows, PackedValues)
{
    fixture f;
    f.setInt(keyCustomShadows, "valueA", 0x01706450);
    f.setText(keyCustomShadows, "nameA", "Soft");
    f.setInt(keyCustomShadows, "valueB", 0x00706450);
    f.setInt(keyCustomShadows, "valueC", 0x02010203);  // top byte 2: not listed
    f.setInt(keyCustomShadows, "valueD", 0x01020304);
    f.setInt(keyCustomShadows, "nameD", 5);            // name present but not a text: refused
    f.setText(keyCustomShadows, "valueE", "0x01706450");  // value as text: refused
    TParams p(&f.store);
    p.initSettings();
    const auto& s = p.customShadows;
    EXPECT_EQ(s[0].elevation, 0x50);
    EXPECT_EQ(s[0].fade, 0x64);
    EXPECT_EQ(s[0].lightness, 0x70);
    EXPECT_EQ(s[0].listed, 1);
    EXPECT_EQ(s[0].name, "Soft");
    EXPECT_EQ(s[1].elevation, 0x50);
    EXPECT_EQ(s[1].listed, 0);
    EXPECT_TRUE(s[1].name.isEmpty());  // taken without a name
    EXPECT_EQ(s[2].elevation, 3);
    EXPECT_EQ(s[2].listed, 0);
    EXPECT_EQ(s[3].elevation, 85);
    EXPECT_EQ(s[3].name, "Shadow D");
    EXPECT_EQ(s[4].elevation, 85);
    p.saveAllSettings();
    int32_t v = 0;
    f.store.readInt(keyCustomShadows, "valueA", v);
    EXPECT_EQ(v, 0x01706450);
    f.store.readInt(keyCustomShadows, "valueC", v);
    EXPECT_EQ(v, 0x00010203);
}

// ---- saved colours and dialog colours ---------------------------------------------------

TEST(SavedColors, ReadReversedWithoutDuplicates)
{
    fixture f;
    f.setInt(keyCustomColors, "colorA", 0x0000FF);  // red
    f.setInt(keyCustomColors, "colorB", 0xFF0000);  // blue
    f.setInt(keyCustomColors, "colorC", 0x0000FF);  // duplicate
    f.setInt(keyCustomColors, "colorD", 0x3000000); // not a colour
    f.setText(keyCustomColors, "colorE", "123");    // wrong type
    TParams p(&f.store);
    p.initSettings();
    EXPECT_EQ(p.savedColors[0], 0xFF0000);
    EXPECT_EQ(p.savedColors[1], 0x0000FF);
    EXPECT_EQ(p.savedColors[2], -1);
    p.saveAllSettings();
    int32_t v = 0;
    EXPECT_TRUE(f.store.readInt(keyCustomColors, "colorA", v));
    EXPECT_EQ(v, 0xFF0000);
    EXPECT_FALSE(f.store.exists(keyCustomColors, "colorC"));
    EXPECT_FALSE(f.store.exists(keyCustomColors, "colorE"));
}

TEST(DialogColors, ReadAndWritten)
{
    fixture f;
    f.setText(keyDialogColors, "colorA", "00FF00");
    f.setText(keyDialogColors, "colorB", "");
    f.setText(keyDialogColors, "colorP", "FFFFFFFF");
    f.setInt(keyDialogColors, "colorC", 5);
    TParams p(&f.store);
    p.readDialogColors();
    EXPECT_EQ(p.dialogColors, (QStringList{"colorA=00FF00", "colorP=FFFFFFFF"}));
    p.dialogColors = QStringList{"colorD=ABCDEF"};
    p.writeDialogColors();
    EXPECT_FALSE(f.store.exists(keyDialogColors, "colorA"));
    EXPECT_FALSE(f.store.exists(keyDialogColors, "colorC"));
    QString t;
    EXPECT_TRUE(f.store.readText(keyDialogColors, "colorD", t));
    EXPECT_EQ(t, "ABCDEF");
    // The end of the run writes every key but this one.
    f.setText(keyDialogColors, "colorA", "keep");
    p.saveAllSettings();
    EXPECT_TRUE(f.store.exists(keyDialogColors, "colorA"));
}
