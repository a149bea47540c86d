// One document window on its own, with a recording host.
#include "host_stub.h"

#include "ui/dialogs.h"
#include "ui/panelcodes.h"
#include "canvas/sandbox.h"
#include "canvas/picking.h"
#include "canvas/shellparams.h"
#include "model/itemlist.h"
#include "settings/pageset.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace canvas;

namespace {

class Sandbox : public ::testing::Test {
protected:
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<TSandbox> w;
    void SetUp() override
    {
        params().currentZoom = 1.0;
        params().lastMode = 0;
        w = std::make_unique<TSandbox>(&host);
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(4711, QString()));
    }
};

} // namespace

TEST_F(Sandbox, NewDocumentTakesTheNewFileSettings)
{
    const model::item_t* h = w->header();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->kind, model::kindHeader);
    EXPECT_EQ(h->docNumber, 4711);
    EXPECT_EQ(w->documentNumber(), 4711);
    const settings::defaults_t& d = params().newFile;
    EXPECT_EQ(h->hdr().unit, d.units);
    EXPECT_DOUBLE_EQ(h->hdr().canvasWidth, d.record(d.units).canvasWidth);
    EXPECT_EQ(h->hdr().showGridX, d.showGridX);
    EXPECT_DOUBLE_EQ(h->hdr().zoom, 1.0);
    // The page in pixels at 100 %.
    double px = 0, py = 0;
    geometry::pxPerUnit(h->hdr().unit, px, py);
    EXPECT_EQ(h->x2 - h->x1, model::roundHalfEven(d.record(d.units).canvasWidth * px));
    // The grid record follows the header; nothing is modified.
    ASSERT_NE(h->next, nullptr);
    EXPECT_EQ(h->next->itemType, model::typeGrid);
    EXPECT_GT(model::countNodes(h->next->anchorsX), 0);
    EXPECT_FALSE(w->isModified());
    EXPECT_TRUE(model::isPristine(w->items()));
    // The page setup's texts travel in the header, as typed.
    page::miry_t m;
    page::readPageTexts(model::getText(h), m);
    const page::miry_t& set = params().pageSets[page::designTypeOf(params().pspage) - 1].measuresOf(h->hdr().unit);
    for (int i = 1; i <= page::miry_t::fieldCount; ++i) EXPECT_EQ(m.field(i), set.field(i)) << i;
    EXPECT_FALSE(set.paperWidth.isEmpty());
    EXPECT_TRUE(w->isReady());
    EXPECT_TRUE(w->caption().startsWith(QStringLiteral("Untitled ")));
    EXPECT_EQ(host.entries.last(), w->caption() + QStringLiteral(":4711"));
}

TEST_F(Sandbox, ControlsCarryTheirNames)
{
    for (const char* n : {"basePanel", "rulerCorner", "rulerX", "rulerY", "viewPanel", "pageSurround", "canvasPanel",
                          "canvasControl", "scrollBarX", "scrollBarY", "scrollCorner", "valueBox", "hGridmark",
                          "vGridmark", "hGridmarkRed", "vGridmarkRed", "backgroundColour"})
        EXPECT_NE(w->findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
    for (const char* n : {"holdTimer", "doubleClickTimer", "deferredTimer", "caretTimer", "toolPanelTimer",
                          "fullQualityTimer"})
        EXPECT_NE(w->findChild<QTimer*>(QString::fromLatin1(n)), nullptr) << n;
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("valueBox"))->size(), QSize(120, 20));
    EXPECT_EQ(w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->interval(), 100);
    EXPECT_EQ(w->findChild<QTimer*>(QStringLiteral("caretTimer"))->interval(), 500);
}

TEST_F(Sandbox, LayoutWithoutAndWithBars)
{
    // 1000 × 1200 holds a Letter page at 100 %.
    EXPECT_FALSE(w->lastLayout().showX);
    EXPECT_FALSE(w->lastLayout().showY);
    EXPECT_EQ(static_cast<canvas::rulerImage_t*>(w->findChild<QWidget*>(QStringLiteral("rulerX")))->geometry(), QRect(12, 0, 988, 12));
    // The canvas image is the page from its corner: the page's origin on
    // the sheet adds nothing beyond its right or bottom edge.
    const model::item_t* h = w->header();
    ASSERT_GT(h->x1, 2);
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("canvasControl"))->size(), QSize(h->x2 - h->x1, h->y2 - h->y1));
    const QImage& img = w->canvasImage();
    // Most of a row across the page is white (gridlines cross it).
    int white = 0;
    const int y = (h->y2 - h->y1) / 3 + 1;
    for (int x = 0; x < img.width(); ++x) white += img.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(white, img.width() * 8 / 10);
    // Smaller: both bars and the corner panel.
    w->resize(500, 400);
    EXPECT_TRUE(w->lastLayout().showX);
    EXPECT_TRUE(w->lastLayout().showY);
    EXPECT_FALSE(w->findChild<QWidget*>(QStringLiteral("scrollCorner"))->isHidden());
    EXPECT_FALSE(w->findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->isHidden());
    EXPECT_EQ(w->findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->maximum(), w->lastLayout().maxX);
}

TEST_F(Sandbox, At300PercentTheImageStays1600AndScrollingMovesTheView)
{
    w->resize(600, 500);
    w->applyZoom(3.0);
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("canvasControl"))->size(), QSize(1600, 1600));
    EXPECT_TRUE(w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->isActive());
    const int maxX = w->findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->maximum();
    ASSERT_GT(maxX, 1600);
    w->findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->setValue(maxX);
    const model::item_t* h = w->header();
    EXPECT_EQ(w->viewOrigin().x, h->x2 - h->x1 - 1600);
    // The canvas covers the panel's right part: Panel2's right edge reaches it.
    EXPECT_GE(w->findChild<QWidget*>(QStringLiteral("canvasPanel"))->geometry().right(), w->findChild<QWidget*>(QStringLiteral("viewPanel"))->width() - 16 - 12 - 1);
    w->findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->setValue(0);
    EXPECT_EQ(w->viewOrigin().x, 0);
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("canvasPanel"))->x(), 12);
}

TEST_F(Sandbox, MouseMarkersOnBothRulers)
{
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(100, 150));
    EXPECT_EQ(static_cast<canvas::rulerImage_t*>(w->findChild<QWidget*>(QStringLiteral("rulerX")))->markerPos(), w->findChild<QWidget*>(QStringLiteral("canvasPanel"))->x() + 100);
    EXPECT_EQ(static_cast<canvas::rulerImage_t*>(w->findChild<QWidget*>(QStringLiteral("rulerY")))->markerPos(), w->findChild<QWidget*>(QStringLiteral("canvasPanel"))->y() + 150);
    w->FormMouseMove(QPoint(1, 1));
    EXPECT_EQ(static_cast<canvas::rulerImage_t*>(w->findChild<QWidget*>(QStringLiteral("rulerX")))->markerPos(), -1);
    EXPECT_EQ(static_cast<canvas::rulerImage_t*>(w->findChild<QWidget*>(QStringLiteral("rulerY")))->markerPos(), -1);
}

TEST_F(Sandbox, CloseQuestionAnswers)
{
    EXPECT_TRUE(w->FormClose());  // not modified: no question
    EXPECT_TRUE(dlg.messages.empty());
    // The window was allowed to close; the same window takes a new document.
    w->openDocument(w->documentNumber(), QString());
    model::setModified(w->items(), true);
    dlg.answers = {ui::btnCancel};
    EXPECT_FALSE(w->FormClose());
    EXPECT_FALSE(w->isClosing());  // a kept window lays out again
    dlg.answers = {ui::btnYes};
    host.saveResult = false;
    EXPECT_FALSE(w->FormClose());
    EXPECT_EQ(host.saves, 1);
    host.saveResult = true;
    dlg.answers = {ui::btnYes};
    EXPECT_TRUE(w->FormClose());
    EXPECT_TRUE(host.recent.isEmpty());  // untitled: nothing for the recent list
}

TEST_F(Sandbox, DestructionRemovesTheWindowEntry)
{
    w.reset();
    EXPECT_EQ(host.entries.last(), QStringLiteral("-4711"));
    EXPECT_EQ(host.destroyed, 1);
}

TEST_F(Sandbox, PictureNameOffersThePicture)
{
    QTemporaryDir dir;
    const QString pic = dir.filePath(QStringLiteral("Photo.JPG"));
    w->openDocument(12, pic + QLatin1Char(' '));
    ASSERT_EQ(host.pictures.size(), 1);
    EXPECT_EQ(host.pictures[0], pic);
    EXPECT_TRUE(w->fileName().isEmpty());
}

// The side panel follows the window that becomes active: its tool's panel,
// or with the pointer the panel of its selection (the insert panel when
// nothing is selected).
TEST_F(Sandbox, ActivationShowsTheLineAndTextPanels)
{
    w->selectTool(canvas::toolLine);
    w->FormActivate();
    EXPECT_TRUE(w->findChild<QTimer*>(QStringLiteral("toolPanelTimer"))->isActive());
    w->toolPanelTimerTimeout();
    w->selectTool(canvas::toolText);
    w->toolPanelTimerTimeout();
    w->selectTool(canvas::toolStar);
    w->toolPanelTimerTimeout();
    w->selectTool(ui::panelInsert);
    w->toolPanelTimerTimeout();
    model::item_t* line = model::newItem(w->items(), model::typeLine);
    model::selectOnly(w->items(), line);
    w->toolPanelTimerTimeout();
    EXPECT_EQ(host.toolPanels, (QList<int32_t>{ui::panelNextLine, ui::panelNextText, canvas::toolStar, ui::panelInsert,
                                               canvas::panelForSelection(w->items())}));
    EXPECT_EQ(host.toolPanels.back(), ui::panelLine);
}

TEST_F(Sandbox, WheelScrollsTheShownBars)
{
    w->resize(500, 400);
    ASSERT_FALSE(w->findChild<QScrollBar*>(QStringLiteral("scrollBarY"))->isHidden());
    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.get(), &down);
    EXPECT_EQ(w->findChild<QScrollBar*>(QStringLiteral("scrollBarY"))->value(), 48);
    EXPECT_EQ(w->lastLayout().scrollY, 48);
    QWheelEvent right(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.get(), &right);
    EXPECT_EQ(w->findChild<QScrollBar*>(QStringLiteral("scrollBarX"))->value(), 48);
    // The rulers follow: the page edge moved left by the scroll.
    EXPECT_EQ(w->pageOnScreen().x, 12 - 48);
}
