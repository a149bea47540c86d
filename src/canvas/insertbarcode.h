// Insert ▸ Barcode: a new barcode item that follows the mouse until a click
// puts it down, as pasted items do, or a drag draws its box; the barcode
// panel then edits it.
#pragma once

#include "model/barcode.h"

namespace canvas {

class TSandbox;

// The data a new barcode starts with, for the user to replace in the panel.
inline constexpr const char* newBarcodeData = "https://example.com";

// Makes a QR Code of the default size near the top left of what the window
// shows, as one history step, selected and following the mouse (a drag then
// sizes it); null when the window is busy with another gesture.
model::item_t* insertBarcode(TSandbox& w, const model::barcodeContent_t& content);

} // namespace canvas
