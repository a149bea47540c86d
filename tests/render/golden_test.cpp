// Whole-canvas renders compared with stored pictures. Aliased raster drawing
// is deterministic, so any changed pixel is a changed rendering; set
// LUMORA_UPDATE_GOLDEN=1 to rewrite the pictures after a deliberate change
// (and look at them before committing).
#include "cli_runner.h"
#include "docbuilder.h"
#include "render/renderpass.h"
#include "render/text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <ostream>
#include <string>

using namespace render;

namespace {

QString goldenPath(const char* name) { return QString(LUMORA_SOURCE_DIR) + "/tests/render/golden/" + name; }

void compareWithGolden(const QImage& img, const char* name)
{
    const QString path = goldenPath(name);
    if (std::getenv("LUMORA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(img.save(path, "PNG"));
        return;
    }
    QImage want(path);
    ASSERT_FALSE(want.isNull()) << "missing golden picture " << path.toStdString();
    want = want.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(want.size(), img.size());
    int32_t differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != (want.pixel(x, y) & 0xFFFFFF)) {
                if (!differing++) { firstX = x; firstY = y; }
            }
    if (differing) img.save(QDir::tempPath() + "/actual-" + name, "PNG");
    EXPECT_EQ(differing, 0) << "first at " << firstX << "," << firstY << "; actual written to "
                            << (QDir::tempPath() + "/actual-" + name).toStdString();
}

// A view of the whole canvas of `doc` at the zoom, not painted yet.
renderView_t canvasView(model::itemList_t& doc, double zoom)
{
    model::item_t* h = model::findHeader(doc);
    h->hdr().zoom = zoom;
    geometry::computeCanvasPixels(h);
    renderView_t view;
    view.items = &doc;
    const QSize size = canvasImageSize(h);
    view.Image1 = newCanvasImage(size.width(), size.height());
    return view;
}

QImage renderShowcase(double zoom, geometry::point_t origin, bool quick)
{
    model::itemList_t doc;
    testdoc::buildShowcase(doc);
    renderView_t view = canvasView(doc, zoom);
    view.viewOrigin = origin;
    view.quickDraw = quick;
    repaintAll(view, false);
    if (!quick) fullQualityPass(view);
    QImage out = view.Image1;
    model::freeList(doc);
    return out;
}

// As the editor paints after opening: a quick pass, then every item again
// with its shadow and surface. The document is freed.
QImage paintedAsAfterOpening(model::itemList_t& doc, double zoom)
{
    renderView_t view = canvasView(doc, zoom);
    view.quickDraw = true;
    repaintAll(view, false);
    view.quickDraw = false;
    fullQualityPass(view);
    QImage out = view.Image1;
    model::freeList(doc);
    return out;
}

QImage renderEffects(int32_t lightDirection, double zoom)
{
    model::itemList_t doc;
    testdoc::buildEffectsShowcase(doc, lightDirection);
    return paintedAsAfterOpening(doc, zoom);
}

struct effectsGolden_t {
    int32_t light;
    double zoom;
    const char* file;
};
void PrintTo(const effectsGolden_t& g, std::ostream* os) { *os << g.file; }

std::string effectsName(const effectsGolden_t& g)
{
    static const char* names[] = {"UpperLeft", "UpperRight", "LowerLeft", "LowerRight"};
    return std::string(names[g.light]) + (g.zoom == 1.0 ? "" : "At200Percent");
}

class EffectsGolden : public ::testing::TestWithParam<effectsGolden_t> {};

TEST_P(EffectsGolden, EveryShadedTypeWithItsShadow)
{
    compareWithGolden(renderEffects(GetParam().light, GetParam().zoom), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(LightDirections, EffectsGolden,
                         ::testing::Values(effectsGolden_t{0, 1.0, "effects-upper-left.png"},
                                           effectsGolden_t{1, 1.0, "effects-upper-right.png"},
                                           effectsGolden_t{2, 1.0, "effects-lower-left.png"},
                                           effectsGolden_t{3, 1.0, "effects-lower-right.png"},
                                           effectsGolden_t{0, 2.0, "effects-upper-left-200.png"}),
                         [](const auto& info) { return effectsName(info.param); });

// The text showcase laid out and painted as after opening.
QImage renderTexts(double zoom)
{
    model::itemList_t doc;
    testdoc::buildTextShowcase(doc);
    render::layOutTexts(doc);
    return paintedAsAfterOpening(doc, zoom);
}

TEST(Golden, TurnedMultiLineTextsAtHundredPercent)
{
    compareWithGolden(renderTexts(1.0), "texts-100.png");
}

TEST(Golden, TurnedMultiLineTextsAtTwoHundredPercent)
{
    compareWithGolden(renderTexts(2.0), "texts-200.png");
}

TEST(Golden, ShowcaseAtHundredPercent)
{
    compareWithGolden(renderShowcase(1.0, {0, 0}, false), "showcase-100.png");
}

TEST(Golden, ShowcaseAtTwoHundredPercentScrolled)
{
    compareWithGolden(renderShowcase(2.0, {300, 200}, false), "showcase-200.png");
}

// The picture example (every stored format whole, clipped, round, framed,
// turned, mirrored and colour-adjusted) as the command-line tool paints it.
TEST(Golden, PictureExampleThroughTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString doc = dir.filePath("pictures.lmra"), png = dir.filePath("pictures.png");
    ASSERT_EQ(testcli::runCli({"example", "--pictures", doc}).code, 0);
    ASSERT_EQ(testcli::runCli({"render", doc, png}).code, 0);
    compareWithGolden(QImage(png).convertToFormat(QImage::Format_RGB32), "pictures-100.png");
    // Hidden pictures leave only their dotted outlines.
    ASSERT_EQ(testcli::runCli({"render", doc, png, "--no-pictures"}).code, 0);
    const QImage hidden(png);
    EXPECT_EQ(hidden.pixel(100, 90) & 0xFFFFFF, 0xFFFFFFu) << "inside the first picture";
}

} // namespace
