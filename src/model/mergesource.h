// The data merge of a document: which table file feeds it and how it is
// read, which rows are left out, the first card's number and cell. Kept with
// the document as its extension data under "merge.*".
#pragma once

#include "model/csv.h"
#include "model/itemlist.h"

#include <cstdint>
#include <string>
#include <vector>

namespace model {

struct mergeSettings_t {
    std::string source;          // relative to the document's folder when it lies there or below
    std::string sourceAbsolute;  // a relative source by its absolute path, for a document saved elsewhere
    csvOptions_t options;
    int64_t startNumber = 1;     // what ${#} writes on the first card
    int32_t startCell = 1;       // first cell used on the first sheet, from 1
    std::string copiesColumn;    // empty: one card per row
    std::vector<int32_t> skipped;  // data rows (from 1) not ticked, ascending
    bool operator==(const mergeSettings_t& o) const;
};

// The document's merge; false when it has none (or the list no header).
bool readMergeSettings(const itemList_t& document, mergeSettings_t& out);
// Stores it (replacing every merge value); false without a header.
bool writeMergeSettings(itemList_t& document, const mergeSettings_t& settings);
// Drops the merge; true when there was one.
bool clearMergeSettings(itemList_t& document);

// The path to store for a source file: relative to the document's folder when
// the file lies in it or below, absolute otherwise (and for a new document
// without a path).
std::string storedSourcePath(const std::string& source, const std::string& documentPath);
// The file a stored path names, a relative one taken from the document's folder.
std::string resolveSourcePath(const std::string& stored, const std::string& documentPath);
// The table file of a merge: the stored path from the document's folder,
// or, when no file is there, its absolute path if that file exists (the
// document was saved into another folder and the table stayed).
std::string locateSource(const mergeSettings_t& settings, const std::string& documentPath);

// "3,5-7" and back; malformed or out-of-range parts are dropped.
std::string rowRanges(const std::vector<int32_t>& rows);
std::vector<int32_t> parseRowRanges(const std::string& text);

} // namespace model
