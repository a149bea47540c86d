// Glued line ends and labels on the canvas: finding the connection point
// under the mouse, gluing the ends of a line drawn or reshaped there, the
// small marks a line tool shows on the shape under the mouse, and making
// the lines and labels of edited shapes follow them.
#pragma once

#include "geometry/units.h"
#include "model/item.h"
#include "model/links.h"
#include "render/renderpass.h"


#include <cstdint>
#include <memory>
#include <vector>

namespace canvas {

class TSandbox;

// How near (canvas pixels) a line end must come to a connection point to be glued.
constexpr int32_t glueReachPx = 6;
// Side of the mark drawn at a connection point (canvas pixels).
constexpr int32_t connectionMarkPx = 5;

struct connectionHit_t {
    model::item_t* shape = nullptr;  // none: no connection point near
    int32_t index = -1;
    geometry::point_t at;  // document pixels
};

// The connection point nearest to `screen` within glueReachPx, of the shapes
// lines can be glued to (the front-most shape on a tie), never of `except`.
connectionHit_t connectionNear(TSandbox& w, geometry::point_t screen, const model::item_t* except = nullptr);

// Puts end `end` of a line or open path at `p` (document pixels).
void setLineEnd(model::item_t* line, model::lineEnd_t end, geometry::point_t p);

// Each chosen end of `line` (a version of the current step) that lies near a
// connection point goes onto it and is glued there; the others lose their glue.
void glueEndsNear(TSandbox& w, model::item_t* line, bool start, bool end);

// The small marks at the connection points of the shape under the mouse,
// shown while a line is being drawn.
class connectionMarks_t {
public:
    // Marks the shape under (or beside) canvas position `screen`; none there: the marks go.
    void show(TSandbox& w, geometry::point_t screen);
    void erase(TSandbox& w);
    void lost() { under_.valid = false; shape_ = nullptr; }

private:
    render::savedArea_t under_;
    const model::item_t* shape_ = nullptr;
};

// What a drag keeps of the links of the items it changes: the table made at
// its start and the lines and labels that follow the dragged shapes.
struct dragLinks_t {
    std::unique_ptr<model::linkTable_t> table;
    std::vector<model::item_t*> followers;
};

// The lines and labels of the edited shapes (current versions of one step)
// follow them; labels are laid out again. Returns the versions changed.
std::vector<model::item_t*> followShapes(TSandbox& w, model::linkTable_t& table,
                                         const std::vector<model::item_t*>& edited, bool turning);

// The same after a command (a nudge, an alignment, a gridline move, a mirror
// or quarter turn) that made `versions` in one step; labels turn with their
// shapes when `turning`. Glued ends of lines of the step that no longer lie
// on their points lose their glue.
void followCommand(TSandbox& w, const std::vector<model::item_t*>& versions, bool turning = false);

// The same after a command that may have changed which connection points the
// shapes in `versions` have (their type, sides or points): glued ends go to
// the nearest point of the new outline, or come loose from a shape that can
// no longer be glued to, in the same step. True when a line or label
// changed (the caller paints the canvas again whole).
bool followOutlineChange(TSandbox& w, const std::vector<model::item_t*>& versions);

// The label of each selected shape joins the selection (erasing a shape erases its label).
void selectLabels(model::itemList_t& list);

} // namespace canvas
