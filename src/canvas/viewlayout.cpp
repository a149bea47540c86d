#include "canvas/viewlayout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace canvas {

int32_t axisViewOrigin(int32_t current, int32_t scroll, int32_t panel, int32_t canvasExtent)
{
    if (canvasExtent <= canvasImageLimit) return 0;
    // The part of the canvas visible in the panel; the canvas starts after the
    // 12-pixel anchor gutter.
    const int32_t visLeft = std::max(0, scroll - rulerThickness);
    const int32_t visRight = std::min(canvasExtent, scroll - rulerThickness + panel);
    const int32_t maxOrigin = canvasExtent - canvasImageLimit;
    if (current >= 0 && current <= maxOrigin && current <= visLeft && current + canvasImageLimit >= visRight)
        return current;
    int32_t o = (scroll / canvasImageLimit + 1) * canvasImageLimit;
    o = std::min(o, maxOrigin);
    o = std::min(o, visLeft);
    return std::max(0, o);
}

double docAtViewPixel(int32_t at, int32_t scroll, double zoom)
{
    // The page's corner lies at the gutter's end less the scrolled-away part.
    return (double(at) - rulerThickness + scroll) / zoom;
}

int32_t scrollShowing(double doc, double zoom, int32_t at)
{
    return static_cast<int32_t>(std::clamp<double>(std::nearbyint(doc * zoom) + rulerThickness - at, INT32_MIN / 2,
                                                   INT32_MAX / 2));
}

int32_t fitPercent(double extentX, double extentY, int32_t roomX, int32_t roomY)
{
    const double fx = extentX > 0 ? double(roomX) / extentX : 3.0;
    const double fy = extentY > 0 ? double(roomY) / extentY : 3.0;
    const double f = std::min(fx, fy);
    return std::clamp(static_cast<int32_t>(std::floor(f * 100 + 1e-9)), 1, 300);
}

viewLayout_t computeViewLayout(const viewLayoutIn_t& in)
{
    viewLayout_t r;
    const int32_t W = std::max(0, in.width), H = std::max(0, in.height);
    const int32_t CW = std::max(0, in.canvasRight), CH = std::max(0, in.canvasBottom);
    const int32_t pw = std::max(0, W - rulerThickness);
    const int32_t ph = std::max(0, H - rulerThickness);

    // A bar is needed where the canvas and a 12-pixel margin do not fit; a
    // shown bar takes room from the other direction.
    bool hx = pw < CW + rulerThickness;
    bool vy = ph < CH + rulerThickness;
    if (hx && !vy) vy = ph - scrollBarThickness < CH + rulerThickness;
    if (vy && !hx) hx = pw - scrollBarThickness < CW + rulerThickness;
    r.showX = hx;
    r.showY = vy;

    r.corner1 = QRect(0, 0, rulerThickness, rulerThickness);
    r.Panel0 = QRect(rulerThickness, rulerThickness, pw, ph);
    r.rulerX = QRect(rulerThickness, 0, pw, rulerThickness);
    r.rulerY = QRect(0, rulerThickness, rulerThickness, ph);

    // The bars lie over the panel's bottom and right edges.
    const int32_t both = (hx && vy) ? scrollBarThickness : 0;
    if (hx) {
        r.ScrollBarX = QRect(rulerThickness, H - scrollBarThickness, std::max(0, pw - both), scrollBarThickness);
        r.maxX = std::max(0, CW - pw + rulerThickness + both);
        r.scrollX = std::clamp(in.scrollX, 0, r.maxX);
    }
    if (vy) {
        r.ScrollBarY = QRect(W - scrollBarThickness, rulerThickness, scrollBarThickness, std::max(0, ph - both));
        r.maxY = std::max(0, CH - ph + rulerThickness + both);
        r.scrollY = std::clamp(in.scrollY, 0, r.maxY);
    }
    if (both) r.Panel1 = QRect(W - scrollBarThickness, H - scrollBarThickness, scrollBarThickness, scrollBarThickness);

    r.image = QSize(std::max(1, std::min(CW, canvasImageLimit)), std::max(1, std::min(CH, canvasImageLimit)));
    const int32_t visibleW = pw - (vy ? scrollBarThickness : 0);
    const int32_t visibleH = ph - (hx ? scrollBarThickness : 0);
    r.originX = axisViewOrigin(in.originX, r.scrollX, visibleW, CW);
    r.originY = axisViewOrigin(in.originY, r.scrollY, visibleH, CH);
    r.pageOnScreenX = rulerThickness - r.scrollX;
    r.pageOnScreenY = rulerThickness - r.scrollY;
    r.Panel2 = QRect(r.pageOnScreenX + r.originX, r.pageOnScreenY + r.originY, r.image.width(), r.image.height());
    return r;
}

} // namespace canvas
