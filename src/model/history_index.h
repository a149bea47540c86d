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
// maxima; the history operations themselves keep the tables current.
#pragma once

#include "model/item.h"

#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace model {

// The id fields of a kind 0 record as the tables last saw them.
struct filedIds_t {
    int32_t stepId, actionId, zOrder, groupId;
};

struct listIndex_t {
    std::unordered_map<int32_t, item_t*> byStep;  // kind 0 records; the first in list order wins
    std::set<int32_t> byState[3];                 // stepIds of kind 0 records per undoState 0, 1, 2
    std::unordered_set<item_t*> marked;           // every record whose `selected` may be nonzero
    // How many kind 0 records hold each stepId, actionId, zOrder and groupId, so
    // that the id maxima survive deletions without a walk of the list.
    std::unordered_map<const item_t*, filedIds_t> filed;
    std::map<int32_t, int32_t> idCounts[4];
};

// The id maxima over kind 0 records (each at least 0), from the tables.
idCache_t indexedIds(const listIndex_t& index);

// The list's tables, built by one walk when the list has none yet.
listIndex_t& historyIndex(itemList_t& list);
// Drops the tables; the next use rebuilds them.
void dropHistoryIndex(itemList_t& list);

// Hooks of the list primitives; they do nothing while the list has no tables.
void indexAppend(itemList_t& list, item_t* item);
void indexUnlink(itemList_t& list, item_t* item);
void indexSelectOnly(itemList_t& list, item_t* item);

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
// Clears the selection flag of every record.
void deselectAll(itemList_t& list);

// True when the tables agree with a full walk (used by tests).
bool historyIndexConsistent(itemList_t& list);

} // namespace model
