// Random mouse and key sequences over every tool and the pointer mode: the
// window never breaks its list, and whenever nothing transient is on the
// canvas (no preview, no marks, no drag) the canvas equals a fresh repaint.
#include "ui/dialogs.h"
#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "model/itemlist.h"

#include "host_stub.h"

#include <gtest/gtest.h>

#include <random>

using namespace canvas;

TEST(CanvasRandom, EventSequencesKeepTheListAndTheCanvasSound)
{
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope(dlg);
    settings::TParams& p = params();
    p.currentZoom = 1.0;
    p.lastMode = 0;
    p.lineDirection = -1;
    p.lineWidth = 1.0;
    p.polywidth = 0.5;
    auto w = std::make_unique<TSandbox>(&host);
    w->resize(900, 900);
    ASSERT_TRUE(w->openDocument(3, QString()));
    w->repaintAll(false);

    const int32_t tools[] = {0, 1, 100, 101, 102, 103, 104, 105, 107, 108, 109, 110, 111, 112, 199};
    const int keys[] = {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_C, Qt::Key_Delete};
    std::mt19937 rng(20261209);
    auto pick = [&](int32_t n) { return int32_t(rng() % uint32_t(n)); };
    bool down = false;
    int32_t checks = 0, checksWithMarks = 0, drags = 0;
    std::vector<std::string> trail;
    auto note = [&](const std::string& what) {
        trail.push_back(what);
        if (trail.size() > 25) trail.erase(trail.begin());
    };
    auto trailText = [&] {
        std::string t;
        for (const std::string& s : trail) t += s + "\n";
        return t;
    };
    for (int32_t step = 0; step < 3000; ++step) {
        QPoint at(40 + pick(500), 40 + pick(500));
        // Often aim at a handle of the selection, so that drags happen.
        if (const model::item_t* sel = model::firstSelected(w->items()); sel && pick(3) == 0) {
            const geometry::point_t d = sel->points.head ? geometry::point_t{sel->points.head->p.x, sel->points.head->p.y}
                                                         : geometry::point_t{sel->x1, sel->y1};
            const geometry::point_t c = w->toScreen(d);
            at = QPoint(c.x, c.y);
        }
        Qt::KeyboardModifiers mods = Qt::NoModifier;
        if (pick(8) == 0) mods |= Qt::ShiftModifier;
        if (pick(12) == 0) mods |= Qt::ControlModifier;
        const int32_t what = pick(12);
        note(std::to_string(step) + " ev" + std::to_string(what) + " at " + std::to_string(at.x()) + "," +
             std::to_string(at.y()) + " mods " + std::to_string(int(mods)) + " mode " + std::to_string(w->mode()) +
             " clicks " + std::to_string(w->clickCount()));
        switch (what) {
        case 0: {
            const int32_t t = tools[pick(15)];
            note("  tool " + std::to_string(t));
            w->selectTool(t);
            break;
        }
        case 1:
        case 2:
            if (!down) w->Image1MouseDown(Qt::LeftButton, mods, at);
            down = true;
            if (pick(3) == 0) w->holdTimerTimeout();
            break;
        case 3:
        case 4:
        case 5: w->Image1MouseMove(down ? Qt::LeftButton : Qt::NoButton, mods, at); break;
        case 6:
        case 7:
            w->Image1MouseUp(Qt::LeftButton, mods, at);
            down = false;
            break;
        case 8: {
            const int k = keys[pick(5)];
            note("  key " + std::to_string(k));
            w->FormKeyDown(k, mods);
            break;
        }
        case 9: {
            if (down) break;
            const int32_t command = pick(12);
            note("  command " + std::to_string(command));
            if (command < 3) {
                // Undo or redo as the Edit menu does it.
                w->leaveToPointer();
                if (command == 0) model::undo(w->items());
                else model::redo(w->items());
                w->repaintAll(false);
            } else if (command == 3) {
                const double zooms[] = {0.5, 1.0, 2.0};
                w->applyZoom(zooms[pick(3)]);
            } else if (command == 4 && model::firstSelected(w->items())) {
                // Copy and paste: the pasted items follow the mouse until the release.
                model::copySelection(w->items(), model::clipboardList());
                w->leaveToPointer();
                w->eraseMarks();
                const std::vector<model::item_t*> pasted = model::pasteClipboard(w->items(), model::clipboardList());
                w->startPlacing(pasted);
            } else if (command == 5 && model::eraseSelection(w->items()) > 0) {
                w->repaintAll(false);
            }
            break;
        }
        default: {
            // Click on the pointer: a whole press and release.
            if (down) break;
            w->Image1MouseDown(Qt::LeftButton, mods, at);
            w->Image1MouseUp(Qt::LeftButton, mods, at);
            break;
        }
        }
        w->doubleClickTimerTimeout();
        drags += w->mode() == 46 || w->mode() == 47 || w->mode() == 48 || w->mode() == 1001 || w->mode() == 53;
        ASSERT_TRUE(model::idCacheConsistent(w->items())) << "step " << step;
        ASSERT_TRUE(pickIndexConsistent(w->items())) << "step " << step << "\n" << trailText();
        // Nothing transient: the canvas must be what a full repaint gives,
        // with the marks of the selection when they are showing.
        bool withMarks = false, withoutMarks = false;
        for (const model::item_t* it = w->items().head; it; it = it->next)
            if (it->selected && it->kind == model::kindItem) (it->marks.head ? withMarks : withoutMarks) = true;
        const bool idle = !down && w->clickCount() == 0 && (w->mode() == 0 || canvas::isToolMode(w->mode())) &&
                          !(withMarks && withoutMarks) && !w->guideBuffer().valid;
        if (idle && pick(10) == 0) {
            const QImage now = w->canvasImage().copy();
            w->repaintAll(false);
            if (withMarks) {
                w->drawSelectionMarks();
                ++checksWithMarks;
            }
            if (now != w->canvasImage()) {
                int l = 9999, t = 9999, r = -1, b = -1;
                for (int y = 0; y < now.height(); ++y)
                    for (int x = 0; x < now.width(); ++x)
                        if (now.pixel(x, y) != w->canvasImage().pixel(x, y)) {
                            l = std::min(l, x); r = std::max(r, x); t = std::min(t, y); b = std::max(b, y);
                        }
                note("diff " + std::to_string(l) + "," + std::to_string(t) + " - " + std::to_string(r) + "," + std::to_string(b));
            }
            ASSERT_EQ(now, w->canvasImage()) << "step " << step << " mode " << w->mode() << "\n" << trailText();
            ++checks;
        }
    }
    model::freeList(model::clipboardList());
    EXPECT_GT(checks, 20);
    EXPECT_GT(checksWithMarks, 5);
    EXPECT_GT(drags, 5);
    int32_t items = 0;
    for (const model::item_t* it = w->items().head; it; it = it->next) items += it->kind == model::kindItem;
    EXPECT_GT(items, 10);
}
