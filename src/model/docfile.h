// The .lmra document file: the item list written record by record, each
// 448-byte body followed by the blobs its type carries (texts, points,
// anchors, picture bytes). Reading builds a new list aside and swaps it in
// only when the whole file was taken, so a failed read changes nothing.
#pragma once

#include "model/anchors.h"
#include "model/item.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace model {

constexpr int32_t formatVersion = 164;
constexpr int32_t textBlobLimit = 1024000;            // exclusive, in bytes
constexpr int32_t textStoreLimit = textBlobLimit / 2;  // units; a text this long cannot be saved
constexpr int32_t pointEntrySize = 56;
constexpr int32_t anchorEntrySize = 8;
constexpr const char* documentExtension = "lmra";
constexpr const char* documentFileFilter = "All files (*.*)|*.*|Lumora files (*.lmra)|*.lmra";

// What the reader asks or tells the user. The editor shows message boxes;
// the command-line tool answers from its options.
constexpr const char* invalidFileQuestion = "Not a valid Lumora file. Attempt to open it anyway?";
constexpr const char* newerVersionLine1 = "This file was created on a newer version of Lumora software.";
constexpr const char* newerVersionLine2 = "Update your software. Otherwise, this file might not display correctly.";

// The largest document file the reader takes: 2 GB. A larger file is refused
// before anything of it is read.
constexpr uint64_t documentSizeLimit = uint64_t(1) << 31;

// What a read may use. The memory budget bounds what the records read so far
// take in memory; 0 means what the machine has available (less a reserve).
struct readLimits_t {
    uint64_t maxFileBytes = documentSizeLimit;
    uint64_t memoryBudget = 0;
};

struct docReadQuestions_t {
    virtual ~docReadQuestions_t() = default;
    // A record with a wrong magic was met; true reads on (asked at most once).
    virtual bool askOpenInvalid() = 0;
    // The file was written by a newer version; the document is already open.
    // `text` is both lines joined by a carriage return and line feed.
    virtual void warnNewerVersion(const std::string& text) = 0;
};

// Writes the list to `fileName`, replacing the file only once everything was
// written (through a temporary file in the same folder). True on success,
// which also clears the document's modified flag; on failure the previous
// file is intact, the flag is kept, and `error` (when given) says why.
bool writeDocument(const std::string& fileName, itemList_t& list, std::string* error = nullptr,
                   const anchorMarker_t& marker = {});

// The bytes writeDocument would write, in memory, without touching the
// document's modified flag (a recovery snapshot is not a save).
bool encodeDocument(itemList_t& list, std::vector<uint8_t>& bytes, std::string* error = nullptr,
                    const anchorMarker_t& marker = {});

// Replaces `fileName` with `bytes` as writeDocument replaces a document: the
// old file stays whole until the new one is complete. Safe on any thread.
bool writeBytesToFile(const std::string& fileName, const std::vector<uint8_t>& bytes, std::string* error = nullptr);

// Reads `fileName` into `list`, replacing its records. False when the name is
// blank, the file is missing, unreadable, a folder, larger than the limit or
// holding more records than memory allows, or when the user refused an
// invalid file; `list` is then unchanged and `error` (when given) says why in
// a sentence that names the file, or stays empty for a refusal.
bool readDocument(const std::string& fileName, itemList_t& list, docReadQuestions_t& questions,
                  std::string* error = nullptr, const anchorMarker_t& marker = {}, const readLimits_t& limits = {});

// The same reader over bytes already in memory.
bool readDocumentBytes(const uint8_t* data, size_t size, itemList_t& list, docReadQuestions_t& questions,
                       std::string* error = nullptr, const anchorMarker_t& marker = {},
                       const readLimits_t& limits = {});

// The memory a read may use when its limits name no budget: what the machine
// has available (and the process may address), less a reserve.
uint64_t availableMemoryBudget();

// Rebuilds the pixel fields of a record from its document-measure fields.
void recomputePixels(item_t* item);

} // namespace model
