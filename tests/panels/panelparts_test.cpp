// The shared panel parts: which tab a click chooses, how a hint's keyword is
// styled and when a press counts, which button a point falls on.
#include "panels/panelparts.h"

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using panels::buttonRow_t;
using panels::hintBox_t;
using panels::tabStrip_t;

void click(QWidget& w, QPoint at) { QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, at); }

void moveTo(QWidget& w, QPoint at)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

TEST(TabStrip, AClickInEitherHalfChoosesThatTabAndOnlyAChangeIsTold)
{
    tabStrip_t strip(QStringLiteral("Basics"), QStringLiteral("Effects"));
    strip.resize(120, tabStrip_t::stripHeight);
    std::vector<int32_t> told;
    strip.onChange = [&](int32_t t) { told.push_back(t); };

    click(strip, {59, 5});   // last pixel of the left half: the current tab
    click(strip, {60, 5});   // first pixel of the right half
    click(strip, {119, 5});  // the right tab again: no change
    click(strip, {0, 5});
    EXPECT_EQ(told, (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(strip.current(), 1);

    strip.setCurrent(7);  // anything but 2 opens the first tab
    EXPECT_EQ(strip.current(), 1);
}

TEST(TabStrip, HoveringTheOtherTabHighlightsItUntilTheMouseReachesTheCurrentOne)
{
    tabStrip_t strip(QStringLiteral("Font"), QStringLiteral("Effects"));
    strip.resize(120, tabStrip_t::stripHeight);
    moveTo(strip, {90, 5});
    EXPECT_EQ(strip.hovered(), 2);
    moveTo(strip, {10, 5});
    EXPECT_EQ(strip.hovered(), 0);
}

struct hintCase_t {
    const char* name;
    bool link;
    bool active;
    bool hot;
    const char* expected;  // the styled keyword in the html
    bool pressCounts;
};
void PrintTo(const hintCase_t& c, std::ostream* os) { *os << c.name; }

class HintBox : public ::testing::TestWithParam<hintCase_t> {};

TEST_P(HintBox, TheKeywordIsStyledByItsRoleAndOnlyAnActiveLinkTakesPresses)
{
    const hintCase_t& c = GetParam();
    hintBox_t box;
    box.resize(110, 40);
    const QString text = QStringLiteral("Click on Edit this clip to change it.");
    const QString key = QStringLiteral("Edit this clip");
    if (c.link) box.setLinkHint(text, key, c.active);
    else box.setHint(text, key);
    if (c.hot) box.setHot(true);
    EXPECT_TRUE(box.html().contains(QString::fromLatin1(c.expected))) << box.html().toStdString();
    EXPECT_TRUE(box.html().startsWith(QStringLiteral("Click on "))) << "the text before the keyword stays";
    EXPECT_TRUE(box.html().endsWith(QStringLiteral(" to change it."))) << "the text after the keyword stays";
    int32_t presses = 0;
    box.onPress = [&] { ++presses; };
    click(box, {5, 5});
    EXPECT_EQ(presses, c.pressCounts ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Roles, HintBox,
    ::testing::Values(hintCase_t{"Emphasized_keyword_is_bold", false, false, false, "<b>Edit this clip</b>", false},
                      hintCase_t{"Active_link_is_blue", true, true, false, "color:#0000FF\">Edit this clip", true},
                      hintCase_t{"Hot_link_is_underlined", true, true, true, "underline\">Edit this clip", true},
                      hintCase_t{"Inactive_link_is_plain_text", true, false, true, "Click on Edit this clip to", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HintBox, AKeywordTheTextDoesNotHoldLeavesTheTextAsItIs)
{
    hintBox_t box;
    box.setHint(QStringLiteral("Change contrast & depth."), QStringLiteral("lightness"));
    EXPECT_EQ(box.html(), QStringLiteral("Change contrast &amp; depth."));
}

TEST(ButtonRow, EachButtonAnswersOnlyForItsOwnSquare)
{
    buttonRow_t row(panels::transformButtons(QStringLiteral("Mirror"), QStringLiteral("Flip"), QStringLiteral("Rotate")));
    row.resize(row.sizeHint());
    std::vector<int32_t> pressed;
    row.onPress = [&](int32_t k) { pressed.push_back(k); };
    const int32_t step = buttonRow_t::buttonSize + buttonRow_t::buttonGap;
    click(row, {0, 3});
    click(row, {buttonRow_t::buttonSize - 1, 3});
    click(row, {buttonRow_t::buttonSize, 3});  // the gap
    click(row, {step, 3});
    click(row, {3 * step + 5, 3});
    EXPECT_EQ(pressed, (std::vector<int32_t>{0, 0, 1, 3}));
    EXPECT_EQ(row.hint(2), QStringLiteral("Rotate"));
    EXPECT_EQ(panels::transformButtonArgs[2].turn, +1);
    EXPECT_EQ(panels::transformButtonArgs[3].turn, -1);
}

} // namespace
