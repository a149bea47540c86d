#include "render/renderpass.h"

#include "settings/params.h"

namespace render {

renderStyle_t renderStyleFrom(const settings::TParams& p)
{
    renderStyle_t s;
    s.handleWidth = p.markWidth;
    s.handleHeight = p.markHeight;
    s.handlePen = p.markPenWidth;
    s.handleOutline = p.markOutlineColor;
    s.itemHandleColor = p.itemHandleColor;
    s.groupHandleColor = p.groupHandleColor;
    s.rotationDotDistance = p.rotationDotDistance;
    s.constructionPen = p.previewColors[3];
    s.constructionBrush = p.previewColors[4];
    return s;
}

} // namespace render
