// The frame and effects lists: which entries the given values highlight and
// which lists are offered, and what each choice tells the owner.
#include "panels/frameeffects.h"
#include "settings/store.h"
#include "testnames.h"
#include "ui/dialogs.h"
#include "ui/hostedpanel.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

using panels::frameEffects_t;
using panels::frameEffectsLists_t;
using panels::pickListBox_t;

namespace {

class FrameEffectsBase : public ::testing::Test {
protected:
    settings::memoryStore_t store;
    std::unique_ptr<settings::TParams> p;
    std::unique_ptr<frameEffectsLists_t> lists;

    void SetUp() override
    {
        p = std::make_unique<settings::TParams>(&store);
        p->initSettings();
        for (auto& r : p->customWidths) r.listed = 0;
        for (auto& r : p->customShadows) r.listed = 0;
        p->savedColors.fill(-1);
        p->dialogColors.clear();
        lists = std::make_unique<frameEffectsLists_t>(*p);
    }
};

// A user's choice: the entry highlighted, then the list tells it.
void choose(pickListBox_t* list, int32_t index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// ---------------------------------------------------------------- showing values

struct showCase_t {
    const char* name;
    frameEffects_t values;
    int32_t frame, colour, shadow, surface;  // highlighted entries
    bool offered;                            // "Frame Color" and "Frame 3-D" enabled
    int32_t barColour, swatchColour;
};
void PrintTo(const showCase_t& c, std::ostream* os) { *os << c.name; }

class ShowValues : public FrameEffectsBase, public ::testing::WithParamInterface<showCase_t> {};

TEST_P(ShowValues, HighlightsAndOffers)
{
    const showCase_t& c = GetParam();
    lists->showValues(c.values);
    EXPECT_EQ(lists->frameList()->index(), c.frame);
    EXPECT_EQ(lists->colourList()->index(), c.colour);
    EXPECT_EQ(lists->shadowList()->index(), c.shadow);
    EXPECT_EQ(lists->surfaceList()->index(), c.surface);
    EXPECT_EQ(lists->colourList()->isEnabled(), c.offered);
    EXPECT_EQ(lists->surfaceList()->isEnabled(), c.offered);
    EXPECT_EQ(lists->frameList()->rowStyle().sampleColour, c.barColour);
    if (c.offered) {
        EXPECT_EQ(lists->surfaceList()->rowStyle().sampleColour, c.swatchColour);
    }
}

constexpr int32_t mixedOn = frameEffects_t::mixedFrameOn;

INSTANTIATE_TEST_SUITE_P(
    Table, ShowValues,
    ::testing::Values(
        showCase_t{"NoFrameShowsNoneAndWithdrawsColourAnd3D", {0, 0.0, 0x0000FF, 0, 0, 0, 0}, 0, -1, 0, -1, false,
                   0x0000FF, 0},
        showCase_t{"MediumRedRoundFrameWithMediumShadow", {1, 0.5, 0x0000FF, 50, 20, 110, 127}, 2, 9, 2, 1, true,
                   0x0000FF, 0x0000FF},
        showCase_t{"ThinFrameIsTheSecondEntry", {1, 0.1, 0x000000, 30, 10, 100, 0}, 1, 0, 1, 0, true, 0, 0},
        showCase_t{"MixedFrameOnShowsNoEntryButOffersColour", {mixedOn, 1.0, 0x008000, 0, 0, 0, 0}, -1, 2, 0, 0, true,
                   0x008000, 0x008000},
        showCase_t{"MixedWidthShowsNoEntry", {1, -1.0, 0x008000, 0, 0, 0, 0}, -1, 2, 0, 0, true, 0x008000, 0x008000},
        showCase_t{"MixedColourDrawsBlackBarsAndNoSwatch", {1, 2.0, -1, 0, 0, 0, 127}, 4, -1, 0, 1, true, 0, -1},
        showCase_t{"UnknownShadowAndMixedSurfaceShowNoEntry", {1, 3.0, 0xFFFFFF, 30, 10, 101, -1}, 5, 15, -1, -1,
                   true, 0xFFFFFF, 0xFFFFFF}),
    testnames::byName{});

// ---------------------------------------------------------------- choices

// What the owner was told.
struct told_t {
    std::vector<int32_t> customizations;
    std::vector<double> widths;
    std::vector<int32_t> colours;
    std::vector<std::array<int32_t, 3>> shadows;
    std::vector<int32_t> surfaces;
    int32_t count() const
    {
        return static_cast<int32_t>(customizations.size() + widths.size() + colours.size() + shadows.size() +
                                    surfaces.size());
    }
};

struct choiceCase_t {
    const char* name;
    int32_t list;      // 0 Frame, 1 Frame Color, 2 Shadow, 3 Frame 3-D
    int32_t index;
    int32_t dialogAnswer;  // the colour dialog's answer, negative cancels
    int32_t customization;  // told, 0 none
    double width;           // told to onFrameWidth, -9 not told
    int32_t colour;         // told to onFrameColour, -9 not told
    std::array<int32_t, 3> shadow;  // told to onShadow, {-9} not told
    int32_t surface;        // told to onSurface, -9 not told
    int32_t highlighted;    // the list's entry afterwards
    bool offered;           // "Frame Color" enabled afterwards
};
void PrintTo(const choiceCase_t& c, std::ostream* os) { *os << c.name; }

class Choice : public FrameEffectsBase, public ::testing::WithParamInterface<choiceCase_t> {};

TEST_P(Choice, TellsTheOwner)
{
    const choiceCase_t& c = GetParam();
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope(dlg);
    dlg.colourAnswers.push_back(c.dialogAnswer);
    // A medium black frame, no shadow, flat.
    lists->showValues({1, 0.5, 0x000000, 0, 0, 0, 0});
    told_t t;
    lists->onCustomize = [&](int32_t code) { t.customizations.push_back(code); };
    lists->onFrameWidth = [&](double w) { t.widths.push_back(w); };
    lists->onFrameColour = [&](int32_t col) { t.colours.push_back(col); };
    lists->onShadow = [&](int32_t e, int32_t f, int32_t l) { t.shadows.push_back({e, f, l}); };
    lists->onSurface = [&](int32_t s) { t.surfaces.push_back(s); };
    pickListBox_t* list[4] = {lists->frameList(), lists->colourList(), lists->shadowList(), lists->surfaceList()};
    choose(list[c.list], c.index);

    int32_t expected = 0;
    if (c.customization) {
        ASSERT_EQ(t.customizations.size(), 1u);
        EXPECT_EQ(t.customizations[0], c.customization);
        ++expected;
    }
    if (c.width != -9) {
        ASSERT_EQ(t.widths.size(), 1u);
        EXPECT_DOUBLE_EQ(t.widths[0], c.width);
        EXPECT_EQ(lists->values().frameOn, c.width != 0 ? 1 : 0);
        ++expected;
    }
    if (c.colour != -9) {
        ASSERT_EQ(t.colours.size(), 1u);
        EXPECT_EQ(t.colours[0], c.colour);
        // The weight bars follow the frame colour.
        EXPECT_EQ(lists->frameList()->rowStyle().sampleColour, c.colour);
        ++expected;
    }
    if (c.shadow[0] != -9) {
        ASSERT_EQ(t.shadows.size(), 1u);
        EXPECT_EQ(t.shadows[0], c.shadow);
        ++expected;
    }
    if (c.surface != -9) {
        ASSERT_EQ(t.surfaces.size(), 1u);
        EXPECT_EQ(t.surfaces[0], c.surface);
        ++expected;
    }
    EXPECT_EQ(t.count(), expected);
    EXPECT_EQ(list[c.list]->index(), c.highlighted);
    EXPECT_EQ(lists->colourList()->isEnabled(), c.offered);
    EXPECT_EQ(lists->surfaceList()->isEnabled(), c.offered);

    // While the owner is busy nothing is told.
    lists->setIgnoring(true);
    choose(list[c.list], c.index);
    EXPECT_EQ(t.count(), expected);
}

constexpr std::array<int32_t, 3> noShadow{-9, -9, -9};

INSTANTIATE_TEST_SUITE_P(
    Table, Choice,
    ::testing::Values(
        choiceCase_t{"NoneTurnsTheFrameOffAndWithdrawsColour", 0, 0, -1, 0, 0.0, -9, noShadow, -9, 0, false},
        choiceCase_t{"ThinTurnsTheFrameOn", 0, 1, -1, 0, 0.1, -9, noShadow, -9, 1, true},
        choiceCase_t{"FrameCustomizeOpensLineWeightsAndKeepsTheEntry", 0, 7, -1, ui::hostedLineWeights, -9, -9,
                     noShadow, -9, 2, true},
        choiceCase_t{"ColourIsToldAndColoursTheBars", 1, 9, -1, 0, -9, 0x0000FF, noShadow, -9, 9, true},
        choiceCase_t{"CustomColourConfirmed", 1, 16, 0x123456, 0, -9, 0x123456, noShadow, -9, 17, true},
        choiceCase_t{"CustomColourCancelledChangesNothing", 1, 16, -1, 0, -9, -9, noShadow, -9, 0, true},
        choiceCase_t{"ShadowCustomizeOpensShadowsAndKeepsTheEntry", 2, 4, -1, ui::hostedShadows, -9, -9, noShadow, -9,
                     0, true},
        choiceCase_t{"BroadShadow", 2, 3, -1, 0, -9, -9, {70, 30, 120}, -9, 3, true},
        choiceCase_t{"RoundSurface", 3, 1, -1, 0, -9, -9, noShadow, 127, 1, true}),
    testnames::byName{});

} // namespace
