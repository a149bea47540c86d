// The toolbar pictures say what their tools draw.
#include "canvas/buttonart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using canvas::drawButtonPicture;

namespace {

constexpr int32_t buttonPointer = 9;
constexpr int32_t buttonCircle = 24;
constexpr int32_t buttonPolygon = 26;
constexpr int32_t buttonSpline = 29;
constexpr int32_t buttonCurve = 30;

// The pixels of the glyph: everything that is not the button's face.
std::vector<bool> inkOf(const QImage& img)
{
    const QRgb face = img.pixel(0, img.height() / 2);
    std::vector<bool> ink(size_t(img.width()) * size_t(img.height()));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) ink[size_t(y) * img.width() + x] = img.pixel(x, y) != face;
    return ink;
}

// The number of corners of the glyph's outline: its distance from the
// middle, walked once around, rises to a corner and falls to the middle of
// a side once per side.
int32_t cornersOf(int32_t button)
{
    const int size = 200;
    const QImage img = drawButtonPicture(button, 0, size);
    const std::vector<bool> ink = inkOf(img);
    double cx = 0, cy = 0;
    int n = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (ink[size_t(y) * size + x]) {
                cx += x;
                cy += y;
                ++n;
            }
    if (n == 0) return 0;
    cx /= n;
    cy /= n;
    std::vector<double> reach;
    for (int deg = 0; deg < 360; ++deg) {
        const double a = deg * std::numbers::pi / 180;
        double last = 0;
        for (double r = 0; r < size; r += 0.5) {
            const int x = int(std::lround(cx + r * std::cos(a))), y = int(std::lround(cy + r * std::sin(a)));
            if (x < 0 || y < 0 || x >= size || y >= size) break;
            if (ink[size_t(y) * size + x]) last = r;
        }
        reach.push_back(last);
    }
    const auto [lo, hi] = std::minmax_element(reach.begin(), reach.end());
    const double mid = (*lo + *hi) / 2, band = (*hi - *lo) / 4;
    // Rises above the band after having been below it, around the circle.
    int32_t rises = 0;
    bool below = false;
    for (int k = 0; k < 720; ++k) {
        const double r = reach[size_t(k % 360)];
        if (r < mid - band) below = true;
        else if (r > mid + band && below) {
            below = false;
            if (k >= 360) ++rises;
        }
    }
    return rises;
}

// The hints speak of "the button with the hand picture": a finger on top of
// a palm, so the glyph is narrow at the top and wide all through its lower
// part (an arrow's tail is narrow there).
TEST(ButtonArt, PointerPictureIsAHandAFingerAboveAPalm)
{
    const int size = 200;
    const std::vector<bool> ink = inkOf(drawButtonPicture(buttonPointer, 0, size));
    auto widthOfRow = [&](int y) {
        int first = size, last = -1;
        for (int x = 0; x < size; ++x)
            if (ink[size_t(y) * size + x]) {
                first = std::min(first, x);
                last = x;
            }
        return last < first ? 0 : last - first + 1;
    };
    int top = size, bottom = -1;
    for (int y = 0; y < size; ++y)
        if (widthOfRow(y) > 0) {
            top = std::min(top, y);
            bottom = y;
        }
    ASSERT_LT(top, bottom);
    const int height = bottom - top + 1;
    // The finger: the upper quarter is narrow.
    for (int y = top; y < top + height / 4; ++y) EXPECT_LT(widthOfRow(y), size / 4) << "row " << y;
    // The palm: every row of the lower third is wide.
    for (int y = bottom - height / 3; y <= bottom - 4; ++y) EXPECT_GT(widthOfRow(y), size * 2 / 5) << "row " << y;
}

TEST(ButtonArt, PolygonPictureHasTheToolsFiveSides)
{
    EXPECT_EQ(cornersOf(buttonPolygon), 5);
}

struct glyphPair_t {
    const char* name;
    int32_t a, b;
};
void PrintTo(const glyphPair_t& p, std::ostream* os) { *os << p.name; }

class DistinctGlyphs : public ::testing::TestWithParam<glyphPair_t> {};

// Two pictures that share most of their ink look alike on a 20-pixel button.
TEST_P(DistinctGlyphs, ShareLessThanHalfTheirInk)
{
    const std::vector<bool> a = inkOf(drawButtonPicture(GetParam().a, 0, 40));
    const std::vector<bool> b = inkOf(drawButtonPicture(GetParam().b, 0, 40));
    int both = 0, either = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    ASSERT_GT(either, 0);
    EXPECT_LT(double(both) / either, 0.5) << both << " of " << either;
}

INSTANTIATE_TEST_SUITE_P(Toolbar, DistinctGlyphs,
                         ::testing::Values(glyphPair_t{"SplineAndCircle", buttonSpline, buttonCircle},
                                           glyphPair_t{"CurveAndCircle", buttonCurve, buttonCircle},
                                           glyphPair_t{"SplineAndCurve", buttonSpline, buttonCurve}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
