// Placing pasted items: after Paste the new copies follow the mouse until the
// button is released; another command leaves them where they are, Esc takes
// the paste back.
#pragma once

#include "canvas/interaction.h"
#include "model/item.h"

#include <vector>

namespace canvas {

class placingMode_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    void begin(const std::vector<model::item_t*>& pasted);
    // The pasted items stay where they are now.
    void finish();
    void press(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) override {}
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    // Esc: the pasted copies are removed as one undoable step.
    bool key(int key, Qt::KeyboardModifiers modifiers) override;

private:
    geometry::point_t start_;
};

} // namespace canvas
