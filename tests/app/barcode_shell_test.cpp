// Insert ▸ Barcode in the main window: the menu entry makes a code that the
// next click puts down, the barcode panel shows, and the keys typed into its
// data field edit the text there instead of reaching the canvas.
#include "shell_fixture.h"

#include "canvas/insertbarcode.h"
#include "canvas/sandbox.h"
#include "canvas/modes.h"
#include "model/barcode.h"
#include "panels/barcodepanel.h"
#include "ui/panelcodes.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>

using canvas::TSandbox;

namespace {

model::item_t* visibleBarcode(canvas::TSandbox* d)
{
    for (model::item_t* it = d->items().head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && model::isBarcodeItem(it)) return it;
    return nullptr;
}

} // namespace

TEST_F(ShellTest, InsertBarcodeFromTheMenuShowsItsPanelAndTheDataFieldKeepsItsKeys)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    QAction* entry = nullptr;
    for (QAction* a : w->menuInsert()->actions())
        if (a->text() == QStringLiteral("Barcode")) entry = a;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    EXPECT_EQ(d->mode(), canvas::modePlacing) << "the new code follows the mouse";
    const QPoint at(200, 200);
    d->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(d->mode(), canvas::modePointer);
    ASSERT_NE(visibleBarcode(d), nullptr);
    EXPECT_EQ(w->panelCode(), ui::panelBarcode);
    auto* panel = dynamic_cast<panels::TBarcodebox*>(w->codePanel());
    ASSERT_NE(panel, nullptr);

    QLineEdit* data = panel->dataBox();
    data->setFocus();
    data->setCursorPosition(int(data->text().size()));
    for (int k = 0; k < 3; ++k) QTest::keyClick(data, Qt::Key_Backspace);
    QTest::keyClick(data, Qt::Key_Home);
    QTest::keyClick(data, Qt::Key_Delete);
    ASSERT_NE(visibleBarcode(d), nullptr) << "Delete in the field never erases the code";
    EXPECT_EQ(data->text(), QStringLiteral("ttps://example."));
    QTest::keyClicks(data, "h");
    QTest::keyClick(data, Qt::Key_Return);
    ASSERT_NE(visibleBarcode(d), nullptr);
    EXPECT_EQ(model::readBarcode(visibleBarcode(d))->data, "https://example.");
}
