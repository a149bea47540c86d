// The cards of a data merge: one per ticked row (or as many as its copies
// column says), numbered for ${#}, and their places on as many sheets as
// they need.
#pragma once

#include "model/csv.h"
#include "model/fields.h"
#include "model/itemlist.h"
#include "model/mergesource.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace model {

// Most copies one row may ask for.
constexpr int64_t mergeCopiesLimit = 1000;

struct mergeCard_t {
    int32_t row = 0;     // index into the table's rows
    int64_t number = 1;  // what ${#} writes
    bool operator==(const mergeCard_t&) const = default;
};

struct mergeCards_t {
    std::vector<mergeCard_t> cards;
    std::vector<std::string> warnings;
    std::string error;  // a copies column the table lacks
};

// The cards of the ticked rows, in row order.
mergeCards_t mergeCards(const csvTable_t& table, const mergeSettings_t& settings);

// Card indexes per sheet, cell by cell (row by row, from the top left); -1
// for a cell left empty. Cells before `startCell` on the first sheet and
// cells `printed` says no to stay empty. Empty when no cell prints.
std::vector<std::vector<int32_t>> placeCards(size_t cards, int32_t cellsPerSheet, int32_t startCell,
                                             const std::function<bool(int32_t cell)>& printed);

// One row of the table as field values for substituteFields.
class mergeRow_t {
public:
    mergeRow_t(const csvTable_t& table, int32_t row);
    fieldLookup_t lookup() const;
private:
    const csvTable_t& table_;
    std::vector<std::u16string> values_;
};

// What is wrong before merging: fields of the document's texts the table has
// no column for, and per card row the fields left empty without a default
// (on a line that is not left out). Bounded to `limit` lines.
std::vector<std::string> mergeWarnings(const itemList_t& document, const csvTable_t& table,
                                       const std::vector<mergeCard_t>& cards, size_t limit = 50);

} // namespace model
