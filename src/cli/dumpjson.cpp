#include "cli/dumpjson.h"

#include "model/anchors.h"
#include "model/extensions.h"
#include "model/itemlist.h"
#include "model/utf8.h"

#include <QCryptographicHash>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>

namespace cli {

namespace {

using namespace model;

enum class ft { i32, u8, f64, font, f64x12 };

struct field {
    const char* name;
    int offset;
    ft type;
};

int width(ft t)
{
    switch (t) {
    case ft::i32: return 4;
    case ft::u8: return 1;
    case ft::f64: return 8;
    case ft::font: return 33;
    case ft::f64x12: return 96;
    }
    return 0;
}

// The named fields of the common body, by offset.
const field commonFields[] = {
    {"kind", 0, ft::i32}, {"itemType", 4, ft::i32}, {"docNumber", 12, ft::i32},
    {"x1", 16, ft::i32}, {"y1", 20, ft::i32}, {"x2", 24, ft::i32}, {"y2", 28, ft::i32},
    {"boxLeft", 32, ft::i32}, {"boxRight", 36, ft::i32}, {"boxTop", 40, ft::i32}, {"boxBottom", 44, ft::i32},
    {"boxWidth", 48, ft::i32}, {"boxHeight", 52, ft::i32}, {"diagonal", 56, ft::i32}, {"magic", 60, ft::i32},
    {"selected", 64, ft::u8}, {"editing", 65, ft::u8}, {"hidden", 66, ft::u8}, {"scratch", 67, ft::u8},
    {"zOrder", 68, ft::i32}, {"mx1", 72, ft::f64}, {"my1", 80, ft::f64}, {"mx2", 88, ft::f64}, {"my2", 96, ft::f64},
    {"angle", 104, ft::f64}, {"blobLength", 112, ft::i32}, {"lineColor", 120, ft::i32},
    {"penWidthPx", 124, ft::i32}, {"fontSize", 128, ft::i32}, {"textColor", 132, ft::i32},
    {"textAngle", 136, ft::i32}, {"fontWeight", 140, ft::i32}, {"fontItalic", 144, ft::u8},
    {"fontUnderline", 145, ft::u8}, {"fontStrikeout", 146, ft::u8}, {"justification", 147, ft::u8},
    {"fontName", 148, ft::font}, {"fontCharset", 181, ft::i32}, {"textDirection", 185, ft::i32},
    {"lineWeight", 197, ft::f64}, {"outlineWeight", 205, ft::f64}, {"patternIndex", 213, ft::i32},
    {"fillColor", 217, ft::i32}, {"direction", 221, ft::f64}, {"undoState", 229, ft::i32}, {"zMove", 233, ft::i32},
    {"stepId", 237, ft::i32}, {"actionId", 241, ft::i32}, {"replacesStep", 245, ft::i32}, {"sides", 249, ft::i32},
    {"refX1", 253, ft::i32}, {"refY1", 257, ft::i32}, {"refX2", 261, ft::i32}, {"refY2", 265, ft::i32},
    {"shapeVariant", 273, ft::i32}, {"roundness", 277, ft::f64}, {"clipShape", 285, ft::i32},
    {"pictureId", 289, ft::i32}, {"srcLeft", 293, ft::i32}, {"srcTop", 297, ft::i32}, {"srcRight", 301, ft::i32},
    {"srcBottom", 305, ft::i32}, {"scaleX", 309, ft::f64}, {"scaleY", 317, ft::f64}, {"rotation", 325, ft::f64},
    {"rotationStart", 333, ft::f64}, {"saturation", 341, ft::i32}, {"contrast", 345, ft::i32},
    {"lightness", 349, ft::i32}, {"flipX", 365, ft::i32}, {"flipY", 369, ft::i32}, {"orientation", 373, ft::i32},
    {"baseScale", 377, ft::f64}, {"picWidth", 385, ft::i32}, {"picHeight", 389, ft::i32}, {"groupId", 393, ft::i32},
    {"extraLength1", 405, ft::i32}, {"extraLength2", 409, ft::i32}, {"frameOn", 413, ft::u8},
    {"shadowElevation", 414, ft::u8}, {"shadowFade", 415, ft::u8}, {"shadowLightness", 416, ft::u8},
    {"surface", 417, ft::u8},
};

const field headerFields[] = {
    {"zoom", 116, ft::f64}, {"unit", 124, ft::i32}, {"pxPerUnitX", 128, ft::f64}, {"pxPerUnitY", 136, ft::f64},
    {"angles", 144, ft::i32}, {"canvasLeft", 148, ft::f64}, {"canvasTop", 156, ft::f64},
    {"canvasWidth", 164, ft::f64}, {"canvasHeight", 172, ft::f64}, {"modified", 180, ft::u8},
    {"anchorStepX", 181, ft::f64}, {"anchorStepY", 189, ft::f64}, {"showGridX", 197, ft::u8},
    {"showAnchorsX", 198, ft::u8}, {"snapX", 199, ft::u8}, {"showGridY", 200, ft::u8},
    {"showAnchorsY", 201, ft::u8}, {"snapY", 202, ft::u8}, {"designType", 203, ft::i32},
    {"pageOrientation", 207, ft::i32}, {"presetIndex", 211, ft::i32}, {"paperWidth", 215, ft::f64},
    {"paperHeight", 223, ft::f64}, {"cardWidth", 231, ft::f64}, {"cardHeight", 239, ft::f64},
    {"marginLeft", 247, ft::f64}, {"marginTop", 255, ft::f64}, {"marginRight", 263, ft::f64},
    {"marginBottom", 271, ft::f64}, {"rowGap", 279, ft::f64}, {"columnGap", 287, ft::f64},
    {"extraX", 295, ft::f64}, {"extraY", 303, ft::f64}, {"rows", 311, ft::i32}, {"columns", 315, ft::i32},
    {"rowFold", 319, ft::u8}, {"columnFold", 320, ft::u8}, {"historyKept", 321, ft::u8},
    {"fileVersion", 323, ft::i32}, {"lightDirection", 327, ft::i32},
};
const field patternFields[] = {{"segments", 116, ft::f64x12}, {"segmentCount", 212, ft::i32}};
const field pictureDataFields[] = {{"insertScale", 116, ft::f64}};

// A JSON writer that streams to a sink: what it holds at any time is one
// buffer's worth, whatever the size of the document.
class json {
public:
    explicit json(const textSink& to) : to_(to) {}
    // Writes what is buffered; false once any write failed.
    bool flush()
    {
        if (!out.empty() && ok_ && !to_(out.data(), out.size())) ok_ = false;
        out.clear();
        return ok_;
    }
    // Called between records: writes the buffer once it is large enough.
    void spill()
    {
        if (out.size() >= spillSize) flush();
    }
    bool ok() const { return ok_; }

    std::string out;

    void key(const char* k)
    {
        comma();
        str(k);
        out += ':';
        fresh_ = true;
    }
    void open(char c)
    {
        comma();
        out += c;
        fresh_ = true;
    }
    void close(char c)
    {
        out += c;
        fresh_ = false;
    }
    void num(int64_t v)
    {
        comma();
        out += std::to_string(v);
    }
    void num(double v)
    {
        comma();
        if (!std::isfinite(v)) {
            out += "null";
            return;
        }
        char b[64];
        auto r = std::to_chars(b, b + sizeof b, v);
        out.append(b, r.ptr);
    }
    void null()
    {
        comma();
        out += "null";
    }
    // A string of Unicode code points, written as UTF-8; lone surrogates escaped.
    void text(const std::u32string& s)
    {
        comma();
        out += '"';
        for (char32_t c : s) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += char(c);
            } else if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) {
                char b[8];
                std::snprintf(b, sizeof b, "\\u%04x", unsigned(c));
                out += b;
            } else {
                model::appendUtf8(out, c);
            }
        }
        out += '"';
    }

private:
    static constexpr size_t spillSize = 1 << 16;
    const textSink& to_;
    bool ok_ = true;

    void comma()
    {
        if (!fresh_) out += ',';
        fresh_ = false;
    }
    void str(const char* s)
    {
        out += '"';
        out += s;
        out += '"';
    }
    bool fresh_ = true;
};

std::u32string fromUtf16(const std::u16string& s)
{
    std::u32string r;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        r += c;
    }
    return r;
}

template <typename T>
T at(const uint8_t* b, int off)
{
    T v;
    std::memcpy(&v, b + off, sizeof v);
    return v;
}

void emitField(json& j, const uint8_t* b, const field& f)
{
    j.key(f.name);
    switch (f.type) {
    case ft::i32: j.num(int64_t(at<int32_t>(b, f.offset))); break;
    case ft::u8: j.num(int64_t(b[f.offset])); break;
    case ft::f64: j.num(at<double>(b, f.offset)); break;
    case ft::font: {
        // A length byte and single-byte characters (taken as Latin-1).
        const int n = std::min<int>(b[f.offset], 32);
        std::u32string s;
        for (int i = 0; i < n; ++i) s += char32_t(b[f.offset + 1 + i]);
        j.text(s);
        break;
    }
    case ft::f64x12:
        j.open('[');
        for (int i = 0; i < 12; ++i) j.num(at<double>(b, f.offset + 8 * i));
        j.close(']');
        break;
    }
}

std::u32string fromUtf8(const std::vector<uint8_t>& b)
{
    std::u32string r;
    for (size_t i = 0; i < b.size();) {
        const uint8_t c = b[i];
        const int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        char32_t v = n == 0 ? c : n == 1 ? c & 0x1F : n == 2 ? c & 0x0F : c & 0x07;
        bool ok = n >= 0 && i + size_t(n) < b.size();
        for (int k = 1; ok && k <= n; ++k) {
            ok = (b[i + k] & 0xC0) == 0x80;
            v = (v << 6) | (b[i + k] & 0x3F);
        }
        r += ok ? v : U'\uFFFD';
        i += ok ? size_t(n) + 1 : 1;
    }
    return r;
}

// The record's extension values: texts and numbers as such, bytes and
// values of types this program does not know in hexadecimal.
void emitExtensions(json& j, const extensionData_t& data)
{
    j.key("extensions");
    j.open('[');
    for (const extEntry_t& e : data.entries()) {
        j.open('{');
        j.key("key");
        j.text(std::u32string(e.key.begin(), e.key.end()));
        j.key("type");
        j.num(int64_t(e.type));
        j.key("version");
        j.num(int64_t(e.version));
        j.key("value");
        if (e.type == uint8_t(extType_t::integer) && e.value.size() == 8) {
            int64_t v;
            std::memcpy(&v, e.value.data(), 8);
            j.num(v);
        } else if (e.type == uint8_t(extType_t::number) && e.value.size() == 8) {
            double v;
            std::memcpy(&v, e.value.data(), 8);
            j.num(v);
        } else if (e.type == uint8_t(extType_t::text)) {
            j.text(fromUtf8(e.value));
        } else {
            static const char digits[] = "0123456789abcdef";
            std::u32string hex;
            for (uint8_t c : e.value) hex += {char32_t(digits[c >> 4]), char32_t(digits[c & 15])};
            j.text(hex);
        }
        j.close('}');
    }
    j.close(']');
}

void emitRecord(json& j, const item_t* it)
{
    const uint8_t* b = it->bodyBytes();
    std::span<const field> overlay;
    if (it->kind == kindHeader) overlay = headerFields;
    else if (it->kind == kindPattern) overlay = patternFields;
    else if (it->kind == kindPictureData) overlay = pictureDataFields;
    int lo = recordSize, hi = 0;
    for (const field& f : overlay) {
        lo = std::min(lo, f.offset);
        hi = std::max(hi, f.offset + width(f.type));
    }
    j.open('{');
    // Common fields the overlay covers give way to the overlay's own, in offset order.
    size_t o = 0;
    for (const field& f : commonFields) {
        while (o < overlay.size() && overlay[o].offset <= f.offset) emitField(j, b, overlay[o++]);
        if (f.offset + width(f.type) <= lo || f.offset >= hi) emitField(j, b, f);
    }
    while (o < overlay.size()) emitField(j, b, overlay[o++]);

    j.key("text");
    if (textLength(it) > 0) j.text(fromUtf16(getText(it)));
    else j.null();

    j.key("points");
    j.open('[');
    for (const pointNode_t* p = it->points.head; p; p = p->next) {
        const std::pair<const char*, int32_t> v[] = {
            {"x", p->p.x}, {"y", p->p.y}, {"savedX", p->p.savedX}, {"savedY", p->p.savedY},
            {"c1x", p->p.c1x}, {"c1y", p->p.c1y}, {"c2x", p->p.c2x}, {"c2y", p->p.c2y},
            {"savedC1x", p->p.savedC1x}, {"savedC1y", p->p.savedC1y},
            {"savedC2x", p->p.savedC2x}, {"savedC2y", p->p.savedC2y}};
        j.open('{');
        for (auto& [k, n] : v) {
            j.key(k);
            j.num(int64_t(n));
        }
        j.close('}');
    }
    j.close(']');

    j.key("anchorsX");
    j.open('[');
    for (const anchorNode_t* a = it->anchorsX.head; a; a = a->next) j.num(int64_t(anchorPositionX(a)));
    j.close(']');
    j.key("anchorsY");
    j.open('[');
    for (const anchorNode_t* a = it->anchorsY.head; a; a = a->next) j.num(int64_t(anchorPositionY(a)));
    j.close(']');

    if (it->stream) {
        j.key("streamSize");
        j.num(int64_t(it->stream->size()));
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(it->stream->data()),
                                                         static_cast<qsizetype>(it->stream->size()));
        const QByteArray hex = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        std::u32string s(hex.begin(), hex.end());
        j.key("streamSha256");
        j.text(s);
    }
    if (it->extensions && !it->extensions->empty()) emitExtensions(j, *it->extensions);
    j.close('}');
}

} // namespace

bool writeDocumentJson(const model::itemList_t& list, const textSink& sink)
{
    using namespace model;
    json j(sink);
    j.open('{');
    j.key("modified");
    j.num(int64_t(isModified(list) ? 1 : 0));
    if (const item_t* h = findHeader(list)) {
        j.key("fileVersion");
        j.num(int64_t(h->hdr().fileVersion));
        j.key("historyKept");
        j.num(int64_t(h->hdr().historyKept));
    }
    j.key("recordCount");
    j.num(int64_t(countItems(list)));
    j.key("records");
    j.open('[');
    for (const item_t* it = list.head; it && j.ok(); it = it->next) {
        emitRecord(j, it);
        j.spill();
    }
    j.close(']');
    j.close('}');
    j.out += '\n';
    return j.flush();
}

} // namespace cli
