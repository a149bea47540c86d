#include "canvas/extension.h"

#include "canvas/modes.h"
#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "canvas/selectionedit.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "ui/panelcodes.h"

#include <algorithm>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

constexpr int32_t splineExtensionPage = 1074;
constexpr int32_t curveExtensionPage = 1075;

// The item's point list made from document points (a curve's control
// points follow).
void setPointList(item_t* it, const std::vector<point_t>& doc)
{
    geometry::clearPoints(it->points);
    for (point_t p : doc) geometry::appendPoint(it->points, p);
    if (it->itemType == model::typeCurve) geometry::curveControlPoints(it);
    geometry::savePoints(it->points);
    geometry::itemBounds(it, handleSize());
}

} // namespace

extendMode_t::~extendMode_t()
{
    model::freeList(scratch_);
}

bool extendMode_t::begin()
{
    item_t* it = model::singleSelected(w_.items());
    if (!it || (it->itemType != model::typeSpline && it->itemType != model::typeCurve) ||
        it->shapeVariant != model::variantOpen || geometry::pointCount(it->points) < 2)
        return false;
    item_ = it;
    model::freeList(scratch_);
    shape_ = model::cloneItem(scratch_, it);
    points_.clear();
    for (const model::pointNode_t* n = it->points.head; n; n = n->next) points_.push_back(w_.toScreen({n->p.x, n->p.y}));
    points_.push_back(w_.lastMouse());
    it->editing = 255;
    model::deselectAll(w_.items());
    w_.eraseMarks();
    h_.setMode(it->itemType == model::typeSpline ? toolExtendSpline : toolExtendCurve);
    w_.repaintAll(false);
    preview();
    if (sandboxHost_t* host = w_.host()) {
        // The extension's panel, or its guidance page in its place while the page's flag is set.
        host->showPanel(w_.mode() == toolExtendSpline ? ui::panelExtendSpline : ui::panelExtendCurve);
        host->showGuidance(w_.mode() == toolExtendSpline ? splineExtensionPage : curveExtensionPage);
        host->editStateChanged(&w_);
    }
    return true;
}

void extendMode_t::move(Qt::MouseButtons, Qt::KeyboardModifiers, point_t pos)
{
    if (points_.empty()) return;
    points_.back() = w_.snapped(pos);
    preview();
}

void extendMode_t::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (button != Qt::LeftButton || points_.empty()) return;
    const point_t p = w_.snapped(pos);
    const bool repeatsLast = points_.size() >= 2 && points_[points_.size() - 2] == p;
    if (modifiers & Qt::ShiftModifier) {
        points_.back() = p;
        if (repeatsLast) points_.pop_back();
        finishExtension();
        return;
    }
    if (repeatsLast) return;
    points_.back() = p;
    points_.push_back(p);
    preview();
}

bool extendMode_t::key(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Escape) {
        cancel();
        h_.ignoreGesture();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        points_.pop_back();
        finishExtension();
        return true;
    }
    if (key == Qt::Key_Backspace) {
        points_.pop_back();
        // Taking back every point the item had would leave no item: the
        // extension ends and the item stays as it was.
        if (points_.size() < 2) {
            cancel();
            return true;
        }
        points_.back() = w_.snapped(w_.lastMouse());
        preview();
        return true;
    }
    return false;
}

void extendMode_t::cancel()
{
    if (!item_) return;
    erasePreview();
    item_->editing = 0;
    model::setSelected(w_.items(), item_, true);
    leave();
    w_.repaintAll(true);
    if (sandboxHost_t* host = w_.host()) {
        host->showPanel(ui::panelInsert);
        host->editStateChanged(&w_);
    }
}

void extendMode_t::finishExtension()
{
    erasePreview();
    item_t* it = item_;
    it->editing = 0;
    model::deselectAll(w_.items());
    model::setSelected(w_.items(), it, true);
    std::vector<point_t> doc;
    for (point_t p : points_) doc.push_back(w_.toDoc(p));
    leave();
    if (doc.size() >= 2) {
        const std::vector<item_t*> fresh = w_.beginEdit(false);
        if (!fresh.empty()) setPointList(fresh.front(), doc);
        w_.repaintAll(true);
        if (w_.host() && !fresh.empty()) w_.host()->showPanel(panelForSelection(w_.items()));
    } else {
        model::eraseSelection(w_.items());
        w_.repaintAll(true);
        if (w_.host()) w_.host()->showPanel(ui::panelInsert);
    }
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

void extendMode_t::leave()
{
    item_ = nullptr;
    model::freeList(scratch_);
    shape_ = nullptr;
    points_.clear();
    h_.setMode(modePointer);
    w_.view().selectionUnder = render::savedArea_t{};
    // The panel showing the extension gives its lists back.
    if (w_.host()) w_.host()->extensionEnded();
}

// The item the fixed points make, drawn like a tool's preview, and a dotted
// guide from the last of them to the mouse.
void extendMode_t::preview()
{
    erasePreview();
    if (!shape_ || points_.size() < 2) return;
    item_t* shape = shape_;
    std::vector<point_t> doc;
    for (size_t k = 0; k + 1 < points_.size(); ++k) doc.push_back(w_.toDoc(points_[k]));
    setPointList(shape, doc);
    const render::rect_t r = render::itemReach(shape);
    const point_t a = w_.toScreen({r.left, r.top}), b = w_.toScreen({r.right, r.bottom});
    const int32_t grow = std::max(params().markWidth / 2, geometry::penWidthAt(w_.zoomFactor(), shape->lineWeight)) + 1;
    w_.saveUnder(w_.view().selectionUnder, spanRect(a.x, a.y, b.x, b.y).adjusted(-grow, -grow, grow, grow));
    render::drawItem(w_.view(), shape, true);
    w_.updateCanvas(w_.view().selectionUnder.rect);
    drawGuide(w_, guide_, points_[points_.size() - 2], points_.back());
}

void extendMode_t::erasePreview()
{
    eraseOverlay();
    w_.restoreUnder(w_.view().selectionUnder);
}

void extendMode_t::eraseOverlay()
{
    w_.restoreUnder(guide_);
}

void extendMode_t::overlayLost()
{
    guide_.valid = false;
}

} // namespace canvas
