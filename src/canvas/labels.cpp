#include "canvas/labels.h"

#include "canvas/creation.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/textediting.h"
#include "geometry/connectionpoints.h"
#include "model/history_index.h"
#include "model/links.h"
#include "render/text.h"

namespace canvas {

using geometry::point_t;
using model::item_t;

void centreText(item_t* text, point_t middle)
{
    render::textBox(text);
    const geometry::quadrangle_t band = render::textBand(text);
    int64_t sx = 0, sy = 0;
    for (const point_t& p : band) {
        sx += p.x;
        sy += p.y;
    }
    const int64_t dx = int64_t(middle.x) - model::roundHalfEven(sx / 4.0L);
    const int64_t dy = int64_t(middle.y) - model::roundHalfEven(sy / 4.0L);
    render::setTextBaseline(text, {geometry::clampToInt32(text->x1 + dx), geometry::clampToInt32(text->y1 + dy)},
                            {geometry::clampToInt32(text->x2 + dx), geometry::clampToInt32(text->y2 + dy)});
    render::textBox(text);
}

void recentreLabel(model::itemList_t& list, item_t* text)
{
    const int64_t of = model::labelOf(text);
    if (!of || !model::isCurrent(text)) return;
    // One walk finds the shape: no table is needed for a single identity.
    const item_t* shape = nullptr;
    for (const item_t* it = list.head; it; it = it->next) {
        if (!model::isCurrent(it) || model::linkId(it) != of || !model::isLinkTarget(it)) continue;
        // An identity two visible shapes claim names none.
        if (shape) return;
        shape = it;
    }
    if (shape) centreText(text, geometry::shapeMiddle(shape));
}

item_t* createLabel(TSandbox& w, item_t* shape)
{
    if (!model::isCurrent(shape) || !model::isLinkTarget(shape)) return nullptr;
    const point_t middle = geometry::shapeMiddle(shape);
    const point_t at = w.toScreen(middle);
    creationContext_t ctx{w.items(), params(), w.zoomFactor(), w.viewOrigin()};
    item_t* text = createText(ctx, at, at, u"");
    if (!text) return nullptr;
    // Typing grows it from its middle, so that it stays centred.
    text->justification = justifyCentre;
    model::setLabelOf(text, model::ensureLinkId(w.items(), shape));
    centreText(text, middle);
    return text;
}

bool editLabel(TSandbox& w, item_t* shape)
{
    if (!model::isCurrent(shape) || !model::isLinkTarget(shape)) return false;
    item_t* label = nullptr;
    if (const int64_t id = model::linkId(shape)) {
        const model::linkTable_t table(w.items());
        if (table.shape(id) == shape) label = table.labelFor(id);
    }
    w.eraseMarks();
    const bool fresh = !label;
    if (fresh) label = createLabel(w, shape);
    if (!label) return false;
    model::selectOnly(w.items(), label);
    // A label just made is typed into as it stands, so that making and typing
    // it are undone together.
    w.textEditor().startEditing(fresh);
    if (w.host()) w.host()->editStateChanged(&w);
    return true;
}

} // namespace canvas
