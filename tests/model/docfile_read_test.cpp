// Reading documents: the magic question, renumbering, the limits of blobs,
// truncated and hostile files, and what is recomputed.
#include "docfile_support.h"

#include "geometry/units.h"
#include "model/metrics.h"

#include <cmath>
#include <numbers>

using namespace model;
using namespace testsupport;

namespace {

// A list with one line, to see that failed reads leave it alone.
struct openDocument {
    itemList_t list;
    item_t* line;
    openDocument()
    {
        newDocument(list);
        line = newItem(list, typeLine);
        line->x2 = 42;
    }
    ~openDocument() { freeList(list); }
    bool untouched() const { return countItems(list) == 3 && list.tail == line && line->x2 == 42; }
};

} // namespace

TEST(DocfileRead, MissingFileOrBlankNameFailsWithoutAskingAndChangesNothing)
{
    openDocument doc;
    scriptedQuestions q;
    tempDir d;
    std::string error;
    EXPECT_FALSE(readDocument(d.file("nothing-here.lmra"), doc.list, q, &error));
    EXPECT_NE(error.find("no such file"), std::string::npos);
    EXPECT_FALSE(readDocument("   ", doc.list, q));
    EXPECT_FALSE(readDocument(d.path().string(), doc.list, q, &error)) << "a folder is not a document";
    EXPECT_EQ(q.asked, 0);
    EXPECT_TRUE(doc.untouched());
}

TEST(DocfileRead, ZeroByteFileReadsAsAnEmptyListWithoutHeader)
{
    openDocument doc;
    scriptedQuestions q;
    ASSERT_TRUE(readBytes({}, doc.list, q));
    EXPECT_EQ(doc.list.head, nullptr);
    EXPECT_EQ(findHeader(doc.list), nullptr);
    EXPECT_FALSE(isModified(doc.list));
    EXPECT_EQ(nextStepId(doc.list), 1);
    doc.line = nullptr;
}

// A file of a few bytes, less than one record, is no document (a small
// picture renamed): the reader asks, as for a wrong magic, instead of taking
// it as an empty document that a save would then write over.
TEST(DocfileRead, BytesShorterThanOneRecordAreAskedAbout)
{
    for (const bool answer : {false, true}) {
        SCOPED_TRACE(answer);
        openDocument doc;
        scriptedQuestions q;
        q.answer = answer;
        const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13};
        EXPECT_EQ(readBytes(png, doc.list, q), answer);
        EXPECT_EQ(q.asked, 1);
        if (answer) {
            EXPECT_EQ(doc.list.head, nullptr);
            doc.line = nullptr;
        } else {
            EXPECT_TRUE(doc.untouched());
        }
    }
}

TEST(DocfileRead, WrongMagicAsksOnceAndYesOpensTheDocumentModified)
{
    fileBuilder f;
    f.header();
    const size_t a = f.record(typeLine);
    const size_t b = f.record(typeLine);
    f.set<int32_t>(a, 60, 12345);
    f.set<int32_t>(b, 60, 0);
    scriptedQuestions q;
    q.answer = true;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    EXPECT_EQ(q.asked, 1) << "records after the accepted one are not checked";
    EXPECT_EQ(countItems(list), 3);
    EXPECT_TRUE(isModified(list));
    freeList(list);
}

TEST(DocfileRead, WrongMagicAnsweredNoLeavesTheOpenDocumentUntouched)
{
    for (bool first : {true, false}) {
        SCOPED_TRACE(first ? "first record" : "a later record");
        fileBuilder f;
        const size_t h = f.header();
        const size_t l = f.record(typeLine);
        f.set<int32_t>(first ? h : l, 60, 147483646);
        openDocument doc;
        scriptedQuestions q;
        std::string error = "unset";
        EXPECT_FALSE(readBytes(f.bytes, doc.list, q, &error));
        EXPECT_EQ(q.asked, 1);
        EXPECT_TRUE(error.empty()) << "a refusal is not an error: " << error;
        EXPECT_TRUE(doc.untouched());
    }
}

TEST(DocfileRead, ValidFileIsNotModifiedAndAsksNothing)
{
    fileBuilder f;
    const size_t h = f.header();
    f.bytes[h + 180] = 1;  // saved while modified
    f.record(typeGrid);
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    EXPECT_EQ(q.asked, 0);
    EXPECT_FALSE(isModified(list));
    freeList(list);
}

TEST(DocfileRead, TrailingPartialBodyIsIgnored)
{
    for (int k : {1, 100, 447}) {
        fileBuilder f;
        f.header();
        f.record(typeLine);
        f.record(typeGroupHandle);
        f.bytes.resize(f.bytes.size() + k, 0xAB);
        scriptedQuestions q;
        itemList_t list;
        ASSERT_TRUE(readBytes(f.bytes, list, q)) << k;
        EXPECT_EQ(countItems(list), 3) << k;
        EXPECT_EQ(q.asked, 0);
        freeList(list);
    }
}

TEST(DocfileRead, RenumbersStepIdsInFileOrderExceptHeaderAndPictureData)
{
    fileBuilder f;
    const size_t h = f.header();
    f.set<int32_t>(h, 237, 77);
    const size_t a = f.record(typeLine);
    const size_t pd = f.record(typePictureData, kindPictureData);
    const size_t b = f.record(typeRectangle);
    const size_t c = f.record(-4, kindPattern);
    for (size_t r : {a, pd, b, c}) {
        f.set<int32_t>(r, 237, 500);  // stepId
        f.set<int32_t>(r, 229, 2);    // undoState
        f.set<int32_t>(r, 245, 31);   // replacesStep
    }
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    std::vector<item_t*> r;
    for (item_t* it = list.head; it; it = it->next) r.push_back(it);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0]->stepId, 77);
    EXPECT_EQ(r[1]->stepId, 1);
    EXPECT_EQ(r[2]->stepId, 500) << "picture data keeps its ids";
    EXPECT_EQ(r[2]->undoState, 2);
    EXPECT_EQ(r[3]->stepId, 2);
    EXPECT_EQ(r[4]->stepId, 3) << "a pattern definition is renumbered like any other record";
    for (item_t* it : {r[1], r[3], r[4]}) {
        EXPECT_EQ(it->undoState, 0);
        EXPECT_EQ(it->replacesStep, 0);
    }
    EXPECT_TRUE(idCacheConsistent(list));
    EXPECT_EQ(nextStepId(list), 3) << "only kind 0 records count";
    freeList(list);
}

TEST(DocfileRead, HistoryKeptKeepsStoredIdsOfTheRecordsAfterTheHeader)
{
    fileBuilder f;
    const size_t before = f.record(typeLine);
    const size_t h = f.header();
    f.bytes[h + 321] = 1;
    const size_t after = f.record(typeLine);
    for (size_t r : {before, after}) {
        f.set<int32_t>(r, 237, 40);
        f.set<int32_t>(r, 229, 2);
        f.set<int32_t>(r, 245, 12);
    }
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    EXPECT_EQ(list.head->stepId, 1) << "renumbered before the header was met";
    EXPECT_EQ(list.tail->stepId, 40);
    EXPECT_EQ(list.tail->undoState, 2);
    EXPECT_EQ(list.tail->replacesStep, 12);
    EXPECT_TRUE(idCacheConsistent(list));
    EXPECT_EQ(nextStepId(list), 41);
    freeList(list);
}

TEST(DocfileRead, NewerVersionWarnsAfterOpening)
{
    const struct {
        int32_t version;
        bool warns;
    } cases[] = {{165, true}, {100000, true}, {164, false}, {0, false}, {-3, false}};
    for (const auto& c : cases) {
        fileBuilder f;
        const size_t h = f.header();
        f.set<int32_t>(h, 323, c.version);
        scriptedQuestions q;
        itemList_t list;
        ASSERT_TRUE(readBytes(f.bytes, list, q));
        ASSERT_EQ(q.warnings.size(), c.warns ? 1u : 0u) << c.version;
        if (c.warns) {
            EXPECT_EQ(q.warnings[0], "This file was created on a newer version of Lumora software.\r\n"
                                     "Update your software. Otherwise, this file might not display correctly.");
        }
        EXPECT_NE(findHeader(list), nullptr);
        freeList(list);
    }
}

TEST(DocfileRead, TextBlobLimits)
{
    // Length in bytes -> units taken as the text (-1: no text).
    const struct {
        int32_t length;
        int32_t units;
    } cases[] = {{2, 1}, {1023998, 511999}, {1023999, 511999}, {1024000, -1}, {1500000, -1}, {0, -1}, {3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        fileBuilder f;
        f.header();
        const size_t t = f.record(typeText);
        f.set<int32_t>(t, 112, c.length);
        std::vector<uint8_t> blob(size_t(c.length), 0);
        for (size_t i = 0; i + 1 < blob.size(); i += 2) blob[i] = 'a';
        f.blob(blob);
        const size_t after = f.record(typeLine);
        f.set<int32_t>(after, 16, 5);
        scriptedQuestions q;
        itemList_t list;
        ASSERT_TRUE(readBytes(f.bytes, list, q));
        ASSERT_EQ(countItems(list), 3) << "the blob is stepped over, the next record is read";
        item_t* text = list.head->next;
        EXPECT_EQ(textLength(text), c.units < 0 ? 0 : c.units);
        EXPECT_EQ(list.tail->itemType, typeLine);
        freeList(list);
    }
}

TEST(DocfileRead, HeaderTextAndItsRecomputedUnitAndPage)
{
    const struct {
        int32_t unit;
        double perUnit;
    } cases[] = {{1, 1.0}, {2, 96 / 25.4}, {3, 96.0}, {7, 1.0}};
    for (const auto& c : cases) {
        fileBuilder f;
        const size_t h = f.header(u"210\u07EC297\u07EC");
        f.set<int32_t>(h, 124, c.unit);
        f.set<double>(h, 128, 55.0);  // stale pixels per unit from another screen
        f.set<double>(h, 136, 55.0);
        f.set<double>(h, 116, 0.5);   // zoom
        f.set<double>(h, 164, 100.0); // canvasWidth
        f.set<double>(h, 172, 50.0);  // canvasHeight
        f.bytes[h + 322] = 9;
        scriptedQuestions q;
        itemList_t list;
        ASSERT_TRUE(readBytes(f.bytes, list, q));
        const auto& hd = list.head->hdr();
        EXPECT_DOUBLE_EQ(hd.pxPerUnitX, c.perUnit) << c.unit;
        EXPECT_DOUBLE_EQ(hd.pxPerUnitY, c.perUnit);
        EXPECT_EQ(hd.boxWidth, roundHalfEven(100.0L * c.perUnit * 0.5));
        EXPECT_EQ(hd.x2, hd.x1 + roundHalfEven(50.0L * c.perUnit));
        EXPECT_EQ(hd.reserved322, 0);
        EXPECT_EQ(getText(list.head), u"210\u07EC297\u07EC");
        freeList(list);
    }
}

TEST(DocfileRead, LegacyBlocksAfterATextAreSkipped)
{
    fileBuilder f;
    f.header();
    const size_t t = f.record(typeText);
    f.set<int32_t>(t, 112, 4);
    f.set<int32_t>(t, 405, 10);
    f.set<int32_t>(t, 409, 6);
    f.text(u"hi");
    f.blob(std::vector<uint8_t>(16, 0xEE));
    f.record(typeLine);
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    ASSERT_EQ(countItems(list), 3);
    EXPECT_EQ(getText(list.head->next), u"hi");
    EXPECT_EQ(list.tail->itemType, typeLine);
    EXPECT_EQ(q.asked, 0);
    freeList(list);
}

TEST(DocfileRead, PointBlobTakesWholeEntriesOnly)
{
    const struct {
        int32_t length;
        int points;
    } cases[] = {{56, 1}, {57, 1}, {55, 0}, {112, 2}, {167, 2}, {0, 0}};
    for (const auto& c : cases) {
        fileBuilder f;
        const size_t s = f.record(typeStar);
        f.set<int32_t>(s, 112, c.length);
        std::vector<uint8_t> blob(size_t(c.length));
        for (size_t i = 0; i < blob.size(); ++i) blob[i] = uint8_t(i);
        f.blob(blob);
        f.record(typeLine);
        scriptedQuestions q;
        itemList_t list;
        ASSERT_TRUE(readBytes(f.bytes, list, q));
        ASSERT_EQ(countItems(list), 2) << c.length;
        EXPECT_EQ(countNodes(list.head->points), c.points) << c.length;
        if (c.points > 0) {
            pointPayload_t expect;
            std::memcpy(&expect, blob.data(), sizeof expect);
            EXPECT_EQ(std::memcmp(&list.head->points.head->p, &expect, sizeof expect), 0);
        }
        freeList(list);
    }
}

TEST(DocfileRead, GridAnchorsBecomeRulerMarkers)
{
    fileBuilder f;
    const size_t g = f.record(typeGrid);
    const int32_t entries[] = {1, 100, 2, 40, 3, 999, 1, 3, 2, -20};
    f.set<int32_t>(g, 112, int32_t(sizeof entries) + 5);  // trailing bytes of no whole entry
    std::vector<uint8_t> blob(sizeof entries + 5, 0);
    std::memcpy(blob.data(), entries, sizeof entries);
    f.blob(blob);
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    const item_t* grid = list.head;
    ASSERT_EQ(countNodes(grid->anchorsX), 2);
    ASSERT_EQ(countNodes(grid->anchorsY), 2);
    const anchorNode_t* x = grid->anchorsX.head;
    EXPECT_EQ((std::array{x->left, x->top, x->right, x->bottom}), (std::array{97, 1, 104, 12}));
    EXPECT_EQ((std::array{x->imageLeft, x->imageTop, x->imageRight, x->imageBottom}), (std::array{0, 0, 7, 11}));
    EXPECT_EQ(anchorPositionX(grid->anchorsX.tail), 3);
    const anchorNode_t* y = grid->anchorsY.head;
    EXPECT_EQ((std::array{y->left, y->top, y->right, y->bottom}), (std::array{1, 37, 12, 44}));
    EXPECT_EQ((std::array{y->imageLeft, y->imageTop, y->imageRight, y->imageBottom}), (std::array{0, 0, 11, 7}));
    EXPECT_EQ(anchorPositionY(grid->anchorsY.tail), -20);
    freeList(list);
}

TEST(DocfileRead, GridBlobShorterThanOneEntryAddsNothing)
{
    fileBuilder f;
    const size_t g = f.record(typeGrid);
    f.set<int32_t>(g, 112, 4);
    f.blob({1, 0, 0, 0});
    f.record(typeLine);
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    EXPECT_EQ(countItems(list), 2);
    EXPECT_EQ(list.head->anchorsX.head, nullptr);
    freeList(list);
}

TEST(DocfileRead, PictureDataTakesStreamThenName)
{
    fileBuilder f;
    const size_t p = f.record(typePictureData, kindPictureData);
    f.set<int32_t>(p, 112, 5);
    f.set<int32_t>(p, 56, 6);
    f.blob({1, 2, 3, 4, 5});
    f.text(u"a.g");
    f.record(typeLine);
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    ASSERT_EQ(countItems(list), 2);
    ASSERT_TRUE(list.head->stream);
    EXPECT_EQ(*list.head->stream, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(getText(list.head), u"a.g");
    EXPECT_EQ(list.head->fileNameBlobLength(), 6) << "picture data is not recomputed";
    freeList(list);
}

// A blob that runs past the end is dropped and ends the file; nothing of its
// claimed size is allocated.
TEST(DocfileRead, TruncatedAndHugeBlobsAreDroppedCleanly)
{
    const struct {
        int32_t type, kind, lengthOffset, length;
    } cases[] = {
        {typeStar, kindItem, 112, 56 * 3},        {typeStar, kindItem, 112, INT32_MAX},
        {typeGrid, kindItem, 112, INT32_MAX - 7}, {typePictureData, kindPictureData, 112, INT32_MAX},
        {typePictureData, kindPictureData, 56, 1000}, {typeText, kindItem, 112, 1023998},
        {typeHeader, kindHeader, 112, 900000},    {typeText, kindItem, 405, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        SCOPED_TRACE(c.length);
        fileBuilder f;
        const size_t r = f.record(c.type, c.kind);
        if (c.type == typeText && c.lengthOffset == 405) {
            f.set<int32_t>(r, 112, 2);
            f.text(u"x");
        }
        f.set<int32_t>(r, c.lengthOffset, c.length);
        f.blob(std::vector<uint8_t>(56, 7));  // the file ends inside the blob
        scriptedQuestions q;
        itemList_t list;
        ASSERT_TRUE(readBytes(f.bytes, list, q));
        ASSERT_EQ(countItems(list), 1);
        EXPECT_EQ(list.head->points.head, nullptr);
        EXPECT_EQ(list.head->anchorsX.head, nullptr);
        EXPECT_FALSE(list.head->stream && c.lengthOffset == 112);
        if (c.lengthOffset == 112) {
            EXPECT_EQ(textLength(list.head), 0);
        }
        freeList(list);
    }
}

TEST(DocfileRead, NegativeLengthsAreIgnored)
{
    fileBuilder f;
    const size_t h = f.header();
    f.set<int32_t>(h, 112, -2);
    const size_t s = f.record(typeStar);
    f.set<int32_t>(s, 112, -56);
    const size_t t = f.record(typeText);
    f.set<int32_t>(t, 112, -1);
    f.set<int32_t>(t, 405, -100);
    f.set<int32_t>(t, 409, INT32_MIN);
    const size_t p = f.record(typePictureData, kindPictureData);
    f.set<int32_t>(p, 112, -5);
    f.set<int32_t>(p, 56, -6);
    const size_t g = f.record(typeGrid);
    f.set<int32_t>(g, 112, -8);
    f.record(typeLine);
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    EXPECT_EQ(countItems(list), 6) << "every record is still in step";
    EXPECT_EQ(list.tail->itemType, typeLine);
    freeList(list);
}

TEST(DocfileRead, GarbageNeverCrashesAndAskedOnce)
{
    std::vector<uint8_t> junk(448 * 7 + 13);
    uint32_t s = 12345;
    for (auto& b : junk) b = uint8_t((s = s * 1103515245u + 12345u) >> 16);
    scriptedQuestions q;
    q.answer = true;
    itemList_t list;
    EXPECT_TRUE(readBytes(junk, list, q));
    EXPECT_EQ(q.asked, 1);
    EXPECT_TRUE(idCacheConsistent(list));
    freeList(list);
}

TEST(DocfileRead, MemoryAndFileReadersAgree)
{
    fileBuilder f;
    f.header(u"abc");
    const size_t s = f.record(typeTriangle);
    f.set<int32_t>(s, 112, 56);
    f.blob(std::vector<uint8_t>(56, 3));
    scriptedQuestions q;
    itemList_t a, b;
    ASSERT_TRUE(readBytes(f.bytes, a, q));
    ASSERT_TRUE(readDocumentBytes(f.bytes.data(), f.bytes.size(), b, q));
    ASSERT_EQ(countItems(a), countItems(b));
    for (item_t *x = a.head, *y = b.head; x; x = x->next, y = y->next) {
        EXPECT_EQ(std::memcmp(x->bodyBytes(), y->bodyBytes(), recordSize), 0);
        EXPECT_EQ(x->text, y->text);
        EXPECT_EQ(countNodes(x->points), countNodes(y->points));
    }
    freeList(a);
    freeList(b);
}

// ------------------------------------------------------------ recomputePixels

class RecomputePixels : public ::testing::Test {
protected:
    void TearDown() override { setScreenPpi(96, 96); }
};

TEST_F(RecomputePixels, PixelsBoxDiagonalAndAngleFromTheMeasures)
{
    setScreenPpi(96, 96);
    itemList_t l;
    item_t* it = newItem(l, typeLine);
    const double k = 96 / 25.4;
    it->mx1 = 30 * k;
    it->my1 = 40 * k;
    it->mx2 = 0;
    it->my2 = 0;
    it->x1 = it->boxWidth = 999;
    recomputePixels(it);
    EXPECT_EQ((std::array{it->x1, it->y1, it->x2, it->y2}), (std::array{30, 40, 0, 0}));
    EXPECT_EQ((std::array{it->boxLeft, it->boxRight, it->boxTop, it->boxBottom}), (std::array{0, 30, 0, 40}));
    EXPECT_EQ(it->boxWidth, 30);
    EXPECT_EQ(it->boxHeight, 40);
    EXPECT_EQ(it->diagonal, 50);
    EXPECT_DOUBLE_EQ(it->angle, geometry::segmentAngle({30, 40}, {0, 0}));
    freeList(l);
}

TEST_F(RecomputePixels, RoundClipPictureGetsTheSquareAroundItsCircle)
{
    itemList_t l;
    item_t* it = newItem(l, typePicture);
    it->clipShape = 2;
    it->x1 = 100;
    it->y1 = 100;
    it->x2 = 103;
    it->y2 = 104;
    computeMeasure(it);
    recomputePixels(it);
    EXPECT_EQ((std::array{it->boxLeft, it->boxRight, it->boxTop, it->boxBottom}), (std::array{95, 105, 95, 105}));
    EXPECT_EQ(it->boxWidth, 10);
    EXPECT_EQ(it->boxHeight, 10);
    EXPECT_EQ(it->diagonal, 14);
    it->clipShape = 1;
    recomputePixels(it);
    EXPECT_EQ(it->boxWidth, 3) << "a rectangular clip keeps the plain box";
    freeList(l);
}

TEST_F(RecomputePixels, HalvesRoundToEven)
{
    itemList_t l;
    item_t* it = newItem(l, typeLine);
    const double k = screen().pxPerMmX;
    it->mx1 = 2.5 * k;
    it->mx2 = 3.5 * k;
    it->my1 = -0.5 * k;
    recomputePixels(it);
    EXPECT_EQ(it->x1, 2);
    EXPECT_EQ(it->x2, 4);
    EXPECT_EQ(it->y1, 0);
    freeList(l);
}

TEST_F(RecomputePixels, DocumentFromAnotherScreenIsScaledButPointListsAreNot)
{
    setScreenPpi(96, 96);
    itemList_t doc;
    newDocument(doc);
    item_t* s = newItem(doc, typeRectangle);
    s->x1 = 100;
    s->y1 = 50;
    s->x2 = 201;
    s->y2 = 10;
    computeMeasure(s);
    addPoint(s, 100, 50);
    tempDir d;
    ASSERT_TRUE(writeDocument(d.file("a.lmra"), doc));
    setScreenPpi(120, 120);
    scriptedQuestions q;
    itemList_t back;
    ASSERT_TRUE(readDocument(d.file("a.lmra"), back, q));
    const item_t* r = back.tail;
    EXPECT_EQ((std::array{r->x1, r->y1, r->x2, r->y2}), (std::array{80, 40, 161, 8}));
    EXPECT_EQ((std::array{r->boxLeft, r->boxRight, r->boxTop, r->boxBottom}), (std::array{80, 161, 8, 40}));
    EXPECT_EQ(r->points.head->p.x, 100);
    EXPECT_DOUBLE_EQ(findHeader(back)->hdr().pxPerUnitX, 120 / 25.4);
    freeList(doc);
    freeList(back);
}

TEST_F(RecomputePixels, ExtremeMeasuresSaturateWithoutOverflow)
{
    itemList_t l;
    item_t* it = newItem(l, typePicture);
    it->clipShape = 2;
    it->mx1 = 1e300;
    it->my1 = -1e300;
    it->mx2 = -1e300;
    it->my2 = std::nan("");
    recomputePixels(it);
    EXPECT_EQ(it->x1, INT32_MAX);
    EXPECT_EQ(it->y2, 0);
    EXPECT_GE(it->diagonal, 0);
    freeList(l);
}

// Found by fuzzing: ids at the top of the range kept by a history-keeping file.
TEST(DocfileRead, IdsAtTheTopOfTheRangeStayDefined)
{
    fileBuilder f;
    const size_t h = f.header();
    f.bytes[h + 321] = 1;
    const size_t l = f.record(typeLine);
    f.set<int32_t>(l, 237, INT32_MAX);
    f.set<int32_t>(l, 241, INT32_MAX);
    const size_t p = f.record(INT32_MIN, kindPattern);
    (void)p;
    scriptedQuestions q;
    itemList_t list;
    ASSERT_TRUE(readBytes(f.bytes, list, q));
    EXPECT_EQ(nextStepId(list), INT32_MIN);
    EXPECT_EQ(nextActionId(list), INT32_MIN);
    EXPECT_EQ(nextPatternId(list), INT32_MAX);
    EXPECT_TRUE(idCacheConsistent(list));
    freeList(list);
}

// ---------------------------------------------------------------- files too large for the reader

namespace {

// A file (or folder) the reader meets, the limits it reads with, and the
// sentence after the file's name when it refuses (none when it reads).
struct sizeCase {
    const char* name;
    std::string (*make)(const tempDir& d);
    readLimits_t limits;
    const char* refusal;
};

void PrintTo(const sizeCase& c, std::ostream* os) { *os << c.name; }

// A header and `lines` lines, as the editor writes them.
std::vector<uint8_t> smallDocument(int lines)
{
    fileBuilder f;
    f.header();
    for (int k = 0; k < lines; ++k) f.record(typeLine);
    return f.bytes;
}

std::string fileOf(const tempDir& d, const std::vector<uint8_t>& bytes)
{
    writeAll(d.file("doc.lmra"), bytes);
    return d.file("doc.lmra");
}

const sizeCase sizeCases[] = {
    {"OneByteOverTheSizeLimit",
     [](const tempDir& d) {
         // Sparse: no disk is used for the zeros.
         const std::string name = d.file("big.lmra");
         writeAll(name, {});
         std::filesystem::resize_file(name, documentSizeLimit + 1);
         return name;
     },
     {}, " is too large to open: a document may have at most 2 GB"},
    {"ExactlyAtALowerSizeLimit", [](const tempDir& d) { return fileOf(d, smallDocument(2)); },
     {3 * recordSize, 0}, nullptr},
    {"OneByteOverALowerSizeLimit", [](const tempDir& d) { return fileOf(d, smallDocument(2)); },
     {3 * recordSize - 1, 0}, " is too large to open: a document may have at most 1343 bytes"},
    {"MoreRecordsThanTheMemoryBudget", [](const tempDir& d) { return fileOf(d, smallDocument(40)); },
     {documentSizeLimit, 20000}, " holds more records than fit in the memory available"},
    {"AnchorsBeyondTheMemoryBudgetMidway",
     [](const tempDir& d) {
         // Few records pass the first estimate; their 3000 anchors do not fit.
         fileBuilder f;
         f.header();
         const size_t g = f.record(typeGrid);
         std::vector<int32_t> entries;
         for (int k = 0; k < 3000; ++k) entries.insert(entries.end(), {anchorAxisX, k});
         f.set<int32_t>(g, 112, int32_t(entries.size() * 4));
         const auto* p = reinterpret_cast<const uint8_t*>(entries.data());
         f.blob({p, p + entries.size() * 4});
         return fileOf(d, f.bytes);
     },
     {documentSizeLimit, 60000}, " holds more records than fit in the memory available"},
    {"AFolder",
     [](const tempDir& d) {
         std::filesystem::create_directory(d.file("adir.lmra"));
         return d.file("adir.lmra");
     },
     {}, " is a folder, not a document"},
};

class DocfileSizeLimits : public ::testing::TestWithParam<sizeCase> {};

} // namespace

TEST_P(DocfileSizeLimits, RefusedWithASentenceBeforeAnythingIsAskedOrChanged)
{
    const sizeCase& c = GetParam();
    tempDir d;
    const std::string name = c.make(d);
    openDocument doc;
    scriptedQuestions q;
    std::string error;
    const bool read = readDocument(name, doc.list, q, &error, {}, c.limits);
    if (!c.refusal) {
        EXPECT_TRUE(read) << error;
        EXPECT_EQ(countItems(doc.list), 3);
        return;
    }
    EXPECT_FALSE(read);
    EXPECT_EQ(error, name + c.refusal);
    EXPECT_EQ(q.asked, 0);
    EXPECT_TRUE(doc.untouched());
}

INSTANTIATE_TEST_SUITE_P(Files, DocfileSizeLimits, ::testing::ValuesIn(sizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DocfileRead, TheMemoryBudgetIsWhatTheMachineHasLessAReserve)
{
    const uint64_t b = availableMemoryBudget();
    EXPECT_GT(b, uint64_t(16) << 20) << "some memory is available";
    EXPECT_LT(b, UINT64_MAX) << "Linux says how much";
}
