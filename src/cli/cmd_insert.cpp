// lumora-cli insert DOC PICTURE OUT [--at X,Y] [--zoom PERCENT]: a picture
// file inserted whole, as the picture window's "Insert" does without clips:
// one picture data record and one picture item showing the entire image,
// its top-left corner at X,Y document pixels, at the zoom; OUT is written
// only once complete.
#include "cli/command.h"
#include "cli/docio.h"

#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/clips.h"
#include "model/history.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "output/encode.h"
#include "render/picturesource.h"
#include "settings/params.h"
#include "settings/store.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

using model::item_t;

constexpr int32_t defaultCorner = 20;
constexpr int32_t defaultZoomPercent = 100;
// The zoom slider's range in the picture window.
constexpr int32_t minZoomPercent = 1, maxZoomPercent = 300;

bool corner(const std::string& text, int32_t& x, int32_t& y)
{
    const size_t comma = text.find(',');
    return comma != std::string::npos && cli::wholeNumber(text.substr(0, comma), -1000000, 1000000, x) &&
           cli::wholeNumber(text.substr(comma + 1), -1000000, 1000000, y);
}

// The bytes the picture data record keeps, as the editor stores them: a GIF's
// first image and a bitmap encoded again, every other format as read.
std::vector<uint8_t> storedBytes(const render::pictureSource_t& source)
{
    auto bytesOf = [](const QByteArray& b) { return std::vector<uint8_t>(b.begin(), b.end()); };
    if (source.format == model::pictureGif) return bytesOf(output::encodeGif(source.decoded));
    if (source.format == model::pictureBmp) return bytesOf(output::encodeBmp(source.decoded));
    return source.bytes;
}

int32_t nextPictureId(const model::itemList_t& doc)
{
    int32_t highest = 0;
    for (const item_t* it = doc.head; it; it = it->next) highest = std::max(highest, it->pictureId);
    return highest < INT32_MAX - 1 ? highest + 1 : 0;
}

int run(const std::vector<std::string>& argv)
{
    std::vector<std::string> args = argv;
    const char* usage = "usage: lumora-cli insert DOC PICTURE OUT [--at X,Y] [--zoom PERCENT]\n";
    std::string atText, zoomText;
    bool hasAt = false, hasZoom = false;
    if (!cli::takeOption(args, "--at", atText, hasAt) || !cli::takeOption(args, "--zoom", zoomText, hasZoom) ||
        args.size() != 3) {
        std::fprintf(stderr, "%s", usage);
        return cli::exitUsage;
    }
    int32_t x = defaultCorner, y = defaultCorner, percent = defaultZoomPercent;
    if (hasAt && !corner(atText, x, y)) {
        std::fprintf(stderr, "lumora-cli insert: --at takes X,Y in document pixels, not \"%s\"\n", atText.c_str());
        return cli::exitUsage;
    }
    if (hasZoom && !cli::wholeNumber(zoomText, minZoomPercent, maxZoomPercent, percent)) {
        std::fprintf(stderr, "lumora-cli insert: --zoom takes a percentage from %d to %d, not \"%s\"\n", minZoomPercent,
                     maxZoomPercent, zoomText.c_str());
        return cli::exitUsage;
    }

    // The picture first: a bad picture leaves no trace.
    render::pictureSource_t source;
    const QString pictureName = QString::fromStdString(args[1]);
    // Room for any picture at full scale: a JPEG is decoded at 1/1.
    const render::pictureLoad_t loaded = render::loadPictureFile(pictureName, QSize(INT32_MAX / 2, INT32_MAX / 2), source);
    if (loaded == render::pictureLoad_t::unreadable) {
        std::fprintf(stderr, "lumora-cli insert: cannot read %s\n", args[1].c_str());
        return cli::exitFileError;
    }
    if (loaded != render::pictureLoad_t::ok) {
        std::fprintf(stderr, "lumora-cli insert: %s is not a picture that can be inserted\n", args[1].c_str());
        return cli::exitFailed;
    }
    std::vector<uint8_t> bytes = storedBytes(source);
    const double zoom = percent / 100.0;
    const QSize shown = render::planDisplay(source.decoded.size(), zoom, source.denominator).result;
    if (bytes.empty() || shown.width() < 1 || shown.height() < 1) {
        std::fprintf(stderr, "lumora-cli insert: %s is not a picture that can be inserted\n", args[1].c_str());
        return cli::exitFailed;
    }

    model::itemList_t doc;
    if (const int rc = cli::loadDocument(args[0], false, doc); rc != cli::exitOk) return rc;
    const int32_t id = nextPictureId(doc);
    if (id == 0) {
        model::freeList(doc);
        std::fprintf(stderr, "lumora-cli insert: %s has no free picture id\n", args[0].c_str());
        return cli::exitFailed;
    }

    item_t* data = model::newItem(doc, model::typePictureData);
    data->kind = model::kindPictureData;
    model::invalidateIds(doc);
    data->undoState = model::stateCommitted;
    data->pictureId = id;
    data->setPictureFormat(source.format);
    data->x2 = data->boxRight = data->boxWidth = shown.width();
    data->y2 = data->boxBottom = data->boxHeight = shown.height();
    data->pic().insertScale = zoom;
    data->stream = std::make_unique<std::vector<uint8_t>>(std::move(bytes));
    model::setText(data, pictureName.toStdU16String());

    item_t* it = model::newItem(doc, model::typePicture);
    it->pictureId = id;
    it->clipShape = model::clipWhole;
    it->x1 = x;
    it->y1 = y;
    it->x2 = x + shown.width();
    it->y2 = y + shown.height();
    std::array<int32_t, 4> src = model::entireImageSource(shown.width(), shown.height(), zoom);
    src[2] = std::min(src[2], source.fullSize.width() - 1);
    src[3] = std::min(src[3], source.fullSize.height() - 1);
    it->srcLeft = src[0], it->srcTop = src[1], it->srcRight = src[2], it->srcBottom = src[3];
    it->scaleX = it->scaleY = it->baseScale = zoom;
    it->flipX = it->flipY = 1;
    it->orientation = 0;
    it->picWidth = shown.width();
    it->picHeight = shown.height();
    it->rotation = 0.0;
    // The frame, shadow and 3-D of the built-in settings, never the user's.
    settings::memoryStore_t store;
    const settings::TParams p(&store);
    it->frameOn = p.clframe == 1 ? 1 : 0;
    it->lineWeight = it->frameOn ? p.frwidth : 0.0;
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
    it->lineColor = p.frcolor;
    it->shadowElevation = p.shpict.elevation;
    it->shadowFade = p.shpict.fade;
    it->shadowLightness = p.shpict.lightness;
    it->surface = static_cast<uint8_t>(std::clamp(p.frplas, 0, 255));
    geometry::pictureBox(it);
    model::recomputePixels(it);
    model::recordNew(doc, it);

    const int rc = cli::saveDocument(args[2], doc);
    model::freeList(doc);
    return rc;
}

cli::cliCommand reg("insert",
                    "insert DOC PICTURE OUT [--at X,Y] [--zoom PERCENT]  — the picture inserted whole at X,Y "
                    "(20,20) at the zoom (100)",
                    &run);

} // namespace
