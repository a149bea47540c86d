// The Merge dialog: the preview follows the reading options, ticks become
// the rows left out, the start cell is picked on the sheet picture, and the
// warnings name what the document's texts miss.
#include "../output/carddoc.h"
#include "../render/docbuilder.h"

#include "model/itemlist.h"
#include "ui/dialogs.h"
#include "ui/mergedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct MergeDialog : ::testing::Test {
    QTemporaryDir dir;
    model::itemList_t list;
    model::mergeSettings_t start;
    MergeDialog()
    {
        outdoc::build(list, outdoc::tenBusinessCards());
        testdoc::addText(list, 20, 150, 300, 150, u"${name}\n${town}", 0, 1, 12);
        start.source = dir.filePath(QStringLiteral("people.csv")).toStdString();
        QFile f(QString::fromStdString(start.source));
        f.open(QIODevice::WriteOnly);
        f.write("name;city\nZo\xEB;Rome\nBob;Oslo\nCleo;\n");  // Windows-1252
    }
    ~MergeDialog() override { model::freeList(list); }
};

TEST_F(MergeDialog, PreviewFollowsTheReadingOptions)
{
    ui::TMergeDialog d(list, start, {});
    ASSERT_EQ(d.table->rowCount(), 3);
    ASSERT_EQ(d.table->columnCount(), 3);  // the tick and two fields
    EXPECT_EQ(d.table->item(0, 1)->text(), QStringLiteral("Zoë"));
    EXPECT_TRUE(d.infoLabel->text().contains(QStringLiteral("Windows-1252"))) << d.infoLabel->text().toStdString();
    EXPECT_TRUE(d.infoLabel->text().contains(QStringLiteral("semicolons")));
    // No names row: the first row becomes data, the fields numbers.
    d.headerBox->setCurrentIndex(2);
    EXPECT_EQ(d.table->rowCount(), 4);
    EXPECT_EQ(d.table->horizontalHeaderItem(1)->text(), QStringLiteral("1"));
    EXPECT_EQ(d.settings().options.header, model::csvHeader_t::none);
}

TEST_F(MergeDialog, UntickedRowsAreLeftOut)
{
    ui::TMergeDialog d(list, start, {});
    d.table->item(1, 0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(d.settings().skipped, std::vector<int32_t>{2});
    // Ticks survive reading the file again with another option.
    d.trimBox->setChecked(true);
    EXPECT_EQ(d.table->item(1, 0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(d.table->item(0, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(d.settings().skipped, std::vector<int32_t>{2});
}

TEST_F(MergeDialog, StartCellIsPickedOnTheSheet)
{
    ui::TMergeDialog d(list, start, QByteArray("  x"));
    d.sheet->resize(200, 280);
    // Find the middle of cell 7 by probing the picture, then click there.
    QPoint at;
    for (int y = 0; y < 280 && at.isNull(); y += 2)
        for (int x = 0; x < 200; x += 2)
            if (d.sheet->cellAt({x, y}) == 7 && d.sheet->cellAt({x + 6, y + 6}) == 7) {
                at = {x + 3, y + 3};
                break;
            }
    ASSERT_FALSE(at.isNull());
    QTest::mouseClick(d.sheet, Qt::LeftButton, {}, at);
    EXPECT_EQ(d.startCell(), 7);
    EXPECT_EQ(d.settings().startCell, 7);
    // Cell 7 is the first cell of the fourth row: the left column.
    EXPECT_LT(at.x(), 100);
    d.pickStartCell(99);
    EXPECT_EQ(d.startCell(), 10);
}

TEST_F(MergeDialog, WarnsOfUnknownFieldsAndAHostileFile)
{
    ui::TMergeDialog d(list, start, {});
    EXPECT_TRUE(d.warningsLabel->text().contains(QStringLiteral("no column \"town\""))) << d.warningsLabel->text().toStdString();
    QFile bad(dir.filePath(QStringLiteral("open.csv")));
    bad.open(QIODevice::WriteOnly);
    bad.write("a\n\"open\n");
    bad.close();
    d.setSource(bad.fileName());
    EXPECT_EQ(d.table->rowCount(), 0);
    EXPECT_TRUE(d.infoLabel->text().contains(QStringLiteral("never closed"))) << d.infoLabel->text().toStdString();
}

} // namespace
