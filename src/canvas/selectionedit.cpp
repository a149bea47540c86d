// Changing the selection on the canvas: the marks, the one repaint under the
// selection that starts a change (beginEdit), the deferred work after a
// repaint, and the picture picked by a double click.
#include "canvas/selectionedit.h"

#include "canvas/areapen.h"
#include "canvas/handles.h"
#include "canvas/labels.h"
#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "ui/panelcodes.h"

#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "render/arrowheads.h"
#include "render/picture.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/effects.h"
#include "render/surface.h"
#include "render/text.h"

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

// The average character width of a text's font at the zoomed size.
int32_t averageCharWidth(const item_t* it, double zoom)
{
    QFont font(QString::fromStdString(model::fontNameOf(it)));
    const int32_t size = it->fontSize > 0 ? it->fontSize : 12;
    font.setPixelSize(std::max(1, model::roundHalfEven(size * zoom * model::screen().screenPpiY / 72.0)));
    return QFontMetrics(font).averageCharWidth();
}

} // namespace

// ---------------------------------------------------------------- marks

void TSandbox::eraseMarks()
{
    // Marks go back in the reverse order of drawing (group handles were drawn
    // last), so that overlapping marks of different items leave no trace.
    bool any = false;
    const std::vector<item_t*> withMarks = model::carryingMarks(items_);
    for (auto it = withMarks.rbegin(); it != withMarks.rend(); ++it)
        if ((*it)->itemType == model::typeGroupHandle) {
            render::restoreUnders(view_, *it);
            any = true;
        }
    for (auto it = withMarks.rbegin(); it != withMarks.rend(); ++it)
        if ((*it)->itemType != model::typeGroupHandle) {
            render::restoreUnders(view_, *it);
            any = true;
        }
    if (any) canvasControl_->update();
}

void TSandbox::reselect(const std::function<void()>& change)
{
    for (interaction_t* i : interactions()) i->eraseOverlay();
    eraseMarks();
    change();
    view_.selectionUnder.valid = false;
    deferMarks();
}

void TSandbox::drawSelectionMarks()
{
    render::drawMarks(view_);
    canvasControl_->update();
}

void TSandbox::runDeferredJob()
{
    if (deferredJob_ == deferredJob_t::copyArea && areaRect_.width() >= 1 && areaRect_.height() >= 1) {
        const QRect r = areaRect_.intersected(canvasImage().rect());
        if (!r.isEmpty())
            if (QClipboard* cb = QGuiApplication::clipboard()) cb->setImage(canvasImage().copy(r));
    }
    deferredJob_ = deferredJob_t::none;
    // While items are dragged or placed, or a text is typed, their marks stay off.
    if (isDragMode(mode_) || mode_ == modePlacing || text_->typing()) return;
    eraseMarks();
    drawSelectionMarks();
}

void TSandbox::copyAreaToClipboard()
{
    eraseMarks();
    deferredJob_ = deferredJob_t::copyArea;
    deferredTimer_.start();
}

// ---------------------------------------------------------------- beginEdit

namespace {

// The canvas area an item covers while selected, grown so that its pen,
// marks and shadow are inside.
QRect coveredArea(TSandbox& w, const item_t* it, bool moving)
{
    const double z = w.zoomFactor();
    const int32_t shadow = render::shadowSpreadPx(it, z);
    const int32_t half = std::max(w.view().style.handleWidth, w.view().style.handleHeight) / 2;
    // A picture reaches beyond its box when it is turned or framed.
    geometry::rect_t box = it->itemType == model::typePicture
                               ? render::pictureReach(it, z)
                               : geometry::rect_t{it->boxLeft, it->boxTop, it->boxRight, it->boxBottom};
    // Arrowheads reach past the box.
    if (geometry::rect_t heads; render::headsBox(it, 0, heads)) box = box.united(heads);
    const point_t tl = w.toScreen({box.left, box.top}), br = w.toScreen({box.right, box.bottom});
    int32_t gx = 0, gy = 0;
    if (it->itemType == model::typeText) {
        // The box of a text may not be laid out yet: take its band as well.
        const geometry::quadrangle_t q = render::textBand(it);
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
        gx = geometry::canvasCoordinate(int64_t(gx) + shadow);
        gy = geometry::canvasCoordinate(int64_t(gy) + shadow);
        return spanRect(l - gx, t - gy, r + gx + 1, b + gy + 1);
    }
    const int32_t pen = model::roundHalfEven(z * it->penWidthPx);
    gx = gy = moving ? std::max(pen, 2 * half) : std::max(pen, half);
    if (moving) {
        gx += 1;
        gy += 1;
    }
    gx = geometry::canvasCoordinate(int64_t(gx) + shadow);
    gy = geometry::canvasCoordinate(int64_t(gy) + shadow);
    return spanRect(std::min(tl.x, br.x) - gx, std::min(tl.y, br.y) - gy, std::max(tl.x, br.x) + gx + 1,
                 std::max(tl.y, br.y) + gy + 1);
}

} // namespace

void drawGuide(TSandbox& w, render::savedArea_t& under, point_t from, point_t to)
{
    if (from == to) return;
    const settings::TParams& p = params();
    const int32_t g = std::max(1, p.areaPenWidth) / 2 + 1;
    w.saveUnder(under, spanRect(std::min(from.x, to.x) - g, std::min(from.y, to.y) - g, std::max(from.x, to.x) + g,
                                std::max(from.y, to.y) + g));
    QPainter painter(&w.canvasImage());
    useAreaPen(painter, p);
    painter.drawLine(from.x, from.y, to.x, to.y);
    painter.end();
    w.updateCanvas(under.rect);
}

QRect coveredArea(TSandbox& w, const std::vector<item_t*>& sel, bool moving)
{
    QRect u;
    for (const item_t* it : sel) u = u.united(coveredArea(w, it, moving));
    return u.intersected(w.canvasImage().rect());
}

namespace {

bool anyShadow(const model::itemList_t& list)
{
    for (const item_t* it = list.head; it; it = it->next)
        if (render::isDrawable(it) && it->shadowElevation != 0) return true;
    return false;
}

} // namespace

void repaintPiece(TSandbox& w, const QRect& area, bool skipSelected)
{
    const QRect r = area.intersected(w.canvasImage().rect());
    if (r.isEmpty()) return;
    render::renderView_t part = w.view();
    part.recordTo = nullptr;
    part.Image1 = QImage(r.size(), QImage::Format_RGB32);
    part.viewOrigin = {w.viewOrigin().x + r.left(), w.viewOrigin().y + r.top()};
    render::paintBackground(part, {0, 0, r.width(), r.height()});
    const point_t a = w.toDoc({r.left(), r.top()}), b = w.toDoc({r.right() + 1, r.bottom() + 1});
    render::drawItemsMeeting(part, {a.x - 1, a.y - 1, b.x + 1, b.y + 1}, skipSelected);
    QPainter p(&w.canvasImage());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(r.topLeft(), part.Image1);
}

std::vector<item_t*> TSandbox::beginEdit(bool redraw)
{
    const std::vector<item_t*> sel = model::collectSelected(items_);
    if (sel.empty()) return {};
    eraseMarks();
    // The background without the selection, once: drags draw the moving
    // copies over it. A shadow depends on everything beneath it, so with
    // shadows in the document the whole canvas is the background.
    const QRect area = anyShadow(items_) ? canvasImage().rect() : coveredArea(*this, sel, false);
    repaintPiece(*this, area, true);
    saveUnder(view_.selectionUnder, area);
    std::vector<item_t*> fresh = model::beginEdit(items_);
    if (redraw) {
        // Text layout and the frame of a text being changed join here once
        // texts are laid out on the canvas.
        for (item_t* v : fresh) render::drawItem(view_, v, false);
    }
    canvasControl_->update();
    canvasControl_->setCursor(Qt::ArrowCursor);
    if (host_) host_->editStateChanged(this);
    return fresh;
}

// ---------------------------------------------------------------- double click

void TSandbox::pickPicture()
{
    item_t* pic = pictureAt(items_, toDoc(lastMouse_));
    if (!pic) return;
    eraseMarks();
    model::deselectAll(items_);
    model::setSelected(items_, pic, true);
    drawSelectionMarks();
    if (host_) {
        host_->showPanel(panelForSelection(items_));
        host_->editStateChanged(this);
        host_->pictureDoubleClicked(this);
    }
}

void TSandbox::doubleClickTimerTimeout()
{
    doubleClickTimer_.stop();
    if (!closing_ && ready_) {
        // A double click on the one selected text edits it on the canvas.
        item_t* one = model::singleSelected(items_);
        if (one && one->itemType == model::typeText) text_->startEditing();
        // A shape's label only for a double click that really happened.
        else if (!one || !doubleClickPending_ || !editLabel(*this, one)) pickPicture();
    }
    doubleClickPending_ = false;
}

} // namespace canvas
