#include "render/parallel.h"

#include "render/surface.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace render {

namespace {

std::atomic<int32_t> overrideThreads{0};

// The drawing threads: apart from Qt's global pool, whose threads decode
// pictures in the background and may be busy for a while. Made of standard
// threads, mutexes and condition variables, whose ordering a thread
// sanitizer sees (Qt's own are built without it).
class bandPool_t;
bandPool_t& bandPool();

class bandPool_t {
public:
    ~bandPool_t() { stop(); }

    // Ends the threads once their jobs are done. Qt keeps fonts and other
    // caches per thread and frees them when the thread ends, so this runs
    // while the application object still exists (its destructor calls it);
    // a later pass starts threads again.
    void stop()
    {
        std::vector<std::thread> ending;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            ending.swap(threads_);
        }
        wake_.notify_all();
        for (std::thread& t : ending) t.join();
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }

    // Runs the jobs on the pool, at least `threads` of them at once.
    void start(std::vector<std::function<void()>> jobs, size_t threads)
    {
        {
            std::lock_guard lock(mutex_);
            if (threads_.empty() && threads > 0 && !stopRegistered_) {
                stopRegistered_ = true;
                qAddPostRoutine([] { bandPool().stop(); });
            }
            while (threads_.size() < threads) threads_.emplace_back([this] { work(); });
            for (auto& j : jobs) queue_.push_back(std::move(j));
        }
        wake_.notify_all();
    }

private:
    void work()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) return;
                job = std::move(queue_.front());
                queue_.pop_front();
            }
            job();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
    bool stopRegistered_ = false;
};

bandPool_t& bandPool()
{
    static bandPool_t pool;
    return pool;
}

} // namespace

int32_t threadsFromSetting(const char* value, int32_t ideal)
{
    ideal = std::clamp(ideal, 1, maxRenderThreads);
    if (!value || !*value) return ideal;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || n < 1) return ideal;
    if (errno == ERANGE || n > maxRenderThreads) return maxRenderThreads;
    return static_cast<int32_t>(n);
}

int32_t renderThreads()
{
    if (const int32_t n = overrideThreads.load(); n > 0) return n;
    return threadsFromSetting(std::getenv("LUMORA_THREADS"), QThread::idealThreadCount());
}

void setRenderThreads(int32_t n) { overrideThreads.store(std::clamp(n, 0, maxRenderThreads)); }

std::vector<QRect> imageBands(QSize size, int32_t threads)
{
    const int32_t w = std::max(size.width(), 0), h = std::max(size.height(), 0);
    const int32_t n = std::clamp(std::min(threads, h / minBandRows), 1, maxRenderThreads);
    std::vector<QRect> bands;
    bands.reserve(size_t(n));
    // Rows shared out evenly, the first bands taking the remainder.
    int32_t top = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t rows = h / n + (i < h % n ? 1 : 0);
        bands.emplace_back(0, top, w, rows);
        top += rows;
    }
    return bands;
}

std::vector<QRect> evenCostBands(int32_t width, const std::vector<int64_t>& rowCost, int32_t n)
{
    const int32_t h = int32_t(std::min<size_t>(rowCost.size(), size_t(INT32_MAX)));
    n = std::clamp(std::min(n, h / minBandRows), 1, maxRenderThreads);
    // before[y]: the cost of the rows above row y.
    std::vector<int64_t> before(size_t(h) + 1, 0);
    for (int32_t y = 0; y < h; ++y) before[size_t(y) + 1] = before[size_t(y)] + std::max<int64_t>(rowCost[size_t(y)], 0);
    const int64_t total = before[size_t(h)];
    std::vector<QRect> bands;
    int32_t top = 0;
    for (int32_t k = 1; k <= n; ++k) {
        int32_t bottom = h;  // one past the band's last row
        if (k < n) {
            // The first row whose cost above reaches k/n of the total, held
            // so that this band and the ones below keep minBandRows each.
            const int64_t goal = total / n * k + total % n * k / n;
            bottom = int32_t(std::lower_bound(before.begin(), before.end(), goal) - before.begin());
            bottom = std::clamp(bottom, top + minBandRows, h - (n - k) * minBandRows);
        }
        bands.emplace_back(0, top, std::max(width, 0), bottom - top);
        top = bottom;
    }
    return bands;
}

QImage largeImage(QSize size, QImage::Format format)
{
#ifdef __linux__
    const int32_t depth = QImage::toPixelFormat(format).bitsPerPixel();
    const int64_t bytesPerLine = ((int64_t(std::max(size.width(), 0)) * depth + 31) / 32) * 4;
    const int64_t bytes = bytesPerLine * std::max(size.height(), 0);
    constexpr int64_t page = int64_t(2) << 20;
    if (depth > 0 && bytes >= 4 * page && bytes <= (int64_t(1) << 40)) {
        const size_t rounded = size_t((bytes + page - 1) / page * page);
        if (void* p = std::aligned_alloc(size_t(page), rounded)) {
            madvise(p, rounded, MADV_HUGEPAGE);
            QImage image(static_cast<uchar*>(p), size.width(), size.height(), qsizetype(bytesPerLine), format,
                         [](void* q) { std::free(q); }, p);
            if (!image.isNull()) return image;
            std::free(p);
        }
    }
#endif
    return QImage(size, format);
}

void runConcurrently(int32_t n, const std::function<void(int32_t)>& job)
{
    if (n <= 0) return;
    std::mutex m;
    std::condition_variable finished;
    int32_t left = n - 1;
    std::vector<std::function<void()>> jobs;
    for (int32_t i = 1; i < n; ++i)
        jobs.emplace_back([&, i] {
            job(i);
            std::lock_guard lock(m);
            if (--left == 0) finished.notify_one();
        });
    if (!jobs.empty()) bandPool().start(std::move(jobs), size_t(n - 1));
    job(0);
    std::unique_lock lock(m);
    finished.wait(lock, [&] { return left == 0; });
}

void runOnThreads(int32_t n, int32_t threads, const std::function<void(int32_t)>& job)
{
    if (n <= 0) return;
    threads = std::clamp(std::min(threads, n), 1, maxRenderThreads);
    std::atomic<int32_t> next{1};
    runConcurrently(threads, [&](int32_t t) {
        if (t == 0) job(0);
        for (int32_t i = next++; i < n; i = next++) job(i);
    });
}

bool makeAhead(int32_t n, int32_t ahead, const std::function<void(int32_t)>& make,
               const std::function<bool(int32_t)>& take)
{
    if (n <= 0) return true;
    ahead = std::max(ahead, 1);
    const int32_t helpers = std::clamp(std::min(renderThreads() - 1, n - 1), 0, maxRenderThreads - 1);
    if (helpers == 0) {
        for (int32_t i = 0; i < n; ++i) {
            make(i);
            if (!take(i)) return false;
        }
        return true;
    }
    std::mutex m;
    std::condition_variable changed;
    std::vector<char> made(size_t(n), 0);
    int32_t next = 0;      // the first not yet claimed
    int32_t taken = 0;     // how many the calling thread has taken
    int32_t running = helpers;
    bool stop = false;
    // The next one to make when it may be made now (called under the lock).
    auto claimable = [&] { return !stop && next < n && next < taken + ahead; };
    auto claim = [&]() -> int32_t { return claimable() ? next++ : -1; };
    auto done = [&](int32_t i) {
        std::lock_guard lock(m);
        made[size_t(i)] = 1;
        changed.notify_all();
    };
    std::vector<std::function<void()>> jobs;
    for (int32_t t = 0; t < helpers; ++t)
        jobs.emplace_back([&] {
            std::unique_lock lock(m);
            for (;;) {
                int32_t i = -1;
                changed.wait(lock, [&] { return stop || next >= n || (i = claim()) >= 0; });
                if (i < 0) break;
                lock.unlock();
                make(i);
                done(i);
                lock.lock();
            }
            --running;
            changed.notify_all();
        });
    bandPool().start(std::move(jobs), size_t(helpers));
    bool ok = true;
    for (int32_t i = 0; i < n && ok; ++i) {
        std::unique_lock lock(m);
        // Rather than wait for piece i, the calling thread makes the next
        // piece nobody has started (piece i itself when that is still free),
        // so that it draws its share when taking is cheap.
        while (made[size_t(i)] == 0) {
            const int32_t j = claim();
            if (j < 0) {
                changed.wait(lock, [&] { return made[size_t(i)] != 0 || claimable(); });
                continue;
            }
            lock.unlock();
            make(j);
            done(j);
            lock.lock();
        }
        lock.unlock();
        ok = take(i);
        lock.lock();
        ++taken;
        if (!ok) stop = true;
        changed.notify_all();
    }
    std::unique_lock lock(m);
    stop = true;
    changed.notify_all();
    changed.wait(lock, [&] { return running == 0; });
    return ok;
}

void paintInBands(QImage& target, const std::vector<QRect>& bands,
                  const std::function<void(QImage& image, const QRect& band)>& paintBand, bool blank)
{
    if (bands.empty()) return;
    if (bands.size() == 1) {
        paintBand(target, bands[0]);
        return;
    }
    // The tallest band is painted on the target, the others on copies taken
    // before any band is painted (a painter may write into other bands' rows).
    const size_t onTarget = size_t(std::max_element(bands.begin(), bands.end(), [](const QRect& a, const QRect& b) {
                                       return a.height() < b.height();
                                   }) - bands.begin());
    std::vector<QImage> copies(bands.size());
    for (size_t i = 0; i < bands.size(); ++i) {
        if (i == onTarget) continue;
        copies[i] = largeImage(target.size(), target.format());
        if (copies[i].isNull()) {
            // No memory for a copy: one pass over the whole image instead.
            paintBand(target, target.rect());
            return;
        }
        if (!blank) copyRect(copies[i], bands[i].topLeft(), target, bands[i]);
    }
    const int32_t n = int32_t(bands.size()), threads = renderThreads();
    runOnThreads(n, threads, [&](int32_t i) {
        paintBand(size_t(i) == onTarget ? target : copies[size_t(i)], bands[size_t(i)]);
    });
    // Each copy gives back its own rows (and its memory) on the threads.
    runOnThreads(n, threads, [&](int32_t i) {
        QImage& copy = copies[size_t(i)];
        if (copy.isNull()) return;
        copyRect(target, bands[size_t(i)].topLeft(), copy, bands[size_t(i)]);
        copy = QImage();
    });
}

} // namespace render
