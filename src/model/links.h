// Links between items: line ends glued to a shape's connection points and
// texts that are a shape's label. A linked shape carries an identity of its
// own (`fc.id`), which every version of it keeps, because an edit replaces a
// record by a new version; the current shape of an identity is its one
// visible version. The links are extension values, so a reader that does not
// know them keeps them and draws plain lines and texts.
//
// A link that does not resolve (to a missing or erased item, to an item of
// the wrong kind, to an identity two visible items claim) is ignored, never
// repaired: the glue comes back when undo shows its shape again.
#pragma once

#include "geometry/shapes.h"
#include "model/item.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace model {

constexpr const char* linkIdKey = "fc.id";
constexpr const char* glueStartKey = "fc.glue.start";
constexpr const char* glueStartPointKey = "fc.glue.start.pt";
constexpr const char* glueEndKey = "fc.glue.end";
constexpr const char* glueEndPointKey = "fc.glue.end.pt";
constexpr const char* labelOfKey = "fc.label.of";

enum class lineEnd_t { start, end };

struct glue_t {
    int64_t target = 0;  // the shape's identity
    int32_t point = 0;   // index into its connection points
};

// Whether an item can carry glue (a line, an open spline or curve) / be glued
// to or labelled (a closed shape: not a line, arc, open path, barcode, text or picture).
bool isGlueSource(const item_t* item);
bool isLinkTarget(const item_t* item);
// Whether the record is an item a user sees now.
bool isCurrent(const item_t* item);

// The item's identity; 0 when it has none (or a malformed one).
int64_t linkId(const item_t* item);
// The item's identity, given now (one above every identity in the list) when
// it has none.
int64_t ensureLinkId(itemList_t& list, item_t* item);

std::optional<glue_t> glueOf(const item_t* item, lineEnd_t end);
void setGlue(item_t* item, lineEnd_t end, glue_t glue);
void clearGlue(item_t* item, lineEnd_t end);
// The identity of the shape a text is the label of; 0 when none.
int64_t labelOf(const item_t* item);
void setLabelOf(item_t* item, int64_t target);

// Every current linked shape by identity and everything that hangs on each,
// from one walk of the list: made once per drag or command.
class linkTable_t {
public:
    explicit linkTable_t(itemList_t& list);
    // The current shape of an identity; null when none, several or not a shape.
    item_t* shape(int64_t id) const;
    // The current lines glued to / labels of the shape of an identity.
    const std::vector<item_t*>& dependents(int64_t id) const;
    // The label of a shape; null when it has none.
    item_t* labelFor(int64_t id) const;
    // A new version took the place of `was`.
    void replaced(item_t* was, item_t* now);
    bool empty() const { return dependents_.empty(); }

private:
    std::unordered_map<int64_t, item_t*> shapes_;
    std::unordered_map<int64_t, std::vector<item_t*>> dependents_;
};

// Where a glued end of `line` belongs now: the connection point of its
// shape; none when the end is not glued or its glue does not resolve.
std::optional<geometry::point_t> gluedPoint(const linkTable_t& table, const item_t* line, lineEnd_t end);

// Lays out a text again after its base line moved (the text box needs fonts,
// which the model does not have).
using textLayout_t = std::function<void(item_t* text)>;

// The glued lines and labels of `edited` (current versions of shapes changed
// by action `actionId`) follow them: a dependent not yet changed by the
// action gets a new version in it, and is then worked out again from the
// version it replaces, so that calling this for every mouse move of a drag
// never accumulates. Glued ends go to their connection points; a label moves
// with its shape's middle (and turns about it when `turning`). Returns the
// versions changed.
std::vector<item_t*> followEdited(itemList_t& list, linkTable_t& table, const std::vector<item_t*>& edited,
                                  int32_t actionId, bool turning, const textLayout_t& layout,
                                  geometry::handleSize_t handles = {});

// After an edit that may have changed which connection points a shape has
// (its type, its number of sides or points), each end glued to one of
// `edited` (current versions of shapes changed by action `actionId`) is glued
// to the new outline's connection point nearest to where the end lies, or
// comes loose when the shape can no longer be glued to; so no glue names a
// point that is gone or has moved to another place on the outline. A line
// not yet changed by the action gets a new version in it. Call before
// followEdited, which then puts the ends on their points. Returns the lines
// changed.
std::vector<item_t*> reglueToOutline(itemList_t& list, linkTable_t& table, const std::vector<item_t*>& edited,
                                     int32_t actionId);

// Drops the glue of ends of `lines` that no longer lie on their connection
// point (a line moved on its own). Returns the number of ends unglued.
int32_t dropLooseGlue(const linkTable_t& table, const std::vector<item_t*>& lines);

// Pasted or duplicated copies: each linked copy gets a fresh identity; glue
// and labels between copies point at the copies; links to items that were
// not copied are dropped.
void relinkCopies(itemList_t& list, const std::vector<item_t*>& copies);

} // namespace model
