// The toolbar: order, hints, sizes, hover, toggles and the zoom steps.
#include "canvas/toolbar.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSlider>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace canvas;

namespace {

struct recorder_t : toolbarHost_t {
    std::vector<int32_t> commands, zooms;
    std::vector<std::pair<int32_t, bool>> toggles;
    void toolbarCommand(int32_t n) override { commands.push_back(n); }
    void toolbarZoom(int32_t p) override { zooms.push_back(p); }
    void toolbarToggle(int32_t n, bool on) override { toggles.push_back({n, on}); }
};

} // namespace

struct stepCase {
    int32_t z, out, in;
};

void PrintTo(const stepCase& c, std::ostream* os)
{
    *os << "from " << c.z << " % out to " << c.out << " %, in to " << c.in << " %";
}

class ZoomSteps : public ::testing::TestWithParam<stepCase> {};

TEST_P(ZoomSteps, FollowTheTable)
{
    EXPECT_EQ(zoomStepOut(GetParam().z), GetParam().out) << GetParam().z;
    EXPECT_EQ(zoomStepIn(GetParam().z), GetParam().in) << GetParam().z;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZoomSteps,
    ::testing::Values(stepCase{1, 25, 50}, stepCase{25, 25, 50}, stepCase{49, 25, 50}, stepCase{50, 25, 75},
                      stepCase{51, 50, 75}, stepCase{74, 50, 75}, stepCase{75, 50, 100}, stepCase{76, 75, 100},
                      stepCase{99, 75, 100}, stepCase{100, 75, 125}, stepCase{101, 100, 125}, stepCase{110, 100, 125},
                      stepCase{125, 100, 150}, stepCase{126, 125, 150}, stepCase{150, 125, 175},
                      stepCase{151, 150, 175}, stepCase{175, 150, 200}, stepCase{176, 175, 200},
                      stepCase{200, 175, 300}, stepCase{201, 200, 300}, stepCase{299, 200, 300},
                      stepCase{300, 200, 300}, stepCase{301, 301, 301}, stepCase{400, 400, 400}),
    [](const ::testing::TestParamInfo<stepCase>& i) { return "From" + std::to_string(i.param.z) + "Percent"; });

TEST(Toolbar, ButtonsInOrderTwoPixelsApartWithSeparators)
{
    recorder_t host;
    TProcs t(&host);
    t.resize(1100, 24);
    t.layoutToolbar(24);
    // Square buttons of strip height - 4, starting at (2, 2).
    EXPECT_EQ(t.buttonRect(1), QRect(2, 2, 20, 20));
    EXPECT_EQ(t.buttonRect(2).left(), 24);
    EXPECT_EQ(t.buttonRect(3).left(), 46);
    // Export takes no place: print follows save.
    EXPECT_TRUE(t.buttonRect(4).isNull());
    EXPECT_FALSE(t.buttonShown(4));
    EXPECT_EQ(t.buttonRect(5).left(), 68);
    // After 8: a 3-pixel separator and 5 pixels, then the pointer.
    EXPECT_EQ(t.buttonRect(9).left(), t.buttonRect(8).right() + 1 + 2 + 3 + 5);
    const std::vector<int32_t> tools = {9, 27, 18, 17, 28, 29, 30, 21, 22, 23, 24, 31, 25, 26, 32, 33, 34};
    for (size_t i = 1; i < tools.size(); ++i)
        EXPECT_EQ(t.buttonRect(tools[i]).left(), t.buttonRect(tools[i - 1]).left() + 22) << tools[i];
    EXPECT_EQ(t.buttonRect(20).left(), t.buttonRect(19).left() + 22);
    // Zoom buttons at the right end, 4 pixels smaller.
    EXPECT_EQ(t.buttonRect(buttonZoomIn).right(), 1100 - 3);
    EXPECT_EQ(t.buttonRect(buttonZoomIn).width(), 16);
    EXPECT_LT(t.buttonRect(buttonZoomOut).right(), t.zoomSlider->geometry().left());
    EXPECT_EQ(t.zoomCaption->text(), QStringLiteral("Zoom"));
    EXPECT_EQ(t.zoomLabel->text(), QStringLiteral("100%"));
    // A taller strip makes bigger buttons.
    t.layoutToolbar(30);
    EXPECT_EQ(t.buttonRect(1), QRect(2, 2, 26, 26));
}

TEST(Toolbar, HintsOfTheTable)
{
    EXPECT_EQ(buttonHint(1), QStringLiteral("Create a new file"));
    EXPECT_EQ(buttonHint(12), QStringLiteral("Place the selected item behind other objects"));
    EXPECT_EQ(buttonHint(19), QStringLiteral("Gridlines"));
    EXPECT_EQ(buttonHint(36), QStringLiteral("Split group"));
    EXPECT_TRUE(buttonHint(37).isEmpty());
}

TEST(Toolbar, ToolTipsNameTheKeyOfTheSameCommand)
{
    struct row_t {
        int32_t button;
        QKeySequence key;
    };
    const row_t rows[] = {
        {buttonNew, QKeySequence(Qt::CTRL | Qt::Key_N)},       {buttonSave, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {buttonUndo, QKeySequence(Qt::CTRL | Qt::Key_Z)},      {buttonRedo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        {buttonErase, QKeySequence(QKeySequence::Delete)},     {buttonLine, QKeySequence()},
        {buttonRectangle, QKeySequence()},
    };
    for (const row_t& r : rows) {
        const QString tip = buttonToolTip(r.button);
        EXPECT_TRUE(tip.startsWith(buttonHint(r.button))) << r.button;
        if (r.key.isEmpty()) {
            EXPECT_EQ(tip, buttonHint(r.button)) << r.button;
        } else {
            EXPECT_TRUE(tip.endsWith(QStringLiteral(" (") + r.key.toString(QKeySequence::NativeText) + QLatin1Char(')')))
                << tip.toStdString();
        }
    }
}

TEST(Toolbar, SelectionButtonsAppearWithASelection)
{
    recorder_t host;
    TProcs t(&host);
    t.resize(1100, 24);
    t.layoutToolbar(24);  // a hidden strip gets no resize event
    for (int32_t n : {12, 13, 14, 16, 15, 35, 36}) EXPECT_FALSE(t.buttonShown(n)) << n;
    t.refreshSelectionButtons(true, false, false, false);
    for (int32_t n : {12, 13, 14, 16}) EXPECT_TRUE(t.buttonShown(n)) << n;
    EXPECT_FALSE(t.buttonShown(15));
    // Order after the snap button: 13, 12, then 14, 16.
    EXPECT_EQ(t.buttonRect(13).left(), t.buttonRect(20).left() + 22);
    EXPECT_EQ(t.buttonRect(12).left(), t.buttonRect(13).left() + 22);
    t.refreshSelectionButtons(true, true, true, true);
    EXPECT_TRUE(t.buttonShown(15));
    EXPECT_TRUE(t.buttonShown(35));
    EXPECT_TRUE(t.buttonShown(36));
    t.refreshSelectionButtons(false, false, false, false);
    EXPECT_TRUE(t.buttonRect(14).isNull());
}

TEST(Toolbar, HoverRaisesAndClickIsTakenOnTheRaisedButton)
{
    recorder_t host;
    TProcs t(&host);
    t.resize(1100, 24);
    t.layoutToolbar(24);  // a hidden strip gets no resize event
    const QPoint onNew = t.buttonRect(1).center();
    // A release without hover first is not a click.
    t.stripMouseUp(onNew);
    EXPECT_TRUE(host.commands.empty());
    t.stripMouseMove(onNew);
    EXPECT_EQ(t.hoverButton(), 1);
    EXPECT_TRUE(t.hoverTimer.isActive());
    EXPECT_EQ(t.hoverTimer.interval(), 5000);
    t.stripMouseUp(onNew);
    EXPECT_EQ(host.commands, std::vector<int32_t>{1});
    // Off the buttons: all flat.
    t.stripMouseMove(QPoint(t.buttonRect(8).right() + 3, 10));
    EXPECT_EQ(t.hoverButton(), 0);
    // The timer's end clears the hover too.
    t.stripMouseMove(onNew);
    t.stripLeave();
    EXPECT_EQ(t.hoverButton(), 0);
    // A disabled button takes no click.
    t.stripMouseMove(t.buttonRect(6).center());
    t.stripMouseUp(t.buttonRect(6).center());
    EXPECT_EQ(host.commands.size(), 1u);
}

TEST(Toolbar, TogglesReactOnTheirFlatImage)
{
    recorder_t host;
    TProcs t(&host);
    t.resize(1100, 24);
    t.layoutToolbar(24);  // a hidden strip gets no resize event
    t.stripMouseUp(t.buttonRect(buttonGridlines).center());
    EXPECT_TRUE(t.gridButton());
    t.stripMouseUp(t.buttonRect(buttonGridlines).center());
    EXPECT_FALSE(t.gridButton());
    t.stripMouseUp(t.buttonRect(buttonSnap).center());
    ASSERT_EQ(host.toggles.size(), 3u);
    EXPECT_EQ(host.toggles[0], std::make_pair(buttonGridlines, true));
    EXPECT_EQ(host.toggles[1], std::make_pair(buttonGridlines, false));
    EXPECT_EQ(host.toggles[2], std::make_pair(buttonSnap, true));
    // Setting a state from the program does not ask the host.
    t.setGridButton(toggle_t::pressed);
    EXPECT_EQ(host.toggles.size(), 3u);
    EXPECT_TRUE(t.gridButton());
}

TEST(Toolbar, PressedToolAndPanels)
{
    recorder_t host;
    TProcs t(&host);
    t.pressToolButton(21);
    EXPECT_EQ(t.pressedTool(), 21);
    EXPECT_EQ(toolPanelCode(17), 98);
    EXPECT_EQ(toolPanelCode(18), 300);
    EXPECT_EQ(toolPanelCode(26), 199);
    EXPECT_EQ(toolPanelCode(32), 105);
    EXPECT_EQ(toolPanelCode(3), 0);
    EXPECT_EQ(buttonForPanel(20), 9);
    EXPECT_EQ(buttonForPanel(104), 25);
    EXPECT_EQ(buttonForPanel(105), 9);
    EXPECT_EQ(buttonForPanel(98), 17);
    EXPECT_EQ(buttonForPanel(300), 18);
    // The four looks of a button differ.
    const QImage flat = t.buttonImage(21, TProcs::look_t::flat, 20);
    EXPECT_NE(flat, t.buttonImage(21, TProcs::look_t::raised, 20));
    EXPECT_NE(flat, t.buttonImage(21, TProcs::look_t::pressed, 20));
    EXPECT_NE(flat, t.buttonImage(21, TProcs::look_t::disabled, 20));
    EXPECT_NE(flat, t.buttonImage(22, TProcs::look_t::flat, 20));
}

TEST(Toolbar, SliderShowsWhileMovingAndAppliesOnRelease)
{
    recorder_t host;
    TProcs t(&host);
    t.sliderMoved(140);
    EXPECT_EQ(t.zoomLabel->text(), QStringLiteral("140%"));
    EXPECT_TRUE(host.zooms.empty());
    t.setSliderPosition(140);
    t.sliderReleased();
    EXPECT_EQ(host.zooms, std::vector<int32_t>{140});
    // The far left is 1 %: the slider never stands at a zoom of nothing.
    t.setSliderPosition(0);
    EXPECT_EQ(t.zoomLabel->text(), QStringLiteral("1%"));
    t.sliderReleased();
    EXPECT_EQ(host.zooms, (std::vector<int32_t>{140, 1}));
    // Showing a zoom from the program applies nothing.
    t.showZoom(1.33);
    EXPECT_EQ(t.zoomLabel->text(), QStringLiteral("133%"));
    EXPECT_EQ(t.sliderPosition(), 133);
    EXPECT_EQ(host.zooms.size(), 2u);
    EXPECT_EQ(t.zoomSlider->minimum(), 1);
    EXPECT_EQ(t.zoomSlider->maximum(), 300);
    EXPECT_EQ(t.zoomSlider->tickInterval(), 25);
}

// In a small window the buttons that do not fit wait in an overflow menu:
// nothing is drawn over the zoom label, caption or slider, every shown button
// is either on the strip or in the menu, and the menu runs the same command.
TEST(Toolbar, ButtonsThatDoNotFitGoIntoTheOverflowMenuNeverUnderTheZoomControls)
{
    struct widthCase {
        int32_t width;
        bool overflows;
    };
    for (const widthCase c : {widthCase{1100, false}, widthCase{420, true}, widthCase{300, true}, widthCase{200, true}}) {
        SCOPED_TRACE(c.width);
        recorder_t host;
        TProcs t(&host);
        t.resize(c.width, 24);
        t.refreshSelectionButtons(true, true, true, true);
        EXPECT_EQ(!t.overflowButtons().empty(), c.overflows);
        EXPECT_EQ(!t.overflowRect().isEmpty(), c.overflows);
        int32_t zoomLeft = std::min(t.zoomSlider->geometry().left(), t.buttonRect(buttonZoomOut).left());
        for (QLabel* l : {t.zoomCaption, t.zoomLabel})
            if (!l->isHidden()) zoomLeft = std::min(zoomLeft, l->geometry().left());
        int32_t onStrip = 0;
        for (int32_t n = 1; n <= toolbarButtonCount; ++n) {
            if (!t.buttonShown(n) || n == buttonZoomIn || n == buttonZoomOut) continue;
            const bool waiting =
                std::find(t.overflowButtons().begin(), t.overflowButtons().end(), n) != t.overflowButtons().end();
            EXPECT_NE(t.buttonRect(n).isNull(), !waiting) << n;  // exactly one of the two
            if (waiting) continue;
            ++onStrip;
            EXPECT_LT(t.buttonRect(n).right(), zoomLeft) << n;
        }
        if (c.overflows) {
            EXPECT_LT(t.overflowRect().right(), zoomLeft);
            EXPECT_GT(onStrip, 0);
            // The menu lists the waiting buttons by their hints and runs their commands.
            std::unique_ptr<QMenu> menu(t.overflowMenu(nullptr));
            ASSERT_EQ(menu->actions().size(), qsizetype(t.overflowButtons().size()));
            for (int32_t k = 0; k < menu->actions().size(); ++k)
                EXPECT_EQ(menu->actions()[k]->text(), buttonHint(t.overflowButtons()[size_t(k)]));
            const int32_t last = t.overflowButtons().back();
            menu->actions().back()->trigger();
            if (last == buttonGridlines || last == buttonSnap) EXPECT_EQ(host.toggles.size(), 1u);
            else EXPECT_EQ(host.commands, std::vector<int32_t>{last});
        }
    }
}

// A command without a button (Insert barcode) waits in the overflow menu
// after the buttons that did not fit, and keeps the overflow button on the
// strip even where every button fits.
TEST(Toolbar, OverflowCommandsFollowTheWaitingButtonsAndKeepTheOverflowButton)
{
    for (const int32_t width : {1100, 300}) {
        SCOPED_TRACE(width);
        recorder_t host;
        TProcs t(&host);
        t.resize(width, 24);
        t.refreshSelectionButtons(true, true, true, true);
        const size_t waiting = t.overflowButtons().size();
        int32_t runs = 0;
        t.addOverflowCommand({QStringLiteral("Insert barcode"), QImage(), [&runs] { ++runs; }});
        EXPECT_FALSE(t.overflowRect().isEmpty());
        EXPECT_EQ(t.overflowButtons().size(), waiting) << "room for the overflow button hides no button";
        std::unique_ptr<QMenu> menu(t.overflowMenu(nullptr));
        ASSERT_EQ(menu->actions().size(), qsizetype(waiting + 1));
        EXPECT_EQ(menu->actions().back()->text(), QStringLiteral("Insert barcode"));
        menu->actions().back()->trigger();
        EXPECT_EQ(runs, 1);
        EXPECT_TRUE(host.commands.empty());
    }
}
