// The guidance pages in the main window: the page after each step of the
// user, where the links lead (through the panel timer), what "Don't show this
// help page again." changes and that it lasts across a restart, Show All and
// Show None, the fit of every page in the side panel, and Help > About.
#include "shell_fixture.h"
#include "testnames.h"

#include "canvas/modes.h"
#include "model/history.h"
#include "model/itemlist.h"
#include "settings/params.h"
#include "ui/aboutpanel.h"
#include "ui/guidancepanel.h"
#include "ui/hostwindow.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using canvas::TSandbox;

namespace {

// The items a user sees in the window (no header, grid record or deletion marker).
int32_t visibleItems(const TSandbox* d)
{
    int32_t n = 0;
    for (const model::item_t* it = d->items().head; it; it = it->next)
        n += it->kind == model::kindItem && !it->hidden && it->itemType >= model::typeText &&
             it->itemType < model::typeDeletionMarker;
    return n;
}

class GuidanceShell : public ShellTest {
protected:
    ui::TLinehelp* page() const { return dynamic_cast<ui::TLinehelp*>(w->codePanel()); }

    void clickAt(TSandbox* d, geometry::point_t doc, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const geometry::point_t s = d->toScreen(doc);
        d->Image1MouseMove(Qt::NoButton, mods, QPoint(s.x, s.y));
        d->Image1MouseDown(Qt::LeftButton, mods, QPoint(s.x, s.y));
        d->Image1MouseUp(Qt::LeftButton, mods, QPoint(s.x, s.y));
    }

    // The tool chosen as from the insert panel (by its panel), then its item drawn.
    void draw(TSandbox* d, int32_t panel, std::initializer_list<geometry::point_t> points)
    {
        w->runPanelCommand(panel);
        const int32_t tool = panel == ui::panelNextLine   ? int32_t(canvas::toolLine)
                             : panel == ui::panelNextText ? int32_t(canvas::toolText)
                                                          : panel;
        ASSERT_EQ(d->mode(), tool);
        for (geometry::point_t p : points) clickAt(d, p);
    }
    void drawStar(TSandbox* d, int x = 200) { draw(d, canvas::toolStar, {{x, 200}, {x + 60, 200}, {x + 30, 200}}); }
    void drawTriangle(TSandbox* d, int x = 100)
    {
        draw(d, canvas::toolTriangle, {{x, 100}, {x + 80, 100}, {x + 40, 40}});
    }

    // A click on box `number` of the page showing, then the panel timer.
    void followLink(int32_t number)
    {
        ASSERT_NE(page(), nullptr);
        ui::guidanceBox_t* b = page()->box(number);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->hasLink());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_TRUE(b->isHidden());
        EXPECT_TRUE(w->panelSwitchTimer().isActive());
        w->runPendingPanel();
    }
};

TEST_F(GuidanceShell, AfterAStarItsPageAndTheStartNextLinkMakesTheStarToolCurrent)
{
    TSandbox* d = untitled();
    drawStar(d);
    ASSERT_EQ(w->panelCode(), 1055);
    ASSERT_NE(page(), nullptr);
    EXPECT_EQ(page()->titleBar()->caption(), QStringLiteral("Hints"));
    EXPECT_EQ(page()->box(1)->text().text, QStringLiteral("Click where you want to start another star, or..."));
    EXPECT_EQ(page()->box(2)->text().link, QStringLiteral("Start next star"));
    EXPECT_EQ(page()->box(3)->text().link, QStringLiteral("Fine-tune"));
    EXPECT_EQ(page()->box(5)->text().link, QStringLiteral("Move this star"));
    // The star tool is still current: the next click starts another star.
    EXPECT_EQ(d->mode(), canvas::toolStar);
    followLink(2);
    EXPECT_EQ(w->panelCode(), canvas::toolStar);
    EXPECT_EQ(d->mode(), canvas::toolStar);
}

struct linkCase {
    const char* name;
    int32_t box;
    bool manipulationShown;  // the flag of the star's manipulation page
    int32_t panel;
    bool starSelected;
};
void PrintTo(const linkCase& c, std::ostream* os) { *os << c.name; }

class GuidanceLinks : public GuidanceShell, public ::testing::WithParamInterface<linkCase> {};

TEST_P(GuidanceLinks, SelectTheNewestItemAndShowItsPanel)
{
    const linkCase& c = GetParam();
    TSandbox* d = untitled();
    drawTriangle(d);
    drawStar(d);
    ASSERT_EQ(w->panelCode(), 1055);
    ui::setGuidanceWanted(*w->params(), 1056, c.manipulationShown);
    followLink(c.box);
    EXPECT_EQ(w->panelCode(), c.panel);
    const model::item_t* sel = model::firstSelected(d->items());
    EXPECT_EQ(sel && sel->itemType == model::typeStar, c.starSelected);
    EXPECT_EQ(model::singleSelected(d->items()) != nullptr, c.starSelected);
    // The pointer: a click now picks, it does not start a star.
    EXPECT_EQ(d->mode(), canvas::modePointer);
}

INSTANTIATE_TEST_SUITE_P(Star, GuidanceLinks,
                         ::testing::Values(linkCase{"FineTune", 3, true, 206, true},
                                           linkCase{"MoveShowsTheManipulationPage", 5, true, 1056, true},
                                           linkCase{"MoveWithoutThatPageFineTunes", 5, false, 206, true}),
                         testnames::byName());

TEST_F(GuidanceShell, TickingTheBoxOnTheTrianglePageHidesItFromThenOn)
{
    TSandbox* d = untitled();
    drawTriangle(d);
    ASSERT_EQ(w->panelCode(), 1043);
    QTest::mouseClick(page()->dontShowLabel(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(w->guidanceWanted(1043));
    EXPECT_TRUE(w->guidanceWanted(1044));
    w->runPendingPanel();
    EXPECT_EQ(w->panelCode(), canvas::toolTriangle);
    EXPECT_EQ(d->mode(), canvas::toolTriangle);
    // The next triangle leaves the triangle panel; other pages still show.
    drawTriangle(d, 300);
    EXPECT_EQ(w->panelCode(), canvas::toolTriangle);
    EXPECT_EQ(visibleItems(d), 2);
    drawStar(d);
    EXPECT_EQ(w->panelCode(), 1055);
}

TEST_F(GuidanceShell, TheFlagsSurviveARestart)
{
    TSandbox* d = untitled();
    drawTriangle(d);
    page()->dontShowBox()->click();
    restart();
    EXPECT_FALSE(w->guidanceWanted(1043));
    EXPECT_TRUE(w->guidanceWanted(1045));
    // Show None and Show All are kept too.
    w->setHints(false);
    restart();
    for (int32_t p : ui::guidancePageCodes()) EXPECT_FALSE(w->guidanceWanted(p)) << p;
    w->setHints(true);
    restart();
    for (int32_t p : ui::guidancePageCodes()) EXPECT_TRUE(w->guidanceWanted(p)) << p;
}

TEST_F(GuidanceShell, ShowNoneLeavesThePanelsAsTheStepsHaveThem)
{
    TSandbox* d = untitled();
    w->setHints(false);
    drawStar(d);
    EXPECT_EQ(w->panelCode(), canvas::toolStar);
    // Grid and snap choices leave the panel too.
    w->gridCommand(model::gridBoth);
    w->snapCommand(model::gridBoth);
    EXPECT_EQ(w->panelCode(), canvas::toolStar);
    // Erasing shows the pointer panel instead of the undo page.
    w->runPanelCommand(ui::panelInsert);
    model::selectLast(d->items());
    w->eraseCommand();
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
}

struct stepCase {
    const char* name;
    int32_t page;
};
void PrintTo(const stepCase& c, std::ostream* os) { *os << c.name; }

class GuidanceSteps : public GuidanceShell, public ::testing::WithParamInterface<stepCase> {};

// With all flags set, each kind of step shows its page; with the page's
// flag cleared the panel stays.
TEST_P(GuidanceSteps, ShowTheirPageOnlyWhileItsFlagIsSet)
{
    const stepCase& c = GetParam();
    for (bool shown : {true, false}) {
        TSandbox* d = untitled();
        ui::setGuidanceWanted(*w->params(), c.page, shown);
        w->runPanelCommand(ui::panelInsert);
        const QString name = QString::fromLatin1(c.name);
        if (name == QLatin1String("Line")) {
            draw(d, ui::panelNextLine, {{50, 50}, {150, 80}});
        } else if (name == QLatin1String("SplinePoint")) {
            draw(d, canvas::toolSpline, {{50, 50}, {150, 80}});
        } else if (name == QLatin1String("Text")) {
            draw(d, ui::panelNextText, {{50, 50}});
            d->FormKeyPress(QStringLiteral("A"));
        } else if (name == QLatin1String("Grid")) {
            w->gridCommand(model::gridHorizontal);
        } else if (name == QLatin1String("Snap")) {
            w->snapCommand(model::gridBoth);
        } else if (name == QLatin1String("Anchors")) {
            w->gridCommand(model::gridBoth);
            w->anchorCommand(model::gridBoth);
        } else if (name == QLatin1String("Erase")) {
            drawTriangle(d);
            w->runPanelCommand(ui::panelInsert);
            model::selectLast(d->items());
            w->eraseCommand();
        }
        EXPECT_EQ(w->panelCode() == c.page, shown) << w->panelCode();
        w->runPanelCommand(ui::panelInsert);
        d->selectTool(ui::panelInsert);
        d->parentWidget()->close();
        model::setModified(d->items(), false);
        flushDeletes();
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, GuidanceSteps,
                         ::testing::Values(stepCase{"Line", 1024}, stepCase{"SplinePoint", 1061},
                                           stepCase{"Text", 1035}, stepCase{"Grid", 1028}, stepCase{"Snap", 1029},
                                           stepCase{"Anchors", 1042}, stepCase{"Erase", 1038}),
                         testnames::byName());

TEST_F(GuidanceShell, TheUndoLinkBringsTheErasedItemBack)
{
    TSandbox* d = untitled();
    drawTriangle(d);
    w->runPanelCommand(ui::panelInsert);
    model::selectLast(d->items());
    w->eraseCommand();
    ASSERT_EQ(w->panelCode(), 1038);
    EXPECT_EQ(visibleItems(d), 0);
    followLink(1);
    EXPECT_EQ(visibleItems(d), 1);
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
}

TEST_F(GuidanceShell, WithoutAnItemTheLinksShowTheInsertPanel)
{
    TSandbox* d = untitled();
    drawTriangle(d);
    ASSERT_EQ(w->panelCode(), 1043);
    // The triangle goes before the link is followed: erased, the newest
    // record is its deletion marker.
    model::selectLast(d->items());
    model::eraseSelection(d->items());
    followLink(3);
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
    EXPECT_EQ(model::firstSelected(d->items()), nullptr);
    // Undone by the history alone (the page stays): the newest item is hidden.
    drawTriangle(d, 300);
    ASSERT_EQ(w->panelCode(), 1043);
    model::undo(d->items());
    followLink(5);
    EXPECT_EQ(w->panelCode(), ui::panelInsert);
    EXPECT_EQ(model::firstSelected(d->items()), nullptr);
}

// Every page, shown in the side panel of the main window at its first size,
// fits the panel area: no text is cut at 96 pixels per inch.
TEST_F(GuidanceShell, EveryPageFitsTheSidePanel)
{
    restart();  // the window at the size it opens with
    untitled();
    const int32_t area = w->sidePanel()->panelArea()->height();
    ASSERT_GT(area, 300);
    for (int32_t code : ui::guidancePageCodes()) {
        w->showPanel(code, {});
        ui::TLinehelp* p = page();
        ASSERT_NE(p, nullptr) << code;
        EXPECT_LE(p->contentBottom(), area) << code;
        for (int32_t n : ui::guidanceBoxNumbers) {
            ui::guidanceBox_t* b = p->box(n);
            if (b->isHidden()) continue;
            EXPECT_LE(b->neededHeight(b->width()), b->height()) << code << " box " << n;
            EXPECT_LE(b->geometry().right(), p->body()->width()) << code;
        }
        QLabel* l = p->dontShowLabel();
        EXPECT_LE(l->heightForWidth(l->width()), l->height()) << code;
        QFontMetrics fm(l->font());
        for (const QString& word : l->text().split(QLatin1Char(' ')))
            EXPECT_LE(fm.horizontalAdvance(word), l->width()) << code;
    }
}

TEST_F(GuidanceShell, HelpAboutShowsTheAboutPanel)
{
    QAction* about = nullptr;
    for (QAction* m : w->menuBar()->actions())
        if (m->menu() && m->text() == QStringLiteral("&Help"))
            for (QAction* a : m->menu()->actions())
                if (a->text() == QStringLiteral("About")) about = a;
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->isEnabled());
    about->trigger();
    ui::THostWindow* x = w->TFormX();
    EXPECT_TRUE(x->isVisible());
    EXPECT_EQ(x->hostedCode(), ui::hostedAbout);
    EXPECT_EQ(x->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(x->panel1->text(), QStringLiteral("Web"));
    EXPECT_EQ(x->panel2->text(), QStringLiteral("Close"));
    // The build names no home page unless configured with one.
    EXPECT_EQ(x->panel1->isEnabled(), !ui::buildHomePage().isEmpty());
    auto* panel = dynamic_cast<ui::TAbout*>(x->hostedPanel());
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->textLabel()->text().contains(QStringLiteral("Lumora")));
    x->rightClicked();
    EXPECT_FALSE(x->isVisible());
}

} // namespace
