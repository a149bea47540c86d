#include "canvas/placing.h"

#include "canvas/handles.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/selectionedit.h"
#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

namespace canvas {

using geometry::point_t;
using model::item_t;

void placingMode_t::begin(const std::vector<item_t*>& pasted)
{
    if (pasted.empty()) return;
    h_.setMode(modePlacing);
    h_.setHandle(handleMove, 0);
    const model::pastePoint_t s = model::placingStart(pasted);
    start_ = w_.toScreen({s.x, s.y});
    // The pasted items are not on the canvas yet: keep what they will cover
    // and draw them as they follow the mouse.
    w_.view().selectionUnder = render::savedArea_t{};
    w_.saveUnder(w_.view().selectionUnder, coveredArea(w_, pasted, true));
    for (item_t* it : pasted) render::drawItem(w_.view(), it, true);
    w_.updateCanvas();
}

void placingMode_t::finish()
{
    if (w_.mode() != modePlacing) return;
    h_.setMode(modePointer);
    h_.setHandle(0, h_.handleOwnerType());
    for (item_t* it : model::collectSelected(w_.items()))
        if (model::isShapeType(it->itemType)) geometry::savePoints(it->points);
    w_.view().selectionUnder = render::savedArea_t{};
    w_.repaintAll(true);
}

void placingMode_t::move(Qt::MouseButtons, Qt::KeyboardModifiers, point_t pos)
{
    w_.manipulate(start_, pos, true, handleMove, false);
}

void placingMode_t::release(Qt::MouseButton button, Qt::KeyboardModifiers, point_t)
{
    // Placing ends at the release; the press itself does nothing.
    if (button != Qt::LeftButton) return;
    finish();
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

bool placingMode_t::key(int key, Qt::KeyboardModifiers)
{
    if (key != Qt::Key_Escape) return false;
    h_.setMode(modePointer);
    h_.setHandle(0, h_.handleOwnerType());
    w_.view().selectionUnder = render::savedArea_t{};
    // The pasted copies are the selection while they are placed.
    model::eraseSelection(w_.items());
    w_.repaintAll(true);
    if (w_.host()) w_.host()->editStateChanged(&w_);
    return true;
}

} // namespace canvas
