// Dragging a handle of the selection: the selected items follow the mouse
// from the reference geometry saved when the drag began, drawn over the
// background without them, and are completed and repainted at the release.
#pragma once

#include "canvas/glue.h"
#include "canvas/interaction.h"
#include "model/item.h"
#include "render/renderpass.h"

#include <vector>

namespace canvas {

// Moves an item by (dx, dy) from the reference geometry beginEdit saved, so
// that repeated calls for one drag never accumulate.
void translateItem(model::item_t* it, int32_t dx, int32_t dy);

class handleDrag_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    // A press on a handle of `itemType` with `code` started drag `mode`.
    void begin(modeCode_t mode, int32_t code, int32_t itemType, geometry::point_t pos);
    void press(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) override {}
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    // Esc puts the items back as they were before the press.
    bool key(int key, Qt::KeyboardModifiers modifiers) override;
    void cancel() override;
    void eraseOverlay() override;
    void overlayLost() override;

    // The guide from a constrained line end to the mouse (canvas pixels).
    void showGuide(geometry::point_t from, geometry::point_t to);
    // The lines glued to and the labels of the items being dragged.
    dragLinks_t& links() { return links_; }

private:
    geometry::point_t start_;
    // The items as they were selected before the press made new versions.
    std::vector<model::item_t*> before_;
    render::savedArea_t guide_;
    dragLinks_t links_;
};

} // namespace canvas
