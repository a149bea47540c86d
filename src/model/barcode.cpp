#include "model/barcode.h"

#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/extensions.h"
#include "model/history.h"
#include "model/itemlist.h"
#include "model/docfile.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace model {

namespace {

struct symbologyRow_t {
    symbology_t code;
    std::string_view name;
    std::string_view title;
    bool matrix;
};

constexpr std::array<symbologyRow_t, symbologyLast> symbologyRows{{
    {symbology_t::qrCode, "qr", "QR Code", true},
    {symbology_t::dataMatrix, "datamatrix", "Data Matrix", true},
    {symbology_t::pdf417, "pdf417", "PDF417", true},
    {symbology_t::aztec, "aztec", "Aztec", true},
    {symbology_t::code128, "code128", "Code 128", false},
    {symbology_t::code39, "code39", "Code 39", false},
    {symbology_t::ean13, "ean13", "EAN-13", false},
    {symbology_t::ean8, "ean8", "EAN-8", false},
    {symbology_t::upcA, "upca", "UPC-A", false},
    {symbology_t::upcE, "upce", "UPC-E", false},
    {symbology_t::itf14, "itf14", "ITF-14", false},
    {symbology_t::gs1_128, "gs1-128", "GS1-128", false},
    {symbology_t::codabar, "codabar", "Codabar", false},
}};

const symbologyRow_t* rowOf(int32_t symbology)
{
    if (!knownSymbology(symbology)) return nullptr;
    return &symbologyRows[static_cast<size_t>(symbology - symbologyFirst)];
}

} // namespace

bool isBarcodeItem(const item_t* item)
{
    if (!item || item->kind != kindItem || item->itemType != typeRectangle) return false;
    const extensionData_t* ext = findExtensions(item);
    return ext && ext->find(keyBarcodeType);
}

std::optional<barcodeContent_t> readBarcode(const item_t* item)
{
    if (!isBarcodeItem(item)) return std::nullopt;
    const extensionData_t& ext = *findExtensions(item);
    const std::optional<int64_t> type = ext.integer(keyBarcodeType);
    if (!type || !knownSymbology(*type)) return std::nullopt;
    barcodeContent_t content;
    content.symbology = static_cast<int32_t>(*type);
    if (std::optional<std::string> data = ext.text(keyBarcodeData)) content.data = std::move(*data);
    if (content.data.size() > barcodeDataLimit) return std::nullopt;
    if (const std::optional<int64_t> ec = ext.integer(keyBarcodeEc)) {
        if (*ec < ecAuto || *ec > ecHigh) return std::nullopt;
        content.ecLevel = static_cast<int32_t>(*ec);
    }
    if (const std::optional<int64_t> hrt = ext.integer(keyBarcodeText)) content.showText = *hrt != 0;
    return content;
}

void writeBarcode(item_t* item, const barcodeContent_t& content)
{
    extensionData_t& ext = extensionsOf(item);
    ext.setInteger(keyBarcodeType, content.symbology);
    ext.setText(keyBarcodeData, content.data);
    ext.setInteger(keyBarcodeEc, content.ecLevel);
    ext.setInteger(keyBarcodeText, content.showText ? 1 : 0);
}

int32_t barcodeQuarterTurn(const item_t* item)
{
    const pointNode_t* a = item ? item->points.head : nullptr;
    const pointNode_t* b = a ? a->next : nullptr;
    if (!b) return 0;
    const int64_t dx = int64_t(b->p.x) - a->p.x, dy = int64_t(b->p.y) - a->p.y;
    // Screen y grows downwards: a side running up is a turn to the left.
    if (std::llabs(dx) >= std::llabs(dy)) return dx >= 0 ? 0 : 2;
    return dy < 0 ? 1 : 3;
}

void defaultBarcodeSize(int32_t symbology, int32_t& width, int32_t& height)
{
    constexpr int32_t inch = 96;
    width = isMatrixSymbology(symbology) ? inch : 2 * inch;
    height = inch;
}

void setBarcodeBox(item_t* it, int32_t x, int32_t y, int32_t width, int32_t height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    // The first side along the top, then the far corner: the rectangle tool's points.
    geometry::buildShapePoints(it, typeRectangle, {{x, y}, {x + width, y}, {x + width, y + height}}, 0);
    geometry::savePoints(it->points);
    geometry::itemBounds(it);
    computeMeasure(it);
    recomputePixels(it);
}

item_t* newBarcodeItem(itemList_t& list, int32_t x, int32_t y, int32_t width, int32_t height,
                       const barcodeContent_t& content)
{
    item_t* it = newItem(list, typeRectangle);
    it->lineColor = 0x000000;
    it->fillColor = 0xFFFFFF;
    it->shapeVariant = variantFilled;
    it->lineWeight = 0.0;
    it->outlineWeight = 0.0;
    it->direction = -1.0;
    it->roundness = defaultRoundness;
    it->penWidthPx = geometry::penWidthAt(1.0, it->lineWeight);
    setBarcodeBox(it, x, y, width, height);
    writeBarcode(it, content);
    recordNew(list, it);
    return it;
}

std::string_view symbologyName(int32_t symbology)
{
    const symbologyRow_t* row = rowOf(symbology);
    return row ? row->name : std::string_view{};
}

std::optional<int32_t> symbologyByName(std::string_view name)
{
    for (const symbologyRow_t& row : symbologyRows)
        if (row.name == name) return static_cast<int32_t>(row.code);
    return std::nullopt;
}

std::string_view symbologyTitle(int32_t symbology)
{
    const symbologyRow_t* row = rowOf(symbology);
    return row ? row->title : std::string_view{};
}

bool isMatrixSymbology(int32_t symbology)
{
    const symbologyRow_t* row = rowOf(symbology);
    return row && row->matrix;
}

} // namespace model
