// The example document the README and the tests use.
#include "cli/docio.h"

#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/itemlist.h"
#include "samples/samplepictures.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <numbers>

namespace cli {

using namespace model;

namespace {

// The derived fields as the file reader rebuilds them, so that the example
// reads back and writes again byte for byte.
void readBack(item_t* it)
{
    recomputePixels(it);
}

// A line (or a text's base line) from P1 to P2, finished as the line tool
// finishes its items.
void placeLine(item_t* it, geometry::point_t p1, geometry::point_t p2)
{
    it->x1 = p1.x;
    it->y1 = p1.y;
    it->x2 = p2.x;
    it->y2 = p2.y;
    geometry::lineGeometry(it);
    computeMeasure(it);
    readBack(it);
}

// A shape from the points its tool places, in the tool's order, built and
// finished by the same geometry as the tools use: its stored points, box and
// handles then agree with the outline that is drawn.
void placeShape(item_t* it, const std::vector<geometry::point_t>& points)
{
    const bool built = geometry::buildShapePoints(it, it->itemType, points, it->sides);
    assert(built && "the example's points make the shape");
    (void)built;
    geometry::savePoints(it->points);
    geometry::itemBounds(it);
    computeMeasure(it);
    readBack(it);
}

item_t* drawable(itemList_t& list, int32_t type, int32_t action)
{
    item_t* it = newItem(list, type);
    it->actionId = action;
    it->zOrder = maxZOrder(list) + 1;
    it->undoState = 0;
    it->lineWeight = 0.5;
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
    noteIds(list, it);
    return it;
}

// A 2 × 2 24-bit BMP: red, green / blue, white.
std::vector<uint8_t> tinyBmp()
{
    const uint8_t rows[2][8] = {{0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0},   // bottom row: blue, white
                                {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0}};  // top row: red, green
    std::vector<uint8_t> b(54, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + 16);
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    b[26] = 1;
    b[28] = 24;
    put32(34, 16);
    for (const auto& r : rows) b.insert(b.end(), r, r + 8);
    return b;
}

// An A4 page in millimetres, as a new document of the editor has it.
item_t* addExampleHeader(itemList_t& list)
{
    item_t* h = newItem(list, typeHeader);
    h->kind = kindHeader;
    invalidateIds(list);  // the header's ids no longer count among kind 0 records
    std::memset(h->bodyBytes() + 116, 0, 331 - 116);
    auto& hd = h->hdr();
    hd.zoom = 1.0;
    hd.unit = geometry::unitMillimetres;
    geometry::pxPerUnit(hd.unit, hd.pxPerUnitX, hd.pxPerUnitY);
    hd.angles = 1;
    hd.canvasWidth = 210;
    hd.canvasHeight = 297;
    hd.anchorStepX = hd.anchorStepY = 10;
    hd.showGridX = hd.showAnchorsX = hd.showGridY = hd.showAnchorsY = 1;
    hd.designType = 1;
    hd.pageOrientation = 1;
    hd.presetIndex = -1;
    hd.paperWidth = hd.cardWidth = 210;
    hd.paperHeight = hd.cardHeight = 297;
    hd.rows = hd.columns = 1;
    hd.fileVersion = formatVersion;
    geometry::computeCanvasPixels(h);
    std::u16string setup;
    for (const char16_t* f : {u"210", u"297", u"210", u"297", u"0", u"0", u"0", u"0", u"1", u"1", u"0", u"0", u"0", u"0"})
        setup += std::u16string(f) + lineSeparator;
    setText(h, setup);

    return h;
}

// Stored committed, the way any saved document reads back: ids 1, 2, 3 ...
// in list order, no history.
void commitExample(itemList_t& list)
{
    int32_t step = 0;
    for (item_t* it = list.head; it; it = it->next) {
        if (it->itemType == typeHeader || it->itemType == typePictureData) continue;
        it->stepId = ++step;
        it->undoState = 0;
        it->replacesStep = 0;
    }
    invalidateIds(list);
    setModified(list, false);
}

// A picture data record holding a picture file of w × h pixels.
void addPictureData(itemList_t& list, int32_t id, int32_t format, std::vector<uint8_t> bytes, const std::u16string& name,
                    int32_t w, int32_t h)
{
    item_t* data = newItem(list, typePictureData);
    data->kind = kindPictureData;
    invalidateIds(list);
    data->undoState = 0;
    data->pictureId = id;
    data->setPictureFormat(format);
    data->x2 = data->boxRight = data->boxWidth = w;
    data->y2 = data->boxBottom = data->boxHeight = h;
    data->pic().insertScale = 1.0;
    data->stream = std::make_unique<std::vector<uint8_t>>(std::move(bytes));
    setText(data, name);
}

} // namespace

void buildExampleDocument(itemList_t& list)
{
    addExampleHeader(list);

    item_t* grid = newItem(list, typeGrid);
    grid->undoState = 0;
    for (int32_t x : {76, 151, 227, 302, 378, 454, 529, 605, 680, 756}) addAnchorX(grid, x);
    for (int32_t y : {76, 151, 227, 302, 378, 454, 529, 605, 680, 756, 832, 907, 983, 1058}) addAnchorY(grid, y);

    item_t* pattern = newItem(list, nextPatternId(list));
    pattern->kind = kindPattern;
    invalidateIds(list);
    const double dashes[] = {3.0, 1.0, 0.5, 1.0};
    for (int i = 0; i < 4; ++i) pattern->pat().segments[i] = dashes[i];
    pattern->pat().segmentCount = 4;

    int32_t action = nextActionId(list);

    item_t* line = drawable(list, typeLine, action++);
    placeLine(line, {76, 76}, {680, 151});
    line->lineColor = 0x0000C0;
    line->lineWeight = 1.0;
    line->penWidthPx = geometry::penWidthAt(1.0, line->lineWeight);
    line->patternIndex = pattern->itemType;

    item_t* rect = drawable(list, typeRectangle, action++);
    rect->shapeVariant = 2;
    // First side, then a point on the perpendicular through its end.
    placeShape(rect, {{76, 227}, {378, 227}, {378, 454}});
    rect->fillColor = 0xFFE0C0;
    rect->lineColor = 0x804000;

    item_t* tri = drawable(list, typeTriangle, action++);
    tri->shapeVariant = 2;
    placeShape(tri, {{605, 227}, {756, 454}, {454, 454}});
    tri->fillColor = 0x80FF80;
    tri->shadowElevation = 4;
    tri->shadowFade = 2;

    item_t* star = drawable(list, typeStar, action++);
    star->sides = 5;
    star->shapeVariant = 2;
    // Centre, the tip of the upper spike (the size), a point at the depth
    // between the spikes.
    const geometry::point_t c{227, 680};
    placeShape(star, {c, {227, 529}, geometry::polarPoint(c, std::numbers::pi / 2 + std::numbers::pi / 5, 60)});
    star->fillColor = 0x00D7FF;
    star->surface = 1;

    item_t* ellipse = drawable(list, typeEllipse, action++);
    // Centre, end of the long axis, and a point at the short semi-axis.
    placeShape(ellipse, {{605, 680}, {756, 680}, {605, 605}});
    ellipse->fillColor = -1;
    ellipse->lineColor = 0x008000;

    item_t* text = drawable(list, typeText, action++);
    placeLine(text, {76, 907}, {680, 907});
    setText(text, u"Lumora example" + std::u16string(1, lineSeparator) + u"Shapes, a line and a picture");
    text->fontSize = 24;
    text->fontWeight = 700;
    text->textColor = 0x400000;
    text->justification = 1;

    const int32_t picId = 424242;
    addPictureData(list, picId, model::pictureBmp, tinyBmp(), u"tiny.bmp", 2, 2);

    item_t* pic = drawable(list, typePicture, action++);
    pic->x1 = 529;
    pic->y1 = 907;
    pic->x2 = 680;
    pic->y2 = 1058;
    geometry::pictureBox(pic);
    readBack(pic);
    pic->pictureId = picId;
    pic->srcRight = pic->srcBottom = 2;
    pic->scaleX = pic->scaleY = 75.5;
    pic->picWidth = pic->picHeight = 2;
    pic->frameOn = 1;

    commitExample(list);
}


// How one picture of the picture example is shown.
struct pictureLook_t {
    int32_t format;           // which sample picture
    int32_t clip = clipWhole;
    double rotation = 0;
    int32_t orientation = 0;
    bool mirrorX = false;
    int32_t saturation = 0, contrast = 0, lightness = 0;
    bool frame = false;
    uint8_t surface = 0;
    uint8_t shadow = 0;
};

void buildPictureExampleDocument(itemList_t& list)
{
    addExampleHeader(list);
    constexpr int32_t sw = 160, sh = 120;  // the sample pictures' size
    int32_t id = 1000;
    std::vector<int32_t> ids;
    for (samples::sampleFile_t& f : samples::sampleFiles(sw, sh)) {
        const int32_t w = f.format == pictureIco ? 64 : sw, h = f.format == pictureIco ? 64 : sh;
        std::u16string name(f.name.begin(), f.name.end());
        addPictureData(list, ++id, f.format, std::move(f.bytes), name, w, h);
        ids.push_back(id);
    }
    // ids: jpeg, gif, bmp, ico, wmf, emf in that order.
    const pictureLook_t looks[] = {
        {0}, {1}, {2}, {3}, {4}, {5},
        {0, clipRect, 0, 0, false, 0, 0, 0, true},
        {1, clipRound, 0, 0, false, 0, 0, 0, true, 0, 40},
        {2, clipWhole, 0, 0, false, 0, 0, 0, true, 127},
        {0, clipWhole, 0.5, 0, false, 0, 0, 0, true, 0, 40},
        {5, clipWhole, 0, 0, true},
        {4, clipWhole, 0, 90},
        {0, clipWhole, 0, 0, false, 128},
        {1, clipWhole, 0, 0, false, 0, 256, 30},
        {2, clipRound, 0.6, 0, false, -128, 0, 0, true, 127, 40},
    };
    int32_t action = nextActionId(list);
    int32_t k = 0;
    for (const pictureLook_t& look : looks) {
        const int32_t col = k % 3, row = k / 3;
        ++k;
        const bool icon = look.format == 3;
        const int32_t pw = icon ? 64 : sw, ph = icon ? 64 : sh;
        const int32_t left = 60 + col * 250, top = 60 + row * 210;
        item_t* pic = drawable(list, typePicture, action++);
        pic->pictureId = ids[size_t(look.format)];
        pic->clipShape = look.clip;
        pic->flipX = pic->flipY = 1;
        pic->orientation = look.orientation;
        const bool sideways = look.orientation == 90 || look.orientation == 270;
        const int32_t ow = sideways ? ph : pw, oh = sideways ? pw : ph;
        if (look.clip == clipRound) {
            pic->srcLeft = ow / 2, pic->srcTop = oh / 2, pic->srcRight = ow / 2 + oh * 2 / 5, pic->srcBottom = oh / 2;
            pic->x1 = left + 90, pic->y1 = top + 80, pic->x2 = left + 170, pic->y2 = top + 80;
        } else if (look.clip == clipRect) {
            pic->srcLeft = ow / 4, pic->srcTop = 0, pic->srcRight = ow, pic->srcBottom = oh / 2;
            pic->x1 = left, pic->y1 = top, pic->x2 = left + 180, pic->y2 = top + 120;
        } else {
            pic->srcRight = ow, pic->srcBottom = oh;
            // At most 180 wide and 150 high, in the picture's proportions.
            const int32_t tw = icon ? 128 : std::min(180, 150 * ow / oh), th = icon ? 128 : tw * oh / ow;
            pic->x1 = left, pic->y1 = top, pic->x2 = left + tw, pic->y2 = top + th;
        }
        geometry::pictureBox(pic);
        readBack(pic);
        const double scale = double(pic->boxRight - pic->boxLeft) / std::max(1, std::abs(pic->srcRight - pic->srcLeft));
        pic->scaleX = look.mirrorX ? -scale : scale;
        pic->scaleY = scale;
        pic->picWidth = pw, pic->picHeight = ph;
        pic->rotation = look.rotation;
        pic->saturation = look.saturation, pic->contrast = look.contrast, pic->lightness = look.lightness;
        pic->frameOn = look.frame;
        pic->lineWeight = look.surface ? 3.0 : 1.0;
        pic->lineColor = look.surface ? 0x2080C0 : 0x303030;
        pic->surface = look.surface;
        pic->shadowElevation = look.shadow;
        pic->shadowFade = look.shadow ? 10 : 0;
        pic->shadowLightness = look.shadow ? 120 : 0;
    }
    commitExample(list);
}

} // namespace cli
