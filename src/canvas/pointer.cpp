// The pointer mode of the document window: selecting by click and by area,
// handle hit tests, moving the selection and placing pasted items.
#include "canvas/areapen.h"
#include "canvas/handles.h"
#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"

#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/surface.h"

#include <QClipboard>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

bool isDragMode(int32_t mode)
{
    return mode == modeTextHandle || mode == modeShapeHandle || mode == modeCircleHandle ||
           mode == modeEllipseHandle || mode == modePictureHandle || mode == modeGroupRotation ||
           mode == modeLineHandle;
}

// A canvas rectangle from inclusive edges.
QRect edges(int32_t l, int32_t t, int32_t r, int32_t b)
{
    return QRect(QPoint(std::min(l, r), std::min(t, b)), QPoint(std::max(l, r), std::max(t, b)));
}

// The average character width of a text's font at the zoomed size.
int32_t averageCharWidth(const item_t* it, double zoom)
{
    QFont font(QString::fromStdString(model::fontNameOf(it)));
    const int32_t size = it->fontSize > 0 ? it->fontSize : 12;
    font.setPixelSize(std::max(1, model::roundHalfEven(size * zoom * model::screen().screenPpiY / 72.0)));
    return QFontMetrics(font).averageCharWidth();
}

// Moves an item by (dx, dy) from its reference position: the defining points
// from refX1 … refY2, the point list from its saved points. The box moves by
// the same amount (the distance the item still lacks), so that repeated calls
// for one drag never accumulate.
void translateItem(item_t* it, int32_t dx, int32_t dy)
{
    using geometry::clampToInt32;
    const int64_t sx = int64_t(dx) - (int64_t(it->x1) - it->refX1);
    const int64_t sy = int64_t(dy) - (int64_t(it->y1) - it->refY1);
    it->x1 = clampToInt32(int64_t(it->refX1) + dx);
    it->y1 = clampToInt32(int64_t(it->refY1) + dy);
    it->x2 = clampToInt32(int64_t(it->refX2) + dx);
    it->y2 = clampToInt32(int64_t(it->refY2) + dy);
    it->boxLeft = clampToInt32(it->boxLeft + sx);
    it->boxRight = clampToInt32(it->boxRight + sx);
    it->boxTop = clampToInt32(it->boxTop + sy);
    it->boxBottom = clampToInt32(it->boxBottom + sy);
    geometry::translatePoints(it->points, dx, dy);
    model::computeMeasure(it);
}

} // namespace

// ---------------------------------------------------------------- marks

void TSandbox::eraseMarks()
{
    // Marks go back in the reverse order of drawing (group handles were drawn
    // last), so that overlapping marks of different items leave no trace.
    bool any = false;
    const std::vector<item_t*> withMarks = model::carryingMarks(items);
    for (auto it = withMarks.rbegin(); it != withMarks.rend(); ++it)
        if ((*it)->itemType == model::typeGroupHandle) {
            render::restoreUnders(view, *it);
            any = true;
        }
    for (auto it = withMarks.rbegin(); it != withMarks.rend(); ++it)
        if ((*it)->itemType != model::typeGroupHandle) {
            render::restoreUnders(view, *it);
            any = true;
        }
    if (any) Image1->update();
}

void TSandbox::drawSelectionMarks()
{
    render::drawMarks(view);
    Image1->update();
}

void TSandbox::runDeferredJob()
{
    if (deferredJob == 1 && areaRect.width() >= 1 && areaRect.height() >= 1) {
        const QRect r = areaRect.intersected(canvasImage().rect());
        if (!r.isEmpty())
            if (QClipboard* cb = QGuiApplication::clipboard()) cb->setImage(canvasImage().copy(r));
    }
    deferredJob = 0;
    // While items are dragged or placed their marks stay off.
    if (isDragMode(mode) || mode == modePlacing) return;
    eraseMarks();
    drawSelectionMarks();
}

void TSandbox::copyAreaToClipboard()
{
    eraseMarks();
    deferredJob = 1;
    Timer3.start();
}

// ---------------------------------------------------------------- beginEdit

namespace {

// The canvas area an item covers while selected, grown so that its pen and
// marks are inside.
QRect coveredArea(TSandbox& w, const item_t* it, bool moving)
{
    const double z = w.zoomFactor();
    const int32_t half = std::max(w.view.style.handleWidth, w.view.style.handleHeight) / 2;
    const point_t tl = w.toScreen({it->boxLeft, it->boxTop}), br = w.toScreen({it->boxRight, it->boxBottom});
    int32_t gx = 0, gy = 0;
    if (it->itemType == model::typeText) {
        // The box of a text may not be laid out yet: take its band as well.
        const geometry::quadrangle_t q = textBand(it);
        int32_t l = std::min(tl.x, br.x), r = std::max(tl.x, br.x), t = std::min(tl.y, br.y), b = std::max(tl.y, br.y);
        for (const point_t& p : q) {
            const point_t s = w.toScreen(p);
            l = std::min(l, s.x);
            r = std::max(r, s.x);
            t = std::min(t, s.y);
            b = std::max(b, s.y);
        }
        if (moving) {
            gx = std::max((r - l) / 10, half);
            gy = std::max((b - t) / 10, half);
        } else {
            gx = gy = std::max(model::roundHalfEven(averageCharWidth(it, z) * std::max(z, 1.0)), half);
        }
        return edges(l - gx, t - gy, r + gx + 1, b + gy + 1);
    }
    const int32_t pen = model::roundHalfEven(z * it->penWidthPx);
    gx = gy = moving ? std::max(pen, 2 * half) : std::max(pen, half);
    if (moving) {
        gx += 1;
        gy += 1;
    }
    return edges(std::min(tl.x, br.x) - gx, std::min(tl.y, br.y) - gy, std::max(tl.x, br.x) + gx + 1,
                 std::max(tl.y, br.y) + gy + 1);
}

QRect coveredArea(TSandbox& w, const std::vector<item_t*>& sel, bool moving)
{
    QRect u;
    for (const item_t* it : sel) u = u.united(coveredArea(w, it, moving));
    return u.intersected(w.canvasImage().rect());
}

bool anyShadow(const model::itemList_t& list)
{
    for (const item_t* it = list.head; it; it = it->next)
        if (render::isDrawable(it) && it->shadowElevation != 0) return true;
    return false;
}

// Paints `area` of the canvas again without the selected items. The area is
// painted on a piece of its own and copied in, so that items reaching out of
// it cannot paint over their neighbours outside it.
void repaintWithoutSelection(TSandbox& w, const QRect& area)
{
    const QRect r = area.intersected(w.canvasImage().rect());
    if (r.isEmpty()) return;
    render::renderView_t part = w.view;
    part.recordTo = nullptr;
    part.Image1 = QImage(r.size(), QImage::Format_RGB32);
    part.viewOrigin = {w.viewOrigin.x + r.left(), w.viewOrigin.y + r.top()};
    render::paintBackground(part, {0, 0, r.width(), r.height()});
    const point_t a = w.toDoc({r.left(), r.top()}), b = w.toDoc({r.right() + 1, r.bottom() + 1});
    render::drawItemsInRect(part, {a.x - 1, a.y - 1, b.x + 1, b.y + 1}, true);
    QPainter p(&w.canvasImage());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(r.topLeft(), part.Image1);
}

} // namespace

std::vector<item_t*> TSandbox::beginEdit(bool redraw)
{
    const std::vector<item_t*> sel = model::collectSelected(items);
    if (sel.empty()) return {};
    eraseMarks();
    // The background without the selection, once: drags draw the moving
    // copies over it. A shadow depends on everything beneath it, so with
    // shadows in the document the whole canvas is the background.
    const QRect area = anyShadow(items) ? canvasImage().rect() : coveredArea(*this, sel, false);
    repaintWithoutSelection(*this, area);
    saveUnder(selectionUnder, area);
    std::vector<item_t*> fresh = model::beginEdit(items);
    if (redraw) {
        // Text layout and the frame of a text being changed join here once
        // texts are laid out on the canvas.
        for (item_t* v : fresh) render::drawItem(view, v, false);
    }
    Image1->update();
    Image1->setCursor(Qt::ArrowCursor);
    if (host_) host_->editStateChanged(this);
    return fresh;
}

// ---------------------------------------------------------------- manipulate

void TSandbox::manipulate(point_t start, point_t current, bool snap, int32_t code, bool final)
{
    const bool translation =
        code == handleMove || (code == handleGroupCentre && (handleOwnerType == model::typeText ||
                                                             handleOwnerType == model::typeLine ||
                                                             handleOwnerType == model::typeGroupHandle));
    const std::vector<item_t*> sel = model::collectSelected(items);
    if (translation) {
        const point_t from = toDoc(start), to = toDoc(snap ? snapped(current) : current);
        const int32_t dx = to.x - from.x, dy = to.y - from.y;
        // A picture alone follows the mouse with its centre; in a larger
        // selection it moves with the others.
        const bool alone = sel.size() == 1;
        for (item_t* it : sel) {
            if (alone && it->itemType == model::typePicture) {
                const point_t m = toDoc(current);
                int32_t px = 0, py = 0;
                if (it->clipShape == 2) {
                    px = m.x - it->refX1;
                    py = m.y - it->refY1;
                } else {
                    const int32_t w = it->refX2 - it->refX1, h = it->refY2 - it->refY1;
                    px = m.x - w / 2 - it->refX1;
                    py = m.y - h / 2 - it->refY1;
                    const model::item_t* hd = header();
                    if (snap && hd) {
                        // The edge that needs the smaller shift goes onto its
                        // gridline (right and bottom on a tie).
                        auto shiftFor = [&](point_t e, bool horizontal) {
                            const point_t s = toDoc(snapped(toScreen(e)));
                            return horizontal ? s.x - e.x : s.y - e.y;
                        };
                        const int32_t l = it->refX1 + px, r = it->refX2 + px, t = it->refY1 + py, b = it->refY2 + py;
                        if (hd->hdr().snapX) {
                            const int32_t sl = shiftFor({l, t}, true), sr = shiftFor({r, t}, true);
                            px += std::abs(sl) < std::abs(sr) ? sl : sr;
                        }
                        if (hd->hdr().snapY) {
                            const int32_t st = shiftFor({l, t}, false), sb = shiftFor({l, b}, false);
                            py += std::abs(st) < std::abs(sb) ? st : sb;
                        }
                    }
                }
                translateItem(it, px, py);
                geometry::pictureBox(it);
                continue;
            }
            translateItem(it, dx, dy);
            if (it->itemType == model::typeLine) geometry::lineGeometry(it);
        }
    }
    // Turning and reshaping by the other handles join here; until then their
    // drag keeps its history step and changes nothing.

    if (!final) {
        if (!translation) return;
        restoreUnder(selectionUnder);
        saveUnder(selectionUnder, coveredArea(*this, sel, true));
        for (item_t* it : sel) render::drawItem(view, it, true);
        Image1->update();
        return;
    }
    // The moved shapes keep their new points as the reference of the next change.
    for (item_t* it : sel)
        if (model::isShapeType(it->itemType)) geometry::savePoints(it->points);
    selectionUnder = saveUnder_t{};
    repaintAll(true);
}

// ---------------------------------------------------------------- placing pasted items

void TSandbox::startPlacing(const std::vector<item_t*>& pasted)
{
    if (pasted.empty()) return;
    mode = modePlacing;
    handleCode = handleMove;
    handleOwnerType = 0;
    const model::pastePoint_t s = model::placingStart(pasted);
    firstPoint = toScreen({s.x, s.y});
    // The pasted items are not on the canvas yet: keep what they will cover
    // and draw them as they follow the mouse.
    selectionUnder = saveUnder_t{};
    saveUnder(selectionUnder, coveredArea(*this, pasted, true));
    for (item_t* it : pasted) render::drawItem(view, it, true);
    Image1->update();
}

void TSandbox::endPlacing()
{
    if (mode != modePlacing) return;
    mode = 0;
    handleCode = 0;
    // The pasted items stay where they are now.
    for (item_t* it : model::collectSelected(items))
        if (model::isShapeType(it->itemType)) geometry::savePoints(it->points);
    selectionUnder = saveUnder_t{};
    repaintAll(true);
}

// ---------------------------------------------------------------- area selection

namespace {

// The four one-line strips of a frame drawn around `r` one pixel outside it.
std::array<QRect, 4> frameStrips(const QRect& r, int32_t pen)
{
    const int32_t l = r.left() - 1, t = r.top() - 1, rr = r.right() + 1, b = r.bottom() + 1;
    const int32_t g = std::max(1, pen) / 2 + 1;
    return {edges(l - g, t - g, rr + g, t + g), edges(l - g, b - g, rr + g, b + g), edges(l - g, t - g, l + g, b + g),
            edges(rr - g, t - g, rr + g, b + g)};
}

} // namespace

namespace {

void restoreFrame(TSandbox& w)
{
    for (auto k = w.areaFrame.size(); k-- > 0;) w.restoreUnder(w.areaFrame[k]);
}

void drawFrame(TSandbox& w, const QRect& r)
{
    const settings::TParams& p = params();
    const std::array<QRect, 4> strips = frameStrips(r, p.areaPenWidth);
    for (size_t k = 0; k < strips.size(); ++k) w.saveUnder(w.areaFrame[k], strips[k]);
    QPainter g(&w.canvasImage());
    useAreaPen(g, p);
    g.drawRect(QRect(QPoint(r.left() - 1, r.top() - 1), QPoint(r.right() + 1, r.bottom() + 1)));
    for (const QRect& s : strips) w.Image1->update(s);
}

geometry::rect_t docRectOf(TSandbox& w, const QRect& r)
{
    const point_t a = w.toDoc({r.left(), r.top()}), b = w.toDoc({r.right(), r.bottom()});
    return {a.x, a.y, b.x, b.y};
}

} // namespace

// ---------------------------------------------------------------- mouse

void TSandbox::pointerMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    // Placing pasted items ends at the release; the press itself does nothing.
    if (mode == modePlacing || button != Qt::LeftButton) return;
    mode = 0;
    mouseDownPoint = pos;
    firstPoint = snapped(pos);
    if (modifiers & Qt::ControlModifier) {
        mode = modeAreaSelection;
        areaSelection = areaSelection_t{};
        areaDrag = QRect();
        if (modifiers & Qt::ShiftModifier) {
            for (const item_t* it : model::collectSelected(items)) areaSelection.kept.insert(it);
        } else if (!model::collectSelected(items).empty()) {
            eraseMarks();
            model::deselectAll(items);
            if (host_) host_->editStateChanged(this);
        }
        return;
    }
    const handleHit_t hit = hitTestHandles(*this, pos);
    if (!hit.item) return;  // the click is taken at the release
    mode = hit.mode;
    handleCode = normalizedHandleCode(hit.mode, hit.code);
    handleOwnerType = hit.item->itemType;
    const bool homogeneous = isHomogeneous(items);
    beginEdit(true);
    // In a mixed selection every handle moves the whole selection.
    if (!homogeneous) handleCode = handleMove;
}

void TSandbox::pointerMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (mode == modePlacing) {
        manipulate(firstPoint, pos, true, handleMove, false);
        return;
    }
    if (mode == modeAreaSelection) {
        restoreFrame(*this);
        areaDrag = edges(mouseDownPoint.x, mouseDownPoint.y, pos.x, pos.y);
        bool changed = false;
        selectInArea(items, docRectOf(*this, areaDrag), (modifiers & Qt::ShiftModifier) != 0, areaSelection, &changed);
        if (changed) {
            // Marks come off in reverse order and go on again for the new selection.
            eraseMarks();
            drawSelectionMarks();
            if (host_) host_->editStateChanged(this);
        }
        drawFrame(*this, areaDrag);
        return;
    }
    if (isDragMode(mode)) {
        if (buttons & Qt::LeftButton) manipulate(firstPoint, pos, true, handleCode, false);
        return;
    }
    // Idle: the hit test only chooses the cursor.
    hitTestHandles(*this, pos);
}

void TSandbox::pointerMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    if (mode == modePlacing) {
        endPlacing();
        if (host_) host_->editStateChanged(this);
        return;
    }
    if (mode == modeAreaSelection) {
        restoreFrame(*this);
        areaRect = areaDrag;
        areaDrag = QRect();
        areaSelection = areaSelection_t{};
        mode = 0;
        if (host_) {
            const int32_t panel = panelForSelection(items);
            if (panel) host_->showPanel(panel);
            host_->editStateChanged(this);
        }
        return;
    }
    if (isDragMode(mode)) {
        manipulate(firstPoint, pos, true, handleCode, true);
        clickCount = 0;
        mode = 0;
        if (host_) host_->editStateChanged(this);
        return;
    }
    if (mode != 0) return;
    // A click without a handle: pick at the release point.
    eraseMarks();
    const pickResult_t r = pickItem(items, toDoc(pos), (modifiers & Qt::ShiftModifier) != 0, view.style.handleWidth);
    drawSelectionMarks();
    if (host_) {
        if (!r.item) host_->showPanel(20);
        else if (const int32_t panel = panelForSelection(items)) host_->showPanel(panel);
        if (r.changed) host_->editStateChanged(this);
    }
}

// ---------------------------------------------------------------- double click

void TSandbox::pickPicture()
{
    item_t* pic = pictureAt(items, toDoc(lastMouse));
    if (!pic) return;
    eraseMarks();
    model::deselectAll(items);
    model::setSelected(items, pic, true);
    drawSelectionMarks();
    if (host_) {
        host_->showPanel(panelForSelection(items));
        host_->editStateChanged(this);
    }
    // The clip panel of the picture opens in the floating window here once
    // picture clips exist.
}

void TSandbox::Timer2Timer()
{
    Timer2.stop();
    if (!closing && ready) {
        item_t* one = model::singleSelected(items);
        if (one && one->itemType == model::typeText) {
            // Text editing on the canvas starts here (startTextEditing) once
            // it exists; until then a double click on a text only keeps it selected.
        } else {
            pickPicture();
        }
    }
    doubleClickPending = 0;
}

} // namespace canvas
