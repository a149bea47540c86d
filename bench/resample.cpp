// Resampling speed: 1600 × 1600 to 800 × 800 and to 3200 × 3200 with the
// Mitchell and triangle filters, side by side with ImageMagick's
// single-threaded resize of the same picture (run as a separate process).
//
// Times are processor times (ours: this process; ImageMagick: the child
// processes), so that other work on a busy machine does not count. ImageMagick's
// time includes starting the program and reading and writing the picture, so
// the same command with a nearly free point sampling of the same output size
// is timed as well; the difference is its resize time. At the end a table
// compares ours with both.
#include "render/resample.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int32_t sourceSize = 1600;
const char* const convertPath = "/usr/bin/convert";

std::filesystem::path workDir()
{
    static const std::filesystem::path dir = [] {
        char tmpl[] = "/tmp/lumora-bench-resample-XXXXXX";
        const char* d = mkdtemp(tmpl);
        return std::filesystem::path(d ? d : "/tmp");
    }();
    return dir;
}

// A photo-like test picture: smooth gradients with sharp-edged shapes and noise.
render::bitmap24_t& sourcePicture()
{
    static render::bitmap24_t bmp = [] {
        render::bitmap24_t b;
        b.resize(sourceSize, sourceSize);
        uint32_t seed = 12345;
        for (int32_t y = 0; y < b.height; ++y) {
            uint8_t* r = b.row(y);
            for (int32_t x = 0; x < b.width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int noise = int(seed >> 28) - 8;
                const bool square = ((x / 100) + (y / 100)) % 2 == 0;
                r[3 * x] = uint8_t(std::clamp(x * 255 / b.width + noise, 0, 255));
                r[3 * x + 1] = uint8_t(std::clamp(y * 255 / b.height + noise, 0, 255));
                r[3 * x + 2] = uint8_t(square ? 230 : 20);
            }
        }
        return b;
    }();
    return bmp;
}

std::string sourceFile()
{
    static const std::string path = [] {
        const std::string p = (workDir() / "source.ppm").string();
        render::bitmap24_t& b = sourcePicture();
        if (FILE* f = std::fopen(p.c_str(), "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", b.width, b.height);
            for (int32_t y = 0; y < b.height; ++y) std::fwrite(b.row(y), 1, size_t(b.width) * 3, f);
            std::fclose(f);
        }
        return p;
    }();
    return path;
}

const char* filterName(int32_t f) { return f == render::filterMitchell ? "Mitchell" : "Triangle"; }

void BM_Resample(benchmark::State& state)
{
    const auto filter = int32_t(state.range(0));
    const auto size = int32_t(state.range(1));
    render::bitmap24_t& src = sourcePicture();
    render::bitmap24_t dst;
    for (auto _ : state) {
        const bool ok = render::resampleBitmap(src.view(), dst, size, size, filter);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(dst.pixels.data());
    }
    state.SetLabel(std::string("ours ") + filterName(filter));
}

// User and system time of every finished child process so far.
double childCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec) + double(u.ru_stime.tv_sec) +
           (double(u.ru_utime.tv_usec) + double(u.ru_stime.tv_usec)) / 1e6;
}

void runConvert(benchmark::State& state, const std::string& operation)
{
    const std::string in = sourceFile();
    const std::string out = (workDir() / "out.ppm").string();
    const std::string cmd = std::string(convertPath) + " -limit thread 1 " + in + " " + operation + " " + out;
    for (auto _ : state) {
        const double before = childCpuSeconds();
        if (std::system(cmd.c_str()) != 0) {
            state.SkipWithError("convert failed");
            break;
        }
        state.SetIterationTime(childCpuSeconds() - before);
    }
}

void BM_ImageMagick(benchmark::State& state)
{
    const auto filter = int32_t(state.range(0));
    const auto size = std::to_string(state.range(1));
    runConvert(state, std::string("-filter ") + filterName(filter) + " -resize " + size + "x" + size + "!");
    state.SetLabel(std::string("convert ") + filterName(filter));
}

// Same program start, decoding and encoding, but point sampling instead of filtering.
void BM_ImageMagickBaseline(benchmark::State& state)
{
    const auto size = std::to_string(state.range(1));
    runConvert(state, "-sample " + size + "x" + size + "!");
    state.SetLabel("convert -sample (start-up and file work only)");
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (int64_t f : {render::filterMitchell, render::filterTriangle})
        for (int64_t s : {800, 3200}) b->Args({f, s});
}

BENCHMARK(BM_Resample)->Apply(sizes)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ImageMagick)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);
BENCHMARK(BM_ImageMagickBaseline)
    ->Args({0, 800})
    ->Args({0, 3200})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(1.0);

// Keeps every run's processor time (ours: CPU column; ImageMagick: the
// manual time, which is its children's CPU time) for the table at the end.
class collectingReporter_t : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration) continue;
            const std::string name = r.benchmark_name();
            ms[name] = name.find("manual_time") != std::string::npos ? r.GetAdjustedRealTime()
                                                                     : r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    collectingReporter_t rep;
    benchmark::RunSpecifiedBenchmarks(&rep);

    std::printf("\nProcessor time per resize, 1600 x 1600 source (ratio = ours / ImageMagick's resize alone)\n");
    std::printf("%-10s %6s %10s %12s %12s %12s %10s\n", "filter", "size", "ours ms", "convert ms",
                "baseline ms", "resize ms", "ratio");
    for (int32_t f : {render::filterMitchell, render::filterTriangle}) {
        for (int s : {800, 3200}) {
            const std::string args = "/" + std::to_string(f) + "/" + std::to_string(s);
            const auto find = [&](const std::string& name) {
                const auto it = rep.ms.find(name);
                return it == rep.ms.end() ? -1.0 : it->second;
            };
            const double ours = find("BM_Resample" + args + "/min_time:1.000");
            const double im = find("BM_ImageMagick" + args + "/min_time:1.000/manual_time");
            const auto b = rep.ms.find("BM_ImageMagickBaseline/0/" + std::to_string(s) + "/min_time:1.000/manual_time");
            const double base = b == rep.ms.end() ? -1.0 : b->second;
            if (ours < 0 || im < 0) continue;
            const double net = base >= 0 ? im - base : im;
            // ratio: ours against ImageMagick's resize alone (start-up and file work taken off).
            std::printf("%-10s %6d %10.2f %12.2f %12.2f %12.2f %10.3f\n", filterName(f), s, ours, im, base, net,
                        net > 0 ? ours / net : 0.0);
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(workDir(), ec);
    benchmark::Shutdown();
    return 0;
}
