// Selecting by area: Ctrl-drag selects the items inside the rectangle,
// Shift+Ctrl-drag also those its sides cross. The dotted frame follows the
// mouse over saved strips of the canvas; the marks follow the selection.
#pragma once

#include "canvas/interaction.h"
#include "canvas/picking.h"
#include "render/renderpass.h"

#include <QRect>

#include <array>

namespace canvas {

class areaSelectMode_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    // Starts the area at `pos`; with Shift the current selection is kept.
    void begin(Qt::KeyboardModifiers modifiers, geometry::point_t pos);
    void press(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) override {}
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void cancel() override;
    void eraseOverlay() override;
    void overlayLost() override;

private:
    void drawFrame(const QRect& r);

    geometry::point_t start_;
    QRect drag_;
    std::array<render::savedArea_t, 4> frame_;
    areaSelection_t selection_;
};

} // namespace canvas
