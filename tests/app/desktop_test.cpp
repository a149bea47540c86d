// The desktop conventions through the real main window: the canvas's context
// menu enabled by state, Duplicate, Select All and Ctrl+A, the zoom keys and
// Fit Page, the Arrange menu, the standard keys, and a document dropped on
// the window.
#include "shell_fixture.h"

#include "app/desktopcommands.h"
#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "model/history_index.h"

#include <QApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using canvas::TSandbox;

namespace {

model::item_t* addBox(TSandbox* d, int x, int y)
{
    model::item_t* it = model::newItem(d->items(), model::typeRectangle);
    it->shapeVariant = 2;
    geometry::buildRectangle({x, y + 40}, {x + 60, y + 40}, {x + 60, y}, it->points);
    geometry::itemBounds(it, 8, 8);
    model::recordNew(d->items(), it);
    return it;
}

int32_t visibleBoxes(TSandbox* d)
{
    int32_t n = 0;
    for (model::item_t* it = d->items().head; it; it = it->next)
        n += !it->hidden && it->kind == model::kindItem && it->itemType == model::typeRectangle;
    return n;
}

// Menu shortcuts answer keys only in the active window.
void activate(app::TForm1* w)
{
    QApplication::setActiveWindow(w);
}

app::desktopCommands_t* desktop(app::TForm1* w)
{
    return w->findChild<app::desktopCommands_t*>(QStringLiteral("desktopCommands"));
}

// The entries of a menu by text (the key after a tab left out), with their enabled state.
std::map<QString, bool> entries(QMenu* m)
{
    std::map<QString, bool> out;
    for (QAction* a : m->actions())
        if (!a->isSeparator()) out[a->text().section(QLatin1Char('\t'), 0, 0)] = a->isEnabled();
    return out;
}

} // namespace

TEST_F(ShellTest, ContextMenuEntriesFollowTheSelectionAndTheClipboard)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    app::desktopCommands_t* dc = desktop(w.get());
    ASSERT_NE(dc, nullptr);
    model::item_t* a = addBox(d, 100, 100);
    model::item_t* b = addBox(d, 300, 100);
    struct row_t {
        std::vector<model::item_t*> selected;
        bool copied;
        std::map<QString, bool> expected;
    };
    const row_t rows[] = {
        {{}, false,
         {{"Cut", false}, {"Copy", false}, {"Paste", false}, {"Delete", false}, {"Duplicate", false},
          {"Bring to Front", false}, {"Send to Back", false}, {"Join Items", false}, {"Fine-tune", false}}},
        {{a}, true,
         {{"Cut", true}, {"Copy", true}, {"Paste", true}, {"Delete", true}, {"Duplicate", true},
          {"Bring to Front", true}, {"Send to Back", true}, {"Join Items", false}, {"Fine-tune", true}}},
        {{a, b}, true,
         {{"Cut", true}, {"Copy", true}, {"Paste", true}, {"Delete", true}, {"Duplicate", true},
          {"Bring to Front", true}, {"Send to Back", true}, {"Join Items", true}, {"Fine-tune", true}}},
    };
    for (const row_t& r : rows) {
        model::deselectAll(d->items());
        for (model::item_t* it : r.selected) model::setSelected(d->items(), it, true);
        if (r.copied) model::copySelection(d->items(), model::clipboardList());
        QMenu* m = dc->contextMenu(d);
        EXPECT_EQ(entries(m), r.expected) << r.selected.size();
        delete m;
    }
    // A group offers Split Group in place of Join Items; the entries are the menus' own.
    w->joinCommand();
    QMenu* m = dc->contextMenu(d);
    EXPECT_TRUE(entries(m).count(QStringLiteral("Split Group")));
    EXPECT_TRUE(m->actions().contains(w->editMenu().SplitGroup1));
    EXPECT_TRUE(m->actions().contains(w->editMenu().Cut1));
    delete m;
}

TEST_F(ShellTest, DuplicateKeyCopiesTheSelectionAndLeavesTheClipboard)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    model::item_t* a = addBox(d, 100, 100);
    model::selectOnly(d->items(), a);
    ASSERT_FALSE(model::clipboardHasItems());
    activate(w.get());
    QTest::keyClick(w->mdiArea(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(visibleBoxes(d), 2);
    EXPECT_FALSE(model::clipboardHasItems());
    EXPECT_FALSE(model::isSelected(a));
    EXPECT_TRUE(w->editMenu().Undo1->isEnabled());
    w->editMenu().Undo1->trigger();
    EXPECT_EQ(visibleBoxes(d), 1);
}

TEST_F(ShellTest, CtrlAKeepsTheSplineExtensionAndOtherwiseSelectsAll)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    model::item_t* box = addBox(d, 100, 100);
    model::item_t* spline = model::newItem(d->items(), model::typeSpline);
    spline->shapeVariant = model::variantOpen;
    for (const geometry::point_t& p : {geometry::point_t{300, 300}, {350, 320}, {400, 300}})
        geometry::appendPoint(spline->points, p);
    geometry::itemBounds(spline, 8, 8);
    model::recordNew(d->items(), spline);

    model::selectOnly(d->items(), spline);
    activate(w.get());
    QTest::keyClick(w->mdiArea(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(d->mode(), canvas::toolExtendSpline);
    QTest::keyClick(w->mdiArea(), Qt::Key_Escape);
    EXPECT_EQ(d->mode(), canvas::modePointer);

    model::selectOnly(d->items(), box);
    QTest::keyClick(w->mdiArea(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(model::isSelected(box));
    EXPECT_TRUE(model::isSelected(spline));
    EXPECT_EQ(d->mode(), canvas::modePointer);
    // Esc lets go of them.
    QTest::keyClick(w->mdiArea(), Qt::Key_Escape);
    EXPECT_EQ(model::firstSelected(d->items()), nullptr);
}

TEST_F(ShellTest, ZoomKeysStepResetAndFitThePage)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    struct row_t {
        int key;
        double zoom;
    };
    const row_t rows[] = {{Qt::Key_Plus, 1.25}, {Qt::Key_Plus, 1.5}, {Qt::Key_Minus, 1.25}, {Qt::Key_0, 1.0},
                          {Qt::Key_Minus, 0.75}};
    activate(w.get());
    for (const row_t& r : rows) {
        QTest::keyClick(w->mdiArea(), Qt::Key(r.key), Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(d->zoomFactor(), r.zoom) << r.key;
        EXPECT_DOUBLE_EQ(w->params()->currentZoom, r.zoom);
    }
    w->viewMenu().fitPage->trigger();
    EXPECT_EQ(model::roundHalfEven(d->zoomFactor() * 100), d->fitPagePercent());
    EXPECT_FALSE(d->lastLayout().showX || d->lastLayout().showY);
    // The menus show the keys.
    EXPECT_FALSE(w->viewMenu().zoomIn->shortcut().isEmpty());
    EXPECT_FALSE(w->fileMenu().SaveAs1->shortcut().isEmpty());
    EXPECT_FALSE(w->fileMenu().Exit1->shortcut().isEmpty());
    EXPECT_TRUE(desktop(w.get())->menu().Delete1->text().contains(QLatin1Char('\t')));
}

TEST_F(ShellTest, ArrangeMenuAlignsTheSelectionAsOneStep)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    model::item_t* a = addBox(d, 100, 100);
    model::item_t* b = addBox(d, 300, 180);
    model::item_t* c = addBox(d, 500, 140);
    for (model::item_t* it : {a, b, c}) model::setSelected(d->items(), it, true);
    const app::arrangeMenu_t& m = desktop(w.get())->menu();
    m.align[int(canvas::alignEdge_t::top)]->trigger();
    int32_t moved = 0;
    for (model::item_t* it = d->items().head; it; it = it->next) {
        if (it->hidden || it->itemType != model::typeRectangle) continue;
        EXPECT_EQ(canvas::itemExtent(it).top, 100);
        ++moved;
    }
    EXPECT_EQ(moved, 3);
    w->editMenu().Undo1->trigger();
    EXPECT_FALSE(b->hidden);
    EXPECT_EQ(canvas::itemExtent(b).top, 180);
}

TEST_F(ShellTest, ADocumentDroppedOnTheWindowOpens)
{
    const QString file = makeFile(QStringLiteral("dropped.lmra"));
    const size_t before = w->documents().size();
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(path(QStringLiteral("picture.txt")))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &drop);
    EXPECT_EQ(w->documents().size(), before + 1);
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->activeDocument()->fileName(), file);
    delete data;
}
