// Items built as the insertion tools leave them, and a document window with a
// host that records the panels and edit-state refreshes it is asked for.
#pragma once

#include "ui/dialogs.h"
#include "canvas/handles.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include "host_stub.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>

#include <algorithm>
#include <memory>
#include <vector>

namespace seltest {

using geometry::point_t;
using model::item_t;

inline item_t* finishShape(model::itemList_t& l, item_t* it)
{
    geometry::itemBounds(it, 8, 8);
    model::recordNew(l, it);
    return it;
}

inline item_t* addLine(model::itemList_t& l, point_t a, point_t b)
{
    item_t* it = model::newItem(l, model::typeLine);
    it->x1 = a.x;
    it->y1 = a.y;
    it->x2 = b.x;
    it->y2 = b.y;
    geometry::lineGeometry(it);
    model::computeMeasure(it);
    model::recordNew(l, it);
    return it;
}

inline item_t* addTriangle(model::itemList_t& l, point_t a, point_t b, point_t c)
{
    item_t* it = model::newItem(l, model::typeTriangle);
    it->shapeVariant = 2;
    geometry::buildTriangle(a, b, c, it->points);
    return finishShape(l, it);
}

inline item_t* addSquare(model::itemList_t& l, point_t a, point_t b)
{
    item_t* it = model::newItem(l, model::typeSquare);
    it->shapeVariant = 2;
    geometry::buildSquare(a, b, it->points);
    return finishShape(l, it);
}

// A rectangle from its first side a→b and its height (upwards from the side).
inline item_t* addRectangle(model::itemList_t& l, point_t a, point_t b, int32_t height)
{
    item_t* it = model::newItem(l, model::typeRectangle);
    it->shapeVariant = 2;
    const double up = geometry::segmentAngle(a, b) + 3.14159265358979323846 / 2;
    geometry::buildRectangle(a, b, geometry::polarPoint(b, up, height), it->points);
    return finishShape(l, it);
}

inline item_t* addCircle(model::itemList_t& l, point_t c, int32_t r)
{
    item_t* it = model::newItem(l, model::typeCircle);
    it->fillColor = -1;
    geometry::buildCircle(c, {c.x + r, c.y}, it->points);
    return finishShape(l, it);
}

inline item_t* addEllipse(model::itemList_t& l, point_t c, point_t a, point_t b)
{
    item_t* it = model::newItem(l, model::typeEllipse);
    it->fillColor = -1;
    geometry::buildEllipse(c, a, b, it->points);
    return finishShape(l, it);
}

inline item_t* addSpline(model::itemList_t& l, const std::vector<point_t>& pts, int32_t variant)
{
    item_t* it = model::newItem(l, model::typeSpline);
    it->shapeVariant = variant;
    for (const point_t& p : pts) geometry::appendPoint(it->points, p);
    return finishShape(l, it);
}

inline item_t* addPicture(model::itemList_t& l, point_t tl, point_t br)
{
    item_t* it = model::newItem(l, model::typePicture);
    it->x1 = tl.x;
    it->y1 = tl.y;
    it->x2 = br.x;
    it->y2 = br.y;
    geometry::pictureBox(it);
    model::recordNew(l, it);
    return it;
}

inline std::vector<item_t*> selectedItems(model::itemList_t& l)
{
    return model::collectSelected(l);
}

inline void select(model::itemList_t& l, std::initializer_list<item_t*> items)
{
    model::deselectAll(l);
    for (item_t* it : items) model::setSelected(l, it, true);
}

// The visible version of an item after edits: the newest record that
// descends from it through replacesStep.
inline item_t* current(model::itemList_t& l, const item_t* original)
{
    int32_t step = original->stepId;
    std::vector<item_t*> chain;
    for (item_t* it = l.head; it; it = it->next) {
        if (it->kind != model::kindItem) continue;
        if (it->stepId == step || it->replacesStep == step) {
            chain.push_back(it);
            step = it->stepId;
        }
    }
    for (auto i = chain.rbegin(); i != chain.rend(); ++i)
        if (!(*i)->hidden && (*i)->itemType != model::typeDeletionMarker) return *i;
    return nullptr;
}

// Pixels of `before` outside `kept` where the canvas as shown differs from
// what a full repaint gives: what an edit left behind (the canvas is
// repainted afterwards).
inline int32_t tracesLeft(canvas::TSandbox& w, const QRect& before, const QRect& kept)
{
    const QImage shown = w.canvasImage().copy();
    w.repaintAll(false);
    int32_t traces = 0;
    for (int32_t y = before.top(); y <= before.bottom(); ++y)
        for (int32_t x = before.left(); x <= before.right(); ++x)
            if (!kept.contains(x, y) && shown.valid(x, y) && shown.pixel(x, y) != w.canvasImage().pixel(x, y))
                ++traces;
    return traces;
}

class WindowTest : public ::testing::Test {
protected:
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<canvas::TSandbox> w;

    void SetUp() override
    {
        canvas::params().currentZoom = 1.0;
        canvas::params().lastMode = 0;
        w = std::make_unique<canvas::TSandbox>(&host);
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(4711, QString()));
        w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
        w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->stop();
    }

    model::itemList_t& items() { return w->items(); }
    point_t screen(point_t doc) const { return w->toScreen(doc); }
    QPoint qscreen(point_t doc) const
    {
        const point_t s = w->toScreen(doc);
        return {s.x, s.y};
    }

    // Paints the document and brings the marks on, as after an edit.
    void paintWithMarks()
    {
        w->repaintAll(false);
        w->deferredTimerTimeout();
    }

    void click(point_t doc, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        w->Image1MouseDown(Qt::LeftButton, mods, qscreen(doc));
        w->Image1MouseUp(Qt::LeftButton, mods, qscreen(doc));
    }

    // Press at `from`, move in steps to `to`, release there (canvas pixels).
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier, int steps = 3)
    {
        w->Image1MouseDown(Qt::LeftButton, mods, from);
        for (int k = 1; k <= steps; ++k) {
            const QPoint p = from + (to - from) * k / steps;
            w->Image1MouseMove(Qt::LeftButton, mods, p);
        }
        w->Image1MouseUp(Qt::LeftButton, mods, to);
    }

    // The position of a handle of an item on the canvas.
    point_t handleAt(const item_t* it, int32_t code)
    {
        for (const render::markSpot_t& m : canvas::handleSpots(it, canvas::handleViewOf(*w)))
            if (m.code == code) return m.at;
        ADD_FAILURE() << "no handle " << code;
        return {};
    }
};

} // namespace seltest
