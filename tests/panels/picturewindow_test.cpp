// The picture window on its own: loading, zooming with reloads, drawing,
// selecting and erasing clips with the mouse and keys, the toolbar's states
// and the "Clips" tab.
#include "panels/picturewindow.h"

#include "model/history.h"
#include "model/history_index.h"
#include "panels/frameeffects.h"
#include "panels/panelparts.h"
#include "samples/samplepictures.h"
#include "ui/guidancepanel.h"
#include "ui/panelcodes.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QCheckBox>
#include <QTest>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class PictWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    settings::TParams params;
    std::unique_ptr<panels::TPict> pict;

    QString write(const char* name, const std::vector<uint8_t>& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path;
    }
    void open(const QString& path, int32_t code = ui::hostedPictureFile)
    {
        pict = std::make_unique<panels::TPict>(params, code);
        pict->resize(pict->preferredClientSize());
        ASSERT_TRUE(pict->openFile(path));
    }
    void openGif(int32_t w = 200, int32_t h = 100)
    {
        open(write("p.gif", samples::encodeGif(samples::samplePattern(w, h))));
    }
    void click(QPoint p)
    {
        pict->view->press(p);
        pict->view->release(p);
    }
    std::vector<model::item_t*> clips() { return model::visibleClips(pict->clips()); }
    bool visible(panels::TPict::button_t b) const { return !pict->buttons[b]->isHidden(); }
};

TEST_F(PictWindow, ABigJpegOpensAtAnEighthAndZoomingInReloadsAtAQuarter)
{
    open(write("big.jpg", samples::encodeJpeg(samples::samplePattern(4000, 3000))));
    EXPECT_EQ(pict->source().denominator, 8);
    EXPECT_EQ(pict->zoomLabel->text(), QStringLiteral("12%"));
    EXPECT_EQ(pict->displayed().size(), QSize(500, 375));
    pict->zoomIn();
    EXPECT_DOUBLE_EQ(pict->zoom(), 0.25);
    EXPECT_EQ(pict->source().denominator, 4);
    EXPECT_EQ(pict->zoomLabel->text(), QStringLiteral("25%"));
    EXPECT_EQ(pict->zoomSlider->value(), 25);
    // Zooming out keeps the finer decode.
    pict->zoomOut();
    EXPECT_EQ(pict->source().denominator, 4);
    EXPECT_EQ(pict->displayed().size(), QSize(500, 375));
}

TEST_F(PictWindow, TheSliderShowsWhileMovedAndAppliesOnRelease)
{
    openGif();
    pict->zoomSlider->setSliderDown(true);
    pict->zoomSlider->setValue(150);
    EXPECT_EQ(pict->zoomLabel->text(), QStringLiteral("150%"));
    EXPECT_DOUBLE_EQ(pict->zoom(), 1.0);
    pict->zoomSlider->setSliderDown(false);
    EXPECT_DOUBLE_EQ(pict->zoom(), 1.5);
    EXPECT_EQ(pict->displayed().size(), QSize(300, 150));
}

TEST_F(PictWindow, ClickClickAndPressHoldReleaseDrawClipsEachAStep)
{
    openGif();
    pict->setTool(panels::pictTool_t::rectangle);
    EXPECT_TRUE(pict->buttons[panels::TPict::btnRect]->isChecked());
    EXPECT_FALSE(visible(panels::TPict::btnErase));
    click({10, 10});
    EXPECT_TRUE(pict->view->drawing());
    pict->view->move({60, 40}, false);
    click({60, 40});
    ASSERT_EQ(clips().size(), 1u);
    EXPECT_EQ((std::array<int32_t, 4>{clips()[0]->x1, clips()[0]->y1, clips()[0]->x2, clips()[0]->y2}),
              (std::array<int32_t, 4>{10, 10, 60, 40}));

    pict->setTool(panels::pictTool_t::round);
    pict->view->press({100, 50});
    pict->view->holdElapsed();
    pict->view->move({120, 50}, true);
    pict->view->release({120, 50});
    ASSERT_EQ(clips().size(), 2u);
    EXPECT_EQ(model::clipRadius(clips()[1]), 20);
    EXPECT_TRUE(pict->buttons[panels::TPict::btnUndo]->isEnabled());
    EXPECT_FALSE(pict->insertList->isVisibleTo(pict.get()));
    EXPECT_EQ(pict->summaryRect->text(), QStringLiteral("1   Rectangular clip(s)"));
    EXPECT_EQ(pict->summaryRound->text(), QStringLiteral("1   Round clip(s)"));
    pict->undoClip();
    EXPECT_EQ(clips().size(), 1u);
    EXPECT_TRUE(pict->buttons[panels::TPict::btnRedo]->isEnabled());
}

TEST_F(PictWindow, EscapeDropsTheRubberBandAndReturnsToThePointer)
{
    openGif();
    pict->setTool(panels::pictTool_t::rectangle);
    click({10, 10});
    EXPECT_TRUE(pict->keyPressed(Qt::Key_Escape));
    EXPECT_FALSE(pict->view->drawing());
    EXPECT_EQ(pict->tool(), panels::pictTool_t::pointer);
    EXPECT_TRUE(clips().empty());
}

TEST_F(PictWindow, PointerSelectsDragsAHandleAndDeleteErases)
{
    openGif();
    pict->setTool(panels::pictTool_t::rectangle);
    click({20, 20});
    click({80, 60});
    pict->setTool(panels::pictTool_t::pointer);
    click({150, 90});  // nothing near
    EXPECT_FALSE(visible(panels::TPict::btnErase));
    click({50, 21});   // the top side
    EXPECT_TRUE(visible(panels::TPict::btnErase));
    // The bottom-right handle dragged past the left side turns the clip over.
    pict->view->press({80, 60});
    EXPECT_TRUE(pict->view->draggingHandle());
    pict->view->move({10, 70}, true);
    pict->view->release({10, 70});
    ASSERT_EQ(clips().size(), 1u);
    EXPECT_EQ((std::array<int32_t, 4>{clips()[0]->x1, clips()[0]->y1, clips()[0]->x2, clips()[0]->y2}),
              (std::array<int32_t, 4>{10, 20, 20, 70}));
    bool blocked = true;
    pict->keysBlocked = [&] { return blocked; };
    EXPECT_FALSE(pict->keyPressed(Qt::Key_Delete));
    EXPECT_EQ(clips().size(), 1u);
    blocked = false;
    EXPECT_TRUE(pict->keyPressed(Qt::Key_Delete));
    EXPECT_TRUE(clips().empty());
    EXPECT_TRUE(pict->insertList->isVisibleTo(pict.get()));
    pict->undoClip();
    EXPECT_EQ(clips().size(), 1u);
}

TEST_F(PictWindow, TransformsTurnThePictureAndItsClips)
{
    openGif(200, 100);
    pict->setTool(panels::pictTool_t::rectangle);
    click({0, 0});
    click({50, 20});
    pict->rotateLeft();
    EXPECT_EQ(pict->viewState().orientation, 90);
    EXPECT_EQ(pict->displayed().size(), QSize(100, 200));
    EXPECT_EQ((std::array<int32_t, 4>{clips()[0]->x1, clips()[0]->y1, clips()[0]->x2, clips()[0]->y2}),
              (std::array<int32_t, 4>{0, 150, 20, 200}));
    pict->mirror();
    EXPECT_EQ(pict->viewState().flipY, -1);
    EXPECT_EQ(pict->viewState().flipX, 1);
}

TEST_F(PictWindow, TheInsertListChoosesTheToolAndItsHints)
{
    openGif();
    int links = 0;
    pict->onInsertLink = [&] { ++links; };
    EXPECT_TRUE(pict->hints[2]->linkActive());
    pict->hints[2]->onPress();
    EXPECT_EQ(links, 1);
    pict->hints[3]->onPress();  // the "clips" link
    EXPECT_EQ(pict->tool(), panels::pictTool_t::rectangle);
    EXPECT_EQ(pict->insertList->currentIndex(), 1);
    EXPECT_FALSE(pict->hints[2]->isLink());
    pict->setTool(panels::pictTool_t::round);
    EXPECT_EQ(pict->hints[1]->text(), QStringLiteral("Click at the center of a round clip, move the mouse, and click again."));
}

TEST_F(PictWindow, TheTabShownIsKept)
{
    params.pictWindowTab = 7;
    openGif();
    EXPECT_EQ(pict->tabs->current(), 1);
    pict->tabs->onChange(2);
    EXPECT_EQ(params.pictWindowTab, 2);
}

TEST_F(PictWindow, TheEffectsListsSetTheFrameAndShadowOfInsertedPictures)
{
    params.clframe = 0;
    params.frwidth = 0.0;
    openGif();
    EXPECT_EQ(pict->effects->frameList()->index(), 0);  // "None"
    EXPECT_FALSE(pict->effects->colourList()->isEnabled());
    pict->effects->frameList()->setCurrentIndex(2);
    emit pict->effects->frameList()->activated(2);
    EXPECT_EQ(params.clframe, 1);
    EXPECT_GT(params.frwidth, 0.0);
    EXPECT_TRUE(pict->effects->colourList()->isEnabled());
    const canvas::pictureInsert_t framed = pict->insertRequest();
    EXPECT_TRUE(framed.effects.frameOn);
    EXPECT_DOUBLE_EQ(framed.effects.frameWidth, params.frwidth);
    pict->effects->frameList()->setCurrentIndex(0);
    emit pict->effects->frameList()->activated(0);
    EXPECT_EQ(params.clframe, 0);
    EXPECT_DOUBLE_EQ(params.frwidth, 0.0);
    EXPECT_FALSE(pict->insertRequest().effects.frameOn);
    EXPECT_EQ(pict->effectHints[0]->keyword(), QStringLiteral("after"));
}

TEST_F(PictWindow, AnUndecodableFileLeavesTheWindowEmpty)
{
    pict = std::make_unique<panels::TPict>(params, ui::hostedPictureFile);
    const QString bad = write("bad.jpg", {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3});
    EXPECT_FALSE(pict->openFile(bad));
    EXPECT_TRUE(pict->loadError().startsWith(QStringLiteral("This is not a valid file: \"") + bad));
    EXPECT_TRUE(pict->displayed().isNull());
    // The empty window's slider and label agree.
    EXPECT_EQ(pict->zoomSlider->value(), 100);
    EXPECT_EQ(pict->zoomLabel->text(), QStringLiteral("100%"));
    int inserted = 0;
    pict->onInsert = [&](const canvas::pictureInsert_t&) { return ++inserted > 0; };
    EXPECT_TRUE(pict->applyHosted());
    EXPECT_EQ(inserted, 0);
}

} // namespace

namespace {

// After each clip the clip guidance page stands in for the side panel while
// its flag is set; the zoom buttons leave it, the other buttons bring the
// panel back, and so do its link (with the last clip selected for the
// pointer) and its check box (which clears the flag), a moment later.
TEST_F(PictWindow, TheClipPageFollowsAClipUntilAButtonOrItsLinkBringsThePanelBack)
{
    openGif();
    pict->show();
    ui::TLinehelp* help = pict->clipHelp();
    ASSERT_NE(help, nullptr);
    const auto drawClip = [&](QPoint a, QPoint b) {
        pict->setTool(panels::pictTool_t::rectangle);
        click(a);
        pict->view->move(b, false);
        click(b);
    };
    EXPECT_FALSE(help->isVisible());
    drawClip({10, 10}, {60, 40});
    ASSERT_TRUE(help->isVisible());
    EXPECT_EQ(help->page(), ui::guidanceClipFinished);
    EXPECT_FALSE(pict->tabs->isVisible());
    pict->buttons[panels::TPict::btnZoomIn]->click();
    EXPECT_TRUE(help->isVisible());
    pict->buttons[panels::TPict::btnRefresh]->click();
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(pict->tabs->isVisible());

    // "here": the pointer and the newest clip selected.
    drawClip({20, 50}, {70, 90});
    drawClip({80, 10}, {120, 40});
    ASSERT_EQ(clips().size(), 3u);
    ASSERT_TRUE(help->isVisible());
    QTest::mouseClick(help->box(3), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(help->isVisible());
    QTest::qWait(300);
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(pict->tool(), panels::pictTool_t::pointer);
    EXPECT_TRUE(model::isSelected(clips()[2]));
    EXPECT_FALSE(model::isSelected(clips()[0]));

    // The check box: the flag goes, the panel comes back, no page after the next clip.
    drawClip({130, 10}, {160, 40});
    ASSERT_TRUE(help->isVisible());
    help->dontShowBox()->click();
    EXPECT_FALSE(ui::guidanceWanted(params, ui::guidanceClipFinished));
    QTest::qWait(300);
    EXPECT_FALSE(help->isVisible());
    drawClip({130, 50}, {160, 90});
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(pict->tabs->isVisible());
}

} // namespace
