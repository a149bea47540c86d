// Placing pasted items: after Paste the new copies follow the mouse until the
// button is released; another command leaves them where they are, Esc takes
// the paste back. A new item placed alone may instead take the box of a drag
// (a barcode: a click puts it down at its size, a drag draws its box).
#pragma once

#include "canvas/interaction.h"
#include "model/item.h"

#include <functional>
#include <vector>

namespace canvas {

class placingMode_t : public interaction_t {
public:
    using interaction_t::interaction_t;

    // Gives the item the box left..right, top..bottom (document pixels).
    using boxByDrag_t = std::function<void(model::item_t*, int32_t left, int32_t top, int32_t right, int32_t bottom)>;

    // With `boxByDrag` (one item only) a press and a drag beyond the
    // platform's drag distance set the item's box from the press to the mouse.
    void begin(const std::vector<model::item_t*>& pasted, boxByDrag_t boxByDrag = {});
    // The pasted items stay where they are now.
    void finish();
    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, geometry::point_t pos) override;
    // Esc: the pasted copies are removed as one undoable step.
    bool key(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void sizeTo(geometry::point_t pos);

    geometry::point_t start_;
    boxByDrag_t boxByDrag_;
    model::item_t* sized_ = nullptr;  // the item a drag sizes
    bool pressed_ = false;
    bool sizing_ = false;
    geometry::point_t pressAt_;  // canvas pixels
};

} // namespace canvas
