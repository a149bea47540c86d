// The codes of the side panels. Every switch of the side panel names one of
// these; the insertion tools' panels share the tools' own codes, and the
// guidance pages are shown with their page number as the code.
#pragma once

#include <cstdint>

namespace ui {

// The panel codes that have a name. The type is an unscoped enum over
// int32_t so that a code passes wherever the tools' and pages' numbers do.
enum panelCode_t : int32_t {
    panelNone = 0,  // leave the side panel as it is
    panelInsert = 20,
    panelSetup = 60,
    panelMultiple = 59,
    panelNextLine = 98,
    panelLine = 99,

    // Fine-tuning selected shapes.
    panelTriangle = 200,
    panelSquare = 201,
    panelRectangle = 202,
    panelCircle = 203,
    panelEllipse = 204,
    panelStar = 206,
    panelPie = 207,
    panelArc = 208,
    panelSpline = 209,
    panelSolid = 210,
    panelCurve = 211,
    panelOblong = 212,
    panelExtendSpline = 297,
    panelExtendCurve = 298,
    panelPolygon = 299,

    panelNextText = 300,
    panelText = 301,
    panelTextEntry = 302,
    panelTextEntryGuided = 303,
    panelPictureInsert = 400,  // the picture insertion command
    panelPicture = 401,
    panelBarcodeInsert = 420,  // the barcode insertion command
    panelBarcode = 421,        // fine-tuning selected barcodes
    panelClipEdit = 503,    // the picture window changing a clip
    panelClipInsert = 510,  // the picture window cutting new clips
    panelPageSetup = 54,
    // Back from a guidance page to the panel it replaced.
    panelBackFromGuidance = 43,

    // Guidance pages.
    firstGuidancePage = 1024,
    lastGuidancePage = 1080,
    guidanceGrid = 1028,
    guidanceSnap = 1029,
    // Guidance pages of the line and text tools that the suggestions lead to.
    guidanceMoveLine = 1025,
    guidanceMoveText = 1036,
};

// The shape tools' codes (the tool and its panel share the number).
constexpr int32_t firstShapeTool = 100;
constexpr int32_t lastShapeTool = 199;
// The fine-tune panels of selected shapes, the extension panels included.
constexpr int32_t firstShapeFineTune = panelTriangle;
constexpr int32_t lastShapeFineTune = panelPolygon;

constexpr bool isShapeTool(int32_t code) { return code >= firstShapeTool && code <= lastShapeTool; }
constexpr bool isShapeFineTune(int32_t code) { return code >= firstShapeFineTune && code <= lastShapeFineTune; }
// Either of the two: the codes the shape panel shows.
constexpr bool isShapePanel(int32_t code) { return isShapeTool(code) || isShapeFineTune(code); }
constexpr bool isGuidance(int32_t code) { return code >= firstGuidancePage && code <= lastGuidancePage; }

} // namespace ui
