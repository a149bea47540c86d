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

void paintInBands(QImage& target, const std::vector<QRect>& bands,
                  const std::function<void(QImage& image, const QRect& band)>& paintBand)
{
    if (bands.empty()) return;
    if (bands.size() == 1) {
        paintBand(target, bands[0]);
        return;
    }
    // The other bands' copies are taken before any band is painted: the
    // first band's painter may write into their rows of the target.
    std::vector<QImage> copies(bands.size());
    for (size_t i = 1; i < bands.size(); ++i) {
        copies[i] = QImage(target.size(), target.format());
        if (copies[i].isNull()) {
            // No memory for a copy: one pass over the whole image instead.
            paintBand(target, target.rect());
            return;
        }
        copyRect(copies[i], bands[i].topLeft(), target, bands[i]);
    }
    runConcurrently(int32_t(bands.size()), [&](int32_t i) {
        paintBand(i == 0 ? target : copies[size_t(i)], bands[size_t(i)]);
    });
    for (size_t i = 1; i < bands.size(); ++i) copyRect(target, bands[i].topLeft(), copies[i], bands[i]);
}

} // namespace render
