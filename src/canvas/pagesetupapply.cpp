// Applying a page setup to an open document: the header changes (page,
// design type, unit), then the view follows. The header is outside the
// history, so the change is not an undo step; the items are untouched and
// stay where they were on the page, and the document is marked modified.
#include "canvas/sandbox.h"

#include "canvas/shellparams.h"
#include "page/applysetup.h"

#include "canvas/anchorstrip.h"
#include "model/grid.h"
#include "model/itemlist.h"

namespace canvas {

bool TSandbox::applyPageSetup(const page::pageset_t& setup, int32_t designType, bool refresh)
{
    model::item_t* h = header();
    if (!page::applyPageSetup(h, setup, designType, params().newFile)) return false;
    if (!refresh) return true;
    model::setModified(items, true);
    geometry::computeCanvasPixels(h);
    gridAfterPageSetup();
    layoutView();
    drawRulers();
    repaintAll(true);
    if (host_) host_->editStateChanged(this);
    return true;
}

void TSandbox::gridAfterPageSetup()
{
    // The anchor steps were reset for the setup's unit: the gridlines are
    // laid out afresh over the new page, from its edge, as in a new document.
    // Like the rest of the page setup this is not a step of the history.
    model::item_t* h = header();
    model::item_t* grid = gridRecord();
    if (!h || !grid) return;
    model::freeNodes(grid->anchorsX);
    model::freeNodes(grid->anchorsY);
    model::addInitialGrid(grid, h->hdr());
    gridIndex_ = {};  // the record changed in place: build the index again
    anchors_->reset();
    redrawAnchors();
}

} // namespace canvas
