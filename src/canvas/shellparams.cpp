#include "canvas/shellparams.h"

#include "geometry/shapes.h"
#include "geometry/units.h"

#include "page/applysetup.h"

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

void newFileHeader(const settings::TParams& p, model::item_t* header)
{
    model::headerBody_t& h = header->hdr();
    settings::TParams::defaultsToDocument(p.newFile, h);
    // The unit's scale always follows this screen.
    geometry::pxPerUnit(h.unit, h.pxPerUnitX, h.pxPerUnitY);
    // The paper before the page setup for new files is laid over it.
    switch (h.unit) {
    case geometry::unitMillimetres: h.paperWidth = 210, h.paperHeight = 297; break;
    case geometry::unitInches: h.paperWidth = 8.5, h.paperHeight = 11; break;
    default: h.paperWidth = 200, h.paperHeight = 200; break;
    }
    const int32_t type = page::designTypeOf(p.pspage);
    if (type >= 1 && type <= page::designTypeCount)
        page::applyPageSetup(header, p.pageSets[type - 1], type, p.newFile);
}

} // namespace canvas
