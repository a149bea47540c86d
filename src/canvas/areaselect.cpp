#include "canvas/areaselect.h"

#include "canvas/areapen.h"
#include "canvas/modes.h"
#include "canvas/selectionedit.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <QPainter>

#include <algorithm>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

// The four one-line strips of a frame drawn around `r` one pixel outside it.
std::array<QRect, 4> frameStrips(const QRect& r, int32_t pen)
{
    const int32_t l = r.left() - 1, t = r.top() - 1, rr = r.right() + 1, b = r.bottom() + 1;
    const int32_t g = std::max(1, pen) / 2 + 1;
    return {spanRect(l - g, t - g, rr + g, t + g), spanRect(l - g, b - g, rr + g, b + g), spanRect(l - g, t - g, l + g, b + g),
            spanRect(rr - g, t - g, rr + g, b + g)};
}

} // namespace

void areaSelectMode_t::begin(Qt::KeyboardModifiers modifiers, point_t pos)
{
    h_.setMode(modeAreaSelection);
    start_ = pos;
    selection_ = areaSelection_t{};
    drag_ = QRect();
    if (modifiers & Qt::ShiftModifier) {
        for (const item_t* it : model::collectSelected(w_.items())) selection_.kept.insert(it);
    } else if (!model::collectSelected(w_.items()).empty()) {
        w_.eraseMarks();
        model::deselectAll(w_.items());
        if (w_.host()) w_.host()->editStateChanged(&w_);
    }
}

void areaSelectMode_t::move(Qt::MouseButtons, Qt::KeyboardModifiers modifiers, point_t pos)
{
    eraseOverlay();
    drag_ = spanRect(start_.x, start_.y, pos.x, pos.y);
    const point_t a = w_.toDoc({drag_.left(), drag_.top()}), b = w_.toDoc({drag_.right(), drag_.bottom()});
    bool changed = false;
    selectInArea(w_.items(), {a.x, a.y, b.x, b.y}, (modifiers & Qt::ShiftModifier) != 0, selection_, &changed);
    if (changed) {
        // Marks come off in reverse order and go on again for the new selection.
        w_.eraseMarks();
        w_.drawSelectionMarks();
        if (w_.host()) w_.host()->editStateChanged(&w_);
    }
    drawFrame(drag_);
}

void areaSelectMode_t::release(Qt::MouseButton button, Qt::KeyboardModifiers, point_t)
{
    if (button != Qt::LeftButton) return;
    eraseOverlay();
    h_.setAreaRect(drag_);
    drag_ = QRect();
    selection_ = areaSelection_t{};
    h_.setMode(modePointer);
    if (sandboxHost_t* host = w_.host()) {
        if (const int32_t panel = panelForSelection(w_.items())) host->showPanel(panel);
        host->editStateChanged(&w_);
    }
}

void areaSelectMode_t::cancel()
{
    eraseOverlay();
    drag_ = QRect();
    selection_ = areaSelection_t{};
}

void areaSelectMode_t::eraseOverlay()
{
    for (auto k = frame_.size(); k-- > 0;) w_.restoreUnder(frame_[k]);
}

void areaSelectMode_t::overlayLost()
{
    for (render::savedArea_t& strip : frame_) strip.valid = false;
}

void areaSelectMode_t::drawFrame(const QRect& r)
{
    const settings::TParams& p = params();
    const std::array<QRect, 4> strips = frameStrips(r, p.areaPenWidth);
    for (size_t k = 0; k < strips.size(); ++k) w_.saveUnder(frame_[k], strips[k]);
    QPainter g(&w_.canvasImage());
    useAreaPen(g, p);
    g.drawRect(QRect(QPoint(r.left() - 1, r.top() - 1), QPoint(r.right() + 1, r.bottom() + 1)));
    for (const QRect& s : strips) w_.updateCanvas(s);
}

} // namespace canvas
