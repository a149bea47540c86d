#include "canvas/rulerends.h"

#include "canvas/gridedit.h"
#include "canvas/interactionhost.h"
#include "canvas/rulers.h"
#include "canvas/sandbox.h"
#include "geometry/units.h"
#include "model/grid.h"
#include "model/itemlist.h"

#include <algorithm>
#include <cmath>

namespace canvas {

namespace {

double perUnit(const model::headerBody_t& hd, bool vertical)
{
    const double ppu = vertical ? hd.pxPerUnitY : hd.pxPerUnitX;
    return ppu > 0.0 && std::isfinite(ppu) ? ppu : 1.0;
}

} // namespace

rulerEndDrag_t::rulerEndDrag_t(interactionHost_t& host) : h_(host), w_(host.window()) {}

int32_t rulerEndDrag_t::kindAt(bool vertical, int32_t pos) const
{
    if (!w_.header()) return rulerDragNone;
    const int32_t start = vertical ? w_.pageOnScreen().y : w_.pageOnScreen().x;
    const int64_t end = int64_t(start) + (vertical ? w_.pageExtentY() : w_.pageExtentX());
    // The far end first: on a tiny page both ends are in reach, and growing
    // it is what the user can do there.
    if (std::abs(int64_t(pos) - end) <= rulerEndReach) return vertical ? rulerDragBottom : rulerDragRight;
    if (std::abs(int64_t(pos) - start) <= rulerEndReach) return vertical ? rulerDragTop : rulerDragLeft;
    return rulerDragNone;
}

int32_t rulerEndDrag_t::extentAt(bool vertical, int32_t pos) const
{
    const int32_t start = vertical ? w_.pageOnScreen().y : w_.pageOnScreen().x;
    return std::max<int32_t>(smallestPage, geometry::clampToInt32(int64_t(pos) - start));
}

void rulerEndDrag_t::press(bool vertical, int32_t pos)
{
    kind_ = kindAt(vertical, pos);
    pressPos_ = pos;
}

void rulerEndDrag_t::move(bool vertical, int32_t pos, bool buttonHeld)
{
    rulerImage_t* ruler = &h_.ruler(vertical);
    if (kind_ == rulerDragNone || !buttonHeld) {
        const int32_t k = kindAt(vertical, pos);
        if (k == rulerDragNone) ruler->unsetCursor();
        else ruler->setCursor(vertical ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        return;
    }
    const model::item_t* h = w_.header();
    if (!h) return;
    if (kind_ == rulerDragRight || kind_ == rulerDragBottom) {
        const int32_t extent = extentAt(vertical, pos);
        w_.drawRuler(vertical, extent);
        const double size = extent / perUnit(h->hdr(), vertical) / w_.zoomFactor();
        const QString text = QString::fromLatin1(vertical ? "Height: " : "Width: ") +
                             QString::fromStdString(geometry::formatMeasure(h->hdr().unit, size));
        // Beside the mouse, kept inside the window.
        const QPoint inBase = ruler->mapToParent(vertical ? QPoint(0, pos) : QPoint(pos, 0));
        const QPoint at = vertical ? QPoint(inBase.x() + 8, inBase.y()) : QPoint(inBase.x(), inBase.y() + 8);
        h_.showValueBox(text, at);
    } else {
        ruler->showMarker(pos);
    }
}

void rulerEndDrag_t::release(bool vertical, int32_t pos)
{
    const int32_t kind = kind_;
    kind_ = rulerDragNone;
    model::item_t* h = w_.header();
    if (kind == rulerDragNone || !h) return;
    h_.showValueBox(QString(), {});
    auto& hd = h->hdr();
    const double z = w_.zoomFactor();
    const double ppu = perUnit(hd, vertical);
    if (kind == rulerDragRight || kind == rulerDragBottom) {
        const int32_t extent = extentAt(vertical, pos);
        if (extent == (vertical ? w_.pageExtentY() : w_.pageExtentX())) {
            w_.drawRulers();
            return;
        }
        (vertical ? hd.canvasHeight : hd.canvasWidth) = extent / ppu / z;
        model::setModified(w_.items(), true);
        geometry::computeCanvasPixels(h);
        h_.grid().extendGrid(vertical ? model::gridVertical : model::gridHorizontal);
    } else {
        if (pos == pressPos_) {
            h_.ruler(vertical).removeMarker();
            return;
        }
        const int32_t oldOrigin = vertical ? model::pageOriginY(hd) : model::pageOriginX(hd);
        const int64_t edge = int64_t(vertical ? h->y1 : h->x1) + pos - pressPos_;
        (vertical ? hd.canvasTop : hd.canvasLeft) = std::max<int64_t>(0, edge) / ppu / z;
        model::setModified(w_.items(), true);
        geometry::computeCanvasPixels(h);
        // The gridlines keep their places on the page: they follow its origin.
        const int32_t newOrigin = vertical ? model::pageOriginY(hd) : model::pageOriginX(hd);
        h_.grid().shiftGrid(vertical ? model::gridVertical : model::gridHorizontal, newOrigin - oldOrigin);
    }
    w_.layoutView();
    w_.repaintAll(true);
}

} // namespace canvas
