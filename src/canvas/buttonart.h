// The toolbar's button pictures, drawn at run time: a small glyph per
// command on a flat, raised (hover), pressed or disabled face.
#pragma once

#include <QImage>

#include <cstdint>

namespace canvas {

// look: 0 flat, 1 raised, 2 pressed, 3 disabled. Buttons 10 and 11 are the
// zoom out / zoom in pictures.
QImage drawButtonPicture(int32_t n, int32_t look, int32_t size);

} // namespace canvas
