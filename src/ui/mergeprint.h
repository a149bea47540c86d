// Printing a merge through the system print dialog: every sheet of cards on
// the printer, one page each, or (a PDF file chosen in the dialog) as vectors.
#pragma once

#include "model/itemlist.h"
#include "output/mergesheet.h"
#include "ui/printjob.h"

#include <QString>

namespace ui {

// A printer's stored correction applies as to any print (asked after the
// dialog, `correction.used` names the one printed with).
printResult_t printMergedSheets(const model::itemList_t& document, const QString& title, const output::mergeJob_t& job,
                                bool cropMarks = false, const printCorrection_t& correction = {});

} // namespace ui
