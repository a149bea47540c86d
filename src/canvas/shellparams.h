// The settings object as the editor's windows reach it: the main window owns
// it, the document windows and the toolbar read it through params().
#pragma once

#include "geometry/shapes.h"
#include "model/item.h"

#include <string>

#include "settings/params.h"

namespace canvas {

// The settings object of the run; null before the main window made it.
settings::TParams* paramsOrNull();
settings::TParams& params();
void setParams(settings::TParams* p);
// The selection-mark size of the settings: shape boxes leave room for it.
geometry::handleSize_t handleSize();

} // namespace canvas
