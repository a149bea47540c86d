#include "app/viewcommands.h"

#include "app/mainwindow.h"
#include "canvas/gridedit.h"
#include "model/grid.h"
#include "model/itemlist.h"
#include "ui/dialogs.h"
#include "ui/guidancetexts.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace app {

namespace {

// The direction kind of a pair of flags: none, horizontal, vertical, both.
int32_t kindOf(int32_t x, int32_t y) { return (x ? model::gridHorizontal : 0) + (y ? model::gridVertical : 0); }

// The zoom menu's entry checked before any document sets the zoom (100 %).
constexpr int32_t startZoomItem = 3;

} // namespace

viewCommands_t::viewCommands_t(TForm1& shell) : shell_(shell) {}

void viewCommands_t::buildZoomMenu(QMenuBar* bar)
{
    menu_.menuZoom = bar->addMenu(QStringLiteral("&Zoom"));
    auto* zoomGroup = new QActionGroup(&shell_);
    zoomGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < static_cast<int>(menu_.zoomItems.size()); ++i) {
        menu_.zoomItems[i] = menu_.menuZoom->addAction(QString::number(geometry::zoomPresets[i]) + QLatin1Char('%'),
                                                       &shell_, [this, i] { chooseZoom(i); });
        menu_.zoomItems[i]->setCheckable(true);
        zoomGroup->addAction(menu_.zoomItems[i]);
    }
    menu_.zoomItems[startZoomItem]->setChecked(true);
    menu_.menuZoom->addSeparator();
    QMenu* z = menu_.menuZoom;
    menu_.zoomIn = z->addAction(QStringLiteral("Zoom In"), &shell_, [this] { applyZoomStep(+1); });
    // Ctrl+= is the same key as Ctrl++ without Shift on most keyboards.
    menu_.zoomIn->setShortcuts({QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    menu_.zoomOut = z->addAction(QStringLiteral("Zoom Out"), &shell_, [this] { applyZoomStep(-1); });
    menu_.zoomOut->setShortcuts(QKeySequence::ZoomOut);
    menu_.actualSize = z->addAction(QStringLiteral("Actual Size"), &shell_, [this] { setZoom(1.0); });
    menu_.actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    z->addSeparator();
    menu_.fitPage = z->addAction(QStringLiteral("Fit Page"), &shell_, [this] {
        if (canvas::TSandbox* w = shell_.activeDocument()) w->fitPage();
    });
    menu_.fitPage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_9));
    menu_.fitSelection = z->addAction(QStringLiteral("Fit Selection"), &shell_, [this] {
        if (canvas::TSandbox* w = shell_.activeDocument()) w->fitSelection();
    });
    menu_.fitSelection->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_9));
    z->addSeparator();
    // The dotted fold lines of folded cards, on the screen only.
    menu_.foldLines = z->addAction(QStringLiteral("Fold Lines"), &shell_, [this](bool on) {
        if (canvas::TSandbox* w = shell_.activeDocument()) {
            w->view().showFoldLines = on;
            w->repaintAll(true);
        }
    });
    menu_.foldLines->setCheckable(true);
    menu_.foldLines->setChecked(true);
    // The fitting commands need a document, Fit Selection a selection too.
    QObject::connect(z, &QMenu::aboutToShow, &shell_, [this] {
        canvas::TSandbox* w = shell_.activeDocument();
        menu_.fitPage->setEnabled(w != nullptr);
        menu_.fitSelection->setEnabled(w && model::firstSelected(w->items()));
        menu_.foldLines->setEnabled(w != nullptr);
        menu_.foldLines->setChecked(!w || w->view().showFoldLines);
    });
}

void viewCommands_t::buildToolsMenu(QMenuBar* bar)
{
    viewMenu_t& m = menu_;
    m.menuTools = bar->addMenu(QStringLiteral("&Tools"));
    static const char* const kinds[4] = {"None", "Horizontal", "Vertical", "Both"};
    auto radio = [this](QMenu* menu, std::array<QAction*, 4>& items, void (viewCommands_t::*fn)(int32_t)) {
        auto* g = new QActionGroup(&shell_);
        for (int k = 0; k < 4; ++k) {
            items[k] = menu->addAction(QString::fromLatin1(kinds[k]), &shell_, [this, fn, k] { (this->*fn)(k); });
            items[k]->setCheckable(true);
            g->addAction(items[k]);
        }
    };
    m.menuGrid = m.menuTools->addMenu(QStringLiteral("Grid"));
    radio(m.menuGrid, m.gridItems, &viewCommands_t::gridCommand);
    m.menuGrid->addSeparator();
    m.gridCustomize = m.menuGrid->addAction(QStringLiteral("Customize..."), &shell_, [this] {
        if (shell_.openGridOptions(true)) shell_.showGuidance(ui::guidanceGrid);
    });
    m.menuReset = m.menuGrid->addMenu(QStringLiteral("Reset"));
    for (int k = model::gridHorizontal; k <= model::gridBoth; ++k)
        m.resetItems[k] =
            m.menuReset->addAction(QString::fromLatin1(kinds[k]), &shell_, [this, k] { resetGridCommand(k); });
    m.menuGrid->addSeparator();
    m.menuAnchors = m.menuGrid->addMenu(QStringLiteral("Anchors"));
    radio(m.menuAnchors, m.anchorItems, &viewCommands_t::anchorCommand);
    m.menuSnap = m.menuTools->addMenu(QStringLiteral("Snap"));
    radio(m.menuSnap, m.snapItems, &viewCommands_t::snapCommand);
    m.menuTools->addSeparator();
    // Opens the speed options (connected with the floating windows).
    m.speedItem = m.menuTools->addAction(QStringLiteral("Speed..."));
}

void viewCommands_t::zoomControlsChanged()
{
    shell_.procs()->showZoom(shell_.params()->currentZoom);
    updateZoomChecks();
}

void viewCommands_t::updateZoomChecks()
{
    for (QAction* a : menu_.zoomItems) a->setChecked(false);
    const int32_t i = geometry::zoomPresetIndex(shell_.params()->currentZoom);
    if (i >= 0) menu_.zoomItems[i]->setChecked(true);
}

void viewCommands_t::setZoom(double zoom)
{
    // The active document keeps the zoom; the controls show what it keeps.
    if (canvas::TSandbox* w = shell_.activeDocument()) {
        w->applyZoom(zoom);
        return;
    }
    shell_.params()->currentZoom = zoom;
    zoomControlsChanged();
}

void viewCommands_t::chooseZoom(int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(menu_.zoomItems.size())) return;
    setZoom(geometry::zoomPresets[index] / 100.0);
}

void viewCommands_t::applyZoomStep(int32_t direction)
{
    const int32_t z = model::roundHalfEven(shell_.params()->currentZoom * 100);
    const int32_t n = direction < 0 ? canvas::zoomStepOut(z) : canvas::zoomStepIn(z);
    if (n == z) return;
    setZoom(n / 100.0);
}

void viewCommands_t::setGridChecks(int32_t kind, bool pressToolbar)
{
    kind = std::clamp(kind, 0, model::gridBoth);
    for (int k = 0; k < 4; ++k) menu_.gridItems[k]->setChecked(k == kind);
    // Reset and Anchors mean something only with gridlines; Reset offers the
    // directions on show.
    menu_.menuAnchors->setEnabled(kind != 0);
    menu_.menuReset->setEnabled(kind != 0);
    menu_.resetItems[model::gridHorizontal]->setEnabled(kind & model::gridHorizontal);
    menu_.resetItems[model::gridVertical]->setEnabled(kind & model::gridVertical);
    menu_.resetItems[model::gridBoth]->setEnabled(kind == model::gridBoth);
    if (pressToolbar)
        shell_.procs()->setGridButton(kind ? canvas::toggle_t::pressed : canvas::toggle_t::released);
}

void viewCommands_t::setAnchorChecks(int32_t kind)
{
    kind = std::clamp(kind, 0, model::gridBoth);
    for (int k = 0; k < 4; ++k) menu_.anchorItems[k]->setChecked(k == kind);
}

void viewCommands_t::setSnapChecks(int32_t kind, bool pressToolbar)
{
    kind = std::clamp(kind, 0, model::gridBoth);
    for (int k = 0; k < 4; ++k) menu_.snapItems[k]->setChecked(k == kind);
    if (pressToolbar)
        shell_.procs()->setSnapButton(kind ? canvas::toggle_t::pressed : canvas::toggle_t::released);
}

void viewCommands_t::showDocument(const model::headerBody_t& hd)
{
    setGridChecks(kindOf(hd.showGridX, hd.showGridY), true);
    setAnchorChecks(kindOf(hd.showAnchorsX, hd.showAnchorsY));
    setSnapChecks(kindOf(hd.snapX, hd.snapY), true);
}

void viewCommands_t::showNewFileDefaults(const settings::defaults_t& d)
{
    setGridChecks(kindOf(d.showGridX, d.showGridY), true);
    setAnchorChecks(kindOf(d.showAnchorsX, d.showAnchorsY));
    setSnapChecks(kindOf(d.snapX, d.snapY), true);
}

void viewCommands_t::gridCommand(int32_t kind)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !w->header()) {
        setGridChecks(0, true);
        return;
    }
    w->grid().setGrid(kind);
    setGridChecks(kind, true);
    if (kind != 0) shell_.showGuidance(ui::guidanceGrid);
}

void viewCommands_t::anchorCommand(int32_t kind)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !w->header()) return;
    w->grid().setAnchors(kind);
    setAnchorChecks(kind);
    if (kind != 0) shell_.showGuidance(ui::guidanceAnchors);
}

void viewCommands_t::snapCommand(int32_t kind)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !w->header()) {
        setSnapChecks(0, true);
        return;
    }
    w->grid().setSnap(kind);
    setSnapChecks(kind, true);
    if (kind == model::gridBoth) shell_.showGuidance(ui::guidanceSnap);
}

void viewCommands_t::resetGridCommand(int32_t directions)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !w->header()) return;
    const QString question = QStringLiteral(
        "Make the distances between the gridlines equal?\r\n(Use 'Tools|Grid|Customize...' to set the default distance).");
    if (ui::dialogs().message(ui::msgKind_t::confirmation, question, ui::btnYes | ui::btnNo) != ui::btnYes) return;
    w->grid().resetGrid(directions);
    shell_.refreshUndoButtons();
}

void viewCommands_t::toolbarToggle(int32_t n, bool on)
{
    if (n == canvas::buttonGridlines) gridCommand(on ? model::gridBoth : 0);
    else if (n == canvas::buttonSnap) snapCommand(on ? model::gridBoth : 0);
}

} // namespace app
