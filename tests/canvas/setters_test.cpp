// The attribute setters on a window's selection: which items each one
// changes, that each call is one undoable step, the byte-value rule, the
// shape conversions and turns, and how much of the canvas each repaints.
#include "selection_support.h"

#include "canvas/attributes.h"
#include "canvas/creation.h"
#include "canvas/selectionedit.h"
#include "canvas/setters.h"
#include "canvas/textediting.h"
#include "render/text.h"
#include "settings/params.h"
#include "testnames.h"

#include <functional>
#include <random>
#include <ostream>

using namespace seltest;
using canvas::TSandbox;

namespace {

item_t* addText(model::itemList_t& l, point_t a, point_t b)
{
    item_t* it = model::newItem(l, model::typeText);
    canvas::applyTextItemDefaults(it, canvas::params());
    model::setText(it, u"Setter");
    render::setTextBaseline(it, a, b);
    render::fitTextBox(it, false, 1.0);
    model::recordNew(l, it);
    return it;
}

item_t* addStar(model::itemList_t& l, point_t c, point_t tip, point_t inner, int32_t sides)
{
    item_t* it = model::newItem(l, model::typeStar);
    it->sides = sides;
    geometry::buildStar(c, tip, inner, sides, it->points);
    return finishShape(l, it);
}

item_t* addPie(model::itemList_t& l, point_t c, point_t s, point_t e)
{
    item_t* it = model::newItem(l, model::typePie);
    geometry::buildPieArc(c, s, e, it->points);
    return finishShape(l, it);
}

// One item of every family the setters tell apart, well apart on the page.
struct sampleItems_t {
    item_t* line;
    item_t* square;
    item_t* text;
    item_t* picture;
    item_t* star;
    item_t* pie;
};

sampleItems_t addSamples(model::itemList_t& l)
{
    return {addLine(l, {150, 100}, {250, 100}),     addSquare(l, {100, 200}, {160, 200}),
            addText(l, {100, 400}, {180, 400}),     addPicture(l, {300, 200}, {380, 260}),
            addStar(l, {300, 400}, {300, 350}, {310, 390}, 5), addPie(l, {100, 550}, {150, 550}, {100, 500})};
}

// ---------------------------------------------------------------- which items a setter changes

struct setterCase_t {
    const char* name;
    std::function<void(TSandbox&)> call;
    std::function<double(const item_t*)> field;
    double value;  // what the items it applies to hold afterwards
    // Which of line, square, text, picture, star, pie it applies to.
    std::array<bool, 6> applies;
};
void PrintTo(const setterCase_t& c, std::ostream* os) { *os << c.name; }

const std::vector<int32_t> presetRows{3, 1, 2, 4, 7};

const setterCase_t setterCases[] = {
    {"LineColorOnEvery", [](TSandbox& w) { canvas::setLineColor(w, 0x123456); },
     [](const item_t* i) { return i->lineColor; }, 0x123456, {1, 1, 1, 1, 1, 1}},
    {"FillColorOnEvery", [](TSandbox& w) { canvas::setFillColor(w, 0x00FF00); },
     [](const item_t* i) { return i->fillColor; }, 0x00FF00, {1, 1, 1, 1, 1, 1}},
    {"LineWeightSetsPenWidth", [](TSandbox& w) { canvas::setLineWeight(w, 2.0); },
     [](const item_t* i) { return i->penWidthPx; }, geometry::penWidthAt(1.0, 2.0), {1, 1, 1, 1, 1, 1}},
    {"OutlineWeight", [](TSandbox& w) { canvas::setOutlineWeight(w, 1.5); },
     [](const item_t* i) { return i->outlineWeight; }, 1.5, {1, 1, 1, 1, 1, 1}},
    {"BuiltInPattern", [](TSandbox& w) { canvas::setPattern(w, 4, presetRows); },
     [](const item_t* i) { return i->patternIndex; }, 4, {1, 1, 1, 1, 1, 1}},
    {"PatternPastTheListIsSolid", [](TSandbox& w) { canvas::setPattern(w, 6 + 5, presetRows); },
     [](const item_t* i) { return i->patternIndex; }, 0, {1, 1, 1, 1, 1, 1}},
    {"DirectionNoneOnEvery", [](TSandbox& w) { canvas::setDirection(w, 0, presetRows); },
     [](const item_t* i) { return i->direction; }, -1.0, {1, 1, 1, 1, 1, 1}},
    {"SurfaceOnDrawables", [](TSandbox& w) { canvas::setSurface(w, 3); },
     [](const item_t* i) { return i->surface; }, 3, {1, 1, 1, 1, 1, 1}},
    {"ShapeShadowOnLinesAndShapes", [](TSandbox& w) { canvas::setShapeShadow(w, 40, 50, 60); },
     [](const item_t* i) { return i->shadowFade; }, 50, {1, 1, 0, 0, 1, 1}},
    {"TextShadowOnTexts", [](TSandbox& w) { canvas::setTextShadow(w, 40, 50, 60); },
     [](const item_t* i) { return i->shadowLightness; }, 60, {0, 0, 1, 0, 0, 0}},
    {"PictureShadowOnPictures", [](TSandbox& w) { canvas::setPictureShadow(w, 40, 50, 60); },
     [](const item_t* i) { return i->shadowElevation; }, 40, {0, 0, 0, 1, 0, 0}},
    {"FrameColorOnPictures", [](TSandbox& w) { canvas::setFrameColor(w, 0x0000FF); },
     [](const item_t* i) { return i->lineColor; }, 0x0000FF, {0, 0, 0, 1, 0, 0}},
    {"FrameWidthTurnsFrameOn", [](TSandbox& w) { canvas::setFrameWidth(w, 1.0); },
     [](const item_t* i) { return i->frameOn; }, 1, {0, 0, 0, 1, 0, 0}},
    {"AdjustmentsOnPictures", [](TSandbox& w) { canvas::applyAdjustments(w, 10, -20, 30); },
     [](const item_t* i) { return i->contrast; }, -20, {0, 0, 0, 1, 0, 0}},
    {"TextColorOnTexts", [](TSandbox& w) { canvas::setTextColor(w, 0x00AA00); },
     [](const item_t* i) { return i->textColor; }, 0x00AA00, {0, 0, 1, 0, 0, 0}},
    {"FontSizeOnEvery", [](TSandbox& w) { canvas::setFontSize(w, 30); },
     [](const item_t* i) { return i->fontSize; }, 30, {1, 1, 1, 1, 1, 1}},
    {"FontCharsetOnEvery", [](TSandbox& w) { canvas::setFontCharset(w, 161); },
     [](const item_t* i) { return i->fontCharset; }, 161, {1, 1, 1, 1, 1, 1}},
    {"BoldOnEvery", [](TSandbox& w) { canvas::setFontWeight(w, 700); },
     [](const item_t* i) { return i->fontWeight; }, 700, {1, 1, 1, 1, 1, 1}},
    {"StrikeoutIsTheThirdStyle", [](TSandbox& w) { canvas::setTextStyle(w, canvas::styleStrikeout, 1); },
     [](const item_t* i) { return i->fontStrikeout; }, 1, {1, 1, 1, 1, 1, 1}},
    {"JustificationIsTheFourthStyle", [](TSandbox& w) { canvas::setTextStyle(w, canvas::styleJustification, 2); },
     [](const item_t* i) { return i->justification; }, 2, {1, 1, 1, 1, 1, 1}},
    {"TextDirectionSetsTextAngle", [](TSandbox& w) { canvas::setTextDirection(w, 45); },
     [](const item_t* i) { return i->textDirection; }, 45, {1, 1, 1, 1, 1, 1}},
    {"SidesOnStars", [](TSandbox& w) { canvas::setSides(w, 7); },
     [](const item_t* i) { return i->sides; }, 7, {0, 0, 0, 0, 1, 0}},
    {"PieBecomesArc", [](TSandbox& w) { canvas::setPieOrArc(w, model::typeArc); },
     [](const item_t* i) { return i->itemType; }, model::typeArc, {0, 0, 0, 0, 0, 1}},
    {"SquareBecomesRectangle", [](TSandbox& w) { canvas::setSquareOrRectangle(w, model::typeRectangle); },
     [](const item_t* i) { return i->itemType; }, model::typeRectangle, {0, 1, 0, 0, 0, 0}},
};

class Setter : public WindowTest, public ::testing::WithParamInterface<setterCase_t> {
protected:
    sampleItems_t s{};
    std::array<item_t*, 6> all{};

    void SetUp() override
    {
        WindowTest::SetUp();
        s = addSamples(items());
        all = {s.line, s.square, s.text, s.picture, s.star, s.pie};
        select(items(), {s.line, s.square, s.text, s.picture, s.star, s.pie});
        w->repaintAll(false);
    }
};

TEST_P(Setter, ChangesOnlyTheTypesItAppliesTo)
{
    const setterCase_t& c = GetParam();
    std::array<double, 6> before{};
    for (size_t k = 0; k < all.size(); ++k) before[k] = c.field(all[k]);
    c.call(*w);
    for (size_t k = 0; k < all.size(); ++k) {
        const item_t* now = current(items(), all[k]);
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(c.field(now), c.applies[k] ? c.value : before[k]) << "item " << k;
        EXPECT_TRUE(now->selected) << "item " << k;
    }
}

TEST_P(Setter, IsOneUndoableStepAndNothingWithoutASelection)
{
    const setterCase_t& c = GetParam();
    std::array<double, 6> before{};
    for (size_t k = 0; k < all.size(); ++k) before[k] = c.field(all[k]);
    c.call(*w);
    const int32_t action = current(items(), s.line)->actionId;
    for (item_t* it : all) EXPECT_EQ(current(items(), it)->actionId, action);
    ASSERT_TRUE(model::undo(items()));
    for (size_t k = 0; k < all.size(); ++k) {
        EXPECT_EQ(current(items(), all[k]), all[k]) << "item " << k;
        EXPECT_EQ(c.field(all[k]), before[k]) << "item " << k;
    }
    // Nothing selected: no record appears and Redo still has the step.
    model::deselectAll(items());
    const int32_t count = model::countItems(items());
    c.call(*w);
    EXPECT_EQ(model::countItems(items()), count);
    EXPECT_TRUE(model::canRedo(items()));
}

INSTANTIATE_TEST_SUITE_P(Cases, Setter, ::testing::ValuesIn(setterCases), testnames::byName());

// ---------------------------------------------------------------- byte values

struct byteCase_t {
    const char* name;
    int32_t given;
    uint8_t stored;
};
void PrintTo(const byteCase_t& c, std::ostream* os) { *os << c.name; }

class ByteValue : public WindowTest, public ::testing::WithParamInterface<byteCase_t> {};

TEST_P(ByteValue, SurfaceAndShadowStoreOnlyBytes)
{
    item_t* sq = addSquare(items(), {100, 100}, {150, 100});
    select(items(), {sq});
    canvas::setSurface(*w, GetParam().given);
    canvas::setShapeShadow(*w, GetParam().given, GetParam().given, GetParam().given);
    const item_t* now = current(items(), sq);
    EXPECT_EQ(now->surface, GetParam().stored);
    EXPECT_EQ(now->shadowElevation, GetParam().stored);
    EXPECT_EQ(now->shadowFade, GetParam().stored);
    EXPECT_EQ(now->shadowLightness, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteValue,
                         ::testing::Values(byteCase_t{"Zero", 0, 0}, byteCase_t{"Largest", 255, 255},
                                           byteCase_t{"OneTooMany", 256, 0}, byteCase_t{"Wrapping", 300, 0},
                                           byteCase_t{"Negative", -1, 0}),
                         testnames::byName());

// ---------------------------------------------------------------- adjustment slider positions

struct lightnessCase_t {
    const char* name;
    int32_t position;  // the lightness slider
    int32_t stored;
};
void PrintTo(const lightnessCase_t& c, std::ostream* os) { *os << c.name; }

class LightnessPosition : public WindowTest, public ::testing::WithParamInterface<lightnessCase_t> {};

TEST_P(LightnessPosition, PositiveIsStoredHalvedTheRestAsGiven)
{
    const lightnessCase_t& c = GetParam();
    item_t* pic = addPicture(items(), {100, 100}, {200, 180});
    select(items(), {pic});
    canvas::applyAdjustments(*w, c.position, -c.position, c.position);
    const item_t* now = current(items(), pic);
    EXPECT_EQ(now->lightness, c.stored);
    EXPECT_EQ(now->saturation, c.position);
    EXPECT_EQ(now->contrast, -c.position);
    // Shown again, an even position comes back where it was.
    if (c.position % 2 == 0) {
        EXPECT_EQ(canvas::lightnessPosition(now->lightness), c.position);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LightnessPosition,
                         ::testing::Values(lightnessCase_t{"RightEndStores256", 512, 256},
                                           lightnessCase_t{"OddIsHalvedDownwards", 3, 1},
                                           lightnessCase_t{"OneStoresNothing", 1, 0},
                                           lightnessCase_t{"Zero", 0, 0},
                                           lightnessCase_t{"NegativeAsGiven", -100, -100},
                                           lightnessCase_t{"LeftEnd", -128, -128}),
                         testnames::byName());

// ---------------------------------------------------------------- conversions and turns

struct conversionCase_t {
    const char* name;
    std::function<item_t*(model::itemList_t&)> build;
    std::function<void(TSandbox&)> call;
    std::function<void(const item_t* before, const item_t* after)> check;
};
void PrintTo(const conversionCase_t& c, std::ostream* os) { *os << c.name; }

point_t pt(const item_t* it, int32_t i) { return geometry::pointAt(it->points, i); }
int32_t dist(point_t a, point_t b) { return model::roundHalfEven(geometry::distance(a, b)); }

const conversionCase_t conversionCases[] = {
    {"RectangleBecomesSquareOfItsFirstSideAndStaysSo",
     [](model::itemList_t& l) { return addRectangle(l, {100, 300}, {180, 300}, 50); },
     [](TSandbox& w) {
         canvas::setSquareOrRectangle(w, model::typeSquare);
         canvas::setSquareOrRectangle(w, model::typeRectangle);
     },
     [](const item_t* b, const item_t* a) {
         EXPECT_EQ(a->itemType, model::typeRectangle);
         EXPECT_EQ(pt(a, 1), pt(b, 1));
         EXPECT_EQ(pt(a, 2), pt(b, 2));
         // Upwards from the first side, as the rectangle was: 80 × 80.
         EXPECT_EQ(pt(a, 3), (point_t{180, 220}));
         EXPECT_EQ(pt(a, 4), (point_t{100, 220}));
         EXPECT_EQ(a->boxTop, b->boxTop - 30);
     }},
    {"EllipseBecomesCircleOfItsFirstSemiAxis",
     [](model::itemList_t& l) { return addEllipse(l, {300, 300}, {360, 300}, {300, 270}); },
     [](TSandbox& w) { canvas::setCircleOrEllipse(w, model::typeCircle); },
     [](const item_t*, const item_t* a) {
         EXPECT_EQ(a->itemType, model::typeCircle);
         EXPECT_EQ(pt(a, 1), (point_t{300, 300}));
         // Centre, rim, and the corners of the square on the radius.
         EXPECT_EQ(pt(a, 2), (point_t{360, 300}));
         EXPECT_EQ(dist(pt(a, 1), pt(a, 4)), 60);
         EXPECT_EQ(dist(pt(a, 2), pt(a, 3)), 60);
     }},
    {"StarOfTwentySpikesKeepsCentreTipAndInnerRadius",
     [](model::itemList_t& l) { return addStar(l, {300, 300}, {300, 240}, {310, 280}, 5); },
     [](TSandbox& w) { canvas::setSides(w, 20); },
     [](const item_t* b, const item_t* a) {
         EXPECT_EQ(a->sides, 20);
         EXPECT_EQ(geometry::pointCount(a->points), 2 + 2 * 20);
         EXPECT_EQ(pt(a, 1), pt(b, 1));
         EXPECT_EQ(pt(a, 2), pt(b, 2));
         EXPECT_EQ(dist(pt(a, 1), pt(a, 3)), dist(pt(b, 1), pt(b, 3)));
     }},
    {"LineTurnedToNinetyDegreesAboutItsMiddle",
     [](model::itemList_t& l) { return addLine(l, {150, 100}, {250, 100}); },
     [](TSandbox& w) {
         canvas::params().customDirections[6].value = 90.0;
         EXPECT_EQ(canvas::setDirection(w, 5, presetRows), 90.0);
     },
     [](const item_t*, const item_t* a) {
         EXPECT_EQ((point_t{a->x1, a->y1}), (point_t{200, 150}));
         EXPECT_EQ((point_t{a->x2, a->y2}), (point_t{200, 50}));
         EXPECT_EQ(a->direction, 90.0);
     }},
    {"NoDirectionKeepsTheLineWhereItIs",
     [](model::itemList_t& l) { return addLine(l, {150, 100}, {250, 130}); },
     [](TSandbox& w) { EXPECT_EQ(canvas::setDirection(w, 0, presetRows), -1.0); },
     [](const item_t* b, const item_t* a) {
         EXPECT_EQ((point_t{a->x1, a->y1}), (point_t{b->x1, b->y1}));
         EXPECT_EQ((point_t{a->x2, a->y2}), (point_t{b->x2, b->y2}));
         EXPECT_EQ(a->direction, -1.0);
     }},
    {"TextTurnedToAQuarterTurnAboutItsMiddle",
     [](model::itemList_t& l) { return addText(l, {100, 300}, {200, 300}); },
     [](TSandbox& w) { canvas::setTextDirection(w, 90); },
     [](const item_t* b, const item_t* a) {
         const int32_t length = dist({b->x1, b->y1}, {b->x2, b->y2});
         EXPECT_EQ(a->textAngle, 900);
         EXPECT_EQ(a->x1, a->x2);
         EXPECT_EQ(a->x1, (b->x1 + b->x2) / 2);
         EXPECT_EQ(a->y1 - a->y2, length);
     }},
    {"FifthCustomPatternThroughANewRecord",
     [](model::itemList_t& l) { return addLine(l, {150, 100}, {250, 100}); },
     [](TSandbox& w) {
         settings::custPatternRec_t& row = canvas::params().customPatterns[6];
         row.count = 2;
         row.segments = {4.0, 1.5};
         EXPECT_NE(canvas::setPattern(w, 10, presetRows), nullptr);
     },
     [](const item_t*, const item_t* a) {
         ASSERT_LT(a->patternIndex, 0);
         const item_t* rec = nullptr;
         for (const item_t* r = a; r; r = r->next)
             if (r->kind == model::kindPattern && r->itemType == a->patternIndex) rec = r;
         ASSERT_NE(rec, nullptr);
         EXPECT_EQ(rec->pat().segmentCount, 2);
         EXPECT_EQ(rec->pat().segments[1], 1.5);
     }},
    {"CurveClosedAndOpenAgain",
     [](model::itemList_t& l) {
         item_t* it = model::newItem(l, model::typeCurve);
         it->roundness = model::defaultRoundness;
         for (const point_t p : {point_t{100, 300}, point_t{200, 250}, point_t{300, 320}, point_t{380, 260}})
             geometry::appendPoint(it->points, p);
         geometry::curveControlPoints(it);
         return finishShape(l, it);
     },
     [](TSandbox& w) {
         const model::pointPayload_t openEnd = model::firstSelected(w.items())->points.tail->p;
         canvas::setShapeVariant(w, model::variantClosed);
         const item_t* closed = model::firstSelected(w.items());
         // Closing gives the last point a control point towards the first.
         EXPECT_EQ(closed->shapeVariant, model::variantClosed);
         EXPECT_NE((point_t{closed->points.tail->p.c1x, closed->points.tail->p.c1y}), (point_t{openEnd.c1x, openEnd.c1y}));
         canvas::setShapeVariant(w, model::variantOpen);
     },
     [](const item_t* b, const item_t* a) {
         EXPECT_EQ(a->shapeVariant, model::variantOpen);
         const model::pointNode_t* m = a->points.head;
         // Every segment of the open curve (the last point starts none).
         for (const model::pointNode_t* n = b->points.head; n != b->points.tail; n = n->next, m = m->next) {
             ASSERT_NE(m, nullptr);
             EXPECT_EQ(std::vector<int32_t>({m->p.c1x, m->p.c1y, m->p.c2x, m->p.c2y}),
                       std::vector<int32_t>({n->p.c1x, n->p.c1y, n->p.c2x, n->p.c2y}));
         }
     }},
};

class Conversion : public WindowTest, public ::testing::WithParamInterface<conversionCase_t> {};

TEST_P(Conversion, RebuildsTheGeometry)
{
    item_t* it = GetParam().build(items());
    select(items(), {it});
    GetParam().call(*w);
    const item_t* now = current(items(), it);
    ASSERT_NE(now, nullptr);
    ASSERT_NE(now, it);
    GetParam().check(it, now);
}

INSTANTIATE_TEST_SUITE_P(Cases, Conversion, ::testing::ValuesIn(conversionCases), testnames::byName());

// ---------------------------------------------------------------- repaint area

struct repaintCase_t {
    const char* name;
    std::function<void(TSandbox&)> call;
    bool changedItems;  // the area of the changed items is painted again
    bool wholeCanvas;
};
void PrintTo(const repaintCase_t& c, std::ostream* os) { *os << c.name; }

class RepaintArea : public WindowTest, public ::testing::WithParamInterface<repaintCase_t> {};

// A pixel beside a selected item and one far from it are painted over
// before the call: the first is painted again when the item changed, the
// second only by a setter that repaints the whole canvas.
TEST_P(RepaintArea, OnlyTheChangedItemsUnlessTheWholeCanvas)
{
    item_t* sq = addSquare(items(), {100, 200}, {160, 200});
    item_t* star = addStar(items(), {300, 200}, {300, 150}, {310, 190}, 5);
    item_t* text = addText(items(), {100, 400}, {180, 400});
    addSquare(items(), {600, 600}, {660, 600});
    select(items(), {sq, star, text});
    w->repaintAll(false);
    const QRgb mark = qRgb(255, 0, 255);
    const point_t near = screen({sq->boxLeft + 1, sq->boxTop + 1}), far = screen({500, 700});
    ASSERT_TRUE(w->canvasImage().rect().contains(far.x, far.y));
    w->canvasImage().setPixel(near.x, near.y, mark);
    w->canvasImage().setPixel(far.x, far.y, mark);
    GetParam().call(*w);
    EXPECT_EQ(w->canvasImage().pixel(near.x, near.y) != mark, GetParam().changedItems);
    EXPECT_EQ(w->canvasImage().pixel(far.x, far.y) != mark, GetParam().wholeCanvas);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RepaintArea,
    ::testing::Values(repaintCase_t{"LineColor", [](TSandbox& w) { canvas::setLineColor(w, 0xFF); }, true, false},
                      repaintCase_t{"LineWeight", [](TSandbox& w) { canvas::setLineWeight(w, 3.0); }, true, false},
                      repaintCase_t{"SquareToRectangle",
                                    [](TSandbox& w) { canvas::setSquareOrRectangle(w, model::typeRectangle); }, true,
                                    false},
                      repaintCase_t{"Surface", [](TSandbox& w) { canvas::setSurface(w, 2); }, true, false},
                      repaintCase_t{"FrameColorWithoutPictures", [](TSandbox& w) { canvas::setFrameColor(w, 0xFF); }, false,
                                    false},
                      repaintCase_t{"Sides", [](TSandbox& w) { canvas::setSides(w, 9); }, true, true},
                      repaintCase_t{"BoldOutsideEditing", [](TSandbox& w) { canvas::setFontWeight(w, 700); }, true, true}),
    testnames::byName());

} // namespace

namespace {

// ---------------------------------------------------------------- a text being edited

using TextBeingEdited = WindowTest;

// A larger size grows the box; a smaller one and the refit shrink it to the
// widest line, and nothing of the larger glyphs stays on the canvas.
TEST_F(TextBeingEdited, SmallerSizeShrinksTheBoxAndLeavesNoTrace)
{
    item_t* text = addText(items(), {100, 400}, {180, 400});
    select(items(), {text});
    w->repaintAll(false);
    w->textEditor().startEditing();
    ASSERT_TRUE(w->textEditor().typing());
    canvas::setFontSize(*w, 40);
    const item_t* big = current(items(), text);
    const int32_t bigLength = big->x2 - big->x1;
    const QRect bigArea = canvas::coveredArea(*w, {const_cast<item_t*>(big)}, false);
    canvas::setFontSize(*w, 10);
    canvas::refitSelectedText(*w);
    item_t* small = current(items(), text);
    EXPECT_EQ(small->fontSize, 10);
    EXPECT_LT(small->x2 - small->x1, bigLength / 2);
    EXPECT_TRUE(w->textEditor().typing());
    const QRect smallArea = canvas::coveredArea(*w, {small}, false).adjusted(-2, -2, 2, 2);
    // What the canvas shows outside the small text must be what a full
    // repaint gives there.
    EXPECT_EQ(tracesLeft(*w, bigArea, smallArea), 0);
}

} // namespace

namespace {

// The text panel's defaults reach the text being typed in place: no history
// step of their own, the caret still running.
TEST_F(TextBeingEdited, DefaultsReachTheTextBeingTypedWithoutAStep)
{
    item_t* text = addText(items(), {100, 400}, {180, 400});
    select(items(), {text});
    w->repaintAll(false);
    w->textEditor().startEditing();
    ASSERT_TRUE(w->textEditor().typing());
    settings::TParams& p = canvas::params();
    const int32_t size = p.tsize, weight = p.tbold;
    p.tsize = 28;
    p.tbold = 700;
    const int32_t count = model::countItems(items());
    canvas::applyTextDefaults(*w);
    p.tsize = size;
    p.tbold = weight;
    const item_t* now = current(items(), text);
    EXPECT_EQ(now->fontSize, 28);
    EXPECT_EQ(now->fontWeight, 700);
    EXPECT_EQ(model::countItems(items()), count);
    EXPECT_TRUE(w->textEditor().typing());
}

} // namespace

namespace {

// ---------------------------------------------------------------- the canvas after a setter

// The pixels where two canvases differ, and the box around them.
struct difference_t {
    int32_t pixels = 0;
    QRect box;
};

difference_t differenceOf(const QImage& a, const QImage& b)
{
    difference_t d;
    if (a.size() != b.size()) return {-1, {}};
    for (int32_t y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int32_t x = 0; x < a.width(); ++x)
            if (ra[x] != rb[x]) {
                ++d.pixels;
                d.box = d.box.united(QRect(x, y, 1, 1));
            }
    }
    return d;
}

void setWeight(item_t* it, double weight)
{
    it->lineWeight = weight;
    it->penWidthPx = geometry::penWidthAt(1.0, weight);
}

struct screenCase_t {
    const char* name;
    std::function<void(TSandbox&)> call;
    double zoom;
    // The weight of every line and shape before the call.
    double weight;
};
void PrintTo(const screenCase_t& c, std::ostream* os) { *os << c.name; }

class CanvasAfterSetter : public WindowTest, public ::testing::WithParamInterface<screenCase_t> {
protected:
    // A crowd of lines, squares, rectangles taller and flatter than wide,
    // filled circles and a few texts, overlapping one another, with one item
    // in three selected, so that changed items have unchanged ones above and
    // below them.
    void buildCrowd()
    {
        std::mt19937 rng(7);
        auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
        std::vector<item_t*> made;
        for (int32_t i = 0; i < 90; ++i) {
            const int32_t x = rnd(40, 420), y = rnd(40, 420), s = rnd(12, 70);
            item_t* it = nullptr;
            switch (i % 6) {
            case 0: it = addLine(items(), {x, y}, {x + rnd(-70, 70), y + rnd(-70, 70)}); break;
            case 1: it = addSquare(items(), {x, y}, {x + s, y}); break;
            case 2: it = addRectangle(items(), {x, y}, {x + s, y}, s / 2 + 5); break;
            case 3: it = addRectangle(items(), {x, y}, {x + s / 2 + 5, y}, s); break;
            case 4: it = addCircle(items(), {x, y}, s / 2); break;
            default: it = i % 4 == 1 ? addText(items(), {x, y}, {x + 60, y}) : addLine(items(), {x, y}, {x + s, y + s});
            }
            if (it->itemType != model::typeText) setWeight(it, GetParam().weight);
            if (it->itemType == model::typeCircle || i % 6 == 2) it->fillColor = 0x40C040 + i;
            it->lineColor = 0x101010 * (i % 8);
            made.push_back(it);
        }
        // Apart from the crowd, at its bottom right, a line and a rectangle
        // hanging down from its first side, both selected, with a thin line
        // inside the rectangle's box: their old strokes and boxes are the
        // farthest reach of the change, which no other item's repaint covers.
        item_t* line = addLine(items(), {660, 640}, {760, 700});
        item_t* rect = addRectangle(items(), {760, 600}, {700, 600}, 120);
        for (item_t* it : {line, rect}) setWeight(it, GetParam().weight);
        rect->fillColor = 0xA0A0F0;
        addLine(items(), {710, 620}, {750, 700});
        model::deselectAll(items());
        for (size_t i = 0; i < made.size(); i += 3) model::setSelected(items(), made[i], true);
        model::setSelected(items(), line, true);
        model::setSelected(items(), rect, true);
    }
};

// The canvas a setter leaves (once its deferred marks are back) is the one a
// full repaint with marks gives: nothing of an item's old look stays outside
// the area it paints again (the old wider stroke, the old rectangle's box),
// and nothing above a changed item is left drawn under it.
TEST_P(CanvasAfterSetter, EqualsAFullRepaint)
{
    buildCrowd();
    if (GetParam().zoom != 1.0) w->applyZoom(GetParam().zoom);
    w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    paintWithMarks();
    GetParam().call(*w);
    w->deferredTimerTimeout();
    const QImage shown = w->canvasImage().copy();
    paintWithMarks();
    const difference_t d = differenceOf(shown, w->canvasImage());
    EXPECT_EQ(d.pixels, 0) << "differing pixels within (" << d.box.left() << ", " << d.box.top() << ") - ("
                           << d.box.right() << ", " << d.box.bottom() << ")";
}

const screenCase_t screenCases[] = {
    {"LineColor", [](TSandbox& w) { canvas::setLineColor(w, 0x0000FF); }, 1.0, 0.5},
    {"LineColorZoomed", [](TSandbox& w) { canvas::setLineColor(w, 0x0000FF); }, 1.5, 0.5},
    {"LineWeightThinner", [](TSandbox& w) { canvas::setLineWeight(w, 0.25); }, 1.0, 6.0},
    {"LineWeightThinnerZoomed", [](TSandbox& w) { canvas::setLineWeight(w, 0.25); }, 1.5, 6.0},
    {"LineWeightThicker", [](TSandbox& w) { canvas::setLineWeight(w, 6.0); }, 1.0, 0.25},
    {"RectanglesToSquares", [](TSandbox& w) { canvas::setSquareOrRectangle(w, model::typeSquare); }, 1.0, 1.0},
    {"RectanglesToSquaresZoomed", [](TSandbox& w) { canvas::setSquareOrRectangle(w, model::typeSquare); }, 1.5, 1.0},
    {"SquaresAndBackToRectangles",
     [](TSandbox& w) {
         canvas::setSquareOrRectangle(w, model::typeSquare);
         canvas::setSquareOrRectangle(w, model::typeRectangle);
     },
     1.0, 1.0},
    {"FontWeight", [](TSandbox& w) { canvas::setFontWeight(w, 700); }, 1.0, 0.5},
};

INSTANTIATE_TEST_SUITE_P(Cases, CanvasAfterSetter, ::testing::ValuesIn(screenCases), testnames::byName());

} // namespace
