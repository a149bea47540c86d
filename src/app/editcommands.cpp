// The main window's Edit commands on the active document: undo and redo,
// clearing the history, erasing, stacking, cut, copy and paste, the area copy,
// joining and splitting; and the state of the commands that follow them.
#include "app/mainwindow.h"

#include "canvas/picking.h"

#include "model/clipboard.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/text.h"
#include "panels/multiplepanel.h"

#include <QAction>

#include <unordered_set>
#include <vector>

namespace app {

void TForm1::showModified(canvas::TSandbox* w)
{
    // The caption carries Qt's "[*]" placeholder; the sub-window (and the
    // main window's title while it is maximized) follow the flag.
    if (w && !w->isClosing()) w->setWindowModified(w->isModified());
}

void TForm1::refreshUndoButtons()
{
    canvas::TSandbox* w = activeDocument();
    // Every change of the history is a change of the document.
    showModified(w);
    const bool u = w && model::canUndo(w->items);
    const bool r = w && model::canRedo(w->items);
    Undo1->setEnabled(u);
    Redo1->setEnabled(r);
    procs->refreshUndoButtons(u, r);
}

void TForm1::refreshSelectionState()
{
    canvas::TSandbox* w = activeDocument();
    const bool sel = w && model::firstSelected(w->items) != nullptr;
    const bool joinable = w && model::countSelectionUnits(w->items, true) >= 2;
    const bool splittable = w && model::selectionHasGroup(w->items);
    procs->refreshSelectionButtons(sel, model::clipboardHasItems(), joinable, splittable);
    Cut1->setEnabled(sel);
    Copy1->setEnabled(sel);
    Paste1->setEnabled(model::clipboardHasItems());
    JoinItems1->setEnabled(joinable);
    SplitGroup1->setEnabled(splittable);
    if (auto* mixed = dynamic_cast<panels::TUnibox*>(codePanel)) mixed->setGroupHints(joinable, splittable);
}

// After a command: the canvas, the history commands and the selection buttons.
void TForm1::afterEdit(canvas::TSandbox* w)
{
    w->repaintAll(true);
    refreshUndoButtons();
    refreshSelectionState();
}

namespace {

// The history step leaves nothing selected; the items that were selected
// stay so in the versions it brings back (undo) or puts in their place
// (redo), so that their panel can show the values the step restored. The
// step ids are taken before the step, which may free the versions it drops.
struct selectionIds_t {
    std::unordered_set<int32_t> was, replaced;
};

selectionIds_t selectionIds(model::itemList_t& list)
{
    selectionIds_t ids;
    for (const model::item_t* it : model::collectSelected(list)) {
        ids.was.insert(it->stepId);
        if (it->replacesStep) ids.replaced.insert(it->replacesStep);
    }
    return ids;
}

void keepSelection(model::itemList_t& list, const selectionIds_t& ids)
{
    for (model::item_t* it = list.head; it; it = it->next) {
        const bool handle = it->kind == model::kindItem && !it->hidden && it->itemType == model::typeGroupHandle;
        if (!canvas::isPickable(it) && !handle) continue;
        if (ids.was.count(it->stepId) || ids.was.count(it->replacesStep) || ids.replaced.count(it->stepId))
            model::setSelected(list, it, true);
    }
}

} // namespace

void TForm1::undoCommand(bool redo)
{
    canvas::TSandbox* w = activeDocument();
    if (!w) return;
    w->leaveToPointer();
    const selectionIds_t selected = selectionIds(w->items);
    if (redo) model::redo(w->items);
    else model::undo(w->items);
    keepSelection(w->items, selected);
    afterEdit(w);
    // The side panel shows the restored values of what stays selected.
    const int32_t code = model::firstSelected(w->items) ? canvas::panelForSelection(w->items) : ui::panelInsert;
    if (code == ui::panelNone || code == panelCode) refreshAttributePanel();
    else showPanel(code, true, false, false);
}

void TForm1::clearUndoCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w) return;
    model::clearHistory(w->items);
    afterEdit(w);
}

void TForm1::eraseCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w || model::eraseSelection(w->items) == 0) return;
    afterEdit(w);
    showPanel(ui::panelInsert, true, false, false);
}

void TForm1::eraseRequested(canvas::TSandbox* w)
{
    if (w == activeDocument()) eraseCommand();
}

void TForm1::stackCommand(bool toFront)
{
    canvas::TSandbox* w = activeDocument();
    if (!w) return;
    const int32_t n = toFront ? model::bringToFront(w->items) : model::sendToBack(w->items);
    if (n) afterEdit(w);
}

void TForm1::copyCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !model::firstSelected(w->items)) return;
    model::copySelection(w->items, model::clipboardList());
    refreshSelectionState();
}

void TForm1::cutCommand()
{
    // Cut erases the selected items as one step; the clipboard keeps what
    // was copied last (Undo brings the items back).
    eraseCommand();
}

void TForm1::pasteCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !model::clipboardHasItems()) return;
    w->leaveToPointer();
    w->eraseMarks();
    const std::vector<model::item_t*> pasted = model::pasteClipboard(w->items, model::clipboardList(), canvas::handleSize());
    if (pasted.empty()) return;
    // Pasted texts take their box from their font here.
    for (model::item_t* it : pasted)
        if (it->itemType == model::typeText) render::textBox(it);
    // The panel: the pasted items' type, or the line panel for a mixture.
    const int32_t panel = canvas::isHomogeneous(w->items) ? canvas::panelForSelection(w->items) : ui::panelLine;
    if (panel) showPanel(panel);
    w->startPlacing(pasted);
    refreshUndoButtons();
    refreshSelectionState();
}

void TForm1::copyAreaCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w || w->areaRect().width() <= 0 || w->areaRect().height() <= 0) return;
    w->copyAreaToClipboard();
}

void TForm1::editStateChanged(canvas::TSandbox* w)
{
    showModified(w);
    if (w != activeDocument()) return;
    refreshUndoButtons();
    refreshSelectionState();
}

void TForm1::joinCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w || model::countSelectionUnits(w->items, true) < 2) return;
    model::joinItems(w->items);
    afterEdit(w);
}

void TForm1::splitCommand()
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !model::selectionHasGroup(w->items)) return;
    model::splitGroup(w->items);
    afterEdit(w);
    showPanel(ui::panelInsert, true, false, false);
}

} // namespace app
