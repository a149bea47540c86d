// Where the rulers, the canvas panel, the scroll bars and the canvas image of
// a document window go for a window size, a zoomed page and scroll positions.
// Pure arithmetic, so that the layout rules can be checked without windows.
#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>

namespace canvas {

constexpr int32_t rulerThickness = 12;
constexpr int32_t scrollBarThickness = 16;
constexpr int32_t canvasImageLimit = 1600;

struct viewLayoutIn_t {
    int32_t width = 0, height = 0;        // client size of base0
    int32_t canvasRight = 0, canvasBottom = 0;  // CW, CH: zoomed page's right and bottom edges
    int32_t scrollX = 0, scrollY = 0;     // current scroll positions
    int32_t originX = 0, originY = 0;     // current view origin of the canvas image
};

struct viewLayout_t {
    QRect corner1, rulerX, rulerY, Panel0;
    bool showX = false, showY = false;    // horizontal / vertical scroll bar
    QRect ScrollBarX, ScrollBarY, Panel1;
    int32_t maxX = 0, maxY = 0;           // scroll bar maxima
    int32_t scrollX = 0, scrollY = 0;     // positions after clamping (0 for a hidden bar)
    QSize image;                          // size of Image1
    int32_t originX = 0, originY = 0;     // viewOrigin
    int32_t pageOnScreenX = 0, pageOnScreenY = 0;
    QRect Panel2;                         // in Panel0 coordinates
};

viewLayout_t computeViewLayout(const viewLayoutIn_t& in);

// The view origin along one axis: kept while the image still covers the
// visible part of the canvas, otherwise moved on in 1600-pixel steps.
int32_t axisViewOrigin(int32_t current, int32_t scroll, int32_t panel, int32_t canvasExtent);

// Along one axis, the document coordinate shown at `at` (pixels of the view
// panel, Panel0) for a scroll position and zoom, and the scroll position
// that shows document coordinate `doc` at `at` at another zoom: the two make
// a zoom keep a point of the view (under the mouse, or the view's centre).
double docAtViewPixel(int32_t at, int32_t scroll, double zoom);
int32_t scrollShowing(double doc, double zoom, int32_t at);

// The largest whole percentage (1..300) at which an extent of document
// pixels fits into `room` view pixels in both directions.
int32_t fitPercent(double extentX, double extentY, int32_t roomX, int32_t roomY);

} // namespace canvas
