#include "render/decode.h"

#include "model/itemlist.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace render {

bool acceptablePictureSize(int64_t w, int64_t h)
{
    return w > 1 && h > 1 && w <= maxPicturePixels && h <= maxPicturePixels && w * h <= maxPicturePixels;
}

namespace {

bool startsWith(const uint8_t* data, size_t size, std::string_view sig, size_t at = 0)
{
    return size >= at + sig.size() && std::memcmp(data + at, sig.data(), sig.size()) == 0;
}

uint32_t u32At(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// Whether the text (after a byte-order mark and white space) is XML or SVG
// whose first kilobytes open an <svg element.
bool looksLikeSvg(const uint8_t* data, size_t size)
{
    size_t at = startsWith(data, size, "\xEF\xBB\xBF") ? 3 : 0;
    while (at < size && (data[at] == ' ' || data[at] == '\t' || data[at] == '\r' || data[at] == '\n')) ++at;
    if (at >= size || data[at] != '<') return false;
    const std::string_view head(reinterpret_cast<const char*>(data), std::min<size_t>(size, 4096));
    return head.find("<svg") != std::string_view::npos;
}

} // namespace

int32_t pictureFormatOfContent(const uint8_t* data, size_t size)
{
    if (!data) return 0;
    if (startsWith(data, size, "\x89PNG\r\n\x1A\n")) return model::picturePng;
    if (startsWith(data, size, "\xFF\xD8\xFF")) return model::pictureJpeg;
    if (startsWith(data, size, "GIF87a") || startsWith(data, size, "GIF89a")) return model::pictureGif;
    if (startsWith(data, size, "BM") && size >= 18) return model::pictureBmp;
    if (startsWith(data, size, std::string_view("\0\0\1\0", 4))) return model::pictureIco;
    if (startsWith(data, size, "RIFF") && startsWith(data, size, "WEBP", 8)) return model::pictureWebp;
    if (startsWith(data, size, std::string_view("II*\0", 4)) || startsWith(data, size, std::string_view("MM\0*", 4)))
        return model::pictureTiff;
    if (size >= 44 && u32At(data) == 1 && startsWith(data, size, " EMF", 40)) return model::pictureMetafile;
    if (size >= 4 && u32At(data) == 0x9AC6CDD7u) return model::pictureMetafile;
    if (looksLikeSvg(data, size)) return model::pictureSvg;
    return 0;
}

bool knownPictureFormat(int32_t format) { return format >= model::pictureGif && format <= model::pictureTiff; }

int32_t effectivePictureFormat(int32_t format, const uint8_t* data, size_t size)
{
    if (!knownPictureFormat(format)) return 0;
    const int32_t byContent = pictureFormatOfContent(data, size);
    return byContent != 0 ? byContent : format;
}

QImage decodePictureBytes(int32_t format, const uint8_t* data, size_t size, int32_t jpegScaleDenom)
{
    if (!data || size == 0) return {};
    switch (effectivePictureFormat(format, data, size)) {
    case model::pictureGif: return decodeGif(data, size);
    case model::pictureBmp: return decodeBmp(data, size);
    case model::pictureIco: return decodeIco(data, size);
    case model::pictureJpeg: return decodeJpeg(data, size, jpegScaleDenom);
    case model::pictureMetafile: return decodeMetafile(data, size);
    case model::picturePng: return decodePng(data, size);
    case model::pictureSvg: return decodeSvg(data, size);
    case model::pictureWebp: return decodeWebp(data, size);
    case model::pictureTiff: return decodeTiff(data, size);
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
