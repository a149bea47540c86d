// Undo and redo kept inside the item list. An edit never changes an item in
// place: it hides the item and appends a new version that names the one it
// replaces; erasing appends a deletion marker. All versions made by one
// command share an action id, so one undo or redo handles the whole command.
//
// These are list operations. The document window does the screen work around
// them: before a step it restores the backgrounds saved under the handle marks
// and erases the marks, afterwards it repaints and refreshes the Undo and Redo
// commands from canUndo and canRedo.
#pragma once

#include "model/item.h"

#include <vector>

namespace model {

// Values of undoState.
constexpr int32_t stateCommitted = 0;
constexpr int32_t stateDone = 1;
constexpr int32_t stateUndone = 2;

// Values of zMove on a version superseded by a stacking command.
constexpr int32_t zMovedToFront = 1;
constexpr int32_t zMovedToBack = 2;

// Records a step for the current selection: every selected record is hidden
// and replaced by a selected new version (new action id, reference points and
// saved point slots taken from the current geometry) that the caller then
// changes in place. Returns the new versions in list order; nothing happens
// and nothing is returned when nothing is selected.
std::vector<item_t*> beginEdit(itemList_t& list);

// A new version of `item` in the existing action `actionId`, with reference
// points and saved point slots taken from its geometry, as beginEdit makes
// them, but not selected: for records an edit of others changes with them
// (a line glued to a moved shape), so that one undo restores everything.
item_t* newVersionInAction(itemList_t& list, item_t* item, int32_t actionId);

// Makes a newly created item a step of its own action (drops the redo branch
// first, so the undone steps are gone once something new is drawn).
void recordNew(itemList_t& list, item_t* item);

// Replaces every selected text, line, shape or picture by a deletion marker,
// then deselects everything. Returns the number of items erased.
int32_t eraseSelection(itemList_t& list);

// Stacking commands recorded as one step each; the new versions stay selected.
// Return the number of items moved.
int32_t sendToBack(itemList_t& list);
int32_t bringToFront(itemList_t& list);

// A new version of the grid-anchor record, carrying its anchors, for the
// caller to change (one step of its own). None when the list has no grid record.
item_t* beginGridEdit(itemList_t& list);

// Undoes the most recent action / redoes the next undone one; both deselect
// everything first. False when there was nothing to undo or redo.
bool undo(itemList_t& list);
bool redo(itemList_t& list);

// Deletes every undone record (and the picture data only an undone picture used).
void dropRedo(itemList_t& list);

// "Clear Undo and Redo": drops the redo branch, deletes hidden versions,
// deletion markers and empty texts, commits the rest with step ids 1..n and
// makes the group ids contiguous.
void clearHistory(itemList_t& list);

bool canUndo(itemList_t& list);
bool canRedo(itemList_t& list);

// Whether a record takes part in the stacking and erase commands.
inline bool isStackable(const item_t* it)
{
    return it->itemType == typeText || (it->itemType >= typeLine && it->itemType <= typeShapeLast) ||
           it->itemType == typePicture;
}

} // namespace model
