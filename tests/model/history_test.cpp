// Undo and redo kept inside the item list.
#include "history_support.h"

#include "model/anchors.h"
#include "model/docfile.h"
#include "model/groups.h"

using namespace model;
using namespace testsupport;

namespace {

class History : public ::testing::Test {
protected:
    itemList_t doc;
    void SetUp() override { newDoc(doc); }
    void TearDown() override
    {
        expectTablesConsistent(doc);
        freeList(doc);
    }
    std::vector<int32_t> zOf(std::initializer_list<int32_t> labels)
    {
        std::vector<int32_t> z;
        for (int32_t l : labels) {
            item_t* it = current(doc, l);
            z.push_back(it ? it->zOrder : -1);
        }
        return z;
    }
};

TEST_F(History, RecordNewMakesAStepOfItsOwn)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeRectangle, 5, 5);
    EXPECT_EQ(a->undoState, stateDone);
    EXPECT_EQ(b->actionId, a->actionId + 1);
    EXPECT_EQ(a->zOrder, 1);
    EXPECT_EQ(b->zOrder, 2);
    EXPECT_EQ(b->replacesStep, 0);
    EXPECT_TRUE(canUndo(doc));
    EXPECT_FALSE(canRedo(doc));
}

TEST_F(History, UndoTwiceRedoOnceThenNewItemDropsTheUndoneBranch)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 10, 0);
    item_t* c = draw(doc, typeLine, 20, 0);
    const int32_t cLabel = c->reserved8;
    ASSERT_TRUE(undo(doc));
    ASSERT_TRUE(undo(doc));
    EXPECT_FALSE(a->hidden);
    EXPECT_TRUE(b->hidden);
    EXPECT_TRUE(c->hidden);
    EXPECT_EQ(b->undoState, stateUndone);
    ASSERT_TRUE(redo(doc));
    EXPECT_FALSE(b->hidden);
    EXPECT_TRUE(c->hidden);
    EXPECT_TRUE(canRedo(doc));

    item_t* d = draw(doc, typeLine, 30, 0);
    EXPECT_FALSE(canRedo(doc));
    for (item_t* it = doc.head; it; it = it->next) EXPECT_NE(it->reserved8 == cLabel && it->kind == kindItem, true);
    EXPECT_FALSE(d->hidden);
    EXPECT_GT(d->stepId, b->stepId);
    ASSERT_TRUE(undo(doc));
    ASSERT_TRUE(redo(doc));  // redo finds the step after the gap the dropped item left
    EXPECT_FALSE(d->hidden);
}

TEST_F(History, MovingTwoItemsIsOneAction)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeRectangle, 50, 50);
    draw(doc, typeText, 90, 90);
    const int32_t la = a->reserved8, lb = b->reserved8;
    selectItems(doc, {a, b});
    auto vs = beginEdit(doc);
    ASSERT_EQ(vs.size(), 2u);
    EXPECT_EQ(vs[0]->actionId, vs[1]->actionId);
    for (item_t* v : vs) {
        EXPECT_EQ(v->refX1, v->x1);
        EXPECT_EQ(v->refY2, v->y2);
        v->x1 += 7;
        v->x2 += 7;
    }
    EXPECT_TRUE(a->hidden);
    EXPECT_FALSE(a->selected);
    EXPECT_TRUE(isSelected(vs[0]));
    EXPECT_EQ(vs[0]->replacesStep, a->stepId);
    EXPECT_EQ(vs[1]->zOrder, b->zOrder);

    ASSERT_TRUE(undo(doc));
    EXPECT_EQ(current(doc, la), a);
    EXPECT_EQ(current(doc, lb), b);
    EXPECT_EQ(a->x1, 0);
    EXPECT_EQ(b->x1, 50);
    EXPECT_EQ(firstSelected(doc), nullptr);  // undo leaves nothing selected
    ASSERT_TRUE(redo(doc));
    EXPECT_EQ(current(doc, la)->x1, 7);
    EXPECT_EQ(current(doc, lb)->x1, 57);
    EXPECT_TRUE(a->hidden && b->hidden);
}

TEST_F(History, BeginEditSavesPointSlotsAndRotation)
{
    item_t* t = draw(doc, typeTriangle, 0, 0);
    addPoint(t, 1, 2)->p.c1x = 9;
    addPoint(t, 3, 4);
    t->rotation = 0.5;
    selectItems(doc, {t});
    auto vs = beginEdit(doc);
    ASSERT_EQ(vs.size(), 1u);
    const pointNode_t* n = vs[0]->points.head;
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->p.savedX, 1);
    EXPECT_EQ(n->p.savedY, 2);
    EXPECT_EQ(n->p.savedC1x, 9);
    EXPECT_EQ(n->next->p.savedX, 3);
    EXPECT_EQ(vs[0]->rotationStart, 0.5);
}

TEST_F(History, BeginEditWithNothingSelectedDoesNothing)
{
    draw(doc, typeLine, 0, 0);
    ASSERT_TRUE(undo(doc));
    const int32_t before = countItems(doc);
    EXPECT_TRUE(beginEdit(doc).empty());
    EXPECT_EQ(countItems(doc), before);
    EXPECT_TRUE(canRedo(doc));  // the redo branch is kept when nothing was recorded
}

TEST_F(History, EraseAndUndoRestoresTheOldZOrder)
{
    draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeRectangle, 0, 0);
    draw(doc, typeLine, 0, 0);
    selectItems(doc, {b});
    ASSERT_EQ(eraseSelection(doc), 1);
    item_t* marker = doc.tail;
    EXPECT_EQ(marker->itemType, typeDeletionMarker);
    EXPECT_EQ(marker->replacesStep, b->stepId);
    EXPECT_EQ(marker->zOrder, 2);
    EXPECT_TRUE(b->hidden);
    EXPECT_EQ(firstSelected(doc), nullptr);

    ASSERT_TRUE(undo(doc));
    EXPECT_FALSE(b->hidden);
    EXPECT_EQ(b->zOrder, 2);
    EXPECT_TRUE(marker->hidden);
    EXPECT_EQ(marker->undoState, stateUndone);
    ASSERT_TRUE(redo(doc));
    EXPECT_TRUE(b->hidden);
    EXPECT_FALSE(marker->hidden);
}

TEST_F(History, EraseLeavesGroupHandlesAndDeselectsThem)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* h = newItem(doc, typeGroupHandle);
    recordNew(doc, h);
    h->zOrder = 0;
    invalidateIds(doc);
    selectItems(doc, {a, h});
    EXPECT_EQ(eraseSelection(doc), 1);
    EXPECT_FALSE(h->hidden);
    EXPECT_FALSE(h->selected);
}

TEST_F(History, SendToBackAndUndoRestoreFivePositions)
{
    std::vector<int32_t> labels;
    for (int i = 0; i < 8; ++i) labels.push_back(draw(doc, typeRectangle, i, i)->reserved8);
    item_t* fifth = current(doc, labels[4]);
    ASSERT_EQ(fifth->zOrder, 5);
    selectItems(doc, {fifth});
    ASSERT_EQ(sendToBack(doc), 1);
    EXPECT_EQ(fifth->zMove, zMovedToBack);
    EXPECT_EQ(zOf({labels[0], labels[1], labels[2], labels[3], labels[4], labels[5]}),
              (std::vector<int32_t>{2, 3, 4, 5, 1, 6}));
    EXPECT_TRUE(isSelected(current(doc, labels[4])));

    ASSERT_TRUE(undo(doc));
    EXPECT_EQ(zOf({labels[0], labels[1], labels[2], labels[3], labels[4], labels[5]}),
              (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(redo(doc));
    EXPECT_EQ(zOf({labels[0], labels[1], labels[2], labels[3], labels[4], labels[5]}),
              (std::vector<int32_t>{2, 3, 4, 5, 1, 6}));
}

TEST_F(History, BringTwoToFrontLatestInListEndsFrontMostAndUndoes)
{
    std::vector<int32_t> l;
    for (int i = 0; i < 5; ++i) l.push_back(draw(doc, typeLine, i, 0)->reserved8);
    selectItems(doc, {current(doc, l[3]), current(doc, l[1])});
    ASSERT_EQ(bringToFront(doc), 2);
    EXPECT_EQ(zOf({l[0], l[1], l[2], l[3], l[4]}), (std::vector<int32_t>{1, 4, 2, 5, 3}));
    ASSERT_TRUE(undo(doc));
    EXPECT_EQ(zOf({l[0], l[1], l[2], l[3], l[4]}), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    ASSERT_TRUE(redo(doc));
    EXPECT_EQ(zOf({l[0], l[1], l[2], l[3], l[4]}), (std::vector<int32_t>{1, 4, 2, 5, 3}));
}

// A version shown again by undoing a stacking move must not replay that move
// when a later edit of it is undone.
TEST_F(History, UndoneStackingMoveIsNotReplayedByALaterUndo)
{
    std::vector<int32_t> l;
    for (int i = 0; i < 4; ++i) l.push_back(draw(doc, typeLine, i, 0)->reserved8);
    selectItems(doc, {current(doc, l[2])});
    sendToBack(doc);
    undo(doc);
    selectItems(doc, {current(doc, l[2])});
    auto vs = beginEdit(doc);
    ASSERT_EQ(vs.size(), 1u);
    vs[0]->x1 += 3;
    ASSERT_TRUE(undo(doc));
    EXPECT_EQ(zOf({l[0], l[1], l[2], l[3]}), (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST_F(History, RecordWithoutActionIdIsUndoneAlone)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeLine, 0, 0);
    item_t* c = draw(doc, typeLine, 0, 0);
    b->actionId = 0;
    c->actionId = 0;
    invalidateIds(doc);
    ASSERT_TRUE(undo(doc));
    EXPECT_TRUE(c->hidden);
    EXPECT_FALSE(b->hidden);
    ASSERT_TRUE(undo(doc));
    EXPECT_TRUE(b->hidden);
    EXPECT_FALSE(a->hidden);
}

TEST_F(History, UndoAndRedoWithNothingToDoChangeNothing)
{
    EXPECT_FALSE(undo(doc));
    EXPECT_FALSE(redo(doc));
    draw(doc, typeLine, 0, 0);
    EXPECT_FALSE(redo(doc));
    EXPECT_FALSE(canRedo(doc));
}

TEST_F(History, UndoDoesNotTouchTheModifiedFlag)
{
    draw(doc, typeLine, 0, 0);
    setModified(doc, false);
    undo(doc);
    EXPECT_FALSE(isModified(doc));
    redo(doc);
    EXPECT_FALSE(isModified(doc));
    clearHistory(doc);
    EXPECT_FALSE(isModified(doc));
}

static std::vector<uint64_t> releasedSerials;

TEST_F(History, UndoDropsPictureCaches)
{
    releasedSerials.clear();
    setCacheRelease([](uint64_t serial) { releasedSerials.push_back(serial); });
    item_t* p = draw(doc, typePicture, 0, 0);
    item_t* q = draw(doc, typePicture, 5, 5);
    p->cacheHeld = true;  // as a picture cache marks what it keeps
    undo(doc);
    EXPECT_TRUE(releasedSerials.empty()) << "only the undone record's cache goes";
    undo(doc);
    EXPECT_EQ(releasedSerials, std::vector<uint64_t>{p->cacheSerial});
    EXPECT_FALSE(p->cacheHeld);
    p->cacheHeld = true;
    redo(doc);
    EXPECT_EQ(releasedSerials.size(), 2u) << "redo drops it too";
    EXPECT_NE(p->cacheSerial, q->cacheSerial);
    setCacheRelease(nullptr);
}

TEST_F(History, ClearHistoryKeepsOnlyWhatIsShown)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    const int32_t lineLabel = a->reserved8;
    draw(doc, typeText, 0, 0);
    item_t* empty = draw(doc, typeText, 0, 0);
    setText(empty, u"");
    item_t* gone = draw(doc, typeRectangle, 0, 0);
    selectItems(doc, {a});
    beginEdit(doc)[0]->x1 = 99;
    selectItems(doc, {gone});
    eraseSelection(doc);
    draw(doc, typeLine, 1, 1);
    undo(doc);  // leaves an undone record

    clearHistory(doc);
    EXPECT_FALSE(canUndo(doc));
    EXPECT_FALSE(canRedo(doc));
    EXPECT_EQ(countType(doc, typeDeletionMarker, false), 0);
    for (const item_t* it = doc.head; it; it = it->next) {
        if (it->kind != kindItem) continue;
        EXPECT_FALSE(it->hidden);
        EXPECT_EQ(it->undoState, stateCommitted);
        EXPECT_EQ(it->replacesStep, 0);
    }
    EXPECT_EQ(stepIds(doc), (std::vector<int32_t>{1, 2, 3}));  // grid, moved line, text
    EXPECT_EQ(countType(doc, typeText, false), 1);
    EXPECT_EQ(getText(findByType(doc, typeText)), u"abc");
    ASSERT_NE(current(doc, lineLabel), nullptr);
    EXPECT_EQ(current(doc, lineLabel)->x1, 99);
    EXPECT_EQ(countType(doc, typeLine, false), 1);
}

TEST_F(History, ClearHistoryDeletesPictureDataOnlyWhenUnused)
{
    auto picture = [&](int32_t id) {
        pictureData(doc, id);
        return drawPicture(doc, id);
    };
    item_t* shown = picture(11);
    item_t* erased = picture(22);
    selectItems(doc, {erased});
    eraseSelection(doc);
    selectItems(doc, {shown});
    beginEdit(doc);  // hidden old version shares the data with the new one
    clearHistory(doc);
    EXPECT_NE(findPictureData(doc, 11), nullptr);
    EXPECT_EQ(findPictureData(doc, 22), nullptr);
    EXPECT_EQ(countType(doc, typePicture, false), 1);
}

TEST_F(History, DropRedoDeletesPictureDataOnlyItsOnlyUserHeld)
{
    pictureData(doc, 7);
    item_t* p = drawPicture(doc, 7);
    selectItems(doc, {p});
    beginEdit(doc);
    undo(doc);  // the new version is undone; the old one still uses the data
    dropRedo(doc);
    EXPECT_NE(findPictureData(doc, 7), nullptr);
    undo(doc);  // now the picture itself is undone
    dropRedo(doc);
    EXPECT_EQ(findPictureData(doc, 7), nullptr);
    EXPECT_EQ(countType(doc, typePicture, false), 0);
}

TEST_F(History, SaveAndReopenStartsWithoutHistory)
{
    draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeRectangle, 10, 10);
    selectItems(doc, {b});
    item_t* moved = beginEdit(doc)[0];
    moved->x1 = 40;
    computeMeasure(moved);
    draw(doc, typeText, 0, 0);
    undo(doc);
    tempDir dir;
    std::string error;
    ASSERT_TRUE(writeDocument(dir.file("h.lmra"), doc, &error)) << error;
    itemList_t back;
    scriptedQuestions q;
    ASSERT_TRUE(readDocument(dir.file("h.lmra"), back, q, &error)) << error;
    EXPECT_FALSE(canUndo(back));
    EXPECT_FALSE(canRedo(back));
    const auto ids = stepIds(back);
    ASSERT_EQ(ids.size(), 3u);  // grid, line, moved rectangle
    for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], int32_t(i + 1));
    EXPECT_EQ(findByType(back, typeRectangle)->x1, 40);
    expectTablesConsistent(back);
    freeList(back);
}

TEST_F(History, GridEditCarriesTheAnchorsAndUndoRestoresThePreviousGrid)
{
    item_t* grid = findByType(doc, typeGrid);
    addAnchorX(grid, 10);
    addAnchorX(grid, 20);
    addAnchorY(grid, 5);
    item_t* v = beginGridEdit(doc);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(countNodes(v->anchorsX), 2);
    EXPECT_EQ(countNodes(v->anchorsY), 1);
    EXPECT_EQ(anchorPositionX(v->anchorsX.tail), 20);
    // The edit: delete a gridline (the node is the edit's to free).
    anchorNode_t* gone = v->anchorsX.tail;
    unlinkNode(v->anchorsX, gone);
    delete gone;
    EXPECT_TRUE(grid->hidden);
    EXPECT_EQ(findVisibleByType(doc, typeGrid), v);
    ASSERT_TRUE(undo(doc));
    EXPECT_EQ(findVisibleByType(doc, typeGrid), grid);
    EXPECT_EQ(countNodes(grid->anchorsX), 2);
    ASSERT_TRUE(redo(doc));
    EXPECT_EQ(findVisibleByType(doc, typeGrid), v);
    EXPECT_EQ(countNodes(v->anchorsX), 1);
}

TEST_F(History, GridRecordWithoutPredecessorFallsBackToTheFirstGridButNeverItself)
{
    item_t* grid = findByType(doc, typeGrid);
    // A grid version recorded without naming its predecessor.
    grid->hidden = 255;
    item_t* v = newItem(doc, typeGrid);
    recordNew(doc, v);
    v->zOrder = 0;
    invalidateIds(doc);
    ASSERT_TRUE(undo(doc));
    EXPECT_TRUE(v->hidden);
    EXPECT_FALSE(grid->hidden);
    ASSERT_TRUE(redo(doc));
    EXPECT_FALSE(v->hidden);
    EXPECT_TRUE(grid->hidden);
    // The first grid record itself, created as a step, is simply hidden.
    itemList_t other;
    item_t* only = newItem(other, typeGrid);
    recordNew(other, only);
    ASSERT_TRUE(undo(other));
    EXPECT_TRUE(only->hidden);
    freeList(other);
}

// A copy of picture data takes no step id of its own, so the items pasted with
// it stay redoable.
TEST_F(History, PictureDataCopyLeavesNoGapInStepIds)
{
    itemList_t src;
    newDoc(src);
    item_t* d = pictureData(src, 5);
    const int32_t before = nextStepId(doc);
    item_t* copy = cloneItem(doc, d);
    EXPECT_EQ(copy->kind, kindPictureData);
    EXPECT_EQ(nextStepId(doc), before);
    freeList(src);
}

} // namespace
