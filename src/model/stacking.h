// The stacking order: zOrder of the visible kind 0 records runs from 1 (back)
// to maxZOrder (front). Moving one item shifts the items it passes by one
// place; the history repairs the same shifts when it undoes or redoes a move.
#pragma once

#include "model/item.h"

namespace model {

// Makes the item the back-most: the visible items below it move up one place.
void moveToBack(itemList_t& list, item_t* item);
// Makes the item the front-most: the visible items above it move down one place.
void moveToFront(itemList_t& list, item_t* item);

// `p` is about to be shown again by an undo; its zMove tells how its
// successor was moved, and the items shifted then are shifted back.
void repairStackingOnUndo(itemList_t& list, const item_t* p);
// `p` is being hidden again by a redo that shows its successor `r`; the
// shifts of the original move are made again, leaving `r` where it is.
void repairStackingOnRedo(itemList_t& list, const item_t* p, const item_t* r);

} // namespace model
