// Design types, "Quick select" list texts, applying and recognising preset
// rows, and the default page setups.
#include "settings/pagepresets.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace page;

namespace {

QStringList L(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items) out << QString::fromUtf8(s);
    return out;
}

struct listCase {
    int32_t type;
    int32_t unit;
    QStringList texts;
};

} // namespace

TEST(DesignTypes, NamesInNumberOrder)
{
    const QStringList names = L({"Illustrations", "Postcards", "Greeting Cards", "Business Cards",
                                 "Labels", "CD/DVD Labels", "Jewel Case Inserts", "DVD Case Inserts",
                                 "Digital Images", "Brochures", "Tent Cards"});
    for (int32_t t = 1; t <= 11; ++t) EXPECT_EQ(designTypeName(t), names[t - 1]) << t;
    EXPECT_TRUE(designTypeName(0).isEmpty());
    EXPECT_TRUE(designTypeName(12).isEmpty());
    EXPECT_TRUE(designTypeDescription(-3).isEmpty());
}

TEST(DesignTypes, Descriptions)
{
    EXPECT_EQ(designTypeDescription(1),
              "'Illustrations' include posters, flyers, charts, photo books and other designs that "
              "are printed on the whole sheet of paper.");
    EXPECT_EQ(designTypeDescription(9),
              "'Digital Images' include Web and email pictures that are published or sent over the "
              "Internet.");
    EXPECT_EQ(designTypeDescription(11),
              "'Tent Cards' include any cards that fold in the middle to stand upright.");
    for (int32_t t = 1; t <= 11; ++t)
        EXPECT_TRUE(designTypeDescription(t).startsWith("'" + designTypeName(t) + "'")) << t;
}

TEST(DesignTypes, StoredNumberIsAbsolute)
{
    EXPECT_EQ(designTypeOf(-5), 5);
    EXPECT_EQ(designTypeOf(3), 3);
    EXPECT_EQ(designTypeOf(INT32_MIN), 0);
    for (int32_t t : {2, 3, 4, 5, 11}) EXPECT_TRUE(isCardType(t)) << t;
    for (int32_t t : {1, 6, 7, 8, 9, 10}) EXPECT_FALSE(isCardType(t)) << t;
}

TEST(PresetList, PixelRowsForEveryType)
{
    const QStringList pixels = L({"Small Photo 250 x 350", "Medium Photo 350 x 500",
                                  "Large Photo 500 x 700", "Leaderboard 728 x 90",
                                  "Banner 468 x 60", "Half Banner 234 x 60", "Skyscraper 120 x 600",
                                  "Wide Skyscraper 160 x 600", "Vertical Banner 120 x 240",
                                  "Button 125 x 125", "Medium Rectangle 300 x 250",
                                  "Square 250 x 250", "Large Rectangle 336 x 280",
                                  "Small Rectangle 180 x 150"});
    for (int32_t t = 1; t <= 11; ++t) EXPECT_EQ(presetList(t, 1), pixels) << t;
}

TEST(PresetList, TextsOfEveryTable)
{
    const std::vector<listCase> cases = {
        {1, 2, L({"A0 - drawings, posters", "A1 - drawings, posters, flip charts",
                  "A2 - flip charts, diagrams", "A3 - newspapers, large tables",
                  "A4 - letters, magazines, forms, catalogs", "A5 - note pads, books",
                  "A6 - books, postcards", "A7 - index cards",
                  "C4 - envelopes for A4 letters unfolded", "C5 - envelopes for A5 letters unfolded",
                  "C6 - envelopes for A6 postcards", "C6/C5 - envelopes for A4 letters folded twice",
                  "DL - envelopes for A4 letters folded twice", "B4 - newspapers, envelopes for C4",
                  "B5 - books, envelopes for C5", "B6 - books, envelopes for C6", "B7 - passports",
                  "B8 - playing cards", "Photo - 90 x 130", "Photo - 130 x 180"})},
        {1, 3, L({"Letter 8 1/2 x 11", "Legal 8 1/2 x 14", "Executive 7 1/4 x 10 1/2",
                  "Ledger/Tabloid 11 x 17", "Envelope #10 4 1/8 x 9 1/2",
                  "Envelope Monarch 3 7/8 x 7 1/2", "Photo 4 x 6", "Photo 5 x 7"})},
        {2, 2, L({"A5 postcards, 2 per A4 page", "A6 postcards, 4 per A4 page",
                  "210 x 99 postcards, 3 per A4 page"})},
        {3, 2, L({"A6 postcards, 2 per A4 page, vertical", "A6 postcards, 2 per A4 page, horizontal",
                  "A6 postcards, 2 per A4 page, vertical", "A6 postcards, 2 per A4 page, horizontal"})},
        {4, 2, L({"A8 business cards, 8 per page", "A8 business cards, 10 per page",
                  "A8 fold business cards, 5 per page", "A8 vertical cards, 8 per page",
                  "A8 vertical cards, 10 per page", "A8 fold vertical cards, 5 per page",
                  "85 × 54 business cards, 8 per page", "85 × 54 business cards, 10 per page",
                  "85 × 54 fold business cards, 5 per page", "85 × 54 vertical cards, 8 per page",
                  "85 × 54 vertical cards, 10 per page", "85 × 54 fold vertical cards, 5 per page"})},
        {5, 2, L({"20 x 10 labels, A4 paper", "37 x 18 labels, A4 paper", "40 x 20 labels, A4 paper",
                  "50 x 30 labels, A4 paper", "60 x 40 labels, A4 paper", "80 x 50 labels, A4 paper",
                  "100 x 60 labels, A4 paper", "100 x 70 labels, A4 paper",
                  "100 x 80 labels, A4 paper", "100 x 90 labels, A4 paper"})},
        {10, 2, L({"Half-fold brochures, A4 paper", "Tri-fold brochures, A4 paper"})},
        {11, 2, L({"Tent Cards, 2 per A4 page", "Tent Cards, 3 per A4 page"})},
        {2, 3, L({"4 x 6 postcards, 2 per page", "5 1/2 x 4 1/4 postcards, 4 per page"})},
        {3, 3, L({"4 1/4 x 5 1/2 greeting cards, 2 per page, vertical",
                  "5 1/2 x 4 1/4 greeting cards, 2 per page, horizontal",
                  "4 1/4 x 5 1/2 greeting cards, 2 per page, vertical",
                  "5 1/2 x 4 1/4 greeting cards, 2 per page, horizontal"})},
        {4, 3, L({"Business Cards, 8 per page", "Business Cards, 10 per page",
                  "Business Cards, 12 per page", "Vertical business cards, 8 per page",
                  "Vertical business cards, 10 per page", "Vertical business cards, 12 per page",
                  "Fold business cards, 5 per page", "Fold vertical business cards, 5 per page"})},
        {5, 3, L({"1/2 x 1/4 labels, letter-size paper", "3/4 x 1/4 labels, letter-size paper",
                  "1 x 1/2 labels, letter-size paper", "1 1/4 x 3/4 labels, letter-size paper",
                  "1 1/2 x 3/4 labels, letter-size paper", "1 3/4 x 3/4 labels, letter-size paper",
                  "2 x 1 labels, letter-size paper", "2 1/2 x 1 1/4 labels, letter-size paper",
                  "3 x 1 1/2 labels, letter-size paper"})},
        {10, 3, L({"Half-fold brochures, letter-size paper", "Tri-fold brochures, letter-size paper"})},
        {11, 3, L({"Tent Cards 8 1/2 x 2 1/2", "Tent Cards 11 x 3 1/2"})},
    };
    for (const auto& c : cases) EXPECT_EQ(presetList(c.type, c.unit), c.texts) << c.type << "/" << c.unit;
}

TEST(PresetList, EmptyWhereThereAreNoRows)
{
    for (int32_t t : {6, 7, 8, 9})
        for (int32_t u : {2, 3}) EXPECT_TRUE(presetList(t, u).isEmpty()) << t << "/" << u;
    EXPECT_TRUE(presetList(0, 2).isEmpty());
    EXPECT_TRUE(presetList(1, 4).isEmpty());
}

// ---- applying rows ----------------------------------------------------------

TEST(ApplyPreset, LeaderboardForcesLandscape)
{
    pageset_t s;
    s.pageOrientation = portrait;
    ASSERT_TRUE(applyPreset(s, 1, 1, 3));
    EXPECT_EQ(s.pageOrientation, landscape);
    EXPECT_EQ(s.measuresOf(1).paperWidth, "728");
    EXPECT_EQ(s.measuresOf(1).paperHeight, "90");
    EXPECT_EQ(s.measuresOf(1).presetIndex, 3);
    // Skyscraper forces portrait.
    ASSERT_TRUE(applyPreset(s, 1, 1, 6));
    EXPECT_EQ(s.pageOrientation, portrait);
}

TEST(ApplyPreset, PhotoRowsFollowOrientation)
{
    pageset_t s;
    s.pageOrientation = landscape;
    ASSERT_TRUE(applyPreset(s, 9, 1, 0));
    EXPECT_EQ(s.measuresOf(1).paperWidth, "350");
    EXPECT_EQ(s.measuresOf(1).paperHeight, "250");
    EXPECT_EQ(s.pageOrientation, landscape);
    s.pageOrientation = portrait;
    ASSERT_TRUE(applyPreset(s, 9, 1, 2));
    EXPECT_EQ(s.measuresOf(1).paperWidth, "500");
    EXPECT_EQ(s.measuresOf(1).paperHeight, "700");
    // Square and Button keep the orientation.
    s.pageOrientation = landscape;
    ASSERT_TRUE(applyPreset(s, 9, 1, 11));
    EXPECT_EQ(s.pageOrientation, landscape);
}

TEST(ApplyPreset, PixelRowsTouchOnlyWidthAndHeight)
{
    pageset_t s;
    miry_t& m = s.measuresOf(1);
    m.marginLeft = "9";
    m.cardWidth = "7";
    m.rowFold = 1;
    ASSERT_TRUE(applyPreset(s, 2, 1, 4));
    EXPECT_EQ(m.marginLeft, "9");
    EXPECT_EQ(m.cardWidth, "7");
    EXPECT_EQ(m.rowFold, 1);
}

TEST(ApplyPreset, IllustrationsWritePaperAndMarginsKeepOrientation)
{
    for (int32_t orientation : {portrait, landscape}) {
        pageset_t s;
        s.pageOrientation = orientation;
        s.measuresOf(2).cardWidth = "55";
        ASSERT_TRUE(applyPreset(s, 1, 2, 4));
        const miry_t& m = s.measuresOf(2);
        EXPECT_EQ(m.paperWidth, "210");
        EXPECT_EQ(m.paperHeight, "297");
        for (const QString* f : {&m.marginLeft, &m.marginTop, &m.marginRight, &m.marginBottom})
            EXPECT_EQ(*f, "7");
        EXPECT_EQ(m.cardWidth, "55");
        EXPECT_EQ(s.pageOrientation, orientation);
    }
}

TEST(ApplyPreset, PhotoIllustrationsEmptyTheMargins)
{
    pageset_t s;
    applyPreset(s, 1, 3, 0);
    EXPECT_EQ(s.measuresOf(3).marginLeft, "1/4");
    EXPECT_EQ(s.measuresOf(3).paperWidth, "8 1/2");
    applyPreset(s, 1, 3, 7);
    EXPECT_EQ(s.measuresOf(3).paperWidth, "5");
    EXPECT_EQ(s.measuresOf(3).paperHeight, "7");
    EXPECT_TRUE(s.measuresOf(3).marginLeft.isEmpty());
    EXPECT_TRUE(s.measuresOf(3).marginBottom.isEmpty());
    applyPreset(s, 1, 2, 19);
    EXPECT_EQ(s.measuresOf(2).paperWidth, "130");
    EXPECT_TRUE(s.measuresOf(2).marginTop.isEmpty());
}

struct cardExpect {
    int32_t type, unit, row, orientation;
    const char* fields[12];  // paper w h, card w h, margins l t r b, rows, columns, gaps row col
    uint8_t rowFold, columnFold;
};

TEST(ApplyPreset, CardRowsWriteEveryFieldButExtras)
{
    const cardExpect cases[] = {
        {3, 2, 1, landscape, {"297", "210", "148", "105", "0", "0", "0", "0", "2", "2", "0", "0"}, 1, 0},
        {4, 2, 9, landscape, {"297", "210", "54", "85", "25", "15", "0", "0", "2", "4", "10", "10"}, 0, 0},
        {5, 2, 5, portrait, {"210", "297", "80", "50", "25", "24", "25", "24", "5", "2", "0", "0"}, 0, 0},
        {11, 2, 1, portrait, {"210", "297", "190", "46", "10", "10", "10", "10", "6", "1", "0", "0"}, 1, 0},
        {2, 3, 0, portrait, {"8 1/2", "11", "6", "4", "1 1/4", "1", "1 1/4", "1", "2", "1", "1", ""}, 0, 0},
        {4, 3, 6, portrait, {"8 1/2", "11", "3 1/2", "2", "3/4", "1/2", "3/4", "3/4", "5", "2", "", ""}, 0, 1},
        {5, 3, 8, portrait, {"8 1/2", "11", "3", "1 1/2", "1 1/4", "1/4", "1 1/4", "1/4", "7", "2", "", ""}, 0, 0},
        {10, 3, 1, portrait, {"8 1/2", "11", "8 1/2", "3 2/3", "", "", "", "", "3", "1", "", ""}, 1, 0},
        {11, 3, 1, landscape, {"11", "8 1/2", "11", "3 1/2", "", "3/4", "", "3/4", "2", "1", "", ""}, 1, 0},
    };
    for (const auto& c : cases) {
        pageset_t s;
        s.pageOrientation = c.orientation == portrait ? landscape : portrait;
        miry_t& m = s.measuresOf(c.unit);
        for (int i = 1; i <= 14; ++i) m.field(i) = "junk";
        m.rowFold = m.columnFold = 1;
        ASSERT_TRUE(applyPreset(s, c.type, c.unit, c.row));
        EXPECT_EQ(s.pageOrientation, c.orientation) << c.type << "/" << c.row;
        for (int i = 1; i <= 12; ++i) EXPECT_EQ(m.field(i), c.fields[i - 1]) << c.type << "/" << c.row << " field " << i;
        EXPECT_EQ(m.extraX, "junk");
        EXPECT_EQ(m.extraY, "junk");
        EXPECT_EQ(m.rowFold, c.rowFold);
        EXPECT_EQ(m.columnFold, c.columnFold);
        EXPECT_EQ(m.presetIndex, c.row);
        // The other units are untouched.
        EXPECT_EQ(s.measuresOf(c.unit == 2 ? 3 : 2), miry_t{});
    }
}

TEST(ApplyPreset, NoSuchRowChangesNothing)
{
    pageset_t s;
    const pageset_t before = s;
    EXPECT_FALSE(applyPreset(s, 9, 2, 0));
    EXPECT_FALSE(applyPreset(s, 1, 1, 14));
    EXPECT_FALSE(applyPreset(s, 1, 2, -1));
    EXPECT_FALSE(applyPreset(s, 12, 2, 0));
    EXPECT_FALSE(applyPreset(s, 2, 0, 0));
    EXPECT_EQ(s, before);
}

// Every row of every table is recognised again once applied.
TEST(MatchPreset, EveryRowMatchesItselfAfterApplying)
{
    for (int32_t type = 1; type <= 11; ++type)
        for (int32_t unit = 1; unit <= 3; ++unit) {
            const int32_t n = presetList(type, unit).size();
            for (int32_t row = 0; row < n; ++row)
                for (int32_t orientation : {portrait, landscape}) {
                    pageset_t s;
                    s.pageOrientation = orientation;
                    ASSERT_TRUE(applyPreset(s, type, unit, row));
                    EXPECT_EQ(matchPreset(s, type, unit), row)
                        << "type " << type << " unit " << unit << " row " << row;
                }
        }
}

TEST(MatchPreset, A4MatchesInEitherOrderAndMarginsDoNotCount)
{
    pageset_t s;
    applyPreset(s, 1, 2, 4);
    s.measuresOf(2).paperWidth = "297";
    s.measuresOf(2).paperHeight = "210";
    EXPECT_EQ(matchPreset(s, 1, 2), 4);
    s.measuresOf(2).marginLeft = "7.0";
    EXPECT_EQ(matchPreset(s, 1, 2), 4);
    s.measuresOf(2).marginTop = "not a number";
    EXPECT_EQ(matchPreset(s, 1, 2), 4);
    s.measuresOf(2).paperWidth = "297.0";  // not a whole number
    EXPECT_EQ(matchPreset(s, 1, 2), -1);
}

TEST(MatchPreset, A7StillMatchesAfterAMarginChange)
{
    pageset_t s;
    applyPreset(s, 1, 2, 7);
    s.measuresOf(2).marginRight = "12";
    EXPECT_EQ(matchPreset(s, 1, 2), 7);
}

TEST(MatchPreset, InchPostcardTypedInLandscape)
{
    pageset_t s;
    s.pageOrientation = landscape;
    miry_t& m = s.measuresOf(3);
    m.paperWidth = "11";
    m.paperHeight = "8 1/2";
    m.cardWidth = "4";
    m.cardHeight = "6";
    m.marginLeft = "1";
    m.marginTop = "1 1/4";
    m.rows = "1";
    m.columns = "2";
    m.rowGap = "";
    m.columnGap = "1";
    EXPECT_EQ(matchPreset(s, 2, 3), 0);
    // Fractions are values: 1.25 equals 1 1/4.
    m.marginTop = "1.25";
    EXPECT_EQ(matchPreset(s, 2, 3), 0);
    m.marginTop = "1,25";
    EXPECT_EQ(matchPreset(s, 2, 3), 0);
}

TEST(MatchPreset, ZeroPointZeroStopsACardRow)
{
    pageset_t s;
    applyPreset(s, 2, 2, 1);
    ASSERT_EQ(matchPreset(s, 2, 2), 1);
    s.measuresOf(2).marginLeft = "0.0";
    EXPECT_EQ(matchPreset(s, 2, 2), -1);
    s.measuresOf(2).marginLeft = "";  // empty reads 0
    EXPECT_EQ(matchPreset(s, 2, 2), 1);
}

TEST(MatchPreset, RightAndBottomMarginsNeverCompared)
{
    pageset_t s;
    applyPreset(s, 5, 2, 3);
    s.measuresOf(2).marginRight = "99";
    s.measuresOf(2).marginBottom = "x";
    EXPECT_EQ(matchPreset(s, 5, 2), 3);
}

TEST(MatchPreset, BothOrientationsOnlyForPostcardsLabelsBrochures)
{
    // A row applied, then the orientation changed with every pair exchanged.
    // For the one-orientation types the exchanged values find only a row
    // listed in the other orientation (the vertical twin of a card), if any.
    struct c { int32_t type, unit, row, expect; };
    const c cases[] = {
        {2, 2, 1, 1}, {5, 2, 4, 4}, {10, 2, 0, 0}, {5, 3, 2, 2}, {10, 3, 1, 1}, {2, 3, 0, 0},
        {3, 2, 0, 1}, {4, 2, 1, 4}, {4, 3, 2, 5}, {11, 2, 0, -1}, {11, 3, 1, -1}, {4, 3, 6, 7},
    };
    for (const auto& k : cases) {
        pageset_t s;
        applyPreset(s, k.type, k.unit, k.row);
        swapOrientation(s.measuresOf(k.unit));
        s.pageOrientation = s.pageOrientation == portrait ? landscape : portrait;
        EXPECT_EQ(matchPreset(s, k.type, k.unit), k.expect)
            << "type " << k.type << " unit " << k.unit << " row " << k.row;
    }
}

TEST(MatchPreset, GreetingRowsDifferOnlyInFold)
{
    pageset_t s;
    applyPreset(s, 3, 2, 0);
    EXPECT_EQ(matchPreset(s, 3, 2), 0);
    s.measuresOf(2).columnFold = 0;
    s.measuresOf(2).rowFold = 1;
    EXPECT_EQ(matchPreset(s, 3, 2), 2);
    s.measuresOf(2).rowFold = 0;
    EXPECT_EQ(matchPreset(s, 3, 2), -1);
}

TEST(MatchPreset, BrochuresIgnoreGaps)
{
    pageset_t s;
    applyPreset(s, 10, 2, 1);
    s.measuresOf(2).rowGap = "5";
    EXPECT_EQ(matchPreset(s, 10, 2), 1);
    applyPreset(s, 5, 2, 1);
    s.measuresOf(2).rowGap = "5";
    EXPECT_EQ(matchPreset(s, 5, 2), -1);
}

TEST(MatchPreset, PixelPhotoRowsUseShortAndLongSide)
{
    pageset_t s;
    s.pageOrientation = landscape;
    s.measuresOf(1).paperWidth = "350";
    s.measuresOf(1).paperHeight = "250";
    EXPECT_EQ(matchPreset(s, 9, 1), 0);
    s.pageOrientation = portrait;
    EXPECT_EQ(matchPreset(s, 9, 1), -1);
    s.measuresOf(1).paperWidth = "728";
    s.measuresOf(1).paperHeight = "90";
    EXPECT_EQ(matchPreset(s, 9, 1), 3);  // other rows match as listed whatever the orientation
}

TEST(MatchPreset, NothingForDigitalImagesInMillimetres)
{
    pageset_t s;
    s.measuresOf(2).paperWidth = "210";
    s.measuresOf(2).paperHeight = "297";
    EXPECT_EQ(matchPreset(s, 9, 2), -1);
    EXPECT_EQ(matchPreset(s, 6, 3), -1);
}

// ---- defaults ---------------------------------------------------------------

TEST(DefaultPageSetup, EveryType)
{
    struct c { int32_t type, mmRow, inRow; };
    const c cases[] = {{1, 4, 0}, {2, 0, 0}, {3, 0, 0}, {4, 1, 1}, {5, 1, 6},
                       {6, -1, -1}, {7, -1, -1}, {8, -1, -1}, {9, -1, -1}, {10, 1, 1}, {11, 0, 0}};
    for (const auto& k : cases) {
        const pageset_t s = defaultPageSetup(k.type, 2);
        EXPECT_EQ(s.pageOrientation, k.type == 9 ? landscape : portrait) << k.type;
        EXPECT_EQ(s.unit, k.type == 9 ? 1 : 2) << k.type;
        const miry_t& px = s.measuresOf(1);
        EXPECT_EQ(px.paperWidth, "350");
        EXPECT_EQ(px.paperHeight, "250");
        EXPECT_EQ(px.presetIndex, 0);
        for (int32_t unit : {2, 3}) {
            const int32_t row = unit == 2 ? k.mmRow : k.inRow;
            const miry_t& m = s.measuresOf(unit);
            if (row < 0) {
                miry_t empty;
                empty.presetIndex = 0;
                EXPECT_EQ(m, empty) << k.type << "/" << unit;
                continue;
            }
            pageset_t expect;
            applyPreset(expect, k.type, unit, row);
            EXPECT_EQ(m, expect.measuresOf(unit)) << k.type << "/" << unit;
            EXPECT_EQ(m.presetIndex, row);
            EXPECT_EQ(matchPreset(s, k.type, unit), row) << k.type << "/" << unit;
        }
    }
    EXPECT_EQ(defaultPageSetup(1).unit, 3);
    EXPECT_EQ(defaultPageSetup(1).measuresOf(3).paperWidth, "8 1/2");
    EXPECT_EQ(defaultPageSetup(1).measuresOf(2).marginLeft, "7");
    EXPECT_EQ(defaultPageSetup(5).measuresOf(3).cardWidth, "2");
}
