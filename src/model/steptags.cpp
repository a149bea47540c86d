#include "model/steptags.h"

#include "model/history_index.h"
#include "model/itemlist.h"

#include <random>

namespace model {

int32_t drawFreeTag(const std::function<int32_t()>& draw, const std::function<bool(int32_t)>& inUse)
{
    for (;;) {
        const int32_t t = draw();
        if (t < 0 || t == 2147483647) continue;
        if (!inUse || !inUse(t)) return t;
    }
}

int32_t tagSelected(itemList_t& list, int32_t tag)
{
    int32_t n = 0;
    for (item_t* it = list.head; it; it = it->next) {
        if (!isSelected(it)) continue;
        auto* node = new tagNode_t;
        node->tag = tag;
        appendNode(it->tags, node);
        ++n;
    }
    return n;
}

bool isTaggable(const item_t* it)
{
    if (!it || it->kind != kindItem || it->hidden || it->editing) return false;
    const int32_t t = it->itemType;
    return t == typeText || (t >= typeLine && t <= typeShapeLast) || t == typePictureWork || t == typePicture;
}

bool carriesTag(const item_t* it, int32_t tag)
{
    for (const tagNode_t* n = it->tags.head; n; n = n->next)
        if (n->tag == tag) return true;
    return false;
}

bool selectTagged(itemList_t& list, int32_t tag)
{
    selectOnly(list, nullptr);
    bool any = false;
    for (item_t* it = list.head; it; it = it->next) {
        if (isTaggable(it) && carriesTag(it, tag)) {
            setSelected(list, it, true);
            any = true;
        }
    }
    return any;
}

bool holdsTagged(const itemList_t& list, int32_t tag)
{
    for (const item_t* it = list.head; it; it = it->next)
        if (isTaggable(it) && carriesTag(it, tag)) return true;
    return false;
}

int32_t randomTag()
{
    static std::mt19937 engine{std::random_device{}()};
    return std::uniform_int_distribution<int32_t>(0, 2147483646)(engine);
}

} // namespace model
