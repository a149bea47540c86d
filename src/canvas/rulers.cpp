#include "canvas/rulers.h"
#include "render/surface.h"

#include "geometry/units.h"
#include "model/metrics.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <map>

namespace canvas {

namespace {

// Subdivisions of a major step: (divisions, tick length).
struct division_t {
    int32_t parts;
    int32_t length;
};

std::vector<division_t> divisions(int32_t unit, double z)
{
    std::vector<division_t> d;
    if (unit == 2) {
        d.push_back({2, 4});
        d.push_back({4, 1});
        if (z > 1) d.push_back({8, 1});
    } else if (unit == 3) {
        if (z > 0.25) {
            d.push_back({2, 8});
            d.push_back({4, 4});
        }
        if (z > 0.5) d.push_back({8, 1});
        if (z > 1) d.push_back({16, 1});
        if (z > 2) d.push_back({32, 1});
    } else {
        if (z > 0.1 && z <= 0.25) d.push_back({5, 1});
        if (z > 0.25) d.push_back({10, 1});
        if (z > 1) d.push_back({20, 1});
    }
    return d;
}

bool labelled(int32_t unit, double z)
{
    if (unit == 2) return z > 0.25;
    if (unit == 3) return z > 0.125;
    return true;
}

int32_t labelStep(int32_t unit)
{
    return unit == 2 ? 10 : unit == 3 ? 1 : 100;
}

} // namespace

int32_t rulerMajorStep(int32_t unit, double zoom, double pxPerUnit)
{
    if (unit == 2) return model::roundHalfEven(zoom * pxPerUnit * 10);
    if (unit == 3) return model::roundHalfEven(zoom * pxPerUnit);
    return model::roundHalfEven(100 * zoom);
}

std::vector<rulerTick_t> rulerTicks(int32_t unit, double zoom, double pxPerUnit, int32_t extent)
{
    return rulerTicks(unit, zoom, pxPerUnit, 0, extent);
}

std::vector<rulerTick_t> rulerTicks(int32_t unit, double zoom, double pxPerUnit, int32_t from, int32_t extent)
{
    std::vector<rulerTick_t> out;
    const int32_t major = rulerMajorStep(unit, zoom, pxPerUnit);
    if (major < 1 || extent < 0) return out;
    std::map<int32_t, rulerTick_t> ticks;
    auto put = [&](int32_t pos, int32_t len, int32_t label) {
        auto it = ticks.find(pos);
        if (it == ticks.end() || it->second.length < len) ticks[pos] = {pos, len, label};
    };
    const bool withLabels = labelled(unit, zoom);
    const std::vector<division_t> divs = divisions(unit, zoom);
    // A tick marks where an item at that document pixel shows: the measure
    // is rounded to a document pixel and then zoomed, as the gridlines, the
    // page guides and the snapped positions are, so all of them meet on the
    // same canvas pixel and the marks never drift along a long page.
    const double perMajor = static_cast<double>(labelStep(unit)) * (unit == 1 ? 1.0 : pxPerUnit);
    auto at = [&](int64_t k, int32_t i, int32_t parts) {
        const long double doc = (static_cast<long double>(k) + static_cast<long double>(i) / parts) * perMajor;
        return geometry::docToScreen(zoom, model::roundHalfEven(doc), 0);
    };
    for (int64_t k = std::max<int64_t>(0, from / major - 1); at(k, 0, 1) <= extent; ++k) {
        const int32_t base = at(k, 0, 1);
        // No tick or label at the page edge itself.
        if (k > 0) put(base, 11, withLabels ? static_cast<int32_t>(k * labelStep(unit)) : 0);
        for (const division_t& d : divs)
            for (int32_t i = 1; i < d.parts; ++i) {
                const int32_t pos = at(k, i, d.parts);
                if (pos <= extent) put(pos, d.length, 0);
            }
    }
    out.reserve(ticks.size());
    for (auto& [pos, t] : ticks) out.push_back(t);
    return out;
}

void drawRuler(QImage& img, const rulerLayout_t& s)
{
    if (img.isNull()) return;
    const int32_t length = s.vertical ? img.height() : img.width();
    img.fill(render::toColor(rulerRestColour));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    QFont f(s.fontName);
    f.setPointSize(s.fontSize);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    const int32_t thick = s.vertical ? img.width() : img.height();

    // The page band, in ruler pixels.
    const int32_t b0 = std::max(0, s.pageStart - s.first);
    const int32_t b1 = std::min(length, s.pageEnd - s.first);
    if (b1 <= b0) return;
    if (s.vertical) p.fillRect(0, b0, thick, b1 - b0, render::toColor(rulerBandColour));
    else p.fillRect(b0, 0, b1 - b0, thick, render::toColor(rulerBandColour));

    // Ticks of the visible part only, in pieces of at most 1600 pixels, so a
    // long ruler never walks the whole page.
    const int32_t visibleFrom = std::max(0, s.first - s.pageStart);
    const int32_t visibleTo = std::min(s.pageEnd - s.pageStart, s.first + length - s.pageStart);
    // Labels reach up to a step to the right of their tick: start one step early.
    const std::vector<rulerTick_t> ticks = rulerTicks(s.unit, s.zoom, s.pxPerUnit, visibleFrom, visibleTo);
    p.setPen(render::toColor(s.tickColour));
    for (const rulerTick_t& t : ticks) {
        const int32_t pos = s.pageStart + t.at - s.first;
        if (pos >= b0 && pos < b1) {
            if (s.vertical) p.drawLine(thick - t.length, pos, thick - 1, pos);
            else p.drawLine(pos, thick - t.length, pos, thick - 1);
        }
        if (t.label > 0) {
            p.save();
            p.setPen(render::toColor(s.labelColour));
            p.setClipRect(s.vertical ? QRect(0, b0, thick, b1 - b0) : QRect(b0, 0, b1 - b0, thick));
            const QString text = QString::number(t.label);
            if (s.vertical) {
                // Rotated by 90 degrees, reading down the ruler.
                p.translate(0, pos + 2);
                p.rotate(90);
                p.drawText(QRect(0, -thick, 200, thick), Qt::AlignLeft | Qt::AlignTop, text);
            } else {
                p.drawText(QRect(pos + 2, -1, 200, thick + 1), Qt::AlignLeft | Qt::AlignTop, text);
            }
            p.restore();
        }
    }
}

rulerImage_t::rulerImage_t(bool vertical, QWidget* parent) : QWidget(parent), vertical_(vertical)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void rulerImage_t::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (onMouse) onMouse(QEvent::MouseButtonPress, e->button(), e->buttons(), vertical_ ? p.y() : p.x());
}

void rulerImage_t::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (onMouse) onMouse(QEvent::MouseMove, e->button(), e->buttons(), vertical_ ? p.y() : p.x());
}

void rulerImage_t::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (onMouse) onMouse(QEvent::MouseButtonRelease, e->button(), e->buttons(), vertical_ ? p.y() : p.x());
}

void rulerImage_t::redraw(const rulerLayout_t& layout)
{
    markerSaved_ = false;
    marker_ = -1;
    const QSize sz(std::max(1, width()), std::max(1, height()));
    if (img_.size() != sz) img_ = QImage(sz, QImage::Format_RGB32);
    drawRuler(img_, layout);
    update();
}

void rulerImage_t::removeMarker()
{
    if (!markerSaved_) return;
    markerSaved_ = false;
    const int32_t len = vertical_ ? img_.width() : img_.height();
    for (int32_t i = 0; i < len && i < static_cast<int32_t>(saved_.size()); ++i) {
        if (vertical_) reinterpret_cast<QRgb*>(img_.scanLine(marker_))[i] = saved_[i];
        else reinterpret_cast<QRgb*>(img_.scanLine(i))[marker_] = saved_[i];
    }
    update(vertical_ ? QRect(0, marker_, width(), 1) : QRect(marker_, 0, 1, height()));
    marker_ = -1;
}

void rulerImage_t::showMarker(int32_t pos)
{
    removeMarker();
    const int32_t along = vertical_ ? img_.height() : img_.width();
    if (img_.isNull() || pos < 0 || pos >= along) return;
    const int32_t len = vertical_ ? img_.width() : img_.height();
    saved_.resize(len);
    const QRgb red = qRgb(rulerMarkerColour & 0xFF, (rulerMarkerColour >> 8) & 0xFF, (rulerMarkerColour >> 16) & 0xFF);
    for (int32_t i = 0; i < len; ++i) {
        QRgb* px = vertical_ ? &reinterpret_cast<QRgb*>(img_.scanLine(pos))[i]
                             : &reinterpret_cast<QRgb*>(img_.scanLine(i))[pos];
        saved_[i] = *px;
        *px = red;
    }
    marker_ = pos;
    markerSaved_ = true;
    update(vertical_ ? QRect(0, pos, width(), 1) : QRect(pos, 0, 1, height()));
}

void rulerImage_t::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (img_.isNull()) p.fillRect(rect(), render::toColor(rulerRestColour));
    else p.drawImage(0, 0, img_);
}

} // namespace canvas
