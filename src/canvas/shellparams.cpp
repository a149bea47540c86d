#include "canvas/shellparams.h"

#include "geometry/shapes.h"
#include "geometry/units.h"

namespace canvas {

namespace {
settings::TParams* current = nullptr;
}

settings::TParams* paramsOrNull()
{
    return current;
}

settings::TParams& params()
{
    // Windows made without a main window (tests of one window) share one
    // object with the built-in defaults.
    if (!current) {
        static settings::TParams fallback(nullptr);
        return fallback;
    }
    return *current;
}

void setParams(settings::TParams* p)
{
    current = p;
}

geometry::handleSize_t handleSize()
{
    const settings::TParams& p = params();
    return {p.markWidth, p.markHeight};
}

} // namespace canvas
