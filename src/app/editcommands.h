// The main window's Edit commands on the active document: undo and redo,
// clearing the history, erasing, stacking, cut, copy and paste, the area copy,
// joining and splitting; and the state of the commands that follow them.
#pragma once

#include <cstdint>

class QAction;
class QMenu;
class QMenuBar;

namespace canvas {
class TSandbox;
} // namespace canvas

namespace app {

class TForm1;

// The Edit menu's entries.
struct editMenu_t {
    QMenu* menuEdit = nullptr;
    QAction *Undo1 = nullptr, *Redo1 = nullptr, *ClearUndo1 = nullptr, *Cut1 = nullptr, *Copy1 = nullptr;
    QAction *Paste1 = nullptr, *CopyToClipboard1 = nullptr, *JoinItems1 = nullptr, *SplitGroup1 = nullptr;
};

class editCommands_t {
public:
    explicit editCommands_t(TForm1& shell);
    editCommands_t(const editCommands_t&) = delete;
    editCommands_t& operator=(const editCommands_t&) = delete;

    const editMenu_t& menu() const { return menu_; }
    void buildMenu(QMenuBar* bar);
    // Clear Undo and Redo with or without a document.
    void setDocumentCommandsEnabled(bool on);
    // Undo and Redo off (no document, or start-up).
    void disableUndo();

    void refreshUndoButtons();
    void refreshSelectionState();
    void undoCommand(bool redo);
    void clearUndoCommand();
    void eraseCommand();
    void stackCommand(bool toFront);
    void copyCommand();
    void cutCommand();
    void pasteCommand();
    void copyAreaCommand();
    void joinCommand();
    void splitCommand();

private:
    // After a command: the canvas, the history commands and the selection buttons.
    void afterEdit(canvas::TSandbox* w);

    TForm1& shell_;
    editMenu_t menu_;
};

} // namespace app
