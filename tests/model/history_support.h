// Helpers for the history, group and clipboard tests: documents with drawn
// items, selections made the way the editor makes them, and views of what a
// document shows.
#pragma once

#include "docfile_support.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace testsupport {

// A new document whose header and grid-anchor record are where every
// history starts (committed), as the editor creates one.
inline void newDoc(model::itemList_t& list)
{
    newDocument(list);
    model::findByType(list, model::typeGrid)->undoState = model::stateCommitted;
    model::invalidateIds(list);
}

// Draws an item as the insertion tools do: created, placed, recorded as a step.
inline model::item_t* draw(model::itemList_t& list, int32_t type, int32_t x, int32_t y, int32_t w = 20, int32_t h = 10)
{
    model::item_t* it = model::newItem(list, type);
    it->x1 = x;
    it->y1 = y;
    it->x2 = x + w;
    it->y2 = y + h;
    it->boxLeft = x;
    it->boxTop = y;
    it->boxRight = x + w;
    it->boxBottom = y + h;
    it->boxWidth = w;
    it->boxHeight = h;
    if (type == model::typeText) model::setText(it, u"abc");
    model::computeMeasure(it);
    it->reserved8 = it->stepId;  // label that every later version carries
    model::recordNew(list, it);
    return it;
}

// A picture data record as the picture import appends it.
inline model::item_t* pictureData(model::itemList_t& list, int32_t pictureId)
{
    auto* d = new model::item_t;
    d->kind = model::kindPictureData;
    d->itemType = model::typePictureData;
    d->magic = model::recordMagic;
    d->pictureId = pictureId;
    model::appendItem(list, d);
    return d;
}

// A picture item showing that picture data, drawn as one step.
inline model::item_t* drawPicture(model::itemList_t& list, int32_t pictureId, int32_t x = 0, int32_t y = 0)
{
    model::item_t* p = draw(list, model::typePicture, x, y);
    p->pictureId = pictureId;
    return p;
}

inline void selectItems(model::itemList_t& list, std::initializer_list<model::item_t*> items)
{
    model::deselectAll(list);
    for (model::item_t* it : items) model::setSelected(list, it, true);
}

inline void selectItems(model::itemList_t& list, const std::vector<model::item_t*>& items)
{
    model::deselectAll(list);
    for (model::item_t* it : items) model::setSelected(list, it, true);
}

// The visible version of the item whose first version was `first` (the test
// labels every item in the reserved field at offset 8, which versions copy).
inline model::item_t* current(model::itemList_t& list, int32_t label)
{
    for (model::item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && it->reserved8 == label &&
            it->itemType != model::typeDeletionMarker)
            return it;
    return nullptr;
}

inline int32_t countType(const model::itemList_t& list, int32_t type, bool visibleOnly)
{
    int32_t n = 0;
    for (const model::item_t* it = list.head; it; it = it->next)
        if (it->itemType == type && it->kind == model::kindItem && (!visibleOnly || !it->hidden)) ++n;
    return n;
}

inline std::vector<int32_t> stepIds(const model::itemList_t& list)
{
    std::vector<int32_t> v;
    for (const model::item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem) v.push_back(it->stepId);
    return v;
}

// Checks the list's cached ids and lookup tables against full walks.
inline void expectTablesConsistent(model::itemList_t& list)
{
    EXPECT_TRUE(model::idCacheConsistent(list));
    EXPECT_TRUE(model::historyIndexConsistent(list));
}

} // namespace testsupport
