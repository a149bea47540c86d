// Handle marks lie on the outline that is drawn: for every item the tools
// build, and for every item of the example document (lumora-cli example).
#include "canvas/creation.h"
#include "canvas/handles.h"
#include "geometry/shapes.h"
#include "model/docfile.h"
#include "model/itemlist.h"
#include "render/renderpass.h"
#include "settings/params.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using geometry::point_t;

namespace {

// How far a mark may be from a drawn pixel.
constexpr int32_t tolerance = 3;

struct noQuestions_t : model::docReadQuestions_t {
    bool askOpenInvalid() override { return false; }
    void warnNewerVersion(const std::string&) override {}
};

// Reads the example document as the command-line tool writes it now.
bool readExample(model::itemList_t& list)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("example.lmra"));
    QProcess p;
    p.start(QStringLiteral(LUMORA_CLI), {QStringLiteral("example"), file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return false;
    noQuestions_t q;
    return model::readDocument(file.toStdString(), list, q);
}

// The marks of `only` that have no drawn pixel within the tolerance, when
// `only` is drawn alone on a page without gridlines, fill, shadow or 3-D
// surface (so that nothing but its outline is on the page).
std::vector<std::string> marksOffTheOutline(model::itemList_t& list, model::item_t* only)
{
    for (model::item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem) it->hidden = it == only ? 0 : 1;
    if (only->fillColor != -2) only->fillColor = -1;
    if (only->itemType == model::typeLine) only->patternIndex = 0;  // no gaps at the ends
    auto& hd = model::findHeader(list)->hdr();
    hd.showGridX = hd.showGridY = 0;

    render::renderView_t view;
    view.items = &list;
    const QSize size = render::canvasImageSize(model::findHeader(list));
    view.Image1 = render::newCanvasImage(size.width(), size.height());
    view.showShadows = false;
    view.show3D = false;
    view.quickDraw = true;
    render::repaintAll(view, false);
    view.quickDraw = false;
    render::fullQualityPass(view);
    const QImage& img = view.Image1;
    const QRgb page = img.pixel(1, 1);

    canvas::handleView_t how;
    how.zoom = 1.0;
    how.origin = view.viewOrigin;
    std::vector<std::string> misses;
    for (const render::markSpot_t& m : canvas::handleSpots(only, how)) {
        if (m.kind != render::markSpot_t::handle || m.code == canvas::handleMove) continue;
        // An arc's centre handle sits at the centre of its circle, away from the arc.
        if (only->itemType == model::typeArc && m.code == 1) continue;
        bool near = false;
        for (int dy = -tolerance; dy <= tolerance && !near; ++dy)
            for (int dx = -tolerance; dx <= tolerance && !near; ++dx) {
                const int x = m.at.x + dx, y = m.at.y + dy;
                near = x >= 0 && y >= 0 && x < img.width() && y < img.height() && img.pixel(x, y) != page;
            }
        if (!near) {
            std::ostringstream s;
            s << "mark " << m.code << " at " << m.at.x << "," << m.at.y;
            misses.push_back(s.str());
        }
    }
    return misses;
}

std::string joined(const std::vector<std::string>& v)
{
    std::string out;
    for (const std::string& s : v) out += s + "; ";
    return out;
}

// ---- every kind of item a tool builds ----

struct toolShape_t {
    const char* name;
    int32_t itemType;
    int32_t variant;              // solids are splines and oblongs curves of variant 2
    std::vector<point_t> clicks;  // canvas points in the order the user clicks them
};
void PrintTo(const toolShape_t& t, std::ostream* os) { *os << t.name; }

class ToolMarks : public ::testing::TestWithParam<toolShape_t> {};

TEST_P(ToolMarks, LieOnTheDrawnOutline)
{
    model::itemList_t list;
    ASSERT_TRUE(readExample(list));  // its page, with the tool's item added
    settings::TParams params(nullptr);
    params.polysides = 5;
    params.shpoly = {};
    const canvas::creationContext_t ctx{list, params, 1.0, {0, 0}};
    const toolShape_t& t = GetParam();
    const std::vector<point_t>& c = t.clicks;
    model::item_t* it = nullptr;
    switch (t.itemType) {
    case model::typeLine: it = canvas::createLine(ctx, c[0], c[1]); break;
    case model::typeEllipse: it = canvas::createEllipse(ctx, c[0], c[1], c[2]); break;
    case model::typeCircle:
    case model::typePolygon: it = canvas::createCentred(ctx, t.itemType, c[0], c[1], c[1]); break;
    case model::typeStar:
    case model::typePie:
    case model::typeArc: it = canvas::createCentred(ctx, t.itemType, c[0], c[1], c[2]); break;
    default: it = canvas::createFromRubber(ctx, t.itemType, t.variant, c); break;
    }
    ASSERT_NE(it, nullptr);
    const std::vector<std::string> misses = marksOffTheOutline(list, it);
    EXPECT_TRUE(misses.empty()) << joined(misses);
    model::freeList(list);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, ToolMarks,
    ::testing::Values(toolShape_t{"Line", model::typeLine, -1, {{100, 120}, {420, 300}}},
                      toolShape_t{"Triangle", model::typeTriangle, -1, {{200, 100}, {400, 380}, {90, 330}}},
                      toolShape_t{"Square", model::typeSquare, -1, {{150, 330}, {320, 280}}},
                      toolShape_t{"Rectangle", model::typeRectangle, -1, {{120, 140}, {460, 140}, {460, 300}}},
                      toolShape_t{"Circle", model::typeCircle, -1, {{300, 300}, {420, 350}}},
                      toolShape_t{"Ellipse", model::typeEllipse, -1, {{300, 300}, {470, 380}, {260, 360}}},
                      toolShape_t{"Polygon", model::typePolygon, -1, {{300, 300}, {300, 160}}},
                      toolShape_t{"Star", model::typeStar, -1, {{300, 300}, {350, 280}, {300, 150}}},
                      toolShape_t{"Pie", model::typePie, -1, {{300, 300}, {300, 160}, {450, 300}}},
                      toolShape_t{"Arc", model::typeArc, -1, {{300, 300}, {220, 170}, {450, 260}}},
                      toolShape_t{"OpenSpline", model::typeSpline, 0, {{100, 400}, {220, 250}, {360, 420}, {500, 260}}},
                      toolShape_t{"Solid", model::typeSpline, 2, {{100, 400}, {220, 250}, {360, 420}, {500, 260}}},
                      toolShape_t{"OpenCurve", model::typeCurve, 0, {{100, 400}, {220, 250}, {360, 420}, {500, 260}}},
                      toolShape_t{"Oblong", model::typeCurve, 2, {{120, 300}, {420, 300}, {420, 380}, {120, 380}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the example document ----

TEST(ExampleMarks, EveryItemsMarksLieOnItsOutline)
{
    model::itemList_t list;
    ASSERT_TRUE(readExample(list));
    std::vector<model::item_t*> items;
    // Every record that shows marks (not the grid record). The render pass
    // draws no text yet: a text has no outline to hold its marks.
    for (model::item_t* it = list.head; it; it = it->next)
        if (!canvas::handleSpots(it, canvas::handleView_t{}).empty() && it->itemType != model::typeText)
            items.push_back(it);
    std::vector<int32_t> checked;
    for (model::item_t* it : items) {
        const std::vector<std::string> misses = marksOffTheOutline(list, it);
        EXPECT_TRUE(misses.empty()) << "item type " << it->itemType << ": " << joined(misses);
        checked.push_back(it->itemType);
    }
    // The line, rectangle, triangle, star, ellipse and the framed picture.
    EXPECT_EQ(checked, (std::vector<int32_t>{model::typeLine, model::typeRectangle, model::typeTriangle,
                                             model::typeStar, model::typeEllipse, model::typePicture}));
    model::freeList(list);
}

} // namespace
