// The program-wide look of marks, rulers and panels: fixed values the
// windows draw with. Never stored.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace settings {

// A floating window's remembered geometry.
struct floatGeometry_t {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool maximized = false;
    bool held = false;  // the slot holds a geometry
};

struct displayValues_t {
    int32_t markWidth = 8, markHeight = 8;
    int32_t itemHandleColor = 0x00FFFF, groupHandleColor = 0x0000FF, markOutlineColor = 0x808080;
    int32_t markPenWidth = 1;
    int32_t areaPenWidth = 1, areaColor = 0x0000FF, areaBackground = 0x00FFFF;  // dotted pen
    int32_t textFrameColor = 0xC0C0C0;
    std::array<int32_t, 6> previewColors{0x00FF00, 0xFFFFFF, 0x00FFFF, 0x0000FF, 0x00FFFF, 0};
    int32_t rotationDotDistance = 40;
    int32_t markerWidth = 7, markerHeight = 7, markerStem = 4;
    int32_t anchorColor = 0xFF7A45, anchorHighlightColor = 0x0000FF;
    int32_t rulerTickColor = 0x505050, rulerLabelColor = 0x404040;
    QString rulerFont = QStringLiteral("Arial");
    int32_t rulerFontSize = 7;
    QString uiFont = QStringLiteral("Verdana");
    int32_t uiFontSize = 8;
    int32_t panelColor = 0xEFEFEF, panelColor2 = 0xE3E0E0, panelColor3 = 0xE3E0E0;
    int32_t splitterColor = 0xC0C0C0;
    int32_t pictureTab = 1, pictWindowTab = 1, textTab = 1, lineShapeTab = 1;
    std::array<floatGeometry_t, 16> floatGeometry;
};

} // namespace settings
