// The guidance pages: the item's name put into the templates (and into the
// links), keywords styled at their first case-sensitive occurrence or not at
// all, the panel's links, hover style and check box, and the flag that
// stands for each page.
#include "ui/guidancepanel.h"

#include "settings/params.h"
#include "settings/store.h"
#include "testnames.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <set>

using namespace ui;

namespace {

// The character format at `pos` (the format of the character after it).
QTextCharFormat formatAt(QTextDocument& doc, int pos)
{
    QTextCursor c(&doc);
    c.setPosition(pos);
    c.setPosition(pos + 1, QTextCursor::KeepAnchor);
    return c.charFormat();
}

bool boldAt(QTextDocument& doc, int pos) { return formatAt(doc, pos).fontWeight() == QFont::Bold; }
bool underlinedAt(QTextDocument& doc, int pos) { return formatAt(doc, pos).fontUnderline(); }

// ---------------------------------------------------------------- texts

struct creationCase {
    const char* name;
    int32_t page;
    const char* first;  // box 1
    const char* link2, *link3, *link5;
    int32_t tool, fineTune, manipulation;
};
void PrintTo(const creationCase& c, std::ostream* os) { *os << c.name; }

class CreationPages : public ::testing::TestWithParam<creationCase> {};

// The name goes into the first line ("line" replaced) and into the three
// links and their texts ("triangle" replaced); the line and text pages keep
// their own texts.
TEST_P(CreationPages, NameTheItemInTheFirstLineAndTheLinks)
{
    const creationCase& c = GetParam();
    const guidancePage_t g = guidancePage(c.page);
    ASSERT_EQ(g.code, c.page);
    EXPECT_EQ(g.kind, guidanceKind_t::creation);
    EXPECT_EQ(g.boxes[0].text, QString::fromLatin1(c.first));
    EXPECT_TRUE(g.boxes[0].link.isEmpty());
    const char* links[] = {c.link2, c.link3, c.link5};
    for (int k = 0; k < 3; ++k) {
        const guidanceText_t& box = g.boxes[size_t(k + 1)];
        EXPECT_EQ(box.link, QString::fromLatin1(links[k])) << "box " << guidanceBoxNumbers[size_t(k + 1)];
        EXPECT_TRUE(box.text.contains(box.link)) << box.text.toStdString();
    }
    EXPECT_EQ(g.tool, c.tool);
    EXPECT_EQ(g.fineTune, c.fineTune);
    EXPECT_EQ(g.manipulation, c.manipulation);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CreationPages,
    ::testing::Values(
        creationCase{"Line", 1024, "Click where you want to start another line, or...", "Draw next line",
                     "Fine-tune this line", "Move this line", 98, 99, 1025},
        creationCase{"Text", 1035, "Enter the text. Then, click where you want to start another line of text.",
                     "Start new text", "Fine-tune this text", "Move this text", 300, 301, 1036},
        creationCase{"Triangle", 1043, "Click where you want to start another triangle, or...",
                     "Start next triangle", "Fine-tune", "Move this triangle", 100, 200, 1044},
        creationCase{"Star", 1055, "Click where you want to start another star, or...", "Start next star",
                     "Fine-tune", "Move this star", 105, 206, 1056},
        creationCase{"Polygon", 1053, "Click where you want to start another polygon, or...", "Start next polygon",
                     "Fine-tune", "Move this polygon", 199, 299, 1054},
        creationCase{"Arc", 1065, "Click where you want to start another arc, or...", "Start next arc", "Fine-tune",
                     "Move this arc", 108, 208, 1066},
        creationCase{"Oblong", 1071, "Click where you want to start another oblong, or...", "Start next oblong",
                     "Fine-tune", "Move this oblong", 112, 212, 1072},
        creationCase{"Picture", 1077, "The picture or the clips are in the upper left corner of your canvas.",
                     "Insert new picture", "Fine-tune", "Move this clip", 400, 401, 1078}),
    testnames::byName());

TEST(GuidanceTexts, TheStarPageNamesTheStarEverywhere)
{
    const guidancePage_t g = guidancePage(1055);
    EXPECT_EQ(g.boxes[1].text,
              QStringLiteral("Click on Start next star to set the color or outline of the next star, or..."));
    EXPECT_EQ(g.boxes[3].text, QStringLiteral("Click on Move this star to adjust the position of this star. Then, move "
                                              "the star by dragging its center point, or change the shape by moving "
                                              "the end points."));
    for (const guidanceText_t& b : g.boxes) EXPECT_FALSE(b.text.contains(QStringLiteral("triangle")));
}

struct keywordCase {
    const char* name;
    int32_t page;
    int32_t box;  // index 0..3 of boxes 1, 2, 3, 5
    const char* keyword;
    bool occurs;
};
void PrintTo(const keywordCase& c, std::ostream* os) { *os << c.name; }

class Keywords : public ::testing::TestWithParam<keywordCase> {};

// Styling finds the keyword case-sensitively; one that does not occur (as
// written, or after the name went in) leaves the whole text unstyled.
TEST_P(Keywords, StyleTheFirstOccurrenceOrNothing)
{
    const keywordCase& c = GetParam();
    const guidancePage_t g = guidancePage(c.page);
    const guidanceText_t& box = g.boxes[size_t(c.box)];
    const QString keyword = QString::fromLatin1(c.keyword);
    ASSERT_TRUE(box.emphasized.contains(keyword) || box.link == keyword) << box.text.toStdString();
    QTextDocument doc(box.text);
    const bool styled = box.link == keyword ? linkify(doc, keyword) : emphasize(doc, keyword);
    EXPECT_EQ(styled, c.occurs);
    int styledChars = 0;
    for (int i = 0; i < box.text.size(); ++i) styledChars += boldAt(doc, i) || underlinedAt(doc, i);
    EXPECT_EQ(styledChars, c.occurs ? int(keyword.size()) : 0);
    if (c.occurs) {
        const int at = int(box.text.indexOf(keyword));
        EXPECT_TRUE(boldAt(doc, at) || underlinedAt(doc, at));
        EXPECT_FALSE(boldAt(doc, at + int(keyword.size())) || underlinedAt(doc, at + int(keyword.size())));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Keywords,
    ::testing::Values(keywordCase{"HorizontalGrid", 1028, 0, "Horizontal grid", true},
                      keywordCase{"VerticalGridlinesAreWrittenOtherwise", 1028, 0, "vertical gridlines", false},
                      keywordCase{"AnchorOnlyCapitalised", 1028, 2, "anchor", false},
                      keywordCase{"GridAnchorsCaseDiffers", 1042, 0, "Grid Anchors", false},
                      keywordCase{"ArcChangesItsSize", 1066, 1, "change the size", true},
                      keywordCase{"StarLinkWithItsName", 1055, 1, "Start next star", true},
                      keywordCase{"UndoLink", 1038, 0, "Undo", true},
                      keywordCase{"ClipHere", 1076, 2, "here", true},
                      keywordCase{"ShiftOnTheSplinePage", 1061, 0, "Shift", true},
                      keywordCase{"OblongErased", 1073, 3, "erase", true}),
    testnames::byName());

TEST(GuidanceTexts, ReplacementsReachOnlyTheirOwnWords)
{
    // The arc's size text speaks of end points; its select text keeps "edge".
    const guidancePage_t arc = guidancePage(1066);
    EXPECT_EQ(arc.boxes[1].text, QStringLiteral("To change the size of the arc, drag one of its end points."));
    EXPECT_TRUE(arc.boxes[3].text.contains(QStringLiteral("click on its edge")));
    EXPECT_EQ(arc.boxes[0].text, QStringLiteral("To move the arc, drag its center point."));
    // The oblong's placing page names it and cannot be closed with C; the
    // curve's can.
    const guidancePage_t oblong = guidancePage(1073);
    EXPECT_EQ(oblong.boxes[1].text, QStringLiteral("Press the Enter key to end the oblong at the last turning point."));
    EXPECT_FALSE(oblong.boxes[3].text.contains(QStringLiteral("'C'")));
    EXPECT_TRUE(guidancePage(1070).boxes[3].text.endsWith(QStringLiteral("Press 'C' to close the curve and exit.")));
    // The line page's own words stay, "line" of "line of text" too.
    EXPECT_TRUE(guidancePage(1035).boxes[1].text.contains(QStringLiteral("next line of text")));
    // The clip page has three texts.
    EXPECT_TRUE(guidancePage(1076).boxes[3].text.isEmpty());
}

TEST(GuidanceTexts, EveryPageHasTextsAndOnlyPagesDo)
{
    std::set<int32_t> pages(guidancePageCodes().begin(), guidancePageCodes().end());
    EXPECT_EQ(pages.size(), 43u);
    for (int32_t code = 1000; code <= 1100; ++code) {
        const guidancePage_t g = guidancePage(code);
        if (!pages.count(code)) {
            EXPECT_EQ(g.code, 0) << code;
            continue;
        }
        EXPECT_EQ(g.code, code);
        for (size_t k = 0; k < 3; ++k) EXPECT_FALSE(g.boxes[k].text.isEmpty()) << code << " box " << k;
        for (const guidanceText_t& b : g.boxes) {
            if (!b.link.isEmpty()) {
                EXPECT_TRUE(b.text.contains(b.link)) << code;
            }
        }
    }
    for (int32_t absent : {1026, 1027, 1030, 1037, 1039, 1067, 1079, 1080}) EXPECT_FALSE(pages.count(absent));
}

// ---------------------------------------------------------------- flags

TEST(GuidanceFlags, EachPageHasAFlagOfItsOwnInPageOrder)
{
    std::set<int32_t> used;
    int32_t last = -1;
    for (int32_t page : guidancePageCodes()) {
        const int32_t k = guidanceFlagIndex(page);
        ASSERT_GE(k, 0) << page;
        ASSERT_LT(k, settings::hintCount) << page;
        if (page == 1074 || page == 1075) continue;
        EXPECT_GT(k, last) << page;
        last = k;
        EXPECT_TRUE(used.insert(k).second) << page;
    }
    EXPECT_EQ(guidanceFlagIndex(1024), 0);
    EXPECT_EQ(guidanceFlagIndex(1025), 1);  // the second character of the stored text
    EXPECT_EQ(guidanceFlagIndex(1074), guidanceFlagIndex(1061));
    EXPECT_EQ(guidanceFlagIndex(1075), guidanceFlagIndex(1070));
    EXPECT_EQ(guidanceFlagIndex(1026), -1);
    EXPECT_EQ(guidanceFlagIndex(1080), -1);
}

TEST(GuidanceFlags, ClearingOnePageLeavesTheOthers)
{
    settings::memoryStore_t store;
    settings::TParams p(&store);
    p.initSettings();
    for (int32_t page : guidancePageCodes()) EXPECT_TRUE(guidanceWanted(p, page)) << page;
    setGuidanceWanted(p, 1043, false);
    for (int32_t page : guidancePageCodes()) EXPECT_EQ(guidanceWanted(p, page), page != 1043) << page;
    // The stored text marks the page at its place in page order.
    EXPECT_EQ(p.hintText().indexOf(QLatin1Char('0')), guidanceFlagIndex(1043));
    setGuidanceWanted(p, 1043, true);
    EXPECT_TRUE(guidanceWanted(p, 1043));
    EXPECT_FALSE(guidanceWanted(p, 1026));
}

// ---------------------------------------------------------------- styles

TEST(GuidanceStyles, OnlyTheFirstOccurrenceCaseSensitive)
{
    QTextDocument doc(QStringLiteral("Move the Line, then move the line."));
    EXPECT_FALSE(emphasize(doc, QStringLiteral("MOVE")));
    EXPECT_TRUE(emphasize(doc, QStringLiteral("line")));
    const int first = int(doc.toPlainText().indexOf(QStringLiteral("line")));
    EXPECT_FALSE(boldAt(doc, 9));  // "Line" is another word
    EXPECT_TRUE(boldAt(doc, first));
    EXPECT_TRUE(boldAt(doc, first + 3));
    EXPECT_FALSE(boldAt(doc, first + 4));
    EXPECT_EQ(formatAt(doc, first).foreground().color(), QColor(Qt::black));
    EXPECT_TRUE(linkify(doc, QStringLiteral("Move")));
    EXPECT_TRUE(underlinedAt(doc, 0));
    EXPECT_FALSE(underlinedAt(doc, 4));
}

TEST(GuidanceStyles, AHotLinkIsBlueAndUnderlinedAndTurnsBlackAgain)
{
    QTextDocument doc(QStringLiteral("Click on Fine-tune to change it."));
    ASSERT_TRUE(linkify(doc, QStringLiteral("Fine-tune")));
    setLinkHot(doc, QStringLiteral("Fine-tune"), true);
    EXPECT_EQ(formatAt(doc, 9).foreground().color(), QColor(0, 0, 255));
    EXPECT_TRUE(underlinedAt(doc, 9));
    setLinkHot(doc, QStringLiteral("Fine-tune"), false);
    EXPECT_EQ(formatAt(doc, 9).foreground().color(), QColor(Qt::black));
    EXPECT_TRUE(underlinedAt(doc, 9));
}

// ---------------------------------------------------------------- the panel

class GuidancePanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.resize(120, 600);
        panel.show();
        panel.showGuidancePage(1055);
        panel.onLink = [this](int32_t box) { links.push_back(box); };
        panel.onDontShow = [this](bool ticked) { ticks.push_back(ticked); };
    }
    TLinehelp panel;
    std::vector<int32_t> links;
    std::vector<bool> ticks;
};

TEST_F(GuidancePanel, AClickedLinkBoxHidesAndTellsItsNumber)
{
    EXPECT_EQ(panel.titleBar()->caption(), QStringLiteral("Hints"));
    guidanceBox_t* b2 = panel.box(2);
    ASSERT_NE(b2, nullptr);
    EXPECT_EQ(b2->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_NE(panel.box(1)->cursor().shape(), Qt::PointingHandCursor);
    // A press on the text box without a link does nothing.
    QTest::mouseClick(panel.box(1), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(links.empty());
    QTest::mouseClick(b2, Qt::LeftButton, {}, QPoint(b2->width() - 3, b2->height() - 3));
    EXPECT_EQ(links, std::vector<int32_t>{2});
    EXPECT_TRUE(b2->isHidden());
    EXPECT_TRUE(panel.picture(2)->isHidden());
    EXPECT_TRUE(panel.box(3)->isVisible());
}

TEST_F(GuidancePanel, OneLinkInTheHoverStyleAtATime)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(panel.box(3), &enter);
    EXPECT_TRUE(panel.box(3)->hot());
    QCoreApplication::sendEvent(panel.box(5), &enter);
    EXPECT_TRUE(panel.box(5)->hot());
    EXPECT_FALSE(panel.box(3)->hot());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(panel.box(5), &leave);
    for (int32_t n : guidanceBoxNumbers) EXPECT_FALSE(panel.box(n)->hot()) << n;
    // A box without a link never turns hot.
    QCoreApplication::sendEvent(panel.box(1), &enter);
    EXPECT_FALSE(panel.box(1)->hot());
}

TEST_F(GuidancePanel, TheTextBesideTheCheckBoxTicksIt)
{
    EXPECT_EQ(panel.dontShowLabel()->text(), QStringLiteral("Don't show this help page again."));
    EXPECT_FALSE(panel.dontShowBox()->isChecked());
    QTest::mouseClick(panel.dontShowLabel(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(panel.dontShowBox()->isChecked());
    QTest::mouseClick(panel.dontShowLabel(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(ticks, (std::vector<bool>{true, false}));
    // Set by the owner: not told back.
    panel.setDontShow(true);
    EXPECT_EQ(ticks.size(), 2u);
}

TEST_F(GuidancePanel, APageWithThreeTextsHidesTheFourthBox)
{
    panel.showGuidancePage(1076);
    EXPECT_EQ(panel.code, 1076);
    EXPECT_TRUE(panel.box(5)->isHidden());
    EXPECT_TRUE(panel.picture(5)->isHidden());
    EXPECT_TRUE(panel.box(3)->hasLink());
    // The boxes follow each other without overlapping, the check box below them.
    EXPECT_LT(panel.box(1)->geometry().bottom(), panel.box(2)->geometry().top());
    EXPECT_LT(panel.box(2)->geometry().bottom(), panel.box(3)->geometry().top());
    EXPECT_LT(panel.box(3)->geometry().bottom(), panel.dontShowBox()->geometry().top());
}

} // namespace
