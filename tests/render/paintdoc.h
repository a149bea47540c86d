// A whole document painted as the editor shows it after its full-quality
// pass, at a zoom: for tests that look at the pixels of a few items.
#pragma once

#include "geometry/units.h"
#include "model/itemlist.h"
#include "render/renderpass.h"
#include "render/surface.h"

#include <QImage>

namespace testdoc {

inline QImage paintWithFullQuality(model::itemList_t& doc, double zoom = 1.0)
{
    model::item_t* h = model::findHeader(doc);
    h->hdr().zoom = zoom;
    geometry::computeCanvasPixels(h);
    render::renderView_t view;
    view.items = &doc;
    const QSize size = render::canvasImageSize(h);
    view.Image1 = render::newCanvasImage(size.width(), size.height());
    render::repaintAll(view, false);
    render::fullQualityPass(view);
    return view.Image1;
}

} // namespace testdoc
