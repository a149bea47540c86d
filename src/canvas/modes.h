// The document window's `mode`: the pointer, the insertion tools and the
// manipulations a handle starts. A tool's code is also the code of its side
// panel, so these numbers are shared with the panel switching.
#pragma once

#include <cstdint>

namespace canvas {

constexpr int32_t modePointer = 0;

// Insertion tools (code 106 is not used).
constexpr int32_t toolLine = 1;
constexpr int32_t toolText = 31;
constexpr int32_t toolTriangle = 100;
constexpr int32_t toolSquare = 101;
constexpr int32_t toolRectangle = 102;
constexpr int32_t toolCircle = 103;
constexpr int32_t toolEllipse = 104;
constexpr int32_t toolStar = 105;
constexpr int32_t toolUnused = 106;
constexpr int32_t toolPie = 107;
constexpr int32_t toolArc = 108;
constexpr int32_t toolSpline = 109;
constexpr int32_t toolSolid = 110;
constexpr int32_t toolCurve = 111;
constexpr int32_t toolOblong = 112;
constexpr int32_t toolPolygon = 199;
constexpr int32_t firstShapeTool = toolTriangle;
constexpr int32_t lastShapeTool = toolPolygon;
// Adding points to an existing open spline or curve.
constexpr int32_t toolExtendSpline = 297;
constexpr int32_t toolExtendCurve = 298;

// Manipulations of the pointer mode.
constexpr int32_t modeAreaSelection = 8;
constexpr int32_t modeTextHandle = 33;
constexpr int32_t modeTextEditing = 37;
constexpr int32_t modeShapeHandle = 46;
constexpr int32_t modeCircleHandle = 47;
constexpr int32_t modeEllipseHandle = 48;
constexpr int32_t modePictureHandle = 52;
constexpr int32_t modePlacing = 53;
constexpr int32_t modeGroupRotation = 58;
constexpr int32_t modeLineHandle = 1001;

inline bool isShapeTool(int32_t code)
{
    return code >= firstShapeTool && code <= lastShapeTool && code != toolUnused;
}
inline bool isSplineTool(int32_t code)
{
    return code >= toolSpline && code <= toolOblong;
}
inline bool isExtendTool(int32_t code)
{
    return code == toolExtendSpline || code == toolExtendCurve;
}
// Every mode whose mouse input runs a click sequence of points.
inline bool isToolMode(int32_t code)
{
    return code == toolLine || code == toolText || (code >= firstShapeTool && code <= lastShapeTool) ||
           isExtendTool(code);
}
// The modes of a handle drag (the selection changes while the button is down).
inline bool isDragMode(int32_t code)
{
    return code == modeTextHandle || code == modeShapeHandle || code == modeCircleHandle ||
           code == modeEllipseHandle || code == modePictureHandle || code == modeGroupRotation ||
           code == modeLineHandle;
}

} // namespace canvas
