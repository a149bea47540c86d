// The main window TForm1: the frame that holds the menu bar, the toolbar
// strip, the side panel and the area of the document windows; it owns the
// settings object and the toolbar, runs the file commands, the zoom and
// window menus, the one-shot timers and the exit question.
#pragma once

#include "ui/panelcodes.h"
#include "app/stephistory.h"

#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/toolbar.h"
#include "ui/hostwindow.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;

namespace ui {
class sidePanel_t;
} // namespace ui
namespace canvas {
struct pictureInsert_t;
} // namespace canvas
namespace panels {
class TToolbox;
class panelHost_t;
class attributePanel_t;
} // namespace panels

namespace app {

class openRequestServer_t;
class keyRouter_t;

class TForm1 : public QMainWindow, public canvas::sandboxHost_t, public canvas::toolbarHost_t {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- state ----
    canvas::TProcs* procs = nullptr;
    std::unique_ptr<settings::TParams> params;
    int32_t panelCode = ui::panelInsert;
    int32_t previousPanelCode = ui::panelInsert;
    int32_t pendingPanel = 0;
    bool exitConfirmed = false;
    QChar decimalSeparator, thousandSeparator;
    keyRouter_t* keyRouter = nullptr;
    QTimer Timer1, Timer2, Timer3, Timer4, Timer5, Timer6, Timer7, Timer8;

    // ---- controls ----
    QSplitter* topSplitter = nullptr;
    ui::sidePanel_t* sidePanel = nullptr;
    QMdiArea* mdiArea = nullptr;
    // The floating windows that host dialog-like panels.
    ui::THostWindow* TFormX = nullptr;
    ui::THostWindow* TFormY = nullptr;

    // ---- side panel ----
    // The insert panel lives for the whole run; every other panel is made
    // when its code is shown and freed when another code replaces it.
    panels::TToolbox* insertPanel = nullptr;
    QWidget* codePanel = nullptr;
    std::vector<int32_t> suggestions;
    stepHistory_t stepHistory;
    // The only way to switch the side panel.
    void showPanel(int32_t code, bool onlyIfChanged, bool applyToWindow, bool fromHistory);
    void runPanelCommand(int32_t code);
    void showInsertPanel();
    void rebuildSuggestions();
    void runSuggestion(int32_t k);
    void recordStep(int32_t code, bool fromHistory);
    void stepBack();
    void stepForward();
    bool canStepBack() const;
    bool canStepForward() const;
    void refreshStepControls();
    void restoreToolSettings(const stepEntry_t& entry);
    // Tags the selected items of the window for a step; returns the tag.
    int32_t tagSelection(canvas::TSandbox* w);
    bool selectTagged(canvas::TSandbox* w, int32_t tag);
    // What the side panels ask of this window.
    std::unique_ptr<panels::panelHost_t> panelHost;
    // The attribute panel showing (null for the insert panel and frames).
    panels::attributePanel_t* attributePanel() const;
    // The attribute panel summarises the selection again.
    void refreshAttributePanel();
    // The picture insertion command; false when no picture was inserted.
    bool insertPicture();
    // The picture window on the selected picture: 503 re-clip, 510 add clips.
    void editPictureClips(int32_t mode);
    // The picture dialog: a picture file opens the picture window, a document
    // file is pasted into the active window; false when cancelled or failed.
    bool openPicture();
    bool pastePictureDocument(const QString& path);
    bool openPictureWindow(const QString& fileName);
    // The picture window's "Insert" into `w`; false when nothing was inserted.
    bool insertFromPictureWindow(const canvas::pictureInsert_t& request, canvas::TSandbox* w);
    bool guidanceWanted(int32_t page) const;

    // ---- menus ----
    QMenu* menuFile = nullptr;
    QMenu* menuInsert = nullptr;
    QMenu* menuEdit = nullptr;
    QMenu* menuZoom = nullptr;
    QMenu* menuTools = nullptr;
    QMenu* menuCustomize = nullptr;
    QMenu* menuWindow = nullptr;
    QMenu* menuHelp = nullptr;
    QMenu* menuReopen = nullptr;
    QMenu* menuExport = nullptr;
    QMenu* menuPageSetup = nullptr;
    QMenu* menuGridAndSnap = nullptr;
    QMenu* menuGrid = nullptr;
    QMenu* menuReset = nullptr;
    QMenu* menuAnchors = nullptr;
    QMenu* menuSnap = nullptr;
    QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *SaveAs1 = nullptr, *Close1 = nullptr;
    QAction *PrintPreview1 = nullptr, *Print1 = nullptr, *Exit1 = nullptr, *ClearRecent1 = nullptr;
    QAction *ExportSeparator = nullptr;
    QAction *PageSetupCurrent = nullptr, *PageSetupSeparator = nullptr, *PageSetupNew = nullptr;
    QAction *GridSnapCurrent = nullptr, *GridSnapSeparator = nullptr, *GridSnapNew = nullptr;
    std::array<QAction*, 16> Reopen{};
    QAction *Undo1 = nullptr, *Redo1 = nullptr, *ClearUndo1 = nullptr, *Cut1 = nullptr, *Copy1 = nullptr;
    QAction *Paste1 = nullptr, *CopyToClipboard1 = nullptr, *JoinItems1 = nullptr, *SplitGroup1 = nullptr;
    std::array<QAction*, 9> zoomItems{};
    std::array<QAction*, 4> gridItems{}, anchorItems{}, snapItems{}, resetItems{};
    QAction* gridCustomize = nullptr;
    QAction* speedItem = nullptr;
    QAction *ShowAll1 = nullptr, *ShowNone1 = nullptr, *About1 = nullptr;

    // ---- documents ----
    std::vector<canvas::TSandbox*> documents() const;  // open, not closing
    canvas::TSandbox* activeDocument() const;
    canvas::TSandbox* openDocumentWindow(const QString& name);
    bool activateWindow(int32_t docNumber);

    // ---- commands ----
    void setDocumentCommandsEnabled(bool on);
    void updateZoomChecks();
    void chooseZoom(int32_t index);      // zoom menu item 0..8
    void applyZoomStep(int32_t direction);  // -1 out, +1 in
    void setGridChecks(int32_t kind, bool pressToolbar);
    void setAnchorChecks(int32_t kind);
    void setSnapChecks(int32_t kind, bool pressToolbar);
    void gridCommand(int32_t kind);
    void anchorCommand(int32_t kind);
    void snapCommand(int32_t kind);
    // Tools ▸ Grid ▸ Reset: equal spacing again, after asking.
    void resetGridCommand(int32_t directions);
    // The grid and snap options of the active document or of new files in
    // the floating window; false when there is nothing to show them for.
    bool openGridOptions(bool currentFile);
    // The grid and snap options panels of the floating window.
    void registerGridOptions();
    void setHints(bool all);
    bool canExit();
    void Exit();

    // ---- file commands ----
    void newDocument();
    QString openDialog();
    void openDocument();
    bool saveDocument(canvas::TSandbox* w, bool proposeName);
    bool saveAsDialog(QString& name, canvas::TSandbox* w);
    bool saveDocumentAs(canvas::TSandbox* w);
    void closeDocument();
    void reopen(int32_t k);
    void clearRecent();
    void rebuildReopenMenu();
    // Writes the window's document; a failure is reported and returns false.
    bool writeWindow(canvas::TSandbox* w, const QString& name);

    // ---- edit commands ----
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

    // ---- window menu ----
    void addWindowEntry(const QString& caption, int32_t docNumber) override;
    void checkWindowEntry(int32_t docNumber) override;
    void removeWindowEntry(int32_t docNumber) override;

    // ---- floating windows ----
    // Shows the panel of `code` in the floating window that hosts it, with
    // `documentName` for its caption and `document` (null for new files) to
    // work on; false when no panel of that code can be shown.
    bool openHosted(int32_t code, const QString& documentName, QWidget* document = nullptr);
    // The page setup of `document`, or of new files when null, in the first
    // floating window (File menu, the insert panel's link).
    bool openPageSetup(canvas::TSandbox* document);

    // ---- output ----
    // Print (asking for the print areas first on a sheet of several cards),
    // print preview, and the two exports; all do nothing without a page.
    void printDocument(canvas::TSandbox* w);
    void previewDocument(canvas::TSandbox* w);
    bool openPreview(canvas::TSandbox* w, bool exportMode);
    void exportExact(canvas::TSandbox* w);
    void exportSmooth(canvas::TSandbox* w);
    // The export's save dialog and the file: false when cancelled or failed.
    bool saveExport(const QImage& bitmap);
    // The save dialog's steps up to the replace question; "" when cancelled.
    QString chooseExportFile();
    bool writeExport(const QImage& bitmap, const QString& fileName);

    // ---- open requests ----
    void openRequest(const QString& macro);
    bool listenForOpenRequests();

    // ---- timers ----
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    void Timer5Timer();
    void Timer6Timer();
    void Timer7Timer();
    void Timer8Timer();

    // ---- sandbox host ----
    void documentActivated(canvas::TSandbox* w) override;
    void documentDestroyed(canvas::TSandbox* w) override;
    bool saveForClose(canvas::TSandbox* w) override;
    void addRecent(const QString& fileName) override;
    void offerPicture(canvas::TSandbox* w, const QString& path) override;
    void pictureDoubleClicked(canvas::TSandbox* w) override;
    void zoomControlsChanged() override;
    void eraseRequested(canvas::TSandbox* w) override;
    void showToolPanel(int32_t code) override;
    void editStateChanged(canvas::TSandbox* w) override;
    void showStatus(const QString& text) override;
    // The window's title shows "*" while its document has unsaved changes.
    void showModified(canvas::TSandbox* w);
    void showPanel(int32_t code) override;
    void toolStepChanged(int32_t step) override;
    void textHintsChanged(int32_t which) override;
    void extensionEnded() override;

    // ---- toolbar host ----
    void toolbarCommand(int32_t n) override;
    void toolbarZoom(int32_t percent) override;
    void toolbarToggle(int32_t n, bool on) override;

    // Called once the first document window is shown (screenshots).
    std::function<void()> onFirstDocument;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    void buildMenus();
    void buildInsertMenu();
    void buildSidePanel();
    // Gives the floating windows the factories of the panels they host.
    void registerHostedPanels();
    void registerOutputPanels();
    void registerPictureWindow();
    void printNow(canvas::TSandbox* w);
    bool previewExport_ = false;
    void subWindowActivated(QMdiSubWindow* sub);
    void refreshDocumentMenus(canvas::TSandbox* w);
    canvas::TSandbox* sandboxOf(QMdiSubWindow* sub) const;
    int32_t randomWindowNumber() const;
    void setZoom(double zoom);
    void afterEdit(canvas::TSandbox* w);
    // Where a new document window goes when `othersOpen` are open already:
    // inside the document area, cascading.
    QRect newWindowGeometry(int32_t othersOpen) const;
    // Moves (and if need be shrinks) a normal sub-window into the document area.
    void keepInsideArea(QMdiSubWindow* sub);
    // Detaches and deletes every document window, closed ones still waiting
    // for their deferred deletion included (teardown).
    void deleteDocumentWindows();

    canvas::TSandbox* lastActive_ = nullptr;
    openRequestServer_t* requests_ = nullptr;
    bool tearingDown_ = false;
    bool firstDocumentSeen_ = false;
};

// The keys of an Edit command: its own key first, then the platform's
// standard keys for it (Ctrl+X, Ctrl+C, Ctrl+V ...), each once.
QList<QKeySequence> withStandardKeys(const QKeySequence& own, QKeySequence::StandardKey standard);

// The application-wide title and the main window's caption.
inline const QString applicationTitle = QStringLiteral("Lumora Flow Charts");

} // namespace app
