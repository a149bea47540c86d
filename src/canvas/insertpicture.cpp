// The records "Insert" writes into a document.
#include "canvas/insertpicture.h"

#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/docfile.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/metrics.h"
#include "output/encode.h"
#include "render/picture.h"
#include "render/picturecache.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace canvas {

using model::item_t;

pictureEffects_t effectsFromSettings(const settings::TParams& p)
{
    pictureEffects_t e;
    e.frameOn = p.clframe == 1;
    e.frameWidth = e.frameOn ? p.frwidth : 0.0;
    e.frameColour = p.frcolor;
    e.shadow = p.shpict;
    e.surface = p.frplas;
    return e;
}

std::vector<clipShape_t> usableClips(const model::itemList_t& clips)
{
    std::vector<clipShape_t> out;
    for (const item_t* c : model::visibleClips(clips)) {
        if (!model::usableClip(c)) continue;
        out.push_back({model::isRoundClip(c) ? model::clipRound : model::clipRect, c->x1, c->y1, c->x2, c->y2});
    }
    return out;
}

std::vector<uint8_t> storedPictureBytes(const render::pictureSource_t& source)
{
    auto bytesOf = [](const QByteArray& b) { return std::vector<uint8_t>(b.begin(), b.end()); };
    switch (source.format) {
    case model::pictureGif: return source.valid() ? bytesOf(output::encodeGif(source.decoded)) : std::vector<uint8_t>{};
    case model::pictureBmp: return source.valid() ? bytesOf(output::encodeBmp(source.decoded)) : std::vector<uint8_t>{};
    default: return source.bytes;
    }
}

int32_t nextPictureId(model::pictureIdScope_t scope)
{
    int32_t highest = 0;
    for (int32_t k = 0; k < scope.count; ++k)
        for (const item_t* it = scope.lists[k]->head; it; it = it->next) highest = std::max(highest, it->pictureId);
    return highest < INT32_MAX - 1 ? highest + 1 : model::newPictureId(scope);
}

namespace {

int32_t zoomed(double zoom, int64_t length) { return model::roundHalfEven(static_cast<long double>(zoom) * length); }

// Where one shape goes in the document and what it shows.
struct placed_t {
    int32_t clipShape = model::clipWhole;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // document pixels
    std::array<int32_t, 4> source{};         // picture pixels
};

// The shape placed with its top-left corner (rectangles) or its box's
// top-left corner (circles) at `at`.
placed_t placeShape(const pictureInsert_t& r, const clipShape_t* clip, geometry::point_t at)
{
    placed_t p;
    if (!clip) {
        p.x1 = at.x;
        p.y1 = at.y;
        p.x2 = at.x + r.shown.width();
        p.y2 = at.y + r.shown.height();
        p.source = model::entireImageSource(r.shown.width(), r.shown.height(), r.zoom);
        if (r.pictureSize.width() > 0 && r.pictureSize.height() > 0) {
            p.source[2] = std::min(p.source[2], r.pictureSize.width() - 1);
            p.source[3] = std::min(p.source[3], r.pictureSize.height() - 1);
        }
        return p;
    }
    p.clipShape = clip->shape;
    p.source = {clip->x1, clip->y1, clip->x2, clip->y2};
    if (clip->shape == model::clipRound) {
        const int32_t radius = model::roundHalfEven(
            std::hypot(static_cast<long double>(clip->x2) - clip->x1, static_cast<long double>(clip->y2) - clip->y1));
        p.x1 = at.x + zoomed(r.zoom, radius);
        p.y1 = at.y + zoomed(r.zoom, radius);
        p.x2 = p.x1 + zoomed(r.zoom, std::abs(int64_t(clip->x2) - clip->x1));
        p.y2 = p.y1 + zoomed(r.zoom, std::abs(int64_t(clip->y2) - clip->y1));
        return p;
    }
    p.x1 = at.x;
    p.y1 = at.y;
    p.x2 = at.x + zoomed(r.zoom, int64_t(clip->x2) - clip->x1);
    p.y2 = at.y + zoomed(r.zoom, int64_t(clip->y2) - clip->y1);
    return p;
}

// The new shape of a re-clipped item: at its old top-left corner when the
// old and the new shape are both rectangular, otherwise centred on its old
// centre with no edge (rectangle) or centre (circle) nearer the page's
// top-left than reclipMinimumEdge.
placed_t placeReclip(const pictureInsert_t& r, const clipShape_t* clip, const item_t* old)
{
    const bool oldRect = old->clipShape != model::clipRound;
    const bool newRect = !clip || clip->shape != model::clipRound;
    const int32_t left = std::min(old->boxLeft, old->boxRight), top = std::min(old->boxTop, old->boxBottom);
    if (oldRect && newRect) return placeShape(r, clip, {left, top});
    placed_t p = placeShape(r, clip, {0, 0});
    const int32_t cx = (old->boxLeft + old->boxRight) / 2, cy = (old->boxTop + old->boxBottom) / 2;
    if (p.clipShape == model::clipRound) {
        const int32_t nx = std::max(cx, reclipMinimumEdge), ny = std::max(cy, reclipMinimumEdge);
        p.x2 += nx - p.x1;
        p.y2 += ny - p.y1;
        p.x1 = nx;
        p.y1 = ny;
    } else {
        const int32_t w = p.x2 - p.x1, h = p.y2 - p.y1;
        p.x1 = std::max(cx - w / 2, reclipMinimumEdge);
        p.y1 = std::max(cy - h / 2, reclipMinimumEdge);
        p.x2 = p.x1 + w;
        p.y2 = p.y1 + h;
    }
    return p;
}

// The picture fields every inserted or re-clipped item takes.
void applyShape(item_t* it, const pictureInsert_t& r, const placed_t& p, int32_t pictureId)
{
    it->pictureId = pictureId;
    it->clipShape = p.clipShape;
    it->x1 = p.x1;
    it->y1 = p.y1;
    it->x2 = p.x2;
    it->y2 = p.y2;
    it->srcLeft = p.source[0];
    it->srcTop = p.source[1];
    it->srcRight = p.source[2];
    it->srcBottom = p.source[3];
    it->scaleX = it->scaleY = r.zoom;
    it->baseScale = r.zoom;
    it->flipX = r.view.flipX < 0 ? -1 : 1;
    it->flipY = r.view.flipY < 0 ? -1 : 1;
    it->orientation = r.view.orientation;
    it->picWidth = r.shown.width();
    it->picHeight = r.shown.height();
    it->rotation = 0.0;
    geometry::pictureBox(it);
    // Box, diagonal and angle as a reader of the saved file rebuilds them.
    model::recomputePixels(it);
    render::dropPictureCache(it);
}

void applyEffects(item_t* it, const pictureEffects_t& e)
{
    it->frameOn = e.frameOn ? 1 : 0;
    it->lineWeight = e.frameOn ? e.frameWidth : 0.0;
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
    it->lineColor = e.frameColour;
    it->shadowElevation = e.shadow.elevation;
    it->shadowFade = e.shadow.fade;
    it->shadowLightness = e.shadow.lightness;
    it->surface = static_cast<uint8_t>(std::clamp(e.surface, 0, 255));
}

item_t* addPictureData(model::itemList_t& doc, const pictureInsert_t& r, int32_t id, std::vector<uint8_t> bytes)
{
    item_t* data = model::newItem(doc, model::typePictureData);
    data->kind = model::kindPictureData;
    model::invalidateIds(doc);
    data->undoState = model::stateCommitted;
    data->pictureId = id;
    data->setPictureFormat(r.source->format);
    data->x2 = data->boxRight = data->boxWidth = r.shown.width();
    data->y2 = data->boxBottom = data->boxHeight = r.shown.height();
    data->pic().insertScale = r.zoom;
    data->stream = std::make_unique<std::vector<uint8_t>>(std::move(bytes));
    model::setText(data, r.source->fileName.toStdU16String());
    return data;
}

} // namespace

std::vector<item_t*> insertPictureRecords(model::itemList_t& doc, const pictureInsert_t& r, model::pictureIdScope_t scope)
{
    if (!(r.zoom > 0) || r.shown.width() < 1 || r.shown.height() < 1) return {};
    item_t* selected = nullptr;
    int32_t pictureId = 0;
    if (r.mode == pictureMode_t::newPicture) {
        if (!r.source || !r.source->valid()) return {};
        std::vector<uint8_t> bytes = storedPictureBytes(*r.source);
        if (bytes.empty()) return {};
        pictureId = nextPictureId(scope);
        const item_t* data = addPictureData(doc, r, pictureId, std::move(bytes));
        // Stored as they came and decoded at full size, the bytes give what the
        // picture window shows: the first drawing takes that, not a new decode.
        if (r.source->format != model::pictureGif && r.source->format != model::pictureBmp &&
            r.source->denominator == 1)
            render::pictureCache().handOverDecoded(data, r.source->decoded);
    } else {
        selected = model::singleSelected(doc);
        if (!selected || selected->itemType != model::typePicture || selected->pictureId == 0) return {};
        pictureId = selected->pictureId;
    }

    std::vector<item_t*> made;
    const clipShape_t* first = r.clips.empty() ? nullptr : &r.clips.front();
    size_t next = 0;
    if (r.mode == pictureMode_t::reclip) {
        const placed_t p = placeReclip(r, first, selected);
        std::vector<item_t*> versions = model::beginEdit(doc);
        if (versions.empty()) return {};
        applyShape(versions.front(), r, p, pictureId);
        made.push_back(versions.front());
        next = 1;
    }
    const size_t total = std::max<size_t>(r.clips.size(), 1);
    for (size_t k = next; k < total; ++k) {
        const clipShape_t* clip = r.clips.empty() ? nullptr : &r.clips[k];
        const int32_t offset = insertStep * static_cast<int32_t>(k);
        item_t* it = model::newItem(doc, model::typePicture);
        applyShape(it, r, placeShape(r, clip, {r.firstAt.x + offset, r.firstAt.y + offset}), pictureId);
        applyEffects(it, r.effects);
        model::recordNew(doc, it);
        made.push_back(it);
    }
    return made;
}

pictureInsert_t fittedToPage(const pictureInsert_t& r, QSize page)
{
    if (r.atChosenZoom || r.mode != pictureMode_t::newPicture || !r.clips.empty() || page.width() < 1 ||
        page.height() < 1 || (r.shown.width() <= page.width() && r.shown.height() <= page.height()))
        return r;
    const double ratio = std::min(double(page.width()) / r.shown.width(), double(page.height()) / r.shown.height());
    pictureInsert_t out = r;
    out.zoom = r.zoom * ratio;
    out.shown = QSize(std::max(1, int32_t(std::floor(r.shown.width() * ratio))),
                      std::max(1, int32_t(std::floor(r.shown.height() * ratio))));
    out.firstAt = {(page.width() - out.shown.width()) / 2, (page.height() - out.shown.height()) / 2};
    return out;
}

bool insertPictureInto(TSandbox& w, const pictureInsert_t& request, model::pictureIdScope_t scope)
{
    w.eraseMarks();
    // A picture larger than the page comes in scaled down to fit it.
    QSize page;
    if (const item_t* h = w.header())
        page = QSize(model::roundHalfEven(h->hdr().canvasWidth * h->hdr().pxPerUnitX),
                     model::roundHalfEven(h->hdr().canvasHeight * h->hdr().pxPerUnitY));
    const pictureInsert_t r = fittedToPage(request, page);
    const std::vector<item_t*> made = insertPictureRecords(w.items(), r, scope);
    if (made.empty()) {
        w.drawSelectionMarks();
        return false;
    }
    model::deselectAll(w.items());
    for (item_t* it : made) model::setSelected(w.items(), it, true);
    w.repaintAll(true);
    if (sandboxHost_t* h = w.host()) h->editStateChanged(&w);
    return true;
}

} // namespace canvas
