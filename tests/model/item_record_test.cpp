// Record layout and the primitive list operations.
#include "model/itemlist.h"

#include <gtest/gtest.h>

using namespace model;

TEST(ItemList, NewItemOnEmptyListIsHeadAndTailWithStepOne)
{
    itemList_t l;
    item_t* it = newItem(l, typeLine);
    EXPECT_EQ(it->stepId, 1);
    EXPECT_EQ(l.head, it);
    EXPECT_EQ(l.tail, it);
    EXPECT_EQ(it->magic, recordMagic);
    EXPECT_EQ(it->fillColor, -2);
    EXPECT_EQ(fontNameOf(it), "Arial");
    freeList(l);
}

TEST(ItemList, TextOffsetCountsEarlierLinesWithTheirSeparator)
{
    itemList_t l;
    item_t* it = newItem(l, typeText);
    setText(it, u"ab\u07ECcdef");
    EXPECT_EQ(textOffset(it, 3, 2), 6);
    EXPECT_EQ(textLineCount(it), 2);
    freeList(l);
}
