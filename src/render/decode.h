// Turns the stored bytes of a picture into pixels, one maintained library per
// format family. Every decoder refuses rather than guesses: a decoding error,
// a picture of 1 pixel or less across, or one above the size limit gives a
// null image, and the size is checked before any pixel memory is taken.
#pragma once

#include "model/item.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

namespace render {

// Largest picture decoded (pixels); a larger one is refused before decoding.
constexpr int64_t maxPicturePixels = 100'000'000;
// Largest side and area of a metafile's frame (pixels at 96 per inch, the
// area being more than 40 inches square); a frame beyond them is refused
// before playback.
constexpr int64_t maxMetafileSide = 16384;
constexpr int64_t maxMetafilePixels = int64_t(1) << 24;

// Whether a w × h result is worth decoding: both sides above 1 and the area
// within maxPicturePixels.
bool acceptablePictureSize(int64_t w, int64_t h);

// Each returns a Format_RGB32 image, or a null image on refusal; the formats
// that can be transparent (PNG, SVG, WebP, TIFF) return
// Format_ARGB32_Premultiplied when some pixel is not opaque, the older ones
// are always drawn over white.
// JPEG at 1/1, 1/2, 1/4 or 1/8 of its size (the library's scaled decode).
QImage decodeJpeg(const uint8_t* data, size_t size, int32_t scaleDenom = 1);
// The JPEG's full size without decoding it; false when the header is unreadable.
bool jpegSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height);
// The first image of a GIF on its logical screen; transparent pixels and the
// screen outside the image are white.
QImage decodeGif(const uint8_t* data, size_t size);
// A bitmap whose pixel data is shorter than its header says is refused; a
// 32-bit one with alpha bytes (the 40-byte header) is drawn over white.
QImage decodeBmp(const uint8_t* data, size_t size);
// The largest image of an icon file, drawn onto white.
QImage decodeIco(const uint8_t* data, size_t size);
// A standard (WMF, with or without the placeable header) or enhanced (EMF)
// metafile played into a white bitmap of its frame's size.
QImage decodeMetafile(const uint8_t* data, size_t size);
QImage decodeWmf(const uint8_t* data, size_t size);
QImage decodeEmf(const uint8_t* data, size_t size);

// PNG, WebP and TIFF (its first image) through Qt's image plugins.
QImage decodePng(const uint8_t* data, size_t size);
QImage decodeWebp(const uint8_t* data, size_t size);
QImage decodeTiff(const uint8_t* data, size_t size);
// An SVG drawn by QtSvg at its own size, or at `size` when given (the
// resolution it is shown at), transparent where it draws nothing. Refused:
// compressed SVG, entity declarations, external DTDs, and references to
// anything outside the file (only "#…" and "data:" are followed).
QImage decodeSvg(const uint8_t* data, size_t size, QSize drawnSize = {});
// The part at `at` of size `part` of the SVG drawn at size `whole` (any
// size: only the part is allocated); transparent where it draws nothing.
QImage renderSvgPart(const uint8_t* data, size_t size, QSizeF whole, QPoint at, QSize part);
// The SVG's own size in pixels; false when it would be refused.
bool svgSize(const uint8_t* data, size_t size, QSize& out);

// The format code the bytes themselves announce (a signature at the start),
// 0 when they announce none (a WMF without the placeable header, say).
int32_t pictureFormatOfContent(const uint8_t* data, size_t size);
// Whether a picture data record's format code is one this reader knows.
bool knownPictureFormat(int32_t format);

// By a picture data record's format code (model::pictureGif …), decoded as
// what the bytes are when they announce a format (an icon file that is a
// PNG); JPEGs at the given scale. Null for an unknown code.
QImage decodePictureBytes(int32_t format, const uint8_t* data, size_t size, int32_t jpegScaleDenom = 1);
// The format the bytes are decoded as under decodePictureBytes; 0 for an unknown code.
int32_t effectivePictureFormat(int32_t format, const uint8_t* data, size_t size);

// The image drawn over white, as an opaque RGB32 image.
QImage drawnOnWhite(const QImage& image);

// The picture data record with the item's pictureId, or nullptr.
const model::item_t* pictureDataOf(const model::item_t* item, const model::itemList_t& document);
// The item's stored picture decoded at full size, as stored (not yet turned
// or mirrored); null when its record is missing, empty or undecodable.
QImage decodeStoredPicture(const model::item_t* item, const model::itemList_t& document);

} // namespace render
