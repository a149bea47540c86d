// The step history's bookkeeping: which switches become steps, and where
// Back and Forward go when steps can or cannot be restored.
#include "ui/panelcodes.h"
#include "app/stephistory.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using app::stepHistory_t;
using app::toolSnapshot_t;

namespace {

// One document (number 7) whose items carry the tags in `live`.
struct fakeWorld_t : app::stepWorld_t {
    std::set<int32_t> live;
    std::vector<int32_t> shown;
    std::vector<int32_t> restored;
    bool activateDocument(int32_t docNumber) override { return docNumber == 7; }
    bool selectTagged(int32_t tag) override { return live.count(tag) > 0; }
    bool holdsTagged(int32_t docNumber, int32_t tag) const override { return docNumber == 7 && live.count(tag); }
    void restoreToolSettings(const app::stepEntry_t& e) override { restored.push_back(e.code); }
    void showStep(int32_t code) override { shown.push_back(code); }
    void refreshStepControls() override {}
};

// An operation of a scenario: a switch to a panel code with a line colour
// (recorded as the shell does, tag = code), Back ('<'), Forward ('>'), or
// the erasure of the items tagged with a code ('x').
struct op_t {
    char what;
    int32_t code = 0;
    int32_t colour = 0;
};

struct scenario_t {
    const char* name;
    std::vector<op_t> ops;
    std::vector<int32_t> codes;  // the entries' codes afterwards
    int32_t current;             // the current entry afterwards
    std::vector<int32_t> shown;  // what Back and Forward showed
    bool canBack, canForward;
};
void PrintTo(const scenario_t& s, std::ostream* os) { *os << s.name; }

class StepScenarios : public ::testing::TestWithParam<scenario_t> {};

TEST_P(StepScenarios, EntriesCurrentStepAndPanelsShown)
{
    const scenario_t& s = GetParam();
    stepHistory_t h;
    fakeWorld_t world;
    for (const op_t& o : s.ops) {
        switch (o.what) {
        case 's': {
            toolSnapshot_t now;
            now.lineColor = o.colour;
            if (!h.repeatsCurrent(o.code, now)) {
                h.record(o.code, now, 7, o.code);
                world.live.insert(o.code);
            }
            break;
        }
        case '<': h.stepBack(world); break;
        case '>': h.stepForward(world); break;
        case 'x': world.live.erase(o.code); break;
        }
    }
    std::vector<int32_t> codes;
    for (const app::stepEntry_t& e : h.entries()) codes.push_back(e.code);
    EXPECT_EQ(codes, s.codes);
    EXPECT_EQ(h.current(), s.current);
    EXPECT_EQ(world.shown, s.shown);
    EXPECT_EQ(h.canStepBack(world), s.canBack);
    EXPECT_EQ(h.canStepForward(world), s.canForward);
    // Serials grow with the list.
    for (size_t i = 1; i < h.entries().size(); ++i) EXPECT_GT(h.entries()[i].serial, h.entries()[i - 1].serial);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepScenarios,
    ::testing::Values(
        scenario_t{"LinePanelTwiceWithSameSettingsIsOneStep", {{'s', 98}, {'s', 98}}, {98}, 0, {}, true, false},
        scenario_t{"LineColourChangedBetweenIsTwoSteps", {{'s', 98}, {'s', 98, 0xFF}}, {98, 98}, 1, {}, true, false},
        scenario_t{"SameShapeToolWithSameSettingsIsOneStep", {{'s', 105}, {'s', 105}}, {105}, 0, {}, true, false},
        scenario_t{"FineTuneTwiceIsTwoSteps", {{'s', 99}, {'s', 99}}, {99, 99}, 1, {}, true, false},
        scenario_t{"CodesThatAreNoStepsAreLeftOut", {{'s', 60}, {'s', 503}, {'s', 98}}, {98}, 0, {}, true, false},
        scenario_t{"BackFromTheFirstStepShowsTheInsertPanel", {{'s', 98}, {'<'}}, {98}, -1, {20}, false, true},
        scenario_t{"ForwardAfterRunningOutReachesTheFirstStep",
                   {{'s', 98}, {'<'}, {'>'}}, {98}, 0, {20, 98}, true, false},
        scenario_t{"BackRestoresTheStepBefore", {{'s', 98}, {'s', 105}, {'<'}}, {98, 105}, 0, {98}, true, true},
        scenario_t{"NewSwitchAfterBackDropsTheForwardSteps",
                   {{'s', 98}, {'s', 105}, {'s', 300}, {'<'}, {'<'}, {'s', 101}}, {98, 101}, 1, {105, 98}, true, false},
        scenario_t{"StepWhoseItemsWereErasedIsSkipped",
                   {{'s', 98}, {'s', 202}, {'s', 105}, {'x', 202}, {'<'}}, {98, 202, 105}, 0, {98}, true, true},
        scenario_t{"ForwardSkipsTheErasedStepToo",
                   {{'s', 98}, {'s', 202}, {'s', 105}, {'x', 202}, {'<'}, {'>'}}, {98, 202, 105}, 2, {98, 105}, true,
                   false}),
    testnames::byName{});

TEST(StepHistory, TextStepRepeatsOnlyWithTheSameTextSettings)
{
    stepHistory_t h;
    toolSnapshot_t a;
    a.tfont = QStringLiteral("Arial");
    h.record(ui::panelNextText, a, -1, -1);
    toolSnapshot_t b = a;
    EXPECT_TRUE(h.repeatsCurrent(ui::panelNextText, b));
    b.tdir = 90;
    EXPECT_FALSE(h.repeatsCurrent(ui::panelNextText, b));
    // The line settings do not matter for a text step.
    toolSnapshot_t c = a;
    c.lineColor = 0xFF;
    EXPECT_TRUE(h.repeatsCurrent(ui::panelNextText, c));
}

} // namespace
