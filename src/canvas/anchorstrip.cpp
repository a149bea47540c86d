#include "canvas/anchorstrip.h"

#include "canvas/gridedit.h"
#include "canvas/interactionhost.h"
#include "canvas/sandbox.h"
#include "model/anchors.h"
#include "model/grid.h"
#include "render/surface.h"

#include <QMouseEvent>
#include <QPainter>

namespace canvas {

using model::anchorNode_t;

namespace {

const QColor stripGrey(0xA0, 0xA0, 0xA0);

// The anchor picture: a small cylinder, its stem towards the canvas.
void drawAnchor(QPainter& p, bool xAxis, int32_t mid, bool hot)
{
    const QColor body = render::toColor(hot ? hotAnchorColour : anchorColour);
    const model::anchorMarker_t m;
    const int32_t half = m.width / 2;
    p.setPen(Qt::NoPen);
    if (xAxis) {
        const int32_t left = mid - half;
        p.fillRect(left, 2, m.width, m.height - 2, body);
        p.setBrush(body.lighter(150));
        p.drawEllipse(QRect(left, 1, m.width, 3));
        p.fillRect(mid, 1 + m.height, 1, m.stem, body);
    } else {
        const int32_t top = mid - half;
        p.fillRect(2, top, m.width - 2, m.height, body);
        p.setBrush(body.lighter(150));
        p.drawEllipse(QRect(1, top, 3, m.height));
        p.fillRect(1 + m.width, mid, m.stem, 1, body);
    }
}

bool shown(const model::item_t* h, bool xAxis)
{
    if (!h) return false;
    const auto& hd = h->hdr();
    return xAxis ? hd.showGridX && hd.showAnchorsX : hd.showGridY && hd.showAnchorsY;
}

int32_t along(QPoint p, bool xAxis)
{
    return xAxis ? p.x() : p.y();
}

} // namespace

// ---------------------------------------------------------------- strip

anchorStrip_t::anchorStrip_t(interactionHost_t& host, bool xAxis, QWidget* parent)
    : QWidget(parent), h_(host), xAxis_(xAxis)
{
    setObjectName(xAxis ? QStringLiteral("anchorStripX") : QStringLiteral("anchorStripY"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void anchorStrip_t::updateAnchorAt(int32_t at)
{
    const model::anchorMarker_t m;
    const int32_t from = at - m.width / 2 - 1, size = m.width + 2;
    update(xAxis_ ? QRect(from, 0, size, height()) : QRect(0, from, width(), size));
}

void anchorStrip_t::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.fillRect(e->rect(), stripGrey);
    const model::item_t* h = h_.window().header();
    model::item_t* grid = h_.grid().gridRecord();
    if (!grid || !shown(h, xAxis_)) return;
    const model::anchorMarker_t m;
    const int32_t half = m.width / 2;
    const int32_t lo = along(e->rect().topLeft(), xAxis_) - m.width, hi = along(e->rect().bottomRight(), xAxis_) + m.width;
    const model::gridAxisIndex_t& index = xAxis_ ? h_.grid().gridIndex().x : h_.grid().gridIndex().y;
    const anchorDrag_t& drag = h_.anchorDrag();
    const bool draggingHere = drag.dragKind() == (xAxis_ ? anchorDragX : anchorDragY);
    const anchorNode_t* hot = model::hotAnchor(grid, xAxis_);
    const int32_t hotPos = hot ? (xAxis_ ? model::anchorPositionX(hot) : model::anchorPositionY(hot)) : 0;
    bool skippedDragged = false;
    // A gridline position covers at least one strip pixel, so the visible
    // positions are found from the strip's ends.
    const int32_t g0 = h_.grid().panelToGrid(lo, xAxis_) - 1, g1 = h_.grid().panelToGrid(hi, xAxis_) + 1;
    for (int32_t g : index.between(g0, g1)) {
        const bool isHot = hot && g == hotPos;
        if (draggingHere && isHot && !skippedDragged) {
            skippedDragged = true;  // drawn where the mouse is, below
            continue;
        }
        const int32_t mid = h_.grid().gridToPanel(g, xAxis_);
        if (mid - half < 0) continue;
        drawAnchor(p, xAxis_, mid, isHot);
    }
    if (draggingHere && drag.dragAt() - half >= 0) drawAnchor(p, xAxis_, drag.dragAt(), true);
}

void anchorStrip_t::mousePressEvent(QMouseEvent* e)
{
    h_.window().background1MouseDown(e->button(), e->modifiers(), mapToParent(e->position().toPoint()));
}

void anchorStrip_t::mouseMoveEvent(QMouseEvent* e)
{
    h_.window().background1MouseMove(e->buttons(), e->modifiers(), mapToParent(e->position().toPoint()));
}

void anchorStrip_t::mouseReleaseEvent(QMouseEvent* e)
{
    h_.window().background1MouseUp(e->button(), e->modifiers(), mapToParent(e->position().toPoint()));
}

void anchorStrip_t::leaveEvent(QEvent*)
{
    h_.window().background1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(-1000, -1000));
}

// ---------------------------------------------------------------- interaction

anchorDrag_t::anchorDrag_t(interactionHost_t& host) : h_(host), w_(host.window()) {}

anchorNode_t* anchorDrag_t::anchorAt(QPoint pos, bool& xAxis) const
{
    // The corner square belongs to the strip whose side the point is nearer.
    xAxis = pos.y() < pos.x();
    model::item_t* grid = h_.grid().gridRecord();
    if (!grid || !shown(w_.header(), xAxis)) return nullptr;
    const int32_t across = xAxis ? pos.y() : pos.x();
    const int32_t g = h_.grid().panelToGrid(along(pos, xAxis), xAxis);
    for (anchorNode_t* a = (xAxis ? grid->anchorsX : grid->anchorsY).head; a; a = a->next) {
        if (a->deleted) continue;
        const bool inAlong = xAxis ? a->left <= g && g <= a->right : a->top <= g && g <= a->bottom;
        const bool inAcross = xAxis ? a->top <= across && across <= a->bottom : a->left <= across && across <= a->right;
        if (inAlong && inAcross) return a;
    }
    return nullptr;
}

void anchorDrag_t::setHot(anchorNode_t* a, bool xAxis)
{
    model::item_t* grid = h_.grid().gridRecord();
    if (!grid) return;
    // Only the anchors whose state changes are drawn again.
    for (bool axis : {true, false})
        for (anchorNode_t* n = (axis ? grid->anchorsX : grid->anchorsY).head; n; n = n->next) {
            const bool want = n == a;
            if (bool(n->hot) == want) continue;
            n->hot = want ? 255 : 0;
            if (!n->deleted) {
                anchorStrip_t* s = axis ? (&h_.anchorStrip(true)) : (&h_.anchorStrip(false));
                s->updateAnchorAt(h_.grid().gridToPanel(axis ? model::anchorPositionX(n) : model::anchorPositionY(n), axis));
            }
        }
    for (anchorStrip_t* s : {(&h_.anchorStrip(true)), (&h_.anchorStrip(false))}) s->unsetCursor();
    if (a) (xAxis ? (&h_.anchorStrip(true)) : (&h_.anchorStrip(false)))->setCursor(xAxis ? Qt::SizeHorCursor : Qt::SizeVerCursor);
}

void anchorDrag_t::press(Qt::MouseButton button, QPoint pos)
{
    if (button != Qt::LeftButton) return;
    pressed_ = true;
    bool xAxis = true;
    anchorNode_t* a = anchorAt(pos, xAxis);
    if (!a || !a->hot) return;
    kind_ = xAxis ? anchorDragX : anchorDragY;
    dragged_ = a;
    dragFrom_ = xAxis ? model::anchorPositionX(a) : model::anchorPositionY(a);
    dragAt_ = h_.grid().gridToPanel(dragFrom_, xAxis);
}

void anchorDrag_t::move(QPoint pos)
{
    if (kind_ == anchorDragNone) {
        bool xAxis = true;
        anchorNode_t* a = pos.x() < 0 && pos.y() < 0 ? nullptr : anchorAt(pos, xAxis);
        setHot(a, xAxis);
        return;
    }
    const bool xAxis = kind_ == anchorDragX;
    anchorStrip_t* strip = xAxis ? (&h_.anchorStrip(true)) : (&h_.anchorStrip(false));
    const int32_t at = along(pos, xAxis);
    if (at == dragAt_) return;
    strip->updateAnchorAt(dragAt_);
    dragAt_ = at;
    strip->updateAnchorAt(dragAt_);
    h_.ruler(!xAxis).showMarker(at);
    const model::item_t* h = w_.header();
    if (h) {
        const auto& hd = h->hdr();
        const int32_t doc = model::gridToDoc(h_.grid().panelToGrid(at, xAxis), xAxis ? model::pageOriginX(hd) : model::pageOriginY(hd));
        const double ppu = xAxis ? hd.pxPerUnitX : hd.pxPerUnitY;
        const QString text = QString::fromStdString(geometry::formatMeasure(hd.unit, ppu > 0 ? doc / ppu : doc));
        const QPoint inBase = h_.viewToValueBox(pos);
        h_.showValueBox(text, xAxis ? inBase + QPoint(0, 8) : inBase + QPoint(8, 0));
    }
}

void anchorDrag_t::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    if (button != Qt::LeftButton) return;
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (kind_ != anchorDragNone) {
        const bool xAxis = kind_ == anchorDragX;
        const int32_t to = h_.grid().panelToGrid(dragAt_, xAxis);
        const int32_t from = dragFrom_;
        kind_ = anchorDragNone;
        dragged_ = nullptr;
        h_.showValueBox(QString(), {});
        h_.ruler(!xAxis).removeMarker();
        if (to != from) {
            // The items go first, the gridline after: two steps, so that Undo
            // can take back the gridline and leave the items where they went.
            h_.grid().moveItemsWithGridline(xAxis, from, to, false);
            if (!h_.grid().editGrid(xAxis ? model::gridMoveX : model::gridMoveY, to)) w_.repaintAll(true);
        }
        h_.redrawAnchors();
        return;
    }
    if (wasPressed && (modifiers & Qt::ShiftModifier)) {
        const bool xAxis = pos.y() < pos.x();
        if (!shown(w_.header(), xAxis)) return;
        h_.grid().editGrid(xAxis ? model::gridInsertX : model::gridInsertY, h_.grid().panelToGrid(along(pos, xAxis), xAxis));
    }
}

void anchorDrag_t::leave()
{
    if (kind_ == anchorDragNone) setHot(nullptr, true);
}

void anchorDrag_t::reset()
{
    kind_ = anchorDragNone;
    pressed_ = false;
    dragged_ = nullptr;
}

} // namespace canvas
