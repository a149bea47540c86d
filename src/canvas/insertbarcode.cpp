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
    // A click puts it down at this size; a drag draws its box, as for a rectangle.
    w.startPlacing({it}, [](model::item_t* code, int32_t left, int32_t top, int32_t right, int32_t bottom) {
        model::setBarcodeBox(code, left, top, right - left, bottom - top);
    });
    return it;
}

} // namespace canvas
