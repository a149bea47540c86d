// The codes of the side panels. Every switch of the side panel names one of
// these; the insertion tools' panels share the tools' own codes (100..199).
#pragma once

#include <cstdint>

namespace ui {

constexpr int32_t panelNone = 0;  // leave the side panel as it is
constexpr int32_t panelInsert = 20;
constexpr int32_t panelSetup = 60;
constexpr int32_t panelMultiple = 59;
constexpr int32_t panelNextLine = 98;
constexpr int32_t panelLine = 99;

// Fine-tuning selected shapes.
constexpr int32_t panelTriangle = 200;
constexpr int32_t panelSquare = 201;
constexpr int32_t panelRectangle = 202;
constexpr int32_t panelCircle = 203;
constexpr int32_t panelEllipse = 204;
constexpr int32_t panelStar = 206;
constexpr int32_t panelPie = 207;
constexpr int32_t panelArc = 208;
constexpr int32_t panelSpline = 209;
constexpr int32_t panelSolid = 210;
constexpr int32_t panelCurve = 211;
constexpr int32_t panelOblong = 212;
constexpr int32_t panelExtendSpline = 297;
constexpr int32_t panelExtendCurve = 298;
constexpr int32_t panelPolygon = 299;

constexpr int32_t panelNextText = 300;
constexpr int32_t panelText = 301;
constexpr int32_t panelTextEntry = 302;
constexpr int32_t panelTextEntryGuided = 303;
constexpr int32_t panelPictureInsert = 400;  // the picture insertion command
constexpr int32_t panelPicture = 401;
constexpr int32_t panelClipEdit = 503;    // the picture window changing a clip
constexpr int32_t panelClipInsert = 510;  // the picture window cutting new clips
constexpr int32_t panelPageSetup = 54;
// Back from a guidance page to the panel it replaced.
constexpr int32_t panelBackFromGuidance = 43;

// Guidance pages are shown with their page number as the code.
constexpr int32_t firstGuidancePage = 1024;
constexpr int32_t lastGuidancePage = 1080;
constexpr int32_t guidanceGrid = 1028;
constexpr int32_t guidanceSnap = 1029;
// Guidance pages of the line and text tools that the suggestions lead to.
constexpr int32_t guidanceMoveLine = 1025;
constexpr int32_t guidanceMoveText = 1036;

} // namespace ui
