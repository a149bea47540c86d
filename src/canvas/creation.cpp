#include "canvas/creation.h"

#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/arrowheads.h"
#include "model/history.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/text.h"
#include "settings/params.h"

#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;

point_t creationContext_t::toDoc(point_t screen) const
{
    return {geometry::screenToDoc(zoom, screen.x, viewOrigin.x), geometry::screenToDoc(zoom, screen.y, viewOrigin.y)};
}

constrainedEnd_t constrainLineEnd(point_t start, point_t mouse, double directionDeg)
{
    if (directionDeg < 0) return {mouse, true};
    if (directionDeg == 0.0 || directionDeg == 180.0 || directionDeg == 360.0) return {{mouse.x, start.y}, false};
    if (directionDeg == 90.0 || directionDeg == 270.0) return {{start.x, mouse.y}, true};
    const double d = directionDeg * std::numbers::pi / 180.0;
    const int64_t whole = model::roundHalfEven(directionDeg);
    const bool steep = (whole >= 45 && whole <= 135) || (whole >= 225 && whole <= 315);
    if (steep) {
        // cot d = cos d / sin d; steep directions never have sin d near 0.
        const double dx = std::cos(d) / std::sin(d) * (double(start.y) - mouse.y);
        return {{geometry::clampToInt32(int64_t(start.x) + model::roundHalfEven(dx)), mouse.y}, true};
    }
    const double dy = std::tan(d) * (double(start.x) - mouse.x);
    return {{mouse.x, geometry::clampToInt32(int64_t(start.y) + model::roundHalfEven(dy))}, false};
}

int32_t appendPatternRecord(model::itemList_t& list, const settings::custPatternRec_t& row)
{
    model::item_t* rec = model::newItem(list, model::nextPatternId(list));
    rec->kind = model::kindPattern;
    rec->undoState = 0;
    model::invalidateIds(list);
    const int32_t n = std::clamp(row.count, 0, 12);
    for (int32_t i = 0; i < 12; ++i) rec->pat().segments[i] = i < n ? row.segments[size_t(i)] : 0.0;
    rec->pat().segmentCount = n;
    return rec->itemType;
}

namespace {

void applyShadow(model::item_t* it, const settings::shadowTriple_t& s)
{
    it->shadowElevation = s.elevation;
    it->shadowFade = s.fade;
    it->shadowLightness = s.lightness;
}

// Finishes a new item: pen width, millimetre copies, box; one history step.
model::item_t* finish(const creationContext_t& ctx, model::item_t* it)
{
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
    if (it->itemType == model::typeLine) {
        geometry::lineGeometry(it);
        model::computeMeasure(it);
    } else {
        geometry::savePoints(it->points);
        geometry::itemBounds(it, handleSize());
        model::computeMeasure(it);
    }
    model::recordNew(ctx.list, it);
    model::selectOnly(ctx.list, nullptr);
    return it;
}

} // namespace

void applyLineDefaults(model::item_t* it, const settings::TParams& p, model::itemList_t* list)
{
    it->lineColor = p.lineColor;
    it->lineWeight = p.lineWidth;
    it->outlineWeight = p.lineOutline;
    it->fillColor = p.lineFill;
    it->direction = p.lineDirection;
    // Positions 0..5 of the pattern list are stored as they are (5 draws
    // solid); later positions name a custom preset copied into the document.
    if (p.linePattern >= 0 && p.linePattern <= 5) it->patternIndex = p.linePattern;
    else if (p.linePattern > 5 && p.linePatternTab >= 1 && p.linePatternTab <= settings::presetRows && list)
        it->patternIndex = appendPatternRecord(*list, p.customPatterns[size_t(p.linePatternTab - 1)]);
    else it->patternIndex = 0;
    applyShadow(it, p.shpoly);
    it->surface = uint8_t(std::clamp(p.liplas, 0, 255));
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
    applyHeadDefaults(it, p);
}

void applyHeadDefaults(model::item_t* it, const settings::TParams& p)
{
    if (!model::takesHeads(it)) return;
    const bool line = it->itemType == model::typeLine;
    model::lineHeads_t h;
    h.start = model::headKindOf(line ? p.lineHeadStart : p.polyHeadStart);
    h.end = model::headKindOf(line ? p.lineHeadEnd : p.polyHeadEnd);
    h.size = model::headSizeOf(line ? p.lineHeadSize : p.polyHeadSize);
    model::setHeads(it, h);
}

void applyShapeDefaults(model::item_t* it, const settings::TParams& p)
{
    it->lineColor = p.polycolor;
    it->fillColor = p.polyfill;
    it->lineWeight = p.polywidth;
    it->outlineWeight = p.polywidth;
    it->patternIndex = 0;
    it->direction = -1.0;
    it->sides = p.polysides;
    it->shapeVariant = variantForType(it->itemType, p);
    it->roundness = p.roundness;
    applyShadow(it, p.shpoly);
    it->surface = uint8_t(std::clamp(p.poplas, 0, 255));
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
}

void applyTextItemDefaults(model::item_t* it, const settings::TParams& p)
{
    it->fontSize = p.tsize;
    it->textColor = p.tcolor;
    it->fontItalic = p.toptions[0];
    it->fontUnderline = p.toptions[1];
    it->fontStrikeout = p.toptions[2];
    it->justification = p.toptions[3];
    it->fontWeight = p.tbold;
    model::setFontName(it, p.tfont.left(32).toLatin1().toStdString());
    it->fontCharset = p.tcharset;
    it->textDirection = p.tdir;
    applyShadow(it, p.shtext);
    it->surface = uint8_t(std::clamp(p.txplas, 0, 255));
}

int32_t variantForType(int32_t itemType, const settings::TParams& p)
{
    if (itemType == model::typeSpline) return std::clamp(p.polyshape, 0, 2);
    if (itemType == model::typeCurve) return std::clamp(p.bpolyshape, 0, 2);
    if (itemType == model::typeTriangle || itemType == model::typeSquare || itemType == model::typeRectangle) return 2;
    return 0;
}

namespace {

model::item_t* createShape(const creationContext_t& ctx, int32_t itemType, int32_t variant,
                           const std::vector<point_t>& screen)
{
    std::vector<point_t> d;
    d.reserve(screen.size());
    for (point_t s : screen) d.push_back(ctx.toDoc(s));
    // Build on a scratch record first, so that nothing enters the list when
    // the points make no item.
    model::item_t probe;
    probe.itemType = itemType;
    applyShapeDefaults(&probe, ctx.params);
    if (variant >= 0) probe.shapeVariant = variant;
    if (!buildShapePoints(&probe, itemType, d, probe.sides)) return nullptr;
    model::item_t* it = model::newItem(ctx.list, itemType);
    applyShapeDefaults(it, ctx.params);
    if (variant >= 0) it->shapeVariant = variant;
    applyHeadDefaults(it, ctx.params);
    std::swap(it->points, probe.points);
    return finish(ctx, it);
}

} // namespace

model::item_t* createLine(const creationContext_t& ctx, point_t first, point_t end)
{
    const point_t e = constrainLineEnd(first, end, ctx.params.lineDirection).end;
    model::item_t* it = model::newItem(ctx.list, model::typeLine);
    applyLineDefaults(it, ctx.params, &ctx.list);
    const point_t a = ctx.toDoc(first), b = ctx.toDoc(e);
    it->x1 = a.x;
    it->y1 = a.y;
    it->x2 = b.x;
    it->y2 = b.y;
    return finish(ctx, it);
}

model::item_t* createText(const creationContext_t& ctx, point_t first, point_t end, std::u16string_view typed)
{
    model::item_t* it = model::newItem(ctx.list, model::typeText);
    applyTextItemDefaults(it, ctx.params);
    const int32_t preset = ctx.params.tdir;
    point_t a = ctx.toDoc(first), b = ctx.toDoc(end);
    auto tenths = [](double radians) {
        int32_t t = model::roundHalfEven(radians * 1800.0 / std::numbers::pi) % 3600;
        return t < 0 ? t + 3600 : t;
    };
    if (preset < 0) {
        it->textAngle = a == b ? 0 : tenths(geometry::segmentAngle(a, b));
    } else {
        const double along = preset * std::numbers::pi / 180.0;
        if (!typed.empty()) b = geometry::polarPoint(a, along, render::lineWidth(it, typed, 1.0));
        else b = ctx.toDoc(constrainLineEnd(first, end, preset).end);
        // A drag against the preset direction still gives a text that reads its way.
        const double off = std::remainder(geometry::segmentAngle(a, b) - along, 2 * std::numbers::pi);
        if (a != b && std::fabs(off) > 5.0 * std::numbers::pi / 180.0) std::swap(a, b);
        it->textAngle = tenths(along);
    }
    render::setTextBaseline(it, a, b);
    model::recordNew(ctx.list, it);
    model::selectOnly(ctx.list, it);
    return it;
}

model::item_t* createFromRubber(const creationContext_t& ctx, int32_t itemType, int32_t variant,
                                const std::vector<point_t>& points)
{
    return createShape(ctx, itemType, variant, points);
}

model::item_t* createEllipse(const creationContext_t& ctx, point_t centre, point_t axisEnd, point_t widthPoint)
{
    return createShape(ctx, model::typeEllipse, -1, {centre, axisEnd, widthPoint});
}

model::item_t* createCentred(const creationContext_t& ctx, int32_t itemType, point_t centre, point_t point,
                             point_t extra)
{
    switch (itemType) {
    case model::typeCircle:
    case model::typePolygon: return createShape(ctx, itemType, -1, {centre, point});
    case model::typeStar: return createShape(ctx, itemType, -1, {centre, extra, point});
    case model::typePie:
    case model::typeArc: return createShape(ctx, itemType, -1, {centre, extra, point});
    default: return nullptr;
    }
}

} // namespace canvas
