// The main window's view commands: the Zoom menu and the zoom steps, and the
// Tools menu's grid, anchors, snap and grid reset with their check marks and
// the toolbar's Gridlines and Snap toggles.
#pragma once

#include <array>
#include <cstdint>

class QAction;
class QMenu;
class QMenuBar;

namespace model {
struct headerBody_t;
} // namespace model
namespace settings {
struct defaults_t;
} // namespace settings

namespace app {

class TForm1;

// The Zoom and Tools menus' entries. The grid, anchor and snap entries are
// indexed by direction kind: 0 none, 1 horizontal, 2 vertical, 3 both.
struct viewMenu_t {
    QMenu* menuZoom = nullptr;
    QMenu* menuTools = nullptr;
    QMenu* menuGrid = nullptr;
    QMenu* menuReset = nullptr;
    QMenu* menuAnchors = nullptr;
    QMenu* menuSnap = nullptr;
    std::array<QAction*, 9> zoomItems{};
    QAction *zoomIn = nullptr, *zoomOut = nullptr, *actualSize = nullptr, *fitPage = nullptr, *fitSelection = nullptr;
    QAction* foldLines = nullptr;
    std::array<QAction*, 4> gridItems{}, anchorItems{}, snapItems{}, resetItems{};
    QAction* gridCustomize = nullptr;
    QAction* speedItem = nullptr;
};

class viewCommands_t {
public:
    explicit viewCommands_t(TForm1& shell);
    viewCommands_t(const viewCommands_t&) = delete;
    viewCommands_t& operator=(const viewCommands_t&) = delete;

    const viewMenu_t& menu() const { return menu_; }
    void buildZoomMenu(QMenuBar* bar);
    void buildToolsMenu(QMenuBar* bar);

    void updateZoomChecks();
    // The zoom controls show the settings' current zoom.
    void zoomControlsChanged();
    void setZoom(double zoom);
    void chooseZoom(int32_t index);        // zoom menu item 0..8
    void applyZoomStep(int32_t direction);  // -1 out, +1 in

    void setGridChecks(int32_t kind, bool pressToolbar);
    void setAnchorChecks(int32_t kind);
    void setSnapChecks(int32_t kind, bool pressToolbar);
    // The check marks and toggles of a document's header, or of the
    // new-file settings once no document is left.
    void showDocument(const model::headerBody_t& hd);
    void showNewFileDefaults(const settings::defaults_t& d);

    void gridCommand(int32_t kind);
    void anchorCommand(int32_t kind);
    void snapCommand(int32_t kind);
    void resetGridCommand(int32_t directions);
    // The toolbar's Gridlines and Snap toggles: both directions or none.
    void toolbarToggle(int32_t n, bool on);

private:
    TForm1& shell_;
    viewMenu_t menu_;
};

} // namespace app
