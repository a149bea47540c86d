#include "app/mainwindow.h"

#include "ui/dialogs.h"
#include "ui/panellook.h"
#include "ui/sidepanel.h"
#include "app/documentarea.h"
#include "app/editcommands.h"
#include "app/filecommands.h"
#include "app/keyrouting.h"
#include "app/outputcommands.h"
#include "app/viewcommands.h"
#include "app/openrequest.h"
#include "app/recent.h"
#include "app/recoverydialog.h"
#include "app/recoverykeeper.h"
#include "panels/panelhost.h"
#include "panels/fontlist.h"
#include "panels/insertpanel.h"
#include "ui/panelcodes.h"
#include "model/grid.h"
#include "model/itemlist.h"
#include "render/picture.h"
#include "settings/firstsetup.h"
#include "settings/pagepresets.h"
#include "settings/pageset.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {

constexpr int32_t stripHeight = 24;
constexpr int32_t stripMaxHeight = 30;
constexpr int32_t splitterHandleWidth = 3;

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TForm1"));
    FormCreate();
}

void TForm1::FormCreate()
{
    // Caption, separators, state (QRandomGenerator seeds itself).
    setWindowTitle(applicationTitle);
    const QLocale loc;
    decimalSeparator_ = loc.decimalPoint().isEmpty() ? QLatin1Char('.') : loc.decimalPoint().at(0);
    thousandSeparator_ = loc.groupSeparator().isEmpty() ? QLatin1Char(',') : loc.groupSeparator().at(0);
    exitConfirmed_ = false;

    const struct {
        QTimer* t;
        const char* name;
        int ms;
        void (TForm1::*fn)();
    } timers[] = {{&untitledTimer_, "untitledTimer", 500, &TForm1::openUntitledIfNone},
                  {&hoverResetTimer_, "hoverResetTimer", 5000, &TForm1::clearHoverMarks},
                  {&emptyShellTimer_, "emptyShellTimer", 200, &TForm1::resetToEmptyShell},
                  {&fontListTimer_, "fontListTimer", 200, &TForm1::readFontList},
                  {&setupPanelTimer_, "setupPanelTimer", 1000, &TForm1::showSetupPanel},
                  {&lightDirectionTimer_, "lightDirectionTimer", 200, &TForm1::applyLightDirection},
                  {&spareTimer_, "spareTimer", 200, &TForm1::spareTimerFired}};
    for (const auto& t : timers) {
        t.t->setObjectName(QString::fromLatin1(t.name));
        t.t->setSingleShot(true);
        t.t->setInterval(t.ms);
        QObject::connect(t.t, &QTimer::timeout, this, t.fn);
    }

    // Every key of the application passes the key hook first.
    keyRouter_ = new keyRouter_t(this);
    qApp->installEventFilter(keyRouter_);

    // The parts of the window; the side panel and the document area are
    // placed below.
    panels_ = std::make_unique<sidePanelController_t>(*this);
    area_ = std::make_unique<documentArea_t>(*this, nullptr);
    files_ = std::make_unique<fileCommands_t>(*this);
    edits_ = std::make_unique<editCommands_t>(*this);
    view_ = std::make_unique<viewCommands_t>(*this);
    output_ = std::make_unique<outputCommands_t>(*this);

    // Layout: the toolbar strip above the side panel and the document area.
    topSplitter_ = new QSplitter(Qt::Vertical, this);
    topSplitter_->setObjectName(QStringLiteral("topSplitter"));
    topSplitter_->setChildrenCollapsible(false);
    topSplitter_->setHandleWidth(splitterHandleWidth);

    buildMenus();

    // The toolbar strip (the shared-procedures object) on top.
    procs_ = new canvas::TProcs(this, topSplitter_);
    procs_->addOverflowCommand({QStringLiteral("Insert barcode"), panels::barcodeEntryPicture(20),
                                [this] { runPanelCommand(ui::panelBarcodeInsert); }});
    procs_->setMinimumHeight(stripHeight);
    procs_->setMaximumHeight(stripMaxHeight);
    QWidget* lower = new QWidget(topSplitter_);
    auto* hl = new QHBoxLayout(lower);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(0);
    hl->addWidget(panels_->widget());
    hl->addWidget(area_->widget(), 1);
    topSplitter_->addWidget(procs_);
    topSplitter_->addWidget(lower);
    topSplitter_->setStretchFactor(1, 1);
    topSplitter_->setSizes({stripHeight, 600});
    setCentralWidget(topSplitter_);

    // The settings object: defaults, then the stored settings.
    params_ = std::make_unique<settings::TParams>(nullptr);
    canvas::setParams(params_.get());
    params_->initSettings();
    files_->rebuildReopenMenu();

    // The two floating windows exist for the whole run.
    TFormX_ = new ui::THostWindow(ui::hostId_t::formX, params_->floatGeometry, *params_, this);
    TFormX_->setObjectName(QStringLiteral("TFormX"));
    TFormY_ = new ui::THostWindow(ui::hostId_t::formY, params_->floatGeometry, *params_, this);
    TFormY_->setObjectName(QStringLiteral("TFormY"));
    registerHostedPanels();
    output_->registerPanels();

    // Interface font; nothing to undo, redo or paste yet.
    QFont uiFont(params_->uiFont);
    uiFont.setPointSize(params_->uiFontSize);
    sidePanel()->setFont(uiFont);
    ui::setInterfaceFont(params_->uiFont, params_->uiFontSize);
    ui::setPanelColour(params_->panelColor);
    edits_->disableUndo();
    procs_->setButtonEnabled(canvas::buttonPaste, false);  // pasting needs the placing tool

    // The side panel starts with the insert panel and the pointer.
    view_->setGridChecks(0, false);
    view_->setAnchorChecks(model::gridBoth);
    panels_->showInsertPanel();
    panels_->rebuildSuggestions();
    panels_->refreshStepControls();
    procs_->pressToolButton(canvas::buttonForPanel(panelCode()));
    setDocumentCommandsEnabled(false);

    // Shortly after start-up an untitled document opens when none was opened;
    // on a user's first start the unit question comes first.
    if (settings::setupState(*params_->store()) == settings::setupNotDone) setupPanelTimer_.start();
    else untitledTimer_.start();

    // The font list is read once the window shows.
    fontListTimer_.start();

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);
    resize(936, 637 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect a = s->availableGeometry();
        move(a.center() - rect().center());
    }
    repairRegistration();
    startRecovery();
}

TForm1::~TForm1()
{
    tearingDown_ = true;
    panelSwitchTimer().stop();
    for (QTimer* t : {&untitledTimer_, &hoverResetTimer_, &emptyShellTimer_, &fontListTimer_, &setupPanelTimer_,
                      &lightDirectionTimer_, &spareTimer_})
        t->stop();
    // The hosted panels may work on a document or the settings: they go first.
    delete TFormX_;
    delete TFormY_;
    TFormX_ = TFormY_ = nullptr;
    // The side panel showing writes its settings (its tab) when freed: it
    // goes while the settings and the panel host are still there.
    panels_->freeCodePanel();
    // A clean end: this run's snapshots go before its documents do.
    if (recovery_) recovery_->finish();
    // The settings are written when the window goes.
    if (params_) params_->saveAllSettings();
    area_->deleteDocumentWindows();
    canvas::setParams(nullptr);
}

const fileMenu_t& TForm1::fileMenu() const { return files_->menu(); }
const editMenu_t& TForm1::editMenu() const { return edits_->menu(); }
const viewMenu_t& TForm1::viewMenu() const { return view_->menu(); }
QMenu* TForm1::menuWindow() const { return area_->windowMenu(); }
QMdiArea* TForm1::mdiArea() const { return area_->widget(); }

// ---------------------------------------------------------------- documents

std::vector<canvas::TSandbox*> TForm1::documents() const { return area_ ? area_->documents() : std::vector<canvas::TSandbox*>{}; }
canvas::TSandbox* TForm1::activeDocument() const { return area_->activeDocument(); }
canvas::TSandbox* TForm1::openDocumentWindow(const QString& name)
{
    canvas::TSandbox* w = area_->openDocumentWindow(name);
    // A snapshot of this file newer than the file itself is offered.
    if (recoveryOffers_ && w && !w->fileName().isEmpty()) offerRecovery(w->fileName());
    return w;
}
bool TForm1::activateWindow(int32_t docNumber) { return area_->activateWindow(docNumber); }

void TForm1::documentActivated(canvas::TSandbox* w)
{
    if (tearingDown_ || !w) return;
    showModified(w);
    refreshDocumentMenus(w);
    if (!firstDocumentSeen_ && w->isReady()) {
        firstDocumentSeen_ = true;
        if (onFirstDocument_) QTimer::singleShot(0, this, [this] { if (onFirstDocument_) onFirstDocument_(); });
    }
}

void TForm1::refreshDocumentMenus(canvas::TSandbox* w)
{
    const model::item_t* h = w->header();
    if (!h) return;
    refreshTitle();
    zoomControlsChanged();
    view_->showDocument(h->hdr());
    setDocumentCommandsEnabled(true);
    refreshUndoButtons();
    refreshSelectionState();
}

void TForm1::documentDestroyed(canvas::TSandbox* w)
{
    // Closed without saving (or saved before): its snapshot goes.
    if (recovery_ && !tearingDown_) recovery_->documentClosed(w->documentNumber());
    area_->forget(w);
    if (tearingDown_) return;
    emptyShellTimer_.start();
}

void TForm1::showModified(canvas::TSandbox* w)
{
    // The caption carries Qt's "[*]" placeholder; the sub-window (and the
    // main window's title while it is maximized) follow the flag.
    if (w && !w->isClosing()) w->setWindowModified(w->isModified());
    // A change is snapshotted after a pause; a saved document needs none.
    if (recovery_ && w && !w->isClosing()) {
        if (w->isModified()) recovery_->documentChanged();
        else recovery_->documentClean(w);
    }
}

void TForm1::editStateChanged(canvas::TSandbox* w)
{
    showModified(w);
    if (w != activeDocument()) return;
    refreshTitle();  // a page setup may have changed the design type
    refreshUndoButtons();
    refreshSelectionState();
}

void TForm1::eraseRequested(canvas::TSandbox* w)
{
    if (w == activeDocument()) eraseCommand();
}

// ---------------------------------------------------------------- the parts' entry points

void TForm1::setDocumentCommandsEnabled(bool on)
{
    files_->setDocumentCommandsEnabled(on);
    edits_->setDocumentCommandsEnabled(on);
}

void TForm1::newDocument() { files_->newDocument(); }
void TForm1::openDocument() { files_->openDocument(); }
bool TForm1::saveDocument(canvas::TSandbox* w, bool proposeName) { return files_->saveDocument(w, proposeName); }
bool TForm1::saveDocumentAs(canvas::TSandbox* w) { return files_->saveDocumentAs(w); }
bool TForm1::saveForClose(canvas::TSandbox* w) { return files_->saveForClose(w); }
void TForm1::closeDocument() { files_->closeDocument(); }
void TForm1::reopen(int32_t k) { files_->reopen(k); }
void TForm1::clearRecent() { files_->clearRecent(); }
void TForm1::addRecent(const QString& fileName) { files_->addRecent(fileName); }
void TForm1::rebuildReopenMenu() { files_->rebuildReopenMenu(); }

void TForm1::refreshUndoButtons() { edits_->refreshUndoButtons(); }
void TForm1::refreshSelectionState() { edits_->refreshSelectionState(); }
void TForm1::undoCommand(bool redo) { edits_->undoCommand(redo); }
void TForm1::clearUndoCommand() { edits_->clearUndoCommand(); }
void TForm1::eraseCommand() { edits_->eraseCommand(); }
void TForm1::stackCommand(bool toFront) { edits_->stackCommand(toFront); }
void TForm1::copyCommand() { edits_->copyCommand(); }
void TForm1::cutCommand() { edits_->cutCommand(); }
void TForm1::pasteCommand() { edits_->pasteCommand(); }
void TForm1::copyAreaCommand() { edits_->copyAreaCommand(); }
void TForm1::joinCommand() { edits_->joinCommand(); }
void TForm1::splitCommand() { edits_->splitCommand(); }

void TForm1::zoomControlsChanged() { view_->zoomControlsChanged(); }
void TForm1::updateZoomChecks() { view_->updateZoomChecks(); }
void TForm1::chooseZoom(int32_t index) { view_->chooseZoom(index); }
void TForm1::applyZoomStep(int32_t direction) { view_->applyZoomStep(direction); }
void TForm1::gridCommand(int32_t kind) { view_->gridCommand(kind); }
void TForm1::anchorCommand(int32_t kind) { view_->anchorCommand(kind); }
void TForm1::snapCommand(int32_t kind) { view_->snapCommand(kind); }
void TForm1::resetGridCommand(int32_t directions) { view_->resetGridCommand(directions); }

void TForm1::printDocument(canvas::TSandbox* w) { output_->printDocument(w); }
void TForm1::previewDocument(canvas::TSandbox* w) { output_->previewDocument(w); }
void TForm1::exportExact(canvas::TSandbox* w) { output_->exportExact(w); }
void TForm1::exportSmooth(canvas::TSandbox* w) { output_->exportSmooth(w); }

void TForm1::showStatus(const QString& text)
{
    if (text.isEmpty()) statusBar()->clearMessage();
    else statusBar()->showMessage(text);
}

// ---------------------------------------------------------------- side panel

void TForm1::showPanel(int32_t code)
{
    // The canvas asks for the panel of its tool or selection; the window's
    // tool is its own business. Every new selection is a step of its own,
    // while clicks beside the items leave the insert panel as it is.
    panels_->showPanel(code, {.onlyIfChanged = code == ui::panelInsert});
}

void TForm1::showToolPanel(int32_t code) { panels_->showPanel(code, {.onlyIfChanged = true}); }

// ---------------------------------------------------------------- toolbar

void TForm1::toolbarCommand(int32_t n)
{
    canvas::TSandbox* w = activeDocument();
    switch (n) {
    case canvas::buttonNew: newDocument(); return;
    case canvas::buttonOpen: openDocument(); return;
    case canvas::buttonSave:
        if (w) saveDocument(w, false);
        return;
    case canvas::buttonUndo: undoCommand(false); return;
    case canvas::buttonRedo: undoCommand(true); return;
    case canvas::buttonToBack: stackCommand(false); return;
    case canvas::buttonToFront: stackCommand(true); return;
    case canvas::buttonErase: eraseCommand(); return;
    case canvas::buttonPaste: pasteCommand(); return;
    case canvas::buttonCopy: copyCommand(); return;
    case canvas::buttonJoin: joinCommand(); return;
    case canvas::buttonSplit: splitCommand(); return;
    case canvas::buttonRepaint:
        if (w) {
            model::selectOnly(w->items(), nullptr);
            w->repaintAll(true);
            refreshSelectionState();
            showPanel(ui::panelInsert, {.onlyIfChanged = true});
        }
        return;
    case canvas::buttonExport: exportExact(w); return;
    case canvas::buttonPrint: printDocument(w); return;
    case canvas::buttonZoomOut: applyZoomStep(-1); return;
    case canvas::buttonZoomIn: applyZoomStep(+1); return;
    case canvas::buttonPicture:
        // The picture dialog, then the insert panel again.
        panels_->switchLater(ui::panelPictureInsert);
        return;
    default: break;
    }
    const int32_t code = canvas::toolPanelCode(n);
    if (code) {
        // The tool's panel: nothing happens when it is already showing.
        if (code == panelCode() && procs_->pressedTool() == n) return;
        showPanel(code, {.applyToWindow = true});
        procs_->pressToolButton(n);
        // A tool with no document opens an untitled one shortly.
        untitledTimer_.start();
    }
}

void TForm1::toolbarZoom(int32_t percent)
{
    if (percent <= 0) return;
    view_->setZoom(percent / 100.0);
}

void TForm1::toolbarToggle(int32_t n, bool on) { view_->toolbarToggle(n, on); }

// ---------------------------------------------------------------- window menu

void TForm1::addWindowEntry(const QString& caption, int32_t docNumber) { area_->addEntry(caption, docNumber); }

void TForm1::checkWindowEntry(int32_t docNumber) { files_->showCurrentFile(area_->checkEntry(docNumber)); }

void TForm1::removeWindowEntry(int32_t docNumber)
{
    if (tearingDown_) return;
    if (area_->removeEntry(docNumber)) files_->showCurrentFile(QString());
}

// ---------------------------------------------------------------- timers

void TForm1::runPendingPanel() { panels_->runPendingPanel(); }

void TForm1::openUntitledIfNone()
{
    untitledTimer_.stop();
    if (documents().empty()) openDocumentWindow(QString());
}

void TForm1::clearHoverMarks()
{
    hoverResetTimer_.stop();
    procs_->stripLeave();
}

void TForm1::resetToEmptyShell()
{
    emptyShellTimer_.stop();
    if (!documents().empty()) return;
    edits_->disableUndo();
    params_->currentZoom = 1.0;
    zoomControlsChanged();
    showPanel(ui::panelInsert, {.onlyIfChanged = true});
    view_->showNewFileDefaults(params_->newFile);
    refreshSelectionState();
    setDocumentCommandsEnabled(false);
    refreshTitle();
}

// The title names the active document's design type ("Lumora Business
// Cards"); with no document it is the program's own.
void TForm1::refreshTitle()
{
    canvas::TSandbox* w = activeDocument();
    const model::item_t* h = w ? w->header() : nullptr;
    const int32_t type = h ? page::designTypeOf(h->hdr().designType) : 0;
    const QString name = type >= 1 && type <= page::designTypeCount ? page::designTypeName(type) : QString();
    setWindowTitle(name.isEmpty() ? applicationTitle : QStringLiteral("Lumora ") + name);
}

void TForm1::readFontList()
{
    fontListTimer_.stop();
    params_->fontList = panels::makeFontList(panels::installedFamilies());
}

void TForm1::showSetupPanel()
{
    setupPanelTimer_.stop();
    openHosted(ui::hostedFirstTimeSetup, QString());
}

void TForm1::applyLightDirection()
{
    lightDirectionTimer_.stop();
    const int32_t dir = params_->lgtdir;
    for (canvas::TSandbox* w : documents()) {
        model::item_t* h = w->header();
        if (!h || h->hdr().lightDirection == dir) continue;
        h->hdr().lightDirection = std::clamp(dir, 0, 3);
        for (model::item_t* it = w->items().head; it; it = it->next)
            if (it->itemType == model::typePicture) render::dropPictureCache(it);
        w->repaintAll(true);
    }
}

void TForm1::spareTimerFired() { spareTimer_.stop(); }

// ---------------------------------------------------------------- exit

bool TForm1::canExit()
{
    if (exitConfirmed_) return true;
    auto firstModified = [this]() -> canvas::TSandbox* {
        for (canvas::TSandbox* w : documents())
            if (w->isModified()) return w;
        return nullptr;
    };
    if (!firstModified()) return true;
    // The question names every document it is about, one per line.
    QString names;
    for (canvas::TSandbox* w : documents())
        if (w->isModified()) names += QStringLiteral("    ") + w->caption() + QStringLiteral("\r\n");
    const ui::msgButton_t a = ui::dialogs().message(
        ui::msgKind_t::warning,
        QStringLiteral("One or more files were modified, but the changes have not been saved.\r\n") + names +
            QStringLiteral("Do you want to save the files?"),
        ui::btnYes | ui::btnNo | ui::btnCancel);
    if (a == ui::btnNo) return true;
    if (a != ui::btnYes) return false;
    while (canvas::TSandbox* w = firstModified()) {
        area_->activate(w);
        if (!saveDocument(w, true)) return false;
        if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
            if (!sub->close()) return false;
        }
    }
    return true;
}

void TForm1::Exit()
{
    if (!canExit()) return;
    exitConfirmed_ = true;
    close();
}

void TForm1::closeEvent(QCloseEvent* e)
{
    if (!canExit()) {
        e->ignore();
        return;
    }
    exitConfirmed_ = true;
    e->accept();
}

// ---------------------------------------------------------------- open requests

void TForm1::openRequest(const QString& macro)
{
    const QString name = openMacroFileName(macro);
    if (name.isEmpty()) return;
    const QFileInfo fi(name);
    if (!fi.exists() || !fi.isFile()) return;
    openDocumentWindow(name);
    raise();
    QMainWindow::activateWindow();
}

bool TForm1::listenForOpenRequests()
{
    if (!requests_) {
        requests_ = new openRequestServer_t(this);
        requests_->onRequest = [this](const QString& m) { openRequest(m); };
    }
    return requests_->start();
}

} // namespace app
