// The processed bitmaps of picture items, kept outside the document: what a
// canvas drawing made of an item, for the next drawing that asks for exactly
// the same (zoom, size, clip, adjustments, frame...).
//
// Entries are keyed by the item's cacheSerial, which is never reused: an item
// freed by history or erase and a new one made at the same address cannot
// meet. The model tells the cache when an item's entries may go (freed,
// undone, redone) through model::setCacheRelease; every other clearing goes
// through drop() and clear() here.
//
// Thread safety: one mutex guards every lookup, store and drop, so render
// passes on several threads may share the cache. Bitmaps are handed out as
// QImage copies (shared pixels, reference-counted atomically); a caller that
// paints into one detaches from the cached pixels.
#pragma once

#include "model/item.h"

#include <QImage>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace render {

// A processed bitmap and where it goes: drawn at the placement's top-left
// minus (ox, oy); turned pictures are turned into turnedW × turnedH there.
struct processedPicture_t {
    QImage bitmap;
    // How opaque each pixel of `bitmap` is (grey, white opaque) for a picture
    // with transparency, whose `bitmap` then holds colours premultiplied
    // (as over black); null for an opaque picture.
    QImage alpha;
    int32_t ox = 0, oy = 0;
    int32_t turnedW = 0, turnedH = 0;
};

// The two bitmaps kept per item: the finished one, and the clip resampled to
// its drawn size before its colour adjustments (so that new adjustments need
// no decoding).
enum class pictureStage_t { finished = 0, unadjusted = 1 };

class pictureCache_t {
public:
    // The entry of the item at the stage when it was made for `attributes`.
    bool find(const model::item_t* item, pictureStage_t stage, const std::string& attributes,
              processedPicture_t& out) const;
    // Replaces the item's entry at the stage.
    void store(const model::item_t* item, pictureStage_t stage, std::string attributes, processedPicture_t picture);
    bool holds(const model::item_t* item, pictureStage_t stage) const;
    // Forgets the item's entries: both stages, or one.
    void drop(const model::item_t* item);
    void drop(const model::item_t* item, pictureStage_t stage);
    void dropSerial(uint64_t cacheSerial);

    // A picture decoded before its data record existed (on insertion, by the
    // picture window): the first drawing that needs the record decoded takes
    // it instead of decoding the bytes again. Kept only until then.
    void handOverDecoded(const model::item_t* pictureData, QImage decoded);
    QImage takeDecoded(const model::item_t* pictureData);
    bool holdsDecoded(const model::item_t* pictureData) const;
    void clear();
    size_t itemCount() const;

private:
    struct slot_t {
        std::string attributes[2];
        processedPicture_t picture[2];
        bool present[2] = {false, false};
    };
    mutable std::mutex mutex_;
    std::unordered_map<uint64_t, slot_t> slots_;
    std::unordered_map<uint64_t, QImage> handedOver_;
};

// The program's picture cache (made on first use; it then also takes the
// model's release calls).
pictureCache_t& pictureCache();

} // namespace render
