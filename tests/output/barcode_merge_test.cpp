// Barcode data filled in from merge fields: each card encodes its own row,
// rows a symbology cannot encode are named before anything is written, and
// the unfilled view shows the data as stored.
#include "cli_runner.h"
#include "../render/docbuilder.h"

#include "model/barcode.h"
#include "model/csv.h"
#include "model/docfile.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/mergecards.h"
#include "output/mergebarcodes.h"
#include "output/mergesheet.h"
#include "render/renderpass.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <functional>

using testcli::runCli;
using testcli::runProgram;

namespace {

struct noQuestions_t : model::docReadQuestions_t {
    bool askOpenInvalid() override { return false; }
    void warnNewerVersion(const std::string&) override {}
};

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

TEST(BarcodeMerge, MergedCodesInAPdfHaveNoGreySeamsAt300And600Dpi)
{
    // Each bar is a rectangle of its own, which a viewer aligns with its
    // pixels; bars drawn as one path, or under a matrix that shifts them by
    // part of a pixel, show grey pixels along the module edges.
    QTemporaryDir dir;
    const QString doc = cardWithCode(dir, "qr", "${name}");
    QByteArray csv = "name\n";
    for (int32_t i = 1; i <= 10; ++i) csv += "https://lumora.example/person/" + QByteArray::number(i * 13) + "\n";
    const QString pdf = dir.filePath("sheet.pdf");
    ASSERT_EQ(runCli({"print", doc, "--pdf", pdf, "--data", writeText(dir, "people.csv", csv)}).code, 0);
    // A page at 600 dpi is beyond the readers' default allocation limit.
    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(512);
    for (const int32_t dpi : {300, 600}) {
        SCOPED_TRACE(dpi);
        const QString prefix = dir.filePath(QStringLiteral("sheet%1").arg(dpi));
        ASSERT_EQ(runProgram("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, prefix}).code, 0);
        const QImage sheet = QImage(prefix + ".pgm").convertToFormat(QImage::Format_Grayscale8);
        ASSERT_FALSE(sheet.isNull());
        // The code's box (12, 12) to (162, 122) document pixels of 1/96 inch
        // in each 74 × 52 mm cell from (31 mm, 18 mm), a pixel in from its edges.
        const double perMm = dpi / 25.4, perPx = dpi / 96.0;
        for (int32_t card = 0; card < 10; ++card) {
            const double cellX = (31 + card % 2 * 74) * perMm, cellY = (18 + card / 2 * 52) * perMm;
            const QRect code(QPoint(int(cellX + 12 * perPx) + 1, int(cellY + 12 * perPx) + 1),
                             QPoint(int(cellX + 162 * perPx) - 2, int(cellY + 122 * perPx) - 2));
            int32_t dark = 0, grey = 0;
            for (int32_t y = code.top(); y <= code.bottom(); ++y) {
                const uchar* row = sheet.constScanLine(y);
                for (int32_t x = code.left(); x <= code.right(); ++x) {
                    if (row[x] == 0) ++dark;
                    else if (row[x] != 255) ++grey;
                }
            }
            EXPECT_GT(dark, code.width() * code.height() / 10) << "card " << card;
            EXPECT_EQ(grey, 0) << "card " << card;
        }
    }
    QImageReader::setAllocationLimit(previousLimit);
}

TEST(BarcodeMerge, RowsAnEan13CannotHoldAreNamedAndNothingIsWritten)
{
    QTemporaryDir dir;
    const QString alone = cardWithCode(dir, "ean13", "${code}");
    // The same code joined in a group with a second code (Join Items): the
    // check walks every code the sheet draws, group members among them.
    const QString grouped = dir.filePath("grouped.lmra");
    {
        const QString two = dir.filePath("two.lmra");
        ASSERT_EQ(runCli({"barcode", alone, two, "--type", "qr", "--data", "fixed", "--at", "170,12", "--size", "90"}).code, 0);
        model::itemList_t list;
        noQuestions_t questions;
        ASSERT_TRUE(model::readDocument(two.toStdString(), list, questions));
        model::selectOnly(list, nullptr);
        int32_t codes = 0;
        for (model::item_t* it = list.head; it; it = it->next)
            if (!it->hidden && model::isBarcodeItem(it)) model::setSelected(list, it, true), ++codes;
        ASSERT_EQ(codes, 2);
        ASSERT_NE(model::joinItems(list), nullptr);
        ASSERT_TRUE(model::writeDocument(grouped.toStdString(), list));
        model::freeList(list);
    }
    // Rows 3 (a letter) and 5 (a wrong check digit) cannot be encoded; row 4
    // carries its right check digit, row 6 is a name-only row of 12 digits.
    const QString data = writeText(dir, "codes.csv",
                                   "code\n400638133393\n501234567890\n40063813339A\n4006381333931\n"
                                   "4006381333932\n978020137962\n");
    const QString pdf = dir.filePath("never.pdf");
    for (const QString& doc : {alone, grouped}) {
        SCOPED_TRACE(doc.toStdString());
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
        QFile::remove(pdf);
    }
}

TEST(BarcodeMerge, TheCheckSeesTheCodesTheSheetDrawsAndNoOthers)
{
    // One EAN-13 filled from ${code}: row 2 is no EAN-13. What the list went
    // through before the merge decides whether the check must name it.
    const model::csvTable_t table = model::readCsv("code,good\n400638133393,501234567890\nA1,978020137962\n", {});
    ASSERT_TRUE(table.ok());
    const std::vector<model::mergeCard_t> cards{{0, 1}, {1, 2}};
    model::barcodeContent_t content;
    content.symbology = static_cast<int32_t>(model::symbology_t::ean13);
    content.data = "${code}";
    const struct {
        const char* history;
        std::function<void(model::itemList_t&, model::item_t*)> apply;
        bool named;
    } cases[] = {
        {"as made", [](model::itemList_t&, model::item_t*) {}, true},
        {"joined in a group with a rectangle",
         [](model::itemList_t& list, model::item_t* code) {
             model::item_t* box = testdoc::addShape(list, model::typeRectangle, {{300, 0}, {400, 0}, {400, 80}, {300, 80}},
                                                    0xFFFFFF, 0, 0);
             model::selectOnly(list, code);
             model::setSelected(list, box, true);
             ASSERT_NE(model::joinItems(list), nullptr);
         },
         true},
        {"erased",
         [](model::itemList_t& list, model::item_t* code) {
             model::selectOnly(list, code);
             ASSERT_EQ(model::eraseSelection(list), 1);
         },
         false},
        {"its data changed to another field",
         [](model::itemList_t& list, model::item_t* code) {
             model::selectOnly(list, code);
             const auto edited = model::beginEdit(list);
             ASSERT_EQ(edited.size(), 1u);
             model::barcodeContent_t now = *model::readBarcode(edited[0]);
             now.data = "${good}";
             model::writeBarcode(edited[0], now);
         },
         false},
        {"undone", [](model::itemList_t& list, model::item_t*) { ASSERT_TRUE(model::undo(list)); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.history);
        model::itemList_t list;
        testdoc::addHeader(list, 800, 600);
        model::item_t* code = model::newBarcodeItem(list, 20, 20, 200, 100, content);
        c.apply(list, code);
        const std::vector<std::string> problems = output::mergeBarcodeProblems(list, table, cards);
        ASSERT_EQ(problems.size(), c.named ? 1u : 0u);
        if (c.named) {
            EXPECT_EQ(problems[0].rfind("row 2: the EAN-13 cannot hold \"A1\"", 0), 0u) << problems[0];
        }
        model::freeList(list);
    }
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
