// The settings object as the editor's windows reach it: the main window owns
// it, the document windows and the toolbar read it through params().
#pragma once

#include "model/item.h"

#include <string>

#include "settings/params.h"

namespace canvas {

// The settings object of the run; null before the main window made it.
settings::TParams* paramsOrNull();
settings::TParams& params();
void setParams(settings::TParams* p);

// Fills a new document's header from the settings for new files: unit,
// grid flags and spacings, then the page setup of the design type for new
// files applied without refreshing (design type, measures, canvas size).
void newFileHeader(const settings::TParams& p, model::item_t* header);

} // namespace canvas
