// Merged output: one card per row over the cells of as many sheets as the
// rows need, from a start cell, crossed-out cells and copies honoured; the
// texts read back out of the PDF.
#include "carddoc.h"
#include "cli_runner.h"

#include "../render/docbuilder.h"

#include "model/csv.h"
#include "model/itemlist.h"
#include "model/mergecards.h"
#include "output/mergesheet.h"
#include "output/renderoutput.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Ten business cards with one text of two lines on each.
struct mergeDoc {
    model::itemList_t list;
    mergeDoc(const std::u16string& text = u"Card of ${name}\nNo ${#}")
    {
        outdoc::build(list, outdoc::tenBusinessCards());
        testdoc::addText(list, 20, 120, 300, 120, text, 0, 1, 12);
    }
    ~mergeDoc() { model::freeList(list); }
};

model::csvTable_t people(int n, bool copies = false)
{
    std::string csv = copies ? "name,copies\n" : "name\n";
    for (int i = 1; i <= n; ++i) {
        csv += "Person" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        if (copies) csv += "," + std::to_string(i % 3);
        csv += "\n";
    }
    return model::readCsv(csv, {});
}

output::mergeJob_t jobOf(const model::csvTable_t& t, const model::mergeSettings_t& s = {})
{
    output::mergeJob_t job;
    job.table = &t;
    job.cards = model::mergeCards(t, s).cards;
    job.startCell = s.startCell;
    return job;
}

// The text of each page of a PDF.
QStringList pagesOf(const QString& pdf)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const auto run = testcli::runProgram(tool, {pdf, QStringLiteral("-")});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    QStringList pages = run.out.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

QStringList namesOn(const QString& page)
{
    QStringList names;
    const QRegularExpression re(QStringLiteral("Person\\d\\d"));
    for (auto it = re.globalMatch(page); it.hasNext();) names << it.next().captured();
    names.sort();
    return names;
}

QStringList range(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i) out << QStringLiteral("Person%1").arg(i, 2, 10, QLatin1Char('0'));
    return out;
}

TEST(MergedOutput, TwentyFiveRowsFromCellSevenFillFourSheets)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)";
    mergeDoc doc;
    const model::csvTable_t t = people(25);
    model::mergeSettings_t s;
    s.startCell = 7;
    s.startNumber = 100;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("merged.pdf"));
    QString why;
    int32_t pages = 0;
    ASSERT_TRUE(output::writeMergedPdf(doc.list, pdf, jobOf(t, s), 150, QStringLiteral("t"), false, &why, &pages))
        << why.toStdString();
    EXPECT_EQ(pages, 4);
    const QStringList text = pagesOf(pdf);
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(namesOn(text[0]), range(1, 4));
    EXPECT_EQ(namesOn(text[1]), range(5, 14));
    EXPECT_EQ(namesOn(text[2]), range(15, 24));
    EXPECT_EQ(namesOn(text[3]), range(25, 25));
    // The running number starts from the start value and follows the cards.
    EXPECT_TRUE(text[0].contains(QStringLiteral("No 100")));
    EXPECT_TRUE(text[3].contains(QStringLiteral("No 124")));
    EXPECT_FALSE(text[0].contains(QStringLiteral("${")));
}

TEST(MergedOutput, CopiesColumnAndCrossedOutCells)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)";
    mergeDoc doc;
    const model::csvTable_t t = people(6, true);  // copies 1, 2, 0, 1, 2, 0: six cards
    model::mergeSettings_t s;
    s.copiesColumn = "copies";
    output::mergeJob_t job = jobOf(t, s);
    ASSERT_EQ(job.cards.size(), 6u);
    job.printAreas = QByteArray("x x x x x");  // only the right column prints: five cells a sheet
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    QString why;
    int32_t pages = 0;
    ASSERT_TRUE(output::writeMergedPdf(doc.list, pdf, job, 150, {}, false, &why, &pages)) << why.toStdString();
    EXPECT_EQ(pages, 2);
    const QStringList text = pagesOf(pdf);
    ASSERT_EQ(text.size(), 2);
    EXPECT_EQ(namesOn(text[0]), (QStringList{"Person01", "Person02", "Person02", "Person04", "Person05"}));
    EXPECT_EQ(namesOn(text[1]), QStringList{"Person05"});
}

TEST(MergedOutput, CardsLandInTheirCellsAndNowhereElse)
{
    mergeDoc doc;
    const model::csvTable_t t = people(3);
    model::mergeSettings_t s;
    s.startCell = 4;
    output::mergeJob_t job = jobOf(t, s);
    job.printAreas = QByteArray("    x");  // cell 5 (row 3, column 1) crossed out
    const model::item_t* header = model::findHeader(doc.list);
    const auto sheets = output::mergedSheets(header->hdr(), job);
    ASSERT_EQ(sheets.size(), 1u);
    output::device_t device;
    device.ppiX = device.ppiY = 48;
    device.pageWidth = 397;   // A4 at 48 dpi
    device.pageHeight = 561;
    const QImage sheet = output::mergedSheetImage(doc.list, device, job, sheets[0]);
    ASSERT_FALSE(sheet.isNull());
    const output::sheetPlacement_t p = output::placeSheet(header->hdr(), device);
    // Cells 4, 6 and 7 hold the cards: row by row, two to a row.
    const bool filled[10] = {false, false, false, true, false, true, true, false, false, false};
    for (int c = 0; c < 10; ++c) {
        const int i = c % 2 + 1, j = c / 2 + 1;
        const QPoint centre = p.origin + QPoint(output::cellOffset(i, p.cellWidth, p.columnGap) + p.cellWidth / 4,
                                                output::cellOffset(j, p.cellHeight, p.rowGap) + p.cellHeight / 4);
        const bool red = sheet.pixel(centre) == qRgb(255, 0, 0);
        EXPECT_EQ(red, filled[c]) << "cell " << c + 1;
    }
}

TEST(MergedOutput, FileNamesFromAPatternAreSafeAndDistinct)
{
    const model::csvTable_t t = model::readCsv("name,city\nAnna,Rome\nBob,../etc\nCleo,Rome\n", {});
    const output::mergeJob_t job = jobOf(t);
    QString why;
    EXPECT_EQ(output::mergedFileNames(QStringLiteral("out/${#}-${city}.pdf"), job, &why),
              (std::vector<QString>{"out/1-Rome.pdf", "out/2-.._etc.pdf", "out/3-Rome.pdf"}));
    EXPECT_TRUE(output::mergedFileNames(QStringLiteral("${city}.pdf"), job, &why).empty());
    EXPECT_TRUE(why.contains(QStringLiteral("Rome.pdf"))) << why.toStdString();
}

TEST(MergedOutput, NothingToPrintIsRefused)
{
    mergeDoc doc;
    const model::csvTable_t t = people(2);
    model::mergeSettings_t s;
    s.skipped = {1, 2};
    QTemporaryDir dir;
    QString why;
    EXPECT_FALSE(output::writeMergedPdf(doc.list, dir.filePath(QStringLiteral("a.pdf")), jobOf(t, s), 72, {}, false, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("no row"))) << why.toStdString();
    output::mergeJob_t job = jobOf(t);
    job.printAreas = QByteArray("xxxxxxxxxx");
    EXPECT_FALSE(output::writeMergedPdf(doc.list, dir.filePath(QStringLiteral("b.pdf")), job, 72, {}, false, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("crossed out"))) << why.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.pdf"))));
}

} // namespace
