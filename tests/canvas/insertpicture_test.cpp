// "Insert" of the picture window: the records written into a document
// window, their placement, the picture data stored once, the history steps,
// re-clipping and the file round trip.
#include "selection_support.h"

#include "canvas/insertpicture.h"
#include "model/docfile.h"
#include "model/history.h"
#include "render/decode.h"
#include "samples/samplepictures.h"
#include "testnames.h"

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>

using namespace seltest;
using canvas::clipShape_t;
using canvas::pictureInsert_t;
using canvas::pictureMode_t;

namespace {

std::vector<model::item_t*> pictures(model::itemList_t& l)
{
    std::vector<model::item_t*> out;
    for (model::item_t* it = l.head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && it->itemType == model::typePicture) out.push_back(it);
    return out;
}

int32_t pictureDataCount(const model::itemList_t& l)
{
    int32_t n = 0;
    for (const model::item_t* it = l.head; it; it = it->next) n += it->itemType == model::typePictureData;
    return n;
}

class InsertPicture : public WindowTest {
protected:
    render::pictureSource_t source;
    const model::itemList_t* lists[1] = {nullptr};

    void load(int32_t format, const std::vector<uint8_t>& bytes, const char* name = "/pictures/sample.gif")
    {
        ASSERT_EQ(render::loadStoredPicture(format, bytes, QString::fromLatin1(name), source), render::pictureLoad_t::ok);
    }
    pictureInsert_t request(double zoom, std::vector<clipShape_t> clips, pictureMode_t mode = pictureMode_t::newPicture)
    {
        pictureInsert_t r;
        r.mode = mode;
        r.source = &source;
        r.zoom = zoom;
        r.shown = render::planDisplay(source.decoded.size(), zoom, 1).result;
        r.clips = std::move(clips);
        return r;
    }
    bool insert(const pictureInsert_t& r)
    {
        lists[0] = &w->items();
        return canvas::insertPictureInto(*w, r, {lists, 1});
    }
};

struct placeCase_t {
    const char* name;
    double zoom;
    std::vector<clipShape_t> clips;
    // Per item: clipShape, x1, y1, x2, y2, srcLeft, srcTop, srcRight, srcBottom.
    std::vector<std::array<int32_t, 9>> items;
};
void PrintTo(const placeCase_t& c, std::ostream* os) { *os << c.name; }

class InsertPlacement : public InsertPicture, public ::testing::WithParamInterface<placeCase_t> {};

// The picture is 200 × 100.
TEST_P(InsertPlacement, ItemsAndTheirSources)
{
    const placeCase_t& c = GetParam();
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(200, 100)));
    ASSERT_TRUE(insert(request(c.zoom, c.clips)));
    const std::vector<model::item_t*> got = pictures(items());
    ASSERT_EQ(got.size(), c.items.size());
    for (size_t k = 0; k < got.size(); ++k) {
        const model::item_t* it = got[k];
        EXPECT_EQ((std::array<int32_t, 9>{it->clipShape, it->x1, it->y1, it->x2, it->y2, it->srcLeft, it->srcTop,
                                          it->srcRight, it->srcBottom}),
                  c.items[k])
            << "item " << k;
        EXPECT_DOUBLE_EQ(it->scaleX, c.zoom);
        EXPECT_DOUBLE_EQ(it->baseScale, c.zoom);
        EXPECT_NEAR(it->mx2, it->x2 * (96 / 25.4), 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, InsertPlacement,
    ::testing::Values(
        placeCase_t{"EntireImageAt100Percent", 1.0, {}, {{0, 20, 20, 220, 120, 0, 0, 199, 99}}},
        placeCase_t{"EntireImageAtHalf", 0.5, {}, {{0, 20, 20, 120, 70, 0, 0, 199, 99}}},
        placeCase_t{"RectangleAtHalfThenOneStepFurther", 0.5,
                    {{model::clipRect, 10, 10, 51, 30}, {model::clipRect, 0, 0, 200, 100}},
                    {{1, 20, 20, 40, 30, 10, 10, 51, 30}, {1, 30, 30, 130, 80, 0, 0, 200, 100}}},
        placeCase_t{"RoundClipCentreAndRimAtTheZoom", 2.0, {{model::clipRound, 50, 50, 53, 54}},
                    {{2, 30, 30, 36, 38, 50, 50, 53, 54}}}),
    testnames::byName{});

TEST_F(InsertPicture, AZeroWidthRectangleIsSkippedAndAloneItLeavesTheEntireImage)
{
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(200, 100)));
    model::itemList_t clipList;
    model::addClip(clipList, model::typeRectClip, {40, 10}, {40, 90}, 1.0);
    ASSERT_TRUE(insert(request(1.0, canvas::usableClips(clipList))));
    ASSERT_EQ(pictures(items()).size(), 1u);
    EXPECT_EQ(pictures(items())[0]->clipShape, model::clipWhole);
    model::addClip(clipList, model::typeRoundClip, {60, 60}, {60, 60}, 1.0);  // radius 0
    model::addClip(clipList, model::typeRectClip, {0, 0}, {10, 10}, 1.0);
    EXPECT_EQ(canvas::usableClips(clipList).size(), 1u);
    model::freeList(clipList);
}

TEST_F(InsertPicture, ThreeClipsShareOneStoredPictureAreThreeStepsAndSurviveTheFileByteForByte)
{
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(200, 100)));
    ASSERT_TRUE(insert(request(1.0, {{model::clipRect, 0, 0, 50, 50}, {model::clipRound, 100, 50, 120, 50},
                                     {model::clipRect, 60, 0, 200, 40}})));
    EXPECT_EQ(pictureDataCount(items()), 1);
    const std::vector<model::item_t*> got = pictures(items());
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0]->pictureId, got[2]->pictureId);
    EXPECT_NE(got[0]->actionId, got[1]->actionId);
    EXPECT_LT(got[1]->zOrder, got[2]->zOrder);
    EXPECT_EQ(host.editStates, 1);
    // The stored GIF is the codec's own encoding of the picture, and decodes to its size.
    const model::item_t* data = model::findPictureData(items(), got[0]->pictureId);
    ASSERT_TRUE(data && data->stream);
    EXPECT_EQ(render::decodeGif(data->stream->data(), data->stream->size()).size(), QSize(200, 100));
    EXPECT_EQ(model::getText(data), u"/pictures/sample.gif");

    // Each inserted item is a step of its own.
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(pictures(items()).size(), 2u);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(pictures(items()).size(), 1u);
    ASSERT_TRUE(model::redo(items()));
    ASSERT_TRUE(model::redo(items()));

    // Committed (as a file read back is) and saved, the records come back unchanged.
    model::clearHistory(items());
    QTemporaryDir dir;
    const std::string a = dir.filePath("a.lmra").toStdString(), b = dir.filePath("b.lmra").toStdString();
    // The first save clears the modified flag that the file's header carries.
    ASSERT_TRUE(model::writeDocument(a, items()));
    ASSERT_TRUE(model::writeDocument(a, items()));
    struct noQuestions_t : model::docReadQuestions_t {
        bool askOpenInvalid() override { return false; }
        void warnNewerVersion(const std::string&) override {}
    } questions;
    model::itemList_t back;
    ASSERT_TRUE(model::readDocument(a, back, questions));
    EXPECT_EQ(pictureDataCount(back), 1);
    ASSERT_TRUE(model::writeDocument(b, back));
    model::freeList(back);
    auto bytes = [](const std::string& f) {
        std::ifstream in(f, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    };
    const std::vector<char> first = bytes(a), second = bytes(b);
    ASSERT_EQ(first.size(), second.size());
    const auto diff = std::mismatch(first.begin(), first.end(), second.begin());
    EXPECT_TRUE(diff.first == first.end()) << "first difference at byte " << (diff.first - first.begin());

}

TEST_F(InsertPicture, TheEntireImageNeverReachesPastTheLastPixel)
{
    // 4001 pixels wide seen through a 1/8 decode: 501 × 0.125 rounds to 4008.
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(501, 40)));
    pictureInsert_t r = request(0.125, {});
    r.shown = {501, 5};
    r.pictureSize = {4001, 40};
    ASSERT_TRUE(insert(r));
    EXPECT_EQ(pictures(items())[0]->srcRight, 4000);
    EXPECT_EQ(pictures(items())[0]->srcBottom, 39);
}

TEST_F(InsertPicture, AJpegIsStoredAsLoaded)
{
    const std::vector<uint8_t> jpeg = samples::encodeJpeg(samples::samplePattern(64, 48));
    load(model::pictureJpeg, jpeg, "/p/photo.jpg");
    ASSERT_TRUE(insert(request(1.0, {})));
    const model::item_t* data = model::findPictureData(items(), pictures(items())[0]->pictureId);
    ASSERT_TRUE(data && data->stream);
    EXPECT_EQ(*data->stream, jpeg);
    EXPECT_EQ(data->clipShape, model::pictureJpeg);
}

struct reclipCase_t {
    const char* name;
    int32_t oldShape;
    clipShape_t clip;
    std::array<int32_t, 4> points;  // x1, y1, x2, y2 of the re-clipped item
};
void PrintTo(const reclipCase_t& c, std::ostream* os) { *os << c.name; }

class Reclip : public InsertPicture, public ::testing::WithParamInterface<reclipCase_t> {};

// The item to re-clip covers 300,200 – 400,260 (a circle: centre 40,30 rim 60,30).
TEST_P(Reclip, KeepsTheCornerOrTheCentreAndStaysSelected)
{
    const reclipCase_t& c = GetParam();
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(200, 100)));
    ASSERT_TRUE(insert(request(1.0, {})));
    model::item_t* pic = pictures(items())[0];
    pic->clipShape = c.oldShape;
    if (c.oldShape == model::clipRound) pic->x1 = 40, pic->y1 = 30, pic->x2 = 60, pic->y2 = 30;
    else pic->x1 = 300, pic->y1 = 200, pic->x2 = 400, pic->y2 = 260;
    geometry::pictureBox(pic);
    select(items(), {pic});
    const int32_t before = int32_t(pictures(items()).size());
    ASSERT_TRUE(insert(request(1.0, {c.clip}, pictureMode_t::reclip)));
    ASSERT_EQ(int32_t(pictures(items()).size()), before);
    model::item_t* now = model::singleSelected(items());
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->replacesStep, pic->stepId);
    EXPECT_EQ((std::array<int32_t, 4>{now->x1, now->y1, now->x2, now->y2}), c.points);
    EXPECT_EQ(pictureDataCount(items()), 1);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_FALSE(pic->hidden);
}

INSTANTIATE_TEST_SUITE_P(Cases, Reclip,
    ::testing::Values(
        reclipCase_t{"RectangleForRectangleKeepsTheTopLeft", model::clipRect, {model::clipRect, 0, 0, 40, 20},
                     {300, 200, 340, 220}},
        reclipCase_t{"CircleForRectangleIsCentred", model::clipRect, {model::clipRound, 10, 10, 20, 10},
                     {350, 230, 360, 230}},
        reclipCase_t{"RectangleForCircleIsCentredButNotAbove10", model::clipRound, {model::clipRect, 0, 0, 100, 80},
                     {10, 10, 110, 90}}),
    testnames::byName{});

TEST_F(InsertPicture, ReclipAndAddClipsNeedASelectedPicture)
{
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(200, 100)));
    EXPECT_FALSE(insert(request(1.0, {}, pictureMode_t::addClips)));
    addLine(items(), {0, 0}, {50, 50});
    select(items(), {model::findVisibleByType(items(), model::typeLine)});
    EXPECT_FALSE(insert(request(1.0, {}, pictureMode_t::reclip)));
    EXPECT_TRUE(pictures(items()).empty());
    EXPECT_EQ(pictureDataCount(items()), 0);
}

TEST(FitToPage, AnEntireImageLargerThanThePageIsScaledDownAndCentred)
{
    struct row_t {
        const char* name;
        QSize shown;
        bool clips, atChosenZoom;
        double zoom;
        QSize size;
        geometry::point_t at;
    };
    const QSize page(800, 1000);
    const row_t rows[] = {
        {"WiderThanThePage", {1600, 900}, false, false, 0.5, {800, 450}, {0, 275}},
        {"TallerThanThePage", {400, 4000}, false, false, 0.25, {100, 1000}, {350, 0}},
        {"FitsAlready", {800, 1000}, false, false, 1.0, {800, 1000}, {20, 20}},
        {"ClipsKeepTheirZoom", {1600, 900}, true, false, 1.0, {1600, 900}, {20, 20}},
        {"AtTheChosenZoom", {1600, 900}, false, true, 1.0, {1600, 900}, {20, 20}},
    };
    for (const row_t& r : rows) {
        pictureInsert_t in;
        in.zoom = 1.0;
        in.shown = r.shown;
        in.atChosenZoom = r.atChosenZoom;
        if (r.clips) in.clips.push_back({model::clipRect, 0, 0, 10, 10});
        const pictureInsert_t out = canvas::fittedToPage(in, page);
        EXPECT_DOUBLE_EQ(out.zoom, r.zoom) << r.name;
        EXPECT_EQ(out.shown, r.size) << r.name;
        EXPECT_EQ(out.firstAt, r.at) << r.name;
    }
}

TEST_F(InsertPicture, APictureLargerThanThePageIsInsertedToFitIt)
{
    load(model::pictureGif, samples::encodeGif(samples::samplePattern(200, 100)));
    // At 800 % the picture is 1600 pixels wide, wider than the page.
    const pictureInsert_t r = request(8.0, {});
    ASSERT_GT(r.shown.width(), w->pageExtentX());
    ASSERT_TRUE(insert(r));
    const std::vector<model::item_t*> pics = pictures(items());
    ASSERT_EQ(pics.size(), 1u);
    const model::item_t* p = pics.front();
    const model::headerBody_t& h = w->header()->hdr();
    const int32_t pageW = model::roundHalfEven(h.canvasWidth * h.pxPerUnitX);
    EXPECT_LE(std::abs(p->x2 - p->x1), pageW);
    EXPECT_GE(std::abs(p->x2 - p->x1), pageW - 2);
    // The aspect of 2:1 is kept and the picture is centred across the page.
    EXPECT_NEAR(double(std::abs(p->x2 - p->x1)) / std::abs(p->y2 - p->y1), 2.0, 0.02);
    EXPECT_LE(std::abs(std::min(p->x1, p->x2) - (pageW - std::max(p->x1, p->x2))), 2);
}

} // namespace
