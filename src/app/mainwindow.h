// The main window TForm1: the frame that holds the menu bar, the toolbar
// strip, the side panel and the area of the document windows. It owns the
// settings object, the toolbar, the floating windows and the shell's
// one-shot timers; the document area, the file, edit, view and output
// commands and the side-panel controller each live in a class of their own,
// and TForm1 keeps the entry points as thin forwarders.
#pragma once

#include "app/sidepanelcontroller.h"
#include "app/stephistory.h"
#include "ui/panelcodes.h"

#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/toolbar.h"
#include "app/recoverydialog.h"
#include "settings/recoverystore.h"
#include "ui/hostwindow.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QMdiArea;
class QMenu;
class QSplitter;

namespace ui {
class sidePanel_t;
class TLinehelp;
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
class documentArea_t;
class recoveryKeeper_t;
class fileCommands_t;
class editCommands_t;
class viewCommands_t;
class outputCommands_t;
struct fileMenu_t;
struct editMenu_t;
struct viewMenu_t;

class TForm1 : public QMainWindow, public canvas::sandboxHost_t, public canvas::toolbarHost_t {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- parts ----
    settings::TParams* params() const { return params_.get(); }
    canvas::TProcs* procs() const { return procs_; }
    keyRouter_t* keyRouter() const { return keyRouter_; }
    // The floating windows that host dialog-like panels.
    ui::THostWindow* TFormX() const { return TFormX_; }
    ui::THostWindow* TFormY() const { return TFormY_; }
    documentArea_t& area() const { return *area_; }
    fileCommands_t& files() const { return *files_; }
    editCommands_t& edits() const { return *edits_; }
    viewCommands_t& view() const { return *view_; }
    outputCommands_t& outputs() const { return *output_; }
    sidePanelController_t& panelController() const { return *panels_; }

    // The menus of the parts, for their check marks and enabled states.
    const fileMenu_t& fileMenu() const;
    const editMenu_t& editMenu() const;
    const viewMenu_t& viewMenu() const;
    QMenu* menuInsert() const { return menuInsert_; }
    QMenu* menuWindow() const;
    QMdiArea* mdiArea() const;
    ui::sidePanel_t* sidePanel() const { return panels_->widget(); }

    // ---- state ----
    QChar decimalSeparator() const { return decimalSeparator_; }
    QChar thousandSeparator() const { return thousandSeparator_; }
    // Set once the user agreed to exit (or a test or screenshot ends the run):
    // no further question is asked.
    bool exitConfirmed() const { return exitConfirmed_; }
    void confirmExit() { exitConfirmed_ = true; }

    // ---- timers of the shell ----
    QTimer& panelSwitchTimer() { return panels_->panelSwitchTimer(); }  // Timer1
    QTimer& untitledTimer() { return untitledTimer_; }                 // Timer2
    QTimer& hoverResetTimer() { return hoverResetTimer_; }             // Timer3
    QTimer& emptyShellTimer() { return emptyShellTimer_; }             // Timer4
    QTimer& fontListTimer() { return fontListTimer_; }                 // Timer5
    QTimer& setupPanelTimer() { return setupPanelTimer_; }             // Timer6
    QTimer& lightDirectionTimer() { return lightDirectionTimer_; }     // Timer7
    QTimer& spareTimer() { return spareTimer_; }                       // Timer8

    // Timer1Timer: the deferred panel command.
    void runPendingPanel();
    // Timer2Timer: an untitled document when none is open.
    void openUntitledIfNone();
    // Timer3Timer: the toolbar's hover state goes.
    void clearHoverMarks();
    // Timer4Timer: the shell's state without documents, once the last is gone.
    void resetToEmptyShell();
    // The title names the active document's design type.
    void refreshTitle();
    // Timer5Timer: the installed font families into the settings.
    void readFontList();
    // Timer6Timer: the first-time setup panel (not started by anything yet).
    void showSetupPanel();
    // At the end of start-up: repeats a registration that failed before.
    void repairRegistration();

    // Recovery: the snapshot keeper, and the offer of snapshots left by an
    // editor that ended without saving (all of them, or only the newer ones
    // of `forFile`). False when there was nothing to offer.
    bool offerRecovery(const QString& forFile = QString());
    // Whether opening a file offers its newer snapshots (off for scripts).
    void setRecoveryOffers(bool on) { recoveryOffers_ = on; }
    bool restoreSnapshot(const settings::recoveryEntry_t& entry);
    recoveryKeeper_t* recovery() const { return recovery_.get(); }
    recoveryDialog_t* recoveryDialog() const { return recoveryDialog_.data(); }
    QAction* recoveryItem() const { return recoveryItem_; }
    // Timer7Timer: the light direction of the settings into every document.
    void applyLightDirection();
    // Timer8Timer: stops itself; nothing else.
    void spareTimerFired();

    // ---- side panel ----
    int32_t panelCode() const { return panels_->panelCode(); }
    int32_t pendingPanel() const { return panels_->pendingPanel(); }
    panels::TToolbox* insertPanel() const { return panels_->insertPanel(); }
    QWidget* codePanel() const { return panels_->codePanel(); }
    const stepHistory_t& stepHistory() const { return panels_->stepHistory(); }
    panels::panelHost_t& panelHost() const { return panels_->host(); }
    void showPanel(int32_t code, panelSwitch_t how) { panels_->showPanel(code, how); }
    void runPanelCommand(int32_t code) { panels_->runPanelCommand(code); }
    void runSuggestion(int32_t k) { panels_->runSuggestion(k); }
    void recordStep(int32_t code, bool fromHistory) { panels_->recordStep(code, fromHistory); }
    void stepBack() { panels_->stepBack(); }
    void stepForward() { panels_->stepForward(); }
    void refreshStepControls() { panels_->refreshStepControls(); }
    panels::attributePanel_t* attributePanel() const { return panels_->attributePanel(); }
    // The attribute panel summarises the selection again.
    void refreshAttributePanel();
    bool guidanceWanted(int32_t page) const { return panels_->guidanceWanted(page); }
    // Guidance pages: a page a step of the user leads to (shown only while
    // its flag is set), the links and the check box of the page showing.
    void showGuidance(int32_t page) override;
    void attachGuidance(ui::TLinehelp* page);
    void runGuidanceLink(int32_t page, int32_t box);
    void dontShowGuidance(int32_t page, bool ticked);
    // Help > About in the first floating window.
    bool showAbout();

    // ---- pictures ----
    // The picture insertion command; false when no picture was inserted.
    bool insertPicture();
    // The picture window on the selected picture: 503 re-clip, 510 add clips.
    void editPictureClips(int32_t mode);
    // The picture dialog: a picture file opens the picture window, a document
    // file is pasted into the active window; false when cancelled or failed.
    bool openPicture();
    bool pastePictureDocument(const QString& path);
    bool openPictureWindow(const QString& fileName);
    // A picture file dropped on the editor or on the picture window: opened
    // in the picture window for the active document (a new one if none).
    bool dropPictureFile(const QString& path);
    // The picture window's "Insert" into `w`; false when nothing was inserted.
    bool insertFromPictureWindow(const canvas::pictureInsert_t& request, canvas::TSandbox* w);

    // ---- documents ----
    std::vector<canvas::TSandbox*> documents() const;  // open, not closing
    canvas::TSandbox* activeDocument() const;
    canvas::TSandbox* openDocumentWindow(const QString& name);
    bool activateWindow(int32_t docNumber);

    // ---- view commands ----
    void updateZoomChecks();
    void chooseZoom(int32_t index);        // zoom menu item 0..8
    void applyZoomStep(int32_t direction);  // -1 out, +1 in
    void gridCommand(int32_t kind);
    void anchorCommand(int32_t kind);
    void snapCommand(int32_t kind);
    // Tools ▸ Grid ▸ Reset: equal spacing again, after asking.
    void resetGridCommand(int32_t directions);
    // The grid and snap options of the active document or of new files in
    // the floating window; false when there is nothing to show them for.
    bool openGridOptions(bool currentFile);
    // The grid and snap check marks and toolbar toggles of the document.
    void refreshDocumentMenus(canvas::TSandbox* w);
    void setHints(bool all);
    bool canExit();
    void Exit();

    // ---- file commands ----
    void setDocumentCommandsEnabled(bool on);
    void newDocument();
    void openDocument();
    bool saveDocument(canvas::TSandbox* w, bool proposeName);
    bool saveDocumentAs(canvas::TSandbox* w);
    void closeDocument();
    void reopen(int32_t k);
    void clearRecent();
    void rebuildReopenMenu();

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
    // Tools > Speed...: the speed options of the active document window.
    bool openSpeedOptions();

    // ---- output ----
    // Print (asking for the print areas first on a sheet of several cards),
    // print preview, and the two exports; all do nothing without a page.
    void printDocument(canvas::TSandbox* w);
    void previewDocument(canvas::TSandbox* w);
    void exportExact(canvas::TSandbox* w);
    void exportSmooth(canvas::TSandbox* w);

    // ---- open requests ----
    void openRequest(const QString& macro);
    bool listenForOpenRequests();

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

    // Whether the window is being destroyed (the parts stop reporting).
    bool tearingDown() const { return tearingDown_; }

    // What runs once the first document window is shown (screenshots).
    void setOnFirstDocument(std::function<void()> f) { onFirstDocument_ = std::move(f); }
    // What ends the program when the first-time setup is cancelled (the
    // application's quit unless a test set its own).
    void setOnSetupCancelled(std::function<void()> f) { onSetupCancelled_ = std::move(f); }

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void FormCreate();
    void buildMenus();
    void buildInsertMenu();
    // Gives the floating windows the factories of the panels they host.
    void registerHostedPanels();
    void registerGridOptions();
    void registerFirstTimeSetup();
    void registerPictureWindow();
    void registerPresetEditors();
    // A preset editor saved: the table reaches the store, the lists showing
    // it are built again, a light direction reaches the open documents.
    void presetsSaved(int32_t hostedCode);
    void registerAboutPanel();

    std::unique_ptr<settings::TParams> params_;
    canvas::TProcs* procs_ = nullptr;
    keyRouter_t* keyRouter_ = nullptr;
    QSplitter* topSplitter_ = nullptr;
    ui::THostWindow* TFormX_ = nullptr;
    ui::THostWindow* TFormY_ = nullptr;
    QMenu* menuInsert_ = nullptr;
    QMenu* menuCustomize_ = nullptr;
    QMenu* menuHelp_ = nullptr;
    QAction* ShowAll1_ = nullptr;
    QAction* ShowNone1_ = nullptr;
    QAction* About1_ = nullptr;

    std::unique_ptr<sidePanelController_t> panels_;
    std::unique_ptr<documentArea_t> area_;
    std::unique_ptr<fileCommands_t> files_;
    std::unique_ptr<editCommands_t> edits_;
    std::unique_ptr<viewCommands_t> view_;
    std::unique_ptr<outputCommands_t> output_;

    QTimer untitledTimer_;        // Timer2
    QTimer hoverResetTimer_;      // Timer3
    QTimer emptyShellTimer_;      // Timer4
    QTimer fontListTimer_;        // Timer5
    QTimer setupPanelTimer_;      // Timer6
    QTimer lightDirectionTimer_;  // Timer7
    QTimer spareTimer_;           // Timer8

    QChar decimalSeparator_, thousandSeparator_;
    bool exitConfirmed_ = false;
    openRequestServer_t* requests_ = nullptr;
    bool tearingDown_ = false;
    bool firstDocumentSeen_ = false;
    std::function<void()> onFirstDocument_;
    std::function<void()> onSetupCancelled_;
    std::unique_ptr<recoveryKeeper_t> recovery_;
    QPointer<recoveryDialog_t> recoveryDialog_;
    QAction* recoveryItem_ = nullptr;
    bool recoveryOffers_ = false;
    void startRecovery();
};

// The keys of an Edit command: its own key first, then the platform's
// standard keys for it (Ctrl+X, Ctrl+C, Ctrl+V ...), each once.
QList<QKeySequence> withStandardKeys(const QKeySequence& own, QKeySequence::StandardKey standard);

// The application-wide title and the main window's caption.
inline const QString applicationTitle = QStringLiteral("Lumora Flow Charts");

} // namespace app
