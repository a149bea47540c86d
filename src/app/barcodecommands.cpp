#include "app/barcodecommands.h"

#include "app/mainwindow.h"
#include "canvas/insertbarcode.h"
#include "canvas/sandbox.h"
#include "ui/panelcodes.h"

namespace app {

void insertBarcodeCommand(TForm1& shell)
{
    canvas::TSandbox* w = shell.activeDocument();
    if (!w) return;
    model::barcodeContent_t content;
    content.data = canvas::newBarcodeData;
    if (!canvas::insertBarcode(*w, content)) return;
    shell.showPanel(ui::panelBarcode);
    shell.refreshUndoButtons();
    shell.refreshSelectionState();
}

} // namespace app
