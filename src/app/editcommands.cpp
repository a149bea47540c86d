#include "app/editcommands.h"

#include "app/mainwindow.h"

#include "canvas/glue.h"
#include "canvas/picking.h"

#include "model/clipboard.h"
#include "model/groups.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "render/text.h"
#include "panels/multiplepanel.h"
#include "ui/guidancetexts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <unordered_set>
#include <vector>

namespace app {

editCommands_t::editCommands_t(TForm1& shell) : shell_(shell) {}

void editCommands_t::buildMenu(QMenuBar* bar)
{
    TForm1* f = &shell_;
    editMenu_t& m = menu_;
    m.menuEdit = bar->addMenu(QStringLiteral("&Edit"));
    m.Undo1 = m.menuEdit->addAction(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), f, [this] { undoCommand(false); });
    m.Redo1 = m.menuEdit->addAction(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), f,
                                    [this] { undoCommand(true); });
    m.menuEdit->addSeparator();
    m.ClearUndo1 = m.menuEdit->addAction(QStringLiteral("Clear Undo and Redo"), f, [this] { clearUndoCommand(); });
    m.menuEdit->addSeparator();
    m.Cut1 = m.menuEdit->addAction(QStringLiteral("Cut"), f, [this] { cutCommand(); });
    m.Copy1 = m.menuEdit->addAction(QStringLiteral("Copy"), f, [this] { copyCommand(); });
    m.Paste1 = m.menuEdit->addAction(QStringLiteral("Paste"), f, [this] { pasteCommand(); });
    m.Cut1->setShortcuts(withStandardKeys(QKeySequence(Qt::CTRL | Qt::Key_Delete), QKeySequence::Cut));
    m.Copy1->setShortcuts(withStandardKeys(QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence::Copy));
    m.Paste1->setShortcuts(withStandardKeys(QKeySequence(Qt::SHIFT | Qt::Key_Insert), QKeySequence::Paste));
    m.menuEdit->addSeparator();
    m.CopyToClipboard1 = m.menuEdit->addAction(QStringLiteral("Copy to Clipboard"), f, [this] { copyAreaCommand(); });
    m.CopyToClipboard1->setVisible(false);
    // The area copy is offered only while the active window has a marked area.
    QObject::connect(m.menuEdit, &QMenu::aboutToShow, f, [this] {
        const canvas::TSandbox* w = shell_.activeDocument();
        menu_.CopyToClipboard1->setEnabled(w && w->areaRect().width() > 0 && w->areaRect().height() > 0);
    });
    m.JoinItems1 = m.menuEdit->addAction(QStringLiteral("Join Items"), f, [this] { joinCommand(); });
    m.SplitGroup1 = m.menuEdit->addAction(QStringLiteral("Split Group"), f, [this] { splitCommand(); });
    for (QAction* a : {m.Undo1, m.Redo1, m.ClearUndo1, m.Cut1, m.Copy1, m.Paste1, m.CopyToClipboard1, m.JoinItems1,
                       m.SplitGroup1})
        a->setEnabled(false);
}

void editCommands_t::setDocumentCommandsEnabled(bool on) { menu_.ClearUndo1->setEnabled(on); }

void editCommands_t::disableUndo()
{
    menu_.Undo1->setEnabled(false);
    menu_.Redo1->setEnabled(false);
    shell_.procs()->refreshUndoButtons(false, false);
}


void editCommands_t::refreshUndoButtons()
{
    canvas::TSandbox* w = shell_.activeDocument();
    // Every change of the history is a change of the document.
    shell_.showModified(w);
    const bool u = w && model::canUndo(w->items());
    const bool r = w && model::canRedo(w->items());
    menu_.Undo1->setEnabled(u);
    menu_.Redo1->setEnabled(r);
    shell_.procs()->refreshUndoButtons(u, r);
}

void editCommands_t::refreshSelectionState()
{
    canvas::TSandbox* w = shell_.activeDocument();
    const bool sel = w && model::firstSelected(w->items()) != nullptr;
    const bool joinable = w && model::countSelectionUnits(w->items(), true) >= 2;
    const bool splittable = w && model::selectionHasGroup(w->items());
    shell_.procs()->refreshSelectionButtons(sel, model::clipboardHasItems(), joinable, splittable);
    menu_.Cut1->setEnabled(sel);
    menu_.Copy1->setEnabled(sel);
    menu_.Paste1->setEnabled(model::clipboardHasItems());
    menu_.JoinItems1->setEnabled(joinable);
    menu_.SplitGroup1->setEnabled(splittable);
    if (auto* mixed = dynamic_cast<panels::TUnibox*>(shell_.codePanel())) mixed->setGroupHints(joinable, splittable);
}

void editCommands_t::afterEdit(canvas::TSandbox* w)
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

// A group is selected whole: when the step brings back a member (a redone
// join makes a handle that was never selected), its handle and the other
// members come with it, so the group moves and shows as one.
void keepSelection(model::itemList_t& list, const selectionIds_t& ids)
{
    std::unordered_set<int32_t> groups;
    auto shown = [](const model::item_t* it) {
        const bool handle = it->kind == model::kindItem && !it->hidden && it->itemType == model::typeGroupHandle;
        return canvas::isPickable(it) || handle;
    };
    for (model::item_t* it = list.head; it; it = it->next) {
        if (!shown(it)) continue;
        if (ids.was.count(it->stepId) || ids.was.count(it->replacesStep) || ids.replaced.count(it->stepId)) {
            model::setSelected(list, it, true);
            if (it->groupId > 0) groups.insert(it->groupId);
        }
    }
    if (groups.empty()) return;
    for (model::item_t* it = list.head; it; it = it->next)
        if (shown(it) && !it->editing && groups.count(it->groupId)) model::setSelected(list, it, true);
}

} // namespace

void editCommands_t::undoCommand(bool redo)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    w->leaveToPointer();
    const selectionIds_t selected = selectionIds(w->items());
    if (redo) model::redo(w->items());
    else model::undo(w->items());
    keepSelection(w->items(), selected);
    afterEdit(w);
    // The side panel shows the restored values of what stays selected.
    const int32_t code = model::firstSelected(w->items()) ? canvas::panelForSelection(w->items()) : ui::panelInsert;
    if (code == ui::panelNone || code == shell_.panelCode()) shell_.refreshAttributePanel();
    else shell_.showPanel(code, {.onlyIfChanged = true});
}

void editCommands_t::clearUndoCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    model::clearHistory(w->items());
    afterEdit(w);
}

void editCommands_t::eraseCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    // A shape's label goes with it.
    canvas::selectLabels(w->items());
    if (model::eraseSelection(w->items()) == 0) return;
    afterEdit(w);
    // The undo page tells how to bring the items back; without it, the pointer panel.
    if (shell_.guidanceWanted(ui::guidanceUndo)) shell_.showGuidance(ui::guidanceUndo);
    else shell_.showPanel(ui::panelInsert, {.onlyIfChanged = true});
}


void editCommands_t::stackCommand(bool toFront)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    const int32_t n = toFront ? model::bringToFront(w->items()) : model::sendToBack(w->items());
    if (n) afterEdit(w);
}

void editCommands_t::copyCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !model::firstSelected(w->items())) return;
    model::copySelection(w->items(), model::clipboardList());
    refreshSelectionState();
}

void editCommands_t::cutCommand()
{
    // Cut erases the selected items as one step; the clipboard keeps what
    // was copied last (Undo brings the items back).
    eraseCommand();
}

void editCommands_t::pasteCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !model::clipboardHasItems()) return;
    w->leaveToPointer();
    w->eraseMarks();
    const std::vector<model::item_t*> pasted = model::pasteClipboard(w->items(), model::clipboardList(), canvas::handleSize());
    if (pasted.empty()) return;
    // Pasted texts take their box from their font here.
    for (model::item_t* it : pasted)
        if (it->itemType == model::typeText) render::textBox(it);
    // The panel: the pasted items' type, or the line panel for a mixture.
    const int32_t panel = canvas::isHomogeneous(w->items()) ? canvas::panelForSelection(w->items()) : ui::panelLine;
    if (panel) shell_.showPanel(panel);
    w->startPlacing(pasted);
    refreshUndoButtons();
    refreshSelectionState();
}

void editCommands_t::copyAreaCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || w->areaRect().width() <= 0 || w->areaRect().height() <= 0) return;
    w->copyAreaToClipboard();
}


void editCommands_t::joinCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || model::countSelectionUnits(w->items(), true) < 2) return;
    model::joinItems(w->items());
    afterEdit(w);
}

void editCommands_t::splitCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !model::selectionHasGroup(w->items())) return;
    model::splitGroup(w->items());
    afterEdit(w);
    // The undo page tells how to bring the items back; without it, the pointer panel.
    if (shell_.guidanceWanted(ui::guidanceUndo)) shell_.showGuidance(ui::guidanceUndo);
    else shell_.showPanel(ui::panelInsert, {.onlyIfChanged = true});
}

} // namespace app
