// A print job through the system print dialog: copies and the job title,
// the printer's resolution and physical offsets, a progress dialog with
// Cancel for long jobs. Choosing a PDF file in the dialog prints the
// document's paper, without offsets, into that file.
#pragma once

#include "model/itemlist.h"
#include "output/renderoutput.h"

#include <QByteArray>
#include <QString>

class QPrinter;

namespace ui {

// Resolution of PDF files printed from the print dialog, and the most a
// printer is driven at: an A4 sheet at 600 dpi is already 140 MB.
constexpr int32_t pdfPrintDpi = 600;
constexpr int32_t maxPrinterDpi = 600;

enum class printResult_t { printed, cancelled, failed };

// The device a printer prints on: its resolution, the printable area's
// offset from the paper corner and the whole paper, in device pixels.
output::device_t printerDevice(const QPrinter& printer);

// Shows the print dialog (the document's paper preselected) and prints the
// sheet. A failure is reported with the reason through the dialog seam.
// With `cropMarks`, the cells' crop marks are printed in the margins.
printResult_t printDocumentSheet(const model::itemList_t& document, const QString& title, const QByteArray& printAreas,
                                 bool cropMarks = false);

} // namespace ui
