// Moving one item by its centre handle: after every drag the box (all six
// fields) is the one its moved geometry gives, and a click just inside the
// moved bottom edge picks it. Down, diagonally up and back, so that a box
// edge moved by the other axis's distance, or not at all, shows.
#include "selection_support.h"
#include "testnames.h"

#include "canvas/picking.h"

#include <array>
#include <functional>

using namespace seltest;

namespace {

using boxFields_t = std::array<int32_t, 6>;  // left, top, right, bottom, width, height

boxFields_t boxOf(const item_t* it)
{
    return {it->boxLeft, it->boxTop, it->boxRight, it->boxBottom, it->boxWidth, it->boxHeight};
}

// The box worked out afresh from the item's own points, on a copy.
boxFields_t freshBoxOf(const item_t* it)
{
    model::itemList_t scratch;
    item_t* copy = model::cloneItem(scratch, it);
    if (copy->itemType == model::typeLine) geometry::lineGeometry(copy);
    else geometry::itemBounds(copy, 8, 8);  // pictures: pictureBox
    const boxFields_t b = boxOf(copy);
    model::freeList(scratch);
    return b;
}

// The lowest point of the box that lies on the item's outline.
point_t lowestOutlinePoint(const item_t* it)
{
    for (int32_t y = it->boxBottom; y >= it->boxTop; --y)
        for (int32_t x = it->boxLeft; x <= it->boxRight; ++x)
            if (canvas::pickDistance(it, {x, y}) <= 2) return {x, y};
    ADD_FAILURE() << "no outline inside the box";
    return {};
}

item_t* shapeFrom(model::itemList_t& l, int32_t type, const std::function<void(model::pointList_t&)>& build)
{
    item_t* it = model::newItem(l, type);
    it->shapeVariant = 2;
    build(it->points);
    return finishShape(l, it);
}

struct moveCase {
    const char* name;
    std::function<item_t*(model::itemList_t&)> make;
};

void PrintTo(const moveCase& c, std::ostream* os) { *os << c.name; }

const moveCase moveCases[] = {
    {"Line", [](auto& l) { return addLine(l, {150, 200}, {330, 260}); }},
    {"Triangle", [](auto& l) { return addTriangle(l, {100, 300}, {220, 300}, {160, 210}); }},
    {"Square", [](auto& l) { return addSquare(l, {150, 300}, {230, 300}); }},
    {"Rectangle", [](auto& l) { return addRectangle(l, {120, 300}, {260, 300}, 70); }},
    {"Circle", [](auto& l) { return addCircle(l, {200, 250}, 60); }},
    {"Ellipse", [](auto& l) { return addEllipse(l, {220, 260}, {300, 260}, {220, 220}); }},
    {"Polygon", [](auto& l) {
         return shapeFrom(l, model::typePolygon, [](auto& p) { geometry::buildRegularPolygon({200, 250}, {260, 250}, 5, p); });
     }},
    {"Star", [](auto& l) {
         return shapeFrom(l, model::typeStar, [](auto& p) { geometry::buildStar({200, 250}, {200, 180}, {220, 235}, 5, p); });
     }},
    {"Pie", [](auto& l) {
         return shapeFrom(l, model::typePie, [](auto& p) { geometry::buildPieArc({200, 300}, {280, 300}, {200, 220}, p); });
     }},
    {"Arc", [](auto& l) {
         return shapeFrom(l, model::typeArc, [](auto& p) { geometry::buildPieArc({200, 300}, {280, 300}, {120, 300}, p); });
     }},
    {"OpenSpline", [](auto& l) { return addSpline(l, {{100, 300}, {180, 230}, {260, 320}, {300, 260}}, 0); }},
    {"FilledSpline", [](auto& l) { return addSpline(l, {{100, 300}, {180, 230}, {260, 320}, {300, 260}}, 2); }},
    {"Curve", [](auto& l) {
         return shapeFrom(l, model::typeCurve, [](auto& p) {
             for (point_t q : {point_t{100, 300}, point_t{180, 230}, point_t{260, 320}, point_t{300, 260}})
                 geometry::appendPoint(p, q);
             geometry::smoothControlPoints(p, geometry::ellipseKappa);
             geometry::closedCurveEnds(p, geometry::ellipseKappa);
         });
     }},
    {"Picture", [](auto& l) { return addPicture(l, {150, 200}, {310, 300}); }},
};

class MovedBox : public WindowTest, public ::testing::WithParamInterface<moveCase> {};

} // namespace

TEST_P(MovedBox, FollowsTheGeometryAndPicksAtTheNewBottom)
{
    const item_t* original = GetParam().make(items());
    const boxFields_t start = boxOf(original);
    ASSERT_EQ(start, freshBoxOf(original));
    const point_t bottom = lowestOutlinePoint(original);
    point_t total{0, 0};
    for (const point_t by : {point_t{0, 100}, point_t{37, -53}, point_t{-37, -47}}) {
        item_t* before = current(items(), original);
        select(items(), {before});
        // Lines and texts move by their midpoint square, the rest by the centre.
        const point_t from = handleAt(before, before->itemType == model::typeLine ? canvas::handleGroupCentre
                                                                                  : canvas::handleMove);
        drag(QPoint(from.x, from.y), QPoint(from.x + by.x, from.y + by.y));
        total = {total.x + by.x, total.y + by.y};
        SCOPED_TRACE(::testing::Message() << "moved by (" << total.x << ", " << total.y << ") in all");

        const item_t* moved = current(items(), original);
        ASSERT_NE(moved, before) << "the drag made no new version";
        EXPECT_EQ(boxOf(moved), freshBoxOf(moved)) << "left, top, right, bottom, width, height";
        EXPECT_EQ(boxOf(moved), (boxFields_t{start[0] + total.x, start[1] + total.y, start[2] + total.x,
                                             start[3] + total.y, start[4], start[5]}));
        model::deselectAll(items());
        EXPECT_EQ(canvas::pickItem(items(), {bottom.x + total.x, bottom.y + total.y}, false, 8).item, moved);
    }
    EXPECT_EQ(boxOf(current(items(), original)), start);
}

INSTANTIATE_TEST_SUITE_P(EveryType, MovedBox, ::testing::ValuesIn(moveCases), testnames::byName{});
