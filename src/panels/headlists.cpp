// The arrowhead lists of the line and shape panels.
#include "panels/lineshapebase.h"

#include "canvas/sandbox.h"
#include "canvas/setters.h"
#include "model/arrowheads.h"
#include "model/history_index.h"

namespace panels {

namespace {

// The selection's common value of one head part; -1 when the items differ.
int32_t commonHeadValue(const std::vector<model::item_t*>& items, int32_t part)
{
    int32_t value = -1;
    bool first = true;
    for (const model::item_t* it : items) {
        if (!model::takesHeads(it)) continue;
        const model::lineHeads_t h = model::headsOf(it);
        const int32_t v = part == 0 ? int32_t(h.start) : part == 1 ? int32_t(h.end) : int32_t(h.size);
        if (first) value = v;
        else if (v != value) return -1;
        first = false;
    }
    return value;
}

} // namespace

void lineShapePanel_t::addHeadLists(const QString& namePrefix, int32_t& start, int32_t& end, int32_t& size)
{
    headSettings_ = {&start, &end, &size};
    const listKind_t kinds[3] = {listKind_t::headStart, listKind_t::headEnd, listKind_t::headSize};
    const QString labels[3] = {QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Arrow Size")};
    const QString names[3] = {QStringLiteral("HeadStart"), QStringLiteral("HeadEnd"), QStringLiteral("HeadSize")};
    for (int32_t k = 0; k < 3; ++k)
        headLists_[size_t(k)] = addList(2, kinds[k], labels[k], namePrefix + names[k], [this, k](int32_t i) { chooseHead(k, i); });
}

bool lineShapePanel_t::selectionTakesHeads()
{
    canvas::TSandbox* w = document();
    if (!w) return false;
    for (const model::item_t* it : model::collectSelected(w->items()))
        if (model::takesHeads(it)) return true;
    return false;
}

void lineShapePanel_t::fillHeadLists(bool shown)
{
    if (!headLists_[0]) return;
    canvas::TSandbox* w = fineTune_ ? document() : nullptr;
    const std::vector<model::item_t*> selected = w ? model::collectSelected(w->items()) : std::vector<model::item_t*>{};
    for (size_t k = 0; k < 3; ++k) {
        pickListBox_t* list = headLists_[k];
        list->setSampleColour(sampleColour());
        list->rebuild();
        setListShown(list, shown);
        const int32_t value = fineTune_ ? commonHeadValue(selected, int32_t(k)) : *headSettings_[k];
        highlight(list, value >= 0 && value < list->count() ? value : -1);
    }
}

void lineShapePanel_t::chooseHead(int32_t part, int32_t index)
{
    if (index < 0) return;
    if (!fineTune_) {
        *headSettings_[size_t(part)] = index;
    } else if (canvas::TSandbox* w = document()) {
        const canvas::headPart_t parts[3] = {canvas::headPart_t::start, canvas::headPart_t::end, canvas::headPart_t::size};
        canvas::setArrowhead(*w, parts[part], index);
    }
    recordStep();
}

} // namespace panels
