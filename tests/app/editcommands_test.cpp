// Edit commands from the menu and the toolbar on the active document.
#include "shell_fixture.h"

#include "model/clipboard.h"
#include "model/history.h"
#include "model/history_index.h"

#include <QMdiArea>
#include <QTest>

using canvas::TSandbox;

namespace {

model::item_t* addRectangle(TSandbox* d, int x)
{
    model::item_t* it = model::newItem(d->items, model::typeRectangle);
    it->x1 = x;
    it->y1 = 40;
    it->x2 = x + 60;
    it->y2 = 90;
    it->boxLeft = it->x1;
    it->boxRight = it->x2;
    it->boxTop = it->y1;
    it->boxBottom = it->y2;
    model::addPoint(it, it->x1, it->y1);
    model::addPoint(it, it->x2, it->y1);
    model::addPoint(it, it->x2, it->y2);
    model::addPoint(it, it->x1, it->y2);
    model::recordNew(d->items, it);
    return it;
}

} // namespace

TEST_F(shellTest, UndoAndRedoFollowTheHistory)
{
    TSandbox* d = untitled();
    EXPECT_FALSE(w->Undo1->isEnabled());
    EXPECT_FALSE(w->procs->buttonEnabled(6));
    model::item_t* r = addRectangle(d, 40);
    w->refreshUndoButtons();
    EXPECT_TRUE(w->Undo1->isEnabled());
    EXPECT_TRUE(w->procs->buttonEnabled(6));
    EXPECT_FALSE(w->Redo1->isEnabled());
    d->mode = 102;
    w->toolbarCommand(6);
    EXPECT_TRUE(r->hidden);
    EXPECT_EQ(d->mode, 0);
    EXPECT_FALSE(w->Undo1->isEnabled());
    EXPECT_TRUE(w->Redo1->isEnabled());
    EXPECT_TRUE(w->procs->buttonEnabled(7));
    EXPECT_EQ(w->procs->pressedTool(), 9);
    w->Redo1->trigger();
    EXPECT_FALSE(r->hidden);
    EXPECT_TRUE(w->Undo1->isEnabled());
    // Clear Undo and Redo leaves nothing to undo.
    w->ClearUndo1->trigger();
    EXPECT_FALSE(w->Undo1->isEnabled());
    EXPECT_FALSE(w->Redo1->isEnabled());
}

TEST_F(shellTest, SelectionButtonsAndEraseAndCopy)
{
    TSandbox* d = untitled();
    model::item_t* a = addRectangle(d, 40);
    addRectangle(d, 200);
    w->refreshSelectionState();
    EXPECT_FALSE(w->procs->buttonShown(14));
    EXPECT_FALSE(w->Cut1->isEnabled());
    model::selectOnly(d->items, a);
    w->refreshSelectionState();
    for (int32_t n : {12, 13, 14, 16}) EXPECT_TRUE(w->procs->buttonShown(n)) << n;
    EXPECT_TRUE(w->Cut1->isEnabled());
    EXPECT_FALSE(w->JoinItems1->isEnabled());
    // Copy fills the clipboard; the paste button appears.
    w->toolbarCommand(16);
    EXPECT_TRUE(model::clipboardHasItems());
    EXPECT_TRUE(w->procs->buttonShown(15));
    // Erase hides the item as one step and leaves nothing selected.
    w->toolbarCommand(14);
    EXPECT_TRUE(a->hidden);
    EXPECT_EQ(model::firstSelected(d->items), nullptr);
    EXPECT_FALSE(w->procs->buttonShown(14));
    EXPECT_TRUE(w->Undo1->isEnabled());
    w->Undo1->trigger();
    EXPECT_FALSE(a->hidden);
    model::freeList(model::clipboardList());
}

TEST_F(shellTest, JoinAndSplitTwoItems)
{
    TSandbox* d = untitled();
    addRectangle(d, 40);
    addRectangle(d, 200);
    for (model::item_t* it = d->items.head; it; it = it->next)
        if (it->itemType == model::typeRectangle) model::setSelected(d->items, it, true);
    w->refreshSelectionState();
    EXPECT_TRUE(w->JoinItems1->isEnabled());
    EXPECT_TRUE(w->procs->buttonShown(35));
    w->JoinItems1->trigger();
    int grouped = 0;
    for (model::item_t* it = d->items.head; it; it = it->next)
        if (!it->hidden && it->itemType == model::typeRectangle && it->groupId != 0) ++grouped;
    EXPECT_EQ(grouped, 2);
    EXPECT_TRUE(w->SplitGroup1->isEnabled());
    w->toolbarCommand(36);
    grouped = 0;
    for (model::item_t* it = d->items.head; it; it = it->next)
        if (!it->hidden && it->itemType == model::typeRectangle && it->groupId != 0) ++grouped;
    EXPECT_EQ(grouped, 0);
}

// The application-wide key hook hands keys typed anywhere in the main window to
// the active document: Delete erases its selection as one undoable step, but
// not while a tool is placing points, and never from a window without keyboard.
TEST_F(shellTest, DeleteKeyReachesTheActiveDocumentThroughTheKeyHook)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    model::item_t* r = addRectangle(d, 40);
    model::selectOnly(d->items, r);

    d->keyboardEnabled = 0;
    QTest::keyClick(w.get(), Qt::Key_Delete);
    EXPECT_FALSE(r->hidden);

    d->keyboardEnabled = 1;
    d->mode = 102;
    QTest::keyClick(w.get(), Qt::Key_Delete);
    EXPECT_FALSE(r->hidden);

    d->mode = 0;
    QTest::keyClick(w->mdiArea, Qt::Key_Delete);
    EXPECT_TRUE(r->hidden);
    EXPECT_TRUE(w->Undo1->isEnabled());
    w->Undo1->trigger();
    EXPECT_FALSE(r->hidden);
}
