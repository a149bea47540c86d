// The drawing surface every renderer uses: a QImage (Format_RGB32) painted by
// an aliased QPainter, or a vector device (a PDF or SVG page) painted through
// the same calls, with the pen/brush model the renderers are written against
// (solid or dotted pens, solid or clear brushes) and document colours
// (0x00BBGGRR) converted here and nowhere else.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

namespace render {

// The canvas image never exceeds this many pixels on either side.
constexpr int32_t maxCanvasSide = 1600;

// 0x00BBGGRR (document colour) to the image's 0xAARRGGBB.
inline QRgb toRgb(int32_t bgr)
{
    const uint32_t c = static_cast<uint32_t>(bgr);
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
// A document colour as a Qt colour (window furniture, pens of transient figures).
inline QColor toColor(int32_t bgr)
{
    return QColor::fromRgb(toRgb(bgr));
}
// And back: a pixel of the image as 0x00BBGGRR.
inline int32_t toBgr(QRgb rgb)
{
    return static_cast<int32_t>(((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu));
}

// A new canvas bitmap of the given size, filled with white.
QImage newCanvasImage(int32_t width, int32_t height);

enum class penStyle_t { solid, dot };

// One drawing operation as the canvas issued it (for measuring the renderers
// against plain QPainter calls, and for tests that look at what was drawn).
struct primitive_t {
    enum op_t { polygon, polyline, bezier, bezierFill, ellipse, fillRect, band, disc } op = polygon;
    QPen pen;
    QBrush brush;
    std::vector<QPoint> pts;
    QRect rect;
    QPainterPath path;
    QPolygonF quad;  // band: a polygon filled by winding, without outline
    QRectF circle;   // disc: a filled circle without outline
};

// Identical pixel layers placed on a vector device, kept so that a layer
// drawn again (the same picture or shadow in every cell of a sheet) is handed
// to the device as the same image, which a PDF then stores once.
class layerStore_t {
public:
    const QImage& keep(const QImage& layer);

private:
    std::vector<std::pair<size_t, QImage>> layers_;
};

// One painting session on an image, or on a vector device. On an image the
// QPainter is begun lazily and ended by release() (before row access or block
// copies) or by the destructor. On a vector device the caller's painter (in
// device pixels) is used as it is; figures become paths and text, and the
// pixel effects (soft shadows, shaded surfaces, pictures) are computed at the
// device's resolution exactly as on an image and placed as layers.
class canvas_t {
public:
    explicit canvas_t(QImage& image);
    // `bounds`: the device's area in its pixels (what an image's rectangle
    // is to the raster form); `store` may be null.
    canvas_t(QPainter& vectorPainter, QRect bounds, layerStore_t* store);
    ~canvas_t();
    canvas_t(const canvas_t&) = delete;
    canvas_t& operator=(const canvas_t&) = delete;

    // Whether the canvas paints a vector device; image() is only for the raster form.
    bool isVector() const { return vector_ != nullptr; }
    QImage& image() { return *image_; }
    // Whether the device takes clip paths (an SVG generator ignores them).
    bool clipsPaths() const;
    QRect bounds() const { return bounds_; }
    int32_t width() const { return bounds_.width(); }
    int32_t height() const { return bounds_.height(); }
    QPainter& painter();
    void release();
    // Keeps the painter's figures within `area` of an image (a band of it
    // painted by one thread); figures are rasterised exactly as without it,
    // only their pixels outside are left out. Pixel effects written row by
    // row are not held in: the caller discards what lies outside.
    void clipTo(const QRect& area);
    // The pixels this canvas may change: the clip of clipTo within the image,
    // or the whole device. Pixel effects compute only what lands here.
    QRect paintedArea() const { return clip_.isNull() || vector_ ? bounds_ : clip_.intersected(bounds_); }
    // A layer of pixels (ARGB32, transparent where the canvas stays as it
    // is) laid over the canvas with its top-left corner at `at`; stored
    // without loss unless it is `photographic` (a picture read from a JPEG).
    void placeLayer(QPoint at, const QImage& layer, bool photographic = false);

    // Pen: colour, width in pixels (0 or 1 = the thinnest line), style.
    void setPen(int32_t color, int32_t width, penStyle_t style = penStyle_t::solid);
    void setBrush(int32_t color);
    void clearBrush();

    void polygon(const QPoint* pts, int32_t n);
    void polygon(const std::vector<QPoint>& pts) { polygon(pts.data(), static_cast<int32_t>(pts.size())); }
    void polyline(const QPoint* pts, int32_t n);
    void polyline(const std::vector<QPoint>& pts) { polyline(pts.data(), static_cast<int32_t>(pts.size())); }
    // A start point and three points per cubic segment; a trailing incomplete
    // segment is ignored.
    void polyBezier(const std::vector<QPoint>& pts);
    // Fills the Bézier chain's interior with the brush and strokes it with the pen.
    void strokeAndFillBezier(const std::vector<QPoint>& pts);
    // The ellipse inscribed in the rectangle left..right-1, top..bottom-1.
    void ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Fills left..right-1, top..bottom-1 with the colour, no outline.
    void fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t color);
    // Text in the colour with a clear background, its baseline starting at
    // `baselineStart` and running `angleDeg` degrees counter-clockwise.
    void textOut(QPoint baselineStart, double angleDeg, const QFont& font, const QString& text, int32_t color);

    // Exclusive use of the canvas while a figure is drawn. A canvas belongs
    // to one thread (a pass on several threads gives each its own); the lock
    // guards against a renderer re-entering itself from an event processed
    // while it draws.
    bool tryLock();
    void unlock();

    // While a sink is set, operations are appended to it as well as drawn.
    void record(std::vector<primitive_t>* sink) { sink_ = sink; }
    bool recording() const { return sink_ != nullptr; }

private:
    // Thick solid pens are stroked as one filled band along the polyline and
    // discs at its ends and sharp joins (round caps and joins), without the
    // general path stroker.
    void strokeThick(const QPoint* pts, int32_t n, bool closed);
    bool thickPen() const { return pen_.width() > 1 && pen_.style() == Qt::SolidLine; }
    static QPainterPath bezierPath(const std::vector<QPoint>& pts);

    QImage* image_ = nullptr;
    QPainter* vector_ = nullptr;
    layerStore_t* store_ = nullptr;
    QRect bounds_;
    QRect clip_;  // null: none
    QPainter painter_;
    bool active_ = false;
    bool locked_ = false;
    std::vector<primitive_t>* sink_ = nullptr;
    QPen pen_;
    QBrush brush_;
    int64_t penKey_ = -2;    // colour, width and style of pen_
    int64_t brushKey_ = -1;  // colour of brush_, -1 none
};

// Holds the canvas lock for one figure, retrying until it is free.
class canvasLock_t {
public:
    explicit canvasLock_t(canvas_t& c) : c_(c) { while (!c_.tryLock()) {} }
    ~canvasLock_t() { c_.unlock(); }
    canvasLock_t(const canvasLock_t&) = delete;
    canvasLock_t& operator=(const canvasLock_t&) = delete;
private:
    canvas_t& c_;
};

// Block copy of a rectangle (left, top, width, height) between images of the
// same format, clipped to both images.
void copyRect(QImage& dest, QPoint destTopLeft, const QImage& source, const QRect& sourceRect);

} // namespace render
