// Arrowheads in the document window: the setter changes only the items that
// take heads, as one undoable step; new items take the tools' heads; a click
// on a head picks its line.
#include "selection_support.h"

#include "canvas/creation.h"
#include "canvas/picking.h"
#include "canvas/setters.h"
#include "model/arrowheads.h"
#include "model/extensions.h"
#include "settings/params.h"

using namespace seltest;
using model::headKind_t;
using model::headSize_t;
using model::lineHeads_t;

namespace {

class ArrowheadWindow : public WindowTest {};

} // namespace

TEST_F(ArrowheadWindow, SetterChangesHeadsOfOpenPathsInOneUndoableStep)
{
    item_t* line = addLine(items(), {100, 100}, {300, 100});
    item_t* open = addSpline(items(), {{100, 200}, {200, 250}, {300, 200}}, model::variantOpen);
    item_t* closed = addSpline(items(), {{100, 400}, {200, 450}, {300, 400}}, model::variantClosed);
    item_t* square = addSquare(items(), {500, 100}, {560, 100});
    select(items(), {line, open, closed, square});

    canvas::setArrowhead(*w, canvas::headPart_t::end, int32_t(headKind_t::filled));
    canvas::setArrowhead(*w, canvas::headPart_t::size, int32_t(headSize_t::large));
    const lineHeads_t expected{headKind_t::none, headKind_t::filled, headSize_t::large};
    EXPECT_EQ(model::headsOf(current(items(), line)), expected);
    EXPECT_EQ(model::headsOf(current(items(), open)), expected);
    EXPECT_EQ(model::headsOf(current(items(), closed)), lineHeads_t{});
    EXPECT_EQ(model::findExtensions(current(items(), square)), nullptr) << "nothing stored on a square";

    // Each change is a step of its own: one undo takes back the size only.
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(model::headsOf(current(items(), line)), (lineHeads_t{headKind_t::none, headKind_t::filled, headSize_t::medium}));
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), line), line);
    EXPECT_EQ(model::headsOf(line), lineHeads_t{});
    ASSERT_TRUE(model::redo(items()));
    ASSERT_TRUE(model::redo(items()));
    EXPECT_EQ(model::headsOf(current(items(), open)), expected);
}

TEST_F(ArrowheadWindow, NewItemsTakeTheToolsHeads)
{
    settings::TParams& p = canvas::params();
    p.lineHeadStart = int32_t(headKind_t::circle);
    p.lineHeadEnd = int32_t(headKind_t::open);
    p.lineHeadSize = int32_t(headSize_t::small);
    p.polyHeadStart = int32_t(headKind_t::none);
    p.polyHeadEnd = int32_t(headKind_t::bar);
    p.polyHeadSize = int32_t(headSize_t::large);
    struct {
        int32_t type;
        int32_t variant;
        lineHeads_t heads;
    } cases[] = {
        {model::typeLine, 0, {headKind_t::circle, headKind_t::open, headSize_t::small}},
        // Shapes take the shape tool's heads, never the line tool's.
        {model::typeSpline, model::variantOpen, {headKind_t::none, headKind_t::bar, headSize_t::large}},
        {model::typeArc, 0, {headKind_t::none, headKind_t::bar, headSize_t::large}},
        {model::typeSpline, model::variantFilled, {}},
    };
    for (const auto& c : cases) {
        item_t it;
        it.itemType = c.type;
        if (c.type == model::typeLine) canvas::applyLineDefaults(&it, p, nullptr);
        it.shapeVariant = c.variant;
        canvas::applyHeadDefaults(&it, p);
        EXPECT_EQ(model::headsOf(&it), c.heads) << c.type << "/" << c.variant;
    }
    p.lineHeadStart = p.lineHeadEnd = p.polyHeadStart = p.polyHeadEnd = 0;
    p.lineHeadSize = p.polyHeadSize = 1;
}

TEST_F(ArrowheadWindow, ClickOnAHeadPicksItsLine)
{
    item_t* line = addLine(items(), {100, 100}, {300, 100});
    line->lineWeight = 2.0;  // 8 pixels: a large bar reaches 24 pixels either side of the end
    line->penWidthPx = 8;
    model::setHeads(line, {headKind_t::none, headKind_t::bar, headSize_t::large});
    const point_t wing{300, 122};
    EXPECT_LT(canvas::pickDistance(line, wing), 2.0);
    EXPECT_EQ(canvas::pickItem(items(), wing, false, 8).item, line);
    // The same point beside the bare line's end picks nothing.
    item_t* bare = addLine(items(), {100, 500}, {300, 500});
    bare->lineWeight = 2.0;
    bare->penWidthPx = 8;
    EXPECT_EQ(canvas::pickItem(items(), {300, 522}, false, 8).item, nullptr);
}
