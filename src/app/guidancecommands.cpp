// The guidance pages in the side panel: when a page is shown, where its links
// lead, what its "Don't show this help page again." box changes, and the
// About panel of the Help menu.
#include "app/mainwindow.h"

#include "model/item.h"
#include "model/itemlist.h"
#include "ui/aboutpanel.h"
#include "ui/guidancepanel.h"

namespace app {

namespace {

// Selects the newest item of the window alone; false, and nothing selected,
// when the newest record is no item to select (undone, erased, being edited).
bool selectNewest(TForm1& f, canvas::TSandbox* w)
{
    if (!w) return false;
    model::item_t* it = w->items().tail;
    while (it && it->kind != model::kindItem) it = it->prev;
    const bool found = it && !it->hidden && !it->editing && it->itemType != model::typeDeletionMarker;
    model::selectOnly(w->items(), found ? it : nullptr);
    w->repaintAll(true);
    f.refreshSelectionState();
    return found;
}

bool hasSelection(canvas::TSandbox* w) { return w && model::firstSelected(w->items()); }

} // namespace

void TForm1::showGuidance(int32_t page)
{
    // A page whose flag is cleared leaves the panel showing as it is.
    if (!ui::isGuidance(page) || !guidanceWanted(page)) return;
    panels_->showPanel(page, {.onlyIfChanged = true});
}

void TForm1::attachGuidance(ui::TLinehelp* page)
{
    const int32_t code = page->page();
    page->setDontShow(!guidanceWanted(code));
    // The action waits for the panel timer: the click that asked for it
    // finishes before the page is replaced.
    page->onLink = [this, code](int32_t box) {
        panels_->runLater(code, [this, code, box] { runGuidanceLink(code, box); });
    };
    page->onDontShow = [this, code](bool ticked) { dontShowGuidance(code, ticked); };
}

void TForm1::runGuidanceLink(int32_t page, int32_t box)
{
    const ui::guidancePage_t g = ui::guidancePage(page);
    canvas::TSandbox* w = activeDocument();
    using K = ui::guidanceKind_t;
    if (g.kind == K::undo) {
        if (box == 1) undoCommand(false);
        else if (box == 3) undoCommand(true);
        panels_->showPanel(ui::panelInsert, {.applyToWindow = true});
        return;
    }
    if (g.kind != K::creation) return;
    switch (box) {
    case 2: runPanelCommand(g.tool); return;  // the tool's panel and the tool
    case 3:
        // The text's fine-tune panel works on what is selected, without selecting.
        if (g.fineTune == ui::panelText) return runPanelCommand(ui::panelText);
        panels_->showPanel(selectNewest(*this, w) ? g.fineTune : int32_t(ui::panelInsert), {.applyToWindow = true});
        return;
    case 5: {
        int32_t code = ui::panelInsert;
        if (selectNewest(*this, w)) code = guidanceWanted(g.manipulation) ? g.manipulation : g.fineTune;
        panels_->showPanel(code, {.applyToWindow = true});
        return;
    }
    default: return;
    }
}

void TForm1::dontShowGuidance(int32_t page, bool ticked)
{
    ui::setGuidanceWanted(*params_, page, !ticked);
    if (!ticked) return;
    const ui::guidancePage_t g = ui::guidancePage(page);
    using K = ui::guidanceKind_t;
    switch (g.kind) {
    case K::creation:
        // Typing goes on under the text-entry step; after a picture the
        // insert panel offers the next one.
        if (page == 1035) return panels_->runLater(ui::panelTextEntryGuided, [this] {
            panels_->showPanel(ui::panelTextEntryGuided, {});
        });
        if (g.tool == ui::panelPictureInsert) return panels_->switchLater(ui::panelInsert);
        return panels_->switchLater(g.tool);
    case K::manipulation:
        return panels_->switchLater(hasSelection(activeDocument()) ? g.fineTune : int32_t(ui::panelInsert));
    case K::afterPoint:
        // The points being placed stay: only the panel changes.
        return panels_->runLater(g.tool, [this, tool = g.tool] { panels_->showPanel(tool, {.onlyIfChanged = true}); });
    case K::grid: return panels_->switchLater(ui::panelBackFromGuidance);
    case K::undo: return panels_->switchLater(ui::panelInsert);
    case K::clip:
    case K::none: return;
    }
}

void TForm1::registerAboutPanel()
{
    TFormX_->setFactory(ui::hostedAbout, [](const ui::hostRequest_t&, QWidget* parent) {
        return new ui::TAbout(QStringLiteral("Lumora"), ui::buildHomePage(), parent);
    });
}

bool TForm1::showAbout() { return openHosted(ui::hostedAbout, QString()); }

} // namespace app
