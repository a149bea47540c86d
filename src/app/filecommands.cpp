#include "app/filecommands.h"

#include "app/documentarea.h"
#include "app/mainwindow.h"
#include "app/outputcommands.h"
#include "ui/dialogs.h"
#include "app/recent.h"

#include "model/docfile.h"
#include "settings/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace app {

namespace {

const QString fileFilter = QStringLiteral("All files (*.*)|*.*|Lumora files (*.lmra)|*.lmra");
const QString defaultExtension = QStringLiteral("lmra");

} // namespace

fileCommands_t::fileCommands_t(TForm1& shell) : shell_(shell) {}

void fileCommands_t::buildMenu(QMenuBar* bar)
{
    TForm1* f = &shell_;
    fileMenu_t& m = menu_;
    m.menuFile = bar->addMenu(QStringLiteral("&File"));
    m.New1 = m.menuFile->addAction(QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N), f, [this] { newDocument(); });
    m.Open1 = m.menuFile->addAction(QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), f, [this] { openDocument(); });
    m.menuReopen = m.menuFile->addMenu(QStringLiteral("Reopen"));
    for (int k = 0; k < settings::reopenCount; ++k) {
        m.Reopen[k] = m.menuReopen->addAction(QString(), f, [this, k] { reopen(k + 1); });
        m.Reopen[k]->setVisible(false);
    }
    m.menuReopen->addSeparator();
    m.ClearRecent1 = m.menuReopen->addAction(QStringLiteral("Clear..."), f, [this] { clearRecent(); });
    m.Save1 = m.menuFile->addAction(QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S), f, [this] {
        if (canvas::TSandbox* w = shell_.activeDocument()) saveDocument(w, false);
    });
    m.SaveAs1 = m.menuFile->addAction(QStringLiteral("Save As"), f, [this] {
        if (canvas::TSandbox* w = shell_.activeDocument()) saveDocumentAs(w);
    });
    m.Close1 = m.menuFile->addAction(QStringLiteral("Close"), f, [this] { closeDocument(); });
    m.menuFile->addSeparator();
    m.menuPageSetup = m.menuFile->addMenu(QStringLiteral("Page Setup"));
    m.PageSetupCurrent = m.menuPageSetup->addAction(QStringLiteral("Current File"), f,
                                                    [this] { shell_.openPageSetup(shell_.activeDocument()); });
    m.PageSetupSeparator = m.menuPageSetup->addSeparator();
    m.PageSetupNew = m.menuPageSetup->addAction(QStringLiteral("New Files"), f, [this] { shell_.openPageSetup(nullptr); });
    m.menuGridAndSnap = m.menuFile->addMenu(QStringLiteral("Grid and Snap"));
    m.GridSnapCurrent = m.menuGridAndSnap->addAction(QStringLiteral("Current File"), f, [this] { shell_.openGridOptions(true); });
    m.GridSnapSeparator = m.menuGridAndSnap->addSeparator();
    m.GridSnapNew = m.menuGridAndSnap->addAction(QStringLiteral("New Files"), f, [this] { shell_.openGridOptions(false); });
    showCurrentFile(QString());
    m.menuFile->addSeparator();
    m.PrintPreview1 = m.menuFile->addAction(QStringLiteral("Print Preview"), f,
                                            [this] { shell_.previewDocument(shell_.activeDocument()); });
    m.Print1 = m.menuFile->addAction(QStringLiteral("Print"), QKeySequence(Qt::CTRL | Qt::Key_P), f,
                                     [this] { shell_.printDocument(shell_.activeDocument()); });
    m.menuFile->addAction(QStringLiteral("Calibrate printer..."), f,
                          [this] { shell_.outputs().calibratePrinter(shell_.activeDocument()); });
    m.ExportSeparator = m.menuFile->addSeparator();
    m.menuExport = m.menuFile->addMenu(QStringLiteral("Export"));
    m.menuExport->addAction(QStringLiteral("Exact"), f, [this] { shell_.exportExact(shell_.activeDocument()); });
    m.menuExport->addAction(QStringLiteral("Smooth"), f, [this] { shell_.exportSmooth(shell_.activeDocument()); });
    m.menuFile->addSeparator();
    m.Exit1 = m.menuFile->addAction(QStringLiteral("Exit"), f, [this] { shell_.Exit(); });
}

void fileCommands_t::setDocumentCommandsEnabled(bool on)
{
    for (QAction* a : {menu_.Save1, menu_.SaveAs1, menu_.Close1}) a->setEnabled(on);
    // Print and Print Preview stay enabled: without a document they do nothing.
    shell_.procs()->setButtonEnabled(canvas::buttonSave, on);
}

void fileCommands_t::showCurrentFile(const QString& caption)
{
    const bool shown = !caption.isEmpty();
    for (QAction* a : {menu_.PageSetupCurrent, menu_.PageSetupSeparator, menu_.GridSnapCurrent, menu_.GridSnapSeparator})
        a->setVisible(shown);
    if (shown) {
        menu_.PageSetupCurrent->setText(caption);
        menu_.GridSnapCurrent->setText(caption);
    }
}

void fileCommands_t::newDocument()
{
    shell_.openDocumentWindow(QString());
}

QStringList fileCommands_t::openDialog()
{
    ui::fileRequest_t r;
    r.folder = settings::dialogFolder(settings::folderKind_t::documents, shell_.params()->docdir);
    r.title = QStringLiteral("Open");
    r.defaultExt = defaultExtension;
    r.filter = fileFilter;
    r.filterIndex = 2;
    r.name = shell_.params()->lastOpened;
    QStringList chosen;
    for (const QString& name : ui::dialogs().openFiles(r))
        if (!name.trimmed().isEmpty()) chosen.push_back(QFileInfo(name).absoluteFilePath());
    if (chosen.isEmpty()) return {};
    // The folder and name remembered are the last file's.
    shell_.params()->docdir = QFileInfo(chosen.back()).absolutePath();
    shell_.params()->lastOpened = chosen.back();
    // The Reopen list takes each file once it has opened (openDocumentWindow):
    // a file the user refuses to open is not offered again.
    return chosen;
}

// Every file chosen opens in its own window, in the order chosen; the last
// one ends up active.
void fileCommands_t::openDocument()
{
    for (const QString& name : openDialog()) shell_.openDocumentWindow(name);
}

bool fileCommands_t::writeWindow(canvas::TSandbox* w, const QString& name)
{
    std::string error;
    if (model::writeDocument(name.toStdString(), w->items(), &error)) {
        shell_.showModified(w);
        return true;
    }
    // A failed write loses nothing: the file on disk is the previous one and
    // the document stays modified, so the user can try elsewhere.
    ui::dialogs().message(ui::msgKind_t::warning,
                      QStringLiteral("The file \"%1\" could not be saved: %2")
                          .arg(QDir::toNativeSeparators(name),
                               error.empty() ? QStringLiteral("the file could not be written") : QString::fromStdString(error)),
                      ui::btnOk);
    return false;
}

bool fileCommands_t::saveAsDialog(QString& name, canvas::TSandbox* w)
{
    ui::fileRequest_t r;
    r.folder = settings::dialogFolder(settings::folderKind_t::documents, shell_.params()->docdir);
    r.title = QStringLiteral("Save As");
    r.name = name.trimmed().isEmpty() ? QString() : QFileInfo(name).fileName();
    r.defaultExt = defaultExtension;
    r.filter = fileFilter;
    r.filterIndex = 2;
    QString chosen = ui::dialogs().saveFile(r);
    if (chosen.isEmpty()) return false;
    QFileInfo fi(chosen);
    // The default extension, for a name typed without one.
    if (fi.suffix().isEmpty()) fi = QFileInfo(chosen + QLatin1Char('.') + defaultExtension);
    const QString candidate = fi.absoluteFilePath();
    if (fi.exists()) {
        // A folder that holds the file is a real one to remember.
        shell_.params()->docdir = fi.absolutePath();
        if (ui::dialogs().message(ui::msgKind_t::confirmation, QStringLiteral("Replace the existing file?"), ui::btnYes | ui::btnNo) !=
            ui::btnYes)
            return false;
    }
    // A folder that could not take the file (missing, /proc, read-only) is
    // not remembered: the next dialog would start there again.
    if (!writeWindow(w, candidate)) return false;
    shell_.params()->docdir = fi.absolutePath();
    name = candidate;
    addRecent(name);
    return true;
}

bool fileCommands_t::saveDocument(canvas::TSandbox* w, bool proposeName)
{
    if (!w) return false;
    if (!w->fileName().isEmpty() && QFileInfo(w->fileName()).isFile()) return writeWindow(w, w->fileName());
    bool ok;
    if (proposeName && w->fileName().isEmpty()) {
        QString name = QStringLiteral("Untitled") + QLatin1Char(' ') + w->untitledNumber();
        ok = saveAsDialog(name, w);
        if (ok) w->setFileName(name);
    } else {
        QString name = w->fileName();
        ok = saveAsDialog(name, w);
        w->setFileName(name);
    }
    if (ok) w->refreshCaption();
    return ok;
}

bool fileCommands_t::saveDocumentAs(canvas::TSandbox* w)
{
    if (!w) return false;
    QString name = w->fileName();
    const bool ok = saveAsDialog(name, w);
    w->setFileName(name);
    if (ok) w->refreshCaption();
    return ok;
}

bool fileCommands_t::saveForClose(canvas::TSandbox* w)
{
    if (!w->fileName().isEmpty() && QFileInfo(w->fileName()).isFile()) return writeWindow(w, w->fileName());
    QString name = w->fileName();
    const bool ok = saveAsDialog(name, w);
    w->setFileName(name);
    if (ok) w->refreshCaption();
    return ok;
}

void fileCommands_t::closeDocument() { shell_.area().closeActive(); }

void fileCommands_t::addRecent(const QString& fileName)
{
    if (fileName.isEmpty()) return;
    addRecentTo(shell_.params()->reopen, fileName);
    rebuildReopenMenu();
}

void fileCommands_t::rebuildReopenMenu()
{
    bool any = false;
    settings::reopenarr_t& list = shell_.params()->reopen;
    for (QString& e : list) e = e.trimmed();
    const std::vector<QString> captions = recentCaptions(list);
    menu_.menuReopen->setToolTipsVisible(true);
    for (int k = 0; k < settings::reopenCount; ++k) {
        menu_.Reopen[k]->setVisible(false);
        menu_.Reopen[k]->setText(QString());
        menu_.Reopen[k]->setToolTip(QString());
        if (!list[k].isEmpty()) {
            menu_.Reopen[k]->setText(captions[size_t(k)]);
            // The whole path, for entries whose folders the caption leaves out.
            menu_.Reopen[k]->setToolTip(QDir::toNativeSeparators(list[k]));
            menu_.Reopen[k]->setVisible(true);
            any = true;
        }
    }
    menu_.menuReopen->setEnabled(any);
}

void fileCommands_t::reopen(int32_t k)
{
    if (k < 1 || k > settings::reopenCount) return;
    const QString entry = shell_.params()->reopen[k - 1];
    if (entry.isEmpty()) return;
    if (QFileInfo(entry).isFile()) shell_.openDocumentWindow(entry);
    else ui::dialogs().message(ui::msgKind_t::warning, QStringLiteral("Cannot find the file."), ui::btnCancel);
}

void fileCommands_t::clearRecent()
{
    if (ui::dialogs().message(ui::msgKind_t::confirmation, QStringLiteral("Clear the list of recently used files?"),
                          ui::btnYes | ui::btnNo) != ui::btnYes)
        return;
    for (QString& e : shell_.params()->reopen) e.clear();
    rebuildReopenMenu();
}

} // namespace app
