// The mapping from document pixels to canvas or bitmap pixels that every
// renderer draws through: rounding halves to even, offsets before and after
// the scale, 32-bit saturation of the scaled value and the canvas limit, on
// each axis with its own scale (the unit scale taking its shorter way).
#include "render/shapedraw.h"

#include "testnames.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

using render::xform_t;

namespace {

struct mappingCase_t {
    const char* name;
    double sx, sy;
    int32_t ox, oy, dx, dy;
    int32_t x, y;
    QPoint expected;
};
void PrintTo(const mappingCase_t& c, std::ostream* os) { *os << c.name; }

constexpr int32_t limit = 1 << 29;

const mappingCase_t mappingCases[] = {
    {"UnitScaleAddsBothOffsets", 1.0, 1.0, 3, -4, -10, 20, 100, 200, QPoint(93, 216)},
    {"UnitScaleNegativePoint", 1.0, 1.0, 0, 0, 5, 5, -7, -9, QPoint(-2, -4)},
    // The axes keep their own scales: x at 1, y doubled.
    {"UnitAcrossDoubledDown", 1.0, 2.0, 1, 1, 0, 0, 10, 10, QPoint(11, 22)},
    {"DoubledAcrossUnitDown", 2.0, 1.0, 1, 1, 0, 0, 10, 10, QPoint(22, 11)},
    // Halves go to the even neighbour, on both sides of zero.
    {"HalfScaleRoundsHalvesToEven", 0.5, 0.5, 0, 0, 0, 0, 3, 5, QPoint(2, 2)},
    {"HalfScaleNegativeHalvesToEven", 0.5, 0.5, 0, 0, 0, 0, -3, -5, QPoint(-2, -2)},
    // The point and its offset summed beyond 32 bits: the scaled value stays
    // at the largest 32-bit one before the origin moves it back.
    {"UnitScaleSaturatesBeforeTheOrigin", 1.0, 1.0, 1000, -1000, -(INT32_MAX - 100), INT32_MAX - 100, INT32_MAX,
     INT32_MIN, QPoint(100, -101)},
    {"DoubledScaleSaturatesBeforeTheOrigin", 2.0, 2.0, 0, 0, -(INT32_MAX - 100), INT32_MAX - 100, INT32_MAX / 2 + 10,
     INT32_MIN / 2 - 10, QPoint(100, -101)},
    // Far-out points end at the canvas limit.
    {"HeldAtTheCanvasLimit", 1.0, 3.0, 0, 0, 0, 0, INT32_MAX, -200000000, QPoint(limit, -limit)},
};

class Mapping : public ::testing::TestWithParam<mappingCase_t> {};

TEST_P(Mapping, RoundsOffsetsAndLimitsEachAxis)
{
    const mappingCase_t& c = GetParam();
    xform_t xf;
    xf.sx = c.sx;
    xf.sy = c.sy;
    xf.ox = c.ox;
    xf.oy = c.oy;
    xf.dx = c.dx;
    xf.dy = c.dy;
    EXPECT_EQ(xf.map(c.x, c.y), c.expected);
    const geometry::point_t p = xf.mapPt(c.x, c.y);
    EXPECT_EQ(QPoint(p.x, p.y), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Mapping, ::testing::ValuesIn(mappingCases), testnames::byName());

} // namespace
