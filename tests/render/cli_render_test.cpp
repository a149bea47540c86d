// lumora-cli render: the picture it writes and how it fails.
#include "cli_runner.h"
#include "docbuilder.h"
#include "model/docfile.h"
#include "render/renderpass.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace render;

namespace {

using result = testcli::cliResult_t;
using testcli::runCli;

class RenderCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString doc;
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc = dir.filePath("showcase.lmra");
        model::itemList_t list;
        testdoc::buildShowcase(list);
        std::string error;
        ASSERT_TRUE(model::writeDocument(doc.toStdString(), list, &error)) << error;
        model::freeList(list);
    }
};

TEST_F(RenderCli, PaintsTheSameAsTheRenderPass)
{
    const QString png = dir.filePath("out.png");
    const result r = runCli({"render", doc, png});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QImage img(png);
    ASSERT_FALSE(img.isNull());
    img = img.convertToFormat(QImage::Format_RGB32);

    model::itemList_t list;
    testdoc::buildShowcase(list);
    renderView_t view;
    view.items = &list;
    const QSize size = canvasImageSize(model::findHeader(list));
    view.Image1 = newCanvasImage(size.width(), size.height());
    repaintAll(view, false);
    fullQualityPass(view);
    model::freeList(list);
    ASSERT_EQ(img.size(), view.Image1.size());
    EXPECT_TRUE(img == view.Image1);
}

TEST_F(RenderCli, ZoomAndOriginPickTheImage)
{
    const QString png = dir.filePath("zoomed.png");
    result r = runCli({"render", doc, png, "--zoom", "3", "--origin", "100,50"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QImage img(png);
    // 760 × 600 at 300 % is larger than the canvas limit on both sides.
    EXPECT_EQ(img.size(), QSize(1600, 1600));
    r = runCli({"render", doc, png, "--zoom", "50%"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(380, 300));
}

TEST_F(RenderCli, BadArgumentsAreUsageErrors)
{
    const QString png = dir.filePath("x.png");
    for (const QStringList& args :
         {QStringList{"render", doc}, QStringList{"render", doc, png, "--zoom"}, QStringList{"render", doc, png, "--zoom", "0"},
          QStringList{"render", doc, png, "--zoom", "abc"}, QStringList{"render", doc, png, "--origin", "5"},
          QStringList{"render", doc, png, "--origin", "-1,4"}, QStringList{"render", doc, png, "--sparkle"}}) {
        const result r = runCli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(png));
}

TEST_F(RenderCli, MissingInputAndUnwritableOutput)
{
    result r = runCli({"render", dir.filePath("none.lmra"), dir.filePath("x.png")});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
    r = runCli({"render", doc, dir.filePath("no/such/folder/x.png")});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(r.err.isEmpty());
}

TEST_F(RenderCli, NotADocumentIsRefused)
{
    const QString junk = dir.filePath("junk.lmra");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(448 * 2, 'x'));
    f.close();
    const result r = runCli({"render", junk, dir.filePath("x.png")});
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
}

TEST_F(RenderCli, QuickPassShowsPictureFrames)
{
    // A document with one picture item: the quick pass leaves its silver frame.
    model::itemList_t list;
    testdoc::addHeader(list, 200, 200);
    model::item_t* pic = model::newItem(list, model::typePicture);
    pic->x1 = pic->boxLeft = 20;
    pic->y1 = pic->boxTop = 20;
    pic->x2 = pic->boxRight = 120;
    pic->y2 = pic->boxBottom = 100;
    testdoc::stack(list, pic);
    const QString file = dir.filePath("pic.lmra");
    ASSERT_TRUE(model::writeDocument(file.toStdString(), list));
    model::freeList(list);
    const QString png = dir.filePath("pic.png");
    ASSERT_EQ(runCli({"render", file, png, "--quick"}).code, 0);
    EXPECT_EQ(QImage(png).pixel(60, 21) & 0xFFFFFF, 0xC0C0C0u);
}

TEST_F(RenderCli, ShadowsAndSurfacesAndTheirSwitches)
{
    model::itemList_t list;
    testdoc::buildEffectsShowcase(list, 2);  // light from the lower left: shadows up and right
    const QString file = dir.filePath("effects.lmra");
    ASSERT_TRUE(model::writeDocument(file.toStdString(), list));
    model::freeList(list);
    struct run_t {
        QStringList flags;
        bool shadows, surfaces;
    };
    const QColor fill(0xE0, 0x70, 0x30);  // the first row's fill colour
    for (const run_t& run : {run_t{{}, true, true}, run_t{{"--no-shadows"}, false, true}, run_t{{"--no-3d"}, true, false},
                             run_t{{"--no-shadows", "--no-3d"}, false, false}}) {
        const QString png = dir.filePath("effects.png");
        const result r = runCli(QStringList{"render", file, png} + run.flags);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QImage img = QImage(png).convertToFormat(QImage::Format_RGB32);
        const std::string what = run.flags.join(' ').toStdString();
        // Beside the first square, under its shadow.
        const QColor beside = img.pixelColor(165, 30);
        EXPECT_EQ(beside.red() < 240, run.shadows) << what;
        EXPECT_EQ(beside == QColor(Qt::white), !run.shadows) << what;
        // The middle of the first circle: its fill colour only when flat.
        EXPECT_EQ(img.pixelColor(310, 52) == fill, !run.surfaces) << what;
        if (run.flags.isEmpty()) {
            QImage golden(QString(LUMORA_SOURCE_DIR) + "/tests/render/golden/effects-lower-left.png");
            EXPECT_TRUE(golden.convertToFormat(QImage::Format_RGB32) == img) << "the golden picture of the same page";
        }
    }
}

} // namespace
