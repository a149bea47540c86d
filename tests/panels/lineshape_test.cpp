// The line and shape panels on a document window: what they show for the
// settings or the selection, what a choice changes (settings, or the
// selection as one undoable step), which choices make a side-panel step, the
// thickness rule, the tool switch of the spline list and the hints that
// follow a choice.
#include "canvas/selection_support.h"
#include "panelhost_fake.h"

#include "canvas/creation.h"
#include "canvas/modes.h"
#include "model/arrowheads.h"
#include "model/history.h"
#include "panels/linepanel.h"
#include "panels/shapepanel.h"
#include "settings/params.h"
#include "settings/store.h"
#include "testnames.h"
#include "ui/hostedpanel.h"
#include "ui/panelcodes.h"

#include <QCoreApplication>

#include <memory>
#include <ostream>

using namespace seltest;

namespace {

// The main window as a panel sees it, around one document window; it also
// passes the window's tool steps on to the panel, as the main window does.
struct fakeHost_t : fakePanelHost_t, recordingHost_t {
    settings::memoryStore_t store;
    settings::TParams own{&store};
    panels::attributePanel_t* panel = nullptr;

    fakeHost_t()
    {
        settings = &own;
        changeToolInDocument = true;
    }
    void toolStepChanged(int32_t step) override
    {
        if (panel) panel->toolStepChanged(step);
    }
};

class PanelTest : public ::testing::Test {
protected:
    fakeHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<canvas::TSandbox> w;

    void SetUp() override
    {
        canvas::setParams(&host.own);
        host.own.currentZoom = 1.0;
        w = std::make_unique<canvas::TSandbox>(static_cast<recordingHost_t*>(&host));
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(4711, QString()));
        w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
        w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
        host.doc = w.get();
    }
    void TearDown() override
    {
        host.panel = nullptr;
        w.reset();
        canvas::setParams(nullptr);
    }

    model::itemList_t& items() { return w->items(); }
    settings::TParams& p() { return host.own; }

    template <class P>
    std::unique_ptr<P> make(int32_t code)
    {
        auto panel = std::make_unique<P>(code, host);
        panel->resize(120, 760);
        panel->show();
        host.panel = panel.get();
        return panel;
    }

    // The number of records, which grows with every history step.
    int32_t records() const
    {
        int32_t n = 0;
        for (const item_t* it = w->items().head; it; it = it->next) ++n;
        return n;
    }
};

// ---------------------------------------------------------------- line panel

TEST_F(PanelTest, TwoLinesInTwoColoursShowNoColourAndGreenMakesBothGreenInOneUndoStep)
{
    item_t* red = addLine(items(), {100, 100}, {200, 100});
    item_t* blue = addLine(items(), {100, 200}, {200, 200});
    red->lineColor = 0x0000FF;
    blue->lineColor = 0xFF0000;
    select(items(), {red, blue});
    auto panel = make<panels::TLinebox>(ui::panelLine);
    EXPECT_EQ(panel->colourList()->index(), -1);

    panel->colourList()->setCurrentIndex(2);  // "Green"
    EXPECT_EQ(current(items(), red)->lineColor, 0x008000);
    EXPECT_EQ(current(items(), blue)->lineColor, 0x008000);
    EXPECT_EQ(host.steps, std::vector<int32_t>{ui::panelLine});

    model::undo(items());
    EXPECT_EQ(current(items(), red)->lineColor, 0x0000FF);
    EXPECT_EQ(current(items(), blue)->lineColor, 0xFF0000);
}

struct thicknessCase_t {
    const char* name;
    int32_t weight;  // weight list index
    int32_t fill;    // fill list index
    bool fillShown, outlineShown, hintsShown;
};
void PrintTo(const thicknessCase_t& c, std::ostream* os) { *os << c.name; }

class ThicknessRule : public PanelTest, public ::testing::WithParamInterface<thicknessCase_t> {};

TEST_P(ThicknessRule, NextLineShowsFillAndOutlineOnlyForThickLines)
{
    const thicknessCase_t& c = GetParam();
    p().lineFill = -1;
    auto panel = make<panels::TLinebox>(ui::panelNextLine);
    panel->weightList()->setCurrentIndex(c.weight);
    panel->fillList()->setCurrentIndex(c.fill);
    EXPECT_EQ(panel->listShown(panel->fillList()), c.fillShown);
    EXPECT_EQ(panel->listShown(panel->outlineList()), c.outlineShown);
    EXPECT_EQ(!panel->hint(2)->isHidden(), c.hintsShown);
    EXPECT_EQ(!panel->hint(3)->isHidden(), c.hintsShown);
    EXPECT_TRUE(panel->hint(4)->isHidden());  // not in next-line mode
    EXPECT_EQ(p().lineWidthTab, c.weight);
}

INSTANTIATE_TEST_SUITE_P(LinePanel, ThicknessRule,
                         ::testing::Values(thicknessCase_t{"ThinHidesFillAndOutline", 0, 1, false, false, true},
                                           thicknessCase_t{"MediumIsStillThin", 1, 1, false, false, true},
                                           thicknessCase_t{"ThickShowsFillAndOutline", 2, 1, true, true, false},
                                           thicknessCase_t{"WideShowsFillAndOutline", 4, 1, true, true, false},
                                           thicknessCase_t{"WideWithSolidFillHidesOutline", 4, 0, true, false, false}),
                         testnames::byName{});

TEST_F(PanelTest, ASelectedLineIsThickFromThreeScreenPixels)
{
    // 0.8 mm is Round(3.02) = 3 pixels at 96 per inch, 0.78 mm Round(2.95) = 3, 0.65 mm Round(2.46) = 2.
    for (const auto& [mm, thick] : {std::pair{0.8, true}, std::pair{0.78, true}, std::pair{0.65, false}}) {
        SCOPED_TRACE(mm);
        model::freeList(items());
        item_t* line = addLine(items(), {100, 100}, {200, 100});
        line->lineWeight = mm;
        select(items(), {line});
        auto panel = make<panels::TLinebox>(ui::panelLine);
        EXPECT_EQ(panel->listShown(panel->fillList()), thick);
        EXPECT_EQ(!panel->hint(2)->isHidden(), !thick);
    }
}

TEST_F(PanelTest, LineAndRectangleSelectedLeaveOnlyColourOnBasics)
{
    item_t* line = addLine(items(), {100, 100}, {200, 100});
    item_t* rect = addRectangle(items(), {100, 300}, {180, 300}, 50);
    select(items(), {line, rect});
    auto panel = make<panels::TLinebox>(ui::panelLine);
    EXPECT_FALSE(panel->allLines());
    EXPECT_TRUE(panel->listShown(panel->colourList()));
    for (const panels::pickListBox_t* l : {panel->weightList(), panel->patternList(), panel->directionList(),
                                           panel->fillList(), panel->outlineList()})
        EXPECT_FALSE(panel->listShown(l)) << l->objectName().toStdString();
}

TEST_F(PanelTest, SeventhCustomPatternStoresItsListPositionAndPresetRow)
{
    // Rows 2..12 are listed: the seventh custom entry shows row 8.
    for (int32_t row = 2; row <= 12; ++row) {
        settings::custPatternRec_t& r = p().customPatterns[size_t(row - 1)];
        r.listed = 1;
        r.count = 2;
        r.segments[0] = row;
        r.segments[1] = 1;
    }
    auto panel = make<panels::TLinebox>(ui::panelNextLine);
    panel->patternList()->setCurrentIndex(12);
    EXPECT_EQ(p().linePattern, 12);
    EXPECT_EQ(p().linePatternTab, 8);
}

struct stepCase_t {
    const char* name;
    panels::pickListBox_t* (panels::TLinebox::*list)() const;
    int32_t index;
    bool step;
    // What the chosen entry did to the selected line.
    std::function<bool(const item_t*)> applied;
};
void PrintTo(const stepCase_t& c, std::ostream* os) { *os << c.name; }

class StepRule : public PanelTest, public ::testing::WithParamInterface<stepCase_t> {};

TEST_P(StepRule, OnlyNonEffectChoicesRecordASidePanelStep)
{
    const stepCase_t& c = GetParam();
    item_t* line = addLine(items(), {100, 100}, {200, 100});
    select(items(), {line});
    auto panel = make<panels::TLinebox>(ui::panelLine);
    ((*panel).*c.list)()->setCurrentIndex(c.index);
    EXPECT_TRUE(c.applied(current(items(), line)));
    EXPECT_EQ(host.steps.size(), c.step ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    LinePanel, StepRule,
    ::testing::Values(
        stepCase_t{"ColourMakesAStep", &panels::TLinebox::colourList, 9, true,
                   [](const item_t* it) { return it->lineColor == 0x0000FF; }},
        stepCase_t{"SurfaceMakesNone", &panels::TLinebox::surfaceList, 1, false,
                   [](const item_t* it) { return it->surface == 127; }},
        stepCase_t{"ShadowMakesNone", &panels::TLinebox::shadowList, 2, false,
                   [](const item_t* it) { return it->shadowElevation == 50 && it->shadowFade == 20; }}),
    testnames::byName{});

TEST_F(PanelTest, NothingSelectedMakesNoHistoryStep)
{
    addLine(items(), {100, 100}, {200, 100});
    model::deselectAll(items());
    const int32_t before = records();
    auto line = make<panels::TLinebox>(ui::panelLine);
    line->colourList()->setCurrentIndex(9);
    line->weightList()->setCurrentIndex(3);
    auto shape = make<panels::TPolybox>(ui::panelSquare);
    shape->fourthList()->setCurrentIndex(1);
    shape->colourList()->setCurrentIndex(9);
    EXPECT_EQ(records(), before);
}

TEST_F(PanelTest, LineToolStepsTurnTheSecondHint)
{
    auto panel = make<panels::TLinebox>(ui::panelNextLine);
    w->selectTool(canvas::toolLine);
    const QString start = panel->hint(2)->text();
    EXPECT_EQ(start, QStringLiteral("Click where you want to start the line, or..."));
    const auto at = [&](point_t d) {
        const point_t s = w->toScreen(d);
        return QPoint(s.x, s.y);
    };
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, at({100, 100}));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, at({100, 100}));
    EXPECT_EQ(panel->hint(2)->text(), QStringLiteral("Click where you want to end the line."));
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, at({200, 150}));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, at({200, 150}));
    EXPECT_EQ(panel->hint(2)->text(), start);
}

TEST_F(PanelTest, TabIsSharedByTheLineAndShapePanels)
{
    auto line = make<panels::TLinebox>(ui::panelNextLine);
    line->chooseTab(2);
    EXPECT_TRUE(line->listShown(line->surfaceList()));
    EXPECT_FALSE(line->listShown(line->colourList()));
    line.reset();
    auto shape = make<panels::TPolybox>(canvas::toolTriangle);
    EXPECT_EQ(shape->tab(), 2);
}

TEST_F(PanelTest, WeightCustomizeOpensTheEditorAndAWeightMadeThereBecomesTheNextLines)
{
    auto panel = make<panels::TLinebox>(ui::panelNextLine);
    panel->weightList()->setCurrentIndex(2);
    panel->weightList()->setCurrentIndex(panels::customizeIndex(panels::listKind_t::weight));
    EXPECT_EQ(host.customizations, std::vector<int32_t>{ui::hostedLineWeights});
    EXPECT_EQ(p().lineWidthTab, 2);
    EXPECT_DOUBLE_EQ(p().lineWidth, 1.0);
    EXPECT_EQ(panel->weightList()->index(), 2);

    // The customization closes with a new weight to be selected next.
    settings::custThicknessRec_t& row = p().customWidths[3];
    row.listed = 1;
    row.value = 4.0;
    row.selectNext = 1;
    panel->customizationClosed(ui::hostedLineWeights);
    EXPECT_DOUBLE_EQ(p().lineWidth, 4.0);
    EXPECT_EQ(p().lineWidthTab, 7);
    EXPECT_EQ(panel->weightList()->index(), 7);
    EXPECT_EQ(row.selectNext, 0);
    EXPECT_TRUE(panel->listShown(panel->fillList()));  // a thick line now
}

// ---------------------------------------------------------------- shape panel

TEST_F(PanelTest, OneSquareShowsSquareAndRectangleConvertsInOneUndoableStep)
{
    item_t* square = addSquare(items(), {100, 200}, {160, 200});
    select(items(), {square});
    auto panel = make<panels::TPolybox>(ui::panelSquare);
    EXPECT_EQ(panel->labelOf(panel->fourthList())->text(), QStringLiteral("Shape"));
    EXPECT_EQ(panel->fourthList()->currentText(), QStringLiteral("Square"));
    panel->fourthList()->setCurrentIndex(1);
    EXPECT_EQ(current(items(), square)->itemType, model::typeRectangle);
    EXPECT_EQ(host.steps, std::vector<int32_t>{ui::panelSquare});
    model::undo(items());
    EXPECT_EQ(current(items(), square)->itemType, model::typeSquare);
}

TEST_F(PanelTest, PolygonToolSidesChangeTheSettingWithoutAStep)
{
    p().polysides = 7;
    auto panel = make<panels::TPolybox>(canvas::toolPolygon);
    EXPECT_EQ(panel->labelOf(panel->fourthList())->text(), QStringLiteral("Sides"));
    EXPECT_EQ(panel->fourthList()->currentText(), QStringLiteral("7"));
    panel->fourthList()->setCurrentIndex(10);
    EXPECT_EQ(p().polysides, 16);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(PanelTest, SolidShapeSwitchesTheSplineToolAndKeepsTheOpenOrClosedChoice)
{
    p().polystate = 1;
    w->selectTool(canvas::toolSpline);
    auto panel = make<panels::TPolybox>(canvas::toolSpline);
    EXPECT_FALSE(panel->fillList()->isEnabled());
    EXPECT_EQ(panel->fourthList()->currentIndex(), 1);
    panel->fourthList()->setCurrentIndex(2);
    EXPECT_EQ(host.tools, std::vector<int32_t>{canvas::toolSolid});
    EXPECT_EQ(panel->code, canvas::toolSolid);
    EXPECT_EQ(w->mode(), canvas::toolSolid);
    EXPECT_EQ(panel->titleBar()->caption(), QStringLiteral("Solid"));
    EXPECT_TRUE(panel->fillList()->isEnabled());
    EXPECT_EQ(p().polyshape, 2);
    EXPECT_EQ(p().polystate, 1);
}

TEST_F(PanelTest, OpenSplineHintChangesAfterClosedSpline)
{
    item_t* spline = addSpline(items(), {{100, 100}, {150, 150}, {200, 100}}, model::variantOpen);
    select(items(), {spline});
    auto panel = make<panels::TPolybox>(ui::panelSpline);
    EXPECT_TRUE(panel->hint(1)->isHidden());
    EXPECT_EQ(panel->hint(2)->text(), QStringLiteral("Press Ctrl-A to add more points at the end of the perimeter."));
    panel->fourthList()->setCurrentIndex(1);
    EXPECT_EQ(current(items(), spline)->shapeVariant, model::variantClosed);
    EXPECT_EQ(panel->hint(2)->text(), QStringLiteral("Drag the points on the perimeter to change the shape."));
}

TEST_F(PanelTest, SolidFillHidesOutlineWeightAndTheFourthListMovesUp)
{
    p().polyfill = -1;
    auto panel = make<panels::TPolybox>(canvas::toolStar);
    ASSERT_TRUE(panel->listShown(panel->weightList()));
    const int32_t weightTop = panel->labelOf(panel->weightList())->y();
    EXPECT_EQ(panel->labelOf(panel->fourthList())->y(), weightTop + panels::lineShapePanel_t::listPitch);
    panel->fillList()->setCurrentIndex(0);  // "Solid"
    EXPECT_EQ(p().polyfill, -2);
    EXPECT_FALSE(panel->listShown(panel->weightList()));
    EXPECT_EQ(panel->labelOf(panel->fourthList())->y(), weightTop);
}

TEST_F(PanelTest, RotateButtonsTurnATriangleAQuarterEachWayOneStepEach)
{
    item_t* tri = addTriangle(items(), {100, 300}, {220, 300}, {160, 260});
    select(items(), {tri});
    const auto box = [&] {
        const item_t* it = current(items(), tri);
        return std::pair{it->boxRight - it->boxLeft, it->boxBottom - it->boxTop};
    };
    const auto [width, height] = box();
    const point_t first = geometry::pointAt(current(items(), tri)->points, 1);
    auto panel = make<panels::TPolybox>(ui::panelTriangle);
    EXPECT_FALSE(panel->buttons()->isHidden());

    panel->buttons()->onPress(2);  // the left turn
    EXPECT_EQ(box(), std::pair(height, width));
    // Counter-clockwise on the screen: the first corner, left of the middle,
    // goes below it.
    const item_t* turned = current(items(), tri);
    EXPECT_GT(geometry::pointAt(turned->points, 1).y, (turned->boxTop + turned->boxBottom) / 2);

    panel->buttons()->onPress(3);  // and back
    EXPECT_EQ(geometry::pointAt(current(items(), tri)->points, 1), first);

    model::undo(items());
    EXPECT_EQ(box(), std::pair(height, width));
    model::undo(items());
    EXPECT_EQ(geometry::pointAt(current(items(), tri)->points, 1), first);
}

TEST_F(PanelTest, ExtensionDisablesTheShapeListsUntilItEnds)
{
    auto panel = make<panels::TPolybox>(ui::panelExtendSpline);
    EXPECT_FALSE(panel->colourList()->isEnabled());
    EXPECT_FALSE(panel->fourthList()->isEnabled());
    EXPECT_TRUE(panel->surfaceList()->isEnabled());
    panel->extensionEnded();
    panel->chooseTab(2);
    panel->chooseTab(1);
    EXPECT_TRUE(panel->colourList()->isEnabled());
    EXPECT_TRUE(panel->weightList()->isEnabled());
}

// ---------------------------------------------------------------- summary

// A custom pattern record of the document with the given dash lengths.
int32_t addPattern(model::itemList_t& l, std::initializer_list<double> mm)
{
    settings::custPatternRec_t row;
    row.count = int32_t(mm.size());
    std::copy(mm.begin(), mm.end(), row.segments.begin());
    return canvas::appendPatternRecord(l, row);
}

struct summaryCase_t {
    const char* name;
    // Gives the second of two equal lines its difference.
    std::function<void(model::itemList_t&, item_t* first, item_t* second)> differ;
    std::function<bool(const panels::selectionSummary_t&)> expected;
};
void PrintTo(const summaryCase_t& c, std::ostream* os) { *os << c.name; }

class Summary : public PanelTest, public ::testing::WithParamInterface<summaryCase_t> {};

TEST_P(Summary, MarksOnlyTheValuesThatDiffer)
{
    item_t* a = addLine(items(), {100, 100}, {200, 100});
    item_t* b = addLine(items(), {100, 200}, {200, 200});
    a->lineWeight = b->lineWeight = 1.0;
    GetParam().differ(items(), a, b);
    select(items(), {a, b});
    const panels::selectionSummary_t s = panels::summarize(items(), panels::selectedAttributeItems(items()));
    EXPECT_EQ(s.count, 2);
    EXPECT_TRUE(GetParam().expected(s));
}

using sum_t = panels::selectionSummary_t;
INSTANTIATE_TEST_SUITE_P(
    LineShape, Summary,
    ::testing::Values(
        summaryCase_t{"WeightsCloserThanATenThousandthAreOne", [](auto&, item_t*, item_t* b) { b->lineWeight = 1.00005; },
                      [](const sum_t& s) { return s.weight == 1.0 && s.colour == 0; }},
        summaryCase_t{"WeightsATenThousandthApartAreMixed", [](auto&, item_t*, item_t* b) { b->lineWeight = 1.0002; },
                      [](const sum_t& s) { return s.weight == sum_t::mixedWeight && s.colour == 0; }},
        summaryCase_t{"DirectionsApartAreMixed", [](auto&, item_t*, item_t* b) { b->direction = 90; },
                      [](const sum_t& s) { return s.direction == sum_t::mixedDirection && s.weight == 1.0; }},
        summaryCase_t{"OneShadowValueMixesOnlyItself", [](auto&, item_t*, item_t* b) { b->shadowFade = 9; },
                      [](const sum_t& s) { return s.fade == -1 && s.elevation == 0 && s.lightness == 0; }},
        summaryCase_t{"EqualCustomPatternsInTwoRecordsAreOne",
                      [](model::itemList_t& l, item_t* a, item_t* b) {
                          a->patternIndex = addPattern(l, {2, 1});
                          b->patternIndex = addPattern(l, {2.00005, 1});
                      },
                      [](const sum_t& s) { return s.pattern != nullptr; }},
        summaryCase_t{"CustomPatternsOfOtherLengthsAreMixed",
                      [](model::itemList_t& l, item_t* a, item_t* b) {
                          a->patternIndex = addPattern(l, {2, 1});
                          b->patternIndex = addPattern(l, {2, 1, 1});
                      },
                      [](const sum_t& s) { return s.pattern == nullptr; }},
        summaryCase_t{"BuiltInPatternsDiffer", [](auto&, item_t*, item_t* b) { b->patternIndex = 2; },
                      [](const sum_t& s) { return s.pattern == nullptr && s.allLines; }},
        summaryCase_t{"AShapeAmongTheLinesClearsAllLines",
                      [](model::itemList_t&, item_t*, item_t* b) { b->itemType = model::typeTriangle; },
                      [](const sum_t& s) { return !s.allLines; }}),
    testnames::byName{});

} // namespace

// ---------------------------------------------------------------- arrowheads

TEST_F(PanelTest, HeadListsKeepTheNextLinesHeadsAndChangeTheSelectionsInOneStep)
{
    auto next = make<panels::TLinebox>(ui::panelNextLine);
    next->chooseTab(2);
    auto* end = next->findChild<panels::pickListBox_t*>(QStringLiteral("lineHeadEnd"));
    auto* size = next->findChild<panels::pickListBox_t*>(QStringLiteral("lineHeadSize"));
    ASSERT_NE(end, nullptr);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(end->count(), 6);
    EXPECT_TRUE(next->listShown(end));
    end->setCurrentIndex(2);
    size->setCurrentIndex(0);
    EXPECT_EQ(p().lineHeadEnd, 2);
    EXPECT_EQ(p().lineHeadSize, 0);
    next.reset();

    // Two lines whose ends differ show no entry; a choice gives both the head in one step.
    item_t* a = addLine(items(), {100, 100}, {200, 100});
    item_t* b = addLine(items(), {100, 200}, {200, 200});
    model::setHeads(a, {model::headKind_t::none, model::headKind_t::filled, model::headSize_t::medium});
    select(items(), {a, b});
    auto panel = make<panels::TLinebox>(ui::panelLine);
    panel->chooseTab(2);
    auto* fineEnd = panel->findChild<panels::pickListBox_t*>(QStringLiteral("lineHeadEnd"));
    ASSERT_NE(fineEnd, nullptr);
    EXPECT_EQ(fineEnd->index(), -1);
    fineEnd->setCurrentIndex(int32_t(model::headKind_t::circle));
    EXPECT_EQ(model::headsOf(current(items(), a)).end, model::headKind_t::circle);
    EXPECT_EQ(model::headsOf(current(items(), b)).end, model::headKind_t::circle);
    model::undo(items());
    EXPECT_EQ(model::headsOf(current(items(), a)).end, model::headKind_t::filled);
    EXPECT_EQ(model::headsOf(current(items(), b)).end, model::headKind_t::none);
}

TEST_F(PanelTest, ShapePanelOffersHeadsOnlyForOpenPaths)
{
    item_t* square = addSquare(items(), {100, 100}, {160, 100});
    select(items(), {square});
    auto panel = make<panels::TPolybox>(ui::panelSquare);
    panel->chooseTab(2);
    auto* end = panel->findChild<panels::pickListBox_t*>(QStringLiteral("shapeHeadEnd"));
    ASSERT_NE(end, nullptr);
    EXPECT_FALSE(panel->listShown(end));
    panel.reset();
    item_t* open = addSpline(items(), {{100, 300}, {150, 350}, {200, 300}}, model::variantOpen);
    select(items(), {open});
    panel = make<panels::TPolybox>(ui::panelSpline);
    panel->chooseTab(2);
    end = panel->findChild<panels::pickListBox_t*>(QStringLiteral("shapeHeadEnd"));
    EXPECT_TRUE(panel->listShown(end));
}
