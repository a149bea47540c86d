// The insertion tools of the document window: the click sequences that place
// the points of a new item, their previews, and the keys of a sequence.
#include "canvas/sandbox.h"

namespace canvas {

bool TSandbox::isToolMode(int32_t code)
{
    return code == 1 || code == 31 || (code >= 100 && code <= 199) || code == 297 || code == 298;
}

void TSandbox::selectTool(int32_t code)
{
    abandonSequence();
    mode = code;
}

void TSandbox::abandonSequence()
{
    clickCount = 0;
    rubberPoints.clear();
}

void TSandbox::toolMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) {}
void TSandbox::toolMouseMove(Qt::KeyboardModifiers, geometry::point_t) {}
void TSandbox::toolMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, geometry::point_t) {}
bool TSandbox::toolKeyDown(int, Qt::KeyboardModifiers) { return false; }
void TSandbox::Timer1Timer() { Timer1.stop(); }

} // namespace canvas
