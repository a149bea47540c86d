// Random documents survive write -> read: every record kind, every shape type
// with points, multi-line texts with characters beyond the BMP, anchors,
// patterns and pictures with their bytes.
#include "docfile_support.h"

#include "geometry/units.h"

#include <random>

using namespace model;
using namespace testsupport;

namespace {

const int32_t shapeTypes[] = {typeTriangle, typeSquare, typeRectangle, typeCircle, typeEllipse, typePolygon,
                              typeStar,     typePie,    typeArc,       typeSpline, typeCurve};

class generator {
public:
    explicit generator(uint32_t seed) : rng_(seed) {}

    int32_t num(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
    bool chance(int percent) { return num(1, 100) <= percent; }

    // Random bytes everywhere, then the fields the file format gives meaning to.
    void randomBody(item_t* it, int32_t kind, int32_t type)
    {
        for (int i = 0; i < recordSize; ++i) it->bodyBytes()[i] = uint8_t(num(0, 255));
        it->kind = kind;
        it->itemType = type;
        it->magic = recordMagic;
        it->hidden = 0;
        it->x1 = num(-5000, 5000);
        it->y1 = num(-5000, 5000);
        it->x2 = num(-5000, 5000);
        it->y2 = num(-5000, 5000);
        computeMeasure(it);
        // What the reader rebuilds is made consistent up front.
        if (kind != kindHeader && type != typePictureData) recomputePixels(it);
    }

    std::u16string text(int maxLines)
    {
        static const char16_t pool[] = u"aZ 09-é€中\u07EB\u07ED";
        std::u16string s;
        const int lines = num(1, maxLines);
        for (int l = 0; l < lines; ++l) {
            if (l) s += lineSeparator;
            const int n = num(l == 0 ? 1 : 0, 12);
            for (int i = 0; i < n; ++i) {
                if (chance(15)) {
                    const char32_t c = char32_t(num(0x10000, 0x10FFFF));
                    s += char16_t(0xD800 + ((c - 0x10000) >> 10));
                    s += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
                } else {
                    s += pool[num(0, int(std::size(pool)) - 2)];
                }
            }
        }
        return s;
    }

    void points(item_t* it)
    {
        const int n = num(0, 12);
        for (int i = 0; i < n; ++i) {
            pointPayload_t p{};
            int32_t* v = &p.x;
            for (int k = 0; k < 12; ++k) v[k] = num(INT32_MIN, INT32_MAX);
            p.flags[0] = uint8_t(num(0, 255));
            p.flags[1] = uint8_t(num(0, 255));
            addPoint(it, p);
        }
    }

    void build(itemList_t& l)
    {
        item_t* h = newItem(l, typeHeader);
        randomBody(h, kindHeader, typeHeader);
        auto& hd = h->hdr();
        hd.unit = num(1, 3);
        hd.zoom = num(1, 300) / 100.0;
        hd.canvasLeft = num(-50, 50);
        hd.canvasTop = num(-50, 50);
        hd.canvasWidth = num(1, 2000) / 4.0;
        hd.canvasHeight = num(1, 2000) / 4.0;
        hd.reserved322 = 0;
        hd.modified = 1;
        geometry::pxPerUnit(hd.unit, hd.pxPerUnitX, hd.pxPerUnitY);
        geometry::computeCanvasPixels(h);
        if (chance(80)) setText(h, text(14));

        item_t* grid = newItem(l, typeGrid);
        randomBody(grid, kindItem, typeGrid);
        for (int i = num(0, 20); i > 0; --i) addAnchorX(grid, num(-10000, 10000))->deleted = chance(20);
        for (int i = num(0, 20); i > 0; --i) addAnchorY(grid, num(-10000, 10000))->deleted = chance(20);

        for (int i = num(0, 3); i > 0; --i) {
            item_t* p = newItem(l, 0);
            randomBody(p, kindPattern, -(i + 1));
            p->hidden = uint8_t(num(0, 255));  // written whatever its flags
        }

        std::vector<int32_t> pictures;
        for (int i = num(0, 3); i > 0; --i) {
            item_t* data = newItem(l, typePictureData);
            randomBody(data, kindPictureData, typePictureData);
            data->pictureId = 1000 + i;
            pictures.push_back(data->pictureId);
            if (chance(90)) {
                data->stream = std::make_unique<std::vector<uint8_t>>(size_t(num(0, 3000)));
                for (auto& b : *data->stream) b = uint8_t(num(0, 255));
            }
            if (chance(80)) setText(data, text(1));
        }

        const int items = num(5, 40);
        for (int i = 0; i < items; ++i) {
            const int what = num(0, 9);
            item_t* it = newItem(l, 0);
            if (what < 4) {
                randomBody(it, kindItem, shapeTypes[num(0, int(std::size(shapeTypes)) - 1)]);
                points(it);
            } else if (what < 6) {
                randomBody(it, kindItem, typeText);
                setText(it, text(5));
            } else if (what == 6 && !pictures.empty()) {
                randomBody(it, kindItem, typePicture);
                it->pictureId = pictures[size_t(num(0, int(pictures.size()) - 1))];
                it->clipShape = num(0, 2);
                recomputePixels(it);
            } else {
                randomBody(it, kindItem, what == 7 ? typeGroupHandle : typeLine);
            }
            // Versions that must not reach the file.
            if (chance(10)) it->hidden = 255;
            if (chance(5)) it->itemType = typeDeletionMarker;
        }
        invalidateIds(l);
    }

private:
    std::mt19937 rng_;
};

bool renumbered(const item_t* it) { return it->itemType != typeHeader && it->itemType != typePictureData; }

std::vector<int32_t> positions(const anchorList_t& l, bool x)
{
    std::vector<int32_t> r;
    for (const anchorNode_t* a = l.head; a; a = a->next)
        if (!a->deleted) r.push_back(x ? anchorPositionX(a) : anchorPositionY(a));
    return r;
}

// Picture data is written only while a shown picture refers to it.
bool pictureShown(const itemList_t& l, int32_t pictureId)
{
    for (const item_t* it = l.head; it; it = it->next)
        if (it->itemType == typePicture && !it->hidden && it->pictureId == pictureId) return true;
    return false;
}

std::vector<const item_t*> writtenRecords(const itemList_t& l)
{
    std::vector<const item_t*> r;
    for (const item_t* it = l.head; it; it = it->next) {
        if (it->kind == kindItem && (it->hidden || it->itemType == typeDeletionMarker)) continue;
        if (it->itemType == typeText && textLineCount(it) == 0) continue;
        if (it->kind == kindPictureData && !pictureShown(l, it->pictureId)) continue;
        r.push_back(it);
    }
    return r;
}

} // namespace

TEST(DocfileRoundTrip, RandomDocumentsSurviveWriteAndRead)
{
    tempDir d;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        generator g(seed);
        itemList_t src;
        g.build(src);
        std::string error;
        ASSERT_TRUE(writeDocument(d.file("r.lmra"), src, &error)) << error;
        const auto expected = writtenRecords(src);

        scriptedQuestions q;
        itemList_t back;
        ASSERT_TRUE(readDocument(d.file("r.lmra"), back, q, &error)) << error;
        EXPECT_EQ(q.asked, 0);
        EXPECT_TRUE(q.warnings.empty());
        EXPECT_FALSE(isModified(back));
        EXPECT_TRUE(idCacheConsistent(back));

        int32_t step = 0;
        const item_t* r = back.head;
        for (const item_t* e : expected) {
            ASSERT_NE(r, nullptr) << "record missing";
            SCOPED_TRACE(e->itemType);
            // The body is equal apart from what reading commits.
            uint8_t want[recordSize];
            std::memcpy(want, e->bodyBytes(), recordSize);
            auto* w = reinterpret_cast<itemBody_t*>(want);
            if (renumbered(e)) {
                w->stepId = ++step;
                w->undoState = 0;
                w->replacesStep = 0;
            }
            for (int i = 0; i < recordSize; ++i)
                if (want[i] != r->bodyBytes()[i]) {
                    ADD_FAILURE() << "body byte " << i << " differs";
                    break;
                }
            EXPECT_EQ(getText(r), getText(e));
            ASSERT_EQ(countNodes(r->points), countNodes(e->points));
            for (auto *a = r->points.head, *b = e->points.head; a; a = a->next, b = b->next)
                EXPECT_EQ(std::memcmp(&a->p, &b->p, sizeof a->p), 0);
            EXPECT_EQ(positions(r->anchorsX, true), positions(e->anchorsX, true));
            EXPECT_EQ(positions(r->anchorsY, false), positions(e->anchorsY, false));
            ASSERT_EQ(bool(r->stream), e->stream && !e->stream->empty());
            if (r->stream) {
                EXPECT_EQ(*r->stream, *e->stream);
            }
            r = r->next;
        }
        EXPECT_EQ(r, nullptr) << "extra records";

        // Once read, a document is a fixed point of write -> read -> write.
        itemList_t again;
        ASSERT_TRUE(writeDocument(d.file("r2.lmra"), back));
        ASSERT_TRUE(readDocument(d.file("r2.lmra"), again, q));
        ASSERT_TRUE(writeDocument(d.file("r3.lmra"), again));
        EXPECT_EQ(readAll(d.file("r3.lmra")), readAll(d.file("r2.lmra")));
        freeList(src);
        freeList(back);
        freeList(again);
    }
}

TEST(DocfileRoundTrip, ExampleDocumentRoundTripsThroughTheFileReaderUnchanged)
{
    const std::string example = std::string(LUMORA_SOURCE_DIR) + "/examples/shapes.lmra";
    scriptedQuestions q;
    itemList_t l;
    ASSERT_TRUE(readDocument(example, l, q));
    EXPECT_EQ(q.asked, 0);
    EXPECT_NE(findHeader(l), nullptr);
    EXPECT_NE(findByType(l, typeGrid)->anchorsX.head, nullptr);
    tempDir d;
    ASSERT_TRUE(writeDocument(d.file("e.lmra"), l));
    EXPECT_EQ(readAll(d.file("e.lmra")), readAll(example));
    freeList(l);
}
