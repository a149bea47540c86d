// The attribute pick lists: their entries, how values select entries and
// entries read back, the "Customize..." colour flow, the flags that select a
// new preset, stored positions past the end, and the drawn samples.
#include "ui/dialogs.h"
#include "panels/picklistwidget.h"
#include "panels/picklists.h"
#include "settings/store.h"
#include "testnames.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using settings::TParams;
using panels::listKind_t;

namespace {

// Settings with no custom entries in any list.
std::unique_ptr<TParams> bareParams(settings::memoryStore_t& store)
{
    auto p = std::make_unique<TParams>(&store);
    p->initSettings();
    for (auto& r : p->customWidths) r.listed = 0;
    for (auto& r : p->customPatterns) r.listed = 0;
    for (auto* t : {&p->customDirections, &p->customAngles, &p->customSizes})
        for (auto& r : *t) r.listed = 0;
    for (auto& r : p->customShadows) r.listed = 0;
    p->savedColors.fill(-1);
    p->dialogColors.clear();
    return p;
}

// Custom entries in every list: the listed records are not the first rows,
// so that the mapping from positions to records matters.
void addCustoms(TParams& p)
{
    p.customWidths[2] = {0.7, 3, 2, QStringLiteral("Seven"), QStringLiteral("0.7"), 1, 0};
    p.customWidths[4] = {0.9, 3, 2, QStringLiteral("Nine"), QStringLiteral("0.9"), 1, 0};
    p.customDirections[3].value = 45;
    p.customDirections[3].listed = 1;
    p.customAngles[1].value = 30;
    p.customAngles[1].listed = 1;
    p.customSizes[6].value = 13;
    p.customSizes[6].listed = 1;
    p.customShadows[2] = {QStringLiteral("Deep"), 90, 40, 60, 0, 0, 1};
    auto& pat = p.customPatterns[5];
    pat.count = 2;
    pat.segments[0] = 1.5;
    pat.segments[1] = 0.5;
    pat.listed = 1;
    p.dialogColors = {QStringLiteral("colorA=FF8000"), QStringLiteral("colorB=zz"), QStringLiteral("colorC=FF8000")};
    p.savedColors[0] = 0x123456;
}

class PickLists : public ::testing::Test {
protected:
    settings::memoryStore_t store;
    std::unique_ptr<TParams> p = bareParams(store);
};

TEST_F(PickLists, BuiltInEntriesInOrder)
{
    const struct {
        listKind_t kind;
        size_t count;
        int32_t index;
        const char* text;
    } cases[] = {
        {listKind_t::colour, 17, 13, "Fuchsia"},       {listKind_t::fill, 19, 18, "Customize..."},
        {listKind_t::weight, 7, 5, "Broad"},           {listKind_t::frameWeight, 8, 1, "Thin"},
        {listKind_t::pattern, 6, 3, "Center"},         {listKind_t::lineDirection, 6, 3, "Vertical (left)"},
        {listKind_t::textAngle, 6, 5, "Customize..."}, {listKind_t::fontSize, 17, 13, "36"},
        {listKind_t::shadow, 5, 3, "Broad"},           {listKind_t::surface, 2, 1, "Round"},
    };
    for (const auto& c : cases) {
        const panels::builtList_t b = panels::buildList(c.kind, *p);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(b.entries.size(), c.count);
        EXPECT_EQ(b.entries[c.index].text, QString::fromLatin1(c.text));
    }
}

// A value looked up in a list of the kind; a, b, c are the shadow triple.
struct selectCase_t {
    const char* name;
    listKind_t kind;
    double value;
    int32_t b, c;
    int32_t want;
};
void PrintTo(const selectCase_t& c, std::ostream* os) { *os << c.name; }

class SelectByValue : public PickLists, public ::testing::WithParamInterface<selectCase_t> {};

int32_t indexFor(const TParams& p, const selectCase_t& c)
{
    switch (c.kind) {
    case listKind_t::colour: return panels::indexOfColour(p, int32_t(c.value));
    case listKind_t::fill: return panels::indexOfFill(p, int32_t(c.value));
    case listKind_t::weight: return panels::indexOfWeight(p, c.value, false);
    case listKind_t::frameWeight: return panels::indexOfWeight(p, c.value, true);
    case listKind_t::pattern: {
        const double mm[] = {c.value, double(c.b) / 10};
        return panels::indexOfCustomPattern(p, mm, c.c);
    }
    case listKind_t::lineDirection: return panels::indexOfDirection(p, c.value, false);
    case listKind_t::textAngle: return panels::indexOfDirection(p, c.value, true);
    case listKind_t::fontSize: return panels::indexOfSize(p, int32_t(c.value));
    case listKind_t::shadow: return panels::indexOfShadow(p, int32_t(c.value), c.b, c.c);
    case listKind_t::surface: return panels::indexOfSurface(int32_t(c.value));
    }
    return -2;
}

TEST_P(SelectByValue, HighlightsTheEntry)
{
    addCustoms(*p);
    EXPECT_EQ(indexFor(*p, GetParam()), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectByValue,
    ::testing::Values(selectCase_t{"StandardColour", listKind_t::colour, 0x0000FF, 0, 0, 9},
                      selectCase_t{"LastEqualDialogColourWins", listKind_t::colour, 0xFF8000, 0, 0, 19},
                      selectCase_t{"SavedColourAfterTheDialogColours", listKind_t::colour, 0x123456, 0, 0, 20},
                      selectCase_t{"UnknownColourNone", listKind_t::colour, 0x010101, 0, 0, -1},
                      selectCase_t{"FillSolid", listKind_t::fill, -2, 0, 0, 0},
                      selectCase_t{"FillClear", listKind_t::fill, -1, 0, 0, 1},
                      selectCase_t{"FillColourShiftedByTwo", listKind_t::fill, 0x123456, 0, 0, 22},
                      selectCase_t{"WeightWithinATenThousandthIsThin", listKind_t::weight, 0.00005, 0, 0, 0},
                      selectCase_t{"WeightTwoTenThousandthsIsNone", listKind_t::weight, 0.0002, 0, 0, -1},
                      selectCase_t{"SecondListedCustomWeight", listKind_t::weight, 0.9, 0, 0, 8},
                      selectCase_t{"FrameCustomWeightFromEight", listKind_t::frameWeight, 0.7, 0, 0, 8},
                      selectCase_t{"FrameThinIsOneTenth", listKind_t::frameWeight, 0.1, 0, 0, 1},
                      selectCase_t{"CustomPatternSameLengths", listKind_t::pattern, 1.5, 5, 2, 6},
                      selectCase_t{"CustomPatternOtherCount", listKind_t::pattern, 1.5, 5, 3, -1},
                      selectCase_t{"DirectionVerticalRight", listKind_t::lineDirection, 90, 0, 0, 2},
                      selectCase_t{"LineDirectionFromItsOwnTable", listKind_t::lineDirection, 45, 0, 0, 6},
                      selectCase_t{"TextAngleNotFromTheLineTable", listKind_t::textAngle, 45, 0, 0, -1},
                      selectCase_t{"SizeSeventyTwo", listKind_t::fontSize, 72, 0, 0, 15},
                      selectCase_t{"CustomSize", listKind_t::fontSize, 13, 0, 0, 17},
                      selectCase_t{"ShadowMedium", listKind_t::shadow, 50, 20, 110, 2},
                      selectCase_t{"ShadowOneOffNone", listKind_t::shadow, 30, 10, 101, -1},
                      selectCase_t{"CustomShadowAfterCustomize", listKind_t::shadow, 90, 40, 60, 5},
                      selectCase_t{"NegativeShadowNone", listKind_t::shadow, -1, 0, 0, -1},
                      selectCase_t{"SurfaceRound", listKind_t::surface, 127, 0, 0, 1},
                      selectCase_t{"OtherSurfaceNone", listKind_t::surface, 5, 0, 0, -1}),
    testnames::byName{});

TEST_F(PickLists, EntriesReadBack)
{
    addCustoms(*p);
    const panels::customMap_t w = panels::buildList(listKind_t::weight, *p).mapping;
    const panels::customMap_t d = panels::buildList(listKind_t::lineDirection, *p).mapping;
    const panels::customMap_t s = panels::buildList(listKind_t::fontSize, *p).mapping;
    const panels::customMap_t sh = panels::buildList(listKind_t::shadow, *p).mapping;
    EXPECT_EQ(w[0], 3);
    EXPECT_EQ(w[1], 5);
    EXPECT_EQ(panels::colourAt(*p, 16), -1);       // "Customize..."
    EXPECT_EQ(panels::colourAt(*p, 18), -1);       // a dialog text that is not hexadecimal
    EXPECT_EQ(panels::colourAt(*p, 20), 0x123456);
    EXPECT_EQ(panels::colourAt(*p, 21), -1);       // past the end
    EXPECT_EQ(panels::fillAt(*p, 0), -2);
    EXPECT_EQ(panels::fillAt(*p, 1), -1);
    EXPECT_EQ(panels::fillAt(*p, 11), 0x0000FF);  // "Red", the tenth colour
    EXPECT_EQ(panels::fillAt(*p, 18), -1);
    EXPECT_DOUBLE_EQ(panels::weightAt(*p, w, 6, false), -1.0);
    EXPECT_DOUBLE_EQ(panels::weightAt(*p, w, 8, false), 0.9);
    EXPECT_DOUBLE_EQ(panels::weightAt(*p, w, 9, false), 0.0);  // no record at that position
    EXPECT_DOUBLE_EQ(panels::weightAt(*p, w, 8, true), 0.7);
    EXPECT_DOUBLE_EQ(panels::directionAt(*p, d, 5, false), -1.0);
    EXPECT_DOUBLE_EQ(panels::directionAt(*p, d, 6, false), 45.0);
    EXPECT_EQ(panels::sizeAt(*p, s, 16), -1);
    EXPECT_EQ(panels::sizeAt(*p, s, 17), 13);
    EXPECT_EQ(panels::sizeAt(*p, s, 18), 0);
    const settings::shadowTriple_t keep{1, 2, 3};
    EXPECT_EQ(panels::shadowAt(*p, sh, 4, keep), keep);
    EXPECT_EQ(panels::shadowAt(*p, sh, 5, keep), (settings::shadowTriple_t{90, 40, 60}));
    EXPECT_EQ(panels::shadowAt(*p, sh, 2, keep), (settings::shadowTriple_t{50, 20, 110}));
    EXPECT_EQ(panels::surfaceAt(1), 127);
}

TEST_F(PickLists, FlaggedPresetIsSelectedOnceAndStoredAsTheNextSetting)
{
    addCustoms(*p);
    p->customWidths[4].selectNext = 1;
    p->customSizes[6].selectNext = 1;
    p->customAngles[1].selectNext = 1;
    const panels::builtList_t w = panels::buildList(listKind_t::weight, *p);
    EXPECT_EQ(w.selectNextIndex, 8);
    EXPECT_DOUBLE_EQ(w.selectNextValue, 0.9);
    EXPECT_EQ(p->customWidths[4].selectNext, 0);
    EXPECT_EQ(panels::buildList(listKind_t::weight, *p).selectNextIndex, -1);
    panels::buildList(listKind_t::fontSize, *p);
    EXPECT_EQ(p->tsize, 13);
    EXPECT_EQ(p->tsizetab, 17);
    panels::buildList(listKind_t::textAngle, *p);
    EXPECT_EQ(p->tangle, 300);
    EXPECT_EQ(p->tdir, 30);
    EXPECT_EQ(p->tangletab, 6);
}

TEST_F(PickLists, StoredPositionPastTheEndFallsBack)
{
    p->tsizetab = 17;  // the list has 17 entries: 0..16
    p->tsize = 99;
    EXPECT_EQ(panels::storedSizeIndex(*p, 17), 4);
    EXPECT_EQ(p->tsize, 12);
    p->tsizetab = 16;
    EXPECT_EQ(panels::storedSizeIndex(*p, 17), 16);  // the last entry is kept
    int32_t tab = 7;
    double weight = 0.9;
    EXPECT_EQ(panels::storedWeightIndex(tab, weight, 7), 0);
    EXPECT_DOUBLE_EQ(weight, 0.0);
    p->linePattern = 6;
    p->linePatternTab = 6;
    EXPECT_EQ(panels::storedPatternIndex(*p, 6), 0);
    EXPECT_EQ(p->linePatternTab, 0);
    p->tangletab = -1;
    EXPECT_EQ(panels::storedDirectionIndex(*p, true, 6), 1);
    EXPECT_EQ(p->tangle, 0);
    p->lineDirectionTab = 6;
    p->lineDirection = 45;
    EXPECT_EQ(panels::storedDirectionIndex(*p, false, 6), 0);
    EXPECT_DOUBLE_EQ(p->lineDirection, -1.0);
}

// ---------------------------------------------------------------- Customize...

struct customCase_t {
    const char* name;
    listKind_t kind;
    int32_t answer;       // negative cancels
    bool fullSaved;       // twelve colours saved before
    int32_t wantIndex;    // highlighted afterwards
    int32_t wantFirstSaved;
    int32_t wantLastSaved;
};
void PrintTo(const customCase_t& c, std::ostream* os) { *os << c.name; }

class CustomColour : public PickLists, public ::testing::WithParamInterface<customCase_t> {};

TEST_P(CustomColour, DialogAnswer)
{
    const customCase_t& c = GetParam();
    if (c.fullSaved)
        for (int32_t i = 0; i < 12; ++i) p->savedColors[i] = 0x100 * (12 - i);  // most recent first
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope(dlg);
    dlg.colourAnswers.push_back(c.answer);
    panels::pickListBox_t list(c.kind, *p);
    const int32_t previous = 3;
    list.selectIndex(panels::customizeIndex(c.kind));
    int32_t value = 0x0A0B0C;
    const bool chosen = panels::chooseCustomColor(list, previous, value, *p);
    EXPECT_EQ(chosen, c.answer >= 0);
    EXPECT_EQ(value, c.answer >= 0 ? c.answer : 0x0A0B0C);
    EXPECT_EQ(list.index(), c.wantIndex);
    EXPECT_EQ(p->savedColors[0], c.wantFirstSaved);
    EXPECT_EQ(p->savedColors[11], c.wantLastSaved);
    EXPECT_EQ(dlg.lastCustomColours.size(), 16u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CustomColour,
    ::testing::Values(customCase_t{"CancelReturnsToTheEntryBefore", listKind_t::colour, -1, false, 3, -1, -1},
                      customCase_t{"StandardColourIsNotSaved", listKind_t::colour, 0x0000FF, false, 9, -1, -1},
                      customCase_t{"NewColourIsSavedFirst", listKind_t::colour, 0x123456, false, 17, 0x123456, -1},
                      customCase_t{"NewFillColourAfterSolidAndClear", listKind_t::fill, 0x123456, false, 19, 0x123456, -1},
                      customCase_t{"ThirteenthColourDropsTheOldest", listKind_t::colour, 0x123456, true, 17, 0x123456,
                                   0x200}),
    testnames::byName{});

// ---------------------------------------------------------------- samples

// The rows of the sample column x that are not the row's background.
int32_t inkedRows(const QImage& img, int32_t x)
{
    int32_t n = 0;
    for (int32_t y = 0; y < img.height(); ++y) n += img.pixelColor(x, y) != QColor(Qt::white);
    return n;
}

struct barCase_t {
    const char* name;
    listKind_t kind;
    int32_t index;
    int32_t rows;  // thickness of the bar drawn
};
void PrintTo(const barCase_t& c, std::ostream* os) { *os << c.name; }

class WeightBars : public PickLists, public ::testing::WithParamInterface<barCase_t> {};

TEST_P(WeightBars, AsThickAsTheWeightOnScreen)
{
    const barCase_t& c = GetParam();
    panels::pickListBox_t list(c.kind, *p);
    QImage row(100, 16, QImage::Format_RGB32);
    QPainter painter(&row);
    panels::pickEntry_t e = *list.entryAt(c.index);
    e.text.clear();  // the bar alone
    panels::drawPickRow(painter, row.rect(), c.kind, e, list.rowStyle(), Qt::white, Qt::black);
    painter.end();
    EXPECT_EQ(inkedRows(row, 10), c.rows);
}

// At 96 ppi a millimetre is 3.78 pixels: 0.5 mm → 2, 2 mm → 8, 5 mm → 19,
// limited to the 16-pixel row.
INSTANTIATE_TEST_SUITE_P(Table, WeightBars,
                         ::testing::Values(barCase_t{"ThinIsOnePixel", listKind_t::weight, 0, 1},
                                           barCase_t{"MediumRoundsUp", listKind_t::weight, 1, 2},
                                           barCase_t{"Heavy", listKind_t::weight, 3, 8},
                                           barCase_t{"BroadIsLimitedToTheRow", listKind_t::weight, 5, 16},
                                           barCase_t{"FrameNoneDrawsNothing", listKind_t::frameWeight, 0, 0},
                                           barCase_t{"FrameThinIsOnePixel", listKind_t::frameWeight, 1, 1},
                                           barCase_t{"FrameHeavyFilled", listKind_t::frameWeight, 4, 8}),
                         testnames::byName{});

TEST_F(PickLists, DashesAndShadowsAreDrawn)
{
    panels::pickListBox_t patterns(listKind_t::pattern, *p);
    auto gaps = [&](int32_t index) {
        QImage row(100, 16, QImage::Format_RGB32);
        QPainter painter(&row);
        panels::drawPickRow(painter, row.rect(), listKind_t::pattern, *patterns.entryAt(index), patterns.rowStyle(),
                        Qt::white, Qt::black);
        painter.end();
        int32_t white = 0;
        for (int32_t x = 4; x < 26; ++x) white += row.pixelColor(x, 8) == QColor(Qt::white);
        return white;
    };
    EXPECT_EQ(gaps(0), 0);  // solid
    EXPECT_GT(gaps(1), 0);  // dotted
    EXPECT_GT(gaps(2), 0);  // dashed
    // A soft shadow: grey levels right of the square, none without a shadow.
    auto greys = [](const QImage& img) {
        int32_t n = 0;
        for (int32_t y = 0; y < img.height(); ++y)
            for (int32_t x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += c != QColor(Qt::white) && c != QColor(Qt::black);
            }
        return n;
    };
    EXPECT_EQ(greys(panels::shadowSample({0, 0, 0}, QSize(22, 14))), 0);
    EXPECT_GT(greys(panels::shadowSample({70, 30, 120}, QSize(22, 14))), 10);
}

TEST_F(PickLists, ArrowKeysMoveTheHighlight)
{
    panels::pickListBox_t list(listKind_t::weight, *p);
    list.selectIndex(1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&list, &down);
    EXPECT_EQ(list.index(), 2);
    EXPECT_DOUBLE_EQ(list.weight(), 1.0);
    list.selectIndex(99);
    EXPECT_EQ(list.index(), -1);
}

} // namespace
