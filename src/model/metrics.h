// The screen metrics that relate document pixels to millimetres and inches,
// and the one rounding rule every conversion to a pixel uses.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace model {

// Nearest integer, halves to even (0.5 -> 0, 1.5 -> 2, -0.5 -> 0), computed in
// extended precision, then taken as a 32-bit integer (saturating).
inline int32_t roundHalfEven(long double v)
{
    if (std::isnan(v)) return 0;
    // Adding and taking away 1.5 × 2^63 leaves no fraction bits in the 64-bit
    // mantissa, so the sum is rounded to an integer by the FPU in its default
    // to-nearest-even mode: the same result as nearbyint, without its libm
    // call (renderers round millions of coordinates per repaint). Values too
    // large for this saturate below either way.
    long double r;
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        constexpr long double shifter = 0x1.8p63L;
        r = std::fabs(v) < 0x1p62L ? (v + shifter) - shifter : v;
    } else {
        r = std::nearbyint(v);
    }
    if (r >= 2147483647.0L) return INT32_MAX;
    if (r <= -2147483648.0L) return INT32_MIN;
    return static_cast<int32_t>(r);
}

// Screen pixels per inch, fixed for the run: LUMORA_SCREEN_PPI, else 96.
struct screenMetrics_t {
    int32_t screenPpiX = 96;
    int32_t screenPpiY = 96;
    double pxPerMmX = 96 / 25.4;
    double pxPerMmY = 96 / 25.4;
};

const screenMetrics_t& screen();
// Replaces the metrics (tests, and the command-line tool's --ppi).
void setScreenPpi(int32_t ppiX, int32_t ppiY);

} // namespace model
