// Editing the points of one selected spline or curve from the keyboard:
// Ctrl-D deletes the point under the mouse, Ctrl-I inserts one on the
// nearest segment. Each is one history step.
#pragma once

namespace canvas {

class TSandbox;

// False when nothing was done (not one spline or curve selected, or the
// mouse is not on one of its points).
bool deletePointUnderMouse(TSandbox& w);
bool insertPointAtMouse(TSandbox& w);

} // namespace canvas
