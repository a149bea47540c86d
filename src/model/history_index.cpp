#include "model/history_index.h"

#include "model/itemlist.h"

#include <algorithm>

namespace model {

namespace {

bool stateIndexed(int32_t s) { return s >= 0 && s <= 2; }

void count(listIndex_t& x, const filedIds_t& f, int32_t delta)
{
    const int32_t v[4] = {f.stepId, f.actionId, f.zOrder, f.groupId};
    for (int k = 0; k < 4; ++k) {
        if (delta > 0) x.idCounts[k].add(v[k]);
        else x.idCounts[k].remove(v[k]);
    }
}

void unfileIds(listIndex_t& x, item_t* it)
{
    if (!it->idsFiled) return;
    count(x, it->indexedIds, -1);
    it->idsFiled = false;
}

void fileIds(listIndex_t& x, item_t* it)
{
    unfileIds(x, it);
    if (it->kind != kindItem) return;
    it->indexedIds = filedIds_t{it->stepId, it->actionId, it->zOrder, it->groupId};
    it->idsFiled = true;
    count(x, it->indexedIds, +1);
}

void place(listIndex_t& x, item_t* it)
{
    it->indexSlot = static_cast<int64_t>(x.order.size());
    x.order.push_back(it);
}

// Closes the gaps of the list-order array once they are half of it.
void compactOrder(listIndex_t& x)
{
    if (x.gaps < 1024 || x.gaps * 2 < x.order.size()) return;
    size_t n = 0;
    for (item_t* it : x.order)
        if (it) {
            it->indexSlot = static_cast<int64_t>(n);
            x.order[n++] = it;
        }
    x.order.resize(n);
    x.gaps = 0;
}

void file(listIndex_t& x, item_t* it)
{
    if (it->selected || it->marks.head) x.marked.insert(it);
    fileIds(x, it);
    if (it->kind != kindItem) return;
    auto [pos, inserted] = x.byStep.emplace(it->stepId, it);
    if (!inserted && pos->second != it) {
        // Keep the earlier record unless its entry went stale.
        const item_t* held = pos->second;
        if (held->kind != kindItem || held->stepId != it->stepId) pos->second = it;
        else return;
    }
    if (stateIndexed(it->undoState)) x.byState[it->undoState].insert(it->stepId);
}

listIndex_t* build(const itemList_t& list)
{
    auto* x = new listIndex_t;
    for (item_t* it = list.head; it; it = it->next) {
        // Whatever an earlier index left in the record is not this one's.
        it->idsFiled = false;
        place(*x, it);
        file(*x, it);
    }
    return x;
}

void rebuild(itemList_t& list)
{
    dropHistoryIndex(list);
    list.index = build(list);
}

// Looks at the extreme entry of a state set; an entry whose record changed
// behind the tables' back is moved to where it belongs, and a record whose
// stepId changed makes the tables rebuild once.
int32_t edgeStep(itemList_t& list, int32_t state, bool top)
{
    bool rebuilt = false;
    for (;;) {
        listIndex_t& x = historyIndex(list);
        auto& s = x.byState[state];
        if (s.empty()) return 0;
        const int32_t id = top ? *s.rbegin() : *s.begin();
        auto f = x.byStep.find(id);
        item_t* it = f == x.byStep.end() ? nullptr : f->second;
        if (it && it->kind == kindItem && it->stepId == id && it->undoState == state) return id;
        if (it && (it->kind != kindItem || it->stepId != id) && !rebuilt) {
            rebuild(list);
            rebuilt = true;
            continue;
        }
        s.erase(id);
        if (it && it->kind == kindItem && it->stepId == id && stateIndexed(it->undoState))
            x.byState[it->undoState].insert(id);
    }
}

} // namespace

void valueCounts_t::add(int32_t v)
{
    ++counts_[v];
    // While the largest is unknown, top_ bounds it from above.
    if (known_ ? v > top_ || counts_.size() == 1 : v >= top_) {
        top_ = v;
        known_ = true;
    }
}

void valueCounts_t::remove(int32_t v)
{
    auto i = counts_.find(v);
    if (i == counts_.end()) return;
    if (--i->second > 0) return;
    counts_.erase(i);
    if (!known_ || v != top_) return;
    // Ids and stacking positions are mostly dense: the next largest is
    // usually close below, and found without looking at every value.
    for (int64_t w = int64_t(v) - 1; w >= int64_t(v) - 64 && w >= INT32_MIN; --w)
        if (counts_.count(static_cast<int32_t>(w))) {
            top_ = static_cast<int32_t>(w);
            return;
        }
    known_ = false;
}

int32_t valueCounts_t::top() const
{
    if (!known_) {
        top_ = INT32_MIN;
        for (const auto& [v, n] : counts_) top_ = std::max(top_, v);
        known_ = true;
    }
    return top_;
}

idCache_t indexedIds(const listIndex_t& x)
{
    auto top = [&](int k) { return x.idCounts[k].empty() ? 0 : std::max(0, x.idCounts[k].top()); };
    idCache_t c;
    c.maxStepId = top(0);
    c.maxActionId = top(1);
    c.maxZOrder = top(2);
    c.maxGroupId = top(3);
    return c;
}

listIndex_t& historyIndex(itemList_t& list)
{
    if (!list.index) list.index = build(list);
    return *list.index;
}

void dropHistoryIndex(itemList_t& list)
{
    delete list.index;
    list.index = nullptr;
}

std::vector<item_t*> takeRecordsInOrder(itemList_t& list)
{
    std::vector<item_t*> out;
    if (list.index) {
        out = std::move(list.index->order);
        if (list.index->gaps) out.erase(std::remove(out.begin(), out.end(), nullptr), out.end());
    } else {
        for (item_t* it = list.head; it; it = it->next) out.push_back(it);
    }
    dropHistoryIndex(list);
    return out;
}

void indexPlace(itemList_t& list, item_t* item)
{
    if (!list.index || !item) return;
    item->idsFiled = false;
    place(*list.index, item);
}

void indexAppend(itemList_t& list, item_t* item)
{
    if (list.index && item) file(*list.index, item);
}

void indexUnlink(itemList_t& list, item_t* item)
{
    if (!list.index || !item) return;
    listIndex_t& x = *list.index;
    const int64_t slot = item->indexSlot;
    if (slot >= 0 && size_t(slot) < x.order.size() && x.order[size_t(slot)] == item) {
        x.order[size_t(slot)] = nullptr;
        ++x.gaps;
        compactOrder(x);
    }
    item->indexSlot = -1;
    indexUnfile(list, item);
}

void indexUnfile(itemList_t& list, item_t* item)
{
    if (!list.index || !item) return;
    listIndex_t& x = *list.index;
    x.marked.erase(item);
    unfileIds(x, item);
    auto f = x.byStep.find(item->stepId);
    if (f == x.byStep.end() || f->second != item) return;
    x.byStep.erase(f);
    if (stateIndexed(item->undoState)) x.byState[item->undoState].erase(item->stepId);
}

void noteZOrder(itemList_t& list, const item_t* item)
{
    if (!list.index) return noteIds(list, item);
    listIndex_t& x = *list.index;
    if (!item->idsFiled || item->kind != kindItem) return noteIds(list, item);
    item_t* it = const_cast<item_t*>(item);
    if (it->indexedIds.zOrder != it->zOrder) {
        x.idCounts[2].remove(it->indexedIds.zOrder);
        it->indexedIds.zOrder = it->zOrder;
        x.idCounts[2].add(it->zOrder);
    }
    if (list.ids.valid) list.ids = indexedIds(x);
}

void indexSelectOnly(itemList_t& list, item_t* item)
{
    if (!list.index) return;
    auto& marked = list.index->marked;
    for (auto i = marked.begin(); i != marked.end();) i = (*i)->marks.head ? std::next(i) : marked.erase(i);
    if (item && item->selected) marked.insert(item);
}

item_t* findStep(itemList_t& list, int32_t stepId)
{
    for (int pass = 0; pass < 2; ++pass) {
        listIndex_t& x = historyIndex(list);
        auto f = x.byStep.find(stepId);
        if (f == x.byStep.end()) return nullptr;
        item_t* it = f->second;
        if (it->kind == kindItem && it->stepId == stepId) return it;
        rebuild(list);
    }
    return nullptr;
}

int32_t topStepInState(itemList_t& list, int32_t state)
{
    return stateIndexed(state) ? edgeStep(list, state, true) : 0;
}

int32_t bottomStepInState(itemList_t& list, int32_t state)
{
    return stateIndexed(state) ? edgeStep(list, state, false) : 0;
}

void setUndoState(itemList_t& list, item_t* item, int32_t state)
{
    listIndex_t& x = historyIndex(list);
    if (item->kind == kindItem) {
        auto f = x.byStep.find(item->stepId);
        const bool owner = f != x.byStep.end() && f->second == item;
        if (owner && stateIndexed(item->undoState)) x.byState[item->undoState].erase(item->stepId);
        item->undoState = state;
        if (owner && stateIndexed(state)) x.byState[state].insert(item->stepId);
    } else {
        item->undoState = state;
    }
}

void setSelected(itemList_t& list, item_t* item, bool on)
{
    item->selected = on ? 255 : 0;
    if (on) historyIndex(list).marked.insert(item);
}

std::vector<item_t*> collectSelected(itemList_t& list)
{
    listIndex_t& x = historyIndex(list);
    std::vector<item_t*> out;
    for (auto i = x.marked.begin(); i != x.marked.end();) {
        item_t* it = *i;
        if (!it->selected) {
            i = it->marks.head ? std::next(i) : x.marked.erase(i);
            continue;
        }
        if (isSelected(it)) out.push_back(it);
        ++i;
    }
    // Step ids grow along the list, so this is list order.
    std::sort(out.begin(), out.end(), [](const item_t* a, const item_t* b) { return a->stepId < b->stepId; });
    return out;
}

void deselectAll(itemList_t& list)
{
    listIndex_t& x = historyIndex(list);
    for (auto i = x.marked.begin(); i != x.marked.end();) {
        (*i)->selected = 0;
        i = (*i)->marks.head ? std::next(i) : x.marked.erase(i);
    }
}

namespace {

// The records of the `marked` table that `keep` accepts, in list order.
template <typename Keep>
std::vector<item_t*> markedInListOrder(itemList_t& list, Keep keep)
{
    std::vector<item_t*> out;
    for (item_t* it : historyIndex(list).marked)
        if (keep(it)) out.push_back(it);
    std::sort(out.begin(), out.end(), [](const item_t* a, const item_t* b) { return a->indexSlot < b->indexSlot; });
    return out;
}

} // namespace

std::vector<item_t*> flaggedSelected(itemList_t& list)
{
    return markedInListOrder(list, [](const item_t* it) { return it->selected != 0; });
}

std::vector<item_t*> carryingMarks(itemList_t& list)
{
    return markedInListOrder(list, [](const item_t* it) { return it->marks.head != nullptr; });
}

bool historyIndexConsistent(itemList_t& list)
{
    listIndex_t& x = historyIndex(list);
    // Fresh tables over the same records: their book-keeping is put back after.
    struct kept_t {
        item_t* it;
        filedIds_t ids;
        bool filed;
        int64_t slot;
    };
    std::vector<kept_t> kept;
    for (item_t* it = list.head; it; it = it->next) kept.push_back({it, it->indexedIds, it->idsFiled, it->indexSlot});
    std::unique_ptr<listIndex_t> fresh(build(list));
    for (const kept_t& k : kept) {
        k.it->indexedIds = k.ids;
        k.it->idsFiled = k.filed;
        k.it->indexSlot = k.slot;
    }
    if (fresh->byStep != x.byStep) return false;
    for (int s = 0; s < 3; ++s)
        if (fresh->byState[s] != x.byState[s]) return false;
    for (int k = 0; k < 4; ++k)
        if (!(fresh->idCounts[k] == x.idCounts[k])) return false;
    std::vector<item_t*> inOrder;
    for (item_t* it : x.order)
        if (it) inOrder.push_back(it);
    size_t n = 0;
    for (item_t* it = list.head; it; it = it->next, ++n) {
        if ((it->selected || it->marks.head) && !x.marked.count(it)) return false;
        if (n >= inOrder.size() || inOrder[n] != it) return false;
    }
    if (n != inOrder.size()) return false;
    // Step ids grow along the list.
    int32_t last = 0;
    for (const item_t* it = list.head; it; it = it->next) {
        if (it->kind != kindItem) continue;
        if (it->stepId <= last) return false;
        last = it->stepId;
    }
    return true;
}

} // namespace model
