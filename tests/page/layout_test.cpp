// Page measure parsing, orientation exchange and card-layout geometry (the
// page guides drawn from a header are tested with the render pass).
#include "page/layout.h"
#include "settings/pagepresets.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace page;

namespace {
struct parseCase {
    const char* text;
    int32_t unit;
    bool ok;
    double value;
};
} // namespace

TEST(ParsePageMeasure, Table)
{
    const parseCase cases[] = {
        {"8-1/2", 3, true, 8.5},   {"8,5", 3, true, 8.5},      {"3/0", 3, false, 0},
        {"12\"", 3, true, 12},     {"8 1/2", 3, true, 8.5},    {"  8 1/2  ", 3, true, 8.5},
        {"1/4", 3, true, 0.25},    {"-1/4", 3, true, -0.25},   {"-2 1/2", 3, true, -2.5},
        {"3 2/3", 3, true, 3 + 2.0 / 3}, {"0/4", 3, false, 0}, {"1.5/2", 3, false, 0},
        {"1 1/2 3", 3, false, 0}, {"abc", 3, false, 0},       {"", 3, true, 0},
        {"   ", 2, true, 0},       {"7.25", 2, true, 7.25},    {"7,25", 2, true, 7.25},
        {"1/4", 2, false, 0},      {"12\"", 2, false, 0},      {"8 1/2", 1, false, 0},
        {"350", 1, true, 350},     {"-3", 2, true, -3},        {"1e3", 2, false, 0},
        {"8 1/2\"", 3, true, 8.5}, {"5 / 8", 3, false, 0},     {".5", 2, true, 0.5},
    };
    for (const auto& c : cases) {
        double v = -999;
        const bool ok = parsePageMeasure(QString::fromUtf8(c.text), c.unit, v);
        EXPECT_EQ(ok, c.ok) << '"' << c.text << "\" unit " << c.unit;
        if (ok && c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST(ParsePageMeasure, WholeNumbers)
{
    int32_t v = 0;
    EXPECT_TRUE(parsePageWhole(" 42 ", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(parsePageWhole("-3", v));
    EXPECT_EQ(v, -3);
    EXPECT_FALSE(parsePageWhole("4.0", v));
    EXPECT_FALSE(parsePageWhole("", v));
    EXPECT_FALSE(parsePageWhole("99999999999", v));
}

TEST(Orientation, LandscapeExchangesEveryPair)
{
    miry_t m;
    m.paperWidth = "210"; m.paperHeight = "297";
    m.cardWidth = "105"; m.cardHeight = "148";
    m.marginLeft = "26"; m.marginTop = "25";
    m.marginRight = "1"; m.marginBottom = "2";
    m.rows = "4"; m.columns = "2";
    m.rowGap = "3"; m.columnGap = "5";
    m.extraX = "x"; m.extraY = "y";
    m.columnFold = 1;
    swapOrientation(m);
    EXPECT_EQ(m.paperWidth, "297");
    EXPECT_EQ(m.paperHeight, "210");
    EXPECT_EQ(m.cardWidth, "148");
    EXPECT_EQ(m.cardHeight, "105");
    EXPECT_EQ(m.marginLeft, "25");
    EXPECT_EQ(m.marginTop, "26");
    EXPECT_EQ(m.marginRight, "2");
    EXPECT_EQ(m.marginBottom, "1");
    EXPECT_EQ(m.rows, "2");
    EXPECT_EQ(m.columns, "4");
    EXPECT_EQ(m.rowGap, "5");
    EXPECT_EQ(m.columnGap, "3");
    EXPECT_EQ(m.extraX, "y");
    EXPECT_EQ(m.rowFold, 1);
    EXPECT_EQ(m.columnFold, 0);
}

TEST(MiryFields, FourteenInRecordOrder)
{
    miry_t m;
    for (int i = 1; i <= 14; ++i) m.field(i) = QString::number(i);
    EXPECT_EQ(m.paperWidth, "1");
    EXPECT_EQ(m.cardHeight, "4");
    EXPECT_EQ(m.marginBottom, "8");
    EXPECT_EQ(m.rows, "9");
    EXPECT_EQ(m.columnGap, "12");
    EXPECT_EQ(m.extraY, "14");
}

TEST(PageTexts, RoundTripAndDamagedTexts)
{
    pageset_t s;
    applyPreset(s, 3, 3, 1);
    miry_t m = s.measuresOf(3);
    m.extraX = QString::fromUtf8("é");
    const std::u16string t = pageTextsOf(m);
    EXPECT_EQ(std::count(t.begin(), t.end(), u'\u07EC'), 14);
    miry_t back;
    back.rowFold = 1;
    back.presetIndex = 5;
    readPageTexts(t, back);
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(back.field(i), m.field(i)) << i;
    EXPECT_EQ(back.rowFold, 1);  // only the texts travel in the header text
    EXPECT_EQ(back.presetIndex, 5);

    // Short, unterminated and NUL-cut texts.
    readPageTexts(u"8 1/2\u07EC11", back);
    EXPECT_EQ(back.paperWidth, "8 1/2");
    EXPECT_EQ(back.paperHeight, "11");
    EXPECT_TRUE(back.cardWidth.isEmpty());
    readPageTexts(std::u16string(u"1\u07EC") + u'\0' + u"2\u07EC", back);
    EXPECT_EQ(back.paperWidth, "1");
    EXPECT_TRUE(back.paperHeight.isEmpty());
    // A huge text without separators is cut at the scanning limit.
    readPageTexts(std::u16string(2000000, u'7'), back);
    EXPECT_EQ(back.paperWidth.size(), 1024000);
}

// ---- card layout ---------------------------------------------------------------

TEST(CardLayout, OriginsWithAndWithoutFolds)
{
    cardLayout_t l;
    l.marginLeft = 10; l.marginTop = 20;
    l.cardWidth = 50; l.cardHeight = 30;
    l.columnGap = 4; l.rowGap = 6;
    l.rows = 4; l.columns = 4;
    struct c { int32_t col, row; double x, y; };
    const c plain[] = {{1, 1, 10, 20}, {2, 1, 64, 20}, {4, 3, 172, 92}};
    for (const auto& k : plain) {
        const auto p = cardOrigin(l, k.col, k.row);
        EXPECT_DOUBLE_EQ(p.x, k.x) << k.col;
        EXPECT_DOUBLE_EQ(p.y, k.y) << k.row;
    }
    l.columnFold = true;
    l.rowFold = true;
    // Halves of a folded card touch; the gap stands between pairs only.
    const c folded[] = {{1, 1, 10, 20}, {2, 2, 60, 50}, {3, 3, 114, 86}, {4, 4, 164, 116}};
    for (const auto& k : folded) {
        const auto p = cardOrigin(l, k.col, k.row);
        EXPECT_DOUBLE_EQ(p.x, k.x) << k.col;
        EXPECT_DOUBLE_EQ(p.y, k.y) << k.row;
    }
}

TEST(CardLayout, CellsJoinFoldedCards)
{
    cardLayout_t l;
    l.cardWidth = 50; l.cardHeight = 30; l.rows = 5; l.columns = 3;
    cellSize_t c = cardCellSize(l);
    EXPECT_EQ(c.rows, 5);
    EXPECT_EQ(c.columns, 3);
    EXPECT_DOUBLE_EQ(c.width, 50);
    EXPECT_DOUBLE_EQ(c.height, 30);
    l.rowFold = true;
    c = cardCellSize(l);
    EXPECT_EQ(c.rows, 2);  // trunc(5 / 2)
    EXPECT_DOUBLE_EQ(c.height, 60);
    l.columnFold = true;
    l.columns = 1;  // a fold needs two columns
    c = cardCellSize(l);
    EXPECT_EQ(c.columns, 1);
    EXPECT_DOUBLE_EQ(c.width, 50);
}

TEST(CardLayout, CellOriginIsFirstCardOfPair)
{
    cardLayout_t l;
    l.marginLeft = 5; l.cardWidth = 10; l.columnGap = 2; l.columns = 4; l.columnFold = true;
    l.rows = 1; l.cardHeight = 7;
    // Printed cells stand a cell width and a gap apart from the first card on:
    // each starts at the first card of a pair.
    const cellSize_t c = cardCellSize(l);
    EXPECT_DOUBLE_EQ(cardOrigin(l, 1, 1).x, 5);
    EXPECT_DOUBLE_EQ(cardOrigin(l, 3, 1).x, 5 + c.width + l.columnGap);
    EXPECT_DOUBLE_EQ(cardOrigin(l, 3, 1).x, 5 + 20 + 2);
}

TEST(CardLayout, FromMeasuresOfAPreset)
{
    pageset_t s;
    applyPreset(s, 4, 3, 0);  // 8 business cards on letter paper
    const cardLayout_t l = cardLayoutOf(s.measuresOf(3), 3);
    EXPECT_DOUBLE_EQ(l.marginLeft, 0.5);
    EXPECT_DOUBLE_EQ(l.marginTop, 0.75);
    EXPECT_DOUBLE_EQ(l.cardWidth, 3.5);
    EXPECT_EQ(l.rows, 4);
    EXPECT_EQ(l.columns, 2);
    const auto last = cardOrigin(l, 2, 4);
    EXPECT_DOUBLE_EQ(last.x, 0.5 + 3.5 + 0.5);
    EXPECT_DOUBLE_EQ(last.y, 0.75 + 3 * (2 + 0.5));
}
