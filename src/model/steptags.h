// Step tags: the marks by which the side panel's step history finds the
// items that were selected when a step was recorded, so that going back to
// the step can select them again.
#pragma once

#include "model/item.h"

#include <cstdint>
#include <functional>

namespace model {

// Draws a tag in 0 .. 2147483646 that `inUse` rejects for no draw; `draw`
// gives the candidates (a random source in the editor, a script in tests).
int32_t drawFreeTag(const std::function<int32_t()>& draw, const std::function<bool(int32_t)>& inUse);

// Appends `tag` to every selected item of the list; returns how many got it.
int32_t tagSelected(itemList_t& list, int32_t tag);

// Whether the item may be selected again through its tag: a visible document
// item of a drawable type (text, line, shape, picture) that is not being edited.
bool isTaggable(const item_t* item);

bool carriesTag(const item_t* item, int32_t tag);

// Deselects everything, then selects every taggable item carrying `tag`;
// true when one was selected.
bool selectTagged(itemList_t& list, int32_t tag);

// Whether some taggable item of the list carries `tag`: whether going back
// to a selection step can select anything.
bool holdsTagged(const itemList_t& list, int32_t tag);

// A random candidate tag in 0 .. 2147483646.
int32_t randomTag();

} // namespace model
