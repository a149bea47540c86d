// Pictures: a repaint of a page holding 20 cached pictures drawn 800 × 600
// (the cache only loaded), and the first drawing of a 4000 × 3000 JPEG drawn
// 800 × 600 (decode, crop, resample, adjust), against the same work with the
// library's 1/4 scaled decode in place of the full one. Then the same with
// transparent PNGs: inserting a 4000 × 3000 one to its first display, and
// repainting 20 cached ones over what lies beneath.
#include "../tests/render/docbuilder.h"
#include "render/adjust.h"
#include "render/decode.h"
#include "render/picture.h"
#include "render/renderpass.h"
#include "render/resample.h"
#include "samples/samplepictures.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <map>

using namespace render;

namespace {

const std::vector<uint8_t>& jpegOf(int32_t w, int32_t h)
{
    static std::map<std::pair<int32_t, int32_t>, std::vector<uint8_t>> made;
    auto& b = made[{w, h}];
    if (b.empty()) b = samples::encodeJpeg(samples::samplePattern(w, h));
    return b;
}

// A page with n pictures of w × h pixels, each drawn 800 × 600, overlapping.
void buildPictures(model::itemList_t& doc, int32_t n, int32_t w, int32_t h)
{
    testdoc::addHeader(doc, 1600, 1600, 1.0, 1);
    testdoc::addPictureData(doc, 1, model::pictureJpeg, jpegOf(w, h));
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = 10 + (i % 5) * 190, y = 10 + (i / 5) * 240;
        model::item_t* pic = testdoc::addPicture(doc, 1, model::clipWhole, {0, 0, w - 1, h - 1}, {x, y, x + 800, y + 600});
        pic->saturation = 20;
    }
}

renderView_t viewOf(model::itemList_t& doc)
{
    renderView_t view;
    view.items = &doc;
    view.Image1 = newCanvasImage(1600, 1600);
    return view;
}

void BM_RepaintCachedPictures(benchmark::State& state)
{
    model::itemList_t doc;
    buildPictures(doc, 20, 800, 600);
    renderView_t view = viewOf(doc);
    repaintAll(view, false);  // fills the caches
    const int64_t decoded = pictureDecodeCount();
    for (auto _ : state) repaintAll(view, false);
    if (pictureDecodeCount() != decoded) state.SkipWithError("a repaint decoded again");
    model::freeList(doc);
}
BENCHMARK(BM_RepaintCachedPictures)->Unit(benchmark::kMillisecond);

void BM_FirstDrawOfLargeJpeg(benchmark::State& state)
{
    model::itemList_t doc;
    buildPictures(doc, 1, 4000, 3000);
    renderView_t view = viewOf(doc);
    model::item_t* pic = doc.tail;
    for (auto _ : state) {
        dropPictureCache(pic);
        repaintAll(view, false);
    }
    model::freeList(doc);
}
BENCHMARK(BM_FirstDrawOfLargeJpeg)->Unit(benchmark::kMillisecond);

pixelBuffer_t bufferOf(QImage& image)
{
    return {image.bits(), image.width(), image.height(), int32_t(image.bytesPerLine()), 4};
}

// The same picture through decode at 1/n and the resampler: what a scaled
// decode would save (its pixels differ from the full decode's).
void BM_LargeJpegByScaledDecode(benchmark::State& state)
{
    const auto& b = jpegOf(4000, 3000);
    const int32_t n = int32_t(state.range(0));
    for (auto _ : state) {
        QImage decoded = decodeJpeg(b.data(), b.size(), n);
        QImage target(800, 600, QImage::Format_RGB32);
        resampleInto(bufferOf(decoded), bufferOf(target), filterMitchell);
        adjustPicture(target, {20, 0, 0});
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_LargeJpegByScaledDecode)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_DecodeLargeJpeg(benchmark::State& state)
{
    const auto& b = jpegOf(4000, 3000);
    for (auto _ : state) benchmark::DoNotOptimize(decodeJpeg(b.data(), b.size(), int32_t(state.range(0))).constBits());
}
BENCHMARK(BM_DecodeLargeJpeg)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

const std::vector<uint8_t>& transparentPngOf(int32_t w, int32_t h)
{
    static std::map<std::pair<int32_t, int32_t>, std::vector<uint8_t>> made;
    auto& b = made[{w, h}];
    if (b.empty()) b = samples::encodePng(samples::sampleTransparentPattern(w, h));
    return b;
}

// A transparent 4000 × 3000 PNG from its bytes to the canvas at 100 %: the
// decode, and the first drawing of the entire image (its pixels copied and
// laid over the page) into a 1600 × 1600 view of it.
void BM_InsertLargePngToFirstDisplay(benchmark::State& state)
{
    const auto& bytes = transparentPngOf(4000, 3000);
    for (auto _ : state) {
        model::itemList_t doc;
        testdoc::addHeader(doc, 1600, 1600, 1.0, 1);
        testdoc::addPictureData(doc, 1, model::picturePng, bytes);
        testdoc::addPicture(doc, 1, model::clipWhole, {0, 0, 3999, 2999}, {20, 20, 4020, 3020});
        renderView_t view = viewOf(doc);
        repaintAll(view, false);
        benchmark::DoNotOptimize(view.Image1.constBits());
        model::freeList(doc);
    }
}
BENCHMARK(BM_InsertLargePngToFirstDisplay)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RepaintCachedTransparentPictures(benchmark::State& state)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 1600, 1600, 1.0, 1);
    testdoc::addPictureData(doc, 1, model::picturePng, transparentPngOf(800, 600));
    for (int32_t i = 0; i < 20; ++i) {
        const int32_t x = 10 + (i % 5) * 190, y = 10 + (i / 5) * 240;
        testdoc::addPicture(doc, 1, model::clipWhole, {0, 0, 799, 599}, {x, y, x + 800, y + 600});
    }
    renderView_t view = viewOf(doc);
    repaintAll(view, false);
    const int64_t decoded = pictureDecodeCount();
    for (auto _ : state) repaintAll(view, false);
    if (pictureDecodeCount() != decoded) state.SkipWithError("a repaint decoded again");
    model::freeList(doc);
}
BENCHMARK(BM_RepaintCachedTransparentPictures)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
