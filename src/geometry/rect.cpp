#include "geometry/rect.h"

#include <ostream>

namespace geometry {

void PrintTo(const rect_t& r, std::ostream* os)
{
    *os << '[' << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom << ']';
}

void PrintTo(const point_t& p, std::ostream* os)
{
    *os << '(' << p.x << ", " << p.y << ')';
}

} // namespace geometry
