// The metafile samples: an enhanced metafile through libEMF, and a standard
// one written record by record (no library writes them any more).
#include "samples/samplepictures.h"

#include <cstdio>

#include <libEMF/emf.h>

namespace samples {

namespace {

struct quarter_t {
    int32_t l, t, r, b;
    uint32_t colorref;  // 0x00BBGGRR
};

std::vector<quarter_t> quarters(int32_t w, int32_t h)
{
    const int32_t hw = w / 2, hh = h / 2, m = w / 16 > 1 ? w / 16 : 1;
    return {{m, m, hw - m, hh - m, 0x2828DC},
            {hw + m, m, w - m, hh - m, 0x3CB428},
            {m, hh + m, hw - m, h - m, 0xD24628},
            {hw + m, hh + m, w - m, h - m, 0x28D2F0}};
}

void put16(bytes_t& b, int32_t v)
{
    b.push_back(uint8_t(v & 0xFF));
    b.push_back(uint8_t((v >> 8) & 0xFF));
}

void put32(bytes_t& b, uint32_t v)
{
    put16(b, int32_t(v & 0xFFFF));
    put16(b, int32_t(v >> 16));
}

// One record: its size in 16-bit words, its function, its parameters.
void record(bytes_t& b, int32_t function, std::initializer_list<int32_t> words)
{
    put32(b, uint32_t(3 + words.size()));
    put16(b, function);
    for (int32_t w : words) put16(b, w);
}

constexpr int32_t wmfSetWindowOrg = 0x020B, wmfSetWindowExt = 0x020C, wmfCreateBrush = 0x02FC,
                  wmfSelectObject = 0x012D, wmfDeleteObject = 0x01F0, wmfRectangle = 0x041B, wmfEllipse = 0x0418,
                  wmfEof = 0x0000;

} // namespace

bytes_t sampleWmf(int32_t w, int32_t h)
{
    bytes_t body;
    record(body, wmfSetWindowOrg, {0, 0});
    record(body, wmfSetWindowExt, {h, w});
    auto brush = [&](uint32_t colorref) {
        record(body, wmfCreateBrush, {0, int32_t(colorref & 0xFFFF), int32_t(colorref >> 16), 0});
        record(body, wmfSelectObject, {0});
    };
    brush(0xA0A0A0);
    record(body, wmfRectangle, {h, w, 0, 0});
    record(body, wmfDeleteObject, {0});
    for (const quarter_t& q : quarters(w, h)) {
        brush(q.colorref);
        record(body, wmfRectangle, {q.b, q.r, q.t, q.l});
        record(body, wmfDeleteObject, {0});
    }
    brush(0xFFFFFF);
    record(body, wmfEllipse, {h * 3 / 4, w * 3 / 4, h / 4, w / 4});
    record(body, wmfDeleteObject, {0});
    record(body, wmfEof, {});

    bytes_t out;
    // Placeable header: key, handle, bounds, units per inch, reserved, checksum.
    put32(out, 0x9AC6CDD7u);
    put16(out, 0);
    put16(out, 0), put16(out, 0), put16(out, w), put16(out, h);
    put16(out, 96);
    put32(out, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i < out.size(); i += 2) sum ^= uint16_t(out[i] | out[i + 1] << 8);
    put16(out, sum);
    // Standard header: type, header words, version, size, objects, largest record, unused.
    const uint32_t words = uint32_t(9 + body.size() / 2);
    put16(out, 1), put16(out, 9), put16(out, 0x0300);
    put32(out, words);
    put16(out, 1);
    put32(out, 7);
    put16(out, 0);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bytes_t sampleEmf(int32_t w, int32_t h)
{
    std::FILE* f = std::tmpfile();
    if (!f) return {};
    // The frame in hundredths of a millimetre at 96 pixels per inch.
    const RECT frame{0, 0, LONG(w * 2540 / 96), LONG(h * 2540 / 96)};
    // The description is a list of strings ending in an empty one.
    static const char description[] = "Lumora\0sample\0";
    HDC dc = CreateEnhMetaFileWithFILEA(0, f, &frame, description);
    if (!dc) {
        std::fclose(f);
        return {};
    }
    // Logical units are pixels at 96 per inch; the reference device has its own.
    const double devicePerPixel = GetDeviceCaps(dc, HORZRES) / (GetDeviceCaps(dc, HORZSIZE) / 25.4 * 96.0);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, w, h, 0);
    SetViewportExtEx(dc, INT(w * devicePerPixel + 0.5), INT(h * devicePerPixel + 0.5), 0);
    auto fill = [&](int32_t l, int32_t t, int32_t r, int32_t b, uint32_t colorref, bool ellipse) {
        HBRUSH brush = CreateSolidBrush(colorref);
        HGDIOBJ old = SelectObject(dc, brush);
        if (ellipse) Ellipse(dc, l, t, r, b);
        else Rectangle(dc, l, t, r, b);
        SelectObject(dc, old);
        DeleteObject(brush);
    };
    fill(0, 0, w, h, 0xA0A0A0, false);
    for (const quarter_t& q : quarters(w, h)) fill(q.l, q.t, q.r, q.b, q.colorref, false);
    fill(w / 4, h / 4, w * 3 / 4, h * 3 / 4, 0xFFFFFF, true);
    HENHMETAFILE meta = CloseEnhMetaFileWithFILE(dc);
    if (meta) DeleteEnhMetaFile(meta);
    bytes_t out;
    std::rewind(f);
    uint8_t buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

} // namespace samples
