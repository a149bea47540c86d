// The one record of every document element (item_t) and the list that holds
// a document (itemList_t). The 448-byte body is the unit of the document file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the record body is little-endian in memory and on file");

namespace model {

// Record kinds.
constexpr int32_t kindItem = 0;
constexpr int32_t kindPattern = 3;
constexpr int32_t kindPictureData = 6;
constexpr int32_t kindExtension = 7;  // data the fixed fields have no place for (extensions.h)
constexpr int32_t kindHeader = 2000000;

// Item type codes.
constexpr int32_t typeText = 1000100;
constexpr int32_t typeLine = 1000200;
constexpr int32_t typeTriangle = 1000300;
constexpr int32_t typeSquare = 1000400;
constexpr int32_t typeRectangle = 1000500;
constexpr int32_t typeCircle = 1000600;
constexpr int32_t typeEllipse = 1000700;
constexpr int32_t typePolygon = 1000800;
constexpr int32_t typeStar = 1000900;
constexpr int32_t typePie = 1001000;
constexpr int32_t typeArc = 1001100;
constexpr int32_t typeSpline = 1001200;
constexpr int32_t typeCurve = 1001400;
constexpr int32_t typeShapeFirst = 1000300;
constexpr int32_t typeShapeLast = 1002000;
constexpr int32_t typePictureWork = 1003000;      // displayed bitmap / rectangular clip frame
constexpr int32_t typePictureRoundClip = 1003001;
constexpr int32_t typePictureOriginal = 1003100;  // unadjusted bitmap
constexpr int32_t typePicture = 1004000;
constexpr int32_t typeGroupHandle = 1005000;
constexpr int32_t typeHeader = 2000000;
constexpr int32_t typeDeletionMarker = 3000000;
constexpr int32_t typeGrid = 4000000;
constexpr int32_t typePictureData = 5000000;
constexpr int32_t typeExtension = 6000000;

// `shapeVariant` of splines and curves.
constexpr int32_t variantOpen = 0;
constexpr int32_t variantClosed = 1;
constexpr int32_t variantFilled = 2;

// A picture item's `clipShape`: which part of its picture it shows.
constexpr int32_t clipWhole = 0;
constexpr int32_t clipRect = 1;
constexpr int32_t clipRound = 2;
// A picture data record's `clipShape`: the format of its stored bytes.
constexpr int32_t pictureGif = 1;
constexpr int32_t pictureBmp = 2;
constexpr int32_t pictureIco = 3;
constexpr int32_t pictureJpeg = 4;
constexpr int32_t pictureMetafile = 5;
// Formats added since: a reader that does not know a code treats the picture
// as undecodable, so documents holding them stay readable everywhere.
constexpr int32_t picturePng = 6;
constexpr int32_t pictureSvg = 7;
constexpr int32_t pictureWebp = 8;
constexpr int32_t pictureTiff = 9;

constexpr int32_t recordMagic = 147483647;
constexpr int32_t recordSize = 448;
constexpr int32_t textUnitLimit = 1024000;   // text operations never look further
constexpr char16_t lineSeparator = u'\u07EC';
constexpr int32_t reservedDefault = 0x00FFFFFF;
constexpr double defaultRoundness = 0.27614237;

inline bool isShapeType(int32_t t) { return t >= typeShapeFirst && t <= typeShapeLast; }

#pragma pack(push, 1)

// The persisted body, field by field. Reserved fields travel unchanged.
struct itemBody_t {
    int32_t kind;
    int32_t itemType;
    int32_t reserved8;
    int32_t docNumber;
    int32_t x1, y1, x2, y2;
    int32_t boxLeft, boxRight, boxTop, boxBottom;
    int32_t boxWidth;
    int32_t boxHeight;
    int32_t diagonal;
    int32_t magic;
    uint8_t selected;
    uint8_t editing;
    uint8_t hidden;
    uint8_t scratch;
    int32_t zOrder;
    double mx1, my1, mx2, my2;
    double angle;
    int32_t blobLength;
    int32_t reserved116;
    int32_t lineColor;
    int32_t penWidthPx;
    int32_t fontSize;
    int32_t textColor;
    int32_t textAngle;
    int32_t fontWeight;
    uint8_t fontItalic;
    uint8_t fontUnderline;
    uint8_t fontStrikeout;
    uint8_t justification;
    uint8_t fontName[33];  // length byte, then up to 32 single-byte characters
    int32_t fontCharset;
    int32_t textDirection;
    int32_t reserved189;
    int32_t reserved193;
    double lineWeight;
    double outlineWeight;
    int32_t patternIndex;
    int32_t fillColor;
    double direction;
    int32_t undoState;
    int32_t zMove;
    int32_t stepId;
    int32_t actionId;
    int32_t replacesStep;
    int32_t sides;
    int32_t refX1, refY1, refX2, refY2;
    int32_t reserved269;
    int32_t shapeVariant;
    double roundness;
    int32_t clipShape;
    int32_t pictureId;
    int32_t srcLeft, srcTop, srcRight, srcBottom;
    double scaleX;
    double scaleY;
    double rotation;
    double rotationStart;
    int32_t saturation;
    int32_t contrast;
    int32_t lightness;
    int32_t reserved353[3];
    int32_t flipX;
    int32_t flipY;
    int32_t orientation;
    double baseScale;
    int32_t picWidth, picHeight;
    int32_t groupId;
    int32_t reserved397[2];
    int32_t extraLength1;
    int32_t extraLength2;
    uint8_t frameOn;
    uint8_t shadowElevation;
    uint8_t shadowFade;
    uint8_t shadowLightness;
    uint8_t surface;
    uint8_t reserved418[30];
};

// Document header overlay (kind 2000000).
struct headerBody_t {
    int32_t kind;
    int32_t itemType;
    int32_t reserved8;
    int32_t docNumber;
    int32_t x1, y1, x2, y2;                        // page rectangle at the document's zoom
    int32_t boxLeft, boxRight, boxTop, boxBottom;
    int32_t boxWidth;
    int32_t boxHeight;
    int32_t diagonal;
    int32_t magic;
    uint8_t selected;
    uint8_t editing;
    uint8_t hidden;
    uint8_t scratch;
    int32_t zOrder;
    double mx1, my1, mx2, my2;
    double angle;
    int32_t blobLength;
    double zoom;
    int32_t unit;
    double pxPerUnitX;
    double pxPerUnitY;
    int32_t angles;
    double canvasLeft, canvasTop, canvasWidth, canvasHeight;
    uint8_t modified;
    double anchorStepX;
    double anchorStepY;
    uint8_t showGridX;
    uint8_t showAnchorsX;
    uint8_t snapX;
    uint8_t showGridY;
    uint8_t showAnchorsY;
    uint8_t snapY;
    int32_t designType;
    int32_t pageOrientation;
    int32_t presetIndex;
    double paperWidth, paperHeight, cardWidth, cardHeight;
    double marginLeft, marginTop, marginRight, marginBottom;
    double rowGap, columnGap, extraX, extraY;
    int32_t rows, columns;
    uint8_t rowFold, columnFold;
    uint8_t historyKept;
    uint8_t reserved322;
    int32_t fileVersion;
    int32_t lightDirection;
    uint8_t rest331[117];
};

// Grid-anchor record overlay (itemType 4000000): no fields of its own.
using gridBody_t = itemBody_t;

// Custom line-pattern definition overlay (kind 3).
struct patternBody_t {
    uint8_t common116[116];
    double segments[12];    // millimetres
    int32_t segmentCount;   // 0..12
    uint8_t rest216[232];
};

// Picture data overlay (kind 6).
struct pictureDataBody_t {
    uint8_t common116[116];
    double insertScale;
    uint8_t rest124[324];
};

// Extension record overlay (kind 7, itemType 6000000): one part of the
// extension data of the document or of the item record before it. Every
// field lies where a reader that does not know the type leaves the bytes
// alone (it rebuilds 16..111 and the step fields 229..248).
struct extensionBody_t {
    uint8_t common116[116];
    int32_t owner;            // extensionOwnerDocument or extensionOwnerItem
    int32_t layout;           // extensionLayout
    int32_t ownerType;        // the owning item's itemType; 0 for the document
    double ownerMx1, ownerMy1, ownerMx2, ownerMy2;  // the owning item's defining points
    int32_t part;             // 0-based
    int32_t parts;
    int32_t streamLength;     // bytes of the whole entry stream
    int32_t partLength;       // bytes of it in this record
    uint32_t streamCheck;     // CRC-32 of the whole entry stream
    uint8_t reserved180[76];
    uint8_t payload[192];
};

#pragma pack(pop)

static_assert(sizeof(itemBody_t) == recordSize);
static_assert(sizeof(extensionBody_t) == recordSize);
static_assert(sizeof(headerBody_t) == recordSize);
static_assert(sizeof(patternBody_t) == recordSize);
static_assert(sizeof(pictureDataBody_t) == recordSize);

#define LM_AT(T, f, off) static_assert(offsetof(T, f) == off, #f)
LM_AT(itemBody_t, kind, 0); LM_AT(itemBody_t, itemType, 4); LM_AT(itemBody_t, reserved8, 8);
LM_AT(itemBody_t, docNumber, 12); LM_AT(itemBody_t, x1, 16); LM_AT(itemBody_t, y2, 28);
LM_AT(itemBody_t, boxLeft, 32); LM_AT(itemBody_t, boxRight, 36); LM_AT(itemBody_t, boxTop, 40);
LM_AT(itemBody_t, boxBottom, 44); LM_AT(itemBody_t, boxWidth, 48); LM_AT(itemBody_t, boxHeight, 52);
LM_AT(itemBody_t, diagonal, 56); LM_AT(itemBody_t, magic, 60); LM_AT(itemBody_t, selected, 64);
LM_AT(itemBody_t, editing, 65); LM_AT(itemBody_t, hidden, 66); LM_AT(itemBody_t, scratch, 67);
LM_AT(itemBody_t, zOrder, 68); LM_AT(itemBody_t, mx1, 72); LM_AT(itemBody_t, my2, 96);
LM_AT(itemBody_t, angle, 104); LM_AT(itemBody_t, blobLength, 112); LM_AT(itemBody_t, reserved116, 116);
LM_AT(itemBody_t, lineColor, 120); LM_AT(itemBody_t, penWidthPx, 124); LM_AT(itemBody_t, fontSize, 128);
LM_AT(itemBody_t, textColor, 132); LM_AT(itemBody_t, textAngle, 136); LM_AT(itemBody_t, fontWeight, 140);
LM_AT(itemBody_t, fontItalic, 144); LM_AT(itemBody_t, fontUnderline, 145); LM_AT(itemBody_t, fontStrikeout, 146);
LM_AT(itemBody_t, justification, 147); LM_AT(itemBody_t, fontName, 148); LM_AT(itemBody_t, fontCharset, 181);
LM_AT(itemBody_t, textDirection, 185); LM_AT(itemBody_t, reserved189, 189); LM_AT(itemBody_t, reserved193, 193);
LM_AT(itemBody_t, lineWeight, 197); LM_AT(itemBody_t, outlineWeight, 205); LM_AT(itemBody_t, patternIndex, 213);
LM_AT(itemBody_t, fillColor, 217); LM_AT(itemBody_t, direction, 221); LM_AT(itemBody_t, undoState, 229);
LM_AT(itemBody_t, zMove, 233); LM_AT(itemBody_t, stepId, 237); LM_AT(itemBody_t, actionId, 241);
LM_AT(itemBody_t, replacesStep, 245); LM_AT(itemBody_t, sides, 249); LM_AT(itemBody_t, refX1, 253);
LM_AT(itemBody_t, refY2, 265); LM_AT(itemBody_t, reserved269, 269); LM_AT(itemBody_t, shapeVariant, 273);
LM_AT(itemBody_t, roundness, 277); LM_AT(itemBody_t, clipShape, 285); LM_AT(itemBody_t, pictureId, 289);
LM_AT(itemBody_t, srcLeft, 293); LM_AT(itemBody_t, srcBottom, 305); LM_AT(itemBody_t, scaleX, 309);
LM_AT(itemBody_t, scaleY, 317); LM_AT(itemBody_t, rotation, 325); LM_AT(itemBody_t, rotationStart, 333);
LM_AT(itemBody_t, saturation, 341); LM_AT(itemBody_t, contrast, 345); LM_AT(itemBody_t, lightness, 349);
LM_AT(itemBody_t, reserved353, 353); LM_AT(itemBody_t, flipX, 365); LM_AT(itemBody_t, flipY, 369);
LM_AT(itemBody_t, orientation, 373); LM_AT(itemBody_t, baseScale, 377); LM_AT(itemBody_t, picWidth, 385);
LM_AT(itemBody_t, picHeight, 389); LM_AT(itemBody_t, groupId, 393); LM_AT(itemBody_t, reserved397, 397);
LM_AT(itemBody_t, extraLength1, 405); LM_AT(itemBody_t, extraLength2, 409); LM_AT(itemBody_t, frameOn, 413);
LM_AT(itemBody_t, shadowElevation, 414); LM_AT(itemBody_t, shadowFade, 415); LM_AT(itemBody_t, shadowLightness, 416);
LM_AT(itemBody_t, surface, 417); LM_AT(itemBody_t, reserved418, 418);

LM_AT(headerBody_t, docNumber, 12); LM_AT(headerBody_t, x1, 16); LM_AT(headerBody_t, boxHeight, 52);
LM_AT(headerBody_t, zoom, 116); LM_AT(headerBody_t, unit, 124); LM_AT(headerBody_t, pxPerUnitX, 128);
LM_AT(headerBody_t, pxPerUnitY, 136); LM_AT(headerBody_t, angles, 144); LM_AT(headerBody_t, canvasLeft, 148);
LM_AT(headerBody_t, canvasTop, 156); LM_AT(headerBody_t, canvasWidth, 164); LM_AT(headerBody_t, canvasHeight, 172);
LM_AT(headerBody_t, modified, 180); LM_AT(headerBody_t, anchorStepX, 181); LM_AT(headerBody_t, anchorStepY, 189);
LM_AT(headerBody_t, showGridX, 197); LM_AT(headerBody_t, showAnchorsX, 198); LM_AT(headerBody_t, snapX, 199);
LM_AT(headerBody_t, showGridY, 200); LM_AT(headerBody_t, showAnchorsY, 201); LM_AT(headerBody_t, snapY, 202);
LM_AT(headerBody_t, designType, 203); LM_AT(headerBody_t, pageOrientation, 207); LM_AT(headerBody_t, presetIndex, 211);
LM_AT(headerBody_t, paperWidth, 215); LM_AT(headerBody_t, paperHeight, 223); LM_AT(headerBody_t, cardWidth, 231);
LM_AT(headerBody_t, cardHeight, 239); LM_AT(headerBody_t, marginLeft, 247); LM_AT(headerBody_t, marginTop, 255);
LM_AT(headerBody_t, marginRight, 263); LM_AT(headerBody_t, marginBottom, 271); LM_AT(headerBody_t, rowGap, 279);
LM_AT(headerBody_t, columnGap, 287); LM_AT(headerBody_t, extraX, 295); LM_AT(headerBody_t, extraY, 303);
LM_AT(headerBody_t, rows, 311); LM_AT(headerBody_t, columns, 315); LM_AT(headerBody_t, rowFold, 319);
LM_AT(headerBody_t, columnFold, 320); LM_AT(headerBody_t, historyKept, 321); LM_AT(headerBody_t, reserved322, 322);
LM_AT(headerBody_t, fileVersion, 323); LM_AT(headerBody_t, lightDirection, 327);
LM_AT(patternBody_t, segments, 116); LM_AT(patternBody_t, segmentCount, 212);
LM_AT(pictureDataBody_t, insertScale, 116);
LM_AT(extensionBody_t, owner, 116); LM_AT(extensionBody_t, layout, 120); LM_AT(extensionBody_t, ownerType, 124);
LM_AT(extensionBody_t, ownerMx1, 128); LM_AT(extensionBody_t, ownerMy2, 152); LM_AT(extensionBody_t, part, 160);
LM_AT(extensionBody_t, parts, 164); LM_AT(extensionBody_t, streamLength, 168); LM_AT(extensionBody_t, partLength, 172);
LM_AT(extensionBody_t, streamCheck, 176); LM_AT(extensionBody_t, payload, 256);
#undef LM_AT

// One point of a point-list shape: the 56-byte payload is also its file form.
#pragma pack(push, 1)
struct pointPayload_t {
    int32_t x, y;
    int32_t savedX, savedY;
    int32_t c1x, c1y;            // control point leaving this point
    int32_t c2x, c2y;            // control point arriving at the next point
    int32_t savedC1x, savedC1y;
    int32_t savedC2x, savedC2y;
    uint8_t flags[2];
    uint8_t reserved[6];
};
#pragma pack(pop)
static_assert(sizeof(pointPayload_t) == 56);

struct pointNode_t {
    pointNode_t* prev = nullptr;
    pointNode_t* next = nullptr;
    pointPayload_t p{};
};

// A handle mark shown while the item is selected, with the pixels it covers.
struct markNode_t {
    markNode_t* prev = nullptr;
    markNode_t* next = nullptr;
    int32_t code = 0;                  // handle code
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // canvas rectangle
    std::vector<uint32_t> saved;       // saved background, row by row
    int32_t savedWidth = 0, savedHeight = 0;
};

struct tagNode_t {
    tagNode_t* prev = nullptr;
    tagNode_t* next = nullptr;
    int32_t tag = 0;
};

// A movable grid anchor; its rectangle is the ruler marker at 100 % zoom.
struct anchorNode_t {
    anchorNode_t* prev = nullptr;
    anchorNode_t* next = nullptr;
    int32_t hot = 0;
    int32_t deleted = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;                 // anchorRect
    int32_t imageLeft = 0, imageTop = 0, imageRight = 0, imageBottom = 0;  // imageRect
};

template <typename Node>
struct nodeList_t {
    Node* head = nullptr;
    Node* tail = nullptr;
};
using pointList_t = nodeList_t<pointNode_t>;
using markList_t = nodeList_t<markNode_t>;
using tagList_t = nodeList_t<tagNode_t>;
using anchorList_t = nodeList_t<anchorNode_t>;

struct item_t;
class extensionData_t;
struct listIndex_t;
struct spatialIndex_t;
struct pictureTable_t;

// The id fields of a kind 0 record as the list's lookup tables last counted them.
struct filedIds_t {
    int32_t stepId, actionId, zOrder, groupId;
};

// Cached maxima over kind 0 records that make new ids without walking the list.
// `valid` false means the next query walks once and refills them.
struct idCache_t {
    bool valid = true;
    int32_t maxStepId = 0;
    int32_t maxActionId = 0;
    int32_t maxZOrder = 0;
    int32_t maxGroupId = 0;
};

struct itemList_t {
    item_t* head = nullptr;
    item_t* tail = nullptr;
    idCache_t ids;
    // The first document header of the list, so that marking the document
    // modified never walks it. `headerKnown` false means the next lookup walks.
    mutable item_t* header = nullptr;
    mutable bool headerKnown = true;
    listIndex_t* index = nullptr;  // history lookup tables, owned; built on first use
    spatialIndex_t* spatial = nullptr;  // grid of the records for picking, owned; built on first use
    pictureTable_t* pictures = nullptr;  // picture data records by picture id, owned; filled on lookup
};

struct item_t : itemBody_t {
    item_t* prev = nullptr;
    item_t* next = nullptr;
    std::u16string text;               // empty or starting with NUL: no text
    markList_t marks;
    tagList_t tags;
    anchorList_t anchorsX;
    anchorList_t anchorsY;
    pointList_t points;
    std::unique_ptr<std::vector<uint8_t>> stream;
    // The identity under which render-side caches keep what they made of the
    // record: never reused, so a record made later at the same address finds
    // nothing; a copy made by cloneItem takes it over, as its picture rarely
    // changes with the edit. `cacheHeld` says that a cache may hold something
    // under it (see releaseCaches).
    uint64_t cacheSerial;
    mutable bool cacheHeld = false;
    // Keyed values the fixed fields have no place for; null when none (extensions.h).
    std::unique_ptr<extensionData_t> extensions;
    // Book-keeping of the lookup tables of the list the record is in (see
    // history_index.h): its ids as they were counted, and its place in their
    // list-order array. Meaningful only while that list has its tables.
    filedIds_t indexedIds{};
    bool idsFiled = false;
    int64_t indexSlot = -1;

    item_t();
    ~item_t();
    item_t(const item_t&) = delete;
    item_t& operator=(const item_t&) = delete;

    itemBody_t& body() { return *this; }
    const itemBody_t& body() const { return *this; }
    uint8_t* bodyBytes() { return reinterpret_cast<uint8_t*>(static_cast<itemBody_t*>(this)); }
    const uint8_t* bodyBytes() const { return reinterpret_cast<const uint8_t*>(static_cast<const itemBody_t*>(this)); }
    headerBody_t& hdr() { return *reinterpret_cast<headerBody_t*>(bodyBytes()); }
    const headerBody_t& hdr() const { return *reinterpret_cast<const headerBody_t*>(bodyBytes()); }
    patternBody_t& pat() { return *reinterpret_cast<patternBody_t*>(bodyBytes()); }
    const patternBody_t& pat() const { return *reinterpret_cast<const patternBody_t*>(bodyBytes()); }
    pictureDataBody_t& pic() { return *reinterpret_cast<pictureDataBody_t*>(bodyBytes()); }
    const pictureDataBody_t& pic() const { return *reinterpret_cast<const pictureDataBody_t*>(bodyBytes()); }

    // A picture data record keeps two values in fields named for items: the
    // format of its stored bytes (pictureGif..pictureTiff) in `clipShape`,
    // and the byte length of its file name blob in `diagonal`.
    int32_t pictureFormat() const { return clipShape; }
    void setPictureFormat(int32_t format) { clipShape = format; }
    int32_t fileNameBlobLength() const { return diagonal; }
    void setFileNameBlobLength(int32_t bytes) { diagonal = bytes; }
};

} // namespace model
