// Text items: the font of a text at a size, its whole-pixel metrics (the one
// place layout, picking, the caret and the shaded text take them from), the
// widths of its lines, how its lines are stacked along the text angle and
// placed by the justification, its box, fitting the box to the widest line,
// and the frame shown while a text is being changed.
#pragma once

#include "geometry/shapes.h"
#include "model/item.h"
#include "render/surface.h"

#include <QFont>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace render {

struct drawContext_t;
struct xform_t;

// Half the anchor-mark size (7 × 7): a text's box reaches this far beyond its band.
constexpr int32_t textBoxMargin = 3;

// Integer metrics of a font as the platform's text interface gives them:
// ascent, descent and external leading in whole pixels (fractional values
// rounded up), and the overhang of synthesised styles (0 for outline fonts).
struct textMetrics_t {
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t leading = 0;
    int32_t overhang = 0;
    int32_t height() const { return ascent + descent + leading; }
};

// The character height in pixels of `size` points on the screen:
// MulDiv(size, screenPpiY, 72), held within 1 … maxFontPixels.
constexpr int32_t maxFontPixels = 4096;
int32_t fontPixels(int32_t size);

// The font of a text at `size` points: face, weight, italic, aliased glyphs;
// underline and strike-out only `forDrawing` (they never change widths).
// The font carries no turn: drawTextLine turns the painter.
QFont makeTextFont(const model::item_t* item, int32_t size, bool forDrawing);

// The metrics of the item's font at `size` points (cached).
textMetrics_t textMetrics(const model::item_t* item, int32_t size);
// The width in pixels of `text` in the item's font at `size` points.
int32_t textWidth(const model::item_t* item, int32_t size, std::u16string_view text);

// Ascent + descent + external leading of the font at the item's size, at 100 %.
int32_t lineHeight(const model::item_t* item);
// The width of a line at 100 %, measured at the zoomed size:
// Round(TextWidth(line) / zoom) with the font at Round(fontSize × zoom).
int32_t lineWidth(const model::item_t* item, std::u16string_view line, double zoom);
// The point size a text is drawn with at a zoom (or output scale).
int32_t zoomedFontSize(const model::item_t* item, double zoom);

// The lines of a text (none for an empty text), split at the line separator.
std::vector<std::u16string_view> textLines(const model::item_t* item);
// The same for any text.
std::vector<std::u16string_view> splitTextLines(std::u16string_view all);

// The text angle in radians.
double textTheta(const model::item_t* item);

// The mapped baselines of every line (index 0 is line 1): line n on the
// item's mapped points, each line above it one Round(line height × zoom)
// further across the baseline. Drawing, the caret and clicks all use these.
struct lineBaseline_t {
    QPoint p, q;
};
std::vector<lineBaseline_t> lineBaselines(const model::item_t* item, const xform_t& xf, int32_t lineCount);

// Where a line starts on its mapped baseline by the justification: P moved
// along the angle by the part of the box the line leaves free (centred or
// right-justified lines only, never backwards when the line is wider).
QPoint justifiedStart(const model::item_t* item, std::u16string_view line, QPoint p, double zoom);

// Draws one line in `color` on its mapped baseline from P (the baseline's
// length comes from the item's stored points).
void drawTextLine(canvas_t& canvas, const model::item_t* item, std::u16string_view line, QPoint p, double zoom,
                  int32_t color);

// Draws every line of a text with its shadows and shaded surface as the
// context's switches say; lines that cannot touch the canvas are skipped.
void drawTextItem(drawContext_t& ctx, const model::item_t* item);

// How far a line's shadow and shaded square reach around its start (canvas
// pixels): the longer of the line and its box, plus the shadow's spread
// `spread`, and never less than the font's height plus that spread.
int32_t textLineReach(const model::item_t* item, std::u16string_view line, double zoom, int32_t spread);

// The turned rectangle of all lines at 100 % (document pixels): from one
// descent below the last baseline up max(n, 1) line heights.
geometry::quadrangle_t textBand(const model::item_t* item);

// Recomputes the box fields from the band, grown by the mark margin (or
// the overhang), and the box sizes and diagonal.
void textBox(model::item_t* item);

// Puts the last baseline from `a` to `b`; the angle, millimetre copies and
// box follow (the text angle is the caller's).
void setTextBaseline(model::item_t* item, geometry::point_t a, geometry::point_t b);

// Which end of the baseline stays when the box is fitted.
enum class textAnchor_t { start, centre, end };
textAnchor_t anchorOf(const model::item_t* item);

// Makes the baseline as long as the widest line (measured at `zoom`) when
// that line is longer, or always with `force`, keeping the end the
// justification says; then the angle, millimetre copies and box follow.
// True when the baseline changed.
bool fitTextBox(model::item_t* item, bool force, double zoom);
bool fitTextBoxKeeping(model::item_t* item, bool force, double zoom, textAnchor_t keep);

// The frame of a text being changed: the band from the last baseline up to
// the top of the first line at the zoomed size, as a closed outline.
void drawTextFrame(canvas_t& canvas, const xform_t& xf, const model::item_t* item, int32_t color, int32_t width);

// Lays out every text of a list again (after reading or pasting).
void layOutTexts(model::itemList_t& list);

// A stored line as a string for the platform's text calls.
QString toQString(std::u16string_view s);

} // namespace render
