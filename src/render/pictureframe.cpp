#include "render/pictureframe.h"

#include "geometry/units.h"
#include "model/metrics.h"
#include "render/resample.h"
#include "render/shade.h"
#include "render/surface.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace render {

using model::roundHalfEven;

namespace {

constexpr double degree = std::numbers::pi / 180.0;

pixelBuffer_t viewOf(QImage& image)
{
    return {image.bits(), image.width(), image.height(), int32_t(image.bytesPerLine()), 4};
}

std::vector<QRgb> rampColours(int32_t c, int32_t surface, int32_t color)
{
    std::vector<QRgb> out;
    for (int32_t bgr : shadeRamp(c, surface, color)) out.push_back(toRgb(bgr));
    return out;
}

// A c × c corner resampled up to 2c × 2c and back with the B-spline filter.
void softenCorner(QImage& image, int32_t left, int32_t top, int32_t c)
{
    QImage corner = image.copy(left, top, c, c);
    QImage big(2 * c, 2 * c, QImage::Format_RGB32);
    if (!resampleInto(viewOf(corner), viewOf(big), filterBSpline)) return;
    if (!resampleInto(viewOf(big), viewOf(corner), filterBSpline)) return;
    copyRect(image, QPoint(left, top), corner, corner.rect());
}

} // namespace

double frameLightOffset(int32_t lightDirection)
{
    switch (lightDirection) {
    case 1: return 315 * degree;
    case 2: return 135 * degree;
    case 3: return 225 * degree;
    default: return 45 * degree;
    }
}

void shadeRectFrame(QImage& framed, int32_t c, int32_t color, int32_t surface, int32_t lightDirection,
                    double rotation)
{
    const int32_t w = framed.width(), h = framed.height();
    if (c < 1 || w < 2 * c || h < 2 * c) return;
    const std::vector<QRgb> ramp = rampColours(c, surface, color);
    const double q = frameLightOffset(lightDirection) - rotation;
    const int32_t t = c / 4;
    const int32_t sideShift = roundHalfEven(std::sin(q) * t), edgeShift = roundHalfEven(std::cos(q) * t);
    // The left and right strips repeat one pattern (not its mirror image).
    for (int32_t y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(framed.scanLine(y));
        for (int32_t k = 0; k < c; ++k) {
            const QRgb v = ramp[size_t(wrapRow(k + sideShift, c))];
            row[k] = v;
            row[w - c + k] = v;
        }
    }
    // Top and bottom cover the strips in mitre shape; the bottom mitre is
    // one pixel narrower at each end.
    for (int32_t k = 0; k < c; ++k) {
        const QRgb v = ramp[size_t(wrapRow(k + edgeShift, c))];
        auto* top = reinterpret_cast<QRgb*>(framed.scanLine(k));
        for (int32_t x = k; x <= w - k - 1; ++x) top[x] = v;
        auto* bottom = reinterpret_cast<QRgb*>(framed.scanLine(h - c + k));
        for (int32_t x = c - k; x <= w - c + k - 1; ++x) bottom[x] = v;
    }
    if (c > 12) {
        if (lightDirection == 0 || lightDirection == 3) {
            softenCorner(framed, w - c, 0, c);
            softenCorner(framed, 0, h - c, c);
        } else {
            softenCorner(framed, 0, 0, c);
            softenCorner(framed, w - c, h - c, c);
        }
    }
}

QImage framePicture(const QImage& picture, int32_t c, int32_t color, bool shaded, int32_t surface,
                    int32_t lightDirection, double rotation)
{
    if (c <= 0) return picture;
    QImage framed(picture.width() + 2 * c, picture.height() + 2 * c, QImage::Format_RGB32);
    if (framed.isNull()) return {};
    framed.fill(toRgb(color));
    copyRect(framed, QPoint(c, c), picture, picture.rect());
    if (shaded) shadeRectFrame(framed, c, color, surface, lightDirection, rotation);
    return framed;
}

void shadeRing(QImage& target, int32_t c, int32_t color, int32_t surface, int32_t lightDirection)
{
    const int32_t w = target.width(), h = target.height();
    if (c < 1 || w <= 2 * c || h <= 2 * c) return;
    const std::vector<QRgb> ramp = rampColours(c, surface, color);
    const geometry::point_t m{(w - 2) / 2, (h - 2) / 2};
    const int32_t rim = (w - 3) / 2;
    const double light = frameLightOffset(lightDirection);
    // Between the outer circle (the whole area) and the picture's circle.
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0, outer = w / 2.0, inner = w / 2.0 - c;
    for (int32_t y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int32_t x = 0; x < w; ++x) {
            const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 > outer * outer || d2 <= inner * inner) continue;
            const geometry::point_t p{x, y};
            const double alpha = geometry::segmentAngle(m, p);
            const int32_t k = rim + roundHalfEven(std::sin(alpha - light) * (c / 4)) - roundHalfEven(geometry::distance(m, p));
            const int32_t r = k < 0 ? k + c : k >= c ? k - c : k;
            if (r < 0 || r >= c) continue;  // still outside: left as it is
            row[x] = ramp[size_t(r)];
        }
    }
}

} // namespace render
