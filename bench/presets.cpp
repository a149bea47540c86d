// Speed of the preset editors: opening each editor in its floating window,
// Save with the lists built again, and Save of a new light direction with
// the repaint of one and of three documents of 1,000 shadowed items.
#include "../tests/render/docbuilder.h"
#include "app/mainwindow.h"
#include "benchmain.h"
#include "canvas/sandbox.h"
#include "model/itemlist.h"
#include "ui/hostwindow.h"
#include "ui/preseteditors.h"
#include "ui/shadoweditor.h"

#include <QTemporaryDir>

#include <memory>
#include <random>

namespace {

struct shell_t {
    QTemporaryDir cfg;
    std::unique_ptr<app::TForm1> w;
    shell_t()
    {
        qputenv("LUMORA_CONFIG_DIR", cfg.path().toLocal8Bit());
        w = std::make_unique<app::TForm1>();
        w->resize(1000, 760);
        w->show();
        w->untitledTimer().stop();
        w->setupPanelTimer().stop();
    }
    ~shell_t() { w->confirmExit(); }
    ui::THostWindow* host(int32_t code) const
    {
        return ui::hostedKind(code)->host == ui::hostId_t::formX ? w->TFormX() : w->TFormY();
    }
};

void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

const int32_t editorCodes[] = {ui::hostedLineWeights, ui::hostedLinePatterns, ui::hostedLineAngles,
                               ui::hostedTextAngles,  ui::hostedFontSizes,    ui::hostedShadows};
const char* const editorNames[] = {"weights", "patterns", "line angles", "text angles", "font sizes", "shadows"};

// Opening an editor (its frame, rows, strip and, for shadows, the sample) and closing it.
void BM_openEditor(benchmark::State& state)
{
    shell_t s;
    s.w->openUntitledIfNone();
    const int32_t code = editorCodes[state.range(0)];
    for (auto _ : state) {
        s.w->openHosted(code, QString());
        s.host(code)->rightClicked();
        flush();
    }
    state.SetLabel(editorNames[state.range(0)]);
}
BENCHMARK(BM_openEditor)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Save of the weights with the line panel's lists built again and the table written.
void BM_saveWeights(benchmark::State& state)
{
    shell_t s;
    s.w->openUntitledIfNone();
    s.w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    int32_t k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.w->openHosted(ui::hostedLineWeights, QString());
        auto* e = dynamic_cast<ui::TThickness*>(s.w->TFormY()->hostedPanel());
        e->chooseRow(1 + k % 12);
        e->valueField->setText(QString::number(0.1 * (1 + k++ % 7)));
        state.ResumeTiming();
        s.w->TFormY()->leftClicked();
        flush();
    }
}
BENCHMARK(BM_saveWeights)->Unit(benchmark::kMillisecond);

// Save of a new light direction and the repaint of every open document, each
// holding 1,000 items with soft shadows.
void BM_saveLightDirection(benchmark::State& state)
{
    shell_t s;
    std::mt19937 rng(7);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
    for (int64_t d = 0; d < state.range(0); ++d) {
        canvas::TSandbox* doc = s.w->openDocumentWindow(QString());
        for (int32_t i = 0; i < 1000; ++i) {
            const int32_t x = rnd(20, 700), y = rnd(20, 950), sz = rnd(10, 50);
            model::item_t* it = testdoc::addShape(doc->items(), model::typeRectangle,
                                                  {{x, y}, {x + sz, y}, {x + sz, y + sz}, {x, y + sz}}, 0xC0E0FF,
                                                  0x204080, 0.25);
            it->shadowElevation = 85;
            it->shadowFade = 85;
            it->shadowLightness = 85;
        }
        doc->repaintAll(false);
    }
    int32_t light = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.w->openHosted(ui::hostedShadows, QString());
        auto* e = dynamic_cast<ui::TShadow*>(s.w->TFormY()->hostedPanel());
        light = (light + 1) % 4;
        e->chooseLight(light);
        state.ResumeTiming();
        s.w->TFormY()->leftClicked();
        s.w->applyLightDirection();
        flush();
    }
    state.SetLabel(std::to_string(state.range(0)) + " documents");
}
BENCHMARK(BM_saveLightDirection)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return benchmarks::runWithWidgets(argc, argv); }
