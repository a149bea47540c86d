#include "render/picturecache.h"

#include "model/itemlist.h"

namespace render {

namespace {

size_t at(pictureStage_t s) { return static_cast<size_t>(s); }

void releaseSerial(uint64_t serial) { pictureCache().dropSerial(serial); }

} // namespace

bool pictureCache_t::find(const model::item_t* item, pictureStage_t stage, const std::string& attributes,
                          processedPicture_t& out) const
{
    std::lock_guard lock(mutex_);
    const auto s = slots_.find(item->cacheSerial);
    if (s == slots_.end() || !s->second.present[at(stage)] || s->second.attributes[at(stage)] != attributes)
        return false;
    out = s->second.picture[at(stage)];
    return true;
}

void pictureCache_t::store(const model::item_t* item, pictureStage_t stage, std::string attributes,
                           processedPicture_t picture)
{
    std::lock_guard lock(mutex_);
    slot_t& s = slots_[item->cacheSerial];
    s.attributes[at(stage)] = std::move(attributes);
    s.picture[at(stage)] = std::move(picture);
    s.present[at(stage)] = true;
    item->cacheHeld = true;
}

bool pictureCache_t::holds(const model::item_t* item, pictureStage_t stage) const
{
    std::lock_guard lock(mutex_);
    const auto s = slots_.find(item->cacheSerial);
    return s != slots_.end() && s->second.present[at(stage)];
}

void pictureCache_t::drop(const model::item_t* item) { dropSerial(item->cacheSerial); }

void pictureCache_t::drop(const model::item_t* item, pictureStage_t stage)
{
    std::lock_guard lock(mutex_);
    const auto s = slots_.find(item->cacheSerial);
    if (s == slots_.end()) return;
    s->second.present[at(stage)] = false;
    s->second.picture[at(stage)] = {};
    s->second.attributes[at(stage)].clear();
    if (!s->second.present[0] && !s->second.present[1]) slots_.erase(s);
}

void pictureCache_t::dropSerial(uint64_t serial)
{
    std::lock_guard lock(mutex_);
    slots_.erase(serial);
    handedOver_.erase(serial);
}

void pictureCache_t::clear()
{
    std::lock_guard lock(mutex_);
    slots_.clear();
    handedOver_.clear();
}

void pictureCache_t::handOverDecoded(const model::item_t* pictureData, QImage decoded)
{
    if (!pictureData || decoded.isNull()) return;
    std::lock_guard lock(mutex_);
    handedOver_[pictureData->cacheSerial] = std::move(decoded);
    pictureData->cacheHeld = true;
}

QImage pictureCache_t::takeDecoded(const model::item_t* pictureData)
{
    std::lock_guard lock(mutex_);
    const auto at = handedOver_.find(pictureData->cacheSerial);
    if (at == handedOver_.end()) return {};
    QImage decoded = std::move(at->second);
    handedOver_.erase(at);
    return decoded;
}

bool pictureCache_t::holdsDecoded(const model::item_t* pictureData) const
{
    std::lock_guard lock(mutex_);
    return handedOver_.count(pictureData->cacheSerial) != 0;
}

size_t pictureCache_t::itemCount() const
{
    std::lock_guard lock(mutex_);
    return slots_.size();
}

pictureCache_t& pictureCache()
{
    // Never destroyed: records freed at exit (the clipboard's) still call in.
    static pictureCache_t* cache = [] {
        auto* c = new pictureCache_t;
        model::setCacheRelease(&releaseSerial);
        return c;
    }();
    return *cache;
}

} // namespace render
