#include "canvas/pointermode.h"

#include "canvas/areaselect.h"
#include "canvas/handledrag.h"
#include "canvas/handles.h"
#include "canvas/picking.h"
#include "canvas/pointediting.h"
#include "canvas/sandbox.h"

#include <QWidget>
#include "model/itemlist.h"
#include "ui/panelcodes.h"

namespace canvas {

using geometry::point_t;

void pointerMode_t::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    if (modifiers & Qt::ControlModifier) {
        h_.beginAreaSelection(modifiers, pos);
        return;
    }
    const handleHit_t hit = hitTestHandles(w_, pos);
    h_.canvasControl().setCursor(hit.cursor);
    if (!hit.item) return;  // the click is taken at the release
    h_.beginHandleDrag(hit.mode, hit.code, hit.item->itemType, pos);
}

void pointerMode_t::move(Qt::MouseButtons, Qt::KeyboardModifiers, point_t pos)
{
    // Idle: the hit test only chooses the cursor.
    h_.canvasControl().setCursor(hitTestHandles(w_, pos).cursor);
}

void pointerMode_t::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    // A click without a handle: pick at the release point.
    w_.eraseMarks();
    const pickResult_t r =
        pickItem(w_.items(), w_.toDoc(pos), (modifiers & Qt::ShiftModifier) != 0, w_.view().style.handleWidth);
    w_.drawSelectionMarks();
    if (sandboxHost_t* host = w_.host()) {
        if (!r.item) host->showPanel(ui::panelInsert);
        else if (const int32_t panel = panelForSelection(w_.items())) host->showPanel(panel);
        if (r.changed) host->editStateChanged(&w_);
    }
}

bool pointerMode_t::key(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Delete && !(modifiers & Qt::ControlModifier)) {
        if (w_.host()) w_.host()->eraseRequested(&w_);
        return true;
    }
    // Esc lets go of the selection; the arrow keys nudge it.
    if (key == Qt::Key_Escape && !modifiers) return w_.clearSelection();
    if (!(modifiers & Qt::ControlModifier)) return w_.nudge(key, modifiers);
    switch (key) {
    // Ctrl+A extends a single selected open spline or curve, else selects all.
    case Qt::Key_A: return w_.startExtension() || w_.selectAll();
    case Qt::Key_D: return deletePointUnderMouse(w_);
    case Qt::Key_I: return insertPointAtMouse(w_);
    default: return false;
    }
}

} // namespace canvas
