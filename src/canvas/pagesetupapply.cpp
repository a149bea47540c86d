// Applying a page setup to an open document: the header changes (page,
// design type, unit), then the view follows. The header is outside the
// history, so the change is not an undo step; the items are untouched and
// stay where they were on the page, and the document is marked modified.
#include "canvas/sandbox.h"

#include "canvas/shellparams.h"
#include "page/applysetup.h"

#include "canvas/gridedit.h"
#include "model/grid.h"
#include "model/itemlist.h"

namespace canvas {

bool TSandbox::applyPageSetup(const page::pageset_t& setup, int32_t designType, bool refresh)
{
    model::item_t* h = header();
    if (!page::applyPageSetup(h, setup, designType, params().newFile)) return false;
    if (!refresh) return true;
    model::setModified(items_, true);
    geometry::computeCanvasPixels(h);
    grid_->gridAfterPageSetup();
    layoutView();
    drawRulers();
    repaintAll(true);
    if (host_) host_->editStateChanged(this);
    return true;
}

} // namespace canvas
