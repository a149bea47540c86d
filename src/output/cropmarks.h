// Crop marks: short lines in the sheet's margins that continue every cell
// edge, so that cards and labels can be cut apart on their lines. They stay
// outside the cells (in the margins around the grid of cells) and are drawn
// only when the user asks for them when printing.
#pragma once

#include "model/item.h"
#include "output/renderoutput.h"

#include <QLine>

#include <vector>

class QPainter;

namespace output {

// A mark starts this far from the grid of cells and is this long.
constexpr double cropMarkGapMm = 1.5;
constexpr double cropMarkLengthMm = 5.0;

// The marks of a card sheet in device pixels (as the sheet is drawn: (0, 0)
// at the printable area's top-left); none for a document that is not a sheet
// of cards. A margin too narrow for a mark gets none.
std::vector<QLine> cropMarkLines(const model::headerBody_t& h, const device_t& device);

// The marks' width in device pixels: about a quarter point, at least one pixel.
int32_t cropMarkWidth(const device_t& device);

void drawCropMarks(QPainter& painter, const model::headerBody_t& h, const device_t& device);

} // namespace output
