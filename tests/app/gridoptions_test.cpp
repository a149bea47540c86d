// The grid and snap options in the floating window and the Reset command:
// saving the options of the current file spaces both directions again as one
// step, new files keep their own copy, and a density that does not read as a
// measure keeps the previous one.
#include "canvas/gridedit.h"
#include "shell_fixture.h"

#include "model/grid.h"
#include "model/history.h"
#include "ui/gridoptions.h"

namespace {

using canvas::TSandbox;

std::vector<int32_t> livePositions(const model::anchorList_t& l, bool xAxis)
{
    std::vector<int32_t> out;
    for (const model::anchorNode_t* a = l.head; a; a = a->next)
        if (!a->deleted) out.push_back(xAxis ? model::anchorPositionX(a) : model::anchorPositionY(a));
    return out;
}

ui::TOptions* shownOptions(app::TForm1& w)
{
    return dynamic_cast<ui::TOptions*>(w.TFormX()->hostedPanel());
}

TEST_F(ShellTest, CurrentFileOptionsRespaceBothDirectionsAsOneStep)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    const auto& hd = d->header()->hdr();
    const int32_t px = model::pageOriginX(hd), py = model::pageOriginY(hd);
    ASSERT_TRUE(w->openGridOptions(true));
    ui::TOptions* o = shownOptions(*w);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(w->TFormX()->windowTitle(), QStringLiteral("Grid and Snap - ") + d->caption());
    EXPECT_EQ(o->dir[0].densityLabel->text(), QStringLiteral("Grid Density (Inches)"));
    o->dir[0].density->setText(QStringLiteral("1/2"));
    emit o->dir[0].density->textEdited(QStringLiteral("1/2"));
    o->dir[1].density->setText(QStringLiteral("0,75"));
    emit o->dir[1].density->textEdited(QStringLiteral("0,75"));
    o->dir[1].snap->setChecked(true);
    const std::vector<int32_t> beforeY = livePositions(d->grid().gridRecord()->anchorsY, false);
    w->TFormX()->leftClicked();
    EXPECT_TRUE(dlg.messages.empty());  // no question
    EXPECT_DOUBLE_EQ(hd.anchorStepX, 0.5);
    EXPECT_DOUBLE_EQ(hd.anchorStepY, 0.75);
    EXPECT_EQ(hd.snapY, 1);
    EXPECT_EQ(livePositions(d->grid().gridRecord()->anchorsX, true).front(), px + 48);
    EXPECT_EQ(livePositions(d->grid().gridRecord()->anchorsY, false).front(), py + 72);
    ASSERT_TRUE(model::undo(d->items()));
    EXPECT_EQ(livePositions(d->grid().gridRecord()->anchorsY, false), beforeY);
}

TEST_F(ShellTest, NewFileOptionsKeepUnreadableDensitiesAndFollowTheUnit)
{
    const double stepX = w->params()->newFile.record(w->params()->newFile.units).anchorStepX;
    ASSERT_TRUE(w->openGridOptions(false));
    ui::TOptions* o = shownOptions(*w);
    ASSERT_NE(o, nullptr);
    ASSERT_NE(o->unitBox, nullptr);
    o->unitBox->setCurrentIndex(1);  // millimetres
    EXPECT_EQ(o->dir[1].densityLabel->text(), QStringLiteral("Grid Density (Millimeters)"));
    o->unitBox->setCurrentIndex(2);  // back to inches
    emit o->dir[0].density->textEdited(QStringLiteral("a quarter"));
    o->dir[0].showGrid->setChecked(false);
    w->TFormX()->leftClicked();
    EXPECT_EQ(w->params()->newFile.units, 3);
    EXPECT_DOUBLE_EQ(w->params()->newFile.recInch.anchorStepX, stepX);
    EXPECT_EQ(w->params()->newFile.recInch.anchorStepXText, QStringLiteral("a quarter"));
    EXPECT_EQ(w->params()->newFile.showGridX, 0);
}

TEST_F(ShellTest, ResetAsksAndOnYesRemovesTheGridlineOnThePageEdge)
{
    TSandbox* d = untitled();
    ASSERT_NE(d, nullptr);
    const int32_t px = model::pageOriginX(d->header()->hdr());
    w->gridCommand(3);
    dlg.answers = {ui::btnNo};
    w->resetGridCommand(1);
    EXPECT_EQ(livePositions(d->grid().gridRecord()->anchorsX, true).front(), px);
    dlg.answers = {ui::btnYes};
    w->resetGridCommand(1);
    EXPECT_EQ(livePositions(d->grid().gridRecord()->anchorsX, true).front(), px + 24);
    EXPECT_EQ(livePositions(d->grid().gridRecord()->anchorsY, false).front(), model::pageOriginY(d->header()->hdr()));
    EXPECT_TRUE(w->viewMenu().resetItems[1]->isEnabled());
    w->gridCommand(1);
    EXPECT_FALSE(w->viewMenu().resetItems[2]->isEnabled());
}

} // namespace
