// The pen of the area-selection rectangle and of the guide lines of the
// tools: dotted in the area colour on the area background (red on yellow
// unless the settings say otherwise).
#pragma once

#include "render/surface.h"
#include "settings/params.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace canvas {

inline void useAreaPen(QPainter& painter, const settings::TParams& p)
{
    QPen pen(render::toColor(p.areaColor));
    pen.setWidth(std::max(1, p.areaPenWidth));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(render::toColor(p.areaBackground));
    painter.setBrush(Qt::NoBrush);
}

} // namespace canvas
