// A new, empty document as the settings for new files make it: the header
// (unit, grid flags and spacings, the new-files page setup of the new-files
// design type) and the grid record. Shared by the editor and lumora-cli.
#pragma once

#include "model/item.h"
#include "model/itemlist.h"

namespace settings {
class TParams;
}

namespace page {

// Fills a new document's header from the settings for new files: unit,
// grid flags and spacings, then the page setup of the design type for new
// files applied without refreshing (design type, measures, canvas size).
void newFileHeader(const settings::TParams& p, model::item_t* header);

// The grid record of a new document: gridlines equally spaced over the page
// by the header's anchor steps.
void addEvenGrid(model::itemList_t& items, const model::headerBody_t& hd);

// Appends the header (window number `number`, zoom 1) and the grid record to
// an empty list; the document is not modified. Returns the header.
model::item_t* createNewDocument(model::itemList_t& items, const settings::TParams& p, int32_t number);

} // namespace page
