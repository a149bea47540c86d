// The picture window's clip records, their geometry and the transforms.
#include "model/clips.h"

#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace model {

using geometry::point_t;

int32_t viewToPicture(int32_t view, int32_t scroll, double zoom)
{
    if (!(zoom > 0)) return view + scroll;
    return roundHalfEven((static_cast<long double>(view) + scroll) / zoom);
}

int32_t pictureToView(int32_t picture, int32_t scroll, double zoom)
{
    return roundHalfEven(static_cast<long double>(picture) * zoom) - scroll;
}

bool isClip(const item_t* it) { return it && (it->itemType == typeRectClip || it->itemType == typeRoundClip); }
bool isRoundClip(const item_t* it) { return it && it->itemType == typeRoundClip; }

std::vector<item_t*> visibleClips(const itemList_t& clips)
{
    std::vector<item_t*> out;
    for (item_t* it = clips.head; it; it = it->next)
        if (it->kind == kindItem && !it->hidden && isClip(it)) out.push_back(it);
    return out;
}

int32_t clipRadius(const item_t* clip)
{
    return roundHalfEven(std::hypot(static_cast<long double>(clip->x2) - clip->x1, static_cast<long double>(clip->y2) - clip->y1));
}

void normaliseClip(item_t* clip)
{
    if (isRoundClip(clip)) {
        const int32_t r = clipRadius(clip);
        clip->boxLeft = clip->x1 - r;
        clip->boxRight = clip->x1 + r;
        clip->boxTop = clip->y1 - r;
        clip->boxBottom = clip->y1 + r;
    } else {
        if (clip->x1 > clip->x2) std::swap(clip->x1, clip->x2);
        if (clip->y1 > clip->y2) std::swap(clip->y1, clip->y2);
        clip->boxLeft = clip->x1;
        clip->boxRight = clip->x2;
        clip->boxTop = clip->y1;
        clip->boxBottom = clip->y2;
    }
    clip->boxWidth = clip->boxRight - clip->boxLeft;
    clip->boxHeight = clip->boxBottom - clip->boxTop;
}

bool usableClip(const item_t* clip)
{
    if (isRoundClip(clip)) return clipRadius(clip) >= 1;
    return clip->x2 != clip->x1 && clip->y2 != clip->y1;
}

item_t* addClip(itemList_t& clips, int32_t type, point_t a, point_t b, double zoom)
{
    item_t* c = newItem(clips, type == typeRoundClip ? typeRoundClip : typeRectClip);
    c->x1 = a.x;
    c->y1 = a.y;
    c->x2 = b.x;
    c->y2 = b.y;
    c->baseScale = zoom;
    normaliseClip(c);
    recordNew(clips, c);
    deselectAll(clips);
    setSelected(clips, c, true);
    return c;
}

namespace {

int32_t viewDistance(long double dx, long double dy) { return roundHalfEven(std::hypot(dx, dy)); }

} // namespace

int32_t outlineDistance(const item_t* clip, point_t p, point_t scroll, double zoom)
{
    if (isRoundClip(clip)) {
        const point_t c{pictureToView(clip->x1, scroll.x, zoom), pictureToView(clip->y1, scroll.y, zoom)};
        const point_t rim{pictureToView(clip->x2, scroll.x, zoom), pictureToView(clip->y2, scroll.y, zoom)};
        const int32_t r = viewDistance(rim.x - c.x, rim.y - c.y);
        return std::abs(r - viewDistance(p.x - c.x, p.y - c.y));
    }
    const int32_t l = pictureToView(clip->x1, scroll.x, zoom), r = pictureToView(clip->x2, scroll.x, zoom);
    const int32_t t = pictureToView(clip->y1, scroll.y, zoom), b = pictureToView(clip->y2, scroll.y, zoom);
    int32_t best = INT32_MAX;
    if (p.x >= std::min(l, r) && p.x <= std::max(l, r)) best = std::min({best, std::abs(p.y - t), std::abs(p.y - b)});
    if (p.y >= std::min(t, b) && p.y <= std::max(t, b)) best = std::min({best, std::abs(p.x - l), std::abs(p.x - r)});
    return best;
}

item_t* clipAt(const itemList_t& clips, point_t p, point_t scroll, double zoom, int32_t markSize)
{
    const int32_t limit = markSize / 2 + 1;
    item_t* found = nullptr;
    int32_t nearest = limit;
    for (item_t* c : visibleClips(clips)) {
        const int32_t d = outlineDistance(c, p, scroll, zoom);
        if (d < nearest) {
            nearest = d;
            found = c;
        }
    }
    return found;
}

int32_t handleCount(const item_t* clip) { return isRoundClip(clip) ? 5 : 9; }

std::array<point_t, 9> clipHandles(const item_t* clip)
{
    std::array<point_t, 9> h{};
    if (isRoundClip(clip)) {
        const int32_t r = clipRadius(clip), cx = clip->x1, cy = clip->y1;
        h[0] = {cx, cy};
        h[1] = {cx, cy - r};
        h[2] = {cx + r, cy};
        h[3] = {cx, cy + r};
        h[4] = {cx - r, cy};
        return h;
    }
    const int32_t l = clip->x1, t = clip->y1, r = clip->x2, b = clip->y2;
    const int32_t cx = l + (r - l) / 2, cy = t + (b - t) / 2;
    h = {point_t{cx, cy}, {l, t}, {r, t}, {r, b}, {l, b}, {cx, t}, {r, cy}, {cx, b}, {l, cy}};
    return h;
}

int32_t handleAt(const item_t* clip, point_t p, point_t scroll, double zoom, int32_t markSize)
{
    if (!clip) return noHandle;
    const std::array<point_t, 9> h = clipHandles(clip);
    const int32_t half = std::max(markSize / 2, 1);
    auto over = [&](int32_t k) {
        const point_t v{pictureToView(h[k].x, scroll.x, zoom), pictureToView(h[k].y, scroll.y, zoom)};
        return std::abs(p.x - v.x) <= half && std::abs(p.y - v.y) <= half;
    };
    // The corners and sides first, so a small clip can still be resized.
    for (int32_t k = 1; k < handleCount(clip); ++k)
        if (over(k)) return k;
    return over(0) ? 0 : noHandle;
}

handleCursor_t cursorForHandle(const item_t* clip, int32_t handle)
{
    if (!clip || handle < 0 || handle >= handleCount(clip)) return handleCursor_t::arrow;
    if (handle == 0) return handleCursor_t::move;
    if (isRoundClip(clip)) return handle % 2 == 1 ? handleCursor_t::vertical : handleCursor_t::horizontal;
    switch (handle) {
    case 1:
    case 3: return handleCursor_t::diagonalNwSe;
    case 2:
    case 4: return handleCursor_t::diagonalNeSw;
    case 5:
    case 7: return handleCursor_t::vertical;
    default: return handleCursor_t::horizontal;
    }
}

void dragClipHandle(item_t* clip, int32_t handle, int32_t dx, int32_t dy, point_t mouse)
{
    if (isRoundClip(clip)) {
        if (handle == 0) {
            clip->x1 = clip->refX1 + dx;
            clip->y1 = clip->refY1 + dy;
            clip->x2 = clip->refX2 + dx;
            clip->y2 = clip->refY2 + dy;
        } else {
            clip->x1 = clip->refX1;
            clip->y1 = clip->refY1;
            clip->x2 = mouse.x;
            clip->y2 = mouse.y;
        }
        normaliseClip(clip);
        return;
    }
    int32_t l = clip->refX1, t = clip->refY1, r = clip->refX2, b = clip->refY2;
    const bool left = handle == 0 || handle == 1 || handle == 4 || handle == 8;
    const bool right = handle == 0 || handle == 2 || handle == 3 || handle == 6;
    const bool top = handle == 0 || handle == 1 || handle == 2 || handle == 5;
    const bool bottom = handle == 0 || handle == 3 || handle == 4 || handle == 7;
    if (left) l += dx;
    if (right) r += dx;
    if (top) t += dy;
    if (bottom) b += dy;
    clip->x1 = l;
    clip->y1 = t;
    clip->x2 = r;
    clip->y2 = b;
    normaliseClip(clip);
}

bool eraseSelectedClip(itemList_t& clips)
{
    bool any = false;
    for (item_t* c : visibleClips(clips)) any = any || isSelected(c);
    if (!any) return false;
    for (item_t* v : beginEdit(clips)) {
        v->itemType = typeDeletionMarker;
        setSelected(clips, v, false);
    }
    invalidateIds(clips);
    return true;
}

clipCounts_t countClips(const itemList_t& clips)
{
    clipCounts_t n;
    for (const item_t* c : visibleClips(clips)) {
        if (!usableClip(c)) continue;
        if (isRoundClip(c)) ++n.rounds;
        else ++n.rectangles;
    }
    return n;
}

bool isSideways(int32_t orientation) { return orientation == 90 || orientation == 270; }

namespace {

// Every clip record, whatever its version, through `move` (x, y) -> (x, y).
template <typename Move>
void moveAllClips(itemList_t& clips, Move move)
{
    for (item_t* it = clips.head; it; it = it->next) {
        if (it->kind != kindItem || !isClip(it)) continue;
        move(it->x1, it->y1);
        move(it->x2, it->y2);
        move(it->refX1, it->refY1);
        move(it->refX2, it->refY2);
        normaliseClip(it);
    }
}

} // namespace

void mirrorPicture(pictureView_t& view, itemList_t& clips, int32_t width)
{
    if (isSideways(view.orientation)) view.flipY = -view.flipY;
    else view.flipX = -view.flipX;
    moveAllClips(clips, [width](int32_t& x, int32_t&) { x = width - x; });
}

void flipPicture(pictureView_t& view, itemList_t& clips, int32_t height)
{
    if (isSideways(view.orientation)) view.flipX = -view.flipX;
    else view.flipY = -view.flipY;
    moveAllClips(clips, [height](int32_t&, int32_t& y) { y = height - y; });
}

void rotatePictureRight(pictureView_t& view, itemList_t& clips, int32_t height)
{
    view.orientation -= 90;
    if (view.orientation < 0) view.orientation += 360;
    moveAllClips(clips, [height](int32_t& x, int32_t& y) {
        const int32_t nx = height - y, ny = x;
        x = nx;
        y = ny;
    });
}

void rotatePictureLeft(pictureView_t& view, itemList_t& clips, int32_t width)
{
    view.orientation += 90;
    if (view.orientation > 360) view.orientation -= 360;
    moveAllClips(clips, [width](int32_t& x, int32_t& y) {
        const int32_t nx = y, ny = width - x;
        x = nx;
        y = ny;
    });
}

std::array<int32_t, 4> entireImageSource(int32_t width, int32_t height, double zoom)
{
    auto side = [zoom](int32_t shown) {
        int32_t s = zoom > 0 ? roundHalfEven(static_cast<long double>(shown) / zoom) : shown;
        if (s > 0 && s % 2 == 0) --s;
        return s;
    };
    return {0, 0, side(width), side(height)};
}

} // namespace model
