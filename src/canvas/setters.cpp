// The attribute setters: one frame shared by all of them (a history step for
// the selection, the change on every item of the setter's types, the repaint
// of what changed) and the change each one makes.
#include "canvas/setters.h"

#include "canvas/attributes.h"
#include "canvas/creation.h"
#include "canvas/glue.h"
#include "canvas/sandbox.h"
#include "canvas/selectionedit.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "geometry/shapes.h"
#include "geometry/transform.h"
#include "geometry/units.h"
#include "model/arrowheads.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/effects.h"
#include "render/picture.h"
#include "render/text.h"
#include "settings/params.h"

#include <algorithm>

namespace canvas {

using geometry::point_t;
using geometry::rect_t;
using model::item_t;

namespace {

// How a setter repaints: the items' boxes (before the change, after it, or
// both), with a margin for the pen or for the shadow, the whole canvas, or
// the text follow-up.
enum class repaint_t { box, boxBefore, oldAndNewBox, widerPen, shadow, pictureShadow, wholeCanvas, textRefresh };

bool anyItem(const item_t*) { return true; }
bool isText(const item_t* it) { return it->itemType == model::typeText; }
bool isPicture(const item_t* it) { return it->itemType == model::typePicture; }
bool isLineOrShape(const item_t* it) { return it->itemType >= model::typeLine && it->itemType <= model::typeShapeLast; }
bool hasSurface(const item_t* it) { return isText(it) || isLineOrShape(it) || isPicture(it); }

// A document rectangle on the canvas, grown by (gx, gy) and one more pixel
// at the right and the bottom.
QRect mapped(TSandbox& w, const rect_t& box, int32_t gx, int32_t gy)
{
    const point_t a = w.toScreen({box.left, box.top}), b = w.toScreen({box.right, box.bottom});
    return spanRect(geometry::canvasCoordinate(int64_t(std::min(a.x, b.x)) - gx),
                    geometry::canvasCoordinate(int64_t(std::min(a.y, b.y)) - gy),
                    geometry::canvasCoordinate(int64_t(std::max(a.x, b.x)) + gx + 1),
                    geometry::canvasCoordinate(int64_t(std::max(a.y, b.y)) + gy + 1));
}

rect_t boxOf(const item_t* it) { return {it->boxLeft, it->boxTop, it->boxRight, it->boxBottom}; }

int32_t zoomedPen(TSandbox& w, const item_t* it) { return model::roundHalfEven(w.zoomFactor() * it->penWidthPx); }

// The item's box with the pen's margin (never less than half a mark) at
// least `minimum` wide.
QRect boxArea(TSandbox& w, const item_t* it, int32_t minimum = 0)
{
    const int32_t pen = std::max(zoomedPen(w, it), minimum);
    return mapped(w, boxOf(it), std::max(pen, w.view().style.handleWidth / 2), std::max(pen, w.view().style.handleHeight / 2));
}

// The item's box (or what a picture covers, turned and framed) with half a
// mark around it and, with a shadow, its reach on the two sides it falls on.
QRect shadowArea(TSandbox& w, const item_t* it)
{
    const double z = w.zoomFactor();
    const int32_t m = std::max(std::max(w.view().style.handleWidth, w.view().style.handleHeight) / 2, 1);
    QRect r = mapped(w, isPicture(it) ? render::pictureReach(it, z) : boxOf(it), m, m);
    if (it->shadowElevation == 0) return r;
    const int32_t reach = std::max(model::roundHalfEven(z * render::fadeFactor(it) * render::shadowOffsetPx(it, 1.0)),
                                   render::shadowSpreadPx(it, z));
    const render::lightSigns_t& s = render::lightSigns(render::lightDirectionOf(w.items()));
    if (s.shadowX >= 0) r.setRight(geometry::canvasCoordinate(int64_t(r.right()) + reach));
    else r.setLeft(geometry::canvasCoordinate(int64_t(r.left()) - reach));
    if (s.shadowY >= 0) r.setBottom(geometry::canvasCoordinate(int64_t(r.bottom()) + reach));
    else r.setTop(geometry::canvasCoordinate(int64_t(r.top()) - reach));
    return r;
}

QRect areaOf(TSandbox& w, const item_t* it, repaint_t how)
{
    switch (how) {
    case repaint_t::shadow:
    case repaint_t::pictureShadow: return shadowArea(w, it);
    default: return boxArea(w, it);
    }
}

// After the texts' fields changed: each is fitted (its box only grows); a
// text being typed is painted again in place, otherwise the whole canvas.
void textRefresh(TSandbox& w, const std::vector<item_t*>& changed, const QRect& before)
{
    for (item_t* it : changed)
        if (isText(it)) {
            render::fitTextBox(it, false, w.zoomFactor());
            render::textBox(it);
        }
    if (w.textEditor().typing()) w.textEditor().restyled(before);
    else w.repaintAll(true);
}

// What else a change moved besides the changed items (glued lines, labels):
// true when it did, and the whole canvas is painted again.
using follow_t = bool (*)(TSandbox&, const std::vector<item_t*>&);

// A repaint of at least this share of the canvas is done as a whole one, in
// bands: the two are alike in cost, and the whole one needs no walk of the
// list to grow the area by the items that meet it.
constexpr int64_t wholeCanvasShareNumerator = 3, wholeCanvasShareDenominator = 4;

bool coversMostOf(const QRect& area, const QRect& canvas)
{
    return int64_t(area.width()) * area.height() * wholeCanvasShareDenominator >=
           int64_t(canvas.width()) * canvas.height() * wholeCanvasShareNumerator;
}

// The common frame: one history step for the selection (nothing without
// one), `change` on every new version that `applies` accepts, `follow` on
// the changed items, then one repaint. Returns the items changed, in list
// order.
template <class Applies, class Change>
std::vector<item_t*> applyToSelection(TSandbox& w, repaint_t how, Applies applies, Change change,
                                      follow_t follow = nullptr)
{
    if (!model::firstSelected(w.items())) return {};
    const bool typing = w.textEditor().typing();
    // The caret's pixels go back before the marks come off and the canvas is painted again.
    if (typing) w.textEditor().eraseOverlay();
    QRect textBefore;
    if (typing && how == repaint_t::textRefresh) textBefore = coveredArea(w, model::collectSelected(w.items()), false);
    // The step itself: each selected item superseded by a new version. The
    // canvas under the selection is not painted beforehand (what a drag
    // needs): the repaint below covers every changed item.
    w.eraseMarks();
    const std::vector<item_t*> fresh = model::beginEdit(w.items());
    std::vector<item_t*> changed;
    QRect area;
    for (item_t* it : fresh) {
        if (!applies(it)) continue;
        const bool both = how == repaint_t::oldAndNewBox || how == repaint_t::shadow || how == repaint_t::pictureShadow;
        if (both || how == repaint_t::boxBefore) area = area.united(areaOf(w, it, how));
        const QRect widerBefore = how == repaint_t::widerPen ? boxArea(w, it) : QRect();
        change(it);
        changed.push_back(it);
        if (how == repaint_t::widerPen) {
            area = area.united(widerBefore.united(boxArea(w, it, zoomedPen(w, it))));
        } else if (how != repaint_t::boxBefore) {
            area = area.united(areaOf(w, it, how));
        }
    }
    if (follow && follow(w, changed)) how = repaint_t::wholeCanvas;
    model::setModified(w.items(), true);
    switch (how) {
    case repaint_t::wholeCanvas: w.repaintAll(true); break;
    case repaint_t::textRefresh: textRefresh(w, changed, textBefore); break;
    default:
        area = area.intersected(w.canvasImage().rect());
        // Nothing of the setter's types (or nothing on the canvas): only the marks come back.
        if (area.isEmpty()) w.deferMarks();
        else if (coversMostOf(area, w.canvasImage().rect())) w.repaintAll(true);
        else w.repaintRect(area);
        break;
    }
    if (w.host()) w.host()->editStateChanged(&w);
    return changed;
}

void applyShadowTo(item_t* it, int32_t elevation, int32_t fade, int32_t lightness)
{
    it->shadowElevation = byteValue(elevation);
    it->shadowFade = byteValue(fade);
    it->shadowLightness = byteValue(lightness);
}

} // namespace

// ---------------------------------------------------------------- shapes

void transformSelectedItems(TSandbox& w, bool mirror, bool flip, int32_t turn)
{
    if (!mirror && !flip && turn == 0) return;
    if (!model::firstSelected(w.items())) return;
    if (w.textEditor().typing()) w.textEditor().eraseOverlay();
    w.eraseMarks();
    const std::vector<item_t*> fresh = model::beginEdit(w.items());
    geometry::transformSelection(w.items(), mirror, flip, turn, handleSize());
    followCommand(w, fresh, turn != 0);
    for (item_t* it : fresh)
        if (isPicture(it)) render::dropPictureCache(it);
    model::setModified(w.items(), true);
    // Turned items may land anywhere around their old places.
    w.repaintAll(true);
    if (w.host()) w.host()->editStateChanged(&w);
}

void setPieOrArc(TSandbox& w, int32_t itemType)
{
    // A pie's box holds its centre, an arc's need not: the box follows the type.
    applyToSelection(
        w, repaint_t::oldAndNewBox,
        [](const item_t* it) { return it->itemType == model::typePie || it->itemType == model::typeArc; },
        [&](item_t* it) {
            it->itemType = itemType;
            geometry::itemBounds(it, handleSize());
        },
        followOutlineChange);
}

void setSquareOrRectangle(TSandbox& w, int32_t itemType)
{
    applyToSelection(
        w, repaint_t::oldAndNewBox,
        [](const item_t* it) { return it->itemType == model::typeSquare || it->itemType == model::typeRectangle; },
        [&](item_t* it) { makeSquareOrRectangle(it, itemType); }, followOutlineChange);
}

void setCircleOrEllipse(TSandbox& w, int32_t itemType)
{
    applyToSelection(
        w, repaint_t::oldAndNewBox,
        [](const item_t* it) { return it->itemType == model::typeCircle || it->itemType == model::typeEllipse; },
        [&](item_t* it) { makeCircleOrEllipse(it, itemType); }, followOutlineChange);
}

void setSides(TSandbox& w, int32_t sides)
{
    applyToSelection(
        w, repaint_t::wholeCanvas,
        [](const item_t* it) { return it->itemType == model::typePolygon || it->itemType == model::typeStar; },
        [&](item_t* it) { rebuildSides(it, sides); }, followOutlineChange);
}

void setShapeVariant(TSandbox& w, int32_t variant)
{
    if (variant < model::variantOpen || variant > model::variantFilled) return;
    applyToSelection(
        w, repaint_t::wholeCanvas,
        [](const item_t* it) { return it->itemType == model::typeSpline || it->itemType == model::typeCurve; },
        [&](item_t* it) { rebuildVariant(it, variant); }, followOutlineChange);
}

// ---------------------------------------------------------------- lines and fills

void setLineColor(TSandbox& w, int32_t color)
{
    applyToSelection(w, repaint_t::box, anyItem, [&](item_t* it) { it->lineColor = color; });
}

void setFillColor(TSandbox& w, int32_t color)
{
    applyToSelection(w, repaint_t::box, anyItem, [&](item_t* it) { it->fillColor = color; });
}

void setLineWeight(TSandbox& w, double weight)
{
    applyToSelection(w, repaint_t::widerPen, anyItem, [&](item_t* it) {
        it->lineWeight = weight;
        it->penWidthPx = geometry::penWidthAt(1.0, weight);
    });
}

void setOutlineWeight(TSandbox& w, double weight)
{
    applyToSelection(w, repaint_t::box, anyItem, [&](item_t* it) { it->outlineWeight = weight; });
}

void setArrowhead(TSandbox& w, headPart_t part, int32_t value)
{
    // Heads reach past the item's box: the canvas is painted again whole.
    applyToSelection(w, repaint_t::wholeCanvas, model::takesHeads, [&](item_t* it) {
        model::lineHeads_t h = model::headsOf(it);
        if (part == headPart_t::start) h.start = model::headKindOf(value);
        else if (part == headPart_t::end) h.end = model::headKindOf(value);
        else h.size = model::headSizeOf(value);
        model::setHeads(it, h);
    });
}

item_t* setPattern(TSandbox& w, int32_t position, const std::vector<int32_t>& rows)
{
    // One new pattern record per call, shared by every item it changes.
    int32_t value = 0;
    bool made = false;
    const std::vector<item_t*> changed = applyToSelection(w, repaint_t::box, anyItem, [&](item_t* it) {
        if (!made) {
            value = patternForPosition(w.items(), position, rows);
            made = true;
        }
        it->patternIndex = value;
    });
    return changed.empty() ? nullptr : changed.back();
}

double setDirection(TSandbox& w, int32_t position, const std::vector<int32_t>& rows)
{
    const double degrees = directionOfPosition(position, rows);
    applyToSelection(w, repaint_t::boxBefore, anyItem, [&](item_t* it) {
        if (it->itemType == model::typeLine) turnLine(it, degrees);
        else it->direction = degrees;
    });
    return degrees;
}

// ---------------------------------------------------------------- surfaces and shadows

void setSurface(TSandbox& w, int32_t style)
{
    const uint8_t value = byteValue(style);
    applyToSelection(w, repaint_t::shadow, hasSurface, [&](item_t* it) {
        it->surface = value;
        if (isPicture(it)) render::dropPictureCache(it);
    });
}

void setPictureShadow(TSandbox& w, int32_t elevation, int32_t fade, int32_t lightness)
{
    applyToSelection(w, repaint_t::pictureShadow, isPicture,
                     [&](item_t* it) { applyShadowTo(it, elevation, fade, lightness); });
}

void setShapeShadow(TSandbox& w, int32_t elevation, int32_t fade, int32_t lightness)
{
    applyToSelection(w, repaint_t::shadow, isLineOrShape,
                     [&](item_t* it) { applyShadowTo(it, elevation, fade, lightness); });
}

void setTextShadow(TSandbox& w, int32_t elevation, int32_t fade, int32_t lightness)
{
    applyToSelection(w, repaint_t::shadow, isText, [&](item_t* it) { applyShadowTo(it, elevation, fade, lightness); });
}

// ---------------------------------------------------------------- pictures

void setFrameColor(TSandbox& w, int32_t color)
{
    applyToSelection(w, repaint_t::box, isPicture, [&](item_t* it) {
        it->lineColor = color;
        render::dropPictureCache(it);
    });
}

void setFrameWidth(TSandbox& w, double weight)
{
    applyToSelection(w, repaint_t::widerPen, isPicture, [&](item_t* it) {
        render::dropPictureCache(it);
        it->frameOn = weight != 0 ? 1 : 0;
        it->lineWeight = weight;
        it->penWidthPx = geometry::penWidthAt(1.0, weight);
    });
}

void applyAdjustments(TSandbox& w, int32_t saturation, int32_t contrast, int32_t lightness)
{
    // The processed bitmap is made again at the next paint from the clip as
    // it was resampled before adjusting, with the new values.
    const int32_t stored = storedLightness(lightness);
    applyToSelection(w, repaint_t::box, isPicture, [&](item_t* it) {
        it->saturation = saturation;
        it->contrast = contrast;
        it->lightness = stored;
        render::dropAdjustedPicture(it);
    });
}

// ---------------------------------------------------------------- texts

void setTextColor(TSandbox& w, int32_t color)
{
    applyToSelection(w, repaint_t::textRefresh, isText, [&](item_t* it) { it->textColor = color; });
}

void setFontName(TSandbox& w, const QString& face)
{
    const std::string name = face.left(32).toLatin1().toStdString();
    applyToSelection(w, repaint_t::textRefresh, anyItem, [&](item_t* it) { model::setFontName(it, name); });
}

void setFontCharset(TSandbox& w, int32_t charset)
{
    applyToSelection(w, repaint_t::textRefresh, anyItem, [&](item_t* it) { it->fontCharset = charset; });
}

void setFontSize(TSandbox& w, int32_t points)
{
    applyToSelection(w, repaint_t::textRefresh, anyItem, [&](item_t* it) { it->fontSize = points; });
}

void setTextStyle(TSandbox& w, int32_t which, int32_t value)
{
    if (which < styleItalic || which > styleJustification) return;
    const uint8_t v = byteValue(value);
    applyToSelection(w, repaint_t::textRefresh, anyItem, [&](item_t* it) {
        switch (which) {
        case styleItalic: it->fontItalic = v; break;
        case styleUnderline: it->fontUnderline = v; break;
        case styleStrikeout: it->fontStrikeout = v; break;
        default: it->justification = v; break;
        }
    });
}

void setFontWeight(TSandbox& w, int32_t weight)
{
    applyToSelection(w, repaint_t::textRefresh, anyItem, [&](item_t* it) { it->fontWeight = weight; });
}

void setTextDirection(TSandbox& w, int32_t degrees)
{
    applyToSelection(w, repaint_t::textRefresh, anyItem, [&](item_t* it) {
        if (isText(it)) turnText(it, degrees);
        else it->textDirection = degrees;
    });
}

void applyTextDefaults(TSandbox& w)
{
    item_t* it = model::singleSelected(w.items());
    if (!it || !isText(it)) return;
    const QRect before = coveredArea(w, {it}, false);
    // The settings' text defaults (its shadow and surface among them, which
    // the text panel also shows while the text is placed).
    const bool typing = w.textEditor().typing();
    if (typing) w.textEditor().eraseOverlay();
    applyTextItemDefaults(it, params());
    if (typing) {
        w.textEditor().restyled(before);
    } else {
        render::fitTextBox(it, false, w.zoomFactor());
        render::textBox(it);
        w.repaintRect(before.united(coveredArea(w, {it}, false)));
    }
}

void refitSelectedText(TSandbox& w)
{
    item_t* it = model::singleSelected(w.items());
    if (!it || !isText(it)) return;
    const QRect before = coveredArea(w, {it}, false);
    if (w.textEditor().typing()) w.textEditor().eraseOverlay();
    render::fitTextBox(it, true, w.zoomFactor());
    render::textBox(it);
    w.repaintAll(false);
    if (w.textEditor().typing()) w.textEditor().restyled(before);
}

void setBarcodeSpec(TSandbox& w, const std::function<void(model::barcodeContent_t&)>& change)
{
    applyToSelection(w, repaint_t::box, [](const item_t* it) { return model::readBarcode(it).has_value(); },
                     [&](item_t* it) {
                         model::barcodeContent_t content = *model::readBarcode(it);
                         change(content);
                         model::writeBarcode(it, content);
                     });
}

} // namespace canvas
