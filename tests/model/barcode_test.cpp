// The barcode item: its stored values, its turn, its file round trip, and
// what it is to a reader that does not know barcodes.
#include "docfile_support.h"

#include "geometry/transform.h"
#include "model/barcode.h"
#include "model/docfile.h"
#include "model/extensions.h"
#include "model/history.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

using namespace model;
using namespace testsupport;

namespace {

struct barcodeDoc {
    itemList_t list;
    barcodeDoc() { newDocument(list); }
    ~barcodeDoc() { freeList(list); }
    item_t* add(const barcodeContent_t& content, int32_t x = 40, int32_t y = 50, int32_t w = 96, int32_t h = 96)
    {
        return newBarcodeItem(list, x, y, w, h, content);
    }
};

barcodeContent_t content(symbology_t s, std::string data, int32_t ec = ecAuto, bool text = true)
{
    return {static_cast<int32_t>(s), std::move(data), ec, text};
}

std::vector<uint8_t> encoded(itemList_t& list)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(encodeDocument(list, bytes, &error)) << error;
    return bytes;
}

// Left, top, right, bottom of the rectangle's points.
std::array<int32_t, 4> pointExtent(const item_t* it)
{
    std::array<int32_t, 4> e{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const pointNode_t* n = it->points.head; n; n = n->next) {
        e[0] = std::min(e[0], n->p.x), e[1] = std::min(e[1], n->p.y);
        e[2] = std::max(e[2], n->p.x), e[3] = std::max(e[3], n->p.y);
    }
    return e;
}

// The document as this program leaves it after a read (the header's derived
// fields filled in, ids renumbered), so that what follows compares like with like.
void settle(itemList_t& list)
{
    const auto bytes = encoded(list);
    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(bytes.data(), bytes.size(), back, q));
    freeList(list);
    list = back;
}

item_t* firstRectangle(itemList_t& list)
{
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == kindItem && it->itemType == typeRectangle && !it->hidden) return it;
    return nullptr;
}

} // namespace

TEST(BarcodeItem, IsARectangleOfItsBoxInItsColours)
{
    barcodeDoc doc;
    item_t* it = doc.add(content(symbology_t::ean13, "400638133393"), 40, 50, 192, 96);
    EXPECT_EQ(it->itemType, typeRectangle);
    EXPECT_EQ(it->shapeVariant, variantFilled) << "an old reader fills the placeholder with the background";
    EXPECT_EQ(pointExtent(it), (std::array{40, 50, 232, 146}));
    EXPECT_EQ(it->lineColor, 0x000000);
    EXPECT_EQ(it->fillColor, 0xFFFFFF);
    EXPECT_EQ(barcodeQuarterTurn(it), 0);
    EXPECT_TRUE(isBarcodeItem(it));
    EXPECT_EQ(readBarcode(it), content(symbology_t::ean13, "400638133393"));
}

TEST(BarcodeItem, StoredValuesComeBackOnlyWhenUsable)
{
    const struct {
        const char* what;
        std::function<void(extensionData_t&)> change;
        bool usable;
    } cases[] = {
        {"as written", [](extensionData_t&) {}, true},
        {"every symbology number", [](extensionData_t& e) { e.setInteger(keyBarcodeType, symbologyLast); }, true},
        {"symbology 0", [](extensionData_t& e) { e.setInteger(keyBarcodeType, 0); }, false},
        {"a symbology of a newer program", [](extensionData_t& e) { e.setInteger(keyBarcodeType, symbologyLast + 1); }, false},
        {"the type as text", [](extensionData_t& e) { e.setText(keyBarcodeType, "qr"); }, false},
        {"a newer layout of the type", [](extensionData_t& e) { e.setInteger(keyBarcodeType, 1, 2); }, false},
        {"level H", [](extensionData_t& e) { e.setInteger(keyBarcodeEc, ecHigh); }, true},
        {"level above H", [](extensionData_t& e) { e.setInteger(keyBarcodeEc, ecHigh + 1); }, false},
        {"negative level", [](extensionData_t& e) { e.setInteger(keyBarcodeEc, -1); }, false},
        {"data at the limit", [](extensionData_t& e) { e.setText(keyBarcodeData, std::string(barcodeDataLimit, '7')); }, true},
        {"data one byte over", [](extensionData_t& e) { e.setText(keyBarcodeData, std::string(barcodeDataLimit + 1, '7')); }, false},
        {"a megabyte of data", [](extensionData_t& e) { e.setText(keyBarcodeData, std::string(1 << 20, 'x')); }, false},
    };
    for (const auto& c : cases) {
        barcodeDoc doc;
        item_t* it = doc.add(content(symbology_t::qrCode, "https://example.com", ecMedium));
        c.change(extensionsOf(it));
        EXPECT_TRUE(isBarcodeItem(it)) << c.what;
        EXPECT_EQ(readBarcode(it).has_value(), c.usable) << c.what;
    }
}

TEST(BarcodeItem, OnlyRectanglesWithATypeAreBarcodes)
{
    barcodeDoc doc;
    item_t* it = doc.add(content(symbology_t::qrCode, "x"));
    extensionsOf(it).remove(keyBarcodeType);
    EXPECT_FALSE(isBarcodeItem(it)) << "data alone makes no barcode";
    writeBarcode(it, content(symbology_t::qrCode, "x"));
    it->itemType = typeSquare;
    EXPECT_FALSE(isBarcodeItem(it));
    EXPECT_FALSE(readBarcode(it));
    EXPECT_FALSE(isBarcodeItem(nullptr));
}

TEST(BarcodeItem, QuarterTurnsFollowTheItemsTurns)
{
    // +1 turns left (counter-clockwise on the screen): 1, 2, 3, 0 quarters.
    barcodeDoc doc;
    item_t* it = doc.add(content(symbology_t::code128, "ABC"), 100, 100, 192, 96);
    const int32_t left[] = {1, 2, 3, 0};
    for (int32_t expected : left) {
        geometry::transformShape(it, false, false, +1);
        EXPECT_EQ(barcodeQuarterTurn(it), expected);
    }
    const int32_t right[] = {3, 2, 1, 0};
    for (int32_t expected : right) {
        geometry::transformShape(it, false, false, -1);
        EXPECT_EQ(barcodeQuarterTurn(it), expected);
    }
    // A turn of the box leaves its size: a wide box turned once is tall.
    geometry::transformShape(it, false, false, +1);
    const auto e = pointExtent(it);
    EXPECT_EQ(e[2] - e[0], 96);
    EXPECT_EQ(e[3] - e[1], 192);
}

TEST(BarcodeItem, SymbologyNamesGoBothWays)
{
    for (int32_t s = symbologyFirst; s <= symbologyLast; ++s) {
        ASSERT_FALSE(symbologyName(s).empty()) << s;
        EXPECT_EQ(symbologyByName(symbologyName(s)), s);
        EXPECT_FALSE(symbologyTitle(s).empty());
    }
    EXPECT_EQ(symbologyByName("ean13"), static_cast<int32_t>(symbology_t::ean13));
    EXPECT_FALSE(symbologyByName("EAN13")) << "names are lower case as typed";
    EXPECT_FALSE(symbologyByName(""));
    EXPECT_TRUE(symbologyName(0).empty());
    EXPECT_TRUE(symbologyName(symbologyLast + 1).empty());
    EXPECT_TRUE(isMatrixSymbology(static_cast<int32_t>(symbology_t::qrCode)));
    EXPECT_FALSE(isMatrixSymbology(static_cast<int32_t>(symbology_t::ean13)));
}

TEST(BarcodeFile, WriteReadWriteIsByteForByte)
{
    barcodeDoc doc;
    doc.add(content(symbology_t::qrCode, "https://example.com/café", ecHigh));
    doc.add(content(symbology_t::ean13, "4006381333931", ecAuto, false), 200, 50, 192, 96);
    doc.add(content(symbology_t::gs1_128, std::string("[01]09501101530003"), ecAuto), 40, 200, 300, 96);
    settle(doc.list);
    const auto first = encoded(doc.list);

    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(first.data(), first.size(), back, q));
    EXPECT_EQ(q.asked, 0);
    int32_t barcodes = 0;
    for (const item_t* it = back.head; it; it = it->next) barcodes += readBarcode(it).has_value();
    EXPECT_EQ(barcodes, 3);
    EXPECT_EQ(readBarcode(firstRectangle(back)), content(symbology_t::qrCode, "https://example.com/café", ecHigh));
    const auto second = encoded(back);
    EXPECT_EQ(second, first);
    freeList(back);
}

TEST(BarcodeFile, AnUnknownSymbologyIsKeptAsReadAndRewritten)
{
    // A newer program's symbology: drawn as the placeholder, saved unchanged.
    barcodeDoc doc;
    item_t* it = doc.add(content(symbology_t::qrCode, "x"));
    extensionsOf(it).setInteger(keyBarcodeType, 9999);
    settle(doc.list);
    const auto first = encoded(doc.list);
    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocumentBytes(first.data(), first.size(), back, q));
    item_t* read = firstRectangle(back);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(isBarcodeItem(read));
    EXPECT_FALSE(readBarcode(read));
    EXPECT_EQ(encoded(back), first);
    freeList(back);
}

TEST(BarcodeEdits, UndoRemovesTheNewBarcodeAndRedoBringsItBack)
{
    barcodeDoc doc;
    doc.add(content(symbology_t::code39, "ASSET-0042"));
    auto visibleBarcodes = [&] {
        int32_t n = 0;
        for (const item_t* it = doc.list.head; it; it = it->next)
            if (it->kind == kindItem && !it->hidden && readBarcode(it)) ++n;
        return n;
    };
    EXPECT_EQ(visibleBarcodes(), 1);
    EXPECT_TRUE(undo(doc.list));
    EXPECT_EQ(visibleBarcodes(), 0);
    EXPECT_TRUE(redo(doc.list));
    EXPECT_EQ(visibleBarcodes(), 1);
}
