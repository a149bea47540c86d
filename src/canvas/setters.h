// The attribute setters of a document window: the one way the fine-tune
// panels change the selected items. Each call changes one attribute (or one
// group of them) on every selected item of the types it applies to,
// recomputes what depends on it, makes one history step (none with nothing
// selected) and repaints only what changed, except where a change reaches
// the whole canvas (sides, variants, texts outside editing).
#pragma once

#include "model/barcode.h"
#include "model/item.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace canvas {

class TSandbox;

// Mirror (x), flip (y) or a quarter turn (+1 left, -1 right) of the
// selected shapes, pictures and groups, as one history step.
void transformSelectedItems(TSandbox& w, bool mirror, bool flip, int32_t turn);

// Switching between related shapes: the type codes of the target shape.
void setPieOrArc(TSandbox& w, int32_t itemType);
void setSquareOrRectangle(TSandbox& w, int32_t itemType);
void setCircleOrEllipse(TSandbox& w, int32_t itemType);
// Polygons and stars.
void setSides(TSandbox& w, int32_t sides);
// Splines and curves: open, closed or filled.
void setShapeVariant(TSandbox& w, int32_t variant);

void setLineColor(TSandbox& w, int32_t color);
void setFillColor(TSandbox& w, int32_t color);
// A line weight in millimetres; the pen width follows.
void setLineWeight(TSandbox& w, double weight);
void setOutlineWeight(TSandbox& w, double weight);
// One part of the arrowheads of the selected lines, open splines and
// curves and arcs: the kind at the start or the end, or the size.
enum class headPart_t { start, end, size };
void setArrowhead(TSandbox& w, headPart_t part, int32_t value);
// A position of the line pattern list with the preset rows its custom
// entries stand for; returns the last item changed (none when nothing was).
model::item_t* setPattern(TSandbox& w, int32_t position, const std::vector<int32_t>& rows);
// A position of the direction list with its preset rows; lines turn to the
// direction. Returns the direction in degrees (-1 for none).
double setDirection(TSandbox& w, int32_t position, const std::vector<int32_t>& rows);
// The 3-D surface of texts, lines, shapes and pictures.
void setSurface(TSandbox& w, int32_t style);
// Shadows: pictures / lines and shapes / texts.
void setPictureShadow(TSandbox& w, int32_t elevation, int32_t fade, int32_t lightness);
void setShapeShadow(TSandbox& w, int32_t elevation, int32_t fade, int32_t lightness);
void setTextShadow(TSandbox& w, int32_t elevation, int32_t fade, int32_t lightness);

// Pictures: frame colour and width, colour adjustments.
void setFrameColor(TSandbox& w, int32_t color);
void setFrameWidth(TSandbox& w, double weight);
// The three adjustment sliders' positions (-128..512 each). A picture keeps
// its lightness within -128..256: a positive lightness position is stored
// halved, saturation and contrast are stored as they are.
void applyAdjustments(TSandbox& w, int32_t saturation, int32_t contrast, int32_t lightness);
constexpr int32_t storedLightness(int32_t position) { return position > 0 ? position / 2 : position; }
// The lightness slider's position for a stored lightness.
constexpr int32_t lightnessPosition(int32_t stored) { return stored > 0 ? stored * 2 : stored; }

// Texts (the font fields are stored on every selected item; texts are laid
// out again).
void setTextColor(TSandbox& w, int32_t color);
void setFontName(TSandbox& w, const QString& face);
void setFontCharset(TSandbox& w, int32_t charset);
void setFontSize(TSandbox& w, int32_t points);
// Which style byte a call of setTextStyle sets.
constexpr int32_t styleItalic = 1;
constexpr int32_t styleUnderline = 2;
constexpr int32_t styleStrikeout = 3;
constexpr int32_t styleJustification = 4;
void setTextStyle(TSandbox& w, int32_t which, int32_t value);
void setFontWeight(TSandbox& w, int32_t weight);
// Degrees, or -1 to store "no direction" without turning.
void setTextDirection(TSandbox& w, int32_t degrees);

// Barcodes: `change` edits what each selected barcode item encodes (the
// symbology, data, level, text line), as one history step.
void setBarcodeSpec(TSandbox& w, const std::function<void(model::barcodeContent_t&)>& change);

// The text being placed by the text tool takes the text defaults of the
// settings (no history step: its creation is the step).
void applyTextDefaults(TSandbox& w);
// The one selected text's box made exactly as wide as its widest line (after
// its font was made smaller).
void refitSelectedText(TSandbox& w);

} // namespace canvas
