// The next-step suggestions: the set each panel offers, the four shown, and
// what a few of them do.
#include "ui/panelcodes.h"
#include "app/suggestions.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct setCase_t {
    const char* name;
    int32_t code;
    bool selection, textFirst;
    std::vector<int32_t> want;
};
void PrintTo(const setCase_t& c, std::ostream* os) { *os << c.name; }

class SuggestionSets : public ::testing::TestWithParam<setCase_t> {};

TEST_P(SuggestionSets, OfferedForThePanel)
{
    const setCase_t& c = GetParam();
    EXPECT_EQ(app::suggestionsFor(c.code, {c.selection, c.textFirst}), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SuggestionSets,
    ::testing::Values(setCase_t{"InsertPanelNone", 20, false, false, {}},
                      setCase_t{"NextLineWithoutSelection", 98, false, false, {1}},
                      setCase_t{"NextLineWithSelection", 98, true, false, {1, 3}},
                      setCase_t{"FineTuneLine", 99, true, false, {1, 2}},
                      setCase_t{"PicturePanel", 401, true, false, {1, 47, 50, 51}},
                      setCase_t{"MultipleSelection", 59, true, false, {1, 52, 53}},
                      setCase_t{"StarTool", 105, false, false, {1}},
                      setCase_t{"FineTuneStar", 206, true, false, {1, 26}},
                      setCase_t{"FineTunePolygon", 299, true, false, {1, 23}},
                      setCase_t{"FineTuneSplineOnlyInsert", 209, true, false, {1}},
                      setCase_t{"UnusedShapeCodeNone", 205, true, false, {}},
                      setCase_t{"NextTextWithTextSelected", 300, true, true, {1, 6}},
                      setCase_t{"NextTextWithLineSelected", 300, true, false, {1}},
                      setCase_t{"FineTuneText", 301, true, true, {1, 5}},
                      setCase_t{"TriangleCreatedPage", 1043, false, false, {1, 8, 9, 10}},
                      setCase_t{"TriangleMovePage", 1044, false, false, {1, 8, 9}},
                      setCase_t{"OblongCreatedPage", 1071, false, false, {1, 44, 45, 46}},
                      setCase_t{"SplinePointPageNone", 1061, false, false, {}},
                      setCase_t{"OtherGuidancePage", 1030, false, false, {1}}),
    testnames::byName{});

TEST(Suggestions, OnlyTheFirstFourByNumberAreShown)
{
    EXPECT_EQ(app::shownSuggestions({53, 2, 47, 1, 5, 3}), (std::vector<int32_t>{1, 2, 3, 5}));
    EXPECT_EQ(app::shownSuggestions({4, 1}), (std::vector<int32_t>{1, 4}));
}

struct textCase_t {
    const char* name;
    int32_t n;
    const char* text;
    int32_t code;
    bool selectNewest;
};
void PrintTo(const textCase_t& c, std::ostream* os) { *os << c.name; }

class SuggestionRows : public ::testing::TestWithParam<textCase_t> {};

TEST_P(SuggestionRows, CaptionAndTarget)
{
    const textCase_t& c = GetParam();
    EXPECT_EQ(app::suggestionText(c.n), QString::fromLatin1(c.text));
    const app::suggestionAction_t a = app::suggestionAction(c.n);
    EXPECT_EQ(a.code, c.code);
    EXPECT_EQ(a.selectNewest, c.selectNewest);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SuggestionRows,
    ::testing::Values(textCase_t{"InsertNewItem", 1, "Insert new item", 20, false},
                      textCase_t{"MoveThisLine", 4, "Move this line", 99, true},
                      textCase_t{"FineTuneThisText", 6, "Fine-tune this text", 301, false},
                      textCase_t{"TriangleFineTuneStandsAlone", 9, "Fine-tune", 200, true},
                      textCase_t{"MoveThisRectangle", 16, "Move this rectangle", 1048, true},
                      textCase_t{"FineTuneThisCircle", 18, "Fine-tune this circle", 203, true},
                      textCase_t{"StartNewPolygon", 23, "Start new polygon", 199, false},
                      textCase_t{"MoveThisOblong", 46, "Move this oblong", 1072, true},
                      textCase_t{"MoveThisClip", 49, "Move this clip", 1078, true},
                      textCase_t{"SplitGroup", 53, "Split group", 20, false}),
    testnames::byName{});

} // namespace
