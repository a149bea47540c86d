// Primitive operations on records and item lists: create, clone, delete, find,
// identifiers, selection flags and the item's text buffer.
#pragma once

#include "model/item.h"

#include <string>

namespace model {

// --- node lists (points, marks, tags, anchors) ---

template <typename Node>
void appendNode(nodeList_t<Node>& l, Node* n)
{
    n->prev = l.tail;
    n->next = nullptr;
    if (l.tail) l.tail->next = n; else l.head = n;
    l.tail = n;
}

template <typename Node>
void unlinkNode(nodeList_t<Node>& l, Node* n)
{
    if (n->prev) n->prev->next = n->next; else l.head = n->next;
    if (n->next) n->next->prev = n->prev; else l.tail = n->prev;
    n->prev = n->next = nullptr;
}

template <typename Node>
void freeNodes(nodeList_t<Node>& l)
{
    for (Node* n = l.head; n;) {
        Node* nx = n->next;
        delete n;
        n = nx;
    }
    l.head = l.tail = nullptr;
}

template <typename Node>
int32_t countNodes(const nodeList_t<Node>& l)
{
    int32_t c = 0;
    for (const Node* n = l.head; n; n = n->next) ++c;
    return c;
}

// Appends a point node with the given payload.
pointNode_t* addPoint(item_t* item, const pointPayload_t& p);
// Appends a point node at (x, y), all other fields zero.
pointNode_t* addPoint(item_t* item, int32_t x, int32_t y);

// --- records ---

// Caches above the model (decoded pictures) keep what they made of a record
// under its cacheSerial; this is how they learn that it may go: the record
// is freed, or undo or redo takes it off or puts it back on the page.
using cacheRelease_t = void (*)(uint64_t cacheSerial);
void setCacheRelease(cacheRelease_t release);
// Calls the release for the record when a cache holds something for it.
void releaseCaches(const item_t* item);

item_t* newItem(itemList_t& list, int32_t itemType);
item_t* cloneItem(itemList_t& list, const item_t* source);
// Appends a record built elsewhere (the file reader) at the tail.
void appendItem(itemList_t& list, item_t* item);
// Unlinks without freeing.
void unlinkItem(itemList_t& list, item_t* item);
void deleteItem(itemList_t& list, item_t* item);
void freeList(itemList_t& list);
// Moves every record of `from` to `to` (which must be empty), leaving `from` empty.
void moveList(itemList_t& from, itemList_t& to);
int32_t countItems(const itemList_t& list);

// Recomputes mx1..my2 from the pixel points (x × pixels per millimetre).
void computeMeasure(item_t* item);

item_t* findByType(const itemList_t& list, int32_t itemType);
item_t* findVisibleByType(const itemList_t& list, int32_t itemType);
// findByType(list, 2000000), answered from a cache kept by the list operations.
item_t* findHeader(const itemList_t& list);

bool isSelected(const item_t* item);
void selectOnly(itemList_t& list, item_t* item);
void selectLast(itemList_t& list);
item_t* firstSelected(const itemList_t& list);
item_t* singleSelected(const itemList_t& list);

void setModified(itemList_t& list, bool modified);
bool isModified(const itemList_t& list);
bool isPristine(const itemList_t& list);

// --- identifiers ---
// The maxima are cached in the list. Code that raises a stepId, actionId,
// zOrder or groupId of a kind 0 record after creation calls noteIds; code that
// lowers one (renumbering, stacking repairs, compaction), or changes the kind
// or the type of a record already in the list, calls invalidateIds.
int32_t nextStepId(itemList_t& list);
int32_t nextActionId(itemList_t& list);
int32_t maxZOrder(itemList_t& list);
int32_t maxGroupId(itemList_t& list);
void noteIds(itemList_t& list, const item_t* item);
void invalidateIds(itemList_t& list);
// True when the cache agrees with a full walk (used by tests).
bool idCacheConsistent(itemList_t& list);

item_t* itemAtZ(const itemList_t& list, int32_t z);

// Lowest pattern-definition id in use minus 1 (-1 when there is none).
int32_t nextPatternId(const itemList_t& list);

// --- pictures ---
// Every list a new picture id must be unique across (all open documents).
struct pictureIdScope_t {
    const itemList_t* const* lists;
    int32_t count;
};
int32_t newPictureId(pictureIdScope_t scope);
item_t* findPictureData(const itemList_t& list, int32_t pictureId);

// --- text buffer ---
int32_t textLineCount(const item_t* item);
int32_t textLength(const item_t* item);
int32_t textOffset(const item_t* item, int32_t column, int32_t line);
std::u16string getText(const item_t* item);
void setText(item_t* item, const std::u16string& text);

// Font name as stored: a length byte and up to 32 single-byte characters.
std::string fontNameOf(const item_t* item);
void setFontName(item_t* item, const std::string& name);

} // namespace model
