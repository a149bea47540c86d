// Adding points at the end of an open spline or curve (Ctrl-A): the item
// steps aside, its points become the sequence being placed, and clicks add
// turning points with the rules of the spline tools until Shift-click or
// Enter finishes the extension as one history step; Esc puts the item back.
#pragma once

#include "canvas/interaction.h"
#include "model/item.h"
#include "render/renderpass.h"

#include <vector>

namespace canvas {

class extendMode_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    // Starts extending the one selected item; false when it cannot be
    // extended (not exactly one open spline or curve of two points or more).
    bool begin();
    void press(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) override {}
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    bool key(int key, Qt::KeyboardModifiers modifiers) override;
    // Esc: the item comes back unchanged.
    void cancel() override;
    void eraseOverlay() override;
    void overlayLost() override;

    // The points placed so far (canvas pixels), the last following the mouse.
    const std::vector<geometry::point_t>& points() const { return points_; }

private:
    void preview();
    void erasePreview();
    // Ends the extension with the points placed (Shift-click or Enter).
    void finishExtension();
    void leave();

    model::item_t* item_ = nullptr;
    std::vector<geometry::point_t> points_;
    render::savedArea_t guide_;
};

} // namespace canvas
