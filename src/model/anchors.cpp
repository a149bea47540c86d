#include "model/anchors.h"

#include "model/itemlist.h"

namespace model {

// Positions come from files; keep the arithmetic defined for any int32.
static int32_t wrap(int64_t v) { return static_cast<int32_t>(v); }

anchorNode_t* addAnchorX(item_t* grid, int32_t position, const anchorMarker_t& m)
{
    auto* a = new anchorNode_t;
    a->left = wrap(int64_t(position) - m.width / 2);
    a->top = 1;
    a->right = wrap(int64_t(a->left) + m.width);
    a->bottom = m.height + m.stem + 1;
    a->imageRight = m.width;
    a->imageBottom = m.height + m.stem;
    appendNode(grid->anchorsX, a);
    return a;
}

anchorNode_t* addAnchorY(item_t* grid, int32_t position, const anchorMarker_t& m)
{
    auto* a = new anchorNode_t;
    a->left = 1;
    a->top = wrap(int64_t(position) - m.height / 2);
    a->right = m.width + m.stem + 1;
    a->bottom = wrap(int64_t(a->top) + m.height);
    a->imageRight = m.width + m.stem;
    a->imageBottom = m.height;
    appendNode(grid->anchorsY, a);
    return a;
}

} // namespace model
