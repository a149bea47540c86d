// The gestures on the picture window's view: a click or a drag draws a
// rectangular or round clip, the pointer selects a clip and drags its handles.
#include "panels/pictureview.h"

#include "model/clips.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "panels/picturewindow.h"

#include <QMouseEvent>

namespace panels {

using geometry::point_t;
using model::item_t;

namespace {

Qt::CursorShape cursorShape(model::handleCursor_t c)
{
    switch (c) {
    case model::handleCursor_t::move: return Qt::SizeAllCursor;
    case model::handleCursor_t::diagonalNwSe: return Qt::SizeFDiagCursor;
    case model::handleCursor_t::diagonalNeSw: return Qt::SizeBDiagCursor;
    case model::handleCursor_t::vertical: return Qt::SizeVerCursor;
    case model::handleCursor_t::horizontal: return Qt::SizeHorCursor;
    case model::handleCursor_t::arrow: break;
    }
    return Qt::ArrowCursor;
}

} // namespace

void TPictView::press(QPoint p)
{
    model::itemList_t& clips = owner_->clips();
    if (owner_->tool() == pictTool_t::pointer) {
        const point_t s = scroll();
        item_t* sel = nullptr;
        for (item_t* c : model::visibleClips(clips))
            if (model::isSelected(c)) sel = c;
        handle_ = model::handleAt(sel, {p.x(), p.y()}, s, owner_->zoom(), owner_->markSize());
        if (handle_ != model::noHandle) {
            std::vector<item_t*> v = model::beginEdit(clips);
            if (v.size() == 1) {
                dragged_ = v.front();
                pressPicture_ = toPicture(p);
                phase_ = phase_t::handle;
                owner_->clipsChanged();
                return;
            }
        }
        item_t* found = model::clipAt(clips, {p.x(), p.y()}, s, owner_->zoom(), owner_->markSize());
        model::deselectAll(clips);
        if (found) model::setSelected(clips, found, true);
        owner_->clipsChanged();
        return;
    }
    if (phase_ == phase_t::firstFixed) {
        finishClip(p);
        return;
    }
    // A clip starts on the picture shown.
    if (!QRect(QPoint(0, 0), owner_->displayed().size()).contains(p + QPoint(scroll().x, scroll().y))) return;
    first_ = current_ = p;
    phase_ = phase_t::pressed;
    holdTimer.start();
}

void TPictView::holdElapsed()
{
    if (phase_ == phase_t::pressed) phase_ = phase_t::dragging;
    viewport()->update();
}

void TPictView::move(QPoint p, bool buttonHeld)
{
    if (phase_ == phase_t::handle && dragged_) {
        const point_t at = toPicture(p);
        model::dragClipHandle(dragged_, handle_, at.x - pressPicture_.x, at.y - pressPicture_.y, at);
        viewport()->update();
        return;
    }
    if (phase_ == phase_t::pressed && buttonHeld && p != first_) {
        // Moving with the button held draws the clip as the mouse goes.
        holdTimer.stop();
        phase_ = phase_t::dragging;
    }
    if (drawing()) {
        current_ = p;
        viewport()->update();
        return;
    }
    updateCursor(p);
}

void TPictView::release(QPoint p)
{
    switch (phase_) {
    case phase_t::handle:
        move(p, true);
        phase_ = phase_t::idle;
        dragged_ = nullptr;
        owner_->clipsChanged();
        updateCursor(p);
        return;
    case phase_t::dragging: finishClip(p); return;
    case phase_t::pressed:
        // A click: the first point is fixed, the second click finishes.
        holdTimer.stop();
        phase_ = phase_t::firstFixed;
        viewport()->update();
        return;
    default: return;
    }
}

void TPictView::finishClip(QPoint p)
{
    holdTimer.stop();
    current_ = p;
    const int32_t type = owner_->tool() == pictTool_t::round ? model::typeRoundClip : model::typeRectClip;
    model::addClip(owner_->clips(), type, toPicture(first_), toPicture(p), owner_->zoom());
    phase_ = phase_t::idle;
    owner_->clipsChanged();
    owner_->clipFinished();
}

bool TPictView::cancelDrawing()
{
    holdTimer.stop();
    if (phase_ == phase_t::idle || phase_ == phase_t::handle) return false;
    phase_ = phase_t::idle;
    viewport()->update();
    return true;
}

void TPictView::updateCursor(QPoint p)
{
    if (owner_->tool() != pictTool_t::pointer) {
        viewport()->setCursor(Qt::CrossCursor);
        return;
    }
    const item_t* sel = nullptr;
    for (const item_t* c : model::visibleClips(owner_->clips()))
        if (model::isSelected(c)) sel = c;
    const int32_t h = model::handleAt(sel, {p.x(), p.y()}, scroll(), owner_->zoom(), owner_->markSize());
    viewport()->setCursor(cursorShape(model::cursorForHandle(sel, h)));
}

void TPictView::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) press(e->position().toPoint());
}

void TPictView::mouseMoveEvent(QMouseEvent* e) { move(e->position().toPoint(), e->buttons() & Qt::LeftButton); }

void TPictView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) release(e->position().toPoint());
}

} // namespace panels
