// Filtered bitmap resampling: the separable two-pass rescaling that picture
// items, shadows, frame corners, print preview and export all share. Pure
// arithmetic on row-addressed pixel memory, so it runs headless and can work
// directly on a QImage's scan lines without copying.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace render {

// Filter numbers, in this order.
enum resampleFilter_t : int32_t {
    filterBox = 0,
    filterTriangle = 1,
    filterHermite = 2,
    filterBell = 3,
    filterBSpline = 4,
    filterLanczos3 = 5,
    filterMitchell = 6,
};
constexpr int32_t filterCount = 7;

// Largest target or source area accepted (pixels), so a hostile picture size
// cannot ask for an absurd allocation.
constexpr int64_t maxResamplePixels = int64_t(1) << 28;
// Largest support accepted (source pixels at scale 1).
constexpr double maxResampleSupport = 64.0;

// A view of pixel memory: `height` rows of `width` pixels, `stride` bytes
// apart. 3 bytes per pixel (24-bit) or 4 (32-bit, the fourth byte unused;
// written as 0xFF so an RGB32 image stays opaque). The three colour bytes are
// filtered independently, whatever their order.
struct pixelBuffer_t {
    uint8_t* data = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    int32_t bytesPerPixel = 3;

    uint8_t* row(int32_t y) const { return data + ptrdiff_t(y) * stride; }
    bool valid() const;
};

// An owned 24-bit bitmap with rows padded to 4 bytes.
struct bitmap24_t {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    std::vector<uint8_t> pixels;

    // Reallocates (content zero); false when the size is refused.
    bool resize(int32_t w, int32_t h);
    pixelBuffer_t view();
    const uint8_t* row(int32_t y) const { return pixels.data() + ptrdiff_t(y) * stride; }
    uint8_t* row(int32_t y) { return pixels.data() + ptrdiff_t(y) * stride; }
};

// f(x) of a filter, in single precision; 0 for an unknown filter number.
float filterValue(int32_t filter, float x);
// The filter's default support (half width); 0 for an unknown filter number.
float defaultSupport(int32_t filter);

// Integer weights (filter × 256, halves to even) of every target index along
// one axis: target i takes the pairs start[i] … start[i+1]−1.
struct contributors_t {
    std::vector<int32_t> start;   // targetSize + 1 entries
    std::vector<int32_t> index;   // source index, reflected at the edges
    std::vector<int32_t> weight;
    int32_t total(int32_t i) const;
};
// Scale k = (targetSize − 1) / (sourceSize − 1) as the resampler uses it.
contributors_t buildContributors(int32_t targetSize, int32_t sourceSize, int32_t filter, float support);

// One channel of a weighted sum: sum div total (truncating towards zero), or
// sum div 256 when total is 0, limited to 0 … 255.
uint8_t weightedQuotient(int32_t sum, int32_t total);

// Fills `target` (its own size) from `source`. Returns false and leaves the
// target untouched when a width or height is not above 1, a buffer is not
// valid, the filter number is unknown, or the support is negative or too large.
// `support` 0 takes the filter's default.
bool resampleInto(const pixelBuffer_t& source, const pixelBuffer_t& target, int32_t filter, double support = 0);

// Fills `target` for a picture shown at `target`'s size: when each side of
// the target is a whole multiple of the source's (scale 1 included) every
// target pixel lies in exactly one source pixel, which it copies, so the
// picture stays sharp (a side of 1 pixel can then be enlarged too);
// otherwise resampleInto with the filter and its refusals.
bool resamplePicture(const pixelBuffer_t& source, const pixelBuffer_t& target, int32_t filter);

// Makes `target` a 24-bit bitmap of targetWidth × targetHeight and fills it
// from `source`. When a size is not above 1 the target still gets its new
// size (blank) and nothing is computed; returns whether it was filled.
bool resampleBitmap(const pixelBuffer_t& source, bitmap24_t& target, int32_t targetWidth,
                    int32_t targetHeight, int32_t filter, double support = 0);

} // namespace render
