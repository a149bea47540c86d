// Card-layout geometry of a page setup (where each card and each printed
// cell lies on the sheet) and the page guides drawn behind a document.
// Pure functions on numbers in the document's unit.
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
// Top-left corner of printed cell (column, row), counted from 1.
layoutPoint_t cellOrigin(const cardLayout_t& l, int32_t column, int32_t row);

// The guides drawn in silver behind a document, in document pixels
// (measure × pixels per unit); the caller maps them to the canvas and
// applies its own visibility rules (left/top margin edges only when on
// the canvas).
struct pageGuides_t {
    bool marginFrame = false;  // dotted frame of types 1 and 6..10
    double marginLeft = 0, marginTop = 0;      // left and top margin lines
    double marginRight = 0, marginBottom = 0;  // paper size minus right/bottom margin
    double designRight = 0, designBottom = 0;  // solid design edge (card or paper)
    bool foldVertical = false;                  // card types: dotted fold at card width
    double foldX = 0;
    bool foldHorizontal = false;                // card types: dotted fold at card height
    double foldY = 0;
    std::vector<double> panelX, panelY;         // brochures: dotted panel lines
};

// Guides of the header's design type (its absolute value); none without one.
pageGuides_t pageGuides(const model::headerBody_t& h);

} // namespace page
