#include "render/adjust.h"

#include <algorithm>
#include <array>

namespace render {

namespace {

inline int32_t clampChannel(int32_t v) { return std::clamp(v, 0, 255); }

} // namespace

void adjustChannels(uint8_t& r, uint8_t& g, uint8_t& b, const pictureAdjustments_t& a)
{
    int32_t c[3] = {r, g, b};
    if (a.saturation != 0) {
        const int32_t l = (std::max({c[0], c[1], c[2]}) + std::min({c[0], c[1], c[2]})) / 2;
        // 64-bit: a stored value may be anything a file holds.
        for (int32_t& v : c) v = clampChannel(int32_t(std::clamp<int64_t>(v + int64_t(a.saturation) * (v - l) / 128, -1, 256)));
    }
    if (a.contrast != 0)
        for (int32_t& v : c) v = clampChannel(int32_t(std::clamp<int64_t>(v + int64_t(a.contrast) * (v - 128) / 256, -1, 256)));
    if (a.lightness != 0)
        for (int32_t& v : c) v = clampChannel(int32_t(std::clamp<int64_t>(int64_t(v) + a.lightness, -1, 256)));
    r = uint8_t(c[0]);
    g = uint8_t(c[1]);
    b = uint8_t(c[2]);
}

void adjustPicture(QImage& image, const pictureAdjustments_t& a)
{
    if (!a.any() || image.isNull()) return;
    if (image.depth() != 32) image = image.convertToFormat(QImage::Format_RGB32);
    // The same steps as adjustChannels, from tables: contrast and lightness
    // change each channel by itself (one table of 256 for both), saturation
    // moves a channel by an amount that depends only on its distance from
    // the pixel's L (a table over -255..255, limited to what can still
    // reach the other end of the channel's range).
    std::array<uint8_t, 256> tone;
    for (int32_t v = 0; v < 256; ++v) {
        uint8_t r = uint8_t(v), g = uint8_t(v), b = uint8_t(v);
        adjustChannels(r, g, b, {0, a.contrast, a.lightness});
        tone[v] = r;
    }
    std::array<int32_t, 511> shift{};
    if (a.saturation != 0)
        for (int32_t d = -255; d <= 255; ++d)
            shift[d + 255] = int32_t(std::clamp<int64_t>(int64_t(a.saturation) * d / 128, -512, 512));
    for (int32_t y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int32_t x = 0; x < image.width(); ++x) {
            const uint32_t p = row[x];
            int32_t c[3] = {int32_t((p >> 16) & 0xFF), int32_t((p >> 8) & 0xFF), int32_t(p & 0xFF)};
            if (a.saturation != 0) {
                const int32_t l = (std::max({c[0], c[1], c[2]}) + std::min({c[0], c[1], c[2]})) / 2;
                for (int32_t& v : c) v = clampChannel(v + shift[v - l + 255]);
            }
            row[x] = (p & 0xFF000000u) | (uint32_t(tone[c[0]]) << 16) | (uint32_t(tone[c[1]]) << 8) | tone[c[2]];
        }
    }
}

} // namespace render
