// The first start: when the setup counts as done, what completing it stores,
// and how a failed registration is recorded and repaired.
#include "settings/firstsetup.h"

#include "settings/pageset.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace settings;

namespace {

struct stateCase {
    const char* name;
    std::optional<int32_t> sub, pac;
    setupState_t state;
};

} // namespace

TEST(FirstSetup, StateFollowsTheTwoMarks)
{
    const stateCase cases[] = {
        {"NothingStored", std::nullopt, std::nullopt, setupNotDone},
        {"MarkWithoutVersion", std::nullopt, 6, setupNotDone},
        {"VersionWithoutMark", 164, std::nullopt, setupNotDone},
        {"OlderVersion", 100, 6, setupByOlderVersion},
        {"JustBelowThisVersion", 163, 6, setupByOlderVersion},
        {"ThisVersion", 164, 6, setupDone},
        {"NewerVersion", 200, 6, setupDone},
        {"WrongMark", 164, 5, setupNotDone},
    };
    for (const stateCase& c : cases) {
        SCOPED_TRACE(c.name);
        memoryStore_t store;
        store.openKey(keyCustomSettings);
        if (c.sub) store.writeInt(keyCustomSettings, setupVersionValue, *c.sub);
        if (c.pac) store.writeInt(keyCustomSettings, setupMarkValue, *c.pac);
        EXPECT_EQ(setupState(store), c.state);
    }
    // A mark stored as text does not read as a number.
    memoryStore_t text;
    text.openKey(keyCustomSettings);
    text.writeText(keyCustomSettings, setupVersionValue, QStringLiteral("164"));
    text.writeInt(keyCustomSettings, setupMarkValue, 6);
    EXPECT_EQ(setupState(text), setupNotDone);
}

TEST(FirstSetup, CompletingStoresTheUnitForEveryTypeButDigitalImagesAndTheMarks)
{
    for (const int32_t unit : {2, 3}) {
        SCOPED_TRACE(unit);
        memoryStore_t store;
        TParams p(&store);
        p.initSettings();
        const int32_t digitalBefore = p.pageSets[8].unit;
        int32_t registered = 0;
        EXPECT_EQ(completeSetup(p, unit, [&] { ++registered; return 0; }), 0);
        EXPECT_EQ(registered, 1);
        EXPECT_EQ(p.newFile.units, unit);
        EXPECT_DOUBLE_EQ(p.newFile.pxPerUnitX, p.unitScale(unit).pxPerUnitX);
        for (int32_t t = 1; t <= page::designTypeCount; ++t)
            EXPECT_EQ(p.pageSets[t - 1].unit, t == 9 ? digitalBefore : unit) << "type " << t;
        int32_t v = 0;
        ASSERT_TRUE(store.readInt(keyCustomSettings, setupUnitsValue, v));
        EXPECT_EQ(v, unit);
        EXPECT_EQ(setupState(store), setupDone);
        ASSERT_TRUE(store.readInt(keyCustomSettings, registrationValue, v));
        EXPECT_EQ(v, 0);
        // The next start reads the unit back for every type but digital images.
        TParams next(&store);
        next.initSettings();
        EXPECT_EQ(next.newFile.units, unit);
        EXPECT_EQ(next.pageSets[0].unit, unit);
    }
}

// A registration that fails records its last failing code; each later start
// repeats it until it succeeds once, and then no more.
TEST(FirstSetup, AFailedRegistrationIsRepairedAtLaterStartsUntilItSucceedsOnce)
{
    memoryStore_t store;
    TParams p(&store);
    p.initSettings();
    EXPECT_EQ(completeSetup(p, 3, [] { return int32_t(registerFailureMimeDatabase); }), registerFailureMimeDatabase);
    int32_t v = 0;
    ASSERT_TRUE(store.readInt(keyCustomSettings, registrationValue, v));
    EXPECT_EQ(v, registerFailureMimeDatabase);
    EXPECT_EQ(setupState(store), setupDone);  // the setup itself is complete

    std::vector<int32_t> outcomes = {registerFailureOpenCommand, 0};
    int32_t attempts = 0;
    auto registrar = [&] { return outcomes[size_t(attempts++)]; };
    EXPECT_EQ(repairRegistration(store, registrar), registerFailureOpenCommand);
    EXPECT_EQ(repairRegistration(store, registrar), 0);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(repairRegistration(store, registrar), 0);
    EXPECT_EQ(attempts, 2) << "a registration that succeeded is not repeated";
}

TEST(FirstSetup, MarksThatCannotBeWrittenLeaveTheSetupIncomplete)
{
    memoryStore_t store;
    TParams p(&store);
    p.initSettings();
    store.readOnlyKeys.insert(keyCustomSettings);
    const int32_t failure = completeSetup(p, 2, [] { return 0; });
    EXPECT_EQ(failure, setupFailureMark);  // the last write that failed
    EXPECT_EQ(setupState(store), setupNotDone);
    // The run itself goes on with the chosen unit.
    EXPECT_EQ(p.newFile.units, 2);
}
