// The side panel after Undo and Redo: while items stay selected it shows
// their panel with the restored values; with nothing selected the insert
// panel. Clicking items and choosing tools show the line and shape panels.
#include "shell_fixture.h"

#include "canvas/modes.h"
#include "canvas/picking.h"
#include "canvas/selection_support.h"
#include "panels/linepanel.h"
#include "panels/shapepanel.h"
#include "ui/panelcodes.h"

using namespace seltest;

namespace {

template <class P>
P* shownPanel(app::TForm1& f)
{
    return dynamic_cast<P*>(f.codePanel());
}

} // namespace

TEST_F(ShellTest, UndoOfAPanelChangeShowsTheRestoredValuesInTheSamePanel)
{
    canvas::TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    item_t* line = addLine(d->items(), {100, 100}, {200, 100});
    select(d->items(), {line});
    w->showPanel(canvas::panelForSelection(d->items()));
    ASSERT_EQ(w->panelCode(), ui::panelLine);
    auto* panel = shownPanel<panels::TLinebox>(*w);
    ASSERT_NE(panel, nullptr);
    panel->colourList()->setCurrentIndex(2);  // "Green"
    ASSERT_EQ(current(d->items(), line)->lineColor, 0x008000);

    w->undoCommand(false);
    flushDeletes();
    EXPECT_EQ(w->panelCode(), ui::panelLine);
    panel = shownPanel<panels::TLinebox>(*w);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->colourList()->index(), 0);  // "Black" again
    w->undoCommand(true);
    EXPECT_EQ(shownPanel<panels::TLinebox>(*w)->colourList()->index(), 2);
}

TEST_F(ShellTest, UndoOfAShapeConversionShowsThePanelOfTheRestoredShape)
{
    canvas::TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    item_t* square = addSquare(d->items(), {100, 200}, {160, 200});
    select(d->items(), {square});
    w->showPanel(canvas::panelForSelection(d->items()));
    auto* panel = shownPanel<panels::TPolybox>(*w);
    ASSERT_NE(panel, nullptr);
    panel->fourthList()->setCurrentIndex(1);  // "Rectangle"

    w->undoCommand(false);
    flushDeletes();
    EXPECT_EQ(w->panelCode(), ui::panelSquare);
    ASSERT_NE(shownPanel<panels::TPolybox>(*w), nullptr);
    EXPECT_EQ(shownPanel<panels::TPolybox>(*w)->fourthList()->currentText(), QStringLiteral("Square"));
    w->undoCommand(true);
    flushDeletes();
    EXPECT_EQ(w->panelCode(), ui::panelRectangle);

    model::deselectAll(d->items());
    w->undoCommand(false);
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
}

TEST_F(ShellTest, ChoosingAToolShowsTheShapePanelForTheNextShape)
{
    ASSERT_NE(untitled(), nullptr);
    w->showPanel(canvas::toolStar, {.onlyIfChanged = true, .applyToWindow = true});
    auto* panel = shownPanel<panels::TPolybox>(*w);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->fineTune());
    EXPECT_EQ(panel->titleBar()->caption(), QStringLiteral("Star"));
    EXPECT_EQ(w->activeDocument()->mode(), canvas::toolStar);
}
