// Arrowheads at the ends of open line-like items (lines, open splines and
// curves, arcs): which kind sits at each end and how large it is drawn. They
// are kept as extension values of the item, so a reader that does not know
// them draws the bare line and loses nothing.
#pragma once

#include "model/item.h"

#include <cstdint>

namespace model {

enum class headKind_t : int32_t { none = 0, open = 1, filled = 2, circle = 3, diamond = 4, bar = 5 };
constexpr int32_t headKindCount = 6;

// Sizes relative to the line weight.
enum class headSize_t : int32_t { small = 0, medium = 1, large = 2 };
constexpr int32_t headSizeCount = 3;

// Extension keys of the head values (integers, layout version 1).
inline constexpr const char* headStartKey = "fc.head.start";
inline constexpr const char* headEndKey = "fc.head.end";
inline constexpr const char* headSizeKey = "fc.head.size";

struct lineHeads_t {
    headKind_t start = headKind_t::none;
    headKind_t end = headKind_t::none;
    headSize_t size = headSize_t::medium;
    bool any() const { return start != headKind_t::none || end != headKind_t::none; }
    bool operator==(const lineHeads_t&) const = default;
};

// A stored kind or size code as a value: codes out of range read as none
// and as the nearest size, so damaged or hostile values never reach the drawing.
headKind_t headKindOf(int64_t code);
headSize_t headSizeOf(int64_t code);

// Whether the item's type and variant draw an open path that can end in heads.
bool takesHeads(const item_t* item);
// The item's heads; none for an item that cannot carry them.
lineHeads_t headsOf(const item_t* item);
// Stores the heads (removing the values of ends without a head, so an item
// without heads carries nothing); false when the item cannot carry them.
bool setHeads(item_t* item, const lineHeads_t& heads);

} // namespace model
