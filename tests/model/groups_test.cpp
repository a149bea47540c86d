// Groups, the group selection queries, Join Items, Split Group and the
// stacking moves.
#include "history_support.h"

#include "model/groups.h"
#include "model/stacking.h"

using namespace model;
using namespace testsupport;

namespace {

class Groups : public ::testing::Test {
protected:
    itemList_t doc;
    void SetUp() override { newDoc(doc); }
    void TearDown() override
    {
        expectTablesConsistent(doc);
        freeList(doc);
    }
    std::vector<item_t*> visibleHandles()
    {
        std::vector<item_t*> v;
        for (item_t* it = doc.head; it; it = it->next)
            if (it->itemType == typeGroupHandle && !it->hidden) v.push_back(it);
        return v;
    }
};

TEST_F(Groups, CompactGroupIdsFillsTheLowestGapFromTheTop)
{
    struct row {
        std::vector<int32_t> ids, expected;
    };
    const std::vector<row> rows = {
        {{2, 5, 6}, {2, 3, 1}},
        {{1, 2, 3}, {1, 2, 3}},
        {{4}, {1}},
        {{0, 3, 0, 3}, {0, 1, 0, 1}},
        {{7, 1, 7, 9}, {3, 1, 3, 2}},
    };
    for (const row& r : rows) {
        itemList_t l;
        newDoc(l);
        std::vector<item_t*> items;
        for (int32_t g : r.ids) {
            items.push_back(draw(l, typeLine, 0, 0));
            items.back()->groupId = g;
            noteIds(l, items.back());
        }
        items.front()->hidden = 255;  // every visibility takes part
        compactGroupIds(l);
        std::vector<int32_t> got;
        for (item_t* it : items) got.push_back(it->groupId);
        EXPECT_EQ(got, r.expected);
        EXPECT_TRUE(idCacheConsistent(l));
        freeList(l);
    }
}

TEST_F(Groups, NextGroupIdCountsHiddenVersionsAndRenameMovesEveryRecord)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    a->groupId = 4;
    noteIds(doc, a);
    a->hidden = 255;
    EXPECT_EQ(nextGroupId(doc), 5);
    // Renumbering moves the hidden version too, and the next id follows it down.
    compactGroupIds(doc);
    EXPECT_EQ(a->groupId, 1);
    EXPECT_EQ(nextGroupId(doc), 2);
}

TEST_F(Groups, CentreRoundsHalvesToEvenOverSelectedMembersOnly)
{
    item_t* a = draw(doc, typeLine, 0, 0, 1, 1);   // x 0..1, y 0..1
    item_t* b = draw(doc, typeLine, 2, 4, 0, 0);   // x 2..2, y 4..4
    item_t* c = draw(doc, typeLine, 500, 500);     // not selected
    item_t* h = draw(doc, typeGroupHandle, 900, 900);
    for (item_t* it : {a, b, c, h}) {
        it->groupId = 1;
        noteIds(doc, it);
    }
    selectItems(doc, {a, b, h});
    // X = (0+1+2+2)/4 = 1.25 -> 1; Y = (0+1+4+4)/4 = 2.25 -> 2
    EXPECT_EQ(groupCentre(doc, 1).x, 1);
    EXPECT_EQ(groupCentre(doc, 1).y, 2);
    b->x1 = b->x2 = 3;  // X = 7/4... (0+1+3+3)/4 = 1.75 -> 2
    EXPECT_EQ(groupCentre(doc, 1).x, 2);
    EXPECT_EQ(groupCentre(doc, 2).x, 0);
}

TEST_F(Groups, SelectionQueries)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 0, 0);
    item_t* c = draw(doc, typeLine, 0, 0);
    item_t* h = draw(doc, typeGroupHandle, 0, 0);
    item_t* d = draw(doc, typeLine, 0, 0);
    for (item_t* it : {a, b, h}) {
        it->groupId = 3;
        noteIds(doc, it);
    }
    c->groupId = 4;
    noteIds(doc, c);

    struct row {
        std::vector<item_t*> sel;
        int32_t units, unitsGroupsAsOne;
        bool hasGroup;
    };
    const std::vector<row> rows = {
        {{}, 0, 0, false},
        {{d}, 1, 1, false},
        {{a, b, h}, 3, 1, true},
        {{a, b, h, c, d}, 5, 3, true},
        {{a, c}, 2, 2, true},
    };
    for (const row& r : rows) {
        selectItems(doc, r.sel);
        EXPECT_EQ(countSelectionUnits(doc, false), r.units);
        EXPECT_EQ(countSelectionUnits(doc, true), r.unitsGroupsAsOne);
        EXPECT_EQ(selectionHasGroup(doc), r.hasGroup);
    }
    // Hidden and edited records are not selected.
    selectItems(doc, {a, d});
    d->editing = 1;
    EXPECT_EQ(countSelectionUnits(doc, false), 1);
    d->editing = 0;
    d->hidden = 255;
    EXPECT_EQ(countSelectionUnits(doc, false), 1);
    d->hidden = 0;
}

TEST_F(Groups, JoinTwoItemsAndAGroupOfThreeMakesOneFlatGroup)
{
    std::vector<item_t*> members;
    for (int i = 0; i < 3; ++i) members.push_back(draw(doc, typeRectangle, 10 * i, 0));
    selectItems(doc, members);
    item_t* oldHandle = joinItems(doc);
    ASSERT_NE(oldHandle, nullptr);
    const int32_t oldGroup = oldHandle->groupId;
    EXPECT_EQ(oldGroup, 1);
    item_t* x = draw(doc, typeLine, 100, 100);
    item_t* y = draw(doc, typeLine, 200, 200);

    std::vector<item_t*> sel{x, y, oldHandle};
    for (item_t* it = doc.head; it; it = it->next)
        if (!it->hidden && it->groupId == oldGroup && it->itemType == typeRectangle) sel.push_back(it);
    selectItems(doc, sel);
    item_t* h = joinItems(doc);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->groupId, 2);
    EXPECT_EQ(visibleHandles(), std::vector<item_t*>{h});
    int32_t inGroup = 0, markers = 0;
    for (item_t* it = doc.head; it; it = it->next) {
        if (it->hidden || it->kind != kindItem) continue;
        if (it->groupId == 2 && isStackable(it)) ++inGroup;
        if (it->itemType == typeDeletionMarker && it->replacesStep == oldHandle->stepId) ++markers;
    }
    EXPECT_EQ(inGroup, 5);
    EXPECT_EQ(markers, 1);
    EXPECT_TRUE(oldHandle->hidden);
    // The handle sits at the members' centre, part of the same action.
    const groupPoint_t c = groupCentre(doc, 2);
    EXPECT_EQ(h->x1, c.x);
    EXPECT_EQ(h->y2, c.y);
    EXPECT_EQ(h->refX2, c.x);
    EXPECT_EQ(h->boxWidth, 0);
    EXPECT_EQ(h->zOrder, 0);
    EXPECT_EQ(h->actionId, current(doc, x->reserved8)->actionId);
    EXPECT_EQ(countSelectionUnits(doc, true), 1);

    // One undo brings back the old group and its handle.
    ASSERT_TRUE(undo(doc));
    EXPECT_TRUE(h->hidden);
    EXPECT_FALSE(oldHandle->hidden);
    EXPECT_EQ(visibleHandles(), std::vector<item_t*>{oldHandle});
    EXPECT_FALSE(x->hidden);
    EXPECT_EQ(x->groupId, 0);
}

TEST_F(Groups, JoinOfHandlesOnlyRecordsVersionsAndStops)
{
    item_t* h = draw(doc, typeGroupHandle, 0, 0);
    h->zOrder = 0;
    invalidateIds(doc);
    selectItems(doc, {h});
    EXPECT_EQ(joinItems(doc), nullptr);
    EXPECT_TRUE(h->hidden);
    EXPECT_EQ(doc.tail->replacesStep, h->stepId);
    EXPECT_EQ(doc.tail->itemType, typeGroupHandle);
}

TEST_F(Groups, SplitLeavesNothingSelectedAndUndoBringsTheGroupBack)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 40, 40);
    selectItems(doc, {a, b});
    item_t* h = joinItems(doc);
    ASSERT_NE(h, nullptr);
    std::vector<item_t*> sel;
    for (item_t* it = doc.head; it; it = it->next)
        if (!it->hidden && it->groupId == h->groupId) sel.push_back(it);
    ASSERT_EQ(sel.size(), 3u);
    selectItems(doc, sel);
    EXPECT_EQ(splitGroup(doc), 3);
    EXPECT_EQ(firstSelected(doc), nullptr);
    EXPECT_TRUE(visibleHandles().empty());
    EXPECT_FALSE(selectionHasGroup(doc));
    EXPECT_EQ(current(doc, a->reserved8)->groupId, 0);

    ASSERT_TRUE(undo(doc));
    EXPECT_EQ(visibleHandles(), std::vector<item_t*>{h});
    EXPECT_EQ(current(doc, a->reserved8)->groupId, h->groupId);
    EXPECT_EQ(current(doc, b->reserved8)->groupId, h->groupId);
}

TEST_F(Groups, MoveToBackAndFrontShiftOnlyTheItemsPassed)
{
    std::vector<item_t*> it;
    for (int i = 0; i < 6; ++i) it.push_back(draw(doc, typeLine, i, 0));
    it[1]->hidden = 255;  // hidden records keep their place and are not moved
    moveToBack(doc, it[3]);
    EXPECT_EQ(it[3]->zOrder, 1);
    EXPECT_EQ(it[0]->zOrder, 2);
    EXPECT_EQ(it[1]->zOrder, 2);
    EXPECT_EQ(it[2]->zOrder, 4);
    EXPECT_EQ(it[4]->zOrder, 5);
    moveToFront(doc, it[0]);
    EXPECT_EQ(it[0]->zOrder, 6);
    EXPECT_EQ(it[2]->zOrder, 3);
    EXPECT_EQ(it[4]->zOrder, 4);
    EXPECT_EQ(it[5]->zOrder, 5);
    EXPECT_EQ(it[3]->zOrder, 1);
    moveToBack(doc, nullptr);
    itemList_t empty;
    moveToFront(empty, it[0]);
    EXPECT_EQ(it[0]->zOrder, 6);
}

} // namespace
