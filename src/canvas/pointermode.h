// The pointer when nothing is being dragged: a click picks the item whose
// outline is nearest, Ctrl starts an area selection, a press on a handle
// starts its drag, and moving the mouse only chooses the cursor.
#pragma once

#include "canvas/interaction.h"

namespace canvas {

class pointerMode_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    // Delete erases the selection.
    bool key(int key, Qt::KeyboardModifiers modifiers) override;
};

} // namespace canvas
