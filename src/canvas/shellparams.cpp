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
    // Shape boxes leave room for the selection marks of the settings' size.
    const settings::TParams& used = params();
    geometry::setHandleSize(used.markWidth, used.markHeight);
}

} // namespace canvas
