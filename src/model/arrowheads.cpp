#include "model/arrowheads.h"

#include "model/extensions.h"

#include <algorithm>

namespace model {

headKind_t headKindOf(int64_t code)
{
    if (code < 0 || code >= headKindCount) return headKind_t::none;
    return static_cast<headKind_t>(code);
}

headSize_t headSizeOf(int64_t code)
{
    return static_cast<headSize_t>(std::clamp<int64_t>(code, 0, headSizeCount - 1));
}

bool takesHeads(const item_t* item)
{
    if (!item || item->kind != kindItem) return false;
    switch (item->itemType) {
    case typeLine:
    case typeArc: return true;
    case typeSpline:
    case typeCurve: return item->shapeVariant == variantOpen;
    default: return false;
    }
}

lineHeads_t headsOf(const item_t* item)
{
    lineHeads_t h;
    if (!takesHeads(item)) return h;
    const extensionData_t* ext = findExtensions(item);
    if (!ext) return h;
    if (auto v = ext->integer(headStartKey)) h.start = headKindOf(*v);
    if (auto v = ext->integer(headEndKey)) h.end = headKindOf(*v);
    if (auto v = ext->integer(headSizeKey)) h.size = headSizeOf(*v);
    return h;
}

bool setHeads(item_t* item, const lineHeads_t& heads)
{
    if (!takesHeads(item)) return false;
    if (!heads.any()) {
        // Nothing made on first use for an item that never had heads.
        if (findExtensions(item)) {
            extensionData_t& ext = extensionsOf(item);
            ext.remove(headStartKey);
            ext.remove(headEndKey);
            ext.remove(headSizeKey);
        }
        return true;
    }
    extensionData_t& ext = extensionsOf(item);
    auto put = [&](const char* key, headKind_t k) {
        if (k == headKind_t::none) ext.remove(key);
        else ext.setInteger(key, static_cast<int64_t>(k));
    };
    put(headStartKey, heads.start);
    put(headEndKey, heads.end);
    ext.setInteger(headSizeKey, static_cast<int64_t>(heads.size));
    return true;
}

} // namespace model
