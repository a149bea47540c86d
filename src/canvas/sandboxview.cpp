// The view of a document window: laying out the rulers, the canvas and the
// scroll bars for the window's size and the zoomed page, scrolling, and
// changing the zoom.
#include "canvas/sandbox.h"

#include "canvas/anchorstrip.h"

#include "canvas/shellparams.h"
#include "canvas/toolbar.h"
#include "canvas/toolsequence.h"
#include "model/itemlist.h"
#include "render/picture.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace canvas {

void TSandbox::layoutView()
{
    if (layoutBusy_ || closing_ || !ready_) return;
    const model::item_t* h = header();
    if (!h) return;
    layoutBusy_ = true;
    basePanel_->setGeometry(0, 0, width(), height());
    viewLayoutIn_t in;
    in.width = basePanel_->width();
    in.height = basePanel_->height();
    // The canvas image covers the page from its corner: the page's place
    // on the sheet (its origin) adds no white beyond its right or bottom edge.
    in.canvasRight = pageExtentX();
    in.canvasBottom = pageExtentY();
    in.scrollX = scrollBarX_->isVisible() || lastLayout_.showX ? scrollBarX_->value() : 0;
    in.scrollY = scrollBarY_->isVisible() || lastLayout_.showY ? scrollBarY_->value() : 0;
    if (wantedScroll_) {
        in.scrollX = wantedScroll_->x();
        in.scrollY = wantedScroll_->y();
        wantedScroll_.reset();
    }
    in.originX = viewOrigin_.x;
    in.originY = viewOrigin_.y;
    const viewLayout_t l = computeViewLayout(in);

    rulerCorner_->setGeometry(l.corner1);
    rulerX_->setGeometry(l.rulerX);
    rulerY_->setGeometry(l.rulerY);
    viewPanel_->setGeometry(l.Panel0);
    pageSurround_->setGeometry(0, 0, l.Panel0.width(), l.Panel0.height());
    stripX_->setGeometry(0, 0, l.Panel0.width(), rulerThickness);
    stripY_->setGeometry(0, 0, rulerThickness, l.Panel0.height());
    {
        const QSignalBlocker bx(scrollBarX_), by(scrollBarY_);
        scrollBarX_->setVisible(l.showX);
        scrollBarY_->setVisible(l.showY);
        const auto place = [](QScrollBar* bar, bool shown, const QRect& where, int32_t max, int32_t page, int32_t value) {
            if (!shown) {
                bar->setRange(0, 0);
                bar->setValue(0);
                return;
            }
            bar->setGeometry(where);
            bar->setRange(0, max);
            bar->setPageStep(std::max(1, page));
            bar->setSingleStep(16);
            bar->setValue(value);
            bar->raise();
        };
        place(scrollBarX_, l.showX, l.ScrollBarX, l.maxX, l.Panel0.width(), l.scrollX);
        place(scrollBarY_, l.showY, l.ScrollBarY, l.maxY, l.Panel0.height(), l.scrollY);
        scrollCorner_->setVisible(l.showX && l.showY);
        if (l.showX && l.showY) {
            scrollCorner_->setGeometry(l.Panel1);
            scrollCorner_->raise();
        }
    }
    lastLayout_ = l;
    placeCanvas(l);
    drawRulers();
    layoutBusy_ = false;
}

int32_t TSandbox::pageExtentX() const
{
    const model::item_t* h = header();
    return h ? geometry::clampToInt32(std::llabs(int64_t(h->x2) - h->x1)) : 0;
}

int32_t TSandbox::pageExtentY() const
{
    const model::item_t* h = header();
    return h ? geometry::clampToInt32(std::llabs(int64_t(h->y2) - h->y1)) : 0;
}

void TSandbox::placeCanvas(const viewLayout_t& l)
{
    const bool changed = l.image != canvasPx_ || l.originX != viewOrigin_.x || l.originY != viewOrigin_.y ||
                         canvasImage().size() != l.image;
    viewOrigin_ = {l.originX, l.originY};
    pageOnScreen_ = {l.pageOnScreenX, l.pageOnScreenY};
    canvasPx_ = l.image;
    view_.viewOrigin = viewOrigin_;
    canvasPanel_->setGeometry(l.Panel2);
    stripY_->raise();
    stripX_->raise();
    canvasControl_->setGeometry(0, 0, l.image.width(), l.image.height());
    if (changed) {
        canvasImage() = QImage(l.image, QImage::Format_RGB32);
        repaintAll(false);
    }
}

void TSandbox::drawRulers()
{
    drawRuler(false, pageExtentX());
    drawRuler(true, pageExtentY());
}

void TSandbox::drawRuler(bool vertical, int32_t pageExtent)
{
    const model::item_t* h = header();
    if (!h) return;
    const settings::TParams& p = params();
    rulerLayout_t s;
    s.unit = h->hdr().unit;
    s.zoom = zoomFactor();
    s.tickColour = p.rulerTickColor;
    s.labelColour = p.rulerLabelColor;
    s.fontName = p.rulerFont;
    s.fontSize = p.rulerFontSize;
    // Ruler pixel 0 is the panel's left (top) edge; the ruler counts from the
    // page's corner, which is the canvas image's first pixel (document 0).
    s.vertical = vertical;
    s.first = vertical ? -pageOnScreen_.y : -pageOnScreen_.x;
    s.pageStart = 0;
    s.pageEnd = pageExtent;
    const double ppu = vertical ? h->hdr().pxPerUnitY : h->hdr().pxPerUnitX;
    s.pxPerUnit = s.unit == geometry::unitPixels ? 1.0 : ppu;
    (vertical ? rulerY_ : rulerX_)->redraw(s);
}

void TSandbox::ScrollBarXChange(int32_t)
{
    scrolled();
}

void TSandbox::ScrollBarYChange(int32_t)
{
    scrolled();
}

void TSandbox::scrolled()
{
    if (closing_ || !ready_) return;
    rulerX_->removeMarker();
    rulerY_->removeMarker();
    const geometry::point_t before = viewOrigin_;
    layoutView();
    // The anchors sit over their gridlines, which moved with the page.
    redrawAnchors();
    // Points being placed stay on the same document position.
    tools_->followViewOrigin(before);
}

void TSandbox::applyZoom(double factor)
{
    const QPoint c = viewCentre();
    zoomShowing(factor, docAtView(c), c);
}

void TSandbox::zoomAt(double factor, QPoint at)
{
    zoomShowing(factor, docAtView(at), at);
}

void TSandbox::zoomShowing(double factor, QPointF doc, QPoint at)
{
    model::item_t* h = header();
    if (!h || closing_ || !(factor > 0.0)) return;
    view_.selectionUnder = render::savedArea_t{};
    for (interaction_t* i : interactions()) i->overlayLost();
    anchors_->reset();
    h->hdr().zoom = factor;
    params().currentZoom = factor;
    // Canvas positions of points being placed mean nothing at another zoom.
    abandonSequence();
    for (model::item_t* it = items_.head; it; it = it->next)
        if (it->itemType == model::typePicture) render::dropPictureCache(it);
    geometry::computeCanvasPixels(h);
    wantedScroll_ = QPoint(scrollShowing(doc.x(), factor, at.x()), scrollShowing(doc.y(), factor, at.y()));
    layoutView();
    wantedScroll_.reset();
    paintCanvas(true);
    fullQualityTimer_.start();
    if (host_) host_->zoomControlsChanged();
}

QPoint TSandbox::viewCentre() const
{
    const viewLayout_t& l = lastLayout_;
    const int32_t w = l.Panel0.width() - (l.showY ? scrollBarThickness : 0);
    const int32_t h = l.Panel0.height() - (l.showX ? scrollBarThickness : 0);
    return {std::max(0, w) / 2, std::max(0, h) / 2};
}

QPointF TSandbox::docAtView(QPoint at) const
{
    const double z = zoomFactor();
    return {docAtViewPixel(at.x(), lastLayout_.scrollX, z), docAtViewPixel(at.y(), lastLayout_.scrollY, z)};
}

QPoint TSandbox::canvasToView(QPoint canvasPos) const
{
    return canvasPos + QPoint(pageOnScreen_.x + viewOrigin_.x, pageOnScreen_.y + viewOrigin_.y);
}

int32_t TSandbox::fitPagePercent() const
{
    const model::item_t* h = header();
    if (!h) return 0;
    const model::headerBody_t& hd = h->hdr();
    // Without scroll bars the page fits beside the 12-pixel gutter and margin.
    return fitPercent(hd.canvasWidth * hd.pxPerUnitX, hd.canvasHeight * hd.pxPerUnitY,
                      lastLayout_.Panel0.width() - rulerThickness, lastLayout_.Panel0.height() - rulerThickness);
}

namespace {

// The box of the selected items in document pixels; empty when none.
QRectF selectionBox(const model::itemList_t& items)
{
    QRectF box;
    for (const model::item_t* it = items.head; it; it = it->next) {
        if (it->kind != model::kindItem || it->hidden || !it->selected || it->itemType == model::typeGroupHandle) continue;
        const QRectF r(QPointF(std::min(it->boxLeft, it->boxRight), std::min(it->boxTop, it->boxBottom)),
                       QPointF(std::max(it->boxLeft, it->boxRight), std::max(it->boxTop, it->boxBottom)));
        box = box.isNull() ? r : box.united(r);
    }
    return box;
}

} // namespace

int32_t TSandbox::fitSelectionPercent() const
{
    const QRectF box = selectionBox(items_);
    if (box.isNull()) return 0;
    const QPoint c = viewCentre();
    // A margin of the gutter's width around the selection.
    return fitPercent(box.width(), box.height(), 2 * c.x() - 2 * rulerThickness, 2 * c.y() - 2 * rulerThickness);
}

void TSandbox::fitPage()
{
    const int32_t p = fitPagePercent();
    if (p <= 0) return;
    zoomShowing(p / 100.0, QPointF(0, 0), QPoint(rulerThickness, rulerThickness));
}

void TSandbox::fitSelection()
{
    const int32_t p = fitSelectionPercent();
    if (p <= 0) return;
    const QRectF box = selectionBox(items_);
    zoomShowing(p / 100.0, box.center(), viewCentre());
}

void TSandbox::wheelEvent(QWheelEvent* e)
{
    const QPoint d = e->angleDelta();
    // With Ctrl the wheel steps through the zoom steps about the mouse.
    if (e->modifiers() & Qt::ControlModifier) {
        const int delta = d.y() != 0 ? d.y() : d.x();
        if (delta == 0 || !header()) {
            e->ignore();
            return;
        }
        const int32_t z = model::roundHalfEven(zoomFactor() * 100);
        const int32_t n = delta > 0 ? zoomStepIn(z) : zoomStepOut(z);
        if (n != z) zoomAt(n / 100.0, viewPanel_->mapFrom(this, e->position().toPoint()));
        e->accept();
        return;
    }
    // The wheel scrolls the view (with Shift, sideways) where a bar is shown.
    const bool sideways = (e->modifiers() & Qt::ShiftModifier) || (d.y() == 0 && d.x() != 0);
    QScrollBar* bar = sideways ? scrollBarX_ : scrollBarY_;
    const int delta = sideways && d.x() != 0 ? d.x() : d.y();
    if (bar->isHidden() || delta == 0) {
        e->ignore();
        return;
    }
    bar->setValue(bar->value() - delta * 48 / 120);
    e->accept();
}

} // namespace canvas
