// Insert ▸ Barcode placed through the document window's handlers: a click
// puts the new code down at its default size where the mouse is, a drag
// draws its box like a rectangle's.
#include "ui/dialogs.h"
#include "canvas/insertbarcode.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "model/barcode.h"
#include "model/history.h"
#include "model/itemlist.h"

#include "host_stub.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <gtest/gtest.h>

#include <vector>

using namespace canvas;
using geometry::point_t;

namespace {

class InsertBarcode : public ::testing::Test {
protected:
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<TSandbox> w;

    void SetUp() override
    {
        params().currentZoom = 1.0;
        w = std::make_unique<TSandbox>(&host);
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(7, QString()));
        w->repaintAll(false);
    }

    model::item_t* insert()
    {
        model::barcodeContent_t content;
        content.data = newBarcodeData;
        return insertBarcode(*w, content);
    }
    // The rest of a gesture whose mouse arrived at the path's first point:
    // a press there, moves through the rest and the release at the last.
    void pressAndMove(const std::vector<QPoint>& path)
    {
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, path.front());
        for (size_t k = 1; k < path.size(); ++k) w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, path[k]);
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, path.back());
    }
    model::item_t* visibleCode() const
    {
        for (model::item_t* it = w->items().head; it; it = it->next)
            if (it->kind == model::kindItem && !it->hidden && model::isBarcodeItem(it)) return it;
        return nullptr;
    }
    // The code's box in document pixels: its first and third points.
    QRect box(const model::item_t* it) const
    {
        std::vector<point_t> pts;
        for (const model::pointNode_t* n = it->points.head; n; n = n->next) pts.push_back({n->p.x, n->p.y});
        if (pts.size() < 3) return {};
        return QRect(QPoint(pts[0].x, pts[0].y), QPoint(pts[2].x, pts[2].y));
    }
};

} // namespace

TEST_F(InsertBarcode, AClickPutsTheDefaultSizeDownADragDrawsTheBox)
{
    const int32_t slop = QGuiApplication::styleHints()->startDragDistance();
    int32_t defaultW = 0, defaultH = 0;
    model::defaultBarcodeSize(static_cast<int32_t>(model::symbology_t::qrCode), defaultW, defaultH);
    const struct {
        const char* name;
        double zoom;
        std::vector<QPoint> path;
        bool drawn;  // a drawn box from the press to the release, or the default size
    } cases[] = {
        {"click", 1.0, {{300, 300}}, false},
        {"drag down and right", 1.0, {{200, 220}, {300, 260}, {420, 330}}, true},
        {"drag up and left gives the same box", 1.0, {{420, 330}, {300, 260}, {200, 220}}, true},
        {"drag mostly down", 1.0, {{250, 200}, {262, 420}}, true},
        {"a shaky click is a click", 1.0, {{300, 300}, {300 + (slop - 1) / 2, 300 + (slop - 1) / 2}}, false},
        {"drag at twice the zoom", 2.0, {{100, 100}, {300, 260}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.zoom != 1.0) w->applyZoom(c.zoom);
        ASSERT_NE(insert(), nullptr);
        ASSERT_EQ(w->mode(), modePlacing);
        // The new code follows the mouse to where the gesture starts.
        w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, c.path.front());
        ASSERT_NE(visibleCode(), nullptr);
        const QRect arrived = box(visibleCode());
        EXPECT_EQ(arrived.width() - 1, defaultW);
        EXPECT_EQ(arrived.height() - 1, defaultH);
        pressAndMove(c.path);
        EXPECT_EQ(w->mode(), modePointer);
        model::item_t* code = visibleCode();
        ASSERT_NE(code, nullptr);
        const point_t from = w->toDoc({c.path.front().x(), c.path.front().y()});
        const point_t to = w->toDoc({c.path.back().x(), c.path.back().y()});
        if (c.drawn) {
            EXPECT_EQ(box(code), QRect(QPoint(std::min(from.x, to.x), std::min(from.y, to.y)),
                                       QPoint(std::max(from.x, to.x), std::max(from.y, to.y))));
        } else {
            // Put down where it followed the mouse to, its size unchanged.
            EXPECT_EQ(box(code), arrived.translated(to.x - from.x, to.y - from.y));
        }
        EXPECT_TRUE(model::readBarcode(code).has_value()) << "still a barcode";
        EXPECT_EQ(model::barcodeQuarterTurn(code), 0);

        // The drag leaves no trace of the sizes it went through.
        const QImage shown = w->canvasImage().copy();
        w->repaintAll(false);
        EXPECT_EQ(shown, w->canvasImage());

        // One undo takes the whole insertion back.
        ASSERT_TRUE(model::undo(w->items()));
        EXPECT_EQ(visibleCode(), nullptr);
    }
}

TEST_F(InsertBarcode, EscWhileDrawingTheBoxTakesTheCodeBack)
{
    ASSERT_NE(insert(), nullptr);
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(200, 200));
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_EQ(w->mode(), modePointer);
    EXPECT_EQ(visibleCode(), nullptr);
    // The release that follows starts nothing.
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    EXPECT_EQ(visibleCode(), nullptr);
    EXPECT_EQ(w->mode(), modePointer);
}
