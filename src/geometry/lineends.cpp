#include "geometry/lineends.h"

#include "geometry/shapes.h"
#include "model/itemlist.h"

namespace geometry {

void setLineEnds(model::item_t* it, point_t a, point_t b)
{
    it->x1 = a.x;
    it->y1 = a.y;
    it->x2 = b.x;
    it->y2 = b.y;
    lineGeometry(it);
    model::computeMeasure(it);
}

} // namespace geometry
