// Connection points and middles of shapes, worked out by hand per type.
#include "geometry/connectionpoints.h"
#include "geometry/shapes.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

using geometry::point_t;
using model::item_t;

namespace {

struct pointsCase {
    const char* name;
    int32_t type;
    std::vector<point_t> build;
    int32_t sides;
    int32_t variant;
    std::vector<point_t> expected;
    point_t middle;
};

TEST(ConnectionPoints, EachTypeGivesItsVerticesThenTheMiddlesOfItsSides)
{
    const pointsCase cases[] = {
        // Vertices in order, then side 1-2, 2-3, 3-4, 4-1.
        {"rectangle", model::typeRectangle, {{100, 100}, {200, 100}, {200, 160}}, 0, 0,
         {{100, 100}, {200, 100}, {200, 160}, {100, 160}, {150, 100}, {200, 130}, {150, 160}, {100, 130}}, {150, 130}},
        // Odd coordinates: a middle halfway between two pixels rounds to even.
        {"triangle", model::typeTriangle, {{0, 0}, {9, 0}, {0, 5}}, 0, 0,
         {{0, 0}, {9, 0}, {0, 5}, {4, 0}, {4, 2}, {0, 2}}, {3, 2}},
        // The axis ends right, up, left, down (the canvas's y grows downwards).
        {"circle", model::typeCircle, {{150, 150}, {200, 150}}, 0, 0,
         {{200, 150}, {150, 100}, {100, 150}, {150, 200}}, {150, 150}},
        {"ellipse", model::typeEllipse, {{150, 150}, {220, 150}, {150, 190}}, 0, 0,
         {{220, 150}, {150, 110}, {80, 150}, {150, 190}}, {150, 150}},
        // Centre and first vertex are not connection points; the closing vertex is not repeated.
        {"square polygon", model::typePolygon, {{0, 0}, {10, 0}}, 4, 0,
         {{0, -10}, {-10, 0}, {0, 10}, {10, 0}, {-5, -5}, {-5, 5}, {5, 5}, {5, -5}}, {0, 0}},
        // Centre, both rim ends, the middle of the rim between them.
        {"pie", model::typePie, {{0, 0}, {100, 0}, {0, -100}}, 0, 0, {{0, 0}, {100, 0}, {0, -100}, {71, -71}},
         {47, -47}},
        {"closed spline", model::typeSpline, {{0, 0}, {40, 0}, {40, 20}}, 0, model::variantClosed,
         {{0, 0}, {40, 0}, {40, 20}, {20, 0}, {40, 10}, {20, 10}}, {27, 7}},
    };
    for (const pointsCase& c : cases) {
        SCOPED_TRACE(c.name);
        item_t it;
        it.kind = model::kindItem;
        it.itemType = c.type;
        it.shapeVariant = c.variant;
        ASSERT_TRUE(geometry::buildShapePoints(&it, c.type, c.build, c.sides));
        EXPECT_EQ(geometry::connectionPoints(&it), c.expected);
        EXPECT_EQ(geometry::shapeMiddle(&it), c.middle);
        point_t p;
        EXPECT_TRUE(geometry::connectionPoint(&it, int32_t(c.expected.size()) - 1, p));
        EXPECT_EQ(p, c.expected.back());
        EXPECT_FALSE(geometry::connectionPoint(&it, int32_t(c.expected.size()), p)) << "one past the last";
        EXPECT_FALSE(geometry::connectionPoint(&it, -1, p));
    }
}

TEST(ConnectionPoints, OpenPathsLinesTextsAndHugePolygonsStayWithinBounds)
{
    item_t open;
    open.kind = model::kindItem;
    open.itemType = model::typeSpline;
    open.shapeVariant = model::variantOpen;
    ASSERT_TRUE(geometry::buildShapePoints(&open, model::typeSpline, {{0, 0}, {40, 0}, {40, 20}}, 0));
    EXPECT_TRUE(geometry::connectionPoints(&open).empty()) << "an open path is glued, never glued to";
    item_t line;
    line.kind = model::kindItem;
    line.itemType = model::typeLine;
    EXPECT_TRUE(geometry::connectionPoints(&line).empty());
    item_t many;
    many.kind = model::kindItem;
    many.itemType = model::typePolygon;
    ASSERT_TRUE(geometry::buildShapePoints(&many, model::typePolygon, {{0, 0}, {100000, 0}}, 100000));
    EXPECT_EQ(geometry::connectionPoints(&many).size(), size_t(2 * geometry::connectionVertexLimit));
}

} // namespace
