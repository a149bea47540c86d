// Card-layout geometry of a page setup (where each card lies on the sheet and
// how large a printed cell is). Pure functions on numbers in the document's unit.
#pragma once

#include "model/item.h"
#include "settings/pageset.h"

#include <vector>

namespace page {

// The parsed measures a layout needs, in one unit.
struct cardLayout_t {
    double marginLeft = 0, marginTop = 0;
    double cardWidth = 0, cardHeight = 0;
    double columnGap = 0, rowGap = 0;
    int32_t rows = 0, columns = 0;
    bool rowFold = false, columnFold = false;
};

struct layoutPoint_t {
    double x = 0, y = 0;
};

// A printed cell: one card, or two cards joined across a fold.
struct cellSize_t {
    double width = 0, height = 0;
    int32_t rows = 0, columns = 0;  // cells on the sheet
};

cardLayout_t cardLayoutOf(const model::headerBody_t& h);
// From a measure record; a field that does not parse reads 0.
cardLayout_t cardLayoutOf(const miry_t& m, int32_t unit);

// Top-left corner of card (column, row), both counted from 1. The two halves
// of a folded card touch; the gap stands only between pairs.
layoutPoint_t cardOrigin(const cardLayout_t& l, int32_t column, int32_t row);
cellSize_t cardCellSize(const cardLayout_t& l);

} // namespace page
