// The picture window: opening a 4000 × 3000 JPEG up to its first display
// (read, 1/8 decode, the scale choice, orientation, resampling, the widget
// painted), and the redraw while a clip's handle is dragged.
#include "benchmain.h"

#include "samples/samplepictures.h"
#include "panels/picturewindow.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString& bigJpeg()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("big.jpg"));
        const std::vector<uint8_t> bytes = samples::encodeJpeg(samples::samplePattern(4000, 3000));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }
    return path;
}

void BM_OpenBigJpegToFirstDisplay(benchmark::State& state)
{
    const QString path = bigJpeg();
    settings::TParams params;
    for (auto _ : state) {
        panels::TPict pict(params, ui::hostedPictureFile);
        pict.resize(pict.preferredClientSize());
        if (!pict.openFile(path)) state.SkipWithError("the picture did not open");
        pict.show();
        QImage shot(pict.size(), QImage::Format_RGB32);
        pict.render(&shot);
        if (shot.pixel(pict.view->x() + 50, pict.view->y() + 50) == QColor(0x80, 0x80, 0x80).rgb())
            state.SkipWithError("the picture was not drawn");
        benchmark::DoNotOptimize(shot.bits());
    }
}
BENCHMARK(BM_OpenBigJpegToFirstDisplay)->Unit(benchmark::kMillisecond);

void BM_ClipHandleDragRedraw(benchmark::State& state)
{
    settings::TParams params;
    panels::TPict pict(params, ui::hostedPictureFile);
    pict.resize(pict.preferredClientSize());
    pict.openFile(bigJpeg());
    pict.show();
    pict.applyZoom(0.25);  // 1000 × 750 shown, larger than the view
    pict.setTool(panels::pictTool_t::rectangle);
    pict.view->press({100, 100});
    pict.view->release({100, 100});
    pict.view->press({400, 300});
    pict.view->release({400, 300});
    pict.setTool(panels::pictTool_t::pointer);
    QImage shot(pict.view->viewport()->size(), QImage::Format_RGB32);
    pict.view->press({400, 300});  // the bottom-right handle
    int32_t k = 0;
    for (auto _ : state) {
        pict.view->move({400 + k % 50, 300 + k % 30}, true);
        pict.view->viewport()->render(&shot);
        benchmark::DoNotOptimize(shot.bits());
        ++k;
    }
    pict.view->release({400, 300});
    if (model::visibleClips(pict.clips()).size() != 1) state.SkipWithError("the clip was not drawn");
}
BENCHMARK(BM_ClipHandleDragRedraw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return benchmarks::runWithWidgets(argc, argv); }
