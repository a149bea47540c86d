#include "render/decode.h"

#include "model/itemlist.h"

namespace render {

bool acceptablePictureSize(int64_t w, int64_t h)
{
    return w > 1 && h > 1 && w <= maxPicturePixels && h <= maxPicturePixels && w * h <= maxPicturePixels;
}

QImage decodePictureBytes(int32_t format, const uint8_t* data, size_t size, int32_t jpegScaleDenom)
{
    if (!data || size == 0) return {};
    switch (format) {
    case model::pictureGif: return decodeGif(data, size);
    case model::pictureBmp: return decodeBmp(data, size);
    case model::pictureIco: return decodeIco(data, size);
    case model::pictureJpeg: return decodeJpeg(data, size, jpegScaleDenom);
    case model::pictureMetafile: return decodeMetafile(data, size);
    default: return {};
    }
}

const model::item_t* pictureDataOf(const model::item_t* item, const model::itemList_t& document)
{
    const model::item_t* data = model::findPictureData(document, item->pictureId);
    return data && data->itemType == model::typePictureData ? data : nullptr;
}

QImage decodeStoredPicture(const model::item_t* item, const model::itemList_t& document)
{
    const model::item_t* record = pictureDataOf(item, document);
    if (!record || !record->stream || record->stream->empty()) return {};
    return decodePictureBytes(record->pictureFormat(), record->stream->data(), record->stream->size());
}

} // namespace render
