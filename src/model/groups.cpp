#include "model/groups.h"

#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <cmath>
#include <map>
#include <set>
#include <unordered_map>

namespace model {

int32_t nextGroupId(itemList_t& list) { return maxGroupId(list) + 1; }

void compactGroupIds(itemList_t& list)
{
    std::vector<item_t*> records;
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == kindItem) records.push_back(it);
    compactGroupIds(list, records);
}

void compactGroupIds(itemList_t& list, const std::vector<item_t*>& records)
{
    // Work out the renames on the set of ids in use, then apply them in one walk;
    // the result is that of renaming record by record.
    std::set<int32_t> used;
    for (const item_t* it : records)
        if (it->kind == kindItem && it->groupId > 0) used.insert(it->groupId);
    std::map<int32_t, int32_t> origin;  // current id -> the id it had at the start
    for (int32_t g : used) origin[g] = g;
    int32_t gapFrom = 1;
    for (;;) {
        if (used.empty()) break;
        const int32_t m = *used.rbegin();
        if (m <= 1) break;
        while (gapFrom < m && used.count(gapFrom)) ++gapFrom;
        if (gapFrom >= m) break;
        used.erase(m);
        used.insert(gapFrom);
        origin[gapFrom] = origin[m];
        origin.erase(m);
    }
    std::unordered_map<int32_t, int32_t> to;
    for (auto [now, was] : origin)
        if (now != was) to[was] = now;
    if (to.empty()) return;
    for (item_t* it : records) {
        if (it->kind != kindItem) continue;
        auto f = to.find(it->groupId);
        if (f != to.end()) it->groupId = f->second;
    }
    invalidateIds(list);
}

groupPoint_t groupCentre(itemList_t& list, int32_t id)
{
    double sx = 0, sy = 0;
    int32_t n = 0;
    for (const item_t* it : collectSelected(list)) {
        if (it->groupId != id || it->itemType == typeGroupHandle) continue;
        sx += double(it->x1) + it->x2;
        sy += double(it->y1) + it->y2;
        ++n;
    }
    if (n == 0) return {};
    return {roundHalfEven(sx / (2.0 * n)), roundHalfEven(sy / (2.0 * n))};
}

int32_t countSelectionUnits(itemList_t& list, bool groupsAsOne)
{
    const auto sel = collectSelected(list);
    if (!groupsAsOne) return int32_t(sel.size());
    std::set<int32_t> groups;
    int32_t n = 0;
    for (const item_t* it : sel) {
        if (it->groupId > 0) groups.insert(it->groupId);
        else ++n;
    }
    return n + int32_t(groups.size());
}

bool selectionHasGroup(itemList_t& list)
{
    for (const item_t* it : collectSelected(list))
        if (it->groupId > 0) return true;
    return false;
}

item_t* joinItems(itemList_t& list)
{
    const auto vs = beginEdit(list);
    if (vs.empty()) return nullptr;
    const int32_t g = nextGroupId(list);
    const item_t* first = nullptr;
    for (const item_t* v : vs)
        if (v->itemType != typeGroupHandle) { first = v; break; }
    if (!first) return nullptr;
    const int32_t b = first->actionId;
    for (item_t* v : vs) {
        v->groupId = g;
        noteIds(list, v);
        if (v->itemType == typeGroupHandle) {
            // The old handle is superseded by a deletion marker; a marker is
            // never shown, so it leaves the selection and the centre alone.
            v->itemType = typeDeletionMarker;
            setSelected(list, v, false);
        }
    }
    const groupPoint_t c = groupCentre(list, g);
    item_t* h = newItem(list, typeGroupHandle);
    h->groupId = g;
    h->actionId = b;
    h->x1 = h->x2 = h->refX1 = h->refX2 = c.x;
    h->y1 = h->y2 = h->refY1 = h->refY2 = c.y;
    h->boxLeft = h->boxRight = c.x;
    h->boxTop = h->boxBottom = c.y;
    h->boxWidth = h->boxHeight = h->diagonal = 0;
    h->angle = 0.0;
    computeMeasure(h);
    setSelected(list, h, true);
    noteIds(list, h);
    return h;
}

int32_t splitGroup(itemList_t& list)
{
    const auto vs = beginEdit(list);
    for (item_t* v : vs) {
        v->groupId = 0;
        noteIds(list, v);
        if (v->itemType == typeGroupHandle) v->itemType = typeDeletionMarker;
    }
    deselectAll(list);
    return int32_t(vs.size());
}

} // namespace model
