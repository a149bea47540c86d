#include "model/extensions.h"

#include "model/itemlist.h"

#include <algorithm>
#include <cstring>

namespace model {

namespace {

bool keyChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-'; }

std::vector<uint8_t> bytesOf(const void* p, size_t n)
{
    const auto* b = static_cast<const uint8_t*>(p);
    return {b, b + n};
}

void putLE(std::vector<uint8_t>& out, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint64_t getLE(const uint8_t* p, int bytes)
{
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint64_t(p[i]) << (8 * i);
    return v;
}

bool fixedSize(uint8_t type) { return type == uint8_t(extType_t::integer) || type == uint8_t(extType_t::number); }

bool wellFormed(const extEntry_t& e)
{
    if (!validExtensionKey(e.key) || e.version == 0) return false;
    return !fixedSize(e.type) || e.value.size() == 8;
}

} // namespace

bool validExtensionKey(std::string_view key)
{
    if (key.empty() || key.size() > extensionKeyLimit) return false;
    if (key.front() < 'a' || key.front() > 'z') return false;
    return std::all_of(key.begin(), key.end(), keyChar);
}

const extEntry_t* extensionData_t::find(std::string_view key) const
{
    for (const auto& e : entries_)
        if (e.key == key) return &e;
    return nullptr;
}

bool extensionData_t::put(extEntry_t entry)
{
    if (!wellFormed(entry)) return false;
    for (auto& e : entries_) {
        if (e.key == entry.key) {
            e = std::move(entry);
            return true;
        }
    }
    entries_.push_back(std::move(entry));
    return true;
}

bool extensionData_t::setInteger(std::string_view key, int64_t value, uint16_t version)
{
    return put({std::string(key), uint8_t(extType_t::integer), version, bytesOf(&value, 8)});
}

bool extensionData_t::setNumber(std::string_view key, double value, uint16_t version)
{
    return put({std::string(key), uint8_t(extType_t::number), version, bytesOf(&value, 8)});
}

bool extensionData_t::setText(std::string_view key, std::string_view utf8, uint16_t version)
{
    return put({std::string(key), uint8_t(extType_t::text), version, bytesOf(utf8.data(), utf8.size())});
}

bool extensionData_t::setBytes(std::string_view key, std::vector<uint8_t> value, uint16_t version)
{
    return put({std::string(key), uint8_t(extType_t::bytes), version, std::move(value)});
}

bool extensionData_t::remove(std::string_view key)
{
    const auto at = std::find_if(entries_.begin(), entries_.end(), [&](const extEntry_t& e) { return e.key == key; });
    if (at == entries_.end()) return false;
    entries_.erase(at);
    return true;
}

const extEntry_t* extensionData_t::typed(std::string_view key, extType_t type, uint16_t newestKnown) const
{
    const extEntry_t* e = find(key);
    return e && e->type == uint8_t(type) && e->version <= newestKnown ? e : nullptr;
}

std::optional<int64_t> extensionData_t::integer(std::string_view key, uint16_t newestKnown) const
{
    const extEntry_t* e = typed(key, extType_t::integer, newestKnown);
    if (!e) return std::nullopt;
    int64_t v;
    std::memcpy(&v, e->value.data(), 8);
    return v;
}

std::optional<double> extensionData_t::number(std::string_view key, uint16_t newestKnown) const
{
    const extEntry_t* e = typed(key, extType_t::number, newestKnown);
    if (!e) return std::nullopt;
    double v;
    std::memcpy(&v, e->value.data(), 8);
    return v;
}

std::optional<std::string> extensionData_t::text(std::string_view key, uint16_t newestKnown) const
{
    const extEntry_t* e = typed(key, extType_t::text, newestKnown);
    if (!e) return std::nullopt;
    return std::string(e->value.begin(), e->value.end());
}

std::optional<std::vector<uint8_t>> extensionData_t::bytes(std::string_view key, uint16_t newestKnown) const
{
    const extEntry_t* e = typed(key, extType_t::bytes, newestKnown);
    if (!e) return std::nullopt;
    return e->value;
}

extensionData_t& extensionsOf(item_t* item)
{
    if (!item->extensions) item->extensions = std::make_unique<extensionData_t>();
    return *item->extensions;
}

const extensionData_t* findExtensions(const item_t* item) { return item ? item->extensions.get() : nullptr; }

extensionData_t* documentExtensions(itemList_t& document)
{
    item_t* header = findHeader(document);
    return header ? &extensionsOf(header) : nullptr;
}

const extensionData_t* documentExtensions(const itemList_t& document)
{
    static const extensionData_t none;
    const item_t* header = findHeader(document);
    if (!header) return nullptr;
    return header->extensions ? header->extensions.get() : &none;
}

void clearExtensions(item_t* item)
{
    if (item) item->extensions.reset();
}

std::vector<uint8_t> encodeExtensionEntries(const extensionData_t& data)
{
    std::vector<uint8_t> out;
    for (const auto& e : data.entries()) {
        putLE(out, e.key.size(), 1);
        out.insert(out.end(), e.key.begin(), e.key.end());
        putLE(out, e.type, 1);
        putLE(out, e.version, 2);
        putLE(out, e.value.size(), 4);
        out.insert(out.end(), e.value.begin(), e.value.end());
    }
    return out;
}

bool decodeExtensionEntries(const uint8_t* data, size_t size, extensionData_t& out)
{
    extensionData_t read;
    size_t at = 0;
    while (at < size) {
        extEntry_t e;
        const size_t keyLength = data[at++];
        if (size - at < keyLength + 7) return false;
        e.key.assign(reinterpret_cast<const char*>(data + at), keyLength);
        at += keyLength;
        e.type = data[at++];
        e.version = uint16_t(getLE(data + at, 2));
        const uint64_t valueLength = getLE(data + at + 2, 4);
        at += 6;
        if (valueLength > size - at) return false;
        e.value.assign(data + at, data + at + valueLength);
        at += valueLength;
        if (read.find(e.key) || !read.put(std::move(e))) return false;
    }
    for (const auto& e : read.entries()) out.put(e);
    return true;
}

uint32_t extensionStreamCheck(const uint8_t* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<extensionBody_t> extensionRecords(const extensionData_t& data, const item_t* owner)
{
    const std::vector<uint8_t> stream = encodeExtensionEntries(data);
    if (stream.empty()) return {};
    const size_t parts = (stream.size() + extensionPartBytes - 1) / extensionPartBytes;
    const uint32_t check = extensionStreamCheck(stream.data(), stream.size());
    std::vector<extensionBody_t> out(parts);
    for (size_t i = 0; i < parts; ++i) {
        extensionBody_t& r = out[i];
        std::memset(&r, 0, sizeof r);
        itemBody_t common{};  // kind, type and magic at their places
        common.kind = kindExtension;
        common.itemType = typeExtension;
        common.magic = recordMagic;
        std::memcpy(r.common116, &common, sizeof r.common116);
        r.owner = owner ? extensionOwnerItem : extensionOwnerDocument;
        r.layout = extensionLayout;
        if (owner) {
            r.ownerType = owner->itemType;
            r.ownerMx1 = owner->mx1;
            r.ownerMy1 = owner->my1;
            r.ownerMx2 = owner->mx2;
            r.ownerMy2 = owner->my2;
        }
        r.part = int32_t(i);
        r.parts = int32_t(parts);
        r.streamLength = int32_t(stream.size());
        const size_t from = i * extensionPartBytes;
        const size_t n = std::min<size_t>(extensionPartBytes, stream.size() - from);
        r.partLength = int32_t(n);
        r.streamCheck = check;
        std::memcpy(r.payload, stream.data() + from, n);
    }
    return out;
}

} // namespace model
