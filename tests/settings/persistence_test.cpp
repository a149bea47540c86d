// Whole-store behaviour: a customised settings object survives writing and
// reading back, in memory and in the INI file; damaged, unreadable and
// unwritable stores leave the defaults and never crash; writing replaces
// the file in one step; the command-line tool prints the effective settings.
#include "settings/dump.h"
#include "settings/firstsetup.h"
#include "settings/params.h"

#include "settings/pagepresets.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace settings;

namespace {

// Every stored setting changed from its default.
void customise(TParams& p)
{
    p.lineColor = 0x112233;
    p.lineWidth = 0.35;
    p.linePattern = 7;
    p.lineFill = 0x445566;
    p.lineDirection = 22.5;
    p.lineOutline = 1.25;
    p.lineWidthTab = 3;
    p.lineDirectionTab = 4;
    p.lineOutlineTab = 5;
    p.linePatternTab = 2;
    p.polycolor = 0x0000FF;
    p.polyfill = -2;
    p.polywidth = 2.5;
    p.polytab = 6;
    p.polysides = 9;
    p.polyshape = 1;
    p.polystate = 2;
    p.bpolyshape = 3;
    p.bpolystate = 1;
    p.tcolor = 0x00FF00;
    p.tfont = QStringLiteral("Liberation Serif");
    p.tcharset = 238;
    p.tsize = 36;
    p.tsizetab = 13;
    p.tbold = 700;
    p.toptions = {1, 0, 1, 2};
    p.tangle = 450;
    p.tangletab = 2;
    p.tdir = 3;
    p.shpict = {10, 20, 30};
    p.shtext = {40, 50, 60};
    p.shpoly = {255, 0, 128};
    p.frplas = 1;
    p.liplas = 2;
    p.txplas = 127;
    p.poplas = 255;
    p.clframe = 1;
    p.clshadw = 1;
    p.frcolor = 0x808080;
    p.frwidth = 0.75;
    p.lgtdir = 3;

    p.newFile.units = 2;
    const unitScale_t u = p.unitScale(2);
    p.newFile.pxPerUnitX = u.pxPerUnitX;
    p.newFile.pxPerUnitY = u.pxPerUnitY;
    p.newFile.angles = 2;
    p.newFile.showGridX = 0;
    p.newFile.snapX = 1;
    p.newFile.snapY = 1;
    p.newFile.showAnchorsY = 0;
    p.newFile.recMm.anchorStepXText = QStringLiteral("5");
    p.newFile.recMm.canvasText.width = QStringLiteral("297");
    p.newFile.recMm.canvasText.height = QStringLiteral("210");
    p.newFile.recInch.anchorStepYText = QStringLiteral("1/8");
    p.newFile.recPixel.canvasText.left = QStringLiteral("0");
    TParams::parseDefaultsTexts(p.newFile);

    for (int32_t t = 1; t <= 11; ++t) {
        page::pageset_t& s = p.pageSets[t - 1];
        s.unit = t == 9 ? 1 : 2;
        s.pageOrientation = t % 2 ? 2 : 1;
        s.measuresOf(1).paperWidth = QString::number(100 + t);
        s.measuresOf(2).extraX = QStringLiteral("x%1").arg(t);
        s.measuresOf(2).presetIndex = -1;
        s.measuresOf(3).marginLeft = QStringLiteral("1 1/%1").arg(t + 1);
        s.measuresOf(3).rowFold = 1;
        s.measuresOf(3).columnFold = 1;
    }
    p.pspage = 10;
    for (int32_t i = 0; i < reopenCount; i += 3) p.reopen[i] = QStringLiteral("/docs/file %1.lmra").arg(i);
    p.docdir = QStringLiteral("/home/user/Designs");
    p.picidr = QStringLiteral("/home/user/Pictures");
    p.expdir = QStringLiteral("/tmp/export, with comma; and semicolon = sign");
    p.picndx = 7;
    p.expndx = 2;
    p.hintFlags[0] = 0;
    p.hintFlags[41] = 0;
    p.hintFlags[17] = 0;
    // Saved colours come back in reverse order; see SavedColors tests.
    p.savedColors.fill(-1);
    p.rememberColor(0x010203);
    p.rememberColor(0x2FFFFFF);

    auto& w = p.customWidths[4];
    w.name = QStringLiteral("Fine");
    w.valueText = QStringLiteral("1 1/2");
    w.units = 1;
    w.valueText = QStringLiteral("2");
    ASSERT_TRUE(p.checkWidthRow(w));
    w.listed = 1;
    auto& w2 = p.customWidths[11];
    w2.name = QStringLiteral("Quarter inch");
    w2.valueText = QStringLiteral("1/4");
    w2.units = 3;
    ASSERT_TRUE(p.checkWidthRow(w2));
    w2.listed = 1;

    auto& pt = p.customPatterns[0];
    pt.name = QStringLiteral("Morse");
    pt.units = 2;
    pt.segmentText = {"3", "1", "1", "1", "", "2"};
    ASSERT_TRUE(p.checkPatternRow(pt));
    pt.listed = 1;

    auto& d = p.customDirections[2];
    d.name = QStringLiteral("Slope");
    d.valueText = QStringLiteral("-30");
    d.units = 1;
    ASSERT_TRUE(TParams::checkDirectionRow(d));
    d.listed = 1;
    auto& a = p.customAngles[7];
    a.name = QStringLiteral("Quarter turn");
    a.valueText = QStringLiteral("1,5707963267949");
    a.units = 2;
    ASSERT_TRUE(TParams::checkDirectionRow(a));
    a.listed = 1;
    auto& z = p.customSizes[0];
    z.name = QStringLiteral("Poster");
    z.valueText = QStringLiteral("96");
    z.units = 1;
    ASSERT_TRUE(TParams::checkDirectionRow(z));
    z.listed = 1;

    p.customShadows[1] = custShadowRec_t{QStringLiteral("Deep"), 200, 100, 50, 0, 0, 1};
    p.customShadows[2] = custShadowRec_t{QString(), 1, 2, 3, 0, 0, 0};

    // Rows that are not stored start the next run in the new-file units.
    for (auto& r : p.customWidths)
        if (!r.listed) r.units = p.newFile.units;
    for (auto& r : p.customPatterns)
        if (!r.listed) r.units = p.newFile.units;
    for (auto* t : {&p.customDirections, &p.customAngles, &p.customSizes})
        for (auto& r : *t)
            if (!r.listed) r.units = p.newFile.angles;
}

std::string jsonText(const TParams& p)
{
    return QJsonDocument(settingsJson(p)).toJson(QJsonDocument::Indented).toStdString();
}

// The stored part of two settings objects is the same.
void expectSameStored(const TParams& a, const TParams& b)
{
    EXPECT_EQ(jsonText(a), jsonText(b));
    // The JSON covers every stored field; these catch a dump that forgot one.
    EXPECT_EQ(a.pageSets, b.pageSets);
    EXPECT_EQ(a.newFile, b.newFile);
    EXPECT_EQ(a.customWidths, b.customWidths);
    EXPECT_EQ(a.customPatterns, b.customPatterns);
    EXPECT_EQ(a.customDirections, b.customDirections);
    EXPECT_EQ(a.customAngles, b.customAngles);
    EXPECT_EQ(a.customSizes, b.customSizes);
    EXPECT_EQ(a.customShadows, b.customShadows);
    EXPECT_EQ(a.reopen, b.reopen);
    EXPECT_EQ(a.toptions, b.toptions);
    EXPECT_EQ(a.shpoly, b.shpoly);
}

void reverseSaved(TParams& p)
{
    std::array<int32_t, savedColorCount> r;
    r.fill(-1);
    int32_t n = 0;
    for (int32_t c : p.savedColors)
        if (c != -1) ++n;
    for (int32_t i = 0; i < n; ++i) r[i] = p.savedColors[n - 1 - i];
    p.savedColors = r;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

TEST(RoundTrip, CustomisedSettingsInMemory)
{
    memoryStore_t store;
    TParams a(&store);
    a.initSettings();
    customise(a);
    ASSERT_TRUE(a.saveAllSettings());
    TParams b(&store);
    b.initSettings();
    reverseSaved(a);
    expectSameStored(a, b);
    EXPECT_NE(settingsJson(b), [] {
        memoryStore_t empty;
        TParams d(&empty);
        d.initSettings();
        return settingsJson(d);
    }());
}

TEST(RoundTrip, CustomisedSettingsInTheIniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Velantis.ini");
    memoryStore_t unused;
    TParams expected(&unused);
    expected.initSettings();
    customise(expected);
    {
        iniStore_t store(path);
        TParams w(&store);
        w.initSettings();
        customise(w);
        ASSERT_TRUE(w.saveAllSettings());
    }
    iniStore_t store(path);
    ASSERT_TRUE(store.readable());
    TParams b(&store);
    b.initSettings();
    reverseSaved(expected);
    expectSameStored(expected, b);
    // Second generation: what was read, written and read again is the same.
    ASSERT_TRUE(b.saveAllSettings());
    iniStore_t again(path);
    TParams d(&again);
    d.initSettings();
    reverseSaved(d);
    expectSameStored(b, d);
}

TEST(IniStore, TypesSurviveTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    {
        iniStore_t s(path);
        s.writeInt("K", "n", -5);
        s.writeInt("K", "big", INT32_MIN);
        s.writeText("K", "looksLikeInt", "dword:0000002a");
        s.writeText("K", "prefixed", "sz:abc");
        s.writeText("K", "digits", "42");
        s.writeText("K", "comma", " 0,5 ");
        s.writeText("K", "unicode", QString::fromUtf8("Grüße ×"));
        s.writeText("K", "empty", "");
        s.writeText("K", "at", "@Variant(x)");
        ASSERT_TRUE(s.commit());
    }
    iniStore_t s(path);
    int32_t i = 0;
    QString t;
    EXPECT_TRUE(s.readInt("K", "n", i));
    EXPECT_EQ(i, -5);
    EXPECT_TRUE(s.readInt("K", "big", i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_FALSE(s.readText("K", "n", t));
    EXPECT_FALSE(s.readInt("K", "looksLikeInt", i));
    EXPECT_TRUE(s.readText("K", "looksLikeInt", t));
    EXPECT_EQ(t, "dword:0000002a");
    EXPECT_TRUE(s.readText("K", "prefixed", t));
    EXPECT_EQ(t, "sz:abc");
    EXPECT_FALSE(s.readInt("K", "digits", i));
    EXPECT_TRUE(s.readText("K", "digits", t));
    EXPECT_EQ(t, "42");
    EXPECT_TRUE(s.readText("K", "comma", t));
    EXPECT_EQ(t, " 0,5 ");
    EXPECT_TRUE(s.readText("K", "unicode", t));
    EXPECT_EQ(t, QString::fromUtf8("Grüße ×"));
    EXPECT_TRUE(s.readText("K", "empty", t));
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(s.readText("K", "at", t));
    EXPECT_EQ(t, "@Variant(x)");
    EXPECT_FALSE(s.exists("K", "missing"));
}

TEST(IniStore, ValuesOfOthersSurviveASave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    {
        iniStore_t s(path);
        s.writeInt(keyCustomSettings, "sub", 164);
        s.writeInt(keyCustomSettings, "pac", 6);
        ASSERT_TRUE(s.commit());
    }
    {
        iniStore_t s(path);
        TParams p(&s);
        p.initSettings();
        ASSERT_TRUE(p.saveAllSettings());
    }
    iniStore_t s(path);
    int32_t v = 0;
    EXPECT_TRUE(s.readInt(keyCustomSettings, "pac", v));
    EXPECT_EQ(v, 6);
}

// ---- damaged stores ---------------------------------------------------------------

TEST(DamagedStore, GarbageWhereIntegersBelong)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    ASSERT_TRUE(writeFile(path,
        "[Software]\n"
        "Velantis\\CustomSettings\\units=abc\n"
        "Velantis\\CustomSettings\\tsize=dword:zz\n"
        "Velantis\\CustomSettings\\tbold=dword:123456789\n"
        "Velantis\\CustomSettings\\picndx=dword:00000009\n"
        "Velantis\\CustomSettings\\grid=54x\n"
        "Velantis\\CustomSettings\\pspage=\n"
        "Velantis\\CustomSettings\\lineWidth=dword:00000001\n"
        "Velantis\\CustomSettings\\polysides=dword:00000007\n"
        "Velantis\\CustomWidths\\nameA=A\n"
        "Velantis\\CustomWidths\\valueA=1\n"
        "Velantis\\CustomWidths\\unitsA=two\n"
        "Velantis\\CustomShadows\\valueA=zz\n"
        "Velantis\\CustomColors\\colorA=red\n"
        "garbage line without equals\n"
        "=\n[\n"));
    iniStore_t store(path);
    TParams p(&store);
    p.initSettings();
    memoryStore_t empty;
    TParams d(&empty);
    d.initSettings();
    d.polysides = 7;  // the one good value
    EXPECT_EQ(jsonText(p), jsonText(d));
}

TEST(DamagedStore, HandEditedCommasAndBlanks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    ASSERT_TRUE(writeFile(path,
        "[Software]\n"
        "Velantis\\CustomSettings\\lineWidth=0,5\n"
        "Velantis\\CustomSettings\\gridx2=2,5\n"
        "Velantis\\CustomSettings\\docdir=/a, b\n"));
    iniStore_t store(path);
    TParams p(&store);
    p.initSettings();
    EXPECT_DOUBLE_EQ(p.lineWidth, 0.5);
    EXPECT_DOUBLE_EQ(p.newFile.recMm.anchorStepX, 2.5);
    EXPECT_TRUE(p.docdir.startsWith("/a,")) << p.docdir.toStdString();
}

TEST(DamagedStore, TruncatedFileNeverCrashes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    {
        iniStore_t s(path);
        TParams w(&s);
        w.initSettings();
        customise(w);
        ASSERT_TRUE(w.saveAllSettings());
    }
    const QByteArray full = readAll(path);
    ASSERT_GT(full.size(), 1000);
    for (qsizetype cut : {qsizetype(1), qsizetype(17), full.size() / 3, full.size() / 2, full.size() - 5}) {
        ASSERT_TRUE(writeFile(path, full.left(cut)));
        iniStore_t s(path);
        TParams p(&s);
        p.initSettings();
        EXPECT_GE(p.newFile.units, 1);
        EXPECT_LE(p.newFile.units, 3);
        EXPECT_GE(p.pspage, 1);
        EXPECT_LE(p.pspage, 11);
        for (const auto& r : p.customWidths) {
            if (r.listed) {
                EXPECT_GT(r.value, 0.0);
            }
        }
        EXPECT_TRUE(p.saveAllSettings());  // a damaged store is replaced by a sound one
        iniStore_t again(path);
        TParams q(&again);
        q.initSettings();
        reverseSaved(q);
        expectSameStored(p, q);
    }
}

TEST(DamagedStore, BinaryNoise)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    QByteArray noise;
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        noise.append(char(x >> 16));
    }
    ASSERT_TRUE(writeFile(path, noise));
    iniStore_t s(path);
    TParams p(&s);
    p.initSettings();
    EXPECT_EQ(p.newFile.units, 3);
    EXPECT_EQ(p.tfont, "Arial");
}

TEST(DamagedStore, HugeFileIsNotLoaded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(64LL * 1024 * 1024));  // sparse
    }
    iniStore_t s(path);
    EXPECT_FALSE(s.readable());
    TParams p(&s);
    p.initSettings();
    EXPECT_EQ(p.tsize, 12);
    EXPECT_FALSE(p.saveAllSettings());
    EXPECT_EQ(QFileInfo(path).size(), 64LL * 1024 * 1024);
}

TEST(DamagedStore, UnreadablePathGivesDefaultsAndIsNotOverwritten)
{
    QTemporaryDir dir;
    // The store's name is taken by a folder: nothing can be read or written.
    const QString path = dir.filePath("Velantis.ini");
    ASSERT_TRUE(QDir().mkpath(path));
    iniStore_t s(path);
    EXPECT_FALSE(s.readable());
    TParams p(&s);
    p.initSettings();
    EXPECT_EQ(p.newFile.units, 3);
    customise(p);
    EXPECT_FALSE(p.saveAllSettings());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(DamagedStore, FolderThatCannotBeCreated)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath("file");
    ASSERT_TRUE(writeFile(blocker, "x"));
    iniStore_t s(blocker + "/Velantis/Velantis.ini");
    TParams p(&s);
    p.initSettings();
    EXPECT_EQ(p.pspage, 1);
    EXPECT_FALSE(p.saveAllSettings());
    EXPECT_EQ(readAll(blocker), "x");
}

TEST(DamagedStore, BrokenKeysAreSkippedAsAWhole)
{
    memoryStore_t store;
    store.values[keyCustomSettings]["tsize"] = 30;
    store.values[keyCustomWidths]["nameA"] = QString("W");
    store.values[keyCustomWidths]["valueA"] = QString("2");
    store.values[keyCustomWidths]["unitsA"] = 2;
    store.brokenKeys.insert(keyCustomWidths);
    store.readOnlyKeys.insert(keyCustomShadows);
    TParams p(&store);
    p.initSettings();
    EXPECT_EQ(p.tsize, 30);
    EXPECT_EQ(p.customWidths[0].listed, 0);
    p.tsize = 31;
    EXPECT_TRUE(p.saveAllSettings());  // failed writes are skipped, the rest goes on
    int32_t v = 0;
    EXPECT_TRUE(store.readInt(keyCustomSettings, "tsize", v));
    EXPECT_EQ(v, 31);
    EXPECT_FALSE(store.values.contains(keyCustomShadows));
}

// ---- writing in one step -------------------------------------------------------------

TEST(AtomicWrite, FailedWriteLeavesThePreviousStore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    {
        iniStore_t s(path);
        TParams w(&s);
        w.initSettings();
        w.tsize = 44;
        ASSERT_TRUE(w.saveAllSettings());
    }
    const QByteArray before = readAll(path);
    // Block the temporary file the next write would use.
    const QString tmp = path + QStringLiteral(".tmp%1").arg(::getpid());
    ASSERT_TRUE(QDir().mkpath(tmp + "/sub"));
    {
        iniStore_t s(path);
        TParams w(&s);
        w.initSettings();
        w.tsize = 55;
        EXPECT_FALSE(w.saveAllSettings());
    }
    EXPECT_EQ(readAll(path), before);
    iniStore_t s(path);
    TParams r(&s);
    r.initSettings();
    EXPECT_EQ(r.tsize, 44);
}

TEST(AtomicWrite, TheFileIsReplacedNotRewritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Velantis.ini");
    {
        iniStore_t s(path);
        TParams w(&s);
        w.initSettings();
        ASSERT_TRUE(w.saveAllSettings());
    }
    struct stat a{}, b{};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &a), 0);
    {
        iniStore_t s(path);
        TParams w(&s);
        w.initSettings();
        ASSERT_TRUE(w.saveAllSettings());
    }
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &b), 0);
    // A new file took the old one's name; a reader never sees a half-written one.
    EXPECT_NE(a.st_ino, b.st_ino);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

// ---- the command-line tool -------------------------------------------------------------

namespace {
QJsonObject cliJson(const QString& configDir, int* exitCode = nullptr)
{
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LUMORA_CONFIG_DIR", configDir);
    env.insert("LUMORA_SCREEN_PPI", "96");
    proc.setProcessEnvironment(env);
    proc.start(LUMORA_CLI, {"settings", "--json"});
    proc.waitForFinished(60000);
    if (exitCode) *exitCode = proc.exitCode();
    return QJsonDocument::fromJson(proc.readAllStandardOutput()).object();
}
} // namespace

TEST(CliSettings, EmptyFolderPrintsExactlyTheDefaults)
{
    QTemporaryDir dir;
    int code = -1;
    const QJsonObject printed = cliJson(dir.path(), &code);
    EXPECT_EQ(code, 0);
    ASSERT_FALSE(printed.isEmpty());
    memoryStore_t empty;
    TParams d(&empty);
    d.initSettings();
    EXPECT_EQ(printed, settingsJson(d));
    EXPECT_EQ(printed["newFile"].toObject()["grid"].toInt(), 54);
    EXPECT_EQ(printed["pageSets"].toArray().size(), 11);
    EXPECT_EQ(printed["customShadows"].toArray().size(), 12);
    EXPECT_EQ(printed["pageSets"].toArray()[4].toObject()["inches"].toObject()["cardWidth"].toString(), "2");
    EXPECT_FALSE(QFile::exists(dir.filePath("Velantis.ini")));  // printing writes nothing
}

TEST(CliSettings, WriteDefaultsThenPrintGivesTheSame)
{
    QTemporaryDir dir;
    const QJsonObject before = cliJson(dir.path());
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LUMORA_CONFIG_DIR", dir.path());
    proc.setProcessEnvironment(env);
    proc.start(LUMORA_CLI, {"settings", "--write-defaults"});
    proc.waitForFinished(60000);
    EXPECT_EQ(proc.exitCode(), 0);
    const QString path = dir.filePath("Velantis.ini");
    ASSERT_TRUE(QFile::exists(path));
    iniStore_t s(path);
    int32_t grid = 0;
    EXPECT_TRUE(s.readInt(keyCustomSettings, "grid", grid));
    EXPECT_EQ(grid, 54);
    EXPECT_TRUE(s.exists(keyCustomSettings, "3pgsets11"));
    EXPECT_TRUE(s.exists(keyCustomShadows, "valueL"));
    EXPECT_EQ(cliJson(dir.path()), before);
}

// --unit answers the first-start question in the store it writes: the
// editor started on it asks nothing and uses that unit; a bad unit or --unit
// alone is a usage error.
TEST(CliSettings, WriteDefaultsWithAUnitCompletesTheFirstStart)
{
    struct unitCase {
        const char* unit;
        int32_t stored;
    };
    for (const unitCase c : {unitCase{"mm", 2}, unitCase{"in", 3}}) {
        SCOPED_TRACE(c.unit);
        QTemporaryDir dir;
        QProcess proc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LUMORA_CONFIG_DIR", dir.path());
        proc.setProcessEnvironment(env);
        proc.start(LUMORA_CLI, {"settings", "--write-defaults", "--unit", c.unit});
        proc.waitForFinished(60000);
        EXPECT_EQ(proc.exitCode(), 0);
        iniStore_t s(dir.filePath("Velantis.ini"));
        EXPECT_EQ(setupState(s), setupDone);
        int32_t v = 0;
        EXPECT_TRUE(s.readInt(keyCustomSettings, "units", v));
        EXPECT_EQ(v, c.stored);
        EXPECT_TRUE(s.readInt(keyCustomSettings, "ddeins", v));
        EXPECT_EQ(v, 0);
        TParams p(&s);
        p.initSettings();
        EXPECT_EQ(p.newFile.units, c.stored);
        EXPECT_EQ(p.pageSets[3].unit, c.stored);
    }
    for (const QStringList& bad : {QStringList{"settings", "--write-defaults", "--unit", "cm"},
                                   QStringList{"settings", "--unit", "mm"}}) {
        QProcess proc;
        proc.start(LUMORA_CLI, bad);
        proc.waitForFinished(60000);
        EXPECT_EQ(proc.exitCode(), 1) << bad.join(' ').toStdString();
    }
}

TEST(CliSettings, BadOptionIsAUsageError)
{
    QProcess proc;
    proc.start(LUMORA_CLI, {"settings", "--bogus"});
    proc.waitForFinished(60000);
    EXPECT_EQ(proc.exitCode(), 1);
}
