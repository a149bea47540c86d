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

// Runs job(0) … job(n - 1), job(0) on the calling thread and the others on
// the pool, and returns when all are done.
void runConcurrently(int32_t n, const std::function<void(int32_t)>& job);

// Paints an image in bands at once: `paintBand(image, band)` draws what
// belongs to the band's rows, onto the image it is given (the target itself
// for the first band, a copy of the target's rows for each other band, which
// is copied back afterwards). A painter may write outside its band; those
// pixels are discarded. So each band's pixels come out exactly as one pass
// over the whole image would leave them, as long as what is drawn at a pixel
// depends only on the pixel's earlier value.
void paintInBands(QImage& target, const std::vector<QRect>& bands,
                  const std::function<void(QImage& image, const QRect& band)>& paintBand);

// The items one after the other onto a bitmap as renderItemToBitmap draws
// each, in bands on several threads (items that cannot touch a band left out
// of it), with the same pixels as on one thread.
void renderItemsToBitmap(QImage& bitmap, const model::itemList_t& document, const std::vector<model::item_t*>& items,
                         QPoint origin, double scaleX, double scaleY);

} // namespace render
