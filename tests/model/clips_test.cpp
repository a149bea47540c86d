// The picture window's clips: hit testing, handle drags, their own undo
// history, the transforms of the view state and the clips, and the stored
// source of the entire image.
#include "model/clips.h"

#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace model;
using geometry::point_t;

namespace {

class ClipList : public ::testing::Test {
protected:
    itemList_t clips;
    void TearDown() override { freeList(clips); }
    item_t* rect(int32_t l, int32_t t, int32_t r, int32_t b) { return addClip(clips, typeRectClip, {l, t}, {r, b}, 1.0); }
    item_t* round(int32_t cx, int32_t cy, int32_t rx, int32_t ry) { return addClip(clips, typeRoundClip, {cx, cy}, {rx, ry}, 1.0); }
};

// ---- hit testing ----

struct hitCase_t {
    const char* name;
    point_t mouse;
    double zoom;
    int32_t expected;  // index of the clip found, -1 none
};
void PrintTo(const hitCase_t& c, std::ostream* os) { *os << c.name; }

class ClipHit : public ClipList, public ::testing::WithParamInterface<hitCase_t> {};

// Clip 0: rectangle 100,100 – 200,160. Clip 1: circle at 400,100 radius 50.
// Clip 2: rectangle 100,102 – 200,170 (its top 2 pixels below clip 0's).
TEST_P(ClipHit, NearestOutlineWithinHalfAMarkPlusOne)
{
    const hitCase_t& c = GetParam();
    std::vector<item_t*> made = {rect(100, 100, 200, 160), round(400, 100, 450, 100), rect(100, 102, 200, 170)};
    item_t* found = clipAt(clips, c.mouse, {0, 0}, c.zoom, 8);
    EXPECT_EQ(found, c.expected < 0 ? nullptr : made[size_t(c.expected)]);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClipHit,
    ::testing::Values(
        hitCase_t{"OnTheLeftSide", {101, 130}, 1.0, 0},
        hitCase_t{"FourAwayFromTheBottomHits", {150, 164}, 1.0, 0},
        hitCase_t{"FiveAwayFromTheRightMisses", {205, 130}, 1.0, -1},
        hitCase_t{"BesideACornerOutsideBothPerpendicularsMisses", {203, 97}, 1.0, -1},
        hitCase_t{"InsideFarFromEverySideMisses", {150, 135}, 1.0, -1},
        hitCase_t{"OnTheRim", {400, 53}, 1.0, 1},
        hitCase_t{"AtTheCentreMisses", {400, 100}, 1.0, -1},
        hitCase_t{"NearerOfTwoTopsWins", {150, 102}, 1.0, 2},
        hitCase_t{"EqualDistanceKeepsTheEarlier", {150, 101}, 1.0, 0},
        hitCase_t{"HalfZoomMeasuresInViewPixels", {50, 80}, 0.5, 0},
        hitCase_t{"HalfZoomFarInPicturePixelsStillNear", {103, 65}, 0.5, 0}),
    testnames::byName{});

TEST_F(ClipList, ErasedAndSupersededClipsAreNotFound)
{
    item_t* a = rect(0, 0, 50, 50);
    ASSERT_TRUE(eraseSelectedClip(clips));
    EXPECT_EQ(clipAt(clips, {0, 25}, {0, 0}, 1.0, 8), nullptr);
    ASSERT_TRUE(undo(clips));
    EXPECT_FALSE(a->hidden);
    EXPECT_EQ(clipAt(clips, {0, 25}, {0, 0}, 1.0, 8), a);
}

// ---- handle drags ----

struct dragCase_t {
    const char* name;
    bool roundClip;
    int32_t handle;
    int32_t dx, dy;
    point_t mouse;
    std::array<int32_t, 4> points;  // x1, y1, x2, y2 afterwards
};
void PrintTo(const dragCase_t& c, std::ostream* os) { *os << c.name; }

class ClipDrag : public ClipList, public ::testing::WithParamInterface<dragCase_t> {};

// Rectangle 100,100 – 200,160; circle at 300,300 with rim 330,340 (radius 50).
TEST_P(ClipDrag, MovesTheHandlesPartsAndNormalises)
{
    const dragCase_t& c = GetParam();
    if (c.roundClip) round(300, 300, 330, 340);
    else rect(100, 100, 200, 160);
    std::vector<item_t*> v = beginEdit(clips);
    ASSERT_EQ(v.size(), 1u);
    // A drag is applied many times from the same reference: only the last counts.
    dragClipHandle(v[0], c.handle, 7, -3, {1, 1});
    dragClipHandle(v[0], c.handle, c.dx, c.dy, c.mouse);
    EXPECT_EQ((std::array<int32_t, 4>{v[0]->x1, v[0]->y1, v[0]->x2, v[0]->y2}), c.points);
    EXPECT_LE(v[0]->boxLeft, v[0]->boxRight);
    ASSERT_TRUE(undo(clips));
    ASSERT_EQ(visibleClips(clips).size(), 1u);
    EXPECT_EQ(visibleClips(clips)[0]->x1, c.roundClip ? 300 : 100);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClipDrag,
    ::testing::Values(
        dragCase_t{"CentreMovesBothCorners", false, 0, 10, 20, {}, {110, 120, 210, 180}},
        dragCase_t{"TopLeftMovesLeftAndTop", false, 1, 10, 20, {}, {110, 120, 200, 160}},
        dragCase_t{"TopRightMovesRightAndTop", false, 2, 10, 20, {}, {100, 120, 210, 160}},
        dragCase_t{"BottomRightMovesRightAndBottom", false, 3, 10, 20, {}, {100, 100, 210, 180}},
        dragCase_t{"BottomLeftMovesLeftAndBottom", false, 4, 10, 20, {}, {110, 100, 200, 180}},
        dragCase_t{"TopMovesTopOnly", false, 5, 10, 20, {}, {100, 120, 200, 160}},
        dragCase_t{"RightMovesRightOnly", false, 6, 10, 20, {}, {100, 100, 210, 160}},
        dragCase_t{"BottomMovesBottomOnly", false, 7, 10, 20, {}, {100, 100, 200, 180}},
        dragCase_t{"LeftMovesLeftOnly", false, 8, 10, 20, {}, {110, 100, 200, 160}},
        dragCase_t{"LeftPastTheRightTurnsOver", false, 8, 130, 0, {}, {200, 100, 230, 160}},
        dragCase_t{"TopPastTheBottomTurnsOver", false, 5, 0, 90, {}, {100, 160, 200, 190}},
        dragCase_t{"RoundCentreMovesCentreAndRim", true, 0, -5, 6, {}, {295, 306, 325, 346}},
        dragCase_t{"RoundRimHandlePutsTheRimAtTheMouse", true, 2, 99, 99, {360, 300}, {300, 300, 360, 300}}),
    testnames::byName{});

TEST_F(ClipList, HandlesAndTheirCursors)
{
    item_t* r = rect(100, 100, 200, 160);
    EXPECT_EQ(handleAt(r, {200, 160}, {0, 0}, 1.0, 8), 3);
    EXPECT_EQ(handleAt(r, {150, 130}, {0, 0}, 1.0, 8), 0);
    EXPECT_EQ(handleAt(r, {50, 50}, {0, 0}, 1.0, 8), noHandle);
    // At half zoom with the view scrolled by 10, the right side's midpoint (200, 130) is at (90, 55).
    EXPECT_EQ(handleAt(r, {90, 55}, {10, 10}, 0.5, 8), 6);
    EXPECT_EQ(cursorForHandle(r, 2), handleCursor_t::diagonalNeSw);
    EXPECT_EQ(cursorForHandle(r, 7), handleCursor_t::vertical);
    item_t* c = round(300, 300, 330, 340);
    EXPECT_EQ(clipHandles(c)[4], (point_t{250, 300}));
    EXPECT_EQ(cursorForHandle(c, 4), handleCursor_t::horizontal);
    EXPECT_EQ(c->boxLeft, 250);
    EXPECT_EQ(c->boxBottom, 350);
}

// ---- the clip list's history and counts ----

TEST_F(ClipList, DrawingAndErasingAreStepsOfTheirOwnHistory)
{
    rect(0, 0, 40, 40);
    round(100, 100, 103, 104);
    rect(5, 5, 5, 60);  // zero width: drawn, but not usable
    EXPECT_EQ(countClips(clips).rectangles, 1);
    EXPECT_EQ(countClips(clips).rounds, 1);
    ASSERT_TRUE(eraseSelectedClip(clips));  // the last one drawn is selected
    EXPECT_EQ(visibleClips(clips).size(), 2u);
    ASSERT_TRUE(undo(clips));
    EXPECT_EQ(visibleClips(clips).size(), 3u);
    ASSERT_TRUE(undo(clips));
    EXPECT_EQ(visibleClips(clips).size(), 2u);
    ASSERT_TRUE(redo(clips));
    EXPECT_EQ(visibleClips(clips).size(), 3u);
    deselectAll(clips);
    EXPECT_FALSE(eraseSelectedClip(clips));
}

TEST(ClipMapping, ViewAndPicturePixelsRoundHalvesToEven)
{
    EXPECT_EQ(viewToPicture(10, 5, 0.125), 120);
    EXPECT_EQ(viewToPicture(5, 0, 2.0), 2);    // 2.5 → 2
    EXPECT_EQ(viewToPicture(4, 3, 2.0), 4);    // 3.5 → 4
    EXPECT_EQ(pictureToView(120, 5, 0.125), 10);
    EXPECT_EQ(pictureToView(5, 0, 0.5), 2);    // 2.5 → 2, then the scroll
    EXPECT_EQ(pictureToView(7, 3, 0.5), 1);    // 3.5 → 4, less 3
}

// ---- transforms ----

enum class op_t { mirror, flip, left, right };
struct transformCase_t {
    const char* name;
    pictureView_t before;
    std::vector<op_t> ops;
    pictureView_t after;
    point_t clipPoint;  // where the clip's corner (10, 20) of a 100 × 60 picture goes
};
void PrintTo(const transformCase_t& c, std::ostream* os) { *os << c.name; }

class Transform : public ClipList, public ::testing::WithParamInterface<transformCase_t> {};

TEST_P(Transform, ViewStateAndClipsMoveTogether)
{
    const transformCase_t& c = GetParam();
    pictureView_t v = c.before;
    item_t* clip = round(10, 20, 15, 20);
    int32_t w = 100, h = 60;
    for (op_t o : c.ops) {
        switch (o) {
        case op_t::mirror: mirrorPicture(v, clips, w); break;
        case op_t::flip: flipPicture(v, clips, h); break;
        case op_t::left: rotatePictureLeft(v, clips, w); std::swap(w, h); break;
        case op_t::right: rotatePictureRight(v, clips, h); std::swap(w, h); break;
        }
    }
    EXPECT_EQ(v.flipX, c.after.flipX);
    EXPECT_EQ(v.flipY, c.after.flipY);
    EXPECT_EQ(v.orientation, c.after.orientation);
    EXPECT_EQ((point_t{clip->x1, clip->y1}), c.clipPoint);
}

INSTANTIATE_TEST_SUITE_P(Cases, Transform,
    ::testing::Values(
        transformCase_t{"MirrorNegatesTheHorizontalSign", {1, 1, 0}, {op_t::mirror}, {-1, 1, 0}, {90, 20}},
        transformCase_t{"MirrorAt90NegatesTheVerticalSign", {1, 1, 90}, {op_t::mirror}, {1, -1, 90}, {90, 20}},
        transformCase_t{"FlipNegatesTheVerticalSign", {1, 1, 180}, {op_t::flip}, {1, -1, 180}, {10, 40}},
        transformCase_t{"FlipAt270NegatesTheHorizontalSign", {1, 1, 270}, {op_t::flip}, {-1, 1, 270}, {10, 40}},
        transformCase_t{"RotateLeftOnce", {1, 1, 0}, {op_t::left}, {1, 1, 90}, {20, 90}},
        transformCase_t{"RotateLeftFourTimesEndsAt360", {1, 1, 0}, {op_t::left, op_t::left, op_t::left, op_t::left},
                        {1, 1, 360}, {10, 20}},
        transformCase_t{"RotateLeftFrom360Gives90", {1, 1, 360}, {op_t::left}, {1, 1, 90}, {20, 90}},
        transformCase_t{"RotateRightFrom0Gives270", {1, 1, 0}, {op_t::right}, {1, 1, 270}, {40, 10}},
        transformCase_t{"RightThenLeftComesBack", {-1, 1, 90}, {op_t::right, op_t::left}, {-1, 1, 90}, {10, 20}}),
    testnames::byName{});

TEST(RotateLeft, FourTurnsPassThrough90_180_270_360)
{
    pictureView_t v;
    itemList_t none;
    std::vector<int32_t> seen;
    for (int k = 0; k < 4; ++k) {
        rotatePictureLeft(v, none, 10);
        seen.push_back(v.orientation);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{90, 180, 270, 360}));
}

// ---- the entire image ----

struct entireCase_t {
    const char* name;
    int32_t w, h;
    double zoom;
    std::array<int32_t, 4> source;
};
void PrintTo(const entireCase_t& c, std::ostream* os) { *os << c.name; }

class EntireImage : public ::testing::TestWithParam<entireCase_t> {};

TEST_P(EntireImage, SidesAreMadeOddByTakingOneOff)
{
    EXPECT_EQ(entireImageSource(GetParam().w, GetParam().h, GetParam().zoom), GetParam().source);
}

INSTANTIATE_TEST_SUITE_P(Cases, EntireImage,
    ::testing::Values(
        entireCase_t{"At100Percent200By100", 200, 100, 1.0, {0, 0, 199, 99}},
        entireCase_t{"OddSidesStay", 201, 99, 1.0, {0, 0, 201, 99}},
        entireCase_t{"At12Percent500By375", 500, 375, 0.125, {0, 0, 3999, 2999}},
        entireCase_t{"At150PercentRoundsTheDivision", 301, 150, 1.5, {0, 0, 201, 99}}),
    testnames::byName{});

} // namespace
