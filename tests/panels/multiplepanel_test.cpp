// The multiple-selection panel: what the selection has in common (pictures
// and group handles take no part), which lists show, the colour reaching
// texts and every other item, the transform buttons, and the join and split
// links with their hover marks.
#include "canvas/selection_support.h"

#include "canvas/creation.h"
#include "panels/multiplepanel.h"
#include "panels/panelparts.h"
#include "panels/picklistwidget.h"
#include "render/text.h"
#include "testnames.h"
#include "ui/panelcodes.h"

#include "panelhost_fake.h"

#include <functional>
#include <ostream>

using namespace seltest;
using panels::TUnibox;

namespace {

constexpr int32_t red = 0x0000FF, blue = 0xFF0000;

item_t* addText(model::itemList_t& l, point_t a, int32_t colour)
{
    item_t* it = model::newItem(l, model::typeText);
    canvas::applyTextItemDefaults(it, canvas::params());
    it->textColor = colour;
    model::setText(it, u"Mixed");
    render::setTextBaseline(it, a, {a.x + 80, a.y});
    render::fitTextBox(it, false, 1.0);
    model::recordNew(l, it);
    return it;
}

item_t* coloured(item_t* it, int32_t line, int32_t fill = -1, double weight = 0.0)
{
    it->lineColor = line;
    it->fillColor = fill;
    it->lineWeight = weight;
    return it;
}

class MultiplePanelTest : public WindowTest {
protected:
    fakePanelHost_t panelHost;

    void SetUp() override
    {
        WindowTest::SetUp();
        panelHost.doc = w.get();
    }

    std::unique_ptr<TUnibox> panel()
    {
        auto u = std::make_unique<TUnibox>(panelHost, model::countSelectionUnits(items(), true) >= 2,
                                           model::selectionHasGroup(items()));
        u->resize(120, 500);
        u->show();
        return u;
    }
};

// ---------------------------------------------------------------- the summary

struct summaryCase_t {
    const char* name;
    std::function<std::vector<item_t*>(model::itemList_t&)> make;
    int32_t colour;
    int32_t fill;
    double weight;
    bool linesOrShapes;
};
void PrintTo(const summaryCase_t& c, std::ostream* os) { *os << c.name; }

const summaryCase_t summaryCases[] = {
    {"RedTextAndRedLine",
     [](model::itemList_t& l) { return std::vector{addText(l, {100, 100}, red), coloured(addLine(l, {100, 200}, {200, 200}), red)}; },
     red, -1, 0.0, true},
    {"BlueTextAndRedLine",
     [](model::itemList_t& l) { return std::vector{addText(l, {100, 100}, blue), coloured(addLine(l, {100, 200}, {200, 200}), red)}; },
     -1, -1, 0.0, true},
    {"TextLinesColourNotItsLineColour",
     [](model::itemList_t& l) {
         item_t* t = addText(l, {100, 100}, red);
         t->lineColor = blue;
         return std::vector{t, coloured(addLine(l, {100, 200}, {200, 200}), red)};
     },
     red, -1, 0.0, true},
    {"PictureTakesNoPart",
     [](model::itemList_t& l) {
         return std::vector{addText(l, {100, 100}, red), coloured(addPicture(l, {300, 300}, {400, 380}), blue)};
     },
     red, -3, -1.0, false},
    {"FillsDiffer",
     [](model::itemList_t& l) {
         return std::vector{coloured(addSquare(l, {100, 100}, {160, 100}), red, blue, 1.0),
                            coloured(addCircle(l, {300, 300}, 40), red, -1, 1.0)};
     },
     red, -3, 1.0, true},
    {"WeightsDiffer",
     [](model::itemList_t& l) {
         return std::vector{coloured(addSquare(l, {100, 100}, {160, 100}), red, blue, 1.0),
                            coloured(addCircle(l, {300, 300}, 40), blue, blue, 2.0)};
     },
     -1, blue, -1.0, true},
};

class MixedSummary : public MultiplePanelTest, public ::testing::WithParamInterface<summaryCase_t> {};

TEST_P(MixedSummary, SharesOnlyWhatTheTextsLinesAndShapesHaveInCommon)
{
    const summaryCase_t& c = GetParam();
    model::deselectAll(items());
    for (item_t* it : c.make(items())) model::setSelected(items(), it, true);
    const panels::mixedSummary_t s = panels::summarizeMixed(items());
    EXPECT_EQ(s.colour, c.colour);
    EXPECT_EQ(s.hasLinesOrShapes, c.linesOrShapes);
    if (c.linesOrShapes) {
        EXPECT_EQ(s.fill, c.fill);
        EXPECT_DOUBLE_EQ(s.weight, c.weight);
    }
    auto u = panel();
    EXPECT_EQ(u->colourList()->currentIndex(), c.colour == red ? 9 : -1);
    EXPECT_EQ(u->fillShown(), c.linesOrShapes);
    EXPECT_EQ(u->fillList()->isVisibleTo(u.get()), c.linesOrShapes);
    EXPECT_EQ(u->weightList()->isVisibleTo(u.get()), c.linesOrShapes);
}

INSTANTIATE_TEST_SUITE_P(Cases, MixedSummary, ::testing::ValuesIn(summaryCases), testnames::byName());

// ---------------------------------------------------------------- changes

TEST_F(MultiplePanelTest, RedReachesTheTextAndThePicturesLineColour)
{
    item_t* text = addText(items(), {100, 100}, 0);
    item_t* picture = addPicture(items(), {300, 300}, {400, 380});
    select(items(), {text, picture});
    auto u = panel();
    ASSERT_FALSE(u->fillShown());
    u->colourList()->setCurrentIndex(9);
    emit u->colourList()->activated(9);
    EXPECT_EQ(current(items(), text)->textColor, red);
    EXPECT_EQ(current(items(), picture)->lineColor, red);
    EXPECT_EQ(panelHost.steps, std::vector<int32_t>{ui::panelMultiple});
    // The line colour and the text colour are two steps.
    ASSERT_TRUE(model::undo(items()));
    EXPECT_NE(current(items(), text)->textColor, red);
    EXPECT_EQ(current(items(), picture)->lineColor, red);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), picture)->lineColor, 0);
}

TEST_F(MultiplePanelTest, FillAndWeightReachTheLinesAndShapes)
{
    item_t* text = addText(items(), {100, 100}, 0);
    item_t* square = coloured(addSquare(items(), {100, 300}, {160, 300}), 0);
    select(items(), {text, square});
    auto u = panel();
    ASSERT_TRUE(u->fillShown());
    u->fillList()->setCurrentIndex(2 + 12);  // "Blue"
    emit u->fillList()->activated(2 + 12);
    u->weightList()->setCurrentIndex(3);  // "Heavy"
    emit u->weightList()->activated(3);
    EXPECT_EQ(current(items(), square)->fillColor, blue);
    EXPECT_DOUBLE_EQ(current(items(), square)->lineWeight, 2.0);
    EXPECT_EQ(panelHost.steps, (std::vector<int32_t>{ui::panelMultiple, ui::panelMultiple}));
}

TEST_F(MultiplePanelTest, TransformButtonsTurnTheSelectionAsOneStep)
{
    item_t* text = addText(items(), {100, 100}, 0);
    // 80 wide, 50 high, its first corner on the left.
    item_t* rectangle = addRectangle(items(), {300, 300}, {380, 300}, 50);
    select(items(), {text, rectangle});
    auto u = panel();
    ASSERT_EQ(u->buttons()->count(), 4);
    u->buttons()->onPress(0);  // mirror
    const item_t* mirrored = current(items(), rectangle);
    ASSERT_NE(mirrored, rectangle);
    EXPECT_EQ(geometry::pointAt(mirrored->points, 1).x, 380);
    EXPECT_EQ(mirrored->boxRight - mirrored->boxLeft, rectangle->boxRight - rectangle->boxLeft);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), rectangle), rectangle);
    EXPECT_EQ(current(items(), text), text);
    select(items(), {text, rectangle});
    u->buttons()->onPress(2);  // a quarter turn
    const item_t* turned = current(items(), rectangle);
    EXPECT_EQ(turned->boxRight - turned->boxLeft, rectangle->boxBottom - rectangle->boxTop);
    EXPECT_EQ(turned->boxBottom - turned->boxTop, rectangle->boxRight - rectangle->boxLeft);
}

// ---------------------------------------------------------------- join and split

TEST_F(MultiplePanelTest, GroupAndRectangleOfferBothLinksAndJoinTurnsItsLinkPlain)
{
    item_t* a = addLine(items(), {100, 100}, {200, 100});
    item_t* b = addLine(items(), {100, 150}, {200, 150});
    select(items(), {a, b});
    ASSERT_NE(model::joinItems(items()), nullptr);
    item_t* rectangle = addRectangle(items(), {300, 300}, {380, 300}, 50);
    model::setSelected(items(), rectangle, true);
    auto u = panel();
    EXPECT_TRUE(u->hint(3)->linkActive());
    EXPECT_TRUE(u->hint(4)->linkActive());
    EXPECT_EQ(u->hint(3)->keyword(), QStringLiteral("Join items"));

    u->hint(3)->setHot(true);
    EXPECT_EQ(panelHost.toolbarMarks, std::vector<int32_t>{35});
    EXPECT_EQ(panelHost.suggestionMarks, std::vector<int32_t>{2});
    u->hint(3)->onPress();
    EXPECT_EQ(panelHost.joins, 1);
    EXPECT_EQ(model::countSelectionUnits(items(), true), 1);
    EXPECT_FALSE(u->hint(3)->linkActive());
    EXPECT_TRUE(u->hint(3)->isLink());
    EXPECT_EQ(panelHost.toolbarMarks.back(), 0);  // the marks go with the link
    EXPECT_EQ(panelHost.suggestionMarks.back(), 0);

    // A plain hint does nothing when pressed.
    u->hint(3)->onPress();
    EXPECT_EQ(panelHost.joins, 1);
}

TEST_F(MultiplePanelTest, SplitHandsOverToThePointerPanel)
{
    item_t* a = addLine(items(), {100, 100}, {200, 100});
    item_t* b = addSquare(items(), {300, 300}, {360, 300});
    select(items(), {a, b});
    ASSERT_NE(model::joinItems(items()), nullptr);
    auto u = panel();
    EXPECT_FALSE(u->hint(3)->linkActive());
    ASSERT_TRUE(u->hint(4)->linkActive());
    u->hint(4)->setHot(true);
    EXPECT_EQ(panelHost.toolbarMarks, std::vector<int32_t>{36});
    EXPECT_EQ(panelHost.suggestionMarks, std::vector<int32_t>{3});
    u->hint(4)->onPress();
    EXPECT_EQ(panelHost.splits, 1);
    EXPECT_FALSE(model::selectionHasGroup(items()));
    EXPECT_EQ(panelHost.switches, std::vector<int32_t>{ui::panelInsert});
    EXPECT_FALSE(u->hint(4)->linkActive());
}

TEST_F(MultiplePanelTest, GroupHintsFollowTheAvailability)
{
    item_t* a = addLine(items(), {100, 100}, {200, 100});
    select(items(), {a});
    auto u = panel();
    EXPECT_FALSE(u->hint(3)->linkActive());
    u->setGroupHints(true, false);
    EXPECT_TRUE(u->hint(3)->linkActive());
    EXPECT_FALSE(u->hint(4)->linkActive());
    u->setGroupHints(false, true);
    EXPECT_FALSE(u->hint(3)->linkActive());
    EXPECT_TRUE(u->hint(4)->linkActive());
}

} // namespace
