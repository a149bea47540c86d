// The spatial index over a list's records gives what a walk over every record
// gives: the records whose rectangle meets the query (edges inclusive), in
// list order, while the list changes between queries.
#include "model/itemlist.h"
#include "model/spatialindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using namespace model;

namespace {

// A record's rectangle is its box; records of other kinds take no part.
bool boxOf(const item_t* it, spatialRect_t& out)
{
    if (it->kind != kindItem) return false;
    out = {it->boxLeft, it->boxTop, it->boxRight, it->boxBottom};
    return true;
}

item_t* boxItem(itemList_t& l, spatialRect_t r)
{
    item_t* it = newItem(l, typeRectangle);
    it->boxLeft = r.left;
    it->boxTop = r.top;
    it->boxRight = r.right;
    it->boxBottom = r.bottom;
    return it;
}

// The walk the index stands in for, with its own inclusive comparison.
std::vector<item_t*> walk(itemList_t& l, spatialRect_t area)
{
    std::vector<item_t*> out;
    for (item_t* it = l.head; it; it = it->next) {
        spatialRect_t r;
        if (!boxOf(it, r)) continue;
        const bool apartX = int64_t(r.right) < area.left || int64_t(area.right) < r.left;
        const bool apartY = int64_t(r.bottom) < area.top || int64_t(area.bottom) < r.top;
        if (!apartX && !apartY) out.push_back(it);
    }
    return out;
}

std::string text(spatialRect_t r)
{
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

struct listHolder {
    itemList_t l;
    ~listHolder() { freeList(l); }
};

} // namespace

// A query that only touches a box at an edge or a corner finds it; one pixel
// further off it does not. Edges meet at 0, across the cells of the grid
// (31|32, -33|-32), at negative and at large coordinates up to the ends of
// the 32-bit range. Each case runs with the box alone (the query is answered
// by looking at every filed record) and among a field of small boxes (the
// query is answered from the cells it covers).
TEST(SpatialIndex, TouchingBoxesAreFoundAsTheWalkFindsThem)
{
    constexpr int32_t hi = INT32_MAX, lo = INT32_MIN;
    const struct {
        spatialRect_t box, query;
        bool found;
    } cases[] = {
        // right edge of the box on the left edge of the query, and the other way round
        {{0, 0, 10, 10}, {10, 0, 20, 10}, true},
        {{0, 0, 10, 10}, {11, 0, 20, 10}, false},
        {{0, 0, 10, 10}, {-10, 0, 0, 10}, true},
        {{0, 0, 10, 10}, {-10, 0, -1, 10}, false},
        // bottom on top, top on bottom
        {{0, 0, 10, 10}, {0, 10, 10, 20}, true},
        {{0, 0, 10, 10}, {0, 11, 10, 20}, false},
        {{0, 0, 10, 10}, {0, -10, 10, 0}, true},
        {{0, 0, 10, 10}, {0, -10, 10, -1}, false},
        // corners only
        {{0, 0, 10, 10}, {10, 10, 20, 20}, true},
        {{0, 0, 10, 10}, {-5, -5, 0, 0}, true},
        {{0, 0, 10, 10}, {11, 10, 20, 20}, false},
        // a box of one pixel, a query of one pixel on it
        {{0, 0, 0, 0}, {0, 0, 0, 0}, true},
        // edges on a cell boundary, the two in different cells
        {{0, 0, 31, 31}, {31, 0, 40, 31}, true},
        {{0, 0, 31, 31}, {32, 0, 40, 31}, false},
        {{32, 32, 63, 63}, {0, 0, 32, 32}, true},
        {{-64, -64, -33, -33}, {-33, -33, -32, -32}, true},
        {{-64, -64, -33, -33}, {-32, -64, -1, -33}, false},
        {{-32, -32, -1, -1}, {-40, -40, -32, -32}, true},
        // negative coordinates
        {{-500, -300, -200, -100}, {-200, -150, -150, -120}, true},
        {{-500, -300, -200, -100}, {-199, -150, -150, -120}, false},
        {{-500, -300, -200, -100}, {-450, -100, -400, -50}, true},
        {{-500, -300, -200, -100}, {-450, -99, -400, -50}, false},
        // large coordinates, up to the ends of the range
        {{1 << 30, 1 << 30, (1 << 30) + 40, (1 << 30) + 40}, {(1 << 30) + 40, 1 << 30, (1 << 30) + 90, 1 << 30}, true},
        {{1 << 30, 1 << 30, (1 << 30) + 40, (1 << 30) + 40}, {(1 << 30) + 41, 1 << 30, (1 << 30) + 90, 1 << 30}, false},
        {{hi - 40, hi - 40, hi, hi}, {hi, hi, hi, hi}, true},
        {{hi - 40, hi - 40, hi - 1, hi - 1}, {hi, hi - 1, hi, hi}, false},
        {{hi - 100, 0, hi - 50, 10}, {hi - 50, 10, hi, 20}, true},
        {{lo, lo, lo + 40, lo + 40}, {lo + 40, lo + 40, lo + 90, lo + 90}, true},
        {{lo, lo, lo + 40, lo + 40}, {lo + 41, lo, lo + 90, lo + 90}, false},
        {{lo, 0, lo, 0}, {lo, 0, lo, 0}, true},
    };
    for (const auto& c : cases)
        for (bool crowded : {false, true}) {
            listHolder h;
            if (crowded)
                // Small boxes around the query, away from the case's box: the
                // grid then has more cells than the query covers.
                for (int i = 0; i < 400; ++i) {
                    const int64_t x = int64_t(c.query.left) + 300 + 37 * (i % 20), y = int64_t(c.query.top) + 300 + 41 * (i / 20);
                    if (x + 4 > INT32_MAX || y + 4 > INT32_MAX) {
                        const int64_t fx = int64_t(c.query.left) - 1200 + 37 * (i % 20), fy = int64_t(c.query.top) - 1200 + 41 * (i / 20);
                        boxItem(h.l, {int32_t(fx), int32_t(fy), int32_t(fx + 4), int32_t(fy + 4)});
                    } else {
                        boxItem(h.l, {int32_t(x), int32_t(y), int32_t(x + 4), int32_t(y + 4)});
                    }
                }
            item_t* it = boxItem(h.l, c.box);
            // The first query files the boxes; the second is answered by the grid.
            spatialQuery(h.l, {0, 0, 0, 0}, &boxOf);
            const std::vector<item_t*> got = spatialQuery(h.l, c.query, &boxOf);
            const bool found = std::find(got.begin(), got.end(), it) != got.end();
            const std::string what = text(c.box) + " query " + text(c.query) + (crowded ? " crowded" : " alone");
            EXPECT_EQ(found, c.found) << what;
            EXPECT_EQ(got, walk(h.l, c.query)) << what;
            ASSERT_TRUE(spatialIndexConsistent(h.l, &boxOf)) << what;
        }
}

// Random boxes and queries whose edges lie on a coarse lattice, so that many
// edges coincide, near 0, at negative and at large coordinates, while records
// come and go between the queries.
TEST(SpatialIndex, RandomBoxesWithCoincidingEdgesFollowTheWalk)
{
    uint32_t seed = 45;
    auto next = [&seed](int mod) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(mod));
    };
    for (int64_t origin : {int64_t(-40), int64_t(-100000), int64_t(1) << 30, int64_t(INT32_MAX) - 16 * 40,
                           int64_t(INT32_MIN)}) {
        listHolder h;
        // A lattice of 16 pixels over 40 × 40 steps from the origin.
        auto at = [&](int step) { return int32_t(origin + 16 * int64_t(step)); };
        auto randomRect = [&](int maxSpan) {
            const int a = next(40), b = next(40);
            const int x = std::min(a, 40 - maxSpan), y = std::min(b, 40 - maxSpan);
            const int w = next(maxSpan + 1), hgt = next(maxSpan + 1);
            return spatialRect_t{at(x), at(y), at(x + w), at(y + hgt)};
        };
        std::vector<item_t*> live;
        for (int i = 0; i < 300; ++i) live.push_back(boxItem(h.l, randomRect(4)));
        for (int n = 0; n < 1500; ++n) {
            if (n % 25 == 24) {
                // Some records leave, new ones come (filed at the next query).
                for (int k = 0; k < 5 && !live.empty(); ++k) {
                    const size_t i = size_t(next(int(live.size())));
                    deleteItem(h.l, live[i]);
                    live.erase(live.begin() + std::ptrdiff_t(i));
                }
                for (int k = 0; k < 5; ++k) live.push_back(boxItem(h.l, randomRect(4)));
            }
            // Mostly small queries (answered from the cells), some wide ones.
            const spatialRect_t q = randomRect(n % 10 == 0 ? 30 : 3);
            EXPECT_EQ(spatialQuery(h.l, q, &boxOf), walk(h.l, q)) << text(q) << " query " << n;
            ASSERT_TRUE(spatialIndexConsistent(h.l, &boxOf)) << "query " << n;
        }
    }
}
