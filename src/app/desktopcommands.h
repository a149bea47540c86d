// The commands a user of desktop editors reaches for without thinking:
// Select All, Duplicate and Delete in the Edit menu, the Arrange menu
// (stacking, Align, Distribute), the canvas's context menu with the same
// commands as the menus, the platform's standard keys beside the design's
// own, and documents dropped onto the main window.
#pragma once

#include "canvas/arrange.h"

#include <QObject>
#include <QPoint>

#include <cstdint>

class QAction;
class QMenu;
class QMenuBar;

namespace canvas {
class TSandbox;
} // namespace canvas

namespace app {

class TForm1;

struct arrangeMenu_t {
    QMenu* menuArrange = nullptr;
    QMenu* menuAlign = nullptr;
    QMenu* menuDistribute = nullptr;
    QAction *SelectAll1 = nullptr, *Duplicate1 = nullptr, *Delete1 = nullptr;
    QAction *BringToFront1 = nullptr, *SendToBack1 = nullptr;
    // Left, Centres, Right, Tops, Middles, Bottoms (alignEdge_t order).
    QAction* align[6] = {};
    QAction *DistributeAcross1 = nullptr, *DistributeDown1 = nullptr;
    QAction *FineTune1 = nullptr, *EditClip1 = nullptr;
};

class desktopCommands_t : public QObject {
public:
    explicit desktopCommands_t(TForm1& shell);
    ~desktopCommands_t() override;

    const arrangeMenu_t& menu() const { return menu_; }
    // Adds the Edit entries and the Arrange menu (after the Edit menu), the
    // standard keys of the File commands, and takes documents dropped on
    // the main window.
    void build(QMenuBar* bar);

    void selectAllCommand();
    void duplicateCommand();
    void alignCommand(canvas::alignEdge_t edge);
    void distributeCommand(bool across);
    void fineTuneCommand();

    // The canvas's context menu for the active document, with each entry
    // enabled as the state allows (built afresh, shown by the caller).
    QMenu* contextMenu(canvas::TSandbox* w);
    // Enables the commands of this class for the active document's state.
    void refreshStates();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void after(canvas::TSandbox* w);

    TForm1& shell_;
    arrangeMenu_t menu_;
};

} // namespace app
