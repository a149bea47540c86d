// Frames around picture items: the plain border, the shaded 3-D border of a
// rectangular picture and the shaded ring of a round one.
#pragma once

#include <QImage>

#include <cstdint>

namespace render {

// The light's angle for 3-D frames by the document's light direction code:
// 0 → 45°, 1 → 315°, 2 → 135°, 3 → 225° (radians).
double frameLightOffset(int32_t lightDirection);

// The picture with a border c pixels deep on every side, in the colour
// (0x00BBGGRR), or shaded with the surface level when `shaded`.
QImage framePicture(const QImage& picture, int32_t c, int32_t color, bool shaded, int32_t surface,
                    int32_t lightDirection, double rotation);

// Shades the border of a framed W × H bitmap in place (c pixels deep).
void shadeRectFrame(QImage& framed, int32_t c, int32_t color, int32_t surface, int32_t lightDirection,
                    double rotation);

// Draws the shaded ring of a round picture: `target` is the area of the
// square grown by c on every side; pixels between the outer circle and the
// picture's circle take the ramp's colours.
void shadeRing(QImage& target, int32_t c, int32_t color, int32_t surface, int32_t lightDirection);

} // namespace render
