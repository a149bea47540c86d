// The view of a document window: laying out the rulers, the canvas and the
// scroll bars for the window's size and the zoomed page, scrolling, and
// changing the zoom.
#include "canvas/sandbox.h"

#include "canvas/anchorstrip.h"

#include "canvas/shellparams.h"
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
    layoutView();
    paintCanvas(true);
    fullQualityTimer_.start();
    if (host_) host_->zoomControlsChanged();
}

void TSandbox::wheelEvent(QWheelEvent* e)
{
    // The wheel scrolls the view (with Shift, sideways) where a bar is shown.
    const QPoint d = e->angleDelta();
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
