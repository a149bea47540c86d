// Metafiles: standard ones (WMF) played by libwmf into its own raster, and
// enhanced ones (EMF) turned into SVG by libemf2svg and drawn by QtSvg. Both
// land in a white bitmap of the metafile's frame, measured at 96 pixels per
// inch; the frame is checked before anything is played.
#include "render/decode.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace render {

namespace {

uint32_t u32At(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
int32_t i32At(const uint8_t* p) { return int32_t(u32At(p)); }

constexpr uint32_t emfHeaderType = 1;
constexpr uint32_t emfSignature = 0x464D4520;  // " EMF"
constexpr size_t emfHeaderMinSize = 88;

bool isEmf(const uint8_t* data, size_t size)
{
    return size >= emfHeaderMinSize && u32At(data) == emfHeaderType && u32At(data + 40) == emfSignature;
}

constexpr uint32_t emfEndType = 14;

// The record chain of an enhanced metafile as the converter walks it: every
// record at least 8 bytes, a multiple of 4, inside the file, the last one
// the end record; the header's description inside the header. The
// converter trusts these fields.
bool emfStructureSane(const uint8_t* data, size_t size)
{
    const uint64_t headerSize = u32At(data + 4);
    if (headerSize < emfHeaderMinSize || headerSize > size) return false;
    const uint64_t descriptionChars = u32At(data + 60), descriptionAt = u32At(data + 64);
    if (descriptionChars != 0 && (descriptionAt < emfHeaderMinSize || descriptionAt + 2 * descriptionChars > headerSize))
        return false;
    for (size_t at = 0; at + 8 <= size;) {
        const uint32_t type = u32At(data + at), length = u32At(data + at + 4);
        if (length < 8 || length % 4 != 0 || length > size - at) return false;
        if (type == emfEndType) return true;
        at += length;
    }
    return false;
}

// One side of a metafile frame in pixels, when it is sane.
bool frameSide(double pixels, int32_t& out)
{
    if (!std::isfinite(pixels)) return false;
    const double r = std::round(pixels);
    if (r < 2 || r > double(maxMetafileSide)) return false;
    out = int32_t(r);
    return true;
}

// The size of an enhanced metafile: its frame (hundredths of a millimetre),
// or its bounds (device pixels) when the frame is empty.
bool emfPixelSize(const uint8_t* data, int32_t& w, int32_t& h)
{
    const int64_t fl = i32At(data + 24), ft = i32At(data + 28), fr = i32At(data + 32), fb = i32At(data + 36);
    if (fr > fl && fb > ft) return frameSide(double(fr - fl) * 96.0 / 2540.0, w) && frameSide(double(fb - ft) * 96.0 / 2540.0, h);
    const int64_t bl = i32At(data + 8), bt = i32At(data + 12), br = i32At(data + 16), bb = i32At(data + 20);
    return frameSide(double(br - bl + 1), w) && frameSide(double(bb - bt + 1), h);
}

QImage whiteImage(int32_t w, int32_t h)
{
    if (!acceptablePictureSize(w, h) || int64_t(w) * h > maxMetafilePixels) return {};
    QImage image(w, h, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(0xFFFFFFFFu);
    return image;
}

constexpr uint32_t placeableKey = 0x9AC6CDD7;
constexpr size_t placeableHeaderSize = 22, standardHeaderSize = 18;

// The standard header of a WMF (after the placeable one, if any) as the
// player relies on it: its own size of 9 words, a known type, and a largest
// record that fits in the file (the player allocates a buffer of that size).
bool wmfHeaderSane(const uint8_t* data, size_t size)
{
    const size_t at = size >= 4 && u32At(data) == placeableKey ? placeableHeaderSize : 0;
    if (size < at + standardHeaderSize) return false;
    const uint8_t* h = data + at;
    const uint32_t type = uint32_t(h[0] | h[1] << 8), words = uint32_t(h[2] | h[3] << 8);
    const uint64_t maxRecord = u32At(h + 12);
    return (type == 1 || type == 2) && words == 9 && maxRecord >= 3 && maxRecord * 2 <= size;
}

// The player's memory: no single block above this, so a damaged size field
// fails the play instead of asking for gigabytes.
constexpr size_t maxWmfBlock = size_t(256) << 20;
void* wmfAlloc(void*, size_t n) { return n <= maxWmfBlock ? std::malloc(n) : nullptr; }
void* wmfRealloc(void*, void* p, size_t n) { return n <= maxWmfBlock ? std::realloc(p, n) : nullptr; }
void wmfFree(void*, void* p) { std::free(p); }

// A placeable header's bounds and units per inch: the picture's size, which
// the bounds fill whatever part of them the records draw on.
struct placeable_t {
    int32_t left = 0, top = 0, right = 0, bottom = 0, inch = 0;
};

bool readPlaceable(const uint8_t* data, size_t size, placeable_t& p)
{
    if (size < placeableHeaderSize || u32At(data) != placeableKey) return false;
    auto s16 = [&](size_t at) { return int32_t(int16_t(uint16_t(data[at] | data[at + 1] << 8))); };
    p = {s16(6), s16(8), s16(10), s16(12), int32_t(uint16_t(data[14] | data[15] << 8))};
    return p.inch > 0 && p.right != p.left && p.bottom != p.top;
}

// The play's budget of time: a small hostile file can ask the player for
// seconds of drawing (huge pens, fonts or fills), so playing stops, and the
// picture is refused, past this.
constexpr auto maxMetafilePlay = std::chrono::milliseconds(1000);

struct wmfSession_t {
    wmfAPI* api = nullptr;
    bool open = false;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + maxMetafilePlay;
    ~wmfSession_t()
    {
        if (open) wmf_mem_close(api);
        if (api) wmf_api_destroy(api);
    }
};

} // namespace

QImage decodeEmf(const uint8_t* data, size_t size)
{
    if (!data || !isEmf(data, size) || !emfStructureSane(data, size)) return {};
    int32_t w = 0, h = 0;
    if (!emfPixelSize(data, w, h)) return {};
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("svg");
    options.svgDelimiter = true;
    options.emfplus = true;
    options.imgWidth = w;
    options.imgHeight = h;
    char* svg = nullptr;
    size_t svgLength = 0;
    // The library reads the bytes but takes them as writable.
    std::vector<char> copy(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    // Without a description the converter still reads text at the stored
    // offset until it meets a NUL: point it at the (zero) count instead.
    if (u32At(data + 60) == 0) {
        const uint32_t countAt = 60;
        std::memcpy(copy.data() + 64, &countAt, 4);
    }
    const int ok = emf2svg(copy.data(), copy.size(), &svg, &svgLength, &options);
    QByteArray text;
    if (svg) {
        text = QByteArray(svg, qsizetype(svgLength));
        std::free(svg);
    }
    if (!ok || text.isEmpty()) return {};
    QSvgRenderer renderer(text);
    if (!renderer.isValid()) return {};
    QImage image = whiteImage(w, h);
    if (image.isNull()) return {};
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, w, h));
    return image;
}

QImage decodeWmf(const uint8_t* data, size_t size)
{
    if (!data || !wmfHeaderSane(data, size)) return {};
    wmfSession_t s;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    options.malloc = wmfAlloc;
    options.realloc = wmfRealloc;
    options.free = wmfFree;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_ALLOC | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&s.api, flags, &options) != wmf_E_None) return {};
    wmf_status_function(s.api, &s, [](void* context, float) -> int {
        return std::chrono::steady_clock::now() > static_cast<wmfSession_t*>(context)->deadline ? 1 : 0;
    });
    if (wmf_mem_open(s.api, const_cast<unsigned char*>(data), long(size)) != wmf_E_None) return {};
    s.open = true;
    wmfD_Rect bbox{};
    if (wmf_scan(s.api, 0, &bbox) != wmf_E_None) return {};
    int32_t w = 0, h = 0;
    placeable_t placeable;
    if (readPlaceable(data, size, placeable)) {
        // The bounds (in the player's points, from the window's origin) fill
        // the picture, at the size they give.
        const double wide = std::abs(double(placeable.right) - placeable.left) / placeable.inch;
        const double high = std::abs(double(placeable.bottom) - placeable.top) / placeable.inch;
        if (!frameSide(wide * 96.0, w) || !frameSide(high * 96.0, h)) return {};
        bbox.TL.x = bbox.TL.y = 0;
        bbox.BR.x = float(wide * 72.0);
        bbox.BR.y = float(high * 72.0);
    } else {
        unsigned int dw = 0, dh = 0;
        if (wmf_display_size(s.api, &dw, &dh, 96, 96) != wmf_E_None) return {};
        if (!frameSide(dw, w) || !frameSide(dh, h)) return {};
    }
    if (int64_t(w) * h > maxMetafilePixels) return {};
    wmf_gd_t* device = WMF_GD_GetData(s.api);
    if (!(device->flags & WMF_GD_SUPPORTS_PNG)) return {};
    // The library frees its raster only after writing it out, so the
    // raster travels as PNG through a sink into memory.
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->bbox = bbox;
    device->width = unsigned(w);
    device->height = unsigned(h);
    QByteArray png;
    device->sink.context = &png;
    device->sink.function = [](void* context, char* buffer, int length) {
        static_cast<QByteArray*>(context)->append(buffer, std::max(length, 0));
        return length;
    };
    // The end of the play writes the raster out and frees it.
    if (wmf_play(s.api, 0, &bbox) != wmf_E_None) return {};
    QImage raster;
    if (png.isEmpty() || !raster.loadFromData(png, "PNG") || raster.size() != QSize(w, h)) return {};
    QImage image = whiteImage(w, h);
    if (image.isNull()) return {};
    QPainter painter(&image);
    painter.drawImage(0, 0, raster);
    return image;
}

QImage decodeMetafile(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    if (isEmf(data, size)) return decodeEmf(data, size);
    return decodeWmf(data, size);
}

} // namespace render
