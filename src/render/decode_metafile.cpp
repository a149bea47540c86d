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
#include <ctime>

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
// picture is refused, past this. It counts the processor time this thread
// spends, not the clock on the wall, so a busy machine does not refuse a
// picture that would play in time on an idle one.
constexpr std::chrono::nanoseconds maxMetafilePlay = std::chrono::milliseconds(1000);

std::chrono::nanoseconds threadCpuTime()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

struct wmfSession_t {
    wmfAPI* api = nullptr;
    bool open = false;
    std::chrono::nanoseconds deadline = threadCpuTime() + maxMetafilePlay;
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
    // No namespace prefix: with one, the converter still closes some
    // elements (clip paths, their definitions) without it, and the text is
    // not well-formed XML.
    options.nameSpace = nullptr;
    options.svgDelimiter = true;
    options.emfplus = true;
    options.imgWidth = w;
    options.imgHeight = h;
    char* svg = nullptr;
    size_t svgLength = 0;
    // The library reads the bytes but takes them as writable.
    std::vector<char> copy(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    // The description is never drawn, but the converter checks it against
    // the end of the file by twice its length (refusing small files with a
    // long one) and, when it is empty, still reads text at the stored offset
    // until it meets a NUL. So it gets an empty description that points at
    // its own (zero) count.
    const uint32_t noCharacters = 0, countAt = 60;
    std::memcpy(copy.data() + 60, &noCharacters, 4);
    std::memcpy(copy.data() + 64, &countAt, 4);
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

namespace {

constexpr int32_t wmfPolyPolygon = 0x0538;

// The records as the player can take them: a poly-polygon that names a
// polygon of no points (vector editors write one for an empty subpath) is
// dropped whole by the player, so such polygons are left out of the copy.
// Records that are not sound are copied as they are, for the player to judge.
void appendPlayableRecords(std::vector<uint8_t>& out, const uint8_t* data, size_t at, size_t size)
{
    auto u16At = [](const uint8_t* p) { return uint32_t(p[0] | p[1] << 8); };
    while (at + 6 <= size) {
        const uint64_t length = uint64_t(u32At(data + at)) * 2;
        if (length < 6 || length > size - at) break;
        const uint8_t* record = data + at;
        const uint32_t function = u16At(record + 4);
        const uint32_t polygons = length >= 8 ? u16At(record + 6) : 0;
        const bool soundPolyPolygon = function == wmfPolyPolygon && length >= 8 && 8 + 2 * uint64_t(polygons) <= length;
        bool dropsSome = false;
        for (uint32_t i = 0; soundPolyPolygon && i < polygons; ++i) dropsSome |= u16At(record + 8 + 2 * i) == 0;
        if (!dropsSome) {
            out.insert(out.end(), record, record + length);
        } else {
            std::vector<uint8_t> counts;
            for (uint32_t i = 0; i < polygons; ++i)
                if (u16At(record + 8 + 2 * i) != 0) counts.insert(counts.end(), record + 8 + 2 * i, record + 10 + 2 * i);
            const uint8_t* points = record + 8 + 2 * polygons;
            const uint64_t newLength = 8 + counts.size() + uint64_t(record + length - points);
            const uint32_t words = uint32_t(newLength / 2), kept = uint32_t(counts.size() / 2);
            for (int i = 0; i < 4; ++i) out.push_back(uint8_t(words >> (8 * i)));
            out.insert(out.end(), record + 4, record + 6);
            out.push_back(uint8_t(kept)), out.push_back(uint8_t(kept >> 8));
            out.insert(out.end(), counts.begin(), counts.end());
            out.insert(out.end(), points, record + length);
        }
        at += length;
        if (function == 0) return;
    }
    out.insert(out.end(), data + std::min(at, size), data + size);
}

// A placeable file is played the way its header means: the player starts in
// the anisotropic mode with the window on the header's bounds and the
// viewport on the picture's pixels, so records that set their own window (as
// files from vector editors do, before or after choosing a mapping mode) map
// it onto the picture. The player on its own starts in a mode that ignores
// window extents and keeps a viewport of its own size, which drew such files
// enlarged and cut, or blank.
std::vector<uint8_t> mappingPreamble(const placeable_t& p, int32_t w, int32_t h)
{
    std::vector<uint8_t> preamble;
    auto put16 = [&](int32_t v) { preamble.push_back(uint8_t(v)), preamble.push_back(uint8_t(v >> 8)); };
    auto record = [&](int32_t function, std::initializer_list<int32_t> words) {
        const uint32_t length = uint32_t(3 + words.size());
        put16(int32_t(length & 0xFFFF)), put16(int32_t(length >> 16));
        put16(function);
        for (int32_t word : words) put16(word);
    };
    constexpr int32_t setMapMode = 0x0103, setWindowOrg = 0x020B, setWindowExt = 0x020C, setViewportOrg = 0x020D,
                      setViewportExt = 0x020E, anisotropic = 8;
    record(setMapMode, {anisotropic});
    record(setWindowOrg, {p.top, p.left});
    record(setWindowExt, {p.bottom - p.top, p.right - p.left});
    record(setViewportOrg, {0, 0});
    record(setViewportExt, {h, w});
    return preamble;
}

// The copy the player gets: the headers, the preamble (if any), then the
// playable records, with the standard header's size in 16-bit words made to
// match.
std::vector<uint8_t> playableCopy(const uint8_t* data, size_t size, const std::vector<uint8_t>& preamble)
{
    const size_t headerAt = size >= 4 && u32At(data) == placeableKey ? placeableHeaderSize : 0;
    const size_t recordsAt = headerAt + standardHeaderSize;
    std::vector<uint8_t> out(data, data + recordsAt);
    out.reserve(size + preamble.size());
    out.insert(out.end(), preamble.begin(), preamble.end());
    appendPlayableRecords(out, data, recordsAt, size);
    uint8_t* fileWords = out.data() + headerAt + 6;
    const uint32_t words = uint32_t(out.size() / 2) - uint32_t(headerAt / 2);
    for (int i = 0; i < 4; ++i) fileWords[i] = uint8_t(words >> (8 * i));
    return out;
}

QImage playWmf(const uint8_t* data, size_t size, const wmfD_Rect* placeableBox, int32_t w, int32_t h)
{
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
        return threadCpuTime() > static_cast<wmfSession_t*>(context)->deadline ? 1 : 0;
    });
    if (wmf_mem_open(s.api, const_cast<unsigned char*>(data), long(size)) != wmf_E_None) return {};
    s.open = true;
    wmfD_Rect bbox{};
    if (wmf_scan(s.api, 0, &bbox) != wmf_E_None) return {};
    if (placeableBox) {
        bbox = *placeableBox;
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

} // namespace

QImage decodeWmf(const uint8_t* data, size_t size)
{
    if (!data || !wmfHeaderSane(data, size)) return {};
    placeable_t placeable;
    if (!readPlaceable(data, size, placeable)) {
        const std::vector<uint8_t> copy = playableCopy(data, size, {});
        return playWmf(copy.data(), copy.size(), nullptr, 0, 0);
    }
    // The header's bounds give the picture's size, whatever part of them the
    // records draw on.
    const double wide = std::abs(double(placeable.right) - placeable.left) / placeable.inch;
    const double high = std::abs(double(placeable.bottom) - placeable.top) / placeable.inch;
    int32_t w = 0, h = 0;
    if (!frameSide(wide * 96.0, w) || !frameSide(high * 96.0, h)) return {};
    const int32_t windowW = placeable.right - placeable.left, windowH = placeable.bottom - placeable.top;
    if (std::abs(windowW) > INT16_MAX || std::abs(windowH) > INT16_MAX) {
        // Bounds no record could name as a window: the player's points from
        // the window's origin, as it plays without a mapping of its own.
        const std::vector<uint8_t> copy = playableCopy(data, size, {});
        const wmfD_Rect points{{0, 0}, {float(wide * 72.0), float(high * 72.0)}};
        return playWmf(copy.data(), copy.size(), &points, w, h);
    }
    const std::vector<uint8_t> copy = playableCopy(data, size, mappingPreamble(placeable, w, h));
    const wmfD_Rect pixels{{0, 0}, {float(w), float(h)}};
    return playWmf(copy.data(), copy.size(), &pixels, w, h);
}

QImage decodeMetafile(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    if (isEmf(data, size)) return decodeEmf(data, size);
    return decodeWmf(data, size);
}

} // namespace render
