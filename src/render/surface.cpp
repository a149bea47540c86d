#include "render/surface.h"

#include <QHash>
#include <QPaintEngine>

#include <algorithm>
#include <cmath>

namespace render {

QImage newCanvasImage(int32_t width, int32_t height)
{
    QImage img(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    return img;
}

const QImage& layerStore_t::keep(const QImage& layer)
{
    const size_t key = qHashBits(layer.constBits(), size_t(layer.sizeInBytes()), size_t(layer.width()) * 65599u + size_t(layer.height()));
    for (const auto& [k, kept] : layers_)
        if (k == key && kept == layer) return kept;
    layers_.emplace_back(key, layer);
    return layers_.back().second;
}

canvas_t::canvas_t(QImage& image) : image_(&image), bounds_(image.rect())
{
    pen_ = QPen(QColor(Qt::black), 1);
    brush_ = QBrush(Qt::NoBrush);
}

canvas_t::canvas_t(QPainter& vectorPainter, QRect bounds, layerStore_t* store)
    : vector_(&vectorPainter), store_(store), bounds_(bounds)
{
    pen_ = QPen(QColor(Qt::black), 1);
    brush_ = QBrush(Qt::NoBrush);
}

canvas_t::~canvas_t() { release(); }

QPainter& canvas_t::painter()
{
    QPainter& p = vector_ ? *vector_ : painter_;
    if (!active_) {
        if (!vector_) painter_.begin(image_);
        if (!vector_ && !clip_.isNull()) painter_.setClipRect(clip_);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setPen(pen_);
        p.setBrush(brush_);
        active_ = true;
    }
    return p;
}

void canvas_t::release()
{
    // A vector device's painter belongs to the caller and stays open.
    if (active_ && !vector_) {
        painter_.end();
        active_ = false;
    }
}

void canvas_t::clipTo(const QRect& area)
{
    clip_ = area;
    if (active_ && !vector_) painter_.setClipRect(clip_);
}

bool canvas_t::clipsPaths() const
{
    if (!vector_) return true;
    const QPaintEngine* engine = vector_->paintEngine();
    return engine && engine->type() != QPaintEngine::SVG;
}

namespace {

// A layer whose clear pixels carry the colour of the nearest inked pixel in
// their row: viewers that sample an image between its pixels then blend the
// edge with its own colour, not with black.
QImage spreadUnderClear(const QImage& layer)
{
    if (!layer.hasAlphaChannel()) return layer;
    QImage out = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        int first = 0;
        while (first < out.width() && qAlpha(row[first]) == 0) ++first;
        if (first == out.width()) continue;
        QRgb last = row[first] & 0x00FFFFFFu;
        for (int x = 0; x < first; ++x) row[x] = last;
        for (int x = first; x < out.width(); ++x) {
            if (qAlpha(row[x]) == 0) row[x] = last;
            else last = row[x] & 0x00FFFFFFu;
        }
    }
    return out;
}

} // namespace

void canvas_t::placeLayer(QPoint at, const QImage& layer, bool photographic)
{
    if (layer.isNull()) return;
    const QImage spread = vector_ ? spreadUnderClear(layer) : layer;
    QPainter& p = painter();
    // Effects keep their exact pixels; a photograph may be stored as JPEG.
    p.setRenderHint(QPainter::LosslessImageRendering, !photographic);
    p.drawImage(at, store_ ? store_->keep(spread) : spread);
}

void canvas_t::setPen(int32_t color, int32_t width, penStyle_t style)
{
    // Renderers set the same pen again and again (every dash of a line).
    const int64_t key = (int64_t(uint32_t(color)) << 32) | (int64_t(std::max(width, 1)) << 1) | (style == penStyle_t::dot);
    if (key == penKey_) return;
    penKey_ = key;
    QPen p{QColor::fromRgb(toRgb(color))};
    // Thin pens leave out the last pixel of a line, thick ones get round ends
    // and joins: the behaviour the figures are designed against.
    if (width <= 1 && vector_) {
        // A vector device's hairline would stay one device dot at any
        // magnification: the thinnest line is one pixel of the output instead.
        p.setWidth(1);
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
    } else if (width <= 1) {
        p.setWidth(0);
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
    } else {
        p.setWidth(width);
        p.setCapStyle(Qt::RoundCap);
        p.setJoinStyle(Qt::RoundJoin);
    }
    if (style == penStyle_t::dot) p.setDashPattern({3.0, 3.0});
    pen_ = p;
    if (active_) painter().setPen(pen_);
}

void canvas_t::setBrush(int32_t color)
{
    if (brushKey_ == int64_t(uint32_t(color))) return;
    brushKey_ = int64_t(uint32_t(color));
    brush_ = QBrush(QColor::fromRgb(toRgb(color)), Qt::SolidPattern);
    if (active_) painter().setBrush(brush_);
}

void canvas_t::clearBrush()
{
    if (brushKey_ == -1) return;
    brushKey_ = -1;
    brush_ = QBrush(Qt::NoBrush);
    if (active_) painter().setBrush(brush_);
}

void canvas_t::polygon(const QPoint* pts, int32_t n)
{
    if (n < 2) return;
    if (thickPen()) {
        if (brush_.style() != Qt::NoBrush) {
            QPainter& p = painter();
            p.setPen(Qt::NoPen);
            p.drawPolygon(pts, n, Qt::OddEvenFill);
            p.setPen(pen_);
            if (sink_) sink_->push_back({primitive_t::polygon, QPen(Qt::NoPen), brush_, std::vector<QPoint>(pts, pts + n), {}, {}, {}, {}});
        }
        strokeThick(pts, n, true);
        return;
    }
    painter().drawPolygon(pts, n, Qt::OddEvenFill);
    if (sink_) sink_->push_back({primitive_t::polygon, pen_, brush_, std::vector<QPoint>(pts, pts + n), {}, {}, {}, {}});
}

void canvas_t::polyline(const QPoint* pts, int32_t n)
{
    if (n < 2) return;
    if (thickPen()) {
        strokeThick(pts, n, false);
        return;
    }
    painter().drawPolyline(pts, n);
    if (sink_) sink_->push_back({primitive_t::polyline, pen_, brush_, std::vector<QPoint>(pts, pts + n), {}, {}, {}, {}});
}

void canvas_t::strokeThick(const QPoint* in, int32_t n, bool closed)
{
    // Consecutive repeats add nothing to a stroke.
    std::vector<QPoint> pts;
    pts.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        if (pts.empty() || pts.back() != in[i]) pts.push_back(in[i]);
    if (closed && pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
    const int32_t m = static_cast<int32_t>(pts.size());
    QPainter& p = painter();
    const QBrush ink(pen_.color());
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double h = pen_.width() / 2.0;
    // Round joins and caps are discs of the pen's width about whole-pixel
    // points. The raster engine paints such a disc alike at every whole-pixel
    // position, so it is painted once into a stamp and the stamp copied; discs
    // off the image paint nothing and are left out.
    const int32_t k = static_cast<int32_t>(std::ceil(h)) + 2;
    const bool opaque32 = !vector_ &&
                          (image_->format() == QImage::Format_RGB32 || image_->format() == QImage::Format_ARGB32 ||
                           image_->format() == QImage::Format_ARGB32_Premultiplied) &&
                          pen_.color().alpha() == 255 && image_->isDetached();
    struct span_t {
        int32_t dy, x0, x1;  // row and columns [x0, x1) about the centre
    };
    std::vector<span_t> spans;
    bool stamped = false;
    auto disc = [&](QPoint c) {
        const QRectF r(c.x() - h, c.y() - h, 2 * h, 2 * h);
        if (sink_) sink_->push_back({primitive_t::disc, QPen(Qt::NoPen), ink, {}, {}, {}, {}, r});
        if (int64_t(c.x()) + k < bounds_.left() || int64_t(c.y()) + k < bounds_.top() ||
            int64_t(c.x()) - k > bounds_.right() || int64_t(c.y()) - k > bounds_.bottom())
            return;
        if (k > 64 || !opaque32) {
            p.drawEllipse(r);
            return;
        }
        if (!stamped) {
            QImage stamp(2 * k + 1, 2 * k + 1, QImage::Format_ARGB32_Premultiplied);
            stamp.fill(Qt::transparent);
            QPainter sp(&stamp);
            sp.setRenderHint(QPainter::Antialiasing, false);
            sp.setPen(Qt::NoPen);
            sp.setBrush(Qt::black);
            sp.drawEllipse(QRectF(k - h, k - h, 2 * h, 2 * h));
            sp.end();
            for (int32_t y = 0; y < stamp.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(stamp.constScanLine(y));
                for (int32_t x = 0; x < stamp.width();) {
                    if (!qAlpha(row[x])) {
                        ++x;
                        continue;
                    }
                    const int32_t from = x;
                    while (x < stamp.width() && qAlpha(row[x])) ++x;
                    spans.push_back({y - k, from - k, x - k});
                }
            }
            stamped = true;
        }
        // The painter draws straight into the image (which has its pixels to
        // itself), so its rows can be written between two of its calls.
        const QRgb value = pen_.color().rgba();
        for (const span_t& sp : spans) {
            const int64_t y = int64_t(c.y()) + sp.dy;
            if (y < 0 || y >= image_->height()) continue;
            const int64_t x0 = std::max<int64_t>(int64_t(c.x()) + sp.x0, 0);
            const int64_t x1 = std::min<int64_t>(int64_t(c.x()) + sp.x1, image_->width());
            if (x0 >= x1) continue;
            auto* row = reinterpret_cast<QRgb*>(image_->scanLine(int(y)));
            std::fill(row + x0, row + x1, value);
        }
    };
    if (m == 1) {
        disc(pts[0]);
    } else {
        // The band along the whole polyline as one polygon: the left offsets
        // forwards, the right offsets backwards, filled by winding so that
        // the small loops at inner joins stay filled. Joins that turn by
        // more than 15 degrees and the two ends get a disc (round joins and
        // caps); gentler joins meet within a fraction of a pixel.
        constexpr double straightCos = 0.9659258;
        const int32_t segments = closed ? m : m - 1;
        QPolygonF left, right;
        left.reserve(2 * segments);
        right.reserve(2 * segments);
        std::vector<QPoint> discs;
        for (int32_t i = 0; i < segments; ++i) {
            const QPointF a = pts[i], b = pts[(i + 1) % m];
            const double dx = b.x() - a.x(), dy = b.y() - a.y(), len = std::hypot(dx, dy);
            const QPointF off(-dy / len * h, dx / len * h);
            left << a + off << b + off;
            right << a - off << b - off;
        }
        for (int32_t i = 0; i < m; ++i) {
            const bool hasPrev = closed || i > 0, hasNext = closed || i < m - 1;
            if (hasPrev && hasNext) {
                const QPoint a = pts[(i + m - 1) % m], b = pts[i], c = pts[(i + 1) % m];
                // In doubles: points from a file may lie anywhere in the integer range.
                const double ux = double(b.x()) - a.x(), uy = double(b.y()) - a.y();
                const double vx = double(c.x()) - b.x(), vy = double(c.y()) - b.y();
                if ((ux * vx + uy * vy) / (std::hypot(ux, uy) * std::hypot(vx, vy)) > straightCos) continue;
            }
            discs.push_back(pts[i]);
        }
        // Closed outlines give two rings of opposite orientation: the ring
        // between them winds once, the inside of the inner one not at all.
        QPolygonF band = left;
        for (qsizetype i = right.size() - 1; i >= 0; --i) band << right[i];
        p.drawPolygon(band, Qt::WindingFill);
        if (sink_) sink_->push_back({primitive_t::band, QPen(Qt::NoPen), ink, {}, {}, {}, band, {}});
        for (const QPoint& c : discs) disc(c);
    }
    p.setPen(pen_);
    p.setBrush(brush_);
}

QPainterPath canvas_t::bezierPath(const std::vector<QPoint>& pts)
{
    QPainterPath path;
    if (pts.empty()) return path;
    path.moveTo(pts[0]);
    for (size_t i = 1; i + 2 < pts.size(); i += 3) path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    return path;
}

void canvas_t::polyBezier(const std::vector<QPoint>& pts)
{
    if (pts.size() < 4) return;
    const QPainterPath path = bezierPath(pts);
    QPainter& p = painter();
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setBrush(brush_);
    if (sink_) sink_->push_back({primitive_t::bezier, pen_, QBrush(Qt::NoBrush), {}, {}, path, {}, {}});
}

void canvas_t::strokeAndFillBezier(const std::vector<QPoint>& pts)
{
    if (pts.size() < 4) return;
    QPainterPath path = bezierPath(pts);
    path.closeSubpath();
    path.setFillRule(Qt::OddEvenFill);
    painter().drawPath(path);
    if (sink_) sink_->push_back({primitive_t::bezierFill, pen_, brush_, {}, {}, path, {}, {}});
}

void canvas_t::ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    const QRect r(left, top, std::max(right - left - 1, 0), std::max(bottom - top - 1, 0));
    painter().drawEllipse(r);
    if (sink_) sink_->push_back({primitive_t::ellipse, pen_, brush_, {}, r, {}, {}, {}});
}

void canvas_t::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t color)
{
    if (right <= left || bottom <= top) return;
    const QRect r(left, top, right - left, bottom - top);
    painter().fillRect(r, QColor::fromRgb(toRgb(color)));
    if (sink_) sink_->push_back({primitive_t::fillRect, QPen(), QBrush(QColor::fromRgb(toRgb(color))), {}, r, {}, {}, {}});
}

bool canvas_t::tryLock()
{
    if (locked_) return false;
    locked_ = true;
    return true;
}

void canvas_t::unlock() { locked_ = false; }

void canvas_t::textOut(QPoint at, double angleDeg, const QFont& font, const QString& text, int32_t color)
{
    QPainter& p = painter();
    // The pen and brush the other figures keep cached stay as they were.
    p.save();
    p.setPen(QColor::fromRgb(toRgb(color)));
    p.setBrush(Qt::NoBrush);
    p.setFont(font);
    if (angleDeg == 0.0) {
        p.drawText(at, text);
    } else {
        p.translate(at);
        p.rotate(-angleDeg);
        p.drawText(QPoint(0, 0), text);
    }
    p.restore();
}

void copyRect(QImage& dest, QPoint destTopLeft, const QImage& source, const QRect& sourceRect)
{
    QRect src = sourceRect.intersected(source.rect());
    if (src.isEmpty()) return;
    QPoint dst = destTopLeft + (src.topLeft() - sourceRect.topLeft());
    QRect dstRect = QRect(dst, src.size()).intersected(dest.rect());
    if (dstRect.isEmpty()) return;
    src = QRect(src.topLeft() + (dstRect.topLeft() - dst), dstRect.size());
    const int bpp = 4;
    for (int y = 0; y < dstRect.height(); ++y) {
        const uchar* s = source.constScanLine(src.top() + y) + src.left() * bpp;
        uchar* d = dest.scanLine(dstRect.top() + y) + dstRect.left() * bpp;
        std::copy(s, s + dstRect.width() * bpp, d);
    }
}

} // namespace render
