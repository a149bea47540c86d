// The item list: defaults of new records, cloning, ids and their caches,
// selection, the modified flag and the text buffer.
#include "model/itemlist.h"
#include "model/history.h"
#include "model/metrics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace model;

namespace {

struct listFixture : ::testing::Test {
    itemList_t l;
    void TearDown() override { freeList(l); }
    item_t* header()
    {
        item_t* h = newItem(l, typeHeader);
        h->kind = kindHeader;
        invalidateIds(l);
        return h;
    }
};

using ItemList2 = listFixture;

} // namespace

TEST_F(ItemList2, NewRecordDefaults)
{
    item_t* it = newItem(l, typeStar);
    const struct {
        const char* name;
        double got, want;
    } cases[] = {
        {"kind", double(it->kind), 0},          {"itemType", double(it->itemType), typeStar},
        {"docNumber", double(it->docNumber), -1}, {"magic", double(it->magic), recordMagic},
        {"reserved116", double(it->reserved116), 0x00FFFFFF}, {"reserved189", double(it->reserved189), 0x00FFFFFF},
        {"penWidthPx", double(it->penWidthPx), 1}, {"fontSize", double(it->fontSize), 12},
        {"fontWeight", double(it->fontWeight), 400}, {"justification", double(it->justification), 1},
        {"fillColor", double(it->fillColor), -2}, {"direction", it->direction, -1.0},
        {"undoState", double(it->undoState), 1},  {"stepId", double(it->stepId), 1},
        {"roundness", it->roundness, 0.27614237}, {"scaleX", it->scaleX, 1.0}, {"scaleY", it->scaleY, 1.0},
        {"baseScale", it->baseScale, 1.0},        {"flipX", double(it->flipX), 1}, {"flipY", double(it->flipY), 1},
        {"angle", it->angle, 0.0},                {"zOrder", double(it->zOrder), 0},
        {"lineColor", double(it->lineColor), 0},  {"actionId", double(it->actionId), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
    EXPECT_EQ(fontNameOf(it), "Arial");
    for (uint8_t b : it->reserved418) EXPECT_EQ(b, 0);
    EXPECT_EQ(textLength(it), 0);
    EXPECT_FALSE(it->stream);
}

TEST_F(ItemList2, HeaderDoesNotMarkModifiedButEveryOtherRecordDoes)
{
    item_t* h = header();
    EXPECT_FALSE(isModified(l));
    h->hdr().modified = 0;
    newItem(l, typeGrid);
    EXPECT_TRUE(isModified(l));
    setModified(l, false);
    EXPECT_FALSE(isModified(l));
    itemList_t bare;
    setModified(bare, true);  // nothing without a header
    EXPECT_FALSE(isModified(bare));
}

TEST_F(ItemList2, StepIdsCountOnlyKindZeroRecords)
{
    header();
    item_t* a = newItem(l, typeLine);
    EXPECT_EQ(a->stepId, 1);
    item_t* p = newItem(l, -1);
    p->kind = kindPattern;
    p->stepId = 900;
    invalidateIds(l);
    EXPECT_EQ(newItem(l, typeLine)->stepId, 2);
    EXPECT_TRUE(idCacheConsistent(l));
}

TEST_F(ItemList2, IdCachesFollowDeleteCloneAndNotes)
{
    item_t* a = newItem(l, typeLine);
    item_t* b = newItem(l, typeLine);
    b->zOrder = 5;
    b->actionId = 9;
    b->groupId = 3;
    noteIds(l, b);
    EXPECT_EQ(maxZOrder(l), 5);
    EXPECT_EQ(nextActionId(l), 10);
    item_t* c = cloneItem(l, b);
    EXPECT_EQ(c->zOrder, 5);
    EXPECT_EQ(c->actionId, 0) << "not copied";
    EXPECT_EQ(c->stepId, 3);
    deleteItem(l, b);
    EXPECT_TRUE(idCacheConsistent(l));
    EXPECT_EQ(nextActionId(l), 1) << "the only record with an action is gone";
    EXPECT_EQ(maxZOrder(l), 5) << "the clone still holds it";
    deleteItem(l, c);
    EXPECT_EQ(nextStepId(l), 2);
    EXPECT_EQ(maxGroupId(l), 0);
    a->stepId = 1;
    EXPECT_TRUE(idCacheConsistent(l));
}

TEST_F(ItemList2, ItemAtZSkipsHiddenVersions)
{
    item_t* old = newItem(l, typeLine);
    old->zOrder = 4;
    old->hidden = 255;
    EXPECT_EQ(itemAtZ(l, 4), nullptr);
    item_t* now = newItem(l, typeLine);
    now->zOrder = 4;
    EXPECT_EQ(itemAtZ(l, 4), now);
}

TEST_F(ItemList2, IsPristine)
{
    EXPECT_FALSE(isPristine(l)) << "no header";
    header();
    newItem(l, typeGrid);
    setModified(l, false);
    EXPECT_TRUE(isPristine(l));
    newItem(l, typeLine);
    setModified(l, false);
    EXPECT_TRUE(isPristine(l)) << "a single further record";
    newItem(l, typeLine);
    setModified(l, false);
    EXPECT_FALSE(isPristine(l)) << "a fourth record";
    deleteItem(l, l.tail);
    setModified(l, true);
    EXPECT_FALSE(isPristine(l)) << "modified";
}

TEST_F(ItemList2, CloneCopiesListedFieldsAndRecomputesMeasures)
{
    item_t* s = newItem(l, typePicture);
    for (int i = 0; i < recordSize; ++i) s->bodyBytes()[i] = uint8_t(i * 7 + 3);
    s->kind = kindItem;
    s->itemType = typePicture;
    s->fontName[0] = 40;  // too long: the copy keeps 32 characters
    setText(s, u"caption");
    auto* tag = new tagNode_t;
    tag->tag = 77;
    appendNode(s->tags, tag);
    addPoint(s, 3, 4)->p.flags[1] = 9;
    s->stream = std::make_unique<std::vector<uint8_t>>(std::vector<uint8_t>{1, 2});
    s->cacheHeld = true;
    invalidateIds(l);

    item_t* c = cloneItem(l, s);
    // Unchanged copies.
    EXPECT_EQ(std::memcmp(c->bodyBytes() + 8, s->bodyBytes() + 8, 64), 0) << "offsets 8..71";
    EXPECT_EQ(std::memcmp(c->bodyBytes() + 104, s->bodyBytes() + 104, 12), 0) << "angle, blobLength";
    EXPECT_EQ(std::memcmp(c->bodyBytes() + 120, s->bodyBytes() + 120, 28), 0) << "120..147";
    EXPECT_EQ(std::memcmp(c->bodyBytes() + 149, s->bodyBytes() + 149, 80), 0) << "fontName characters .. 228";
    EXPECT_EQ(std::memcmp(c->bodyBytes() + 249, s->bodyBytes() + 249, 84), 0) << "sides .. rotation";
    EXPECT_EQ(std::memcmp(c->bodyBytes() + 341, s->bodyBytes() + 341, 77), 0) << "saturation .. surface";
    EXPECT_EQ(c->fontName[0], 32);
    // Recomputed and not copied.
    EXPECT_DOUBLE_EQ(c->mx1, c->x1 * screen().pxPerMmX);
    EXPECT_EQ(c->undoState, 1);
    EXPECT_EQ(c->actionId, 0);
    EXPECT_EQ(c->replacesStep, 0);
    EXPECT_EQ(c->zMove, 0);
    EXPECT_EQ(c->reserved116, 0x00FFFFFF);
    EXPECT_EQ(c->rotationStart, 0.0);
    for (uint8_t b : c->reserved418) EXPECT_EQ(b, 0);
    // Lists, text, stream; the copy takes over what caches hold of the source.
    EXPECT_EQ(getText(c), u"caption");
    ASSERT_NE(c->tags.head, nullptr);
    EXPECT_EQ(c->tags.head->tag, 77);
    ASSERT_EQ(countNodes(c->points), 1);
    EXPECT_EQ(c->points.head->p.flags[1], 9);
    ASSERT_TRUE(c->stream);
    EXPECT_EQ(*c->stream, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(c->cacheSerial, s->cacheSerial);
    EXPECT_TRUE(c->cacheHeld);
    EXPECT_FALSE(s->cacheHeld) << "freeing the superseded source must not drop the copy's cache";
    EXPECT_EQ(cloneItem(l, nullptr), nullptr);
}

TEST_F(ItemList2, FindAndSelect)
{
    item_t* a = newItem(l, typeLine);
    a->hidden = 255;
    item_t* b = newItem(l, typeLine);
    EXPECT_EQ(findByType(l, typeLine), a);
    EXPECT_EQ(findVisibleByType(l, typeLine), b);
    selectOnly(l, b);
    EXPECT_EQ(singleSelected(l), b);
    item_t* c = newItem(l, typeLine);
    c->selected = 255;
    EXPECT_EQ(firstSelected(l), b);
    EXPECT_EQ(singleSelected(l), nullptr);
    item_t* p = newItem(l, -1);
    p->kind = kindPattern;
    selectLast(l);
    EXPECT_EQ(singleSelected(l), c) << "records of other kinds at the tail are skipped";
    c->editing = 1;
    selectLast(l);
    EXPECT_EQ(firstSelected(l), nullptr) << "an editing record is never selected";
    EXPECT_FALSE(isSelected(nullptr));
}

TEST_F(ItemList2, PatternIdsAndPictures)
{
    EXPECT_EQ(nextPatternId(l), -1);
    for (int32_t id : {-1, -2}) {
        item_t* p = newItem(l, id);
        p->kind = kindPattern;
    }
    EXPECT_EQ(nextPatternId(l), -3);
    item_t* data = newItem(l, typePictureData);
    data->kind = kindPictureData;
    data->pictureId = 17;
    item_t* pic = newItem(l, typePicture);
    pic->pictureId = 17;
    EXPECT_EQ(findPictureData(l, 17), data);
    pic->hidden = 255;
    EXPECT_EQ(findPictureData(l, 17), data) << "found whether or not a picture shows it";
    const itemList_t* lists[] = {&l};
    for (int i = 0; i < 50; ++i) {
        const int32_t id = newPictureId({lists, 1});
        EXPECT_GE(id, 1);
        EXPECT_LE(id, 2147483646);
        EXPECT_NE(id, 17);
    }
}

// Picture data is found through a table the lookups fill; after every kind
// of change to the list the answer stays that of a walk: the first data
// record of the id in list order, or none.
TEST_F(ItemList2, PictureDataLookupFollowsTheList)
{
    auto walked = [](const itemList_t& list, int32_t id) -> item_t* {
        for (item_t* it = list.head; it; it = it->next)
            if (it->kind == kindPictureData && it->pictureId == id) return it;
        return nullptr;
    };
    auto data = [](itemList_t& list, int32_t id) {
        item_t* d = newItem(list, typePictureData);
        d->kind = kindPictureData;
        d->pictureId = id;
        return d;
    };
    auto picture = [](itemList_t& list, int32_t id) {
        item_t* p = newItem(list, typePicture);
        p->pictureId = id;
        recordNew(list, p);
        return p;
    };
    itemList_t other;
    item_t* first = nullptr;
    item_t* shown = nullptr;
    struct step_t {
        const char* what;
        std::function<void()> change;
    };
    const step_t steps[] = {
        {"data for two pictures", [&] { first = data(l, 1), data(l, 2); }},
        {"a later record of the same id", [&] { data(l, 1); }},
        {"the first one deleted: the later one", [&] { deleteItem(l, first); }},
        {"a picture and its data made after the table was filled", [&] { data(l, 3), shown = picture(l, 3); }},
        {"a data record given another id", [&] { findPictureData(l, 2)->pictureId = 4; }},
        {"a data record turned into something else", [&] { findPictureData(l, 4)->kind = kindItem; invalidateIds(l); }},
        {"the picture erased and the erasure undone",
         [&] {
             selectOnly(l, shown);
             eraseSelection(l);
             undo(l);
         }},
        {"the erasure redone and dropped with its data",
         [&] {
             redo(l);
             clearHistory(l);
         }},
        {"every record moved to another list", [&] { moveList(l, other); }},
        {"data in the emptied list again", [&] { data(l, 3); }},
        {"the other list emptied record by record", [&] { while (other.head) deleteItem(other, other.head); }},
        {"data in it again", [&] { data(other, 1); }},
    };
    for (const step_t& s : steps) {
        s.change();
        for (const itemList_t* list : {static_cast<const itemList_t*>(&l), static_cast<const itemList_t*>(&other)})
            for (int32_t id : {1, 2, 3, 4, 99})
                EXPECT_EQ(findPictureData(*list, id), walked(*list, id)) << s.what << ", picture " << id;
    }
    freeList(other);
}

TEST_F(ItemList2, TextLinesAndOffsets)
{
    item_t* t = newItem(l, typeText);
    const struct {
        std::u16string text;
        int32_t lines;
    } cases[] = {{u"", 0}, {u"a", 1}, {u"a\u07ECb", 2}, {u"a\u07EC", 2}, {u"\u07EC\u07EC", 3},
                 {u"a\u2028b", 1}, {std::u16string(u"\0a\u07ECb", 4), 0}, {std::u16string(u"x\0\u07ECb", 4), 1}};
    for (const auto& c : cases) {
        setText(t, c.text);
        EXPECT_EQ(textLineCount(t), c.lines) << c.text.size();
    }
    setText(t, u"ab\u07ECcdef\u07EC");
    EXPECT_EQ(textOffset(t, 0, 2), 3);
    EXPECT_EQ(textOffset(t, 3, 2), 6);
    EXPECT_EQ(textOffset(t, 0, 3), 8);
    EXPECT_EQ(textLength(t), 8);
    EXPECT_EQ(getText(t), u"ab\u07ECcdef\u07EC");
    setText(t, u"");
    EXPECT_EQ(textOffset(t, 5, 2), 0);
}

TEST_F(ItemList2, TextOperationsStopAtTheUnitLimit)
{
    item_t* t = newItem(l, typeText);
    setText(t, std::u16string(textUnitLimit + 10, u'q'));
    EXPECT_EQ(textLength(t), textUnitLimit);
    EXPECT_EQ(getText(t).size(), size_t(textUnitLimit));
}

TEST_F(ItemList2, FreeListEmptiesAndResetsTheCaches)
{
    for (int i = 0; i < 5; ++i) newItem(l, typeLine)->zOrder = i;
    invalidateIds(l);
    EXPECT_EQ(maxZOrder(l), 4);
    freeList(l);
    EXPECT_EQ(l.head, nullptr);
    EXPECT_EQ(l.tail, nullptr);
    EXPECT_EQ(maxZOrder(l), 0);
    EXPECT_EQ(newItem(l, typeLine)->stepId, 1);
}

TEST_F(ItemList2, HeaderLookupFollowsAppendDeleteAndMove)
{
    newItem(l, typeLine);
    EXPECT_EQ(findHeader(l), nullptr);
    item_t* h1 = header();
    item_t* h2 = newItem(l, typeHeader);
    EXPECT_EQ(findHeader(l), h1) << "the first header in list order";
    deleteItem(l, h1);
    EXPECT_EQ(findHeader(l), h2);
    itemList_t other;
    moveList(l, other);
    EXPECT_EQ(findHeader(other), h2);
    EXPECT_EQ(findHeader(l), nullptr);
    EXPECT_TRUE(idCacheConsistent(other));
    h2->itemType = typeLine;  // a type change is announced
    invalidateIds(other);
    EXPECT_EQ(findHeader(other), nullptr);
    freeList(other);
}
