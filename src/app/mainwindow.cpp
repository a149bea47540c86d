#include "app/mainwindow.h"

#include "ui/dialogs.h"
#include "ui/panellook.h"
#include "ui/sidepanel.h"
#include "app/keyrouting.h"
#include "app/openrequest.h"
#include "app/recent.h"
#include "panels/panelhost.h"
#include "panels/fontlist.h"
#include "model/itemlist.h"

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
    decimalSeparator = loc.decimalPoint().isEmpty() ? QLatin1Char('.') : loc.decimalPoint().at(0);
    thousandSeparator = loc.groupSeparator().isEmpty() ? QLatin1Char(',') : loc.groupSeparator().at(0);
    exitConfirmed = false;
    previousPanelCode = ui::panelInsert;

    const struct {
        QTimer* t;
        const char* name;
        int ms;
        void (TForm1::*fn)();
    } timers[] = {{&Timer1, "Timer1", 100, &TForm1::Timer1Timer}, {&Timer2, "Timer2", 500, &TForm1::Timer2Timer},
                  {&Timer3, "Timer3", 5000, &TForm1::Timer3Timer}, {&Timer4, "Timer4", 200, &TForm1::Timer4Timer},
                  {&Timer5, "Timer5", 200, &TForm1::Timer5Timer}, {&Timer6, "Timer6", 1000, &TForm1::Timer6Timer},
                  {&Timer7, "Timer7", 200, &TForm1::Timer7Timer}, {&Timer8, "Timer8", 200, &TForm1::Timer8Timer}};
    for (const auto& t : timers) {
        t.t->setObjectName(QString::fromLatin1(t.name));
        t.t->setSingleShot(true);
        t.t->setInterval(t.ms);
        QObject::connect(t.t, &QTimer::timeout, this, t.fn);
    }

    // Every key of the application passes the key hook first.
    keyRouter = new keyRouter_t(this);
    qApp->installEventFilter(keyRouter);

    // Layout: the toolbar strip above the side panel and the document area.
    topSplitter = new QSplitter(Qt::Vertical, this);
    topSplitter->setObjectName(QStringLiteral("topSplitter"));
    topSplitter->setChildrenCollapsible(false);
    topSplitter->setHandleWidth(3);

    buildMenus();

    // The toolbar strip (the shared-procedures object) on top.
    procs = new canvas::TProcs(this, topSplitter);
    procs->setMinimumHeight(stripHeight);
    procs->setMaximumHeight(30);
    QWidget* lower = new QWidget(topSplitter);
    auto* hl = new QHBoxLayout(lower);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(0);
    buildSidePanel();
    hl->addWidget(sidePanel);
    mdiArea = new QMdiArea(lower);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setBackground(QColor(0x80, 0x80, 0x80));
    mdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    hl->addWidget(mdiArea, 1);
    topSplitter->addWidget(procs);
    topSplitter->addWidget(lower);
    topSplitter->setStretchFactor(1, 1);
    topSplitter->setSizes({stripHeight, 600});
    setCentralWidget(topSplitter);
    QObject::connect(mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* s) { subWindowActivated(s); });

    // The settings object: defaults, then the stored settings.
    params = std::make_unique<settings::TParams>(nullptr);
    canvas::setParams(params.get());
    params->initSettings();
    rebuildReopenMenu();

    // The two floating windows exist for the whole run.
    TFormX = new ui::THostWindow(ui::hostId_t::formX, params->floatGeometry, *params, this);
    TFormX->setObjectName(QStringLiteral("TFormX"));
    TFormY = new ui::THostWindow(ui::hostId_t::formY, params->floatGeometry, *params, this);
    TFormY->setObjectName(QStringLiteral("TFormY"));
    registerHostedPanels();
    registerOutputPanels();

    // Interface font; nothing to undo, redo or paste yet.
    QFont uiFont(params->uiFont);
    uiFont.setPointSize(params->uiFontSize);
    sidePanel->setFont(uiFont);
    ui::setInterfaceFont(params->uiFont, params->uiFontSize);
    ui::setPanelColour(params->panelColor);
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
    procs->refreshUndoButtons(false, false);
    procs->setButtonEnabled(canvas::buttonPaste, false);  // pasting needs the placing tool

    // The side panel starts with the insert panel and the pointer.
    setGridChecks(0, false);
    setAnchorChecks(3);
    panelCode = ui::panelInsert;
    showInsertPanel();
    rebuildSuggestions();
    refreshStepControls();
    procs->pressToolButton(canvas::buttonForPanel(panelCode));
    setDocumentCommandsEnabled(false);

    // Shortly after start-up an untitled document opens when none was opened.
    Timer2.start();

    // Exporting is not offered yet.
    menuExport->menuAction()->setVisible(false);
    ExportSeparator->setVisible(false);

    // The font list is read once the window shows.
    Timer5.start();

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);
    resize(936, 637 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect a = s->availableGeometry();
        move(a.center() - rect().center());
    }
}

TForm1::~TForm1()
{
    tearingDown_ = true;
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6, &Timer7, &Timer8}) t->stop();
    // The hosted panels may work on a document or the settings: they go first.
    delete TFormX;
    delete TFormY;
    TFormX = TFormY = nullptr;
    // The side panel showing writes its settings (its tab) when freed: it
    // goes while the settings and the panel host are still there.
    delete codePanel;
    codePanel = nullptr;
    // The settings are written when the window goes.
    if (params) params->saveAllSettings();
    deleteDocumentWindows();
    canvas::setParams(nullptr);
}

bool TForm1::openHosted(int32_t code, const QString& documentName, QWidget* document)
{
    const ui::hostedKind_t* kind = ui::hostedKind(code);
    if (!kind) return false;
    ui::THostWindow* host = kind->host == ui::hostId_t::formX ? TFormX : TFormY;
    return host && host->openHosted(code, documentName, document);
}

void TForm1::deleteDocumentWindows()
{
    // Every document window still alive, including those already closed whose
    // deferred deletion has not run (the area's window list no longer has
    // them): each is detached first, so that none calls back into this half
    // destroyed window, then deleted with its frame while the members exist.
    std::vector<canvas::TSandbox*> all;
    // The document window has no meta-object of its own, so it is told apart by its type.
    for (QWidget* c : findChildren<QWidget*>())
        if (auto* d = dynamic_cast<canvas::TSandbox*>(c)) all.push_back(d);
    std::vector<QPointer<QWidget>> doomed;
    for (canvas::TSandbox* w : all) {
        w->markClosing();
        w->detachHost();
        QWidget* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        doomed.emplace_back(frame ? frame : static_cast<QWidget*>(w));
    }
    lastActive_ = nullptr;
    for (const QPointer<QWidget>& p : doomed) delete p.data();
    // The area outlives this window's own part by a moment; it reports nothing more.
    mdiArea->disconnect(this);
}

void TForm1::setHints(bool all)
{
    params->hintFlags.fill(all ? 1 : 0);
    ShowAll1->setChecked(all);
    ShowNone1->setChecked(!all);
}

// ---------------------------------------------------------------- documents

canvas::TSandbox* TForm1::sandboxOf(QMdiSubWindow* sub) const
{
    return sub ? dynamic_cast<canvas::TSandbox*>(sub->widget()) : nullptr;
}

std::vector<canvas::TSandbox*> TForm1::documents() const
{
    std::vector<canvas::TSandbox*> out;
    if (!mdiArea) return out;
    for (QMdiSubWindow* s : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (canvas::TSandbox* w = sandboxOf(s); w && !w->isClosing()) out.push_back(w);
    return out;
}

canvas::TSandbox* TForm1::activeDocument() const
{
    canvas::TSandbox* w = sandboxOf(mdiArea->activeSubWindow());
    if (!w) w = sandboxOf(mdiArea->currentSubWindow());
    if (w && w->isClosing()) return nullptr;
    return w;
}

int32_t TForm1::randomWindowNumber() const
{
    const std::vector<canvas::TSandbox*> docs = documents();
    for (;;) {
        const int32_t n = static_cast<int32_t>(QRandomGenerator::global()->bounded(1, 1000000));
        bool used = false;
        for (const canvas::TSandbox* w : docs)
            if (w->documentNumber() == n) used = true;
        if (!used) return n;
    }
}

canvas::TSandbox* TForm1::openDocumentWindow(const QString& name)
{
    const int32_t number = randomWindowNumber();
    const std::vector<canvas::TSandbox*> docs = documents();
    canvas::TSandbox* w = nullptr;
    // A single untouched untitled document makes way for a named file; an
    // opened file, even an empty one, keeps its window.
    if (!name.isEmpty() && docs.size() == 1 && docs[0] == activeDocument() && docs[0]->fileName.isEmpty() &&
        model::isPristine(docs[0]->items)) {
        w = docs[0];
        removeWindowEntry(w->documentNumber());
    } else {
        w = new canvas::TSandbox(this);
        QMdiSubWindow* sub = mdiArea->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(QIcon(QPixmap(1, 1)));
        // Placed before it shows, so that the area's own placement (which
        // puts later windows beside the first, mostly out of sight) is not used.
        sub->setGeometry(newWindowGeometry(static_cast<int32_t>(docs.size())));
        QObject::connect(sub, &QMdiSubWindow::windowStateChanged, this,
                         [this, sub](Qt::WindowStates before, Qt::WindowStates now) {
                             // A restored window comes back where it was, which may lie
                             // outside the area since the main window was resized.
                             const Qt::WindowStates big = Qt::WindowMaximized | Qt::WindowMinimized;
                             if ((before & big) && !(now & big))
                                 QTimer::singleShot(0, sub, [this, sub] { keepInsideArea(sub); });
                         });
        if (docs.empty()) sub->showMaximized();
        else sub->show();
    }
    const bool opened = w->openDocument(number, name);
    if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) mdiArea->setActiveSubWindow(sub);
    // The window may have become active before its document was ready, when
    // activation could not yet check its entry.
    checkWindowEntry(w->documentNumber());
    // Whatever asked for the file (the Open dialog, Reopen, the command line,
    // an open request), a file that opened goes to the top of Reopen; one
    // that was refused or could not be read does not.
    if (opened && !w->fileName.isEmpty()) addRecent(w->fileName);
    setDocumentCommandsEnabled(true);
    return w;
}

QRect TForm1::newWindowGeometry(int32_t othersOpen) const
{
    const QRect area = mdiArea->viewport()->rect();
    const int32_t width = std::min(std::max(300, area.width() * 3 / 4), std::max(1, area.width()));
    const int32_t height = std::min(std::max(200, area.height() * 3 / 4), std::max(1, area.height()));
    // Each further window one title bar down and right of the one before,
    // starting again at the top-left before it would leave the area.
    const int32_t step = std::max(8, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const int32_t room = std::min(area.width() - width, area.height() - height) / step + 1;
    const int32_t k = othersOpen % std::max(1, room);
    return QRect(k * step, k * step, width, height);
}

void TForm1::keepInsideArea(QMdiSubWindow* sub)
{
    if (!sub || sub->isMaximized() || sub->isMinimized()) return;
    const QRect area = mdiArea->viewport()->rect();
    QRect g = sub->geometry();
    g.setWidth(std::min(g.width(), area.width()));
    g.setHeight(std::min(g.height(), area.height()));
    g.moveLeft(std::clamp(g.left(), 0, std::max(0, area.width() - g.width())));
    g.moveTop(std::clamp(g.top(), 0, std::max(0, area.height() - g.height())));
    if (g != sub->geometry()) sub->setGeometry(g);
}

bool TForm1::activateWindow(int32_t docNumber)
{
    for (QMdiSubWindow* s : mdiArea->subWindowList()) {
        canvas::TSandbox* w = sandboxOf(s);
        if (w && !w->isClosing() && w->documentNumber() == docNumber) {
            mdiArea->setActiveSubWindow(s);
            s->show();
            // Choosing the entry of the window already active toggles the
            // entry's check mark off; the active window's entry stays checked.
            checkWindowEntry(docNumber);
            return true;
        }
    }
    return false;
}

void TForm1::subWindowActivated(QMdiSubWindow* sub)
{
    canvas::TSandbox* w = sandboxOf(sub);
    if (w == lastActive_) return;
    if (lastActive_ && !lastActive_->isClosing()) lastActive_->FormDeactivate();
    lastActive_ = w;
    if (w && !w->isClosing()) w->FormActivate();
}

void TForm1::documentActivated(canvas::TSandbox* w)
{
    if (tearingDown_ || !w) return;
    showModified(w);
    refreshDocumentMenus(w);
    if (!firstDocumentSeen_ && w->isReady()) {
        firstDocumentSeen_ = true;
        if (onFirstDocument) QTimer::singleShot(0, this, [this] { if (onFirstDocument) onFirstDocument(); });
    }
}

void TForm1::refreshDocumentMenus(canvas::TSandbox* w)
{
    const model::item_t* h = w->header();
    if (!h) return;
    zoomControlsChanged();
    const auto& hd = h->hdr();
    auto kindOf = [](uint8_t x, uint8_t y) { return (x ? 1 : 0) + (y ? 2 : 0); };
    setGridChecks(kindOf(hd.showGridX, hd.showGridY), true);
    setAnchorChecks(kindOf(hd.showAnchorsX, hd.showAnchorsY));
    setSnapChecks(kindOf(hd.snapX, hd.snapY), true);
    setDocumentCommandsEnabled(true);
    refreshUndoButtons();
    refreshSelectionState();
}

void TForm1::documentDestroyed(canvas::TSandbox* w)
{
    if (w == lastActive_) lastActive_ = nullptr;
    if (tearingDown_) return;
    Timer4.start();
}

void TForm1::zoomControlsChanged()
{
    procs->showZoom(params->currentZoom);
    updateZoomChecks();
}

// ---------------------------------------------------------------- commands

void TForm1::setDocumentCommandsEnabled(bool on)
{
    for (QAction* a : {Save1, SaveAs1, Close1, ClearUndo1}) a->setEnabled(on);
    // Print, Print Preview and Export stay off until their features are part
    // of the editor.
    procs->setButtonEnabled(canvas::buttonSave, on);
}

void TForm1::updateZoomChecks()
{
    for (QAction* a : zoomItems) a->setChecked(false);
    const int32_t i = geometry::zoomPresetIndex(params->currentZoom);
    if (i >= 0) zoomItems[i]->setChecked(true);
}

void TForm1::setZoom(double zoom)
{
    // The active document keeps the zoom; the controls show what it keeps.
    if (canvas::TSandbox* w = activeDocument()) {
        w->applyZoom(zoom);
        return;
    }
    params->currentZoom = zoom;
    zoomControlsChanged();
}

void TForm1::chooseZoom(int32_t index)
{
    if (index < 0 || index > 8) return;
    setZoom(geometry::zoomPresets[index] / 100.0);
}

void TForm1::applyZoomStep(int32_t direction)
{
    const int32_t z = model::roundHalfEven(params->currentZoom * 100);
    const int32_t n = direction < 0 ? canvas::zoomStepOut(z) : canvas::zoomStepIn(z);
    if (n == z) return;
    setZoom(n / 100.0);
}

void TForm1::setGridChecks(int32_t kind, bool pressToolbar)
{
    kind = std::clamp(kind, 0, 3);
    for (int k = 0; k < 4; ++k) gridItems[k]->setChecked(k == kind);
    // Reset and Anchors mean something only with gridlines; Reset offers the
    // directions on show.
    menuAnchors->setEnabled(kind != 0);
    menuReset->setEnabled(kind != 0);
    if (resetItems[1]) resetItems[1]->setEnabled(kind & 1);
    if (resetItems[2]) resetItems[2]->setEnabled(kind & 2);
    if (resetItems[3]) resetItems[3]->setEnabled(kind == 3);
    if (pressToolbar) procs->setGridButton(kind ? canvas::toggle_t::pressed : canvas::toggle_t::released);
}

void TForm1::setAnchorChecks(int32_t kind)
{
    kind = std::clamp(kind, 0, 3);
    for (int k = 0; k < 4; ++k) anchorItems[k]->setChecked(k == kind);
}

void TForm1::setSnapChecks(int32_t kind, bool pressToolbar)
{
    kind = std::clamp(kind, 0, 3);
    for (int k = 0; k < 4; ++k) snapItems[k]->setChecked(k == kind);
    if (pressToolbar) procs->setSnapButton(kind ? canvas::toggle_t::pressed : canvas::toggle_t::released);
}

void TForm1::gridCommand(int32_t kind)
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !w->header()) {
        setGridChecks(0, true);
        return;
    }
    w->setGrid(kind);
    setGridChecks(kind, true);
    if (kind != 0) showGuidance(ui::guidanceGrid);
}

void TForm1::anchorCommand(int32_t kind)
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !w->header()) return;
    w->setAnchors(kind);
    setAnchorChecks(kind);
}

void TForm1::snapCommand(int32_t kind)
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !w->header()) {
        setSnapChecks(0, true);
        return;
    }
    w->setSnap(kind);
    setSnapChecks(kind, true);
    if (kind == 3) showGuidance(ui::guidanceSnap);
}

void TForm1::resetGridCommand(int32_t directions)
{
    canvas::TSandbox* w = activeDocument();
    if (!w || !w->header()) return;
    const QString question = QStringLiteral(
        "Make the distances between the gridlines equal?\r\n(Use 'Tools|Grid|Customize...' to set the default distance).");
    if (ui::dialogs().message(ui::msgKind_t::confirmation, question, ui::btnYes | ui::btnNo) != ui::btnYes) return;
    w->resetGrid(directions);
    refreshUndoButtons();
}

void TForm1::showStatus(const QString& text)
{
    if (text.isEmpty()) statusBar()->clearMessage();
    else statusBar()->showMessage(text);
}

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
            model::selectOnly(w->items, nullptr);
            w->repaintAll(true);
            refreshSelectionState();
            showPanel(ui::panelInsert, true, false, false);
        }
        return;
    case canvas::buttonExport: exportExact(w); return;
    case canvas::buttonPrint: printDocument(w); return;
    case canvas::buttonZoomOut: applyZoomStep(-1); return;
    case canvas::buttonZoomIn: applyZoomStep(+1); return;
    case canvas::buttonPicture:
        // The picture dialog, then the insert panel again (Timer1).
        pendingPanel = ui::panelPictureInsert;
        Timer1.start();
        return;
    default: break;
    }
    const int32_t code = canvas::toolPanelCode(n);
    if (code) {
        // The tool's panel: nothing happens when it is already showing.
        if (code == panelCode && procs->pressedTool() == n) return;
        showPanel(code, false, true, false);
        procs->pressToolButton(n);
        // A tool with no document opens an untitled one shortly.
        Timer2.start();
    }
}

void TForm1::toolbarZoom(int32_t percent)
{
    if (percent <= 0) return;
    setZoom(percent / 100.0);
}

void TForm1::toolbarToggle(int32_t n, bool on)
{
    if (n == canvas::buttonGridlines) gridCommand(on ? 3 : 0);
    else if (n == canvas::buttonSnap) snapCommand(on ? 3 : 0);
}

// ---------------------------------------------------------------- window menu

void TForm1::addWindowEntry(const QString& caption, int32_t docNumber)
{
    for (QAction* a : menuWindow->actions()) {
        if (a->data().toInt() == docNumber) {
            a->setText(caption);
            return;
        }
    }
    QAction* a = menuWindow->addAction(caption, this, [this, docNumber] { activateWindow(docNumber); });
    a->setData(docNumber);
    a->setCheckable(true);
    menuWindow->menuAction()->setVisible(true);
}

void TForm1::checkWindowEntry(int32_t docNumber)
{
    QString caption;
    for (QAction* a : menuWindow->actions()) {
        const bool mine = a->data().toInt() == docNumber;
        a->setChecked(mine);
        if (mine) caption = a->text().trimmed();
    }
    const bool shown = !caption.isEmpty();
    for (QAction* a : {PageSetupCurrent, PageSetupSeparator, GridSnapCurrent, GridSnapSeparator}) a->setVisible(shown);
    if (shown) {
        PageSetupCurrent->setText(caption);
        GridSnapCurrent->setText(caption);
    }
}

void TForm1::removeWindowEntry(int32_t docNumber)
{
    if (tearingDown_) return;
    for (QAction* a : menuWindow->actions()) {
        if (a->data().toInt() == docNumber) {
            menuWindow->removeAction(a);
            a->deleteLater();
            break;
        }
    }
    if (menuWindow->actions().isEmpty()) {
        menuWindow->menuAction()->setVisible(false);
        for (QAction* a : {PageSetupCurrent, PageSetupSeparator, GridSnapCurrent, GridSnapSeparator})
            a->setVisible(false);
    }
}

// ---------------------------------------------------------------- timers

void TForm1::Timer2Timer()
{
    Timer2.stop();
    if (documents().empty()) openDocumentWindow(QString());
}

void TForm1::Timer3Timer()
{
    Timer3.stop();
    procs->stripLeave();
}

void TForm1::Timer4Timer()
{
    Timer4.stop();
    if (!documents().empty()) return;
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
    procs->refreshUndoButtons(false, false);
    params->currentZoom = 1.0;
    zoomControlsChanged();
    showPanel(ui::panelInsert, true, false, false);
    const settings::defaults_t& d = params->newFile;
    setGridChecks((d.showGridX ? 1 : 0) + (d.showGridY ? 2 : 0), true);
    setAnchorChecks((d.showAnchorsX ? 1 : 0) + (d.showAnchorsY ? 2 : 0));
    setSnapChecks((d.snapX ? 1 : 0) + (d.snapY ? 2 : 0), true);
    refreshSelectionState();
    setDocumentCommandsEnabled(false);
}

void TForm1::Timer5Timer()
{
    Timer5.stop();
    params->fontList = panels::makeFontList(panels::installedFamilies());
}

void TForm1::Timer6Timer()
{
    Timer6.stop();
    // The first-time setup panel comes with its own feature.
}

void TForm1::Timer7Timer()
{
    Timer7.stop();
    const int32_t dir = params->lgtdir;
    for (canvas::TSandbox* w : documents()) {
        model::item_t* h = w->header();
        if (!h || h->hdr().lightDirection == dir) continue;
        h->hdr().lightDirection = std::clamp(dir, 0, 3);
        for (model::item_t* it = w->items.head; it; it = it->next)
            if (it->itemType == model::typePicture) model::freeChildren(it->children);
        w->repaintAll(true);
    }
}

void TForm1::Timer8Timer()
{
    Timer8.stop();
}

// ---------------------------------------------------------------- exit

bool TForm1::canExit()
{
    if (exitConfirmed) return true;
    auto firstModified = [this]() -> canvas::TSandbox* {
        for (canvas::TSandbox* w : documents())
            if (w->isModified()) return w;
        return nullptr;
    };
    if (!firstModified()) return true;
    const ui::msgButton_t a = ui::dialogs().message(
        ui::msgKind_t::warning,
        QStringLiteral("One or more files were modified, but the changes have not been saved.\r\nDo you want to save the files?"),
        ui::btnYes | ui::btnNo | ui::btnCancel);
    if (a == ui::btnNo) return true;
    if (a != ui::btnYes) return false;
    while (canvas::TSandbox* w = firstModified()) {
        if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) mdiArea->setActiveSubWindow(sub);
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
    exitConfirmed = true;
    close();
}

void TForm1::closeEvent(QCloseEvent* e)
{
    if (!canExit()) {
        e->ignore();
        return;
    }
    exitConfirmed = true;
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
