// Barcode data filled in from merge fields: each card encodes its own row,
// rows a symbology cannot encode are named before anything is written, and
// the unfilled view shows the data as stored.
#include "cli_runner.h"

#include "model/barcode.h"
#include "model/csv.h"
#include "model/itemlist.h"
#include "model/mergecards.h"
#include "output/mergebarcodes.h"
#include "output/mergesheet.h"
#include "render/renderpass.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using testcli::runCli;
using testcli::runProgram;

namespace {

QString writeText(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QStringList decoded(const QString& png)
{
    QStringList codes = runProgram("zbarimg", {"-q", "--nodbus", png}).out.split('\n', Qt::SkipEmptyParts);
    codes.sort();
    return codes;
}

// A sheet of ten business cards with one code of `type` holding `data`.
QString cardWithCode(const QTemporaryDir& dir, const char* type, const QString& data)
{
    const QString card = dir.filePath("card.lmra"), coded = dir.filePath("coded.lmra");
    EXPECT_EQ(runCli({"new", card, "--type", "4", "--unit", "mm"}).code, 0);
    const auto r = runCli({"barcode", card, coded, "--type", type, "--data", data, "--at", "12,12", "--size", "150,110"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return coded;
}

} // namespace

TEST(BarcodeMerge, TenMergedQrCodesEachReadTheirRow)
{
    QTemporaryDir dir;
    const QString doc = cardWithCode(dir, "qr", "${name} #${#}");
    QByteArray csv = "name\n";
    for (int32_t i = 1; i <= 10; ++i) csv += "person " + QByteArray::number(i * 7) + "\n";
    const QString data = writeText(dir, "people.csv", csv);
    const QString pdf = dir.filePath("sheet.pdf");
    const auto r = runCli({"print", doc, "--pdf", pdf, "--data", data});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString prefix = dir.filePath("sheet");
    ASSERT_EQ(runProgram("pdftoppm", {"-r", "200", "-png", "-singlefile", pdf, prefix}).code, 0);
    const QImage sheet(prefix + ".png");
    ASSERT_FALSE(sheet.isNull());
    // The preset's cells: left margin 31 mm, top 18 mm, 2 columns × 5 rows of
    // 74 × 52 mm, filled row by row: a swapped row and column, or one row's
    // data on every card, reads as another person.
    const double px = 200 / 25.4;
    for (int32_t card = 0; card < 10; ++card) {
        const int32_t row = card / 2, col = card % 2;
        const QRect cell(qRound((31 + col * 74) * px), qRound((18 + row * 52) * px), qRound(74 * px), qRound(52 * px));
        const QString file = dir.filePath(QStringLiteral("cell%1.png").arg(card));
        ASSERT_TRUE(sheet.copy(cell).save(file));
        EXPECT_EQ(decoded(file), QStringList{QStringLiteral("QR-Code:person %1 #%2").arg((card + 1) * 7).arg(card + 1)})
            << "card " << card;
    }
}

TEST(BarcodeMerge, RowsAnEan13CannotHoldAreNamedAndNothingIsWritten)
{
    QTemporaryDir dir;
    const QString doc = cardWithCode(dir, "ean13", "${code}");
    // Rows 3 (a letter) and 5 (a wrong check digit) cannot be encoded; row 4
    // carries its right check digit, row 6 is a name-only row of 12 digits.
    const QString data = writeText(dir, "codes.csv",
                                   "code\n400638133393\n501234567890\n40063813339A\n4006381333931\n"
                                   "4006381333932\n978020137962\n");
    const QString pdf = dir.filePath("never.pdf");
    const auto r = runCli({"print", doc, "--pdf", pdf, "--data", data});
    EXPECT_EQ(r.code, 4);
    const struct {
        const char* row;
        bool named;
    } rows[] = {{"row 1:", false}, {"row 2:", false}, {"row 3:", true},
                {"row 4:", false}, {"row 5:", true},  {"row 6:", false}};
    for (const auto& c : rows) EXPECT_EQ(r.err.contains(QString::fromLatin1(c.row)), c.named) << c.row << "\n" << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("digits only")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("check digit")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    // The same table with the bad rows mended prints.
    const QString good = writeText(dir, "good.csv", "code\n400638133393\n501234567890\n");
    EXPECT_EQ(runCli({"print", doc, "--pdf", pdf, "--data", good}).code, 0);
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST(BarcodeMerge, FilledAndRawViewsOfOneCode)
{
    // What the canvas shows with the merge's values on (the first row) and
    // with the raw-field switch (no hook: the data as stored).
    QTemporaryDir dir;
    model::itemList_t list;
    model::barcodeContent_t content;
    content.data = "id ${id}";
    model::item_t* item = model::newBarcodeItem(list, 20, 20, 200, 200, content);
    const model::csvTable_t table = model::readCsv("id\nA-17\nB-23\n", {});
    ASSERT_TRUE(table.ok());
    const render::textSubstitute_t first = output::cardSubstitute(table, model::mergeCard_t{0, 1});
    const render::textSubstitute_t second = output::cardSubstitute(table, model::mergeCard_t{1, 2});
    const struct {
        const render::textSubstitute_t* hook;
        const char* reads;
    } cases[] = {{&first, "QR-Code:id A-17"}, {&second, "QR-Code:id B-23"}, {nullptr, "QR-Code:id ${id}"}};
    int32_t n = 0;
    for (const auto& c : cases) {
        QImage img(240, 240, QImage::Format_RGB32);
        img.fill(Qt::white);
        render::renderItemToBitmap(img, list, item, QPoint(0, 0), 1, 1, c.hook);
        const QString file = dir.filePath(QStringLiteral("view%1.png").arg(n++));
        ASSERT_TRUE(img.save(file));
        EXPECT_EQ(decoded(file), QStringList{QString::fromLatin1(c.reads)});
    }
    model::freeList(list);
}

TEST(BarcodeMerge, ProblemsNameEachBadRowOnceAcrossCopies)
{
    model::itemList_t list;
    model::barcodeContent_t content;
    content.symbology = static_cast<int32_t>(model::symbology_t::ean8);
    content.data = "${code}";
    model::newBarcodeItem(list, 0, 0, 200, 100, content);
    const model::csvTable_t table = model::readCsv("code\n1234567\n12345\n", {});
    ASSERT_TRUE(table.ok());
    // Row 2 (too short) printed three times is named once; row 1 never.
    const std::vector<model::mergeCard_t> cards{{0, 1}, {1, 2}, {1, 3}, {1, 4}};
    const std::vector<std::string> problems = output::mergeBarcodeProblems(list, table, cards);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("row 2: the EAN-8 cannot hold \"12345\"", 0), 0u) << problems[0];
    EXPECT_EQ(output::mergeBarcodeProblems(list, table, cards, 0).size(), 0u);
    model::freeList(list);
}
