// lumora-cli print and export with --data: cards of names read back from
// the PDF, start cells, copies and the refusals of bad input.
#include "cli_runner.h"

#include "../output/carddoc.h"
#include "../render/docbuilder.h"

#include "model/docfile.h"
#include "model/itemlist.h"
#include "model/mergesource.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using testcli::runCli;

// A sheet of ten business cards with an address text.
QString addressDocument(const QTemporaryDir& dir, const model::mergeSettings_t* kept = nullptr)
{
    model::itemList_t list;
    outdoc::build(list, outdoc::tenBusinessCards());
    testdoc::addText(list, 20, 150, 300, 150, u"${name}\n${street}\n${street2}\n${city}", 0, 1, 12);
    if (kept) model::writeMergeSettings(list, *kept);
    const QString path = dir.filePath(QStringLiteral("badge.lmra"));
    std::string error;
    EXPECT_TRUE(model::writeDocument(path.toStdString(), list, &error)) << error;
    model::freeList(list);
    return path;
}

QString writeText(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

const QByteArray fivePeople = "name;street;street2;city;copies\r\n"
                              "Anna Berg;Main St 1;;Rome;1\r\n"
                              "Bob Chan;High Rd 2;Flat 9;Oslo;2\r\n"
                              "Cleo Diaz;Low Ln 3;;Lima;1\r\n"
                              "Dan Eke;Bay Rd 4;;Kiev;0\r\n"
                              "Eve Fox;Elm St 5;;Nice;1\r\n";

QString pdfText(const QString& pdf)
{
    const auto r = testcli::runProgram(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {pdf, QStringLiteral("-")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return r.out;
}

#define REQUIRE_PDFTOTEXT()                                                        \
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())     \
    GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)"

TEST(CliMerge, PrintsFiveAddressesFromCellThreeWithoutBlankLines)
{
    REQUIRE_PDFTOTEXT();
    QTemporaryDir dir;
    const QString doc = addressDocument(dir);
    const QString csv = writeText(dir, "people.csv", fivePeople);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    const auto r = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), pdf, QStringLiteral("--data"), csv,
                           QStringLiteral("--start"), QStringLiteral("3")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("5 cards on 1 sheets"))) << r.out.toStdString();
    const QString text = pdfText(pdf);
    for (const char* lines : {"Anna Berg\nMain St 1\nRome", "Bob Chan\nHigh Rd 2\nFlat 9\nOslo", "Eve Fox\nElm St 5\nNice"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(lines))) << lines << " not in:\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("${")));
}

TEST(CliMerge, CopiesColumnAndStartFillSheetsInOrder)
{
    REQUIRE_PDFTOTEXT();
    QTemporaryDir dir;
    const QString doc = addressDocument(dir);
    const QString csv = writeText(dir, "people.csv", fivePeople);
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    // Anna 1, Bob 2, Cleo 1, Dan 0, Eve 1: five cards from cell 8 of ten.
    const auto r = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), pdf, QStringLiteral("--data"), csv,
                           QStringLiteral("--start"), QStringLiteral("8"), QStringLiteral("--copies-column"),
                           QStringLiteral("copies")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("5 cards on 2 sheets"))) << r.out.toStdString();
    const QStringList pages = pdfText(pdf).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_EQ(pages[0].count(QStringLiteral("Bob Chan")), 2);
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Eve Fox")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("Bob Chan")));
    EXPECT_FALSE(pdfText(pdf).contains(QStringLiteral("Dan Eke")));
}

TEST(CliMerge, UsesTheMergeKeptWithTheDocument)
{
    REQUIRE_PDFTOTEXT();
    QTemporaryDir dir;
    writeText(dir, "people.csv", fivePeople);
    model::mergeSettings_t kept;
    kept.source = "people.csv";  // beside the document
    kept.skipped = {1, 2};
    const QString doc = addressDocument(dir, &kept);
    const QString pdf = dir.filePath(QStringLiteral("kept.pdf"));
    const auto r = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_FALSE(text.contains(QStringLiteral("Anna Berg")));
    EXPECT_TRUE(text.contains(QStringLiteral("Cleo Diaz")));
}

TEST(CliMerge, WarnsOfUnknownFieldsAndMissingValues)
{
    QTemporaryDir dir;
    const QString doc = addressDocument(dir);
    const QString csv = writeText(dir, "short.csv", "name,street2\nAnna,\n");
    const auto r = runCli({QStringLiteral("print"), doc, QStringLiteral("--pdf"), dir.filePath(QStringLiteral("a.pdf")),
                           QStringLiteral("--data"), csv});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("warning: the data has no column \"street\""))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("warning: the data has no column \"city\""))) << r.err.toStdString();
}

TEST(CliMerge, BadInputIsRefusedWithoutWritingAFile)
{
    QTemporaryDir dir;
    const QString doc = addressDocument(dir);
    const QString good = writeText(dir, "people.csv", fivePeople);
    const QString open = writeText(dir, "open.csv", "name\n\"never closed\n");
    const QString binary = writeText(dir, "pic.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    struct {
        QStringList extra;
        int code;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--data"), open}, 2, "is never closed"},
        {{QStringLiteral("--data"), binary}, 2, "not text"},
        {{QStringLiteral("--data"), dir.filePath(QStringLiteral("none.csv"))}, 2, "cannot be opened"},
        {{QStringLiteral("--data"), good, QStringLiteral("--start"), QStringLiteral("11")}, 1, "beyond"},
        {{QStringLiteral("--data"), good, QStringLiteral("--start"), QStringLiteral("0")}, 1, "--start"},
        {{QStringLiteral("--data"), good, QStringLiteral("--copies-column"), QStringLiteral("count")}, 1, "\"count\""},
        {{QStringLiteral("--start"), QStringLiteral("2")}, 1, "need --data"},
        {{QStringLiteral("--data"), good, QStringLiteral("--raster")}, 1, "vectors"},
    };
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    for (const auto& c : cases) {
        const auto r = runCli(QStringList{QStringLiteral("print"), doc, QStringLiteral("--pdf"), pdf} + c.extra);
        EXPECT_EQ(r.code, c.code) << c.extra.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << c.extra.join(' ').toStdString();
    }
}

TEST(CliMerge, ExportWritesOneFilePerCardNamedByThePattern)
{
    QTemporaryDir dir;
    const QString doc = addressDocument(dir);
    const QString csv = writeText(dir, "people.csv", fivePeople);
    const QString pattern = dir.filePath(QStringLiteral("card-${#}-${city}.bmp"));
    const auto r = runCli({QStringLiteral("export"), doc, pattern, QStringLiteral("--data"), csv,
                           QStringLiteral("--copies-column"), QStringLiteral("copies")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("5 card files written"))) << r.out.toStdString();
    for (const char* name : {"card-1-Rome.bmp", "card-2-Oslo.bmp", "card-3-Oslo.bmp", "card-4-Lima.bmp", "card-5-Nice.bmp"})
        EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromLatin1(name)))) << name;
    // Two rows of one city would overwrite each other.
    const auto clash = runCli({QStringLiteral("export"), doc, dir.filePath(QStringLiteral("${city}.pdf")),
                               QStringLiteral("--data"), csv, QStringLiteral("--copies-column"), QStringLiteral("copies")});
    EXPECT_EQ(clash.code, 1);
    EXPECT_TRUE(clash.err.contains(QStringLiteral("Oslo.pdf"))) << clash.err.toStdString();
}

} // namespace
