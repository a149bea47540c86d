// Speed of the guidance page that follows every item a user draws: the page
// built in the main window's side panel and drawn once, and the whole step
// of drawing a star with its page.
#include "app/mainwindow.h"
#include "benchmain.h"
#include "canvas/modes.h"
#include "model/history.h"
#include "ui/guidancepanel.h"
#include "ui/sidepanel.h"

#include <QTemporaryDir>

#include <memory>

namespace {

struct shell_t {
    QTemporaryDir cfg;
    std::unique_ptr<app::TForm1> w;
    canvas::TSandbox* d = nullptr;

    shell_t()
    {
        qputenv("LUMORA_CONFIG_DIR", cfg.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", cfg.filePath(QStringLiteral("data")).toLocal8Bit());
        w = std::make_unique<app::TForm1>();
        w->show();
        w->untitledTimer().stop();
        w->setupPanelTimer().stop();
        w->openUntitledIfNone();
        d = w->activeDocument();
    }
    ~shell_t()
    {
        w->confirmExit();
        if (d) model::setModified(d->items(), false);
    }
    void click(int x, int y)
    {
        const geometry::point_t s = d->toScreen({x, y});
        d->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(s.x, s.y));
        d->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(s.x, s.y));
        d->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(s.x, s.y));
    }
};

// The star's page replacing the star panel: the page built, laid out and
// drawn once (as the screen would after the event).
void BM_showStarPage(benchmark::State& state)
{
    shell_t s;
    s.w->runPanelCommand(canvas::toolStar);
    QPixmap shown(ui::sidePanel_t::panelWidth, 800);
    for (auto _ : state) {
        state.PauseTiming();
        s.w->showPanel(canvas::toolStar, {});
        state.ResumeTiming();
        s.w->showGuidance(1055);
        QWidget* page = s.w->codePanel();
        page->render(&shown);
        benchmark::DoNotOptimize(page);
    }
}
BENCHMARK(BM_showStarPage)->Unit(benchmark::kMillisecond);

// Three clicks of the star tool: the star created, drawn, and its page shown.
void BM_drawStarWithItsPage(benchmark::State& state)
{
    shell_t s;
    s.w->runPanelCommand(canvas::toolStar);
    QPixmap shown(ui::sidePanel_t::panelWidth, 800);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.w->showPanel(canvas::toolStar, {});
        const int x = 40 + (n * 37) % 600, y = 60 + (n * 53) % 500;
        ++n;
        state.ResumeTiming();
        s.click(x, y);
        s.click(x + 40, y);
        s.click(x + 20, y);
        s.w->codePanel()->render(&shown);
    }
    state.counters["items"] = n;
}
BENCHMARK(BM_drawStarWithItsPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return benchmarks::runWithWidgets(argc, argv); }
