// The render pass of a document window: background and page guides, items in
// stacking order dispatched to the renderer of their type, selection marks,
// save-unders, and the output variant that renders onto any bitmap at any scale.
#pragma once

#include "geometry/rect.h"
#include "geometry/units.h"
#include "model/item.h"
#include "render/surface.h"
#include "render/texthook.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <vector>

namespace settings {
class TParams;
}

namespace render {

// Each function taking a rectangle says whether its right and bottom are
// inside (inclusive) or just outside (exclusive).
using geometry::rect_t;

// Colours and sizes of the canvas furniture; the settings object fills these
// at start-up, the defaults are the factory values.
struct renderStyle_t {
    int32_t canvasColor = 0xFFFFFF;
    int32_t pageGuideColor = 0xC0C0C0;
    int32_t gridlineColor = 0xFFCCAA;
    int32_t hiddenPictureOutline = 0x000000;
    int32_t pictureFrameColor = 0xC0C0C0;
    int32_t dragOutlineColor = 0x0000FF;
    int32_t handleWidth = 8;
    int32_t handleHeight = 8;
    int32_t handlePen = 1;
    int32_t handleOutline = 0x808080;
    int32_t itemHandleColor = 0x00FFFF;
    int32_t groupHandleColor = 0x0000FF;
    int32_t rotationDotColor = 0x00FF00;
    int32_t rotationDotDistance = 40;
    int32_t constructionPen = 0x0000FF;
    int32_t constructionBrush = 0x00FFFF;
};

// The furniture colours and sizes taken from the settings object.
renderStyle_t renderStyleFrom(const settings::TParams& params);

// A rectangle of the canvas saved with its pixels so it can be put back.
struct savedArea_t {
    bool valid = false;
    QRect rect;      // on the canvas image, clipped
    QImage pixels;
};

// One selection mark of an item: a handle square, or the rotation dot with
// the arm from the item's centre.
struct markSpot_t {
    enum kind_t { handle, groupHandle, rotationDot } kind = handle;
    int32_t code = 0;
    geometry::point_t at;      // canvas pixels
    geometry::point_t centre;  // rotation dots: the other end of the arm
};

// The per-window state the render pass reads and writes. The document window
// owns one; headless callers (the command-line tool, tests) build their own.
struct renderView_t {
    model::itemList_t* items = nullptr;
    QImage Image1;                        // the canvas, at most 1600 × 1600
    geometry::point_t viewOrigin;         // canvas pixel of the image's top-left
    bool showPictures = true;
    bool showShadows = true;
    bool show3D = true;
    bool quickDraw = false;
    // The dotted fold lines of a folded card (the screen only; never printed).
    bool showFoldLines = true;
    savedArea_t selectionUnder;
    renderStyle_t style;

    // When set, every drawing operation of the pass is also appended here.
    std::vector<primitive_t>* recordTo = nullptr;
    // The passes leave out items whose effect box misses the image: the
    // pixels are the same either way (tests compare with this off).
    bool skipUnseen = true;

    // Handle positions of a selected item (filled in by the selection code).
    std::function<std::vector<markSpot_t>(renderView_t&, model::item_t*)> markPositions;
    // Redraws the gridline anchors in the gutters.
    std::function<void(renderView_t&)> drawAnchors;
    // Drops cached picture bitmaps (their 3-D frames depend on show3D).
    std::function<void(renderView_t&)> dropPictureCaches;
    // Starts the deferred-work timer (which ends with drawMarks).
    std::function<void(renderView_t&)> startDeferred;
    // Lets the user interface process pending events during the full-quality
    // pass; returns true when the document may have changed.
    std::function<bool(renderView_t&)> processEvents;
    // When set, a large picture not yet decoded is decoded on a background
    // thread and drawn as its outline meanwhile; this is then called on the
    // GUI thread with its picture data record's cacheSerial and the decoded
    // picture (null when undecodable), for the owner to hand it to the
    // picture cache and draw again. The owner must outlive nothing: it is
    // called even after the view is gone, so it checks its own lifetime.
    std::function<void(uint64_t dataSerial, QImage decoded)> pictureDecoded;
    // When set, texts are drawn with the words it gives (a data merge's
    // values); picking and editing keep using the stored text.
    textSubstitute_t substituteText;
};

// The canvas image size for a header's page at its zoom: the zoomed page's
// right and bottom edges, each at most 1600 and at least 1.
QSize canvasImageSize(const model::item_t* header);

double viewZoom(const renderView_t& view);

// Whether the pass draws this record at all.
bool isDrawable(const model::item_t* item);

// The painting order: for z = 1 … the largest, the first drawable record in
// list order whose zOrder is z.
std::vector<model::item_t*> paintingOrder(const model::itemList_t& list);

// Reach of an item in document pixels: its box, grown by its weight and, with
// a shadow, by everything the shadow can darken at the zoom.
rect_t itemReach(const model::item_t* item, double zoom = 1.0);

// Whether drawing the item at the view's zoom and origin can change a pixel
// of the view's image: false only when its effect box (its reach at that
// zoom, a shadow's spread included, on the canvas and grown by every pen,
// band and outline it is drawn with, or
// for a line whose stored angle does not follow its points, the circle its
// dash walk may sweep) misses the image. Items whose drawing is not bounded
// that way (texts) always count as seen.
bool mayTouchImage(const renderView_t& view, const model::item_t* item);
// The same for a rectangle of the image (inclusive).
bool mayTouchArea(const renderView_t& view, const model::item_t* item, const QRect& area);

void drawItem(renderView_t& view, model::item_t* item, bool noEffects);
// rect: right and bottom exclusive.
void paintBackground(renderView_t& view, rect_t rect);
void drawGridlines(renderView_t& view);
// docRect: document pixels, inclusive; returns it grown by every drawn item's reach.
rect_t drawItemsInRect(renderView_t& view, rect_t docRect, bool skipSelected);
// The gridlines, then every item whose reach meets docRect (document pixels,
// inclusive), without growing it: enough for a piece of the canvas painted
// on an image of its own.
void drawItemsMeeting(renderView_t& view, rect_t docRect, bool skipSelected);
void repaintAll(renderView_t& view, bool runDeferred);
// The bands a pass over the whole image that draws `items` (in painting
// order) is cut into, given the `even` bands of its thread count. Shadows'
// blurs and shaded surfaces cost many times a plain figure's pixels and lie
// where their items are, so while the view shows them the rows are shared
// out by an estimate of that cost (each item's box, a shadow's whole reach,
// each pixel weighted by what is done there); otherwise the even bands stay.
std::vector<QRect> effectBands(const renderView_t& view, const std::vector<QRect>& even,
                               const std::vector<model::item_t*>& items);
// Paints the canvas rectangle `area` (canvas pixels, inclusive) again: the
// background, then every item whose reach meets it, each drawn whole, so the
// painted part grows by those items. A shadow depends on everything under
// it, so while any item casts one the whole canvas is painted. Returns the
// canvas rectangle that was painted (clipped to the image).
QRect repaintArea(renderView_t& view, const QRect& area);
void fullQualityPass(renderView_t& view);

// Stores the three view switches when any differs, dropping cached picture
// bitmaps when the 3-D switch changed, and repaints; false when nothing changed.
bool setViewSwitches(renderView_t& view, bool showPictures, bool showShadows, bool show3D);

// A construction line of a pie, arc or curve being drawn: dotted, 1 pixel.
void drawConstructionLine(renderView_t& view, geometry::point_t from, geometry::point_t to);

void drawMarks(renderView_t& view);
void drawItemMarks(renderView_t& view, model::item_t* item);
void drawHandleSquare(renderView_t& view, model::item_t* item, int32_t code, geometry::point_t at, bool group);
void drawRotationDot(renderView_t& view, model::item_t* item, int32_t code, geometry::point_t centre,
                     geometry::point_t dot);

// Save-unders (inclusive rectangles on the canvas image).
void saveUnder(renderView_t& view, model::item_t* item, int32_t code, rect_t rect);
void restoreUnders(renderView_t& view, model::item_t* item);
void dropUnders(model::item_t* item);
constexpr int32_t keptUnderCode = -999;

void saveArea(renderView_t& view, rect_t rect);
void restoreArea(renderView_t& view);

// Renders one item onto a bitmap: points map to Round(x × scaleX) + origin.x,
// widths use scaleY, effects are always on.
// `substitute` (may be null) gives texts other words, barcodes other data.
void renderItemToBitmap(QImage& bitmap, const model::itemList_t& document, model::item_t* item, QPoint origin,
                        double scaleX, double scaleY, const textSubstitute_t* substitute = nullptr);
// The same onto a vector device (a PDF or SVG page) whose painter works in
// device pixels: the same figures as paths and text, the pixel effects as
// layers at the device's resolution. `bounds` is the device's area; `layers`
// (may be null) keeps identical layers shared.
void renderItemToDevice(QPainter& painter, QRect bounds, layerStore_t* layers, const model::itemList_t& document,
                        model::item_t* item, QPoint origin, double scaleX, double scaleY,
                        const textSubstitute_t* substitute = nullptr);

} // namespace render
