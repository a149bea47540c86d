// Painting part of the canvas gives exactly the pixels a full repaint gives
// there: a smaller view scrolled anywhere over random documents at random
// zooms, and repaintArea of random rectangles after the canvas was scribbled
// on. Most views and rectangles are put with an edge on an item's edge,
// where an area test that leaves out touching edges, or a document rectangle
// rounded inwards from the edge pixels, loses a thin line.
//
// The full repaint is the same view with every item drawn and no area test:
// the platform's rasterizer settles pixel centres that lie exactly on an edge
// differently when the image edge cuts a shape, so the same region of a
// larger image may differ in a row of a half-pixel band with nothing wrong.
#include "render/renderpass.h"

#include "docbuilder.h"
#include "render/surface.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace render;
using geometry::rect_t;
using model::item_t;

namespace {

class randomPages {
public:
    explicit randomPages(uint32_t seed) : rng_(seed) {}

    int32_t pick(int32_t lo, int32_t hi) { return lo + int32_t(rng_() % uint32_t(hi - lo + 1)); }
    template <class T, size_t N>
    const T& oneOf(const T (&v)[N])
    {
        return v[pick(0, int32_t(N) - 1)];
    }

    // A page of every kind of item, thin lines above all (their reach is
    // their box, to the pixel), the solid design edges of a card and
    // sometimes gridlines. Dotted page guides are left out: the platform
    // starts the dots of a line that begins off the image where it enters.
    void build(model::itemList_t& doc, double zoom)
    {
        const int32_t designs[] = {0, 2, 3};
        item_t* h = testdoc::addHeader(doc, pageW, pageH, zoom, oneOf(designs));
        h->hdr().cardWidth = pick(60, pageW);
        h->hdr().cardHeight = pick(60, pageH);
        if (pick(0, 2) == 0) addGrid(doc, h->hdr());

        const int32_t colours[] = {0x000000, 0x0000FF, 0x00A000, 0xC00000, 0x808080};
        const int32_t fills[] = {-1, -2, 0x60C0FF, 0xFFA0A0};
        const double thin[] = {0.0, 0.0, 0.2, 0.35};
        const double weights[] = {0.0, 0.5, 1.0, 2.0};
        for (int32_t i = 0, n = pick(8, 24); i < n; ++i) {
            const int32_t x = pick(0, pageW), y = pick(0, pageH), s = pick(6, 70);
            const int32_t c = oneOf(colours), f = oneOf(fills);
            const double w = oneOf(weights);
            switch (pick(0, 9)) {
            case 0: case 1: case 2: case 3: {
                const int32_t dir = pick(0, 2);  // level, upright, slanted
                const int32_t x2 = dir == 1 ? x : x + pick(-s, s), y2 = dir == 0 ? y : y + pick(-s, s);
                testdoc::addLine(doc, x, y, x2, y2, pick(0, 3) ? oneOf(thin) : w, pick(0, 2) ? 0 : pick(1, 4), c);
                break;
            }
            case 4:
                testdoc::addShape(doc, model::typeTriangle, {{x, y}, {x + s, y}, {x + s / 2, y - s}}, f, c, w);
                break;
            case 5:
                testdoc::addShape(doc, oneOf(boxy), {{x, y}, {x + s, y}, {x + s, y + s / 2}, {x, y + s / 2}}, f, c, w);
                break;
            case 6:
                testdoc::addShape(doc, oneOf(round), {{x, y}, {x + s, y}, {x, y - s / 2}}, f, c, w);
                break;
            case 7:
                testdoc::addShape(doc, oneOf(pointed), {{x, y}, {x + s, y}, {x + s / 2, y + s / 3}}, f, c, w, 2,
                                  pick(3, 7));
                break;
            default: {
                const int32_t variant = pick(0, 2);
                item_t* it = testdoc::addShape(doc, pick(0, 1) ? model::typeSpline : model::typeCurve,
                                               {{x, y}, {x + s, y - s / 2}, {x + s / 2, y + s}, {x - s / 3, y + s / 2}},
                                               variant == 2 ? f : -1, c, w, variant);
                if (it->itemType == model::typeCurve) testdoc::smoothCurve(it, variant != 0);
                break;
            }
            }
        }
    }

    // A rectangle of `size` inside `bounds`: a quarter of the time anywhere,
    // otherwise with its first or last row or column within two pixels of an
    // edge of one of the targets, and overlapping that target the other way.
    QRect place(QSize bounds, QSize size, const std::vector<QRect>& targets)
    {
        int32_t x = pick(0, bounds.width() - size.width()), y = pick(0, bounds.height() - size.height());
        if (!targets.empty() && pick(0, 3) != 0) {
            const QRect t = targets[size_t(pick(0, int32_t(targets.size()) - 1))];
            auto onEdge = [&](int32_t low, int32_t high, int32_t length) {
                const int32_t e = (pick(0, 1) ? low : high) + pick(-2, 2);
                return pick(0, 1) ? e : e - length + 1;
            };
            auto across = [&](int32_t low, int32_t high, int32_t length) { return pick(low - length + 1, high); };
            if (pick(0, 1)) {
                x = onEdge(t.left(), t.right(), size.width());
                y = across(t.top(), t.bottom(), size.height());
            } else {
                x = across(t.left(), t.right(), size.width());
                y = onEdge(t.top(), t.bottom(), size.height());
            }
        }
        return {std::clamp(x, 0, bounds.width() - size.width()), std::clamp(y, 0, bounds.height() - size.height()),
                size.width(), size.height()};
    }

    static constexpr int32_t pageW = 240, pageH = 200;

private:
    std::mt19937 rng_;
    static constexpr int32_t boxy[] = {model::typeSquare, model::typeRectangle};
    static constexpr int32_t round[] = {model::typeCircle, model::typeEllipse, model::typePie, model::typeArc};
    static constexpr int32_t pointed[] = {model::typePolygon, model::typeStar};

    void addGrid(model::itemList_t& doc, model::headerBody_t& hd)
    {
        item_t* grid = model::newItem(doc, model::typeGrid);
        for (int32_t k = 0; k < 3; ++k) {
            auto* a = new model::anchorNode_t;
            a->left = pick(0, pageW) - 3;
            model::appendNode(grid->anchorsX, a);
            auto* b = new model::anchorNode_t;
            b->top = pick(0, pageH) - 3;
            model::appendNode(grid->anchorsY, b);
        }
        hd.showGridX = 1;
        hd.showGridY = pick(0, 1);
    }
};

// The reach of every item on the canvas of a view with this origin.
std::vector<QRect> reaches(const model::itemList_t& doc, double zoom, geometry::point_t origin)
{
    std::vector<QRect> out;
    for (const item_t* it = doc.head; it; it = it->next) {
        if (!isDrawable(it) || it->itemType == model::typeGrid) continue;
        const rect_t r = itemReach(it);
        out.push_back(QRect(QPoint(geometry::docToScreen(zoom, r.left, origin.x), geometry::docToScreen(zoom, r.top, origin.y)),
                            QPoint(geometry::docToScreen(zoom, r.right, origin.x), geometry::docToScreen(zoom, r.bottom, origin.y))));
    }
    return out;
}

renderView_t viewOf(model::itemList_t& doc, QSize size, geometry::point_t origin)
{
    renderView_t v;
    v.items = &doc;
    v.Image1 = newCanvasImage(size.width(), size.height());
    v.viewOrigin = origin;
    return v;
}

// The view painted without asking which items meet it.
QImage everyItemDrawn(model::itemList_t& doc, QSize size, geometry::point_t origin)
{
    renderView_t v = viewOf(doc, size, origin);
    paintBackground(v, {0, 0, size.width() + 1, size.height() + 1});
    drawGridlines(v);
    for (item_t* it : paintingOrder(doc)) drawItem(v, it, false);
    return v.Image1;
}

// How the pixels of `got` inside `r` differ from `want`; empty when they do not.
std::string differences(const QImage& got, const QImage& want, const QRect& r)
{
    int32_t n = 0;
    std::ostringstream first;
    for (int32_t y = r.top(); y <= r.bottom(); ++y) {
        const auto* g = reinterpret_cast<const QRgb*>(got.constScanLine(y));
        const auto* w = reinterpret_cast<const QRgb*>(want.constScanLine(y));
        for (int32_t x = r.left(); x <= r.right(); ++x)
            if (g[x] != w[x] && n++ == 0)
                first << " first at (" << x << ", " << y << "): " << std::hex << (g[x] & 0xFFFFFF)
                      << " where the full repaint has " << (w[x] & 0xFFFFFF);
    }
    return n ? std::to_string(n) + " pixels differ;" + first.str() : std::string();
}

std::string corners(const QRect& r)
{
    std::ostringstream s;
    s << "(" << r.left() << ", " << r.top() << ") - (" << r.right() << ", " << r.bottom() << ")";
    return s.str();
}

} // namespace

TEST(PartialRepaint, EveryPixelMatchesAFullRepaintOfTheSameRegion)
{
    randomPages r(20261209);
    const double zooms[] = {0.5, 0.75, 1.0, 1.37, 1.5, 2.0, 2.5, 3.0};
    for (int32_t page = 0; page < 240; ++page) {
        const double zoom = zooms[page % 8];
        model::itemList_t doc;
        r.build(doc, zoom);
        const QSize canvas = canvasImageSize(model::findHeader(doc));
        const std::vector<QRect> onCanvas = reaches(doc, zoom, {0, 0});

        for (int32_t k = 0; k < 16; ++k) {
            const QRect at = r.place(canvas, QSize(r.pick(8, canvas.width() / 2), r.pick(8, canvas.height() / 2)), onCanvas);
            const geometry::point_t origin{at.left(), at.top()};
            std::ostringstream view;
            view << "page " << page << ", zoom " << zoom << ", view " << corners(at);
            const QImage want = everyItemDrawn(doc, at.size(), origin);
            renderView_t part = viewOf(doc, at.size(), origin);
            repaintAll(part, false);
            ASSERT_EQ(differences(part.Image1, want, want.rect()), "") << view.str();

            // Scribbled over, then a random rectangle of it painted again.
            part.Image1.fill(Qt::magenta);
            const QRect area = r.place(at.size(), QSize(r.pick(1, at.width()), r.pick(1, at.height())),
                                       reaches(doc, zoom, origin));
            const QRect painted = repaintArea(part, area);
            view << ", area " << corners(area) << ", painted " << corners(painted);
            EXPECT_TRUE(painted.contains(area)) << view.str();
            ASSERT_EQ(differences(part.Image1, want, area), "") << view.str();
        }
        model::freeList(doc);
    }
}
