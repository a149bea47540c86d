// Builds small documents in memory for the render tests and benchmarks.
#pragma once

#include "geometry/units.h"
#include "model/item.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace testdoc {

using model::item_t;
using model::itemList_t;

// A header for a page of w × h pixels (unit pixels) at the zoom.
inline item_t* addHeader(itemList_t& list, int32_t w, int32_t h, double zoom = 1.0, int32_t designType = 0)
{
    item_t* it = model::newItem(list, model::typeHeader);
    it->kind = model::kindHeader;
    model::invalidateIds(list);
    auto& hd = it->hdr();
    hd.zoom = zoom;
    hd.unit = geometry::unitPixels;
    hd.pxPerUnitX = hd.pxPerUnitY = 1.0;
    hd.canvasWidth = w;
    hd.canvasHeight = h;
    hd.paperWidth = w;
    hd.paperHeight = h;
    hd.designType = designType;
    geometry::computeCanvasPixels(it);
    return it;
}

// Puts the item on top and keeps its stored measures in step with its pixels.
inline void stack(itemList_t& list, item_t* it)
{
    model::computeMeasure(it);
    it->zOrder = model::maxZOrder(list) + 1;
    model::noteIds(list, it);
}

inline int32_t weightPx(double mm) { return std::max(1, model::roundHalfEven(mm * model::screen().pxPerMmY)); }

inline item_t* addLine(itemList_t& list, int32_t x1, int32_t y1, int32_t x2, int32_t y2, double weightMm,
                       int32_t pattern = 0, int32_t color = 0, int32_t fill = -2, double outlineMm = 0)
{
    item_t* it = model::newItem(list, model::typeLine);
    it->x1 = x1; it->y1 = y1; it->x2 = x2; it->y2 = y2;
    it->boxLeft = std::min(x1, x2); it->boxRight = std::max(x1, x2);
    it->boxTop = std::min(y1, y2); it->boxBottom = std::max(y1, y2);
    it->angle = geometry::segmentAngle({x1, y1}, {x2, y2});
    it->lineWeight = weightMm;
    it->penWidthPx = weightPx(weightMm);
    it->outlineWeight = outlineMm;
    it->patternIndex = pattern;
    it->lineColor = color;
    it->fillColor = fill;
    stack(list, it);
    return it;
}

// A text whose last baseline runs from (x1, y1) to (x2, y2), its lines given
// with '\n' between them; the box is the caller's (render::textBox).
inline item_t* addText(itemList_t& list, int32_t x1, int32_t y1, int32_t x2, int32_t y2, std::u16string lines,
                       int32_t angleTenths = 0, int32_t justification = 1, int32_t size = 12)
{
    item_t* it = model::newItem(list, model::typeText);
    for (char16_t& c : lines)
        if (c == u'\n') c = model::lineSeparator;
    model::setText(it, lines);
    it->x1 = x1; it->y1 = y1; it->x2 = x2; it->y2 = y2;
    it->textAngle = angleTenths;
    it->justification = uint8_t(justification);
    it->fontSize = size;
    it->fontWeight = 400;
    model::setFontName(it, "Arial");
    it->angle = geometry::segmentAngle({x1, y1}, {x2, y2});
    stack(list, it);
    return it;
}

inline item_t* addShape(itemList_t& list, int32_t type, std::initializer_list<std::pair<int32_t, int32_t>> pts,
                        int32_t fill = -1, int32_t color = 0, double weightMm = 0, int32_t variant = 2,
                        int32_t sides = 0)
{
    item_t* it = model::newItem(list, type);
    int32_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (auto [x, y] : pts) {
        model::addPoint(it, x, y);
        l = std::min(l, x); t = std::min(t, y); r = std::max(r, x); b = std::max(b, y);
    }
    // A generous box: circles and arcs reach beyond their points.
    const int32_t pad = std::max(r - l, b - t) + 4;
    it->boxLeft = l - pad; it->boxTop = t - pad; it->boxRight = r + pad; it->boxBottom = b + pad;
    it->x1 = it->boxLeft; it->y1 = it->boxTop; it->x2 = it->boxRight; it->y2 = it->boxBottom;
    it->fillColor = fill;
    it->lineColor = color;
    it->lineWeight = weightMm;
    it->penWidthPx = weightPx(weightMm);
    it->shapeVariant = variant;
    it->sides = sides;
    stack(list, it);
    return it;
}

// A pattern record (kind 3) with the given id and lengths in millimetres.
inline item_t* addPattern(itemList_t& list, int32_t id, std::initializer_list<double> mm)
{
    item_t* it = model::newItem(list, id);
    it->kind = model::kindPattern;
    model::invalidateIds(list);
    it->itemType = id;
    int32_t n = 0;
    for (double v : mm) it->pat().segments[n++] = v;
    it->pat().segmentCount = n;
    return it;
}

} // namespace testdoc

namespace testdoc {

// Control points of a smooth curve through its points (closed when asked).
inline void smoothCurve(item_t* it, bool closed)
{
    std::vector<model::pointNode_t*> n;
    for (model::pointNode_t* p = it->points.head; p; p = p->next) n.push_back(p);
    const int32_t k = static_cast<int32_t>(n.size());
    auto at = [&](int32_t i) -> const model::pointPayload_t& {
        if (closed) return n[((i % k) + k) % k]->p;
        return n[std::clamp(i, 0, k - 1)]->p;
    };
    for (int32_t i = 0; i < k; ++i) {
        const auto &a = at(i - 1), &b = at(i), &c = at(i + 1), &d = at(i + 2);
        n[i]->p.c1x = b.x + (c.x - a.x) / 4;
        n[i]->p.c1y = b.y + (c.y - a.y) / 4;
        n[i]->p.c2x = c.x - (d.x - b.x) / 4;
        n[i]->p.c2y = c.y - (d.y - b.y) / 4;
    }
}

// A page with every shape type, fill mode, variant and pattern.
inline void buildShowcase(itemList_t& doc, int32_t designType = 1)
{
    item_t* h = addHeader(doc, 760, 600, 1.0, designType);
    h->hdr().marginLeft = h->hdr().marginTop = h->hdr().marginRight = h->hdr().marginBottom = 12;
    h->hdr().cardWidth = 380;
    h->hdr().cardHeight = 300;
    h->hdr().columns = 2;
    h->hdr().rows = 2;
    addPattern(doc, -1, {3.0, 1.0, 0.5, 1.0});

    // Lines: each pattern, thin and wide, plain and with fill and border.
    const int32_t patterns[] = {0, 1, 2, 3, 4, -1};
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t y = 30 + i * 14;
        addLine(doc, 30, y, 250, y, 0.0, patterns[i], 0);
        addLine(doc, 270, y, 490, y, 0.5, patterns[i], 0x800000);
        addLine(doc, 510, y + 2, 730, y + 2, 2.0, patterns[i], 0x000080, i % 2 ? 0x80FFFF : -1, 0.6);
    }
    addLine(doc, 30, 130, 200, 190, 1.5, 2, 0x008000, -2);
    addLine(doc, 220, 190, 330, 120, 3.0, 0, 0x0000C0, 0xC0FFC0, 0.5);
    addLine(doc, 350, 120, 350, 190, 1.0, 3, 0x404040);

    const int32_t fills[] = {-1, -2, 0x60C0FF};
    const double weights[] = {1.0, 2.0, 0.5};
    for (int32_t row = 0; row < 3; ++row) {
        const int32_t y = 230 + row * 90, f = fills[row];
        const double w = weights[row];
        const int32_t col = row == 2 ? 0x600000 : 0x000000;
        addShape(doc, model::typeTriangle, {{30, y + 60}, {90, y + 60}, {60, y}}, f, col, w);
        addShape(doc, model::typeSquare, {{110, y + 60}, {170, y + 60}, {170, y}, {110, y}}, f, col, w);
        addShape(doc, model::typeRectangle, {{190, y + 50}, {270, y + 20}, {285, y + 58}, {205, y + 88}}, f, col, w);
        addShape(doc, model::typeCircle, {{330, y + 30}, {358, y + 30}, {358, y + 2}, {330, y + 2}}, f, col, w);
        addShape(doc, model::typeEllipse, {{420, y + 30}, {460, y + 10}, {415, y + 20}}, f, col, w);
        addShape(doc, model::typePolygon, {{520, y + 30}, {550, y + 30}}, f, col, w, 2, 6);
        addShape(doc, model::typeStar, {{610, y + 32}, {610, y + 2}, {621, y + 24}}, f, col, w, 2, 5);
        addShape(doc, model::typePie, {{690, y + 40}, {730, y + 40}, {690, y + 0}}, f, col, w);
    }
    addShape(doc, model::typeArc, {{700, 200}, {730, 200}, {670, 200}}, -1, 0x0000FF, 1.0);
    // Splines and curves in every variant.
    for (int32_t v = 0; v < 3; ++v) {
        const int32_t x = 30 + v * 120;
        addShape(doc, model::typeSpline, {{x, 560}, {x + 40, 510}, {x + 80, 560}, {x + 100, 530}}, v == 2 ? 0xA0A0FF : -1,
                 0x004000, 1.0, v);
        item_t* c = addShape(doc, model::typeCurve, {{x + 370, 560}, {x + 400, 505}, {x + 450, 560}, {x + 470, 520}},
                             v == 2 ? 0xFFA0A0 : -1, 0x400000, 1.0, v);
        smoothCurve(c, v != 0);
    }
}

} // namespace testdoc

namespace testdoc {

// Gives an item a shadow and a surface.
inline item_t* withEffects(item_t* it, int32_t elevation, int32_t fade, int32_t lightness, int32_t surface)
{
    it->shadowElevation = static_cast<uint8_t>(elevation);
    it->shadowFade = static_cast<uint8_t>(fade);
    it->shadowLightness = static_cast<uint8_t>(lightness);
    it->surface = static_cast<uint8_t>(surface);
    return it;
}

// A page with every shaded type, under the given light direction: a row of
// filled items, a row of outlines and solids, and a row of shaded lines, all
// with the Round surface and a medium shadow.
inline void buildEffectsShowcase(itemList_t& doc, int32_t lightDirection)
{
    item_t* h = addHeader(doc, 780, 330, 1.0, 0);
    h->hdr().lightDirection = lightDirection;
    const int32_t fills[] = {0x3070E0, -1, -2};
    const int32_t lines[] = {0x202080, 0x008000, 0x800000};
    for (int32_t row = 0; row < 3; ++row) {
        const int32_t y = 20 + row * 90, f = fills[row], c = lines[row];
        const double w = row == 1 ? 1.5 : 0.75;
        std::vector<item_t*> its;
        its.push_back(addShape(doc, model::typeTriangle, {{20, y + 60}, {80, y + 60}, {50, y}}, f, c, w));
        its.push_back(addShape(doc, model::typeSquare, {{100, y + 60}, {160, y + 60}, {160, y}, {100, y}}, f, c, w));
        its.push_back(addShape(doc, model::typeRectangle, {{180, y + 40}, {250, y + 15}, {262, y + 48}, {192, y + 73}}, f, c, w));
        its.push_back(addShape(doc, model::typeCircle, {{310, y + 32}, {340, y + 32}, {340, y + 2}, {310, y + 2}}, f, c, w));
        its.push_back(addShape(doc, model::typeEllipse, {{400, y + 32}, {438, y + 18}, {396, y + 20}}, f, c, w));
        its.push_back(addShape(doc, model::typePolygon, {{490, y + 32}, {520, y + 32}}, f, c, w, 2, 6));
        its.push_back(addShape(doc, model::typeStar, {{575, y + 34}, {575, y + 2}, {587, y + 26}}, f, c, w, 2, 5));
        its.push_back(addShape(doc, model::typePie, {{640, y + 50}, {690, y + 50}, {640, y + 2}}, f, c, w));
        its.push_back(addShape(doc, model::typeArc, {{740, y + 40}, {770, y + 40}, {710, y + 40}}, f, c, 2.0));
        for (item_t* it : its) withEffects(it, 85, 85, 85, 127);
    }
    // Splines, curves and shaded lines in a last row.
    const int32_t y = 290;
    withEffects(addShape(doc, model::typeSpline, {{20, y + 20}, {60, y - 20}, {100, y + 20}, {130, y - 10}}, 0xA0A0FF,
                         0x004000, 1.0, 2),
                85, 40, 60, 127);
    item_t* c = addShape(doc, model::typeCurve, {{160, y + 20}, {200, y - 25}, {250, y + 20}, {280, y - 15}}, 0x40C0FF,
                         0x400000, 1.0, 2);
    smoothCurve(c, true);
    withEffects(c, 85, 40, 60, 127);
    withEffects(addLine(doc, 320, y - 20, 520, y + 20, 3.0, 0, 0x0000C0, -2), 60, 30, 85, 127);
    withEffects(addLine(doc, 540, y + 15, 760, y - 15, 2.0, 2, 0x806000, 0x80FFFF, 0.5), 60, 30, 85, 127);
}


// Turned, stacked and justified texts, styled ones, one with a shadow and
// one with a shaded surface, on a page of 480 × 360 (not laid out yet).
inline void buildTextShowcase(itemList_t& doc)
{
    testdoc::addHeader(doc, 480, 360);
    addText(doc, 20, 80, 200, 80, u"Level\nleft justified\nthree lines", 0, 1);
    const geometry::point_t p = geometry::polarPoint({250, 150}, 3.14159265358979 / 6, 180);
    addText(doc, 250, 150, p.x, p.y, u"Thirty\ndegrees\ncentred", 300, 2);
    addText(doc, 70, 340, 70, 180, u"Upright\nand right", 900, 3);
    addText(doc, 460, 300, 330, 300, u"Upside\ndown", 1800, 1);
    model::item_t* styled = addText(doc, 230, 290, 420, 290, u"Styled \u00e9\u00f1 text", 0, 1, 14);
    styled->fontWeight = 700;
    styled->fontItalic = styled->fontUnderline = styled->fontStrikeout = 1;
    styled->textColor = 0xC00000;
    model::item_t* shadow = addText(doc, 120, 240, 300, 240, u"With a shadow", 0, 1, 16);
    testdoc::withEffects(shadow, 40, 10, 80, 0);
    model::item_t* round = addText(doc, 110, 180, 330, 180, u"Round 3-D", 0, 2, 28);
    round->fontWeight = 700;
    round->textColor = 0x0080C0;
    testdoc::withEffects(round, 0, 0, 0, 127);
}

// A picture data record holding `bytes` in the format (model::pictureBmp …).
inline item_t* addPictureData(itemList_t& list, int32_t id, int32_t format, std::vector<uint8_t> bytes)
{
    item_t* data = model::newItem(list, model::typePictureData);
    data->kind = model::kindPictureData;
    model::invalidateIds(list);
    data->pictureId = id;
    data->setPictureFormat(format);
    data->stream = std::make_unique<std::vector<uint8_t>>(std::move(bytes));
    return data;
}

// A picture item showing the source rectangle (or, for a round clip, the
// circle about (sl, st) through (sr, sb)) in the box from (x1, y1) to (x2, y2)
// (a round clip: centre and rim point).
inline item_t* addPicture(itemList_t& list, int32_t id, int32_t clip, std::initializer_list<int32_t> src,
                          std::initializer_list<int32_t> at)
{
    item_t* it = model::newItem(list, model::typePicture);
    it->pictureId = id;
    it->clipShape = clip;
    const int32_t* s = src.begin();
    it->srcLeft = s[0], it->srcTop = s[1], it->srcRight = s[2], it->srcBottom = s[3];
    const int32_t* a = at.begin();
    it->x1 = a[0], it->y1 = a[1], it->x2 = a[2], it->y2 = a[3];
    it->flipX = it->flipY = 1;
    it->scaleX = it->scaleY = 1;
    if (clip == model::clipRound) {
        const int32_t r = model::roundHalfEven(std::hypot(double(a[2] - a[0]), double(a[3] - a[1])));
        it->boxLeft = a[0] - r, it->boxTop = a[1] - r, it->boxRight = a[0] + r, it->boxBottom = a[1] + r;
    } else {
        it->boxLeft = std::min(a[0], a[2]), it->boxRight = std::max(a[0], a[2]);
        it->boxTop = std::min(a[1], a[3]), it->boxBottom = std::max(a[1], a[3]);
    }
    stack(list, it);
    return it;
}

} // namespace testdoc
