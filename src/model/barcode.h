// The barcode item: a rectangle item whose extension values (keys "bc.*")
// say what it encodes. Its outline is the code's box, its line colour the
// bars' colour and its fill colour the background (−1: clear), so an editor
// that does not know barcodes shows it as a rectangle of the same box and
// colours, and keeps the values through its save.
#pragma once

#include "model/item.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace model {

// The symbologies, numbered as stored in "bc.type". The numbers are the
// file's and never change; a number this program does not know is read as
// a placeholder (the rectangle), never guessed.
enum class symbology_t : int32_t {
    qrCode = 1,
    dataMatrix = 2,
    pdf417 = 3,
    aztec = 4,
    code128 = 5,
    code39 = 6,
    ean13 = 7,
    ean8 = 8,
    upcA = 9,
    upcE = 10,
    itf14 = 11,
    gs1_128 = 12,
    codabar = 13,
};
constexpr int32_t symbologyFirst = 1;
constexpr int32_t symbologyLast = 13;
inline bool knownSymbology(int64_t n) { return n >= symbologyFirst && n <= symbologyLast; }

// QR error-correction levels as stored in "bc.ec"; 0 lets the encoder choose.
constexpr int32_t ecAuto = 0;
constexpr int32_t ecLow = 1, ecMedium = 2, ecQuartile = 3, ecHigh = 4;

// The data text is at most this many bytes (UTF-8); the largest symbology
// holds about 3 KB, so anything longer is refused before the encoder sees it.
constexpr size_t barcodeDataLimit = 4096;

// Extension keys of a barcode item.
inline constexpr std::string_view keyBarcodeType = "bc.type";
inline constexpr std::string_view keyBarcodeData = "bc.data";
inline constexpr std::string_view keyBarcodeEc = "bc.ec";
inline constexpr std::string_view keyBarcodeText = "bc.hrt";

// What a barcode item encodes (its colours are the item's own fields).
struct barcodeContent_t {
    int32_t symbology = static_cast<int32_t>(symbology_t::qrCode);
    std::string data;        // UTF-8
    int32_t ecLevel = ecAuto;
    bool showText = true;    // the human-readable line under linear codes
    bool operator==(const barcodeContent_t&) const = default;
};

// Whether the item is a rectangle carrying a barcode type (known or not).
bool isBarcodeItem(const item_t* item);
// The item's barcode as stored; none when it is no barcode item or its
// values are unusable (an unknown symbology, a data text beyond the limit, a
// level out of range): such an item is drawn as its placeholder rectangle.
std::optional<barcodeContent_t> readBarcode(const item_t* item);
// Stores the content on the item (values of other features are kept).
void writeBarcode(item_t* item, const barcodeContent_t& content);

// The quarter turn (0..3, counter-clockwise as on the screen) a barcode is
// drawn at: the direction from the rectangle's first point to its second,
// rounded to the nearest quarter, so the code turns with the item's turns.
int32_t barcodeQuarterTurn(const item_t* item);

// A default size of a new barcode box in document pixels: a square inch for
// 2-D codes, two inches by one for linear ones.
void defaultBarcodeSize(int32_t symbology, int32_t& width, int32_t& height);

// A new barcode item on `list`: a rectangle from (x, y) of width × height
// document pixels (at least 1 × 1), black bars on a white background, no
// outline weight, its content stored; one history step of its own. The caller
// has checked the data (see the renderer's barcodeDataProblem).
item_t* newBarcodeItem(itemList_t& list, int32_t x, int32_t y, int32_t width, int32_t height,
                       const barcodeContent_t& content);

// Makes the barcode item's box the unturned rectangle from (x, y) of width ×
// height document pixels (at least 1 × 1), as a drag that places it gives.
void setBarcodeBox(item_t* item, int32_t x, int32_t y, int32_t width, int32_t height);

// The stored name of a symbology ("qr", "ean13", …) as the command line
// takes it, and back; none for an unknown name.
std::string_view symbologyName(int32_t symbology);
std::optional<int32_t> symbologyByName(std::string_view name);
// The name shown to users ("QR Code", "EAN-13", …).
std::string_view symbologyTitle(int32_t symbology);
// Whether the symbology is a 2-D code (square modules, kept in proportion)
// rather than a linear one (bars stretched to the box's height).
bool isMatrixSymbology(int32_t symbology);

} // namespace model
