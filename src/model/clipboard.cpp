#include "model/clipboard.h"

#include "geometry/shapes.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/links.h"
#include "model/metrics.h"

#include <cstring>
#include <map>

namespace model {

namespace {

struct clipboardHolder {
    itemList_t list;
    ~clipboardHolder() { freeList(list); }
};

// Header bytes a paste needs beyond what cloneItem copies: zoom, unit and the
// pixels per unit (116..143) and the canvas rectangle (148..179).
void copyHeaderView(const item_t* from, item_t* to)
{
    std::memcpy(to->bodyBytes() + 116, from->bodyBytes() + 116, 144 - 116);
    std::memcpy(to->bodyBytes() + 148, from->bodyBytes() + 148, 180 - 148);
}

bool copiesToClipboard(const item_t* it) { return isStackable(it) || it->itemType == typeGroupHandle; }

// Moves a pasted copy by (d, d): its defining points, reference points,
// every point with its control points and saved copies, then its box.
void offsetCopy(item_t* v, int32_t d, geometry::handleSize_t handles)
{
    v->x1 += d;
    v->y1 += d;
    v->x2 += d;
    v->y2 += d;
    v->refX1 = v->x1;
    v->refY1 = v->y1;
    v->refX2 = v->x2;
    v->refY2 = v->y2;
    for (pointNode_t* n = v->points.head; n; n = n->next) {
        auto& p = n->p;
        for (int32_t* c : {&p.x, &p.y, &p.savedX, &p.savedY, &p.c1x, &p.c1y, &p.c2x, &p.c2y, &p.savedC1x,
                           &p.savedC1y, &p.savedC2x, &p.savedC2y})
            *c += d;
    }
    if (v->itemType == typeLine) {
        geometry::lineGeometry(v);
    } else if (v->itemType == typePicture) {
        geometry::pictureBox(v);
    } else if (isShapeType(v->itemType) && v->points.head) {
        geometry::itemBounds(v, handles);
    } else {
        geometry::boxFromDefiningPoints(v);
    }
    computeMeasure(v);
}

} // namespace

itemList_t& clipboardList()
{
    static clipboardHolder holder;
    return holder.list;
}

bool clipboardHasItems(const itemList_t& clipboard)
{
    for (const item_t* it = clipboard.head; it; it = it->next)
        if (it->kind == kindItem && !it->editing && !it->hidden) return true;
    return false;
}

bool clipboardHasItems() { return clipboardHasItems(clipboardList()); }

void copySelection(itemList_t& document, itemList_t& clipboard)
{
    if (&document == &clipboard) return;  // emptying the clipboard would empty the document
    freeList(clipboard);
    const item_t* header = findHeader(document);
    if (!header) return;
    item_t* h = cloneItem(clipboard, header);
    copyHeaderView(header, h);
    h->selected = 0;
    for (const item_t* it : collectSelected(document)) {
        if (!copiesToClipboard(it)) continue;
        item_t* v = cloneItem(clipboard, it);
        v->selected = 0;
        if (it->itemType != typePicture || findPictureData(clipboard, it->pictureId)) continue;
        if (const item_t* data = findPictureData(document, it->pictureId)) {
            item_t* d = cloneItem(clipboard, data);
            d->selected = 0;
        }
    }
    compactGroupIds(clipboard);
}

std::vector<item_t*> pasteClipboard(itemList_t& document, const itemList_t& clipboard,
                                    geometry::handleSize_t handles)
{
    if (&document == &clipboard) return {};
    if (!clipboardHasItems(clipboard) || !findHeader(clipboard) || !findHeader(document)) return {};
    dropRedo(document);
    deselectAll(document);
    const int32_t a = nextActionId(document);
    const int32_t c = nextGroupId(document);

    for (const item_t* it = clipboard.head; it; it = it->next) {
        if (it->kind != kindPictureData || findPictureData(document, it->pictureId)) continue;
        item_t* d = cloneItem(document, it);
        d->selected = 0;
    }

    // The record itemAtZ finds at each position 1, 2, ... of the clipboard.
    std::map<int32_t, const item_t*> byZ;
    for (const item_t* it = clipboard.head; it; it = it->next)
        if (it->kind == kindItem && !it->hidden && it->zOrder >= 1) byZ.emplace(it->zOrder, it);

    std::vector<item_t*> pasted;
    for (auto [z, s] : byZ) {
        if (s->editing) continue;
        item_t* v = cloneItem(document, s);
        if (v->groupId > 0) v->groupId += c;
        offsetCopy(v, 10, handles);
        v->hidden = 0;
        v->actionId = a;
        noteIds(document, v);
        v->zOrder = maxZOrder(document) + 1;
        noteIds(document, v);
        setSelected(document, v, true);
        pasted.push_back(v);
    }
    relinkCopies(document, pasted);
    return pasted;
}

pastePoint_t placingStart(const std::vector<item_t*>& items)
{
    if (items.empty()) return {};
    int64_t sx = 0, sy = 0;
    for (const item_t* it : items) {
        sx += roundHalfEven((double(it->x1) + it->x2) / 2.0);
        sy += roundHalfEven((double(it->y1) + it->y2) / 2.0);
    }
    const auto n = int64_t(items.size());
    return {int32_t(sx / n), int32_t(sy / n)};
}

} // namespace model
