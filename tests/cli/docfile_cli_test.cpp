// lumora-cli info, dump --json, roundtrip and example, run as a user would.
#include "cli_runner.h"
#include "model/docfile.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstring>

namespace {

using result = testcli::cliResult_t;

using testcli::runCli;

QByteArray bytesOf(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putBytes(const QString& name, const QByteArray& b)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(b);
}

struct noQuestions : model::docReadQuestions_t {
    bool askOpenInvalid() override { return false; }
    void warnNewerVersion(const std::string&) override {}
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        example = dir.filePath("shapes.lmra");
        const result r = runCli({"example", example});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    QJsonObject dump(const QStringList& extra, result* keep = nullptr)
    {
        result r = runCli(QStringList{"dump", "--json"} + extra);
        if (keep) *keep = r;
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        QJsonParseError e;
        const auto doc = QJsonDocument::fromJson(r.out.toUtf8(), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << e.errorString().toStdString();
        return doc.object();
    }
    static QJsonObject record(const QJsonObject& d, int itemType)
    {
        for (const auto& v : d["records"].toArray())
            if (v.toObject()["itemType"].toInt() == itemType) return v.toObject();
        return {};
    }
    QTemporaryDir dir;
    QString example;
};

} // namespace

TEST_F(Cli, ExampleIsTheCommittedExampleDocument)
{
    EXPECT_EQ(bytesOf(example), bytesOf(QStringLiteral(LUMORA_SOURCE_DIR "/examples/shapes.lmra")))
        << "regenerate examples/shapes.lmra with lumora-cli example";
}

TEST_F(Cli, InfoSummarisesRecordsPageUnitAndZoom)
{
    const result r = runCli({"info", example});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    for (const char* want : {"Records: 11", "star", "picture data", "pattern definition",
                             "Page: 210 x 297 mm, design type 1, portrait", "Unit: millimetres", "Zoom: 100 %",
                             "File version: 164"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(want))) << want << "\n" << r.out.toStdString();
}

TEST_F(Cli, InfoOfAForcedForeignFileSumsTheUnknownKindsInOneLine)
{
    // Bytes of no document at all, varied enough that nearly every record the
    // forced reader cuts from them has a kind of its own.
    QByteArray b(64 * 1024, '\0');
    uint32_t x = 12345;
    for (char& c : b) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    const QString name = dir.filePath("noise.lmra");
    putBytes(name, b);
    const result r = runCli({"info", "--force", name});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    EXPECT_EQ(lines.filter(QStringLiteral("unknown kind")).size(), 1) << r.out.toStdString();
    EXPECT_LT(lines.size(), 40) << r.out.toStdString();
}

TEST_F(Cli, DumpTopLevelAndEveryCommonField)
{
    const QJsonObject d = dump({example});
    EXPECT_EQ(d["modified"].toInt(-1), 0);
    EXPECT_EQ(d["fileVersion"].toInt(), 164);
    EXPECT_EQ(d["historyKept"].toInt(-1), 0);
    EXPECT_EQ(d["recordCount"].toInt(), d["records"].toArray().size());
    EXPECT_EQ(d["recordCount"].toInt(), 11);

    const QJsonObject line = record(d, model::typeLine);
    for (const char* k :
         {"kind", "itemType", "docNumber", "x1", "y1", "x2", "y2", "boxLeft", "boxRight", "boxTop", "boxBottom",
          "boxWidth", "boxHeight", "diagonal", "magic", "selected", "editing", "hidden", "scratch", "zOrder", "mx1",
          "my1", "mx2", "my2", "angle", "blobLength", "lineColor", "penWidthPx", "fontSize", "textColor",
          "textAngle", "fontWeight", "fontItalic", "fontUnderline", "fontStrikeout", "justification", "fontName",
          "fontCharset", "textDirection", "lineWeight", "outlineWeight", "patternIndex", "fillColor", "direction",
          "undoState", "zMove", "stepId", "actionId", "replacesStep", "sides", "refX1", "refY1", "refX2", "refY2",
          "shapeVariant", "roundness", "clipShape", "pictureId", "srcLeft", "srcTop", "srcRight", "srcBottom",
          "scaleX", "scaleY", "rotation", "rotationStart", "saturation", "contrast", "lightness", "flipX", "flipY",
          "orientation", "baseScale", "picWidth", "picHeight", "groupId", "extraLength1", "extraLength2", "frameOn",
          "shadowElevation", "shadowFade", "shadowLightness", "surface", "text", "points", "anchorsX", "anchorsY"})
        EXPECT_TRUE(line.contains(k)) << k;
    EXPECT_FALSE(line.contains("streamSize"));
    EXPECT_EQ(line["fontName"].toString(), "Arial");
    EXPECT_EQ(line["x1"].toInt(), 76);
    EXPECT_EQ(line["magic"].toInt(), 147483647);
    EXPECT_DOUBLE_EQ(line["mx1"].toDouble(), 76 * 96 / 25.4);
    EXPECT_DOUBLE_EQ(line["roundness"].toDouble(), 0.27614237);
    EXPECT_TRUE(line["text"].isNull());
    EXPECT_EQ(line["patternIndex"].toInt(), -1);
}

TEST_F(Cli, DumpOverlaysReplaceTheFieldsTheyCover)
{
    const QJsonObject d = dump({example});
    const QJsonObject h = record(d, model::typeHeader);
    EXPECT_EQ(h["kind"].toInt(), 2000000);
    EXPECT_DOUBLE_EQ(h["zoom"].toDouble(), 1.0);
    EXPECT_EQ(h["unit"].toInt(), 2);
    EXPECT_DOUBLE_EQ(h["pxPerUnitX"].toDouble(), 96 / 25.4);
    EXPECT_DOUBLE_EQ(h["canvasWidth"].toDouble(), 210);
    EXPECT_EQ(h["designType"].toInt(), 1);
    EXPECT_DOUBLE_EQ(h["paperWidth"].toDouble(), 210);
    for (const char* k : {"rows", "rowFold", "lightDirection", "historyKept", "fileVersion", "modified", "snapY"})
        EXPECT_TRUE(h.contains(k)) << k;
    for (const char* k : {"lineColor", "fontName", "undoState", "stepId", "rotation"})
        EXPECT_FALSE(h.contains(k)) << k << " lies under the header's own fields";
    EXPECT_TRUE(h.contains("groupId")) << "fields past the header's own stay";
    EXPECT_EQ(h["x2"].toInt(), 794) << "page rectangle: 210 mm at 96 per inch";
    EXPECT_TRUE(h["text"].toString().startsWith(QString::fromUtf16(u"210\u07EC297\u07EC")));

    const QJsonObject p = record(d, -1);
    EXPECT_EQ(p["kind"].toInt(), 3);
    ASSERT_EQ(p["segments"].toArray().size(), 12);
    EXPECT_DOUBLE_EQ(p["segments"].toArray()[0].toDouble(), 3.0);
    EXPECT_EQ(p["segmentCount"].toInt(), 4);
    EXPECT_FALSE(p.contains("lineColor"));
    EXPECT_TRUE(p.contains("fillColor")) << "offset 217 lies past the segments";

    const QJsonObject pd = record(d, model::typePictureData);
    EXPECT_DOUBLE_EQ(pd["insertScale"].toDouble(), 1.0);
    EXPECT_FALSE(pd.contains("lineColor"));
    EXPECT_TRUE(pd.contains("penWidthPx"));
    EXPECT_EQ(pd["text"].toString(), "tiny.bmp");
}

TEST_F(Cli, DumpPointsAnchorsTextAndStream)
{
    const QJsonObject d = dump({example});
    // A five-spike star as the star tool builds it: centre, V, ten vertices.
    const QJsonArray pts = record(d, model::typeStar)["points"].toArray();
    ASSERT_EQ(pts.size(), 12);
    const QJsonObject p0 = pts[0].toObject();
    EXPECT_EQ(p0.keys().size(), 12);
    for (const char* k : {"x", "y", "savedX", "savedY", "c1x", "c1y", "c2x", "c2y", "savedC1x", "savedC1y",
                          "savedC2x", "savedC2y"})
        EXPECT_TRUE(p0.contains(k)) << k;
    EXPECT_EQ(p0["x"].toInt(), 227);
    EXPECT_EQ(p0["y"].toInt(), 680);
    EXPECT_EQ(pts[1].toObject()["y"].toInt(), 680 - 151);
    EXPECT_EQ(pts[11].toObject()["y"].toInt(), 680 - 151) << "the last vertex closes on V";

    const QJsonObject grid = record(d, model::typeGrid);
    EXPECT_EQ(grid["anchorsX"].toArray().size(), 10);
    EXPECT_EQ(grid["anchorsX"].toArray()[0].toInt(), 76);
    EXPECT_EQ(grid["anchorsY"].toArray().size(), 14);

    EXPECT_EQ(record(d, model::typeText)["text"].toString(),
              QString::fromUtf16(u"Lumora example\u07ECShapes, a line and a picture"));

    // The stream's size and hash agree with the bytes the reader keeps.
    noQuestions q;
    model::itemList_t l;
    ASSERT_TRUE(model::readDocument(example.toStdString(), l, q));
    const model::item_t* data = model::findByType(l, model::typePictureData);
    ASSERT_TRUE(data && data->stream);
    const QByteArray bytes(reinterpret_cast<const char*>(data->stream->data()), qsizetype(data->stream->size()));
    const QJsonObject pd = record(d, model::typePictureData);
    EXPECT_EQ(pd["streamSize"].toInt(), bytes.size());
    EXPECT_EQ(pd["streamSha256"].toString(),
              QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    model::freeList(l);
}

TEST_F(Cli, DumpKeepsCharactersBeyondTheBmpAndEscapesControls)
{
    model::itemList_t l;
    model::item_t* h = model::newItem(l, model::typeHeader);
    h->kind = model::kindHeader;
    model::item_t* t = model::newItem(l, model::typeText);
    const std::u16string text = u"a\U0001F600\"\\\t\u07ECz";
    model::setText(t, text);
    const QString name = dir.filePath("emoji.lmra");
    ASSERT_TRUE(model::writeDocument(name.toStdString(), l));
    model::freeList(l);
    const QJsonObject d = dump({name});
    EXPECT_EQ(record(d, model::typeText)["text"].toString(), QString::fromStdU16String(text));
}

TEST_F(Cli, DumpAtAnotherScreenDensity)
{
    const QJsonObject d = dump({"--ppi", "120", example});
    const QJsonObject line = record(d, model::typeLine);
    EXPECT_EQ(line["x1"].toInt(), 61) << "76 pixels at 96 per inch are 60.8 at 120";
    EXPECT_DOUBLE_EQ(record(d, model::typeHeader)["pxPerUnitX"].toDouble(), 120 / 25.4);
    EXPECT_EQ(record(d, model::typeStar)["points"].toArray()[0].toObject()["x"].toInt(), 227);
}

TEST_F(Cli, InvalidMagicIsRefusedUnlessForced)
{
    QByteArray b = bytesOf(example);
    const int32_t bad = 1;
    std::memcpy(b.data() + 60, &bad, 4);
    const QString name = dir.filePath("bad.lmra");
    putBytes(name, b);

    const result r = runCli({"dump", "--json", name});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains("Not a valid Lumora file.")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(runCli({"info", name}).code, 3);

    const QJsonObject d = dump({name, "--force"});
    EXPECT_EQ(d["modified"].toInt(), 1);
    EXPECT_EQ(d["recordCount"].toInt(), 11);

    const QString out = dir.filePath("out.lmra");
    EXPECT_EQ(runCli({"roundtrip", name, out}).code, 3);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(runCli({"roundtrip", name, out, "--force"}).code, 0);
    // The writer puts the magic back; the header carries the document's
    // modified flag as it was while saving.
    QByteArray written = bytesOf(out);
    ASSERT_GT(written.size(), 180);
    EXPECT_EQ(written[180], 1);
    written[180] = 0;
    EXPECT_EQ(written, bytesOf(example));
}

TEST_F(Cli, NewerVersionIsDumpedWithTheWarningOnStderr)
{
    QByteArray b = bytesOf(example);
    const int32_t v = 165;
    std::memcpy(b.data() + 323, &v, 4);
    const QString name = dir.filePath("newer.lmra");
    putBytes(name, b);
    result r;
    const QJsonObject d = dump({name}, &r);
    EXPECT_EQ(d["fileVersion"].toInt(), 165);
    EXPECT_TRUE(r.err.contains("This file was created on a newer version of Lumora software.\n"
                               "Update your software. Otherwise, this file might not display correctly.\n"))
        << r.err.toStdString();
}

TEST_F(Cli, MissingOrUnreadableFilesAndBadUsage)
{
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{"dump", "--json", "/nonexistent/x.lmra"}, 2},
        {{"info", "/nonexistent/x.lmra"}, 2},
        {{"roundtrip", "/nonexistent/x.lmra", "/tmp/never.lmra"}, 2},
        {{"dump", "--json", "DIR"}, 2},
        {{"dump", "EXAMPLE"}, 1},
        {{"dump", "--json"}, 1},
        {{"dump", "--json", "EXAMPLE", "--ppi"}, 1},
        {{"dump", "--json", "EXAMPLE", "--ppi", "abc"}, 1},
        {{"dump", "--json", "EXAMPLE", "--ppi", "0"}, 1},
        {{"roundtrip", "EXAMPLE"}, 1},
        {{"no-such-command"}, 1},
        {{"example"}, 1},
    };
    for (const auto& c : cases) {
        QStringList args = c.args;
        args.replaceInStrings("EXAMPLE", example);
        args.replaceInStrings("DIR", dir.path());
        const result r = runCli(args);
        EXPECT_EQ(r.code, c.code) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST_F(Cli, RoundtripRewritesAndNeverLeavesAPartialFile)
{
    const QString out = dir.filePath("copy.lmra");
    const result ok = runCli({"roundtrip", example, out});
    ASSERT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_EQ(bytesOf(out), bytesOf(example));

    const result bad = runCli({"roundtrip", example, dir.filePath("missing-folder/copy.lmra")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_FALSE(bad.err.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "only the two documents";
}

// ---------------------------------------------------------------- hostile files

namespace {

// A command over a file it cannot take: the exit code and the one line on
// stderr, nothing on stdout and no output file. BIG is a sparse file of zeros
// over the size limit, ZEROS 200 MB of zeros (read with the address space
// limited to 400 MB), FOLDER a folder named like a document.
struct hostileCase {
    const char* name;
    QStringList args;
    bool limitAddressSpace;
    int code;
    const char* line;
};

void PrintTo(const hostileCase& c, std::ostream* os) { *os << c.name; }

const hostileCase hostileCases[] = {
    {"DumpOfAFileOverTheSizeLimit", {"dump", "--json", "--force", "BIG"}, false, 2,
     "lumora-cli: BIG is too large to open: a document may have at most 2 GB"},
    {"RenderOfAFileOverTheSizeLimit", {"render", "--force", "BIG", "OUT"}, false, 2,
     "lumora-cli: BIG is too large to open: a document may have at most 2 GB"},
    {"InfoOfAFileOverTheSizeLimit", {"info", "--force", "BIG"}, false, 2,
     "lumora-cli: BIG is too large to open: a document may have at most 2 GB"},
    {"RoundtripOfAFileOverTheSizeLimit", {"roundtrip", "--force", "BIG", "OUT"}, false, 2,
     "lumora-cli: BIG is too large to open: a document may have at most 2 GB"},
    {"DumpOfMoreRecordsThanTheAddressSpaceHolds", {"dump", "--json", "--force", "ZEROS"}, true, 2,
     "lumora-cli: ZEROS holds more records than fit in the memory available"},
    {"RenderOfMoreRecordsThanTheAddressSpaceHolds", {"render", "--force", "ZEROS", "OUT"}, true, 2,
     "lumora-cli: ZEROS holds more records than fit in the memory available"},
    {"DumpOfAFolder", {"dump", "--json", "FOLDER"}, false, 2, "lumora-cli: FOLDER is a folder, not a document"},
    {"RenderOfAFolder", {"render", "FOLDER", "OUT"}, false, 2, "lumora-cli: FOLDER is a folder, not a document"},
};

class CliHostile : public ::testing::TestWithParam<hostileCase> {};

} // namespace

TEST_P(CliHostile, ExitsWithItsCodeAndOneLineAndWritesNothing)
{
    const hostileCase& c = GetParam();
#if defined(__SANITIZE_ADDRESS__)
    if (c.limitAddressSpace) GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString big = dir.filePath("big.lmra"), zeros = dir.filePath("zeros.lmra");
    const QString folder = dir.filePath("adir.lmra"), out = dir.filePath("out");
    for (const auto& [name, size] : {std::pair{big, qint64(model::documentSizeLimit) + 1}, {zeros, qint64(200) << 20}}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));  // sparse
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("adir.lmra"));
    QStringList args = c.args;
    args.replaceInStrings("BIG", big).replaceInStrings("ZEROS", zeros).replaceInStrings("FOLDER", folder);
    args.replaceInStrings("OUT", out);
    if (c.limitAddressSpace)
        args = QStringList{"-c", "ulimit -v 400000 && exec \"$0\" \"$@\"", QStringLiteral(LUMORA_CLI)} + args;

    QProcess p;
    p.start(c.limitAddressSpace ? QStringLiteral("/bin/sh") : QStringLiteral(LUMORA_CLI), args);
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit) << "no abort";
    EXPECT_EQ(p.exitCode(), c.code);
    QString expected = QString::fromUtf8(c.line);
    expected.replace("BIG", big).replace("ZEROS", zeros).replace("FOLDER", folder);
    const QStringList lines = QString::fromUtf8(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(expected)) << lines.join('\n').toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Files, CliHostile, ::testing::ValuesIn(hostileCases),
                         [](const auto& info) { return std::string(info.param.name); });
