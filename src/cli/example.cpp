// The example document the README and the tests use.
#include "cli/docio.h"

#include "geometry/units.h"
#include "model/itemlist.h"

#include <cstring>
#include <numbers>

namespace cli {

using namespace model;

namespace {

// Sets the defining points and everything derived from them.
void place(item_t* it, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    it->x1 = x1;
    it->y1 = y1;
    it->x2 = x2;
    it->y2 = y2;
    computeMeasure(it);
    recomputePixels(it);
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

} // namespace

void buildExampleDocument(itemList_t& list)
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
    place(line, 76, 76, 680, 151);
    line->lineColor = 0x0000C0;
    line->lineWeight = 1.0;
    line->penWidthPx = geometry::penWidthAt(1.0, line->lineWeight);
    line->patternIndex = pattern->itemType;

    item_t* rect = drawable(list, typeRectangle, action++);
    place(rect, 76, 227, 378, 454);
    for (auto [x, y] : {std::pair{76, 227}, {378, 227}, {378, 454}, {76, 454}}) addPoint(rect, x, y);
    rect->fillColor = 0xFFE0C0;
    rect->lineColor = 0x804000;
    rect->shapeVariant = 2;

    item_t* tri = drawable(list, typeTriangle, action++);
    place(tri, 454, 227, 756, 454);
    for (auto [x, y] : {std::pair{605, 227}, {756, 454}, {454, 454}}) addPoint(tri, x, y);
    tri->fillColor = 0x80FF80;
    tri->shadowElevation = 4;
    tri->shadowFade = 2;
    tri->shapeVariant = 2;

    item_t* star = drawable(list, typeStar, action++);
    place(star, 227, 680, 227, 529);
    star->sides = 5;
    const geometry::point_t c{227, 680};
    for (int i = 0; i < 10; ++i) {
        const double a = std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const auto p = geometry::polarPoint(c, a, i % 2 ? 60 : 151);
        addPoint(star, p.x, p.y);
    }
    star->fillColor = 0x00D7FF;
    star->surface = 1;
    star->shapeVariant = 2;

    item_t* ellipse = drawable(list, typeEllipse, action++);
    // Centre, end of the long axis, and a point at the short semi-axis.
    place(ellipse, 605, 680, 756, 680);
    for (auto [x, y] : {std::pair{605, 680}, {756, 680}, {605, 605}}) addPoint(ellipse, x, y);
    ellipse->fillColor = -1;
    ellipse->lineColor = 0x008000;

    item_t* text = drawable(list, typeText, action++);
    place(text, 76, 907, 680, 907);
    setText(text, u"Lumora example" + std::u16string(1, lineSeparator) + u"Shapes, a line and a picture");
    text->fontSize = 24;
    text->fontWeight = 700;
    text->textColor = 0x400000;
    text->justification = 1;

    const int32_t picId = 424242;
    item_t* data = newItem(list, typePictureData);
    data->kind = kindPictureData;
    invalidateIds(list);
    data->undoState = 0;
    data->pictureId = picId;
    data->clipShape = model::pictureBmp;
    data->x2 = data->boxRight = data->boxWidth = 2;
    data->y2 = data->boxBottom = data->boxHeight = 2;
    data->pic().insertScale = 1.0;
    data->stream = std::make_unique<std::vector<uint8_t>>(tinyBmp());
    setText(data, u"tiny.bmp");

    item_t* pic = drawable(list, typePicture, action++);
    place(pic, 529, 907, 680, 1058);
    pic->pictureId = picId;
    pic->srcRight = pic->srcBottom = 2;
    pic->scaleX = pic->scaleY = 75.5;
    pic->picWidth = pic->picHeight = 2;
    pic->frameOn = 1;

    // Stored committed, the way any saved document reads back: ids 1, 2, 3 ...
    // in list order, no history.
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

} // namespace cli
