#include "model/itemlist.h"

#include "model/extensions.h"
#include "model/history_index.h"
#include "model/spatialindex.h"

#include "model/metrics.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <random>
#include <unordered_map>

namespace model {

namespace {

std::atomic<uint64_t> lastCacheSerial{0};
std::atomic<cacheRelease_t> cacheRelease{nullptr};

} // namespace

item_t::item_t() : itemBody_t{}, cacheSerial(++lastCacheSerial) {}

item_t::~item_t()
{
    releaseCaches(this);
    freeNodes(marks);
    freeNodes(tags);
    freeNodes(anchorsX);
    freeNodes(anchorsY);
    freeNodes(points);
}

void setCacheRelease(cacheRelease_t release) { cacheRelease.store(release); }

void releaseCaches(const item_t* it)
{
    if (!it || !it->cacheHeld) return;
    it->cacheHeld = false;
    if (const cacheRelease_t release = cacheRelease.load()) release(it->cacheSerial);
}

pointNode_t* addPoint(item_t* item, const pointPayload_t& p)
{
    auto* n = new pointNode_t;
    n->p = p;
    appendNode(item->points, n);
    return n;
}

pointNode_t* addPoint(item_t* item, int32_t x, int32_t y)
{
    pointPayload_t p{};
    p.x = x;
    p.y = y;
    return addPoint(item, p);
}

void computeMeasure(item_t* it)
{
    const auto& s = screen();
    it->mx1 = it->x1 * s.pxPerMmX;
    it->my1 = it->y1 * s.pxPerMmY;
    it->mx2 = it->x2 * s.pxPerMmX;
    it->my2 = it->y2 * s.pxPerMmY;
}

namespace {

void raiseIds(idCache_t& c, const item_t* it)
{
    if (it->kind != kindItem) return;
    // Copies: the body is packed, so its fields may not be bound to references.
    c.maxStepId = std::max(c.maxStepId, int32_t(it->stepId));
    c.maxActionId = std::max(c.maxActionId, int32_t(it->actionId));
    c.maxZOrder = std::max(c.maxZOrder, int32_t(it->zOrder));
    c.maxGroupId = std::max(c.maxGroupId, int32_t(it->groupId));
}

idCache_t walkIds(const itemList_t& list)
{
    idCache_t c;
    for (const item_t* it = list.head; it; it = it->next) raiseIds(c, it);
    return c;
}

idCache_t& ids(itemList_t& list)
{
    // The history tables count every id, so a refill after a deletion needs no walk.
    if (!list.ids.valid) list.ids = list.index ? indexedIds(*list.index) : walkIds(list);
    return list.ids;
}

} // namespace

void noteIds(itemList_t& list, const item_t* item)
{
    if (!item) return;
    if (list.index) {
        // The tables know every value, so lowering is exact here too.
        indexAppend(list, const_cast<item_t*>(item));
        if (list.ids.valid) list.ids = indexedIds(*list.index);
    } else if (list.ids.valid) {
        raiseIds(list.ids, item);
    }
}

// Picture data records by picture id, each the first of its id in list
// order as the last walk found it. Every answer is checked against the
// record (it may carry another id by now), and a record that leaves the
// list leaves the table, so a hit is always a record of the list with that
// id; anything else walks the list again and refills the table. Pictures
// are drawn on several threads at once, so lookups take the lock. The list
// operations create and drop the table; lookups only fill it.
struct pictureTable_t {
    std::mutex mutex;
    std::unordered_map<int32_t, item_t*> byId;
    std::unordered_map<const item_t*, int32_t> idOf;

    void clear()
    {
        std::lock_guard lock(mutex);
        byId.clear();
        idOf.clear();
    }
};

namespace {

void forgetPictureData(itemList_t& list, const item_t* it)
{
    if (!list.pictures) return;
    std::lock_guard lock(list.pictures->mutex);
    const auto f = list.pictures->idOf.find(it);
    if (f == list.pictures->idOf.end()) return;
    list.pictures->byId.erase(f->second);
    list.pictures->idOf.erase(f);
}

void dropPictureTable(itemList_t& list)
{
    delete list.pictures;
    list.pictures = nullptr;
}

} // namespace

void invalidateIds(itemList_t& list)
{
    list.ids.valid = false;
    if (list.pictures) list.pictures->clear();
    dropHistoryIndex(list);
    dropSpatialIndex(list);
    list.headerKnown = false;
    list.header = nullptr;
}

item_t* findHeader(const itemList_t& list)
{
    if (!list.headerKnown) {
        list.header = findByType(list, typeHeader);
        list.headerKnown = true;
    }
    return list.header;
}

bool idCacheConsistent(itemList_t& list)
{
    if (list.headerKnown && list.header != findByType(list, typeHeader)) return false;
    idCache_t w = walkIds(list);
    idCache_t& c = ids(list);
    return c.maxStepId == w.maxStepId && c.maxActionId == w.maxActionId &&
           c.maxZOrder == w.maxZOrder && c.maxGroupId == w.maxGroupId;
}

// Ids read from a file may already be at the top of the range; the next one
// then wraps around as 32-bit arithmetic does instead of overflowing.
static int32_t after(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) + 1u); }

int32_t nextStepId(itemList_t& list) { return after(ids(list).maxStepId); }
int32_t nextActionId(itemList_t& list) { return after(ids(list).maxActionId); }
int32_t maxZOrder(itemList_t& list) { return ids(list).maxZOrder; }
int32_t maxGroupId(itemList_t& list) { return ids(list).maxGroupId; }

void appendItem(itemList_t& list, item_t* it)
{
    it->prev = list.tail;
    it->next = nullptr;
    if (list.tail) list.tail->next = it; else list.head = it;
    list.tail = it;
    if (!list.pictures) list.pictures = new pictureTable_t;
    indexPlace(list, it);
    spatialAppend(list, it);
    noteIds(list, it);
    if (list.headerKnown && !list.header && it->itemType == typeHeader) list.header = it;
}

void unlinkItem(itemList_t& list, item_t* it)
{
    indexUnlink(list, it);
    spatialUnlink(list, it);
    forgetPictureData(list, it);
    if (it->prev) it->prev->next = it->next; else list.head = it->next;
    if (it->next) it->next->prev = it->prev; else list.tail = it->prev;
    it->prev = it->next = nullptr;
    // A list emptied record by record may be dropped without freeList.
    if (!list.head) dropPictureTable(list);
    if (it == list.header) {
        list.header = nullptr;
        list.headerKnown = false;
    }
    // Removing a record can only lower a maximum; refill lazily when it held one.
    if (it->kind == kindItem && list.ids.valid &&
        (it->stepId >= list.ids.maxStepId || it->actionId >= list.ids.maxActionId ||
         it->zOrder >= list.ids.maxZOrder || it->groupId >= list.ids.maxGroupId))
        list.ids.valid = false;
}

item_t* newItem(itemList_t& list, int32_t itemType)
{
    const int32_t step = nextStepId(list);
    auto* it = new item_t;
    it->itemType = itemType;
    it->kind = kindItem;
    it->magic = recordMagic;
    it->docNumber = -1;
    computeMeasure(it);
    it->fontSize = 12;
    it->fontWeight = 400;
    it->justification = 1;
    setFontName(it, "Arial");
    it->fillColor = -2;
    it->direction = -1.0;
    it->lineColor = 0;
    it->penWidthPx = 1;
    it->reserved116 = reservedDefault;
    it->reserved189 = reservedDefault;
    it->undoState = 1;
    it->stepId = step;
    it->roundness = defaultRoundness;
    it->scaleX = it->scaleY = it->baseScale = 1.0;
    it->flipX = it->flipY = 1;
    appendItem(list, it);
    if (itemType != typeHeader) setModified(list, true);
    return it;
}

item_t* cloneItem(itemList_t& list, const item_t* src)
{
    if (!src) return nullptr;
    const idCache_t idsBefore = list.ids;
    item_t* c = newItem(list, src->itemType);
    // Fields that keep their newItem values.
    const int32_t undoState = c->undoState, stepId = c->stepId;
    const int32_t reserved116 = c->reserved116;
    uint8_t tail[30];
    std::memcpy(tail, c->reserved418, sizeof tail);

    std::memcpy(c->bodyBytes(), src->bodyBytes(), recordSize);
    c->undoState = undoState;
    c->stepId = stepId;
    c->actionId = 0;
    c->replacesStep = 0;
    c->zMove = 0;
    c->reserved116 = reserved116;
    c->rotationStart = 0.0;
    std::memcpy(c->reserved418, tail, sizeof tail);
    // fontName keeps at most 32 characters.
    if (c->fontName[0] > 32) c->fontName[0] = 32;
    computeMeasure(c);

    c->text = src->text;
    for (const tagNode_t* t = src->tags.head; t; t = t->next) {
        auto* n = new tagNode_t;
        n->tag = t->tag;
        appendNode(c->tags, n);
    }
    for (const pointNode_t* p = src->points.head; p; p = p->next) addPoint(c, p->p);
    // The copy takes over what caches made of the source.
    c->cacheSerial = src->cacheSerial;
    c->cacheHeld = src->cacheHeld;
    src->cacheHeld = false;
    if (src->stream) c->stream = std::make_unique<std::vector<uint8_t>>(*src->stream);
    if (src->extensions) c->extensions = std::make_unique<extensionData_t>(*src->extensions);
    // A copy of a header, pattern or picture data record takes no part in the
    // id maxima, though newItem counted it while it was still kind 0.
    if (c->kind != kindItem) {
        indexUnfile(list, c);
        list.ids = idsBefore;
    }
    noteIds(list, c);
    return c;
}

void deleteItem(itemList_t& list, item_t* item)
{
    if (!item) return;
    unlinkItem(list, item);
    delete item;
}

void freeList(itemList_t& list)
{
    for (item_t* it = list.head; it;) {
        item_t* nx = it->next;
        delete it;
        it = nx;
    }
    list.head = list.tail = nullptr;
    list.ids = idCache_t{};
    list.header = nullptr;
    list.headerKnown = true;
    dropHistoryIndex(list);
    dropSpatialIndex(list);
    dropPictureTable(list);
}


void moveList(itemList_t& from, itemList_t& to)
{
    to.head = from.head;
    to.tail = from.tail;
    to.ids = from.ids;
    to.header = from.header;
    to.headerKnown = from.headerKnown;
    dropHistoryIndex(to);
    to.index = from.index;
    dropSpatialIndex(to);
    to.spatial = from.spatial;
    from.spatial = nullptr;
    dropPictureTable(to);
    to.pictures = from.pictures;
    from.pictures = nullptr;
    from.head = from.tail = nullptr;
    from.ids = idCache_t{};
    from.index = nullptr;
    from.header = nullptr;
    from.headerKnown = true;
}

int32_t countItems(const itemList_t& list)
{
    int32_t n = 0;
    for (const item_t* it = list.head; it; it = it->next) ++n;
    return n;
}

item_t* findByType(const itemList_t& list, int32_t itemType)
{
    for (item_t* it = list.head; it; it = it->next)
        if (it->itemType == itemType) return it;
    return nullptr;
}

item_t* findVisibleByType(const itemList_t& list, int32_t itemType)
{
    for (item_t* it = list.head; it; it = it->next)
        if (it->itemType == itemType && !it->hidden) return it;
    return nullptr;
}

bool isSelected(const item_t* it)
{
    return it && it->kind == kindItem && !it->editing && !it->hidden && it->selected;
}

void selectOnly(itemList_t& list, item_t* item)
{
    for (item_t* it = list.head; it; it = it->next) it->selected = 0;
    if (item) item->selected = 255;
    indexSelectOnly(list, item);
}

void selectLast(itemList_t& list)
{
    item_t* it = list.tail;
    while (it && it->kind != kindItem) it = it->prev;
    if (it && !it->editing && !it->hidden) selectOnly(list, it);
}

item_t* firstSelected(const itemList_t& list)
{
    for (item_t* it = list.head; it; it = it->next)
        if (isSelected(it)) return it;
    return nullptr;
}

item_t* singleSelected(const itemList_t& list)
{
    item_t* found = nullptr;
    for (item_t* it = list.head; it; it = it->next) {
        if (!isSelected(it)) continue;
        if (found) return nullptr;
        found = it;
    }
    return found;
}

void setModified(itemList_t& list, bool modified)
{
    if (item_t* h = findHeader(list)) h->hdr().modified = modified ? 1 : 0;
}

bool isModified(const itemList_t& list)
{
    const item_t* h = findHeader(list);
    return h && h->hdr().modified;
}

bool isPristine(const itemList_t& list)
{
    const item_t* h = findHeader(list);
    if (!h || h->hdr().modified) return false;
    int32_t n = 0;
    for (const item_t* it = list.head; it; it = it->next)
        if (++n > 3) return false;
    return true;
}

item_t* itemAtZ(const itemList_t& list, int32_t z)
{
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == kindItem && !it->hidden && it->zOrder == z) return it;
    return nullptr;
}

int32_t nextPatternId(const itemList_t& list)
{
    int32_t lowest = 0;
    for (const item_t* it = list.head; it; it = it->next)
        if (it->kind == kindPattern) lowest = std::min(lowest, int32_t(it->itemType));
    return static_cast<int32_t>(static_cast<uint32_t>(lowest) - 1u);
}

int32_t newPictureId(pictureIdScope_t scope)
{
    static std::mt19937 rng{std::random_device{}()};
    std::uniform_int_distribution<int32_t> dist(0, 2147483645);
    for (;;) {
        const int32_t id = dist(rng) + 1;
        bool used = false;
        for (int32_t i = 0; i < scope.count && !used; ++i)
            for (const item_t* it = scope.lists[i]->head; it && !used; it = it->next)
                used = it->pictureId == id;
        if (!used) return id;
    }
}

item_t* findPictureData(const itemList_t& list, int32_t pictureId)
{
    pictureTable_t* table = list.pictures;
    if (!table) return nullptr;  // only an empty list has none
    std::lock_guard lock(table->mutex);
    if (const auto f = table->byId.find(pictureId); f != table->byId.end()) {
        item_t* it = f->second;
        if (it->kind == kindPictureData && it->pictureId == pictureId) return it;
    }
    // One walk refills the table for every picture of the list.
    table->byId.clear();
    table->idOf.clear();
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == kindPictureData && table->byId.emplace(it->pictureId, it).second) table->idOf.emplace(it, it->pictureId);
    const auto f = table->byId.find(pictureId);
    return f != table->byId.end() ? f->second : nullptr;
}

// --- text ---

int32_t textLength(const item_t* item)
{
    if (!item) return 0;
    const std::u16string& t = item->text;
    const size_t limit = std::min<size_t>(t.size(), textUnitLimit);
    size_t n = 0;
    while (n < limit && t[n] != 0) ++n;
    return static_cast<int32_t>(n);
}

int32_t textLineCount(const item_t* item)
{
    const int32_t len = textLength(item);
    if (len == 0) return 0;
    int32_t lines = 1;
    for (int32_t i = 0; i < len; ++i)
        if (item->text[i] == lineSeparator) ++lines;
    return lines;
}

int32_t textOffset(const item_t* item, int32_t column, int32_t line)
{
    const int32_t len = textLength(item);
    if (len == 0) return 0;
    int32_t offset = column, current = 1, lineLen = 0;
    for (int32_t i = 0; i < len && current < line; ++i) {
        if (item->text[i] == lineSeparator) {
            offset += lineLen + 1;
            lineLen = 0;
            ++current;
        } else {
            ++lineLen;
        }
    }
    return offset;
}

std::u16string getText(const item_t* item)
{
    return item ? item->text.substr(0, textLength(item)) : std::u16string();
}

void setText(item_t* item, const std::u16string& text)
{
    if (!item) return;
    item->text = text;
    item->text.shrink_to_fit();
}

std::string fontNameOf(const item_t* item)
{
    const int n = std::min<int>(item->fontName[0], 32);
    return std::string(reinterpret_cast<const char*>(item->fontName + 1), n);
}

void setFontName(item_t* item, const std::string& name)
{
    const size_t n = std::min<size_t>(name.size(), 32);
    std::memset(item->fontName, 0, sizeof item->fontName);
    item->fontName[0] = static_cast<uint8_t>(n);
    std::memcpy(item->fontName + 1, name.data(), n);
}

} // namespace model
