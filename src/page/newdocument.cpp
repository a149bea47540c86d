#include "page/newdocument.h"

#include "model/grid.h"

#include "geometry/units.h"
#include "model/anchors.h"
#include "model/docfile.h"
#include "page/applysetup.h"
#include "settings/params.h"

#include <cstring>

namespace page {

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
    const int32_t type = designTypeOf(p.pspage);
    if (type >= 1 && type <= designTypeCount)
        applyPageSetup(header, p.pageSets[type - 1], type, p.newFile);
}

void addEvenGrid(model::itemList_t& items, const model::headerBody_t& hd)
{
    model::item_t* grid = model::newItem(items, model::typeGrid);
    grid->undoState = 0;
    model::addInitialGrid(grid, hd);
}

model::item_t* createNewDocument(model::itemList_t& items, const settings::TParams& p, int32_t number)
{
    model::item_t* h = model::newItem(items, model::typeHeader);
    h->kind = model::kindHeader;
    model::invalidateIds(items);
    std::memset(h->bodyBytes() + 116, 0, 331 - 116);
    h->docNumber = number;
    auto& hd = h->hdr();
    hd.zoom = 1.0;
    newFileHeader(p, h);
    hd.fileVersion = model::formatVersion;
    geometry::computeCanvasPixels(h);
    addEvenGrid(items, hd);
    model::setModified(items, false);
    return h;
}

} // namespace page
