// The side panel in the main window: the insert panel, switching to a tool's
// panel, the suggestions and the step history walked with Back and Forward.
#include "canvas/selection_support.h"
#include "shell_fixture.h"

#include "panels/insertpanel.h"
#include "panels/panelhost.h"
#include "panels/panelparts.h"
#include "panels/shapepanel.h"
#include "ui/panellook.h"
#include "canvas/modes.h"
#include "canvas/toolbar.h"
#include "model/history.h"
#include "model/history_index.h"
#include "app/keyrouting.h"
#include "app/panelframes.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using canvas::TSandbox;

namespace {

QString shownTitle(app::TForm1& w)
{
    auto* f = dynamic_cast<ui::panelFrame_t*>(w.sidePanel()->panel());
    return f ? f->titleBar()->caption() : QString();
}

QStringList shownSuggestions(app::TForm1& w)
{
    QStringList out;
    for (int32_t k = 0; k < 4; ++k)
        if (!w.sidePanel()->suggestionButton(k)->isHidden()) out << w.sidePanel()->suggestionButton(k)->caption();
    return out;
}

} // namespace

TEST_F(ShellTest, InsertPanelShowsAtStartInTheMenusOrder)
{
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
    ASSERT_TRUE(w->insertPanel());
    EXPECT_EQ(w->sidePanel()->panel(), w->insertPanel());
    EXPECT_EQ(shownTitle(*w), QStringLiteral("Insert"));
    EXPECT_TRUE(shownSuggestions(*w).isEmpty());
    EXPECT_FALSE(w->sidePanel()->backButton()->isEnabled());
    EXPECT_FALSE(w->sidePanel()->forwardButton()->isEnabled());
    QStringList menu, panel;
    for (QAction* a : w->menuInsert()->actions()) menu << a->text();
    for (int32_t i = 0; i < int32_t(panels::insertEntries.size()); ++i) panel << w->insertPanel()->entry(i)->caption();
    EXPECT_EQ(menu, panel);
    EXPECT_EQ(panel.first(), QStringLiteral("Picture"));
    EXPECT_EQ(panel[15], QStringLiteral("Oblong"));
    EXPECT_EQ(panel.last(), QStringLiteral("Barcode"));
}

TEST_F(ShellTest, PressingAnEntryTwiceQuicklySwitchesOnce)
{
    TSandbox* d = untitled();
    ASSERT_TRUE(d);
    w->insertPanel()->entry(2)->onClick();  // "Line"
    w->insertPanel()->entry(6)->onClick();  // ignored while the first is pending
    EXPECT_TRUE(w->insertPanel()->busy);
    EXPECT_TRUE(w->panelSwitchTimer().isActive());
    w->runPendingPanel();
    EXPECT_FALSE(w->insertPanel()->busy);
    EXPECT_EQ(w->panelCode(), ui::panelNextLine);
    EXPECT_EQ(d->mode(), canvas::toolLine);
    EXPECT_EQ(shownTitle(*w), QStringLiteral("Line"));
    EXPECT_EQ(shownSuggestions(*w), QStringList{QStringLiteral("Insert new item")});
    EXPECT_EQ(w->stepHistory().entries().size(), 1u);
    EXPECT_TRUE(w->sidePanel()->backButton()->isEnabled());
}

TEST_F(ShellTest, ToolButtonShowsItsPanelAndTheKeyboardReachesTheEntries)
{
    untitled();
    w->toolbarCommand(canvas::buttonStar);
    EXPECT_EQ(w->panelCode(), canvas::toolStar);
    EXPECT_EQ(shownTitle(*w), QStringLiteral("Star"));
    EXPECT_FALSE(w->insertPanel()->isVisible());
    w->showPanel(ui::panelInsert, {.applyToWindow = true});
    ui::listButton_t* e = w->insertPanel()->entry(9);  // "Circle"
    EXPECT_EQ(e->focusPolicy(), Qt::TabFocus);
    w->QMainWindow::activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    e->setFocus();
    // The canvas takes most keys first; the keys of the focused control stay with it.
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(w->pendingPanel(), canvas::toolCircle);
    EXPECT_TRUE(w->keyRouter()->sidePanelKey(Qt::Key_Down));
    EXPECT_FALSE(w->keyRouter()->sidePanelKey(Qt::Key_Delete));
}

TEST_F(ShellTest, BackAndForwardRestoreStepsAndSkipErasedItems)
{
    TSandbox* d = untitled();
    model::item_t* r = seltest::addRectangle(d->items(), {40, 90}, {100, 90}, 50);
    w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    model::selectOnly(d->items(), r);
    w->showPanel(ui::panelRectangle, {.applyToWindow = true});
    w->showPanel(canvas::toolStar, {.applyToWindow = true});  // the tool clears the selection
    ASSERT_EQ(w->stepHistory().entries().size(), 3u);
    EXPECT_FALSE(model::firstSelected(d->items()));

    w->stepBack();
    EXPECT_EQ(w->panelCode(), ui::panelRectangle);
    EXPECT_EQ(model::firstSelected(d->items()), r);
    EXPECT_EQ(model::flaggedSelected(d->items()), std::vector<model::item_t*>{r});  // what the marks are drawn from
    EXPECT_TRUE(w->sidePanel()->forwardButton()->isEnabled());
    w->stepForward();
    EXPECT_EQ(w->panelCode(), canvas::toolStar);

    model::selectOnly(d->items(), r);
    model::eraseSelection(d->items());
    w->stepBack();
    EXPECT_EQ(w->panelCode(), ui::panelNextLine);
    EXPECT_EQ(w->stepHistory().current(), 0);
    w->stepBack();
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
    EXPECT_FALSE(w->sidePanel()->backButton()->isEnabled());
    // A new switch drops the steps ahead.
    w->showPanel(ui::panelNextText, {.applyToWindow = true});
    EXPECT_EQ(w->stepHistory().entries().size(), 1u);
    EXPECT_FALSE(w->sidePanel()->forwardButton()->isEnabled());
}

// Back changes only the selection: the old marks come off and the new ones
// go on, over a canvas left as it was, from the pointer mode and from a tool.
TEST_F(ShellTest, BackLeavesTheCanvasAsAWholeRepaintWould)
{
    TSandbox* d = untitled();
    model::item_t* first = seltest::addRectangle(d->items(), {40, 90}, {100, 90}, 50);
    seltest::addRectangle(d->items(), {60, 100}, {160, 100}, 40);
    model::item_t* last = seltest::addRectangle(d->items(), {200, 60}, {260, 60}, 30);
    d->repaintAll(false);
    auto select = [&](model::item_t* it) {
        d->eraseMarks();
        model::selectOnly(d->items(), it);
        d->drawSelectionMarks();
    };
    w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    select(first);
    w->showPanel(ui::panelRectangle, {.applyToWindow = true});
    select(last);
    w->showPanel(ui::panelRectangle, {.applyToWindow = true});
    auto expectBackTo = [&](model::item_t* it, const char* what) {
        d->deferredTimerTimeout();  // the marks of what is selected now are on the canvas
        w->stepBack();
        ASSERT_EQ(model::firstSelected(d->items()), it) << what;
        // The old marks are gone at once, the new ones come with the deferred job.
        const QImage unmarked = d->canvasImage().copy();
        d->deferredTimerTimeout();
        const QImage shown = d->canvasImage().copy();
        d->repaintAll(true);
        EXPECT_EQ(unmarked, d->canvasImage()) << what;
        d->deferredTimerTimeout();
        EXPECT_EQ(shown, d->canvasImage()) << what;
    };
    // The last rectangle's marks are on the canvas; Back selects the first.
    expectBackTo(first, "from the pointer");
    w->stepForward();
    d->deferredTimerTimeout();
    ASSERT_EQ(model::firstSelected(d->items()), last);
    w->showPanel(canvas::toolStar, {.applyToWindow = true});
    ASSERT_EQ(d->mode(), canvas::toolStar);
    expectBackTo(last, "from a tool");
}

// Back and Forward between a shape's fine-tune panel and a shape tool keep
// the panel's widgets; what it shows must be what a panel built anew for
// the step's code shows (title, the lists' entries and choices, which
// lists are shown and enabled, the hints).
TEST_F(ShellTest, BackBetweenShapePanelsShowsWhatANewPanelWould)
{
    TSandbox* d = untitled();
    model::item_t* r = seltest::addRectangle(d->items(), {40, 90}, {100, 90}, 50);
    r->lineColor = 0x0000FF;
    r->lineWeight = 1.2;
    auto shown = [](QWidget* panel) {
        QString out;
        auto* f = dynamic_cast<panels::TPolybox*>(panel);
        if (!f) return out;
        out += f->titleBar()->caption() + u'\n';
        QList<QComboBox*> lists = f->findChildren<QComboBox*>();
        std::sort(lists.begin(), lists.end(),
                  [](const QComboBox* a, const QComboBox* b) { return a->objectName() < b->objectName(); });
        for (const QComboBox* c : lists) {
            QStringList entries;
            for (int k = 0; k < c->count(); ++k) entries << c->itemText(k);
            out += QStringLiteral("%1 shown=%2 enabled=%3 at=%4: %5\n")
                       .arg(c->objectName())
                       .arg(c->isVisibleTo(f))
                       .arg(c->isEnabled())
                       .arg(c->currentIndex())
                       .arg(entries.join(u'|'));
        }
        for (const QWidget* c : f->findChildren<QWidget*>())
            if (const auto* h = dynamic_cast<const panels::hintBox_t*>(c))
                out += QStringLiteral("%1 shown=%2: %3\n").arg(h->objectName()).arg(h->isVisibleTo(f)).arg(h->text());
        return out;
    };
    w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    model::selectOnly(d->items(), r);
    w->showPanel(ui::panelRectangle, {.applyToWindow = true});
    w->showPanel(canvas::toolStar, {.applyToWindow = true});
    QWidget* const kept = w->codePanel();
    const auto host = app::makePanelHost(*w);

    struct step_t {
        const char* what;
        bool back;
        int32_t code;
    };
    const step_t steps[] = {
        {"Back from the star tool to the rectangle's fine-tune panel", true, ui::panelRectangle},
        {"Forward to the star tool", false, canvas::toolStar},
        {"Back again", true, ui::panelRectangle},
    };
    for (const step_t& s : steps) {
        if (s.back) w->stepBack();
        else w->stepForward();
        ASSERT_EQ(w->panelCode(), s.code) << s.what;
        EXPECT_EQ(w->codePanel(), kept) << s.what;
        const std::unique_ptr<QWidget> fresh(app::makeSidePanel(s.code, *host));
        EXPECT_EQ(shown(kept).toStdString(), shown(fresh.get()).toStdString()) << s.what;
    }
}

TEST_F(ShellTest, SuggestionSelectsTheNewestItemForFineTuning)
{
    TSandbox* d = untitled();
    seltest::addRectangle(d->items(), {40, 90}, {100, 90}, 50);
    model::item_t* line = model::newItem(d->items(), model::typeLine);
    line->x2 = line->boxRight = 80;
    line->y1 = line->y2 = line->boxTop = line->boxBottom = 30;
    model::recordNew(d->items(), line);
    model::selectOnly(d->items(), line);
    w->showPanel(ui::panelNextLine, {});
    EXPECT_EQ(shownSuggestions(*w),
              (QStringList{QStringLiteral("Insert new item"), QStringLiteral("Fine-tune this line")}));
    model::selectOnly(d->items(), nullptr);
    w->runSuggestion(2);
    EXPECT_EQ(model::firstSelected(d->items()), line);
    EXPECT_EQ(w->panelCode(), ui::panelLine);
    EXPECT_EQ(shownTitle(*w), QStringLiteral("Fine-tune"));
    EXPECT_EQ(shownSuggestions(*w), (QStringList{QStringLiteral("Insert new item"), QStringLiteral("Draw next line")}));
}

TEST_F(ShellTest, PictureEntryAsksForAPictureAndPageSetupLinkOpensPageSetup)
{
    untitled();
    w->insertPanel()->choose(0);  // "Picture"
    w->runPendingPanel();
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
    EXPECT_FALSE(w->insertPanel()->busy);
    // The picture dialog was asked (and cancelled: nothing scripted).
    ASSERT_EQ(dlg.fileRequests.size(), 1u);
    EXPECT_EQ(dlg.fileRequests[0].title, QStringLiteral("Open"));
    emit w->insertPanel()->hintBox()->linkActivated(QStringLiteral("setup"));
    EXPECT_EQ(w->TFormX()->hostedCode(), ui::hostedPageSetup);
    EXPECT_TRUE(w->insertPanel()->hintBox()->isHidden());
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
}
