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

#include <QGuiApplication>
#include <QStyleHints>

#include <algorithm>
#include <cstdlib>

namespace canvas {

using geometry::point_t;
using model::item_t;

void placingMode_t::begin(const std::vector<item_t*>& pasted, boxByDrag_t boxByDrag)
{
    if (pasted.empty()) return;
    pressed_ = sizing_ = false;
    sized_ = boxByDrag && pasted.size() == 1 ? pasted.front() : nullptr;
    boxByDrag_ = sized_ ? std::move(boxByDrag) : boxByDrag_t{};
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
    pressed_ = sizing_ = false;
    h_.setMode(modePointer);
    h_.setHandle(0, h_.handleOwnerType());
    for (item_t* it : model::collectSelected(w_.items()))
        if (model::isShapeType(it->itemType)) geometry::savePoints(it->points);
    w_.view().selectionUnder = render::savedArea_t{};
    w_.repaintAll(true);
}

void placingMode_t::press(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    if (button != Qt::LeftButton || !sized_) return;
    pressed_ = true;
    pressAt_ = pos;
}

void placingMode_t::move(Qt::MouseButtons buttons, Qt::KeyboardModifiers, point_t pos)
{
    if (pressed_ && (buttons & Qt::LeftButton)) {
        // A press that moves no farther than a click may is still a click.
        const int32_t distance = std::abs(pos.x - pressAt_.x) + std::abs(pos.y - pressAt_.y);
        if (distance >= QGuiApplication::styleHints()->startDragDistance()) sizing_ = true;
    }
    if (sizing_) sizeTo(pos);
    else w_.manipulate(start_, pos, true, handleMove, false);
}

void placingMode_t::sizeTo(point_t pos)
{
    const point_t a = w_.toDoc(w_.snapped(pressAt_)), b = w_.toDoc(w_.snapped(pos));
    boxByDrag_(sized_, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
    w_.restoreUnder(w_.view().selectionUnder);
    w_.saveUnder(w_.view().selectionUnder, coveredArea(w_, {sized_}, true));
    render::drawItem(w_.view(), sized_, true);
    w_.updateCanvas();
}

void placingMode_t::release(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    // Placing ends at the release; a press does nothing but start a drag
    // that sizes the item.
    if (button != Qt::LeftButton) return;
    if (sizing_) sizeTo(pos);
    pressed_ = sizing_ = false;
    finish();
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

bool placingMode_t::key(int key, Qt::KeyboardModifiers)
{
    if (key != Qt::Key_Escape) return false;
    pressed_ = sizing_ = false;
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
