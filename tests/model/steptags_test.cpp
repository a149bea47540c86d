// Step tags: drawing a free tag, tagging the selection and selecting the
// tagged items again.
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/steptags.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

TEST(StepTags, DrawnTagIsInRangeAndNotInUse)
{
    std::deque<int32_t> script{-5, 2147483647, 7, 9};
    auto draw = [&script] {
        const int32_t t = script.front();
        script.pop_front();
        return t;
    };
    EXPECT_EQ(model::drawFreeTag(draw, [](int32_t t) { return t == 7; }), 9);
    EXPECT_TRUE(script.empty());
}

TEST(StepTags, OnlyVisibleUneditedDrawableItemsAreSelectedAgain)
{
    model::itemList_t list;
    const struct {
        int32_t type;
        bool hidden, editing, selected;
        bool selectedAgain;
    } rows[] = {
        {model::typeRectangle, false, false, true, true},  {model::typeText, false, false, true, true},
        {model::typeLine, true, false, true, false},       {model::typeCircle, false, true, true, false},
        {model::typeGroupHandle, false, false, true, false}, {model::typeStar, false, false, false, false},
    };
    std::vector<model::item_t*> items;
    for (const auto& r : rows) {
        model::item_t* it = model::newItem(list, r.type);
        it->selected = r.selected ? 255 : 0;
        items.push_back(it);
    }
    // Every selected record is tagged; afterwards some are erased or edited.
    EXPECT_EQ(model::tagSelected(list, 42), 5);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->hidden = rows[i].hidden;
        items[i]->editing = rows[i].editing;
        items[i]->selected = 0;
    }
    EXPECT_TRUE(model::selectTagged(list, 42));
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(model::isSelected(items[i]), rows[i].selectedAgain) << i;
    EXPECT_TRUE(model::holdsTagged(list, 42));
    EXPECT_FALSE(model::selectTagged(list, 43));
    EXPECT_FALSE(model::firstSelected(list));
    model::freeList(list);
}

} // namespace
