#include "testnames.h"

#include "output/areasheet.h"

#include <gtest/gtest.h>

namespace {

// Paper 800 × 1000 in a 500 × 500 area: scale 0.45; cells 90 × 135 from
// (18, 22) (22.5 rounds to even), the next column 90 + 9 + 1 further, the
// next row 135 + 14 + 1 further (13.5 rounds to even).
output::areaSheet_t sample()
{
    output::sheetMetrics_t m;
    m.paperWidth = 800;
    m.paperHeight = 1000;
    m.rows = 2;
    m.columns = 3;
    m.marginLeft = 40;
    m.marginTop = 50;
    m.cellWidth = 200;
    m.cellHeight = 300;
    m.columnGap = 20;
    m.rowGap = 30;
    return output::layoutAreaSheet(m, QSize(500, 500));
}

TEST(AreaSheet, ScaledPaperWithTwoPixelsPerCellAndCellsRowByRow)
{
    const output::areaSheet_t a = sample();
    EXPECT_EQ(a.picture, QSize(366, 454));
    ASSERT_EQ(a.cells.size(), 6u);
    EXPECT_EQ(a.cells[0], QRect(18, 22, 90, 135));
    EXPECT_EQ(a.cells[1].topLeft(), QPoint(118, 22));
    EXPECT_EQ(a.cells[3].topLeft(), QPoint(18, 172));
    EXPECT_EQ(a.cells[5].topLeft(), QPoint(218, 172));
}

struct hitCase_t {
    const char* name;
    QPoint at;
    int32_t cell;
};
void PrintTo(const hitCase_t& c, std::ostream* os) { *os << c.name; }

class AreaHit : public ::testing::TestWithParam<hitCase_t> {};

TEST_P(AreaHit, EdgesBelongToTheCellGapsToNone)
{
    EXPECT_EQ(output::cellAt(sample(), GetParam().at), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(Clicks, AreaHit,
    ::testing::Values(hitCase_t{"TopLeftCorner", {18, 22}, 1}, hitCase_t{"FarCornerIncluded", {108, 157}, 1},
                      hitCase_t{"InTheColumnGap", {109, 40}, 0}, hitCase_t{"SecondColumn", {118, 22}, 2},
                      hitCase_t{"SecondRowFirstColumn", {20, 172}, 4}, hitCase_t{"InTheRowGap", {20, 160}, 0},
                      hitCase_t{"AboveTheSheet", {20, 5}, 0}),
    testnames::byName());

struct toggleCase_t {
    const char* name;
    const char* before;
    int32_t index;
    const char* after;
};
void PrintTo(const toggleCase_t& c, std::ostream* os) { *os << c.name; }

class AreaToggle : public ::testing::TestWithParam<toggleCase_t> {};

TEST_P(AreaToggle, PadsWithBlanksAndFlipsOneCell)
{
    EXPECT_EQ(output::toggleArea(QByteArray(GetParam().before), GetParam().index), QByteArray(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(Strings, AreaToggle,
    ::testing::Values(toggleCase_t{"EmptyIsPaddedUpToTheCell", "", 3, "  x"},
                      toggleCase_t{"CrossRestored", "  x", 3, "   "},
                      toggleCase_t{"FirstCell", "x", 1, " "},
                      toggleCase_t{"AnyOtherCharacterBecomesX", "ab", 1, "xb"},
                      toggleCase_t{"NoCellNoChange", "x", 0, "x"}),
    testnames::byName());

TEST(AreaSheet, AllAndNoAreasHaveOneCharacterPerCell)
{
    EXPECT_EQ(output::uniformAreas(5, true), QByteArray(5, ' '));
    EXPECT_EQ(output::uniformAreas(5, false), QByteArray(5, 'x'));
}

} // namespace
