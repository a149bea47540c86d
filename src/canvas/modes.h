// The document window's `mode`: the pointer, the insertion tools and the
// manipulations a handle starts. A tool's code is also the code of its side
// panel, so these numbers are shared with the panel switching; the type
// converts to its number wherever a plain code is wanted.
#pragma once

#include <cstdint>

namespace canvas {

enum modeCode_t : int32_t {
    modePointer = 0,

    // Insertion tools (code 106 is not used).
    toolLine = 1,
    toolText = 31,
    toolTriangle = 100,
    toolSquare = 101,
    toolRectangle = 102,
    toolCircle = 103,
    toolEllipse = 104,
    toolStar = 105,
    toolUnused = 106,
    toolPie = 107,
    toolArc = 108,
    toolSpline = 109,
    toolSolid = 110,
    toolCurve = 111,
    toolOblong = 112,
    toolPolygon = 199,
    // Adding points to an existing open spline or curve.
    toolExtendSpline = 297,
    toolExtendCurve = 298,

    // Manipulations of the pointer mode.
    modeAreaSelection = 8,
    modeTextHandle = 33,
    modeTextEditing = 37,
    modeShapeHandle = 46,
    modeCircleHandle = 47,
    modeEllipseHandle = 48,
    modePictureHandle = 52,
    modePlacing = 53,
    modeGroupRotation = 58,
    modeLineHandle = 1001,
};

// The codes reserved for the shape tools, the unused one included.
constexpr modeCode_t firstShapeTool = toolTriangle;
constexpr modeCode_t lastShapeTool = toolPolygon;

constexpr bool inShapeToolRange(int32_t code)
{
    return code >= firstShapeTool && code <= lastShapeTool;
}
constexpr bool isShapeTool(int32_t code)
{
    return inShapeToolRange(code) && code != toolUnused;
}
constexpr bool isSplineTool(int32_t code)
{
    return code >= toolSpline && code <= toolOblong;
}
constexpr bool isExtendTool(int32_t code)
{
    return code == toolExtendSpline || code == toolExtendCurve;
}
// The tools a window may start with (the tool of the window deactivated last).
constexpr bool isInsertionTool(int32_t code)
{
    return code == toolLine || code == toolText || inShapeToolRange(code);
}
// Every mode whose mouse input runs a click sequence of points.
constexpr bool isToolMode(int32_t code)
{
    return isInsertionTool(code) || isExtendTool(code);
}
// The modes of a handle drag (the selection changes while the button is down).
constexpr bool isDragMode(int32_t code)
{
    return code == modeTextHandle || code == modeShapeHandle || code == modeCircleHandle ||
           code == modeEllipseHandle || code == modePictureHandle || code == modeGroupRotation ||
           code == modeLineHandle;
}

} // namespace canvas
