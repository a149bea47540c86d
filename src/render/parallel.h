// Drawing on several cores: the image is cut into horizontal bands, each
// painted by a thread of one pool. The number of threads follows the
// machine's cores; the environment variable LUMORA_THREADS overrides it, and
// 1 keeps every pass on the calling thread.
#pragma once

#include "model/item.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace render {

// Above this many threads a pass gains nothing on any machine in sight.
constexpr int32_t maxRenderThreads = 64;
// A band thinner than this costs more in set-up than it saves.
constexpr int32_t minBandRows = 32;

// The thread count a LUMORA_THREADS value asks for: a whole number from 1 up
// (larger ones held at maxRenderThreads); anything else (unset, empty, 0,
// negative, not a number) leaves the choice to the machine (`ideal`).
int32_t threadsFromSetting(const char* value, int32_t ideal);

// The threads a pass may use now: the override of setRenderThreads when one
// is set, otherwise LUMORA_THREADS, otherwise the machine's core count.
int32_t renderThreads();
// Overrides the count for this process (tests, benchmarks); 0 drops the override.
void setRenderThreads(int32_t n);

// The image's rows cut into at most `threads` bands of whole rows, top to
// bottom, none thinner than minBandRows (so a small image gets fewer bands,
// at least one); the bands cover the image exactly.
std::vector<QRect> imageBands(QSize size, int32_t threads);

// An image of the size and format whose pixels are not set yet. A large one
// gets its memory in large pages where the system offers them: a band
// touches a few rows of a sheet-sized copy, and in small pages every row
// costs the system a page fault, which outweighs the drawing.
QImage largeImage(QSize size, QImage::Format format);

// The rows of an image `width` wide cut into at most `n` bands of whole rows,
// top to bottom, whose costs (the sums of rowCost over their rows) are as
// even as whole rows allow; none thinner than minBandRows, at least one.
std::vector<QRect> evenCostBands(int32_t width, const std::vector<int64_t>& rowCost, int32_t n);

// Runs job(0) … job(n - 1), job(0) on the calling thread and the others on
// the pool, and returns when all are done.
void runConcurrently(int32_t n, const std::function<void(int32_t)>& job);

// Runs job(0) … job(n - 1) on at most `threads` threads, the calling thread
// among them (it takes job 0): each thread takes the next job nobody has
// taken yet, so that jobs of unequal cost even out. Returns when all are done.
void runOnThreads(int32_t n, int32_t threads, const std::function<void(int32_t)>& job);

// A production line: make(0) … make(n - 1) are made in order of their
// number, on the pool's threads (renderThreads() in all, the calling thread
// among them), while the calling thread takes each finished one in order with
// take(i) (and makes pieces itself while the next is not ready), at most
// `ahead` of them made and not yet taken. When take returns
// false no more are made; the ones under way are finished first. With one
// thread, make(i) and take(i) simply alternate. False when take stopped it.
// make must not itself share work out on the pool, whose threads may all be
// busy in this line.
bool makeAhead(int32_t n, int32_t ahead, const std::function<void(int32_t)>& make,
               const std::function<bool(int32_t)>& take);

// Paints an image in bands at once: `paintBand(image, band)` draws what
// belongs to the band's rows, onto the image it is given (the target itself
// for the band of most rows, a copy of the target's rows for each other band,
// which is copied back afterwards). A painter may write outside its band; those
// pixels are discarded. So each band's pixels come out exactly as one pass
// over the whole image would leave them, as long as what is drawn at a pixel
// depends only on the pixel's earlier value.
//
// With `blank`, the target's pixels are not set yet: nothing is copied into
// the copies, and each painter must set every pixel of its band's rows. The
// bands are shared out over renderThreads() threads, each taking the next
// band nobody has taken, so more bands than threads even out their costs.
void paintInBands(QImage& target, const std::vector<QRect>& bands,
                  const std::function<void(QImage& image, const QRect& band)>& paintBand, bool blank = false);

// The items one after the other onto a bitmap as renderItemToBitmap draws
// each, in bands on several threads (items that cannot touch a band left out
// of it), with the same pixels as on one thread. The bands share out the
// rows by an estimate of their cost (on a sheet of cards every item lies in
// the first cell). With a `ground`, the bitmap (of 32 bits a pixel) is first
// filled with it, each band its own rows, so that the filling is shared out
// too; without, the items are drawn over its pixels.
void renderItemsToBitmap(QImage& bitmap, const model::itemList_t& document, const std::vector<model::item_t*>& items,
                         QPoint origin, double scaleX, double scaleY, std::optional<QRgb> ground = std::nullopt);

} // namespace render
