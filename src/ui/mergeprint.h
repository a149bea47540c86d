// Printing a merge through the system print dialog: every sheet of cards on
// the printer, one page each, or (a PDF file chosen in the dialog) as vectors.
#pragma once

#include "model/itemlist.h"
#include "output/mergesheet.h"
#include "ui/printjob.h"

#include <QString>

namespace ui {

printResult_t printMergedSheets(const model::itemList_t& document, const QString& title, const output::mergeJob_t& job,
                                bool cropMarks = false);

} // namespace ui
