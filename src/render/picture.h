// Picture items on the canvas and on output: the stored picture decoded,
// turned to its orientation, cropped, resampled to the drawn size, colour
// adjusted, mirrored, framed, freely turned or clipped round, and kept in the
// picture cache (picturecache.h) for the zoom and attributes it was made for.
#pragma once

#include "geometry/rect.h"
#include "model/item.h"

#include <QImage>
#include <QPoint>

#include <cstdint>

namespace render {

struct drawContext_t;

// Largest processed picture kept or drawn (pixels); a picture zoomed beyond
// it is left out rather than take gigabytes.
constexpr int64_t maxDrawnPicturePixels = int64_t(1) << 25;

// The stored picture decoded and turned to the item's orientation: for 90
// and 270 (odd sides first trimmed by one pixel) turned by flipX × flipY ×
// orientation degrees; for 180 both signs negated instead; then mirrored by
// the signs. Null when the picture cannot be decoded. A picture handed over
// on insertion (pictureCache_t::handOverDecoded) is taken instead.
QImage decodePicture(const model::item_t* item, const model::itemList_t& document);
QImage orientPicture(QImage decoded, int32_t orientation, int32_t flipX, int32_t flipY);

// How many pictures were decoded since the program started (tests and
// benchmarks see from it whether a repaint used the cache).
int64_t pictureDecodeCount();

// Turns `source` by `angle` (radians, counter-clockwise on the screen) into
// `destination` about both centres, nearest pixel; destination pixels that
// no source pixel reaches keep their colour.
void rotateInto(const QImage& source, QImage& destination, double angle);

// Every pixel of `background` inside the circle inscribed in it takes the
// picture's pixel (both the same size, RGB32).
void maskRound(QImage& background, const QImage& picture);

// Draws the picture item with the context's mapping (cached on the canvas,
// never on output). Nothing when it cannot be decoded or is drawn 2 pixels
// or less across.
void drawPicture(drawContext_t& ctx, model::item_t* item);

// The picture's shadow: only when both its elevation and its lightness are
// non-zero; the mask is the framed rectangle (turned with the picture) or
// the framed circle.
void drawPictureShadow(drawContext_t& ctx, const model::item_t* item);

// The document rectangle (inclusive) a picture item covers at a zoom: its
// box, or the box of its turned rectangle, or its circle's box, grown by its
// frame (shadows not included).
geometry::rect_t pictureReach(const model::item_t* item, double zoom);

// Whether the picture's stored format can hold transparency (PNG, SVG, WebP,
// TIFF, by what its bytes are): what lies beneath it may show.
bool pictureMayBeTransparent(const model::item_t* item, const model::itemList_t& document);

// Forgets the item's processed bitmap, so the next drawing decodes again.
void dropPictureCache(const model::item_t* item);
// Whether the item holds a processed bitmap.
bool hasPictureCache(const model::item_t* item);
// Forgets only the processed bitmap: the clip as resampled before its colour
// adjustments stays, so that new adjustments need no decoding.
void dropAdjustedPicture(const model::item_t* item);
bool hasUnadjustedPicture(const model::item_t* item);

} // namespace render
