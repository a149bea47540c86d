// The words a text is drawn with in place of its stored ones, for a data
// merge (each card's values) or anything else that fills texts in at drawing
// time; for a barcode item, the data it encodes in place of its stored data. The hook fills `text` and returns true, or returns false to draw the
// stored text; it must not change the item.
#pragma once

#include "model/item.h"

#include <functional>
#include <string>

namespace render {

using textSubstitute_t = std::function<bool(const model::item_t* item, std::u16string& text)>;

} // namespace render
