// Colour adjustments of a picture item, applied to its drawn pixels every time
// it is drawn (the stored picture never changes).
#pragma once

#include <QImage>

#include <cstdint>

namespace render {

struct pictureAdjustments_t {
    int32_t saturation = 0;
    int32_t contrast = 0;
    int32_t lightness = 0;
    bool any() const { return saturation != 0 || contrast != 0 || lightness != 0; }
};

// One pixel's channels through saturation, then contrast, then lightness,
// each step only when its value is not 0.
void adjustChannels(uint8_t& r, uint8_t& g, uint8_t& b, const pictureAdjustments_t& a);

// Every pixel of an RGB32 (or ARGB32) image, in place; all three values 0
// leaves the image untouched without visiting it.
void adjustPicture(QImage& image, const pictureAdjustments_t& a);

} // namespace render
