// The document window's commands that arrange the selection without the
// mouse: Select All, clearing the selection, nudging with the arrow keys,
// aligning, distributing and duplicating.
#include "canvas/sandbox.h"

#include "canvas/arrange.h"
#include "canvas/glue.h"
#include "canvas/gridedit.h"
#include "canvas/handles.h"
#include "canvas/picking.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"

#include "model/grid.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/text.h"

#include <cstdlib>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

// A selection changed by a command: the marks follow, the host refreshes the
// commands and shows the panel of what is selected.
void selectionChanged(TSandbox& w)
{
    w.drawSelectionMarks();
    if (sandboxHost_t* host = w.host()) {
        host->showPanel(panelForSelection(w.items()));
        host->editStateChanged(&w);
    }
}

} // namespace

bool TSandbox::selectAll()
{
    if (mode_ != modePointer) return false;
    eraseMarks();
    bool any = false;
    for (item_t* it = items_.head; it; it = it->next) {
        // Group handles come with their members, as a click selects a group.
        const bool handle = it->kind == model::kindItem && !it->hidden && !it->editing &&
                            it->itemType == model::typeGroupHandle;
        if (!isPickable(it) && !handle) continue;
        if (!model::isSelected(it)) model::setSelected(items_, it, true);
        any = true;
    }
    selectionChanged(*this);
    return any;
}

bool TSandbox::clearSelection()
{
    if (mode_ != modePointer || !model::firstSelected(items_)) return false;
    eraseMarks();
    model::deselectAll(items_);
    selectionChanged(*this);
    return true;
}

bool TSandbox::nudgeRunGoesOn()
{
    // The run goes on while its versions are still the selection, still
    // shown, and nothing was recorded after its step.
    if (nudge_.versions.empty() || model::nextActionId(items_) != nudge_.actionId + 1) return false;
    const std::vector<item_t*> sel = model::collectSelected(items_);
    if (sel != nudge_.versions) return false;
    for (const item_t* v : sel)
        if (v->hidden || v->actionId != nudge_.actionId) return false;
    return true;
}

int32_t TSandbox::snapCoordinate(int32_t value, bool xAxis) const
{
    const model::item_t* h = header();
    if (!h || !(xAxis ? h->hdr().snapX : h->hdr().snapY)) return value;
    const point_t doc = xAxis ? point_t{value, 0} : point_t{0, value};
    const point_t s = toDoc(snapped(toScreen(doc)));
    return xAxis ? s.x : s.y;
}

bool TSandbox::nudge(int key, Qt::KeyboardModifiers modifiers)
{
    int32_t sx = 0, sy = 0;
    switch (key) {
    case Qt::Key_Left: sx = -1; break;
    case Qt::Key_Right: sx = 1; break;
    case Qt::Key_Up: sy = -1; break;
    case Qt::Key_Down: sy = 1; break;
    default: return false;
    }
    if (mode_ != modePointer || !model::firstSelected(items_)) return false;
    const bool xAxis = sx != 0;
    const int32_t dir = xAxis ? sx : sy;
    int32_t step = (modifiers & Qt::ShiftModifier) ? 10 : 1;
    const model::item_t* h = header();
    if ((modifiers & Qt::ShiftModifier) && h && (xAxis ? h->hdr().snapX : h->hdr().snapY)) {
        // To the next gridline beyond the selection's leading edge.
        const std::vector<selectionUnit_t> units = selectionUnits(items_);
        const selectionUnit_t box = unitsBox(units);
        const int32_t edge = xAxis ? box.left : box.top;
        for (int32_t k = 1; k <= 100000; ++k) {
            const int32_t g = snapCoordinate(geometry::clampToInt32(int64_t(edge) + int64_t(dir) * k), xAxis);
            if ((int64_t(g) - edge) * dir > 0) {
                step = std::abs(g - edge);
                break;
            }
        }
    }
    eraseMarks();
    if (!nudgeRunGoesOn()) {
        nudge_ = {};
        nudge_.versions = model::beginEdit(items_);
        if (nudge_.versions.empty()) return false;
        nudge_.actionId = nudge_.versions.front()->actionId;
    }
    nudge_.dx = geometry::clampToInt32(int64_t(nudge_.dx) + int64_t(sx) * step);
    nudge_.dy = geometry::clampToInt32(int64_t(nudge_.dy) + int64_t(sy) * step);
    translateVersions(nudge_.versions, nudge_.dx, nudge_.dy);
    followCommand(*this, nudge_.versions);
    repaintAll(true);
    if (host_) host_->editStateChanged(this);
    return true;
}

bool TSandbox::alignSelection(alignEdge_t edge)
{
    if (mode_ != modePointer) return false;
    const std::vector<selectionUnit_t> units = selectionUnits(items_);
    if (units.empty()) return false;
    selectionUnit_t target = unitsBox(units);
    if (units.size() == 1) {
        // One item or group lines up with the page.
        const model::item_t* h = header();
        if (!h) return false;
        const model::headerBody_t& hd = h->hdr();
        // The page starts at the canvas's corner, document pixel 0.
        target.left = 0;
        target.top = 0;
        target.right = model::roundHalfEven(hd.canvasWidth * hd.pxPerUnitX);
        target.bottom = model::roundHalfEven(hd.canvasHeight * hd.pxPerUnitY);
    }
    const auto snap = [this](int32_t v, bool x) { return snapCoordinate(v, x); };
    eraseMarks();
    const bool moved = moveUnits(items_, units, alignOffsets(units, edge, target, snap));
    if (moved) followCommand(*this, model::collectSelected(items_));
    repaintAll(true);
    if (moved && host_) host_->editStateChanged(this);
    return moved;
}

bool TSandbox::distributeSelection(bool across)
{
    if (mode_ != modePointer) return false;
    const std::vector<selectionUnit_t> units = selectionUnits(items_);
    if (units.size() < 3) return false;
    const auto snap = [this](int32_t v, bool x) { return snapCoordinate(v, x); };
    eraseMarks();
    const bool moved = moveUnits(items_, units, distributeOffsets(units, across, snap));
    if (moved) followCommand(*this, model::collectSelected(items_));
    repaintAll(true);
    if (moved && host_) host_->editStateChanged(this);
    return moved;
}

bool TSandbox::duplicateSelected()
{
    leaveToPointer();
    if (!model::firstSelected(items_)) return false;
    eraseMarks();
    const std::vector<item_t*> copies = duplicateSelection(items_, handleSize());
    if (copies.empty()) return false;
    for (item_t* it : copies)
        if (it->itemType == model::typeText) render::textBox(it);
    repaintAll(true);
    if (host_) {
        host_->showPanel(panelForSelection(items_));
        host_->editStateChanged(this);
    }
    return true;
}

namespace {
TSandbox::contextMenuHandler_t& contextMenuHandler()
{
    static TSandbox::contextMenuHandler_t handler;
    return handler;
}
} // namespace

void TSandbox::setContextMenuHandler(contextMenuHandler_t handler)
{
    contextMenuHandler() = std::move(handler);
}

bool TSandbox::contextMenuRequested(QPoint global)
{
    // Not in the middle of a gesture, a sequence of points or a text.
    const bool idleTool = isInsertionTool(mode_) && clickCount() == 0 && !text_->typing();
    if (!contextMenuHandler() || !ready_ || (mode_ != modePointer && !idleTool)) return false;
    contextMenuHandler()(*this, global);
    return true;
}

bool TSandbox::canExtend() const
{
    const item_t* it = model::singleSelected(items_);
    return mode_ == modePointer && it &&
           (it->itemType == model::typeSpline || it->itemType == model::typeCurve) &&
           it->shapeVariant == model::variantOpen && geometry::pointCount(it->points) >= 2;
}

bool TSandbox::claimsKey(int key, Qt::KeyboardModifiers modifiers) const
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (text_->typing()) {
        switch (key) {
        case Qt::Key_A:
        case Qt::Key_X:
        case Qt::Key_C:
        case Qt::Key_V:
        case Qt::Key_Insert: return ctrl || (modifiers & Qt::ShiftModifier);
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End: return true;
        default: return false;
        }
    }
    if (key == Qt::Key_A && ctrl && !(modifiers & Qt::ShiftModifier)) return canExtend();
    if (key == Qt::Key_Delete && !ctrl && mode_ == modePointer) {
        model::item_t* record = grid_->gridRecord();
        return model::hotAnchor(record, true) || model::hotAnchor(record, false);
    }
    return false;
}

} // namespace canvas
