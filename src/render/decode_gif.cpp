// The first image of a GIF through giflib, read record by record so that the
// frames after it are never decoded.
#include "render/decode.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace render {

namespace {

struct memoryReader_t {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

int readGifBytes(GifFileType* gif, GifByteType* out, int wanted)
{
    auto* r = static_cast<memoryReader_t*>(gif->UserData);
    const size_t n = std::min(size_t(std::max(wanted, 0)), r->size - r->at);
    std::memcpy(out, r->data + r->at, n);
    r->at += n;
    return int(n);
}

struct gifCloser_t {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using gifFile_t = std::unique_ptr<GifFileType, gifCloser_t>;

// The transparent colour index of a graphic control block, or -1.
int32_t transparentIndexOf(int code, GifByteType* block, int32_t current)
{
    if (code != GRAPHICS_EXT_FUNC_CODE || !block) return current;
    GraphicsControlBlock gcb;
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) != GIF_OK) return current;
    return gcb.TransparentColor;
}

// Rows of an interlaced image arrive in four passes.
std::vector<int32_t> rowOrder(int32_t height, bool interlaced)
{
    std::vector<int32_t> rows;
    rows.reserve(size_t(height));
    if (!interlaced) {
        for (int32_t y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    static constexpr int32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int32_t y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
    return rows;
}

bool readFirstImage(GifFileType* gif, QImage& out)
{
    int32_t transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK) return false;
        if (type == TERMINATE_RECORD_TYPE) return false;  // no image at all
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
            transparent = transparentIndexOf(code, block, transparent);
            while (block)
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return false;
        if (DGifGetImageDesc(gif) != GIF_OK) return false;
        break;
    }
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || d.Width <= 0 || d.Height <= 0) return false;
    // The logical screen holds the image; a screen smaller than the image
    // (common in broken files) grows to it.
    const int64_t w = std::max<int64_t>(gif->SWidth, int64_t(d.Left) + d.Width);
    const int64_t h = std::max<int64_t>(gif->SHeight, int64_t(d.Top) + d.Height);
    if (!acceptablePictureSize(w, h)) return false;
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) return false;
    image.fill(0xFFFFFFFFu);
    std::vector<GifPixelType> line(size_t(d.Width));
    for (int32_t y : rowOrder(d.Height, d.Interlace)) {
        if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return false;
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(d.Top + y)) + d.Left;
        for (int32_t x = 0; x < d.Width; ++x) {
            const int32_t i = line[size_t(x)];
            if (i == transparent || i >= map->ColorCount) continue;
            const GifColorType& c = map->Colors[i];
            row[x] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
        }
    }
    out = std::move(image);
    return true;
}

} // namespace

QImage decodeGif(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    memoryReader_t reader{data, size};
    int error = 0;
    gifFile_t gif(DGifOpen(&reader, readGifBytes, &error));
    if (!gif) return {};
    QImage image;
    if (!readFirstImage(gif.get(), image)) return {};
    return image;
}

} // namespace render
