// Sheets for the output tests: a page setup written straight into the header
// and one filled rectangle over the whole design, so that every printed cell
// shows its colour at its centre.
#pragma once

#include "../render/docbuilder.h"

#include "geometry/units.h"
#include "model/metrics.h"

namespace outdoc {

struct sheet_t {
    int32_t designType = 4;
    int32_t unit = geometry::unitMillimetres;
    double paperWidth = 210, paperHeight = 297;
    double cardWidth = 85, cardHeight = 55;
    double marginLeft = 20, marginTop = 10;
    double columnGap = 0, rowGap = 0;
    int32_t rows = 1, columns = 1;
    bool rowFold = false, columnFold = false;
    int32_t orientation = 1;
};

constexpr int32_t red = 0x0000FF;  // 0x00BBGGRR

// Writes the page setup of `s` into a header, and a red rectangle covering
// the design (both cards of a folded card), reaching `overflow` document
// pixels beyond it on every side, into the list.
inline void applySheet(model::itemList_t& list, model::item_t* header, const sheet_t& s, int32_t overflow = 0)
{
    auto& h = header->hdr();
    h.designType = s.designType;
    h.unit = s.unit;
    geometry::pxPerUnit(s.unit, h.pxPerUnitX, h.pxPerUnitY);
    h.paperWidth = s.paperWidth;
    h.paperHeight = s.paperHeight;
    h.cardWidth = s.cardWidth;
    h.cardHeight = s.cardHeight;
    h.marginLeft = s.marginLeft;
    h.marginTop = s.marginTop;
    h.columnGap = s.columnGap;
    h.rowGap = s.rowGap;
    h.rows = s.rows;
    h.columns = s.columns;
    h.rowFold = s.rowFold;
    h.columnFold = s.columnFold;
    h.pageOrientation = s.orientation;
    const bool card = s.designType == 2 || s.designType == 3 || s.designType == 4 || s.designType == 5 ||
                      s.designType == 11;
    const double w = card ? s.cardWidth * (s.columnFold ? 2 : 1) : s.paperWidth;
    const double ht = card ? s.cardHeight * (s.rowFold ? 2 : 1) : s.paperHeight;
    const int32_t right = model::roundHalfEven(w * h.pxPerUnitX) + overflow;
    const int32_t bottom = model::roundHalfEven(ht * h.pxPerUnitY) + overflow;
    h.canvasWidth = right;
    h.canvasHeight = bottom;
    geometry::computeCanvasPixels(header);
    testdoc::addShape(list, model::typeRectangle,
                      {{-overflow, -overflow}, {right, -overflow}, {right, bottom}, {-overflow, bottom}}, red, red, 0);
}

// A new document of the sheet.
inline model::item_t* build(model::itemList_t& list, const sheet_t& s, int32_t overflow = 0)
{
    model::item_t* header = testdoc::addHeader(list, 10, 10, 1.0, s.designType);
    applySheet(list, header, s, overflow);
    return header;
}

// Ten 85 × 55 mm business cards on A4: 5 rows of 2, a gap between the columns.
inline sheet_t tenBusinessCards()
{
    sheet_t s;
    s.cardWidth = 85;
    s.cardHeight = 55;
    s.marginLeft = 15;
    s.marginTop = 10;
    s.columnGap = 10;
    s.rows = 5;
    s.columns = 2;
    return s;
}

// The business-card sheet: 5 rows of 2 cards folded across the columns.
inline sheet_t foldedBusinessCards()
{
    sheet_t s;
    s.cardWidth = 50;
    s.cardHeight = 50;
    s.marginLeft = 20;
    s.marginTop = 10;
    s.rowGap = 5;
    s.rows = 5;
    s.columns = 2;
    s.columnFold = true;
    return s;
}

} // namespace outdoc
