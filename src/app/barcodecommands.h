// Insert ▸ Barcode in the main window: a new QR Code placed by the mouse,
// with the barcode panel to fine-tune it.
#pragma once

namespace app {

class TForm1;

// Nothing without a document window.
void insertBarcodeCommand(TForm1& shell);

} // namespace app
