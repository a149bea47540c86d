// The JSON form of a document that dump --json prints: every named body field
// of each record as the reader leaves it, its text, points, grid anchors and,
// for pictures, the size and SHA-256 of the stored bytes.
#pragma once

#include "model/item.h"

#include <cstddef>
#include <functional>

namespace cli {

// Takes the next piece of the output; false when it could not be written.
using textSink = std::function<bool(const char* data, size_t size)>;

// Writes the document through `sink` in pieces of about 64 KB, so that the
// output costs no memory of its own size. False once the sink failed.
bool writeDocumentJson(const model::itemList_t& list, const textSink& sink);

} // namespace cli
