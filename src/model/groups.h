// Groups: the kind 0 records of a list that share a groupId above 0, with one
// group handle record (type 1005000) at the group's centre. Selection queries
// used by the group commands, and the list parts of Join Items and Split Group.
#pragma once

#include "model/item.h"

#include <vector>

namespace model {

struct groupPoint_t {
    int32_t x = 0;
    int32_t y = 0;
};

// 1 + the largest groupId among kind 0 records, hidden versions included.
int32_t nextGroupId(itemList_t& list);
// Makes the group ids 1..n: the highest id repeatedly fills the lowest gap.
void compactGroupIds(itemList_t& list);
// The same, given every kind 0 record of the list in list order.
void compactGroupIds(itemList_t& list, const std::vector<item_t*>& records);
// Centre of the selected members (group handles aside) of a group; (0, 0) when none.
groupPoint_t groupCentre(itemList_t& list, int32_t id);

// Selected items; with groupsAsOne all selected records of one group count once.
int32_t countSelectionUnits(itemList_t& list, bool groupsAsOne);
bool selectionHasGroup(itemList_t& list);

// Join Items: one history step that puts every selected record into one new
// flat group with a new handle at its centre; handles of joined groups become
// deletion markers. Returns the new handle, or none when the selection holds
// nothing but group handles (the versions are still recorded) or nothing.
item_t* joinItems(itemList_t& list);
// Split Group: one history step that ungroups every selected record, turns the
// selected handles into deletion markers and leaves nothing selected. Returns
// the number of records ungrouped.
int32_t splitGroup(itemList_t& list);

} // namespace model
