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

} // namespace canvas
