#include "app/desktopcommands.h"

#include "app/editcommands.h"
#include "app/filecommands.h"
#include "app/mainwindow.h"

#include "canvas/picking.h"
#include "model/clipboard.h"
#include "model/groups.h"
#include "model/itemlist.h"
#include "ui/panelcodes.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace app {

namespace {

// The document files among dropped things: local files ending in .lmra.
QStringList droppedDocuments(const QMimeData* data)
{
    QStringList out;
    if (!data || !data->hasUrls()) return out;
    for (const QUrl& u : data->urls()) {
        if (!u.isLocalFile()) continue;
        const QString path = u.toLocalFile();
        if (QFileInfo(path).suffix().compare(QStringLiteral("lmra"), Qt::CaseInsensitive) == 0) out << path;
    }
    return out;
}

// The menu shows the key; a key the action has already stays its first.
// Where the platform has no binding for the standard key, `fallback` is used.
void addStandardKey(QAction* a, QKeySequence::StandardKey key, const QKeySequence& fallback)
{
    if (!a) return;
    QList<QKeySequence> keys = a->shortcuts();
    QList<QKeySequence> standard = QKeySequence::keyBindings(key);
    if (standard.isEmpty()) standard << fallback;
    for (const QKeySequence& k : standard)
        if (!k.isEmpty() && !keys.contains(k)) keys << k;
    a->setShortcuts(keys);
}

// The main window whose commands the canvases' context menus show (the
// latest built; tests may build several).
desktopCommands_t* contextMenuOwner = nullptr;

} // namespace

desktopCommands_t::desktopCommands_t(TForm1& shell) : QObject(&shell), shell_(shell)
{
    setObjectName(QStringLiteral("desktopCommands"));
}

desktopCommands_t::~desktopCommands_t()
{
    if (contextMenuOwner != this) return;
    contextMenuOwner = nullptr;
    canvas::TSandbox::setContextMenuHandler({});
}

void desktopCommands_t::build(QMenuBar* bar)
{
    TForm1* f = &shell_;
    arrangeMenu_t& m = menu_;
    const editMenu_t& e = shell_.editMenu();

    // Edit: Delete and Duplicate after Paste, Select All after them.
    // The Delete key itself goes to the canvas (a gridline anchor under the
    // mouse, a text being typed, the active tool decide what it does); the
    // menu only shows it.
    m.Delete1 = new QAction(QStringLiteral("Delete\t") +
                                QKeySequence(QKeySequence::Delete).toString(QKeySequence::NativeText),
                            f);
    QObject::connect(m.Delete1, &QAction::triggered, f, [f] { f->eraseCommand(); });
    m.Duplicate1 = new QAction(QStringLiteral("Duplicate"), f);
    // Ctrl+D deletes a point of a spline or curve.
    m.Duplicate1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    QObject::connect(m.Duplicate1, &QAction::triggered, f, [this] { duplicateCommand(); });
    m.SelectAll1 = new QAction(QStringLiteral("Select All"), f);
    m.SelectAll1->setShortcuts(QKeySequence::SelectAll);
    QObject::connect(m.SelectAll1, &QAction::triggered, f, [this] { selectAllCommand(); });
    const QList<QAction*> edit = e.menuEdit->actions();
    const qsizetype at = edit.indexOf(e.Paste1);
    QAction* before = at >= 0 && at + 1 < edit.size() ? edit.at(at + 1) : nullptr;
    e.menuEdit->insertActions(before, {m.Delete1, m.Duplicate1, m.SelectAll1});

    // Arrange, after Edit.
    m.menuArrange = new QMenu(QStringLiteral("&Arrange"), f);
    m.BringToFront1 = m.menuArrange->addAction(QStringLiteral("Bring to Front"), f, [f] { f->stackCommand(true); });
    m.BringToFront1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketRight));
    m.SendToBack1 = m.menuArrange->addAction(QStringLiteral("Send to Back"), f, [f] { f->stackCommand(false); });
    m.SendToBack1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketLeft));
    m.menuArrange->addSeparator();
    m.menuAlign = m.menuArrange->addMenu(QStringLiteral("Align"));
    static const char* const edges[6] = {"Left", "Centres", "Right", "Tops", "Middles", "Bottoms"};
    for (int k = 0; k < 6; ++k) {
        if (k == 3) m.menuAlign->addSeparator();
        const auto edge = static_cast<canvas::alignEdge_t>(k);
        m.align[k] = m.menuAlign->addAction(QString::fromLatin1(edges[k]), f, [this, edge] { alignCommand(edge); });
    }
    m.menuDistribute = m.menuArrange->addMenu(QStringLiteral("Distribute"));
    m.DistributeAcross1 =
        m.menuDistribute->addAction(QStringLiteral("Across"), f, [this] { distributeCommand(true); });
    m.DistributeDown1 = m.menuDistribute->addAction(QStringLiteral("Down"), f, [this] { distributeCommand(false); });
    QAction* after = nullptr;
    const QList<QAction*> menus = bar->actions();
    const qsizetype ei = menus.indexOf(e.menuEdit->menuAction());
    if (ei >= 0 && ei + 1 < menus.size()) after = menus.at(ei + 1);
    bar->insertMenu(after, m.menuArrange);

    // The entries the context menu adds to those of the menus.
    m.FineTune1 = new QAction(QStringLiteral("Fine-tune"), f);
    QObject::connect(m.FineTune1, &QAction::triggered, f, [this] { fineTuneCommand(); });
    m.EditClip1 = new QAction(QStringLiteral("Edit Clip"), f);
    QObject::connect(m.EditClip1, &QAction::triggered, f, [f] { f->editPictureClips(ui::panelClipEdit); });

    // Standard keys where the design gives none.
    const fileMenu_t& fm = shell_.fileMenu();
    addStandardKey(fm.SaveAs1, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    addStandardKey(fm.Close1, QKeySequence::Close, QKeySequence(Qt::CTRL | Qt::Key_W));
    addStandardKey(fm.Exit1, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    if (fm.PrintPreview1 && fm.PrintPreview1->shortcuts().isEmpty())
        fm.PrintPreview1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));

    for (QMenu* menu : {e.menuEdit, m.menuArrange})
        QObject::connect(menu, &QMenu::aboutToShow, this, [this] { refreshStates(); });

    shell_.setAcceptDrops(true);
    shell_.installEventFilter(this);

    contextMenuOwner = this;
    canvas::TSandbox::setContextMenuHandler([this](canvas::TSandbox& w, QPoint global) {
        if (&w != shell_.activeDocument()) return;
        contextMenu(&w)->popup(global);
    });
}

void desktopCommands_t::refreshStates()
{
    canvas::TSandbox* w = shell_.activeDocument();
    model::itemList_t* l = w ? &w->items() : nullptr;
    const bool sel = l && model::firstSelected(*l);
    const int32_t units = l ? model::countSelectionUnits(*l, true) : 0;
    const model::item_t* one = l ? model::singleSelected(*l) : nullptr;
    menu_.Delete1->setEnabled(sel);
    menu_.Duplicate1->setEnabled(sel);
    menu_.SelectAll1->setEnabled(w != nullptr);
    menu_.BringToFront1->setEnabled(sel);
    menu_.SendToBack1->setEnabled(sel);
    menu_.menuAlign->setEnabled(sel);
    menu_.menuDistribute->setEnabled(units >= 3);
    menu_.FineTune1->setEnabled(sel);
    menu_.EditClip1->setEnabled(one && one->itemType == model::typePicture && one->pictureId != 0);
}

QMenu* desktopCommands_t::contextMenu(canvas::TSandbox* w)
{
    shell_.refreshSelectionState();
    refreshStates();
    const editMenu_t& e = shell_.editMenu();
    auto* menu = new QMenu(&shell_);
    menu->setObjectName(QStringLiteral("canvasContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions({e.Cut1, e.Copy1, e.Paste1, menu_.Delete1, menu_.Duplicate1});
    menu->addSeparator();
    menu->addActions({menu_.BringToFront1, menu_.SendToBack1});
    menu->addSeparator();
    // Join or Split, whichever the selection allows (Join when neither).
    menu->addAction(e.SplitGroup1->isEnabled() ? e.SplitGroup1 : e.JoinItems1);
    menu->addAction(menu_.FineTune1);
    const model::item_t* one = w ? model::singleSelected(w->items()) : nullptr;
    if (one && one->itemType == model::typePicture) menu->addAction(menu_.EditClip1);
    // Shortcuts stay usable however the menu closes.
    QObject::connect(menu, &QMenu::aboutToHide, this, [this] {
        for (QAction* a : {menu_.Delete1, menu_.Duplicate1, menu_.BringToFront1, menu_.SendToBack1})
            a->setEnabled(true);
    });
    return menu;
}

void desktopCommands_t::after(canvas::TSandbox* w)
{
    shell_.editStateChanged(w);
    shell_.refreshAttributePanel();
}

void desktopCommands_t::selectAllCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    // A selected open spline or curve keeps Ctrl+A for adding points; the
    // text being typed takes it for its own selection (the window claims the
    // key then, and this command does not run).
    w->leaveToPointer();
    w->selectAll();
}

void desktopCommands_t::duplicateCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (w && w->duplicateSelected()) after(w);
}

void desktopCommands_t::alignCommand(canvas::alignEdge_t edge)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    w->leaveToPointer();
    if (w->alignSelection(edge)) after(w);
}

void desktopCommands_t::distributeCommand(bool across)
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w) return;
    w->leaveToPointer();
    if (w->distributeSelection(across)) after(w);
}

void desktopCommands_t::fineTuneCommand()
{
    canvas::TSandbox* w = shell_.activeDocument();
    if (!w || !model::firstSelected(w->items())) return;
    const int32_t code = canvas::panelForSelection(w->items());
    if (code > 0) shell_.showPanel(code, {});
}

bool desktopCommands_t::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &shell_) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* d = static_cast<QDropEvent*>(event);
            if (!droppedDocuments(d->mimeData()).isEmpty()) {
                d->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* d = static_cast<QDropEvent*>(event);
            const QStringList files = droppedDocuments(d->mimeData());
            if (!files.isEmpty()) {
                d->acceptProposedAction();
                for (const QString& f : files) shell_.openDocumentWindow(f);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
