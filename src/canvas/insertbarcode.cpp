#include "canvas/insertbarcode.h"

#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "model/itemlist.h"

namespace canvas {

model::item_t* insertBarcode(TSandbox& w, const model::barcodeContent_t& content)
{
    w.leaveToPointer();
    if (w.mode() != modePointer) return nullptr;
    w.eraseMarks();
    // A little in from the corner of the visible part, where a paste goes.
    constexpr int32_t inset = 20;
    const geometry::point_t corner = w.toDoc({inset, inset});
    int32_t width = 0, height = 0;
    model::defaultBarcodeSize(content.symbology, width, height);
    model::item_t* it = model::newBarcodeItem(w.items(), corner.x, corner.y, width, height, content);
    model::selectOnly(w.items(), it);
    w.startPlacing({it});
    return it;
}

} // namespace canvas
