// Copy and Paste through the program-wide clipboard list.
#include "history_support.h"

#include "model/clipboard.h"
#include "model/groups.h"

using namespace model;
using namespace testsupport;

namespace {

class Clipboard : public ::testing::Test {
protected:
    itemList_t doc, clip;
    void SetUp() override { newDoc(doc); }
    void TearDown() override
    {
        expectTablesConsistent(doc);
        freeList(doc);
        freeList(clip);
    }
    std::vector<item_t*> copyAndPaste(std::initializer_list<item_t*> items)
    {
        selectItems(doc, items);
        copySelection(doc, clip);
        return pasteClipboard(doc, clip);
    }
};

TEST_F(Clipboard, CopyHoldsTheHeaderViewAndUnselectedCopies)
{
    item_t* header = findHeader(doc);
    header->hdr().zoom = 1.5;
    header->hdr().unit = 3;
    header->hdr().pxPerUnitX = 96;
    header->hdr().canvasLeft = 33.0;  // its first byte would pass for a long font name
    header->hdr().canvasHeight = 279.4;
    item_t* a = draw(doc, typeLine, 0, 0);
    a->zOrder = 3;
    invalidateIds(doc);
    draw(doc, typeRectangle, 5, 5);
    selectItems(doc, {a});
    copySelection(doc, clip);
    ASSERT_EQ(countItems(clip), 2);
    const item_t* h = clip.head;
    EXPECT_EQ(h->kind, kindHeader);
    EXPECT_EQ(h->hdr().zoom, 1.5);
    EXPECT_EQ(h->hdr().unit, 3);
    EXPECT_EQ(h->hdr().pxPerUnitX, 96);
    EXPECT_EQ(h->hdr().canvasLeft, 33.0);
    EXPECT_EQ(h->hdr().canvasHeight, 279.4);
    EXPECT_EQ(h->next->itemType, typeLine);
    EXPECT_EQ(h->next->selected, 0);
    EXPECT_EQ(h->next->zOrder, 3);
    EXPECT_TRUE(clipboardHasItems(clip));
    EXPECT_TRUE(isSelected(a));  // the document is not changed
    EXPECT_FALSE(canRedo(doc));
}

TEST_F(Clipboard, PasteThreeTimesOffsetsFromTheClipboardNotFromThePreviousPaste)
{
    item_t* a = draw(doc, typeRectangle, 100, 200);
    const int32_t actions = nextActionId(doc);
    auto first = copyAndPaste({a});
    auto second = pasteClipboard(doc, clip);
    auto third = pasteClipboard(doc, clip);
    for (const auto& p : {first, second, third}) {
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0]->x1, 110);
        EXPECT_EQ(p[0]->y1, 210);
        EXPECT_EQ(p[0]->refX1, 110);
        EXPECT_EQ(p[0]->boxLeft, 110);
        EXPECT_EQ(p[0]->boxBottom, 220);
    }
    EXPECT_EQ(first[0]->zOrder, 2);
    EXPECT_EQ(second[0]->zOrder, 3);
    EXPECT_EQ(third[0]->zOrder, 4);
    EXPECT_EQ(first[0]->actionId, actions);
    EXPECT_EQ(third[0]->actionId, actions + 2);
    EXPECT_TRUE(isSelected(third[0]));
    EXPECT_FALSE(isSelected(second[0]));
    EXPECT_FALSE(isSelected(a));
    // Each paste is one step.
    ASSERT_TRUE(undo(doc));
    EXPECT_TRUE(third[0]->hidden);
    EXPECT_FALSE(second[0]->hidden);
    ASSERT_TRUE(undo(doc));
    ASSERT_TRUE(undo(doc));
    EXPECT_TRUE(first[0]->hidden);
    EXPECT_FALSE(a->hidden);
    ASSERT_TRUE(redo(doc));
    EXPECT_FALSE(first[0]->hidden);
}

TEST_F(Clipboard, PastedItemsComeInFrontInTheirOrder)
{
    std::vector<item_t*> items;
    for (int i = 0; i < 10; ++i) items.push_back(draw(doc, typeLine, i, i));
    auto pasted = copyAndPaste({items[6], items[2]});  // zOrder 7 and 3
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(pasted[0]->x1, 12);  // the one at 3 first
    EXPECT_EQ(pasted[0]->zOrder, 11);
    EXPECT_EQ(pasted[1]->x1, 16);
    EXPECT_EQ(pasted[1]->zOrder, 12);
}

TEST_F(Clipboard, PastedGroupGetsANewIdAndNoHandle)
{
    std::vector<item_t*> members;
    for (int i = 0; i < 3; ++i) members.push_back(draw(doc, typeRectangle, 10 * i, 0));
    selectItems(doc, members);
    item_t* h = joinItems(doc);
    ASSERT_NE(h, nullptr);
    item_t* other = draw(doc, typeLine, 0, 0);
    other->groupId = 4;  // the document's next group id is 5
    noteIds(doc, other);
    std::vector<item_t*> sel;
    for (item_t* it = doc.head; it; it = it->next)
        if (!it->hidden && it->groupId == h->groupId) sel.push_back(it);
    ASSERT_EQ(sel.size(), 4u);
    selectItems(doc, sel);
    copySelection(doc, clip);
    EXPECT_EQ(countType(clip, typeGroupHandle, false), 1);
    for (const item_t* it = clip.head; it; it = it->next)
        if (it->kind == kindItem) {
            EXPECT_EQ(it->groupId, 1);
        }
    auto pasted = pasteClipboard(doc, clip);
    ASSERT_EQ(pasted.size(), 3u);
    for (const item_t* p : pasted) {
        EXPECT_EQ(p->itemType, typeRectangle);
        EXPECT_EQ(p->groupId, 1 + 5);
    }
    EXPECT_EQ(countType(doc, typeGroupHandle, true), 1);
}

TEST_F(Clipboard, PictureDataIsCopiedOnce)
{
    pictureData(doc, 77);
    item_t* p1 = drawPicture(doc, 77);
    item_t* p2 = drawPicture(doc, 77, 50, 50);
    selectItems(doc, {p1, p2});
    copySelection(doc, clip);
    EXPECT_EQ(countType(clip, typePicture, false), 2);
    int32_t data = 0;
    for (const item_t* it = clip.head; it; it = it->next) data += it->kind == kindPictureData;
    EXPECT_EQ(data, 1);

    pasteClipboard(doc, clip);
    pasteClipboard(doc, clip);
    int32_t inDoc = 0;
    for (const item_t* it = doc.head; it; it = it->next) inDoc += it->kind == kindPictureData;
    EXPECT_EQ(inDoc, 1);

    itemList_t second;
    newDoc(second);
    auto pasted = pasteClipboard(second, clip);
    EXPECT_EQ(pasted.size(), 2u);
    int32_t inSecond = 0;
    for (const item_t* it = second.head; it; it = it->next) inSecond += it->kind == kindPictureData;
    EXPECT_EQ(inSecond, 1);
    EXPECT_NE(findPictureData(second, 77), nullptr);
    // Undo and redo of a paste that brought picture data along.
    ASSERT_TRUE(undo(second));
    EXPECT_TRUE(pasted[0]->hidden && pasted[1]->hidden);
    ASSERT_TRUE(redo(second));
    EXPECT_FALSE(pasted[0]->hidden || pasted[1]->hidden);
    expectTablesConsistent(second);
    freeList(second);
}

TEST_F(Clipboard, CutThenPastePastesThePreviousClipboard)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    item_t* b = draw(doc, typeRectangle, 300, 300);
    selectItems(doc, {a});
    copySelection(doc, clip);
    selectItems(doc, {b});
    eraseSelection(doc);
    auto pasted = pasteClipboard(doc, clip);
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(pasted[0]->itemType, typeLine);
    EXPECT_EQ(pasted[0]->x1, 10);
}

TEST_F(Clipboard, PasteMovesPointsControlPointsAndTheirSavedCopies)
{
    item_t* s = draw(doc, typeSpline, 0, 0);
    pointPayload_t p{};
    p.x = 5;
    p.y = 6;
    p.savedX = 5;
    p.c1x = 7;
    p.savedC2y = 8;
    addPoint(s, p);
    addPoint(s, 40, 30);
    auto pasted = copyAndPaste({s});
    ASSERT_EQ(pasted.size(), 1u);
    const pointNode_t* n = pasted[0]->points.head;
    EXPECT_EQ(n->p.x, 15);
    EXPECT_EQ(n->p.y, 16);
    EXPECT_EQ(n->p.savedX, 15);
    EXPECT_EQ(n->p.c1x, 17);
    EXPECT_EQ(n->p.savedC2y, 18);
    EXPECT_EQ(n->next->p.x, 50);
    EXPECT_LE(pasted[0]->boxLeft, 15);
    EXPECT_GE(pasted[0]->boxRight, 50);
}

TEST_F(Clipboard, NothingHappensWithoutHeadersOrItems)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    EXPECT_FALSE(clipboardHasItems(clip));
    EXPECT_TRUE(pasteClipboard(doc, clip).empty());

    itemList_t bare;  // a list without a header
    item_t* loose = draw(bare, typeLine, 0, 0);
    selectItems(bare, {loose});
    copySelection(bare, clip);
    EXPECT_EQ(clip.head, nullptr);
    freeList(bare);

    selectItems(doc, {a});
    copySelection(doc, clip);
    itemList_t noHeader;
    EXPECT_TRUE(pasteClipboard(noHeader, clip).empty());
    EXPECT_EQ(noHeader.head, nullptr);

    // A clipboard whose items are all hidden or being edited holds nothing.
    for (item_t* it = clip.head; it; it = it->next)
        if (it->kind == kindItem) it->editing = 1;
    EXPECT_FALSE(clipboardHasItems(clip));
}

TEST_F(Clipboard, TheDocumentIsNeverItsOwnClipboard)
{
    item_t* a = draw(doc, typeLine, 0, 0);
    selectItems(doc, {a});
    const int32_t before = countItems(doc);
    copySelection(doc, doc);
    EXPECT_EQ(countItems(doc), before);
    EXPECT_TRUE(pasteClipboard(doc, doc).empty());
    EXPECT_EQ(countItems(doc), before);
}

TEST_F(Clipboard, ProgramClipboardIsOneList)
{
    EXPECT_EQ(&clipboardList(), &clipboardList());
    item_t* a = draw(doc, typeLine, 0, 0);
    selectItems(doc, {a});
    copySelection(doc, clipboardList());
    EXPECT_TRUE(clipboardHasItems());
    freeList(clipboardList());
    EXPECT_FALSE(clipboardHasItems());
}

TEST_F(Clipboard, PlacingStartsAtTheMeanOfTheMidpoints)
{
    item_t* a = draw(doc, typeLine, 0, 0, 3, 3);    // midpoint (1.5 -> 2, 2)
    item_t* b = draw(doc, typeLine, 10, 10, 1, 1);  // midpoint (10.5 -> 10, 10)
    const pastePoint_t p = placingStart({a, b});
    EXPECT_EQ(p.x, 6);  // (2 + 10) / 2
    EXPECT_EQ(p.y, 6);
    EXPECT_EQ(placingStart({}).x, 0);
}

} // namespace
