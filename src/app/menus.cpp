// The main window's menu bar and side panel area.
#include "ui/dialogs.h"
#include "panels/insertpanel.h"
#include "app/mainwindow.h"
#include "ui/panelcodes.h"
#include "render/surface.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

// A menu item whose feature is not part of the editor yet.
QAction* later(QMenu* m, const QString& text, const QKeySequence& key = {})
{
    QAction* a = m->addAction(text);
    if (!key.isEmpty()) a->setShortcut(key);
    a->setEnabled(false);
    return a;
}

} // namespace

QList<QKeySequence> withStandardKeys(const QKeySequence& own, QKeySequence::StandardKey standard)
{
    // The menu shows the first. A key listed twice on one action would be
    // ambiguous and run nothing, so the platform's copy of `own` is dropped.
    QList<QKeySequence> keys{own};
    for (const QKeySequence& k : QKeySequence::keyBindings(standard))
        if (!keys.contains(k)) keys << k;
    return keys;
}

void TForm1::buildMenus()
{
    QMenuBar* mb = menuBar();

    // File
    menuFile = mb->addMenu(QStringLiteral("&File"));
    New1 = menuFile->addAction(QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N), this, [this] { newDocument(); });
    Open1 = menuFile->addAction(QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] { openDocument(); });
    menuReopen = menuFile->addMenu(QStringLiteral("Reopen"));
    for (int k = 0; k < 16; ++k) {
        Reopen[k] = menuReopen->addAction(QString(), this, [this, k] { reopen(k + 1); });
        Reopen[k]->setVisible(false);
    }
    menuReopen->addSeparator();
    ClearRecent1 = menuReopen->addAction(QStringLiteral("Clear..."), this, [this] { clearRecent(); });
    Save1 = menuFile->addAction(QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] {
        if (canvas::TSandbox* w = activeDocument()) saveDocument(w, false);
    });
    SaveAs1 = menuFile->addAction(QStringLiteral("Save As"), this, [this] {
        if (canvas::TSandbox* w = activeDocument()) saveDocumentAs(w);
    });
    Close1 = menuFile->addAction(QStringLiteral("Close"), this, [this] { closeDocument(); });
    menuFile->addSeparator();
    menuPageSetup = menuFile->addMenu(QStringLiteral("Page Setup"));
    PageSetupCurrent = menuPageSetup->addAction(QStringLiteral("Current File"), this,
                                                [this] { openPageSetup(activeDocument()); });
    PageSetupSeparator = menuPageSetup->addSeparator();
    PageSetupNew = menuPageSetup->addAction(QStringLiteral("New Files"), this, [this] { openPageSetup(nullptr); });
    menuGridAndSnap = menuFile->addMenu(QStringLiteral("Grid and Snap"));
    GridSnapCurrent = menuGridAndSnap->addAction(QStringLiteral("Current File"), this, [this] { openGridOptions(true); });
    GridSnapSeparator = menuGridAndSnap->addSeparator();
    GridSnapNew = menuGridAndSnap->addAction(QStringLiteral("New Files"), this, [this] { openGridOptions(false); });
    for (QAction* a : {PageSetupCurrent, PageSetupSeparator, GridSnapCurrent, GridSnapSeparator}) a->setVisible(false);
    menuFile->addSeparator();
    PrintPreview1 = menuFile->addAction(QStringLiteral("Print Preview"), this, [this] { previewDocument(activeDocument()); });
    Print1 = menuFile->addAction(QStringLiteral("Print"), QKeySequence(Qt::CTRL | Qt::Key_P), this,
                                 [this] { printDocument(activeDocument()); });
    ExportSeparator = menuFile->addSeparator();
    menuExport = menuFile->addMenu(QStringLiteral("Export"));
    menuExport->addAction(QStringLiteral("Exact"), this, [this] { exportExact(activeDocument()); });
    menuExport->addAction(QStringLiteral("Smooth"), this, [this] { exportSmooth(activeDocument()); });
    menuFile->addSeparator();
    Exit1 = menuFile->addAction(QStringLiteral("Exit"), this, [this] { Exit(); });

    // Insert
    buildInsertMenu();

    // Edit
    menuEdit = mb->addMenu(QStringLiteral("&Edit"));
    Undo1 = menuEdit->addAction(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), this, [this] { undoCommand(false); });
    Redo1 = menuEdit->addAction(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this,
                                [this] { undoCommand(true); });
    menuEdit->addSeparator();
    ClearUndo1 = menuEdit->addAction(QStringLiteral("Clear Undo and Redo"), this, [this] { clearUndoCommand(); });
    menuEdit->addSeparator();
    Cut1 = menuEdit->addAction(QStringLiteral("Cut"), this, [this] { cutCommand(); });
    Copy1 = menuEdit->addAction(QStringLiteral("Copy"), this, [this] { copyCommand(); });
    Paste1 = menuEdit->addAction(QStringLiteral("Paste"), this, [this] { pasteCommand(); });
    Cut1->setShortcuts(withStandardKeys(QKeySequence(Qt::CTRL | Qt::Key_Delete), QKeySequence::Cut));
    Copy1->setShortcuts(withStandardKeys(QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence::Copy));
    Paste1->setShortcuts(withStandardKeys(QKeySequence(Qt::SHIFT | Qt::Key_Insert), QKeySequence::Paste));
    menuEdit->addSeparator();
    CopyToClipboard1 = menuEdit->addAction(QStringLiteral("Copy to Clipboard"), this, [this] { copyAreaCommand(); });
    CopyToClipboard1->setVisible(false);
    // The area copy is offered only while the active window has a marked area.
    QObject::connect(menuEdit, &QMenu::aboutToShow, this, [this] {
        const canvas::TSandbox* w = activeDocument();
        CopyToClipboard1->setEnabled(w && w->areaRect().width() > 0 && w->areaRect().height() > 0);
    });
    JoinItems1 = menuEdit->addAction(QStringLiteral("Join Items"), this, [this] { joinCommand(); });
    SplitGroup1 = menuEdit->addAction(QStringLiteral("Split Group"), this, [this] { splitCommand(); });
    for (QAction* a : {Undo1, Redo1, ClearUndo1, Cut1, Copy1, Paste1, CopyToClipboard1, JoinItems1, SplitGroup1})
        a->setEnabled(false);

    // Zoom
    menuZoom = mb->addMenu(QStringLiteral("&Zoom"));
    auto* zoomGroup = new QActionGroup(this);
    zoomGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < 9; ++i) {
        zoomItems[i] = menuZoom->addAction(QString::number(geometry::zoomPresets[i]) + QLatin1Char('%'), this,
                                           [this, i] { chooseZoom(i); });
        zoomItems[i]->setCheckable(true);
        zoomGroup->addAction(zoomItems[i]);
    }
    zoomItems[3]->setChecked(true);

    // Tools
    menuTools = mb->addMenu(QStringLiteral("&Tools"));
    static const char* const kinds[4] = {"None", "Horizontal", "Vertical", "Both"};
    auto radio = [this](QMenu* m, std::array<QAction*, 4>& items, void (TForm1::*fn)(int32_t)) {
        auto* g = new QActionGroup(this);
        for (int k = 0; k < 4; ++k) {
            items[k] = m->addAction(QString::fromLatin1(kinds[k]), this, [this, fn, k] { (this->*fn)(k); });
            items[k]->setCheckable(true);
            g->addAction(items[k]);
        }
    };
    menuGrid = menuTools->addMenu(QStringLiteral("Grid"));
    radio(menuGrid, gridItems, &TForm1::gridCommand);
    menuGrid->addSeparator();
    gridCustomize = menuGrid->addAction(QStringLiteral("Customize..."), this, [this] {
        if (openGridOptions(true)) showGuidance(ui::guidanceGrid);
    });
    menuReset = menuGrid->addMenu(QStringLiteral("Reset"));
    for (int k = 1; k <= 3; ++k)
        resetItems[k] = menuReset->addAction(QString::fromLatin1(kinds[k]), this, [this, k] { resetGridCommand(k); });
    menuGrid->addSeparator();
    menuAnchors = menuGrid->addMenu(QStringLiteral("Anchors"));
    radio(menuAnchors, anchorItems, &TForm1::anchorCommand);
    menuSnap = menuTools->addMenu(QStringLiteral("Snap"));
    radio(menuSnap, snapItems, &TForm1::snapCommand);
    menuTools->addSeparator();
    speedItem = later(menuTools, QStringLiteral("Speed..."));

    // Customize
    menuCustomize = mb->addMenu(QStringLiteral("&Customize"));
    menuCustomize->addAction(QStringLiteral("Colors"), this, [this] {
        int32_t colour = 0;
        std::vector<int32_t> custom(params->savedColors.begin(), params->savedColors.end());
        if (ui::dialogs().chooseColor(colour, custom)) params->rememberColor(colour);
    });
    for (const char* t : {"Line Weights", "Line Patterns", "Alignments", "Font sizes", "Text angles", "Shadows"})
        later(menuCustomize, QString::fromLatin1(t));

    // Window
    menuWindow = mb->addMenu(QStringLiteral("&Window"));
    menuWindow->menuAction()->setVisible(false);

    // Help
    menuHelp = mb->addMenu(QStringLiteral("&Help"));
    QMenu* hints = menuHelp->addMenu(QStringLiteral("Hints"));
    ShowAll1 = hints->addAction(QStringLiteral("Show All"), this, [this] { setHints(true); });
    ShowNone1 = hints->addAction(QStringLiteral("Show None"), this, [this] { setHints(false); });
    ShowAll1->setCheckable(true);
    ShowNone1->setCheckable(true);
    QObject::connect(menuHelp, &QMenu::aboutToShow, this, [this] {
        bool all = true, none = true;
        for (uint8_t f : params->hintFlags) {
            if (f) none = false;
            else all = false;
        }
        ShowAll1->setChecked(all);
        ShowNone1->setChecked(none);
    });
    menuHelp->addSeparator();
    About1 = later(menuHelp, QStringLiteral("About"));
}

void TForm1::buildInsertMenu()
{
    menuInsert = menuBar()->addMenu(QStringLiteral("&Insert"));
    // Each entry runs its panel command at once, as the insert panel does after its press.
    for (const panels::insertEntry_t& e : panels::insertEntries) {
        const int32_t code = e.code;
        menuInsert->addAction(QString::fromLatin1(e.name), this, [this, code] { runPanelCommand(code); });
    }
}

} // namespace app
