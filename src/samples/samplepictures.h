// Small real picture files of every stored format, written by the formats'
// own libraries (libjpeg, giflib, Qt, libEMF) for examples, tests, benchmarks
// and the fuzzers' seed corpora. Each shows the same asymmetric pattern, so a
// turn or a mirror can be seen at a glance.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

using bytes_t = std::vector<uint8_t>;

// Four coloured quarters (red top left, green top right, blue bottom left,
// yellow bottom right) over a grey ramp, with a dark bar along the top.
QImage samplePattern(int32_t width, int32_t height);

bytes_t encodeJpeg(const QImage& image, int32_t quality = 75);
bytes_t encodeGif(const QImage& image);
bytes_t encodeBmp(const QImage& image);
bytes_t encodeIco(const QImage& image);
// Enhanced metafile of w × h pixels (at 96 per inch) drawing the pattern's
// quarters as rectangles and an ellipse.
bytes_t sampleEmf(int32_t width, int32_t height);
// Standard metafile (placeable header) of the same drawing.
bytes_t sampleWmf(int32_t width, int32_t height);

// Through Qt's image writers; WebP at quality 100 (lossless).
bytes_t encodePng(const QImage& image);
bytes_t encodeTiff(const QImage& image);
bytes_t encodeWebp(const QImage& image);
// The pattern with a transparent hole (a quarter of the picture, left of
// the middle) and a half-transparent band at the bottom.
QImage sampleTransparentPattern(int32_t width, int32_t height);
// An SVG of w × h pixels: the pattern's quarters as rectangles, a circle,
// and nothing drawn in the middle's hole.
bytes_t sampleSvg(int32_t width, int32_t height);

// One sample file of each format, named by its extension.
struct sampleFile_t {
    std::string name;
    int32_t format;  // model::pictureGif …
    bytes_t bytes;
};
std::vector<sampleFile_t> sampleFiles(int32_t width, int32_t height);
// One sample file of each format that can be transparent (PNG, SVG, WebP,
// TIFF), each with transparent parts.
std::vector<sampleFile_t> transparentSampleFiles(int32_t width, int32_t height);

} // namespace samples
