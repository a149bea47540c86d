#include "model/spatialindex.h"

#include <algorithm>
#include <unordered_map>

namespace model {

namespace {

// Document pixels per grid cell: a few items of ordinary size per cell.
constexpr int64_t cellSide = 32;
// A rectangle over more cells than this is kept aside and looked at every time.
constexpr int64_t maxCellsPerRecord = 256;

enum class filing : uint8_t { pending, filed, wide, none, gone };

struct entry_t {
    item_t* item = nullptr;
    uint64_t seq = 0;  // list order
    spatialRect_t rect;
    uint32_t stamp = 0;
    filing state = filing::pending;
};

int64_t cellOf(int32_t v) { return v >= 0 ? v / cellSide : -((-int64_t(v) + cellSide - 1) / cellSide); }
uint64_t cellKey(int64_t cx, int64_t cy) { return (uint64_t(uint32_t(int32_t(cx))) << 32) | uint32_t(int32_t(cy)); }

bool meets(const spatialRect_t& a, const spatialRect_t& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

struct spatialIndex_t {
    spatialBoundsFn bounds = nullptr;
    std::vector<entry_t> entries;                     // never reused; dropped when mostly gone
    std::unordered_map<const item_t*, uint32_t> slotOf;
    std::unordered_map<uint64_t, std::vector<uint32_t>> cells;
    std::vector<uint32_t> pending, wide;
    uint64_t nextSeq = 0;
    uint32_t stamp = 0;
    size_t gone = 0;

    void add(item_t* it)
    {
        const auto slot = static_cast<uint32_t>(entries.size());
        entry_t e;
        e.item = it;
        e.seq = nextSeq++;
        entries.push_back(e);
        slotOf[it] = slot;
        pending.push_back(slot);
    }

    // Files the record of `slot` under its rectangle now, or keeps it pending.
    bool file(uint32_t slot)
    {
        entry_t& e = entries[slot];
        if (e.state != filing::pending) return false;
        // The editor moves selected records and records being extended in place.
        if (e.item->selected || e.item->editing) return true;
        if (!bounds(e.item, e.rect)) {
            e.state = filing::none;
            return false;
        }
        const int64_t l = cellOf(e.rect.left), r = cellOf(e.rect.right), t = cellOf(e.rect.top), b = cellOf(e.rect.bottom);
        if ((r - l + 1) * (b - t + 1) > maxCellsPerRecord) {
            e.state = filing::wide;
            wide.push_back(slot);
            return false;
        }
        for (int64_t cy = t; cy <= b; ++cy)
            for (int64_t cx = l; cx <= r; ++cx) cells[cellKey(cx, cy)].push_back(slot);
        e.state = filing::filed;
        return false;
    }

    void filePending()
    {
        std::vector<uint32_t> still;
        for (uint32_t slot : pending)
            if (file(slot)) still.push_back(slot);
        pending.swap(still);
    }
};

namespace {

spatialIndex_t& gridOf(itemList_t& list, spatialBoundsFn bounds)
{
    if (list.spatial && list.spatial->bounds != bounds) dropSpatialIndex(list);
    if (!list.spatial) {
        list.spatial = new spatialIndex_t;
        list.spatial->bounds = bounds;
        for (item_t* it = list.head; it; it = it->next) list.spatial->add(it);
    }
    return *list.spatial;
}

} // namespace

std::vector<item_t*> spatialQuery(itemList_t& list, spatialRect_t area, spatialBoundsFn bounds)
{
    spatialIndex_t& g = gridOf(list, bounds);
    g.filePending();
    if (area.left > area.right) std::swap(area.left, area.right);
    if (area.top > area.bottom) std::swap(area.top, area.bottom);
    if (++g.stamp == 0) {
        for (entry_t& e : g.entries) e.stamp = 0;
        g.stamp = 1;
    }
    std::vector<std::pair<uint64_t, item_t*>> found;
    auto take = [&](uint32_t slot, bool always) {
        entry_t& e = g.entries[slot];
        if (!e.item || e.stamp == g.stamp) return;
        e.stamp = g.stamp;
        if (always || meets(e.rect, area)) found.emplace_back(e.seq, e.item);
    };
    const int64_t l = cellOf(area.left), r = cellOf(area.right), t = cellOf(area.top), b = cellOf(area.bottom);
    if ((r - l + 1) * (b - t + 1) > int64_t(g.cells.size())) {
        // An area over more cells than are in use: every filed record is looked at.
        for (uint32_t slot = 0; slot < g.entries.size(); ++slot)
            if (g.entries[slot].state == filing::filed) take(slot, false);
    } else {
        for (int64_t cy = t; cy <= b; ++cy)
            for (int64_t cx = l; cx <= r; ++cx) {
                auto c = g.cells.find(cellKey(cx, cy));
                if (c == g.cells.end()) continue;
                for (uint32_t slot : c->second) take(slot, false);
            }
    }
    for (uint32_t slot : g.wide) take(slot, false);
    for (uint32_t slot : g.pending) take(slot, true);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<item_t*> out;
    out.reserve(found.size());
    for (const auto& f : found) out.push_back(f.second);
    return out;
}

void spatialAppend(itemList_t& list, item_t* item)
{
    if (list.spatial && item) list.spatial->add(item);
}

void spatialUnlink(itemList_t& list, item_t* item)
{
    if (!list.spatial || !item) return;
    spatialIndex_t& g = *list.spatial;
    auto s = g.slotOf.find(item);
    if (s == g.slotOf.end()) return;
    entry_t& e = g.entries[s->second];
    e.item = nullptr;  // its cells keep the slot until the grid is built again
    e.state = filing::gone;
    g.slotOf.erase(s);
    // Mostly taken out records: building again is cheaper than looking past them.
    if (++g.gone > 1024 && g.gone * 2 > g.entries.size()) dropSpatialIndex(list);
}

void spatialRefile(itemList_t& list, item_t* item)
{
    if (!list.spatial || !item) return;
    spatialIndex_t& g = *list.spatial;
    auto s = g.slotOf.find(item);
    if (s == g.slotOf.end()) return;
    const uint32_t slot = s->second;
    entry_t& e = g.entries[slot];
    auto without = [slot](std::vector<uint32_t>& v) { v.erase(std::remove(v.begin(), v.end(), slot), v.end()); };
    if (e.state == filing::pending) return;
    if (e.state == filing::filed) {
        const int64_t l = cellOf(e.rect.left), r = cellOf(e.rect.right), t = cellOf(e.rect.top), b = cellOf(e.rect.bottom);
        for (int64_t cy = t; cy <= b; ++cy)
            for (int64_t cx = l; cx <= r; ++cx) {
                auto c = g.cells.find(cellKey(cx, cy));
                if (c != g.cells.end()) without(c->second);
            }
    } else if (e.state == filing::wide) {
        without(g.wide);
    }
    e.state = filing::pending;
    g.pending.push_back(slot);
}

void dropSpatialIndex(itemList_t& list)
{
    delete list.spatial;
    list.spatial = nullptr;
}

bool spatialIndexConsistent(itemList_t& list, spatialBoundsFn bounds)
{
    spatialIndex_t& g = gridOf(list, bounds);
    uint64_t lastSeq = 0;
    bool first = true;
    size_t n = 0;
    for (item_t* it = list.head; it; it = it->next, ++n) {
        auto s = g.slotOf.find(it);
        if (s == g.slotOf.end()) return false;
        const entry_t& e = g.entries[s->second];
        if (e.item != it || (!first && e.seq <= lastSeq)) return false;
        first = false;
        lastSeq = e.seq;
        spatialRect_t now;
        const bool takesPart = bounds(it, now);
        if (e.state == filing::filed || e.state == filing::wide) {
            if (!takesPart || !(now == e.rect)) return false;
        } else if (e.state == filing::none) {
            if (takesPart) return false;
        }
    }
    return n == g.slotOf.size();
}

} // namespace model
