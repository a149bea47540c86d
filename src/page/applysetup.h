// Applying a page setup: to a document's header (measures, design type,
// canvas size, unit) and, for new files, to the settings.
#pragma once

#include "model/item.h"
#include "settings/pageset.h"

namespace settings {
struct defaults_t;
class TParams;
} // namespace settings

namespace page {

// Writes `setup` for `designType` into the document header: orientation,
// design type, preset index, the measures of the setup's unit (a text that
// does not parse keeps the old value), folds and the typed texts; the canvas
// becomes one card (opened out across its folds) for card types and the paper
// otherwise; the unit and its scale change with the canvas origin kept in
// place, and the anchor steps become the defaults' steps of that unit.
// Nothing happens (false) without a header, with a unit outside 1..3 or a
// design type outside 1..11. Items are not touched: their places are
// document pixels, which the kept origin leaves where they were on the page.
bool applyPageSetup(model::item_t* header, const pageset_t& setup, int32_t designType,
                    const settings::defaults_t& defaults);


// "Apply" for new files: the eleven page setups and the design type go into
// the settings; when the paper of that type's unit parses, that unit becomes
// the default unit of new files and its paper their default canvas size.
void applyNewFilesSetup(settings::TParams& p, const pagesetArr_t& sets, int32_t designType);

// The page setup a document's header holds for its design type, laid over
// `base`: orientation, unit, preset index and folds from the header, the
// fourteen texts from its page texts.
pageset_t pageSetupOfDocument(const model::item_t* header, const pageset_t& base);

} // namespace page
