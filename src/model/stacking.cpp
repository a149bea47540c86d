#include "model/stacking.h"

#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <algorithm>
#include <vector>

namespace model {

namespace {

// A stacking position and the record there.
struct occupant_t {
    int32_t z;
    item_t* item;
};

// For every stacking position in [lo, hi], the record itemAtZ would find there
// (the first visible kind 0 record in list order, `skip` left out), taken in
// one walk, by increasing position. Moves that visit the positions one by one
// in a direction that never revisits a changed position see exactly these
// records.
std::vector<occupant_t> occupants(itemList_t& list, int64_t lo, int64_t hi, const item_t* skip)
{
    std::vector<occupant_t> at;
    if (lo > hi) return at;
    historyIndex(list);  // its list-order array makes the walk several times faster
    forEachInOrder(list, [&](item_t* it) {
        if (it->kind != kindItem || it->hidden || it == skip) return;
        if (it->zOrder < lo || it->zOrder > hi) return;
        at.push_back({it->zOrder, it});
    });
    // By position; of the records at one position the first in list order stays.
    std::stable_sort(at.begin(), at.end(), [](const occupant_t& a, const occupant_t& b) { return a.z < b.z; });
    at.erase(std::unique(at.begin(), at.end(), [](const occupant_t& a, const occupant_t& b) { return a.z == b.z; }),
             at.end());
    return at;
}

// Sets a zOrder and keeps the list's cached maximum right.
void setZ(itemList_t& list, item_t* it, int32_t z)
{
    const int32_t old = it->zOrder;
    it->zOrder = z;
    if (list.index) {
        noteZOrder(list, it);  // exact in both directions while the history tables exist
    } else if (z > old) {
        if (list.ids.valid && z > list.ids.maxZOrder) noteIds(list, it);
    } else if (z < old && list.ids.valid && old >= list.ids.maxZOrder) {
        invalidateIds(list);
    }
}

// Each occupant moves by `delta`, visiting positions upwards or downwards.
void shift(itemList_t& list, std::vector<occupant_t>& at, int32_t delta, bool upwards)
{
    if (upwards) {
        for (const occupant_t& o : at) setZ(list, o.item, o.z + delta);
    } else {
        for (auto i = at.rbegin(); i != at.rend(); ++i) setZ(list, i->item, i->z + delta);
    }
}

} // namespace

void moveToBack(itemList_t& list, item_t* item)
{
    if (!item || !list.head) return;
    auto at = occupants(list, 1, int64_t(item->zOrder) - 1, nullptr);
    shift(list, at, +1, false);
    setZ(list, item, 1);
}

void moveToFront(itemList_t& list, item_t* item)
{
    if (!item || !list.head) return;
    const int32_t m = maxZOrder(list);
    auto at = occupants(list, int64_t(item->zOrder) + 1, m, nullptr);
    shift(list, at, -1, true);
    setZ(list, item, m);
}

void repairStackingOnUndo(itemList_t& list, const item_t* p)
{
    if (p->zMove == zMovedToFront) {
        const int32_t m = maxZOrder(list);
        auto at = occupants(list, p->zOrder, int64_t(m) - 1, nullptr);
        shift(list, at, +1, false);
    } else if (p->zMove == zMovedToBack && p->zOrder >= 2) {
        auto at = occupants(list, 2, p->zOrder, nullptr);
        shift(list, at, -1, true);
    }
}

void repairStackingOnRedo(itemList_t& list, const item_t* p, const item_t* r)
{
    if (p->zMove == zMovedToFront) {
        const int32_t m = maxZOrder(list);
        auto at = occupants(list, int64_t(p->zOrder) + 1, m, r);
        shift(list, at, -1, true);
    } else if (p->zMove == zMovedToBack) {
        auto at = occupants(list, 1, int64_t(p->zOrder) - 1, r);
        shift(list, at, +1, false);
    }
}

} // namespace model
