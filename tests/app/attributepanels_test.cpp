// The text and multiple-selection panels in the main window: the codes that
// make them, the font list filled at start-up, and the join and split links
// following the commands run from elsewhere.
#include "canvas/selection_support.h"
#include "shell_fixture.h"

#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "panels/multiplepanel.h"
#include "panels/panelparts.h"
#include "panels/textpanel.h"
#include "ui/panelcodes.h"

using canvas::TSandbox;

TEST_F(ShellTest, TextCodesMakeTheTextPanelInItsMode)
{
    untitled();
    for (int32_t code : {ui::panelNextText, ui::panelTextEntry, ui::panelTextEntryGuided, ui::panelText}) {
        w->showPanel(code, {});
        auto* t = dynamic_cast<panels::TTextbox*>(w->codePanel());
        ASSERT_NE(t, nullptr) << code;
        EXPECT_EQ(t->toolMode(), code != ui::panelText) << code;
        EXPECT_EQ(t->titleBar()->caption(), code == ui::panelText ? QStringLiteral("Fine-tune") : QStringLiteral("Text"));
    }
    // Typing hints come with the typing step.
    w->showPanel(ui::panelTextEntryGuided, {});
    EXPECT_EQ(dynamic_cast<panels::TTextbox*>(w->codePanel())->hint(1)->text(), QStringLiteral("Enter the text now."));
}

TEST_F(ShellTest, FontListIsFilledAtStartUpSorted)
{
    w->readFontList();
    const std::vector<settings::fontEntry_t>& list = w->params()->fontList;
    ASSERT_FALSE(list.empty());
    for (size_t k = 1; k < list.size(); ++k)
        EXPECT_LE(QString::localeAwareCompare(list[k - 1].name, list[k].name), 0) << list[k].name.toStdString();
    for (const settings::fontEntry_t& f : list) EXPECT_LE(f.name.size(), 32);
}

TEST_F(ShellTest, MultiplePanelLinksFollowJoinAndSplitFromTheEditMenu)
{
    TSandbox* d = untitled();
    model::item_t* a = seltest::addLine(d->items(), {40, 30}, {120, 30});
    model::item_t* b = seltest::addLine(d->items(), {40, 60}, {120, 60});
    model::deselectAll(d->items());
    model::setSelected(d->items(), a, true);
    model::setSelected(d->items(), b, true);
    w->showPanel(ui::panelMultiple, {});
    auto* u = dynamic_cast<panels::TUnibox*>(w->codePanel());
    ASSERT_NE(u, nullptr);
    EXPECT_TRUE(u->canJoin());
    EXPECT_FALSE(u->canSplit());
    w->joinCommand();
    EXPECT_FALSE(u->hint(3)->linkActive());
    EXPECT_TRUE(u->hint(4)->linkActive());
}
