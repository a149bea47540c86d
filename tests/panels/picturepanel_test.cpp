// The picture fine-tune panel on a document window: the clip button's
// picture, what the frame list does to the selected pictures, the links into
// the picture window, the sliders' summary and texts, one history step per
// change, and the panel showing what Undo brought back.
#include "canvas/selection_support.h"
#include "panelhost_fake.h"

#include "canvas/setters.h"
#include "panels/adjustmentsliders.h"
#include "panels/panelparts.h"
#include "panels/picturepanel.h"
#include "settings/params.h"
#include "testnames.h"
#include "ui/hostedpanel.h"
#include "ui/panelcodes.h"

#include <QLabel>
#include <QSlider>

#include <functional>
#include <ostream>

using namespace seltest;
using panels::TColorbox;

namespace {

void choose(panels::pickListBox_t* list, int32_t index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// A slider dragged to `position` and let go.
void dragSlider(QSlider* s, int32_t position)
{
    s->setSliderDown(true);
    s->setValue(position);
    s->setSliderDown(false);
}

class PicturePanel : public WindowTest {
protected:
    fakePanelHost_t panelHost;
    std::unique_ptr<TColorbox> panel;
    item_t* a = nullptr;
    item_t* b = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        canvas::params().pictureTab = 1;
        panelHost.doc = w.get();
        a = addPicture(items(), {100, 100}, {200, 180});
        b = addPicture(items(), {300, 100}, {380, 200});
        for (item_t* it : {a, b}) it->flipX = it->flipY = 1;
        select(items(), {a, b});
        w->repaintAll(false);
    }
    void TearDown() override
    {
        panel.reset();
        WindowTest::TearDown();
    }
    TColorbox& open()
    {
        panel = std::make_unique<TColorbox>(panelHost);
        panel->resize(120, 600);
        panel->show();
        return *panel;
    }
    item_t* now(const item_t* original) { return current(items(), original); }
};

// ---------------------------------------------------------------- clip button

struct clipCase_t {
    const char* name;
    int32_t shapeA, shapeB;
    int32_t picture;
};
void PrintTo(const clipCase_t& c, std::ostream* os) { *os << c.name; }

class ClipButton : public PicturePanel, public ::testing::WithParamInterface<clipCase_t> {};

TEST_P(ClipButton, ShowsARoundClipOnlyWhenEveryPictureIsRound)
{
    a->clipShape = GetParam().shapeA;
    b->clipShape = GetParam().shapeB;
    EXPECT_EQ(open().buttons()->picture(TColorbox::clipButton), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClipButton,
    ::testing::Values(clipCase_t{"TwoRoundClips", model::clipRound, model::clipRound, panels::pictureClipRound},
                      clipCase_t{"RoundAndRectangular", model::clipRound, model::clipRect,
                                 panels::pictureClipRectangle},
                      clipCase_t{"RectangularAndRound", model::clipRect, model::clipRound,
                                 panels::pictureClipRectangle},
                      clipCase_t{"EntireImages", model::clipWhole, model::clipWhole, panels::pictureClipRectangle}),
    testnames::byName{});

TEST_F(PicturePanel, EveryButtonFitsTheSidePanel)
{
    TColorbox& p = open();
    const QRect last = p.buttons()->buttonRect(TColorbox::clipButton).translated(p.buttons()->pos());
    ASSERT_EQ(p.body()->width(), 120);
    EXPECT_LE(last.right(), p.body()->width() - 1);
    EXPECT_GE(p.buttons()->buttonSide(), 16);
}

// ---------------------------------------------------------------- frame

struct frameCase_t {
    const char* name;
    int32_t index;  // chosen in "Frame"
    int32_t frameOn;
    double width;
    bool colourOffered;
};
void PrintTo(const frameCase_t& c, std::ostream* os) { *os << c.name; }

class FrameChoice : public PicturePanel, public ::testing::WithParamInterface<frameCase_t> {};

TEST_P(FrameChoice, SetsEverySelectedPicture)
{
    const frameCase_t& c = GetParam();
    // Both start with different frames, so that the change shows on each.
    a->frameOn = 1;
    a->lineWeight = 2.0;
    b->frameOn = 0;
    b->lineWeight = 1.0;
    TColorbox& p = open();
    choose(p.effects()->frameList(), c.index);
    for (const item_t* original : {a, b}) {
        const item_t* it = now(original);
        EXPECT_EQ(it->frameOn, c.frameOn);
        EXPECT_DOUBLE_EQ(it->lineWeight, c.width);
    }
    EXPECT_EQ(p.effects()->colourList()->isEnabled(), c.colourOffered);
    EXPECT_EQ(p.summary().effects.frameOn, c.frameOn);
    EXPECT_TRUE(panelHost.steps.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, FrameChoice,
                         ::testing::Values(frameCase_t{"NoneTurnsTheFrameOff", 0, 0, 0.0, false},
                                           frameCase_t{"ThinTurnsTheFrameOn", 1, 1, 0.1, true},
                                           frameCase_t{"Broad", 6, 1, 5.0, true}),
                         testnames::byName{});

// ---------------------------------------------------------------- picture window links

struct linkCase_t {
    const char* name;
    int32_t tab;
    std::function<void(TColorbox&)> press;
    std::vector<int32_t> modes;  // asked of editPictureClips
    bool document = true;
};
void PrintTo(const linkCase_t& c, std::ostream* os) { *os << c.name; }

class ClipLinks : public PicturePanel, public ::testing::WithParamInterface<linkCase_t> {};

TEST_P(ClipLinks, OpenThePictureWindow)
{
    const linkCase_t& c = GetParam();
    canvas::params().pictureTab = c.tab;
    if (!c.document) panelHost.doc = nullptr;
    TColorbox& p = open();
    c.press(p);
    EXPECT_EQ(panelHost.clipModes, c.modes);
    EXPECT_FALSE(p.opening);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClipLinks,
    ::testing::Values(
        linkCase_t{"BoxFourOnColorsDoesNothing", 1, [](TColorbox& p) { p.pressHint(4); }, {}},
        linkCase_t{"BoxFourOnEffectsAddsClips", 2, [](TColorbox& p) { p.pressHint(4); }, {ui::panelClipInsert}},
        linkCase_t{"BoxFiveOnColorsEditsThisClip", 1, [](TColorbox& p) { p.pressHint(5); }, {ui::panelClipEdit}},
        linkCase_t{"BoxFiveOnEffectsEditsThisClip", 2, [](TColorbox& p) { p.pressHint(5); }, {ui::panelClipEdit}},
        linkCase_t{"ClipButtonEditsThisClip", 1, [](TColorbox& p) { p.pressButton(TColorbox::clipButton); },
                   {ui::panelClipEdit}},
        linkCase_t{"NothingWithoutADocument", 2, [](TColorbox& p) { p.pressHint(4); }, {}, false}),
    testnames::byName{});

TEST_F(PicturePanel, ControlsChangeNothingWhileThePictureWindowOpens)
{
    a->frameOn = b->frameOn = 1;
    a->lineWeight = b->lineWeight = 0.5;
    TColorbox& p = open();
    panelHost.whileOpening = [&] {
        EXPECT_TRUE(p.opening);
        choose(p.effects()->frameList(), 0);
        dragSlider(p.sliders()->slider(0), 256);
        p.pressButton(0);
    };
    p.pressButton(TColorbox::clipButton);
    EXPECT_EQ(now(a), a);
    EXPECT_EQ(now(b), b);
    EXPECT_FALSE(p.opening);
    // Afterwards the controls work again.
    choose(p.effects()->frameList(), 0);
    EXPECT_EQ(now(a)->frameOn, 0);
}

TEST_F(PicturePanel, HotLinksMarkTheirSuggestionButtons)
{
    canvas::params().pictureTab = 2;
    TColorbox& p = open();
    p.hint(4)->setHot(true);
    p.hint(5)->setHot(true);
    p.hint(2)->setHot(true);  // no link: no mark
    EXPECT_EQ(panelHost.suggestionMarks, (std::vector<int32_t>{3, 4}));
    EXPECT_TRUE(p.hint(2)->keyword() == QStringLiteral("frame") && !p.hint(2)->isLink());
}

// ---------------------------------------------------------------- sliders

struct summaryCase_t {
    const char* name;
    std::array<int32_t, 3> first, second;  // stored saturation, contrast, lightness
    std::array<int32_t, 3> positions;      // the sliders shown
};
void PrintTo(const summaryCase_t& c, std::ostream* os) { *os << c.name; }

class SliderSummary : public PicturePanel, public ::testing::WithParamInterface<summaryCase_t> {};

TEST_P(SliderSummary, SharedValuesOnly)
{
    const summaryCase_t& c = GetParam();
    for (auto [it, v] : {std::pair{a, c.first}, std::pair{b, c.second}}) {
        it->saturation = v[0];
        it->contrast = v[1];
        it->lightness = v[2];
    }
    TColorbox& p = open();
    for (int32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(p.sliders()->position(k), c.positions[k]) << "slider " << k;
        EXPECT_EQ(p.sliders()->valueText(k)->text(), panels::adjustmentText(c.positions[k])) << "slider " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SliderSummary,
    ::testing::Values(summaryCase_t{"DifferentSaturationsLeaveTheSliderAtNormal", {100, 0, 0}, {200, 0, 0}, {0, 0, 0}},
                      summaryCase_t{"SharedValuesAreShown", {100, -20, -50}, {100, -20, -50}, {100, -20, -50}},
                      summaryCase_t{"PositiveLightnessShowsTwice", {0, 0, 100}, {0, 0, 100}, {0, 0, 200}},
                      summaryCase_t{"DifferentLightnessesLeaveTheSliderAtNormal", {7, 0, 100}, {7, 0, 90}, {7, 0, 0}}),
    testnames::byName{});

struct textCase_t {
    const char* name;
    int32_t position;
    const char* text;
};
void PrintTo(const textCase_t& c, std::ostream* os) { *os << c.name; }

class SliderText : public ::testing::TestWithParam<textCase_t> {};

TEST_P(SliderText, ReadsAsAShareOfTheWayToItsEnd)
{
    EXPECT_EQ(panels::adjustmentText(GetParam().position), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Table, SliderText,
                         ::testing::Values(textCase_t{"ZeroIsNormal", 0, "Normal"},
                                           textCase_t{"RightEndIsAHundred", 512, "100%"},
                                           textCase_t{"LeftEndIsMinusAHundred", -128, "-100%"},
                                           textCase_t{"Half", 256, "50%"},
                                           textCase_t{"RoundedNotCutShort", 500, "98%"},
                                           textCase_t{"HalfGoesToEven", 64, "12%"},
                                           textCase_t{"NegativeRounded", -1, "-1%"},
                                           textCase_t{"NegativeHalf", -64, "-50%"}),
                         testnames::byName{});

TEST_F(PicturePanel, SliderTextFollowsTheDragAndTheReleaseApplies)
{
    TColorbox& p = open();
    QSlider* s = p.sliders()->slider(panels::adjustmentSliders_t::lightnessSlider);
    s->setSliderDown(true);
    s->setValue(256);
    EXPECT_EQ(p.sliders()->valueText(panels::adjustmentSliders_t::lightnessSlider)->text(), QStringLiteral("50%"));
    EXPECT_EQ(now(a), a) << "nothing applied while moving";
    s->setSliderDown(false);
    // Stored halved; the other two as they stand.
    EXPECT_EQ(now(a)->lightness, 128);
    EXPECT_EQ(now(b)->lightness, 128);
    EXPECT_EQ(now(a)->saturation, 0);
}

// ---------------------------------------------------------------- one step per change

struct stepCase_t {
    const char* name;
    std::function<void(TColorbox&)> change;
    std::function<int32_t(const item_t*)> field;
    int32_t after;
};
void PrintTo(const stepCase_t& c, std::ostream* os) { *os << c.name; }

class OneStep : public PicturePanel, public ::testing::WithParamInterface<stepCase_t> {};

TEST_P(OneStep, UndoBringsBackAndThePanelShowsIt)
{
    const stepCase_t& c = GetParam();
    TColorbox& p = open();
    const int32_t before = c.field(a);
    c.change(p);
    const item_t* changed = now(a);
    ASSERT_NE(changed, a);
    EXPECT_EQ(c.field(changed), c.after);
    EXPECT_EQ(now(b)->actionId, changed->actionId) << "both pictures in one step";
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(now(a), a);
    EXPECT_EQ(now(b), b);
    EXPECT_EQ(c.field(a), before);
    // The panel, told that the selection's values changed, shows them again.
    p.selectionChanged();
    const TColorbox& fresh = p;
    EXPECT_EQ(fresh.summary().saturation, a->saturation);
    EXPECT_EQ(fresh.sliders()->position(0), a->saturation);
    EXPECT_EQ(fresh.effects()->frameList()->index(), 0) << "no frame";
    EXPECT_EQ(fresh.effects()->shadowList()->index(), 0) << "no shadow";
    EXPECT_EQ(fresh.effects()->values().frameColour, a->lineColor);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OneStep,
    ::testing::Values(
        stepCase_t{"Saturation", [](TColorbox& p) { dragSlider(p.sliders()->slider(0), 320); },
                   [](const item_t* i) { return i->saturation; }, 320},
        stepCase_t{"Thin", [](TColorbox& p) { choose(p.effects()->frameList(), 1); },
                   [](const item_t* i) { return int32_t(i->frameOn); }, 1},
        stepCase_t{"Shadow", [](TColorbox& p) { choose(p.effects()->shadowList(), 2); },
                   [](const item_t* i) { return int32_t(i->shadowElevation); }, 50},
        stepCase_t{"Mirror", [](TColorbox& p) { p.pressButton(0); },
                   [](const item_t* i) { return i->flipX; }, -1}),
    testnames::byName{});

TEST_F(PicturePanel, FrameColourAndSurfaceAreOneStepEach)
{
    a->frameOn = b->frameOn = 1;
    a->lineWeight = b->lineWeight = 0.5;
    TColorbox& p = open();
    choose(p.effects()->colourList(), 9);
    EXPECT_EQ(now(a)->lineColor, 0x0000FF);
    EXPECT_EQ(now(b)->lineColor, 0x0000FF);
    choose(p.effects()->surfaceList(), 1);
    EXPECT_EQ(now(a)->surface, 127);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(now(a)->surface, 0);
    EXPECT_EQ(now(a)->lineColor, 0x0000FF);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(now(a), a);
}

// ---------------------------------------------------------------- tab

TEST_F(PicturePanel, TabComesFromAndGoesBackToTheSetting)
{
    for (const auto& [stored, shown] : {std::pair{2, 2}, std::pair{1, 1}, std::pair{7, 1}}) {
        canvas::params().pictureTab = stored;
        TColorbox& p = open();
        EXPECT_EQ(p.tab(), shown) << stored;
        EXPECT_EQ(p.tabArea(shown)->isHidden(), false) << stored;
        EXPECT_EQ(p.tabArea(3 - shown)->isHidden(), true) << stored;
    }
    EXPECT_EQ(canvas::params().pictureTab, 1) << "an unknown tab is not kept";
    panel->tabs()->onChange(2);
    EXPECT_EQ(panel->hint(4)->keyword(), QStringLiteral("Insert new clip"));
    EXPECT_TRUE(panel->hint(4)->linkActive());
    EXPECT_EQ(canvas::params().pictureTab, 2);
}

} // namespace
