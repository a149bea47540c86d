// A random page of every kind of item, for the tests that hold two ways of
// painting against each other.
#pragma once

#include "docbuilder.h"
#include "geometry/shapes.h"

#include <random>

namespace testdoc {

// A page of every kind of item with boxes as the editor computes them, over
// and around the view: lines of every pattern and weight (some with a stored
// angle that does not follow their points), shapes of every type, turned and
// round pictures, heavy pens and outlines, shadows.
inline void randomPage(model::itemList_t& doc, std::mt19937& rng, int32_t side)
{
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
    testdoc::addPattern(doc, -1, {2.0, 0.5, 0.5, 0.5});
    const double weights[] = {0.0, 0.3, 1.0, 2.5, 6.0};
    const int32_t fills[] = {-1, -2, 0x60C0FF};
    for (int32_t i = 0; i < 160; ++i) {
        const geometry::point_t at{rnd(-side / 2, side + side / 2), rnd(-side / 2, side + side / 2)};
        const int32_t s = rnd(4, side / 3), fill = fills[rnd(0, 2)], color = int32_t(rng() & 0x7F7F7F);
        const double w = weights[rnd(0, 4)];
        model::item_t* it = nullptr;
        const int32_t kind = rnd(0, 12);
        if (kind <= 2) {
            it = testdoc::addLine(doc, at.x, at.y, at.x + rnd(-2 * s, 2 * s), at.y + rnd(-2 * s, 2 * s), w, rnd(-1, 4), color,
                         fill, rnd(0, 1) ? 0.0 : w / 3);
            if (kind == 2) it->angle += 0.7;  // damaged: the dash walk leaves the segment
        } else if (kind <= 4) {
            it = model::newItem(doc, model::typePicture);
            it->x1 = at.x, it->y1 = at.y, it->x2 = at.x + s, it->y2 = at.y + s / 4;
            it->clipShape = rnd(0, 2);
            it->rotation = rnd(0, 1) ? 0.0 : 0.8;
            geometry::pictureBox(it);
            testdoc::stack(doc, it);
        } else {
            const int32_t types[] = {model::typeTriangle, model::typeSquare, model::typeRectangle, model::typeCircle,
                                     model::typeEllipse, model::typePolygon, model::typeStar, model::typePie,
                                     model::typeArc, model::typeSpline, model::typeCurve};
            it = model::newItem(doc, types[rnd(0, 10)]);
            const geometry::point_t b{at.x + s, at.y + rnd(-s, s)}, c{at.x + rnd(-s, s), at.y - s};
            switch (it->itemType) {
            case model::typeTriangle: geometry::buildTriangle(at, b, c, it->points); break;
            case model::typeSquare: geometry::buildSquare(at, b, it->points); break;
            case model::typeRectangle: geometry::buildRectangle(at, {b.x, at.y}, {b.x, c.y}, it->points); break;
            case model::typeCircle: geometry::buildCircle(at, b, it->points); break;
            case model::typeEllipse: geometry::buildEllipse(at, b, c, it->points); break;
            case model::typePolygon: geometry::buildRegularPolygon(at, b, rnd(3, 9), it->points); break;
            case model::typeStar: geometry::buildStar(at, b, {at.x + s / 3, at.y}, rnd(3, 9), it->points); break;
            case model::typePie:
            case model::typeArc: geometry::buildPieArc(at, b, c, it->points); break;
            default:
                for (const geometry::point_t& p : {at, b, c, geometry::point_t{c.x + s, c.y + s}})
                    model::addPoint(it, p.x, p.y);
                if (it->itemType == model::typeCurve) testdoc::smoothCurve(it, rnd(0, 1));
            }
            it->sides = model::countNodes(it->points) > 2 ? it->sides : 0;
            if (it->itemType == model::typePolygon || it->itemType == model::typeStar) it->sides = rnd(3, 9);
            it->shapeVariant = rnd(0, 2);
            it->fillColor = fill;
            it->lineColor = color;
            it->lineWeight = w;
            it->penWidthPx = testdoc::weightPx(w);
            geometry::itemBounds(it, 8, 8);
            testdoc::stack(doc, it);
        }
        if (rnd(0, 3) == 0) {
            it->shadowElevation = uint8_t(rnd(8, 255));
            it->shadowFade = uint8_t(rnd(0, 3) ? 0 : rnd(1, 60));
        }
    }
}

} // namespace testdoc
