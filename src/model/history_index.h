// Per-list lookup tables that let the history find records without walking
// the list: kind 0 records by stepId, the stepIds of each undo state in order,
// and the records whose selection flag may be set. The tables give the same
// answers as the walks they replace; they are built on first use by one walk
// and then kept up to date by the list primitives (append, unlink, noteIds,
// selectOnly, freeList, moveList) and by the history operations;
// invalidateIds drops them.
//
// Code that sets `selected`, `undoState` or `stepId` of a record that is
// already in a list calls noteIds(list, item) afterwards, as for the id
// maxima (or uses setSelected); the history operations themselves keep the
// tables current.
#pragma once

#include "model/item.h"

#include <memory_resource>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace model {

// How many records hold each value of one id field, and the largest value
// held. Taking away the last holder of the largest value leaves the largest
// unknown (what was largest stays an upper bound); the next question finds it
// again, unless a value that reaches the old bound was added meanwhile.
class valueCounts_t {
public:
    explicit valueCounts_t(std::pmr::memory_resource* pool = std::pmr::get_default_resource()) : counts_(pool) {}
    void add(int32_t v);
    void remove(int32_t v);
    bool empty() const { return counts_.empty(); }
    // The largest value held; only while not empty.
    int32_t top() const;
    bool operator==(const valueCounts_t& o) const { return counts_ == o.counts_; }

private:
    std::pmr::unordered_map<int32_t, int32_t> counts_;
    mutable int32_t top_ = INT32_MIN;
    mutable bool known_ = true;
};

struct listIndex_t {
    // The nodes of every table come from one pool, so that dropping the
    // tables of a long list (Clear Undo and Redo) returns a few large blocks
    // instead of hundreds of thousands of small ones.
    std::pmr::unsynchronized_pool_resource pool;
    std::pmr::unordered_map<int32_t, item_t*> byStep{&pool};  // kind 0 records; the first in list order wins
    std::pmr::set<int32_t> byState[3]{std::pmr::set<int32_t>(&pool), std::pmr::set<int32_t>(&pool),
                                      std::pmr::set<int32_t>(&pool)};  // stepIds of kind 0 records per undoState 0, 1, 2
    // Every record whose `selected` may be nonzero or that may carry marks.
    std::pmr::unordered_set<item_t*> marked{&pool};
    // How many kind 0 records hold each stepId, actionId, zOrder and groupId, so
    // that the id maxima survive deletions without a walk of the list (each
    // record keeps what was counted for it).
    valueCounts_t idCounts[4]{valueCounts_t(&pool), valueCounts_t(&pool), valueCounts_t(&pool), valueCounts_t(&pool)};
    // Every record in list order, with gaps where records were taken out: a
    // walk over it reads the records without following their links, which
    // is several times faster on long lists. Each record keeps its slot.
    std::vector<item_t*> order;
    size_t gaps = 0;
};

// The id maxima over kind 0 records (each at least 0), from the tables.
idCache_t indexedIds(const listIndex_t& index);

// The list's tables, built by one walk when the list has none yet.
listIndex_t& historyIndex(itemList_t& list);
// Drops the tables; the next use rebuilds them.
void dropHistoryIndex(itemList_t& list);

// Hooks of the list primitives; they do nothing while the list has no tables.
// indexPlace: a record was appended at the tail; indexAppend: a record's ids
// changed (noteIds); indexUnlink: a record leaves the list.
void indexPlace(itemList_t& list, item_t* item);
void indexAppend(itemList_t& list, item_t* item);
void indexUnlink(itemList_t& list, item_t* item);
// A record that stays in the list but leaves the id and step tables (its kind changed).
void indexUnfile(itemList_t& list, item_t* item);

// Every record of the list in list order, taken from the tables' array when
// the list has tables; the tables are dropped (the caller is about to change
// most records).
std::vector<item_t*> takeRecordsInOrder(itemList_t& list);

// Calls `f` for every record of the list in list order, from the tables'
// array when the list has tables (taken out records are never visited).
template <typename F>
void forEachInOrder(itemList_t& list, F&& f)
{
    if (!list.index) {
        for (item_t* it = list.head; it; it = it->next) f(it);
        return;
    }
    for (item_t* it : list.index->order)
        if (it) f(it);
}
void indexSelectOnly(itemList_t& list, item_t* item);
// A record whose zOrder alone changed: the same as noteIds, for less.
void noteZOrder(itemList_t& list, const item_t* item);

// The kind 0 record with that stepId (first in list order), or none.
item_t* findStep(itemList_t& list, int32_t stepId);
// Largest (or smallest) stepId of a kind 0 record in undo state `state`, 0 when none.
int32_t topStepInState(itemList_t& list, int32_t state);
int32_t bottomStepInState(itemList_t& list, int32_t state);
// Sets a record's undo state and keeps the tables current.
void setUndoState(itemList_t& list, item_t* item, int32_t state);
// Sets or clears a record's selection flag and keeps the tables current.
void setSelected(itemList_t& list, item_t* item, bool on);

// Every selected record (isSelected) in list order.
std::vector<item_t*> collectSelected(itemList_t& list);
// Every record whose selection flag is set, hidden or not, in list order.
std::vector<item_t*> flaggedSelected(itemList_t& list);
// Every record that carries marks (saved pixels under its handles), in list
// order. Records gain marks only while selected (the render pass draws marks
// for the selection); the tables keep track of them until the marks are off.
std::vector<item_t*> carryingMarks(itemList_t& list);
// Clears the selection flag of every record.
void deselectAll(itemList_t& list);

// True when the tables agree with a full walk (used by tests).
bool historyIndexConsistent(itemList_t& list);

} // namespace model
