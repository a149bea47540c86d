#include "canvas/gridedit.h"

#include "canvas/interactionhost.h"
#include "canvas/sandbox.h"

#include "canvas/anchorstrip.h"
#include "canvas/handledrag.h"
#include "canvas/rulerends.h"
#include "geometry/shapes.h"
#include "model/grid.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

// Whether a coordinate of the item lies within 2 document pixels of the
// gridline at document position s: the points that can have been snapped.
bool onGridline(const item_t* it, bool xAxis, int32_t s)
{
    auto near = [&](int64_t c) { return std::llabs(c - s) <= 2; };
    auto coord = [&](const model::pointPayload_t& p) { return xAxis ? p.x : p.y; };
    const int32_t t = it->itemType;
    if (t == model::typeText || t == model::typeLine)
        return near(xAxis ? it->x1 : it->y1) || near(xAxis ? it->x2 : it->y2);
    if (t == model::typeTriangle || t == model::typeSquare || t == model::typeRectangle || t == model::typePolygon ||
        t == model::typeStar || t == model::typeSpline || t == model::typeCurve) {
        for (const model::pointNode_t* n = it->points.head; n; n = n->next)
            if (near(coord(n->p))) return true;
        return false;
    }
    const model::pointNode_t* first = it->points.head;
    if (t == model::typeCircle && first && first->next) {
        const int64_t c = coord(first->p);
        const int64_t r = model::roundHalfEven(
            geometry::distance({first->p.x, first->p.y}, {first->next->p.x, first->next->p.y}));
        return near(c) || near(c - r) || near(c + r);
    }
    if (t == model::typeEllipse) return first && near(coord(first->p));
    if (t == model::typePicture) {
        if (it->clipShape == model::clipRound) {
            const int64_t c = xAxis ? it->x1 : it->y1;
            const int64_t r = model::roundHalfEven(std::hypot(double(it->x2) - it->x1, double(it->y2) - it->y1));
            return near(c - r) || near(c + r);
        }
        return near(xAxis ? it->x1 : it->y1) || near(xAxis ? it->x2 : it->y2);
    }
    return false;
}

} // namespace

gridEditor_t::gridEditor_t(interactionHost_t& host) : h_(host), w_(host.window()) {}

// ---------------------------------------------------------------- mapping

item_t* gridEditor_t::gridRecord() const
{
    return model::findVisibleByType(w_.items(), model::typeGrid);
}

const model::gridIndex_t& gridEditor_t::gridIndex() const
{
    gridIndex_.refresh(gridRecord());
    return gridIndex_;
}

int32_t gridEditor_t::panelToGrid(int32_t panelPos, bool xAxis) const
{
    const item_t* h = w_.header();
    if (!h) return panelPos;
    const int32_t edge = xAxis ? w_.pageOnScreen().x : w_.pageOnScreen().y;
    const int32_t doc = geometry::screenToDoc(w_.zoomFactor(), geometry::clampToInt32(int64_t(panelPos) - edge), 0);
    return model::docToGrid(doc, xAxis ? model::pageOriginX(h->hdr()) : model::pageOriginY(h->hdr()));
}

int32_t gridEditor_t::gridToPanel(int32_t position, bool xAxis) const
{
    const item_t* h = w_.header();
    if (!h) return position;
    const int32_t doc = model::gridToDoc(position, xAxis ? model::pageOriginX(h->hdr()) : model::pageOriginY(h->hdr()));
    const int32_t edge = xAxis ? w_.pageOnScreen().x : w_.pageOnScreen().y;
    return geometry::clampToInt32(int64_t(geometry::docToScreen(w_.zoomFactor(), doc, 0)) + edge);
}

// ---------------------------------------------------------------- changes

bool gridEditor_t::editGrid(int32_t operation, int32_t position)
{
    item_t* h = w_.header();
    if (!h) return false;
    const auto& hd = h->hdr();
    const bool xShown = hd.showGridX && hd.showAnchorsX, yShown = hd.showGridY && hd.showAnchorsY;
    item_t* grid = gridRecord();
    if (!grid) {
        // A document without a grid record (an old or damaged file) gets one.
        grid = model::newItem(w_.items(), model::typeGrid);
        grid->undoState = 0;
    }

    // Work out first whether anything changes: a version that changes
    // nothing would be an empty step in the history.
    model::anchorNode_t* hotX = model::hotAnchor(grid, true);
    model::anchorNode_t* hotY = model::hotAnchor(grid, false);
    switch (operation) {
    case model::gridMoveX:
        if (!xShown || !hotX || model::anchorPositionX(hotX) == position) return false;
        break;
    case model::gridMoveY:
        if (!yShown || !hotY || model::anchorPositionY(hotY) == position) return false;
        break;
    case model::gridDeleteHot:
        if (!(xShown && hotX) && !(yShown && hotY)) return false;
        break;
    case model::gridInsertX:
        if (!xShown) return false;
        break;
    case model::gridInsertY:
        if (!yShown) return false;
        break;
    case model::gridResetX:
    case model::gridResetY:
        break;
    default:
        return false;
    }

    item_t* v = model::beginGridEdit(w_.items());
    if (!v) return false;
    switch (operation) {
    case model::gridMoveX:
        model::moveAnchor(model::hotAnchor(v, true), true, position);
        break;
    case model::gridMoveY:
        model::moveAnchor(model::hotAnchor(v, false), false, position);
        break;
    case model::gridDeleteHot:
        // Only the strips on show have anchors the user can see hot.
        if (!xShown)
            for (model::anchorNode_t* a = v->anchorsX.head; a; a = a->next) a->hot = 0;
        if (!yShown)
            for (model::anchorNode_t* a = v->anchorsY.head; a; a = a->next) a->hot = 0;
        model::deleteHotGridlines(v);
        break;
    case model::gridInsertX:
        model::addAnchorX(v, position);
        break;
    case model::gridInsertY:
        model::addAnchorY(v, position);
        break;
    case model::gridResetX:
        model::resetGrid(v, hd, model::gridHorizontal);
        break;
    case model::gridResetY:
        model::resetGrid(v, hd, model::gridVertical);
        break;
    }
    model::setModified(w_.items(), true);
    h_.anchorsChanged();
    w_.repaintAll(true);
    h_.editStateChanged();
    return true;
}

void gridEditor_t::moveItemsWithGridline(bool xAxis, int32_t from, int32_t to, bool repaint)
{
    item_t* h = w_.header();
    if (!h || from == to) return;
    const int32_t origin = xAxis ? model::pageOriginX(h->hdr()) : model::pageOriginY(h->hdr());
    const int32_t s = model::gridToDoc(from, origin);
    const int32_t delta = geometry::clampToInt32(int64_t(to) - from);

    w_.eraseMarks();
    const std::vector<item_t*> remembered = model::collectSelected(w_.items());
    model::deselectAll(w_.items());
    bool any = false;
    for (item_t* it = w_.items().head; it; it = it->next) {
        if (it->kind != model::kindItem || it->hidden || !onGridline(it, xAxis, s)) continue;
        model::setSelected(w_.items(), it, true);
        any = true;
    }
    std::unordered_map<const item_t*, item_t*> successor;
    if (any) {
        const std::vector<item_t*> moving = model::collectSelected(w_.items());
        const std::vector<item_t*> fresh = model::beginEdit(w_.items());
        for (size_t i = 0; i < moving.size() && i < fresh.size(); ++i) successor[moving[i]] = fresh[i];
        for (item_t* it : fresh) {
            translateItem(it, xAxis ? delta : 0, xAxis ? 0 : delta);
            if (it->itemType == model::typeLine) geometry::lineGeometry(it);
            else if (it->itemType == model::typePicture) geometry::pictureBox(it);
            else if (model::isShapeType(it->itemType)) geometry::savePoints(it->points);
        }
        followCommand(w_, fresh);
        model::setModified(w_.items(), true);
    }
    // The selection the user had comes back, in its moved versions.
    model::deselectAll(w_.items());
    for (const item_t* it : remembered) {
        auto f = successor.find(it);
        model::setSelected(w_.items(), f != successor.end() ? f->second : const_cast<item_t*>(it), true);
    }
    if (any) {
        w_.view().selectionUnder = render::savedArea_t{};
        if (repaint) w_.repaintAll(true);
    }
    h_.editStateChanged();
}

void gridEditor_t::extendGrid(int32_t directions)
{
    item_t* h = w_.header();
    item_t* grid = gridRecord();
    if (!h || !grid) return;
    if (model::gridExtension(grid, h->hdr(), directions).empty()) return;
    item_t* v = model::beginGridEdit(w_.items());
    if (!v) return;
    model::extendGrid(v, h->hdr(), directions);
    model::setModified(w_.items(), true);
    h_.editStateChanged();
}

void gridEditor_t::shiftGrid(int32_t directions, int32_t delta)
{
    item_t* grid = gridRecord();
    if (!grid || delta == 0) return;
    item_t* v = model::beginGridEdit(w_.items());
    if (!v) return;
    model::shiftGrid(v, directions, delta);
    model::setModified(w_.items(), true);
    h_.editStateChanged();
}

// ---------------------------------------------------------------- menu choices

void gridEditor_t::setGrid(int32_t choice)
{
    item_t* h = w_.header();
    if (!h) return;
    h->hdr().showGridX = (choice & model::gridHorizontal) ? 1 : 0;
    h->hdr().showGridY = (choice & model::gridVertical) ? 1 : 0;
    h_.anchorsChanged();
    w_.repaintAll(true);
}

void gridEditor_t::setAnchors(int32_t choice)
{
    item_t* h = w_.header();
    if (!h) return;
    h->hdr().showAnchorsX = (choice & model::gridHorizontal) ? 1 : 0;
    h->hdr().showAnchorsY = (choice & model::gridVertical) ? 1 : 0;
    h_.anchorsChanged();
    h_.redrawAnchors();
}

void gridEditor_t::setSnap(int32_t choice)
{
    item_t* h = w_.header();
    if (!h) return;
    h->hdr().snapX = (choice & model::gridHorizontal) ? 1 : 0;
    h->hdr().snapY = (choice & model::gridVertical) ? 1 : 0;
}

void gridEditor_t::resetGrid(int32_t directions)
{
    // Both directions of a reset are one step: one new version of the record.
    item_t* h = w_.header();
    if (!h || !directions) return;
    if (!gridRecord()) {
        item_t* grid = model::newItem(w_.items(), model::typeGrid);
        grid->undoState = 0;
    }
    item_t* v = model::beginGridEdit(w_.items());
    if (!v) return;
    model::resetGrid(v, h->hdr(), directions);
    model::setModified(w_.items(), true);
    h_.anchorsChanged();
    w_.repaintAll(true);
    h_.editStateChanged();
}

void gridEditor_t::gridAfterPageSetup()
{
    // The anchor steps were reset for the setup's unit: the gridlines are
    // laid out afresh over the new page, from its edge, as in a new document.
    // Like the rest of the page setup this is not a step of the history.
    item_t* h = w_.header();
    item_t* grid = gridRecord();
    if (!h || !grid) return;
    model::freeNodes(grid->anchorsX);
    model::freeNodes(grid->anchorsY);
    model::addInitialGrid(grid, h->hdr());
    gridIndex_ = {};  // the record changed in place: build the index again
    h_.anchorsChanged();
    h_.redrawAnchors();
}

} // namespace canvas
