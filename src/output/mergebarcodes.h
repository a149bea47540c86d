// Barcode data filled in from merge fields, checked row by row before a
// merge prints: a row the symbology cannot encode is named, so it is never
// printed as a wrong code.
#pragma once

#include "model/csv.h"
#include "model/itemlist.h"
#include "model/mergecards.h"

#include <cstddef>
#include <string>
#include <vector>

namespace output {

// One line per row whose filled-in barcode data cannot be encoded ("row 4:
// …", rows counted from 1 as in the data file), at most `limit` lines.
std::vector<std::string> mergeBarcodeProblems(const model::itemList_t& document, const model::csvTable_t& table,
                                              const std::vector<model::mergeCard_t>& cards, size_t limit = 20);

} // namespace output
