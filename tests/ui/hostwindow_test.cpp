// The floating host windows: where a panel kind's window goes (slot per kind,
// back where the user left it, pulled back onto a screen), captions and
// buttons of the hosted codes, and the apply/cancel buttons.
#include "ui/hostwindow.h"

#include "testnames.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace ui;

namespace {

const QList<QRect> oneScreen{QRect(0, 0, 1280, 1024)};
const QList<QRect> twoScreens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};

settings::floatGeometry_t held(int l, int t, int w, int h, bool maximized = false)
{
    settings::floatGeometry_t g;
    g.left = l, g.top = t, g.width = w, g.height = h, g.maximized = maximized, g.held = true;
    return g;
}

struct placeCase {
    const char* name;
    settings::floatGeometry_t slot;
    QSize preferred;
    QList<QRect> screens;
    QRect expected;  // frame position and client size
    bool maximized;
};
void PrintTo(const placeCase& c, std::ostream* os) { *os << c.name; }

class Placement : public ::testing::TestWithParam<placeCase> {};

TEST_P(Placement, FromSlot)
{
    const placeCase& c = GetParam();
    settings::floatGeometry_t slot = c.slot;
    const hostPlacement_t p = placeHosted(slot, c.preferred, c.screens);
    EXPECT_EQ(QRect(p.pos, p.size), c.expected);
    EXPECT_EQ(p.maximized, c.maximized);
    EXPECT_TRUE(slot.held);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        // 400 × 300 + strip 36 + splitter 3, centred: (440, 342.5 → 342).
        placeCase{"UnknownSlotCentresPreferredSizeWithStrip", {}, QSize(400, 300), oneScreen,
                  QRect(440, 342, 400, 339), false},
        placeCase{"NarrowPanelWidenedForBothButtons", {}, QSize(100, 50), oneScreen,
                  QRect(502, 467, 276, 89), false},
        placeCase{"WindowLargerThanScreenNeverNegative", {}, QSize(2000, 1500), oneScreen,
                  QRect(0, 0, 2000, 1539), false},
        placeCase{"KnownSlotKeepsWhereLeft", held(17, 23, 500, 400), QSize(400, 300), oneScreen,
                  QRect(17, 23, 500, 400), false},
        placeCase{"KnownSlotOnSecondScreenStays", held(2000, 100, 500, 400), QSize(400, 300), twoScreens,
                  QRect(2000, 100, 500, 400), false},
        placeCase{"OffscreenRightPulledBack", held(2000, 100, 500, 400), QSize(400, 300), oneScreen,
                  QRect(780, 100, 500, 400), false},
        placeCase{"OffscreenAboveLeftPulledBack", held(-900, -700, 500, 400), QSize(400, 300), oneScreen,
                  QRect(0, 0, 500, 400), false},
        placeCase{"TitleBelowScreenPulledBackAndShrunk", held(10, 1020, 1500, 1200), QSize(400, 300),
                  oneScreen, QRect(0, 0, 1280, 1024), false},
        placeCase{"PartlyOffscreenButTitleShownStays", held(1100, 10, 500, 400), QSize(400, 300), oneScreen,
                  QRect(1100, 10, 500, 400), false},
        placeCase{"MaximizedSlotKeepsNormalGeometry", held(30, 40, 500, 400, true), QSize(400, 300),
                  oneScreen, QRect(30, 40, 500, 400), true}),
    testnames::byName{});

TEST(Placement, RememberingMaximizedKeepsTheNormalGeometry)
{
    settings::floatGeometry_t slot = held(30, 40, 500, 400);
    rememberHosted(slot, QPoint(0, 0), QSize(1280, 1000), true);
    EXPECT_EQ(QRect(slot.left, slot.top, slot.width, slot.height), QRect(30, 40, 500, 400));
    EXPECT_TRUE(slot.maximized);
    rememberHosted(slot, QPoint(5, 6), QSize(300, 200), false);
    EXPECT_EQ(QRect(slot.left, slot.top, slot.width, slot.height), QRect(5, 6, 300, 200));
    EXPECT_FALSE(slot.maximized);
}

struct kindCase {
    const char* name;
    int32_t code;
    hostId_t host;
    int32_t slot;
    QString given, caption, left, right;
};
void PrintTo(const kindCase& c, std::ostream* os) { *os << c.name; }

class HostedKinds : public ::testing::TestWithParam<kindCase> {};

TEST_P(HostedKinds, SlotCaptionAndButtons)
{
    const kindCase& c = GetParam();
    const hostedKind_t* k = hostedKind(c.code);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->host, c.host);
    EXPECT_EQ(k->slot, c.slot);
    EXPECT_EQ(hostedCaption(*k, c.given), c.caption);
    EXPECT_EQ(k->leftButton, c.left);
    EXPECT_EQ(k->rightButton, c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, HostedKinds,
    ::testing::Values(
        kindCase{"PageSetupWithDocument", 54, hostId_t::formX, 4, "Plan.lmra", "Page Setup - Plan.lmra", "Apply", "Cancel"},
        kindCase{"PageSetupNewFiles", 54, hostId_t::formX, 4, "New Files", "Page Setup - New Files", "Apply", "Cancel"},
        kindCase{"GridNewFilesWithoutName", 26, hostId_t::formX, 8, "", "Grid and Snap", "Save", "Cancel"},
        kindCase{"GridCurrentFile", 27, hostId_t::formX, 8, "Untitled2", "Grid and Snap - Untitled2", "Save", "Cancel"},
        kindCase{"PictureFileBaseName", 51, hostId_t::formX, 2, "/home/u/Pictures/sea.view.jpg", "sea.view", "Insert", "Cancel"},
        kindCase{"RoundClipSharesPictureSlot", 510, hostId_t::formX, 2, "/tmp/a.gif", "a", "Insert", "Cancel"},
        kindCase{"PreviewTakesWindowCaption", 57, hostId_t::formX, 3, "Plan.lmra", "Plan.lmra", "Print", "Cancel"},
        kindCase{"AboutButtons", 45, hostId_t::formX, 1, "x", "About", "Web", "Close"},
        kindCase{"ShadowsInSecondWindow", 63, hostId_t::formY, 13, "", "Customize Shadows", "Save", "Cancel"},
        kindCase{"PreviewOptions", 67, hostId_t::formY, 16, "", "Options", "Preview", "Cancel"}),
    testnames::byName{});

TEST(HostedKinds, UnknownCodeIsNotHosted)
{
    for (int32_t code : {0, 20, 55, 1024}) EXPECT_EQ(hostedKind(code), nullptr) << code;
}

// A panel that counts its apply calls and can refuse.
class probePanel_t : public THostedPanel {
public:
    probePanel_t(QSize preferred, QWidget* parent) : THostedPanel(parent), preferred_(preferred) {}
    QSize preferredClientSize() const override { return preferred_; }
    bool applyHosted() override
    {
        ++applies;
        return accept;
    }
    QSize preferred_;
    int applies = 0;
    bool accept = true;
};

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<THostWindow>(hostId_t::formX, geometry, params, nullptr);
        host->screenAreas = [] { return oneScreen; };
        for (int32_t code : {hostedPageSetup, hostedPreview, hostedFirstTimeSetup})
            host->setFactory(code, [this](const hostRequest_t& r, QWidget* parent) {
                last = new probePanel_t(r.code == hostedPageSetup ? QSize(600, 400) : QSize(300, 200), parent);
                return last;
            });
        host->onHidden = [this](int32_t code, bool applied) { hidden.push_back({code, applied}); };
    }
    settings::TParams params{nullptr};
    geometrySlots_t geometry{};
    std::unique_ptr<THostWindow> host;
    probePanel_t* last = nullptr;
    std::vector<std::pair<int32_t, bool>> hidden;
};

TEST_F(HostWindow, ReappearsWhereLeftPerKind)
{
    ASSERT_TRUE(host->openHosted(hostedPageSetup, "Doc1"));
    EXPECT_EQ(host->windowTitle(), "Page Setup - Doc1");
    EXPECT_EQ(host->panel1->text(), "Apply");
    EXPECT_EQ(host->size(), QSize(600, 439));
    host->move(120, 80);
    host->resize(640, 480);
    host->rightClicked();
    EXPECT_FALSE(host->isVisible());
    EXPECT_EQ(QRect(geometry[3].left, geometry[3].top, geometry[3].width, geometry[3].height), QRect(120, 80, 640, 480));

    // Another kind has its own slot and starts centred.
    ASSERT_TRUE(host->openHosted(hostedPreview, "Doc1"));
    EXPECT_EQ(host->size(), QSize(300, 239));
    EXPECT_EQ(host->pos(), QPoint(490, 392));
    host->rightClicked();

    ASSERT_TRUE(host->openHosted(hostedPageSetup, "Doc1"));
    EXPECT_EQ(host->pos(), QPoint(120, 80));
    EXPECT_EQ(host->size(), QSize(640, 480));
    host->rightClicked();
    ASSERT_EQ(hidden.size(), 3u);
    EXPECT_EQ(hidden[0], std::make_pair(hostedPageSetup, false));
}

TEST_F(HostWindow, ApplyHidesOnlyWhenThePanelAccepts)
{
    ASSERT_TRUE(host->openHosted(hostedPageSetup, {}));
    last->accept = false;
    host->leftClicked();
    EXPECT_TRUE(host->isVisible());
    EXPECT_EQ(last->applies, 1);
    last->accept = true;
    host->leftClicked();
    EXPECT_FALSE(host->isVisible());
    ASSERT_EQ(hidden.size(), 1u);
    EXPECT_EQ(hidden[0], std::make_pair(hostedPageSetup, true));
    EXPECT_EQ(host->hostedPanel(), nullptr);
}

TEST_F(HostWindow, RefusesCodesItCannotShow)
{
    EXPECT_FALSE(host->openHosted(hostedGridCurrentFile, {}));  // no factory registered
    EXPECT_FALSE(host->openHosted(hostedShadows, {}));          // hosted by the other window
    ASSERT_TRUE(host->openHosted(hostedFirstTimeSetup, {}));
    EXPECT_FALSE(host->openHosted(hostedPageSetup, {}));        // the setup cannot be replaced
    EXPECT_EQ(host->hostedCode(), hostedFirstTimeSetup);
    host->rightClicked();
    EXPECT_TRUE(host->openHosted(hostedPageSetup, {}));
}

TEST_F(HostWindow, ReplacingAPanelKeepsTheOldKindsGeometry)
{
    ASSERT_TRUE(host->openHosted(hostedPageSetup, {}));
    host->move(33, 44);
    ASSERT_TRUE(host->openHosted(hostedPreview, {}));
    EXPECT_EQ(QPoint(geometry[3].left, geometry[3].top), QPoint(33, 44));
    EXPECT_EQ(host->hostedCode(), hostedPreview);
    EXPECT_TRUE(hidden.empty());
}

} // namespace
