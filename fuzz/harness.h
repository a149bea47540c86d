// What each fuzz target does with its bytes, shared with the test that
// replays every finding kept in fuzz/regressions/<target>/.
#pragma once

#include "canvas/handles.h"
#include "cli/dumpjson.h"
#include "geometry/units.h"
#include "model/docfile.h"
#include "model/itemlist.h"
#include "render/decode.h"
#include "render/renderpass.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

constexpr int32_t maxFuzzedSides = 4096;

// Says Yes to the question about invalid records, so that every record is taken.
struct yesQuestions : model::docReadQuestions_t {
    bool askOpenInvalid() override { return true; }
    void warnNewerVersion(const std::string&) override {}
};

// Reads the bytes into `list` (which may hold a document already); true when
// they were taken, and then the list is walked the way the editor would.
inline bool readDocument(const uint8_t* data, size_t size, model::itemList_t& list)
{
    yesQuestions q;
    if (!model::readDocumentBytes(data, size, list, q)) return false;
    for (const model::item_t* it = list.head; it; it = it->next) {
        (void)model::textLineCount(it);
        (void)model::countNodes(it->points);
    }
    (void)model::nextStepId(list);
    return true;
}

// Reads the bytes, rebuilds every record's pixels and paints the whole canvas
// as the editor does after opening: the quick pass, then every item with
// shadows, 3-D surfaces and pictures on; then the marks of every third item,
// taken off again.
inline void paintDocument(const uint8_t* data, size_t size)
{
    model::itemList_t list;
    if (!readDocument(data, size, list)) return;
    for (model::item_t* it = list.head; it; it = it->next) {
        model::recomputePixels(it);
        // Stars and polygons are drawn up to 1,024,000 sides, exactly; but
        // filling the spikes of a star of more than some thousands of sides
        // takes the raster engine seconds to minutes (a known limit, not a
        // fault), which would stall every fuzz run that meets one.
        if (it->itemType == model::typeStar || it->itemType == model::typePolygon)
            it->sides = std::clamp<int32_t>(it->sides, -maxFuzzedSides, maxFuzzedSides);
    }
    if (model::item_t* header = model::findHeader(list)) {
        // As the editor takes a document: a usable zoom, the unit's scale, the page in pixels.
        auto& h = header->hdr();
        if (!(h.zoom > 0.0 && h.zoom <= 100.0)) h.zoom = 1.0;
        geometry::pxPerUnit(h.unit, h.pxPerUnitX, h.pxPerUnitY);
        geometry::computeCanvasPixels(header);
        render::renderView_t view;
        view.items = &list;
        const QSize s = render::canvasImageSize(header);
        view.Image1 = render::newCanvasImage(s.width(), s.height());
        view.viewOrigin = {static_cast<int32_t>(size % 97), static_cast<int32_t>(size % 89)};
        view.quickDraw = true;
        render::repaintAll(view, false);
        view.quickDraw = false;
        render::fullQualityPass(view);
        canvas::handleView_t how;
        how.zoom = h.zoom;
        how.origin = view.viewOrigin;
        view.markPositions = [&how](render::renderView_t&, model::item_t* it) { return canvas::handleSpots(it, how); };
        for (model::item_t* it = list.head; it; it = it->next) it->selected = it->zOrder % 3 == 0 ? 255 : 0;
        render::drawMarks(view);
        for (model::item_t* it = list.head; it; it = it->next) render::restoreUnders(view, it);
    }
    model::freeList(list);
}

// Reads the bytes and writes them as dump --json does. False when the output
// is not one well-formed JSON object with a record for each record read.
inline bool dumpIsWellFormed(const uint8_t* data, size_t size)
{
    model::itemList_t list;
    if (!readDocument(data, size, list)) return true;
    std::string out;
    const bool written = cli::writeDocumentJson(list, [&out](const char* p, size_t n) {
        out.append(p, n);
        return true;
    });
    QJsonParseError e;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromRawData(out.data(), qsizetype(out.size())), &e);
    const bool ok = written && e.error == QJsonParseError::NoError && doc.isObject() &&
                    doc.object()["records"].toArray().size() == model::countItems(list);
    model::freeList(list);
    return ok;
}

// Keeps the compiler from dropping a buffer written only to be freed.
inline void keepWritten(const void* p) { asm volatile("" : : "r"(p) : "memory"); }

// The picture decoder a decode_<format> target drives; null for another name.
using decoder_t = QImage (*)(const uint8_t*, size_t);
inline decoder_t decoderOf(const std::string& target)
{
    if (target == "decode_jpeg") return [](const uint8_t* d, size_t n) { return render::decodeJpeg(d, n); };
    if (target == "decode_gif") return render::decodeGif;
    if (target == "decode_bmp") return render::decodeBmp;
    if (target == "decode_ico") return render::decodeIco;
    if (target == "decode_wmf") return render::decodeWmf;
    if (target == "decode_emf") return render::decodeEmf;
    if (target == "decode_png") return render::decodePng;
    if (target == "decode_svg") return [](const uint8_t* d, size_t n) { return render::decodeSvg(d, n); };
    if (target == "decode_webp") return render::decodeWebp;
    if (target == "decode_tiff") return render::decodeTiff;
    return nullptr;
}

// Decodes the bytes twice with the target's decoder; false for an unknown
// target. Traps when a picture taken is not one the renderer can use, or
// when the two decodes differ (memory never written shows that way).
inline bool decodeAs(const std::string& target, const uint8_t* data, size_t size)
{
    const decoder_t decode = decoderOf(target);
    if (!decode) return false;
    const auto started = std::chrono::steady_clock::now();
    const QImage image = decode(data, size);
    const auto took = std::chrono::steady_clock::now() - started;
    if (target == "decode_jpeg") (void)render::decodeJpeg(data, size, 8);
    if (!image.isNull() &&
        ((image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) ||
         image.width() < 2 || image.height() < 2 || int64_t(image.width()) * image.height() > render::maxPicturePixels))
        __builtin_trap();
    // A metafile's play may stop at its time budget: one near it is not
    // played again (that would double a slow unit's time), and an unfinished
    // play gives no picture where a finished one gives the same.
    const bool timed = target == "decode_wmf";
    if (timed && took > std::chrono::milliseconds(250)) return true;
    // Memory freed with a pattern in it is what the second decode most likely
    // gets back: pixels never written then differ from the first decode's.
    {
        const size_t scribble = image.isNull() ? size_t(1) << 16 : size_t(image.sizeInBytes());
        std::vector<uint8_t> dirty(scribble, 0xA5);
        keepWritten(dirty.data());
    }
    const QImage again = decode(data, size);
    if (!(timed && (image.isNull() || again.isNull())) && again != image) __builtin_trap();
    return true;
}

} // namespace fuzzing
