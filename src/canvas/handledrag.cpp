#include "canvas/handledrag.h"

#include "canvas/gridedit.h"
#include "canvas/handles.h"
#include "canvas/picking.h"
#include "canvas/modes.h"
#include "canvas/reshape.h"
#include "canvas/sandbox.h"
#include "canvas/selectionedit.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "geometry/transform.h"
#include "model/grid.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/shapedraw.h"
#include "render/text.h"

#include <cmath>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

// A picture alone follows the mouse with its centre (a round clip with the
// centre of its circle). With snapping, the edge that needs the smaller
// shift goes onto its gridline, the right and bottom edges on a tie.
void followWithPicture(TSandbox& w, item_t* it, point_t mouse, bool snap)
{
    const point_t m = w.toDoc(mouse);
    int32_t px = 0, py = 0;
    if (it->clipShape == model::clipRound) {
        px = m.x - it->refX1;
        py = m.y - it->refY1;
    } else {
        const int32_t width = it->refX2 - it->refX1, height = it->refY2 - it->refY1;
        px = m.x - width / 2 - it->refX1;
        py = m.y - height / 2 - it->refY1;
        const model::item_t* hd = w.header();
        if (snap && hd) {
            auto shiftFor = [&](point_t e, bool horizontal) {
                const point_t s = w.toDoc(w.snapped(w.toScreen(e)));
                return horizontal ? s.x - e.x : s.y - e.y;
            };
            const int32_t l = it->refX1 + px, r = it->refX2 + px, t = it->refY1 + py, b = it->refY2 + py;
            if (hd->hdr().snapX) {
                const int32_t sl = shiftFor({l, t}, true), sr = shiftFor({r, t}, true);
                px += std::abs(sl) < std::abs(sr) ? sl : sr;
            }
            if (hd->hdr().snapY) {
                const int32_t st = shiftFor({l, t}, false), sb = shiftFor({l, b}, false);
                py += std::abs(st) < std::abs(sb) ? st : sb;
            }
        }
    }
    translateItem(it, px, py);
    geometry::pictureBox(it);
}

// While an arc or a curve is reshaped, dotted lines show how it is built: an
// arc's centre to its start and end, a curve's consecutive points.
void drawConstruction(TSandbox& w, const item_t* it)
{
    auto at = [&](const model::pointNode_t* n) { return w.toScreen({n->p.x, n->p.y}); };
    const model::pointNode_t* first = it->points.head;
    if (!first || !first->next) return;
    if (it->itemType == model::typeArc && first->next->next) {
        render::drawConstructionLine(w.view(), at(first), at(first->next));
        render::drawConstructionLine(w.view(), at(first), at(first->next->next));
    } else if (it->itemType == model::typeCurve) {
        for (const model::pointNode_t* n = first; n->next; n = n->next)
            render::drawConstructionLine(w.view(), at(n), at(n->next));
    }
}

// Paints an area of the canvas again without `items` (and without the
// selection): for that one repaint they count as selected, which it leaves out.
void repaintWithout(TSandbox& w, const std::vector<item_t*>& items, const QRect& area)
{
    for (item_t* it : items) it->selected = 1;
    repaintPiece(w, area, true);
    for (item_t* it : items) it->selected = 0;
}

// Whether a drag by this handle moves the selection rather than reshaping it.
bool isTranslation(int32_t code, int32_t ownerType)
{
    return code == handleMove ||
           (code == handleGroupCentre && (ownerType == model::typeText || ownerType == model::typeLine ||
                                          ownerType == model::typeGroupHandle));
}

} // namespace

// Moves an item by (dx, dy) from its reference position: the defining points
// from refX1 … refY2, the point list from its saved points. The box moves by
// the same amount (the distance the item still lacks), so that repeated calls
// for one drag never accumulate.
void translateItem(item_t* it, int32_t dx, int32_t dy)
{
    using geometry::clampToInt32;
    const int64_t sx = int64_t(dx) - (int64_t(it->x1) - it->refX1);
    const int64_t sy = int64_t(dy) - (int64_t(it->y1) - it->refY1);
    it->x1 = clampToInt32(int64_t(it->refX1) + dx);
    it->y1 = clampToInt32(int64_t(it->refY1) + dy);
    it->x2 = clampToInt32(int64_t(it->refX2) + dx);
    it->y2 = clampToInt32(int64_t(it->refY2) + dy);
    it->boxLeft = clampToInt32(it->boxLeft + sx);
    it->boxRight = clampToInt32(it->boxRight + sx);
    it->boxTop = clampToInt32(it->boxTop + sy);
    it->boxBottom = clampToInt32(it->boxBottom + sy);
    geometry::translatePoints(it->points, dx, dy);
    model::computeMeasure(it);
}

// At the end of a drag: a line end dragged by its handle is glued where it
// was released (or loses its glue); the glued lines and labels of changed
// shapes follow their completed geometry; a line moved or turned on its own
// loses the glue of the ends that left their points.
void TSandbox::settleGlue(const std::vector<item_t*>& sel, int32_t code, bool translation)
{
    for (item_t* it : sel) {
        if (translation || !model::isGlueSource(it)) continue;
        const bool open = it->itemType != model::typeLine;
        const int32_t last = open ? -geometry::pointCount(it->points) : 2;
        if (code == (open ? -1 : 1) || code == last) glueEndsNear(*this, it, code == (open ? -1 : 1), code == last);
    }
    dragLinks_t& links = drag_->links();
    if (!links.table) links.table = std::make_unique<model::linkTable_t>(items_);
    const bool turning = code == handleRotate || code == handleGroupRotate;
    followShapes(*this, *links.table, sel, turning);
    std::vector<item_t*> lines;
    for (item_t* it : sel)
        if (model::isGlueSource(it)) lines.push_back(it);
    model::dropLooseGlue(*links.table, lines);
}

void TSandbox::manipulate(point_t start, point_t current, bool snap, int32_t code, bool final)
{
    const bool translation = isTranslation(code, handleOwnerType_);
    const std::vector<item_t*> sel = model::collectSelected(items_);
    dragGuide_t guide;
    if (translation) {
        const point_t from = toDoc(start), to = toDoc(snap ? snapped(current) : current);
        const int32_t dx = to.x - from.x, dy = to.y - from.y;
        // In a larger selection a picture moves with the others.
        const bool alone = sel.size() == 1;
        for (item_t* it : sel) {
            if (alone && it->itemType == model::typePicture) {
                followWithPicture(*this, it, current, snap);
                continue;
            }
            translateItem(it, dx, dy);
            if (it->itemType == model::typeLine) geometry::lineGeometry(it);
        }
    } else {
        dragInput_t in;
        in.code = code;
        in.start = toDoc(start);
        in.current = toDoc(current);
        in.startScreen = start;
        in.currentScreen = current;
        in.zoom = zoomFactor();
        in.toScreen = [this](point_t d) { return toScreen(d); };
        in.snap = [this, snap](point_t d) { return snap ? toDoc(snapped(toScreen(d))) : d; };
        for (item_t* it : sel) {
            if (it->itemType == model::typeGroupHandle) {
                // The group turns about its handle; every member follows.
                if (code == handleGroupRotate) geometry::rotateGroup(items_, it, rotationAngle(in, {it->x1, it->y1}), handleSize());
                continue;
            }
            if (code == handleGroupRotate) continue;
            if (dragGuide_t g = reshapeItem(it, in)) guide = g;
        }
    }
    const bool turning = code == handleRotate || code == handleGroupRotate;
    dragLinks_t& links = drag_->links();
    if (links.table) links.followers = followShapes(*this, *links.table, sel, turning);

    if (!final) {
        drag_->eraseOverlay();
        restoreUnder(view_.selectionUnder);
        // The lines and labels that follow move over the background like the selection.
        std::vector<item_t*> moving = sel;
        for (item_t* f : links.followers)
            if (!f->selected) moving.push_back(f);
        saveUnder(view_.selectionUnder, coveredArea(*this, moving, true));
        for (size_t k = sel.size(); k < moving.size(); ++k) render::drawItem(view_, moving[k], true);
        for (item_t* it : sel) {
            render::drawItem(view_, it, true);
            if (it->itemType == model::typeText) {
                render::canvas_t canvas(view_.Image1);
                render::drawTextFrame(canvas, render::screenXform(zoomFactor(), viewOrigin_), it,
                                      params().textFrameColor, 1);
            }
            if (!translation) drawConstruction(*this, it);
        }
        if (guide) drag_->showGuide(toScreen(guide->first), toScreen(guide->second));
        canvasControl_->update();
        return;
    }
    drag_->eraseOverlay();
    // The changed items_ are completed; their points become the reference of the next change.
    const model::item_t* h = header();
    for (item_t* it : sel) {
        if (!translation && code != handleGroupRotate) {
            // A reshaped curve's points that came to lie just beside a
            // gridline go onto it.
            if (snap && h && it->itemType == model::typeCurve) {
                model::snapPointsNearGrid(h->hdr(), grid_->gridIndex(), it->points);
            }
            completeReshape(it, code);
        } else if (model::isShapeType(it->itemType)) {
            geometry::savePoints(it->points);
        }
    }
    settleGlue(sel, code, translation);
    view_.selectionUnder = render::savedArea_t{};
    repaintAll(true);
}

void handleDrag_t::begin(modeCode_t mode, int32_t code, int32_t itemType, point_t pos)
{
    start_ = w_.snapped(pos);
    h_.setMode(mode);
    h_.setHandle(normalizedHandleCode(mode, code), itemType);
    const bool homogeneous = isHomogeneous(w_.items());
    before_ = model::collectSelected(w_.items());
    const std::vector<item_t*> fresh = w_.beginEdit(true);
    links_ = {};
    auto table = std::make_unique<model::linkTable_t>(w_.items());
    if (!table->empty()) {
        links_.table = std::move(table);
        // The lines and labels that will follow get their versions now and
        // leave the background, as the selection did.
        links_.followers = followShapes(w_, *links_.table, fresh, false);
        std::vector<item_t*> followers;
        for (item_t* f : links_.followers)
            if (!f->selected) followers.push_back(f);
        if (!followers.empty()) {
            w_.restoreUnder(w_.view().selectionUnder);
            repaintWithout(w_, followers, coveredArea(w_, followers, false));
            std::vector<item_t*> moving = fresh;
            moving.insert(moving.end(), followers.begin(), followers.end());
            w_.saveUnder(w_.view().selectionUnder, coveredArea(w_, moving, true));
            for (item_t* it : moving) render::drawItem(w_.view(), it, false);
            w_.updateCanvas();
        }
    }
    // In a mixed selection every handle moves the whole selection.
    if (!homogeneous) h_.setHandle(handleMove, itemType);
}

void handleDrag_t::move(Qt::MouseButtons buttons, Qt::KeyboardModifiers, point_t pos)
{
    if (buttons & Qt::LeftButton) w_.manipulate(start_, pos, true, w_.handleCode(), false);
}

void handleDrag_t::release(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    w_.manipulate(start_, pos, true, w_.handleCode(), true);
    h_.setMode(modePointer);
    before_.clear();
    links_ = {};
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

bool handleDrag_t::key(int key, Qt::KeyboardModifiers)
{
    if (key != Qt::Key_Escape) return false;
    cancel();
    // The release of the abandoned drag is not a click.
    h_.ignoreGesture();
    return true;
}

void handleDrag_t::cancel()
{
    if (!isDragMode(w_.mode())) return;
    eraseOverlay();
    w_.view().selectionUnder = render::savedArea_t{};
    // The versions the press made go without a trace; the items before it return.
    model::undo(w_.items());
    model::dropRedo(w_.items());
    for (item_t* it : before_) model::setSelected(w_.items(), it, true);
    before_.clear();
    links_ = {};
    h_.setMode(modePointer);
    w_.repaintAll(true);
    if (w_.host()) w_.host()->editStateChanged(&w_);
}

void handleDrag_t::eraseOverlay()
{
    w_.restoreUnder(guide_);
}

void handleDrag_t::overlayLost()
{
    guide_.valid = false;
}

void handleDrag_t::showGuide(point_t from, point_t to)
{
    drawGuide(w_, guide_, from, to);
}

} // namespace canvas
