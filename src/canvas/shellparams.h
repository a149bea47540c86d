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

// Fills a new document's header from the settings for new files: unit, page,
// grid flags and spacings, design type and page setup.
void newFileHeader(const settings::TParams& p, model::headerBody_t& h);
// The header's text for new files: the page setup's measures as typed.
std::u16string newFilePageTexts(const settings::TParams& p, int32_t unit);

} // namespace canvas
