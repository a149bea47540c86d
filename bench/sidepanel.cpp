// Speed of the side panel: one panel switch in the main window, building a
// pick list and drawing its rows, and one Back step of the step history.
// With --gallery it shows every pick list with its drawn rows instead (a
// page to look at the samples on).
#include "app/mainwindow.h"
#include "panels/picklistwidget.h"
#include "ui/sidepanel.h"
#include "model/itemlist.h"
#include "model/history.h"
#include "settings/store.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using panels::listKind_t;

// Settings whose every preset table and colour slot holds a listed entry.
std::unique_ptr<settings::TParams> fullParams(settings::memoryStore_t& store)
{
    auto p = std::make_unique<settings::TParams>(&store);
    p->initSettings();
    for (int32_t i = 0; i < settings::presetRows; ++i) {
        const QString name = QStringLiteral("Preset %1").arg(i + 1);
        p->customWidths[i].name = name;
        p->customWidths[i].value = 0.2 * (i + 1);
        p->customWidths[i].pixels = 1 + i;
        p->customWidths[i].listed = 1;
        auto& pat = p->customPatterns[i];
        pat.name = name;
        pat.count = 2;
        pat.segments[0] = 1.0 + 0.5 * i;
        pat.segments[1] = 0.8;
        pat.listed = 1;
        for (auto* t : {&p->customDirections, &p->customAngles, &p->customSizes}) {
            (*t)[i].name = name;
            (*t)[i].value = 5 + 7 * i;
            (*t)[i].listed = 1;
        }
        p->customShadows[i] = {name, 20 + 10 * i, 10 + 5 * i, 90 + 5 * i, 0, 0, 1};
        p->savedColors[i] = 0x102030 * (i + 1) & 0xFFFFFF;
    }
    p->dialogColors.clear();
    for (int32_t k = 0; k < settings::dialogColorCount; ++k)
        p->dialogColors << QStringLiteral("color%1=%2").arg(settings::rowLetter(k + 1)).arg(0x0A1B2C * (k + 1) & 0xFFFFFF, 0, 16);
    return p;
}

constexpr listKind_t allKinds[] = {listKind_t::colour,        listKind_t::fill,      listKind_t::weight,
                                   listKind_t::frameWeight,   listKind_t::pattern,   listKind_t::lineDirection,
                                   listKind_t::textAngle,     listKind_t::fontSize,  listKind_t::shadow,
                                   listKind_t::surface};
const char* const kindNames[] = {"Color", "Fill Color", "Weight", "Outline Weight", "Pattern", "Direction",
                                 "Text Angle", "Font Size", "Shadow", "Surface"};

// Rebuilds the list from the settings and draws a hundred custom rows (the
// tables' custom entries over and over) as the open list would.
void BM_buildListWith100CustomRows(benchmark::State& state)
{
    settings::memoryStore_t store;
    auto p = fullParams(store);
    const listKind_t kind = allKinds[state.range(0)];
    panels::pickListBox_t list(kind, *p);
    list.setSampleColour(0x0000C0);
    QImage rows(panels::pickListWidth, 16 * 100, QImage::Format_RGB32);
    for (auto _ : state) {
        const panels::builtList_t& b = list.rebuild();
        const int32_t first = panels::firstCustomIndex(kind);
        const int32_t customs = static_cast<int32_t>(b.entries.size()) - first;
        QPainter painter(&rows);
        for (int32_t k = 0; k < 100; ++k) {
            const panels::pickEntry_t& e = b.entries[customs > 0 ? first + k % customs : k % b.entries.size()];
            panels::drawPickRow(painter, QRect(0, 16 * k, panels::pickListWidth, 16), kind, e, list.rowStyle(), Qt::white,
                            Qt::black);
        }
        painter.end();
        benchmark::DoNotOptimize(rows.constBits());
    }
    state.SetLabel(kindNames[state.range(0)]);
}
BENCHMARK(BM_buildListWith100CustomRows)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);

struct shell_t {
    QTemporaryDir cfg;
    std::unique_ptr<app::TForm1> w;
    canvas::TSandbox* d = nullptr;
    shell_t()
    {
        qputenv("LUMORA_CONFIG_DIR", cfg.path().toLocal8Bit());
        w = std::make_unique<app::TForm1>();
        w->resize(1000, 760);
        w->show();
        w->untitledTimer().stop();
        w->setupPanelTimer().stop();
        w->openUntitledIfNone();
        d = w->activeDocument();
    }
    ~shell_t() { w->confirmExit(); }
};

void BM_switchPanel(benchmark::State& state)
{
    shell_t s;
    int32_t k = 0;
    const int32_t codes[] = {ui::panelNextLine, 105, ui::panelNextText, ui::panelInsert};
    for (auto _ : state) {
        s.w->showPanel(codes[k++ % 4], {.applyToWindow = true});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_switchPanel)->Unit(benchmark::kMillisecond);

// A document of n rectangles (10,000 packed closer, to stay on the page);
// the last one made.
model::item_t* addRectangles(shell_t& s, int32_t n)
{
    const int32_t columns = n <= 500 ? 25 : 100, pitch = n <= 500 ? 30 : 7, side = n <= 500 ? 20 : 5;
    model::item_t* last = nullptr;
    for (int32_t i = 0; i < n; ++i) {
        model::item_t* it = model::newItem(s.d->items(), model::typeRectangle);
        const int32_t x = 10 + (i % columns) * pitch, y = 10 + (i / columns) * pitch;
        it->x1 = it->boxLeft = x;
        it->y1 = it->boxTop = y;
        it->x2 = it->boxRight = x + side;
        it->y2 = it->boxBottom = y + side;
        for (auto [px, py] : {std::pair{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}}) model::addPoint(it, px, py);
        model::recordNew(s.d->items(), it);
        last = it;
    }
    return last;
}

// Back and Forward between the last two panels shown; only Back is timed.
// The events a step posts (layout, freeing the old panel) are handled as the
// event loop would before the next frame; left queued, they would make every
// later step slower.
void timeStepBack(benchmark::State& state, shell_t& s)
{
    for (auto _ : state) {
        s.w->stepBack();
        QCoreApplication::sendPostedEvents();
        state.PauseTiming();
        s.w->stepForward();
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
}

// One Back step from a shape tool onto a fine-tune step whose tagged items
// are selected again, in a document of 500 or 10,000 items.
void BM_stepBack(benchmark::State& state)
{
    shell_t s;
    model::item_t* last = addRectangles(s, static_cast<int32_t>(state.range(0)));
    s.w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    model::selectOnly(s.d->items(), last);
    s.w->showPanel(ui::panelRectangle, {.applyToWindow = true});
    s.w->showPanel(105, {.applyToWindow = true});
    timeStepBack(state, s);
}
BENCHMARK(BM_stepBack)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond);

// One Back step from a shape tool to the line tool, panels of different
// kinds: the line panel is built anew, the canvas keeps its items.
void BM_stepBackToTheLineTool(benchmark::State& state)
{
    shell_t s;
    addRectangles(s, static_cast<int32_t>(state.range(0)));
    s.w->showPanel(ui::panelNextLine, {.applyToWindow = true});
    s.w->showPanel(105, {.applyToWindow = true});
    timeStepBack(state, s);
}
BENCHMARK(BM_stepBackToTheLineTool)->Arg(500)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every list closed with an entry chosen, and under it all its rows as the
// open list draws them.
class rowsView_t : public QWidget {
public:
    explicit rowsView_t(panels::pickListBox_t* list) : list_(list) { setFixedSize(panels::pickListWidth, 16 * list->count()); }
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int32_t i = 0; i < list_->count(); ++i)
            panels::drawPickRow(p, QRect(0, 16 * i, width(), 16), list_->kind(), *list_->entryAt(i), list_->rowStyle(),
                            i == list_->index() ? QColor(0x30, 0x60, 0xC0) : QColor(Qt::white),
                            i == list_->index() ? QColor(Qt::white) : QColor(Qt::black));
    }
private:
    panels::pickListBox_t* list_;
};

int gallery()
{
    static settings::memoryStore_t store;
    static auto p = fullParams(store);
    for (auto& r : p->customShadows) r.listed = 0;
    p->customShadows[0] = {QStringLiteral("Deep"), 90, 40, 60, 0, 0, 1};
    p->customShadows[0].listed = 1;
    auto* page = new QWidget;
    page->setWindowTitle(QStringLiteral("Pick lists"));
    auto* grid = new QGridLayout(page);
    const int32_t chosen[] = {9, 0, 3, 5, 2, 2, 1, 4, 3, 1};
    for (int32_t i = 0; i < 10; ++i) {
        auto* list = new panels::pickListBox_t(allKinds[i], *p, page);
        list->setSampleColour(0x0000C0);
        list->setFixedWidth(panels::pickListWidth + 20);
        list->selectIndex(chosen[i]);
        grid->addWidget(new QLabel(QString::fromLatin1(kindNames[i])), 0, i);
        grid->addWidget(list, 1, i);
        grid->addWidget(new rowsView_t(list), 2, i, Qt::AlignTop);
    }
    page->show();
    return qApp->exec();
}

} // namespace

int main(int argc, char** argv)
{
    const bool showGallery = argc > 1 && std::strcmp(argv[1], "--gallery") == 0;
    if (!showGallery && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (showGallery) return gallery();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
