// Passes drawn in bands on several threads against the same passes on one:
// byte for byte, over the showcase pages, the effects pages, the texts, the
// picture example and random pages, at every zoom and view switch.
#include "cli_runner.h"
#include "docbuilder.h"
#include "randompage.h"
#include "render/parallel.h"
#include "render/renderpass.h"
#include "render/text.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <mutex>
#include <random>
#include <set>

using namespace render;

namespace {

// Sets the thread count for one scope.
struct threads_t {
    explicit threads_t(int32_t n) { setRenderThreads(n); }
    ~threads_t() { setRenderThreads(0); }
};

// The view switches of one pass.
struct passSetup_t {
    double zoom = 1.0;
    geometry::point_t origin;
    bool shadows = true, threeD = true, pictures = true;
};

// Paints the document as the editor does after opening (a quick pass, then
// the full-quality pass) with `threads` threads; also the quick image.
std::pair<QImage, QImage> paintWith(model::itemList_t& doc, const passSetup_t& s, int32_t threads,
                                    const std::function<bool(renderView_t&)>& events = {})
{
    threads_t t(threads);
    model::item_t* h = model::findHeader(doc);
    h->hdr().zoom = s.zoom;
    geometry::computeCanvasPixels(h);
    renderView_t view;
    view.items = &doc;
    const QSize size = canvasImageSize(h);
    view.Image1 = newCanvasImage(size.width(), size.height());
    view.viewOrigin = s.origin;
    view.showShadows = s.shadows;
    view.show3D = s.threeD;
    view.showPictures = s.pictures;
    view.quickDraw = true;
    repaintAll(view, false);
    const QImage quick = view.Image1.copy();
    view.quickDraw = false;
    view.processEvents = events;
    fullQualityPass(view);
    return {quick, view.Image1};
}

// Where two images first differ, for the message.
std::string firstDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return "first at " + std::to_string(x) + "," + std::to_string(y);
    return "same";
}

// The document painted on one thread and on 2, 3 and 4: every result the same.
void expectSameOnEveryThreadCount(model::itemList_t& doc, const passSetup_t& s, const std::string& what)
{
    const auto [quick1, full1] = paintWith(doc, s, 1);
    // The pass must really be shared out, or the comparison proves nothing.
    ASSERT_GE(imageBands(full1.size(), 4).size(), 2u) << what;
    for (int32_t n : {2, 3, 4}) {
        const auto [quick, full] = paintWith(doc, s, n);
        EXPECT_TRUE(quick == quick1) << what << ", quick pass, " << n << " threads: " << firstDifference(quick, quick1);
        EXPECT_TRUE(full == full1) << what << ", full pass, " << n << " threads: " << firstDifference(full, full1);
    }
}

TEST(ThreadSetting, ReadFromTheEnvironmentValue)
{
    struct row_t {
        const char* value;
        int32_t ideal, want;
    };
    const row_t rows[] = {
        {nullptr, 8, 8}, {"", 8, 8},   {"1", 8, 1},     {"2", 8, 2},    {"16", 2, 16},   {"0", 4, 4},
        {"-3", 4, 4},    {"4x", 4, 4}, {" 3", 4, 3},    {"abc", 4, 4},  {"65", 4, maxRenderThreads},
        {"99999999999999999999999", 4, maxRenderThreads}, {nullptr, 0, 1}, {nullptr, 500, maxRenderThreads},
    };
    for (const row_t& r : rows)
        EXPECT_EQ(threadsFromSetting(r.value, r.ideal), r.want) << (r.value ? r.value : "(unset)") << " ideal " << r.ideal;
}

TEST(ThreadSetting, OverrideWinsOverTheEnvironment)
{
    setenv("LUMORA_THREADS", "3", 1);
    EXPECT_EQ(renderThreads(), 3);
    setRenderThreads(1);
    EXPECT_EQ(renderThreads(), 1);
    setRenderThreads(0);
    EXPECT_EQ(renderThreads(), 3);
    unsetenv("LUMORA_THREADS");
    EXPECT_EQ(renderThreads(), std::clamp(QThread::idealThreadCount(), 1, maxRenderThreads));
}

TEST(ImageBands, CoverEveryRowOnceAndNoneTooThin)
{
    struct row_t {
        int32_t w, h, threads;
        size_t bands;
    };
    const row_t rows[] = {{100, 10, 4, 1},  {100, 63, 4, 1},   {100, 64, 4, 2},    {50, 101, 3, 3},
                          {1600, 1600, 4, 4}, {1600, 1600, 1, 1}, {1600, 1600, 0, 1}, {7, 1000, 64, 31},
                          {0, 0, 4, 1}};
    for (const row_t& r : rows) {
        const std::vector<QRect> bands = imageBands(QSize(r.w, r.h), r.threads);
        ASSERT_EQ(bands.size(), r.bands) << r.w << "x" << r.h << " on " << r.threads;
        int32_t next = 0;
        for (const QRect& b : bands) {
            EXPECT_EQ(b.top(), next) << "a gap or an overlap above row " << next;
            EXPECT_EQ(b.left(), 0);
            EXPECT_EQ(b.width(), r.w);
            if (bands.size() > 1) {
                EXPECT_GE(b.height(), minBandRows);
            }
            // Even shares: no band more than a row taller than another.
            EXPECT_LE(std::abs(b.height() - bands[0].height()), 1);
            next = b.top() + b.height();
        }
        EXPECT_EQ(next, r.h) << "the last rows are left out";
    }
}

TEST(RunConcurrently, EveryJobOnceTheFirstOnTheCallingThread)
{
    std::mutex m;
    std::multiset<int32_t> ran;
    std::set<QThread*> threads;
    QThread* first = nullptr;
    runConcurrently(4, [&](int32_t i) {
        std::lock_guard lock(m);
        ran.insert(i);
        threads.insert(QThread::currentThread());
        if (i == 0) first = QThread::currentThread();
    });
    EXPECT_EQ(ran, (std::multiset<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(first, QThread::currentThread());
    EXPECT_GE(threads.size(), 2u) << "the other jobs ran on the pool";
}

// Jobs are taken one by one by whichever thread is free: each must run once,
// none skipped at the end nor taken twice when two threads claim at once.
TEST(RunOnThreads, EveryJobOnceTheFirstOnTheCallingThread)
{
    struct row_t {
        int32_t jobs, threads;
    };
    for (const row_t r : {row_t{1, 1}, row_t{5, 1}, row_t{5, 2}, row_t{7, 3}, row_t{3, 8}, row_t{200, 4}, row_t{0, 2}}) {
        std::mutex m;
        std::multiset<int32_t> ran;
        QThread* first = nullptr;
        runOnThreads(r.jobs, r.threads, [&](int32_t i) {
            std::lock_guard lock(m);
            ran.insert(i);
            if (i == 0) first = QThread::currentThread();
        });
        std::multiset<int32_t> all;
        for (int32_t i = 0; i < r.jobs; ++i) all.insert(i);
        EXPECT_EQ(ran, all) << r.jobs << " jobs on " << r.threads;
        if (r.jobs > 0) {
            EXPECT_EQ(first, QThread::currentThread()) << r.jobs << " jobs on " << r.threads;
        }
    }
}

// The production line takes every piece once, in order, on the calling
// thread, never holds more than `ahead` made and not taken, and makes nothing
// new once take says stop.
TEST(MakeAhead, TakesInOrderWithinTheWindowAndStops)
{
    struct row_t {
        int32_t threads, n, ahead, stopAt;  // stopAt: take returns false there (-1: never)
    };
    const row_t rows[] = {{1, 6, 1, -1}, {2, 1, 3, -1}, {2, 20, 1, -1}, {2, 20, 3, -1}, {4, 30, 2, -1},
                          {4, 30, 5, -1}, {1, 10, 2, 4},  {2, 40, 3, 7},  {4, 40, 3, 0},  {3, 12, 4, 11}};
    for (const row_t& r : rows) {
        threads_t t(r.threads);
        std::mutex m;
        std::vector<int32_t> made(size_t(r.n), 0), taken;
        int32_t outstanding = 0, most = 0;
        const bool finished = makeAhead(
            r.n, r.ahead,
            [&](int32_t i) {
                std::lock_guard lock(m);
                ++made[size_t(i)];
                most = std::max(most, ++outstanding);
            },
            [&](int32_t i) {
                std::lock_guard lock(m);
                EXPECT_EQ(made[size_t(i)], 1) << "piece " << i << " taken before it was made";
                --outstanding;
                taken.push_back(i);
                return i != r.stopAt;
            });
        const std::string what = std::to_string(r.n) + " pieces, " + std::to_string(r.threads) + " threads, " +
                                 std::to_string(r.ahead) + " ahead";
        EXPECT_EQ(finished, r.stopAt < 0) << what;
        const int32_t last = r.stopAt < 0 ? r.n - 1 : r.stopAt;
        ASSERT_EQ(int32_t(taken.size()), last + 1) << what;
        for (int32_t i = 0; i <= last; ++i) EXPECT_EQ(taken[size_t(i)], i) << what;
        for (int32_t i = 0; i < r.n; ++i) EXPECT_LE(made[size_t(i)], 1) << what << ": piece " << i << " made twice";
        EXPECT_LE(most, r.ahead) << what;
        // After a stop, only pieces already under way may have been made.
        for (int32_t i = last + r.ahead + 2; i < r.n; ++i) EXPECT_EQ(made[size_t(i)], 0) << what << ": piece " << i;
    }
}

TEST(EvenCostBands, EqualSharesOfTheCost)
{
    struct row_t {
        const char* what;
        std::vector<int64_t> cost;
        int32_t n;
        std::vector<int32_t> heights;
    };
    auto rows = [](std::initializer_list<std::pair<int32_t, int64_t>> runs) {
        std::vector<int64_t> c;
        for (const auto& [count, value] : runs) c.insert(c.end(), size_t(count), value);
        return c;
    };
    const row_t cases[] = {
        {"even cost splits evenly", rows({{128, 5}}), 2, {64, 64}},
        {"a dear top is cut thin", rows({{64, 30}, {192, 2}}), 2, {39, 217}},
        {"every band keeps its minimum", rows({{32, 1000}, {96, 0}}), 3, {32, 32, 64}},
        {"too few rows for more bands", rows({{63, 1}}), 4, {63}},
        {"nothing to do still covers the rows", rows({{100, 0}}), 2, {32, 68}},
        {"negative costs count as nothing", rows({{64, -7}, {64, 3}}), 2, {96, 32}},
        {"no rows", {}, 4, {0}},
    };
    for (const row_t& c : cases) {
        const std::vector<QRect> bands = evenCostBands(17, c.cost, c.n);
        ASSERT_EQ(bands.size(), c.heights.size()) << c.what;
        int32_t top = 0;
        for (size_t i = 0; i < bands.size(); ++i) {
            EXPECT_EQ(bands[i], QRect(0, top, 17, c.heights[i])) << c.what << ", band " << i;
            top += c.heights[i];
        }
    }
}

TEST(LargeImage, LaidOutAsAnyImageOfItsSize)
{
    struct row_t {
        int32_t w, h;
        QImage::Format format;
    };
    for (const row_t r : {row_t{4961, 7016, QImage::Format_RGB32}, row_t{3001, 2999, QImage::Format_ARGB32},
                          row_t{4001, 3000, QImage::Format_RGB888}, row_t{10, 10, QImage::Format_RGB32}}) {
        QImage big = largeImage(QSize(r.w, r.h), r.format);
        const QImage plain(r.w, r.h, r.format);
        ASSERT_FALSE(big.isNull());
        EXPECT_EQ(big.size(), plain.size());
        EXPECT_EQ(big.format(), r.format);
        EXPECT_EQ(big.bytesPerLine(), plain.bytesPerLine()) << r.w << " wide";
        // Writable to the last byte of the last row, in place.
        const uchar* before = big.constBits();
        big.scanLine(r.h - 1)[big.bytesPerLine() - 1] = 0x5A;
        EXPECT_EQ(big.constBits(), before);
        EXPECT_EQ(big.constScanLine(r.h - 1)[big.bytesPerLine() - 1], 0x5A);
    }
}

// Blank bands start from nothing: each painter sets its own rows, on the
// target or on a copy, and the target ends up with every band's rows.
TEST(PaintInBands, BlankBandsFillTheirOwnRows)
{
    for (int32_t threads : {1, 2, 4}) {
        threads_t t(threads);
        QImage img = newCanvasImage(30, 300);
        const std::vector<QRect> bands = evenCostBands(30, std::vector<int64_t>(300, 1), 4);
        ASSERT_EQ(bands.size(), 4u);
        paintInBands(
            img, bands,
            [](QImage& image, const QRect& band) {
                for (int y = band.top(); y <= band.bottom(); ++y)
                    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, 0xFF000000u | uint32_t(y * 7 + x));
            },
            true);
        for (int y = 0; y < img.height(); ++y)
            ASSERT_EQ(img.pixel(29, y), 0xFF000000u | uint32_t(y * 7 + 29)) << "row " << y << ", " << threads << " threads";
    }
}

// Each band's painter floods the whole image with its own colour: only its
// rows keep it, whatever it wrote elsewhere.
TEST(PaintInBands, EachBandKeepsOnlyItsRows)
{
    QImage img = newCanvasImage(40, 200);
    const std::vector<QRect> bands = imageBands(img.size(), 3);
    ASSERT_EQ(bands.size(), 3u);
    paintInBands(img, bands, [](QImage& image, const QRect& band) {
        image.fill(0xFF000000u | uint32_t(band.top() + 1));
    });
    for (const QRect& b : bands)
        for (int32_t y = b.top(); y <= b.bottom(); ++y)
            ASSERT_EQ(img.pixel(5, y), 0xFF000000u | uint32_t(b.top() + 1)) << "row " << y;
}

// A band sees the rows above its painter as they were before the pass.
TEST(PaintInBands, BandsStartFromTheImageAsItWas)
{
    QImage img = newCanvasImage(10, 128);
    for (int y = 0; y < img.height(); ++y) img.setPixel(3, y, 0xFF000000u | uint32_t(y));
    const QImage before = img.copy();
    paintInBands(img, imageBands(img.size(), 4), [](QImage& image, const QRect& band) {
        for (int y = band.top(); y <= band.bottom(); ++y) image.setPixel(4, y, image.pixel(3, y));
    });
    for (int y = 0; y < img.height(); ++y) {
        EXPECT_EQ(img.pixel(3, y), before.pixel(3, y));
        EXPECT_EQ(img.pixel(4, y), before.pixel(3, y)) << "row " << y;
    }
}

TEST(SameOnEveryThreadCount, Showcase)
{
    for (const passSetup_t& s : {passSetup_t{1.0, {0, 0}}, passSetup_t{2.0, {300, 200}}, passSetup_t{0.5, {0, 0}},
                                 passSetup_t{1.33, {17, 41}}}) {
        model::itemList_t doc;
        testdoc::buildShowcase(doc);
        expectSameOnEveryThreadCount(doc, s, "showcase at " + std::to_string(s.zoom));
        model::freeList(doc);
    }
}

// Shadows blurred across band edges and 3-D ramps split by them, under every
// light, at several zooms, with each effect switch.
TEST(SameOnEveryThreadCount, EffectsUnderEveryLightAndSwitch)
{
    for (int32_t light = 0; light < 4; ++light)
        for (double zoom : {0.5, 1.0, 2.0, 3.0})
            for (int32_t effects = 0; effects < 4; ++effects) {
                // Every zoom and switch under one light, the usual view under the others.
                if (light != 0 && !(effects == 3 && zoom == 1.0)) continue;
                model::itemList_t doc;
                testdoc::buildEffectsShowcase(doc, light);
                passSetup_t s{zoom, {0, 0}, (effects & 2) != 0, (effects & 1) != 0};
                if (zoom == 3.0) s.origin = {250, 130};
                expectSameOnEveryThreadCount(doc, s,
                                             "light " + std::to_string(light) + " zoom " + std::to_string(zoom) +
                                                 " effects " + std::to_string(effects));
                model::freeList(doc);
            }
}

// Each band blurs only its own rows of a shadow and shades only its own rows
// of a surface. Groups of items of every shaded type lie close together down
// the page, at every few rows, so that wherever the edges of 2, 3 or 4 bands
// fall (they follow the estimated cost) items lie across them, right on them
// and a row or two off, and items beside an edge cast soft shadows across it
// that reach further than a band is tall at 50 %: the parts of one shadow or
// surface must meet without a seam, a shift or a pixel darkened twice.
TEST(SameOnEveryThreadCount, EffectsAcrossBandEdges)
{
    struct row_t {
        double zoom;
        geometry::point_t origin;
        int32_t light;
    };
    const row_t rows[] = {{0.5, {0, 0}, 0}, {1.0, {0, 0}, 0}, {1.0, {0, 0}, 3}, {3.0, {150, 90}, 0}, {3.0, {150, 90}, 2}};
    for (const row_t& r : rows) {
        model::itemList_t doc;
        model::item_t* h = testdoc::addHeader(doc, 900, 480, r.zoom);
        h->hdr().lightDirection = r.light;
        int32_t k = 0;
        for (int32_t y = 30; y < 470; y += 37) {
            const int32_t x = 20 + 220 * (k++ % 4) + r.origin.x / 3;
            const int32_t fill = k % 2 ? 0x3070E0 : -1;
            std::vector<model::item_t*> across = {
                testdoc::addShape(doc, model::typeCircle, {{x + 25, y}, {x + 50, y}}, fill, 0x202080, 0.75),
                testdoc::addShape(doc, model::typeEllipse, {{x + 85, y + 1}, {x + 110, y - 8}, {x + 83, y + 13}}, fill, 0x008000, 1.5),
                testdoc::addShape(doc, model::typeStar, {{x + 135, y - 2}, {x + 135, y - 30}, {x + 145, y - 8}}, -2, 0x800000, 0.5, 2, 5),
                testdoc::addShape(doc, model::typeSquare, {{x + 170, y - 1}, {x + 200, y - 1}, {x + 200, y + 29}, {x + 170, y + 29}}, 0xA0FFA0, 0x400040, 1.0),
                testdoc::addLine(doc, x, y - 40, x + 200, y + 45, 3.0, 0, 0x0000C0, -2),
            };
            for (model::item_t* it : across) testdoc::withEffects(it, 85, 85, 60, 127);
            // Very soft shadows that spread far beyond their items.
            testdoc::withEffects(testdoc::addShape(doc, model::typeTriangle, {{x + 40, y - 2}, {x + 90, y - 2}, {x + 65, y - 40}}, 0xFFC080, 0, 0.5),
                                 170, 255, 0, 127);
            testdoc::withEffects(testdoc::addShape(doc, model::typePolygon, {{x + 120, y + 22}, {x + 138, y + 22}}, -1, 0x806000, 1.0, 2, 6),
                                 170, 255, 30, 127);
        }
        const passSetup_t s{r.zoom, r.origin};
        expectSameOnEveryThreadCount(doc, s, "zoom " + std::to_string(r.zoom) + " light " + std::to_string(r.light));
        model::freeList(doc);
    }
}

// The editor's full-quality pass lets events in as it draws: on one thread
// after every item, on several after runs of items drawn in bands. Either
// way the page comes out as a pass without events leaves it, and an event
// that changes the document is seen from the next item on (the first run is
// a single item).
TEST(SameOnEveryThreadCount, FullQualityPassThatLetsEventsIn)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 900, 480, 1.0);
    int32_t drawable = 0;
    for (int32_t y = 30; y < 470; y += 37, drawable += 2) {
        testdoc::withEffects(testdoc::addShape(doc, model::typeCircle, {{100, y}, {125, y}}, 0x3070E0, 0x202080, 0.75),
                             85, 85, 60, 127);
        testdoc::withEffects(testdoc::addShape(doc, model::typeStar, {{300, y - 2}, {300, y - 30}, {310, y - 8}}, -2,
                                               0x800000, 0.5, 2, 5),
                             170, 255, 30, 127);
    }
    const passSetup_t s;
    const QImage reference = paintWith(doc, s, 1).second;
    for (int32_t threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        int32_t calls = 0;
        const QImage img = paintWith(doc, s, threads, [&](renderView_t&) {
                               ++calls;
                               return false;
                           }).second;
        EXPECT_TRUE(img == reference);
        if (threads == 1) EXPECT_EQ(calls, drawable);
        else EXPECT_GE(calls, 1);
    }
    model::freeList(doc);

    for (int32_t threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        threads_t t(threads);
        model::itemList_t two;
        model::item_t* h = testdoc::addHeader(two, 300, 300, 1.0);
        geometry::computeCanvasPixels(h);
        testdoc::addShape(two, model::typeSquare, {{10, 10}, {50, 10}, {50, 50}, {10, 50}}, -2, 0x0000FF);
        model::item_t* b = testdoc::addShape(two, model::typeSquare, {{100, 100}, {150, 100}, {150, 150}, {100, 150}}, -2, 0x0000FF);
        renderView_t view;
        view.items = &two;
        view.Image1 = newCanvasImage(canvasImageSize(h).width(), canvasImageSize(h).height());
        view.Image1.fill(0xFFFFFFFF);
        int32_t calls = 0;
        view.processEvents = [&](renderView_t&) {
            if (++calls == 1) b->hidden = 1;  // an event hides the next item
            return true;
        };
        fullQualityPass(view);
        EXPECT_EQ(view.Image1.pixel(30, 30), 0xFFFF0000u);
        EXPECT_EQ(view.Image1.pixel(120, 120), 0xFFFFFFFFu);
        model::freeList(two);
    }
}

// A repaint with shadows and surfaces shares the rows out by their cost: a
// band over the shadowed items gets fewer rows, a band over bare page more;
// without effects to draw (switched off, a quick pass, plain items) the
// bands stay even.
TEST(EffectBands, FewerRowsWhereTheEffectsAre)
{
    struct row_t {
        const char* what;
        int32_t top;  // the items' first row
        bool shadows, threeD, quick, plain;
        int32_t firstBand;  // -1: under half the rows, 0: half, +1: over half
    };
    const row_t rows[] = {
        {"shadows at the top", 40, true, true, false, false, -1},
        {"shadows at the bottom", 420, true, true, false, false, +1},
        {"surfaces alone count", 40, false, true, false, false, -1},
        {"shadows alone count", 420, true, false, false, false, +1},
        {"effects switched off", 40, false, false, false, false, 0},
        {"a quick pass", 40, true, true, true, false, 0},
        {"items without effects", 40, true, true, false, true, 0},
    };
    for (const row_t& r : rows) {
        model::itemList_t doc;
        testdoc::addHeader(doc, 300, 600);
        for (int32_t i = 0; i < 12; ++i) {
            const int32_t x = 20 + 45 * (i % 6), y = r.top + 60 * (i / 6);
            model::item_t* it = testdoc::addShape(doc, model::typeCircle, {{x + 20, y + 20}, {x + 40, y + 20}}, 0x3070E0, 0, 0.5);
            if (!r.plain) testdoc::withEffects(it, 85, 85, 60, 127);
        }
        renderView_t view;
        view.items = &doc;
        view.Image1 = newCanvasImage(300, 600);
        view.showShadows = r.shadows;
        view.show3D = r.threeD;
        view.quickDraw = r.quick;
        const std::vector<QRect> even = imageBands(view.Image1.size(), 2);
        const std::vector<QRect> bands = effectBands(view, even, paintingOrder(doc));
        model::freeList(doc);
        ASSERT_EQ(bands.size(), 2u) << r.what;
        EXPECT_EQ(bands[0].top(), 0) << r.what;
        EXPECT_EQ(bands[0].bottom() + 1, bands[1].top()) << r.what;
        EXPECT_EQ(bands[1].bottom(), 599) << r.what;
        EXPECT_EQ(bands[0].width(), 300) << r.what;
        const int32_t side = bands[0].height() < 300 ? -1 : bands[0].height() > 300 ? 1 : 0;
        EXPECT_EQ(side, r.firstBand) << r.what << ": first band " << bands[0].height() << " rows";
    }
}

// A whole repaint on several threads paints the background, the page guides
// (dotted margin and fold lines running down through every band) and the
// gridlines band by band: a dotted line cut by a band edge must keep its
// dots where the line drawn whole has them.
TEST(SameOnEveryThreadCount, BackgroundGuidesAndGridlines)
{
    struct row_t {
        int32_t designType;
        bool columnFold, rowFold;
        double zoom;
        geometry::point_t origin;
    };
    const row_t rows[] = {{1, false, false, 1.0, {0, 0}}, {3, true, true, 1.0, {0, 0}}, {10, true, true, 1.0, {0, 0}},
                          {10, true, true, 2.0, {7, 13}}, {11, false, true, 0.5, {0, 0}}};
    std::mt19937 rng(404);
    for (const row_t& r : rows) {
        model::itemList_t doc;
        model::item_t* h = testdoc::addHeader(doc, 600, 600, 1.0, r.designType);
        auto& hd = h->hdr();
        hd.pxPerUnitX = 2;
        hd.pxPerUnitY = 3;
        hd.paperWidth = 280;
        hd.paperHeight = 300;
        hd.cardWidth = 60;
        hd.cardHeight = 70;
        hd.marginLeft = 5;
        hd.marginTop = 7;
        hd.marginRight = 9;
        hd.marginBottom = 11;
        hd.columns = 4;
        hd.rows = 4;
        hd.columnFold = r.columnFold;
        hd.rowFold = r.rowFold;
        model::item_t* grid = model::newItem(doc, model::typeGrid);
        for (int32_t k = 0; k < 6; ++k) {
            auto* a = new model::anchorNode_t;
            a->left = int32_t(rng() % 600) - 3;
            model::appendNode(grid->anchorsX, a);
            auto* b = new model::anchorNode_t;
            b->top = int32_t(rng() % 600) - 3;
            model::appendNode(grid->anchorsY, b);
        }
        hd.showGridX = 1;
        hd.showGridY = 1;
        testdoc::addShape(doc, model::typeSquare, {{100, 250}, {180, 250}, {180, 330}, {100, 330}}, 0x40A0FF, 0, 0.5);
        expectSameOnEveryThreadCount(doc, passSetup_t{r.zoom, r.origin},
                                     "design type " + std::to_string(r.designType) + " at " + std::to_string(r.zoom));
        model::freeList(doc);
    }
}

TEST(SameOnEveryThreadCount, TurnedStyledAndShadedTexts)
{
    for (double zoom : {1.0, 2.0, 0.75}) {
        model::itemList_t doc;
        testdoc::buildTextShowcase(doc);
        layOutTexts(doc);
        expectSameOnEveryThreadCount(doc, passSetup_t{zoom, {0, 0}}, "texts at " + std::to_string(zoom));
        model::freeList(doc);
    }
}

// Random pages (lines of every pattern with dash walks starting off the
// band, turned and round pictures, heavy pens, shadows) at random zooms and
// origins, every view switch.
TEST(SameOnEveryThreadCount, RandomPages)
{
    std::mt19937 rng(44);
    const double zooms[] = {0.25, 0.5, 1.0, 1.33, 2.0, 3.0};
    for (int32_t page = 0; page < 24; ++page) {
        model::itemList_t doc;
        testdoc::addHeader(doc, 600, 600, 1.0);
        testdoc::randomPage(doc, rng, 600);
        passSetup_t s{zooms[page % 6], {int32_t(rng() % 300), int32_t(rng() % 300)}, page % 4 != 1, page % 3 != 2,
                      page % 5 != 3};
        expectSameOnEveryThreadCount(doc, s, "page " + std::to_string(page));
        model::freeList(doc);
    }
}

// A repaint of most of the image (shared out) and of a small part (kept on
// one thread) over a scribbled canvas: the whole image as on one thread,
// items drawn whole beyond the area included.
TEST(SameOnEveryThreadCount, RepaintOfAnArea)
{
    std::mt19937 rng(4444);
    for (int32_t page = 0; page < 12; ++page) {
        model::itemList_t doc;
        testdoc::addHeader(doc, 600, 600, 1.0);
        testdoc::randomPage(doc, rng, 600);
        // A shadow sends every repaint to the whole canvas.
        for (model::item_t* it = doc.head; it; it = it->next) it->shadowElevation = 0;
        const int32_t l = int32_t(rng() % 200), t = int32_t(rng() % 200);
        const QRect area = page % 3 == 0 ? QRect(l, t, 60, 40) : QRect(l, t / 4, 300 + l, 500);
        QImage one;
        for (int32_t n : {1, 2, 4}) {
            threads_t threads(n);
            renderView_t view;
            view.items = &doc;
            view.Image1 = newCanvasImage(600, 600);
            view.Image1.fill(Qt::magenta);
            const QRect painted = repaintArea(view, area);
            EXPECT_TRUE(painted.contains(area.intersected(view.Image1.rect())));
            if (n == 1) one = view.Image1;
            else EXPECT_TRUE(view.Image1 == one) << "page " << page << " on " << n << " threads: " << firstDifference(view.Image1, one);
        }
        model::freeList(doc);
    }
}

// The picture example (every stored format, clipped, round, framed, turned,
// transparent) through the command-line tool with LUMORA_THREADS set.
TEST(SameOnEveryThreadCount, PictureExampleThroughTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString doc = dir.filePath("pictures.lmra");
    ASSERT_EQ(testcli::runCli({"example", "--pictures", doc}).code, 0);
    QImage one;
    for (const char* n : {"1", "2", "4"})
        for (const QString& zoom : {QStringLiteral("1"), QStringLiteral("1.5")}) {
            const QString png = dir.filePath(QStringLiteral("pictures-%1-%2.png").arg(n, zoom));
            setenv("LUMORA_THREADS", n, 1);
            const auto r = testcli::runCli({"render", doc, png, "--zoom", zoom});
            unsetenv("LUMORA_THREADS");
            ASSERT_EQ(r.code, 0);
            const QImage img(png);
            ASSERT_FALSE(img.isNull());
            const QString first = dir.filePath(QStringLiteral("pictures-1-%1.png").arg(zoom));
            if (std::string(n) != "1") {
                EXPECT_TRUE(img == QImage(first)) << n << " threads at zoom " << zoom.toStdString();
            }
        }
}

} // namespace
