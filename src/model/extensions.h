// Extension data: keyed, typed, versioned values of an item or of the
// document that the fixed 448-byte record layout has no field for.
//
// A key names one value, "feature.name" in lower case ("arrow.start",
// "merge.source"): letters, digits and the characters . _ - , starting with a
// letter, at most 64 characters. Each value carries its type and the version
// of its layout; a feature that changes what a value means raises the
// version, and a program that meets a version newer than it knows leaves the
// value alone. Values a program does not know (keys, types or versions) stay
// in memory as read and are written back unchanged, so a newer file keeps its
// data through an older editor's save.
//
// In the file, the data of one owner is an entry stream (see
// encodeExtensionEntries) split over extension records that follow the
// owner's record; the document's follow its header.
#pragma once

#include "model/item.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// The value types. A type this program does not know is kept as bytes.
enum class extType_t : uint8_t { integer = 1, number = 2, text = 3, bytes = 4 };

// Who an extension record belongs to.
constexpr int32_t extensionOwnerDocument = 1;
constexpr int32_t extensionOwnerItem = 2;  // the item record before it
// The layout of the extension record itself.
constexpr int32_t extensionLayout = 1;
// Entry stream bytes one extension record carries.
constexpr int32_t extensionPartBytes = 192;
constexpr size_t extensionKeyLimit = 64;

struct extEntry_t {
    std::string key;
    uint8_t type = 0;      // an extType_t, or a type of a newer program
    uint16_t version = 1;  // 1 and up
    std::vector<uint8_t> value;
    bool operator==(const extEntry_t&) const = default;
};

// Whether `key` is a well-formed key.
bool validExtensionKey(std::string_view key);

// The values of one owner, in the order they were read or first set.
class extensionData_t {
public:
    bool empty() const { return entries_.empty(); }
    const std::vector<extEntry_t>& entries() const { return entries_; }
    const extEntry_t* find(std::string_view key) const;
    bool operator==(const extensionData_t&) const = default;

    // Setting replaces a value of the same key in its place, or appends one.
    // False (and nothing changed) for a malformed key or a version of 0.
    bool setInteger(std::string_view key, int64_t value, uint16_t version = 1);
    bool setNumber(std::string_view key, double value, uint16_t version = 1);
    bool setText(std::string_view key, std::string_view utf8, uint16_t version = 1);
    bool setBytes(std::string_view key, std::vector<uint8_t> value, uint16_t version = 1);
    bool put(extEntry_t entry);
    // True when there was a value.
    bool remove(std::string_view key);

    // A value of the key when it has the asked type and a version of at most
    // `newestKnown`; none otherwise (missing, another type, a newer layout).
    std::optional<int64_t> integer(std::string_view key, uint16_t newestKnown = 1) const;
    std::optional<double> number(std::string_view key, uint16_t newestKnown = 1) const;
    std::optional<std::string> text(std::string_view key, uint16_t newestKnown = 1) const;
    std::optional<std::vector<uint8_t>> bytes(std::string_view key, uint16_t newestKnown = 1) const;

private:
    const extEntry_t* typed(std::string_view key, extType_t type, uint16_t newestKnown) const;
    std::vector<extEntry_t> entries_;
};

// The item's extension data, made on first use.
extensionData_t& extensionsOf(item_t* item);
// The item's extension data when it has some; null otherwise.
const extensionData_t* findExtensions(const item_t* item);
// The document's, kept with its header; null when the list has no header.
extensionData_t* documentExtensions(itemList_t& document);
const extensionData_t* documentExtensions(const itemList_t& document);
// Drops every value of the item (history copies keep theirs).
void clearExtensions(item_t* item);

// The file form of one owner's data, entry after entry, little-endian:
//   u8 key length, the key, u8 type, u16 version, u32 value length, the value
// (integer: int64; number: IEEE double; text: UTF-8; bytes: as they are).
std::vector<uint8_t> encodeExtensionEntries(const extensionData_t& data);
// The reverse; false for a damaged stream (a cut entry, a malformed or
// repeated key, version 0, an integer or number not 8 bytes long).
bool decodeExtensionEntries(const uint8_t* data, size_t size, extensionData_t& out);

// CRC-32 (the zlib polynomial) of an entry stream.
uint32_t extensionStreamCheck(const uint8_t* data, size_t size);

// The extension records of one owner's data, in file order: the entry stream
// in parts of extensionPartBytes. `owner` is the owning item (its type and
// defining points identify it to the reader), or null for the document.
std::vector<extensionBody_t> extensionRecords(const extensionData_t& data, const item_t* owner);

} // namespace model
