// Labels: the text that belongs to a shape. A double click on a shape starts
// its label, centred in it, or edits the label it has.
#pragma once

#include "geometry/units.h"
#include "model/item.h"

namespace canvas {

class TSandbox;

// Justification code of centred text.
constexpr uint8_t justifyCentre = 2;

// Moves a text so that the middle of its box lies on `middle` (document pixels).
void centreText(model::item_t* text, geometry::point_t middle);

// Puts a label back in the middle of its shape (both ways), after its text
// or style changed its size; nothing for a text that is no label or whose
// shape is not there.
void recentreLabel(model::itemList_t& list, model::item_t* text);

// A new label of `shape`, centred in it, made as a step of its own and
// selected; none when the shape cannot carry one.
model::item_t* createLabel(TSandbox& w, model::item_t* shape);

// The double click on the one selected shape: its label becomes the only
// selected item and is edited, or a new label is started and typed (the new
// label and its typing are one undo step). False
// when the item is no shape that can carry a label.
bool editLabel(TSandbox& w, model::item_t* shape);

} // namespace canvas
