// The screen metrics that relate document pixels to millimetres and inches,
// and the one rounding rule every conversion to a pixel uses.
#pragma once

#include <cmath>
#include <cstdint>

namespace model {

// Nearest integer, halves to even (0.5 -> 0, 1.5 -> 2, -0.5 -> 0), computed in
// extended precision, then taken as a 32-bit integer (saturating).
inline int32_t roundHalfEven(long double v)
{
    if (std::isnan(v)) return 0;
    long double r = std::nearbyint(v);  // default rounding mode is to-nearest-even
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
