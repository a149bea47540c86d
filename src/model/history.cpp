#include "model/history.h"

#include "geometry/shapes.h"

#include "model/groups.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/stacking.h"

#include <set>
#include <chrono>
#include <cstdio>
#include <unordered_map>

namespace model {

namespace {

void copyAnchors(const anchorList_t& from, anchorList_t& to)
{
    for (const anchorNode_t* a = from.head; a; a = a->next) {
        auto* n = new anchorNode_t(*a);
        appendNode(to, n);
    }
}

// Hides `it` and appends its successor for action `a`. The successor carries
// everything the item owns; for the grid-anchor record that includes the
// anchors, which a plain clone leaves behind.
item_t* supersede(itemList_t& list, item_t* it, int32_t a)
{
    item_t* v = cloneItem(list, it);
    if (it->itemType == typeGrid) {
        copyAnchors(it->anchorsX, v->anchorsX);
        copyAnchors(it->anchorsY, v->anchorsY);
    }
    it->hidden = 255;
    setSelected(list, it, false);
    freeNodes(it->marks);
    // zMove describes how the current successor was made; an older value
    // would replay a stacking move that this successor never made.
    it->zMove = 0;

    v->replacesStep = it->stepId;
    v->zOrder = it->zOrder;
    setUndoState(list, v, stateDone);
    v->actionId = a;
    noteIds(list, v);
    return v;
}

// The record an undo shows again or a redo hides again. A grid-anchor record
// without one falls back to the first grid record, never to itself.
item_t* predecessor(itemList_t& list, const item_t* s)
{
    item_t* p = s->replacesStep > 0 ? findStep(list, s->replacesStep) : nullptr;
    if (!p && s->itemType == typeGrid) p = findByType(list, typeGrid);
    return p == s ? nullptr : p;
}

// Counts, in one walk, the kind 0 records that use each of the given picture ids.
std::unordered_map<int32_t, int32_t> pictureUsers(const itemList_t& list, const std::unordered_map<int32_t, int32_t>& wanted)
{
    std::unordered_map<int32_t, int32_t> n = wanted;
    for (auto& [id, c] : n) c = 0;
    if (n.empty()) return n;
    for (const item_t* it = list.head; it; it = it->next) {
        if (it->kind != kindItem) continue;
        auto f = n.find(it->pictureId);
        if (f != n.end()) ++f->second;
    }
    return n;
}

// The picture data record to delete with picture item `r`: the one it shows
// when no other kind 0 record uses that picture. Counts `r` out of the users.
item_t* orphanedPicture(itemList_t& list, const item_t* r, std::unordered_map<int32_t, int32_t>& users)
{
    if (r->itemType != typePicture) return nullptr;
    auto f = users.find(r->pictureId);
    if (f == users.end()) return nullptr;
    item_t* data = f->second < 2 ? findPictureData(list, r->pictureId) : nullptr;
    --f->second;
    return data;
}

int32_t restack(itemList_t& list, bool toBack)
{
    const std::vector<item_t*> sel = collectSelected(list);
    if (sel.empty()) return 0;
    dropRedo(list);
    const int32_t a = nextActionId(list);
    int32_t moved = 0;
    for (item_t* it : sel) {
        if (!isStackable(it)) continue;
        item_t* v = supersede(list, it, a);
        it->zMove = toBack ? zMovedToBack : zMovedToFront;
        setSelected(list, v, true);
        if (toBack) moveToBack(list, v); else moveToFront(list, v);
        ++moved;
    }
    return moved;
}

} // namespace

std::vector<item_t*> beginEdit(itemList_t& list)
{
    const std::vector<item_t*> sel = collectSelected(list);
    if (sel.empty()) return {};
    dropRedo(list);
    const int32_t a = nextActionId(list);
    std::vector<item_t*> out;
    out.reserve(sel.size());
    for (item_t* it : sel) {
        item_t* v = supersede(list, it, a);
        setSelected(list, v, true);
        v->refX1 = it->x1;
        v->refY1 = it->y1;
        v->refX2 = it->x2;
        v->refY2 = it->y2;
        v->rotationStart = it->rotation;
        geometry::savePoints(v->points);
        out.push_back(v);
    }
    return out;
}

item_t* newVersionInAction(itemList_t& list, item_t* it, int32_t actionId)
{
    item_t* v = supersede(list, it, actionId);
    v->refX1 = it->x1;
    v->refY1 = it->y1;
    v->refX2 = it->x2;
    v->refY2 = it->y2;
    v->rotationStart = it->rotation;
    geometry::savePoints(v->points);
    return v;
}

void recordNew(itemList_t& list, item_t* item)
{
    if (!item) return;
    dropRedo(list);
    setUndoState(list, item, stateDone);
    item->replacesStep = 0;
    item->actionId = nextActionId(list);
    item->zOrder = maxZOrder(list) + 1;
    noteIds(list, item);
}

int32_t eraseSelection(itemList_t& list)
{
    const std::vector<item_t*> sel = collectSelected(list);
    if (sel.empty()) return 0;
    dropRedo(list);
    const int32_t a = nextActionId(list);
    int32_t erased = 0;
    for (item_t* it : sel) {
        if (!isStackable(it)) continue;
        item_t* v = supersede(list, it, a);
        v->itemType = typeDeletionMarker;
        ++erased;
    }
    deselectAll(list);
    return erased;
}

int32_t sendToBack(itemList_t& list) { return restack(list, true); }
int32_t bringToFront(itemList_t& list) { return restack(list, false); }

item_t* beginGridEdit(itemList_t& list)
{
    item_t* grid = findVisibleByType(list, typeGrid);
    if (!grid) return nullptr;
    dropRedo(list);
    return supersede(list, grid, nextActionId(list));
}

bool undo(itemList_t& list)
{
    deselectAll(list);
    int32_t id = topStepInState(list, stateDone);
    if (!id) return false;
    item_t* s = findStep(list, id);
    const int32_t a = s->actionId;
    for (;;) {
        releaseCaches(s);
        if (s->undoState != stateCommitted) setUndoState(list, s, stateUndone);
        s->hidden = s->hidden ? 0 : 255;
        if (s->hidden) {
            if (item_t* p = predecessor(list, s)) {
                repairStackingOnUndo(list, p);
                p->hidden = 0;
            }
        }
        id = topStepInState(list, stateDone);
        if (!id) break;
        s = findStep(list, id);
        if (a == 0 || s->actionId != a) break;
    }
    return true;
}

bool redo(itemList_t& list)
{
    deselectAll(list);
    // The earliest undone record is the one after the last done (or
    // committed) record, whatever gaps the step ids may have.
    int32_t id = bottomStepInState(list, stateUndone);
    if (!id) return false;
    item_t* r = findStep(list, id);
    const int32_t a = r->actionId;
    for (;;) {
        releaseCaches(r);
        if (r->undoState != stateCommitted) setUndoState(list, r, stateDone);
        r->hidden = r->hidden ? 0 : 255;
        if (!r->hidden) {
            if (item_t* p = predecessor(list, r)) {
                p->hidden = 255;
                setSelected(list, p, false);
                repairStackingOnRedo(list, p, r);
            }
        }
        id = bottomStepInState(list, stateUndone);
        if (!id) break;
        r = findStep(list, id);
        if (a == 0 || r->actionId != a) break;
    }
    return true;
}

void dropRedo(itemList_t& list)
{
    if (!topStepInState(list, stateUndone)) return;
    std::unordered_map<int32_t, int32_t> wanted;
    const auto& undoneSet = historyIndex(list).byState[stateUndone];
    const std::vector<int32_t> undone(undoneSet.begin(), undoneSet.end());
    for (int32_t id : undone) {
        const item_t* r = findStep(list, id);
        if (r && r->itemType == typePicture) wanted.emplace(r->pictureId, 0);
    }
    auto users = pictureUsers(list, wanted);
    while (int32_t id = bottomStepInState(list, stateUndone)) {
        item_t* r = findStep(list, id);
        deleteItem(list, orphanedPicture(list, r, users));
        deleteItem(list, r);
    }
}

void clearHistory(itemList_t& list)
{
    dropRedo(list);
    auto doomed = [](const item_t* it) {
        if (it->hidden || it->itemType == typeDeletionMarker) return true;
        return it->itemType == typeText && textLength(it) == 0;
    };
    // The records in list order, from the tables' array (reading a long list
    // that way is several times faster than following its links); the walk
    // below deletes and renumbers most records, so the tables go first.
    std::vector<item_t*> records = takeRecordsInOrder(list);

    // A picture's data goes with its last user. Only the records that stay
    // count as users: a deletion marker carries the erased picture's id too.
    // The data records of each picture id, first in list order first.
    std::unordered_map<int32_t, int32_t> keptUsers;
    std::unordered_map<int32_t, std::vector<size_t>> dataAt;
    for (size_t i = 0; i < records.size(); ++i) {
        const item_t* it = records[i];
        if (it->kind == kindPictureData) dataAt[it->pictureId].push_back(i);
        else if (it->kind == kindItem && it->itemType == typePicture && doomed(it)) keptUsers.emplace(it->pictureId, 0);
    }
    if (!keptUsers.empty())
        for (const item_t* it : records) {
            if (it->kind != kindItem || doomed(it)) continue;
            auto f = keptUsers.find(it->pictureId);
            if (f != keptUsers.end()) ++f->second;
        }

    std::vector<item_t*> kept;
    int32_t counter = 0;
    for (item_t*& it : records) {
        if (!it || it->kind != kindItem) continue;
        if (!doomed(it)) {
            it->undoState = stateCommitted;
            it->replacesStep = 0;
            it->stepId = ++counter;
            kept.push_back(it);
            continue;
        }
        if (it->itemType == typePicture && keptUsers[it->pictureId] == 0) {
            auto d = dataAt.find(it->pictureId);
            if (d != dataAt.end() && !d->second.empty()) {
                item_t*& data = records[d->second.front()];
                d->second.erase(d->second.begin());
                deleteItem(list, data);
                data = nullptr;
            }
        }
        deleteItem(list, it);
        it = nullptr;
    }
    invalidateIds(list);
    compactGroupIds(list, kept);
}

bool canUndo(itemList_t& list) { return topStepInState(list, stateDone) != 0; }
bool canRedo(itemList_t& list) { return topStepInState(list, stateUndone) != 0; }

} // namespace model
