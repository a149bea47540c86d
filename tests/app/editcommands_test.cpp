// Edit commands from the menu and the toolbar on the active document.
#include "shell_fixture.h"

#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QTest>

#include <set>

using canvas::TSandbox;

namespace {

model::item_t* addRectangle(TSandbox* d, int x)
{
    model::item_t* it = model::newItem(d->items(), model::typeRectangle);
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
    model::recordNew(d->items(), it);
    return it;
}

} // namespace

TEST_F(ShellTest, UndoAndRedoFollowTheHistory)
{
    TSandbox* d = untitled();
    EXPECT_FALSE(w->editMenu().Undo1->isEnabled());
    EXPECT_FALSE(w->procs()->buttonEnabled(6));
    model::item_t* r = addRectangle(d, 40);
    w->refreshUndoButtons();
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    EXPECT_TRUE(w->procs()->buttonEnabled(6));
    EXPECT_FALSE(w->editMenu().Redo1->isEnabled());
    d->selectTool(canvas::toolRectangle);
    w->toolbarCommand(6);
    EXPECT_TRUE(r->hidden);
    EXPECT_EQ(d->mode(), canvas::modePointer);
    EXPECT_FALSE(w->editMenu().Undo1->isEnabled());
    EXPECT_TRUE(w->editMenu().Redo1->isEnabled());
    EXPECT_TRUE(w->procs()->buttonEnabled(7));
    EXPECT_EQ(w->procs()->pressedTool(), 9);
    w->editMenu().Redo1->trigger();
    EXPECT_FALSE(r->hidden);
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    // Clear Undo and Redo leaves nothing to undo.
    w->editMenu().ClearUndo1->trigger();
    EXPECT_FALSE(w->editMenu().Undo1->isEnabled());
    EXPECT_FALSE(w->editMenu().Redo1->isEnabled());
}

TEST_F(ShellTest, SelectionButtonsAndEraseAndCopy)
{
    TSandbox* d = untitled();
    model::item_t* a = addRectangle(d, 40);
    addRectangle(d, 200);
    w->refreshSelectionState();
    EXPECT_FALSE(w->procs()->buttonShown(14));
    EXPECT_FALSE(w->editMenu().Cut1->isEnabled());
    model::selectOnly(d->items(), a);
    w->refreshSelectionState();
    for (int32_t n : {12, 13, 14, 16}) EXPECT_TRUE(w->procs()->buttonShown(n)) << n;
    EXPECT_TRUE(w->editMenu().Cut1->isEnabled());
    EXPECT_FALSE(w->editMenu().JoinItems1->isEnabled());
    // Copy fills the clipboard; the paste button appears.
    w->toolbarCommand(16);
    EXPECT_TRUE(model::clipboardHasItems());
    EXPECT_TRUE(w->procs()->buttonShown(15));
    // Erase hides the item as one step and leaves nothing selected.
    w->toolbarCommand(14);
    EXPECT_TRUE(a->hidden);
    EXPECT_EQ(model::firstSelected(d->items()), nullptr);
    EXPECT_FALSE(w->procs()->buttonShown(14));
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    w->editMenu().Undo1->trigger();
    EXPECT_FALSE(a->hidden);
    model::freeList(model::clipboardList());
}

TEST_F(ShellTest, JoinAndSplitTwoItems)
{
    TSandbox* d = untitled();
    addRectangle(d, 40);
    addRectangle(d, 200);
    for (model::item_t* it = d->items().head; it; it = it->next)
        if (it->itemType == model::typeRectangle) model::setSelected(d->items(), it, true);
    w->refreshSelectionState();
    EXPECT_TRUE(w->editMenu().JoinItems1->isEnabled());
    EXPECT_TRUE(w->procs()->buttonShown(35));
    w->editMenu().JoinItems1->trigger();
    int grouped = 0;
    for (model::item_t* it = d->items().head; it; it = it->next)
        if (!it->hidden && it->itemType == model::typeRectangle && it->groupId != 0) ++grouped;
    EXPECT_EQ(grouped, 2);
    EXPECT_TRUE(w->editMenu().SplitGroup1->isEnabled());
    w->toolbarCommand(36);
    grouped = 0;
    for (model::item_t* it = d->items().head; it; it = it->next)
        if (!it->hidden && it->itemType == model::typeRectangle && it->groupId != 0) ++grouped;
    EXPECT_EQ(grouped, 0);
}

// Redo of a join selects the group as the join did, its handle included, so
// the next drag moves the group and shows its one handle, not each member's.
TEST_F(ShellTest, RedoOfJoinSelectsTheWholeGroupWithItsHandle)
{
    TSandbox* d = untitled();
    addRectangle(d, 40);
    addRectangle(d, 200);
    addRectangle(d, 360);  // not joined
    int32_t n = 0;
    for (model::item_t* it = d->items().head; it; it = it->next)
        if (it->itemType == model::typeRectangle && n++ < 2) model::setSelected(d->items(), it, true);
    w->refreshSelectionState();
    auto selectedTypes = [&] {
        std::multiset<int32_t> types;
        for (model::item_t* it = d->items().head; it; it = it->next)
            if (it->kind == model::kindItem && !it->hidden && model::isSelected(it)) types.insert(it->itemType);
        return types;
    };
    w->editMenu().JoinItems1->trigger();
    const std::multiset<int32_t> joined = selectedTypes();
    ASSERT_EQ(joined.count(model::typeGroupHandle), 1u);
    w->undoCommand(false);
    w->undoCommand(true);
    EXPECT_EQ(selectedTypes(), joined);
    EXPECT_EQ(model::countSelectionUnits(d->items(), true), 1);
}

// The application-wide key hook hands keys typed anywhere in the main window to
// the active document: Delete erases its selection as one undoable step, but
// not while a tool is placing points, and never from a window without keyboard.
TEST_F(ShellTest, DeleteKeyReachesTheActiveDocumentThroughTheKeyHook)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    model::item_t* r = addRectangle(d, 40);
    model::selectOnly(d->items(), r);

    d->enableKeyboard(false);
    QTest::keyClick(w.get(), Qt::Key_Delete);
    EXPECT_FALSE(r->hidden);

    d->enableKeyboard(true);
    d->selectTool(canvas::toolRectangle);
    model::selectOnly(d->items(), r);
    QTest::keyClick(w.get(), Qt::Key_Delete);
    EXPECT_FALSE(r->hidden);

    d->leaveToPointer();
    QTest::keyClick(w->mdiArea(), Qt::Key_Delete);
    EXPECT_TRUE(r->hidden);
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    w->editMenu().Undo1->trigger();
    EXPECT_FALSE(r->hidden);
}

// ---------------------------------------------------------------- clipboard and placing

namespace {

int32_t visibleRectangles(TSandbox* d, int32_t* grouped = nullptr)
{
    int32_t n = 0, g = 0;
    for (model::item_t* it = d->items().head; it; it = it->next) {
        if (it->hidden || it->itemType != model::typeRectangle) continue;
        ++n;
        g += it->groupId != 0;
    }
    if (grouped) *grouped = g;
    return n;
}

// Ends the placing of pasted items where they were pasted.
void releaseInPlace(TSandbox* d)
{
    ASSERT_EQ(d->mode(), canvas::modePlacing);
    d->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(d->mode(), canvas::modePointer);
}

} // namespace

TEST_F(ShellTest, EscWhilePastedItemsFollowTheMouseTakesThePasteBackAsOneStep)
{
    TSandbox* d = untitled();
    model::item_t* r = addRectangle(d, 40);
    model::selectOnly(d->items(), r);
    w->refreshSelectionState();
    w->editMenu().Copy1->trigger();
    w->editMenu().Paste1->trigger();
    ASSERT_EQ(d->mode(), canvas::modePlacing);
    d->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(300, 300));
    ASSERT_EQ(visibleRectangles(d), 2);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_EQ(d->mode(), canvas::modePointer);
    EXPECT_EQ(visibleRectangles(d), 1);
    EXPECT_FALSE(r->hidden);
    // Undo brings the pasted copy back where the mouse had taken it.
    w->editMenu().Undo1->trigger();
    EXPECT_EQ(visibleRectangles(d), 2);
    w->editMenu().Undo1->trigger();
    EXPECT_EQ(visibleRectangles(d), 1);
}

TEST_F(ShellTest, CopyPasteThreeTimesJoinSplitAndUndo)
{
    TSandbox* d = untitled();
    model::item_t* r = addRectangle(d, 40);
    model::selectOnly(d->items(), r);
    w->refreshSelectionState();
    EXPECT_FALSE(w->editMenu().Paste1->isEnabled());
    w->editMenu().Copy1->trigger();
    EXPECT_TRUE(w->editMenu().Paste1->isEnabled());
    EXPECT_TRUE(w->procs()->buttonShown(15));
    std::vector<model::item_t*> copies;
    for (int k = 0; k < 3; ++k) {
        if (k == 1) w->toolbarCommand(15);
        else w->editMenu().Paste1->trigger();
        model::item_t* p = model::firstSelected(d->items());
        ASSERT_NE(p, nullptr);
        // Each paste lands 10 pixels right of and below the copied item,
        // in front of everything, as a step of its own.
        EXPECT_EQ(geometry::pointAt(p->points, 1), (geometry::point_t{r->x1 + 10, r->y1 + 10}));
        EXPECT_EQ(p->zOrder, 2 + k);
        EXPECT_EQ(w->panelCode(), 202);
        releaseInPlace(d);
        copies.push_back(p);
    }
    EXPECT_EQ(visibleRectangles(d), 4);
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    // The three copies joined, then split.
    model::selectOnly(d->items(), nullptr);
    for (model::item_t* c : copies) model::setSelected(d->items(), c, true);
    w->refreshSelectionState();
    EXPECT_TRUE(w->editMenu().JoinItems1->isEnabled());
    w->editMenu().JoinItems1->trigger();
    int32_t grouped = 0;
    visibleRectangles(d, &grouped);
    EXPECT_EQ(grouped, 3);
    EXPECT_TRUE(w->editMenu().SplitGroup1->isEnabled());
    EXPECT_TRUE(w->procs()->buttonShown(36));
    w->editMenu().SplitGroup1->trigger();
    visibleRectangles(d, &grouped);
    EXPECT_EQ(grouped, 0);
    EXPECT_FALSE(w->editMenu().SplitGroup1->isEnabled());
    // Undo: the split, the join, then the pastes one by one.
    w->editMenu().Undo1->trigger();
    visibleRectangles(d, &grouped);
    EXPECT_EQ(grouped, 3);
    w->editMenu().Undo1->trigger();
    visibleRectangles(d, &grouped);
    EXPECT_EQ(grouped, 0);
    EXPECT_EQ(visibleRectangles(d), 4);
    w->editMenu().Undo1->trigger();
    EXPECT_EQ(visibleRectangles(d), 3);
    w->toolbarCommand(6);
    w->toolbarCommand(6);
    EXPECT_EQ(visibleRectangles(d), 1);
    // What is left to undo is the drawing of the first rectangle.
    w->toolbarCommand(6);
    EXPECT_EQ(visibleRectangles(d), 0);
    EXPECT_FALSE(w->editMenu().Undo1->isEnabled());
    model::freeList(model::clipboardList());
}

TEST_F(ShellTest, CutErasesAndLeavesTheClipboardAsItWas)
{
    TSandbox* d = untitled();
    model::item_t* copied = addRectangle(d, 40);
    model::selectOnly(d->items(), copied);
    w->refreshSelectionState();
    w->editMenu().Copy1->trigger();
    model::item_t* r = addRectangle(d, 300);
    model::selectOnly(d->items(), r);
    w->refreshSelectionState();
    EXPECT_TRUE(w->editMenu().Cut1->isEnabled());
    w->editMenu().Cut1->trigger();
    EXPECT_TRUE(r->hidden);
    EXPECT_EQ(model::firstSelected(d->items()), nullptr);
    EXPECT_FALSE(w->editMenu().Cut1->isEnabled());
    EXPECT_TRUE(model::canUndo(d->items()));
    // Paste brings the copied item, not the cut one, 10 pixels further on.
    EXPECT_TRUE(w->editMenu().Paste1->isEnabled());
    w->editMenu().Paste1->trigger();
    model::item_t* p = model::firstSelected(d->items());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(geometry::pointAt(p->points, 1), (geometry::point_t{copied->x1 + 10, copied->y1 + 10}));
    releaseInPlace(d);
    model::freeList(model::clipboardList());
}

TEST_F(ShellTest, PastedItemsFollowTheMouseOnTheCanvas)
{
    TSandbox* d = untitled();
    model::item_t* r = addRectangle(d, 40);
    model::selectOnly(d->items(), r);
    w->refreshSelectionState();
    w->editMenu().Copy1->trigger();
    w->editMenu().Paste1->trigger();
    model::item_t* p = model::firstSelected(d->items());
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(d->mode(), canvas::modePlacing);
    // The middle of the pasted rectangle goes under the mouse.
    const geometry::point_t target = d->toScreen({400, 500});
    QTest::mouseMove(d->findChild<QWidget*>(QStringLiteral("canvasControl")), QPoint(target.x, target.y));
    d->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(target.x, target.y));
    EXPECT_EQ((p->x1 + p->x2) / 2, 400);
    EXPECT_EQ((p->y1 + p->y2) / 2, 500);
    QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::NoModifier, QPoint(target.x, target.y));
    EXPECT_EQ(d->mode(), canvas::modePointer);
    EXPECT_EQ((p->x1 + p->x2) / 2, 400);
    EXPECT_EQ(model::firstSelected(d->items()), p);
    model::freeList(model::clipboardList());
}

TEST_F(ShellTest, CopyToClipboardPutsTheMarkedAreaOnTheSystemClipboard)
{
    TSandbox* d = untitled();
    model::item_t* r = addRectangle(d, 40);
    d->repaintAll(false);
    // The item is hidden, and a hidden action is never enabled: show it, as a
    // build that offers it would, to see its availability follow the area.
    EXPECT_FALSE(w->editMenu().CopyToClipboard1->isVisible());
    w->editMenu().CopyToClipboard1->setVisible(true);
    // Nothing marked yet: the item stays disabled when the menu opens.
    emit w->editMenu().menuEdit->aboutToShow();
    EXPECT_FALSE(w->editMenu().CopyToClipboard1->isEnabled());
    // An area selection around the rectangle marks the area and selects it.
    const geometry::point_t a = d->toScreen({20, 20}), b = d->toScreen({120, 110});
    d->Image1MouseDown(Qt::LeftButton, Qt::ControlModifier, QPoint(a.x, a.y));
    d->Image1MouseMove(Qt::LeftButton, Qt::ControlModifier, QPoint(b.x, b.y));
    d->Image1MouseUp(Qt::LeftButton, Qt::ControlModifier, QPoint(b.x, b.y));
    EXPECT_EQ(model::firstSelected(d->items()), r);
    EXPECT_TRUE(w->editMenu().Cut1->isEnabled());
    d->deferredTimerTimeout();  // the marks are on the canvas now
    const QRect area = d->areaRect();
    ASSERT_EQ(d, w->activeDocument());
    EXPECT_EQ(area.size(), QSize(b.x - a.x + 1, b.y - a.y + 1));
    emit w->editMenu().menuEdit->aboutToShow();
    EXPECT_TRUE(w->editMenu().CopyToClipboard1->isEnabled());
    QGuiApplication::clipboard()->clear();
    w->editMenu().CopyToClipboard1->trigger();
    EXPECT_TRUE(d->areaCopyPending());
    d->deferredTimerTimeout();
    EXPECT_FALSE(d->areaCopyPending());
    // The copy shows the canvas without the marks.
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), area.size());
    model::selectOnly(d->items(), nullptr);
    d->repaintAll(false);
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), d->canvasImage().copy(area));
}

// The side panel follows the active document: switching windows shows the
// panel of what the newly active one has selected (or the insert panel), and
// closing a document leaves no panel of it behind.
TEST_F(ShellTest, TheSidePanelFollowsTheActiveDocumentsSelection)
{
    TSandbox* a = untitled();
    ASSERT_NE(a, nullptr);
    model::selectOnly(a->items(), addRectangle(a, 40));
    TSandbox* b = w->openDocumentWindow(QString());
    ASSERT_NE(b, nullptr);
    auto settle = [] { QTest::qWait(700); };
    struct step {
        TSandbox* activate;
        int32_t panel;
    };
    settle();
    for (const step& s : {step{a, ui::panelRectangle}, step{b, ui::panelInsert}, step{a, ui::panelRectangle}}) {
        ASSERT_TRUE(w->activateWindow(s.activate->documentNumber()));
        settle();
        EXPECT_EQ(w->activeDocument(), s.activate);
        EXPECT_EQ(w->panelCode(), s.panel) << "after activating " << (s.activate == a ? "a" : "b");
    }
    // Closing the active document with the selection: the other one shows.
    model::setModified(a->items(), false);
    a->parentWidget()->close();
    settle();
    EXPECT_EQ(w->activeDocument(), b);
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
}
