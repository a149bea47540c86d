// The text and multiple-selection panels in the main window: the codes that
// make them, the font list filled at start-up, and the join and split links
// following the commands run from elsewhere.
#include "shell_fixture.h"

#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "panels/multiplepanel.h"
#include "panels/panelparts.h"
#include "panels/textpanel.h"
#include "ui/panelcodes.h"

using canvas::TSandbox;

namespace {

model::item_t* addLine(TSandbox* d, int32_t y)
{
    model::item_t* it = model::newItem(d->items(), model::typeLine);
    it->x1 = it->boxLeft = 40;
    it->x2 = it->boxRight = 120;
    it->y1 = it->y2 = it->boxTop = it->boxBottom = y;
    model::recordNew(d->items(), it);
    return it;
}

} // namespace

TEST_F(ShellTest, TextCodesMakeTheTextPanelInItsMode)
{
    untitled();
    for (int32_t code : {ui::panelNextText, ui::panelTextEntry, ui::panelTextEntryGuided, ui::panelText}) {
        w->showPanel(code, false, false, false);
        auto* t = dynamic_cast<panels::TTextbox*>(w->codePanel);
        ASSERT_NE(t, nullptr) << code;
        EXPECT_EQ(t->toolMode(), code != ui::panelText) << code;
        EXPECT_EQ(t->titleBar()->caption(), code == ui::panelText ? QStringLiteral("Fine-tune") : QStringLiteral("Text"));
    }
    // Typing hints come with the typing step.
    w->showPanel(ui::panelTextEntryGuided, false, false, false);
    EXPECT_EQ(dynamic_cast<panels::TTextbox*>(w->codePanel)->hint(1)->text(), QStringLiteral("Enter the text now."));
}

TEST_F(ShellTest, FontListIsFilledAtStartUpSorted)
{
    w->Timer5Timer();
    const std::vector<settings::fontEntry_t>& list = w->params->fontList;
    ASSERT_FALSE(list.empty());
    for (size_t k = 1; k < list.size(); ++k)
        EXPECT_LE(QString::localeAwareCompare(list[k - 1].name, list[k].name), 0) << list[k].name.toStdString();
    for (const settings::fontEntry_t& f : list) EXPECT_LE(f.name.size(), 32);
}

TEST_F(ShellTest, MultiplePanelLinksFollowJoinAndSplitFromTheEditMenu)
{
    TSandbox* d = untitled();
    model::item_t* a = addLine(d, 30);
    model::item_t* b = addLine(d, 60);
    model::deselectAll(d->items());
    model::setSelected(d->items(), a, true);
    model::setSelected(d->items(), b, true);
    w->showPanel(ui::panelMultiple, false, false, false);
    auto* u = dynamic_cast<panels::TUnibox*>(w->codePanel);
    ASSERT_NE(u, nullptr);
    EXPECT_TRUE(u->canJoin());
    EXPECT_FALSE(u->canSplit());
    w->joinCommand();
    EXPECT_FALSE(u->hint(3)->linkActive());
    EXPECT_TRUE(u->hint(4)->linkActive());
}
