// The main window's file commands: New, Open, Save, Save As, Close, Reopen
// and the recent-files list.
#include "ui/dialogs.h"
#include "app/mainwindow.h"
#include "app/recent.h"

#include "model/docfile.h"
#include "settings/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace app {

namespace {

const QString fileFilter = QStringLiteral("All files (*.*)|*.*|Lumora files (*.lmra)|*.lmra");
const QString defaultExtension = QStringLiteral("lmra");

} // namespace

void TForm1::newDocument()
{
    openDocumentWindow(QString());
}

QString TForm1::openDialog()
{
    ui::fileRequest_t r;
    r.folder = settings::dialogFolder(settings::folderKind_t::documents, params->docdir);
    r.title = QStringLiteral("Open");
    r.defaultExt = defaultExtension;
    r.filter = fileFilter;
    r.filterIndex = 2;
    r.name = params->lastOpened;
    const QString chosen = ui::dialogs().openFile(r);
    if (chosen.isEmpty()) return {};
    const QFileInfo fi(chosen);
    params->docdir = fi.absolutePath();
    params->lastOpened = chosen;
    // The Reopen list takes the file once it has opened (openDocumentWindow):
    // a file the user refuses to open is not offered again.
    return fi.absoluteFilePath();
}

void TForm1::openDocument()
{
    const QString name = openDialog();
    if (!name.trimmed().isEmpty()) openDocumentWindow(name);
}

bool TForm1::writeWindow(canvas::TSandbox* w, const QString& name)
{
    std::string error;
    if (model::writeDocument(name.toStdString(), w->items(), &error)) {
        showModified(w);
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

bool TForm1::saveAsDialog(QString& name, canvas::TSandbox* w)
{
    ui::fileRequest_t r;
    r.folder = settings::dialogFolder(settings::folderKind_t::documents, params->docdir);
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
        params->docdir = fi.absolutePath();
        if (ui::dialogs().message(ui::msgKind_t::confirmation, QStringLiteral("Replace the existing file?"), ui::btnYes | ui::btnNo) !=
            ui::btnYes)
            return false;
    }
    // A folder that could not take the file (missing, /proc, read-only) is
    // not remembered: the next dialog would start there again.
    if (!writeWindow(w, candidate)) return false;
    params->docdir = fi.absolutePath();
    name = candidate;
    addRecent(name);
    return true;
}

bool TForm1::saveDocument(canvas::TSandbox* w, bool proposeName)
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

bool TForm1::saveDocumentAs(canvas::TSandbox* w)
{
    if (!w) return false;
    QString name = w->fileName();
    const bool ok = saveAsDialog(name, w);
    w->setFileName(name);
    if (ok) w->refreshCaption();
    return ok;
}

bool TForm1::saveForClose(canvas::TSandbox* w)
{
    if (!w->fileName().isEmpty() && QFileInfo(w->fileName()).isFile()) return writeWindow(w, w->fileName());
    QString name = w->fileName();
    const bool ok = saveAsDialog(name, w);
    w->setFileName(name);
    if (ok) w->refreshCaption();
    return ok;
}

void TForm1::closeDocument()
{
    if (!activeDocument()) return;
    if (QMdiSubWindow* sub = mdiArea->activeSubWindow()) sub->close();
}

void TForm1::addRecent(const QString& fileName)
{
    if (fileName.isEmpty()) return;
    addRecentTo(params->reopen, fileName);
    rebuildReopenMenu();
}

void TForm1::rebuildReopenMenu()
{
    bool any = false;
    for (int k = 0; k < 16; ++k) {
        Reopen[k]->setVisible(false);
        Reopen[k]->setText(QString());
        params->reopen[k] = params->reopen[k].trimmed();
        if (!params->reopen[k].isEmpty()) {
            Reopen[k]->setText(recentCaption(params->reopen[k]));
            Reopen[k]->setVisible(true);
            any = true;
        }
    }
    menuReopen->setEnabled(any);
}

void TForm1::reopen(int32_t k)
{
    if (k < 1 || k > 16) return;
    const QString entry = params->reopen[k - 1];
    if (entry.isEmpty()) return;
    if (QFileInfo(entry).isFile()) openDocumentWindow(entry);
    else ui::dialogs().message(ui::msgKind_t::warning, QStringLiteral("Cannot find the file."), ui::btnCancel);
}

void TForm1::clearRecent()
{
    if (ui::dialogs().message(ui::msgKind_t::confirmation, QStringLiteral("Clear the list of recently used files?"),
                          ui::btnYes | ui::btnNo) != ui::btnYes)
        return;
    for (QString& e : params->reopen) e.clear();
    rebuildReopenMenu();
}

} // namespace app
