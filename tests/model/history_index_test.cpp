// The history's lookup tables give the answers of the list walks they replace,
// also when records were changed behind their back.
#include "history_support.h"

#include "model/docfile.h"

using namespace model;
using namespace testsupport;

namespace {

class HistoryIndex : public ::testing::Test {
protected:
    itemList_t doc;
    void SetUp() override { newDoc(doc); }
    void TearDown() override { freeList(doc); }
};

TEST_F(HistoryIndex, SelectionNotedOrMadeBySelectOnlyIsSeen)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 0, 0);
    item_t* c = draw(doc, typeLine, 0, 0);
    historyIndex(doc);
    c->selected = 255;
    noteIds(doc, c);
    a->selected = 255;
    noteIds(doc, a);
    EXPECT_EQ(collectSelected(doc), (std::vector<item_t*>{a, c}));  // list order
    selectOnly(doc, b);
    EXPECT_EQ(collectSelected(doc), std::vector<item_t*>{b});
    c->selected = 0;  // clearing behind the tables' back is harmless
    deselectAll(doc);
    EXPECT_TRUE(collectSelected(doc).empty());
    EXPECT_EQ(firstSelected(doc), nullptr);
    expectTablesConsistent(doc);
}

TEST_F(HistoryIndex, UndoStateChangedBehindTheTablesIsFound)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 0, 0);
    ASSERT_TRUE(canUndo(doc));
    // Committed by other code without telling the tables.
    a->undoState = stateCommitted;
    b->undoState = stateCommitted;
    EXPECT_FALSE(canUndo(doc));
    EXPECT_FALSE(undo(doc));
    EXPECT_FALSE(b->hidden);
    expectTablesConsistent(doc);
}

TEST_F(HistoryIndex, StepIdsRenumberedBehindTheTablesAreFoundAgain)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    selectItems(doc, {a});
    item_t* v = beginEdit(doc)[0];
    // Renumber the old version and name it from the new one, as a reader would.
    a->stepId = 500;
    v->replacesStep = 500;
    v->stepId = 501;
    invalidateIds(doc);
    ASSERT_TRUE(undo(doc));
    EXPECT_FALSE(a->hidden);
    EXPECT_TRUE(v->hidden);
    expectTablesConsistent(doc);
}

TEST_F(HistoryIndex, TablesFollowAReadDocument)
{
    draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeRectangle, 0, 0);
    b->selected = 255;
    noteIds(doc, b);
    tempDir dir;
    ASSERT_TRUE(writeDocument(dir.file("d.lmra"), doc));
    scriptedQuestions q;
    ASSERT_TRUE(readDocument(dir.file("d.lmra"), doc, q));  // replaces the records and their tables
    expectTablesConsistent(doc);
    EXPECT_FALSE(canUndo(doc));
    item_t* c = draw(doc, typeLine, 0, 0);
    EXPECT_EQ(c->stepId, 4);  // grid, line, rectangle, then this
    EXPECT_TRUE(canUndo(doc));
    expectTablesConsistent(doc);
}

TEST_F(HistoryIndex, IdMaximaAfterDroppingTheRedoBranchNeedNoWalkAndAreExact)
{
    draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 0, 0);
    b->groupId = 9;
    noteIds(doc, b);
    const int32_t z = b->zOrder;
    ASSERT_TRUE(undo(doc));
    dropRedo(doc);
    EXPECT_EQ(maxGroupId(doc), 0);
    EXPECT_EQ(maxZOrder(doc), z - 1);
    EXPECT_EQ(nextStepId(doc), 4);  // grid 1, line 2; the dropped line had 3
    expectTablesConsistent(doc);
}

TEST_F(HistoryIndex, CloneOfARecordOutsideTheHistoryTakesNoId)
{
    historyIndex(doc);
    item_t* d = pictureData(doc, 3);
    const int32_t next = nextStepId(doc);
    cloneItem(doc, d);
    cloneItem(doc, findHeader(doc));
    EXPECT_EQ(nextStepId(doc), next);
    expectTablesConsistent(doc);
}

} // namespace
