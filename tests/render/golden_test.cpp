// Whole-canvas renders compared with stored pictures. Aliased raster drawing
// is deterministic, so any changed pixel is a changed rendering; set
// LUMORA_UPDATE_GOLDEN=1 to rewrite the pictures after a deliberate change
// (and look at them before committing).
#include "docbuilder.h"
#include "render/renderpass.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include <cstdlib>

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

QImage renderShowcase(double zoom, geometry::point_t origin, bool quick)
{
    model::itemList_t doc;
    testdoc::buildShowcase(doc);
    model::item_t* h = model::findHeader(doc);
    h->hdr().zoom = zoom;
    geometry::computeCanvasPixels(h);
    renderView_t view;
    view.items = &doc;
    const QSize size = canvasImageSize(h);
    view.Image1 = newCanvasImage(size.width(), size.height());
    view.viewOrigin = origin;
    view.quickDraw = quick;
    repaintAll(view, false);
    if (!quick) fullQualityPass(view);
    QImage out = view.Image1;
    model::freeList(doc);
    return out;
}

TEST(Golden, ShowcaseAtHundredPercent)
{
    compareWithGolden(renderShowcase(1.0, {0, 0}, false), "showcase-100.png");
}

TEST(Golden, ShowcaseAtTwoHundredPercentScrolled)
{
    compareWithGolden(renderShowcase(2.0, {300, 200}, false), "showcase-200.png");
}

} // namespace
