#include "render/barcode.h"

#include "model/fields.h"

#include <zint.h>

#include <QFont>
#include <QFontMetricsF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace render {

using model::symbology_t;

namespace {

int zintSymbology(int32_t symbology)
{
    switch (static_cast<symbology_t>(symbology)) {
    case symbology_t::qrCode: return BARCODE_QRCODE;
    case symbology_t::dataMatrix: return BARCODE_DATAMATRIX;
    case symbology_t::pdf417: return BARCODE_PDF417;
    case symbology_t::aztec: return BARCODE_AZTEC;
    case symbology_t::code128: return BARCODE_CODE128;
    case symbology_t::code39: return BARCODE_CODE39;
    case symbology_t::ean13:
    case symbology_t::ean8: return BARCODE_EANX;
    case symbology_t::upcA: return BARCODE_UPCA;
    case symbology_t::upcE: return BARCODE_UPCE;
    case symbology_t::itf14: return BARCODE_ITF14;
    case symbology_t::gs1_128: return BARCODE_GS1_128;
    case symbology_t::codabar: return BARCODE_CODABAR;
    }
    return 0;
}

// The digit counts an EAN, UPC or ITF-14 takes: without and with its check
// digit. The encoder's EAN entry would take other lengths as another symbol
// (an add-on, EAN-8 for EAN-13), so the lengths are held here.
struct digitsRule_t {
    symbology_t code;
    size_t without, with;
};
constexpr digitsRule_t digitRules[] = {
    {symbology_t::ean13, 12, 13}, {symbology_t::ean8, 7, 8},   {symbology_t::upcA, 11, 12},
    {symbology_t::upcE, 7, 8},    {symbology_t::itf14, 13, 14},
};

std::string withoutErrorNumber(const char* text)
{
    // "Error 275: Invalid check digit '2', expecting '1'" → the words after the colon.
    std::string s(text);
    if (s.rfind("Error ", 0) == 0 || s.rfind("Warning ", 0) == 0) {
        const size_t colon = s.find(": ");
        if (colon != std::string::npos) s.erase(0, colon + 2);
    }
    return s;
}

struct zintSymbol_t {
    zint_symbol* s = ZBarcode_Create();
    ~zintSymbol_t() { if (s) ZBarcode_Delete(s); }
};

// Encodes into `sym`; the error in words, empty on success.
std::string encode(zintSymbol_t& sym, const model::barcodeContent_t& content)
{
    if (!sym.s) return "There is not enough memory to make the barcode.";
    zint_symbol* s = sym.s;
    s->symbology = zintSymbology(content.symbology);
    s->input_mode = content.symbology == static_cast<int32_t>(symbology_t::gs1_128) ? GS1_MODE : UNICODE_MODE;
    s->output_options |= BARCODE_QUIET_ZONES;
    s->show_hrt = content.showText ? 1 : 0;
    // Half a module per vector unit is the encoder's default; 0.5 makes one unit one module.
    s->scale = 0.5f;
    if (content.symbology == static_cast<int32_t>(symbology_t::qrCode) && content.ecLevel != model::ecAuto)
        s->option_1 = content.ecLevel;
    const int rc = ZBarcode_Encode(s, reinterpret_cast<const unsigned char*>(content.data.data()),
                                   static_cast<int>(content.data.size()));
    if (rc >= ZINT_ERROR) return withoutErrorNumber(s->errtxt);
    return {};
}

std::string checkText(int32_t symbology, std::string_view data)
{
    if (!model::knownSymbology(symbology)) return "The barcode type " + std::to_string(symbology) + " is not known.";
    if (data.empty()) return "The barcode has no data.";
    if (data.size() > model::barcodeDataLimit)
        return "The data is " + std::to_string(data.size()) + " bytes long; a barcode holds at most " +
               std::to_string(model::barcodeDataLimit) + ".";
    for (size_t i = 0; i < data.size(); ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x20 || c == 0x7F)
            return "The data holds a control character (code " + std::to_string(c) + ") at position " +
                   std::to_string(i + 1) + ".";
    }
    // The encoder would print small letters as capitals: a code that reads
    // back other than its data is refused instead.
    if (symbology == static_cast<int32_t>(symbology_t::code39) &&
        std::any_of(data.begin(), data.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        return "Code 39 takes capital letters, digits, space and - . $ / + % only.";
    for (const digitsRule_t& r : digitRules) {
        if (static_cast<int32_t>(r.code) != symbology) continue;
        const std::string title(model::symbologyTitle(symbology));
        if (!std::all_of(data.begin(), data.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return title + " takes digits only.";
        if (data.size() != r.without && data.size() != r.with)
            return title + " takes " + std::to_string(r.without) + " digits, or " + std::to_string(r.with) +
                   " with the check digit, not " + std::to_string(data.size()) + ".";
    }
    return {};
}

std::shared_ptr<barcodeLayout_t> makeLayout(const model::barcodeContent_t& content)
{
    auto out = std::make_shared<barcodeLayout_t>();
    out->error = checkText(content.symbology, content.data);
    if (!out->error.empty()) return out;
    zintSymbol_t sym;
    out->error = encode(sym, content);
    if (!out->error.empty()) return out;
    zint_symbol* s = sym.s;
    if (ZBarcode_Buffer_Vector(s, 0) >= ZINT_ERROR || !s->vector) {
        out->error = withoutErrorNumber(s->errtxt);
        if (out->error.empty()) out->error = "The barcode could not be laid out.";
        return out;
    }
    out->width = s->vector->width;
    out->height = s->vector->height;
    for (const zint_vector_rect* r = s->vector->rectangles; r; r = r->next)
        out->bars.push_back({r->x, r->y, r->width, r->height});
    for (const zint_vector_string* t = s->vector->strings; t; t = t->next)
        out->labels.push_back({t->x, t->y, t->fsize, t->halign, QString::fromUtf8(reinterpret_cast<const char*>(t->text))});
    out->rows = s->rows;
    out->columns = s->width;
    out->matrix.assign(static_cast<size_t>(std::max(0, s->rows)), std::vector<bool>(std::max(0, s->width)));
    for (int r = 0; r < s->rows && r < 200; ++r)
        for (int c = 0; c < s->width && c < 144 * 8; ++c)
            out->matrix[r][c] = (s->encoded_data[r][c >> 3] >> (c & 7)) & 1;
    return out;
}

std::string cacheKey(const model::barcodeContent_t& content)
{
    std::string k = std::to_string(content.symbology) + '/' + std::to_string(content.ecLevel) + '/' +
                    (content.showText ? '1' : '0') + '/';
    return k + content.data;
}

constexpr int32_t largestLabelPixels = 4096;

QFont labelFont(int32_t pixelSize)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, pixelSize));
    // Pure colours for shadows and masks, as every text on the canvas.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// A rectangle of the unturned symbol (lw × lh) placed in the device box turned.
QRect turned(QRect box, int32_t lw, int32_t lh, int32_t l, int32_t t, int32_t r, int32_t b, int32_t q)
{
    switch (q) {
    case 1: return QRect(QPoint(box.left() + t, box.top() + lw - r), QPoint(box.left() + b - 1, box.top() + lw - l - 1));
    case 2: return QRect(QPoint(box.left() + lw - r, box.top() + lh - b), QPoint(box.left() + lw - l - 1, box.top() + lh - t - 1));
    case 3: return QRect(QPoint(box.left() + lh - b, box.top() + l), QPoint(box.left() + lh - t - 1, box.top() + r - 1));
    default: return QRect(QPoint(box.left() + l, box.top() + t), QPoint(box.left() + r - 1, box.top() + b - 1));
    }
}

QPoint turnedPoint(QRect box, int32_t lw, int32_t lh, QPointF p, int32_t q)
{
    auto rnd = [](double v) { return static_cast<int32_t>(std::lround(v)); };
    switch (q) {
    case 1: return QPoint(box.left() + rnd(p.y()), box.top() + rnd(lw - p.x()));
    case 2: return QPoint(box.left() + rnd(lw - p.x()), box.top() + rnd(lh - p.y()));
    case 3: return QPoint(box.left() + rnd(lh - p.y()), box.top() + rnd(p.x()));
    default: return QPoint(box.left() + rnd(p.x()), box.top() + rnd(p.y()));
    }
}

// The translation of a transform that moves by whole pixels only; (0, 0)
// for any other transform, which is left to the device.
QPoint wholeShift(const QTransform& t)
{
    if (t.type() != QTransform::TxTranslate) return {};
    const double dx = std::round(t.dx()), dy = std::round(t.dy());
    if (dx != t.dx() || dy != t.dy() || std::abs(dx) > 1e9 || std::abs(dy) > 1e9) return {};
    return {static_cast<int>(dx), static_cast<int>(dy)};
}

} // namespace

std::string barcodeDataProblem(int32_t symbology, std::string_view data, int32_t ecLevel)
{
    if (ecLevel < model::ecAuto || ecLevel > model::ecHigh) return "The error correction level is not known.";
    model::barcodeContent_t content;
    content.symbology = symbology;
    content.data = std::string(data);
    content.ecLevel = ecLevel;
    if (std::string e = checkText(symbology, data); !e.empty()) return e;
    zintSymbol_t sym;
    return encode(sym, content);
}

std::string storedBarcodeDataProblem(int32_t symbology, std::string_view data, int32_t ecLevel)
{
    if (model::hasFields(model::utf16Of(data))) return {};
    return barcodeDataProblem(symbology, data, ecLevel);
}

std::shared_ptr<const barcodeLayout_t> barcodeLayout(const model::barcodeContent_t& content)
{
    // Bounded: a document of thousands of different codes encodes again
    // rather than growing the cache without end.
    constexpr size_t cacheLimit = 1024;
    static std::mutex lock;
    static std::unordered_map<std::string, std::shared_ptr<const barcodeLayout_t>> cache;
    const std::string key = cacheKey(content);
    {
        std::lock_guard<std::mutex> g(lock);
        if (auto it = cache.find(key); it != cache.end()) return it->second;
    }
    std::shared_ptr<const barcodeLayout_t> made = makeLayout(content);
    std::lock_guard<std::mutex> g(lock);
    if (cache.size() >= cacheLimit) cache.clear();
    cache.emplace(key, made);
    return made;
}

placedBarcode_t placeBarcode(const barcodeLayout_t& layout, bool matrix, QRect box, int32_t q)
{
    placedBarcode_t out;
    q &= 3;
    if (layout.width <= 0 || layout.height <= 0 || box.width() <= 0 || box.height() <= 0) return out;
    const int32_t lw = (q & 1) ? box.height() : box.width();
    const int32_t lh = (q & 1) ? box.width() : box.height();
    const double W = layout.width, H = layout.height;

    // Whole pixels per module whenever the box has room for one.
    auto whole = [](double m) { return m >= 1 ? std::floor(m) : m; };
    double m = whole(matrix ? std::min(lw / W, lh / H) : lw / W);

    // Linear codes: the bars down to where the shortest full bar ends are
    // stretched to fill the box; the guard bars' ends and the text below
    // keep the module's proportions.
    double split = H, sy = m;
    if (!matrix && !layout.bars.empty()) {
        double tallest = 0;
        for (const auto& b : layout.bars) tallest = std::max(tallest, b.h);
        split = H;
        for (const auto& b : layout.bars)
            if (b.h > tallest / 2) split = std::min(split, b.y + b.h);
        sy = split > 0 ? (lh - (H - split) * m) / split : m;
        if (sy < 1) {
            // Too low a box for the bars: the whole symbol in proportion.
            m = whole(std::min(lw / W, lh / H));
            sy = m;
            split = H;
        }
    }
    const bool stretched = !matrix && sy != m;
    const int32_t ox = (lw - static_cast<int32_t>(std::lround(W * m))) / 2;
    const int32_t oy = stretched ? 0 : (lh - static_cast<int32_t>(std::lround(H * m))) / 2;
    auto X = [&](double x) { return ox + static_cast<int32_t>(std::lround(x * m)); };
    auto Yd = [&](double y) { return y <= split ? y * sy : split * sy + (y - split) * m; };
    auto Y = [&](double y) { return oy + static_cast<int32_t>(std::lround(Yd(y))); };

    out.bars.reserve(layout.bars.size());
    for (const auto& b : layout.bars) {
        const int32_t l = X(b.x), r = X(b.x + b.w), t = Y(b.y), bt = Y(b.y + b.h);
        if (r <= l || bt <= t) continue;
        out.bars.push_back(turned(box, lw, lh, l, t, r, bt, q));
    }
    for (const auto& label : layout.labels) {
        const int32_t px = static_cast<int32_t>(std::lround(label.size * m * 0.9));
        // A code blown up beyond any page (a damaged or hostile box) keeps
        // its bars but not a text line of glyphs thousands of pixels high.
        if (px < 1 || px > largestLabelPixels) continue;
        const QFontMetricsF fm(labelFont(px));
        const double width = fm.horizontalAdvance(label.text);
        double startX = ox + label.x * m;
        if (label.align == 0) startX -= width / 2;
        else if (label.align == 2) startX -= width;
        const QPointF start(startX, oy + Yd(label.y));
        out.texts.push_back({turnedPoint(box, lw, lh, start, q), 90.0 * q, px, label.text});
    }
    return out;
}

bool drawBarcodeFigure(drawContext_t& ctx, const model::item_t* item)
{
    std::optional<model::barcodeContent_t> content = model::readBarcode(item);
    if (!content) return false;
    // A merge's data for this card; data it cannot encode leaves the
    // placeholder, never another code.
    if (std::u16string filled; ctx.substitute && *ctx.substitute && (*ctx.substitute)(item, filled))
        content->data = QString::fromStdU16String(filled).toStdString();
    const std::shared_ptr<const barcodeLayout_t> layout = barcodeLayout(*content);
    if (!layout->error.empty()) return false;

    // The code's box: the mapped rectangle's extent (a turn by other than
    // quarters draws in the box around it).
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const model::pointNode_t* n = item->points.head; n; n = n->next) {
        const QPoint p = ctx.xf.map(n->p.x, n->p.y);
        left = std::min(left, p.x()), right = std::max(right, p.x());
        top = std::min(top, p.y()), bottom = std::max(bottom, p.y());
    }
    if (left >= right || top >= bottom) return false;
    const QRect box(QPoint(left, top), QPoint(right - 1, bottom - 1));
    const int32_t fg = figureLineColor(ctx, item);
    const int32_t bg = figureFillColor(ctx, item);

    const placedBarcode_t placed =
        placeBarcode(*layout, model::isMatrixSymbology(content->symbology), box, model::barcodeQuarterTurn(item));
    canvasLock_t lock(ctx.canvas);
    if (bg >= 0) ctx.canvas.fillRect(box.left(), box.top(), box.right() + 1, box.bottom() + 1, bg);
    if (ctx.canvas.isVector()) {
        // One brush for every bar, each bar a rectangle of its own: a PDF
        // viewer snaps a lone rectangle's edges to its pixels, which keeps
        // the modules whole on any printer of the written resolution.
        QPainter& p = ctx.canvas.painter();
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(toColor(fg));
        // The cards of a sheet are placed by a translation, which a PDF
        // writer puts around every bar as a saved state and a matrix of its
        // own (twice the bytes of the bar, all of them compressed). A shift
        // by whole pixels is added to the bars instead.
        const QPoint shift = wholeShift(p.worldTransform());
        if (!shift.isNull()) p.setWorldTransform(QTransform());
        for (const QRect& r : placed.bars)
            p.drawRect(QRectF(r.left() + shift.x(), r.top() + shift.y(), r.width(), r.height()));
        p.restore();
    } else {
        for (const QRect& r : placed.bars) ctx.canvas.fillRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1, fg);
    }
    for (const auto& t : placed.texts) ctx.canvas.textOut(t.baselineStart, t.angle, labelFont(t.pixelSize), t.text, fg);
    return true;
}

} // namespace render
