// The program-wide clipboard: an item list of its own that holds a copy of the
// source document's header and copies of the copied items (with the picture
// data they show) between a Copy and any number of Pastes, in the same or
// another document.
#pragma once

#include "geometry/shapes.h"
#include "model/item.h"

#include <vector>

namespace model {

// The clipboard list of this program run; empty at start, freed at exit.
itemList_t& clipboardList();

// True when the list holds a kind 0 record that is neither being edited nor hidden.
bool clipboardHasItems(const itemList_t& clipboard);
bool clipboardHasItems();

// Replaces the clipboard by the header of `document` and copies of its
// selected texts, lines, shapes, pictures and group handles (each picture's
// data once), group ids made 1..n. The clipboard stays empty when the
// document has no header. The document is not changed.
void copySelection(itemList_t& document, itemList_t& clipboard);

// Appends, as one history step, a copy of every visible clipboard item in
// stacking order: moved 10 pixels right and down from the clipboard position,
// given new group ids, stacked in front of everything and selected (all else
// deselected). Group handles are not pasted. Returns the pasted items; none
// when the clipboard is empty or either list lacks a header. Text layout and
// the placing that follows are the caller's. The boxes of pasted shapes leave
// room for selection marks of `handles`.
std::vector<item_t*> pasteClipboard(itemList_t& document, const itemList_t& clipboard,
                                    geometry::handleSize_t handles = {});

// Where placing the pasted items starts: the mean of the midpoints of the
// items' defining points, in document pixels.
struct pastePoint_t {
    int32_t x = 0;
    int32_t y = 0;
};
pastePoint_t placingStart(const std::vector<item_t*>& items);

} // namespace model
