// Bringing a picture into a document: the picture data record (stored once,
// shared by every item cut from it) and one picture item per clip, or one
// for the entire image, each item a history step of its own; or, when a
// picture item is re-clipped, a new version of that item.
#pragma once

#include "geometry/units.h"
#include "model/clips.h"
#include "model/item.h"
#include "model/itemlist.h"
#include "render/picturesource.h"
#include "settings/params.h"

#include <QSize>

#include <cstdint>
#include <vector>

namespace canvas {

class TSandbox;

// What the picture window does on "Insert" (its hosted codes).
enum class pictureMode_t : int32_t { newPicture = 51, reclip = 503, addClips = 510 };

// First item at (20, 20), each next one 10 pixels further right and down.
constexpr int32_t firstInsertOffset = 20;
constexpr int32_t insertStep = 10;
// A re-clipped item centred on its old place keeps its edges this far in.
constexpr int32_t reclipMinimumEdge = 10;

// The frame, shadow and 3-D of inserted pictures (the picture window's
// Effects settings).
struct pictureEffects_t {
    bool frameOn = false;
    double frameWidth = 0.0;  // mm
    int32_t frameColour = 0;
    settings::shadowTriple_t shadow;
    int32_t surface = 0;
};
pictureEffects_t effectsFromSettings(const settings::TParams& p);

// One clip as drawn: rectangle corners, or centre and rim (picture pixels).
struct clipShape_t {
    int32_t shape = model::clipRect;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
// The usable visible clips of a clip list, in list order.
std::vector<clipShape_t> usableClips(const model::itemList_t& clips);

struct pictureInsert_t {
    pictureMode_t mode = pictureMode_t::newPicture;
    // The loaded file (new picture only).
    const render::pictureSource_t* source = nullptr;
    model::pictureView_t view;
    double zoom = 1.0;
    // The whole displayed picture's size at the zoom (document pixels).
    QSize shown;
    // The oriented picture's size in picture pixels, when known: the entire
    // image's source never reaches past its last pixel (a JPEG shown from a
    // scaled decode may round a few pixels beyond it).
    QSize pictureSize;
    std::vector<clipShape_t> clips;  // none: the entire image
    pictureEffects_t effects;
    // Where the first new item's top-left corner goes (document pixels).
    geometry::point_t firstAt{firstInsertOffset, firstInsertOffset};
    // An entire image larger than the page goes in at the chosen zoom
    // instead of scaled down to fit the page.
    bool atChosenZoom = false;
};

// The request for a new entire image larger than a page of `page` document
// pixels: the zoom and size scaled down so that the image fits the page
// (its aspect kept) and its place centred on the page. Any other request,
// or one at the chosen zoom, is returned as it is.
pictureInsert_t fittedToPage(const pictureInsert_t& request, QSize page);

// The bytes a picture data record keeps of a loaded file: a JPEG, an icon
// and a metafile as read; a GIF's first image and a bitmap encoded again by
// their codecs (giflib for the GIF). Empty when encoding fails.
std::vector<uint8_t> storedPictureBytes(const render::pictureSource_t& source);

// One above the highest picture id of all the lists (a fresh random one
// should that overflow).
int32_t nextPictureId(model::pictureIdScope_t scope);

// Builds the records in `doc` (no screen work). Returns the items made or
// changed, in order; empty when nothing was inserted (re-clip and add clips
// need the one selected item to be a picture with a picture id; a new
// picture needs a loaded source whose bytes could be stored).
std::vector<model::item_t*> insertPictureRecords(model::itemList_t& doc, const pictureInsert_t& request,
                                                 model::pictureIdScope_t scope);

// The same in a document window: its marks come off first, the canvas is
// repainted and the host told; the inserted items (or the re-clipped item)
// end up selected. False when nothing was inserted.
bool insertPictureInto(TSandbox& w, const pictureInsert_t& request, model::pictureIdScope_t scope);

} // namespace canvas
