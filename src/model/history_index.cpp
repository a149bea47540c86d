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
        auto& c = x.idCounts[k];
        auto i = c.emplace(v[k], 0).first;
        if ((i->second += delta) <= 0) c.erase(i);
    }
}

void unfileIds(listIndex_t& x, const item_t* it)
{
    auto f = x.filed.find(it);
    if (f == x.filed.end()) return;
    count(x, f->second, -1);
    x.filed.erase(f);
}

void fileIds(listIndex_t& x, const item_t* it)
{
    unfileIds(x, it);
    if (it->kind != kindItem) return;
    const filedIds_t f{it->stepId, it->actionId, it->zOrder, it->groupId};
    x.filed.emplace(it, f);
    count(x, f, +1);
}

void file(listIndex_t& x, item_t* it)
{
    if (it->selected) x.marked.insert(it);
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
    for (item_t* it = list.head; it; it = it->next) file(*x, it);
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
        std::set<int32_t>& s = x.byState[state];
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

idCache_t indexedIds(const listIndex_t& x)
{
    auto top = [&](int k) { return x.idCounts[k].empty() ? 0 : std::max(0, x.idCounts[k].rbegin()->first); };
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

void indexAppend(itemList_t& list, item_t* item)
{
    if (list.index && item) file(*list.index, item);
}

void indexUnlink(itemList_t& list, item_t* item)
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

void indexSelectOnly(itemList_t& list, item_t* item)
{
    if (!list.index) return;
    list.index->marked.clear();
    if (item && item->selected) list.index->marked.insert(item);
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
            i = x.marked.erase(i);
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
    for (item_t* it : x.marked) it->selected = 0;
    x.marked.clear();
}

bool historyIndexConsistent(itemList_t& list)
{
    listIndex_t& x = historyIndex(list);
    std::unique_ptr<listIndex_t> fresh(build(list));
    if (fresh->byStep != x.byStep) return false;
    for (int s = 0; s < 3; ++s)
        if (fresh->byState[s] != x.byState[s]) return false;
    for (int k = 0; k < 4; ++k)
        if (fresh->idCounts[k] != x.idCounts[k]) return false;
    for (item_t* it = list.head; it; it = it->next)
        if (it->selected && !x.marked.count(it)) return false;
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
