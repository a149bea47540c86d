// A print job through the system print dialog: copies and the job title,
// the printer's resolution and physical offsets, a progress dialog with
// Cancel for long jobs. Choosing a PDF file in the dialog prints the
// document's paper, without offsets, into that file.
#pragma once

#include "model/itemlist.h"
#include "output/renderoutput.h"
#include "settings/calibrationstore.h"

#include <QByteArray>
#include <QPrinter>
#include <QString>

#include <functional>
#include <optional>

namespace ui {

// Resolution of PDF files printed from the print dialog, and the most a
// printer is driven at: an A4 sheet at 600 dpi is already 140 MB.
constexpr int32_t pdfPrintDpi = 600;
constexpr int32_t maxPrinterDpi = 600;

enum class printResult_t { printed, cancelled, failed };

// The device a printer prints on: its resolution, the printable area's
// offset from the paper corner and the whole paper, in device pixels.
output::device_t printerDevice(const QPrinter& printer);

// The name a paper source is stored under ("Auto", "Manual", "Lower", ...).
QString paperSourceName(QPrinter::PaperSource source);

// A printer's stored calibration in the print flow: once a printer is
// chosen, a correction stored for it and its paper source is shown and
// offered (or left off for this one print, or the calibration opened).
struct printCorrection_t {
    settings::settingsStore_t* store = nullptr;  // none: no correction
    std::function<void()> calibrate;             // opens the calibration window
    QString* used = nullptr;                     // receives the correction printed with ("" none)
};

// Whether to print with the correction `d` stored for `printer` (its paper
// source `source`): asked through the dialog seam. None when the user
// cancelled (or chose to calibrate, which `calibrate` then does).
std::optional<bool> askPrinterCorrection(const QString& printer, const QString& source, const settings::printerDistortion_t& d,
                                         const std::function<void()>& calibrate);

// After the print dialog: the correction stored for the chosen printer and
// paper source, when the user chose to print with it (asked as above); none
// for a file or without a stored one. False when the user cancelled.
bool choosePrinterCorrection(const QPrinter& printer, const printCorrection_t& correction,
                             std::optional<settings::printerDistortion_t>& distortion);

// Shows the print dialog (the document's paper preselected) and prints the
// sheet. A failure is reported with the reason through the dialog seam.
// With `cropMarks`, the cells' crop marks are printed in the margins. A
// printer's stored correction (see printCorrection_t) moves what is printed
// on that printer; a PDF file is never corrected.
printResult_t printDocumentSheet(const model::itemList_t& document, const QString& title, const QByteArray& printAreas,
                                 bool cropMarks = false, const printCorrection_t& correction = {});

} // namespace ui
